#include "controls/LinkLabel.h"

#include <mbstring.h>
#include <shellapi.h>
#include <wininet.h>

#include <cstring>

#include "platform/DeviceContext.h"
#include "platform/InternetSession.h"
#include "platform/MessageMap.h"

namespace {

constexpr UINT kHotPollMillis = 100;
constexpr UINT_PTR kToolId = 1;
// The registry values and the command line of the fallback launch.
constexpr int kValueBytes = 260;
constexpr int kCommandBytes = 2 * kValueBytes;
// Below this the launch failed (the shell's and WinExec's convention).
constexpr UINT kLaunchFailedMax = 32;

}  // namespace

BEGIN_MESSAGE_MAP(CLinkLabel, CStatic)
ON_WM_CTLCOLOR_REFLECT()
ON_WM_SETCURSOR()
ON_WM_MOUSEMOVE()
ON_WM_TIMER()
ON_CONTROL_REFLECT(STN_CLICKED, &CLinkLabel::OnLabelClicked)
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CLinkLabel::CLinkLabel()
    : m_clrNormal(RGB(10, 25, 229)),
      m_clrFollowed(RGB(85, 26, 139)),
      m_clrHot(RGB(100, 22, 255)),
      m_bHot(FALSE),
      m_bFollowed(FALSE),
      m_nUnderlineMode(-1),
      m_bFitToText(TRUE),
      m_hHandCursor(nullptr),
      m_nHotTimerId(100) {}

CLinkLabel::~CLinkLabel() {
  m_fontUnderlined.DeleteObject();
  // Our own copy; the original belonged to the module or the system.
  if (m_hHandCursor != nullptr) ::DestroyIcon(m_hHandCursor);
}

// ---- attachment
// ----------------------------------------------------------------------------------------------

void CLinkLabel::PreSubclassWindow() {
  // A static reports clicks, and takes the mouse at all, only with SS_NOTIFY.
  ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(GetStyle() | SS_NOTIFY));

  if (m_strUrl.IsEmpty()) GetWindowText(m_strUrl);
  if (GetWindowTextLength() == 0) SetWindowText(m_strUrl);

  HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  if (hFont == nullptr) hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  if (hFont == nullptr) hFont = static_cast<HFONT>(::GetStockObject(ANSI_VAR_FONT));
  LOGFONTA logFont;
  // Without any font both stay empty: the label keeps the system's and is measured with it.
  if (hFont != nullptr && ::GetObjectA(hFont, sizeof logFont, &logFont) == sizeof logFont) {
    m_fontPlain.CreateFontIndirect(&logFont);
    logFont.lfUnderline = TRUE;
    m_fontUnderlined.CreateFontIndirect(&logFont);
  }

  FitWindowToText();
  LoadHandCursor();
  SetUnderlineMode(-1);

  CRect rcClient;
  GetClientRect(rcClient);
  m_tooltip.Create(this);
  m_tooltip.AddTool(this, m_strUrl, rcClient, kToolId);

  CStatic::PreSubclassWindow();
}

BOOL CLinkLabel::DestroyWindow() {
  KillTimer(m_nHotTimerId);
  return CStatic::DestroyWindow();
}

BOOL CLinkLabel::PreTranslateMessage(MSG* pMsg) {
  // The tooltip does not watch the label itself; it sees the mouse only through this relay.
  m_tooltip.RelayEvent(pMsg);
  return CStatic::PreTranslateMessage(pMsg);
}

// ---- setters
// -------------------------------------------------------------------------------------------------

void CLinkLabel::SetTargetUrl(CString strUrl) {
  m_strUrl = strUrl;
  if (::IsWindow(m_hWnd)) {
    FitWindowToText();
    m_tooltip.UpdateTipText(m_strUrl, this, kToolId);
  }
}

void CLinkLabel::SetFollowed(BOOL bFollowed) {
  m_bFollowed = bFollowed;
  if (::IsWindow(m_hWnd)) Invalidate(TRUE);
}

void CLinkLabel::SetUnderlineMode(int nMode) {
  if (nMode == m_nUnderlineMode) return;
  if (::IsWindow(m_hWnd)) {
    ApplyFont(nMode == 1 ? m_fontUnderlined : m_fontPlain);
    Invalidate(TRUE);
  }
  m_nUnderlineMode = nMode;
}

void CLinkLabel::ApplyFont(CFont& font) {
  // A null font would switch the label to the system font.
  if (font.GetSafeHandle() != nullptr)
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font.GetSafeHandle()), TRUE);
}

// ---- size
// ----------------------------------------------------------------------------------------------------

