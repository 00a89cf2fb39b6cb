// The progress bar and the browse button as the dialog paints them, read back pixel by pixel from a memory
// device context, and the browse button's hover look.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/GdiObject.h"
#include "tests/harness/DialogHarness.h"
#include "tests/harness/MemoryCanvas.h"
#include "tests/ui/TestChecksumDlg.h"
#include "tests/ui/TestFiles.h"

namespace {

using H = DialogHarness;

constexpr COLORREF kSentinel = RGB(1, 2, 3);

// A control's client area as the dialog paints it, over a colour the dialog never uses.
CMemoryCanvas Rendering(HWND hWndControl) { return CMemoryCanvas::OfClient(hWndControl, kSentinel); }

bool IsGreen(COLORREF c) { return GetGValue(c) > GetRValue(c) + 20 && GetGValue(c) > GetBValue(c) + 20; }
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The texture's column c is one of a segment's six green columns.
bool TextureColumnIsGreen(int c) { return c % 8 >= 1 && c % 8 <= 6; }

void SizeControl(int nID, int cx, int cy) {
  ::SetWindowPos(H::Item(nID), nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TEST(ProgressBar, DrawsNothingAtZeroOrBelowHalfAPixel) {
  CTestChecksumDlg dlg;
  H::Run(dlg, [&] {
    H::OnUi([&] {
      dlg.m_nPercent = 0;
      CMemoryCanvas zero = Rendering(H::Item(IDC_PROGRESS));
      EXPECT_EQ(zero.Count(::GetSysColor(COLOR_WINDOWFRAME)), 0);
      EXPECT_EQ(zero.Count(kWhite), 0);

      SizeControl(IDC_PROGRESS, 31, 16);  // w - 2 = 29: 1 % is 0.29 pixels
      dlg.m_nPercent = 1;
      CMemoryCanvas tiny = Rendering(H::Item(IDC_PROGRESS));
      EXPECT_EQ(tiny.Count(::GetSysColor(COLOR_WINDOWFRAME)), 0);
      EXPECT_EQ(tiny.Count(kWhite), 0);
      dlg.m_nPercent = 0;
    });
  });
}

TEST(ProgressBar, OnePercentOf150PixelsIsTwoPixelsWide) {
  CTestChecksumDlg dlg;
  H::Run(dlg, [&] {
    H::OnUi([&] {
      SizeControl(IDC_PROGRESS, 152, 16);
      dlg.m_nPercent = 1;
      CMemoryCanvas r = Rendering(H::Item(IDC_PROGRESS));
      int y = r.Height() / 2;
      EXPECT_EQ(r.At(0, y), ::GetSysColor(COLOR_WINDOWFRAME));
      EXPECT_TRUE(IsGreen(r.At(2, y)));  // texture column 1
      EXPECT_EQ(r.At(3, y), kWhite);     // the frame's white interior
      EXPECT_EQ(r.At(r.Width() - 2, y), kWhite);
      EXPECT_EQ(r.At(r.Width() - 1, y), ::GetSysColor(COLOR_WINDOWFRAME));
      dlg.m_nPercent = 0;
    });
  });
}

TEST(ProgressBar, FullBarFillsTheInteriorInsideTheFrameAndTheWhiteRows) {
  CTestChecksumDlg dlg;
  H::Run(dlg, [&] {
    H::OnUi([&] {
      dlg.m_nPercent = 100;
      CMemoryCanvas r = Rendering(H::Item(IDC_PROGRESS));
      const int w = r.Width(), h = r.Height();
      ASSERT_GT(w, 20);
      ASSERT_GT(h, 8);
      const COLORREF frame = ::GetSysColor(COLOR_WINDOWFRAME);
      for (int x = 0; x < w; ++x) {
        EXPECT_EQ(r.At(x, 0), frame) << x;
        EXPECT_EQ(r.At(x, h - 1), frame) << x;
      }
      for (int y = 0; y < h; ++y) {
        EXPECT_EQ(r.At(0, y), frame) << y;
        EXPECT_EQ(r.At(w - 1, y), frame) << y;
      }
      for (int x = 1; x <= w - 2; ++x) {
        EXPECT_EQ(r.At(x, 1), kWhite) << x;
        EXPECT_EQ(r.At(x, h - 2), kWhite) << x;
        // The texture's own column x - 1, unscaled: green segments with white gaps, to x = w - 2.
        EXPECT_EQ(IsGreen(r.At(x, h / 2)), TextureColumnIsGreen(x - 1)) << x;
      }
      EXPECT_EQ(r.At(2, 2), RGB(219, 219, 219));  // the texture's grey top row, just under the white row
      dlg.m_nPercent = 0;
    });
  });
}

TEST(ProgressBar, NeverWiderThanItsTexture) {
  CTestChecksumDlg dlg;
  H::Run(dlg, [&] {
    H::OnUi([&] {
      SizeControl(IDC_PROGRESS, 800, 16);
      dlg.m_nPercent = 100;
      CMemoryCanvas r = Rendering(H::Item(IDC_PROGRESS));
      int y = r.Height() / 2;
      EXPECT_TRUE(IsGreen(r.At(736 - 1, y)));  // texture column 734, the last segment's last column
      for (int x = 737; x <= r.Width() - 2; ++x) EXPECT_EQ(r.At(x, y), kWhite) << x;
      dlg.m_nPercent = 0;
    });
  });
}

// The glyph's own pixels, as loaded from the resources.
std::vector<COLORREF> GlyphPixels(int nID, int* pWidth, int* pHeight) {
  HBITMAP hBitmap = ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nID));
  BITMAP bm{};
  ::GetObjectA(hBitmap, sizeof bm, &bm);
  *pWidth = bm.bmWidth;
  *pHeight = bm.bmHeight;
  HDC hDC = ::CreateCompatibleDC(nullptr);
  HGDIOBJ hOld = ::SelectObject(hDC, hBitmap);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < bm.bmHeight; ++y)
    for (int x = 0; x < bm.bmWidth; ++x) pixels.push_back(::GetPixel(hDC, x, y));
  ::SelectObject(hDC, hOld);
  ::DeleteDC(hDC);
  ::DeleteObject(hBitmap);
  return pixels;
}

