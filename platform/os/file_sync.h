#pragma once

#include <cstdio>

namespace win {

// Flushes the stream's buffers and asks the system to put the file's data on
// disk, so that a later rename over an older file cannot leave an empty or
// partial file after a power loss. Returns false when either step fails.
bool FlushFileBuffers(std::FILE* file);

}  // namespace win
