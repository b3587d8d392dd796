// Input routing and window state: focus, activation, capture, enabling, mouse tracking, double
// clicks, the cursor message, close requests, and the system's colours, metrics and monitor.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "windows.h"
#include "winplat_test.h"

namespace {

struct Rec {
    HWND hwnd;
    UINT msg;
    WPARAM wp;
};
std::vector<Rec> g_log;

bool Logged(UINT m) {
    switch (m) {
        case WM_SETFOCUS: case WM_KILLFOCUS: case WM_ACTIVATE: case WM_NCACTIVATE: case WM_ENABLE:
        case WM_CAPTURECHANGED: case WM_MOUSELEAVE: case WM_MOUSEHOVER: case WM_LBUTTONDOWN: case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK: case WM_MOUSEACTIVATE: case WM_CLOSE: case WM_DESTROY: case WM_MOUSEMOVE:
        case WM_NCLBUTTONDOWN: case WM_MOUSEWHEEL:
            return true;
        default: return false;
    }
}

LRESULT CALLBACK InputProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (Logged(m)) g_log.push_back({h, m, w});
    return DefWindowProcA(h, m, w, l);
}

HWND Make(DWORD style, HWND parent, int x, int y, int cx, int cy, bool dblclks = true) {
    static bool once = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = InputProc;
        wc.lpszClassName = "VelmoraInputDbl";
        wc.style = CS_DBLCLKS;
        RegisterClassA(&wc);
        wc.lpszClassName = "VelmoraInputPlain";
        wc.style = 0;
        return RegisterClassA(&wc) != 0;
    }();
    (void)once;
    return CreateWindowExA(0, dblclks ? "VelmoraInputDbl" : "VelmoraInputPlain", "w", style, x, y, cx, cy, parent,
                           nullptr, nullptr, nullptr);
}

std::vector<UINT> Of(HWND h) {
    std::vector<UINT> out;
    for (auto& r : g_log)
        if (r.hwnd == h) out.push_back(r.msg);
    return out;
}

void Pump() { WinTestPumpUntilIdle(); }

TEST(UserInput, ActivationAndFocusMoveWithTheirMessagesInOrder) {
    HWND a = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 0, 0, 200, 150);
    HWND b = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 250, 0, 200, 150);
    HWND edit = Make(WS_CHILD | WS_VISIBLE, a, 10, 10, 50, 20);
    Pump();
    EXPECT_EQ(GetActiveWindow(), b);  // shown last, activated last
    g_log.clear();
    SetFocus(edit);  // activates its top level first
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), edit);
    std::vector<UINT> b_msgs = Of(b);
    ASSERT_GE(b_msgs.size(), 3u);
    EXPECT_EQ(b_msgs[0], UINT(WM_NCACTIVATE));
    EXPECT_EQ(b_msgs[1], UINT(WM_ACTIVATE));
    EXPECT_EQ(b_msgs[2], UINT(WM_KILLFOCUS));
    EXPECT_EQ(Of(edit), std::vector<UINT>{WM_SETFOCUS});
    EXPECT_EQ(GetForegroundWindow(), a);
    // Disabling moves the focus away and says so.
    g_log.clear();
    EnableWindow(edit, FALSE);
    EXPECT_EQ(Of(edit), (std::vector<UINT>{WM_KILLFOCUS, WM_ENABLE}));
    EXPECT_FALSE(IsWindowEnabled(edit));
    EXPECT_NE(GetFocus(), edit);
    // Destroying the active window activates another one.
    DestroyWindow(a);
    EXPECT_EQ(GetActiveWindow(), b);
    DestroyWindow(b);
}

