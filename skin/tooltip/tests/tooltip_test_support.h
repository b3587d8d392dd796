// Shared by the tooltip window tests: the engine started with the skinned tooltip on one
// 800 x 600 display, the clock moved by hand, and what the tests ask of the tip's window.
#pragma once

#include <gtest/gtest.h>
#include <winplat_test.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "SkinEngine.h"
#include "SkinTooltip.h"
#include "SkinTooltipSetup.h"

namespace tooltiptest {

// The clock these tests move by hand is the headless backend's, which is chosen when the layer
// first starts: set here, before main, so a test run on its own behaves as under the runner.
inline const bool kHeadlessClock = setenv("VELMORA_BACKEND", "headless", 1) == 0;

inline std::string Text(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

// Every pixel of the window's outer ring has the colour.
inline bool RingIs(const WinTestWindowPicture& pic, COLORREF c)
{
    if (pic.w < 2 || pic.h < 2) return false;
    for (int x = 0; x < pic.w; ++x)
        if (pic.At(x, 0) != c || pic.At(x, pic.h - 1) != c) return false;
    for (int y = 0; y < pic.h; ++y)
        if (pic.At(0, y) != c || pic.At(pic.w - 1, y) != c) return false;
    return true;
}

class TooltipWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(kHeadlessClock);
        ASSERT_STREQ("headless", WinTestBackendName());
        WinTestSetScreenSize(800, 600);
        InstallSkinTooltip();
        ASSERT_TRUE(InitSkinLibrary(GetModuleHandleA(nullptr)));
        tip = GetSkinTooltip();
        ASSERT_NE(nullptr, tip);
        hwnd = tip->GetHwnd();
        ASSERT_TRUE(IsWindow(hwnd));
    }
    void TearDown() override
    {
        ExitSkinLibrary();
        WinTestPumpUntilIdle();
        WinTestSetScreenSize(800, 600);
    }
    void Advance(DWORD ms)
    {
        WinTestAdvanceClock(ms);
        WinTestPumpUntilIdle();
    }
    bool Shown() const { return IsWindowVisible(hwnd) != FALSE; }
    RECT WindowRect() const
    {
        RECT rc{};
        GetWindowRect(hwnd, &rc);
        return rc;
    }
    // Shows the text at once at the point and answers where the window went.
    RECT ShowAt(const char* text, POINT at)
    {
        tip->ShowAt(text, &at);
        WinTestPumpUntilIdle();
        return WindowRect();
    }
    CSkinTooltip* tip = nullptr;
    HWND hwnd = nullptr;
};

}  // namespace tooltiptest
