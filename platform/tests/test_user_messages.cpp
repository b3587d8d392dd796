// Message queues: cross-thread sending without deadlock, sends that fail cleanly, retrieval
// order and filters, quitting, timers on the hand-driven clock and the keyboard hook.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "windows.h"
#include "winplat_test.h"

namespace {

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

void RegisterPlain() {
    static bool once = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PlainProc;
        wc.lpszClassName = "VelmoraMsgPlain";
        return RegisterClassA(&wc) != 0;
    }();
    (void)once;
}

HWND MakeWindow(WNDPROC proc) {
    RegisterPlain();
    HWND h = CreateWindowExA(0, "VelmoraMsgPlain", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    if (proc) SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    return h;
}

void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

// ---- cross-thread sending ----

HWND g_worker_wnd;
std::atomic<int> g_ui_handled{0};
std::atomic<bool> g_ui_saw_in_send{false};

LRESULT CALLBACK WorkerWndProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_USER + 5) return LRESULT(w) * 2;
    return DefWindowProcA(h, m, w, l);
}

LRESULT CALLBACK UiProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_USER) {
        g_ui_handled++;
        if (InSendMessage()) g_ui_saw_in_send = true;
        // Calls back into the worker, which is itself blocked sending to us.
        return SendMessageA(g_worker_wnd, WM_USER + 5, w, 0) + 1;
    }
    return DefWindowProcA(h, m, w, l);
}

TEST(UserMessages, CrossThreadSendWhileTheUiRunsAModalLoopDoesNotDeadlock) {
    HWND ui = MakeWindow(UiProc);
    ASSERT_TRUE(ui);
    std::atomic<bool> done{false};
    std::vector<LRESULT> results;
    std::thread worker([&] {
        g_worker_wnd = MakeWindow(WorkerWndProc);
        for (int i = 0; i < 50; ++i) results.push_back(SendMessageA(ui, WM_USER, WPARAM(i), 0));
        DestroyWindow(g_worker_wnd);
        done = true;
        PostMessageA(ui, WM_NULL, 0, 0);
    });
    // A modal loop of the program's own: it still answers the worker's sends.
    MSG m;
    while (!done) {
        if (GetMessageA(&m, nullptr, 0, 0) <= 0) break;
        DispatchMessageA(&m);
    }
    worker.join();
    ASSERT_EQ(results.size(), 50u);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(results[size_t(i)], LRESULT(i * 2 + 1));
    EXPECT_EQ(g_ui_handled.load(), 50);
    EXPECT_TRUE(g_ui_saw_in_send.load());
    EXPECT_FALSE(InSendMessage());
    DestroyWindow(ui);
}

