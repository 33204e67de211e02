// The skin picker on the X server: what each of its buttons tells the skin
// observer and writes to "main.ini", the custom-picture dialog, and the
// popup's close when the focus moves elsewhere, although it never takes the
// focus itself.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "platform/dialogs/file_dialog.h"
#include "platform/files/folders.h"
#include "platform/os/profile_ini.h"
#include "platform/ui/UIlib.h"
#include "platform/ui/x11/x11_backend.h"
#include "platform/ui/x11/x11_backend_impl.h"
#include "shell/main/control_tables.h"
#include "shell/main/skin_frame.h"
#include "shell/controls/skin_observer.h"
#include "tests/shell/device_ui_fixture.h"
#include "tests/x11/x_display.h"
#include "tests/x11/x_driver.h"

namespace {

using namespace DuiLib;
namespace dialogs = tavrik::dialogs;
using devtest::Pump;
using tavrik::x11::UseX11DisplayBackend;

bool PumpUntil(const std::function<bool()>& done) {
    return tavrik::test::PumpUntil([] { Pump(); }, done);
}

Window XidOf(CWindowWnd* w) { return static_cast<tavrik::x11::X11Window*>(w->GetBackendWindow())->xid(); }

class RecordingReceiver : public SkinReceiver {
public:
    int Receive(SkinChangedParam param) override {
        received.push_back(param);
        return 1;
    }
    std::vector<SkinChangedParam> received;
};

// The owner: a window with the skin button at its top right.
class OwnerWindow : public devtest::SkinWindow {
public:
    OwnerWindow()
        : SkinWindow(
              L"<Window size=\"400,300\"><VerticalLayout name=\"root\" bkcolor=\"#FF202020\">"
              L"<HorizontalLayout height=\"40\"><Control/><Button name=\"skinbtn\" width=\"40\"/>"
              L"<Control width=\"20\"/></HorizontalLayout><Control/></VerticalLayout></Window>") {}
};

// A dialog that, before it answers, gives the focus to another program's
// window and waits until the owner has heard of it, serving the queue as the
// real dialog's wait does.
class FocusStealingDialog : public dialogs::FileDialogProvider {
public:
    FocusStealingDialog(tavrik::test::XDriver& driver, std::function<bool()> ownerLostFocus)
        : driver_(driver), lost_(std::move(ownerLostFocus)) {}
    std::string Name() const override { return "focus-stealing"; }
    dialogs::FileDialogResult Run(const dialogs::FileDialogRequest& request, const dialogs::WaitReadable&) override {
        requests.push_back(request);
        Display* d = driver_.display();
        other_ = XCreateSimpleWindow(d, DefaultRootWindow(d), 600, 600, 100, 100, 0, 0, 0);
        XMapRaised(d, other_);
        XSync(d, False);
        tavrik::test::PumpUntil([] { Pump(); }, [&] { return driver_.Viewable(other_); });
        XSetInputFocus(d, other_, RevertToParent, CurrentTime);
        XSync(d, False);
        focusLostSeen = PumpUntil(lost_);
        dialogs::FileDialogResult result;
        result.chosen = true;
        result.path = "/tmp/chosen.png";
        return result;
    }
    ~FocusStealingDialog() override {
        if (other_ != 0) {
            XDestroyWindow(driver_.display(), other_);
            XSync(driver_.display(), False);
        }
    }
    std::vector<dialogs::FileDialogRequest> requests;
    bool focusLostSeen = false;

private:
    tavrik::test::XDriver& driver_;
    std::function<bool()> lost_;
    Window other_ = 0;
};

class SkinPickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        TAVRIK_REQUIRE_X_DISPLAY();
        static bool installed = false;  // one backend for the whole process
        if (!installed) {
            std::string error;
            ASSERT_TRUE(UseX11DisplayBackend(&error)) << error;
            installed = true;
        }
        CPaintManagerUI::SetResourcePath((win::FromUtf8(TAVRIK_BIN_DIR) + L"/skin/").c_str());
        CPaintManagerUI::SetAllDPI(96);
        CResourceManager::GetInstance()->Release();
        CResourceManager::GetInstance()->LoadResource(L"res.xml", nullptr);
        RegisterCustomControls();
        driver_ = std::make_unique<tavrik::test::XDriver>();
        driver_->MoveTo(5, 1015);
        GetSkinObserver()->AddReceiverOf(&receiver_);
        owner_ = std::make_unique<OwnerWindow>();
        owner_->Create(nullptr, L"Tavrik skin picker test", win::WS_POPUP | win::WS_VISIBLE, 0, 100, 100, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return driver_->Viewable(XidOf(owner_.get())); }));
        owner_->pm().Invalidate();
        owner_->pm().Paint();
        // The owner holds the focus, as the main window does when its button is clicked.
        XSetInputFocus(driver_->display(), XidOf(owner_.get()), RevertToParent, CurrentTime);
        XSync(driver_->display(), False);
        ASSERT_TRUE(PumpUntil([&] { return FocusedWindow() == XidOf(owner_.get()); }));
    }

    void TearDown() override {
        GetSkinObserver()->RemoveReceiver(&receiver_);
        dialogs::SetFileDialogProvider(nullptr);
        if (frame_ != nullptr && win::IsWindow(frameHwnd_)) win::DestroyWindow(frameHwnd_);
        if (owner_ && owner_->GetHWND()) win::DestroyWindow(owner_->GetHWND());
        Pump();
        owner_.reset();
        CResourceManager::GetInstance()->Release();
        CPaintManagerUI::Term();
    }

    Window FocusedWindow() {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(driver_->display(), &focus, &revert);
        return focus;
    }

    CSkinFrame* OpenPicker() {
        frame_ = CSkinFrame::Open(owner_->GetHWND(), owner_->pm().FindControl(L"skinbtn"));
        EXPECT_NE(frame_, nullptr);
        if (frame_ == nullptr) return nullptr;
        frameHwnd_ = frame_->GetHWND();
        EXPECT_TRUE(PumpUntil([&] { return driver_->Viewable(XidOf(frame_)); }));
        frame_->GetPaintManager()->Invalidate();
        frame_->GetPaintManager()->Paint();
        return frame_;
    }

    bool PickerOpen() const { return win::IsWindow(frameHwnd_) != FALSE; }

    // Clicks a control of the popup on the screen.
    void ClickOn(CControlUI* control) {
        ASSERT_NE(control, nullptr);
        const RECT r = control->GetPos();
        const RECT w = frame_->GetWindowRect();
        driver_->Click(w.left + (r.left + r.right) / 2, w.top + (r.top + r.bottom) / 2);
        XSync(driver_->display(), False);
    }

    // The popup's control of a name (the n-th of that name).
    CControlUI* Control(const wchar_t* name, int n = 0) {
        std::vector<CControlUI*> found;
        std::pair<const wchar_t*, std::vector<CControlUI*>*> search(name, &found);
        frame_->GetPaintManager()->GetRoot()->FindControl(
            [](CControlUI* c, LPVOID data) -> CControlUI* {
                auto* list = static_cast<std::pair<const wchar_t*, std::vector<CControlUI*>*>*>(data);
                if (c->GetName() == list->first) list->second->push_back(c);
                return nullptr;
            },
            &search, UIFIND_ALL);
        return n < static_cast<int>(found.size()) ? found[static_cast<size_t>(n)] : nullptr;
    }

    std::wstring IniValue(const wchar_t* key) {
        wchar_t buffer[512] = {};
        win::GetPrivateProfileStringW(L"SKINIMAGE", key, L"<none>", buffer, 512, CSkinFrame::MainIniPath().c_str());
        return buffer;
    }

    std::unique_ptr<tavrik::test::XDriver> driver_;
    std::unique_ptr<OwnerWindow> owner_;
    RecordingReceiver receiver_;
    CSkinFrame* frame_ = nullptr;
    HWND frameHwnd_ = nullptr;
};

