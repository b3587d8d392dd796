// Input injected through the test interface reaches windows as the platform's messages, at
// the right client coordinates; window captures show what the window painted; timers follow
// the virtual clock, even for a thread blocked waiting for them.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <thread>
#include <vector>

#include "windows.h"
#include "winplat_test.h"

namespace {

struct Seen {
    UINT msg;
    WPARAM wp;
    int x, y;
};
std::vector<Seen> g_seen;

LRESULT CALLBACK RecordProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        g_seen.push_back({msg, wp, short(LOWORD(lp)), short(HIWORD(lp))});
        return 0;
    case WM_MOUSEWHEEL:
        g_seen.push_back({msg, wp, short(LOWORD(lp)), short(HIWORD(lp))});  // screen coordinates
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        g_seen.push_back({msg, wp, 0, 0});
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        HBRUSH b = CreateSolidBrush(RGB(10, 200, 30));
        HGDIOBJ old = SelectObject(dc, b);
        HGDIOBJ old_pen = SelectObject(dc, GetStockObject(NULL_PEN));
        Rectangle(dc, 0, 0, 21, 11);  // a NULL pen leaves the right and bottom edges out
        SelectObject(dc, old_pen);
        SelectObject(dc, old);
        DeleteObject(b);
        EndPaint(hwnd, &ps);
        return 0;
    }
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

class InjectedInput : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc;
        std::memset(&wc, 0, sizeof wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = RecordProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = HBRUSH(COLOR_WINDOW + 1);
        wc.lpszClassName = "BackendInputTest";
        RegisterClassA(&wc);
        top_ = CreateWindowExA(0, "BackendInputTest", "Input", WS_POPUP | WS_VISIBLE, 100, 80, 300, 200, nullptr,
                               nullptr, wc.hInstance, nullptr);
        ASSERT_TRUE(top_);
        child_ = CreateWindowExA(0, "BackendInputTest", "", WS_CHILD | WS_VISIBLE, 40, 30, 100, 60, top_, nullptr,
                                 wc.hInstance, nullptr);
        ASSERT_TRUE(child_);
        SetFocus(top_);
        WinTestPumpUntilIdle();
        g_seen.clear();
    }
    void TearDown() override {
        DestroyWindow(top_);
        WinTestPumpUntilIdle();
    }
    std::vector<Seen> Of(UINT msg) const {
        std::vector<Seen> out;
        for (const Seen& s : g_seen)
            if (s.msg == msg) out.push_back(s);
        return out;
    }
    HWND top_ = nullptr, child_ = nullptr;
};

}  // namespace

