// GDI wrappers: who owns which handle, that repeated paints leave nothing behind, and that the drawing
// helpers hit the pixels they name.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "platform/DeviceContext.h"
#include "platform/GdiObject.h"

namespace {

// A top-down 32-bpp DIB section: exact colours whatever the screen depth.
HBITMAP MakeDib(int width, int height, uint32_t** ppBits) {
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = -height;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* pBits = nullptr;
  HBITMAP hBitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
  *ppBits = static_cast<uint32_t*>(pBits);
  return hBitmap;
}

DWORD ProcessGdiObjects() { return ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS); }

// What the owner-drawn progress bar does on every paint, with every kind of wrapper involved.
void PaintOnce(CDC* pTarget, long* pLiveDuringPaint) {
  CDC dcFrame;
  CBitmap bmpFrame;
  CDC dcTexture;
  CBitmap bmpTexture;
  ASSERT_TRUE(dcFrame.CreateCompatibleDC(pTarget));
  ASSERT_TRUE(bmpFrame.CreateCompatibleBitmap(pTarget, 40, 12));
  ASSERT_TRUE(dcTexture.CreateCompatibleDC(pTarget));
  ASSERT_TRUE(bmpTexture.CreateCompatibleBitmap(pTarget, 30, 13));
  CBitmap* pOldFrame = dcFrame.SelectObject(&bmpFrame);
  CBitmap* pOldTexture = dcTexture.SelectObject(&bmpTexture);
  {
    CBrush brush(RGB(255, 255, 255));
    CPen pen(PS_SOLID, 1, ::GetSysColor(COLOR_WINDOWFRAME));
    CFont font;
    LOGFONTA lf{};
    lf.lfHeight = -11;
    ASSERT_TRUE(font.CreateFontIndirect(&lf));
    *pLiveDuringPaint = CGdiObject::GetLiveCount();
    CBrush* pOldBrush = dcFrame.SelectObject(&brush);
    CPen* pOldPen = dcFrame.SelectObject(&pen);
    CFont* pOldFont = dcFrame.SelectObject(&font);
    dcFrame.Rectangle(0, 0, 40, 12);
    dcFrame.GetTextExtent("Quorvex");
    dcFrame.SelectObject(pOldFont);
    dcFrame.SelectObject(pOldPen);
    dcFrame.SelectObject(pOldBrush);
  }
  dcFrame.StretchBlt(1, 2, 20, 8, &dcTexture, 0, 0, 20, 13, SRCCOPY);
  pTarget->BitBlt(0, 0, 40, 12, &dcFrame, 0, 0, SRCCOPY);
  pTarget->FillSolidRect(0, 0, 4, 4, RGB(1, 2, 3));
  dcTexture.SelectObject(pOldTexture);
  dcFrame.SelectObject(pOldFrame);
}

TEST(GdiWrappers, RepeatedPaintsLeaveNoObjectBehind) {
  uint32_t* pBits = nullptr;
  CBitmap target;
  ASSERT_TRUE(target.Attach(MakeDib(40, 12, &pBits)));
  CDC dcTarget;
  ASSERT_TRUE(dcTarget.CreateCompatibleDC(nullptr));
  dcTarget.SelectObject(&target);

  const long nLiveBefore = CGdiObject::GetLiveCount();
  const DWORD nProcessBefore = ProcessGdiObjects();
  for (int i = 0; i < 300; ++i) {
    long nLiveDuringPaint = 0;
    PaintOnce(&dcTarget, &nLiveDuringPaint);
    if (HasFatalFailure()) return;
    // Two DCs, two bitmaps, brush, pen, font: the hook really sees what a paint makes.
    ASSERT_EQ(nLiveDuringPaint, nLiveBefore + 7);
  }
  EXPECT_EQ(CGdiObject::GetLiveCount(), nLiveBefore);
  // Wine may report 0 here; when the system counts, its count must not grow either.
  if (nProcessBefore != 0) {
    EXPECT_EQ(ProcessGdiObjects(), nProcessBefore);
  }
  std::printf("GetGuiResources(GR_GDIOBJECTS) before %lu, after %lu\n", nProcessBefore, ProcessGdiObjects());
}

