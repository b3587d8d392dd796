// The owner-drawn menu dropped from a bitmap button on the headless backend: both looks drawn
// at chosen pixels (selection, check, disabled grey, separator, image, submenu arrow), item
// sizes, a choice by mouse, by keys and by mnemonic reaching the owner as WM_COMMAND, and
// Escape choosing nothing.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ImageButton.h"
#include "test_ownermenu_support.h"
#include "winplat_test.h"

using namespace ownermenu_test;

namespace {

using Picture = WinTestWindowPicture;

const UINT kMarkerKey = 0x87;  // F24: no control here answers it

// The owner of the menu's commands; also the target of the callback sent before it opens.
class CMenuHost : public CWnd {
public:
    std::vector<UINT> commands;
    std::vector<std::pair<WPARAM, LPARAM>> callbacks;
    BOOL OnCommand(WPARAM wp, LPARAM lp) override {
        if (lp == 0) commands.push_back(LOWORD(wp));
        return CWnd::OnCommand(wp, lp);
    }
    LRESULT OnCallback(WPARAM wp, LPARAM lp) {
        callbacks.push_back({wp, lp});
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CMenuHost, CWnd)
ON_MESSAGE(WM_APP + 7, OnCallback)
END_MESSAGE_MAP()

// While a menu is open its own loop takes the input. A test runs its checks as steps inside
// that loop: each step is started by a marker key that a keyboard hook takes out of the
// queue, after everything injected before the marker has been handled.
std::vector<std::function<void()>> g_steps;
size_t g_next = 0;
HHOOK g_hook = nullptr;

LRESULT CALLBACK MarkerHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && wp == kMarkerKey) {
        if (!(lp & 0x80000000) && g_next < g_steps.size()) {
            auto step = g_steps[g_next++];
            step();
        }
        return 1;
    }
    return CallNextHookEx(g_hook, code, wp, lp);
}

void Marker() { WinTestKeyPress(kMarkerKey); }

// The visible menu windows, outermost first.
std::vector<HWND> MenuWindows() {
    std::vector<HWND> out;
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            char cls[32] = {};
            GetClassNameA(h, cls, sizeof cls);
            if (std::string(cls) == "#32768" && IsWindowVisible(h)) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&out));
    std::sort(out.begin(), out.end(), [](HWND a, HWND b) {
        RECT ra, rb;
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.left < rb.left;
    });
    return out;
}

// Item rows of the drop-down: the layer's popup border, then the measured heights.
std::vector<int> RowTops(int item, int separator) {
    std::vector<int> tops;
    int y = 3;
    for (int i = 0; i < 7; ++i) {
        tops.push_back(y);
        y += i == 3 ? separator : item;
    }
    tops.push_back(y);  // the bottom of the last row
    return tops;
}

bool Has(const Picture& p, COLORREF c, int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (p.At(x, y) == c) return true;
    return false;
}

class OwnerMenuButton : public testing::Test {
protected:
    static void SetUpTestSuite() { RegisterResources(); }
    void SetUp() override {
        ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0, nullptr, HBRUSH(GetStockObject(WHITE_BRUSH))), "host",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr));
        ASSERT_TRUE(button.Create("Menu", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(20, 20, 140, 50), &host, 300));
        g_steps.clear();
        g_next = 0;
        g_hook = SetWindowsHookExA(WH_KEYBOARD, MarkerHook, nullptr, GetCurrentThreadId());
        Pump();
    }
    void TearDown() override {
        UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
        button.DestroyWindow();
        host.DestroyWindow();
        Pump();
    }
    static void Pump() {
        WinTestPumpUntilIdle();
        WinTestPumpUntilIdle();
    }
    // Clicks the button and runs the steps inside the menu's loop.
    void Drop(std::vector<std::function<void()>> steps) {
        g_steps = std::move(steps);
        g_next = 0;
        WinTestAdvanceClock(1000);  // never a double-click with the previous drop
        WinTestClick(button.m_hWnd, WINTEST_LEFT, 30, 15);
        Marker();
        Pump();
        EXPECT_EQ(g_next, g_steps.size()) << "not every step ran inside the menu";
        EXPECT_TRUE(MenuWindows().empty());
    }
    void Save(HWND menu, const char* name) {
        std::string path = testing::TempDir() + name;
        EXPECT_TRUE(WinTestCaptureWindowPng(menu, path.c_str()));
    }
    CMenuHost host;
    CImageButton button;
};

