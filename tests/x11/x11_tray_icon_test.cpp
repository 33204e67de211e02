#include <gtest/gtest.h>

#include "platform/ui/x11/x11_backend_impl.h"

#include <X11/Xutil.h>
#include <poll.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os/debug_trace.h"
#include "platform/ui/x11/x11_backend.h"
#include "tests/x11/tray_manager.h"
#include "tests/x11/x_display.h"
#include "tests/x11/x_driver.h"

namespace tavrik::x11 {
namespace {

using DuiLib::BackendButton;
using DuiLib::BackendEvent;
using DuiLib::BackendEventType;

struct TraySink : DuiLib::IBackendWindowSink {
    std::vector<BackendEvent> events;
    void OnBackendEvent(const BackendEvent& e) override { events.push_back(e); }
};

class X11TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        TAVRIK_REQUIRE_X_DISPLAY();
        auto opened = OpenX11Backend();
        ASSERT_NE(opened, nullptr);
        backend_.reset(static_cast<X11Backend*>(opened.release()));
        driver_ = std::make_unique<test::XDriver>();
    }
    void Pump(test::TestTrayManager* tray = nullptr) {
        pollfd p{backend_->GetEventFd(), POLLIN, 0};
        poll(&p, 1, 5);
        backend_->ProcessEvents();
        if (tray) tray->Pump();
    }
    static cairo_surface_t* Icon() {
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 16, 16);
        cairo_t* cr = cairo_create(s);
        cairo_set_source_rgb(cr, 0, 0.6, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        return s;
    }

    std::unique_ptr<X11Backend> backend_;
    std::unique_ptr<test::XDriver> driver_;
};

TEST_F(X11TrayIconTest, WithoutATrayTheIconIsNotShownAndNothingBreaks) {
    ASSERT_EQ(backend_->TrayManager(), 0u) << "another tray owns the selection";
    TraySink sink;
    auto icon = backend_->CreateTrayIcon(&sink);
    cairo_surface_t* picture = Icon();
    icon->SetIcon(picture);
    cairo_surface_destroy(picture);
    icon->SetTooltip(L"Q580-RGB-PRO");
    icon->SetVisible(true);
    for (int i = 0; i < 20; ++i) Pump();
    EXPECT_FALSE(icon->IsShown());
    EXPECT_FALSE(driver_->Viewable(static_cast<X11TrayIcon*>(icon.get())->xid()));
}

TEST_F(X11TrayIconTest, MissingTrayIsLoggedOnce) {
    ASSERT_EQ(backend_->TrayManager(), 0u) << "another tray owns the selection";
    std::vector<std::string> lines;
    auto previous = win::SetPlatformLogSink([&](std::string_view line) { lines.emplace_back(line); });
    TraySink sink;
    auto first = backend_->CreateTrayIcon(&sink);
    first->SetVisible(true);
    first->SetVisible(false);
    first->SetVisible(true);
    auto second = backend_->CreateTrayIcon(&sink);
    second->SetVisible(true);
    win::SetPlatformLogSink(previous);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("no system tray"), std::string::npos) << lines[0];
}

TEST_F(X11TrayIconTest, DocksInARunningTrayAndReportsClicksInScreenCoordinates) {
    test::TestTrayManager tray;
    ASSERT_TRUE(tray.ok());
    TraySink sink;
    auto icon = backend_->CreateTrayIcon(&sink);
    auto* x_icon = static_cast<X11TrayIcon*>(icon.get());
    cairo_surface_t* picture = Icon();
    icon->SetIcon(picture);
    cairo_surface_destroy(picture);
    icon->SetVisible(true);
    ASSERT_TRUE(test::PumpUntil([&] { Pump(&tray); }, [&] { return icon->IsShown(); }));
    ASSERT_EQ(tray.Docked(), std::vector<Window>{x_icon->xid()});
    ASSERT_TRUE(test::PumpUntil([&] { Pump(&tray); }, [&] { return driver_->Viewable(x_icon->xid()); }));

    // The tray sits at (900, 0); the icon at (0, 4) inside it, 24 x 24.
    driver_->Click(910, 14, 1);
    driver_->Click(912, 16, 3);
    ASSERT_TRUE(test::PumpUntil([&] { Pump(&tray); },
                                [&] {
                                    int ups = 0;
                                    for (const auto& e : sink.events) ups += e.type == BackendEventType::ButtonUp;
                                    return ups == 2;
                                }));
    std::vector<std::pair<BackendEventType, BackendButton>> clicks;
    for (const auto& e : sink.events)
        if (e.type == BackendEventType::ButtonDown || e.type == BackendEventType::ButtonUp)
            clicks.emplace_back(e.type, e.button);
    const std::vector<std::pair<BackendEventType, BackendButton>> expected{
        {BackendEventType::ButtonDown, BackendButton::Left},
        {BackendEventType::ButtonUp, BackendButton::Left},
        {BackendEventType::ButtonDown, BackendButton::Right},
        {BackendEventType::ButtonUp, BackendButton::Right}};
    EXPECT_EQ(clicks, expected);
    for (const auto& e : sink.events) {
        if (e.type == BackendEventType::ButtonUp && e.button == BackendButton::Right) {
            EXPECT_EQ(e.x, 912);
            EXPECT_EQ(e.y, 16);
        }
    }

    // Hidden, the icon leaves the tray.
    icon->SetVisible(false);
    EXPECT_FALSE(icon->IsShown());
    EXPECT_TRUE(test::PumpUntil([&] { Pump(&tray); }, [&] { return !driver_->Viewable(x_icon->xid()); }));
}

