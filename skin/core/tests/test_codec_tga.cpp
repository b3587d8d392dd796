// The TGA reader and writer on hand-built files, and the memory stream they run on.
#include "ImageCodecs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

struct TgaSpec {
    BYTE idLength = 0;
    BYTE mapType = 0;
    BYTE type = 2;
    uint16_t mapFirst = 0;
    uint16_t mapLength = 0;
    BYTE mapEntry = 0;
    uint16_t width = 2;
    uint16_t height = 2;
    BYTE depth = 24;
    BYTE descriptor = 0;
};

Bytes MakeTga(const TgaSpec& s, const Bytes& rest) {
    const BYTE header[18] = {s.idLength, s.mapType, s.type,
                             (BYTE)s.mapFirst, (BYTE)(s.mapFirst >> 8), (BYTE)s.mapLength, (BYTE)(s.mapLength >> 8),
                             s.mapEntry, 0, 0, 0, 0,
                             (BYTE)s.width, (BYTE)(s.width >> 8), (BYTE)s.height, (BYTE)(s.height >> 8),
                             s.depth, s.descriptor};
    Bytes b(sizeof header + rest.size());
    std::copy(header, header + sizeof header, b.begin());
    std::copy(rest.begin(), rest.end(), b.begin() + sizeof header);
    return b;
}

bool Decode(CRasterImage& img, const Bytes& b, DWORD format = RASTER_FORMAT_TGA) {
    return img.DecodeFromMemory(b.data(), (DWORD)b.size(), format);
}

void ExpectColour(const CRasterImage& img, LONG x, LONG y, int r, int g, int b) {
    const RGBQUAD c = img.GetPixelColor(x, y, false);
    EXPECT_EQ(c.rgbRed, r) << "at " << x << "," << y;
    EXPECT_EQ(c.rgbGreen, g) << "at " << x << "," << y;
    EXPECT_EQ(c.rgbBlue, b) << "at " << x << "," << y;
}

// Pixels of a 2 x 2 32-bit picture in file order (bottom row first): BGRA.
const Bytes kBottomUp32 = {1, 2, 3, 10, 4, 5, 6, 20, 7, 8, 9, 30, 11, 12, 13, 40};
const Bytes kTopDown32 = {7, 8, 9, 30, 11, 12, 13, 40, 1, 2, 3, 10, 4, 5, 6, 20};

}  // namespace

TEST(TgaDecode, TrueColourDepths) {
    TgaSpec s;
    s.width = 2;
    s.height = 1;
    CRasterImage img;
    ASSERT_TRUE(Decode(img, MakeTga(s, {1, 2, 3, 4, 5, 6})));
    EXPECT_EQ(img.GetType(), (DWORD)RASTER_FORMAT_TGA);
    ExpectColour(img, 0, 0, 3, 2, 1);
    ExpectColour(img, 1, 0, 6, 5, 4);
    EXPECT_FALSE(img.HasAlpha());

    s.depth = 16;  // blue bits 0-4, green 5-9, red 10-14
    ASSERT_TRUE(Decode(img, MakeTga(s, {0x1F, 0x00, 0xE0, 0x7F})));
    ExpectColour(img, 0, 0, 0, 0, 248);
    ExpectColour(img, 1, 0, 248, 248, 0);
    s.depth = 15;
    ASSERT_TRUE(Decode(img, MakeTga(s, {0xE0, 0x03, 0x00, 0x7C})));
    ExpectColour(img, 0, 0, 0, 248, 0);
    ExpectColour(img, 1, 0, 248, 0, 0);
}

