#include <gtest/gtest.h>

#include "platform/ui/x11/x11_backend_impl.h"

#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <atomic>
#include <thread>
#include <vector>

#include "platform/screen/screen_source.h"
#include "platform/screen/x11_screen_source.h"
#include "platform/ui/x11/x11_backend.h"
#include "platform/screen/x_error_trap.h"
#include "tests/x11/tray_manager.h"
#include "tests/x11/x_display.h"
#include "tests/x11/x_driver.h"

namespace tavrik::x11 {
namespace {

using DuiLib::BackendButton;
using DuiLib::BackendEvent;
using DuiLib::BackendEventType;
using DuiLib::BackendRect;
using DuiLib::BackendShowCommand;
using DuiLib::BackendShowState;
using test::PumpUntil;

struct RecordingSink : DuiLib::IBackendWindowSink {
    std::vector<BackendEvent> events;
    void OnBackendEvent(const BackendEvent& e) override { events.push_back(e); }
    int Count(BackendEventType type) const {
        int n = 0;
        for (const auto& e : events) n += e.type == type;
        return n;
    }
    const BackendEvent* Last(BackendEventType type) const {
        for (auto it = events.rbegin(); it != events.rend(); ++it)
            if (it->type == type) return &*it;
        return nullptr;
    }
    std::u32string Text() const {
        std::u32string s;
        for (const auto& e : events)
            if (e.type == BackendEventType::Char) s += e.character;
        return s;
    }
};

cairo_surface_t* SolidPicture(int w, int h, double r, double g, double b) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, r, g, b);
    cairo_paint(cr);
    cairo_destroy(cr);
    return s;
}

class X11BackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        TAVRIK_REQUIRE_X_DISPLAY();
        std::string error;
        auto opened = OpenX11Backend({}, &error);
        ASSERT_NE(opened, nullptr) << error;
        backend_.reset(static_cast<X11Backend*>(opened.release()));
        driver_ = std::make_unique<test::XDriver>();
        ASSERT_TRUE(driver_->ok());
        // Park the pointer where no test window lies.
        driver_->MoveTo(5, 1015);
    }

    void Pump() {
        pollfd p{backend_->GetEventFd(), POLLIN, 0};
        poll(&p, 1, 10);
        backend_->ProcessEvents();
    }
    bool Until(const std::function<bool()>& done) {
        return PumpUntil([this] { Pump(); }, done);
    }
    // Settles: serves events until none came for a short while.
    void Settle() {
        for (int quiet = 0; quiet < 5;) {
            pollfd p{backend_->GetEventFd(), POLLIN, 0};
            if (poll(&p, 1, 10) > 0) {
                backend_->ProcessEvents();
                quiet = 0;
            } else {
                ++quiet;
            }
        }
    }

    X11Window* Open(const BackendRect& rect, RecordingSink& sink, DuiLib::IBackendWindow* owner = nullptr,
                    bool popup = false) {
        DuiLib::BackendWindowParams params;
        params.rect = rect;
        params.title = L"Tavrik test";
        params.owner = owner;
        params.popup = popup;
        windows_.push_back(backend_->CreateWindow(params, &sink));
        return static_cast<X11Window*>(windows_.back().get());
    }
    void ShowAndWait(X11Window* w, BackendShowCommand cmd = BackendShowCommand::Show) {
        w->Show(cmd);
        ASSERT_TRUE(Until([&] { return driver_->Viewable(w->xid()); }));
    }

    std::unique_ptr<X11Backend> backend_;
    std::unique_ptr<test::XDriver> driver_;
    std::vector<std::unique_ptr<DuiLib::IBackendWindow>> windows_;
};

