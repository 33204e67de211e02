#pragma once

// Reads a minidump file back for the tests: the header, the stream directory
// and the streams the crash-dump writer produces. Every offset and size is
// checked against the file before it is followed.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tavrik::test {

struct DumpContext {
    std::uint32_t flags = 0;
    std::uint64_t instructionPointer = 0;
    std::uint64_t stackPointer = 0;
};

struct DumpThread {
    std::uint32_t id = 0;
    std::uint64_t stackStart = 0;
    std::uint32_t stackSize = 0;
    std::uint32_t stackRva = 0;
    DumpContext context;
};

struct DumpException {
    std::uint32_t threadId = 0;
    std::uint32_t code = 0;
    std::uint32_t flags = 0;
    std::uint64_t address = 0;
    DumpContext context;
};

struct DumpModule {
    std::uint64_t base = 0;
    std::uint32_t size = 0;
    std::string name;  // UTF-8
};

struct DumpMemory {
    std::uint64_t start = 0;
    std::uint32_t size = 0;
    std::uint32_t rva = 0;
};

struct DumpSystemInfo {
    std::uint16_t architecture = 0;
    std::uint32_t platform = 0;
    std::uint32_t processors = 0;
    std::string description;
};

struct Minidump {
    std::vector<std::uint8_t> bytes;
    std::uint64_t flags = 0;
    std::vector<std::uint32_t> streamTypes;
    std::optional<DumpSystemInfo> systemInfo;
    std::optional<std::uint32_t> processId;
    std::optional<DumpException> exception;
    std::vector<DumpThread> threads;
    std::vector<DumpModule> modules;
    std::vector<DumpMemory> memory;

    const DumpThread* Thread(std::uint32_t id) const;
    const DumpModule* ModuleContaining(std::uint64_t address) const;
    // The dump's copy of process memory [address, address + size), if whole.
    std::optional<std::vector<std::uint8_t>> Memory(std::uint64_t address, std::uint32_t size) const;
};

// The parsed dump, or nullopt with the reason in *error.
std::optional<Minidump> ReadMinidump(const std::filesystem::path& file, std::string* error);
std::optional<Minidump> ParseMinidump(std::vector<std::uint8_t> bytes, std::string* error);

}  // namespace tavrik::test
