// Languages (the list, the registry choice, the switch) and the fit to the
// screen.

#include <fstream>
#include <ostream>

#include "platform/files/folders.h"
#include "platform/os/registry.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/win_window_api.h"
#include "shell/main/language_list.h"
#include "shell/controls/process_state.h"
#include "tests/support/temp_home.h"
#include "tests/shell/main_wnd_fixture.h"

namespace mainwndtest {
namespace {

constexpr const char* kTwoLanguages = R"({"Language": [
  {"Language_name": "en", "Language_file": "lan_en.xml", "Language_ID": 1033, "Language_text": "English"},
  {"Language_name": "cn", "Language_file": "lan_cn.xml", "Language_ID": 2052, "Language_text": "Chinese"}]})";

// The registry key of the product; created unless `create` is false.
void StoreLanguageId(const win::DWORD* id, bool create = true) {
    if (!create) return;
    win::HKEY key = nullptr;
    ASSERT_EQ(win::RegCreateKeyExW(win::HKEY_CURRENT_USER, LanguageRegistryKey().c_str(), 0, nullptr, 0,
                                   win::KEY_ALL_ACCESS, nullptr, &key, nullptr),
              win::ERROR_SUCCESS);
    if (id != nullptr) {
        win::RegSetValueExW(key, L"LANGUAGE", 0, win::REG_DWORD, reinterpret_cast<const win::BYTE*>(id), sizeof(*id));
    }
    win::RegCloseKey(key);
}

// Removes every stored key and value of this test process.
void ClearRegistry() { std::filesystem::remove_all(std::filesystem::path(std::getenv("XDG_CONFIG_HOME")) / "tavrik"); }

// The stored id; -1 when there is none.
long StoredLanguageId() {
    win::HKEY key = nullptr;
    if (win::RegOpenKeyExW(win::HKEY_CURRENT_USER, LanguageRegistryKey().c_str(), 0, win::KEY_READ, &key) !=
        win::ERROR_SUCCESS) {
        return -1;
    }
    win::DWORD value = 0;
    win::DWORD size = sizeof(value);
    win::DWORD type = 0;
    const bool found = win::RegQueryValueExW(key, L"LANGUAGE", nullptr, &type, reinterpret_cast<win::BYTE*>(&value),
                                             &size) == win::ERROR_SUCCESS;
    win::RegCloseKey(key);
    return found ? static_cast<long>(value) : -1;
}

class Languages : public MainWndTest {
protected:
    void SetUp() override {
        MainWndTest::SetUp();
        ClearRegistry();
        window_ = new RecordingMainWnd;
        config_ = dir_.Path() / "Language.config";
        window_->languageFile = win::FromUtf8(config_.string()).c_str();
    }
    void WriteConfig(const std::string& text) { std::ofstream(config_) << text; }
    // Creates and shows the window; "windowinit" picks the language.
    void Start() {
        window_->Create(nullptr, kProductString, win::WS_POPUP | win::WS_VISIBLE, 0, 0, 0, 800, 572);
        Pump();
        Paint();
    }
    CDuiString Text(const wchar_t* key) { return CResourceManager::GetInstance()->GetText(key); }

    tavrik::test::TempDir dir_{"tavrik-languages"};
    std::filesystem::path config_;
};

TEST_F(Languages, TheListReadsMissingMembersAsEmpty) {
    WriteConfig(R"({"Language": [{"Language_name": "en"}, {"Language_ID": "7"}, 5, {"Language_ID": 9}]})");
    const LanguageList list = LanguageList::LoadFile(window_->languageFile);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.At(0)->name, L"en");
    EXPECT_EQ(list.At(0)->file, L"");
    EXPECT_EQ(list.At(1)->id, 0);
    EXPECT_EQ(list.At(2)->name, L"");
    EXPECT_EQ(list.IndexOfId(9), 3);
    EXPECT_EQ(list.IndexOfId(0), 0);
    EXPECT_EQ(list.IndexOfId(520), -1);
    EXPECT_EQ(list.At(4), nullptr);
    EXPECT_EQ(list.At(-1), nullptr);
}

