#include "tests/x11/hook_recorder.h"

#include <gtest/gtest.h>

#include "platform/os/message_queue.h"
#include "platform/os/window.h"

namespace tavrik::test {

HookRecord& Hooked() {
    static HookRecord record;
    return record;
}

void ClearHooked() { Hooked() = HookRecord{}; }

namespace {

void RecordKey(int code, win::WPARAM wParam, win::LPARAM lParam, int hook) {
    HookedKey key;
    key.code = code;
    key.message = wParam;
    key.record = *reinterpret_cast<const win::KBDLLHOOKSTRUCT*>(lParam);
    key.thread = win::GetCurrentThreadId();
    key.hook = hook;
    Hooked().keys.push_back(key);
    Hooked().sequence.push_back(wParam);
}

win::LRESULT MouseWindowProc(win::HWND hwnd, win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
    if (message >= 0xC000 && message <= 0xFFFF) {
        HookedMouse m;
        m.message = message;
        m.mouseMessage = wParam;
        m.record = *reinterpret_cast<const MouseHookRecord*>(lParam);
        Hooked().mouse.push_back(m);
        Hooked().sequence.push_back(wParam);
        return 0;
    }
    return win::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

win::LRESULT RecordingKeyProc(int code, win::WPARAM wParam, win::LPARAM lParam) {
    RecordKey(code, wParam, lParam, 1);
    if (auto once = std::move(Hooked().onKey)) {
        Hooked().onKey = nullptr;
        once();
    }
    if (Hooked().keyProcCallsNext) {
        Hooked().lastNextResult = win::CallNextHookEx(Hooked().keyProcHook, code, wParam, lParam);
        return Hooked().lastNextResult;
    }
    return 1;
}

win::LRESULT OtherKeyProc(int code, win::WPARAM wParam, win::LPARAM lParam) {
    RecordKey(code, wParam, lParam, 2);
    return Hooked().otherResult;
}

win::HWND CreateMouseReportWindow() { return win::CreateWindowHandle(MouseWindowProc); }

void PumpMessages() {
    win::MSG msg;
    while (win::PeekMessageW(&msg, nullptr, 0, 0, win::PM_REMOVE)) win::DispatchMessageW(&msg);
}

win::HHOOK HookSet::Hook(win::HOOKPROC proc) {
    win::HHOOK h = win::SetWindowsHookExW(win::WH_KEYBOARD_LL, proc, nullptr, 0);
    if (h) hooks_.push_back(h);
    return h;
}

void HookSet::Unhook(win::HHOOK h) {
    EXPECT_TRUE(win::UnhookWindowsHookEx(h));
    std::erase(hooks_, h);
}

win::HWND HookSet::Window() {
    windows_.push_back(CreateMouseReportWindow());
    return windows_.back();
}

void HookSet::ReleaseAll() {
    for (win::HHOOK h : hooks_) win::UnhookWindowsHookEx(h);
    hooks_.clear();
    for (win::HWND w : windows_) {
        UnInstallHook(w);
        win::DestroyWindow(w);
    }
    windows_.clear();
    PumpMessages();
}

}  // namespace tavrik::test
