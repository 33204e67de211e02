// The version list: each connected device fills its own kind's row with the
// HID version of the channel it uses, on the emulated devices.

#include "tests/shell/discovery_fixture.h"

namespace discoverytest {
namespace {

using VersionListTest = DiscoveryTest;

struct Row {
    int version;
    int flag;
    bool operator==(const Row&) const = default;
};

std::vector<Row> Rows(const CMainWnd& w) {
    std::vector<Row> rows;
    for (const VersionRecord& r : w.VersionList()) rows.push_back({r.version, r.flag});
    return rows;
}

TEST_F(VersionListTest, EachDeviceFillsItsKindsRow) {
    struct Case {
        const char* name;
        std::vector<std::pair<ProductKind, std::uint16_t>> devices;
        std::vector<Row> rows;  // mouse, keyboard, receiver, program
    };
    const Case cases[] = {
        {"nothing connected", {}, {{0, 1}, {0, 1}, {0, 1}, {0, 1}}},
        {"wired keyboard", {{ProductKind::KeyboardCable, 0x0203}}, {{0, 1}, {0x0203, 1}, {0, 1}, {0, 1}}},
        {"keyboard through its receiver",
         {{ProductKind::KeyboardReceiver, 0x0103}},
         {{0, 1}, {0x0103, -1}, {0, 1}, {0, 1}}},
        {"wired mouse", {{ProductKind::MouseCable, 0x0110}}, {{0x0110, 1}, {0, 1}, {0, 1}, {0, 1}}},
        // The mouse pad's entry comes third but fills no row (the receiver
        // row is no mouse pad's).
        {"mouse pad, mouse and keyboard",
         {{ProductKind::MousePad, 0x0301}, {ProductKind::MouseCable, 0x0110}, {ProductKind::KeyboardCable, 0x0204}},
         {{0x0110, 1}, {0x0204, 1}, {0, 1}, {0, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Emulator*> plugged;
        for (const auto& [kind, version] : c.devices) {
            Emulator& device = sim_.Create(kind);
            device.SetVersion(version);
            ASSERT_TRUE(device.Plug(sim_.Bus()));
            plugged.push_back(&device);
        }
        Open();
        ScanPass();
        window_->BuildVersionList();
        EXPECT_EQ(Rows(*window_), c.rows);
        ASSERT_EQ(window_->VersionList().size(), 4u);
        EXPECT_EQ(window_->VersionList()[3].shortName, L"AP");
        // Built afresh each time: an unplugged device's row goes back to 0.
        for (Emulator* device : plugged) device->Unplug();
        ScanPass();
        window_->BuildVersionList();
        EXPECT_EQ(Rows(*window_), (std::vector<Row>{{0, 1}, {0, 1}, {0, 1}, {0, 1}}));
        CloseWindow();
    }
}

}  // namespace
}  // namespace discoverytest