TEST(GdiWrappers, OwnedHandlesDieWithTheirWrapperBorrowedOnesSurvive) {
  HGDIOBJ hMade = nullptr;
  HDC hMadeDC = nullptr;
  {
    CBrush brush(RGB(9, 9, 9));
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    hMade = brush.m_hObject;
    hMadeDC = dc.m_hDC;
  }
  EXPECT_EQ(::GetObjectType(hMade), 0u) << "a made brush outlives its wrapper";
  EXPECT_EQ(::GetObjectType(hMadeDC), 0u) << "a made DC outlives its wrapper";

  // An attached DC is borrowed; a detached object is given away.
  HDC hForeignDC = ::CreateCompatibleDC(nullptr);
  HGDIOBJ hKept = nullptr;
  {
    CDC dc;
    ASSERT_TRUE(dc.Attach(hForeignDC));
    CPen pen(PS_SOLID, 1, RGB(1, 1, 1));
    hKept = pen.Detach();
  }
  EXPECT_EQ(::GetObjectType(hForeignDC), static_cast<DWORD>(OBJ_MEMDC));
  EXPECT_EQ(::GetObjectType(hKept), static_cast<DWORD>(OBJ_PEN));
  ::DeleteObject(hKept);

  // Selecting hands back a view of the previous object, not its owner; dropping the DC and the view's
  // thread-long life leave the owner's handle alone.
  CBitmap first;
  CBitmap second;
  {
    CDC dc;
    dc.Attach(hForeignDC);
    ASSERT_TRUE(first.CreateCompatibleBitmap(&dc, 4, 4));
    ASSERT_TRUE(second.CreateCompatibleBitmap(&dc, 4, 4));
    CBitmap* pStock = dc.SelectObject(&first);
    ASSERT_NE(pStock, nullptr);
    CBitmap* pPrevious = dc.SelectObject(&second);
    ASSERT_NE(pPrevious, nullptr);
    EXPECT_NE(pPrevious, &first);
    EXPECT_EQ(pPrevious->m_hObject, first.m_hObject);
    EXPECT_EQ(dc.SelectObject(pStock), CBitmap::FromHandle(second));
  }
  ::DeleteDC(hForeignDC);
  EXPECT_EQ(::GetObjectType(first.m_hObject), static_cast<DWORD>(OBJ_BITMAP));
  EXPECT_EQ(::GetObjectType(second.m_hObject), static_cast<DWORD>(OBJ_BITMAP));
}

TEST(GdiWrappers, EmptyBrushOrPenSelectsNothing) {
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  HGDIOBJ hBrushBefore = ::GetCurrentObject(dc, OBJ_BRUSH);
  CBrush empty;  // what a brush whose creation failed looks like
  CPen emptyPen;
  EXPECT_EQ(dc.SelectObject(&empty), nullptr);
  EXPECT_EQ(dc.SelectObject(&emptyPen), nullptr);
  EXPECT_EQ(dc.SelectObject(static_cast<CBrush*>(nullptr)), nullptr);
  EXPECT_EQ(::GetCurrentObject(dc, OBJ_BRUSH), hBrushBefore);
}

TEST(GdiWrappers, DrawingHelpersHitTheNamedPixels) {
  const int w = 16;
  const int h = 10;
  uint32_t* pBits = nullptr;
  CBitmap target;
  ASSERT_TRUE(target.Attach(MakeDib(w, h, &pBits)));
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap* pOld = dc.SelectObject(&target);
  auto pixel = [&](int x, int y) { return pBits[y * w + x] & 0xFFFFFF; };  // 0xRRGGBB in a DIB

  dc.FillSolidRect(CRect(0, 0, w, h), RGB(0, 0, 0));
  {
    CBrush brush(RGB(255, 255, 255));
    CPen pen(PS_SOLID, 1, RGB(0, 0, 255));
    CBrush* pOldBrush = dc.SelectObject(&brush);
    CPen* pOldPen = dc.SelectObject(&pen);
    CRect frame(1, 1, 9, 7);
    dc.Rectangle(frame);
    dc.SelectObject(pOldPen);
    dc.SelectObject(pOldBrush);
  }
  ::GdiFlush();
  EXPECT_EQ(pixel(1, 1), 0x0000FFu);  // frame, pen colour
  EXPECT_EQ(pixel(8, 6), 0x0000FFu);  // right and bottom edge are the last ones inside
  EXPECT_EQ(pixel(9, 7), 0x000000u);
  EXPECT_EQ(pixel(4, 4), 0xFFFFFFu);  // interior, brush colour

  // x, y, width, height; the background colour stays set to the fill colour.
  dc.FillSolidRect(10, 2, 3, 4, RGB(255, 0, 0));
  ::GdiFlush();
  EXPECT_EQ(pixel(10, 2), 0xFF0000u);
  EXPECT_EQ(pixel(12, 5), 0xFF0000u);
  EXPECT_EQ(pixel(13, 5), 0x000000u);
  EXPECT_EQ(pixel(12, 6), 0x000000u);
  EXPECT_EQ(::GetBkColor(dc), RGB(255, 0, 0));

  EXPECT_EQ(dc.GetPixel(11, 3), RGB(255, 0, 0));
  dc.SetPixel(0, 9, RGB(0, 255, 0));
  ::GdiFlush();
  EXPECT_EQ(pixel(0, 9), 0x00FF00u);
  dc.SelectObject(pOld);
}

TEST(GdiWrappers, FontCopiedWithUnderlineKeepsItsFace) {
  LOGFONTA lfStock{};
  ASSERT_NE(CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)))->GetLogFont(&lfStock),
            0);
  LOGFONTA lfUnderlined = lfStock;
  lfUnderlined.lfUnderline = TRUE;
  CFont font;
  ASSERT_TRUE(font.CreateFontIndirect(&lfUnderlined));

  LOGFONTA lfRead{};
  ASSERT_EQ(font.GetLogFont(&lfRead), static_cast<int>(sizeof(LOGFONTA)));
  EXPECT_TRUE(lfRead.lfUnderline);
  EXPECT_EQ(lfRead.lfHeight, lfStock.lfHeight);
  EXPECT_STREQ(lfRead.lfFaceName, lfStock.lfFaceName);

  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CFont* pOld = dc.SelectObject(&font);
  CSize one = dc.GetTextExtent("M");
  CSize three = dc.GetTextExtent("MMMx", 3);
  EXPECT_GT(one.cx, 0);
  EXPECT_EQ(three.cx, 3 * one.cx);
  dc.SelectObject(pOld);
}

}  // namespace
