// The drawing effects, checked pixel by pixel against values worked out here.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "DrawManager.h"
#include "markup_test_support.h"

using markuptest::Canvas;
using markuptest::CountIn;
using markuptest::SolidBitmap;

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0);

TEST(DrawEffectsColours, ChannelArithmetic)
{
    EXPECT_EQ(RGB(255, 255, 255), CDrawManager::LightenColor(RGB(220, 220, 220), 0.25));
    EXPECT_EQ(RGB(125, 62, 0), CDrawManager::LightenColor(RGB(100, 50, 0), 0.25));
    EXPECT_EQ(RGB(100, 50, 0), CDrawManager::LightenColor(RGB(100, 50, 0), 1.5));  // out of range: unchanged
    EXPECT_EQ(RGB(75, 37, 0), CDrawManager::DarkenColor(RGB(100, 50, 0), 0.75));
    EXPECT_EQ(RGB(100, 50, 0), CDrawManager::DarkenColor(RGB(100, 50, 0), 1.0));
    EXPECT_EQ(RGB(155, 205, 255), CDrawManager::InvertColor(RGB(100, 50, 0)));
    const int level = int(0.299 * 200 + 0.587 * 100 + 0.114 * 50);
    EXPECT_EQ(RGB(level, level, level), CDrawManager::GrayColor(RGB(200, 100, 50)));
}

TEST(DrawEffectsGradient, SixtyFourBandsTruncateTowardTheStart)
{
    CDrawManager dm;
    Canvas c(64, 4, kRed);
    dm.FillGradient(c.Dc(), 0, 0, 64, 4, RGB(0, 0, 0), kWhite, TRUE);
    for (int x = 0; x < 64; ++x) {
        const int v = (x * 255) >> 6;
        ASSERT_EQ(RGB(v, v, v), c.At(x, 2)) << x;
    }
    EXPECT_EQ(RGB(251, 251, 251), c.At(63, 0));  // the last band is 63/64 of the way

    // Over 32 pixels every other band is empty: column x shows band 2x + 1.
    Canvas half(32, 32, kRed);
    dm.FillGradient(half.Dc(), 0, 0, 32, 32, RGB(0, 0, 0), kWhite, FALSE);
    for (int y = 0; y < 32; ++y) {
        const int v = ((2 * y + 1) * 255) >> 6;
        ASSERT_EQ(RGB(v, v, v), half.At(5, y)) << y;
    }
}

TEST(DrawEffectsGradient, CentredAndThreeColourBackgrounds)
{
    CDrawManager dm;
    Canvas c(128, 2, kRed);
    dm.FillBackground(c.Dc(), CDrawManager::kBackHCGradient, RECT{0, 0, 128, 2}, RGB(0, 0, 0), 0, RGB(0, 0, 252));
    EXPECT_EQ(RGB(0, 0, 0), c.At(0, 0));
    EXPECT_EQ(RGB(0, 0, 3), c.At(127, 0));       // the right half runs back, 63/64 of the way...
    EXPECT_EQ(RGB(0, 0, 248), c.At(63, 0));      // ...from near the end colour at the middle
    dm.FillBackground(c.Dc(), CDrawManager::kBack3HGradient, RECT{0, 0, 128, 2}, RGB(0, 0, 0), RGB(0, 64, 0),
                      RGB(64, 0, 0));
    EXPECT_EQ(RGB(0, 64, 0), c.At(64, 1));       // the middle colour starts the right half
    dm.FillBackground(c.Dc(), CDrawManager::kBackSolid, RECT{10, 0, 20, 2}, RGB(1, 2, 3), 0, 0);
    EXPECT_EQ(RGB(1, 2, 3), c.At(15, 1));

    // The vertical ones split at the middle row; an odd height leaves the longer half below.
    Canvas v(2, 129, kRed);
    dm.FillBackground(v.Dc(), CDrawManager::kBackVCGradient, RECT{0, 0, 2, 129}, RGB(0, 0, 0), 0, RGB(0, 252, 0));
    EXPECT_EQ(RGB(0, 0, 0), v.At(1, 0));
    EXPECT_EQ(RGB(0, 248, 0), v.At(1, 63));   // the last band of the upper half
    EXPECT_EQ(RGB(0, 252, 0), v.At(1, 64));   // the lower half starts at the end colour
    EXPECT_EQ(RGB(0, 3, 0), v.At(1, 128));    // and runs back almost to the start colour
    dm.FillBackground(v.Dc(), CDrawManager::kBack3VGradient, RECT{0, 0, 2, 129}, RGB(0, 0, 0), RGB(0, 0, 64),
                      RGB(64, 0, 0));
    EXPECT_EQ(RGB(0, 0, 0), v.At(0, 0));
    EXPECT_EQ(RGB(0, 0, 64), v.At(0, 64));
    EXPECT_EQ(RGB(63, 0, 1), v.At(0, 128));
}

