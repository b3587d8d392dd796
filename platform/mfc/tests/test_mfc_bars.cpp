// Control bars: dock sites of the framework's bar class along each edge with their side in the
// window style, tool bars docked in them (standing their buttons one under another on a side),
// a status bar's panes from string ids, and a rebar holding a tool bar.
#include <gtest/gtest.h>

#include "afxext.h"
#include "platres.h"
#include "winplat_test.h"

namespace {

// Two string resources for the status bar's panes.
const BYTE kStrings[] = {
    // block 7 holds ids 96..111: 100 = "CAP", 101 = "NUMBERS"
    0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 'C', 0, 'A', 0, 'P', 0, 7, 0, 'N', 0, 'U', 0, 'M', 0, 'B', 0, 'E', 0, 'R', 0, 'S', 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};
const PLATRES_ENTRY kTable[] = {{nullptr, 6, nullptr, 7, kStrings, sizeof kStrings}};

struct BarsFixture : ::testing::Test {
    CWnd frame;
    void SetUp() override {
        PlatRegisterResources(kTable, 1);
        ASSERT_TRUE(frame.CreateEx(0, AfxRegisterWndClass(0), "frame", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                   nullptr));
    }
    void TearDown() override {
        frame.DestroyWindow();
        WinTestPumpUntilIdle();
        PlatUnregisterResources(kTable);
    }
    static RECT InParent(HWND h) {
        RECT r;
        ::GetWindowRect(h, &r);
        ::MapWindowPoints(nullptr, ::GetParent(h), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    static void Buttons(CToolBar& bar) {
        const UINT ids[] = {201, 202, ID_SEPARATOR, 203};
        ASSERT_TRUE(bar.SetButtons(ids, 4));
    }
};

TEST_F(BarsFixture, DockSitesAreBarClassWindowsCarryingTheirSideInTheirStyle) {
    CDockSite top, left;
    ASSERT_TRUE(top.Create(&frame, CBRS_ALIGN_TOP));
    ASSERT_TRUE(left.Create(&frame, CBRS_ALIGN_LEFT));
    char cls[64];
    ::GetClassNameA(top.m_hWnd, cls, sizeof cls);
    EXPECT_STREQ(cls, "AfxControlBar42s");
    EXPECT_TRUE(::GetWindowLongA(top.m_hWnd, GWL_STYLE) & CBRS_ALIGN_TOP);
    EXPECT_TRUE(::GetWindowLongA(left.m_hWnd, GWL_STYLE) & CBRS_ALIGN_LEFT);
    EXPECT_FALSE(::GetWindowLongA(left.m_hWnd, GWL_STYLE) & (CBRS_ALIGN_TOP | CBRS_ALIGN_RIGHT | CBRS_ALIGN_BOTTOM));
    EXPECT_EQ(::GetDlgCtrlID(left.m_hWnd), AFX_IDW_DOCKBAR_LEFT);
    CDockSite bad;
    EXPECT_FALSE(bad.Create(&frame, CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT));
}

TEST_F(BarsFixture, AToolBarDockedAtTheTopLiesInARowAndAtTheLeftInAColumn) {
    CDockSite top, left;
    top.Create(&frame, CBRS_ALIGN_TOP);
    left.Create(&frame, CBRS_ALIGN_LEFT);
    CToolBar a, b;
    ASSERT_TRUE(a.CreateEx(&frame));
    ASSERT_TRUE(b.CreateEx(&frame));
    Buttons(a);
    Buttons(b);
    EXPECT_EQ(a.GetCount(), 4);
    EXPECT_EQ(a.GetItemID(2), UINT(ID_SEPARATOR));
    EXPECT_EQ(a.CommandToIndex(203), 3);
    char cls[64];
    ::GetClassNameA(a.m_hWnd, cls, sizeof cls);
    EXPECT_STREQ(cls, TOOLBARCLASSNAMEA);
    // Bar styles stay out of the tool bar's window style, where they would mean TBSTYLE_LIST.
    EXPECT_FALSE(::GetWindowLongA(a.m_hWnd, GWL_STYLE) & TBSTYLE_LIST);

    top.Dock(&a);
    left.Dock(&b);
    EXPECT_EQ(::GetParent(a.m_hWnd), top.m_hWnd);
    EXPECT_EQ(a.GetBarStyle() & CBRS_ALIGN_ANY, DWORD(CBRS_ALIGN_TOP));
    EXPECT_EQ(b.GetBarStyle() & CBRS_ALIGN_ANY, DWORD(CBRS_ALIGN_LEFT));
    RECT r0, r1;
    a.GetItemRect(0, &r0);
    a.GetItemRect(1, &r1);
    EXPECT_EQ(r1.top, r0.top);
    EXPECT_GT(r1.left, r0.left);
    b.GetItemRect(0, &r0);
    b.GetItemRect(1, &r1);
    EXPECT_EQ(r1.left, r0.left);  // one under another
    EXPECT_GT(r1.top, r0.top);

    RECT ts = InParent(top.m_hWnd), ls = InParent(left.m_hWnd);
    EXPECT_EQ(ts.right - ts.left, 400);
    EXPECT_EQ(ts.bottom - ts.top, a.CalcFixedLayout(TRUE, TRUE).cy);
    EXPECT_EQ(ls.bottom - ls.top, 300);
    EXPECT_EQ(ls.right - ls.left, b.CalcFixedLayout(TRUE, FALSE).cx);
    EXPECT_LT(ls.right - ls.left, 60);

    // Moved back to the top, the buttons stand in a row again.
    left.Undock(&b);
    top.Dock(&b);
    b.GetItemRect(1, &r1);
    b.GetItemRect(0, &r0);
    EXPECT_EQ(r1.top, r0.top);
    EXPECT_EQ(top.GetBarCount(), 2);
    EXPECT_EQ(InParent(b.m_hWnd).top, InParent(a.m_hWnd).bottom);  // a row each
}

TEST_F(BarsFixture, ToolBarButtonsTakeTheirImagesAndTextsAndSendTheirCommands) {
    CDockSite top;
    top.Create(&frame, CBRS_ALIGN_TOP);
    CToolBar bar;
    bar.CreateEx(&frame);
    Buttons(bar);
    ASSERT_TRUE(bar.SetButtonText(0, "Open"));
    char text[16] = {};
    EXPECT_EQ(::SendMessageA(bar.m_hWnd, TB_GETBUTTONTEXTA, 201, reinterpret_cast<LPARAM>(text)), 4);
    EXPECT_STREQ(text, "Open");
    HDC screen = ::GetDC(nullptr);
    HBITMAP strip = ::CreateCompatibleBitmap(screen, 48, 15);
    ::ReleaseDC(nullptr, screen);
    ASSERT_TRUE(bar.SetBitmap(strip));
    ASSERT_TRUE(bar.SetBitmap(strip));  // a second strip replaces the first one's images
    EXPECT_EQ(ImageList_GetImageCount(reinterpret_cast<HIMAGELIST>(::SendMessageA(bar.m_hWnd, TB_GETIMAGELIST, 0, 0))), 3);
    ::DeleteObject(strip);
}

TEST_F(BarsFixture, AStatusBarHasAPanePerIndicatorWithItsStringAndAStretchingOne) {
    CStatusBar bar;
    ASSERT_TRUE(bar.Create(&frame));
    const UINT ids[] = {ID_SEPARATOR, 100, 101};
    ASSERT_TRUE(bar.SetIndicators(ids, 3));
    EXPECT_EQ(bar.GetCount(), 3);
    EXPECT_STREQ(bar.GetPaneText(1), "CAP");
    EXPECT_STREQ(bar.GetPaneText(2), "NUMBERS");
    EXPECT_EQ(bar.CommandToIndex(101), 2);
    RECT p0, p1, p2;
    bar.GetItemRect(0, &p0);
    bar.GetItemRect(1, &p1);
    bar.GetItemRect(2, &p2);
    EXPECT_GT(p0.right - p0.left, 200);  // the separator takes the room the others leave
    EXPECT_GT(p2.right - p2.left, p1.right - p1.left);
    EXPECT_EQ(p2.right, 400);
    RECT r = InParent(bar.m_hWnd);
    EXPECT_EQ(r.bottom, 300);
    ASSERT_TRUE(bar.SetPaneText(0, "Ready"));
    char buf[16] = {};
    ::SendMessageA(bar.m_hWnd, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(buf));
    EXPECT_STREQ(buf, "Ready");
    EXPECT_FALSE(bar.SetPaneText(5, "x"));
}

TEST_F(BarsFixture, ARebarHoldsAToolBarInABandSizedToIt) {
    CReBar rebar;
    ASSERT_TRUE(rebar.Create(&frame));
    CToolBar bar;
    bar.CreateEx(&rebar);
    Buttons(bar);
    ASSERT_TRUE(rebar.AddBar(&bar, "Tools"));
    EXPECT_EQ(rebar.GetBandCount(), 1);
    EXPECT_EQ(::GetParent(bar.m_hWnd), rebar.m_hWnd);
    REBARBANDINFOA b{};
    b.cbSize = sizeof b;
    b.fMask = RBBIM_CHILDSIZE | RBBIM_CHILD;
    ::SendMessageA(rebar.m_hWnd, RB_GETBANDINFOA, 0, reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(b.hwndChild, bar.m_hWnd);
    EXPECT_EQ(int(b.cyMinChild), bar.CalcFixedLayout(FALSE, TRUE).cy);
    EXPECT_GE(rebar.CalcFixedLayout(TRUE, TRUE).cy, int(b.cyMinChild));
    EXPECT_EQ(InParent(rebar.m_hWnd).top, 0);
}

}  // namespace
