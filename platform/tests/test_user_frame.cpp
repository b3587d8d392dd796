// The frame protocol as skins rely on it: a window that reserves its own non-client area is
// asked to paint it (WM_NCPAINT) whenever it shows, changes shape or frame, is redrawn with
// its frame, or changes activation, whatever its style bits; hit codes route the mouse; and
// the activation state is what WM_NCACTIVATE says.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "windows.h"
#include "winplat_test.h"

namespace {

// A frame of 4 pixels on every side, 12 on top, answered by the window itself.
constexpr int kSide = 4, kTop = 12;

struct Counts {
    int ncpaint = 0;
    int ncactivate_on = 0, ncactivate_off = 0;
    std::vector<int> hits;  // WM_NCLBUTTONDOWN codes
    int client_downs = 0;
};
Counts g;
LRESULT g_hit = HTCLIENT;     // what WM_NCHITTEST answers; HTCLIENT means "ask DefWindowProc"
bool g_keep_active = false;   // answer TRUE to WM_NCACTIVATE(FALSE) without DefWindowProc

LRESULT CALLBACK FramedProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
        case WM_NCCALCSIZE: {
            RECT* r = reinterpret_cast<RECT*>(l);
            r->left += kSide;
            r->top += kTop;
            r->right -= kSide;
            r->bottom -= kSide;
            return 0;
        }
        case WM_NCPAINT: {
            ++g.ncpaint;
            HDC dc = GetWindowDC(h);
            RECT wr;
            GetWindowRect(h, &wr);
            RECT all{0, 0, wr.right - wr.left, wr.bottom - wr.top};
            HBRUSH b = CreateSolidBrush(RGB(0, 160, 0));
            FillRect(dc, &all, b);
            DeleteObject(b);
            ReleaseDC(h, dc);
            return 0;
        }
        case WM_NCACTIVATE:
            ++(w ? g.ncactivate_on : g.ncactivate_off);
            if (!w && g_keep_active) return TRUE;
            break;
        case WM_NCHITTEST:
            if (g_hit != HTCLIENT) return g_hit;
            break;
        case WM_NCLBUTTONDOWN: g.hits.push_back(int(w)); break;
        case WM_LBUTTONDOWN: ++g.client_downs; break;
    }
    return DefWindowProcA(h, m, w, l);
}

void Register() {
    static bool done = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = FramedProc;
        wc.lpszClassName = "OwnFrame";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_WINDOW + 1));
        return RegisterClassA(&wc) != 0;
    }();
    (void)done;
}

// A popup without any border style bit, as skinned tooltips and menus are.
HWND OwnFramePopup(DWORD ex = WS_EX_TOOLWINDOW) {
    Register();
    g = Counts{};
    g_hit = HTCLIENT;
    g_keep_active = false;
    return CreateWindowExA(ex, "OwnFrame", "", WS_POPUP, 100, 80, 200, 120, nullptr, nullptr, nullptr, nullptr);
}

void Pump() { WinTestPumpUntilIdle(); }

TEST(FrameProtocol, APopupWithItsOwnFramePaintsItOnShowRegionRedrawAndFrameChange) {
    HWND h = OwnFramePopup();
    RECT cr;
    GetClientRect(h, &cr);
    EXPECT_EQ(cr.right, 200 - 2 * kSide);
    EXPECT_EQ(cr.bottom, 120 - kTop - kSide);
    Pump();
    EXPECT_EQ(g.ncpaint, 0) << "hidden: nothing to paint";

    ShowWindow(h, SW_SHOWNOACTIVATE);
    Pump();
    EXPECT_EQ(g.ncpaint, 1) << "shown";
    WinTestWindowPicture shown(h);
    EXPECT_EQ(shown.At(1, 1), RGB(0, 160, 0));
    EXPECT_EQ(shown.At(100, 60), GetSysColor(COLOR_WINDOW));

    HRGN rgn = CreateRoundRectRgn(0, 0, 201, 121, 16, 16);
    SetWindowRgn(h, rgn, TRUE);
    Pump();
    EXPECT_EQ(g.ncpaint, 2) << "region set with redraw";
    SetWindowRgn(h, CreateRectRgn(0, 0, 200, 120), FALSE);
    Pump();
    EXPECT_EQ(g.ncpaint, 2) << "region set without redraw";

    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    EXPECT_EQ(g.ncpaint, 3) << "RDW_FRAME, at once with RDW_UPDATENOW";
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(g.ncpaint, 3) << "no RDW_FRAME: the client only";

    SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    EXPECT_EQ(g.ncpaint, 4) << "SWP_FRAMECHANGED";
    SetWindowPos(h, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    Pump();
    EXPECT_EQ(g.ncpaint, 5) << "SWP_FRAMECHANGED with SWP_NOREDRAW still repaints the frame";
    DestroyWindow(h);
}

TEST(FrameProtocol, ActivationChangesRepaintTheFrameThroughNcPaint) {
    HWND h = OwnFramePopup(0);
    HWND other = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 400, 300, 50, 50, nullptr, nullptr, nullptr,
                                 nullptr);
    ShowWindow(h, SW_SHOW);
    Pump();
    int before = g.ncpaint;
    EXPECT_EQ(g.ncactivate_on, 1);
    SetActiveWindow(other);
    Pump();
    EXPECT_EQ(g.ncactivate_off, 1);
    EXPECT_EQ(g.ncpaint, before + 1);
    SetActiveWindow(h);
    Pump();
    EXPECT_EQ(g.ncactivate_on, 2);
    EXPECT_EQ(g.ncpaint, before + 2);
    DestroyWindow(other);
    DestroyWindow(h);
}

