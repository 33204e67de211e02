#include "keyboard/audio/audio_recor_impl.h"

#include <gtest/gtest.h>

#include <ostream>
#include <cstdlib>
#include <string>

#include "capture_test_support.h"

namespace {

struct CommandCase {
    const char* name;
    std::int32_t magic;
    std::uint32_t type;
    bool starts;
};

// Tests name the case in their messages, not its bytes.
void PrintTo(const CommandCase& c, std::ostream* out) { *out << c.name; }

class AudioCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(AudioCommand, StartsOnlyForTheMagicNumberAndTypeOne) {
    const CommandCase& c = GetParam();
    audio_test::SimCapture sim;
    sim.manager.SetTargetWindow(nullptr);
    CAudioRecorImpl command(sim.manager);
    command.Command(c.magic, 0, reinterpret_cast<std::intptr_t>(sim.target.Handle()));
    command.Command(c.magic, c.type, 0);
    EXPECT_EQ(sim.manager.IsRunning(), c.starts);
    if (c.starts) {
        EXPECT_EQ(sim.manager.TargetWindow(), sim.target.Handle());
        ASSERT_TRUE(sim.AwaitSpectra(1));
        ASSERT_FALSE(sim.target.blocks.empty());
        EXPECT_EQ(sim.target.blocks.front().code, COPYDATA_CAPTURE_STARTED) << "told before the first spectrum";
        EXPECT_EQ(sim.target.blocks.front().values.size(), kSpectrumBins);
    } else if (c.magic != CAudioRecorImpl::kMagic) {
        EXPECT_EQ(sim.manager.TargetWindow(), nullptr) << "another magic number sets no window either";
        EXPECT_TRUE(sim.target.blocks.empty());
    }
    if (!c.starts) {
        audio_test::PumpPending();
        EXPECT_EQ(sim.server->ConnectAttempts(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, AudioCommand,
    ::testing::Values(CommandCase{"start", 9963, 1, true}, CommandCase{"start_high_bits", 9963, 0x20001, true},
                      CommandCase{"other_magic", 9962, 1, false}, CommandCase{"zero_magic", 0, 1, false},
                      CommandCase{"negative_magic", -9963, 1, false}, CommandCase{"type_three", 9963, 3, false},
                      CommandCase{"type_stop_when_idle", 9963, 2, false},
                      CommandCase{"type_three_high_bits", 9963, 0x10003, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AudioCommand, StopTellsTheWindowAndEndsTheCapture) {
    audio_test::SimCapture sim;
    CAudioRecorImpl command(sim.manager);
    command.Command(9963, 0, reinterpret_cast<std::intptr_t>(sim.target.Handle()));
    command.Command(9963, 1, 0);
    ASSERT_TRUE(sim.AwaitSpectra(2));
    command.Command(9963, 0x30002, 0);
    EXPECT_FALSE(sim.manager.IsRunning());
    EXPECT_EQ(sim.server->LiveSources(), 0);
    EXPECT_EQ(sim.target.blocks.back().code, COPYDATA_CAPTURE_STOPPED);
    command.Command(9963, 1, 0);
    EXPECT_TRUE(sim.manager.IsRunning()) << "starts again";
}

TEST(AudioCommand, StartWritesItsMarkToTheDebugTrace) {
    audio_test::SimCapture sim;
    CAudioRecorImpl command(sim.manager);
    setenv("TAVRIK_DEBUG", "1", 1);
    testing::internal::CaptureStderr();
    command.Command(9963, 1, 0);
    std::string trace = testing::internal::GetCapturedStderr();
    unsetenv("TAVRIK_DEBUG");
    EXPECT_NE(trace.find("1123123dadwe"), std::string::npos) << trace;
}

TEST(AudioCommand, SingletonIsOneObject) {
    CAudioRecorImpl* first = CSingleton::GetInstance();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(CSingleton::GetInstance(), first);
    first->Command(9962, 1, 0);  // ignored: nothing to stop afterwards
    EXPECT_FALSE(TheAudioManager().IsRunning());
}

}  // namespace

namespace {

// The program never stops the capture itself: the end of the process must
// end the worker and leave nothing behind (the sanitizers watch the exit).
TEST(AudioCommand, CaptureLeftRunningEndsWithTheProcess) {
    auto server = std::make_shared<tavrik::audio::SimulatedAudioServer>();
    tavrik::audio::SetLoopbackBackend(server);
    static audio_test::CopyDataWindow window;  // lives to the end, like a main window
    audio_test::CopyDataWindow* target = &window;
    CAudioRecorImpl* command = CSingleton::GetInstance();
    command->Command(9963, 0, reinterpret_cast<std::intptr_t>(target->Handle()));
    command->Command(9963, 1, 0);
    ASSERT_TRUE(audio_test::PumpUntil([&] { return target->Spectra() >= 3; }));
    EXPECT_TRUE(TheAudioManager().IsRunning());
}

}  // namespace