// A damaged or missing list gives the built-in languages, never an empty list.
TEST_F(Languages, ADamagedListFallsBackToTheBuiltInLanguages) {
    const char* damaged[] = {
        "", "{ not json", "[1, 2]", R"({"Language": []})", R"({"Language": {"a": 1}})", "\x01\x02garbage"};
    for (const char* text : damaged) {
        WriteConfig(text);
        const LanguageList list = LanguageList::LoadFile(window_->languageFile);
        ASSERT_EQ(list.Count(), 2) << text;
        EXPECT_EQ(list.At(0)->file, L"lan_en.xml") << text;
        EXPECT_EQ(list.IndexOfId(2052), 1) << text;
        EXPECT_EQ(list.At(1)->text, L"简体中文") << text;
    }
    EXPECT_EQ(LanguageList::LoadFile(L"/nonexistent/Language.config").Count(), 2);
    // The start picks the stored language from the built-in list.
    WriteConfig("{ not json");
    const win::DWORD chinese = 2052;
    StoreLanguageId(&chinese);
    EXPECT_EQ(window_->LoadLanguageIndex(), 1);
}

TEST_F(Languages, TheStoredIdPicksTheLanguageAtStart) {
    const struct {
        const char* label;
        bool key;
        bool value;
        win::DWORD id;
        const char* config;
        int index;
    } cases[] = {
        {"no key", false, false, 0, kTwoLanguages, 0},
        {"no value", true, false, 0, kTwoLanguages, 0},
        {"chinese", true, true, 2052, kTwoLanguages, 1},
        {"english", true, true, 1033, kTwoLanguages, 0},
        {"unknown id", true, true, 4242, kTwoLanguages, 0},
        {"missing value reads as 520", true, false, 0, R"({"Language": [{"Language_ID": 1033}, {"Language_ID": 520}]})",
         1},
        {"no config: the built-in list", true, true, 2052, "", 1},
    };
    for (const auto& c : cases) {
        ClearRegistry();
        if (c.key) StoreLanguageId(c.value ? &c.id : nullptr);
        if (*c.config) {
            WriteConfig(c.config);
        } else {
            std::filesystem::remove(config_);
        }
        EXPECT_EQ(window_->LoadLanguageIndex(), c.index) << c.label;
    }
}

TEST_F(Languages, StartLoadsTheStoredLanguageAndRebuildsTheFonts) {
    WriteConfig(kTwoLanguages);
    const win::DWORD chinese = 2052;
    StoreLanguageId(&chinese);
    Start();
    EXPECT_EQ(window_->GetLanguageIndex(), 1);
    EXPECT_EQ(UiLanguageIndex, 1);
    EXPECT_EQ(Text(L"nodevice_title"), L"未连接设备");
    EXPECT_EQ(StoredLanguageId(), 2052);
    // The font table of the main window, all in the program's face.
    CPaintManagerUI* pm = window_->GetPaintManager();
    ASSERT_NE(pm->GetFontInfo(50), nullptr);
    EXPECT_EQ(pm->GetFontInfo(50)->sFontName, kUiFontFace);
    EXPECT_EQ(pm->GetFontInfo(3)->iSize, 30);
    EXPECT_EQ(pm->GetDefaultFontInfo()->iSize, 14);
}

TEST_F(Languages, AChangeSwitchesTextsAndStoresTheChoice) {
    WriteConfig(kTwoLanguages);
    StoreLanguageId(nullptr);
    Start();
    EXPECT_EQ(Text(L"nodevice_title"), L"No device connected");
    Send(WM_LANGUAGE_CHANGED, 1);
    EXPECT_EQ(Text(L"nodevice_title"), L"未连接设备");
    EXPECT_EQ(StoredLanguageId(), 2052);
}

