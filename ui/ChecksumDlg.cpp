#include "ui/ChecksumDlg.h"

#include <mbstring.h>
#include <process.h>

#include <cmath>
#include <vector>

#include "app/resource.h"
#include "digest/Md5Digest.h"
#include "platform/DataExchange.h"
#include "platform/DeviceContext.h"
#include "platform/FileDialog.h"
#include "platform/GdiObject.h"
#include "platform/MessageBox.h"
#include "platform/MessageMap.h"
#include "platform/RuntimeIo.h"
#include "platform/WinApp.h"
#include "ui/AboutDlg.h"

namespace {

// True only while OnModeChanged rewrites the input field, whose change notification is then not typing.
bool s_bSwitchingMode = false;

constexpr COLORREF kGlyphKey = RGB(192, 192, 192);

}  // namespace

BEGIN_MESSAGE_MAP(CChecksumDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_BROWSE, &CChecksumDlg::OnBrowse)
ON_WM_DRAWITEM()
ON_EN_CHANGE(IDC_INPUT, &CChecksumDlg::OnEditChange)
ON_BN_CLICKED(IDC_MODE_FILE, &CChecksumDlg::OnModeChanged)
ON_BN_CLICKED(IDC_MODE_TEXT, &CChecksumDlg::OnModeChanged)
END_MESSAGE_MAP()

CChecksumDlg::CChecksumDlg(CWnd* pParent)
    : CDialog(IDD_MAIN, pParent), m_nMode(0), m_bBrowseHot(false), m_nPercent(0), m_hWorker(0) {
  m_hIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

void CChecksumDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_MODE_FILE, m_nMode);
  DDX_Control(pDX, IDC_HOMELINK, m_link);
  DDX_Text(pDX, IDC_RESULT, m_strResult);
}

BOOL CChecksumDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  CMenu* pSysMenu = GetSystemMenu(FALSE);
  if (pSysMenu) {
    CString strAboutMenu;
    strAboutMenu.LoadString(IDS_ABOUTBOX);
    if (!strAboutMenu.IsEmpty()) {
      pSysMenu->AppendMenu(MF_SEPARATOR);
      pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
    }
  }

  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);

  m_edit.SubclassDlgItem(IDC_INPUT, this);
  m_edit.m_bAcceptFolders = false;
  m_link.SetTargetUrl(QUORVEX_HOME_URL);
  m_link.m_strAgent = "Quorvex";

  GetDlgItem(IDC_INPUT)->SetFocus();
  return FALSE;
}

void CChecksumDlg::OnSysCommand(UINT nID, LPARAM lParam) {
  if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
    CAboutDlg dlgAbout;
    dlgAbout.DoModal();
  } else {
    CDialog::OnSysCommand(nID, lParam);
  }
}

