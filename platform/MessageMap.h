// The message-map entries for window messages: each macro names the handler the class library's way and
// checks its signature at compile time. Include in the .cpp file that defines a class's map.
#pragma once

#include <windows.h>

#include <type_traits>

#include "platform/CmdTarget.h"
#include "platform/DeviceContext.h"
#include "platform/Geometry.h"
#include "platform/Wnd.h"

namespace msgmap {

template <class T, auto F, class Sig>
constexpr void CheckSignature() {
  static_assert(std::is_convertible_v<decltype(F), Sig>, "message handler has the wrong signature");
}

template <class T, auto F>
bool SysCommand(CCmdTarget* p, WPARAM wParam, LPARAM lParam, LRESULT* r) {
  CheckSignature<T, F, void (T::*)(UINT, LPARAM)>();
  (static_cast<T*>(p)->*F)(static_cast<UINT>(wParam), lParam);
  *r = 0;
  return true;
}

template <class T, auto F>
bool Void(CCmdTarget* p, WPARAM, LPARAM, LRESULT* r) {
  CheckSignature<T, F, void (T::*)()>();
  (static_cast<T*>(p)->*F)();
  *r = 0;
  return true;
}

template <class T, auto F>
bool QueryDragIcon(CCmdTarget* p, WPARAM, LPARAM, LRESULT* r) {
  CheckSignature<T, F, HCURSOR (T::*)()>();
  *r = reinterpret_cast<LRESULT>((static_cast<T*>(p)->*F)());
  return true;
}

template <class T, auto F>
bool DrawItem(CCmdTarget* p, WPARAM wParam, LPARAM lParam, LRESULT* r) {
  CheckSignature<T, F, void (T::*)(int, LPDRAWITEMSTRUCT)>();
  (static_cast<T*>(p)->*F)(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  *r = TRUE;
  return true;
}

template <class T, auto F>
bool DropFiles(CCmdTarget* p, WPARAM wParam, LPARAM, LRESULT* r) {
  CheckSignature<T, F, void (T::*)(HDROP)>();
  (static_cast<T*>(p)->*F)(reinterpret_cast<HDROP>(wParam));
  *r = 0;
  return true;
}

template <class T, auto F>
bool SetCursor(CCmdTarget* p, WPARAM wParam, LPARAM lParam, LRESULT* r) {
  CheckSignature<T, F, BOOL (T::*)(CWnd*, UINT, UINT)>();
  *r = (static_cast<T*>(p)->*F)(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam),
                                HIWORD(lParam));
  return true;
}

template <class T, auto F>
bool MouseMove(CCmdTarget* p, WPARAM wParam, LPARAM lParam, LRESULT* r) {
  CheckSignature<T, F, void (T::*)(UINT, CPoint)>();
  (static_cast<T*>(p)->*F)(static_cast<UINT>(wParam), CPoint(lParam));
  *r = 0;
  return true;
}

template <class T, auto F>
bool Timer(CCmdTarget* p, WPARAM wParam, LPARAM, LRESULT* r) {
  CheckSignature<T, F, void (T::*)(UINT_PTR)>();
  (static_cast<T*>(p)->*F)(static_cast<UINT_PTR>(wParam));
  *r = 0;
  return true;
}

template <class T, auto F>
bool EraseBkgnd(CCmdTarget* p, WPARAM wParam, LPARAM, LRESULT* r) {
  CheckSignature<T, F, BOOL (T::*)(CDC*)>();
  CDC dc;
  dc.Attach(reinterpret_cast<HDC>(wParam));
  *r = (static_cast<T*>(p)->*F)(&dc);
  dc.Detach();
  return true;
}

// A control's colour request, reflected from its parent: the handler's brush paints the control; a null
// brush leaves the request to the parent.
template <class T, auto F>
bool CtlColorReflect(CCmdTarget* p, WPARAM wParam, LPARAM lParam, LRESULT* r) {
  CheckSignature<T, F, HBRUSH (T::*)(CDC*, UINT)>();
  CDC dc;
  dc.Attach(reinterpret_cast<HDC>(wParam));
  HBRUSH hBrush = (static_cast<T*>(p)->*F)(&dc, static_cast<UINT>(lParam));
  dc.Detach();
  *r = reinterpret_cast<LRESULT>(hBrush);
  return hBrush != nullptr;
}

}  // namespace msgmap

#define ON_WM_SYSCOMMAND() {WM_SYSCOMMAND, 0, 0, 0, &msgmap::SysCommand<ThisClass, &ThisClass::OnSysCommand>},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, &msgmap::Void<ThisClass, &ThisClass::OnPaint>},
#define ON_WM_QUERYDRAGICON() \
  {WM_QUERYDRAGICON, 0, 0, 0, &msgmap::QueryDragIcon<ThisClass, &ThisClass::OnQueryDragIcon>},
#define ON_WM_DRAWITEM() {WM_DRAWITEM, 0, 0, 0, &msgmap::DrawItem<ThisClass, &ThisClass::OnDrawItem>},
#define ON_WM_DROPFILES() {WM_DROPFILES, 0, 0, 0, &msgmap::DropFiles<ThisClass, &ThisClass::OnDropFiles>},
#define ON_WM_SETCURSOR() {WM_SETCURSOR, 0, 0, 0, &msgmap::SetCursor<ThisClass, &ThisClass::OnSetCursor>},
#define ON_WM_MOUSEMOVE() {WM_MOUSEMOVE, 0, 0, 0, &msgmap::MouseMove<ThisClass, &ThisClass::OnMouseMove>},
#define ON_WM_TIMER() {WM_TIMER, 0, 0, 0, &msgmap::Timer<ThisClass, &ThisClass::OnTimer>},
#define ON_WM_ERASEBKGND() {WM_ERASEBKGND, 0, 0, 0, &msgmap::EraseBkgnd<ThisClass, &ThisClass::OnEraseBkgnd>},
// Every WM_CTLCOLOR* the parent receives for this control comes back as this one reflected message; the
// handler's second argument is the CTLCOLOR_* kind.
#define ON_WM_CTLCOLOR_REFLECT() \
  {kReflectBase + WM_CTLCOLORSTATIC, 0, 0, 0, &msgmap::CtlColorReflect<ThisClass, &ThisClass::CtlColor>},
