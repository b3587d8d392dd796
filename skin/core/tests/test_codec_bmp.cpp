// The BMP reader and writer on hand-built files: every header form, depth and compression,
// the writer's layout, and hostile headers, counts and runs.
#include "ImageCodecs.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

void Put16(Bytes& b, unsigned v) {
    b.push_back((BYTE)v);
    b.push_back((BYTE)(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back((BYTE)(v >> (8 * i)));
}

struct BmpSpec {
    int32_t width = 2;
    int32_t height = 2;
    unsigned bpp = 24;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    uint32_t sizeImage = 0;
    uint32_t headerSize = 40;
    bool fileHeader = true;
    int32_t ppm = 3780;
};

// A BMP file: file header (optional), info header, palette, masks and pixel bytes as given.
Bytes MakeBmp(const BmpSpec& s, const Bytes& palette, const Bytes& pixels, const Bytes& masks = {}) {
    Bytes info;
    if (s.headerSize == 12) {
        Put32(info, 12);
        Put16(info, (unsigned)s.width);
        Put16(info, (unsigned)s.height);
        Put16(info, 1);
        Put16(info, s.bpp);
    } else {
        Put32(info, s.headerSize);
        Put32(info, (uint32_t)s.width);
        Put32(info, (uint32_t)s.height);
        Put16(info, 1);
        Put16(info, s.bpp);
        Put32(info, s.compression);
        Put32(info, s.sizeImage);
        Put32(info, (uint32_t)s.ppm);
        Put32(info, (uint32_t)s.ppm);
        Put32(info, s.clrUsed);
        Put32(info, 0);
        while (info.size() < s.headerSize) info.push_back(0);
    }
    Bytes out;
    if (s.fileHeader) {
        const uint32_t off = 14 + (uint32_t)(info.size() + palette.size() + masks.size());
        out.push_back('B');
        out.push_back('M');
        Put32(out, off + (uint32_t)pixels.size());
        Put32(out, 0);
        Put32(out, off);
    }
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), palette.begin(), palette.end());
    out.insert(out.end(), masks.begin(), masks.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

// Two 24-bit rows of 2 pixels: bottom row red, green; top row blue, white.
const Bytes kRows24 = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 255, 0};

void ExpectColour(const CRasterImage& img, LONG x, LONG y, int r, int g, int b) {
    const RGBQUAD c = img.GetPixelColor(x, y, false);
    EXPECT_EQ(c.rgbRed, r) << "at " << x << "," << y;
    EXPECT_EQ(c.rgbGreen, g) << "at " << x << "," << y;
    EXPECT_EQ(c.rgbBlue, b) << "at " << x << "," << y;
}

bool Decode(CRasterImage& img, const Bytes& b, DWORD format = RASTER_FORMAT_BMP) {
    return img.DecodeFromMemory(b.data(), (DWORD)b.size(), format);
}

}  // namespace

TEST(BmpDecode, HeaderFormsGiveTheSamePicture) {
    BmpSpec s;
    CRasterImage plain;
    ASSERT_TRUE(Decode(plain, MakeBmp(s, {}, kRows24)));
    EXPECT_EQ(plain.GetType(), (DWORD)RASTER_FORMAT_BMP);
    ExpectColour(plain, 0, 0, 255, 0, 0);
    ExpectColour(plain, 1, 0, 0, 255, 0);
    ExpectColour(plain, 0, 1, 0, 0, 255);
    ExpectColour(plain, 1, 1, 255, 255, 255);
    EXPECT_EQ(plain.GetXDpi(), 96);

    // Without the "BM" file header: a bare DIB.
    s.fileHeader = false;
    CRasterImage bare;
    ASSERT_TRUE(Decode(bare, MakeBmp(s, {}, kRows24)));
    ExpectColour(bare, 1, 1, 255, 255, 255);

    // A bare true-colour DIB may carry a colour table before its pixels.
    s.clrUsed = 2;
    Bytes table(8, 0xEE);
    table.insert(table.end(), kRows24.begin(), kRows24.end());
    ASSERT_TRUE(Decode(bare, MakeBmp(s, {}, table)));
    ExpectColour(bare, 0, 0, 255, 0, 0);
    s.clrUsed = 0;

    // Top-down rows (negative height) decode to the same picture.
    s.fileHeader = true;
    s.height = -2;
    const Bytes flipped = {255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0};
    CRasterImage top;
    ASSERT_TRUE(Decode(top, MakeBmp(s, {}, flipped)));
    EXPECT_EQ(top.GetHeight(), 2u);
    for (LONG y = 0; y < 2; ++y)
        for (LONG x = 0; x < 2; ++x) {
            const RGBQUAD a = top.GetPixelColor(x, y), b = plain.GetPixelColor(x, y);
            EXPECT_EQ(std::memcmp(&a, &b, 3), 0);
        }

    // A 64-byte header and a V5 (124-byte) header.
    s.height = 2;
    s.headerSize = 64;
    CRasterImage h64;
    ASSERT_TRUE(Decode(h64, MakeBmp(s, {}, kRows24)));
    ExpectColour(h64, 0, 1, 0, 0, 255);
    s.headerSize = 124;
    CRasterImage v5;
    ASSERT_TRUE(Decode(v5, MakeBmp(s, {}, kRows24)));
    ExpectColour(v5, 1, 0, 0, 255, 0);
}