COLORREF Sys(int index) { return GetSysColor(index); }

}  // namespace

TEST_F(OwnerMenuButton, SetMenuLoadsTheMenuAndItsToolbarOrFails) {
    EXPECT_EQ(button.SetMenu(999, host.m_hWnd), DWORD(CImageButton::RESULT_BAD_RESOURCE));
    EXPECT_EQ(button.SetMenu(kMenuId, host.m_hWnd, TRUE, kBadToolbarId), DWORD(CImageButton::RESULT_BAD_RESOURCE));
    // After a failure the button has no menu: a click is a plain click.
    WinTestClick(button.m_hWnd, WINTEST_LEFT, 30, 15);
    Pump();
    EXPECT_TRUE(host.commands.empty());
    EXPECT_EQ(button.SetMenu(kMenuId, host.m_hWnd, TRUE, kToolbarId), DWORD(CImageButton::RESULT_OK));
    EXPECT_EQ(button.SetMenu(0, host.m_hWnd), DWORD(CImageButton::RESULT_OK));
}

TEST_F(OwnerMenuButton, XPLookDrawsItsItemsAndKeysChooseACommand) {
    ASSERT_EQ(button.SetMenu(kMenuId, host.m_hWnd, TRUE, kToolbarId), DWORD(CImageButton::RESULT_OK));
    // Icons 16 high: items max(19, 16 + 7) = 23, the separator max(9, 23 / 2) = 11.
    const std::vector<int> row = RowTops(23, 11);
    const COLORREF highlight = Sys(COLOR_HIGHLIGHT);
    const COLORREF selection = COwnerMenu::BlendTowardWhite(highlight, 0.7);  // the themed style's shade
    int width = 0;
    Drop({
        [&] {
            std::vector<HWND> menus = MenuWindows();
            ASSERT_EQ(menus.size(), 1u);
            RECT wr, br;
            GetWindowRect(menus[0], &wr);
            GetWindowRect(button.m_hWnd, &br);
            EXPECT_EQ(wr.left, br.left);  // dropped at the button's bottom-left corner
            EXPECT_EQ(wr.top, br.bottom);
            EXPECT_EQ(wr.bottom - wr.top, row[7] + 3);
            Picture m(menus[0]);
            Save(menus[0], "ownermenu_xp.png");
            width = m.w;
            const int right = m.w - 3;
            // The image strip, the item background and Open's red image centred in the strip.
            EXPECT_EQ(m.At(4, row[0] + 1), Sys(COLOR_BTNFACE));
            EXPECT_EQ(m.At(right - 2, row[0] + 1), Sys(COLOR_WINDOW));
            EXPECT_EQ(m.At(3 + 4 + 8, row[0] + 4 + 7), kImageRed);
            EXPECT_EQ(m.At(3 + 4, row[0] + 4), Sys(COLOR_BTNFACE));  // the image's masked border
            // Save is checked and has an image: a framed, lightly filled box behind it.
            EXPECT_EQ(m.At(5, row[1] + 2), highlight);
            EXPECT_EQ(m.At(6, row[1] + 3), COwnerMenu::BlendTowardWhite(highlight, 0.85));
            EXPECT_EQ(m.At(3 + 4 + 8, row[1] + 4 + 7), kImageGreen);
            // Wrap is checked without an image: the box carries a check mark.
            EXPECT_EQ(m.At(5, row[2] + 2), highlight);
            EXPECT_EQ(m.At(10, row[2] + 2 + 6 + 2), Sys(COLOR_MENUTEXT));
            EXPECT_EQ(m.At(10, row[2] + 2 + 6), COwnerMenu::BlendTowardWhite(highlight, 0.85));
            // The separator: strip, then an etched line at half its height.
            const int line = row[3] + 11 / 2;
            EXPECT_EQ(m.At(4, line), Sys(COLOR_BTNFACE));
            EXPECT_EQ(m.At(40, line), Sys(COLOR_BTNSHADOW));
            EXPECT_EQ(m.At(40, line + 1), Sys(COLOR_BTNHIGHLIGHT));
            EXPECT_EQ(m.At(40, line - 2), Sys(COLOR_WINDOW));
            // Print is disabled: lightened grey text, no black text.
            const COLORREF grey = COwnerMenu::BlendTowardWhite(Sys(COLOR_GRAYTEXT), 0.4);
            EXPECT_TRUE(Has(m, grey, 30, row[4], right, row[5]));
            EXPECT_FALSE(Has(m, Sys(COLOR_MENUTEXT), 30, row[4], right, row[5]));
            EXPECT_TRUE(Has(m, Sys(COLOR_MENUTEXT), 30, row[0], right, row[1]));  // Open's text
            // More opens a submenu: an arrow at its right.
            EXPECT_EQ(m.At(right - 12 + 3, (row[5] + row[6]) / 2), Sys(COLOR_MENUTEXT));
            EXPECT_FALSE(Has(m, selection, 3, 3, right, row[7]));  // nothing selected yet
            // The button shows its pressed face while its menu is open.
            Picture b(button.m_hWnd);
            EXPECT_EQ(b.At(0, 0), Sys(COLOR_BTNSHADOW));
            WinTestKeyPress(VK_DOWN);
            Marker();
        },
        [&] {
            std::vector<HWND> menus = MenuWindows();
            ASSERT_EQ(menus.size(), 1u);
            Picture m(menus[0]);
            Save(menus[0], "ownermenu_xp_selected.png");
            // Open is selected: framed and filled across the strip, its image still shown.
            EXPECT_EQ(m.At(3, row[0]), highlight);
            EXPECT_EQ(m.At(width - 4, row[1] - 1), highlight);
            EXPECT_EQ(m.At(4, row[0] + 1), selection);
            EXPECT_EQ(m.At(width - 6, row[0] + 2), selection);
            EXPECT_EQ(m.At(3 + 4 + 8, row[0] + 4 + 7), kImageRed);
            // With 3-D images a selected image is lifted over its shadow.
            const COLORREF shadow = COwnerMenu::BlendTowardBlack(selection, 0.3);
            EXPECT_EQ(m.At(3 + 4 - 1 + 15, row[0] + 4 + 7), shadow);  // right of the lifted image
            EXPECT_EQ(m.At(3 + 4 - 1 + 15, row[0] + 4 + 1), selection);  // above the shadow
            EXPECT_EQ(m.At(3 + 4, row[0] + 4), kImageRed);  // the lifted image's first inner pixel
            EXPECT_EQ(m.At(4, row[1] + 1), Sys(COLOR_BTNFACE));  // Save is not
            for (UINT vk : {VK_DOWN, VK_DOWN, VK_DOWN}) WinTestKeyPress(vk);  // Save, Wrap, Print
            Marker();
        },
        [&] {
            Picture m(MenuWindows().at(0));
            // A disabled item is not highlighted in this look, and Enter does not choose it.
            EXPECT_FALSE(Has(m, selection, 3, row[4], width - 3, row[5]));
            EXPECT_EQ(m.At(width - 6, row[4] + 2), Sys(COLOR_WINDOW));
            for (UINT vk : {VK_RETURN, VK_UP, VK_RETURN}) WinTestKeyPress(vk);  // up skips the separator
        },
    });
    EXPECT_EQ(host.commands, std::vector<UINT>{ID_WRAP});
    // The button is drawn unpressed again.
    Picture b(button.m_hWnd);
    EXPECT_NE(b.At(0, 0), Sys(COLOR_BTNSHADOW));
}

