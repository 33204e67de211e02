#include "platform/dump/safe_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/dump/safe_text.h"

namespace platform::dump {
namespace {

constexpr std::size_t kMaxPath = 4096;

bool IsDirectory(const char* path) {
    struct stat st;
    return ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

bool MakeDirectories(const char* path) {
    // Static so that a handler on a small alternate stack does not need room
    // for a path; callers run one at a time (the crash path is serialised).
    static char partial[kMaxPath];
    std::size_t length = SafeLength(path);
    if (length == 0 || length >= kMaxPath) {
        return false;
    }
    for (std::size_t i = 0; i <= length; ++i) {
        partial[i] = path[i];
    }
    for (std::size_t i = 1; i <= length; ++i) {
        if (partial[i] == '/' || partial[i] == '\0') {
            char saved = partial[i];
            partial[i] = '\0';
            if (::mkdir(partial, 0755) != 0 && errno != EEXIST) {
                return false;
            }
            partial[i] = saved;
        }
    }
    return IsDirectory(path);
}

NewFileResult CreateNewFile(const char* path, int* fd) {
    int result = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (result >= 0) {
        *fd = result;
        return NewFileResult::Created;
    }
    return errno == EEXIST ? NewFileResult::Exists : NewFileResult::Failed;
}

void CloseFile(int fd) {
    if (fd >= 0) {
        ::close(fd);
    }
}

}  // namespace platform::dump
