// The mouse's firmware model: factory memory, block and table views, the
// checked table writes and the user's actions on the mouse.
#include "tools/devsim/mouse_model.h"

#include "tools/devsim/table_packets.h"

#include <algorithm>

namespace tavrik::devsim {
namespace {

constexpr std::uint8_t kStatusFailed = 0xFF;
constexpr std::uint16_t kResyncEvent = 0x0401;
constexpr std::uint16_t kTriggerEvent = 0x0403;
constexpr std::uint16_t kProfileEvent = 0x1000;
constexpr std::uint16_t kDpiEvent = 0x1100;
// A key the page has no button for: the wheel's tilt.
constexpr std::array<std::uint8_t, 3> kExtraKey = {0x11, 0x00, 0x01};

std::uint16_t Word(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
void PutWord(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace

std::size_t MouseFactoryKeyOf(std::size_t position) { return (position * 5 + 3) % kMouseFactoryKeys; }

std::uint8_t MouseKeptByteMarker(int profile, std::size_t byte) {
    return static_cast<std::uint8_t>(0xC0 + profile * 0x10 + byte % 16);
}

void SeedMouseMemory(DeviceMemory& m) {
    m.info[5] = kMouseFactoryKeys;
    m.info[6] = kMouseMacroUnits;
    PutWord(&m.info[9], kMouseSensor);
    m.info[11] = kMouseDpiStep;
    PutWord(&m.info[12], kMouseSliderMax);
    PutWord(&m.info[14], kMouseDpiBase);
    // Every key starts as the wheel tilt; the buttons' keys then take their defaults.
    for (std::size_t k = 0; k < kMouseFactoryKeys; ++k) std::copy(kExtraKey.begin(), kExtraKey.end(), &m.layout[3 * k]);
    for (std::size_t p = 0; p < kMouseButtonDefaults.size(); ++p)
        std::copy(kMouseButtonDefaults[p].begin(), kMouseButtonDefaults[p].end(), &m.layout[3 * MouseFactoryKeyOf(p)]);
    for (int p = 0; p < kMouseProfiles; ++p) {
        std::uint8_t* b = m.params.data() + p * kMouseBlockStride;
        b[1] = kMouseModeCodes[static_cast<std::size_t>(p)];
        b[2] = 3;  // brightness
        b[3] = 2;  // speed code (speed 3)
        b[5] = 0;
        b[6] = 0xFF;
        b[7] = static_cast<std::uint8_t>(0x30 * p);
        b[8] = 0x10;
        b[11] = 1;  // polling-rate index
        b[12] = 0;  // active stage
        for (std::size_t s = 0; s < kMouseStages; ++s) {
            std::uint8_t* st = b + 14 + 9 * s;
            st[0] = 1;
            PutWord(st + 2, static_cast<std::uint16_t>(16 * (s + 1)));
            PutWord(st + 4, static_cast<std::uint16_t>(16 * (s + 1)));
            st[6 + s % 3] = 0xFF;
        }
        for (std::size_t i = kMouseBlockWrite; i < kMouseBlockRead; ++i) b[i] = MouseKeptByteMarker(p, i);
    }
    m.params[0] = 0;  // active profile
    m.status[0] = 70;
    m.status[4] = 1;
}

MouseBlockView ViewMouseBlock(const DeviceMemory& m, int profile) {
    MouseBlockView v;
    v.activeProfile = m.params[0];
    const std::uint8_t* b = m.params.data() + static_cast<std::size_t>(std::clamp(profile, 0, 255)) * kMouseBlockStride;
    std::copy(b, b + kMouseBlockRead, v.bytes.begin());
    v.modeCode = b[1];
    v.brightness = b[2];
    v.speedCode = b[3];
    v.direction = b[4];
    v.colorful = b[5];
    v.red = b[6];
    v.green = b[7];
    v.blue = b[8];
    v.polling = b[11];
    v.activeStage = b[12];
    for (std::size_t s = 0; s < kMouseStages; ++s) {
        const std::uint8_t* st = b + 14 + 9 * s;
        v.stages[s] = {st[0], st[1], Word(st + 2), Word(st + 4), st[6], st[7], st[8]};
    }
    v.flag = b[59];
    v.screenWidth = Word(b + 60);
    v.screenHeight = Word(b + 62);
    v.correctMinSq = b[64];
    v.correctPixThresh = b[65];
    return v;
}

std::optional<MacroTableView> ViewShoot(const DeviceMemory& m) {
    auto table = ParseMacroTable(m.shoot.data(), m.shoot.size(), kMouseShootCapacity);
    if (!table || table->macros.size() != kMouseShootGuns) return std::nullopt;
    return table;
}

bool MouseCommand(DeviceMemory& m, const std::uint8_t* r, std::uint8_t* reply) {
    const std::uint8_t command = r[3];
    const std::size_t n = r[4];
    const std::size_t off = r[5] | (r[6] << 8);
    if (command == 0x15) {
        const std::size_t capacity = static_cast<std::size_t>(m.info[6]) * 128;
        if (!StoreTablePacket(m.macros, off, n, r + 8, capacity)) reply[7] = kStatusFailed;
        return true;
    }
    if (command == 0x17) {
        bool ok = StoreTablePacket(m.shoot, off, n, r + 8, kMouseShootCapacity);
        // The recoil table holds exactly the four guns.
        if (ok && off + n >= kTableHeader && off + n >= Word(m.shoot.data() + 2))
            ok = Word(m.shoot.data() + 4) == kMouseShootGuns;
        if (!ok) reply[7] = kStatusFailed;
        return true;
    }
    return false;
}

// --- Actions -------------------------------------------------------------------

bool MouseModel::SwitchProfile(int profile) {
    if (profile < 0 || profile >= kMouseProfiles) return false;
    {
        auto lock = emulator_.Lock();
        emulator_.Memory().params[0] = static_cast<std::uint8_t>(profile);
    }
    return emulator_.SendEvent(static_cast<std::uint16_t>(kProfileEvent | profile));
}

bool MouseModel::SwitchDpiStage(int stage) {
    if (stage < 0 || stage >= static_cast<int>(kMouseStages)) return false;
    int profile = 0;
    {
        auto lock = emulator_.Lock();
        DeviceMemory& m = emulator_.Memory();
        profile = m.params[0] % kMouseProfiles;
        m.params[static_cast<std::size_t>(profile) * kMouseBlockStride + 12] = static_cast<std::uint8_t>(stage);
    }
    return emulator_.SendEvent(static_cast<std::uint16_t>(kDpiEvent | stage << 4 | profile));
}

bool MouseModel::Trigger() { return emulator_.SendEvent(kTriggerEvent); }
bool MouseModel::Resync() { return emulator_.SendEvent(kResyncEvent); }

}  // namespace tavrik::devsim
