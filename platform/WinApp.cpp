#include "platform/WinApp.h"

#include "platform/MessageBox.h"
#include "platform/Wnd.h"

namespace {
// The one application object; set by its constructor before the entry point runs.
CWinApp* g_pApp = nullptr;

CString ModuleTitle(HINSTANCE hInstance) {
  char path[MAX_PATH + 1] = {};
  ::GetModuleFileNameA(hInstance, path, MAX_PATH);
  const char* pName = path;
  for (const char* p = path; *p; p = ::CharNextA(p)) {
    if (*p == '\\' || *p == '/' || *p == ':') pName = p + 1;
  }
  CString title(pName);
  const char* pDot = nullptr;
  for (const char* p = title; *p; p = ::CharNextA(p)) {
    if (*p == '.') pDot = p;
  }
  if (pDot) title = CString(title.GetString(), static_cast<int>(pDot - title.GetString()));
  return title;
}
}  // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* pszAppName) : m_strAppName(pszAppName) {
  g_pApp = this;
  m_hInstance = ::GetModuleHandleA(nullptr);
  if (m_strAppName.IsEmpty()) m_strAppName = ModuleTitle(m_hInstance);
}

CWinApp::~CWinApp() {
  if (g_pApp == this) g_pApp = nullptr;
}

CWinApp* AfxGetApp() { return g_pApp; }

int CWinApp::Run() {
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  return ExitInstance();
}

int CWinApp::RunEntryPoint(HINSTANCE hInstance) {
  m_hInstance = hInstance;
  // A program that returns FALSE from InitInstance has done its work there (a dialog-based one has).
  if (!InitInstance()) return ExitInstance();
  return Run();
}

int AfxMessageBox(const char* lpszText, UINT nType, UINT /*nIDHelp*/) {
  if ((nType & MB_ICONMASK) == 0) {
    UINT nButtons = nType & MB_TYPEMASK;
    if (nButtons == MB_OK || nButtons == MB_OKCANCEL) nType |= MB_ICONEXCLAMATION;
  }
  CWinApp* pApp = AfxGetApp();
  HWND hWndOwner = nullptr;
  if (pApp && pApp->m_pMainWnd && ::IsWindow(pApp->m_pMainWnd->m_hWnd)) hWndOwner = pApp->m_pMainWnd->m_hWnd;
  const char* pszCaption = pApp ? pApp->m_strAppName.GetString() : nullptr;
  return ::MessageBoxA(hWndOwner, lpszText, pszCaption, nType);
}

// The entry point the runtime calls for a GUI program.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR /*lpCmdLine*/, int /*nCmdShow*/) {
  CWinApp* pApp = AfxGetApp();
  return pApp ? pApp->RunEntryPoint(hInstance) : -1;
}
