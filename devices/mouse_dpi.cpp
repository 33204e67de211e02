#include "devices/mouse_dpi.h"

#include <algorithm>
#include <climits>
#include <cwctype>

#include "link/device_blocks.h"

MouseDpiScale MouseDpiScale::Make(int step, int base, int sliderMax, uint16_t sensor) {
    MouseDpiScale s;
    // A mouse that reports no step (or a page without device information)
    // would make every conversion divide by zero.
    s.step = step > 0 ? step : 1;
    s.base = std::max(base, 0);
    s.sliderMax = std::max(sliderMax, 0);
    s.sensor = sensor;
    return s;
}

MouseDpiScale MouseDpiScale::FromInfo(const DeviceInfoBlock& info) {
    return Make(info.DpiStep(), info.DpiBase(), info.DpiSliderMax(), info.SensorModel());
}

int MouseDpiFromPosition(int position, const MouseDpiScale& s) {
    const int step = s.step > 0 ? s.step : 1;
    if (s.sensor == MouseDpiScale::kCoarseSensor && position > MouseDpiScale::kFineSteps)
        return step * MouseDpiScale::kFineSteps + (position - MouseDpiScale::kFineSteps) * MouseDpiScale::kCoarseDpi +
               s.base;
    return position * step + s.base;
}

int MouseDpiPositionFromValue(long long value, const MouseDpiScale& s) {
    const long long step = s.step > 0 ? s.step : 1;
    const long long base = s.base;
    value = std::max(value, base);
    const long long fineTop = step * MouseDpiScale::kFineSteps + base;
    long long position;
    if (s.sensor == MouseDpiScale::kCoarseSensor && value > fineTop)
        position = MouseDpiScale::kFineSteps + (value - fineTop) / MouseDpiScale::kCoarseDpi;
    else
        position = (value - base) / step;
    if (s.sliderMax > 0) position = std::min<long long>(position, s.sliderMax);
    return int(std::min<long long>(position, INT_MAX));
}

long long LeadingDecimal(const wchar_t* text) {
    if (!text) return 0;
    while (*text && std::iswspace(wint_t(*text))) ++text;
    bool negative = false;
    if (*text == L'+' || *text == L'-') negative = *text++ == L'-';
    long long value = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        const int digit = int(*text - L'0');
        if (value > (LLONG_MAX - digit) / 10) {
            value = LLONG_MAX;
            while (*text >= L'0' && *text <= L'9') ++text;
            break;
        }
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

int MouseDpiPositionFromText(const wchar_t* text, const MouseDpiScale& scale) {
    return MouseDpiPositionFromValue(LeadingDecimal(text), scale);
}
