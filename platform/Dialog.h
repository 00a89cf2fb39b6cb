// CDialog: a dialog from a template in the program's resources, run modally by our own loop so that every
// message passes the windows' PreTranslateMessage first.
#pragma once

#include <windows.h>

#include "platform/Wnd.h"

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

  virtual INT_PTR DoModal();
  void EndDialog(int nResult);

  virtual BOOL OnInitDialog();
  BOOL PreTranslateMessage(MSG* pMsg) override;
  bool OnCmdMsg(UINT nID, UINT nCode, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  virtual void OnOK();
  virtual void OnCancel();

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;

  DECLARE_MESSAGE_MAP()

 private:
  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam);
  HWND FindOwner() const;

  bool m_bModalEnded = false;
  int m_nModalResult = -1;
  bool m_bCenterOverOwner = false;  // the template asks the library, not the system, to place the dialog
};