TEST_F(SkinPickerTest, OpensUnderTheButtonWithoutTakingTheFocus) {
    ASSERT_NE(OpenPicker(), nullptr);
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(driver_->Geometry(XidOf(frame_), x, y, width, height));
    const RECT button = owner_->pm().FindControl(L"skinbtn")->GetPos();
    EXPECT_EQ(width, 300);
    EXPECT_EQ(x, 100 + button.right - 300);
    EXPECT_EQ(y, 100 + button.bottom);
    Pump();
    EXPECT_EQ(FocusedWindow(), XidOf(owner_.get()));
    EXPECT_TRUE(PickerOpen());
}

TEST_F(SkinPickerTest, ColourPictureAndResetAreBroadcastAndPicturesRecorded) {
    ASSERT_NE(OpenPicker(), nullptr);
    std::filesystem::remove(win::ToFsPath(CSkinFrame::MainIniPath()));
    // A colour: told, nothing written.
    ClickOn(Control(L"skin_color"));
    ASSERT_TRUE(PumpUntil([&] { return Control(L"skin_color_btn", 1)->IsVisible(); }));
    frame_->GetPaintManager()->Paint();
    ClickOn(Control(L"skin_color_btn", 1));
    ASSERT_TRUE(PumpUntil([&] { return receiver_.received.size() == 1; }));
    EXPECT_TRUE(receiver_.received[0].isColor);
    EXPECT_EQ(receiver_.received[0].color, Control(L"skin_color_btn", 1)->GetBkColor());
    EXPECT_EQ(IniValue(L"FLAGS"), L"<none>");
    EXPECT_TRUE(PickerOpen());  // a click inside keeps it open
    // A picture of the list.
    ClickOn(Control(L"skin_image"));
    ASSERT_TRUE(PumpUntil([&] { return Control(L"skin_image_btn", 2)->IsVisible(); }));
    frame_->GetPaintManager()->Paint();
    ClickOn(Control(L"skin_image_btn", 2));
    ASSERT_TRUE(PumpUntil([&] { return receiver_.received.size() == 2; }));
    EXPECT_FALSE(receiver_.received[1].isColor);
    EXPECT_EQ(receiver_.received[1].image, CDuiString(L"skin/background_forest.png"));
    EXPECT_EQ(IniValue(L"FLAGS"), L"1");
    EXPECT_EQ(IniValue(L"IMAGE"), L"skin/background_forest.png");
    // The reset.
    ClickOn(Control(L"skin_reset"));
    ASSERT_TRUE(PumpUntil([&] { return receiver_.received.size() == 3; }));
    EXPECT_EQ(receiver_.received[2].image, CDuiString(L"common/background.png"));
    EXPECT_EQ(IniValue(L"FLAGS"), L"0");
    EXPECT_EQ(IniValue(L"IMAGE"), L"common/background.png");
}

