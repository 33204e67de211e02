#include "tests/hid/hid_test_util.h"
#include "tools/devsim/sim_fixture.h"
#include "tests/support/wait_bound.h"

#include <gtest/gtest.h>

#include <numeric>

namespace tavrik::devsim {
namespace {

using hid::test::Bytes;
using hid::test::Handle;
using hid::test::Open;
using hid::test::Transact;
using win::HidIoResult;

bool ReplyChecksumValid(const Bytes& r) { return CommandChecksum(r.data()) == (r[1] | (r[2] << 8)); }

class Emulated : public ::testing::Test {
protected:
    Bytes Ask(Emulator& e, const Bytes& request, HidIoResult expected = HidIoResult::Ok, win::DWORD timeoutMs = 500) {
        Handle h(Open(e.InterfacePath(kCommandCollection)));
        EXPECT_TRUE(h.Valid());
        Bytes reply;
        EXPECT_EQ(Transact(h, request, &reply, timeoutMs), expected);
        return reply;
    }
    SimFixture sim;
};

TEST_F(Emulated, AnswersByEchoingTheCommandWithStatusAndData) {
    auto& kb = sim.Plug(ProductKind::KeyboardCable);
    Bytes reply = Ask(kb, BuildCommandReport(0x03, 37, 0));
    EXPECT_EQ(reply[0], 0x04);
    EXPECT_EQ(reply[3], 0x03);
    EXPECT_EQ(reply[7], 0x00);
    EXPECT_TRUE(ReplyChecksumValid(reply));
    EXPECT_EQ(reply[8 + 5], 170);  // key count of the keyboard
    ASSERT_EQ(kb.Record().size(), 1u);
    EXPECT_EQ(kb.Record()[0].verdict, Verdict::Ok);
}

TEST_F(Emulated, ChecksumLengthAndReportIdOfEveryRequestAreVerified) {
    auto& kb = sim.Plug(ProductKind::KeyboardCable);
    Bytes bad = BuildCommandReport(0x06, 1, 0, Bytes{7}.data());
    bad[1] ^= 1;
    Bytes reply = Ask(kb, bad);
    EXPECT_EQ(reply[7], 0xFF);
    EXPECT_EQ(kb.Memory().params[0], 0);  // nothing written
    EXPECT_EQ(kb.Record().back().verdict, Verdict::BadChecksum);

    // Reports the program's handle would refuse, sent straight to the node.
    std::vector<std::shared_ptr<hid::Node>> nodes;
    ASSERT_TRUE(sim.Bus().ListNodes(&nodes));
    ASSERT_EQ(nodes.size(), 2u);
    Bytes good = BuildCommandReport(0x01, 0, 0);
    nodes[1]->SendOutput(win::HidP_Output, good.data(), 40, 100, nullptr);
    Bytes wrongId = good;
    wrongId[0] = 0x05;
    nodes[1]->SendOutput(win::HidP_Output, wrongId.data(), 64, 100, nullptr);
    nodes[0]->SendOutput(win::HidP_Output, good.data(), 2, 100, nullptr);
    auto record = kb.Record();
    ASSERT_EQ(record.size(), 4u);
    EXPECT_EQ(record[1].verdict, Verdict::BadLength);
    EXPECT_EQ(record[2].verdict, Verdict::BadReportId);
    EXPECT_EQ(record[3].verdict, Verdict::NotCommand);
    EXPECT_EQ(kb.Memory().sessionsBegun, 0);
}

TEST_F(Emulated, PagedWritesAndReadsByOffsetAndCount) {
    auto& kb = sim.Plug(ProductKind::KeyboardReceiver);
    Bytes block(49);
    std::iota(block.begin(), block.end(), 1);
    Handle h(Open(kb.InterfacePath()));
    Bytes reply;
    // 49 bytes at 64 through the receiver: 24 at 64, 24 at 88, 1 at 112.
    for (std::size_t pos = 0; pos < block.size(); pos += 24) {
        const auto n = static_cast<std::uint8_t>(std::min<std::size_t>(24, block.size() - pos));
        ASSERT_EQ(Transact(h, BuildCommandReport(0x06, n, 64 + pos, block.data() + pos), &reply), HidIoResult::Ok);
        EXPECT_EQ(reply[7], 0);
    }
    EXPECT_TRUE(std::equal(block.begin(), block.end(), kb.Memory().params.begin() + 64));
    auto writes = kb.Requests(0x06);
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[2].Offset(), 112u);
    EXPECT_EQ(writes[2].Count(), 1);

