// Tree view: inserting in order and sorted, walking the tree, reading and changing items,
// expanding with its notices, selection that the parent may refuse, deleting with notices and
// dead handles, rows and hit testing, keys and clicks, the vertical scroll bar, and the look.
#include <gtest/gtest.h>

#include <string>

#include "commctrl_test_support.h"

using namespace cctest;

namespace {

struct TreeTest : ::testing::Test {
    HWND parent = nullptr, tv = nullptr;
    std::vector<NMTREEVIEWA> notes;
    std::vector<std::string> names;  // new item's text of each tree notice
    UINT refuse = 0;                 // a notice code the parent answers TRUE
    void SetUp() override {
        Reset();
        parent = MakeParent();
        OnNotify() = [this](NMHDR* nm, bool* handled) -> LRESULT {
            if (nm->code > TVN_FIRST || nm->code < TVN_LAST || nm->code == TVN_KEYDOWN) return 0;
            auto* n = reinterpret_cast<NMTREEVIEWA*>(nm);
            notes.push_back(*n);
            const TVITEMA& it = nm->code == TVN_DELETEITEMA ? n->itemOld : n->itemNew;
            names.push_back(it.pszText ? it.pszText : "");
            *handled = true;
            return nm->code == refuse;
        };
        tv = Make(TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | WS_VSCROLL);
    }
    void TearDown() override {
        Reset();
        DestroyWindow(parent);
        Pump();
    }
    HWND Make(DWORD style, int cy = 200) {
        return CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | style, 10, 10, 200, cy, parent,
                               reinterpret_cast<HMENU>(4), nullptr, nullptr);
    }
    HTREEITEM Add(const char* text, HTREEITEM under = TVI_ROOT, HTREEITEM after = TVI_LAST, LPARAM data = 0) {
        TVINSERTSTRUCTA ins{};
        ins.hParent = under;
        ins.hInsertAfter = after;
        ins.item.mask = TVIF_TEXT | TVIF_PARAM;
        ins.item.pszText = const_cast<char*>(text);
        ins.item.lParam = data;
        return reinterpret_cast<HTREEITEM>(SendMessageA(tv, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
    }
    HTREEITEM Next(UINT code, HTREEITEM from = nullptr) {
        return reinterpret_cast<HTREEITEM>(SendMessageA(tv, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(from)));
    }
    std::string Text(HTREEITEM i) {
        char buf[64] = {};
        TVITEMA it{};
        it.mask = TVIF_TEXT;
        it.hItem = i;
        it.pszText = buf;
        it.cchTextMax = sizeof buf;
        return SendMessageA(tv, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it)) ? buf : "<none>";
    }
    UINT StateOf(HTREEITEM i) { return UINT(SendMessageA(tv, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(i), 0xFFFF)); }
    bool Expand(HTREEITEM i, UINT how) {
        return SendMessageA(tv, TVM_EXPAND, how, reinterpret_cast<LPARAM>(i)) != 0;
    }
    bool Rect(HTREEITEM i, bool label, RECT* r) {
        memcpy(r, &i, sizeof i);
        return SendMessageA(tv, TVM_GETITEMRECT, label, reinterpret_cast<LPARAM>(r)) != 0;
    }
    // The visible rows' texts, top to bottom.
    std::string Shown() {
        std::string s;
        for (HTREEITEM i = Next(TVGN_FIRSTVISIBLE); i; i = Next(TVGN_NEXTVISIBLE, i)) s += Text(i) + " ";
        return s;
    }
};

TEST_F(TreeTest, ItemsGoWhereAskedAndTheTreeCanBeWalked) {
    HTREEITEM b = Add("b"), a = Add("a", TVI_ROOT, TVI_FIRST);
    HTREEITEM c = Add("c", TVI_ROOT, a);  // after a
    HTREEITEM c2 = Add("c2", c), c1 = Add("c1", c, TVI_FIRST), c15 = Add("c15", c, TVI_SORT);
    ASSERT_TRUE(a && b && c && c1 && c2 && c15);
    EXPECT_EQ(SendMessageA(tv, TVM_GETCOUNT, 0, 0), 6);
    EXPECT_EQ(Next(TVGN_ROOT), a);
    EXPECT_EQ(Next(TVGN_NEXT, a), c);
    EXPECT_EQ(Next(TVGN_NEXT, c), b);
    EXPECT_EQ(Next(TVGN_PREVIOUS, c), a);
    EXPECT_EQ(Next(TVGN_NEXT, b), nullptr);
    EXPECT_EQ(Next(TVGN_CHILD, c), c1);
    EXPECT_EQ(Next(TVGN_NEXT, c1), c15);
    EXPECT_EQ(Next(TVGN_PARENT, c2), c);
    EXPECT_EQ(Next(TVGN_PARENT, c), nullptr);

    EXPECT_EQ(Shown(), "a c b ");  // children hidden until expanded
    EXPECT_TRUE(Expand(c, TVE_EXPAND));
    EXPECT_EQ(Shown(), "a c c1 c15 c2 b ");
    EXPECT_EQ(Next(TVGN_LASTVISIBLE), b);

    // Sorting, and an unknown parent is refused.
    SendMessageA(tv, TVM_SORTCHILDREN, 0, 0);
    EXPECT_EQ(Shown(), "a b c c1 c15 c2 ");
    EXPECT_EQ(Add("x", reinterpret_cast<HTREEITEM>(uintptr_t(9999))), nullptr);
}

TEST_F(TreeTest, ItemsAreReadAndChangedThroughTheirFields) {
    HTREEITEM i = Add("first", TVI_ROOT, TVI_LAST, 77);
    TVITEMA it{};
    it.mask = TVIF_PARAM | TVIF_CHILDREN;
    it.hItem = i;
    ASSERT_TRUE(SendMessageA(tv, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it)));
    EXPECT_EQ(it.lParam, 77);
    EXPECT_EQ(it.cChildren, 0);

