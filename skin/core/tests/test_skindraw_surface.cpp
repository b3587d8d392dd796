// The off-screen surface and the lower drawing helpers: one block transfer from the surface's
// origin, the mask blit, regions from bitmaps against a per-pixel model (32, 16 and 8 bits),
// tiled and scaled regions, styled text, and temporary file names.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "RasterImage.h"
#include "SkinDraw.h"
#include "SkinMemDC.h"
#include "test_skindraw_canvas.h"

using skindrawtest::Canvas;

namespace {

const COLORREF kBack = RGB(1, 2, 3);
const COLORREF kKey = RGB(255, 0, 255);

COLORREF Pattern(LONG x, LONG y) { return RGB(x * 13 + 5, y * 17 + 9, 40); }
bool IsKeyCell(LONG x, LONG y) { return (x * 7 + y * 3) % 5 == 0 || (y == 2 && x > 6); }

// A bitmap of w x h painted through a surface, then detached: Pattern, key where IsKeyCell.
HBITMAP PatternBitmap(HDC like, LONG w, LONG h)
{
    CSkinMemDC surface(like, w, h);
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            SetPixel(surface, x, y, IsKeyCell(x, y) ? kKey : Pattern(x, y));
    return surface.DetachBitmap();
}

// A DIB section of the given depth (top-down) and a pointer to its pixel rows.
HBITMAP MakeDib(LONG w, LONG h, WORD bpp, void** bits, const RGBQUAD* palette = nullptr, int colors = 0)
{
    std::vector<BYTE> block(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* bmi = reinterpret_cast<BITMAPINFO*>(block.data());
    bmi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi->bmiHeader.biWidth = w;
    bmi->bmiHeader.biHeight = -h;
    bmi->bmiHeader.biPlanes = 1;
    bmi->bmiHeader.biBitCount = bpp;
    bmi->bmiHeader.biCompression = BI_RGB;
    bmi->bmiHeader.biClrUsed = DWORD(colors);
    if (palette)
        std::memcpy(bmi->bmiColors, palette, size_t(colors) * sizeof(RGBQUAD));
    return CreateDIBSection(nullptr, bmi, DIB_RGB_COLORS, bits, nullptr, 0);
}

void ExpectRegion(HRGN rgn, LONG w, LONG h, const std::function<bool(LONG, LONG)>& inside)
{
    ASSERT_NE(rgn, nullptr);
    int misses = 0;
    for (LONG y = -1; y <= h; ++y)
        for (LONG x = -1; x <= w; ++x) {
            const bool want = x >= 0 && y >= 0 && x < w && y < h && inside(x, y);
            if (bool(PtInRegion(rgn, x, y)) != want && ++misses <= 5)
                ADD_FAILURE() << "(" << x << ", " << y << ") should be " << (want ? "in" : "out");
        }
    EXPECT_EQ(misses, 0);
}

// ---- the surface and the mask blit ------------------------------------------------------------

TEST(SkinMemDC, PaintsOffScreenAndCopiesInOneTransferFromItsOrigin)
{
    Canvas screen(40, 30, kBack);
    {
        CSkinMemDC surface(screen.Dc(), 20, 10);
        ASSERT_TRUE(surface.IsValid());
        FillSolidRect(surface, RECT{0, 0, 20, 10}, RGB(200, 0, 0));
        SetPixel(surface, 0, 0, RGB(0, 0, 200));
        SetPixel(surface, 19, 9, RGB(0, 200, 0));
        EXPECT_EQ(screen.At(0, 0), kBack);  // nothing reaches the screen while painting
        BitBlt(screen.Dc(), 5, 6, 20, 10, surface, 0, 0, SRCCOPY);
    }
    for (LONG y = 0; y < 30; ++y)
        for (LONG x = 0; x < 40; ++x) {
            COLORREF want = kBack;
            if (x >= 5 && x < 25 && y >= 6 && y < 16)
                want = (x == 5 && y == 6) ? RGB(0, 0, 200) : (x == 24 && y == 15) ? RGB(0, 200, 0) : RGB(200, 0, 0);
            ASSERT_EQ(screen.At(x, y), want) << x << "," << y;
        }
}

TEST(SkinMemDC, DetachedBitmapKeepsThePictureAndBelongsToTheCaller)
{
    Canvas screen(4, 4, kBack);
    CSkinMemDC surface(screen.Dc(), 3, 2);
    FillSolidRect(surface, RECT{0, 0, 3, 2}, RGB(10, 20, 30));
    HBITMAP bmp = surface.DetachBitmap();
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(surface.GetSafeHdc(), nullptr);
    EXPECT_EQ(surface.DetachBitmap(), nullptr);
    CRasterImage img;
    ASSERT_TRUE(img.CreateFromHBITMAP(bmp));
    EXPECT_EQ(img.GetWidth(), 3u);
    EXPECT_EQ(img.GetHeight(), 2u);
    RGBQUAD q = img.GetPixelColor(2, 1, false);
    EXPECT_EQ(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue), RGB(10, 20, 30));
    EXPECT_TRUE(DeleteObject(bmp));
}

TEST(SkinDrawBlit, TransparentBlitsLeaveTheDestinationUnderTheKey)
{
    Canvas c(24, 16, kBack);
    HBITMAP src = PatternBitmap(c.Dc(), 10, 6);
    ASSERT_NE(src, nullptr);
    ASSERT_TRUE(TransparentBitBlt(c.Dc(), 3, 2, 8, 5, src, 1, 1, kKey));
    for (LONG y = 0; y < 16; ++y)
        for (LONG x = 0; x < 24; ++x) {
            COLORREF want = kBack;
            if (x >= 3 && x < 11 && y >= 2 && y < 7) {
                const LONG sx = x - 3 + 1, sy = y - 2 + 1;
                want = IsKeyCell(sx, sy) ? kBack : Pattern(sx, sy);
            }
            ASSERT_EQ(c.At(x, y), want) << x << "," << y;
        }
    // The DC's colours are left as they were.
    SetTextColor(c.Dc(), RGB(1, 1, 1));
    SetBkColor(c.Dc(), RGB(2, 2, 2));
    TransparentBitBlt(c.Dc(), 0, 0, 2, 2, src, 0, 0, kKey);
    EXPECT_EQ(GetTextColor(c.Dc()), RGB(1, 1, 1));
    EXPECT_EQ(GetBkColor(c.Dc()), RGB(2, 2, 2));

    // Stretched twice as large: each source pixel covers 2 x 2.
    c.Fill(kBack);
    ASSERT_TRUE(TransparentStretchBlt(c.Dc(), 0, 0, 20, 12, src, 0, 0, 10, 6, kKey));
    for (LONG y = 0; y < 12; ++y)
        for (LONG x = 0; x < 20; ++x)
            ASSERT_EQ(c.At(x, y), IsKeyCell(x / 2, y / 2) ? kBack : Pattern(x / 2, y / 2)) << x << "," << y;
    DeleteObject(src);
    EXPECT_FALSE(TransparentBitBlt(c.Dc(), 0, 0, 4, 4, nullptr, 0, 0, kKey));
}

// Only what the destination shows is worked on: a picture hanging over the canvas's edges is
// drawn right where it shows, and one stretched over an area far beyond any screen costs what
// the canvas holds (a damaged skin may ask for that).
TEST(SkinDrawBlit, TransparentBlitsPastTheDestinationsEdgesDrawWhatShows)
{
    Canvas c(24, 16, kBack);
    HBITMAP src = PatternBitmap(c.Dc(), 10, 6);
    ASSERT_NE(src, nullptr);
    ASSERT_TRUE(TransparentBitBlt(c.Dc(), -3, -2, 10, 6, src, 0, 0, kKey));
    for (LONG y = 0; y < 16; ++y)
        for (LONG x = 0; x < 24; ++x) {
            const LONG sx = x + 3, sy = y + 2;
            const COLORREF want = sx < 10 && sy < 6 && !IsKeyCell(sx, sy) ? Pattern(sx, sy) : kBack;
            ASSERT_EQ(c.At(x, y), want) << x << "," << y;
        }
    c.Fill(kBack);
    ASSERT_TRUE(TransparentStretchBlt(c.Dc(), -4, -6, 20, 12, src, 0, 0, 10, 6, kKey));
    for (LONG y = 0; y < 6; ++y)
        for (LONG x = 0; x < 16; ++x) {
            const LONG sx = (x + 4) / 2, sy = (y + 6) / 2;
            ASSERT_EQ(c.At(x, y), IsKeyCell(sx, sy) ? kBack : Pattern(sx, sy)) << x << "," << y;
        }
    EXPECT_EQ(c.At(16, 0), kBack);
    c.Fill(kBack);
    ASSERT_TRUE(TransparentStretchBlt(c.Dc(), 0, 0, 1 << 19, 1 << 19, src, 0, 0, 10, 6, kKey));
    const COLORREF corner = IsKeyCell(0, 0) ? kBack : Pattern(0, 0);
    EXPECT_EQ(c.At(0, 0), corner);
    EXPECT_EQ(c.At(23, 15), corner);
    // A stretch the window system refuses fails and leaves the destination as it was.
    c.Fill(kBack);
    EXPECT_FALSE(TransparentStretchBlt(c.Dc(), 0, 0, 1 << 25, 1 << 25, src, 0, 0, 10, 6, kKey));
    EXPECT_EQ(c.At(0, 0), kBack);
    // Wholly outside: nothing to draw, and that is no failure.
    EXPECT_TRUE(TransparentBitBlt(c.Dc(), 100, 100, 4, 4, src, 0, 0, kKey));
    DeleteObject(src);
}

TEST(SkinDrawBlit, ImagesAndBitmapsDrawnWithAKeyColour)
{
    Canvas c(12, 12, kBack);
    CRasterImage img(5, 4, 24);
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 5; ++x)
            img.SetPixelColor(x, 3 - y, IsKeyCell(x, y) ? kKey : Pattern(x, y));
    // Clipped to a 3 x 4 rectangle.
    ASSERT_TRUE(DrawImageTransparent(c.Dc(), &img, RECT{2, 2, 5, 10}, kKey));
    for (LONG y = 0; y < 12; ++y)
        for (LONG x = 0; x < 12; ++x) {
            const bool in = x >= 2 && x < 5 && y >= 2 && y < 6;
            const COLORREF want = in && !IsKeyCell(x - 2, y - 2) ? Pattern(x - 2, y - 2) : kBack;
            ASSERT_EQ(c.At(x, y), want) << x << "," << y;
        }
    c.Fill(kBack);
    HBITMAP bmp = PatternBitmap(c.Dc(), 6, 3);
    ASSERT_TRUE(DrawBitmapTransparent(c.Dc(), bmp, POINT{4, 7}, kKey));
    for (LONG y = 0; y < 3; ++y)
        for (LONG x = 0; x < 6; ++x)
            ASSERT_EQ(c.At(4 + x, 7 + y), IsKeyCell(x, y) ? kBack : Pattern(x, y)) << x << "," << y;
    EXPECT_EQ(c.At(3, 7), kBack);
    DeleteObject(bmp);
}

