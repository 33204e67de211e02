// CDeviceProtocol against emulated devices: the transaction, reply matching,
// the paging of every command on the cable and through the receiver, status
// and fault handling.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <numeric>
#include <thread>
#include <vector>

#include "link/device_packet.h"
#include "link/device_protocol.h"
#include "tests/link/sim_channel.h"
#include "tests/support/wait_bound.h"

namespace {

using namespace std::chrono_literals;
using tavrik::devsim::Emulator;
using tavrik::devsim::Fault;
using tavrik::devsim::FaultKind;
using tavrik::devsim::ProductKind;
using tavrik::devsim::SimFixture;
using tavrik::test::CloseCommandChannel;
using tavrik::test::FastTimeouts;
using tavrik::test::OpenCommandChannel;

struct Chunk {
    uint32_t count;
    uint32_t offset;
    bool operator==(const Chunk& o) const { return count == o.count && offset == o.offset; }
};

std::ostream& operator<<(std::ostream& os, const Chunk& c) { return os << "{" << c.count << " at " << c.offset << "}"; }

std::vector<Chunk> Chunks(const Emulator& device, uint8_t command) {
    std::vector<Chunk> out;
    for (const auto& r : device.Requests(command)) out.push_back({r.Count(), r.Offset()});
    return out;
}

std::vector<uint8_t> Pattern(size_t n, uint8_t seed) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(seed + i * 7);
    return v;
}

class ProtocolTest : public ::testing::Test {
protected:
    Emulator& Connect(ProductKind kind) {
        Emulator& device = sim_.Plug(kind);
        EXPECT_TRUE(OpenCommandChannel(channel_, device));
        channel_.m_timeouts = FastTimeouts();
        return device;
    }

    SimFixture sim_;
    CDeviceProtocol channel_;
};

TEST_F(ProtocolTest, ConstructionAndModeSettings) {
    EXPECT_EQ(channel_.DataSize(), 512);
    EXPECT_EQ(channel_.ChunkSize(), 24);
    EXPECT_FALSE(channel_.IsOpen());
    EXPECT_FALSE(channel_.IsBusy());
    EXPECT_EQ(channel_.SetDataSize(513), 0);
    EXPECT_EQ(channel_.DataSize(), 512);
    EXPECT_EQ(channel_.SetDataSize(510), 1);
    EXPECT_EQ(channel_.DataSize(), 510);
    EXPECT_EQ(channel_.SetDataSize(512), 1);
    const struct {
        int32_t mode;
        bool receiver;
        uint8_t chunk;
    } modes[] = {{0, false, 56}, {1, false, 56}, {2, true, 24}, {3, false, 56}, {-1, false, 56}};
    for (const auto& m : modes) {
        channel_.SetConnectMode(m.mode);
        EXPECT_EQ(channel_.IsReceiverMode(), m.receiver) << m.mode;
        EXPECT_EQ(channel_.ChunkSize(), m.chunk) << m.mode;
    }
}

TEST_F(ProtocolTest, ShortRequestGoesOutAsSixtyFourBytesAndItsEchoAnswers) {
    Emulator& device = Connect(ProductKind::KeyboardCable);
    uint8_t request[64] = {0x04, 0, 0, CMD_READ_PARAMS, 2, 0, 0, 0};
    StorePacketChecksum(request);  // over the padded form
    uint8_t reply[64] = {};
    uint32_t got = 0;
    device.Memory().params[0] = 3;
    device.Memory().params[1] = 9;
    EXPECT_EQ(channel_.Transact(request, 8, reply, sizeof reply, &got), 1);
    EXPECT_EQ(got, 64u);
    EXPECT_EQ(reply[3], CMD_READ_PARAMS);
    EXPECT_EQ(reply[8], 3);
    EXPECT_EQ(reply[9], 9);
    const auto record = device.Record();
    ASSERT_EQ(record.size(), 1u);
    EXPECT_EQ(record[0].verdict, tavrik::devsim::Verdict::Ok);
    ASSERT_EQ(record[0].bytes.size(), 64u);
    for (size_t i = 8; i < 64; ++i) EXPECT_EQ(record[0].bytes[i], 0) << i;
    EXPECT_FALSE(channel_.IsBusy());
}

