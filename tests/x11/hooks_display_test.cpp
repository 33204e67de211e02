// The hooks on a real X server: the RECORD source, the keyboard grab and the
// vocabulary, with input from the XTEST extension.

#include <gtest/gtest.h>

#include "platform/ui/x11/x11_backend_impl.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <memory>
#include <thread>

#include "platform/hooks/hook_api.h"
#include "platform/hooks/hook_hub.h"
#include "platform/hooks/key_trap.h"
#include "platform/os/event.h"
#include "platform/os/handle.h"
#include "platform/os/message_queue.h"
#include "platform/os/registered_message.h"
#include "platform/os/window.h"
#include "platform/ui/x11/x11_backend.h"
#include "tests/x11/hook_recorder.h"
#include "tests/x11/x_display.h"
#include "tests/x11/x_driver.h"
#include "tests/support/wait_bound.h"

namespace tavrik::hooks {
namespace {

using test::Hooked;
using test::PumpMessages;

// Another program on the display: a focused window that counts its keys.
class OtherClient {
public:
    OtherClient() {
        d_ = XOpenDisplay(nullptr);
        if (!d_) return;
        XSetWindowAttributes a{};
        a.override_redirect = True;
        a.event_mask = KeyPressMask | KeyReleaseMask | StructureNotifyMask;
        w_ = XCreateWindow(d_, DefaultRootWindow(d_), 900, 700, 120, 80, 0, CopyFromParent, InputOutput, CopyFromParent,
                           CWOverrideRedirect | CWEventMask, &a);
        XMapRaised(d_, w_);
        XSync(d_, False);
    }
    ~OtherClient() {
        if (d_) XCloseDisplay(d_);
    }
    bool ok() const { return d_ != nullptr; }
    Display* display() const { return d_; }

    bool Focus() {
        // The window takes the focus once it is viewable.
        return test::PumpUntil([] {},
                               [&] {
                                   XWindowAttributes wa{};
                                   XGetWindowAttributes(d_, w_, &wa);
                                   if (wa.map_state != IsViewable) return false;
                                   XSetInputFocus(d_, w_, RevertToPointerRoot, CurrentTime);
                                   XSync(d_, False);
                                   Window focus = 0;
                                   int revert = 0;
                                   XGetInputFocus(d_, &focus, &revert);
                                   return focus == w_;
                               });
    }
    // Reads what has come in; the key codes pressed so far.
    const std::vector<unsigned>& Pressed() {
        XSync(d_, False);
        while (XPending(d_)) {
            XEvent e;
            XNextEvent(d_, &e);
            if (e.type == KeyPress) pressed_.push_back(e.xkey.keycode);
        }
        return pressed_;
    }

private:
    Display* d_ = nullptr;
    Window w_ = 0;
    std::vector<unsigned> pressed_;
};

class RecordHooks : public ::testing::Test, protected test::HookSet {
protected:
    void SetUp() override {
        TAVRIK_REQUIRE_X_DISPLAY();
        test::ClearHooked();
        driver_ = std::make_unique<test::XDriver>();
        ASSERT_TRUE(driver_->ok());
    }
    void TearDown() override {
        ReleaseAll();
        EXPECT_FALSE(HookHub::Instance().SourceRunning());
        test::ClearHooked();
        if (ui_source_) {
            win::RemoveMessageSource(ui_source_);
            DuiLib::SetDisplayBackend(nullptr);
        }
    }
    static bool Until(const std::function<bool()>& done) { return test::PumpUntil(PumpMessages, done); }
    static bool KeysAtLeast(size_t n) {
        return Until([n] { return Hooked().keys.size() >= n; });
    }
    KeyCode Code(KeySym sym) { return XKeysymToKeycode(driver_->display(), sym); }
    void KeyDown(KeySym sym, bool down) {
        XTestFakeKeyEvent(driver_->display(), Code(sym), down, CurrentTime);
        XSync(driver_->display(), False);
    }
    bool CapsLocked() {
        XkbStateRec state{};
        XkbGetState(driver_->display(), XkbUseCoreKbd, &state);
        return (state.locked_mods & LockMask) != 0;
    }

    // Runs the UI on the X11 backend for the rest of the test.
    x11::X11Backend* UseX11Ui() {
        std::string error;
        auto opened = x11::OpenX11Backend({}, &error);
        EXPECT_NE(opened, nullptr) << error;
        if (!opened) return nullptr;
        auto* backend = static_cast<x11::X11Backend*>(opened.get());
        DuiLib::SetDisplayBackend(std::move(opened));
        ui_source_ = win::AddMessageSource(backend->GetEventFd(), [backend] { backend->ProcessEvents(); });
        return backend;
    }
    void CheckOtherClientIsLockedOut();
    void CheckInstallationFailsWhileAnotherClientHoldsTheKeyboard();

