// Skinned windows of the UI layer on the X server: what the user sees and
// does reaches the program as it would on the desktop.

#include <gtest/gtest.h>

#include "platform/files/folders.h"
#include "platform/ui/UIlib.h"
#include "platform/ui/ico_cursor.h"
#include "platform/ui/x11/x11_backend.h"
#include "platform/ui/x11/x11_backend_impl.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <thread>

#include "platform/screen/screen_source.h"
#include "platform/screen/x11_screen_source.h"
#include "platform/screen/x_error_trap.h"
#include "tests/support/temp_home.h"
#include "tests/ui/program_activations.h"
#include "tests/x11/x_display.h"
#include "tests/x11/x_driver.h"
#include "tests/support/wait_bound.h"

namespace tavrik::x11 {
namespace {

using namespace DuiLib;

void Pump() {
    win::MSG msg;
    for (int i = 0; i < 10000 && win::PeekMessageW(&msg, nullptr, 0, 0, win::PM_REMOVE); ++i) {
        if (msg.message == win::WM_QUIT) {
            win::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (CPaintManagerUI::TranslateMessage(&msg)) continue;
        win::TranslateMessage(&msg);
        win::DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done) {
    return test::PumpUntil([] { Pump(); }, done);
}

class SkinWindow : public WindowImplBase {
public:
    explicit SkinWindow(std::wstring skin) : skin_(std::move(skin)) {}
    CDuiString GetSkinFile() override { return skin_; }
    LPCTSTR GetWindowClassName() const override { return L"X11SkinWindow"; }
    void Notify(TNotifyUI& msg) override {
        notes.emplace_back(msg.sType.str(), msg.pSender ? msg.pSender->GetName().str() : L"");
        if (onNotify) onNotify(msg);
        WindowImplBase::Notify(msg);
    }
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override {
        if (uMsg == win::WM_DISPLAYCHANGE || uMsg == win::WM_DPICHANGED || uMsg == win::WM_ACTIVATE) {
            Heard h{uMsg, wParam, lParam, {}};
            if (uMsg == win::WM_DPICHANGED) h.suggested = *reinterpret_cast<const RECT*>(lParam);
            heard.push_back(h);
        }
        if (uMsg == WM_MENU_COMMAND_UI && wParam) {
            auto* cmd = reinterpret_cast<MenuCmd*>(wParam);
            menuCommands.emplace_back(cmd->szName);
            delete cmd;
            bHandled = TRUE;
            return 0;
        }
        return WindowImplBase::HandleCustomMessage(uMsg, wParam, lParam, bHandled);
    }
    int Count(const std::wstring& type, const std::wstring& name) const {
        int n = 0;
        for (const auto& [t, s] : notes) n += t == type && s == name;
        return n;
    }
    CPaintManagerUI& pm() { return m_pm; }
    Window xid() const { return static_cast<X11Window*>(GetBackendWindow())->xid(); }

    // Display changes and activation as window messages.
    struct Heard {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        RECT suggested;  // WM_DPICHANGED only
    };
    int HeardCount(UINT message) const {
        int n = 0;
        for (const auto& h : heard) n += h.message == message;
        return n;
    }
    const Heard* LastHeard(UINT message) const {
        for (auto it = heard.rbegin(); it != heard.rend(); ++it)
            if (it->message == message) return &*it;
        return nullptr;
    }

    std::vector<std::pair<std::wstring, std::wstring>> notes;
    std::vector<Heard> heard;
    std::vector<std::wstring> menuCommands;
    std::function<void(TNotifyUI&)> onNotify;

private:
    std::wstring skin_;
};

class X11WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        TAVRIK_REQUIRE_X_DISPLAY();
        // One backend for the whole process: the UI thread's message wait
        // keeps serving the descriptor of the first one.
        static bool installed = false;
        if (!installed) {
            std::string error;
            ASSERT_TRUE(UseX11DisplayBackend(&error)) << error;
            installed = true;
        }
        CPaintManagerUI::SetResourcePath(win::FromUtf8(dir_.Path().string()).c_str());
        CPaintManagerUI::SetAllDPI(96);
        CResourceManager::GetInstance()->Release();
        driver_ = std::make_unique<test::XDriver>();
        driver_->MoveTo(5, 1015);
    }
    void TearDown() override {
        for (SkinWindow* w : windows_) {
            if (w->GetHWND()) win::DestroyWindow(w->GetHWND());
            delete w;
        }
        windows_.clear();
        CMenuWnd::DestroyMenu();
        Pump();
        CResourceManager::GetInstance()->Release();
        CPaintManagerUI::Term();
    }
    void Skin(const std::string& name, const std::string& xml) {
        std::ofstream(dir_.Path() / name, std::ios::binary) << xml;
    }
    SkinWindow* Open(const std::wstring& skin, int x, int y, HWND owner = nullptr) {
        auto* w = new SkinWindow(skin);
        windows_.push_back(w);
        w->Create(owner, L"Tavrik window test", win::WS_POPUP | win::WS_VISIBLE, 0, x, y, 0, 0);
        EXPECT_TRUE(PumpUntil([&] { return driver_->Viewable(w->xid()); }));
        return w;
    }

    test::TempDir dir_{"tavrik-x11-ui"};
    std::unique_ptr<test::XDriver> driver_;
    std::vector<SkinWindow*> windows_;
};

constexpr char kPanel[] = R"(<Window size="320,200">
  <VerticalLayout name="root" bkcolor="#FF2060A0">
    <Button name="ok" float="true" pos="20,140,120,180" bkcolor="#FF00C000" text="OK"/>
    <Edit name="name" float="true" pos="20,20,300,50" bkcolor="#FFFFFFFF"/>
  </VerticalLayout>
</Window>)";

TEST_F(X11WindowTest, SkinnedWindowAppearsAtTheSkinSizeAndShowsItsPaint) {
    Skin("panel.xml", kPanel);
    SkinWindow* w = Open(L"panel.xml", 150, 120);
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(driver_->Geometry(w->xid(), x, y, width, height));
    EXPECT_EQ(x, 150);
    EXPECT_EQ(y, 120);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 200);
    auto screen = screen::OpenX11ScreenSource();
    ASSERT_NE(screen, nullptr);
    // The root's colour and the button's, read back from the screen.
    EXPECT_TRUE(
        PumpUntil([&] { return screen::CaptureAverageColour(*screen, 150 + 200, 120 + 80, 20, 20) == 0xA06020u; }));
    EXPECT_EQ(screen::CaptureAverageColour(*screen, 150 + 25, 120 + 145, 10, 10), 0x00C000u);
}

