#pragma once

// The readings and writes of profile-document members that go beyond the
// plain never-throwing reads of json_read.h: values cut to a field's width,
// values checked against the range in which they are used as indexes, the
// null member that a document's readers leave behind, and writes that give a
// container of the wrong kind the kind it needs.

#include <cstdint>

#include <json/value.h>

#include "link/json_read.h"

namespace profile_json {

// Reads member `key` the way the documents read members: when `v` is an
// object that lacks the member, the member is added with the value null
// (a later save keeps it as null, which every reader takes as missing).
// A `v` that is not an object is left alone and null is returned.
const Json::Value& Touch(Json::Value& v, const char* key);

// The integer cut to its low 8 or 16 bits; 0 when it is missing or of
// another kind.
uint8_t Low8(const Json::Value& v);
uint16_t Low16(const Json::Value& v);

// The integer when lo <= value <= hi, otherwise `fallback`.
int InRange(const Json::Value& v, int lo, int hi, int fallback = 0);

// A truth value as 0 or 1 (a number other than 0 is 1).
uint8_t Flag(const Json::Value& v);

// Writing: make `v` an object (replacing a value of another kind) and
// return its member `key`, created null when missing.
Json::Value& ObjectMember(Json::Value& v, const char* key);

// Writing: make `v` an array (replacing a value of another kind) and return
// element `i`, growing the array with nulls as needed.
Json::Value& ArrayElement(Json::Value& v, Json::ArrayIndex i);

}  // namespace profile_json