TEST_F(X11BackendTest, WindowAppearsAtItsRectAndShowsWhatIsPresented) {
    RecordingSink sink;
    X11Window* w = Open({200, 150, 200 + 420, 150 + 310}, sink);
    ShowAndWait(w);
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(driver_->Geometry(w->xid(), x, y, width, height));
    EXPECT_EQ(x, 200);
    EXPECT_EQ(y, 150);
    EXPECT_EQ(width, 420);
    EXPECT_EQ(height, 310);
    EXPECT_EQ(sink.Count(BackendEventType::StateChanged), 1);
    EXPECT_EQ(driver_->Utf8Property(w->xid(), "_NET_WM_NAME"), "Tavrik test");

    // Before anything was presented the UI is asked to paint.
    ASSERT_TRUE(Until([&] { return sink.Count(kExposeEvent) > 0; }));

    cairo_surface_t* picture = SolidPicture(420, 310, 0.2, 0.4, 0.8);  // 0x3366CC
    w->Present(picture, {0, 0, 420, 310});
    cairo_surface_destroy(picture);
    auto screen = screen::OpenX11ScreenSource();
    ASSERT_NE(screen, nullptr);
    EXPECT_TRUE(Until([&] { return screen::CaptureAverageColour(*screen, 210, 160, 50, 50) == 0xCC6633u; }));

    // Covered and uncovered, the window repaints itself from its back
    // buffer without asking the UI again.
    const int exposes = sink.Count(kExposeEvent);
    {
        RecordingSink cover_sink;
        X11Window* cover = Open({180, 130, 180 + 300, 130 + 200}, cover_sink);
        ShowAndWait(cover, BackendShowCommand::ShowNoActivate);
        windows_.pop_back();
    }
    Settle();
    EXPECT_EQ(sink.Count(kExposeEvent), exposes);
    EXPECT_TRUE(Until([&] { return screen::CaptureAverageColour(*screen, 210, 160, 50, 50) == 0xCC6633u; }));

    // Only the dirty part of a new picture is shown.
    picture = SolidPicture(420, 310, 1, 0, 0);
    w->Present(picture, {0, 0, 100, 100});
    cairo_surface_destroy(picture);
    EXPECT_TRUE(Until([&] { return screen::CaptureAverageColour(*screen, 210, 160, 20, 20) == 0x0000FFu; }));
    EXPECT_EQ(screen::CaptureAverageColour(*screen, 400, 300, 20, 20), 0xCC6633u);
}

// A window drawn while hidden is on the screen with its picture as soon as
// it is mapped: the server paints it, before the program has served a single
// event (none is served here between the show and the look at the screen).
TEST_F(X11BackendTest, AWindowDrawnWhileHiddenIsMappedWithItsPicture) {
    RecordingSink sink;
    X11Window* w = Open({240, 180, 240 + 300, 180 + 200}, sink);
    auto screen = screen::OpenX11ScreenSource();
    ASSERT_NE(screen, nullptr);
    const auto noEvents = [] {};
    const struct {
        double r, g, b;
        std::uint32_t seen;
    } pictures[] = {{0.2, 0.4, 0.8, 0xCC6633u}, {0.0, 0.6, 0.2, 0x339900u}};
    for (const auto& p : pictures) {
        cairo_surface_t* picture = SolidPicture(300, 200, p.r, p.g, p.b);
        w->Present(picture, {0, 0, 300, 200});
        cairo_surface_destroy(picture);
        w->Show(BackendShowCommand::ShowNoActivate);
        ASSERT_TRUE(PumpUntil(noEvents, [&] { return driver_->Viewable(w->xid()); }));
        EXPECT_EQ(screen::CaptureAverageColour(*screen, 250, 190, 280, 180), p.seen) << "mapped without its picture";
        w->Show(BackendShowCommand::Hide);
        ASSERT_TRUE(PumpUntil(noEvents, [&] { return !driver_->Viewable(w->xid()); }));
    }
}

