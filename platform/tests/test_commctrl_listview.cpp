// The list view in report mode: hit tests at cell edges, check boxes by mouse and keyboard, the
// custom-draw protocol, selection and focus with their notifications, column clicks through the
// header, scrolling a long list, and pointer-sized item data.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "commctrl_test_support.h"
#include "windlg.h"

using namespace cctest;

namespace {

constexpr int kListX = 10, kListY = 10, kListW = 300, kListH = 200;

struct ListFixture : ::testing::Test {
    HWND parent = nullptr, list = nullptr;
    void SetUp() override {
        Reset();
        parent = MakeParent();
        list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, kListX, kListY,
                               kListW, kListH, parent, reinterpret_cast<HMENU>(100), nullptr, nullptr);
        ASSERT_NE(list, nullptr);
        const char* names[] = {"Name", "Size", "Status"};
        const int widths[] = {100, 80, 60};
        for (int c = 0; c < 3; ++c) {
            LVCOLUMNA col{};
            col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            col.fmt = c == 1 ? LVCFMT_RIGHT : LVCFMT_LEFT;
            col.cx = widths[c];
            col.pszText = const_cast<char*>(names[c]);
            ASSERT_EQ(SendMessageA(list, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&col)), c);
        }
        Pump();
    }
    void TearDown() override {
        Reset();
        DestroyWindow(parent);
        Pump();
    }
    int Add(const std::string& text, LPARAM data = 0) {
        LVITEMA it{};
        it.mask = LVIF_TEXT | LVIF_PARAM;
        it.iItem = int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        it.pszText = const_cast<char*>(text.c_str());
        it.lParam = data;
        return int(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it)));
    }
    void SetSub(int i, int sub, const char* text) {
        LVITEMA it{};
        it.iSubItem = sub;
        it.pszText = const_cast<char*>(text);
        SendMessageA(list, LVM_SETITEMTEXTA, i, reinterpret_cast<LPARAM>(&it));
    }
    RECT ItemRect(int i, int code = LVIR_BOUNDS) {
        RECT r{code, 0, 0, 0};
        SendMessageA(list, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    RECT SubRect(int i, int sub, int code = LVIR_BOUNDS) {
        RECT r{code, sub, 0, 0};
        EXPECT_TRUE(SendMessageA(list, LVM_GETSUBITEMRECT, i, reinterpret_cast<LPARAM>(&r)));
        return r;
    }
    UINT State(int i, UINT mask = 0xFFFF) { return UINT(SendMessageA(list, LVM_GETITEMSTATE, i, mask)); }
    LVHITTESTINFO SubHit(int x, int y) {
        LVHITTESTINFO ht{};
        ht.pt = POINT{x, y};
        SendMessageA(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&ht));
        return ht;
    }
    int HeaderHeight() {
        RECT r;
        GetWindowRect(reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0)), &r);
        return r.bottom - r.top;
    }
    void SetEx(DWORD ex) { SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex); }
};

// ---- geometry and hit tests ------------------------------------------------------------------

TEST_F(ListFixture, SubItemHitTestSplitsCellsAtTheirEdges) {
    Add("a");
    Add("b");
    Add("c");
    RECT r0 = ItemRect(0), r1 = ItemRect(1);
    ASSERT_GT(HeaderHeight(), 0);
    EXPECT_EQ(r0.top, HeaderHeight());
    EXPECT_EQ(r1.top, r0.bottom);
    int y = r1.top;  // first pixel row of item 1
    LVHITTESTINFO ht = SubHit(99, y);
    EXPECT_EQ(ht.iItem, 1);
    EXPECT_EQ(ht.iSubItem, 0);
    ht = SubHit(100, y);
    EXPECT_EQ(ht.iSubItem, 1);
    EXPECT_EQ(ht.flags, UINT(LVHT_ONITEMLABEL));
    ht = SubHit(239, r1.bottom - 1);
    EXPECT_EQ(ht.iItem, 1);
    EXPECT_EQ(ht.iSubItem, 2);
    ht = SubHit(240, y);  // right of the last column
    EXPECT_EQ(ht.iItem, -1);
    ht = SubHit(50, r0.bottom - 1);
    EXPECT_EQ(ht.iItem, 0);
    ht = SubHit(50, ItemRect(2).bottom);  // below the last row
    EXPECT_EQ(ht.iItem, -1);
    EXPECT_EQ(ht.flags, UINT(LVHT_NOWHERE));
    ht = SubHit(50, HeaderHeight() - 1);  // on the header
    EXPECT_EQ(ht.iItem, -1);
}

