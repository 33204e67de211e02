#pragma once

// The languages of the user interface: "Language.config" in the defaults
// folder, an object whose member "Language" lists one entry per language.
// The position in the list is the language index used everywhere.

#include <string>
#include <vector>

#include "platform/ui/dui_string.h"

namespace Json {
class Value;
}

struct LanguageEntry {
    DuiLib::CDuiString name;  // "Language_name", given to the resource manager
    DuiLib::CDuiString file;  // "Language_file", a file of the skin folder
    int id = 0;               // "Language_ID", stored in the registry value "LANGUAGE"
    DuiLib::CDuiString text;  // "Language_text", shown in the settings window
};

class LanguageList {
public:
    // Reads "Language.config". When it is missing, unreadable or lists no
    // language, the built-in languages take its place (English, then
    // Simplified Chinese, as shipped), so the settings window always has
    // languages to offer. A member that is missing or of another type reads
    // as "" or 0.
    static LanguageList Load();
    static LanguageList LoadFile(const DuiLib::CDuiString& path);
    // The languages shipped with the program.
    static LanguageList BuiltIn();

    // The entry at index; null outside the list.
    const LanguageEntry* At(int index) const;
    // The index of the first entry with the id; -1 when none has it.
    int IndexOfId(int id) const;
    int Count() const { return static_cast<int>(m_entries.size()); }

private:
    static LanguageList FromValue(const Json::Value& root);

    std::vector<LanguageEntry> m_entries;
};

// The registry key that holds the value "LANGUAGE" (under HKEY_CURRENT_USER).
std::wstring LanguageRegistryKey();
