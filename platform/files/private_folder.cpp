#include "platform/files/private_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace win {

bool EnsurePrivateFolder(const std::string& path, std::string* reason) {
    auto fail = [&](const std::string& why) {
        if (reason) *reason = path + ": " + why;
        return false;
    };
    if (path.empty()) {
        return fail("no folder");
    }
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        return fail(std::strerror(errno));
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return fail(std::strerror(errno));
    }
    if (!S_ISDIR(st.st_mode)) {
        return fail("not a folder");
    }
    if (st.st_uid != ::getuid()) {
        return fail("the folder belongs to another user");
    }
    if ((st.st_mode & 077) != 0) {
        return fail("the folder is open to other users (it must have mode 0700)");
    }
    return true;
}

std::string FolderOfPath(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace win
