// End to end, the tour a new user makes: the real Tavrik against the emulated
// keyboard, mouse, mouse pad and headset. Every device is reachable through
// its entry in the selector strip; every device page shows the function tabs
// of its kind, each opening its own page; on every page every slider paints
// a fill that matches its value and every named control lies inside its
// page, and the screen editor shows only on the keyboard's Screen tab and goes
// with it. It runs on a 1920 x 1080 screen, where the program draws its
// 1000 x 640 layout at 1.5 times.

#include "tests/e2e/tavrik_session.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;

const std::vector<std::string> kAllTabs = {"deng_Op_tab",   "key_Op_tab",        "macro_Op_tab",
                                           "system_Op_tab", "cursor_Op_tab",     "6533_voice_Op_tab",
                                           "magic_Op_tab",  "Virtual7.1_Op_tab", "screen_Op_tab"};

struct Tab {
    std::string name;
    std::string marker;  // a control that only this tab's page shows
};

struct DevicePage {
    std::string page;
    std::vector<Tab> tabs;
};

const std::vector<DevicePage>& Pages() {
    static const std::vector<DevicePage> pages = {
        {"keyboard_device_page",
         {{"deng_Op_tab", "LightControlItem"},
          {"key_Op_tab", "KeySetControlItem"},
          {"macro_Op_tab", "MacroControlItem"},
          {"system_Op_tab", "keyboard_system_page"},
          {"screen_Op_tab", "keyboard_screen_page"}}},
        {"mouse_device_page",
         {{"deng_Op_tab", "LightControlItem"},
          {"key_Op_tab", "KeySetControlItem"},
          {"macro_Op_tab", "MacroControlItem"},
          {"system_Op_tab", "mouse_dpi_page"},
          {"cursor_Op_tab", "mouse_pointer_page"}}},
        {"mousepad_device_page", {{"deng_Op_tab", "LightControlItem"}}},
        {"hs6533_device_page",
         {{"deng_Op_tab", "LightControlItem"},
          {"6533_voice_Op_tab", "Voice6533ControlItem"},
          {"magic_Op_tab", "MagicControlItem"},
          {"Virtual7.1_Op_tab", "VirtualSetControlItem"}}},
    };
    return pages;
}

bool Listed(const std::vector<ProbeControl>& controls, const std::string& name) {
    return std::any_of(controls.begin(), controls.end(), [&](const ProbeControl& c) { return c.name == name; });
}

// A pixel "of the fill": the accent blue every slider of the skins fills with.
bool Accent(unsigned long pixel) {
    const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return b > 160 && b > r + 80 && b > g + 20;
}

class DeviceTourTest : public TavrikSession {
protected:
    // Controls that no one can reach: cut off by a page that does not scroll.
    std::vector<std::string> CutControls() {
        std::vector<std::string> cut;
        for (const ProbeControl& c : Probe())
            if (c.name.size() > 4 && c.name.compare(c.name.size() - 4, 4, "#cut") == 0)
                cut.push_back(c.name + " " + std::to_string(c.left) + "," + std::to_string(c.top) + "-" +
                              std::to_string(c.right) + "," + std::to_string(c.bottom));
        return cut;
    }

    // Every slider whole in view: the painted fill (the accent blue along
    // its middle line, away from the thumb) reaches exactly as far as its
    // value says. Returns the sliders that disagree.
    std::vector<std::string> WrongSliders() {
        std::vector<std::string> wrong;
        const Window main = FindMainWindow();
        int wx = 0, wy = 0, ww = 0, wh = 0;
        if (!main || !driver_->Geometry(main, wx, wy, ww, wh)) return {"no main window"};
        XImage* image = XGetImage(driver_->display(), main, 0, 0, ww, wh, AllPlanes, ZPixmap);
        if (!image) return {"no picture of the main window"};
        const std::vector<ProbeControl> controls = Probe();
        std::set<std::string> cut;
        for (const ProbeControl& c : controls)
            if (c.name.size() > 4 && c.name.compare(c.name.size() - 4, 4, "#cut") == 0)
                cut.insert(c.name.substr(0, c.name.size() - 4));
        for (const ProbeControl& c : controls) {
            std::istringstream words(c.text);
            int value = 0, low = 0, high = 0;
            std::string direction;
            if (!(words >> value >> low >> high >> direction) || high <= low || cut.count(c.name)) continue;
            if (c.name.find('#') != std::string::npos) continue;       // the whole of a cut bar, not painted
            if (c.name.find("slider") == std::string::npos) continue;  // bars of other kinds fill otherwise
            const bool horizontal = direction == "h";
            const int length = horizontal ? c.right - c.left : c.bottom - c.top;
            const int across = horizontal ? c.bottom - c.top : c.right - c.left;
            if (length < 40) continue;
            const double filled = double(value - low) / (high - low);
            // The thumb (at most as big as the bar is thick) may stand on
            // either side of the fill's end.
            const int fillEnd = int(filled * length);
            int disagree = 0, looked = 0;
            for (int i = 3; i < length - 3; i += 3) {
                if (std::abs(i - fillEnd) <= across + 4) continue;
                const int x = horizontal ? c.left - wx + i : (c.left + c.right) / 2 - wx;
                const int y = horizontal ? (c.top + c.bottom) / 2 - wy : c.bottom - wy - 1 - i;
                if (x < 0 || y < 0 || x >= ww || y >= wh) continue;
                ++looked;
                if (Accent(XGetPixel(image, x, y)) != (i < fillEnd)) ++disagree;
            }
            if (looked > 0 && disagree > looked / 10)
                wrong.push_back(c.name + " (" + c.text + "): " + std::to_string(disagree) + " of " +
                                std::to_string(looked) + " points disagree");
        }
        XDestroyImage(image);
        return wrong;
    }

