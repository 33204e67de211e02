#pragma once
// The two reply blocks that several device pages read: the device information
// (reply of CMD_READ_INFO) and the status (reply of CMD_READ_STATUS at 0).

#include <cstdint>

struct DeviceInfoBlock {
    static constexpr uint32_t kSize = 37;
    uint8_t bytes[kSize] = {};

    // Keyboard: number of keys (LEDs); 3 x this is the key-table data size.
    uint8_t KeyCount() const { return bytes[5]; }
    // Macro capacity in units of 128 bytes.
    uint8_t MacroCapacityUnits() const { return bytes[6]; }
    uint32_t MacroCapacityBytes() const { return static_cast<uint32_t>(bytes[6]) * 128u; }
    // Mouse: sensor model, DPI step per slider unit, highest slider value, DPI at 0.
    uint16_t SensorModel() const { return Word(9); }
    uint8_t DpiStep() const { return bytes[11]; }
    uint16_t DpiSliderMax() const { return Word(12); }
    uint16_t DpiBase() const { return Word(14); }
    // Keyboard screen.
    uint8_t ScreenWidth() const { return bytes[31]; }
    uint8_t ScreenHeight() const { return bytes[32]; }
    uint8_t FrameCountExtra() const { return bytes[34]; }
    uint8_t MaxFrames() const { return bytes[35]; }
    bool TransposeFrames() const { return bytes[36] != 0; }

private:
    uint16_t Word(uint32_t at) const {
        return static_cast<uint16_t>(bytes[at] | (static_cast<uint16_t>(bytes[at + 1]) << 8));
    }
};

struct DeviceStatusBlock {
    static constexpr uint32_t kSize = 6;
    uint8_t bytes[kSize] = {};

    uint8_t BatteryPercent() const { return bytes[0]; }
    // 0 powered, 1 charging, 2 on battery.
    uint8_t ChargeState() const { return bytes[1]; }
    // Readers replace it with their channel's receiver mode (1 receiver, 0 cable).
    uint8_t WirelessLink() const { return bytes[3]; }
    void SetWirelessLink(uint8_t link) { bytes[3] = link; }
    // Forwarded to the main window with WM_DEVICE_STATUS.
    uint8_t StatusCode() const { return bytes[4]; }
    // Mouse pads: 1 iPhone, 2 Samsung, 3 other, anything else none.
    uint8_t PhoneType() const { return bytes[5]; }
};

static_assert(sizeof(DeviceInfoBlock) == DeviceInfoBlock::kSize);
static_assert(sizeof(DeviceStatusBlock) == DeviceStatusBlock::kSize);
