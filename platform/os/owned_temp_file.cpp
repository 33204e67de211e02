#include "platform/os/owned_temp_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <random>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace win {

namespace {

constexpr std::size_t kDigits = 12;
constexpr char kSuffix[] = ".tmp";

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

// Whether `name` is "<document>.<12 hex>.tmp" for this document's name.
bool IsTempNameOf(const std::string& name, const std::string& document) {
    const std::size_t suffix = sizeof kSuffix - 1;
    if (name.size() != document.size() + 1 + kDigits + suffix || name.compare(0, document.size(), document) != 0 ||
        name[document.size()] != '.' || name.compare(name.size() - suffix, suffix, kSuffix) != 0) {
        return false;
    }
    for (std::size_t i = document.size() + 1; i < document.size() + 1 + kDigits; ++i) {
        if (!IsHex(name[i])) return false;
    }
    return true;
}

bool SameFile(int fd, const fs::path& path) {
    struct stat open {
    }, named{};
    return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

}  // namespace

OwnedTempFile::OwnedTempFile(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[40];
        std::snprintf(suffix, sizeof suffix, ".%08x%04x%s", static_cast<unsigned>(random()),
                      counter.fetch_add(1) & 0xFFFFu, kSuffix);
        fs::path path = target;
        path += suffix;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return;  // the folder is missing or not writable
        }
        // The lock lives on a second descriptor of the same open file, so it
        // lasts past the stream's close until the rename is done.
        const int lockFd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
        // A cleaner may have taken the file between its creation and the
        // lock: then the name is gone (or another file's), and we start over.
        if (lockFd < 0 || ::flock(lockFd, LOCK_EX | LOCK_NB) != 0 || !SameFile(lockFd, path)) {
            if (lockFd >= 0) ::close(lockFd);
            ::close(fd);
            continue;
        }
        file_ = ::fdopen(fd, "wb");
        if (file_ == nullptr) {
            ::close(fd);
            ::unlink(path.c_str());
            ::close(lockFd);
            return;
        }
        lockFd_ = lockFd;
        path_ = std::move(path);
        return;
    }
}

OwnedTempFile::~OwnedTempFile() {
    CloseFile();
    if (lockFd_ >= 0) ::close(lockFd_);
}

bool OwnedTempFile::CloseFile() {
    if (file_ == nullptr) return true;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed;
}

int RemoveStaleTempFiles(const fs::path& target) {
    const std::string document = target.filename().string();
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (document.empty()) return 0;
    int removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& path = it->path();
        if (!IsTempNameOf(path.filename().string(), document)) continue;
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        // Held by a running save: leave it. Otherwise remove it under our own
        // lock, and only if the name still means the file we locked.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && SameFile(fd, path) && ::unlink(path.c_str()) == 0) ++removed;
        ::close(fd);
    }
    return removed;
}

}  // namespace win
