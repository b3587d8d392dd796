// Painting and the frame: invalidation, erasing and WM_PAINT, the frame's hit testing and
// metrics, scroll-bar state and tracking, and menus driven by injected input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "windows.h"
#include "winplat_test.h"

namespace {

std::vector<UINT> g_msgs;
RECT g_paint_rect;
BOOL g_paint_erase;
bool g_ignore_paint = false;

LRESULT CALLBACK PaintProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
        case WM_NCPAINT: case WM_ERASEBKGND: g_msgs.push_back(m); break;
        case WM_PAINT: {
            g_msgs.push_back(m);
            if (g_ignore_paint) return 0;
            PAINTSTRUCT ps;
            BeginPaint(h, &ps);
            g_paint_rect = ps.rcPaint;
            g_paint_erase = ps.fErase;
            EndPaint(h, &ps);
            return 0;
        }
        case WM_VSCROLL: case WM_HSCROLL: g_msgs.push_back(m | (UINT(LOWORD(w)) << 16)); break;
    }
    return DefWindowProcA(h, m, w, l);
}

HWND Make(DWORD style, DWORD ex = 0, int x = 50, int y = 40, int cx = 300, int cy = 200) {
    static bool once = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PaintProc;
        wc.lpszClassName = "VelmoraPaintTest";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_WINDOW + 1));
        wc.style = CS_DBLCLKS;
        return RegisterClassA(&wc) != 0;
    }();
    (void)once;
    return CreateWindowExA(ex, "VelmoraPaintTest", "Paint", style, x, y, cx, cy, nullptr, nullptr, nullptr, nullptr);
}

void Pump() { WinTestPumpUntilIdle(); }

TEST(UserPaint, InvalidationBringsOneEraseAndPaintForTheUpdateArea) {
    HWND h = Make(WS_POPUP | WS_VISIBLE);
    Pump();
    g_msgs.clear();
    RECT r{10, 20, 30, 40};
    InvalidateRect(h, &r, TRUE);
    RECT u;
    EXPECT_TRUE(GetUpdateRect(h, &u, FALSE));
    EXPECT_TRUE(EqualRect(&u, &r));
    Pump();
    EXPECT_EQ(g_msgs, (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));  // erase happens inside BeginPaint
    EXPECT_TRUE(EqualRect(&g_paint_rect, &r));
    EXPECT_FALSE(g_paint_erase);  // the class brush erased it
    EXPECT_FALSE(GetUpdateRect(h, &u, FALSE));
    // Invalidating without erase, then validating part of it.
    g_msgs.clear();
    InvalidateRect(h, nullptr, FALSE);
    RECT top{0, 0, 300, 100};
    ValidateRect(h, &top);
    Pump();
    EXPECT_EQ(g_msgs, std::vector<UINT>{WM_PAINT});
    EXPECT_EQ(g_paint_rect.top, 100);
    // UpdateWindow paints at once, without the queue.
    g_msgs.clear();
    InvalidateRect(h, &r, TRUE);
    UpdateWindow(h);
    EXPECT_EQ(g_msgs, (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
    // The class brush (COLOR_WINDOW) is on the surface now.
    DWORD px[300 * 200];
    int w = 0, hh = 0;
    ASSERT_TRUE(WinTestCaptureWindow(h, px, 300 * 200, &w, &hh));
    EXPECT_EQ(px[25 * w + 15] & 0xFFFFFF, 0xFFFFFFu);
    DestroyWindow(h);
}

TEST(UserPaint, RedrawWindowUpdateNowPaintsFrameEraseAndClientInOrder) {
    HWND h = Make(WS_POPUP | WS_BORDER | WS_VISIBLE);
    Pump();
    g_msgs.clear();
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    EXPECT_EQ(g_msgs, (std::vector<UINT>{WM_NCPAINT, WM_PAINT, WM_ERASEBKGND}));
    g_msgs.clear();
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
    EXPECT_EQ(g_msgs, std::vector<UINT>{WM_ERASEBKGND});
    Pump();  // the paint itself still comes
    EXPECT_EQ(g_msgs, (std::vector<UINT>{WM_ERASEBKGND, WM_PAINT}));
    DestroyWindow(h);
}

TEST(UserPaint, AProcedureThatIgnoresPaintIsNotAskedForever) {
    HWND h = Make(WS_POPUP | WS_VISIBLE);
    Pump();
    g_ignore_paint = true;
    g_msgs.clear();
    InvalidateRect(h, nullptr, TRUE);
    MSG m;
    int n = 0;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE) && n < 100) {
        DispatchMessageA(&m);
        ++n;
    }
    g_ignore_paint = false;
    EXPECT_LT(n, 100);
    EXPECT_EQ(std::count(g_msgs.begin(), g_msgs.end(), UINT(WM_PAINT)), 1);
    DestroyWindow(h);
}

