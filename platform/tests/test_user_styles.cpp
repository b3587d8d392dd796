// Style changes as skins use them: SetWindowLong announces a change before and after and does
// nothing else (no new frame, no showing, hiding or repainting, also for WS_VISIBLE); the
// dialog manager's BM_SETSTYLE goes through it; WM_SETREDRAW stops and restarts painting
// without repainting by itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "windows.h"
#include "winplat_test.h"

namespace {

struct Seen {
    UINT msg;
    WPARAM wp;
    DWORD old_style, new_style;
};
std::vector<Seen> g_seen;
DWORD g_force_bits = 0;  // WM_STYLECHANGING adds these to the new style

bool Recorded(UINT m) {
    switch (m) {
        case WM_STYLECHANGING: case WM_STYLECHANGED: case WM_NCCALCSIZE: case WM_NCPAINT: case WM_PAINT:
        case WM_ERASEBKGND: case WM_SHOWWINDOW: case WM_WINDOWPOSCHANGING: case WM_WINDOWPOSCHANGED: case WM_SIZE:
            return true;
        default: return false;
    }
}

LRESULT CALLBACK SpyProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (Recorded(m)) {
        Seen s{m, w, 0, 0};
        if (m == WM_STYLECHANGING || m == WM_STYLECHANGED) {
            auto* ss = reinterpret_cast<STYLESTRUCT*>(l);
            s.old_style = ss->styleOld;
            s.new_style = ss->styleNew;
            if (m == WM_STYLECHANGING) ss->styleNew |= g_force_bits;
        }
        g_seen.push_back(s);
    }
    if (m == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(h, &r);
        HBRUSH b = CreateSolidBrush(RGB(200, 40, 40));
        FillRect(reinterpret_cast<HDC>(w), &r, b);
        DeleteObject(b);
        return 1;
    }
    return DefWindowProcA(h, m, w, l);
}

HWND Spied(DWORD style, HWND parent = nullptr, int x = 60, int y = 60, int cx = 160, int cy = 100) {
    static bool reg = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = SpyProc;
        wc.lpszClassName = "StyleSpy";
        return RegisterClassA(&wc) != 0;
    }();
    (void)reg;
    HWND h = CreateWindowExA(0, "StyleSpy", "", style, x, y, cx, cy, parent, nullptr, nullptr, nullptr);
    WinTestPumpUntilIdle();
    g_seen.clear();
    g_force_bits = 0;
    return h;
}

std::vector<UINT> Messages() {
    std::vector<UINT> v;
    for (const Seen& s : g_seen) v.push_back(s.msg);
    return v;
}

TEST(StyleChanges, SetWindowLongAnnouncesTheChangeOnceBeforeAndAfterAndDoesNothingElse) {
    HWND h = Spied(WS_POPUP | WS_VISIBLE | WS_BORDER | WS_CAPTION);
    RECT client_before;
    GetClientRect(h, &client_before);
    DWORD old = DWORD(GetWindowLongA(h, GWL_STYLE));
    DWORD want = old & ~DWORD(WS_CAPTION | WS_BORDER);
    g_force_bits = WS_TABSTOP;  // the procedure may amend the new style
    EXPECT_EQ(DWORD(SetWindowLongA(h, GWL_STYLE, LONG(want))), old);
    // Announced synchronously, in order, with both values.
    ASSERT_EQ(Messages(), (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED}));
    EXPECT_EQ(g_seen[0].wp, WPARAM(GWL_STYLE));
    EXPECT_EQ(g_seen[0].old_style, old);
    EXPECT_EQ(g_seen[0].new_style, want);
    EXPECT_EQ(g_seen[1].new_style, want | WS_TABSTOP);
    EXPECT_EQ(DWORD(GetWindowLongA(h, GWL_STYLE)), want | WS_TABSTOP);
    // The frame stays as it was computed, with nothing to repaint, until SWP_FRAMECHANGED.
    RECT client_after;
    GetClientRect(h, &client_after);
    EXPECT_TRUE(EqualRect(&client_before, &client_after));
    EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE));
    WinTestPumpUntilIdle();
    EXPECT_EQ(Messages().size(), 2u) << "no frame, paint or position message followed";
    g_seen.clear();
    g_force_bits = 0;
    SetWindowLongA(h, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    ASSERT_EQ(Messages(), (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED}));
    EXPECT_EQ(g_seen[0].wp, WPARAM(GWL_EXSTYLE));
    EXPECT_EQ(g_seen[1].new_style, DWORD(WS_EX_TOOLWINDOW));
    DestroyWindow(h);
}

