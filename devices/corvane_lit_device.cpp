// The page, profile, block exchange and status read that the headset and the
// mouse pad share.
#include "devices/corvane_lit_device.h"

#include "link/device/keyboard_messages.h"
#include "link/basic_profiledata.h"
#include "link/json_read.h"
#include "link/profile_file.h"
#include "link/text_encoding.h"
#include "pages/light_control_ui.h"
#include "pages/macro_files.h"
#include "platform/os/message_queue.h"
#include "platform/ui/paint_manager.h"
#include "shell/controls/mp_device_power_ui.h"

using namespace DuiLib;

CCorvaneLitDevice::CCorvaneLitDevice(int deviceType, LitEffectShape shape, const wchar_t* pictureName)
    : m_pictureName(pictureName), m_effects(m_leds, shape) {
    m_nDeviceType = deviceType;
}

// The threads use the page: they end before any of it goes.
CCorvaneLitDevice::~CCorvaneLitDevice() {
    StopLightThread();
    CloseEventChannel();
    StopWorker(m_listener, win::kListenerStopBoundMs, "event listener", true);
}

LPVOID CCorvaneLitDevice::GetInterface(LPCTSTR pstrName) {
    if (DuiCompareNoCase(pstrName, L"CorvaneLitDevice") == 0) return this;
    return CCorvaneUSBDevice::GetInterface(pstrName);
}

// --- Page ----------------------------------------------------------------------

void CCorvaneLitDevice::BuildDevicePage() {
    if (ClearWithoutLayout()) return;
    CControlUI* found = FindSubControl(m_pictureName);
    auto* picture = found ? static_cast<CContainerUI*>(found->GetInterface(L"Container")) : nullptr;
    if (!picture) return;
    BindKeyButtons(picture, true);
    if (!m_pSelectPanel) m_pSelectPanel = picture;
    BindProfileBar(m_nDeviceType);
    BindLightControl(m_nDeviceType, kLightLevelMax);
    BindPanels();
}

void CCorvaneLitDevice::LoadNameLists() { LoadLightAndMacroNames(false); }

// --- Profile -------------------------------------------------------------------

int CCorvaneLitDevice::ApplyLightProfile() {
    CBasicProfiledata& document = Document();
    const LightSetting s = document.GetLightInfo();
    CCorvaneUSBDevice::SetLightSetting(s);
    HeadsetLightBlock block = GetLightBlock();
    block[light_block::kMode] = s.mode;
    block[light_block::kBrightness] = s.brightness;
    block[light_block::kSpeed] = s.speed;
    block[light_block::kColorful] = s.colorful;
    block[light_block::kRed] = s.red;
    block[light_block::kGreen] = s.green;
    block[light_block::kBlue] = s.blue;
    SetLightBlock(block);
    {
        // The effect lock first, as on the light thread's passes: the other
        // order could leave both threads waiting for each other.
        win::CriticalSectionGuard effects(m_effectLock);
        win::CriticalSectionGuard keys(KeyEffectLock);
        m_keyEffects = document.GetLightList();
        m_keyRenderer.Reset(m_keyEffects);
        m_keyRenderer.Render(m_leds, m_keyEffects, m_ticks.load()->Now());
    }
    document.LoadLightList(document.GetLightListPath());
    {
        win::CriticalSectionGuard list(EffectListLock);
        m_effectList = document.GetCustomEffect();
        m_nEffectListCount = int(m_effectList.size());
        m_nEffectListIndex = 0;
    }
    return 1;
}

int CCorvaneLitDevice::LoadProfile(int) {
    UpdateProfilePaths();
    Document().LoadProfile(GetProfilePath());
    ApplyLightProfile();
    LoadOwnSettings();
    return 1;
}

void CCorvaneLitDevice::RefreshPage(int) {
    LoadNameLists();
    if (m_pLightControl) m_pLightControl->SetLightInfo(CurrentLightSetting());
    RefreshOwnPanels();
}

