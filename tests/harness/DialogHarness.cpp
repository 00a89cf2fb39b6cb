#include "tests/harness/DialogHarness.h"

#include <objbase.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

constexpr UINT kRunOnUi = WM_APP + 0x3A1;

HWND g_hWndCall = nullptr;  // message-only window of the UI thread that runs the driver's calls
CDialog* g_pDialog = nullptr;
DWORD g_dwUiThread = 0;

LRESULT CALLBACK CallWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunOnUi) {
    (*reinterpret_cast<const std::function<void()>*>(lParam))();
    return 0;
  }
  return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

HWND CreateCallWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &CallWndProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "QuorvexHarnessCalls";
  ::RegisterClassA(&wc);
  return ::CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                           nullptr);
}

struct FindState {
  HWND hWndExclude;
  const char* pszTitle;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectDialogs(HWND hWnd, LPARAM lParam) {
  auto* pState = reinterpret_cast<FindState*>(lParam);
  char className[32] = {};
  ::GetClassNameA(hWnd, className, sizeof className);
  if (hWnd != pState->hWndExclude && std::string(className) == "#32770" && ::IsWindowVisible(hWnd)) {
    if (!pState->pszTitle || DialogHarness::WindowText(hWnd) == pState->pszTitle)
      pState->found.push_back(hWnd);
  }
  return TRUE;
}

}  // namespace

// The one application object of every test executable that links the harness.
CHarnessApp theHarnessApp;

INT_PTR DialogHarness::Run(CDialog& dlg, const std::function<void()>& body, DWORD dwTimeoutMs) {
  ::CoInitialize(nullptr);
  g_dwUiThread = ::GetCurrentThreadId();
  g_pDialog = &dlg;
  g_hWndCall = CreateCallWindow();
  theHarnessApp.m_pMainWnd = &dlg;

  std::atomic<bool> bDone{false};
  // A hang must fail the test, not stall the whole suite.
  std::thread watchdog([&bDone, dwTimeoutMs] {
    for (DWORD waited = 0; waited < dwTimeoutMs; waited += 50) {
      if (bDone) return;
      ::Sleep(50);
    }
    std::fprintf(stderr, "dialog harness: the test did not finish within %lu ms\n",
                 static_cast<unsigned long>(dwTimeoutMs));
    std::fflush(stderr);
    std::_Exit(3);
  });
  std::atomic<bool> bDriverDone{false};
  std::thread driver([&] {
    WaitFor([] { return Dialog() != nullptr && ::IsWindowVisible(Dialog()); });
    body();
    // Close whatever the body left open, then the dialog.
    for (int i = 0; i < 20; ++i) {
      HWND hWndOther = FindOtherDialog();
      if (!hWndOther) break;
      ::PostMessageA(hWndOther, WM_CLOSE, 0, 0);
      ::Sleep(50);
    }
    if (HWND hWnd = Dialog()) ::PostMessageA(hWnd, WM_COMMAND, IDCANCEL, 0);
    bDriverDone = true;
  });

  INT_PTR nResult = dlg.DoModal();
  // The driver may still be asking this thread for things after the dialog has gone: keep answering.
  while (!bDriverDone) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  driver.join();
  bDone = true;
  watchdog.join();

  theHarnessApp.m_pMainWnd = nullptr;
  ::DestroyWindow(g_hWndCall);
  g_hWndCall = nullptr;
  g_pDialog = nullptr;
  ::CoUninitialize();
  return nResult;
}

void DialogHarness::OnUi(const std::function<void()>& fn) {
  ::SendMessageA(g_hWndCall, kRunOnUi, 0, reinterpret_cast<LPARAM>(&fn));
}

HWND DialogHarness::Dialog() {
  HWND hWnd = nullptr;
  if (g_pDialog && g_hWndCall) OnUi([&] { hWnd = g_pDialog->m_hWnd; });
  return hWnd;
}

DWORD DialogHarness::UiThreadId() { return g_dwUiThread; }

bool DialogHarness::WaitFor(const std::function<bool()>& pred, DWORD dwTimeoutMs) {
  for (DWORD waited = 0;; waited += 5) {
    if (pred()) return true;
    if (waited >= dwTimeoutMs) return false;
    ::Sleep(5);
  }
}

void DialogHarness::Click(int nID) {
  ::PostMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(Item(nID)));
}

void DialogHarness::ClickAndWait(int nID) { ::SendMessageA(Item(nID), BM_CLICK, 0, 0); }

void DialogHarness::SetText(int nID, const std::string& text) {
  ::SendMessageA(Item(nID), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string DialogHarness::Text(int nID) { return WindowText(Item(nID)); }

std::string DialogHarness::WindowText(HWND hWnd) {
  int nLength = static_cast<int>(::SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
  std::string text(static_cast<size_t>(nLength) + 1, '\0');
  ::SendMessageA(hWnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(std::strlen(text.c_str()));
  return text;
}

HWND DialogHarness::FindOtherDialog(const char* pszTitle) {
  FindState state{Dialog(), pszTitle, {}};
  ::EnumThreadWindows(g_dwUiThread, &CollectDialogs, reinterpret_cast<LPARAM>(&state));
  return state.found.empty() ? nullptr : state.found.front();
}

MessageBoxSeen DialogHarness::WaitForMessageBox(DWORD dwTimeoutMs) {
  MessageBoxSeen seen;
  HWND hWndBox = nullptr;
  // A message box has a static text control with id 0xFFFF.
  WaitFor(
      [&] {
        hWndBox = FindOtherDialog();
        return hWndBox && ::GetDlgItem(hWndBox, 0xFFFF);
      },
      dwTimeoutMs);
  if (!hWndBox || !::GetDlgItem(hWndBox, 0xFFFF)) return seen;
  seen.hWnd = hWndBox;
  seen.strCaption = WindowText(hWndBox);
  seen.strText = WindowText(::GetDlgItem(hWndBox, 0xFFFF));
  // The icon control of a message box: 0x14 on Windows, 0x440 under Wine.
  seen.bHasIcon = ::GetDlgItem(hWndBox, 0x14) != nullptr || ::GetDlgItem(hWndBox, 0x440) != nullptr;
  return seen;
}

void DialogHarness::Press(HWND hWndBox, int nID) {
  ::PostMessageA(hWndBox, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), 0);
}
