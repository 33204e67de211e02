// End to end, on a 1920 x 1080 screen (the program at 1.5 times): the
// commands of the keyboard page that act on the whole device, each clicked
// where the page shows it, whole and not cut off: the profile tools' restore
// of the defaults, the custom-colour mode's fill and clear of every key, the
// music mode's black background. And the keyboard page in Chinese: no tab
// keeps an English text.

#include "tests/e2e/tavrik_session.h"
#include "tests/e2e/emulator_record.h"
#include "tests/e2e/user_files.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;

constexpr uint8_t kWriteParams = 0x06;
constexpr uint8_t kWriteKeyMap = 0x09;
// Page modes (the keyboard's mode codes are the same numbers).
constexpr int kCustomMode = 19;
constexpr int kMusicMode = 21;
constexpr size_t kKeyMapEntries = 170;

// The default profile's lighting mode and music background, as shipped.
struct Defaults {
    int mode = -1;
    int background[3] = {-1, -1, -1};
};

Defaults ShippedDefaults() {
    Defaults d;
    const auto document = ReadJsonFile(std::filesystem::path(ProgramFolder()) / "DefaultData" / "keyboard.Json");
    if (!document) return d;
    const Json::Value& device = (*document)["Device"][0];
    d.mode = device["LightInfo"]["SelectItem"].asInt();
    d.background[0] = device["AudioLightInfo"]["BkColorR"].asInt();
    d.background[1] = device["AudioLightInfo"]["BkColorG"].asInt();
    d.background[2] = device["AudioLightInfo"]["BkColorB"].asInt();
    return d;
}

// A member of the selected profile's lighting record, or nothing.
std::optional<int> SavedLightValue(const char* record, const char* member) {
    const auto profile = ReadJsonFile(SelectedProfileFile());
    if (!profile) return std::nullopt;
    const Json::Value& value = (*profile)["Device"][0][record][member];
    return value.isInt() ? std::optional<int>(value.asInt()) : std::nullopt;
}

class PageCommandsTest : public TavrikSession {
protected:
    // The emulator's one-line answer that starts with `prefix` ("" without).
    std::string Peek(const std::string& command, const std::string& prefix) {
        for (const std::string& line : EmulatorCommand(command, prefix))
            if (line.rfind(prefix, 0) == 0) return line;
        return {};
    }
    std::vector<std::vector<uint8_t>> Reports() {
        return CommandReports(EmulatorCommand("record keyboard"), "keyboard");
    }

    // The program with the emulated keyboard, once the keyboard's page is
    // filled and its first block is written.
    void StartWithKeyboard() {
        StartEmulator({"keyboard"});
        StartProgram();
    }
    void StartProgram() {
        tavrik_ = StartTavrik("tavrik.log");
        ASSERT_TRUE(tavrik_->Started());
        ASSERT_NE(WaitForShownWindow(), 0u) << Log("tavrik.log");
        ASSERT_TRUE(WaitForControl("light_combo_modeSelect", [](const ProbeControl& c) { return !c.text.empty(); }))
            << Log("tavrik.log");
        ASSERT_TRUE(Poll([&] { return FindBracketed(Reports(), kWriteParams).has_value(); }, 30s)) << Log("tavrik.log");
        ASSERT_TRUE(Poll([] { return SavedLightValue("LightInfo", "SelectItem").has_value(); }, 30s))
            << SelectedProfileFile();
    }

    // The keyboard changes its own mode; the page follows and saves it.
    void SwitchKeyboardTo(int mode) {
        ASSERT_EQ(EmulatorCommand("light keyboard " + std::to_string(mode) + " 4 2"), std::vector<std::string>{"ok"});
        ASSERT_TRUE(Poll([&] { return SavedLightValue("LightInfo", "SelectItem") == mode; }, 30s))
            << SelectedProfileFile() << "\n"
            << Log("tavrik.log");
    }

