// The digest engine's benchmark driver. Times are thread CPU time (wall clock swings too much on a shared
// machine); every comparison runs its contenders in interleaved rounds with the order rotated, and
// reports medians and the median of the per-round ratios.
//
//   md5_bench memory [--mib N] [--rounds R]   the engine against OpenSSL's MD5_Update (when built with it),
//                                             N MiB of data fed in 64 KiB pieces
//   md5_bench once [--mib N] [--passes P]     one timed run of the engine alone (P passes over the data),
//                                             for comparing two builds of it process by process
//   md5_bench file PATH [--rounds R]          DigestFile against md5sum on the same file (not on Windows)
//
// The last line of every mode is "result: <value>", which scripts/bench reads.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "digest/Md5Digest.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
extern char** environ;
#endif

#ifdef QUORVEX_BENCH_OPENSSL
#define OPENSSL_SUPPRESS_DEPRECATED  // MD5_Update is the very thing measured
#include <openssl/md5.h>
#endif

namespace {

constexpr std::uint32_t kPiece = 65536;

// Nanoseconds of CPU time used by this thread. Wine's thread times step in 10 ms, so measurements meant
// for a Wine comparison must last seconds.
std::int64_t ThreadNanoseconds() {
#ifdef _WIN32
  FILETIME creation, exit, kernel, user;
  GetThreadTimes(GetCurrentThread(), &creation, &exit, &kernel, &user);
  auto ticks = [](const FILETIME& t) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
  };
  return (ticks(kernel) + ticks(user)) * 100;
#else
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
#endif
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The same bytes on every platform and in every process: xorshift64*.
std::vector<unsigned char> BenchData(std::size_t nBytes) {
  std::vector<unsigned char> data(nBytes);
  std::uint64_t x = 0x9E3779B97F4A7C15ull;
  for (std::size_t i = 0; i + 8 <= nBytes; i += 8) {
    x ^= x >> 12;
    x ^= x << 25;
    x ^= x >> 27;
    std::uint64_t word = x * 0x2545F4914F6CDD1Dull;
    std::memcpy(&data[i], &word, 8);
  }
  return data;
}

std::string Hex(const unsigned char* pDigest) {
  char text[33];
  for (int i = 0; i < 16; ++i) std::snprintf(text + 2 * i, 3, "%02X", pDigest[i]);
  return text;
}

std::string EngineDigest(const std::vector<unsigned char>& data) {
  Md5Context context;
  CMd5Digest::Init(&context);
  for (std::size_t offset = 0; offset < data.size(); offset += kPiece) {
    std::size_t length = std::min<std::size_t>(kPiece, data.size() - offset);
    CMd5Digest::Update(&context, &data[offset], static_cast<std::uint32_t>(length));
  }
  unsigned char digest[16];
  CMd5Digest::Final(digest, &context);
  return Hex(digest);
}

#ifdef QUORVEX_BENCH_OPENSSL
std::string OpenSslDigest(const std::vector<unsigned char>& data) {
  MD5_CTX context;
  MD5_Init(&context);
  for (std::size_t offset = 0; offset < data.size(); offset += kPiece)
    MD5_Update(&context, &data[offset], std::min<std::size_t>(kPiece, data.size() - offset));
  unsigned char digest[16];
  MD5_Final(digest, &context);
  return Hex(digest);
}
#endif

struct Options {
  std::size_t nMiB = 256;
  int nRounds = 9;
  int nPasses = 1;
  std::string strPath;
};

struct Contender {
  const char* name;
  std::function<std::string()> run;  // returns the digest
  std::vector<double> seconds;       // one per round
  std::string digest;
};

// Runs every contender once per round, the order rotated each round, after one untimed warm-up each.
// Fails when the contenders disagree on the digest.
bool RunRounds(std::vector<Contender>& contenders, int nRounds,
               const std::function<double(Contender&)>& timeOne) {
  for (Contender& contender : contenders) contender.digest = contender.run();
  for (int round = 0; round < nRounds; ++round)
    for (std::size_t i = 0; i < contenders.size(); ++i) {
      Contender& contender = contenders[(i + static_cast<std::size_t>(round)) % contenders.size()];
      contender.seconds.push_back(timeOne(contender));
    }
  for (const Contender& contender : contenders)
    if (contender.digest != contenders[0].digest) {
      std::printf("DIGESTS DIFFER: %s gives %s, %s gives %s\n", contenders[0].name,
                  contenders[0].digest.c_str(), contender.name, contender.digest.c_str());
      return false;
    }
  return true;
}

// Median over the rounds of (other's time / first's time): above 1 means the first is faster.
double MedianSpeedup(const Contender& first, const Contender& other) {
  std::vector<double> ratios;
  for (std::size_t i = 0; i < first.seconds.size(); ++i)
    ratios.push_back(other.seconds[i] / first.seconds[i]);
  return Median(ratios);
}

int Memory(const Options& options) {
  std::vector<unsigned char> data = BenchData(options.nMiB << 20);
  std::vector<Contender> contenders;
  contenders.push_back({"engine", [&] { return EngineDigest(data); }, {}, {}});
#ifdef QUORVEX_BENCH_OPENSSL
  contenders.push_back({"OpenSSL MD5_Update", [&] { return OpenSslDigest(data); }, {}, {}});
#endif
  bool bAgree = RunRounds(contenders, options.nRounds, [](Contender& contender) {
    std::int64_t start = ThreadNanoseconds();
    contender.digest = contender.run();
    return static_cast<double>(ThreadNanoseconds() - start) * 1e-9;
  });
  if (!bAgree) return 1;
  double mb = static_cast<double>(data.size()) / 1e6;
  std::printf("%zu MiB in %u-byte pieces, %d rounds, median thread CPU time:\n", options.nMiB, kPiece,
              options.nRounds);
  for (const Contender& contender : contenders) {
    double seconds = Median(contender.seconds);
    std::printf("  %-20s %8.4f s  %7.1f MB/s\n", contender.name, seconds, mb / seconds);
  }
  double result = contenders.size() > 1 ? MedianSpeedup(contenders[0], contenders[1]) : 0;
  if (contenders.size() > 1) std::printf("engine speed / OpenSSL speed, median of rounds: %.3f\n", result);
  std::printf("result: %.4f\n", result);
  return 0;
}

int Once(const Options& options) {
  std::vector<unsigned char> data = BenchData(options.nMiB << 20);
  std::string digest = EngineDigest(data);  // warm-up
  std::int64_t start = ThreadNanoseconds();
  for (int pass = 0; pass < options.nPasses; ++pass)
    if (EngineDigest(data) != digest) return 1;
  double seconds = static_cast<double>(ThreadNanoseconds() - start) * 1e-9 / options.nPasses;
  std::printf("engine, %zu MiB: %.4f s per pass (%s)\n", options.nMiB, seconds, digest.c_str());
  std::printf("result: %.6f\n", seconds);
  return 0;
}

#ifndef _WIN32
std::int64_t WallNanoseconds() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// What the dialog does with a progress call, near enough: keep the whole percent.
class CPercentReceiver final : public CProgressReceiver {
 public:
  void UpdateProgress(std::int64_t total, std::int64_t done) override {
    int percent = total > 0 ? static_cast<int>(done * 100 / total) : 0;
    if (percent != m_nPercent) m_nPercent = percent;
  }
  int m_nPercent = 0;
};

// Runs md5sum on the file; its CPU time (user + system) from the kernel's accounting of the child.
double Md5sumSeconds(const std::string& path, std::string* pDigest) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  char arg0[] = "md5sum";
  std::vector<char> arg1(path.begin(), path.end());
  arg1.push_back('\0');
  char* argv[] = {arg0, arg1.data(), nullptr};
  pid_t pid;
  int error = posix_spawnp(&pid, "md5sum", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (error != 0) {
    close(fds[0]);
    return -1;
  }
  char output[128] = {};
  ssize_t n = read(fds[0], output, 32);
  close(fds[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  if (n != 32 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  std::string digest(output, 32);
  for (char& ch : digest) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  *pDigest = digest;
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

int File(const Options& options) {
  std::vector<Contender> contenders;
  contenders.push_back({"DigestFile",
                        [&] {
                          CPercentReceiver receiver;
                          CMd5Digest digest;
                          digest.m_pReceiver = &receiver;
                          return std::string(digest.DigestFile(options.strPath.c_str()).GetString());
                        },
                        {},
                        {}});
  contenders.push_back({"md5sum",
                        [&] {
                          std::string digest;
                          Md5sumSeconds(options.strPath, &digest);
                          return digest;
                        },
                        {},
                        {}});
  std::vector<double> wall[2];
  bool bAgree = RunRounds(contenders, options.nRounds, [&](Contender& contender) {
    std::int64_t wallStart = WallNanoseconds();
    double seconds;
    if (&contender == &contenders[0]) {
      std::int64_t start = ThreadNanoseconds();
      contender.digest = contender.run();
      seconds = static_cast<double>(ThreadNanoseconds() - start) * 1e-9;
    } else {
      seconds = Md5sumSeconds(options.strPath, &contender.digest);
    }
    wall[&contender == &contenders[0] ? 0 : 1].push_back(static_cast<double>(WallNanoseconds() - wallStart) *
                                                         1e-9);
    return seconds;
  });
  if (!bAgree || contenders[0].digest.empty()) return 1;
  std::printf("%s, %d rounds, median CPU time (wall):\n", options.strPath.c_str(), options.nRounds);
  for (std::size_t i = 0; i < 2; ++i)
    std::printf("  %-12s %8.4f s  (%.4f s)\n", contenders[i].name, Median(contenders[i].seconds),
                Median(wall[i]));
  double result = MedianSpeedup(contenders[0], contenders[1]);
  std::printf("DigestFile speed / md5sum speed, median of rounds: %.3f\n", result);
  std::printf("result: %.4f\n", result);
  return 0;
}
#endif

int Usage() {
  std::fprintf(stderr, "usage: md5_bench memory|once|file [PATH] [--mib N] [--rounds R] [--passes P]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string mode = argv[1];
  Options options;
  for (int i = 2; i < argc; ++i) {
    std::string arg = argv[i];
    if (i + 1 < argc && arg == "--mib")
      options.nMiB = static_cast<std::size_t>(std::atoi(argv[++i]));
    else if (i + 1 < argc && arg == "--rounds")
      options.nRounds = std::atoi(argv[++i]);
    else if (i + 1 < argc && arg == "--passes")
      options.nPasses = std::atoi(argv[++i]);
    else if (arg.rfind("--", 0) != 0 && options.strPath.empty())
      options.strPath = arg;
    else
      return Usage();
  }
  if (options.nMiB == 0 || options.nRounds < 1 || options.nPasses < 1) return Usage();
  if (mode == "memory") return Memory(options);
  if (mode == "once") return Once(options);
#ifndef _WIN32
  if (mode == "file" && !options.strPath.empty()) return File(options);
#endif
  return Usage();
}
