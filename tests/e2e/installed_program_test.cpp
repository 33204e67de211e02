// End to end: the program as a user installs it. `cmake --install` of this
// build into a temporary prefix, then the installed `tavrik` command, reached
// through a link of the user's own and started from an unrelated folder,
// against the installed emulator: the program finds its skins beside itself
// (its pictures are on the screen), talks to the emulator and ends with 0 when
// the window manager closes it.

#include <cairo.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/e2e/tavrik_session.h"

namespace tavrik::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class InstalledProgramTest : public TavrikSession {
protected:
    // Installs the build into `prefix`; the output of the install, on failure.
    std::string Install(const fs::path& prefix) {
        const std::string log = (folder_ / "install.log").string();
        ChildProcess install(TAVRIK_CMAKE_COMMAND, {"--install", TAVRIK_BUILD_DIR, "--prefix", prefix.string()}, {},
                             log, "/dev/null", log);
        if (!install.Started()) return "cmake did not start";
        const int code = install.Wait(120s);
        return code == 0 ? std::string()
                         : "cmake --install ended with " + std::to_string(code) + ":\n" + Log("install.log");
    }

    // How many of the picture's opaque pixels the screen shows at (left,
    // top), and how many opaque pixels it has.
    struct Match {
        int same = 0;
        int opaque = 0;
    };
    Match CompareWithScreen(const fs::path& png, int left, int top) {
        Match match;
        cairo_surface_t* picture = cairo_image_surface_create_from_png(png.c_str());
        if (cairo_surface_status(picture) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(picture);
            return match;
        }
        const int width = cairo_image_surface_get_width(picture);
        const int height = cairo_image_surface_get_height(picture);
        Display* d = driver_->display();
        XSync(d, False);
        XImage* screen = XGetImage(d, DefaultRootWindow(d), left, top, static_cast<unsigned>(width),
                                   static_cast<unsigned>(height), AllPlanes, ZPixmap);
        if (screen != nullptr) {
            const unsigned char* data = cairo_image_surface_get_data(picture);
            const int stride = cairo_image_surface_get_stride(picture);
            for (int y = 0; y < height; ++y) {
                const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
                for (int x = 0; x < width; ++x) {
                    if ((row[x] >> 24) != 0xFF) continue;
                    ++match.opaque;
                    const unsigned long shown = XGetPixel(screen, x, y);
                    bool same = true;
                    for (int shift : {0, 8, 16}) {
                        const int a = static_cast<int>((row[x] >> shift) & 0xFF);
                        const int b = static_cast<int>((shown >> shift) & 0xFF);
                        same = same && std::abs(a - b) <= 2;
                    }
                    if (same) ++match.same;
                }
            }
            XDestroyImage(screen);
        }
        cairo_surface_destroy(picture);
        return match;
    }
};

TEST_F(InstalledProgramTest, StartsFromAnyFolderThroughALinkDrawsItsPicturesAndEndsWithZero) {
    const fs::path prefix = folder_ / "prefix";
    ASSERT_EQ(Install(prefix), "");
    const fs::path program = prefix / "lib/tavrik";
    for (const char* file :
         {"Tavrik", "libcvn_CrashDump.so", "SDK/osConfLib.so", "tavrik_screen_media.so", "skin/res.xml",
          "skin/common/nodevice.png", "Skin/Cursor", "DefaultData/Language.config"}) {
        EXPECT_TRUE(fs::exists(program / file)) << file;
    }
    EXPECT_TRUE(fs::is_regular_file(prefix / "share/applications/tavrik.desktop"));
    EXPECT_TRUE(fs::is_regular_file(prefix / "share/icons/hicolor/48x48/apps/tavrik.png"));
    EXPECT_TRUE(fs::is_regular_file(prefix / "lib/udev/rules.d/70-tavrik.rules"));
    ASSERT_TRUE(fs::is_symlink(prefix / "bin/tavrik"));

    // The user's own link to the command, started from a folder that holds nothing of the program's.
    const fs::path elsewhere = folder_ / "elsewhere";
    fs::create_directories(elsewhere);
    fs::create_symlink(prefix / "bin/tavrik", elsewhere / "my-tavrik");

    StartEmulator({"mouse"}, (prefix / "bin/tavrik-devsim").string());
    ASSERT_FALSE(EmulatorCommand("unplug mouse").empty()) << Log("devsim.log");
    tavrik_ = StartTavrik("tavrik.log", {}, (elsewhere / "my-tavrik").string(), elsewhere.string());
    ASSERT_TRUE(tavrik_->Started());
    const Window window = WaitForShownWindow();
    ASSERT_NE(window, 0u) << Log("tavrik.log");

    // The no-device picture, read from the installed skin, is on the screen.
    const std::optional<ProbeControl> picture = WaitForControl("nodevice_picture");
    ASSERT_TRUE(picture.has_value()) << Log("tavrik.log");
    Match match;
    const bool drawn = Poll(
        [&] {
            match = CompareWithScreen(program / "skin/common/nodevice.png", picture->left, picture->top);
            return match.opaque > 1000 && match.same == match.opaque;
        },
        30s);
    if (!drawn) Screenshot("installed_program_no_device");
    EXPECT_TRUE(drawn) << match.same << " of " << match.opaque << " opaque pixels shown\n" << Log("tavrik.log");

    // The installed program and emulator talk: the plugged mouse is listed.
    ASSERT_FALSE(EmulatorCommand("plug mouse").empty());
    EXPECT_TRUE(Poll([&] { return Log("tavrik.log").find("show: entry 0 (mouse)") != std::string::npos; }, 30s))
        << Log("tavrik.log");

    driver_->RequestClose(window);
    EXPECT_EQ(tavrik_->Wait(30s), 0) << Log("tavrik.log");
}

}  // namespace
}  // namespace tavrik::test
