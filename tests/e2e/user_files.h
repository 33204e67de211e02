#pragma once

// The program's files in the end-to-end tests' home: the keyboard's profile
// folder and the profile file its list selects, read as JSON.

#include <json/json.h>

#include <filesystem>
#include <optional>

namespace tavrik::test {

// The JSON document of the file, or nothing when it is missing or unreadable.
std::optional<Json::Value> ReadJsonFile(const std::filesystem::path& path);

// The keyboard's profile folder in this test's home.
std::filesystem::path KeyboardFolder();

// The profile file the profile list selects. Until a profile list exists the
// page works on the profile without an id (".Json").
std::filesystem::path SelectedProfileFile();

}  // namespace tavrik::test
