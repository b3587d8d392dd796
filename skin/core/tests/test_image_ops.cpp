// CRasterImage without a device context: storage rules, pixel and palette access, alpha and
// the geometric operations, checked against hand-computed pixels.
#include "RasterImage.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

RGBQUAD Q(BYTE r, BYTE g, BYTE b, BYTE a = 0) { return RGBQUAD{b, g, r, a}; }

bool Same(RGBQUAD a, RGBQUAD b) {
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

// A 24-bit image whose pixel (x, y) has red = x, green = y, blue = 100 + 10x + y: every pixel
// names its own position.
CRasterImage Numbered(LONG w, LONG h) {
    CRasterImage img(w, (DWORD)h, 24);
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) img.SetPixelColor(x, y, Q((BYTE)x, (BYTE)y, (BYTE)(100 + 10 * x + y)));
    return img;
}

// The position a numbered pixel came from.
std::pair<int, int> Origin(const CRasterImage& img, LONG x, LONG y) {
    const RGBQUAD c = img.GetPixelColor(x, y, false);
    return {c.rgbRed, c.rgbGreen};
}

}  // namespace

TEST(RasterImageStorage, DepthsRoundUpAndPaletteFollows) {
    CRasterImage a(10, 10, 16);
    EXPECT_EQ(a.GetBpp(), 24);
    EXPECT_EQ(a.GetNumColors(), 0u);
    EXPECT_EQ(a.GetPalette(), nullptr);
    CRasterImage b(10, 10, 2);
    EXPECT_EQ(b.GetBpp(), 4);
    EXPECT_EQ(b.GetNumColors(), 16u);
    EXPECT_EQ(CRasterImage(3, 3, 0).GetBpp(), 1);
    EXPECT_EQ(CRasterImage(3, 3, 7).GetBpp(), 8);
    EXPECT_EQ(CRasterImage(3, 3, 32).GetBpp(), 24);
}

TEST(RasterImageStorage, StrideAndSizeRules) {
    EXPECT_EQ(CRasterImage(5, 1, 24).GetRowStride(), 16u);
    EXPECT_EQ(CRasterImage(33, 1, 1).GetRowStride(), 8u);
    EXPECT_EQ(CRasterImage(3, 1, 4).GetRowStride(), 4u);
    CRasterImage img(9, 7, 8);
    EXPECT_EQ(img.GetRowStride(), 12u);
    EXPECT_EQ(img.GetSize(), 40u + 256 * 4 + 12 * 7);
    EXPECT_EQ(img.GetBits(1) - img.GetBits(0), 12);
    EXPECT_EQ(img.GetBits(7), nullptr);
    // The header at the head of the block matches the member copy.
    BITMAPINFOHEADER h;
    std::memcpy(&h, img.GetDIB(), sizeof(h));
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 9);
    EXPECT_EQ(h.biHeight, 7);
    EXPECT_EQ(h.biSizeImage, 84u);
    EXPECT_EQ(h.biXPelsPerMeter, 3780);
}

TEST(RasterImageStorage, HostileSizesFailWithTheLimitText) {
    CRasterImage img;
    EXPECT_EQ(img.Create(0, 5, 24), nullptr);
    EXPECT_STREQ(img.GetLastError(), "RASTERIMAGE_MAX_MEMORY exceeded");
    EXPECT_EQ(img.Create(-4, 5, 24), nullptr);
    EXPECT_EQ(img.Create(5, 0, 24), nullptr);
    EXPECT_EQ(img.Create(0x7FFFFFFF, 0xFFFFFFFF, 24), nullptr);
    EXPECT_EQ(img.Create(100000, 100000, 1), nullptr);
    EXPECT_FALSE(img.IsValid());
    // Pixels and padding start as zeros, so two encodings of the same picture are identical.
    ASSERT_NE(img.Create(5, 3, 24), nullptr);
    for (DWORD i = 0; i < img.GetRowStride() * 3; ++i) ASSERT_EQ(img.GetBits()[i], 0);
}

