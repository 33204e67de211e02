#include "link/device/device_trace.h"

#include <cstdarg>
#include <cwchar>
#include <string>

#include "platform/os/debug_trace.h"

void DeviceTrace(const wchar_t* format, ...) {
    if (format == nullptr || !win::IsDebugTraceEnabled()) return;
    wchar_t buffer[512];
    va_list args;
    va_start(args, format);
    const int n = std::vswprintf(buffer, sizeof(buffer) / sizeof(buffer[0]), format, args);
    va_end(args);
    if (n < 0) return;
    std::wstring line(buffer);
    line += L'\n';
    win::OutputDebugStringW(line.c_str());
}
