#include "tests/support/temp_home.h"

#include <cstdlib>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace tavrik::test {
namespace {

std::filesystem::path MakeTempDirectory(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary directory from " + pattern);
    }
    return std::filesystem::path(buffer.data());
}

const char* const kVariables[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR", "XDG_CACHE_HOME"};

}  // namespace

TempHome::TempHome() : root_(MakeTempDirectory("tavrik-home")) {
    for (const char* name : kVariables) {
        const char* old = std::getenv(name);
        saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    const std::pair<const char*, std::filesystem::path> values[] = {
        {"HOME", Home()},
        {"XDG_DATA_HOME", DataHome()},
        {"XDG_CONFIG_HOME", ConfigHome()},
        {"XDG_RUNTIME_DIR", RuntimeDir()},
        {"XDG_CACHE_HOME", CacheHome()},
    };
    for (const auto& [name, dir] : values) {
        std::filesystem::create_directories(dir);
        ::setenv(name, dir.c_str(), 1);
    }
    std::filesystem::permissions(RuntimeDir(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
}

TempHome::~TempHome() {
    for (const auto& [name, value] : saved_) {
        if (value) {
            ::setenv(name.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name.c_str());
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

TempDir::TempDir(const std::string& prefix) : path_(MakeTempDirectory(prefix)) {}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace tavrik::test
