// What the keyboard page exchanges with an emulated keyboard, by cable and
// through the receiver: tables, profile block, key map, macros, clock,
// status and live colours, and how it fares when the keyboard misbehaves.
#include <fstream>

#include "keyboard/key_position_table.h"
#include "keyboard/keyboard_clock.h"
#include "pages/macro_files.h"
#include "tests/keyboard/keyboard_test_support.h"

namespace {

using namespace kbtest;
using tavrik::devsim::FaultKind;
using tavrik::devsim::KeptByteMarker;
using tavrik::devsim::kKeptBlockBytes;
using tavrik::devsim::ViewBlock;
using tavrik::devsim::ViewClock;

class KeyboardExchange : public ::testing::TestWithParam<ProductKind> {
protected:
    ConnectedKeyboard kb{GetParam()};
    Emulator& device = kb.device;
    CCorvaneKeyboardDevice& page = kb.page;

    void WriteMacroList(const std::vector<std::pair<std::string, std::vector<MacroEvent>>>& macros) {
        std::vector<MacroInfo> list;
        for (const auto& [guid, events] : macros) {
            list.push_back({"macro " + guid, guid});
            if (!events.empty()) SaveMacroFile(MacroFilePath(page.GetUserDataFolder(), guid), {events, guid, guid});
        }
        ASSERT_TRUE(SaveMacroList(page.GetUserDataFolder(), list));
    }
};

INSTANTIATE_TEST_SUITE_P(Connections, KeyboardExchange,
                         ::testing::Values(ProductKind::KeyboardCable, ProductKind::KeyboardReceiver),
                         [](const auto& info) {
                             return info.param == ProductKind::KeyboardCable ? "Cable" : "Receiver";
                         });

TEST_P(KeyboardExchange, ConnectSequenceIsByteExactAndLeavesTheMergedBlockAndTheClock) {
    const KeyboardClock before = LocalKeyboardClock();
    page.OnConnected();
    const KeyboardClock after = LocalKeyboardClock();

    const size_t c = kb.Chunk();
    std::vector<uint8_t> expected = {CMD_BEGIN};
    Packets(expected, CMD_READ_INFO, 37, c);
    Packets(expected, CMD_READ_LAYOUT, 510, c);
    Packets(expected, CMD_READ_LEDMAP, 170, c);
    expected.push_back(CMD_END);
    Packets(expected, CMD_READ_PARAMS, 1, c);
    Packets(expected, CMD_READ_PARAMS, 49, c);
    expected.push_back(CMD_BEGIN);
    Packets(expected, CMD_WRITE_PARAMS, 49, c);
    expected.push_back(CMD_END);
    expected.insert(expected.end(), {CMD_BEGIN, CMD_WRITE_CLOCK, CMD_END});
    EXPECT_EQ(Commands(device), expected);

    auto lock = device.Lock();
    const auto block = ViewBlock(device.Memory(), 0);
    const auto factory = tavrik::devsim::FactoryBlock(0);
    for (size_t i : kKeptBlockBytes) EXPECT_EQ(block.bytes[i], KeptByteMarker(0, i)) << "kept byte " << i;
    // The keyboard's own settings came back: mode, brightness, speed, colours, interval.
    for (size_t i : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 18u, 19u, 20u, 21u, 25u, 43u, 44u, 45u})
        EXPECT_EQ(block.bytes[i], factory[i]) << "byte " << i;
    EXPECT_EQ(block.bytes[47], 1);
    const KeyboardClock written = {block.bytes[35], block.bytes[36], block.bytes[37], block.bytes[38],
                                   block.bytes[39], block.bytes[40], block.bytes[41]};
    auto order = [](const KeyboardClock& k) { return std::array<uint8_t, 6>{k[6], k[5], k[4], k[2], k[1], k[0]}; };
    EXPECT_LE(order(before), order(written));
    EXPECT_LE(order(written), order(after));
    const auto clock = ViewClock(device.Memory(), 0);
    ASSERT_TRUE(clock.has_value());
    const KeyboardClock set = {device.Memory().clock[0], device.Memory().clock[1], device.Memory().clock[2],
                               device.Memory().clock[3], device.Memory().clock[4], device.Memory().clock[5],
                               device.Memory().clock[6]};
    EXPECT_LE(order(written), order(set));
    EXPECT_LE(order(set), order(after));
    EXPECT_FALSE(device.Memory().inSession);

    // The document holds the keyboard's settings.
    const LightSetting light = page.Document().GetLightInfo();
    EXPECT_EQ(light.mode, 1);
    EXPECT_EQ(light.brightness, 4);
    EXPECT_EQ(light.speed, 3);
    EXPECT_EQ(page.Document().GetFrameIntervalTime(), 100);
    // The screen as the keyboard's information block gives it.
    EXPECT_EQ(page.GetFrameLimit(), tavrik::devsim::kKeyboardScreenFrames);
    EXPECT_EQ(page.GetScreenWidth(), tavrik::devsim::kKeyboardScreenWidth);
    EXPECT_EQ(page.GetScreenHeight(), tavrik::devsim::kKeyboardScreenHeight);
}

