// The link label's click, against a web server on 127.0.0.1 and the recording stand-in browser, which the
// test fixtures start and register in this prefix.
// winsock2.h before windows.h, which would otherwise bring the old sockets header
#include <winsock2.h>
// after winsock2.h
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "LinkLabelTestSupport.h"

namespace {

std::string ReadWholeFile(const std::string& strPath) {
  std::ifstream file(strPath, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::vector<std::string> Lines(const std::string& strText) {
  std::vector<std::string> lines;
  std::istringstream stream(strText);
  std::string strLine;
  while (std::getline(stream, strLine)) {
    if (!strLine.empty() && strLine.back() == '\r') strLine.pop_back();
    lines.push_back(strLine);
  }
  return lines;
}

// A word no other test uses, for telling its own requests and launches apart.
std::string UniqueToken(const char* pszWhat) {
  static int s_nNext = 0;
  return std::string(pszWhat) + "-" + std::to_string(::GetCurrentProcessId()) + "-" +
         std::to_string(::GetTickCount()) + "-" + std::to_string(s_nNext++);
}

// The requests the local web server has logged: "method path agent" each.
std::vector<std::string> RequestsFor(const std::string& strPath) {
  std::vector<std::string> found;
  for (const std::string& strLine : Lines(ReadWholeFile(WinePath(QUORVEX_HTTP_DIR "/requests.log")))) {
    std::istringstream words(strLine);
    std::string strMethod;
    std::string strRequestPath;
    words >> strMethod >> strRequestPath;
    if (strRequestPath == strPath) found.push_back(strLine);
  }
  return found;
}

std::string ServerUrl(const std::string& strPath) {
  std::string strPort = ReadWholeFile(WinePath(QUORVEX_HTTP_DIR "/port"));
  return "http://127.0.0.1:" + strPort + strPath;
}

// The stand-in browser's command lines that mention the token.
std::vector<std::string> LaunchesWith(const std::string& strToken) {
  std::vector<std::string> found;
  for (const std::string& strLine : Lines(ReadWholeFile(WinePath(QUORVEX_RECORD_URL_LOG)))) {
    if (strLine.find(strToken) != std::string::npos) found.push_back(strLine);
  }
  return found;
}

// The shell starts the browser and returns: its command line shows up a little later.
std::vector<std::string> WaitForLaunch(const std::string& strToken) {
  std::vector<std::string> found;
  for (DWORD dwStart = ::GetTickCount(); ::GetTickCount() - dwStart < 10000; ::Sleep(50)) {
    found = LaunchesWith(strToken);
    if (!found.empty()) break;
  }
  ::Sleep(200);  // a second launch, if there were one, would show up as well
  return LaunchesWith(strToken);
}

// A local port that refuses connections: bound, never listening, held for the test's life.
class CRefusingPort {
 public:
  CRefusingPort() {
    WSADATA wsa;
    ::WSAStartup(MAKEWORD(2, 2), &wsa);
    m_socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int nLength = sizeof address;
    ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &nLength);
    m_nPort = ::ntohs(address.sin_port);
  }
  ~CRefusingPort() {
    ::closesocket(m_socket);
    ::WSACleanup();
  }
  int Port() const { return m_nPort; }

 private:
  SOCKET m_socket = INVALID_SOCKET;
  int m_nPort = 0;
};

// Sets a default value of HKEY_CLASSES_ROOT for the test's duration; a key made for it goes again.
class CClassesValue {
 public:
  CClassesValue(const char* pszKey, const std::string& strValue) : m_strKey(pszKey) {
    char szOld[1024];
    LONG nSize = sizeof szOld;
    m_bHadValue = ::RegQueryValueA(HKEY_CLASSES_ROOT, pszKey, szOld, &nSize) == ERROR_SUCCESS;
    if (m_bHadValue) m_strOld = szOld;
    Set(strValue);
  }
  ~CClassesValue() {
    if (m_bHadValue) {
      Set(m_strOld);
    } else {
      ::RegDeleteKeyA(HKEY_CLASSES_ROOT, m_strKey.c_str());
    }
  }
  void Set(const std::string& strValue) {
    ::RegSetValueA(HKEY_CLASSES_ROOT, m_strKey.c_str(), REG_SZ, strValue.c_str(),
                   static_cast<DWORD>(strValue.size()));
  }

 private:
  std::string m_strKey;
  std::string m_strOld;
  bool m_bHadValue = false;
};

class LinkLabelClickTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_host.Create(RECT{560, 420, 960, 620}));
    m_hWnd = m_host.AddChild("STATIC", "Maelbrook Home", SS_LEFT, 0, 1004, RECT{20, 150, 220, 170},
                             static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
    ASSERT_TRUE(m_label.SubclassWindow(m_hWnd));
    m_label.m_strAgent = "Quorvex";
  }

