#pragma once

// Small file helpers for the profile document tests.

#include <filesystem>
#include <optional>
#include <string>

#include <json/value.h>

#include "platform/ui/dui_string.h"

namespace profile_test {

DuiLib::CDuiString Dui(const std::filesystem::path& path);
void WriteText(const std::filesystem::path& path, const std::string& text);
std::optional<std::string> ReadText(const std::filesystem::path& path);
// Parses JSON text; fails the calling test when it does not parse.
Json::Value Parse(const std::string& text);
// The file's JSON; null when missing or not JSON.
Json::Value ReadJson(const std::filesystem::path& path);
void WriteJson(const std::filesystem::path& path, const Json::Value& value);

// Removes the file when it goes out of scope (for files the tests must put
// beside the test program).
class ScopedFile {
public:
    ScopedFile(std::filesystem::path path, const std::string& text);
    ~ScopedFile();
    ScopedFile(const ScopedFile&) = delete;
    ScopedFile& operator=(const ScopedFile&) = delete;

private:
    std::filesystem::path path_;
};

// A GUID-shaped name unique to this process and call.
std::string UniqueGuid();

}  // namespace profile_test