    std::unique_ptr<test::XDriver> driver_;
    int ui_source_ = 0;
};

TEST_F(RecordHooks, KeysGiveTheirScanCodesAndExtendedFlags) {
    ASSERT_NE(Hook(), nullptr);
    driver_->Key(XK_a);
    driver_->Key(XK_Control_R);
    driver_->Key(XK_KP_Enter);
    ASSERT_TRUE(KeysAtLeast(6));
    struct Expected {
        win::WPARAM message;
        win::DWORD vk, scan, extended;
    };
    const Expected expected[] = {{0x100, 0x41, 0x1E, 0}, {0x101, 0x41, 0x1E, 0}, {0x100, 0xA3, 0x1D, 1},
                                 {0x101, 0xA3, 0x1D, 1}, {0x100, 0x0D, 0x1C, 1}, {0x101, 0x0D, 0x1C, 1}};
    ASSERT_EQ(Hooked().keys.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const auto& k = Hooked().keys[i];
        EXPECT_EQ(k.message, expected[i].message);
        EXPECT_EQ(k.record.vkCode, expected[i].vk);
        EXPECT_EQ(k.record.scanCode, expected[i].scan);
        EXPECT_EQ(k.record.flags & win::LLKHF_EXTENDED, expected[i].extended);
        EXPECT_EQ(k.thread, win::GetCurrentThreadId());
    }
}

TEST_F(RecordHooks, CapsLockArrivesAndStillSwitchesItsState) {
    const bool before = CapsLocked();
    ASSERT_NE(Hook(), nullptr);
    driver_->Key(XK_Caps_Lock);
    ASSERT_TRUE(KeysAtLeast(2));
    EXPECT_EQ(Hooked().keys[0].record.vkCode, 0x14u);
    EXPECT_EQ(Hooked().keys[0].record.scanCode, 0x3Au);
    EXPECT_EQ(Hooked().keys[1].message, win::WM_KEYUP);
    EXPECT_NE(CapsLocked(), before) << "the server switches the lock under the hook's grab";
    driver_->Key(XK_Caps_Lock);
    ASSERT_TRUE(KeysAtLeast(4));
    EXPECT_EQ(CapsLocked(), before);
}

TEST_F(RecordHooks, HeldKeyGivesRepeatedDownsAndOneUp) {
    Display* d = driver_->display();
    unsigned delay = 0, interval = 0;
    XkbGetAutoRepeatRate(d, XkbUseCoreKbd, &delay, &interval);
    XAutoRepeatOn(d);
    XkbSetAutoRepeatRate(d, XkbUseCoreKbd, 40, 15);
    XSync(d, False);
    ASSERT_NE(Hook(), nullptr);
    KeyDown(XK_a, true);
    const bool repeated = KeysAtLeast(4);
    KeyDown(XK_a, false);
    XkbSetAutoRepeatRate(d, XkbUseCoreKbd, delay, interval);
    XSync(d, False);
    ASSERT_TRUE(repeated) << "the server repeats a held key";
    ASSERT_TRUE(Until([] { return Hooked().keys.back().message == win::WM_KEYUP; }));
    int ups = 0;
    for (const auto& k : Hooked().keys) {
        EXPECT_EQ(k.record.vkCode, 0x41u);
        ups += k.message == win::WM_KEYUP;
    }
    EXPECT_EQ(ups, 1) << "no release between the repeats";
    EXPECT_GE(Hooked().keys.size(), 5u);
}

TEST_F(RecordHooks, ButtonsGiveTheirMessagesPointAndMouseData) {
    win::HWND w = Window();
    ASSERT_EQ(InstallHook(w, 4), 1);
    const unsigned buttons[] = {1, 3, 8, 9};
    for (unsigned b : buttons) {
        driver_->MoveTo(300 + static_cast<int>(b), 200 + static_cast<int>(b));
        driver_->Press(b);
        driver_->Release(b);
    }
    ASSERT_TRUE(Until([] { return Hooked().mouse.size() >= 8; }));
    struct Expected {
        win::WPARAM message;
        unsigned highWord;
        int at;
    };
    const Expected expected[] = {{0x201, 0, 1}, {0x202, 0, 1}, {0x204, 0, 3}, {0x205, 0, 3},
                                 {0x20B, 1, 8}, {0x20C, 1, 8}, {0x20B, 2, 9}, {0x20C, 2, 9}};
    ASSERT_EQ(Hooked().mouse.size(), 8u);
    const win::UINT id = win::RegisterWindowMessageW(L"WM_HOOK_KEY_MSMACRO_MSG");
    for (size_t i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const auto& m = Hooked().mouse[i];
        EXPECT_EQ(m.message, id);
        EXPECT_EQ(m.mouseMessage, expected[i].message);
        EXPECT_EQ(m.record.mouseData >> 16, expected[i].highWord);
        EXPECT_EQ(m.record.x, 300 + expected[i].at);
        EXPECT_EQ(m.record.y, 200 + expected[i].at);
    }
}

// Another program types before the hook, gets nothing while it is installed
// and types again after its removal.
void RecordHooks::CheckOtherClientIsLockedOut() {
    OtherClient other;
    ASSERT_TRUE(other.ok());
    ASSERT_TRUE(other.Focus());
    driver_->Key(XK_a);
    ASSERT_TRUE(test::PumpUntil(PumpMessages, [&] { return other.Pressed().size() == 1; })) << "it types before";

    win::HHOOK h = Hook();
    ASSERT_NE(h, nullptr);
    driver_->Key(XK_b);
    ASSERT_TRUE(KeysAtLeast(2));
    EXPECT_EQ(Hooked().keys[0].record.vkCode, 0x42u);
    // The server has handled the key (the hook saw it): the other client
    // would have it by now.
    EXPECT_EQ(other.Pressed().size(), 1u);

    Unhook(h);
    driver_->Key(XK_c);
    ASSERT_TRUE(test::PumpUntil(PumpMessages, [&] { return other.Pressed().size() == 2; })) << "it types again";
    EXPECT_EQ(other.Pressed().back(), Code(XK_c));
    PumpMessages();
    EXPECT_EQ(Hooked().keys.size(), 2u);
}

TEST_F(RecordHooks, AnotherClientGetsNoKeysWhileTheKeyboardHookIsInstalled) { CheckOtherClientIsLockedOut(); }

TEST_F(RecordHooks, AnotherClientGetsNoKeysAlsoWithTheUiOnX11) {
    UseX11Ui();
    CheckOtherClientIsLockedOut();
}

TEST_F(RecordHooks, AltMakesSystemKeyMessages) {
    ASSERT_NE(Hook(), nullptr);
    KeyDown(XK_Alt_L, true);
    driver_->Key(XK_a);
    KeyDown(XK_Alt_L, false);
    driver_->Key(XK_a);
    ASSERT_TRUE(KeysAtLeast(6));
    std::vector<std::pair<win::WPARAM, win::DWORD>> got;
    for (const auto& k : Hooked().keys) got.emplace_back(k.message, k.record.vkCode);
    EXPECT_EQ(got, (std::vector<std::pair<win::WPARAM, win::DWORD>>{
                       {0x104, 0xA4}, {0x104, 0x41}, {0x105, 0x41}, {0x105, 0xA4}, {0x100, 0x41}, {0x101, 0x41}}));
}

TEST_F(RecordHooks, NothingArrivesWithoutAHook) {
    driver_->Key(XK_a);
    PumpMessages();
    EXPECT_FALSE(HookHub::Instance().SourceRunning());
    win::HHOOK h = Hook();
    ASSERT_NE(h, nullptr);
    driver_->Key(XK_b);
    ASSERT_TRUE(KeysAtLeast(2));
    EXPECT_EQ(Hooked().keys[0].record.vkCode, 0x42u) << "nothing from before the hook";
    Unhook(h);
    EXPECT_FALSE(HookHub::Instance().SourceRunning()) << "no recording context without a hook";
    driver_->Key(XK_c);
    PumpMessages();
    EXPECT_EQ(Hooked().keys.size(), 2u);
}

void RecordHooks::CheckInstallationFailsWhileAnotherClientHoldsTheKeyboard() {
    OtherClient other;
    ASSERT_TRUE(other.ok());
    ASSERT_EQ(XGrabKeyboard(other.display(), DefaultRootWindow(other.display()), False, GrabModeAsync, GrabModeAsync,
                            CurrentTime),
              GrabSuccess);
    EXPECT_EQ(Hook(), nullptr);
    EXPECT_FALSE(HookHub::Instance().SourceRunning());
    win::HWND w = Window();
    EXPECT_EQ(InstallHook(w, 4), 1) << "the mouse hook takes nothing";
    EXPECT_EQ(UnInstallHook(w), 1);

    XUngrabKeyboard(other.display(), CurrentTime);
    XSync(other.display(), False);
    EXPECT_NE(Hook(), nullptr);
}

TEST_F(RecordHooks, InstallationFailsWhileAnotherClientHoldsTheKeyboard) {
    CheckInstallationFailsWhileAnotherClientHoldsTheKeyboard();
}

TEST_F(RecordHooks, InstallationFailsWhileAnotherClientHoldsTheKeyboardAlsoWithTheUiOnX11) {
    UseX11Ui();
    CheckInstallationFailsWhileAnotherClientHoldsTheKeyboard();
}

TEST_F(RecordHooks, RemovalNeitherWaitsForTheHooksThreadNorDeliversWhatWasQueued) {
    win::HANDLE installed = win::CreateEventW(nullptr, win::TRUE, win::FALSE, nullptr);
    win::HANDLE release = win::CreateEventW(nullptr, win::TRUE, win::FALSE, nullptr);
    win::HHOOK h = nullptr;
    std::thread ui([&] {
        h = win::SetWindowsHookExW(win::WH_KEYBOARD_LL, test::RecordingKeyProc, nullptr, 0);
        win::SetEvent(installed);
        // Busy elsewhere: no message wait until released.
        win::WaitForSingleObject(release, win::INFINITE);
        PumpMessages();
    });
    ASSERT_EQ(win::WaitForSingleObject(installed, tavrik::test::WaitBoundMs(10000)), win::WAIT_OBJECT_0);
    ASSERT_NE(h, nullptr);
    driver_->Key(XK_a);
    // Wait until the hook's thread has the events queued: the RECORD thread
    // has seen them once a later event arrives on this thread's hook.
    win::HHOOK probe = Hook();
    ASSERT_NE(probe, nullptr);
    driver_->Key(XK_b);
    ASSERT_TRUE(KeysAtLeast(2));
    EXPECT_TRUE(win::UnhookWindowsHookEx(h));
    Unhook(probe);
    EXPECT_FALSE(HookHub::Instance().SourceRunning());
    win::SetEvent(release);
    ui.join();
    for (const auto& k : Hooked().keys)
        EXPECT_EQ(k.thread, win::GetCurrentThreadId()) << "nothing ran on the blocked thread";
    win::CloseHandle(installed);
    win::CloseHandle(release);
}

// With the UI on X11 the grab is the UI's own: its windows still get the lock
// keys, and nothing else.
TEST_F(RecordHooks, ProgramWindowsGetOnlyTheLockKeysWhileTheKeyboardHookIsInstalled) {
    x11::X11Backend* backend = UseX11Ui();
    ASSERT_NE(backend, nullptr);

    struct Sink : DuiLib::IBackendWindowSink {
        std::vector<std::uint32_t> downs;
        bool active = false;
        void OnBackendEvent(const DuiLib::BackendEvent& e) override {
            if (e.type == DuiLib::BackendEventType::KeyDown) downs.push_back(e.virtualKey);
            if (e.type == DuiLib::BackendEventType::Activated) active = true;
        }
    } sink;
    DuiLib::BackendWindowParams params;
    params.rect = {100, 100, 300, 250};
    params.title = L"Tavrik hook test";
    auto window = backend->CreateWindow(params, &sink);
    window->Show(DuiLib::BackendShowCommand::Show);
    ASSERT_TRUE(Until([&] { return sink.active; }));
    driver_->Key(XK_a);
    ASSERT_TRUE(Until([&] { return sink.downs.size() == 1; }));

    win::HHOOK h = Hook();
    ASSERT_NE(h, nullptr);
    driver_->Key(XK_b);
    driver_->Key(XK_Caps_Lock);
    ASSERT_TRUE(KeysAtLeast(4));
    ASSERT_TRUE(Until([&] { return sink.downs.size() == 2; }));
    EXPECT_EQ(sink.downs[1], 0x14u) << "only the lock key reaches the window";
    driver_->Key(XK_Caps_Lock);
    ASSERT_TRUE(Until([&] { return sink.downs.size() == 3; }));

    Unhook(h);
    driver_->Key(XK_c);
    ASSERT_TRUE(Until([&] { return sink.downs.size() == 4; }));
    EXPECT_EQ(sink.downs, (std::vector<std::uint32_t>{'A', 0x14, 0x14, 'C'}));

    window.reset();
}

}  // namespace
}  // namespace tavrik::hooks
