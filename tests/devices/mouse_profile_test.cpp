// The mouse page's profile plumbing: loading a profile into the page, the
// shipped defaults, restoring them, the name lists and the document's entry.
#include <json/json.h>

#include "link/json_file_util.h"
#include "platform/files/utf8.h"
#include "pages/macro_files.h"
#include "tests/devices/mouse_test_support.h"

namespace {

using namespace mousetest;

class MouseProfile : public ::testing::Test {
protected:
    BoundMouse bound{ProductKind::MouseCable};
    CCorvaneMouseDevice& page = *bound.page;

    Json::Value ReadFile(const std::filesystem::path& path) {
        return CJsonFileUtil::LoadJson(win::FromUtf8(path.string()).c_str());
    }
    Json::Value Defaults() { return ReadFile(win::ToFsPath(page.GetDefaultProfilePath().GetData()))["Device"][0]; }
};

TEST_F(MouseProfile, AFreshProfileTakesTheShippedMouseDefaults) {
    ASSERT_EQ(page.LoadProfile(1), 1);
    const auto keys = page.GetKeyList();
    ASSERT_EQ(keys.size(), size_t(kMouseButtonCount));
    for (int p = 0; p < kMouseButtonCount; ++p) {
        EXPECT_EQ(keys[size_t(p)].current.function, MouseReferenceFunctionTable[p]) << p;
        EXPECT_EQ(keys[size_t(p)].defaults.function, MouseReferenceFunctionTable[p]) << p;
    }
    const auto stages = page.GetDpiStages();
    ASSERT_EQ(stages.size(), 5u);
    for (const DpiStage& s : stages) EXPECT_EQ(s.active, 1);
    EXPECT_LT(stages[0].x, stages[4].x);
    EXPECT_EQ(page.Document().GetActiveDpiStage(), 1);
    EXPECT_EQ(page.GetSystemStages().reportRate, 3);
    const LightSetting light = page.GetLightSetting();
    EXPECT_EQ(light.brightness, 4);
    EXPECT_EQ(page.GetLightingCopy().mode, light.mode);
    EXPECT_EQ(page.GetLightingCopy().brightness, light.brightness);
    // The shipped document also names the music lighting.
    EXPECT_TRUE(Defaults().isMember("AudioLightInfo"));
}

TEST_F(MouseProfile, RestoringTheDefaultsOverwritesTheCurrentProfilesEntry) {
    Json::Value mine;
    mine["Device"][0]["LightInfo"]["SelectItem"] = 7;
    mine["Device"][0]["LightInfo"]["Light"] = 1;
    mine["Device"][0]["ReportStages"]["StageActive"] = 0;
    mine["Device"][0]["DPIStages"]["StageActive"] = 4;
    WriteJson(bound.Folder() / "profile_1.Json", mine);
    ASSERT_EQ(page.LoadProfile(1), 1);
    EXPECT_EQ(page.GetLightSetting().mode, 7);
    EXPECT_EQ(page.GetSystemStages().reportRate, 0);

    page.RestoreDefaultProfile();
    const Json::Value saved = ReadFile(bound.Folder() / "profile_1.Json")["Device"][0];
    const Json::Value defaults = Defaults();
    for (const char* member : {"LightInfo", "DPIStages", "KeyList", "ReportStages", "SystemStages"})
        EXPECT_EQ(saved[member], defaults[member]) << member;
    EXPECT_EQ(page.GetLightSetting().mode, defaults["LightInfo"]["SelectItem"].asInt());
    EXPECT_EQ(page.GetSystemStages().reportRate, 3);
}

TEST_F(MouseProfile, TheDocumentStaysOnTheFirstDeviceEntryWhateverTheIndex) {
    Json::Value two;
    two["Device"][0]["LightInfo"]["SelectItem"] = 2;
    two["Device"][1]["LightInfo"]["SelectItem"] = 5;
    WriteJson(bound.Folder() / "profile_1.Json", two);
    for (int index : {3, 1}) {
        page.SetDeviceIndex(index);
        ASSERT_EQ(page.LoadProfile(1), 1);
        EXPECT_EQ(page.GetLightSetting().mode, 2) << index;
    }
    // Saving writes entry 0 only.
    LightSetting s = page.GetLightSetting();
    s.mode = 4;
    page.SetLightSetting(s);
    page.SaveProfile();
    const Json::Value saved = ReadFile(bound.Folder() / "profile_1.Json");
    EXPECT_EQ(saved["Device"][0]["LightInfo"]["SelectItem"], 4);
    EXPECT_EQ(saved["Device"][1]["LightInfo"]["SelectItem"], 5);
}

TEST_F(MouseProfile, NameListsComeFromTheMacroListTheShippedModesAndTheUserLights) {
    ASSERT_TRUE(SaveMacroList(page.GetUserDataFolder(), {{"Reload", "g1"}, {"Spray", "g2"}}));
    Json::Value user;
    user["LightInfo"][0][0]["LightName"] = "not mine";
    user["LightInfo"][1][0]["LightName"] = "Glow";
    user["LightInfo"][1][1]["LightName"] = "Pulse";
    WriteJson(bound.Folder() / "plenta_light.config", user);
    page.LoadNameLists();
    EXPECT_EQ(page.GetMacroNames(), (std::vector<DuiLib::CDuiString>{L"Reload", L"Spray"}));
    EXPECT_EQ(page.GetUserLightNames(), (std::vector<DuiLib::CDuiString>{L"Glow", L"Pulse"}));
    // The mouse's ten modes and the emulated firmware's codes for them.
    ASSERT_EQ(page.GetModeValues().size(), tavrik::devsim::kMouseModeCodes.size());
    for (size_t m = 0; m < page.GetModeValues().size(); ++m)
        EXPECT_EQ(page.GetModeValues()[m], tavrik::devsim::kMouseModeCodes[m]) << m;
    EXPECT_EQ(page.GetDefaultLightNames().size(), 10u);
    EXPECT_EQ(page.GetDefaultLightVisible(), std::vector<int32_t>(10, 1));
    // A missing macro list empties the names; a missing light file keeps its list.
    std::filesystem::remove(bound.Folder() / "macro.config");
    std::filesystem::remove(bound.Folder() / "plenta_light.config");
    page.LoadNameLists();
    EXPECT_TRUE(page.GetMacroNames().empty());
    EXPECT_EQ(page.GetUserLightNames().size(), 2u);
}

TEST_F(MouseProfile, ReSyncReadsTheBlockAndConnectReadsOnlyTheTables) {
    page.OnConnected();
    page.StopLightThread();
    EXPECT_EQ(CountOf(bound.device, CMD_READ_PARAMS), 0u);
    EXPECT_EQ(CountOf(bound.device, CMD_WRITE_PARAMS), 0u);
    EXPECT_EQ(page.GetKeyList().size(), size_t(kMouseButtonCount));
    bound.device.ClearRecord();
    {
        auto lock = bound.device.Lock();
        bound.device.Memory().params[0] = 1;
        bound.device.Memory().params[128 + 1] = 6;  // running light, mode 5
    }
    page.ReadActiveProfile();
    EXPECT_EQ(Commands(bound.device), (std::vector<uint8_t>{CMD_READ_PARAMS, CMD_READ_PARAMS}));
    EXPECT_EQ(page.GetActiveProfile(), 1);
    EXPECT_EQ(page.GetLightSetting().mode, 5);
}

}  // namespace
