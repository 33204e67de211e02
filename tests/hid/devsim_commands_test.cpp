#include "tools/devsim/devsim_commands.h"
#include "tests/hid/hid_test_util.h"
#include "tools/devsim/sim_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrik::devsim {
namespace {

class DevsimCommandLine : public ::testing::Test {
protected:
    DevsimCommandLine() {
        served_.push_back({std::make_unique<Emulator>(ProductKind::KeyboardCable), "keyboard"});
        served_.push_back({std::make_unique<Emulator>(ProductKind::MouseReceiver), "mouse-receiver"});
        for (auto& s : served_) s.emulator->Plug(sim_.Bus());
    }
    ~DevsimCommandLine() override {
        for (auto& s : served_) s.emulator->Unplug();
    }

    std::vector<std::string> Run(const std::string& line) {
        bool quit = false;
        auto answer = commands_.Run(line, &quit);
        EXPECT_FALSE(quit) << line;
        return answer;
    }

    Emulator& Keyboard() { return *served_[0].emulator; }

    // Everything a command could change.
    struct State {
        std::vector<std::vector<std::uint8_t>> memory;
        std::size_t records = 0;
        bool plugged = false;
    };
    State Snapshot(Emulator& e) {
        auto lock = e.Lock();
        const DeviceMemory& m = e.Memory();
        return {{std::vector<std::uint8_t>(m.info.begin(), m.info.end()), m.params, m.layout, m.keyMap, m.ledMap,
                 m.colors, m.liveColors, m.macros, m.shoot, m.clock, m.status, m.screen},
                e.Record().size(),
                e.Plugged()};
    }

    SimFixture sim_;
    std::vector<ServedDevice> served_;
    DevsimCommands commands_{sim_.Bus(), served_};
};

TEST_F(DevsimCommandLine, BadCommandsAnswerErrorAndChangeNothing) {
    const char* bad[] = {
        "poke keyboard params zz 00",     // offset not a number
        "poke keyboard params 0x 00",     // hex prefix without digits
        "poke keyboard params -1 00",     // sign
        "poke keyboard params 1x 00",     // junk after digits
        "poke keyboard params 65536 00",  // beyond the space
        "poke keyboard params 65535 0000",
        "poke keyboard params 0 0g",  // not hexadecimal
        "poke keyboard params 0 +1",
        "poke keyboard params 0 abc",    // odd digit count
        "poke keyboard params 0",        // bytes missing
        "poke keyboard params 0 00 11",  // a word too many
        "poke keyboard nowhere 0 00",    // unknown space
        "peek keyboard params 0 zz",
        "peek keyboard params 65530 7",
        "event keyboard junk",
        "event keyboard 0x10000",  // wider than an event code
        "event keyboard",
        "link keyboard maybe",
        "link keyboard",
        "link keyboard off now",
        "fault keyboard sometimes",
        "fault keyboard noreply x",
        "fault keyboard status 1 0x100",
        "fault keyboard status 1 6 300",
        "fault keyboard status 1 6 1 extra",
        "fault keyboard",
        "plug keyboard now",
        "unplug keyboard please",
        "record keyboard all",
        "clear keyboard all",
        "take keyboard all",
        "take toaster",
        "unplug keyboard#0",
        "unplug keyboard#2",
        "unplug keyboard#1x",
        "unplug toaster",
        "unplug",
        "frobnicate keyboard",
        "quit now",
    };
    // Something to lose in every space, and a record.
    ASSERT_EQ(Run("poke keyboard params 0 0102"), std::vector<std::string>{"ok"});
    {
        hid::test::Handle command(hid::test::Open(Keyboard().InterfacePath(kCommandCollection)));
        hid::test::Bytes reply;
        ASSERT_EQ(hid::test::Transact(command, BuildCommandReport(0x01, 0, 0), &reply), win::HidIoResult::Ok);
    }
    ASSERT_FALSE(Keyboard().Record().empty());
    const State before = Snapshot(Keyboard());
    for (const char* line : bad) {
        const auto answer = Run(line);
        ASSERT_EQ(answer.size(), 1u) << line;
        EXPECT_EQ(answer[0].rfind("error: ", 0), 0u) << line << " -> " << answer[0];
        const State after = Snapshot(Keyboard());
        EXPECT_EQ(after.memory, before.memory) << line;
        EXPECT_EQ(after.records, before.records) << line;
        EXPECT_EQ(after.plugged, before.plugged) << line;
    }
}

TEST_F(DevsimCommandLine, GoodCommandsDoWhatTheySay) {
    EXPECT_EQ(Run("poke keyboard params 0x10 2a2B"), std::vector<std::string>{"ok"});
    EXPECT_EQ(Run("peek keyboard params 16 2"), (std::vector<std::string>{"peek keyboard params 2a2b", "ok"}));
    EXPECT_EQ(Run("poke keyboard params 65535 ff"), std::vector<std::string>{"ok"});
    EXPECT_EQ(Run("event keyboard 0x1001"), std::vector<std::string>{"ok"});
    EXPECT_EQ(Run("fault keyboard delay 1 0x06 250"), std::vector<std::string>{"ok"});
    EXPECT_EQ(Run("link mouse-receiver off"), std::vector<std::string>{"ok"});
    EXPECT_EQ(Run("unplug keyboard#1"), std::vector<std::string>{"ok"});
    EXPECT_FALSE(Keyboard().Plugged());
    EXPECT_EQ(Run("plug keyboard"), std::vector<std::string>{"ok"});
    EXPECT_TRUE(Keyboard().Plugged());
    // "take" answers the record as "record" does and leaves it empty.
    Keyboard().ClearRecord();
    {
        hid::test::Handle command(hid::test::Open(Keyboard().InterfacePath(kCommandCollection)));
        hid::test::Bytes reply;
        ASSERT_EQ(hid::test::Transact(command, BuildCommandReport(0x01, 0, 0), &reply), win::HidIoResult::Ok);
    }
    const std::vector<std::string> taken = Run("take keyboard");
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0].rfind("record keyboard ", 0), 0u) << taken[0];
    EXPECT_EQ(taken[1], "ok");
    EXPECT_TRUE(Keyboard().Record().empty());
    EXPECT_EQ(Run("take keyboard"), std::vector<std::string>{"ok"});
    EXPECT_TRUE(Run("").empty());
    bool quit = false;
    EXPECT_TRUE(commands_.Run("quit", &quit).empty());
    EXPECT_TRUE(quit);
}

TEST(DevsimNumbers, WholeWordsOnly) {
    struct Case {
        const char* text;
        unsigned long max;
        bool ok;
        unsigned long value;
    };
    const Case cases[] = {
        {"0", 10, true, 0},
        {"10", 10, true, 10},
        {"0x0A", 10, true, 10},
        {"0XfF", 255, true, 255},
        {"11", 10, false, 0},
        {"", 10, false, 0},
        {"0x", 10, false, 0},
        {"-1", 10, false, 0},
        {"+1", 10, false, 0},
        {" 1", 10, false, 0},
        {"1 ", 10, false, 0},
        {"1e3", 10000, false, 0},
        {"99999999999999999999999", ~0ul, false, 0},
    };
    for (const auto& c : cases) {
        unsigned long v = 12345;
        EXPECT_EQ(ParseNumber(c.text, c.max, &v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

}  // namespace
}  // namespace tavrik::devsim
