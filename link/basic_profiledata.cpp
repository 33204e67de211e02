#include "link/basic_profiledata.h"

#include <algorithm>

#include "link/json_file_util.h"
#include "link/profile_fields.h"
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

using profile_fields::Read;
using LightField = profile_fields::Field<LightSetting>;
using AudioLightField = profile_fields::Field<AudioLightSetting>;

// "LightInfo": brightness and speed index the effects' level tables, so a
// value out of their range reads as 0.
constexpr LightField kLightFields[] = {
    {"SelectItem", &LightSetting::mode},
    {"Light", &LightSetting::brightness, Read::kRange, kMaxBrightnessLevel},
    {"Speed", &LightSetting::speed, Read::kRange, kMaxProfileSpeedLevel},
    {"Fx", &LightSetting::direction},
    {"MultiColor", &LightSetting::colorful, Read::kFlag},
    {"Red", &LightSetting::red},
    {"Green", &LightSetting::green},
    {"Blue", &LightSetting::blue},
    {"ZZCCLedMode", &LightSetting::subMode},
    {"CustomGroup", &LightSetting::customGroup},
    {"OldLedmode", &LightSetting::previousMode},
};

// "AudioLightInfo": the colour type is written but not read back.
constexpr AudioLightField kAudioLightFields[] = {
    {"AudioMode", &AudioLightSetting::mode},
    {"BkColorR", &AudioLightSetting::bkRed},
    {"BkColorG", &AudioLightSetting::bkGreen},
    {"BkColorB", &AudioLightSetting::bkBlue},
    {"FgColorR", &AudioLightSetting::fgRed},
    {"FgColorG", &AudioLightSetting::fgGreen},
    {"FgColorB", &AudioLightSetting::fgBlue},
    {"7ColorFlags", &AudioLightSetting::sevenColor, Read::kFlag},
    {"ColorTypeFlags", &AudioLightSetting::colorType, Read::kNotRead},
};

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
    if (info.isObject()) profile_fields::ReadFields<LightSetting>(info, setting, kLightFields);
    light_setting_ = setting;
    return setting;
}

void CBasicProfiledata::SetLightInfo(const LightSetting& setting) {
    Guard guard(mutex_);
    light_setting_ = setting;
    pj::ObjectMember(device_document_, "LightInfo") = profile_fields::WriteFields<LightSetting>(setting, kLightFields);
}

AudioLightSetting CBasicProfiledata::GetAudioLightInfo() {
    Guard guard(mutex_);
    AudioLightSetting setting;
    const Json::Value& info = pj::Touch(device_document_, "AudioLightInfo");
    if (info.isObject()) {
        profile_fields::ReadFields<AudioLightSetting>(info, setting, kAudioLightFields);
        // The lighting page always opens on the foreground colour.
        setting.colorType = 1;
    }
    audio_light_setting_ = setting;
    return setting;
}

void CBasicProfiledata::SetAudioLightInfo(const AudioLightSetting& setting) {
    Guard guard(mutex_);
    audio_light_setting_ = setting;
    pj::ObjectMember(device_document_, "AudioLightInfo") =
        profile_fields::WriteFields<AudioLightSetting>(setting, kAudioLightFields);
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
