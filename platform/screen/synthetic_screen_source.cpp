#include "platform/screen/synthetic_screen_source.h"

#include <algorithm>

namespace tavrik::screen {

SyntheticScreenSource::SyntheticScreenSource(int width, int height, std::uint32_t fill)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      picture_(static_cast<std::size_t>(width_) * height_, fill & 0xFFFFFF) {}

void SyntheticScreenSource::Fill(std::uint32_t rgb) {
    std::lock_guard lock(mutex_);
    std::fill(picture_.begin(), picture_.end(), rgb & 0xFFFFFF);
}

void SyntheticScreenSource::FillRect(int x, int y, int width, int height, std::uint32_t rgb) {
    std::lock_guard lock(mutex_);
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + width, width_), y1 = std::min(y + height, height_);
    for (int row = y0; row < y1; ++row)
        for (int col = x0; col < x1; ++col) picture_[static_cast<std::size_t>(row) * width_ + col] = rgb & 0xFFFFFF;
}

void SyntheticScreenSource::SetPicture(Picture picture) {
    std::lock_guard lock(mutex_);
    for (int row = 0; row < height_; ++row)
        for (int col = 0; col < width_; ++col)
            picture_[static_cast<std::size_t>(row) * width_ + col] = picture(col, row) & 0xFFFFFF;
}

void SyntheticScreenSource::SetFailing(bool failing) {
    std::lock_guard lock(mutex_);
    failing_ = failing;
}

int SyntheticScreenSource::CaptureCount() const {
    std::lock_guard lock(mutex_);
    return captures_;
}

ScreenSize SyntheticScreenSource::Size() {
    std::lock_guard lock(mutex_);
    return {width_, height_};
}

bool SyntheticScreenSource::Capture(int x, int y, int width, int height, std::vector<std::uint32_t>& pixels) {
    std::lock_guard lock(mutex_);
    ++captures_;
    pixels.clear();
    if (failing_ || width <= 0 || height <= 0) return false;
    pixels.assign(static_cast<std::size_t>(width) * height, 0);
    for (int row = 0; row < height; ++row) {
        const int sy = y + row;
        if (sy < 0 || sy >= height_) continue;
        for (int col = 0; col < width; ++col) {
            const int sx = x + col;
            if (sx < 0 || sx >= width_) continue;
            pixels[static_cast<std::size_t>(row) * width + col] = picture_[static_cast<std::size_t>(sy) * width_ + sx];
        }
    }
    return true;
}

}  // namespace tavrik::screen
