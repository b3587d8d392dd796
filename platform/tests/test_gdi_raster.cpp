// Raster operations, the monochrome/colour conversion rules of blits, stretching, masks,
// transparency, alpha blending and gradients, checked against hand-computed pixels.
#include <gtest/gtest.h>

#include <cstdlib>

#include "gdi_test_support.h"

using gdit::Canvas32;

namespace {

// With pattern 0xF0, source 0xCC and destination 0xAA in every channel, the result of a
// three-operand raster operation is its own code: the code is the operation's truth table.
TEST(RasterOps, EveryRop3CodeComputesItsTruthTable) {
    Canvas32 src(1, 1, RGB(0xCC, 0xCC, 0xCC));
    Canvas32 dst(1, 1);
    HBRUSH pat = CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0));
    HGDIOBJ old = SelectObject(dst.dc, pat);
    for (int code = 0; code < 256; ++code) {
        dst.Fill(RGB(0xAA, 0xAA, 0xAA));
        ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, DWORD(code) << 16));
        ASSERT_EQ(dst.At(0, 0), RGB(code, code, code)) << "code " << code;
    }
    SelectObject(dst.dc, old);
    DeleteObject(pat);
}

TEST(RasterOps, NamedOperationsMatchTheirFormulas) {
    const COLORREF D = RGB(0x12, 0x34, 0x56), S = RGB(0x9A, 0xBC, 0xDE), P = RGB(0x0F, 0xF0, 0x3C);
    struct Case {
        DWORD rop;
        COLORREF want;
    } cases[] = {
        {SRCCOPY, S},
        {SRCAND, S & D},
        {SRCPAINT, S | D},
        {SRCINVERT, S ^ D},
        {SRCERASE, (S & ~D) & 0xFFFFFF},
        {NOTSRCCOPY, ~S & 0xFFFFFF},
        {NOTSRCERASE, ~(S | D) & 0xFFFFFF},
        {MERGECOPY, P & S},
        {MERGEPAINT, (~S | D) & 0xFFFFFF},
        {PATCOPY, P},
        {PATPAINT, (P | ~S | D) & 0xFFFFFF},
        {PATINVERT, P ^ D},
        {DSTINVERT, ~D & 0xFFFFFF},
        {BLACKNESS, 0},
        {WHITENESS, 0xFFFFFF},
        {0x00B8074A, (((D ^ P) & S) ^ P) & 0xFFFFFF},  // the classic "pattern where source is 0"
    };
    Canvas32 src(3, 3, S);
    Canvas32 dst(3, 3);
    HBRUSH pat = CreateSolidBrush(P);
    HGDIOBJ old = SelectObject(dst.dc, pat);
    for (const Case& c : cases) {
        dst.Fill(D);
        BitBlt(dst.dc, 1, 1, 1, 1, src.dc, 0, 0, c.rop);
        EXPECT_EQ(dst.At(1, 1), c.want) << std::hex << c.rop;
        EXPECT_EQ(dst.At(0, 0), D) << "outside the blit";
    }
    // PatBlt refuses operations that need a source.
    EXPECT_FALSE(PatBlt(dst.dc, 0, 0, 1, 1, SRCCOPY));
    EXPECT_TRUE(PatBlt(dst.dc, 0, 0, 3, 3, PATCOPY));
    EXPECT_EQ(dst.At(2, 2), P);
    SelectObject(dst.dc, old);
    DeleteObject(pat);
}

