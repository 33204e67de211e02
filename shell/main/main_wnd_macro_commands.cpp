// The main window's commands of the macro tab: recording through the global
// hooks, the recorded events, the step and macro edits, and the repair of the
// key assignments when a macro is deleted.
#include <string>
#include <vector>

#include "devices/corvane_mouse_device.h"
#include "keyboard/corvane_keyboard_device.h"
#include "link/device/corvane_usb_device.h"
#include "link/json_file_util.h"
#include "link/json_read.h"
#include "link/text_encoding.h"
#include "pages/key_set_control_ui.h"
#include "link/base/key_tables.h"
#include "pages/macro_control_ui.h"
#include "shell/main/main_wnd.h"

using namespace DuiLib;

namespace {

constexpr int kAppendMode = 4;
constexpr size_t kLongestImportName = 14;  // with its extension
constexpr int kLongestImportBaseName = 10;
const std::wstring kMacroFilter(L"Macro Files(*.mac)\0*.mac;\0", 27);

// Points the key list away from deleted macro `macro`: its keys take their
// defaults, keys of later macros move down one number. True when anything changed.
bool RepairMacroKeys(std::vector<KeyListEntry>& keys, int macro) {
    bool changed = false;
    for (KeyListEntry& entry : keys) {
        if (!IsMacroFunction(entry.current.function.code)) continue;
        const int number = entry.current.function.param1;
        if (number == macro) {
            entry.current = entry.defaults;
            changed = true;
        } else if (number > macro) {
            entry.current.function.param1 = uint8_t(number - 1);
            changed = true;
        }
    }
    return changed;
}

bool UsesMacro(const std::vector<KeyListEntry>& keys, int macro) {
    for (const KeyListEntry& entry : keys)
        if (IsMacroFunction(entry.current.function.code) && entry.current.function.param1 == macro) return true;
    return false;
}

// The file name of a path: after the last '\' or '/'.
CDuiString FileNameOf(const CDuiString& path) {
    const std::wstring& text = path.str();
    const size_t slash = text.find_last_of(L"\\/");
    return CDuiString(slash == std::wstring::npos ? text.c_str() : text.c_str() + slash + 1);
}

}  // namespace

// --- The pages the commands work on ------------------------------------------------

CMacroControlUI* CMainWnd::MacroPageOf(CCorvaneUSBDevice* page) {
    if (page == nullptr) return nullptr;
    const int type = page->GetDeviceType();
    if (type != CCorvaneUSBDevice::kTypeKeyboard && type != CCorvaneUSBDevice::kTypeMouse) return nullptr;
    CControlUI* found = page->FindSubControl(L"MacroControlItem");
    return found ? static_cast<CMacroControlUI*>(found->GetInterface(CMacroControlUI::kClassName)) : nullptr;
}

// The key-assignment page fills its macro combo once, when the page is
// built; afterwards it is told of every change of the macro list here, so
// that row n always names macro n.
void CMainWnd::AddKeySetMacroName(CCorvaneUSBDevice* page, const CDuiString& name) {
    if (CKeySetControlUI* keys = KeySetPageOf(page)) keys->AddMacroName(name);
}
void CMainWnd::RemoveKeySetMacroName(CCorvaneUSBDevice* page, int index) {
    if (CKeySetControlUI* keys = KeySetPageOf(page)) keys->RemoveMacroName(index);
}
void CMainWnd::RenameKeySetMacroName(CCorvaneUSBDevice* page, int index, const CDuiString& name) {
    if (CKeySetControlUI* keys = KeySetPageOf(page)) keys->RenameMacroName(index, name);
}
// The keys' labels from the page's key list and its (reloaded) macro names.
void CMainWnd::RelabelKeys(CCorvaneUSBDevice* page) {
    if (page == nullptr) return;
    if (auto* keyboard = static_cast<CCorvaneKeyboardDevice*>(page->GetInterface(CCorvaneKeyboardDevice::kClassName)))
        keyboard->UpdateKeyLabels();
    else if (auto* mouse = static_cast<CCorvaneMouseDevice*>(page->GetInterface(CCorvaneMouseDevice::kClassName)))
        mouse->RefreshKeyInfoList();
}

