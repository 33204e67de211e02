#include "link/device/corvane_usb_device.h"
#include "link/device/device_option_ui.h"

#include <algorithm>

#include "link/basic_profiledata.h"
#include "link/data_folders.h"
#include "link/json_file_util.h"
#include "link/json_read.h"
#include "link/string_util.h"
#include "link/text_encoding.h"
#include "pages/device_profile_ui.h"
#include "pages/light_control_ui.h"
#include "pages/macro_files.h"
#include "platform/os/clock.h"
#include "platform/os/debug_trace.h"
#include "platform/ui/dialog_builder.h"
#include "shell/controls/device_key_button_ui.h"
#include "shell/controls/mp_device_power_ui.h"
#include "shell/controls/process_state.h"

using namespace DuiLib;

namespace {

constexpr wchar_t kDefaultLightFile[] = L"default_light.json";

// The "LightName" of every element of `rows`[index]; false when that row is
// not an array (the list is then left as it was).
bool ReadLightNames(const Json::Value& root, const char* rows, int index, std::vector<CDuiString>& names) {
    const Json::Value& row = JsonElement(JsonMember(root, rows), index);
    if (!row.isArray()) return false;
    names.clear();
    for (const Json::Value& e : row) names.push_back(Utf8ToDuiString(JsonString(e, "LightName")));
    return true;
}

constexpr const wchar_t* kSelectPanelClass = L"SelectPanel";
constexpr const wchar_t* kKeyButtonClass = L"DeviceKeyButton";
constexpr DWORD kWhite = 0xFFFFFF;
constexpr int kFullLevel = 255;
constexpr int kUnchanged = -1;

// Pages of "device_function_switch" and "device_key_function_switch" for a
// function tab code (kUnchanged leaves the second layout where it is).
struct TabPages {
    int function;
    int keyFunction;
};

TabPages TabPagesFor(int code, int deviceType) {
    switch (code) {
        case 1:
            return {0, 0};  // lighting
        case 2:
            return {0, 1};  // keys
        case 3:
            return {1, kUnchanged};  // macros
        case 4:                      // system
            if (deviceType == CCorvaneUSBDevice::kTypeKeyboard || deviceType == CCorvaneUSBDevice::kTypeMouse)
                return {3, kUnchanged};
            return {0, 2};
        case 5:
            return {2, kUnchanged};  // cursor
        case 6:
            return {0, 1};  // headset voice
        case 7:
            return {0, 2};  // voice changer
        case 8:
            return {1, kUnchanged};  // virtual 7.1
        case 9:
            return {4, kUnchanged};  // screen
        default:
            return {0, 0};
    }
}

// "key_<n>" / "light_<n>": the index when the text has that prefix (any case)
// and the index lies inside a list of `size` entries, else -1.
int IndexedName(const CDuiString& text, const wchar_t* prefix, size_t size) {
    CDuiString head;
    int number = 0;
    if (!SplitControlName(text, head, number)) return -1;
    if (head.CompareNoCase(prefix) != 0) return -1;
    if (number < 0 || size_t(number) >= size) return -1;
    return number;
}

CTabLayoutUI* AsTabLayout(CControlUI* control) {
    return control ? static_cast<CTabLayoutUI*>(control->GetInterface(L"TabLayout")) : nullptr;
}

}  // namespace

CCorvaneUSBDevice::CCorvaneUSBDevice() = default;

CCorvaneUSBDevice::~CCorvaneUSBDevice() {
    // Borrowed controls belong to the control tree; only forget them.
    m_pSelectPanel = nullptr;
    m_pDeviceOption = nullptr;
    m_pPowerPanel = nullptr;
    m_keyButtons.clear();
    m_lightButtons.clear();
}

CControlUI* CCorvaneUSBDevice::CreateControl() {
    try {
        return new CCorvaneUSBDevice();
    } catch (const std::exception&) {
        return nullptr;
    }
}

LPCTSTR CCorvaneUSBDevice::GetClass() const { return kClassName; }