  // A click as the mouse makes it: the static reports it to the host, which reflects it back.
  void Click() {
    ::ValidateRect(m_hWnd, nullptr);
    ::SendMessageA(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::SendMessageA(m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  }

  CTestHost m_host;
  TestLinkLabel m_label;
  HWND m_hWnd = nullptr;
};

TEST_F(LinkLabelClickTest, ClickSendsOneVisitThenOpensTheBrowser) {
  const std::string strPath = "/visit/" + UniqueToken("click");
  const std::string strUrl = ServerUrl(strPath);
  m_label.SetTargetUrl(strUrl.c_str());
  ::SendMessageA(m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  ASSERT_TRUE(m_label.m_bHot);

  Click();

  std::vector<std::string> requests = RequestsFor(strPath);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0], "GET " + strPath + " Quorvex");
  std::vector<std::string> launches = WaitForLaunch(strPath);
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_NE(launches[0].find("--via=http"), std::string::npos) << launches[0];
  EXPECT_NE(launches[0].find(strUrl), std::string::npos) << launches[0];

  EXPECT_TRUE(m_label.m_bFollowed);
  EXPECT_FALSE(m_label.m_bHot);
  EXPECT_TRUE(::GetUpdateRect(m_hWnd, nullptr, FALSE)) << "not repainted in the followed colour";
  // The hover poll is left to end by itself.
  EXPECT_TRUE(::KillTimer(m_hWnd, 100));
}

TEST_F(LinkLabelClickTest, WithoutAgentNoVisitIsMadeButTheBrowserOpens) {
  const std::string strPath = "/no-agent/" + UniqueToken("click");
  m_label.SetTargetUrl(ServerUrl(strPath).c_str());
  m_label.m_strAgent = "";

  Click();

  EXPECT_TRUE(RequestsFor(strPath).empty());
  EXPECT_EQ(WaitForLaunch(strPath).size(), 1u);
  EXPECT_TRUE(m_label.m_bFollowed);
}

TEST_F(LinkLabelClickTest, RefusedVisitStillOpensTheBrowser) {
  CRefusingPort refusing;
  const std::string strPath = "/refused/" + UniqueToken("click");
  const std::string strUrl = "http://127.0.0.1:" + std::to_string(refusing.Port()) + strPath;
  EXPECT_FALSE(m_label.SendVisitRequest(strUrl.c_str(), "Quorvex"));
  EXPECT_TRUE(m_label.SendVisitRequest(ServerUrl("/answered").c_str(), "Quorvex"));

  m_label.SetTargetUrl(strUrl.c_str());
  Click();

  EXPECT_EQ(WaitForLaunch(strPath).size(), 1u);
  EXPECT_TRUE(m_label.m_bFollowed);
}

// A failed click clears the flag that an earlier one set, and repaints nothing.
TEST_F(LinkLabelClickTest, FollowedFlagFollowsTheLastClick) {
  m_label.m_strAgent = "";
  const std::string strToken = UniqueToken("followed");
  m_label.SetTargetUrl(ServerUrl("/" + strToken).c_str());
  Click();
  ASSERT_TRUE(m_label.m_bFollowed);
  ASSERT_EQ(WaitForLaunch(strToken).size(), 1u);

  // No handler for the scheme, and too long for the fallback's command line.
  m_label.SetTargetUrl(("qvxnone:" + strToken + std::string(600, 'z')).c_str());
  Click();
  EXPECT_FALSE(m_label.m_bFollowed);
  EXPECT_FALSE(::GetUpdateRect(m_hWnd, nullptr, FALSE));
}

// The shell knows no handler for the scheme, so the open command of the ".htm" class runs, with the URL in
// the place of its placeholder.
TEST_F(LinkLabelClickTest, FallbackRunsTheOpenCommandOfWebPages) {
  const std::string strRecorder = "\"" + WinePath(QUORVEX_RECORD_URL_EXE) + "\"";
  CClassesValue command("htmlfile\\shell\\open\\command", "");
  struct Case {
    const char* pszWhat;
    std::string strCommand;
    std::string strExpectedStart;  // the command line up to the URL
  };
  const Case cases[] = {
      {"quoted placeholder", strRecorder + " --via=htm \"%1\"", strRecorder + " --via=htm  "},
      {"arguments after the placeholder are dropped", strRecorder + " --via=htm \"%1\" --after",
       strRecorder + " --via=htm  "},
      {"bare placeholder", strRecorder + " --via=htm %1 --after", strRecorder + " --via=htm  "},
      {"no placeholder", strRecorder + " --via=htm", strRecorder + " --via=htm "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pszWhat);
    command.Set(c.strCommand);
    const std::string strUrl = "qvxnone:" + UniqueToken("fallback");
    UINT nResult = m_label.LaunchUrl(strUrl.c_str(), SW_SHOW);
    EXPECT_GT(nResult, 32u);
    std::vector<std::string> launches = WaitForLaunch(strUrl);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0], c.strExpectedStart + strUrl);
  }

  // The command line is built in 520 bytes with its terminator: exactly full still runs, one more fails
  // with the shell's own failure code and runs nothing.
  command.Set(strRecorder + " \"%1\"");
  const std::string strPrefix = "qvxnone:" + UniqueToken("bound") + "-";
  const size_t nRoom = 520 - 1 - (strRecorder.size() + 1) - 1;
  const std::string strFits = strPrefix + std::string(nRoom - strPrefix.size(), 'f');
  EXPECT_GT(m_label.LaunchUrl(strFits.c_str(), SW_SHOW), 32u);
  EXPECT_EQ(WaitForLaunch(strFits).size(), 1u);
  const std::string strTooLong = strPrefix + std::string(nRoom + 1 - strPrefix.size(), 'g');
  UINT nShellResult = static_cast<UINT>(reinterpret_cast<UINT_PTR>(
      ::ShellExecuteA(nullptr, "open", strTooLong.c_str(), nullptr, nullptr, SW_SHOW)));
  ASSERT_LE(nShellResult, 32u);
  EXPECT_EQ(m_label.LaunchUrl(strTooLong.c_str(), SW_SHOW), nShellResult);
  EXPECT_TRUE(LaunchesWith(strPrefix + "g").empty());

  // A program that is not there fails as WinExec reports it.
  command.Set("\"C:\\no such folder\\browser.exe\" \"%1\"");
  EXPECT_LE(m_label.LaunchUrl("qvxnone:missing-program", SW_SHOW), 32u);

  // Without a command for the class the shell's failure stands.
  command.Set(strRecorder + " \"%1\"");
  {
    CClassesValue htmClass(".htm", "QuorvexNoSuchClass");
    const std::string strUrl = "qvxnone:" + UniqueToken("noclass");
    UINT nShell = static_cast<UINT>(reinterpret_cast<UINT_PTR>(
        ::ShellExecuteA(nullptr, "open", strUrl.c_str(), nullptr, nullptr, SW_SHOW)));
    EXPECT_EQ(m_label.LaunchUrl(strUrl.c_str(), SW_SHOW), nShell);
    ::Sleep(300);
    EXPECT_TRUE(LaunchesWith(strUrl).empty());
  }
}

