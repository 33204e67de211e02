#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace tavrik::test {

// Points HOME and the XDG folders into a fresh temporary directory for its
// lifetime, so that no test reads or writes the real user's files. The
// previous values come back and the directory is removed on destruction.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    std::filesystem::path DataHome() const { return root_ / "data"; }      // XDG_DATA_HOME
    std::filesystem::path ConfigHome() const { return root_ / "config"; }  // XDG_CONFIG_HOME
    std::filesystem::path RuntimeDir() const { return root_ / "run"; }     // XDG_RUNTIME_DIR
    std::filesystem::path CacheHome() const { return root_ / "cache"; }    // XDG_CACHE_HOME
    std::filesystem::path Home() const { return root_ / "home"; }          // HOME

private:
    std::filesystem::path root_;
    std::map<std::string, std::optional<std::string>> saved_;
};

// A fresh empty directory removed with its contents on destruction.
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "tavrik-test");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace tavrik::test