// The UI probe lists controls where they are on the screen: a window moved
// by the program lists them at its new place before anything is drawn again.
TEST_F(X11BackendTest, TheProbeFollowsAWindowMovedWithoutARepaint) {
    const char* before = std::getenv("TAVRIK_UI_PROBE");
    const std::string saved = before != nullptr ? before : "";
    setenv("TAVRIK_UI_PROBE", "1", 1);
    std::string error;
    std::unique_ptr<DuiLib::IDisplayBackend> probing = OpenX11Backend({}, &error);
    if (before != nullptr)
        setenv("TAVRIK_UI_PROBE", saved.c_str(), 1);
    else
        unsetenv("TAVRIK_UI_PROBE");
    ASSERT_NE(probing, nullptr) << error;
    RecordingSink sink;
    DuiLib::BackendWindowParams params;
    params.rect = {100, 100, 400, 300};
    params.title = L"Tavrik probe test";
    std::unique_ptr<DuiLib::IBackendWindow> window = probing->CreateWindow(params, &sink);
    const Window xid = static_cast<X11Window*>(window.get())->xid();
    window->SetProbe({{L"button", {10, 20, 50, 40}, L"OK"}});
    const auto listing = [&] { return driver_->Utf8Property(xid, "_TAVRIK_UI_PROBE"); };
    EXPECT_TRUE(Until([&] { return listing() == "button\t110\t120\t150\t140\tOK\n"; })) << listing();
    window->SetRect({300, 250, 600, 450});
    EXPECT_TRUE(Until([&] { return listing() == "button\t310\t270\t350\t290\tOK\n"; })) << listing();
}

TEST_F(X11BackendTest, PointerEventsArriveInClientCoordinates) {
    RecordingSink sink;
    X11Window* w = Open({100, 100, 400, 300}, sink);
    ShowAndWait(w);
    Settle();
    sink.events.clear();

    driver_->Click(150, 160, 1);
    ASSERT_TRUE(Until([&] { return sink.Count(BackendEventType::ButtonUp) == 1; }));
    const BackendEvent* down = sink.Last(BackendEventType::ButtonDown);
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(down->button, BackendButton::Left);
    EXPECT_EQ(down->x, 50);
    EXPECT_EQ(down->y, 60);
    EXPECT_TRUE(down->modifiers & DuiLib::kBackendLeftButton);
    const BackendEvent* up = sink.Last(BackendEventType::ButtonUp);
    EXPECT_FALSE(up->modifiers & DuiLib::kBackendLeftButton);
    const BackendEvent* move = sink.Last(BackendEventType::MouseMove);
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(move->x, 50);

    driver_->Click(160, 170, 3);
    ASSERT_TRUE(Until([&] { return sink.Count(BackendEventType::ButtonUp) == 2; }));
    EXPECT_EQ(sink.Last(BackendEventType::ButtonUp)->button, BackendButton::Right);

    driver_->Press(4);
    driver_->Release(4);
    driver_->Press(5);
    driver_->Release(5);
    ASSERT_TRUE(Until([&] { return sink.Count(BackendEventType::Wheel) == 2; }));
    std::vector<int> deltas;
    for (const auto& e : sink.events)
        if (e.type == BackendEventType::Wheel) deltas.push_back(e.wheelDelta);
    EXPECT_EQ(deltas, (std::vector<int>{120, -120}));

    driver_->MoveTo(5, 1015);
    EXPECT_TRUE(Until([&] { return sink.Count(BackendEventType::MouseLeave) >= 1; }));
}

// A window thread that falls behind reads two clicks at once: they keep the
// times the user gave them, so two clicks far apart never read as a double
// click.
TEST_F(X11BackendTest, ClicksReadLateKeepTheTimesTheyHappened) {
    RecordingSink sink;
    X11Window* w = Open({100, 100, 400, 300}, sink);
    ShowAndWait(w);
    Settle();
    // A click read at once, then two read together long after.
    driver_->Click(150, 160, 1);
    ASSERT_TRUE(Until([&] { return sink.Count(BackendEventType::ButtonUp) == 1; }));
    sink.events.clear();
    constexpr std::uint32_t kPause = 700;  // longer than a double click's
    driver_->Click(150, 160, 1);
    // The pause the user makes between the clicks, not a wait for anything.
    std::this_thread::sleep_for(std::chrono::milliseconds(kPause));
    driver_->Click(150, 160, 1);
    ASSERT_TRUE(Until([&] { return sink.Count(BackendEventType::ButtonDown) == 2; }));
    std::vector<std::uint32_t> downs;
    for (const auto& e : sink.events)
        if (e.type == BackendEventType::ButtonDown) downs.push_back(e.time);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_GE(downs[1] - downs[0], kPause);
}

