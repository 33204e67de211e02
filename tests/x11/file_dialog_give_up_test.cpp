// A file dialog given up while it is open (the program is asked to end):
// its program and everything that program started are ended, and the
// caller gets "nothing chosen" at once.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/dialogs/file_dialog.h"
#include "platform/dialogs/give_up_on_termination.h"
#include "platform/os/termination_signals.h"
#include "tests/support/temp_home.h"
#include "tests/support/wait_bound.h"

namespace tavrik::dialogs {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

bool Until(const std::function<bool()>& done) {
    const auto end = test::Deadline(10s);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// Whether `pid` is a live process (a zombie has ended).
bool Alive(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    if (!std::getline(in, stat)) return false;
    const auto close = stat.rfind(')');
    return close != std::string::npos && stat.substr(close + 2, 1) != "Z";
}

// A dialog program that stays open until it is ended, with a process of its
// own beside it, as a wrapper script's dialog is; it answers only when its
// companion ends by itself.
class LingeringDialogProgram {
public:
    LingeringDialogProgram() {
        const auto pids = dir_.Path() / "pids";
        std::ofstream script(Path());
        script << "#!/bin/sh\n"
               << "sleep 300 &\n"
               << "echo $$ $! > '" << pids.string() << ".tmp' && mv '" << pids.string() << ".tmp' '" << pids.string()
               << "'\n"
               << "wait\n"
               << "echo /never/answered.json\n";
        script.close();
        chmod(Path().c_str(), 0755);
    }
    std::string Path() const { return (dir_.Path() / "zenity").string(); }
    // Waits until the program runs; false when it never started.
    bool Running() {
        return Until([&] {
            std::ifstream in(dir_.Path() / "pids");
            return static_cast<bool>(in >> shell_ >> companion_);
        });
    }
    pid_t Shell() const { return shell_; }
    pid_t Companion() const { return companion_; }

private:
    test::TempDir dir_;
    pid_t shell_ = 0, companion_ = 0;
};

FileDialogRequest OpenRequest() {
    FileDialogRequest r;
    r.filters = ParseFilterList(L"Profile Files(*.json)\0*.json;\0\0"s);
    return r;
}

TEST(FileDialogGiveUp, EndsTheProgramAndWhatItStarted) {
    LingeringDialogProgram program;
    const FileDialogResult r = MakeZenityProvider(program.Path())->Run(OpenRequest(), [&](int) {
        EXPECT_TRUE(program.Running());
        return false;
    });
    EXPECT_FALSE(r.chosen);
    EXPECT_NE(r.reason.find("given up"), std::string::npos) << r.reason;
    ASSERT_NE(program.Shell(), 0);
    // The provider waited for its own child; the companion ends on the same
    // request, a moment later.
    EXPECT_FALSE(Alive(program.Shell()));
    EXPECT_TRUE(Until([&] { return !Alive(program.Companion()); })) << "the dialog's companion still runs";
}

// The program's wait: a dialog is waited for until a termination signal
// comes; then it is given up and the signal is left for the message loop.
TEST(FileDialogGiveUp, TerminationSignalGivesUpTheDialogAndStaysPending) {
    sigset_t before;
    pthread_sigmask(SIG_SETMASK, nullptr, &before);
    const int served = win::ServeTerminationSignals([](int) { ADD_FAILURE() << "served inside the dialog"; });
    ASSERT_NE(served, 0);
    ASSERT_GE(win::PendingTerminationDescriptor(), 0);

    struct Case {
        bool signal;
        bool chosen;
    } cases[] = {{false, true}, {true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.signal ? "SIGTERM while open" : "answered");
        test::TempDir dir;
        const auto program = dir.Path() / "zenity";
        const auto started = dir.Path() / "started";
        {
            std::ofstream script(program);
            script << "#!/bin/sh\ntouch '" << started.string() << "'\n"
                   << (c.signal ? "sleep 300\n" : "read line < '" + started.string() + "'\n")
                   << "echo /chosen/profile.json\n";
        }
        chmod(program.c_str(), 0755);
        const FileDialogResult r = MakeZenityProvider(program.string())->Run(OpenRequest(), [&](int fd) {
            EXPECT_TRUE(Until([&] { return std::filesystem::exists(started); }));
            // Sent to this thread, which blocks it: only the descriptor sees it.
            if (c.signal) raise(SIGTERM);
            return WaitReadableUnlessTerminated(fd);
        });
        EXPECT_EQ(r.chosen, c.chosen) << r.reason;
        sigset_t pending;
        sigpending(&pending);
        EXPECT_EQ(sigismember(&pending, SIGTERM) == 1, c.signal);
    }

    win::StopServingTerminationSignals(served);
    // Take the signal left pending, then unblock as before.
    sigset_t term;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    const timespec now{0, 0};
    sigtimedwait(&term, nullptr, &now);
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

}  // namespace
}  // namespace tavrik::dialogs
