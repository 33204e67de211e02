#include "shell/main/main_wnd.h"

using namespace DuiLib;

LRESULT CMainWnd::HandleCustomMessage(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
