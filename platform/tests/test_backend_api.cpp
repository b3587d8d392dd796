// The exported test interface on its own: backend choice, the virtual screen, captures to
// buffers and PNG files, the clock, and refusals of bad arguments.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "winplat_test.h"

namespace {

std::string TempPng(const char* name) {
    return ::testing::TempDir() + "backend_api_" + std::to_string(::getpid()) + "_" + name + ".png";
}

}  // namespace

TEST(TestInterface, RunsHeadlessWithAVirtualScreenTestsCanSize) {
    EXPECT_STREQ(WinTestBackendName(), "headless");
    ASSERT_TRUE(WinTestSetScreenSize(64, 48));
    int w = 0, h = 0;
    ASSERT_TRUE(WinTestGetScreenSize(&w, &h));
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 48);
    EXPECT_FALSE(WinTestSetScreenSize(0, 10));
    ASSERT_TRUE(WinTestGetScreenSize(&w, &h));
    EXPECT_EQ(w, 64);
}

TEST(TestInterface, CapturesTheScreenToABufferAndToAPngThatReadsBackTheSame) {
    ASSERT_TRUE(WinTestSetScreenSize(32, 24));
    std::vector<DWORD> shot(32 * 24);
    ASSERT_TRUE(WinTestCaptureScreen(shot.data(), 32, 24));
    EXPECT_FALSE(WinTestCaptureScreen(shot.data(), 31, 24)) << "a buffer of the wrong size is refused";
    for (DWORD p : shot) EXPECT_EQ(p >> 24, 0xFFu);
    COLORREF desk = WinTestScreenPixel(3, 3);
    EXPECT_EQ(desk, ((shot[0] & 0xFF) << 16) | (shot[0] & 0xFF00) | ((shot[0] >> 16) & 0xFF))
        << "ScreenPixel answers a COLORREF (red in the low byte)";
    EXPECT_EQ(WinTestScreenPixel(32, 0), 0xFFFFFFFFu);
    EXPECT_EQ(WinTestScreenPixel(-1, 5), 0xFFFFFFFFu);

    std::string path = TempPng("screen");
    ASSERT_TRUE(WinTestCaptureScreenPng(path.c_str()));
    int w = 0, h = 0;
    EXPECT_FALSE(WinTestReadPng(path.c_str(), nullptr, 0, &w, &h)) << "no buffer: size only";
    ASSERT_EQ(w, 32);
    ASSERT_EQ(h, 24);
    std::vector<DWORD> back(size_t(w) * h);
    ASSERT_TRUE(WinTestReadPng(path.c_str(), back.data(), int(back.size()), &w, &h));
    EXPECT_EQ(back, shot);
    std::remove(path.c_str());

    EXPECT_FALSE(WinTestCaptureScreenPng(nullptr));
    EXPECT_FALSE(WinTestCaptureScreenPng("/no/such/dir/shot.png"));
    EXPECT_FALSE(WinTestReadPng("/no/such/file.png", back.data(), int(back.size()), &w, &h));
    EXPECT_EQ(w, 0);
}

TEST(TestInterface, WindowCapturesRefuseWhatIsNotAWindow) {
    int w = 1, h = 1;
    DWORD px[4];
    EXPECT_FALSE(WinTestCaptureWindow(nullptr, px, 4, &w, &h));
    EXPECT_EQ(w, 0);
    EXPECT_FALSE(WinTestCaptureWindow(reinterpret_cast<HWND>(0x5150), px, 4, &w, &h));
    EXPECT_FALSE(WinTestCaptureWindowPng(reinterpret_cast<HWND>(0x5150), TempPng("nowin").c_str()));
    EXPECT_FALSE(WinTestClick(nullptr, 7, 1, 1)) << "unknown mouse button";
}

TEST(TestInterface, ClockIsVirtualAndMovesByWhatTheTestAdvances) {
    ULONGLONG t0 = WinTestNow();
    WinTestAdvanceClock(1500);
    EXPECT_EQ(WinTestNow(), t0 + 1500);
    WinTestUseRealTime(TRUE);
    ULONGLONG r = WinTestNow();
    EXPECT_GE(r, t0 + 1500);
    WinTestUseRealTime(FALSE);
    ULONGLONG v = WinTestNow();
    EXPECT_GE(v, r);
    EXPECT_EQ(WinTestNow(), v);
}

TEST(TestInterface, PumpingWithNothingQueuedReturnsAtOnce) {
    WinTestPumpUntilIdle();
    EXPECT_EQ(WinTestPumpUntilIdle(), 0);
}
