// The headset page's audio functions through "osConfLib.so" on a simulated
// chip that the test serves on a socket (the library's sim backend).
#include <gtest/gtest.h>

#include <unistd.h>

#include <ostream>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/conflib/chip_server.h"
#include "platform/files/folders.h"
#include "tests/devices/headset_panels.h"

namespace {

using namespace devicestest;
using tavrik::conflib::ChipServer;
using tavrik::conflib::SimulatedChip;

// One socket per test process: the library connects once and again after a server went.
std::string ChipSocketPath() { return "/tmp/tavrik-chip-test-" + std::to_string(getpid()) + ".sock"; }

class HeadsetAudio : public ::testing::Test {
public:
    void SetUp() override {
        setenv("TAVRIK_HID_BACKEND", "sim", 1);
        setenv("TAVRIK_CHIP_SOCKET", ChipSocketPath().c_str(), 1);
        std::string error;
        ASSERT_TRUE(server.Start(&error)) << error;
        page.SetDeviceName(L"HD");
        page.SetProfileId(L"profile_1");
        page.SetLightListName(L"plenta_light");
        page.SetDeviceIndex(3);
        page.SetLedCount(13);
        // Each test starts from the default profile, also when the tests share a process.
        std::filesystem::remove(win::ToFsPath((page.GetUserDataFolder() + L"profile_1.Json").str()));
        page.SetMessageSink([this](const wchar_t* text) { messages.push_back(text); });
        AddHeadsetControls(page);
    }
    void TearDown() override { page.StopLightThread(); }

    // InitPage, then the profile and the chip's state as on connection.
    void Connect() {
        page.InitPage();
        ASSERT_TRUE(page.IsAudioLoaded());
        page.LoadProfile(1);
        page.ReadVolumeState();
        page.RefreshPage(1);
        chip.ClearWriteLog();
    }
    CVoice6533ControlUI& Voice() { return *page.VoicePanel(); }
    CMagicControlUI& Magic() { return *page.MagicPanel(); }
    // The value last written to a property, NaN when none was.
    double Written(const std::string& name) {
        double v = NAN;
        for (const auto& w : chip.WriteLog())
            if (w.name == name) v = w.value;
        return v;
    }
    std::vector<std::string> WrittenNames() {
        std::vector<std::string> names;
        for (const auto& w : chip.WriteLog()) names.push_back(w.name);
        return names;
    }
    HeadsetSystemSetStages StoredSettings() {
        CHs6533Profiledata stored;
        stored.SetDefaultProfilePath(page.GetDefaultProfilePath());
        stored.LoadProfile(page.GetProfilePath());
        return stored.GetSystemSetStages();
    }
    void SaveCustom(const wchar_t* name, int firstBand) {
        for (int k = 0; k < 10; ++k) Voice().SetEqBandValue(k, firstBand + k);
        Voice().SetCustomEqName(name);
        ASSERT_EQ(page.SaveCustomEq(), 1);
    }