TEST(BrowseButton, GlyphIsCentredWithOnlyTheExactKeyColourReplaced) {
  CTestChecksumDlg dlg;
  H::Run(dlg, [&] {
    H::OnUi([&] {
      for (bool bHot : {false, true}) {
        SCOPED_TRACE(bHot ? "hot" : "cold");
        int gw = 0, gh = 0;
        std::vector<COLORREF> glyph = GlyphPixels(bHot ? IDB_BROWSE_HOT : IDB_BROWSE, &gw, &gh);
        dlg.m_bBrowseHot = bHot;
        CMemoryCanvas r = Rendering(H::Item(IDC_BROWSE));
        const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
        const int x0 = (r.Width() - gw) / 2, y0 = (r.Height() - gh) / 2;
        int nKeyed = 0, nNearKey = 0;
        for (int y = 0; y < r.Height(); ++y) {
          for (int x = 0; x < r.Width(); ++x) {
            bool bInGlyph = x >= x0 && x < x0 + gw && y >= y0 && y < y0 + gh;
            COLORREF expected = face;
            if (bInGlyph) {
              COLORREF source = glyph[static_cast<size_t>((y - y0) * gw + (x - x0))];
              nKeyed += source == RGB(192, 192, 192);
              nNearKey += source == RGB(192, 192, 191);
              expected = source == RGB(192, 192, 192) ? face : source;
            }
            ASSERT_EQ(r.At(x, y), expected) << x << "," << y;
          }
        }
        EXPECT_GT(nKeyed, 100);
        if (!bHot) {
          EXPECT_EQ(nNearKey, 1);  // the art's one near-grey pixel keeps its colour
        }
      }
      dlg.m_bBrowseHot = false;
    });
  });
}

TEST(BrowseButton, NarrowerThanTheGlyphDrawsItAtTheLeftEdge) {
  CTestChecksumDlg dlg;
  H::Run(dlg, [&] {
    H::OnUi([&] {
      int gw = 0, gh = 0;
      std::vector<COLORREF> glyph = GlyphPixels(IDB_BROWSE, &gw, &gh);
      SizeControl(IDC_BROWSE, gw - 1, gh);  // (w - gw) / 2 = -1 / 2 = 0
      CMemoryCanvas r = Rendering(H::Item(IDC_BROWSE));
      const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
      for (int x = 0; x < r.Width(); ++x) {
        COLORREF source = glyph[static_cast<size_t>((gh / 2) * gw + x)];
        EXPECT_EQ(r.At(x, gh / 2), source == RGB(192, 192, 192) ? face : source) << x;
      }
    });
  });
}

// A mouse move as it arrives: the pointer moves, then the window under it gets WM_MOUSEMOVE. The
// display's own motion events for the move arrive too; the pause lets them all be handled.
void MoveMouseTo(HWND hWndTarget, POINT ptScreen) {
  ::SetCursorPos(ptScreen.x, ptScreen.y);
  POINT ptClient = ptScreen;
  ::ScreenToClient(hWndTarget, &ptClient);
  ::PostMessageA(hWndTarget, WM_MOUSEMOVE, 0, MAKELPARAM(ptClient.x, ptClient.y));
  ::Sleep(150);
}

