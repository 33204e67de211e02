// The keyboard's custom colours (mode 19): groups of one colour per key
// position kept in the profile document and on the keyboard. UI thread; the
// LED vector is written under the page's effect lock.
#include <algorithm>
#include <array>

#include "keyboard/corvane_keyboard_device.h"
#include "keyboard/keyboard_effect_paint.h"
#include "link/device_packet.h"
#include "pages/light_control_ui.h"
#include "platform/os/clock.h"

using namespace keyboard_fx;

namespace {

constexpr uint8_t kCustomColorMode = 19;
constexpr uint32_t kColorPageBytes = 512;
constexpr win::DWORD kFailedWritePauseMs = 200;

}  // namespace

int CCorvaneKeyboardDevice::StepCustomColors() {
    const uint8_t full = BrightnessLevelOf(CurrentLightSetting().brightness);
    for (int i = 0; i < kLeds; ++i) {
        LedColor led = m_leds.GetLed(i);
        led.brightness = full;
        Put(m_leds, i, led);
    }
    return kLeds;
}

int CCorvaneKeyboardDevice::SendCustomColors() {
    if (CurrentLightSetting().mode != kCustomColorMode) return 0;
    std::array<uint8_t, kColorPageBytes> colors{};
    for (size_t i = 0; i < kKeyPositionCount; ++i) {
        const size_t j = m_positions.ledIndex[i];
        if (j == kNoKeyPosition || 3 * j + 2 >= colors.size()) continue;
        const LedColor led = m_leds.GetLed(int(i));
        colors[3 * j] = led.r;
        colors[3 * j + 1] = led.g;
        colors[3 * j + 2] = led.b;
    }
    const uint32_t length = uint32_t(std::min<int>(m_deviceInfo.KeyCount(), kMaxDeviceKeys)) * 3;
    const int written = SendBracketed(
        [&] { return m_commandChannel.WriteCustomColors(colors.data(), length, 0, kColorPageBytes); });
    if (written != PROTOCOL_OK) win::Sleep(kFailedWritePauseMs);
    return 0;
}

namespace {

std::vector<LedColor> ShownColors(const LedState& leds) {
    std::vector<LedColor> colors;
    colors.reserve(kLeds);
    for (int i = 0; i < kLeds; ++i) colors.push_back(leds.GetLed(i));
    return colors;
}

void ShowColors(LedState& leds, const std::vector<LedColor>& colors) {
    for (int i = 0; i < kLeds; ++i) Put(leds, i, size_t(i) < colors.size() ? colors[size_t(i)] : LedColor{});
}

}  // namespace

void CCorvaneKeyboardDevice::LoadCustomColors() {
    const int group = m_profile.GetCustomLightGroupIndex();
    {
        win::CriticalSectionGuard lock(m_effectLock);
        ShowColors(m_leds, m_profile.GetCustomLightColors(group, kLeds));
    }
    if (m_pLightControl) m_pLightControl->SetCustomMode(group);
    SendCustomColors();
}

void CCorvaneKeyboardDevice::ReloadCustomColors() {
    {
        win::CriticalSectionGuard lock(m_effectLock);
        ShowColors(m_leds, m_profile.GetCustomLightColors(m_profile.GetCustomLightGroupIndex(), kLeds));
    }
    SendCustomColors();
}

void CCorvaneKeyboardDevice::SetCustomColorGroup(int group) {
    if (m_pLightControl) m_pLightControl->SetCustomMode(group);
    m_profile.SetCustomLightGroupIndex(group);
    m_runningGroup.store(uint8_t(group));
    SaveProfile();
}

void CCorvaneKeyboardDevice::FillCustomColors(int flag) {
    const LightSetting s = CurrentLightSetting();
    {
        win::CriticalSectionGuard lock(m_effectLock);
        for (int i = 0; i < kLeds; ++i) {
            const LedColor led = m_leds.GetLed(i);
            Put(m_leds, i, flag ? SettingColor(s, led.brightness) : LedColor{0, 0, 0, led.brightness});
        }
    }
    SendCustomColors();
    const int group = m_pLightControl ? m_pLightControl->GetCustomMode() : -1;
    if (group == -1) return;
    m_profile.SetCustomLightColors(ShownColors(m_leds), group);
    SaveProfile();
}

void CCorvaneKeyboardDevice::ReadDeviceCustomColors() {
    std::array<uint8_t, kColorPageBytes> colors{};
    const uint32_t length = uint32_t(std::min<int>(m_deviceInfo.KeyCount(), kMaxDeviceKeys)) * 3;
    const int read =
        m_commandChannel.ReadCustomColors(colors.data(), length, CurrentLightSetting().customGroup, kColorPageBytes);
    const int group = m_profile.GetCustomLightGroupIndex();
    win::CriticalSectionGuard lock(m_effectLock);
    // A failed read leaves the document's colours as they are: black in place
    // of unread colours would overwrite the user's.
    if (read == PROTOCOL_OK) {
        for (size_t i = 0; i < kKeyPositionCount && int(i) < kLeds; ++i) {
            const size_t k = m_positions.ledIndex[i];
            if (k == kNoKeyPosition || k >= size_t(kLeds)) continue;
            Put(m_leds, int(i), {colors[3 * k], colors[3 * k + 1], colors[3 * k + 2], 255});
        }
        m_profile.SetCustomLightColors(ShownColors(m_leds), group);
    }
    ShowColors(m_leds, m_profile.GetCustomLightColors(group, kLeds));
    SendCustomColors();
}
