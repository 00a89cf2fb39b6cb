// A 32-bit memory bitmap filled with one colour, into which a test has a window paint itself, with its
// pixels read back exactly.
#pragma once

#include <windows.h>

class CMemoryCanvas {
 public:
  CMemoryCanvas(int nWidth, int nHeight, COLORREF clrFill) : m_nWidth(nWidth), m_nHeight(nHeight) {
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = nWidth;
    bmi.bmiHeader.biHeight = -nHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    m_hDC = ::CreateCompatibleDC(nullptr);
    m_hBitmap =
        ::CreateDIBSection(m_hDC, &bmi, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_pBits), nullptr, 0);
    m_hOld = ::SelectObject(m_hDC, m_hBitmap);
    RECT rc{0, 0, nWidth, nHeight};
    HBRUSH hBrush = ::CreateSolidBrush(clrFill);
    ::FillRect(m_hDC, &rc, hBrush);
    ::DeleteObject(hBrush);
  }
  ~CMemoryCanvas() {
    if (!m_hDC) return;  // moved from
    ::SelectObject(m_hDC, m_hOld);
    ::DeleteObject(m_hBitmap);
    ::DeleteDC(m_hDC);
  }
  CMemoryCanvas(const CMemoryCanvas&) = delete;
  CMemoryCanvas& operator=(const CMemoryCanvas&) = delete;

  // The client area of hWnd as the window paints it (WM_PRINTCLIENT), over a background of clrFill.
  static CMemoryCanvas OfClient(HWND hWnd, COLORREF clrFill) {
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    CMemoryCanvas canvas(rc.right, rc.bottom, clrFill);
    ::SendMessageA(hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    return canvas;
  }

  HDC Dc() const { return m_hDC; }
  int Width() const { return m_nWidth; }
  int Height() const { return m_nHeight; }
  int Total() const { return m_nWidth * m_nHeight; }
  COLORREF At(int x, int y) const {
    ::GdiFlush();
    DWORD dwPixel = m_pBits[y * m_nWidth + x];
    return RGB((dwPixel >> 16) & 0xFF, (dwPixel >> 8) & 0xFF, dwPixel & 0xFF);
  }
  int Count(COLORREF clr) const {
    int n = 0;
    for (int y = 0; y < m_nHeight; ++y)
      for (int x = 0; x < m_nWidth; ++x) n += At(x, y) == clr;
    return n;
  }

 private:
  CMemoryCanvas(CMemoryCanvas&& other) noexcept
      : m_nWidth(other.m_nWidth),
        m_nHeight(other.m_nHeight),
        m_hDC(other.m_hDC),
        m_hBitmap(other.m_hBitmap),
        m_hOld(other.m_hOld),
        m_pBits(other.m_pBits) {
    other.m_hDC = nullptr;
    other.m_hBitmap = nullptr;
    other.m_hOld = nullptr;
  }

  int m_nWidth;
  int m_nHeight;
  HDC m_hDC = nullptr;
  HBITMAP m_hBitmap = nullptr;
  HGDIOBJ m_hOld = nullptr;
  DWORD* m_pBits = nullptr;
};
