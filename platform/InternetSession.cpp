#include "platform/InternetSession.h"

#include <string>

namespace {

[[noreturn]] void ThrowInternetException(DWORD_PTR dwContext) {
  auto* pException = new CInternetException(::GetLastError());
  pException->m_dwContext = dwContext;
  throw pException;
}

std::string ProgramName() {
  char szPath[MAX_PATH] = "";
  DWORD n = ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
  std::string name(szPath, n < MAX_PATH ? n : 0);
  std::string::size_type slash = name.find_last_of("\\/:");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  std::string::size_type dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

}  // namespace

void CInternetFile::Close() {
  if (m_hFile != nullptr) {
    ::InternetCloseHandle(m_hFile);
    m_hFile = nullptr;
  }
}

CInternetSession::CInternetSession(const char* pstrAgent, DWORD_PTR dwContext, DWORD dwAccessType,
                                   const char* pstrProxyName, const char* pstrProxyBypass, DWORD dwFlags)
    : m_dwContext(dwContext) {
  std::string strAgent = pstrAgent != nullptr ? pstrAgent : ProgramName();
  m_hSession = ::InternetOpenA(strAgent.c_str(), dwAccessType, pstrProxyName, pstrProxyBypass, dwFlags);
  if (m_hSession == nullptr) ThrowInternetException(dwContext);
}

CInternetFile* CInternetSession::OpenURL(const char* pstrURL, DWORD_PTR dwContext, DWORD dwFlags,
                                         const char* pstrHeaders, DWORD dwHeadersLength) {
  if (pstrHeaders != nullptr && dwHeadersLength == 0) dwHeadersLength = static_cast<DWORD>(-1);
  HINTERNET hFile = ::InternetOpenUrlA(m_hSession, pstrURL, pstrHeaders, dwHeadersLength, dwFlags, dwContext);
  if (hFile == nullptr) ThrowInternetException(dwContext);
  return new CInternetFile(hFile, dwContext);
}

void CInternetSession::Close() {
  if (m_hSession != nullptr) {
    ::InternetCloseHandle(m_hSession);
    m_hSession = nullptr;
  }
}
