#include "link/profile_json.h"

namespace profile_json {

const Json::Value& Touch(Json::Value& v, const char* key) {
    if (!v.isObject()) {
        return Json::Value::nullSingleton();
    }
    return v[key];
}

uint8_t Low8(const Json::Value& v) { return static_cast<uint8_t>(JsonAsInt(v)); }

uint16_t Low16(const Json::Value& v) { return static_cast<uint16_t>(JsonAsInt(v)); }

int InRange(const Json::Value& v, int lo, int hi, int fallback) {
    const int value = JsonAsInt(v, fallback);
    return value >= lo && value <= hi ? value : fallback;
}

uint8_t Flag(const Json::Value& v) { return JsonAsBool(v) ? 1 : 0; }

Json::Value& ObjectMember(Json::Value& v, const char* key) {
    if (!v.isObject()) {
        v = Json::Value(Json::objectValue);
    }
    return v[key];
}

Json::Value& ArrayElement(Json::Value& v, Json::ArrayIndex i) {
    if (!v.isArray()) {
        v = Json::Value(Json::arrayValue);
    }
    return v[i];
}

}  // namespace profile_json