    SimulatedChip chip;
    ChipServer server{chip, ChipSocketPath()};
    CCorvaneHS6533Device page;
    std::vector<std::wstring> messages;
};

struct EdgeCase {
    const char* name;
    std::function<void(HeadsetAudio&)> run;
};

// The page's documented edge cases, each from a freshly connected page.
const EdgeCase kEdgeCases[] = {
    {"TwentyFirstCustomEqualiserIsRefused",
     [](HeadsetAudio& t) {
         for (int i = 0; i < 20; ++i) t.SaveCustom((L"eq" + std::to_wstring(i)).c_str(), i);
         t.Voice().SetCustomEqName(L"one more");
         EXPECT_EQ(t.page.SaveCustomEq(), -1);
         EXPECT_EQ(t.page.CustomEqNames().size(), 20u);
     }},
    {"NameDifferingOnlyInCaseIsRefused",
     [](HeadsetAudio& t) {
         t.SaveCustom(L"Bass", 0);
         t.Voice().SetCustomEqName(L"bASS");
         EXPECT_EQ(t.page.SaveCustomEq(), 0);
         EXPECT_EQ(t.page.CustomEqNames().size(), 1u);
     }},
    {"EmptyNameWithoutSelectedRowIsRefused", [](HeadsetAudio& t) { EXPECT_EQ(t.page.SaveCustomEq(), -1); }},
    {"BandMovedUnderAPresetSwitchesToCustomAndWritesOnlyThatBand",
     [](HeadsetAudio& t) {
         t.page.SelectEqPreset(3);
         t.SaveCustom(L"Mine", 0);
         t.page.SelectEqPreset(3);
         t.chip.ClearWriteLog();
         t.Voice().SetEqBandValue(4, 9);
         EXPECT_EQ(t.page.SetCustomEqBand(4), 1);
         EXPECT_EQ(t.page.Settings().eqType, 13);
         EXPECT_EQ(t.Voice().GetSelectedEqOption(), 13);
         EXPECT_EQ(t.Voice().GetCustomEqSelection(), -1);
         EXPECT_EQ(t.WrittenNames(), std::vector<std::string>{"EQ_Slider5"});
         EXPECT_EQ(t.Written("EQ_Slider5"), 9);
     }},
    {"DeletingTheOnlyCustomEqualiserReturnsToPresetOne",
     [](HeadsetAudio& t) {
         t.SaveCustom(L"Only", 3);
         t.page.DeleteCustomEq();
         EXPECT_EQ(t.page.Settings().eqType, 1);
         EXPECT_EQ(t.Voice().GetSelectedEqOption(), 1);
         EXPECT_FALSE(t.page.VoicePanel()->FindSubControl(L"custom_eq_option_layout")->IsEnabled());
         EXPECT_TRUE(t.page.Profile().GetCustomEqNames().empty());
         EXPECT_EQ(t.StoredSettings().eqType, 1);
     }},
    {"DeletingEntryZeroOfThreeMovesTheOthersDownWithTheirBands",
     [](HeadsetAudio& t) {
         t.SaveCustom(L"A", 0);
         t.SaveCustom(L"B", 10);
         t.SaveCustom(L"C", -10);
         t.Voice().SelectCustomEqItem(0);
         t.page.DeleteCustomEq();
         ASSERT_EQ(t.page.CustomEqNames().size(), 2u);
         EXPECT_EQ(t.page.CustomEqNames()[0], DuiLib::CDuiString(L"B"));
         EXPECT_EQ(t.page.Profile().GetCustomEq(0)[0], 10);
         EXPECT_EQ(t.page.Profile().GetCustomEq(1)[0], -10);
         EXPECT_EQ(t.Voice().GetCustomEqSelection(), 0);
         EXPECT_EQ(t.page.Settings().customEqSelectIndex, 0);
         EXPECT_EQ(t.Voice().GetEqBandValue(9), 19);
     }},
    {"PresetFiveWritesZeroToEveryBand",
     [](HeadsetAudio& t) {
         t.page.SelectEqPreset(5);
         for (int k = 1; k <= 10; ++k) EXPECT_EQ(t.Written("EQ_Slider" + std::to_string(k)), 0) << k;
         EXPECT_EQ(t.Written("Enable_EQ_GFX"), 1);
         EXPECT_EQ(t.StoredSettings().eqType, 5);
     }},
    {"PresetOutsideTheRangeDoesNothing",
     [](HeadsetAudio& t) {
         t.page.SelectEqPreset(0);
         t.page.SelectEqPreset(14);
         EXPECT_TRUE(t.chip.WriteLog().empty());
     }},
    {"VoiceFourOrMoreFromTheChipLeavesTheVoice",
     [](HeadsetAudio& t) {
         const int before = t.page.Settings().magicType;
         t.chip.Set("MagicVoice_Selection", 4);
         t.page.ReadVolumeState();
         EXPECT_EQ(t.page.Settings().magicType, before);
         t.chip.Set("MagicVoice_Selection", 2);
         t.page.ReadVolumeState();
         EXPECT_EQ(t.page.Settings().magicType, 3);
     }},
    {"MicrophoneVolume37IsWrittenAs037AndReadBackAs37",
     [](HeadsetAudio& t) {
         t.Voice().SetMicInValue(37);
         t.page.SetMicInVolume();
         EXPECT_FLOAT_EQ(float(t.Written("VolumeScalarControl")), 0.37f);
         EXPECT_EQ(t.StoredSettings().micInValue, 37);
         t.page.ReadVolumeState();
         EXPECT_EQ(t.page.Settings().micInValue, 37);
     }},
    {"WithoutTheFeatureBitTheVoiceChangerIsNotTakenOver",
     [](HeadsetAudio& t) {
         t.chip.SetFeatures("1,0,0,0,2,0,3", "1,0,0,0,4,0,5");
         t.page.InitAudio();
         t.chip.Set("Enable_MAGICVOICE", 1);
         t.page.ReadVolumeState();
         EXPECT_EQ(t.page.Settings().magicEnable, 0);
         t.chip.SetFeatures("1,0,0,0,2,0,3", "131073,0,0,0,4,0,5");
         t.page.InitAudio();
         t.page.ReadVolumeState();
         EXPECT_EQ(t.page.Settings().magicEnable, 1);
     }},
    {"VoiceChangerOnAlsoSwitchesTheEchoOff",
     [](HeadsetAudio& t) {
         static_cast<DuiLib::COptionUI*>(t.page.MagicPanel()->FindSubControl(L"magic_enable_option"))
             ->Selected(true, false);
         t.page.ToggleMagicVoice();
         EXPECT_EQ(t.Written("Enable_MAGICVOICE"), 1);
         EXPECT_EQ(t.Written("Enable_MICECHO"), 0);
         EXPECT_EQ(t.StoredSettings().magicEnable, 1);
         t.page.SelectMagicVoice(2);
         EXPECT_EQ(t.Written("MagicVoice_Selection"), 1);
         EXPECT_EQ(t.StoredSettings().magicType, 2);
     }},
};

// Tests name the case in their messages, not its bytes.
void PrintTo(const EdgeCase& c, std::ostream* out) { *out << c.name; }

class HeadsetAudioEdge : public HeadsetAudio, public ::testing::WithParamInterface<EdgeCase> {};

INSTANTIATE_TEST_SUITE_P(Cases, HeadsetAudioEdge, ::testing::ValuesIn(kEdgeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(HeadsetAudioEdge, Holds) {
    Connect();
    GetParam().run(*this);
}

// The default profile names no preset; the bands it plays are preset 1's,
// and preset 1 is shown as chosen.
TEST_F(HeadsetAudio, AProfileWithoutAPresetShowsPresetOneChosen) {
    ASSERT_EQ(StoredSettings().eqType, 0);
    Connect();
    EXPECT_EQ(page.Settings().eqType, 1);
    EXPECT_EQ(Voice().GetSelectedEqOption(), 1);
}

TEST_F(HeadsetAudio, DeletionWritesTheBandsTheSlidersNowShow) {
    Connect();
    SaveCustom(L"A", 1);
    SaveCustom(L"B", 5);
    Voice().SelectCustomEqItem(0);
    chip.ClearWriteLog();
    page.DeleteCustomEq();
    EXPECT_EQ(Written("Enable_EQ_GFX"), 1);
    for (int k = 0; k < 10; ++k) EXPECT_EQ(Written("EQ_Slider" + std::to_string(k + 1)), 5 + k) << k;
}

TEST_F(HeadsetAudio, Volume29SurvivesTheRoundTrip) {
    chip.Set("VolumeScalarControl", 0.29);
    chip.Set("AAVolumeScalarControl", 0.29);
    Connect();
    EXPECT_EQ(page.Settings().micInValue, 29);
    EXPECT_EQ(page.Settings().micMonitorValue, 29);
    Voice().SetMicInValue(29);
    page.SetMicInVolume();
    page.ReadVolumeState();
    EXPECT_EQ(page.Settings().micInValue, 29);
}

struct FailureCase {
    const char* name;
    const char* property;
    std::function<void(HeadsetAudio&)> act;
};

const FailureCase kFailures[] = {
    {"Preset", "EQ_Slider3", [](HeadsetAudio& t) { t.page.SelectEqPreset(2); }},
    {"CustomEqualiser", "Enable_EQ_GFX",
     [](HeadsetAudio& t) {
         t.Voice().SelectCustomEqItem(0);
         t.page.SelectEqPreset(13);
     }},
    {"MicrophoneVolume", "VolumeScalarControl",
     [](HeadsetAudio& t) {
         t.Voice().SetMicInValue(80);
         t.page.SetMicInVolume();
     }},
    {"MonitorVolume", "AAVolumeScalarControl",
     [](HeadsetAudio& t) {
         t.Voice().SetMicMonitorValue(80);
         t.page.SetMicMonitorVolume();
     }},
    {"MicrophoneMute", "MuteControl", [](HeadsetAudio& t) { t.page.ToggleMicInMute(); }},
    {"MonitorMute", "AAMuteControl", [](HeadsetAudio& t) { t.page.ToggleMicMonitorMute(); }},
    {"VoiceChanger", "Enable_MICECHO",
     [](HeadsetAudio& t) {
         static_cast<DuiLib::COptionUI*>(t.page.MagicPanel()->FindSubControl(L"magic_enable_option"))
             ->Selected(true, false);
         t.page.ToggleMagicVoice();
     }},
    {"Voice", "MagicVoice_Selection", [](HeadsetAudio& t) { t.page.SelectMagicVoice(3); }},
};

// Tests name the case in their messages, not its bytes.
void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

class HeadsetAudioFailure : public HeadsetAudio, public ::testing::WithParamInterface<FailureCase> {};

INSTANTIATE_TEST_SUITE_P(Writes, HeadsetAudioFailure, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(HeadsetAudioFailure, RefusedWriteCommitsNothing) {
    Connect();
    SaveCustom(L"Stored", 2);
    page.SelectEqPreset(4);
    const HeadsetSystemSetStages before = page.Settings();
    const HeadsetSystemSetStages stored = StoredSettings();
    chip.FailWrite(GetParam().property);
    GetParam().act(*this);
    EXPECT_EQ(page.Settings(), before);
    EXPECT_EQ(StoredSettings(), stored);
    // The panels show the settings again.
    EXPECT_EQ(Voice().GetSelectedEqOption(), before.eqType);
    EXPECT_EQ(Voice().GetMicInValue(), before.micInValue);
    EXPECT_EQ(Magic().IsMagicEnabled(), before.magicEnable);
    EXPECT_EQ(Magic().GetSelectedMagicOption(), before.magicType);
}

// The virtual 7.1 switch shows the chip's surround at start-up and writes
// each change with the surround's channel record (its first int, 4, is what
// reaches the chip); a refused write puts the switch back.
TEST_F(HeadsetAudio, VirtualSurroundSwitchFollowsTheChip) {
    struct Case {
        const char* name;
        double chipAtStart;
        bool readFails;
        int shownAtStart;
    };
    const Case cases[] = {
        {"surround on in the chip", 1, false, 1},
        {"surround off in the chip", 0, false, 0},
        {"unreadable surround is written off", 1, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        chip.ClearFailures();
        chip.ClearWriteLog();
        chip.Set("VirtualSurroundEffectControl", c.chipAtStart);
        chip.FailRead("VirtualSurroundEffectControl", c.readFails);
        page.InitPage();
        page.RefreshPage(1);
        ASSERT_NE(page.SurroundOption(), nullptr);
        EXPECT_EQ(page.SurroundOn(), c.shownAtStart);
        EXPECT_EQ(page.SurroundOption()->IsSelected(), c.shownAtStart != 0);
        if (c.readFails) {
            EXPECT_EQ(Written("VirtualSurroundEffectControl"), 0);
        }
        chip.ClearFailures();

        // The user switches it over: the chip takes the new state.
        const bool on = c.shownAtStart == 0;
        page.SurroundOption()->Selected(on, false);
        page.ToggleVirtualSurround();
        EXPECT_EQ(chip.Get("VirtualSurroundEffectControl"), on ? 1 : 0);
        EXPECT_EQ(chip.WriteLog().back().channel, 4);
        EXPECT_EQ(page.SurroundOn(), on ? 1 : 0);
        EXPECT_EQ(page.SurroundOption()->IsSelected(), on);

        // A refused switch back leaves the chip's state on the switch.
        chip.FailWrite("VirtualSurroundEffectControl");
        page.SurroundOption()->Selected(!on, false);
        page.ToggleVirtualSurround();
        EXPECT_EQ(chip.Get("VirtualSurroundEffectControl"), on ? 1 : 0);
        EXPECT_EQ(page.SurroundOn(), on ? 1 : 0);
        EXPECT_EQ(page.SurroundOption()->IsSelected(), on);
    }
}

TEST_F(HeadsetAudio, StartUpWritesZeroWhereAReadFails) {
    chip.FailRead("RFX_ROOMSIZE");
    chip.FailRead("AAMuteControl");
    page.InitPage();
    double room = NAN, aaMute = NAN;
    for (const auto& w : chip.WriteLog()) {
        if (w.name == "RFX_ROOMSIZE") room = w.value;
        if (w.name == "AAMuteControl") aaMute = w.value;
    }
    EXPECT_EQ(room, 0);
    EXPECT_EQ(aaMute, 0);
    // Properties that read well are not written.
    for (const auto& w : chip.WriteLog()) EXPECT_NE(w.name, "RFX_ENVIRONMENT");
    EXPECT_TRUE(messages.empty());
}

TEST_F(HeadsetAudio, FailedInitialisationAndShortFeatureListEachShowTheirMessage) {
    chip.FailInit(5);
    chip.SetShortFeatures(true);
    page.InitPage();
    EXPECT_EQ(messages, (std::vector<std::wstring>{L"ConfLibInit called failed!", L"UpdateAPOAvailable failed!",
                                                   L"UpdateAPOAvailable failed!"}));
    // The initialisation went on: the chip's controls were read.
    chip.Set("VolumeScalarControl", 0.5);
    page.ReadVolumeState();
    EXPECT_EQ(page.Settings().micInValue, 50);
}

TEST_F(HeadsetAudio, NoRenderDeviceStopsAfterTheDeviceList) {
    chip.SetNoRenderDevice(true);
    page.InitPage();
    EXPECT_TRUE(chip.WriteLog().empty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(HeadsetAudio, WithoutTheLibraryTheControlsKeepTheProfile) {
    page.SetAudioLibraryPath(L"/nonexistent/SDK/osConfLib.so");
    page.InitPage();
    EXPECT_FALSE(page.IsAudioLoaded());
    page.LoadProfile(1);
    page.RefreshPage(1);
    const HeadsetSystemSetStages before = page.Settings();
    Voice().SetMicInValue(90);
    page.SetMicInVolume();
    page.ToggleMicInMute();
    page.SelectEqPreset(2);
    EXPECT_EQ(page.Settings(), before);
    EXPECT_EQ(Voice().GetMicInValue(), before.micInValue);
    EXPECT_TRUE(chip.WriteLog().empty());
}

}  // namespace
