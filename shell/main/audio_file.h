#pragma once

// The music styles' file "AudioFile.json": the user's copy in the settings
// folder and the installed defaults. Only the "Device" object is the
// program's; the rest of the file is kept as it is.

#include <json/value.h>

#include <optional>

#include "platform/ui/dui_string.h"

// The "Device" object of a document; null when the document has none.
Json::Value AudioFileDevice(const Json::Value& document);

// The start-up load: the user's "Device" object; when the user's file has
// none, the default document is copied over it first. A user file that is
// there but has no "Device" object is set aside as "<name>.bad" before that.
// Without a readable default document nothing is written and the result is
// null.
Json::Value LoadAudioFileDevice(const DuiLib::CDuiString& userPath, const DuiLib::CDuiString& defaultsPath);

// A reset: the default document replaces the user's file and its "Device"
// object is returned; nothing (no write) when the defaults do not load.
std::optional<Json::Value> RestoreAudioFileDefaults(const DuiLib::CDuiString& userPath,
                                                    const DuiLib::CDuiString& defaultsPath);