// Events Xlib has already read from the connection (along with the reply of
// a call the program made) are served by the next turn of the message loop,
// not left waiting for the next event to arrive.
TEST_F(X11WindowTest, EventsReadAlongWithAReplyAreServedWithoutAnotherEvent) {
    Skin("panel.xml", kPanel);
    SkinWindow* w = Open(L"panel.xml", 150, 120);
    auto& backend = static_cast<X11Backend&>(GetDisplayBackend());
    Pump();
    // Moved behind the window's back; the sync reads the move's notice into
    // Xlib's queue and leaves nothing on the connection.
    XMoveWindow(backend.display(), w->xid(), 400, 300);
    XSync(backend.display(), False);
    ASSERT_GT(XQLength(backend.display()), 0);
    Pump();
    const RECT r = w->GetWindowRect();
    EXPECT_EQ(r.left, 400);
    EXPECT_EQ(r.top, 300);
}

TEST_F(X11WindowTest, ClickOnAButtonReachesItsNotification) {
    Skin("panel.xml", kPanel);
    SkinWindow* w = Open(L"panel.xml", 150, 120);
    driver_->Click(150 + 70, 120 + 160);
    EXPECT_TRUE(PumpUntil([&] { return w->Count(L"click", L"ok") == 1; }));
    // A click beside it is not the button's.
    driver_->Click(150 + 200, 120 + 160);
    Pump();
    EXPECT_EQ(w->Count(L"click", L"ok"), 1);
}

TEST_F(X11WindowTest, ClickInAnotherWindowGivenBeforeTheProgramReadTheReleaseReachesIt) {
    Skin("panel.xml", kPanel);
    SkinWindow* first = Open(L"panel.xml", 150, 120);
    SkinWindow* second = Open(L"panel.xml", 600, 120);
    auto* edit = static_cast<CEditUI*>(first->pm().FindControl(L"name"));
    ASSERT_NE(edit, nullptr);
    // The press in the first window is read: it holds the pointer for it.
    driver_->MoveTo(150 + 100, 120 + 35);
    driver_->Press(1);
    ASSERT_TRUE(PumpUntil([&] { return edit->IsFocused(); }));
    // The release and a click on the second window's button, both given
    // before the program reads any of them.
    driver_->Release(1);
    driver_->Click(600 + 70, 120 + 160);
    EXPECT_TRUE(PumpUntil([&] { return second->Count(L"click", L"ok") == 1; }));
    EXPECT_EQ(first->Count(L"click", L"ok"), 0);
}