TEST_F(ListFixture, BoundsOfSubItemZeroAreTheWholeRowWhileOtherSubItemsAreTheirColumn) {
    Add("a");
    RECT whole = ItemRect(0);
    RECT s0 = SubRect(0, 0);
    EXPECT_EQ(s0.left, whole.left);
    EXPECT_EQ(s0.right, whole.right);
    EXPECT_EQ(s0.right - s0.left, 240);  // every column, not just the first
    RECT s1 = SubRect(0, 1);
    EXPECT_EQ(s1.left, 100);
    EXPECT_EQ(s1.right, 180);
    RECT label = SubRect(0, 0, LVIR_LABEL);
    EXPECT_EQ(label.right, 100);
    RECT bad{LVIR_BOUNDS, 3, 0, 0};
    EXPECT_FALSE(SendMessageA(list, LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&bad)));
}

TEST_F(ListFixture, ItemHitTestPastTheFirstColumnNeedsFullRowSelect) {
    Add("a");
    RECT r = ItemRect(0);
    LVHITTESTINFO ht{};
    ht.pt = POINT{150, r.top + 2};
    EXPECT_EQ(SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht)), -1);
    SetEx(LVS_EX_FULLROWSELECT);
    EXPECT_EQ(SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht)), 0);
    EXPECT_TRUE(ht.flags & LVHT_ONITEM);
}

// ---- check boxes -----------------------------------------------------------------------------

