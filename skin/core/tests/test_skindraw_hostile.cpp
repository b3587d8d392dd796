// Skin records holding coordinates, margins and sizes at the integer limits, as a damaged or
// hostile skin file may: drawing them shows what the picture and the DC actually have, quickly
// and without any arithmetic running over (the sanitizer build checks the latter).
#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "RasterImage.h"
#include "SkinDraw.h"
#include "SkinFile.h"
#include "SkinObjectTypes.h"
#include "test_skindraw_canvas.h"

using skindrawtest::Canvas;

namespace {

const COLORREF kBack = RGB(1, 2, 3);
const COLORREF kFill = RGB(9, 200, 9);
const COLORREF kPlain = RGB(40, 80, 120);
const COLORREF kKeyNone = RGB(255, 0, 255);  // a key no picture here holds
const RECT kEverywhere = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};

COLORREF Src(LONG x, LONG y) { return RGB(x * 20 + 3, y * 20 + 3, 77); }

void AddPicture(CSkinFile& skin, const char* name, LONG w, LONG h, COLORREF (*colour)(LONG, LONG))
{
    CRasterImage picture(w, DWORD(h), 24);
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            picture.SetPixelColor(x, h - 1 - y, colour(x, y));
    auto image = std::make_unique<CSkinImageObject>();
    image->SetName(name);
    image->SetImage(picture, RASTER_FORMAT_BMP);
    skin.AddImage(std::move(image));
}

std::unique_ptr<CSkinFile> MakeSkin()
{
    auto skin = std::make_unique<CSkinFile>();
    AddPicture(*skin, "atlas", 12, 12, &Src);
    AddPicture(*skin, "plain", 3, 3, [](LONG, LONG) { return kPlain; });
    return skin;
}

SkinImagePart Part(const char* name, RECT src, DWORD mode)
{
    SkinImagePart p{};
    p.Set(name, src.left, src.top, src.right, src.bottom, mode);
    return p;
}

bool SamePixels(const Canvas& a, const Canvas& b)
{
    for (LONG y = 0; y < a.H(); ++y)
        for (LONG x = 0; x < a.W(); ++x)
            if (a.At(x, y) != b.At(x, y))
                return false;
    return true;
}

int CountOf(const Canvas& c, COLORREF colour)
{
    int n = 0;
    for (LONG y = 0; y < c.H(); ++y)
        for (LONG x = 0; x < c.W(); ++x)
            n += c.At(x, y) == colour;
    return n;
}

class HostileRecords : public ::testing::Test {
protected:
    std::unique_ptr<CSkinFile> skin = MakeSkin();
};

TEST_F(HostileRecords, ASourceReachingFarPastThePictureDrawsThePartThePictureHas)
{
    // Each far-reaching source against the source cut to the picture by hand.
    const struct {
        RECT far, inside;
    } cases[] = {{{INT_MIN, INT_MIN, 5, 4}, {0, 0, 5, 4}},
                 {{INT_MIN, 2, INT_MAX, 6}, {0, 2, 12, 6}},
                 {{3, INT_MIN + 1, 7, INT_MAX}, {3, 0, 7, 12}}};
    for (const auto& c : cases)
        for (DWORD mode : {0u, 1u, 2u}) {
            Canvas got(20, 20, kBack), want(20, 20, kBack);
            DrawSkinImage(skin.get(), got.Dc(), RECT{2, 2, 18, 15}, Part("atlas", c.far, mode), kFill, 1, false);
            DrawSkinImage(skin.get(), want.Dc(), RECT{2, 2, 18, 15}, Part("atlas", c.inside, mode), kFill, 1, false);
            EXPECT_EQ(CountOf(got, kFill), 0) << "mode " << mode << " fell back to the fill colour";
            EXPECT_TRUE(SamePixels(got, want)) << "mode " << mode << " source " << c.far.left << "," << c.far.top;
        }
    // A source wholly outside the picture has nothing to show: the fill stands in.
    Canvas c(8, 8, kBack);
    DrawSkinImage(skin.get(), c.Dc(), RECT{0, 0, 8, 8}, Part("atlas", {INT_MAX - 4, 0, INT_MAX, 4}, 1), kFill, 1,
                  false);
    EXPECT_EQ(CountOf(c, kFill), 64);
}

