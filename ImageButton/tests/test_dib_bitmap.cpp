// The in-memory bitmap: block layout per bit depth, palette and pixel setters, drawing through
// a DIB section, and the .bmp file it writes read back by the bitmap loader.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "DibBitmap.h"

namespace {

// A memory DC over a screen-compatible bitmap filled with one colour.
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    Canvas(int w, int h, COLORREF fill) {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bmp = CreateCompatibleBitmap(screen, w, h);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bmp);
        RECT all{0, 0, w, h};
        HBRUSH b = CreateSolidBrush(fill);
        FillRect(dc, &all, b);
        DeleteObject(b);
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
};

std::vector<BYTE> Block(const CDibBitmap& d) {
    const BYTE* start = d.GetBits() - d.GetPaletteSize() - sizeof(BITMAPINFOHEADER);
    return std::vector<BYTE>(start, start + d.GetSize());
}

std::vector<BYTE> ReadFile(const std::string& path) {
    std::vector<BYTE> out;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF) out.push_back(BYTE(c));
        std::fclose(f);
    }
    return out;
}

DWORD Le32(const std::vector<BYTE>& v, size_t at) {
    return DWORD(v[at]) | DWORD(v[at + 1]) << 8 | DWORD(v[at + 2]) << 16 | DWORD(v[at + 3]) << 24;
}

}  // namespace

TEST(DibBitmapLayout, RowsPaletteAndBlockSizesFollowTheBitDepth) {
    struct Case {
        WORD bpp;
        DWORD line;
        WORD colors;
    } cases[] = {{1, 4, 2}, {4, 4, 16}, {8, 8, 256}, {16, 12, 0}, {24, 16, 0}, {32, 20, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bpp);
        CDibBitmap d;
        ASSERT_TRUE(d.Create(5, 3, c.bpp));
        EXPECT_EQ(d.GetWidth(), 5u);
        EXPECT_EQ(d.GetHeight(), 3u);
        EXPECT_EQ(d.GetBitCount(), c.bpp);
        EXPECT_EQ(d.GetLineWidth(), c.line);
        EXPECT_EQ(d.GetNumColors(), c.colors);
        EXPECT_EQ(d.GetPaletteSize(), DWORD(c.colors) * 4);
        EXPECT_EQ(d.GetSize(), 40 + DWORD(c.colors) * 4 + c.line * 3);
        // The block starts with the header it describes.
        BITMAPINFOHEADER h;
        std::memcpy(&h, Block(d).data(), sizeof h);
        EXPECT_EQ(h.biSize, 40u);
        EXPECT_EQ(h.biWidth, 5);
        EXPECT_EQ(h.biHeight, 3);
        EXPECT_EQ(h.biPlanes, 1);
        EXPECT_EQ(h.biBitCount, c.bpp);
        EXPECT_EQ(h.biCompression, DWORD(BI_RGB));
        EXPECT_EQ(h.biSizeImage, c.line * 3);
        EXPECT_EQ(h.biClrUsed, 0u);
    }
}

TEST(DibBitmapLayout, EmptySizesAreRefusedAndFreeEmptiesTheImage) {
    CDibBitmap d;
    EXPECT_FALSE(d.Create(0, 10, 8));
    EXPECT_FALSE(d.Create(10, 0, 8));
    EXPECT_FALSE(d.Create(100000, 100000, 32));  // far more than a picture of a button needs
    EXPECT_EQ(d.GetBits(), nullptr);
    EXPECT_EQ(d.GetSize(), 0u);
    ASSERT_TRUE(d.Create(4, 4, 8));
    d.Free();
    EXPECT_EQ(d.GetBits(), nullptr);
    EXPECT_EQ(d.GetWidth(), 0u);
    EXPECT_EQ(d.GetNumColors(), 0);
    // Nothing to draw or to write.
    Canvas c(4, 4, RGB(1, 2, 3));
    EXPECT_FALSE(d.Draw(c.dc, 0, 0));
    EXPECT_FALSE(d.WriteBMP((testing::TempDir() + "dib_empty.bmp").c_str()));
    // Cloning an empty image gives an empty one.
    CDibBitmap e;
    ASSERT_TRUE(e.Create(2, 2, 8));
    EXPECT_FALSE(e.Clone(&d));
    EXPECT_EQ(e.GetBits(), nullptr);
}