TEST(FrameProtocol, AWindowThatReservesNoFrameIsNeverAskedToPaintOne) {
    HWND h = CreateWindowExA(0, "Static", "", WS_POPUP, 10, 10, 80, 40, nullptr, nullptr, nullptr, nullptr);
    WNDPROC old = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC));
    static int ncpaints;
    static WNDPROC saved;
    ncpaints = 0;
    saved = old;
    SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
                          if (m == WM_NCPAINT) ++ncpaints;
                          return CallWindowProcA(saved, w, m, wp, lp);
                      }));
    ShowWindow(h, SW_SHOWNOACTIVATE);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    Pump();
    EXPECT_EQ(ncpaints, 0);
    DestroyWindow(h);
}

// ---- activation state ----

TEST(ActivationState, TheCaptionStateFollowsWmNcActivateAndAHandlerMayKeepItActive) {
    HWND h = OwnFramePopup(0);
    HWND other = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 400, 300, 50, 50, nullptr, nullptr, nullptr,
                                 nullptr);
    ShowWindow(h, SW_SHOW);
    Pump();
    WINDOWINFO wi{};
    wi.cbSize = sizeof(wi);
    GetWindowInfo(h, &wi);
    EXPECT_EQ(wi.dwWindowStatus, DWORD(WS_ACTIVECAPTION));
    EXPECT_EQ(GetActiveWindow(), h);
    SetActiveWindow(other);
    GetWindowInfo(h, &wi);
    EXPECT_EQ(wi.dwWindowStatus, 0u);
    // A handler that answers TRUE to the loss of activation keeps the caption active looking,
    // while activation itself moves on.
    SetActiveWindow(h);
    g_keep_active = true;
    SetActiveWindow(other);
    EXPECT_EQ(GetActiveWindow(), other);
    GetWindowInfo(h, &wi);
    EXPECT_EQ(wi.dwWindowStatus, DWORD(WS_ACTIVECAPTION));
    // WM_NCACTIVATE itself is what DefWindowProc answers TRUE to.
    EXPECT_EQ(DefWindowProcA(h, WM_NCACTIVATE, FALSE, 0), TRUE);
    GetWindowInfo(h, &wi);
    EXPECT_EQ(wi.dwWindowStatus, 0u);
    DestroyWindow(other);
    DestroyWindow(h);
}

// ---- hit codes route the mouse ----

LRESULT CALLBACK CountingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_LBUTTONDOWN) SetPropA(h, "downs", reinterpret_cast<HANDLE>(uintptr_t(GetPropA(h, "downs")) + 1));
    return DefWindowProcA(h, m, w, l);
}

int Downs(HWND h) { return int(uintptr_t(GetPropA(h, "downs"))); }

TEST(HitCodes, TransparentPassesTheClickToTheWindowBelowAndErrorDropsIt) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = CountingProc;
    wc.lpszClassName = "Counting";
    RegisterClassA(&wc);
    HWND below = CreateWindowExA(0, "Counting", "", WS_POPUP | WS_VISIBLE, 50, 50, 400, 300, nullptr, nullptr, nullptr,
                                 nullptr);
    HWND top = OwnFramePopup(0);
    SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    Pump();
    POINT inside{150, 130};
    // Each click on the window below activates and raises it: put the framed one back on top.
    auto click = [&] {
        SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        WinTestClick(nullptr, WINTEST_LEFT, inside.x, inside.y);
        Pump();
    };
    g_hit = HTTRANSPARENT;
    click();
    EXPECT_EQ(g.client_downs, 0);
    EXPECT_EQ(Downs(below), 1) << "a top level answering HTTRANSPARENT lets the one below have it";
    g_hit = HTERROR;
    click();
    EXPECT_EQ(g.client_downs, 0);
    EXPECT_TRUE(g.hits.empty());
    EXPECT_EQ(Downs(below), 1) << "HTERROR: nobody gets the click";
    g_hit = HTCLIENT;
    click();
    EXPECT_EQ(g.client_downs, 1);
    RemovePropA(below, "downs");
    DestroyWindow(top);
    DestroyWindow(below);
}

TEST(HitCodes, CaptionMovesTheWindowEvenWithoutASystemMenu) {
    HWND h = OwnFramePopup(0);
    ShowWindow(h, SW_SHOW);
    Pump();
    ASSERT_FALSE(GetWindowLongA(h, GWL_STYLE) & WS_SYSMENU);
    g_hit = HTCAPTION;
    WinTestDrag(nullptr, WINTEST_LEFT, 150, 85, 190, 125, 4);
    Pump();
    ASSERT_EQ(g.hits.size(), 1u);
    EXPECT_EQ(g.hits[0], HTCAPTION);
    RECT r;
    GetWindowRect(h, &r);
    EXPECT_EQ(r.left, 140);
    EXPECT_EQ(r.top, 120);
    EXPECT_EQ(r.right - r.left, 200);
    DestroyWindow(h);
}

}  // namespace
