// The macro tab: the macro list and the files behind it.
#include "pages/macro_control_ui.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>

#include <json/reader.h>

#include "link/json_read.h"
#include "link/string_util.h"
#include "link/text_encoding.h"
#include "pages/macro_files.h"
#include "platform/os/clock.h"
#include "platform/ui/edit.h"
#include "platform/ui/list.h"
#include "platform/ui/paint_manager.h"
#include "shell/controls/message_boxes.h"

using namespace DuiLib;

namespace {

std::mutex g_clockLock;
std::function<uint32_t()> g_clock;

constexpr const wchar_t* kMacroEditors[] = {L"macro_action_layout", L"mouse_move_layout", L"macro_btn_export",
                                            L"macro_btn_name_sub", L"macro_btn_name_edit"};

// Reads and writes "macro.config" keeping its entries in order.
std::vector<MacroInfo> ReadList(const CDuiString& folder) {
    return LoadMacroList(folder).value_or(std::vector<MacroInfo>{});
}

bool EqualNoCase(const CDuiString& a, const CDuiString& b) { return a.CompareNoCase(b) == 0; }

// Copies a file byte for byte; the destination is created or emptied even
// when the source cannot be read.
void CopyFileText(const CDuiString& from, const CDuiString& to) {
    std::ifstream in(std::filesystem::path(WideToUtf8(from)), std::ios::binary);
    std::ofstream out(std::filesystem::path(WideToUtf8(to)), std::ios::binary | std::ios::trunc);
    if (!out) return;
    if (in) out << in.rdbuf();
}

}  // namespace

void SetMacroClock(std::function<uint32_t()> clock) {
    std::lock_guard<std::mutex> guard(g_clockLock);
    g_clock = std::move(clock);
}

uint32_t MacroTickCount() {
    std::lock_guard<std::mutex> guard(g_clockLock);
    return g_clock ? g_clock() : static_cast<uint32_t>(win::GetTickCount());
}

bool IsSafeMacroGuid(const std::string& guid) {
    if (guid.empty() || guid == "." || guid.find("..") != std::string::npos) return false;
    return guid.find_first_of("/\\:") == std::string::npos && guid.find('\0') == std::string::npos;
}

Json::Value MacroRowEvent(CControlUI* row) {
    if (row == nullptr) return Json::Value();
    const std::string text = WideToUtf8(row->GetUserData());
    if (text.empty()) return Json::Value();
    Json::CharReaderBuilder builder;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value event;
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &event, &errors)) return Json::Value();
    return event.isObject() ? event : Json::Value();
}

CMacroControlUI::CMacroControlUI() = default;

CMacroControlUI::~CMacroControlUI() {
    if (m_pManager) m_pManager->KillTimer(this);
}

CControlUI* CMacroControlUI::CreateInstance() { return new CMacroControlUI(); }

LPCTSTR CMacroControlUI::GetClass() const { return L"MacroControlUI"; }

LPVOID CMacroControlUI::GetInterface(LPCTSTR pstrName) {
    if (DuiCompareNoCase(pstrName, L"MacroControl") == 0 || DuiCompareNoCase(pstrName, kClassName) == 0) return this;
    return CHorizontalLayoutUI::GetInterface(pstrName);
}

void CMacroControlUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_TIMER && event.wParam == kScrollTimer) {
        if (m_pManager) m_pManager->KillTimer(this, kScrollTimer);
        OnScrollTimer();
    }
    CHorizontalLayoutUI::DoEvent(event);
}

void CMacroControlUI::ShowPageMessage(const wchar_t* key) {
    const int dpi = (m_pManager && m_pManager->GetDPIObj()->GetScale() == 150) ? 144 : 96;
    ShowMessageBox(nullptr, nullptr, key, dpi, 1, 0);
}

// --- Controls ------------------------------------------------------------------

CControlUI* CMacroControlUI::Child(const wchar_t* name) { return FindSubControl(name); }

CListUI* CMacroControlUI::MacroList() {
    CControlUI* c = Child(L"macro_name_list");
    return c ? static_cast<CListUI*>(c->GetInterface(L"List")) : nullptr;
}

