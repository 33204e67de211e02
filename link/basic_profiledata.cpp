#include "link/basic_profiledata.h"

#include <algorithm>

#include "link/json_file_util.h"
#include "link/profile_file.h"
#include "link/profile_json.h"
#include "platform/files/folders.h"
#include "platform/os/owned_temp_file.h"

using DuiLib::CDuiString;
using Guard = std::lock_guard<std::recursive_mutex>;
namespace pj = profile_json;

namespace {

// "Device" holds one entry per device of a product; far fewer than this.
constexpr int kMaxEntryIndex = 255;
// Key indexes are 16-bit; a longer "KeyList" is read up to that many keys.
constexpr Json::ArrayIndex kMaxKeys = 0x10000;

}  // namespace

void CBasicProfiledata::SetProfilePath(const CDuiString& path) {
    Guard guard(mutex_);
    if (!path.IsEmpty()) {
        profile_path_ = path;
    }
}

CDuiString CBasicProfiledata::GetProfilePath() const {
    Guard guard(mutex_);
    return profile_path_;
}

void CBasicProfiledata::SetDefaultProfilePath(const CDuiString& path) {
    Guard guard(mutex_);
    if (!path.IsEmpty()) {
        default_profile_path_ = path;
    }
}

void CBasicProfiledata::SetDeviceIndex(int index) {
    Guard guard(mutex_);
    if (index >= 0 && index <= kMaxEntryIndex) {
        entry_index_ = static_cast<Json::ArrayIndex>(index);
    }
}

Json::Value CBasicProfiledata::LoadDefaultEntry() const {
    Guard guard(mutex_);
    if (default_profile_path_.IsEmpty()) {
        return Json::Value();
    }
    CJsonFileUtil files;
    return DeviceEntryOf(files.LoadJson(default_profile_path_), entry_index_);
}

Json::Value CBasicProfiledata::LoadInto(Json::Value& document, const CDuiString& path) {
    Guard guard(mutex_);
    // Copies left beside the file by saves that were killed mid-way.
    win::RemoveStaleTempFiles(win::ToFsPath(path.str()));
    ProfileFileContent file = ReadProfileFile(path, entry_index_);
    if (file.state == ProfileFileState::kDamaged) {
        // Keep the user's file for recovery; the defaults serve until the
        // next save writes a new file. The installed defaults are never moved.
        if (path != default_profile_path_) {
            SetProfileFileAside(path);
        }
        document = LoadDefaultEntry();
        return document;
    }
    document = DeviceEntryOf(file.root, entry_index_);
    if (document.isNull()) {
        document = LoadDefaultEntry();
        Json::Value root = file.state == ProfileFileState::kReadable ? file.root : Json::Value(Json::objectValue);
        pj::ArrayElement(pj::ObjectMember(root, "Device"), entry_index_) = document;
        CJsonFileUtil files;
        files.SaveJson(path, root);
    }
    return document;
}

Json::Value CBasicProfiledata::LoadProfile(const CDuiString& path) {
    Guard guard(mutex_);
    return LoadInto(device_document_, path);
}

Json::Value CBasicProfiledata::LoadOtherProfile(const CDuiString& path) {
    Guard guard(mutex_);
    return LoadInto(other_document_, path);
}

bool CBasicProfiledata::SaveProfile() {
    Guard guard(mutex_);
    return SaveDeviceEntry(device_document_, profile_path_);
}

bool CBasicProfiledata::SaveOtherProfile(const CDuiString& path) {
    Guard guard(mutex_);
    return SaveDeviceEntry(other_document_, path);
}

bool CBasicProfiledata::SaveDeviceEntry(const Json::Value& document, const CDuiString& path) {
    Guard guard(mutex_);
    if (path.IsEmpty()) {
        return false;
    }
    ProfileFileContent file = ReadProfileFile(path, entry_index_);
    if (file.state == ProfileFileState::kDamaged && !SetProfileFileAside(path)) {
        return false;
    }
    Json::Value root = file.state == ProfileFileState::kReadable ? file.root : Json::Value(Json::objectValue);
    pj::ArrayElement(pj::ObjectMember(root, "Device"), entry_index_) = document;
    CJsonFileUtil files;
    return files.SaveJson(path, root);
}

bool CBasicProfiledata::WriteDocument(const Json::Value& document, const CDuiString& path) {
    CJsonFileUtil files;
    return files.SaveJson(path, document);
}

LightSetting CBasicProfiledata::GetLightInfo() {
    Guard guard(mutex_);
    LightSetting setting;
    const Json::Value& info = pj::Touch(device_document_, "LightInfo");
    if (info.isObject()) {
        setting.mode = pj::Low8(JsonMember(info, "SelectItem"));
        setting.brightness = static_cast<uint8_t>(pj::InRange(JsonMember(info, "Light"), 0, kMaxBrightnessLevel));
        setting.speed = static_cast<uint8_t>(pj::InRange(JsonMember(info, "Speed"), 0, kMaxProfileSpeedLevel));
        setting.direction = pj::Low8(JsonMember(info, "Fx"));
        setting.colorful = pj::Flag(JsonMember(info, "MultiColor"));
        setting.red = pj::Low8(JsonMember(info, "Red"));
        setting.green = pj::Low8(JsonMember(info, "Green"));
        setting.blue = pj::Low8(JsonMember(info, "Blue"));
        setting.subMode = pj::Low8(JsonMember(info, "ZZCCLedMode"));
        setting.customGroup = pj::Low8(JsonMember(info, "CustomGroup"));
        setting.previousMode = pj::Low8(JsonMember(info, "OldLedmode"));
    }
    light_setting_ = setting;
    return setting;
}

