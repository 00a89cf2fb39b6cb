#include "platform/DeviceContext.h"

#include <cstring>

#include "platform/Wnd.h"

CDC::~CDC() { DeleteDC(); }

BOOL CDC::Attach(HDC hDC) {
  if (m_hDC != nullptr || hDC == nullptr) return FALSE;
  m_hDC = hDC;
  m_bOwned = false;
  return TRUE;
}

HDC CDC::Detach() {
  HDC hDC = m_hDC;
  if (hDC != nullptr && m_bOwned) CGdiObject::CountOwned(-1);
  m_hDC = nullptr;
  m_bOwned = false;
  return hDC;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
  DeleteDC();
  HDC hDC = ::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr);
  if (hDC == nullptr) return FALSE;
  m_hDC = hDC;
  m_bOwned = true;
  CGdiObject::CountOwned(1);
  return TRUE;
}

BOOL CDC::DeleteDC() {
  if (m_hDC == nullptr) return FALSE;
  bool bOwned = m_bOwned;
  HDC hDC = Detach();
  return bOwned ? ::DeleteDC(hDC) : FALSE;  // a borrowed DC is only let go
}

CPen* CDC::SelectObject(CPen* pPen) {
  if (pPen == nullptr || pPen->m_hObject == nullptr) return nullptr;
  return CPen::FromHandle(static_cast<HPEN>(::SelectObject(m_hDC, pPen->m_hObject)));
}

CBrush* CDC::SelectObject(CBrush* pBrush) {
  if (pBrush == nullptr || pBrush->m_hObject == nullptr) return nullptr;
  return CBrush::FromHandle(static_cast<HBRUSH>(::SelectObject(m_hDC, pBrush->m_hObject)));
}

CFont* CDC::SelectObject(CFont* pFont) {
  if (pFont == nullptr || pFont->m_hObject == nullptr) return nullptr;
  return CFont::FromHandle(static_cast<HFONT>(::SelectObject(m_hDC, pFont->m_hObject)));
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
  if (pBitmap == nullptr || pBitmap->m_hObject == nullptr) return nullptr;
  return CBitmap::FromHandle(static_cast<HBITMAP>(::SelectObject(m_hDC, pBitmap->m_hObject)));
}

CGdiObject* CDC::SelectObject(CGdiObject* pObject) {
  if (pObject == nullptr || pObject->m_hObject == nullptr) return nullptr;
  return CGdiObject::FromHandle(::SelectObject(m_hDC, pObject->m_hObject));
}

CGdiObject* CDC::SelectStockObject(int nIndex) {
  HGDIOBJ hObject = ::GetStockObject(nIndex);
  if (hObject == nullptr) return nullptr;
  return CGdiObject::FromHandle(::SelectObject(m_hDC, hObject));
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
  ::SetBkColor(m_hDC, clr);
  ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
  RECT rect = {x, y, x + cx, y + cy};
  FillSolidRect(&rect, clr);
}

CSize CDC::GetTextExtent(const char* lpszString, int nCount) const {
  SIZE size = {0, 0};
  ::GetTextExtentPoint32A(m_hDC, lpszString, nCount, &size);
  return CSize(size.cx, size.cy);
}

CSize CDC::GetTextExtent(const char* lpszString) const {
  return GetTextExtent(lpszString, lpszString ? static_cast<int>(std::strlen(lpszString)) : 0);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
  Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC() {
  Detach();
  ::EndPaint(m_hWnd, &m_ps);  // paired with BeginPaint whatever it returned
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) { Attach(::GetDC(m_hWnd)); }

CClientDC::~CClientDC() {
  if (m_hDC != nullptr) ::ReleaseDC(m_hWnd, Detach());
}
