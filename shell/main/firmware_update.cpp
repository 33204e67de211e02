#include "shell/main/firmware_update.h"

#include "link/hid_device_slot.h"
#include "platform/files/folders.h"

namespace {

constexpr int kKeyboardFirmwareCurrent = 0x203;
constexpr int kReceiverFirmwareCurrent = 0x104;

// The product id of the first supported-device row of a device type.
int ProductIdOfType(int deviceType) {
    for (const HidDeviceSlot& row : SupportedDeviceTable) {
        if (row.deviceType == deviceType) return row.productId;
    }
    return -1;
}

}  // namespace

FirmwareUpdater FirmwareUpdaterFor(int productId, int firmwareVersion) {
    if (firmwareVersion < kKeyboardFirmwareCurrent && productId == ProductIdOfType(HidDeviceSlot::kTypeKeyboardCable)) {
        return FirmwareUpdater::Keyboard;
    }
    if (firmwareVersion < kReceiverFirmwareCurrent &&
        productId == ProductIdOfType(HidDeviceSlot::kTypeKeyboardReceiver)) {
        return FirmwareUpdater::Receiver;
    }
    return FirmwareUpdater::None;
}

std::wstring FirmwareUpdaterFolder() { return win::GetProgramFolder() + L"Update\\"; }

std::wstring FirmwareUpdaterPath(FirmwareUpdater updater) {
    switch (updater) {
        case FirmwareUpdater::Keyboard:
            return FirmwareUpdaterFolder() + kKeyboardUpdaterName;
        case FirmwareUpdater::Receiver:
            return FirmwareUpdaterFolder() + kReceiverUpdaterName;
        case FirmwareUpdater::None:
            break;
    }
    return {};
}
