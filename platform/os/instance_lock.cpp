#include "platform/os/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/files/folders.h"

namespace win {
namespace {

class NamedLock : public detail::KernelObject {
public:
    explicit NamedLock(int fd) : fd_(fd) {}
    ~NamedLock() override {
        if (fd_ >= 0) {
            ::close(fd_);  // drops the lock if this handle held it
        }
    }

private:
    int fd_;
};

std::string LockPath(std::wstring_view name) {
    // Names may hold any character; the file is named by a hash of the name
    // (names are case-sensitive, as their users expect).
    std::uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : ToUtf8(name)) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    char file[64];
    std::snprintf(file, sizeof file, "tavrik-lock-%016llx", static_cast<unsigned long long>(hash));
    return ToUtf8(JoinPath(GetRuntimeFolder(), FromUtf8(file)));
}

}  // namespace

HANDLE CreateMutexW(void*, BOOL, LPCWSTR name) {
    if (name == nullptr || name[0] == L'\0') {
        SetLastError(ERROR_SUCCESS);
        return detail::RegisterObject(std::make_shared<NamedLock>(-1));
    }
    std::string path = LockPath(name);
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    // The name goes in the file for whoever looks at the folder.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        std::string text = ToUtf8(name) + "\n";
        if (::ftruncate(fd, 0) == 0) {
            [[maybe_unused]] ssize_t n = ::pwrite(fd, text.data(), text.size(), 0);
        }
        HANDLE handle = detail::RegisterObject(std::make_shared<NamedLock>(fd));
        SetLastError(ERROR_SUCCESS);
        return handle;
    }
    // Held elsewhere: hand back a handle that does not hold it.
    ::close(fd);
    HANDLE handle = detail::RegisterObject(std::make_shared<NamedLock>(-1));
    SetLastError(ERROR_ALREADY_EXISTS);
    return handle;
}

BOOL ReleaseMutex(HANDLE mutex) { return detail::LookupAs<NamedLock>(mutex) ? TRUE : FALSE; }

}  // namespace win
