// The drawing kit: anti-aliased coverage, compositing, and the hand-over to the image class.
#include <gtest/gtest.h>

#include "Canvas.h"

using namespace skinbuild;

namespace {

COLORREF TopDown(const CRasterImage& img, int x, int y)
{
    RGBQUAD q = img.GetPixelColor(x, int(img.GetHeight()) - 1 - y, false);
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

}  // namespace

TEST(SkinbuildCanvas, ShapesCoverEdgesPartially)
{
    // A rectangle edge through the middle of a pixel column covers it half.
    CCanvas c(10, 10);
    c.RoundRect(0, 0, 4.5f, 10, 0, Solid(Hex(0xFF0000)));
    EXPECT_NEAR(c.At(2, 5).a, 1.0f, 1e-4);
    EXPECT_NEAR(c.At(4, 5).a, 0.5f, 1e-4);
    EXPECT_EQ(c.At(5, 5).a, 0.0f);

    // A rounded corner leaves its outer pixel empty and keeps the straight edges solid.
    CCanvas r(20, 20);
    r.RoundRect(0, 0, 20, 20, 6, Solid(Hex(0x00FF00)));
    EXPECT_EQ(r.At(0, 0).a, 0.0f);
    EXPECT_GT(r.At(1, 2).a, 0.0f);
    EXPECT_LT(r.At(1, 2).a, 1.0f);
    EXPECT_FLOAT_EQ(r.At(0, 10).a, 1.0f);
    EXPECT_FLOAT_EQ(r.At(10, 0).a, 1.0f);

    // A border leaves the inside of the shape untouched.
    CCanvas b(20, 20);
    b.RoundBorder(0, 0, 20, 20, 4, 2, Hex(0x000000));
    EXPECT_FLOAT_EQ(b.At(10, 0).a, 1.0f);
    EXPECT_FLOAT_EQ(b.At(10, 1).a, 1.0f);
    EXPECT_EQ(b.At(10, 10).a, 0.0f);

    // Polygons are sampled: a pixel cut by the diagonal is partly covered.
    CCanvas p(8, 8);
    p.Polygon({{0, 0}, {8, 0}, {0, 8}}, Hex(0x0000FF));
    EXPECT_FLOAT_EQ(p.At(1, 1).a, 1.0f);
    EXPECT_GT(p.At(3, 4).a, 0.0f);
    EXPECT_LT(p.At(3, 4).a, 1.0f);
    EXPECT_EQ(p.At(7, 7).a, 0.0f);
}

TEST(SkinbuildCanvas, CompositingAndGradients)
{
    CCanvas c(4, 4, Hex(0x000000));
    c.Blend(0, 0, Hex(0xFFFFFF, 0.5f), 1.0f);
    EXPECT_NEAR(c.At(0, 0).r, 0.5f, 1e-4);
    EXPECT_FLOAT_EQ(c.At(0, 0).a, 1.0f);
    // Coverage scales the source's opacity; off-canvas writes are ignored.
    c.Blend(1, 0, Hex(0xFFFFFF), 0.25f);
    EXPECT_NEAR(c.At(1, 0).r, 0.25f, 1e-4);
    c.Blend(-1, 9, Hex(0xFFFFFF), 1.0f);

    // Over a transparent pixel the colour stays the source's, only the opacity is partial.
    CCanvas t(1, 1);
    t.Blend(0, 0, Hex(0x336699), 0.5f);
    EXPECT_NEAR(t.At(0, 0).g, 0x66 / 255.0f, 1e-4);
    EXPECT_NEAR(t.At(0, 0).a, 0.5f, 1e-4);

    Paint g = VerticalGradient(0, 10, Hex(0x000000), Hex(0xFFFFFF));
    EXPECT_NEAR(g(0, 5).r, 0.5f, 1e-4);
    EXPECT_FLOAT_EQ(g(0, -3).r, 0.0f);  // clamped outside its span
    EXPECT_FLOAT_EQ(g(0, 30).r, 1.0f);
}

TEST(SkinbuildCanvas, ImageKeepsTopRowAtTopAndKeysEmptyPixels)
{
    CCanvas c(3, 2);
    c.FillRect(0, 0, 3, 1, Solid(Hex(0x102030)));  // top row only
    c.Blend(1, 1, Hex(0xFFFFFF), 0.5f);            // half-covered pixel in the bottom row
    CRasterImage img;
    c.ToImage(img, [](int, int) { return Hex(0x000000); });
    ASSERT_TRUE(img.IsValid());
    EXPECT_EQ(img.GetWidth(), 3u);
    EXPECT_EQ(img.GetHeight(), 2u);
    EXPECT_EQ(img.GetBpp(), 24);
    EXPECT_EQ(TopDown(img, 0, 0), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(TopDown(img, 0, 1), kKeyColor);
    // Half white over the black matte.
    EXPECT_EQ(TopDown(img, 1, 1), RGB(128, 128, 128));

    // A drawn pixel whose colour happens to be the key colour must not turn transparent.
    CCanvas k(1, 1);
    k.FillRect(0, 0, 1, 1, Solid(Hex(0xFF00FF)));
    CRasterImage ki;
    k.ToImage(ki, nullptr);
    EXPECT_NE(TopDown(ki, 0, 0), kKeyColor);
}