TEST_F(X11BackendTest, TypingReachesTheActiveWindowAsKeysAndCharacters) {
    RecordingSink sink;
    X11Window* w = Open({100, 100, 400, 300}, sink);
    ShowAndWait(w);
    ASSERT_TRUE(Until([&] { return sink.Count(BackendEventType::Activated) == 1; }));
    sink.events.clear();

    driver_->Key(XK_a);
    driver_->Key(XK_b, true);
    driver_->Key(XK_1);
    driver_->Key(XK_Return);
    driver_->Key(XK_Left);
    ASSERT_TRUE(Until([&] { return sink.Count(BackendEventType::KeyUp) >= 6; }));
    EXPECT_EQ(sink.Text(), U"aB1\r");
    std::vector<std::uint32_t> keys;
    for (const auto& e : sink.events)
        if (e.type == BackendEventType::KeyDown) keys.push_back(e.virtualKey);
    EXPECT_EQ(keys, (std::vector<std::uint32_t>{'A', 0xA0 /* left shift */, 'B', '1', 0x0D, 0x25}));
    for (const auto& e : sink.events) {
        if (e.type == BackendEventType::KeyDown && e.virtualKey == 'A') {
            EXPECT_EQ(e.scanCode, 0x1Eu);
            EXPECT_FALSE(e.repeat);
        }
        if (e.type == BackendEventType::KeyDown && e.virtualKey == 'B') {
            EXPECT_TRUE(e.modifiers & DuiLib::kBackendShift);
        }
    }
    // The arrow key types nothing.
    EXPECT_EQ(sink.Count(BackendEventType::Char), 4);

    // Letters beyond ASCII arrive as their code points.
    sink.events.clear();
    driver_->KeySymbol(XK_eacute);
    driver_->KeySymbol(0x1000416);  // Cyrillic capital zhe, by its Unicode key symbol
    ASSERT_TRUE(Until([&] { return sink.Count(BackendEventType::Char) >= 2; }));
    EXPECT_EQ(sink.Text(), U"\u00e9\u0416");
}

TEST_F(X11BackendTest, DisabledOwnerTakesNoInputAndHandsFocusToItsModalWindow) {
    RecordingSink owner_sink, dialog_sink;
    X11Window* owner = Open({100, 100, 600, 500}, owner_sink);
    ShowAndWait(owner);
    X11Window* dialog = Open({250, 200, 450, 350}, dialog_sink, owner);
    owner->SetEnabled(false);
    ShowAndWait(dialog);
    ASSERT_TRUE(Until([&] { return dialog_sink.Count(BackendEventType::Activated) >= 1; }));
    // The owner is asked to come forward: its modal window stays above it.
    owner->Activate();
    Settle();
    dialog_sink.events.clear();
    owner_sink.events.clear();

    driver_->Click(120, 120);  // on the owner, outside the dialog
    driver_->Key(XK_x);
    Settle();
    EXPECT_EQ(owner_sink.Count(BackendEventType::ButtonDown), 0);
    EXPECT_EQ(owner_sink.Count(BackendEventType::KeyDown), 0);
    EXPECT_EQ(dialog_sink.Text(), U"x");

    driver_->Click(300, 250);  // the dialog lies above the owner there
    ASSERT_TRUE(Until([&] { return dialog_sink.Count(BackendEventType::ButtonUp) == 1; }));
    EXPECT_EQ(dialog_sink.Last(BackendEventType::ButtonDown)->x, 50);
    EXPECT_EQ(owner_sink.Count(BackendEventType::ButtonDown), 0);

    // Enabled again, the owner takes clicks.
    owner->SetEnabled(true);
    driver_->Click(120, 120);
    EXPECT_TRUE(Until([&] { return owner_sink.Count(BackendEventType::ButtonUp) == 1; }));
}