// ---- regions ----------------------------------------------------------------------------------

TEST(SkinDrawRegions, RegionFromBitmapCoversExactlyTheNonKeyPixels)
{
    // 32 bits, via a surface.
    Canvas screen(2, 2, kBack);
    HBITMAP bmp = PatternBitmap(screen.Dc(), 17, 9);
    HRGN rgn = CreateRegionFromBitmap(bmp, kKey);
    ExpectRegion(rgn, 17, 9, [](LONG x, LONG y) { return !IsKeyCell(x, y); });
    DeleteObject(rgn);
    DeleteObject(bmp);

    // Entirely the key colour: an empty region, not a failure.
    CSkinMemDC all(screen.Dc(), 6, 4);
    FillSolidRect(all, RECT{0, 0, 6, 4}, kKey);
    HBITMAP keyOnly = all.DetachBitmap();
    rgn = CreateRegionFromBitmap(keyOnly, kKey);
    ASSERT_NE(rgn, nullptr);
    RECT box;
    EXPECT_EQ(GetRgnBox(rgn, &box), NULLREGION);
    DeleteObject(rgn);
    DeleteObject(keyOnly);
    EXPECT_EQ(CreateRegionFromBitmap(nullptr, kKey), nullptr);
}

TEST(SkinDrawRegions, PalettedAndSixteenBitBitmapsCompareTheirOwnColours)
{
    // 8 bits: index 3 holds the key; index 4 a colour close to it stays in.
    RGBQUAD pal[8] = {};
    for (int i = 0; i < 8; ++i)
        pal[i] = RGBQUAD{BYTE(i * 30), BYTE(i * 20), BYTE(i * 10), 0};
    pal[3] = RGBQUAD{255, 0, 255, 0};
    pal[4] = RGBQUAD{254, 0, 255, 0};
    BYTE* bits8 = nullptr;
    HBITMAP b8 = MakeDib(9, 5, 8, reinterpret_cast<void**>(&bits8), pal, 8);
    ASSERT_NE(b8, nullptr);
    const LONG stride8 = 12;  // rows are padded to 4 bytes
    for (LONG y = 0; y < 5; ++y)
        for (LONG x = 0; x < 9; ++x)
            bits8[y * stride8 + x] = BYTE((x + y) % 5);
    HRGN rgn = CreateRegionFromBitmap(b8, kKey);
    ExpectRegion(rgn, 9, 5, [](LONG x, LONG y) { return (x + y) % 5 != 3; });
    DeleteObject(rgn);
    DeleteObject(b8);

    // 16 bits (5-5-5): the key matches the pixels it rounds to, whatever its low bits.
    WORD* bits16 = nullptr;
    HBITMAP b16 = MakeDib(6, 3, 16, reinterpret_cast<void**>(&bits16));
    ASSERT_NE(b16, nullptr);
    const WORD keyWord = WORD((16 << 10) | (2 << 5) | 1);  // red 0x80, green 0x10, blue 0x08
    for (LONG y = 0; y < 3; ++y)
        for (LONG x = 0; x < 6; ++x)
            bits16[y * 6 + x] = (x == y || x == 5) ? keyWord : WORD((x << 10) | (y << 5) | 3);
    rgn = CreateRegionFromBitmap(b16, RGB(0x84, 0x13, 0x0F));
    ExpectRegion(rgn, 6, 3, [](LONG x, LONG y) { return !(x == y || x == 5); });
    DeleteObject(rgn);
    DeleteObject(b16);
}

