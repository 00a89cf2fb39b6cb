// CToolTipCtrl: a tooltip window owned by a parent window; the object destroys the window it created.
#pragma once

#include <windows.h>
// after windows.h, whose types it uses
#include <commctrl.h>

#include "platform/String.h"
#include "platform/Wnd.h"

class CToolTipCtrl : public CWnd {
 public:
  CToolTipCtrl() = default;
  ~CToolTipCtrl() override;

  // A popup tooltip window owned by pParentWnd.
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);

  // A tool over lpRectTool of pWnd with id nIDTool; without a rectangle, the whole window when nIDTool is 0,
  // else its client rectangle. A null text asks the owner for it (LPSTR_TEXTCALLBACK).
  BOOL AddTool(CWnd* pWnd, const char* lpszText = LPSTR_TEXTCALLBACKA, LPCRECT lpRectTool = nullptr,
               UINT_PTR nIDTool = 0);
  void UpdateTipText(const char* lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
  void GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
  void RelayEvent(LPMSG lpMsg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(lpMsg)); }
};