TEST_F(ListFixture, CheckBoxesToggleByClickOnTheBoxAndBySpaceWithOldAndNewState) {
    SetEx(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    Add("a");
    Add("b");
    EXPECT_EQ(State(0, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(1u));
    RECT r = ItemRect(1);
    LVHITTESTINFO ht = SubHit(r.left + 8, r.top + 4);
    ASSERT_EQ(ht.flags, UINT(LVHT_ONITEMSTATEICON));
    Notes().clear();
    WinTestClick(list, WINTEST_LEFT, r.left + 8, r.top + 4);
    Pump();
    EXPECT_EQ(State(1, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(2u));
    size_t k = IndexOf(LVN_ITEMCHANGED);
    ASSERT_NE(k, size_t(-1));
    EXPECT_EQ(Notes()[k].item, 1);
    EXPECT_EQ(Notes()[k].old_state & LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1u));
    EXPECT_EQ(Notes()[k].new_state & LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(2u));
    EXPECT_LT(IndexOf(LVN_ITEMCHANGING), k);

    // The label selects and focuses without touching the box; space then toggles it back.
    WinTestClick(list, WINTEST_LEFT, 60, r.top + 4);
    Pump();
    EXPECT_EQ(State(1, LVIS_FOCUSED | LVIS_SELECTED), UINT(LVIS_FOCUSED | LVIS_SELECTED));
    EXPECT_EQ(State(1, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(2u));
    Notes().clear();
    WinTestKeyPress(VK_SPACE);
    Pump();
    EXPECT_EQ(State(1, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(1u));
    EXPECT_EQ(State(0, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(1u));
    k = IndexOf(LVN_ITEMCHANGED);
    ASSERT_NE(k, size_t(-1));
    EXPECT_EQ(Notes()[k].old_state & LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(2u));
}

TEST_F(ListFixture, ParentCanRefuseAStateChange) {
    SetEx(LVS_EX_CHECKBOXES);
    Add("a");
    OnNotify() = [](NMHDR* nm, bool* handled) -> LRESULT {
        *handled = nm->code == LVN_ITEMCHANGING;
        return TRUE;
    };
    RECT r = ItemRect(0);
    WinTestClick(list, WINTEST_LEFT, r.left + 8, r.top + 4);
    Pump();
    EXPECT_EQ(State(0, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(1u));
    EXPECT_EQ(IndexOf(LVN_ITEMCHANGED), size_t(-1));
}

// ---- custom draw -----------------------------------------------------------------------------

TEST_F(ListFixture, CustomDrawRunsItsStagesInOrderAndHonoursAnswersPerSubItem) {
    Add("row");
    SetSub(0, 1, "one");
    SetSub(0, 2, "two");
    const COLORREF green = RGB(0, 200, 0), red = RGB(220, 0, 0);
    OnNotify() = [&](NMHDR* nm, bool* handled) -> LRESULT {
        if (nm->code != NM_CUSTOMDRAW || nm->hwndFrom != list) return 0;
        *handled = true;
        auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(nm);
        switch (cd->nmcd.dwDrawStage) {
            case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
            case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW | CDRF_NOTIFYPOSTPAINT;
            case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
                if (cd->iSubItem == 1) {  // the parent paints this cell itself
                    HBRUSH b = CreateSolidBrush(green);
                    FillRect(cd->nmcd.hdc, &cd->nmcd.rc, b);
                    DeleteObject(b);
                    return CDRF_SKIPDEFAULT;
                }
                if (cd->iSubItem == 2) cd->clrTextBk = red;
                return CDRF_DODEFAULT;
        }
        return CDRF_DODEFAULT;
    };
    Notes().clear();
    InvalidateRect(list, nullptr, TRUE);
    Pump();
    std::vector<std::pair<DWORD, int>> seen;
    for (auto& n : Notes())
        if (n.code == NM_CUSTOMDRAW && n.from == list) seen.push_back({n.stage, n.sub});
    std::vector<std::pair<DWORD, int>> want = {{CDDS_PREPAINT, -1},
                                               {CDDS_ITEMPREPAINT, -1},
                                               {CDDS_ITEMPREPAINT | CDDS_SUBITEM, 0},
                                               {CDDS_ITEMPREPAINT | CDDS_SUBITEM, 1},
                                               {CDDS_ITEMPREPAINT | CDDS_SUBITEM, 2},
                                               {CDDS_ITEMPOSTPAINT, -1},
                                               {CDDS_POSTPAINT, -1}};
    EXPECT_EQ(seen, want);
    Capture cap(list);
    RECT r = ItemRect(0);
    int y = (r.top + r.bottom) / 2;
    EXPECT_EQ(cap.At(170, y), green);   // skipped cell kept the parent's paint
    EXPECT_EQ(cap.At(236, y), red);     // background colour from the answer
    EXPECT_EQ(cap.At(95, y), GetSysColor(COLOR_WINDOW));

    // SKIPDEFAULT for the whole item: no sub-item stages at all.
    OnNotify() = [&](NMHDR* nm, bool* handled) -> LRESULT {
        if (nm->code != NM_CUSTOMDRAW || nm->hwndFrom != list) return 0;
        *handled = true;
        auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(nm);
        if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
        if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) return CDRF_SKIPDEFAULT | CDRF_NOTIFYSUBITEMDRAW;
        return 0;
    };
    Notes().clear();
    InvalidateRect(list, nullptr, TRUE);
    Pump();
    for (auto& n : Notes()) EXPECT_FALSE(n.code == NM_CUSTOMDRAW && (n.stage & CDDS_SUBITEM));
}

TEST_F(ListFixture, AFontChosenForOneSubItemDoesNotSpillIntoTheNext) {
    Add("row");
    SetSub(0, 1, "one");
    SetSub(0, 2, "two");
    HFONT big = CreateFontA(30, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Sans");
    HGDIOBJ seen_in_two = nullptr;
    OnNotify() = [&](NMHDR* nm, bool* handled) -> LRESULT {
        if (nm->code != NM_CUSTOMDRAW || nm->hwndFrom != list) return 0;
        *handled = true;
        auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(nm);
        if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
        if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) return CDRF_NOTIFYSUBITEMDRAW;
        if (cd->iSubItem == 1) {
            SelectObject(cd->nmcd.hdc, big);
            return CDRF_NEWFONT;
        }
        if (cd->iSubItem == 2) seen_in_two = GetCurrentObject(cd->nmcd.hdc, OBJ_FONT);
        return CDRF_DODEFAULT;
    };
    InvalidateRect(list, nullptr, TRUE);
    Pump();
    EXPECT_NE(seen_in_two, nullptr);
    EXPECT_NE(seen_in_two, static_cast<HGDIOBJ>(big));
    OnNotify() = nullptr;
    DeleteObject(big);
}

// ---- selection and focus ---------------------------------------------------------------------

TEST_F(ListFixture, ClickSelectsAndFocusesBeforeNmClickAndFocusIsAnnounced) {
    for (int i = 0; i < 5; ++i) Add("item " + std::to_string(i));
    RECT r = ItemRect(2);
    WinTestClick(list, WINTEST_LEFT, 30, r.top + 3);
    Pump();
    EXPECT_EQ(GetFocus(), list);
    EXPECT_EQ(State(2, LVIS_SELECTED | LVIS_FOCUSED), UINT(LVIS_SELECTED | LVIS_FOCUSED));
    size_t focus = IndexOf(NM_SETFOCUS), changed = IndexOf(LVN_ITEMCHANGED), click = IndexOf(NM_CLICK);
    ASSERT_NE(focus, size_t(-1));
    ASSERT_NE(changed, size_t(-1));
    ASSERT_NE(click, size_t(-1));
    EXPECT_LT(focus, changed);
    EXPECT_LT(changed, click);
    EXPECT_EQ(Notes()[click].item, 2);
    EXPECT_EQ(Notes()[click].sub, 0);

    // Ctrl-click adds, Shift-click selects a range from the anchor.
    WinTestKey(VK_CONTROL, TRUE);
    WinTestClick(list, WINTEST_LEFT, 30, ItemRect(0).top + 3);
    WinTestKey(VK_CONTROL, FALSE);
    Pump();
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 2);
    WinTestKey(VK_SHIFT, TRUE);
    WinTestClick(list, WINTEST_LEFT, 30, ItemRect(3).top + 3);
    WinTestKey(VK_SHIFT, FALSE);
    Pump();
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED), 3);
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, 3, LVNI_SELECTED), -1);
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, 0, LVNI_SELECTED), 1);

    // A click on empty space clears the selection; focus stays where it was.
    WinTestClick(list, WINTEST_LEFT, 30, ItemRect(4).bottom + 5);
    Pump();
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);

    Notes().clear();
    HWND other = CreateWindowExA(0, "Button", "x", WS_CHILD | WS_VISIBLE, 350, 10, 50, 20, parent, nullptr, nullptr, nullptr);
    SetFocus(other);
    Pump();
    EXPECT_NE(IndexOf(NM_KILLFOCUS), size_t(-1));
}

