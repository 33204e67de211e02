#pragma once

#include <array>
#include <cstdint>

// Constant tables of the keyboard's own ambient effects, beside the shared
// ones of effect_tables.h. Entries without a key hold 170 (any value of 170
// or more means "no key").

// Starting phases of the random breathing, read at 6 * column + row of KeyMatrix7.
extern const std::array<uint8_t, 138> PhaseSeed;
// The order in which the starlight draws indices into KeySequence.
extern const std::array<uint8_t, 112> StarPerm;
// The keys the running effect lights one after the other.
extern const std::array<uint8_t, 170> RunOrder;
// The keys of each of the sweep's 52 positions.
extern const std::array<std::array<uint8_t, 12>, 52> SweepTable;
// The rows of keys of the scripted pair sequence's opening.
extern const std::array<std::array<uint8_t, 6>, 20> RowSequence;
// The key pairs of the scripted pair sequence's second phase.
extern const std::array<std::array<uint8_t, 2>, 16> PairTable;
