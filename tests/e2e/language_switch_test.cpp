// End to end: the user picks the second language in the settings window of
// the real program; the main window's texts change, the choice is stored as
// that language's id in the registry store, and the next start keeps it.
//
// The controls are found by name through the program's UI probe: the
// settings button in the caption, the language combo in the settings window,
// the second row of its drop list.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "tests/e2e/child_process.h"
#include "tests/e2e/ui_probe.h"
#include "tests/x11/x_display.h"
// X11 last: its macros clash with GoogleTest's names.
#include "tests/x11/x_driver.h"
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr const char* kMainTitle = "Halvord  Q580-RGB-PRO";

class LanguageSwitchTest : public ::testing::Test {
protected:
    void SetUp() override {
        TAVRIK_REQUIRE_X_DISPLAY();
        driver_ = std::make_unique<XDriver>();
        ASSERT_TRUE(driver_->ok());
        folder_ = fs::temp_directory_path() / ("tavrik-e2e-language-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        fs::permissions(folder_, fs::perms::owner_all);
    }

    void TearDown() override {
        tavrik_.reset();
        std::error_code error;
        fs::remove_all(folder_, error);
    }

    void Start(const std::string& log) {
        log_ = (folder_ / log).string();
        tavrik_ = std::make_unique<ChildProcess>(
            "Tavrik", std::vector<std::string>{},
            std::map<std::string, std::string>{{"TAVRIK_HID_BACKEND", "sim"},
                                               {"TAVRIK_DEVSIM_SOCKET", (folder_ / "no-devsim.sock").string()},
                                               {"TAVRIK_DEBUG", "1"},
                                               {"TAVRIK_UI_PROBE", "1"}},
            log_);
        ASSERT_TRUE(tavrik_->Started());
    }

    std::string LogText() const { return ReadTextFile(log_); }

    static bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = 30s) {
        return PumpUntil([] {}, done, timeout);
    }

    Window Titled(const std::string& title) {
        const std::vector<Window> found = driver_->ViewableTopLevel(title);
        return found.empty() ? 0 : found.front();
    }

    // The shown main window at its fitted size, or 0.
    Window WaitForMainWindow() {
        Window window = 0;
        WaitFor([&] {
            window = Titled(kMainTitle);
            int x = 0, y = 0, w = 0, h = 0;
            return window != 0 && driver_->Geometry(window, x, y, w, h) && w == 1000 && h == 640 &&
                   LogText().find("RaiseWindow: no-device panel shown") != std::string::npos;
        });
        return window;
    }

    // The window's pixels below its caption, once two reads agree.
    std::string SettledPicture(Window window) {
        driver_->MoveTo(5, 1015);
        std::string last, now;
        WaitFor([&] {
            last = now;
            now = Picture(window);
            return !now.empty() && now == last;
        });
        return now;
    }

    // A fingerprint of the pixels (empty when the window cannot be read).
    std::string Picture(Window window) {
        XSync(driver_->display(), False);
        XImage* image = XGetImage(driver_->display(), window, 0, 60, 1000, 580, AllPlanes, ZPixmap);
        if (image == nullptr) return {};
        std::uint64_t hash = 1469598103934665603ull;
        for (int y = 0; y < image->height; ++y) {
            for (int x = 0; x < image->width; ++x) {
                hash = (hash ^ XGetPixel(image, x, y)) * 1099511628211ull;
            }
        }
        XDestroyImage(image);
        return std::to_string(hash);
    }

