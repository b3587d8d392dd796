// The animation control played by its skinner on a thread of its own, paced by the window
// system's clock (advanced by hand here), and the link window composed over the skin.
#include "commctl_test_support.h"

#include <dirent.h>

#include <algorithm>
#include <cstring>

#include "AnimateSkins.h"
#include "platres.h"

using namespace cctest;

namespace {

const std::vector<COLORREF> kFrames = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(200, 200, 0)};

class AnimateSkinTest : public CommCtlTest {
protected:
    HWND MakeAnimation(CHost& host, DWORD style = 0)
    {
        HWND anim = host.Add(ANIMATE_CLASSA, "", style, RECT{20, 20, 60, 60}, 100);
        return anim;
    }
    // Advances the clock by one frame's time and waits for the thread to show the next one.
    bool NextFrame(CSkinAnimate* skinner, DWORD ms = 100)
    {
        const unsigned before = skinner->GetFramesShown();
        WinTestAdvanceClock(ms);
        return Eventually([&] { return skinner->GetFramesShown() != before; });
    }
    int Count(WPARAM command) const
    {
        return int(std::count(Log().commands.begin(), Log().commands.end(), command));
    }
};

TEST_F(AnimateSkinTest, ARangePlayedTwiceShowsEveryFrameInTurnAndRestsOnTheLastWithoutAStopNotice)
{
    UseSkin();
    CHost host(RecordingHostClass());
    HWND anim = MakeAnimation(host);
    ASSERT_TRUE(host.Skin());
    auto* skinner = SkinOf<CSkinAnimate>(anim);
    ASSERT_NE(skinner, nullptr);
    const std::string clip = ClipFile(kFrames);
    ASSERT_EQ(SendMessageA(anim, ACM_OPENA, 0, reinterpret_cast<LPARAM>(clip.c_str())), 1);
    RECT rc;
    GetClientRect(anim, &rc);
    EXPECT_EQ(rc.right, 8);  // sized to the clip
    EXPECT_EQ(rc.bottom, 6);
    WinTestPumpUntilIdle();
    EXPECT_EQ(PixelAt(anim, POINT{3, 3}), kFrames[0]);

    ASSERT_EQ(SendMessageA(anim, ACM_PLAY, 2, MAKELPARAM(0, 0xFFFF)), 1);
    EXPECT_EQ(Count(MAKEWPARAM(100, ACN_START)), 1);
    const int expected[] = {1, 2, 3, 0, 1, 2, 3};
    for (int frame : expected) {
        ASSERT_TRUE(NextFrame(skinner));
        EXPECT_EQ(skinner->GetCurrentFrame(), frame);
        EXPECT_EQ(PixelAt(anim, POINT{3, 3}), kFrames[size_t(frame)]);
    }
    // The second pass is over: the control rests on the range's last frame.
    ASSERT_TRUE(NextFrame(skinner));
    EXPECT_TRUE(Eventually([&] { return !skinner->IsPlaying(); }));
    EXPECT_EQ(skinner->GetCurrentFrame(), 3);
    EXPECT_EQ(PixelAt(anim, POINT{3, 3}), kFrames[3]);
    EXPECT_EQ(Count(MAKEWPARAM(100, ACN_STOP)), 0);
    // Stopping a control at rest says nothing.
    EXPECT_EQ(SendMessageA(anim, ACM_STOP, 0, 0), 1);
    EXPECT_EQ(Count(MAKEWPARAM(100, ACN_STOP)), 0);
}

TEST_F(AnimateSkinTest, StoppingAPlayingClipTellsTheParentAndDestroyingTheWindowEndsTheThread)
{
    UseSkin();
    CHost host(RecordingHostClass());
    HWND anim = MakeAnimation(host, ACS_CENTER);
    ASSERT_TRUE(host.Skin());
    auto* skinner = SkinOf<CSkinAnimate>(anim);
    ASSERT_NE(skinner, nullptr);
    const std::string clip = ClipFile(kFrames);
    const int timers = WinTestLiveCount(WINTEST_LIVE_TIMER);
    ASSERT_EQ(SendMessageA(anim, ACM_OPENA, 0, reinterpret_cast<LPARAM>(clip.c_str())), 1);
    RECT rc;
    GetClientRect(anim, &rc);
    EXPECT_EQ(rc.right, 40);  // centred: the control keeps its size
    ASSERT_EQ(SendMessageA(anim, ACM_PLAY, UINT(-1), MAKELPARAM(1, 2)), 1);
    ASSERT_TRUE(NextFrame(skinner));
    EXPECT_EQ(skinner->GetCurrentFrame(), 2);
    // The frame in the middle of the control, the skin's background around it.
    EXPECT_EQ(PixelAt(anim, POINT{20, 20}), kFrames[2]);
    EXPECT_EQ(PainterAt(anim, POINT{2, 2}), skin->Describe(Cell("Animate.image", -1)));
    ASSERT_TRUE(NextFrame(skinner));
    EXPECT_EQ(skinner->GetCurrentFrame(), 1);  // back to the range's first frame
    EXPECT_EQ(SendMessageA(anim, ACM_STOP, 0, 0), 1);
    EXPECT_EQ(Count(MAKEWPARAM(100, ACN_STOP)), 1);
    EXPECT_FALSE(skinner->HasThread());

    ASSERT_EQ(SendMessageA(anim, ACM_PLAY, UINT(-1), MAKELPARAM(0, 0xFFFF)), 1);
    ASSERT_TRUE(NextFrame(skinner));
    EXPECT_GT(WinTestLiveCount(WINTEST_LIVE_TIMER), timers);  // the thread's pace
    DestroyWindow(anim);
    EXPECT_EQ(WinTestLiveCount(WINTEST_LIVE_TIMER), timers);  // its loop has ended with the window
}