TEST_F(LinkLabelClickTest, ReadRegDefault) {
  char szValue[260] = "before";
  EXPECT_EQ(CLinkLabel::ReadRegDefault(HKEY_CLASSES_ROOT, ".htm", szValue), ERROR_SUCCESS);
  EXPECT_STREQ(szValue, "htmlfile");

  // The destination may be the subkey path itself.
  char szPath[260] = ".htm";
  EXPECT_EQ(CLinkLabel::ReadRegDefault(HKEY_CLASSES_ROOT, szPath, szPath), ERROR_SUCCESS);
  EXPECT_STREQ(szPath, "htmlfile");

  // Failures leave the destination as it was.
  lstrcpyA(szValue, "before");
  EXPECT_NE(CLinkLabel::ReadRegDefault(HKEY_CLASSES_ROOT, "QuorvexNoSuchKey\\shell", szValue), ERROR_SUCCESS);
  EXPECT_STREQ(szValue, "before");
  CClassesValue longValue("QuorvexLongValue", std::string(300, 'v'));
  EXPECT_NE(CLinkLabel::ReadRegDefault(HKEY_CLASSES_ROOT, "QuorvexLongValue", szValue), ERROR_SUCCESS);
  EXPECT_STREQ(szValue, "before");
}

}  // namespace
