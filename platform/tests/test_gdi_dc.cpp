// Device-context state, object selection and handle checking.
#include <gtest/gtest.h>

#include "gdi_test_support.h"
#include "windows.h"

namespace {

TEST(GdiHandles, StaleAndWrongKindHandlesFailCleanly) {
    HBRUSH br = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_NE(br, nullptr);
    EXPECT_EQ(GetObjectType(br), DWORD(OBJ_BRUSH));
    EXPECT_TRUE(DeleteObject(br));
    EXPECT_FALSE(DeleteObject(br)) << "deleting twice";
    EXPECT_EQ(GetObjectType(br), 0u);
    LOGBRUSH lb;
    EXPECT_EQ(GetObjectA(br, sizeof(lb), &lb), 0);

    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(dc, br), nullptr) << "a stale brush cannot be selected";
    // A DC handle passed where an object is expected, and the reverse.
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(dc)));
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    EXPECT_EQ(SetBkColor(reinterpret_cast<HDC>(pen), 0), CLR_INVALID);
    EXPECT_EQ(GetBkMode(reinterpret_cast<HDC>(pen)), 0);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(SetTextColor(dc, 0), CLR_INVALID);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_EQ(CreateCompatibleDC(dc), nullptr) << "a stale reference DC";
}

TEST(GdiHandles, SelectedObjectsCannotBeDeletedAndStockObjectsSurvive) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH br = CreateSolidBrush(RGB(10, 20, 30));
    HGDIOBJ old = SelectObject(dc, br);
    EXPECT_EQ(old, GetStockObject(WHITE_BRUSH));
    EXPECT_FALSE(DeleteObject(br)) << "selected";
    EXPECT_EQ(SelectObject(dc, old), br);
    EXPECT_TRUE(DeleteObject(br));

    HBITMAP bmp = CreateCompatibleBitmap(dc, 4, 4);
    HDC dc2 = CreateCompatibleDC(nullptr);
    HGDIOBJ oldBmp = SelectObject(dc, bmp);
    ASSERT_NE(oldBmp, nullptr);
    EXPECT_EQ(SelectObject(dc2, bmp), nullptr) << "a bitmap lives in one DC at a time";
    SelectObject(dc, oldBmp);
    EXPECT_NE(SelectObject(dc2, bmp), nullptr);
    DeleteDC(dc2);
    EXPECT_TRUE(DeleteObject(bmp)) << "deleting the DC releases its bitmap";

    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), DWORD(OBJ_PEN));
    DeleteDC(dc);
}

TEST(GdiDcState, SaveAndRestoreBringBackObjectsColoursOriginsAndClip) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(dc, 50, 50);
    SelectObject(dc, bmp);
    SetTextColor(dc, RGB(1, 1, 1));
    SetBkMode(dc, TRANSPARENT);
    int level1 = SaveDC(dc);
    EXPECT_EQ(level1, 1);
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(255, 0, 0));
    SelectObject(dc, pen);
    SetTextColor(dc, RGB(2, 2, 2));
    SetViewportOrgEx(dc, 5, 6, nullptr);
    IntersectClipRect(dc, 0, 0, 10, 10);
    int level2 = SaveDC(dc);
    EXPECT_EQ(level2, 2);
    SetBkColor(dc, RGB(9, 9, 9));
    SetROP2(dc, R2_XORPEN);

    EXPECT_TRUE(RestoreDC(dc, -1));
    EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
    EXPECT_EQ(GetTextColor(dc), RGB(2, 2, 2));
    RECT box;
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 10) << "clip box in logical units of the moved viewport";

    EXPECT_FALSE(DeleteObject(pen)) << "still selected";
    EXPECT_TRUE(RestoreDC(dc, level1));
    EXPECT_EQ(GetTextColor(dc), RGB(1, 1, 1));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    POINT org;
    GetViewportOrgEx(dc, &org);
    EXPECT_EQ(org.x, 0);
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 50);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_TRUE(DeleteObject(pen)) << "restoring released the pen";
    EXPECT_FALSE(RestoreDC(dc, 1)) << "that level was consumed";
    EXPECT_FALSE(RestoreDC(dc, -1));
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(bmp));
}

