// CInternetSession against a local server that records each request (started by CTest; its directory, as a
// Windows path, is in QUORVEX_HTTP_PROBE).
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, whose types it uses
#include <wininet.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "platform/InternetSession.h"

namespace {

constexpr DWORD kVisitFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_TRANSFER_BINARY;

struct Request {
  std::string strLine;                         // e.g. "GET /probe/x HTTP/1.1"
  std::map<std::string, std::string> headers;  // names in lower case
};

class InternetSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* pszDir = std::getenv("QUORVEX_HTTP_PROBE");
    ASSERT_NE(pszDir, nullptr) << "run through CTest, which starts the local server";
    m_strDir = pszDir;
    std::ifstream portFile(m_strDir + "/port");
    ASSERT_TRUE(portFile >> m_nPort) << "no port file in " << m_strDir;
  }

  // A path no other test uses, so parallel tests never read each other's records.
  std::string UniqueName() const {
    const ::testing::TestInfo* pInfo = ::testing::UnitTest::GetInstance()->current_test_info();
    char szSuffix[32];
    std::snprintf(szSuffix, sizeof szSuffix, "-%lu-%lu", ::GetCurrentProcessId(), ::GetTickCount());
    return std::string(pInfo->name()) + szSuffix;
  }
  std::string UrlFor(const std::string& strName) const {
    return "http://127.0.0.1:" + std::to_string(m_nPort) + "/probe/" + strName;
  }
  // The server writes the record before it answers, so it is there once OpenURL has returned.
  bool ReadRequest(const std::string& strName, Request* pRequest) const {
    std::ifstream record(m_strDir + "/" + strName + ".txt", std::ios::binary);
    if (!record) return false;
    std::string strLine;
    std::getline(record, pRequest->strLine);
    if (!pRequest->strLine.empty() && pRequest->strLine.back() == '\r') pRequest->strLine.pop_back();
    while (std::getline(record, strLine)) {
      if (!strLine.empty() && strLine.back() == '\r') strLine.pop_back();
      std::string::size_type colon = strLine.find(": ");
      if (colon == std::string::npos) continue;
      std::string strHeader = strLine.substr(0, colon);
      for (char& ch : strHeader) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      pRequest->headers[strHeader] = strLine.substr(colon + 2);
    }
    return true;
  }

  std::string m_strDir;
  int m_nPort = 0;
};

TEST_F(InternetSessionTest, VisitSendsOneGetWithTheAgent) {
  std::string strName = UniqueName();
  CInternetSession session("Quorvex");
  CInternetFile* pFile = session.OpenURL(UrlFor(strName).c_str(), 1, kVisitFlags);
  ASSERT_NE(pFile, nullptr);
  delete pFile;
  session.Close();

  Request request;
  ASSERT_TRUE(ReadRequest(strName, &request)) << "the server saw no request";
  EXPECT_EQ(request.strLine, "GET /probe/" + strName + " HTTP/1.1");
  EXPECT_EQ(request.headers["user-agent"], "Quorvex");
}

TEST_F(InternetSessionTest, WithoutAnAgentTheProgramNameIsSent) {
  std::string strName = UniqueName();
  CInternetSession session;
  delete session.OpenURL(UrlFor(strName).c_str());

  Request request;
  ASSERT_TRUE(ReadRequest(strName, &request));
  EXPECT_EQ(request.headers["user-agent"], "platform_internet_test");
}

TEST_F(InternetSessionTest, FlagsAndHeadersReachTheRequest) {
  std::string strName = UniqueName();
  CInternetSession session("Quorvex");
  // Headers given without a length are taken up to their terminator.
  delete session.OpenURL(UrlFor(strName).c_str(), 1, INTERNET_FLAG_RELOAD | INTERNET_FLAG_PRAGMA_NOCACHE,
                         "X-Quorvex-Probe: 7\r\n");

  Request request;
  ASSERT_TRUE(ReadRequest(strName, &request));
  EXPECT_EQ(request.headers["pragma"], "no-cache");
  EXPECT_EQ(request.headers["x-quorvex-probe"], "7");
}

// Opens the URL expecting an exception; its error and context, or nothing when none came.
bool OpenFails(CInternetSession& session, const char* pszUrl, DWORD_PTR dwContext, DWORD* pdwError,
               DWORD_PTR* pdwContext) {
  try {
    delete session.OpenURL(pszUrl, dwContext, kVisitFlags);
  } catch (CInternetException* pException) {
    *pdwError = pException->m_dwError;
    *pdwContext = pException->m_dwContext;
    pException->Delete();
    return true;
  }
  return false;
}

// Needs no server: nothing listens on port 1.
TEST(InternetSessionFailure, RefusedConnectionThrowsWithTheErrorAndContext) {
  CInternetSession session("Quorvex");
  DWORD dwError = 0;
  DWORD_PTR dwContext = 0;
  ASSERT_TRUE(OpenFails(session, "http://127.0.0.1:1/", 42, &dwError, &dwContext));
  EXPECT_EQ(dwError, static_cast<DWORD>(ERROR_INTERNET_CANNOT_CONNECT));
  EXPECT_EQ(dwContext, static_cast<DWORD_PTR>(42));

  // A closed session opens nothing and says so the same way.
  session.Close();
  EXPECT_TRUE(OpenFails(session, "http://127.0.0.1:1/", 1, &dwError, &dwContext));
}

}  // namespace
