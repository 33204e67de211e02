// The emulated keyboard's screen: its factory geometry, the frames it takes
// (the frame count of the block written last, at most its maximum), the new
// image each 0x23 starts and the views of the frames uploaded.
#include "tests/keyboard/keyboard_test_support.h"

namespace {

using namespace kbtest;
using tavrik::devsim::SimFixture;
namespace sim = tavrik::devsim;

constexpr size_t kFrame = 240 * 135 * 2;  // 64800
constexpr size_t kPadded = 65536;

struct Channel {
    explicit Channel(Emulator& device) {
        channel.m_timeouts = FastTimeouts();
        EXPECT_TRUE(tavrik::test::OpenCommandChannel(channel, device));
    }
    ~Channel() { tavrik::test::CloseCommandChannel(channel); }
    CDeviceProtocol channel;
};

// Writes profile p's block with the given frame count and interval.
int32_t WriteBlock(Emulator& kb, CDeviceProtocol& channel, int profile, uint8_t frames, uint16_t interval) {
    std::array<uint8_t, sim::kKeyboardBlockSize> block{};
    {
        auto lock = kb.Lock();
        block = sim::ViewBlock(kb.Memory(), profile).bytes;
    }
    block[sim::kBlockFrameCount] = frames;
    block[43] = interval & 0xFF;
    block[44] = interval >> 8;
    return channel.WriteParamBlock(block.data(), uint32_t(block.size()), uint32_t(profile) * 64);
}

// `frames` padded frames whose pixel bytes follow a pattern of the frame.
std::vector<uint8_t> Image(size_t frames) {
    std::vector<uint8_t> image(frames * kPadded, 0xFF);
    for (size_t f = 0; f < frames; ++f)
        for (size_t i = 0; i < kFrame; ++i) image[f * kPadded + i] = uint8_t(i * 7 + f * 31 + 3);
    return image;
}

TEST(EmulatedKeyboardScreen, FactoryScreenIs240By135WithEightyFrames) {
    SimFixture fixture;
    Emulator& kb = fixture.Plug(ProductKind::KeyboardCable);
    Channel c(kb);
    DeviceInfoBlock info{};
    ASSERT_EQ(c.channel.ReadDeviceInfo(&info), 1);
    EXPECT_EQ(info.ScreenWidth(), 240);
    EXPECT_EQ(info.ScreenHeight(), 135);
    EXPECT_EQ(info.bytes[35], 80);
    auto lock = kb.Lock();
    EXPECT_EQ(sim::ScreenFrameBytes(kb.Memory()), kFrame);
    EXPECT_EQ(sim::ScreenPaddedFrameBytes(kb.Memory()), kPadded);
}

TEST(EmulatedKeyboardScreen, StoresOnlyTheFramesOfTheBlockWrittenLast) {
    const struct {
        uint8_t blockFrames;
        uint8_t deviceMaximum;
        size_t uploaded;  // frames sent
        int32_t result;
        size_t stored;  // whole frames kept
    } cases[] = {
        {1, 80, 1, 1, 1},                          // one frame, exactly its padded length
        {2, 80, 2, 1, 2},    {1, 80, 2, -102, 1},  // the second frame is beyond the count
        {3, 2, 3, -102, 2},                        // the device maximum wins over the block
        {0, 80, 1, -102, 0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << int(k.blockFrames) << " frames, maximum " << int(k.deviceMaximum) << ", "
                                        << k.uploaded << " sent");
        SimFixture fixture;
        Emulator& kb = fixture.Plug(ProductKind::KeyboardCable);
        Channel c(kb);
        {
            auto lock = kb.Lock();
            kb.Memory().info[35] = k.deviceMaximum;
        }
        // Another profile's block written earlier does not count.
        ASSERT_EQ(WriteBlock(kb, c.channel, 2, 80, 150), 1);
        ASSERT_EQ(WriteBlock(kb, c.channel, 1, k.blockFrames, 240), 1);
        ASSERT_EQ(c.channel.BeginScreenUpload(), 1);
        const auto image = Image(k.uploaded);
        EXPECT_EQ(c.channel.UploadScreenData(image.data(), uint32_t(image.size()), nullptr), k.result);

        auto lock = kb.Lock();
        const auto& m = kb.Memory();
        EXPECT_EQ(sim::ViewScreenInterval(m), 240);
        EXPECT_EQ(m.screen.size(), k.stored * kPadded);
        for (size_t f = 0; f < k.stored; ++f) {
            const auto frame = sim::ViewScreenFrame(m, int(f));
            ASSERT_EQ(frame.size(), kFrame);
            EXPECT_TRUE(std::equal(frame.begin(), frame.end(), image.begin() + f * kPadded)) << f;
            EXPECT_TRUE(sim::ScreenPadIsFilled(m, int(f)));
        }
        EXPECT_TRUE(sim::ViewScreenFrame(m, int(k.stored)).empty());
    }
}

TEST(EmulatedKeyboardScreen, EachBeginStartsANewImage) {
    SimFixture fixture;
    Emulator& kb = fixture.Plug(ProductKind::KeyboardCable);
    Channel c(kb);
    ASSERT_EQ(WriteBlock(kb, c.channel, 0, 1, 100), 1);
    ASSERT_EQ(c.channel.BeginScreenUpload(), 1);
    auto image = Image(1);
    ASSERT_EQ(c.channel.UploadScreenData(image.data(), uint32_t(image.size()), nullptr), 1);
    ASSERT_EQ(c.channel.BeginScreenUpload(), 1);
    {
        auto lock = kb.Lock();
        EXPECT_EQ(kb.Memory().screenBegins, 2);
        EXPECT_TRUE(kb.Memory().screen.empty());
        EXPECT_FALSE(sim::ScreenPadIsFilled(kb.Memory(), 0));
    }
    // Half a frame: the view has no frame 0, one pixel is there.
    image.resize(112);
    ASSERT_EQ(c.channel.UploadScreenData(image.data(), uint32_t(image.size()), nullptr), 1);
    auto lock = kb.Lock();
    EXPECT_TRUE(sim::ViewScreenFrame(kb.Memory(), 0).empty());
    EXPECT_EQ(sim::ViewScreenPixel(kb.Memory(), 0, 0, 1), uint16_t(image[2] << 8 | image[3]));
    EXPECT_FALSE(sim::ViewScreenPixel(kb.Memory(), 0, 0, 56).has_value());
}

TEST(EmulatedKeyboardScreen, PixelsPadAndPeekShowWhatWasUploaded) {
    SimFixture fixture;
    Emulator& kb = fixture.Plug(ProductKind::KeyboardCable);
    Channel c(kb);
    ASSERT_EQ(WriteBlock(kb, c.channel, 0, 2, 0x1234), 1);
    ASSERT_EQ(c.channel.BeginScreenUpload(), 1);
    auto image = Image(2);
    image[kPadded + kFrame + 5] = 0xFE;  // one pad byte of frame 1 is not 0xFF
    ASSERT_EQ(c.channel.UploadScreenData(image.data(), uint32_t(image.size()), nullptr), 1);
    {
        auto lock = kb.Lock();
        const auto& m = kb.Memory();
        EXPECT_TRUE(sim::ScreenPadIsFilled(m, 0));
        EXPECT_FALSE(sim::ScreenPadIsFilled(m, 1));
        const size_t at = kPadded + 2 * (134 * 240 + 239);  // last pixel of frame 1
        EXPECT_EQ(sim::ViewScreenPixel(m, 1, 134, 239), uint16_t(image[at] << 8 | image[at + 1]));
        EXPECT_FALSE(sim::ViewScreenPixel(m, 1, 135, 0).has_value());
        EXPECT_EQ(sim::ScreenFramesTaken(m), 2);
        EXPECT_EQ(sim::ViewScreenInterval(m), 0x1234);
    }
    std::string reply;
    ASSERT_TRUE(sim::KeyboardCommandLine(kb, "peek keyboard frame 1", &reply));
    EXPECT_EQ(reply.rfind("frame 1 taken 2 interval 4660 pad open pixels ", 0), 0u) << reply.substr(0, 80);
    EXPECT_EQ(reply.size(), std::string("frame 1 taken 2 interval 4660 pad open pixels ").size() + 2 * kFrame);
    ASSERT_TRUE(sim::KeyboardCommandLine(kb, "peek keyboard frame 2", &reply));
    EXPECT_EQ(reply, "frame 2 taken 2 interval 4660 pad open missing");
}

}  // namespace
