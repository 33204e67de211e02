// The music-style window on a headless display: it opens on the record's
// style, edits the selected style's colour and the names, closes with 1 on
// OK and 0 on the close button or a window-manager close (which leaves the
// program running), and a skin without its options or sliders throws nothing.
#include <filesystem>
#include <functional>
#include <memory>

#include "keyboard/music_wnd.h"
#include "platform/os/messages.h"
#include "platform/files/utf8.h"
#include "tests/shell/device_ui_fixture.h"

namespace {

using namespace devtest;
namespace fs = std::filesystem;

constexpr UINT kRunStep = 0x8000 + 23;  // WM_APP + n: run the window's step

class TestMusicWnd : public MusicWnd {
public:
    explicit TestMusicWnd(std::wstring skin = L"") : skin_(std::move(skin)) {}
    CPaintManagerUI& pm() { return m_pm; }
    template <class T>
    T* Find(const wchar_t* name) {
        return static_cast<T*>(m_pm.FindControl(name));
    }
    void Send(const wchar_t* control, const wchar_t* type) {
        CControlUI* c = m_pm.FindControl(control);
        ASSERT_NE(c, nullptr) << win::ToUtf8(control);
        m_pm.SendNotify(c, type);
    }
    std::function<void(TestMusicWnd&)> step;

protected:
    CDuiString GetSkinFile() override { return skin_.empty() ? MusicWnd::GetSkinFile() : CDuiString(skin_.c_str()); }
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override {
        if (uMsg != kRunStep) return MusicWnd::HandleCustomMessage(uMsg, wParam, lParam, bHandled);
        m_pm.Paint();  // "windowinit" comes with the first paint
        if (step) step(*this);
        bHandled = TRUE;
        return 0;
    }

private:
    std::wstring skin_;
};

AudioLightInfo Record(uint8_t index) {
    AudioLightInfo info;
    info.styleIndex = index;
    info.styleName = {L"one", L"two", L"three", L"four"};
    info.styleColor = {AudioStyleColor{1, 2, 3}, AudioStyleColor{4, 5, 6}, AudioStyleColor{7, 8, 9},
                       AudioStyleColor{9, 0, 7}};
    return info;
}

class MusicWindow : public DeviceUiTest {
protected:
    void SetUp() override {
        DeviceUiTest::SetUp();
        fs::copy_file(fs::path(TAVRIK_SOURCE_DIR) / "skin" / "XML" / "music.xml", dir_.Path() / "music.xml",
                      fs::copy_options::overwrite_existing);
    }
    void TearDown() override {
        if (window_ && window_->GetHWND()) win::DestroyWindow(window_->GetHWND());
        window_.reset();
        DeviceUiTest::TearDown();
    }
    // Opens the window (not modal) on the record and lets it initialise.
    TestMusicWnd& Open(const AudioLightInfo& info, std::wstring skin = L"") {
        window_ = std::make_unique<TestMusicWnd>(std::move(skin));
        window_->SetStyleInfo(info);
        window_->Create(nullptr, L"  ", UI_WS_POPUP | UI_WS_VISIBLE, 0, 0, 0, MusicWnd::kWidth, MusicWnd::kHeight);
        Pump();
        window_->pm().Paint();
        return *window_;
    }
    // Runs the window modally; `step` runs inside its loop. The result.
    UINT RunModal(const AudioLightInfo& info, std::function<void(TestMusicWnd&)> step) {
        window_ = std::make_unique<TestMusicWnd>();
        window_->SetStyleInfo(info);
        window_->Create(nullptr, L"  ", UI_WS_POPUP | UI_WS_VISIBLE, 0, 0, 0, MusicWnd::kWidth, MusicWnd::kHeight);
        window_->step = std::move(step);
        win::PostMessageW(window_->GetHWND(), kRunStep, 0, 0);
        return window_->ShowModal();
    }
    int Slider(const wchar_t* name) { return window_->Find<CSliderUI>(name)->GetValue(); }
    bool QuitPending() {
        win::MSG msg;
        return win::PeekMessageW(&msg, nullptr, win::WM_QUIT, win::WM_QUIT, win::PM_REMOVE) != 0;
    }

