// The key-assignment commands: the category and play-mode choices of the
// key-assignment page, building the selected key's assignment from the
// page's editors, showing its default or current assignment again, the key
// captured through the keyboard hook, writing the key map and macros, the
// keyboard's key debounce and the device-UI state.

#include <algorithm>

#include "keyboard/corvane_keyboard_device.h"
#include "link/device/corvane_usb_device.h"
#include "pages/device_profile_ui.h"
#include "pages/key_search.h"
#include "pages/key_set_control_ui.h"
#include "platform/hooks/hook_api.h"
#include "shell/controls/format_number.h"
#include "shell/main/main_wnd.h"
#include "shell/controls/process_state.h"

using namespace DuiLib;

namespace {

constexpr const wchar_t* kKeyNameEdit = L"keyset_keyboard_text_edit";
constexpr int kKeyCaptureMode = 1;
constexpr int kMacroWriteUnlinked = -101;

bool HasKeySetPage(const CCorvaneUSBDevice* page) {
    return page != nullptr && (page->GetDeviceType() == CCorvaneUSBDevice::kTypeKeyboard ||
                               page->GetDeviceType() == CCorvaneUSBDevice::kTypeMouse);
}

CCorvaneKeyboardDevice* AsKeyboard(CCorvaneUSBDevice* page) {
    return page != nullptr && page->GetDeviceType() == CCorvaneUSBDevice::kTypeKeyboard
               ? dynamic_cast<CCorvaneKeyboardDevice*>(page)
               : nullptr;
}

// The modifier check of a captured modifier row: both Ctrl keys give 1, both
// Shift keys 2, both Alt keys 3, both Win keys 4.
int ModifierCheckOfRow(int row) { return (row + 1) % 5 + (row + 1) / 5; }

}  // namespace

CKeySetControlUI* CMainWnd::KeySetPageOf(CCorvaneUSBDevice* page) {
    if (!HasKeySetPage(page)) return nullptr;
    CControlUI* c = page->FindSubControl(L"KeySetControlItem");
    return c ? static_cast<CKeySetControlUI*>(c->GetInterface(CKeySetControlUI::kClassName)) : nullptr;
}

void CMainWnd::OnKeyFunctionSelected() {
    CKeySetControlUI* keys = KeySetPageOf(GetCurrentDevice());
    if (!keys) return;
    const int category = keys->GetFunctionItemCategory(keys->GetFunctionIndex());
    keys->ShowFunctionPage(category);
    keys->ChooseFirstRowsOf(category);
    if (category == kCategoryKeyboardKey) {
        keys->SetKeyNameText(L"");
        keys->SelectModifierCheck(-1);
    }
}

void CMainWnd::OnMacroRepeatSelected() {
    if (CKeySetControlUI* keys = KeySetPageOf(GetCurrentDevice()))
        keys->ShowMacroCycleLayout(keys->GetMacroRepeatIndex() == CKeySetControlUI::kMacroRepeatItem);
}

// Nothing reaches the device or the profile file here: SaveKeyAssignments does.
void CMainWnd::ApplyKeyAssignment() {
    CCorvaneUSBDevice* page = GetCurrentDevice();
    CKeySetControlUI* keys = KeySetPageOf(page);
    if (CCorvaneKeyboardDevice* keyboard = AsKeyboard(page); keyboard && keys) {
        keyboard->SetSelectedKeyRecord(keys->BuildAssignment());
        keyboard->UpdateKeyLabels();
    }
    SetDeviceUiEnabled(false, false);
}

void CMainWnd::ShowDefaultKeyAssignment() {
    if (CKeySetControlUI* keys = KeySetPageOf(GetCurrentDevice())) keys->ShowDefaultAssignment();
    SetDeviceUiEnabled(false, false);
}

void CMainWnd::CancelKeyAssignment() {
    if (CKeySetControlUI* keys = KeySetPageOf(GetCurrentDevice())) keys->ShowCurrentAssignment();
    SetDeviceUiEnabled(false, true);
}

void CMainWnd::SaveKeyAssignments() {
    CCorvaneUSBDevice* page = GetCurrentDevice();
    if (page == nullptr) {
        SetDeviceUiEnabled(false, true);
        return;
    }
    const int result = page->WriteMacros(page->GetUsedMacros());
    if (result == kMacroWriteUnlinked) {
        // The receiver lost its keyboard: nothing was written, the edit stays
        // pending for a save once the keyboard is back.
        ShowMainMessage(L"device_unlink_text", 1, 0);
        return;
    }
    if (result > 0) {
        // The macros do not fit: the key falls back to its default and the
        // edit stays pending; neither the key map nor the profile is written.
        ShowMainMessage(FormatWithNumber(LanguageText(L"message_text_16"), result), 0, 0);
        ShowDefaultKeyAssignment();
        ApplyKeyAssignment();
        return;
    }
    if (result != 0) ShowMainMessage(L"message_text_7", 1, 0);
    page->WriteCurrentKeyAssignments(0);
    page->SaveProfile();
    SetDeviceUiEnabled(false, true);
}

