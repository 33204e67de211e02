#include "platform/os/debug_trace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/files/folders.h"

namespace win {
namespace {

std::mutex& SinkMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

std::function<void(std::string_view)>& Sink() {
    static auto* sink = new std::function<void(std::string_view)>;
    return *sink;
}

void WriteStderr(std::string_view prefix, std::string_view text) {
    std::string line(prefix);
    line.append(text);
    if (line.empty() || line.back() != '\n') {
        line.push_back('\n');
    }
    std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace

bool IsDebugTraceEnabled() {
    const char* value = std::getenv("TAVRIK_DEBUG");
    return value != nullptr && value[0] != '\0' && std::strcmp(value, "0") != 0;
}

void OutputDebugStringA(LPCSTR text) {
    if (text != nullptr && IsDebugTraceEnabled()) {
        WriteStderr("", text);
    }
}

void OutputDebugStringW(LPCWSTR text) {
    if (text != nullptr && IsDebugTraceEnabled()) {
        WriteStderr("", ToUtf8(text));
    }
}

void PlatformLog(std::string_view line) {
    std::function<void(std::string_view)> sink;
    {
        std::lock_guard lock(SinkMutex());
        sink = Sink();
    }
    WriteStderr("tavrik: ", line);
    if (sink) {
        sink(line);
    }
}

std::function<void(std::string_view)> SetPlatformLogSink(std::function<void(std::string_view)> sink) {
    std::lock_guard lock(SinkMutex());
    auto old = std::move(Sink());
    Sink() = std::move(sink);
    return old;
}

}  // namespace win