void CChecksumDlg::OnPaint() {
  if (!IsIconic()) {
    CDialog::OnPaint();
    return;
  }
  CPaintDC dc(this);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  int cxIcon = ::GetSystemMetrics(SM_CXICON);
  int cyIcon = ::GetSystemMetrics(SM_CYICON);
  CRect rect;
  GetClientRect(&rect);
  int x = (rect.Width() - cxIcon + 1) / 2;
  int y = (rect.Height() - cyIcon + 1) / 2;
  dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CChecksumDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void CChecksumDlg::OnBrowse() {
  CString strOldPath = m_strFilePath;
  CFileDialog dlgFile(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, "All Files(*.*)|*.*||", this);
  dlgFile.m_ofn.lpstrTitle = "Select File for MD5 Check";
  if (dlgFile.DoModal() != IDOK) return;

  m_strFilePath = dlgFile.GetPathName();
  if (_mbsicmp(reinterpret_cast<const unsigned char*>(m_strFilePath.GetString()),
               reinterpret_cast<const unsigned char*>(strOldPath.GetString())) != 0) {
    m_strResult.Empty();
    // The previous file's digest does not belong to the new path either.
    m_strFileDigest.Empty();
    UpdateData(FALSE);
  }
  GetDlgItem(IDC_INPUT)->SetWindowText(m_strFilePath);
}

void CChecksumDlg::OnEditChange() {
  if (s_bSwitchingMode) return;
  CWnd* pInput = GetDlgItem(IDC_INPUT);
  pInput->GetWindowText(m_nMode == 0 ? m_strFilePath : m_strText);
  if (!m_strResult.IsEmpty()) {
    m_strResult.Empty();
    (m_nMode == 0 ? m_strFileDigest : m_strTextDigest).Empty();
    GetDlgItem(IDC_RESULT)->SetWindowText("");
  }
}

void CChecksumDlg::OnModeChanged() {
  s_bSwitchingMode = true;
  UpdateData(TRUE);
  GetDlgItem(IDC_BROWSE)->ShowWindow(m_nMode == 0 ? SW_SHOW : SW_HIDE);
  CString strDigest = m_nMode == 0 ? m_strFileDigest : m_strTextDigest;
  CWnd* pInput = GetDlgItem(IDC_INPUT);
  pInput->SetWindowText(m_nMode == 0 ? m_strFilePath : m_strText);
  m_strResult = strDigest;
  GetDlgItem(IDC_RESULT)->SetWindowText(m_strResult);
  pInput->SetFocus();
  pInput->SendMessage(EM_SETSEL, 0, -1);
  pInput->SendMessage(EM_SCROLLCARET);
  pInput->DragAcceptFiles(m_nMode == 0);
  s_bSwitchingMode = false;
}

// ---- The generation run ---------------------------------------------------------------------------------

void CChecksumDlg::OnOK() {
  // The run's own message pump can deliver another Generate command (a posted one, say) while the worker
  // is busy; one run at a time.
  if (m_hWorker.load(std::memory_order_acquire) != 0) return;

  UpdateData(TRUE);
  m_strResult.Empty();
  UpdateData(FALSE);

  CWnd* pInput = GetDlgItem(IDC_INPUT);
  if (m_nMode == 1) {
    pInput->GetWindowText(m_strText);
    if (m_strText.IsEmpty()) {
      AfxMessageBox("Please enter the text for generating the MD5 checksum.", MB_OK);
      return;
    }
    m_strResult = "Checking MD5... Please wait...";
    UpdateData(FALSE);

    std::vector<unsigned char> buffer(m_strText.GetString(), m_strText.GetString() + m_strText.GetLength());
    CMd5Digest digest;
    m_strTextDigest = digest.DigestText(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
    m_strResult = m_strTextDigest;
    buffer.clear();
    UpdateData(FALSE);
    return;
  }

  pInput->GetWindowText(m_strFilePath);
  bool bReadable = false;
  int nFile = _open(m_strFilePath, _O_RDONLY | _O_BINARY);
  if (nFile != -1) {
    std::int64_t nSize = _lseeki64(nFile, 0, SEEK_END);
    _close(nFile);
    bReadable = nSize > 0;
  }
  if (!bReadable) {
    m_strResult.Empty();
    UpdateData(FALSE);
    AfxMessageBox("ERROR: File could not be read!", MB_OK);
    return;
  }

  CWnd* pGenerate = GetDlgItem(IDOK);
  pGenerate->EnableWindow(FALSE);

  // The worker digests its own copy of the path and hands back nothing but the digest.
  m_strWorkerPath = m_strFilePath;
  m_strWorkerDigest.Empty();
  // The busy mark goes up before the worker can exist to clear it.
  m_hWorker.store(1, std::memory_order_relaxed);
  std::uintptr_t hThread = _beginthread(&CChecksumDlg::HashWorker, 0, this);
  bool bStarted = hThread != static_cast<std::uintptr_t>(-1);
  if (!bStarted) {
    m_hWorker.store(0, std::memory_order_relaxed);
  } else {
    // The worker may already be done; only a still running one keeps its handle as the mark.
    std::uintptr_t expected = 1;
    m_hWorker.compare_exchange_strong(expected, hThread, std::memory_order_relaxed);
  }
  while (m_hWorker.load(std::memory_order_acquire) != 0) {
    ::Sleep(10);
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }

  pGenerate->EnableWindow(TRUE);
  // The digest belongs to the File input only if that input is still the path that was hashed.
  if (bStarted) {
    if (m_strFilePath != m_strWorkerPath) {
      m_strFileDigest.Empty();
    } else if (m_strWorkerDigest.IsEmpty()) {
      if (m_nMode == 0) m_strResult.Empty();
      UpdateProgress(1, 0);
      UpdateData(FALSE);
      AfxMessageBox("ERROR: File could not be read!", MB_OK);
      return;
    } else {
      m_strFileDigest = m_strWorkerDigest;
      if (m_nMode == 0) m_strResult = m_strFileDigest;
    }
  }
  UpdateProgress(1, 0);
  UpdateData(FALSE);
}

void CChecksumDlg::HashWorker(void* pParam) {
  auto* pDialog = static_cast<CChecksumDlg*>(pParam);
  {
    CMd5Digest digest;
    digest.m_pReceiver = pDialog;
    pDialog->m_strWorkerDigest = digest.DigestFile(pDialog->m_strWorkerPath);
  }
  // The last access to the dialog: it publishes the digest.
  pDialog->m_hWorker.store(0, std::memory_order_release);
  _endthread();
}

void CChecksumDlg::UpdateProgress(std::int64_t total, std::int64_t done) {
  double dTotal = static_cast<double>(total);
  double dDone = static_cast<double>(done);
  int nPercent = static_cast<int>(std::floor(dDone / dTotal * 100 + 0.5));
  if (nPercent == m_nPercent.load(std::memory_order_relaxed)) return;
  m_nPercent.store(nPercent, std::memory_order_relaxed);
  // Called on the worker thread too: plain window handles, not the UI thread's handle map.
  HWND hProgress = ::GetDlgItem(m_hWnd, IDC_PROGRESS);
  ::InvalidateRect(hProgress, nullptr, TRUE);
  ::UpdateWindow(hProgress);
}

// ---- Owner drawing and hover tracking -------------------------------------------------------------------

void CChecksumDlg::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct) {
  if (nIDCtl == IDC_PROGRESS) {
    DrawProgress(lpDrawItemStruct->hDC, lpDrawItemStruct->rcItem);
  } else if (nIDCtl == IDC_BROWSE) {
    DrawBrowse(lpDrawItemStruct->hDC, lpDrawItemStruct->rcItem);
  }
  CDialog::OnDrawItem(nIDCtl, lpDrawItemStruct);
}

void CChecksumDlg::DrawProgress(HDC hDC, const RECT& rcItem) {
  int w = rcItem.right - rcItem.left;
  int h = rcItem.bottom - rcItem.top;
  int nWidth = static_cast<int>(std::floor(static_cast<double>((w - 2) * m_nPercent.load()) * 0.01 + 0.5));
  if (nWidth <= 0) return;

  CDC dcItem;
  dcItem.Attach(hDC);
  CDC dcFrame;
  CBitmap bmpFrame;
  CDC dcTexture;
  CBitmap bmpTexture;
  BITMAP bmTexture{};
  bool bReady = dcFrame.CreateCompatibleDC(&dcItem) && bmpFrame.CreateCompatibleBitmap(&dcItem, w, h) &&
                dcTexture.CreateCompatibleDC(&dcItem) && bmpTexture.LoadBitmap(IDB_PROGRESS) &&
                bmpTexture.GetBitmap(&bmTexture) != 0;
  if (bReady) {
    CBitmap* pOldFrame = dcFrame.SelectObject(&bmpFrame);
    {
      CBrush brush(RGB(255, 255, 255));
      CPen pen(PS_SOLID, 1, ::GetSysColor(COLOR_WINDOWFRAME));
      CBrush* pOldBrush = dcFrame.SelectObject(&brush);
      CPen* pOldPen = dcFrame.SelectObject(&pen);
      dcFrame.Rectangle(rcItem.left, rcItem.top, rcItem.right, rcItem.bottom);
      dcFrame.SelectObject(pOldBrush);
      dcFrame.SelectObject(pOldPen);
    }
    CBitmap* pOldTexture = dcTexture.SelectObject(&bmpTexture);
    // The texture's columns are copied unscaled, so the bar can be no wider than the texture.
    if (nWidth > bmTexture.bmWidth) nWidth = bmTexture.bmWidth;
    dcFrame.StretchBlt(1, 2, nWidth, h - 4, &dcTexture, 0, 0, nWidth, bmTexture.bmHeight, SRCCOPY);
    dcItem.BitBlt(0, 0, w, h, &dcFrame, 0, 0, SRCCOPY);
    dcFrame.SelectObject(pOldFrame);
    dcTexture.SelectObject(pOldTexture);
  }
  dcItem.Detach();
}

void CChecksumDlg::DrawBrowse(HDC hDC, const RECT& rcItem) {
  int w = rcItem.right - rcItem.left;
  int h = rcItem.bottom - rcItem.top;
  CDC dcItem;
  dcItem.Attach(hDC);
  CBitmap bmpGlyph;
  CDC dcGlyph;
  BITMAP bmGlyph{};
  if (bmpGlyph.LoadBitmap(IDB_BROWSE + (m_bBrowseHot ? 1 : 0)) && dcGlyph.CreateCompatibleDC(&dcItem) &&
      bmpGlyph.GetBitmap(&bmGlyph) != 0) {
    CBitmap* pOldGlyph = dcGlyph.SelectObject(&bmpGlyph);
    int gw = bmGlyph.bmWidth;
    int gh = bmGlyph.bmHeight;
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    for (int x = 0; x < gw; ++x) {
      for (int y = 0; y < gh; ++y) {
        if (dcGlyph.GetPixel(x, y) == kGlyphKey) dcGlyph.SetPixel(x, y, face);
      }
    }
    dcItem.FillSolidRect(0, 0, w, h, face);
    dcItem.BitBlt((w - gw) / 2, (h - gh) / 2, gw, gh, &dcGlyph, 0, 0, SRCCOPY);
    dcGlyph.SelectObject(pOldGlyph);
  }
  dcItem.Detach();
}

BOOL CChecksumDlg::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_MOUSEMOVE) {
    POINT ptCursor;
    ::GetCursorPos(&ptCursor);
    CWnd* pBrowse = GetDlgItem(IDC_BROWSE);
    CRect rcBrowse;
    pBrowse->GetWindowRect(&rcBrowse);
    bool bHot = ::PtInRect(&rcBrowse, ptCursor) != FALSE;
    if (bHot != m_bBrowseHot) {
      m_bBrowseHot = bHot;
      pBrowse->InvalidateRect(nullptr, TRUE);
      pBrowse->UpdateWindow();
    }
  }
  return CDialog::PreTranslateMessage(pMsg);
}
