// Removing the skin leaves every common control as it was before: its colours, its style bits
// and the clip it had open. The same holds when the skin is removed and applied again.
#include "commctl_test_support.h"

#include "AnimateSkins.h"
#include "SkinEngine.h"

using namespace cctest;

namespace {

const std::vector<COLORREF> kFrames = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200)};

class SkinRemovalTest : public CommCtlTest {
protected:
    static DWORD Style(HWND h) { return DWORD(GetWindowLongA(h, GWL_STYLE)); }
};

TEST_F(SkinRemovalTest, TheMonthCalendarGetsItsOwnColoursBack)
{
    UseSkin();
    CHost host;
    HWND cal = host.Add(MONTHCAL_CLASSA, "", 0, RECT{10, 10, 250, 190}, 100);
    SendMessageA(cal, MCM_SETCOLOR, MCSC_TITLEBK, RGB(1, 2, 3));
    COLORREF own[MCSC_TRAILINGTEXT + 1];
    for (int i = 0; i <= MCSC_TRAILINGTEXT; ++i)
        own[i] = COLORREF(SendMessageA(cal, MCM_GETCOLOR, WPARAM(i), 0));
    ASSERT_TRUE(host.Skin());
    ASSERT_EQ(COLORREF(SendMessageA(cal, MCM_GETCOLOR, MCSC_BACKGROUND, 0)), RGB(250, 240, 10));
    ASSERT_EQ(COLORREF(SendMessageA(cal, MCM_GETCOLOR, MCSC_MONTHBK, 0)), RGB(11, 22, 33));
    ASSERT_TRUE(host.Unskin());
    for (int i = 0; i <= MCSC_TRAILINGTEXT; ++i)
        EXPECT_EQ(COLORREF(SendMessageA(cal, MCM_GETCOLOR, WPARAM(i), 0)), own[i]) << i;
    // And again after a second round.
    ASSERT_TRUE(host.Skin());
    ASSERT_TRUE(host.Unskin());
    EXPECT_EQ(COLORREF(SendMessageA(cal, MCM_GETCOLOR, MCSC_TITLEBK, 0)), RGB(1, 2, 3));
}

TEST_F(SkinRemovalTest, StyleBitsTheSkinChangedComeBackAndTheProgramsOwnChangesStay)
{
    UseSkin();
    CHost host;
    HWND date = host.Add(DATETIMEPICK_CLASSA, "", DTS_APPCANPARSE, RECT{10, 10, 200, 34}, 100);
    HWND status = host.Add(STATUSCLASSNAMEA, "", CCS_NORESIZE | CCS_NOPARENTALIGN, RECT{0, 200, 360, 224}, 101);
    HWND bar = host.Add(TOOLBARCLASSNAMEA, "", CCS_NORESIZE | CCS_NOPARENTALIGN | 0x10, RECT{0, 40, 360, 70}, 102);
    const DWORD dateBefore = Style(date), statusBefore = Style(status), barBefore = Style(bar);
    ASSERT_FALSE(statusBefore & WS_CLIPCHILDREN);
    ASSERT_TRUE(host.Skin());
    ASSERT_TRUE(SetWindowSkinName(bar, "Tips"));  // a tool bar whose tips are the skin's
    EXPECT_FALSE(Style(date) & DTS_APPCANPARSE);
    EXPECT_TRUE(Style(status) & WS_CLIPCHILDREN);
    EXPECT_FALSE(Style(bar) & 0x10);
    // Something the program changes meanwhile is its own.
    SetWindowLongA(status, GWL_STYLE, LONG(Style(status) | SBARS_TOOLTIPS));
    ASSERT_TRUE(host.Unskin());
    EXPECT_EQ(Style(date), dateBefore);
    EXPECT_EQ(Style(status), statusBefore | SBARS_TOOLTIPS);
    EXPECT_EQ(Style(bar), barBefore);
}

TEST_F(SkinRemovalTest, AClipOpenedUnderTheSkinPlaysAfterTheSkinIsRemovedAndWhenItComesBack)
{
    UseSkin();
    CHost host(RecordingHostClass());
    HWND anim = host.Add(ANIMATE_CLASSA, "", 0, RECT{20, 20, 60, 60}, 100);
    ASSERT_TRUE(host.Skin());
    ASSERT_NE(SkinOf<CSkinAnimate>(anim), nullptr);
    const std::string clip = ClipFile(kFrames);
    ASSERT_EQ(SendMessageA(anim, ACM_OPENA, 0, reinterpret_cast<LPARAM>(clip.c_str())), 1);
    ASSERT_EQ(SendMessageA(anim, ACM_PLAY, UINT(-1), MAKELPARAM(0, 0xFFFF)), 1);

    // Without the skin the control plays the clip itself.
    ASSERT_TRUE(host.Unskin());
    ASSERT_EQ(SkinOf<CSkinAnimate>(anim), nullptr);
    ASSERT_EQ(SendMessageA(anim, ACM_PLAY, UINT(-1), MAKELPARAM(1, 2)), 1);
    EXPECT_TRUE(SendMessageA(anim, ACM_ISPLAYING, 0, 0));
    ASSERT_EQ(SendMessageA(anim, ACM_STOP, 0, 0), 1);

    // Skinned again, by a new skinner, the clip is there to play and to show.
    ASSERT_TRUE(host.Skin());
    auto* skinner = SkinOf<CSkinAnimate>(anim);
    ASSERT_NE(skinner, nullptr);
    ASSERT_EQ(SendMessageA(anim, ACM_PLAY, 1, MAKELPARAM(2, 2)), 1);
    EXPECT_TRUE(Eventually([&] { return PixelAt(anim, POINT{3, 3}) == kFrames[2]; }));

    // The skin applied again over itself keeps it as well.
    skin->Apply();
    WinTestPumpUntilIdle();
    ASSERT_EQ(SendMessageA(anim, ACM_PLAY, 1, MAKELPARAM(1, 1)), 1);
    EXPECT_TRUE(Eventually([&] { return PixelAt(anim, POINT{3, 3}) == kFrames[1]; }));
    ASSERT_TRUE(host.Unskin());
    EXPECT_EQ(SendMessageA(anim, ACM_PLAY, UINT(-1), MAKELPARAM(0, 1)), 1);
}

// A clip closed under the skin is closed for the control too.
TEST_F(SkinRemovalTest, AClipClosedUnderTheSkinStaysClosedWithoutIt)
{
    UseSkin();
    CHost host;
    HWND anim = host.Add(ANIMATE_CLASSA, "", 0, RECT{20, 20, 60, 60}, 100);
    ASSERT_TRUE(host.Skin());
    const std::string clip = ClipFile(kFrames);
    ASSERT_EQ(SendMessageA(anim, ACM_OPENA, 0, reinterpret_cast<LPARAM>(clip.c_str())), 1);
    ASSERT_EQ(SendMessageA(anim, ACM_OPENA, 0, 0), 1);
    ASSERT_TRUE(host.Unskin());
    EXPECT_EQ(SendMessageA(anim, ACM_PLAY, UINT(-1), MAKELPARAM(0, 1)), 0);
    ASSERT_TRUE(host.Skin());
    EXPECT_EQ(SendMessageA(anim, ACM_PLAY, UINT(-1), MAKELPARAM(0, 1)), 0);
}

}  // namespace
