#include "platform/os/message_queue.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/os/clock.h"
#include "tests/support/wait_bound.h"

namespace {

using namespace win;

constexpr UINT kMsgA = WM_USER + 1;
constexpr UINT kMsgB = WM_USER + 2;
constexpr UINT kMsgNested = WM_USER + 3;
constexpr UINT kMsgStop = WM_USER + 4;

// A window whose procedure forwards to a std::function held in user data.
struct TestWindow {
    using Handler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
    Handler handler;
    std::mutex mutex;
    std::vector<UINT> seen;  // every message other than creation

    static LRESULT Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE) {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
            return TRUE;
        }
        auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self == nullptr) {
            return DefWindowProcW(hwnd, msg, wp, lp);
        }
        {
            std::lock_guard lock(self->mutex);
            self->seen.push_back(msg);
        }
        if (self->handler) {
            return self->handler(hwnd, msg, wp, lp);
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }

    HWND Create(const wchar_t* title = nullptr) { return CreateWindowHandle(&Proc, title, nullptr, this); }

    std::vector<UINT> Seen() {
        std::lock_guard lock(mutex);
        return seen;
    }
};

// Runs the calling thread's loop until WM_QUIT; returns the exit code.
int RunLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

TEST(Messages, PostedMessagesArriveInOrderAndQuitEndsTheLoop) {
    TestWindow w;
    std::vector<WPARAM> order;
    w.handler = [&](HWND, UINT msg, WPARAM wp, LPARAM) -> LRESULT {
        if (msg == kMsgA) {
            order.push_back(wp);
            if (wp == 3) {
                PostQuitMessage(7);
            }
        }
        return 0;
    };
    HWND hwnd = w.Create();
    ASSERT_NE(hwnd, nullptr);
    std::thread poster([hwnd] {
        for (WPARAM i = 1; i <= 3; ++i) {
            EXPECT_TRUE(PostMessageW(hwnd, kMsgA, i, 0));
        }
    });
    EXPECT_EQ(RunLoop(), 7);
    poster.join();
    EXPECT_EQ(order, (std::vector<WPARAM>{1, 2, 3}));
    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(PostMessageW(hwnd, kMsgA, 0, 0));
    EXPECT_EQ(SendMessageW(hwnd, kMsgA, 0, 0), 0);
}