    bool ScreenEditorShown() { return !driver_->ViewableTopLevel("ScreenWnd").empty(); }

    static std::string Join(const std::vector<std::string>& items) {
        std::string out;
        for (const std::string& s : items) out += "\n  " + s;
        return out;
    }
};

TEST_F(DeviceTourTest, EveryPageAndTab) {
    StartEmulator({"keyboard", "mouse", "mousepad", "headset"});
    tavrik_ = StartTavrik("tavrik.log", {{"TAVRIK_HEADSET_IDS", kHeadsetIds}});
    ASSERT_TRUE(tavrik_->Started());
    const Window main = WaitForShownWindow();
    ASSERT_NE(main, 0u) << Log("tavrik.log");
    // The layout at the scale of the screen: 1.5 times 1000 x 640.
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(
        Poll([&] { return driver_->Geometry(main, x, y, width, height) && width == 1500 && height == 960; }, 10s))
        << "main window " << width << " x " << height;
    // Wait for the four devices: a page for each, reachable from the strip.
    for (const DevicePage& p : Pages()) {
        const bool reached = Poll([&] { return ShowDevicePage(p.page); }, 60s);
        if (!reached) Screenshot("tour_reach_" + p.page);
        ASSERT_TRUE(reached) << p.page << " is not reachable from the device strip\n" << Log("tavrik.log");
    }

    for (const DevicePage& p : Pages()) {
        SCOPED_TRACE(p.page);
        ASSERT_TRUE(ShowDevicePage(p.page));
        // The tabs of this kind and no other.
        std::set<std::string> wanted, shown;
        for (const Tab& t : p.tabs) wanted.insert(t.name);
        ASSERT_TRUE(Poll(
            [&] {
                shown.clear();
                for (const ProbeControl& c : Probe())
                    if (std::find(kAllTabs.begin(), kAllTabs.end(), c.name) != kAllTabs.end()) shown.insert(c.name);
                return shown == wanted;
            },
            30s))
            << "tabs shown: " << Join({shown.begin(), shown.end()});

        for (const Tab& t : p.tabs) {
            SCOPED_TRACE(t.name);
            ASSERT_TRUE(Click(t.name));
            // A page shown for the first time decodes its pictures before
            // its first paint: seconds on a loaded machine.
            const bool opened = Poll([&] { return Listed(Probe(), t.marker); }, 30s);
            // The tab's own page, and only it, shows the marker.
            EXPECT_TRUE(opened) << t.marker << " not shown";
            const std::vector<ProbeControl> shownControls = Probe();
            for (const Tab& other : p.tabs) {
                if (other.marker != t.marker) {
                    EXPECT_FALSE(Listed(shownControls, other.marker)) << other.marker;
                }
            }
            // The screen editor belongs to the keyboard's Screen tab alone.
            const bool editorWanted = t.name == "screen_Op_tab";
            EXPECT_TRUE(Poll([&] { return ScreenEditorShown() == editorWanted; }, 30s))
                << "screen editor " << (editorWanted ? "missing" : "shown");
            // Every control lies inside its page, or inside a part of it that
            // scrolls: the probe lists the others with "#cut".
            const std::vector<std::string> cut = CutControls();
            EXPECT_TRUE(cut.empty()) << "cut off:" << Join(cut);
            const std::vector<std::string> sliders = WrongSliders();
            EXPECT_TRUE(sliders.empty()) << "sliders:" << Join(sliders);
            if (HasFailure()) Screenshot("tour_" + p.page + "_" + t.name);
        }
    }
    // Leaving the keyboard's Screen tab for another device hides the editor.
    ASSERT_TRUE(ShowDevicePage("keyboard_device_page"));
    ASSERT_TRUE(Click("screen_Op_tab"));
    ASSERT_TRUE(Poll([&] { return ScreenEditorShown(); }, 30s));
    ASSERT_TRUE(ShowDevicePage("mouse_device_page"));
    EXPECT_TRUE(Poll([&] { return !ScreenEditorShown(); }, 30s)) << "the editor stays over the mouse's page";
    if (HasFailure()) Screenshot("tour_editor_left_behind");
}

}  // namespace
}  // namespace tavrik::test
