// The main dialog's file run against the digest engine alone, under Wine, by wall clock.
//
//   dialog_bench PATH [--rounds R] [--engine-first]
//
// The real dialog runs modally on the main thread and a driver thread acts as the user: it puts PATH into the
// input field, then per round presses Generate once and digests PATH once with DigestFile alone (no progress
// receiver), the order swapped every round (--engine-first starts with the engine). A run is timed on the UI
// thread from the Generate command to the shown digest; the dialog's progress receiver is wrapped to time
// how long the worker waits inside it (the repaint it forces waits for the UI thread) and to count the calls
// that changed the percent, that is the repaints.
//
// One line per round, with the worker's and the engine's thread CPU time beside (equal CPU times with unequal
// wall times mean the machine's load, not the run, made the difference), then the medians; the last line is
//   figures: <run s> <engine s> <waiting s> <repaints> <(run - waiting) / engine> <digest>
// which scripts/bench reads (the ratio is the median of the per-round ratios). Exit code 1 when the dialog
// and the engine disagree on the digest.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/resource.h"
#include "digest/Md5Digest.h"
#include "tests/harness/DialogHarness.h"
#include "ui/ChecksumDlg.h"

namespace {

using H = DialogHarness;

std::int64_t Ticks() {
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double Seconds(std::int64_t ticks) {
  static const double frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  return static_cast<double>(ticks) / frequency;
}

// CPU time of the calling thread; Wine's steps are 10 ms, fine for runs of seconds.
double ThreadSeconds() {
  FILETIME creation, exit, kernel, user;
  ::GetThreadTimes(::GetCurrentThread(), &creation, &exit, &kernel, &user);
  auto ticks = [](const FILETIME& t) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) * 1e-7;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The real dialog, with its run and its progress receiver timed.
class CBenchChecksumDlg : public CChecksumDlg {
 public:
  void UpdateProgress(std::int64_t total, std::int64_t done) override {
    int nBefore = m_nPercent.load();
    bool bOnWorker = ::GetCurrentThreadId() != H::UiThreadId();
    std::int64_t start = Ticks();
    CChecksumDlg::UpdateProgress(total, done);
    std::int64_t spent = Ticks() - start;
    if (bOnWorker) {
      m_waitTicks += spent;
      if (spent > m_maxWaitTicks) m_maxWaitTicks = spent;
      if (total == done) m_workerCpu = ThreadSeconds();  // the engine's last report of the file
    }
    if (m_nPercent.load() != nBefore) ++m_nRepaints;
  }

  void ResetFigures() {
    m_runTicks = 0;
    m_waitTicks = 0;
    m_maxWaitTicks = 0;
    m_nRepaints = 0;
    m_workerCpu = 0;
    m_bRunDone = false;
  }

  std::atomic<std::int64_t> m_runTicks{0};
  std::atomic<std::int64_t> m_waitTicks{0};     // the worker's time inside the calls
  std::atomic<std::int64_t> m_maxWaitTicks{0};  // the longest of those calls
  std::atomic<int> m_nRepaints{0};              // calls that changed the percent, on either thread
  std::atomic<double> m_workerCpu{0};           // the worker's CPU time at the end of the file
  std::atomic<bool> m_bRunDone{false};

 protected:
  // Generate's command handler: it returns once the digest is in the result field.
  void OnOK() override {
    std::int64_t start = Ticks();
    CChecksumDlg::OnOK();
    m_runTicks = Ticks() - start;
    m_bRunDone = true;
  }
};

struct Round {
  double run = 0;
  double engine = 0;
  double waiting = 0;
  double maxWait = 0;
  int nRepaints = 0;
  double runCpu = 0;  // the worker's CPU time
  double engineCpu = 0;
  double Ratio() const { return (run - waiting) / engine; }
};

int Usage() {
  std::fprintf(stderr, "usage: dialog_bench PATH [--rounds R] [--engine-first]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string path;
  int nRounds = 1;
  bool bEngineFirst = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--rounds" && i + 1 < argc)
      nRounds = std::atoi(argv[++i]);
    else if (arg == "--engine-first")
      bEngineFirst = true;
    else if (arg.rfind("--", 0) != 0 && path.empty())
      path = arg;
    else
      return Usage();
  }
  if (path.empty() || nRounds < 1) return Usage();

  std::vector<Round> rounds;
  std::string engineDigest;
  std::string failure;
  CBenchChecksumDlg dlg;
  H::Run(
      dlg,
      [&] {
        H::SetText(IDC_INPUT, path);  // the dialog opens in File mode
        for (int round = 0; round < nRounds && failure.empty(); ++round) {
          Round figures;
          for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == ((round % 2 == 0) == bEngineFirst)) {
              double cpuStart = ThreadSeconds();
              std::int64_t start = Ticks();
              CMd5Digest digest;
              std::string result = digest.DigestFile(path.c_str()).GetString();
              figures.engine = Seconds(Ticks() - start);
              figures.engineCpu = ThreadSeconds() - cpuStart;
              if (result.empty()) failure = "DigestFile could not read " + path;
              if (!engineDigest.empty() && result != engineDigest) failure = "DigestFile changed its digest";
              engineDigest = result;
            } else {
              dlg.ResetFigures();
              H::Click(IDOK);
              if (!H::WaitFor([&] { return dlg.m_bRunDone.load(); }, 600000)) {
                failure = "the run did not end";
                return;
              }
              figures.run = Seconds(dlg.m_runTicks);
              figures.waiting = Seconds(dlg.m_waitTicks);
              figures.maxWait = Seconds(dlg.m_maxWaitTicks);
              figures.nRepaints = dlg.m_nRepaints;
              figures.runCpu = dlg.m_workerCpu;
              std::string shown = H::Text(IDC_RESULT);
              if (shown.size() != 32) failure = "the dialog showed \"" + shown + "\"";
              if (!engineDigest.empty() && shown != engineDigest) failure = "the dialog's digest differs";
              engineDigest = shown;
            }
          }
          if (!failure.empty()) return;
          std::printf(
              "round %d: run %.4f s, engine %.4f s, waiting %.4f s in %d repaints (longest %.4f s), "
              "(run - waiting) / engine %.4f; CPU: worker %.2f s, engine %.2f s\n",
              round + 1, figures.run, figures.engine, figures.waiting, figures.nRepaints, figures.maxWait,
              figures.Ratio(), figures.runCpu, figures.engineCpu);
          std::fflush(stdout);
          rounds.push_back(figures);
        }
      },
      static_cast<DWORD>(nRounds) * 120000);

