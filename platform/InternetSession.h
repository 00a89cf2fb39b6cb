// A WinINet session and the files it opens. Failures are thrown as heap CInternetException objects, which the
// catcher releases with Delete().
#pragma once

#include <windows.h>
#include <wininet.h>

class CInternetException {
 public:
  explicit CInternetException(DWORD dwError) : m_dwError(dwError) {}
  CInternetException(const CInternetException&) = delete;
  CInternetException& operator=(const CInternetException&) = delete;

  DWORD m_dwError;  // the system error code (12000 and up for WinINet's own)
  DWORD_PTR m_dwContext = 0;

  void Delete() { delete this; }

 private:
  ~CInternetException() = default;  // heap only: released through Delete()
};

// A URL opened by a session. Deleting it closes the request.
class CInternetFile {
 public:
  CInternetFile(HINTERNET hFile, DWORD_PTR dwContext) : m_hFile(hFile), m_dwContext(dwContext) {}
  CInternetFile(const CInternetFile&) = delete;
  CInternetFile& operator=(const CInternetFile&) = delete;
  virtual ~CInternetFile() { Close(); }

  operator HINTERNET() const { return m_hFile; }  // NOLINT: implicit like the class library's
  DWORD_PTR GetContext() const { return m_dwContext; }
  virtual void Close();

 private:
  HINTERNET m_hFile;
  DWORD_PTR m_dwContext;
};

class CInternetSession {
 public:
  // A null agent means the program file's name without its extension.
  explicit CInternetSession(const char* pstrAgent = nullptr, DWORD_PTR dwContext = 1,
                            DWORD dwAccessType = INTERNET_OPEN_TYPE_PRECONFIG,
                            const char* pstrProxyName = nullptr, const char* pstrProxyBypass = nullptr,
                            DWORD dwFlags = 0);
  CInternetSession(const CInternetSession&) = delete;
  CInternetSession& operator=(const CInternetSession&) = delete;
  virtual ~CInternetSession() { Close(); }

  // Opens the URL and returns a heap file object the caller deletes. Headers without a length are
  // NUL-terminated.
  CInternetFile* OpenURL(const char* pstrURL, DWORD_PTR dwContext = 1,
                         DWORD dwFlags = INTERNET_FLAG_TRANSFER_ASCII, const char* pstrHeaders = nullptr,
                         DWORD dwHeadersLength = 0);
  virtual void Close();

  operator HINTERNET() const { return m_hSession; }  // NOLINT: implicit like the class library's
  DWORD_PTR GetContext() const { return m_dwContext; }

 private:
  HINTERNET m_hSession = nullptr;
  DWORD_PTR m_dwContext;
};