TEST(DrawEffectsLines, StyleZeroOrWidthZeroDrawsNothingAndDoubleAddsASecondLine)
{
    CDrawManager dm;
    Canvas c(40, 40, kWhite);
    dm.DrawLine(c.Dc(), 0, 5, 40, 5, kRed, 0, 1);
    dm.DrawLine(c.Dc(), 0, 6, 40, 6, kRed, 1, 0);
    EXPECT_EQ(0, CountIn(c, RECT{0, 0, 40, 40}, kRed));
    dm.DrawLine(c.Dc(), 0, 10, 30, 10, kRed, CDrawManager::kBorderDouble, 1);
    EXPECT_EQ(30, CountIn(c, RECT{0, 10, 40, 11}, kRed));
    EXPECT_EQ(30, CountIn(c, RECT{0, 12, 40, 13}, kRed));  // 2 x width lower
    EXPECT_EQ(0, CountIn(c, RECT{0, 11, 40, 12}, kRed));
}

TEST(DrawEffectsBorders, LightTopLeftDarkBottomRightInsideTheRectangle)
{
    CDrawManager dm;
    const COLORREF light = RGB(0, 200, 0), dark = RGB(0, 0, 200);
    Canvas c(40, 40, kWhite);
    dm.DrawBorder(c.Dc(), RECT{5, 5, 25, 20}, light, dark, CDrawManager::kBorderSolid, 1);
    EXPECT_EQ(light, c.At(5, 10));
    EXPECT_EQ(light, c.At(12, 5));
    EXPECT_EQ(dark, c.At(24, 10));
    EXPECT_EQ(dark, c.At(12, 19));
    EXPECT_EQ(kWhite, c.At(25, 10));  // nothing outside the rectangle
    EXPECT_EQ(kWhite, c.At(12, 20));
    EXPECT_EQ(kWhite, c.At(12, 12));
    // The whole ring and nothing else.
    EXPECT_EQ(2 * 20 + 2 * 13, 40 * 40 - CountIn(c, RECT{0, 0, 40, 40}, kWhite));

    Canvas d(40, 40, kWhite);
    dm.DrawBorder(d.Dc(), RECT{0, 0, 30, 30}, light, dark, CDrawManager::kBorderDouble, 1);
    EXPECT_EQ(light, d.At(0, 15));
    EXPECT_EQ(light, d.At(2, 15));  // the inner line 2 x width inside
    EXPECT_EQ(kWhite, d.At(1, 15));
    EXPECT_EQ(dark, d.At(27, 15));
    EXPECT_EQ(0, CountIn(d, RECT{0, 0, 40, 40}, kRed));
}

TEST(DrawEffectsTiles, TilesRepeatAndAnEmptyTileEnds)
{
    CDrawManager dm;
    HBITMAP tile = SolidBitmap(4, 4, kRed, RECT{0, 0, 2, 2}, RGB(0, 0, 255));
    HDC src = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(src, tile);
    Canvas c(10, 10, kWhite);
    dm.TileBlit(c.Dc(), 0, 0, 10, 10, src, 0, 0, 4, 4);
    EXPECT_EQ(RGB(0, 0, 255), c.At(8, 8));
    EXPECT_EQ(RGB(0, 0, 255), c.At(9, 9));
    EXPECT_EQ(kRed, c.At(7, 7));
    EXPECT_EQ(RGB(0, 0, 255), c.At(4, 0));
    dm.TileBlit(c.Dc(), 0, 0, 10, 10, src, 0, 0, 0, 4);  // would never advance
    dm.TileBlit(c.Dc(), 0, 0, 10, 10, src, 0, 0, 4, -1);
    SelectObject(src, old);
    DeleteDC(src);
    DeleteObject(tile);
}

