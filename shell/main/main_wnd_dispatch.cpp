#include "shell/main/main_wnd.h"

// Routes every notification by its type, then hands it to the base window.
void CMainWnd::Notify(DuiLib::TNotifyUI& msg) {
    if (msg.sType == L"windowinit") OnWindowInit();
    WindowImplBase::Notify(msg);
}

void CMainWnd::OnItemActivate(DuiLib::TNotifyUI&) {}
void CMainWnd::OnNotifySetFocus(DuiLib::TNotifyUI&) {}
void CMainWnd::OnNotifyClick(DuiLib::TNotifyUI&) {}
void CMainWnd::OnNotifyClickSelectEnd(DuiLib::TNotifyUI&) {}
void CMainWnd::OnNotifySelectChanged(DuiLib::TNotifyUI&) {}
void CMainWnd::OnNotifyItemSelect(DuiLib::TNotifyUI&) {}
void CMainWnd::OnNotifyItemClick(DuiLib::TNotifyUI&) {}
void CMainWnd::OnNotifyValueChanged(DuiLib::TNotifyUI&) {}
void CMainWnd::OnNotifyMoveValueChanged(DuiLib::TNotifyUI&) {}
void CMainWnd::OnNotifyKillFocus(DuiLib::TNotifyUI&) {}
void CMainWnd::OnNotifyColorChanged(DuiLib::TNotifyUI&) {}
void CMainWnd::OnNotifyMouseEnter(DuiLib::TNotifyUI&) {}
void CMainWnd::OnNotifyMouseLeave(DuiLib::TNotifyUI&) {}
void CMainWnd::OnNotifyWindowSize(DuiLib::TNotifyUI&) {}
int CMainWnd::ShowOpenFileDialog(const DuiLib::CDuiString&, DuiLib::HWND, DuiLib::CDuiString&, int) { return 0; }
int CMainWnd::ShowSaveFileDialog(const DuiLib::CDuiString&, DuiLib::HWND, DuiLib::CDuiString&, int) { return 0; }
void CMainWnd::SelectFunctionTab(int) {}