TEST(RasterImageStorage, CopyTakeOverAndShare) {
    CRasterImage src = Numbered(4, 3);
    src.AlphaCreate();
    src.AlphaSet(1, 2, 77);
    src.SetTransIndex(3);
    CRasterImage copy(src);
    EXPECT_NE(copy.GetBits(), src.GetBits());
    EXPECT_EQ(Origin(copy, 3, 2), std::make_pair(3, 2));
    EXPECT_EQ(copy.AlphaGet(1, 2), 77);
    EXPECT_EQ(copy.GetTransIndex(), 3);

    CRasterImage noPixels(src, false, false, false);
    EXPECT_EQ(noPixels.GetWidth(), 4u);
    EXPECT_FALSE(noPixels.HasAlpha());

    BYTE* bits = copy.GetBits();
    CRasterImage taker;
    taker.TakeOver(copy);
    EXPECT_EQ(taker.GetBits(), bits);
    EXPECT_FALSE(copy.IsValid());
    EXPECT_EQ(copy.GetTransIndex(), 0);
    EXPECT_EQ(taker.AlphaGet(1, 2), 77);

    {
        CRasterImage view;
        view.ShareFrom(&taker);
        EXPECT_EQ(view.GetBits(), bits);
        EXPECT_EQ(view.GetViewOf(), &taker);
    }  // the view frees nothing
    EXPECT_EQ(Origin(taker, 2, 1), std::make_pair(2, 1));
}

TEST(RasterImagePixels, IndexPackingAtEveryDepth) {
    CRasterImage one(10, 2, 1);
    one.SetPixelIndex(0, 0, 1);
    one.SetPixelIndex(9, 1, 1);
    EXPECT_EQ(one.GetBits(0)[0], 0x80);
    EXPECT_EQ(one.GetBits(1)[1], 0x40);
    one.SetPixelIndex(0, 0, 0);
    EXPECT_EQ(one.GetBits(0)[0], 0x00);

    CRasterImage four(3, 1, 4);
    four.SetPixelIndex(0, 0, 0xA);
    four.SetPixelIndex(1, 0, 0x5);
    four.SetPixelIndex(2, 0, 0xF);
    EXPECT_EQ(four.GetBits()[0], 0xA5);
    EXPECT_EQ(four.GetBits()[1], 0xF0);
    four.SetPixelIndex(0, 0, 0x3);  // replaces only its own nibble
    EXPECT_EQ(four.GetBits()[0], 0x35);
    EXPECT_EQ(four.GetPixelIndex(1, 0), 0x5);

    // Writes outside do nothing; reads outside give the transparent index or the first byte.
    CRasterImage eight(4, 4, 8);
    eight.SetPixelIndex(0, 0, 42);
    eight.SetPixelIndex(4, 0, 9);
    eight.SetPixelIndex(-1, 0, 9);
    EXPECT_EQ(eight.GetPixelIndex(-1, 0), 42);
    eight.SetTransIndex(7);
    EXPECT_EQ(eight.GetPixelIndex(-1, 0), 7);
    EXPECT_EQ(eight.GetPixelIndex(0, 4), 7);
    EXPECT_EQ(Numbered(2, 2).GetPixelIndex(1, 1), 0);  // no palette
}

