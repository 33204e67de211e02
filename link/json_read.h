#pragma once

#include <string>

#include <json/json.h>

// Reads of JSON values that never throw, whatever a settings file holds. A file
// may be imported or edited by hand, so a member can have any kind. The usual
// cross-kind readings stay: a number or a truth value reads as an integer or a
// flag, a number or truth value reads as text (its decimal text, "true" or
// "false"). A missing or null value, or one that cannot be converted to the kind
// asked for (an array read as a number, 3.5e12 read as an int, -1 read as an
// unsigned, text read as a number), reads as missing and gives the fallback.

// The member key of an object; the null value when value is not an object or
// has no such member. Never adds the member.
const Json::Value& JsonMember(const Json::Value& value, const char* key);
// Element index of an array; the null value when value is not an array or the
// index is negative or past the end.
const Json::Value& JsonElement(const Json::Value& value, int index);

int JsonAsInt(const Json::Value& value, int fallback = 0);
unsigned JsonAsUInt(const Json::Value& value, unsigned fallback = 0);
double JsonAsDouble(const Json::Value& value, double fallback = 0.0);
bool JsonAsBool(const Json::Value& value, bool fallback = false);
std::string JsonAsString(const Json::Value& value, const std::string& fallback = std::string());

// Shorthands for a member of an object.
inline int JsonInt(const Json::Value& object, const char* key, int fallback = 0) {
    return JsonAsInt(JsonMember(object, key), fallback);
}
inline unsigned JsonUInt(const Json::Value& object, const char* key, unsigned fallback = 0) {
    return JsonAsUInt(JsonMember(object, key), fallback);
}
inline double JsonDouble(const Json::Value& object, const char* key, double fallback = 0.0) {
    return JsonAsDouble(JsonMember(object, key), fallback);
}
inline bool JsonBool(const Json::Value& object, const char* key, bool fallback = false) {
    return JsonAsBool(JsonMember(object, key), fallback);
}
inline std::string JsonString(const Json::Value& object, const char* key, const std::string& fallback = std::string()) {
    return JsonAsString(JsonMember(object, key), fallback);
}
