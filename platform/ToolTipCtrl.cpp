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
  // Asked in UTF-16: the ANSI message returns at most 80 bytes on some systems (Wine among them), while the
  // wide one fills the buffer whose size it is given.
  TTTOOLINFOA tiA = ToolInfo(pWnd, nIDTool);
  TTTOOLINFOW ti{};
  ti.cbSize = TTTOOLINFOW_V2_SIZE;
  ti.uFlags = tiA.uFlags;
  ti.hwnd = tiA.hwnd;
  ti.uId = tiA.uId;
  WCHAR szText[INFOTIPSIZE + 1] = {0};
  ti.lpszText = szText;
  SendMessage(TTM_GETTEXTW, INFOTIPSIZE, reinterpret_cast<LPARAM>(&ti));
  szText[INFOTIPSIZE] = L'\0';
  int nBytes = ::WideCharToMultiByte(CP_ACP, 0, szText, -1, nullptr, 0, nullptr, nullptr);
  char* pBuffer = str.GetBuffer(nBytes > 0 ? nBytes : 1);
  pBuffer[0] = '\0';
  if (nBytes > 0) ::WideCharToMultiByte(CP_ACP, 0, szText, -1, pBuffer, nBytes, nullptr, nullptr);
  str.ReleaseBuffer();
}
