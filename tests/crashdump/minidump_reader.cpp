#include "tests/crashdump/minidump_reader.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/dump/minidump_layout.h"
#include "platform/files/utf8.h"

namespace tavrik::test {
namespace {

namespace layout = platform::dump::layout;

class Cursor {
public:
    explicit Cursor(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    bool Has(std::uint64_t offset, std::uint64_t size) const {
        return offset <= bytes_.size() && size <= bytes_.size() - offset;
    }
    template <typename T>
    T Get(std::uint64_t offset) const {
        T v{};
        if (Has(offset, sizeof(T))) {
            std::memcpy(&v, bytes_.data() + offset, sizeof(T));
        }
        return v;
    }

private:
    const std::vector<std::uint8_t>& bytes_;
};

bool Fail(std::string* error, const std::string& why) {
    if (error != nullptr) {
        *error = why;
    }
    return false;
}

bool ReadContext(const Cursor& c, std::uint32_t size, std::uint32_t rva, DumpContext* out, std::string* error) {
    if (size != layout::amd64::kContextSize || !c.Has(rva, size)) {
        return Fail(error, "bad thread context location");
    }
    out->flags = c.Get<std::uint32_t>(rva + layout::amd64::kOffsetFlags);
    out->instructionPointer = c.Get<std::uint64_t>(rva + layout::amd64::kOffsetRip);
    out->stackPointer = c.Get<std::uint64_t>(rva + layout::amd64::kOffsetRsp);
    return true;
}

std::string ReadString(const Cursor& c, std::uint32_t rva) {
    std::uint32_t length = c.Get<std::uint32_t>(rva);
    if (!c.Has(rva, 4ull + length) || length % 2 != 0) {
        return {};
    }
    // UTF-16 units held one per wide character; the conversion joins surrogate pairs.
    std::wstring units(length / 2, L'\0');
    for (std::uint32_t i = 0; i < length / 2; ++i) {
        units[i] = static_cast<wchar_t>(c.Get<std::uint16_t>(rva + 4 + 2ull * i));
    }
    return win::ToUtf8(units);
}

bool ReadStream(const Cursor& c, std::uint32_t type, std::uint32_t size, std::uint32_t rva, Minidump* dump,
                std::string* error) {
    if (!c.Has(rva, size)) {
        return Fail(error, "stream outside the file");
    }
    switch (type) {
        case layout::kSystemInfoStream: {
            if (size < layout::kSystemInfoSize) {
                return Fail(error, "short system info");
            }
            DumpSystemInfo info;
            info.architecture = c.Get<std::uint16_t>(rva);
            info.processors = c.Get<std::uint8_t>(rva + 6);
            info.platform = c.Get<std::uint32_t>(rva + 20);
            info.description = ReadString(c, c.Get<std::uint32_t>(rva + 24));
            dump->systemInfo = info;
            return true;
        }
        case layout::kMiscInfoStream:
            if (size >= layout::kMiscInfoSize && (c.Get<std::uint32_t>(rva + 4) & layout::kMiscProcessId) != 0) {
                dump->processId = c.Get<std::uint32_t>(rva + 8);
            }
            return true;
        case layout::kExceptionStream: {
            if (size < layout::kExceptionStreamSize) {
                return Fail(error, "short exception stream");
            }
            DumpException e;
            e.threadId = c.Get<std::uint32_t>(rva);
            e.code = c.Get<std::uint32_t>(rva + 8);
            e.flags = c.Get<std::uint32_t>(rva + 12);
            e.address = c.Get<std::uint64_t>(rva + 24);
            if (!ReadContext(c, c.Get<std::uint32_t>(rva + 160), c.Get<std::uint32_t>(rva + 164), &e.context, error)) {
                return false;
            }
            dump->exception = e;
            return true;
        }
        case layout::kThreadListStream: {
            std::uint32_t count = c.Get<std::uint32_t>(rva);
            if (size < 4 || (size - 4) / layout::kThreadSize < count) {
                return Fail(error, "short thread list");
            }
            for (std::uint32_t i = 0; i < count; ++i) {
                std::uint64_t at = rva + 4ull + i * layout::kThreadSize;
                DumpThread t;
                t.id = c.Get<std::uint32_t>(at);
                t.stackStart = c.Get<std::uint64_t>(at + 24);
                t.stackSize = c.Get<std::uint32_t>(at + 32);
                t.stackRva = c.Get<std::uint32_t>(at + 36);
                if (t.stackSize != 0 && !c.Has(t.stackRva, t.stackSize)) {
                    return Fail(error, "thread stack outside the file");
                }
                if (!ReadContext(c, c.Get<std::uint32_t>(at + 40), c.Get<std::uint32_t>(at + 44), &t.context, error)) {
                    return false;
                }
                dump->threads.push_back(t);
            }
            return true;
        }
        case layout::kModuleListStream: {
            std::uint32_t count = c.Get<std::uint32_t>(rva);
            if (size < 4 || (size - 4) / layout::kModuleSize < count) {
                return Fail(error, "short module list");
            }
            for (std::uint32_t i = 0; i < count; ++i) {
                std::uint64_t at = rva + 4ull + i * layout::kModuleSize;
                DumpModule m;
                m.base = c.Get<std::uint64_t>(at);
                m.size = c.Get<std::uint32_t>(at + 8);
                m.name = ReadString(c, c.Get<std::uint32_t>(at + 20));
                dump->modules.push_back(m);
            }
            return true;
        }
        case layout::kMemoryListStream: {
            std::uint32_t count = c.Get<std::uint32_t>(rva);
            if (size < 4 || (size - 4) / layout::kMemoryDescriptorSize < count) {
                return Fail(error, "short memory list");
            }
            for (std::uint32_t i = 0; i < count; ++i) {
                std::uint64_t at = rva + 4ull + i * layout::kMemoryDescriptorSize;
                DumpMemory m{c.Get<std::uint64_t>(at), c.Get<std::uint32_t>(at + 8), c.Get<std::uint32_t>(at + 12)};
                if (!c.Has(m.rva, m.size)) {
                    return Fail(error, "memory range outside the file");
                }
                dump->memory.push_back(m);
            }
            return true;
        }
        default:
            return true;
    }
}

}  // namespace

const DumpThread* Minidump::Thread(std::uint32_t id) const {
    for (const auto& t : threads) {
        if (t.id == id) {
            return &t;
        }
    }
    return nullptr;
}

const DumpModule* Minidump::ModuleContaining(std::uint64_t address) const {
    for (const auto& m : modules) {
        if (address >= m.base && address - m.base < m.size) {
            return &m;
        }
    }
    return nullptr;
}

std::optional<std::vector<std::uint8_t>> Minidump::Memory(std::uint64_t address, std::uint32_t size) const {
    for (const auto& m : memory) {
        if (address >= m.start && address + size <= m.start + m.size) {
            auto from = bytes.begin() + static_cast<std::ptrdiff_t>(m.rva + (address - m.start));
            return std::vector<std::uint8_t>(from, from + size);
        }
    }
    return std::nullopt;
}

std::optional<Minidump> ParseMinidump(std::vector<std::uint8_t> bytes, std::string* error) {
    Minidump dump;
    dump.bytes = std::move(bytes);
    Cursor c(dump.bytes);
    if (!c.Has(0, layout::kHeaderSize) || c.Get<std::uint32_t>(0) != layout::kSignature ||
        (c.Get<std::uint32_t>(4) & 0xFFFF) != layout::kVersion) {
        Fail(error, "no minidump header");
        return std::nullopt;
    }
    std::uint32_t count = c.Get<std::uint32_t>(8);
    std::uint32_t directory = c.Get<std::uint32_t>(12);
    dump.flags = c.Get<std::uint64_t>(24);
    if (!c.Has(directory, static_cast<std::uint64_t>(count) * layout::kDirectoryEntrySize)) {
        Fail(error, "stream directory outside the file");
        return std::nullopt;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint64_t at = directory + static_cast<std::uint64_t>(i) * layout::kDirectoryEntrySize;
        std::uint32_t type = c.Get<std::uint32_t>(at);
        dump.streamTypes.push_back(type);
        if (!ReadStream(c, type, c.Get<std::uint32_t>(at + 4), c.Get<std::uint32_t>(at + 8), &dump, error)) {
            return std::nullopt;
        }
    }
    return dump;
}

std::optional<Minidump> ReadMinidump(const std::filesystem::path& file, std::string* error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        Fail(error, "cannot open " + file.string());
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ParseMinidump(std::move(bytes), error);
}

}  // namespace tavrik::test