TEST(UserInput, CaptureRoutesTheMouseAndAnnouncesItsLoss) {
    HWND a = Make(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, 100, 100);
    HWND b = Make(WS_POPUP | WS_VISIBLE, nullptr, 200, 0, 100, 100);
    Pump();
    SetCapture(a);
    EXPECT_EQ(GetCapture(), a);
    g_log.clear();
    WinTestMouseMove(nullptr, 250, 50);  // over b, but a has the mouse
    Pump();
    EXPECT_EQ(Of(a), std::vector<UINT>{WM_MOUSEMOVE});
    EXPECT_TRUE(Of(b).empty());
    g_log.clear();
    SetCapture(b);
    EXPECT_EQ(Of(a), std::vector<UINT>{WM_CAPTURECHANGED});
    ReleaseCapture();
    EXPECT_EQ(Of(b), std::vector<UINT>{WM_CAPTURECHANGED});
    EXPECT_EQ(GetCapture(), nullptr);
    DestroyWindow(a);
    DestroyWindow(b);
}

TEST(UserInput, TheControlsOfADisabledTopLevelTakeNoClicks) {
    // The owner of a modal box is disabled as a whole; its (enabled) controls are out of reach.
    HWND owner = Make(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, 200, 150);
    HWND button = Make(WS_CHILD | WS_VISIBLE, owner, 20, 20, 80, 30, false);
    HWND box = Make(WS_POPUP | WS_VISIBLE, owner, 300, 0, 100, 100);
    Pump();
    EnableWindow(owner, FALSE);
    Pump();
    g_log.clear();
    WinTestClick(button, WINTEST_LEFT, 10, 10);
    WinTestMouseMove(button, 20, 10);
    Pump();
    for (UINT m : Of(button)) EXPECT_NE(m, UINT(WM_LBUTTONDOWN)) << "the control was clicked";
    EXPECT_TRUE(Of(button).empty());
    EXPECT_TRUE(Of(owner).empty());
    // Enabled again, the same click reaches the control.
    EnableWindow(owner, TRUE);
    Pump();
    g_log.clear();
    WinTestClick(button, WINTEST_LEFT, 10, 10);
    Pump();
    std::vector<UINT> got = Of(button);
    EXPECT_NE(std::find(got.begin(), got.end(), UINT(WM_LBUTTONDOWN)), got.end());
    DestroyWindow(box);
    DestroyWindow(owner);
}

TEST(UserInput, DoubleClicksNeedTheClassStyleTimeAndPlace) {
    HWND dbl = Make(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, 100, 100, true);
    HWND plain = Make(WS_POPUP | WS_VISIBLE, nullptr, 200, 0, 100, 100, false);
    Pump();
    g_log.clear();
    WinTestClick(nullptr, WINTEST_LEFT, 50, 50);
    Pump();
    WinTestAdvanceClock(100);
    WinTestClick(nullptr, WINTEST_LEFT, 51, 51);
    Pump();
    std::vector<UINT> got;
    for (UINT m : Of(dbl))
        if (m != WM_MOUSEACTIVATE && m != WM_MOUSEMOVE && m != WM_NCACTIVATE && m != WM_ACTIVATE && m != WM_SETFOCUS &&
            m != WM_KILLFOCUS)
            got.push_back(m);
    EXPECT_EQ(got, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
    // Too slow: two single clicks.
    g_log.clear();
    WinTestAdvanceClock(1000);  // well after the pair above
    WinTestClick(nullptr, WINTEST_LEFT, 50, 50);
    Pump();
    WinTestAdvanceClock(GetDoubleClickTime() + 1);
    WinTestClick(nullptr, WINTEST_LEFT, 50, 50);
    Pump();
    int downs = 0, dbls = 0;
    for (UINT m : Of(dbl)) {
        downs += m == WM_LBUTTONDOWN;
        dbls += m == WM_LBUTTONDBLCLK;
    }
    EXPECT_EQ(downs, 2);
    EXPECT_EQ(dbls, 0);
    // A class without CS_DBLCLKS never gets one.
    g_log.clear();
    WinTestClick(nullptr, WINTEST_LEFT, 250, 50);
    WinTestClick(nullptr, WINTEST_LEFT, 250, 50);
    Pump();
    dbls = 0;
    for (UINT m : Of(plain)) dbls += m == WM_LBUTTONDBLCLK;
    EXPECT_EQ(dbls, 0);
    DestroyWindow(dbl);
    DestroyWindow(plain);
}

TEST(UserInput, TrackMouseEventReportsLeaveAndHover) {
    HWND a = Make(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, 100, 100);
    Pump();
    WinTestMouseMove(nullptr, 50, 50);
    Pump();
    g_log.clear();
    TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE | TME_HOVER, a, 100};
    ASSERT_TRUE(TrackMouseEvent(&tme));
    TRACKMOUSEEVENT q{sizeof(q), TME_QUERY, nullptr, 0};
    ASSERT_TRUE(TrackMouseEvent(&q));
    EXPECT_EQ(q.hwndTrack, a);
    WinTestAdvanceClock(100);
    Pump();
    EXPECT_EQ(Of(a), std::vector<UINT>{WM_MOUSEHOVER});
    g_log.clear();
    WinTestMouseMove(nullptr, 300, 300);  // off the window
    Pump();
    EXPECT_EQ(Of(a), std::vector<UINT>{WM_MOUSELEAVE});
    // Tracking ends with the leave: no second one.
    g_log.clear();
    WinTestMouseMove(nullptr, 310, 300);
    Pump();
    EXPECT_TRUE(Of(a).empty());
    // Asking while the mouse is elsewhere answers with a leave at once.
    ASSERT_TRUE(TrackMouseEvent(&tme));
    Pump();
    EXPECT_EQ(Of(a), std::vector<UINT>{WM_MOUSELEAVE});
    DestroyWindow(a);
}

