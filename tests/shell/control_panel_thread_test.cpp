// The desktop's keyboard and mouse settings, opened by a short-lived worker.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "shell/main/control_panel_thread.h"
#include "tests/support/temp_home.h"
#include "tests/support/wait_bound.h"

namespace {

namespace fs = std::filesystem;

class ControlPanel : public ::testing::Test {
protected:
    void SetUp() override {
        const char* path = std::getenv("PATH");
        oldPath_ = path ? path : "";
        ::setenv("PATH", bin_.Path().c_str(), 1);
    }
    void TearDown() override { ::setenv("PATH", oldPath_.c_str(), 1); }

    // A settings program that writes its arguments to a file.
    void FakeProgram(const std::string& name) {
        const fs::path program = bin_.Path() / name;
        std::ofstream(program) << "#!/bin/sh\necho \"" << name << " $*\" > \"" << (out_.Path() / "ran").string()
                               << ".part\" && /bin/mv \"" << (out_.Path() / "ran").string() << ".part\" \""
                               << (out_.Path() / "ran").string() << "\"\n";
        fs::permissions(program, fs::perms::owner_all | fs::perms::others_exec | fs::perms::group_exec);
    }
    // What the started program was called with; "" when none ran in time.
    std::string Ran() {
        const fs::path ran = out_.Path() / "ran";
        const auto end = tavrik::test::Deadline(std::chrono::seconds(20));
        while (!fs::exists(ran) && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::ifstream in(ran);
        std::string line;
        std::getline(in, line);
        return line;
    }
    static void Run(std::intptr_t page) { ControlPanelThread(reinterpret_cast<void*>(page)); }

    tavrik::test::TempDir bin_{"tavrik-bin"};
    tavrik::test::TempDir out_{"tavrik-ran"};
    std::string oldPath_;
};

TEST_F(ControlPanel, GnomeIsPreferred) {
    FakeProgram("gnome-control-center");
    FakeProgram("systemsettings");
    Run(0);
    EXPECT_EQ(Ran(), "gnome-control-center keyboard");
}

TEST_F(ControlPanel, KdeWhenGnomeIsMissing) {
    FakeProgram("systemsettings");
    Run(1);
    EXPECT_EQ(Ran(), "systemsettings kcm_mouse");
}

TEST_F(ControlPanel, GnomeMousePage) {
    FakeProgram("gnome-control-center");
    Run(1);
    EXPECT_EQ(Ran(), "gnome-control-center mouse");
}

TEST_F(ControlPanel, OtherPagesAndNoProgramStartNothing) {
    FakeProgram("gnome-control-center");
    Run(2);
    Run(-1);
    fs::remove(bin_.Path() / "gnome-control-center");
    EXPECT_EQ(ControlPanelThread(nullptr), 0u);  // page 0 with no program: a log line only
    EXPECT_FALSE(fs::exists(out_.Path() / "ran"));
}

TEST_F(ControlPanel, TheStarterKeepsNoHandle) {
    FakeProgram("gnome-control-center");
    StartControlPanelThread(0);
    EXPECT_EQ(Ran(), "gnome-control-center keyboard");
}

}  // namespace
