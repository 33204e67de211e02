// A macro page records what the user types and clicks anywhere on the X
// server: XTEST input reaches the page through the global hooks.
#include <X11/keysym.h>

#include <chrono>
#include <thread>

#include "link/registered_messages.h"
#include "pages/device_hook.h"
#include "tests/pages/macro_page_fixture.h"
#include "tests/x11/x_display.h"
#include "tests/x11/x_driver.h"

namespace macrotest {
namespace {

// Routes the hook messages to the page, as the main window does.
class HookRoute : public DuiLib::IMessageFilterUI {
public:
    explicit HookRoute(CMacroControlUI* page) : page_(page) {}
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& handled) override {
        if (uMsg == HookMessageId(kHookKeyKbMacro))
            page_->OnRecordKey(wParam, lParam);
        else if (uMsg == HookMessageId(kHookKeyMsMacro))
            page_->OnRecordMouse(wParam, lParam);
        else
            return 0;
        handled = true;
        return 0;
    }

private:
    CMacroControlUI* page_;
};

class MacroRecordingOnX : public MacroPageTest {
protected:
    void SetUp() override {
        TAVRIK_REQUIRE_X_DISPLAY();
        MacroPageTest::SetUp();
    }
    bool Until(const std::function<bool()>& done) { return tavrik::test::PumpUntil(devtest::Pump, done); }
};

TEST_F(MacroRecordingOnX, TypingASleepAndAClickBecomeFourSteps) {
    tavrik::test::XDriver driver;
    ASSERT_TRUE(driver.ok());
    WriteList({{"m", "g1"}});
    CMacroControlUI* page = OpenPage();
    ASSERT_NE(page, nullptr);
    Macros()->SelectItem(0);
    page->LoadSelectedMacro();
    HookRoute route(page);
    window_->pm().AddMessageFilter(&route);

    CDeviceHook hook;
    page->BeginRecording(kDelayRecorded);
    ASSERT_EQ(hook.SetHook(4, window_->GetHWND(), true, true), 1);
    driver.Key(XK_a);
    ASSERT_TRUE(Until([&] { return Actions()->GetCount() >= 2; }));
    const auto pause = std::chrono::milliseconds(300);
    std::this_thread::sleep_for(pause);  // the pause the macro records, not a wait for anything
    driver.Click(600, 20);
    ASSERT_TRUE(Until([&] { return Actions()->GetCount() >= 4; }));
    hook.RemoveHook();
    page->EndRecording();
    window_->pm().RemoveMessageFilter(&route);
    page->SaveSelectedMacro();

    const Json::Value events = ReadMacro("g1")["Events"];
    ASSERT_EQ(events.size(), 4u);
    const struct {
        int type;
        int button;
        const char* action;
    } expected[] = {{10, 0x04, "down"}, {10, 0x04, "up"}, {1, 0x01, "down"}, {1, 0x01, "up"}};
    for (Json::ArrayIndex i = 0; i < 4; ++i) {
        EXPECT_EQ(events[i]["Type"].asInt(), expected[i].type) << i;
        EXPECT_EQ(events[i]["Button"].asInt(), expected[i].button) << i;
        EXPECT_EQ(events[i]["Action"].asString(), expected[i].action) << i;
        EXPECT_GE(std::stoul(events[i]["Delay"].asString()), 10u) << i;
    }
    EXPECT_GE(std::stoul(events[1]["Delay"].asString()), unsigned(pause.count())) << "the pause before the click";
}

}  // namespace
}  // namespace macrotest