// The picker opens with what the owner shows marked, its tab in front; a
// pick moves the mark, a reset marks the default picture.
TEST_F(SkinPickerTest, TheOwnersBackgroundIsMarkedAndTheMarkFollowsThePick) {
    auto chosen = [&] {
        std::wstring out;
        for (const wchar_t* name : {L"skin_image_btn", L"skin_color_btn"})
            for (int i = 0; CControlUI* c = Control(name, i); ++i)
                if (static_cast<COptionUI*>(c)->IsSelected()) out += std::wstring(name) + L" " + std::to_wstring(i);
        return out;
    };
    owner_->pm().FindControl(L"root")->SetBkColor(0xFF1B2A3A);
    ASSERT_NE(OpenPicker(), nullptr);
    EXPECT_EQ(chosen(), L"skin_color_btn 1");
    EXPECT_TRUE(Control(L"skin_color_btn", 1)->IsVisible()) << "the colours' tab is in front";
    EXPECT_TRUE(static_cast<COptionUI*>(Control(L"skin_color"))->IsSelected());
    ClickOn(Control(L"skin_color_btn", 3));
    ASSERT_TRUE(PumpUntil([&] { return receiver_.received.size() == 1; }));
    EXPECT_EQ(chosen(), L"skin_color_btn 3");
    ClickOn(Control(L"skin_reset"));
    ASSERT_TRUE(PumpUntil([&] { return receiver_.received.size() == 2; }));
    EXPECT_EQ(chosen(), L"skin_image_btn 0");
}

