// CWinApp: the application object. The program defines exactly one, statically; the entry point runs it.
#pragma once

#include <windows.h>

#include "platform/CmdTarget.h"
#include "platform/String.h"

class CWnd;

// The standard Help command.
constexpr UINT ID_HELP = 0xE146;

class CWinApp : public CCmdTarget {
 public:
  explicit CWinApp(const char* pszAppName = nullptr);
  ~CWinApp() override;

  virtual BOOL InitInstance() { return TRUE; }
  virtual int ExitInstance() { return 0; }
  // The application's message loop, for programs whose InitInstance keeps them running.
  virtual int Run();

  CWnd* m_pMainWnd = nullptr;
  HINSTANCE m_hInstance = nullptr;
  // The title: the name given to the constructor, else the program file's name without extension.
  CString m_strAppName;

  void OnHelp() {}  // the program has no help file

  // Runs the application as the program's entry point does; the result is the process exit code.
  int RunEntryPoint(HINSTANCE hInstance);

 protected:
  DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();

// The class library's 3-D controls: the system draws them so on its own.
inline BOOL Enable3dControlsStatic() { return TRUE; }
