// CWnd: one object per window it owns or subclasses, found again through the thread's handle map.
#pragma once

#include <windows.h>

#include "platform/CmdTarget.h"
#include "platform/Geometry.h"
#include "platform/Menu.h"
#include "platform/String.h"

class CDC;
class CDataExchange;

class CWnd : public CCmdTarget {
 public:
  CWnd() = default;
  ~CWnd() override;

  HWND m_hWnd = nullptr;

  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }  // NOLINT: implicit like the class library's

  // The handle map of the calling thread. Windows we own or subclass are permanent entries; any other
  // window is wrapped in a temporary object that lives as long as the thread.
  static CWnd* FromHandle(HWND hWnd);
  static CWnd* FromHandlePermanent(HWND hWnd);
  bool Attach(HWND hWnd);
  HWND Detach();

  // Routes the window's messages through this object's message map; the old procedure does the rest.
  bool SubclassWindow(HWND hWnd);
  bool SubclassDlgItem(UINT nID, CWnd* pParent);
  HWND UnsubclassWindow();

  virtual void PreSubclassWindow() {}
  virtual BOOL DestroyWindow();
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  virtual void DoDataExchange(CDataExchange* /*pDX*/) {}
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  // Offers a message to PreTranslateMessage of its target window and each ancestor up to hWndStop.
  static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

  // Default processing of the message being handled.
  LRESULT Default();
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  // Wrappers of the window functions the program calls.
  CWnd* GetDlgItem(int nID) const;
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
  void SetWindowText(const char* pszText) { ::SetWindowTextA(m_hWnd, pszText); }
  void GetWindowText(CString& rString) const;
  int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
  BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
  void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
  void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
  void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
  void ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
  void ScreenToClient(LPRECT lpRect) const;
  void ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
  void ClientToScreen(LPRECT lpRect) const;
  BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
  void MoveWindow(int x, int y, int cx, int cy, BOOL bRepaint = TRUE) {
    ::MoveWindow(m_hWnd, x, y, cx, cy, bRepaint);
  }
  void CenterWindow(CWnd* pAlternateOwner = nullptr);
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
  DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
  }
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
  }
  HICON SetIcon(HICON hIcon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
  }
  CMenu* GetSystemMenu(BOOL bRevert);
  void DragAcceptFiles(BOOL bAccept = TRUE);
  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer) {
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
  }
  BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }

  // Message dispatch. A parent first reflects a control's notifications to the control.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  bool OnCmdMsg(UINT nID, UINT nCode, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

  // Default handlers that the message-map macros name; each does the window's default processing.
  void OnPaint() { Default(); }
  void OnSysCommand(UINT /*nID*/, LPARAM /*lParam*/) { Default(); }
  void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
  BOOL OnSetCursor(CWnd* /*pWnd*/, UINT /*nHitTest*/, UINT /*message*/) {
    return static_cast<BOOL>(Default());
  }
  void OnMouseMove(UINT /*nFlags*/, CPoint /*point*/) { Default(); }
  void OnTimer(UINT_PTR /*nIDEvent*/) { Default(); }
  BOOL OnEraseBkgnd(CDC* /*pDC*/) { return static_cast<BOOL>(Default()); }
  void OnDropFiles(HDROP /*hDropInfo*/) { Default(); }

 protected:
  static LRESULT CALLBACK SubclassWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  virtual void PostNcDestroy() {}

  // The message being handled, for Default(); nested handling keeps a chain. A scope object makes a
  // message current for the time of its handling.
  struct CurrentMessage {
    CurrentMessage(CWnd* pWnd, UINT nMessage, WPARAM wParam0, LPARAM lParam0)
        : message(nMessage),
          wParam(wParam0),
          lParam(lParam0),
          m_pWnd(pWnd),
          m_pPrevious(pWnd->m_pCurrentMessage) {
      pWnd->m_pCurrentMessage = this;
    }
    ~CurrentMessage() { m_pWnd->m_pCurrentMessage = m_pPrevious; }
    CurrentMessage(const CurrentMessage&) = delete;
    CurrentMessage& operator=(const CurrentMessage&) = delete;

    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool bDefaultWanted = false;

   private:
    CWnd* m_pWnd;
    CurrentMessage* m_pPrevious;
  };
  CurrentMessage* m_pCurrentMessage = nullptr;
  WNDPROC m_pfnSuper = nullptr;  // the window procedure we subclassed, if any

  DECLARE_MESSAGE_MAP()

 private:
  CMenu m_menuSystem;  // borrows the system menu's handle; owns nothing
};