CListUI* CMacroControlUI::ActionList() {
    CControlUI* c = Child(L"macro_action_list");
    return c ? static_cast<CListUI*>(c->GetInterface(L"List")) : nullptr;
}

CEditUI* CMacroControlUI::EditNamed(const wchar_t* name) {
    CControlUI* c = Child(name);
    return c ? static_cast<CEditUI*>(c->GetInterface(L"Edit")) : nullptr;
}

void CMacroControlUI::EnableMacroEditors(bool enable) {
    for (const wchar_t* name : kMacroEditors)
        if (CControlUI* c = Child(name)) c->SetEnabled(enable);
}

void CMacroControlUI::SetNameEdit(const CDuiString& text) {
    if (CControlUI* edit = Child(L"macro_edit_macroname")) {
        edit->SetText(text);
        edit->SetToolTip(text);
    }
}

CDuiString CMacroControlUI::MacroPath(const std::string& guid) const { return MacroFilePath(m_sMacroFolder, guid); }

// --- Macro list ------------------------------------------------------------------

void CMacroControlUI::SetMacroFolder(const CDuiString& folder) { m_sMacroFolder = folder; }

void CMacroControlUI::AddMacroRow(const CDuiString& name, const std::string& guid) {
    CListUI* list = MacroList();
    if (!list) return;
    auto* row = new CListTextElementUI();
    row->SetFixedHeight(30);
    list->Add(row);
    row->SetText(0, name);
    row->SetToolTip(name);
    row->SetUserData(Utf8ToDuiString(guid));
}

void CMacroControlUI::LoadMacroList() {
    if (m_sMacroFolder.IsEmpty()) return;
    // A second load shows the file afresh rather than the list twice.
    if (CListUI* list = MacroList()) list->RemoveAll();
    m_macroNames.clear();
    for (const MacroInfo& entry : ReadList(m_sMacroFolder)) {
        const CDuiString name = Utf8ToDuiString(entry.name);
        AddMacroRow(name, entry.guid);
        m_macroNames.push_back(name);
    }
}

int CMacroControlUI::GetSelectedMacroIndex() {
    CListUI* list = MacroList();
    if (!list || list->GetCount() == 0) return -1;
    return list->GetCurSel();
}

std::string CMacroControlUI::SelectedGuid() {
    CListUI* list = MacroList();
    const int index = GetSelectedMacroIndex();
    if (!list || index < 0) return std::string();
    const std::string guid = WideToUtf8(list->GetItemAt(index)->GetUserData());
    return IsSafeMacroGuid(guid) ? guid : std::string();
}

void CMacroControlUI::LoadSelectedMacro() {
    CListUI* actions = ActionList();
    const int index = GetSelectedMacroIndex();
    if (index < 0) {
        SetNameEdit(L" ");
        if (actions) actions->RemoveAll();
        return;
    }
    const std::string guid = SelectedGuid();
    if (guid.empty()) {
        // A macro whose identifier cannot name a file shows no steps.
        if (actions) actions->RemoveAll();
        return;
    }
    EnableMacroEditors(true);
    LoadMacroFile(MacroPath(guid));
    const std::vector<MacroInfo> list = ReadList(m_sMacroFolder);
    if (size_t(index) < list.size()) SetNameEdit(Utf8ToDuiString(list[size_t(index)].name));
}

bool CMacroControlUI::LoadMacroFile(const CDuiString& path) {
    CListUI* actions = ActionList();
    if (!actions) return true;
    actions->RemoveAll();
    const Json::Value root = CJsonFileUtil::LoadJson(path);
    if (root.isNull()) return true;
    const Json::Value& events = JsonMember(root, "Events");
    if (!events.isArray()) return true;
    for (const Json::Value& event : events) {
        CListContainerElementUI* row = NewActionRow();
        actions->Add(row);
        ShowStoredStep(row, event);
    }
    return true;
}

void CMacroControlUI::SaveSelectedMacro() {
    const std::string guid = SelectedGuid();
    if (guid.empty()) return;
    WriteMacroFile(MacroPath(guid));
}

