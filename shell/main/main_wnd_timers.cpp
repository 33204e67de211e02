#include "shell/main/main_wnd.h"

using namespace DuiLib;

LRESULT CMainWnd::OnTimer(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

LRESULT CMainWnd::OnSysCommand(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

void CMainWnd::RaiseWindow(int) {}

void CMainWnd::OnGameEvent(int, int) {}

void CMainWnd::RestoreGameLighting() {}
