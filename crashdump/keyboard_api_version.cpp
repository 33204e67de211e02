#include "crashdump/keyboard_api_version.h"

#include <vector>

#include "platform/files/file_version.h"

namespace corvane {

std::wstring ReadFourthProductVersion(const std::wstring& file) {
    win::DWORD handle = 0;
    win::DWORD size = win::GetFileVersionInfoSizeW(file.c_str(), &handle);
    if (size == 0) {
        return {};
    }
    std::vector<unsigned char> block(size);
    void* fixed = nullptr;
    win::UINT length = 0;
    if (!win::GetFileVersionInfoW(file.c_str(), handle, size, block.data()) ||
        !win::VerQueryValueW(block.data(), L"\\", &fixed, &length) || length < sizeof(win::VS_FIXEDFILEINFO)) {
        return {};
    }
    const auto* info = static_cast<const win::VS_FIXEDFILEINFO*>(fixed);
    return std::to_wstring(info->dwProductVersionLS & 0xFFFF);
}

}  // namespace corvane
