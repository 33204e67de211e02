#include "shell/main/main_wnd.h"

void CMainWnd::OnAddProfile() {}
void CMainWnd::OnDeleteProfile() {}
void CMainWnd::OnCopyProfile() {}
void CMainWnd::OnImportProfile() {}
void CMainWnd::OnExportProfile() {}
void CMainWnd::OnSaveProfileName() {}
void CMainWnd::OnResetProfile() {}
void CMainWnd::ConfirmRestoreDefaults() {}
void CMainWnd::ApplySelectedProfile() {}
void CMainWnd::OnDeviceKeyClick(int) {}
void CMainWnd::ToggleProfileMenu() {}