    // The texts the window's controls show, as its probe lists them after a
    // paint.
    // The lines that only one of two listings has, marked "-" and "+".
    static std::string LinesOfOneOnly(const std::string& before, const std::string& after) {
        auto lines = [](const std::string& text) {
            std::multiset<std::string> set;
            std::istringstream in(text);
            for (std::string line; std::getline(in, line);) set.insert(line);
            return set;
        };
        const std::multiset<std::string> a = lines(before), b = lines(after);
        std::vector<std::string> onlyA, onlyB;
        std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(onlyA));
        std::set_difference(b.begin(), b.end(), a.begin(), a.end(), std::back_inserter(onlyB));
        std::string out;
        for (const std::string& l : onlyA) out += "- " + l + "\n";
        for (const std::string& l : onlyB) out += "+ " + l + "\n";
        return out;
    }

    std::string Texts(Window window) {
        std::string texts;
        for (const ProbeControl& c : ReadUiProbe(*driver_, window)) texts += c.text + "\n";
        return texts;
    }

    static std::string RegistryText() {
        const char* config = std::getenv("XDG_CONFIG_HOME");
        const fs::path folder =
            config != nullptr && *config != '\0' ? fs::path(config) : fs::path(std::getenv("HOME")) / ".config";
        return ReadTextFile((folder / "tavrik" / "registry").string());
    }

    std::unique_ptr<XDriver> driver_;
    // The program's windows come and go while the test walks them.
    IgnoredXErrors ignoredErrors_;
    fs::path folder_;
    std::string log_;
    std::unique_ptr<ChildProcess> tavrik_;
};

TEST_F(LanguageSwitchTest, TheSecondLanguageChangesTheTextsIsStoredAndStaysAfterARestart) {
    Start("first.log");
    const Window main = WaitForMainWindow();
    ASSERT_NE(main, 0u) << LogText();
    const std::string english = SettledPicture(main);
    const std::string englishTexts = Texts(main);
    int mx = 0, my = 0, mw = 0, mh = 0;
    ASSERT_TRUE(driver_->Geometry(main, mx, my, mw, mh));

    ASSERT_TRUE(ClickProbeControl(*driver_, "setbtn", 30s)) << LogText();
    Window settings = 0;
    ASSERT_TRUE(WaitFor([&] { return (settings = Titled("SetWnd")) != 0; })) << LogText();
    int sx = 0, sy = 0, sw = 0, sh = 0;
    // Beside the main window's right edge, 60 below its top.
    EXPECT_TRUE(WaitFor([&] {
        return driver_->Geometry(settings, sx, sy, sw, sh) && sw == 630 && sh == 500 && sx == mx + 1000 - 630 - 30 &&
               sy == my + 60;
    })) << sx
        << "," << sy << " " << sw << " x " << sh;

    // Open the language list and choose its second row, both found by name.
    ASSERT_TRUE(ClickProbeControl(*driver_, "Language_combox_info", 30s)) << LogText();
    ASSERT_TRUE(ClickProbeControl(*driver_, "Language_combox_info/1", 30s)) << LogText();

    // 2052 is the second language's "Language_ID".
    EXPECT_TRUE(WaitFor([] { return RegistryText().find("\"LANGUAGE\"=dword:00000804") != std::string::npos; }))
        << RegistryText() << LogText();
    driver_->RequestClose(settings);
    ASSERT_TRUE(WaitFor([&] { return Titled("SetWnd") == 0; })) << LogText();
    // The main window has painted its new texts once its probe lists them.
    std::string chineseTexts;
    EXPECT_TRUE(WaitFor([&] { return (chineseTexts = Texts(main)) != englishTexts; }))
        << "the main window's texts did not change" << LogText();
    const std::string chinese = SettledPicture(main);
    EXPECT_NE(chinese, english);

    driver_->RequestClose(main);
    ASSERT_EQ(tavrik_->Wait(30s), 0) << LogText();

    Start("second.log");
    const Window again = WaitForMainWindow();
    ASSERT_NE(again, 0u) << LogText();
    std::string restartedTexts;
    EXPECT_TRUE(WaitFor([&] { return (restartedTexts = Texts(again)) == chineseTexts; }))
        << "the language did not stay:\n"
        << LinesOfOneOnly(chineseTexts, restartedTexts);
    EXPECT_TRUE(WaitFor([&] { return SettledPicture(again) == chinese; }));
    driver_->RequestClose(again);
    EXPECT_EQ(tavrik_->Wait(30s), 0) << LogText();
}

}  // namespace
}  // namespace tavrik::test
