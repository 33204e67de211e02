#include "link/hid_device_slot.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <tuple>
#include <vector>

#include "link/device_tables.h"
#include "link/base/product_ids.h"

namespace {

struct Ids {
    int vid, pid, mi, col;
};

Ids ParseAll(const wchar_t* path) {
    return {ParseVidFromPath(path), ParsePidFromPath(path), ParseInterfaceFromPath(path),
            ParseCollectionFromPath(path)};
}

bool operator==(const Ids& a, const Ids& b) {
    return a.vid == b.vid && a.pid == b.pid && a.mi == b.mi && a.col == b.col;
}

void PrintTo(const Ids& ids, std::ostream* os) {
    *os << std::hex << ids.vid << "/" << ids.pid << "/" << ids.mi << "/" << ids.col;
}

}  // namespace

TEST(HidPathParsers, ReadTheNumbersAfterEachKey) {
    const struct {
        const wchar_t* path;
        Ids ids;
    } cases[] = {
        {L"\\\\?\\hid#vid_1a2b&pid_00c4&mi_01&col04#7&1f2&0&0003#{4d1e55b2-f16f-11cf-88cb-001111000030}",
         {0x1A2B, 0x00C4, 0x0001, 0x0004}},
        {L"\\\\?\\HID#VID_3151&PID_4010&MI_01&COL03#node", {0x3151, 0x4010, 1, 3}},
        {L"\\\\?\\hid#Vid_AbCd&pId_eF01&Mi_02#x", {0xABCD, 0xEF01, 2, 0}},
        // Bluetooth form: no vendor or product key.
        {L"\\\\?\\hid#{00001124-0000-1000-8000-00805f9b34fb}_dev_vid&02045e_pid&0b13&col01#9&x", {0, 0, 0, 1}},
        {L"vid_12345&pid_fffff", {0x2345, 0xFFFF, 0, 0}},  // only the low 16 bits
        {L"vid_&pid_zz&mi_&col", {0, 0, 0, 0}},            // keys without digits
        {L"vid_7g&pid_0x10", {7, 0, 0, 0}},                // digits stop at the first other character
        {L"", {0, 0, 0, 0}},
        {L"vi", {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseAll(c.path), c.ids) << std::wstring(c.path).size();
    }
    EXPECT_EQ(ParseAll(nullptr), (Ids{0, 0, 0, 0}));
}

TEST(HidDeviceSlot, SameDeviceComparesIdentityOnly) {
    HidDeviceSlot a = SupportedDeviceTable[0];
    HidDeviceSlot b = a;
    b.connected = 1;
    b.devicePath = L"\\\\?\\hid#vid_3151&pid_4010&mi_01&col04#x";
    b.hasPartner = 0;
    b.partnerRow = 9;
    EXPECT_TRUE(a.IsSameDevice(b));
    EXPECT_TRUE(b.IsSameDevice(a));

    const auto differing = [&](auto change) {
        HidDeviceSlot c = a;
        change(c);
        return !a.IsSameDevice(c);
    };
    EXPECT_TRUE(differing([](HidDeviceSlot& s) { s.vendorId ^= 1; }));
    EXPECT_TRUE(differing([](HidDeviceSlot& s) { s.productId ^= 1; }));
    EXPECT_TRUE(differing([](HidDeviceSlot& s) { s.interfaceNumber ^= 1; }));
    EXPECT_TRUE(differing([](HidDeviceSlot& s) { s.collection ^= 1; }));
    EXPECT_TRUE(differing([](HidDeviceSlot& s) { s.deviceType ^= 1; }));
    EXPECT_TRUE(differing([](HidDeviceSlot& s) { s.auxiliary ^= 1; }));
    EXPECT_TRUE(differing([](HidDeviceSlot& s) { s.usagePage ^= 1; }));
    EXPECT_TRUE(differing([](HidDeviceSlot& s) { s.usage ^= 1; }));
}

TEST(HidDeviceSlot, CopiesCarryEveryFieldAndDefaultIsEmpty) {
    HidDeviceSlot source = SupportedDeviceTable[2];
    source.connected = 1;
    source.devicePath = L"path";
    HidDeviceSlot assigned;
    assigned = source;
    const HidDeviceSlot copied(source);
    for (const HidDeviceSlot* s : {static_cast<const HidDeviceSlot*>(&assigned), &copied}) {
        EXPECT_TRUE(s->IsSameDevice(source));
        EXPECT_EQ(s->connected, 1);
        EXPECT_EQ(s->hasPartner, 1);
        EXPECT_EQ(s->partnerRow, 0);
        EXPECT_EQ(s->devicePath, L"path");
    }
    const HidDeviceSlot empty;
    EXPECT_EQ(empty.vendorId + empty.productId + empty.deviceType + empty.usagePage + empty.partnerRow, 0);
    EXPECT_TRUE(empty.devicePath.empty());
}

TEST(SupportedDeviceTable, RowsPairCollectionsAndPartners) {
    std::set<std::tuple<int, int, int, int>> identities;
    for (int i = 0; i < kSupportedDeviceCount; ++i) {
        const HidDeviceSlot& row = SupportedDeviceTable[i];
        EXPECT_EQ(row.connected, 0) << i;
        EXPECT_TRUE(row.devicePath.empty()) << i;
        identities.insert({row.vendorId, row.productId, row.interfaceNumber, row.collection});
        if (i < 10) {
            EXPECT_EQ(row.vendorId, kSupportedVendorId) << i;
            EXPECT_EQ(row.interfaceNumber, 1) << i;
            const bool control = i % 2 == 0;
            EXPECT_EQ(row.collection, control ? 4 : 3) << i;
            EXPECT_EQ(row.auxiliary, control ? 0 : 255) << i;
            EXPECT_EQ(row.usagePage, control ? 0xFF1C : 0x0C) << i;
            EXPECT_EQ(row.usage, control ? 0x92 : 0x01) << i;
        }
        if (row.hasPartner) {
            const HidDeviceSlot& partner = SupportedDeviceTable[row.partnerRow];
            EXPECT_EQ(partner.partnerRow, i) << "partners name each other";
            EXPECT_EQ(partner.auxiliary, row.auxiliary) << i;
            EXPECT_NE(partner.productId, row.productId) << i;
            EXPECT_NE(partner.deviceType, row.deviceType) << i;
            EXPECT_FALSE(row.IsSameDevice(partner)) << i;
        } else {
            EXPECT_EQ(row.partnerRow, 0) << i;
        }
    }
    EXPECT_EQ(identities.size(), static_cast<std::size_t>(kSupportedDeviceCount)) << "every row is distinct";

    const int types[] = {1, 1, 9, 9, 2, 2, 6, 6, 3, 3, 7};
    const int pids[] = {kPidKeyboardCable,
                        kPidKeyboardCable,
                        kPidKeyboardReceiver,
                        kPidKeyboardReceiver,
                        kPidMouseCable,
                        kPidMouseCable,
                        kPidMouseReceiver,
                        kPidMouseReceiver,
                        kPidMousePad,
                        kPidMousePad,
                        0};
    for (int i = 0; i < kSupportedDeviceCount; ++i) {
        EXPECT_EQ(SupportedDeviceTable[i].deviceType, types[i]) << i;
        EXPECT_EQ(SupportedDeviceTable[i].productId, pids[i]) << i;
    }
    const HidDeviceSlot& headset = SupportedDeviceTable[10];
    EXPECT_EQ(headset.vendorId, 0);
    EXPECT_EQ(headset.interfaceNumber, 3);
    EXPECT_EQ(headset.collection, 0);
    EXPECT_EQ(headset.usagePage, 0x0C);
}

// A path matches a row when its four parsed numbers equal the row's (the scan's
// first test). Bluetooth paths match nothing, the headset row included.
TEST(SupportedDeviceTable, PathsMatchOnlyTheirRow) {
    const auto matches = [](const wchar_t* path) {
        std::vector<int> rows;
        for (int i = 0; i < kSupportedDeviceCount; ++i) {
            const HidDeviceSlot& r = SupportedDeviceTable[i];
            if (ParseVidFromPath(path) == r.vendorId && ParsePidFromPath(path) == r.productId &&
                ParseInterfaceFromPath(path) == r.interfaceNumber && ParseCollectionFromPath(path) == r.collection) {
                rows.push_back(i);
            }
        }
        return rows;
    };
    EXPECT_EQ(matches(L"\\\\?\\hid#vid_3151&pid_4011&mi_01&col03#n"), std::vector<int>{3});
    EXPECT_EQ(matches(L"\\\\?\\HID#VID_3151&PID_6010&MI_01&COL04#n"), std::vector<int>{8});
    EXPECT_TRUE(matches(L"\\\\?\\hid#{00001124-0000-1000-8000-00805f9b34fb}_dev&col01#n").empty());
    EXPECT_TRUE(matches(L"\\\\?\\hid#{00001124-0000-1000-8000-00805f9b34fb}_dev&mi_00&col02#n").empty());
}

TEST(DeviceOptionTable, RowsAndLookup) {
    const wchar_t* kinds[] = {L"mouse", L"keyboard", L"MousePad", L"HD"};
    const int lightIndex[] = {1, 0, 2, 3};
    const int types[] = {2, 1, 3, 7};
    for (int i = 0; i < kDeviceOptionCount; ++i) {
        const DeviceOptionRow& row = DeviceOptionTable[i];
        EXPECT_EQ(row.entrySkin, L"XML\\CustomControlXML\\DeviceOption.xml");
        EXPECT_EQ(row.tabHeaderName, L"tab_header_device");
        EXPECT_EQ(row.powerSwitchName, L"device_power_switch");
        EXPECT_EQ(row.kindName, kinds[i]);
        EXPECT_EQ(row.lightNameIndex, lightIndex[i]);
        EXPECT_EQ(row.deviceType, types[i]);
        EXPECT_EQ(row.subKind, 0);
        EXPECT_EQ(FindDeviceOptionRow(row.deviceType, 0, row.vendorId, row.productId), i);
    }
    // The cable ids equal those of the supported-device table.
    EXPECT_EQ(DeviceOptionTable[0].productId, SupportedDeviceTable[4].productId);
    EXPECT_EQ(DeviceOptionTable[1].productId, SupportedDeviceTable[0].productId);
    EXPECT_EQ(DeviceOptionTable[2].productId, SupportedDeviceTable[8].productId);
    EXPECT_EQ(DeviceOptionTable[1].vendorId, SupportedDeviceTable[0].vendorId);

    EXPECT_EQ(FindDeviceOptionRow(6, 0, kSupportedVendorId, kPidMouseReceiver), -1) << "receivers have no row";
    EXPECT_EQ(FindDeviceOptionRow(9, 0, kSupportedVendorId, kPidKeyboardReceiver), -1);
    EXPECT_EQ(FindDeviceOptionRow(7, 0, 0, 0), 3);
    EXPECT_EQ(FindDeviceOptionRow(7, 0, kSupportedVendorId, 0), -1);
    EXPECT_EQ(FindDeviceOptionRow(1, 1, kSupportedVendorId, kPidKeyboardCable), -1) << "sub-kind counts";
}

TEST(DeviceModelTable, PageSizesAndSkins) {
    const struct {
        int leds, keys, power;
        const wchar_t* skin;
    } rows[] = {
        {15, 11, 1, L"XML\\DeviceXml\\mousedevice.xml"},
        {170, 170, 1, L"XML\\DeviceXml\\keyboarddevice.xml"},
        {15, 0, 0, L"XML\\DeviceXml\\mousepaddevice.xml"},
        {13, 0, 0, L"XML\\DeviceXml\\hs6533device.xml"},
    };
    for (int i = 0; i < kDeviceOptionCount; ++i) {
        EXPECT_EQ(DeviceModelTable[i].ledCount, rows[i].leds) << i;
        EXPECT_EQ(DeviceModelTable[i].keyCount, rows[i].keys) << i;
        EXPECT_EQ(DeviceModelTable[i].showPower, rows[i].power) << i;
        EXPECT_EQ(DeviceModelTable[i].logoLedIndex, -1) << i;
        EXPECT_EQ(DeviceModelTable[i].pageSkin, rows[i].skin) << i;
        EXPECT_EQ(DeviceModelTable[i].lightListName, L"plenta_light") << i;
    }
}

TEST(VersionTable, FirmwareRowsThenTheProgramRow) {
    const wchar_t* projects[] = {L"QT22R17A", L"QT22R16A", L"QT22R09A_1", L"ALL"};
    const wchar_t* shortNames[] = {L"MS", L"KB", L"Brontel Keyboard T220F-C45X", L"AP"};
    const int kinds[] = {1, 1, 2, 0};
    for (int i = 0; i < kVersionCount; ++i) {
        const VersionRecord& r = VersionTable[i];
        EXPECT_EQ(r.kind, kinds[i]);
        EXPECT_EQ(r.flag, 1);
        EXPECT_EQ(r.version, 0);
        EXPECT_EQ(r.makerCode, L"PLENTA");
        EXPECT_EQ(r.projectCode, projects[i]);
        EXPECT_EQ(r.shortName, shortNames[i]);
    }
    EXPECT_EQ(VersionTable[3].name, L"Brontel Keyboard T220F-C45X");
    EXPECT_FALSE(VersionTable[kVersionCount - 1].versionText.empty());
    EXPECT_EQ(VersionTable[0].versionText, L"");
}
