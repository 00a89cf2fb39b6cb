#include "app/ChecksumApp.h"

#include <commctrl.h>
#include <objbase.h>

#include "ui/ChecksumDlg.h"

BEGIN_MESSAGE_MAP(CChecksumApp, CWinApp)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CChecksumApp::CChecksumApp() : CWinApp(nullptr) {}

// The one application object.
CChecksumApp theApp;

BOOL CChecksumApp::InitInstance() {
  ::CoInitialize(nullptr);
  ::InitCommonControls();
  Enable3dControlsStatic();

  CChecksumDlg dlg;
  m_pMainWnd = &dlg;
  dlg.DoModal();
  m_pMainWnd = nullptr;
  // The dialog has closed: skip the application's message loop and end.
  return FALSE;
}

int CChecksumApp::ExitInstance() {
  ::CoUninitialize();
  return CWinApp::ExitInstance();
}
