// End to end with a headset and a mouse pad: both get their pages in the
// real Tavrik, a lighting mode picked on the headset's page reaches the
// emulated headset as its light block and as the LED frames the program
// streams to it, an equaliser preset and the virtual 7.1 switch reach its
// audio chip, and the pad's page fills its own mode list.

#include "tests/e2e/tavrik_session.h"
#include "tests/e2e/emulator_record.h"

#include <json/json.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <set>
#include <sstream>

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kModeCombo = "light_combo_modeSelect";

// The values the installed light-name lists give the mode called `name`.
std::set<int> ModeValuesNamed(const std::string& name) {
    std::set<int> values;
    std::ifstream in(std::filesystem::path(ProgramFolder()) / "DefaultData" / "default_light.json");
    Json::Value root;
    Json::CharReaderBuilder builder;
    std::string errors;
    if (!in || !Json::parseFromStream(builder, in, &root, &errors)) return values;
    for (const Json::Value& list : root["DefaultLightName"])
        for (const Json::Value& entry : list)
            if (entry["LightName"].asString() == name) values.insert(entry["value"].asInt());
    return values;
}

// The last LED frame the headset took: "leds frames N errors E RRGGBB ...".
struct LedFrame {
    int frames = -1;
    std::vector<std::string> leds;

    bool Uniform() const {
        return leds.size() == 13 && std::all_of(leds.begin(), leds.end(), [&](const auto& l) { return l == leds[0]; });
    }
};

class HeadsetAndPadTest : public TavrikSession {
protected:
    LedFrame HeadsetLeds() {
        LedFrame frame;
        const std::vector<std::string> answer = EmulatorCommand("peek headset leds", "leds frames");
        if (answer.empty()) return frame;
        std::istringstream words(answer.back());
        std::string word, errors;
        int errorCount = 0;
        if (!(words >> word >> word >> frame.frames >> errors >> errorCount)) return LedFrame{};
        for (std::string led; words >> led;) frame.leds.push_back(led);
        return frame;
    }

    // Opens the mode list and picks the row showing `text`; the pick counts
    // once the combo shows it.
    ::testing::AssertionResult PickMode(const std::string& text) {
        if (!Click(kModeCombo)) return ::testing::AssertionFailure() << "no mode list to open";
        std::optional<ProbeControl> row;
        std::string seen;
        Poll(
            [&] {
                seen.clear();
                for (int m = 0; m < 40 && !row; ++m) {
                    const auto c = FindProbeControl(*driver_, std::string(kModeCombo) + "/" + std::to_string(m));
                    if (c) seen += " " + std::to_string(m) + ":" + c->text;
                    if (c && c->text == text && c->bottom - c->top >= 10) row = c;
                }
                return row.has_value();
            },
            30s);
        if (!row) return ::testing::AssertionFailure() << "no row \"" << text << "\" in the open list:" << seen;
        driver_->Click(row->CenterX(), row->CenterY());
        if (!WaitForControl(kModeCombo, [&](const ProbeControl& c) { return c.text == text; })) {
            const auto combo = FindProbeControl(*driver_, kModeCombo);
            const auto stillOpen = FindProbeControl(*driver_, std::string(kModeCombo) + "/0");
            return ::testing::AssertionFailure()
                   << "the pick of \"" << text << "\" did not reach the combo: it shows \""
                   << (combo ? combo->text : std::string("(no combo)")) << "\", the list is "
                   << (stillOpen ? "still open" : "closed") << ", the click was at " << row->CenterX() << ","
                   << row->CenterY();
        }
        return ::testing::AssertionSuccess();
    }

    // The chip property's value as the emulator's audio chip holds it.
    std::optional<int> ChipValue(const std::string& property) {
        const std::vector<std::string> answer = EmulatorCommand("chip headset get " + property, "ok");
        const std::string prefix = "ok " + property + " ";
        if (answer.empty() || answer.back().rfind(prefix, 0) != 0) return std::nullopt;
        return std::stoi(answer.back().substr(prefix.size()));
    }

    // The main window's device entries, left to right.
    std::vector<ProbeControl> DeviceEntries() {
        std::vector<ProbeControl> entries;
        if (const Window main = FindMainWindow())
            for (const ProbeControl& c : ReadUiProbe(*driver_, main))
                if (c.name == "device_select" && c.right > c.left) entries.push_back(c);
        std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.left < b.left; });
        return entries;
    }
};