TEST_P(KeyboardExchange, TablesGiveEveryPositionItsDeviceKeyAndLed) {
    ASSERT_EQ(page.ReadDeviceTables(), 1);
    const KeyPositionMaps& maps = page.GetPositionMaps();
    auto lock = device.Lock();
    const auto& m = device.Memory();
    std::vector<bool> ledSeen(170, false);
    for (size_t p = 0; p < kKeyPositionCount; ++p) {
        SCOPED_TRACE(p);
        const uint8_t k = maps.keyIndex[p];
        ASSERT_LT(k, 170);
        const KeyFunction f{m.layout[3 * k], m.layout[3 * k + 1], m.layout[3 * k + 2]};
        EXPECT_EQ(f, KeyPositionTable[p]);
        EXPECT_EQ(maps.ledIndex[p], m.ledMap[k]);
    }
    EXPECT_EQ(maps.keyIndex[18], maps.keyIndex[169]);  // blank positions share the plain key
}

TEST_P(KeyboardExchange, RefusedDataSizeClosesTheBracketAndChangesNothing) {
    ASSERT_EQ(page.ReadDeviceTables(), 1);
    const KeyPositionMaps before = page.GetPositionMaps();
    {
        auto lock = device.Lock();
        device.Memory().info[5] = 171;
    }
    device.ClearRecord();
    EXPECT_EQ(page.ReadDeviceTables(), 0);
    std::vector<uint8_t> expected = {CMD_BEGIN};
    Packets(expected, CMD_READ_INFO, 37, kb.Chunk());
    expected.push_back(CMD_END);
    EXPECT_EQ(Commands(device), expected);
    EXPECT_EQ(page.GetPositionMaps().keyIndex, before.keyIndex);
    EXPECT_EQ(page.GetPositionMaps().ledIndex, before.ledIndex);
}

TEST_P(KeyboardExchange, NoReplyToTheLayoutReadKeepsTheTablesAndClosesTheBracket) {
    device.Inject({FaultKind::NoReply, 1, CMD_READ_LAYOUT, 0, 0, 0});
    EXPECT_EQ(page.ReadDeviceTables(), 0);
    for (uint8_t k : page.GetPositionMaps().keyIndex) EXPECT_EQ(k, kNoKeyPosition);
    EXPECT_EQ(Commands(device).back(), CMD_END);
    auto lock = device.Lock();
    EXPECT_FALSE(device.Memory().inSession);
    lock.unlock();
    // Without a layout table the key map would clear every key: nothing is sent.
    device.ClearRecord();
    EXPECT_EQ(page.WriteCurrentKeyAssignments(0), 0);
    EXPECT_TRUE(device.Record().empty());
}

TEST_P(KeyboardExchange, KeyMapReachesEachPositionsDeviceKey) {
    ASSERT_EQ(page.ReadDeviceTables(), 1);
    WriteMacroList({{"m0", {}}, {"m1", {}}, {"m2", {}}, {"m3", {}}, {"m4", {}}});
    std::vector<KeyListEntry> keys(kKeyPositionCount);
    for (size_t p = 0; p < keys.size(); ++p) keys[p].current.function = keys[p].defaults.function = KeyPositionTable[p];
    keys[1].current.function = {0x70, 4, 1};
    keys[2].current.function = {0x30, 0xE9, 0x00};
    keys[3].current.function = {0x71, 1, 3};
    keys[4].current.function = {0x70, 4, 2};
    keys[5].current.function = {0x70, 9, 0};  // no macro 9: the default goes out
    page.SetKeyList(keys);
    EXPECT_EQ(page.GetUsedMacros(), (std::vector<int>{4, 1}));
    device.ClearRecord();
    EXPECT_EQ(page.WriteCurrentKeyAssignments(0), 1);
    EXPECT_EQ(Commands(device).front(), CMD_READ_INFO);

    auto lock = device.Lock();
    const auto map = tavrik::devsim::ViewKeyMap(device.Memory());
    const auto& k = page.GetPositionMaps().keyIndex;
    EXPECT_EQ(map[k[1]], (KeyFunction{0x70, 0, 1}));
    EXPECT_EQ(map[k[2]], (KeyFunction{0x30, 0xE9, 0x00}));
    EXPECT_EQ(map[k[3]], (KeyFunction{0x71, 1, 3}));
    EXPECT_EQ(map[k[4]], (KeyFunction{0x70, 0, 2}));
    EXPECT_EQ(map[k[5]], KeyPositionTable[5]);
    EXPECT_EQ(map[k[0]], KeyPositionTable[0]);
    // Keys no position reaches keep the keyboard's defaults.
    const auto& m = device.Memory();
    EXPECT_EQ(map[169], (KeyFunction{m.layout[507], m.layout[508], m.layout[509]}));
}

