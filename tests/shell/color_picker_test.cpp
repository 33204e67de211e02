// The colour picker over the main window: its edits, its collected colours
// and their file, its results, and what it does without its default file.

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <json/json.h>

#include "link/data_folders.h"
#include "link/json_file_util.h"
#include "platform/files/folders.h"
#include "platform/os/message_queue.h"
#include "platform/os/messages.h"
#include "platform/files/utf8.h"
#include "shell/main/color_select_wnd.h"
#include "tests/shell/main_wnd_fixture.h"

namespace mainwndtest {
namespace {

constexpr UINT kRunStep = 0x8001;  // WM_APP + 1: run the next step

// Runs steps on the UI thread while the picker's modal loop runs.
class StepWindow : public CWindowWnd {
public:
    std::deque<std::function<void()>> steps;
    void PostNext() { win::PostMessageW(GetHWND(), kRunStep, 0, 0); }

protected:
    LPCTSTR GetWindowClassName() const override { return L"PickerSteps"; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
        if (uMsg == kRunStep && !steps.empty()) {
            auto step = std::move(steps.front());
            steps.pop_front();
            step();
            return 0;
        }
        return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }
};

// A picker whose installed default is somewhere else.
class PickerWithDefault : public CColorSelectWnd {
public:
    explicit PickerWithDefault(CDuiString path) : path_(std::move(path)) {}
    CDuiString DefaultFilePath() const override { return path_; }

private:
    CDuiString path_;
};

std::string FileBytes(const CDuiString& path) { return CJsonFileUtil::ReadFileText(path); }

class ColorPickerTest : public MainWndTest {
protected:
    void SetUp() override {
        MainWndTest::SetUp();
        OpenMainWindow();
        steps_.Create(nullptr, L"steps", UI_WS_POPUP, 0, 0, 0, 10, 10);
        std::error_code ignored;
        std::filesystem::remove(win::ToFsPath(CColorSelectWnd::UserFilePath().str()), ignored);
    }
    void TearDown() override {
        if (steps_.GetHWND() != nullptr) win::DestroyWindow(steps_.GetHWND());
        MainWndTest::TearDown();
    }

    // Runs the picker as the main window's commands do; `whileOpen` runs
    // inside its modal loop with the picker.
    bool Pick(DWORD& color, std::function<void(CColorSelectWnd&)> whileOpen) {
        steps_.steps.push_back([this, whileOpen] {
            auto* picker = dynamic_cast<CColorSelectWnd*>(CWindowWnd::FromHandle(window_->GetColorPickerWnd()));
            ASSERT_NE(picker, nullptr);
            Paint(*picker);
            whileOpen(*picker);
        });
        steps_.PostNext();
        return window_->PickColor(color);
    }

    static void Paint(CColorSelectWnd& picker) {
        picker.GetPaintManager()->Invalidate();
        picker.GetPaintManager()->Paint();  // the first paint sends "windowinit"
    }
    static CControlUI* In(CColorSelectWnd& picker, const wchar_t* name) {
        return picker.GetPaintManager()->FindControl(name);
    }
    static COptionUI* OptionIn(CColorSelectWnd& picker, const std::wstring& name) {
        return static_cast<COptionUI*>(picker.GetPaintManager()->FindControl(name.c_str()));
    }
    static void Notify(CColorSelectWnd& picker, const wchar_t* name, const wchar_t* type) {
        CControlUI* c = In(picker, name);
        ASSERT_NE(c, nullptr) << win::ToUtf8(name);
        picker.GetPaintManager()->SendNotify(c, type);
    }
    static void Select(CColorSelectWnd& picker, const std::wstring& option) {
        COptionUI* o = OptionIn(picker, option);
        ASSERT_NE(o, nullptr) << win::ToUtf8(option);
        o->Selected(true);  // sends "selectchanged"
    }

