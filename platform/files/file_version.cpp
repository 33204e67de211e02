#include "platform/files/file_version.h"

#include <cstddef>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>

#include "platform/files/folders.h"

namespace win {
namespace {

// The buffer the program receives: a marker, then the fixed part.
struct VersionBlock {
    DWORD marker;
    DWORD size;
    VS_FIXEDFILEINFO fixed;
};

constexpr DWORD kBlockMarker = 0x49565654;  // "TVVI"
constexpr std::streamsize kMaxSidecarBytes = 64 * 1024;

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// "a[.b[.c[.d]]]" to (a << 16 | b, c << 16 | d).
std::optional<std::pair<DWORD, DWORD>> ParseVersion(const std::string& text) {
    DWORD parts[4] = {0, 0, 0, 0};
    int count = 0;
    size_t i = 0;
    while (true) {
        if (count == 4 || i >= text.size() || text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        DWORD value = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            value = value * 10 + static_cast<DWORD>(text[i] - '0');
            if (value > 0xFFFF) {
                return std::nullopt;
            }
            ++i;
        }
        parts[count++] = value;
        if (i == text.size()) {
            break;
        }
        if (text[i] != '.') {
            return std::nullopt;
        }
        ++i;
    }
    return std::make_pair((parts[0] << 16) | parts[1], (parts[2] << 16) | parts[3]);
}

std::optional<VS_FIXEDFILEINFO> ReadVersion(LPCWSTR file) {
    if (file == nullptr || file[0] == L'\0') {
        return std::nullopt;
    }
    std::error_code ec;
    std::filesystem::path path = ToFsPath(file);
    if (!std::filesystem::is_regular_file(path, ec)) {
        return std::nullopt;
    }
    std::filesystem::path sidecar = path;
    sidecar += ".version";
    std::ifstream in(sidecar, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string content(static_cast<size_t>(kMaxSidecarBytes), '\0');
    in.read(content.data(), kMaxSidecarBytes);
    content.resize(static_cast<size_t>(in.gcount()));

    VS_FIXEDFILEINFO info;
    bool found = false;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos) {
            end = content.size();
        }
        std::string line = Trim(content.substr(start, end - start));
        start = end + 1;
        size_t equals = line.find('=');
        if (line.empty() || line[0] == '#' || equals == std::string::npos) {
            continue;
        }
        std::string key = Trim(line.substr(0, equals));
        auto version = ParseVersion(Trim(line.substr(equals + 1)));
        if (!version) {
            continue;
        }
        if (key == "FileVersion") {
            info.dwFileVersionMS = version->first;
            info.dwFileVersionLS = version->second;
            found = true;
        } else if (key == "ProductVersion") {
            info.dwProductVersionMS = version->first;
            info.dwProductVersionLS = version->second;
            found = true;
        }
    }
    if (!found) {
        return std::nullopt;
    }
    info.dwSignature = kFixedFileInfoSignature;
    info.dwStrucVersion = 0x00010000;
    return info;
}

}  // namespace

DWORD GetFileVersionInfoSizeW(LPCWSTR file, DWORD* handle) {
    if (handle != nullptr) {
        *handle = 0;
    }
    return ReadVersion(file) ? static_cast<DWORD>(sizeof(VersionBlock)) : 0;
}

BOOL GetFileVersionInfoW(LPCWSTR file, DWORD, DWORD length, void* data) {
    if (data == nullptr || length < sizeof(VersionBlock)) {
        return FALSE;
    }
    auto info = ReadVersion(file);
    if (!info) {
        return FALSE;
    }
    VersionBlock block{kBlockMarker, static_cast<DWORD>(sizeof(VersionBlock)), *info};
    std::memcpy(data, &block, sizeof(block));
    return TRUE;
}

BOOL VerQueryValueW(const void* block, LPCWSTR subBlock, void** buffer, UINT* length) {
    if (block == nullptr || subBlock == nullptr || buffer == nullptr || std::wstring(subBlock) != L"\\") {
        return FALSE;
    }
    DWORD header[2];
    std::memcpy(header, block, sizeof(header));
    if (header[0] != kBlockMarker || header[1] != sizeof(VersionBlock)) {
        return FALSE;
    }
    *buffer = const_cast<char*>(static_cast<const char*>(block)) + offsetof(VersionBlock, fixed);
    if (length != nullptr) {
        *length = static_cast<UINT>(sizeof(VS_FIXEDFILEINFO));
    }
    return TRUE;
}

}  // namespace win