    std::unique_ptr<TestMusicWnd> window_;
};

TEST_F(MusicWindow, OpensOnTheRecordsStyleWithItsColourAndNames) {
    TestMusicWnd& w = Open(Record(3));
    EXPECT_TRUE(w.Find<COptionUI>(L"audio_select_tab4")->IsSelected());
    EXPECT_EQ(w.GetSelectedStyle(), 3);
    EXPECT_EQ(Slider(L"audio_r_slider"), 9);
    EXPECT_EQ(Slider(L"audio_g_slider"), 0);
    EXPECT_EQ(Slider(L"audio_b_slider"), 7) << "the fourth style's own blue";
    EXPECT_EQ(w.Find<CSliderUI>(L"audio_b_slider")->GetMaxValue(), 9);
    EXPECT_EQ(w.Find<CControlUI>(L"audio_edit_name3")->GetText().str(), L"three");
}

TEST_F(MusicWindow, ChoosingAStyleShowsItsColour) {
    TestMusicWnd& w = Open(Record(0));
    w.Find<COptionUI>(L"audio_select_tab3")->Selected(true);
    EXPECT_EQ(w.GetStyleInfo().styleIndex, 2);
    EXPECT_EQ(Slider(L"audio_r_slider"), 7);
    EXPECT_EQ(Slider(L"audio_b_slider"), 9);
}

TEST_F(MusicWindow, AnIndexOutsideTheStylesSelectsNothingAndASliderEditsStyle0) {
    TestMusicWnd& w = Open(Record(4));
    for (const wchar_t* tab : {L"audio_select_tab1", L"audio_select_tab2", L"audio_select_tab3", L"audio_select_tab4"})
        EXPECT_FALSE(w.Find<COptionUI>(tab)->IsSelected()) << win::ToUtf8(tab);
    EXPECT_EQ(w.GetSelectedStyle(), 0);
    w.Find<CSliderUI>(L"audio_g_slider")->SetValue(8);
    w.Send(L"audio_g_slider", L"valuechanged");
    const AudioLightInfo edited = w.GetStyleInfo();
    EXPECT_EQ(edited.styleColor[0], (AudioStyleColor{1, 8, 3}));
    EXPECT_EQ(edited.styleColor[1], Record(4).styleColor[1]);
    EXPECT_EQ(edited.styleIndex, 4) << "nothing chosen, nothing changed";
}

TEST_F(MusicWindow, AnEmptiedNameTakesTheStylesDefault) {
    TestMusicWnd& w = Open(Record(1));
    auto* edit = w.Find<CControlUI>(L"audio_edit_name2");
    edit->SetText(L"");
    w.Send(L"audio_edit_name2", L"killfocus");
    EXPECT_EQ(edit->GetText().str(), L"第二组");
    EXPECT_EQ(w.GetStyleInfo().styleName[1], L"第二组");
    edit->SetText(L"Bass");
    w.Send(L"audio_edit_name2", L"killfocus");
    EXPECT_EQ(w.GetStyleInfo().styleName[1], L"Bass");
}

TEST_F(MusicWindow, OkEndsWithOneAndTheEditedRecord) {
    const UINT result = RunModal(Record(0), [](TestMusicWnd& w) {
        w.Find<COptionUI>(L"audio_select_tab2")->Selected(true);
        w.Find<CSliderUI>(L"audio_r_slider")->SetValue(2);
        w.Send(L"audio_r_slider", L"valuechanged");
        w.Send(L"okbtn", L"click");
    });
    EXPECT_EQ(result, 1u);
    const AudioLightInfo edited = window_->GetStyleInfo();
    EXPECT_EQ(edited.styleIndex, 1);
    EXPECT_EQ(edited.styleColor[1], (AudioStyleColor{2, 5, 6}));
}

TEST_F(MusicWindow, CloseButtonEndsWithZero) {
    EXPECT_EQ(RunModal(Record(0), [](TestMusicWnd& w) { w.Send(L"closebtn", L"click"); }), 0u);
    EXPECT_FALSE(QuitPending());
}

TEST_F(MusicWindow, WindowManagerCloseEndsOnlyTheWindow) {
    const UINT result = RunModal(
        Record(2), [](TestMusicWnd& w) { win::SendMessageW(w.GetHWND(), win::WM_SYSCOMMAND, win::SC_CLOSE, 0); });
    EXPECT_EQ(result, 0u);
    EXPECT_FALSE(QuitPending()) << "the program goes on";
    EXPECT_FALSE(win::IsWindow(window_->GetHWND()));
}

TEST_F(MusicWindow, ASkinWithoutOptionsOrSlidersThrowsNothing) {
    TestMusicWnd* w = nullptr;
    ASSERT_NO_THROW(w = &Open(Record(1),
                              LR"(<Window size="369,276"><VerticalLayout>
        <Option name="audio_select_tab1" group="s"/><Option name="audio_select_tab2" group="s"/>
        <Slider name="audio_g_slider"/><Edit name="audio_edit_name1"/>
        <Button name="okbtn"/></VerticalLayout></Window>)"));
    EXPECT_EQ(w->GetSelectedStyle(), 0) << "options 3 and 4 are missing";
    EXPECT_NO_THROW(w->SetColorSliders(1, 2, 3));
    EXPECT_EQ(w->Find<CSliderUI>(L"audio_g_slider")->GetValue(), 2) << "the slider that is there is set";
    w->Find<CSliderUI>(L"audio_g_slider")->SetValue(6);
    EXPECT_NO_THROW(w->Send(L"audio_g_slider", L"valuechanged"));
    EXPECT_EQ(w->GetStyleInfo().styleColor[0].g, 6);
}

TEST_F(MusicWindow, DpiRequestsOutsideTheListBecome96) {
    TestMusicWnd& w = Open(Record(0));
    w.SetDPI(144);
    EXPECT_EQ(w.GetDPI(), 144);
    w.SetDPI(100);
    EXPECT_EQ(w.GetDPI(), 96);
}

}  // namespace