TEST(TgaDecode, ThirtyTwoBitKeepsAlphaInEitherRowOrder) {
    TgaSpec s;
    s.depth = 32;
    s.descriptor = 8;
    CRasterImage up, down;
    ASSERT_TRUE(Decode(up, MakeTga(s, kBottomUp32)));
    s.descriptor = 0x28;
    ASSERT_TRUE(Decode(down, MakeTga(s, kTopDown32)));
    for (CRasterImage* img : {&up, &down}) {
        ASSERT_TRUE(img->HasAlpha());
        ExpectColour(*img, 0, 0, 3, 2, 1);
        ExpectColour(*img, 1, 1, 13, 12, 11);
        EXPECT_EQ(img->AlphaGet(0, 0), 10);
        EXPECT_EQ(img->AlphaGet(1, 0), 20);
        EXPECT_EQ(img->AlphaGet(0, 1), 30);
        EXPECT_EQ(img->AlphaGet(1, 1), 40);
    }
    // Right-to-left rows are mirrored, alpha included.
    s.descriptor = 0x18;
    CRasterImage rtl;
    ASSERT_TRUE(Decode(rtl, MakeTga(s, kBottomUp32)));
    ExpectColour(rtl, 1, 0, 3, 2, 1);
    EXPECT_EQ(rtl.AlphaGet(1, 0), 10);
}

TEST(TgaDecode, ColourMappedAndGrey) {
    TgaSpec s;
    s.type = 1;
    s.mapType = 1;
    s.mapLength = 2;
    s.mapEntry = 24;
    s.depth = 8;
    s.width = 3;
    s.height = 1;
    s.idLength = 3;
    Bytes rest = {'a', 'b', 'c', 10, 20, 30, 40, 50, 60, 1, 0, 1};
    CRasterImage img;
    ASSERT_TRUE(Decode(img, MakeTga(s, rest)));
    EXPECT_EQ(img.GetBpp(), 8);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 1);
    ExpectColour(img, 0, 0, 60, 50, 40);
    ExpectColour(img, 1, 0, 30, 20, 10);

    // A map that starts past index 0, with 16-bit entries.
    s.idLength = 0;
    s.mapFirst = 5;
    s.mapLength = 1;
    s.mapEntry = 16;
    ASSERT_TRUE(Decode(img, MakeTga(s, {0x00, 0x7C, 5, 5, 0})));
    ExpectColour(img, 0, 0, 248, 0, 0);

    TgaSpec g;
    g.type = 3;
    g.depth = 8;
    g.width = 2;
    g.height = 1;
    ASSERT_TRUE(Decode(img, MakeTga(g, {0, 200})));
    EXPECT_TRUE(img.HasGreyRamp());
    ExpectColour(img, 1, 0, 200, 200, 200);

    // A colour map beside true-colour pixels is skipped, never written into a palette.
    TgaSpec t;
    t.mapType = 1;
    t.mapLength = 2;
    t.mapEntry = 32;
    t.width = 1;
    t.height = 1;
    ASSERT_TRUE(Decode(img, MakeTga(t, {9, 9, 9, 9, 9, 9, 9, 9, 1, 2, 3})));
    ExpectColour(img, 0, 0, 3, 2, 1);
}

TEST(TgaDecode, RunLengthPacketsCrossRowEnds) {
    // 3 x 2, 24-bit: one run of 4 pixels covers row 0 and the first pixel of row 1; a raw
    // packet of 2 finishes row 1.
    TgaSpec s;
    s.type = 10;
    s.width = 3;
    s.height = 2;
    CRasterImage img;
    ASSERT_TRUE(Decode(img, MakeTga(s, {0x83, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9})));
    ExpectColour(img, 0, 0, 3, 2, 1);
    ExpectColour(img, 2, 0, 3, 2, 1);
    ExpectColour(img, 0, 1, 3, 2, 1);
    ExpectColour(img, 1, 1, 6, 5, 4);
    ExpectColour(img, 2, 1, 9, 8, 7);

    // A raw packet across the row end, and a run that is the last packet of the data.
    ASSERT_TRUE(Decode(img, MakeTga(s, {0x03, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 0x81, 5, 5, 5})));
    ExpectColour(img, 2, 0, 3, 3, 3);
    ExpectColour(img, 0, 1, 4, 4, 4);
    ExpectColour(img, 2, 1, 5, 5, 5);

    // 32-bit runs carry alpha; grey runs indices.
    s.depth = 32;
    s.width = 2;
    s.height = 1;
    ASSERT_TRUE(Decode(img, MakeTga(s, {0x81, 1, 2, 3, 77})));
    EXPECT_EQ(img.AlphaGet(1, 0), 77);
    TgaSpec g;
    g.type = 11;
    g.depth = 8;
    g.width = 4;
    g.height = 1;
    ASSERT_TRUE(Decode(img, MakeTga(g, {0x82, 9, 0x00, 8})));
    EXPECT_EQ(img.GetPixelIndex(2, 0), 9);
    EXPECT_EQ(img.GetPixelIndex(3, 0), 8);
}

