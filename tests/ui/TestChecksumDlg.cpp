#include "tests/ui/TestChecksumDlg.h"

#include "platform/MessageMap.h"

BEGIN_MESSAGE_MAP(CTestChecksumDlg, CChecksumDlg)
ON_WM_DRAWITEM()
END_MESSAGE_MAP()
