#include "keyboard/screen_upload_image.h"

#include <algorithm>

uint16_t PackRgb565(ScreenPixel p) {
    return static_cast<uint16_t>((p.red >> 3) << 11 | (p.green >> 2) << 5 | (p.blue >> 3));
}

size_t ScreenFrameLength(int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    return size_t(width) * size_t(height) * 2;
}

size_t PaddedScreenFrameLength(int width, int height) {
    return (ScreenFrameLength(width, height) + kScreenPadUnit - 1) / kScreenPadUnit * kScreenPadUnit;
}

std::vector<uint8_t> BuildScreenUploadImage(const std::vector<ScreenFramePixels>& frames, int width, int height) {
    const size_t length = ScreenFrameLength(width, height);
    const size_t padded = PaddedScreenFrameLength(width, height);
    const size_t pixels = length / 2;
    std::vector<uint8_t> image(padded * frames.size(), 0xFF);
    for (size_t f = 0; f < frames.size(); ++f) {
        uint8_t* out = image.data() + f * padded;
        const size_t given = std::min(pixels, frames[f].size());
        for (size_t i = 0; i < pixels; ++i) {
            const uint16_t v = i < given ? PackRgb565(frames[f][i]) : 0;
            out[2 * i] = uint8_t(v >> 8);
            out[2 * i + 1] = uint8_t(v & 0xFF);
        }
    }
    return image;
}

std::string ScreenUploadImageText(const std::vector<uint8_t>& image) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(image.size() * 2);
    for (uint8_t b : image) {
        text += digits[b >> 4];
        text += digits[b & 0x0F];
    }
    return text;
}
