#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/screen/screen_source.h"

namespace tavrik::screen {

// A screen whose picture is a function of the pixel position, for tests of
// the code that samples the screen.  Thread safe: tests change the picture
// while a worker samples it.
class SyntheticScreenSource : public ScreenSource {
public:
    using Picture = std::function<std::uint32_t(int x, int y)>;

    SyntheticScreenSource(int width, int height, std::uint32_t fill = 0);

    // Whole screen one colour (0x00RRGGBB).
    void Fill(std::uint32_t rgb);
    // A rectangle of one colour on top of the current picture.
    void FillRect(int x, int y, int width, int height, std::uint32_t rgb);
    // Any picture.
    void SetPicture(Picture picture);
    // Makes every capture fail (a lost display), or work again.
    void SetFailing(bool failing);

    int CaptureCount() const;

    ScreenSize Size() override;
    bool Capture(int x, int y, int width, int height, std::vector<std::uint32_t>& pixels) override;

private:
    mutable std::mutex mutex_;
    int width_;
    int height_;
    std::vector<std::uint32_t> picture_;
    bool failing_ = false;
    int captures_ = 0;
};

}  // namespace tavrik::screen
