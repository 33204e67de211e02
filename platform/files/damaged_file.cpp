#include "platform/files/damaged_file.h"

#include <fcntl.h>
#include <stdio.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace win {

namespace fs = std::filesystem;

namespace {

// The highest numbered copy; past it the last name is taken again, so a
// document failing in a loop cannot fill the disk with copies.
constexpr int kMaxNumberedCopies = 99;

bool Present(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

}  // namespace

bool SetDamagedFileAside(const fs::path& path) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(path, ec);
    if (!fs::exists(status)) return true;
    if (fs::is_directory(status)) return false;
    for (int n = 0; n <= kMaxNumberedCopies; ++n) {
        fs::path to = path;
        to += n == 0 ? std::string(".bad") : ".bad." + std::to_string(n);
        // Never replaces an earlier copy (checked and done in one step).
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
        if (errno == EINVAL || errno == ENOSYS) {
            // A file system without the no-replace flag: look, then move.
            if (Present(to)) continue;
            fs::rename(path, to, ec);
            return !ec;
        }
        if (errno != EEXIST) return false;
    }
    fs::path last = path;
    last += ".bad." + std::to_string(kMaxNumberedCopies);
    fs::rename(path, last, ec);
    return !ec;
}

fs::path PrepareDocumentSave(const fs::path& path, bool readable) {
    std::error_code ec;
    if (!Present(path)) return path;
    if (!readable) return SetDamagedFileAside(path) ? path : fs::path();
    if (fs::is_symlink(path, ec)) {
        fs::path target = fs::weakly_canonical(path, ec);
        return ec ? fs::path() : target;
    }
    return path;
}

}  // namespace win