TEST(RasterImagePixels, ColourAccessAndOutsideRules) {
    CRasterImage img = Numbered(3, 2);
    EXPECT_TRUE(Same(img.GetPixelColor(2, 1), Q(2, 1, 121)));
    EXPECT_TRUE(Same(img.GetPixelColor(5, 5), Q(0, 0, 100)));  // no transparency: pixel (0, 0)
    img.SetTransIndex(0);
    img.SetTransColor(Q(9, 8, 7, 6));
    const RGBQUAD t = img.GetPixelColor(-1, 0);
    EXPECT_TRUE(Same(t, Q(9, 8, 7)));
    EXPECT_EQ(t.rgbReserved, 6);
    EXPECT_EQ(img.GetPixelColor(1, 1).rgbReserved, 6);  // no alpha: the transparent colour's
    img.AlphaCreate();
    img.AlphaSet(1, 1, 200);
    EXPECT_EQ(img.GetPixelColor(1, 1).rgbReserved, 200);

    CRasterImage pal(2, 2, 8);
    pal.SetPaletteColor(5, 10, 20, 30);
    pal.SetPixelIndex(1, 0, 5);
    EXPECT_TRUE(Same(pal.GetPixelColor(1, 0), Q(10, 20, 30)));
    pal.SetTransIndex(5);
    EXPECT_TRUE(Same(pal.GetPixelColor(9, 9), Q(10, 20, 30)));
    EXPECT_TRUE(Same(pal.GetTransColor(), Q(10, 20, 30)));
    EXPECT_TRUE(pal.IsTransparent(1, 0));
    EXPECT_FALSE(pal.IsTransparent(0, 0));
}

TEST(RasterImagePalette, NearestIndexAndItsCache) {
    CRasterImage img(2, 2, 4);
    img.SetPaletteColor(3, 200, 0, 0);
    img.SetPaletteColor(9, 200, 0, 0);
    img.SetPaletteColor(4, 0, 0, 250);
    EXPECT_EQ(img.GetNearestIndex(Q(200, 0, 0)), 3);  // the first of two equal entries
    img.SetPixelColor(1, 1, Q(10, 10, 240));
    EXPECT_EQ(img.GetPixelIndex(1, 1), 4);
    // Nothing is near enough: index 0.
    for (int i = 0; i < 16; ++i) img.SetPaletteColor((BYTE)i, 0, 0, 0);
    EXPECT_EQ(img.GetNearestIndex(Q(255, 255, 255)), 0);
    // Palette writes drop the cached answer.
    img.SetPaletteColor(6, 255, 255, 255);
    EXPECT_EQ(img.GetNearestIndex(Q(255, 255, 255)), 6);
    EXPECT_EQ(img.GetNearestIndex(Q(255, 255, 255)), 6);
}

TEST(RasterImagePalette, GreyRampStandardBlendAndSwap) {
    CRasterImage g16(1, 1, 4);
    g16.SetGrayPalette();
    EXPECT_EQ(g16.GetPaletteColor(1).rgbRed, 17);
    EXPECT_EQ(g16.GetPaletteColor(15).rgbBlue, 255);
    EXPECT_TRUE(g16.HasGreyRamp());
    EXPECT_EQ(g16.GetPaletteColor(16).rgbRed, 0);  // past the palette: zeros
    CRasterImage g2(1, 1, 1);
    g2.SetGrayPalette();
    EXPECT_EQ(g2.GetPaletteColor(1).rgbGreen, 255);

    CRasterImage std8(1, 1, 8);
    std8.SetStdPalette();
    EXPECT_TRUE(Same(std8.GetPaletteColor(9), Q(255, 0, 0)));
    EXPECT_TRUE(Same(std8.GetPaletteColor(15), Q(255, 255, 255)));

    CRasterImage b(1, 1, 1);
    b.SetPaletteColor(0, 0, 0, 0);
    b.SetPaletteColor(1, 100, 100, 100);
    b.BlendPalette(RGB(200, 0, 100), 50);
    EXPECT_TRUE(Same(b.GetPaletteColor(0), Q(100, 0, 50)));
    EXPECT_TRUE(Same(b.GetPaletteColor(1), Q(150, 50, 100)));
    b.BlendPalette(RGB(1, 2, 3), 250);  // capped at 100 %
    EXPECT_TRUE(Same(b.GetPaletteColor(1), Q(1, 2, 3)));

    CRasterImage s(2, 1, 8);
    s.SetPaletteColor(1, 10, 10, 10);
    s.SetPaletteColor(2, 20, 20, 20);
    s.SetPixelIndex(0, 0, 1);
    s.SetPixelIndex(1, 0, 2);
    s.ExchangePaletteEntries(1, 2);
    EXPECT_EQ(s.GetPixelIndex(0, 0), 2);
    EXPECT_TRUE(Same(s.GetPixelColor(0, 0), Q(10, 10, 10)));  // the picture looks the same
}

