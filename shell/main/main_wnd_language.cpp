#include "shell/main/main_wnd.h"

using namespace DuiLib;

int CMainWnd::LoadLanguageIndex() { return 0; }

void CMainWnd::SaveLanguageIndex(int) {}

void CMainWnd::SetLanguage(int) {}

void CMainWnd::RebuildFonts(const CDuiString&) {}

void CMainWnd::FitToScreen() {}

void CMainWnd::OnDisplayChange() { FitToScreen(); }

void CMainWnd::OnLanguageMessage(int, bool) {}
