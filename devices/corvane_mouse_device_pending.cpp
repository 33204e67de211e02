// Placeholder bodies of the mouse page's settings controls, button list,
// lighting and event channel. Each moves into its own file as it is written;
// until then they do nothing and return 0, and this file shrinks to nothing.
#include "devices/corvane_mouse_device.h"

using namespace DuiLib;

// --- Recoil page binding (needs the recoil page's class) ------------------------
void CCorvaneMouseDevice::BindShootControl() {}

// --- Settings controls ---------------------------------------------------------
void CCorvaneMouseDevice::SetActiveDpiStage(int stage) { m_profile.SetActiveDpiStage(stage); }
void CCorvaneMouseDevice::SetDpiStages(const std::vector<DpiStage>& stages) {
    m_dpiStages = stages;
    m_profile.SetDpiStages(stages);
}
uint32_t CCorvaneMouseDevice::GetDpiStageColor(int) { return 0; }
void CCorvaneMouseDevice::SetDpiStageColor(int, uint32_t) {}
void CCorvaneMouseDevice::SetSystemStages(const MouseSystemStages& stages) {
    m_systemStages = stages;
    const auto words = stages.ToWords();
    m_profile.SetSystemStages(words[0], words[1], words[2]);
}
void CCorvaneMouseDevice::EnableDpiStage(int, bool) {}
bool CCorvaneMouseDevice::IsDpiStageEnabled(int) { return false; }
void CCorvaneMouseDevice::SetDpiSliderValue(int, int) {}
int CCorvaneMouseDevice::GetDpiSliderValue(int) { return 0; }
int CCorvaneMouseDevice::GetDpiEditValue(int) { return 0; }
void CCorvaneMouseDevice::SetPollingRateOption(int) {}
int CCorvaneMouseDevice::GetPointerSpeed() { return 0; }
bool CCorvaneMouseDevice::GetPointerPrecision() { return false; }
void CCorvaneMouseDevice::SetScrollSettings(bool, int) {}
bool CCorvaneMouseDevice::GetScrollByPage() { return false; }
int CCorvaneMouseDevice::GetScrollSpeed() { return 0; }
int CCorvaneMouseDevice::GetDoubleClickSpeed() { return 0; }
int CCorvaneMouseDevice::GetDoubleClickSpeedMax() { return 0; }
void CCorvaneMouseDevice::SelectOptionTab(int) {}
int CCorvaneMouseDevice::PositionToDpi(int) const { return 0; }
int CCorvaneMouseDevice::DpiToPosition(int) const { return 0; }
CControlUI* CCorvaneMouseDevice::FindSettingsControl(const wchar_t*) { return nullptr; }

// --- Button-assignment list ------------------------------------------------------
void CCorvaneMouseDevice::SetKeyList(const std::vector<KeyListEntry>& keys) {
    m_keyList = keys;
    m_profile.SetKeyList(keys);
}
void CCorvaneMouseDevice::SetSelectedKeyRecord(const KeyListEntry&) {}
void CCorvaneMouseDevice::SetSecondaryKeyList(const std::vector<KeyListEntry>& keys) { m_secondaryKeyList = keys; }
void CCorvaneMouseDevice::RefreshKeyInfoList() {}
void CCorvaneMouseDevice::SetKeyButtonInfo(int, const CDuiString&) {}
void CCorvaneMouseDevice::UpdateLogoTooltip() {}
bool CCorvaneMouseDevice::KeyCaption(const KeyFunction&, CDuiString*) { return false; }
CDuiString CCorvaneMouseDevice::Translate(const wchar_t* key) { return key; }
void CCorvaneMouseDevice::SelectKey(int position) { CCorvaneUSBDevice::SelectKey(position); }
void CCorvaneMouseDevice::CheckMacroAssignments() {}
