#pragma once
// The macro list "macro.config" and the macro files ("<Guid>.mac") of a
// device folder, shared by the keyboard, the mouse, the key-assignment page
// and the macro editor. Missing, empty or damaged files read as an empty
// list or a macro without steps; nothing is reported.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <json/value.h>

#include "platform/ui/dui_string.h"

inline constexpr const wchar_t* kMacroListFileName = L"macro.config";
inline constexpr const wchar_t* kMacroFileExtension = L".mac";
inline constexpr size_t kMaxMacroCount = 50;
inline constexpr size_t kMaxMacroEvents = 250;
inline constexpr int kMacroFileVersion = 64;

// One entry of "MacroInfo".
struct MacroInfo {
    std::string name;  // "MacroName", UTF-8
    std::string guid;  // "Guid": names the macro file
    friend bool operator==(const MacroInfo&, const MacroInfo&) = default;
};

// Step kinds ("Type").
enum MacroEventType : int {
    kMacroMouseButton = 1,
    kMacroMoveX = 4,
    kMacroMoveY = 5,
    kMacroModifier = 9,
    kMacroKey = 10,
};

// One step of a macro.
struct MacroEvent {
    bool down = false;   // "Action": "down"; any other text is "up"
    int button = 0;      // "Button"
    int type = 0;        // "Type"
    uint32_t delay = 0;  // "Delay" in milliseconds
    friend bool operator==(const MacroEvent&, const MacroEvent&) = default;
};

struct MacroFile {
    std::vector<MacroEvent> events;  // "Events"
    std::string guid;                // "Guid"
    std::string name;                // "MacroName"
};

// The leading decimal number of "Delay" read as text (a JSON number gives its
// decimal text); 0 when there is none. Held to 32 bits.
uint32_t ReadMacroDelay(const Json::Value& delay);

MacroEvent MacroEventFromJson(const Json::Value& event);
// "Delay" is written as text of decimal digits.
Json::Value MacroEventToJson(const MacroEvent& event);

// folder ends with a path separator.
DuiLib::CDuiString MacroListPath(const DuiLib::CDuiString& folder);
DuiLib::CDuiString MacroFilePath(const DuiLib::CDuiString& folder, const std::string& guid);

// The entries of the folder's "macro.config"; nullopt when the file is
// missing or unreadable (callers that only count treat that as empty).
std::optional<std::vector<MacroInfo>> LoadMacroList(const DuiLib::CDuiString& folder);
// Writes at most kMaxMacroCount entries; true when the file holds them.
bool SaveMacroList(const DuiLib::CDuiString& folder, const std::vector<MacroInfo>& list);

// The macro file at `path`; a missing or unreadable one is a macro without
// steps. Events that are not objects are skipped.
MacroFile LoadMacroFile(const DuiLib::CDuiString& path);
// The "Events" of the file as stored (for packing them for a device).
Json::Value LoadMacroEventsJson(const DuiLib::CDuiString& path);
// Writes "Events" (at most kMaxMacroEvents), "Guid", "MacroName", "Version" 64.
bool SaveMacroFile(const DuiLib::CDuiString& path, const MacroFile& file);