TEST_F(X11BackendTest, PopupOpensAtThePointerAndCaptureKeepsItsEvents) {
    RecordingSink main_sink, menu_sink;
    X11Window* main = Open({100, 100, 600, 500}, main_sink);
    ShowAndWait(main);
    driver_->MoveTo(320, 240);
    int cx = 0, cy = 0;
    backend_->GetCursorPos(cx, cy);
    EXPECT_EQ(cx, 320);
    EXPECT_EQ(cy, 240);
    X11Window* menu = Open({cx, cy, cx + 120, cy + 90}, menu_sink, main, true);
    ShowAndWait(menu, BackendShowCommand::ShowNoActivate);
    int x = 0, y = 0, w = 0, h = 0;
    ASSERT_TRUE(driver_->Geometry(menu->xid(), x, y, w, h));
    EXPECT_EQ(x, 320);
    EXPECT_EQ(y, 240);
    menu->SetCapture(true);
    Settle();
    main_sink.events.clear();

    driver_->Click(150, 150);  // outside the menu, over the main window
    ASSERT_TRUE(Until([&] { return menu_sink.Count(BackendEventType::ButtonDown) == 1; }));
    EXPECT_EQ(menu_sink.Last(BackendEventType::ButtonDown)->x, 150 - 320);
    EXPECT_EQ(main_sink.Count(BackendEventType::ButtonDown), 0);

    menu->SetCapture(false);
    driver_->Click(150, 150);
    EXPECT_TRUE(Until([&] { return main_sink.Count(BackendEventType::ButtonDown) == 1; }));
}

TEST_F(X11BackendTest, ShowStatesMoveSizeAndCloseRequest) {
    RecordingSink sink;
    X11Window* w = Open({100, 100, 400, 300}, sink);
    ShowAndWait(w);
    w->SetRect({50, 60, 50 + 500, 60 + 400});
    EXPECT_EQ(sink.Last(BackendEventType::Moved)->x, 50);
    EXPECT_EQ(sink.Last(BackendEventType::Resized)->width, 500);
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(Until([&] { return driver_->Geometry(w->xid(), x, y, width, height) && width == 500; }));
    EXPECT_EQ(x, 50);
    EXPECT_EQ(height, 400);

    w->Show(BackendShowCommand::Maximize);
    EXPECT_EQ(w->GetShowState(), BackendShowState::Maximized);
    const BackendRect area = backend_->GetWorkArea();
    EXPECT_EQ(w->GetRect().Width(), area.Width());
    w->Show(BackendShowCommand::Restore);
    EXPECT_EQ(w->GetRect().left, 50);
    EXPECT_EQ(w->GetRect().Width(), 500);

    w->Show(BackendShowCommand::Hide);
    EXPECT_TRUE(Until([&] { return !driver_->Viewable(w->xid()); }));
    EXPECT_EQ(sink.Last(BackendEventType::StateChanged)->state, BackendShowState::Hidden);

    // The window manager's close button arrives as a close request.
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w->xid();
    e.xclient.message_type = XInternAtom(driver_->display(), "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(driver_->display(), "WM_DELETE_WINDOW", False));
    XSendEvent(driver_->display(), w->xid(), False, NoEventMask, &e);
    XSync(driver_->display(), False);
    EXPECT_TRUE(Until([&] { return sink.Count(BackendEventType::CloseRequest) == 1; }));
}

TEST_F(X11BackendTest, ScreenMetricsAndDpi) {
    const BackendRect screen = backend_->GetScreenRect();
    EXPECT_EQ(screen.Width(), DisplayWidth(driver_->display(), 0));
    EXPECT_EQ(screen.Height(), DisplayHeight(driver_->display(), 0));
    // The fixture's server runs at 96 dots per inch.
    EXPECT_EQ(backend_->GetDpi(), 96);
}

TEST_F(X11BackendTest, ClipboardTextTravelsBetweenConnections) {
    auto other = OpenX11Backend();
    ASSERT_NE(other, nullptr);
    const std::wstring text = L"Profile \u00e9\u4e2d 1";
    backend_->SetClipboardText(text);
    EXPECT_EQ(backend_->GetClipboardText(), text);
    // The owner must serve the request while the other side waits.
    std::atomic<bool> stop{false};
    std::thread owner([&] {
        while (!stop) Pump();
    });
    const std::wstring got = other->GetClipboardText();
    stop = true;
    owner.join();
    EXPECT_EQ(got, text);
}

}  // namespace
}  // namespace tavrik::x11

