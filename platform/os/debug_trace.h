#pragma once

// Debug trace and the platform's own diagnostic log.

#include <functional>
#include <string>
#include <string_view>

#include "platform/files/win_types.h"

namespace win {

// Writes the text to stderr when the environment variable TAVRIK_DEBUG is
// set to anything but "" or "0"; otherwise does nothing.
void OutputDebugStringW(LPCWSTR text);
void OutputDebugStringA(LPCSTR text);
bool IsDebugTraceEnabled();

// Conditions the platform must report (a worker that did not stop, a missing
// system bus): one line to stderr, prefixed "tavrik: ", and to the sink if
// one is set. The program may route these into its own log.
void PlatformLog(std::string_view line);
// Replaces the sink (empty: stderr only). Returns the previous one.
std::function<void(std::string_view)> SetPlatformLogSink(std::function<void(std::string_view)> sink);

}  // namespace win
