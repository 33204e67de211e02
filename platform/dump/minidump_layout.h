#pragma once

// Numbers of the minidump file layout that the writer produces and the tests
// read back. Every structure is little-endian and written field by field, so
// no packed C++ structure stands for it.

#include <cstdint>

namespace platform::dump::layout {

inline constexpr std::uint32_t kSignature = 0x504D444D;  // "MDMP"
inline constexpr std::uint32_t kVersion = 0xA793;

// Stream types.
inline constexpr std::uint32_t kThreadListStream = 3;
inline constexpr std::uint32_t kModuleListStream = 4;
inline constexpr std::uint32_t kMemoryListStream = 5;
inline constexpr std::uint32_t kExceptionStream = 6;
inline constexpr std::uint32_t kSystemInfoStream = 7;
inline constexpr std::uint32_t kMiscInfoStream = 15;

// Sizes of the fixed records.
inline constexpr std::uint32_t kHeaderSize = 32;
inline constexpr std::uint32_t kDirectoryEntrySize = 12;
inline constexpr std::uint32_t kSystemInfoSize = 56;
inline constexpr std::uint32_t kMiscInfoSize = 24;
inline constexpr std::uint32_t kExceptionStreamSize = 168;
inline constexpr std::uint32_t kThreadSize = 48;
inline constexpr std::uint32_t kModuleSize = 108;
inline constexpr std::uint32_t kMemoryDescriptorSize = 16;

// System information: processor architecture and the operating-system
// platform that marks a Linux process.
inline constexpr std::uint16_t kArchitectureAmd64 = 9;
inline constexpr std::uint32_t kPlatformLinux = 0x8201;

// Misc information flag: the process id field is valid.
inline constexpr std::uint32_t kMiscProcessId = 0x1;

// Module version record signature.
inline constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;

// The x86-64 thread context record.
namespace amd64 {
inline constexpr std::uint32_t kContextSize = 0x4D0;
inline constexpr std::uint32_t kFlagsArch = 0x00100000;
inline constexpr std::uint32_t kFlagsControl = kFlagsArch | 0x1;   // rip, rsp, rbp, cs, ss, eflags
inline constexpr std::uint32_t kFlagsInteger = kFlagsArch | 0x2;   // the other general registers
inline constexpr std::uint32_t kFlagsSegments = kFlagsArch | 0x4;  // ds, es, fs, gs
inline constexpr std::uint32_t kFlagsFloat = kFlagsArch | 0x8;     // x87 / SSE state

inline constexpr std::uint32_t kOffsetFlags = 0x30;
inline constexpr std::uint32_t kOffsetMxCsr = 0x34;
inline constexpr std::uint32_t kOffsetSegCs = 0x38;
inline constexpr std::uint32_t kOffsetSegDs = 0x3A;
inline constexpr std::uint32_t kOffsetSegEs = 0x3C;
inline constexpr std::uint32_t kOffsetSegFs = 0x3E;
inline constexpr std::uint32_t kOffsetSegGs = 0x40;
inline constexpr std::uint32_t kOffsetSegSs = 0x42;
inline constexpr std::uint32_t kOffsetEFlags = 0x44;
// General registers in the order rax, rcx, rdx, rbx, rsp, rbp, rsi, rdi,
// r8 .. r15, then rip.
inline constexpr std::uint32_t kOffsetRax = 0x78;
inline constexpr std::uint32_t kOffsetRcx = 0x80;
inline constexpr std::uint32_t kOffsetRdx = 0x88;
inline constexpr std::uint32_t kOffsetRbx = 0x90;
inline constexpr std::uint32_t kOffsetRsp = 0x98;
inline constexpr std::uint32_t kOffsetRbp = 0xA0;
inline constexpr std::uint32_t kOffsetRsi = 0xA8;
inline constexpr std::uint32_t kOffsetRdi = 0xB0;
inline constexpr std::uint32_t kOffsetR8 = 0xB8;
inline constexpr std::uint32_t kOffsetRip = 0xF8;
inline constexpr std::uint32_t kOffsetFloatSave = 0x100;
inline constexpr std::uint32_t kFloatSaveSize = 512;
}  // namespace amd64

}  // namespace platform::dump::layout