void CLinkLabel::FitWindowToText() {
  if (!::IsWindow(m_hWnd) || !m_bFitToText) return;

  CRect rcWindow;
  CRect rcClient;
  GetWindowRect(rcWindow);
  GetClientRect(rcClient);
  ClientToScreen(rcClient);
  if (HWND hWndParent = ::GetParent(m_hWnd)) {
    ::MapWindowPoints(nullptr, hWndParent, reinterpret_cast<LPPOINT>(&rcWindow), 2);
    ::MapWindowPoints(nullptr, hWndParent, reinterpret_cast<LPPOINT>(&rcClient), 2);
  }

  // Measured with the wider of the two looks, so the hot text fits too.
  CString strText;
  GetWindowText(strText);
  SIZE sizeText{0, 0};
  HDC hDC = ::GetDC(m_hWnd);
  if (hDC != nullptr) {
    HGDIOBJ hOldFont = nullptr;
    if (m_fontUnderlined.GetSafeHandle() != nullptr)
      hOldFont = ::SelectObject(hDC, m_fontUnderlined.GetSafeHandle());
    ::GetTextExtentPoint32A(hDC, strText, strText.GetLength(), &sizeText);
    if (hOldFont != nullptr) ::SelectObject(hDC, hOldFont);
    ::ReleaseDC(m_hWnd, hDC);
  }

  // The text plus whatever the frame takes.
  int nWidth = sizeText.cx + (rcWindow.Width() - rcClient.Width());
  int nHeight = sizeText.cy + (rcWindow.Height() - rcClient.Height());

  DWORD dwStyle = GetStyle();
  if (dwStyle & SS_CENTERIMAGE) {
    rcWindow.InflateRect(0, -((rcWindow.Height() - nHeight) / 2));
  } else {
    rcWindow.bottom = rcWindow.top + nHeight;
  }
  if (dwStyle & SS_CENTER) {
    rcWindow.InflateRect(-((rcWindow.Width() - nWidth) / 2), 0);
  } else if (dwStyle & SS_RIGHT) {
    rcWindow.left = rcWindow.right - nWidth;
  } else {
    rcWindow.right = rcWindow.left + nWidth;
  }
  SetWindowPos(nullptr, rcWindow.left, rcWindow.top, rcWindow.Width(), rcWindow.Height(), SWP_NOZORDER);
}

// ---- look and hover
// ------------------------------------------------------------------------------------------

