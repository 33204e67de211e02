// The message box and the progress window on the X server: their texts in
// both languages, the button modes and results, nesting, DPI, a close by the
// window manager, and a progress window fed by a worker thread.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/os/message_queue.h"
#include "platform/os/messages.h"
#include "platform/files/utf8.h"
#include "platform/os/window.h"
#include "platform/ui/UIlib.h"
#include "platform/ui/x11/x11_backend.h"
#include "shell/controls/message_boxes.h"
#include "shell/controls/msg_progress_wnd.h"
#include "shell/controls/msg_wnd.h"
#include "tests/x11/x_display.h"
#include "tests/support/wait_bound.h"

namespace {

using namespace DuiLib;

constexpr UINT kRunStep = 0x8000;  // WM_APP: run the step in wParam

// Runs steps on the UI thread while a modal window's loop is running: each
// posted kRunStep runs the step of its index. It also owns the boxes.
class StepWindow : public CWindowWnd {
public:
    // A deque: a step may add further steps while it runs.
    std::deque<std::function<void()>> steps;
    void Post(std::size_t step) { win::PostMessageW(GetHWND(), kRunStep, step, 0); }

protected:
    LPCTSTR GetWindowClassName() const override { return L"StepWindow"; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
        if (uMsg == kRunStep && wParam < steps.size()) {
            steps[wParam]();
            return 0;
        }
        return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }
};

CMsgWnd* OnlyBox() { return OpenMessageBoxes.size() == 1 ? OpenMessageBoxes.begin()->first : nullptr; }

CControlUI* In(WindowImplBase* w, const wchar_t* name) { return w->GetPaintManager()->FindControl(name); }

void Click(WindowImplBase* w, const wchar_t* name) {
    CControlUI* c = In(w, name);
    ASSERT_NE(c, nullptr) << win::ToUtf8(name);
    w->GetPaintManager()->SendNotify(c, L"click");
}

class MessageWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        TAVRIK_REQUIRE_X_DISPLAY();
        static bool installed = false;
        if (!installed) {
            std::string error;
            ASSERT_TRUE(tavrik::x11::UseX11DisplayBackend(&error)) << error;
            installed = true;
        }
        CPaintManagerUI::SetResourcePath(win::FromUtf8(TAVRIK_BIN_DIR "/skin/").c_str());
        CPaintManagerUI::SetAllDPI(96);
        CResourceManager::GetInstance()->Release();
        CResourceManager::GetInstance()->LoadResource(L"res.xml", nullptr);
        ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage(L"lan_en.xml"));
        owner_.Create(nullptr, L"owner", UI_WS_POPUP, 0, 100, 100, 300, 200);
        ASSERT_NE(owner_.GetHWND(), nullptr);
    }
    void TearDown() override {
        if (owner_.GetHWND() != nullptr) win::DestroyWindow(owner_.GetHWND());
        CResourceManager::GetInstance()->Release();
        CPaintManagerUI::SetAllDPI(96);
    }

    // Shows a box whose loop runs `whileOpen` first; returns the box's result.
    int Show(const wchar_t* text, int isKey, int mode, std::function<void()> whileOpen, int dpi = 96) {
        owner_.steps = {std::move(whileOpen)};
        owner_.Post(0);
        return ShowMessageBox(owner_.GetHWND(), nullptr, text, dpi, isKey, mode);
    }

    StepWindow owner_;
};

TEST_F(MessageWindowTest, ButtonModesAndTheirResults) {
    struct Case {
        int mode;
        const wchar_t* press;  // confirm_btn, cancel_btn or closebtn
        bool cancelShown;
        int result;
    } cases[] = {
        {0, L"confirm_btn", false, 1}, {1, L"confirm_btn", true, 1}, {1, L"cancel_btn", true, 0},
        {1, L"closebtn", true, 0},     {2, L"confirm_btn", true, 1},  // the skin shows both
    };
    for (const Case& c : cases) {
        bool seen = false;
        const int result = Show(L"save_succeed", 1, c.mode, [&] {
            CMsgWnd* box = OnlyBox();
            ASSERT_NE(box, nullptr);
            seen = true;
            EXPECT_TRUE(In(box, L"confirm_btn")->IsVisible());
            EXPECT_EQ(In(box, L"cancel_btn")->IsVisible(), c.cancelShown);
            EXPECT_FALSE(owner_.IsEnabled());  // modal over its owner
            Click(box, c.press);
        });
        EXPECT_TRUE(seen);
        EXPECT_EQ(result, c.result) << "mode " << c.mode << " " << win::ToUtf8(c.press);
        EXPECT_TRUE(OpenMessageBoxes.empty());
        EXPECT_TRUE(owner_.IsEnabled());
    }
}

TEST_F(MessageWindowTest, KeysShowTheirTextInTheChosenLanguage) {
    struct Case {
        const wchar_t* language;
        const wchar_t* title;
        const wchar_t* text;
        const wchar_t* confirm;
    } cases[] = {
        {L"lan_en.xml", L"Notice", L"Saved.", L"OK"},
        {L"lan_cn.xml", L"提示", L"保存成功。", L"确定"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage(c.language));
        Show(L"save_succeed", 1, 0, [&] {
            CMsgWnd* box = OnlyBox();
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(In(box, L"MessageTitle")->GetText(), c.title);
            EXPECT_EQ(In(box, L"MessageText")->GetText(), c.text);
            EXPECT_EQ(In(box, L"confirm_btn")->GetText(), c.confirm);
            Click(box, L"confirm_btn");
        });
    }
    // A ready-made text is shown as it is.
    Show(L"Too many frames: 40", 0, 0, [&] {
        EXPECT_EQ(In(OnlyBox(), L"MessageText")->GetText(), L"Too many frames: 40");
        Click(OnlyBox(), L"confirm_btn");
    });
}