// The right button picks what a context menu acts on: the item under it, selected before the
// parent hears NM_RCLICK on release, or none where no item is (below the last row, past the last
// column), as the left button does.
TEST_F(ListFixture, ARightClickSelectsTheItemUnderItOrNoneBeforeNmRclick) {
    SetWindowLongA(list, GWL_STYLE, GetWindowLongA(list, GWL_STYLE) | LVS_SINGLESEL);
    SetEx(LVS_EX_FULLROWSELECT);
    for (int i = 0; i < 5; ++i) Add("item " + std::to_string(i));
    WinTestClick(list, WINTEST_LEFT, 30, ItemRect(0).top + 3);
    Pump();
    ASSERT_EQ(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED), 0);

    // The last pixel of the last column, on the last pixel row of row 3.
    const RECT row3 = ItemRect(3);
    Notes().clear();
    WinTestClick(list, WINTEST_RIGHT, 239, row3.bottom - 1);
    Pump();
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED), 3);
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED), 3);
    size_t changed = IndexOf(LVN_ITEMCHANGED), rclick = IndexOf(NM_RCLICK);
    ASSERT_NE(rclick, size_t(-1));
    ASSERT_NE(changed, size_t(-1));
    EXPECT_LT(changed, rclick);
    EXPECT_EQ(Notes()[rclick].item, 3);
    EXPECT_EQ(IndexOf(NM_CLICK), size_t(-1));

    // The first pixel past the last column, and the first pixel row below the last row.
    const POINT nowhere[] = {{240, row3.top + 3}, {30, ItemRect(4).bottom}};
    for (POINT p : nowhere) {
        WinTestClick(list, WINTEST_LEFT, 30, ItemRect(1).top + 3);
        Pump();
        ASSERT_EQ(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED), 1);
        Notes().clear();
        WinTestClick(list, WINTEST_RIGHT, p.x, p.y);
        Pump();
        EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 0) << p.x << "," << p.y;
        rclick = IndexOf(NM_RCLICK);
        ASSERT_NE(rclick, size_t(-1));
        EXPECT_EQ(Notes()[rclick].item, -1);
        EXPECT_LT(IndexOf(LVN_ITEMCHANGED), rclick);
    }
}

