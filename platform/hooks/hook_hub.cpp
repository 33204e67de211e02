#include "platform/hooks/hook_hub.h"

#include <algorithm>
#include <set>

#include "platform/hooks/input_vocabulary.h"
#include "platform/os/clock.h"
#include "platform/os/debug_trace.h"
#include "platform/os/message_queue.h"
#include "platform/os/window.h"

namespace tavrik::hooks {

HookHub& HookHub::Instance() {
    static HookHub hub;
    return hub;
}

bool HookHub::EnsureSourceLocked(std::string& error) {
    if (source_) return true;
    auto source = CreateInputSource();
    if (!source || !source->Start([this](const InputEvent& e) { OnInput(e); }, error)) {
        win::PlatformLog("hooks: the desktop's input cannot be watched: " + error);
        return false;
    }
    source_ = std::move(source);
    return true;
}

std::shared_ptr<ThreadMailbox> HookHub::MailboxLocked() {
    const win::DWORD thread = win::GetCurrentThreadId();
    auto it = mailboxes_.find(thread);
    if (it != mailboxes_.end()) return it->second;
    auto box = ThreadMailbox::Open();
    if (box) mailboxes_[thread] = box;
    return box;
}

std::vector<std::shared_ptr<ThreadMailbox>> HookHub::TakeUnusedMailboxesLocked() {
    std::vector<std::shared_ptr<ThreadMailbox>> unused;
    for (auto it = mailboxes_.begin(); it != mailboxes_.end();) {
        const win::DWORD thread = it->first;
        const bool used =
            std::any_of(keyboard_.begin(), keyboard_.end(),
                        [&](const KeyboardHook& h) { return h.thread == thread; }) ||
            std::any_of(mouse_.begin(), mouse_.end(), [&](const MouseReport& r) { return r.thread == thread; });
        if (used) {
            ++it;
        } else {
            unused.push_back(it->second);
            it = mailboxes_.erase(it);
        }
    }
    return unused;
}

void HookHub::Tidy() {
    std::unique_ptr<InputSource> idle;
    std::vector<std::shared_ptr<ThreadMailbox>> unused;
    {
        std::lock_guard lock(mutex_);
        const bool reporting =
            std::any_of(mouse_.begin(), mouse_.end(), [](const MouseReport& r) { return r.message; });
        if (grabbed_ && keyboard_.empty()) {
            source_->ReleaseKeyboard();
            grabbed_ = false;
        }
        if (source_ && keyboard_.empty() && !reporting) idle = std::move(source_);
        unused = TakeUnusedMailboxesLocked();
    }
    for (auto& box : unused) box->Close();
    // Outside the lock: the source's thread may be waiting for it in OnInput.
    if (idle) idle->Stop();
}

bool HookHub::SourceRunning() {
    std::lock_guard lock(mutex_);
    return source_ != nullptr;
}

win::HHOOK HookHub::AddKeyboardHook(win::HOOKPROC proc, std::string& error) {
    win::HHOOK handle = nullptr;
    {
        std::lock_guard lock(mutex_);
        bool ok = MailboxLocked() != nullptr;
        if (!ok) error = "no descriptor for the hook's mailbox";
        ok = ok && EnsureSourceLocked(error);
        if (ok && !grabbed_) {
            ok = source_->GrabKeyboard(error);
            grabbed_ = ok;
            if (!ok) win::PlatformLog("hooks: the keyboard cannot be taken: " + error);
        }
        if (ok) {
            handle = reinterpret_cast<win::HHOOK>(next_handle_++);
            keyboard_.push_back({handle, proc, win::GetCurrentThreadId()});
        }
    }
    if (!handle) Tidy();
    return handle;
}

bool HookHub::RemoveKeyboardHook(win::HHOOK hook) {
    {
        std::lock_guard lock(mutex_);
        auto it =
            std::find_if(keyboard_.begin(), keyboard_.end(), [&](const KeyboardHook& h) { return h.handle == hook; });
        if (it == keyboard_.end()) return false;
        keyboard_.erase(it);
    }
    Tidy();
    return true;
}

win::LRESULT HookHub::CallNextKeyboardHook(win::HHOOK hook, int code, win::WPARAM wParam, win::LPARAM lParam) {
    win::HOOKPROC next = nullptr;
    {
        std::lock_guard lock(mutex_);
        auto it =
            std::find_if(keyboard_.begin(), keyboard_.end(), [&](const KeyboardHook& h) { return h.handle == hook; });
        if (it == keyboard_.end()) return 0;
        const win::DWORD thread = win::GetCurrentThreadId();
        while (it != keyboard_.begin()) {
            --it;
            if (it->thread == thread) {
                next = it->proc;
                break;
            }
        }
    }
    return next ? next(code, wParam, lParam) : 0;
}

bool HookHub::AddMouseReport(win::HWND target, win::UINT message, std::string& error) {
    bool ok = false;
    {
        std::lock_guard lock(mutex_);
        ok = MailboxLocked() != nullptr;
        if (!ok) error = "no descriptor for the hook's mailbox";
        if (ok && message) ok = EnsureSourceLocked(error);
        if (ok) {
            // A new id: events queued for an earlier installation are dropped.
            const MouseReport report{target, message, win::GetCurrentThreadId(), next_report_++};
            auto it =
                std::find_if(mouse_.begin(), mouse_.end(), [&](const MouseReport& r) { return r.target == target; });
            if (it != mouse_.end())
                *it = report;
            else
                mouse_.push_back(report);
        }
    }
    Tidy();
    return ok;
}

bool HookHub::RemoveMouseReport(win::HWND target) {
    {
        std::lock_guard lock(mutex_);
        auto it = std::find_if(mouse_.begin(), mouse_.end(), [&](const MouseReport& r) { return r.target == target; });
        if (it == mouse_.end()) return false;
        mouse_.erase(it);
    }
    Tidy();
    return true;
}

void HookHub::RunKeyboardHook(win::HHOOK hook, win::WPARAM message, win::KBDLLHOOKSTRUCT record) {
    win::HOOKPROC proc = nullptr;
    {
        std::lock_guard lock(mutex_);
        auto it =
            std::find_if(keyboard_.begin(), keyboard_.end(), [&](const KeyboardHook& h) { return h.handle == hook; });
        if (it == keyboard_.end()) return;  // removed since the event was queued
        proc = it->proc;
    }
    // The record lives for the call; the procedure may remove the hook.
    proc(win::HC_ACTION, message, reinterpret_cast<win::LPARAM>(&record));
}

void HookHub::RunMouseReport(std::uint64_t id, win::WPARAM message, MouseHookRecord record) {
    win::HWND target = nullptr;
    win::UINT report = 0;
    {
        std::lock_guard lock(mutex_);
        auto it = std::find_if(mouse_.begin(), mouse_.end(), [&](const MouseReport& r) { return r.id == id; });
        if (it == mouse_.end()) return;  // removed or replaced since the event was queued
        target = it->target;
        report = it->message;
    }
    win::SendMessageW(target, report, message, reinterpret_cast<win::LPARAM>(&record));
}

void HookHub::OnInput(const InputEvent& event) {
    std::lock_guard lock(mutex_);
    if (IsKey(event)) {
        const KeyHookEvent key = ToKeyHookEvent(event, win::GetTickCount());
        // The newest hook of each thread gets the event; it passes it on to
        // the older ones of its thread with CallNextHookEx.
        std::set<win::DWORD> served;
        for (auto it = keyboard_.rbegin(); it != keyboard_.rend(); ++it) {
            if (!served.insert(it->thread).second) continue;
            auto box = mailboxes_.find(it->thread);
            if (box == mailboxes_.end()) continue;
            const win::HHOOK handle = it->handle;
            box->second->Post([this, handle, key] { RunKeyboardHook(handle, key.message, key.record); });
        }
        return;
    }
    const auto mouse = ToMouseHookEvent(event);
    if (!mouse) return;
    for (const MouseReport& report : mouse_) {
        if (!report.message) continue;
        auto box = mailboxes_.find(report.thread);
        if (box == mailboxes_.end()) continue;
        const std::uint64_t id = report.id;
        const MouseHookEvent copy = *mouse;
        box->second->Post([this, id, copy] { RunMouseReport(id, copy.message, copy.record); });
    }
}

}  // namespace tavrik::hooks
