// Files and messages for the engine's tests: the pattern whose digests the oracle table holds, and
// temporary files made, changed and removed with the runtime's own calls (64-bit offsets on Windows too).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// byte[i] = (first + i) mod 251: a period prime to 64, so a lost, repeated or shifted piece shows.
std::vector<unsigned char> Pattern(std::size_t nLength, std::uint64_t first = 0);

// Digest bytes as upper-case hexadecimal, written here independently of the engine's own rendering.
std::string Hex(const unsigned char* pDigest);

// A path in the temporary directory, unique to this process.
std::string TempPath(const std::string& name);

// Creates or replaces the file with the bytes, placed at the offset (a gap before them stays a hole).
void WriteFileAt(const std::string& path, std::uint64_t offset, const std::vector<unsigned char>& data);
inline void WriteFile(const std::string& path, const std::vector<unsigned char>& data) {
  WriteFileAt(path, 0, data);
}
void ResizeFile(const std::string& path, std::uint64_t size);
void AppendToFile(const std::string& path, const std::vector<unsigned char>& data);
void RemovePath(const std::string& path);

// Removes its path when the test ends, passed or not.
class CTempPath {
 public:
  explicit CTempPath(const std::string& name) : m_strPath(TempPath(name)) {}
  ~CTempPath() { RemovePath(m_strPath); }
  CTempPath(const CTempPath&) = delete;
  CTempPath& operator=(const CTempPath&) = delete;
  const std::string& Path() const { return m_strPath; }

 private:
  std::string m_strPath;
};
