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

void HookHub::StopSourceIfUnused() {
    std::unique_ptr<InputSource> idle;
    {
        std::lock_guard lock(mutex_);
        const bool reporting = std::any_of(mouse_.begin(), mouse_.end(), [](const MouseReport& r) { return r.message; });
        if (grabbed_ && keyboard_.empty()) {
            source_->ReleaseKeyboard();
            grabbed_ = false;
        }
        if (source_ && keyboard_.empty() && !reporting) idle = std::move(source_);
    }
    // Outside the lock: the source's thread may be waiting for it in OnInput.
    if (idle) idle->Stop();
}

bool HookHub::SourceRunning() {
    std::lock_guard lock(mutex_);
    return source_ != nullptr;
}

win::HHOOK HookHub::AddKeyboardHook(win::HOOKPROC proc, std::string& error) {
    auto mailbox = ThreadMailbox::Open();
    if (!mailbox) {
        error = "no descriptor for the hook's mailbox";
        return nullptr;
    }
    bool ok = false;
    win::HHOOK handle = nullptr;
    {
        std::lock_guard lock(mutex_);
        ok = EnsureSourceLocked(error);
        if (ok && !grabbed_) {
            ok = source_->GrabKeyboard(error);
            grabbed_ = ok;
            if (!ok) win::PlatformLog("hooks: the keyboard cannot be taken: " + error);
        }
        if (ok) {
            handle = reinterpret_cast<win::HHOOK>(next_handle_++);
            keyboard_.push_back({handle, proc, mailbox});
        }
    }
    if (!ok) {
        mailbox->Close();
        StopSourceIfUnused();
    }
    return handle;
}

bool HookHub::RemoveKeyboardHook(win::HHOOK hook) {
    std::shared_ptr<ThreadMailbox> mailbox;
    {
        std::lock_guard lock(mutex_);
        auto it = std::find_if(keyboard_.begin(), keyboard_.end(), [&](const KeyboardHook& h) { return h.handle == hook; });
        if (it == keyboard_.end()) return false;
        mailbox = it->mailbox;
        keyboard_.erase(it);
    }
    mailbox->Close();
    StopSourceIfUnused();
    return true;
}

win::LRESULT HookHub::CallNextKeyboardHook(win::HHOOK hook, int code, win::WPARAM wParam, win::LPARAM lParam) {
    win::HOOKPROC next = nullptr;
    {
        std::lock_guard lock(mutex_);
        auto it = std::find_if(keyboard_.begin(), keyboard_.end(), [&](const KeyboardHook& h) { return h.handle == hook; });
        if (it == keyboard_.end()) return 0;
        const win::DWORD thread = win::GetCurrentThreadId();
        while (it != keyboard_.begin()) {
            --it;
            if (it->mailbox->OwnerThread() == thread) {
                next = it->proc;
                break;
            }
        }
    }
    return next ? next(code, wParam, lParam) : 0;
}

bool HookHub::AddMouseReport(win::HWND target, win::UINT message, std::string& error) {
    auto mailbox = ThreadMailbox::Open();
    if (!mailbox) {
        error = "no descriptor for the hook's mailbox";
        return false;
    }
    std::shared_ptr<ThreadMailbox> replaced;
    bool ok = true;
    {
        std::lock_guard lock(mutex_);
        if (message) ok = EnsureSourceLocked(error);
        if (ok) {
            auto it = std::find_if(mouse_.begin(), mouse_.end(), [&](const MouseReport& r) { return r.target == target; });
            if (it != mouse_.end()) {
                replaced = it->mailbox;
                *it = {target, message, mailbox};
            } else {
                mouse_.push_back({target, message, mailbox});
            }
        }
    }
    if (replaced) replaced->Close();
    if (!ok) mailbox->Close();
    StopSourceIfUnused();
    return ok;
}

bool HookHub::RemoveMouseReport(win::HWND target) {
    std::shared_ptr<ThreadMailbox> mailbox;
    {
        std::lock_guard lock(mutex_);
        auto it = std::find_if(mouse_.begin(), mouse_.end(), [&](const MouseReport& r) { return r.target == target; });
        if (it == mouse_.end()) return false;
        mailbox = it->mailbox;
        mouse_.erase(it);
    }
    mailbox->Close();
    StopSourceIfUnused();
    return true;
}

void HookHub::RunKeyboardHook(win::HHOOK hook, win::WPARAM message, win::KBDLLHOOKSTRUCT record) {
    win::HOOKPROC proc = nullptr;
    {
        std::lock_guard lock(mutex_);
        auto it = std::find_if(keyboard_.begin(), keyboard_.end(), [&](const KeyboardHook& h) { return h.handle == hook; });
        if (it == keyboard_.end()) return;
        proc = it->proc;
    }
    // The record lives for the call; the procedure may remove the hook.
    proc(win::HC_ACTION, message, reinterpret_cast<win::LPARAM>(&record));
}

void HookHub::OnInput(const InputEvent& event) {
    std::lock_guard lock(mutex_);
    if (IsKey(event)) {
        const KeyHookEvent key = ToKeyHookEvent(event, win::GetTickCount());
        // The newest hook of each thread gets the event; it passes it on to
        // the older ones of its thread with CallNextHookEx.
        std::set<win::DWORD> served;
        for (auto it = keyboard_.rbegin(); it != keyboard_.rend(); ++it) {
            if (!served.insert(it->mailbox->OwnerThread()).second) continue;
            const win::HHOOK handle = it->handle;
            it->mailbox->Post([this, handle, key] { RunKeyboardHook(handle, key.message, key.record); });
        }
        return;
    }
    const auto mouse = ToMouseHookEvent(event);
    if (!mouse) return;
    for (const MouseReport& report : mouse_) {
        if (!report.message) continue;
        const win::HWND target = report.target;
        const win::UINT message = report.message;
        const MouseHookEvent copy = *mouse;
        report.mailbox->Post([target, message, copy] {
            MouseHookRecord record = copy.record;
            win::SendMessageW(target, message, copy.message, reinterpret_cast<win::LPARAM>(&record));
        });
    }
}

}  // namespace tavrik::hooks