TEST(BmpDecode, CoreHeaderWithThreeBytePalette) {
    BmpSpec s;
    s.headerSize = 12;
    s.bpp = 1;
    s.width = 3;
    s.height = 1;
    const Bytes pal = {10, 20, 30, 40, 50, 60};  // blue, green, red
    CRasterImage img;
    ASSERT_TRUE(Decode(img, MakeBmp(s, pal, {0xA0, 0, 0, 0})));
    ExpectColour(img, 0, 0, 60, 50, 40);
    ExpectColour(img, 1, 0, 30, 20, 10);
    ExpectColour(img, 2, 0, 60, 50, 40);
    EXPECT_EQ(img.GetPaletteColor(1).rgbReserved, 0);
}

TEST(BmpDecode, PalettedDepthsAndFourthByteCleared) {
    BmpSpec s;
    s.bpp = 4;
    s.width = 3;
    s.height = 1;
    s.clrUsed = 2;  // fewer colours than the depth indexes
    const Bytes pal = {1, 2, 3, 99, 4, 5, 6, 99};
    CRasterImage img;
    ASSERT_TRUE(Decode(img, MakeBmp(s, pal, {0x10, 0x10, 0, 0})));
    EXPECT_EQ(img.GetBpp(), 4);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 1);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 0);
    EXPECT_EQ(img.GetPixelIndex(2, 0), 1);
    ExpectColour(img, 0, 0, 6, 5, 4);
    EXPECT_EQ(img.GetPaletteColor(1).rgbReserved, 0);
    EXPECT_EQ(img.GetNumColors(), 16u);
}

TEST(BmpDecode, SixteenBitMasks) {
    BmpSpec s;
    s.bpp = 16;
    s.width = 1;
    s.height = 1;
    // Without masks: 5-5-5; 0x7FFF is white less the low three bits.
    CRasterImage img;
    ASSERT_TRUE(Decode(img, MakeBmp(s, {}, {0xFF, 0x7F, 0, 0})));
    EXPECT_EQ(img.GetBpp(), 24);
    ExpectColour(img, 0, 0, 248, 248, 248);
    ASSERT_TRUE(Decode(img, MakeBmp(s, {}, {0x1F, 0x00, 0, 0})));
    ExpectColour(img, 0, 0, 0, 0, 248);

    // 5-6-5 through bit fields: pure green has six bits.
    s.compression = 3;
    Bytes masks;
    Put32(masks, 0xF800);
    Put32(masks, 0x07E0);
    Put32(masks, 0x001F);
    ASSERT_TRUE(Decode(img, MakeBmp(s, {}, {0xE0, 0x07, 0, 0}, masks)));
    ExpectColour(img, 0, 0, 0, 252, 0);
    ASSERT_TRUE(Decode(img, MakeBmp(s, {}, {0x00, 0xF8, 0, 0}, masks)));
    ExpectColour(img, 0, 0, 248, 0, 0);

    // Odd, overlapping or empty masks are handled without undefined shifts.
    Bytes odd;
    Put32(odd, 0xFFFF);
    Put32(odd, 0);
    Put32(odd, 0x0001);
    ASSERT_TRUE(Decode(img, MakeBmp(s, {}, {0xFF, 0xFF, 0, 0}, odd)));
    ExpectColour(img, 0, 0, 255, 0, 128);
}

TEST(BmpDecode, ThirtyTwoBitDropsTheFourthByte) {
    BmpSpec s;
    s.bpp = 32;
    s.width = 2;
    s.height = 1;
    CRasterImage img;
    ASSERT_TRUE(Decode(img, MakeBmp(s, {}, {1, 2, 3, 4, 5, 6, 7, 8})));
    EXPECT_EQ(img.GetBpp(), 24);
    EXPECT_FALSE(img.HasAlpha());
    ExpectColour(img, 0, 0, 3, 2, 1);
    ExpectColour(img, 1, 0, 7, 6, 5);
    // Bit fields in another order.
    s.compression = 3;
    Bytes masks;
    Put32(masks, 0x000000FF);
    Put32(masks, 0x0000FF00);
    Put32(masks, 0x00FF0000);
    ASSERT_TRUE(Decode(img, MakeBmp(s, {}, {1, 2, 3, 4, 5, 6, 7, 8}, masks)));
    ExpectColour(img, 0, 0, 1, 2, 3);
}

