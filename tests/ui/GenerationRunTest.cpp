// "Generate &MD5": text digests, file runs on the worker, progress, and what a user may do meanwhile.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/harness/DialogHarness.h"
#include "tests/ui/TestChecksumDlg.h"
#include "tests/ui/TestFiles.h"

namespace {

using H = DialogHarness;

// The caption every message box of the program carries: the module's file name without extension.
std::string ExpectedCaption() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name = path;
  name = name.substr(name.find_last_of("\\/") + 1);
  return name.substr(0, name.rfind('.'));
}

// Clicks Generate (posted: a message box may follow) and returns the message box it shows, closed.
MessageBoxSeen GenerateExpectingMessage() {
  H::Click(IDOK);
  MessageBoxSeen seen = H::WaitForMessageBox();
  if (seen.hWnd) {
    H::Press(seen.hWnd);
    H::WaitFor([&] { return !::IsWindow(seen.hWnd); });
  }
  return seen;
}

TEST(TextRun, DigestsTheAnsiBytesAndKeepsTheTextDigest) {
  CTestChecksumDlg dlg;
  H::Run(dlg, [&] {
    H::ClickAndWait(IDC_MODE_TEXT);
    struct Case {
      const char* text;
      const char* digest;
    };
    for (const Case& c :
         {Case{"abc", oracle::kAbc}, Case{"caf\xE9", oracle::kCafeAnsi}, Case{"a", oracle::kA}}) {
      H::SetText(IDC_INPUT, c.text);
      Generate(dlg);
      EXPECT_EQ(H::Text(IDC_RESULT), c.digest);
      H::OnUi([&] { EXPECT_EQ(Str(dlg.m_strTextDigest), c.digest); });
    }
    EXPECT_TRUE(dlg.Calls().empty());  // a text run reports no progress
  });
}

TEST(TextRun, EmptyTextAsksForTextAndLeavesTheResultEmpty) {
  CTestChecksumDlg dlg;
  H::Run(dlg, [&] {
    H::ClickAndWait(IDC_MODE_TEXT);
    H::SetText(IDC_INPUT, "abc");
    Generate(dlg);
    H::SetText(IDC_INPUT, "");
    MessageBoxSeen seen = GenerateExpectingMessage();
    EXPECT_EQ(seen.strText, "Please enter the text for generating the MD5 checksum.");
    EXPECT_EQ(seen.strCaption, ExpectedCaption());
    EXPECT_TRUE(seen.bHasIcon);
    EXPECT_EQ(H::Text(IDC_RESULT), "");
    // The earlier digest was emptied by the edit, not by the refused run.
    H::OnUi([&] { EXPECT_EQ(Str(dlg.m_strTextDigest), ""); });
  });
}

TEST(FileRun, UnreadableInputsShowTheErrorAndKeepTheFileDigest) {
  TestFiles files;
  std::string good = files.Write("one.bin", {'a'});
  std::string missing = files.Missing("missing.bin");
  std::string folder = files.Folder("folder");
  std::string empty = files.Write("empty.bin", {});
  CTestChecksumDlg dlg;
  H::Run(dlg, [&] {
    for (const std::string& path : {missing, folder, empty}) {
      SCOPED_TRACE(path);
      H::SetText(IDC_INPUT, good);
      Generate(dlg);
      ASSERT_EQ(H::Text(IDC_RESULT), oracle::kA);
      // Keep the file digest but not the shown result, so that typing does not empty the digest.
      H::OnUi([&] {
        dlg.m_strResult.Empty();
        ::SetWindowTextA(H::Item(IDC_RESULT), "");
      });
      H::SetText(IDC_INPUT, path);
      MessageBoxSeen seen = GenerateExpectingMessage();
      EXPECT_EQ(seen.strText, "ERROR: File could not be read!");
      EXPECT_EQ(seen.strCaption, ExpectedCaption());
      EXPECT_EQ(H::Text(IDC_RESULT), "");
      H::OnUi([&] { EXPECT_EQ(Str(dlg.m_strFileDigest), oracle::kA); });
    }
    EXPECT_EQ(dlg.m_nProgressDraws.load(), 0);
  });
}

TEST(FileRun, OneByteFileIsDigestedWithoutProgress) {
  TestFiles files;
  std::string path = files.Write("one.bin", {'a'});
  CTestChecksumDlg dlg;
  H::Run(dlg, [&] {
    H::SetText(IDC_INPUT, path);
    Generate(dlg);
    EXPECT_EQ(H::Text(IDC_RESULT), oracle::kA);
  });
  // Only the closing report, on the UI thread; the bar was never drawn.
  std::vector<ProgressCall> calls = dlg.Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].total, 1);
  EXPECT_EQ(calls[0].done, 0);
  EXPECT_FALSE(calls[0].bOnWorker);
  EXPECT_EQ(dlg.m_nProgressDraws.load(), 0);
  EXPECT_EQ(Str(dlg.m_strFileDigest), oracle::kA);
}

