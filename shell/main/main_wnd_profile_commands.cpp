#include <string>

#include "keyboard/corvane_keyboard_device.h"
#include "link/device/corvane_usb_device.h"
#include "link/json_file_util.h"
#include "pages/device_profile_ui.h"
#include "shell/controls/format_number.h"
#include "shell/main/main_wnd.h"
#include "shell/controls/process_state.h"

using namespace DuiLib;

// The profile bar's commands and the clicks on the keys of a device picture.
// The bar does the file work and shows its own limit messages; these ask the
// user first and then make the device take the profile.

namespace {

const CDuiString kProfileFilter(std::wstring(L"Profile Files(*.json)\0*.json;\0\0", 31));
constexpr int kKeysTab = 2;
constexpr int kLightingTab = 1;

CDeviceProfileUI* ProfileBarOf(CCorvaneUSBDevice* page) { return page ? page->GetProfileBar() : nullptr; }

}  // namespace

int CMainWnd::ConfirmKey(const wchar_t* key) { return ShowMainMessage(key, 1, 1); }

void CMainWnd::ReportMacroWrite(CCorvaneUSBDevice* page) {
    const int result = page->WriteMacros(page->GetUsedMacros());
    if (result == 0) return;
    if (result == -1) {
        ShowMainMessage(L"message_text_7", 1, 0);
        return;
    }
    // The translation is a text, never a format: only its first "%d" is filled.
    ShowMainMessage(FormatWithNumber(LanguageText(L"message_text_16"), result), 0, 0);
}

void CMainWnd::OnAddProfile() {
    if (ConfirmKey(L"message_text_27") != 1) return;
    CDeviceProfileUI* bar = ProfileBarOf(GetCurrentDevice());
    // The device takes the new profile it now shows.
    if (bar && bar->NewProfile()) ApplySelectedProfile();
}

void CMainWnd::OnDeleteProfile() {
    if (ConfirmKey(L"message_text_18") != 1) return;
    CDeviceProfileUI* bar = ProfileBarOf(GetCurrentDevice());
    if (!bar) return;
    // The device still holds the deleted profile: switch it to the bar's new
    // selection, or its next save would bring the deleted file back.
    if (bar->DeleteSelectedProfile()) ApplySelectedProfile();
}

void CMainWnd::OnCopyProfile() {
    if (ConfirmKey(L"message_text_26") != 1) return;
    if (CDeviceProfileUI* bar = ProfileBarOf(GetCurrentDevice())) bar->CopySelectedProfile();
}

void CMainWnd::OnImportProfile() {
    CDeviceProfileUI* bar = ProfileBarOf(GetCurrentDevice());
    if (!bar || bar->GetSelectedIndex() == -1) return;
    CDuiString path;
    if (ShowOpenFileDialog(kProfileFilter, GetHWND(), path, 1) != 1) return;
    const Json::Value document = CJsonFileUtil::LoadJson(path);
    if (document.isNull() || !document.isObject() || document["profilename"].isNull() ||
        document["profileUUID"].isNull()) {
        // Not a profile: say so, and change nothing.
        ShowMainMessage(L"import_erro_text", 1, 0);
        return;
    }
    bar->ImportProfile(path, GetLastFileBaseName());
}

void CMainWnd::OnExportProfile() {
    CDeviceProfileUI* bar = ProfileBarOf(GetCurrentDevice());
    if (!bar || bar->GetSelectedIndex() == -1) return;
    CDuiString path;
    if (ShowSaveFileDialog(kProfileFilter, GetHWND(), path, 1) != 1 || path.IsEmpty()) return;
    bar->ExportSelectedProfile(path);
}

void CMainWnd::OnSaveProfileName() {
    CDeviceProfileUI* bar = ProfileBarOf(GetCurrentDevice());
    if (!bar) return;
    const CDuiString name = bar->GetNameEditText();
    if (name.IsEmpty()) {
        ShowMainMessage(L"message_text_5_1", 1, 0);
        bar->RevertNameEdit();
        return;
    }
    const wchar_t* key = nullptr;
    switch (bar->RenameSelectedProfile(name)) {
        case 0:
            key = L"message_text_5";
            break;
        case 2:
            key = L"message_text_5_2";
            break;
        case 3:
            key = L"message_text_5_3";
            break;
        default:
            return;
    }
    ShowMainMessage(key, 1, 0);
    bar->RevertNameEdit();
}

void CMainWnd::ApplySelectedProfile() {
    CCorvaneUSBDevice* page = GetCurrentDevice();
    CDeviceProfileUI* bar = ProfileBarOf(page);
    if (!bar) return;
    bar->SelectProfile(bar->GetSelectedIndex(), false);
    page->SetProfileId(bar->GetCurrentProfileUUID());
    page->LoadProfile(1);
    page->CheckMacroAssignments();
    page->RefreshPage(1);
    page->WriteCurrentProfileBlock();
    ReportMacroWrite(page);
    if (auto* keyboard = dynamic_cast<CCorvaneKeyboardDevice*>(page)) keyboard->LoadCustomColors();
    page->WriteCurrentKeyAssignments(0);
}

void CMainWnd::OnResetProfile() {
    if (ConfirmKey(L"message_text_22") != 1) return;
    CCorvaneUSBDevice* page = GetCurrentDevice();
    if (CDeviceProfileUI* bar = ProfileBarOf(page)) {
        ScreenFramesUnsaved = 0;
        bar->ResetSelectedProfile();
        page->LoadProfile(0);
        page->RefreshPage(0);
        page->WriteCurrentProfileBlock();
        RestoreAudioDefaults();
        if (dynamic_cast<CCorvaneKeyboardDevice*>(page)) {
            ResetKeySetPage(page, true);
            ReportMacroWrite(page);
            page->WriteCurrentKeyAssignments(0);
            RunPageOperation(page, PageOperation::ClearAllFrames, 0);
            if (ScreenTabActive.load()) ShowScreenEditor();
        } else if (page->GetDeviceType() == CCorvaneUSBDevice::kTypeMouse) {
            ReportMacroWrite(page);
            page->WriteCurrentKeyAssignments(0);
            ResetKeySetPage(page, false);
        }
    }
    SetDeviceUiEnabled(false, true);
}

void CMainWnd::ConfirmRestoreDefaults() {
    if (ConfirmKey(L"message_text_22") != 1) return;
    CCorvaneUSBDevice* page = GetCurrentDevice();
    if (!page) return;
    page->RestoreDefaultProfile();
    page->WriteCurrentKeyAssignments(0);
    page->WriteCurrentProfileBlock();
}

void CMainWnd::OnDeviceKeyClick(int key) {
    CCorvaneUSBDevice* page = GetCurrentDevice();
    if (!page) return;
    const int tab = page->GetFunctionTab();
    if (tab == kKeysTab) {
        // Keys are picked only while the profile can be read.
        if (CJsonFileUtil::LoadJson(page->GetProfilePath()).isNull()) return;
        page->SelectKey(key);
    } else if (tab == kLightingTab) {
        if (auto* keyboard = dynamic_cast<CCorvaneKeyboardDevice*>(page)) keyboard->PaintCustomKey(key);
    }
}

void CMainWnd::ToggleProfileMenu() {
    if (CDeviceProfileUI* bar = ProfileBarOf(GetCurrentDevice())) bar->ShowProfileMenu(!bar->IsProfileMenuVisible());
}
