// The application object: runs the main dialog as the program's only window.
#pragma once

#include "platform/WinApp.h"

class CChecksumApp : public CWinApp {
 public:
  CChecksumApp();

  BOOL InitInstance() override;
  int ExitInstance() override;

 protected:
  DECLARE_MESSAGE_MAP()
};
