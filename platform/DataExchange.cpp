#include "platform/DataExchange.h"

#include "platform/Wnd.h"

HWND CDataExchange::GetControl(int nIDC) const { return ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC); }

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
  HWND hWndControl = pDX->GetControl(nIDC);
  if (!hWndControl) return;
  if (pDX->m_bSaveAndValidate) value = -1;
  // The group runs from nIDC up to the next control that starts a group; only radio buttons count.
  int nIndex = 0;
  do {
    if (::SendMessageA(hWndControl, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
      if (pDX->m_bSaveAndValidate) {
        if (::SendMessageA(hWndControl, BM_GETCHECK, 0, 0) == BST_CHECKED) value = nIndex;
      } else {
        ::SendMessageA(hWndControl, BM_SETCHECK, nIndex == value ? BST_CHECKED : BST_UNCHECKED, 0);
      }
      ++nIndex;
    }
    hWndControl = ::GetWindow(hWndControl, GW_HWNDNEXT);
  } while (hWndControl && !(::GetWindowLongA(hWndControl, GWL_STYLE) & WS_GROUP));
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  HWND hWndControl = pDX->GetControl(nIDC);
  if (!hWndControl) return;
  CWnd* pControl = CWnd::FromHandle(hWndControl);
  if (pDX->m_bSaveAndValidate) {
    pControl->GetWindowText(value);
    return;
  }
  // Setting an unchanged text would only flicker and notify the parent for nothing.
  CString current;
  pControl->GetWindowText(current);
  if (current != value) pControl->SetWindowText(value);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd) return;
  HWND hWndControl = pDX->GetControl(nIDC);
  if (hWndControl) rControl.SubclassWindow(hWndControl);
}
