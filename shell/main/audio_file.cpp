#include "shell/main/audio_file.h"

#include <filesystem>
#include <string>

#include "link/json_file_util.h"
#include "link/profile_file.h"
#include "platform/files/folders.h"

using DuiLib::CDuiString;

namespace {

constexpr const char* kDeviceKey = "Device";

}  // namespace

Json::Value AudioFileDevice(const Json::Value& document) {
    return document.isObject() && document[kDeviceKey].isObject() ? document[kDeviceKey] : Json::Value();
}

Json::Value LoadAudioFileDevice(const CDuiString& userPath, const CDuiString& defaultsPath) {
    // The defaults are written in the place of the user's file: one without
    // a "Device" object (whatever else it holds, however large) is kept aside
    // first.
    const Json::Value user =
        LoadDocumentOrSetAside(userPath, [](const Json::Value& root) { return !AudioFileDevice(root).isNull(); });
    if (!user.isNull()) return AudioFileDevice(user);
    const Json::Value defaults = CJsonFileUtil::LoadJson(defaultsPath);
    if (!defaults.isObject()) return Json::Value();
    CJsonFileUtil::SaveJson(userPath, defaults);
    return AudioFileDevice(defaults);
}

std::optional<Json::Value> RestoreAudioFileDefaults(const CDuiString& userPath, const CDuiString& defaultsPath) {
    const Json::Value defaults = CJsonFileUtil::LoadJson(defaultsPath);
    if (!defaults.isObject()) return std::nullopt;
    CJsonFileUtil::SaveJson(userPath, defaults);
    return AudioFileDevice(defaults);
}
