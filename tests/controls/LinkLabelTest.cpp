// The link label on a host window: attachment, look, hover, fit, tooltip and cursor. The click is tested
// apart, against a local web server and a recording browser.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "LinkLabelTestSupport.h"
#include "tests/harness/MemoryCanvas.h"

namespace {

constexpr COLORREF kNormal = RGB(10, 25, 229);
constexpr COLORREF kFollowed = RGB(85, 26, 139);
constexpr COLORREF kHot = RGB(100, 22, 255);
// On the host, away from every label the tests make.
constexpr POINT kOutside{400, 40};

LOGFONTA LogFontOf(HGDIOBJ hFont) {
  LOGFONTA logFont{};
  ::GetObjectA(hFont, sizeof logFont, &logFont);
  return logFont;
}

bool HasUpdateRegion(HWND hWnd) { return ::GetUpdateRect(hWnd, nullptr, FALSE) != FALSE; }

class LinkLabelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LOGFONTA logFont{};
    logFont.lfHeight = -11;
    logFont.lfWeight = FW_NORMAL;
    logFont.lfCharSet = DEFAULT_CHARSET;
    lstrcpyA(logFont.lfFaceName, "MS Shell Dlg");
    ASSERT_TRUE(m_fontDialog.CreateFontIndirect(&logFont));
    logFont.lfHeight = -20;
    ASSERT_TRUE(m_fontSentinel.CreateFontIndirect(&logFont));
    ASSERT_TRUE(m_host.Create(RECT{20, 20, 420, 220}));
  }

  // A static control on the host, attached to the label the way data exchange does it.
  HWND Attach(TestLinkLabel& label, const char* pszText = "Maelbrook Home", DWORD dwStyle = SS_LEFT,
              HFONT hFont = kDialogFont, RECT rc = RECT{20, 150, 220, 170}) {
    if (hFont == kDialogFont) hFont = m_fontDialog;
    HWND hWnd = m_host.AddChild("STATIC", pszText, dwStyle, 0, m_nNextId++, rc, hFont);
    EXPECT_NE(hWnd, nullptr);
    EXPECT_TRUE(label.SubclassWindow(hWnd));
    return hWnd;
  }

  // The mouse arrives over the label.
  void Hover(TestLinkLabel& label) {
    POINT pt = ScreenCentre(label.m_hWnd);
    ::SetCursorPos(pt.x, pt.y);
    ::SendMessageA(label.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  }

  // The mouse is elsewhere when the label's next poll comes.
  void Leave(TestLinkLabel& label, UINT_PTR nTimerId = 100) {
    ::SetCursorPos(kOutside.x, kOutside.y);
    ::PostMessageA(label.m_hWnd, WM_TIMER, nTimerId, 0);
    PumpMessages(1000, [&] { return !label.m_bHot; });
  }

  void UseSentinelFont(HWND hWnd) {
    ::SendMessageA(hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(HFONT(m_fontSentinel)), FALSE);
    ::ValidateRect(hWnd, nullptr);
  }

  static inline const HFONT kDialogFont = reinterpret_cast<HFONT>(-1);

  CFont m_fontDialog;
  CFont m_fontSentinel;
  CTestHost m_host;
  int m_nNextId = 1004;
};

