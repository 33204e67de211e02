// The emulated mouse itself: its factory memory, the tables it checks and
// decodes, its actions and events, and its command line.
#include <algorithm>

#include "link/device/macro_blob.h"
#include "tests/devices/mouse_test_support.h"
#include "tests/support/wait_bound.h"

namespace {

using namespace mousetest;
using tavrik::devsim::MouseCommandLine;
using tavrik::devsim::MouseModel;
using tavrik::devsim::SimFixture;

// A command channel of its own on an emulated mouse.
struct Channel {
    explicit Channel(Emulator& device) {
        channel.m_timeouts = tavrik::test::FastTimeouts();
        EXPECT_TRUE(tavrik::test::OpenCommandChannel(channel, device));
    }
    ~Channel() { tavrik::test::CloseCommandChannel(channel); }
    CDeviceProtocol channel;
};

// A table of entries with these event counts; event e of entry i is {i, e, 0x80 | 4, e}.
std::vector<uint8_t> Table(const std::vector<size_t>& counts) {
    std::vector<std::vector<DeviceMacroEvent>> entries;
    for (size_t i = 0; i < counts.size(); ++i) {
        std::vector<DeviceMacroEvent> events;
        for (size_t e = 0; e < counts[i]; ++e) events.push_back({uint8_t(i), uint8_t(e), 0x84, uint8_t(e)});
        entries.push_back(events);
    }
    return BuildMacroBlob(entries);
}

class EmulatedMouse : public ::testing::TestWithParam<ProductKind> {
protected:
    SimFixture sim;
    Emulator& mouse = sim.Plug(GetParam());
};

INSTANTIATE_TEST_SUITE_P(Mouse, EmulatedMouse, ::testing::Values(ProductKind::MouseCable, ProductKind::MouseReceiver),
                         [](const auto& info) { return KindName(info.param); });

TEST_P(EmulatedMouse, FactoryInformationAndLayoutHoldEveryButtonOnce) {
    Channel c(mouse);
    DeviceInfoBlock info;
    ASSERT_EQ(c.channel.ReadDeviceInfo(&info), 1);
    EXPECT_EQ(info.KeyCount(), 12);
    EXPECT_EQ(info.MacroCapacityBytes(), 16u * 128u);
    EXPECT_EQ(info.SensorModel(), 0x3325);
    EXPECT_EQ(info.DpiStep(), 50);
    EXPECT_EQ(info.DpiSliderMax(), 319);
    EXPECT_EQ(info.DpiBase(), 50);
    ASSERT_EQ(c.channel.SetDataSize(uint16_t(info.KeyCount() * 3)), 1);
    std::array<uint8_t, 512> layout{};
    ASSERT_EQ(c.channel.ReadLayoutTable(layout.data()), 1);
    for (int p = 0; p < kMouseButtonCount; ++p) {
        const KeyFunction& f = MouseReferenceFunctionTable[p];
        int found = 0;
        for (size_t k = 0; k < info.KeyCount(); ++k)
            found += layout[3 * k] == f.code && layout[3 * k + 1] == f.param1 && layout[3 * k + 2] == f.param2;
        EXPECT_EQ(found, 1) << "position " << p;
    }
    // A poke changes what the mouse reports.
    {
        auto lock = mouse.Lock();
        mouse.Memory().info[11] = 0;
    }
    ASSERT_EQ(c.channel.ReadDeviceInfo(&info), 1);
    EXPECT_EQ(info.DpiStep(), 0);
}

TEST_P(EmulatedMouse, TablesAreCheckedAndDecoded) {
    Channel c(mouse);
    {
        auto lock = mouse.Lock();
        mouse.Memory().info[6] = 3;  // 384 bytes of macros
    }
    std::vector<uint8_t> runsPast = Table({2});
    runsPast[2] = uint8_t(runsPast.size() - 2);  // the total cuts the last event
    std::vector<uint8_t> badMagic = Table({1});
    badMagic[0] = 0x55;
    const struct {
        const char* name;
        bool shoot;
        std::vector<uint8_t> table;
        bool accepted;
    } cases[] = {
        {"macros that fit", false, Table({10, 20, 30}), true},
        {"macros over the capacity", false, Table({100}), false},
        {"macros whose total cuts an event", false, runsPast, false},
        {"macros with a wrong magic", false, badMagic, false},
        {"four guns", true, Table({6, 180, 0, 180}), true},
        {"three guns", true, Table({6, 6, 6}), false},
        {"guns whose total cuts an event", true,
         [] {
             auto t = Table({1, 1, 1, 1});
             t[2] = uint8_t(t[2] - 4);
             return t;
         }(),
         false},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.name);
        const int r = t.shoot ? c.channel.WriteShootData(t.table.data(), uint32_t(t.table.size()))
                              : c.channel.WriteMacros(t.table.data(), uint32_t(t.table.size()));
        EXPECT_EQ(r == 1, t.accepted) << r;
    }
    // A refused table leaves nothing that decodes; an accepted one decodes to its entries.
    {
        auto lock = mouse.Lock();
        EXPECT_FALSE(tavrik::devsim::ViewMacros(mouse.Memory()).has_value());
    }
    const auto good = Table({10, 20, 30});
    ASSERT_EQ(c.channel.WriteMacros(good.data(), uint32_t(good.size())), 1);
    auto lock = mouse.Lock();
    const auto macros = tavrik::devsim::ViewMacros(mouse.Memory());
    ASSERT_TRUE(macros.has_value());
    EXPECT_EQ(macros->totalLength, 274u);
    ASSERT_EQ(macros->macros.size(), 3u);
    EXPECT_EQ(macros->macros[2][29], (std::array<uint8_t, 4>{2, 29, 0x84, 29}));
    EXPECT_FALSE(tavrik::devsim::ViewShoot(mouse.Memory()).has_value());
}

