#include "platform/Wnd.h"

#include <memory>
#include <unordered_map>

#include "platform/CmdTarget.h"
#include "platform/DataExchange.h"

namespace {

// The handle map is per thread, as windows belong to the thread that made them.
struct HandleMap {
  std::unordered_map<HWND, CWnd*> permanent;
  std::unordered_map<HWND, std::unique_ptr<CWnd>> temporary;
};

HandleMap& ThreadHandleMap() {
  thread_local HandleMap map;
  return map;
}

}  // namespace

// ---- CCmdTarget
// ---------------------------------------------------------------------------------------------

const CMessageMap* CCmdTarget::GetThisMessageMap() {
  static const CMessageMapEntry s_entries[] = {{0, 0, 0, 0, nullptr}};
  static const CMessageMap s_map = {nullptr, s_entries};
  return &s_map;
}

const CMessageMapEntry* CCmdTarget::FindEntry(UINT nMessage, UINT nCode, UINT nID) const {
  for (const CMessageMap* pMap = GetMessageMap(); pMap;
       pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
    for (const CMessageMapEntry* pEntry = pMap->pEntries; pEntry->nMessage != 0; ++pEntry) {
      if (pEntry->nMessage != nMessage || pEntry->nCode != nCode) continue;
      bool bIdMatches =
          (pEntry->nID == 0 && pEntry->nLastID == 0) || (nID >= pEntry->nID && nID <= pEntry->nLastID);
      if (bIdMatches) return pEntry;
    }
  }
  return nullptr;
}

bool CCmdTarget::OnCmdMsg(UINT nID, UINT nCode, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  const CMessageMapEntry* pEntry = FindEntry(WM_COMMAND, nCode, nID);
  return pEntry && pEntry->pfnThunk(this, wParam, lParam, pResult);
}

// ---- CWnd: handle map
// ---------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
  if (m_hWnd) {
    // An object that dies before its window gives the window back as it found it.
    if (m_pfnSuper) {
      UnsubclassWindow();
    } else {
      Detach();
    }
  }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  auto& map = ThreadHandleMap().permanent;
  auto it = map.find(hWnd);
  return it == map.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (!hWnd) return nullptr;
  if (CWnd* pWnd = FromHandlePermanent(hWnd)) return pWnd;
  auto& slot = ThreadHandleMap().temporary[hWnd];
  if (!slot) {
    slot = std::make_unique<CWnd>();
    slot->m_hWnd = hWnd;
  }
  return slot.get();
}

bool CWnd::Attach(HWND hWnd) {
  if (!hWnd || m_hWnd) return false;
  m_hWnd = hWnd;
  HandleMap& map = ThreadHandleMap();
  map.temporary.erase(hWnd);
  map.permanent[hWnd] = this;
  return true;
}

HWND CWnd::Detach() {
  HWND hWnd = m_hWnd;
  if (hWnd) {
    auto& map = ThreadHandleMap().permanent;
    auto it = map.find(hWnd);
    if (it != map.end() && it->second == this) map.erase(it);
  }
  m_hWnd = nullptr;
  return hWnd;
}

bool CWnd::SubclassWindow(HWND hWnd) {
  if (!Attach(hWnd)) return false;
  PreSubclassWindow();
  m_pfnSuper = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassWndProc)));
  if (!m_pfnSuper) {
    Detach();
    return false;
  }
  return true;
}

bool CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  HWND hWndControl = pParent ? ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)) : nullptr;
  return hWndControl && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow() {
  if (m_pfnSuper && m_hWnd) {
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  }
  m_pfnSuper = nullptr;
  return Detach();
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

// ---- CWnd: pre-translation and data exchange --------------------------------------------------------------

BOOL CWnd::PreTranslateMessage(MSG* /*pMsg*/) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
  for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
    if (CWnd* pWnd = FromHandlePermanent(hWnd)) {
      if (pWnd->PreTranslateMessage(pMsg)) return TRUE;
    }
    if (hWnd == hWndStop) break;
  }
  return FALSE;
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  DoDataExchange(&dx);
  return TRUE;
}

// ---- CWnd: dispatch
// -----------------------------------------------------------------------------------------

LRESULT CALLBACK CWnd::SubclassWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* pWnd = FromHandlePermanent(hWnd);
  if (!pWnd) return ::DefWindowProcA(hWnd, message, wParam, lParam);
  LRESULT lResult = pWnd->WindowProc(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // The window is gone: give the procedure back (the system calls it no more) and forget the handle.
    pWnd->m_pfnSuper = nullptr;
    pWnd->Detach();
    pWnd->PostNcDestroy();
  }
  return lResult;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT lResult = 0;
  bool bHandled;
  {
    CurrentMessage current(this, message, wParam, lParam);
    bHandled = OnWndMsg(message, wParam, lParam, &lResult);
  }
  if (!bHandled) lResult = DefWindowProc(message, wParam, lParam);
  return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  CurrentMessage* pCurrent = m_pCurrentMessage;
  if (!pCurrent) return 0;
  return DefWindowProc(pCurrent->message, pCurrent->wParam, pCurrent->lParam);
}