TEST_F(InjectedInput, ClicksLandOnTheWindowUnderThePointAtClientCoordinates) {
    ASSERT_TRUE(WinTestClick(child_, WINTEST_LEFT, 5, 6));
    EXPECT_TRUE(g_seen.empty()) << "injected input waits for the message loop";
    WinTestPumpUntilIdle();
    auto downs = Of(WM_LBUTTONDOWN), ups = Of(WM_LBUTTONUP);
    ASSERT_EQ(downs.size(), 1u);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(downs[0].x, 5);
    EXPECT_EQ(downs[0].y, 6);
    // The same point in screen coordinates: the child sits at (40,30) in the popup at (100,80).
    g_seen.clear();
    ASSERT_TRUE(WinTestClick(nullptr, WINTEST_RIGHT, 100 + 40 + 7, 80 + 30 + 8));
    WinTestPumpUntilIdle();
    ASSERT_EQ(Of(WM_RBUTTONUP).size(), 1u);
    EXPECT_EQ(Of(WM_RBUTTONUP)[0].x, 7);
    EXPECT_EQ(Of(WM_RBUTTONUP)[0].y, 8);
    // Outside the child, the top level gets it.
    g_seen.clear();
    ASSERT_TRUE(WinTestClick(top_, WINTEST_LEFT, 250, 150));
    WinTestPumpUntilIdle();
    ASSERT_EQ(Of(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(Of(WM_LBUTTONDOWN)[0].x, 250);
}

TEST_F(InjectedInput, DoubleClickDragAndWheelComeOutAsThePlatformsMessages) {
    ASSERT_TRUE(WinTestDoubleClick(child_, WINTEST_LEFT, 10, 10));
    WinTestPumpUntilIdle();
    EXPECT_EQ(Of(WM_LBUTTONDBLCLK).size(), 1u) << "two quick clicks on a CS_DBLCLKS class";

    WinTestAdvanceClock(5000);  // far apart: no double-click with what follows
    g_seen.clear();
    ASSERT_TRUE(WinTestDrag(child_, WINTEST_LEFT, 10, 10, 50, 30, 4));
    WinTestPumpUntilIdle();
    auto moves = Of(WM_MOUSEMOVE);
    ASSERT_GE(moves.size(), 4u);
    EXPECT_TRUE(moves.back().wp & MK_LBUTTON) << "moves during a drag carry the button";
    EXPECT_EQ(moves.back().x, 50);
    EXPECT_EQ(moves.back().y, 30);
    ASSERT_EQ(Of(WM_LBUTTONUP).size(), 1u);
    EXPECT_EQ(Of(WM_LBUTTONUP)[0].x, 50);

    g_seen.clear();
    ASSERT_TRUE(WinTestWheel(child_, -120, 3, 4));
    WinTestPumpUntilIdle();
    auto wheel = Of(WM_MOUSEWHEEL);
    ASSERT_FALSE(wheel.empty());
    EXPECT_EQ(short(HIWORD(wheel[0].wp)), -120);
    EXPECT_EQ(wheel[0].x, 100 + 40 + 3) << "wheel messages carry screen coordinates";
}

TEST_F(InjectedInput, KeysAndTextReachTheFocusWindow) {
    WinTestKeyPress('A');
    WinTestText("h\xC3\xA9");
    WinTestPumpUntilIdle();
    auto downs = Of(WM_KEYDOWN);
    ASSERT_FALSE(downs.empty());
    EXPECT_EQ(downs[0].wp, WPARAM('A'));
    EXPECT_EQ(Of(WM_KEYUP).size(), 1u);
    bool h = false;
    for (const Seen& s : Of(WM_CHAR)) h = h || s.wp == 'h';
    EXPECT_TRUE(h);

    g_seen.clear();
    WinTestText("\n");
    WinTestPumpUntilIdle();
    ASSERT_FALSE(Of(WM_KEYDOWN).empty());
    EXPECT_EQ(Of(WM_KEYDOWN)[0].wp, WPARAM(VK_RETURN)) << "a line break is typed as its key";
}

TEST_F(InjectedInput, WindowCaptureShowsWhatTheWindowPaintedAndTheScreenShowsItInPlace) {
    int w = 0, h = 0;
    EXPECT_FALSE(WinTestCaptureWindow(child_, nullptr, 0, &w, &h));
    ASSERT_EQ(w, 100);
    ASSERT_EQ(h, 60);
    std::vector<DWORD> px(size_t(w) * h);
    ASSERT_TRUE(WinTestCaptureWindow(child_, px.data(), int(px.size()), &w, &h));
    EXPECT_EQ(px[0] & 0xFFFFFF, 0x0AC81Eu);
    EXPECT_EQ(px[size_t(9) * w + 19] & 0xFFFFFF, 0x0AC81Eu);
    EXPECT_NE(px[size_t(9) * w + 20] & 0xFFFFFF, 0x0AC81Eu);
    EXPECT_EQ(WinTestScreenPixel(140, 110), RGB(10, 200, 30));

    // The whole top level to a PNG: its size, the child's block where the child sits.
    std::string png = ::testing::TempDir() + "backend_input_" + std::to_string(getpid()) + ".png";
    ASSERT_TRUE(WinTestCaptureWindowPng(top_, png.c_str()));
    std::vector<DWORD> top_px(300 * 200);
    ASSERT_TRUE(WinTestReadPng(png.c_str(), top_px.data(), int(top_px.size()), &w, &h));
    EXPECT_EQ(w, 300);
    EXPECT_EQ(h, 200);
    EXPECT_EQ(top_px[size_t(30) * 300 + 40] & 0xFFFFFF, 0x0AC81Eu);
    EXPECT_NE(top_px[size_t(29) * 300 + 39] & 0xFFFFFF, 0x0AC81Eu);
    std::remove(png.c_str());
    EXPECT_EQ(WinTestScreenPixel(160, 110), WinTestScreenPixel(299 + 100, 199 + 80 - 1))
        << "past the painted block the child shows its background";
}

TEST(VirtualTime, TimersComeDueWhenTheClockIsAdvancedAndNotBefore) {
    WNDCLASSA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "BackendTimerTest";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, "BackendTimerTest", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(hwnd);
    ASSERT_TRUE(SetTimer(hwnd, 7, 1000, nullptr));
    MSG msg;
    WinTestAdvanceClock(999);
    EXPECT_FALSE(PeekMessageA(&msg, hwnd, WM_TIMER, WM_TIMER, PM_REMOVE)) << "due before its time";
    WinTestAdvanceClock(1);
    ASSERT_TRUE(PeekMessageA(&msg, hwnd, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);

    // The thread sits in GetMessage with nothing to do; only the advance from another thread
    // can end its wait.
    std::atomic<bool> advanced{false};
    std::thread other([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        advanced = true;
        WinTestAdvanceClock(1000);
    });
    ASSERT_GT(GetMessageA(&msg, hwnd, WM_TIMER, WM_TIMER), 0);
    EXPECT_TRUE(advanced) << "GetMessage returned before the clock moved";
    EXPECT_EQ(msg.message, UINT(WM_TIMER));
    other.join();
    KillTimer(hwnd, 7);
    DestroyWindow(hwnd);
}
