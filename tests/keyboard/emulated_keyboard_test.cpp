// The emulated keyboard itself: its factory memory, the data it checks, the
// actions taken on it and its command-line views.
#include <set>

#include "keyboard/key_position_table.h"
#include "link/hid_device.h"
#include "tests/keyboard/keyboard_test_support.h"
#include "tests/support/wait_bound.h"

namespace {

using namespace kbtest;
using tavrik::devsim::KeyboardCommandLine;
using tavrik::devsim::KeyboardModel;
using tavrik::devsim::SimFixture;

TEST(EmulatedKeyboard, FactoryTablesHoldEveryPositionAndAPermutationOfLeds) {
    SimFixture sim;
    Emulator& kb = sim.Plug(ProductKind::KeyboardCable);
    auto lock = kb.Lock();
    const auto& m = kb.Memory();
    ASSERT_EQ(m.info[5], 170);
    std::set<uint8_t> leds(m.ledMap.begin(), m.ledMap.begin() + 170);
    ASSERT_EQ(leds.size(), 170u);
    EXPECT_EQ(*leds.rbegin(), 169);
    for (const KeyFunction& f : KeyPositionTable) {
        int found = 0;
        for (size_t k = 0; k < 170; ++k)
            if (KeyFunction{m.layout[3 * k], m.layout[3 * k + 1], m.layout[3 * k + 2]} == f) ++found;
        EXPECT_EQ(found, 1) << int(f.code) << ' ' << int(f.param1) << ' ' << int(f.param2);
    }
    // The device order is not the position order.
    EXPECT_NE((KeyFunction{m.layout[0], m.layout[1], m.layout[2]}), KeyPositionTable[0]);
    for (int p = 0; p < tavrik::devsim::kKeyboardProfiles; ++p)
        EXPECT_EQ(tavrik::devsim::ViewBlock(m, p).bytes[1], tavrik::devsim::FactoryBlock(p)[1]);
}

struct Channel {
    explicit Channel(Emulator& device) {
        channel.m_timeouts = FastTimeouts();
        EXPECT_TRUE(tavrik::test::OpenCommandChannel(channel, device));
    }
    ~Channel() { tavrik::test::CloseCommandChannel(channel); }
    CDeviceProtocol channel;
};

TEST(EmulatedKeyboard, ClockThatIsNotADateIsRefused) {
    SimFixture sim;
    Emulator& kb = sim.Plug(ProductKind::KeyboardCable);
    Channel c(kb);
    const struct {
        const char* name;
        std::array<uint8_t, 7> bytes;
        bool accepted;
    } cases[] = {
        {"a date", {0x07, 0x05, 0x09, 0x00, 0x02, 0x03, 0x25}, true},
        {"not BCD", {0x0A, 0x05, 0x09, 0x00, 0x02, 0x03, 0x25}, false},
        {"hour 24", {0x00, 0x00, 0x24, 0x00, 0x02, 0x03, 0x25}, false},
        {"month 13", {0x00, 0x00, 0x09, 0x00, 0x02, 0x13, 0x25}, false},
        {"weekday 7", {0x00, 0x00, 0x09, 0x07, 0x02, 0x03, 0x25}, false},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.name);
        EXPECT_EQ(c.channel.WriteClock(t.bytes.data(), 7, 64), t.accepted ? 1 : -102);
        auto lock = kb.Lock();
        const auto clock = tavrik::devsim::ViewClock(kb.Memory(), 1);
        ASSERT_TRUE(clock.has_value());  // the first date stays
        EXPECT_EQ(clock->hour, 9);
    }
}

TEST(EmulatedKeyboard, MacroTableOverCapacityOrMalformedIsRefused) {
    SimFixture sim;
    Emulator& kb = sim.Plug(ProductKind::KeyboardCable);
    Channel c(kb);
    {
        auto lock = kb.Lock();
        kb.Memory().info[6] = 1;  // 128 bytes
    }
    // One macro of one event announced in 24 bytes: the event runs past the table.
    const std::vector<uint8_t> table = {0xAA, 0x55, 24, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 18, 0, 1, 0, 0, 0, 1, 2};
    EXPECT_EQ(c.channel.WriteMacros(table.data(), uint32_t(table.size())), -102);
    std::vector<uint8_t> good = {0xAA, 0x55, 26, 0,  1, 0, 0, 0, 0, 0,  0, 0,    0,
                                 0,    0,    0,  18, 0, 1, 0, 0, 0, 10, 0, 0x8A, 4};
    EXPECT_EQ(c.channel.WriteMacros(good.data(), uint32_t(good.size())), 1);
    std::vector<uint8_t> big(200, 0);
    big[0] = 0xAA;
    big[1] = 0x55;
    big[2] = 200;
    EXPECT_NE(c.channel.WriteMacros(big.data(), uint32_t(big.size())), 1);
}