int g_setcursor_hits = 0;
LRESULT CALLBACK CursorProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_SETCURSOR) {
        g_setcursor_hits = LOWORD(l);
        SetCursor(LoadCursorA(nullptr, IDC_HAND));
        return TRUE;
    }
    return InputProc(h, m, w, l);
}

TEST(UserInput, TheCursorIsAskedForWithTheHitTestCode) {
    HWND a = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 0, 0, 200, 150);
    SetWindowLongPtrA(a, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CursorProc));
    Pump();
    WinTestMouseMove(nullptr, 100, 80);
    Pump();
    EXPECT_EQ(g_setcursor_hits, HTCLIENT);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
    WinTestMouseMove(nullptr, 100, 10);
    Pump();
    EXPECT_EQ(g_setcursor_hits, HTCAPTION);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
    DestroyWindow(a);
}

TEST(UserInput, ACloseRequestFromTheScreenClosesTheWindow) {
    HWND a = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 0, 0, 200, 150);
    Pump();
    g_log.clear();
    WinTestCloseRequest(a);
    Pump();
    EXPECT_EQ(Of(a).size() >= 2 ? Of(a)[0] : 0u, UINT(WM_CLOSE));
    EXPECT_FALSE(IsWindow(a));
}

TEST(UserInput, SystemColoursMetricsAndTheMonitor) {
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
    EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), 16);
    EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 18);
    EXPECT_EQ(GetSystemMetrics(SM_CXFRAME), 4);
    EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), 2);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
    EXPECT_EQ(GetSysColor(31), 0u);
    EXPECT_EQ(GetSysColorBrush(31), nullptr);
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    ASSERT_TRUE(face);
    EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), face);  // one brush per colour
    DeleteObject(face);
    LOGBRUSH lb{};
    EXPECT_EQ(GetObjectA(face, sizeof(lb), &lb), int(sizeof(lb)));  // system brushes survive deletion
    int w = 0, h = 0;
    WinTestGetScreenSize(&w, &h);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), w);
    RECT work;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    HWND a = Make(WS_POPUP, nullptr, 10, 10, 50, 50);
    HMONITOR mon = MonitorFromWindow(a, MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    ASSERT_TRUE(GetMonitorInfoA(mon, &mi));
    EXPECT_EQ(mi.rcMonitor.right - mi.rcMonitor.left, w);
    EXPECT_TRUE(EqualRect(&mi.rcWork, &work));
    EXPECT_EQ(MonitorFromPoint(POINT{-5000, -5000}, MONITOR_DEFAULTTONULL), nullptr);
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0));
    EXPECT_EQ(ncm.iCaptionHeight, 18);
    DestroyWindow(a);
}

}  // namespace