    // Clicks a control once the page shows it whole: with room and not cut
    // off by its page.
    void ClickWhole(const std::string& name) {
        const auto shown = WaitForControl(name, [](const ProbeControl& c) { return c.right > c.left; });
        if (!shown) Screenshot("no_" + name);
        ASSERT_TRUE(shown) << name << " is not shown\n" << Log("tavrik.log");
        for (const ProbeControl& c : Probe()) EXPECT_NE(c.name, name + "#cut") << name << " is cut off";
        driver_->Click(shown->CenterX(), shown->CenterY());
    }

    // The entries of the keyboard's key map that hold a function.
    int AssignedKeys() {
        const std::string map = Peek("peek keyboard keymap", "keymap");
        int assigned = 0;
        for (size_t at = map.find(':'); at != std::string::npos; at = map.find(':', at + 1))
            assigned += map.compare(at + 1, 6, "000000") != 0;
        return assigned;
    }

    // The three colour edits of the music colours, as the page shows them.
    std::string MusicEdits() {
        std::map<std::string, std::string> texts;
        for (const ProbeControl& c : Probe()) texts[c.name] = c.text;
        return texts["deng_audioedit_R"] + " " + texts["deng_audioedit_G"] + " " + texts["deng_audioedit_B"];
    }
};

TEST_F(PageCommandsTest, RestoringTheDefaultsWritesTheDefaultKeyMapAndBlock) {
    const Defaults defaults = ShippedDefaults();
    ASSERT_GE(defaults.mode, 0);
    StartWithKeyboard();
    if (HasFatalFailure()) return;

    // Away from the defaults: another lighting mode in the profile, and keys
    // on the keyboard that do nothing.
    const int other = defaults.mode == 3 ? 4 : 3;
    SwitchKeyboardTo(other);
    if (HasFatalFailure()) return;
    ASSERT_EQ(EmulatorCommand("poke keyboard keymap 0 " + std::string(2 * 3 * kKeyMapEntries, '0')),
              std::vector<std::string>{"ok"});
    ASSERT_EQ(AssignedKeys(), 0);
    EmulatorCommand("clear keyboard");

    ClickWhole("profile_fun_spread_btn");
    ClickWhole("default_btn");
    ASSERT_TRUE(Click("confirm_btn")) << Log("tavrik.log");

    // The key map first, then the block with the default mode.
    std::vector<std::vector<uint8_t>> reports;
    std::optional<size_t> keyMap, block;
    ASSERT_TRUE(Poll(
        [&] {
            reports = Reports();
            keyMap = FindBracketed(reports, kWriteKeyMap);
            block = FindBracketed(reports, kWriteParams);
            return keyMap && block;
        },
        30s))
        <<
        [&] {
            std::string commands = "commands:";
            for (const auto& r : reports) commands += " " + std::to_string(r[3]);
            return commands;
        }()
        << "\n"
        << Log("tavrik.log");
    EXPECT_LT(*keyMap, *block);
    EXPECT_EQ(reports[*block][9], defaults.mode);  // block byte 1: the mode code
    // Every key of the keyboard has its default function again.
    EXPECT_GE(AssignedKeys(), 100) << Peek("peek keyboard keymap", "keymap");
    EXPECT_TRUE(Poll([&] { return SavedLightValue("LightInfo", "SelectItem") == defaults.mode; }, 30s));
}