TEST_F(HeadsetAndPadTest, BothPagesShowAndTheHeadsetTakesLightingEqualiserAndSurround) {
    const std::set<int> staticValues = ModeValuesNamed("lamp_mode_static");
    ASSERT_FALSE(staticValues.empty());
    StartEmulator({"headset", "mousepad"});
    tavrik_ = StartTavrik("tavrik.log", {{"TAVRIK_HEADSET_IDS", kHeadsetIds}});
    ASSERT_TRUE(tavrik_->Started());
    ASSERT_NE(WaitForShownWindow(), 0u) << Log("tavrik.log");

    // 1. Both devices are listed; the headset's page comes first.
    ASSERT_TRUE(Poll([&] { return DeviceEntries().size() == 2; }, 60s)) << Log("tavrik.log");
    ASSERT_TRUE(WaitForControl("hs6533_device_page")) << Log("tavrik.log");
    ASSERT_TRUE(WaitForControl(kModeCombo, [](const ProbeControl& c) { return !c.text.empty(); })) << Log("tavrik.log");

    // 2. "Static": begin, the headset's 21-byte block of profile 0 with the
    //    mode's code, end; and the LEDs all take one colour.
    ASSERT_EQ(EmulatorCommand("clear headset"), std::vector<std::string>{"ok"});
    ASSERT_TRUE(PickMode("Static")) << Log("tavrik.log");
    std::vector<std::vector<uint8_t>> reports;
    std::optional<size_t> block;
    ASSERT_TRUE(Poll(
        [&] {
            reports = CommandReports(EmulatorCommand("record headset"), "headset");
            block = FindBracketed(reports, 0x06);
            return block.has_value();
        },
        30s))
        << Log("tavrik.log");
    const std::vector<uint8_t>& write = reports[*block];
    EXPECT_EQ(write[4], 21);                   // length
    EXPECT_EQ(write[5] | (write[6] << 8), 0);  // offset: profile 0
    EXPECT_TRUE(staticValues.count(write[9])) << int(write[9]);
    for (size_t i = *block - 1; i <= *block + 1; ++i) EXPECT_TRUE(ChecksumValid(reports[i])) << i;

    const int framesBefore = HeadsetLeds().frames;
    LedFrame frame;
    EXPECT_TRUE(Poll(
        [&] {
            frame = HeadsetLeds();
            return frame.frames > framesBefore + 2 && frame.Uniform();
        },
        30s))
        << "frames " << frame.frames << " after " << framesBefore;

    // 3. "Wave" moves colours across the LEDs.
    ASSERT_TRUE(PickMode("Wave")) << Log("tavrik.log");
    EXPECT_TRUE(Poll(
        [&] {
            frame = HeadsetLeds();
            return frame.leds.size() == 13 && !frame.Uniform();
        },
        30s))
        << "frames " << frame.frames;

    // 4. The second equaliser preset reaches the chip's ten bands.
    ASSERT_TRUE(Click("6533_voice_Op_tab"));
    ASSERT_TRUE(Click("6533_eq_option_2"));
    constexpr std::array<int, 10> kRock{7, 11, 6, -3, -11, -1, 6, 13, 6, 13};
    std::array<int, 10> bands{};
    EXPECT_TRUE(Poll(
        [&] {
            for (size_t k = 0; k < bands.size(); ++k)
                bands[k] = ChipValue("EQ_Slider" + std::to_string(k + 1)).value_or(-99);
            return bands == kRock;
        },
        30s))
        << Log("tavrik.log");
    EXPECT_EQ(ChipValue("Enable_EQ_GFX"), 1);

    // 5. The 7.1 tab's switch turns the chip's virtual surround on and off.
    ASSERT_EQ(ChipValue("VirtualSurroundEffectControl"), 0);
    ASSERT_TRUE(Click("Virtual7.1_Op_tab"));
    for (const int expected : {1, 0}) {
        ASSERT_TRUE(Click("virtual_surround_option"));
        EXPECT_TRUE(Poll([&] { return ChipValue("VirtualSurroundEffectControl") == expected; }, 30s))
            << "surround " << expected << "\n"
            << Log("tavrik.log");
    }

    // 6. The pad's page, with its own mode list filled.
    const std::vector<ProbeControl> entries = DeviceEntries();
    ASSERT_EQ(entries.size(), 2u);
    driver_->Click(entries[1].CenterX(), entries[1].CenterY());
    EXPECT_TRUE(WaitForControl("mousepad_device_page")) << Log("tavrik.log");
    EXPECT_TRUE(WaitForControl(kModeCombo, [](const ProbeControl& c) { return !c.text.empty(); })) << Log("tavrik.log");
    Screenshot("headset_and_pad");
}

}  // namespace
}  // namespace tavrik::test