LPVOID CCorvaneUSBDevice::GetInterface(LPCTSTR pstrName) {
    if (DuiCompareNoCase(pstrName, kClassName) == 0) return this;
    return CHorizontalLayoutUI::GetInterface(pstrName);
}

// Every page hears every notification of the window: only those of its own
// controls (the page itself included) go on to its handlers, and of those
// only a control that its name finds in the page (the first of a name). The
// parents tell the page's own controls without a look-up through its tree.
void CCorvaneUSBDevice::Notify(TNotifyUI& msg) {
    for (CControlUI* c = msg.pSender; c; c = c->GetParent())
        if (c == this) {
            if (FindSubControl(msg.pSender->GetName()) == msg.pSender) NotifyPump(msg);
            return;
        }
}

// --- Accessors ---------------------------------------------------------------

void CCorvaneUSBDevice::SetKeyCount(int count) {
    count = std::max(count, 0);
    if (count == m_nKeyCount) return;
    m_nKeyCount = count;
    m_keyButtons.resize(size_t(count), nullptr);
}

void CCorvaneUSBDevice::SetLedCount(int count) {
    count = std::clamp(count, 0, LedState::kMaxLeds);
    std::lock_guard<win::CCriticalSection> guard(KeyEffectLock);
    if (count != m_nLedCount) {
        m_nLedCount = count;
        m_lightButtons.resize(size_t(count), nullptr);
        m_keyEffects.resize(size_t(count));
    }
    std::fill(m_keyEffects.begin(), m_keyEffects.end(), LightSetting{});
    m_leds.SetLedCount(count);
}

void CCorvaneUSBDevice::SetDeviceType(int type, int auxiliary) {
    m_nDeviceType = type;
    m_nAuxiliary = auxiliary;
}

void CCorvaneUSBDevice::SetDeviceSubtype(int auxiliary) {
    if (auxiliary != m_nAuxiliary) m_nAuxiliary = auxiliary;
}

void CCorvaneUSBDevice::SetLightingEnabled(int enabled) {
    m_nLightingEnabled.store(enabled);
    if (enabled && m_nDeviceType == kTypeKeyboard) m_commandChannel.SendLightOn();
    // A thread that slept with the lighting off may have work again.
    if (enabled) WakeLightThreads();
}

CDuiString CCorvaneUSBDevice::GetDefaultDataFolder() const { return GetDefaultDataPath(); }

CDuiString CCorvaneUSBDevice::GetDefaultProfilePath() const {
    return GetDefaultDataFolder() + m_sDeviceName + L".Json";
}

CDuiString CCorvaneUSBDevice::GetUserDataFolder() const { return GetDeviceDataPath(m_sDeviceName); }

bool CCorvaneUSBDevice::BindProfileBar(int deviceKind) {
    constexpr int kLightingTab = 1;
    if (CControlUI* c = FindSubControl(L"DeviceProfileItem")) m_pProfileBar = dynamic_cast<CDeviceProfileUI*>(c);
    if (!m_pProfileBar) return false;
    m_pProfileBar->SetDeviceKind(deviceKind);
    m_pProfileBar->SetProfilePaths(GetUserDataFolder(), GetDefaultProfilePath());
    m_pProfileBar->LoadProfileList();
    m_pProfileBar->SelectFunctionTab(kLightingTab);
    SetProfileId(m_pProfileBar->GetCurrentProfileUUID());
    return true;
}

void CCorvaneUSBDevice::SetPowerPanel(CMpDevicePowerUI* tile) {
    m_pPowerPanel = tile;
    if (tile) tile->ShowPowerLayout(m_nShowPower);
}

void CCorvaneUSBDevice::SetShowPower(int show) {
    m_nShowPower = show;
    if (m_pPowerPanel) m_pPowerPanel->ShowPowerLayout(show);
}

void CCorvaneUSBDevice::SetWindowHidden(int hidden) {
    if (m_nShowPower) m_nWindowHidden = hidden;
}