TEST_F(PageCommandsTest, TheCustomColourButtonsLightEveryKeyAndTurnThemOff) {
    StartWithKeyboard();
    if (HasFatalFailure()) return;
    SwitchKeyboardTo(kCustomMode);
    if (HasFatalFailure()) return;

    // The colour the page fills with, and the keyboard's page of the custom
    // colour group shown.
    const std::string block = Peek("peek keyboard block 0", "block");
    std::smatch rgb, group;
    ASSERT_TRUE(std::regex_search(block, rgb, std::regex(R"( rgb (\d+) (\d+) (\d+) )"))) << block;
    ASSERT_TRUE(std::regex_search(block, group, std::regex(R"( group (\d+) )"))) << block;
    const std::vector<uint8_t> color = {uint8_t(std::stoi(rgb[1])), uint8_t(std::stoi(rgb[2])),
                                        uint8_t(std::stoi(rgb[3]))};
    const std::string colorsCommand = "peek keyboard colors " + group[1].str();
    // The keys' colours as triples (the unused tail of the page aside).
    auto triples = [&] {
        std::vector<std::vector<uint8_t>> out;
        const std::string line = Peek(colorsCommand, "colors");
        std::vector<uint8_t> bytes;
        for (size_t i = 7; i + 1 < line.size(); i += 2)
            bytes.push_back(uint8_t(std::stoi(line.substr(i, 2), nullptr, 16)));
        for (size_t i = 0; i + 2 < bytes.size() && i < 3 * 170; i += 3)
            out.push_back({bytes[i], bytes[i + 1], bytes[i + 2]});
        return out;
    };
    auto count = [](const std::vector<std::vector<uint8_t>>& all, const std::vector<uint8_t>& wanted) {
        return std::count(all.begin(), all.end(), wanted);
    };
    const std::vector<uint8_t> black = {0, 0, 0};

    ClickWhole("custom_bright_color_btn");
    std::vector<std::vector<uint8_t>> lit;
    EXPECT_TRUE(Poll(
        [&] {
            lit = triples();
            // Every key the keyboard has: the colour; the page's other
            // positions hold no key.
            return count(lit, color) >= 100 && count(lit, color) + count(lit, black) == long(lit.size());
        },
        30s))
        << Peek(colorsCommand, "colors");

    ClickWhole("custom_off_color_btn");
    EXPECT_TRUE(Poll(
        [&] {
            const auto off = triples();
            return !off.empty() && count(off, black) == long(off.size());
        },
        30s))
        << Peek(colorsCommand, "colors");
}

TEST_F(PageCommandsTest, TheBlackBackgroundButtonClearsTheMusicBackground) {
    const Defaults defaults = ShippedDefaults();
    ASSERT_NE(defaults.background[0] + defaults.background[1] + defaults.background[2], 0)
        << "the shipped background is black already";
    StartWithKeyboard();
    if (HasFatalFailure()) return;
    SwitchKeyboardTo(kMusicMode);
    if (HasFatalFailure()) return;

    // The colour controls show the background (chosen after the foreground,
    // so that the choice changes whatever was chosen before).
    ClickWhole("audio_FgColor_check");
    ClickWhole("audio_BkColor_check");
    const std::string shipped = std::to_string(defaults.background[0]) + " " + std::to_string(defaults.background[1]) +
                                " " + std::to_string(defaults.background[2]);
    ASSERT_TRUE(Poll([&] { return MusicEdits() == shipped; }, 30s)) << MusicEdits();

    ClickWhole("Close_bkColor_btn");
    EXPECT_TRUE(Poll([&] { return MusicEdits() == "0 0 0"; }, 30s)) << MusicEdits();
    // The profile keeps it (the music background is the profile's; the music
    // styles file does not hold one).
    EXPECT_TRUE(Poll(
        [] {
            return SavedLightValue("AudioLightInfo", "BkColorR") == 0 &&
                   SavedLightValue("AudioLightInfo", "BkColorG") == 0 &&
                   SavedLightValue("AudioLightInfo", "BkColorB") == 0;
        },
        30s))
        << SelectedProfileFile();
}

// The texts of a language file by key.
std::map<std::string, std::string> LanguageTexts(const std::string& file) {
    std::ifstream in(std::filesystem::path(ProgramFolder()) / "skin" / file);
    std::ostringstream xml;
    xml << in.rdbuf();
    const std::string text = xml.str();
    std::map<std::string, std::string> texts;
    const std::regex entry(R"re(<Text id="([^"]+)" value="([^"]*)"/>)re");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), entry); it != std::sregex_iterator(); ++it) {
        std::string value = (*it)[2].str();
        for (const auto& [escaped, plain] : std::vector<std::pair<std::string, std::string>>{
                 {"&apos;", "'"}, {"&quot;", "\""}, {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}}) {
            for (size_t at = value.find(escaped); at != std::string::npos; at = value.find(escaped, at + 1))
                value.replace(at, escaped.size(), plain);
        }
        texts[(*it)[1].str()] = value;
    }
    return texts;
}

std::string Trimmed(const std::string& s) {
    const size_t first = s.find_first_not_of(' ');
    const size_t last = s.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
}

