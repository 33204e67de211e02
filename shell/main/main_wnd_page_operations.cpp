#include "shell/main/main_wnd.h"

#include "devices/corvane_mouse_device.h"
#include "link/corvane_usb_device.h"
#include "pages/device_profile_ui.h"
#include "pages/key_set_control_ui.h"
#include "shell/main/mouse_page_operations.h"

// The device pages' operations that the notification dispatch reaches. The
// keyboard, mouse, key-set and profile-bar features fill them; until then a
// page has nothing to do and every result is 0.

int CMainWnd::RunPageOperation(CCorvaneUSBDevice* page, PageOperation operation, int index) {
    auto* mouse = page ? static_cast<CCorvaneMouseDevice*>(page->GetInterface(CCorvaneMouseDevice::kClassName)) : nullptr;
    if (mouse) return RunMousePageOperation(*mouse, operation, index);
    return 0;
}
int CMainWnd::GetFrameLimit(CCorvaneUSBDevice*) { return 0; }
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
void CMainWnd::ClearFloatingWindows() {}
