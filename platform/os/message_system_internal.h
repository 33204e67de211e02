#pragma once

// Shared state of the window and message code (not a public header).

#include <poll.h>

#include <atomic>
#include <chrono>
#include <map>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/os/message_queue.h"
#include "platform/os/window.h"

namespace win::detail {

struct ThreadQueue;

// A message sent from another thread, waiting for the owner to run it.
struct SentMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::shared_ptr<ThreadQueue> sender;
    std::mutex mutex;
    bool done = false;
    bool abandoned = false;  // the sender stopped waiting (time-out)
    LRESULT result = 0;
    // WM_COPYDATA travels as a copy owned by the message, so a sender that
    // stopped waiting cannot pull the bytes from under the receiver.
    COPYDATASTRUCT copy;
    std::vector<unsigned char> copyBytes;
};

struct QueueTimer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    DWORD elapse = 0;
    std::uint64_t due = 0;  // GetTickCount64 value
    TIMERPROC proc = nullptr;
};

struct MessageSource {
    int id = 0;
    int fd = -1;
    std::function<void()> onReady;
    std::function<bool()> hasPending;
};

struct ThreadQueue {
    ThreadQueue();
    ~ThreadQueue();
    ThreadQueue(const ThreadQueue&) = delete;
    ThreadQueue& operator=(const ThreadQueue&) = delete;

    void Wake();
    void Drain();

    DWORD threadId = 0;
    int wakeFd = -1;

    std::mutex mutex;  // guards everything below except the owner-only fields
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentMessage>> sent;
    std::vector<QueueTimer> timers;
    bool quitPosted = false;
    int quitCode = 0;
    bool leftLoop = false;  // GetMessageW returned FALSE and no loop runs since
    bool dead = false;      // the thread ended
    UINT_PTR nextThreadTimerId = 0x7FFF0000;

    // Owner thread only.
    std::vector<std::shared_ptr<MessageSource>> sources;
    int inSendDepth = 0;
};

// Kinds of window.
struct Window {
    HWND handle = nullptr;
    std::shared_ptr<ThreadQueue> queue;  // owner; null for a window of another process
    // Set by the owner, read by other threads too.
    std::atomic<WNDPROC> proc{nullptr};
    std::atomic<LONG_PTR> userData{0};
    std::atomic<LONG_PTR> style{0};
    std::atomic<LONG_PTR> exStyle{0};
    std::atomic<HWND> parent{nullptr};
    std::wstring title;
    // Guarded by queue->mutex (plain flags for windows of other processes).
    std::atomic<bool> destroying{false};
    std::atomic<bool> destroyed{false};
    // A window of another process: where its socket is.
    std::string remoteAddress;
    DWORD remoteProcessId = 0;
};

// The queues of every thread that has one, by thread id (thread_queue.cpp).
struct QueueDirectory {
    std::mutex mutex;
    std::map<DWORD, std::weak_ptr<ThreadQueue>> byThread;
};
QueueDirectory& Directory();

using Clock = std::chrono::steady_clock;

// The steps every message wait is built of (thread_queue.cpp).
void Complete(const std::shared_ptr<SentMessage>& sent, LRESULT result);
bool MatchesFilter(const MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax);
void ServeSent(const std::shared_ptr<ThreadQueue>& queue);
bool RunPendingSources(const std::shared_ptr<ThreadQueue>& queue);
bool TakeMessage(const std::shared_ptr<ThreadQueue>& queue, MSG* out, HWND hwnd, UINT filterMin, UINT filterMax,
                 bool remove, bool timers);
int NextTimerMs(const std::shared_ptr<ThreadQueue>& queue);
int MinTimeout(int a, int b);
int WaitStep(const std::shared_ptr<ThreadQueue>& queue, const std::vector<pollfd>& extra, int timeoutMs);
int RemainingMs(bool infinite, Clock::time_point deadline);

// The table of windows (window_registry.cpp).
struct WindowRegistry {
    std::mutex mutex;
    std::map<std::uintptr_t, std::shared_ptr<Window>> windows;
    std::uintptr_t next = 0x10010;
};
WindowRegistry& Registry();
HWND AddLocalWindow(std::shared_ptr<Window> window);
void RemoveWindow(HWND hwnd);
// Every window of a thread whose queue ended stops existing.
void ForgetThreadWindows(const std::shared_ptr<ThreadQueue>& queue);

std::shared_ptr<ThreadQueue> CurrentQueue();
std::shared_ptr<Window> FindWindowObject(HWND hwnd);
std::vector<std::shared_ptr<Window>> LocalWindows();
// Registers a handle for a window of another process (or returns the one that
// already names that address).
HWND RegisterRemoteWindow(const std::string& address, const std::wstring& title, DWORD processId);

// Cross-process delivery (remote.cpp).
LRESULT RemoteSend(const Window& window, UINT message, WPARAM wParam, LPARAM lParam, bool* delivered);
BOOL RemotePost(const Window& window, UINT message, WPARAM wParam, LPARAM lParam);
void RemoteBroadcastPost(UINT message, WPARAM wParam, LPARAM lParam);
HWND RemoteFindWindow(const std::wstring& title);
// Whether a window of another process is still there.
bool RemoteAlive(const Window& window);
void OnLocalWindowGone(HWND hwnd);
void OnLocalWindowTitle(HWND hwnd);

}  // namespace win::detail
