#include "platform/dump/process_maps.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform::dump {
namespace {

bool ParseHex(const char*& p, const char* end, std::uint64_t* value) {
    std::uint64_t v = 0;
    const char* start = p;
    while (p < end) {
        char c = *p;
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            break;
        }
        v = (v << 4) | static_cast<std::uint64_t>(digit);
        ++p;
    }
    *value = v;
    return p != start;
}

bool ParseDecimal(const char*& p, const char* end, std::uint64_t* value) {
    std::uint64_t v = 0;
    const char* start = p;
    while (p < end && *p >= '0' && *p <= '9') {
        v = v * 10 + static_cast<std::uint64_t>(*p - '0');
        ++p;
    }
    *value = v;
    return p != start;
}

void SkipSpaces(const char*& p, const char* end) {
    while (p < end && (*p == ' ' || *p == '\t')) {
        ++p;
    }
}

bool Expect(const char*& p, const char* end, char c) {
    if (p < end && *p == c) {
        ++p;
        return true;
    }
    return false;
}

}  // namespace

void ProcessMaps::Clear() {
    mappingCount_ = 0;
    moduleCount_ = 0;
    namesUsed_ = 0;
    lastInode_ = 0;
    lastDevice_ = 0;
}

// "start-end perms offset major:minor inode   path"
void ProcessMaps::AddLine(const char* line, std::size_t length) {
    const char* p = line;
    const char* end = line + length;
    std::uint64_t start = 0, stop = 0, offset = 0, major = 0, minor = 0, inode = 0;
    if (!ParseHex(p, end, &start) || !Expect(p, end, '-') || !ParseHex(p, end, &stop) || stop <= start) {
        return;
    }
    SkipSpaces(p, end);
    bool readable = p < end && *p == 'r';
    while (p < end && *p != ' ') {
        ++p;
    }
    SkipSpaces(p, end);
    if (!ParseHex(p, end, &offset)) {
        return;
    }
    SkipSpaces(p, end);
    if (!ParseHex(p, end, &major) || !Expect(p, end, ':') || !ParseHex(p, end, &minor)) {
        return;
    }
    SkipSpaces(p, end);
    if (!ParseDecimal(p, end, &inode)) {
        return;
    }
    SkipSpaces(p, end);
    const char* path = p;
    std::size_t pathLength = static_cast<std::size_t>(end - p);

    if (mappingCount_ < kMaxMappings) {
        mappings_[mappingCount_++] = Mapping{start, stop, readable};
    }

    std::uint64_t device = (major << 32) | minor;
    if (pathLength == 0 || path[0] != '/' || inode == 0) {
        lastInode_ = 0;
        return;
    }
    // A continuation of the file mapped just before: widen that module.
    if (moduleCount_ > 0 && inode == lastInode_ && device == lastDevice_ && modules_[moduleCount_ - 1].end == start) {
        modules_[moduleCount_ - 1].end = stop;
        return;
    }
    lastInode_ = inode;
    lastDevice_ = device;
    if (moduleCount_ >= kMaxModules || namesUsed_ + pathLength + 1 > sizeof(names_)) {
        return;
    }
    char* name = names_ + namesUsed_;
    for (std::size_t i = 0; i < pathLength; ++i) {
        name[i] = path[i];
    }
    name[pathLength] = '\0';
    namesUsed_ += pathLength + 1;
    modules_[moduleCount_++] = Module{start, stop, name, pathLength};
}

bool ProcessMaps::Read() {
    Clear();
    int fd = static_cast<int>(::syscall(SYS_openat, AT_FDCWD, "/proc/self/maps", O_RDONLY | O_CLOEXEC));
    if (fd < 0) {
        return false;
    }
    // Lines are assembled across reads; a line longer than the buffer (a
    // very long path) is dropped.
    static char buffer[8192];
    static char line[4096 + 128];
    std::size_t lineLength = 0;
    bool overlong = false;
    for (;;) {
        long n = ::syscall(SYS_read, fd, buffer, sizeof(buffer));
        if (n <= 0) {
            break;
        }
        for (long i = 0; i < n; ++i) {
            char c = buffer[i];
            if (c == '\n') {
                if (!overlong) {
                    AddLine(line, lineLength);
                }
                lineLength = 0;
                overlong = false;
            } else if (lineLength < sizeof(line)) {
                line[lineLength++] = c;
            } else {
                overlong = true;
            }
        }
    }
    if (lineLength > 0 && !overlong) {
        AddLine(line, lineLength);
    }
    ::syscall(SYS_close, fd);
    return mappingCount_ > 0;
}

const Mapping* ProcessMaps::FindMapping(std::uint64_t address) const {
    for (std::size_t i = 0; i < mappingCount_; ++i) {
        if (address >= mappings_[i].start && address < mappings_[i].end) {
            return &mappings_[i];
        }
    }
    return nullptr;
}

}  // namespace platform::dump
