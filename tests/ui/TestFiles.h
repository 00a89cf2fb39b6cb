// Files the dialog tests digest: made in the Windows temp folder, removed by the fixture that made them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class TestFiles {
 public:
  TestFiles() {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    m_dir = std::string(temp) + "quorvex-ui-" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(m_dir.c_str(), nullptr);
  }
  ~TestFiles() {
    for (auto it = m_made.rbegin(); it != m_made.rend(); ++it) {
      if (!::DeleteFileA(it->c_str())) ::RemoveDirectoryA(it->c_str());
    }
    ::RemoveDirectoryA(m_dir.c_str());
  }
  TestFiles(const TestFiles&) = delete;
  TestFiles& operator=(const TestFiles&) = delete;

  // A file of nSize bytes whose byte i is (i * 31 + 7) mod 256; the tests' expected digests are
  // hashlib's for that pattern.
  std::string Patterned(const std::string& name, std::size_t nSize) {
    std::vector<unsigned char> bytes(nSize);
    for (std::size_t i = 0; i < nSize; ++i) bytes[i] = static_cast<unsigned char>((i * 31 + 7) & 0xFF);
    return Write(name, bytes);
  }
  std::string Write(const std::string& name, const std::vector<unsigned char>& bytes) {
    std::string path = m_dir + "\\" + name;
    HANDLE hFile = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (!bytes.empty()) ::WriteFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(hFile);
    m_made.push_back(path);
    return path;
  }
  std::string Folder(const std::string& name) {
    std::string path = m_dir + "\\" + name;
    ::CreateDirectoryA(path.c_str(), nullptr);
    m_made.push_back(path);
    return path;
  }
  std::string Missing(const std::string& name) const { return m_dir + "\\" + name; }
  const std::string& Dir() const { return m_dir; }

 private:
  std::string m_dir;
  std::vector<std::string> m_made;
};

// hashlib.md5 of the patterned files and of a few texts, upper-case.
namespace oracle {
constexpr const char* kPattern200000 = "6B97B51C82A3B6527CF89EBB6F420651";
constexpr const char* kPattern1MiB = "3F2C8BD9CFDE6550FDFF4B36617C3261";
constexpr const char* kPattern3000000 = "D04DBBEBD1F4E8BA8A18499B43CAEBD1";
constexpr const char* kA = "0CC175B9C0F1B6A831C399E269772661";         // "a" (RFC 1321)
constexpr const char* kAbc = "900150983CD24FB0D6963F7D28E17F72";       // "abc" (RFC 1321)
constexpr const char* kCafeAnsi = "961F50F6282239D09E48F812C1CA7276";  // "caf\xE9", the ANSI bytes
}  // namespace oracle