// Every builder on a channel that is not open: result 0 and nothing on the wire.
TEST_F(ProtocolTest, ClosedChannelSendsNothing) {
    Emulator& device = sim_.Plug(ProductKind::KeyboardReceiver);
    std::vector<uint8_t> buffer(600, 0xEE);
    DeviceInfoBlock info;
    info.bytes[0] = 0x5A;
    const std::vector<std::pair<const char*, std::function<int32_t()>>> calls = {
        {"BeginSession", [&] { return channel_.BeginSession(); }},
        {"EndSession", [&] { return channel_.EndSession(); }},
        {"SendLightOn", [&] { return channel_.SendLightOn(); }},
        {"BeginScreenUpload", [&] { return channel_.BeginScreenUpload(); }},
        {"ReadDeviceInfo", [&] { return channel_.ReadDeviceInfo(&info); }},
        {"ReadLayoutTable", [&] { return channel_.ReadLayoutTable(buffer.data()); }},
        {"ReadLedMap", [&] { return channel_.ReadLedMap(buffer.data()); }},
        {"WriteKeyMap", [&] { return channel_.WriteKeyMap(buffer.data(), 0); }},
        {"WriteMacros", [&] { return channel_.WriteMacros(buffer.data(), 100); }},
        {"WriteShootData", [&] { return channel_.WriteShootData(buffer.data(), 100); }},
        {"ReadCustomColors", [&] { return channel_.ReadCustomColors(buffer.data(), 30, 1, 512); }},
        {"WriteCustomColors", [&] { return channel_.WriteCustomColors(buffer.data(), 30, 0, 512); }},
        {"StreamColors", [&] { return channel_.StreamColors(buffer.data(), 30); }},
        {"ReadParamBlock", [&] { return channel_.ReadParamBlock(buffer.data(), 49, 64); }},
        {"WriteParamBlock", [&] { return channel_.WriteParamBlock(buffer.data(), 49, 64); }},
        {"WriteClock", [&] { return channel_.WriteClock(buffer.data(), 7, 64); }},
        {"ReadStatus", [&] { return channel_.ReadStatus(buffer.data(), 6, 0); }},
        {"UploadScreenData", [&] { return channel_.UploadScreenData(buffer.data(), 100, nullptr); }},
    };
    for (int mode : {1, 2}) {
        channel_.SetConnectMode(mode);
        for (const auto& [name, call] : calls) EXPECT_EQ(call(), 0) << name << " mode " << mode;
    }
    EXPECT_TRUE(device.Record().empty());
    EXPECT_EQ(info.bytes[0], 0x5A);
    EXPECT_EQ(buffer[0], 0xEE);
    channel_.SetConnectMode(1);
    EXPECT_TRUE(channel_.QueryLink());
    channel_.SetConnectMode(2);
    EXPECT_FALSE(channel_.QueryLink());
    EXPECT_TRUE(device.Record().empty());

    // Opened and closed again by the owner: still nothing is sent.
    ASSERT_TRUE(OpenCommandChannel(channel_, device));
    EXPECT_EQ(channel_.BeginSession(), 1);
    CloseCommandChannel(channel_);
    EXPECT_EQ(channel_.BeginSession(), 0);
    EXPECT_EQ(device.Record().size(), 1u);
}

