#include "platform/ToolTipCtrl.h"

namespace {

// The version-5 record size: comctl32 5 rejects the larger records of later versions.
TTTOOLINFOA ToolInfo(CWnd* pWnd, UINT_PTR nIDTool) {
  TTTOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.hwnd = pWnd ? pWnd->m_hWnd : nullptr;
  if (nIDTool == 0) {
    ti.uFlags = TTF_IDISHWND;
    ti.uId = reinterpret_cast<UINT_PTR>(ti.hwnd);
  } else {
    ti.uId = nIDTool;
  }
  return ti;
}

}  // namespace

CToolTipCtrl::~CToolTipCtrl() {
  // Its owner may have destroyed it already; then WM_NCDESTROY has cleared m_hWnd.
  if (m_hWnd) CWnd::DestroyWindow();
}

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
  if (m_hWnd) return FALSE;
  HWND hWnd = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                pParentWnd ? pParentWnd->m_hWnd : nullptr, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
  if (!hWnd) return FALSE;
  // Subclassed, so that the object learns when the owner takes the window down with it.
  if (!SubclassWindow(hWnd)) {
    ::DestroyWindow(hWnd);
    return FALSE;
  }
  return TRUE;
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, const char* lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
  TTTOOLINFOA ti = ToolInfo(pWnd, nIDTool);
  if (lpRectTool) {
    ti.rect = *lpRectTool;
  } else if (nIDTool != 0 && ti.hwnd) {
    ::GetClientRect(ti.hwnd, &ti.rect);
  }
  ti.lpszText = const_cast<char*>(lpszText ? lpszText : LPSTR_TEXTCALLBACKA);
  return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
}

void CToolTipCtrl::UpdateTipText(const char* lpszText, CWnd* pWnd, UINT_PTR nIDTool) {
  TTTOOLINFOA ti = ToolInfo(pWnd, nIDTool);
  ti.lpszText = const_cast<char*>(lpszText ? lpszText : LPSTR_TEXTCALLBACKA);
  SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool) const {
  TTTOOLINFOA ti = ToolInfo(pWnd, nIDTool);
  // The control copies at most INFOTIPSIZE characters; newer versions also take the size in wParam.
  ti.lpszText = str.GetBuffer(INFOTIPSIZE);
  ti.lpszText[0] = '\0';
  SendMessage(TTM_GETTEXTA, INFOTIPSIZE, reinterpret_cast<LPARAM>(&ti));
  str.ReleaseBuffer();
}
