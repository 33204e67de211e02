// End to end: a termination from outside (SIGTERM at logout or from a
// service manager, SIGINT from a terminal, SIGHUP when the terminal goes)
// ends the real Tavrik the way its own "exit" does, while the keyboard,
// mouse and headset are bound and their light threads run: it exits with
// status 0, promptly, and the sanitizers (the test build's) report nothing
// about the way out: no thread left using what was destroyed, no leak.

#include <csignal>

#include "tests/e2e/emulator_record.h"
#include "tests/e2e/tavrik_session.h"

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;

struct Signal {
    int number;
    const char* name;
};

class TerminationSignalTest : public TavrikSession, public ::testing::WithParamInterface<Signal> {
protected:
    // The reports `product` received since the last look; its record is
    // emptied in the step that reads it.
    size_t ReportsTo(const std::string& product) {
        return CommandReports(EmulatorCommand("take " + product), product).size();
    }
};

TEST_P(TerminationSignalTest, EndsWithStatusZeroAndNoSanitizerReport) {
    StartEmulator({"keyboard", "mouse", "headset"});
    tavrik_ = StartTavrik("tavrik.log", {{"TAVRIK_HEADSET_IDS", kHeadsetIds}});
    ASSERT_TRUE(tavrik_->Started());
    ASSERT_NE(WaitForShownWindow(), 0u) << Log("tavrik.log");
    // All three bound, and the keyboard's and mouse's pages connected with
    // their light threads at work: they keep sending.
    for (const char* kind : {"keyboard", "mouse", "HD"})
        ASSERT_TRUE(WaitForLogMatch("tavrik.log", std::string("attach: slot \\d+ ") + kind + " wired"))
            << kind << " was not bound\n"
            << Log("tavrik.log");
    for (const char* product : {"keyboard", "mouse"}) {
        ASSERT_TRUE(Poll([&] { return ReportsTo(product) > 0; }, 60s)) << product << " received nothing\n"
                                                                       << Log("tavrik.log");
        ASSERT_TRUE(Poll([&] { return ReportsTo(product) > 0; }, 30s)) << product << " stopped receiving\n"
                                                                       << Log("tavrik.log");
    }

    ASSERT_EQ(::kill(tavrik_->Pid(), GetParam().number), 0);
    const int status = tavrik_->Wait(30s);
    const std::string log = Log("tavrik.log");
    EXPECT_EQ(status, 0) << GetParam().name << " (-1: still running)\n" << log;
    for (const char* report : {"AddressSanitizer", "LeakSanitizer", "runtime error:", "ThreadSanitizer"})
        EXPECT_EQ(log.find(report), std::string::npos) << report << "\n" << log;
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminationSignalTest,
                         ::testing::Values(Signal{SIGTERM, "SIGTERM"}, Signal{SIGINT, "SIGINT"},
                                           Signal{SIGHUP, "SIGHUP"}),
                         [](const ::testing::TestParamInfo<Signal>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavrik::test