TEST_F(ListFixture, KeysMoveFocusAndSelectionAndReportLvnKeydown) {
    for (int i = 0; i < 30; ++i) Add("item " + std::to_string(i));
    SetFocus(list);
    WinTestKeyPress(VK_DOWN);
    Pump();
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED), 0);  // from no focus to the first
    WinTestKeyPress(VK_DOWN);
    Pump();
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED), 1);
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    WinTestKey(VK_SHIFT, TRUE);
    WinTestKeyPress(VK_DOWN);
    WinTestKeyPress(VK_DOWN);
    WinTestKey(VK_SHIFT, FALSE);
    Pump();
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 3);
    WinTestKeyPress(VK_END);
    Pump();
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED), 29);
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    int per = int(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 30 - per);  // the focus was scrolled into view
    WinTestKeyPress(VK_PRIOR);
    Pump();
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED), 30 - per);  // top of the page first
    WinTestKeyPress(VK_HOME);
    Pump();
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED), 0);
    EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 0);
    // Ctrl moves the focus alone; space then selects the focused item.
    WinTestKey(VK_CONTROL, TRUE);
    WinTestKeyPress(VK_DOWN);
    WinTestKeyPress(VK_DOWN);
    WinTestKey(VK_CONTROL, FALSE);
    Pump();
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED), 2);
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED), 0);
    WinTestKeyPress(VK_SPACE);
    Pump();
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED), 2);
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    size_t k = IndexOf(LVN_KEYDOWN);
    ASSERT_NE(k, size_t(-1));
    EXPECT_EQ(Notes()[k].item, VK_DOWN);
}

TEST_F(ListFixture, SingleSelectionKeepsOneItemSelected) {
    SetWindowLongA(list, GWL_STYLE, GetWindowLongA(list, GWL_STYLE) | LVS_SINGLESEL);
    for (int i = 0; i < 4; ++i) Add("x");
    LVITEMA st{};
    st.state = st.stateMask = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&st));
    SendMessageA(list, LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&st));
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_EQ(State(3, LVIS_SELECTED), UINT(LVIS_SELECTED));
    WinTestKey(VK_SHIFT, TRUE);
    WinTestClick(list, WINTEST_LEFT, 30, ItemRect(0).top + 3);
    WinTestKey(VK_SHIFT, FALSE);
    Pump();
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
}

// ---- header ----------------------------------------------------------------------------------

