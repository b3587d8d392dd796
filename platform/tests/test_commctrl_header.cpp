// The header on its own: layout, hit tests at dividers (zero-width items included), item
// rectangles in display order, refusals, owner-drawn items and custom draw per item.
#include <gtest/gtest.h>

#include "commctrl_test_support.h"
#include "windlg.h"

using namespace cctest;

namespace {

std::vector<UINT> g_drawn;  // item ids the parent drew through WM_DRAWITEM

LRESULT CALLBACK OwnerProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_DRAWITEM) {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(l);
        if (dis->CtlType == ODT_HEADER) g_drawn.push_back(dis->itemID);
        return TRUE;
    }
    return ParentProc(h, m, w, l);
}

struct HeaderFixture : ::testing::Test {
    HWND parent = nullptr, header = nullptr;
    void SetUp() override {
        Reset();
        g_drawn.clear();
        parent = MakeParent();
        SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OwnerProc));
        header = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD | WS_VISIBLE | HDS_BUTTONS, 0, 0, 300, 24, parent,
                                 reinterpret_cast<HMENU>(3), nullptr, nullptr);
        const int widths[] = {80, 0, 120};
        for (int k = 0; k < 3; ++k) {
            HDITEMA it{};
            it.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
            it.cxy = widths[k];
            it.fmt = HDF_STRING | HDF_LEFT;
            it.pszText = const_cast<char*>("Col");
            EXPECT_EQ(SendMessageA(header, HDM_INSERTITEMA, k, reinterpret_cast<LPARAM>(&it)), k);
        }
        Pump();
    }
    void TearDown() override {
        Reset();
        DestroyWindow(parent);
        Pump();
    }
    HDHITTESTINFO Hit(int x, int y = 10) {
        HDHITTESTINFO ht{};
        ht.pt = POINT{x, y};
        SendMessageA(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht));
        return ht;
    }
    RECT ItemRect(int i) {
        RECT r{};
        SendMessageA(header, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
        return r;
    }
};

TEST_F(HeaderFixture, LayoutTakesItsHeightFromTheTopOfTheRectangle) {
    RECT rc{5, 10, 205, 110};
    WINDOWPOS wp{};
    HDLAYOUT lay{&rc, &wp};
    ASSERT_TRUE(SendMessageA(header, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&lay)));
    EXPECT_EQ(wp.x, 5);
    EXPECT_EQ(wp.y, 10);
    EXPECT_EQ(wp.cx, 200);
    EXPECT_GT(wp.cy, 12);
    EXPECT_EQ(rc.top, 10 + wp.cy);
    SetWindowLongA(header, GWL_STYLE, GetWindowLongA(header, GWL_STYLE) | HDS_HIDDEN);
    RECT rc2{0, 0, 100, 100};
    HDLAYOUT lay2{&rc2, &wp};
    SendMessageA(header, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&lay2));
    EXPECT_EQ(wp.cy, 0);
    EXPECT_EQ(rc2.top, 0);
}

TEST_F(HeaderFixture, DividersWinOverItemsAndAZeroWidthItemCanStillBeGrabbed) {
    EXPECT_EQ(Hit(40).flags, UINT(HHT_ONHEADER));
    EXPECT_EQ(Hit(40).iItem, 0);
    // Items 0 and 1 share the divider at x = 80; the later one wins so item 1 can be widened.
    HDHITTESTINFO d = Hit(79);
    EXPECT_EQ(d.flags, UINT(HHT_ONDIVIDER));
    EXPECT_EQ(d.iItem, 1);
    EXPECT_EQ(Hit(120).iItem, 2);
    EXPECT_EQ(Hit(120).flags, UINT(HHT_ONHEADER));
    EXPECT_EQ(Hit(250).flags, UINT(HHT_NOWHERE));  // right of every item
    EXPECT_EQ(Hit(350).flags, UINT(HHT_TORIGHT));
    EXPECT_EQ(Hit(10, -3).flags, UINT(HHT_ABOVE));
}

TEST_F(HeaderFixture, ItemRectanglesFollowTheDisplayOrder) {
    EXPECT_EQ(ItemRect(2).left, 80);
    int order[] = {2, 0, 1};
    ASSERT_TRUE(SendMessageA(header, HDM_SETORDERARRAY, 3, reinterpret_cast<LPARAM>(order)));
    EXPECT_EQ(ItemRect(2).left, 0);
    EXPECT_EQ(ItemRect(0).left, 120);
    EXPECT_EQ(SendMessageA(header, HDM_ORDERTOINDEX, 0, 0), 2);
    int bad[] = {0, 0, 1};
    EXPECT_FALSE(SendMessageA(header, HDM_SETORDERARRAY, 3, reinterpret_cast<LPARAM>(bad)));
    int back[3] = {};
    ASSERT_TRUE(SendMessageA(header, HDM_GETORDERARRAY, 3, reinterpret_cast<LPARAM>(back)));
    EXPECT_EQ(back[0], 2);
    SendMessageA(header, HDM_DELETEITEM, 2, 0);
    EXPECT_EQ(ItemRect(0).left, 0);  // the order closes up
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 2);
}

TEST_F(HeaderFixture, RefusedChangesLeaveTheItemAndTextsComeBackTruncated) {
    OnNotify() = [](NMHDR* nm, bool* handled) -> LRESULT {
        *handled = nm->code == HDN_ITEMCHANGINGA;
        return TRUE;
    };
    HDITEMA it{};
    it.mask = HDI_WIDTH;
    it.cxy = 10;
    EXPECT_FALSE(SendMessageA(header, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it)));
    EXPECT_EQ(ItemRect(0).right, 80);
    EXPECT_EQ(IndexOf(HDN_ITEMCHANGEDA), size_t(-1));
    OnNotify() = nullptr;
    it.mask = HDI_TEXT;
    it.pszText = const_cast<char*>("A longer title");
    EXPECT_TRUE(SendMessageA(header, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it)));
    char buf[5] = {};
    HDITEMA get{};
    get.mask = HDI_TEXT;
    get.pszText = buf;
    get.cchTextMax = sizeof buf;
    SendMessageA(header, HDM_GETITEMA, 0, reinterpret_cast<LPARAM>(&get));
    EXPECT_STREQ(buf, "A lo");
}

TEST_F(HeaderFixture, OwnerDrawnItemsGoToTheParentAndCustomDrawCanSkipAnItem) {
    HDITEMA it{};
    it.mask = HDI_FORMAT;
    it.fmt = HDF_OWNERDRAW;
    SendMessageA(header, HDM_SETITEMA, 2, reinterpret_cast<LPARAM>(&it));
    const COLORREF mark = RGB(10, 200, 30);
    OnNotify() = [&](NMHDR* nm, bool* handled) -> LRESULT {
        if (nm->code != NM_CUSTOMDRAW) return 0;
        *handled = true;
        auto* cd = reinterpret_cast<NMCUSTOMDRAW*>(nm);
        if (cd->dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
        if (cd->dwDrawStage == CDDS_ITEMPREPAINT && cd->dwItemSpec == 0) {
            HBRUSH b = CreateSolidBrush(mark);
            FillRect(cd->hdc, &cd->rc, b);
            DeleteObject(b);
            return CDRF_SKIPDEFAULT;
        }
        return CDRF_DODEFAULT;
    };
    InvalidateRect(header, nullptr, TRUE);
    Pump();
    EXPECT_EQ(g_drawn, std::vector<UINT>{2});
    Capture c(header);
    EXPECT_EQ(c.At(1, 1), mark);  // no edge drawn over the parent's paint
    EXPECT_EQ(c.At(40, 12), mark);
}

}  // namespace