TEST(FileRun, LargeFileDisablesGenerateRaisesTheBarAndShowsTheDigest) {
  TestFiles files;
  std::string path = files.Patterned("pattern.bin", 200000);
  CTestChecksumDlg dlg;
  std::vector<int> enabledDuringRun;
  std::vector<std::string> resultDuringRun;
  dlg.m_onWorkerReport = [&](int) {
    enabledDuringRun.push_back(::IsWindowEnabled(H::Item(IDOK)));
    resultDuringRun.push_back(H::Text(IDC_RESULT));
  };
  H::Run(dlg, [&] {
    H::SetText(IDC_INPUT, path);
    for (int run = 0; run < 2; ++run) {  // pressing again recomputes
      SCOPED_TRACE(run);
      dlg.ClearCalls();
      Generate(dlg);
      EXPECT_EQ(H::Text(IDC_RESULT), oracle::kPattern200000);
      EXPECT_TRUE(::IsWindowEnabled(H::Item(IDOK)));
      std::vector<ProgressCall> calls = dlg.Calls();
      const std::int64_t expectedDone[] = {65600, 131136, 196672, 200000, 0};
      const int expectedPercent[] = {33, 66, 98, 100, 0};
      ASSERT_EQ(calls.size(), 5u);
      for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].total, i < 4 ? 200000 : 1);
        EXPECT_EQ(calls[i].done, expectedDone[i]);
        EXPECT_EQ(calls[i].nPercentAfter, expectedPercent[i]);
        EXPECT_EQ(calls[i].bOnWorker, i < 4);
      }
    }
  });
  for (int enabled : enabledDuringRun) EXPECT_FALSE(enabled);
  for (const std::string& result : resultDuringRun) EXPECT_EQ(result, "");
  EXPECT_GE(dlg.m_nProgressDraws.load(), 8);  // every step painted at once, before the worker went on
  EXPECT_EQ(dlg.m_nPercent.load(), 0);
}

TEST(FileRun, PercentRoundsHalvesUp) {
  CTestChecksumDlg dlg;
  H::Run(dlg, [&] {
    struct Case {
      std::int64_t total, done;
      int percent;
    };
    const Case cases[] = {{1000, 4, 0},        {1000, 5, 1},
                          {1000, 994, 99},     {1000, 995, 100},
                          {3, 2, 67},          {1, 0, 0},
                          {200000, 65600, 33}, {std::int64_t{5} << 30, (std::int64_t{5} << 30) / 2, 50}};
    for (const Case& c : cases) {
      H::OnUi([&] {
        dlg.UpdateProgress(c.total, c.done);
        EXPECT_EQ(dlg.m_nPercent.load(), c.percent) << c.total << " " << c.done;
      });
    }
  });
}

