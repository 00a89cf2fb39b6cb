// CFileDropEdit: a single-line edit that takes a file (or a folder) dropped from the shell, following shell
// shortcuts to their stored targets. The parent sees an accepted drop as an ordinary change of the text.
#pragma once

#include <windows.h>
// after windows.h, whose types it uses
#include <shellapi.h>

#include "platform/Edit.h"
#include "platform/String.h"

class CFileDropEdit : public CEdit {
 public:
  CFileDropEdit();
  ~CFileDropEdit() override;

  // false: only a regular file is accepted; true: only a folder is.
  bool m_bAcceptFolders;

  // The file-system path stored in the shell shortcut at strPath, or empty when strPath is not a readable
  // shortcut or the stored path does not fit a classic path buffer. strPath's buffer is borrowed, not
  // changed.
  CString ResolveShortcut(CString& strPath);

 protected:
  void PreSubclassWindow() override;
  void OnDropFiles(HDROP hDropInfo);

  DECLARE_MESSAGE_MAP()
};