// The English texts that the second language says otherwise, with a word of
// at least two letters.
std::set<std::string> EnglishOnlyTexts() {
    const auto english = LanguageTexts("lan_en.xml");
    const auto chinese = LanguageTexts("lan_cn.xml");
    std::set<std::string> only;
    const std::regex word("[A-Za-z]{2}");
    for (const auto& [key, value] : english) {
        const auto other = chinese.find(key);
        if (other == chinese.end() || other->second == value || !std::regex_search(value, word)) continue;
        only.insert(Trimmed(value));
    }
    return only;
}

// Whether `shown` is one of the English texts, or a text composed from one
// (a longer English text followed or preceded by a value).
bool IsEnglish(const std::string& shown, const std::set<std::string>& english) {
    const std::string text = Trimmed(shown);
    if (english.count(text) != 0) return true;
    for (const std::string& e : english)
        if (e.size() >= 6 && text.find(e) != std::string::npos) return true;
    return false;
}

TEST_F(PageCommandsTest, InChineseNoTabOfTheKeyboardPageKeepsAnEnglishText) {
    const std::set<std::string> english = EnglishOnlyTexts();
    ASSERT_GT(english.size(), 50u);
    StartWithKeyboard();
    if (HasFatalFailure()) return;
    // The system tab composes its delay text once before the switch.
    ASSERT_TRUE(Click("system_Op_tab"));
    ASSERT_TRUE(WaitForControl("repeat_delay_time_label1", [](const ProbeControl& c) { return !c.text.empty(); }));

    // Settings, the language list, its second row.
    ASSERT_TRUE(Click("setbtn")) << Log("tavrik.log");
    ASSERT_TRUE(Click("Language_combox_info")) << Log("tavrik.log");
    ASSERT_TRUE(Click("Language_combox_info/1")) << Log("tavrik.log");
    std::vector<Window> settings;
    ASSERT_TRUE(Poll([&] { return !(settings = driver_->ViewableTopLevel("SetWnd")).empty(); }, 30s));
    driver_->RequestClose(settings.front());
    ASSERT_TRUE(Poll([&] { return driver_->ViewableTopLevel("SetWnd").empty(); }, 30s));
    ASSERT_TRUE(WaitForControl("system_Op_tab", [](const ProbeControl& c) { return c.text == "系统"; }))
        << "the tabs did not change language";

    // What is not the program's text: the product's name and the user's
    // profile and macro names.
    const std::set<std::string> notProgramText = {"caption_title", "device_profile_combo", "device_profile_name_edit",
                                                  "macro_name_list", "macro_name_edit"};
    const std::vector<std::pair<std::string, std::string>> tabs = {{"deng_Op_tab", "LightControlItem"},
                                                                   {"key_Op_tab", "KeySetControlItem"},
                                                                   {"macro_Op_tab", "MacroControlItem"},
                                                                   {"system_Op_tab", "keyboard_system_page"},
                                                                   {"screen_Op_tab", "keyboard_screen_page"}};
    for (const auto& [tab, marker] : tabs) {
        SCOPED_TRACE(tab);
        ASSERT_TRUE(Click(tab));
        ASSERT_TRUE(WaitForControl(marker, [](const ProbeControl& c) { return c.right > c.left; }));
        // Two listings alike: the page has painted its texts.
        std::vector<ProbeControl> now = Probe(), before;
        Poll(
            [&] {
                before = now;
                now = Probe();
                if (now.size() != before.size()) return false;
                for (size_t i = 0; i < now.size(); ++i)
                    if (now[i].name != before[i].name || now[i].text != before[i].text) return false;
                return true;
            },
            10s);
        std::vector<std::string> left;
        for (const ProbeControl& c : now) {
            const std::string name = c.name.substr(0, c.name.find('/'));
            if (notProgramText.count(name) == 0 && IsEnglish(c.text, english)) left.push_back(c.name + ": " + c.text);
        }
        if (!left.empty()) Screenshot("english_left_" + tab);
        EXPECT_TRUE(left.empty()) << [&] {
            std::string all;
            for (const std::string& l : left) all += "\n  " + l;
            return all;
        }();
    }
}

}  // namespace
}  // namespace tavrik::test
