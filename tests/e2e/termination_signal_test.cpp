// End to end: a termination from outside (SIGTERM at logout or from a
// service manager, SIGINT from a terminal, SIGHUP when the terminal goes)
// ends the real Tavrik the way its own "exit" does, while the keyboard,
// mouse and headset are bound and their light threads run: it exits with
// status 0, promptly, and the sanitizers (the test build's) report nothing
// about the way out: no thread left using what was destroyed, no leak.

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/e2e/emulator_record.h"
#include "tests/e2e/tavrik_session.h"
#include "tests/support/required_service.h"

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

// The processes whose parent is `parent` and whose name is `name`.
std::vector<pid_t> ChildrenNamed(pid_t parent, const std::string& name) {
    std::vector<pid_t> found;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string pid = entry.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream in(entry.path() / "stat");
        std::string stat;
        std::getline(in, stat);
        // "pid (name) state ppid ...": the name may hold spaces and ')'.
        const auto open = stat.find('('), close = stat.rfind(')');
        if (open == std::string::npos || close == std::string::npos) continue;
        std::istringstream rest(stat.substr(close + 1));
        char state = 0;
        pid_t ppid = 0;
        if (stat.substr(open + 1, close - open - 1) == name && rest >> state >> ppid && ppid == parent)
            found.push_back(static_cast<pid_t>(std::stol(pid)));
    }
    return found;
}

// Whether the process `pid` still runs as the program `name` (a zombie or a
// process that took its number does not count).
bool RunsAs(pid_t pid, const std::string& name) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    if (!std::getline(in, stat)) return false;
    const auto open = stat.find('('), close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos) return false;
    return stat.substr(open + 1, close - open - 1) == name && stat.substr(close + 2, 1) != "Z";
}

using FileDialogTerminationTest = TavrikSession;

// A logout while the user browses for a profile to import: the dialog goes
// with the program, which leaves its usual way, at once.
TEST_F(FileDialogTerminationTest, SigtermEndsTheOpenDialogAndTheProgram) {
    if (!std::filesystem::exists("/usr/bin/zenity")) TAVRIK_MISSING_SERVICE("zenity is not installed");
    StartEmulator({"keyboard"});
    tavrik_ = StartTavrik("tavrik.log");
    ASSERT_TRUE(tavrik_->Started());
    ASSERT_NE(WaitForShownWindow(), 0u) << Log("tavrik.log");
    ASSERT_TRUE(WaitForLogMatch("tavrik.log", "attach: slot \\d+ keyboard wired")) << Log("tavrik.log");

    // Tools, then Import: the desktop's open dialog comes up.
    ASSERT_TRUE(Click("profile_fun_spread_btn"));
    ASSERT_TRUE(Click("device_import_btn"));
    std::vector<pid_t> dialogs;
    ASSERT_TRUE(Poll(
        [&] {
            dialogs = ChildrenNamed(tavrik_->Pid(), "zenity");
            return dialogs.size() == 1 && !driver_->ViewableTopLevel("Open a file").empty();
        },
        30s))
        << "no file dialog came up\n"
        << Log("tavrik.log");
    Screenshot("file_dialog_open_before_sigterm");

    ASSERT_EQ(::kill(tavrik_->Pid(), SIGTERM), 0);
    // Left alone, the program would wait for the dialog for ever: the bound
    // only ends such a hang, as for a SIGTERM without a dialog above.
    const int status = tavrik_->Wait(30s);
    const std::string log = Log("tavrik.log");
    EXPECT_EQ(status, 0) << "(-1: still running after SIGTERM, the dialog open)\n" << log;
    EXPECT_FALSE(RunsAs(dialogs.front(), "zenity")) << "the dialog's process outlived the program";
    for (const char* report : {"AddressSanitizer", "LeakSanitizer", "runtime error:"})
        EXPECT_EQ(log.find(report), std::string::npos) << report << "\n" << log;
}

}  // namespace
}  // namespace tavrik::test