TEST(DrawEffectsBitmaps, MaskColourKeepsTheBackgroundAlsoWhenInvertedOrRed)
{
    CDrawManager dm;
    const COLORREF key = RGB(255, 0, 0);  // not the same read both ways round, unlike magenta
    HBITMAP bmp = SolidBitmap(10, 10, key, RECT{2, 2, 8, 8}, RGB(0, 100, 200));
    Canvas c(30, 20, RGB(0, 255, 0));
    dm.DrawBitmap(c.Dc(), 0, 0, 10, 10, bmp, TRUE, key, 0, FALSE, 0, 0, 1, 1, 0);
    EXPECT_EQ(RGB(0, 255, 0), c.At(0, 0));
    EXPECT_EQ(RGB(0, 100, 200), c.At(5, 5));
    dm.DrawBitmap(c.Dc(), 15, 0, 10, 10, bmp, TRUE, key, CDrawManager::kInvert, FALSE, 0, 0, 1, 1, 0);
    EXPECT_EQ(RGB(0, 255, 0), c.At(15, 0));  // inverted, and still transparent where masked
    EXPECT_EQ(RGB(255, 155, 55), c.At(20, 5));
    DeleteObject(bmp);

    // Stretched to twice the size, grey.
    HBITMAP small = SolidBitmap(2, 2, RGB(200, 100, 50));
    Canvas s(8, 8, kWhite);
    dm.DrawBitmap(s.Dc(), 0, 0, 4, 4, small, FALSE, 0, CDrawManager::kGray, FALSE, 0, 0, 1, 1, 0);
    EXPECT_EQ(CDrawManager::GrayColor(RGB(200, 100, 50)), s.At(3, 3));
    EXPECT_EQ(kWhite, s.At(4, 4));
    DeleteObject(small);
}

// The shadow of a 10 x 10 black square over white, offset by (4, 4), as worked out here.
std::vector<COLORREF> ShadowReference(bool soft, int ex, int ey, COLORREF shade)
{
    const int w = 10, h = 10;
    std::vector<int> level(size_t(w) * h, 255);  // the shadow picture's first channel
    if (!soft) {
        std::fill(level.begin(), level.end(), GetRValue(shade));
    } else {
        // The square shrunk into (ex/2, ey/2, w - ex, h - ey) of white.
        for (int y = ey / 2; y < ey / 2 + h - ey; ++y)
            for (int x = ex / 2; x < ex / 2 + w - ex; ++x) level[size_t(y) * w + x] = GetRValue(shade);
    }
    std::vector<COLORREF> out(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double f;
            if (!soft) {
                f = level[size_t(y) * w + x] * 0.00392156862745098;
            } else {
                long sum = 0;
                for (int yy = y - ey / 2; yy <= y + ey / 2; ++yy)
                    for (int xx = x - ex / 2; xx <= x + ex / 2; ++xx)
                        sum += (xx < 0 || yy < 0 || xx >= w || yy >= h) ? 255 : level[size_t(yy) * w + xx];
                f = double(sum) / (double(ex) * ey * 255);
            }
            out[size_t(y) * w + x] = CDrawManager::DarkenColor(kWhite, f);
        }
    return out;
}

