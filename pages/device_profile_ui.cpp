#include "pages/device_profile_ui.h"

#include <array>
#include <string>

#include "link/json_file_util.h"
#include "link/profile_file.h"
#include "link/string_util.h"
#include "link/text_encoding.h"
#include "pages/profile_names.h"
#include "platform/files/folders.h"
#include "platform/ui/button.h"
#include "platform/ui/combo.h"
#include "platform/ui/edit.h"
#include "platform/ui/list.h"
#include "platform/ui/paint_manager.h"
#include "shell/controls/message_boxes.h"

using namespace DuiLib;

namespace {

constexpr int kItemHeight = 30;
constexpr int kLargeDpiScale = 150;
constexpr int kLargeDpi = 144;
constexpr int kNormalDpi = 96;

// The function tabs, tab n at index n - 1.
constexpr std::array<const wchar_t*, CDeviceProfileUI::kTabCount> kTabNames = {
    L"deng_Op_tab",       L"key_Op_tab",   L"macro_Op_tab",      L"system_Op_tab", L"cursor_Op_tab",
    L"6533_voice_Op_tab", L"magic_Op_tab", L"Virtual7.1_Op_tab", L"screen_Op_tab",
};

// Tabs that a device kind hides and shows; the others keep the skin's state.
struct TabVisibility {
    int kind;
    std::vector<const wchar_t*> hidden;
    std::vector<const wchar_t*> shown;
};

const std::vector<TabVisibility>& TabVisibilityRows() {
    static const std::vector<TabVisibility> rows = {
        // Only a keyboard has a screen.
        {1, {L"cursor_Op_tab"}, {L"screen_Op_tab"}},
        {3, {L"cursor_Op_tab", L"macro_Op_tab", L"system_Op_tab", L"key_Op_tab"}, {}},
        {5, {L"cursor_Op_tab", L"macro_Op_tab", L"system_Op_tab", L"key_Op_tab"}, {}},
        {4, {L"cursor_Op_tab", L"macro_Op_tab", L"key_Op_tab"}, {}},
        {7,
         {L"cursor_Op_tab", L"macro_Op_tab", L"system_Op_tab", L"key_Op_tab"},
         {L"6533_voice_Op_tab", L"magic_Op_tab", L"Virtual7.1_Op_tab"}},
    };
    return rows;
}

constexpr int kHeadsetKind = 7;
constexpr const char* kEqualiserKeys[] = {"CustomEQNameInfo", "CustomEQHzValueInfo"};

Json::Value NewEntry(const CDuiString& name, const std::string& id) {
    Json::Value entry(Json::objectValue);
    entry["profilename"] = WideToUtf8(name);
    entry["profileUUID"] = id;
    entry["profileislink"] = 0;
    entry["profilelinkmame"] = "";
    return entry;
}

bool HasEntries(const Json::Value& index) {
    return index.isObject() && index["profilelist"].isArray() && index["profilelist"].size() > 0;
}

// The stored selection as an int; a missing or non-numeric value reads as 0.
int StoredSelection(const Json::Value& index) {
    const Json::Value& v = index["profileselect"];
    return v.isInt() ? v.asInt() : 0;
}

// The id as a file stem: empty unless a string without path separators, so
// that a hand-edited index cannot reach files outside the folder.
std::string ProfileIdOf(const Json::Value& id) {
    if (!id.isString()) return std::string();
    std::string text = id.asString();
    return text.find_first_of("/\\") == std::string::npos ? text : std::string();
}

}  // namespace

CDeviceProfileUI::CDeviceProfileUI() { SetOptionScope(); }
CDeviceProfileUI::~CDeviceProfileUI() = default;

CControlUI* CDeviceProfileUI::CreateInstance() { return new CDeviceProfileUI(); }

void CDeviceProfileUI::SetProfilePaths(const CDuiString& folder, const CDuiString& defaultFile) {
    m_sProfileFolder = folder;
    m_sDefaultProfileFile = defaultFile;
}

// --- Controls ----------------------------------------------------------------------

CComboUI* CDeviceProfileUI::List() {
    if (!m_pList)
        if (CControlUI* c = FindSubControl(L"device_profile_combo"))
            m_pList = static_cast<CComboUI*>(c->GetInterface(L"Combo"));
    return m_pList;
}

CEditUI* CDeviceProfileUI::NameEdit() {
    if (!m_pNameEdit)
        if (CControlUI* c = FindSubControl(L"device_profile_name_edit"))
            m_pNameEdit = static_cast<CEditUI*>(c->GetInterface(L"Edit"));
    return m_pNameEdit;
}

