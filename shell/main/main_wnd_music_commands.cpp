#include "shell/main/main_wnd.h"

void CMainWnd::LoadAudioFile() {}
void CMainWnd::SaveAudioFile() {}
void CMainWnd::WriteAudioFileDevice(Json::Value, std::wstring) {}
void CMainWnd::RestoreAudioDefaults() {}
void CMainWnd::SetAudioFilePath() {}
void CMainWnd::ShowMusicWindow() {}
void CMainWnd::OnSpectrumFrame() {}
void CMainWnd::OnExternalFeed() {}
void CMainWnd::ApplyAudioLightSetting() {}
void CMainWnd::ReapplyAudioLightSetting() {}
void CMainWnd::OnAudioPaletteColor() {}
void CMainWnd::OnAudioEditColor(int) {}
void CMainWnd::OnAudioColorOption(int) {}
void CMainWnd::ClearAudioBackground() {}