// The packets each command puts on the wire, by cable and through the receiver.
TEST_F(ProtocolTest, EveryCommandPagesByItsChunkSize) {
    struct Case {
        const char* name;
        uint8_t command;
        std::function<int32_t(CDeviceProtocol&, std::vector<uint8_t>&)> call;
        std::vector<Chunk> wired;
        std::vector<Chunk> receiver;
    };
    const std::vector<Case> cases = {
        {"device info",
         CMD_READ_INFO,
         [](CDeviceProtocol& p, std::vector<uint8_t>&) {
             DeviceInfoBlock b;
             return p.ReadDeviceInfo(&b);
         },
         {{37, 0}},
         {{24, 0}, {13, 24}}},
        {"param read 49 at 64",
         CMD_READ_PARAMS,
         [](CDeviceProtocol& p, std::vector<uint8_t>& b) { return p.ReadParamBlock(b.data(), 49, 64); },
         {{49, 64}},
         {{24, 64}, {24, 88}, {1, 112}}},
        {"param write 49 at 64",
         CMD_WRITE_PARAMS,
         [](CDeviceProtocol& p, std::vector<uint8_t>& b) { return p.WriteParamBlock(b.data(), 49, 64); },
         {{49, 64}},
         {{24, 64}, {24, 88}, {1, 112}}},
        {"mouse block 66 at 128",
         CMD_WRITE_PARAMS,
         [](CDeviceProtocol& p, std::vector<uint8_t>& b) { return p.WriteParamBlock(b.data(), 66, 128); },
         {{56, 128}, {10, 184}},
         {{24, 128}, {24, 152}, {18, 176}}},
        {"layout at data size 126",
         CMD_READ_LAYOUT,
         [](CDeviceProtocol& p, std::vector<uint8_t>& b) {
             p.SetDataSize(126);
             return p.ReadLayoutTable(b.data());
         },
         {{56, 0}, {56, 56}, {14, 112}},
         {{24, 0}, {24, 24}, {24, 48}, {24, 72}, {24, 96}, {6, 120}}},
        {"key map at data size 120",
         CMD_WRITE_KEYMAP,
         [](CDeviceProtocol& p, std::vector<uint8_t>& b) {
             p.SetDataSize(120);
             return p.WriteKeyMap(b.data(), 0);
         },
         {{56, 0}, {56, 56}, {8, 112}},
         {{24, 0}, {24, 24}, {24, 48}, {24, 72}, {24, 96}}},
        {"led map reads a third of 510",
         CMD_READ_LEDMAP,
         [](CDeviceProtocol& p, std::vector<uint8_t>& b) {
             p.SetDataSize(510);
             return p.ReadLedMap(b.data());
         },
         {{56, 0}, {56, 56}, {56, 112}, {2, 168}},
         {{24, 0}, {24, 24}, {24, 48}, {24, 72}, {24, 96}, {24, 120}, {24, 144}, {2, 168}}},
        {"colour read page 1",
         CMD_READ_COLORS,
         [](CDeviceProtocol& p, std::vector<uint8_t>& b) { return p.ReadCustomColors(b.data(), 30, 1, 512); },
         {{30, 512}},
         {{24, 512}, {6, 536}}},
        {"colour write page 0",
         CMD_WRITE_COLORS,
         [](CDeviceProtocol& p, std::vector<uint8_t>& b) { return p.WriteCustomColors(b.data(), 60, 0, 512); },
         {{56, 0}, {4, 56}},
         {{24, 0}, {24, 24}, {12, 48}}},
        {"colour stream",
         CMD_STREAM_COLORS,
         [](CDeviceProtocol& p, std::vector<uint8_t>& b) { return p.StreamColors(b.data(), 60); },
         {{56, 0}, {4, 56}},
         {{24, 0}, {24, 24}, {12, 48}}},
        {"macros",
         CMD_WRITE_MACROS,
         [](CDeviceProtocol& p, std::vector<uint8_t>& b) {
             // The keyboard checks its macro table: two macros of 9 events, 100 bytes.
             const uint8_t head[] = {0xAA, 0x55, 100, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 20, 0, 60, 0};
             std::copy(std::begin(head), std::end(head), b.begin());
             b[20] = b[60] = 9;
             b[21] = b[61] = 0;
             return p.WriteMacros(b.data(), 100);
         },
         {{56, 0}, {44, 56}},
         {{24, 0}, {24, 24}, {24, 48}, {24, 72}, {4, 96}}},
        {"recoil data always 56",
         CMD_WRITE_SHOOT,
         [](CDeviceProtocol& p, std::vector<uint8_t>& b) { return p.WriteShootData(b.data(), 100); },
         {{56, 0}, {44, 56}},
         {{56, 0}, {44, 56}}},
        {"clock 7 at 128",
         CMD_WRITE_CLOCK,
         [](CDeviceProtocol& p, std::vector<uint8_t>& b) {
             const uint8_t date[] = {0x07, 0x05, 0x09, 0x00, 0x02, 0x03, 0x25};  // the keyboard checks the date
             std::copy(std::begin(date), std::end(date), b.begin());
             return p.WriteClock(b.data(), 7, 128);
         },
         {{7, 128}},
         {{7, 128}}},
        {"status 6 at 0",
         CMD_READ_STATUS,
         [](CDeviceProtocol& p, std::vector<uint8_t>& b) { return p.ReadStatus(b.data(), 6, 0); },
         {{6, 0}},
         {{6, 0}}},
        {"screen data",
         CMD_SCREEN_DATA,
         [](CDeviceProtocol& p, std::vector<uint8_t>& b) { return p.UploadScreenData(b.data(), 70, nullptr); },
         {{56, 0}, {14, 56}},
         {{24, 0}, {24, 24}, {22, 48}}},
        {"empty write",
         CMD_WRITE_MACROS,
         [](CDeviceProtocol& p, std::vector<uint8_t>& b) { return p.WriteMacros(b.data(), 0); },
         {},
         {}},
    };
    for (ProductKind kind : {ProductKind::KeyboardCable, ProductKind::KeyboardReceiver}) {
        SimFixture sim;
        Emulator& device = sim.Plug(kind);
        const bool receiver = device.Product().receiver;
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (receiver ? " receiver" : " wired"));
            CDeviceProtocol channel;
            ASSERT_TRUE(OpenCommandChannel(channel, device));
            device.ClearRecord();
            auto data = Pattern(600, 3);
            EXPECT_EQ(c.call(channel, data), 1);
            EXPECT_EQ(Chunks(device, c.command), receiver ? c.receiver : c.wired);
            EXPECT_EQ(device.Record().size(), (receiver ? c.receiver : c.wired).size());
        }
    }
}

