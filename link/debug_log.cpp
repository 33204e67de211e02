#include "link/debug_log.h"

#include <cstdio>
#include <memory>
#include <mutex>

#include "platform/os/clock.h"
#include "platform/files/folders.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::wstring DebugLogPath() {
    return win::GetLocalAppDataFolder() + L"\\Halvord Q580RGB-PRO PT MECHANICAL GAMING KEYBOARD\\Tavrik.log";
}

void WriteLog(const std::string& text) {
    static std::mutex mutex;
    std::lock_guard lock(mutex);

    const auto path = win::ToFsPath(DebugLogPath());
    File file(std::fopen(path.c_str(), "ab"));

    win::SYSTEMTIME now{};
    win::GetLocalTime(&now);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%4d-%02d-%02d-%02d-%02d-%02d:", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);

    if (!file) {
        std::fputs("unable to open log file\n", stdout);
        std::fflush(stdout);
        return;
    }
    std::fseek(file.get(), 0, SEEK_END);
    if (std::ftell(file.get()) > kDebugLogLimit) {
        file.reset(std::fopen(path.c_str(), "wb"));
        if (!file) {
            return;
        }
    }
    std::fputs(stamp, file.get());
    std::fwrite(text.data(), 1, text.size(), file.get());
    std::fputs("\r\n", file.get());
}
