#include "tests/e2e/user_files.h"

#include <fstream>
#include <string>

#include "platform/files/folders.h"
#include "platform/files/utf8.h"
#include "tests/e2e/tavrik_session.h"

namespace tavrik::test {

std::optional<Json::Value> ReadJsonFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    if (!in) return std::nullopt;
    Json::Value root;
    Json::CharReaderBuilder builder;
    std::string errors;
    if (!Json::parseFromStream(builder, in, &root, &errors)) return std::nullopt;
    return root;
}

std::filesystem::path KeyboardFolder() {
    return std::filesystem::path(win::ToUtf8(win::GetLocalAppDataFolder())) / kMainWindowTitle / "keyboard";
}

std::filesystem::path SelectedProfileFile() {
    std::string id;
    if (const auto list = ReadJsonFile(KeyboardFolder() / "ProfileList.ini")) {
        const Json::Value& entries = (*list)["profilelist"];
        const Json::ArrayIndex selected = (*list)["profileselect"].asUInt();
        if (entries.isArray() && selected < entries.size()) id = entries[selected]["profileUUID"].asString();
    }
    return KeyboardFolder() / (id + ".Json");
}

}  // namespace tavrik::test
