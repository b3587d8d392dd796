// Copies and conversions of images: CopyImage, DrawState, indexed GetDIBits, extended pens and
// character widths against extents.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gdi_test_support.h"

using gdit::Canvas32;

namespace {

const COLORREF kWhite = RGB(255, 255, 255);

TEST(Images, CopyImageScalesBitmapsAndCanMakeDibSections) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP src = CreateCompatibleBitmap(dc, 2, 2);
    HGDIOBJ old = SelectObject(dc, src);
    SetPixelV(dc, 0, 0, RGB(255, 0, 0));
    SetPixelV(dc, 1, 1, RGB(0, 0, 255));
    SelectObject(dc, old);
    HBITMAP big = static_cast<HBITMAP>(CopyImage(src, 0 /* IMAGE_BITMAP */, 4, 4, 0x2000 /* LR_CREATEDIBSECTION */));
    ASSERT_NE(big, nullptr);
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(big, sizeof(ds), &ds), int(sizeof(ds)));
    EXPECT_EQ(ds.dsBm.bmWidth, 4);
    EXPECT_NE(ds.dsBm.bmBits, nullptr);
    old = SelectObject(dc, big);
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 3, 3), RGB(0, 0, 255));
    SelectObject(dc, old);
    EXPECT_EQ(CopyImage(reinterpret_cast<HANDLE>(dc), 0, 0, 0, 0), nullptr) << "not a bitmap";
    DeleteObject(big);
    DeleteObject(src);
    DeleteDC(dc);
}

TEST(Images, GetDIBitsToEightBitsWritesAMatchingColourTable) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP b = CreateCompatibleBitmap(dc, 3, 1);
    HGDIOBJ old = SelectObject(dc, b);
    SetPixelV(dc, 0, 0, RGB(255, 0, 0));
    SetPixelV(dc, 1, 0, RGB(0, 0, 0));
    SetPixelV(dc, 2, 0, RGB(255, 255, 255));
    SelectObject(dc, old);
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD pal[256];
    } bi{};
    bi.h.biSize = sizeof(BITMAPINFOHEADER);
    bi.h.biWidth = 3;
    bi.h.biHeight = 1;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = 8;
    BYTE idx[4] = {};
    ASSERT_EQ(GetDIBits(dc, b, 0, 1, idx, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS), 1);
    for (int i = 0; i < 3; ++i) {
        RGBQUAD q = bi.pal[idx[i]];
        COLORREF c = RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
        EXPECT_EQ(c, i == 0 ? RGB(255, 0, 0) : i == 1 ? RGB(0, 0, 0) : kWhite) << i;
    }
    DeleteObject(b);
    DeleteDC(dc);
}

TEST(Images, DrawStateDrawsNormalAndEmbossedDisabledText) {
    Canvas32 c(120, 30);
    HFONT f = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
    HGDIOBJ old = SelectObject(c.dc, f);
    SetTextColor(c.dc, RGB(0, 0, 0));
    const char* text = "Open";
    ASSERT_TRUE(DrawStateA(c.dc, nullptr, nullptr, LPARAM(text), 4, 5, 5, 0, 0, DST_TEXT));
    EXPECT_GT(c.Count(RGB(0, 0, 0)), 0);
    EXPECT_EQ(GetTextColor(c.dc), RGB(0, 0, 0));
    c.Fill(RGB(0, 0, 0));
    ASSERT_TRUE(DrawStateA(c.dc, nullptr, nullptr, LPARAM(text), 4, 5, 5, 0, 0, DST_TEXT | DSS_DISABLED));
    RECT ink = c.InkBox(RGB(0, 0, 0));
    EXPECT_GT(ink.right, ink.left) << "a disabled text is visible on black: its highlight shows";
    EXPECT_EQ(GetTextColor(c.dc), RGB(0, 0, 0)) << "the DC's colours are restored";
    EXPECT_EQ(GetBkMode(c.dc), OPAQUE);
    SelectObject(c.dc, old);
    DeleteObject(f);
}

TEST(Pens, ExtendedPensDescribeThemselvesAndDrawUserDashes) {
    LOGBRUSH lb{BS_SOLID, RGB(255, 0, 0), 0};
    DWORD dashes[2] = {2, 3};
    HPEN p = ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, &lb, 2, dashes);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(GetObjectType(p), DWORD(OBJ_EXTPEN));
    std::vector<BYTE> buf(GetObjectA(p, 0, nullptr) + 64);
    int n = GetObjectA(p, int(buf.size()), buf.data());
    ASSERT_GT(n, 0);
    const EXTLOGPEN* e = reinterpret_cast<const EXTLOGPEN*>(buf.data());
    EXPECT_EQ(e->elpNumEntries, 2u);
    EXPECT_EQ(e->elpStyleEntry[1], 3u);
    EXPECT_EQ(e->elpColor, RGB(255, 0, 0));
    Canvas32 c(10, 1);
    SelectObject(c.dc, p);
    SetBkMode(c.dc, TRANSPARENT);
    MoveToEx(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 10, 0);
    const bool want[10] = {1, 1, 0, 0, 0, 1, 1, 0, 0, 0};
    for (int x = 0; x < 10; ++x) EXPECT_EQ(c.At(x, 0) == RGB(255, 0, 0), want[x]) << x;
    SelectObject(c.dc, GetStockObject(BLACK_PEN));
    DeleteObject(p);
    EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, &lb, 0, nullptr), nullptr);
    EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_SOLID, 3, &lb, 0, nullptr), nullptr) << "cosmetic pens are one pixel";
}

TEST(TextWidths, CharacterWidthsSumToTheExtent) {
    Canvas32 c(4, 4);
    HFONT f = CreateFontA(-15, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Verdana");
    HGDIOBJ old = SelectObject(c.dc, f);
    const char* text = "Mp4 output";
    INT widths[256] = {};
    ASSERT_TRUE(GetCharWidth32A(c.dc, 0, 255, widths));
    int sum = 0;
    for (const char* p = text; *p; ++p) sum += widths[BYTE(*p)];
    SIZE sz{};
    GetTextExtentPoint32A(c.dc, text, int(strlen(text)), &sz);
    EXPECT_EQ(sum, sz.cx);
    ABC abc[1];
    ASSERT_TRUE(GetCharABCWidthsA(c.dc, 'M', 'M', abc));
    EXPECT_EQ(abc[0].abcA + int(abc[0].abcB) + abc[0].abcC, widths[BYTE('M')]);
    // Character spacing adds to every character.
    SetTextCharacterExtra(c.dc, 2);
    SIZE spaced{};
    GetTextExtentPoint32A(c.dc, text, int(strlen(text)), &spaced);
    EXPECT_EQ(spaced.cx, sz.cx + 2 * int(strlen(text)));
    SelectObject(c.dc, old);
    DeleteObject(f);
}

}  // namespace
