// The list header and its off-screen DC, checked through the pixels they leave behind.
#include <gtest/gtest.h>

#include <afxcmn.h>
#include <afxwin.h>

#include "CellHeaderCtrl.h"
#include "commctrl_test_support.h"
#include "memdc.h"

namespace {

void FillBitmap(CBitmap& bmp, int cx, int cy, COLORREF c) {
    CClientDC screen(nullptr);
    bmp.CreateCompatibleBitmap(&screen, cx, cy);
    CDC mem;
    mem.CreateCompatibleDC(&screen);
    CBitmap* old = mem.SelectObject(&bmp);
    mem.FillSolidRect(0, 0, cx, cy, c);
    mem.SelectObject(old);
}

bool IsRed(COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) < 60; }

// --- CMemDC -----------------------------------------------------------------------------------

struct MemTarget {
    CClientDC screen{nullptr};
    CDC dc;
    CBitmap bmp;
    CBitmap* old = nullptr;
    MemTarget() {
        dc.CreateCompatibleDC(&screen);
        bmp.CreateCompatibleBitmap(&screen, 60, 40);
        old = dc.SelectObject(&bmp);
        dc.FillSolidRect(0, 0, 60, 40, RGB(255, 255, 255));
    }
    ~MemTarget() { dc.SelectObject(old); }
    COLORREF At(int x, int y) { return ::GetPixel(dc.GetSafeHdc(), x, y); }
};

TEST(CellMemDC, DrawsInTheTargetsCoordinatesWithinItsClipBoxAndCopiesOnceAtTheEnd) {
    MemTarget t;
    t.dc.IntersectClipRect(10, 5, 30, 25);
    {
        CMemDC mem(&t.dc);
        // Callers draw in target coordinates: the clip box's corner is (10, 5), not (0, 0).
        mem.FillSolidRect(0, 0, 60, 40, RGB(0, 0, 255));
        mem.FillSolidRect(10, 5, 3, 3, RGB(255, 0, 0));
        // Nothing reaches the target before the object goes away.
        EXPECT_EQ(t.At(11, 6), RGB(255, 255, 255));
        EXPECT_EQ(t.At(20, 20), RGB(255, 255, 255));
    }
    EXPECT_EQ(t.At(10, 5), RGB(255, 0, 0));
    EXPECT_EQ(t.At(12, 7), RGB(255, 0, 0));
    EXPECT_EQ(t.At(13, 8), RGB(0, 0, 255));
    EXPECT_EQ(t.At(29, 24), RGB(0, 0, 255));
    // Outside the clip box the target keeps its own pixels.
    t.dc.SelectClipRgn(nullptr);
    EXPECT_EQ(t.At(9, 5), RGB(255, 255, 255));
    EXPECT_EQ(t.At(30, 24), RGB(255, 255, 255));
    EXPECT_EQ(t.At(10, 25), RGB(255, 255, 255));
    EXPECT_EQ(t.At(0, 0), RGB(255, 255, 255));
}

TEST(CellMemDC, AnEmptyClipBoxLeavesTheTargetAlone) {
    MemTarget t;
    t.dc.IntersectClipRect(10, 10, 10, 10);
    {
        CMemDC mem(&t.dc);
        mem.FillSolidRect(0, 0, 60, 40, RGB(0, 0, 255));
    }
    t.dc.SelectClipRgn(nullptr);
    EXPECT_EQ(t.At(10, 10), RGB(255, 255, 255));
    EXPECT_EQ(t.At(0, 0), RGB(255, 255, 255));
}

// --- CCellHeaderCtrl ----------------------------------------------------------------------------

class CellHeaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(top.CreateEx(0, AfxRegisterWndClass(0), "top", WS_POPUP | WS_VISIBLE, 0, 0, 400, 100, nullptr,
                                 nullptr));
        ASSERT_TRUE(header.Create(WS_CHILD | WS_VISIBLE | HDS_BUTTONS, CRect(0, 0, 360, 24), &top, 7));
        ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24, 2, 0));
        FillBitmap(blank, 16, 16, RGB(255, 255, 255));
        FillBitmap(red, 16, 16, RGB(255, 0, 0));
        images.Add(&blank, static_cast<CBitmap*>(nullptr));
        images.Add(&red, static_cast<CBitmap*>(nullptr));
    }
    void TearDown() override {
        header.DestroyWindow();
        top.DestroyWindow();
    }
    void AddItem(int pos, LPCSTR text, int width, int image) {
        HDITEM item{};
        item.mask = HDI_WIDTH | HDI_FORMAT | HDI_IMAGE | (text ? HDI_TEXT : 0);
        item.cxy = width;
        item.fmt = (text ? HDF_STRING : 0) | HDF_LEFT;
        item.pszText = const_cast<LPSTR>(text);
        item.iImage = image;
        ASSERT_EQ(header.InsertItem(pos, &item), pos);
    }
    CWnd top;
    CCellHeaderCtrl header;
    CImageList images;
    CBitmap blank, red;
};

