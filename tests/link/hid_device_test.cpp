// CHidDevice against the in-process HID bus: enumeration, open, report I/O
// with time-out and cancel, decoding of input reports, and Close racing a
// listener.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "link/hid_device.h"
#include "platform/os/event.h"
#include "tests/link/sim_channel.h"
#include "tests/support/wait_bound.h"

namespace {

using namespace std::chrono_literals;
using tavrik::devsim::Emulator;
using tavrik::devsim::ProductKind;
using tavrik::devsim::SimFixture;

std::vector<std::wstring> AllPaths(CHidDevice& probe) {
    std::vector<std::wstring> paths;
    for (const wchar_t* p = probe.NextPath(); p != nullptr; p = probe.NextPath()) paths.push_back(p);
    return paths;
}

// A game pad with report id 1: buttons 1..4 and 5..7 as two capabilities of
// the button page, one pad bit, then X, Y, Z as one value range.
const std::vector<uint8_t> kPadDescriptor = {
    0x05, 0x01, 0x09, 0x05, 0xA1, 0x01,  // Generic Desktop, Game Pad, Application
    0x85, 0x01,                          // Report ID 1
    0x05, 0x09, 0x19, 0x01, 0x29, 0x04,  // Buttons 1..4
    0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x04, 0x81, 0x02, 0x19,
    0x05, 0x29, 0x07, 0x95, 0x03, 0x81, 0x02,  // Buttons 5..7
    0x95, 0x01, 0x81, 0x03,                    // pad bit
    0x05, 0x01, 0x19, 0x30, 0x29, 0x32,        // X..Z
    0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x03, 0x81, 0x02, 0xC0};

class PadDevice {
public:
    explicit PadDevice(tavrik::hid::SimBus& bus) : bus_(bus) {
        tavrik::hid::SimDeviceDescription description;
        description.vendorId = 0x1234;
        description.productId = 0x0042;
        description.interfaces.push_back({0, kPadDescriptor});
        id_ = bus_.Plug(description, [](int, win::HIDP_REPORT_TYPE, const uint8_t*, size_t) {});
    }
    ~PadDevice() { bus_.Unplug(id_); }
    bool Send(const std::vector<uint8_t>& report) { return bus_.SendInput(id_, 0, report.data(), report.size()); }
    static std::wstring FindPath() {
        CHidDevice probe;
        if (!probe.BeginEnumeration()) return {};
        for (const auto& p : AllPaths(probe))
            if (p.find(L"vid_1234&pid_0042") != std::wstring::npos) return p;
        return {};
    }

private:
    tavrik::hid::SimBus& bus_;
    uint32_t id_ = 0;
};

TEST(HidEnumeration, ListsEveryInterfaceAndEndsWithNull) {
    SimFixture sim;
    CHidDevice probe;
    ASSERT_TRUE(probe.BeginEnumeration());
    EXPECT_EQ(probe.PathCount(), 0u);
    EXPECT_EQ(probe.NextPath(), nullptr);

    // Several composite devices: well past the first eight entries.
    Emulator& keyboard = sim.Plug(ProductKind::KeyboardCable);
    Emulator& mouse = sim.Plug(ProductKind::MouseCable);
    Emulator& pad = sim.Plug(ProductKind::MousePad);
    ASSERT_TRUE(probe.BeginEnumeration());
    const auto paths = AllPaths(probe);
    EXPECT_GT(paths.size(), 8u);
    EXPECT_EQ(paths.size(), probe.PathCount());
    EXPECT_EQ(std::set<std::wstring>(paths.begin(), paths.end()).size(), paths.size());
    for (const Emulator* e : {&keyboard, &mouse, &pad}) {
        const std::wstring command = e->InterfacePath();
        EXPECT_EQ(std::count(paths.begin(), paths.end(), command), 1);
    }
    EXPECT_EQ(probe.NextPath(), nullptr);

    // A second pass restarts the cursor; freeing the list ends it.
    ASSERT_TRUE(probe.BeginEnumeration());
    EXPECT_EQ(AllPaths(probe), paths);
    ASSERT_TRUE(probe.BeginEnumeration());
    probe.FreePathList();
    EXPECT_EQ(probe.NextPath(), nullptr);

    sim.Bus().SetListFailure(true);
    EXPECT_FALSE(probe.BeginEnumeration());
    EXPECT_EQ(probe.NextPath(), nullptr);
}

TEST(HidOpen, ReadsIdsAndCapabilitiesAndSharesWithAProbe) {
    SimFixture sim;
    Emulator& keyboard = sim.Plug(ProductKind::KeyboardCable);
    const std::wstring path = keyboard.InterfacePath();

    CHidDevice channel;
    ASSERT_TRUE(channel.Open(path.c_str(), 1, 1, 1, 0));
    EXPECT_TRUE(channel.IsOpen());
    EXPECT_EQ(channel.m_devicePath, path);
    EXPECT_EQ(channel.m_attributes.VendorID, keyboard.Product().vendorId);
    EXPECT_EQ(channel.m_attributes.ProductID, keyboard.Product().productId);
    EXPECT_EQ(channel.m_caps.UsagePage, 0xFF1C);
    EXPECT_EQ(channel.m_caps.Usage, 0x92);
    EXPECT_EQ(channel.m_caps.InputReportByteLength, 64);
    EXPECT_EQ(channel.m_inputReport.size(), 64u);

    // The scan's read-only probe while the channel is open for reading and writing.
    CHidDevice probe;
    ASSERT_TRUE(probe.Open(path.c_str(), 1, 0, 1, 0));
    probe.Close();
    EXPECT_FALSE(probe.IsOpen());
    EXPECT_EQ(probe.m_preparsed, nullptr);
    EXPECT_TRUE(probe.m_inputItems.empty());

    // Reopen keeps the path and flags.
    ASSERT_TRUE(channel.Reopen());
    EXPECT_EQ(channel.m_caps.UsagePage, 0xFF1C);

    CHidDevice missing;
    EXPECT_FALSE(missing.Open(L"\\\\?\\hid#vid_0000&pid_0000#0#{4d1e55b2-f16f-11cf-88cb-001111000030}", 1, 1, 1, 0));
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(missing.m_handle, nullptr);
    EXPECT_FALSE(missing.Open(nullptr, 1, 1, 1, 0));

    // I/O on a closed handle fails at once.
    uint8_t buffer[64] = {};
    win::DWORD n = 7;
    EXPECT_FALSE(missing.Read(buffer, sizeof buffer, &n, 1000));
    EXPECT_EQ(n, 0u);
    EXPECT_FALSE(missing.Write(buffer, sizeof buffer, &n, 1000));
}

// Access and sharing of a second open while the channel holds the interface:
// without the exclusive flag both reading and writing are shared, with it
// only reading.
TEST(HidOpen, ExclusiveSharesOnlyReading) {
    struct Flags {
        win::BOOL read, write, exclusive;
    };
    const struct {
        const char* name;
        Flags first;
        Flags second;
        bool opens;
    } cases[] = {
        {"shared channel, read-only probe", {1, 1, 0}, {1, 0, 0}, true},
        {"shared channel, second channel", {1, 1, 0}, {1, 1, 0}, true},
        {"exclusive channel, read-only probe", {1, 1, 1}, {1, 0, 0}, true},
        {"exclusive channel, second channel", {1, 1, 1}, {1, 1, 0}, false},
        {"shared channel, exclusive second", {1, 1, 0}, {1, 0, 1}, false},
        {"read-only first, exclusive second", {1, 0, 0}, {1, 1, 1}, true},
    };
    SimFixture sim;
    Emulator& keyboard = sim.Plug(ProductKind::KeyboardCable);
    const std::wstring path = keyboard.InterfacePath();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CHidDevice first;
        ASSERT_TRUE(first.Open(path.c_str(), c.first.read, c.first.write, 1, c.first.exclusive));
        CHidDevice second;
        EXPECT_EQ(second.Open(path.c_str(), c.second.read, c.second.write, 1, c.second.exclusive), c.opens);
        EXPECT_EQ(second.IsOpen(), c.opens);
        EXPECT_EQ(second.m_exclusive, c.second.exclusive);
    }
}

