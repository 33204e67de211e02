#include "platform/dialogs/file_dialog.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/os/debug_trace.h"
#include "platform/files/utf8.h"

extern char** environ;

namespace tavrik::dialogs {
namespace {

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

std::string WithDefaultExtension(const FileDialogRequest& request, std::string path) {
    std::string ext = request.default_extension;
    if (request.kind != FileDialogKind::Save || ext.empty() || HasWildcard(ext)) return path;
    if (ext.front() == '.') ext.erase(0, 1);
    const auto slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name.find('.') != std::string::npos) return path;
    return path + "." + ext;
}

bool BlockUntilReadable(int fd) {
    pollfd p{fd, POLLIN, 0};
    while (poll(&p, 1, -1) < 0 && errno == EINTR) {
    }
    return true;
}

// Ends the dialog program given up on: the whole process group it leads, so
// that a wrapper script takes its dialog along.  A program that ignores the
// request is killed after a grace period, so that the caller never hangs.
void EndDialogProgram(pid_t pid) {
    kill(-pid, SIGTERM);
    constexpr int kGraceSteps = 100;  // of 20 ms
    for (int step = 0; step < kGraceSteps; ++step) {
        const pid_t done = waitpid(pid, nullptr, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR)) return;
        usleep(20 * 1000);
    }
    kill(-pid, SIGKILL);
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

// Runs the dialog program; its standard output is the chosen path.
FileDialogResult RunProgram(const std::string& name, const std::vector<std::string>& args, const WaitReadable& wait) {
    FileDialogResult result;
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        result.reason = name + ": cannot create a pipe: " + std::strerror(errno);
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    // The program's blocked signals (platform/os/termination_signals.h) are
    // not the dialog's.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    // A group of its own, which can be ended whole when the dialog is given
    // up.
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
        close(out[0]);
        result.reason = name + ": cannot start " + args[0] + ": " + std::strerror(rc);
        return result;
    }
    std::string text;
    char buffer[4096];
    for (;;) {
        if (!(wait ? wait : WaitReadable(BlockUntilReadable))(out[0])) {
            close(out[0]);
            EndDialogProgram(pid);
            result.reason = name + " closed unanswered: the dialog was given up";
            return result;
        }
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<std::size_t>(n));
            if (text.size() > (1u << 20)) break;  // no path is that long
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break;
    }
    close(out[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (code == 0 && !text.empty() && text.find('\n') == std::string::npos && text.front() == '/') {
        result.chosen = true;
        result.path = text;
    } else if (code == 1 || (code == 0 && text.empty())) {
        result.reason = "cancelled by the user";
    } else {
        result.reason = name + " failed (exit status " + std::to_string(code) + ")";
    }
    return result;
}

class ZenityProvider : public FileDialogProvider {
public:
    explicit ZenityProvider(std::string program) : program_(std::move(program)) {}
    std::string Name() const override { return "zenity"; }
    FileDialogResult Run(const FileDialogRequest& request, const WaitReadable& wait) override {
        std::vector<std::string> args{program_, "--file-selection"};
        if (request.kind == FileDialogKind::Save) {
            args.push_back("--save");
            if (request.confirm_overwrite) args.push_back("--confirm-overwrite");
        }
        args.push_back("--title=" + request.title);
        for (const FileFilter& f : request.filters) {
            std::string arg = "--file-filter=" + f.description + " |";
            for (const std::string& p : f.patterns) arg += " " + p;
            args.push_back(arg);
        }
        if (request.owner_window) args.push_back("--attach=" + std::to_string(request.owner_window));
        FileDialogResult result = RunProgram(Name(), args, wait);
        if (result.chosen) result.path = WithDefaultExtension(request, result.path);
        return result;
    }

private:
    std::string program_;
};

class KdialogProvider : public FileDialogProvider {
public:
    explicit KdialogProvider(std::string program) : program_(std::move(program)) {}
    std::string Name() const override { return "kdialog"; }
    FileDialogResult Run(const FileDialogRequest& request, const WaitReadable& wait) override {
        std::vector<std::string> args{program_};
        args.push_back(request.kind == FileDialogKind::Save ? "--getsavefilename" : "--getopenfilename");
        const char* home = std::getenv("HOME");
        args.push_back(home && *home ? home : ".");
        std::string filter;
        for (const FileFilter& f : request.filters) {
            if (!filter.empty()) filter += "\n";
            filter += f.description + " (";
            for (std::size_t i = 0; i < f.patterns.size(); ++i) filter += (i ? " " : "") + f.patterns[i];
            filter += ")";
        }
        args.push_back(filter);
        if (!request.title.empty()) {
            args.push_back("--title");
            args.push_back(request.title);
        }
        if (request.owner_window) {
            args.push_back("--attach");
            args.push_back(std::to_string(request.owner_window));
        }
        FileDialogResult result = RunProgram(Name(), args, wait);
        if (result.chosen) result.path = WithDefaultExtension(request, result.path);
        return result;
    }

private:
    std::string program_;
};

struct Service {
    std::mutex mutex;
    std::shared_ptr<FileDialogProvider> provider;
    bool looked_up = false;
    WaitReadable wait;
    std::function<void(const std::string&)> log;
    bool told_missing = false;
};

Service& TheService() {
    static Service service;
    return service;
}

}  // namespace