TEST(SkinDrawRegions, ImageRegionMatchesTheBitmapRegion)
{
    CRasterImage img(7, 5, 24);
    for (LONG y = 0; y < 5; ++y)
        for (LONG x = 0; x < 7; ++x)
            img.SetPixelColor(x, 4 - y, IsKeyCell(x, y) ? kKey : Pattern(x, y));
    HRGN a = CreateRegionFromImage(img, kKey);
    ExpectRegion(a, 7, 5, [](LONG x, LONG y) { return !IsKeyCell(x, y); });
    HBITMAP bmp = img.MakeBitmap();
    HRGN b = CreateRegionFromBitmap(bmp, kKey);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(EqualRgn(a, b));
    DeleteObject(a);
    DeleteObject(b);
    DeleteObject(bmp);
}

TEST(SkinDrawRegions, TiledAndTransformedCopiesLeaveTheSourceAlone)
{
    // An L of three pixels in a 3 x 2 cell.
    HRGN cell = CreateRectRgn(0, 0, 2, 1);
    HRGN foot = CreateRectRgn(0, 1, 1, 2);
    CombineRgn(cell, cell, foot, RGN_OR);
    DeleteObject(foot);
    auto inCell = [](LONG u, LONG v) { return (v == 0 && u < 2) || (v == 1 && u == 0); };

    const RECT rc = {1, 2, 9, 8};
    HRGN tiled = TileRegion(cell, 3, 2, rc);
    ExpectRegion(tiled, 12, 12, [&](LONG x, LONG y) {
        return x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom &&
               inCell((x - rc.left) % 3, (y - rc.top) % 2);
    });
    DeleteObject(tiled);
    EXPECT_EQ(TileRegion(cell, 0, 2, rc), nullptr);
    EXPECT_EQ(TileRegion(nullptr, 3, 2, rc), nullptr);

    HRGN scaled = TransformRegion(cell, 2.0f, 3.0f, 5, 7);
    ExpectRegion(scaled, 20, 20, [&](LONG x, LONG y) {
        return x >= 5 && y >= 7 && x < 11 && y < 13 && inCell((x - 5) / 2, (y - 7) / 3);
    });
    DeleteObject(scaled);
    // The source is unchanged.
    ExpectRegion(cell, 3, 2, inCell);
    DeleteObject(cell);
    EXPECT_EQ(TransformRegion(nullptr, 1, 1, 0, 0), nullptr);
}