void CCorvaneUSBDevice::SetSlotRecord(HidDeviceSlot slot) {
    m_boundSlot = std::move(slot);
    m_nDeviceType = m_boundSlot.deviceType;
    m_nAuxiliary = 0;
    SetDeviceSubtype(m_boundSlot.auxiliary);
}

LightSetting CCorvaneUSBDevice::CurrentLightSetting() const {
    std::lock_guard<std::mutex> guard(m_lightSettingLock);
    return m_lightSetting;
}

AudioLightSetting CCorvaneUSBDevice::CurrentAudioLightSetting() const {
    std::lock_guard<std::mutex> guard(m_lightSettingLock);
    return m_audioLightSetting;
}

std::vector<LightSetting> CCorvaneUSBDevice::GetKeyEffects() const {
    std::lock_guard<win::CCriticalSection> guard(KeyEffectLock);
    return m_keyEffects;
}

void CCorvaneUSBDevice::PointProfileDocument(CBasicProfiledata& document) const {
    document.SetDeviceIndex(0);
    document.SetLightListDeviceIndex(m_nDeviceIndex);
}

// --- Page binding ------------------------------------------------------------

void CCorvaneUSBDevice::InitPage() {
    if (m_sPageXml.IsEmpty()) {
        SetKeyCount(0);
        SetLedCount(0);
        return;
    }
    m_pSelectPanel = nullptr;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (child && CDuiString(child->GetClass()) == kSelectPanelClass) {
            m_pSelectPanel = static_cast<CContainerUI*>(child->GetInterface(L"Container"));
            break;
        }
    }
    if (!m_pSelectPanel) return;
    BindKeyButtons(m_pSelectPanel, false);
}

void CCorvaneUSBDevice::BindKeyButtons(CContainerUI* picture, bool lightFromName) {
    if (!picture) return;
    for (int i = 0; i < picture->GetCount(); ++i) {
        CControlUI* child = picture->GetItemAt(i);
        if (!child || CDuiString(child->GetClass()) != kKeyButtonClass) continue;
        auto* button = static_cast<CDeviceKeyButtonUI*>(child->GetInterface(kKeyButtonClass));
        if (!button) continue;
        const int key = IndexedName(child->GetName(), L"key_", m_keyButtons.size());
        if (key >= 0) m_keyButtons[size_t(key)] = button;
        int light = IndexedName(child->GetUserData(), L"light_", m_lightButtons.size());
        if (light < 0 && lightFromName) light = IndexedName(child->GetName(), L"light_", m_lightButtons.size());
        if (light >= 0) {
            m_lightButtons[size_t(light)] = button;
            button->SetLightColor(kWhite, kFullLevel, true);
        }
    }
}

// --- Lighting ----------------------------------------------------------------

int CCorvaneUSBDevice::StepBreathing() { return m_leds.StepBreathing(CurrentLightSetting()); }
int CCorvaneUSBDevice::StepBreathingPalette() { return m_leds.StepBreathingPalette(CurrentLightSetting()); }
int CCorvaneUSBDevice::StepStatic() { return m_leds.StepStatic(CurrentLightSetting()); }
int CCorvaneUSBDevice::StepSpectrum() { return m_leds.StepSpectrum(CurrentLightSetting()); }
int CCorvaneUSBDevice::StepFlash() {
    return m_leds.StepFlash(CurrentLightSetting(), PassTime().value_or(win::GetTickCount()));
}
int CCorvaneUSBDevice::StepFlashPalette() {
    return m_leds.StepFlashPalette(CurrentLightSetting(), PassTime().value_or(win::GetTickCount()));
}
int CCorvaneUSBDevice::StepLightsOff() { return m_leds.StepLightsOff(); }

void CCorvaneUSBDevice::SetWindowActive(int active) {
    m_nWindowActive.store(active);
    if (!active) return;
    WakeLightThreads();
    if (m_pDeviceOption) m_pDeviceOption->ResumeFrameTimer();
}

void CCorvaneUSBDevice::SetPageShown(bool shown) {
    if (m_pageShown.exchange(shown) != shown && shown) WakeLightThreads();
}

