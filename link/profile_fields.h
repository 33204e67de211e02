#pragma once

// Field tables of the profile documents: one row per JSON member of a
// settings object, naming the byte of the record it fills and how a read
// value is brought into the byte's range. One function reads a whole object
// into a record and one writes a record into a new object, so each key is
// spelled once.

#include <cstdint>
#include <span>

#include <json/value.h>

#include "link/json_read.h"
#include "link/profile_json.h"

namespace profile_fields {

// How a member's value becomes the record's byte.
enum class Read : std::uint8_t {
    kLow8,     // the low 8 bits of the integer
    kFlag,     // a truth value as 0 or 1
    kRange,    // the integer when 0..highest, otherwise 0
    kNotRead,  // written only; the reader sets the byte itself
};

template <class Record>
struct Field {
    const char* key;
    std::uint8_t Record::*member;
    Read read = Read::kLow8;
    int highest = 0;  // for kRange
};

// Fills the record's bytes from the members of `object` (a missing member
// or one of another kind reads as 0); rows marked kNotRead are left alone.
template <class Record>
void ReadFields(const Json::Value& object, Record& record, std::span<const Field<Record>> fields) {
    for (const Field<Record>& field : fields) {
        const Json::Value& value = JsonMember(object, field.key);
        std::uint8_t& byte = record.*field.member;
        switch (field.read) {
            case Read::kLow8:
                byte = profile_json::Low8(value);
                break;
            case Read::kFlag:
                byte = profile_json::Flag(value);
                break;
            case Read::kRange:
                byte = static_cast<std::uint8_t>(profile_json::InRange(value, 0, field.highest));
                break;
            case Read::kNotRead:
                break;
        }
    }
}

// An object holding every row's byte as an integer member.
template <class Record>
Json::Value WriteFields(const Record& record, std::span<const Field<Record>> fields) {
    Json::Value object(Json::objectValue);
    for (const Field<Record>& field : fields) object[field.key] = record.*field.member;
    return object;
}

}  // namespace profile_fields
