#pragma once
// The conversions between a DPI slider position and the DPI value a mouse
// runs at, from the scale the mouse reports in its information block: DPI
// per slider position (the step), the DPI at position 0 (the base), the
// highest slider position and the sensor model. One sensor model runs in
// coarse steps of 200 DPI past position 48.

#include <cstdint>

struct DeviceInfoBlock;

struct MouseDpiScale {
    // The sensor whose positions above kFineSteps add kCoarseDpi each.
    static constexpr uint16_t kCoarseSensor = 0x3325;
    static constexpr int kFineSteps = 48;
    static constexpr int kCoarseDpi = 200;

    int step = 1;  // never 0: a step of 0 is taken as 1
    int base = 0;
    int sliderMax = 0;  // 0: not known (no device information yet)
    uint16_t sensor = 0;

    static MouseDpiScale FromInfo(const DeviceInfoBlock& info);
    static MouseDpiScale Make(int step, int base, int sliderMax, uint16_t sensor);
};

// The DPI a slider position stands for.
int MouseDpiFromPosition(int position, const MouseDpiScale& scale);

// The slider position of a DPI value: below the base it counts as the base;
// past the highest position (when known) it counts as the highest, so the
// edit, the slider and the stored stage agree.
int MouseDpiPositionFromValue(long long value, const MouseDpiScale& scale);

// The slider position of a DPI edit's text, read as a decimal integer the way
// a person types it (leading blanks and a sign allowed, reading stops at the
// first other character; an empty or non-numeric text reads 0).
int MouseDpiPositionFromText(const wchar_t* text, const MouseDpiScale& scale);

// The leading decimal integer of a text, saturated to the range of long long.
long long LeadingDecimal(const wchar_t* text);