void CMainWnd::OnModifierCheck(int check) {
    if (CKeySetControlUI* keys = KeySetPageOf(GetCurrentDevice())) keys->SelectModifierCheck(check);
    ApplyKeyAssignment();
}

// A key captured by the keyboard hook (its key-down and its key-up alike).
void CMainWnd::OnHookKey(WPARAM, LPARAM lParam) {
    const auto* event = reinterpret_cast<const win::KBDLLHOOKSTRUCT*>(lParam);
    if (event == nullptr || event->scanCode > 0xFF) return;
    const int row = FindScanCodeRow(uint8_t(event->scanCode), event->flags);
    if (row < 0) return;
    KeyFunction function = KeyTable[row].function;
    if (CKeySetControlUI* keys = KeySetPageOf(GetCurrentDevice())) {
        if (size_t(row) < kKeyTableModifierRows) {
            keys->SelectModifierCheck(ModifierCheckOfRow(row));
            keys->BuildAssignment();
            keys->SetKeyNameText(L"");
        } else {
            if (keys->GetSelectedModifierCheck() < 0)
                keys->SelectModifierCheck(0);
            else
                function.param1 = keys->BuildAssignment().current.function.param1;
            keys->SetKeyNameText(KeyNameTable[kKeyNameBase + size_t(row)]);
        }
        KeyAssignment half = keys->GetStoredEntry().current;
        half.function = function;
        keys->SetCurrentAssignment(half);
    }
    ApplyKeyAssignment();
}

void CMainWnd::OnKeyShakeChanged() {
    CCorvaneKeyboardDevice* keyboard = AsKeyboard(GetCurrentDevice());
    if (!keyboard) return;
    const int n = std::clamp(keyboard->GetKeyShakeSlider(), 0, CCorvaneKeyboardDevice::kKeyDebounceMax);
    keyboard->SetKeyShake(n);
    KeyboardSystemStages stages = keyboard->GetSystemStages();
    stages.keyShake = uint16_t(n);
    keyboard->SetSystemStages(stages);
    keyboard->SaveAndWriteProfile();
}

void CMainWnd::SetDeviceUiEnabled(bool lockSelector, bool enabled) {
    if (lockSelector)
        if (CControlUI* selector = m_pm.FindControl(L"device_select_layout")) selector->SetEnabled(enabled);
    if (CCorvaneUSBDevice* page = GetCurrentDevice()) {
        if (lockSelector && page->GetProfileBar()) page->GetProfileBar()->SetEnabled(enabled);
        if (CKeySetControlUI* keys = KeySetPageOf(page)) keys->EnableSaveButtons(!enabled);
    }
    m_bDeviceUiEnabled = enabled;
}

bool CMainWnd::IsDeviceUiEnabled() { return m_bDeviceUiEnabled; }

// WM_KEY_CAPTURE: the key edit took (1) or lost (0) the focus.
// A recording's hooks are left alone: they end with the recording.
void CMainWnd::SetKeyCaptureHook(int start) {
    m_bKeyCapture = start != 0;
    if (m_nRecording != 0) return;
    if (m_bKeyCapture)
        DeviceHook().SetHook(kKeyCaptureMode, GetHWND(), true, true);
    else if (CDeviceHook::GetMode() == kKeyCaptureMode)
        DeviceHook().RemoveHook();
}

// While the key is captured the keyboard belongs to the hook: a window that
// is left or hidden gives it back, and takes it again when it is active once
// more with the key edit still focused. A recording keeps its hooks.
void CMainWnd::OnKeyCaptureActivation(bool active) {
    if (!m_bKeyCapture || m_nRecording != 0 || CDeviceHook::GetMode() != kKeyCaptureMode) return;
    const CControlUI* focus = m_pm.GetFocus();
    const bool editFocused = focus != nullptr && focus->GetName() == kKeyNameEdit;
    if (active && editFocused) {
        if (!CDeviceHook::IsKeyboardHookInstalled()) DeviceHook().SetHook(kKeyCaptureMode, GetHWND(), true, true);
    } else if (!active) {
        DeviceHook().RemoveHook();
    }
}