namespace tavrik::x11 {
namespace {

TEST_F(X11BackendTest, ScreenResizeIsADisplayChangeWithNewMetrics) {
    RecordingSink sink;
    X11Window* w = Open({10, 10, 110, 110}, sink);
    ShowAndWait(w);
    test::TemporaryScreenSize screen(driver_->display(), 1024, 768);
    const bool resized = screen.Resized();
    const int old_w = screen.OldWidth();
    const bool changed = resized && Until([&] { return sink.Count(BackendEventType::DisplayChanged) >= 1; });
    const BackendRect during = backend_->GetScreenRect();
    screen.Restore();
    if (!resized) GTEST_SKIP() << "this X server cannot change its screen size";
    ASSERT_TRUE(changed);
    EXPECT_EQ(sink.Last(BackendEventType::DisplayChanged)->width, 1024);
    EXPECT_EQ(sink.Last(BackendEventType::DisplayChanged)->height, 768);
    EXPECT_EQ(during.Width(), 1024);
    EXPECT_TRUE(Until([&] { return backend_->GetScreenRect().Width() == old_w; }));
}

TEST_F(X11BackendTest, MonitorsAndTrayPlace) {
    const auto monitors = backend_->MonitorRects();
    ASSERT_FALSE(monitors.empty());
    EXPECT_EQ(monitors[0].Width(), backend_->GetScreenRect().Width());
    BackendRect tray_rect;
    EXPECT_FALSE(backend_->TrayRect(tray_rect));
    test::TestTrayManager tray;
    ASSERT_TRUE(backend_->TrayRect(tray_rect));
    EXPECT_EQ(tray_rect.left, 900);
    EXPECT_EQ(tray_rect.top, 0);
    EXPECT_EQ(tray_rect.Width(), 200);
}

}  // namespace
}  // namespace tavrik::x11

