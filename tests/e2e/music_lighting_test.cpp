// End to end, music lighting: the real Tavrik with a keyboard in music mode
// and a private PulseAudio server. While the server is silent the keyboard's
// live colour frames (0x12) keep their background; a tone played into the
// server lights keys in them.

#include "tests/e2e/tavrik_session.h"
#include "tests/e2e/emulator_record.h"

#include <map>

#include "tests/support/pulse_server.h"

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;

constexpr uint8_t kStreamFrame = 0x12;
// 1875 Hz lies in a keyboard band (stereo values analysed interleaved: bin
// 20 of 1024 values at 48 kHz).
constexpr double kToneHz = 1875;

// The payload of each live frame packet, by its offset (bytes 5 and 6).
using Frames = std::multimap<int, std::vector<uint8_t>>;

class MusicLightingTest : public TavrikSession {
protected:
    void SetUp() override {
        TavrikSession::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_TRUE(PrivatePulseServer::Installed()) << "pulseaudio and paplay are missing: run tools/setup";
        server_ = std::make_unique<PrivatePulseServer>(folder_ / "pulse");
        ASSERT_TRUE(server_->Serving()) << "pulseaudio did not start";
    }
    void TearDown() override {
        player_.reset();
        TavrikSession::TearDown();
        server_.reset();
    }

    // The live frames since the last call (the record is emptied as it is
    // read, so each answer stays short).
    Frames TakeFrames() {
        Frames frames;
        for (const auto& report : CommandReports(EmulatorCommand("record keyboard"), "keyboard")) {
            if (report[3] != kStreamFrame) continue;
            frames.emplace(report[5] | (report[6] << 8),
                           std::vector<uint8_t>(report.begin() + 8, report.begin() + 8 + report[4]));
        }
        EmulatorCommand("clear keyboard");
        return frames;
    }

    std::unique_ptr<PrivatePulseServer> server_;
    std::unique_ptr<SpawnedProcess> player_;
};

TEST_F(MusicLightingTest, ATonePlayedOnThePcLightsKeysInTheLiveFrames) {
    StartEmulator({"keyboard"});
    tavrik_ = StartTavrik("tavrik.log", {{"PULSE_SERVER", server_->Address()}});
    ASSERT_TRUE(tavrik_->Started());
    ASSERT_NE(WaitForShownWindow(), 0u) << Log("tavrik.log");
    ASSERT_TRUE(WaitForControl("light_combo_modeSelect", [](const ProbeControl& c) { return !c.text.empty(); }))
        << Log("tavrik.log");

    // 1. The keyboard switches itself to music mode; the program follows and
    //    streams frames.
    ASSERT_EQ(EmulatorCommand("light keyboard 21 4 2"), std::vector<std::string>{"ok"});
    std::map<int, std::vector<uint8_t>> background;
    ASSERT_TRUE(Poll(
        [&] {
            for (const auto& [offset, payload] : TakeFrames()) background[offset] = payload;
            return background.size() >= 3;
        },
        60s))
        << Log("tavrik.log");

    // 2. Silence keeps every frame on its background.
    Frames quiet;
    Poll(
        [&] {
            quiet.merge(TakeFrames());
            return quiet.size() >= 50;
        },
        10s);
    ASSERT_FALSE(quiet.empty());
    for (const auto& [offset, payload] : quiet) {
        if (background.count(offset))
            EXPECT_EQ(payload, background[offset]) << "offset " << offset;
        else
            background[offset] = payload;
    }

    // 3. A tone lights keys: some frame leaves its background.
    const auto wav = folder_ / "tone.wav";
    // The tone lasts as long as the wait: on a loaded machine the capture can
    // take a while to hear it.
    WriteToneWav(wav, kToneHz, 3000, 100);
    player_ = std::make_unique<SpawnedProcess>(std::vector<std::string>{FindProgram("paplay"), wav.string()},
                                               std::vector<std::string>{"PULSE_SERVER=" + server_->Address()});
    ASSERT_TRUE(player_->Started());
    bool lit = false;
    EXPECT_TRUE(Poll(
        [&] {
            for (const auto& [offset, payload] : TakeFrames()) {
                const auto known = background.find(offset);
                if (known != background.end() && known->second != payload) lit = true;
            }
            return lit;
        },
        100s))
        << "the player " << (player_->Running() ? "still plays" : "has ended") << "\n"
        << Log("tavrik.log");
    Screenshot("music_lighting");
}

}  // namespace
}  // namespace tavrik::test