    TVITEMA set{};
    set.mask = TVIF_TEXT | TVIF_STATE | TVIF_CHILDREN;
    set.hItem = i;
    set.pszText = const_cast<char*>("renamed");
    set.state = TVIS_BOLD;
    set.stateMask = TVIS_BOLD;
    set.cChildren = 1;
    ASSERT_TRUE(SendMessageA(tv, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&set)));
    EXPECT_EQ(Text(i), "renamed");
    EXPECT_EQ(StateOf(i) & TVIS_BOLD, UINT(TVIS_BOLD));
    // A child count of one gives a button before any child exists.
    UINT flags = 0;
    TVHITTESTINFO hit{};
    RECT row;
    ASSERT_TRUE(Rect(i, false, &row));
    hit.pt = POINT{19 / 2, (row.top + row.bottom) / 2};
    EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessageA(tv, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))), i);
    flags = hit.flags;
    EXPECT_EQ(flags, UINT(TVHT_ONITEMBUTTON));

    // The text is cut to the caller's buffer.
    char small[4] = {};
    TVITEMA get{};
    get.mask = TVIF_TEXT;
    get.hItem = i;
    get.pszText = small;
    get.cchTextMax = sizeof small;
    SendMessageA(tv, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&get));
    EXPECT_STREQ(small, "ren");
}

TEST_F(TreeTest, ExpandingTellsTheParentWhichMayRefuse) {
    HTREEITEM p = Add("p");
    Add("kid", p);
    refuse = TVN_ITEMEXPANDINGA;
    EXPECT_FALSE(Expand(p, TVE_EXPAND));
    EXPECT_EQ(StateOf(p) & TVIS_EXPANDED, 0u);
    refuse = 0;
    notes.clear();
    EXPECT_TRUE(Expand(p, TVE_EXPAND));
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].hdr.code, UINT(TVN_ITEMEXPANDINGA));
    EXPECT_EQ(notes[0].action, UINT(TVE_EXPAND));
    EXPECT_EQ(notes[0].itemNew.hItem, p);
    EXPECT_EQ(notes[1].hdr.code, UINT(TVN_ITEMEXPANDEDA));
    EXPECT_EQ(StateOf(p) & (TVIS_EXPANDED | TVIS_EXPANDEDONCE), UINT(TVIS_EXPANDED | TVIS_EXPANDEDONCE));

    // Once expanded, the program's own expanding and collapsing no longer notify.
    notes.clear();
    EXPECT_TRUE(Expand(p, TVE_TOGGLE));
    EXPECT_EQ(StateOf(p) & TVIS_EXPANDED, 0u);
    EXPECT_TRUE(notes.empty());

    // A click on the button always does.
    RECT row;
    Rect(p, false, &row);
    WinTestClick(tv, WINTEST_LEFT, 9, (row.top + row.bottom) / 2);
    Pump();
    EXPECT_EQ(StateOf(p) & TVIS_EXPANDED, UINT(TVIS_EXPANDED));
    ASSERT_EQ(notes.size(), 2u);

    // An item without children cannot be expanded; reset drops the children.
    HTREEITEM leaf = Add("leaf");
    EXPECT_FALSE(Expand(leaf, TVE_EXPAND));
    EXPECT_TRUE(Expand(p, TVE_COLLAPSE | TVE_COLLAPSERESET));
    EXPECT_EQ(Next(TVGN_CHILD, p), nullptr);
}

