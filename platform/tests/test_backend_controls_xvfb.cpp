// A dialog with every control kind, run as a user would: headless it captures its screen; on
// an X server through the SDL2 backend its window shows the same picture, pixel for pixel.
#include <gtest/gtest.h>

#include "demo_run_support.h"

namespace {

using namespace demorun;

TEST(ControlsDialog, HeadlessCaptureShowsTheDialogWithItsControls) {
    std::string png = Temp("controls.png");
    pid_t pid = Spawn({ProgramPath("controls_demo"), "--capture", png}, {"VELMORA_BACKEND=headless"});
    ASSERT_GT(pid, 0);
    ASSERT_EQ(Wait(pid), 0) << "the dialog did not capture and exit cleanly";
    Picture p;
    ASSERT_TRUE(Load(png, &p));
    // The dialog face, the edit and list insides, the progress bar's highlight and the
    // selected list-box row are all there in their classic colours.
    long face = 0, window = 0, highlight = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            DWORD c = p.At(x, y);
            face += c == 0xC0C0C0 || c == 0xD4D0C8;
            window += c == 0xFFFFFF;
            highlight += c == 0x000080 || c == 0x0A246A;
        }
    EXPECT_GT(face, 20000);
    EXPECT_GT(window, 10000);
    EXPECT_GT(highlight, 300);
    std::remove(png.c_str());
}

TEST(ControlsDialog, ShowsTheSamePictureOnAnXServerThroughSdl) {
    if (!xvfb::HaveProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(xvfb::HaveProgram("xwd") && xvfb::HaveProgram("convert")) << "xwd and convert are needed";
    Comparison c = CompareHeadlessWithX(ProgramPath("controls_demo"));
    ASSERT_TRUE(c.ok) << c.failure;
    EXPECT_GT(c.compared, 300L * 300L);
    EXPECT_EQ(c.differ, 0) << c.differ << " of " << c.compared << " window pixels differ";
}

}  // namespace
