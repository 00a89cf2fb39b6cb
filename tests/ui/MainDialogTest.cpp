// The main dialog as a user meets it: modes, typing, browsing, the system menu, the About box, closing.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/harness/DialogHarness.h"
#include "tests/ui/TestChecksumDlg.h"
#include "tests/ui/TestFiles.h"

namespace {

using H = DialogHarness;

bool IsChecked(int nID) { return ::SendMessageA(H::Item(nID), BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::pair<int, int> Selection(int nID) {
  DWORD start = 0, end = 0;
  ::SendMessageA(H::Item(nID), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {static_cast<int>(start), static_cast<int>(end)};
}

HWND Focus() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  ::GetGUIThreadInfo(H::UiThreadId(), &info);
  return info.hwndFocus;
}

bool AcceptsDrops(int nID) { return (::GetWindowLongA(H::Item(nID), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0; }

TEST(MainDialog, OpensInFileModeOnThePointerWithFocusIconsAndAboutItem) {
  ::SetCursorPos(300, 300);
  CTestChecksumDlg dlg;
  H::Run(dlg, [&] {
    EXPECT_TRUE(IsChecked(IDC_MODE_FILE));
    EXPECT_FALSE(IsChecked(IDC_MODE_TEXT));
    EXPECT_EQ(Focus(), H::Item(IDC_INPUT));
    EXPECT_TRUE(::IsWindowVisible(H::Item(IDC_BROWSE)));
    EXPECT_TRUE(AcceptsDrops(IDC_INPUT));
    EXPECT_EQ(H::Text(IDC_RESULT), "");

    // The system places the dialog on the pointer (Windows centres it there, Wine puts a corner there).
    RECT rcDialog, rcWork;
    ::GetWindowRect(H::Dialog(), &rcDialog);
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
    EXPECT_TRUE(::PtInRect(&rcDialog, POINT{300, 300}));
    EXPECT_GE(rcDialog.left, rcWork.left);
    EXPECT_GE(rcDialog.top, rcWork.top);
    EXPECT_LE(rcDialog.right, rcWork.right);
    EXPECT_LE(rcDialog.bottom, rcWork.bottom);

    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(H::Dialog(), WM_GETICON, ICON_BIG, 0)), dlg.m_hIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(H::Dialog(), WM_GETICON, ICON_SMALL, 0)), dlg.m_hIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(H::Dialog(), WM_QUERYDRAGICON, 0, 0)), dlg.m_hIcon);

    H::OnUi([&] {
      HMENU hMenu = ::GetSystemMenu(H::Dialog(), FALSE);
      int nCount = ::GetMenuItemCount(hMenu);
      ASSERT_GE(nCount, 2);
      MENUITEMINFOA separator{};
      separator.cbSize = sizeof separator;
      separator.fMask = MIIM_FTYPE;
      ::GetMenuItemInfoA(hMenu, nCount - 2, TRUE, &separator);
      EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
      char text[64] = {};
      ::GetMenuStringA(hMenu, nCount - 1, text, sizeof text, MF_BYPOSITION);
      EXPECT_STREQ(text, "&About MD5...");
      EXPECT_EQ(::GetMenuItemID(hMenu, nCount - 1), static_cast<UINT>(IDM_ABOUTBOX));
    });
  });
}

TEST(MainDialog, EachModeKeepsItsInputAndDigestAndSelectsTheWholeInput) {
  TestFiles files;
  std::string path = files.Patterned("pattern.bin", 200000);
  CTestChecksumDlg dlg;
  H::Run(dlg, [&] {
    H::SetText(IDC_INPUT, path);
    Generate(dlg);
    EXPECT_EQ(H::Text(IDC_RESULT), oracle::kPattern200000);

    H::ClickAndWait(IDC_MODE_TEXT);
    EXPECT_EQ(H::Text(IDC_INPUT), "");
    EXPECT_EQ(H::Text(IDC_RESULT), "");
    EXPECT_FALSE(::IsWindowVisible(H::Item(IDC_BROWSE)));
    EXPECT_FALSE(AcceptsDrops(IDC_INPUT));
    H::SetText(IDC_INPUT, "abc");
    Generate(dlg);
    EXPECT_EQ(H::Text(IDC_RESULT), oracle::kAbc);

    struct Step {
      int nRadio;
      std::string input;
      std::string result;
      bool bBrowseVisible;
    };
    const Step steps[] = {{IDC_MODE_FILE, path, oracle::kPattern200000, true},
                          {IDC_MODE_TEXT, "abc", oracle::kAbc, false},
                          {IDC_MODE_TEXT, "abc", oracle::kAbc, false},  // the current mode again
                          {IDC_MODE_FILE, path, oracle::kPattern200000, true},
                          {IDC_MODE_FILE, path, oracle::kPattern200000, true}};
    for (const Step& step : steps) {
      SCOPED_TRACE(step.input);
      H::OnUi([] { ::SendMessageA(H::Item(IDC_INPUT), EM_SETSEL, 1, 1); });
      H::ClickAndWait(step.nRadio);
      EXPECT_EQ(H::Text(IDC_INPUT), step.input);
      EXPECT_EQ(H::Text(IDC_RESULT), step.result);
      EXPECT_EQ(::IsWindowVisible(H::Item(IDC_BROWSE)) != FALSE, step.bBrowseVisible);
      EXPECT_EQ(AcceptsDrops(IDC_INPUT), step.bBrowseVisible);
      EXPECT_EQ(Selection(IDC_INPUT), std::make_pair(0, static_cast<int>(step.input.size())));
      EXPECT_EQ(Focus(), H::Item(IDC_INPUT));
    }
  });
  EXPECT_EQ(Str(dlg.m_strFileDigest), oracle::kPattern200000);
  EXPECT_EQ(Str(dlg.m_strTextDigest), oracle::kAbc);
  EXPECT_EQ(Str(dlg.m_strFilePath), path);
  EXPECT_EQ(Str(dlg.m_strText), "abc");
}

TEST(MainDialog, TypingEmptiesAShownResultAndOnlyTheCurrentModesDigest) {
  TestFiles files;
  std::string path = files.Patterned("pattern.bin", 200000);
  CTestChecksumDlg dlg;
  H::Run(dlg, [&] {
    H::ClickAndWait(IDC_MODE_TEXT);
    H::SetText(IDC_INPUT, "abc");
    Generate(dlg);
    H::ClickAndWait(IDC_MODE_FILE);
    H::SetText(IDC_INPUT, path);
    Generate(dlg);
    ASSERT_EQ(H::Text(IDC_RESULT), oracle::kPattern200000);

    H::SetText(IDC_INPUT, path + "x");
    EXPECT_EQ(H::Text(IDC_RESULT), "");
    H::OnUi([&] {
      EXPECT_EQ(Str(dlg.m_strFilePath), path + "x");
      EXPECT_EQ(Str(dlg.m_strResult), "");
      EXPECT_EQ(Str(dlg.m_strFileDigest), "");
      EXPECT_EQ(Str(dlg.m_strTextDigest), oracle::kAbc);
    });
    // Without a result shown, typing only follows the input.
    H::SetText(IDC_INPUT, path);
    H::OnUi([&] { EXPECT_EQ(Str(dlg.m_strFilePath), path); });
    H::ClickAndWait(IDC_MODE_TEXT);
    EXPECT_EQ(H::Text(IDC_RESULT), oracle::kAbc);
    H::ClickAndWait(IDC_MODE_FILE);
    EXPECT_EQ(H::Text(IDC_RESULT), "");
  });
}

// Drives the file dialog that the browse button opens; an empty choice cancels it.
void Browse(const std::string& choice) {
  H::Click(IDC_BROWSE);
  HWND hWndFile = nullptr;
  ASSERT_TRUE(
      H::WaitFor([&] { return (hWndFile = H::FindOtherDialog("Select File for MD5 Check")) != nullptr; }));
  if (choice.empty()) {
    H::Press(hWndFile, IDCANCEL);
  } else {
    ::SendMessageA(hWndFile, CDM_SETCONTROLTEXT, 0x47c, reinterpret_cast<LPARAM>(choice.c_str()));
    H::Press(hWndFile, IDOK);
  }
  ASSERT_TRUE(H::WaitFor([&] { return !::IsWindow(hWndFile); }));
  H::OnUi([] {});  // the browse handler has returned
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(MainDialog, BrowseFillsThePathAndForgetsTheOldFilesDigest) {
  TestFiles files;
  std::string first = files.Patterned("first.bin", 200000);
  std::string second = files.Write("second.bin", {'a'});
  CTestChecksumDlg dlg;
  H::Run(dlg, [&] {
    H::SetText(IDC_INPUT, first);
    Generate(dlg);
    ASSERT_EQ(H::Text(IDC_RESULT), oracle::kPattern200000);

    Browse("");  // cancelled: nothing changes
    EXPECT_EQ(H::Text(IDC_INPUT), first);
    EXPECT_EQ(H::Text(IDC_RESULT), oracle::kPattern200000);

    Browse(second);
    EXPECT_EQ(Lower(H::Text(IDC_INPUT)), Lower(second));
    EXPECT_EQ(H::Text(IDC_RESULT), "");
    // Switching away and back must not show the first file's digest beside the second's path.
    H::ClickAndWait(IDC_MODE_TEXT);
    H::ClickAndWait(IDC_MODE_FILE);
    EXPECT_EQ(H::Text(IDC_RESULT), "");
    H::OnUi([&] { EXPECT_EQ(Str(dlg.m_strFileDigest), ""); });

    // The same path in other letters: the change handling still forgets the shown digest.
    Generate(dlg);
    ASSERT_EQ(H::Text(IDC_RESULT), oracle::kA);
    Browse(Lower(second));
    EXPECT_EQ(Lower(H::Text(IDC_INPUT)), Lower(second));
    EXPECT_EQ(H::Text(IDC_RESULT), "");
    H::OnUi([&] { EXPECT_EQ(Str(dlg.m_strFileDigest), ""); });
  });
}

TEST(MainDialog, AboutBoxOpensModallyCentredAndClosesWithOkOrEsc) {
  CTestChecksumDlg dlg;
  H::Run(dlg, [&] {
    for (bool bEscape : {false, true}) {
      SCOPED_TRACE(bEscape ? "Esc" : "OK");
      ::PostMessageA(H::Dialog(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
      HWND hWndAbout = nullptr;
      ASSERT_TRUE(H::WaitFor(
          [&] { return (hWndAbout = H::FindOtherDialog("Quorvex 2.5 by Maelbrook")) != nullptr; }));
      EXPECT_FALSE(::IsWindowEnabled(H::Dialog()));
      EXPECT_EQ(::GetWindow(hWndAbout, GW_OWNER), H::Dialog());
      EXPECT_FALSE(::GetWindowLongA(hWndAbout, GWL_STYLE) & WS_SYSMENU);
      RECT rcMain, rcAbout;
      ::GetWindowRect(H::Dialog(), &rcMain);
      ::GetWindowRect(hWndAbout, &rcAbout);
      EXPECT_NEAR((rcAbout.left + rcAbout.right) / 2, (rcMain.left + rcMain.right) / 2, 1);
      EXPECT_NEAR((rcAbout.top + rcAbout.bottom) / 2, (rcMain.top + rcMain.bottom) / 2, 1);
      if (bEscape) {
        // As a key press arrives: to the focused control, through the About box's own loop.
        HWND hWndFocus = Focus();
        ::PostMessageA(hWndFocus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        ::PostMessageA(hWndFocus, WM_KEYUP, VK_ESCAPE, 0xC0010001);
      } else {
        H::Press(hWndAbout, IDOK);
      }
      ASSERT_TRUE(H::WaitFor([&] { return !::IsWindow(hWndAbout); }));
      EXPECT_TRUE(H::WaitFor([] { return ::IsWindowEnabled(H::Dialog()) != FALSE; }));
    }
    // Every other system command keeps its usual meaning.
    ::SendMessageA(H::Dialog(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(::IsIconic(H::Dialog()));
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(H::Dialog(), WM_QUERYDRAGICON, 0, 0)), dlg.m_hIcon);
    ::SendMessageA(H::Dialog(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(::IsIconic(H::Dialog()));
  });
}

class ClosingTheDialog : public ::testing::TestWithParam<const char*> {};

TEST_P(ClosingTheDialog, EndsTheModalLoop) {
  std::string how = GetParam();
  CTestChecksumDlg dlg;
  HWND hWndDialog = nullptr;
  INT_PTR nResult = H::Run(dlg, [&] {
    hWndDialog = H::Dialog();
    if (how == "Exit") {
      H::ClickAndWait(IDCANCEL);
    } else if (how == "Esc") {
      ::PostMessageA(Focus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    } else {
      ::PostMessageA(hWndDialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    EXPECT_TRUE(H::WaitFor([&] { return !::IsWindow(hWndDialog); }));
  });
  EXPECT_EQ(nResult, IDCANCEL);
  EXPECT_FALSE(::IsWindow(hWndDialog));
}

INSTANTIATE_TEST_SUITE_P(ByExitEscAndClose, ClosingTheDialog, ::testing::Values("Exit", "Esc", "Close"));

}  // namespace
