#include "pages/macro_files.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "link/json_file_util.h"
#include "link/json_read.h"
#include "link/text_encoding.h"

uint32_t ReadMacroDelay(const Json::Value& delay) {
    const std::string text = JsonAsString(delay);
    uint64_t value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) break;
        value = std::min<uint64_t>(value * 10 + uint64_t(c - '0'), std::numeric_limits<uint32_t>::max());
    }
    return uint32_t(value);
}

MacroEvent MacroEventFromJson(const Json::Value& event) {
    MacroEvent e;
    e.down = JsonString(event, "Action") == "down";
    e.button = JsonInt(event, "Button");
    e.type = JsonInt(event, "Type");
    e.delay = ReadMacroDelay(JsonMember(event, "Delay"));
    return e;
}

Json::Value MacroEventToJson(const MacroEvent& event) {
    Json::Value v(Json::objectValue);
    v["Action"] = event.down ? "down" : "up";
    v["Button"] = event.button;
    v["Type"] = event.type;
    v["Delay"] = std::to_string(event.delay);
    return v;
}

DuiLib::CDuiString MacroListPath(const DuiLib::CDuiString& folder) { return folder + kMacroListFileName; }

DuiLib::CDuiString MacroFilePath(const DuiLib::CDuiString& folder, const std::string& guid) {
    return folder + Utf8ToDuiString(guid) + kMacroFileExtension;
}

std::optional<std::vector<MacroInfo>> LoadMacroList(const DuiLib::CDuiString& folder) {
    const Json::Value root = CJsonFileUtil::LoadJson(MacroListPath(folder));
    if (!root.isObject()) return std::nullopt;
    std::vector<MacroInfo> list;
    const Json::Value& info = JsonMember(root, "MacroInfo");
    if (!info.isArray()) return list;
    for (const Json::Value& entry : info) list.push_back({JsonString(entry, "MacroName"), JsonString(entry, "Guid")});
    return list;
}

bool SaveMacroList(const DuiLib::CDuiString& folder, const std::vector<MacroInfo>& list) {
    Json::Value root(Json::objectValue);
    Json::Value& info = root["MacroInfo"] = Json::Value(Json::arrayValue);
    for (size_t i = 0; i < list.size() && i < kMaxMacroCount; ++i) {
        Json::Value entry(Json::objectValue);
        entry["MacroName"] = list[i].name;
        entry["Guid"] = list[i].guid;
        info.append(entry);
    }
    return CJsonFileUtil::SaveJson(MacroListPath(folder), root);
}

Json::Value LoadMacroEventsJson(const DuiLib::CDuiString& path) {
    const Json::Value root = CJsonFileUtil::LoadJson(path);
    const Json::Value& events = JsonMember(root, "Events");
    return events.isArray() ? events : Json::Value(Json::arrayValue);
}

MacroFile LoadMacroFile(const DuiLib::CDuiString& path) {
    MacroFile file;
    const Json::Value root = CJsonFileUtil::LoadJson(path);
    if (!root.isObject()) return file;
    file.guid = JsonString(root, "Guid");
    file.name = JsonString(root, "MacroName");
    const Json::Value& events = JsonMember(root, "Events");
    if (!events.isArray()) return file;
    for (const Json::Value& e : events)
        if (e.isObject()) file.events.push_back(MacroEventFromJson(e));
    return file;
}

bool SaveMacroFile(const DuiLib::CDuiString& path, const MacroFile& file) {
    Json::Value root(Json::objectValue);
    Json::Value& events = root["Events"] = Json::Value(Json::arrayValue);
    for (size_t i = 0; i < file.events.size() && i < kMaxMacroEvents; ++i)
        events.append(MacroEventToJson(file.events[i]));
    root["Guid"] = file.guid;
    root["MacroName"] = file.name;
    root["Version"] = kMacroFileVersion;
    return CJsonFileUtil::SaveJson(path, root);
}
