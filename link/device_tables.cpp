#include "link/device_tables.h"

#include "link/hid_device_slot.h"
#include "link/base/product_ids.h"

namespace {

constexpr wchar_t kEntrySkin[] = L"XML\\CustomControlXML\\DeviceOption.xml";
constexpr wchar_t kTabHeader[] = L"tab_header_device";
constexpr wchar_t kPowerSwitch[] = L"device_power_switch";
constexpr wchar_t kLightList[] = L"plenta_light";
constexpr wchar_t kProductName[] = L"Brontel Keyboard T220F-C45X";

}  // namespace

const DeviceOptionRow DeviceOptionTable[kDeviceOptionCount] = {
    {kEntrySkin, kTabHeader, kPowerSwitch, L"mouse", 1, kSupportedVendorId, kPidMouseCable,
     HidDeviceSlot::kTypeMouseCable, 0},
    {kEntrySkin, kTabHeader, kPowerSwitch, L"keyboard", 0, kSupportedVendorId, kPidKeyboardCable,
     HidDeviceSlot::kTypeKeyboardCable, 0},
    {kEntrySkin, kTabHeader, kPowerSwitch, L"MousePad", 2, kSupportedVendorId, kPidMousePad,
     HidDeviceSlot::kTypeMousePad, 0},
    {kEntrySkin, kTabHeader, kPowerSwitch, L"HD", 3, 0, 0, HidDeviceSlot::kTypeHeadset, 0},
};

const DeviceModelRow DeviceModelTable[kDeviceOptionCount] = {
    {15, 11, 1, -1, L"XML\\DeviceXml\\mousedevice.xml", kLightList},
    {170, 170, 1, -1, L"XML\\DeviceXml\\keyboarddevice.xml", kLightList},
    {15, 0, 0, -1, L"XML\\DeviceXml\\mousepaddevice.xml", kLightList},
    {13, 0, 0, -1, L"XML\\DeviceXml\\hs6533device.xml", kLightList},
};

const VersionRecord VersionTable[kVersionCount] = {
    {1, 1, 0, L"PLENTA", L"QT22R17A", L"MS", L"MS", L""},
    {1, 1, 0, L"PLENTA", L"QT22R16A", L"KB", L"KB", L""},
    {2, 1, 0, L"PLENTA", L"QT22R09A_1", kProductName, kProductName, L""},
    {0, 1, 0, L"PLENTA", L"ALL", kProductName, L"AP", L"" TAVRIK_PROGRAM_VERSION},
};

int FindDeviceOptionRow(int deviceType, int subKind, int vendorId, int productId) {
    // The headset's ids are not built in: its row goes by the ids the device
    // discovery looks for it with, so a headset found is a headset known.
    const HidDeviceSlot& headset = DiscoveryDeviceTable()[kHeadsetSlotRow];
    for (int i = 0; i < kDeviceOptionCount; ++i) {
        const DeviceOptionRow& row = DeviceOptionTable[i];
        const bool isHeadset = row.deviceType == HidDeviceSlot::kTypeHeadset;
        const int rowVendorId = isHeadset ? headset.vendorId : row.vendorId;
        const int rowProductId = isHeadset ? headset.productId : row.productId;
        if (row.deviceType == deviceType && row.subKind == subKind && rowVendorId == vendorId &&
            rowProductId == productId) {
            return i;
        }
    }
    return -1;
}
