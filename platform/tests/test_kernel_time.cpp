// Time on the hand-driven clock: the date moves with it, double clicks are timed by it, and
// timers fire at exactly their times, a second SetTimer of the same id replacing the first.
#include <gtest/gtest.h>

#include <vector>

#include "windows.h"
#include "winplat_test.h"

namespace {

SYSTEMTIME Date(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s, WORD ms) {
    SYSTEMTIME t{};
    t.wYear = y;
    t.wMonth = mo;
    t.wDay = d;
    t.wHour = h;
    t.wMinute = mi;
    t.wSecond = s;
    t.wMilliseconds = ms;
    return t;
}

void ExpectDate(const SYSTEMTIME& t, WORD y, WORD mo, WORD d, WORD dow, WORD h, WORD mi, WORD s, WORD ms) {
    EXPECT_EQ(t.wYear, y);
    EXPECT_EQ(t.wMonth, mo);
    EXPECT_EQ(t.wDay, d);
    EXPECT_EQ(t.wDayOfWeek, dow);
    EXPECT_EQ(t.wHour, h);
    EXPECT_EQ(t.wMinute, mi);
    EXPECT_EQ(t.wSecond, s);
    EXPECT_EQ(t.wMilliseconds, ms);
}

TEST(Dates, TheDateMovesWithTheHandDrivenClock) {
    SYSTEMTIME set = Date(2024, 2, 28, 23, 59, 59, 500);
    ASSERT_TRUE(WinTestSetDateTime(&set, 90));
    SYSTEMTIME t;
    GetSystemTime(&t);
    ExpectDate(t, 2024, 2, 28, 3, 23, 59, 59, 500);  // a Wednesday
    GetLocalTime(&t);
    ExpectDate(t, 2024, 2, 29, 4, 1, 29, 59, 500);
    // Standing still until the test moves the clock, then across into the leap day.
    GetSystemTime(&t);
    EXPECT_EQ(t.wMilliseconds, 500);
    WinTestAdvanceClock(600);
    GetSystemTime(&t);
    ExpectDate(t, 2024, 2, 29, 4, 0, 0, 0, 100);
    WinTestAdvanceClock(24u * 3600 * 1000);
    GetSystemTime(&t);
    ExpectDate(t, 2024, 3, 1, 5, 0, 0, 0, 100);
    // Behind UTC, the local date is still the day before.
    set = Date(2000, 1, 1, 2, 0, 0, 0);
    ASSERT_TRUE(WinTestSetDateTime(&set, -5 * 60));
    GetLocalTime(&t);
    ExpectDate(t, 1999, 12, 31, 5, 21, 0, 0, 0);
}

TEST(Dates, ADateThatDoesNotExistIsRefused) {
    SYSTEMTIME good = Date(2023, 6, 15, 12, 0, 0, 0);
    ASSERT_TRUE(WinTestSetDateTime(&good, 0));
    for (SYSTEMTIME bad : {Date(2023, 2, 29, 0, 0, 0, 0), Date(2023, 13, 1, 0, 0, 0, 0), Date(2023, 4, 31, 0, 0, 0, 0),
                           Date(2023, 1, 1, 24, 0, 0, 0), Date(2023, 1, 1, 0, 0, 0, 1000), Date(1600, 1, 1, 0, 0, 0, 0)})
        EXPECT_FALSE(WinTestSetDateTime(&bad, 0));
    EXPECT_FALSE(WinTestSetDateTime(&good, 25 * 60));
    EXPECT_FALSE(WinTestSetDateTime(nullptr, 0));
    SYSTEMTIME t;
    GetSystemTime(&t);
    EXPECT_EQ(t.wYear, 2023);
    EXPECT_EQ(t.wMonth, 6);
    EXPECT_EQ(t.wDay, 15);
    SYSTEMTIME leap = Date(2000, 2, 29, 0, 0, 0, 0);
    EXPECT_TRUE(WinTestSetDateTime(&leap, 0)) << "2000 is a leap year";
}

// ---- double clicks ----

std::vector<UINT> g_clicks;

LRESULT CALLBACK ClickProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_LBUTTONDOWN || m == WM_LBUTTONDBLCLK) g_clicks.push_back(m);
    return DefWindowProcA(h, m, w, l);
}

