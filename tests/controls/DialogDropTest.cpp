// Drops on the input of the real main dialog: the dialog sees an accepted drop as typing, and in Text mode
// the input is no drop target.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <string>

#include "TestSupport.h"
#include "app/resource.h"
#include "tests/harness/DialogHarness.h"
#include "ui/ChecksumDlg.h"

namespace {

using H = DialogHarness;

constexpr char kShownDigest[] = "0123456789ABCDEF0123456789ABCDEF";

bool AcceptsDrops() { return (::GetWindowLongA(H::Item(IDC_INPUT), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0; }

// Sent, so it has been handled when this returns.
void DropOnInput(const std::string& strPath) {
  ::SendMessageA(H::Item(IDC_INPUT), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({strPath})), 0);
}

std::string Str(const CString& str) { return str.GetString(); }

TEST(DialogDrop, DropInFileModeIsTakenLikeTypingAndClearsTheShownDigest) {
  CTempDir dir;
  const std::string strFile = dir.File("dropped.txt");
  const std::string strLink = dir.Path("dropped shortcut.lnk");
  ASSERT_HRESULT_SUCCEEDED(::CoInitialize(nullptr));
  MakeShortcut(strLink, strFile);
  ::CoUninitialize();

  CChecksumDlg dlg;
  H::Run(dlg, [&] {
    EXPECT_TRUE(AcceptsDrops());
    H::OnUi([&] {
      dlg.m_strResult = kShownDigest;
      dlg.m_strFileDigest = kShownDigest;
      dlg.m_strTextDigest = kShownDigest;
      ::SetWindowTextA(::GetDlgItem(dlg.m_hWnd, IDC_RESULT), kShownDigest);
    });

    DropOnInput(strLink);

    EXPECT_EQ(H::Text(IDC_INPUT), strFile);
    EXPECT_EQ(H::OnUiGet<std::string>([&] { return Str(dlg.m_strFilePath); }), strFile);
    EXPECT_EQ(H::OnUiGet<std::string>([&] { return Str(dlg.m_strResult); }), "");
    EXPECT_EQ(H::OnUiGet<std::string>([&] { return Str(dlg.m_strFileDigest); }), "");
    EXPECT_EQ(H::OnUiGet<std::string>([&] { return Str(dlg.m_strTextDigest); }), kShownDigest);
    EXPECT_EQ(H::Text(IDC_RESULT), "");

    // A folder is refused: nothing changes.
    DropOnInput(dir.Root());
    EXPECT_EQ(H::Text(IDC_INPUT), strFile);
  });
}

TEST(DialogDrop, TextModeInputIsNoDropTargetUntilFileModeComesBack) {
  CTempDir dir;
  const std::string strFile = dir.File("dropped.txt");
  CChecksumDlg dlg;
  H::Run(dlg, [&] {
    H::ClickAndWait(IDC_MODE_TEXT);
    EXPECT_FALSE(AcceptsDrops());
    H::ClickAndWait(IDC_MODE_FILE);
    EXPECT_TRUE(AcceptsDrops());

    DropOnInput(strFile);
    EXPECT_EQ(H::Text(IDC_INPUT), strFile);
    EXPECT_EQ(H::OnUiGet<std::string>([&] { return Str(dlg.m_strFilePath); }), strFile);
  });
}

}  // namespace
