#include "platform/GdiObject.h"

#include <atomic>
#include <memory>
#include <unordered_map>

#include "platform/DeviceContext.h"

namespace {

std::atomic<long> g_nOwned{0};

// Borrowed views must never delete the handle they show.
struct ForgetHandle {
  void operator()(CGdiObject* p) const {
    p->m_hObject = nullptr;
    delete p;
  }
};

// One view per handle and type for the life of the thread, so a pointer handed out stays valid. The handles
// seen here are what a device context held before a selection, in practice a handful of stock objects.
template <class T>
T* BorrowedView(HGDIOBJ hObject) {
  if (hObject == nullptr) return nullptr;
  thread_local std::unordered_map<HGDIOBJ, std::unique_ptr<T, ForgetHandle>> s_views;
  auto& slot = s_views[hObject];
  if (!slot) {
    slot.reset(new T);
    slot->m_hObject = hObject;
  }
  return slot.get();
}

}  // namespace

void CGdiObject::CountOwned(long nDelta) { g_nOwned += nDelta; }

long CGdiObject::GetLiveCount() { return g_nOwned.load(); }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject) { return BorrowedView<CGdiObject>(hObject); }

CGdiObject::~CGdiObject() { DeleteObject(); }

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
  if (m_hObject != nullptr || hObject == nullptr) return FALSE;
  m_hObject = hObject;
  CountOwned(1);
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ hObject = m_hObject;
  if (hObject != nullptr) CountOwned(-1);
  m_hObject = nullptr;
  return hObject;
}

BOOL CGdiObject::DeleteObject() {
  if (m_hObject == nullptr) return FALSE;
  return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const {
  if (m_hObject == nullptr) return 0;
  return ::GetObjectA(m_hObject, nCount, lpObject);
}

BOOL CGdiObject::Adopt(HGDIOBJ hObject) {
  DeleteObject();
  return Attach(hObject);
}

CBitmap* CBitmap::FromHandle(HBITMAP hBitmap) { return BorrowedView<CBitmap>(hBitmap); }

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
  return Adopt(::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nIDResource)));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
  HDC hDC = pDC ? pDC->GetSafeHdc() : nullptr;
  if (hDC == nullptr) {
    DeleteObject();
    return FALSE;
  }
  return Adopt(::CreateCompatibleBitmap(hDC, nWidth, nHeight));
}

CBrush* CBrush::FromHandle(HBRUSH hBrush) { return BorrowedView<CBrush>(hBrush); }

BOOL CBrush::CreateSolidBrush(COLORREF crColor) { return Adopt(::CreateSolidBrush(crColor)); }

CPen* CPen::FromHandle(HPEN hPen) { return BorrowedView<CPen>(hPen); }

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
  return Adopt(::CreatePen(nPenStyle, nWidth, crColor));
}

CFont* CFont::FromHandle(HFONT hFont) { return BorrowedView<CFont>(hFont); }

BOOL CFont::CreateFontIndirect(const LOGFONTA* lpLogFont) {
  if (lpLogFont == nullptr) {
    DeleteObject();
    return FALSE;
  }
  return Adopt(::CreateFontIndirectA(lpLogFont));
}
