// Packing of the screen upload image: RGB565 values, frame and padded
// lengths, the layout of frames and pad, and its text form.
#include <gtest/gtest.h>

#include "keyboard/screen_upload_image.h"

namespace {

TEST(ScreenUploadImage, PacksColoursAsRgb565) {
    const struct {
        ScreenPixel pixel;
        uint16_t packed;
    } cases[] = {
        {{255, 0, 0}, 0xF800},
        {{0, 255, 0}, 0x07E0},
        {{0, 0, 255}, 0x001F},
        {{255, 255, 255}, 0xFFFF},
        {{1, 1, 1}, 0x0000},
        // The low bits of each channel are dropped, not rounded.
        {{0x17, 0x07, 0x0F}, (0x17 >> 3) << 11 | (0x07 >> 2) << 5 | (0x0F >> 3)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PackRgb565(c.pixel), c.packed)
            << int(c.pixel.red) << ' ' << int(c.pixel.green) << ' ' << int(c.pixel.blue);
}

TEST(ScreenUploadImage, FramesArePaddedToMultiplesOf32768) {
    const struct {
        int width, height;
        size_t length, padded;
    } cases[] = {
        {240, 135, 64800, 65536}, {128, 128, 32768, 32768}, {1, 1, 2, 32768}, {0, 0, 0, 0},
        {-5, 10, 0, 0},           {129, 128, 33024, 65536},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        EXPECT_EQ(ScreenFrameLength(c.width, c.height), c.length);
        EXPECT_EQ(PaddedScreenFrameLength(c.width, c.height), c.padded);
        const ScreenFramePixels frame(size_t(std::max(c.width, 0) * std::max(c.height, 0)), {255, 0, 0});
        EXPECT_EQ(BuildScreenUploadImage({frame, frame}, c.width, c.height).size(), 2 * c.padded);
    }
}

TEST(ScreenUploadImage, PixelsGoInRowOrderHighByteFirstThenPad) {
    const int width = 240, height = 135;
    std::vector<ScreenFramePixels> frames(2, ScreenFramePixels(size_t(width * height)));
    for (int f = 0; f < 2; ++f)
        for (int r = 0; r < height; ++r)
            for (int c = 0; c < width; ++c)
                frames[f][size_t(r * width + c)] = {uint8_t(c + f), uint8_t(r * 2), uint8_t(c ^ r)};
    const auto image = BuildScreenUploadImage(frames, width, height);
    ASSERT_EQ(image.size(), 2u * 65536);
    for (int f = 0; f < 2; ++f)
        for (int r = 0; r < height; ++r)
            for (int c = 0; c < width; ++c) {
                const uint16_t v = PackRgb565(frames[f][size_t(r * width + c)]);
                const size_t at = size_t(f) * 65536 + 2 * size_t(r * width + c);
                ASSERT_EQ(image[at], v >> 8) << f << ' ' << r << ' ' << c;
                ASSERT_EQ(image[at + 1], v & 0xFF) << f << ' ' << r << ' ' << c;
            }
    for (int f = 0; f < 2; ++f)
        for (size_t i = 64800; i < 65536; ++i) ASSERT_EQ(image[size_t(f) * 65536 + i], 0xFF) << f << ' ' << i;
}

TEST(ScreenUploadImage, ShortFramesPackBlackAndTheTextHasTwoDigitsPerByte) {
    const auto image = BuildScreenUploadImage({ScreenFramePixels{{0, 0, 255}}}, 2, 1);
    ASSERT_EQ(image.size(), 32768u);
    EXPECT_EQ(image[0], 0x00);
    EXPECT_EQ(image[1], 0x1F);
    EXPECT_EQ(image[2], 0x00);
    EXPECT_EQ(image[3], 0x00);

    const std::string text = ScreenUploadImageText(BuildScreenUploadImage({ScreenFramePixels{{255, 0, 0}}}, 1, 1));
    ASSERT_EQ(text.size(), 2u * 32768);
    EXPECT_EQ(text.substr(0, 4), "f800");
    EXPECT_EQ(text.find_first_not_of('f', 4), std::string::npos);
    EXPECT_EQ(ScreenUploadImageText({0x0A, 0xB0}), "0ab0");
}

}  // namespace