CControlUI* CDeviceProfileUI::MenuGroup() {
    if (!m_pMenuGroup) m_pMenuGroup = FindSubControl(L"profile_menu_layout");
    return m_pMenuGroup;
}

std::vector<CDuiString> CDeviceProfileUI::ItemNames() {
    std::vector<CDuiString> names;
    if (CComboUI* list = List())
        for (int i = 0; i < list->GetCount(); ++i) names.push_back(list->GetItemAt(i)->GetText());
    return names;
}

void CDeviceProfileUI::AddListItem(const CDuiString& name) {
    auto* item = new CListLabelElementUI();
    item->SetFixedHeight(kItemHeight);
    item->SetText(name);
    item->SetToolTip(name);
    item->SetUserData(name);
    List()->Add(item);
}

CDuiString CDeviceProfileUI::GetNameEditText() {
    CEditUI* edit = NameEdit();
    return edit ? edit->GetText() : CDuiString();
}

void CDeviceProfileUI::SetNameEditText(const CDuiString& text) {
    if (CEditUI* edit = NameEdit()) {
        edit->SetText(text);
        edit->SetToolTip(text);
    }
}

void CDeviceProfileUI::RevertNameEdit() {
    CComboUI* list = List();
    if (!list || !NameEdit()) return;
    const int selected = list->GetCurSel();
    if (selected < 0 || selected >= list->GetCount()) return;
    NameEdit()->SetText(list->GetItemAt(selected)->GetText());
}

void CDeviceProfileUI::ShowProfileMenu(bool show) {
    if (CControlUI* group = MenuGroup()) group->SetVisible(show);
}

bool CDeviceProfileUI::IsProfileMenuVisible() {
    CControlUI* group = MenuGroup();
    return group && group->IsVisible();
}

void CDeviceProfileUI::ShowMessage(const wchar_t* key) {
    const bool large = GetManager() && GetManager()->GetDPIObj()->GetScale() == kLargeDpiScale;
    ShowMessageBox(nullptr, nullptr, key, large ? kLargeDpi : kNormalDpi, 1, 0);
}

// --- Files ---------------------------------------------------------------------------

CDuiString CDeviceProfileUI::ListPath() const { return m_sProfileFolder + kListFileName; }

CDuiString CDeviceProfileUI::DocumentPath(const Json::Value& id) const {
    return m_sProfileFolder + Utf8ToDuiString(ProfileIdOf(id)) + kDocumentExtension;
}

Json::Value CDeviceProfileUI::ReadIndex() const { return LoadProfileIndex(ListPath()); }

bool CDeviceProfileUI::WriteIndex(const Json::Value& index) const { return CJsonFileUtil::SaveJson(ListPath(), index); }

void CDeviceProfileUI::WriteDocument(Json::Value document, const CDuiString& name, const std::string& id) const {
    document["profilename"] = WideToUtf8(name);
    document["profileUUID"] = id;
    CJsonFileUtil::SaveJson(DocumentPath(Json::Value(id)), document);
}

// --- Load and select ----------------------------------------------------------------------

void CDeviceProfileUI::LoadProfileList() {
    m_listDocument = ReadIndex();
    if (!HasEntries(m_listDocument)) {
        if (!m_listDocument.isObject()) m_listDocument = Json::Value(Json::objectValue);
        const std::string id = CJsonFileUtil::MakeTimeId();
        Json::Value list(Json::arrayValue);
        list.append(NewEntry(L"profile1", id));
        m_listDocument["profilelist"] = list;
        m_listDocument["profileselect"] = 0;
        WriteIndex(m_listDocument);
        WriteDocument(CJsonFileUtil::LoadJson(m_sDefaultProfileFile), L"profile1", id);
    }
    CComboUI* list = List();
    if (!list) return;
    // Entry i is item i: a second load starts from an empty list.
    list->RemoveAll();
    for (const Json::Value& entry : m_listDocument["profilelist"])
        AddListItem(Utf8ToDuiString(entry["profilename"].isString() ? entry["profilename"].asString() : ""));
    int selected = StoredSelection(m_listDocument);
    // A stored choice that names no entry (a hand-edited index) becomes entry 0.
    if (selected < 0 || selected >= list->GetCount()) selected = 0;
    SelectProfile(selected, false);
    ApplyTabVisibility();
}

