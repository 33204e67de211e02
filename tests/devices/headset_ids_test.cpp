// TAVRIK_HEADSET_IDS: the ids the emulated headset answers on, given to the
// headset's row of the discovery table with the simulated HID backend only.
#include <gtest/gtest.h>

#include <cstdlib>

#include "link/hid_device_slot.h"

namespace {

struct IdsCase {
    const char* text;
    bool ok;
    uint16_t vid, pid;
};

const IdsCase kIdsCases[] = {
    {"3151:7010", true, 0x3151, 0x7010},
    {"abcd:EF01", true, 0xABCD, 0xEF01},
    {"1:2", true, 1, 2},
    {"3151", false, 0, 0},
    {"3151:", false, 0, 0},
    {":7010", false, 0, 0},
    {"0:7010", false, 0, 0},
    {"3151:0", false, 0, 0},
    {"13151:7010", false, 0, 0},
    {"3151:7010x", false, 0, 0},
    {"-1:7010", false, 0, 0},
    {"", false, 0, 0},
};

TEST(HeadsetIds, ParsesTwoNonZeroHexadecimalIds) {
    for (const IdsCase& c : kIdsCases) {
        SCOPED_TRACE(c.text);
        uint16_t vid = 9, pid = 9;
        EXPECT_EQ(ParseHeadsetIds(c.text, &vid, &pid), c.ok);
        EXPECT_EQ(vid, c.ok ? c.vid : 9);
        EXPECT_EQ(pid, c.ok ? c.pid : 9);
    }
    uint16_t vid = 0, pid = 0;
    EXPECT_FALSE(ParseHeadsetIds(nullptr, &vid, &pid));
}

// Each test runs in a process of its own, so the table is read here first.
TEST(HeadsetIds, OnlyTheSimulatedBackendGivesTheRowItsIds) {
    setenv("TAVRIK_HEADSET_IDS", "3151:7010", 1);
    unsetenv("TAVRIK_HID_BACKEND");
    const HidDeviceSlot& row = DiscoveryDeviceTable()[kHeadsetSlotRow];
    EXPECT_EQ(row.vendorId, 0);
    EXPECT_EQ(row.productId, 0);
    EXPECT_EQ(row.deviceType, HidDeviceSlot::kTypeHeadset);
    // The built-in table itself never changes.
    EXPECT_EQ(SupportedDeviceTable[kHeadsetSlotRow].vendorId, 0);
}

TEST(HeadsetIds, SimulatedBackendGivesTheRowItsIds) {
    setenv("TAVRIK_HEADSET_IDS", "3151:7010", 1);
    setenv("TAVRIK_HID_BACKEND", "sim", 1);
    const HidDeviceSlot& row = DiscoveryDeviceTable()[kHeadsetSlotRow];
    EXPECT_EQ(row.vendorId, 0x3151);
    EXPECT_EQ(row.productId, 0x7010);
    EXPECT_EQ(row.interfaceNumber, 3);
    EXPECT_EQ(SupportedDeviceTable[kHeadsetSlotRow].vendorId, 0);
}

}  // namespace
