#include "shell/main/main_wnd.h"
#include "shell/main/device_scan_thread.h"
#include "link/device_tables.h"

bool CMainWnd::IsSupportedInterface(const HidDeviceSlot&) { return false; }
bool CMainWnd::AllSlotsConnected() { return false; }
bool CMainWnd::ClaimSlot(const HidDeviceSlot&, int&) { return false; }
int CMainWnd::FindSupportedDeviceRow(int, int, int, int) { return -1; }
int CMainWnd::FindDeviceOptionRow(int, int, int, int) { return -1; }
win::LRESULT CMainWnd::OnDeviceSlotAttached(int) { return 0; }
void CMainWnd::OnDeviceSlotDetached(int) {}
void CMainWnd::AttachKeyboard(int) {}
void CMainWnd::AttachMouse(int) {}
void CMainWnd::AttachMousePad(int) {}
void CMainWnd::AttachHeadset(int) {}
void CMainWnd::DetachKeyboard(int) {}
void CMainWnd::DetachMouse(int) {}
void CMainWnd::DetachMousePad(int) {}
void CMainWnd::DetachHeadset(int) {}
bool CMainWnd::IsPartnerConnected(int) { return false; }
void CMainWnd::SwitchConnection(int, int) {}
void CMainWnd::AttachAuxInterface(int, int) {}
void CMainWnd::DetachAuxInterface(int, int) {}
bool CMainWnd::HasDevicePanel(int) { return false; }
int CMainWnd::CreateMousePanel(int, int) { return 0; }
int CMainWnd::CreateKeyboardPanel(int, int) { return 0; }
int CMainWnd::CreateMousePadPanel(int, int) { return 0; }
int CMainWnd::CreateHeadsetPanel(int, int) { return 0; }
void CMainWnd::ShowDevice(int, int, int) {}
void CMainWnd::UnselectDevice(int) {}
void CMainWnd::SelectPrevDevice() {}
void CMainWnd::SelectNextDevice() {}
void CMainWnd::OnDeviceSelected() {}
bool CMainWnd::CountShownDevices(int*, int*) { return false; }
void CMainWnd::CloseChildWindows() {}
void CMainWnd::SetMultiDeviceFlagAll(int) {}
CCorvaneUSBDevice* CMainWnd::GetCurrentDevice() { return nullptr; }
void CMainWnd::OnDeviceOnline(int, int) {}

// The device panels that exist before any device is attached: rows 0 and 1 of
// the device option table (mouse and keyboard), built hidden.
void CMainWnd::CreateDefaultDevicePanels() {
    for (int option = 0; option < 2; ++option) {
        const DeviceOptionRow& row = DeviceOptionTable[option];
        const int slotRow = FindSupportedDeviceRow(row.vendorId, row.productId, row.deviceType, row.subKind);
        switch (row.deviceType) {
        case 1:
        case 9:
            CreateKeyboardPanel(slotRow, row.subKind);
            break;
        case 2:
        case 6:
            CreateMousePanel(slotRow, row.subKind);
            break;
        case 3:
            CreateMousePadPanel(slotRow, row.subKind);
            break;
        case 7:
            CreateHeadsetPanel(slotRow, row.subKind);
            break;
        default:
            break;
        }
    }
}

void DeviceScanPass(CMainWnd&) {}
