// CStatic: a static control, usable as the base of a control class with its own message map.
#pragma once

#include <windows.h>

#include "platform/Wnd.h"

class CStatic : public CWnd {
  DECLARE_MESSAGE_MAP()
};