TEST(BmpDecode, Rle8RunsLiteralsDeltaAndEnds) {
    BmpSpec s;
    s.bpp = 8;
    s.width = 6;
    s.height = 3;
    s.compression = 1;
    const Bytes data = {
        3, 7,              // three pixels of 7
        0, 3, 1, 2, 3, 0,  // literal 1 2 3, padded
        0, 0,              // end of line
        0, 2, 2, 1,        // delta: two right, one up
        2, 9,              // 9 9 at (2, 2), (3, 2)
        0, 1,              // end of bitmap
        5, 5,              // never read
    };
    CRasterImage img;
    ASSERT_TRUE(Decode(img, MakeBmp(s, Bytes(256 * 4, 0), data)));
    const BYTE want[3][6] = {{7, 7, 7, 1, 2, 3}, {0, 0, 0, 0, 0, 0}, {0, 0, 9, 9, 0, 0}};
    for (LONG y = 0; y < 3; ++y)
        for (LONG x = 0; x < 6; ++x) EXPECT_EQ(img.GetPixelIndex(x, y), want[y][x]) << x << "," << y;
}

TEST(BmpDecode, Rle4NibblesAndOddLiterals) {
    BmpSpec s;
    s.bpp = 4;
    s.width = 7;
    s.height = 2;
    s.compression = 2;
    const Bytes data = {
        5, 0x12,           // 1 2 1 2 1
        0, 0,              // end of line
        0, 3, 0xAB, 0xC0,  // literal A B C: two data bytes, already word-aligned
        0, 5, 0x34, 0x56, 0x70, 0,  // literal 3 4 5 6 7: three data bytes plus a pad
        0, 1,
    };
    CRasterImage img;
    ASSERT_TRUE(Decode(img, MakeBmp(s, Bytes(16 * 4, 0), data)));
    const BYTE want[2][7] = {{1, 2, 1, 2, 1, 0, 0}, {0xA, 0xB, 0xC, 3, 4, 5, 6}};
    for (LONG y = 0; y < 2; ++y)
        for (LONG x = 0; x < 7; ++x) EXPECT_EQ(img.GetPixelIndex(x, y), want[y][x]) << x << "," << y;
}

TEST(BmpDecode, HostileRleIsContained) {
    BmpSpec s;
    s.bpp = 8;
    s.width = 4;
    s.height = 2;
    s.compression = 1;
    // Runs and literals past the row end, deltas past the picture, and no end mark at all.
    Bytes data = {255, 1, 0, 200};
    for (int i = 0; i < 200; ++i) data.push_back(2);
    data.insert(data.end(), {0, 2, 255, 255, 4, 3});
    CRasterImage img;
    ASSERT_TRUE(Decode(img, MakeBmp(s, Bytes(1024, 0), data)));
    EXPECT_EQ(img.GetPixelIndex(3, 0), 1);
    EXPECT_EQ(img.GetPixelIndex(0, 1), 0);  // a run never wraps into the next row

    // A data stream of nothing but end-of-line marks ends when the rows run out.
    Bytes eol;
    for (int i = 0; i < 10000; ++i) eol.insert(eol.end(), {0, 0});
    ASSERT_TRUE(Decode(img, MakeBmp(s, Bytes(1024, 0), eol)));

    // RLE on a depth it was not made for.
    s.bpp = 4;
    EXPECT_FALSE(Decode(img, MakeBmp(s, Bytes(64, 0), {0, 1})));
    EXPECT_STREQ(img.GetLastError(), "compression type not supported");
}