TEST_F(ProtocolTest, WritesLandInDeviceMemoryAndReadsInTheCallersBuffer) {
    for (ProductKind kind : {ProductKind::KeyboardCable, ProductKind::KeyboardReceiver}) {
        SimFixture sim;
        Emulator& device = sim.Plug(kind);
        CDeviceProtocol channel;
        ASSERT_TRUE(OpenCommandChannel(channel, device));
        SCOPED_TRACE(device.Product().name);

        const auto block = Pattern(49, 11);
        ASSERT_EQ(channel.WriteParamBlock(block.data(), 49, 128), 1);
        EXPECT_TRUE(std::equal(block.begin(), block.end(), device.Memory().params.begin() + 128));
        std::vector<uint8_t> back(49, 0);
        ASSERT_EQ(channel.ReadParamBlock(back.data(), 49, 128), 1);
        EXPECT_EQ(back, block);

        auto info = Pattern(37, 40);
        std::copy(info.begin(), info.end(), device.Memory().info.begin());
        DeviceInfoBlock read;
        ASSERT_EQ(channel.ReadDeviceInfo(&read), 1);
        EXPECT_TRUE(std::equal(info.begin(), info.end(), read.bytes));

        const auto shoot = Pattern(130, 2);
        ASSERT_EQ(channel.WriteShootData(shoot.data(), 130), 1);
        EXPECT_TRUE(std::equal(shoot.begin(), shoot.end(), device.Memory().shoot.begin()));

        const auto screen = Pattern(100, 5);
        ASSERT_EQ(channel.UploadScreenData(screen.data(), 100, nullptr), 1);
        ASSERT_GE(device.Memory().screen.size(), 100u);
        EXPECT_TRUE(std::equal(screen.begin(), screen.end(), device.Memory().screen.begin()));

        std::copy_n(Pattern(6, 90).begin(), 6, device.Memory().status.begin());
        uint8_t status[10];
        std::memset(status, 0xAB, sizeof status);
        ASSERT_EQ(channel.ReadStatus(status, 6, 0), 1);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(status[i], device.Memory().status[i]);
        EXPECT_EQ(status[6], 0xAB);  // nothing past the length
    }
}

TEST_F(ProtocolTest, ReplyMatchingSkipsOneForeignReplyAndFailsOnTwo) {
    Emulator& device = Connect(ProductKind::KeyboardCable);
    uint8_t status[6] = {};

    // One reply to another command, then the right one: two reads, result 1.
    device.Inject({FaultKind::OtherCommand, 1, CMD_READ_STATUS, 0, 0, 0});
    device.Inject({FaultKind::Duplicate, 1, CMD_READ_STATUS, 0, 0, 0});
    EXPECT_EQ(channel_.ReadStatus(status, 6, 0), 0);  // both copies foreign

    device.ClearFaults();
    // A foreign reply, followed by the real answer to the next request ...
    device.Inject({FaultKind::OtherCommand, 1, CMD_BEGIN, 0, 0, 0});
    EXPECT_EQ(channel_.BeginSession(), 0);  // second read times out: not answered
    // ... which does not take the stale reply of the earlier request.
    device.Memory().status[0] = 77;
    EXPECT_EQ(channel_.ReadStatus(status, 6, 0), 1);
    EXPECT_EQ(status[0], 77);

    // Wired: a reply of 0xAA is just another foreign reply.
    device.Inject({FaultKind::OtherCommand, 1, CMD_WRITE_PARAMS, 0, 0, CMD_LINK_QUERY});
    device.Inject({FaultKind::Duplicate, 1, CMD_WRITE_PARAMS, 0, 0, 0});
    const auto block = Pattern(10, 1);
    EXPECT_EQ(channel_.WriteParamBlock(block.data(), 10, 64), 0);
}

TEST_F(ProtocolTest, OneForeignReplyIsSkipped) {
    Emulator& device = Connect(ProductKind::KeyboardCable);
    // The device answers a request twice: first as another command, then right.
    device.SetCommandHook([](Emulator& e, const uint8_t* request, uint8_t* reply) {
        if (request[3] != CMD_READ_STATUS) return false;
        std::vector<uint8_t> foreign(reply, reply + 64);
        foreign[3] = CMD_BEGIN;
        e.SendInput(tavrik::devsim::kCommandInterface, foreign);
        reply[8] = 42;
        return true;
    });
    uint8_t status[6] = {};
    EXPECT_EQ(channel_.ReadStatus(status, 6, 0), 1);
    EXPECT_EQ(status[0], 42);
}

