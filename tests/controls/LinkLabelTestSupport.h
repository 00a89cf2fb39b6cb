// The link label as the tests see it: its state opened up, and attached on a host window as the dialog does.
#pragma once

#include <windows.h>

#include <string>

#include "TestSupport.h"
#include "controls/LinkLabel.h"

class TestLinkLabel : public CLinkLabel {
 public:
  using CLinkLabel::m_bFitToText;
  using CLinkLabel::m_bFollowed;
  using CLinkLabel::m_bHot;
  using CLinkLabel::m_fontPlain;
  using CLinkLabel::m_fontUnderlined;
  using CLinkLabel::m_hHandCursor;
  using CLinkLabel::m_nUnderlineMode;
  using CLinkLabel::m_strUrl;
  using CLinkLabel::m_tooltip;
};

// The label's text measured with its underlined font, as the fit must come out.
inline SIZE TextExtent(TestLinkLabel& label) {
  char szText[512] = "";
  ::GetWindowTextA(label.m_hWnd, szText, sizeof szText);
  HDC hDC = ::GetDC(label.m_hWnd);
  HGDIOBJ hOld = ::SelectObject(hDC, label.m_fontUnderlined.GetSafeHandle());
  SIZE size{0, 0};
  ::GetTextExtentPoint32A(hDC, szText, lstrlenA(szText), &size);
  ::SelectObject(hDC, hOld);
  ::ReleaseDC(label.m_hWnd, hDC);
  return size;
}

inline HFONT LabelFont(HWND hWnd) { return reinterpret_cast<HFONT>(::SendMessageA(hWnd, WM_GETFONT, 0, 0)); }

// The label's rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND hWnd) {
  RECT rc;
  ::GetWindowRect(hWnd, &rc);
  ::MapWindowPoints(nullptr, ::GetParent(hWnd), reinterpret_cast<LPPOINT>(&rc), 2);
  return rc;
}

inline POINT ScreenCentre(HWND hWnd) {
  RECT rc;
  ::GetWindowRect(hWnd, &rc);
  return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}
