#include "shell/main/main_wnd.h"

void CMainWnd::OnKeyFunctionSelected() {}
void CMainWnd::OnMacroRepeatSelected() {}
void CMainWnd::ApplyKeyAssignment() {}
void CMainWnd::ShowDefaultKeyAssignment() {}
void CMainWnd::CancelKeyAssignment() {}
void CMainWnd::SaveKeyAssignments() {}
void CMainWnd::OnModifierCheck(int) {}
void CMainWnd::OnHookKey(DuiLib::WPARAM, DuiLib::LPARAM) {}
void CMainWnd::OnKeyShakeChanged() {}
void CMainWnd::SetDeviceUiEnabled(bool, bool) {}
bool CMainWnd::IsDeviceUiEnabled() { return false; }
void CMainWnd::SetKeyCaptureHook(int) {}