TEST(HidIo, ReadTimesOutThenWorksAndCancelEndsAWait) {
    SimFixture sim;
    Emulator& keyboard = sim.Plug(ProductKind::KeyboardCable);
    CHidDevice events;
    ASSERT_TRUE(events.Open(keyboard.InterfacePath(tavrik::devsim::kConsumerCollection).c_str(), 1, 1, 1, 0));
    win::DWORD n = 99;
    EXPECT_FALSE(events.ReadInputReport(&n, 30));
    EXPECT_EQ(n, 0u);

    ASSERT_TRUE(keyboard.SendEvent(0x00B5));
    ASSERT_TRUE(events.ReadInputReport(&n, tavrik::test::WaitBoundMs(1000)));
    EXPECT_GT(n, 0u);
    uint16_t code = 0;
    ASSERT_TRUE(events.UnpackInputReport(n, &code));
    EXPECT_EQ(code, 0x00B5);

    // A cancel signal consumed by nobody ends the next wait at once ...
    win::SetEvent(events.CancelEvent());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(events.ReadInputReport(&n, tavrik::test::WaitBoundMs(5000)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, tavrik::test::WaitBound(2s));
    // ... but not a wait after a reopen.
    win::SetEvent(events.CancelEvent());
    ASSERT_TRUE(events.Reopen());
    ASSERT_TRUE(keyboard.SendEvent(0x00B6));
    ASSERT_TRUE(events.ReadInputReport(&n, tavrik::test::WaitBoundMs(1000)));
    ASSERT_TRUE(events.UnpackInputReport(n, &code));
    EXPECT_EQ(code, 0x00B6);
}

TEST(HidIo, CloseWhileAListenerWaitsEndsTheReadWithoutFreeingUnderIt) {
    SimFixture sim;
    Emulator& keyboard = sim.Plug(ProductKind::KeyboardCable);
    const std::wstring path = keyboard.InterfacePath(tavrik::devsim::kConsumerCollection);
    for (int round = 0; round < 20; ++round) {
        CHidDevice events;
        ASSERT_TRUE(events.Open(path.c_str(), 1, 1, 1, 0));
        std::atomic<bool> stop{false};
        std::atomic<int> decoded{0};
        // The listener of an event channel: read with no time-out, decode, repeat.
        std::thread listener([&] {
            for (;;) {
                win::DWORD n = 0;
                if (!events.Read(events.m_inputReport.data(), 64, &n, win::INFINITE)) break;
                uint16_t code = 0;
                if (events.UnpackInputReport(n, &code) && code != 0) ++decoded;
            }
        });
        // Odd rounds close while the listener is busy with a stream of
        // events, even rounds while it waits on a quiet channel.
        std::thread sender([&] {
            while (round % 2 == 1 && !stop) keyboard.SendEvent(static_cast<uint16_t>(0x100 + round));
        });
        if (round % 2 == 1) {
            while (decoded < 3) std::this_thread::yield();
        } else {
            std::this_thread::sleep_for(2ms);
        }
        const auto start = std::chrono::steady_clock::now();
        events.Close();
        EXPECT_LT(std::chrono::steady_clock::now() - start, tavrik::test::WaitBound(2s));
        listener.join();
        stop = true;
        sender.join();
        EXPECT_FALSE(events.IsOpen());
        EXPECT_TRUE(events.m_inputItems.empty());
    }
}

// A vendor collection whose input report carries 1000 values: decoding one
// report takes long enough for a Close to land in the middle of it.
std::vector<uint8_t> WideValueDescriptor() {
    return {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,  // Vendor page, usage 1, Application
            0x85, 0x01,                                // Report ID 1
            0x19, 0x01, 0x2A, 0xE8, 0x03,              // Usages 1..1000
            0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x96, 0xE8, 0x03, 0x81, 0x02, 0xC0};
}

TEST(HidIo, CloseWaitsForADecodeInProgress) {
    SimFixture sim;
    tavrik::hid::SimDeviceDescription description;
    description.vendorId = 0x1234;
    description.productId = 0x0043;
    description.interfaces.push_back({0, WideValueDescriptor()});
    const uint32_t id = sim.Bus().Plug(description, [](int, win::HIDP_REPORT_TYPE, const uint8_t*, size_t) {});
    std::wstring path;
    {
        CHidDevice probe;
        ASSERT_TRUE(probe.BeginEnumeration());
        for (const auto& p : AllPaths(probe))
            if (p.find(L"pid_0043") != std::wstring::npos) path = p;
    }
    ASSERT_FALSE(path.empty());
    std::vector<uint8_t> report(1001, 0x11);
    report[0] = 0x01;
    for (int round = 0; round < 10; ++round) {
        CHidDevice device;
        ASSERT_TRUE(device.Open(path.c_str(), 1, 0, 1, 0));
        ASSERT_EQ(device.InputItemCount(), 1000u);
        for (int i = 0; i < 4; ++i) ASSERT_TRUE(sim.Bus().SendInput(id, 0, report.data(), report.size()));
        std::atomic<int> decodes{0};
        std::thread listener([&] {
            win::DWORD n = 0;
            while (device.ReadInputReport(&n, 50)) {
                // Decode the same report over and over, as a slow listener would.
                for (int k = 0; k < 50 && device.UnpackInputReport(n, nullptr); ++k) ++decodes;
            }
        });
        while (decodes < 2) std::this_thread::yield();
        device.Close();
        listener.join();
        EXPECT_FALSE(device.IsOpen());
    }
    sim.Bus().Unplug(id);
}

TEST(HidUnpack, KeepsOnlyUsagesOfEachItemsRangeAndDecodesValueRanges) {
    SimFixture sim;
    PadDevice pad(sim.Bus());
    const std::wstring path = PadDevice::FindPath();
    ASSERT_FALSE(path.empty());
    CHidDevice device;
    ASSERT_TRUE(device.Open(path.c_str(), 1, 0, 1, 0));

    // Two button items, then one value item per usage of the X..Z range.
    ASSERT_EQ(device.InputItemCount(), 5u);
    const auto& items = device.m_inputItems;
    EXPECT_EQ(items[0].isButton, 1);
    EXPECT_EQ(items[0].usageMin, 1u);
    EXPECT_EQ(items[0].usageMax, 4u);
    EXPECT_EQ(items[1].usageMin, 5u);
    EXPECT_EQ(items[1].usageMax, 7u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(items[2 + i].isButton, 0);
        EXPECT_EQ(items[2 + i].usage, 0x30 + i);
        EXPECT_EQ(items[2 + i].reportId, 1u);
    }

    // Buttons 3, 5 and 7 on; X = 5, Y = -2, Z = 127.
    ASSERT_TRUE(pad.Send({0x01, 0x54, 0x05, 0xFE, 0x7F}));
    win::DWORD n = 0;
    ASSERT_TRUE(device.ReadInputReport(&n, tavrik::test::WaitBoundMs(1000)));
    ASSERT_TRUE(device.UnpackInputReport(n, nullptr));
    ASSERT_GE(items[0].usages.size(), 2u);
    EXPECT_EQ(items[0].usages[0], 3);
    EXPECT_EQ(items[0].usages[1], 0);
    ASSERT_GE(items[1].usages.size(), 3u);
    EXPECT_EQ(items[1].usages[0], 5);
    EXPECT_EQ(items[1].usages[1], 7);
    EXPECT_EQ(items[1].usages[2], 0);
    EXPECT_EQ(items[2].rawValue, 5u);
    EXPECT_EQ(static_cast<int8_t>(items[3].rawValue & 0xFF), -2);
    EXPECT_EQ(items[4].rawValue, 127u);
    for (const auto& item : items) EXPECT_EQ(item.dataSet, 1);

    // A report of another id decodes nothing; the old usages are not kept to
    // be taken again as a new event.
    ASSERT_TRUE(UnpackReport(std::vector<uint8_t>{0x02, 0xFF, 0, 0, 0}.data(), 5, win::HidP_Input,
                             device.m_inputItems.data(), device.InputItemCount(), device.m_preparsed));
    for (const auto& item : items) {
        EXPECT_EQ(item.dataSet, 0);
        for (auto u : item.usages) EXPECT_EQ(u, 0);
    }

    // Nothing to decode is not a failure.
    EXPECT_TRUE(UnpackReport(nullptr, 0, win::HidP_Input, nullptr, 0, nullptr));
}

}  // namespace
