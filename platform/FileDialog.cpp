#include "platform/FileDialog.h"

#include <cstring>

#include "platform/Wnd.h"

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName,
                         DWORD dwFlags, const char* lpszFilter, CWnd* pParentWnd)
    : m_ofn(), m_bOpenFileDialog(bOpenFileDialog), m_pParentWnd(pParentWnd), m_szFileName() {
  m_ofn.lStructSize = sizeof(m_ofn);
  // The Explorer-style dialog, whatever other flags the caller passes, as the class library gives it.
  m_ofn.Flags = dwFlags | OFN_EXPLORER;
  m_ofn.hInstance = ::GetModuleHandleA(nullptr);
  m_ofn.lpstrFile = m_szFileName;
  m_ofn.nMaxFile = MAX_PATH;
  if (lpszFileName != nullptr) {
    std::strncpy(m_szFileName, lpszFileName, MAX_PATH - 1);
  }
  if (lpszDefExt != nullptr) {
    m_strDefExt = lpszDefExt;
    m_ofn.lpstrDefExt = m_strDefExt;
  }
  if (lpszFilter != nullptr) {
    m_strFilter = MakeFilterList(lpszFilter);
    m_ofn.lpstrFilter = m_strFilter.c_str();
  }
}

std::string CFileDialog::MakeFilterList(const char* lpszFilter, UINT nCodePage) {
  std::string list;
  if (lpszFilter == nullptr) return list;
  for (const char* p = lpszFilter; *p != '\0'; ++p) {
    if (::IsDBCSLeadByteEx(nCodePage, static_cast<BYTE>(*p)) && p[1] != '\0') {
      list += *p++;
      list += *p;
    } else {
      list += *p == '|' ? '\0' : *p;
    }
  }
  // Two terminators end the list, whether or not the caller wrote the final "||".
  while (list.size() < 2 || list[list.size() - 1] != '\0' || list[list.size() - 2] != '\0') list += '\0';
  return list;
}

INT_PTR CFileDialog::DoModal() {
  if (m_ofn.hwndOwner == nullptr) {
    m_ofn.hwndOwner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : ::GetActiveWindow();
  }
  BOOL bResult = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
  return bResult ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const { return CString(m_ofn.lpstrFile); }