std::vector<CDuiString> CMainWnd::OtherProfilePaths(CCorvaneUSBDevice* page) {
    std::vector<CDuiString> paths;
    if (page == nullptr) return paths;
    const CDuiString folder = page->GetUserDataFolder();
    const CDuiString current = page->GetProfilePath();
    const Json::Value index = CJsonFileUtil::LoadJson(folder + L"ProfileList.ini");
    for (const Json::Value& entry : JsonMember(index, "profilelist")) {
        const std::string id = JsonString(entry, "profileUUID");
        // An id that could name a file outside the folder is no profile of it.
        if (!IsSafeMacroGuid(id)) continue;
        const CDuiString path = folder + Utf8ToDuiString(id) + L".Json";
        if (path != current) paths.push_back(path);
    }
    return paths;
}

// --- Recording ------------------------------------------------------------------------

void CMainWnd::OnStartRecordClick() {
    CMacroControlUI* macros = MacroPageOf(GetCurrentDevice());
    StartMacroRecording(macros && macros->IsFixedDelayChecked() ? kDelayFixed : kDelayRecorded, kAppendMode);
}

void CMainWnd::StartMacroRecording(int delayMode, int hookMode) {
    if (CMacroControlUI* macros = MacroPageOf(GetCurrentDevice())) macros->BeginRecording(delayMode);
    SetRecordingHook(hookMode, true, true, true);
}

void CMainWnd::OnStopRecordClick() {
    CCorvaneUSBDevice* page = GetCurrentDevice();
    CMacroControlUI* macros = MacroPageOf(page);
    if (macros) macros->EndRecording();
    // Hooks set without a device are removed as well.
    SetRecordingHook(kAppendMode, false, true, true);
    if (macros) SaveMacro();
}

void CMainWnd::SetRecordingHook(int hookMode, bool install, bool keyboardHook, bool mouseHook) {
    if (!install) {
        m_deviceHook.RemoveHook();
        SetDeviceUiEnabled(true, true);
        return;
    }
    if (m_deviceHook.SetHook(hookMode, GetHWND(), keyboardHook, mouseHook) == 0) {
        // Nothing would arrive: end the recording instead of leaving the
        // page locked, and say why.
        if (CMacroControlUI* macros = MacroPageOf(GetCurrentDevice())) macros->EndRecording();
        m_nRecording = 0;
        SetDeviceUiEnabled(true, true);
        ShowMainMessage(L"macro_record_erro_text", 1, 0);
        return;
    }
    SetDeviceUiEnabled(true, false);
}

// --- Recorded events ------------------------------------------------------------------

// The hooks report from their own thread, so a step taken just before the
// hooks were removed (the click after the one on the stop button, say) can
// arrive once the recording has ended: it is no part of the macro.
#define TAVRIK_FORWARD_HOOK(handler, operation, installed)                                                \
    void CMainWnd::handler(WPARAM wParam, LPARAM lParam) {                                                \
        if (!CDeviceHook::installed()) return;                                                            \
        if (CMacroControlUI* macros = MacroPageOf(GetCurrentDevice())) macros->operation(wParam, lParam); \
    }
TAVRIK_FORWARD_HOOK(OnHookKeyMacro, OnRecordKey, IsKeyboardHookInstalled)
TAVRIK_FORWARD_HOOK(OnHookKeyMacroBefore, OnRecordKeyBefore, IsKeyboardHookInstalled)
TAVRIK_FORWARD_HOOK(OnHookKeyMacroAfter, OnRecordKeyAfter, IsKeyboardHookInstalled)
TAVRIK_FORWARD_HOOK(OnHookKeyMacroReplace, OnRecordKeyReplace, IsKeyboardHookInstalled)
TAVRIK_FORWARD_HOOK(OnHookMouseMacro, OnRecordMouse, IsLibraryHookInstalled)
TAVRIK_FORWARD_HOOK(OnHookMouseMacroBefore, OnRecordMouseBefore, IsLibraryHookInstalled)
TAVRIK_FORWARD_HOOK(OnHookMouseMacroAfter, OnRecordMouseAfter, IsLibraryHookInstalled)
TAVRIK_FORWARD_HOOK(OnHookMouseMacroReplace, OnRecordMouseReplace, IsLibraryHookInstalled)
#undef TAVRIK_FORWARD_HOOK

