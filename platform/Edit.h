// CEdit: an edit control, usable as the base of a control class with its own message map.
#pragma once

#include <windows.h>

#include "platform/Wnd.h"

class CEdit : public CWnd {
 public:
  // Selects from nStartChar up to nEndChar (-1: to the end) and, unless told not to, scrolls the caret into
  // view.
  void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE) {
    SendMessage(EM_SETSEL, static_cast<WPARAM>(nStartChar), static_cast<LPARAM>(nEndChar));
    if (!bNoScroll) SendMessage(EM_SCROLLCARET);
  }
  void ReplaceSel(const char* lpszNewText, BOOL bCanUndo = FALSE) {
    SendMessage(EM_REPLACESEL, static_cast<WPARAM>(bCanUndo), reinterpret_cast<LPARAM>(lpszNewText));
  }

  DECLARE_MESSAGE_MAP()
};