int CCorvaneUSBDevice::SendLedFrame() {
    if (!m_nLightingEnabled.load()) return 0;
    const int count = std::min(int(m_lightButtons.size()), m_leds.GetLedCount());
    for (int i = 0; i < count; ++i) {
        CDeviceKeyButtonUI* button = m_lightButtons[size_t(i)];
        if (!button || !button->IsVisible()) continue;
        const LedColor led = m_leds.GetLed(i);
        button->SetLightColor(KeyButtonColorWord(led), led.brightness, true);
    }
    return count;
}

void CCorvaneUSBDevice::StreamLedFrame() {}

void CCorvaneUSBDevice::SetLedColor(int index, uint32_t packed) { m_leds.SetLedColor(index, packed); }

uint32_t CCorvaneUSBDevice::GetLedColor(int index) { return m_leds.GetLedColor(index); }

void CCorvaneUSBDevice::FadeLedState(int led, int mode) { m_leds.FadeLedState(led, mode); }
void CCorvaneUSBDevice::IgniteRingLeds() { m_leds.IgniteRingLeds(); }
void CCorvaneUSBDevice::RotateRing(int flag) { m_leds.RotateRing(flag != 0); }
void CCorvaneUSBDevice::ClearFadeState() { m_leds.ClearFadeState(); }

void CCorvaneUSBDevice::SetLightSetting(LightSetting setting) {
    std::lock_guard<std::mutex> guard(m_lightSettingLock);
    m_lightSetting = setting;
}

void CCorvaneUSBDevice::SetAudioLightInfo(AudioLightSetting setting) {
    {
        std::lock_guard<std::mutex> guard(m_lightSettingLock);
        m_audioLightSetting = setting;
    }
    if (m_pLightControl) m_pLightControl->SetAudioLightInfo(setting);
}

AudioLightSetting CCorvaneUSBDevice::GetAudioLightInfo(int takeColor) {
    if (!m_pLightControl) return CurrentAudioLightSetting();
    const AudioLightSetting read = m_pLightControl->GetAudioLightInfo(takeColor);
    std::lock_guard<std::mutex> guard(m_lightSettingLock);
    m_audioLightSetting = read;
    return read;
}

// --- Tabs and keys -----------------------------------------------------------

void CCorvaneUSBDevice::SelectFunctionTab(int code) {
    m_nFunctionTab = code;
    if (!m_pFunctionSwitch) m_pFunctionSwitch = AsTabLayout(FindSubControl(L"device_function_switch"));
    if (!m_pKeyFunctionSwitch) m_pKeyFunctionSwitch = AsTabLayout(FindSubControl(L"device_key_function_switch"));
    if (!m_pFunctionSwitch || !m_pKeyFunctionSwitch) return;
    const TabPages pages = TabPagesFor(code, m_nDeviceType);
    m_pFunctionSwitch->SelectItem(pages.function);
    if (pages.keyFunction != kUnchanged) m_pKeyFunctionSwitch->SelectItem(pages.keyFunction);
}

int CCorvaneUSBDevice::GetFunctionTab() { return m_nFunctionTab; }

// The key being edited is framed on the picture, and only that one.
void CCorvaneUSBDevice::SelectKey(int key) {
    for (size_t i = 0; i < m_keyButtons.size(); ++i) {
        if (m_keyButtons[i]) m_keyButtons[i]->SetMarked(int(i) == key);
    }
    m_nSelectedKey = key;
}

void CCorvaneUSBDevice::SetDeviceIndex(int index) { m_nDeviceIndex = index; }

int CCorvaneUSBDevice::GetDeviceIndex() { return m_nDeviceIndex; }

void CCorvaneUSBDevice::SetExtraKeyMap(std::map<int, int> map) { m_extraKeyMap = std::move(map); }

// --- Committing a change -----------------------------------------------------

int CCorvaneUSBDevice::WriteCurrentProfileBlock() {
    return WriteProfileBlock(0, 0, 1, ScreenWidth.load(), ScreenHeight.load());
}