std::vector<FileFilter> ParseFilterList(const std::wstring& filter) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < filter.size()) {
        const std::size_t end = filter.find(L'\0', start);
        if (end == start) break;  // the second zero ends the list
        parts.push_back(
            win::ToUtf8(filter.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start)));
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    std::vector<FileFilter> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        FileFilter f;
        f.description = parts[i];
        std::size_t p = 0;
        const std::string& list = parts[i + 1];
        while (p <= list.size()) {
            const std::size_t semi = list.find(';', p);
            const std::string pattern = Trim(list.substr(p, semi == std::string::npos ? std::string::npos : semi - p));
            if (!pattern.empty()) f.patterns.push_back(pattern);
            if (semi == std::string::npos) break;
            p = semi + 1;
        }
        if (!f.patterns.empty()) filters.push_back(std::move(f));
    }
    return filters;
}

std::unique_ptr<FileDialogProvider> MakeZenityProvider(std::string program) {
    return std::make_unique<ZenityProvider>(std::move(program));
}

std::unique_ptr<FileDialogProvider> MakeKdialogProvider(std::string program) {
    return std::make_unique<KdialogProvider>(std::move(program));
}

void ScriptedFileDialogProvider::Choose(std::string path) {
    FileDialogResult r;
    r.chosen = true;
    r.path = std::move(path);
    answers_.push_back(std::move(r));
}

void ScriptedFileDialogProvider::Cancel() {
    FileDialogResult r;
    r.reason = "cancelled by the script";
    answers_.push_back(std::move(r));
}

FileDialogResult ScriptedFileDialogProvider::Run(const FileDialogRequest& request, const WaitReadable&) {
    requests_.push_back(request);
    if (answers_.empty()) {
        FileDialogResult r;
        r.reason = "the script has no answer left";
        return r;
    }
    FileDialogResult r = std::move(answers_.front());
    answers_.pop_front();
    if (r.chosen) r.path = WithDefaultExtension(request, r.path);
    return r;
}

bool ProgramAvailable(const std::string& program) {
    if (program.empty()) return false;
    if (program.find('/') != std::string::npos) return access(program.c_str(), X_OK) == 0;
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::string dirs = path;
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t colon = dirs.find(':', start);
        std::string dir = dirs.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (dir.empty()) dir = ".";
        const std::string candidate = dir + "/" + program;
        struct stat st {};
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return true;
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    return false;
}

std::unique_ptr<FileDialogProvider> FindDesktopProvider() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    const bool kde = desktop && std::strstr(desktop, "KDE");
    if (kde && ProgramAvailable("kdialog")) return MakeKdialogProvider();
    if (ProgramAvailable("zenity")) return MakeZenityProvider();
    if (ProgramAvailable("kdialog")) return MakeKdialogProvider();
    return nullptr;
}

void SetFileDialogProvider(std::shared_ptr<FileDialogProvider> provider) {
    Service& s = TheService();
    std::lock_guard lock(s.mutex);
    s.provider = std::move(provider);
    s.looked_up = s.provider != nullptr;
    s.told_missing = false;
}

void SetFileDialogWait(WaitReadable wait) {
    Service& s = TheService();
    std::lock_guard lock(s.mutex);
    s.wait = std::move(wait);
}

void SetFileDialogLog(std::function<void(const std::string&)> log) {
    Service& s = TheService();
    std::lock_guard lock(s.mutex);
    s.log = std::move(log);
}

FileDialogResult ShowFileDialog(const FileDialogRequest& request) {
    Service& s = TheService();
    std::shared_ptr<FileDialogProvider> provider;
    WaitReadable wait;
    std::function<void(const std::string&)> log;
    {
        std::lock_guard lock(s.mutex);
        if (!s.provider && !s.looked_up) {
            s.provider = FindDesktopProvider();
            s.looked_up = true;
        }
        provider = s.provider;
        wait = s.wait;
        log = s.log;
        if (!provider) {
            FileDialogResult r;
            r.reason = "no file dialog program: install zenity (or kdialog)";
            if (!s.told_missing) {
                s.told_missing = true;
                if (log)
                    log("file dialog: " + r.reason);
                else
                    win::PlatformLog("file dialog: " + r.reason);
            }
            return r;
        }
    }
    FileDialogResult r = provider->Run(request, wait);
    if (!r.chosen && r.reason.find("cancelled") == std::string::npos) {
        if (log)
            log("file dialog: " + r.reason);
        else
            win::PlatformLog("file dialog: " + r.reason);
    }
    return r;
}

}  // namespace tavrik::dialogs
