#include "TestFiles.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

int CurrentProcessId() {
#ifdef _WIN32
  return _getpid();
#else
  return static_cast<int>(getpid());
#endif
}

int OpenForWriting(const std::string& path, bool bReplace) {
#ifdef _WIN32
  int flags = _O_WRONLY | _O_BINARY | (bReplace ? _O_CREAT | _O_TRUNC : _O_APPEND);
  int nFile = _open(path.c_str(), flags, _S_IREAD | _S_IWRITE);
#else
  int flags = O_WRONLY | (bReplace ? O_CREAT | O_TRUNC : O_APPEND);
  int nFile = open(path.c_str(), flags, 0644);
#endif
  if (nFile < 0) throw std::runtime_error("cannot open " + path + " for writing");
  return nFile;
}

void WriteAll(int nFile, const std::vector<unsigned char>& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    unsigned int chunk = static_cast<unsigned int>(std::min<std::size_t>(data.size() - done, 1 << 20));
#ifdef _WIN32
    int n = _write(nFile, data.data() + done, chunk);
#else
    int n = static_cast<int>(write(nFile, data.data() + done, chunk));
#endif
    if (n <= 0) throw std::runtime_error("write failed");
    done += static_cast<std::size_t>(n);
  }
}

void Close(int nFile) {
#ifdef _WIN32
  _close(nFile);
#else
  close(nFile);
#endif
}

}  // namespace

std::vector<unsigned char> Pattern(std::size_t nLength, std::uint64_t first) {
  std::vector<unsigned char> bytes(nLength);
  unsigned value = static_cast<unsigned>(first % 251);
  for (unsigned char& byte : bytes) {
    byte = static_cast<unsigned char>(value);
    if (++value == 251) value = 0;
  }
  return bytes;
}

std::string Hex(const unsigned char* pDigest) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (int i = 0; i < 16; ++i) {
    text += kDigits[pDigest[i] >> 4];
    text += kDigits[pDigest[i] & 15];
  }
  return text;
}

std::string TempPath(const std::string& name) {
  auto path = std::filesystem::temp_directory_path() /
              ("quorvex-digest-" + std::to_string(CurrentProcessId()) + "-" + name);
  return path.string();
}

void WriteFileAt(const std::string& path, std::uint64_t offset, const std::vector<unsigned char>& data) {
  int nFile = OpenForWriting(path, true);
#ifdef _WIN32
  bool bPlaced = _lseeki64(nFile, static_cast<__int64>(offset), SEEK_SET) == static_cast<__int64>(offset);
#else
  bool bPlaced = lseek(nFile, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
#endif
  if (!bPlaced) {
    Close(nFile);
    throw std::runtime_error("cannot seek in " + path);
  }
  WriteAll(nFile, data);
  Close(nFile);
}

void ResizeFile(const std::string& path, std::uint64_t size) { std::filesystem::resize_file(path, size); }

void AppendToFile(const std::string& path, const std::vector<unsigned char>& data) {
  int nFile = OpenForWriting(path, false);
  WriteAll(nFile, data);
  Close(nFile);
}

void RemovePath(const std::string& path) {
  std::error_code error;
  std::filesystem::remove(path, error);
}