// --- Steps ----------------------------------------------------------------------------

#define TAVRIK_PAGE_STEP(handler, operation, ...)                                           \
    void CMainWnd::handler() {                                                              \
        if (CMacroControlUI* macros = MacroPageOf(GetCurrentDevice())) macros->operation(); \
        __VA_ARGS__                                                                         \
    }
TAVRIK_PAGE_STEP(InsertLeftDownAction, InsertLeftDown)
TAVRIK_PAGE_STEP(InsertLeftUpAction, InsertLeftUp)
TAVRIK_PAGE_STEP(InsertRightDownAction, InsertRightDown)
TAVRIK_PAGE_STEP(InsertRightUpAction, InsertRightUp)
TAVRIK_PAGE_STEP(InsertMiddleDownAction, InsertMiddleDown)
TAVRIK_PAGE_STEP(InsertMiddleUpAction, InsertMiddleUp)
TAVRIK_PAGE_STEP(InsertForwardDownAction, InsertForwardDown)
TAVRIK_PAGE_STEP(InsertForwardUpAction, InsertForwardUp)
TAVRIK_PAGE_STEP(InsertBackDownAction, InsertBackDown)
TAVRIK_PAGE_STEP(InsertBackUpAction, InsertBackUp)
TAVRIK_PAGE_STEP(SaveMacro, SaveSelectedMacro)
TAVRIK_PAGE_STEP(CancelMacroEdit, ReloadSelectedMacro)
TAVRIK_PAGE_STEP(OnMacroSelected, LoadSelectedMacro)
TAVRIK_PAGE_STEP(MoveMacroActionUp, MoveActionUp, SaveMacro();)
TAVRIK_PAGE_STEP(MoveMacroActionDown, MoveActionDown, SaveMacro();)
TAVRIK_PAGE_STEP(MoveMacroActionToTop, MoveActionToTop, SaveMacro();)
TAVRIK_PAGE_STEP(MoveMacroActionToBottom, MoveActionToBottom, SaveMacro();)
TAVRIK_PAGE_STEP(DeleteMacroAction, DeleteSelectedAction, SaveMacro();)
TAVRIK_PAGE_STEP(DeleteAllMacroActions, DeleteAllActions, SaveMacro();)
#undef TAVRIK_PAGE_STEP

void CMainWnd::OnMacroMoveX(bool left) {
    if (CMacroControlUI* macros = MacroPageOf(GetCurrentDevice())) macros->InsertMouseMoveX(left);
}

void CMainWnd::OnMacroMoveY(bool up) {
    if (CMacroControlUI* macros = MacroPageOf(GetCurrentDevice())) macros->InsertMouseMoveY(up);
}

// --- Macros ---------------------------------------------------------------------------

void CMainWnd::OnAddMacro() {
    if (ShowMainMessage(L"message_text_29", 1, 1) != 1) return;
    CCorvaneUSBDevice* page = GetCurrentDevice();
    CMacroControlUI* macros = MacroPageOf(page);
    if (!macros) return;
    const CDuiString name = macros->NewMacro();
    if (name.IsEmpty()) return;
    AddKeySetMacroName(page, name);
    page->LoadNameLists();
}

