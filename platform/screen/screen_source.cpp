#include "platform/screen/screen_source.h"

#include <chrono>
#include <mutex>

#include "platform/screen/x11_screen_source.h"

namespace tavrik::screen {

std::uint32_t AverageColour(const std::vector<std::uint32_t>& pixels) {
    if (pixels.empty()) return 0;
    std::uint64_t r = 0, g = 0, b = 0;
    for (std::uint32_t p : pixels) {
        r += (p >> 16) & 0xFF;
        g += (p >> 8) & 0xFF;
        b += p & 0xFF;
    }
    const std::uint64_t n = pixels.size();
    return static_cast<std::uint32_t>((r / n) | ((g / n) << 8) | ((b / n) << 16));
}

std::uint32_t CaptureAverageColour(ScreenSource& source, int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    std::vector<std::uint32_t> pixels;
    if (!source.Capture(x, y, width, height, pixels)) return 0;
    return AverageColour(pixels);
}

std::uint32_t CaptureScreenCentreColour(ScreenSource& source) {
    const ScreenSize size = source.Size();
    return CaptureAverageColour(source, size.width / 2 - kCentreSquare / 2, size.height / 2 - kCentreSquare / 2,
                                kCentreSquare, kCentreSquare);
}

namespace {

class NoScreen : public ScreenSource {
public:
    ScreenSize Size() override { return {}; }
    bool Capture(int, int, int, int, std::vector<std::uint32_t>& pixels) override {
        pixels.clear();
        return false;
    }
};

std::mutex& SourceMutex() {
    static std::mutex m;
    return m;
}

std::shared_ptr<ScreenSource>& Installed() {
    static std::shared_ptr<ScreenSource> source;
    return source;
}

}  // namespace

std::shared_ptr<ScreenSource> CurrentScreenSource() {
    std::lock_guard lock(SourceMutex());
    auto& source = Installed();
    if (!source) {
        // The screen-colour effect asks every few milliseconds: without a
        // display, try again only now and then.
        static std::chrono::steady_clock::time_point next_try{};
        const auto now = std::chrono::steady_clock::now();
        if (now < next_try) return std::make_shared<NoScreen>();
        std::unique_ptr<ScreenSource> x = OpenX11ScreenSource();
        if (!x) {
            next_try = now + std::chrono::seconds(5);
            return std::make_shared<NoScreen>();
        }
        source = std::move(x);
    }
    return source;
}

void SetScreenSource(std::shared_ptr<ScreenSource> source) {
    std::lock_guard lock(SourceMutex());
    Installed() = std::move(source);
}

}  // namespace tavrik::screen
