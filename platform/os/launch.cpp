#include "platform/os/launch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/files/folders.h"

namespace win {
namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

HINSTANCE Result(int code) { return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(code)); }

std::string OpenerProgram() {
    const char* opener = std::getenv("TAVRIK_OPENER");
    return (opener != nullptr && opener[0] != '\0') ? opener : "xdg-open";
}

}  // namespace

std::vector<std::string> SplitParameters(std::wstring_view parameters) {
    std::vector<std::string> out;
    std::wstring current;
    bool inQuotes = false;
    bool have = false;
    for (size_t i = 0; i < parameters.size(); ++i) {
        wchar_t c = parameters[i];
        if (c == L'\\' && i + 1 < parameters.size() && parameters[i + 1] == L'"') {
            current.push_back(L'"');
            have = true;
            ++i;
        } else if (c == L'"') {
            inQuotes = !inQuotes;
            have = true;
        } else if ((c == L' ' || c == L'\t') && !inQuotes) {
            if (have) {
                out.push_back(ToUtf8(current));
                current.clear();
                have = false;
            }
        } else {
            current.push_back(c);
            have = true;
        }
    }
    if (have) {
        out.push_back(ToUtf8(current));
    }
    return out;
}

int LaunchDetached(const std::string& program, const std::vector<std::string>& args, const std::string& workingFolder) {
    // The intermediate child writes the program's pid into this pipe; the
    // program's process writes -1 when exec fails. Exec closes its end
    // (close-on-exec), so reading to the end tells success from failure.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        return 0;
    }
    std::vector<std::string> argvStrings;
    argvStrings.push_back(program);
    argvStrings.insert(argvStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& s : argvStrings) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);

    pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return 0;
    }
    if (child == 0) {
        // Child: start a new session and fork again, so that the program is
        // adopted by init and never becomes our zombie.
        ::setsid();
        // The program's blocked signals (termination_signals.h) are not the
        // started program's.
        sigset_t none;
        ::sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        pid_t grandchild = ::fork();
        if (grandchild != 0) {
            int pid = grandchild > 0 ? grandchild : 0;
            [[maybe_unused]] ssize_t n = ::write(report[1], &pid, sizeof pid);
            ::_exit(0);
        }
        if (!workingFolder.empty() && ::chdir(workingFolder.c_str()) != 0) {
            int failure = -1;
            [[maybe_unused]] ssize_t n = ::write(report[1], &failure, sizeof failure);
            ::_exit(127);
        }
        int devnull = ::open("/dev/null", O_RDWR);
        if (devnull >= 0) {
            ::dup2(devnull, 0);
        }
        // A path runs as it is; a bare name is looked up in PATH. (execv
        // does not fall back to the shell for a file that is no program.)
        if (program.find('/') != std::string::npos) {
            ::execv(argv[0], argv.data());
        } else {
            ::execvp(argv[0], argv.data());
        }
        int failure = -1;
        [[maybe_unused]] ssize_t n = ::write(report[1], &failure, sizeof failure);
        ::_exit(127);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int pid = 0;
    bool failed = false;
    int value = 0;
    ssize_t n;
    while ((n = ::read(report[0], &value, sizeof value)) == sizeof value || (n < 0 && errno == EINTR)) {
        if (n < 0) {
            continue;
        }
        if (value == -1) {
            failed = true;
        } else if (value > 0) {
            pid = value;
        }
    }
    if (failed) {
        pid = 0;
    }
    ::close(report[0]);
    return pid;
}

BOOL OpenWithDesktop(std::wstring_view path) {
    std::string native = ToUtf8(NativePath(path));
    if (native.empty() || !FileExists(path)) {
        return FALSE;
    }
    return LaunchDetached(OpenerProgram(), {native}, "") != 0 ? TRUE : FALSE;
}

HINSTANCE ShellExecuteW(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, int) {
    if (file == nullptr || file[0] == L'\0') {
        return Result(SE_ERR_FNF);
    }
    if (verb != nullptr && verb[0] != L'\0' && std::wstring_view(verb) != L"open") {
        return Result(SE_ERR_NOASSOC);
    }
    std::string folder = directory != nullptr ? ToUtf8(NativePath(directory)) : std::string();
    std::string target = ToUtf8(NativePath(file));
    // A relative file is looked for in the working folder first.
    std::string resolved = target;
    if (!target.empty() && target[0] != '/' && !folder.empty()) {
        std::string inFolder = ToUtf8(JoinPath(FromUtf8(folder), FromUtf8(target)));
        if (::access(inFolder.c_str(), F_OK) == 0) {
            resolved = inFolder;
        }
    }
    if (::access(resolved.c_str(), F_OK) != 0) {
        return Result(SE_ERR_FNF);
    }
    if (!folder.empty() && !DirectoryExists(FromUtf8(folder))) {
        return Result(SE_ERR_PNF);
    }
    if (IsExecutableFile(resolved)) {
        auto args = parameters != nullptr ? SplitParameters(parameters) : std::vector<std::string>{};
        return LaunchDetached(resolved, args, folder) != 0 ? Result(42) : Result(SE_ERR_ACCESSDENIED);
    }
    return LaunchDetached(OpenerProgram(), {resolved}, folder) != 0 ? Result(42) : Result(SE_ERR_NOASSOC);
}

}  // namespace win
