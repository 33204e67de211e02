// The eight record handlers with injected hook records and the page's clock,
// and the keyboard hook procedure's answers.
#include "tests/pages/macro_page_fixture.h"

#include <ostream>
#include <string>
#include <vector>

#include "link/registered_messages.h"
#include "pages/device_hook.h"
#include "pages/macro_action_row.h"
#include "platform/hooks/injected_input_source.h"
#include "platform/hooks/key_trap.h"
#include "platform/ui/win_window_api.h"
#include "tests/x11/hook_recorder.h"

namespace macrotest {
namespace {

constexpr uint32_t kScanA = 0x1E;
constexpr uint32_t kScanB = 0x30;

class RecordTest : public MacroPageTest {
protected:
    void SetUp() override {
        MacroPageTest::SetUp();
        SetMacroClock([this] { return now_; });
        WriteList({{"m", "g1"}});
    }

    // Opens the page with macro "m" (holding `oldSteps` steps) selected.
    CMacroControlUI* OpenRecording(int oldSteps = 0) {
        if (oldSteps > 0) WriteMacro("g1", Steps(oldSteps));
        CMacroControlUI* page = OpenPage();
        Macros()->SelectItem(0);
        page->LoadSelectedMacro();
        return page;
    }

    // The handlers by place: End, Before, After, Replace.
    enum Place { End, Before, After, Replace };
    void Key(Place place, bool down, uint32_t scan, uint32_t flags = 0) {
        win::KBDLLHOOKSTRUCT record;
        record.scanCode = scan;
        record.flags = flags;
        const WPARAM w = down ? 0x100 : 0x101;
        const LPARAM l = reinterpret_cast<LPARAM>(&record);
        switch (place) {
            case End:
                page_->OnRecordKey(w, l);
                break;
            case Before:
                page_->OnRecordKeyBefore(w, l);
                break;
            case After:
                page_->OnRecordKeyAfter(w, l);
                break;
            case Replace:
                page_->OnRecordKeyReplace(w, l);
                break;
        }
    }
    void Mouse(Place place, WPARAM message, int x = 2000, int y = 2000, uint32_t data = 0) {
        MouseHookRecord record;
        record.x = x;
        record.y = y;
        record.mouseData = data;
        const LPARAM l = reinterpret_cast<LPARAM>(&record);
        switch (place) {
            case End:
                page_->OnRecordMouse(message, l);
                break;
            case Before:
                page_->OnRecordMouseBefore(message, l);
                break;
            case After:
                page_->OnRecordMouseAfter(message, l);
                break;
            case Replace:
                page_->OnRecordMouseReplace(message, l);
                break;
        }
    }
    std::vector<std::string> Delays() {
        std::vector<std::string> d;
        for (int i = 0; i < Actions()->GetCount(); ++i) {
            EXPECT_EQ(WideToUtf8(DelayText(i)), Step(i)["Delay"].asString()) << "row " << i;
            d.push_back(Step(i)["Delay"].asString());
        }
        return d;
    }
    static std::string WideToUtf8(const std::wstring& w) { return std::string(w.begin(), w.end()); }

