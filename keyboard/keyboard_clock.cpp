#include "keyboard/keyboard_clock.h"

KeyboardClock MakeKeyboardClock(const win::SYSTEMTIME& t) {
    return {ToBcd(t.wSecond), ToBcd(t.wMinute), ToBcd(t.wHour), ToBcd(t.wDayOfWeek),
            ToBcd(t.wDay),    ToBcd(t.wMonth),  ToBcd(t.wYear)};
}

KeyboardClock LocalKeyboardClock() {
    win::SYSTEMTIME now;
    win::GetLocalTime(&now);
    return MakeKeyboardClock(now);
}