// ---- text -------------------------------------------------------------------------------------

struct Ink {
    int count = 0;
    LONG minX = 1 << 20, maxX = -1, minY = 1 << 20;
};

Ink Find(const Canvas& c, COLORREF colour)
{
    Ink ink;
    for (LONG y = 0; y < c.H(); ++y)
        for (LONG x = 0; x < c.W(); ++x)
            if (c.At(x, y) == colour) {
                ++ink.count;
                ink.minX = std::min(ink.minX, x);
                ink.maxX = std::max(ink.maxX, x);
                ink.minY = std::min(ink.minY, y);
            }
    return ink;
}

TEST(SkinDrawText, StyleGivesColoursShadowOffsetAndRestoresTheDc)
{
    const COLORREF text = RGB(0, 0, 250), shadow = RGB(250, 0, 0);
    SkinTextStyle style = SkinTextStyle::Default();
    style.SetTextColor(text);
    style.SetShadowColor(shadow);
    style.flags = SkinTextStyle::kShadow;
    style.shadowX = -3;
    style.shadowY = 2;

    Canvas c(120, 40, RGB(255, 255, 255));
    SetTextColor(c.Dc(), RGB(7, 7, 7));
    SetBkMode(c.Dc(), OPAQUE);
    DrawSkinTextStyle(c.Dc(), style, RECT{10, 5, 110, 35}, "WMW", -1, DT_LEFT | DT_TOP | DT_SINGLELINE);
    const Ink t = Find(c, text), s = Find(c, shadow);
    ASSERT_GT(t.count, 0);
    ASSERT_GT(s.count, 0);
    EXPECT_EQ(s.minX, t.minX - 3);  // the text is drawn over its shadow
    EXPECT_EQ(s.minY, t.minY + 2);
    EXPECT_EQ(GetTextColor(c.Dc()), RGB(7, 7, 7));
    EXPECT_EQ(GetBkMode(c.Dc()), OPAQUE);

    // Without the flag: no shadow at all; right alignment moves the ink right.
    style.flags = 0;
    c.Fill(RGB(255, 255, 255));
    DrawSkinTextStyle(c.Dc(), style, RECT{10, 5, 110, 35}, "WMW", 3, DT_RIGHT | DT_TOP | DT_SINGLELINE);
    const Ink r = Find(c, text);
    EXPECT_EQ(Find(c, shadow).count, 0);
    ASSERT_GT(r.count, 0);
    EXPECT_GT(r.minX, 60);
    EXPECT_LT(r.maxX, 110);

    // Only the given length is drawn.
    c.Fill(RGB(255, 255, 255));
    DrawSkinText(c.Dc(), RECT{10, 5, 110, 35}, 0, 0, shadow, text, "WMW", 1, DT_LEFT | DT_SINGLELINE);
    const Ink one = Find(c, text);
    EXPECT_LT(one.maxX - one.minX, t.maxX - t.minX);
}

