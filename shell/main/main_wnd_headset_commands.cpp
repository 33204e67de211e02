// The headset's voice-changer, microphone, equaliser and virtual 7.1 controls: each a
// forward to the page of the current device when that is a headset.
#include "devices/corvane_hs6533_device.h"
#include "shell/main/main_wnd.h"
#include "shell/controls/message_boxes.h"

namespace {

CCorvaneHS6533Device* AsHeadset(CCorvaneUSBDevice* page) {
    if (!page || page->GetDeviceType() != CCorvaneUSBDevice::kTypeHeadset) return nullptr;
    return dynamic_cast<CCorvaneHS6533Device*>(page);
}

}  // namespace

void CMainWnd::OnMagicVoiceToggle() {
    if (auto* headset = AsHeadset(GetCurrentDevice())) headset->ToggleMagicVoice();
}

void CMainWnd::OnVirtualSurroundToggle() {
    if (auto* headset = AsHeadset(GetCurrentDevice())) headset->ToggleVirtualSurround();
}

// The voice, preset and band controls are numbered as the page counts them
// (voices and presets from 1, bands from 0); any other number names none.
void CMainWnd::OnMagicVoiceSelected(int n) {
    if (n < 1 || n > CCorvaneHS6533Device::kMagicVoices) return;
    if (auto* headset = AsHeadset(GetCurrentDevice())) headset->SelectMagicVoice(n);
}

void CMainWnd::OnMicInToggle() {
    if (auto* headset = AsHeadset(GetCurrentDevice())) headset->ToggleMicInMute();
}

void CMainWnd::OnMicInVolume() {
    if (auto* headset = AsHeadset(GetCurrentDevice())) headset->SetMicInVolume();
}

void CMainWnd::OnMicMonitorToggle() {
    if (auto* headset = AsHeadset(GetCurrentDevice())) headset->ToggleMicMonitorMute();
}

void CMainWnd::OnMicMonitorVolume() {
    if (auto* headset = AsHeadset(GetCurrentDevice())) headset->SetMicMonitorVolume();
}

void CMainWnd::OnEqBandChanged(int band) {
    if (band < 0 || band >= CCorvaneHS6533Device::kBands) return;
    if (auto* headset = AsHeadset(GetCurrentDevice())) headset->SetCustomEqBand(band);
}

void CMainWnd::OnEqPresetSelected(int preset) {
    if (preset < 1 || preset > CCorvaneHS6533Device::kCustomEqPreset) return;
    if (auto* headset = AsHeadset(GetCurrentDevice())) headset->SelectEqPreset(preset);
}

void CMainWnd::OnCustomEqSelected() {
    if (auto* headset = AsHeadset(GetCurrentDevice())) headset->ApplyCustomEq();
}

void CMainWnd::OnSaveCustomEq() {
    auto* headset = AsHeadset(GetCurrentDevice());
    // Only an existing name is worth telling; a refusal shows nothing.
    if (headset && headset->SaveCustomEq() == 0) ShowMessageBox(nullptr, nullptr, L"message_text_5", 0, 1, 0);
}

void CMainWnd::OnDeleteCustomEq() {
    if (auto* headset = AsHeadset(GetCurrentDevice())) headset->DeleteCustomEq();
}