TEST_F(CellHeaderTest, ImageOneShowsTheCheckImageImageZeroShowsNothing) {
    header.SetImageList(&images);
    AddItem(0, nullptr, 100, 1);
    AddItem(1, nullptr, 100, 0);
    header.Invalidate();
    cctest::Pump();
    cctest::Capture cap(header.m_hWnd);
    ASSERT_EQ(cap.w, 360);
    // Image 1 at the left edge, centred vertically in the 24-pixel item, 16 pixels wide.
    EXPECT_TRUE(IsRed(cap.At(0, 12)));
    EXPECT_TRUE(IsRed(cap.At(15, 4)));
    EXPECT_TRUE(IsRed(cap.At(15, 19)));
    EXPECT_FALSE(IsRed(cap.At(16, 12)));
    EXPECT_FALSE(IsRed(cap.At(8, 2)));
    // Image 0 is the blank entry: the item stays button face.
    for (int x = 102; x < 197; x += 4) EXPECT_EQ(cap.At(x, 12), GetSysColor(COLOR_3DFACE)) << x;
}

TEST_F(CellHeaderTest, TextIsBlueAndCentredAfterTheImageAndItsGap) {
    header.SetImageList(&images);
    AddItem(0, "MMMM", 160, 1);
    header.Invalidate();
    cctest::Pump();
    cctest::Capture cap(header.m_hWnd);
    int first_blue = -1, last_blue = -1;
    for (int x = 0; x < 160; ++x)
        for (int y = 0; y < 24; ++y)
            if (cap.At(x, y) == RGB(0, 0, 255)) {
                if (first_blue < 0) first_blue = x;
                last_blue = x;
            }
    ASSERT_GE(first_blue, 0) << "no text drawn";
    // Centred in what is left after the image (16) and the gap (6): 22..159.
    int centre = (first_blue + last_blue) / 2;
    EXPECT_NEAR(centre, (22 + 159) / 2, 3);
}

TEST_F(CellHeaderTest, ALongTextStaysInsideItsItem) {
    AddItem(0, "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM", 60, 0);
    AddItem(1, nullptr, 100, 0);
    header.Invalidate();
    cctest::Pump();
    cctest::Capture cap(header.m_hWnd);
    int blue_inside = 0, blue_outside = 0;
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < 24; ++y)
            if (cap.At(x, y) == RGB(0, 0, 255)) ++(x < 60 ? blue_inside : blue_outside);
    EXPECT_GT(blue_inside, 0);
    EXPECT_EQ(blue_outside, 0);
}

TEST_F(CellHeaderTest, DividersAndTheAreaRightOfTheItemsFollowADraggedDivider) {
    AddItem(0, "a", 100, 0);
    AddItem(1, "b", 80, 0);
    header.Invalidate();
    cctest::Pump();
    {
        cctest::Capture cap(header.m_hWnd);
        EXPECT_EQ(cap.At(99, 12), GetSysColor(COLOR_3DSHADOW));
        EXPECT_EQ(cap.At(100, 12), GetSysColor(COLOR_3DHIGHLIGHT));
        // No divider after the last item; the rest of the client area is framed in 3-D.
        EXPECT_EQ(cap.At(180, 12), GetSysColor(COLOR_3DHIGHLIGHT));
        EXPECT_EQ(cap.At(359, 12), GetSysColor(COLOR_3DSHADOW));
        EXPECT_EQ(cap.At(250, 0), GetSysColor(COLOR_3DHIGHLIGHT));
        EXPECT_EQ(cap.At(250, 23), GetSysColor(COLOR_3DSHADOW));
        EXPECT_EQ(cap.At(250, 12), GetSysColor(COLOR_3DFACE));
    }
    WinTestDrag(header.m_hWnd, WINTEST_LEFT, 100, 12, 140, 12, 4);
    cctest::Pump();
    HDITEM item{};
    item.mask = HDI_WIDTH;
    ASSERT_TRUE(header.GetItem(0, &item));
    EXPECT_EQ(item.cxy, 140);
    cctest::Capture cap(header.m_hWnd);
    EXPECT_EQ(cap.At(139, 12), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(cap.At(140, 12), GetSysColor(COLOR_3DHIGHLIGHT));
    EXPECT_EQ(cap.At(99, 12), GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(cap.At(220, 12), GetSysColor(COLOR_3DHIGHLIGHT));
}

TEST_F(CellHeaderTest, StyleValuesAndTheTallerLayout) {
    EXPECT_FALSE(header.SetStyleValue(5, 1));

    auto layout_height = [&] {
        RECT r = {0, 0, 360, 200};
        WINDOWPOS pos{};
        HDLAYOUT hl{&r, &pos};
        EXPECT_TRUE(header.Layout(&hl));
        return pos.cy;
    };
    int plain = layout_height();
    EXPECT_GT(plain, 0);
    EXPECT_TRUE(header.SetStyleValue(3, 1));
    EXPECT_EQ(layout_height(), plain + 2 * GetSystemMetrics(SM_CXBORDER));
}

}  // namespace