TEST(DrawEffectsShadows, HardAndSoftShadowsMatchTheReference)
{
    CDrawManager dm;
    const COLORREF shade = RGB(128, 128, 128);
    HBITMAP square = SolidBitmap(10, 10, RGB(0, 0, 0));
    for (bool soft : {false, true}) {
        Canvas c(30, 30, kWhite);
        const DWORD effects = soft ? CDrawManager::kSoftShadow : CDrawManager::kHardShadow;
        dm.DrawBitmap(c.Dc(), 2, 2, 10, 10, square, FALSE, 0, effects, TRUE, 4, 4, 3, 3, shade);
        const std::vector<COLORREF> ref = ShadowReference(soft, 3, 3, shade);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) {
                const int cx = 6 + x, cy = 6 + y;
                if (cx < 12 && cy < 12) continue;  // under the image itself
                ASSERT_EQ(ref[size_t(y) * 10 + x], c.At(cx, cy)) << "soft " << soft << " at " << x << "," << y;
            }
        EXPECT_EQ(RGB(0, 0, 0), c.At(5, 5));
        EXPECT_EQ(kWhite, c.At(17, 17));
    }
    // A soft shadow no larger than its blur is left out rather than read out of bounds.
    Canvas t(20, 20, kWhite);
    dm.DrawShadow(t.Dc(), 0, 0, 3, 3, square, TRUE, 7, 7);
    EXPECT_EQ(0, 400 - CountIn(t, RECT{0, 0, 20, 20}, kWhite));
    DeleteObject(square);
}

TEST(DrawEffectsSurfaces, EmptyAndHugeRequestsGiveNothing)
{
    CDrawManager dm;
    HBITMAP bmp = SolidBitmap(4, 4, kRed);
    EXPECT_EQ(nullptr, dm.CreateEffectBitmap(bmp, 0, 4, 0, FALSE, 0, 0));
    EXPECT_EQ(nullptr, dm.CreateEffectBitmap(bmp, 100000, 100000, 0, FALSE, 0, 0));
    EXPECT_EQ(nullptr, dm.CreateEffectBitmap(nullptr, 4, 4, 0, FALSE, 0, 0));
    HBITMAP made = dm.CreateEffectBitmap(bmp, 4, 4, CDrawManager::kFill | CDrawManager::kInvert, FALSE, 0, kWhite);
    ASSERT_NE(nullptr, made);
    Canvas c(4, 4, kRed);
    HDC src = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(src, made);
    BitBlt(c.Dc(), 0, 0, 4, 4, src, 0, 0, SRCCOPY);
    EXPECT_EQ(RGB(0, 0, 0), c.At(1, 1));
    SelectObject(src, old);
    DeleteDC(src);
    DeleteObject(made);
    EXPECT_EQ(0, CDrawManager::GetBitmapSize(nullptr).cx);
    EXPECT_EQ(4, CDrawManager::GetBitmapSize(bmp).cy);
    DeleteObject(bmp);
}

TEST(DrawEffectsIcons, IconsKeepTheBackgroundWhateverTheDcBackgroundColour)
{
    CDrawManager dm;
    // A 16 x 16 icon: opaque blue square in the middle, the rest transparent.
    HBITMAP color = SolidBitmap(16, 16, RGB(0, 0, 0), RECT{4, 4, 12, 12}, RGB(0, 0, 255));
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr);
    {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, mask);
        PatBlt(dc, 0, 0, 16, 16, WHITENESS);
        PatBlt(dc, 4, 4, 8, 8, BLACKNESS);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    ICONINFO info{TRUE, 8, 8, mask, color};
    HICON icon = CreateIconIndirect(&info);
    ASSERT_NE(nullptr, icon);
    EXPECT_EQ(16, CDrawManager::GetIconSize(icon).cx);
    Canvas c(40, 20, RGB(0, 255, 0));
    SetBkColor(c.Dc(), RGB(255, 0, 0));  // a markup background colour left in the DC
    dm.DrawIcon(c.Dc(), 0, 0, 16, 16, icon, 0, FALSE, 0, 0, 1, 1, 0);
    EXPECT_EQ(RGB(0, 255, 0), c.At(1, 1));
    EXPECT_EQ(RGB(0, 0, 255), c.At(8, 8));
    dm.DrawIcon(c.Dc(), 20, 0, 8, 8, icon, 0, FALSE, 0, 0, 1, 1, 0);  // stretched to half
    EXPECT_EQ(RGB(0, 0, 255), c.At(24, 4));
    EXPECT_EQ(RGB(0, 255, 0), c.At(20, 0));
    EXPECT_EQ(RGB(255, 0, 0), GetBkColor(c.Dc()));
    DestroyIcon(icon);
    DeleteObject(color);
    DeleteObject(mask);
}

}  // namespace