void CDeviceProfileUI::ApplyTabVisibility() {
    for (const TabVisibility& row : TabVisibilityRows()) {
        if (row.kind != m_nDeviceKind) continue;
        for (const wchar_t* name : row.hidden)
            if (CControlUI* tab = FindSubControl(name)) tab->SetVisible(false);
        for (const wchar_t* name : row.shown)
            if (CControlUI* tab = FindSubControl(name)) tab->SetVisible(true);
    }
}

void CDeviceProfileUI::SelectProfile(int index, bool notify) {
    CComboUI* list = List();
    if (!list || index < 0 || index >= list->GetCount()) return;
    list->SelectItem1(index, false, notify);
    const CDuiString name = list->GetItemAt(index)->GetText();
    list->SetToolTip(name);
    SetNameEditText(name);
    m_listDocument = ReadIndex();
    if (!m_listDocument.isObject()) m_listDocument = Json::Value(Json::objectValue);
    m_listDocument["profileselect"] = index;
    const Json::Value& id = m_listDocument["profilelist"][Json::ArrayIndex(index)]["profileUUID"];
    m_sCurrentId = Utf8ToDuiString(id.isString() ? id.asString() : std::string());
    WriteIndex(m_listDocument);
}

int CDeviceProfileUI::GetSelectedIndex() {
    CComboUI* list = List();
    return list ? list->GetCurSel() : -1;
}

int CDeviceProfileUI::GetProfileCount() {
    m_countDocument = ReadIndex();
    const Json::Value& list = m_countDocument["profilelist"];
    return list.isArray() ? int(list.size()) : 0;
}

CDuiString CDeviceProfileUI::GetProfileFilePath(int index) const {
    const Json::Value& list = m_countDocument["profilelist"];
    if (!list.isArray() || index < 0 || index >= int(list.size())) return DocumentPath(Json::Value());
    return DocumentPath(list[Json::ArrayIndex(index)]["profileUUID"]);
}

// --- Whole-file operations -----------------------------------------------------------------

bool CDeviceProfileUI::AddProfileEntry(const CDuiString& name, const wchar_t* limitKey, std::string* id) {
    CComboUI* list = List();
    if (!list) return false;
    if (list->GetCount() >= kMaxProfiles) {
        ShowMessage(limitKey);
        return false;
    }
    AddListItem(name);
    *id = CJsonFileUtil::MakeTimeId();
    m_listDocument = ReadIndex();
    if (!m_listDocument.isObject()) m_listDocument = Json::Value(Json::objectValue);
    m_listDocument["profilelist"].append(NewEntry(name, *id));
    WriteIndex(m_listDocument);
    return true;
}

bool CDeviceProfileUI::NewProfile() {
    std::string id;
    const CDuiString name = MakeNewProfileName(ItemNames());
    if (!AddProfileEntry(name, L"message_text_32", &id)) return false;
    WriteDocument(CJsonFileUtil::LoadJson(m_sDefaultProfileFile), name, id);
    // A profile is made to be worked on: it becomes the one shown.
    if (CComboUI* list = List()) SelectProfile(list->GetCount() - 1, false);
    return true;
}

void CDeviceProfileUI::CopySelectedProfile() {
    const int selected = GetSelectedIndex();
    if (selected < 0) return;
    const Json::Value source =
        CJsonFileUtil::LoadJson(DocumentPath(ReadIndex()["profilelist"][Json::ArrayIndex(selected)]["profileUUID"]));
    std::string id;
    const CDuiString name = MakeCopyProfileName(ItemNames(), List()->GetItemAt(selected)->GetText());
    if (!AddProfileEntry(name, L"message_text_32", &id)) return;
    WriteDocument(source, name, id);
}

void CDeviceProfileUI::ImportProfile(const CDuiString& source, const CDuiString& name) {
    if (!List()) return;
    const Json::Value document = CJsonFileUtil::LoadJson(source);
    std::string id;
    const CDuiString unique = MakeImportProfileName(ItemNames(), name);
    if (!AddProfileEntry(unique, L"message_text_30", &id)) return;
    WriteDocument(document, unique, id);
}

void CDeviceProfileUI::ExportSelectedProfile(const CDuiString& destination) {
    const int selected = GetSelectedIndex();
    if (selected < 0) return;
    m_listDocument = ReadIndex();
    const Json::Value document =
        CJsonFileUtil::LoadJson(DocumentPath(m_listDocument["profilelist"][Json::ArrayIndex(selected)]["profileUUID"]));
    CJsonFileUtil::SaveJson(destination, document);
}

