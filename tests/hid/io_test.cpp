#include "platform/os/clock.h"
#include "platform/os/event.h"
#include "platform/os/thread.h"
#include "tests/hid/hid_test_util.h"
#include "tools/devsim/sim_fixture.h"
#include "tests/support/wait_bound.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cwctype>
#include <thread>

namespace tavrik::hid {
namespace {

using devsim::ProductKind;
using test::Bytes;
using test::Handle;
using test::Open;
using win::HidIoResult;

constexpr win::DWORD kRW = win::GENERIC_READ | win::GENERIC_WRITE;
constexpr win::DWORD kShareAll = win::FILE_SHARE_READ | win::FILE_SHARE_WRITE;

std::uint16_t ReadEvent(win::HANDLE h, HidIoResult* result, win::DWORD timeoutMs = 200) {
    std::uint8_t buffer[3] = {};
    win::DWORD n = 0;
    *result = win::ReadReport(h, buffer, sizeof buffer, &n, timeoutMs, nullptr);
    return static_cast<std::uint16_t>(buffer[1] | (buffer[2] << 8));
}

class HidIo : public ::testing::Test {
protected:
    devsim::SimFixture sim;
    devsim::Emulator& kb = sim.Plug(ProductKind::KeyboardCable);
};

TEST_F(HidIo, AttributesAndCapabilitiesOfAnOpenHandle) {
    Handle h(Open(kb.InterfacePath(4)));
    ASSERT_TRUE(h.Valid());
    win::HIDD_ATTRIBUTES attributes;
    ASSERT_TRUE(win::HidD_GetAttributes(h, &attributes));
    EXPECT_EQ(attributes.VendorID, kb.Product().vendorId);
    EXPECT_EQ(attributes.ProductID, kb.Product().productId);
    EXPECT_EQ(attributes.VersionNumber, 0x0104);
    win::PHIDP_PREPARSED_DATA p = nullptr;
    ASSERT_TRUE(win::HidD_GetPreparsedData(h, &p));
    h.Reset();  // preparsed data outlives its handle until freed
    win::HIDP_CAPS caps;
    ASSERT_EQ(win::HidP_GetCaps(p, &caps), win::HIDP_STATUS_SUCCESS);
    EXPECT_EQ(caps.UsagePage, 0xFF1C);
    EXPECT_EQ(caps.Usage, 0x92);
    EXPECT_EQ(caps.InputReportByteLength, 64);
    EXPECT_EQ(caps.OutputReportByteLength, 64);
    EXPECT_TRUE(win::HidD_FreePreparsedData(p));
    EXPECT_FALSE(win::HidD_GetAttributes(h, &attributes));
}

TEST_F(HidIo, EveryHandleGetsItsOwnCopyOfReportsThatArriveAfterItOpened) {
    Handle first(Open(kb.InterfacePath(3)));
    ASSERT_TRUE(first.Valid());
    kb.SendEvent(0x1001);
    Handle second(Open(kb.InterfacePath(3), win::GENERIC_READ));
    ASSERT_TRUE(second.Valid());
    Handle command(Open(kb.InterfacePath(4)));
    kb.SendEvent(0x1002);

    HidIoResult r;
    EXPECT_EQ(ReadEvent(first, &r), 0x1001);
    EXPECT_EQ(r, HidIoResult::Ok);
    EXPECT_EQ(ReadEvent(first, &r), 0x1002);
    EXPECT_EQ(ReadEvent(second, &r), 0x1002);
    EXPECT_EQ(r, HidIoResult::Ok);
    ReadEvent(second, &r, 0);
    EXPECT_EQ(r, HidIoResult::TimedOut);
    // Reports are routed by report id: the command collection saw none.
    Bytes buffer(64);
    win::DWORD n = 5;
    EXPECT_EQ(win::ReadReport(command, buffer.data(), 64, &n, 0, nullptr), HidIoResult::TimedOut);
    EXPECT_EQ(n, 0u);
}

TEST_F(HidIo, QueueKeepsTheNewest32AndFlushEmptiesIt) {
    Handle h(Open(kb.InterfacePath(3)));
    for (int i = 1; i <= 40; ++i) kb.SendEvent(static_cast<std::uint16_t>(0x0500 + i));
    HidIoResult r;
    for (int i = 9; i <= 40; ++i) {
        EXPECT_EQ(ReadEvent(h, &r, 0), 0x0500 + i);
        EXPECT_EQ(r, HidIoResult::Ok);
    }
    ReadEvent(h, &r, 0);
    EXPECT_EQ(r, HidIoResult::TimedOut);

    kb.SendEvent(0x0401);
    kb.SendEvent(0x0402);
    EXPECT_TRUE(win::HidD_FlushQueue(h));
    ReadEvent(h, &r, 0);
    EXPECT_EQ(r, HidIoResult::TimedOut);
}

TEST_F(HidIo, ReadTimesOutAndTheNextReadWorks) {
    Handle h(Open(kb.InterfacePath(3)));
    const auto start = std::chrono::steady_clock::now();
    HidIoResult r;
    ReadEvent(h, &r, 30);
    EXPECT_EQ(r, HidIoResult::TimedOut);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(29));
    kb.SendEvent(0x1003);
    EXPECT_EQ(ReadEvent(h, &r, 30), 0x1003);
    EXPECT_EQ(r, HidIoResult::Ok);
}

TEST_F(HidIo, CancelEventEndsWaitsAndAnUnconsumedSignalEndsTheNextCall) {
    Handle h(Open(kb.InterfacePath(4)));
    win::HANDLE cancel = win::CreateEventW(nullptr, win::FALSE, win::FALSE, nullptr);
    Bytes buffer(64);
    win::DWORD n = 0;

    // A signal given before the call ends the next read at once, even with a report waiting.
    kb.SendInput(1, Bytes(64, 0x04));
    win::SetEvent(cancel);
    EXPECT_EQ(win::ReadReport(h, buffer.data(), 64, &n, win::INFINITE, cancel), HidIoResult::Cancelled);
    EXPECT_EQ(win::ReadReport(h, buffer.data(), 64, &n, 100, cancel), HidIoResult::Ok);  // consumed: the report is read

    // The same for a write: nothing reaches the device.
    win::SetEvent(cancel);
    auto request = devsim::BuildCommandReport(0x01, 0, 0);
    EXPECT_EQ(win::WriteReport(h, request.data(), 64, &n, 1000, cancel), HidIoResult::Cancelled);
    EXPECT_TRUE(kb.Record().empty());

    // A signal from another thread ends a read that waits without time-out.
    std::thread signaller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        win::SetEvent(cancel);
    });
    EXPECT_EQ(win::ReadReport(h, buffer.data(), 64, &n, win::INFINITE, cancel), HidIoResult::Cancelled);
    signaller.join();
    EXPECT_EQ(win::WaitForSingleObject(cancel, 0), static_cast<win::DWORD>(win::WAIT_TIMEOUT));

    // CancelIo from another thread ends it too.
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        win::CancelIo(h);
    });
    EXPECT_EQ(win::ReadReport(h, buffer.data(), 64, &n, win::INFINITE, nullptr), HidIoResult::Cancelled);
    canceller.join();
    win::CloseHandle(cancel);
}

