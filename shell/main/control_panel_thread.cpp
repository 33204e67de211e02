#include "shell/main/control_panel_thread.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "link/debug_log.h"
#include "platform/os/handle.h"
#include "platform/os/launch.h"
#include "platform/os/messages.h"
#include "platform/os/thread.h"

namespace {

struct SettingsProgram {
    const wchar_t* program;
    const wchar_t* keyboardPage;
    const wchar_t* mousePage;
};

constexpr SettingsProgram kSettingsPrograms[] = {
    {L"gnome-control-center", L"keyboard", L"mouse"},
    {L"systemsettings", L"kcm_keyboard", L"kcm_mouse"},
};

// The full path of an executable found in PATH; empty when there is none.
std::filesystem::path FindInPath(const std::filesystem::path& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return {};
    std::string folders = path;
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        const std::filesystem::path candidate =
            std::filesystem::path(end > start ? folders.substr(start, end - start) : ".") / name;
        std::error_code error;
        const auto status = std::filesystem::status(candidate, error);
        if (!error && std::filesystem::is_regular_file(status) &&
            (status.permissions() & std::filesystem::perms::others_exec) != std::filesystem::perms::none) {
            return candidate;
        }
        start = end + 1;
    }
    return {};
}

}  // namespace

win::DWORD ControlPanelThread(void* parameter) {
    const auto page = reinterpret_cast<std::intptr_t>(parameter);
    if (page != 0 && page != 1) return 0;
    for (const SettingsProgram& settings : kSettingsPrograms) {
        const std::filesystem::path program = FindInPath(settings.program);
        if (program.empty()) continue;
        const win::HINSTANCE result =
            win::ShellExecuteW(nullptr, L"open", program.wstring().c_str(),
                               page == 0 ? settings.keyboardPage : settings.mousePage, nullptr, win::SW_SHOW);
        if (win::ShellExecuteResult(result) > 32) return 0;
    }
    WriteLog(page == 0 ? "ControlPanelThread: no keyboard settings program (gnome-control-center, systemsettings)"
                       : "ControlPanelThread: no mouse settings program (gnome-control-center, systemsettings)");
    return 0;
}

void StartControlPanelThread(int page) {
    if (page != 0 && page != 1) return;
    win::HANDLE thread = win::CreateThread(nullptr, 0, &ControlPanelThread,
                                           reinterpret_cast<void*>(static_cast<std::intptr_t>(page)), 0, nullptr);
    if (thread != nullptr) win::CloseHandle(thread);
}