TEST(UserMessages, SendToAWindowDestroyedBeforeItWasHandledFailsCleanly) {
    HWND ui = MakeWindow(nullptr);
    std::atomic<LRESULT> result{-1};
    std::atomic<DWORD> error{0};
    std::thread worker([&] {
        SetLastError(0);
        result = SendMessageA(ui, WM_GETTEXTLENGTH, 0, 0);
        error = GetLastError();
    });
    // Wait until the send is queued, then destroy the window before answering.
    while (!(GetQueueStatus(QS_SENDMESSAGE) & QS_SENDMESSAGE)) Sleep(1);
    DestroyWindow(ui);
    Pump();
    worker.join();
    EXPECT_EQ(result.load(), 0);
    EXPECT_EQ(error.load(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

TEST(UserMessages, WindowsOfAThreadThatEndedAreGoneAndSendsToThemFail) {
    HWND orphan = nullptr;
    std::thread t([&] { orphan = MakeWindow(nullptr); });
    t.join();
    EXPECT_FALSE(IsWindow(orphan));  // a thread's windows end with it
    SetLastError(0);
    EXPECT_EQ(SendMessageA(orphan, WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_NE(GetLastError(), 0u);
    DWORD_PTR r = 123;
    EXPECT_EQ(SendMessageTimeoutA(orphan, WM_NULL, 0, 0, SMTO_NORMAL, 10, &r), 0);
}

// ---- retrieval ----

TEST(UserMessages, PeekFiltersAndQuitComesAfterPostedMessages) {
    HWND a = MakeWindow(nullptr), b = MakeWindow(nullptr);
    Pump();
    PostMessageA(a, WM_USER + 1, 1, 0);
    PostMessageA(b, WM_USER + 2, 2, 0);
    PostQuitMessage(7);
    PostMessageA(a, WM_USER + 3, 3, 0);
    MSG m;
    // By window, without removing.
    ASSERT_TRUE(PeekMessageA(&m, b, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, UINT(WM_USER + 2));
    ASSERT_TRUE(PeekMessageA(&m, b, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, UINT(WM_USER + 2));
    // By range.
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
    EXPECT_EQ(m.wParam, 3u);
    std::vector<UINT> order;
    while (GetMessageA(&m, nullptr, 0, 0)) order.push_back(m.message);
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
    EXPECT_EQ(m.message, UINT(WM_QUIT));
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    DestroyWindow(a);
    DestroyWindow(b);
}

TEST(UserMessages, RegisteredMessagesAreSharedByNameFrom0xC000) {
    UINT a = RegisterWindowMessageA("VelmoraSkinChanged");
    UINT b = RegisterWindowMessageA("velmoraskinchanged");
    UINT c = RegisterWindowMessageA("VelmoraOther");
    EXPECT_GE(a, 0xC000u);
    EXPECT_LE(a, 0xFFFFu);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_EQ(RegisterWindowMessageA(""), 0u);
}

// ---- timers ----

std::vector<UINT_PTR> g_fired;
void CALLBACK TimerCallback(HWND, UINT, UINT_PTR id, DWORD) { g_fired.push_back(id + 1000); }

TEST(UserMessages, TimersFireInDeadlineOrderOnTheHandDrivenClock) {
    HWND h = MakeWindow(nullptr);
    Pump();
    g_fired.clear();
    SetTimer(h, 100, 100, nullptr);
    SetTimer(h, 50, 50, nullptr);
    SetTimer(h, 80, 80, TimerCallback);
    MSG m;
    auto drain = [&] {
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_TIMER && !m.lParam) g_fired.push_back(m.wParam);
            DispatchMessageA(&m);
        }
    };
    drain();
    EXPECT_TRUE(g_fired.empty());  // nothing is due before the clock moves
    WinTestAdvanceClock(100);
    drain();
    EXPECT_EQ(g_fired, (std::vector<UINT_PTR>{50, 1080, 100}));
    // A late timer fires once and starts a fresh period from when it fired.
    g_fired.clear();
    WinTestAdvanceClock(50);
    drain();
    EXPECT_EQ(g_fired, (std::vector<UINT_PTR>{50}));
    EXPECT_TRUE(KillTimer(h, 50));
    EXPECT_FALSE(KillTimer(h, 50));
    g_fired.clear();
    WinTestAdvanceClock(200);
    drain();
    EXPECT_EQ(g_fired, (std::vector<UINT_PTR>{1080, 100}));
    // Destroying the window ends its timers.
    DestroyWindow(h);
    g_fired.clear();
    WinTestAdvanceClock(200);
    drain();
    EXPECT_TRUE(g_fired.empty());
}

TEST(UserMessages, GetMessageWaitsForATimerWhenTheClockIsAdvancedFromAnotherThread) {
    HWND h = MakeWindow(nullptr);
    SetTimer(h, 1, 30, nullptr);
    std::thread t([] {
        Sleep(20);
        WinTestAdvanceClock(30);
    });
    MSG m;
    do {
        ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    } while (m.message != WM_TIMER);
    EXPECT_EQ(m.wParam, 1u);
    t.join();
    DestroyWindow(h);
}

// ---- the keyboard hook ----

std::vector<UINT> g_keys_seen;
LRESULT CALLBACK KeyProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_KEYDOWN || m == WM_CHAR) g_keys_seen.push_back(m == WM_CHAR ? UINT(w) + 0x10000 : UINT(w));
    return DefWindowProcA(h, m, w, l);
}
std::vector<std::pair<WPARAM, bool>> g_hook_calls;
LRESULT CALLBACK KeyboardHook(int code, WPARAM w, LPARAM l) {
    if (code == HC_ACTION) g_hook_calls.push_back({w, (l & (LPARAM(1) << 31)) != 0});
    if (code == HC_ACTION && w == 'A') return 1;  // eaten
    return CallNextHookEx(nullptr, code, w, l);
}

TEST(UserMessages, KeyboardHookRunsAsKeysLeaveTheQueueAndCanEatThem) {
    HWND h = MakeWindow(KeyProc);
    ShowWindow(h, SW_SHOW);
    SetFocus(h);
    Pump();
    HHOOK hook = SetWindowsHookExA(WH_KEYBOARD, KeyboardHook, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(hook);
    g_keys_seen.clear();
    g_hook_calls.clear();
    WinTestKeyPress('A');
    WinTestKeyPress('B');
    Pump();
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(g_keys_seen, (std::vector<UINT>{'B', 0x10000 + 'b'}));
    ASSERT_EQ(g_hook_calls.size(), 4u);  // down and up of both keys
    EXPECT_EQ(g_hook_calls[0], (std::pair<WPARAM, bool>{'A', false}));
    EXPECT_EQ(g_hook_calls[1], (std::pair<WPARAM, bool>{'A', true}));
    EXPECT_EQ(GetKeyState('B') & 0x8000, 0);
    DestroyWindow(h);
}

}  // namespace
