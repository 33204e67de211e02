#include "tools/devsim/keyboard_model.h"

#include "keyboard/key_position_table.h"
#include "tools/devsim/emulator.h"
#include "tools/devsim/table_packets.h"

#include <algorithm>
#include <cstring>

namespace tavrik::devsim {
namespace {

constexpr std::uint8_t kStatusFailed = 0xFF;
constexpr std::size_t kMacroHeader = 16;

constexpr std::size_t kFactoryKeys = 170;

// The keyboard's keys: the distinct defaults of the key positions, a plain key
// (0x20, 0, 0), then keys whose defaults (usages 0xA0 up) no position has.
std::vector<KeyFunction> FactoryDefaults() {
    std::vector<KeyFunction> out;
    const KeyFunction plain{0x20, 0, 0};
    for (const KeyFunction& f : KeyPositionTable)
        if (!(f == plain) && std::find(out.begin(), out.end(), f) == out.end()) out.push_back(f);
    out.push_back(plain);
    for (std::uint8_t usage = 0xA0; out.size() < kFactoryKeys; ++usage) out.push_back({0x20, 0, usage});
    return out;
}

// The keyboard's own key order: device key k holds distinct default (k * 7 + 3) mod n.
std::size_t DefaultOfDeviceKey(std::size_t k, std::size_t n) { return (k * 7 + 3) % n; }
// The LED of device key k, a permutation of 0..n-1.
std::uint8_t LedOfDeviceKey(std::size_t k, std::size_t n) { return static_cast<std::uint8_t>((k * 11 + 5) % n); }

bool IsBcd(std::uint8_t b) { return (b >> 4) <= 9 && (b & 0x0F) <= 9; }
int FromBcd(std::uint8_t b) { return (b >> 4) * 10 + (b & 0x0F); }

std::size_t Word(const std::uint8_t* p) { return p[0] | static_cast<std::size_t>(p[1]) << 8; }

}  // namespace

int FactoryKeyCount() { return static_cast<int>(FactoryDefaults().size()); }

std::uint8_t KeptByteMarker(int profile, std::size_t byte) {
    return static_cast<std::uint8_t>(0x80 + profile * 0x10 + byte % 0x10) ^ static_cast<std::uint8_t>(byte);
}

std::array<std::uint8_t, kKeyboardBlockSize> FactoryBlock(int profile) {
    std::array<std::uint8_t, kKeyboardBlockSize> b{};
    b[1] = static_cast<std::uint8_t>(1 + profile);  // mode code
    b[2] = 4;                                       // brightness
    b[3] = 2;                                       // speed code (speed 3)
    b[4] = 0;
    b[5] = 0;
    b[6] = static_cast<std::uint8_t>(0x20 * profile);
    b[7] = 0x80;
    b[8] = 0xFF;
    b[18] = 0;
    b[19] = 0;
    b[20] = 1;
    b[21] = 0;
    b[22] = 0;
    b[25] = 0;
    for (std::size_t i : kKeptBlockBytes) b[i] = KeptByteMarker(profile, i);
    b[43] = 100;  // frame interval 100 ms
    b[44] = 0;
    b[45] = 2;  // debounce
    return b;
}

void SeedKeyboardMemory(DeviceMemory& m) {
    const std::vector<KeyFunction> defaults = FactoryDefaults();
    const std::size_t n = defaults.size();
    m.info[5] = static_cast<std::uint8_t>(n);  // device keys (and LEDs)
    m.info[6] = 32;                            // macro capacity: 32 x 128 bytes
    m.info[31] = kKeyboardScreenWidth;
    m.info[32] = kKeyboardScreenHeight;
    m.info[34] = 0;
    m.info[35] = kKeyboardScreenFrames;  // most frames of an animation
    m.info[36] = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const KeyFunction& f = defaults[DefaultOfDeviceKey(k, n)];
        m.layout[3 * k] = f.code;
        m.layout[3 * k + 1] = f.param1;
        m.layout[3 * k + 2] = f.param2;
        m.ledMap[k] = LedOfDeviceKey(k, n);
    }
    for (int p = 0; p < kKeyboardProfiles; ++p) {
        const auto block = FactoryBlock(p);
        std::copy(block.begin(), block.end(), m.params.begin() + p * kKeyboardBlockStride);
    }
    m.params[0] = 0;  // active profile
    m.status[0] = 80;
    m.status[4] = 0x21;
}

KeyboardBlockView ViewBlock(const DeviceMemory& m, int profile) {
    KeyboardBlockView v;
    v.activeProfile = m.params[0];
    const std::size_t at = static_cast<std::size_t>(std::clamp(profile, 0, 255)) * kKeyboardBlockStride;
    std::copy(m.params.begin() + at, m.params.begin() + at + kKeyboardBlockSize, v.bytes.begin());
    return v;
}

std::vector<KeyFunction> ViewKeyMap(const DeviceMemory& m) {
    std::vector<KeyFunction> out;
    for (std::size_t k = 0; k < m.info[5] && 3 * k + 2 < 512; ++k)
        out.push_back({m.keyMap[3 * k], m.keyMap[3 * k + 1], m.keyMap[3 * k + 2]});
    return out;
}

