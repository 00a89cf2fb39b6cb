// What the control tests share: a host window that stands in for a dialog, a message pump like the dialog's
// modal loop, and a scratch directory.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/Wnd.h"

// A top-level popup at a fixed place on the screen. Like the dialog, it reflects its controls' notifications
// and colour requests to them; it counts the EN_CHANGE notifications of control 1000.
class CTestHost : public CWnd {
 public:
  CTestHost() = default;
  ~CTestHost() override;

  bool Create(const RECT& rcScreen);
  // A child control at rc (client coordinates), with the font if one is given.
  HWND AddChild(const char* pszClass, const char* pszText, DWORD dwStyle, DWORD dwExStyle, int nID,
                const RECT& rc, HFONT hFont = nullptr);

  int m_nInputChanges = 0;

 protected:
  void OnInputChange() { ++m_nInputChanges; }

  DECLARE_MESSAGE_MAP()
};

// Dispatches this thread's messages as the dialog's modal loop does (PreTranslateMessage first) until pred
// holds or dwMillis have passed; returns pred's last value. Without pred it runs the whole time.
bool PumpMessages(DWORD dwMillis, const std::function<bool()>& pred = nullptr);

// A fresh directory under the temporary directory, removed with its content at the end.
class CTempDir {
 public:
  CTempDir();
  ~CTempDir();
  CTempDir(const CTempDir&) = delete;
  CTempDir& operator=(const CTempDir&) = delete;

  const std::string& Root() const { return m_strRoot; }
  std::string Path(const std::string& strName) const { return m_strRoot + "\\" + strName; }
  // Creates a file with the given content; returns its path.
  std::string File(const std::string& strName, const std::string& strContent = "content") const;
  std::string Folder(const std::string& strName) const;

 private:
  std::string m_strRoot;
};

// A WM_DROPFILES block as the shell makes it: the names one after the other, each terminated, then an empty
// one; wide characters as a current shell sends them, or ANSI. The receiver's DragFinish frees it.
HDROP MakeDrop(const std::vector<std::string>& names, bool bWide = true);

// A shell shortcut saved at strLinkPath that stores strTarget, made with the shell's own link object (COM
// must be open on the calling thread).
void MakeShortcut(const std::string& strLinkPath, const std::string& strTarget);

// A Unix path as this Wine prefix's drive Z: shows it.
inline std::string WinePath(const std::string& strUnixPath) {
  std::string str = "Z:" + strUnixPath;
  for (char& ch : str) {
    if (ch == '/') ch = '\\';
  }
  return str;
}
