#include "shell/main/main_wnd.h"

#include <array>
#include <cstdint>

#include "devices/corvane_mouse_device.h"
#include "keyboard/corvane_keyboard_device.h"
#include "link/device/device_option_ui.h"
#include "link/device_tables.h"
#include "pages/key_set_control_ui.h"
#include "platform/os/window.h"
#include "shell/controls/process_state.h"

namespace {

CCorvaneKeyboardDevice* AsKeyboardPage(CCorvaneUSBDevice* page) {
    return page ? static_cast<CCorvaneKeyboardDevice*>(page->GetInterface(CCorvaneKeyboardDevice::kClassName))
                : nullptr;
}

}  // namespace

void CMainWnd::OnSaveShootData() {
    // Only a mouse takes recoil data; its result is not shown.
    CCorvaneUSBDevice* page = GetCurrentDevice();
    auto* mouse =
        page ? static_cast<CCorvaneMouseDevice*>(page->GetInterface(CCorvaneMouseDevice::kClassName)) : nullptr;
    if (mouse) mouse->UploadShootData();
}
// The device table the outside work tool asks for: four words of format,
// the row count, then vendor id, product id and type of each device kind.
void CMainWnd::SendVexmarTable() {
    const win::HWND tool = win::FindWindowW(nullptr, L"Vexmar");
    if (tool == nullptr) return;
    std::array<std::int32_t, 256> block{};
    block[0] = 2;
    block[1] = 3;
    block[2] = 0;
    block[3] = 2;
    block[4] = kDeviceOptionCount;
    for (int i = 0; i < kDeviceOptionCount; ++i) {
        block[static_cast<std::size_t>(5 + 3 * i)] = DeviceOptionTable[i].vendorId;
        block[static_cast<std::size_t>(6 + 3 * i)] = DeviceOptionTable[i].productId;
        block[static_cast<std::size_t>(7 + 3 * i)] = DeviceOptionTable[i].deviceType;
    }
    win::COPYDATASTRUCT data{};
    data.dwData = kVexmarTableCode;
    data.cbData = static_cast<win::DWORD>(sizeof(block));
    data.lpData = block.data();
    win::SendMessageW(tool, win::WM_COPYDATA, reinterpret_cast<win::WPARAM>(GetHWND()),
                      reinterpret_cast<win::LPARAM>(&data));
}
// Every 30 s the current keyboard's clock is set again, unless a screen
// upload holds its channel; the timer runs on either way.
void CMainWnd::SyncKeyboardClock() {
    CCorvaneKeyboardDevice* keyboard = AsKeyboardPage(GetCurrentDevice());
    if (keyboard != nullptr && !keyboard->IsScreenUploading()) keyboard->WriteClock(0);
}

// The language is the whole program's: every keyboard page shows the key
// picture of the new language (and its entry previews that picture), not
// only the current one, so that switching to another keyboard later shows
// the right keys. The current keyboard's block is written again for a change
// from the settings window.
void CMainWnd::ApplyLanguageToPages(int index, bool writeProfile) {
    CCorvaneKeyboardDevice::SetLanguageIndex(index);
    const std::vector<CCorvaneUSBDevice*> keyboards = CopyDeviceLists({&m_keyboards});
    for (CCorvaneUSBDevice* page : keyboards) {
        CCorvaneKeyboardDevice* keyboard = AsKeyboardPage(page);
        if (keyboard == nullptr) continue;
        keyboard->ShowKeyLayout(index);
        if (CDeviceOptionUI* entry = keyboard->GetDeviceOption()) entry->SetPreviewControl(keyboard->GetSelectPanel());
    }
    if (writeProfile) {
        if (CCorvaneKeyboardDevice* current = AsKeyboardPage(GetCurrentDevice()))
            current->WriteProfileBlock(0, 0, 1, ScreenWidth.load(), ScreenHeight.load());
    }
    for (CCorvaneUSBDevice* page : CopyDeviceLists({&m_mice})) {
        auto* mouse = static_cast<CCorvaneMouseDevice*>(page->GetInterface(CCorvaneMouseDevice::kClassName));
        if (mouse != nullptr) mouse->RefreshKeyInfoList();
    }
    for (CCorvaneUSBDevice* page : keyboards) {
        if (CCorvaneKeyboardDevice* keyboard = AsKeyboardPage(page)) {
            keyboard->UpdateKeyLabels();
            keyboard->RetranslateSystemTexts();
        }
    }
    // The key-assignment pages show a translated key name that the page put
    // there itself, which no language switch of the skin reaches.
    for (CCorvaneUSBDevice* page : CopyDeviceLists({&m_keyboards, &m_mice})) {
        if (CKeySetControlUI* keys = KeySetPageOf(page)) keys->RetranslateKeyName();
    }
}