TEST(TgaDecode, BadHeadersAndShortData) {
    CRasterImage img;
    EXPECT_FALSE(Decode(img, {1, 2, 3}));
    EXPECT_STREQ(img.GetLastError(), "Not a TGA");
    for (BYTE type : {0, 4, 8, 12, 255}) {
        TgaSpec s;
        s.type = type;
        EXPECT_FALSE(Decode(img, MakeTga(s, Bytes(12, 0))));
        EXPECT_STREQ(img.GetLastError(), "Unknown TGA image type");
    }
    auto expectBad = [&](const TgaSpec& s) {
        CRasterImage i;
        EXPECT_FALSE(Decode(i, MakeTga(s, Bytes(2000, 0))));
        EXPECT_STREQ(i.GetLastError(), "bad TGA header");
    };
    TgaSpec s;
    s.width = 0;
    expectBad(s);
    s = TgaSpec();
    s.depth = 0;
    expectBad(s);
    s.depth = 12;
    expectBad(s);
    s = TgaSpec();
    s.mapType = 1;
    s.mapLength = 257;
    expectBad(s);
    s = TgaSpec();
    s.type = 1;  // colour-mapped without a map
    s.depth = 8;
    expectBad(s);
    s.mapType = 1;
    s.mapFirst = 200;
    s.mapLength = 100;  // past entry 255
    expectBad(s);
    s = TgaSpec();
    s.type = 3;
    s.depth = 16;  // grey pixels are bytes
    expectBad(s);
    s = TgaSpec();
    s.depth = 8;  // true colour needs 15 bits or more
    expectBad(s);

    // Data that ends before the last row.
    TgaSpec t;
    t.width = 2;
    t.height = 3;
    EXPECT_FALSE(Decode(img, MakeTga(t, Bytes(12, 5))));
    EXPECT_STREQ(img.GetLastError(), "corrupted TGA");
    t.type = 10;
    EXPECT_FALSE(Decode(img, MakeTga(t, {0x81, 1, 2, 3})));
    EXPECT_STREQ(img.GetLastError(), "corrupted TGA");

    // The largest header the format allows is refused by the size limit, not allocated.
    TgaSpec huge;
    huge.width = 0xFFFF;
    huge.height = 0xFFFF;
    EXPECT_FALSE(Decode(img, MakeTga(huge, {1, 2, 3})));
    EXPECT_STREQ(img.GetLastError(), "TGA Create failed");
}

