// CFileDialog: the filter conversion, and the real system dialog driven from a helper thread.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, whose types it uses
#include <dlgs.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/FileDialog.h"
#include "platform/Wnd.h"

namespace {

using namespace std::string_literals;

struct FilterCase {
  const char* pszFilter;
  UINT nCodePage;
  std::string expected;
};

TEST(FileDialogFilter, BarsBecomeTerminatorsAndTheListEndsWithTwo) {
  const FilterCase cases[] = {
      {"All Files(*.*)|*.*||", 1252, "All Files(*.*)\0*.*\0\0"s},
      {"Text (*.txt)|*.txt|All|*.*||", 1252, "Text (*.txt)\0*.txt\0All\0*.*\0\0"s},
      {"Text|*.txt", 1252, "Text\0*.txt\0\0"s},  // the final "||" left out
      {"Text|*.txt|", 1252, "Text\0*.txt\0\0"s},
      {"", 1252, "\0\0"s},
      // 0x83 0x7C is one double-byte character in code page 932: its trail byte is not a separator.
      {"\x83\x7C|*.txt||", 932, "\x83\x7C\0*.txt\0\0"s},
      {"\x83\x7C|*.txt||", 1252, "\x83\0\0*.txt\0\0"s},
  };
  for (const FilterCase& c : cases) {
    EXPECT_EQ(CFileDialog::MakeFilterList(c.pszFilter, c.nCodePage), c.expected)
        << "filter \"" << c.pszFilter << "\" in code page " << c.nCodePage;
  }
}

TEST(FileDialogFilter, ConstructorFillsTheRecordTheSystemReads) {
  CFileDialog dlg(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, "All Files(*.*)|*.*||");
  ASSERT_NE(dlg.m_ofn.lpstrFilter, nullptr);
  EXPECT_EQ(std::string(dlg.m_ofn.lpstrFilter, 20), "All Files(*.*)\0*.*\0\0"s);
  EXPECT_EQ(dlg.m_ofn.Flags, static_cast<DWORD>(OFN_FILEMUSTEXIST | OFN_EXPLORER));
  EXPECT_GE(dlg.m_ofn.nMaxFile, static_cast<DWORD>(MAX_PATH));
  EXPECT_STREQ(dlg.m_ofn.lpstrFile, "");
  EXPECT_EQ(dlg.m_ofn.lpstrDefExt, nullptr);

  CFileDialog save(FALSE, "txt", "report.txt");
  EXPECT_STREQ(save.m_ofn.lpstrDefExt, "txt");
  EXPECT_STREQ(save.GetPathName(), "report.txt");
  EXPECT_EQ(save.m_ofn.lpstrFilter, nullptr);
}

// A visible top-level window standing in for the dialog that owns the file dialog.
class OwnerWindow {
 public:
  OwnerWindow() {
    HWND hWnd = ::CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 200, 100,
                                  nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    m_wnd.Attach(hWnd);
  }
  ~OwnerWindow() { ::DestroyWindow(m_wnd.Detach()); }
  CWnd* Get() { return &m_wnd; }

 private:
  CWnd m_wnd;
};

// Waits for the file dialog with the given title, notes its owner, then chooses the path (or cancels).
void DriveFileDialog(const char* pszTitle, std::string strPath, std::atomic<HWND>* pOwner) {
  for (int i = 0; i < 300; ++i) {
    HWND hDlg = ::FindWindowA("#32770", pszTitle);
    if (hDlg != nullptr) {
      pOwner->store(::GetWindow(hDlg, GW_OWNER));
      if (strPath.empty()) {
        ::PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
      } else {
        ::SendMessageA(hDlg, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(strPath.c_str()));
        ::PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
      }
      return;
    }
    ::Sleep(50);
  }
}

std::string MakeTempFile() {
  char szDir[MAX_PATH];
  char szPath[MAX_PATH];
  ::GetTempPathA(MAX_PATH, szDir);
  ::GetTempFileNameA(szDir, "qfd", 0, szPath);
  return szPath;
}

TEST(FileDialogRun, ChoosingAFileReturnsOkAndItsPath) {
  OwnerWindow owner;
  std::string strFile = MakeTempFile();
  const char* pszTitle = "Quorvex wrapper test: choose";
  std::atomic<HWND> hSeenOwner{nullptr};
  std::thread driver(DriveFileDialog, pszTitle, strFile, &hSeenOwner);

  CFileDialog dlg(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, "All Files(*.*)|*.*||", owner.Get());
  dlg.m_ofn.lpstrTitle = pszTitle;
  INT_PTR nResult = dlg.DoModal();
  driver.join();
  ::DeleteFileA(strFile.c_str());

  EXPECT_EQ(nResult, IDOK);
  EXPECT_STRCASEEQ(dlg.GetPathName(), strFile.c_str());
  EXPECT_EQ(hSeenOwner.load(), owner.Get()->m_hWnd);
}

TEST(FileDialogRun, CancellingReturnsCancelAndNoPath) {
  OwnerWindow owner;
  const char* pszTitle = "Quorvex wrapper test: cancel";
  std::atomic<HWND> hSeenOwner{nullptr};
  std::thread driver(DriveFileDialog, pszTitle, std::string(), &hSeenOwner);

  CFileDialog dlg(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, "All Files(*.*)|*.*||", owner.Get());
  dlg.m_ofn.lpstrTitle = pszTitle;
  INT_PTR nResult = dlg.DoModal();
  driver.join();

  EXPECT_EQ(nResult, IDCANCEL);
  EXPECT_STREQ(dlg.GetPathName(), "");
  EXPECT_EQ(hSeenOwner.load(), owner.Get()->m_hWnd);
}

}  // namespace
