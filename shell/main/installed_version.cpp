#include "shell/main/installed_version.h"

#include <charconv>
#include <string>

#include "link/base/product_ids.h"
#include "platform/os/handle.h"
#include "platform/os/registry.h"
#include "platform/files/utf8.h"

namespace {
constexpr win::DWORD kMaxChars = 260;
}  // namespace

int ParseInstalledVersion(std::wstring_view text) {
    std::string digits = win::ToUtf8(std::wstring(text));
    std::erase(digits, '.');
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    (void)end;
    return error == std::errc() && value >= 0 ? value : 0;
}

int GetInstalledVersion() {
    const std::wstring key = std::wstring(kUninstallKeyPrefix) + kProductString;
    wchar_t buffer[kMaxChars + 1] = {};
    win::DWORD size = sizeof(wchar_t) * kMaxChars;
    win::DWORD type = win::REG_NONE;
    if (win::RegGetValueW(win::HKEY_CURRENT_USER, key.c_str(), L"DisplayVersion", win::RRF_RT_ANY, &type, buffer,
                          &size) != win::ERROR_SUCCESS) {
        return 0;
    }
    if (type != win::REG_SZ && type != win::REG_EXPAND_SZ) return 0;
    buffer[kMaxChars] = L'\0';
    return ParseInstalledVersion(buffer);
}
