// The slot list of the device discovery: which enumerated interfaces are
// supported, which slot an opened interface claims, and the table lookups
// that connect slots, table rows and device pages.

#include <span>

#include "link/device_tables.h"
#include "shell/main/main_wnd.h"

namespace {

// A row or slot the HID scan can bind: vendor id 0 (the headset's row) names
// no HID interface, and a path without "vid_" must never match it.
bool IsScannable(const HidDeviceSlot& row) { return row.vendorId != 0; }

bool SamePathIds(const HidDeviceSlot& a, const HidDeviceSlot& b) {
    return a.vendorId == b.vendorId && a.productId == b.productId && a.collection == b.collection &&
           a.interfaceNumber == b.interfaceNumber;
}

bool SameOpenedIds(const HidDeviceSlot& a, const HidDeviceSlot& b) {
    return SamePathIds(a, b) && a.usagePage == b.usagePage && a.usage == b.usage;
}

bool IsFree(const HidDeviceSlot& slot) { return slot.connected == 0 && slot.devicePath.empty(); }

}  // namespace

bool CMainWnd::IsSupportedInterface(const HidDeviceSlot& candidate) {
    if (!IsScannable(candidate)) return false;
    bool listed = false;
    for (const HidDeviceSlot& row : std::span(DiscoveryDeviceTable(), kSupportedDeviceCount)) {
        if (SamePathIds(row, candidate)) {
            listed = true;
            break;
        }
    }
    if (!listed) return false;
    for (const HidDeviceSlot& slot : m_slots) {
        if (IsFree(slot) && SamePathIds(slot, candidate)) return true;
    }
    return false;
}

bool CMainWnd::AllSlotsConnected() {
    for (const HidDeviceSlot& slot : m_slots) {
        if (IsScannable(slot) && IsFree(slot)) return false;
    }
    return true;
}

bool CMainWnd::ClaimSlot(const HidDeviceSlot& candidate, int& slotIndex) {
    if (!IsScannable(candidate)) return false;
    bool listed = false;
    for (const HidDeviceSlot& row : std::span(DiscoveryDeviceTable(), kSupportedDeviceCount)) {
        if (SameOpenedIds(row, candidate)) {
            listed = true;
            break;
        }
    }
    if (!listed) return false;
    for (size_t i = 0; i < m_slots.size(); ++i) {
        HidDeviceSlot& slot = m_slots[i];
        if (SameOpenedIds(slot, candidate) && IsFree(slot)) {
            slot.connected = 1;
            slot.devicePath = candidate.devicePath;
            slotIndex = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

int CMainWnd::FindSupportedDeviceRow(int vendorId, int productId, int deviceType, int auxiliary) {
    for (int i = 0; i < kSupportedDeviceCount; ++i) {
        const HidDeviceSlot& row = DiscoveryDeviceTable()[i];
        if (row.deviceType == deviceType && row.auxiliary == auxiliary && row.vendorId == vendorId &&
            row.productId == productId) {
            return i;
        }
    }
    return -1;
}

int CMainWnd::FindDeviceOptionRow(int vendorId, int productId, int deviceType, int subKind) {
    return ::FindDeviceOptionRow(deviceType, subKind, vendorId, productId);
}
