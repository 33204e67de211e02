// One pass of the device scan thread: the presence check of the bound slots,
// then, while a slot is free, the enumeration of the HID interfaces and the
// claim of every supported one. The main window binds or drops each slot on
// its own thread while this thread waits for the reply.

#include <memory>
#include <mutex>
#include <vector>

#include "link/debug_log.h"
#include "link/hid_device.h"
#include "platform/hid/hid_api.h"
#include "platform/os/message_queue.h"
#include "link/device/device_trace.h"
#include "shell/main/device_scan_thread.h"
#include "shell/main/main_wnd.h"
#include "shell/controls/process_state.h"

namespace {

// The enumeration object lives as long as the process; only the scan thread uses it.
CHidDevice& EnumerationDevice() {
    static CHidDevice device;
    return device;
}

bool IsPresent(const std::wstring& path) {
    win::HANDLE handle = win::CreateFileW(path.c_str(), 0, win::FILE_SHARE_READ | win::FILE_SHARE_WRITE, nullptr,
                                          win::OPEN_EXISTING, 0, nullptr);
    if (handle == nullptr || handle == win::INVALID_HANDLE_VALUE) return false;
    win::CloseHandle(handle);
    return true;
}

win::HWND Target(CMainWnd& window) {
    win::HWND hwnd = MainWindowHandle.load();
    return hwnd != nullptr ? hwnd : window.GetHWND();
}

void CheckPresence(CMainWnd& window) {
    std::vector<HidDeviceSlot>& slots = window.Slots();
    std::vector<int> lost;
    for (size_t i = 0; i < slots.size(); ++i) {
        if (slots[i].connected != 0 && !IsPresent(slots[i].devicePath)) lost.push_back(static_cast<int>(i));
    }
    for (int index : lost) {
        slots[static_cast<size_t>(index)].connected = 0;
        slots[static_cast<size_t>(index)].devicePath.clear();
        DeviceTrace(L"scan: slot %d lost", index);
        win::SendMessageW(Target(window), WM_DEVICE_LOST, static_cast<win::WPARAM>(index), 0);
    }
}

void ClaimPath(CMainWnd& window, CHidDevice& device, const wchar_t* path) {
    HidDeviceSlot candidate;
    candidate.vendorId = ParseVidFromPath(path);
    candidate.productId = ParsePidFromPath(path);
    candidate.collection = ParseCollectionFromPath(path);
    candidate.interfaceNumber = ParseInterfaceFromPath(path);
    candidate.devicePath = path;
    if (!window.IsSupportedInterface(candidate)) return;
    if (!device.Open(path, TRUE, FALSE, TRUE, FALSE)) return;
    candidate.vendorId = device.m_attributes.VendorID;
    candidate.productId = device.m_attributes.ProductID;
    candidate.usagePage = device.m_caps.UsagePage;
    candidate.usage = device.m_caps.Usage;
    device.Close();
    int slot = -1;
    if (!window.ClaimSlot(candidate, slot)) return;
    DeviceTrace(L"scan: slot %d bound to %ls", slot, path);
    const win::LRESULT bound = win::SendMessageW(Target(window), WM_DEVICE_BOUND, static_cast<win::WPARAM>(slot), 0);
    if (bound == 0) {
        // The page could not open its command channel: free the slot so
        // that the next pass claims and binds it again.
        std::vector<HidDeviceSlot>& slots = window.Slots();
        slots[static_cast<size_t>(slot)].connected = 0;
        slots[static_cast<size_t>(slot)].devicePath.clear();
        DeviceTrace(L"scan: slot %d not bound, freed for the next pass", slot);
    }
}

}  // namespace

void DeviceScanPass(CMainWnd& window) {
    CheckPresence(window);
    if (window.AllSlotsConnected()) return;
    CHidDevice& device = EnumerationDevice();
    // Logged once per run of failures; the scan keeps trying every pass.
    static bool failing = false;
    if (!device.BeginEnumeration()) {
        DeviceTrace(L"scan: the HID interfaces cannot be listed; trying again next pass");
        if (!failing) WriteLog("device scan: the HID interfaces cannot be listed");
        failing = true;
        return;
    }
    failing = false;
    while (const wchar_t* path = device.NextPath()) ClaimPath(window, device, path);
    device.FreePathList();
}
