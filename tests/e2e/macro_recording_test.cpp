// End to end, recording a macro: on the keyboard's macro page the user adds
// a macro, records two keys typed on the desktop (XTest, seen by the
// program's keyboard hook) with a pause between them, stops, and the macro
// file holds the four key steps with their timing.

#include "tests/e2e/tavrik_session.h"
#include "tests/e2e/user_files.h"

#include <X11/keysym.h>
#include <json/json.h>

#include <fstream>
#include <thread>

#include "platform/files/folders.h"
#include "platform/files/utf8.h"

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;

// Whether the keyboard's macro list names a macro.
bool MacroListed() {
    const auto list = ReadJsonFile(KeyboardFolder() / "macro.config");
    return list && (*list)["MacroInfo"].isArray() && !(*list)["MacroInfo"].empty();
}

// The events of the first macro of the keyboard's macro list.
Json::Value FirstMacroEvents() {
    const auto list = ReadJsonFile(KeyboardFolder() / "macro.config");
    if (!list || !(*list)["MacroInfo"].isArray() || (*list)["MacroInfo"].empty()) return Json::Value();
    const std::string guid = (*list)["MacroInfo"][0]["Guid"].asString();
    const auto macro = ReadJsonFile(KeyboardFolder() / (guid + ".mac"));
    return macro ? (*macro)["Events"] : Json::Value();
}

int DelayOf(const Json::Value& event) {
    const Json::Value& d = event["Delay"];
    return d.isString() ? std::atoi(d.asCString()) : d.asInt();
}

using MacroRecordingTest = TavrikSession;

TEST_F(MacroRecordingTest, TwoKeysWithAPauseBecomeFourTimedSteps) {
    StartEmulator({"keyboard"});
    tavrik_ = StartTavrik("tavrik.log");
    ASSERT_TRUE(tavrik_->Started());
    ASSERT_NE(WaitForShownWindow(), 0u) << Log("tavrik.log");
    ASSERT_TRUE(WaitForControl("light_combo_modeSelect", [](const ProbeControl& c) { return !c.text.empty(); }))
        << Log("tavrik.log");

    // 1. The macro page, and a new macro after the confirmation.
    ASSERT_TRUE(Click("macro_Op_tab"));
    ASSERT_TRUE(Click("macro_btn_name_add"));
    ASSERT_TRUE(Click("confirm_btn")) << Log("tavrik.log");
    ASSERT_TRUE(Poll([] { return MacroListed(); }, 30s)) << Log("tavrik.log");

    // 2. Record: A, a pause, B.
    ASSERT_TRUE(Click("macro_btn_starredio"));
    std::this_thread::sleep_for(500ms);  // the hook is installed on the click
    driver_->Key(XK_a);
    std::this_thread::sleep_for(600ms);
    driver_->Key(XK_b);

    // 3. The steps show in the action list as they come.
    ASSERT_TRUE(Poll(
        [&] {
            const Window main = FindMainWindow();
            size_t rows = 0;
            if (main != 0)
                for (const ProbeControl& c : ReadUiProbe(*driver_, main)) rows += c.name == "macro_action" ? 1 : 0;
            return rows >= 4;
        },
        30s))
        << Log("tavrik.log");

    // 4. Stop (the record button is back once the page has taken it), then
    //    save.
    ASSERT_TRUE(Click("macro_btn_stopredio"));
    ASSERT_TRUE(WaitForControl("macro_btn_starredio", [](const ProbeControl& c) { return c.right > c.left; }));
    ASSERT_TRUE(Click("macro_btn_save"));

    // 5. The file: key A down and up, key B down and up, with the pause.
    Json::Value events;
    ASSERT_TRUE(Poll(
        [&] {
            events = FirstMacroEvents();
            return events.isArray() && events.size() >= 4;
        },
        30s))
        << Log("tavrik.log");
    ASSERT_EQ(events.size(), 4u) << events.toStyledString() << Log("tavrik.log");
    const struct {
        int button;
        const char* action;
    } expected[] = {{4, "down"}, {4, "up"}, {5, "down"}, {5, "up"}};
    for (Json::ArrayIndex i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(events[i]["Type"].asInt(), 10);
        EXPECT_EQ(events[i]["Button"].asInt(), expected[i].button);
        EXPECT_EQ(events[i]["Action"].asString(), expected[i].action);
    }
    // The pause between A's release and B's press is kept (XTest types each
    // key at once, so only the pause is long).
    EXPECT_GE(std::max(DelayOf(events[1]), DelayOf(events[2])), 300) << events.toStyledString();
    Screenshot("macro_recording");
}

}  // namespace
}  // namespace tavrik::test