TEST(DoubleClicks, TwoClicksMakeADoubleClickWithinTheDoubleClickTimeOnTheClock) {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ClickProc;
    wc.lpszClassName = "DoubleClicks";
    RegisterClassA(&wc);
    HWND h = CreateWindowExA(0, "DoubleClicks", "", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100, nullptr, nullptr, nullptr,
                             nullptr);
    WinTestPumpUntilIdle();
    UINT limit = GetDoubleClickTime();
    auto pair = [&](UINT gap) {
        g_clicks.clear();
        WinTestClick(h, WINTEST_LEFT, 20, 20);
        WinTestPumpUntilIdle();
        WinTestAdvanceClock(gap);
        WinTestClick(h, WINTEST_LEFT, 21, 20);
        WinTestPumpUntilIdle();
        WinTestAdvanceClock(2 * limit);  // the next pair starts afresh
        return g_clicks;
    };
    std::vector<UINT> dbl = {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}, two = {WM_LBUTTONDOWN, WM_LBUTTONDOWN};
    EXPECT_EQ(pair(limit), dbl) << "at the limit";
    EXPECT_EQ(pair(limit + 1), two) << "just past it";
    EXPECT_EQ(pair(0), dbl);
    DestroyWindow(h);
}

// ---- timers ----

struct Fired {
    UINT_PTR id;
    ULONGLONG at;
    int by;  // 0 the window procedure, else the timer procedure's number
};
std::vector<Fired> g_fired;

LRESULT CALLBACK TimerWndProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_TIMER) g_fired.push_back({w, WinTestNow(), 0});
    return DefWindowProcA(h, m, w, l);
}
void CALLBACK FirstProc(HWND, UINT, UINT_PTR id, DWORD) { g_fired.push_back({id, WinTestNow(), 1}); }
void CALLBACK SecondProc(HWND, UINT, UINT_PTR id, DWORD) { g_fired.push_back({id, WinTestNow(), 2}); }

HWND TimerWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = TimerWndProc;
    wc.lpszClassName = "TimerWindow";
    RegisterClassA(&wc);
    HWND h = CreateWindowExA(0, "TimerWindow", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    WinTestPumpUntilIdle();
    g_fired.clear();
    return h;
}

void Advance(DWORD ms) {
    WinTestAdvanceClock(ms);
    WinTestPumpUntilIdle();
}

TEST(Timers, FireAtExactlyTheirTimesOnTheClock) {
    HWND h = TimerWindow();
    ULONGLONG t0 = WinTestNow();
    for (UINT ms : {1000u, 55u, 500u, 300u}) SetTimer(h, ms, ms, nullptr);
    for (int step = 0; step < 1000; ++step) Advance(1);
    std::vector<std::pair<UINT_PTR, ULONGLONG>> got;
    for (const Fired& f : g_fired) got.emplace_back(f.id, f.at - t0);
    std::vector<std::pair<UINT_PTR, ULONGLONG>> want;
    for (ULONGLONG t = 1; t <= 1000; ++t)
        for (UINT ms : {1000u, 55u, 500u, 300u})  // timers due together fire in the order they were made
            if (t % ms == 0) want.emplace_back(ms, t);
    EXPECT_EQ(got, want);
    DestroyWindow(h);
}

TEST(Timers, ASecondSetTimerWithTheSameIdReplacesTheFirst) {
    HWND h = TimerWindow();
    ULONGLONG t0 = WinTestNow();
    EXPECT_EQ(SetTimer(h, 7, 300, nullptr), 7u);
    Advance(200);
    EXPECT_EQ(SetTimer(h, 7, 500, nullptr), 7u);  // the same timer, restarted at 500
    Advance(300);
    EXPECT_TRUE(g_fired.empty()) << "the first period is gone";
    Advance(199);
    EXPECT_TRUE(g_fired.empty());
    Advance(1);
    ASSERT_EQ(g_fired.size(), 1u);
    EXPECT_EQ(g_fired[0].at - t0, 700u);
    EXPECT_EQ(g_fired[0].by, 0);
    // Replaced with a timer procedure, then with another one: only the last is called.
    g_fired.clear();
    SetTimer(h, 7, 100, FirstProc);
    SetTimer(h, 7, 100, SecondProc);
    Advance(100);
    ASSERT_EQ(g_fired.size(), 1u);
    EXPECT_EQ(g_fired[0].by, 2);
    // A thread timer given its own id back is the same timer too.
    g_fired.clear();
    UINT_PTR thread_timer = SetTimer(nullptr, 0, 250, FirstProc);
    ASSERT_NE(thread_timer, 0u);
    KillTimer(h, 7);
    Advance(100);
    EXPECT_EQ(SetTimer(nullptr, thread_timer, 250, SecondProc), thread_timer);
    Advance(150);
    EXPECT_TRUE(g_fired.empty());
    Advance(100);
    ASSERT_EQ(g_fired.size(), 1u);
    EXPECT_EQ(g_fired[0].by, 2);
    EXPECT_EQ(g_fired[0].id, thread_timer);
    KillTimer(nullptr, thread_timer);
    EXPECT_EQ(WinTestLiveCount(WINTEST_LIVE_TIMER), 0);
    DestroyWindow(h);
}

}  // namespace
