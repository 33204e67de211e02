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

LanguageList LanguageList::BuiltIn() {
    LanguageList list;
    list.m_entries.push_back({L"en", L"lan_en.xml", 1033, L"English"});
    list.m_entries.push_back({L"cn", L"lan_cn.xml", 2052, L"\u7B80\u4F53\u4E2D\u6587"});
    return list;
}

// Entries are read leniently (a missing member reads as "" or 0), since the
// position of an entry is its index and skipping one would shift every
// later language; a document without a single entry is no language list.
LanguageList LanguageList::FromValue(const Json::Value& root) {
    if (!root.isObject() || !root["Language"].isArray() || root["Language"].empty()) return BuiltIn();
    LanguageList list;
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
