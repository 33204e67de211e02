#pragma once
// The search rules over the key tables. Every search returns the row number
// of the first matching row, or -1 when no row matches.

#include <cstddef>
#include <cstdint>

#include "link/base/key_tables.h"

// The first row whose param1 and param2 equal the function's; the code is not
// compared (the caller chose the table by the code).
int FindRowByParams(const KeyCodeEntry* table, size_t count, KeyFunction function);

// The MouseFunctionTable row of a device key (0xA0), DPI shift (0x16) or show
// window (0x23) function: code and parameters equal. The table's other rows
// only fix the order of the names; other codes find nothing.
int FindMouseFunctionRow(KeyFunction function);

// The KeyTable row of a keyboard-key function: {0x20, 0, usage} is searched
// among rows 8..141 by code, param1 0 and usage; {0x20, bit, 0} with a single
// modifier bit among the modifier rows 0..7.
int FindKeyTableRow(KeyFunction function);

// The ScanCodeTable row (and so the KeyTable row) of a key the low-level hook
// reported: equal scan code and extended flag = bit 0 of the hook's flags.
int FindScanCodeRow(uint8_t scanCode, uint32_t hookFlags);

// The KeyDisplayTable row among the first 113 whose text equals `text`
// exactly (case-sensitive).
int FindDisplayRow(const wchar_t* text);

// The name key of a KeyNameTable index; null outside the table.
const wchar_t* KeyNameAt(size_t index);

// Consumer usages travel low byte in param1, high byte in param2.
constexpr uint16_t ConsumerUsageOf(KeyFunction f) { return uint16_t(f.param1 | f.param2 << 8); }
constexpr KeyFunction ConsumerFunction(uint16_t usage) {
    return KeyFunction{kFunctionConsumer, uint8_t(usage & 0xFF), uint8_t(usage >> 8)};
}