TEST_F(Languages, TheSameLanguageAgainChangesNothing) {
    WriteConfig(kTwoLanguages);
    StoreLanguageId(nullptr);
    Start();
    // Remove the stored choice: a second SetLanguage(0) must not write it.
    ClearRegistry();
    StoreLanguageId(nullptr);
    CPaintManagerUI* pm = window_->GetPaintManager();
    pm->RemoveFont(50, true);
    window_->SetLanguage(0);
    EXPECT_EQ(StoredLanguageId(), -1);
    // An unknown id answers with the default font: font 50 was not rebuilt.
    EXPECT_EQ(pm->GetFontInfo(50), pm->GetDefaultFontInfo()) << "the fonts were rebuilt";
}

TEST_F(Languages, AnIndexOutsideTheListKeepsTextsAndTheStoredChoice) {
    WriteConfig(kTwoLanguages);
    const win::DWORD english = 1033;
    StoreLanguageId(&english);
    Start();
    window_->Clear();
    for (WPARAM index : {WPARAM{2}, WPARAM{100}, static_cast<WPARAM>(-1)}) {
        Send(WM_LANGUAGE_CHANGED, index);
        Send(WM_KEYBOARD_LAYOUT_REFRESH, index);
    }
    EXPECT_EQ(window_->GetLanguageIndex(), 0);
    EXPECT_EQ(window_->calls, std::vector<std::string>{});
    EXPECT_EQ(Text(L"nodevice_title"), L"No device connected");
    EXPECT_EQ(StoredLanguageId(), 1033);
    // A short list at start: nothing loaded, nothing stored, English stays.
    WriteConfig(R"({"Language": [{"Language_ID": 1033, "Language_file": "lan_en.xml"}]})");
    window_->SetLanguage(1);
    EXPECT_EQ(Text(L"nodevice_title"), L"No device connected");
    EXPECT_EQ(StoredLanguageId(), 1033);
}

// Without a list the built-in one serves: English first, and its id stored.
TEST_F(Languages, WithoutAConfigTheBuiltInEnglishIsTaken) {
    std::filesystem::remove(config_);
    Start();
    EXPECT_EQ(window_->GetLanguageIndex(), 0);
    EXPECT_EQ(Text(L"nodevice_title"), L"No device connected");
    EXPECT_EQ(StoredLanguageId(), 1033);
}

class FitToScreen : public MainWndTest {};

TEST_F(FitToScreen, TheDpiFollowsTheMonitorSize) {
    const struct {
        int width, height, dpi, windowWidth, windowHeight;
    } cases[] = {
        {1500, 960, 96, 1000, 640},   {1501, 961, 144, 1500, 960}, {1501, 960, 96, 1000, 640},
        {1920, 1080, 144, 1500, 960}, {1280, 1024, 96, 1000, 640},
    };
    OpenMainWindow();
    ASSERT_TRUE(PumpUntil([&] { return window_->IsVisible(); }));
    for (const auto& c : cases) {
        display_->SetScreen(c.width, c.height, 96);
        window_->FitToScreen();
        EXPECT_EQ(window_->GetDpi(), c.dpi) << c.width << " x " << c.height;
        const RECT r = window_->GetWindowRect();
        EXPECT_EQ(r.right - r.left, c.windowWidth) << c.width << " x " << c.height;
        EXPECT_EQ(r.bottom - r.top, c.windowHeight) << c.width << " x " << c.height;
        // Centred.
        EXPECT_EQ(r.left, (c.width - c.windowWidth) / 2) << c.width << " x " << c.height;
        EXPECT_TRUE(window_->IsVisible());
    }
    CPaintManagerUI::SetAllDPI(96);
}

TEST_F(FitToScreen, AHiddenWindowStaysHidden) {
    OpenMainWindow();
    ASSERT_TRUE(PumpUntil([&] { return window_->IsVisible(); }));
    window_->ShowWindow(false);
    window_->FitToScreen();
    EXPECT_FALSE(window_->IsVisible());
    const RECT r = window_->GetWindowRect();
    EXPECT_EQ(r.right - r.left, 1000);
}