    // Read back in one 56-byte-sized packet (the emulator takes what the cable sends).
    ASSERT_EQ(Transact(h, BuildCommandReport(0x05, 49, 64), &reply), HidIoResult::Ok);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), reply.begin() + 8));

    // The information block in two receiver packets.
    kb.Memory().info[30] = 0x5A;
    ASSERT_EQ(Transact(h, BuildCommandReport(0x03, 13, 24), &reply), HidIoResult::Ok);
    EXPECT_EQ(reply[8 + 6], 0x5A);
}

TEST_F(Emulated, OversizedOrOutOfRangePacketsGetErrorStatus) {
    auto& kb = sim.Plug(ProductKind::KeyboardCable);
    Handle h(Open(kb.InterfacePath()));
    Bytes reply;
    Bytes tooLong = BuildCommandReport(0x06, 56, 0);
    tooLong[4] = 57;
    const std::uint16_t sum = CommandChecksum(tooLong.data());
    tooLong[1] = sum & 0xFF;
    tooLong[2] = sum >> 8;
    ASSERT_EQ(Transact(h, tooLong, &reply), HidIoResult::Ok);
    EXPECT_EQ(reply[7], 0xFF);
    EXPECT_EQ(kb.Record().back().verdict, Verdict::TooLong);
    ASSERT_EQ(Transact(h, BuildCommandReport(0x06, 56, 65500), &reply), HidIoResult::Ok);
    EXPECT_EQ(reply[7], 0xFF);
    EXPECT_EQ(kb.Record().back().verdict, Verdict::OutOfRange);
    ASSERT_EQ(Transact(h, BuildCommandReport(0x77, 0, 0), &reply), HidIoResult::Ok);
    EXPECT_EQ(reply[7], 0xFF);
    EXPECT_EQ(kb.Record().back().verdict, Verdict::UnknownCommand);
}

TEST_F(Emulated, ReceiverTakesLongPacketsUnlessRefusingThemIsSwitchedOn) {
    auto& mouse = sim.Plug(ProductKind::MouseReceiver);
    Bytes data(56, 0xAB);
    Handle h(Open(mouse.InterfacePath()));
    Bytes reply;
    ASSERT_EQ(Transact(h, BuildCommandReport(0x06, 56, 0, data.data()), &reply), HidIoResult::Ok);
    EXPECT_EQ(reply[7], 0);
    EXPECT_EQ(mouse.Memory().params[55], 0xAB);
    mouse.SetRejectLongReceiverPackets(true);
    ASSERT_EQ(Transact(h, BuildCommandReport(0x06, 56, 56, data.data()), &reply), HidIoResult::Ok);
    EXPECT_EQ(reply[7], 0xFF);
    EXPECT_EQ(mouse.Record().back().verdict, Verdict::RejectedLong);
    ASSERT_EQ(Transact(h, BuildCommandReport(0x06, 24, 56, data.data()), &reply), HidIoResult::Ok);
    EXPECT_EQ(reply[7], 0);
}

TEST_F(Emulated, ReceiverLinkQueryAndNotLinkedAnswer) {
    auto& kb = sim.Plug(ProductKind::KeyboardReceiver);
    Handle h(Open(kb.InterfacePath()));
    Bytes reply;
    ASSERT_EQ(Transact(h, BuildCommandReport(0xAA, 0, 0), &reply), HidIoResult::Ok);
    EXPECT_EQ(reply[3], 0xAA);
    EXPECT_EQ(reply[8], 0xFF);
    kb.SetLinked(false);
    ASSERT_EQ(Transact(h, BuildCommandReport(0xAA, 0, 0), &reply), HidIoResult::Ok);
    EXPECT_EQ(reply[3], 0xAA);
    EXPECT_EQ(reply[8], 0x01);
    ASSERT_EQ(Transact(h, BuildCommandReport(0x06, 1, 0, Bytes{3}.data()), &reply), HidIoResult::Ok);
    EXPECT_EQ(reply[3], 0xAA);
    EXPECT_EQ(kb.Memory().params[0], 0);
    EXPECT_EQ(kb.Record().back().verdict, Verdict::NotLinked);
}