TEST(BmpDecode, HostileHeadersFailWithTheirText) {
    CRasterImage img;
    const Bytes tiny = {'B', 'M', 1, 2};
    EXPECT_FALSE(Decode(img, tiny));
    EXPECT_STREQ(img.GetLastError(), "Not a BMP");

    auto expectInfoError = [&](BmpSpec s) {
        CRasterImage i;
        EXPECT_FALSE(Decode(i, MakeBmp(s, {}, kRows24)));
        EXPECT_STREQ(i.GetLastError(), "Error reading BMP info");
    };
    BmpSpec s;
    s.width = 0;
    expectInfoError(s);
    s.width = -5;
    expectInfoError(s);
    s = BmpSpec();
    s.height = INT32_MIN;
    expectInfoError(s);
    s = BmpSpec();
    s.bpp = 0;
    expectInfoError(s);
    s = BmpSpec();
    s.headerSize = 30;
    expectInfoError(s);
    s = BmpSpec();
    s.headerSize = 90;  // unknown longer header that is not a plain picture
    s.compression = 3;
    expectInfoError(s);

    // A size that would need gigabytes is refused before anything is read.
    s = BmpSpec();
    s.width = 0x7FFFFFFF;
    s.height = 0x7FFFFFFF;
    EXPECT_FALSE(Decode(img, MakeBmp(s, {}, kRows24)));
    EXPECT_STREQ(img.GetLastError(), "Can't allocate memory");

    s = BmpSpec();
    s.compression = 1;
    EXPECT_FALSE(Decode(img, MakeBmp(s, {}, kRows24)));
    EXPECT_STREQ(img.GetLastError(), "unknown compression");
    s.bpp = 8;
    s.compression = 7;
    EXPECT_FALSE(Decode(img, MakeBmp(s, Bytes(1024, 0), kRows24)));
    EXPECT_STREQ(img.GetLastError(), "compression type not supported");
}

TEST(BmpDecode, OversizedCountsAndShortDataStayInBounds) {
    // Colours used far beyond what 4 bits index, and an image size beyond the rows.
    BmpSpec s;
    s.bpp = 4;
    s.width = 2;
    s.height = 1;
    s.clrUsed = 0xFFFFFFF0u;
    s.sizeImage = 0x7FFFFFFF;
    Bytes pal(16 * 4, 7);
    CRasterImage img;
    ASSERT_TRUE(Decode(img, MakeBmp(s, pal, {0x21, 0, 0, 0})));
    EXPECT_EQ(img.GetPixelIndex(0, 0), 2);
    EXPECT_EQ(img.GetPaletteColor(15).rgbRed, 7);

    // Short pixel data leaves the rest of the picture at zero.
    BmpSpec t;
    t.width = 4;
    t.height = 4;
    ASSERT_TRUE(Decode(img, MakeBmp(t, {}, {9, 9, 9})));
    ExpectColour(img, 0, 0, 9, 9, 9);
    ExpectColour(img, 3, 3, 0, 0, 0);

    // Resolutions at the ends of the field's range.
    BmpSpec r;
    r.ppm = INT32_MIN;
    ASSERT_TRUE(Decode(img, MakeBmp(r, {}, kRows24)));
    EXPECT_EQ(img.GetXDpi(), -54546085);  // floor(-54546084.66 + 0.5)
    r.ppm = INT32_MAX;
    ASSERT_TRUE(Decode(img, MakeBmp(r, {}, kRows24)));
    EXPECT_EQ(img.GetHeader().biYPelsPerMeter, INT32_MAX);

    // A pixel offset far past the end.
    Bytes f = MakeBmp(BmpSpec(), {}, kRows24);
    f[10] = 0xFF;
    f[11] = 0xFF;
    f[12] = 0xFF;
    f[13] = 0x7F;
    EXPECT_TRUE(Decode(img, f));
}

