#include "platform/Edit.h"

BEGIN_MESSAGE_MAP(CEdit, CWnd)
END_MESSAGE_MAP()