TEST_F(Emulated, ScreenDataUses24BitOffsets) {
    auto& kb = sim.Plug(ProductKind::KeyboardCable);
    Bytes data(56, 0x11);
    Bytes reply = Ask(kb, BuildCommandReport(0x21, 56, 98280, data.data()));
    EXPECT_EQ(reply[7], 0);
    ASSERT_GE(kb.Memory().screen.size(), 98280u + 56);
    EXPECT_EQ(kb.Memory().screen[98280 + 55], 0x11);
    EXPECT_EQ(kb.Requests(0x21)[0].Offset(), 98280u);
}

TEST_F(Emulated, ReplyFaults) {
    auto& kb = sim.Plug(ProductKind::KeyboardCable);
    Handle h(Open(kb.InterfacePath()));
    Bytes reply;
    const Bytes begin = BuildCommandReport(0x01, 0, 0);

    kb.Inject({FaultKind::NoReply, 1, 0, 0, 0, 0});
    EXPECT_EQ(Transact(h, begin, &reply, 30), HidIoResult::TimedOut);

    kb.Inject({FaultKind::Status, 1, 0, 0, 0, 0xFE});
    ASSERT_EQ(Transact(h, begin, &reply), HidIoResult::Ok);
    EXPECT_EQ(reply[7], 0xFE);
    EXPECT_TRUE(ReplyChecksumValid(reply));

    kb.Inject({FaultKind::OtherCommand, 1, 0, 0, 0, 0});
    ASSERT_EQ(Transact(h, begin, &reply), HidIoResult::Ok);
    EXPECT_EQ(reply[3], 0x02);

    kb.Inject({FaultKind::BadChecksum, 1, 0, 0, 0, 0});
    ASSERT_EQ(Transact(h, begin, &reply), HidIoResult::Ok);
    EXPECT_FALSE(ReplyChecksumValid(reply));

    kb.Inject({FaultKind::Duplicate, 1, 0, 0, 0, 0});
    ASSERT_EQ(Transact(h, begin, &reply), HidIoResult::Ok);
    win::DWORD n = 0;
    EXPECT_EQ(win::ReadReport(h, reply.data(), 64, &n, 100, nullptr), HidIoResult::Ok);
    EXPECT_EQ(reply[3], 0x01);

    // A late reply: it misses a short wait and arrives afterwards.
    kb.Inject({FaultKind::Delay, 1, 0, 0, 60, 0});
    EXPECT_EQ(Transact(h, begin, &reply, 10), HidIoResult::TimedOut);
    EXPECT_EQ(win::ReadReport(h, reply.data(), 64, &n, 2000, nullptr), HidIoResult::Ok);
    EXPECT_EQ(reply[3], 0x01);

    // A fault bound to one command, after letting one through.
    kb.Inject({FaultKind::Status, 1, 0x06, 1, 0, 0xFF});
    const Bytes write = BuildCommandReport(0x06, 1, 5, Bytes{9}.data());
    ASSERT_EQ(Transact(h, begin, &reply), HidIoResult::Ok);
    EXPECT_EQ(reply[7], 0);
    ASSERT_EQ(Transact(h, write, &reply), HidIoResult::Ok);
    EXPECT_EQ(reply[7], 0);
    ASSERT_EQ(Transact(h, write, &reply), HidIoResult::Ok);
    EXPECT_EQ(reply[7], 0xFF);
    ASSERT_EQ(Transact(h, write, &reply), HidIoResult::Ok);
    EXPECT_EQ(reply[7], 0);
}

TEST_F(Emulated, UnplugMidTransferAndReplug) {
    auto& kb = sim.Plug(ProductKind::KeyboardCable);
    const std::wstring oldPath = kb.InterfacePath();
    Handle h(Open(oldPath));
    Bytes reply;
    kb.Inject({FaultKind::Unplug, 1, 0x06, 1, 0, 0});
    ASSERT_EQ(Transact(h, BuildCommandReport(0x06, 1, 0, Bytes{1}.data()), &reply), HidIoResult::Ok);
    EXPECT_EQ(Transact(h, BuildCommandReport(0x06, 1, 1, Bytes{2}.data()), &reply), HidIoResult::Failed);
    EXPECT_FALSE(kb.Plugged());
    EXPECT_EQ(Transact(h, BuildCommandReport(0x01, 0, 0), &reply), HidIoResult::Failed);
    EXPECT_EQ(Open(oldPath, 0), win::INVALID_HANDLE_VALUE);

    ASSERT_TRUE(kb.Replug());
    Handle again(Open(kb.InterfacePath()));
    ASSERT_TRUE(again.Valid());
    ASSERT_EQ(Transact(again, BuildCommandReport(0x05, 2, 0), &reply), HidIoResult::Ok);
    EXPECT_EQ(reply[8], 1);  // memory survives the replug
    EXPECT_EQ(reply[9], 2);
}

