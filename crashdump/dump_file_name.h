#pragma once

// The dump file's name and its creation, safe inside a signal handler.

#include <cstddef>

#include "platform/dump/safe_clock.h"
#include "platform/dump/safe_text.h"

namespace corvane {

// "[<program>][YYYYMMDDhhmmss][<version tag>].dmp"; the program piece is left
// out when the program's name is empty. Attempt 2, 3, ... put "_2", "_3", ...
// before ".dmp" (attempt 1 is the plain name).
void FormatDumpFileName(platform::dump::SafeText& text, const char* programName, const platform::dump::CivilTime& time,
                        const char* versionTag, unsigned attempt);

// Creates the folder with its parents and a new dump file in it, never
// replacing an existing one: when the name is taken the next attempt's
// suffix is tried. Returns the open descriptor and the file's path in
// `path`, or -1 when the folder or the file cannot be created.
int CreateDumpFile(const char* folder, const char* programName, const platform::dump::CivilTime& time,
                   const char* versionTag, char* path, std::size_t capacity);

}  // namespace corvane