TEST(UserPaint, ChildrenShareTheParentsUpdateUnlessItClipsThem) {
    HWND p = Make(WS_POPUP | WS_VISIBLE);
    HWND c = CreateWindowExA(0, "VelmoraPaintTest", "", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, p, nullptr, nullptr, nullptr);
    Pump();
    RECT u;
    InvalidateRect(p, nullptr, TRUE);
    EXPECT_TRUE(GetUpdateRect(c, &u, FALSE));
    Pump();
    SetWindowLongA(p, GWL_STYLE, GetWindowLongA(p, GWL_STYLE) | WS_CLIPCHILDREN);
    InvalidateRect(p, nullptr, TRUE);
    EXPECT_FALSE(GetUpdateRect(c, &u, FALSE));
    Pump();
    DestroyWindow(p);
}

TEST(UserPaint, FrameLayoutAndHitTestingFollowTheStyles) {
    DWORD style = WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE;
    HWND h = Make(style, 0, 100, 100, 300, 200);
    Pump();
    RECT cr;
    GetClientRect(h, &cr);
    // Thick frame 4, caption 18, bars 16.
    EXPECT_EQ(cr.right, 300 - 2 * 4 - 16);
    EXPECT_EQ(cr.bottom, 200 - 2 * 4 - 18 - 16);
    RECT adj{0, 0, cr.right, cr.bottom};
    AdjustWindowRectEx(&adj, style & ~DWORD(WS_VSCROLL | WS_HSCROLL), FALSE, 0);
    EXPECT_EQ(adj.right - adj.left, 300 - 16);
    auto hit = [&](int x, int y) { return SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(100 + x, 100 + y)); };
    EXPECT_EQ(hit(150, 100), HTCLIENT);
    EXPECT_EQ(hit(150, 10), HTCAPTION);
    EXPECT_EQ(hit(300 - 4 - 2 - 8, 4 + 8), HTCLOSE);
    EXPECT_EQ(hit(300 - 4 - 2 - 16 - 2 - 8, 12), HTMAXBUTTON);
    EXPECT_EQ(hit(300 - 4 - 2 - 16 - 2 - 16 - 8, 12), HTMINBUTTON);
    EXPECT_EQ(hit(10, 12), HTSYSMENU);
    EXPECT_EQ(hit(1, 100), HTLEFT);
    EXPECT_EQ(hit(298, 100), HTRIGHT);
    EXPECT_EQ(hit(150, 1), HTTOP);
    EXPECT_EQ(hit(150, 198), HTBOTTOM);
    EXPECT_EQ(hit(1, 1), HTTOPLEFT);
    EXPECT_EQ(hit(298, 198), HTBOTTOMRIGHT);
    EXPECT_EQ(hit(300 - 4 - 8, 100), HTVSCROLL);
    EXPECT_EQ(hit(150, 200 - 4 - 8), HTHSCROLL);
    EXPECT_EQ(hit(300 - 4 - 8, 200 - 4 - 8), HTGROWBOX);
    EXPECT_EQ(hit(400, 100), HTNOWHERE);
    // A menu bar takes its row below the caption.
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_STRING, 1, "&File");
    SetMenu(h, bar);
    EXPECT_EQ(hit(10, 4 + 18 + 5), HTMENU);
    RECT cr2;
    GetClientRect(h, &cr2);
    EXPECT_EQ(cr2.bottom, cr.bottom - GetSystemMetrics(SM_CYMENU));
    // Removing the scroll bars' styles changes what the frame reserves.
    SetWindowLongA(h, GWL_STYLE, GetWindowLongA(h, GWL_STYLE) & ~(WS_VSCROLL | WS_HSCROLL));
    SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    GetClientRect(h, &cr);
    EXPECT_EQ(cr.right, 300 - 2 * 4);
    // A window region limits hit testing and WindowFromPoint.
    SetWindowRgn(h, CreateRectRgn(0, 0, 100, 100), TRUE);
    EXPECT_EQ(hit(150, 50), HTNOWHERE);
    EXPECT_NE(WindowFromPoint(POINT{100 + 150, 100 + 50}), h);
    EXPECT_EQ(WindowFromPoint(POINT{100 + 50, 100 + 50}), h);
    DestroyWindow(h);
}

