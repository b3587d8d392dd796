// Monitors: a layout the test sets (a task bar on the primary, a second display to its left),
// nearest-monitor look-ups, monitor information and enumeration, metrics and the work area
// agreeing with them, maximising on the window's own display, and captures of every display.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "windows.h"
#include "winplat_test.h"

namespace {

const RECT kPrimary{0, 0, 800, 600};
const RECT kPrimaryWork{0, 0, 800, 570};  // a 30-pixel task bar along the bottom
const RECT kLeft{-640, 0, 0, 480};

class Monitors : public ::testing::Test {
protected:
    void SetUp() override {
        const RECT mons[2] = {kPrimary, kLeft};
        const RECT work[2] = {kPrimaryWork, kLeft};
        ASSERT_TRUE(WinTestSetMonitors(mons, work, 2));
    }
    void TearDown() override { WinTestSetScreenSize(1024, 768); }
};

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

MONITORINFOEXA Info(HMONITOR m) {
    MONITORINFOEXA mi{};
    mi.cbSize = sizeof(mi);
    EXPECT_TRUE(GetMonitorInfoA(m, reinterpret_cast<LPMONITORINFO>(&mi)));
    return mi;
}

HWND Popup(int x, int y, int w, int h, DWORD style = WS_POPUP | WS_VISIBLE) {
    HWND wnd = CreateWindowExA(0, "Static", "", style, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
    WinTestPumpUntilIdle();
    return wnd;
}

TEST_F(Monitors, MetricsAndTheWorkAreaDescribeThePrimaryAndTheVirtualScreenAllOfThem) {
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
    EXPECT_EQ(GetSystemMetrics(SM_XVIRTUALSCREEN), -640);
    EXPECT_EQ(GetSystemMetrics(SM_YVIRTUALSCREEN), 0);
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 1440);
    EXPECT_EQ(GetSystemMetrics(SM_CYVIRTUALSCREEN), 600);
    EXPECT_EQ(GetSystemMetrics(SM_CXFULLSCREEN), 800);
    EXPECT_EQ(GetSystemMetrics(SM_CYFULLSCREEN), 570 - GetSystemMetrics(SM_CYCAPTION));
    RECT work;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_TRUE(Same(work, kPrimaryWork));
    int w = 0, h = 0;
    ASSERT_TRUE(WinTestGetScreenSize(&w, &h));
    EXPECT_EQ(w, 1440);
    EXPECT_EQ(h, 600);
}

TEST_F(Monitors, PointsAndRectanglesFindTheirDisplayOrTheNearestOne) {
    HMONITOR primary = MonitorFromPoint(POINT{10, 10}, MONITOR_DEFAULTTONULL);
    HMONITOR left = MonitorFromPoint(POINT{-10, 10}, MONITOR_DEFAULTTONULL);
    ASSERT_TRUE(primary);
    ASSERT_TRUE(left);
    EXPECT_NE(primary, left);
    EXPECT_EQ(MonitorFromPoint(POINT{100, 590}, MONITOR_DEFAULTTONULL), primary) << "the task bar is on the display";
    EXPECT_EQ(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTONULL), primary) << "the edge belongs to the right";
    EXPECT_EQ(MonitorFromPoint(POINT{-1, 0}, MONITOR_DEFAULTTONULL), left);
    // Below the left display, which is shorter: on no display.
    POINT under{-300, 550};
    EXPECT_EQ(MonitorFromPoint(under, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(MonitorFromPoint(under, MONITOR_DEFAULTTOPRIMARY), primary);
    EXPECT_EQ(MonitorFromPoint(under, MONITOR_DEFAULTTONEAREST), left);
    EXPECT_EQ(MonitorFromPoint(POINT{-5000, 100}, MONITOR_DEFAULTTONEAREST), left);
    EXPECT_EQ(MonitorFromPoint(POINT{5000, 100}, MONITOR_DEFAULTTONEAREST), primary);
    // A rectangle across the seam belongs where most of it is.
    RECT mostly_primary{-100, 10, 300, 50}, mostly_left{-300, 10, 100, 50};
    EXPECT_EQ(MonitorFromRect(&mostly_primary, MONITOR_DEFAULTTONULL), primary);
    EXPECT_EQ(MonitorFromRect(&mostly_left, MONITOR_DEFAULTTONULL), left);
    RECT far_away{3000, 3000, 3100, 3100};
    EXPECT_EQ(MonitorFromRect(&far_away, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(MonitorFromRect(&far_away, MONITOR_DEFAULTTONEAREST), primary);
    // The same display keeps its handle.
    EXPECT_EQ(MonitorFromPoint(POINT{-600, 400}, MONITOR_DEFAULTTONULL), left);
}

TEST_F(Monitors, InformationNamesEachDisplayAndItsWorkArea) {
    MONITORINFOEXA p = Info(MonitorFromPoint(POINT{1, 1}, MONITOR_DEFAULTTONULL));
    EXPECT_TRUE(Same(p.rcMonitor, kPrimary));
    EXPECT_TRUE(Same(p.rcWork, kPrimaryWork));
    EXPECT_EQ(p.dwFlags, DWORD(MONITORINFOF_PRIMARY));
    EXPECT_STREQ(p.szDevice, "\\\\.\\DISPLAY1");
    MONITORINFOEXA l = Info(MonitorFromPoint(POINT{-1, 1}, MONITOR_DEFAULTTONULL));
    EXPECT_TRUE(Same(l.rcMonitor, kLeft));
    EXPECT_TRUE(Same(l.rcWork, kLeft));
    EXPECT_EQ(l.dwFlags, 0u);
    EXPECT_STREQ(l.szDevice, "\\\\.\\DISPLAY2");
    MONITORINFO small{};
    small.cbSize = sizeof(small);
    EXPECT_TRUE(GetMonitorInfoA(MonitorFromPoint(POINT{-1, 1}, 0), &small));
    small.cbSize = 12;
    EXPECT_FALSE(GetMonitorInfoA(MonitorFromPoint(POINT{-1, 1}, 0), &small));
    small.cbSize = sizeof(small);
    EXPECT_FALSE(GetMonitorInfoA(reinterpret_cast<HMONITOR>(uintptr_t(0x1234)), &small));
}

struct Visit {
    HMONITOR mon;
    RECT rect;
};

BOOL CALLBACK Collect(HMONITOR m, HDC, LPRECT r, LPARAM p) {
    auto* v = reinterpret_cast<std::vector<Visit>*>(p);
    v->push_back({m, *r});
    return v->size() < 5;
}

BOOL CALLBACK StopAtFirst(HMONITOR, HDC, LPRECT, LPARAM p) {
    ++*reinterpret_cast<int*>(p);
    return FALSE;
}

TEST_F(Monitors, EnumerationVisitsEachDisplayLimitedToTheClipOrTheDc) {
    std::vector<Visit> v;
    ASSERT_TRUE(EnumDisplayMonitors(nullptr, nullptr, Collect, reinterpret_cast<LPARAM>(&v)));
    ASSERT_EQ(v.size(), 2u);
    EXPECT_TRUE(Same(v[0].rect, kPrimary));
    EXPECT_TRUE(Same(v[1].rect, kLeft));
    EXPECT_EQ(v[1].mon, MonitorFromPoint(POINT{-1, 1}, MONITOR_DEFAULTTONULL));
    // A clip across the seam gives each display its part.
    v.clear();
    RECT seam{-10, -10, 10, 10};
    ASSERT_TRUE(EnumDisplayMonitors(nullptr, &seam, Collect, reinterpret_cast<LPARAM>(&v)));
    ASSERT_EQ(v.size(), 2u);
    EXPECT_TRUE(Same(v[0].rect, RECT{0, 0, 10, 10}));
    EXPECT_TRUE(Same(v[1].rect, RECT{-10, 0, 0, 10}));
    int calls = 0;
    EXPECT_FALSE(EnumDisplayMonitors(nullptr, nullptr, StopAtFirst, reinterpret_cast<LPARAM>(&calls)));
    EXPECT_EQ(calls, 1);
    // A window's DC on the primary sees only the primary, in the DC's own coordinates.
    HWND w = Popup(100, 50, 60, 40);
    HDC dc = GetDC(w);
    v.clear();
    ASSERT_TRUE(EnumDisplayMonitors(dc, nullptr, Collect, reinterpret_cast<LPARAM>(&v)));
    ReleaseDC(w, dc);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_TRUE(Same(v[0].rect, RECT{0, 0, 60, 40}));
    DestroyWindow(w);
}

TEST_F(Monitors, AWindowBelongsToItsDisplayAndMaximisesIntoItsWorkArea) {
    HWND on_left = Popup(-500, 100, 200, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HMONITOR left = MonitorFromPoint(POINT{-1, 1}, MONITOR_DEFAULTTONULL);
    EXPECT_EQ(MonitorFromWindow(on_left, MONITOR_DEFAULTTONULL), left);
    ShowWindow(on_left, SW_MAXIMIZE);
    RECT r;
    GetWindowRect(on_left, &r);
    EXPECT_TRUE(Same(r, kLeft));
    // Minimised, it still belongs where it comes back to.
    ShowWindow(on_left, SW_RESTORE);
    ShowWindow(on_left, SW_MINIMIZE);
    EXPECT_EQ(MonitorFromWindow(on_left, MONITOR_DEFAULTTONULL), left);
    DestroyWindow(on_left);
    HWND on_primary = Popup(100, 100, 200, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ShowWindow(on_primary, SW_MAXIMIZE);
    GetWindowRect(on_primary, &r);
    EXPECT_TRUE(Same(r, kPrimaryWork)) << "the task bar stays uncovered";
    DestroyWindow(on_primary);
    WinTestPumpUntilIdle();
}

LRESULT CALLBACK RedProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(h, &r);
        HBRUSH b = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(reinterpret_cast<HDC>(w), &r, b);
        DeleteObject(b);
        return 1;
    }
    return DefWindowProcA(h, m, w, l);
}

TEST_F(Monitors, TheScreenCaptureCoversTheDisplayToTheLeft) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = RedProc;
    wc.lpszClassName = "MonitorRed";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, "MonitorRed", "", WS_POPUP | WS_VISIBLE, -600, 50, 100, 80, nullptr, nullptr, nullptr,
                             nullptr);
    WinTestPumpUntilIdle();
    EXPECT_EQ(WinTestScreenPixel(-590, 60), RGB(255, 0, 0));
    EXPECT_EQ(WinTestScreenPixel(-650, 60), CLR_INVALID) << "left of every display";
    std::vector<DWORD> shot(1440 * 600);
    ASSERT_TRUE(WinTestCaptureScreen(shot.data(), 1440, 600));
    EXPECT_EQ(shot[size_t(60) * 1440 + 50] & 0xFFFFFF, 0xFF0000u) << "the capture starts at the virtual corner";
    EXPECT_NE(shot[size_t(60) * 1440 + 700] & 0xFFFFFF, 0xFF0000u);
    DestroyWindow(w);
}

TEST_F(Monitors, ALayoutChangeKeepsTheDisplaysThatStayAndRefusesBadLayouts) {
    HMONITOR primary = MonitorFromPoint(POINT{1, 1}, MONITOR_DEFAULTTONULL);
    HMONITOR left = MonitorFromPoint(POINT{-1, 1}, MONITOR_DEFAULTTONULL);
    const RECT bad_origin[1] = {RECT{10, 0, 800, 600}};
    EXPECT_FALSE(WinTestSetMonitors(bad_origin, nullptr, 1));
    const RECT mons[2] = {kPrimary, kLeft};
    const RECT outside[2] = {RECT{0, 0, 900, 600}, kLeft};
    EXPECT_FALSE(WinTestSetMonitors(mons, outside, 2)) << "a work area outside its display";
    EXPECT_FALSE(WinTestSetMonitors(mons, nullptr, 0));
    const RECT huge[2] = {kPrimary, RECT{-20000, 0, 0, 600}};
    EXPECT_FALSE(WinTestSetMonitors(huge, nullptr, 2));
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2) << "refusals change nothing";
    // The left display goes: its handle names nothing any more; the primary's stays.
    ASSERT_TRUE(WinTestSetMonitors(&kPrimary, &kPrimaryWork, 1));
    EXPECT_EQ(MonitorFromPoint(POINT{1, 1}, MONITOR_DEFAULTTONULL), primary);
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    EXPECT_FALSE(GetMonitorInfoA(left, &mi));
    EXPECT_EQ(MonitorFromPoint(POINT{-1, 1}, MONITOR_DEFAULTTONEAREST), primary);
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 1);
}

}  // namespace
