// The in-memory bitmap: block layout per bit depth, pixel and palette setters, drawing through
// a DIB section, and the .bmp file it writes read back by the bitmap loader.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "DibBitmap.h"

namespace {

std::vector<BYTE> Block(const CDibBitmap& d) {
    const BYTE* start = d.GetBits() - d.GetPaletteSize() - sizeof(BITMAPINFOHEADER);
    return std::vector<BYTE>(start, start + d.GetSize());
}

// Draws the image at (1, 1) of a 12 x 8 canvas of colour `bg` and returns the canvas pixel.
struct Drawn {
    HDC dc;
    HBITMAP bmp;
    Drawn(CDibBitmap& d, COLORREF bg) {
        dc = CreateCompatibleDC(nullptr);
        HDC screen = GetDC(nullptr);
        bmp = CreateCompatibleBitmap(screen, 12, 8);
        ReleaseDC(nullptr, screen);
        SelectObject(dc, bmp);
        RECT all{0, 0, 12, 8};
        HBRUSH b = CreateSolidBrush(bg);
        FillRect(dc, &all, b);
        DeleteObject(b);
        EXPECT_TRUE(d.Draw(dc, 1, 1));
    }
    ~Drawn() {
        DeleteDC(dc);
        DeleteObject(bmp);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
};

}  // namespace

TEST(DibBitmap, RowsPaletteAndBlockSizesFollowTheBitDepth) {
    struct Case {
        WORD bpp;
        DWORD line;
        WORD colors;
    } cases[] = {{1, 4, 2}, {4, 4, 16}, {8, 8, 256}, {16, 12, 0}, {24, 16, 0}, {32, 20, 0}};
    for (const Case& c : cases) {
        CDibBitmap d;
        ASSERT_TRUE(d.Create(5, 3, c.bpp));
        EXPECT_EQ(d.GetLineWidth(), c.line) << c.bpp;
        EXPECT_EQ(d.GetNumColors(), c.colors) << c.bpp;
        EXPECT_EQ(d.GetSize(), 40 + DWORD(c.colors) * 4 + c.line * 3) << c.bpp;
        BITMAPINFOHEADER h;
        std::memcpy(&h, Block(d).data(), sizeof h);
        EXPECT_TRUE(h.biSize == 40 && h.biWidth == 5 && h.biHeight == 3 && h.biPlanes == 1 && h.biBitCount == c.bpp &&
                    h.biSizeImage == c.line * 3);
    }
    CDibBitmap d;
    EXPECT_FALSE(d.Create(0, 10, 8));
    EXPECT_FALSE(d.Create(100000, 100000, 32));
    EXPECT_EQ(d.GetBits(), nullptr);
    EXPECT_FALSE(d.WriteBMP((testing::TempDir() + "dib_empty.bmp").c_str()));
}

TEST(DibBitmap, PixelIndexesLandInTheirRowAndBitsAndNowhereElse) {
    CDibBitmap d8, d4, d1, d24;
    ASSERT_TRUE(d8.Create(5, 3, 8) && d4.Create(5, 2, 4) && d1.Create(10, 1, 1) && d24.Create(3, 3, 24));
    d8.SetPixelIndex(1, 0, 7);  // the top row is the block's last
    d8.SetPixelIndex(4, 2, 9);
    EXPECT_EQ(d8.GetBits()[2 * 8 + 1], 7);
    EXPECT_EQ(d8.GetBits()[4], 9);
    d4.SetPixelIndex(0, 1, 0xA);
    d4.SetPixelIndex(1, 1, 0x3);
    d4.SetPixelIndex(1, 1, 0x5);  // replaces only its own nibble
    d4.SetPixelIndex(4, 1, 0xF);
    EXPECT_EQ(d4.GetBits()[0], 0xA5);
    EXPECT_EQ(d4.GetBits()[2], 0xF0);
    d1.SetPixelIndex(0, 0, 1);
    d1.SetPixelIndex(9, 0, 1);
    d1.SetPixelIndex(3, 0, 1);
    d1.SetPixelIndex(3, 0, 0);
    EXPECT_EQ(d1.GetBits()[0], 0x80);
    EXPECT_EQ(d1.GetBits()[1], 0x40);
    // Outside the image, and on an image without a palette, nothing changes.
    for (CDibBitmap* d : {&d8, &d4, &d1, &d24}) {
        std::vector<BYTE> before = Block(*d);
        d->SetPixelIndex(-1, 0, 1);
        d->SetPixelIndex(0, long(d->GetHeight()), 1);
        d->SetPixelIndex(long(d->GetWidth()), 0, 1);
        if (d == &d24) d->SetPixelIndex(1, 1, 200);
        EXPECT_EQ(Block(*d), before);
    }
}

TEST(DibBitmap, EachDepthDrawsItsColoursAtItsPlaceAndFollowsPaletteChanges) {
    const COLORREF bg = RGB(1, 2, 3);
    CDibBitmap d8, d1, d24;
    ASSERT_TRUE(d8.Create(4, 3, 8) && d1.Create(9, 2, 1) && d24.Create(2, 2, 24));
    d8.SetPaletteIndex(1, 255, 0, 0);
    d8.SetPaletteIndex(2, 0, 0, 255);
    d8.Clear(1);
    d8.SetPixelIndex(0, 0, 2);
    {
        Drawn c(d8, bg);
        EXPECT_EQ(c.At(1, 1), RGB(0, 0, 255));
        EXPECT_EQ(c.At(4, 3), RGB(255, 0, 0));
        EXPECT_EQ(c.At(5, 1), bg);
        EXPECT_EQ(c.At(1, 4), bg);
    }
    // Blending moves every entry towards the colour (capped at 100 %), also after a first draw.
    d8.BlendPalette(RGB(0, 100, 255), 50);
    EXPECT_EQ(Drawn(d8, bg).At(2, 2), RGB(127, 50, 127));
    d8.BlendPalette(RGB(0, 255, 0), 250);
    EXPECT_EQ(Drawn(d8, bg).At(2, 2), RGB(0, 255, 0));
    CDibBitmap copy;
    ASSERT_TRUE(copy.Clone(&d8));
    EXPECT_EQ(Block(copy), Block(d8));
    copy.SetGrayPalette();
    copy.SetPixelIndex(0, 0, 200);
    copy.SetPixelIndex(1, 0, 0);
    copy.SetPixelIndex(2, 0, 255);
    Drawn grey(copy, bg);
    EXPECT_EQ(grey.At(1, 1), RGB(200, 200, 200));
    EXPECT_EQ(grey.At(2, 1), RGB(0, 0, 0));
    EXPECT_EQ(grey.At(3, 1), RGB(255, 255, 255));

    d1.SetPaletteIndex(1, 255, 255, 0);
    d1.SetPixelIndex(8, 0, 1);
    Drawn c1(d1, bg);
    EXPECT_EQ(c1.At(9, 1), RGB(255, 255, 0));
    EXPECT_EQ(c1.At(8, 1), RGB(0, 0, 0));

    BYTE* top = d24.GetBits() + d24.GetLineWidth();
    top[3] = 30, top[4] = 20, top[5] = 10;  // blue, green, red
    EXPECT_EQ(Drawn(d24, bg).At(2, 1), RGB(10, 20, 30));
}

TEST(DibBitmap, WrittenFilesCarryTheHeaderAndLoadBackWithTheirPixels) {
    for (WORD bpp : {WORD(4), WORD(24)}) {
        CDibBitmap d;
        ASSERT_TRUE(d.Create(5, 3, bpp));
        if (bpp == 24) {
            d.GetBits()[2 * d.GetLineWidth()] = 255;  // top-left blue
            d.GetBits()[4 * 3 + 1] = 255;             // bottom-right green
        } else {
            d.SetPaletteIndex(1, 0, 0, 255);
            d.SetPaletteIndex(2, 0, 255, 0);
            d.SetPixelIndex(0, 0, 1);
            d.SetPixelIndex(4, 2, 2);
        }
        std::string path = testing::TempDir() + "dib_" + std::to_string(bpp) + ".bmp";
        ASSERT_TRUE(d.WriteBMP(path.c_str()));
        std::vector<BYTE> file(d.GetSize() + 15);
        std::FILE* f = std::fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr);
        file.resize(std::fread(file.data(), 1, file.size(), f));
        std::fclose(f);
        ASSERT_EQ(file.size(), d.GetSize() + 14);
        auto le32 = [&](size_t at) { return DWORD(file[at] | file[at + 1] << 8 | file[at + 2] << 16 | file[at + 3] << 24); };
        EXPECT_TRUE(file[0] == 'B' && file[1] == 'M' && le32(6) == 0);
        EXPECT_EQ(le32(2), d.GetSize() + 14);
        EXPECT_EQ(le32(10), 54 + d.GetPaletteSize());
        EXPECT_EQ(std::vector<BYTE>(file.begin() + 14, file.end()), Block(d));

        HBITMAP loaded = HBITMAP(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        ASSERT_NE(loaded, nullptr);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, loaded);
        EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 255)) << bpp;
        EXPECT_EQ(GetPixel(dc, 4, 2), RGB(0, 255, 0)) << bpp;
        EXPECT_EQ(GetPixel(dc, 2, 1), RGB(0, 0, 0)) << bpp;
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(loaded);
        std::remove(path.c_str());
    }
    CDibBitmap d;
    ASSERT_TRUE(d.Create(2, 2, 8));
    EXPECT_FALSE(d.WriteBMP(""));
    EXPECT_FALSE(d.WriteBMP("/nonexistent-folder/x.bmp"));
}
