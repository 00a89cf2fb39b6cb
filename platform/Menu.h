// CMenu: a menu handle. It destroys only a menu it created; a borrowed one (the system menu) stays.
#pragma once

#include <windows.h>

class CMenu {
 public:
  CMenu() = default;
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;
  ~CMenu() {
    if (m_hMenu && m_bOwned) ::DestroyMenu(m_hMenu);
  }

  HMENU m_hMenu = nullptr;

  void Borrow(HMENU hMenu) {
    if (m_hMenu && m_bOwned) ::DestroyMenu(m_hMenu);
    m_hMenu = hMenu;
    m_bOwned = false;
  }
  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, const char* lpszNewItem = nullptr) {
    return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
  }
  int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }

 private:
  bool m_bOwned = false;
};