TEST_F(HostileRecords, ARectangleAcrossTheWholeIntegerRangeCoversTheCanvas)
{
    // Tiled: the canvas is covered, from only the tiles that reach it.
    Canvas c(24, 16, kBack);
    DrawSkinImage(skin.get(), c.Dc(), kEverywhere, Part("plain", {0, 0, 3, 3}, 1), kFill, 1, false);
    EXPECT_EQ(CountOf(c, kPlain), 24 * 16);
    c.Fill(kBack);
    DrawSkinImageTransparent(skin.get(), c.Dc(), kEverywhere, Part("plain", {0, 0, 3, 3}, 1), kBack, false);
    EXPECT_EQ(CountOf(c, kPlain), 24 * 16);
    SkinNineGrid grid{};
    grid.Set("plain", 0, 0, 3, 3, 1, 1, 1, 1, 0);
    c.Fill(kBack);
    DrawSkinImagePart(skin.get(), c.Dc(), kEverywhere, grid, kFill, 1, false);
    EXPECT_EQ(CountOf(c, kPlain), 24 * 16);
    c.Fill(kBack);
    DrawSkinImagePartTransparent(skin.get(), c.Dc(), kEverywhere, grid, kBack, false);
    EXPECT_EQ(CountOf(c, kPlain), 24 * 16);
    // Clipped, the part sits at the far corner: nothing of it reaches the canvas.
    c.Fill(kBack);
    DrawSkinImage(skin.get(), c.Dc(), kEverywhere, Part("plain", {0, 0, 3, 3}, 0), kFill, 1, false);
    EXPECT_EQ(CountOf(c, kBack), 24 * 16);
    // Stretched that far, a picture is the window system's to draw or refuse; nothing else
    // appears.
    for (DWORD mode : {1u, 3u, 8u}) {
        c.Fill(kBack);
        grid.mode = mode;
        DrawSkinImagePart(skin.get(), c.Dc(), kEverywhere, grid, kFill, 1, false);
        EXPECT_EQ(CountOf(c, kPlain) + CountOf(c, kBack), 24 * 16) << "grid mode " << mode;
    }
    // A bitmap placed at the far end of the range, keyed or not, draws nothing here.
    c.Fill(kBack);
    CRasterImage* plain = skin->FindImage("plain")->GetImage();
    HBITMAP bitmap = plain->MakeBitmap();
    for (COLORREF key : {kKeyNone, kPlain}) {
        DrawBitmapTransparent(c.Dc(), bitmap, POINT{INT_MAX - 1, INT_MAX - 1}, key);
        DrawBitmapTransparent(c.Dc(), bitmap, POINT{INT_MIN, INT_MIN}, key);
    }
    DeleteObject(bitmap);
    EXPECT_EQ(CountOf(c, kBack), 24 * 16);
    // A shadowed text whose rectangle lies at the edge of the range draws nothing here.
    c.Fill(kBack);
    SkinTextStyle style = SkinTextStyle::Default();
    style.flags |= SkinTextStyle::kShadow;
    style.shadowX = 3;
    style.shadowY = -3;
    DrawSkinTextStyle(c.Dc(), style, RECT{INT_MAX - 2, INT_MIN, INT_MAX, INT_MIN + 2}, "Ab", 2, DT_SINGLELINE);
    EXPECT_EQ(CountOf(c, kBack), 24 * 16);
}

TEST_F(HostileRecords, MarginsAtTheIntegerLimitsLeaveEachCellInsideTheRange)
{
    for (LONG margin : {INT_MIN, INT_MAX}) {
        // Every cell that has room spans the canvas, tiled from the plain picture.
        Canvas c(20, 12, kBack);
        SkinNineGrid grid{};
        grid.Set("plain", 0, 0, 3, 3, margin, margin, margin, margin, 0);
        DrawSkinImagePart(skin.get(), c.Dc(), RECT{0, 0, 20, 12}, grid, kFill, 1, false);
        EXPECT_EQ(CountOf(c, kPlain), 20 * 12) << "margin " << margin;
        // Stretched cells that large are refused or drawn, never anything else.
        for (DWORD mode : {1u, 8u}) {
            c.Fill(kBack);
            grid.mode = mode;
            DrawSkinImagePart(skin.get(), c.Dc(), RECT{0, 0, 20, 12}, grid, kFill, 1, false);
            EXPECT_EQ(CountOf(c, kPlain) + CountOf(c, kBack), 20 * 12) << "margin " << margin << " mode " << mode;
        }
    }
    // A grid whose source spans the range: its corners and edges, cut off by the margins, lie
    // outside the picture and show nothing; its centre holds the whole picture.
    Canvas got(20, 12, kBack), want(20, 12, kBack);
    SkinNineGrid far{};
    far.Set("atlas", INT_MIN, INT_MIN, INT_MAX, INT_MAX, 2, 2, 2, 2, 3);
    DrawSkinImagePart(skin.get(), got.Dc(), RECT{0, 0, 20, 12}, far, kFill, 0, false);
    DrawSkinImage(skin.get(), want.Dc(), RECT{2, 2, 18, 10}, Part("atlas", {0, 0, 12, 12}, 2), kFill, 0, false);
    EXPECT_TRUE(SamePixels(got, want));
}

