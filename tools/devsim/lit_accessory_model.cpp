// The headset's and the mouse pad's firmware model: light blocks, status and
// the headset's LED output reports.
#include "tools/devsim/lit_accessory_model.h"

#include "tools/devsim/devsim_commands.h"
#include "tools/devsim/hex_text.h"

#include <cstdio>
#include <sstream>
#include <vector>

namespace tavrik::devsim {
namespace {

constexpr std::size_t kProfileStride = 64;
constexpr std::uint16_t kSettingsChangedEvent = 0x0401;

// The order of a frame's twelve reports: (byte 1, byte 2).
constexpr std::uint8_t kLedOrder[12][2] = {{0x22, 0xAA}, {0x22, 0xAD}, {0x44, 0xAA}, {0x44, 0xAD},
                                           {0x22, 0xAB}, {0x22, 0xAE}, {0x44, 0xAB}, {0x44, 0xAE},
                                           {0x22, 0xAC}, {0x22, 0xAF}, {0x44, 0xAC}, {0x44, 0xAF}};
constexpr std::size_t kFirstValue = 4;
constexpr std::size_t kLowPartLeds = 7;  // parts 0xAA..0xAC: LEDs 0..6; 0xAD..0xAF: LEDs 7..12

bool Refuse(DeviceMemory& m, const std::string& why) {
    ++m.ledErrors;
    m.ledError = why;
    m.ledNext = 0;
    return false;
}

std::string BlockText(const LitBlockView& v, int profile) {
    std::ostringstream out;
    out << "block " << profile << " active " << int(v.activeProfile) << " mode " << int(v.modeCode) << " brightness "
        << int(v.brightness) << " speedcode " << int(v.speedCode) << " colorful " << int(v.colorful) << " rgb "
        << int(v.red) << ' ' << int(v.green) << ' ' << int(v.blue) << " bytes "
        << HexText({v.bytes.begin(), v.bytes.end()});
    return out.str();
}

std::string LedText(const LedFrameView& v) {
    std::ostringstream out;
    out << "leds frames " << v.frames << " errors " << v.errors;
    for (const auto& led : v.leds) out << ' ' << HexText({led.begin(), led.end()});
    if (!v.lastError.empty()) out << " last error: " << v.lastError;
    return out.str();
}

}  // namespace

std::uint8_t LitKeptByteMarker(int profile, std::size_t byte) {
    return static_cast<std::uint8_t>(0xA0 + profile * 0x10 + byte % 16);
}

void SeedLitAccessoryMemory(DeviceMemory& m, ProductKind kind) {
    for (int p = 0; p < kLitProfiles; ++p) {
        std::uint8_t* b = m.params.data() + p * kProfileStride;
        b[1] = kFactoryModeCode;
        b[2] = kFactoryBrightness;
        b[3] = kFactorySpeedCode;
        b[4] = LitKeptByteMarker(p, 4);
        b[5] = 0;
        b[6] = 0;
        b[7] = static_cast<std::uint8_t>(0x40 * p);
        b[8] = 0xFF;
        for (std::size_t i = 9; i < kLitBlockBytes; ++i) b[i] = LitKeptByteMarker(p, i);
    }
    m.params[0] = 0;  // active profile
    m.status[0] = 90;
    m.status[4] = 1;
    if (kind == ProductKind::MousePad) m.status[5] = kMousePadPhoneType;
}

LitBlockView ViewLitBlock(const DeviceMemory& m, int profile) {
    LitBlockView v;
    v.activeProfile = m.params[0];
    const std::uint8_t* b = m.params.data() + static_cast<std::size_t>(profile) * kProfileStride;
    std::copy(b, b + kLitBlockBytes, v.bytes.begin());
    v.modeCode = b[1];
    v.brightness = b[2];
    v.speedCode = b[3];
    v.colorful = b[5];
    v.red = b[6];
    v.green = b[7];
    v.blue = b[8];
    return v;
}

bool TakeLedReport(DeviceMemory& m, const std::uint8_t* r, std::size_t length) {
    if (length != kLedReportLength || r[0] != kLedReportId) return Refuse(m, "not a 17-byte report 0xFF");
    int at = m.ledNext;
    // A frame may start over at its first report (a frame cut short by a send failure).
    if (r[1] == kLedOrder[0][0] && r[2] == kLedOrder[0][1]) at = 0;
    if (r[1] != kLedOrder[at][0] || r[2] != kLedOrder[at][1]) {
        char why[96];
        std::snprintf(why, sizeof why, "report %02X %02X out of order (expected %02X %02X)", r[1], r[2],
                      kLedOrder[at][0], kLedOrder[at][1]);
        return Refuse(m, why);
    }
    if (r[3] != 0) return Refuse(m, "byte 3 is not 0");
    const bool low = r[2] <= 0xAC;
    const std::size_t values = low ? kLowPartLeds : DeviceMemory::kHeadsetLeds - kLowPartLeds;
    for (std::size_t i = kFirstValue + values; i < kLedReportLength; ++i)
        if (r[i] != 0) return Refuse(m, "byte " + std::to_string(i) + " is not 0");
    const std::size_t channel = (r[2] - 0xAA) % 3;
    const std::size_t firstLed = low ? 0 : kLowPartLeds;
    const std::size_t copy = r[1] == 0x22 ? 0 : 1;
    for (std::size_t i = 0; i < values; ++i) {
        const std::uint8_t v = r[kFirstValue + i];
        if (v > kLedValueCap) return Refuse(m, "value " + std::to_string(v) + " above 247");
        m.ledPending[copy * 3 * DeviceMemory::kHeadsetLeds + (firstLed + i) * 3 + channel] = v;
    }
    m.ledNext = at + 1;
    if (m.ledNext < 12) return true;
    m.ledNext = 0;
    const std::size_t half = 3 * DeviceMemory::kHeadsetLeds;
    if (!std::equal(m.ledPending.begin(), m.ledPending.begin() + half, m.ledPending.begin() + half))
        return Refuse(m, "the 0x22 and 0x44 copies differ");
    std::copy(m.ledPending.begin(), m.ledPending.begin() + half, m.ledFrame.begin());
    ++m.ledFrames;
    return true;
}

LedFrameView ViewLedFrame(const DeviceMemory& m) {
    LedFrameView v;
    for (std::size_t i = 0; i < DeviceMemory::kHeadsetLeds; ++i)
        v.leds[i] = {m.ledFrame[3 * i], m.ledFrame[3 * i + 1], m.ledFrame[3 * i + 2]};
    v.frames = m.ledFrames;
    v.errors = m.ledErrors;
    v.lastError = m.ledError;
    return v;
}

bool ChangeLitAccessoryLight(Emulator& e, std::uint8_t modeCode, std::uint8_t brightness, std::uint8_t speedCode) {
    {
        auto lock = e.Lock();
        DeviceMemory& m = e.Memory();
        std::uint8_t* b = m.params.data() + m.params[0] % kLitProfiles * kProfileStride;
        b[1] = modeCode;
        b[2] = brightness;
        b[3] = speedCode;
    }
    return e.SendEvent(kSettingsChangedEvent);
}

bool LitAccessoryCommandLine(Emulator& e, const std::string& line, std::string* reply) {
    if (!IsLitAccessory(e.Product().kind)) return false;
    std::istringstream in(line);
    std::string verb, name;
    in >> verb >> name;
    std::vector<std::string> args;
    for (std::string a; in >> a;) args.push_back(a);
    if (verb == "peek" && !args.empty() && (args[0] == "block" || args[0] == "leds")) {
        unsigned p = 0;
        auto lock = e.Lock();
        if (args[0] == "block") {
            *reply = args.size() == 2 && ParseNumber(args[1], kLitProfiles - 1, &p)
                         ? BlockText(ViewLitBlock(e.Memory(), int(p)), int(p))
                         : "error: peek NAME block PROFILE (0..3)";
        } else {
            *reply = args.size() == 1 ? LedText(ViewLedFrame(e.Memory())) : "error: leds takes no arguments";
        }
        return true;
    }
    if (verb != "light") return false;
    unsigned v[3] = {};
    if (args.size() != 3 || !ParseNumber(args[0], 255, &v[0]) || !ParseNumber(args[1], 255, &v[1]) ||
        !ParseNumber(args[2], 255, &v[2])) {
        *reply = "error: light NAME MODECODE BRIGHTNESS SPEEDCODE";
        return true;
    }
    const bool ok = ChangeLitAccessoryLight(e, std::uint8_t(v[0]), std::uint8_t(v[1]), std::uint8_t(v[2]));
    *reply = ok ? "ok" : "error: " + name + " is not plugged in";
    return true;
}

}  // namespace tavrik::devsim
