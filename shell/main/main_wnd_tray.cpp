#include "shell/main/main_wnd.h"

void CMainWnd::OnTrayNotify(DuiLib::UINT) {}
void CMainWnd::ShowTrayMenu() {}
void CMainWnd::GetTrayMenuPosition(DuiLib::POINT&, DuiLib::DWORD&) {}
void CMainWnd::ShowMacroActionMenu(DuiLib::TNotifyUI&) {}
void CMainWnd::OnMenuCommandMessage(DuiLib::WPARAM) {}
void CMainWnd::OnMenuCommand(const DuiLib::CDuiString&) {}