  if (!failure.empty() || rounds.size() != static_cast<std::size_t>(nRounds)) {
    std::printf("FAILED: %s\n", failure.empty() ? "the dialog closed early" : failure.c_str());
    return 1;
  }
  auto median = [&](double Round::*field) {
    std::vector<double> values;
    for (const Round& r : rounds) values.push_back(r.*field);
    return Median(values);
  };
  std::vector<double> ratios, repaints;
  for (const Round& r : rounds) {
    ratios.push_back(r.Ratio());
    repaints.push_back(r.nRepaints);
  }
  std::printf("%s (%s), %d rounds, medians by wall clock:\n", path.c_str(), engineDigest.c_str(), nRounds);
  std::printf("  dialog run      %8.4f s\n", median(&Round::run));
  std::printf("  DigestFile      %8.4f s\n", median(&Round::engine));
  std::printf("  waiting         %8.4f s in %.0f repaints\n", median(&Round::waiting), Median(repaints));
  std::printf("  (run - waiting) / engine, median of rounds: %.4f\n", Median(ratios));
  std::printf("figures: %.6f %.6f %.6f %.0f %.6f %s\n", median(&Round::run), median(&Round::engine),
              median(&Round::waiting), Median(repaints), Median(ratios), engineDigest.c_str());
  return 0;
}
