// The main window's music lighting: "AudioFile.json" at start-up and after
// the music-style window, that window's OK, cancel and single instance, and
// the spectrum frames reduced to band levels for the selected keyboard.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "keyboard/music_wnd.h"
#include "link/data_folders.h"
#include "shell/main/audio_file.h"
#include "platform/files/folders.h"
#include "tests/link/sim_channel.h"
#include "tests/support/temp_home.h"
#include "tests/shell/main_wnd_fixture.h"
#include "tools/devsim/sim_fixture.h"

namespace {

using namespace mainwndtest;
using tavrik::devsim::ProductKind;
namespace fs = std::filesystem;

constexpr UINT kRunStep = 0x8000 + 150;

class MusicMainWnd : public CMainWnd {
public:
    using CMainWnd::m_nSelectedEntry;
    void Frame(const SpectrumValues& frame) {
        m_spectrumFrame = frame;
        OnSpectrumFrame();
    }
    HWND MusicWindowHandle() const { return m_hMusicWnd; }
    const KeyboardBandLevels& BandLevels() const { return m_keyboardBandLevels; }
};

// A keyboard page that keeps the levels it is given.
class LevelsPage : public CCorvaneUSBDevice {
public:
    void SetAudioSpectrum(const int32_t* levels, int count) override { sets.emplace_back(levels, levels + count); }
    std::vector<std::vector<int32_t>> sets;
};

// Runs a step on the UI thread while a modal window runs.
class StepWindow : public CWindowWnd {
public:
    std::function<void()> step;

protected:
    LPCTSTR GetWindowClassName() const override { return L"MusicStepWindow"; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
        if (uMsg == kRunStep && step) {
            step();
            return 0;
        }
        return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }
};

fs::path UserAudioFile() { return win::ToFsPath((GetUserDataPath() + L"AudioFile.json").GetData()); }

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

Json::Value ReadJson(const fs::path& path) {
    Json::Value v;
    std::istringstream in(ReadText(path));
    in >> v;
    return v;
}

class MainWndMusic : public MainWndTest {
protected:
    // A main window opened by an earlier test of the process has written
    // the user's file already: each test starts without one.
    void SetUp() override {
        MainWndTest::SetUp();
        std::error_code ignored;
        fs::remove(UserAudioFile(), ignored);
    }
    void TearDown() override {
        if (step_.GetHWND()) win::DestroyWindow(step_.GetHWND());
        MainWndTest::TearDown();
    }
    // Runs `step` inside the music window's modal loop (after its first paint).
    void ShowMusicWindow(const std::function<void(WindowImplBase&)>& step) {
        if (!step_.GetHWND()) step_.Create(nullptr, L"step", UI_WS_POPUP, 0, 0, 0, 10, 10);
        step_.step = [this, step] {
            auto* music = static_cast<WindowImplBase*>(CWindowWnd::FromHandle(main_.MusicWindowHandle()));
            ASSERT_NE(music, nullptr);
            music->GetPaintManager()->Paint();
            step(*music);
        };
        win::PostMessageW(step_.GetHWND(), kRunStep, 0, 0);
        main_.ShowMusicWindow();
    }
    static void Notify(WindowImplBase& w, const wchar_t* name, const wchar_t* type) {
        CControlUI* c = w.GetPaintManager()->FindControl(name);
        ASSERT_NE(c, nullptr);
        w.GetPaintManager()->SendNotify(c, type);
    }