void CMainWnd::OnDeleteMacro() {
    CCorvaneUSBDevice* page = GetCurrentDevice();
    if (page == nullptr) return;
    if (ShowMainMessage(L"message_text_4", 1, 1) != 1) return;
    CMacroControlUI* macros = MacroPageOf(page);
    if (!macros) return;
    const int macro = macros->GetSelectedMacroIndex();
    if (macro == -1) return;
    // Keyboards and mice alike: their key lists and profile documents.
    auto* keyboard = static_cast<CCorvaneKeyboardDevice*>(page->GetInterface(CCorvaneKeyboardDevice::kClassName));
    auto* mouse = static_cast<CCorvaneMouseDevice*>(page->GetInterface(CCorvaneMouseDevice::kClassName));
    std::vector<KeyListEntry> keys = keyboard ? keyboard->GetKeyList()
                                     : mouse  ? mouse->GetKeyList()
                                              : std::vector<KeyListEntry>{};
    if (UsesMacro(keys, macro) && ShowMainMessage(L"message_text_2", 1, 1) != 1) return;

    CBasicProfiledata* document = keyboard ? static_cast<CBasicProfiledata*>(&keyboard->Document())
                                  : mouse  ? static_cast<CBasicProfiledata*>(&mouse->Document())
                                           : nullptr;
    if (document != nullptr) {
        for (const CDuiString& path : OtherProfilePaths(page)) {
            document->LoadOtherProfile(path);
            std::vector<KeyListEntry> other = document->GetOtherKeyList();
            if (!RepairMacroKeys(other, macro)) continue;
            document->SetOtherKeyList(other);
            document->SaveOtherProfile(path);
        }
    }
    const bool ownChanged = RepairMacroKeys(keys, macro);
    if (ownChanged && keyboard) keyboard->SetKeyList(keys);
    if (ownChanged && mouse) mouse->SetKeyList(keys);

    const int deleted = macros->DeleteSelectedMacro();
    RemoveKeySetMacroName(page, deleted);
    page->LoadNameLists();
    if (ownChanged) {
        RelabelKeys(page);
        SaveKeyAssignments();
    }
}

void CMainWnd::OnRenameMacro() {
    CCorvaneUSBDevice* page = GetCurrentDevice();
    CMacroControlUI* macros = MacroPageOf(page);
    if (!macros) return;
    int index = -1;
    const CDuiString text = macros->RenameSelectedMacro(index);
    if (index == -1) return;
    static constexpr struct {
        const wchar_t* refusal;
        const wchar_t* message;
    } kRefusals[] = {{L"IsEmpty", L"message_text_5_1"},
                     {L"message_text_5", L"message_text_5"},
                     {L"message_text_5_2", L"message_text_5_2"},
                     {L"message_text_5_3", L"message_text_5_3"}};
    for (const auto& row : kRefusals) {
        if (text != row.refusal) continue;
        ShowMainMessage(row.message, 1, 0);
        macros->RevertNameEdit();
        return;
    }
    RenameKeySetMacroName(page, index, text);
    page->LoadNameLists();
    RelabelKeys(page);
}

void CMainWnd::OnImportMacro() {
    CCorvaneUSBDevice* page = GetCurrentDevice();
    if (page == nullptr) return;
    CDuiString path;
    if (!ShowOpenFileDialog(CDuiString(kMacroFilter), GetHWND(), path, 0) || path.IsEmpty()) return;
    if (size_t(FileNameOf(path).GetLength()) > kLongestImportName ||
        GetLastFileBaseName().GetLength() > kLongestImportBaseName) {
        ShowMainMessage(L"message_text_34", 1, 0);
        return;
    }
    CMacroControlUI* macros = MacroPageOf(page);
    if (!macros) return;
    const CDuiString name = macros->ImportMacro(path);
    if (name.IsEmpty()) return;
    AddKeySetMacroName(page, name);
    page->LoadNameLists();
}

void CMainWnd::OnExportMacro() {
    CMacroControlUI* macros = MacroPageOf(GetCurrentDevice());
    if (!macros || macros->GetSelectedMacroIndex() == -1) return;
    CDuiString path;
    if (!ShowSaveFileDialog(CDuiString(kMacroFilter), GetHWND(), path, 0) || path.IsEmpty()) return;
    macros->ExportSelectedMacro(path);
}
