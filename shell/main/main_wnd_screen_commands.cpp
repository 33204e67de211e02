#include "shell/main/main_wnd.h"

void CMainWnd::ShowScreenEditor() {}
void CMainWnd::CloseScreenEditor() {}
void CMainWnd::HideScreenEditor() {}
void CMainWnd::ReloadScreenFrames() {}
void CMainWnd::ShowScreenFramesPage() {}
void CMainWnd::SelectScreenPage(int) {}
void CMainWnd::ImportScreenPicture() {}
void CMainWnd::ImportScreenAnimation() {}
void CMainWnd::ExportScreenPicture() {}
void CMainWnd::ExportScreenVideo() {}
void CMainWnd::PickPenColor() {}
void CMainWnd::PickBackgroundColor() {}
void CMainWnd::OnScreenPreviewPaint(DuiLib::WPARAM, DuiLib::LPARAM) {}
void CMainWnd::OnScreenUndoReady() {}
void CMainWnd::OnScreenCanvasChanged() {}
void CMainWnd::PlaceFloatingWindows() {}
