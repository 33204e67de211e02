#pragma once

#include <cstdint>

// The function of one key: a function code and two parameters. Stored in a
// profile as one integer, code << 16 | first << 8 | second.
struct KeyFunction {
    uint8_t code = 0;
    uint8_t param1 = 0;
    uint8_t param2 = 0;

    friend bool operator==(const KeyFunction&, const KeyFunction&) = default;
};

constexpr uint32_t PackKeyFunction(KeyFunction f) {
    return uint32_t(f.code) << 16 | uint32_t(f.param1) << 8 | uint32_t(f.param2);
}

constexpr KeyFunction UnpackKeyFunction(uint32_t packed) {
    return KeyFunction{uint8_t(packed >> 16), uint8_t(packed >> 8), uint8_t(packed)};
}

// One half of a key's assignment: the key's index and its function.
struct KeyAssignment {
    uint16_t keyIndex = 0;
    KeyFunction function;
    uint8_t reserved = 0;

    friend bool operator==(const KeyAssignment&, const KeyAssignment&) = default;
};

// A key's current and default assignment, as a profile keeps them (12 bytes).
struct KeyListEntry {
    KeyAssignment current;
    KeyAssignment defaults;

    friend bool operator==(const KeyListEntry&, const KeyListEntry&) = default;
};
static_assert(sizeof(KeyListEntry) == 12, "KeyListEntry is a 12-byte record");
