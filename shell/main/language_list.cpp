#include "shell/main/language_list.h"

#include <json/value.h>

#include "link/data_folders.h"
#include "link/json_file_util.h"
#include "link/text_encoding.h"
#include "shell/main/main_wnd.h"

namespace {

DuiLib::CDuiString StringMember(const Json::Value& entry, const char* key) {
    if (!entry.isObject()) return {};
    const Json::Value& value = entry[key];
    return value.isString() ? Utf8ToDuiString(value.asString()) : DuiLib::CDuiString();
}

int IntMember(const Json::Value& entry, const char* key) {
    if (!entry.isObject()) return 0;
    const Json::Value& value = entry[key];
    return value.isInt() ? value.asInt() : 0;
}

}  // namespace

LanguageList LanguageList::Load() { return LoadFile(GetDefaultDataPath() + L"Language.config"); }

LanguageList LanguageList::LoadFile(const DuiLib::CDuiString& path) { return FromValue(CJsonFileUtil::LoadJson(path)); }

LanguageList LanguageList::FromValue(const Json::Value& root) {
    LanguageList list;
    if (!root.isObject() || !root["Language"].isArray()) return list;
    for (const Json::Value& entry : root["Language"]) {
        list.m_entries.push_back({StringMember(entry, "Language_name"), StringMember(entry, "Language_file"),
                                  IntMember(entry, "Language_ID"), StringMember(entry, "Language_text")});
    }
    return list;
}

const LanguageEntry* LanguageList::At(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return &m_entries[static_cast<size_t>(index)];
}

int LanguageList::IndexOfId(int id) const {
    for (int i = 0; i < Count(); ++i) {
        if (m_entries[static_cast<size_t>(i)].id == id) return i;
    }
    return -1;
}

std::wstring LanguageRegistryKey() { return std::wstring(L"SOFTWARE\\") + kProductString; }
