// PNG captures: what is written reads back exactly, and bad files fail cleanly.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "backend/png.h"

namespace {

std::string TempPath(const char* name) {
    return ::testing::TempDir() + "backend_png_" + std::to_string(::getpid()) + "_" + name;
}

bool Exists(const std::string& p) {
    std::ifstream f(p);
    return f.good();
}

// A grey-with-alpha or palette file, as other tools write them.
void WriteGreyAlpha(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_set_IHDR(png, info, 2, 1, 8, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_byte row[4] = {0x40, 0xFF, 0xC0, 0x10};
    png_write_row(png, row);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
}

}  // namespace

TEST(Png, WrittenSurfaceReadsBackPixelForPixel) {
    plat::Surface s(3, 2);
    s.pixels = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x12345678, 0xFFFFFFFF, 0x80000000};
    std::string path = TempPath("rt.png");
    ASSERT_TRUE(plat::png::Write(s, path));
    plat::Surface r;
    ASSERT_TRUE(plat::png::Read(path, &r));
    ASSERT_EQ(r.width, 3);
    ASSERT_EQ(r.height, 2);
    for (size_t i = 0; i < s.pixels.size(); ++i)
        EXPECT_EQ(r.pixels[i], s.pixels[i] | 0xFF000000u) << "pixel " << i << ": red and blue in place, opaque";

    ASSERT_TRUE(plat::png::Write(s, path, /*opaque=*/false));
    ASSERT_TRUE(plat::png::Read(path, &r));
    EXPECT_EQ(r.pixels, s.pixels) << "alpha kept when asked";
    EXPECT_FALSE(Exists(path + ".part"));
    std::remove(path.c_str());
}

TEST(Png, ReadsOtherLayoutsAsRgba) {
    std::string path = TempPath("ga.png");
    WriteGreyAlpha(path);
    plat::Surface r;
    ASSERT_TRUE(plat::png::Read(path, &r));
    ASSERT_EQ(r.width, 2);
    EXPECT_EQ(r.pixels[0], 0xFF404040u);
    EXPECT_EQ(r.pixels[1], 0x10C0C0C0u);
    std::remove(path.c_str());
}

TEST(Png, BadFilesAndPlacesFailWithoutLeavingAnything) {
    plat::Surface r(5, 5);
    EXPECT_FALSE(plat::png::Read(TempPath("missing.png"), &r));
    EXPECT_EQ(r.width, 0) << "a failed read leaves no stale picture";

    std::string junk = TempPath("junk.png");
    { std::ofstream(junk) << "not a png at all"; }
    EXPECT_FALSE(plat::png::Read(junk, &r));

    // A real file cut short.
    plat::Surface s(64, 64, 0xFF102030);
    for (size_t i = 0; i < s.pixels.size(); ++i) s.pixels[i] ^= uint32_t(i * 2654435761u);
    std::string cut = TempPath("cut.png");
    ASSERT_TRUE(plat::png::Write(s, cut));
    std::string bytes;
    {
        std::ifstream in(cut, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    { std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() / 2); }
    EXPECT_FALSE(plat::png::Read(cut, &r));
    EXPECT_EQ(r.width, 0);

    std::string nodir = TempPath("no/such/dir/x.png");
    EXPECT_FALSE(plat::png::Write(s, nodir));
    EXPECT_FALSE(plat::png::Write(plat::Surface(), TempPath("empty.png"))) << "nothing to write";
    EXPECT_FALSE(Exists(TempPath("empty.png")));
    std::remove(junk.c_str());
    std::remove(cut.c_str());
}