// ---- small helpers ----------------------------------------------------------------------------

TEST(SkinDrawHelpers, TemporaryNamesAndEmptyRecords)
{
    char out[MAX_PATH];
    ASSERT_TRUE(MakeTempFileName(out, sizeof out, "QV$$TEMP.AVI", "/tmp/", "avi"));
    const std::string path = out;
    ASSERT_GT(path.size(), 4u);
    EXPECT_EQ(path.substr(path.size() - 4), ".avi");
    EXPECT_NE(path.find('/'), std::string::npos);
    char tiny[4] = "xyz";
    EXPECT_FALSE(MakeTempFileName(tiny, sizeof tiny, "a", "/tmp/", "avi"));
    EXPECT_EQ(tiny[0], 0);
    std::remove(path.substr(0, path.size() - 4).c_str());  // the unique name may have been created

    SkinImagePart p{};
    EXPECT_TRUE(IsImagePartEmpty(p));
    p.Set("x", 0, 0, 3, 3, 0);
    EXPECT_FALSE(IsImagePartEmpty(p));
    p.Set("x", 3, 0, 3, 3, 0);
    EXPECT_TRUE(IsImagePartEmpty(p));
    p.Set("", 0, 0, 3, 3, 0);
    EXPECT_TRUE(IsImagePartEmpty(p));
    SkinNineGrid g{};
    g.Set("x", 0, 0, 3, 3, 1, 1, 1, 1, 0);
    EXPECT_FALSE(IsGridPartEmpty(g));
    g.Set("x", 0, 4, 3, 3, 1, 1, 1, 1, 0);
    EXPECT_TRUE(IsGridPartEmpty(g));
}

}  // namespace
