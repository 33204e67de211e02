// The main window's music lighting: "AudioFile.json" at start-up and after
// the music-style window, that window's OK, cancel and single instance, and
// the spectrum frames reduced to band levels for the selected keyboard.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "keyboard/music_wnd.h"
#include "link/data_folders.h"
#include "platform/os/folders.h"
#include "tests/shell/main_wnd_fixture.h"

namespace {

using namespace mainwndtest;
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

// --- Spectrum routing ---------------------------------------------------------------------

class SpectrumRouting : public MainWndMusic {
protected:
    void SetUp() override {
        MainWndMusic::SetUp();
        main_.Keyboards().push_back(&keyboard_);
        AddKeyboardSlot(HidDeviceSlot::kTypeKeyboardCable);
    }
    void TearDown() override {
        main_.Keyboards().clear();
        main_.Mice().clear();
        MainWndMusic::TearDown();
    }
    void AddKeyboardSlot(uint16_t type, uint16_t connected = 1) {
        HidDeviceSlot slot;
        slot.deviceType = type;
        slot.connected = connected;
        main_.Slots().push_back(slot);
    }
    // Bins 0..3 at `value`.
    static SpectrumValues LowBins(int32_t value) {
        SpectrumValues frame{};
        for (int i = 0; i < 4; ++i) frame[size_t(i)] = value;
        return frame;
    }

    LevelsPage keyboard_;
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
    EXPECT_EQ(keyboard_.sets[0][1], 0);
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

TEST_F(SpectrumRouting, AKeyboardBoundTwiceIsSteppedTwice) {
    AddKeyboardSlot(HidDeviceSlot::kTypeKeyboardReceiver);
    main_.Frame(LowBins(8));
    EXPECT_EQ(main_.BandLevels()[0], 10) << "8 after the first step, 10 after the second";
}

TEST_F(SpectrumRouting, OnlyConnectedKeyboardSlotsStepAndOnlyTheSelectedKeyboardHears) {
    main_.Slots().clear();
    AddKeyboardSlot(HidDeviceSlot::kTypeKeyboardCable, 0);
    AddKeyboardSlot(HidDeviceSlot::kTypeMouseCable);
    main_.Frame(LowBins(8));
    EXPECT_EQ(main_.BandLevels()[0], 0);

    main_.Slots().clear();
    AddKeyboardSlot(HidDeviceSlot::kTypeKeyboardCable);
    main_.m_nSelectedEntry = 3;  // no such keyboard
    for (int i = 0; i < 3; ++i) main_.Frame(LowBins(8 * (i + 2)));
    EXPECT_TRUE(keyboard_.sets.empty());
    // The keyboards follow the mice in the device list.
    LevelsPage mouse;
    main_.Mice().push_back(&mouse);
    main_.m_nSelectedEntry = 1;
    for (int i = 0; i < 3; ++i) main_.Frame(LowBins(8 * (i + 5)));
    EXPECT_EQ(keyboard_.sets.size(), 1u) << "the counter restarted after the unsent third frame";
    EXPECT_TRUE(mouse.sets.empty());
}

}  // namespace