TEST_P(KeyboardExchange, MacroTableAsTheKeyboardReadsIt) {
    const MacroEvent press{true, 4, kMacroKey, 70000};  // longer than a device delay
    const MacroEvent release{false, 4, kMacroKey, 25};
    WriteMacroList({{"a", {press, release}}, {"b", {}}, {"c", {release}}});
    EXPECT_EQ(page.WriteMacros({2, 0, 1}), 0);
    auto lock = device.Lock();
    const auto table = tavrik::devsim::ViewMacros(device.Memory());
    ASSERT_TRUE(table.has_value());
    ASSERT_EQ(table->macros.size(), 3u);
    EXPECT_EQ(table->macros[0], (std::vector<std::array<uint8_t, 4>>{{25, 0, 0x0A, 4}}));
    EXPECT_EQ(table->macros[1], (std::vector<std::array<uint8_t, 4>>{{0xFF, 0xFF, 0x8A, 4}, {25, 0, 0x0A, 4}}));
    EXPECT_TRUE(table->macros[2].empty());
    EXPECT_FALSE(device.Memory().inSession);
}

TEST_P(KeyboardExchange, MacroWritesThatSendNothing) {
    // No list: nothing to write.
    EXPECT_EQ(page.WriteMacros({0}), 0);
    EXPECT_TRUE(device.Record().empty());
    // An empty list: nothing to write either.
    WriteMacroList({});
    EXPECT_EQ(page.WriteMacros({}), 0);
    // One macro of 60 events against 256 bytes: 262 bytes, two events too many.
    {
        auto lock = device.Lock();
        device.Memory().info[6] = 2;
    }
    WriteMacroList({{"long", std::vector<MacroEvent>(60, MacroEvent{true, 4, kMacroKey, 10})}});
    EXPECT_EQ(page.WriteMacros({0}), 2);
    EXPECT_TRUE(device.Requests(CMD_WRITE_MACROS).empty());
    EXPECT_TRUE(device.Requests(CMD_BEGIN).empty());
    // A closed channel cannot take the table.
    tavrik::test::CloseCommandChannel(page.CommandChannel());
    EXPECT_EQ(page.WriteMacros({0}), -1);
}

TEST_P(KeyboardExchange, FailuresAreReturnedAndTheBracketIsClosed) {
    page.OnConnected();
    const struct {
        const char* name;
        uint8_t command;
        int expected;
        std::function<int()> call;
    } cases[] = {
        {"block write", CMD_WRITE_PARAMS, -102, [&] { return page.WriteProfileBlock(0, 0, 1, 0, 0); }},
        {"clock", CMD_WRITE_CLOCK, -102, [&] { return page.WriteClock(0); }},
        {"macros", CMD_WRITE_MACROS, -1, [&] { return page.WriteMacros({0}); }},
        {"key map", CMD_WRITE_KEYMAP, -102, [&] { return page.WriteCurrentKeyAssignments(0); }},
    };
    WriteMacroList({{"a", {MacroEvent{true, 4, kMacroKey, 10}}}});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        device.ClearRecord();
        device.Inject({FaultKind::Status, 1, c.command, 0, 0, 0xFF});
        EXPECT_EQ(c.call(), c.expected);
        EXPECT_EQ(Commands(device).back(), CMD_END);
        auto lock = device.Lock();
        EXPECT_FALSE(device.Memory().inSession);
    }
}

TEST_P(KeyboardExchange, BlockWriteWithoutACopyReadsTheKeyboardsBlockFirst) {
    device.Inject({FaultKind::NoReply, 1, CMD_READ_PARAMS, 0, 0, 0});
    EXPECT_EQ(page.WriteProfileBlock(0, 0, 1, 0, 0), 0);
    EXPECT_TRUE(device.Requests(CMD_WRITE_PARAMS).empty());  // nothing sent on a failed read
    EXPECT_FALSE(page.HasBlockCopy());

    EXPECT_EQ(page.WriteProfileBlock(0, 0, 1, 0, 0), 1);
    EXPECT_TRUE(page.HasBlockCopy());
    auto lock = device.Lock();
    const auto block = ViewBlock(device.Memory(), 0);
    for (size_t i : kKeptBlockBytes) EXPECT_EQ(block.bytes[i], KeptByteMarker(0, i)) << "kept byte " << i;
}