TEST(UserPaint, FrameIsPaintedInSystemColours) {
    HWND h = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 10, 10, 200, 120);
    SetActiveWindow(h);
    Pump();
    DWORD px[200 * 120];
    int w, hh;
    ASSERT_TRUE(WinTestCaptureWindow(h, px, 200 * 120, &w, &hh));
    COLORREF cap = GetSysColor(COLOR_ACTIVECAPTION);
    DWORD want = (GetRValue(cap) << 16) | (GetGValue(cap) << 8) | GetBValue(cap);
    EXPECT_EQ(px[10 * w + 100] & 0xFFFFFF, want);  // inside the caption
    // Recolouring the palette recolours the frame.
    INT idx = COLOR_ACTIVECAPTION;
    COLORREF red = RGB(200, 0, 0);
    SetSysColors(1, &idx, &red);
    Pump();
    ASSERT_TRUE(WinTestCaptureWindow(h, px, 200 * 120, &w, &hh));
    EXPECT_EQ(px[10 * w + 100] & 0xFFFFFF, 0xC80000u);
    SetSysColors(1, &idx, &cap);
    DestroyWindow(h);
}

TEST(UserPaint, ScrollInfoIsClampedByThePlatformsRules) {
    HWND h = Make(WS_POPUP | WS_VISIBLE | WS_VSCROLL);
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 95, 0};
    EXPECT_EQ(SetScrollInfo(h, SB_VERT, &si, TRUE), 90);  // max - (page - 1)
    si.fMask = SIF_PAGE;
    si.nPage = 500;
    SetScrollInfo(h, SB_VERT, &si, TRUE);
    SCROLLINFO got{};
    got.cbSize = sizeof(got);
    got.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(h, SB_VERT, &got));
    EXPECT_EQ(got.nPage, 100u);  // clamped to the range
    EXPECT_EQ(got.nPos, 0);
    // Everything fits: the bar goes away...
    EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & WS_VSCROLL, 0);
    // ...unless asked to stay, disabled.
    si.fMask = SIF_PAGE | SIF_DISABLENOSCROLL;
    SetScrollInfo(h, SB_VERT, &si, TRUE);
    EXPECT_NE(GetWindowLongA(h, GWL_STYLE) & WS_VSCROLL, 0);
    si.fMask = SIF_PAGE;
    si.nPage = 10;
    SetScrollInfo(h, SB_VERT, &si, TRUE);
    EXPECT_EQ(SetScrollPos(h, SB_VERT, -20, TRUE), 0);  // the previous position
    EXPECT_EQ(GetScrollPos(h, SB_VERT), 0);
    EXPECT_EQ(SetScrollPos(h, SB_VERT, 50, TRUE), 0);
    EXPECT_EQ(SetScrollPos(h, SB_VERT, 1000, TRUE), 50);
    EXPECT_EQ(GetScrollPos(h, SB_VERT), 90);
    int mn, mx;
    EXPECT_TRUE(GetScrollRange(h, SB_VERT, &mn, &mx));
    EXPECT_EQ(mx, 99);
    EXPECT_TRUE(SetScrollRange(h, SB_VERT, 10, 20, TRUE));
    EXPECT_EQ(GetScrollPos(h, SB_VERT), 11);  // re-clamped into the new range
    si = SCROLLINFO{sizeof(si), SIF_RANGE, 5, 1, 0, 0, 0};  // max below min
    SetScrollInfo(h, SB_VERT, &si, TRUE);
    EXPECT_TRUE(GetScrollRange(h, SB_VERT, &mn, &mx));
    EXPECT_LE(mn, mx);
    SCROLLINFO bad{};
    bad.cbSize = 3;  // no known record size
    bad.fMask = SIF_ALL;
    EXPECT_EQ(SetScrollInfo(h, SB_VERT, &bad, TRUE), 0);
    EXPECT_FALSE(GetScrollInfo(h, SB_VERT, &bad));
    DestroyWindow(h);
}