TEST(RasterImageAlpha, PlaneRulesCopyFlipMirror) {
    CRasterImage img(3, 2, 24);
    EXPECT_EQ(img.AlphaGet(0, 0), 0);
    img.AlphaSet(0, 0, 5);  // no plane: nothing
    ASSERT_TRUE(img.AlphaCreate());
    EXPECT_EQ(img.AlphaGet(2, 1), 0);  // a new plane is all transparent
    img.AlphaSet(0, 0, 10);
    img.AlphaSet(2, 1, 20);
    img.AlphaSet(3, 1, 99);  // outside: dropped
    EXPECT_EQ(img.AlphaPlaneAt(2, 1) - img.AlphaPlaneAt(0, 0), 5);
    CRasterImage other(3, 2, 8);
    EXPECT_TRUE(other.AlphaCopy(img));
    EXPECT_EQ(other.AlphaGet(2, 1), 20);
    CRasterImage taller(3, 5, 8);
    EXPECT_FALSE(taller.AlphaCopy(img));  // same width, other height: refused
    img.AlphaFlip();
    EXPECT_EQ(img.AlphaGet(0, 1), 10);
    EXPECT_EQ(img.AlphaGet(2, 0), 20);
    img.AlphaMirror();
    EXPECT_EQ(img.AlphaGet(2, 1), 10);
    EXPECT_EQ(img.AlphaGet(0, 0), 20);

    CRasterImage grey(3, 2, 8);
    grey.SetPixelIndex(1, 1, 128);
    EXPECT_TRUE(img.AlphaSet(grey));
    EXPECT_EQ(img.AlphaGet(1, 1), 128);
    EXPECT_EQ(img.AlphaGet(0, 0), 0);
}

TEST(RasterImageGeometry, CropTakesTopDownRectangles) {
    CRasterImage img = Numbered(10, 20);
    CRasterImage top;
    ASSERT_TRUE(img.Crop(0, 0, 10, 5, &top));
    EXPECT_EQ(top.GetWidth(), 10u);
    EXPECT_EQ(top.GetHeight(), 5u);
    EXPECT_EQ(Origin(top, 0, 0), std::make_pair(0, 15));  // pixel rows 15 to 19
    EXPECT_EQ(Origin(top, 9, 4), std::make_pair(9, 19));
    EXPECT_EQ(img.GetHeight(), 20u);  // with a destination the source stays

    ASSERT_TRUE(img.Crop(7, 18, 3, 12));  // reversed left/right and top/bottom
    EXPECT_EQ(img.GetWidth(), 4u);
    EXPECT_EQ(img.GetHeight(), 6u);
    EXPECT_EQ(Origin(img, 0, 0), std::make_pair(3, 2));

    CRasterImage same = Numbered(4, 4);
    EXPECT_FALSE(same.Crop(2, 0, 2, 4));
    EXPECT_FALSE(same.Crop(-5, -5, -1, 9));  // clamps to an empty width
    EXPECT_EQ(same.GetWidth(), 4u);

    // 4-bit pixels and alpha follow the same rows.
    CRasterImage pal(5, 3, 4);
    pal.SetPixelIndex(3, 2, 9);
    pal.AlphaCreate();
    pal.AlphaSet(3, 2, 44);
    ASSERT_TRUE(pal.Crop(2, 0, 5, 1));
    EXPECT_EQ(pal.GetPixelIndex(1, 0), 9);
    EXPECT_EQ(pal.AlphaGet(1, 0), 44);
}

