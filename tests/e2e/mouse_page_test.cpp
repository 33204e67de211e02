// End to end: the real Tavrik against the emulated mouse in its own process.
// The mouse gets its page, and its connection reads the information block
// and the default key table in one session and nothing else.

#include "tests/e2e/tavrik_session.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <json/json.h>

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;

// The command bytes of the 64-byte command reports the mouse received, one per
// transfer (the packets of a paged transfer follow each other), link queries
// left out.
std::vector<int> Commands(const std::vector<std::string>& answer) {
    std::vector<int> commands;
    const std::string prefix = "record mouse ";
    int lastOffsetEnd = -1;
    for (const std::string& line : answer) {
        if (line.rfind(prefix, 0) != 0) continue;
        const std::string hex = line.substr(prefix.size());
        if (hex.size() != 128 || hex.substr(0, 2) != "04") continue;
        const int command = std::stoi(hex.substr(6, 2), nullptr, 16);
        const int count = std::stoi(hex.substr(8, 2), nullptr, 16);
        const int offset = std::stoi(hex.substr(10, 2), nullptr, 16) | std::stoi(hex.substr(12, 2), nullptr, 16) << 8;
        if (command == 0xAA) continue;
        const bool continues =
            !commands.empty() && commands.back() == command && offset == lastOffsetEnd && offset != 0;
        if (!continues) commands.push_back(command);
        lastOffsetEnd = offset + count;
    }
    return commands;
}

using MousePageTest = TavrikSession;

TEST_F(MousePageTest, AMouseGetsItsPageAndItsConnectionReadsItsTables) {
    StartEmulator({"mouse"});
    tavrik_ = StartTavrik("tavrik.log");
    ASSERT_TRUE(tavrik_->Started());
    ASSERT_NE(WaitForShownWindow(), 0u) << Log("tavrik.log");
    ASSERT_TRUE(WaitForControl("mouse_device_key_light")) << Log("tavrik.log");

    std::vector<int> commands;
    ASSERT_TRUE(Poll(
        [&] {
            commands = Commands(EmulatorCommand("record mouse"));
            return commands.size() >= 4;
        },
        30s))
        << Log("tavrik.log");
    const std::vector<int> connect = {0x01, 0x03, 0x07, 0x02};
    EXPECT_EQ(std::vector<int>(commands.begin(), commands.begin() + 4), connect);
    // No parameter block is read or written by the connection.
    for (int c : commands) {
        EXPECT_NE(c, 0x05);
        EXPECT_NE(c, 0x06);
    }
}

// The DPI position a stage's edit shows, turned back as the emulated mouse's
// scale does (50 DPI per position from 50, 200 per position past 48).
int PositionOfShownDpi(const std::string& text) {
    const int dpi = std::stoi(text);
    constexpr int kStep = 50, kBase = 50, kFine = 48;
    if (dpi > kStep * kFine + kBase) return kFine + (dpi - kStep * kFine - kBase) / 200;
    return (dpi - kBase) / kStep;
}

// Stage `stage`'s X value in block 0 of the emulator's parameter space (the
// stages start at byte 14, 9 bytes each, X at their bytes 2..3), or -1.
int StageX(const std::vector<std::string>& answer, int stage) {
    const std::string prefix = "peek mouse params ";
    for (const std::string& line : answer) {
        if (line.rfind(prefix, 0) != 0) continue;
        const std::string hex = line.substr(prefix.size());
        const size_t at = size_t(14 + 9 * stage + 2) * 2;
        if (hex.size() < at + 4) return -1;
        return std::stoi(hex.substr(at, 2), nullptr, 16) | std::stoi(hex.substr(at + 2, 2), nullptr, 16) << 8;
    }
    return -1;
}

