// CRasterImage on the drawing layer: bitmaps to and from GDI, and drawing into a memory DC
// (natural size, scaled, clipped, tiled, transparent colour, alpha), read back pixel by pixel.
#include "RasterImage.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

RGBQUAD Q(BYTE r, BYTE g, BYTE b, BYTE a = 0) { return RGBQUAD{b, g, r, a}; }

// A memory DC over a top-down 32-bit DIB section, filled with one background colour.
class Canvas {
public:
    Canvas(LONG w, LONG h, COLORREF fill) : m_w(w), m_h(h) {
        BITMAPINFO bmi;
        std::memset(&bmi, 0, sizeof(bmi));
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = w;
        bmi.bmiHeader.biHeight = -h;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        m_dc = CreateCompatibleDC(nullptr);
        m_bmp = CreateDIBSection(m_dc, &bmi, DIB_RGB_COLORS, (void**)&m_bits, nullptr, 0);
        m_old = SelectObject(m_dc, m_bmp);
        for (LONG i = 0; i < w * h; ++i) m_bits[i] = Pack(fill);
    }
    ~Canvas() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bmp);
        DeleteDC(m_dc);
    }
    bool Ok() const { return m_dc && m_bmp && m_bits; }
    HDC Dc() const { return m_dc; }
    // The pixel at (x, y), top-down, as RGB(); CLR_INVALID off the canvas.
    COLORREF At(LONG x, LONG y) const {
        if (x < 0 || y < 0 || x >= m_w || y >= m_h) return CLR_INVALID;
        const uint32_t p = m_bits[y * m_w + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    static uint32_t Pack(COLORREF c) {
        return ((uint32_t)GetRValue(c) << 16) | ((uint32_t)GetGValue(c) << 8) | GetBValue(c);
    }

private:
    LONG m_w, m_h;
    HDC m_dc = nullptr;
    HBITMAP m_bmp = nullptr;
    HGDIOBJ m_old = nullptr;
    uint32_t* m_bits = nullptr;
};

// A 4 x 3 24-bit image; seen top-down its pixel (x, row) has red 10x + 1, green 10row + 1.
CRasterImage Small() {
    CRasterImage img(4, 3, 24);
    for (LONG row = 0; row < 3; ++row)
        for (LONG x = 0; x < 4; ++x) img.SetPixelColor(x, 2 - row, Q((BYTE)(10 * x + 1), (BYTE)(10 * row + 1), 7));
    return img;
}

COLORREF Expected(LONG x, LONG row) { return RGB(10 * x + 1, 10 * row + 1, 7); }

const COLORREF kBack = RGB(200, 100, 50);

}  // namespace

class RasterImageDraw : public ::testing::Test {
protected:
    void SetUp() override {
        if (!m_canvas.Ok()) GTEST_SKIP() << "the drawing layer has no DIB sections yet";
    }
    Canvas m_canvas{40, 40, kBack};
};

TEST_F(RasterImageDraw, NothingIsDrawnForEmptyRequests) {
    CRasterImage img = Small();
    EXPECT_EQ(img.Draw(m_canvas.Dc(), 0, 0, 0, 5), 0);
    EXPECT_EQ(img.Draw(m_canvas.Dc(), 0, 0, 5, 0), 0);
    EXPECT_EQ(img.Draw(nullptr), 0);
    img.Enable(false);
    EXPECT_EQ(img.Draw(m_canvas.Dc()), 0);
    EXPECT_EQ(img.DrawTransparent(m_canvas.Dc()), 0);
    CRasterImage empty;
    EXPECT_EQ(empty.Draw(m_canvas.Dc()), 0);
    EXPECT_EQ(empty.Stretch(m_canvas.Dc(), 0, 0, 4, 4), 0);
    EXPECT_EQ(empty.Tile(m_canvas.Dc(), nullptr), 0);
    EXPECT_EQ(m_canvas.At(0, 0), kBack);
}

