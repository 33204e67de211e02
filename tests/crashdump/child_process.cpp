#include "tests/crashdump/child_process.h"

#include <sys/wait.h>
#include <unistd.h>

namespace tavrik::test {

ChildResult RunChild(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
    ChildResult result;
    int out[2];
    if (::pipe(out) != 0) {
        return result;
    }
    std::vector<std::string> args;
    args.push_back(program.string());
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(out[0], buffer, sizeof(buffer));
        if (n <= 0) {
            break;
        }
        result.output.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid) {
        if (WIFEXITED(status)) {
            result.exited = true;
            result.exitCode = WEXITSTATUS(status);
        } else if (WIFSIGNALED(status)) {
            result.signaled = true;
            result.signal = WTERMSIG(status);
        }
    }
    return result;
}

}  // namespace tavrik::test