TEST_F(ListFixture, HeaderClickBecomesColumnClickAndTheHeaderNotificationsReachTheParent) {
    WinTestClick(list, WINTEST_LEFT, 140, HeaderHeight() / 2);
    Pump();
    size_t item_click = IndexOf(HDN_ITEMCLICKA), col = IndexOf(LVN_COLUMNCLICK);
    ASSERT_NE(col, size_t(-1));
    EXPECT_EQ(Notes()[col].sub, 1);
    EXPECT_EQ(Notes()[col].item, -1);
    EXPECT_EQ(Notes()[col].from, list);
    ASSERT_NE(item_click, size_t(-1));
}

// A header item given a new image (a check box in the header, say) leaves the cells alone: a
// list repainted then would cover the header, which its owner may have repainted already.
TEST_F(ListFixture, ANewHeaderImageKeepsTheHeaderOnScreenAndAWidthRepaintsTheCells) {
    Add("a");
    Pump();
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    RECT hr{};
    GetWindowRect(header, &hr);
    auto face = [&] {
        int n = 0;
        for (int y = hr.top; y < hr.bottom; ++y)
            for (int x = hr.left; x < hr.right; ++x) n += WinTestScreenPixel(x, y) == GetSysColor(COLOR_BTNFACE);
        return n;
    };
    const int before = face();
    ASSERT_GT(before, (hr.right - hr.left) * (hr.bottom - hr.top) / 2);

    HDITEMA hi{};
    hi.mask = HDI_IMAGE;
    hi.iImage = 1;
    ASSERT_TRUE(SendMessageA(header, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&hi)));
    UpdateWindow(header);
    Pump();
    EXPECT_EQ(face(), before);
    RECT pending{};
    EXPECT_FALSE(GetUpdateRect(list, &pending, FALSE));

    hi.mask = HDI_WIDTH;
    hi.cxy = 140;
    ASSERT_TRUE(SendMessageA(header, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&hi)));
    EXPECT_TRUE(GetUpdateRect(list, &pending, FALSE));
    Pump();
    EXPECT_EQ(SubRect(0, 1).left, 140);
    EXPECT_GT(face(), (hr.right - hr.left) * (hr.bottom - hr.top) / 2);
}

TEST_F(ListFixture, DraggingADividerResizesTheColumnWithTheTrackNotifications) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    int y = HeaderHeight() / 2;
    Notes().clear();
    WinTestDrag(header, WINTEST_LEFT, 100, y, 130, y, 3);
    Pump();
    std::vector<UINT> want_order = {HDN_BEGINTRACKA, HDN_TRACKA, HDN_ENDTRACKA};
    size_t at = 0;
    for (UINT c : want_order) {
        at = IndexOf(c, at);
        ASSERT_NE(at, size_t(-1)) << c;
    }
    EXPECT_NE(IndexOf(NM_RELEASEDCAPTURE, at), size_t(-1));  // after the drag, for skinners to repaint
    EXPECT_EQ(Notes()[IndexOf(HDN_BEGINTRACKA)].item, 0);
    EXPECT_EQ(Notes()[IndexOf(HDN_ENDTRACKA)].hd_width, 130);
    EXPECT_NE(IndexOf(HDN_ITEMCHANGEDA), size_t(-1));
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), 130);
    Add("a");
    EXPECT_EQ(SubRect(0, 1).left, 130);  // the cells follow the header

    // A parent that refuses BEGINTRACK keeps the width.
    OnNotify() = [](NMHDR* nm, bool* handled) -> LRESULT {
        *handled = nm->code == HDN_BEGINTRACKA;
        return TRUE;
    };
    WinTestDrag(header, WINTEST_LEFT, 130, y, 170, y, 3);
    Pump();
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), 130);
    OnNotify() = nullptr;

    Notes().clear();
    WinTestDoubleClick(header, WINTEST_LEFT, 130, y);
    Pump();
    EXPECT_NE(IndexOf(HDN_DIVIDERDBLCLICKA), size_t(-1));
}

