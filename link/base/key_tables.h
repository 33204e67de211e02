#pragma once
// The constant tables that tie keys, virtual-key codes, scan codes, mouse
// messages and macro events to key functions and to the name keys of the
// language files. One definition for the whole program; the row order is
// fixed, because the names in KeyNameTable and the items of the page combos
// follow it.

#include <cstddef>
#include <cstdint>

#include "link/base/key_list_entry.h"

// Function codes of a KeyFunction.
enum KeyFunctionCode : uint8_t {
    kFunctionNone = 0x00,
    kFunctionMouseButton = 0x10,
    kFunctionSwing = 0x11,
    kFunctionWheel = 0x12,
    kFunctionDpiStep = 0x13,
    kFunctionFire = 0x14,
    kFunctionDpiShift = 0x16,
    kFunctionKeyboardKey = 0x20,
    kFunctionShortcut = 0x22,
    kFunctionShowWindow = 0x23,
    kFunctionConsumer = 0x30,
    kFunctionSystem = 0x40,
    kFunctionMacro = 0x70,
    kFunctionMacroRepeat = 0x71,
    kFunctionGun = 0x72,
    kFunctionDeviceKey = 0xA0,
    kFunctionCombo = 0xB0,
    kFunctionMKey = 0xD0,
};

constexpr bool IsMacroFunction(uint8_t code) { return code == kFunctionMacro || code == kFunctionMacroRepeat; }

// One row of a function table: the key column (a virtual-key code in
// KeyTable, the row number elsewhere) and the row's function.
struct KeyCodeEntry {
    uint16_t key;
    KeyFunction function;
};

// A key as the low-level keyboard hook reports it.
struct ScanCodeEntry {
    uint16_t virtualKey;
    uint8_t scanCode;
    uint8_t extended;
};

// A name key of the language files and the text a user types for the key.
struct KeyDisplayEntry {
    const wchar_t* nameKey;
    const wchar_t* text;
};

// A mouse message of the hook and the macro event it records.
struct MouseEventEntry {
    uint16_t message;
    uint8_t kind;  // 0x10 button, 0x15 move, 0x12 wheel
    uint8_t buttonMask;
    uint8_t eventCode;  // macro event type in bits 0..6, "down" in bit 7
};

inline constexpr size_t kKeyTableCount = 142;
inline constexpr size_t kScanCodeTableCount = 113;
inline constexpr size_t kKeyDisplayTableCount = 143;
inline constexpr size_t kKeyDisplayComparedCount = 113;
inline constexpr size_t kKeyNameTableCount = 232;
inline constexpr size_t kComboKeyTableCount = 11;
inline constexpr size_t kShortcutKeyTableCount = 9;
inline constexpr size_t kMouseKeyTableCount = 5;
inline constexpr size_t kMouseFunctionTableCount = 15;
inline constexpr size_t kSystemKeyTableCount = 3;
inline constexpr size_t kMediaKeyTableCount = 18;
inline constexpr size_t kDpiKeyTableCount = 3;
inline constexpr size_t kMouseEventTableCount = 15;

extern const KeyCodeEntry KeyTable[kKeyTableCount];
extern const ScanCodeEntry ScanCodeTable[kScanCodeTableCount];
extern const KeyDisplayEntry KeyDisplayTable[kKeyDisplayTableCount];
extern const wchar_t* const KeyNameTable[kKeyNameTableCount];
extern const KeyCodeEntry ComboKeyTable[kComboKeyTableCount];
extern const KeyCodeEntry ShortcutKeyTable[kShortcutKeyTableCount];
extern const KeyCodeEntry MouseKeyTable[kMouseKeyTableCount];
extern const KeyCodeEntry MouseFunctionTable[kMouseFunctionTableCount];
extern const KeyCodeEntry SystemKeyTable[kSystemKeyTableCount];
extern const KeyCodeEntry MediaKeyTable[kMediaKeyTableCount];
extern const KeyCodeEntry DpiKeyTable[kDpiKeyTableCount];
extern const MouseEventEntry MouseEventTable[kMouseEventTableCount];

// Where each table's names start in KeyNameTable (name of row r = base + r).
enum KeyNameBase : size_t {
    kGunNameBase = 0,
    kComboNameBase = 4,
    kShortcutNameBase = 15,
    kMouseFunctionNameBase = 24,
    kSystemNameBase = 39,
    kFireName = 42,
    kMediaNameBase = 43,
    kDpiNameBase = 61,
    kWheelNameBase = 64,  // up, down
    kSwingNameBase = 66,  // left, right
    kMouseKeyNameBase = 68,
    kMouseEventNameBase = 73,
    kMouseTextName = 88,
    kKeyNameBase = 89,
    kColorName = 231,
};

// KeyTable rows of the groups the lookups distinguish.
inline constexpr size_t kKeyTableModifierRows = 8;  // rows 0..7
inline constexpr size_t kKeyTableFnRow = 140;
inline constexpr size_t kKeyTableGmRow = 141;
