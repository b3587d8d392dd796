// Threads and the window system: hook chains per thread, hooks that end with their thread,
// thread messages, sends that time out or are answered early, and waiting on objects and
// messages together.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "windows.h"
#include "winplat_test.h"

namespace {

LRESULT CALLBACK Plain(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

HWND Make() {
    static bool once = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Plain;
        wc.lpszClassName = "VelmoraThreadsTest";
        return RegisterClassA(&wc) != 0;
    }();
    (void)once;
    return CreateWindowExA(0, "VelmoraThreadsTest", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

std::vector<std::string> g_order;
HHOOK g_first, g_second;
LRESULT CALLBACK FirstHook(int c, WPARAM w, LPARAM l) {
    if (reinterpret_cast<CWPSTRUCT*>(l)->message == WM_USER + 9) g_order.push_back("first");
    return CallNextHookEx(g_first, c, w, l);
}
LRESULT CALLBACK SecondHook(int c, WPARAM w, LPARAM l) {
    if (reinterpret_cast<CWPSTRUCT*>(l)->message == WM_USER + 9) g_order.push_back("second");
    return CallNextHookEx(g_second, c, w, l);
}

TEST(UserThreads, HookChainsRunNewestFirstAndOnlyForTheirThread) {
    HWND h = Make();
    g_first = SetWindowsHookExA(WH_CALLWNDPROC, FirstHook, nullptr, GetCurrentThreadId());
    g_second = SetWindowsHookExA(WH_CALLWNDPROC, SecondHook, nullptr, GetCurrentThreadId());
    g_order.clear();
    SendMessageA(h, WM_USER + 9, 0, 0);
    EXPECT_EQ(g_order, (std::vector<std::string>{"second", "first"}));
    // A window of another thread: its messages are seen by its thread's hooks only.
    g_order.clear();
    std::thread t([] {
        HWND other = Make();
        SendMessageA(other, WM_USER + 9, 0, 0);
        DestroyWindow(other);
    });
    t.join();
    EXPECT_TRUE(g_order.empty());
    // Posted messages are not sent messages: the hook does not see them.
    PostMessageA(h, WM_USER + 9, 0, 0);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    EXPECT_TRUE(g_order.empty());
    UnhookWindowsHookEx(g_second);
    g_order.clear();
    SendMessageA(h, WM_USER + 9, 0, 0);
    EXPECT_EQ(g_order, std::vector<std::string>{"first"});
    UnhookWindowsHookEx(g_first);
    DestroyWindow(h);
}

std::atomic<int> g_worker_hook_calls{0};
LRESULT CALLBACK WorkerHook(int c, WPARAM w, LPARAM l) {
    g_worker_hook_calls++;
    return CallNextHookEx(nullptr, c, w, l);
}

TEST(UserThreads, AThreadsHooksEndWithItAndSentMessagesAreHookedInTheReceiver) {
    HHOOK hook = nullptr;
    HWND worker_wnd = nullptr;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread t([&] {
        hook = SetWindowsHookExA(WH_CALLWNDPROC, WorkerHook, nullptr, GetCurrentThreadId());
        worker_wnd = Make();
        SetEvent(ready);
        // Answer sends until told to stop.
        while (MsgWaitForMultipleObjects(1, &stop, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
        }
    });
    WaitForSingleObject(ready, INFINITE);
    int before = g_worker_hook_calls;
    EXPECT_EQ(SendMessageA(worker_wnd, WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_EQ(g_worker_hook_calls - before, 1);  // run by the worker, for a send from here
    SetEvent(stop);
    t.join();
    EXPECT_FALSE(UnhookWindowsHookEx(hook));  // gone with its thread, quietly
    CloseHandle(ready);
    CloseHandle(stop);
}

TEST(UserThreads, ThreadMessagesReachAWorkerBlockedInGetMessage) {
    std::atomic<DWORD> tid{0};
    std::atomic<WPARAM> got{0};
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread t([&] {
        MSG m;
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);  // make the queue
        tid = GetCurrentThreadId();
        SetEvent(ready);
        while (GetMessageA(&m, nullptr, 0, 0) > 0)
            if (m.message == WM_APP && !m.hwnd) got = m.wParam;
    });
    WaitForSingleObject(ready, INFINITE);
    Sleep(10);
    EXPECT_TRUE(PostThreadMessageA(tid, WM_APP, 77, 0));
    EXPECT_TRUE(PostThreadMessageA(tid, WM_QUIT, 0, 0));
    t.join();
    EXPECT_EQ(got.load(), 77u);
    EXPECT_FALSE(PostThreadMessageA(tid, WM_APP, 1, 0));  // the thread is gone
    CloseHandle(ready);
}

LRESULT CALLBACK EarlyReplyProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_USER) {
        ReplyMessage(42);
        EXPECT_EQ(InSendMessageEx(nullptr) & ISMEX_REPLIED, DWORD(ISMEX_REPLIED));
        return 7;  // too late: the sender already has its answer
    }
    return DefWindowProcA(h, m, w, l);
}

TEST(UserThreads, SendsTimeOutWhenNotAnsweredAndTakeAnEarlyReply) {
    HWND mine = Make();
    std::atomic<int> phase{0};
    std::atomic<LRESULT> timed{-1}, replied{-1};
    std::atomic<DWORD> timeout_error{0};
    std::thread t([&] {
        DWORD_PTR r = 0;
        timed = SendMessageTimeoutA(mine, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 30, &r);
        timeout_error = GetLastError();
        phase = 1;
        while (phase != 2) Sleep(1);
        replied = SendMessageA(mine, WM_USER, 0, 0);
        BOOL notified = SendNotifyMessageA(mine, WM_USER + 1, 0, 0);  // returns without waiting
        EXPECT_TRUE(notified);
        phase = 3;
    });
    // Not pumping: the send times out (on real time, the clock of waits).
    while (phase != 1) Sleep(1);
    EXPECT_EQ(timed.load(), 0);
    EXPECT_EQ(timeout_error.load(), DWORD(ERROR_TIMEOUT));
    // The withdrawn message is not handled later.
    EXPECT_FALSE(GetQueueStatus(QS_SENDMESSAGE) & QS_SENDMESSAGE);
    SetWindowLongPtrA(mine, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EarlyReplyProc));
    phase = 2;
    MSG m;
    while (phase != 3) {
        PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);
        Sleep(1);
    }
    t.join();
    EXPECT_EQ(replied.load(), 42);
    DestroyWindow(mine);
}

TEST(UserThreads, MsgWaitWakesForObjectsAndForMessages) {
    HANDLE ev = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {}
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &ev, FALSE, 10, QS_ALLINPUT), DWORD(WAIT_TIMEOUT));
    std::thread t([ev] {
        Sleep(10);
        SetEvent(ev);
    });
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &ev, FALSE, INFINITE, QS_ALLINPUT), WAIT_OBJECT_0);
    t.join();
    DWORD me = GetCurrentThreadId();
    std::thread p([me] {
        Sleep(10);
        PostThreadMessageA(me, WM_APP, 0, 0);
    });
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &ev, FALSE, INFINITE, QS_POSTMESSAGE), WAIT_OBJECT_0 + 1);
    p.join();
    EXPECT_TRUE(PeekMessageA(&m, nullptr, WM_APP, WM_APP, PM_REMOVE));
    CloseHandle(ev);
}

}  // namespace
