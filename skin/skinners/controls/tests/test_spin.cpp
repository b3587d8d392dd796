// Spin controls under the flat-colour skin: each half in the image of its state as the mouse
// hovers, presses and leaves while the control still counts, the fall-backs to the normal
// images, the disabled look, and horizontal controls with their own images or the vertical
// ones turned.
#include <gtest/gtest.h>

#include <commctrl.h>

#include "SpinSkin.h"
#include "control_test_support.h"

using namespace ctltest;

namespace {

std::vector<std::unique_ptr<CSkinObject>> Objects()
{
    std::vector<std::unique_ptr<CSkinObject>> objects;
    objects.push_back(MakeFrameObject());
    objects.push_back(Named<CSkinSpinObject>("Spin"));
    return objects;
}

class SpinSkinTest : public CSkinnerTest {
protected:
    void Make(DWORD style = 0, RECT rect = {40, 30, 60, 70})
    {
        host = std::make_unique<CHost>();
        spin = host->Add(UPDOWN_CLASSA, "", style, rect, 31);
        SendMessageA(spin, UDM_SETRANGE32, 0, 100);
        SendMessageA(spin, UDM_SETPOS32, 0, 50);
    }
    void Skin(std::vector<std::string> leaveEmpty = {})
    {
        ApplySkin(Objects(), std::move(leaveEmpty));
        ASSERT_TRUE(host->Skin());
        ASSERT_NE(SkinOf<CSkinSpin>(spin), nullptr);
    }
    void Move(POINT p)
    {
        WinTestMouseMove(spin, p.x, p.y);
        WinTestPumpUntilIdle();
    }
    void Button(POINT p, bool down)
    {
        WinTestMouseButton(spin, WINTEST_LEFT, down, p.x, p.y);
        WinTestPumpUntilIdle();
    }
    int Pos() const { return int(SendMessageA(spin, UDM_GETPOS32, 0, 0)); }

    std::unique_ptr<CHost> host;
    HWND spin = nullptr;
    const POINT top{4, 4}, bottom{4, 24};  // inside each half's 16-pixel image
};

TEST_F(SpinSkinTest, HalvesFollowTheMouseWhileTheControlCounts)
{
    Make();
    Skin();
    EXPECT_EQ(PainterAt(spin, top), "Spin.states[0].parts[0]");
    EXPECT_EQ(PainterAt(spin, bottom), "Spin.states[0].parts[1]");

    Move(top);
    EXPECT_EQ(SkinOf<CSkinSpin>(spin)->GetState(), CSkinSpin::STATE_UP_HOT);
    EXPECT_EQ(PainterAt(spin, top), "Spin.states[1].parts[0]");
    EXPECT_EQ(PainterAt(spin, bottom), "Spin.states[0].parts[1]");

    Move(bottom);
    Button(bottom, true);
    EXPECT_EQ(PainterAt(spin, bottom), "Spin.states[2].parts[1]");
    EXPECT_EQ(PainterAt(spin, top), "Spin.states[0].parts[0]");
    EXPECT_EQ(Pos(), 49);  // the control took the press
    Button(bottom, false);
    EXPECT_EQ(SkinOf<CSkinSpin>(spin)->GetState(), CSkinSpin::STATE_DOWN_HOT);
    EXPECT_EQ(PainterAt(spin, bottom), "Spin.states[1].parts[1]");

    // Leaving the control clears the state.
    WinTestMouseMove(host->Hwnd(), 200, 150);
    WinTestPumpUntilIdle();
    EXPECT_EQ(SkinOf<CSkinSpin>(spin)->GetState(), CSkinSpin::STATE_NONE);
    EXPECT_EQ(PainterAt(spin, bottom), "Spin.states[0].parts[1]");
}

TEST_F(SpinSkinTest, MissingStateImagesFallBackToTheNormalOnesAndDisabledHasItsOwn)
{
    Make();
    Skin({"Spin.states[1]", "Spin.states[2].parts[0]"});
    Move(top);
    EXPECT_EQ(PainterAt(spin, top), "Spin.states[0].parts[0]");
    Button(top, true);
    EXPECT_EQ(PainterAt(spin, top), "Spin.states[0].parts[0]");
    Button(top, false);
    EXPECT_EQ(Pos(), 51);

    EnableWindow(spin, FALSE);
    WinTestPumpUntilIdle();
    EXPECT_EQ(PainterAt(spin, top), "Spin.states[3].parts[0]");
    EXPECT_EQ(PainterAt(spin, bottom), "Spin.states[3].parts[1]");
}

TEST_F(SpinSkinTest, HorizontalControlsUseTheirOwnImagesOrTheVerticalOnesTurned)
{
    const RECT wide{40, 30, 80, 50};
    const POINT left{4, 14}, right{24, 14};
    Make(UDS_HORZ, wide);
    Skin();
    EXPECT_EQ(PainterAt(spin, left), "Spin.states2[0].parts[0]");
    EXPECT_EQ(PainterAt(spin, right), "Spin.states2[0].parts[1]");
    host.reset();

    // Without horizontal images the vertical drawing is turned: its top half comes left.
    Make(UDS_HORZ, wide);
    Skin({"Spin.states2"});
    EXPECT_EQ(PainterAt(spin, left), "Spin.states[0].parts[0]");
    EXPECT_EQ(PainterAt(spin, right), "Spin.states[0].parts[1]");
    Move(left);
    EXPECT_EQ(PainterAt(spin, left), "Spin.states[1].parts[0]");
}

}  // namespace
