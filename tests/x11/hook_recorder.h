#pragma once

// What the hooks deliver in a test: a low-level keyboard hook procedure and a
// window for the input-trap library's messages, both recording into one
// process-wide list, and a pump of the calling thread's message waits.

#include <functional>
#include <vector>

#include "platform/hooks/hook_api.h"
#include "platform/hooks/key_trap.h"

namespace tavrik::test {

struct HookedKey {
    win::WPARAM message = 0;
    win::KBDLLHOOKSTRUCT record;
    int code = 0;
    win::DWORD thread = 0;
    int hook = 0;  // which procedure saw it: 1 RecordingKeyProc, 2 OtherKeyProc
};

struct HookedMouse {
    win::UINT message = 0;  // the registered message
    win::WPARAM mouseMessage = 0;
    MouseHookRecord record;
};

struct HookRecord {
    std::vector<HookedKey> keys;
    std::vector<HookedMouse> mouse;
    std::vector<win::WPARAM> sequence;  // key and mouse messages in the order they came
    // Runs inside the next key procedure call (once), e.g. to remove the hook.
    std::function<void()> onKey;
    win::LRESULT otherResult = 7;      // what OtherKeyProc returns
    bool keyProcCallsNext = false;     // RecordingKeyProc passes the event on
    win::HHOOK keyProcHook = nullptr;  // the hook RecordingKeyProc passes on from
    win::LRESULT lastNextResult = 0;
};

HookRecord& Hooked();
void ClearHooked();

// Low-level keyboard hook procedures recording into Hooked().keys.
win::LRESULT RecordingKeyProc(int code, win::WPARAM wParam, win::LPARAM lParam);
win::LRESULT OtherKeyProc(int code, win::WPARAM wParam, win::LPARAM lParam);

// A window of the calling thread recording every registered message into
// Hooked().mouse.
win::HWND CreateMouseReportWindow();

// Serves the calling thread's message waits without blocking.
void PumpMessages();

// The hooks and report windows a test sets up, all removed by ReleaseAll
// (which then serves the message waits once).
class HookSet {
public:
    win::HHOOK Hook(win::HOOKPROC proc = RecordingKeyProc);
    // Removes one hook, expecting the removal to succeed.
    void Unhook(win::HHOOK h);
    // A new report window (see CreateMouseReportWindow).
    win::HWND Window();
    void ReleaseAll();

private:
    std::vector<win::HHOOK> hooks_;
    std::vector<win::HWND> windows_;
};

}  // namespace tavrik::test