TEST_F(HostileRecords, RegionsTiledOverTheWholeRangeAreMadeInAFewSteps)
{
    HRGN pixel = CreateRectRgn(0, 0, 1, 1);
    HRGN tiled = TileRegion(pixel, 1, 1, kEverywhere);
    ASSERT_TRUE(tiled);
    RECT box;
    EXPECT_EQ(GetRgnBox(tiled, &box), SIMPLEREGION);
    for (POINT p : {POINT{-100000, -100000}, POINT{0, 0}, POINT{100000, 100000}})
        EXPECT_TRUE(PtInRegion(tiled, p.x, p.y));
    DeleteObject(tiled);

    // A holed cell keeps its holes in every copy, the copies starting at the rectangle's corner.
    HRGN cell = CreateRectRgn(0, 0, 1, 1);
    tiled = TileRegion(cell, 2, 3, RECT{-7, 5, 40, 33});
    for (LONG y = 0; y < 40; ++y)
        for (LONG x = -10; x < 44; ++x) {
            const bool inside = x >= -7 && x < 40 && y >= 5 && y < 33;
            const bool want = inside && (x + 7) % 2 == 0 && (y - 5) % 3 == 0;
            ASSERT_EQ(PtInRegion(tiled, x, y) != FALSE, want) << x << "," << y;
        }
    DeleteObject(tiled);
    DeleteObject(cell);
    DeleteObject(pixel);
}

TEST(HostileFontRecord, HeightsAndWidthsAtTheLimitsGiveTextOfAModestSize)
{
    HDC dc = CreateCompatibleDC(nullptr);
    for (LONG extreme : {INT_MIN, INT_MAX}) {
        SkinFont record = SkinFont::Default("DejaVu Sans");
        record.lfHeight = extreme;
        record.lfWidth = extreme;
        const LOGFONTA lf = record.ToLogFont();
        HFONT font = CreateFontIndirectA(&lf);
        ASSERT_TRUE(font);
        HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRICA tm{};
        ASSERT_TRUE(GetTextMetricsA(dc, &tm));
        EXPECT_GT(tm.tmHeight, 0);
        EXPECT_LE(tm.tmHeight, 400) << "height " << extreme;
        EXPECT_LE(tm.tmAveCharWidth, 400) << "width " << extreme;
        SelectObject(dc, old);
        DeleteObject(font);
    }
    DeleteDC(dc);
}

TEST(HostileWindowObject, ResizingADesignWithAFarRightColumnKeepsTheColumnsInOrder)
{
    CSkinFrameWndObject frame;
    for (RECT& r : frame.m_frameRects)
        r = RECT{0, 0, 10, 10};
    frame.m_frameRects[2] = RECT{INT_MIN, 0, INT_MIN + 5, 10};
    frame.m_frameRects[8] = RECT{0, INT_MAX - 5, 10, INT_MAX};
    const RECT size = {0, 0, 300, 200};
    frame.SetRect(&size);
    // The right column moves right by one amount; the middle one widens by it, never wrapping
    // round to end before it starts.
    for (int row = 0; row < 3; ++row) {
        EXPECT_LE(frame.m_frameRects[row * 3 + 1].left, frame.m_frameRects[row * 3 + 1].right) << "row " << row;
        EXPECT_LE(frame.m_frameRects[row * 3 + 2].left, frame.m_frameRects[row * 3 + 2].right) << "row " << row;
    }
    for (int col = 0; col < 3; ++col)
        EXPECT_LE(frame.m_frameRects[6 + col].top, frame.m_frameRects[6 + col].bottom) << "column " << col;
}

}  // namespace