    uint32_t now_ = 100000;
};

// Three steps 3 ms and then 70 s apart, by key or by button, in each delay mode.
struct DelayCase {
    const char* name;
    bool mouse;
    int delayMode;
    std::vector<std::string> delays;
};

const DelayCase kDelayCases[] = {
    {"KeyRecorded", false, kDelayRecorded, {"10", "65535", "10"}},
    {"MouseRecorded", true, kDelayRecorded, {"10", "65535", "10"}},
    {"KeyNone", false, kDelayNone, {"0", "0", "10"}},
    {"MouseNone", true, kDelayNone, {"0", "0", "10"}},
    {"KeyFixed", false, kDelayFixed, {"200", "200", "200"}},
    {"MouseFixed", true, kDelayFixed, {"200", "200", "200"}},
};

// Tests name the case in their messages, not its bytes.
void PrintTo(const DelayCase& c, std::ostream* out) { *out << c.name; }

class DelayCases : public RecordTest, public ::testing::WithParamInterface<DelayCase> {};

TEST_P(DelayCases, StepsGetTheTimeUntilTheNext) {
    const DelayCase& c = GetParam();
    CMacroControlUI* page = OpenRecording();
    Edit(L"macro_fixed_time_edit")->SetText(L"200");
    page->BeginRecording(c.delayMode);
    now_ += 500;
    if (c.mouse)
        Mouse(End, 0x201);
    else
        Key(End, true, kScanA);
    ASSERT_EQ(Actions()->GetCount(), 1);
    EXPECT_EQ(Step(0)["Delay"].asString(), "10") << "the first step of an empty macro";
    now_ += 3;
    if (c.mouse)
        Mouse(End, 0x202);
    else
        Key(End, false, kScanA);
    now_ += 70000;
    if (c.mouse)
        Mouse(End, 0x204);
    else
        Key(End, true, kScanB);
    EXPECT_EQ(Delays(), c.delays);
    EXPECT_EQ(Actions()->GetCurSel(), 2) << "the new row is selected";
    EXPECT_EQ(Step(2)["Type"].asInt(), c.mouse ? 1 : 10);
    EXPECT_EQ(Step(2)["Button"].asInt(), c.mouse ? 0x02 : 0x05);
}

INSTANTIATE_TEST_SUITE_P(Modes, DelayCases, ::testing::ValuesIn(kDelayCases),
                         [](const ::testing::TestParamInfo<DelayCase>& info) { return std::string(info.param.name); });

TEST_F(RecordTest, AppendingGivesTheLastOldStepTheTimeFromTheStart) {
    CMacroControlUI* page = OpenRecording(2);
    page->BeginRecording(kDelayRecorded);
    now_ += 1234;
    Key(End, true, kScanA);
    EXPECT_EQ(Delays(), (std::vector<std::string>{"20", "1234", "10"}));
}

TEST_F(RecordTest, InsertingBeforeTheFirstStepChangesNoOtherRow) {
    CMacroControlUI* page = OpenRecording(2);
    Actions()->SelectItem(0);
    page->BeginRecording(kDelayRecorded);
    now_ += 40;
    Key(Before, true, kScanA);
    now_ += 60;
    Key(Before, false, kScanA);
    ASSERT_EQ(Actions()->GetCount(), 4);
    EXPECT_EQ(Step(0)["Type"].asInt(), 10);
    EXPECT_EQ(Step(0)["Action"].asString(), "down");
    EXPECT_EQ(Step(1)["Action"].asString(), "up");
    EXPECT_EQ(Delays(), (std::vector<std::string>{"60", "10", "20", "20"}));
    EXPECT_EQ(Actions()->GetCurSel(), 2) << "the step the inserts go before";
}

TEST_F(RecordTest, InsertingAfterTheSelectedStepGivesItTheDelay) {
    CMacroControlUI* page = OpenRecording(2);
    Actions()->SelectItem(0);
    page->BeginRecording(kDelayNone);
    Mouse(After, 0x207);
    ASSERT_EQ(Actions()->GetCount(), 3);
    EXPECT_EQ(Step(1)["Button"].asInt(), 0x04);
    EXPECT_EQ(Delays(), (std::vector<std::string>{"0", "10", "20"}));
    EXPECT_EQ(Actions()->GetCurSel(), 1);
    Actions()->UnSelectAllItems();
    Mouse(After, 0x208);
    Key(Before, true, kScanA);
    EXPECT_EQ(Actions()->GetCount(), 3) << "the inserts need a selected step";
}

TEST_F(RecordTest, AReplaceKeepsTheActionAndDelay) {
    CMacroControlUI* page = OpenRecording(2);
    Actions()->SelectItem(1);  // a release of the left button
    page->BeginRecording(kDelayNone);
    Key(Replace, true, kScanB);
    EXPECT_EQ(Step(1)["Action"].asString(), "up");
    EXPECT_EQ(Step(1)["Type"].asInt(), 10);
    EXPECT_EQ(Step(1)["Button"].asInt(), 0x05);
    EXPECT_EQ(Step(1)["Delay"].asString(), "20");
    Mouse(Replace, 0x204);
    EXPECT_EQ(Step(1)["Type"].asInt(), 1);
    EXPECT_EQ(Step(1)["Button"].asInt(), 0x02);
    EXPECT_EQ(Step(1)["Action"].asString(), "up");
    EXPECT_EQ(Actions()->GetCount(), 2);
}

TEST_F(RecordTest, AHeldKeyGivesOnePressAndOneRelease) {
    CMacroControlUI* page = OpenRecording();
    page->BeginRecording(kDelayNone);
    for (int i = 0; i < 4; ++i) Key(End, true, kScanA);
    Key(End, false, kScanA);
    ASSERT_EQ(Actions()->GetCount(), 2);
    EXPECT_EQ(Step(0)["Action"].asString(), "down");
    EXPECT_EQ(Step(1)["Action"].asString(), "up");
    // Right Ctrl (extended) is the modifier bit 0x10; a key the tables lack adds nothing.
    Key(End, true, 0x1D, win::LLKHF_EXTENDED);
    Key(End, true, 0x7F);
    ASSERT_EQ(Actions()->GetCount(), 3);
    EXPECT_EQ(Step(2)["Type"].asInt(), 9);
    EXPECT_EQ(Step(2)["Button"].asInt(), 0x10);
}

TEST_F(RecordTest, ASecondRecordingKeepsItsFirstPress) {
    CMacroControlUI* page = OpenRecording();
    page->BeginRecording(kDelayNone);
    Key(End, true, kScanA);
    Mouse(End, 0x201);
    page->EndRecording();
    page->BeginRecording(kDelayNone);
    Key(End, true, kScanA);
    Mouse(End, 0x201);
    EXPECT_EQ(Actions()->GetCount(), 4);
}

TEST_F(RecordTest, TheStopButtonsClickIsDropped) {
    CMacroControlUI* page = OpenRecording();
    page->BeginRecording(kDelayNone);
    EXPECT_FALSE(window_->Find<CControlUI>(L"macro_btn_starredio")->IsVisible());
    CControlUI* stop = window_->Find<CControlUI>(L"macro_btn_stopredio");
    ASSERT_TRUE(stop->IsVisible());
    Repaint(window_);
    win::POINT at = CentreOf(stop);
    win::ClientToScreen(window_->GetHWND(), &at);
    Mouse(End, 0x201, at.x, at.y);
    Mouse(End, 0x202, at.x, at.y);
    EXPECT_EQ(Actions()->GetCount(), 0);
    Mouse(End, 0x201, at.x, at.y + 200);
    EXPECT_EQ(Actions()->GetCount(), 1);
    page->EndRecording();
    EXPECT_TRUE(window_->Find<CControlUI>(L"macro_btn_starredio")->IsVisible());
    EXPECT_FALSE(stop->IsVisible());
}

TEST_F(RecordTest, ForwardAndBackComeFromTheMouseData) {
    CMacroControlUI* page = OpenRecording();
    page->BeginRecording(kDelayNone);
    Mouse(End, 0x20B, 0, 0, 2u << 16);
    Mouse(End, 0x20C, 0, 0, 1u << 16);
    Mouse(End, 0x20B, 0, 0, 0);
    Mouse(End, 0x20A, 0, 0, 120u << 16);
    ASSERT_EQ(Actions()->GetCount(), 2);
    EXPECT_EQ(Step(0)["Button"].asInt(), 0x10);
    EXPECT_EQ(Step(0)["Action"].asString(), "down");
    EXPECT_EQ(Step(1)["Button"].asInt(), 0x08);
    EXPECT_EQ(Step(1)["Action"].asString(), "up");
}

TEST_F(RecordTest, TheReplaceHandlersFollowTheirOwn250Rules) {
    CMacroControlUI* page = OpenRecording(250);
    Actions()->SelectItem(1);
    page->BeginRecording(kDelayNone);
    Mouse(Replace, 0x204);
    EXPECT_EQ(Step(1)["Button"].asInt(), 0x02) << "the mouse replace has no limit";
    EXPECT_EQ(Actions()->GetCount(), 250);
    Key(Replace, true, kScanA);
    EXPECT_EQ(Step(1)["Type"].asInt(), 1) << "the key replace replaces nothing at 250";
    ASSERT_EQ(Actions()->GetCount(), 251);
    EXPECT_TRUE(Actions()->GetItemAt(250)->GetUserData().IsEmpty());
    Key(End, true, kScanB);
    EXPECT_EQ(Actions()->GetCount(), 252);
    page->SaveSelectedMacro();
    EXPECT_EQ(ReadMacro("g1")["Events"].size(), 250u);
}

TEST_F(RecordTest, TheFixedDelayIsReadWithinItsBounds) {
    CMacroControlUI* page = OpenRecording();
    const struct {
        const wchar_t* typed;
        int fixed;
        const wchar_t* shown;
        size_t messages;
    } rows[] = {{L"70000", 65535, L"65535", 0}, {L"3", 10, L"10", 1}, {L"", 10, L"10", 2}, {L"200", 200, L"200", 2}};
    for (const auto& r : rows) {
        Edit(L"macro_fixed_time_edit")->SetText(r.typed);
        page->BeginRecording(kDelayFixed);
        EXPECT_EQ(page->GetFixedDelay(), r.fixed);
        EXPECT_EQ(Edit(L"macro_fixed_time_edit")->GetText().str(), r.shown);
        ASSERT_EQ(Messages().size(), r.messages);
        page->EndRecording();
    }
    EXPECT_EQ(Messages().back(), L"message_text_31");
}

// The keyboard hook procedure with injected input: HC_ACTION sends the mode's
// message and swallows every key but the lock keys; another code passes on.
TEST_F(RecordTest, TheKeyboardProcedureSendsSwallowsAndPassesOn) {
    tavrik::hooks::InjectedInput input;
    OpenPage();
    tavrik::test::ClearHooked();
    win::HWND target = tavrik::test::CreateMouseReportWindow();
    {
        CDeviceHook hook;
        ASSERT_EQ(hook.SetHook(4, target, true, true), 1);
        win::KBDLLHOOKSTRUCT a{0x41, kScanA, 0, 0, 0};
        EXPECT_EQ(CDeviceHook::KeyboardProc(-1, 0x100, reinterpret_cast<LPARAM>(&a)), 0);
        EXPECT_TRUE(tavrik::test::Hooked().mouse.empty()) << "no message for another code";
        EXPECT_EQ(CDeviceHook::KeyboardProc(win::HC_ACTION, 0x100, reinterpret_cast<LPARAM>(&a)), 1);
        ASSERT_EQ(tavrik::test::Hooked().mouse.size(), 1u);
        EXPECT_EQ(tavrik::test::Hooked().mouse[0].message, HookMessageId(kHookKeyKbMacro));
        win::KBDLLHOOKSTRUCT caps{0x14, 0x3A, 0, 0, 0};
        EXPECT_EQ(CDeviceHook::KeyboardProc(win::HC_ACTION, 0x100, reinterpret_cast<LPARAM>(&caps)), 0);
        EXPECT_EQ(tavrik::test::Hooked().mouse.size(), 2u) << "a lock key is reported and passed on";
        EXPECT_TRUE(CDeviceHook::IsKeyboardHookInstalled());
        EXPECT_TRUE(input.KeyboardGrabbed());
    }
    EXPECT_FALSE(CDeviceHook::IsKeyboardHookInstalled()) << "the owner's end removes the hooks";
    EXPECT_FALSE(input.KeyboardGrabbed());
    input.SetKeyboardGrabbable(false);
    CDeviceHook hook;
    EXPECT_EQ(hook.SetHook(8, target, true, true), 0);
    EXPECT_FALSE(CDeviceHook::IsLibraryHookInstalled()) << "a failed keyboard hook installs nothing";
    EXPECT_EQ(CDeviceHook::GetMode(), 4);
    win::DestroyWindow(target);
}

}  // namespace
}  // namespace macrotest
