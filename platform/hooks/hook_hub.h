#pragma once

// The process-wide state behind the hook API and the input-trap library: the
// installed keyboard hooks and mouse reports, the one input source they share
// (started with the first, stopped with the last), the keyboard grab held
// while a keyboard hook is installed, and the delivery of each event to the
// thread that must handle it.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/hooks/hook_api.h"
#include "platform/hooks/input_event.h"
#include "platform/hooks/input_source.h"
#include "platform/hooks/key_trap.h"
#include "platform/hooks/thread_mailbox.h"

namespace tavrik::hooks {

class HookHub {
public:
    static HookHub& Instance();

    // Null, with the reason, when no source can start or the keyboard
    // cannot be grabbed.
    win::HHOOK AddKeyboardHook(win::HOOKPROC proc, std::string& error);
    bool RemoveKeyboardHook(win::HHOOK hook);
    win::LRESULT CallNextKeyboardHook(win::HHOOK hook, int code, win::WPARAM wParam, win::LPARAM lParam);

    // Reports button events to `target` as `message` (0: installed, reports
    // nothing). Replaces an earlier report of the same window.
    bool AddMouseReport(win::HWND target, win::UINT message, std::string& error);
    bool RemoveMouseReport(win::HWND target);

    // Whether a source runs (tests).
    bool SourceRunning();

private:
    HookHub() = default;

    struct KeyboardHook {
        win::HHOOK handle = nullptr;
        win::HOOKPROC proc = nullptr;
        win::DWORD thread = 0;
    };
    struct MouseReport {
        win::HWND target = nullptr;
        win::UINT message = 0;
        win::DWORD thread = 0;
        std::uint64_t id = 0;  // this installation: a queued event of an earlier one is dropped
    };

    // With mutex_ held: starts the source when none runs.
    bool EnsureSourceLocked(std::string& error);
    // With mutex_ held: the calling thread's mailbox, opened on first use.
    std::shared_ptr<ThreadMailbox> MailboxLocked();
    // With mutex_ held: takes out the mailboxes of threads without hooks.
    std::vector<std::shared_ptr<ThreadMailbox>> TakeUnusedMailboxesLocked();
    // Stops the source when nothing needs it any more and closes the
    // mailboxes no hook uses (mutex_ not held).
    void Tidy();
    void OnInput(const InputEvent& event);  // source thread
    void RunKeyboardHook(win::HHOOK hook, win::WPARAM message, win::KBDLLHOOKSTRUCT record);
    void RunMouseReport(std::uint64_t id, win::WPARAM message, MouseHookRecord record);

    std::mutex mutex_;
    std::unique_ptr<InputSource> source_;
    bool grabbed_ = false;
    std::vector<KeyboardHook> keyboard_;  // oldest first
    std::vector<MouseReport> mouse_;
    // One per thread with hooks: the thread's events keep their order, keys
    // and buttons alike.
    std::map<win::DWORD, std::shared_ptr<ThreadMailbox>> mailboxes_;
    std::uintptr_t next_handle_ = 1;
    std::uint64_t next_report_ = 1;
};

}  // namespace tavrik::hooks