TEST_F(MessageWindowTest, CloseAllEndsNestedBoxesWithZero) {
    int inner = -1;
    const int outer = Show(L"message_text_33", 1, 1, [&] {
        ASSERT_EQ(OpenMessageBoxes.size(), 1u);
        owner_.steps.push_back([&] {
            EXPECT_EQ(OpenMessageBoxes.size(), 2u);
            CloseAllMessageBoxes();
            EXPECT_TRUE(OpenMessageBoxes.empty());
        });
        owner_.Post(1);
        inner = ShowMessageBox(owner_.GetHWND(), nullptr, L"save_succeed", 96, 1, 1);
    });
    EXPECT_EQ(inner, 0);
    EXPECT_EQ(outer, 0);
    EXPECT_TRUE(OpenMessageBoxes.empty());
}

TEST_F(MessageWindowTest, DpiIsValidatedAndAppliedToTheBoxOnly) {
    Show(L"save_succeed", 1, 0, [&] {
        CMsgWnd* box = OnlyBox();
        ASSERT_NE(box, nullptr);
        box->SetDPI(100);
        EXPECT_EQ(box->GetDPI(), 96);
        box->SetDPI(144);
        EXPECT_EQ(box->GetDPI(), 144);
        EXPECT_EQ(box->GetPaintManager()->GetDPIObj()->GetDPI(), 144);
        EXPECT_EQ(CPaintManagerUI::GetAllDPI(), 96);
        Click(box, L"confirm_btn");
    });
    // 96 on a fresh box applies nothing: the box keeps the DPI it started with.
    CPaintManagerUI::SetAllDPI(120);
    Show(L"save_succeed", 1, 0, [&] {
        EXPECT_EQ(OnlyBox()->GetPaintManager()->GetDPIObj()->GetDPI(), 120);
        Click(OnlyBox(), L"confirm_btn");
    });
}

TEST_F(MessageWindowTest, WindowManagerCloseEndsOnlyTheBox) {
    const int result = Show(L"message_text_33", 1, 1, [&] {
        ASSERT_NE(OnlyBox(), nullptr);
        win::SendMessageW(OpenMessageBoxes.begin()->second, win::WM_SYSCOMMAND, win::SC_CLOSE, 0);
    });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(OpenMessageBoxes.empty());
    EXPECT_TRUE(win::IsWindow(owner_.GetHWND()));
    EXPECT_TRUE(owner_.IsEnabled());
}

// Runs a progress window as the screen upload does; `steps` run inside its loop.
int RunProgressWindow(StepWindow& owner, std::function<void()> start) {
    auto* progress = new CMsgProgressWnd;
    progress->Create(owner.GetHWND(), L"msgprogresswnd", UI_WS_POPUP | UI_WS_CLIPCHILDREN, UI_WS_EX_TOOLWINDOW);
    progress->SetTitle(L"message_text_38", 1);
    progress->SetDPI(144);
    progress->SetButtonMode(100);
    progress->CenterWindow();
    start();
    return static_cast<int>(progress->ShowModal());
}

TEST_F(MessageWindowTest, ProgressWindowFollowsAWorkerUntilClosed) {
    std::atomic<int> checked{0};
    auto* bar = static_cast<CProgressUI*>(nullptr);
    CControlUI* label = nullptr;
    owner_.steps = {
        [&] {
            auto* progress = static_cast<CMsgProgressWnd*>(CWindowWnd::FromHandle(GetProgressWindowHwnd()));
            ASSERT_NE(progress, nullptr);
            bar = static_cast<CProgressUI*>(In(progress, L"updating_status_progress"));
            label = In(progress, L"updating_status_value");
            ASSERT_NE(bar, nullptr);
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(In(progress, L"MessageTitle")->GetText(), L"Uploading to the keyboard screen");
            EXPECT_EQ(progress->GetPaintManager()->GetDPIObj()->GetDPI(), 144);
            EXPECT_EQ(CPaintManagerUI::GetAllDPI(), 96);  // the other windows keep theirs
            EXPECT_EQ(bar->GetValue(), 42);
            EXPECT_EQ(label->GetText(), L"42%");
            checked = 1;
        },
        [&] {
            EXPECT_EQ(bar->GetValue(), 100);
            EXPECT_EQ(label->GetText(), L"42%");
            checked = 2;
        },
    };
    std::thread worker;
    const int result = RunProgressWindow(owner_, [&] {
        worker = std::thread([&] {
            const win::HWND hwnd = GetProgressWindowHwnd();
            win::PostMessageW(hwnd, WM_TRANSFER_PROGRESS, 0, 42);
            owner_.Post(0);
            tavrik::test::WaitUntil([&] { return checked == 1; }, std::chrono::seconds(5));
            win::PostMessageW(hwnd, WM_TRANSFER_PROGRESS, 1, 0);
            owner_.Post(1);
            tavrik::test::WaitUntil([&] { return checked == 2; }, std::chrono::seconds(5));
            win::PostMessageW(hwnd, win::WM_CLOSE, 0, 0);
        });
    });
    worker.join();
    EXPECT_EQ(checked.load(), 2);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(GetProgressWindowHwnd(), nullptr);
}

TEST_F(MessageWindowTest, ProgressWindowConfirmEndsWithOne) {
    owner_.steps = {[&] {
        auto* progress = static_cast<CMsgProgressWnd*>(CWindowWnd::FromHandle(GetProgressWindowHwnd()));
        ASSERT_NE(progress, nullptr);
        Click(progress, L"confirm_btn");
    }};
    const int result = RunProgressWindow(owner_, [&] { owner_.Post(0); });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(GetProgressWindowHwnd(), nullptr);
}

}  // namespace