std::optional<MacroTableView> ParseMacroTable(const std::uint8_t* t, std::size_t available, std::size_t capacity) {
    if (available < kMacroHeader || Word(t) != 0x55AA) return std::nullopt;
    const std::size_t total = Word(t + 2);
    const std::size_t count = Word(t + 4);
    if (total > capacity || total > available || total < kMacroHeader + 2 * count) return std::nullopt;
    MacroTableView view;
    view.totalLength = total;
    std::size_t expected = kMacroHeader + 2 * count;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = Word(t + kMacroHeader + 2 * i);
        // Records follow each other directly, in macro order.
        if (at != expected || at + 4 > total) return std::nullopt;
        const std::size_t events = Word(t + at);
        if (at + 4 + 4 * events > total) return std::nullopt;
        std::vector<std::array<std::uint8_t, 4>> list;
        for (std::size_t e = 0; e < events; ++e) {
            std::array<std::uint8_t, 4> ev;
            std::memcpy(ev.data(), t + at + 4 + 4 * e, 4);
            list.push_back(ev);
        }
        view.macros.push_back(std::move(list));
        expected = at + 4 + 4 * events;
    }
    if (expected != total) return std::nullopt;
    return view;
}

std::optional<MacroTableView> ViewMacros(const DeviceMemory& m) {
    return ParseMacroTable(m.macros.data(), m.macros.size(), static_cast<std::size_t>(m.info[6]) * 128);
}

std::optional<ClockView> DecodeClock(const std::uint8_t* b) {
    for (int i = 0; i < 7; ++i)
        if (!IsBcd(b[i])) return std::nullopt;
    ClockView c{FromBcd(b[0]), FromBcd(b[1]), FromBcd(b[2]), FromBcd(b[3]),
                FromBcd(b[4]), FromBcd(b[5]), FromBcd(b[6])};
    if (c.second > 59 || c.minute > 59 || c.hour > 23 || c.weekday > 6 || c.day < 1 || c.day > 31 || c.month < 1 ||
        c.month > 12)
        return std::nullopt;
    return c;
}

std::optional<ClockView> ViewClock(const DeviceMemory& m, int profile) {
    return DecodeClock(m.clock.data() + static_cast<std::size_t>(std::clamp(profile, 0, 255)) * kKeyboardBlockStride);
}

std::vector<std::uint8_t> ViewColorPage(const DeviceMemory& m, int page) {
    const std::size_t at = static_cast<std::size_t>(std::clamp(page, 0, 127)) * kKeyboardColorPage;
    return {m.colors.begin() + at, m.colors.begin() + at + kKeyboardColorPage};
}

std::vector<std::uint8_t> ViewLiveFrame(const DeviceMemory& m) {
    return {m.liveColors.begin(), m.liveColors.begin() + 3 * m.info[5]};
}

// The block byte naming the custom-colour group.
constexpr std::size_t kGroupByte = 25;

bool KeyboardCommand(DeviceMemory& m, const std::uint8_t* r, std::uint8_t* reply) {
    const std::uint8_t command = r[3];
    const std::size_t n = r[4];
    const std::size_t off = r[5] | (r[6] << 8);
    if (KeyboardScreenCommand(m, r, reply)) return true;
    if (command == 0x29 && n == 7) {
        if (!DecodeClock(r + 8)) {
            reply[7] = kStatusFailed;
        } else {
            std::memcpy(m.clock.data() + off, r + 8, n);
        }
        return true;
    }
    if (command == 0x0B && off + n <= kKeyboardColorPage) {
        // A write to page 0 sets the working colours and, as the firmware
        // keeps them, the page of the active block's custom-colour group.
        std::memcpy(m.colors.data() + off, r + 8, n);
        const std::size_t block = static_cast<std::size_t>(m.params[0]) * kKeyboardBlockStride;
        const std::size_t group = m.params[block + kGroupByte];
        const std::size_t at = group * kKeyboardColorPage + off;
        if (group != 0 && at + n <= m.colors.size()) std::memcpy(m.colors.data() + at, r + 8, n);
        return true;
    }
    if (command == 0x15) {
        const std::size_t capacity = static_cast<std::size_t>(m.info[6]) * 128;
        if (!StoreTablePacket(m.macros, off, n, r + 8, capacity)) reply[7] = kStatusFailed;
        return true;
    }
    return false;
}

// --- Actions -------------------------------------------------------------------

bool KeyboardModel::SwitchProfile(int profile) {
    if (profile < 0 || profile >= kKeyboardProfiles) return false;
    {
        auto lock = emulator_.Lock();
        emulator_.Memory().params[0] = static_cast<std::uint8_t>(profile);
    }
    return emulator_.SendEvent(static_cast<std::uint16_t>(0x1000 | profile));
}

bool KeyboardModel::ChangeLighting(std::uint8_t modeCode, std::uint8_t brightness, std::uint8_t speedCode) {
    {
        auto lock = emulator_.Lock();
        DeviceMemory& m = emulator_.Memory();
        const std::size_t at = static_cast<std::size_t>(m.params[0]) * kKeyboardBlockStride;
        m.params[at + 1] = modeCode;
        m.params[at + 2] = brightness;
        m.params[at + 3] = speedCode;
    }
    return emulator_.SendEvent(0x0401);
}

bool KeyboardModel::FactoryReset() {
    {
        auto lock = emulator_.Lock();
        DeviceMemory& m = emulator_.Memory();
        for (int p = 0; p < kKeyboardProfiles; ++p) {
            const auto block = FactoryBlock(p);
            std::copy(block.begin(), block.end(), m.params.begin() + p * kKeyboardBlockStride);
        }
        m.params[0] = 0;
    }
    return emulator_.SendEvent(0x0402);
}

bool KeyboardModel::PressKey(std::uint8_t deviceKey) {
    return emulator_.SendEvent(static_cast<std::uint16_t>(0x0500 | deviceKey));
}
bool KeyboardModel::ReleaseKey(std::uint8_t deviceKey) {
    return emulator_.SendEvent(static_cast<std::uint16_t>(0x0600 | deviceKey));
}

}  // namespace tavrik::devsim
