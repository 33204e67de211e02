// End to end, the road of one request through the whole program: the user
// picks a lighting mode in the real Tavrik (XTest, at the place the UI probe
// names), the emulated keyboard in its own process receives begin, the
// profile block and end, the profile file keeps the mode, and a restarted
// Tavrik shows it again.

#include "tests/e2e/tavrik_session.h"
#include "tests/e2e/emulator_record.h"
#include "tests/e2e/user_files.h"

#include <cstdint>
#include <optional>

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kModeCombo = "light_combo_modeSelect";

std::optional<int> SavedMode() {
    const auto profile = ReadJsonFile(SelectedProfileFile());
    if (!profile) return std::nullopt;
    const Json::Value& mode = (*profile)["Device"][0]["LightInfo"]["SelectItem"];
    return mode.isInt() ? std::optional<int>(mode.asInt()) : std::nullopt;
}

// Entry i of the installed light-name file's mode-value list.
std::vector<int> ModeValues() {
    std::vector<int> values;
    if (const auto names =
            ReadJsonFile(std::filesystem::path(ProgramFolder()) / "DefaultData" / "default_light.json")) {
        for (const Json::Value& entry : (*names)["DefaultLightName"][0]) values.push_back(entry["value"].asInt());
    }
    return values;
}

using RoadOfOneRequestTest = TavrikSession;

TEST_F(RoadOfOneRequestTest, road_of_one_request) {
    const std::vector<int> values = ModeValues();
    ASSERT_FALSE(values.empty());
    StartEmulator({"keyboard"});
    tavrik_ = StartTavrik("tavrik.log");
    ASSERT_TRUE(tavrik_->Started());
    ASSERT_NE(WaitForShownWindow(), 0u) << Log("tavrik.log");

    // 1. The lighting page, filled by the keyboard's connect sequence (which
    //    the probe shows only once it has finished and the page is painted).
    const auto combo = WaitForControl(kModeCombo, [](const ProbeControl& c) { return !c.text.empty(); });
    ASSERT_TRUE(combo) << Log("tavrik.log");
    ASSERT_TRUE(Poll([] { return SavedMode().has_value(); }, 30s)) << SelectedProfileFile();
    const int current = *SavedMode();
    ASSERT_EQ(EmulatorCommand("clear keyboard"), std::vector<std::string>{"ok"});

    // 2. Open the list and pick a mode M that differs from the current one
    //    and that the keyboard takes as its own mode code.
    ASSERT_TRUE(Click(kModeCombo));
    std::optional<ProbeControl> row;
    int mode = -1;
    ASSERT_TRUE(Poll(
        [&] {
            for (int m = 0; m < static_cast<int>(values.size()); ++m) {
                if (m == current || values[m] == 21 || values[m] == 22) continue;
                const auto shown = FindProbeControl(*driver_, std::string(kModeCombo) + "/" + std::to_string(m));
                if (shown && shown->bottom - shown->top >= 10) {
                    row = shown;
                    mode = m;
                    return true;
                }
            }
            return false;
        },
        30s))
        << "no row of the mode list was shown";
    driver_->Click(row->CenterX(), row->CenterY());

    // 3. Begin, the 49-byte block of profile 0 with M's mode code, end.
    std::vector<std::vector<uint8_t>> reports;
    size_t block = 0;
    ASSERT_TRUE(Poll(
        [&] {
            reports = CommandReports(EmulatorCommand("record keyboard"), "keyboard");
            for (block = 0; block < reports.size(); ++block) {
                if (reports[block][3] == 0x06) return block + 1 < reports.size();
            }
            return false;
        },
        30s))
        << Log("tavrik.log");
    ASSERT_GE(block, 1u);
    const std::vector<uint8_t>& begin = reports[block - 1];
    const std::vector<uint8_t>& write = reports[block];
    const std::vector<uint8_t>& end = reports[block + 1];
    EXPECT_EQ(begin[3], 0x01);
    EXPECT_EQ(write[4], 49);                   // length
    EXPECT_EQ(write[5] | (write[6] << 8), 0);  // offset: profile 0
    EXPECT_EQ(write[9], values[mode]);         // block byte 1: M's mode code
    EXPECT_EQ(end[3], 0x02);
    for (const auto* report : {&begin, &write, &end}) EXPECT_TRUE(ChecksumValid(*report));

    // 4. The profile file keeps M.
    EXPECT_TRUE(Poll([&] { return SavedMode() == mode; }, 30s)) << SelectedProfileFile();

    // 5. A close from outside ends the program cleanly.
    EXPECT_EQ(ChildProcess("tavrik-post", {"--title", kMainWindowTitle, "--message", "0x10"}, {},
                           (folder_ / "post.log").string())
                  .Wait(30s),
              0)
        << Log("post.log");
    EXPECT_EQ(tavrik_->Wait(30s), 0) << Log("tavrik.log");

    // 6. Started again against the same keyboard, the combo shows M.
    tavrik_ = StartTavrik("restart.log");
    ASSERT_TRUE(tavrik_->Started());
    EXPECT_TRUE(WaitForControl(kModeCombo, [&](const ProbeControl& c) { return c.text == row->text; }))
        << "expected \"" << row->text << "\"\n"
        << Log("restart.log");
}

}  // namespace
}  // namespace tavrik::test
