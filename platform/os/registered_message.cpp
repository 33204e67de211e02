#include "platform/os/registered_message.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "platform/files/folders.h"
#include "platform/os/handle.h"
#include "platform/os/messages.h"

namespace win {
namespace {

constexpr UINT kRange = REGISTERED_MESSAGE_LAST - REGISTERED_MESSAGE_FIRST + 1;

std::string FoldedKey(std::wstring_view name) {
    std::wstring folded(name);
    for (auto& c : folded) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    // Stored as hex so that any character (blanks, line breaks) is safe in
    // the table's line format.
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : ToUtf8(folded)) {
        hex.push_back(digits[byte >> 4]);
        hex.push_back(digits[byte & 15]);
    }
    return hex;
}

UINT PreferredId(const std::string& key) {
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : key) {
        hash = (hash ^ c) * 16777619u;
    }
    return REGISTERED_MESSAGE_FIRST + hash % kRange;
}

UINT FreeSlot(const std::string& key, const std::set<UINT>& used) {
    UINT id = PreferredId(key);
    for (UINT i = 0; i < kRange; ++i) {
        if (used.count(id) == 0) {
            return id;
        }
        id = id == REGISTERED_MESSAGE_LAST ? REGISTERED_MESSAGE_FIRST : id + 1;
    }
    return 0;
}

struct Cache {
    std::mutex mutex;
    std::map<std::string, UINT> ids;
};

Cache& GetCache() {
    static auto* cache = new Cache;
    return *cache;
}

// Looks the key up in the shared table, adding it when missing. 0 when the
// table cannot be used.
UINT FromSharedTable(const std::string& key) {
    std::string path = ToUtf8(JoinPath(GetRuntimeFolder(), L"tavrik-messages"));
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return 0;
    }
    UINT result = 0;
    if (::flock(fd, LOCK_EX) == 0) {
        std::string content;
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0) {
            content.append(buffer, static_cast<size_t>(n));
        }
        std::set<UINT> used;
        size_t pos = 0;
        while (pos < content.size()) {
            size_t end = content.find('\n', pos);
            if (end == std::string::npos) {
                break;  // a torn last line is ignored
            }
            std::string line = content.substr(pos, end - pos);
            pos = end + 1;
            unsigned id = 0;
            char name[1024];
            if (line.size() < 6 || line.size() > sizeof name ||
                std::sscanf(line.c_str(), "%4x %1023s", &id, name) != 2) {
                continue;
            }
            if (id < REGISTERED_MESSAGE_FIRST || id > REGISTERED_MESSAGE_LAST) {
                continue;
            }
            used.insert(id);
            if (key == name && result == 0) {
                result = id;
            }
        }
        if (result == 0) {
            result = FreeSlot(key, used);
            if (result != 0) {
                char head[16];
                std::snprintf(head, sizeof head, "%04X ", result);
                std::string line;
                if (!content.empty() && content.back() != '\n') {
                    line = "\n";  // end a torn line so that ours stays whole
                }
                line += head;
                line += key;
                line += '\n';
                if (::lseek(fd, 0, SEEK_END) < 0 ||
                    ::write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
                    result = 0;
                }
            }
        }
        ::flock(fd, LOCK_UN);
    }
    ::close(fd);
    return result;
}

}  // namespace

UINT RegisterWindowMessageW(LPCWSTR name) {
    if (name == nullptr || name[0] == L'\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string key = FoldedKey(name);
    if (key.size() > 1000) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto& cache = GetCache();
    std::lock_guard lock(cache.mutex);
    auto it = cache.ids.find(key);
    if (it != cache.ids.end()) {
        return it->second;
    }
    UINT id = FromSharedTable(key);
    if (id == 0) {
        std::set<UINT> used;
        for (auto& [k, v] : cache.ids) {
            used.insert(v);
        }
        id = FreeSlot(key, used);
    }
    if (id != 0) {
        cache.ids[key] = id;
    }
    return id;
}

UINT RegisterWindowMessageA(LPCSTR name) {
    if (name == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return RegisterWindowMessageW(FromUtf8(name).c_str());
}

}  // namespace win