TEST(MonoColourRules, ColourToMonoMakesSourceBackgroundWhite) {
    Canvas32 src(4, 1);
    src.bits[0] = Canvas32::Px(RGB(10, 20, 30));
    src.bits[1] = Canvas32::Px(RGB(200, 0, 0));
    src.bits[2] = Canvas32::Px(RGB(10, 20, 30));
    src.bits[3] = Canvas32::Px(RGB(255, 255, 255));
    SetBkColor(src.dc, RGB(10, 20, 30));
    HDC mdc = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateBitmap(4, 1, 1, 1, nullptr);
    HGDIOBJ old = SelectObject(mdc, mono);
    // The destination's colours play no part in this direction.
    SetBkColor(mdc, RGB(1, 2, 3));
    SetTextColor(mdc, RGB(4, 5, 6));
    ASSERT_TRUE(BitBlt(mdc, 0, 0, 4, 1, src.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(mdc, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(mdc, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(mdc, 2, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(mdc, 3, 0), RGB(0, 0, 0)) << "white that is not the background colour is 0";
    SelectObject(mdc, old);
    DeleteObject(mono);
    DeleteDC(mdc);
}

TEST(MonoColourRules, MonoToColourUsesDestinationTextAndBackgroundColours) {
    // Bits 1,0,1,0 in the first row; device rows are padded to 16 bits.
    const BYTE bits[2] = {0xA0, 0x00};
    HBITMAP mono = CreateBitmap(4, 1, 1, 1, bits);
    HDC mdc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mdc, mono);
    SetTextColor(mdc, RGB(9, 9, 9));  // the source DC's colours play no part
    SetBkColor(mdc, RGB(8, 8, 8));
    Canvas32 dst(4, 1);
    SetTextColor(dst.dc, RGB(255, 0, 0));
    SetBkColor(dst.dc, RGB(0, 0, 255));
    ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 4, 1, mdc, 0, 0, SRCCOPY));
    EXPECT_EQ(dst.At(0, 0), RGB(0, 0, 255)) << "1 bits take the background colour";
    EXPECT_EQ(dst.At(1, 0), RGB(255, 0, 0)) << "0 bits take the text colour";
    EXPECT_EQ(dst.At(2, 0), RGB(0, 0, 255));
    EXPECT_EQ(dst.At(3, 0), RGB(255, 0, 0));
    SelectObject(mdc, old);
    DeleteObject(mono);
    DeleteDC(mdc);
}

// The transparent blit every skin uses: a mask from the key colour, then AND and OR.
TEST(MonoColourRules, MaskAndPaintCompositeKeepsBackgroundUnderKeyColour) {
    const COLORREF key = RGB(255, 0, 255), ink = RGB(0, 128, 0), back = RGB(50, 60, 70);
    Canvas32 img(2, 1);
    img.bits[0] = Canvas32::Px(key);
    img.bits[1] = Canvas32::Px(ink);
    HDC mdc = CreateCompatibleDC(nullptr);
    HBITMAP mask = CreateBitmap(2, 1, 1, 1, nullptr);
    HGDIOBJ oldMask = SelectObject(mdc, mask);
    SetBkColor(img.dc, key);
    BitBlt(mdc, 0, 0, 2, 1, img.dc, 0, 0, SRCCOPY);  // key -> 1, ink -> 0
    // Image with the key area made black: image AND NOT mask.
    SetBkColor(img.dc, RGB(255, 255, 255));
    SetTextColor(img.dc, RGB(0, 0, 0));
    BitBlt(img.dc, 0, 0, 2, 1, mdc, 0, 0, 0x00220326);  // DSna
    Canvas32 dst(2, 1, back);
    SetBkColor(dst.dc, RGB(255, 255, 255));
    SetTextColor(dst.dc, RGB(0, 0, 0));
    BitBlt(dst.dc, 0, 0, 2, 1, mdc, 0, 0, SRCAND);
    BitBlt(dst.dc, 0, 0, 2, 1, img.dc, 0, 0, SRCPAINT);
    EXPECT_EQ(dst.At(0, 0), back);
    EXPECT_EQ(dst.At(1, 0), ink);
    SelectObject(mdc, oldMask);
    DeleteObject(mask);
    DeleteDC(mdc);
}

TEST(MonoColourRules, OneBitDibSourceDrawsInItsOwnColours) {
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD pal[2];
    } bi{};
    bi.h.biSize = sizeof(BITMAPINFOHEADER);
    bi.h.biWidth = 2;
    bi.h.biHeight = -1;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = 1;
    bi.pal[0] = RGBQUAD{0, 255, 0, 0};    // green
    bi.pal[1] = RGBQUAD{0, 255, 255, 0};  // yellow
    void* p = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &p, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    static_cast<BYTE*>(p)[0] = 0x40;  // pixel 0 -> index 0, pixel 1 -> index 1
    HDC mdc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mdc, dib);
    Canvas32 dst(2, 1);
    SetTextColor(dst.dc, RGB(1, 1, 1));
    SetBkColor(dst.dc, RGB(2, 2, 2));
    BitBlt(dst.dc, 0, 0, 2, 1, mdc, 0, 0, SRCCOPY);
    EXPECT_EQ(dst.At(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(dst.At(1, 0), RGB(255, 255, 0));
    SelectObject(mdc, old);
    DeleteObject(dib);
    DeleteDC(mdc);
}

TEST(Brushes, HatchAndPatternBrushesFollowOriginAndColours) {
    Canvas32 c(8, 8, RGB(0, 0, 255));
    HBRUSH hatch = CreateHatchBrush(HS_HORIZONTAL, RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(c.dc, hatch);
    SetBkColor(c.dc, RGB(0, 255, 0));
    SetBkMode(c.dc, TRANSPARENT);
    PatBlt(c.dc, 0, 0, 8, 8, PATCOPY);
    int red = c.Count(RGB(255, 0, 0));
    EXPECT_EQ(red, 8) << "one horizontal line";
    EXPECT_EQ(c.Count(RGB(0, 0, 255)), 56) << "transparent background leaves the rest";
    SetBkMode(c.dc, OPAQUE);
    PatBlt(c.dc, 0, 0, 8, 8, PATCOPY);
    EXPECT_EQ(c.Count(RGB(0, 255, 0)), 56) << "opaque background uses the background colour";
    // The line moves with the brush origin.
    int lineRow = -1;
    for (int y = 0; y < 8; ++y)
        if (c.At(0, y) == RGB(255, 0, 0)) lineRow = y;
    SetBrushOrgEx(c.dc, 0, 2, nullptr);
    PatBlt(c.dc, 0, 0, 8, 8, PATCOPY);
    EXPECT_EQ(c.At(0, (lineRow + 2) % 8), RGB(255, 0, 0));
    SelectObject(c.dc, old);
    DeleteObject(hatch);

    // A pattern from a monochrome bitmap: 0 bits in the text colour, 1 bits in the background.
    const BYTE rows[16] = {0xF0, 0, 0xF0, 0, 0xF0, 0, 0xF0, 0, 0xF0, 0, 0xF0, 0, 0xF0, 0, 0xF0, 0};  // left half 1s
    HBITMAP mono = CreateBitmap(8, 8, 1, 1, rows);
    HBRUSH pb = CreatePatternBrush(mono);
    DeleteObject(mono);  // the brush keeps its own copy
    SetBrushOrgEx(c.dc, 0, 0, nullptr);
    SetTextColor(c.dc, RGB(1, 2, 3));
    SetBkColor(c.dc, RGB(4, 5, 6));
    old = SelectObject(c.dc, pb);
    PatBlt(c.dc, 0, 0, 8, 8, PATCOPY);
    EXPECT_EQ(c.At(0, 0), RGB(4, 5, 6));
    EXPECT_EQ(c.At(7, 7), RGB(1, 2, 3));
    SelectObject(c.dc, old);
    DeleteObject(pb);
}

TEST(StretchModes, ShrinkingCombinesByModeAndEnlargingRepeats) {
    Canvas32 src(4, 1);
    src.bits[0] = 0x000000;
    src.bits[1] = 0xFFFFFF;
    src.bits[2] = 0xFFFFFF;
    src.bits[3] = 0xFFFFFF;
    Canvas32 dst(1, 1);
    SetStretchBltMode(dst.dc, BLACKONWHITE);
    StretchBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(dst.At(0, 0), RGB(0, 0, 0)) << "AND keeps black";
    SetStretchBltMode(dst.dc, WHITEONBLACK);
    StretchBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(dst.At(0, 0), RGB(255, 255, 255)) << "OR keeps white";
    SetStretchBltMode(dst.dc, HALFTONE);
    StretchBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 4, 1, SRCCOPY);
    EXPECT_NEAR(GetRValue(dst.At(0, 0)), 191, 1) << "halftone averages";
    EXPECT_EQ(GetStretchBltMode(dst.dc), HALFTONE);
    SetStretchBltMode(dst.dc, COLORONCOLOR);
    StretchBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 4, 1, SRCCOPY);
    EXPECT_TRUE(dst.At(0, 0) == RGB(0, 0, 0) || dst.At(0, 0) == RGB(255, 255, 255)) << "one source pixel";

    Canvas32 big(4, 2);
    src.bits[1] = 0x00FF00;
    StretchBlt(big.dc, 0, 0, 4, 2, src.dc, 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(big.At(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(big.At(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(big.At(2, 0), RGB(0, 255, 0));
    EXPECT_EQ(big.At(3, 1), RGB(0, 255, 0));
    // A negative destination width mirrors.
    StretchBlt(big.dc, 3, 0, -4, 2, src.dc, 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(big.At(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(big.At(3, 0), RGB(0, 0, 0));
}

TEST(Blits, OverlappingCopyInOneDcReadsTheOriginalPixels) {
    Canvas32 c(6, 1);
    for (int i = 0; i < 6; ++i) c.bits[i] = uint32_t(i + 1);
    BitBlt(c.dc, 1, 0, 5, 1, c.dc, 0, 0, SRCCOPY);
    for (int i = 1; i < 6; ++i) EXPECT_EQ(c.bits[i] & 0xFFFFFF, uint32_t(i)) << i;
    for (int i = 0; i < 6; ++i) c.bits[i] = uint32_t(i + 1);
    BitBlt(c.dc, 0, 0, 5, 1, c.dc, 1, 0, SRCCOPY);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(c.bits[i] & 0xFFFFFF, uint32_t(i + 2)) << i;
}

TEST(Blits, SourceOutsideItsBitmapAndClipLeaveDestinationAlone) {
    Canvas32 src(2, 2, RGB(255, 0, 0));
    Canvas32 dst(6, 6, RGB(0, 0, 0));
    BitBlt(dst.dc, 0, 0, 6, 6, src.dc, -1, -1, SRCCOPY);
    EXPECT_EQ(dst.At(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(dst.At(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(dst.At(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(dst.At(3, 3), RGB(0, 0, 0));
    EXPECT_EQ(dst.Count(RGB(255, 0, 0)), 4);

    dst.Fill(RGB(0, 0, 0));
    IntersectClipRect(dst.dc, 0, 0, 3, 6);
    ExcludeClipRect(dst.dc, 0, 0, 1, 1);
    HBRUSH b = CreateSolidBrush(RGB(0, 0, 255));
    HGDIOBJ old = SelectObject(dst.dc, b);
    PatBlt(dst.dc, 0, 0, 6, 6, PATCOPY);
    EXPECT_EQ(dst.At(0, 0), RGB(0, 0, 0)) << "excluded";
    EXPECT_EQ(dst.At(2, 5), RGB(0, 0, 255));
    EXPECT_EQ(dst.At(3, 0), RGB(0, 0, 0)) << "outside the clip";
    SelectObject(dst.dc, old);
    DeleteObject(b);
}

TEST(Blits, MaskBltAndTransparentBlt) {
    Canvas32 src(2, 1, RGB(255, 0, 0));
    src.bits[1] = Canvas32::Px(RGB(0, 255, 0));
    Canvas32 dst(2, 1, RGB(0, 0, 0));
    const WORD maskRow[1] = {0x0080};  // first pixel 1 (bits are big-endian in the byte)
    HBITMAP mask = CreateBitmap(2, 1, 1, 1, maskRow);
    ASSERT_TRUE(MaskBlt(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, mask, 0, 0, MAKEROP4(SRCCOPY, 0x00AA0029)));
    EXPECT_EQ(dst.At(0, 0), RGB(255, 0, 0)) << "mask 1: foreground operation";
    EXPECT_EQ(dst.At(1, 0), RGB(0, 0, 0)) << "mask 0: background operation (keep)";
    DeleteObject(mask);

    dst.Fill(RGB(0, 0, 0));
    ASSERT_TRUE(TransparentBlt(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, 2, 1, RGB(255, 0, 0)));
    EXPECT_EQ(dst.At(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(dst.At(1, 0), RGB(0, 255, 0));
    EXPECT_FALSE(TransparentBlt(dst.dc, 0, 0, 2, 1, src.dc, 1, 0, 2, 1, 0)) << "source rectangle out of bounds";
}

TEST(AlphaBlending, ConstantAndPremultipliedPerPixelAlpha) {
    Canvas32 src(1, 1);
    Canvas32 dst(1, 1);
    src.bits[0] = 0x00FFFFFF;
    dst.bits[0] = 0x00000000;
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 128, 0};
    ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 1, 1, bf));
    EXPECT_NEAR(GetRValue(dst.At(0, 0)), 128, 1);

    // Premultiplied: colour 0x40 at alpha 0x80 over white gives 0x40 + 0xFF * (1 - 0x80/0xFF).
    src.bits[0] = 0x80404040;
    dst.bits[0] = 0x00FFFFFF;
    bf = BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 1, 1, bf));
    EXPECT_NEAR(GetGValue(dst.At(0, 0)), 0x40 + 0x7F, 1);
    // Fully transparent pixels leave the destination; opaque ones replace it.
    src.bits[0] = 0x00000000;
    dst.bits[0] = 0x00123456;
    AlphaBlend(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 1, 1, bf);
    EXPECT_EQ(dst.bits[0] & 0xFFFFFF, 0x123456u);
    src.bits[0] = 0xFF654321;
    AlphaBlend(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 1, 1, bf);
    EXPECT_EQ(dst.bits[0] & 0xFFFFFF, 0x654321u);

    bf.BlendOp = 1;
    EXPECT_FALSE(AlphaBlend(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 1, 1, bf));
    bf.BlendOp = AC_SRC_OVER;
    EXPECT_FALSE(AlphaBlend(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 2, 1, bf)) << "source out of bounds";
}

TEST(Gradients, RectanglesRunFromStartColourAndTrianglesHitVertexColours) {
    Canvas32 c(11, 11);
    TRIVERTEX v[2] = {{0, 0, 0, 0, 0, 0}, {11, 11, 0xFF00, 0, 0, 0}};
    GRADIENT_RECT gr{0, 1};
    ASSERT_TRUE(GradientFill(c.dc, v, 2, &gr, 1, GRADIENT_FILL_RECT_H));
    EXPECT_EQ(c.At(0, 5), RGB(0, 0, 0));
    EXPECT_GT(GetRValue(c.At(10, 5)), 220);
    for (int x = 1; x < 11; ++x) EXPECT_GE(GetRValue(c.At(x, 3)), GetRValue(c.At(x - 1, 3)));
    EXPECT_EQ(c.At(4, 0), c.At(4, 10)) << "horizontal gradient is constant down a column";
    ASSERT_TRUE(GradientFill(c.dc, v, 2, &gr, 1, GRADIENT_FILL_RECT_V));
    EXPECT_EQ(c.At(0, 4), c.At(10, 4));

    c.Fill(RGB(255, 255, 255));
    TRIVERTEX t[3] = {{0, 0, 0xFF00, 0, 0, 0}, {11, 0, 0, 0xFF00, 0, 0}, {0, 11, 0, 0, 0xFF00, 0}};
    GRADIENT_TRIANGLE tri{0, 1, 2};
    ASSERT_TRUE(GradientFill(c.dc, t, 3, &tri, 1, GRADIENT_FILL_TRIANGLE));
    EXPECT_GT(GetRValue(c.At(0, 0)), 200);
    EXPECT_GT(GetGValue(c.At(9, 0)), 180);
    EXPECT_GT(GetBValue(c.At(0, 9)), 180);
    EXPECT_EQ(c.At(10, 10), RGB(255, 255, 255)) << "outside the triangle";
    GRADIENT_RECT bad{0, 7};
    EXPECT_FALSE(GradientFill(c.dc, v, 2, &bad, 1, GRADIENT_FILL_RECT_H)) << "vertex index out of range";
}

TEST(Pixels, SetPixelAndGetPixelRespectClipAndOrigins) {
    Canvas32 c(4, 4);
    EXPECT_EQ(SetPixel(c.dc, 1, 2, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(c.dc, 1, 2), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(c.dc, 4, 0), CLR_INVALID);
    SetViewportOrgEx(c.dc, 1, 1, nullptr);
    EXPECT_EQ(GetPixel(c.dc, 0, 1), RGB(1, 2, 3));
    SetWindowOrgEx(c.dc, 1, 1, nullptr);
    EXPECT_EQ(GetPixel(c.dc, 1, 2), RGB(1, 2, 3)) << "window and viewport origins cancel";
    // Monochrome bitmaps take the nearest of black and white.
    HDC mdc = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateBitmap(2, 2, 1, 1, nullptr);
    HGDIOBJ old = SelectObject(mdc, mono);
    EXPECT_EQ(SetPixel(mdc, 0, 0, RGB(200, 200, 200)), RGB(255, 255, 255));
    EXPECT_EQ(SetPixel(mdc, 1, 0, RGB(40, 40, 40)), RGB(0, 0, 0));
    SelectObject(mdc, old);
    DeleteObject(mono);
    DeleteDC(mdc);
}

}  // namespace
