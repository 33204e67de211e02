#include "link/json_read.h"

#include <cstring>

namespace {

const Json::Value& NullValue() {
    static const Json::Value null;
    return null;
}

bool Usable(const Json::Value& value, Json::ValueType kind) { return !value.isNull() && value.isConvertibleTo(kind); }

}  // namespace

const Json::Value& JsonMember(const Json::Value& value, const char* key) {
    if (key == nullptr || !value.isObject()) {
        return NullValue();
    }
    const Json::Value* found = value.find(key, key + std::strlen(key));
    return found != nullptr ? *found : NullValue();
}

const Json::Value& JsonElement(const Json::Value& value, int index) {
    if (!value.isArray() || index < 0 || static_cast<Json::ArrayIndex>(index) >= value.size()) {
        return NullValue();
    }
    return value[static_cast<Json::ArrayIndex>(index)];
}

int JsonAsInt(const Json::Value& value, int fallback) {
    return Usable(value, Json::intValue) ? value.asInt() : fallback;
}

unsigned JsonAsUInt(const Json::Value& value, unsigned fallback) {
    return Usable(value, Json::uintValue) ? value.asUInt() : fallback;
}

double JsonAsDouble(const Json::Value& value, double fallback) {
    return Usable(value, Json::realValue) ? value.asDouble() : fallback;
}

bool JsonAsBool(const Json::Value& value, bool fallback) {
    return Usable(value, Json::booleanValue) ? value.asBool() : fallback;
}

std::string JsonAsString(const Json::Value& value, const std::string& fallback) {
    return Usable(value, Json::stringValue) ? value.asString() : fallback;
}
