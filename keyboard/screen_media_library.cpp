#include "keyboard/screen_media_library.h"

#include <cstdio>

#include "platform/files/folders.h"
#include "platform/files/utf8.h"
#include "platform/os/library.h"

namespace screen_media {
namespace {

std::wstring& ChosenPath() {
    static std::wstring path;
    return path;
}

ScreenMedia*& Loaded() {
    static ScreenMedia* media = nullptr;
    return media;
}

}  // namespace

std::wstring DefaultPath() { return win::GetProgramFolder() + kScreenMediaFile; }

void SetPath(const std::wstring& path) {
    ChosenPath() = path;
    Loaded() = nullptr;
}

ScreenMedia* Get() {
    if (Loaded()) return Loaded();
    const std::wstring path = ChosenPath().empty() ? DefaultPath() : ChosenPath();
    // The library stays loaded for the life of the process.
    win::HMODULE module = win::LoadLibraryExW(path.c_str(), nullptr, win::LOAD_WITH_ALTERED_SEARCH_PATH);
    auto entry =
        module ? reinterpret_cast<ScreenMedia* (*)()>(win::GetProcAddress(module, kScreenMediaEntry)) : nullptr;
    Loaded() = entry ? entry() : nullptr;
    if (!Loaded()) {
        std::fprintf(stderr, "The picture and video library %s is missing or unusable.\n", win::ToUtf8(path).c_str());
        if (module) win::FreeLibrary(module);
    }
    return Loaded();
}

}  // namespace screen_media
