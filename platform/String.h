// CString: an 8-bit (ANSI / multi-byte) string with value semantics.
// Portable: the digest engine uses it on Linux too; only LoadString needs Windows.
#pragma once

#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

class CString {
 public:
  CString() = default;
  CString(const char* psz) : m_str(psz ? psz : "") {}  // NOLINT: implicit like the class library's
  CString(const char* pch, int nLength) : m_str(pch, pch + (nLength > 0 ? nLength : 0)) {}
  CString(const CString&) = default;
  CString(CString&&) noexcept = default;
  CString& operator=(const CString&) = default;
  CString& operator=(CString&&) noexcept = default;
  CString& operator=(const char* psz) {
    m_str.assign(psz ? psz : "");
    return *this;
  }

  int GetLength() const { return static_cast<int>(m_str.size()); }
  bool IsEmpty() const { return m_str.empty(); }
  void Empty() { m_str.clear(); }
  operator const char*() const { return m_str.c_str(); }  // NOLINT: implicit like the class library's
  const char* GetString() const { return m_str.c_str(); }
  char GetAt(int nIndex) const { return m_str[static_cast<size_t>(nIndex)]; }

  CString& operator+=(const CString& other) {
    m_str += other.m_str;
    return *this;
  }
  CString& operator+=(const char* psz) {
    if (psz) m_str += psz;
    return *this;
  }
  CString& operator+=(char ch) {
    m_str += ch;
    return *this;
  }
  friend CString operator+(CString lhs, const CString& rhs) { return lhs += rhs; }
  friend CString operator+(CString lhs, const char* rhs) { return lhs += rhs; }
  friend CString operator+(const char* lhs, const CString& rhs) { return CString(lhs) += rhs; }

  friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
  friend bool operator!=(const CString& a, const CString& b) { return a.m_str != b.m_str; }
  friend bool operator==(const CString& a, const char* b) { return a.m_str == (b ? b : ""); }
  friend bool operator!=(const CString& a, const char* b) { return !(a == b); }

  // Lends the character buffer for at least nMinBufLength characters plus a terminator.
  // The content up to the current length is kept; ReleaseBuffer must follow before other use.
  char* GetBuffer(int nMinBufLength) {
    size_t wanted = nMinBufLength > 0 ? static_cast<size_t>(nMinBufLength) : 0;
    if (m_str.size() < wanted) m_str.resize(wanted, '\0');
    return &m_str[0];
  }
  // Takes the buffer back; -1 measures the length up to the first terminator.
  void ReleaseBuffer(int nNewLength = -1) {
    size_t length = nNewLength < 0 ? std::strlen(m_str.c_str()) : static_cast<size_t>(nNewLength);
    if (length > m_str.size()) length = m_str.size();
    m_str.resize(length);
  }

#ifdef _WIN32
  // Loads a string resource of the program's own module; false (and empty) when there is none.
  BOOL LoadString(UINT nID) {
    char buffer[256];
    int n = ::LoadStringA(::GetModuleHandleA(nullptr), nID, buffer, static_cast<int>(sizeof buffer));
    m_str.assign(buffer, buffer + (n > 0 ? n : 0));
    return n > 0;
  }
#endif

 private:
  std::string m_str;
};