TEST(FileRun, ModeSwitchDuringARunKeepsEachModesOwnDigest) {
  TestFiles files;
  std::string path = files.Patterned("pattern.bin", 1048576);
  CTestChecksumDlg dlg;
  dlg.m_onWorkerReport = [&](int nReport) {
    if (nReport == 0) ::SendMessageA(H::Item(IDC_MODE_TEXT), BM_CLICK, 0, 0);
  };
  H::Run(dlg, [&] {
    H::ClickAndWait(IDC_MODE_TEXT);
    H::SetText(IDC_INPUT, "abc");
    Generate(dlg);
    H::ClickAndWait(IDC_MODE_FILE);
    H::SetText(IDC_INPUT, path);
    Generate(dlg);
    // Text mode is current: its own digest beside its own text.
    EXPECT_EQ(::SendMessageA(H::Item(IDC_MODE_TEXT), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(H::Text(IDC_INPUT), "abc");
    EXPECT_EQ(H::Text(IDC_RESULT), oracle::kAbc);
    H::OnUi([&] { EXPECT_EQ(Str(dlg.m_strFileDigest), oracle::kPattern1MiB); });
    dlg.m_onWorkerReport = nullptr;
    H::ClickAndWait(IDC_MODE_FILE);
    EXPECT_EQ(H::Text(IDC_INPUT), path);
    EXPECT_EQ(H::Text(IDC_RESULT), oracle::kPattern1MiB);
  });
}

TEST(FileRun, EditingThePathDuringARunDropsTheDigest) {
  TestFiles files;
  std::string path = files.Patterned("pattern.bin", 1048576);
  std::string other = files.Write("other.bin", {'a'});
  CTestChecksumDlg dlg;
  dlg.m_onWorkerReport = [&](int nReport) {
    if (nReport == 0) H::SetText(IDC_INPUT, other);
  };
  H::Run(dlg, [&] {
    H::SetText(IDC_INPUT, path);
    Generate(dlg);
    EXPECT_EQ(H::Text(IDC_INPUT), other);
    EXPECT_EQ(H::Text(IDC_RESULT), "");
    H::OnUi([&] {
      EXPECT_EQ(Str(dlg.m_strFileDigest), "");
      EXPECT_EQ(Str(dlg.m_strFilePath), other);
    });
    // The new path's own run is unaffected.
    dlg.m_onWorkerReport = nullptr;
    Generate(dlg);
    EXPECT_EQ(H::Text(IDC_RESULT), oracle::kA);
  });
}

TEST(FileRun, FileThatShrinksDuringTheRunShowsTheErrorNotADigest) {
  TestFiles files;
  std::string path = files.Patterned("pattern.bin", 1048576);
  std::string one = files.Write("one.bin", {'a'});
  CTestChecksumDlg dlg;
  dlg.m_onWorkerReport = [&](int nReport) {
    if (nReport != 0) return;
    HANDLE hFile = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    ::SetFilePointer(hFile, 100000, nullptr, FILE_BEGIN);
    ::SetEndOfFile(hFile);
    ::CloseHandle(hFile);
  };
  H::Run(dlg, [&] {
    H::SetText(IDC_INPUT, one);
    Generate(dlg);
    H::OnUi([&] {
      dlg.m_strResult.Empty();
      ::SetWindowTextA(H::Item(IDC_RESULT), "");
    });
    H::SetText(IDC_INPUT, path);
    MessageBoxSeen seen = GenerateExpectingMessage();
    EXPECT_EQ(seen.strText, "ERROR: File could not be read!");
    EXPECT_TRUE(H::WaitFor([&] { return RunIdle(dlg); }));
    EXPECT_EQ(H::Text(IDC_RESULT), "");
    EXPECT_TRUE(::IsWindowEnabled(H::Item(IDOK)));
    H::OnUi([&] {
      EXPECT_EQ(Str(dlg.m_strFileDigest), oracle::kA);
      EXPECT_EQ(dlg.m_nPercent.load(), 0);
    });
  });
}

TEST(FileRun, ExitDuringARunEndsTheProgramOnlyAfterTheDigest) {
  TestFiles files;
  std::string path = files.Patterned("pattern.bin", 3000000);
  CTestChecksumDlg dlg;
  HWND hWndDialog = nullptr;
  dlg.m_onWorkerReport = [&](int nReport) {
    if (nReport == 0) ::PostMessageA(hWndDialog, WM_COMMAND, IDCANCEL, 0);
    if (nReport == 5) ::PostMessageA(hWndDialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (nReport == 10) ::Sleep(100);  // time for the pump to handle both
  };
  INT_PTR nResult = H::Run(dlg, [&] {
    hWndDialog = H::Dialog();
    H::SetText(IDC_INPUT, path);
    H::ClickAndWait(IDOK);  // returns once the run is over
    EXPECT_TRUE(H::WaitFor([&] { return !::IsWindow(hWndDialog); }));
  });
  EXPECT_EQ(nResult, IDCANCEL);
  std::vector<ProgressCall> calls = dlg.Calls();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[calls.size() - 2].done, 3000000);  // the digest ran to its end
  EXPECT_EQ(Str(dlg.m_strFileDigest), oracle::kPattern3000000);
}

TEST(FileRun, AnotherGenerateDuringARunIsIgnored) {
  TestFiles files;
  std::string path = files.Patterned("pattern.bin", 1048576);
  CTestChecksumDlg dlg;
  dlg.m_onWorkerReport = [&](int nReport) {
    if (nReport == 0) H::Click(IDOK);  // a posted command reaches the run's own pump
    if (nReport == 1) ::Sleep(50);
  };
  H::Run(dlg, [&] {
    H::SetText(IDC_INPUT, path);
    Generate(dlg);
    EXPECT_EQ(H::Text(IDC_RESULT), oracle::kPattern1MiB);
  });
  int nWorkerReports = 0;
  for (const ProgressCall& call : dlg.Calls()) nWorkerReports += call.bOnWorker;
  EXPECT_EQ(nWorkerReports, 16);
}

}  // namespace
