// The version list: each connected device fills its own kind's row with the
// HID version of the channel it uses, on the emulated devices; a mouse pad or
// headset gets a row of its own before the program's.

#include "tests/shell/discovery_fixture.h"

namespace discoverytest {
namespace {

using VersionListTest = DiscoveryTest;

struct Row {
    int version;
    int flag;
    std::wstring name;
    bool operator==(const Row&) const = default;
    friend void PrintTo(const Row& r, std::ostream* os) {
        *os << "{" << std::hex << "0x" << r.version << std::dec << ", " << r.flag << ", "
            << ::testing::PrintToString(r.name) << "}";
    }
};

std::vector<Row> Rows(const CMainWnd& w) {
    std::vector<Row> rows;
    for (const VersionRecord& r : w.VersionList()) rows.push_back({r.version, r.flag, r.shortName});
    return rows;
}

// The table's own rows: mouse, keyboard, receiver, program.
constexpr int kMs = 0, kKb = 1, kRx = 2;
Row TableRow(int row, int version = 0, int flag = 1) {
    const std::wstring names[] = {L"MS", L"KB", VersionTable[2].shortName, L"AP"};
    return {version, flag, names[row]};
}
Row Program() { return {0, 1, L"AP"}; }

TEST_F(VersionListTest, EachDeviceFillsItsKindsRow) {
    struct Case {
        const char* name;
        std::vector<std::pair<ProductKind, std::uint16_t>> devices;
        std::vector<Row> rows;
    };
    const std::vector<Row> empty = {TableRow(kMs), TableRow(kKb), TableRow(kRx), Program()};
    const Case cases[] = {
        {"nothing connected", {}, empty},
        {"wired keyboard",
         {{ProductKind::KeyboardCable, 0x0203}},
         {TableRow(kMs), TableRow(kKb, 0x0203), TableRow(kRx), Program()}},
        {"keyboard through its receiver",
         {{ProductKind::KeyboardReceiver, 0x0103}},
         {TableRow(kMs), TableRow(kKb, 0x0103, -1), TableRow(kRx), Program()}},
        {"wired mouse",
         {{ProductKind::MouseCable, 0x0110}},
         {TableRow(kMs, 0x0110), TableRow(kKb), TableRow(kRx), Program()}},
        // The mouse pad fills no table row (the receiver row is no mouse
        // pad's): it gets its own before the program's.
        {"mouse pad, mouse and keyboard",
         {{ProductKind::MousePad, 0x0301}, {ProductKind::MouseCable, 0x0110}, {ProductKind::KeyboardCable, 0x0204}},
         {TableRow(kMs, 0x0110), TableRow(kKb, 0x0204), TableRow(kRx), Row{0x0301, 1, L"MP"}, Program()}},
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
        // The settings window lists the connected devices and the program,
        // whether or not an installation was recorded.
        std::vector<std::wstring> listed;
        for (const VersionRecord& r : window_->ShownVersionRows()) listed.push_back(r.shortName);
        std::vector<std::wstring> expected;
        for (const Row& r : c.rows) {
            if (r.version != 0 || r.name == L"AP") expected.push_back(r.name);
        }
        EXPECT_EQ(listed, expected);
        // Built afresh each time: an unplugged device's row goes back to 0.
        for (Emulator* device : plugged) device->Unplug();
        ScanPass();
        window_->BuildVersionList();
        EXPECT_EQ(Rows(*window_), empty);
        CloseWindow();
    }
}

// The headset's ids are not in the program's table; with the ids the
// program finds it by, its row is that of a connected headset. Each test runs
// in a process of its own, so the discovery table is first read here.
TEST_F(VersionListTest, AConnectedHeadsetFillsItsOwnRow) {
    setenv("TAVRIK_HID_BACKEND", "sim", 1);
    setenv("TAVRIK_HEADSET_IDS", "3151:7010", 1);
    Emulator& headset = sim_.Create(ProductKind::Headset);
    headset.SetVersion(0x0402);
    ASSERT_TRUE(headset.Plug(sim_.Bus()));
    Open();
    ScanPass();
    window_->BuildVersionList();
    EXPECT_EQ(Rows(*window_),
              (std::vector<Row>{TableRow(kMs), TableRow(kKb), TableRow(kRx), Row{0x0402, 1, L"HS"}, Program()}));
    std::vector<std::wstring> listed;
    for (const VersionRecord& r : window_->ShownVersionRows()) listed.push_back(r.shortName);
    EXPECT_EQ(listed, (std::vector<std::wstring>{L"HS", L"AP"}));
    headset.Unplug();
    ScanPass();
    window_->BuildVersionList();
    EXPECT_EQ(Rows(*window_), (std::vector<Row>{TableRow(kMs), TableRow(kKb), TableRow(kRx), Program()}));
}

}  // namespace
}  // namespace discoverytest
