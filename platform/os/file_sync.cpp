#include "platform/os/file_sync.h"

#include <unistd.h>

namespace win {

bool FlushFileBuffers(std::FILE* file) {
    if (file == nullptr || std::fflush(file) != 0) return false;
    return ::fsync(::fileno(file)) == 0;
}

}  // namespace win