    MusicMainWnd main_;
    StepWindow step_;
};

TEST_F(MainWndMusic, FirstStartCopiesTheDefaultsAndReadsTheirStyles) {
    ASSERT_FALSE(fs::exists(UserAudioFile()));
    main_.LoadAudioFile();
    ASSERT_TRUE(fs::exists(UserAudioFile()));
    const fs::path defaults = fs::path(BuiltProgramFolder()) / "DefaultData" / "AudioFile.json";
    EXPECT_EQ(ReadJson(UserAudioFile()), ReadJson(defaults));
    const AudioLightInfo info = main_.LoadAudioLightInfo();
    EXPECT_EQ(info.styleName[0], L"Red");
    EXPECT_EQ(info.styleColor[3], (AudioStyleColor{9, 9, 9}));
}

TEST_F(MainWndMusic, NumbersKeepTheirLowByteAndOtherTypesReadAsZero) {
    std::ofstream(UserAudioFile()) << R"({"Device": {"AudioLightInfo": {"nAudioStyle": 2, "nStyleR0": 300,
        "nStyleG0": "7", "nStyleName2": "Bass", "nStyleName3": 5}}})";
    main_.LoadAudioFile();
    const AudioLightInfo info = main_.LoadAudioLightInfo();
    EXPECT_EQ(info.styleIndex, 2);
    EXPECT_EQ(info.styleColor[0], (AudioStyleColor{44, 0, 0}));
    EXPECT_EQ(info.styleName[1], L"Bass");
    EXPECT_EQ(info.styleName[2], L"");
}

TEST_F(MainWndMusic, OkSavesTheEditedStylesAndKeepsTheRestOfTheFile) {
    std::ofstream(UserAudioFile()) << R"({"Top": 1, "Device": {"Other": {"x": 5},
        "AudioLightInfo": {"nAudioStyle": 0, "nStyleR1": 4}}})";
    main_.LoadAudioFile();
    ShowMusicWindow([](WindowImplBase& w) {
        static_cast<COptionUI*>(w.GetPaintManager()->FindControl(L"audio_select_tab2"))->Selected(true);
        static_cast<CSliderUI*>(w.GetPaintManager()->FindControl(L"audio_b_slider"))->SetValue(6);
        Notify(w, L"audio_b_slider", L"valuechanged");
        Notify(w, L"okbtn", L"click");
    });
    EXPECT_EQ(main_.MusicWindowHandle(), nullptr);
    const Json::Value file = ReadJson(UserAudioFile());
    EXPECT_EQ(file["Top"], 1);
    EXPECT_EQ(file["Device"]["Other"]["x"], 5);
    EXPECT_EQ(file["Device"]["AudioLightInfo"]["nAudioStyle"], 1);
    EXPECT_EQ(file["Device"]["AudioLightInfo"]["nStyleR1"], 4);
    EXPECT_EQ(file["Device"]["AudioLightInfo"]["nStyleB1"], 6);
    EXPECT_EQ(main_.LoadAudioLightInfo().styleColor[1], (AudioStyleColor{4, 0, 6}));
}

TEST_F(MainWndMusic, CancelLeavesTheFileAndASecondOpenDoesNothing) {
    main_.LoadAudioFile();
    const std::string before = ReadText(UserAudioFile());
    bool secondReturned = false;
    ShowMusicWindow([&](WindowImplBase& w) {
        static_cast<CSliderUI*>(w.GetPaintManager()->FindControl(L"audio_r_slider"))->SetValue(1);
        Notify(w, L"audio_r_slider", L"valuechanged");
        const HWND open = main_.MusicWindowHandle();
        main_.ShowMusicWindow();  // returns at once: one music window at a time
        secondReturned = main_.MusicWindowHandle() == open;
        Notify(w, L"closebtn", L"click");
    });
    EXPECT_TRUE(secondReturned);
    EXPECT_EQ(ReadText(UserAudioFile()), before);
}

// --- The file itself -----------------------------------------------------------------------

class AudioFileTest : public ::testing::Test {
protected:
    static CDuiString Path(const fs::path& p) { return CDuiString(win::FromUtf8(p.string()).c_str()); }
    tavrik::test::TempDir dir_{"tavrik-audio-file"};
    fs::path user_ = dir_.Path() / "AudioFile.json";
    fs::path defaults_ = dir_.Path() / "defaults.json";
};