TEST(EmulatedKeyboard, ActionsChangeTheMemoryAndReportTheirEvents) {
    SimFixture sim;
    Emulator& kb = sim.Plug(ProductKind::KeyboardCable);
    CHidDevice events;
    ASSERT_TRUE(events.Open(kb.InterfacePath(tavrik::devsim::kConsumerCollection).c_str(), 1, 0, 1, 0));
    auto next = [&] {
        uint8_t report[64] = {};
        win::DWORD read = 0;
        EXPECT_TRUE(events.Read(report, sizeof report, &read, tavrik::test::WaitBoundMs(2000)));
        return uint16_t(report[1] | report[2] << 8);
    };
    KeyboardModel model(kb);
    ASSERT_TRUE(model.SwitchProfile(2));
    EXPECT_EQ(next(), 0x1002);
    ASSERT_TRUE(model.ChangeLighting(7, 1, 4));
    EXPECT_EQ(next(), 0x0401);
    {
        auto lock = kb.Lock();
        const auto block = tavrik::devsim::ViewBlock(kb.Memory(), 2);
        EXPECT_EQ(block.activeProfile, 2);
        EXPECT_EQ(block.modeCode(), 7);
        EXPECT_EQ(block.brightness(), 1);
        EXPECT_EQ(block.speedCode(), 4);
    }
    ASSERT_TRUE(model.FactoryReset());
    EXPECT_EQ(next(), 0x0402);
    {
        auto lock = kb.Lock();
        EXPECT_EQ(tavrik::devsim::ViewBlock(kb.Memory(), 2).bytes, tavrik::devsim::FactoryBlock(2));
        EXPECT_EQ(kb.Memory().params[0], 0);
    }
    ASSERT_TRUE(model.PressKey(0x23));
    EXPECT_EQ(next(), 0x0523);
    ASSERT_TRUE(model.ReleaseKey(0x23));
    EXPECT_EQ(next(), 0x0623);
    EXPECT_FALSE(model.SwitchProfile(4));
    events.Close();
}

TEST(EmulatedKeyboard, CommandLineActionsAndViews) {
    SimFixture sim;
    Emulator& kb = sim.Plug(ProductKind::KeyboardCable);
    Emulator& mouse = sim.Plug(ProductKind::MouseCable);
    std::string reply;
    const struct {
        const char* line;
        const char* reply;  // prefix
    } cases[] = {
        {"profile keyboard 1", "ok"},
        {"profile keyboard 9", "error:"},
        {"profile keyboard 1x", "error:"},
        {"light keyboard 3 2", "error:"},
        {"light keyboard 3 2 0x01", "ok"},
        {"press keyboard 256", "error:"},
        {"press keyboard 0x10", "ok"},
        {"release keyboard 16", "ok"},
        {"peek keyboard block 1", "block 1 active 1 mode 3 brightness 2 speedcode 1"},
        {"peek keyboard block", "error:"},
        {"peek keyboard clock 0", "clock invalid"},
        {"peek keyboard macros", "macros invalid"},
        {"peek keyboard bracket", "bracket closed"},
        {"peek keyboard live", "live 0000"},
        {"peek keyboard colors 0", "colors 0000"},
        {"peek keyboard keymap", "keymap 0:000000 1:000000"},
        {"reset keyboard", "ok"},
        {"peek keyboard block 1", "block 1 active 0 mode 2 brightness 4 speedcode 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_TRUE(KeyboardCommandLine(kb, c.line, &reply));
        EXPECT_EQ(reply.rfind(c.reply, 0), 0u) << reply;
    }
    // Memory spaces and other devices are not the keyboard's to answer.
    EXPECT_FALSE(KeyboardCommandLine(kb, "peek keyboard params 0 4", &reply));
    EXPECT_FALSE(KeyboardCommandLine(kb, "plug keyboard", &reply));
    EXPECT_FALSE(KeyboardCommandLine(mouse, "press mouse 1", &reply));
}

}  // namespace
