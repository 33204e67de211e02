#include "link/keyboard_profiledata.h"

#include "link/profile_json.h"

using Guard = std::lock_guard<std::recursive_mutex>;
namespace pj = profile_json;

namespace {

bool IsGroup(int group) { return group >= 0 && group < CKeyboardProfiledata::kMaxCustomLightGroups; }

Json::Value ColorObject(const LedColor& color) {
    Json::Value object(Json::objectValue);
    object["Red"] = color.r;
    object["Green"] = color.g;
    object["Blue"] = color.b;
    object["Alpha"] = color.brightness;
    return object;
}

}  // namespace

KeyboardSystemStages KeyboardSystemStages::FromWords(uint32_t w0, uint32_t w1, uint32_t w2, uint32_t w3) {
    KeyboardSystemStages s;
    s.repeat = static_cast<uint16_t>(w0);
    s.repeatDelay = static_cast<uint16_t>(w0 >> 16);
    s.key6Flag = static_cast<uint16_t>(w1);
    s.pollingRate = static_cast<uint16_t>(w1 >> 16);
    s.wFlag = static_cast<uint16_t>(w2);
    s.winFlag = static_cast<uint16_t>(w2 >> 16);
    s.keyShake = static_cast<uint16_t>(w3);
    return s;
}

std::array<uint32_t, 4> KeyboardSystemStages::ToWords() const {
    return {uint32_t(repeat) | uint32_t(repeatDelay) << 16, uint32_t(key6Flag) | uint32_t(pollingRate) << 16,
            uint32_t(wFlag) | uint32_t(winFlag) << 16, uint32_t(keyShake)};
}

void CKeyboardProfiledata::SetSystemStages(uint32_t w0, uint32_t w1, uint32_t w2, uint32_t w3) {
    Guard guard(Lock());
    system_stages_ = KeyboardSystemStages::FromWords(w0, w1, w2, w3);
    Json::Value& stages = pj::ObjectMember(DeviceDocument(), "SystemStages");
    pj::ObjectMember(stages, "Repeat") = system_stages_.repeat;
    pj::ObjectMember(stages, "RepeatDelay") = system_stages_.repeatDelay;
    pj::ObjectMember(stages, "Key6Flag") = system_stages_.key6Flag;
    pj::ObjectMember(stages, "PollingRate") = system_stages_.pollingRate;
    pj::ObjectMember(stages, "WFlag") = system_stages_.wFlag;
    pj::ObjectMember(stages, "WinFlag") = system_stages_.winFlag;
    pj::ObjectMember(stages, "KeyShake") = system_stages_.keyShake;
}

KeyboardSystemStages CKeyboardProfiledata::GetSystemStages() {
    Guard guard(Lock());
    KeyboardSystemStages s;
    const Json::Value& stages = pj::Touch(DeviceDocument(), "SystemStages");
    if (stages.isObject()) {
        s.repeat = pj::Low16(JsonMember(stages, "Repeat"));
        s.repeatDelay = pj::Low16(JsonMember(stages, "RepeatDelay"));
        s.key6Flag = pj::Low16(JsonMember(stages, "Key6Flag"));
        s.pollingRate = pj::Low16(JsonMember(stages, "PollingRate"));
        s.wFlag = pj::Low16(JsonMember(stages, "WFlag"));
        s.winFlag = pj::Low16(JsonMember(stages, "WinFlag"));
        s.keyShake = pj::Low16(JsonMember(stages, "KeyShake"));
    }
    system_stages_ = s;
    return s;
}

void CKeyboardProfiledata::SetFrameIntervalTime(int32_t interval) {
    Guard guard(Lock());
    pj::ObjectMember(DeviceDocument(), "FrameIntervalTime") = interval;
}

int32_t CKeyboardProfiledata::GetFrameIntervalTime() {
    Guard guard(Lock());
    return JsonAsInt(pj::Touch(DeviceDocument(), "FrameIntervalTime"));
}

void CKeyboardProfiledata::SetDefaultMainPage(int32_t page) {
    Guard guard(Lock());
    pj::ObjectMember(DeviceDocument(), "Default_Main_page") = page;
}

void CKeyboardProfiledata::SetCustomLightColors(const std::vector<LedColor>& colors, int group) {
    Guard guard(Lock());
    custom_colors_ = colors;
    if (!IsGroup(group) || colors.empty()) {
        return;
    }
    Json::Value& groups = pj::ObjectMember(pj::ObjectMember(DeviceDocument(), "CustomLightMode"), "LightColorInfo");
    Json::Value& leds = pj::ArrayElement(groups, static_cast<Json::ArrayIndex>(group));
    for (size_t i = 0; i < colors.size(); ++i) {
        Json::Value& element = pj::ArrayElement(leds, static_cast<Json::ArrayIndex>(i));
        // Other members of an existing colour object stay.
        pj::ObjectMember(element, "Red") = colors[i].r;
        pj::ObjectMember(element, "Green") = colors[i].g;
        pj::ObjectMember(element, "Blue") = colors[i].b;
        pj::ObjectMember(element, "Alpha") = colors[i].brightness;
    }
}

std::vector<LedColor> CKeyboardProfiledata::GetCustomLightColors(int group, int count) {
    Guard guard(Lock());
    std::vector<LedColor> colors(count > 0 ? static_cast<size_t>(count) : 0);
    if (IsGroup(group) && !colors.empty()) {
        Json::Value& groups = pj::ObjectMember(pj::ObjectMember(DeviceDocument(), "CustomLightMode"), "LightColorInfo");
        Json::Value& leds = pj::ArrayElement(groups, static_cast<Json::ArrayIndex>(group));
        if (!leds.isArray()) {
            leds = Json::Value(Json::arrayValue);
        }
        for (size_t i = 0; i < colors.size(); ++i) {
            const Json::ArrayIndex index = static_cast<Json::ArrayIndex>(i);
            if (index < leds.size() && leds[index].isObject()) {
                const Json::Value& element = leds[index];
                colors[i] = LedColor{pj::Low8(JsonMember(element, "Red")), pj::Low8(JsonMember(element, "Green")),
                                     pj::Low8(JsonMember(element, "Blue")), pj::Low8(JsonMember(element, "Alpha"))};
            } else {
                // The document keeps a full group after every read.
                leds[index] = ColorObject(LedColor{});
            }
        }
    }
    custom_colors_ = colors;
    return colors;
}

void CKeyboardProfiledata::SetCustomLightGroupIndex(int group) {
    Guard guard(Lock());
    if (!IsGroup(group)) {
        return;
    }
    custom_group_ = group;
    pj::ObjectMember(pj::ObjectMember(DeviceDocument(), "CustomLightMode"), "CustomLightModeGroupIndex") = group;
}

int CKeyboardProfiledata::GetCustomLightGroupIndex() {
    Guard guard(Lock());
    const Json::Value& mode = JsonMember(DeviceDocument(), "CustomLightMode");
    custom_group_ =
        static_cast<int>(pj::InRange(JsonMember(mode, "CustomLightModeGroupIndex"), 0, kMaxCustomLightGroups - 1));
    return custom_group_;
}