TEST_F(MousePageTest, ADpiSliderDragLandsInTheMousesBlock) {
    StartEmulator({"mouse"});
    tavrik_ = StartTavrik("tavrik.log");
    ASSERT_TRUE(tavrik_->Started());
    ASSERT_NE(WaitForShownWindow(), 0u) << Log("tavrik.log");
    ASSERT_TRUE(Poll([&] { return Commands(EmulatorCommand("record mouse")).size() >= 4; }, 30s)) << Log("tavrik.log");
    const size_t before = Commands(EmulatorCommand("record mouse")).size();

    // The System tab shows the DPI stages.
    ASSERT_TRUE(Click("system_Op_tab")) << Log("tavrik.log");
    const auto slider = WaitForControl("DPI_slider_1", [](const ProbeControl& c) { return c.right - c.left > 100; });
    ASSERT_TRUE(slider) << Log("tavrik.log");
    const int y = slider->CenterY();
    driver_->MoveTo(slider->left + 3, y);
    driver_->Press(1);
    for (int x = slider->left + 10; x <= slider->left + (slider->right - slider->left) / 3; x += 10)
        driver_->MoveTo(x, y);
    driver_->Release(1);

    // Begin, the block, end; the page's status polls (0x1A) may come between
    // the drag and the write but not inside the bracket.
    std::vector<int> commands;
    const auto bracketed = [&] {
        for (size_t i = before; i + 2 < commands.size(); ++i)
            if (commands[i] == 0x01 && commands[i + 1] == 0x06 && commands[i + 2] == 0x02) return true;
        return false;
    };
    EXPECT_TRUE(Poll(
        [&] {
            commands = Commands(EmulatorCommand("record mouse"));
            return bracketed();
        },
        30s))
        << ::testing::PrintToString(commands) << Log("tavrik.log");
    // The block written holds the position the stage's edit shows. A drag
    // may write more than once, and the edit's new text reaches the probe
    // with the next paint: both are read again until they agree.
    std::vector<std::string> block;
    std::string shown;
    int position = -1;
    EXPECT_TRUE(Poll(
        [&] {
            const auto edit = FindProbeControl(*driver_, "DPI_edit_1");
            if (!edit || edit->text.empty()) return false;
            shown = edit->text;
            position = PositionOfShownDpi(shown);
            block = EmulatorCommand("peek mouse params 0 71");
            return position > 0 && StageX(block, 1) == position;
        },
        30s))
        << shown << " " << ::testing::PrintToString(block);
}

// The recoil table the emulator decoded from the default guns beside the
// program, as `peek mouse shoot` prints it: "shoot 4", then each gun's steps
// in brackets, a step as its delay (low, high), its type (0x80: pressed) and
// its amount.
std::string ExpectedShootText() {
    std::string text = "shoot 4";
    for (int gun = 0; gun < 4; ++gun) {
        std::ifstream in(std::string(TAVRIK_BIN_DIR) + "/DefaultData/ShootData_" + std::to_string(gun) + ".Shoot");
        Json::Value doc;
        in >> doc;
        const Json::Value& events = doc["Events"];
        EXPECT_EQ(events.size(), 180u) << gun;
        text += " [";
        for (Json::ArrayIndex i = 0; i < events.size(); ++i) {
            const Json::Value& e = events[i];
            const int delay = e["Delay"].asInt();
            const int type = e["Type"].asInt() | (e["Action"].asString() == "down" ? 0x80 : 0);
            char step[16];
            std::snprintf(step, sizeof step, "%02x%02x%02x%02x", delay & 0xFF, (delay >> 8) & 0xFF, type & 0xFF,
                          e["Button"].asInt() & 0xFF);
            text += (i ? " " : "") + std::string(step);
        }
        text += "]";
    }
    return text;
}

TEST_F(MousePageTest, TheRecoilSaveButtonSendsTheDefaultGuns) {
    StartEmulator({"mouse"});
    tavrik_ = StartTavrik("tavrik.log");
    ASSERT_TRUE(tavrik_->Started());
    ASSERT_NE(WaitForShownWindow(), 0u) << Log("tavrik.log");
    ASSERT_TRUE(Poll([&] { return Commands(EmulatorCommand("record mouse")).size() >= 4; }, 30s)) << Log("tavrik.log");
    const size_t before = Commands(EmulatorCommand("record mouse")).size();

    ASSERT_TRUE(Click("cursor_Op_tab")) << Log("tavrik.log");
    const auto save = WaitForControl("shootdate_save_btn", [](const ProbeControl& c) { return c.right - c.left > 0; });
    if (!save) Screenshot("recoil_tab");
    ASSERT_TRUE(save) << Log("tavrik.log");
    ASSERT_TRUE(Click("shootdate_save_btn")) << Log("tavrik.log");

    // A fresh information read, then the table in one session; it is read
    // back once the session has ended. The page's status polls (0x1A) may
    // come in between and are left out.
    std::vector<int> commands;
    EXPECT_TRUE(Poll(
        [&] {
            commands.clear();
            const std::vector<int> all = Commands(EmulatorCommand("record mouse"));
            for (size_t i = before; i < all.size(); ++i)
                if (all[i] != 0x1A) commands.push_back(all[i]);
            return commands.size() >= 4 &&
                   std::vector<int>(commands.begin(), commands.begin() + 4) == std::vector<int>{0x03, 0x01, 0x17, 0x02};
        },
        30s))
        << ::testing::PrintToString(commands) << Log("tavrik.log");
    std::string decoded;
    for (const std::string& line : EmulatorCommand("peek mouse shoot", "shoot"))
        if (line.rfind("shoot ", 0) == 0) decoded = line;
    EXPECT_EQ(decoded, ExpectedShootText());
}

}  // namespace
}  // namespace tavrik::test
