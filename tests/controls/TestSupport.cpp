#include "TestSupport.h"

#include "platform/MessageMap.h"

namespace {

constexpr char kHostClass[] = "QuorvexControlTestHost";

void RemoveTree(const std::string& strPath) {
  WIN32_FIND_DATAA findData;
  HANDLE hFind = ::FindFirstFileA((strPath + "\\*").c_str(), &findData);
  if (hFind != INVALID_HANDLE_VALUE) {
    do {
      std::string strName = findData.cFileName;
      if (strName == "." || strName == "..") continue;
      std::string strChild = strPath + "\\" + strName;
      if (findData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(strChild);
      } else {
        ::SetFileAttributesA(strChild.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(strChild.c_str());
      }
    } while (::FindNextFileA(hFind, &findData));
    ::FindClose(hFind);
  }
  ::RemoveDirectoryA(strPath.c_str());
}

}  // namespace

BEGIN_MESSAGE_MAP(CTestHost, CWnd)
ON_EN_CHANGE(1000, &CTestHost::OnInputChange)
END_MESSAGE_MAP()

CTestHost::~CTestHost() {
  if (m_hWnd) ::DestroyWindow(m_hWnd);
}

bool CTestHost::Create(const RECT& rcScreen) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kHostClass;
  ::RegisterClassA(&wc);  // fails harmlessly when already registered
  HWND hWnd = ::CreateWindowExA(0, kHostClass, "host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, rcScreen.left,
                                rcScreen.top, rcScreen.right - rcScreen.left, rcScreen.bottom - rcScreen.top,
                                nullptr, nullptr, wc.hInstance, nullptr);
  if (!hWnd || !SubclassWindow(hWnd)) return false;
  ::SetForegroundWindow(hWnd);
  ::UpdateWindow(hWnd);
  return true;
}

HWND CTestHost::AddChild(const char* pszClass, const char* pszText, DWORD dwStyle, DWORD dwExStyle, int nID,
                         const RECT& rc, HFONT hFont) {
  HWND hWnd = ::CreateWindowExA(dwExStyle, pszClass, pszText, WS_CHILD | WS_VISIBLE | dwStyle, rc.left,
                                rc.top, rc.right - rc.left, rc.bottom - rc.top, m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(nID)),
                                ::GetModuleHandleA(nullptr), nullptr);
  if (hWnd && hFont) ::SendMessageA(hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
  return hWnd;
}

bool PumpMessages(DWORD dwMillis, const std::function<bool()>& pred) {
  DWORD dwStart = ::GetTickCount();
  for (;;) {
    if (pred && pred()) return true;
    if (::GetTickCount() - dwStart >= dwMillis) return pred ? pred() : true;
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
      }
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

CTempDir::CTempDir() {
  char szTemp[MAX_PATH];
  ::GetTempPathA(MAX_PATH, szTemp);
  static int s_nNext = 0;
  char szName[64];
  wsprintfA(szName, "qvx-ctl-%lu-%lu-%d", ::GetCurrentProcessId(), ::GetTickCount(), s_nNext++);
  m_strRoot = std::string(szTemp) + szName;  // the temporary path ends with a backslash
  ::CreateDirectoryA(m_strRoot.c_str(), nullptr);
}

CTempDir::~CTempDir() { RemoveTree(m_strRoot); }

std::string CTempDir::File(const std::string& strName, const std::string& strContent) const {
  std::string strPath = Path(strName);
  HANDLE hFile = ::CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hFile != INVALID_HANDLE_VALUE) {
    DWORD dwWritten = 0;
    ::WriteFile(hFile, strContent.data(), static_cast<DWORD>(strContent.size()), &dwWritten, nullptr);
    ::CloseHandle(hFile);
  }
  return strPath;
}

std::string CTempDir::Folder(const std::string& strName) const {
  std::string strPath = Path(strName);
  ::CreateDirectoryA(strPath.c_str(), nullptr);
  return strPath;
}
