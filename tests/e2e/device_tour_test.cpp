// End to end, the tour a new user makes: the real Tavrik against the emulated
// keyboard, mouse, mouse pad and headset. Every device is reachable through
// its entry in the selector strip; every device page shows the function tabs
// of its kind, each opening its own page; on every page every slider paints
// a fill that matches its value and every named control lies inside its
// page, and the screen editor shows only on the keyboard's Screen tab and goes
// with it. No text on any page is cut short or ended by an ellipsis, nor on
// the pages that a mode or a function shows, in the colour picker or in a
// caption button's tooltip. It runs on a 1920 x 1080 screen, where the
// program draws its 1000 x 640 layout at 1.5 times.

#include "tests/e2e/tavrik_session.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

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

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string Box(const ProbeControl& c) {
    return std::to_string(c.left) + "," + std::to_string(c.top) + "-" + std::to_string(c.right) + "," +
           std::to_string(c.bottom);
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

    // Option groups of the page that do not show exactly one chosen option
    // among the options it shows.
    std::vector<std::string> GroupsWithoutOneChoice() {
        const std::vector<ProbeControl> controls = Probe();
        // Options are told apart by name and place: entries built from one
        // skin share their names.
        std::set<std::string> chosen;
        for (const ProbeControl& c : controls)
            if (EndsWith(c.name, "#chosen")) chosen.insert(c.name.substr(0, c.name.size() - 7) + " " + Box(c));
        std::map<std::string, std::pair<std::string, int>> groups;  // members shown, how many chosen
        for (const ProbeControl& c : controls) {
            if (!EndsWith(c.name, "#group")) continue;
            const std::string option = c.name.substr(0, c.name.size() - 6) + " " + Box(c);
            const bool isChosen = chosen.count(option) != 0;
            auto& [members, chosenCount] = groups[c.text];
            members += " " + option + (isChosen ? " (chosen)" : "");
            chosenCount += isChosen ? 1 : 0;
        }
        std::vector<std::string> wrong;
        for (const auto& [group, shown] : groups)
            if (shown.second != 1) wrong.push_back(group + ":" + shown.first);
        return wrong;
    }

    // Opens every drop list the page shows that can be opened and returns
    // those whose open list does not show their current row whole, on the
    // screen, marked as chosen and drawn otherwise than the other rows.
    std::vector<std::string> DropListsWithoutTheirRow() {
        std::vector<std::string> wrong;
        for (const ProbeControl& list : Probe()) {
            if (!EndsWith(list.name, "#list")) continue;
            const std::string name = list.name.substr(0, list.name.size() - 5);
            std::istringstream words(list.text);
            int current = -1, count = 0, enabled = 0;
            if (!(words >> current >> count >> enabled) || count == 0 || !enabled) continue;
            if (current < 0) {
                wrong.push_back(name + ": no current row among " + std::to_string(count));
                continue;
            }
            const std::optional<ProbeControl> combo = FindProbeControl(*driver_, name);
            if (!combo) continue;
            driver_->Click(combo->CenterX(), combo->CenterY());
            const std::string rowPrefix = name + "/";
            auto isRow = [&](const ProbeControl& c) { return c.name.rfind(rowPrefix, 0) == 0; };
            std::vector<ProbeControl> rows;
            Poll([&] { return !(rows = TopmostListingWith(*driver_, isRow)).empty(); }, 10s);
            if (rows.empty()) {
                wrong.push_back(name + ": the list did not open");
                continue;
            }
            const std::string problem = OpenListProblem(rows, name, rowPrefix + std::to_string(current), combo->text);
            if (!problem.empty()) wrong.push_back(name + ": " + problem);
            driver_->Key(XK_Escape);
            if (!Poll([&] { return TopmostListingWith(*driver_, isRow).empty(); }, 10s)) {
                wrong.push_back(name + ": the list did not close on Escape");
                break;
            }
        }
        return wrong;
    }

    // What is wrong with an open list's current row `row` ("" when nothing).
    std::string OpenListProblem(const std::vector<ProbeControl>& listing, const std::string& name,
                                const std::string& row, const std::string& comboText) {
        const ProbeControl* current = nullptr;
        const ProbeControl* other = nullptr;
        int rowHeight = 0, chosenRows = 0;
        for (const ProbeControl& c : listing) {
            if (c.name.rfind(name + "/", 0) != 0) continue;
            if (EndsWith(c.name, "#chosen")) {
                ++chosenRows;
                continue;
            }
            if (c.name.find('#') != std::string::npos) continue;
            rowHeight = std::max(rowHeight, c.bottom - c.top);
            if (c.name == row)
                current = &c;
            else if (!other || c.bottom - c.top > other->bottom - other->top)
                other = &c;
        }
        if (!current) return row + " is out of sight";
        if (current->bottom - current->top < rowHeight) return row + " is cut: " + Box(*current);
        if (current->text != comboText) return row + " reads \"" + current->text + "\", not \"" + comboText + "\"";
        if (current->top < 0 || current->bottom > 1080) return row + " is off the screen: " + Box(*current);
        if (!Listed(listing, row + "#chosen") || chosenRows != 1)
            return row + " is not the one row marked as chosen (" + std::to_string(chosenRows) + " are)";
        // Drawn as chosen: its background differs from another row's.
        if (other) {
            const unsigned long mine = RootPixel(current->left + 3, current->CenterY());
            const unsigned long theirs = RootPixel(other->left + 3, other->CenterY());
            if (mine == theirs) return row + " is drawn like the other rows";
        }
        return "";
    }

    unsigned long RootPixel(int x, int y) {
        XImage* image =
            XGetImage(driver_->display(), DefaultRootWindow(driver_->display()), x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return 0;
        const unsigned long pixel = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return pixel;
    }

    // Texts of a listing drawn cut short or ended by an ellipsis.
    static std::vector<std::string> CutTexts(const std::vector<ProbeControl>& listing) {
        std::vector<std::string> cut;
        for (const ProbeControl& c : listing)
            if (c.name.size() >= 8 && c.name.compare(c.name.size() - 8, 8, "#textcut") == 0)
                cut.push_back(c.name + " \"" + c.text + "\" " + std::to_string(c.right - c.left) + " px wide");
        return cut;
    }

    // Everything of a listing that the user cannot see whole: controls cut
    // off and texts cut short.
    static std::vector<std::string> AnythingCut(const std::vector<ProbeControl>& listing) {
        std::vector<std::string> cut = CutTexts(listing);
        for (const ProbeControl& c : listing)
            if (c.name.size() > 4 && c.name.compare(c.name.size() - 4, 4, "#cut") == 0) cut.push_back(c.name);
        return cut;
    }

    // Opens the drop list of a combo and chooses the row of that text, with
    // the wheel bringing it into view as a user does. False when no row of
    // it showed.
    bool ChooseFromList(const std::string& combo, const std::string& text) {
        if (!Click(combo)) return false;
        std::optional<ProbeControl> row;
        std::vector<ProbeControl> drop;
        // A list shows a few of its rows: look for the drop window through any.
        const auto findDrop = [&] {
            for (int i = 0; i < 64 && drop.empty(); ++i)
                drop = FindProbeListing(*driver_, combo + "/" + std::to_string(i));
            return !drop.empty();
        };
        if (!Poll(findDrop, 10s)) return false;
        for (int turn = 0; turn < 64 && !row; ++turn) {
            drop.clear();
            if (!findDrop()) return false;
            for (const ProbeControl& c : drop)
                if (c.name.rfind(combo + "/", 0) == 0 && c.text == text && c.bottom - c.top > 4) row = c;
            if (row) break;
            const ProbeControl& any = drop.back();
            driver_->Click(any.CenterX(), any.CenterY(), 5);  // the wheel, a step down
        }
        if (!row) return false;
        driver_->Click(row->CenterX(), row->CenterY());
        return WaitForControl(
                   combo, [&](const ProbeControl& c) { return c.text == text; }, 10s)
            .has_value();
    }

    // Rests the pointer on each caption button in turn, waits for its tip
    // and returns what of the tips is cut (or the tips that did not show).
    std::vector<std::string> CutTooltips() {
        std::vector<std::string> cut;
        for (const char* button : {"gamemodebtn", "cloudbtn", "smarteyesbtn", "skinbtn", "setbtn", "minbtn"}) {
            const std::optional<ProbeControl> c = WaitForControl(button);
            if (!c) {
                cut.push_back(std::string(button) + " not shown");
                continue;
            }
            driver_->MoveTo(c->CenterX(), c->CenterY());
            std::vector<ProbeControl> tip;
            if (!Poll([&] { return !(tip = FindProbeListing(*driver_, "tooltip_text")).empty(); }, 10s)) {
                cut.push_back(std::string(button) + ": no tip");
                continue;
            }
            for (const std::string& s : AnythingCut(tip)) cut.push_back(std::string(button) + ": " + s);
            // Off the window (it stands in the middle of the screen) the tip goes.
            driver_->MoveTo(0, 0);
            if (!Poll([&] { return FindProbeListing(*driver_, "tooltip_text").empty(); }, 10s))
                cut.push_back(std::string(button) + ": the tip stays");
        }
        return cut;
    }

    bool ScreenEditorShown() { return !driver_->ViewableTopLevel("ScreenWnd").empty(); }

    // Every option group of the page shows one chosen option, and every drop
    // list opens at its current row.
    void CheckChoices() {
        const std::vector<std::string> groups = GroupsWithoutOneChoice();
        EXPECT_TRUE(groups.empty()) << "groups without one chosen option:" << Join(groups);
        const std::vector<std::string> lists = DropListsWithoutTheirRow();
        EXPECT_TRUE(lists.empty()) << "drop lists:" << Join(lists);
    }

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
            CheckChoices();
            const std::vector<std::string> texts = CutTexts(Probe());
            EXPECT_TRUE(texts.empty()) << "texts cut:" << Join(texts);
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

// The pages that a mode or a function brings, the colour picker and the
// caption buttons' tips show their texts whole.
TEST_F(DeviceTourTest, TextsShowWholeOnChosenPagesInThePickerAndInTips) {
    StartEmulator({"keyboard"});
    tavrik_ = StartTavrik("tavrik.log");
    ASSERT_TRUE(tavrik_->Started());
    ASSERT_NE(WaitForShownWindow(), 0u) << Log("tavrik.log");
    ASSERT_TRUE(Poll([&] { return ShowDevicePage("keyboard_device_page"); }, 60s)) << Log("tavrik.log");

    const std::vector<std::string> tips = CutTooltips();
    EXPECT_TRUE(tips.empty()) << "tooltips:" << Join(tips);

    // The music mode's colour choice.
    ASSERT_TRUE(Click("deng_Op_tab"));
    const bool music = ChooseFromList("light_combo_modeSelect", "Music");
    if (!music) Screenshot("tour_texts_mode");
    ASSERT_TRUE(music);
    ASSERT_TRUE(WaitForControl("audio_BkColor_check").has_value());
    EXPECT_TRUE(CutTexts(Probe()).empty()) << "music mode:" << Join(CutTexts(Probe()));
    if (HasFailure()) Screenshot("tour_texts_music");

    // The colour picker (of the screen editor's pen): its swatches whole and
    // in reach.
    ASSERT_TRUE(Click("screen_Op_tab"));
    ASSERT_TRUE(Click("Pen_Color_Opation"));
    std::vector<ProbeControl> picker;
    ASSERT_TRUE(Poll([&] { return !(picker = FindProbeListing(*driver_, "pallet_root")).empty(); }, 10s));
    EXPECT_TRUE(AnythingCut(picker).empty()) << "colour picker:" << Join(AnythingCut(picker));
    if (HasFailure()) Screenshot("tour_texts_picker");
    ASSERT_TRUE(Click("laterbtn"));
    ASSERT_TRUE(Poll([&] { return FindProbeListing(*driver_, "pallet_root").empty(); }, 10s));

    // The key picker of the keyboard-key function, for a key of the picture.
    ASSERT_TRUE(Click("key_Op_tab"));
    ASSERT_TRUE(Click("key_0"));
    const bool chosen = ChooseFromList("keyset_function_combo", "Keyboard key");
    if (!chosen) Screenshot("tour_texts_function");
    ASSERT_TRUE(chosen);
    ASSERT_TRUE(WaitForControl("keyboard_key_125").has_value());
    EXPECT_TRUE(CutTexts(Probe()).empty()) << "key picker:" << Join(CutTexts(Probe()));
    if (HasFailure()) Screenshot("tour_texts_keys");
}

}  // namespace
}  // namespace tavrik::test