struct ListenerState {
    win::HANDLE device;
    HidIoResult result = HidIoResult::Ok;
};

win::DWORD ListenerThread(void* parameter) {
    auto* state = static_cast<ListenerState*>(parameter);
    std::uint8_t buffer[3];
    win::DWORD n = 0;
    state->result = win::ReadReport(state->device, buffer, sizeof buffer, &n, win::INFINITE, nullptr);
    return 0;
}

TEST_F(HidIo, StoppingAWorkerEndsItsReadWithoutTimeOut) {
    Handle h(Open(kb.InterfacePath(3)));
    ListenerState state{h};
    win::HANDLE stop = win::CreateEventW(nullptr, win::TRUE, win::FALSE, nullptr);
    win::HANDLE thread = win::CreateThread(nullptr, 0, ListenerThread, &state, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(win::StopWorker(thread, stop, win::kListenerStopBoundMs), win::StopResult::Ended);
    EXPECT_EQ(state.result, HidIoResult::Cancelled);
    win::CloseHandle(thread);
    win::CloseHandle(stop);
}

TEST_F(HidIo, CloseFromAnotherThreadWakesAWaitingRead) {
    win::HANDLE h = Open(kb.InterfacePath(3));
    ASSERT_NE(h, win::INVALID_HANDLE_VALUE);
    std::thread closer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        win::CloseHandle(h);
    });
    HidIoResult r;
    const auto start = std::chrono::steady_clock::now();
    ReadEvent(h, &r, win::INFINITE);
    EXPECT_EQ(r, HidIoResult::Failed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, tavrik::test::WaitBound(std::chrono::seconds(5)));
    closer.join();
    ReadEvent(h, &r, 0);
    EXPECT_EQ(r, HidIoResult::Failed);  // a stale handle fails, never crashes
}

