#include "platform/hooks/input_vocabulary.h"

#include "platform/ui/x11/x11_keys.h"

namespace tavrik::hooks {
namespace {

constexpr std::uint32_t kVkLeftAlt = 0xA4;
constexpr std::uint32_t kVkRightAlt = 0xA5;
constexpr std::uint32_t kScanNumLock = 0x45;
constexpr std::uint32_t kScanRightShift = 0x36;
constexpr std::uint32_t kScanPause = 0xE11D;  // the make code's first part after the E1 prefix
constexpr std::int16_t kWheelDelta = 120;

struct LowLevelScan {
    std::uint32_t code = 0;
    bool extended = false;
};

// The low-level hook reports a few keys differently from their make codes.
LowLevelScan ToLowLevelScan(std::uint32_t scan) {
    if (scan == kScanPause) return {0x45, false};
    if (scan == kScanNumLock || scan == kScanRightShift) return {scan, true};
    if ((scan & 0xFF00) == 0xE000) return {scan & 0xFF, true};
    return {scan & 0xFF, false};
}

std::uint32_t HighWord(std::int16_t value) {
    return static_cast<std::uint32_t>(static_cast<std::uint16_t>(value)) << 16;
}

}  // namespace

KeyHookEvent ToKeyHookEvent(const InputEvent& event, std::uint32_t tick) {
    KeyHookEvent out;
    out.record.vkCode = x11::VirtualKeyFromKeysym(event.keysym);
    const LowLevelScan scan = ToLowLevelScan(x11::ScanCodeFromKeycode(event.detail));
    out.record.scanCode = scan.code;
    out.record.time = tick;
    const bool down = event.kind == InputKind::KeyDown;
    const bool altKey = out.record.vkCode == kVkLeftAlt || out.record.vkCode == kVkRightAlt;
    const bool alt = altKey || (event.state & kAltModifierMask) != 0;
    if (scan.extended) out.record.flags |= win::LLKHF_EXTENDED;
    if (alt) out.record.flags |= win::LLKHF_ALTDOWN;
    if (!down) out.record.flags |= win::LLKHF_UP;
    if (alt)
        out.message = down ? win::WM_SYSKEYDOWN : win::WM_SYSKEYUP;
    else
        out.message = down ? win::WM_KEYDOWN : win::WM_KEYUP;
    return out;
}

std::optional<MouseHookEvent> ToMouseHookEvent(const InputEvent& event) {
    MouseHookEvent out;
    out.record.x = event.rootX;
    out.record.y = event.rootY;
    const bool down = event.kind == InputKind::ButtonDown;
    switch (event.detail) {
        case 1:
            out.message = down ? win::WM_LBUTTONDOWN : win::WM_LBUTTONUP;
            break;
        case 2:
            out.message = down ? win::WM_MBUTTONDOWN : win::WM_MBUTTONUP;
            break;
        case 3:
            out.message = down ? win::WM_RBUTTONDOWN : win::WM_RBUTTONUP;
            break;
        case 4:  // wheel away from the user
        case 5:  // towards the user
            if (!down) return std::nullopt;
            out.message = win::WM_MOUSEWHEEL;
            out.record.mouseData = HighWord(event.detail == 4 ? kWheelDelta : -kWheelDelta);
            break;
        case 6:  // tilt left
        case 7:  // tilt right
            if (!down) return std::nullopt;
            out.message = win::WM_MOUSEHWHEEL;
            out.record.mouseData = HighWord(event.detail == 7 ? kWheelDelta : -kWheelDelta);
            break;
        case 8:  // back: the first extra button
        case 9:  // forward: the second
            out.message = down ? win::WM_XBUTTONDOWN : win::WM_XBUTTONUP;
            out.record.mouseData = HighWord(static_cast<std::int16_t>(event.detail == 8 ? 1 : 2));
            break;
        default:
            return std::nullopt;
    }
    return out;
}

std::vector<InputEvent> RepeatFolder::Feed(const InputEvent& event) {
    std::vector<InputEvent> due;
    if (held_) {
        const bool pair =
            event.kind == InputKind::KeyDown && event.detail == held_->detail && event.serverTime == held_->serverTime;
        if (!pair) due.push_back(*held_);
        held_.reset();
    }
    if (event.kind == InputKind::KeyUp)
        held_ = event;
    else
        due.push_back(event);
    return due;
}

std::vector<InputEvent> RepeatFolder::Flush() {
    std::vector<InputEvent> due;
    if (held_) due.push_back(*held_);
    held_.reset();
    return due;
}

}  // namespace tavrik::hooks
