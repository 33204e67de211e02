#pragma once

// Starts a helper program beside the test executable with pipes on its
// stdin and stdout, for tests that need a second process.

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <fcntl.h>
#include <poll.h>

#include <string>
#include <vector>

#include "platform/files/folders.h"
#include "tests/support/wait_bound.h"

extern char** environ;

namespace tavrik::test {

class PeerProcess {
public:
    // program: an absolute path, or a file name beside the running test executable.
    PeerProcess(const std::string& program, const std::vector<std::string>& args) {
        std::string path = program.starts_with("/") ? program : win::ToUtf8(win::GetProgramFolder()) + program;
        int in[2], out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        std::vector<std::string> all{path};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        stdin_ = in[1];
        stdout_ = out[0];
    }

    ~PeerProcess() {
        CloseStdin();
        if (stdout_ >= 0) {
            ::close(stdout_);
        }
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }

    // One line of output without its newline; "" after timeoutMs (5 s scaled
    // when not given) or at the end.
    std::string ReadLine(int timeoutMs = tavrik::test::WaitBoundMs(5000)) {
        for (;;) {
            auto nl = buffer_.find('\n');
            if (nl != std::string::npos) {
                std::string line = buffer_.substr(0, nl);
                buffer_.erase(0, nl + 1);
                return line;
            }
            pollfd p{stdout_, POLLIN, 0};
            if (::poll(&p, 1, timeoutMs) <= 0) {
                return {};
            }
            char chunk[256];
            ssize_t n = ::read(stdout_, chunk, sizeof chunk);
            if (n <= 0) {
                return {};
            }
            buffer_.append(chunk, static_cast<size_t>(n));
        }
    }

    bool WriteLine(const std::string& line) {
        const std::string text = line + "\n";
        return stdin_ >= 0 && ::write(stdin_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    }

    void CloseStdin() {
        if (stdin_ >= 0) {
            ::close(stdin_);
            stdin_ = -1;
        }
    }

    // The exit status, or -1 when it did not end in time.
    int Wait(int timeoutMs = 5000) {
        for (int waited = 0; waited <= timeoutMs; waited += 5) {
            int status = 0;
            pid_t r = ::waitpid(pid_, &status, WNOHANG);
            if (r == pid_) {
                exited_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            ::usleep(5000);
        }
        return -1;
    }

    void Kill() {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        exited_ = true;
    }

private:
    pid_t pid_ = -1;
    int stdin_ = -1;
    int stdout_ = -1;
    bool exited_ = false;
    std::string buffer_;
};

}  // namespace tavrik::test