    StepWindow steps_;
};

TEST_F(ColorPickerTest, EditsAreReadAsBytesAndShowTheValueUsed) {
    struct Case {
        const wchar_t* red;
        const wchar_t* green;
        const wchar_t* blue;
        DWORD color;
        const wchar_t* shown[3];
    } cases[] = {
        {L"300", L"-7", L"abc", 0xFFFF0000, {L"255", L"0", L"abc"}},
        {L"", L"128", L"7", 0xFF008007, {L"0", L"128", L"7"}},
    };
    for (const Case& c : cases) {
        DWORD color = 0xFF123456;
        const bool chosen = Pick(color, [&](CColorSelectWnd& picker) {
            In(picker, L"color_edit_r")->SetText(c.red);
            In(picker, L"color_edit_g")->SetText(c.green);
            In(picker, L"color_edit_b")->SetText(c.blue);
            Notify(picker, L"color_edit_g", L"killfocus");
            EXPECT_EQ(picker.GetColor(), c.color);
            EXPECT_EQ(In(picker, L"color_show_btn")->GetBkColor(), c.color);
            const wchar_t* edits[] = {L"color_edit_r", L"color_edit_g", L"color_edit_b"};
            for (int i = 0; i < 3; ++i) EXPECT_EQ(In(picker, edits[i])->GetText(), c.shown[i]) << i;
            Notify(picker, L"okbtn", L"click");
        });
        EXPECT_TRUE(chosen);
        EXPECT_EQ(color, c.color);
        EXPECT_EQ(window_->GetColorPickerWnd(), nullptr);
    }
}

TEST_F(ColorPickerTest, ResultsOfTheWaysOut) {
    struct Case {
        const char* how;
        std::function<void(CColorSelectWnd&)> leave;
        bool chosen;
    } cases[] = {
        {"okbtn", [](CColorSelectWnd& p) { Notify(p, L"okbtn", L"click"); }, true},
        {"closebtn", [](CColorSelectWnd& p) { Notify(p, L"closebtn", L"click"); }, false},
        {"laterbtn", [](CColorSelectWnd& p) { Notify(p, L"laterbtn", L"click"); }, false},
        {"SC_CLOSE", [](CColorSelectWnd& p) { win::SendMessageW(p.GetHWND(), win::WM_SYSCOMMAND, win::SC_CLOSE, 0); },
         false},
        {"closed by the main window", [this](CColorSelectWnd&) { window_->CloseChildWindows(); }, false},
    };
    for (const Case& c : cases) {
        DWORD color = 0xFF102030;
        const bool chosen = Pick(color, [&](CColorSelectWnd& picker) {
            Select(picker, L"color_option_8");  // blue from the skin
            c.leave(picker);
        });
        EXPECT_EQ(chosen, c.chosen) << c.how;
        EXPECT_EQ(color, c.chosen ? 0xFF0000FFu : 0xFF102030u) << c.how;
        // The program goes on: no quit is waiting, the main window lives.
        win::MSG msg;
        EXPECT_FALSE(win::PeekMessageW(&msg, nullptr, win::WM_QUIT, win::WM_QUIT, win::PM_NOREMOVE)) << c.how;
        EXPECT_TRUE(win::IsWindow(window_->GetHWND())) << c.how;
    }
    // A second picker does not open while one is open.
    DWORD color = 0xFF102030;
    Pick(color, [&](CColorSelectWnd& picker) {
        DWORD inner = 0xFF000001;
        EXPECT_FALSE(window_->PickColor(inner));
        EXPECT_EQ(inner, 0xFF000001u);
        Notify(picker, L"okbtn", L"click");
    });
    EXPECT_EQ(window_->GetColorPickerWnd(), nullptr);
}

TEST_F(ColorPickerTest, CollectedColoursAreStoredAndComeBackWithNoSlotSelected) {
    DWORD color = 0xFF000000;
    Pick(color, [&](CColorSelectWnd& picker) {
        Select(picker, L"collect_color_option_3");  // an empty slot: the next colour goes there
        Select(picker, L"color_option_0");          // red
        COptionUI* slot = OptionIn(picker, L"collect_color_option_3");
        EXPECT_EQ(slot->GetBkColor(), 0xFFFF0000u);
        EXPECT_EQ(slot->GetUserData(), L"1");
        Notify(picker, L"closebtn", L"click");
    });
    const Json::Value info = CJsonFileUtil::LoadJson(CColorSelectWnd::UserFilePath())["coloroptioninfo"];
    EXPECT_EQ(info["palletDialogcollectcoloroption"][3]["color"].asString(), "FFFF0000");
    EXPECT_EQ(info["palletDialogcollectcoloroption"][3]["UserData"].asString(), "1");
    EXPECT_EQ(info["palletDialogcollectcoloroption"][2]["color"].asString(), "FFFFFFFF");
    EXPECT_EQ(info["palletDialogcoloroption"][0]["color"].asString(), "FFFF0000");
    EXPECT_EQ(info["palletDialogcoloroption_selectitem"].asInt(), 0);

    Pick(color, [&](CColorSelectWnd& picker) {
        COptionUI* slot = OptionIn(picker, L"collect_color_option_3");
        EXPECT_EQ(slot->GetBkColor(), 0xFFFF0000u);
        EXPECT_EQ(slot->GetUserData(), L"1");
        EXPECT_EQ(picker.GetCollectedIndex(), -1);
        EXPECT_EQ(picker.GetPresetIndex(), 0);
        // A colour changed now lands in no slot.
        Select(picker, L"color_option_4");
        EXPECT_EQ(slot->GetBkColor(), 0xFFFF0000u);
        EXPECT_EQ(OptionIn(picker, L"collect_color_option_0")->GetBkColor(), 0xFFFFFFFFu);
        Notify(picker, L"closebtn", L"click");
    });
}

// Opens a picker whose default file is `defaults` and closes it.
void OpenAndClose(StepWindow& steps, HWND owner, const CDuiString& defaults) {
    PickerWithDefault picker(defaults);
    ASSERT_NE(picker.Create(owner, L"PalletDialog", UI_WS_POPUP | UI_WS_VISIBLE, UI_WS_EX_TOOLWINDOW, 0, 0, 800, 572),
              nullptr);
    steps.steps.push_back([&] {
        picker.GetPaintManager()->Invalidate();
        picker.GetPaintManager()->Paint();
        picker.Close(0);
    });
    steps.PostNext();
    picker.ShowModal();
}

TEST_F(ColorPickerTest, MissingDefaultWritesNothingAndADamagedFileIsSetAside) {
    const CDuiString user = CColorSelectWnd::UserFilePath();
    const std::filesystem::path userPath = win::ToFsPath(user.str());
    const CDuiString missing = GetUserDataPath() + L"no_such_default.config";
    const CDuiString installed = GetDefaultDataPath() + L"color_option_info.config";
    const std::string broken = "{ \"coloroptioninfo\": [ broken";

    OpenAndClose(steps_, window_->GetHWND(), missing);
    EXPECT_FALSE(std::filesystem::exists(userPath)) << "nothing is written without a default";

    std::ofstream(userPath) << broken;
    OpenAndClose(steps_, window_->GetHWND(), missing);
    EXPECT_EQ(FileBytes(user + L".bad"), broken);
    EXPECT_FALSE(std::filesystem::exists(userPath));

    std::ofstream(userPath) << broken;
    OpenAndClose(steps_, window_->GetHWND(), installed);
    EXPECT_EQ(FileBytes(user + L".bad"), broken);
    ASSERT_FALSE(CJsonFileUtil::LoadJson(installed).isNull());
    EXPECT_EQ(CJsonFileUtil::LoadJson(user), CJsonFileUtil::LoadJson(installed));
}

}  // namespace
}  // namespace mainwndtest
