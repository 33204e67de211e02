#include "platform/files/folders.h"

#include "platform/files/private_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>
#include <vector>

namespace win {
namespace {

std::wstring EnvFolder(const char* variable, const char* homeRelative) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return FromUtf8(value);
    }
    const char* home = std::getenv("HOME");
    std::string base = (home != nullptr && home[0] != '\0') ? home : "/tmp";
    return FromUtf8(base + homeRelative);
}

std::wstring WithTrailingSlash(std::wstring path) {
    if (path.empty() || path.back() != L'/') {
        path.push_back(L'/');
    }
    return path;
}

}  // namespace

std::wstring GetProgramPath() {
    std::vector<char> buffer(4096);
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            return {};
        }
        if (static_cast<size_t>(n) < buffer.size()) {
            return FromUtf8(std::string_view(buffer.data(), static_cast<size_t>(n)));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring GetProgramFolder() {
    std::wstring path = GetProgramPath();
    auto slash = path.rfind(L'/');
    if (slash == std::wstring::npos) {
        return L"./";
    }
    return path.substr(0, slash + 1);
}

std::wstring GetLocalAppDataFolder() { return EnvFolder("XDG_DATA_HOME", "/.local/share"); }
std::wstring GetConfigFolder() { return EnvFolder("XDG_CONFIG_HOME", "/.config"); }

std::wstring GetRuntimeFolder() {
    const char* value = std::getenv("XDG_RUNTIME_DIR");
    if (value != nullptr && value[0] == '/') {
        return FromUtf8(value);
    }
    // Without a runtime folder, a private one in the temp folder, per user.
    // It must be ours and closed to others; if someone else made it, this
    // process works in a fresh private folder of its own instead.
    std::string folder = ToUtf8(GetTempFolder()) + "tavrik-runtime-" + std::to_string(::getuid());
    if (EnsurePrivateFolder(folder)) {
        return FromUtf8(folder);
    }
    static const std::string own = [] {
        std::string pattern = ToUtf8(GetTempFolder()) + "tavrik-runtime-XXXXXX";
        char* made = ::mkdtemp(pattern.data());
        return made != nullptr ? std::string(made) : std::string("/tmp");
    }();
    return FromUtf8(own);
}

std::wstring GetTempFolder() {
    const char* value = std::getenv("TMPDIR");
    if (value != nullptr && value[0] == '/') {
        return WithTrailingSlash(FromUtf8(value));
    }
    return L"/tmp/";
}

std::wstring NativePath(std::wstring_view path) {
    std::wstring out(path);
    for (auto& c : out) {
        if (c == L'\\') {
            c = L'/';
        }
    }
    return out;
}

std::wstring JoinPath(std::wstring_view base, std::wstring_view relative) {
    std::wstring left = NativePath(base);
    std::wstring right = NativePath(relative);
    if (left.empty()) {
        return right;
    }
    if (right.empty()) {
        return left;
    }
    while (left.size() > 1 && left.back() == L'/') {
        left.pop_back();
    }
    size_t start = right.find_first_not_of(L'/');
    if (start == std::wstring::npos) {
        return left == L"/" ? left : left + L'/';
    }
    if (left == L"/") {
        return left + right.substr(start);
    }
    return left + L'/' + right.substr(start);
}

std::filesystem::path ToFsPath(std::wstring_view path) { return std::filesystem::path(ToUtf8(NativePath(path))); }

BOOL CreateDirectoryW(LPCWSTR path, void*) {
    if (path == nullptr) {
        return FALSE;
    }
    std::error_code ec;
    auto fsPath = ToFsPath(path);
    if (std::filesystem::create_directory(fsPath, ec)) {
        return TRUE;
    }
    return std::filesystem::is_directory(fsPath, ec) ? TRUE : FALSE;
}

BOOL CreateDirectoryTree(std::wstring_view path) {
    if (path.empty()) {
        return FALSE;
    }
    std::error_code ec;
    auto fsPath = ToFsPath(path);
    std::filesystem::create_directories(fsPath, ec);
    return std::filesystem::is_directory(fsPath, ec) ? TRUE : FALSE;
}

BOOL FileExists(std::wstring_view path) {
    if (path.empty()) {
        return FALSE;
    }
    std::error_code ec;
    return std::filesystem::exists(ToFsPath(path), ec) ? TRUE : FALSE;
}

BOOL PathFileExistsW(LPCWSTR path) { return path == nullptr ? FALSE : FileExists(path); }

BOOL DirectoryExists(std::wstring_view path) {
    if (path.empty()) {
        return FALSE;
    }
    std::error_code ec;
    return std::filesystem::is_directory(ToFsPath(path), ec) ? TRUE : FALSE;
}

BOOL DeleteFileW(LPCWSTR path) {
    if (path == nullptr) {
        return FALSE;
    }
    std::error_code ec;
    auto fsPath = ToFsPath(path);
    if (std::filesystem::is_directory(fsPath, ec)) {
        return FALSE;
    }
    return std::filesystem::remove(fsPath, ec) ? TRUE : FALSE;
}

}  // namespace win
