#pragma once

// A program of the build started as a child process, with extra environment
// variables and its standard error kept in a file, for end-to-end tests.

#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace tavrik::test {

class ChildProcess {
public:
    // program: a path relative to the build's program folder (bin/), or an
    // absolute path. Standard input comes from stdinFile (opened
    // for reading and writing, so that a named pipe neither blocks the start
    // nor ends at its writer's close), standard output goes to stdoutFile.
    // The child starts in workingFolder ("": the test's own).
    ChildProcess(const std::string& program, const std::vector<std::string>& args,
                 const std::map<std::string, std::string>& environment, const std::string& stderrFile,
                 const std::string& stdinFile = "/dev/null", const std::string& stdoutFile = "/dev/null",
                 const std::string& workingFolder = "");
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    // Waits for the end; the exit code, or -1 after the time-out (the child
    // runs on), or 128 + signal for a child ended by a signal.
    int Wait(std::chrono::milliseconds timeout);
    bool Exited() const { return exited_; }
    // Sends SIGTERM and waits for the end.
    void Stop();

private:
    pid_t pid_ = -1;
    bool exited_ = false;
    int status_ = 0;
};

// The whole content of a text file ("" when it cannot be read).
std::string ReadTextFile(const std::string& path);
// The build's program folder, ending in '/'.
std::string ProgramFolder();

}  // namespace tavrik::test
