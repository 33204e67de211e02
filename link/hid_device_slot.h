#pragma once

#include <cstdint>
#include <string>

// One HID interface of a supported device: a row of SupportedDeviceTable, an
// entry of the main window's slot list, and the copy a device page keeps of the
// interface it is bound to.
struct HidDeviceSlot {
    // Device types.
    static constexpr std::uint16_t kTypeKeyboardCable = 1;
    static constexpr std::uint16_t kTypeMouseCable = 2;
    static constexpr std::uint16_t kTypeMousePad = 3;
    static constexpr std::uint16_t kTypeMouseReceiver = 6;
    static constexpr std::uint16_t kTypeHeadset = 7;
    static constexpr std::uint16_t kTypeKeyboardReceiver = 9;
    // Auxiliary values: the control collection carries the command channel,
    // the consumer collection the device's event codes.
    static constexpr std::uint16_t kControlCollection = 0;
    static constexpr std::uint16_t kConsumerCollection = 255;

    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t interfaceNumber = 0;  // "&mi_" in the path
    std::uint16_t collection = 0;       // "&col" in the path
    std::uint16_t deviceType = 0;
    std::uint16_t auxiliary = 0;
    std::uint16_t connected = 0;  // 1 while a present interface is bound here
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    std::uint16_t hasPartner = 0;  // 1 when the product also exists in the other connection mode
    std::uint16_t partnerRow = 0;  // the partner's row in SupportedDeviceTable
    std::wstring devicePath;       // empty when unbound

    constexpr HidDeviceSlot() = default;
    constexpr HidDeviceSlot(std::uint16_t vid, std::uint16_t pid, std::uint16_t iface, std::uint16_t col,
                            std::uint16_t type, std::uint16_t aux, std::uint16_t page, std::uint16_t use,
                            std::uint16_t partner, std::uint16_t partnerIndex)
        : vendorId(vid),
          productId(pid),
          interfaceNumber(iface),
          collection(col),
          deviceType(type),
          auxiliary(aux),
          usagePage(page),
          usage(use),
          hasPartner(partner),
          partnerRow(partnerIndex) {}

    // True when both name the same interface: ids, interface, collection,
    // device type, auxiliary value, usage page and usage are equal; the
    // connected flag, the partner fields and the path are not compared.
    bool IsSameDevice(const HidDeviceSlot& other) const;
};

// The built-in table of supported interfaces: two rows per product and
// connection mode (control collection, then consumer collection), the wired and
// receiver rows of a product naming each other as partners, and a last row for
// the headset with vendor and product id 0 (no path yields those, so the HID
// scan never binds it). Unbound in every row.
inline constexpr int kSupportedDeviceCount = 11;
extern const HidDeviceSlot SupportedDeviceTable[kSupportedDeviceCount];

// The supported interfaces as the device discovery uses them: the table
// above, except that with the simulated HID backend (TAVRIK_HID_BACKEND=sim)
// TAVRIK_HEADSET_IDS=VVVV:PPPP (hexadecimal) gives the headset's row those ids,
// so that tests and the demo reach an emulated headset. Read once.
const HidDeviceSlot* DiscoveryDeviceTable();
// The headset's row in the tables.
inline constexpr int kHeadsetSlotRow = kSupportedDeviceCount - 1;
// Reads "VVVV:PPPP"; false (nothing written) for anything else or a zero id.
bool ParseHeadsetIds(const char* text, std::uint16_t* vendorId, std::uint16_t* productId);

// The 16-bit hexadecimal number right after a key in a HID device path, the key
// found without regard to case: "vid_", "pid_", "&mi_", "&col". Leading
// hexadecimal digits are read up to the first other character ("&", "#", ...);
// 0 when the key is absent, no digit follows, or the path is null.
std::uint16_t ParseVidFromPath(const wchar_t* path);
std::uint16_t ParsePidFromPath(const wchar_t* path);
std::uint16_t ParseInterfaceFromPath(const wchar_t* path);
std::uint16_t ParseCollectionFromPath(const wchar_t* path);