TEST(Messages, CreationAndDestructionMessages) {
    TestWindow w;
    w.handler = [](HWND h, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(h, m, wp, lp); };
    HWND hwnd = w.Create(L"title");
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(GetWindowTitle(hwnd), L"title");
    EXPECT_EQ(GetWindowThreadProcessId(hwnd, nullptr), GetCurrentThreadId());
    // WM_CLOSE through the default procedure destroys the window.
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(w.Seen(), (std::vector<UINT>{WM_CREATE, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
}

TEST(Messages, MessageOnlyWindowTakesMessagesByHandleButNoBroadcast) {
    TestWindow w;
    std::vector<WPARAM> got;
    w.handler = [&](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == kMsgA) {
            got.push_back(wp);
            return 0;
        }
        return DefWindowProcW(h, m, wp, lp);
    };
    HWND top = w.Create(L"message-only test top");
    HWND hidden = CreateWindowHandle(&TestWindow::Proc, nullptr, HWND_MESSAGE, &w);
    ASSERT_NE(hidden, nullptr);
    EXPECT_EQ(GetParent(hidden), HWND_MESSAGE);
    // A broadcast reaches the top-level window only.
    EXPECT_TRUE(PostMessageW(HWND_BROADCAST, kMsgA, 1, 0));
    EXPECT_TRUE(PostMessageW(hidden, kMsgA, 2, 0));
    EXPECT_EQ(SendMessageW(hidden, kMsgA, 3, 0), 0);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(got, (std::vector<WPARAM>{3, 1, 2}));
    EXPECT_TRUE(DestroyWindow(hidden));
    EXPECT_TRUE(IsWindow(top)) << "the message-only window owns nothing";
    EXPECT_TRUE(DestroyWindow(top));
}

TEST(Messages, CreateFailsWhenCreateReturnsMinusOne) {
    TestWindow w;
    w.handler = [](HWND, UINT m, WPARAM, LPARAM) -> LRESULT { return m == WM_CREATE ? -1 : 0; };
    EXPECT_EQ(w.Create(), nullptr);
    EXPECT_EQ(w.Seen(), (std::vector<UINT>{WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
}

TEST(Messages, SendToOwnThreadIsADirectCall) {
    TestWindow w;
    w.handler = [](HWND, UINT m, WPARAM wp, LPARAM lp) -> LRESULT { return m == kMsgA ? wp + lp : 0; };
    HWND hwnd = w.Create();
    EXPECT_EQ(SendMessageW(hwnd, kMsgA, 40, 2), 42);
    DestroyWindow(hwnd);
}

TEST(Messages, CrossThreadSendBlocksUntilHandledAndKeepsOrder) {
    TestWindow w;
    std::vector<int> log;
    w.handler = [&](HWND, UINT m, WPARAM wp, LPARAM) -> LRESULT {
        if (m == kMsgA || m == kMsgB) {
            log.push_back(static_cast<int>(wp));
        }
        if (m == kMsgStop) {
            PostQuitMessage(0);
        }
        return m == kMsgB ? static_cast<LRESULT>(wp * 10) : 0;
    };
    HWND hwnd = w.Create();
    std::vector<LRESULT> results;
    std::thread worker([&] {
        for (int i = 0; i < 20; ++i) {
            PostMessageW(hwnd, kMsgA, static_cast<WPARAM>(i * 2), 0);
            results.push_back(SendMessageW(hwnd, kMsgB, static_cast<WPARAM>(i * 2 + 1), 0));
        }
        PostMessageW(hwnd, kMsgStop, 0, 0);
    });
    RunLoop();
    worker.join();
    // Each send returned only after the owner ran it, with its result. Sent
    // messages overtake posted ones (they are served first), but posts keep
    // their order among themselves and so do sends.
    ASSERT_EQ(results.size(), 20u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(results[i], (i * 2 + 1) * 10);
    }
    ASSERT_EQ(log.size(), 40u);
    std::vector<int> posted, sent;
    for (int v : log) {
        (v % 2 == 0 ? posted : sent).push_back(v);
    }
    ASSERT_EQ(posted.size(), 20u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(posted[i], i * 2);
        EXPECT_EQ(sent[i], i * 2 + 1);
    }
    DestroyWindow(hwnd);
}

TEST(Messages, SendIsServedInsideANestedModalLoop) {
    TestWindow w;
    std::atomic<bool> inModal{false};
    std::vector<std::string> trace;
    w.handler = [&](HWND hwnd, UINT m, WPARAM wp, LPARAM) -> LRESULT {
        if (m == kMsgNested) {
            // A modal loop inside a window procedure.
            trace.push_back("modal-begin");
            inModal = true;
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                if (msg.message == kMsgStop && msg.hwnd == hwnd) {
                    break;
                }
                DispatchMessageW(&msg);
            }
            inModal = false;
            trace.push_back("modal-end");
            PostQuitMessage(0);
            return 0;
        }
        if (m == kMsgB) {
            trace.push_back(inModal ? "send-in-modal" : "send-outside");
            return static_cast<LRESULT>(wp + 1);
        }
        return 0;
    };
    HWND hwnd = w.Create();
    PostMessageW(hwnd, kMsgNested, 0, 0);
    LRESULT got = 0;
    std::thread worker([&] {
        while (!inModal) {
            Sleep(1);
        }
        got = SendMessageW(hwnd, kMsgB, 41, 0);
        PostMessageW(hwnd, kMsgStop, 0, 0);
    });
    RunLoop();
    worker.join();
    EXPECT_EQ(got, 42);
    EXPECT_EQ(trace, (std::vector<std::string>{"modal-begin", "send-in-modal", "modal-end"}));
    DestroyWindow(hwnd);
}

TEST(Messages, OwnerSendingToWorkerWindowWhileWorkerSendsBackDoesNotDeadlock) {
    // Thread B owns window wb; the main thread owns wa. B sends to wa while
    // wa's handler sends to wb: each blocked sender serves the other.
    TestWindow wa, wb;
    HWND hwa = wa.Create();
    std::atomic<HWND> hwb{nullptr};
    std::thread b([&] {
        wb.handler = [](HWND, UINT m, WPARAM wp, LPARAM) -> LRESULT { return m == kMsgB ? wp * 2 : 0; };
        hwb = wb.Create();
        LRESULT r = SendMessageW(hwa, kMsgA, 5, 0);
        EXPECT_EQ(r, 20);
        DestroyWindow(hwb);
    });
    wa.handler = [&](HWND, UINT m, WPARAM wp, LPARAM) -> LRESULT {
        if (m == kMsgA) {
            LRESULT r = SendMessageW(hwb, kMsgB, wp * 2, 0);
            PostQuitMessage(0);
            return r;
        }
        return 0;
    };
    RunLoop();
    b.join();
    DestroyWindow(hwa);
}

TEST(Messages, WorkerBlockedInSendWakesWhenTheWindowIsDestroyed) {
    TestWindow w;
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HWND hwnd = w.Create();
    // Earlier tests left this thread's loop; a peek makes it a serving thread
    // again, which only does not get round to serving the send.
    MSG peeked;
    PeekMessageW(&peeked, nullptr, 0, 0, PM_NOREMOVE);
    std::atomic<int> sends{0};
    std::atomic<bool> sending{false};
    std::atomic<DWORD> endedAfterStop{0};
    std::thread worker([&] {
        while (WaitForSingleObject(stop, 0) != WAIT_OBJECT_0) {
            sending = true;
            SendMessageW(hwnd, kMsgA, 0, 0);  // the owner never runs a loop
            ++sends;
        }
    });
    while (!sending) {
        Sleep(1);
    }
    Sleep(5);
    EXPECT_EQ(sends.load(), 0) << "the send must block while the owner does not serve it";
    // Shutdown order of the main window: destruction begins, then the stop
    // events are set and the workers are waited for.
    w.handler = [&](HWND, UINT m, WPARAM, LPARAM) -> LRESULT {
        if (m == WM_DESTROY) {
            SetEvent(stop);
            DWORD t0 = GetTickCount();
            worker.join();
            endedAfterStop = GetTickCount() - t0;
        }
        return 0;
    };
    DestroyWindow(hwnd);
    EXPECT_LT(endedAfterStop.load(), 1000u);
    EXPECT_GE(sends.load(), 1);
    // The worker's message never reached the procedure.
    for (UINT m : w.Seen()) {
        EXPECT_NE(m, kMsgA);
    }
    CloseHandle(stop);
}

TEST(Messages, SendToAThreadThatLeftItsLoopReturnsZeroAtOnce) {
    TestWindow w;
    std::atomic<HWND> hwnd{nullptr};
    std::atomic<bool> leave{false};
    HANDLE left = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread owner([&] {
        w.handler = [](HWND, UINT m, WPARAM, LPARAM) -> LRESULT { return m == kMsgA ? 5 : 0; };
        hwnd = w.Create();
        PostQuitMessage(0);
        RunLoop();
        SetEvent(left);
        while (!leave) {
            Sleep(1);
        }
    });
    ASSERT_EQ(WaitForSingleObject(left, tavrik::test::WaitBoundMs(5000)), WAIT_OBJECT_0);
    DWORD t0 = GetTickCount();
    EXPECT_EQ(SendMessageW(hwnd, kMsgA, 0, 0), 0);
    EXPECT_LT(GetTickCount() - t0, 500u);
    leave = true;
    owner.join();
    // The thread ended: its window is gone.
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(SendMessageW(hwnd, kMsgA, 0, 0), 0);
    CloseHandle(left);
}

TEST(Messages, CopyDataAcrossThreadsOutlivesASenderThatGaveUp) {
    // The receiver reads the data only once the sender has given up and freed
    // its buffer. The sender's time-out must outlast the receiver's pick-up of
    // the message (a send abandoned before it started is dropped), so it is a
    // generous bound; the sender gives up while the handler holds the message.
    const int giveUpMs = tavrik::test::WaitBoundMs(1000);
    TestWindow w;
    std::vector<unsigned char> got;
    std::atomic<bool> handled{false};
    std::atomic<bool> sent{false};
    std::atomic<bool> senderGaveUpFirst{false};
    w.handler = [&](HWND, UINT m, WPARAM, LPARAM lp) -> LRESULT {
        if (m == WM_COPYDATA) {
            const DWORD start = GetTickCount();
            while (!sent && GetTickCount() - start < DWORD(4 * giveUpMs)) Sleep(1);
            senderGaveUpFirst = sent.load();
            auto* data = reinterpret_cast<COPYDATASTRUCT*>(lp);
            auto* bytes = static_cast<unsigned char*>(data->lpData);
            got.assign(bytes, bytes + data->cbData);
            handled = true;
            return static_cast<LRESULT>(data->dwData);
        }
        return 0;
    };
    HWND hwnd = w.Create();
    MSG peeked;
    PeekMessageW(&peeked, nullptr, 0, 0, PM_NOREMOVE);
    std::thread worker([&] {
        auto* buffer = new std::vector<unsigned char>(2000, 0x5A);
        COPYDATASTRUCT data{1, static_cast<DWORD>(buffer->size()), buffer->data()};
        DWORD_PTR result = 0;
        EXPECT_FALSE(SendMessageTimeoutW(hwnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL,
                                         static_cast<UINT>(giveUpMs), &result));
        delete buffer;  // gone while the receiver still reads
        sent = true;
    });
    const DWORD start = GetTickCount();
    while (!handled && GetTickCount() - start < DWORD(8 * giveUpMs)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    worker.join();
    ASSERT_TRUE(handled.load()) << "the receiver never got the message before its sender gave up";
    EXPECT_TRUE(senderGaveUpFirst.load());
    EXPECT_EQ(got, std::vector<unsigned char>(2000, 0x5A));
    EXPECT_FALSE(PostMessageW(hwnd, WM_COPYDATA, 0, 0)) << "WM_COPYDATA can only be sent";
    DestroyWindow(hwnd);
}

TEST(Messages, SendTimeoutGivesUp) {
    TestWindow w;
    HWND hwnd = w.Create();
    DWORD_PTR result = 99;
    std::thread worker([&] { EXPECT_FALSE(SendMessageTimeoutW(hwnd, kMsgA, 0, 0, SMTO_NORMAL, 20, &result)); });
    worker.join();
    EXPECT_EQ(result, 0u);
    // The abandoned send is not run later.
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    for (UINT m : w.Seen()) {
        EXPECT_NE(m, kMsgA);
    }
    DestroyWindow(hwnd);
}

TEST(Timers, ArmedFromWorkersFireOnTheOwnerThread) {
    TestWindow w;
    const DWORD owner = GetCurrentThreadId();
    std::vector<UINT_PTR> fired;
    std::atomic<bool> wrongThread{false};
    w.handler = [&](HWND hwnd, UINT m, WPARAM wp, LPARAM) -> LRESULT {
        if (m == WM_TIMER) {
            if (GetCurrentThreadId() != owner) {
                wrongThread = true;
            }
            KillTimer(hwnd, wp);
            fired.push_back(wp);
            if (fired.size() == 2) {
                PostQuitMessage(0);
            }
        }
        return 0;
    };
    HWND hwnd = w.Create();
    // Armed while the owner already sleeps in its loop with no timer: the
    // owner must wake up for them.
    std::thread worker([&] {
        Sleep(20);
        EXPECT_EQ(SetTimer(hwnd, 1031, 5000, nullptr), 1031u);
        EXPECT_EQ(SetTimer(hwnd, 1031, 10, nullptr), 1031u);  // re-arming replaces
        EXPECT_EQ(SetTimer(hwnd, 1011, 30, nullptr), 1011u);
    });
    DWORD t0 = GetTickCount();
    RunLoop();
    worker.join();
    EXPECT_LT(GetTickCount() - t0, 3000u);
    EXPECT_FALSE(wrongThread.load());
    EXPECT_EQ(fired, (std::vector<UINT_PTR>{1031, 1011}));
    EXPECT_FALSE(KillTimer(hwnd, 1031));
    DestroyWindow(hwnd);
}

TEST(Timers, RepeatsUntilKilledAndDiesWithTheWindow) {
    TestWindow w;
    int count = 0;
    w.handler = [&](HWND hwnd, UINT m, WPARAM, LPARAM) -> LRESULT {
        if (m == WM_TIMER && ++count == 3) {
            DestroyWindow(hwnd);
            PostQuitMessage(0);
        }
        return 0;
    };
    HWND hwnd = w.Create();
    SetTimer(hwnd, 5, 2, nullptr);
    RunLoop();
    EXPECT_EQ(count, 3);
    EXPECT_EQ(SetTimer(hwnd, 5, 2, nullptr), 0u);
    // No WM_TIMER for the destroyed window remains.
    MSG msg;
    Sleep(5);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

int thread_timer_calls = 0;
void CountThreadTimer(HWND hwnd, UINT msg, UINT_PTR id, DWORD) {
    EXPECT_EQ(hwnd, nullptr);
    EXPECT_EQ(msg, WM_TIMER);
    if (++thread_timer_calls == 2) {
        KillTimer(nullptr, id);
        PostQuitMessage(0);
    }
}

TEST(Timers, ThreadTimerRunsItsProcedureOnDispatch) {
    thread_timer_calls = 0;
    UINT_PTR id = SetTimer(nullptr, 0, 1, &CountThreadTimer);
    EXPECT_NE(id, 0u);
    EXPECT_NE(SetTimer(nullptr, 0, 1000, nullptr), id) << "each thread timer gets its own id";
    RunLoop();
    EXPECT_EQ(thread_timer_calls, 2);
}

TEST(Messages, FiltersByWindowAndRange) {
    TestWindow w1, w2;
    HWND h1 = w1.Create(), h2 = w2.Create();
    PostMessageW(h1, kMsgA, 1, 0);
    PostMessageW(h2, kMsgB, 2, 0);
    PostMessageW(h1, kMsgB, 3, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, h2, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, kMsgB, kMsgB, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    // A broadcast reaches each top-level window of the process once.
    PostMessageW(HWND_BROADCAST, kMsgA, 9, 0);
    int seen = 0;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        EXPECT_EQ(msg.message, kMsgA);
        EXPECT_TRUE(msg.hwnd == h1 || msg.hwnd == h2);
        ++seen;
    }
    EXPECT_GE(seen, 2);
    DestroyWindow(h1);
    DestroyWindow(h2);
}

TEST(MessageSources, DescriptorCallbackRunsInsideTheMessageWait) {
    TestWindow w;
    HWND hwnd = w.Create();
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    int calls = 0;
    int id = AddMessageSource(fds[0], [&] {
        char buf[16];
        if (::read(fds[0], buf, sizeof buf) > 0) {
            ++calls;
            PostMessageW(hwnd, kMsgStop, 0, 0);
        }
    });
    w.handler = [](HWND, UINT m, WPARAM, LPARAM) -> LRESULT {
        if (m == kMsgStop) {
            PostQuitMessage(0);
        }
        return 0;
    };
    std::thread writer([&] {
        Sleep(10);
        ASSERT_EQ(::write(fds[1], "e", 1), 1);
    });
    RunLoop();
    writer.join();
    EXPECT_EQ(calls, 1);

    // Events already buffered by the backend are served without the fd.
    bool buffered = true;
    int bufferedCalls = 0;
    int id2 = AddMessageSource(
        fds[0],
        [&] {
            buffered = false;
            ++bufferedCalls;
        },
        [&] { return buffered; });
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(bufferedCalls, 1);
    RemoveMessageSource(id);
    RemoveMessageSource(id2);
    ::close(fds[0]);
    ::close(fds[1]);
    DestroyWindow(hwnd);
}

// A timer whose handling takes longer than its period is always due; the
// descriptors (the display's input) must still be served between its runs.
TEST(MessageSources, ReadyDescriptorIsServedWhileATimerIsAlwaysDue) {
    TestWindow w;
    HWND hwnd = w.Create();
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    int ticks = 0;
    int served = 0;
    int id = AddMessageSource(fds[0], [&] {
        char buf[16];
        if (::read(fds[0], buf, sizeof buf) > 0) {
            ++served;
            PostQuitMessage(0);
        }
    });
    w.handler = [&](HWND, UINT m, WPARAM, LPARAM) -> LRESULT {
        if (m == WM_TIMER) {
            ++ticks;
            Sleep(3);  // longer than the 1 ms period
            // The input arrives while the timer runs, as clicks do while a
            // page repaints its lights.
            if (ticks == 2) {
                EXPECT_EQ(::write(fds[1], "e", 1), 1);
            }
            // Bounded: without input first, the loop would run only timers.
            if (ticks == 200) PostQuitMessage(1);
        }
        return 0;
    };
    SetTimer(hwnd, 7, 1, nullptr);
    RunLoop();
    EXPECT_EQ(served, 1);
    EXPECT_LE(ticks, 3);
    KillTimer(hwnd, 7);
    RemoveMessageSource(id);
    ::close(fds[0]);
    ::close(fds[1]);
    DestroyWindow(hwnd);
}

TEST(MessageSources, MsgWaitReturnsForHandlesAndForMessages) {
    HANDLE e = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &e, FALSE, 5, QS_ALLINPUT), WAIT_TIMEOUT);
    SetEvent(e);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &e, FALSE, 5, QS_ALLINPUT), WAIT_OBJECT_0);
    PostThreadMessageW(GetCurrentThreadId(), kMsgA, 1, 2);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &e, FALSE, tavrik::test::WaitBoundMs(1000), QS_ALLINPUT), WAIT_OBJECT_0 + 1);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, kMsgA);
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.lParam, 2);
    CloseHandle(e);
}

}  // namespace
