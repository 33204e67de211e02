// The keyboard page's profile document on real files with the emulated
// keyboard: loading, applying the lighting part, restoring the defaults,
// the name lists and dropping keys of missing macros.
#include <filesystem>
#include <fstream>

#include "link/json_file_util.h"
#include "pages/macro_files.h"
#include "tests/keyboard/keyboard_test_support.h"

namespace {

using namespace kbtest;
namespace fs = std::filesystem;

// Counts the entries into a lighting mode instead of running the effects.
class CountingKeyboard : public CCorvaneKeyboardDevice {
public:
    int entries = 0;

protected:
    void EnterLightMode(uint8_t, bool) override { ++entries; }
};

Json::Value ReadJson(const fs::path& path) {
    CJsonFileUtil files;
    return files.LoadJson(DuiLib::CDuiString(path.wstring().c_str()));
}

fs::path ProfileFile(CCorvaneKeyboardDevice& page) { return win::ToFsPath(page.GetProfilePath().str()); }

class ProfileDocument : public ::testing::Test {
protected:
    ConnectedKeyboard k{ProductKind::KeyboardCable};
};

TEST_F(ProfileDocument, LoadingWithoutTheFlagKeepsTheFrameInterval) {
    k.page.SetFrameIntervalValue(77);
    EXPECT_EQ(k.page.LoadProfile(0), 1);
    EXPECT_EQ(k.page.GetStoredFrameInterval(), 77);
    EXPECT_TRUE(fs::is_regular_file(ProfileFile(k.page)));
    EXPECT_EQ(k.page.LoadProfile(1), 1);
    EXPECT_EQ(k.page.GetStoredFrameInterval(), 100);  // the shipped default
    EXPECT_EQ(k.page.GetKeyList().size(), ReadJson(ProfileFile(k.page))["Device"][0]["KeyList"].size());
    EXPECT_EQ(k.page.GetLightSetting().mode, 2);
    // Loading never talks to the keyboard.
    EXPECT_TRUE(Commands(k.device).empty());
}

TEST(ProfileDocumentModes, SameModeKeepsTheEffectStateExceptCustomColours) {
    CountingKeyboard page;
    SetUpPage(page);
    page.LoadProfile(0);
    ASSERT_EQ(page.entries, 1);  // 0 -> 2
    page.ApplyLightProfile();
    EXPECT_EQ(page.entries, 1);
    LightSetting s = page.GetLightSetting();
    s.mode = 19;
    page.SetLightSetting(s);
    page.ApplyLightProfile();
    page.ApplyLightProfile();
    EXPECT_EQ(page.entries, 3);
    EXPECT_EQ(page.GetRunningMode(), 19);
}

TEST_F(ProfileDocument, ApplyingTakesTheLightAndPerLedListsOfTheDocument) {
    k.page.LoadProfile(0);
    LightSetting s = k.page.GetLightSetting();
    s.mode = 9, s.speed = 3, s.customGroup = 2;
    k.page.Document().SetLightInfo(s);
    EXPECT_EQ(k.page.ApplyLightProfile(), 1);
    EXPECT_EQ(k.page.GetLightSetting(), s);
    EXPECT_EQ(k.page.GetRunningSpeed(), 3);
    EXPECT_EQ(k.page.GetRunningGroup(), 2);
    EXPECT_EQ(k.page.GetKeyEffects().size(), 170u);
}

TEST_F(ProfileDocument, NameListsWithoutTheDevicesRowKeepTheirContent) {
    k.page.LoadNameLists();
    ASSERT_EQ(k.page.GetDefaultLightNames().size(), 31u);
    ASSERT_EQ(k.page.GetAreaLightNames().size(), 3u);
    const std::vector<int32_t> values = k.page.GetModeValues();
    k.page.SetDeviceIndex(7);  // the shipped file has no row 7
    k.page.LoadNameLists();
    EXPECT_EQ(k.page.GetDefaultLightNames().size(), 31u);
    EXPECT_EQ(k.page.GetModeValues(), values);
    EXPECT_EQ(k.page.GetDefaultLightVisible().size(), 31u);
    EXPECT_EQ(k.page.GetAreaLightNames().size(), 3u);
}

TEST_F(ProfileDocument, RestoringWritesTheDefaultsIntoTheProfileFileOnly) {
    k.page.LoadProfile(1);
    LightSetting s = k.page.GetLightSetting();
    s.mode = 7, s.red = 1;
    k.page.SetLightSetting(s);
    std::vector<KeyListEntry> keys = k.page.GetKeyList();
    ASSERT_FALSE(keys.empty());
    keys[0].current.function = KeyFunction{0x70, 0, 0};
    k.page.SetKeyList(keys);
    k.page.SaveProfile();
    ASSERT_EQ(ReadJson(ProfileFile(k.page))["Device"][0]["LightInfo"]["SelectItem"].asInt(), 7);

    k.page.RestoreDefaultProfile();
    const Json::Value defaults = ReadJson(win::ToFsPath(k.page.GetDefaultProfilePath().str()))["Device"][0];
    const Json::Value saved = ReadJson(ProfileFile(k.page))["Device"][0];
    EXPECT_EQ(saved["LightInfo"], defaults["LightInfo"]);
    EXPECT_EQ(saved["KeyList"], defaults["KeyList"]);
    EXPECT_EQ(k.page.GetLightSetting().mode, 2);
    EXPECT_EQ(k.page.GetKeyList(), k.page.Document().GetKeyList());
    EXPECT_TRUE(Commands(k.device).empty());
}

// Without readable defaults nothing is saved over the user's profile.
TEST_F(ProfileDocument, RestoringWithoutDefaultsChangesNothing) {
    k.page.LoadProfile(1);
    LightSetting s = k.page.GetLightSetting();
    s.mode = 7;
    k.page.SetLightSetting(s);
    k.page.SaveProfile();
    const Json::Value before = ReadJson(ProfileFile(k.page));
    k.page.SetDeviceName(L"no_such_device");
    k.page.RestoreDefaultProfile();
    EXPECT_EQ(ReadJson(ProfileFile(k.page)), before);
    EXPECT_EQ(k.page.GetLightSetting().mode, 7);
}

TEST_F(ProfileDocument, KeysOfMissingMacrosGoBackToTheirDefault) {
    k.page.LoadProfile(1);
    ASSERT_TRUE(SaveMacroList(k.page.GetUserDataFolder(), {{"one", "g1"}, {"two", "g2"}}));
    std::vector<KeyListEntry> keys = k.page.GetKeyList();
    ASSERT_GE(keys.size(), 4u);
    const KeyFunction kept{0x70, 1, 0}, dropped{0x70, 2, 0}, droppedRepeat{0x71, 9, 3}, other{0x02, 5, 0};
    keys[0].current.function = kept;
    keys[1].current.function = dropped;
    keys[2].current.function = droppedRepeat;
    keys[3].current.function = other;
    k.page.SetKeyList(keys);

    k.page.CheckMacroAssignments();
    const std::vector<KeyListEntry>& after = k.page.GetKeyList();
    EXPECT_EQ(after[0].current.function, kept);
    EXPECT_EQ(after[1].current, keys[1].defaults);
    EXPECT_EQ(after[2].current, keys[2].defaults);
    EXPECT_EQ(after[3].current.function, other);
    // Stored in the document, not saved.
    EXPECT_EQ(k.page.Document().GetKeyList()[1].current, keys[1].defaults);
    EXPECT_EQ(k.page.GetMacroNames().size(), 2u);
}

}  // namespace
