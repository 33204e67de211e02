// The scan pass on the in-process sim bus: which paths are matched and
// claimed, identical devices, collections whose usages differ, the order of
// a pass, a failing enumeration and a command channel that cannot be opened.

#include <algorithm>

#include "link/base/product_ids.h"
#include "platform/hid/hid_api.h"
#include "platform/os/handle.h"
#include "tests/shell/discovery_fixture.h"

namespace discoverytest {
namespace {

HidDeviceSlot CandidateFrom(const std::wstring& path) {
    HidDeviceSlot c;
    c.vendorId = ParseVidFromPath(path.c_str());
    c.productId = ParsePidFromPath(path.c_str());
    c.collection = ParseCollectionFromPath(path.c_str());
    c.interfaceNumber = ParseInterfaceFromPath(path.c_str());
    c.devicePath = path;
    return c;
}

std::vector<std::string> BoundAndLost(const DiscoveryWnd& w) {
    std::vector<std::string> out;
    for (const std::string& c : w.calls)
        if (c.rfind("bound ", 0) == 0 || c.rfind("lost ", 0) == 0) out.push_back(c);
    return out;
}

using DeviceScanTest = DiscoveryTest;

TEST_F(DeviceScanTest, PathsAreMatchedByTheirIdsAndClaimedWithTheirUsages) {
    Open();
    struct Case {
        const char* name;
        std::wstring path;
        bool matched;
        std::uint16_t usagePage, usage;
        int claimedSlot;  // -1: not claimed
    };
    const std::wstring kb = L"\\\\?\\hid#vid_3151&pid_4010&mi_01&col04#7&1#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    const std::wstring kbUpper = L"\\\\?\\HID#VID_3151&PID_4010&MI_01&COL03#7&1#{4D1E55B2}";
    const std::wstring pad = L"\\\\?\\hid#vid_3151&pid_6010&mi_01&col04#9&1#{4d1e55b2}";
    const std::wstring bluetooth = L"\\\\?\\hid#{00001124-0000-1000-8000-00805f9b34fb}_dev&mi_03#8&1#{4d1e55b2}";
    const std::wstring vendorZero = L"\\\\?\\hid#something&mi_03#8&2#{4d1e55b2}";
    const std::wstring other = L"\\\\?\\hid#vid_046d&pid_c52b&mi_01&col04#1&1#{4d1e55b2}";
    const Case cases[] = {
        {"keyboard control collection", kb, true, 0xFF1C, 0x92, 0},
        {"upper-case keys, consumer collection", kbUpper, true, 0x0C, 0x01, 1},
        {"mouse pad control collection", pad, true, 0xFF1C, 0x92, 8},
        {"same path, usage of no row", kb, true, 0xFF00, 0x01, -1},
        {"Bluetooth-style path", bluetooth, false, 0x0C, 0x01, -1},
        {"vendor 0 with &mi_03 (the headset's row)", vendorZero, false, 0x0C, 0x01, -1},
        {"another maker's device", other, false, 0xFF1C, 0x92, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window_->Slots().assign(std::begin(SupportedDeviceTable), std::end(SupportedDeviceTable));
        HidDeviceSlot candidate = CandidateFrom(c.path);
        EXPECT_EQ(window_->IsSupportedInterface(candidate), c.matched);
        candidate.usagePage = c.usagePage;
        candidate.usage = c.usage;
        int slot = -1;
        EXPECT_EQ(window_->ClaimSlot(candidate, slot), c.claimedSlot >= 0);
        if (c.claimedSlot >= 0) {
            EXPECT_EQ(slot, c.claimedSlot);
            EXPECT_EQ(window_->Slots()[slot].connected, 1);
            EXPECT_EQ(window_->Slots()[slot].devicePath, c.path);
            // Claimed: no free slot with those ids is left.
            EXPECT_FALSE(window_->IsSupportedInterface(candidate));
        }
    }
}

TEST_F(DeviceScanTest, TheHeadsetRowNeitherKeepsTheScanGoingNorIsEverClaimed) {
    Open();
    auto& slots = window_->Slots();
    for (size_t i = 0; i < slots.size(); ++i) {
        if (slots[i].vendorId == 0) continue;
        slots[i].connected = 1;
        slots[i].devicePath = L"bound";
    }
    EXPECT_TRUE(window_->AllSlotsConnected());
    slots[3].connected = 0;
    slots[3].devicePath.clear();
    EXPECT_FALSE(window_->AllSlotsConnected());
}

TEST_F(DeviceScanTest, TableLookups) {
    Open();
    EXPECT_EQ(window_->FindSupportedDeviceRow(kSupportedVendorId, kPidKeyboardReceiver, 9, 255), 3);
    EXPECT_EQ(window_->FindSupportedDeviceRow(kSupportedVendorId, kPidMouseCable, 2, 0), 4);
    EXPECT_EQ(window_->FindSupportedDeviceRow(kSupportedVendorId, kPidMouseCable, 6, 0), -1);
    EXPECT_EQ(window_->FindDeviceOptionRow(kSupportedVendorId, kPidKeyboardCable, 1, 0), 1);
    EXPECT_EQ(window_->FindDeviceOptionRow(kSupportedVendorId, kPidMouseReceiver, 6, 0), -1);
    EXPECT_EQ(window_->FindDeviceOptionRow(0, 0, 7, 0), 3);
}

TEST_F(DeviceScanTest, OnePassBindsBothCollectionsOfKeyboardAndMouseAndShowsBoth) {
    sim_.Plug(ProductKind::KeyboardCable);
    sim_.Plug(ProductKind::MouseCable);
    Open();
    ScanPass();
    std::vector<std::string> bound = BoundAndLost(*window_);
    std::sort(bound.begin(), bound.end());
    EXPECT_EQ(bound, (std::vector<std::string>{"bound 0", "bound 1", "bound 4", "bound 5"}));
    EXPECT_EQ(ShownEntries(), (std::vector<int>{kMouseEntry, kKeyboardEntry}));
    EXPECT_NE(CurrentEntry(), -1);
    EXPECT_TRUE(PageOf(kKeyboardEntry)->CommandChannel().IsOpen());
    EXPECT_TRUE(PageOf(kKeyboardEntry)->EventChannel().IsOpen());
    EXPECT_TRUE(PageOf(kMouseEntry)->CommandChannel().IsOpen());
    // A second pass finds everything bound and present.
    window_->calls.clear();
    ScanPass();
    EXPECT_TRUE(BoundAndLost(*window_).empty());
}

TEST_F(DeviceScanTest, ASecondIdenticalKeyboardWaitsUntilTheFirstGoes) {
    Emulator& first = sim_.Plug(ProductKind::KeyboardCable);
    Emulator& second = sim_.Plug(ProductKind::KeyboardCable);
    Open();
    ScanPass();
    EXPECT_EQ(window_->Slots()[0].devicePath, first.InterfacePath(4));
    window_->calls.clear();
    ScanPass();
    EXPECT_TRUE(BoundAndLost(*window_).empty());

    first.Unplug();
    window_->calls.clear();
    ScanPass();
    std::vector<std::string> order = BoundAndLost(*window_);
    ASSERT_EQ(order.size(), 4u);
    std::sort(order.begin() + 2, order.end());
    EXPECT_EQ(order, (std::vector<std::string>{"lost 0", "lost 1", "bound 0", "bound 1"}));
    EXPECT_EQ(window_->Slots()[0].devicePath, second.InterfacePath(4));
    EXPECT_TRUE(Entry(kKeyboardEntry)->IsShown());
    EXPECT_TRUE(PageOf(kKeyboardEntry)->CommandChannel().IsOpen());
}

TEST_F(DeviceScanTest, AnUnplugIsReportedBeforeAnythingElseOfItsPass) {
    Emulator& keyboard = sim_.Plug(ProductKind::KeyboardCable);
    Emulator& mouse = sim_.Create(ProductKind::MouseCable);
    Open();
    ScanPass();
    keyboard.Unplug();
    mouse.Plug(sim_.Bus());
    window_->calls.clear();
    ScanPass();
    const std::vector<std::string> order = BoundAndLost(*window_);
    ASSERT_EQ(order.size(), 4u);
    EXPECT_EQ(order[0], "lost 0");
    EXPECT_EQ(order[1], "lost 1");
    EXPECT_EQ(ShownEntries(), std::vector<int>{kMouseEntry});
    EXPECT_EQ(CurrentEntry(), kMouseEntry);
    EXPECT_FALSE(PageOf(kKeyboardEntry)->CommandChannel().IsOpen());
}

TEST_F(DeviceScanTest, ACollectionWhoseUsagesMatchNoRowIsOpenedButNotClaimed) {
    // A keyboard whose command collection carries another vendor usage page.
    tavrik::hid::SimDeviceDescription description = tavrik::devsim::MakeDeviceDescription(ProductKind::KeyboardCable);
    bool patched = false;
    for (auto& iface : description.interfaces) {
        auto& d = iface.descriptor;
        for (size_t i = 0; i + 2 < d.size(); ++i) {
            if (d[i] == 0x06 && d[i + 1] == 0x1C && d[i + 2] == 0xFF) {
                d[i + 1] = 0x1D;
                patched = true;
            }
        }
    }
    ASSERT_TRUE(patched);
    sim_.Bus().Plug(description, [](int, win::HIDP_REPORT_TYPE, const std::uint8_t*, std::size_t) {});
    Open();
    ScanPass();
    ScanPass();
    // Only the consumer collection is bound; the page stays closed and hidden.
    EXPECT_EQ(BoundAndLost(*window_), std::vector<std::string>{"bound 1"});
    EXPECT_EQ(window_->Slots()[0].connected, 0);
    EXPECT_FALSE(PageOf(kKeyboardEntry)->CommandChannel().IsOpen());
    EXPECT_FALSE(Entry(kKeyboardEntry)->IsShown());
}

TEST_F(DeviceScanTest, AFailingEnumerationIsRetriedAtTheNextPass) {
    sim_.Plug(ProductKind::MouseCable);
    Open();
    sim_.Bus().SetListFailure(true);
    ScanPass();
    ScanPass();
    EXPECT_TRUE(BoundAndLost(*window_).empty());
    sim_.Bus().SetListFailure(false);
    ScanPass();
    EXPECT_EQ(ShownEntries(), std::vector<int>{kMouseEntry});
}

TEST_F(DeviceScanTest, ACommandChannelThatCannotBeOpenedFreesTheSlotAndIsBoundAtALaterPass) {
    Emulator& mouse = sim_.Plug(ProductKind::MouseCable);
    Open();
    // Another program holds the command collection without sharing writes:
    // the scan may look at it, the page cannot open it for writing.
    win::HANDLE holder = win::CreateFileW(mouse.InterfacePath(4).c_str(), win::GENERIC_READ | win::GENERIC_WRITE,
                                          win::FILE_SHARE_READ, nullptr, win::OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, win::INVALID_HANDLE_VALUE);
    ScanPass();
    EXPECT_EQ(window_->Slots()[4].connected, 0);
    EXPECT_TRUE(window_->Slots()[4].devicePath.empty());
    EXPECT_FALSE(Entry(kMouseEntry)->IsShown());
    EXPECT_EQ(Entry(kMouseEntry)->TimerPeriod(TIMER_OPTION_CONNECT), 0u);
    EXPECT_FALSE(PageOf(kMouseEntry)->CommandChannel().IsOpen());

    win::CloseHandle(holder);
    window_->calls.clear();
    ScanPass();
    EXPECT_EQ(BoundAndLost(*window_), std::vector<std::string>{"bound 4"});
    EXPECT_TRUE(Entry(kMouseEntry)->IsShown());
    EXPECT_EQ(Entry(kMouseEntry)->TimerPeriod(TIMER_OPTION_CONNECT), CDeviceOptionUI::kConnectDelayMs);
}

}  // namespace
}  // namespace discoverytest
