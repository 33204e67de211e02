#include "platform/ui/ico_cursor.h"

#include "platform/files/folders.h"
#include "platform/ui/image_loader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <string>
#include <vector>

namespace DuiLib {

namespace {

constexpr size_t kHeaderBytes = 6;
constexpr size_t kEntryBytes = 16;
constexpr size_t kBitmapHeaderBytes = 40;
constexpr uint16_t kTypeIcon = 1;
constexpr uint16_t kTypeCursor = 2;
constexpr uint32_t kBiRgb = 0;
// Far more than the largest entries need (a few of 256 x 256 pixels).
constexpr uintmax_t kIcoMaxFileBytes = 4u << 20;
constexpr std::string_view kPngSignature{"\x89PNG\r\n\x1a\n", 8};

uint16_t U16(std::span<const uint8_t> b, size_t at) { return uint16_t(b[at] | (b[at + 1] << 8)); }
uint32_t U32(std::span<const uint8_t> b, size_t at) {
    return uint32_t(b[at]) | (uint32_t(b[at + 1]) << 8) | (uint32_t(b[at + 2]) << 16) | (uint32_t(b[at + 3]) << 24);
}
int32_t I32(std::span<const uint8_t> b, size_t at) { return static_cast<int32_t>(U32(b, at)); }

struct Entry {
    int side = 0;  // the larger of width and height, for choosing
    uint16_t field1 = 0, field2 = 0;
    std::span<const uint8_t> data;
};

uint32_t Premultiplied(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
    auto mul = [a](uint8_t c) { return uint32_t((c * a + 127) / 255); };
    return (uint32_t(a) << 24) | (mul(r) << 16) | (mul(g) << 8) | mul(b);
}

bool DecodePng(std::span<const uint8_t> data, BackendCursorImage& out) {
    cairo_surface_t* s = LoadImageSurfaceUI(std::string(data.begin(), data.end()));
    if (!s) return false;
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    if (w <= 0 || h <= 0 || w > kIcoMaxSide || h > kIcoMaxSide) {
        cairo_surface_destroy(s);
        return false;
    }
    cairo_surface_flush(s);
    const unsigned char* pixels = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    out.width = w;
    out.height = h;
    out.pixels.resize(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(pixels + size_t(y) * size_t(stride));
        std::copy(row, row + w, out.pixels.begin() + std::ptrdiff_t(size_t(y) * size_t(w)));
    }
    cairo_surface_destroy(s);
    return true;
}

// A 32-bit bitmap entry: header, colour rows bottom first (blue, green, red,
// alpha), then the one-bit AND mask. The header's height counts both.
bool DecodeBitmap(std::span<const uint8_t> data, BackendCursorImage& out) {
    if (data.size() < kBitmapHeaderBytes) return false;
    const uint32_t headerSize = U32(data, 0);
    const int32_t width = I32(data, 4);
    const int32_t doubleHeight = I32(data, 8);
    const uint16_t bitCount = U16(data, 14);
    const uint32_t compression = U32(data, 16);
    if (headerSize < kBitmapHeaderBytes || headerSize > data.size()) return false;
    if (bitCount != 32 || compression != kBiRgb) return false;
    if (width <= 0 || width > kIcoMaxSide || doubleHeight <= 0 || doubleHeight % 2 != 0 ||
        doubleHeight / 2 > kIcoMaxSide)
        return false;
    const size_t w = size_t(width), h = size_t(doubleHeight / 2);
    const size_t colourBytes = w * h * 4;
    if (data.size() - headerSize < colourBytes) return false;
    const std::span<const uint8_t> colour = data.subspan(headerSize, colourBytes);
    const size_t maskStride = (w + 31) / 32 * 4;
    const std::span<const uint8_t> rest = data.subspan(headerSize + colourBytes);
    const bool hasMask = rest.size() >= maskStride * h;

    // Pictures from before per-pixel alpha leave alpha 0 everywhere and say
    // what is transparent through the mask alone.
    bool anyAlpha = false;
    for (size_t i = 3; i < colourBytes; i += 4) anyAlpha = anyAlpha || colour[i] != 0;
    if (!anyAlpha && !hasMask) return false;

    out.width = int(w);
    out.height = int(h);
    out.pixels.assign(w * h, 0);
    for (size_t y = 0; y < h; ++y) {
        const size_t sourceRow = h - 1 - y;
        for (size_t x = 0; x < w; ++x) {
            const size_t at = (sourceRow * w + x) * 4;
            uint8_t alpha = colour[at + 3];
            if (!anyAlpha) {
                const bool transparent = (rest[sourceRow * maskStride + x / 8] >> (7 - x % 8)) & 1;
                alpha = transparent ? 0 : 255;
            }
            out.pixels[y * w + x] = Premultiplied(alpha, colour[at + 2], colour[at + 1], colour[at]);
        }
    }
    return true;
}

bool DecodeEntry(const Entry& entry, BackendCursorImage& out) {
    const std::span<const uint8_t> d = entry.data;
    if (d.size() >= kPngSignature.size() && std::equal(kPngSignature.begin(), kPngSignature.end(), d.begin(),
                                                       [](char a, uint8_t b) { return uint8_t(a) == b; }))
        return DecodePng(d, out);
    return DecodeBitmap(d, out);
}

}  // namespace

bool DecodeIcoCursor(std::span<const uint8_t> bytes, BackendCursorImage& image) {
    if (bytes.size() < kHeaderBytes) return false;
    const uint16_t reserved = U16(bytes, 0), type = U16(bytes, 2), count = U16(bytes, 4);
    if (reserved != 0 || (type != kTypeIcon && type != kTypeCursor) || count == 0) return false;
    if (bytes.size() < kHeaderBytes + size_t(count) * kEntryBytes) return false;

    std::vector<Entry> entries;
    for (size_t i = 0; i < count; ++i) {
        const size_t at = kHeaderBytes + i * kEntryBytes;
        const int w = bytes[at] ? bytes[at] : kIcoMaxSide, h = bytes[at + 1] ? bytes[at + 1] : kIcoMaxSide;
        const uint32_t size = U32(bytes, at + 8), offset = U32(bytes, at + 12);
        if (offset > bytes.size() || size > bytes.size() - offset || size == 0) continue;
        entries.push_back({std::max(w, h), U16(bytes, at + 4), U16(bytes, at + 6), bytes.subspan(offset, size)});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.side > b.side; });
    for (const Entry& entry : entries) {
        BackendCursorImage decoded;
        if (!DecodeEntry(entry, decoded)) continue;
        if (type == kTypeCursor) {
            decoded.hotX = std::min<int>(entry.field1, decoded.width - 1);
            decoded.hotY = std::min<int>(entry.field2, decoded.height - 1);
        } else {
            decoded.hotX = decoded.width / 2;
            decoded.hotY = decoded.height / 2;
        }
        image = std::move(decoded);
        return true;
    }
    return false;
}

std::shared_ptr<const BackendCursorImage> LoadIcoCursor(std::wstring_view path) {
    const std::filesystem::path file = win::ToFsPath(path);
    std::error_code error;
    const bool regular = std::filesystem::is_regular_file(file, error);
    const uintmax_t size = regular ? std::filesystem::file_size(file, error) : 0;
    if (!regular || error || size > kIcoMaxFileBytes) return nullptr;
    std::ifstream in(file, std::ios::binary);
    if (!in) return nullptr;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()))) return nullptr;
    auto image = std::make_shared<BackendCursorImage>();
    if (!DecodeIcoCursor(bytes, *image)) return nullptr;
    return image;
}

}  // namespace DuiLib
