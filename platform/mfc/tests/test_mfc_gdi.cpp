// Device-context and GDI object wrappers over the drawing layer.
#include <gtest/gtest.h>

#include "afxwin.h"

namespace {

class MemoryDC : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        ASSERT_TRUE(bitmap.CreateBitmap(40, 30, 1, 32, nullptr));
        old = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, 40, 30, RGB(255, 255, 255));
    }
    void TearDown() override {
        dc.SelectObject(old);
        AfxOnIdleCleanup();
    }
    CDC dc;
    CBitmap bitmap;
    CBitmap* old = nullptr;
};

TEST_F(MemoryDC, SolidFillsAndThreeDFramesHitTheirPixels) {
    dc.FillSolidRect(CRect(5, 5, 15, 10), RGB(1, 2, 3));
    EXPECT_EQ(dc.GetPixel(5, 5), RGB(1, 2, 3));
    EXPECT_EQ(dc.GetPixel(14, 9), RGB(1, 2, 3));
    EXPECT_EQ(dc.GetPixel(15, 9), RGB(255, 255, 255));
    dc.Draw3dRect(CRect(20, 10, 30, 20), RGB(255, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(20, 10), RGB(255, 0, 0));   // top-left corner: light
    EXPECT_EQ(dc.GetPixel(28, 10), RGB(255, 0, 0));   // top edge
    EXPECT_EQ(dc.GetPixel(29, 10), RGB(0, 0, 255));   // top-right corner: dark
    EXPECT_EQ(dc.GetPixel(29, 19), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(20, 19), RGB(0, 0, 255));   // bottom-left corner: dark
    EXPECT_EQ(dc.GetPixel(21, 11), RGB(255, 255, 255));
}

TEST_F(MemoryDC, SelectingGivesBackTheOldObjectOfItsClass) {
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CPen* before = dc.SelectObject(&red);
    ASSERT_NE(before, nullptr);
    EXPECT_TRUE(before->IsKindOf(RUNTIME_CLASS(CPen)));
    dc.MoveTo(0, 20);
    dc.LineTo(10, 20);
    EXPECT_EQ(dc.GetPixel(5, 20), RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(10, 20), RGB(255, 255, 255));  // the end point is not drawn
    CPen* back = dc.SelectObject(before);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->m_hObject, red.m_hObject);  // the selected pen comes back, by a temporary wrapper
}

TEST_F(MemoryDC, WindowOriginShiftsDrawingAndObjectsCleanUpAfterThemselves) {
    CPoint prev = dc.SetWindowOrg(10, 10);
    EXPECT_EQ(prev, CPoint(0, 0));
    dc.FillSolidRect(10, 10, 2, 2, RGB(0, 255, 0));
    dc.SetWindowOrg(prev);
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(0, 255, 0));
    HGDIOBJ handle;
    {
        CBrush b(RGB(9, 9, 9));
        handle = b.m_hObject;
        ASSERT_NE(handle, nullptr);
        dc.FillRect(CRect(0, 25, 5, 30), &b);
        EXPECT_EQ(dc.GetPixel(1, 26), RGB(9, 9, 9));
    }
    EXPECT_EQ(::GetObjectType(handle), 0u);  // deleted with its wrapper
    CBrush stock;
    stock.Attach(::GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(stock.Detach(), ::GetStockObject(WHITE_BRUSH));
}

TEST(GdiObjects, FontsAndBitmapsReportWhatTheyWereMadeWith) {
    LOGFONTA lf{};
    lf.lfHeight = -13;
    lf.lfWeight = FW_BOLD;
    lf.lfUnderline = TRUE;
    std::strcpy(lf.lfFaceName, "MS Sans Serif");
    CFont f;
    ASSERT_TRUE(f.CreateFontIndirect(&lf));
    LOGFONTA back{};
    ASSERT_GT(f.GetLogFont(&back), 0);
    EXPECT_EQ(back.lfHeight, -13);
    EXPECT_EQ(back.lfWeight, FW_BOLD);
    EXPECT_TRUE(back.lfUnderline);
    CBitmap mono;
    ASSERT_TRUE(mono.CreateBitmap(9, 4, 1, 1, nullptr));
    BITMAP bm{};
    ASSERT_GT(mono.GetBitmap(&bm), 0);
    EXPECT_EQ(bm.bmWidth, 9);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    CRgn a, b;
    a.CreateRectRgn(0, 0, 10, 10);
    b.CreateRectRgn(5, 5, 20, 20);
    EXPECT_EQ(a.CombineRgn(&a, &b, RGN_AND), SIMPLEREGION);
    CRect box;
    a.GetRgnBox(&box);
    EXPECT_EQ(box, CRect(5, 5, 10, 10));
    EXPECT_TRUE(a.PtInRegion(7, 7));
    EXPECT_FALSE(a.PtInRegion(3, 3));
}

}  // namespace