void CMacroControlUI::WriteMacroFile(const CDuiString& path) {
    CListUI* actions = ActionList();
    CListUI* macros = MacroList();
    const int index = GetSelectedMacroIndex();
    Json::Value root(Json::objectValue);
    if (macros && index >= 0) {
        auto* row = static_cast<CListTextElementUI*>(macros->GetItemAt(index)->GetInterface(L"ListTextElement"));
        root["MacroName"] = row ? WideToUtf8(row->GetText(0)) : std::string();
        root["Guid"] = WideToUtf8(macros->GetItemAt(index)->GetUserData());
    }
    Json::Value& events = root["Events"] = Json::Value(Json::arrayValue);
    if (actions) {
        if (actions->GetCount() > int(kMaxMacroEvents)) {
            while (actions->GetCount() > int(kMaxMacroEvents)) actions->RemoveAt(int(kMaxMacroEvents));
            ShowPageMessage(L"message_text_17");
        }
        for (int j = 0; j < actions->GetCount(); ++j) {
            CControlUI* row = actions->GetItemAt(j);
            auto* box = static_cast<CContainerUI*>(row->GetInterface(L"Container"));
            CControlUI* edit = box ? box->FindSubControl(L"macro_delay") : nullptr;
            std::string delay = "0";
            if (edit) {
                if (edit->GetText().IsEmpty()) edit->SetText(L"0");
                delay = std::to_string(ReadMacroDelay(Json::Value(WideToUtf8(edit->GetText()))));
            }
            Json::Value event = MacroRowEvent(row);
            if (event.isNull()) break;
            event["Delay"] = delay;
            events.append(event);
            row->SetUserData(Utf8ToDuiString(event.toStyledString()));
        }
    }
    root["Version"] = kMacroFileVersion;
    CJsonFileUtil::SaveJson(path, root);
}

void CMacroControlUI::ReloadSelectedMacro() { LoadSelectedMacro(); }

bool CMacroControlUI::NameInUse(const CDuiString& name) {
    CListUI* list = MacroList();
    if (!list) return false;
    for (int i = 0; i < list->GetCount(); ++i) {
        auto* row = static_cast<CListTextElementUI*>(list->GetItemAt(i)->GetInterface(L"ListTextElement"));
        if (row && EqualNoCase(row->GetText(0), name)) return true;
    }
    return false;
}

void CMacroControlUI::AppendMacro(const CDuiString& name) {
    CListUI* list = MacroList();
    if (!list) return;
    std::vector<MacroInfo> entries = ReadList(m_sMacroFolder);
    // The new entry takes the place after the macros the page lists.
    entries.resize(size_t(list->GetCount()));
    const std::string guid = CJsonFileUtil::MakeTimeId();
    AddMacroRow(name, guid);
    entries.push_back({WideToUtf8(name), guid});
    SaveMacroList(m_sMacroFolder, entries);
    list->SelectItem(list->GetCount() - 1, false);
}

CDuiString CMacroControlUI::NewMacro() {
    CListUI* list = MacroList();
    if (!list) return CDuiString();
    if (list->GetCount() >= int(kMaxMacroCount)) {
        ShowPageMessage(L"message_text_32");
        return CDuiString();
    }
    list->InitListCtrl();
    CDuiString name;
    for (int n = 1;; ++n) {
        name = (L"macro_" + std::to_wstring(n)).c_str();
        if (!NameInUse(name)) break;
    }
    AppendMacro(name);
    return name;
}

CDuiString CMacroControlUI::AddImportedMacro(const CDuiString& path) {
    CListUI* list = MacroList();
    if (!list) return CDuiString();
    if (list->GetCount() >= int(kMaxMacroCount)) {
        ShowPageMessage(L"message_text_32");
        return CDuiString();
    }
    list->InitListCtrl();
    CDuiString name = CJsonFileUtil::GetFileTitle(path);
    for (int k = 1; NameInUse(name); ++k) name += (L"_" + std::to_wstring(k)).c_str();
    AppendMacro(name);
    return name;
}