TEST_F(HidIo, UnplugDuringABlockingReadFailsItAndEverythingAfter) {
    Handle events(Open(kb.InterfacePath(3)));
    Handle command(Open(kb.InterfacePath(4)));
    const std::wstring path = kb.InterfacePath(4);
    std::thread unplugger([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        kb.Unplug();
    });
    HidIoResult r;
    ReadEvent(events, &r, win::INFINITE);
    EXPECT_EQ(r, HidIoResult::Failed);
    unplugger.join();
    Bytes buffer(64);
    win::DWORD n = 0;
    auto request = devsim::BuildCommandReport(0x01, 0, 0);
    EXPECT_EQ(win::WriteReport(command, request.data(), 64, &n, 1000, nullptr), HidIoResult::Failed);
    EXPECT_EQ(win::ReadReport(command, buffer.data(), 64, &n, 1000, nullptr), HidIoResult::Failed);
    EXPECT_EQ(Open(path, 0), win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
}

TEST_F(HidIo, ReportLengthsAreChecked) {
    Handle h(Open(kb.InterfacePath(4)));
    auto request = devsim::BuildCommandReport(0x01, 0, 0);
    win::DWORD n = 0;
    EXPECT_EQ(win::WriteReport(h, request.data(), 63, &n, 100, nullptr), HidIoResult::Failed);
    request.push_back(0);
    EXPECT_EQ(win::WriteReport(h, request.data(), 65, &n, 100, nullptr), HidIoResult::Failed);
    EXPECT_TRUE(kb.Record().empty());
    Bytes reply(64);
    EXPECT_EQ(win::WriteReport(h, request.data(), 64, &n, 100, nullptr), HidIoResult::Ok);
    EXPECT_EQ(n, 64u);
    EXPECT_EQ(win::ReadReport(h, reply.data(), 63, &n, 100, nullptr), HidIoResult::Failed);  // buffer too small
    EXPECT_EQ(win::ReadReport(h, reply.data(), 64, &n, 100, nullptr), HidIoResult::Ok);
    EXPECT_EQ(n, 64u);
    EXPECT_EQ(reply[3], 0x01);
    // A report id the collection does not own is refused.
    Bytes wrongId = request;
    wrongId[0] = 3;
    EXPECT_EQ(win::WriteReport(h, wrongId.data(), 64, &n, 100, nullptr), HidIoResult::Failed);
    // A handle without write access cannot write.
    Handle reader(Open(kb.InterfacePath(4), win::GENERIC_READ));
    EXPECT_EQ(win::WriteReport(reader, request.data(), 64, &n, 100, nullptr), HidIoResult::Failed);
}

TEST_F(HidIo, SharingRules) {
    const std::wstring path = kb.InterfacePath(4);
    Handle channel(Open(path, kRW, kShareAll));
    ASSERT_TRUE(channel.Valid());
    Handle probe(Open(path, win::GENERIC_READ, kShareAll));
    EXPECT_TRUE(probe.Valid());  // the scan's read-only probe beside an open channel
    Handle presence(Open(path, 0, kShareAll));
    EXPECT_TRUE(presence.Valid());
    // An exclusive open (others may only read) fails while another has write access.
    Handle exclusive(Open(path, kRW, win::FILE_SHARE_READ));
    EXPECT_FALSE(exclusive.Valid());
    EXPECT_EQ(win::GetLastError(), win::ERROR_SHARING_VIOLATION);
    channel.Reset();
    probe.Reset();

    Handle only(Open(path, kRW, win::FILE_SHARE_READ));
    ASSERT_TRUE(only.Valid());
    Handle second(Open(path, kRW, kShareAll));
    EXPECT_FALSE(second.Valid());
    Handle reader(Open(path, win::GENERIC_READ, kShareAll));
    EXPECT_TRUE(reader.Valid());
    Handle query(Open(path, 0, 0));
    EXPECT_TRUE(query.Valid());
    // Other collections of the same interface are separate.
    Handle events(Open(kb.InterfacePath(3), kRW, win::FILE_SHARE_READ));
    EXPECT_TRUE(events.Valid());

    Handle missing(Open(L"\\\\?\\hid#vid_0000&pid_0000#x#{4d1e55b2-f16f-11cf-88cb-001111000030}", 0));
    EXPECT_FALSE(missing.Valid());
    // Paths compare without regard to case.
    std::wstring upper = path;
    for (auto& c : upper) c = static_cast<wchar_t>(std::towupper(c));
    Handle upperCase(Open(upper, 0));
    EXPECT_TRUE(upperCase.Valid());
}

TEST_F(HidIo, SetOutputReportSendsOneReport) {
    Handle h(Open(kb.InterfacePath(4)));
    auto request = devsim::BuildCommandReport(0x1C, 0, 0);
    EXPECT_TRUE(win::HidD_SetOutputReport(h, request.data(), 64));
    ASSERT_EQ(kb.Record().size(), 1u);
    EXPECT_EQ(kb.Record()[0].bytes, request);
    EXPECT_FALSE(win::HidD_SetOutputReport(h, request.data(), 17));
}

}  // namespace
}  // namespace tavrik::hid
