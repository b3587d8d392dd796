// Window state and the menu bar: showing, maximising, minimising and restoring with their
// messages and placement; the menu bar driven by the mouse and by the keyboard.
#include <gtest/gtest.h>

#include <vector>

#include "windows.h"
#include "winplat_test.h"

namespace {

std::vector<UINT> g_log;
std::vector<WPARAM> g_sizes;
std::vector<UINT> g_inject_keys;
bool g_inject_click = false;
POINT g_click{0, 0};

LRESULT CALLBACK StateProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
        case WM_SHOWWINDOW: g_log.push_back(m); break;
        case WM_SIZE: g_sizes.push_back(w); break;
        case WM_INITMENUPOPUP:
            g_log.push_back(m);
            for (UINT vk : g_inject_keys) WinTestKeyPress(vk);
            g_inject_keys.clear();
            if (g_inject_click) {
                WinTestClick(nullptr, WINTEST_LEFT, g_click.x, g_click.y);
                g_inject_click = false;
            }
            break;
        case WM_COMMAND: g_log.push_back(WM_COMMAND | (UINT(LOWORD(w)) << 16)); return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

HWND Make(DWORD style, int x, int y, int cx, int cy) {
    static bool once = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = StateProc;
        wc.lpszClassName = "VelmoraStateTest";
        return RegisterClassA(&wc) != 0;
    }();
    (void)once;
    return CreateWindowExA(0, "VelmoraStateTest", "State", style, x, y, cx, cy, nullptr, nullptr, nullptr, nullptr);
}

TEST(UserState, MaximiseMinimiseAndRestoreKeepTheNormalPlacement) {
    HWND h = Make(WS_OVERLAPPEDWINDOW, 30, 40, 200, 150);
    g_log.clear();
    g_sizes.clear();
    EXPECT_FALSE(ShowWindow(h, SW_SHOW));  // was hidden
    EXPECT_EQ(g_log, std::vector<UINT>{WM_SHOWWINDOW});
    EXPECT_TRUE(ShowWindow(h, SW_SHOW));   // already visible: no second WM_SHOWWINDOW
    EXPECT_EQ(g_log.size(), 1u);
    ShowWindow(h, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(h));
    RECT work, r;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(h, &r);
    EXPECT_EQ(r.right - r.left, work.right - work.left);
    ASSERT_FALSE(g_sizes.empty());
    EXPECT_EQ(g_sizes.back(), WPARAM(SIZE_MAXIMIZED));
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    ASSERT_TRUE(GetWindowPlacement(h, &wp));
    EXPECT_EQ(wp.showCmd, UINT(SW_SHOWMAXIMIZED));
    EXPECT_EQ(wp.rcNormalPosition.left, 30);
    EXPECT_EQ(wp.rcNormalPosition.right, 230);
    ShowWindow(h, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(h));
    EXPECT_FALSE(IsZoomed(h));
    EXPECT_EQ(g_sizes.back(), WPARAM(SIZE_MINIMIZED));
    ShowWindow(h, SW_RESTORE);
    EXPECT_FALSE(IsIconic(h));
    GetWindowRect(h, &r);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.bottom, 190);
    EXPECT_EQ(g_sizes.back(), WPARAM(SIZE_RESTORED));
    g_log.clear();
    EXPECT_TRUE(ShowWindow(h, SW_HIDE));
    EXPECT_EQ(g_log, std::vector<UINT>{WM_SHOWWINDOW});
    EXPECT_FALSE(IsWindowVisible(h));
    DestroyWindow(h);
}

HMENU BarMenu() {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 11, "&Open");
    AppendMenuA(file, MF_STRING, 12, "E&xit");
    HMENU help = CreatePopupMenu();
    AppendMenuA(help, MF_STRING, 21, "&About");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");
    return bar;
}

TEST(UserState, MenuBarOpensItsPopupOnAClickAndSendsTheCommand) {
    HWND h = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200);
    SetMenu(h, BarMenu());
    SetActiveWindow(h);
    SetFocus(h);
    WinTestPumpUntilIdle();
    RECT item;
    ASSERT_TRUE(GetMenuItemRect(h, GetMenu(h), 0, &item));
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(item.left + 3, item.top + 3)), HTMENU);
    g_log.clear();
    // The popup opens under the item; its second entry is 3 + 18 + 9 pixels down.
    g_click = POINT{item.left + 20, item.bottom + 1 + 3 + 18 + 9};
    g_inject_click = true;
    WinTestClick(nullptr, WINTEST_LEFT, item.left + 3, item.top + 3);
    WinTestPumpUntilIdle();
    EXPECT_EQ(g_log, (std::vector<UINT>{WM_INITMENUPOPUP, WM_COMMAND | (12u << 16)}));
    DestroyWindow(h);
}

TEST(UserState, MenuBarAnswersAltMnemonicsAndArrowKeys) {
    HWND h = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200);
    SetMenu(h, BarMenu());
    SetActiveWindow(h);
    SetFocus(h);
    WinTestPumpUntilIdle();
    g_log.clear();
    // Alt+H opens Help; Enter runs its first item.
    g_inject_keys = {VK_RETURN};
    WinTestKey(VK_MENU, TRUE);
    WinTestKeyPress('H');
    WinTestKey(VK_MENU, FALSE);
    WinTestPumpUntilIdle();
    EXPECT_EQ(g_log, (std::vector<UINT>{WM_INITMENUPOPUP, WM_COMMAND | (21u << 16)}));
    // Alt alone selects the bar; Down opens File on its first item; Down, Enter runs the second.
    g_log.clear();
    g_inject_keys = {VK_DOWN, VK_RETURN};
    WinTestKeyPress(VK_MENU);
    WinTestKeyPress(VK_DOWN);
    WinTestPumpUntilIdle();
    EXPECT_EQ(g_log, (std::vector<UINT>{WM_INITMENUPOPUP, WM_COMMAND | (12u << 16)}));
    DestroyWindow(h);
}

}  // namespace