TEST_F(TreeTest, SelectionAsksTheParentAndShowsHiddenItems) {
    HTREEITEM a = Add("a", TVI_ROOT, TVI_LAST, 1), b = Add("b", TVI_ROOT, TVI_LAST, 2);
    HTREEITEM b1 = Add("b1", b, TVI_LAST, 3);
    EXPECT_TRUE(SendMessageA(tv, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(a)));
    EXPECT_EQ(Next(TVGN_CARET), a);
    EXPECT_EQ(StateOf(a) & TVIS_SELECTED, UINT(TVIS_SELECTED));
    notes.clear();
    names.clear();
    // Selecting a hidden item opens its parent.
    EXPECT_TRUE(SendMessageA(tv, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(b1)));
    EXPECT_EQ(StateOf(b) & TVIS_EXPANDED, UINT(TVIS_EXPANDED));
    EXPECT_EQ(StateOf(a) & TVIS_SELECTED, 0u);
    ASSERT_GE(notes.size(), 2u);
    EXPECT_EQ(notes.front().hdr.code, UINT(TVN_SELCHANGINGA));
    EXPECT_EQ(notes.front().itemOld.lParam, 1);
    EXPECT_EQ(notes.front().itemNew.lParam, 3);
    EXPECT_EQ(notes.back().hdr.code, UINT(TVN_SELCHANGEDA));
    EXPECT_EQ(notes.back().action, UINT(TVC_UNKNOWN));

    refuse = TVN_SELCHANGINGA;
    EXPECT_FALSE(SendMessageA(tv, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(a)));
    EXPECT_EQ(Next(TVGN_CARET), b1);
    refuse = 0;

    // Collapsing over the selection moves it to the collapsed item.
    Expand(b, TVE_COLLAPSE);
    EXPECT_EQ(Next(TVGN_CARET), b);

    // A state change cannot select.
    TVITEMA set{};
    set.mask = TVIF_STATE;
    set.hItem = a;
    set.state = TVIS_SELECTED;
    set.stateMask = TVIS_SELECTED;
    SendMessageA(tv, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&set));
    EXPECT_EQ(StateOf(a) & TVIS_SELECTED, 0u);
}

