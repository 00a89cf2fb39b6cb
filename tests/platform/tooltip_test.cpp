// CToolTipCtrl: text round trips, the window's lifetime, and a relayed mouse move showing the tip.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/ToolTipCtrl.h"

namespace {

// A visible, hit-testable top-level window with a CWnd attached, standing in for the label.
class ToolHost {
 public:
  ToolHost() {
    static ATOM s_atom = RegisterHostClass();
    HWND hWnd = ::CreateWindowExA(0, MAKEINTATOM(s_atom), "tool host", WS_POPUP | WS_VISIBLE, 100, 100, 200,
                                  80, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    m_wnd.Attach(hWnd);
  }
  ~ToolHost() { Destroy(); }
  void Destroy() {
    if (m_wnd.m_hWnd) ::DestroyWindow(m_wnd.Detach());
  }
  CWnd* Get() { return &m_wnd; }

 private:
  static ATOM RegisterHostClass() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "QuorvexToolHost";
    return ::RegisterClassA(&wc);
  }

  CWnd m_wnd;
};

CString TextOf(const CToolTipCtrl& tip, CWnd* pWnd, UINT_PTR nIDTool) {
  CString str = "stale";
  tip.GetText(str, pWnd, nIDTool);
  return str;
}

TEST(ToolTip, TextRoundTripsPerTool) {
  ToolHost host;
  CToolTipCtrl tip;
  ASSERT_TRUE(tip.Create(host.Get()));
  EXPECT_EQ(::GetWindow(tip.m_hWnd, GW_OWNER), host.Get()->m_hWnd);

  CRect rcTool(0, 0, 60, 20);
  const std::string strLong = "http://www.example.com/" + std::string(300, 'q');
  ASSERT_TRUE(tip.AddTool(host.Get(), "Maelbrook Home", &rcTool, 1));
  ASSERT_TRUE(tip.AddTool(host.Get(), "by handle"));                  // id 0: the tool is the window itself
  ASSERT_TRUE(tip.AddTool(host.Get(), strLong.c_str(), nullptr, 2));  // id without a rectangle
  EXPECT_EQ(tip.SendMessage(TTM_GETTOOLCOUNT), 3);

  EXPECT_EQ(TextOf(tip, host.Get(), 1), "Maelbrook Home");
  EXPECT_EQ(TextOf(tip, host.Get(), 0), "by handle");
  EXPECT_EQ(TextOf(tip, host.Get(), 2), strLong.c_str());

  tip.UpdateTipText("http://www.example.com/", host.Get(), 1);
  EXPECT_EQ(TextOf(tip, host.Get(), 1), "http://www.example.com/");
  EXPECT_EQ(TextOf(tip, host.Get(), 0), "by handle");  // only the named tool changed
  EXPECT_EQ(TextOf(tip, host.Get(), 7), "");           // no such tool
}

TEST(ToolTip, WindowGoesWithTheObjectOrWithItsOwner) {
  ToolHost host;
  HWND hTip = nullptr;
  {
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(host.Get()));
    hTip = tip.m_hWnd;
    EXPECT_EQ(CWnd::FromHandlePermanent(hTip), &tip);
    EXPECT_FALSE(tip.Create(host.Get())) << "a second window for the same object";
  }
  EXPECT_FALSE(::IsWindow(hTip));
  EXPECT_EQ(CWnd::FromHandlePermanent(hTip), nullptr);

  // The owner goes first and takes the tooltip with it; the object notices and has nothing left to destroy.
  CToolTipCtrl orphan;
  {
    ToolHost owner;
    ASSERT_TRUE(orphan.Create(owner.Get()));
    hTip = orphan.m_hWnd;
  }
  EXPECT_FALSE(::IsWindow(hTip));
  EXPECT_EQ(orphan.m_hWnd, nullptr);
}

TEST(ToolTip, RelayedMouseMoveOverTheToolShowsTheTip) {
  ToolHost host;
  HWND hHost = host.Get()->m_hWnd;
  ::SetForegroundWindow(hHost);
  CToolTipCtrl tip;
  ASSERT_TRUE(tip.Create(host.Get()));
  CRect rcClient;
  ::GetClientRect(hHost, &rcClient);
  ASSERT_TRUE(tip.AddTool(host.Get(), "Maelbrook Home", &rcClient, 1));

  // The control checks the real cursor when its timer fires, so put it where the relayed move says.
  POINT pt = {20, 20};
  ::ClientToScreen(hHost, &pt);
  ::SetCursorPos(pt.x, pt.y);
  MSG msg{};
  msg.hwnd = hHost;
  msg.message = WM_MOUSEMOVE;
  msg.lParam = MAKELPARAM(20, 20);
  msg.time = ::GetTickCount();
  msg.pt = pt;
  tip.RelayEvent(&msg);

  bool bShown = false;
  for (DWORD dwStart = ::GetTickCount(); !bShown && ::GetTickCount() - dwStart < 5000;) {
    MSG pending;
    while (::PeekMessageA(&pending, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&pending);
      ::DispatchMessageA(&pending);
    }
    bShown = ::IsWindowVisible(tip.m_hWnd) != FALSE;
    ::Sleep(10);
  }
  EXPECT_TRUE(bShown);
}

}  // namespace