TEST_F(Emulated, ReplugMidTransferLeavesTheOldPathDead) {
    auto& kb = sim.Plug(ProductKind::KeyboardCable);
    const std::wstring oldPath = kb.InterfacePath();
    Handle h(Open(oldPath));
    Bytes reply;
    kb.Inject({FaultKind::Replug, 1, 0x06, 0, 0, 0});
    EXPECT_EQ(Transact(h, BuildCommandReport(0x06, 1, 0, Bytes{1}.data()), &reply), HidIoResult::Failed);
    EXPECT_TRUE(kb.Plugged());
    EXPECT_NE(kb.InterfacePath(), oldPath);
    EXPECT_EQ(Open(oldPath, 0), win::INVALID_HANDLE_VALUE);
    Handle again(Open(kb.InterfacePath()));
    ASSERT_EQ(Transact(again, BuildCommandReport(0x05, 1, 0), &reply), HidIoResult::Ok);
    EXPECT_EQ(reply[8], 1);  // the packet that arrived before the replug was taken
}

TEST_F(Emulated, CableAndReceiverShareOneDevice) {
    auto& cable = sim.Plug(ProductKind::MouseCable);
    auto& receiver = sim.Plug(ProductKind::MouseReceiver, cable.SharedMemory());
    Ask(cable, BuildCommandReport(0x06, 2, 128, Bytes{0x12, 0x34}.data()));
    Bytes reply = Ask(receiver, BuildCommandReport(0x05, 2, 128));
    EXPECT_EQ(reply[8], 0x12);
    EXPECT_EQ(reply[9], 0x34);
}

TEST_F(Emulated, CommandHookAnswersDeviceSpecificCommands) {
    auto& pad = sim.Plug(ProductKind::MousePad);
    pad.SetCommandHook([](Emulator&, const std::uint8_t* request, std::uint8_t* reply) {
        if (request[3] != 0x40) return false;
        reply[8] = 0x99;
        return true;
    });
    EXPECT_EQ(Ask(pad, BuildCommandReport(0x40, 0, 0))[8], 0x99);
    EXPECT_EQ(Ask(pad, BuildCommandReport(0x1C, 0, 0))[7], 0);
    EXPECT_EQ(pad.Memory().lightOnCount, 1);
}

TEST_F(Emulated, RecordIsTimeStampedInArrivalOrder) {
    auto& kb = sim.Plug(ProductKind::KeyboardCable);
    Handle h(Open(kb.InterfacePath()));
    win::DWORD n = 0;
    for (int i = 0; i < 5; ++i) {
        auto r = BuildCommandReport(0x12, 3, static_cast<std::uint32_t>(i * 3), Bytes{1, 2, 3}.data());
        ASSERT_EQ(win::WriteReport(h, r.data(), 64, &n, 100, nullptr), HidIoResult::Ok);
    }
    ASSERT_TRUE(kb.WaitForRecord(5, tavrik::test::WaitBound(std::chrono::milliseconds(1000))));
    auto record = kb.Record();
    for (std::size_t i = 1; i < record.size(); ++i) {
        EXPECT_LE(record[i - 1].time, record[i].time);
        EXPECT_EQ(record[i].Offset(), i * 3);
    }
    EXPECT_EQ(kb.Memory().livePackets, 5u);
    EXPECT_FALSE(kb.WaitForRecord(6, std::chrono::milliseconds(10)));
    kb.SetRecordLimit(2);
    record = kb.Record();
    ASSERT_EQ(record.size(), 2u);
    EXPECT_EQ(record[1].Offset(), 12u);  // the newest are kept
}

}  // namespace
}  // namespace tavrik::devsim