// Without a readable default document nothing is written over the user's
// file, at start-up or on a reset.
TEST_F(AudioFileTest, WithoutReadableDefaultsNothingIsWritten) {
    for (const char* defaults : {"", "[1, 2]", "{\"Device\": "}) {
        SCOPED_TRACE(defaults);
        fs::remove(user_);
        if (*defaults)
            std::ofstream(defaults_) << defaults;
        else
            fs::remove(defaults_);
        EXPECT_TRUE(LoadAudioFileDevice(Path(user_), Path(defaults_)).isNull());
        EXPECT_FALSE(fs::exists(user_));

        std::ofstream(user_) << R"({"Device": {"AudioLightInfo": {"nStyleR0": 5}}})";
        const std::string before = ReadText(user_);
        EXPECT_EQ(LoadAudioFileDevice(Path(user_), Path(defaults_))["AudioLightInfo"]["nStyleR0"], 5);
        EXPECT_FALSE(RestoreAudioFileDefaults(Path(user_), Path(defaults_)).has_value());
        EXPECT_EQ(ReadText(user_), before);
    }
}

// A user file without a "Device" object is kept as "<name>.bad" before the
// defaults take its place, whether it parses or not: nothing of it is lost.
TEST_F(AudioFileTest, AnUnreadableUserFileIsSetAsideBeforeTheDefaultsReplaceIt) {
    std::ofstream(defaults_) << R"({"Device": {"AudioLightInfo": {"nStyleR0": 7}}})";
    std::ofstream(user_) << "{\"Device\": {";
    EXPECT_EQ(LoadAudioFileDevice(Path(user_), Path(defaults_))["AudioLightInfo"]["nStyleR0"], 7);
    EXPECT_EQ(ReadText(fs::path(user_.string() + ".bad")), "{\"Device\": {");
    EXPECT_EQ(ReadJson(user_), ReadJson(defaults_));

    fs::remove(fs::path(user_.string() + ".bad"));
    std::ofstream(user_) << R"({"Other": 1})";
    EXPECT_EQ(LoadAudioFileDevice(Path(user_), Path(defaults_))["AudioLightInfo"]["nStyleR0"], 7);
    EXPECT_EQ(ReadText(fs::path(user_.string() + ".bad")), R"({"Other": 1})");
    EXPECT_EQ(ReadJson(user_), ReadJson(defaults_));
}

// --- Spectrum routing ---------------------------------------------------------------------

class SpectrumRouting : public MainWndMusic {
protected:
    void SetUp() override {
        MainWndMusic::SetUp();
        Open(keyboard_, ProductKind::KeyboardCable);
        main_.Keyboards().push_back(&keyboard_);
        AddSlot(HidDeviceSlot::kTypeKeyboardCable);
    }
    void TearDown() override {
        main_.Keyboards().clear();
        main_.Mice().clear();
        for (LevelsPage* page : {&keyboard_, &mouse_}) tavrik::test::CloseCommandChannel(page->CommandChannel());
        MainWndMusic::TearDown();
    }
    // The page's command channel, open on an emulated device of that kind.
    void Open(LevelsPage& page, ProductKind kind) {
        ASSERT_TRUE(tavrik::test::OpenCommandChannel(page.CommandChannel(), sim_.Plug(kind)));
    }
    void AddSlot(uint16_t type, uint16_t connected = 1) {
        HidDeviceSlot slot;
        slot.deviceType = type;
        slot.connected = connected;
        main_.Slots().push_back(slot);
    }
    // Bins 0..3 at `value`, bins 5..8 at twice that.
    static SpectrumValues LowBins(int32_t value) {
        SpectrumValues frame{};
        for (int i = 0; i < 4; ++i) {
            frame[size_t(i)] = value;
            frame[size_t(5 + i)] = 2 * value;
        }
        return frame;
    }

    tavrik::devsim::SimFixture sim_;
    LevelsPage keyboard_;
    LevelsPage mouse_;
};

