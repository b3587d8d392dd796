// DCs the window system makes over a window's surface: origin, visible region below the
// program's clip, and release.
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "gdi/surface_dc.h"
#include "windows.h"

namespace {

using plat::Region;
using plat::Surface;

COLORREF At(const Surface& s, int x, int y) { return plat::ColorrefFromPixel(s.At(x, y)); }

TEST(SurfaceDC, DrawsAtItsOriginInsideTheVisibleRegionOnly) {
    auto surf = std::make_shared<Surface>(40, 30, 0);
    Region vis(RECT{10, 5, 30, 25});
    vis.Subtract(RECT{10, 5, 15, 10});  // a sibling covers the corner
    HWND fake = reinterpret_cast<HWND>(uintptr_t(0x1234));
    HDC dc = plat::gdi::CreateSurfaceDC(surf, POINT{10, 5}, &vis, fake);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(plat::gdi::WindowOfDC(dc), fake);
    EXPECT_EQ(GetObjectType(dc), DWORD(OBJ_DC));

    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT all{-100, -100, 100, 100};
    FillRect(dc, &all, red);
    EXPECT_EQ(At(*surf, 10, 5), RGB(0, 0, 0)) << "covered by the sibling";
    EXPECT_EQ(At(*surf, 15, 5), RGB(255, 0, 0));
    EXPECT_EQ(At(*surf, 29, 24), RGB(255, 0, 0));
    EXPECT_EQ(At(*surf, 30, 24), RGB(0, 0, 0)) << "outside the window";
    EXPECT_EQ(At(*surf, 9, 10), RGB(0, 0, 0));

    // DC coordinates start at the origin; the clip box is in them too.
    EXPECT_EQ(SetPixel(dc, 0, 10, RGB(0, 0, 255)), RGB(0, 0, 255));
    EXPECT_EQ(At(*surf, 10, 15), RGB(0, 0, 255));
    RECT box;
    EXPECT_EQ(GetClipBox(dc, &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 20);
    EXPECT_EQ(box.bottom, 20);

    // The program's clip narrows the visible region; it cannot widen it.
    HRGN wide = CreateRectRgn(-50, -50, 500, 500);
    SelectClipRgn(dc, wide);
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(dc, &all, green);
    EXPECT_EQ(At(*surf, 30, 24), RGB(0, 0, 0));
    EXPECT_EQ(At(*surf, 10, 5), RGB(0, 0, 0));
    IntersectClipRect(dc, 0, 0, 2, 2);
    FillRect(dc, &all, red);
    EXPECT_EQ(At(*surf, 16, 5), RGB(0, 255, 0)) << "outside the program's clip";

    // The window system can change what is visible under a living DC.
    SelectClipRgn(dc, nullptr);
    Region small(RECT{20, 20, 22, 22});
    plat::gdi::SetSurfaceDCVisible(dc, &small);
    FillRect(dc, &all, red);
    EXPECT_EQ(At(*surf, 21, 21), RGB(255, 0, 0));
    EXPECT_EQ(At(*surf, 23, 21), RGB(0, 255, 0));

    EXPECT_FALSE(plat::gdi::ReleaseSurfaceDC(reinterpret_cast<HDC>(wide)));
    HDC mem = CreateCompatibleDC(dc);
    EXPECT_FALSE(plat::gdi::ReleaseSurfaceDC(mem)) << "not a surface DC";
    DeleteDC(mem);
    EXPECT_TRUE(plat::gdi::ReleaseSurfaceDC(dc));
    EXPECT_FALSE(plat::gdi::ReleaseSurfaceDC(dc));
    EXPECT_EQ(plat::gdi::WindowOfDC(dc), nullptr);
    EXPECT_TRUE(DeleteObject(red)) << "releasing the DC deselected nothing of the program's";
    DeleteObject(green);
    DeleteObject(wide);
}

TEST(SurfaceDC, BlitsBetweenSurfacesAndBrushOriginFollowsTheDCOrigin) {
    auto surf = std::make_shared<Surface>(20, 20, 0);
    HDC a = plat::gdi::CreateSurfaceDC(surf, POINT{0, 0}, nullptr, nullptr);
    HDC b = plat::gdi::CreateSurfaceDC(surf, POINT{10, 10}, nullptr, nullptr);
    SetPixel(a, 1, 1, RGB(1, 2, 3));
    BitBlt(b, 0, 0, 3, 3, a, 0, 0, SRCCOPY);
    EXPECT_EQ(At(*surf, 11, 11), RGB(1, 2, 3));
    // A hatch lines up with each DC's own origin.
    HBRUSH h = CreateHatchBrush(HS_VERTICAL, RGB(255, 255, 255));
    SelectObject(b, h);
    SetBkMode(b, TRANSPARENT);
    PatBlt(b, 0, 0, 8, 1, PATCOPY);
    int firstWhite = -1;
    for (int x = 10; x < 18; ++x)
        if (At(*surf, x, 10) == RGB(255, 255, 255)) firstWhite = x - 10;
    SelectObject(a, h);
    SetBkMode(a, TRANSPARENT);
    PatBlt(a, 0, 5, 8, 1, PATCOPY);
    int firstWhiteA = -1;
    for (int x = 0; x < 8; ++x)
        if (At(*surf, x, 5) == RGB(255, 255, 255)) firstWhiteA = x;
    EXPECT_EQ(firstWhite, firstWhiteA);
    Region* none = plat::gdi::RegionOf(reinterpret_cast<HRGN>(h));
    EXPECT_EQ(none, nullptr);
    HRGN r = CreateRectRgn(1, 2, 3, 4);
    ASSERT_NE(plat::gdi::RegionOf(r), nullptr);
    EXPECT_EQ(plat::gdi::RegionOf(r)->Bounds(), (RECT{1, 2, 3, 4}));
    DeleteObject(r);
    plat::gdi::ReleaseSurfaceDC(a);
    plat::gdi::ReleaseSurfaceDC(b);
    EXPECT_TRUE(DeleteObject(h));
}

// Another thread may draw into a window's DC while its owner paints (a video frame while the
// window repaints): calls are serialised, and text shares the glyph caches safely.
TEST(SurfaceDC, TwoThreadsDrawingIntoOneSurfaceStayConsistent) {
    auto surf = std::make_shared<Surface>(200, 100, 0);
    HDC left = plat::gdi::CreateSurfaceDC(surf, POINT{0, 0}, nullptr, nullptr);
    HDC right = plat::gdi::CreateSurfaceDC(surf, POINT{100, 0}, nullptr, nullptr);
    auto work = [](HDC dc, COLORREF c) {
        HBRUSH b = CreateSolidBrush(c);
        HFONT f = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
        SelectObject(dc, f);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, c);
        RECT r{0, 0, 100, 100};
        for (int i = 0; i < 200; ++i) {
            FillRect(dc, &r, b);
            RECT t{0, 0, 100, 20};
            DrawTextA(dc, "frame 0123456789", -1, &t, DT_SINGLELINE | DT_END_ELLIPSIS);
        }
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(f);
        DeleteObject(b);
    };
    std::thread t1(work, left, RGB(255, 0, 0));
    std::thread t2(work, right, RGB(0, 0, 255));
    t1.join();
    t2.join();
    EXPECT_EQ(At(*surf, 50, 60), RGB(255, 0, 0));
    EXPECT_EQ(At(*surf, 150, 60), RGB(0, 0, 255));
    plat::gdi::ReleaseSurfaceDC(left);
    plat::gdi::ReleaseSurfaceDC(right);
}

}  // namespace