TEST_F(OwnerMenuButton, ClassicLookDrawsItsItemsAndTheMouseChoosesInASubmenu) {
    ASSERT_EQ(button.SetMenu(kMenuId, host.m_hWnd, FALSE, kToolbarId), DWORD(CImageButton::RESULT_OK));
    // Pad 4: items max(19, 20) = 20, the separator 10.
    const std::vector<int> row = RowTops(20, 10);
    Drop({
        [&] {
            std::vector<HWND> menus = MenuWindows();
            ASSERT_EQ(menus.size(), 1u);
            RECT wr;
            GetWindowRect(menus[0], &wr);
            EXPECT_EQ(wr.bottom - wr.top, row[7] + 3);
            Picture m(menus[0]);
            Save(menus[0], "ownermenu_classic.png");
            const int right = m.w - 3;
            EXPECT_EQ(m.At(right - 2, row[0] + 1), Sys(COLOR_MENU));
            // Images sit in a cell one icon wide at the left, inside a one-pixel frame.
            EXPECT_EQ(m.At(4 + 8, row[0] + 2 + 7), kImageRed);
            // Save: checked with an image, a sunken frame round a lightened face.
            EXPECT_EQ(m.At(3, row[1] + 3), Sys(COLOR_BTNSHADOW));
            EXPECT_EQ(m.At(3 + 17, row[1] + 10), Sys(COLOR_3DHILIGHT));
            EXPECT_EQ(m.At(4, row[1] + 2), COwnerMenu::BlendTowardWhite(Sys(COLOR_BTNFACE), 0.6));
            EXPECT_EQ(m.At(4 + 8, row[1] + 2 + 7), kImageGreen);
            // Wrap: a check mark in its cell.
            EXPECT_EQ(m.At(3 + 4, row[2] + 1 + 5 + 2), Sys(COLOR_MENUTEXT));
            EXPECT_EQ(m.At(3 + 4, row[2] + 1 + 5), Sys(COLOR_MENU));
            // The separator's etched line.
            EXPECT_EQ(m.At(40, row[3] + 5), Sys(COLOR_BTNSHADOW));
            EXPECT_EQ(m.At(40, row[3] + 6), Sys(COLOR_BTNHIGHLIGHT));
            // Print is embossed: a light copy under shadow-coloured text.
            EXPECT_TRUE(Has(m, Sys(COLOR_BTNSHADOW), 24, row[4], right, row[5]));
            EXPECT_TRUE(Has(m, Sys(COLOR_3DHILIGHT), 24, row[4], right, row[5]));
            EXPECT_FALSE(Has(m, Sys(COLOR_MENUTEXT), 24, row[4], right, row[5]));
            // The pointer on More selects it and opens its submenu.
            RECT r;
            GetWindowRect(menus[0], &r);
            WinTestMouseMove(nullptr, r.left + 60, r.top + row[5] + 10);
            Marker();
        },
        [&] {
            std::vector<HWND> menus = MenuWindows();
            ASSERT_EQ(menus.size(), 2u);
            Picture m(menus[0]);
            Save(menus[0], "ownermenu_classic_selected.png");
            const int right = m.w - 3;
            // The text part is highlighted, the image cell is not; the arrow turns light.
            EXPECT_EQ(m.At(right - 20, row[5] + 2), Sys(COLOR_HIGHLIGHT));
            EXPECT_EQ(m.At(4, row[5] + 2), Sys(COLOR_MENU));
            EXPECT_EQ(m.At(right - 12 + 3, (row[5] + row[6]) / 2), Sys(COLOR_HIGHLIGHTTEXT));
            EXPECT_TRUE(Has(m, Sys(COLOR_HIGHLIGHTTEXT), 24, row[5], right - 12, row[6]));
            // The submenu is drawn by its own menu object: Zoom has the tool bar's blue image.
            Picture sub(menus[1]);
            Save(menus[1], "ownermenu_classic_submenu.png");
            EXPECT_EQ(sub.At(4 + 8, 3 + 2 + 7), kImageBlue);
            EXPECT_EQ(sub.h, 3 + 20 + 20 + 3);
            RECT s;
            GetWindowRect(menus[1], &s);
            WinTestClick(nullptr, WINTEST_LEFT, s.left + 50, s.top + 3 + 10);  // Zoom
        },
    });
    EXPECT_EQ(host.commands, std::vector<UINT>{ID_ZOOM});
}

