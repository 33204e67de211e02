#include "pages/shoot_file.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <string>

#include "link/json_read.h"
#include "link/string_util.h"
#include "pages/macro_files.h"

namespace {

constexpr const char* kEvents = "Events";

// The fixed parts of the six steps of a bullet.
struct StepShape {
    int type;
    int delay;  // -1: the bullet's delay
};

constexpr StepShape kStepShapes[kShootStepsPerBullet] = {
    {kMacroMouseButton, 10}, {kMacroMouseButton, 0}, {kMacroMoveX, 5},
    {kMacroMoveY, -1},       {kMacroMoveX, 0},       {kMacroMoveY, 0},
};

// "down" is left for X and up for Y.
const char* Direction(bool down) { return down ? "down" : "up"; }

bool IsDownText(const std::string& text) {
    return text.size() == 4 && std::equal(text.begin(), text.end(), "down", [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
}

Json::Value MakeStep(const char* action, int button, int delay, int type) {
    Json::Value step(Json::objectValue);
    step["Action"] = action;
    step["Button"] = button;
    step["Delay"] = delay;
    step["Type"] = type;
    return step;
}

}  // namespace

DuiLib::CDuiString ShootFileName(int gun) {
    return DuiLib::CDuiString(L"ShootData_" + std::to_wstring(gun) + L".Shoot");
}

bool HasShootEvents(const Json::Value& document) {
    return document.isObject() && JsonMember(document, kEvents).isArray();
}

bool IsShootDocument(const Json::Value& document) {
    if (!HasShootEvents(document)) return false;
    const Json::Value& events = JsonMember(document, kEvents);
    if (events.size() > static_cast<Json::ArrayIndex>(kShootMaxEvents)) return false;
    return std::all_of(events.begin(), events.end(), [](const Json::Value& e) { return e.isObject(); });
}

int ShootNumber(const Json::Value& value) {
    if (value.isString()) return TextToInt(value.asCString());
    if (value.isBool() || !value.isNumeric()) return 0;
    if (value.isInt()) return value.asInt();
    const double number = std::trunc(value.asDouble());
    if (std::isnan(number)) return 0;
    return static_cast<int>(
        std::clamp(number, double(std::numeric_limits<int>::min()), double(std::numeric_limits<int>::max())));
}

ShootBullet ReadShootBullet(const Json::Value& document, int bullet) {
    const Json::Value& events = JsonMember(document, kEvents);
    const Json::Value& moveX = JsonElement(events, bullet * kShootStepsPerBullet + 2);
    const Json::Value& moveY = JsonElement(events, bullet * kShootStepsPerBullet + 3);
    ShootBullet out;
    out.left = IsDownText(JsonString(moveX, "Action"));
    out.x = ShootNumber(JsonMember(moveX, "Button"));
    out.up = IsDownText(JsonString(moveY, "Action"));
    out.y = ShootNumber(JsonMember(moveY, "Button"));
    out.delay = ShootNumber(JsonMember(moveY, "Delay"));
    return out;
}

ShootBullet ClampShootBullet(const ShootBullet& bullet) {
    ShootBullet out = bullet;
    out.x = std::clamp(bullet.x, 0, kShootMaxAmount);
    out.y = std::clamp(bullet.y, 0, kShootMaxAmount);
    out.delay = std::clamp(bullet.delay, 0, kShootMaxDelay);
    return out;
}

Json::Value ShootBulletStep(int step, const ShootBullet& bullet) {
    const ShootBullet b = ClampShootBullet(bullet);
    const StepShape& shape = kStepShapes[std::clamp(step, 0, kShootStepsPerBullet - 1)];
    const int delay = shape.delay < 0 ? b.delay : shape.delay;
    switch (step) {
        case 0:
            return MakeStep("down", 1, delay, shape.type);
        case 1:
            return MakeStep("up", 1, delay, shape.type);
        case 2:
            return MakeStep(Direction(b.left), b.x, delay, shape.type);
        case 3:
            return MakeStep(Direction(b.up), b.y, delay, shape.type);
        case 4:
            return MakeStep(Direction(b.left), 0, delay, shape.type);
        default:
            return MakeStep(Direction(b.up), 0, delay, shape.type);
    }
}

void WriteShootBullet(Json::Value& document, int bullet, const ShootBullet& value) {
    bullet = std::clamp(bullet, 0, kShootBulletCount - 1);
    if (!document.isObject()) document = Json::Value(Json::objectValue);
    Json::Value& events = document[kEvents];
    if (!events.isArray()) events = Json::Value(Json::arrayValue);
    const Json::ArrayIndex first = static_cast<Json::ArrayIndex>(bullet * kShootStepsPerBullet);
    const ShootBullet zero;
    for (Json::ArrayIndex i = 0; i < first; ++i) {
        if (i >= events.size() || !events[i].isObject())
            events[i] = ShootBulletStep(int(i % kShootStepsPerBullet), zero);
    }
    for (int step = 0; step < kShootStepsPerBullet; ++step)
        events[first + Json::ArrayIndex(step)] = ShootBulletStep(step, value);
}
