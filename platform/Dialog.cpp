#include "platform/Dialog.h"

#include "platform/CmdTarget.h"
#include "platform/WinApp.h"

namespace {

// The style and position of a dialog template, plain or extended.
struct TemplateHeader {
  DWORD dwStyle;
  short x;
  short y;
};

TemplateHeader ReadTemplateHeader(const void* pTemplate) {
  const auto* pWords = static_cast<const WORD*>(pTemplate);
  TemplateHeader header{};
  if (pWords[1] == 0xFFFF) {  // DLGTEMPLATEEX: version, signature, help id, ex style, style, count, x, y
    const auto* pBytes = static_cast<const BYTE*>(pTemplate);
    CopyMemory(&header.dwStyle, pBytes + 12, sizeof header.dwStyle);
    CopyMemory(&header.x, pBytes + 18, sizeof header.x);
    CopyMemory(&header.y, pBytes + 20, sizeof header.y);
  } else {
    const auto* pPlain = static_cast<const DLGTEMPLATE*>(pTemplate);
    header.dwStyle = pPlain->style;
    header.x = pPlain->x;
    header.y = pPlain->y;
  }
  return header;
}

// Messages whose result is the dialog procedure's own return value rather than DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
  switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
      return true;
    default:
      return false;
  }
}

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

HWND CDialog::FindOwner() const {
  HWND hWndOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
  if (!hWndOwner) {
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd && pApp->m_pMainWnd != this) hWndOwner = pApp->m_pMainWnd->m_hWnd;
  }
  // A dialog is owned by a top-level window, never by a child.
  while (hWndOwner && (::GetWindowLongA(hWndOwner, GWL_STYLE) & WS_CHILD)) hWndOwner = ::GetParent(hWndOwner);
  return hWndOwner;
}

INT_PTR CDialog::DoModal() {
  HINSTANCE hInstance = ::GetModuleHandleA(nullptr);
  HRSRC hResource = ::FindResourceA(hInstance, MAKEINTRESOURCEA(m_nIDTemplate), MAKEINTRESOURCEA(5));
  HGLOBAL hTemplate = hResource ? ::LoadResource(hInstance, hResource) : nullptr;
  const void* pTemplate = hTemplate ? ::LockResource(hTemplate) : nullptr;
  if (!pTemplate) return -1;

  TemplateHeader header = ReadTemplateHeader(pTemplate);
  m_bCenterOverOwner =
      !(header.dwStyle & (DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN)) && header.x == 0 && header.y == 0;

  HWND hWndOwner = FindOwner();
  bool bOwnerDisabled = hWndOwner && ::IsWindowEnabled(hWndOwner);
  if (bOwnerDisabled) ::EnableWindow(hWndOwner, FALSE);

  m_bModalEnded = false;
  m_nModalResult = -1;
  HWND hWnd = ::CreateDialogIndirectParamA(hInstance, static_cast<LPCDLGTEMPLATEA>(pTemplate), hWndOwner,
                                           &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  if (hWnd) {
    if (!m_bModalEnded && !::IsWindowVisible(hWnd)) ::ShowWindow(hWnd, SW_SHOWNORMAL);
    while (!m_bModalEnded) {
      MSG msg;
      BOOL bGot = ::GetMessageA(&msg, nullptr, 0, 0);
      if (bGot == 0 || bGot == -1) {
        // Hand a quit request on to whoever runs the outer loop.
        if (bGot == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if (!WalkPreTranslateTree(hWnd, &msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
      }
    }
    ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
  }
  // Enable the owner before the dialog goes, so activation returns to it.
  if (bOwnerDisabled) {
    ::EnableWindow(hWndOwner, TRUE);
    if (hWnd && ::GetActiveWindow() == hWnd) ::SetActiveWindow(hWndOwner);
  }
  if (m_hWnd) ::DestroyWindow(m_hWnd);
  return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
  m_nModalResult = nResult;
  m_bModalEnded = true;
  // Wake the loop: GetMessage returns only for posted messages, and the end may come inside a sent one.
  if (m_hWnd) ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  UpdateData(TRUE);
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  if (CWnd::PreTranslateMessage(pMsg)) return TRUE;
  // Keyboard and mouse input gets the dialog keys (Tab, arrows, Enter, Esc, access keys).
  bool bInput = (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) ||
                (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST);
  return bInput && ::IsDialogMessageA(m_hWnd, pMsg);
}

bool CDialog::OnCmdMsg(UINT nID, UINT nCode, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (CWnd::OnCmdMsg(nID, nCode, wParam, lParam, pResult)) return true;
  // Commands the dialog does not handle go on to the application.
  CWinApp* pApp = AfxGetApp();
  return pApp && pApp->OnCmdMsg(nID, nCode, wParam, lParam, pResult);
}

LRESULT CDialog::DefWindowProc(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) {
  // Inside a dialog procedure default processing is the dialog manager's: it runs when we return FALSE.
  if (m_pCurrentMessage) m_pCurrentMessage->bDefaultWanted = true;
  return 0;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CDialog* pDialog;
  if (message == WM_INITDIALOG) {
    pDialog = reinterpret_cast<CDialog*>(lParam);
    pDialog->Attach(hWnd);
  } else {
    pDialog = static_cast<CDialog*>(FromHandlePermanent(hWnd));
  }
  if (!pDialog) return FALSE;
  INT_PTR nResult = pDialog->HandleDialogMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    pDialog->Detach();
    pDialog->PostNcDestroy();
  }
  return nResult;
}

INT_PTR CDialog::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  CurrentMessage current(this, message, wParam, lParam);
  LRESULT lResult = 0;
  bool bHandled;
  if (message == WM_INITDIALOG) {
    lResult = OnInitDialog();
    if (m_bCenterOverOwner) CenterWindow();
    bHandled = true;
  } else {
    bHandled = OnWndMsg(message, wParam, lParam, &lResult);
  }
  if (!bHandled || current.bDefaultWanted) return FALSE;
  if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(lResult);
  ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, lResult);
  return TRUE;
}