TEST_F(RasterImageDraw, NaturalSizeAndNearestNeighbourScaling) {
    CRasterImage img = Small();
    ASSERT_EQ(img.Draw(m_canvas.Dc(), 5, 6), 1);
    for (LONG row = 0; row < 3; ++row)
        for (LONG x = 0; x < 4; ++x) EXPECT_EQ(m_canvas.At(5 + x, 6 + row), Expected(x, row)) << x << "," << row;
    EXPECT_EQ(m_canvas.At(4, 6), kBack);
    EXPECT_EQ(m_canvas.At(9, 6), kBack);
    EXPECT_EQ(m_canvas.At(5, 9), kBack);

    // Twice the size: every source pixel becomes a 2 x 2 block.
    ASSERT_EQ(img.Draw(m_canvas.Dc(), 20, 20, 8, 6), 1);
    for (LONG row = 0; row < 6; ++row)
        for (LONG x = 0; x < 8; ++x) EXPECT_EQ(m_canvas.At(20 + x, 20 + row), Expected(x / 2, row / 2)) << x << "," << row;
    EXPECT_EQ(m_canvas.At(28, 20), kBack);
    EXPECT_EQ(m_canvas.At(20, 26), kBack);

    // Paletted images draw their palette colours.
    CRasterImage pal(2, 1, 4);
    pal.SetPaletteColor(3, 1, 2, 3);
    pal.SetPixelIndex(1, 0, 3);
    pal.Draw(m_canvas.Dc(), 0, 0, 4, 2);
    EXPECT_EQ(m_canvas.At(3, 1), RGB(1, 2, 3));
    EXPECT_EQ(m_canvas.At(1, 0), RGB(0, 0, 0));
}

TEST_F(RasterImageDraw, ClipRectangleLimitsTheDrawingAndIsUndone) {
    CRasterImage img = Small();
    const RECT clip = {6, 0, 8, 40};
    img.Draw(m_canvas.Dc(), 5, 6, -1, -1, &clip);
    EXPECT_EQ(m_canvas.At(5, 6), kBack);
    EXPECT_EQ(m_canvas.At(6, 6), Expected(1, 0));
    EXPECT_EQ(m_canvas.At(7, 8), Expected(2, 2));
    EXPECT_EQ(m_canvas.At(8, 6), kBack);
    // The DC had no clip region before and has none after.
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(m_canvas.Dc(), probe), 0);
    DeleteObject(probe);
    img.Draw(m_canvas.Dc(), 5, 6);
    EXPECT_EQ(m_canvas.At(5, 6), Expected(0, 0));

    // A clip region the caller had set comes back unchanged, not widened to its box.
    HRGN own = CreateRectRgn(0, 0, 10, 10);
    HRGN more = CreateRectRgn(30, 30, 40, 40);
    CombineRgn(own, own, more, RGN_OR);
    SelectClipRgn(m_canvas.Dc(), own);
    const RECT inner = {0, 0, 40, 40};
    img.Draw(m_canvas.Dc(), 20, 20, -1, -1, &inner);
    EXPECT_EQ(m_canvas.At(20, 20), kBack);  // outside the caller's region
    HRGN after = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetClipRgn(m_canvas.Dc(), after), 1);
    EXPECT_TRUE(EqualRgn(after, own));
    DeleteObject(own);
    DeleteObject(more);
    DeleteObject(after);
}

