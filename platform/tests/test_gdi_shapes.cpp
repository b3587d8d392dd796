// Lines, shapes, region objects and the window system's drawing helpers (edges, frame
// controls, focus rectangles, icons), checked by geometry and colour.
#include <gtest/gtest.h>

#include <vector>

#include "gdi_test_support.h"

using gdit::Canvas32;

namespace {

const COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0), kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

// A system colour as the drawing layer sees it: through the colour-index brush argument.
COLORREF Sys(int index) {
    Canvas32 c(1, 1);
    RECT r{0, 0, 1, 1};
    FillRect(c.dc, &r, reinterpret_cast<HBRUSH>(uintptr_t(index + 1)));
    return c.At(0, 0);
}

struct Selected {
    HDC dc;
    HGDIOBJ obj, old;
    Selected(HDC d, HGDIOBJ o) : dc(d), obj(o), old(SelectObject(d, o)) {}
    ~Selected() {
        SelectObject(dc, old);
        DeleteObject(obj);
    }
};

TEST(Shapes, RectangleDrawsPenOutlineAndBrushInterior) {
    Canvas32 c(12, 12);
    Selected pen(c.dc, CreatePen(PS_SOLID, 1, kRed));
    Selected brush(c.dc, CreateSolidBrush(kBlue));
    ASSERT_TRUE(Rectangle(c.dc, 2, 2, 8, 6));
    EXPECT_EQ(c.At(2, 2), kRed);
    EXPECT_EQ(c.At(7, 5), kRed) << "right and bottom edges are right-1 and bottom-1";
    EXPECT_EQ(c.At(8, 5), kWhite);
    EXPECT_EQ(c.At(3, 3), kBlue);
    EXPECT_EQ(c.Count(kRed), 2 * 6 + 2 * 2);
    EXPECT_EQ(c.Count(kBlue), 4 * 2);
    // Without a pen the filled area is one pixel smaller.
    c.Fill(kWhite);
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    Rectangle(c.dc, 2, 2, 8, 6);
    EXPECT_EQ(c.InkBox(kWhite).right, 7);
    EXPECT_EQ(c.InkBox(kWhite).bottom, 5);
    EXPECT_EQ(c.Count(kBlue), 5 * 3);
    SelectObject(c.dc, pen.obj);
    // A hollow brush leaves the inside alone.
    c.Fill(kWhite);
    SelectObject(c.dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(c.dc, 2, 2, 8, 6);
    EXPECT_EQ(c.At(4, 4), kWhite);
    EXPECT_EQ(c.Count(kRed), 16);
    SelectObject(c.dc, brush.obj);
}

TEST(Shapes, WidePenAndInsideFrame) {
    Canvas32 c(20, 20);
    Selected pen(c.dc, CreatePen(PS_INSIDEFRAME, 3, kRed));
    Selected brush(c.dc, CreateSolidBrush(kBlue));
    Rectangle(c.dc, 2, 2, 12, 12);
    EXPECT_EQ(c.InkBox(kWhite).left, 2);
    EXPECT_EQ(c.InkBox(kWhite).right, 12) << "an inside frame stays within the box";
    EXPECT_EQ(c.At(4, 7), kRed);
    EXPECT_EQ(c.At(5, 7), kBlue);
    c.Fill(kWhite);
    HPEN wide = CreatePen(PS_SOLID, 5, kRed);
    HGDIOBJ old = SelectObject(c.dc, wide);
    MoveToEx(c.dc, 3, 10, nullptr);
    LineTo(c.dc, 16, 10);
    RECT ink = c.InkBox(kWhite);
    EXPECT_EQ(ink.bottom - ink.top, 5) << "a horizontal wide line is as thick as the pen";
    EXPECT_LE(ink.left, 3);
    SelectObject(c.dc, old);
    DeleteObject(wide);
}

TEST(Lines, EndPointExcludedAndXorTwiceRestores) {
    Canvas32 c(10, 10);
    Selected pen(c.dc, CreatePen(PS_SOLID, 1, kRed));
    MoveToEx(c.dc, 1, 1, nullptr);
    LineTo(c.dc, 6, 1);
    EXPECT_EQ(c.Count(kRed), 5);
    EXPECT_EQ(c.At(6, 1), kWhite);
    POINT cp;
    GetCurrentPositionEx(c.dc, &cp);
    EXPECT_EQ(cp.x, 6);
    LineTo(c.dc, 6, 6);
    EXPECT_EQ(c.At(6, 1), kRed) << "the next segment starts at the previous end";
    EXPECT_EQ(c.At(6, 6), kWhite);
    // Diagonal: one pixel per step.
    c.Fill(kWhite);
    MoveToEx(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 5, 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(c.At(i, i), kRed);
    EXPECT_EQ(c.Count(kRed), 5);

    c.Fill(RGB(10, 20, 30));
    SetROP2(c.dc, R2_XORPEN);
    POINT pts[4] = {{1, 1}, {8, 1}, {8, 8}, {1, 8}};
    Polyline(c.dc, pts, 4);
    EXPECT_EQ(c.At(1, 1), RGB(10 ^ 255, 20, 30));
    Polyline(c.dc, pts, 4);
    EXPECT_EQ(c.Count(RGB(10, 20, 30)), 100);
    SetROP2(c.dc, R2_COPYPEN);
}

TEST(Lines, DashedNullAndOpaqueGaps) {
    Canvas32 c(60, 3);
    Selected pen(c.dc, CreatePen(PS_DOT, 1, kRed));
    SetBkMode(c.dc, TRANSPARENT);
    MoveToEx(c.dc, 0, 1, nullptr);
    LineTo(c.dc, 60, 1);
    int red = c.Count(kRed);
    EXPECT_GT(red, 20);
    EXPECT_LT(red, 40);
    EXPECT_EQ(c.Count(kWhite), 180 - red) << "transparent gaps";
    SetBkMode(c.dc, OPAQUE);
    SetBkColor(c.dc, kBlue);
    MoveToEx(c.dc, 0, 1, nullptr);
    LineTo(c.dc, 60, 1);
    EXPECT_EQ(c.Count(kBlue), 60 - red) << "opaque gaps take the background colour";
    c.Fill(kWhite);
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    MoveToEx(c.dc, 0, 1, nullptr);
    LineTo(c.dc, 60, 1);
    EXPECT_EQ(c.Count(kWhite), 180);
    SelectObject(c.dc, pen.obj);
}

TEST(Shapes, EllipseAndRoundRectStayInsideTheirBoxes) {
    Canvas32 c(40, 30);
    Selected pen(c.dc, CreatePen(PS_SOLID, 1, kRed));
    Selected brush(c.dc, CreateSolidBrush(kBlue));
    Ellipse(c.dc, 5, 5, 35, 25);
    RECT ink = c.InkBox(kWhite);
    EXPECT_EQ(ink.left, 5);
    EXPECT_EQ(ink.top, 5);
    EXPECT_EQ(ink.right, 35);
    EXPECT_EQ(ink.bottom, 25);
    EXPECT_EQ(c.At(5, 5), kWhite) << "corners are outside";
    EXPECT_EQ(c.At(20, 15), kBlue);
    EXPECT_EQ(c.At(20, 5), kRed);
    // Symmetric left to right and top to bottom.
    for (int y = 5; y < 25; ++y)
        for (int x = 5; x < 35; ++x) ASSERT_EQ(c.At(x, y), c.At(39 - x, y)) << x << "," << y;
    for (int y = 5; y < 25; ++y)
        for (int x = 5; x < 35; ++x) ASSERT_EQ(c.At(x, y), c.At(x, 29 - y)) << x << "," << y;
    c.Fill(kWhite);
    RoundRect(c.dc, 5, 5, 35, 25, 8, 8);
    EXPECT_EQ(c.InkBox(kWhite).right, 35);
    EXPECT_EQ(c.At(5, 5), kWhite);
    EXPECT_EQ(c.At(20, 5), kRed);
    EXPECT_EQ(c.At(5, 15), kRed);
    // The outline is closed: every row of the box has pen pixels at both ends.
    for (int y = 6; y < 24; ++y) {
        int first = -1, last = -1;
        for (int x = 0; x < 40; ++x)
            if (c.At(x, y) != kWhite) {
                if (first < 0) first = x;
                last = x;
            }
        EXPECT_EQ(c.At(first, y), kRed) << y;
        EXPECT_EQ(c.At(last, y), kRed) << y;
    }
}

TEST(Shapes, PolygonFillModesDifferOnlyInsideOverlaps) {
    // A five-pointed star drawn in one stroke: its centre is covered twice.
    POINT star[5] = {{20, 2}, {32, 36}, {2, 14}, {38, 14}, {8, 36}};
    Canvas32 c(40, 40);
    Selected pen(c.dc, CreatePen(PS_NULL, 1, 0));
    Selected brush(c.dc, CreateSolidBrush(kBlue));
    SetPolyFillMode(c.dc, ALTERNATE);
    Polygon(c.dc, star, 5);
    EXPECT_EQ(c.At(20, 20), kWhite) << "even-odd leaves the centre empty";
    EXPECT_EQ(c.At(20, 8), kBlue) << "a point is filled";
    int alternate = c.Count(kBlue);
    c.Fill(kWhite);
    SetPolyFillMode(c.dc, WINDING);
    Polygon(c.dc, star, 5);
    EXPECT_EQ(c.At(20, 20), kBlue) << "winding fills the centre";
    EXPECT_GT(c.Count(kBlue), alternate);
    // The same shape as a region.
    HRGN rgn = CreatePolygonRgn(star, 5, WINDING);
    int inside = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            bool in = PtInRegion(rgn, x, y);
            inside += in;
            ASSERT_EQ(in, c.At(x, y) == kBlue) << x << "," << y;
        }
    EXPECT_GT(inside, 0);
    DeleteObject(rgn);
    // A triangle with a pen: the fill stays inside the outline.
    c.Fill(kWhite);
    SelectObject(c.dc, GetStockObject(BLACK_PEN));
    POINT tri[3] = {{5, 5}, {25, 5}, {15, 15}};
    Polygon(c.dc, tri, 3);
    EXPECT_EQ(c.At(15, 7), kBlue);
    EXPECT_EQ(c.At(5, 5), kBlack);
    EXPECT_EQ(c.InkBox(kWhite).bottom, 16);
    SelectObject(c.dc, pen.obj);
}

TEST(RegionObjects, CombineModesKindsAndQueries) {
    HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(5, 5, 15, 15), d = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(d, a, b, RGN_AND), SIMPLEREGION);
    RECT box;
    EXPECT_EQ(GetRgnBox(d, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.right, 10);
    EXPECT_EQ(CombineRgn(d, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_EQ(CombineRgn(d, a, b, RGN_XOR), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(d, 7, 7));
    EXPECT_EQ(CombineRgn(d, a, b, RGN_DIFF), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(d, 1, 1));
    EXPECT_FALSE(PtInRegion(d, 12, 12));
    EXPECT_EQ(CombineRgn(d, a, a, RGN_DIFF), NULLREGION);
    EXPECT_EQ(GetRgnBox(d, &box), NULLREGION);
    EXPECT_EQ(CombineRgn(d, b, nullptr, RGN_COPY), SIMPLEREGION);
    EXPECT_TRUE(EqualRgn(d, b));
    // The destination may be a source.
    EXPECT_EQ(CombineRgn(a, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(a, 14, 14));
    EXPECT_EQ(OffsetRgn(b, -5, -5), SIMPLEREGION);
    RECT probe{9, 9, 20, 20};
    EXPECT_TRUE(RectInRegion(b, &probe));
    probe = RECT{10, 10, 20, 20};
    EXPECT_FALSE(RectInRegion(b, &probe));
    EXPECT_EQ(CombineRgn(d, a, reinterpret_cast<HRGN>(a) + 1, RGN_AND), ERROR) << "a bad handle";
    DeleteObject(a);
    EXPECT_EQ(CombineRgn(d, a, b, RGN_AND), ERROR) << "a deleted region";
    DeleteObject(b);
    DeleteObject(d);
}

TEST(RegionObjects, RegionDataRoundTripsAndScalesOutward) {
    HRGN r = CreateRectRgn(0, 0, 10, 10);
    HRGN hole = CreateRectRgn(3, 3, 6, 6);
    CombineRgn(r, r, hole, RGN_DIFF);
    DWORD need = GetRegionData(r, 0, nullptr);
    ASSERT_GT(need, sizeof(RGNDATAHEADER));
    std::vector<char> buf(need);
    RGNDATA* data = reinterpret_cast<RGNDATA*>(buf.data());
    EXPECT_EQ(GetRegionData(r, need - 1, data), 0u) << "too small";
    ASSERT_EQ(GetRegionData(r, need, data), need);
    EXPECT_EQ(data->rdh.nCount, 4u);
    EXPECT_EQ(data->rdh.rcBound.right, 10);
    HRGN copy = ExtCreateRegion(nullptr, need, data);
    EXPECT_TRUE(EqualRgn(copy, r));
    XFORM twice{2, 0, 0, 2, 1, 0};
    HRGN scaled = ExtCreateRegion(&twice, need, data);
    RECT box;
    GetRgnBox(scaled, &box);
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.right, 21);
    EXPECT_EQ(box.bottom, 20);
    EXPECT_FALSE(PtInRegion(scaled, 9, 8)) << "the hole scales too";
    XFORM shrink{0.3f, 0, 0, 0.3f, 0, 0};
    HRGN small = ExtCreateRegion(&shrink, need, data);
    GetRgnBox(small, &box);
    EXPECT_EQ(box.right, 3) << "rounded outward";
    // A header claiming more rectangles than the buffer holds is refused.
    data->rdh.nCount = 1000;
    EXPECT_EQ(ExtCreateRegion(nullptr, need, data), nullptr);
    for (HRGN h : {r, hole, copy, scaled, small}) DeleteObject(h);
}

TEST(RegionPainting, FillFrameInvertAndEllipticRegions) {
    Canvas32 c(20, 20);
    HRGN r = CreateRectRgn(2, 2, 12, 12);
    HBRUSH red = CreateSolidBrush(kRed);
    FillRgn(c.dc, r, red);
    EXPECT_EQ(c.Count(kRed), 100);
    c.Fill(kWhite);
    FrameRgn(c.dc, r, red, 2, 1);
    EXPECT_EQ(c.At(3, 5), kRed);
    EXPECT_EQ(c.At(4, 5), kWhite);
    EXPECT_EQ(c.At(5, 2), kRed);
    EXPECT_EQ(c.At(5, 3), kWhite);
    InvertRgn(c.dc, r);
    EXPECT_EQ(c.At(5, 5), kBlack);
    EXPECT_EQ(c.At(3, 5), RGB(0, 255, 255));
    HRGN e = CreateEllipticRgn(0, 0, 20, 10);
    RECT box;
    EXPECT_EQ(GetRgnBox(e, &box), COMPLEXREGION);
    EXPECT_EQ(box.right, 20);
    EXPECT_EQ(box.bottom, 10);
    EXPECT_FALSE(PtInRegion(e, 0, 0));
    EXPECT_TRUE(PtInRegion(e, 10, 5));
    HRGN rr = CreateRoundRectRgn(0, 0, 20, 10, 6, 6);
    EXPECT_FALSE(PtInRegion(rr, 0, 0));
    EXPECT_TRUE(PtInRegion(rr, 3, 0));
    for (HGDIOBJ h : {HGDIOBJ(r), HGDIOBJ(red), HGDIOBJ(e), HGDIOBJ(rr)}) DeleteObject(h);
}

TEST(Helpers, FillRectFrameRectInvertRectAndSystemColourBrushes) {
    Canvas32 c(10, 10);
    RECT r{1, 1, 5, 4};
    HBRUSH red = CreateSolidBrush(kRed);
    SetROP2(c.dc, R2_XORPEN);  // not used by FillRect
    EXPECT_TRUE(FillRect(c.dc, &r, red));
    EXPECT_EQ(c.Count(kRed), 12);
    c.Fill(kWhite);
    FrameRect(c.dc, &r, red);
    EXPECT_EQ(c.Count(kRed), 10);
    EXPECT_EQ(c.At(2, 2), kWhite);
    InvertRect(c.dc, &r);
    EXPECT_EQ(c.At(2, 2), kBlack);
    EXPECT_EQ(c.At(1, 1), RGB(0, 255, 255));
    RECT all{0, 0, 10, 10};
    FillRect(c.dc, &all, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    EXPECT_NE(c.At(5, 5), kBlack) << "the window colour";
    EXPECT_FALSE(FillRect(c.dc, &all, nullptr));
    DeleteObject(red);
}

TEST(Helpers, FocusRectangleTwiceRestoresTheImage) {
    Canvas32 c(12, 12, RGB(30, 60, 90));
    RECT r{1, 1, 11, 9};
    DrawFocusRect(c.dc, &r);
    int changed = 144 - c.Count(RGB(30, 60, 90));
    EXPECT_GT(changed, 10);
    EXPECT_LT(changed, 32) << "dotted, not solid";
    EXPECT_EQ(c.At(5, 5), RGB(30, 60, 90));
    DrawFocusRect(c.dc, &r);
    EXPECT_EQ(c.Count(RGB(30, 60, 90)), 144);
}

TEST(Helpers, DrawEdgeColoursAndAdjustment) {
    Canvas32 c(10, 10);
    RECT r{0, 0, 10, 10};
    ASSERT_TRUE(DrawEdge(c.dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST | BF_MIDDLE));
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.top, 2);
    EXPECT_EQ(r.right, 8);
    EXPECT_EQ(r.bottom, 8);
    EXPECT_EQ(c.At(0, 0), Sys(COLOR_BTNSHADOW)) << "sunken: shadow at the top left";
    EXPECT_EQ(c.At(9, 9), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(c.At(1, 1), Sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(c.At(8, 8), Sys(COLOR_3DLIGHT));
    EXPECT_EQ(c.At(5, 5), Sys(COLOR_BTNFACE));
    c.Fill(kWhite);
    r = RECT{0, 0, 10, 10};
    DrawEdge(c.dc, &r, EDGE_RAISED, BF_BOTTOM | BF_ADJUST);
    EXPECT_EQ(r.bottom, 8);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(c.At(5, 9), Sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(c.At(5, 0), kWhite);
    c.Fill(kWhite);
    r = RECT{0, 0, 10, 10};
    DrawEdge(c.dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_FLAT);
    EXPECT_EQ(c.At(0, 0), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(c.At(9, 9), Sys(COLOR_BTNSHADOW));
}

TEST(Helpers, FrameControlsShowTheirState) {
    Canvas32 c(20, 20);
    RECT r{0, 0, 20, 20};
    COLORREF text = Sys(COLOR_BTNTEXT);
    ASSERT_TRUE(DrawFrameControl(c.dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK));
    int unchecked = c.Count(text);
    c.Fill(kWhite);
    DrawFrameControl(c.dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    EXPECT_GT(c.Count(text), unchecked + 5) << "a check mark";
    c.Fill(kWhite);
    DrawFrameControl(c.dc, &r, DFC_SCROLL, DFCS_SCROLLDOWN);
    EXPECT_GT(c.Count(text), 4) << "an arrow";
    EXPECT_EQ(c.At(10, 10) == text || c.At(10, 9) == text || c.At(10, 11) == text, true);
    c.Fill(kWhite);
    DrawFrameControl(c.dc, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE);
    EXPECT_GT(c.Count(text), 6);
    EXPECT_EQ(c.At(0, 0), Sys(COLOR_BTNHIGHLIGHT)) << "a raised button";
    RECT adj = r;
    DrawFrameControl(c.dc, &adj, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
    EXPECT_EQ(adj.left, 2);
    EXPECT_EQ(adj.right, 18);
    EXPECT_FALSE(DrawFrameControl(c.dc, &r, 99, 0));

    // Drawn where the DC's origin puts them.
    Canvas32 o(40, 40);
    SetViewportOrgEx(o.dc, 20, 20, nullptr);
    for (UINT kind : {UINT(DFCS_BUTTONCHECK), UINT(DFCS_BUTTONRADIO)}) {
        o.Fill(kWhite);
        RECT box{0, 0, 13, 13};
        DrawFrameControl(o.dc, &box, DFC_BUTTON, kind | DFCS_CHECKED);
        RECT ink = o.InkBox(kWhite);
        EXPECT_GE(ink.left, 20) << kind;
        EXPECT_GE(ink.top, 20) << kind;
        EXPECT_LE(ink.right, 33) << kind;
        EXPECT_LE(ink.bottom, 33) << kind;
        EXPECT_GT(o.Count(text), 3) << kind;
    }
    o.Fill(kWhite);
    RECT diag{0, 0, 10, 10};
    DrawEdge(o.dc, &diag, EDGE_RAISED, BF_DIAGONAL_ENDTOPRIGHT | BF_MIDDLE);
    RECT ink = o.InkBox(kWhite);
    EXPECT_EQ(ink.left, 20);
    EXPECT_LE(ink.right, 30);
    EXPECT_EQ(o.At(21, 20), kWhite) << "the far corner stays";
    EXPECT_NE(o.At(29, 28), kWhite);
}

TEST(Icons, MaskedIconsDrawOnlyTheirOpaquePixels) {
    // A 2x2 icon: the mask's left column is transparent (1), the colour is all red.
    const BYTE maskBits[4] = {0x80, 0, 0x80, 0};
    HBITMAP mask = CreateBitmap(2, 2, 1, 1, maskBits);
    HDC tmp = CreateCompatibleDC(nullptr);
    HBITMAP color = CreateCompatibleBitmap(tmp, 2, 2);
    HGDIOBJ old = SelectObject(tmp, color);
    HBRUSH redBrush = CreateSolidBrush(kRed);
    RECT all{0, 0, 2, 2};
    FillRect(tmp, &all, redBrush);
    HBRUSH black = HBRUSH(GetStockObject(BLACK_BRUSH));
    RECT left{0, 0, 1, 2};
    FillRect(tmp, &left, black);  // transparent pixels are black in the colour image
    SelectObject(tmp, old);
    ICONINFO ii{TRUE, 0, 0, mask, color};
    HICON icon = CreateIconIndirect(&ii);
    ASSERT_NE(icon, nullptr);
    DeleteObject(mask);  // the icon keeps copies
    DeleteObject(color);

    Canvas32 c(6, 6, kBlue);
    SetTextColor(c.dc, RGB(0, 255, 0));  // the DC's colours must not leak into the mask
    SetBkColor(c.dc, RGB(255, 255, 0));
    ASSERT_TRUE(DrawIconEx(c.dc, 1, 1, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(c.At(1, 1), kBlue);
    EXPECT_EQ(c.At(2, 1), kRed);
    EXPECT_EQ(c.At(2, 2), kRed);
    EXPECT_EQ(c.At(3, 1), kBlue);
    // Stretched to 4x4.
    c.Fill(kBlue);
    DrawIconEx(c.dc, 0, 0, icon, 4, 4, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(c.At(1, 3), kBlue);
    EXPECT_EQ(c.At(2, 3), kRed);
    EXPECT_EQ(c.At(3, 0), kRed);

    ICONINFO out{};
    ASSERT_TRUE(GetIconInfo(icon, &out));
    EXPECT_TRUE(out.fIcon);
    BITMAP bm{};
    GetObjectA(out.hbmMask, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmWidth, 2);
    EXPECT_TRUE(DeleteObject(out.hbmMask));
    EXPECT_TRUE(DeleteObject(out.hbmColor));
    HICON copy = CopyIcon(icon);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
    EXPECT_FALSE(DrawIconEx(c.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL)) << "a destroyed icon";
    EXPECT_TRUE(DrawIconEx(c.dc, 0, 0, copy, 0, 0, 0, nullptr, DI_NORMAL));
    DestroyIcon(copy);
    DeleteObject(redBrush);
    DeleteDC(tmp);
}

// Coordinates far outside the surface cost only what is visible, and never hang or crash.
TEST(Shapes, HugeCoordinatesDrawTheVisiblePartQuickly) {
    Canvas32 c(20, 20);
    Selected pen(c.dc, CreatePen(PS_SOLID, 1, kRed));
    Selected brush(c.dc, CreateSolidBrush(kBlue));
    MoveToEx(c.dc, -2000000000, 5, nullptr);
    LineTo(c.dc, 2000000000, 5);
    for (int x = 0; x < 20; ++x) EXPECT_EQ(c.At(x, 5), kRed) << x;
    c.Fill(kWhite);
    POINT big[3] = {{-1000000000, -1000000000}, {1000000000, -1000000000}, {0, 1000000000}};
    Polygon(c.dc, big, 3);
    EXPECT_EQ(c.At(10, 10), kBlue);
    c.Fill(kWhite);
    Ellipse(c.dc, -1000000000, -1000000000, 1000000000, 1000000000);
    EXPECT_EQ(c.At(10, 10), kBlue);
    RoundRect(c.dc, -2147483000, -2147483000, 2147483000, 2147483000, 50, 50);
    HPEN wide = CreatePen(PS_SOLID, 7, kRed);
    HGDIOBJ old = SelectObject(c.dc, wide);
    MoveToEx(c.dc, -1500000000, 10, nullptr);
    LineTo(c.dc, 1500000000, 10);
    EXPECT_EQ(c.At(3, 10), kRed);
    SelectObject(c.dc, old);
    DeleteObject(wide);
    HRGN e = CreateEllipticRgn(INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2);
    EXPECT_NE(e, nullptr);
    DeleteObject(e);
    Canvas32 src(2, 2);
    EXPECT_FALSE(StretchBlt(c.dc, 0, 0, 20, 20, src.dc, 0, 0, 1000000000, 1000000000, SRCCOPY));
}

}  // namespace

TEST(Icons, StockIconsCarryTheirOwnMarks) {
    // Information is a dot over a bar; a warning is a bar over a dot: they differ just above and
    // just below the middle. A stop's cross leaves the centre line's ends clear.
    Canvas32 c(32, 32, kBlue);
    const COLORREF white = RGB(255, 255, 255);
    auto draw = [&](LPCSTR id) {
        c.Fill(kBlue);
        ASSERT_TRUE(DrawIconEx(c.dc, 0, 0, LoadIconA(nullptr, id), 0, 0, 0, nullptr, DI_NORMAL));
    };
    draw(IDI_ASTERISK);
    EXPECT_EQ(c.At(16, 8), white);
    EXPECT_NE(c.At(16, 11), white);
    EXPECT_EQ(c.At(16, 20), white);
    draw(IDI_EXCLAMATION);
    EXPECT_EQ(c.At(16, 11), white);
    EXPECT_NE(c.At(16, 20), white);
    draw(IDI_HAND);
    EXPECT_EQ(c.At(16, 16), white);
    EXPECT_EQ(c.At(11, 11), white);
    EXPECT_NE(c.At(16, 10), white);
    draw(IDI_QUESTION);
    EXPECT_EQ(c.At(16, 23), white);  // the dot
    EXPECT_NE(c.At(16, 20), white);  // the gap above it
}
