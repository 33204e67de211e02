// The keyboard's custom colours (mode 19): groups of one colour per key
// position kept in the profile document and on the keyboard. UI thread; the
// LED vector is written under the page's effect lock.
#include <algorithm>
#include <array>
#include <vector>

#include "keyboard/corvane_keyboard_device.h"
#include "keyboard/keyboard_effect_paint.h"
#include "link/device_packet.h"
#include "pages/light_control_ui.h"
#include "platform/os/clock.h"

using namespace keyboard_fx;

namespace {

constexpr uint8_t kCustomColorMode = 19;
constexpr uint32_t kColorPageBytes = 512;
constexpr size_t kColorBufferBytes = 512;  // the colour area: 3 bytes per LED
// Painting one of these also paints the other: one key, two LEDs.
constexpr int kTwinFirst = 55;
constexpr int kTwinSecond = 62;
// The LED of this position as the keyboard's colour area knows it (the
// position's own map entry is right for the stream, not for this area).
constexpr int kPaintFixPosition = 108;
constexpr uint8_t kPaintFixLed = 85;
constexpr uint32_t kFailedSendPauseMs = 200;

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

int CCorvaneKeyboardDevice::WriteColorBuffer(const std::array<uint8_t, 512>& buffer) {
    const uint32_t length = uint32_t(std::min<int>(m_deviceInfo.KeyCount(), kMaxDeviceKeys)) * 3;
    // Always page 0: the keyboard keeps its working colours there, whatever
    // the custom-colour group; reading a group back takes the group's page.
    return SendBracketed([&] { return m_commandChannel.WriteCustomColors(buffer.data(), length, 0, kColorPageBytes); });
}

void CCorvaneKeyboardDevice::PaintCustomKey(int position) {
    const LightSetting setting = CurrentLightSetting();
    if (setting.mode != kCustomColorMode || position < 0 || position >= m_leds.GetLedCount()) return;
    for (int p : {position, position == kTwinFirst ? kTwinSecond : -1}) {
        if (p < 0 || p >= m_leds.GetLedCount()) continue;
        LedColor led = m_leds.GetLed(p);
        led.r = setting.red;
        led.g = setting.green;
        led.b = setting.blue;
        m_leds.SetLedColor(p, PackLedColor(led));
    }
    const int group = m_pLightControl ? m_pLightControl->GetCustomMode() : -1;
    if (group == -1) return;
    std::vector<LedColor> colors;
    for (int i = 0; i < m_leds.GetLedCount(); ++i) colors.push_back(m_leds.GetLed(i));
    m_profile.SetCustomLightColors(colors, group);
    SaveProfile();

    std::array<uint8_t, kColorBufferBytes> buffer{};
    for (int i = 0; i < m_leds.GetLedCount() && size_t(i) < m_positions.ledIndex.size(); ++i) {
        // The fix lives in this buffer only: the page's map, which the stream
        // and the other colour writes use, stays as the keyboard gave it.
        const int j = i == kPaintFixPosition ? kPaintFixLed : m_positions.ledIndex[size_t(i)];
        if (j >= kNoKeyPosition || size_t(3 * j + 2) >= buffer.size() || (i != 0 && j == 0)) continue;
        const LedColor led = m_leds.GetLed(i);
        buffer[size_t(3 * j)] = led.r;
        buffer[size_t(3 * j + 1)] = led.g;
        buffer[size_t(3 * j + 2)] = led.b;
    }
    WriteColorBuffer(buffer);
}

int CCorvaneKeyboardDevice::SendCustomColors() {
    if (CurrentLightSetting().mode != kCustomColorMode) return 0;
    std::array<uint8_t, kColorBufferBytes> buffer{};
    for (size_t i = 0; i < kKeyPositionCount && int(i) < m_leds.GetLedCount(); ++i) {
        const size_t j = m_positions.ledIndex[i];
        if (j >= kNoKeyPosition || 3 * j + 2 >= buffer.size()) continue;
        const LedColor led = m_leds.GetLed(int(i));
        buffer[3 * j] = led.r;
        buffer[3 * j + 1] = led.g;
        buffer[3 * j + 2] = led.b;
    }
    // The light thread sends these; its pause ends early when it is stopped.
    if (WriteColorBuffer(buffer) != 1) m_lightTicks.load()->Pause(m_lightThread.stopEvent, kFailedSendPauseMs);
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
