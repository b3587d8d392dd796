// A skinned slider dragged by its thumb: at every pixel of the drag the thumb is painted exactly
// over the control's thumb rectangle (its first and last column, and none beyond), and let go
// between two steps it takes the nearer one.
#include <commctrl.h>

#include <cmath>

#include "SliderSkin.h"
#include "control_test_support.h"

using namespace ctltest;

namespace {

class SliderDragTest : public CHostedSkinnerTest {
protected:
    void SetUp() override
    {
        CHostedSkinnerTest::SetUp();
        std::vector<std::unique_ptr<CSkinObject>> objects;
        objects.push_back(MakeFrameObject());
        auto o = Named<CSkinSliderObject>("Slider");
        o->m_channel.Set("", 0, 0, 12, 4, 1, 1, 1, 1, 1);
        o->m_thumb.Set("", 0, 0, 12, 20, 3, 3, 3, 3, 1);
        objects.push_back(std::move(o));
        ApplySkin(std::move(objects));
        host = std::make_unique<CHost>();
        slider = host->Add(TRACKBAR_CLASSA, "", 0, RECT{20, 20, 260, 50}, 7);
        SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
        ASSERT_TRUE(host->Skin());
        ASSERT_NE(SkinOf<CSkinSlider>(slider), nullptr);
    }
    RECT Thumb() const
    {
        RECT r{};
        SendMessageA(slider, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    int ThumbLeftAt(int pos)
    {
        SendMessageA(slider, TBM_SETPOS, TRUE, pos);
        WinTestPumpUntilIdle();
        return Thumb().left;
    }
    // The first and last column of the thumb's middle row painted by the thumb's picture.
    std::pair<int, int> PaintedThumb() const
    {
        const RECT t = Thumb();
        RECT cr;
        GetClientRect(slider, &cr);
        HWND top = GetAncestor(slider, GA_ROOT);
        const CPicture p = CPicture::OfWindow(top);
        std::pair<int, int> run{-1, -1};
        for (int x = 0; x < cr.right; ++x)
            if (skinkit::Painter(p, InHost(slider, top, POINT{x, (t.top + t.bottom) / 2}), *skin)
                    .rfind("Slider.thumb", 0) == 0) {
                if (run.first < 0)
                    run.first = x;
                run.second = x;
            }
        return run;
    }

    HWND slider = nullptr;
};

TEST_F(SliderDragTest, TheThumbIsPaintedOverTheControlsThumbAndALetGoTakesTheNearerStep)
{
    const int first = ThumbLeftAt(0), last = ThumbLeftAt(10);
    const double step = (last - first) / 10.0;
    ASSERT_GT(step, 6.0);
    for (int offset = 0; offset <= last - first; offset += 1) {
        SCOPED_TRACE("dragged " + std::to_string(offset));
        SendMessageA(slider, TBM_SETPOS, TRUE, 0);
        WinTestPumpUntilIdle();
        const RECT t = Thumb();
        const POINT grab{(t.left + t.right) / 2, (t.top + t.bottom) / 2};
        WinTestMouseMove(slider, grab.x, grab.y);
        WinTestMouseButton(slider, WINTEST_LEFT, TRUE, grab.x, grab.y);
        WinTestPumpUntilIdle();
        WinTestMouseMove(slider, grab.x + offset, grab.y);
        WinTestPumpUntilIdle();
        const RECT held = Thumb();
        EXPECT_EQ(PaintedThumb(), std::make_pair(int(held.left), int(held.right - 1)));
        WinTestMouseButton(slider, WINTEST_LEFT, FALSE, grab.x + offset, grab.y);
        WinTestPumpUntilIdle();
        const int pos = int(SendMessageA(slider, TBM_GETPOS, 0, 0));
        EXPECT_LE(std::fabs(pos * step - offset), step / 2 + 0.5) << "position " << pos;
        EXPECT_EQ(PaintedThumb(), std::make_pair(int(Thumb().left), int(Thumb().right - 1)));
    }
}

}  // namespace
