// BMP and TGA files exchanged with another program: ImageMagick's convert writes files that
// must decode here to the pixels it reads back itself, and files written here (or built by
// hand in forms convert does not write) must decode there to the same pixels as here.
// Skipped when convert is not installed.
#include "ImageCodecs.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

const LONG kW = 13, kH = 7;  // odd width: every row is padded

// A top-down RGB test picture using at most `colours` distinct colours (0 = many).
Bytes Pattern(int colours) {
    static const BYTE kPal[16][3] = {{0, 0, 0},     {255, 255, 255}, {200, 30, 40},  {20, 180, 60},
                                     {30, 40, 220}, {250, 200, 0},   {0, 128, 128},  {128, 0, 128},
                                     {90, 90, 90},  {10, 250, 250},  {140, 70, 10},  {255, 128, 192},
                                     {60, 0, 0},    {0, 60, 0},      {0, 0, 60},     {222, 222, 111}};
    Bytes rgb;
    for (LONG y = 0; y < kH; ++y)
        for (LONG x = 0; x < kW; ++x) {
            if (colours == 0) {
                rgb.push_back((BYTE)(x * 19 + y * 3));
                rgb.push_back((BYTE)(y * 37 + x));
                rgb.push_back((BYTE)((x * y * 11) ^ 0x5A));
            } else {
                const BYTE* c = kPal[(x + 3 * y + x * y) % colours];
                rgb.insert(rgb.end(), c, c + 3);
            }
        }
    return rgb;
}

// The picture as the image holds it, top row first.
Bytes OursRgb(const CRasterImage& img) {
    Bytes rgb;
    for (LONG y = (LONG)img.GetHeight() - 1; y >= 0; --y)
        for (LONG x = 0; x < (LONG)img.GetWidth(); ++x) {
            const RGBQUAD c = img.GetPixelColor(x, y, false);
            rgb.insert(rgb.end(), {c.rgbRed, c.rgbGreen, c.rgbBlue});
        }
    return rgb;
}

Bytes OursAlpha(const CRasterImage& img) {
    Bytes a;
    for (LONG y = (LONG)img.GetHeight() - 1; y >= 0; --y)
        for (LONG x = 0; x < (LONG)img.GetWidth(); ++x) a.push_back(img.AlphaGet(x, y));
    return a;
}