TEST_F(ListFixture, ColumnsAnswerWhatWasSetAndDeletingOneShiftsTheTexts) {
    Add("a");
    SetSub(0, 1, "b");
    SetSub(0, 2, "c");
    char buf[32] = {0};
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    col.pszText = buf;
    col.cchTextMax = sizeof buf;
    ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&col)));
    EXPECT_STREQ(buf, "Size");
    EXPECT_EQ(col.cx, 80);
    EXPECT_EQ(col.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT);
    EXPECT_TRUE(SendMessageA(list, LVM_DELETECOLUMN, 1, 0));
    LVITEMA it{};
    it.iSubItem = 1;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    SendMessageA(list, LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&it));
    EXPECT_STREQ(buf, "c");
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 2);
}

// ---- scrolling -------------------------------------------------------------------------------

TEST_F(ListFixture, HundredRowsScrollByBarWheelKeysAndMessages) {
    for (int i = 0; i < 100; ++i) Add("row " + std::to_string(i));
    Pump();
    int per = int(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
    ASSERT_GT(per, 3);
    EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &si));
    EXPECT_EQ(si.nMin, 0);
    EXPECT_EQ(si.nMax, 99);
    EXPECT_EQ(int(si.nPage), per);

    SendMessageA(list, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), per);
    SendMessageA(list, WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), per - 1);
    RECT r = ItemRect(per - 1);
    EXPECT_EQ(r.top, HeaderHeight());  // the top row sits right under the header

    int rh = ItemRect(1).bottom - ItemRect(1).top;
    SendMessageA(list, LVM_SCROLL, 0, 3 * rh);
    EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), per + 2);
    SendMessageA(list, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 100 - per);
    SendMessageA(list, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 100 - per);  // clamped at the end

    // A thumb position sent by whoever draws the bar (a skinner) is taken from the message.
    SendMessageA(list, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 42), 0);
    EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 42);
    SendMessageA(list, LVM_ENSUREVISIBLE, 10, FALSE);
    EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 10);
    SetFocus(list);  // the wheel goes to the focus
    WinTestWheel(list, -WHEEL_DELTA, 50, 50);
    Pump();
    EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 13);

    // Hit tests follow the scrolled rows.
    LVHITTESTINFO ht = SubHit(20, HeaderHeight() + 1);
    EXPECT_EQ(ht.iItem, 13);

    // Deleting rows near the end pulls the view back so no blank page shows.
    for (int i = 0; i < 60; ++i) SendMessageA(list, LVM_DELETEITEM, 0, 0);
    SendMessageA(list, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 40 - per);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 0);
}

TEST_F(ListFixture, HorizontalScrollingMovesTheHeaderWithTheCells) {
    LVCOLUMNA col{};
    col.mask = LVCF_WIDTH;
    col.cx = 200;
    SendMessageA(list, LVM_INSERTCOLUMNA, 3, reinterpret_cast<LPARAM>(&col));  // 440 wide in all
    Add("a");
    Pump();
    EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL);
    SendMessageA(list, LVM_SCROLL, 50, 0);
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    RECT hr;
    GetWindowRect(header, &hr);
    POINT origin{0, 0};
    ClientToScreen(list, &origin);
    EXPECT_EQ(hr.left - origin.x, -50);
    EXPECT_EQ(SubRect(0, 1).left, 50);
    EXPECT_EQ(SubHit(49, ItemRect(0).top + 1).iSubItem, 0);
    EXPECT_EQ(SubHit(50, ItemRect(0).top + 1).iSubItem, 1);
}

// ---- item data -------------------------------------------------------------------------------

