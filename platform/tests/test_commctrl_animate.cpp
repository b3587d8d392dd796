// The animation control: clips from files and "AVI" resources, the control sized to the clip
// or the clip centred, frames shown one by one on the layer's clock with their pixels checked,
// repeat counts, start and stop notices, transparency, and clips that cannot be opened.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "avi_test_clips.h"
#include "commctrl_test_support.h"
#include "platres.h"

using namespace cctest;

namespace {

std::vector<WPARAM> g_commands;

LRESULT CALLBACK CommandProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_COMMAND) {
        g_commands.push_back(w);
        return 0;
    }
    return ParentProc(h, m, w, l);
}

const COLORREF kColours[3] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};

// Three 8x6 frames of one colour each, with a white corner pixel in the top-left corner.
std::vector<uint8_t> ThreeFrames(uint32_t rate = 10, uint32_t scale = 1, uint32_t usec = 100000) {
    avitest::ClipSpec s;
    s.width = 8;
    s.height = 6;
    s.rate = rate;
    s.scale = scale;
    s.usec_per_frame = usec;
    for (COLORREF c : kColours) {
        auto f = avitest::SolidFrame24(8, 6, uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c));
        size_t top = 5 * ((8 * 3 + 3) / 4 * 4);  // bottom-up: the last row is the top
        f[top] = f[top + 1] = f[top + 2] = 0xFF;
        s.frames.push_back(f);
    }
    return avitest::MakeClip(s);
}

using avitest::ClipFile;

struct AnimateFixture : ::testing::Test {
    HWND parent = nullptr, anim = nullptr;
    void SetUp() override {
        Reset();
        g_commands.clear();
        parent = MakeParent(300, 200);
        SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CommandProc));
    }
    void TearDown() override {
        Reset();
        DestroyWindow(parent);
        Pump();
    }
    HWND Make(DWORD style = 0, int cx = 50, int cy = 40) {
        anim = CreateWindowExA(0, ANIMATE_CLASSA, "", WS_CHILD | WS_VISIBLE | style, 10, 10, cx, cy, parent,
                               reinterpret_cast<HMENU>(21), nullptr, nullptr);
        return anim;
    }
    COLORREF At(int x, int y) {
        Pump();
        return Capture(anim).At(x, y);
    }
    void Tick(DWORD ms) {
        WinTestAdvanceClock(ms);
        Pump();
    }
};

TEST_F(AnimateFixture, AnOpenedClipSizesTheControlAndShowsItsFirstFrame) {
    ClipFile f(ThreeFrames());
    Make();
    ASSERT_TRUE(SendMessageA(anim, ACM_OPENA, 0, reinterpret_cast<LPARAM>(f.path.c_str())));
    RECT cr;
    GetClientRect(anim, &cr);
    EXPECT_EQ(cr.right, 8);
    EXPECT_EQ(cr.bottom, 6);
    EXPECT_EQ(At(4, 3), kColours[0]);
    EXPECT_EQ(At(0, 0), RGB(255, 255, 255));
    EXPECT_FALSE(SendMessageA(anim, ACM_ISPLAYING, 0, 0));
    EXPECT_TRUE(g_commands.empty());
}

TEST_F(AnimateFixture, PlayingShowsEachFrameInTurnAndRestsOnTheLastAfterTheRepeats) {
    ClipFile f(ThreeFrames());
    Make();
    SendMessageA(anim, ACM_OPENA, 0, reinterpret_cast<LPARAM>(f.path.c_str()));
    ASSERT_TRUE(SendMessageA(anim, ACM_PLAY, 2, MAKELPARAM(0, 0xFFFF)));
    EXPECT_EQ(g_commands, (std::vector<WPARAM>{MAKEWPARAM(21, ACN_START)}));
    EXPECT_TRUE(SendMessageA(anim, ACM_ISPLAYING, 0, 0));
    EXPECT_EQ(At(4, 3), kColours[0]);
    Tick(99);
    EXPECT_EQ(At(4, 3), kColours[0]);  // a frame lasts a tenth of a second at ten a second
    Tick(1);
    EXPECT_EQ(At(4, 3), kColours[1]);
    Tick(100);
    EXPECT_EQ(At(4, 3), kColours[2]);
    Tick(100);
    EXPECT_EQ(At(4, 3), kColours[0]);  // the second pass
    Tick(100);
    Tick(100);
    EXPECT_EQ(At(4, 3), kColours[2]);
    Tick(100);
    EXPECT_FALSE(SendMessageA(anim, ACM_ISPLAYING, 0, 0));
    EXPECT_EQ(At(4, 3), kColours[2]);
    EXPECT_EQ(g_commands, (std::vector<WPARAM>{MAKEWPARAM(21, ACN_START), MAKEWPARAM(21, ACN_STOP)}));
    Tick(500);
    EXPECT_EQ(At(4, 3), kColours[2]);
}

