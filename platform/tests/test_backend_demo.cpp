// The sample program, run as a user would: headless it captures its screen to PNG; on an X
// server through the SDL2 backend its windows show the same picture, popup menu included.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "demo_run_support.h"

namespace {

using namespace demorun;

std::string DemoPath() { return ProgramPath("platform_demo"); }

// The demo's pictures: colours it paints, where the headless capture must show them.
struct Found {
    int yellow_left = -1, yellow_top = -1;
    int count_yellow = 0, count_green = 0, count_blue = 0, count_title = 0;
};

Found Scan(const Picture& p) {
    Found f;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            DWORD c = p.At(x, y);
            if (c == 0xFFD200) {
                if (f.yellow_left < 0 || x < f.yellow_left) f.yellow_left = x;
                if (f.yellow_top < 0) f.yellow_top = y;
                ++f.count_yellow;
            }
            if (c == 0x009650) ++f.count_green;
            if (c == 0x285AC8) ++f.count_blue;
            if (c == 0x000080) ++f.count_title;
        }
    return f;
}

}  // namespace

TEST(SampleProgram, HeadlessCaptureShowsCaptionShapesTextBitmapAndTheOpenMenu) {
    std::string png = Temp("headless.png");
    pid_t pid = Spawn({DemoPath(), "--capture", png}, {"VELMORA_BACKEND=headless"});
    ASSERT_GT(pid, 0);
    ASSERT_EQ(Wait(pid), 0) << "the demo did not capture and exit cleanly";
    Picture p;
    ASSERT_TRUE(Load(png, &p));
    Found f = Scan(p);
    // A 120x80 rectangle with a 2-pixel pen: its yellow inside.
    EXPECT_GT(f.count_yellow, 110 * 70);
    EXPECT_LT(f.count_yellow, 120 * 80);
    EXPECT_GT(f.count_green, 5000) << "ellipse";
    EXPECT_GT(f.count_blue, 3000) << "triangle";
    EXPECT_GT(f.count_title, 40) << "text in the title colour";
    ASSERT_GE(f.yellow_left, 0);
    // The canvas origin follows from the rectangle (16,48 outside, a 2-pixel pen inside).
    int ox = f.yellow_left - 16 - 1, oy = f.yellow_top - 48 - 1;
    // The bitmap at (300,48), 96x96, pixel for pixel as generated.
    int wrong = 0;
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 96; ++x) {
            bool check = ((x / 8) + (y / 8)) % 2 == 0;
            DWORD want = DWORD(x * 255 / 95) << 16 | DWORD(y * 255 / 95) << 8 | (check ? 0xC0u : 0x30u);
            int sx = ox + 300 + x, sy = oy + 48 + y;
            if (sx < 0 || sy < 0 || sx >= p.width || sy >= p.height || p.At(sx, sy) != want) ++wrong;
        }
    EXPECT_EQ(wrong, 0) << "bitmap pixels (canvas at " << ox << "," << oy << ")";
    // The caption bar above the canvas is not the desktop and not the canvas.
    EXPECT_NE(p.At(ox + 100, oy - 20), p.At(2, p.height - 2));
    // The menu opens at canvas (300,200), where the canvas itself is blank: its text shows.
    int dark = 0;
    for (int y = oy + 200; y < oy + 240 && y < p.height; ++y)
        for (int x = ox + 300; x < ox + 380 && x < p.width; ++x)
            if ((p.At(x, y) & 0xFF) < 0x40 && ((p.At(x, y) >> 8) & 0xFF) < 0x40) ++dark;
    EXPECT_GT(dark, 10) << "no menu item text where the menu opened";
    std::remove(png.c_str());
}

TEST(SampleProgram, ShowsTheSamePictureOnAnXServerThroughSdl) {
    if (!xvfb::HaveProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(xvfb::HaveProgram("xwd") && xvfb::HaveProgram("convert")) << "xwd and convert are needed";
    Comparison c = CompareHeadlessWithX(DemoPath());
    ASSERT_TRUE(c.ok) << c.failure;
    EXPECT_GT(c.compared, 400L * 300L);
    EXPECT_EQ(c.differ, 0) << c.differ << " of " << c.compared << " window pixels differ";
}