TEST_F(SpectrumRouting, EveryThirdFrameHandsTheSmoothedBandsToTheKeyboard) {
    main_.Frame(LowBins(8));
    EXPECT_EQ(main_.BandLevels()[0], 8) << "(0 + 4 x 8) / 4";
    main_.Frame(LowBins(16));
    EXPECT_EQ(main_.BandLevels()[0], 10) << "(8 + 32) / 4";
    EXPECT_TRUE(keyboard_.sets.empty()) << "frames 1 and 2 send nothing";
    main_.Frame(LowBins(24));
    ASSERT_EQ(keyboard_.sets.size(), 1u);
    ASSERT_EQ(keyboard_.sets[0].size(), 500u);
    EXPECT_EQ(keyboard_.sets[0][0], 10);
    EXPECT_EQ(keyboard_.sets[0][1], 21) << "band 1 steps 8 per bin: (0 + 64) / 4, (16 + 64) / 4, (20 + 64) / 4";
    EXPECT_EQ(keyboard_.sets[0][25], 0);
    for (int i = 0; i < 3; ++i) main_.Frame(LowBins(24));
    EXPECT_EQ(keyboard_.sets.size(), 2u) << "frame 6 sends the next";
}

TEST_F(SpectrumRouting, BandsSumFourOfEveryFiveBins) {
    SpectrumValues frame{};
    frame[5] = 40;   // band 1
    frame[9] = 400;  // the unused fifth bin of band 1
    frame[123] = 4;  // the last bin of band 24
    frame[124] = 400;
    main_.Frame(frame);
    EXPECT_EQ(main_.BandLevels()[1], 10);
    EXPECT_EQ(main_.BandLevels()[24], 1);
    EXPECT_EQ(main_.BandLevels()[0], 0);
}

// A keyboard bound by cable and by its receiver is one keyboard: its levels
// settle as those of a keyboard bound once.
TEST_F(SpectrumRouting, AKeyboardBoundTwiceIsSteppedOnce) {
    AddSlot(HidDeviceSlot::kTypeKeyboardReceiver);
    main_.Frame(LowBins(8));
    EXPECT_EQ(main_.BandLevels()[0], 8);
    main_.Frame(LowBins(16));
    EXPECT_EQ(main_.BandLevels()[0], 10);
    main_.Frame(LowBins(24));
    EXPECT_EQ(keyboard_.sets.size(), 1u);
}

// Whichever entry is shown, every connected keyboard and mouse hears the
// music; the mouse takes levels 1 to 9. A page without an open channel and
// a kind without a connected slot hear nothing.
TEST_F(SpectrumRouting, EveryConnectedKeyboardAndMouseHearsWhicheverEntryIsShown) {
    LevelsPage closedKeyboard;
    main_.Keyboards().push_back(&closedKeyboard);
    Open(mouse_, ProductKind::MouseCable);
    main_.Mice().push_back(&mouse_);
    main_.m_nSelectedEntry = 0;  // the mouse (mice come first)
    for (int i = 0; i < 3; ++i) main_.Frame(LowBins(8 * (i + 1)));
    ASSERT_EQ(keyboard_.sets.size(), 1u);
    EXPECT_EQ(keyboard_.sets[0][0], main_.BandLevels()[0]);
    EXPECT_TRUE(closedKeyboard.sets.empty());
    EXPECT_TRUE(mouse_.sets.empty()) << "no mouse slot is connected";

    AddSlot(HidDeviceSlot::kTypeMouseCable);
    main_.Frame(LowBins(32));
    // The mouse counter kept counting: its first frame sends at once.
    ASSERT_EQ(mouse_.sets.size(), 1u);
    ASSERT_EQ(mouse_.sets[0].size(), 500u);
    EXPECT_EQ(mouse_.sets[0][0], 16) << "mouse level 1 first: bins 5..8 changed by 16, (0 + 64) / 4";
    EXPECT_EQ(mouse_.sets[0][1], 0);
    EXPECT_EQ(mouse_.sets[0][9], 0);

    main_.Slots().clear();
    AddSlot(HidDeviceSlot::kTypeKeyboardCable, 0);
    const KeyboardBandLevels before = main_.BandLevels();
    for (int i = 0; i < 3; ++i) main_.Frame(LowBins(8 * (i + 5)));
    EXPECT_EQ(main_.BandLevels(), before) << "a slot that is not connected does not step";
    EXPECT_EQ(keyboard_.sets.size(), 1u);
}

}  // namespace
