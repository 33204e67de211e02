#pragma once

// Reading and setting aside the file of one profile. A profile file that
// exists but cannot be used (unreadable, not JSON, or not shaped like a
// profile) is never overwritten: it is moved aside as "<name>.bad" so the
// user's data can still be recovered, and the caller starts from defaults.

#include <json/value.h>

#include "platform/ui/dui_string.h"

enum class ProfileFileState {
    kAbsent,    // no file at the path
    kReadable,  // a root object whose "Device" entry can be read and written
    kDamaged,   // a file that exists but cannot serve as a profile
};

struct ProfileFileContent {
    ProfileFileState state = ProfileFileState::kAbsent;
    // The root object when readable; null otherwise.
    Json::Value root;
};

// Reads the profile file at `path`. Readable means: the file parses, its root
// is an object, its "Device" member is missing, null or an array, and element
// `entry` of that array is missing, null or an object.
ProfileFileContent ReadProfileFile(const DuiLib::CDuiString& path, Json::ArrayIndex entry);

// Sets the file (or link) at `path` aside as "<name>.bad"; an earlier copy
// there is never replaced (win::SetDamagedFileAside). True when nothing is at
// `path` any more.
bool SetProfileFileAside(const DuiLib::CDuiString& path);

// Loads the JSON document at `path`. When something is there that is not a
// usable document (it does not parse, or `usable` refuses its root), it is
// set aside as "<name>.bad" (SetProfileFileAside) and null is returned, so the
// defaults that take its place never overwrite it. Null as well when nothing
// is there.
Json::Value LoadDocumentOrSetAside(const DuiLib::CDuiString& path, bool (*usable)(const Json::Value& root));

// The device entry `entry` of a profile root: an object, or null when the
// root, its "Device" array or the element is missing or of another kind.
Json::Value DeviceEntryOf(const Json::Value& root, Json::ArrayIndex entry);
