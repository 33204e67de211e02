#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace tavrik::screen {

struct ScreenSize {
    int width = 0;
    int height = 0;
};

// Somewhere to read the pixels of the screen from: the X server for the
// running program, a synthetic picture for tests.  Pixels are 0x00RRGGBB.
class ScreenSource {
public:
    virtual ~ScreenSource() = default;

    // Size of the primary screen in pixels; 0 x 0 when it cannot be known.
    virtual ScreenSize Size() = 0;

    // Reads the rectangle into `pixels`, row by row, width * height words.
    // Pixels of the rectangle that lie outside the screen read as black.
    // Returns false (and leaves `pixels` empty) when nothing can be read.
    virtual bool Capture(int x, int y, int width, int height, std::vector<std::uint32_t>& pixels) = 0;
};

// Average colour of the pixels as R | G << 8 | B << 16, each channel the
// truncated mean; 0 for no pixels.
std::uint32_t AverageColour(const std::vector<std::uint32_t>& pixels);

// Average colour of a screen rectangle (R | G << 8 | B << 16); 0 (black)
// when the rectangle is empty or the source cannot be read.
std::uint32_t CaptureAverageColour(ScreenSource& source, int x, int y, int width, int height);

// Side of the square at the centre of the screen that the screen-colour
// lighting follows.
inline constexpr int kCentreSquare = 100;

// Average colour of the 100 x 100 square at the centre of the primary
// screen, from (width / 2 - 50, height / 2 - 50).
std::uint32_t CaptureScreenCentreColour(ScreenSource& source);

// The process's screen source.  Until one is installed it is the X server
// named by DISPLAY, opened on first use; when there is none, a source that
// reads nothing (size 0 x 0, every capture fails).  Safe from any thread.
std::shared_ptr<ScreenSource> CurrentScreenSource();

// Installs the source that CurrentScreenSource() returns (tests install a
// synthetic one); null goes back to the X server.
void SetScreenSource(std::shared_ptr<ScreenSource> source);

}  // namespace tavrik::screen
