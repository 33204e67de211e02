#include "pages/shoot_gun_steps.h"

#include <algorithm>

#include "link/json_file_util.h"
#include "link/json_read.h"
#include "pages/shoot_file.h"

std::vector<DeviceMacroEvent> PackShootGun(const Json::Value& document) {
    std::vector<DeviceMacroEvent> steps;
    if (!HasShootEvents(document)) return steps;
    const Json::Value& events = JsonMember(document, "Events");
    const Json::ArrayIndex count = std::min(events.size(), static_cast<Json::ArrayIndex>(kShootMaxEvents));
    for (Json::ArrayIndex i = 0; i < count; ++i) {
        Json::Value event(Json::objectValue);
        if (events[i].isObject()) {
            event = events[i];
            event["Button"] = std::clamp(ShootNumber(JsonMember(events[i], "Button")), 0, kShootMaxAmount);
            event["Delay"] = std::clamp(ShootNumber(JsonMember(events[i], "Delay")), 0, kShootMaxDelay);
        }
        DeviceMacroEvent packed;
        PackMacroEvent(event, packed);
        steps.push_back(packed);
    }
    return steps;
}

std::vector<std::vector<DeviceMacroEvent>> LoadShootGunSteps(const DuiLib::CDuiString& folder) {
    std::vector<std::vector<DeviceMacroEvent>> guns;
    for (int gun = 0; gun < kShootGunCount; ++gun)
        guns.push_back(PackShootGun(CJsonFileUtil::LoadJson(folder + ShootFileName(gun))));
    return guns;
}