TEST_F(ProtocolTest, ReceiverReportsAnUnlinkedDevice) {
    Emulator& device = Connect(ProductKind::KeyboardReceiver);
    EXPECT_TRUE(channel_.QueryLink());
    device.SetLinked(false);
    EXPECT_FALSE(channel_.QueryLink());
    const auto block = Pattern(49, 1);
    device.ClearRecord();
    EXPECT_EQ(channel_.WriteParamBlock(block.data(), 49, 64), -101);
    EXPECT_EQ(device.Record().size(), 1u);  // stops at the first packet
    // The receiver's answer ends the transaction at once: no second read
    // waits out its time-out.
    channel_.m_timeouts.receiverRead = tavrik::test::WaitBoundMs(3000);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(channel_.BeginSession(), -101);
    EXPECT_LT(std::chrono::steady_clock::now() - start, tavrik::test::WaitBound(1500ms));
    channel_.m_timeouts = FastTimeouts();
    device.SetLinked(true);
    EXPECT_EQ(channel_.WriteParamBlock(block.data(), 49, 64), 1);

    // Wired: the link query is not sent at all.
    Emulator& wired = sim_.Plug(ProductKind::KeyboardCable);
    CDeviceProtocol cable;
    ASSERT_TRUE(OpenCommandChannel(cable, wired));
    EXPECT_TRUE(cable.QueryLink());
    EXPECT_TRUE(wired.Requests(CMD_LINK_QUERY).empty());
}

// The link query through the receiver: linked only on a good reply whose
// first data byte is 0xFF; one request with no data and a zero header.
TEST_F(ProtocolTest, QueryLinkNeedsAGoodReplyCarryingTheLinkedMark) {
    const struct {
        const char* name;
        bool linked;
        bool injectFault;
        Fault fault;
        bool expected;
    } cases[] = {
        {"linked", true, false, {}, true},
        {"not linked", false, false, {}, false},
        {"status 0xFF", true, true, {FaultKind::Status, 1, CMD_LINK_QUERY, 0, 0, 0xFF}, false},
        {"status 0xFE", true, true, {FaultKind::Status, 1, CMD_LINK_QUERY, 0, 0, 0xFE}, false},
        {"other status", true, true, {FaultKind::Status, 1, CMD_LINK_QUERY, 0, 0, 0x01}, true},
        {"no reply", true, true, {FaultKind::NoReply, 1, CMD_LINK_QUERY, 0, 0, 0}, false},
        {"foreign replies", true, true, {FaultKind::OtherCommand, 1, CMD_LINK_QUERY, 0, 0, CMD_BEGIN}, false},
    };
    Emulator& device = Connect(ProductKind::KeyboardReceiver);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        device.ClearFaults();
        device.ClearRecord();
        device.SetLinked(c.linked);
        if (c.injectFault) device.Inject(c.fault);
        EXPECT_EQ(channel_.QueryLink(), c.expected);
        const auto sent = device.Requests(CMD_LINK_QUERY);
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].bytes[0], kCommandReportId);
        for (int i = 4; i < 8; ++i) EXPECT_EQ(sent[0].bytes[i], 0) << i;
    }
    device.SetLinked(true);
    channel_.m_restricted = 1;  // not a screen-upload command: not sent
    device.ClearRecord();
    EXPECT_FALSE(channel_.QueryLink());
    EXPECT_TRUE(device.Record().empty());
}

TEST_F(ProtocolTest, ErrorStatusStopsTheTransferAtThatPacket) {
    Emulator& device = Connect(ProductKind::KeyboardReceiver);
    const auto block = Pattern(49, 1);
    const struct {
        uint8_t status;
        int32_t result;
    } cases[] = {{0xFF, -102}, {0xFE, -103}};
    for (const auto& c : cases) {
        device.ClearRecord();
        device.Inject({FaultKind::Status, 1, CMD_WRITE_PARAMS, 1, 0, c.status});
        EXPECT_EQ(channel_.WriteParamBlock(block.data(), 49, 64), c.result);
        EXPECT_EQ(Chunks(device, CMD_WRITE_PARAMS), (std::vector<Chunk>{{24, 64}, {24, 88}}));

        // Reads that fail leave the caller's block untouched.
        DeviceInfoBlock info;
        info.bytes[0] = 0x77;
        device.Inject({FaultKind::Status, 1, CMD_READ_INFO, 1, 0, c.status});
        EXPECT_EQ(channel_.ReadDeviceInfo(&info), c.result);
        EXPECT_EQ(info.bytes[0], 0x77);
        uint8_t status[6] = {9, 9, 9, 9, 9, 9};
        device.Inject({FaultKind::Status, 1, CMD_READ_STATUS, 0, 0, c.status});
        EXPECT_EQ(channel_.ReadStatus(status, 6, 0), c.result);
        EXPECT_EQ(status[0], 9);
        device.Inject({FaultKind::Status, 1, CMD_END, 0, 0, c.status});
        EXPECT_EQ(channel_.EndSession(), c.result);

        // The other reads fill the caller's buffer packet by packet: the
        // chunk read before the failing packet stays there, nothing after it.
        for (size_t i = 0; i < 49; ++i) device.Memory().params[64 + i] = static_cast<uint8_t>(0x40 + i);
        std::vector<uint8_t> params(49, 0xEE);
        device.Inject({FaultKind::Status, 1, CMD_READ_PARAMS, 1, 0, c.status});
        EXPECT_EQ(channel_.ReadParamBlock(params.data(), 49, 64), c.result);
        for (size_t i = 0; i < 24; ++i) EXPECT_EQ(params[i], 0x40 + i) << i;
        for (size_t i = 24; i < 49; ++i) EXPECT_EQ(params[i], 0xEE) << i;
    }
}

