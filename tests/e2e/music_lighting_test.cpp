// End to end, music lighting: the real Tavrik with a keyboard in music mode
// and a private PulseAudio server. While the server is silent the keyboard's
// live colour frames (0x12) keep their background; each burst of sound
// played into the server lights keys in them, and they go dark again after it.

#include "tests/e2e/tavrik_session.h"
#include "tests/e2e/emulator_record.h"

#include <iostream>
#include <map>
#include <utility>
#include <vector>
#include <string>

#include "tests/support/pulse_server.h"

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;

constexpr uint8_t kStreamFrame = 0x12;
// 1875 Hz lies in a keyboard band (stereo values analysed interleaved: bin
// 20 of 1024 values at 48 kHz).
constexpr double kToneHz = 1875;
// Loud: the change from a sounding piece to a silent one raises the band's
// level far past what lights the lowest key of its bar (about 340), whatever
// the length of the captured packets.
constexpr double kBurstAmplitude = 2000;
constexpr double kBurstSeconds = 1;
constexpr int kBursts = 4;

// The live frame packets in the order they came: each one's offset in the
// key frame (bytes 5 and 6) and its payload.
using Frames = std::vector<std::pair<int, std::vector<uint8_t>>>;

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

    // The live frames since the last call (the record is emptied in the
    // step that reads it, so each answer stays short and none is lost).
    Frames TakeFrames() {
        Frames frames;
        for (const auto& report : CommandReports(EmulatorCommand("take keyboard"), "keyboard")) {
            if (report[3] != kStreamFrame) continue;
            frames.emplace_back(report[5] | (report[6] << 8),
                                std::vector<uint8_t>(report.begin() + 8, report.begin() + 8 + report[4]));
        }
        return frames;
    }

    // A packet that differs from its part of the key frame in silence.
    static bool IsLit(const std::map<int, std::vector<uint8_t>>& background, int offset,
                      const std::vector<uint8_t>& payload) {
        const auto known = background.find(offset);
        return known != background.end() && known->second != payload;
    }

    std::unique_ptr<PrivatePulseServer> server_;
    std::unique_ptr<SpawnedProcess> player_;
};

TEST_F(MusicLightingTest, EachBurstOfSoundPlayedOnThePcLightsKeysInTheLiveFrames) {
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

    // The capture starts when a keyboard enters music mode: sound played
    // before its first packet reaches the program would go unheard.
    ASSERT_TRUE(WaitForLogMatch("tavrik.log", "audio capture: packets arrive"))
        << "the program hears nothing from the sound server\n"
        << Log("tavrik.log");
    ASSERT_TRUE(server_->Recording());

    // 2. Silence keeps every frame on its background.
    Frames quiet;
    Poll(
        [&] {
            const Frames more = TakeFrames();
            quiet.insert(quiet.end(), more.begin(), more.end());
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

    // 3. Every burst of sound lights keys. The levels follow the change
    //    between successive spectra, so a steady tone would light keys only
    //    as it starts and stops; a chopped tone changes its spectrum all
    //    along, so each burst keeps lighting keys for as long as it is heard.
    //    Each burst is played once the keys are dark again after the one
    //    before, so that its lit frames are its own.
    const auto wav = folder_ / "burst.wav";
    WriteChoppedToneWav(wav, kToneHz, kBurstAmplitude, kBurstSeconds, 7);
    for (int burst = 0; burst < kBursts; ++burst) {
        SCOPED_TRACE("burst " + std::to_string(burst + 1) + " of " + std::to_string(kBursts));
        player_ = std::make_unique<SpawnedProcess>(std::vector<std::string>{FindProgram("paplay"), wav.string()},
                                                   std::vector<std::string>{"PULSE_SERVER=" + server_->Address()});
        ASSERT_TRUE(player_->Started());
        size_t litFrames = 0;
        ASSERT_TRUE(Poll(
            [&] {
                for (const auto& [offset, payload] : TakeFrames()) litFrames += IsLit(background, offset, payload);
                return litFrames > 0;
            },
            60s))
            << "no lit frame; the player " << (player_->Running() ? "still plays" : "has ended") << "\n"
            << Log("tavrik.log");
        EXPECT_EQ(player_->Wait(), 0);
        player_.reset();
        // Dark again: a run of frames at their background, long enough to
        // cover every part of the key frame several times.
        size_t darkRun = 0;
        ASSERT_TRUE(Poll(
            [&] {
                for (const auto& [offset, payload] : TakeFrames()) {
                    if (IsLit(background, offset, payload)) {
                        ++litFrames;
                        darkRun = 0;
                    } else {
                        ++darkRun;
                    }
                }
                return darkRun >= 4 * background.size();
            },
            60s))
            << "the keys stay lit after the burst";
        std::cout << "burst " << burst + 1 << ": " << litFrames << " lit frame packets\n";
    }
    Screenshot("music_lighting");
}

}  // namespace
}  // namespace tavrik::test