TEST_F(X11WindowTest, TypingReachesTheFocusedEdit) {
    Skin("panel.xml", kPanel);
    SkinWindow* w = Open(L"panel.xml", 150, 120);
    auto* edit = static_cast<CEditUI*>(w->pm().FindControl(L"name"));
    ASSERT_NE(edit, nullptr);
    driver_->Click(150 + 100, 120 + 35);
    ASSERT_TRUE(PumpUntil([&] { return edit->IsFocused(); }));
    driver_->Key(XK_a);
    driver_->Key(XK_b, true);
    driver_->Key(XK_1);
    EXPECT_TRUE(PumpUntil([&] { return edit->GetText() == L"aB1"; })) << win::ToUtf8(edit->GetText().str());
    driver_->Key(XK_BackSpace);
    EXPECT_TRUE(PumpUntil([&] { return edit->GetText() == L"aB"; }));
}

TEST_F(X11WindowTest, ModalDialogBlocksItsOwnerUntilItCloses) {
    Skin("owner.xml", R"(<Window size="400,300"><VerticalLayout bkcolor="#FF404040">
        <Button name="ownerbtn" float="true" pos="20,20,140,60" text="Owner"/></VerticalLayout></Window>)");
    Skin("dialog.xml", R"(<Window size="200,120"><VerticalLayout bkcolor="#FFE0E0E0">
        <Button name="ok" float="true" pos="50,40,150,80" text="OK"/></VerticalLayout></Window>)");
    SkinWindow* owner = Open(L"owner.xml", 100, 100);
    auto* dialog = new SkinWindow(L"dialog.xml");
    windows_.push_back(dialog);
    dialog->Create(owner->GetHWND(), L"Tavrik dialog", win::WS_POPUP, 0, 300, 250, 0, 0);
    dialog->onNotify = [&](TNotifyUI& msg) {
        if (msg.sType == L"click" && msg.pSender->GetName() == L"ok") dialog->Close(IDOK);
    };
    const Window dialog_xid = dialog->xid();
    const HWND dialog_hwnd = dialog->GetHWND();

    // The user, on a thread of its own while the modal loop runs: clicks
    // the owner's button, then the dialog's.
    std::atomic<bool> done{false};
    std::thread user([&] {
        test::XDriver hand;
        const auto give_up = tavrik::test::Deadline(std::chrono::seconds(20));
        while (!hand.Viewable(dialog_xid) && std::chrono::steady_clock::now() < give_up)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        hand.Click(100 + 80, 100 + 40);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        hand.Click(300 + 100, 250 + 60);
        while (!done && std::chrono::steady_clock::now() < give_up)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!done) win::PostMessageW(dialog_hwnd, win::WM_CLOSE, IDCANCEL, 0);
    });
    const UINT result = dialog->ShowModal();
    done = true;
    user.join();
    EXPECT_EQ(result, static_cast<UINT>(IDOK));
    EXPECT_EQ(dialog->Count(L"click", L"ok"), 1);
    EXPECT_EQ(owner->Count(L"click", L"ownerbtn"), 0);

    // Afterwards the owner takes clicks again.
    driver_->Click(100 + 80, 100 + 40);
    EXPECT_TRUE(PumpUntil([&] { return owner->Count(L"click", L"ownerbtn") == 1; }));
}

