// What the mouse page exchanges with the emulated mouse on its cable and
// through its receiver: the connect read, the position map, the parameter
// block both ways, the key map, and the macro and recoil tables.
#include <algorithm>
#include <functional>
#include <map>

#include "pages/macro_files.h"
#include "tests/devices/mouse_test_support.h"

namespace {

using namespace mousetest;
using tavrik::devsim::Fault;
using tavrik::devsim::FaultKind;
using tavrik::devsim::MouseFactoryKeyOf;
using tavrik::devsim::ViewKeyMap;
using tavrik::devsim::ViewMacros;
using tavrik::devsim::ViewMouseBlock;
using tavrik::devsim::ViewShoot;

class MouseExchange : public ::testing::TestWithParam<ProductKind> {
protected:
    BoundMouse bound{GetParam()};
    Emulator& device = bound.device;
    CCorvaneMouseDevice& page = *bound.page;

    void SetInfo(size_t at, uint8_t value) {
        auto lock = device.Lock();
        device.Memory().info[at] = value;
    }
    void SetLayoutKey(size_t key, KeyFunction f) {
        auto lock = device.Lock();
        auto& layout = device.Memory().layout;
        layout[3 * key] = f.code;
        layout[3 * key + 1] = f.param1;
        layout[3 * key + 2] = f.param2;
    }
    // A profile of the page holding `entry` as its device entry, loaded.
    void LoadProfileEntry(const Json::Value& entry) {
        Json::Value root;
        root["Device"].append(entry);
        WriteJson(bound.Folder() / "profile_1.Json", root);
        page.LoadProfile(1);
    }
    // Macros named m0, m1 ... with these event counts, in "macro.config".
    void WriteMacros(const std::vector<int>& eventCounts) {
        const DuiLib::CDuiString folder = page.GetUserDataFolder();
        std::vector<MacroInfo> list;
        for (size_t i = 0; i < eventCounts.size(); ++i) {
            MacroFile file;
            file.guid = "guid-" + std::to_string(i);
            file.name = "m" + std::to_string(i);
            for (int e = 0; e < eventCounts[i]; ++e)
                file.events.push_back({e % 2 == 0, int(i) + 1, kMacroKey, uint32_t(10 * e)});
            ASSERT_TRUE(SaveMacroFile(MacroFilePath(folder, file.guid), file));
            list.push_back({file.name, file.guid});
        }
        ASSERT_TRUE(SaveMacroList(folder, list));
    }
    KeyListEntry MacroKey(int position, int macro) {
        KeyListEntry e;
        e.current.function = {0x70, uint8_t(macro), 0};
        e.defaults.function = MouseReferenceFunctionTable[position];
        return e;
    }
    std::vector<KeyListEntry> DefaultKeys() {
        std::vector<KeyListEntry> keys(kMouseButtonCount);
        for (int p = 0; p < kMouseButtonCount; ++p)
            keys[size_t(p)].current.function = keys[size_t(p)].defaults.function = MouseReferenceFunctionTable[p];
        return keys;
    }
};

INSTANTIATE_TEST_SUITE_P(Mouse, MouseExchange, ::testing::Values(ProductKind::MouseCable, ProductKind::MouseReceiver),
                         [](const auto& info) { return KindName(info.param); });

TEST_P(MouseExchange, ConnectReadsInformationAndLayoutInOneSessionAndMapsEveryButton) {
    page.OnConnected();
    page.StopLightThread();
    EXPECT_EQ(Commands(device), (std::vector<uint8_t>{CMD_BEGIN, CMD_READ_INFO, CMD_READ_LAYOUT, CMD_END}));
    const auto map = page.GetPositionMap();
    for (size_t p = 0; p < map.size(); ++p) EXPECT_EQ(map[p], int(MouseFactoryKeyOf(p))) << "position " << p;
    EXPECT_EQ(page.DeviceInfo().KeyCount(), tavrik::devsim::kMouseFactoryKeys);
    EXPECT_EQ(page.DeviceInfo().SensorModel(), tavrik::devsim::kMouseSensor);
    // The layout read asked for exactly key count x 3 bytes.
    const auto layout = device.Requests(CMD_READ_LAYOUT);
    size_t asked = 0;
    for (const auto& r : layout) asked += r.Count();
    EXPECT_EQ(asked, size_t(tavrik::devsim::kMouseFactoryKeys) * 3);
}

TEST_P(MouseExchange, AFailedLayoutReadStillEndsTheSessionAndKeepsThePreviousMap) {
    ASSERT_EQ(page.ReadDeviceInfo(), 1);
    const auto before = page.GetPositionMap();
    SetLayoutKey(MouseFactoryKeyOf(0), {0x10, 0x02, 0});  // would move the left button away
    device.ClearRecord();
    device.Inject(Fault{FaultKind::Status, 1, CMD_READ_LAYOUT, 0, 0, 0xFF});
    EXPECT_NE(page.ReadDeviceInfo(), 1);
    EXPECT_EQ(Commands(device), (std::vector<uint8_t>{CMD_BEGIN, CMD_READ_INFO, CMD_READ_LAYOUT, CMD_END}));
    EXPECT_EQ(page.GetPositionMap(), before);
}

TEST_P(MouseExchange, AKeyCountBeyondTheTableIsRefusedWithoutReadingTheLayout) {
    SetInfo(5, 171);
    device.ClearRecord();
    EXPECT_NE(page.ReadDeviceInfo(), 1);
    EXPECT_EQ(CountOf(device, CMD_READ_LAYOUT), 0u);
    EXPECT_EQ(Commands(device).back(), CMD_END);
    EXPECT_NE(page.WriteKeyAssignments(0, DefaultKeys()), 1);
    EXPECT_EQ(CountOf(device, CMD_WRITE_KEYMAP), 0u);
}

struct MapCase {
    const char* name;
    std::vector<std::pair<size_t, KeyFunction>> layoutChanges;
    std::map<int, int> expected;  // position -> device key (others as the factory layout)
};

TEST_P(MouseExchange, PositionMapFollowsTheLayout) {
    const KeyFunction tilt{0x11, 0, 1};
    const std::vector<MapCase> cases = {
        {"rows at other keys", {{3, {0x13, 3, 0}}, {2, {0x10, 0x01, 0}}}, {{0, 2}, {7, 3}}},
        // The first key holding a row wins.
        {"a row twice", {{10, {0x10, 0x01, 0}}}, {}},
        {"a missing row", {{MouseFactoryKeyOf(10), tilt}}, {{10, kNoDeviceKey}}},
        {"a row whose parameter differs", {{MouseFactoryKeyOf(9), {0x16, 0x90, 2}}}, {{9, kNoDeviceKey}}},
    };
    for (const MapCase& c : cases) {
        SCOPED_TRACE(c.name);
        {
            auto lock = device.Lock();
            device.Memory() = tavrik::devsim::DefaultMemory(GetParam());
        }
        for (const auto& [key, f] : c.layoutChanges) SetLayoutKey(key, f);
        ASSERT_EQ(page.ReadDeviceInfo(), 1);
        const auto map = page.GetPositionMap();
        for (int p = 0; p < kMouseButtonCount; ++p) {
            const auto it = c.expected.find(p);
            const int want = it != c.expected.end() ? it->second : int(MouseFactoryKeyOf(size_t(p)));
            EXPECT_EQ(map[size_t(p)], want) << "position " << p;
        }
    }
}

TEST_P(MouseExchange, AReconnectWithFewerKeysForgetsButtonsBeyondThem) {
    // The fire button (the last position) sits at the last of 12 keys, the
    // back button at key 5.
    SetLayoutKey(5, MouseReferenceFunctionTable[4]);
    SetLayoutKey(11, MouseReferenceFunctionTable[10]);
    ASSERT_EQ(page.ReadDeviceInfo(), 1);
    ASSERT_EQ(page.GetPositionMap()[10], 11);
    SetInfo(5, 9);
    ASSERT_EQ(page.ReadDeviceInfo(), 1);
    const auto map = page.GetPositionMap();
    const std::array<int, kMouseButtonCount> expected = {3, 8, 1, 6, 5, 4, kNoDeviceKey, 2, 7, 0, kNoDeviceKey};
    EXPECT_EQ(map, expected);
    // Nothing is written for the buttons the mouse no longer has, and the map
    // the mouse takes is 9 keys long.
    ASSERT_EQ(page.WriteKeyAssignments(0, DefaultKeys()), 1);
    auto lock = device.Lock();
    const auto keymap = ViewKeyMap(device.Memory());
    ASSERT_EQ(keymap.size(), 9u);
    for (size_t p = 0; p < map.size(); ++p) {
        if (map[p] != kNoDeviceKey) {
            EXPECT_EQ(keymap[size_t(map[p])], MouseReferenceFunctionTable[p]);
        }
    }
}

// --- Parameter block -----------------------------------------------------------------

Json::Value LightInfo(int mode, int light, int speed, int fx, int multi, int r, int g, int b) {
    Json::Value v;
    v["SelectItem"] = mode;
    v["Light"] = light;
    v["Speed"] = speed;
    v["Fx"] = fx;
    v["MultiColor"] = multi;
    v["Red"] = r;
    v["Green"] = g;
    v["Blue"] = b;
    return v;
}

Json::Value Stage(int active, int xy, int x, int y, int r, int g, int b) {
    Json::Value v;
    v["StageActive"] = active;
    v["StageXY"] = xy;
    v["StageDPIX"] = x;
    v["StageDPIY"] = y;
    v["StageColorR"] = r;
    v["StageColorG"] = g;
    v["StageColorB"] = b;
    return v;
}

struct BlockCase {
    const char* name;
    int deviceIndex;    // whose mode codes are used
    Json::Value entry;  // the profile's device entry
    int width, height;
    std::map<size_t, uint8_t> bytes;  // every byte not listed is 0
};

Json::Value Entry(Json::Value light, std::vector<Json::Value> stages, int activeStage, int report) {
    Json::Value e;
    e["LightInfo"] = light;
    e["DPIStages"]["StageActive"] = activeStage;
    e["DPIStages"]["StageDPIs"] = Json::Value(Json::arrayValue);
    for (auto& s : stages) e["DPIStages"]["StageDPIs"].append(s);
    e["ReportStages"]["StageActive"] = report;
    e["SystemStages"]["DoubleClickTime"] = 500;
    return e;
}

TEST_P(MouseExchange, BlockWritesAreByteExact) {
    const Json::Value off = Stage(0, 0, 0, 0, 0, 0, 0);
    Json::Value corrected = Entry(LightInfo(3, 2, 1, 0, 0, 9, 8, 7), {off, off, off, off, off}, 0, 0);
    corrected["CorrectInfo"].append(Json::Value(Json::objectValue));
    corrected["CorrectInfo"][0]["CorrectSelect"] = 0;
    corrected["CorrectInfo"][0]["CorrectMinSq"] = 33;
    corrected["CorrectInfo"][0]["CorrectPixThresh"] = 44;
    Json::Value second;
    second["CorrectSelect"] = 2;
    second["CorrectMinSq"] = 5;
    second["CorrectPixThresh"] = 6;
    corrected["CorrectInfo"].append(second);
    Json::Value third = second;
    third["CorrectMinSq"] = 50;
    corrected["CorrectInfo"].append(third);

    const std::vector<BlockCase> cases = {
        {"a user mode sends the first code",
         1,
         Entry(LightInfo(12, 4, 2, 1, 1, 1, 2, 3), {off, off, off, off, off}, 0, 0),
         0,
         0,
         {{1, 1}, {2, 4}, {3, 3}, {4, 1}, {5, 1}, {6, 1}, {7, 2}, {8, 3}, {59, 1}}},
        {"mode 9 sends its code 0",
         1,
         Entry(LightInfo(9, 0, 4, 0, 0, 0, 0, 0), {off, off, off, off, off}, 0, 0),
         0,
         0,
         {{3, 1}, {59, 1}}},
        // The pad's list holds codes for modes 0..8 only: mode 9 goes out as itself.
        {"a mode with no code",
         2,
         Entry(LightInfo(9, 1, 0, 0, 0, 0, 0, 0), {off, off, off, off, off}, 0, 0),
         0,
         0,
         {{1, 9}, {2, 1}, {3, 5}, {59, 1}}},
        {"stages, active stage and polling",
         1,
         Entry(LightInfo(0, 4, 2, 0, 0, 0, 0, 0),
               {Stage(1, 0, 7, 7, 255, 0, 0), Stage(1, 1, 300, 0x1234, 0, 255, 0), Stage(0, 0, 31, 31, 1, 2, 3), off,
                off},
               2, 3),
         0,
         0,
         {{1, 1},    {2, 4},   {3, 3},  {11, 3},    {12, 2}, {14, 1},    {16, 7},    {18, 7},
          {20, 255}, {23, 1},  {24, 1}, {25, 0x2C}, {26, 1}, {27, 0x34}, {28, 0x12}, {30, 255},
          {34, 31},  {36, 31}, {38, 1}, {39, 2},    {40, 3}, {59, 1}}},
        {"screen size",
         1,
         Entry(LightInfo(0, 0, 0, 0, 0, 0, 0, 0), {off, off, off, off, off}, 0, 0),
         1920,
         1080,
         {{1, 1}, {3, 5}, {59, 1}, {60, 0x80}, {61, 0x07}, {62, 0x38}, {63, 0x04}}},
        {"the first selected correction",
         1,
         corrected,
         0,
         0,
         {{1, 4}, {2, 2}, {3, 4}, {6, 9}, {7, 8}, {8, 7}, {59, 1}, {64, 5}, {65, 6}}},
    };
    for (const BlockCase& c : cases) {
        SCOPED_TRACE(c.name);
        page.SetDeviceIndex(c.deviceIndex);
        page.LoadNameLists();
        LoadProfileEntry(c.entry);
        device.ClearRecord();
        ASSERT_EQ(page.WriteProfileBlock(0, 0, 1, c.width, c.height), 1);
        EXPECT_EQ(Commands(device), (std::vector<uint8_t>{CMD_BEGIN, CMD_WRITE_PARAMS, CMD_END}));
        auto lock = device.Lock();
        const auto block = ViewMouseBlock(device.Memory(), 0);
        for (size_t i = 0; i < tavrik::devsim::kMouseBlockWrite; ++i) {
            const auto it = c.bytes.find(i);
            EXPECT_EQ(int(block.bytes[i]), it != c.bytes.end() ? int(it->second) : 0) << "byte " << i;
        }
        // Past the 66 bytes the mouse's own bytes stay.
        for (size_t i = tavrik::devsim::kMouseBlockWrite; i < tavrik::devsim::kMouseBlockRead; ++i)
            EXPECT_EQ(block.bytes[i], tavrik::devsim::MouseKeptByteMarker(0, i));
    }
}

TEST_P(MouseExchange, BlockWriteGoesToTheProfilesPlace) {
    LoadProfileEntry(Entry(LightInfo(4, 3, 1, 0, 0, 0, 0, 0), {}, 0, 0));
    ASSERT_EQ(page.WriteProfileBlock(2, 0, 1, 0, 0), 1);
    auto lock = device.Lock();
    EXPECT_EQ(ViewMouseBlock(device.Memory(), 2).modeCode, 5);
    EXPECT_EQ(ViewMouseBlock(device.Memory(), 2).speedCode, 4);
    EXPECT_EQ(ViewMouseBlock(device.Memory(), 0).modeCode, 1);  // the factory block 0
}

struct ReadCase {
    const char* name;
    uint8_t code, brightness, speedCode;
    uint8_t mode, wantBrightness, speed;
};

TEST_P(MouseExchange, ReadParamBlockTakesTheActiveBlockAndHoldsDeviceBytesToTheirRanges) {
    LoadProfileEntry(Entry(LightInfo(0, 1, 1, 1, 0, 0, 0, 0), {}, 0, 0));
    const std::vector<ReadCase> cases = {
        {"a known code", 4, 3, 2, 3, 3, 3},
        {"brightness 200", 1, 200, 1, 0, 5, 4},
        {"speed code 0", 2, 0, 0, 1, 0, 5},
        {"an unknown code stands for its own index", 0x33, 2, 5, 0x33, 2, 0},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        {
            auto lock = device.Lock();
            auto& params = device.Memory().params;
            params[0] = 2;
            uint8_t* b = params.data() + 2 * 128;
            b[1] = c.code;
            b[2] = c.brightness;
            b[3] = c.speedCode;
            b[5] = 1;
            b[6] = 10, b[7] = 20, b[8] = 30;
            b[9] = 0x77;
            b[12] = 3;
        }
        int profile = -1;
        ASSERT_EQ(page.ReadParamBlock(&profile), 1);
        EXPECT_EQ(profile, 2);
        const LightSetting s = page.GetLightSetting();
        EXPECT_EQ(s.mode, c.mode);
        EXPECT_EQ(s.brightness, c.wantBrightness);
        EXPECT_EQ(s.speed, c.speed);
        EXPECT_EQ(s.colorful, 1);
        EXPECT_EQ(s.direction, 1);  // the profile's, not the device's
        EXPECT_EQ((std::array<int, 3>{s.red, s.green, s.blue}), (std::array<int, 3>{10, 20, 30}));
        EXPECT_EQ(page.GetLightingCopy().mode, c.mode);
        const MouseDeviceBlock block = page.GetLastDeviceBlock();
        EXPECT_EQ(block[0], 2);
        EXPECT_EQ(block[9], 0);
        // The profile file now holds the device's lighting and active stage.
        CMouseProfiledata saved;
        saved.SetDefaultProfilePath(page.GetDefaultProfilePath());
        saved.LoadProfile(page.GetProfilePath());
        EXPECT_EQ(saved.GetLightInfo().mode, c.mode);
        saved.GetDpiStages();
        EXPECT_EQ(saved.GetActiveDpiStage(), 3);
    }
}

// The receiver's link to its mouse.
class MouseLink : public MouseExchange {};
INSTANTIATE_TEST_SUITE_P(Mouse, MouseLink, ::testing::Values(ProductKind::MouseReceiver),
                         [](const auto& info) { return KindName(info.param); });

TEST_P(MouseLink, NothingIsReadOrWrittenWithoutALink) {
    device.SetLinked(false);
    device.ClearRecord();
    int profile = -1;
    EXPECT_EQ(page.ReadParamBlock(&profile), 0);
    EXPECT_EQ(profile, -1);
    EXPECT_NE(page.WriteProfileBlock(0, 0, 1, 0, 0), 1);
    EXPECT_NE(page.WriteKeyAssignments(0, DefaultKeys()), 1);
    EXPECT_NE(page.ReadDeviceInfo(), 1);
    EXPECT_NE(page.UploadShootData(), 1);
    EXPECT_TRUE(Commands(device).empty());
}

TEST_P(MouseExchange, StatusPollAndLinkCheck) {
    page.PollStatus();
    EXPECT_EQ(Commands(device), (std::vector<uint8_t>{CMD_READ_STATUS}));
    const bool receiver = GetParam() == ProductKind::MouseReceiver;
    EXPECT_EQ(page.CheckDongleLink(), receiver ? 1 : 0);
    // A hidden page reads nothing.
    device.ClearRecord();
    page.SetWindowHidden(1);
    page.PollStatus();
    EXPECT_TRUE(Commands(device).empty());
    page.SetWindowHidden(0);
    if (receiver) {
        device.SetLinked(false);
        EXPECT_EQ(page.CheckDongleLink(), 0);
        page.PollStatus();
        EXPECT_TRUE(Commands(device).empty());
    }
}

// --- Key map and macros --------------------------------------------------------------

TEST_P(MouseExchange, MacrosAreNumberedByFirstUseAndAnUnknownMacroFallsBackToTheDefault) {
    ASSERT_EQ(page.ReadDeviceInfo(), 1);
    WriteMacros({2, 3, 4});
    std::vector<KeyListEntry> keys = DefaultKeys();
    keys[1] = MacroKey(1, 2);
    keys[3] = MacroKey(3, 0);
    keys[4] = MacroKey(4, 2);
    keys[5] = MacroKey(5, 7);  // the list has 3 macros
    page.SetKeyList(keys);

    EXPECT_EQ(page.GetUsedMacros(), (std::vector<int>{2, 0}));
    ASSERT_EQ(page.WriteCurrentKeyAssignments(0), 1);
    {
        auto lock = device.Lock();
        const auto keymap = ViewKeyMap(device.Memory());
        ASSERT_EQ(keymap.size(), size_t(tavrik::devsim::kMouseFactoryKeys));
        auto at = [&](int position) { return keymap[MouseFactoryKeyOf(size_t(position))]; };
        EXPECT_EQ(at(1), (KeyFunction{0x70, 0, 0}));
        EXPECT_EQ(at(3), (KeyFunction{0x70, 1, 0}));
        EXPECT_EQ(at(4), (KeyFunction{0x70, 0, 0}));
        EXPECT_EQ(at(5), MouseReferenceFunctionTable[5]);
        EXPECT_EQ(at(0), MouseReferenceFunctionTable[0]);
        // The key no button reaches keeps its own default.
        EXPECT_EQ(keymap[10], (KeyFunction{0x11, 0, 1}));
    }
    // The page's own list is not changed by the write.
    EXPECT_EQ(page.GetKeyList()[5].current.function, (KeyFunction{0x70, 7, 0}));

    ASSERT_EQ(page.WriteMacros(page.GetUsedMacros()), 0);
    auto lock = device.Lock();
    const auto table = ViewMacros(device.Memory());
    ASSERT_TRUE(table.has_value());
    ASSERT_EQ(table->macros.size(), 2u);
    ASSERT_EQ(table->macros[0].size(), 4u);  // macro 2
    EXPECT_EQ(table->macros[1].size(), 2u);  // macro 0
    // Macro 2's second event: released key 3 after 10 ms.
    EXPECT_EQ(table->macros[0][1], (std::array<uint8_t, 4>{10, 0, kMacroKey, 3}));
    EXPECT_EQ(table->macros[0][0], (std::array<uint8_t, 4>{0, 0, uint8_t(kMacroKey | 0x80), 3}));
}

TEST_P(MouseExchange, NoKeyMapIsWrittenFromATableThatDoesNotMatchTheMouse) {
    // Never read.
    EXPECT_NE(page.WriteKeyAssignments(0, DefaultKeys()), 1);
    EXPECT_EQ(CountOf(device, CMD_WRITE_KEYMAP), 0u);
    // Read for 12 keys, while the mouse now reports 14.
    ASSERT_EQ(page.ReadDeviceInfo(), 1);
    SetInfo(5, 14);
    EXPECT_NE(page.WriteKeyAssignments(0, DefaultKeys()), 1);
    EXPECT_EQ(CountOf(device, CMD_WRITE_KEYMAP), 0u);
    // Read again: written.
    ASSERT_EQ(page.ReadDeviceInfo(), 1);
    EXPECT_EQ(page.WriteKeyAssignments(0, DefaultKeys()), 1);
    EXPECT_GT(CountOf(device, CMD_WRITE_KEYMAP), 0u);
}

TEST_P(MouseExchange, WritesReportTheFirstFailureAndStillEndTheSession) {
    ASSERT_EQ(page.ReadDeviceInfo(), 1);
    const struct {
        const char* name;
        uint8_t command;
        std::function<int()> write;
    } cases[] = {
        {"block", CMD_WRITE_PARAMS, [&] { return page.WriteProfileBlock(0, 0, 1, 0, 0); }},
        {"key map", CMD_WRITE_KEYMAP, [&] { return page.WriteKeyAssignments(0, DefaultKeys()); }},
        {"recoil", CMD_WRITE_SHOOT, [&] { return page.UploadShootData(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        device.ClearRecord();
        device.Inject(Fault{FaultKind::Status, 1, c.command, 0, 0, 0xFF});
        EXPECT_EQ(c.write(), PROTOCOL_STATUS_FAILED);
        EXPECT_EQ(Commands(device).back(), CMD_END);
        EXPECT_EQ(c.write(), 1);
    }
}

TEST_P(MouseExchange, ButtonsMissingOnTheMouseAreLeftOutOfTheMapAndTheUsedMacros) {
    SetLayoutKey(MouseFactoryKeyOf(3), {0x11, 0, 1});
    ASSERT_EQ(page.ReadDeviceInfo(), 1);
    WriteMacros({1, 1});
    std::vector<KeyListEntry> keys = DefaultKeys();
    keys[3] = MacroKey(3, 1);
    keys[6] = MacroKey(6, 0);
    page.SetKeyList(keys);
    EXPECT_EQ(page.GetUsedMacros(), (std::vector<int>{0}));
    ASSERT_EQ(page.WriteCurrentKeyAssignments(0), 1);
    auto lock = device.Lock();
    const auto keymap = ViewKeyMap(device.Memory());
    EXPECT_EQ(keymap[MouseFactoryKeyOf(3)], (KeyFunction{0x11, 0, 1}));
    EXPECT_EQ(keymap[MouseFactoryKeyOf(6)], (KeyFunction{0x70, 0, 0}));
}

TEST_P(MouseExchange, MacroTableLengthAndCapacity) {
    ASSERT_EQ(page.ReadDeviceInfo(), 1);
    WriteMacros({10, 20, 30});
    ASSERT_EQ(page.WriteMacros({0, 1, 2}), 0);
    {
        auto lock = device.Lock();
        const auto table = ViewMacros(device.Memory());
        ASSERT_TRUE(table.has_value());
        EXPECT_EQ(table->totalLength, 274u);
    }
    WriteMacros({100});
    SetInfo(6, 3);
    device.ClearRecord();
    EXPECT_EQ(page.WriteMacros({0}), 10);
    EXPECT_EQ(CountOf(device, CMD_WRITE_MACROS), 0u);
    // Nothing to write.
    EXPECT_EQ(page.WriteMacros({}), 0);
}

TEST_P(MouseExchange, ARefusedMacroTableReportsFailure) {
    ASSERT_EQ(page.ReadDeviceInfo(), 1);
    WriteMacros({3});
    device.Inject(Fault{FaultKind::Status, 1, CMD_WRITE_MACROS, 0, 0, 0xFF});
    EXPECT_EQ(page.WriteMacros({0}), -1);
    // The session was still closed.
    EXPECT_EQ(Commands(device).back(), CMD_END);
}

TEST_P(MouseLink, AReceiverLosingItsMouseDuringTheMacroWriteReportsTheMissingLink) {
    ASSERT_EQ(page.ReadDeviceInfo(), 1);
    WriteMacros({3});
    // The link goes as soon as the information block was answered.
    device.SetCommandHook([](Emulator& e, const uint8_t* request, uint8_t*) {
        if (request[3] == CMD_READ_INFO) e.SetLinked(false);
        return false;
    });
    device.ClearRecord();
    EXPECT_EQ(page.WriteMacros({0}), PROTOCOL_NOT_LINKED);
    EXPECT_EQ(CountOf(device, CMD_READ_INFO), 1u);
    EXPECT_EQ(CountOf(device, CMD_WRITE_MACROS), 0u);
    device.SetCommandHook(nullptr);
    // Unlinked from the start: the same.
    EXPECT_EQ(page.WriteMacros({0}), PROTOCOL_NOT_LINKED);
}

// --- Recoil table -------------------------------------------------------------------------

// A gun file of `count` events: event i is ("down" for even i) button i, delay 7i, type 4 + i % 2.
Json::Value GunFile(int count) {
    Json::Value doc;
    doc["Events"] = Json::Value(Json::arrayValue);
    for (int i = 0; i < count; ++i) {
        Json::Value e;
        e["Action"] = i % 2 == 0 ? "down" : "up";
        e["Button"] = i;
        e["Delay"] = 7 * i;
        e["Type"] = 4 + i % 2;
        doc["Events"].append(e);
    }
    doc["Name"] = "kept";
    return doc;
}

TEST_P(MouseExchange, RecoilTableDecodesToTheFourFiles) {
    const int counts[4] = {6, 180, 0, 200};
    for (int gun = 0; gun < 4; ++gun)
        if (counts[gun] > 0)
            WriteJson(bound.Folder() / ("ShootData_" + std::to_string(gun) + ".Shoot"), GunFile(counts[gun]));
    ASSERT_EQ(page.UploadShootData(), 1);
    auto lock = device.Lock();
    const auto table = ViewShoot(device.Memory());
    ASSERT_TRUE(table.has_value());
    ASSERT_EQ(table->macros.size(), 4u);
    for (int gun = 0; gun < 4; ++gun) {
        SCOPED_TRACE(gun);
        // A gun sends at most 180 events; a missing file none.
        const size_t want = size_t(std::min(counts[gun], 180));
        ASSERT_EQ(table->macros[size_t(gun)].size(), want);
        for (size_t i = 0; i < want; ++i) {
            const int delay = 7 * int(i);
            const std::array<uint8_t, 4> expected = {uint8_t(delay & 0xFF), uint8_t(delay >> 8),
                                                     uint8_t((4 + i % 2) | (i % 2 == 0 ? 0x80 : 0)), uint8_t(i)};
            EXPECT_EQ(table->macros[size_t(gun)][i], expected) << "event " << i;
        }
    }
    EXPECT_EQ(table->totalLength, 16u + 6u * 4u + 4u * (6u + 180u + 180u));
}

}  // namespace
