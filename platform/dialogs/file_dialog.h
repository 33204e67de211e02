#pragma once

// Open and save file dialogs, shown by the desktop's dialog program (zenity,
// or kdialog on a KDE desktop) in a child process, or answered by a script
// in tests.  Paths are UTF-8.

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tavrik::dialogs {

struct FileFilter {
    std::string description;            // "Profile Files(*.json)"
    std::vector<std::string> patterns;  // {"*.json"}
};

// Reads a filter list in the program's form: description and pattern
// strings, each ended by a zero character, the list ended by a second one;
// patterns separated by ';'.  A description without its pattern is dropped.
std::vector<FileFilter> ParseFilterList(const std::wstring& filter);

enum class FileDialogKind { Open, Save };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    std::vector<FileFilter> filters;
    std::string title;
    // Added to a saved name that has none; ignored when it holds a wildcard
    // ("*.*" means no default).
    std::string default_extension;
    // Save: ask before replacing an existing file (kdialog always asks).
    bool confirm_overwrite = false;
    // X window the dialog belongs to (kept above it), 0 for none.
    unsigned long owner_window = 0;
};

struct FileDialogResult {
    bool chosen = false;  // false: cancelled, or the dialog could not be shown
    std::string path;
    std::string reason;  // why nothing was chosen, for the log
};

// Waits until `fd` is readable and returns true, or returns false when the
// dialog is to be given up: its program is then ended and the dialog answers
// "nothing chosen".  The default just blocks until `fd` is readable.
using WaitReadable = std::function<bool(int fd)>;

class FileDialogProvider {
public:
    virtual ~FileDialogProvider() = default;
    virtual std::string Name() const = 0;
    virtual FileDialogResult Run(const FileDialogRequest& request, const WaitReadable& wait) = 0;
};

// zenity --file-selection; `program` is looked up on PATH unless it has a '/'.
std::unique_ptr<FileDialogProvider> MakeZenityProvider(std::string program = "zenity");
// kdialog --getopenfilename / --getsavefilename.
std::unique_ptr<FileDialogProvider> MakeKdialogProvider(std::string program = "kdialog");

// Answers from a list given by the test, and records every request.
class ScriptedFileDialogProvider : public FileDialogProvider {
public:
    // Next answer: a chosen path, or (Cancel) a cancelled dialog.
    void Choose(std::string path);
    void Cancel();
    const std::vector<FileDialogRequest>& Requests() const { return requests_; }

    std::string Name() const override { return "scripted"; }
    FileDialogResult Run(const FileDialogRequest& request, const WaitReadable& wait) override;

private:
    std::deque<FileDialogResult> answers_;
    std::vector<FileDialogRequest> requests_;
};

// Whether a program can be run: a path with '/' that is executable, or a
// name found on PATH.
bool ProgramAvailable(const std::string& program);

// The desktop's provider: kdialog on a KDE desktop when installed, else
// zenity, else kdialog; null when neither is installed.
std::unique_ptr<FileDialogProvider> FindDesktopProvider();

// Process-wide dialog service used by the program (UI thread).  Until a
// provider is set the desktop's is looked up on first use.  With none, every
// dialog answers "cancelled" and the reason is logged once.
void SetFileDialogProvider(std::shared_ptr<FileDialogProvider> provider);
void SetFileDialogWait(WaitReadable wait);
void SetFileDialogLog(std::function<void(const std::string&)> log);
FileDialogResult ShowFileDialog(const FileDialogRequest& request);

}  // namespace tavrik::dialogs