namespace tavrik::x11 {
namespace {

TEST_F(X11BackendTest, CaptionDragMovesTheWindowWithoutAWindowManager) {
    RecordingSink sink;
    X11Window* w = Open({100, 100, 400, 300}, sink);
    ShowAndWait(w);
    Settle();
    driver_->MoveTo(150, 110);
    driver_->Press(1);
    ASSERT_TRUE(Until([&] { return sink.Count(BackendEventType::ButtonDown) == 1; }));
    w->BeginMove();  // what the UI does for a press on its caption
    driver_->MoveTo(250, 160);
    driver_->MoveTo(350, 210);
    ASSERT_TRUE(Until([&] { return w->GetRect().left == 300; }));
    driver_->Release(1);
    Settle();
    EXPECT_EQ(w->GetRect().top, 200);
    EXPECT_EQ(w->GetRect().Width(), 300);
    EXPECT_EQ(sink.Last(BackendEventType::Moved)->x, 300);
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(driver_->Geometry(w->xid(), x, y, width, height));
    EXPECT_EQ(x, 300);
    EXPECT_EQ(y, 200);
    // The move ended with the button: the pointer moves alone again.
    driver_->MoveTo(500, 500);
    Settle();
    EXPECT_EQ(w->GetRect().left, 300);
}

TEST_F(X11BackendTest, RoundCornersCutTheWindowShape) {
    RecordingSink sink;
    X11Window* w = Open({100, 100, 300, 250}, sink);
    ShowAndWait(w);
    cairo_surface_t* picture = SolidPicture(200, 150, 1, 1, 1);
    w->Present(picture, {0, 0, 200, 150});
    cairo_surface_destroy(picture);
    w->SetRoundCorner(40, 40);
    auto screen = screen::OpenX11ScreenSource();
    ASSERT_NE(screen, nullptr);
    std::vector<std::uint32_t> px;
    // The root shows through at the very corner; the middle is the window's.
    EXPECT_TRUE(Until([&] { return screen->Capture(100, 100, 1, 1, px) && px[0] != 0xFFFFFF; }));
    EXPECT_TRUE(Until([&] { return screen->Capture(200, 175, 1, 1, px) && px[0] == 0xFFFFFF; }));
    w->SetRoundCorner(0, 0);
    EXPECT_TRUE(Until([&] { return screen->Capture(100, 100, 1, 1, px) && px[0] == 0xFFFFFF; }));
}

TEST_F(X11BackendTest, TopMostAndIconAreAnnouncedToTheWindowManager) {
    RecordingSink sink;
    X11Window* w = Open({100, 100, 300, 250}, sink);
    Display* d = driver_->display();
    auto atoms_of = [&](const char* name) {
        std::vector<Atom> out;
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(d, w->xid(), XInternAtom(d, name, False), 0, 1024, False, AnyPropertyType, &type,
                               &format, &count, &after, &data) == Success &&
            data)
            out.assign(reinterpret_cast<Atom*>(data), reinterpret_cast<Atom*>(data) + count);
        if (data) XFree(data);
        return out;
    };
    const Atom above = XInternAtom(d, "_NET_WM_STATE_ABOVE", False);
    // Our requests reach the server before the driver's reads.
    w->SetTopMost(true);
    XSync(backend_->display(), False);
    auto states = atoms_of("_NET_WM_STATE");
    EXPECT_NE(std::find(states.begin(), states.end(), above), states.end());
    w->SetTopMost(false);
    XSync(backend_->display(), False);
    states = atoms_of("_NET_WM_STATE");
    EXPECT_EQ(std::find(states.begin(), states.end(), above), states.end());

    cairo_surface_t* icon = SolidPicture(16, 16, 1, 0, 0);
    w->SetIcon(icon);
    cairo_surface_destroy(icon);
    XSync(backend_->display(), False);
    const auto values = atoms_of("_NET_WM_ICON");  // longs, read the same way
    ASSERT_EQ(values.size(), 2u + 16 * 16);
    EXPECT_EQ(values[0], 16u);
    EXPECT_EQ(values[1], 16u);
    EXPECT_EQ(values[2] & 0xFFFFFFFFu, 0xFFFF0000u);  // opaque red, ARGB
}

}  // namespace
}  // namespace tavrik::x11

namespace tavrik::x11 {
namespace {

TEST_F(X11BackendTest, DesktopDpiSettingIsFollowed) {
    RecordingSink sink;
    X11Window* w = Open({10, 10, 110, 110}, sink);
    ShowAndWait(w);
    Display* d = driver_->display();
    const Atom resources = XInternAtom(d, "RESOURCE_MANAGER", False);
    const std::string setting = "Xft.dpi:\t144\n";
    XChangeProperty(d, DefaultRootWindow(d), resources, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(setting.data()), static_cast<int>(setting.size()));
    XSync(d, False);
    const bool changed = Until([&] { return sink.Count(BackendEventType::DisplayChanged) == 1; });
    const int dpi = backend_->GetDpi();
    XDeleteProperty(d, DefaultRootWindow(d), resources);
    XSync(d, False);
    EXPECT_TRUE(changed);
    EXPECT_EQ(dpi, 144);
    // Without the setting the screen's size decides again (96 here).
    EXPECT_TRUE(Until([&] { return sink.Count(BackendEventType::DisplayChanged) == 2; }));
    EXPECT_EQ(backend_->GetDpi(), 96);
}

}  // namespace
}  // namespace tavrik::x11