CDuiString CMacroControlUI::ImportMacro(const CDuiString& path) {
    if (path.IsEmpty()) return CDuiString();
    const CDuiString name = AddImportedMacro(path);
    if (name.IsEmpty()) return name;
    const std::string guid = SelectedGuid();
    if (!guid.empty()) {
        CopyFileText(path, MacroPath(guid));
        TrimMacroFile(MacroPath(guid));
    }
    LoadSelectedMacro();
    return name;
}

void CMacroControlUI::TrimMacroFile(const CDuiString& path) {
    Json::Value root = CJsonFileUtil::LoadJson(path);
    if (!root.isObject()) return;
    const Json::Value& events = JsonMember(root, "Events");
    if (!events.isArray() || events.size() <= kMaxMacroEvents) return;
    Json::Value kept(Json::arrayValue);
    for (Json::ArrayIndex i = 0; i < kMaxMacroEvents; ++i) kept.append(events[i]);
    root["Events"] = kept;
    CJsonFileUtil::SaveJson(path, root);
}

void CMacroControlUI::ExportSelectedMacro(const CDuiString& destination) {
    if (destination.IsEmpty() || GetSelectedMacroIndex() < 0) return;
    const std::string guid = SelectedGuid();
    if (guid.empty()) return;
    CopyFileText(MacroPath(guid), destination);
}

CDuiString CMacroControlUI::RenameSelectedMacro(int& index) {
    index = GetSelectedMacroIndex();
    if (index < 0) {
        index = -1;
        return CDuiString();
    }
    CControlUI* edit = Child(L"macro_edit_macroname");
    const CDuiString name = edit ? edit->GetText() : CDuiString();
    const std::string utf8 = WideToUtf8(name);
    if (!utf8.empty() && utf8[0] == ' ') {
        index = -2;
        return L"message_text_5_2";
    }
    if (IsBlankString(name)) {
        index = -2;
        return L"IsEmpty";
    }
    if (utf8.find('&') != std::string::npos) return L"message_text_5_3";
    if (NameInUse(name)) return L"message_text_5";

    CListUI* list = MacroList();
    auto* row = static_cast<CListTextElementUI*>(list->GetItemAt(index)->GetInterface(L"ListTextElement"));
    if (row) {
        row->SetText(0, name);
        row->SetToolTip(name);
    }
    std::vector<MacroInfo> entries = ReadList(m_sMacroFolder);
    if (size_t(index) < entries.size()) {
        entries[size_t(index)].name = utf8;
        SaveMacroList(m_sMacroFolder, entries);
    }
    SetNameEdit(name);
    return name;
}

void CMacroControlUI::RevertNameEdit() {
    CControlUI* edit = Child(L"macro_edit_macroname");
    if (!edit) return;
    const int index = GetSelectedMacroIndex();
    if (index < 0) {
        edit->SetText(L"");
        return;
    }
    auto* row = static_cast<CListTextElementUI*>(MacroList()->GetItemAt(index)->GetInterface(L"ListTextElement"));
    edit->SetText(row ? row->GetText(0) : CDuiString());
}

int CMacroControlUI::DeleteSelectedMacro() {
    const int index = GetSelectedMacroIndex();
    if (index < 0) return -1;
    CListUI* list = MacroList();
    const std::string guid = SelectedGuid();
    if (!guid.empty()) {
        std::error_code ignored;
        std::filesystem::remove(std::filesystem::path(WideToUtf8(MacroPath(guid))), ignored);
    }
    list->RemoveAt(index);
    if (CListUI* actions = ActionList()) actions->RemoveAll();
    list->SelectItem(0, false);

    std::vector<MacroInfo> entries = ReadList(m_sMacroFolder);
    if (size_t(index) < entries.size()) entries.erase(entries.begin() + index);
    SaveMacroList(m_sMacroFolder, entries);
    SetNameEdit(entries.empty() ? CDuiString() : Utf8ToDuiString(entries.front().name));
    if (list->GetCount() == 0) {
        EnableMacroEditors(false);
        SetNameEdit(CDuiString());
    }
    return index;
}