TEST_F(ProtocolTest, RestrictedModePassesOnlyScreenUploadCommands) {
    Emulator& device = Connect(ProductKind::KeyboardCable);
    channel_.m_restricted = 1;
    const auto data = Pattern(100, 1);
    EXPECT_EQ(channel_.BeginSession(), 0);
    EXPECT_EQ(channel_.EndSession(), 0);
    EXPECT_EQ(channel_.WriteParamBlock(data.data(), 49, 0), 0);
    EXPECT_EQ(channel_.StreamColors(data.data(), 30), 0);
    EXPECT_EQ(channel_.SendLightOn(), 0);
    EXPECT_TRUE(device.Record().empty());

    EXPECT_EQ(channel_.BeginScreenUpload(), 1);
    EXPECT_EQ(channel_.UploadScreenData(data.data(), 100, nullptr), 1);
    uint8_t reply[64];
    uint8_t request[64] = {0x04, 0, 0, CMD_SCREEN_RESERVED};
    StorePacketChecksum(request);
    channel_.Transact(request, 64, reply, 64, nullptr);
    EXPECT_EQ(device.Requests(CMD_SCREEN_BEGIN).size(), 1u);
    EXPECT_EQ(device.Requests(CMD_SCREEN_DATA).size(), 2u);
    EXPECT_EQ(device.Record().size(), 4u);  // 0x22 reached the device too

    channel_.m_restricted = 0;
    EXPECT_EQ(channel_.BeginSession(), 1);
}

TEST_F(ProtocolTest, KeyMapPageAndOffsetsThatDoNotFitAreRefused) {
    Emulator& device = Connect(ProductKind::KeyboardCable);
    const auto data = Pattern(512, 1);
    EXPECT_EQ(channel_.WriteKeyMap(data.data(), 1), -201);
    // The second packet would be addressed at 0x10028.
    EXPECT_EQ(channel_.WriteParamBlock(data.data(), 100, 0xFFF0), 0);
    EXPECT_EQ(channel_.ReadCustomColors(std::vector<uint8_t>(510).data(), 510, 200, 512), 0);
    EXPECT_EQ(channel_.WriteCustomColors(data.data(), 30, 0x80000000u, 4), 0);
    EXPECT_TRUE(device.Record().empty());
    // The last packet exactly at the top of the 16-bit space is fine.
    EXPECT_EQ(channel_.WriteClock(data.data(), 1, 0xFFFF), 1);
}

TEST_F(ProtocolTest, NoReplyAndUnplugGiveFailureWithinTheTimeOuts) {
    // A device that takes any bytes as its macro area (the mouse and the
    // keyboard check their tables).
    Emulator& device = Connect(ProductKind::MousePad);
    device.Inject({FaultKind::NoReply, 1, CMD_BEGIN, 0, 0, 0});
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(channel_.BeginSession(), 0);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 2 * 150ms - 20ms);  // two reads
    EXPECT_LT(waited, tavrik::test::WaitBound(5s));

    // Unplugged in the middle of a paged write: the packet after it fails.
    const auto blob = Pattern(200, 4);
    device.ClearRecord();
    device.Inject({FaultKind::Unplug, 1, CMD_WRITE_MACROS, 1, 0, 0});
    start = std::chrono::steady_clock::now();
    const int32_t result = channel_.WriteMacros(blob.data(), 200);
    EXPECT_TRUE(result == 0 || result == -1) << result;
    EXPECT_LT(std::chrono::steady_clock::now() - start, tavrik::test::WaitBound(5s));
    EXPECT_EQ(Chunks(device, CMD_WRITE_MACROS), (std::vector<Chunk>{{56, 0}, {56, 56}}));
    // The channel stays marked open; the next command fails at once.
    EXPECT_TRUE(channel_.IsOpen());
    EXPECT_EQ(channel_.BeginSession(), -1);
    EXPECT_FALSE(channel_.IsBusy());
}

