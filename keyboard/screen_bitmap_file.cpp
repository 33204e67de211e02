#include "keyboard/screen_bitmap_file.h"

#include <cstdio>
#include <memory>

#include "platform/files/folders.h"

namespace {

constexpr uint32_t kHeadersSize = 54;
constexpr uint32_t kInfoHeaderSize = 40;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

void Put16(uint8_t* at, uint16_t value) {
    at[0] = uint8_t(value & 0xFF);
    at[1] = uint8_t(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = uint8_t((value >> (8 * i)) & 0xFF);
}

}  // namespace

bool WriteBitmapFile(const ScreenBitmap& bitmap, const DuiLib::CDuiString& path) {
    const std::string shown = win::ToUtf8(path.str());
    const uint32_t imageSize = uint32_t(bitmap.RowBytes()) * uint32_t(bitmap.Rows());
    if (bitmap.pixels.size() < imageSize) {
        std::fprintf(stderr, "Failed to write bitmap data.\n");
        return false;
    }
    uint8_t fileHeader[14] = {'B', 'M'};
    Put32(fileHeader + 2, kHeadersSize + imageSize);
    Put32(fileHeader + 10, kHeadersSize);
    uint8_t infoHeader[kInfoHeaderSize] = {};
    Put32(infoHeader + 0, kInfoHeaderSize);
    Put32(infoHeader + 4, uint32_t(bitmap.width));
    Put32(infoHeader + 8, uint32_t(bitmap.height));
    Put16(infoHeader + 12, 1);
    Put16(infoHeader + 14, bitmap.bitsPerPixel);
    Put32(infoHeader + 20, imageSize);

    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(win::ToFsPath(path.str()).c_str(), "wb"));
    if (!file) {
        std::fprintf(stderr, "Could not create file: %s\n", shown.c_str());
        return false;
    }
    if (std::fwrite(fileHeader, 1, sizeof fileHeader, file.get()) != sizeof fileHeader) {
        std::fprintf(stderr, "Failed to write file header.\n");
        return false;
    }
    if (std::fwrite(infoHeader, 1, sizeof infoHeader, file.get()) != sizeof infoHeader) {
        std::fprintf(stderr, "Failed to write bitmap info header.\n");
        return false;
    }
    if (std::fwrite(bitmap.pixels.data(), 1, imageSize, file.get()) != imageSize || std::fclose(file.release()) != 0) {
        std::fprintf(stderr, "Failed to write bitmap data.\n");
        return false;
    }
    std::printf("Bitmap saved to: %s\n", shown.c_str());
    return true;
}