TEST(UserPaint, ClickingTheScrollBarArrowsSendsScrollMessages) {
    HWND h = Make(WS_POPUP | WS_VISIBLE | WS_VSCROLL, 0, 20, 20, 200, 150);
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE, 0, 100, 10, 0, 0};
    SetScrollInfo(h, SB_VERT, &si, TRUE);
    Pump();
    g_msgs.clear();
    WinTestClick(nullptr, WINTEST_LEFT, 20 + 200 - 8, 20 + 150 - 8);  // the down arrow
    Pump();
    std::vector<UINT> want = {WM_VSCROLL | (SB_LINEDOWN << 16), WM_VSCROLL | (SB_ENDSCROLL << 16)};
    EXPECT_EQ(g_msgs, want);
    g_msgs.clear();
    WinTestClick(nullptr, WINTEST_LEFT, 20 + 200 - 8, 20 + 100);  // the track below the thumb
    Pump();
    ASSERT_FALSE(g_msgs.empty());
    EXPECT_EQ(g_msgs.front(), UINT(WM_VSCROLL | (SB_PAGEDOWN << 16)));
    DestroyWindow(h);
}

// ---- menus ----

std::vector<UINT> g_menu_msgs;
std::vector<UINT> g_inject;
UINT g_selected = 0;
int g_measured = 0, g_drawn = 0;
LRESULT CALLBACK MenuOwnerProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
        case WM_INITMENUPOPUP:
            g_menu_msgs.push_back(m);
            for (UINT vk : g_inject) WinTestKeyPress(vk);
            g_inject.clear();
            break;
        case WM_ENTERMENULOOP: case WM_EXITMENULOOP: case WM_INITMENU: case WM_UNINITMENUPOPUP:
            g_menu_msgs.push_back(m);
            break;
        case WM_MENUSELECT:
            if (HIWORD(w) != 0xFFFF) g_selected = LOWORD(w);
            break;
        case WM_MEASUREITEM: {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
            if (mis->CtlType == ODT_MENU) {
                ++g_measured;
                mis->itemWidth = 80;
                mis->itemHeight = 25;
            }
            return TRUE;
        }
        case WM_DRAWITEM:
            if (reinterpret_cast<DRAWITEMSTRUCT*>(l)->CtlType == ODT_MENU) ++g_drawn;
            return TRUE;
        case WM_COMMAND: g_menu_msgs.push_back(WM_COMMAND | (UINT(LOWORD(w)) << 16)); return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

HWND MenuOwner() {
    HWND h = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 10, 10, 300, 200);
    SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MenuOwnerProc));
    SetActiveWindow(h);
    SetFocus(h);
    Pump();
    return h;
}

HMENU SampleMenu() {
    HMENU m = CreatePopupMenu();
    AppendMenuA(m, MF_STRING, 101, "&Open");
    AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(m, MF_STRING | MF_GRAYED, 102, "&Disabled");
    AppendMenuA(m, MF_STRING, 103, "&Save\tCtrl+S");
    HMENU sub = CreatePopupMenu();
    AppendMenuA(sub, MF_STRING, 201, "Inner &A");
    AppendMenuA(sub, MF_STRING, 202, "Inner &B");
    AppendMenuA(m, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&More");
    return m;
}

TEST(UserPaint, PopupMenuFollowsTheKeyboardAndSkipsSeparators) {
    HWND h = MenuOwner();
    HMENU m = SampleMenu();
    g_menu_msgs.clear();
    g_inject = {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN};  // Open, Disabled, Save
    UINT cmd = UINT(TrackPopupMenu(m, TPM_RETURNCMD, 60, 60, 0, h, nullptr));
    EXPECT_EQ(cmd, 103u);
    EXPECT_EQ(g_selected, 103u);
    std::vector<UINT> want = {WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_UNINITMENUPOPUP, WM_EXITMENULOOP};
    EXPECT_EQ(g_menu_msgs, want);
    // A disabled item is not chosen; Escape leaves with nothing.
    g_inject = {VK_DOWN, VK_DOWN, VK_RETURN, VK_ESCAPE};
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 60, 60, 0, h, nullptr), 0);
    // Into a submenu with the right arrow; without TPM_RETURNCMD the choice is posted.
    g_menu_msgs.clear();
    g_inject = {VK_UP, VK_RIGHT};
    std::vector<UINT> later = {VK_DOWN, VK_RETURN};
    // The second popup's WM_INITMENUPOPUP injects the rest.
    auto hook_inject = later;
    g_inject.insert(g_inject.end(), hook_inject.begin(), hook_inject.end());
    EXPECT_TRUE(TrackPopupMenu(m, 0, 60, 60, 0, h, nullptr));
    Pump();
    ASSERT_FALSE(g_menu_msgs.empty());
    EXPECT_EQ(g_menu_msgs.back(), UINT(WM_COMMAND | (202u << 16)));
    DestroyMenu(m);
    DestroyWindow(h);
}