TEST_F(ProtocolTest, LateRepliesOfAnEarlierRequestAreDiscarded) {
    Emulator& device = Connect(ProductKind::KeyboardReceiver);
    uint8_t status[6] = {};
    // Every request answered twice: the second copy is still queued when the
    // next request goes out.
    device.Memory().status[0] = 10;
    device.Inject({FaultKind::Duplicate, 1, CMD_READ_STATUS, 0, 0, 0});
    ASSERT_EQ(channel_.ReadStatus(status, 6, 0), 1);
    EXPECT_EQ(status[0], 10);
    device.Memory().status[0] = 20;
    ASSERT_EQ(channel_.ReadStatus(status, 6, 0), 1);
    EXPECT_EQ(status[0], 20);

    // A reply that comes after the request has given up.
    device.Memory().status[0] = 30;
    device.Inject({FaultKind::Delay, 1, CMD_READ_STATUS, 0, 600, 0});
    EXPECT_EQ(channel_.ReadStatus(status, 6, 0), 0);
    std::this_thread::sleep_for(450ms);  // the late reply arrives
    device.Memory().status[0] = 40;
    ASSERT_EQ(channel_.ReadStatus(status, 6, 0), 1);
    EXPECT_EQ(status[0], 40);
}

TEST_F(ProtocolTest, LongWaitLengthensOnlyWiredReplyWaits) {
    for (ProductKind kind : {ProductKind::KeyboardCable, ProductKind::KeyboardReceiver}) {
        SimFixture sim;
        Emulator& device = sim.Plug(kind);
        CDeviceProtocol channel;
        ASSERT_TRUE(OpenCommandChannel(channel, device));
        channel.m_timeouts = FastTimeouts();
        const bool receiver = device.Product().receiver;
        for (int flag : {0, 1}) {
            channel.SetLongWait(flag == 1);
            device.Inject({FaultKind::Delay, 1, CMD_READ_STATUS, 0, 600, 0});
            uint8_t status[6];
            const int32_t expected = (flag == 1 && !receiver) ? 1 : 0;
            EXPECT_EQ(channel.ReadStatus(status, 6, 0), expected) << device.Product().name << " flag " << flag;
            std::this_thread::sleep_for(400ms);  // let a late reply pass
        }
        // The colour stream never waits long.
        channel.SetLongWait(true);
        device.Inject({FaultKind::Delay, 1, CMD_STREAM_COLORS, 0, 600, 0});
        const auto colors = Pattern(3, 0);
        EXPECT_EQ(channel.StreamColors(colors.data(), 3), 0);
    }
}

// Which time-out each kind of exchange waits with. The reply comes 250 ms
// late; in the first run only the time-out that should apply is long, in the
// second every time-out but that one is, so the reply is read exactly when
// that one is used.
TEST(ProtocolTimeouts, EachExchangeWaitsWithItsOwnTimeOut) {
    using Field = uint32_t ProtocolTimeouts::*;
    const Field kReadFields[] = {&ProtocolTimeouts::wiredRead, &ProtocolTimeouts::wiredLongRead,
                                 &ProtocolTimeouts::receiverRead, &ProtocolTimeouts::streamWired,
                                 &ProtocolTimeouts::streamReceiver};
    const struct {
        const char* name;
        ProductKind kind;
        bool stream;
        int longWait;
        Field applies;
    } cases[] = {
        {"wired request", ProductKind::KeyboardCable, false, 0, &ProtocolTimeouts::wiredRead},
        {"wired request, long wait", ProductKind::KeyboardCable, false, 1, &ProtocolTimeouts::wiredLongRead},
        {"receiver request", ProductKind::KeyboardReceiver, false, 0, &ProtocolTimeouts::receiverRead},
        {"receiver request, long wait", ProductKind::KeyboardReceiver, false, 1, &ProtocolTimeouts::receiverRead},
        {"wired stream, long wait", ProductKind::KeyboardCable, true, 1, &ProtocolTimeouts::streamWired},
        {"receiver stream", ProductKind::KeyboardReceiver, true, 0, &ProtocolTimeouts::streamReceiver},
    };
    constexpr uint32_t kShort = 50;  // two reads end well before the reply
    constexpr uint32_t kLong = 3000;
    for (const auto& c : cases) {
        for (bool appliesLong : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (appliesLong ? ", its time-out long" : ", its time-out short"));
            SimFixture sim;
            Emulator& device = sim.Plug(c.kind);
            CDeviceProtocol channel;
            ASSERT_TRUE(OpenCommandChannel(channel, device));
            ProtocolTimeouts t;
            t.wiredWrite = t.receiverWrite = kLong;
            for (Field f : kReadFields) t.*f = appliesLong ? kShort : kLong;
            t.*c.applies = appliesLong ? kLong : kShort;
            channel.m_timeouts = t;
            channel.SetLongWait(c.longWait == 1);
            const uint8_t command = c.stream ? CMD_STREAM_COLORS : CMD_READ_STATUS;
            device.Inject({FaultKind::Delay, 1, command, 0, 250, 0});
            uint8_t buffer[6] = {1, 2, 3, 4, 5, 6};
            const int32_t result = c.stream ? channel.StreamColors(buffer, 3) : channel.ReadStatus(buffer, 6, 0);
            EXPECT_EQ(result, appliesLong ? 1 : 0);
            EXPECT_EQ(device.Requests(command).size(), 1u);
        }
    }
}