TEST(StyleChanges, ClearingWsVisibleNeitherHidesNorRepaintsAndSettingItNeitherShows) {
    HWND top = Spied(WS_POPUP | WS_VISIBLE);
    HWND child = Spied(WS_CHILD | WS_VISIBLE, top, 20, 20, 50, 40);
    ASSERT_EQ(WinTestScreenPixel(70, 70), RGB(200, 40, 40));
    DWORD st = DWORD(GetWindowLongA(top, GWL_STYLE));
    SetWindowLongA(top, GWL_STYLE, LONG(st & ~DWORD(WS_VISIBLE)));
    EXPECT_FALSE(IsWindowVisible(top));
    EXPECT_FALSE(IsWindowVisible(child)) << "its children are not visible either";
    EXPECT_EQ(Messages(), (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED})) << "no WM_SHOWWINDOW";
    WinTestPumpUntilIdle();
    EXPECT_EQ(WinTestScreenPixel(70, 70), RGB(200, 40, 40)) << "still on the screen";
    EXPECT_EQ(WinTestScreenPixel(90, 90), RGB(200, 40, 40));
    // Its own painting is suppressed meanwhile.
    g_seen.clear();
    InvalidateRect(top, nullptr, TRUE);
    UpdateWindow(top);
    WinTestPumpUntilIdle();
    EXPECT_TRUE(g_seen.empty());
    SetWindowLongA(top, GWL_STYLE, LONG(st));
    EXPECT_TRUE(IsWindowVisible(top));
    WinTestPumpUntilIdle();
    // A hidden window given WS_VISIBLE this way is visible to the program but not shown.
    HWND hidden = Spied(WS_POPUP, nullptr, 300, 300, 40, 40);
    SetWindowLongA(hidden, GWL_STYLE, LONG(DWORD(GetWindowLongA(hidden, GWL_STYLE)) | WS_VISIBLE));
    EXPECT_TRUE(IsWindowVisible(hidden));
    for (UINT m : Messages()) EXPECT_NE(m, UINT(WM_SHOWWINDOW));
    EXPECT_NE(WinTestScreenPixel(310, 310), RGB(200, 40, 40));
    DestroyWindow(hidden);
    DestroyWindow(top);
}

TEST(StyleChanges, TheDialogManagersBmSetStyleReachesTheButtonsProcedureAsAStyleChange) {
    HWND host = Spied(WS_POPUP | WS_VISIBLE);
    HWND button = CreateWindowExA(0, "Button", "OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 80, 24, host,
                                  nullptr, nullptr, nullptr);
    static WNDPROC saved;
    static std::vector<Seen> seen;
    seen.clear();
    saved = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(
        +[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            if (m == WM_STYLECHANGING || m == WM_STYLECHANGED) {
                auto* ss = reinterpret_cast<STYLESTRUCT*>(l);
                seen.push_back({m, w, ss->styleOld, ss->styleNew});
            }
            return CallWindowProcA(saved, h, m, w, l);
        })));
    SendMessageA(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].msg, UINT(WM_STYLECHANGED));
    EXPECT_EQ(seen[1].wp, WPARAM(GWL_STYLE));
    EXPECT_EQ(seen[1].new_style & BS_TYPEMASK, DWORD(BS_DEFPUSHBUTTON));
    EXPECT_EQ(seen[1].old_style & BS_TYPEMASK, DWORD(BS_PUSHBUTTON));
    DestroyWindow(host);
}

// ---- WM_SETREDRAW ----

TEST(SetRedraw, FalseStopsPaintingAndTrueAllowsItAgainWithoutRepainting) {
    HWND top = Spied(WS_POPUP | WS_VISIBLE);
    SendMessageA(top, WM_SETREDRAW, FALSE, 0);
    EXPECT_EQ(WinTestScreenPixel(70, 70), RGB(200, 40, 40)) << "a top level stays on the screen";
    g_seen.clear();
    InvalidateRect(top, nullptr, TRUE);
    WinTestPumpUntilIdle();
    for (UINT m : Messages()) EXPECT_NE(m, UINT(WM_PAINT));
    SendMessageA(top, WM_SETREDRAW, TRUE, 0);
    WinTestPumpUntilIdle();
    for (UINT m : Messages()) EXPECT_NE(m, UINT(WM_PAINT)) << "turning it back on repaints nothing by itself";
    InvalidateRect(top, nullptr, TRUE);
    WinTestPumpUntilIdle();
    std::vector<UINT> after = Messages();
    EXPECT_NE(std::find(after.begin(), after.end(), UINT(WM_PAINT)), after.end());
    DestroyWindow(top);
}

TEST(SetRedraw, AListBoxFilledWithRedrawOffShowsItsItemsOnlyWhenRepainted) {
    HWND host = Spied(WS_POPUP | WS_VISIBLE, nullptr, 40, 40, 300, 200);
    HWND list = CreateWindowExA(0, "ListBox", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 150, 120, host, nullptr,
                                nullptr, nullptr);
    WinTestPumpUntilIdle();
    WinTestWindowPicture empty(list);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (const char* s : {"one", "two", "three"}) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    WinTestPumpUntilIdle();
    EXPECT_EQ(WinTestWindowPicture(list).px, empty.px) << "nothing painted while redraw is off";
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    WinTestPumpUntilIdle();
    EXPECT_EQ(WinTestWindowPicture(list).px, empty.px) << "nor when it comes back on";
    InvalidateRect(list, nullptr, TRUE);
    WinTestPumpUntilIdle();
    EXPECT_NE(WinTestWindowPicture(list).px, empty.px) << "the items show once it repaints";
    DestroyWindow(host);
}

}  // namespace
