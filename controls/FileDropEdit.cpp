#include "controls/FileDropEdit.h"

#include <objbase.h>
#include <shlobj.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <new>

#include "platform/MessageMap.h"

namespace {

// The classic path limit of the shell-link and conversion buffers, in characters.
constexpr int kPathChars = 260;

// True when the path the link stores, in this code page, fits a buffer of kPathChars with its terminator.
// The ANSI GetPath copies silently truncated text when it does not, which could name another file.
bool StoredPathFits(IShellLinkA* pLink) {
  IShellLinkW* pLinkW = nullptr;
  if (FAILED(pLink->QueryInterface(IID_IShellLinkW, reinterpret_cast<void**>(&pLinkW)))) return false;
  // One unit more than a fitting path can have, so that a longer one shows as a full buffer.
  WCHAR wszPath[kPathChars + 1] = L"";
  // No find data: some implementations copy the stored name into it unbounded.
  pLinkW->GetPath(wszPath, kPathChars + 1, nullptr, SLGP_UNCPRIORITY);
  pLinkW->Release();
  wszPath[kPathChars] = L'\0';
  if (::lstrlenW(wszPath) >= kPathChars) return false;
  int nBytes = ::WideCharToMultiByte(CP_ACP, 0, wszPath, -1, nullptr, 0, nullptr, nullptr);
  return nBytes > 0 && nBytes <= kPathChars;
}

}  // namespace

BEGIN_MESSAGE_MAP(CFileDropEdit, CEdit)
ON_WM_DROPFILES()
END_MESSAGE_MAP()

CFileDropEdit::CFileDropEdit() : m_bAcceptFolders(false) {}

CFileDropEdit::~CFileDropEdit() = default;

void CFileDropEdit::PreSubclassWindow() {
  DragAcceptFiles(TRUE);
  CEdit::PreSubclassWindow();
}

void CFileDropEdit::OnDropFiles(HDROP hDropInfo) {
  WORD nCount = static_cast<WORD>(::DragQueryFileA(hDropInfo, 0xFFFFFFFF, nullptr, 0));
  CString strPath;
  if (nCount != 0) {
    WORD nSize = static_cast<WORD>(::DragQueryFileA(hDropInfo, 0, nullptr, 0) + 1);
    // One byte more, zeroed, so the name is terminated whatever DragQueryFile copies.
    char* pszName = new (std::nothrow) char[nSize + 1u]();
    if (pszName == nullptr) {
      ::DragFinish(hDropInfo);
      return;
    }
    ::DragQueryFileA(hDropInfo, 0, pszName, nSize);
    strPath = pszName;
    delete[] pszName;
  }
  // The shell waits for the drop to finish; release it before the slower work.
  ::DragFinish(hDropInfo);

  CString strTarget = ResolveShortcut(strPath);
  if (!strTarget.IsEmpty()) strPath = strTarget;
  if (strPath.IsEmpty()) return;

  // The 64-bit query: files of 2 GiB and more exist too.
  struct _stat64 status;
  if (_stat64(strPath, &status) != 0) return;
  bool bAccepted;
  if (status.st_mode & _S_IFDIR) {
    bAccepted = m_bAcceptFolders;
  } else if (status.st_mode & _S_IFREG) {
    bAccepted = !m_bAcceptFolders;
  } else {
    bAccepted = false;
  }
  // Set as window text, so the parent gets EN_CHANGE as for typing.
  if (bAccepted) SetWindowText(strPath);
}

CString CFileDropEdit::ResolveShortcut(CString& strPath) {
  CString strTarget;
  char* pszPath = strPath.GetBuffer(kPathChars);

  IShellLinkA* pLink = nullptr;
  if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&pLink)))) {
    IPersistFile* pPersistFile = nullptr;
    if (SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pPersistFile)))) {
      // A path that does not convert into the buffer names no shortcut we can load; the caller keeps it.
      WCHAR wszPath[kPathChars];
      bool bConverted = ::MultiByteToWideChar(CP_ACP, 0, pszPath, -1, wszPath, kPathChars) != 0;
      if (bConverted && SUCCEEDED(pPersistFile->Load(wszPath, STGM_READ))) {
        WIN32_FIND_DATAA findData;
        // Stored as it is: the link is not resolved, its target need not exist any more.
        pLink->GetPath(strTarget.GetBuffer(kPathChars), kPathChars, &findData, SLGP_UNCPRIORITY);
        strTarget.ReleaseBuffer(-1);
        if (!StoredPathFits(pLink)) strTarget.Empty();
      }
      pPersistFile->Release();
    }
    pLink->Release();
  }

  strPath.ReleaseBuffer(-1);
  return strTarget;
}