TEST(BmpDecode, FailedDecodeLeavesTheTargetAlone) {
    CRasterImage img(3, 3, 8);
    img.SetPixelIndex(1, 1, 5);
    const Bytes junk = {'X', 'Y', 'Z', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(Decode(img, junk));
    EXPECT_EQ(img.GetWidth(), 3u);
    EXPECT_EQ(img.GetPixelIndex(1, 1), 5);
    EXPECT_FALSE(Decode(img, junk, RASTER_FORMAT_UNKNOWN));
    EXPECT_STREQ(img.GetLastError(), "Decode: Unknown or wrong format");
    EXPECT_FALSE(Decode(img, junk, 7));
    EXPECT_STREQ(img.GetLastError(), "Decode: Unknown or wrong format");
    img.SetEscape(1);
    EXPECT_FALSE(Decode(img, MakeBmp(BmpSpec(), {}, kRows24)));
    EXPECT_STREQ(img.GetLastError(), "Cancelled");
}

TEST(BmpEncode, LayoutAndRoundTrip) {
    CRasterImage img(3, 2, 4);
    img.SetPaletteColor(1, 10, 20, 30);
    img.SetPixelIndex(0, 0, 1);
    img.SetPixelIndex(2, 1, 1);
    img.SetXDpi(72);
    BYTE* buf = nullptr;
    LONG size = 0;
    ASSERT_TRUE(img.EncodeToMemory(&buf, &size, RASTER_FORMAT_BMP));
    ASSERT_EQ(size, (LONG)(14 + 40 + 64 + 8));
    EXPECT_EQ(buf[0], 'B');
    EXPECT_EQ(buf[1], 'M');
    EXPECT_EQ(buf[2] | (buf[3] << 8), size);
    EXPECT_EQ(buf[10], 14 + 40 + 64);
    EXPECT_EQ(buf[14], 40);
    EXPECT_EQ(buf[14 + 14], 4);  // bit count
    EXPECT_EQ(buf[14 + 24] | (buf[14 + 25] << 8), 2835);  // 72 dpi
    EXPECT_EQ(buf[14 + 40 + 4 + 2], 10);                   // entry 1, red
    EXPECT_EQ(buf[14 + 40 + 64], 0x10);                    // bottom row first

    CRasterImage back;
    ASSERT_TRUE(back.DecodeFromMemory(buf, (DWORD)size, RASTER_FORMAT_UNKNOWN));
    EXPECT_EQ(back.GetType(), (DWORD)RASTER_FORMAT_BMP);
    EXPECT_EQ(back.GetBpp(), 4);
    EXPECT_EQ(back.GetPixelIndex(2, 1), 1);
    EXPECT_EQ(back.GetXDpi(), 72);
    ExpectColour(back, 0, 0, 10, 20, 30);

    // The same picture always gives the same bytes.
    BYTE* again = nullptr;
    LONG size2 = 0;
    ASSERT_TRUE(back.EncodeToMemory(&again, &size2, RASTER_FORMAT_BMP));
    ASSERT_EQ(size2, size);
    EXPECT_EQ(std::memcmp(buf, again, (size_t)size), 0);
    std::free(again);

    // A buffer pointer that is not null on entry is refused.
    BYTE* held = buf;
    EXPECT_FALSE(img.EncodeToMemory(&held, &size, RASTER_FORMAT_BMP));
    EXPECT_EQ(held, buf);
    std::free(buf);

    CRasterImage empty;
    BYTE* none = nullptr;
    EXPECT_FALSE(empty.EncodeToMemory(&none, &size, RASTER_FORMAT_BMP));
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");
    EXPECT_FALSE(img.EncodeToMemory(&none, &size, 9));
    EXPECT_STREQ(img.GetLastError(), "Encode: Unknown format");
    EXPECT_FALSE(img.Encode((CImageStream*)nullptr, RASTER_FORMAT_BMP));
    EXPECT_STREQ(img.GetLastError(), "null file handler");

    // A stream that refuses the bytes is a failed write, for both writers.
    FILE* ro = std::fopen("/proc/self/exe", "rb");
    ASSERT_NE(ro, nullptr);
    EXPECT_FALSE(img.Encode(ro, RASTER_FORMAT_BMP));
    EXPECT_STREQ(img.GetLastError(), "Encode: write failed");
    CRasterImage rgb(2, 2, 24);
    EXPECT_FALSE(rgb.Encode(ro, RASTER_FORMAT_TGA));
    EXPECT_STREQ(rgb.GetLastError(), "Encode: write failed");
    std::fclose(ro);
}

TEST(BmpFiles, LoadPathAndWidePath) {
    char dir[] = "/tmp/bmpfilesXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string path = std::string(dir) + "/pic.bmp";
    CRasterImage img(2, 2, 24);
    img.SetPixelColor(1, 1, RGB(1, 2, 3));
    ASSERT_TRUE(img.SavePath(path.c_str(), RASTER_FORMAT_BMP));
    CRasterImage a, b, c;
    ASSERT_TRUE(a.LoadPath(path.c_str(), RASTER_FORMAT_BMP));
    ExpectColour(a, 1, 1, 1, 2, 3);
    // Named TGA: that reader fails, the bytes still load, as BMP.
    ASSERT_TRUE(b.LoadPath(path.c_str(), RASTER_FORMAT_TGA));
    EXPECT_EQ(b.GetType(), (DWORD)RASTER_FORMAT_BMP);
    std::u16string wide(path.begin(), path.end());
    ASSERT_TRUE(c.LoadPathW(wide.c_str()));
    ExpectColour(c, 1, 1, 1, 2, 3);
    EXPECT_FALSE(c.LoadPath((std::string(dir) + "/missing.bmp").c_str()));
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(c.DecodeFile(f, RASTER_FORMAT_BMP));
    EXPECT_EQ(std::fgetc(f), EOF);  // the FILE stays open and usable
    std::fclose(f);
    std::remove(path.c_str());
    rmdir(dir);
}
