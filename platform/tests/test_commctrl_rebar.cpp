// The rebar: bands and their records, rows and the children placed in them, the bar's own
// height and the notice when it changes, hit tests, dragging a gripper, and the plain look.
#include <gtest/gtest.h>

#include <string>

#include "commctrl_test_support.h"

using namespace cctest;

namespace {

struct RebarFixture : ::testing::Test {
    HWND parent = nullptr, bar = nullptr;
    void SetUp() override {
        Reset();
        parent = MakeParent(400, 300);
        bar = CreateWindowExA(0, REBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent,
                              reinterpret_cast<HMENU>(6), nullptr, nullptr);
    }
    void TearDown() override {
        Reset();
        DestroyWindow(parent);
        Pump();
    }
    HWND Child(int cy = 20) {
        return CreateWindowExA(0, "Static", "", WS_CHILD, 0, 0, 10, cy, parent, nullptr, nullptr, nullptr);
    }
    bool Add(const char* text, HWND child, int min_cx, int min_cy, int cx, UINT style = 0, UINT id = 0) {
        REBARBANDINFOA b{};
        b.cbSize = sizeof b;
        b.fMask = RBBIM_TEXT | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_STYLE | RBBIM_ID;
        b.lpText = const_cast<char*>(text);
        b.hwndChild = child;
        b.cxMinChild = UINT(min_cx);
        b.cyMinChild = UINT(min_cy);
        b.cx = UINT(cx);
        b.fStyle = style;
        b.wID = id;
        return SendMessageA(bar, RB_INSERTBANDA, WPARAM(-1), reinterpret_cast<LPARAM>(&b)) != 0;
    }
    RECT Band(int k) {
        RECT r{};
        SendMessageA(bar, RB_GETRECT, k, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    RECT ChildRect(HWND c) {
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, bar, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
};

TEST_F(RebarFixture, BandsKeepTheirRecordsAndAdoptTheirChildren) {
    HWND edit = Child();
    ASSERT_TRUE(Add("Address", edit, 50, 20, 150, 0, 77));
    EXPECT_EQ(GetParent(edit), bar);
    EXPECT_EQ(SendMessageA(bar, RB_GETBANDCOUNT, 0, 0), 1);
    char text[4];
    REBARBANDINFOA got{};
    got.cbSize = sizeof got;
    got.fMask = RBBIM_TEXT | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_ID;
    got.lpText = text;
    got.cch = sizeof text;
    ASSERT_TRUE(SendMessageA(bar, RB_GETBANDINFOA, 0, reinterpret_cast<LPARAM>(&got)));
    EXPECT_STREQ(text, "Add");
    EXPECT_EQ(got.hwndChild, edit);
    EXPECT_EQ(got.cyMinChild, 20u);
    EXPECT_EQ(got.wID, 77u);
    EXPECT_EQ(SendMessageA(bar, RB_IDTOINDEX, 77, 0), 0);
    EXPECT_EQ(SendMessageA(bar, RB_IDTOINDEX, 78, 0), -1);
    got.cbSize = 8;  // too small a record is refused
    EXPECT_FALSE(SendMessageA(bar, RB_GETBANDINFOA, 0, reinterpret_cast<LPARAM>(&got)));
    EXPECT_FALSE(SendMessageA(bar, RB_GETBANDINFOA, 3, reinterpret_cast<LPARAM>(&got)));
}

TEST_F(RebarFixture, BandsShareARowTheLastTakesTheRestAndBreaksStartNewRows) {
    HWND a = Child(), b = Child(), c = Child(30);
    Add("", a, 40, 20, 120);
    Add("", b, 40, 20, 100);
    RECT ra = Band(0), rb = Band(1);
    EXPECT_EQ(ra.left, 0);
    EXPECT_EQ(ra.right, 120);
    EXPECT_EQ(rb.left, 120);
    EXPECT_EQ(rb.right, 400);  // the last band of the row runs to the end
    EXPECT_EQ(SendMessageA(bar, RB_GETROWCOUNT, 0, 0), 1);
    RECT ca = ChildRect(a);
    EXPECT_GT(ca.left, ra.left);  // after the gripper
    EXPECT_EQ(ca.right, ra.right);
    EXPECT_EQ(ca.bottom - ca.top, 20);

    Add("", c, 40, 30, 100, RBBS_BREAK);
    RECT rc = Band(2);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, ra.bottom);
    EXPECT_EQ(SendMessageA(bar, RB_GETROWCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(bar, RB_GETROWHEIGHT, 2, 0), 30 + 4);
    EXPECT_EQ(SendMessageA(bar, RB_GETBARHEIGHT, 0, 0), rc.bottom);

    // The bar is as tall as its rows, across the top of its parent.
    RECT w;
    GetWindowRect(bar, &w);
    EXPECT_EQ(w.bottom - w.top, rc.bottom);
    EXPECT_EQ(w.right - w.left, 400);
}

TEST_F(RebarFixture, TheParentHearsOfEveryChangeOfHeightOnly) {
    Add("", Child(), 40, 20, 100);
    EXPECT_EQ(Codes(), (std::vector<UINT>{RBN_HEIGHTCHANGE}));
    Reset();
    Add("", Child(), 40, 20, 100);  // same row, same height
    EXPECT_TRUE(Codes().empty());
    Add("", Child(), 40, 20, 100, RBBS_BREAK);
    EXPECT_EQ(Codes(), (std::vector<UINT>{RBN_HEIGHTCHANGE}));
    Reset();
    ASSERT_TRUE(SendMessageA(bar, RB_SHOWBAND, 2, FALSE));
    EXPECT_EQ(SendMessageA(bar, RB_GETROWCOUNT, 0, 0), 1);
    EXPECT_EQ(Codes(), (std::vector<UINT>{RBN_HEIGHTCHANGE}));
    Reset();
    ASSERT_TRUE(SendMessageA(bar, RB_DELETEBAND, 0, 0));
    EXPECT_EQ(Codes(), (std::vector<UINT>{RBN_DELETINGBAND, RBN_DELETEDBAND}));
    EXPECT_EQ(SendMessageA(bar, RB_GETBANDCOUNT, 0, 0), 2);
}

TEST_F(RebarFixture, HitTestsTellTheGripperTheTitleAndTheChild) {
    Add("Links", Child(), 40, 20, 150);
    Add("", Child(), 40, 20, 100);
    RECT r = Band(0);
    RBHITTESTINFO ht{};
    ht.pt = POINT{r.left + 3, r.top + 5};
    EXPECT_EQ(SendMessageA(bar, RB_HITTEST, 0, reinterpret_cast<LPARAM>(&ht)), 0);
    EXPECT_EQ(ht.flags, UINT(RBHT_GRABBER));
    ht.pt = POINT{r.left + 12, r.top + 5};
    SendMessageA(bar, RB_HITTEST, 0, reinterpret_cast<LPARAM>(&ht));
    EXPECT_EQ(ht.flags, UINT(RBHT_CAPTION));
    ht.pt = POINT{r.right - 3, r.top + 5};
    SendMessageA(bar, RB_HITTEST, 0, reinterpret_cast<LPARAM>(&ht));
    EXPECT_EQ(ht.flags, UINT(RBHT_CLIENT));
    ht.pt = POINT{5, 200};
    EXPECT_EQ(SendMessageA(bar, RB_HITTEST, 0, reinterpret_cast<LPARAM>(&ht)), -1);
    EXPECT_EQ(ht.flags, UINT(RBHT_NOWHERE));
}

TEST_F(RebarFixture, DraggingAGripperResizesTheBandBeforeIt) {
    Add("", Child(), 40, 20, 150);
    Add("", Child(), 40, 20, 100);
    RECT b = Band(1);
    Reset();
    WinTestDrag(bar, WINTEST_LEFT, b.left + 3, b.top + 5, b.left + 43, b.top + 5, 4);
    Pump();
    EXPECT_EQ(Band(0).right, 190);
    EXPECT_EQ(Band(1).left, 190);
    auto codes = Codes();
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(codes.front(), RBN_BEGINDRAG);
    EXPECT_EQ(codes[codes.size() - 2], RBN_ENDDRAG);
    EXPECT_EQ(codes.back(), RBN_LAYOUTCHANGED);
    // Not narrower than its gripper and its child's least width.
    b = Band(1);
    WinTestDrag(bar, WINTEST_LEFT, b.left + 3, b.top + 5, 0, b.top + 5, 4);
    Pump();
    EXPECT_EQ(Band(0).right, 8 + 40);
}

TEST_F(RebarFixture, BandsShowTheirGripperTitleAndOwnColours) {
    Add("Title", Child(), 40, 20, 150);
    REBARBANDINFOA c{};
    c.cbSize = sizeof c;
    c.fMask = RBBIM_COLORS;
    c.clrFore = RGB(0, 0, 255);
    c.clrBack = RGB(0, 128, 0);
    Add("", Child(), 40, 20, 100);
    ASSERT_TRUE(SendMessageA(bar, RB_SETBANDINFOA, 1, reinterpret_cast<LPARAM>(&c)));
    SendMessageA(bar, RB_SETBANDINFOA, 0, reinterpret_cast<LPARAM>(&c));
    Pump();
    Capture pic(bar);
    RECT a = Band(0), b = Band(1);
    EXPECT_EQ(pic.At(a.left + 2, a.top + 5), GetSysColor(COLOR_BTNHIGHLIGHT));  // the gripper
    EXPECT_EQ(pic.At(b.right - 10, b.top + 1), RGB(0, 128, 0));                  // a band's own back colour
    int blue = 0;
    for (int x = a.left + 8; x < a.left + 60; ++x)
        for (int y = a.top; y < a.bottom; ++y) blue += WinTestNear(pic.At(x, y), RGB(0, 0, 255));
    EXPECT_GT(blue, 0);  // the title in the band's fore colour
}

}  // namespace
