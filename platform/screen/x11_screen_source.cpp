#include "platform/screen/x11_screen_source.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <mutex>

#include "platform/screen/x_error_trap.h"

namespace tavrik::screen {
namespace {

// Shifts a masked channel of a pixel down to 8 bits.
struct Channel {
    unsigned long mask = 0;
    int shift = 0;  // position of the lowest bit
    int bits = 0;

    explicit Channel(unsigned long m = 0) : mask(m) {
        if (!m) return;
        while (!((m >> shift) & 1)) ++shift;
        while ((m >> (shift + bits)) & 1) ++bits;
    }
    std::uint32_t Get(unsigned long pixel) const {
        if (!bits) return 0;
        unsigned long v = (pixel & mask) >> shift;
        if (bits >= 8) return static_cast<std::uint32_t>(v >> (bits - 8));
        return static_cast<std::uint32_t>((v * 255) / ((1ul << bits) - 1));
    }
};

class X11ScreenSource : public ScreenSource {
public:
    explicit X11ScreenSource(Display* display) : display_(display) {
        screen_ = DefaultScreen(display_);
        root_ = RootWindow(display_, screen_);
        visual_ = DefaultVisual(display_, screen_);
        depth_ = DefaultDepth(display_, screen_);
        red_ = Channel(visual_->red_mask);
        green_ = Channel(visual_->green_mask);
        blue_ = Channel(visual_->blue_mask);
        int major = 0, minor = 0;
        Bool pixmaps = False;
        shm_available_ = XShmQueryVersion(display_, &major, &minor, &pixmaps);
    }

    ~X11ScreenSource() override {
        DropShm();
        XCloseDisplay(display_);
    }

    bool UsesShm() {
        std::lock_guard lock(mutex_);
        return shm_available_;
    }

    ScreenSize Size() override {
        std::lock_guard lock(mutex_);
        XWindowAttributes attrs{};
        if (!XGetWindowAttributes(display_, root_, &attrs)) return {};
        return {attrs.width, attrs.height};
    }

    bool Capture(int x, int y, int width, int height, std::vector<std::uint32_t>& pixels) override {
        std::lock_guard lock(mutex_);
        pixels.clear();
        if (width <= 0 || height <= 0) return false;
        XWindowAttributes attrs{};
        if (!XGetWindowAttributes(display_, root_, &attrs)) return false;
        pixels.assign(static_cast<std::size_t>(width) * height, 0);
        // Only the part on the screen is read; the rest stays black.
        const int x0 = std::max(x, 0), y0 = std::max(y, 0);
        const int x1 = std::min(x + width, attrs.width), y1 = std::min(y + height, attrs.height);
        if (x0 >= x1 || y0 >= y1) return true;
        const int w = x1 - x0, h = y1 - y0;

        XImage* image = nullptr;
        bool owned = false;
        if (shm_available_ && PrepareShm(w, h)) {
            tavrik::x11::XErrorTrap trap(display_);
            if (XShmGetImage(display_, root_, shm_image_, x0, y0, AllPlanes) && !trap.Failed()) {
                image = shm_image_;
            }
        }
        if (!image) {
            tavrik::x11::XErrorTrap trap(display_);
            image = XGetImage(display_, root_, x0, y0, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes,
                              ZPixmap);
            if (trap.Failed() && image) {
                XDestroyImage(image);
                image = nullptr;
            }
            owned = image != nullptr;
        }
        if (!image) {
            pixels.clear();
            return false;
        }
        for (int row = 0; row < h; ++row) {
            std::uint32_t* out = &pixels[static_cast<std::size_t>(y0 - y + row) * width + (x0 - x)];
            for (int col = 0; col < w; ++col) {
                const unsigned long p = XGetPixel(image, col, row);
                out[col] = (red_.Get(p) << 16) | (green_.Get(p) << 8) | blue_.Get(p);
            }
        }
        if (owned) XDestroyImage(image);
        return true;
    }

private:
    // Keeps one shared image of the last size asked for; most callers ask
    // for the same square every time.
    bool PrepareShm(int w, int h) {
        if (shm_image_ && shm_image_->width == w && shm_image_->height == h) return true;
        DropShm();
        shm_info_ = XShmSegmentInfo{};
        XImage* image = XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, nullptr, &shm_info_,
                                        static_cast<unsigned>(w), static_cast<unsigned>(h));
        if (!image) {
            shm_available_ = false;
            return false;
        }
        shm_info_.shmid =
            shmget(IPC_PRIVATE, static_cast<std::size_t>(image->bytes_per_line) * image->height, IPC_CREAT | 0600);
        if (shm_info_.shmid < 0) {
            XDestroyImage(image);
            shm_available_ = false;
            return false;
        }
        shm_info_.shmaddr = image->data = static_cast<char*>(shmat(shm_info_.shmid, nullptr, 0));
        shm_info_.readOnly = False;
        bool attached = false;
        if (shm_info_.shmaddr != reinterpret_cast<char*>(-1)) {
            tavrik::x11::XErrorTrap trap(display_);
            attached = XShmAttach(display_, &shm_info_) && !trap.Failed();
        }
        // Marked for removal now, so the segment goes when both sides detach
        // even if this process ends abruptly.
        shmctl(shm_info_.shmid, IPC_RMID, nullptr);
        if (!attached) {
            // A server on another machine cannot see our memory.
            if (shm_info_.shmaddr != reinterpret_cast<char*>(-1)) shmdt(shm_info_.shmaddr);
            image->data = nullptr;
            XDestroyImage(image);
            shm_info_ = XShmSegmentInfo{};
            shm_available_ = false;
            return false;
        }
        shm_image_ = image;
        return true;
    }

    void DropShm() {
        if (!shm_image_) return;
        {
            tavrik::x11::XErrorTrap trap(display_);
            XShmDetach(display_, &shm_info_);
        }
        shmdt(shm_info_.shmaddr);
        shm_image_->data = nullptr;
        XDestroyImage(shm_image_);
        shm_image_ = nullptr;
    }

    std::mutex mutex_;
    Display* display_;
    int screen_ = 0;
    Window root_ = 0;
    Visual* visual_ = nullptr;
    int depth_ = 0;
    Channel red_, green_, blue_;
    bool shm_available_ = false;
    XImage* shm_image_ = nullptr;
    XShmSegmentInfo shm_info_{};
};

}  // namespace

std::unique_ptr<ScreenSource> OpenX11ScreenSource(const std::string& display, std::string* error) {
    XInitThreads();
    Display* d = XOpenDisplay(display.empty() ? nullptr : display.c_str());
    if (!d) {
        if (error)
            *error = "cannot open X display '" + (display.empty() ? std::string(XDisplayName(nullptr)) : display) + "'";
        return nullptr;
    }
    return std::make_unique<X11ScreenSource>(d);
}

bool UsesSharedMemory(const ScreenSource& source) {
    auto* x = dynamic_cast<const X11ScreenSource*>(&source);
    return x && const_cast<X11ScreenSource*>(x)->UsesShm();
}

}  // namespace tavrik::screen