TEST(UserPaint, PopupMenuFollowsTheMouseAndDrawsOwnerDrawnItems) {
    HWND h = MenuOwner();
    HMENU m = CreatePopupMenu();
    AppendMenuA(m, MF_STRING, 301, "First");
    AppendMenuA(m, MF_OWNERDRAW, 302, reinterpret_cast<LPCSTR>(uintptr_t(0xDA7A)));
    g_measured = g_drawn = 0;
    // Click on the second item: 3 pixels of border, an 18-pixel first item.
    WinTestClick(nullptr, WINTEST_LEFT, 100 + 20, 80 + 3 + 18 + 10);
    UINT cmd = UINT(TrackPopupMenu(m, TPM_RETURNCMD, 100, 80, 0, h, nullptr));
    EXPECT_EQ(cmd, 302u);
    EXPECT_EQ(g_measured, 1);
    EXPECT_GE(g_drawn, 1);
    // A click outside every menu cancels.
    WinTestClick(nullptr, WINTEST_LEFT, 5, 5);
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 100, 80, 0, h, nullptr), 0);
    DestroyMenu(m);
    DestroyWindow(h);
}

TEST(UserPaint, MenuModelAnswersStateAndText) {
    HMENU m = SampleMenu();
    EXPECT_EQ(GetMenuItemCount(m), 5);
    EXPECT_EQ(GetMenuState(m, 102, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED), UINT(MF_GRAYED));
    EXPECT_EQ(CheckMenuItem(m, 101, MF_CHECKED), DWORD(MF_UNCHECKED));
    EXPECT_EQ(GetMenuState(m, 101, MF_BYCOMMAND) & MF_CHECKED, UINT(MF_CHECKED));
    EXPECT_EQ(EnableMenuItem(m, 102, MF_ENABLED), MF_GRAYED);
    EXPECT_EQ(GetMenuItemID(m, 4), UINT(-1));  // a submenu
    HMENU sub = GetSubMenu(m, 4);
    ASSERT_TRUE(sub);
    EXPECT_EQ(GetMenuState(m, 4, MF_BYPOSITION) >> 8, 2u);  // items in the submenu
    EXPECT_EQ(GetMenuState(m, 201, MF_BYCOMMAND), UINT(MF_STRING));  // found inside the submenu
    char buf[32];
    EXPECT_EQ(GetMenuStringA(m, 103, buf, sizeof(buf), MF_BYCOMMAND), 12);
    EXPECT_STREQ(buf, "&Save\tCtrl+S");
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE;
    mii.dwTypeData = buf;
    mii.cch = 4;
    EXPECT_TRUE(GetMenuItemInfoA(m, 0, TRUE, &mii));
    EXPECT_STREQ(buf, "&Op");
    EXPECT_EQ(mii.wID, 101u);
    EXPECT_TRUE(ModifyMenuA(m, 101, MF_BYCOMMAND | MF_STRING, 105, "Changed"));
    EXPECT_EQ(GetMenuItemID(m, 0), 105u);
    EXPECT_TRUE(DeleteMenu(m, 4, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(sub));  // deleted with its item
    EXPECT_TRUE(DestroyMenu(m));
    EXPECT_FALSE(DestroyMenu(m));
    EXPECT_EQ(GetMenuItemCount(m), -1);
}

TEST(UserPaint, AcceleratorsBecomeCommandsUnlessTheMenuItemIsGrayed) {
    HWND h = MenuOwner();
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_STRING, 40, "Go");
    AppendMenuA(bar, MF_STRING | MF_GRAYED, 41, "No");
    SetMenu(h, bar);
    ACCEL acc[2] = {{FVIRTKEY | FCONTROL, 'G', 40}, {FVIRTKEY, VK_F5, 41}};
    HACCEL t = CreateAcceleratorTableA(acc, 2);
    EXPECT_EQ(CopyAcceleratorTableA(t, nullptr, 0), 2);
    g_menu_msgs.clear();
    WinTestKey(VK_CONTROL, TRUE);
    WinTestKeyPress('G');
    WinTestKey(VK_CONTROL, FALSE);
    WinTestKeyPress(VK_F5);
    MSG m;
    int translated = 0;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (TranslateAcceleratorA(h, t, &m)) {
            ++translated;
            continue;
        }
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    EXPECT_EQ(translated, 2);
    EXPECT_EQ(g_menu_msgs, std::vector<UINT>{WM_COMMAND | (40u << 16)});
    EXPECT_TRUE(DestroyAcceleratorTable(t));
    EXPECT_FALSE(DestroyAcceleratorTable(t));
    DestroyWindow(h);
}

}  // namespace
