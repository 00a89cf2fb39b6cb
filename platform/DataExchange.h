// Dialog data exchange: moves values between a dialog's members and its controls, in either direction.
#pragma once

#include <windows.h>

#include "platform/String.h"

class CWnd;

class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
      : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

  BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
  CWnd* m_pDlgWnd;

  HWND GetControl(int nIDC) const;
};

// The index of the checked radio button in the group that starts at nIDC (-1 when none is checked).
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// The control's window text.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// Binds a control object to the dialog's control the first time (by subclassing it).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