TEST_F(X11WindowTest, MenuOpensAtThePointerAndItsCommandArrives) {
    Skin("main.xml", R"(<Window size="500,400"><VerticalLayout bkcolor="#FF303030"/></Window>)");
    Skin("menu.xml", R"(<Menu bkcolor="#FFFFFFFF">
        <MenuElement name="settings" text="Settings" height="30"/>
        <MenuElement name="exit" text="Exit" height="30"/></Menu>)");
    SkinWindow* main = Open(L"main.xml", 100, 100);
    driver_->MoveTo(260, 230);
    win::POINT at{};
    win::GetCursorPos(&at);
    EXPECT_EQ(at.x, 260);
    EXPECT_EQ(at.y, 230);
    auto* menu = new CMenuWnd();
    menu->Init(nullptr, L"menu.xml", at, &main->pm(), nullptr, eMenuAlignment_Left | eMenuAlignment_Top);
    const Window menu_xid = static_cast<X11Window*>(menu->GetBackendWindow())->xid();
    ASSERT_TRUE(PumpUntil([&] { return driver_->Viewable(menu_xid); }));
    int x = 0, y = 0, w = 0, h = 0;
    ASSERT_TRUE(driver_->Geometry(menu_xid, x, y, w, h));
    EXPECT_EQ(x, 260);
    EXPECT_EQ(y, 230);
    EXPECT_EQ(h, 60);

    driver_->Click(260 + 30, 230 + 45);  // the second row
    EXPECT_TRUE(PumpUntil([&] { return !main->menuCommands.empty(); }));
    EXPECT_EQ(main->menuCommands, std::vector<std::wstring>{L"exit"});
    EXPECT_TRUE(CMenuWnd::OpenMenus().empty());
    delete menu;
}

TEST_F(X11WindowTest, MenuClosesWhenTheUserClicksElsewhere) {
    Skin("main.xml", R"(<Window size="500,400"><VerticalLayout bkcolor="#FF303030"/></Window>)");
    Skin("menu.xml", R"(<Menu><MenuElement name="exit" text="Exit" height="30"/></Menu>)");
    SkinWindow* main = Open(L"main.xml", 100, 100);
    auto* menu = new CMenuWnd();
    menu->Init(nullptr, L"menu.xml", win::POINT{300, 300}, &main->pm(), nullptr,
               eMenuAlignment_Left | eMenuAlignment_Top);
    ASSERT_EQ(CMenuWnd::OpenMenus().size(), 1u);
    // The menu has the keyboard focus once it is on the screen.
    const Window menu_xid = static_cast<X11Window*>(menu->GetBackendWindow())->xid();
    ASSERT_TRUE(PumpUntil([&] {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(driver_->display(), &focus, &revert);
        return focus == menu_xid;
    }));
    Pump();
    driver_->Click(150, 150);  // on the main window
    EXPECT_TRUE(PumpUntil([&] { return CMenuWnd::OpenMenus().empty(); }));
    EXPECT_TRUE(main->menuCommands.empty());
    delete menu;
}

TEST_F(X11WindowTest, SkinSizeLimitsAreTheWindowsSizeHints) {
    Skin("limited.xml", R"(<Window size="300,200" mininfo="200,150" maxinfo="400,300">
        <VerticalLayout bkcolor="#FF205020"/></Window>)");
    SkinWindow* w = Open(L"limited.xml", 100, 100);
    Display* d = driver_->display();
    auto hints = [&] {
        XSizeHints h{};
        long supplied = 0;
        XGetWMNormalHints(d, w->xid(), &h, &supplied);
        return h;
    };
    XSizeHints h = hints();
    ASSERT_TRUE(h.flags & PMinSize);
    ASSERT_TRUE(h.flags & PMaxSize);
    EXPECT_EQ(h.min_width, 200);
    EXPECT_EQ(h.min_height, 150);
    EXPECT_EQ(h.max_width, 400);
    EXPECT_EQ(h.max_height, 300);

    // A resize below the minimum stops at it on the server, and moving the
    // window does not lose the limits.
    w->ResizeClient(50, 40);
    int x = 0, y = 0, width = 0, height = 0;
    EXPECT_TRUE(PumpUntil([&] {
        return driver_->Geometry(w->xid(), x, y, width, height) && width == 200 && height == 150;
    })) << width
        << "x" << height;
    w->SetWindowRect({120, 110, 120 + 900, 110 + 900});
    EXPECT_TRUE(PumpUntil([&] {
        return driver_->Geometry(w->xid(), x, y, width, height) && width == 400 && height == 300;
    })) << width
        << "x" << height;
    EXPECT_EQ(x, 120);
    h = hints();
    EXPECT_TRUE(h.flags & PMinSize);
    EXPECT_EQ(h.max_width, 400);

    // Changed limits reach the server; with no minimum the hint goes.
    w->pm().SetMinInfo(0, 0);
    w->pm().SetMaxInfo(500, 0);
    // They reach the server with the window's next requests: wait for them.
    PumpUntil([&] {
        h = hints();
        return !(h.flags & PMinSize) && h.max_width == 500;
    });
    EXPECT_FALSE(h.flags & PMinSize);
    ASSERT_TRUE(h.flags & PMaxSize);
    EXPECT_EQ(h.max_width, 500);
    EXPECT_GE(h.max_height, 30000);  // no limit in that dimension
}

// Two resizes in a row, as fitting the window to a screen does: the
// server's notice of the first arrives after the second was asked for, and
// must not lay the window out at the size it has already left.
TEST_F(X11WindowTest, ANoticeOfAnEarlierResizeDoesNotShrinkTheLayoutBack) {
    Skin("panel.xml", kPanel);
    SkinWindow* w = Open(L"panel.xml", 100, 100);
    std::vector<std::pair<int, int>> sizes;
    w->onNotify = [&](TNotifyUI& msg) {
        if (msg.sType == DUI_MSGTYPE_WINDOWSIZE)
            sizes.emplace_back(static_cast<int>(msg.lParam & 0xFFFF), static_cast<int>((msg.lParam >> 16) & 0xFFFF));
    };
    w->SetWindowRect({100, 100, 100 + 400, 100 + 260});
    w->SetWindowRect({100, 100, 100 + 600, 100 + 390});
    // Once the server has both resizes, a move of the test's own comes after
    // both notices: when the window has heard of it, it has heard of them too.
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(PumpUntil([&] { return driver_->Geometry(w->xid(), x, y, width, height) && width == 600; }));
    XMoveWindow(driver_->display(), w->xid(), 140, 120);
    XSync(driver_->display(), False);
    ASSERT_TRUE(PumpUntil([&] { return w->GetWindowRect().left == 140; }));
    Pump();
    EXPECT_EQ(std::count(sizes.begin(), sizes.end(), std::make_pair(400, 260)), 1) << "laid out again at 400 x 260";
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(sizes.back(), std::make_pair(600, 390));
    EXPECT_TRUE(PumpUntil([&] {
        const RECT root = w->pm().GetRoot()->GetPos();
        return root.right - root.left == 600 && root.bottom - root.top == 390;
    }));
}

TEST_F(X11WindowTest, DragOnTheSizeBoxCornerGrowsTheWindowOnTheServer) {
    Skin("sized.xml", R"(<Window size="200,150" sizebox="6,6,6,6" maxinfo="280,400">
        <VerticalLayout bkcolor="#FF203040"/></Window>)");
    SkinWindow* w = Open(L"sized.xml", 300, 300);
    auto* window = static_cast<X11Window*>(w->GetBackendWindow());
    // Press on the bottom-right corner and drag it outwards.
    driver_->MoveTo(300 + 198, 300 + 148);
    Pump();
    driver_->Press(1);
    ASSERT_TRUE(PumpUntil([&] { return window->moving(); }));
    driver_->MoveTo(300 + 240, 300 + 170);
    driver_->MoveTo(300 + 258, 300 + 198);
    int x = 0, y = 0, width = 0, height = 0;
    EXPECT_TRUE(PumpUntil([&] {
        return driver_->Geometry(w->xid(), x, y, width, height) && width == 260 && height == 200;
    })) << width
        << "x" << height;
    // Past the skin's maximum width the window stops growing that way.
    driver_->MoveTo(300 + 400, 300 + 228);
    EXPECT_TRUE(PumpUntil([&] { return driver_->Geometry(w->xid(), x, y, width, height) && height == 230; }));
    driver_->Release(1);
    ASSERT_TRUE(PumpUntil([&] { return !window->moving(); }));
    ASSERT_TRUE(driver_->Geometry(w->xid(), x, y, width, height));
    EXPECT_EQ(x, 300);
    EXPECT_EQ(y, 300);
    EXPECT_EQ(width, 280);
    EXPECT_EQ(height, 230);
    EXPECT_EQ(w->GetClientSize().cx, 280);
    EXPECT_TRUE(PumpUntil([&] { return w->pm().GetRoot()->GetPos().bottom == 230; }));
    // The drag ended with the button: the pointer moves alone again.
    driver_->MoveTo(300 + 100, 300 + 300);
    Pump();
    ASSERT_TRUE(driver_->Geometry(w->xid(), x, y, width, height));
    EXPECT_EQ(height, 230);
}

TEST_F(X11WindowTest, ScreenResizeIsWmDisplayChangeForEveryWindow) {
    Skin("small.xml", R"(<Window size="120,90"><VerticalLayout bkcolor="#FF505050"/></Window>)");
    SkinWindow* a = Open(L"small.xml", 100, 100);
    SkinWindow* b = Open(L"small.xml", 300, 100);
    test::TemporaryScreenSize screen(driver_->display(), 1024, 768);
    const bool resized = screen.Resized();
    const int old_w = screen.OldWidth(), old_h = screen.OldHeight();
    const auto heard = [](SkinWindow* w) {
        const auto* h = w->LastHeard(win::WM_DISPLAYCHANGE);
        return h && h->lParam == static_cast<LPARAM>(1024 | 768 << 16);
    };
    const bool changed = resized && PumpUntil([&] { return heard(a) && heard(b); });
    screen.Restore();
    if (!resized) GTEST_SKIP() << "this X server cannot change its screen size";
    ASSERT_TRUE(changed);
    // Bits per pixel of the screen's depth (24 bits are stored in 32).
    EXPECT_EQ(a->LastHeard(win::WM_DISPLAYCHANGE)->wParam, 32u);
    // And the screen's own size again once it is back.
    const auto back = [&](SkinWindow* w) {
        const auto* h = w->LastHeard(win::WM_DISPLAYCHANGE);
        return h && h->lParam == static_cast<LPARAM>(old_w | old_h << 16);
    };
    EXPECT_TRUE(PumpUntil([&] { return back(a) && back(b); }));
}

TEST_F(X11WindowTest, DesktopDpiChangeIsWmDpiChangedWithASuggestedPlace) {
    Skin("small.xml", R"(<Window size="120,90"><VerticalLayout bkcolor="#FF505050"/></Window>)");
    SkinWindow* a = Open(L"small.xml", 100, 100);
    SkinWindow* b = Open(L"small.xml", 300, 100);
    const int dpi = GetDisplayBackend().GetDpi();
    ASSERT_NE(dpi, 144);
    a->heard.clear();
    b->heard.clear();
    Display* d = driver_->display();
    const Atom resources = XInternAtom(d, "RESOURCE_MANAGER", False);
    const std::string setting = "Xft.dpi:\t144\n";
    XChangeProperty(d, DefaultRootWindow(d), resources, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(setting.data()), static_cast<int>(setting.size()));
    XSync(d, False);
    const bool changed =
        PumpUntil([&] { return a->HeardCount(win::WM_DPICHANGED) == 1 && b->HeardCount(win::WM_DPICHANGED) == 1; });
    XDeleteProperty(d, DefaultRootWindow(d), resources);
    XSync(d, False);
    ASSERT_TRUE(changed);
    for (SkinWindow* w : {a, b}) {
        const auto* h = w->LastHeard(win::WM_DPICHANGED);
        EXPECT_EQ(h->wParam, static_cast<WPARAM>(144 | 144 << 16));
        EXPECT_EQ(h->suggested.left, w->GetWindowRect().left);
        EXPECT_EQ(h->suggested.top, 100);
        EXPECT_EQ(h->suggested.right - h->suggested.left, (120 * 144 + dpi / 2) / dpi);
        EXPECT_EQ(h->suggested.bottom - h->suggested.top, (90 * 144 + dpi / 2) / dpi);
        // The display change comes first, as a DPI change is one.
        EXPECT_EQ(w->heard.front().message, static_cast<UINT>(win::WM_DISPLAYCHANGE));
    }
    // Without the setting the screen's own DPI is back: one more change.
    EXPECT_TRUE(
        PumpUntil([&] { return a->HeardCount(win::WM_DPICHANGED) == 2 && b->HeardCount(win::WM_DPICHANGED) == 2; }));
    EXPECT_EQ(win::LOWORD(a->LastHeard(win::WM_DPICHANGED)->wParam), dpi);
}

TEST_F(X11WindowTest, FocusChangesAreWmActivate) {
    Skin("small.xml", R"(<Window size="120,90"><VerticalLayout bkcolor="#FF505050"/></Window>)");
    SkinWindow* a = Open(L"small.xml", 100, 100);
    SkinWindow* b = Open(L"small.xml", 300, 100);
    Display* d = driver_->display();
    const auto active = [](SkinWindow* w, UINT state) {
        const auto* h = w->LastHeard(win::WM_ACTIVATE);
        return h && win::LOWORD(h->wParam) == state;
    };
    // The window shown last took the focus.
    ASSERT_TRUE(PumpUntil([&] { return active(b, win::WA_ACTIVE) && active(a, win::WA_INACTIVE); }));
    // Focus moved by someone else (as a window manager or the user does).
    for (SkinWindow* to : {a, b}) {
        SkinWindow* from = to == a ? b : a;
        XSetInputFocus(d, to->xid(), RevertToParent, CurrentTime);
        XSync(d, False);
        EXPECT_TRUE(PumpUntil([&] { return active(to, win::WA_ACTIVE) && active(from, win::WA_INACTIVE); }));
    }
}

// The pen cursor that the build draws, made a window class's cursor, is the
// pointer the X server shows over the window (read back through XFIXES);
// without a class cursor the window shows the standard arrow again.
TEST_F(X11WindowTest, ClassCursorFromAnIcoFileIsThePointerOverTheWindow) {
    auto pen = LoadIcoCursor(win::GetProgramFolder() + L"Skin\\Cursor\\pen.ico");
    ASSERT_NE(pen, nullptr) << "drawn by the build beside the program";
    Skin("small.xml", R"(<Window size="120,90"><VerticalLayout bkcolor="#FF505050"/></Window>)");
    SkinWindow* w = Open(L"small.xml", 100, 100);
    Display* d = driver_->display();
    int event = 0, error = 0;
    ASSERT_TRUE(XFixesQueryExtension(d, &event, &error));
    struct Shown {
        int width = 0, height = 0, hotX = -1, hotY = -1;
        std::vector<uint32_t> pixels;
    };
    const auto shown = [&] {
        Shown s;
        XFixesCursorImage* image = XFixesGetCursorImage(d);
        if (!image) return s;
        s = {image->width, image->height, image->xhot, image->yhot, {}};
        for (int i = 0; i < image->width * image->height; ++i) s.pixels.push_back(uint32_t(image->pixels[i]));
        XFree(image);
        return s;
    };
    const auto isPen = [&](const Shown& s) {
        return s.width == pen->width && s.height == pen->height && s.hotX == pen->hotX && s.hotY == pen->hotY &&
               s.pixels == pen->pixels;
    };

    w->SetClassCursor(pen);
    driver_->MoveTo(100 + 60, 100 + 40);
    EXPECT_TRUE(PumpUntil([&] { return isPen(shown()); }));
    // The pen's tip points: the hot spot is an opaque pixel.
    EXPECT_EQ(pen->pixels[size_t(pen->hotY * pen->width + pen->hotX)] >> 24, 0xFFu);

    w->SetClassCursor(nullptr);
    driver_->MoveTo(100 + 61, 100 + 41);
    EXPECT_TRUE(PumpUntil([&] {
        const Shown s = shown();
        return s.width > 0 && !isPen(s);
    }));
}

// A combo's drop list against the program's own activation of its windows:
// the main window shows itself again once fitted to the screen and raises
// itself when a device arrives, also while a modal window with the open list
// is in front of it.
struct ProgramActivation {
    const char* name;
    bool listInModalWindow;  // else in the activated window itself
    void (*activate)(HWND window);
};

void PrintTo(const ProgramActivation& a, std::ostream* out) { *out << a.name; }

using test::BringToFront;
using test::RaiseAsOnArrival;
using test::ShowAgain;

const ProgramActivation kProgramActivations[] = {
    {"ShownAgain", false, &ShowAgain},
    {"RaisedAsOnADevicesArrival", false, &RaiseAsOnArrival},
    {"BroughtToTheFront", false, &BringToFront},
    {"OwnerOfTheModalWindowShownAgain", true, &ShowAgain},
    {"OwnerOfTheModalWindowRaised", true, &RaiseAsOnArrival},
    {"OwnerOfTheModalWindowBroughtToTheFront", true, &BringToFront},
};

constexpr char kComboPanel[] = R"(<Window size="400,300"><VerticalLayout bkcolor="#FF303030">
    <Combo name="list" float="true" pos="20,20,220,50" bkcolor="#FF808080" itemtextcolor="#FFFFFFFF">
      <ListLabelElement text="zero" height="30"/><ListLabelElement text="one" height="30"/>
      <ListLabelElement text="two" height="30"/></Combo></VerticalLayout></Window>)";

class DropListTest : public X11WindowTest {
protected:
    // The main window, and the window with the combo in it (the main window
    // itself or a modal tool window in front of it, as the settings are).
    void OpenWindows(bool modal) {
        Skin("main.xml", kComboPanel);
        main_ = Open(L"main.xml", 100, 100);
        holder_ = main_;
        if (modal) {
            holder_ = new SkinWindow(L"main.xml");
            windows_.push_back(holder_);
            holder_->Create(main_->GetHWND(), L"Tavrik modal", win::WS_POPUP | win::WS_VISIBLE, UI_WS_EX_TOOLWINDOW,
                            300, 200, 0, 0);
            main_->Enable(false);
            ASSERT_TRUE(PumpUntil([&] { return driver_->Viewable(holder_->xid()) && Focus() == holder_->xid(); }));
        }
        combo_ = static_cast<CComboUI*>(holder_->pm().FindControl(L"list"));
        ASSERT_NE(combo_, nullptr);
    }

    // The open drop list's window, or nullptr: while the list is open its
    // rows belong to the list's window.
    CWindowWnd* DropList() const {
        CPaintManagerUI* pm = combo_->GetItemAt(0)->GetManager();
        if (pm == nullptr || pm == combo_->GetManager()) return nullptr;
        return CWindowWnd::FromHandle(pm->GetPaintWindow());
    }
    static Window Xid(CWindowWnd* w) { return w ? static_cast<X11Window*>(w->GetBackendWindow())->xid() : 0; }
    Window Focus() const {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(driver_->display(), &focus, &revert);
        return focus;
    }
    // Every request made so far, and every event it caused, has been served.
    void Settle() {
        auto& backend = static_cast<X11Backend&>(GetDisplayBackend());
        for (int round = 0; round < 3; ++round) {
            XSync(backend.display(), False);
            backend.WakeIfQueued();
            Pump();
        }
    }
    // The user opens the list with a click on the combo.
    void OpenList() {
        const RECT at = holder_->GetWindowRect();
        const RECT box = combo_->GetPos();
        driver_->Click(at.left + (box.left + box.right) / 2, at.top + (box.top + box.bottom) / 2);
        ASSERT_TRUE(PumpUntil([&] { return DropList() != nullptr && Focus() == Xid(DropList()); }));
    }
    // The screen point in the middle of the open list's row.
    win::POINT RowCentre(int row) {
        const RECT list = DropList()->GetWindowRect();
        const RECT r = combo_->GetItemAt(row)->GetPos();
        return {list.left + (r.left + r.right) / 2, list.top + (r.top + r.bottom) / 2};
    }

    SkinWindow* main_ = nullptr;
    SkinWindow* holder_ = nullptr;
    CComboUI* combo_ = nullptr;
};

class DropListAgainstProgramActivation : public DropListTest,
                                         public ::testing::WithParamInterface<ProgramActivation> {};

TEST_P(DropListAgainstProgramActivation, ListStaysOpenOnTopUntilARowIsPicked) {
    OpenWindows(GetParam().listInModalWindow);
    OpenList();
    const Window list = Xid(DropList());

    GetParam().activate(main_->GetHWND());
    Settle();
    ASSERT_NE(DropList(), nullptr) << "the list closed";
    EXPECT_EQ(Focus(), list);

    // The row is on top where the list shows it, and the pick closes the list.
    const win::POINT row = RowCentre(2);
    driver_->Click(row.x, row.y);
    EXPECT_TRUE(PumpUntil([&] { return DropList() == nullptr && combo_->GetCurSel() == 2; }))
        << "selection " << combo_->GetCurSel();
    // The focus then goes where the program asked for it.
    EXPECT_TRUE(PumpUntil([&] { return Focus() == holder_->xid(); }));
}

INSTANTIATE_TEST_SUITE_P(X11WindowTest, DropListAgainstProgramActivation, ::testing::ValuesIn(kProgramActivations),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DropListTest, ClickOutsideClosesTheListAfterTheProgramsOwnActivation) {
    OpenWindows(true);
    OpenList();
    RaiseAsOnArrival(main_->GetHWND());
    Settle();
    ASSERT_NE(DropList(), nullptr);
    // A click in the modal window away from the list: the list closes,
    // nothing is picked and the window has the focus.
    const RECT at = holder_->GetWindowRect();
    driver_->Click(at.left + 350, at.top + 250);
    EXPECT_TRUE(PumpUntil([&] { return DropList() == nullptr && Focus() == holder_->xid(); }));
    EXPECT_EQ(combo_->GetCurSel(), -1);
}

}  // namespace
}  // namespace tavrik::x11