TEST_F(LinkLabelTest, AttachmentPreparesTheLabel) {
  TestLinkLabel label;
  HWND hWnd = Attach(label);

  EXPECT_TRUE(::GetWindowLongA(hWnd, GWL_STYLE) & SS_NOTIFY);
  EXPECT_EQ(std::string(label.m_strUrl), "Maelbrook Home");
  EXPECT_EQ(label.m_nUnderlineMode, -1);
  EXPECT_FALSE(label.m_bHot);
  EXPECT_FALSE(label.m_bFollowed);

  // Both fonts are the control's own, one of them underlined; the control keeps its font until hovered.
  EXPECT_EQ(LabelFont(hWnd), HFONT(m_fontDialog));
  LOGFONTA original = LogFontOf(m_fontDialog);
  LOGFONTA plain = LogFontOf(label.m_fontPlain.GetSafeHandle());
  LOGFONTA underlined = LogFontOf(label.m_fontUnderlined.GetSafeHandle());
  EXPECT_EQ(plain.lfHeight, original.lfHeight);
  EXPECT_STREQ(plain.lfFaceName, original.lfFaceName);
  EXPECT_FALSE(plain.lfUnderline);
  EXPECT_EQ(underlined.lfHeight, original.lfHeight);
  EXPECT_STREQ(underlined.lfFaceName, original.lfFaceName);
  EXPECT_TRUE(underlined.lfUnderline);

  // Fitted to the text, left and top kept.
  RECT rc = RectInParent(hWnd);
  SIZE text = TextExtent(label);
  EXPECT_EQ(rc.left, 20);
  EXPECT_EQ(rc.top, 150);
  EXPECT_EQ(rc.right - rc.left, text.cx);
  EXPECT_EQ(rc.bottom - rc.top, text.cy);

  // Tool 1 of the tooltip covers the fitted label and shows the URL.
  CString strTip;
  label.m_tooltip.GetText(strTip, &label, 1);
  EXPECT_EQ(std::string(strTip), "Maelbrook Home");
  TTTOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.hwnd = hWnd;
  ti.uId = 1;
  ASSERT_TRUE(::SendMessageA(label.m_tooltip.m_hWnd, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)));
  RECT rcClient;
  ::GetClientRect(hWnd, &rcClient);
  EXPECT_TRUE(::EqualRect(&ti.rect, &rcClient));

  EXPECT_NE(label.m_hHandCursor, nullptr);
}

TEST_F(LinkLabelTest, AttachmentSharesTextAndUrl) {
  struct Case {
    const char* pszText;
    const char* pszUrl;  // set before attachment; null: none
    const char* pszExpectedText;
    const char* pszExpectedUrl;
  };
  const Case cases[] = {
      {"Maelbrook Home", nullptr, "Maelbrook Home", "Maelbrook Home"},
      {"", "http://127.0.0.1/home", "http://127.0.0.1/home", "http://127.0.0.1/home"},
      {"Home", "http://127.0.0.1/home", "Home", "http://127.0.0.1/home"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pszText);
    TestLinkLabel label;
    if (c.pszUrl) label.SetTargetUrl(c.pszUrl);
    HWND hWnd = Attach(label, c.pszText);
    char szText[256] = "";
    ::GetWindowTextA(hWnd, szText, sizeof szText);
    EXPECT_STREQ(szText, c.pszExpectedText);
    EXPECT_EQ(std::string(label.m_strUrl), c.pszExpectedUrl);
    CString strTip;
    label.m_tooltip.GetText(strTip, &label, 1);
    EXPECT_EQ(std::string(strTip), c.pszExpectedUrl);
    EXPECT_EQ(RectInParent(hWnd).right - 20, TextExtent(label).cx);
  }
}

TEST_F(LinkLabelTest, LabelWithoutFontTakesTheStockGuiFont) {
  TestLinkLabel label;
  HWND hWnd = Attach(label, "Maelbrook Home", SS_LEFT, nullptr);
  ASSERT_EQ(LabelFont(hWnd), nullptr);
  LOGFONTA stock = LogFontOf(::GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTA plain = LogFontOf(label.m_fontPlain.GetSafeHandle());
  LOGFONTA underlined = LogFontOf(label.m_fontUnderlined.GetSafeHandle());
  EXPECT_EQ(plain.lfHeight, stock.lfHeight);
  EXPECT_STREQ(plain.lfFaceName, stock.lfFaceName);
  EXPECT_EQ(plain.lfUnderline, stock.lfUnderline);
  EXPECT_TRUE(underlined.lfUnderline);
  EXPECT_STREQ(underlined.lfFaceName, stock.lfFaceName);
}

TEST_F(LinkLabelTest, ModeSetBeforeAttachmentIsReplaced) {
  TestLinkLabel label;
  label.SetUnderlineMode(1);
  HWND hWnd = Attach(label);
  EXPECT_EQ(label.m_nUnderlineMode, -1);
  EXPECT_EQ(LabelFont(hWnd), HFONT(label.m_fontPlain));
}

// The colour request reaches the label through its parent, as in the dialog.
TEST_F(LinkLabelTest, TextColourFollowsTheState) {
  TestLinkLabel label;
  HWND hWnd = Attach(label);
  struct Case {
    BOOL bHot;
    BOOL bFollowed;
    COLORREF clrExpected;
  };
  const Case cases[] = {
      {FALSE, FALSE, kNormal},
      {FALSE, TRUE, kFollowed},
      {TRUE, FALSE, kHot},
      {TRUE, TRUE, kHot},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "hot " << c.bHot << ", followed " << c.bFollowed);
    label.m_bHot = c.bHot;
    label.m_bFollowed = c.bFollowed;
    CMemoryCanvas canvas(4, 4, RGB(255, 255, 255));
    ::SetBkMode(canvas.Dc(), OPAQUE);
    LRESULT lResult = ::SendMessageA(m_host.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(canvas.Dc()),
                                     reinterpret_cast<LPARAM>(hWnd));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(lResult), ::GetStockObject(NULL_BRUSH));
    EXPECT_EQ(::GetTextColor(canvas.Dc()), c.clrExpected);
    EXPECT_EQ(::GetBkMode(canvas.Dc()), TRANSPARENT);
  }
}

