#include "shell/main/main_wnd.h"

void CMainWnd::OnGunSelected(int) {}
void CMainWnd::OnBulletSelected(int) {}
void CMainWnd::OnBulletStep(int) {}
void CMainWnd::SaveBullet() {}
void CMainWnd::OnSaveShootData() {}
void CMainWnd::OnResetShootData() {}
void CMainWnd::OnImportShootData() {}
void CMainWnd::OnExportShootData() {}
void CMainWnd::OnBulletXCheck() {}
void CMainWnd::OnBulletYCheck() {}
void CMainWnd::OnMagicVoiceToggle() {}
void CMainWnd::OnMagicVoiceSelected(int) {}
void CMainWnd::OnMicInToggle() {}
void CMainWnd::OnMicInVolume() {}
void CMainWnd::OnMicMonitorToggle() {}
void CMainWnd::OnMicMonitorVolume() {}
void CMainWnd::OnEqBandChanged(int) {}
void CMainWnd::OnEqPresetSelected(int) {}
void CMainWnd::OnCustomEqSelected() {}
void CMainWnd::OnSaveCustomEq() {}
void CMainWnd::OnDeleteCustomEq() {}
void CMainWnd::SendVexmarTable() {}
void CMainWnd::SyncKeyboardClock() {}
void CMainWnd::ApplyLanguageToPages(int, bool) {}
void CMainWnd::StopKeyboardListeners() {}
