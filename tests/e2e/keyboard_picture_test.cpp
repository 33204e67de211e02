// End to end: the keyboard's picture as a user sees it on the real Tavrik
// against the emulated keyboard. Its keys sit where a keyboard of its layout
// has them, with no column of spare keys beside the number pad; a white
// legend keeps a dark outline on a key lit white; and the preview shows the
// running effect, moving in Wave as the other devices' previews do.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <map>
#include <regex>

#include "tests/e2e/emulator_record.h"
#include "tests/e2e/tavrik_session.h"

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;

int Luminance(unsigned long pixel) {
    return int((pixel >> 16) & 0xFF) * 3 / 10 + int((pixel >> 8) & 0xFF) * 6 / 10 + int(pixel & 0xFF) / 10;
}

class KeyboardPictureTest : public TavrikSession {
protected:
    void StartConnected() {
        StartEmulator({"keyboard"});
        tavrik_ = StartTavrik("tavrik.log");
        ASSERT_TRUE(tavrik_->Started());
        ASSERT_NE(WaitForShownWindow(), 0u) << Log("tavrik.log");
        ASSERT_TRUE(WaitForLogMatch("tavrik.log", "attach: slot \\d+ keyboard wired")) << Log("tavrik.log");
        ASSERT_TRUE(WaitForControl("light_combo_modeSelect", [](const ProbeControl& c) { return !c.text.empty(); }))
            << Log("tavrik.log");
        driver_->MoveTo(1, 1);
    }

    // The keys of the picture by position, as the probe lists them.
    std::map<int, ProbeControl> Keys() {
        std::map<int, ProbeControl> keys;
        const std::regex key("key_([0-9]+)");
        std::smatch m;
        for (const ProbeControl& c : Probe())
            if (std::regex_match(c.name, m, key) && c.right > c.left) keys[std::stoi(m[1])] = c;
        return keys;
    }

    // The pixels of a control's area on the screen, row by row.
    std::vector<unsigned long> Pixels(const ProbeControl& c) {
        Display* d = driver_->display();
        XSync(d, False);
        std::vector<unsigned long> out;
        XImage* image = XGetImage(d, DefaultRootWindow(d), c.left, c.top, unsigned(c.right - c.left),
                                  unsigned(c.bottom - c.top), AllPlanes, ZPixmap);
        if (image == nullptr) return out;
        for (int y = 0; y < c.bottom - c.top; ++y)
            for (int x = 0; x < c.right - c.left; ++x) out.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
        XDestroyImage(image);
        return out;
    }
};

TEST_F(KeyboardPictureTest, InternationalKeysSitInTheirRowsAndNoKeyBesideTheNumberPad) {
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    const std::map<int, ProbeControl> keys = Keys();
    // # ~ between ' and Enter; \ | between the left Shift and Z.
    const struct { int key, left, right; } between[] = {{62, 74, 75}, {102, 84, 85}};
    for (const auto& b : between) {
        ASSERT_TRUE(keys.count(b.key) && keys.count(b.left) && keys.count(b.right)) << b.key;
        const ProbeControl &k = keys.at(b.key), &l = keys.at(b.left), &r = keys.at(b.right);
        EXPECT_NEAR(k.CenterY(), l.CenterY(), 2) << b.key;
        EXPECT_NEAR(k.CenterY(), r.CenterY(), 2) << b.key;
        EXPECT_LE(l.right, k.left) << b.key;
        EXPECT_LE(k.right, r.left) << b.key;
    }
    ASSERT_TRUE(keys.count(118));
    for (const auto& [p, c] : keys) EXPECT_LE(c.right, keys.at(118).right) << "key_" << p << " beside the number pad";
}

TEST_F(KeyboardPictureTest, LegendsKeepADarkOutlineOnKeysLitWhite) {
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    // Static at full brightness, then white: the caps are as bright as they get.
    ASSERT_EQ(EmulatorCommand("light keyboard 1 5 2"), std::vector<std::string>{"ok"});
    ASSERT_TRUE(WaitForControl("light_combo_modeSelect", [](const ProbeControl& c) { return c.text == "Static"; }));
    ASSERT_TRUE(Click("color_option_7"));  // white
    driver_->MoveTo(1, 1);
    const std::map<int, ProbeControl> keys = Keys();
    for (int key : {62, 102, 35}) {
        ASSERT_TRUE(keys.count(key)) << key;
        // Lit white: most of the cap is bright; the legend's white letters
        // are drawn in a dark outline that the bright cap cannot swallow.
        int bright = 0, dark = 0;
        const bool lit = Poll(
            [&] {
                const std::vector<unsigned long> pixels = Pixels(keys.at(key));
                bright = int(
                    std::count_if(pixels.begin(), pixels.end(), [](unsigned long p) { return Luminance(p) > 150; }));
                dark =
                    int(std::count_if(pixels.begin(), pixels.end(), [](unsigned long p) { return Luminance(p) < 70; }));
                return bright * 3 > int(pixels.size());
            },
            30s);
        if (!lit || dark < 12) Screenshot("legend_on_white_key_" + std::to_string(key));
        ASSERT_TRUE(lit) << "key_" << key << " is not lit white";
        EXPECT_GE(dark, 12) << "key_" << key << ": the legend has no dark outline";
    }
}

TEST_F(KeyboardPictureTest, ThePreviewMovesInWave) {
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    ASSERT_EQ(EmulatorCommand("light keyboard 10 4 2"), std::vector<std::string>{"ok"});
    ASSERT_TRUE(WaitForControl("light_combo_modeSelect", [](const ProbeControl& c) { return c.text == "Wave"; }))
        << Log("tavrik.log");
    const std::map<int, ProbeControl> keys = Keys();
    ASSERT_TRUE(keys.count(51));
    // Three different pictures of one key: more than the step from the
    // previous mode's light to a still one.
    std::vector<std::vector<unsigned long>> seen;
    const bool moved = Poll(
        [&] {
            const std::vector<unsigned long> now = Pixels(keys.at(51));
            if (!now.empty() && std::find(seen.begin(), seen.end(), now) == seen.end()) seen.push_back(now);
            return seen.size() >= 3;
        },
        30s);
    if (!moved) Screenshot("keyboard_preview_in_wave");
    EXPECT_TRUE(moved) << "the key's light stood still in Wave";
}

}  // namespace
}  // namespace tavrik::test