TEST(RasterImageGeometry, FlipAndMirrorAtEveryDepth) {
    CRasterImage img = Numbered(3, 2);
    img.AlphaCreate();
    img.AlphaSet(0, 0, 1);
    ASSERT_TRUE(img.Mirror());
    EXPECT_EQ(Origin(img, 0, 0), std::make_pair(2, 0));
    EXPECT_EQ(img.AlphaGet(2, 0), 1);
    ASSERT_TRUE(img.Flip());
    EXPECT_EQ(Origin(img, 0, 0), std::make_pair(2, 1));
    EXPECT_EQ(img.AlphaGet(2, 1), 1);

    for (DWORD bpp : {1u, 4u, 8u}) {
        CRasterImage p(11, 2, bpp);
        p.SetPixelIndex(0, 0, 1);
        p.SetPixelIndex(10, 1, 1);
        ASSERT_TRUE(p.Mirror());
        EXPECT_EQ(p.GetPixelIndex(10, 0), 1) << bpp;
        EXPECT_EQ(p.GetPixelIndex(0, 0), 0) << bpp;
        EXPECT_EQ(p.GetPixelIndex(0, 1), 1) << bpp;
    }
    CRasterImage empty;
    EXPECT_FALSE(empty.Flip());
    EXPECT_FALSE(empty.Mirror());
}

TEST(RasterImageGeometry, RotationDirections) {
    // Seen on screen (top row first) the 3 x 2 picture is
    //   (0,1) (1,1) (2,1)
    //   (0,0) (1,0) (2,0)
    CRasterImage src = Numbered(3, 2);
    CRasterImage cw;
    ASSERT_TRUE(src.Rotate(90, &cw));
    ASSERT_EQ(cw.GetWidth(), 2u);
    ASSERT_EQ(cw.GetHeight(), 3u);
    // Clockwise: the old bottom-left corner is the new top-left; the old right column the
    // new bottom row.
    EXPECT_EQ(Origin(cw, 0, 2), std::make_pair(0, 0));
    EXPECT_EQ(Origin(cw, 1, 2), std::make_pair(0, 1));
    EXPECT_EQ(Origin(cw, 0, 0), std::make_pair(2, 0));
    EXPECT_EQ(Origin(cw, 1, 0), std::make_pair(2, 1));

    CRasterImage ccw;
    ASSERT_TRUE(src.Rotate(270, &ccw));
    ASSERT_EQ(ccw.GetWidth(), 2u);
    // Counter-clockwise: the old right column becomes the top row.
    EXPECT_EQ(Origin(ccw, 0, 2), std::make_pair(2, 1));
    EXPECT_EQ(Origin(ccw, 1, 2), std::make_pair(2, 0));
    EXPECT_EQ(Origin(ccw, 1, 0), std::make_pair(0, 0));
    CRasterImage back;
    ASSERT_TRUE(ccw.Rotate(-270, &back));  // -270 is a quarter turn clockwise
    EXPECT_EQ(Origin(back, 2, 1), std::make_pair(2, 1));
    EXPECT_EQ(back.GetWidth(), 3u);

    CRasterImage pair(2, 1, 24);
    pair.SetPixelColor(0, 0, Q(1, 0, 0));
    pair.SetPixelColor(1, 0, Q(2, 0, 0));
    ASSERT_TRUE(pair.Rotate180());
    EXPECT_EQ(pair.GetPixelColor(0, 0).rgbRed, 2);
    EXPECT_EQ(pair.GetPixelColor(1, 0).rgbRed, 1);

    // Paletted pixels move by index, and alpha moves with them.
    CRasterImage p(3, 1, 4);
    p.SetPixelIndex(2, 0, 7);
    p.AlphaCreate();
    p.AlphaSet(2, 0, 99);
    ASSERT_TRUE(p.RotateLeft());
    EXPECT_EQ(p.GetPixelIndex(0, 2), 7);
    EXPECT_EQ(p.AlphaGet(0, 2), 99);
}

