// Custom key colours: keys painted one by one with the lighting page's colour
// in the custom-colour mode, stored per colour group in the profile and sent
// to the keyboard's colour area.
#include <algorithm>
#include <array>
#include <vector>

#include "keyboard/corvane_keyboard_device.h"
#include "pages/light_control_ui.h"

namespace {

constexpr uint8_t kCustomColorMode = 19;
constexpr size_t kColorBufferBytes = 512;  // the colour area: 3 bytes per LED
constexpr uint32_t kColorPageSize = 512;
// Painting one of these also paints the other: one key, two LEDs.
constexpr int kTwinFirst = 55;
constexpr int kTwinSecond = 62;
// The LED of this position as the keyboard's colour area knows it (the
// position's own map entry is right for the stream, not for this area).
constexpr int kPaintFixPosition = 108;
constexpr uint8_t kPaintFixLed = 85;
constexpr uint32_t kFailedSendPauseMs = 200;

}  // namespace

int CCorvaneKeyboardDevice::WriteColorBuffer(const std::array<uint8_t, 512>& buffer) {
    const uint32_t length = uint32_t(std::min<int>(m_deviceInfo.KeyCount(), kMaxDeviceKeys)) * 3;
    // Always page 0: the keyboard keeps its working colours there, whatever
    // the custom-colour group; reading a group back takes the group's page.
    return SendBracketed([&] { return m_commandChannel.WriteCustomColors(buffer.data(), length, 0, kColorPageSize); });
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
    if (m_runningMode.load() != kCustomColorMode) return 0;
    std::array<uint8_t, kColorBufferBytes> buffer{};
    for (int i = 0; i < m_leds.GetLedCount() && size_t(i) < kKeyPositionCount; ++i) {
        const int j = m_streamLedMap[size_t(i)].load();
        if (j >= kNoKeyPosition || size_t(3 * j + 2) >= buffer.size()) continue;
        const LedColor led = m_leds.GetLed(i);
        buffer[size_t(3 * j)] = led.r;
        buffer[size_t(3 * j + 1)] = led.g;
        buffer[size_t(3 * j + 2)] = led.b;
    }
    // The light thread sends these; its pause ends early when it is stopped.
    if (WriteColorBuffer(buffer) != 1) m_lightTicks.load()->Pause(m_lightThread.stopEvent, kFailedSendPauseMs);
    return 0;
}
