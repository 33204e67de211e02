#pragma once

// The process's memory mappings, read from /proc/self/maps without
// allocating, for use inside a signal handler. The tables are static: one
// reader at a time (the dump writer serialises its callers).

#include <cstddef>
#include <cstdint>

namespace platform::dump {

struct Mapping {
    std::uint64_t start = 0;
    std::uint64_t end = 0;
    bool readable = false;
};

// One file mapped into the process: its consecutive mappings joined.
struct Module {
    std::uint64_t base = 0;
    std::uint64_t end = 0;
    const char* path = nullptr;  // zero-terminated, owned by the table
    std::size_t pathLength = 0;
};

class ProcessMaps {
public:
    static constexpr std::size_t kMaxMappings = 8192;
    static constexpr std::size_t kMaxModules = 1024;

    // Reads the maps of the calling process; false when they cannot be read.
    bool Read();

    std::size_t MappingCount() const { return mappingCount_; }
    const Mapping& MappingAt(std::size_t i) const { return mappings_[i]; }
    // The mapping that contains the address, or null.
    const Mapping* FindMapping(std::uint64_t address) const;

    std::size_t ModuleCount() const { return moduleCount_; }
    const Module& ModuleAt(std::size_t i) const { return modules_[i]; }

    // Parses one line of the maps format; used by Read and by tests.
    void AddLine(const char* line, std::size_t length);
    void Clear();

private:
    Mapping mappings_[kMaxMappings];
    std::size_t mappingCount_ = 0;
    Module modules_[kMaxModules];
    std::size_t moduleCount_ = 0;
    std::uint64_t lastInode_ = 0;
    std::uint64_t lastDevice_ = 0;
    char names_[256 * 1024];
    std::size_t namesUsed_ = 0;
};

}  // namespace platform::dump