TEST(TgaEncode, LayoutAndRoundTrips) {
    // 24-bit with alpha: written as 32-bit, alpha scaled by the alpha maximum.
    CRasterImage img(2, 1, 24);
    img.SetPixelColor(0, 0, RGB(1, 2, 3));
    img.AlphaCreate();
    img.AlphaSet(0, 0, 200);
    img.AlphaSetMax(128);
    BYTE* buf = nullptr;
    LONG size = 0;
    ASSERT_TRUE(img.EncodeToMemory(&buf, &size, RASTER_FORMAT_TGA));
    ASSERT_EQ(size, 18 + 8);
    EXPECT_EQ(buf[2], 2);
    EXPECT_EQ(buf[16], 32);
    EXPECT_EQ(buf[17], 8);
    EXPECT_EQ(buf[18], 3);
    EXPECT_EQ(buf[18 + 3], 200 * 128 / 255);
    CRasterImage back;
    ASSERT_TRUE(back.DecodeFromMemory(buf, (DWORD)size, RASTER_FORMAT_UNKNOWN));
    EXPECT_EQ(back.GetType(), (DWORD)RASTER_FORMAT_TGA);
    EXPECT_EQ(back.AlphaGet(0, 0), 200 * 128 / 255);
    ExpectColour(back, 0, 0, 1, 2, 3);
    std::free(buf);

    // 8-bit: colour-mapped with all 256 entries.
    CRasterImage p(3, 2, 8);
    p.SetPaletteColor(4, 40, 50, 60);
    p.SetPixelIndex(2, 1, 4);
    buf = nullptr;
    ASSERT_TRUE(p.EncodeToMemory(&buf, &size, RASTER_FORMAT_TGA));
    ASSERT_EQ(size, 18 + 768 + 6);
    EXPECT_EQ(buf[1], 1);
    EXPECT_EQ(buf[2], 1);
    EXPECT_EQ(buf[5] | (buf[6] << 8), 256);
    EXPECT_EQ(buf[7], 24);
    ASSERT_TRUE(back.DecodeFromMemory(buf, (DWORD)size, RASTER_FORMAT_TGA));
    EXPECT_EQ(back.GetPixelIndex(2, 1), 4);
    ExpectColour(back, 2, 1, 40, 50, 60);
    std::free(buf);

    CRasterImage four(2, 2, 4);
    buf = nullptr;
    EXPECT_FALSE(four.EncodeToMemory(&buf, &size, RASTER_FORMAT_TGA));
    EXPECT_STREQ(four.GetLastError(), "Bit depth must be 8 or 24");
    EXPECT_EQ(buf, nullptr);
    EXPECT_TRUE(four.EncodeToMemory(&buf, &size, RASTER_FORMAT_BMP));
    std::free(buf);
}

TEST(ImageMemoryStream, GrowthSeekAndReads) {
    CImageMemoryStream m;
    ASSERT_TRUE(m.Open());
    EXPECT_FALSE(m.Open());  // already has a buffer
    const BYTE one = 7;
    EXPECT_EQ(m.Write(&one, 1, 1), 1u);
    EXPECT_EQ(m.GetCapacity(), 4096u);
    EXPECT_EQ(m.Size(), 1);
    EXPECT_FALSE(m.Seek(-2, SEEK_CUR));
    EXPECT_FALSE(m.Seek(0, 7));
    // A write past the end leaves a zero-filled gap.
    ASSERT_TRUE(m.Seek(5000, SEEK_SET));
    EXPECT_TRUE(m.Eof());
    EXPECT_EQ(m.Write(&one, 1, 1), 1u);
    EXPECT_EQ(m.Size(), 5001);
    EXPECT_EQ(m.GetCapacity(), 8192u);
    EXPECT_EQ(m.GetBuffer()[4000], 0);
    ASSERT_TRUE(m.Seek(0, SEEK_SET));
    EXPECT_EQ(m.GetC(), 7);
    BYTE two[2];
    ASSERT_TRUE(m.Seek(-1, SEEK_END));
    EXPECT_EQ(m.Read(two, 2, 1), 0u);  // half an element
    ASSERT_TRUE(m.Seek(-2, SEEK_END));
    EXPECT_EQ(m.Read(two, 2, 1), 1u);
    EXPECT_EQ(m.GetC(), -1);
    EXPECT_EQ(m.Read(two, (size_t)-1, 3), 0u);  // a byte count that overflows
    BYTE* owned = m.Detach();
    EXPECT_EQ(m.Tell(), -1);
    std::free(owned);

    // A caller's buffer is read, never written or freed.
    const BYTE data[3] = {1, 2, 3};
    CImageMemoryStream r;
    r.Attach(data, 3);
    EXPECT_EQ(r.Write(&one, 1, 1), 0u);
    EXPECT_EQ(r.GetC(), 1);
    r.Close();
    EXPECT_EQ(r.Size(), -1);
    EXPECT_TRUE(r.Eof());
}

TEST(ImageLineIterator, RowsWithinTheImage) {
    CRasterImage img(3, 4, 24);
    CImageLineIterator it(&img);
    EXPECT_TRUE(it.SetRow(2));
    EXPECT_EQ(it.GetRowPointer(), img.GetBits(2));
    EXPECT_FALSE(it.SetRow(5));
    EXPECT_EQ(it.GetRow(), 2);
    EXPECT_FALSE(it.SetRow(-1));
}
