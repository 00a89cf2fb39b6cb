// The application's message box: captioned with the application title, modal to the main window.
#pragma once

#include <windows.h>

// An OK or OK/Cancel box that names no icon gets the exclamation icon.
int AfxMessageBox(const char* lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
