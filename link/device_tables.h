#pragma once

#include <string>

// Built-in tables of the four device kinds the program knows, for everything
// that is not HID identity. The row index is the same in DeviceOptionTable and
// DeviceModelTable: 0 mouse, 1 keyboard, 2 mouse pad, 3 headset. The tables are
// never changed; copy a row to change it.

inline constexpr int kDeviceKindMouse = 0;
inline constexpr int kDeviceKindKeyboard = 1;
inline constexpr int kDeviceKindMousePad = 2;
inline constexpr int kDeviceKindHeadset = 3;

// How a kind's entry in the device list is built and which defaults it uses.
struct DeviceOptionRow {
    std::wstring entrySkin;        // skin file of the device-list entry
    std::wstring tabHeaderName;    // name of the entry's header control
    std::wstring powerSwitchName;  // name of the entry's power switch control
    std::wstring kindName;         // default profile "<kind>.Json"; user sub-folder name
    int lightNameIndex = 0;        // element of the default light-name lists; the page's device index
    int vendorId = 0;              // 0 for the headset: its ids are the discovery table's
    int productId = 0;             // product id on its cable; 0 for the headset
    int deviceType = 0;            // HidDeviceSlot device type of the cable connection
    int subKind = 0;               // matched together with the device type
};

inline constexpr int kDeviceOptionCount = 4;
extern const DeviceOptionRow DeviceOptionTable[kDeviceOptionCount];

// The first row whose device type, sub-kind, vendor id and product id all equal
// the given ones; -1 when none does (receiver types have no row: map a receiver
// slot to its cable partner first). The headset's row is matched with the ids
// of the discovery table's headset row (DiscoveryDeviceTable), not its own 0:0.
int FindDeviceOptionRow(int deviceType, int subKind, int vendorId, int productId);

// How big a kind's page is and from which skin it is built.
struct DeviceModelRow {
    int ledCount = 0;
    int keyCount = 0;
    int showPower = 0;      // 1: the page's battery tile is shown
    int logoLedIndex = -1;  // mouse only: the LED the logo button shows; -1 none
    std::wstring pageSkin;
    std::wstring lightListName;  // the light-list file is this name + ".config"
};

extern const DeviceModelRow DeviceModelTable[kDeviceOptionCount];

// Firmware and program versions for the update list and the about window.
struct VersionRecord {
    int kind = 0;              // 0: the program itself; 1 or 2: a device firmware
    int flag = 1;              // set to -1 in the version list for a device on the receiver
    int version = 0;           // filled at run time in the version list
    std::wstring makerCode;    // prefix of the update package names
    std::wstring projectCode;  // firmware project code; "ALL" marks the program row
    std::wstring name;
    std::wstring shortName;    // shown in the update list
    std::wstring versionText;  // shown instead of the number for the program row
};

inline constexpr int kVersionCount = 4;
extern const VersionRecord VersionTable[kVersionCount];
