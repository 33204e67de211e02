// The keyboard page's profile document and the name lists it reads.
#include <string_view>

#include "keyboard/corvane_keyboard_device.h"
#include "link/device/keyboard_messages.h"
#include "platform/os/message_queue.h"
#include "link/json_file_util.h"
#include "link/json_read.h"
#include "link/profile_file.h"
#include "link/text_encoding.h"
#include "pages/light_control_ui.h"
#include "pages/macro_files.h"
#include "platform/ui/button.h"

using DuiLib::CControlUI;
using DuiLib::CDuiString;

namespace {

constexpr uint8_t kMacroCode = 0x70;
constexpr uint8_t kMacroRepeatCode = 0x71;
constexpr int kKeyOptionCount = 126;
constexpr uint8_t kSweepMode = 24;

// Deselects, without notification, an option "keyboard_key_<n>" with n in
// 0..125; never stops the walk.
CControlUI* DeselectKeyOption(CControlUI* control, void*) {
    static constexpr std::wstring_view kPrefix = L"keyboard_key_";
    const CDuiString held = control->GetName();
    const std::wstring& name = held.str();
    if (name.size() <= kPrefix.size() || name.compare(0, kPrefix.size(), kPrefix) != 0) return nullptr;
    int index = 0;
    for (size_t i = kPrefix.size(); i < name.size(); ++i) {
        if (name[i] < L'0' || name[i] > L'9' || index >= kKeyOptionCount) return nullptr;
        index = index * 10 + (name[i] - L'0');
    }
    if (index >= kKeyOptionCount) return nullptr;
    if (auto* option = static_cast<DuiLib::COptionUI*>(control->GetInterface(L"Option")))
        option->Selected(false, false);
    return nullptr;
}

}  // namespace

int CCorvaneKeyboardDevice::LoadProfile(int withFrameInterval) {
    UpdateProfilePaths();
    m_profile.LoadProfile(m_profile.GetProfilePath());
    m_keyList = m_profile.GetKeyList();
    ApplyLightProfile();
    m_systemStages = m_profile.GetSystemStages();
    if (withFrameInterval) m_frameInterval = m_profile.GetFrameIntervalTime();
    return 1;
}

int CCorvaneKeyboardDevice::ApplyLightProfile() {
    const uint8_t before = m_runningMode.load();
    const LightSetting light = m_profile.GetLightInfo();
    CCorvaneUSBDevice::SetLightSetting(light);
    CCorvaneUSBDevice::SetAudioLightInfo(m_profile.GetAudioLightInfo());
    SetRunningState(light);
    if (light.mode != before || light.mode == 19) EnterLightMode(light.mode, false);
    const bool overlaysBefore = KeyOverlaysPresent();
    {
        // The effect lock first, as on the light thread's passes.
        win::CriticalSectionGuard effects(m_effectLock);
        m_leds.m_effectStep = 0;
        if (light.mode == kSweepMode) m_leds.m_keyHue.fill(0);
        std::lock_guard<win::CCriticalSection> guard(KeyEffectLock);
        std::vector<LightSetting> list = m_profile.GetLightList();
        // The per-LED list always has one entry per LED; what the document
        // lacks reads as absent.
        list.resize(m_keyEffects.size());
        m_keyEffects = std::move(list);
        RenderKeyBreathing(m_keyEffects, true);
        RenderKeyColorCycle(m_keyEffects, true);
        RenderKeyFlash(m_keyEffects, true);
    }
    // Whether there are per-key effects decides how often the light thread's passes run.
    if (KeyOverlaysPresent() != overlaysBefore) m_lightThread.Wake();
    m_profile.LoadLightList(m_profile.GetLightListPath());
    {
        std::lock_guard<win::CCriticalSection> guard(EffectListLock);
        m_effectList = m_profile.GetCustomEffect();
        m_nEffectListCount = int(m_effectList.size());
        m_nEffectListIndex = 0;
    }
    return 1;
}

void CCorvaneKeyboardDevice::RestoreDefaultProfile() {
    const CDuiString defaults = GetDefaultProfilePath();
    // Without a readable default entry the user's profile stays as it is.
    const ProfileFileContent file = ReadProfileFile(defaults, 0);
    if (file.state != ProfileFileState::kReadable || DeviceEntryOf(file.root, 0).isNull()) return;
    m_profile.LoadProfile(defaults);
    m_keyList = m_profile.GetKeyList();
    ApplyLightProfile();
    m_systemStages = m_profile.GetSystemStages();
    SaveProfile();
    RefreshPage(1);
}

void CCorvaneKeyboardDevice::RefreshPage(int withFrameInterval) {
    LoadNameLists();
    if (m_pLightControl) {
        m_pLightControl->SetLightInfo(CurrentLightSetting());
        m_pLightControl->SetAudioLightInfo(CurrentAudioLightSetting());
    }
    ShowSystemStages();
    SetFrameInterval(m_frameInterval, withFrameInterval);
    DeselectKeyOptions();
    UpdateKeyLabels();
}

void CCorvaneKeyboardDevice::DeselectKeyOptions() {
    // One walk over the page instead of a look-up per key: the page is large.
    FindControl(&DeselectKeyOption, nullptr, DuiLib::UIFIND_ALL);
}

void CCorvaneKeyboardDevice::CheckMacroAssignments() {
    LoadNameLists();
    const size_t macroCount = m_macroNames.size();
    std::vector<KeyListEntry> keys = m_keyList;
    bool changed = false;
    for (KeyListEntry& entry : keys) {
        const KeyFunction f = entry.current.function;
        if ((f.code == kMacroCode || f.code == kMacroRepeatCode) && f.param1 >= macroCount) {
            entry.current = entry.defaults;
            changed = true;
        }
    }
    if (changed) SetKeyList(keys);
    LoadNameLists();
}

void CCorvaneKeyboardDevice::SetRunningState(const LightSetting& setting) {
    constexpr uint8_t kMusicMode = 21;
    const uint8_t before = m_runningMode.exchange(setting.mode);
    // Sound is captured only while some keyboard listens to it.
    if ((before == kMusicMode) != (setting.mode == kMusicMode) && m_hMainWnd)
        win::PostMessageW(m_hMainWnd, WM_AUDIO_DEMAND, 0, 0);
    m_runningSpeed.store(setting.speed);
    m_runningGroup.store(setting.customGroup);
    // A thread that slept in the previous mode may have work in this one.
    WakeLightThreads();
}

void CCorvaneKeyboardDevice::SetAudioLightInfo(AudioLightSetting setting) {
    CCorvaneUSBDevice::SetAudioLightInfo(setting);
    m_profile.SetAudioLightInfo(CurrentAudioLightSetting());
}

void CCorvaneKeyboardDevice::SetKeyList(const std::vector<KeyListEntry>& keys) {
    m_keyList = keys;
    m_profile.SetKeyList(keys);
}

// The keyboard keeps its area names when its default names cannot be read.
void CCorvaneKeyboardDevice::LoadNameLists() { LoadLightAndMacroNames(true); }