// Drawn by the static itself: the text in the link colour, no background of its own.
TEST_F(LinkLabelTest, PaintsTextInTheLinkColourOverWhatIsBehind) {
  TestLinkLabel label;
  HWND hWnd = Attach(label);
  RECT rc;
  ::GetClientRect(hWnd, &rc);
  const COLORREF clrBehind = RGB(0, 200, 0);
  CMemoryCanvas canvas(rc.right, rc.bottom, clrBehind);
  ::SendMessageA(hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
  EXPECT_GT(canvas.Count(kNormal), 0);
  // Most of a label is the gaps between the letters, which keep what was behind.
  EXPECT_GT(canvas.Count(clrBehind), canvas.Total() / 2);
}

TEST_F(LinkLabelTest, ErasesWithTheButtonFaceColour) {
  TestLinkLabel label;
  HWND hWnd = Attach(label);
  RECT rc;
  ::GetClientRect(hWnd, &rc);
  CMemoryCanvas canvas(rc.right, rc.bottom, RGB(0, 200, 0));
  EXPECT_TRUE(::SendMessageA(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0));
  EXPECT_EQ(canvas.Count(::GetSysColor(COLOR_BTNFACE)), canvas.Total());
}

TEST_F(LinkLabelTest, HoverStartsOnMouseMoveAndEndsOnTheFirstTickWithTheCursorOutside) {
  TestLinkLabel label;
  HWND hWnd = Attach(label);

  ::ValidateRect(hWnd, nullptr);
  Hover(label);
  EXPECT_TRUE(label.m_bHot);
  EXPECT_EQ(LabelFont(hWnd), HFONT(label.m_fontUnderlined));
  EXPECT_TRUE(HasUpdateRegion(hWnd));

  // Already hot: a further move changes nothing.
  UseSentinelFont(hWnd);
  Hover(label);
  EXPECT_EQ(LabelFont(hWnd), HFONT(m_fontSentinel));
  EXPECT_FALSE(HasUpdateRegion(hWnd));
  ::SendMessageA(hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(HFONT(label.m_fontUnderlined)), FALSE);

  // The real poll: several ticks with the cursor inside keep it hot, the first one outside ends it.
  PumpMessages(350);
  EXPECT_TRUE(label.m_bHot);
  ::SetCursorPos(kOutside.x, kOutside.y);
  EXPECT_TRUE(PumpMessages(1000, [&] { return !label.m_bHot; }));
  EXPECT_EQ(LabelFont(hWnd), HFONT(label.m_fontPlain));
  EXPECT_FALSE(::KillTimer(hWnd, 100)) << "the poll timer still runs";
}

TEST_F(LinkLabelTest, AnyTimerIdCountsAsThePoll) {
  TestLinkLabel label;
  HWND hWnd = Attach(label);
  Hover(label);
  ASSERT_TRUE(::KillTimer(hWnd, 100));  // only the tick posted below remains
  Leave(label, 7);
  EXPECT_FALSE(label.m_bHot);
}

// For each mode: what setting it sends, what hovering sends and what leaving sends. The sentinel font shows
// that nothing was sent.
TEST_F(LinkLabelTest, UnderlineModes) {
  enum Font { kSentinel, kPlain, kUnderlined };
  struct Case {
    int nMode;
    Font setFont;
    bool bSetRepaints;
    Font hotFont;
    Font leftFont;
  };
  const Case cases[] = {
      {-1, kSentinel, false, kUnderlined, kPlain},  // the mode it has: setting it again does nothing
      {0, kPlain, true, kSentinel, kPlain},
      {1, kUnderlined, true, kSentinel, kSentinel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.nMode);
    TestLinkLabel label;
    HWND hWnd = Attach(label);
    auto fontOf = [&](Font font) {
      return font == kSentinel ? HFONT(m_fontSentinel)
                               : HFONT(font == kPlain ? label.m_fontPlain : label.m_fontUnderlined);
    };

    UseSentinelFont(hWnd);
    label.SetUnderlineMode(c.nMode);
    EXPECT_EQ(label.m_nUnderlineMode, c.nMode);
    EXPECT_EQ(LabelFont(hWnd), fontOf(c.setFont));
    EXPECT_EQ(HasUpdateRegion(hWnd), c.bSetRepaints);

    UseSentinelFont(hWnd);
    Hover(label);
    EXPECT_EQ(LabelFont(hWnd), fontOf(c.hotFont));

    UseSentinelFont(hWnd);
    Leave(label);
    EXPECT_FALSE(label.m_bHot);
    EXPECT_EQ(LabelFont(hWnd), fontOf(c.leftFont));
    ::ShowWindow(hWnd, SW_HIDE);
  }
}

// The label is fitted from a known rectangle; the frame and the alignment decide where the text goes.
TEST_F(LinkLabelTest, FitWindowToText) {
  enum Origin { kSize, kText };  // offsets counted from the window's size or from the text's
  struct Case {
    const char* pszWhat;
    DWORD dwStyle;
    int nExtraWidth;  // the window before the fit: the text plus this much
    int nExtraHeight;
    RECT rcExpected;  // relative: left and top from (20, 100); right and bottom added to the text size
  };
  // With the window (text + w) wide, a left fit gives (20, 100, 20 + text, 100 + text).
  const Case cases[] = {
      {"left: left and top stay", SS_LEFT, 51, 7, {0, 0, 0, 0}},
      {"right: the right edge stays", SS_RIGHT, 51, 7, {51, 0, 51, 0}},
      {"centred: the odd pixel stays", SS_CENTER, 51, 7, {25, 0, 26, 0}},
      {"centred, narrower than the text: grows by an even amount", SS_CENTER, -5, 7, {-2, 0, -3, 0}},
      {"centred vertically: the odd pixel stays", SS_LEFT | SS_CENTERIMAGE, 51, 7, {0, 3, 0, 4}},
      {"centred vertically, lower than the text", SS_LEFT | SS_CENTERIMAGE, 51, -3, {0, -1, 0, -2}},
      {"framed: larger by the frame", SS_LEFT | WS_BORDER, 51, 7, {0, 0, 2, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pszWhat);
    TestLinkLabel label;
    HWND hWnd = Attach(label, "Maelbrook Home", c.dwStyle);
    SIZE text = TextExtent(label);
    ::MoveWindow(hWnd, 20, 100, text.cx + c.nExtraWidth, text.cy + c.nExtraHeight, FALSE);
    label.FitWindowToText();
    RECT rc = RectInParent(hWnd);
    EXPECT_EQ(rc.left, 20 + c.rcExpected.left);
    EXPECT_EQ(rc.top, 100 + c.rcExpected.top);
    EXPECT_EQ(rc.right, 20 + text.cx + c.rcExpected.right);
    EXPECT_EQ(rc.bottom, 100 + text.cy + c.rcExpected.bottom);
    ::ShowWindow(hWnd, SW_HIDE);
  }

  // Switched off, it leaves the window alone.
  TestLinkLabel label;
  HWND hWnd = Attach(label);
  ::MoveWindow(hWnd, 20, 100, 300, 40, FALSE);
  label.m_bFitToText = FALSE;
  label.FitWindowToText();
  RECT rc = RectInParent(hWnd);
  EXPECT_EQ(rc.right - rc.left, 300);
  EXPECT_EQ(rc.bottom - rc.top, 40);
}

TEST_F(LinkLabelTest, NewUrlRefitsAndRetitlesTheTooltipButKeepsItsRectangle) {
  TestLinkLabel label;
  HWND hWnd = Attach(label);
  RECT rcTool;
  ::GetClientRect(hWnd, &rcTool);
  ::MoveWindow(hWnd, 20, 150, 300, 40, FALSE);

  label.SetTargetUrl("http://127.0.0.1/new/home");
  EXPECT_EQ(std::string(label.m_strUrl), "http://127.0.0.1/new/home");
  CString strTip;
  label.m_tooltip.GetText(strTip, &label, 1);
  EXPECT_EQ(std::string(strTip), "http://127.0.0.1/new/home");
  // Refitted to its text, which is not the URL.
  RECT rc = RectInParent(hWnd);
  EXPECT_EQ(rc.right - rc.left, TextExtent(label).cx);
  TTTOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.hwnd = hWnd;
  ti.uId = 1;
  ASSERT_TRUE(::SendMessageA(label.m_tooltip.m_hWnd, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)));
  EXPECT_TRUE(::EqualRect(&ti.rect, &rcTool));
}

// The tooltip learns of the mouse only through the label's pre-translation, which the modal loop runs.
TEST_F(LinkLabelTest, TooltipShowsWhileTheCursorRestsOnTheLabel) {
  TestLinkLabel label;
  HWND hWnd = Attach(label);
  label.SetTargetUrl("http://127.0.0.1/tip");
  POINT pt = ScreenCentre(hWnd);
  ::SetCursorPos(pt.x, pt.y);
  POINT ptClient = pt;
  ::ScreenToClient(hWnd, &ptClient);
  ::PostMessageA(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(ptClient.x, ptClient.y));
  EXPECT_TRUE(PumpMessages(5000, [&] { return ::IsWindowVisible(label.m_tooltip.m_hWnd) != FALSE; }));
}

TEST_F(LinkLabelTest, ShowsTheHandCursor) {
  HCURSOR hHandCursor;
  {
    TestLinkLabel label;
    HWND hWnd = Attach(label);
    hHandCursor = label.m_hHandCursor;
    ASSERT_NE(hHandCursor, nullptr);

    // A copy of the system's hand: a cursor with the hand's hot spot, not the shared handle itself.
    HCURSOR hSystemHand = ::LoadCursorA(nullptr, IDC_HAND);
    EXPECT_NE(hHandCursor, hSystemHand);
    ICONINFO copy{};
    ICONINFO system{};
    ASSERT_TRUE(::GetIconInfo(hHandCursor, &copy));
    ASSERT_TRUE(::GetIconInfo(hSystemHand, &system));
    EXPECT_FALSE(copy.fIcon);
    EXPECT_EQ(copy.xHotspot, system.xHotspot);
    EXPECT_EQ(copy.yHotspot, system.yHotspot);
    for (HBITMAP hBitmap : {copy.hbmMask, copy.hbmColor, system.hbmMask, system.hbmColor}) {
      if (hBitmap) ::DeleteObject(hBitmap);
    }

    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_TRUE(::SendMessageA(hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hWnd),
                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(::GetCursor(), hHandCursor);

    // Without a cursor of its own the label leaves the choice to others.
    ::DestroyIcon(label.m_hHandCursor);
    label.m_hHandCursor = nullptr;
    EXPECT_FALSE(::SendMessageA(hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hWnd),
                                MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    label.LoadHandCursor();
    hHandCursor = label.m_hHandCursor;
    ASSERT_NE(hHandCursor, nullptr);
  }
  // The label owned its copy.
  ICONINFO info{};
  EXPECT_FALSE(::GetIconInfo(hHandCursor, &info));
}

}  // namespace
