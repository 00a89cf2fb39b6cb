// GDI object wrappers. Each object owns its handle and deletes it on destruction; the previous object that a
// device context hands back on selection is a borrowed view (FromHandle), never an owner.
#pragma once

#include <windows.h>

class CDC;

class CGdiObject {
 public:
  CGdiObject() = default;
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;
  virtual ~CGdiObject();

  HGDIOBJ m_hObject = nullptr;

  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  // A borrowed view of a handle owned elsewhere; it lives as long as the thread and never deletes the handle.
  static CGdiObject* FromHandle(HGDIOBJ hObject);
  // Takes ownership of a handle made elsewhere; fails if this object already holds one.
  BOOL Attach(HGDIOBJ hObject);
  // Gives the handle up without deleting it.
  HGDIOBJ Detach();
  BOOL DeleteObject();
  int GetObject(int nCount, LPVOID lpObject) const;

  // Test hook: the number of GDI handles (objects and memory device contexts) these wrappers own right now.
  static long GetLiveCount();

 protected:
  // Stores a handle this object has just made, replacing (and deleting) any earlier one. A null handle leaves
  // the object empty, so drawing with it does nothing.
  BOOL Adopt(HGDIOBJ hObject);

  friend class CDC;
  static void CountOwned(long nDelta);
};

class CBitmap : public CGdiObject {
 public:
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }  // NOLINT: implicit like the library's
  static CBitmap* FromHandle(HBITMAP hBitmap);

  // Loads a bitmap resource of the program's own module.
  BOOL LoadBitmap(UINT nIDResource);
  BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
  int GetBitmap(BITMAP* pBitMap) const { return GetObject(sizeof(BITMAP), pBitMap); }
};

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  // Unlike the class library this does not throw: on failure the brush stays empty.
  explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }  // NOLINT: implicit like the library's
  static CBrush* FromHandle(HBRUSH hBrush);

  BOOL CreateSolidBrush(COLORREF crColor);
};

class CPen : public CGdiObject {
 public:
  CPen() = default;
  // Unlike the class library this does not throw: on failure the pen stays empty.
  CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }
  operator HPEN() const { return static_cast<HPEN>(m_hObject); }  // NOLINT: implicit like the library's
  static CPen* FromHandle(HPEN hPen);

  BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor);
};

class CFont : public CGdiObject {
 public:
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }  // NOLINT: implicit like the library's
  static CFont* FromHandle(HFONT hFont);

  BOOL CreateFontIndirect(const LOGFONTA* lpLogFont);
  int GetLogFont(LOGFONTA* pLogFont) const { return GetObject(sizeof(LOGFONTA), pLogFont); }
};