TEST_P(EmulatedMouse, ARecoilTableDecodesIntoItsGuns) {
    Channel c(mouse);
    const auto table = Table({6, 180, 0, 180});
    ASSERT_EQ(c.channel.WriteShootData(table.data(), uint32_t(table.size())), 1);
    // Recoil tables go in 56-byte packets on either connection.
    for (const auto& r : mouse.Requests(CMD_WRITE_SHOOT)) EXPECT_LE(r.Count(), 56);
    EXPECT_EQ(mouse.Requests(CMD_WRITE_SHOOT).front().Count(), 56);
    auto lock = mouse.Lock();
    const auto shoot = tavrik::devsim::ViewShoot(mouse.Memory());
    ASSERT_TRUE(shoot.has_value());
    ASSERT_EQ(shoot->macros.size(), 4u);
    EXPECT_EQ(shoot->macros[0].size(), 6u);
    EXPECT_EQ(shoot->macros[1].size(), 180u);
    EXPECT_TRUE(shoot->macros[2].empty());
    EXPECT_EQ(shoot->macros[3][179], (std::array<uint8_t, 4>{3, 179, 0x84, 179}));
}

TEST_P(EmulatedMouse, ActionsChangeTheMemoryAndReportTheirEvents) {
    CHidDevice events;
    ASSERT_TRUE(events.Open(mouse.InterfacePath(tavrik::devsim::kConsumerCollection).c_str(), 1, 0, 1, 0));
    auto next = [&] {
        uint8_t report[64] = {};
        win::DWORD read = 0;
        EXPECT_TRUE(events.Read(report, sizeof report, &read, tavrik::test::WaitBoundMs(2000)));
        return uint16_t(report[1] | report[2] << 8);
    };
    MouseModel model(mouse);
    ASSERT_TRUE(model.SwitchProfile(2));
    EXPECT_EQ(next(), 0x1002);
    ASSERT_TRUE(model.SwitchDpiStage(3));
    EXPECT_EQ(next(), 0x1132);
    {
        auto lock = mouse.Lock();
        EXPECT_EQ(mouse.Memory().params[0], 2);
        EXPECT_EQ(tavrik::devsim::ViewMouseBlock(mouse.Memory(), 2).activeStage, 3);
        EXPECT_EQ(tavrik::devsim::ViewMouseBlock(mouse.Memory(), 0).activeStage, 0);
    }
    ASSERT_TRUE(model.Trigger());
    EXPECT_EQ(next(), 0x0403);
    ASSERT_TRUE(model.Resync());
    EXPECT_EQ(next(), 0x0401);
    EXPECT_FALSE(model.SwitchProfile(4));
    EXPECT_FALSE(model.SwitchDpiStage(5));
    events.Close();
}

TEST(EmulatedMouseCommands, CommandLineActionsAndViews) {
    SimFixture sim;
    Emulator& mouse = sim.Plug(ProductKind::MouseCable);
    Emulator& keyboard = sim.Plug(ProductKind::KeyboardCable);
    std::string reply;
    const struct {
        const char* line;
        const char* reply;  // prefix
    } cases[] = {
        {"profile mouse 3", "ok"},
        {"profile mouse 4", "error:"},
        {"dpi mouse 2", "ok"},
        {"dpi mouse 5", "error:"},
        {"dpi mouse", "error:"},
        {"trigger mouse", "ok"},
        {"trigger mouse 1", "error:"},
        {"resync mouse", "ok"},
        {"peek mouse block 3",
         "block 3 active 3 mode 4 brightness 3 speedcode 2 direction 0 colorful 0 rgb 255 144 16 "
         "polling 1 stage 2 stage0 1 0 16 16 255 0 0"},
        {"peek mouse block 4", "error:"},
        {"peek mouse keymap", "keymap 0:000000 1:000000"},
        {"peek mouse macros", "macros invalid"},
        {"peek mouse shoot", "shoot invalid"},
        {"peek mouse shoot 1", "error:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_TRUE(MouseCommandLine(mouse, c.line, &reply));
        EXPECT_EQ(reply.rfind(c.reply, 0), 0u) << reply;
    }
    // Memory spaces and other devices are not the mouse's to answer.
    EXPECT_FALSE(MouseCommandLine(mouse, "peek mouse params 0 4", &reply));
    EXPECT_FALSE(MouseCommandLine(mouse, "press mouse 1", &reply));
    EXPECT_FALSE(MouseCommandLine(keyboard, "profile keyboard 1", &reply));
}

}  // namespace