HBRUSH CLinkLabel::CtlColor(CDC* pDC, UINT /*nCtlColor*/) {
  COLORREF clrText = m_bHot ? m_clrHot : (m_bFollowed ? m_clrFollowed : m_clrNormal);
  pDC->SetTextColor(clrText);
  pDC->SetBkMode(TRANSPARENT);
  // The static paints no background; OnEraseBkgnd has.
  return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

BOOL CLinkLabel::OnEraseBkgnd(CDC* pDC) {
  CRect rcClient;
  GetClientRect(rcClient);
  pDC->FillSolidRect(rcClient, ::GetSysColor(COLOR_BTNFACE));
  return TRUE;
}

BOOL CLinkLabel::OnSetCursor(CWnd* /*pWnd*/, UINT /*nHitTest*/, UINT /*message*/) {
  if (m_hHandCursor == nullptr) return FALSE;
  ::SetCursor(m_hHandCursor);
  return TRUE;
}

void CLinkLabel::OnMouseMove(UINT /*nFlags*/, CPoint /*point*/) {
  if (!m_bHot) {
    m_bHot = TRUE;
    if (m_nUnderlineMode == -1) ApplyFont(m_fontUnderlined);
    Invalidate(TRUE);
    // The system sends no leave notice unless asked; the timer polls for the cursor instead.
    SetTimer(m_nHotTimerId, kHotPollMillis, nullptr);
  }
  Default();
}

void CLinkLabel::OnTimer(UINT_PTR /*nIDEvent*/) {
  DWORD dwPos = ::GetMessagePos();
  CPoint point(static_cast<short>(LOWORD(dwPos)), static_cast<short>(HIWORD(dwPos)));
  ScreenToClient(&point);
  CRect rcClient;
  GetClientRect(rcClient);
  if (!rcClient.PtInRect(point)) {
    m_bHot = FALSE;
    KillTimer(m_nHotTimerId);
    if (m_nUnderlineMode != 1) ApplyFont(m_fontPlain);
    // A little below the label too, where the underline of a tight fit can reach.
    rcClient.bottom += 10;
    InvalidateRect(rcClient, TRUE);
  }
  Default();
}

// ---- click
// ---------------------------------------------------------------------------------------------------

void CLinkLabel::OnLabelClicked() {
  if (!m_strUrl.IsEmpty() && !m_strAgent.IsEmpty()) SendVisitRequest(m_strUrl, m_strAgent);
  m_bHot = FALSE;
  UINT nResult = LaunchUrl(m_strUrl, SW_SHOW);
  m_bFollowed = nResult > kLaunchFailedMax;
  if (m_bFollowed) SetFollowed(TRUE);
}

BOOL CLinkLabel::SendVisitRequest(LPCTSTR lpszUrl, LPCTSTR lpszAgent) {
  // A click must never fail: whatever the network does, the browser is opened afterwards.
  CInternetSession* pSession = nullptr;
  try {
    pSession = new CInternetSession(lpszAgent, 1, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  } catch (CInternetException* pException) {
    pException->Delete();
    return FALSE;
  } catch (...) {
    return FALSE;
  }

  BOOL bOpened = TRUE;
  CInternetFile* pFile = nullptr;
  try {
    pFile = pSession->OpenURL(
        lpszUrl, 1, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_TRANSFER_BINARY,
        nullptr, 0);
  } catch (CInternetException* pException) {
    pException->Delete();
    bOpened = FALSE;
  } catch (...) {
    bOpened = FALSE;
  }
  // The request has been answered; the answer itself is of no interest.
  delete pFile;

  pSession->Close();
  delete pSession;
  return bOpened;
}

UINT CLinkLabel::LaunchUrl(LPCTSTR lpszUrl, int nShowCmd) {
  UINT nShellResult = static_cast<UINT>(
      reinterpret_cast<UINT_PTR>(::ShellExecuteA(nullptr, "open", lpszUrl, nullptr, nullptr, nShowCmd)));
  if (nShellResult > kLaunchFailedMax) return nShellResult;

  // Else whatever opens web pages: the open command of the ".htm" class.
  char szCommand[kCommandBytes];
  if (ReadRegDefault(HKEY_CLASSES_ROOT, ".htm", szCommand) != ERROR_SUCCESS) return nShellResult;
  std::strcat(szCommand, "\\shell\\open\\command");  // a class name of at most 259 bytes leaves room
  if (ReadRegDefault(HKEY_CLASSES_ROOT, szCommand, szCommand) != ERROR_SUCCESS) return nShellResult;

  // The URL replaces the placeholder and everything after it.
  auto* pszCommand = reinterpret_cast<unsigned char*>(szCommand);
  unsigned char* pPlaceholder = _mbsstr(pszCommand, reinterpret_cast<const unsigned char*>("\"%1\""));
  if (pPlaceholder == nullptr)
    pPlaceholder = _mbsstr(pszCommand, reinterpret_cast<const unsigned char*>("%1"));
  if (pPlaceholder != nullptr) *pPlaceholder = '\0';

  // A command line that does not fit is a failed launch, never a cut one.
  size_t nCommand = std::strlen(szCommand);
  size_t nUrl = std::strlen(lpszUrl);
  if (nCommand + 1 + nUrl + 1 > sizeof szCommand) return nShellResult;
  szCommand[nCommand] = ' ';
  std::memcpy(szCommand + nCommand + 1, lpszUrl, nUrl + 1);

  return ::WinExec(szCommand, static_cast<UINT>(nShowCmd));
}

LONG CLinkLabel::ReadRegDefault(HKEY hRootKey, LPCTSTR lpszSubKey, LPTSTR lpszDest) {
  HKEY hKey = nullptr;
  LONG nResult = ::RegOpenKeyExA(hRootKey, lpszSubKey, 0, KEY_QUERY_VALUE, &hKey);
  if (nResult != ERROR_SUCCESS) return nResult;
  char szValue[kValueBytes];
  LONG nSize = kValueBytes;
  nResult = ::RegQueryValueA(hKey, nullptr, szValue, &nSize);
  if (nResult == ERROR_SUCCESS) {
    // A value stored without its terminator still comes out as a string.
    szValue[kValueBytes - 1] = '\0';
    std::strcpy(lpszDest, szValue);
  }
  ::RegCloseKey(hKey);
  return nResult;
}

// ---- cursor
// --------------------------------------------------------------------------------------------------

void CLinkLabel::LoadHandCursor() {
  if (m_hHandCursor != nullptr) return;

  char szPath[MAX_PATH];
  UINT nLength = ::GetWindowsDirectoryA(szPath, MAX_PATH);
  const char kHelpProgram[] = "\\winhlp32.exe";
  if (nLength > 0 && nLength + sizeof kHelpProgram <= MAX_PATH) {
    std::strcat(szPath, kHelpProgram);
    if (HMODULE hModule = ::LoadLibraryA(szPath)) {
      if (HCURSOR hCursor = ::LoadCursorA(hModule, MAKEINTRESOURCEA(106)))
        m_hHandCursor = ::CopyIcon(hCursor);
      // The copy outlives the module.
      ::FreeLibrary(hModule);
    }
  }
  // The help program has no hand cursor on current systems; the system has its own.
  if (m_hHandCursor == nullptr) {
    if (HCURSOR hCursor = ::LoadCursorA(nullptr, IDC_HAND)) m_hHandCursor = ::CopyIcon(hCursor);
  }
}
