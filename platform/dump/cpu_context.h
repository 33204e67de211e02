#pragma once

// Thread context records in the minidump's x86-64 layout.

#include <cstdint>

#include "platform/dump/minidump_layout.h"

namespace platform::dump {

struct ContextRecord {
    std::uint8_t bytes[layout::amd64::kContextSize];
};

// All registers of an interrupted thread, from the signal's machine context
// (a ucontext_t).
void ContextFromMachineContext(const void* ucontext, ContextRecord* out);

// Only the stack and instruction pointer (all that is known of a thread that
// did not take the signal); with neither known, an empty record.
void ContextFromPointers(bool known, std::uint64_t stackPointer, std::uint64_t instructionPointer, ContextRecord* out);

std::uint64_t ContextStackPointer(const ContextRecord& context);
std::uint64_t ContextInstructionPointer(const ContextRecord& context);

}  // namespace platform::dump