TEST_F(AnimateSkinTest, ATransparentClipShowsTheParentWhereTheFrameHasItsCornerColour)
{
    UseSkin();
    CHost host;
    HWND anim = MakeAnimation(host, ACS_TRANSPARENT);
    ASSERT_TRUE(host.Skin());
    // Top half (the corner's colour) to be left out, bottom half drawn.
    avitest::ClipSpec s;
    s.width = 8;
    s.height = 6;
    std::vector<uint8_t> frame = avitest::SolidFrame24(8, 6, 0x00C80000);
    const size_t stride = 24;
    for (int y = 3; y < 6; ++y)  // rows are stored bottom-up: 3..5 are the top half
        for (int x = 0; x < 8; ++x) {
            uint8_t* p = &frame[size_t(y) * stride + size_t(x) * 3];
            p[0] = 0x40, p[1] = 0x30, p[2] = 0x20;
        }
    s.frames = {frame};
    const std::vector<uint8_t> bytes = avitest::MakeClip(s);
    const std::string path = testing::TempDir() + "commctl_keyed_" + std::to_string(getpid()) + ".avi";
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    files.push_back(path);
    ASSERT_EQ(SendMessageA(anim, ACM_OPENA, 0, reinterpret_cast<LPARAM>(path.c_str())), 1);
    WinTestPumpUntilIdle();
    EXPECT_EQ(PainterAt(anim, POINT{3, 1}), skin->Describe(Cell("Frame.parts[4]", -1)));
    EXPECT_EQ(PixelAt(anim, POINT{3, 4}), RGB(200, 0, 0));
}

int TempClipFiles()
{
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    int n = 0;
    if (DIR* d = opendir(folder)) {
        while (dirent* e = readdir(d))
            n += std::strncmp(e->d_name, "QV", 2) == 0;
        closedir(d);
    }
    return n;
}

TEST_F(AnimateSkinTest, AClipFromAResourceIsWrittenOpenedAndItsFileRemovedAndMissingModulesLeaveTheControlAlone)
{
    UseSkin();
    static std::vector<uint8_t> bytes;
    bytes = Clip(kFrames, 8, 6);
    PLATRES_ENTRY entry{"AVI", 0, nullptr, 77, bytes.data(), DWORD(bytes.size())};
    PlatRegisterResources(&entry, 1);
    {
        CHost host;
        HWND anim = MakeAnimation(host);
        ASSERT_TRUE(host.Skin());
        ASSERT_NE(SkinOf<CSkinAnimate>(anim), nullptr);
        const int before = TempClipFiles();
        EXPECT_EQ(SendMessageA(anim, ACM_OPENA, 0, 77), 1);
        EXPECT_EQ(TempClipFiles(), before);
        WinTestPumpUntilIdle();
        EXPECT_EQ(PixelAt(anim, POINT{3, 3}), kFrames[0]);
        EXPECT_EQ(SendMessageA(anim, ACM_OPENA, 0, 78), 0);  // no such resource
        EXPECT_EQ(TempClipFiles(), before);
    }
    PlatUnregisterResources(&entry);

    WinTestSetModuleMissing("avifil32", TRUE);
    {
        CHost host;
        HWND anim = MakeAnimation(host);
        ASSERT_TRUE(host.Skin());
        EXPECT_EQ(SkinOf(anim), nullptr);  // the control keeps its own player
    }
    WinTestSetModuleMissing("avifil32", FALSE);
}

TEST_F(AnimateSkinTest, AClipWithoutARateStillPlaysAFrameASecond)
{
    UseSkin();
    CHost host;
    HWND anim = MakeAnimation(host);
    ASSERT_TRUE(host.Skin());
    auto* skinner = SkinOf<CSkinAnimate>(anim);
    ASSERT_NE(skinner, nullptr);
    const std::string clip = ClipFile(kFrames, 8, 6, 0, 1);
    ASSERT_EQ(SendMessageA(anim, ACM_OPENA, 0, reinterpret_cast<LPARAM>(clip.c_str())), 1);
    ASSERT_EQ(SendMessageA(anim, ACM_PLAY, UINT(-1), MAKELPARAM(0, 0xFFFF)), 1);
    ASSERT_TRUE(NextFrame(skinner, 1000));
    EXPECT_EQ(skinner->GetCurrentFrame(), 1);
}

TEST_F(AnimateSkinTest, ALinkIsComposedOverTheSkinsBackgroundWithItsTextOnTop)
{
    UseSkin();
    CHost host;
    HWND link = host.Add("Link Window", "Visit <a>the site</a>", 0, RECT{20, 20, 260, 50}, 101);
    ASSERT_TRUE(host.Skin());
    ASSERT_NE(SkinOf<CSkinLinkWnd>(link), nullptr);
    RECT lc;
    GetClientRect(link, &lc);
    EXPECT_EQ(PainterAt(link, POINT{lc.right - 3, lc.bottom - 3}), skin->Describe(Cell("Static.background", 8)));
    CPicture p = host.Picture();
    const RECT rc = ClientRectIn(link, host);
    const RECT inner{rc.left + 10, rc.top + 10, rc.right - 10, rc.bottom - 10};
    EXPECT_FALSE(p.IsUniform(inner, Cell("Static.background")));  // the text is there
    EXPECT_EQ(p.Count(inner, GetSysColor(COLOR_WINDOW)), 0);       // and none of its paper
}

}  // namespace