TEST(DibBitmapPixels, PixelIndexesLandInTheirRowAndBitsAndNowhereElse) {
    CDibBitmap d8;
    ASSERT_TRUE(d8.Create(5, 3, 8));
    d8.SetPixelIndex(1, 0, 7);  // top row = last row of the block
    d8.SetPixelIndex(4, 2, 9);  // bottom row = first
    EXPECT_EQ(d8.GetBits()[2 * 8 + 1], 7);
    EXPECT_EQ(d8.GetBits()[4], 9);

    CDibBitmap d4;
    ASSERT_TRUE(d4.Create(5, 2, 4));
    d4.SetPixelIndex(0, 1, 0xA);
    d4.SetPixelIndex(1, 1, 0x3);
    d4.SetPixelIndex(4, 1, 0xF);
    d4.SetPixelIndex(1, 1, 0x5);  // replaces only its own nibble
    EXPECT_EQ(d4.GetBits()[0], 0xA5);
    EXPECT_EQ(d4.GetBits()[2], 0xF0);
    EXPECT_EQ(d4.GetBits()[3], 0);  // padding untouched

    CDibBitmap d1;
    ASSERT_TRUE(d1.Create(10, 1, 1));
    d1.SetPixelIndex(0, 0, 1);
    d1.SetPixelIndex(9, 0, 1);
    d1.SetPixelIndex(3, 0, 1);
    d1.SetPixelIndex(3, 0, 0);
    EXPECT_EQ(d1.GetBits()[0], 0x80);
    EXPECT_EQ(d1.GetBits()[1], 0x40);

    // Outside the image, and on images without a palette, nothing changes.
    for (CDibBitmap* d : {&d8, &d4, &d1}) {
        std::vector<BYTE> before = Block(*d);
        d->SetPixelIndex(-1, 0, 1);
        d->SetPixelIndex(0, -1, 1);
        d->SetPixelIndex(long(d->GetWidth()), 0, 1);
        d->SetPixelIndex(0, long(d->GetHeight()), 1);
        EXPECT_EQ(Block(*d), before);
    }
    CDibBitmap d24;
    ASSERT_TRUE(d24.Create(3, 3, 24));
    std::vector<BYTE> before = Block(d24);
    d24.SetPixelIndex(1, 1, 200);
    EXPECT_EQ(Block(d24), before);

    d8.Clear(0x5A);
    for (DWORD i = 0; i < d8.GetLineWidth() * d8.GetHeight(); ++i) ASSERT_EQ(d8.GetBits()[i], 0x5A);
}

