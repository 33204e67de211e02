#include "pages/key_search.h"

#include <bit>
#include <cwchar>

int FindRowByParams(const KeyCodeEntry* table, size_t count, KeyFunction function) {
    if (!table) return -1;
    for (size_t row = 0; row < count; ++row) {
        const KeyFunction& f = table[row].function;
        if (f.param1 == function.param1 && f.param2 == function.param2) return int(row);
    }
    return -1;
}

int FindMouseFunctionRow(KeyFunction function) {
    const uint8_t code = function.code;
    if (code != kFunctionDeviceKey && code != kFunctionDpiShift && code != kFunctionShowWindow) return -1;
    for (size_t row = 0; row < kMouseFunctionTableCount; ++row)
        if (MouseFunctionTable[row].function == function) return int(row);
    return -1;
}

int FindKeyTableRow(KeyFunction function) {
    if (function.code != kFunctionKeyboardKey) return -1;
    if (function.param1 == 0) {
        for (size_t row = kKeyTableModifierRows; row < kKeyTableCount; ++row) {
            const KeyFunction& f = KeyTable[row].function;
            if (f.code == kFunctionKeyboardKey && f.param1 == 0 && f.param2 == function.param2) return int(row);
        }
        return -1;
    }
    if (function.param2 != 0 || std::popcount(unsigned(function.param1)) != 1) return -1;
    for (size_t row = 0; row < kKeyTableModifierRows; ++row)
        if (KeyTable[row].function.param1 == function.param1) return int(row);
    return -1;
}

int FindScanCodeRow(uint8_t scanCode, uint32_t hookFlags) {
    const uint8_t extended = uint8_t(hookFlags & 1u);
    for (size_t row = 0; row < kScanCodeTableCount; ++row)
        if (ScanCodeTable[row].scanCode == scanCode && ScanCodeTable[row].extended == extended) return int(row);
    return -1;
}

int FindDisplayRow(const wchar_t* text) {
    if (!text) return -1;
    for (size_t row = 0; row < kKeyDisplayComparedCount; ++row)
        if (std::wcscmp(KeyDisplayTable[row].text, text) == 0) return int(row);
    return -1;
}

const wchar_t* KeyNameAt(size_t index) { return index < kKeyNameTableCount ? KeyNameTable[index] : nullptr; }
