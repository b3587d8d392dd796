// An animation started again by its parent from the stop notice of another start: the play
// the parent asked for stands whole (range and repeat count), while its clip thread reads them.
// Run under the thread sanitizer build as well.
#include "commctl_test_support.h"

#include "AnimateSkins.h"

using namespace cctest;

namespace {

const std::vector<COLORREF> kFrames = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(200, 200, 0)};

// The range the parent plays when told the control stopped, once.
LPARAM g_restartRange = 0;
int g_restarts = 0;

LRESULT CALLBACK RestartingHostProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_COMMAND && HIWORD(w) == ACN_STOP && g_restartRange && !g_restarts++)
        SendMessageA(reinterpret_cast<HWND>(l), ACM_PLAY, UINT(-1), g_restartRange);
    return DefWindowProcA(h, m, w, l);
}

const char* RestartingHostClass() { return HostClass("AnimateRestartHost", &RestartingHostProc); }

class AnimateRestartTest : public CommCtlTest {
protected:
    void SetUp() override
    {
        CommCtlTest::SetUp();
        g_restartRange = 0;
        g_restarts = 0;
    }
    bool NextFrame(CSkinAnimate* skinner)
    {
        const unsigned before = skinner->GetFramesShown();
        WinTestAdvanceClock(100);
        return Eventually([&] { return skinner->GetFramesShown() != before; });
    }
};

TEST_F(AnimateRestartTest, APlayTheParentStartsFromTheStopNoticeKeepsItsOwnRange)
{
    UseSkin();
    CHost host(RestartingHostClass());
    HWND anim = host.Add(ANIMATE_CLASSA, "", 0, RECT{20, 20, 60, 60}, 100);
    ASSERT_TRUE(host.Skin());
    auto* skinner = SkinOf<CSkinAnimate>(anim);
    ASSERT_NE(skinner, nullptr);
    const std::string clip = ClipFile(kFrames);
    ASSERT_EQ(SendMessageA(anim, ACM_OPENA, 0, reinterpret_cast<LPARAM>(clip.c_str())), 1);
    ASSERT_EQ(SendMessageA(anim, ACM_PLAY, UINT(-1), MAKELPARAM(0, 0xFFFF)), 1);
    ASSERT_TRUE(NextFrame(skinner));

    // Asked for frames 0 to 1 twice; the parent, told of the stop, plays 2 to 3 for ever.
    g_restartRange = MAKELPARAM(2, 3);
    ASSERT_EQ(SendMessageA(anim, ACM_PLAY, 2, MAKELPARAM(0, 1)), 1);
    EXPECT_EQ(g_restarts, 1);
    EXPECT_TRUE(skinner->IsPlaying());
    EXPECT_EQ(skinner->GetCurrentFrame(), 2);
    // Round and round its own range, past where two passes of the other would have ended.
    const int expected[] = {3, 2, 3, 2, 3, 2};
    for (int frame : expected) {
        ASSERT_TRUE(NextFrame(skinner));
        EXPECT_EQ(skinner->GetCurrentFrame(), frame);
        EXPECT_EQ(PixelAt(anim, POINT{3, 3}), kFrames[size_t(frame)]);
    }
    EXPECT_TRUE(skinner->IsPlaying());
    EXPECT_EQ(SendMessageA(anim, ACM_STOP, 0, 0), 1);
    EXPECT_FALSE(skinner->HasThread());
}

}  // namespace