bool CDeviceProfileUI::DeleteSelectedProfile() {
    CComboUI* list = List();
    if (!list) return false;
    const int selected = list->GetCurSel();
    if (selected < 0 || list->GetCount() <= 1) return false;
    const int next = selected > 0 ? selected - 1 : 0;
    m_listDocument = ReadIndex();
    Json::Value& entries = m_listDocument["profilelist"];
    if (entries.isArray() && selected < int(entries.size())) {
        Json::Value removed;
        entries.removeIndex(Json::ArrayIndex(selected), &removed);
        if (!ProfileIdOf(removed["profileUUID"]).empty())
            win::DeleteFileW(DocumentPath(removed["profileUUID"]).GetData());
    }
    m_listDocument["profileselect"] = next;
    WriteIndex(m_listDocument);
    list->RemoveAt(selected);
    // The new entry is the selection everywhere (list, name field, id and the
    // stored choice), so that the device can be switched to it.
    SelectProfile(next, false);
    return true;
}

void CDeviceProfileUI::ResetSelectedProfile() {
    const int selected = GetSelectedIndex();
    if (selected < 0) return;
    m_listDocument = ReadIndex();
    const Json::Value& entry = m_listDocument["profilelist"][Json::ArrayIndex(selected)];
    const std::string id = ProfileIdOf(entry["profileUUID"]);
    if (id.empty()) return;
    const CDuiString path = DocumentPath(entry["profileUUID"]);
    Json::Value document = CJsonFileUtil::LoadJson(m_sDefaultProfileFile);
    if (m_nDeviceKind == kHeadsetKind) {
        // The user's own equaliser names and values survive a reset.
        const Json::Value current = CJsonFileUtil::LoadJson(path);
        for (const char* key : kEqualiserKeys)
            if (current["Device"][0].isMember(key)) document["Device"][0][key] = current["Device"][0][key];
    }
    WriteDocument(document, Utf8ToDuiString(entry["profilename"].isString() ? entry["profilename"].asString() : ""),
                  id);
}

int CDeviceProfileUI::RenameSelectedProfile(const CDuiString& name) {
    CComboUI* list = List();
    if (!list) return 0;
    if (IsBlankString(name)) return 2;
    if (name.Find(L'&') >= 0) return 3;
    const int selected = list->GetCurSel();
    for (int i = 0; i < list->GetCount(); ++i)
        if (i != selected && list->GetItemAt(i)->GetText().CompareNoCase(name.GetData()) == 0) return 0;
    if (selected < 0) return 0;
    auto* item = static_cast<CListLabelElementUI*>(list->GetItemAt(selected));
    item->SetText(name);
    item->SetToolTip(name);
    item->SetUserData(name);
    list->SetToolTip(name);
    SetNameEditText(name);
    list->Invalidate();
    m_listDocument = ReadIndex();
    Json::Value& entry = m_listDocument["profilelist"][Json::ArrayIndex(selected)];
    if (entry.isObject()) {
        entry["profilename"] = WideToUtf8(name);
        WriteIndex(m_listDocument);
        if (ProfileIdOf(entry["profileUUID"]).empty()) return 1;
        const CDuiString path = DocumentPath(entry["profileUUID"]);
        Json::Value document = CJsonFileUtil::LoadJson(path);
        document["profilename"] = WideToUtf8(name);
        CJsonFileUtil::SaveJson(path, document);
    }
    return 1;
}

void CDeviceProfileUI::SelectFunctionTab(int tab) {
    std::array<COptionUI*, kTabCount> tabs{};
    for (size_t i = 0; i < kTabNames.size(); ++i) {
        CControlUI* c = FindSubControl(kTabNames[i]);
        tabs[i] = c ? static_cast<COptionUI*>(c->GetInterface(L"Option")) : nullptr;
        if (!tabs[i]) return;
    }
    const bool known = tab >= 1 && tab <= kTabCount;
    // Another number leaves the last two tabs as they are.
    const size_t touched = known ? kTabCount : 7;
    for (size_t i = 0; i < touched; ++i) tabs[i]->Selected(known && int(i) + 1 == tab, false);
}

// An index whose list is of another type than written is set aside (every
// reader of the list indexes its entries as objects); a choice of another
// type reads as entry 0.
Json::Value LoadProfileIndex(const CDuiString& path) {
    return LoadDocumentOrSetAside(path, [](const Json::Value& root) {
        if (!root.isObject()) return false;
        const Json::Value& list = root["profilelist"];
        if (!list.isNull() && !list.isArray()) return false;
        for (const Json::Value& entry : list) {
            if (!entry.isNull() && !entry.isObject()) return false;
        }
        return true;
    });
}