TEST_F(X11TrayIconTest, IconWaitingWithoutATrayDocksWhenOneStarts) {
    TraySink sink;
    auto icon = backend_->CreateTrayIcon(&sink);
    icon->SetVisible(true);
    for (int i = 0; i < 5; ++i) Pump();
    ASSERT_FALSE(icon->IsShown());
    test::TestTrayManager tray;
    EXPECT_TRUE(test::PumpUntil([&] { Pump(&tray); }, [&] { return icon->IsShown(); }));
}

TEST_F(X11TrayIconTest, TrayThatGoesAwayUndocksTheIcon) {
    TraySink sink;
    auto icon = backend_->CreateTrayIcon(&sink);
    auto tray = std::make_unique<test::TestTrayManager>();
    icon->SetVisible(true);
    ASSERT_TRUE(test::PumpUntil([&] { Pump(tray.get()); }, [&] { return icon->IsShown(); }));
    tray.reset();
    EXPECT_TRUE(test::PumpUntil([&] { Pump(); }, [&] { return !icon->IsShown(); }));
}

// The icon stands on the tray's own ground: a tray that names an alpha visual
// gets a window of it, clear where the picture is; another one shows its
// background through where the picture is clear. No square of another
// colour around the picture.
TEST_F(X11TrayIconTest, TheIconIsDrawnOnTheTraysGround) {
    for (const bool alpha : {false, true}) {
        SCOPED_TRACE(alpha ? "alpha tray" : "plain tray");
        test::TestTrayManager tray(alpha);
        ASSERT_TRUE(tray.ok());
        ASSERT_EQ(tray.alphaVisual() != 0, alpha) << "the display has no depth-32 visual";
        TraySink sink;
        auto icon = backend_->CreateTrayIcon(&sink);
        auto* x_icon = static_cast<X11TrayIcon*>(icon.get());
        // A green disc on a clear square.
        cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 24, 24);
        cairo_t* cr = cairo_create(picture);
        cairo_set_source_rgb(cr, 0, 0.6, 0);
        cairo_arc(cr, 12, 12, 8, 0, 6.3);
        cairo_fill(cr);
        cairo_destroy(cr);
        icon->SetIcon(picture);
        cairo_surface_destroy(picture);
        icon->SetVisible(true);
        ASSERT_TRUE(test::PumpUntil([&] { Pump(&tray); }, [&] { return icon->IsShown(); }));
        ASSERT_TRUE(test::PumpUntil([&] { Pump(&tray); }, [&] { return driver_->Viewable(x_icon->xid()); }));
        Display* d = driver_->display();
        XWindowAttributes attrs{};
        ASSERT_TRUE(XGetWindowAttributes(d, x_icon->xid(), &attrs));
        EXPECT_EQ(attrs.depth, alpha ? 32 : DefaultDepth(d, DefaultScreen(d)));
        EXPECT_EQ(XVisualIDFromVisual(attrs.visual),
                  alpha ? tray.alphaVisual() : XVisualIDFromVisual(DefaultVisual(d, DefaultScreen(d))));
        // The icon's own pixels (with their alpha, on an alpha window) where
        // the disc is and where it is not.
        unsigned long centre = 0, corner = 0;
        ASSERT_TRUE(test::PumpUntil([&] { Pump(&tray); },
                                    [&] {
                                        XImage* image = XGetImage(d, x_icon->xid(), 0, 0, 24, 24, AllPlanes, ZPixmap);
                                        if (!image) return false;
                                        centre = XGetPixel(image, 12, 12);
                                        corner = XGetPixel(image, 1, 1);
                                        XDestroyImage(image);
                                        return (centre & 0xFFFFFF) == 0x009900;
                                    }))
            << std::hex << centre;
        if (alpha) {
            EXPECT_EQ(centre >> 24, 0xFFu);
            EXPECT_EQ(corner, 0u) << std::hex << corner;
        } else {
            // The test tray's background.
            EXPECT_EQ(corner & 0xFFFFFF, 0x808080u) << std::hex << corner;
        }
        icon->SetVisible(false);
    }
}

}  // namespace
}  // namespace tavrik::x11