TEST(GdiDcState, ClipRegionModesFollowTheDocumentedRules) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(dc, 100, 100);
    SelectObject(dc, bmp);
    RECT box;
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 100);
    HRGN r = CreateRectRgn(10, 10, 20, 20);
    // OR with no clip keeps the whole surface.
    EXPECT_EQ(ExtSelectClipRgn(dc, r, RGN_OR), SIMPLEREGION);
    GetClipBox(dc, &box);
    EXPECT_EQ(box.right, 100);
    EXPECT_EQ(GetClipRgn(dc, r), 0) << "still no clip region";
    // AND with no clip takes the region.
    EXPECT_EQ(ExtSelectClipRgn(dc, r, RGN_AND), SIMPLEREGION);
    GetClipBox(dc, &box);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.right, 20);
    // OR of a disjoint rectangle makes it complex.
    HRGN r2 = CreateRectRgn(50, 50, 60, 60);
    EXPECT_EQ(ExtSelectClipRgn(dc, r2, RGN_OR), COMPLEXREGION);
    EXPECT_FALSE(PtVisible(dc, 30, 30));
    EXPECT_TRUE(PtVisible(dc, 55, 55));
    // Changing the region after selecting does not change the clip (it was copied).
    SetRectRgn(r2, 0, 0, 1, 1);
    EXPECT_TRUE(PtVisible(dc, 55, 55));
    EXPECT_EQ(ExcludeClipRect(dc, 50, 50, 60, 60), SIMPLEREGION);
    EXPECT_EQ(SelectClipRgn(dc, nullptr), SIMPLEREGION);
    EXPECT_TRUE(PtVisible(dc, 99, 99));
    EXPECT_EQ(ExtSelectClipRgn(dc, nullptr, RGN_AND), ERROR);
    // Regions are in device units: a moved viewport does not move them.
    SetViewportOrgEx(dc, 10, 10, nullptr);
    SetRectRgn(r, 0, 0, 5, 5);
    SelectClipRgn(dc, r);
    EXPECT_TRUE(PtVisible(dc, -10, -10));
    EXPECT_FALSE(PtVisible(dc, 0, 0));
    DeleteObject(r);
    DeleteObject(r2);
    DeleteDC(dc);
    DeleteObject(bmp);
}

TEST(GdiObjects, GetObjectDescribesEveryKind) {
    HBITMAP mono = CreateBitmap(17, 5, 1, 1, nullptr);
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(mono, sizeof(bm), &bm), int(sizeof(bm)));
    EXPECT_EQ(bm.bmWidth, 17);
    EXPECT_EQ(bm.bmHeight, 5);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmWidthBytes, 4) << "device rows are padded to 16 bits";
    EXPECT_EQ(bm.bmBits, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP colour = CreateCompatibleBitmap(dc, 3, 3);
    GetObjectA(colour, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmBitsPixel, 32) << "compatible bitmaps are at screen depth";
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 1) << "a new memory DC holds a 1x1 monochrome bitmap";

    HPEN pen = CreatePen(PS_DASH, 1, RGB(1, 2, 3));
    LOGPEN lp{};
    EXPECT_EQ(GetObjectA(pen, sizeof(lp), &lp), int(sizeof(lp)));
    EXPECT_EQ(lp.lopnStyle, UINT(PS_DASH));
    EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));

    HBRUSH hatch = CreateHatchBrush(HS_CROSS, RGB(4, 5, 6));
    LOGBRUSH lb{};
    GetObjectA(hatch, sizeof(lb), &lb);
    EXPECT_EQ(lb.lbStyle, UINT(BS_HATCHED));
    EXPECT_EQ(lb.lbHatch, ULONG_PTR(HS_CROSS));

    LOGFONTA lf{};
    EXPECT_EQ(GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf), int(sizeof(lf)));
    EXPECT_NE(lf.lfFaceName[0], 0);

    DeleteObject(mono);
    DeleteObject(colour);
    DeleteObject(pen);
    DeleteObject(hatch);
    DeleteDC(dc);
}

TEST(GdiClip, DrawingAfterOffsetClipRgnUsesTheMovedClip) {
    gdit::Canvas32 c(60, 30, RGB(255, 255, 255));
    HRGN r = CreateRectRgn(5, 5, 15, 15);
    SelectClipRgn(c.dc, r);
    DeleteObject(r);
    RECT all{0, 0, 60, 30};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(c.dc, &all, red);  // draws once with the first clip, so it is in use before it moves
    c.Fill(RGB(255, 255, 255));
    EXPECT_EQ(OffsetClipRgn(c.dc, 30, 10), SIMPLEREGION);
    RECT box;
    GetClipBox(c.dc, &box);
    RECT moved{35, 15, 45, 25};
    EXPECT_TRUE(EqualRect(&box, &moved));
    FillRect(c.dc, &all, red);
    EXPECT_EQ(c.Count(RGB(255, 0, 0)), 100);
    EXPECT_EQ(c.At(35, 15), RGB(255, 0, 0));
    EXPECT_EQ(c.At(44, 24), RGB(255, 0, 0));
    EXPECT_EQ(c.At(5, 5), RGB(255, 255, 255)) << "nothing where the clip was";
    // With a moved viewport the offset is in logical units, as the clip itself.
    c.Fill(RGB(255, 255, 255));
    SetViewportOrgEx(c.dc, 3, 0, nullptr);
    OffsetClipRgn(c.dc, -30, -10);
    FillRect(c.dc, &all, red);
    EXPECT_EQ(c.At(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(c.At(35, 15), RGB(255, 255, 255));
    DeleteObject(red);
}

}  // namespace