void CBasicProfiledata::SetLightInfo(const LightSetting& setting) {
    Guard guard(mutex_);
    light_setting_ = setting;
    Json::Value info(Json::objectValue);
    info["SelectItem"] = setting.mode;
    info["Light"] = setting.brightness;
    info["Speed"] = setting.speed;
    info["Fx"] = setting.direction;
    info["MultiColor"] = setting.colorful;
    info["Red"] = setting.red;
    info["Green"] = setting.green;
    info["Blue"] = setting.blue;
    info["ZZCCLedMode"] = setting.subMode;
    info["CustomGroup"] = setting.customGroup;
    info["OldLedmode"] = setting.previousMode;
    pj::ObjectMember(device_document_, "LightInfo") = std::move(info);
}

AudioLightSetting CBasicProfiledata::GetAudioLightInfo() {
    Guard guard(mutex_);
    AudioLightSetting setting;
    const Json::Value& info = pj::Touch(device_document_, "AudioLightInfo");
    if (info.isObject()) {
        setting.mode = pj::Low8(JsonMember(info, "AudioMode"));
        setting.bkRed = pj::Low8(JsonMember(info, "BkColorR"));
        setting.bkGreen = pj::Low8(JsonMember(info, "BkColorG"));
        setting.bkBlue = pj::Low8(JsonMember(info, "BkColorB"));
        setting.fgRed = pj::Low8(JsonMember(info, "FgColorR"));
        setting.fgGreen = pj::Low8(JsonMember(info, "FgColorG"));
        setting.fgBlue = pj::Low8(JsonMember(info, "FgColorB"));
        setting.sevenColor = pj::Flag(JsonMember(info, "7ColorFlags"));
        // The lighting page always opens on the foreground colour.
        setting.colorType = 1;
    }
    audio_light_setting_ = setting;
    return setting;
}

void CBasicProfiledata::SetAudioLightInfo(const AudioLightSetting& setting) {
    Guard guard(mutex_);
    audio_light_setting_ = setting;
    Json::Value info(Json::objectValue);
    info["AudioMode"] = setting.mode;
    info["BkColorR"] = setting.bkRed;
    info["BkColorG"] = setting.bkGreen;
    info["BkColorB"] = setting.bkBlue;
    info["FgColorR"] = setting.fgRed;
    info["FgColorG"] = setting.fgGreen;
    info["FgColorB"] = setting.fgBlue;
    info["7ColorFlags"] = setting.sevenColor;
    info["ColorTypeFlags"] = setting.colorType;
    pj::ObjectMember(device_document_, "AudioLightInfo") = std::move(info);
}

std::vector<KeyListEntry> CBasicProfiledata::ReadKeyList(Json::Value& document) {
    std::vector<KeyListEntry> list;
    const Json::Value& keys = pj::Touch(document, "KeyList");
    if (keys.isArray()) {
        const Json::ArrayIndex count = std::min(keys.size(), kMaxKeys);
        list.reserve(count);
        for (Json::ArrayIndex i = 0; i < count; ++i) {
            const Json::Value& element = keys[i];
            KeyListEntry entry;
            entry.current.keyIndex = static_cast<uint16_t>(i);
            entry.current.function =
                UnpackKeyFunction(static_cast<uint32_t>(JsonAsInt(JsonMember(element, "Assignment"))));
            entry.defaults.keyIndex = static_cast<uint16_t>(i);
            entry.defaults.function =
                UnpackKeyFunction(static_cast<uint32_t>(JsonAsInt(JsonMember(element, "DefaultAssignment"))));
            list.push_back(entry);
        }
    }
    return list;
}

void CBasicProfiledata::WriteKeyList(Json::Value& document, const std::vector<KeyListEntry>& list) {
    if (list.empty()) {
        return;
    }
    Json::Value& keys = pj::ObjectMember(document, "KeyList");
    for (size_t i = 0; i < list.size() && i < kMaxKeys; ++i) {
        Json::Value& element = pj::ArrayElement(keys, static_cast<Json::ArrayIndex>(i));
        pj::ObjectMember(element, "Assignment") = PackKeyFunction(list[i].current.function);
    }
}

std::vector<KeyListEntry> CBasicProfiledata::GetKeyList() {
    Guard guard(mutex_);
    key_list_ = ReadKeyList(device_document_);
    return key_list_;
}

void CBasicProfiledata::SetKeyList(const std::vector<KeyListEntry>& list) {
    Guard guard(mutex_);
    key_list_ = list;
    WriteKeyList(device_document_, list);
}

std::vector<KeyListEntry> CBasicProfiledata::GetOtherKeyList() {
    Guard guard(mutex_);
    other_key_list_ = ReadKeyList(other_document_);
    return other_key_list_;
}

void CBasicProfiledata::SetOtherKeyList(const std::vector<KeyListEntry>& list) {
    Guard guard(mutex_);
    other_key_list_ = list;
    WriteKeyList(other_document_, list);
}
