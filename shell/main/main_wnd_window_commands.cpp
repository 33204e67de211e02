#include "shell/main/main_wnd.h"

void CMainWnd::ShowSettingsWindow(bool) {}
void CMainWnd::BuildVersionList() {}
void CMainWnd::OnFirmwareCheck(int, int) {}
void CMainWnd::ShowSkinPicker() {}
