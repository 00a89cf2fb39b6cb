// CPoint, CSize and CRect: the Win32 POINT, SIZE and RECT with a few conveniences.
#pragma once

#include <windows.h>

class CPoint : public POINT {
 public:
  CPoint() : POINT{0, 0} {}
  CPoint(int x0, int y0) : POINT{x0, y0} {}
  explicit CPoint(POINT pt) : POINT(pt) {}
  // The packed coordinates of a mouse message, each a signed 16-bit value.
  explicit CPoint(LPARAM lParam)
      : POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))} {}
};

class CSize : public SIZE {
 public:
  CSize() : SIZE{0, 0} {}
  CSize(int cx0, int cy0) : SIZE{cx0, cy0} {}
};

class CRect : public RECT {
 public:
  CRect() : RECT{0, 0, 0, 0} {}
  CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  explicit CRect(const RECT& rc) : RECT(rc) {}

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool PtInRect(POINT pt) const { return ::PtInRect(this, pt) != FALSE; }
  void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
  void DeflateRect(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
  void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }

  operator LPRECT() { return this; }         // NOLINT: implicit like the class library's
  operator LPCRECT() const { return this; }  // NOLINT
};
