// The About box: the template alone, closed with OK or Esc.
#pragma once

#include "platform/Dialog.h"

class CAboutDlg : public CDialog {
 public:
  CAboutDlg();

 protected:
  void DoDataExchange(CDataExchange* pDX) override;

  DECLARE_MESSAGE_MAP()
};
