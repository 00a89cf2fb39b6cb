// Drives a real dialog under test: the dialog runs modally on the test's main thread, as in the program,
// while the test body runs on a driver thread and acts as the user does, through window messages.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/Dialog.h"
#include "platform/WinApp.h"

// The test executable's application object: message boxes take its title, COM is open on the UI thread.
class CHarnessApp : public CWinApp {
 public:
  CHarnessApp() : CWinApp(nullptr) {}
};

struct MessageBoxSeen {
  HWND hWnd = nullptr;
  std::string strCaption;
  std::string strText;
  bool bHasIcon = false;
};

class DialogHarness {
 public:
  // Runs dlg modally on this thread and body on a driver thread; returns when both are done. When the body
  // returns with the dialog still open, the harness closes it (and any message box) itself.
  // The result is DoModal's.
  static INT_PTR Run(CDialog& dlg, const std::function<void()>& body, DWORD dwTimeoutMs = 60000);

  // From the driver: runs fn on the UI thread (inside whatever loop it is in) and waits for it.
  static void OnUi(const std::function<void()>& fn);
  template <class T>
  static T OnUiGet(const std::function<T()>& fn) {
    T value{};
    OnUi([&] { value = fn(); });
    return value;
  }

  static HWND Dialog();
  static HWND Item(int nID) { return ::GetDlgItem(Dialog(), nID); }
  static DWORD UiThreadId();

  // Polls pred every few milliseconds; false when it stays false for dwTimeoutMs.
  static bool WaitFor(const std::function<bool()>& pred, DWORD dwTimeoutMs = 10000);

  // A user's actions, as the messages they produce. Click posts, so a click that opens a modal box
  // does not block the driver; ClickAndWait sends and returns once the click has been handled.
  static void Click(int nID);
  static void ClickAndWait(int nID);
  static void SetText(int nID, const std::string& text);
  static std::string Text(int nID);
  static std::string WindowText(HWND hWnd);

  // The UI thread's top-level dialog-class windows other than the dialog under test (message boxes,
  // the file dialog, the About box), newest first.
  static HWND FindOtherDialog(const char* pszTitle = nullptr);
  // Waits for a message box of the UI thread and reads it; it stays open.
  static MessageBoxSeen WaitForMessageBox(DWORD dwTimeoutMs = 10000);
  // Presses a message box's OK (or any dialog's button).
  static void Press(HWND hWndBox, int nID = IDOK);
};