TEST_F(FitToScreen, TheFirstShowFitsWithoutShowing) {
    auto* window = new PlacementRecordingMainWnd;
    OpenMainWindow(window);
    // Hidden, as before the scan's first pass shows it, the window is fitted
    // by the first-show timer without being put on the screen for a moment.
    window_->ShowWindow(false);
    window->shownAt.clear();
    Send(win::WM_TIMER, TIMER_MAIN_FIRST_SHOW);
    EXPECT_FALSE(window_->IsVisible());
    EXPECT_TRUE(window->shownAt.empty());
    const RECT r = window_->GetWindowRect();
    EXPECT_EQ(r.right - r.left, 1000);
    EXPECT_EQ(r.bottom - r.top, 640);
    // Drawn at that size while hidden: it appears with that picture, before
    // any paint that follows the show.
    window_->ShowWindow(true, false);
    cairo_surface_t* shown = Surface()->Picture();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(cairo_image_surface_get_width(shown), 1000);
    EXPECT_EQ(cairo_image_surface_get_height(shown), 640);
}

// The window comes onto the screen once, already at its fitted size and
// centred, whichever of the scan's first pass and the first-show timer comes
// first; neither the timer nor a later fit on the same screen moves it or
// changes its size after that (a click aimed at a control it shows lands on
// that control).
struct FirstShowCase {
    int screenWidth, screenHeight, width, height;
    bool timerFirst;
};

std::ostream& operator<<(std::ostream& out, const FirstShowCase& c) {
    return out << c.screenWidth << " x " << c.screenHeight << (c.timerFirst ? ", timer first" : ", raise first");
}

class FirstShow : public MainWndTest, public ::testing::WithParamInterface<FirstShowCase> {};

TEST_P(FirstShow, TheWindowAppearsFittedAndStaysWhereItIs) {
    const FirstShowCase c = GetParam();
    display_->SetScreen(c.screenWidth, c.screenHeight, 96);
    auto* window = new PlacementRecordingMainWnd;
    OpenMainWindow(window);
    // The timer is run here, before or after the scan thread's first pass
    // shows the window.
    win::KillTimer(window_->GetHWND(), TIMER_MAIN_FIRST_SHOW);
    if (c.timerFirst) Send(win::WM_TIMER, TIMER_MAIN_FIRST_SHOW);
    ASSERT_TRUE(PumpUntil([&] { return window_->IsVisible(); }));
    if (!c.timerFirst) Send(win::WM_TIMER, TIMER_MAIN_FIRST_SHOW);
    window_->FitToScreen();
    Pump();
    const RECT fitted{(c.screenWidth - c.width) / 2, (c.screenHeight - c.height) / 2, (c.screenWidth + c.width) / 2,
                      (c.screenHeight + c.height) / 2};
    ASSERT_EQ(window->shownAt.size(), 1u);
    EXPECT_EQ(Edges(window->shownAt.front()), Edges(fitted));
    EXPECT_EQ(window->changesWhileShown, 0);
    EXPECT_EQ(Edges(window_->GetWindowRect()), Edges(fitted));
    CPaintManagerUI::SetAllDPI(96);
}

INSTANTIATE_TEST_SUITE_P(Screens, FirstShow,
                         ::testing::Values(FirstShowCase{1280, 1024, 1000, 640, false},
                                           FirstShowCase{1280, 1024, 1000, 640, true},
                                           FirstShowCase{1920, 1080, 1500, 960, false},
                                           FirstShowCase{1920, 1080, 1500, 960, true}));

TEST_F(FitToScreen, ADisplayChangeRefitsAndSetsTheFlag) {
    OpenMainWindow();
    ASSERT_TRUE(PumpUntil([&] { return window_->IsVisible(); }));
    display_->ChangeDisplay(1920, 1200, 96);
    Pump();
    // Set by the display change, then consumed by the root's first resize,
    // which fits the window once more.
    EXPECT_EQ(window_->GetDisplayFitFlag(), 0);
    EXPECT_EQ(window_->GetDpi(), 144);
    CPaintManagerUI::SetAllDPI(96);
}

}  // namespace
}  // namespace mainwndtest
