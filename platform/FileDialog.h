// CFileDialog: the system's open and save dialogs. m_ofn may be edited between construction and DoModal.
#pragma once

#include <windows.h>
// after windows.h, whose types it uses
#include <commdlg.h>

#include <string>

#include "platform/String.h"

class CWnd;

class CFileDialog {
 public:
  // lpszFilter is a list of "Name|pattern|" pairs ended by a second '|', e.g. "All Files(*.*)|*.*||".
  explicit CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt = nullptr,
                       const char* lpszFileName = nullptr,
                       DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       const char* lpszFilter = nullptr, CWnd* pParentWnd = nullptr);
  // m_ofn points into this object.
  CFileDialog(const CFileDialog&) = delete;
  CFileDialog& operator=(const CFileDialog&) = delete;
  virtual ~CFileDialog() = default;

  OPENFILENAMEA m_ofn;

  // IDOK when the user chose a file; IDCANCEL when the dialog was cancelled or failed.
  virtual INT_PTR DoModal();
  CString GetPathName() const;

  // The '|'-separated filter as the system wants it: each '|' becomes a NUL and the list ends with two NULs.
  // A '|' that is the trail byte of a double-byte character in nCodePage is kept.
  static std::string MakeFilterList(const char* lpszFilter, UINT nCodePage = CP_ACP);

 private:
  BOOL m_bOpenFileDialog;
  CWnd* m_pParentWnd;
  CString m_strDefExt;
  std::string m_strFilter;
  char m_szFileName[MAX_PATH];
};
