// A push button's caption in every state is drawn in that state's text colour and in no other,
// with a skin whose six state records each have a colour of their own.
#include "ButtonSkins.h"
#include "control_test_support.h"

using namespace ctltest;
using skinkit::ClientRectIn;

namespace {

COLORREF StateText(int state) { return RGB(230, 15 + 35 * state, 240 - 30 * state); }

class ButtonStateTextTest : public CHostedSkinnerTest {
protected:
    // Which states' colours the caption's ink has.
    std::vector<int> TextStates(HWND button) const
    {
        const CPicture p = host->Picture();
        const RECT rc = ClientRectIn(button, *host);
        std::vector<int> states;
        for (int s = 0; s < SKINBTN_STATES; ++s)
            if (p.Count(rc, StateText(s)) > 0)
                states.push_back(s);
        return states;
    }
};

TEST_F(ButtonStateTextTest, EachStateDrawsTheCaptionInItsOwnColour)
{
    enum What { Normal, Pressed, Default, Focused, Hot, Disabled };
    for (int what : {Normal, Pressed, Default, Focused, Hot, Disabled}) {
        SCOPED_TRACE("state " + std::to_string(what));
        std::vector<std::unique_ptr<CSkinObject>> objects;
        objects.push_back(MakeFrameObject());
        auto b = Named<CSkinButtonObject>("Button");
        for (int s = 0; s < SKINBTN_STATES; ++s)
            b->m_states[s].style.SetTextColor(StateText(s));
        objects.push_back(std::move(b));
        ApplySkin(std::move(objects));
        host = std::make_unique<CHost>();
        HWND button = host->Add("Button", "MMMM", what == Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON,
                                RECT{20, 20, 140, 60}, 1);
        HWND other = host->Add("Edit", "", 0, RECT{20, 100, 100, 120}, 2);
        ASSERT_TRUE(host->Skin());
        SetFocus(other);
        switch (what) {
        case Pressed: WinTestMouseButton(button, WINTEST_LEFT, TRUE, 60, 20); break;
        case Focused: SetFocus(button); break;
        case Hot: WinTestMouseMove(button, 60, 20); break;
        case Disabled: EnableWindow(button, FALSE); break;
        default: break;
        }
        WinTestPumpUntilIdle();
        EXPECT_EQ(TextStates(button), std::vector<int>{what});
        WinTestMouseButton(nullptr, WINTEST_LEFT, FALSE, 0, 0);
        WinTestPumpUntilIdle();
        host.reset();
        ResetEngine();
        InstallControlSkinners();
    }
}

}  // namespace
