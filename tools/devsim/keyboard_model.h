#pragma once

// The keyboard's firmware model: its factory memory, the decoded views of
// what the program wrote (for tests and the `peek` command), the commands
// whose data the keyboard checks, and the actions a user takes on the
// keyboard itself.

#include "link/base/key_list_entry.h"
#include "tools/devsim/device_memory.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavrik::devsim {

class Emulator;

inline constexpr int kKeyboardProfiles = 4;
inline constexpr std::size_t kKeyboardBlockSize = 49;
inline constexpr std::size_t kKeyboardBlockStride = 64;
inline constexpr std::size_t kKeyboardColorPage = 512;
// The factory screen: its size in pixels (information bytes 31, 32) and the
// most frames an animation may have (byte 35).
inline constexpr std::uint8_t kKeyboardScreenWidth = 240;
inline constexpr std::uint8_t kKeyboardScreenHeight = 135;
inline constexpr std::uint8_t kKeyboardScreenFrames = 80;
// Block byte holding the frame count of the animation being uploaded.
inline constexpr std::size_t kBlockFrameCount = 34;
// Block bytes the program only keeps; the factory fills them with markers.
inline constexpr std::array<std::size_t, 22> kKeptBlockBytes = {9,  10, 11, 12, 13, 14, 15, 17, 23, 24, 26,
                                                                27, 28, 29, 30, 31, 32, 33, 34, 42, 46, 48};

// Factory memory of the keyboard: information block (170 keys), layout table
// (the defaults of every key position, in an order of the keyboard's own, one
// plain key (0x20, 0, 0), then keys no position reaches), LED table (a
// permutation), one block per profile and a status block.
void SeedKeyboardMemory(DeviceMemory& m);
// The factory block of profile p.
std::array<std::uint8_t, kKeyboardBlockSize> FactoryBlock(int profile);
// The marker the factory puts into kept byte i of profile p's block.
std::uint8_t KeptByteMarker(int profile, std::size_t byte);
// Device key count of the factory layout.
int FactoryKeyCount();

// --- Decoded views ----------------------------------------------------------
struct KeyboardBlockView {
    int activeProfile = 0;  // byte 0 of the parameter space
    std::array<std::uint8_t, kKeyboardBlockSize> bytes{};
    int modeCode() const { return bytes[1]; }
    int brightness() const { return bytes[2]; }
    int speedCode() const { return bytes[3]; }
    int frameInterval() const { return bytes[43] | bytes[44] << 8; }
};
KeyboardBlockView ViewBlock(const DeviceMemory& m, int profile);

// The key function of every device key (page 0 of the key map).
std::vector<KeyFunction> ViewKeyMap(const DeviceMemory& m);

struct MacroTableView {
    std::vector<std::vector<std::array<std::uint8_t, 4>>> macros;  // events of each macro
    std::size_t totalLength = 0;
};
// The macro table parsed as the keyboard does; nullopt when it is malformed
// or larger than the capacity.
std::optional<MacroTableView> ParseMacroTable(const std::uint8_t* bytes, std::size_t available, std::size_t capacity);
std::optional<MacroTableView> ViewMacros(const DeviceMemory& m);

struct ClockView {
    int second, minute, hour, weekday, day, month, year;  // year 0..99
};
// nullopt when a byte is not BCD or a field is out of its range.
std::optional<ClockView> DecodeClock(const std::uint8_t* bytes);
std::optional<ClockView> ViewClock(const DeviceMemory& m, int profile);

// --- The screen ---------------------------------------------------------------
// The screen image starts anew with each 0x23. Frame k occupies bytes k x P to
// k x P + L - 1 (L = width x height x 2, RGB565 high byte first), the rest of
// its P bytes (L rounded up to a multiple of 32768) being pad. A data packet
// (0x21) is stored only when it ends within the frames the keyboard takes: the
// frame count (byte 34) of the block written last, at most byte 35.
std::size_t ScreenFrameBytes(const DeviceMemory& m);        // L
std::size_t ScreenPaddedFrameBytes(const DeviceMemory& m);  // P
int ScreenFramesTaken(const DeviceMemory& m);
// The L bytes of frame k; empty when they have not all been written.
std::vector<std::uint8_t> ViewScreenFrame(const DeviceMemory& m, int frame);
// The RGB565 value of one pixel of frame k; nullopt when not written.
std::optional<std::uint16_t> ViewScreenPixel(const DeviceMemory& m, int frame, int row, int column);
// Whether frame k's pad was written and is all 0xFF.
bool ScreenPadIsFilled(const DeviceMemory& m, int frame);
// The frame interval (bytes 43, 44) of the block written last.
int ViewScreenInterval(const DeviceMemory& m);

std::vector<std::uint8_t> ViewColorPage(const DeviceMemory& m, int page);
// The last live colour frame: key count x 3 bytes.
std::vector<std::uint8_t> ViewLiveFrame(const DeviceMemory& m);

// --- Commands the keyboard checks -------------------------------------------
// Notes the block a parameter write (0x06) reaches and handles the screen
// commands (0x21, 0x23), the macro table (0x15) and clock (0x29, 7 bytes)
// writes and the colour writes to page 0 (0x0B), which are also kept as the
// page of the active block's custom-colour group (byte 25); false for every
// other command. A malformed or over-capacity table and a clock that is not a
// date are answered with status 0xFF (the clock is then not set).
bool KeyboardCommand(DeviceMemory& m, const std::uint8_t* request, std::uint8_t* reply);
// The parameter-write note and the screen commands of the above
// (keyboard_screen_model.cpp); false when the command goes on.
bool KeyboardScreenCommand(DeviceMemory& m, const std::uint8_t* request, std::uint8_t* reply);

// --- Actions on the keyboard itself -----------------------------------------
class KeyboardModel {
public:
    explicit KeyboardModel(Emulator& emulator) : emulator_(emulator) {}
    // Makes profile p active and reports 0x10 | p.
    bool SwitchProfile(int profile);
    // Changes the active block's lighting and reports 0x0401.
    bool ChangeLighting(std::uint8_t modeCode, std::uint8_t brightness, std::uint8_t speedCode);
    // Restores the factory blocks and reports 0x0402.
    bool FactoryReset();
    bool PressKey(std::uint8_t deviceKey);    // 0x05kk
    bool ReleaseKey(std::uint8_t deviceKey);  // 0x06kk

private:
    Emulator& emulator_;
};

// The keyboard's commands of tavrik-devsim's command line:
//   press NAME KEY | release NAME KEY | profile NAME P | reset NAME
//   light NAME MODECODE BRIGHTNESS SPEEDCODE
//   peek NAME block P | keymap | macros | clock P | colors PAGE | live | bracket
// Returns false when the verb is not one of them (peek of a memory space
// included); else `reply` holds the answer ("error: ..." on bad arguments).
bool KeyboardCommandLine(Emulator& emulator, const std::string& line, std::string* reply);

}  // namespace tavrik::devsim