TEST_F(SkinPickerTest, ACustomPictureIsBroadcastAndACancelIsNot) {
    auto script = std::make_shared<dialogs::ScriptedFileDialogProvider>();
    script->Cancel();
    script->Choose("/home/user/pictures/mine.png");
    dialogs::SetFileDialogProvider(script);
    std::filesystem::remove(win::ToFsPath(CSkinFrame::MainIniPath()));
    ASSERT_NE(OpenPicker(), nullptr);
    ClickOn(Control(L"skin_Custom"));
    ASSERT_TRUE(PumpUntil([&] { return script->Requests().size() == 1; }));
    Pump();
    EXPECT_TRUE(receiver_.received.empty());
    ClickOn(Control(L"skin_Custom"));
    ASSERT_TRUE(PumpUntil([&] { return receiver_.received.size() == 1; }));
    EXPECT_FALSE(receiver_.received[0].isColor);
    EXPECT_EQ(receiver_.received[0].image, CDuiString(L"/home/user/pictures/mine.png"));
    EXPECT_EQ(IniValue(L"FLAGS"), L"<none>");
    // The "|" filter became a list: PNG pictures first, then every file.
    const dialogs::FileDialogRequest& request = script->Requests()[0];
    ASSERT_EQ(request.filters.size(), 2u);
    EXPECT_EQ(request.filters[0].patterns, std::vector<std::string>{"*.png"});
    EXPECT_EQ(request.filters[1].patterns, std::vector<std::string>{"*.*"});
    EXPECT_EQ(request.default_extension, "png");
}

TEST_F(SkinPickerTest, AFocusLossDuringTheDialogClosesThePopupOnlyAfterTheClick) {
    bool ownerLost = false;
    auto dialog = std::make_shared<FocusStealingDialog>(*driver_, [&] {
        ownerLost = FocusedWindow() != XidOf(owner_.get());
        return ownerLost && PickerOpen();
    });
    dialogs::SetFileDialogProvider(dialog);
    ASSERT_NE(OpenPicker(), nullptr);
    ClickOn(Control(L"skin_Custom"));
    ASSERT_TRUE(PumpUntil([&] { return !dialog->requests.empty(); }));
    // The choice still arrives, and then the popup goes.
    ASSERT_TRUE(PumpUntil([&] { return receiver_.received.size() == 1; }));
    EXPECT_TRUE(dialog->focusLostSeen);
    EXPECT_TRUE(PumpUntil([&] { return !PickerOpen(); }));
}

TEST_F(SkinPickerTest, TheFocusMovingToAnotherWindowClosesThePopup) {
    ASSERT_NE(OpenPicker(), nullptr);
    Display* d = driver_->display();
    const Window other = XCreateSimpleWindow(d, DefaultRootWindow(d), 700, 700, 80, 80, 0, 0, 0);
    XMapRaised(d, other);
    XSync(d, False);
    ASSERT_TRUE(PumpUntil([&] { return driver_->Viewable(other); }));
    EXPECT_TRUE(PickerOpen());
    XSetInputFocus(d, other, RevertToParent, CurrentTime);
    XSync(d, False);
    EXPECT_TRUE(PumpUntil([&] { return !PickerOpen(); }));
    XDestroyWindow(d, other);
    XSync(d, False);
}

TEST_F(SkinPickerTest, AClickInTheOwnerClosesThePopup) {
    ASSERT_NE(OpenPicker(), nullptr);
    driver_->Click(100 + 50, 100 + 150);
    XSync(driver_->display(), False);
    EXPECT_TRUE(PumpUntil([&] { return !PickerOpen(); }));
    EXPECT_TRUE(win::IsWindow(owner_->GetHWND()));
}

}  // namespace