TEST_F(RasterImageDraw, TransparentColourAndAlpha) {
    CRasterImage img(3, 1, 24);
    img.SetPixelColor(0, 0, Q(255, 0, 255));
    img.SetPixelColor(1, 0, Q(0, 0, 200));
    img.SetPixelColor(2, 0, Q(100, 100, 100));
    img.SetTransIndex(0);
    img.SetTransColor(Q(255, 0, 255));
    img.Draw(m_canvas.Dc(), 0, 0);
    EXPECT_EQ(m_canvas.At(0, 0), kBack);  // the transparent colour shows the background
    EXPECT_EQ(m_canvas.At(1, 0), RGB(0, 0, 200));

    // Alpha 128 blends (background x 127 + colour x 128) >> 8; 0 keeps the background.
    img.SetTransIndex(-1);
    img.AlphaCreate();
    img.AlphaSet(0, 0, 0);
    img.AlphaSet(1, 0, 128);
    img.AlphaSet(2, 0, 255);
    img.Draw(m_canvas.Dc(), 0, 5);
    EXPECT_EQ(m_canvas.At(0, 5), kBack);
    EXPECT_EQ(m_canvas.At(1, 5), RGB((200 * 127) >> 8, (100 * 127) >> 8, (50 * 127 + 200 * 128) >> 8));
    EXPECT_EQ(m_canvas.At(2, 5), RGB(100, 100, 100));

    // The alpha maximum scales every alpha value: 255 at maximum 127 is 127.
    img.AlphaSetMax(127);
    img.Draw(m_canvas.Dc(), 0, 10);
    EXPECT_EQ(m_canvas.At(2, 10), RGB((200 * 128 + 100 * 127) >> 8, (100 * 128 + 100 * 127) >> 8,
                                      (50 * 128 + 100 * 127) >> 8));

    // Scaled blending maps every destination pixel to its source.
    img.AlphaSetMax(255);
    img.Draw(m_canvas.Dc(), 0, 15, 6, 2);
    EXPECT_EQ(m_canvas.At(1, 16), kBack);
    EXPECT_EQ(m_canvas.At(5, 16), RGB(100, 100, 100));
}

TEST_F(RasterImageDraw, PalettedTransparencyAndPaletteAlpha) {
    CRasterImage img(2, 1, 8);
    img.SetPaletteColor(1, 10, 20, 30, 0);
    img.SetPaletteColor(2, 250, 250, 250, 127);
    img.SetPixelIndex(0, 0, 1);
    img.SetPixelIndex(1, 0, 2);
    img.SetTransIndex(1);
    img.Draw(m_canvas.Dc(), 0, 0);
    EXPECT_EQ(m_canvas.At(0, 0), kBack);
    EXPECT_EQ(m_canvas.At(1, 0), RGB(250, 250, 250));  // the fourth byte is ignored by default
    img.AlphaPaletteEnable(true);
    img.Draw(m_canvas.Dc(), 0, 1);
    const int a = (128 * 255) >> 8;  // ((127 + 1) x 255) >> 8
    EXPECT_EQ(m_canvas.At(1, 1), RGB((200 * (255 - a) + 250 * a) >> 8, (100 * (255 - a) + 250 * a) >> 8,
                                     (50 * (255 - a) + 250 * a) >> 8));
}

TEST_F(RasterImageDraw, TilingCutsTheLastRowAndColumn) {
    CRasterImage img(16, 16, 24);
    for (LONG y = 0; y < 16; ++y)
        for (LONG x = 0; x < 16; ++x) img.SetPixelColor(x, y, Q((BYTE)x, (BYTE)(15 - y), 0));
    const RECT rc = {2, 3, 32, 33};
    ASSERT_EQ(img.Tile(m_canvas.Dc(), &rc), 1);
    EXPECT_EQ(m_canvas.At(2, 3), RGB(0, 0, 0));
    EXPECT_EQ(m_canvas.At(17, 3), RGB(15, 0, 0));
    EXPECT_EQ(m_canvas.At(18, 19), RGB(0, 0, 0));  // the second tile starts over
    EXPECT_EQ(m_canvas.At(31, 32), RGB(13, 13, 0));  // the last tiles are 14 pixels
    EXPECT_EQ(m_canvas.At(32, 20), kBack);
    EXPECT_EQ(m_canvas.At(20, 33), kBack);
    const RECT flat = {0, 0, 10, 0};
    EXPECT_EQ(img.Tile(m_canvas.Dc(), &flat), 1);
}

