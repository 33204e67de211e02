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
void CMainWnd::SendVexmarTable() {}
void CMainWnd::StartAudioCapture() {}
void CMainWnd::SyncKeyboardClock() {}
void CMainWnd::ApplyLanguageToPages(int, bool) {}
void CMainWnd::StopKeyboardListeners() {}
