#include "shell/main/main_wnd.h"

#include <array>
#include <cstdint>

#include "devices/corvane_mouse_device.h"
#include "link/device_tables.h"
#include "platform/os/window.h"

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
void CMainWnd::SyncKeyboardClock() {}
void CMainWnd::ApplyLanguageToPages(int, bool) {}
void CMainWnd::StopKeyboardListeners() {}
