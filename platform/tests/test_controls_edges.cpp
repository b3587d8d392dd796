// Controls at the edges of their hit areas: a list box item from its first to its last pixel
// row, a header divider's grip from its first to its last pixel, and a scroll bar with one
// arrow disabled, whose other arrow still scrolls.
#include <gtest/gtest.h>

#include <vector>

#include "commctrl.h"
#include "windows.h"
#include "winplat_test.h"

namespace {

std::vector<WORD> g_codes;
std::vector<int> g_tracked;  // items whose divider a press started to drag

LRESULT CALLBACK ParentProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_VSCROLL) g_codes.push_back(LOWORD(w));
    if (m == WM_NOTIFY) {
        auto* nm = reinterpret_cast<NMHEADERA*>(l);
        if (nm->hdr.code == HDN_BEGINTRACKA) g_tracked.push_back(nm->iItem);
    }
    return DefWindowProcA(h, m, w, l);
}

class Edges : public testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ParentProc;
        wc.lpszClassName = "EdgesParent";
        RegisterClassA(&wc);
        top = CreateWindowExA(0, "EdgesParent", "edges", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 400, 300, nullptr,
                              nullptr, nullptr, nullptr);
        WinTestPumpUntilIdle();
        g_codes.clear();
        g_tracked.clear();
    }
    void TearDown() override {
        DestroyWindow(top);
        WinTestPumpUntilIdle();
    }
    HWND top = nullptr;
};

TEST_F(Edges, AListBoxItemIsHitFromItsFirstToItsLastPixelRow) {
    HWND list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_NOTIFY, 10, 10, 150, 200, top, nullptr,
                                nullptr, nullptr);
    for (const char* t : {"zero", "one", "two", "three"}) SendMessageA(list, LB_ADDSTRING, 0, LPARAM(t));
    RECT r{};
    ASSERT_NE(SendMessageA(list, LB_GETITEMRECT, 2, LPARAM(&r)), LB_ERR);
    auto at = [&](int x, int y) { return LOWORD(SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y))); };
    EXPECT_EQ(at(r.left, r.top), 2);
    EXPECT_EQ(at(r.right - 1, r.bottom - 1), 2);
    EXPECT_EQ(at(r.left, r.top - 1), 1);
    EXPECT_EQ(at(r.left, r.bottom), 3);
    // A click on either edge row chooses it.
    for (int y : {int(r.top), int(r.bottom - 1)}) {
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        WinTestClick(list, WINTEST_LEFT, 5, y);
        WinTestPumpUntilIdle();
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2) << "row " << y;
    }
}

TEST_F(Edges, AHeaderDividersGripRunsFourPixelsEachSideOfIt) {
    HWND header = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD | WS_VISIBLE | HDS_BUTTONS, 10, 10, 300, 24, top,
                                  nullptr, nullptr, nullptr);
    for (int i = 0; i < 2; ++i) {
        HDITEMA it{};
        it.mask = HDI_WIDTH | HDI_TEXT;
        it.cxy = i == 0 ? 100 : 80;
        it.pszText = const_cast<char*>(i == 0 ? "Name" : "Size");
        SendMessageA(header, HDM_INSERTITEMA, i, LPARAM(&it));
    }
    auto at = [&](int x, UINT* flags) {
        HDHITTESTINFO ht{};
        ht.pt = POINT{x, 12};
        const int item = int(SendMessageA(header, HDM_HITTEST, 0, LPARAM(&ht)));
        *flags = ht.flags;
        return item;
    };
    UINT f = 0;
    EXPECT_EQ(at(0, &f), 0);
    EXPECT_EQ(f, UINT(HHT_ONHEADER)) << "the first pixel";
    EXPECT_EQ(at(95, &f), 0);
    EXPECT_EQ(f, UINT(HHT_ONHEADER)) << "just before the grip";
    EXPECT_EQ(at(96, &f), 0);
    EXPECT_EQ(f, UINT(HHT_ONDIVIDER)) << "the grip's first pixel";
    EXPECT_EQ(at(103, &f), 0);
    EXPECT_EQ(f, UINT(HHT_ONDIVIDER)) << "the grip's last pixel";
    EXPECT_EQ(at(104, &f), 1);
    EXPECT_EQ(f, UINT(HHT_ONHEADER)) << "just past the grip";
    // The last item's own divider, at the end of the items.
    EXPECT_EQ(at(183, &f), 1);
    EXPECT_EQ(f, UINT(HHT_ONDIVIDER));
    // A press on the grip's first and last pixels starts a drag of the first item's width.
    for (int x : {96, 103}) {
        WinTestMouseButton(header, WINTEST_LEFT, TRUE, x, 12);
        WinTestMouseButton(header, WINTEST_LEFT, FALSE, x, 12);
        WinTestPumpUntilIdle();
        WinTestAdvanceClock(2000);  // no double click
    }
    EXPECT_EQ(g_tracked, (std::vector<int>{0, 0}));
}

TEST_F(Edges, AScrollBarWithItsUpArrowDisabledStillScrollsDownAndItsUpArrowSendsNothing) {
    HWND bar = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_VERT, 200, 10, 17, 200, top, nullptr,
                               nullptr, nullptr);
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 50, 0};
    SetScrollInfo(bar, SB_CTL, &si, TRUE);
    EnableScrollBar(bar, SB_CTL, ESB_DISABLE_UP);
    WinTestPumpUntilIdle();
    const int arrow = GetSystemMetrics(SM_CYVSCROLL);
    // The up arrow's first and last pixel rows: nothing.
    WinTestClick(bar, WINTEST_LEFT, 8, 0);
    WinTestClick(bar, WINTEST_LEFT, 8, arrow - 1);
    WinTestPumpUntilIdle();
    for (WORD c : g_codes) EXPECT_NE(c, SB_LINEUP);
    // The down arrow's, from its first to its last pixel row: a line down each.
    g_codes.clear();
    WinTestClick(bar, WINTEST_LEFT, 8, 200 - arrow);
    WinTestClick(bar, WINTEST_LEFT, 8, 199);
    WinTestPumpUntilIdle();
    int downs = 0;
    for (WORD c : g_codes) downs += c == SB_LINEDOWN;
    EXPECT_EQ(downs, 2);
    // Enabled again, the up arrow works.
    EnableScrollBar(bar, SB_CTL, ESB_ENABLE_BOTH);
    g_codes.clear();
    WinTestClick(bar, WINTEST_LEFT, 8, 0);
    WinTestPumpUntilIdle();
    int ups = 0;
    for (WORD c : g_codes) ups += c == SB_LINEUP;
    EXPECT_EQ(ups, 1);
}

}  // namespace