TEST_P(KeyboardExchange, UnplugMidSequenceLeavesThePageWithItsDocument) {
    device.Inject({FaultKind::Unplug, 1, CMD_READ_LAYOUT, 2, 0, 0});
    page.OnConnected();
    for (uint8_t k : page.GetPositionMaps().keyIndex) EXPECT_EQ(k, kNoKeyPosition);
    EXPECT_FALSE(page.HasBlockCopy());
    // The document's settings stand (the shipped defaults).
    EXPECT_EQ(page.GetLightSetting().mode, 2);
    EXPECT_EQ(page.WriteClock(0) == 1, false);
}

TEST_P(KeyboardExchange, ClosedChannelSendsNothingAndReportsIt) {
    tavrik::test::CloseCommandChannel(page.CommandChannel());
    device.ClearRecord();
    EXPECT_EQ(page.ReadDeviceTables(), 0);
    int profile = -1;
    EXPECT_EQ(page.ReadProfileBlock(&profile), 0);
    EXPECT_EQ(profile, -1);
    EXPECT_EQ(page.WriteProfileBlock(0, 0, 1, 0, 0), 0);
    EXPECT_EQ(page.WriteClock(0), 0);
    EXPECT_EQ(page.WriteCurrentKeyAssignments(0), 0);
    EXPECT_TRUE(device.Record().empty());
}

TEST_P(KeyboardExchange, LiveFrameLandsAtEachPositionsLed) {
    ASSERT_EQ(page.ReadDeviceTables(), 1);
    LightSetting music{};
    music.mode = 21;
    page.SetLightSetting(music);
    for (int i = 0; i < 170; ++i) page.SetLedColor(i, PackLedColor({uint8_t(i), 200, 10, 128}));
    page.StreamLedFrame();
    auto lock = device.Lock();
    const auto frame = tavrik::devsim::ViewLiveFrame(device.Memory());
    ASSERT_EQ(frame.size(), 510u);
    for (size_t p = 0; p < 170; p += 17) {
        const uint8_t j = page.GetPositionMaps().ledIndex[p];
        EXPECT_EQ(frame[3 * j + 1], 100) << p;  // 200 x 128 / 256
        EXPECT_EQ(frame[3 * j + 2], 5) << p;
    }
    const size_t packets = device.Memory().livePackets;
    lock.unlock();
    // Outside the music and screen modes nothing goes out.
    music.mode = 2;
    page.SetLightSetting(music);
    page.StreamLedFrame();
    lock.lock();
    EXPECT_EQ(device.Memory().livePackets, packets);
}

TEST(KeyboardReceiver, UnlinkedKeyboardAnswersEveryWrite) {
    ConnectedKeyboard kb(ProductKind::KeyboardReceiver);
    ASSERT_TRUE(SaveMacroList(kb.page.GetUserDataFolder(), {{"a", "a"}}));
    kb.device.SetLinked(false);
    EXPECT_EQ(kb.page.WriteMacros({0}), -101);
    EXPECT_EQ(kb.page.WriteClock(0), -101);
    EXPECT_EQ(kb.page.CheckDongleLink(), 0);
    kb.device.SetLinked(true);
    EXPECT_EQ(kb.page.CheckDongleLink(), 1);
    EXPECT_EQ(kb.page.WriteMacros({0}), 0);
}

}  // namespace

namespace {

using namespace kbtest;

TEST(KeyboardProfile, PathsAndNameLists) {
    CCorvaneKeyboardDevice page;
    SetUpPage(page);
    page.UpdateProfilePaths();
    EXPECT_EQ(page.GetProfilePath(), page.GetUserDataFolder() + L"profile_1.Json");
    // The document falls back on the keyboard's shipped defaults.
    page.LoadProfile(1);
    EXPECT_EQ(page.GetKeyList().size(), kKeyPositionCount);
    EXPECT_EQ(page.GetStoredFrameInterval(), 100);
    EXPECT_EQ(page.GetLightSetting().mode, 2);

    ASSERT_TRUE(SaveMacroList(page.GetUserDataFolder(), {{"Ä macro", "g1"}, {"second", "g2"}}));
    page.LoadNameLists();
    EXPECT_EQ(page.GetMacroNames(), (std::vector<DuiLib::CDuiString>{L"Ä macro", L"second"}));
    ASSERT_EQ(page.GetModeValues().size(), 31u);
    EXPECT_EQ(page.GetModeValues()[21], 21);
    EXPECT_EQ(page.GetDefaultLightVisible()[0], 0);
    EXPECT_EQ(page.GetDefaultLightNames()[1], L"light_mode_1");
    EXPECT_EQ(page.GetAreaLightNames().size(), 3u);
    // No light names for device index 4: the lists stay as they were.
    page.SetDeviceIndex(4);
    page.LoadNameLists();
    EXPECT_EQ(page.GetModeValues().size(), 31u);
    EXPECT_EQ(page.GetAreaLightNames().size(), 3u);
}

}  // namespace