TEST_F(RasterImageDraw, TilesFollowAMovedOrigin) {
    // A skinned control has its parent paint under it through a DC whose origin is moved by the
    // control's place: the tiles cover the control's part of the parent's rectangle.
    CRasterImage img(16, 16, 24);
    for (LONG y = 0; y < 16; ++y)
        for (LONG x = 0; x < 16; ++x) img.SetPixelColor(x, y, Q((BYTE)x, (BYTE)(15 - y), 0));
    SetViewportOrgEx(m_canvas.Dc(), -50, -60, nullptr);
    const RECT parent = {0, 0, 200, 200};
    ASSERT_EQ(img.Tile(m_canvas.Dc(), &parent), 1);
    SetViewportOrgEx(m_canvas.Dc(), 0, 0, nullptr);
    for (LONG y = 0; y < 40; y += 13)
        for (LONG x = 0; x < 40; x += 13)
            EXPECT_EQ(m_canvas.At(x, y), RGB((50 + x) % 16, (60 + y) % 16, 0)) << x << "," << y;
}

TEST_F(RasterImageDraw, StretchAndMaskedTransparency) {
    CRasterImage img = Small();
    ASSERT_EQ(img.Stretch(m_canvas.Dc(), 0, 0, 8, 3), 1);
    EXPECT_EQ(m_canvas.At(7, 2), Expected(3, 2));
    EXPECT_EQ(m_canvas.At(0, 0), Expected(0, 0));

    CRasterImage key(2, 1, 24);
    key.SetPixelColor(0, 0, Q(0, 255, 0));
    key.SetPixelColor(1, 0, Q(9, 9, 9));
    key.SetTransIndex(0);
    key.SetTransColor(Q(0, 255, 0));
    // Whatever text and background colours the DC has, the mask works.
    SetTextColor(m_canvas.Dc(), RGB(255, 0, 0));
    SetBkColor(m_canvas.Dc(), RGB(0, 0, 255));
    ASSERT_EQ(key.DrawTransparent(m_canvas.Dc(), 10, 10, 4, 2), 1);
    EXPECT_EQ(m_canvas.At(10, 10), kBack);
    EXPECT_EQ(m_canvas.At(11, 11), kBack);
    EXPECT_EQ(m_canvas.At(12, 10), RGB(9, 9, 9));
    EXPECT_EQ(m_canvas.At(13, 11), RGB(9, 9, 9));
    EXPECT_EQ(GetTextColor(m_canvas.Dc()), RGB(255, 0, 0));
}

TEST_F(RasterImageDraw, BitmapsToAndFromTheDrawingLayer) {
    CRasterImage img = Small();
    HBITMAP section = img.MakeBitmap();
    ASSERT_NE(section, nullptr);
    CRasterImage back;
    ASSERT_TRUE(back.CreateFromHBITMAP(section));
    EXPECT_EQ(back.GetWidth(), 4u);
    EXPECT_EQ(back.GetHeight(), 3u);
    EXPECT_EQ(back.GetBpp(), 24);
    for (LONG y = 0; y < 3; ++y)
        for (LONG x = 0; x < 4; ++x) {
            const RGBQUAD a = img.GetPixelColor(x, y), b = back.GetPixelColor(x, y);
            EXPECT_EQ(std::memcmp(&a, &b, 3), 0) << x << "," << y;
        }
    DeleteObject(section);

    HBITMAP ddb = img.MakeBitmap(m_canvas.Dc());
    ASSERT_NE(ddb, nullptr);
    CRasterImage fromDdb;
    ASSERT_TRUE(fromDdb.CreateFromHBITMAP(ddb));
    EXPECT_EQ(fromDdb.GetBpp(), 24);
    EXPECT_TRUE(std::memcmp(fromDdb.GetBits(2), img.GetBits(2), 12) == 0);
    DeleteObject(ddb);

    CRasterImage pal(3, 2, 8);
    pal.SetPaletteColor(5, 50, 60, 70);
    pal.SetPixelIndex(2, 1, 5);
    HBITMAP p = pal.MakeBitmap();
    ASSERT_NE(p, nullptr);
    ASSERT_TRUE(back.CreateFromHBITMAP(p));
    EXPECT_EQ(back.GetBpp(), 8);
    EXPECT_EQ(back.GetPixelColor(2, 1).rgbRed, 50);
    DeleteObject(p);

    EXPECT_FALSE(back.CreateFromHBITMAP(nullptr));
    EXPECT_FALSE(back.IsValid());
    CRasterImage empty;
    EXPECT_EQ(empty.MakeBitmap(), nullptr);
}