TEST_F(TreeTest, DeletingTellsOfEveryItemAndLeavesDeadHandles) {
    HTREEITEM p = Add("p"), k1 = Add("k1", p), k2 = Add("k2", p), q = Add("q");
    SendMessageA(tv, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(k2));
    notes.clear();
    names.clear();
    EXPECT_TRUE(SendMessageA(tv, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(p)));
    // The selection under the item moves to its next sibling before anything goes.
    EXPECT_EQ(names, (std::vector<std::string>{"q", "q", "k2", "k1", "p"}));
    EXPECT_EQ(Next(TVGN_CARET), q);
    EXPECT_EQ(Text(k1), "<none>");
    EXPECT_FALSE(SendMessageA(tv, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(p)));
    EXPECT_FALSE(SendMessageA(tv, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(k1)));
    HTREEITEM r = Add("r");
    EXPECT_NE(r, p);  // handles are not reused
    EXPECT_NE(r, k1);
    EXPECT_EQ(Next(TVGN_ROOT), q);

    names.clear();
    SendMessageA(tv, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    EXPECT_EQ(SendMessageA(tv, TVM_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(names.size(), 2u);
}

TEST_F(TreeTest, DeletingTheSelectionSelectsTheNextSiblingElseThePreviousElseTheParent) {
    HTREEITEM a = Add("a"), b = Add("b"), c = Add("c");
    HTREEITEM b1 = Add("b1", b), b2 = Add("b2", b);
    SendMessageA(tv, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(b1));
    auto remove = [&](HTREEITEM i) {
        notes.clear();
        names.clear();
        EXPECT_TRUE(SendMessageA(tv, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(i)));
    };
    remove(b1);
    EXPECT_EQ(Next(TVGN_CARET), b2);
    EXPECT_EQ(StateOf(b2) & TVIS_SELECTED, UINT(TVIS_SELECTED));
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[0].hdr.code, UINT(TVN_SELCHANGINGA));
    EXPECT_EQ(notes[0].itemOld.hItem, b1);
    EXPECT_EQ(notes[0].itemNew.hItem, b2);
    EXPECT_EQ(notes[1].hdr.code, UINT(TVN_SELCHANGEDA));
    EXPECT_EQ(notes[1].action, UINT(TVC_UNKNOWN));
    EXPECT_EQ(notes[2].hdr.code, UINT(TVN_DELETEITEMA));

    remove(b2);  // no sibling left: the parent
    EXPECT_EQ(Next(TVGN_CARET), b);
    SendMessageA(tv, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(c));
    remove(c);  // the last one: the one before it
    EXPECT_EQ(Next(TVGN_CARET), b);
    EXPECT_EQ(names, (std::vector<std::string>{"b", "b", "c"}));

    // A parent that refuses the move keeps no selection; the item goes all the same.
    refuse = TVN_SELCHANGINGA;
    remove(b);
    refuse = 0;
    EXPECT_EQ(Next(TVGN_CARET), nullptr);
    EXPECT_EQ(Text(b), "<none>");
    EXPECT_EQ(StateOf(a) & TVIS_SELECTED, 0u);

    // A lone item: the parent is told the selection goes to nothing, then the item goes.
    SendMessageA(tv, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(a));
    remove(a);
    EXPECT_EQ(Next(TVGN_CARET), nullptr);
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[1].hdr.code, UINT(TVN_SELCHANGEDA));
    EXPECT_EQ(notes[1].itemNew.hItem, nullptr);
    EXPECT_EQ(names, (std::vector<std::string>{"", "", "a"}));
}

TEST_F(TreeTest, RowsHaveRectanglesThatHitTestingFinds) {
    HTREEITEM a = Add("alpha"), b = Add("beta"), b1 = Add("beta one", b);
    int ih = int(SendMessageA(tv, TVM_GETITEMHEIGHT, 0, 0));
    ASSERT_GT(ih, 8);
    EXPECT_EQ(ih % 2, 0);
    RECT ra, rb, lb;
    ASSERT_TRUE(Rect(a, false, &ra));
    ASSERT_TRUE(Rect(b, false, &rb));
    ASSERT_TRUE(Rect(b, true, &lb));
    EXPECT_EQ(ra.top, 0);
    EXPECT_EQ(rb.top, ih);
    EXPECT_GT(lb.left, 0);
    EXPECT_LT(lb.right, rb.right);
    RECT rk;
    EXPECT_FALSE(Rect(b1, false, &rk));  // under a collapsed parent
    Expand(b, TVE_EXPAND);
    ASSERT_TRUE(Rect(b1, true, &rk));
    EXPECT_EQ(rk.left - lb.left, int(SendMessageA(tv, TVM_GETINDENT, 0, 0)));

    TVHITTESTINFO hit{};
    hit.pt = POINT{lb.left + 3, lb.top + 2};
    EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessageA(tv, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))), b);
    EXPECT_EQ(hit.flags, UINT(TVHT_ONITEMLABEL));
    hit.pt = POINT{lb.right + 5, lb.top + 2};
    SendMessageA(tv, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    EXPECT_EQ(hit.flags, UINT(TVHT_ONITEMRIGHT));
    hit.pt = POINT{20, 4 * ih};
    EXPECT_EQ(SendMessageA(tv, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 0);
    EXPECT_EQ(hit.flags, UINT(TVHT_NOWHERE));
    hit.pt = POINT{20, -3};
    SendMessageA(tv, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    EXPECT_EQ(hit.flags, UINT(TVHT_ABOVE));
}

TEST_F(TreeTest, KeysAndClicksMoveTheSelection) {
    HTREEITEM a = Add("a"), b = Add("b"), b1 = Add("b1", b);
    WinTestActivate(parent);
    RECT la;
    Rect(a, true, &la);
    WinTestClick(tv, WINTEST_LEFT, la.left + 3, la.top + 2);
    Pump();
    EXPECT_EQ(GetFocus(), tv);
    EXPECT_EQ(Next(TVGN_CARET), a);
    EXPECT_EQ(notes.back().action, UINT(TVC_BYMOUSE));
    WinTestKeyPress(VK_DOWN);
    Pump();
    EXPECT_EQ(Next(TVGN_CARET), b);
    EXPECT_EQ(notes.back().action, UINT(TVC_BYKEYBOARD));
    WinTestKeyPress(VK_RIGHT);  // opens
    Pump();
    EXPECT_EQ(StateOf(b) & TVIS_EXPANDED, UINT(TVIS_EXPANDED));
    WinTestKeyPress(VK_RIGHT);  // goes in
    Pump();
    EXPECT_EQ(Next(TVGN_CARET), b1);
    WinTestKeyPress(VK_LEFT);  // back to the parent
    WinTestKeyPress(VK_LEFT);  // closes it
    WinTestKeyPress(VK_HOME);
    Pump();
    EXPECT_EQ(Next(TVGN_CARET), a);
    EXPECT_EQ(StateOf(b) & TVIS_EXPANDED, 0u);
    // A double click on a label opens and closes it.
    RECT lb;
    Rect(b, true, &lb);
    WinTestDoubleClick(tv, WINTEST_LEFT, lb.left + 3, lb.top + 2);
    Pump();
    EXPECT_EQ(StateOf(b) & TVIS_EXPANDED, UINT(TVIS_EXPANDED));
}

TEST_F(TreeTest, ManyRowsScrollWithTheBarAndFollowTheSelection) {
    HWND small = Make(WS_VSCROLL, 100);
    std::swap(tv, small);
    HTREEITEM last = nullptr;
    for (int k = 0; k < 30; ++k) last = Add(("row " + std::to_string(k)).c_str());
    int page = int(SendMessageA(tv, TVM_GETVISIBLECOUNT, 0, 0));
    ASSERT_GT(page, 2);
    ASSERT_LT(page, 30);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(tv, SB_VERT, &si);
    EXPECT_EQ(si.nMax, 29);
    EXPECT_EQ(int(si.nPage), page);
    SendMessageA(tv, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(Text(Next(TVGN_FIRSTVISIBLE)), "row 1");
    SendMessageA(tv, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(Text(Next(TVGN_FIRSTVISIBLE)), "row " + std::to_string(30 - page));
    SendMessageA(tv, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 5), 0);
    EXPECT_EQ(Text(Next(TVGN_FIRSTVISIBLE)), "row 5");
    GetScrollInfo(tv, SB_VERT, &si);
    EXPECT_EQ(si.nPos, 5);
    SendMessageA(tv, WM_VSCROLL, SB_TOP, 0);
    SendMessageA(tv, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(last));
    RECT r;
    ASSERT_TRUE(Rect(last, false, &r));
    RECT cr;
    GetClientRect(tv, &cr);
    EXPECT_LE(r.bottom, cr.bottom);
    EXPECT_GE(r.top, 0);
    std::swap(tv, small);
}

TEST_F(TreeTest, PaintsInItsColoursWithSelectionLinesAndCustomDraw) {
    HTREEITEM a = Add("aaaa"), b = Add("bbbb");
    Add("kid", b);
    SendMessageA(tv, TVM_SETBKCOLOR, 0, RGB(10, 20, 30));
    EXPECT_EQ(COLORREF(SendMessageA(tv, TVM_SETTEXTCOLOR, 0, RGB(200, 210, 220))), CLR_NONE);
    EXPECT_EQ(COLORREF(SendMessageA(tv, TVM_SETLINECOLOR, 0, RGB(0, 250, 0))), CLR_DEFAULT);
    EXPECT_EQ(COLORREF(SendMessageA(tv, TVM_GETLINECOLOR, 0, 0)), RGB(0, 250, 0));
    Pump();
    Capture pic(tv);
    EXPECT_GT(pic.Count(RGB(10, 20, 30)), pic.w * pic.h / 2);
    EXPECT_GT(pic.CountNear(RGB(200, 210, 220)), 10);
    EXPECT_GT(pic.Count(RGB(0, 250, 0)), 5);
    EXPECT_EQ(pic.Count(GetSysColor(COLOR_HIGHLIGHT)), 0);

    SetFocus(tv);
    SendMessageA(tv, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(a));
    Pump();
    RECT la;
    Rect(a, true, &la);
    Capture sel(tv);
    EXPECT_EQ(sel.At(la.right - 2, (la.top + la.bottom) / 2), GetSysColor(COLOR_HIGHLIGHT));

    // Custom draw gives one item its own colours.
    OnNotify() = [&](NMHDR* nm, bool* handled) -> LRESULT {
        if (nm->code != NM_CUSTOMDRAW) return 0;
        auto* cd = reinterpret_cast<NMTVCUSTOMDRAW*>(nm);
        *handled = true;
        if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
        if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && cd->nmcd.dwItemSpec == DWORD_PTR(b)) cd->clrTextBk = RGB(250, 0, 250);
        return CDRF_DODEFAULT;
    };
    InvalidateRect(tv, nullptr, TRUE);
    Pump();
    RECT lb;
    Rect(b, true, &lb);
    Capture custom(tv);
    EXPECT_EQ(custom.At(lb.right - 2, (lb.top + lb.bottom) / 2), RGB(250, 0, 250));
}

}  // namespace
