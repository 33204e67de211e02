#include "shell/main/main_wnd.h"

void CMainWnd::OnLightModeSelected() {}
void CMainWnd::OnCustomModeSelected() {}
void CMainWnd::OnZZCCModeSelected() {}
void CMainWnd::OnBrightnessChanged() {}
void CMainWnd::OnSpeedChanged() {}
void CMainWnd::OnPaletteColorChanged() {}
void CMainWnd::OnRedEdit() {}
void CMainWnd::OnGreenEdit() {}
void CMainWnd::OnBlueEdit() {}
void CMainWnd::OnSevenColorCheck() {}
void CMainWnd::OnDirectionCheck(int) {}
void CMainWnd::OnColorOptionClick(int) {}
void CMainWnd::OnCustomColorButton(int) {}
void CMainWnd::OnSameModeClick() {}
void CMainWnd::OnMouseSettingOption(int) {}
void CMainWnd::PickDpiColor(int) {}
void CMainWnd::ApplyKeySelectionLight(DuiLib::CControlUI*) {}
void CMainWnd::ApplyMouseKeySelectionLight(DuiLib::CControlUI*) {}
void CMainWnd::LeaveLightingSync(CCorvaneUSBDevice*) {}
void CMainWnd::ShowLightMode(CCorvaneUSBDevice*, int) {}
