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

// --- Lighting --------------------------------------------------------------------
int CCorvaneMouseDevice::ApplyLightProfile() {
    const LightSetting s = m_profile.GetLightInfo();
    CCorvaneUSBDevice::SetLightSetting(s);
    SetLightingCopy(s);
    return 1;
}
int CCorvaneMouseDevice::StepBreathingPalette() { return CCorvaneUSBDevice::StepBreathingPalette(); }
int CCorvaneMouseDevice::StepFlashPalette() { return CCorvaneUSBDevice::StepFlashPalette(); }
int CCorvaneMouseDevice::SendLedFrame() { return CCorvaneUSBDevice::SendLedFrame(); }
int CCorvaneMouseDevice::StepWave() { return 0; }
int CCorvaneMouseDevice::StepRunningLight() { return 0; }
int CCorvaneMouseDevice::StepTriggeredFade() { return 0; }
void CCorvaneMouseDevice::StartLightThread() {}
void CCorvaneMouseDevice::StopLightThread() {}
void CCorvaneMouseDevice::SetTickSource(LightTickSource* ticks) { m_ticks.store(ticks ? ticks : &SystemTickSource()); }
void CCorvaneMouseDevice::RunLightPass(uint32_t&, uint32_t&, uint32_t) {}
void CCorvaneMouseDevice::TriggerReactive() {}
void CCorvaneMouseDevice::RunEffectPlaylist() {}
void CCorvaneMouseDevice::SetRandomSource(std::function<uint32_t()> source) { m_random = std::move(source); }
uint8_t CCorvaneMouseDevice::GetTriggerState(int led) const {
    return led >= 0 && size_t(led) < m_triggerStates.size() ? m_triggerStates[size_t(led)].load() : 0;
}
void CCorvaneMouseDevice::RunLightThread(win::HANDLE) {}
win::DWORD CCorvaneMouseDevice::MouseLightThreadProc(void*) { return 0; }

// --- Event channel -----------------------------------------------------------------
void CCorvaneMouseDevice::OpenEventChannel(const std::wstring&, int) {}
void CCorvaneMouseDevice::ReopenEventChannel(const std::wstring&, int) {}
void CCorvaneMouseDevice::CloseEventChannel(int) {}
void CCorvaneMouseDevice::StartEventListener(int) {}
void CCorvaneMouseDevice::StopEventListener(int) {}
void CCorvaneMouseDevice::OnProfileSwitchEvent(uint16_t) {}
void CCorvaneMouseDevice::HandleEventCode(int, uint16_t) {}
bool CCorvaneMouseDevice::IsEventChannelOpen(int) const { return false; }
void CCorvaneMouseDevice::RunEventListener(int, win::HANDLE) {}
win::DWORD CCorvaneMouseDevice::MouseEventThreadProc(void*) { return 0; }
win::DWORD CCorvaneMouseDevice::MouseDongleEventThreadProc(void*) { return 0; }
CCorvaneMouseDevice::WorkerRecord* CCorvaneMouseDevice::ListenerRecord(int) { return nullptr; }
