#include "link/profile_file.h"

#include <filesystem>
#include <system_error>

#include "link/json_file_util.h"
#include "link/profile_json.h"
#include "platform/files/damaged_file.h"
#include "platform/files/folders.h"

namespace {

bool Exists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

}  // namespace

ProfileFileContent ReadProfileFile(const DuiLib::CDuiString& path, Json::ArrayIndex entry) {
    ProfileFileContent content;
    if (path.IsEmpty() || !Exists(win::ToFsPath(path.str()))) {
        return content;
    }
    CJsonFileUtil files;
    Json::Value root = files.LoadJson(path);
    const Json::Value& device = JsonMember(root, "Device");
    const Json::Value& element = JsonElement(device, static_cast<int>(entry));
    const bool readable =
        root.isObject() && (device.isNull() || device.isArray()) && (element.isNull() || element.isObject());
    if (!readable) {
        content.state = ProfileFileState::kDamaged;
        return content;
    }
    content.state = ProfileFileState::kReadable;
    content.root = std::move(root);
    return content;
}

bool SetProfileFileAside(const DuiLib::CDuiString& path) { return win::SetDamagedFileAside(win::ToFsPath(path.str())); }

Json::Value LoadDocumentOrSetAside(const DuiLib::CDuiString& path, bool (*usable)(const Json::Value& root)) {
    if (path.IsEmpty() || !Exists(win::ToFsPath(path.str()))) {
        return Json::Value();
    }
    Json::Value root = CJsonFileUtil::LoadJson(path);
    if (root.isNull() || !usable(root)) {
        SetProfileFileAside(path);
        return Json::Value();
    }
    return root;
}

Json::Value DeviceEntryOf(const Json::Value& root, Json::ArrayIndex entry) {
    const Json::Value& element = JsonElement(JsonMember(root, "Device"), static_cast<int>(entry));
    return element.isObject() ? element : Json::Value();
}
