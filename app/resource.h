// Identifiers of the program's resources and of its dialogs' controls.
// Shared by the resource script and the C++ code, so it holds nothing but preprocessor definitions.
#pragma once

#include "Maker.h"

#define IDM_ABOUTBOX 0x0010  // system-menu command: low four bits stay zero
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_MAIN 102
#define IDR_MAINFRAME 128
#define IDB_BROWSE 131
#define IDB_BROWSE_HOT 132
#define IDB_PROGRESS 200

#define IDC_INPUT 1000
#define IDC_BROWSE 1001
#define IDC_RESULT 1002
#define IDC_PROGRESS 1003
#define IDC_HOMELINK 1004
#define IDC_MODE_FILE 1006
#define IDC_MODE_TEXT 1007

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