Bytes ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void Put16(Bytes& b, unsigned v) {
    b.push_back((BYTE)v);
    b.push_back((BYTE)(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back((BYTE)(v >> (8 * i)));
}

class ImageMagickInterop : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("convert -version > /dev/null 2>&1") != 0)
            GTEST_SKIP() << "ImageMagick's convert is not installed";
        char tmpl[] = "/tmp/imginteropXXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        m_dir = tmpl;
    }
    void TearDown() override {
        if (!m_dir.empty()) std::system(("rm -rf '" + m_dir + "'").c_str());
    }

    std::string Path(const std::string& name) const { return m_dir + "/" + name; }

    bool Convert(const std::string& args) {
        return std::system(("cd '" + m_dir + "' && convert " + args + " 2>/dev/null").c_str()) == 0;
    }

    void WritePpm(const std::string& name, const Bytes& rgb) {
        FILE* f = std::fopen(Path(name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fprintf(f, "P6\n%d %d\n255\n", (int)kW, (int)kH);
        std::fwrite(rgb.data(), 1, rgb.size(), f);
        std::fclose(f);
    }

    void WriteFile(const std::string& name, const Bytes& b) {
        FILE* f = std::fopen(Path(name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(b.data(), 1, b.size(), f);
        std::fclose(f);
    }

    // What convert reads from a file: top-down 8-bit RGB, or the alpha channel. Its TGA reader
    // keeps rows in file order and only notes the origin corner: -auto-orient applies it.
    Bytes TheirRgb(const std::string& name) {
        if (!Convert("'" + name + "' -auto-orient -depth 8 rgb:their.rgb")) return {};
        return ReadAll(Path("their.rgb"));
    }
    Bytes TheirAlpha(const std::string& name) {
        if (!Convert("'" + name + "' -auto-orient -alpha extract -depth 8 gray:their.a")) return {};
        return ReadAll(Path("their.a"));
    }

    std::string m_dir;
};

// Five or six-bit channels: this reader widens by shifting (31 -> 248), convert scales to the
// full range (31 -> 255). Both must come from the same field value.
void ExpectSameFields(const Bytes& ours, const Bytes& theirs, int redBits, int greenBits,
                      int blueBits) {
    ASSERT_EQ(ours.size(), theirs.size());
    const int bits[3] = {redBits, greenBits, blueBits};
    for (size_t i = 0; i < ours.size(); ++i) {
        const int n = bits[i % 3], top = (1 << n) - 1;
        const int field = (theirs[i] * top + 127) / 255;
        ASSERT_EQ(ours[i], field << (8 - n)) << "byte " << i;
    }
}

}  // namespace

TEST_F(ImageMagickInterop, TheirBmpFilesDecodeToTheirPixels) {
    WritePpm("two.ppm", Pattern(2));
    WritePpm("four.ppm", Pattern(4));
    WritePpm("many.ppm", Pattern(0));
    struct Case {
        const char* args;
        const char* input;
        int bpp;  // the bit count convert is expected to write
        int compression;
    };
    const Case cases[] = {
        {"two.ppm -type Palette bmp3:out.bmp", "two.ppm", 1, 0},
        {"four.ppm -type Palette -compress None bmp3:out.bmp", "four.ppm", 4, 0},
        {"many.ppm -type Palette -compress None bmp3:out.bmp", "many.ppm", 8, 0},
        {"many.ppm -type Palette -compress RLE bmp3:out.bmp", "many.ppm", 8, 1},
        {"four.ppm -type Palette -compress RLE bmp3:out.bmp", "four.ppm", 8, 1},
        {"many.ppm bmp3:out.bmp", "many.ppm", 24, 0},
        {"many.ppm -alpha set -channel A -evaluate set 50% +channel -define bmp3:alpha=true "
         "bmp3:out.bmp",
         "many.ppm", 32, 0},
        {"many.ppm -alpha set bmp:out.bmp", "many.ppm", 32, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        ASSERT_TRUE(Convert(c.args));
        const Bytes file = ReadAll(Path("out.bmp"));
        ASSERT_GT(file.size(), 54u);
        EXPECT_EQ(file[28], c.bpp);
        EXPECT_EQ(file[30], c.compression);
        CRasterImage img;
        ASSERT_TRUE(img.LoadPath(Path("out.bmp").c_str(), RASTER_FORMAT_BMP)) << img.GetLastError();
        EXPECT_EQ(img.GetBpp(), c.bpp <= 8 ? c.bpp : 24);
        const Bytes theirs = TheirRgb("out.bmp");
        EXPECT_EQ(OursRgb(img), theirs);
        // All of these are lossless: the picture is the one that went in.
        const Bytes in = ReadAll(Path(c.input));
        EXPECT_EQ(theirs, Bytes(in.end() - kW * kH * 3, in.end()));
    }
}

TEST_F(ImageMagickInterop, TheirSixteenBitBmpFilesDecodeToTheSameFields) {
    WritePpm("many.ppm", Pattern(0));
    ASSERT_TRUE(Convert("many.ppm -define bmp:subtype=RGB565 bmp:565.bmp"));
    ASSERT_TRUE(Convert("many.ppm -define bmp:subtype=RGB555 bmp:555.bmp"));
    CRasterImage a, b;
    ASSERT_TRUE(a.LoadPath(Path("565.bmp").c_str(), RASTER_FORMAT_BMP)) << a.GetLastError();
    ASSERT_TRUE(b.LoadPath(Path("555.bmp").c_str(), RASTER_FORMAT_BMP)) << b.GetLastError();
    ExpectSameFields(OursRgb(a), TheirRgb("565.bmp"), 5, 6, 5);
    ExpectSameFields(OursRgb(b), TheirRgb("555.bmp"), 5, 5, 5);
}

TEST_F(ImageMagickInterop, TheirTgaFilesDecodeToTheirPixels) {
    WritePpm("four.ppm", Pattern(4));
    WritePpm("many.ppm", Pattern(0));
    const char* alphaArgs = "many.ppm -alpha set -channel A -fx '(i*19+j*7)/255' +channel ";
    struct Case {
        std::string args;
        int type;
        int depth;
        bool alpha;
    };
    // Without an orientation convert writes its top row first under a bottom-up descriptor;
    // with -orient TopLeft it marks the rows top-down. Both must decode as convert sees them.
    const Case cases[] = {
        {"many.ppm tga:out.tga", 2, 24, false},
        {"many.ppm -orient TopLeft tga:out.tga", 2, 24, false},
        {"many.ppm -orient TopLeft -compress RLE tga:out.tga", 10, 24, false},
        {"four.ppm -orient TopLeft -type Palette tga:out.tga", 1, 8, false},
        {"four.ppm -type Palette -compress RLE tga:out.tga", 9, 8, false},
        {"many.ppm -orient TopLeft -type Grayscale tga:out.tga", 3, 8, false},
        {"many.ppm -type Grayscale -compress RLE tga:out.tga", 11, 8, false},
        {std::string(alphaArgs) + "-orient TopLeft tga:out.tga", 2, 32, true},
        {std::string(alphaArgs) + "-compress RLE tga:out.tga", 10, 32, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        ASSERT_TRUE(Convert(c.args));
        const Bytes file = ReadAll(Path("out.tga"));
        ASSERT_GT(file.size(), 18u);
        EXPECT_EQ(file[2], c.type);
        EXPECT_EQ(file[16], c.depth);
        CRasterImage img;
        ASSERT_TRUE(img.LoadPath(Path("out.tga").c_str(), RASTER_FORMAT_TGA)) << img.GetLastError();
        EXPECT_EQ(OursRgb(img), TheirRgb("out.tga"));
        EXPECT_EQ(img.HasAlpha(), c.alpha);
        if (c.alpha) {
            EXPECT_EQ(OursAlpha(img), TheirAlpha("out.tga"));
        }
    }
}

TEST_F(ImageMagickInterop, OurFilesDecodeThereToOurPixels) {
    const Bytes many = Pattern(0);
    auto fill = [&](CRasterImage& img) {
        for (LONG y = 0; y < kH; ++y)
            for (LONG x = 0; x < kW; ++x) {
                const BYTE* p = &many[3 * ((kH - 1 - y) * kW + x)];
                img.SetPixelColor(x, y, RGB(p[0], p[1], p[2]));
            }
    };
    struct Case {
        DWORD bpp;
        DWORD format;
        bool alpha;
        const char* name;
    };
    const Case cases[] = {
        {1, RASTER_FORMAT_BMP, false, "o1.bmp"},   {4, RASTER_FORMAT_BMP, false, "o4.bmp"},
        {8, RASTER_FORMAT_BMP, false, "o8.bmp"},   {24, RASTER_FORMAT_BMP, false, "o24.bmp"},
        {8, RASTER_FORMAT_TGA, false, "o8.tga"},   {24, RASTER_FORMAT_TGA, false, "o24.tga"},
        {24, RASTER_FORMAT_TGA, true, "o32.tga"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRasterImage img(kW, kH, c.bpp);
        if (c.bpp <= 8) img.SetStdPalette();
        fill(img);  // paletted pictures take their nearest palette colours
        if (c.alpha) {
            img.AlphaCreate();
            for (LONG y = 0; y < kH; ++y)
                for (LONG x = 0; x < kW; ++x) img.AlphaSet(x, y, (BYTE)(x * 20 + y));
        }
        ASSERT_TRUE(img.SavePath(Path(c.name).c_str(), c.format)) << img.GetLastError();
        EXPECT_EQ(TheirRgb(c.name), OursRgb(img));
        if (c.alpha) {
            EXPECT_EQ(TheirAlpha(c.name), OursAlpha(img));
        }
        CRasterImage back;
        ASSERT_TRUE(back.LoadPath(Path(c.name).c_str()));
        EXPECT_EQ(OursRgb(back), OursRgb(img));
    }
}

namespace {

// A BMP of the given depth and compression around a ready-made data block and palette.
Bytes BmpFile(int bpp, int compression, LONG w, LONG h, const Bytes& palette, const Bytes& data) {
    Bytes b = {'B', 'M'};
    const uint32_t off = 14 + 40 + (uint32_t)palette.size();
    Put32(b, off + (uint32_t)data.size());
    Put32(b, 0);
    Put32(b, off);
    Put32(b, 40);
    Put32(b, (uint32_t)w);
    Put32(b, (uint32_t)h);
    Put16(b, 1);
    Put16(b, (unsigned)bpp);
    Put32(b, (uint32_t)compression);
    Put32(b, (uint32_t)data.size());
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, (uint32_t)palette.size() / 4);
    Put32(b, 0);
    b.insert(b.end(), palette.begin(), palette.end());
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

Bytes Palette16() {
    Bytes p;
    for (int i = 0; i < 16; ++i) p.insert(p.end(), {(BYTE)(i * 16), (BYTE)(255 - i * 9), (BYTE)(i * 5), 0});
    return p;
}

}  // namespace

TEST_F(ImageMagickInterop, HandMadeFilesDecodeAlikeHereAndThere) {
    // RLE4 (convert writes none): runs, odd and even literals, a delta, end of line and bitmap.
    const Bytes rle4 = {
        7, 0x12,                          // 1 2 1 2 1 2 1
        0, 5, 0x34, 0x56, 0x70, 0,        // literal of five, padded to a word
        0, 0,                             //
        0, 3, 0xAB, 0xC0,                 // literal of three
        4, 0xEE,                          //
        0, 0,                             //
        0, 2, 3, 0,                       // delta: three right
        0, 4, 0x9F, 0x8E,                 // literal of four
        0, 0,                             //
        13, 0x5A,                         // a whole row
        0, 1,
    };
    WriteFile("rle4.bmp", BmpFile(4, 2, kW, 4, Palette16(), rle4));
    // RLE8 with a delta over untouched pixels.
    Bytes pal256;
    for (int i = 0; i < 256; ++i) pal256.insert(pal256.end(), {(BYTE)i, (BYTE)(i * 3), (BYTE)(255 - i), 0});
    const Bytes rle8 = {5, 40, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 4, 0, 2, 99, 0, 0, 13, 7, 0, 1};
    WriteFile("rle8.bmp", BmpFile(8, 1, kW, 3, pal256, rle8));
    // Top-down 24-bit rows.
    Bytes rows;
    for (LONG y = 0; y < 3; ++y) {
        for (LONG x = 0; x < kW; ++x) rows.insert(rows.end(), {(BYTE)(x * 9), (BYTE)(y * 80), (BYTE)(x + y)});
        rows.push_back(0);
    }
    WriteFile("topdown.bmp", BmpFile(24, 0, kW, -3, {}, rows));

    for (const char* name : {"rle4.bmp", "rle8.bmp", "topdown.bmp"}) {
        SCOPED_TRACE(name);
        CRasterImage img;
        ASSERT_TRUE(img.LoadPath(Path(name).c_str(), RASTER_FORMAT_BMP)) << img.GetLastError();
        EXPECT_EQ(OursRgb(img), TheirRgb(name));
    }

    // TGA forms convert does not write: 16-bit pixels, top-down rows, 16-bit runs.
    auto tga = [](BYTE type, BYTE depth, BYTE descriptor, LONG h, const Bytes& data) {
        Bytes b = {0, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0, (BYTE)kW, 0, (BYTE)h, 0, depth, descriptor};
        b.insert(b.end(), data.begin(), data.end());
        return b;
    };
    Bytes px16;
    for (LONG i = 0; i < kW * 2; ++i) Put16(px16, (unsigned)(i * 2731) & 0x7FFF);
    WriteFile("sixteen.tga", tga(2, 16, 0, 2, px16));
    Bytes rl16 = {0x89};  // ten pixels
    Put16(rl16, 0x7C1F);
    rl16.push_back(0x86);  // seven more: the last four continue the second row
    Put16(rl16, 0x03E0);
    rl16.push_back(0x08);  // nine raw pixels finish it
    for (unsigned i = 0; i < 9; ++i) Put16(rl16, 0x1234 + i * 0x0421);
    WriteFile("rle16.tga", tga(10, 16, 0, 2, rl16));
    Bytes px24;
    for (LONG i = 0; i < kW * 3; ++i) px24.insert(px24.end(), {(BYTE)(i * 7), (BYTE)(i * 3), (BYTE)(200 - i)});
    WriteFile("topdown.tga", tga(2, 24, 0x20, 3, px24));

    for (const char* name : {"sixteen.tga", "rle16.tga"}) {
        SCOPED_TRACE(name);
        CRasterImage img;
        ASSERT_TRUE(img.LoadPath(Path(name).c_str(), RASTER_FORMAT_TGA)) << img.GetLastError();
        ExpectSameFields(OursRgb(img), TheirRgb(name), 5, 5, 5);
    }
    CRasterImage td;
    ASSERT_TRUE(td.LoadPath(Path("topdown.tga").c_str(), RASTER_FORMAT_TGA));
    EXPECT_EQ(OursRgb(td), TheirRgb("topdown.tga"));
}