void CCorvaneLitDevice::RestoreDefaultProfile() {
    const CDuiString defaults = GetDefaultProfilePath();
    // Without a readable default entry the user's profile stays as it is.
    const ProfileFileContent file = ReadProfileFile(defaults, 0);
    if (file.state != ProfileFileState::kReadable || DeviceEntryOf(file.root, 0).isNull()) return;
    Document().LoadProfile(defaults);
    ApplyLightProfile();
    LoadOwnSettings();
    SaveProfile();
    RefreshPage(1);
}

// --- Light block -------------------------------------------------------------------

HeadsetLightBlock CCorvaneLitDevice::GetLightBlock() const {
    std::lock_guard lock(m_blockLock);
    return m_lightBlock;
}

void CCorvaneLitDevice::SetLightBlock(const HeadsetLightBlock& block) {
    {
        std::lock_guard lock(m_blockLock);
        m_lightBlock = block;
    }
    m_blockSpeed.store(block[light_block::kSpeed]);
    m_blockMode.store(block[light_block::kMode]);
    NoteModeChange();
}

void CCorvaneLitDevice::NoteModeChange() {
    const uint8_t mode = m_blockMode.load();
    if (mode == m_seededMode) return;
    // The ring effects start from one lit place whenever the mode changes.
    win::CriticalSectionGuard lock(m_effectLock);
    m_seededMode = mode;
    m_effects.SeedRing();
}

int CCorvaneLitDevice::ReadProfileBlock(int* profile) {
    m_commandChannel.SetSyncFlag(0);
    if (!m_commandChannel.IsOpen()) return 0;
    uint8_t active = 0;
    if (m_commandChannel.ReadParamBlock(&active, 1, 0) != 1) return 0;
    uint8_t buffer[kBlockReadBytes] = {};
    if (m_commandChannel.ReadParamBlock(buffer, kBlockReadBytes, active * kProfileStride) != 1) return 0;
    buffer[light_block::kProfile] = active;
    HeadsetLightBlock raw{};
    std::copy(buffer, buffer + raw.size(), raw.begin());
    SetLightBlock(light_block::FromDevice(raw, m_defaultLightValues));
    if (profile) *profile = active;
    return 1;
}

int CCorvaneLitDevice::WriteProfileBlock(int profile, int, int, int, int) {
    const HeadsetLightBlock device = light_block::ToDevice(GetLightBlock(), m_defaultLightValues);
    if (m_commandChannel.IsOpen()) m_commandChannel.BeginSession();
    m_commandChannel.WriteParamBlock(device.data(), uint32_t(device.size()), uint32_t(profile) * kProfileStride);
    m_commandChannel.EndSession();
    return 1;
}

void CCorvaneLitDevice::ReadActiveProfile() {
    int profile = 0;
    // A block that could not be read tells the main window nothing.
    if (!ReadProfileBlock(&profile)) return;
    if (m_hMainWnd) win::SendMessageW(m_hMainWnd, WM_DEVICE_PROFILE_INDEX, win::WPARAM(profile), 0);
}

void CCorvaneLitDevice::PollStatus() { ReadPowerStatus(); }

void CCorvaneLitDevice::ReadPowerStatus() {
    if (!m_commandChannel.IsOpen()) return;
    DeviceStatusBlock status;
    if (m_commandChannel.ReadStatus(status.bytes, DeviceStatusBlock::kSize, 0) != 1) return;
    status.SetWirelessLink(m_commandChannel.IsReceiverMode() ? 1 : 0);
    m_lastStatus = status;
    if (m_pPowerPanel) m_pPowerPanel->SetPowerInfo(status.bytes, int(DeviceStatusBlock::kSize));
    if (m_hMainWnd) win::SendMessageW(m_hMainWnd, WM_DEVICE_STATUS, status.StatusCode(), 0);
}

void CCorvaneLitDevice::IgniteRingLeds() {
    win::CriticalSectionGuard lock(m_effectLock);
    m_effects.IgniteRingLeds();
}
