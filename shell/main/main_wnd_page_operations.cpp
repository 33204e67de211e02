#include "shell/main/main_wnd.h"

#include "devices/corvane_mouse_device.h"
#include "keyboard/corvane_keyboard_device.h"
#include "link/device/corvane_usb_device.h"
#include "pages/device_profile_ui.h"
#include "pages/key_set_control_ui.h"
#include "shell/main/keyboard_screen_operations.h"
#include "shell/main/keyboard_system_operations.h"
#include "shell/main/mouse_page_operations.h"
#include "shell/main/screen_editor_operations.h"

// The device pages' operations that the notification dispatch reaches: the
// mouse's settings, the keyboard's system tab, screen editor, frames and
// uploads; any other operation has nothing to do and gives 0.

int CMainWnd::RunPageOperation(CCorvaneUSBDevice* page, PageOperation operation, int index) {
    auto* mouse =
        page ? static_cast<CCorvaneMouseDevice*>(page->GetInterface(CCorvaneMouseDevice::kClassName)) : nullptr;
    if (mouse) return RunMousePageOperation(*mouse, operation, index);
    int result = 0;
    if (RunScreenEditorOperation(page, operation, index, result)) return result;
    auto* keyboard =
        page ? static_cast<CCorvaneKeyboardDevice*>(page->GetInterface(CCorvaneKeyboardDevice::kClassName)) : nullptr;
    if (keyboard && RunKeyboardScreenOperation(*keyboard, operation, index, &result)) return result;
    if (keyboard) RunKeyboardSystemOperation(*keyboard, operation, index);
    return 0;
}
int CMainWnd::GetFrameLimit(CCorvaneUSBDevice* page) {
    auto* keyboard =
        page ? static_cast<CCorvaneKeyboardDevice*>(page->GetInterface(CCorvaneKeyboardDevice::kClassName)) : nullptr;
    return keyboard ? keyboard->GetFrameLimit() : 0;
}
void CMainWnd::SelectKeySetKey(CCorvaneUSBDevice* page, int key) {
    if (CKeySetControlUI* keys = KeySetPageOf(page)) keys->SelectKeyboardKey(key);
}
void CMainWnd::SelectProfileBarTab(CCorvaneUSBDevice* page, int tab) {
    if (page && page->GetProfileBar()) page->GetProfileBar()->SelectFunctionTab(tab);
}
void CMainWnd::ResetKeySetPage(CCorvaneUSBDevice* page, bool initControls) {
    CKeySetControlUI* keys = KeySetPageOf(page);
    if (!keys) return;
    if (initControls) keys->InitControls();
    keys->ShowKeySetLayout(false);
}
void CMainWnd::ClearFloatingWindows() { m_floatingWindows.clear(); }
