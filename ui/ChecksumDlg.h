// The main dialog: File and Text mode, each with its own input and last digest, and the generation run.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "controls/FileDropEdit.h"
#include "controls/LinkLabel.h"
#include "digest/ProgressReceiver.h"
#include "platform/Dialog.h"
#include "platform/String.h"

class CChecksumDlg : public CDialog, public CProgressReceiver {
 public:
  explicit CChecksumDlg(CWnd* pParent = nullptr);

  // Called by the engine on the worker thread after every piece of a file, and once by the run at its end.
  void UpdateProgress(std::int64_t total, std::int64_t done) override;

  CLinkLabel m_link;
  CString m_strFilePath;
  CString m_strText;
  CString m_strResult;
  CString m_strFileDigest;
  CString m_strTextDigest;
  int m_nMode;
  bool m_bBrowseHot;
  std::atomic<int> m_nPercent;
  CFileDropEdit m_edit;
  // Nonzero while a file digest runs. The worker clears it last, with release ordering, so the UI thread
  // that sees it cleared (acquire) also sees the worker's digest.
  std::atomic<std::uintptr_t> m_hWorker;
  HICON m_hIcon;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnInitDialog() override;
  void OnOK() override;

  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();
  void OnBrowse();
  void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
  void OnEditChange();
  void OnModeChanged();

  DECLARE_MESSAGE_MAP()

 private:
  static void HashWorker(void* pParam);
  void DrawProgress(HDC hDC, const RECT& rcItem);
  void DrawBrowse(HDC hDC, const RECT& rcItem);

  // What one file run hands between the threads: the path is written before the worker starts and the
  // digest before it clears m_hWorker; neither is touched by the other thread meanwhile.
  CString m_strWorkerPath;
  CString m_strWorkerDigest;
};
