// A stand-in browser for the link label's tests. Registered as the open command of web pages, it appends its
// command line to RecordUrl.log beside itself and ends. Run with --install it registers itself (keeping the
// values it replaces); with --uninstall it puts them back.
#include <windows.h>

#include <string>
#include <vector>

namespace {

// The backup of the replaced values, one per key path; REG_NONE marks a value that did not exist.
constexpr char kBackupKey[] = "Software\\Maelbrook\\QuorvexTests\\ReplacedClasses";

struct Registration {
  const char* pszKey;  // under HKEY_CLASSES_ROOT; its default value is set
  std::string strValue;
};

std::string ModulePath() {
  char szPath[MAX_PATH] = "";
  ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
  return szPath;
}

std::string LogPath() {
  std::string strLog = ModulePath();
  strLog.erase(strLog.find_last_of('\\') + 1);
  return strLog + "RecordUrl.log";
}

// The shell opens web addresses with the first, the fallback launch finds the second through the third.
std::vector<Registration> Registrations() {
  const std::string strSelf = "\"" + ModulePath() + "\"";
  return {
      {"http\\shell\\open\\command", strSelf + " --via=http \"%1\""},
      {"htmlfile\\shell\\open\\command", strSelf + " --via=htm \"%1\""},
      {".htm", "htmlfile"},
  };
}

bool ReadDefault(const char* pszKey, std::string& strValue) {
  HKEY hKey;
  if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, pszKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS) return false;
  char szValue[2048];
  DWORD dwSize = sizeof szValue;
  DWORD dwType = 0;
  LONG nResult =
      ::RegQueryValueExA(hKey, nullptr, nullptr, &dwType, reinterpret_cast<BYTE*>(szValue), &dwSize);
  ::RegCloseKey(hKey);
  if (nResult != ERROR_SUCCESS || dwType != REG_SZ) return false;
  strValue.assign(szValue, dwSize > 0 ? dwSize - 1 : 0);
  return true;
}

bool WriteDefault(const char* pszKey, const std::string& strValue) {
  HKEY hKey;
  if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, pszKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hKey, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  LONG nResult = ::RegSetValueExA(hKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(strValue.c_str()),
                                  static_cast<DWORD>(strValue.size() + 1));
  ::RegCloseKey(hKey);
  return nResult == ERROR_SUCCESS;
}

int Install() {
  ::DeleteFileA(LogPath().c_str());  // a fresh record for this run
  HKEY hBackup;
  DWORD dwDisposition = 0;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, kBackupKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hBackup,
                        &dwDisposition) != ERROR_SUCCESS) {
    return 1;
  }
  // Installed twice (an earlier run that did not clean up): the first backup holds the originals.
  bool bKeepBackup = dwDisposition == REG_OPENED_EXISTING_KEY;
  int nFailures = 0;
  for (const Registration& reg : Registrations()) {
    if (!bKeepBackup) {
      std::string strOld;
      if (ReadDefault(reg.pszKey, strOld)) {
        ::RegSetValueExA(hBackup, reg.pszKey, 0, REG_SZ, reinterpret_cast<const BYTE*>(strOld.c_str()),
                         static_cast<DWORD>(strOld.size() + 1));
      } else {
        ::RegSetValueExA(hBackup, reg.pszKey, 0, REG_NONE, nullptr, 0);
      }
    }
    if (!WriteDefault(reg.pszKey, reg.strValue)) ++nFailures;
  }
  ::RegCloseKey(hBackup);
  return nFailures == 0 ? 0 : 1;
}

int Uninstall() {
  HKEY hBackup;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, kBackupKey, 0, KEY_QUERY_VALUE, &hBackup) != ERROR_SUCCESS) return 0;
  for (const Registration& reg : Registrations()) {
    char szOld[2048];
    DWORD dwSize = sizeof szOld;
    DWORD dwType = REG_NONE;
    if (::RegQueryValueExA(hBackup, reg.pszKey, nullptr, &dwType, reinterpret_cast<BYTE*>(szOld), &dwSize) !=
        ERROR_SUCCESS) {
      continue;
    }
    if (dwType == REG_SZ) {
      WriteDefault(reg.pszKey, std::string(szOld, dwSize > 0 ? dwSize - 1 : 0));
    } else {
      HKEY hKey;
      if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, reg.pszKey, 0, KEY_SET_VALUE, &hKey) == ERROR_SUCCESS) {
        ::RegDeleteValueA(hKey, nullptr);
        ::RegCloseKey(hKey);
      }
    }
  }
  ::RegCloseKey(hBackup);
  // The backup and its parents, which only it used (deleting a key that still has subkeys fails).
  ::RegDeleteKeyA(HKEY_CURRENT_USER, kBackupKey);
  ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Maelbrook\\QuorvexTests");
  ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Maelbrook");
  return 0;
}

int Record() {
  const std::string strLog = LogPath();
  std::string strLine = std::string(::GetCommandLineA()) + "\r\n";
  // Several tests may launch at once: wait for the file rather than lose a line.
  for (int nTry = 0; nTry < 200; ++nTry) {
    HANDLE hFile = ::CreateFileA(strLog.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile != INVALID_HANDLE_VALUE) {
      DWORD dwWritten = 0;
      ::WriteFile(hFile, strLine.data(), static_cast<DWORD>(strLine.size()), &dwWritten, nullptr);
      ::CloseHandle(hFile);
      return 0;
    }
    ::Sleep(25);
  }
  return 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR lpCmdLine, int) {
  std::string strArgs = lpCmdLine ? lpCmdLine : "";
  if (strArgs == "--install") return Install();
  if (strArgs == "--uninstall") return Uninstall();
  return Record();
}
