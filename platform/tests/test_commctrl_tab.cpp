// The tab control: items and the selection they keep, the parent's say over a change by mouse
// or key, the layout on each side with the page rectangle it leaves, hit tests, and the plain
// look of a selected, an unselected and a highlighted tab.
#include <gtest/gtest.h>

#include "commctrl_test_support.h"

using namespace cctest;

namespace {

struct TabFixture : ::testing::Test {
    HWND parent = nullptr;
    void SetUp() override {
        Reset();
        parent = MakeParent();
    }
    void TearDown() override {
        Reset();
        DestroyWindow(parent);
        Pump();
    }
    HWND Make(DWORD style = 0, int cx = 300, int cy = 200) {
        return CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | style, 10, 10, cx, cy, parent,
                               reinterpret_cast<HMENU>(5), nullptr, nullptr);
    }
    static int Insert(HWND tab, int at, const char* text, int image = -1) {
        TCITEMA it{};
        it.mask = TCIF_TEXT | TCIF_PARAM | (image >= 0 ? TCIF_IMAGE : 0);
        it.pszText = const_cast<char*>(text);
        it.iImage = image;
        it.lParam = 100 + at;
        return int(SendMessageA(tab, TCM_INSERTITEMA, at, reinterpret_cast<LPARAM>(&it)));
    }
    HWND Three(DWORD style = 0) {
        HWND t = Make(style);
        Insert(t, 0, "First");
        Insert(t, 1, "Second");
        Insert(t, 2, "Third");
        Pump();
        return t;
    }
    static RECT ItemRect(HWND t, int k) {
        RECT r{};
        SendMessageA(t, TCM_GETITEMRECT, k, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    static int Cur(HWND t) { return int(SendMessageA(t, TCM_GETCURSEL, 0, 0)); }
};

TEST_F(TabFixture, TheFirstTabStartsSelectedAndTheSelectionFollowsInsertsAndDeletes) {
    HWND t = Make();
    EXPECT_EQ(Cur(t), -1);
    EXPECT_EQ(Insert(t, 0, "A"), 0);
    EXPECT_EQ(Cur(t), 0);
    EXPECT_EQ(Insert(t, 5, "B"), 1);  // past the end goes last
    EXPECT_EQ(SendMessageA(t, TCM_SETCURSEL, 1, 0), 0);
    EXPECT_EQ(Insert(t, 0, "C"), 0);  // before the selection: it moves along
    EXPECT_EQ(Cur(t), 2);
    EXPECT_EQ(SendMessageA(t, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_TRUE(SendMessageA(t, TCM_DELETEITEM, 0, 0));
    EXPECT_EQ(Cur(t), 1);
    EXPECT_TRUE(SendMessageA(t, TCM_DELETEITEM, 1, 0));  // the selected one: nothing is selected
    EXPECT_EQ(Cur(t), -1);
    EXPECT_FALSE(SendMessageA(t, TCM_DELETEITEM, 7, 0));
    EXPECT_EQ(SendMessageA(t, TCM_SETCURSEL, 9, 0), -1);
    EXPECT_TRUE(SendMessageA(t, TCM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(SendMessageA(t, TCM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_TRUE(Codes().empty());  // changes by message tell the parent nothing
}

TEST_F(TabFixture, ItemsAnswerTheirTextParamAndMaskedState) {
    HWND t = Three();
    char buf[4];
    TCITEMA it{};
    it.mask = TCIF_TEXT | TCIF_PARAM | TCIF_STATE;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    it.dwStateMask = TCIS_HIGHLIGHTED;
    ASSERT_TRUE(SendMessageA(t, TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&it)));
    EXPECT_STREQ(buf, "Sec");  // cut to the buffer and terminated
    EXPECT_EQ(it.lParam, 101);
    EXPECT_EQ(it.dwState, 0u);
    EXPECT_TRUE(SendMessageA(t, TCM_HIGHLIGHTITEM, 1, MAKELPARAM(TRUE, 0)));
    TCITEMA set{};
    set.mask = TCIF_STATE;
    set.dwState = TCIS_BUTTONPRESSED;
    set.dwStateMask = TCIS_BUTTONPRESSED;
    ASSERT_TRUE(SendMessageA(t, TCM_SETITEMA, 1, reinterpret_cast<LPARAM>(&set)));
    it.dwStateMask = TCIS_HIGHLIGHTED | TCIS_BUTTONPRESSED;
    SendMessageA(t, TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&it));
    EXPECT_EQ(it.dwState, DWORD(TCIS_HIGHLIGHTED | TCIS_BUTTONPRESSED));
    it.dwStateMask = TCIS_BUTTONPRESSED;
    SendMessageA(t, TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&it));
    EXPECT_EQ(it.dwState, DWORD(TCIS_BUTTONPRESSED));
    EXPECT_FALSE(SendMessageA(t, TCM_GETITEMA, 3, reinterpret_cast<LPARAM>(&it)));
}

TEST_F(TabFixture, AClickOnATabAsksTheParentThenSelectsAndARefusalKeepsTheSelection) {
    HWND t = Three();
    RECT r = ItemRect(t, 2);
    WinTestClick(t, WINTEST_LEFT, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Pump();
    EXPECT_EQ(Cur(t), 2);
    EXPECT_EQ(Codes(), (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE, NM_CLICK}));
    EXPECT_EQ(GetFocus(), t);

    Reset();
    OnNotify() = [](NMHDR* nm, bool* handled) -> LRESULT {
        *handled = nm->code == TCN_SELCHANGING;
        return TRUE;
    };
    r = ItemRect(t, 0);
    WinTestClick(t, WINTEST_LEFT, r.left + 3, r.top + 3);
    Pump();
    EXPECT_EQ(Cur(t), 2);
    EXPECT_EQ(Codes(), (std::vector<UINT>{TCN_SELCHANGING, NM_CLICK}));

    Reset();
    WinTestClick(t, WINTEST_LEFT, 200, 150);  // on the page: no tab
    Pump();
    EXPECT_EQ(Codes(), (std::vector<UINT>{NM_CLICK}));
}

TEST_F(TabFixture, ArrowKeysMoveTheSelectionAfterTellingTheParentOfTheKey) {
    HWND t = Three();
    SetFocus(t);
    Pump();
    Reset();
    WinTestKeyPress(VK_RIGHT);
    Pump();
    EXPECT_EQ(Cur(t), 1);
    EXPECT_EQ(Codes(), (std::vector<UINT>{TCN_KEYDOWN, TCN_SELCHANGING, TCN_SELCHANGE}));
    WinTestKeyPress(VK_END);
    WinTestKeyPress(VK_RIGHT);  // already last: nothing changes
    Pump();
    EXPECT_EQ(Cur(t), 2);
    Reset();
    WinTestKeyPress(VK_HOME);
    Pump();
    EXPECT_EQ(Cur(t), 0);
    EXPECT_EQ(SendMessageA(t, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
}

TEST_F(TabFixture, TabsLieSideBySideAndTheAdjustedRectangleComesBackAgain) {
    HWND t = Three();
    RECT a = ItemRect(t, 0), b = ItemRect(t, 1), c = ItemRect(t, 2);
    EXPECT_EQ(a.right, b.left);
    EXPECT_EQ(b.right, c.left);
    EXPECT_EQ(a.top, b.top);
    EXPECT_EQ(a.bottom, c.bottom);
    EXPECT_GT(b.right - b.left, a.right - a.left);  // "Second" is wider than "First"
    EXPECT_LT(a.bottom, 40);

    RECT display{0, 0, 300, 200};
    SendMessageA(t, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    EXPECT_GT(display.top, a.bottom);  // below the tabs
    EXPECT_GT(display.left, 0);
    EXPECT_LT(display.right, 300);
    RECT back = display;
    SendMessageA(t, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&back));
    EXPECT_EQ(back.left, 0);
    EXPECT_EQ(back.top, 0);
    EXPECT_EQ(back.right, 300);
    EXPECT_EQ(back.bottom, 200);

    SendMessageA(t, TCM_SETITEMSIZE, 0, MAKELPARAM(50, 30));
    SetWindowLongA(t, GWL_STYLE, GetWindowLongA(t, GWL_STYLE) | TCS_FIXEDWIDTH);
    RECT f = ItemRect(t, 1);
    EXPECT_EQ(f.right - f.left, 50);
    EXPECT_EQ(f.bottom - f.top, 30);
}

TEST_F(TabFixture, BottomAndSideTabsLieOnTheirSideOfThePage) {
    HWND bottom = Three(TCS_BOTTOM);
    RECT r = ItemRect(bottom, 0);
    EXPECT_EQ(r.bottom, 200 - 2);
    RECT page{0, 0, 300, 200};
    SendMessageA(bottom, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    EXPECT_LT(page.bottom, r.top);

    HWND left = Three(TCS_VERTICAL);
    EXPECT_TRUE(GetWindowLongA(left, GWL_STYLE) & TCS_MULTILINE);  // side tabs always are
    RECT l0 = ItemRect(left, 0), l1 = ItemRect(left, 1);
    EXPECT_EQ(l0.left, 2);
    EXPECT_EQ(l0.bottom, l1.top);  // stacked downwards
    EXPECT_EQ(l0.left, l1.left);

    HWND right = Three(TCS_VERTICAL | TCS_RIGHT);
    RECT r0 = ItemRect(right, 0);
    EXPECT_EQ(r0.right, 300 - 2);
    RECT rp{0, 0, 300, 200};
    SendMessageA(right, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rp));
    EXPECT_LT(rp.right, r0.left);
}

TEST_F(TabFixture, HitTestsTellTheTabAndWhetherTheIconOrTheLabelIsUnderThePoint) {
    HWND t = Make();
    HIMAGELIST il = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
    HBITMAP bm = CreateBitmap(16, 16, 1, 32, nullptr);
    ImageList_Add(il, bm, nullptr);
    SendMessageA(t, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(il));
    Insert(t, 0, "Plain");
    Insert(t, 1, "Iconic", 0);
    RECT r = ItemRect(t, 1);
    TCHITTESTINFO ht{};
    ht.pt = POINT{r.left + 6 + 4, (r.top + r.bottom) / 2};
    EXPECT_EQ(SendMessageA(t, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht)), 1);
    EXPECT_EQ(ht.flags, UINT(TCHT_ONITEMICON));
    ht.pt = POINT{r.right - 8, (r.top + r.bottom) / 2};
    EXPECT_EQ(SendMessageA(t, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht)), 1);
    EXPECT_EQ(ht.flags, UINT(TCHT_ONITEMLABEL));
    ht.pt = POINT{150, 150};
    EXPECT_EQ(SendMessageA(t, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht)), -1);
    EXPECT_EQ(ht.flags, UINT(TCHT_NOWHERE));
    EXPECT_EQ(SendMessageA(t, TCM_GETIMAGELIST, 0, 0), reinterpret_cast<LRESULT>(il));
    DestroyWindow(t);
    ImageList_Destroy(il);
    DeleteObject(bm);
}

TEST_F(TabFixture, TheSelectedTopTabStandsOutAndOpensIntoThePage) {
    HWND t = Three();
    SendMessageA(t, TCM_SETCURSEL, 1, 0);
    Pump();
    Capture pic(t);
    const COLORREF face = GetSysColor(COLOR_BTNFACE), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    RECT sel = ItemRect(t, 1), other = ItemRect(t, 0);
    int ms = (sel.left + sel.right) / 2, mo = (other.left + other.right) / 2;
    EXPECT_EQ(pic.At(ms, sel.top - 1), light);   // the lifted tab's top edge
    EXPECT_EQ(pic.At(mo, other.top - 1), face);  // above a plain tab: background
    EXPECT_EQ(pic.At(mo, other.top + 1), light); // a plain tab's own top edge
    EXPECT_EQ(pic.At(mo, other.bottom + 1), light);  // the page's edge under a plain tab
    EXPECT_EQ(pic.At(ms, sel.bottom + 1), face);     // open under the selected one
    EXPECT_EQ(pic.At(150, 150), face);               // the page
}

TEST_F(TabFixture, BottomTabsOpenUpwardsIntoThePageAboveThem) {
    HWND t = Three(TCS_BOTTOM);
    Pump();
    Capture pic(t);
    RECT sel = ItemRect(t, 0), other = ItemRect(t, 2);
    EXPECT_EQ(pic.At((other.left + other.right) / 2, other.top - 1), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(pic.At((sel.left + sel.right) / 2, sel.top - 1), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pic.At((sel.left + sel.right) / 2, sel.bottom + 1), GetSysColor(COLOR_3DDKSHADOW));
}

TEST_F(TabFixture, AHighlightedTabIsFilledWithTheHighlightColour) {
    HWND t = Three();
    RECT r = ItemRect(t, 2);
    Capture before(t);
    EXPECT_EQ(before.At(r.left + 4, r.top + 4), GetSysColor(COLOR_BTNFACE));
    SendMessageA(t, TCM_HIGHLIGHTITEM, 2, MAKELPARAM(TRUE, 0));
    Pump();
    Capture after(t);
    EXPECT_EQ(after.At(r.left + 4, r.top + 4), GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(TabFixture, ButtonModeDrawsTheSelectedButtonSunkenAndCtrlClicksPressMore) {
    HWND t = Three(TCS_BUTTONS | TCS_MULTISELECT);
    RECT a = ItemRect(t, 0), b = ItemRect(t, 1);
    EXPECT_EQ(b.left - a.right, 3);  // buttons keep a gap
    Capture pic(t);
    EXPECT_EQ(pic.At(a.left, a.top), GetSysColor(COLOR_BTNSHADOW));  // sunken: dark at the top left
    EXPECT_EQ(pic.At(b.left + 1, b.top + 1), GetSysColor(COLOR_BTNHIGHLIGHT));

    WinTestKey(VK_CONTROL, TRUE);
    WinTestClick(t, WINTEST_LEFT, b.left + 4, b.top + 4);
    WinTestKey(VK_CONTROL, FALSE);
    Pump();
    EXPECT_EQ(Cur(t), 0);
    TCITEMA it{};
    it.mask = TCIF_STATE;
    it.dwStateMask = TCIS_BUTTONPRESSED;
    SendMessageA(t, TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&it));
    EXPECT_EQ(it.dwState, DWORD(TCIS_BUTTONPRESSED));
    SendMessageA(t, TCM_DESELECTALL, FALSE, 0);
    SendMessageA(t, TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&it));
    EXPECT_EQ(it.dwState, 0u);
}

TEST_F(TabFixture, PrintClientDrawsTheSameTabsIntoTheCallersDC) {
    HWND t = Three();
    SendMessageA(t, TCM_HIGHLIGHTITEM, 0, MAKELPARAM(TRUE, 0));
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bm = CreateCompatibleBitmap(screen, 300, 200);
    HGDIOBJ old = SelectObject(mem, bm);
    SendMessageA(t, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
    RECT r = ItemRect(t, 0);
    EXPECT_EQ(GetPixel(mem, r.left + 4, r.top + 4), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(GetPixel(mem, 150, 150), GetSysColor(COLOR_BTNFACE));
    SelectObject(mem, old);
    DeleteObject(bm);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

}  // namespace