TEST(RasterImageGeometry, ArbitraryAngleKeepsTheCentreAndGrowsTheFrame) {
    CRasterImage img(20, 20, 24);
    for (LONG y = 0; y < 20; ++y)
        for (LONG x = 0; x < 20; ++x) img.SetPixelColor(x, y, Q(200, 10, 10));
    CRasterImage out;
    ASSERT_TRUE(img.Rotate(45, &out));
    // The diagonal of 20 is about 28.3; the frame adds two pixels.
    EXPECT_GE(out.GetWidth(), 29u);
    EXPECT_LE(out.GetWidth(), 32u);
    EXPECT_GE(out.GetHeight(), 29u);
    EXPECT_LE(out.GetHeight(), 32u);
    EXPECT_EQ(out.GetPixelColor((LONG)out.GetWidth() / 2, (LONG)out.GetHeight() / 2).rgbRed, 200);
    img.SetEscape(1);
    EXPECT_FALSE(img.Rotate(30));
    EXPECT_EQ(img.GetWidth(), 20u);  // a cancelled rotation leaves the image alone
}

TEST(RasterImageGeometry, ResampleModes) {
    // 2 x 1: black and white. Doubled to 4 x 1.
    CRasterImage img(2, 1, 24);
    img.SetPixelColor(1, 0, Q(255, 255, 255));
    CRasterImage nn, bl;
    ASSERT_TRUE(img.Resample(4, 1, 0, &nn));
    EXPECT_EQ(nn.GetPixelColor(0, 0).rgbRed, 0);
    EXPECT_EQ(nn.GetPixelColor(1, 0).rgbRed, 0);
    EXPECT_EQ(nn.GetPixelColor(2, 0).rgbRed, 255);
    EXPECT_EQ(nn.GetPixelColor(3, 0).rgbRed, 255);
    ASSERT_TRUE(img.Resample(4, 1, 1, &bl));
    // Centres at source x = -0.25, 0.25, 0.75, 1.25 (edges clamp).
    EXPECT_EQ(bl.GetPixelColor(0, 0).rgbRed, 0);
    EXPECT_EQ(bl.GetPixelColor(1, 0).rgbRed, 64);
    EXPECT_EQ(bl.GetPixelColor(2, 0).rgbRed, 191);
    EXPECT_EQ(bl.GetPixelColor(3, 0).rgbRed, 255);

    // A flat picture stays flat under the spline; alpha is resampled too.
    CRasterImage flat(5, 5, 8);
    for (int i = 0; i < 256; ++i) flat.SetPaletteColor((BYTE)i, 30, 60, 90);
    flat.AlphaCreate();
    flat.AlphaSet(200);
    ASSERT_TRUE(flat.Resample(3, 8, 2));
    EXPECT_EQ(flat.GetBpp(), 24);
    EXPECT_TRUE(Same(flat.GetPixelColor(1, 6), Q(30, 60, 90)));
    EXPECT_EQ(flat.AlphaGet(2, 7), 200);
    EXPECT_FALSE(flat.Resample(0, 3));

    CRasterImage p(2, 2, 8);
    p.SetPixelIndex(1, 1, 77);
    ASSERT_TRUE(p.Resample(4, 4, 0));
    EXPECT_EQ(p.GetBpp(), 8);  // nearest neighbour keeps the indices
    EXPECT_EQ(p.GetPixelIndex(3, 3), 77);
    EXPECT_EQ(p.GetPixelIndex(2, 2), 77);
    EXPECT_EQ(p.GetPixelIndex(1, 1), 0);
}

