#include "link/light_list.h"

#include <filesystem>
#include <system_error>

#include "link/basic_profiledata.h"
#include "link/data_folders.h"
#include "link/json_file_util.h"
#include "link/profile_json.h"
#include "link/text_encoding.h"
#include "platform/files/folders.h"

using DuiLib::CDuiString;
using Guard = std::lock_guard<std::recursive_mutex>;
namespace pj = profile_json;

namespace {

uint8_t Brightness(const Json::Value& v) { return static_cast<uint8_t>(pj::InRange(v, 0, kMaxBrightnessLevel)); }

uint8_t Speed(const Json::Value& v) { return static_cast<uint8_t>(pj::InRange(v, 0, kMaxSpeedLevel)); }

// The folder part of a path, with its trailing separator; empty when the
// path has no folder.
CDuiString FolderOf(const CDuiString& path) {
    const std::wstring& text = path.str();
    const size_t cut = text.find_last_of(L"\\/");
    if (cut == std::wstring::npos) {
        return CDuiString();
    }
    return CDuiString(text.substr(0, cut + 1));
}

bool IsFile(const CDuiString& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(win::ToFsPath(path.str()), ec);
}

}  // namespace

bool ParseLightList(const Json::Value& lightList, std::vector<LightSetting>& list, size_t count) {
    const size_t size = lightList.isArray() ? lightList.size() : 0;
    for (size_t i = 0; i < count && i < list.size(); ++i) {
        LightSetting entry;
        const Json::Value& element =
            i < size ? lightList[static_cast<Json::ArrayIndex>(i)] : Json::Value::nullSingleton();
        if (element.isObject()) {
            entry.present = 1;
            entry.mode = pj::Low8(JsonMember(element, "LEDREGMode"));
            entry.brightness = Brightness(JsonMember(element, "LEDBrightness"));
            entry.speed = Speed(JsonMember(element, "LEDSpeed"));
            entry.direction = pj::Flag(JsonMember(element, "LEDDirection"));
            entry.colorful = pj::Flag(JsonMember(element, "LEDMultiColor"));
            entry.red = pj::Low8(JsonMember(element, "red"));
            entry.green = pj::Low8(JsonMember(element, "green"));
            entry.blue = pj::Low8(JsonMember(element, "blue"));
        }
        list[i] = entry;
    }
    return true;
}

std::vector<LedEffectStep> ParseLedEffectList(const Json::Value& effect) {
    std::vector<LedEffectStep> steps;
    const Json::Value& list = JsonMember(effect, "LEDEffectList");
    if (!list.isArray()) {
        return steps;
    }
    steps.resize(list.size());
    for (Json::ArrayIndex s = 0; s < list.size(); ++s) {
        const Json::Value& element = list[s];
        LedEffectStep& step = steps[s];
        step.setting.mode = pj::Low8(JsonMember(element, "LEDREGMode"));
        step.setting.brightness = Brightness(JsonMember(element, "LEDBrightness"));
        step.setting.speed = Speed(JsonMember(element, "LEDSpeed"));
        step.setting.direction = pj::Low8(JsonMember(element, "LEDDirection"));
        step.setting.colorful = pj::Low8(JsonMember(element, "LEDMultiColor"));
        step.setting.red = pj::Low8(JsonMember(element, "red"));
        step.setting.green = pj::Low8(JsonMember(element, "green"));
        step.setting.blue = pj::Low8(JsonMember(element, "blue"));
        step.time = JsonAsInt(JsonMember(element, "Time"));
        step.cycle = JsonAsInt(JsonMember(element, "Cyle"));
    }
    return steps;
}

bool IsGuidText(const std::string& text) {
    if (text.empty() || text.size() > 38) {
        return false;
    }
    for (const char c : text) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex && c != '-' && c != '{' && c != '}') {
            return false;
        }
    }
    return true;
}

CDuiString FindLightEffectFile(const std::string& guid, const std::vector<CDuiString>& folders) {
    if (!IsGuidText(guid)) {
        return CDuiString();
    }
    const CDuiString name = Utf8ToDuiString(guid) + L".light";
    for (const CDuiString& folder : folders) {
        if (folder.IsEmpty()) {
            continue;
        }
        const CDuiString candidate = folder + name;
        if (IsFile(candidate)) {
            return candidate;
        }
    }
    return CDuiString();
}

std::vector<LightSetting> CBasicProfiledata::GetLightList() {
    Guard guard(mutex_);
    std::vector<LightSetting> list;
    const Json::Value& lights = pj::Touch(device_document_, "LightList");
    if (lights.isArray()) {
        list.resize(lights.size());
        ParseLightList(lights, list, list.size());
    }
    light_list_ = list;
    return list;
}

void CBasicProfiledata::SetLightListPath(const CDuiString& path) {
    Guard guard(mutex_);
    light_list_path_ = path;
}

CDuiString CBasicProfiledata::GetLightListPath() const {
    Guard guard(mutex_);
    return light_list_path_;
}

Json::Value CBasicProfiledata::LoadLightList(const CDuiString& path) {
    CJsonFileUtil files;
    Json::Value document = files.LoadJson(path);
    Guard guard(mutex_);
    light_list_document_ = std::move(document);
    return light_list_document_;
}

void CBasicProfiledata::SetLightListDeviceIndex(int index) {
    Guard guard(mutex_);
    if (index >= 0) {
        light_list_device_index_ = index;
    }
}

std::vector<LedEffectStep> CBasicProfiledata::GetCustomEffect() {
    Guard guard(mutex_);
    std::vector<LedEffectStep> steps;
    if (!light_list_document_.isNull()) {
        const Json::Value& mode = JsonElement(
            JsonElement(JsonMember(light_list_document_, "LightInfo"), light_list_device_index_), light_setting_.mode);
        const std::string guid = JsonAsString(JsonMember(mode, "Guid"));
        const CDuiString file = FindLightEffectFile(
            guid, {FolderOf(light_list_path_), GetDefaultDataPath(), CDuiString(win::GetProgramFolder())});
        if (!file.IsEmpty()) {
            CJsonFileUtil files;
            steps = ParseLedEffectList(files.LoadJson(file));
        }
    }
    effect_steps_ = steps;
    return steps;
}
