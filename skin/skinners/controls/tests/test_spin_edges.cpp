// The line between a spin control's halves: on every row (column) the half the skin draws hot is
// the half the control counts with when pressed there, and the pressed look is drawn on it, for
// controls of even and odd height and width.
#include <commctrl.h>

#include "SpinSkin.h"
#include "control_test_support.h"

using namespace ctltest;

namespace {

class SpinEdgeTest : public CHostedSkinnerTest {
protected:
    HWND Make(DWORD style, RECT rect)
    {
        std::vector<std::unique_ptr<CSkinObject>> objects;
        objects.push_back(MakeFrameObject());
        objects.push_back(Named<CSkinSpinObject>("Spin"));
        ApplySkin(std::move(objects));
        host = std::make_unique<CHost>();
        HWND spin = host->Add(UPDOWN_CLASSA, "", style, rect, 31);
        SendMessageA(spin, UDM_SETRANGE32, 0, 100);
        EXPECT_TRUE(host->Skin());
        EXPECT_NE(SkinOf<CSkinSpin>(spin), nullptr);
        return spin;
    }
    // The half the skinner shows in a state (0 first, 1 second), or -1; and that half's picture
    // drawn in that state's record where the half starts.
    int HalfShown(HWND spin, bool pressed, bool horizontal) const
    {
        const int state = SkinOf<CSkinSpin>(spin)->GetState();
        const int half = state == (pressed ? CSkinSpin::STATE_UP_PRESSED : CSkinSpin::STATE_UP_HOT)     ? 0
                         : state == (pressed ? CSkinSpin::STATE_DOWN_PRESSED : CSkinSpin::STATE_DOWN_HOT) ? 1
                                                                                                            : -1;
        if (half >= 0) {
            RECT cr;
            GetClientRect(spin, &cr);
            const int start = half == 0 ? 0 : (horizontal ? cr.right : cr.bottom) / 2;
            const POINT p = horizontal ? POINT{start + 2, 4} : POINT{4, start + 2};
            // A horizontal control has pictures of its own.
            const std::string want = std::string(horizontal ? "Spin.states2[" : "Spin.states[") +
                                     std::to_string(pressed ? 2 : 1) + "].parts[" + std::to_string(half) + "]";
            EXPECT_EQ(PainterAt(spin, p).rfind(want, 0), 0u) << PainterAt(spin, p) << " for " << want;
        }
        return half;
    }
};

TEST_F(SpinEdgeTest, TheHalfDrawnHotIsTheHalfThatCounts)
{
    for (bool horizontal : {false, true}) {
        for (int length : {40, 41}) {
            SCOPED_TRACE(std::string(horizontal ? "horizontal " : "vertical ") + std::to_string(length));
            const RECT rect = horizontal ? RECT{40, 30, 40 + length, 50} : RECT{40, 30, 60, 30 + length};
            HWND spin = Make(horizontal ? UDS_HORZ : 0, rect);
            RECT cr;
            GetClientRect(spin, &cr);
            const int extent = horizontal ? cr.right : cr.bottom;
            for (int at = 0; at < extent; ++at) {
                SCOPED_TRACE("at " + std::to_string(at));
                const POINT p = horizontal ? POINT{at, cr.bottom / 2} : POINT{cr.right / 2, at};
                SendMessageA(spin, UDM_SETPOS32, 0, 50);
                WinTestMouseMove(spin, p.x, p.y);
                WinTestPumpUntilIdle();
                const int hot = HalfShown(spin, false, horizontal);
                WinTestMouseButton(spin, WINTEST_LEFT, TRUE, p.x, p.y);
                WinTestPumpUntilIdle();
                const int pressed = HalfShown(spin, true, horizontal);
                const int pos = int(SendMessageA(spin, UDM_GETPOS32, 0, 0));
                WinTestMouseButton(spin, WINTEST_LEFT, FALSE, p.x, p.y);
                WinTestPumpUntilIdle();
                // The first half counts up (a horizontal control: its left half down).
                const int counted = pos == 50 ? -1 : (pos > 50) == !horizontal ? 0 : 1;
                EXPECT_EQ(hot, counted);
                EXPECT_EQ(pressed, counted);
            }
            host.reset();
            ResetEngine();
            InstallControlSkinners();
        }
    }
}

}  // namespace
