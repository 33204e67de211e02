#include "keyboard/corvane_keyboard_device.h"

#include <cstdio>

#include "keyboard/key_position_table.h"
#include "link/device/keyboard_messages.h"
#include "pages/device_profile_ui.h"
#include "pages/key_set_control_ui.h"
#include "pages/light_control_ui.h"
#include "pages/macro_control_ui.h"
#include "platform/os/message_queue.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/paint_manager.h"
#include "shell/controls/device_key_button_ui.h"
#include "shell/controls/process_state.h"

using namespace DuiLib;

namespace {

constexpr int kKeysTab = 2;
constexpr int kLightingTab = 1;
// The child of a layout picture that the keys tab disables.
constexpr int kKeysTabDisabledChild = 5;
constexpr int kFrameIntervalMax = 65535;
// A keyboard's brightness and speed sliders reach 5.
constexpr int kLightLevelMax = 5;

}  // namespace

CCorvaneKeyboardDevice::CCorvaneKeyboardDevice() {
    m_nDeviceType = kTypeKeyboard;
    for (auto& led : m_streamLedMap) led.store(kNoKeyPosition);
    m_positions.keyIndex.fill(kNoKeyPosition);
    m_positions.ledIndex.fill(kNoKeyPosition);
    PointProfileDocument(m_profile);
    m_eventListener.SetHandlers([this](int, uint16_t code) { HandleEventCode(code); },
                                [this](uint16_t code) { OnRelayedEvent(code); }, [this] { ReadActiveProfile(); });
}

// The threads use the page: they end before any of it goes.
CCorvaneKeyboardDevice::~CCorvaneKeyboardDevice() {
    StopLightThreads();
    CloseEventChannel(kEventWired);
    CloseEventChannel(kEventReceiver);
    StopEventListener(kEventWired);
    StopEventListener(kEventReceiver);
}

CControlUI* CCorvaneKeyboardDevice::CreateControl() { return CreatePage<CCorvaneKeyboardDevice>(); }

LPCTSTR CCorvaneKeyboardDevice::GetClass() const { return kClassName; }

LPVOID CCorvaneKeyboardDevice::GetInterface(LPCTSTR pstrName) {
    if (DuiCompareNoCase(pstrName, kClassName) == 0) return this;
    return CCorvaneUSBDevice::GetInterface(pstrName);
}

// The program's one language index: the main window sets it at start and on
// every language change, and a page built later shows that layout.
void CCorvaneKeyboardDevice::SetLanguageIndex(int index) { UiLanguageIndex.store(index); }
int CCorvaneKeyboardDevice::GetLanguageIndex() { return UiLanguageIndex.load(); }

// --- Page ----------------------------------------------------------------------

namespace {

CContainerUI* LayoutPicture(CContainerUI& page, int index) {
    wchar_t name[64];
    std::swprintf(name, 64, L"%ls%d", L"keyboard_device_key_light_", index);
    CControlUI* c = page.FindSubControl(name);
    return c ? static_cast<CContainerUI*>(c->GetInterface(L"Container")) : nullptr;
}

}  // namespace

void CCorvaneKeyboardDevice::BuildDevicePage() {
    if (ClearWithoutLayout()) return;
    CContainerUI* first = LayoutPicture(*this, 0);
    BindKeyButtons(first, true);
    if (!m_pSelectPanel) m_pSelectPanel = first;
    if (!m_pSelectPanel) return;

    ShowKeyLayout(GetLanguageIndex());
    BindProfileBar(kTypeKeyboard);
    BindLightControl(kTypeKeyboard, kLightLevelMax);
    const CMacroControlUI* macros = BindMacroControl();
    m_pKeySetControl = BindKeySetControl(kTypeKeyboard, macros);
    if (auto* edit = FindAs<CEditUI>(L"frame_interval_time_edit", L"Edit")) edit->SetMinMaxNumber(0, kFrameIntervalMax);
    if (auto* slider = FindAs<CSliderUI>(L"key_shake_slider", L"Slider")) slider->SetMaxValue(m_keyDebounceMax);
    if (auto* edit = FindAs<CEditUI>(L"key_shake_edit", L"Edit")) edit->SetMinMaxNumber(0, kKeyDebounceMax);
}

void CCorvaneKeyboardDevice::ShowKeyLayout(int index) {
    if (index < 0 || index >= kLayoutCount) index = 0;
    CContainerUI* chosen = nullptr;
    for (int i = 0; i < kLayoutCount; ++i) {
        CContainerUI* picture = LayoutPicture(*this, i);
        if (!picture) continue;
        picture->SetVisible(i == index);
        if (i == index) chosen = picture;
    }
    if (!chosen) return;
    BindKeyButtons(chosen, true);
    if (m_nFunctionTab == kKeysTab && chosen->GetCount() > kKeysTabDisabledChild)
        chosen->GetItemAt(kKeysTabDisabledChild)->SetEnabled(false);
    m_pSelectPanel = chosen;
}

void CCorvaneKeyboardDevice::SelectFunctionTab(int code) {
    CCorvaneUSBDevice::SelectFunctionTab(code);
    if (kFnKeyPosition >= m_keyButtons.size() || !m_keyButtons[kFnKeyPosition]) return;
    // The FN key cannot be reassigned: it is not offered on the keys tab.
    if (code == kLightingTab) m_keyButtons[kFnKeyPosition]->SetEnabled(true);
    if (code == kKeysTab) m_keyButtons[kFnKeyPosition]->SetEnabled(false);
}

int CCorvaneKeyboardDevice::SendLedFrame() {
    if (!IsLightingEnabled()) return 0;
    if (m_nFunctionTab == kLightingTab) return CCorvaneUSBDevice::SendLedFrame();
    // Away from the lighting tab the keys show no light.
    const int count = std::min(int(m_lightButtons.size()), m_leds.GetLedCount());
    for (int i = 0; i < count; ++i) {
        CDeviceKeyButtonUI* button = m_lightButtons[size_t(i)];
        if (button && button->IsVisible()) button->SetLightColor(0, 0, true);
    }
    return count;
}

LightSetting CCorvaneKeyboardDevice::GetLightSetting() { return CurrentLightSetting(); }

// --- Connection ------------------------------------------------------------------

void CCorvaneKeyboardDevice::OnConnected() {
    ReadDeviceTables();
    LoadProfile(1);
    int profile = 0;
    ReadProfileBlock(&profile);
    RefreshPage(1);
    StartLightThreads();
    WriteCurrentProfileBlock();
    win::SendMessageW(m_hMainWnd, WM_START_CLOCK_SYNC, 0, 0);
    WriteClock(0);
}

void CCorvaneKeyboardDevice::ReadActiveProfile() {
    if (m_resetPending.load()) {
        // The keyboard went back to its factory state: so does the profile.
        if (m_pProfileBar) m_pProfileBar->ResetSelectedProfile();
        LoadProfile(1);
        m_resetPending.store(0);
    }
    int profile = 0;
    ReadProfileBlock(&profile);
    RefreshPage(1);
}

void RegisterCorvaneKeyboardDevice() {
    CControlFactory::GetInstance()->RegistControl(CCorvaneKeyboardDevice::kClassName,
                                                  &CCorvaneKeyboardDevice::CreateControl);
}
