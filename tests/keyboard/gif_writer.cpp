#include "tests/keyboard/gif_writer.h"

#include <fstream>

namespace kbtest {

namespace {

constexpr int kLevels = 6;
constexpr int kStep = 51;
constexpr int kClearCode = 256;
constexpr int kEndCode = 257;
constexpr int kCodeBits = 9;
// Literal codes between clear codes: the decoder's table never grows past
// 9-bit codes.
constexpr int kCodesPerClear = 100;

uint8_t Level(uint8_t channel) { return static_cast<uint8_t>((channel + kStep / 2) / kStep); }

uint8_t PaletteIndex(const GifPixel& p) {
    return static_cast<uint8_t>(Level(p.red) * kLevels * kLevels + Level(p.green) * kLevels + Level(p.blue));
}

void Put16(std::vector<uint8_t>& out, int value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

class BitWriter {
public:
    void Write(int code) {
        buffer_ |= static_cast<uint32_t>(code) << count_;
        count_ += kCodeBits;
        while (count_ >= 8) {
            bytes_.push_back(static_cast<uint8_t>(buffer_ & 0xFF));
            buffer_ >>= 8;
            count_ -= 8;
        }
    }
    std::vector<uint8_t> Finish() {
        if (count_ > 0) bytes_.push_back(static_cast<uint8_t>(buffer_ & 0xFF));
        buffer_ = 0;
        count_ = 0;
        return std::move(bytes_);
    }

private:
    uint32_t buffer_ = 0;
    int count_ = 0;
    std::vector<uint8_t> bytes_;
};

}  // namespace

bool WriteGif(const std::filesystem::path& path, int width, int height, const std::vector<GifFrame>& frames,
              int delayCentiseconds) {
    std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    Put16(out, width);
    Put16(out, height);
    out.push_back(0xF7);  // global colour table of 256 entries, 8 bits per channel
    out.push_back(0);
    out.push_back(0);
    for (int i = 0; i < 256; ++i) {
        const int index = i < kLevels * kLevels * kLevels ? i : 0;
        out.push_back(static_cast<uint8_t>(index / (kLevels * kLevels) * kStep));
        out.push_back(static_cast<uint8_t>(index / kLevels % kLevels * kStep));
        out.push_back(static_cast<uint8_t>(index % kLevels * kStep));
    }
    // Loop forever.
    const uint8_t loop[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
    out.insert(out.end(), std::begin(loop), std::end(loop));
    for (const GifFrame& frame : frames) {
        out.insert(out.end(), {0x21, 0xF9, 4, 0x04});  // graphic control: keep the frame
        Put16(out, delayCentiseconds);
        out.insert(out.end(), {0, 0});
        out.push_back(0x2C);
        Put16(out, 0);
        Put16(out, 0);
        Put16(out, width);
        Put16(out, height);
        out.push_back(0);
        out.push_back(8);  // minimum code size
        BitWriter bits;
        for (size_t i = 0; i < frame.size(); ++i) {
            if (i % kCodesPerClear == 0) bits.Write(kClearCode);
            bits.Write(PaletteIndex(frame[i]));
        }
        bits.Write(kEndCode);
        const std::vector<uint8_t> data = bits.Finish();
        for (size_t at = 0; at < data.size(); at += 255) {
            const size_t n = std::min<size_t>(255, data.size() - at);
            out.push_back(static_cast<uint8_t>(n));
            out.insert(out.end(), data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(at + n));
        }
        out.push_back(0);
    }
    out.push_back(0x3B);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

}  // namespace kbtest