TEST(RasterImageColour, GreyScaleAndNegative) {
    CRasterImage img(2, 1, 24);
    img.SetPixelColor(0, 0, Q(255, 0, 0));
    img.SetPixelColor(1, 0, Q(10, 200, 30));
    img.AlphaCreate();
    img.AlphaSet(1, 0, 9);
    ASSERT_TRUE(img.GrayScale());
    EXPECT_EQ(img.GetBpp(), 8);
    EXPECT_EQ(img.GetPixelIndex(0, 0), (306 * 255) >> 10);
    EXPECT_EQ(img.GetPixelIndex(1, 0), (601 * 200 + 306 * 10 + 117 * 30) >> 10);
    EXPECT_TRUE(img.HasGreyRamp());
    EXPECT_EQ(img.AlphaGet(1, 0), 9);

    CRasterImage p(9, 1, 4);
    p.SetPaletteColor(2, 0, 0, 255);
    p.SetPixelIndex(8, 0, 2);
    p.SetTransIndex(2);
    ASSERT_TRUE(p.GrayScale());
    EXPECT_EQ(p.GetBpp(), 8);
    EXPECT_EQ(p.GetPixelIndex(8, 0), (117 * 255) >> 10);
    EXPECT_EQ(p.GetTransIndex(), (117 * 255) >> 10);

    CRasterImage n(1, 1, 24);
    n.SetPixelColor(0, 0, Q(0, 100, 255));
    n.SetTransColor(Q(1, 2, 3));
    ASSERT_TRUE(n.Negative());
    EXPECT_TRUE(Same(n.GetPixelColor(0, 0), Q(255, 155, 0)));
    EXPECT_TRUE(Same(n.GetTransColor(), Q(254, 253, 252)));
    CRasterImage g(2, 1, 8);
    g.SetGrayPalette();
    g.SetPixelIndex(0, 0, 10);
    ASSERT_TRUE(g.Negative());
    EXPECT_EQ(g.GetPixelIndex(0, 0), 245);
    EXPECT_TRUE(g.HasGreyRamp());
}

TEST(RasterImageCreate, FromArraysAndMatrices) {
    // Two rows of 32-bit pixels, top row first.
    const BYTE bits[2][8] = {{1, 2, 3, 40, 4, 5, 6, 50}, {7, 8, 9, 60, 10, 11, 12, 70}};
    CRasterImage img;
    ASSERT_TRUE(img.CreateFromPackedRows(&bits[0][0], 2, 2, 32, 8, true));
    EXPECT_EQ(img.GetBpp(), 24);
    EXPECT_TRUE(Same(img.GetPixelColor(0, 1), Q(3, 2, 1)));
    EXPECT_EQ(img.AlphaGet(0, 1), 40);
    EXPECT_EQ(img.AlphaGet(1, 0), 70);
    EXPECT_FALSE(img.CreateFromPackedRows(&bits[0][0], 3, 2, 32, 8, false));  // rows too short
    EXPECT_FALSE(img.CreateFromPackedRows(&bits[0][0], 2, 2, 16, 8, false));

    const BYTE r0[] = {0xC0}, r1[] = {0x40};
    const BYTE* rows[] = {r0, r1};
    ASSERT_TRUE(img.CreateFromRowPointers(rows, 3, 2, 1, 1, false));
    EXPECT_EQ(img.GetPixelIndex(0, 0), 1);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 1);
    EXPECT_EQ(img.GetPixelIndex(0, 1), 0);
    EXPECT_EQ(img.GetPixelIndex(1, 1), 1);
    EXPECT_EQ(img.GetPaletteColor(1).rgbRed, 255);
}

TEST(RasterImagePixels, LinesAndGreyValues) {
    CRasterImage img(5, 5, 24);
    img.DrawLine(0, 4, 0, 4, RGB(255, 0, 0));
    for (LONG i = 0; i < 5; ++i) EXPECT_EQ(img.GetPixelColor(i, i).rgbRed, 255) << i;
    EXPECT_EQ(img.GetPixelColor(1, 0).rgbRed, 0);
    img.DrawLine(-10, 20, 2, 2, RGB(0, 255, 0));  // clipped point by point
    EXPECT_EQ(img.GetPixelColor(4, 2).rgbGreen, 255);
    EXPECT_EQ(img.GetPixelGray(4, 2), (601 * 255) >> 10);
}