POINT CentreOf(HWND hWnd) {
  RECT rc;
  ::GetWindowRect(hWnd, &rc);
  return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

// How often the painted glyph changed, over the paints from index nFrom on (starting from the closed one).
int GlyphSwitches(const std::vector<bool>& drawnHot, size_t nFrom) {
  int nSwitches = 0;
  bool bLast = false;
  for (size_t i = nFrom; i < drawnHot.size(); ++i) {
    nSwitches += drawnHot[i] != bLast;
    bLast = drawnHot[i];
  }
  return nSwitches;
}

TEST(BrowseButton, HoverSwitchesTheGlyphOnceEachWayButNotDuringARun) {
  TestFiles files;
  std::string path = files.Patterned("pattern.bin", 1048576);
  CTestChecksumDlg dlg;
  bool bHotDuringRun = true;
  size_t nDrawsBeforeRun = 0;
  std::vector<bool> drawnDuringRun;
  dlg.m_onWorkerReport = [&](int nReport) {
    if (nReport == 0) {
      nDrawsBeforeRun = dlg.BrowseDrawnHot().size();
      MoveMouseTo(H::Item(IDC_BROWSE), CentreOf(H::Item(IDC_BROWSE)));
      ::Sleep(100);  // several passes of the run's pump
    }
    if (nReport == 1) {
      H::OnUi([&] { bHotDuringRun = dlg.m_bBrowseHot; });
      std::vector<bool> drawn = dlg.BrowseDrawnHot();
      drawnDuringRun.assign(drawn.begin() + static_cast<long>(nDrawsBeforeRun), drawn.end());
    }
  };
  H::Run(dlg, [&] {
    auto hot = [&] { return H::OnUiGet<bool>([&] { return dlg.m_bBrowseHot; }); };
    POINT inside = CentreOf(H::Item(IDC_BROWSE));
    POINT outside = CentreOf(H::Item(IDC_RESULT));
    // Start with the pointer at rest outside the button.
    MoveMouseTo(H::Item(IDC_RESULT), outside);
    ASSERT_TRUE(H::WaitFor([&] { return !hot(); }));
    H::OnUi([] {});
    size_t nFirst = dlg.BrowseDrawnHot().size();
    MoveMouseTo(H::Item(IDC_BROWSE), inside);
    ASSERT_TRUE(H::WaitFor(hot));
    MoveMouseTo(H::Item(IDC_BROWSE), POINT{inside.x + 1, inside.y});
    H::OnUi([] {});
    std::vector<bool> drawn = dlg.BrowseDrawnHot();
    EXPECT_EQ(GlyphSwitches(drawn, nFirst), 1);
    EXPECT_TRUE(drawn.back());

    MoveMouseTo(H::Item(IDC_RESULT), outside);
    ASSERT_TRUE(H::WaitFor([&] { return !hot(); }));
    drawn = dlg.BrowseDrawnHot();
    EXPECT_EQ(GlyphSwitches(drawn, nFirst), 2);
    EXPECT_FALSE(drawn.back());

    H::SetText(IDC_INPUT, path);
    H::ClickAndWait(IDOK);
    EXPECT_EQ(H::Text(IDC_RESULT), oracle::kPattern1MiB);
  });
  EXPECT_FALSE(bHotDuringRun);
  for (bool bHot : drawnDuringRun) EXPECT_FALSE(bHot);
}

TEST(OwnerDrawing, RepeatedPaintsAndRunsLeaveNoGdiObjectBehind) {
  TestFiles files;
  std::string path = files.Patterned("pattern.bin", 200000);
  CTestChecksumDlg dlg;
  H::Run(dlg, [&] {
    H::SetText(IDC_INPUT, path);
    H::ClickAndWait(IDOK);  // warm up whatever the system caches on first use
    DWORD dwBefore =
        H::OnUiGet<DWORD>([] { return ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS); });
    long nLiveBefore = CGdiObject::GetLiveCount();
    for (int i = 0; i < 5; ++i) H::ClickAndWait(IDOK);
    H::OnUi([&] {
      for (int i = 0; i < 50; ++i) {
        dlg.m_nPercent = i * 2 + 1;
        dlg.m_bBrowseHot = (i % 2) != 0;
        CMemoryCanvas bar = Rendering(H::Item(IDC_PROGRESS));
        CMemoryCanvas glyph = Rendering(H::Item(IDC_BROWSE));
      }
      dlg.m_nPercent = 0;
      dlg.m_bBrowseHot = false;
    });
    DWORD dwAfter = H::OnUiGet<DWORD>([] { return ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS); });
    EXPECT_EQ(dwAfter, dwBefore);  // Wine reports 0 for both; the wrappers' own count still speaks
    EXPECT_EQ(CGdiObject::GetLiveCount(), nLiveBefore);
    EXPECT_EQ(H::Text(IDC_RESULT), oracle::kPattern200000);
  });
}

}  // namespace
