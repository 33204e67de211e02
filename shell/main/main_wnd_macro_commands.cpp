#include "shell/main/main_wnd.h"

void CMainWnd::InsertLeftDownAction() {}
void CMainWnd::OnStartRecordClick() {}
void CMainWnd::StartMacroRecording(int, int) {}
void CMainWnd::OnStopRecordClick() {}
void CMainWnd::SetRecordingHook(int, bool, bool, bool) {}
void CMainWnd::OnAddMacro() {}
void CMainWnd::OnDeleteMacro() {}
void CMainWnd::OnRenameMacro() {}
void CMainWnd::OnImportMacro() {}
void CMainWnd::OnExportMacro() {}
void CMainWnd::SaveMacro() {}
void CMainWnd::CancelMacroEdit() {}
void CMainWnd::OnMacroSelected() {}
void CMainWnd::MoveMacroActionUp() {}
void CMainWnd::MoveMacroActionDown() {}
void CMainWnd::MoveMacroActionToTop() {}
void CMainWnd::MoveMacroActionToBottom() {}
void CMainWnd::DeleteMacroAction() {}
void CMainWnd::DeleteAllMacroActions() {}
void CMainWnd::OnMacroMoveX(bool) {}
void CMainWnd::OnMacroMoveY(bool) {}
void CMainWnd::OnHookKeyMacro(DuiLib::WPARAM, DuiLib::LPARAM) {}
void CMainWnd::OnHookKeyMacroAfter(DuiLib::WPARAM, DuiLib::LPARAM) {}
void CMainWnd::OnHookKeyMacroBefore(DuiLib::WPARAM, DuiLib::LPARAM) {}
void CMainWnd::OnHookKeyMacroReplace(DuiLib::WPARAM, DuiLib::LPARAM) {}
void CMainWnd::OnHookMouseMacro(DuiLib::WPARAM, DuiLib::LPARAM) {}
void CMainWnd::OnHookMouseMacroAfter(DuiLib::WPARAM, DuiLib::LPARAM) {}
void CMainWnd::OnHookMouseMacroBefore(DuiLib::WPARAM, DuiLib::LPARAM) {}
void CMainWnd::OnHookMouseMacroReplace(DuiLib::WPARAM, DuiLib::LPARAM) {}
