#include "shell/main/main_wnd.h"

using namespace DuiLib;

CControlUI* CMainWnd::CreateControl(LPCTSTR) { return nullptr; }