bool CWnd::OnCmdMsg(UINT nID, UINT nCode, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  return CCmdTarget::OnCmdMsg(nID, nCode, wParam, lParam, pResult);
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_COMMAND) {
    // A control's notification goes to the control first, then to this window's map.
    HWND hWndControl = reinterpret_cast<HWND>(lParam);
    if (hWndControl) {
      CWnd* pControl = FromHandlePermanent(hWndControl);
      if (pControl && pControl->OnChildNotify(kReflectBase + WM_COMMAND, wParam, lParam, pResult))
        return true;
    }
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam), wParam, lParam, pResult);
  }
  if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
    CWnd* pControl = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
    if (pControl && pControl->OnChildNotify(kReflectBase + WM_CTLCOLORSTATIC, wParam,
                                            static_cast<LPARAM>(message - WM_CTLCOLORMSGBOX), pResult)) {
      return true;
    }
  }
  const CMessageMapEntry* pEntry = FindEntry(message, 0, 0);
  return pEntry && pEntry->pfnThunk(this, wParam, lParam, pResult);
}

bool CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  UINT nCode = message == kReflectBase + WM_COMMAND ? HIWORD(wParam) : 0;
  const CMessageMapEntry* pEntry = FindEntry(message, nCode, 0);
  if (!pEntry) return false;
  CurrentMessage current(this, message, wParam, lParam);
  return pEntry->pfnThunk(this, wParam, lParam, pResult);
}

void CWnd::OnDrawItem(int /*nIDCtl*/, LPDRAWITEMSTRUCT lpDrawItemStruct) {
  // An owner-drawn control that draws itself gets the request reflected; otherwise the default applies.
  if (lpDrawItemStruct && lpDrawItemStruct->CtlType != ODT_MENU) {
    if (CWnd* pControl = FromHandlePermanent(lpDrawItemStruct->hwndItem)) {
      LRESULT lResult = 0;
      if (pControl->OnChildNotify(kReflectBase + WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(lpDrawItemStruct),
                                  &lResult)) {
        return;
      }
    }
  }
  Default();
}

// ---- CWnd: wrappers
// -----------------------------------------------------------------------------------------

CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }

void CWnd::GetWindowText(CString& rString) const {
  int nLength = ::GetWindowTextLengthA(m_hWnd);
  char* pBuffer = rString.GetBuffer(nLength + 1);
  ::GetWindowTextA(m_hWnd, pBuffer, nLength + 1);
  rString.ReleaseBuffer();
}

void CWnd::ScreenToClient(LPRECT lpRect) const {
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CWnd::ClientToScreen(LPRECT lpRect) const {
  ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(lpRect), 2);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
  return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
  HWND hWndCenter = pAlternateOwner ? pAlternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
  if (hWndCenter && (!::IsWindowVisible(hWndCenter) || ::IsIconic(hWndCenter))) hWndCenter = nullptr;

  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ::GetMonitorInfoA(::MonitorFromWindow(hWndCenter ? hWndCenter : m_hWnd, MONITOR_DEFAULTTONEAREST),
                    &monitor);
  CRect rcArea(monitor.rcWork);
  CRect rcCenter = rcArea;
  if (hWndCenter) ::GetWindowRect(hWndCenter, &rcCenter);

  CRect rcDialog;
  ::GetWindowRect(m_hWnd, &rcDialog);
  int x = (rcCenter.left + rcCenter.right) / 2 - rcDialog.Width() / 2;
  int y = (rcCenter.top + rcCenter.bottom) / 2 - rcDialog.Height() / 2;
  // Keep the whole window on the work area.
  if (x + rcDialog.Width() > rcArea.right) x = rcArea.right - rcDialog.Width();
  if (x < rcArea.left) x = rcArea.left;
  if (y + rcDialog.Height() > rcArea.bottom) y = rcArea.bottom - rcDialog.Height();
  if (y < rcArea.top) y = rcArea.top;
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) {
  HMENU hMenu = ::GetSystemMenu(m_hWnd, bRevert);
  if (!hMenu) return nullptr;
  m_menuSystem.Borrow(hMenu);
  return &m_menuSystem;
}

void CWnd::DragAcceptFiles(BOOL bAccept) { ::DragAcceptFiles(m_hWnd, bAccept); }