void CCorvaneUSBDevice::SaveAndWriteProfile() {
    SaveProfile();
    WriteCurrentProfileBlock();
}

void CCorvaneUSBDevice::CommitLighting(const LightSetting& setting, const std::function<void()>& showOnPage) {
    SetLightSetting(setting);
    SaveProfile();
    ApplyLightProfile();
    if (showOnPage) showOnPage();
    WriteCurrentProfileBlock();
}

// --- Neutral family operations ------------------------------------------------

int CCorvaneUSBDevice::ApplyLightProfile() { return 0; }
void CCorvaneUSBDevice::OnConnected() {}
void CCorvaneUSBDevice::ReadActiveProfile() {}
void CCorvaneUSBDevice::OnTimer1003() {}
void CCorvaneUSBDevice::OnTimer1004() {}
void CCorvaneUSBDevice::PollStatus() {}
int CCorvaneUSBDevice::CheckDongleLink() { return 1; }
int CCorvaneUSBDevice::LoadProfile(int) { return 0; }
void CCorvaneUSBDevice::RefreshPage(int) {}
void CCorvaneUSBDevice::CheckMacroAssignments() {}
void CCorvaneUSBDevice::RestoreDefaultProfile() {}
std::vector<int> CCorvaneUSBDevice::GetUsedMacros() { return {}; }
int CCorvaneUSBDevice::WriteKeyAssignments(int, const std::vector<KeyListEntry>&) { return 0; }
int CCorvaneUSBDevice::WriteCurrentKeyAssignments(int) { return 0; }
int CCorvaneUSBDevice::WriteMacros(const std::vector<int>&) { return 0; }
int CCorvaneUSBDevice::WriteProfileBlock(int, int, int, int, int) { return 0; }
void CCorvaneUSBDevice::LoadNameLists() {}

void CCorvaneUSBDevice::LoadLightAndMacroNames(bool areaNeedsDefaults) {
    const CDuiString folder = GetUserDataFolder();
    m_macroNames.clear();
    if (const auto macros = LoadMacroList(folder))
        for (const MacroInfo& m : *macros) m_macroNames.push_back(Utf8ToDuiString(m.name));

    const Json::Value lights = CJsonFileUtil::LoadJson(GetDefaultDataFolder() + kDefaultLightFile);
    const bool defaults = ReadLightNames(lights, "DefaultLightName", m_nDeviceIndex, m_defaultLightNames);
    if (defaults) {
        m_defaultLightValues.clear();
        m_defaultLightVisible.clear();
        for (const Json::Value& e : JsonElement(JsonMember(lights, "DefaultLightName"), m_nDeviceIndex)) {
            m_defaultLightValues.push_back(JsonInt(e, "value"));
            m_defaultLightVisible.push_back(JsonBool(e, "visible") ? 1 : 0);
        }
    }
    if (defaults || !areaNeedsDefaults) ReadLightNames(lights, "AreaLightName", m_nDeviceIndex, m_areaLightNames);
    const Json::Value user = CJsonFileUtil::LoadJson(folder + m_sLightListName + L".config");
    ReadLightNames(user, "LightInfo", m_nDeviceIndex, m_userLightNames);
}
void CCorvaneUSBDevice::UpdateProfilePaths() {}
CDuiString CCorvaneUSBDevice::GetProfilePath() { return {}; }
void CCorvaneUSBDevice::SaveProfile() {}
void CCorvaneUSBDevice::SetAudioSpectrum(const int32_t*, int) {}
void CCorvaneUSBDevice::SetAudioLevels(const int32_t*, int) {}
void CCorvaneUSBDevice::OpenEventChannel(const std::wstring&, int) {}
void CCorvaneUSBDevice::ReopenEventChannel(const std::wstring&, int) {}
void CCorvaneUSBDevice::CloseEventChannel(int) {}

void RegisterCorvaneUSBDevice() {
    CControlFactory::GetInstance()->RegistControl(L"CCorvaneUSBDevice", &CCorvaneUSBDevice::CreateControl);
}