TEST_F(OwnerMenuButton, MnemonicsChooseAndEscapeCancels) {
    ASSERT_EQ(button.SetMenu(kMenuId, host.m_hWnd, TRUE), DWORD(CImageButton::RESULT_OK));
    button.SetMenuCallback(host.m_hWnd, WM_APP + 7, 1234);
    Drop({
        [&] { WinTestText("x"); },  // E&xit, found by the menu's own mnemonic search
    });
    EXPECT_EQ(host.commands, std::vector<UINT>{ID_EXIT});
    ASSERT_EQ(host.callbacks.size(), 1u);
    HMENU drop = reinterpret_cast<HMENU>(host.callbacks[0].first);
    EXPECT_TRUE(IsMenu(drop));
    EXPECT_EQ(GetMenuItemCount(drop), 7);
    EXPECT_EQ(host.callbacks[0].second, 1234);

    host.commands.clear();
    Drop({[&] { WinTestKeyPress(VK_ESCAPE); }});
    EXPECT_TRUE(host.commands.empty());  // nothing chosen, no command 0 either
    EXPECT_EQ(host.callbacks.size(), 2u);

    // Escape after moving onto an item still chooses nothing.
    Drop({[&] {
        WinTestKeyPress(VK_DOWN);
        WinTestKeyPress(VK_ESCAPE);
    }});
    EXPECT_TRUE(host.commands.empty());
}