TEST_F(ListFixture, ItemDataHoldsAFullPointerThroughGetItemAndDeleteNotifications) {
    static int target;
    const LPARAM big = static_cast<LPARAM>(0x7EDCBA9876543210LL);
    const LPARAM ptr = reinterpret_cast<LPARAM>(&target);
    Add("a", big);
    Add("b", ptr);
    LVITEMA it{};
    it.mask = LVIF_PARAM;
    it.iItem = 0;
    ASSERT_TRUE(SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it)));
    EXPECT_EQ(it.lParam, big);
    it.iItem = 1;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    EXPECT_EQ(reinterpret_cast<int*>(it.lParam), &target);
    LVFINDINFOA f{};
    f.flags = LVFI_PARAM;
    f.lParam = ptr;
    EXPECT_EQ(SendMessageA(list, LVM_FINDITEMA, -1, reinterpret_cast<LPARAM>(&f)), 1);
    Notes().clear();
    SendMessageA(list, LVM_DELETEITEM, 0, 0);
    size_t k = IndexOf(LVN_DELETEITEM);
    ASSERT_NE(k, size_t(-1));
    EXPECT_EQ(Notes()[k].lparam, big);
    Notes().clear();
    DestroyWindow(list);
    k = IndexOf(LVN_DELETEITEM);
    ASSERT_NE(k, size_t(-1));  // destroying the list lets the parent free what the rows point to
    EXPECT_EQ(Notes()[k].lparam, ptr);
}

TEST_F(ListFixture, TextCallbackAsksTheParentAtDisplayTime) {
    LVITEMA it{};
    it.mask = LVIF_TEXT;
    it.pszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it));
    OnNotify() = [](NMHDR* nm, bool* handled) -> LRESULT {
        if (nm->code != LVN_GETDISPINFOA) return 0;
        auto* di = reinterpret_cast<NMLVDISPINFOA*>(nm);
        if (di->item.mask & LVIF_TEXT) snprintf(di->item.pszText, size_t(di->item.cchTextMax), "cb%d", di->item.iSubItem);
        *handled = true;
        return 0;
    };
    char buf[16] = {0};
    LVITEMA get{};
    get.pszText = buf;
    get.cchTextMax = sizeof buf;
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&get)), 3);
    EXPECT_STREQ(buf, "cb0");
}

}  // namespace

namespace {

std::vector<DRAWITEMSTRUCT> g_owner_draws;

LRESULT CALLBACK OwnerDrawParent(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_DRAWITEM) {
        g_owner_draws.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(l));
        return TRUE;
    }
    return ParentProc(h, m, w, l);
}

TEST(CommCtrlListViewOwnerDraw, FixedOwnerDrawHandsEachVisibleRowToTheParent) {
    Reset();
    HWND parent = MakeParent();
    SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OwnerDrawParent));
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED, 0, 0, 200,
                                100, parent, reinterpret_cast<HMENU>(9), nullptr, nullptr);
    LVCOLUMNA col{};
    col.mask = LVCF_WIDTH;
    col.cx = 150;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&col));
    for (int i = 0; i < 30; ++i) {
        LVITEMA it{};
        it.mask = LVIF_TEXT | LVIF_PARAM;
        it.iItem = i;
        it.pszText = const_cast<char*>("x");
        it.lParam = 1000 + i;
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it));
    }
    LVITEMA st{};
    st.state = st.stateMask = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&st));
    g_owner_draws.clear();
    InvalidateRect(list, nullptr, TRUE);
    Pump();
    int per = int(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
    ASSERT_GE(g_owner_draws.size(), size_t(per));
    EXPECT_LE(g_owner_draws.size(), size_t(per + 1));  // only what shows, a partial row at most
    EXPECT_EQ(g_owner_draws[0].CtlType, UINT(ODT_LISTVIEW));
    EXPECT_EQ(g_owner_draws[0].CtlID, 9u);
    EXPECT_EQ(g_owner_draws[1].itemID, 1u);
    EXPECT_TRUE(g_owner_draws[1].itemState & ODS_SELECTED);
    EXPECT_FALSE(g_owner_draws[0].itemState & ODS_SELECTED);
    EXPECT_EQ(g_owner_draws[1].itemData, ULONG_PTR(1001));
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    EXPECT_TRUE(EqualRect(&r, &g_owner_draws[1].rcItem));
    DestroyWindow(parent);
    Pump();
    Reset();
}

}  // namespace
