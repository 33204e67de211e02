#include "keyboard/audio/sample_ring.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace {

// Little-endian bytes of the values first, first + 1, ... (count values).
std::vector<std::uint8_t> Values(int first, std::size_t count) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < count; ++i) {
        auto v = static_cast<std::uint16_t>(static_cast<std::int16_t>(first + static_cast<int>(i)));
        bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    return bytes;
}

std::vector<double> Contents(const SampleRing& ring) {
    std::array<FftComplex, kFftSize> out{};
    for (auto& c : out) {
        c = {12345, 6789};
    }
    ring.CopyOldestFirst(out);
    std::vector<double> values;
    for (auto& c : out) {
        EXPECT_EQ(c.im, 0);
        values.push_back(c.re);
    }
    return values;
}

struct RingCase {
    std::size_t packetValues;  // values per packet
    int packets;
};

void PrintTo(const RingCase& c, std::ostream* out) {
    *out << c.packetValues << " values x " << c.packets << " packets";
}

class RingOnPackets : public ::testing::TestWithParam<RingCase> {};

// The ring always shows the last 1024 values in arrival order, with zeros in
// front until 1024 have arrived; a packet never adds more than it holds.
TEST_P(RingOnPackets, HoldsTheLastValuesOldestFirst) {
    const RingCase& c = GetParam();
    SampleRing ring;
    int next = 1;
    for (int p = 0; p < c.packets; ++p) {
        auto bytes = Values(next, c.packetValues);
        ring.Append(bytes.data(), bytes.size());
        next += static_cast<int>(c.packetValues);
        int total = next - 1;
        std::vector<double> expected(kFftSize, 0);
        int shown = std::min<int>(total, kFftSize);
        for (int i = 0; i < shown; ++i) {
            expected[kFftSize - shown + i] = static_cast<std::int16_t>(total - shown + 1 + i);
        }
        ASSERT_EQ(Contents(ring), expected) << "after packet " << p;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, RingOnPackets,
                         ::testing::Values(RingCase{1, 1030}, RingCase{480, 5}, RingCase{960, 3}, RingCase{2000, 2},
                                           RingCase{1024, 2}, RingCase{0, 2}),
                         [](const auto& info) {
                             return std::to_string(info.param.packetValues) + "_values_x" +
                                    std::to_string(info.param.packets);
                         });

TEST(SampleRing, OddByteCountDropsTheStrayByte) {
    SampleRing ring;
    auto bytes = Values(100, 3);
    bytes.push_back(0x7F);  // half a value
    ring.Append(bytes.data(), bytes.size());
    auto one = Values(-5, 1);
    ring.Append(one.data(), 1);  // a single byte holds no value
    auto more = Values(200, 1);
    ring.Append(more.data(), more.size());
    auto contents = Contents(ring);
    EXPECT_EQ(std::vector<double>(contents.end() - 4, contents.end()), (std::vector<double>{100, 101, 102, 200}));
    EXPECT_EQ(contents[kFftSize - 5], 0);
}

TEST(SampleRing, ValuesAreSignedLittleEndian) {
    SampleRing ring;
    std::vector<std::uint8_t> bytes{0x00, 0x80, 0xFF, 0x7F, 0xFF, 0xFF, 0x01, 0x00};
    ring.Append(bytes.data(), bytes.size());
    auto contents = Contents(ring);
    EXPECT_EQ(std::vector<double>(contents.end() - 4, contents.end()), (std::vector<double>{-32768, 32767, -1, 1}));
}

TEST(SampleRing, ClearStartsAgainFromZeros) {
    SampleRing ring;
    auto bytes = Values(1, 700);
    ring.Append(bytes.data(), bytes.size());
    ring.Clear();
    auto one = Values(9, 1);
    ring.Append(one.data(), one.size());
    std::vector<double> expected(kFftSize, 0);
    expected.back() = 9;
    EXPECT_EQ(Contents(ring), expected);
}

}  // namespace
