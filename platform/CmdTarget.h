// Message maps: a class lists the messages it handles in a static table chained to its base class's table.
// Each entry carries a typed thunk, so a handler with the wrong signature does not compile.
#pragma once

#include <windows.h>

#include <type_traits>

class CCmdTarget;

// A thunk calls the handler and reports whether it handled the message; *pResult is the message's result.
using MessageThunk = bool (*)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

struct CMessageMapEntry {
  UINT nMessage;  // window message, or a reflected one (kReflectBase + message); 0 ends the table
  UINT nCode;     // notification code of WM_COMMAND entries
  UINT nID;       // first and last control or command id of WM_COMMAND entries
  UINT nLastID;
  MessageThunk pfnThunk;
};

struct CMessageMap {
  const CMessageMap* (*pfnGetBaseMap)();  // null for the root
  const CMessageMapEntry* pEntries;
};

// Notifications a parent reflects back to the control that sent them.
constexpr UINT kReflectBase = 0xBC00;

class CCmdTarget {
 public:
  CCmdTarget() = default;
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;
  virtual ~CCmdTarget() = default;

  // Routes a command (WM_COMMAND id and code) through this object's map; true when a handler took it.
  virtual bool OnCmdMsg(UINT nID, UINT nCode, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

  // The first entry of this object's map chain that matches, or null.
  const CMessageMapEntry* FindEntry(UINT nMessage, UINT nCode, UINT nID) const;

  virtual const CMessageMap* GetMessageMap() const { return GetThisMessageMap(); }

 protected:
  static const CMessageMap* GetThisMessageMap();
};

#define DECLARE_MESSAGE_MAP()                    \
 protected:                                      \
  static const CMessageMap* GetThisMessageMap(); \
  const CMessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                       \
  const CMessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const CMessageMap* theClass::GetThisMessageMap() {                                 \
    using ThisClass [[maybe_unused]] = theClass;                                     \
    using TheBaseClass = baseClass;                                                  \
    static const CMessageMapEntry s_entries[] = {
#define END_MESSAGE_MAP()                                                         \
  { 0, 0, 0, 0, nullptr }                                                         \
  }                                                                               \
  ;                                                                               \
  static const CMessageMap s_map = {&TheBaseClass::GetThisMessageMap, s_entries}; \
  return &s_map;                                                                  \
  }

namespace msgmap {

template <class T, auto F>
bool Command(CCmdTarget* p, WPARAM, LPARAM, LRESULT* r) {
  static_assert(std::is_convertible_v<decltype(F), void (T::*)()>, "command handler must be void ()");
  (static_cast<T*>(p)->*F)();
  *r = 0;
  return true;
}

}  // namespace msgmap

// A command (menu item, accelerator, button with notification code 0) by id.
#define ON_COMMAND(id, memberFxn) {WM_COMMAND, 0, (id), (id), &msgmap::Command<ThisClass, memberFxn>},
// A control's notification, handled by its parent.
#define ON_CONTROL(code, id, memberFxn) \
  {WM_COMMAND, (code), (id), (id), &msgmap::Command<ThisClass, memberFxn>},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
// A control's own notification, reflected back to it by its parent.
#define ON_CONTROL_REFLECT(code, memberFxn) \
  {kReflectBase + WM_COMMAND, (code), 0, 0, &msgmap::Command<ThisClass, memberFxn>},