TEST_F(AnimateFixture, ARangePlaysOnlyItsFramesAndStopIsTold) {
    ClipFile f(ThreeFrames());
    Make();
    SendMessageA(anim, ACM_OPENA, 0, reinterpret_cast<LPARAM>(f.path.c_str()));
    EXPECT_TRUE(SendMessageA(anim, ACM_STOP, 0, 0));  // stopped already: nothing is sent
    EXPECT_TRUE(g_commands.empty());
    ASSERT_TRUE(SendMessageA(anim, ACM_PLAY, WPARAM(-1), MAKELPARAM(1, 2)));
    EXPECT_EQ(At(4, 3), kColours[1]);
    Tick(100);
    EXPECT_EQ(At(4, 3), kColours[2]);
    Tick(100);
    EXPECT_EQ(At(4, 3), kColours[1]);  // for ever within 1..2
    EXPECT_TRUE(SendMessageA(anim, ACM_STOP, 0, 0));
    Tick(100);
    Tick(100);
    EXPECT_EQ(At(4, 3), kColours[1]);
    EXPECT_EQ(g_commands.back(), MAKEWPARAM(21, ACN_STOP));
    EXPECT_FALSE(SendMessageA(anim, ACM_PLAY, 1, MAKELPARAM(2, 1)));
    ASSERT_TRUE(SendMessageA(anim, ACM_PLAY, 1, MAKELPARAM(2, 2)));  // one frame is only shown
    EXPECT_FALSE(SendMessageA(anim, ACM_ISPLAYING, 0, 0));
    EXPECT_EQ(At(4, 3), kColours[2]);
}

TEST_F(AnimateFixture, AClipInAnAviResourceOpensByIdAndByName) {
    std::vector<uint8_t> bytes = ThreeFrames();
    static std::vector<uint8_t> keep;
    keep = bytes;
    static const PLATRES_ENTRY table[] = {{"AVI", 0, nullptr, 77, nullptr, 0}, {"AVI", 0, "SPIN", 0, nullptr, 0}};
    PLATRES_ENTRY entries[2] = {table[0], table[1]};
    for (auto& e : entries) {
        e.data = keep.data();
        e.size = DWORD(keep.size());
    }
    PlatRegisterResources(entries, 2);
    Make();
    EXPECT_TRUE(SendMessageA(anim, ACM_OPENA, 0, 77));
    EXPECT_EQ(At(4, 3), kColours[0]);
    EXPECT_TRUE(SendMessageA(anim, ACM_OPENA, 0, reinterpret_cast<LPARAM>("spin")));
    EXPECT_FALSE(SendMessageA(anim, ACM_OPENA, 0, 78));
    EXPECT_TRUE(SendMessageA(anim, ACM_OPENA, 0, 0));  // closes
    PlatUnregisterResources(entries);
}

TEST_F(AnimateFixture, CentredAndTransparentClipsShowTheBackgroundAroundAndThroughThem) {
    ClipFile f(ThreeFrames());
    Make(ACS_CENTER | ACS_TRANSPARENT, 40, 30);
    ASSERT_TRUE(SendMessageA(anim, ACM_OPENA, 0, reinterpret_cast<LPARAM>(f.path.c_str())));
    RECT cr;
    GetClientRect(anim, &cr);
    EXPECT_EQ(cr.right, 40);  // a centred clip leaves the size alone
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(At(2, 2), face);
    EXPECT_EQ(At(16 + 4, 12 + 3), kColours[0]);
    EXPECT_EQ(At(16, 12), face);  // the frame's corner colour lets the background through
}

TEST_F(AnimateFixture, ClipsThatCannotBeOpenedLeaveNothingAndAZeroRateStillPlays) {
    Make();
    EXPECT_FALSE(SendMessageA(anim, ACM_OPENA, 0, reinterpret_cast<LPARAM>("/nonexistent/clip.avi")));
    std::vector<uint8_t> junk(64, 'x');
    ClipFile bad(junk);
    EXPECT_FALSE(SendMessageA(anim, ACM_OPENA, 0, reinterpret_cast<LPARAM>(bad.path.c_str())));
    EXPECT_FALSE(SendMessageA(anim, ACM_PLAY, 1, MAKELPARAM(0, 0xFFFF)));

    ClipFile zero(ThreeFrames(0, 0, 0));  // no rate at all
    ASSERT_TRUE(SendMessageA(anim, ACM_OPENA, 0, reinterpret_cast<LPARAM>(zero.path.c_str())));
    ASSERT_TRUE(SendMessageA(anim, ACM_PLAY, 1, MAKELPARAM(0, 0xFFFF)));
    Tick(100);
    EXPECT_EQ(At(4, 3), kColours[1]);
}

TEST_F(AnimateFixture, AutoPlayStartsOnOpenAndDestroyingAPlayingControlLeavesNoTimer) {
    ClipFile f(ThreeFrames());
    WinTestLiveCounts before = WinTestLiveCounts::Now();
    Make(ACS_AUTOPLAY);
    ASSERT_TRUE(SendMessageA(anim, ACM_OPENA, 0, reinterpret_cast<LPARAM>(f.path.c_str())));
    EXPECT_TRUE(SendMessageA(anim, ACM_ISPLAYING, 0, 0));
    Tick(100);
    EXPECT_EQ(At(4, 3), kColours[1]);
    DestroyWindow(anim);
    Pump();
    EXPECT_EQ(WinTestLiveCounts::Now(), before) << WinTestLiveCounts::Now().ChangesFrom(before);
}

}  // namespace
