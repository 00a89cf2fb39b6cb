// CLinkLabel: a static text that works as a web link. It is blue, turns hot (another colour, underlined)
// under the mouse, shows a hand cursor and the URL as a tooltip, and on a click sends one visit request for
// the URL and opens it in the user's browser. Everything is done inside the control; the parent only
// reflects the control's notifications back to it.
#pragma once

#include <windows.h>

#include "platform/GdiObject.h"
#include "platform/Static.h"
#include "platform/String.h"
#include "platform/ToolTipCtrl.h"

class CDC;

class CLinkLabel : public CStatic {
 public:
  CLinkLabel();
  ~CLinkLabel() override;

  void SetTargetUrl(CString strUrl);
  void SetFollowed(BOOL bFollowed);
  // -1: underlined while hot only; 0: never; 1: always.
  void SetUnderlineMode(int nMode);
  void FitWindowToText();
  void LoadHandCursor();

  // One GET for the URL with the agent as its User-Agent, the response thrown away. FALSE when opening the
  // URL failed; never throws.
  BOOL SendVisitRequest(LPCTSTR lpszUrl, LPCTSTR lpszAgent);
  // Opens the URL in the browser: the shell first, else the open command of the ".htm" class. Greater than
  // 32 on success.
  UINT LaunchUrl(LPCTSTR lpszUrl, int nShowCmd);
  // The default value of a key into lpszDest (at least 260 bytes, may be lpszSubKey itself).
  static LONG ReadRegDefault(HKEY hRootKey, LPCTSTR lpszSubKey, LPTSTR lpszDest);

  BOOL DestroyWindow() override;
  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  void PreSubclassWindow() override;

  HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnTimer(UINT_PTR nIDEvent);
  void OnLabelClicked();
  BOOL OnEraseBkgnd(CDC* pDC);

  // Sends the font to the label (redrawing it), unless the font could not be made.
  void ApplyFont(CFont& font);

  COLORREF m_clrNormal;
  COLORREF m_clrFollowed;
  COLORREF m_clrHot;
  BOOL m_bHot;
  BOOL m_bFollowed;
  int m_nUnderlineMode;
  BOOL m_bFitToText;
  CString m_strUrl;
  CFont m_fontUnderlined;
  CFont m_fontPlain;
  HCURSOR m_hHandCursor;
  CToolTipCtrl m_tooltip;
  UINT m_nHotTimerId;

 public:
  // The user-agent name of the visit request; no request is made while it is empty.
  CString m_strAgent;

  DECLARE_MESSAGE_MAP()
};
