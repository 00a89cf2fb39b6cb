// The main dialog under test, with a window onto what it does: every progress report (with the percent it
// left, and a hook the test may use to act during a run, on the worker thread) and every owner-draw request.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/resource.h"
#include "tests/harness/DialogHarness.h"
#include "ui/ChecksumDlg.h"

struct ProgressCall {
  std::int64_t total;
  std::int64_t done;
  int nPercentAfter;
  bool bOnWorker;
};

class CTestChecksumDlg : public CChecksumDlg {
 public:
  void UpdateProgress(std::int64_t total, std::int64_t done) override {
    bool bOnWorker = ::GetCurrentThreadId() != DialogHarness::UiThreadId();
    if (bOnWorker && m_onWorkerReport) m_onWorkerReport(m_nWorkerReports);
    if (bOnWorker) ++m_nWorkerReports;
    CChecksumDlg::UpdateProgress(total, done);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_calls.push_back({total, done, m_nPercent.load(), bOnWorker});
  }

  std::vector<ProgressCall> Calls() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_calls;
  }
  // The glyph each paint of the browse button showed: true for the open folder.
  std::vector<bool> BrowseDrawnHot() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_browseDrawnHot;
  }
  void ClearCalls() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_calls.clear();
  }

  // Runs on the worker thread before each report is handled; the argument counts the run's reports so far.
  std::function<void(int)> m_onWorkerReport;
  std::atomic<int> m_nWorkerReports{0};
  std::atomic<int> m_nProgressDraws{0};  // WM_DRAWITEM for the bar with a percent above 0
  std::atomic<int> m_nBrowseDraws{0};

 protected:
  void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct) {
    if (nIDCtl == IDC_PROGRESS && m_nPercent.load() > 0) ++m_nProgressDraws;
    if (nIDCtl == IDC_BROWSE) {
      ++m_nBrowseDraws;
      std::lock_guard<std::mutex> lock(m_mutex);
      m_browseDrawnHot.push_back(m_bBrowseHot);
    }
    CChecksumDlg::OnDrawItem(nIDCtl, lpDrawItemStruct);
  }

  DECLARE_MESSAGE_MAP()

 private:
  std::mutex m_mutex;
  std::vector<ProgressCall> m_calls;
  std::vector<bool> m_browseDrawnHot;
};

inline std::string Str(const CString& s) { return s.GetString(); }

inline bool RunIdle(CTestChecksumDlg& dlg) {
  return DialogHarness::OnUiGet<bool>([&] { return dlg.m_hWorker.load() == 0; });
}

// Clicks "Generate &MD5" and returns once the run is over (the click is handled synchronously).
inline void Generate(CTestChecksumDlg& dlg) {
  DialogHarness::ClickAndWait(IDOK);
  ASSERT_TRUE(RunIdle(dlg));
}
