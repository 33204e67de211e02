// Byte layout of command reports: checksum, padding and the paging of long data.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <numeric>
#include <vector>

#include "link/device_packet.h"
#include "link/paged_packet.h"

namespace {

using Packet = std::array<uint8_t, kCommandReportSize>;

struct Chunk {
    uint32_t count;
    uint32_t offset;
};

// Runs the paging loop the builders run, keeping a copy of every packet.
std::vector<Packet> Page(const PagedTransfer& t) {
    std::vector<Packet> out;
    Packet p{};
    BeginPagedPacket(p.data(), t.command);
    for (uint32_t pos = 0; pos < t.total; pos += t.chunk) {
        FillPagedPacket(p.data(), t, pos);
        out.push_back(p);
    }
    return out;
}

uint32_t OffsetOf(const Packet& p, bool wide) {
    uint32_t off = p[kPacketOffsetLow] | (p[kPacketOffsetHigh] << 8);
    if (wide) off |= static_cast<uint32_t>(p[kPacketStatus]) << 16;
    return off;
}

TEST(CommandPacket, ShortRequestIsPaddedAndChecksummed) {
    const uint8_t request[8] = {0x04, 0, 0, 0x06, 3, 0x40, 0x00, 0};
    Packet p;
    p.fill(0xCC);
    PadRequest(request, sizeof request, p.data());
    for (uint32_t i = 8; i < kCommandReportSize; ++i) EXPECT_EQ(p[i], 0) << i;
    StorePacketChecksum(p.data());
    EXPECT_EQ(p[1], 0x06 + 3 + 0x40);
    EXPECT_EQ(p[2], 0);
    EXPECT_EQ(p[3], 0x06);

    // A request longer than a report keeps only its first 64 bytes.
    std::vector<uint8_t> longRequest(80, 0x11);
    PadRequest(longRequest.data(), static_cast<uint32_t>(longRequest.size()), p.data());
    EXPECT_EQ(p[63], 0x11);
}

TEST(CommandPacket, ChecksumCoversBytesThreeToSixtyThreeLittleEndian) {
    Packet p;
    p.fill(0xFF);
    StorePacketChecksum(p.data());
    // 61 bytes of 0xFF: 15555 = 0x3CC3; bytes 0 to 2 are not part of the sum.
    EXPECT_EQ(PacketChecksum(p.data()), 15555);
    EXPECT_EQ(p[1], 0xC3);
    EXPECT_EQ(p[2], 0x3C);
    p[0] = 0;
    EXPECT_EQ(PacketChecksum(p.data()), 15555);
}

TEST(CommandPacket, ReplyStatusAndRestrictedCommands) {
    Packet r{};
    const struct {
        uint8_t status;
        int32_t result;
    } statuses[] = {{0x00, 1}, {0x01, 1}, {0xFD, 1}, {0xFE, -103}, {0xFF, -102}};
    for (const auto& s : statuses) {
        r[kPacketStatus] = s.status;
        EXPECT_EQ(ReplyStatusResult(r.data()), s.result) << int(s.status);
    }
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(IsScreenUploadCommand(static_cast<uint8_t>(c)), c >= 0x21 && c <= 0x23) << c;
}

TEST(PagedPacket, ChunksCarryCountAndOffset) {
    struct Case {
        const char* name;
        PagedTransfer transfer;
        std::vector<Chunk> chunks;
    };
    const Case cases[] = {
        {"info wired", {CMD_READ_INFO, 37, 56, 0, false, nullptr}, {{37, 0}}},
        {"info receiver", {CMD_READ_INFO, 37, 24, 0, false, nullptr}, {{24, 0}, {13, 24}}},
        {"params receiver at 64", {CMD_WRITE_PARAMS, 49, 24, 64, false, nullptr}, {{24, 64}, {24, 88}, {1, 112}}},
        {"exact multiple", {CMD_WRITE_MACROS, 112, 56, 0, false, nullptr}, {{56, 0}, {56, 56}}},
        {"empty", {CMD_WRITE_MACROS, 0, 56, 0, false, nullptr}, {}},
        {"mouse block at 3 x 128", {CMD_READ_PARAMS, 71, 56, 384, false, nullptr}, {{56, 384}, {15, 440}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(PagedTransferFits(c.transfer));
        const auto packets = Page(c.transfer);
        ASSERT_EQ(packets.size(), c.chunks.size());
        EXPECT_EQ(PagedPacketCount(c.transfer), c.chunks.size());
        for (size_t i = 0; i < packets.size(); ++i) {
            EXPECT_EQ(packets[i][0], kCommandReportId);
            EXPECT_EQ(packets[i][kPacketCommand], c.transfer.command);
            EXPECT_EQ(packets[i][kPacketLength], c.chunks[i].count);
            EXPECT_EQ(OffsetOf(packets[i], false), c.chunks[i].offset);
            EXPECT_EQ(packets[i][kPacketStatus], 0);
            EXPECT_EQ(PacketChecksum(packets[i].data()), packets[i][1] | (packets[i][2] << 8));
        }
    }
}

TEST(PagedPacket, WriteCopiesDataAndLastPacketKeepsEarlierBytes) {
    std::vector<uint8_t> data(60);
    std::iota(data.begin(), data.end(), uint8_t{1});
    const PagedTransfer t{CMD_WRITE_MACROS, 60, 56, 0, false, data.data()};
    const auto packets = Page(t);
    ASSERT_EQ(packets.size(), 2u);
    for (uint32_t i = 0; i < 56; ++i) EXPECT_EQ(packets[0][8 + i], data[i]);
    for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(packets[1][8 + i], data[56 + i]);
    // Bytes after the data still hold the first packet's bytes, and count in the sum.
    EXPECT_EQ(packets[1][12], data[4]);
    EXPECT_EQ(packets[1][63], data[55]);
}

TEST(PagedPacket, ScreenDataUsesTwentyFourBitOffsets) {
    const PagedTransfer t{CMD_SCREEN_DATA, 3 * 32768, 56, 0, true, nullptr};
    ASSERT_TRUE(PagedTransferFits(t));
    const auto packets = Page(t);
    ASSERT_EQ(packets.size(), 1756u);
    EXPECT_EQ(packets[1754][kPacketLength], 56);
    EXPECT_EQ(packets.back()[kPacketLength], 24);
    EXPECT_EQ(OffsetOf(packets.back(), true), 98280u);
    EXPECT_EQ(packets.back()[kPacketStatus], 0x01);
    EXPECT_EQ(OffsetOf(packets[1170], true), 1170u * 56);
}

TEST(PagedPacket, OffsetsThatDoNotFitTheirFieldAreRefused) {
    const struct {
        const char* name;
        PagedTransfer transfer;
        bool fits;
    } cases[] = {
        {"last packet at 0xFFFF", {CMD_WRITE_PARAMS, 1, 56, 0xFFFF, false, nullptr}, true},
        {"last packet past 0xFFFF", {CMD_WRITE_PARAMS, 57, 56, 0xFFFF, false, nullptr}, false},
        {"colour page 200 x 512", {CMD_READ_COLORS, 510, 56, 200 * 512, false, nullptr}, false},
        {"16-bit length fits", {CMD_WRITE_MACROS, 65536, 56, 0, false, nullptr}, true},
        {"wide offset fits", {CMD_SCREEN_DATA, 0x1000000, 56, 0, true, nullptr}, true},
        {"wide offset past 24 bits", {CMD_SCREEN_DATA, 0x1000001, 1, 0, true, nullptr}, false},
        {"chunk of 0", {CMD_WRITE_MACROS, 10, 0, 0, false, nullptr}, false},
        {"chunk above 56", {CMD_WRITE_MACROS, 10, 57, 0, false, nullptr}, false},
        {"empty at the top", {CMD_WRITE_MACROS, 0, 56, 0xFFFFFFFF, false, nullptr}, true},
    };
    for (const auto& c : cases) EXPECT_EQ(PagedTransferFits(c.transfer), c.fits) << c.name;
}

}  // namespace