TEST(DibBitmapPalette, EntriesGreyRampAndBlend) {
    CDibBitmap d;
    ASSERT_TRUE(d.Create(2, 2, 4));
    auto entry = [&](int i) {
        const BYTE* p = d.GetBits() - d.GetPaletteSize() + 4 * i;
        return std::vector<int>{p[0], p[1], p[2], p[3]};
    };
    d.SetPaletteIndex(3, 10, 20, 30);
    EXPECT_EQ(entry(3), (std::vector<int>{30, 20, 10, 0}));  // blue, green, red, 0
    std::vector<BYTE> before = Block(d);
    d.SetPaletteIndex(16, 1, 1, 1);  // past the 16 entries
    EXPECT_EQ(Block(d), before);

    d.SetGrayPalette();
    EXPECT_EQ(entry(0), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(entry(5), (std::vector<int>{5, 5, 5, 0}));
    EXPECT_EQ(entry(15), (std::vector<int>{255, 255, 255, 0}));

    d.BlendPalette(RGB(255, 0, 100), 50);
    EXPECT_EQ(entry(5), (std::vector<int>{52, 2, 130, 0}));     // (5+100)/2, 5/2, (5+255)/2
    EXPECT_EQ(entry(15), (std::vector<int>{177, 127, 255, 0}));  // (255+100)/2, 255/2, 255
    d.BlendPalette(RGB(0, 200, 0), 250);                         // capped at 100 %
    EXPECT_EQ(entry(9), (std::vector<int>{0, 200, 0, 0}));
    before = Block(d);
    d.BlendPalette(RGB(255, 255, 255), -20);  // a negative share changes nothing
    EXPECT_EQ(Block(d), before);
}

TEST(DibBitmapPalette, CloneCopiesEverythingAndStaysIndependent) {
    CDibBitmap a, b;
    ASSERT_TRUE(a.Create(3, 2, 8));
    a.SetGrayPalette();
    a.SetPixelIndex(2, 1, 77);
    ASSERT_TRUE(b.Clone(&a));
    EXPECT_EQ(Block(b), Block(a));
    b.SetPixelIndex(2, 1, 1);
    b.BlendPalette(RGB(255, 0, 0), 100);
    EXPECT_EQ(a.GetBits()[2], 77);
    EXPECT_NE(Block(b), Block(a));
}

TEST(DibBitmapDraw, EachDepthDrawsItsColoursAtItsPlaceAndFollowsPaletteChanges) {
    const COLORREF bg = RGB(1, 2, 3);
    {  // 8 bits
        CDibBitmap d;
        ASSERT_TRUE(d.Create(4, 3, 8));
        d.SetPaletteIndex(1, 255, 0, 0);
        d.SetPaletteIndex(2, 0, 0, 255);
        d.Clear(1);
        d.SetPixelIndex(0, 0, 2);
        Canvas c(10, 10, bg);
        ASSERT_TRUE(d.Draw(c.dc, 2, 1));
        EXPECT_EQ(c.At(2, 1), RGB(0, 0, 255));  // top-left pixel, y counted from the top
        EXPECT_EQ(c.At(5, 3), RGB(255, 0, 0));
        EXPECT_EQ(c.At(1, 1), bg);
        EXPECT_EQ(c.At(6, 1), bg);
        EXPECT_EQ(c.At(2, 4), bg);
        // A later palette change shows on the next draw.
        d.BlendPalette(RGB(0, 255, 0), 100);
        ASSERT_TRUE(d.Draw(c.dc, 2, 1));
        EXPECT_EQ(c.At(3, 2), RGB(0, 255, 0));
    }
    {  // 4 and 1 bits
        CDibBitmap d4, d1;
        ASSERT_TRUE(d4.Create(3, 2, 4));
        ASSERT_TRUE(d1.Create(9, 2, 1));
        d4.SetPaletteIndex(0, 10, 10, 10);
        d4.SetPaletteIndex(15, 200, 100, 50);
        d4.SetPixelIndex(2, 1, 15);
        d1.SetPaletteIndex(0, 0, 0, 0);
        d1.SetPaletteIndex(1, 255, 255, 0);
        d1.SetPixelIndex(8, 0, 1);
        Canvas c(12, 6, bg);
        ASSERT_TRUE(d4.Draw(c.dc, 0, 0));
        ASSERT_TRUE(d1.Draw(c.dc, 0, 3));
        EXPECT_EQ(c.At(2, 1), RGB(200, 100, 50));
        EXPECT_EQ(c.At(1, 1), RGB(10, 10, 10));
        EXPECT_EQ(c.At(8, 3), RGB(255, 255, 0));
        EXPECT_EQ(c.At(7, 3), RGB(0, 0, 0));
        EXPECT_EQ(c.At(9, 3), bg);
    }
    {  // 24 and 32 bits: pixels written as blue, green, red
        CDibBitmap d24, d32;
        ASSERT_TRUE(d24.Create(2, 2, 24));
        ASSERT_TRUE(d32.Create(2, 2, 32));
        BYTE* top24 = d24.GetBits() + d24.GetLineWidth();  // the top row is stored last
        top24[3] = 30, top24[4] = 20, top24[5] = 10;
        BYTE* top32 = d32.GetBits() + d32.GetLineWidth();
        top32[0] = 90, top32[1] = 80, top32[2] = 70;
        Canvas c(6, 3, bg);
        ASSERT_TRUE(d24.Draw(c.dc, 0, 0));
        ASSERT_TRUE(d32.Draw(c.dc, 3, 1));
        EXPECT_EQ(c.At(1, 0), RGB(10, 20, 30));
        EXPECT_EQ(c.At(0, 1), RGB(0, 0, 0));
        EXPECT_EQ(c.At(3, 1), RGB(70, 80, 90));
        EXPECT_EQ(c.At(5, 1), bg);
    }
}

TEST(DibBitmapFile, WrittenFilesCarryTheHeaderAndLoadBackWithTheirPixels) {
    for (WORD bpp : {WORD(4), WORD(8), WORD(24)}) {
        SCOPED_TRACE(bpp);
        CDibBitmap d;
        ASSERT_TRUE(d.Create(5, 3, bpp));
        if (bpp == 24) {
            BYTE* top = d.GetBits() + 2 * d.GetLineWidth();
            top[0] = 255;  // top-left blue
            d.GetBits()[4 * 3 + 1] = 255;  // bottom row, x 4: green
        } else {
            d.SetPaletteIndex(1, 0, 0, 255);
            d.SetPaletteIndex(2, 0, 255, 0);
            d.SetPixelIndex(0, 0, 1);
            d.SetPixelIndex(4, 2, 2);
        }
        std::string path = testing::TempDir() + "dib_" + std::to_string(bpp) + ".bmp";
        ASSERT_TRUE(d.WriteBMP(path.c_str()));
        std::vector<BYTE> file = ReadFile(path);
        ASSERT_EQ(file.size(), d.GetSize() + 14);
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(Le32(file, 2), d.GetSize() + 14);
        EXPECT_EQ(Le32(file, 6), 0u);
        EXPECT_EQ(Le32(file, 10), 54 + d.GetPaletteSize());
        EXPECT_EQ(std::vector<BYTE>(file.begin() + 14, file.end()), Block(d));

        HBITMAP loaded = HBITMAP(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        ASSERT_NE(loaded, nullptr);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, loaded);
        EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 255));
        EXPECT_EQ(GetPixel(dc, 4, 2), RGB(0, 255, 0));
        EXPECT_EQ(GetPixel(dc, 2, 1), RGB(0, 0, 0));
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(loaded);
        std::remove(path.c_str());
    }
    CDibBitmap d;
    ASSERT_TRUE(d.Create(2, 2, 8));
    EXPECT_FALSE(d.WriteBMP(""));
    EXPECT_FALSE(d.WriteBMP(nullptr));
    EXPECT_FALSE(d.WriteBMP("/nonexistent-folder/x.bmp"));
}