TEST_F(ProtocolTest, StreamSkipsItsPacketsWhileAnotherTransactionRuns) {
    Emulator& device = Connect(ProductKind::KeyboardCable);
    channel_.m_timeouts.wiredRead = 2000;
    device.Inject({FaultKind::Delay, 1, CMD_WRITE_PARAMS, 0, 500, 0});
    const auto block = Pattern(49, 1);
    std::thread writer([&] { EXPECT_EQ(channel_.WriteParamBlock(block.data(), 49, 64), 1); });
    while (device.Requests(CMD_WRITE_PARAMS).empty()) std::this_thread::yield();
    ASSERT_TRUE(channel_.IsBusy());
    const auto colors = Pattern(510, 9);
    EXPECT_EQ(channel_.StreamColors(colors.data(), 510), 1);
    writer.join();
    EXPECT_TRUE(device.Requests(CMD_STREAM_COLORS).empty());
    EXPECT_FALSE(channel_.IsBusy());
    EXPECT_EQ(channel_.StreamColors(colors.data(), 510), 1);
    EXPECT_EQ(device.Requests(CMD_STREAM_COLORS).size(), 10u);
}

TEST_F(ProtocolTest, OverlappingTransactionsKeepTheBusyMarkAndTheirOwnReplies) {
    Emulator& device = Connect(ProductKind::KeyboardCable);
    channel_.m_timeouts.wiredRead = 2000;
    // Two overlapping transactions: the first to finish leaves the channel busy.
    device.Inject({FaultKind::Delay, 2, CMD_BEGIN, 0, 200, 0});
    std::thread first([&] { EXPECT_EQ(channel_.BeginSession(), 1); });
    while (device.Requests(CMD_BEGIN).empty()) std::this_thread::yield();
    std::atomic<bool> secondDone{false};
    std::thread second([&] {
        uint8_t request[64] = {0x04, 0, 0, CMD_BEGIN};
        StorePacketChecksum(request);
        uint8_t reply[64];
        EXPECT_EQ(channel_.Transact(request, 64, reply, 64, nullptr), 1);
        secondDone = true;
    });
    first.join();
    if (!secondDone) {
        EXPECT_TRUE(channel_.IsBusy());
    }
    second.join();
    EXPECT_FALSE(channel_.IsBusy());

    // Threads reading different things at once each get their own data.
    for (size_t i = 0; i < 49; ++i) device.Memory().params[64 + i] = static_cast<uint8_t>(i);
    for (int i = 0; i < 6; ++i) device.Memory().status[i] = static_cast<uint8_t>(200 + i);
    std::atomic<int> wrong{0};
    std::thread params([&] {
        for (int k = 0; k < 40; ++k) {
            std::vector<uint8_t> b(49);
            if (channel_.ReadParamBlock(b.data(), 49, 64) != 1 || b[48] != 48 || b[0] != 0) ++wrong;
        }
    });
    std::thread status([&] {
        for (int k = 0; k < 40; ++k) {
            uint8_t s[6] = {};
            if (channel_.ReadStatus(s, 6, 0) != 1 || s[0] != 200 || s[5] != 205) ++wrong;
        }
    });
    params.join();
    status.join();
    EXPECT_EQ(wrong, 0);
}

TEST_F(ProtocolTest, ReadStatusNeverCopiesMoreThanAReplyCarries) {
    Emulator& device = Connect(ProductKind::KeyboardCable);
    for (int i = 0; i < 64; ++i) device.Memory().status[i] = static_cast<uint8_t>(i + 1);
    std::vector<uint8_t> buffer(100, 0xCD);
    ASSERT_EQ(channel_.ReadStatus(buffer.data(), 100, 0), 1);
    EXPECT_EQ(device.Requests(CMD_READ_STATUS).back().Count(), 56);
    for (int i = 0; i < 56; ++i) EXPECT_EQ(buffer[i], i + 1);
    for (int i = 56; i < 100; ++i) EXPECT_EQ(buffer[i], 0xCD);
    EXPECT_EQ(channel_.ReadStatus(nullptr, 6, 0), 0);
}

}  // namespace
