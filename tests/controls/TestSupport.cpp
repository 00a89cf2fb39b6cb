#include "TestSupport.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

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

HDROP MakeDrop(const std::vector<std::string>& names, bool bWide) {
  std::vector<char> list;
  for (const std::string& name : names) {
    if (bWide) {
      int nUnits = ::MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, nullptr, 0);
      std::vector<WCHAR> wide(static_cast<size_t>(nUnits));
      ::MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide.data(), nUnits);
      const char* pBytes = reinterpret_cast<const char*>(wide.data());
      list.insert(list.end(), pBytes, pBytes + wide.size() * sizeof(WCHAR));
    } else {
      list.insert(list.end(), name.c_str(), name.c_str() + name.size() + 1);
    }
  }
  list.insert(list.end(), bWide ? sizeof(WCHAR) : 1, '\0');

  HGLOBAL hGlobal = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
  auto* pDrop = static_cast<DROPFILES*>(::GlobalLock(hGlobal));
  pDrop->pFiles = sizeof(DROPFILES);
  pDrop->pt = POINT{5, 5};
  pDrop->fNC = FALSE;
  pDrop->fWide = bWide;
  std::memcpy(reinterpret_cast<char*>(pDrop) + sizeof(DROPFILES), list.data(), list.size());
  ::GlobalUnlock(hGlobal);
  return static_cast<HDROP>(hGlobal);
}

void MakeShortcut(const std::string& strLinkPath, const std::string& strTarget) {
  IShellLinkA* pLink = nullptr;
  ASSERT_HRESULT_SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                              reinterpret_cast<void**>(&pLink)));
  // A missing target gives S_FALSE, which is still success.
  EXPECT_HRESULT_SUCCEEDED(pLink->SetPath(strTarget.c_str()));
  IPersistFile* pPersistFile = nullptr;
  ASSERT_HRESULT_SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pPersistFile)));
  WCHAR wszLink[MAX_PATH];
  ::MultiByteToWideChar(CP_ACP, 0, strLinkPath.c_str(), -1, wszLink, MAX_PATH);
  EXPECT_HRESULT_SUCCEEDED(pPersistFile->Save(wszLink, TRUE));
  pPersistFile->Release();
  pLink->Release();
}
