// Sliders under the flat-colour skin: background, channel and thumb where the control puts
// them, horizontal and vertical (the vertical drawing turned, the horizontal thumb stood up when
// the skin has no vertical one), the fall-backs of a sparse skin, a transparent background, the
// scroll codes the parent gets, and a clean detach.
#include <gtest/gtest.h>

#include <commctrl.h>

#include <map>

#include "RasterImage.h"
#include "SkinFile.h"
#include "SliderSkin.h"
#include "control_test_support.h"

using namespace ctltest;
using skinkit::ClientRectIn;

namespace {

std::vector<std::unique_ptr<CSkinObject>> Objects(bool transparent = false)
{
    std::vector<std::unique_ptr<CSkinObject>> objects;
    objects.push_back(MakeFrameObject());
    auto slider = Named<CSkinSliderObject>("Slider");
    slider->m_channel.Set("", 0, 0, 12, 4, 1, 1, 1, 1, 1);
    slider->m_thumb.Set("", 0, 0, 12, 20, 3, 3, 3, 3, 1);
    slider->m_verticalThumb.Set("", 0, 0, 20, 12, 3, 3, 3, 3, 1);
    slider->m_nSliderValue = transparent ? 1 : 0;
    objects.push_back(std::move(slider));
    return objects;
}

const RECT kHorizontal{20, 20, 220, 50};
const RECT kVertical{240, 20, 270, 220};

class SliderSkinTest : public CHostedSkinnerTest {
protected:
    HWND MakeSlider(DWORD style, RECT place, int position, bool skinned = true)
    {
        host = std::make_unique<CHost>();
        HWND slider = host->Add(TRACKBAR_CLASSA, "", style, place, 7);
        SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
        SendMessageA(slider, TBM_SETPOS, TRUE, position);
        if (skinned)
            EXPECT_TRUE(host->Skin());
        else
            WinTestActivate(*host);
        WinTestPumpUntilIdle();
        return slider;
    }
    RECT Thumb(HWND slider) const
    {
        RECT r{};
        SendMessageA(slider, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
        return r;
    }

};

TEST_F(SliderSkinTest, AHorizontalSliderShowsBackgroundChannelAndThumbWhereTheControlHasThem)
{
    for (bool sparse : {false, true}) {
        for (int position : {0, 50, 100}) {
            SCOPED_TRACE(std::to_string(position) + (sparse ? ", sparse skin" : ""));
            ApplySkin(Objects(), sparse ? std::vector<std::string>{"Slider.background", "Slider.channel"}
                                        : std::vector<std::string>{});
            HWND slider = MakeSlider(0, kHorizontal, position);
            ASSERT_NE(SkinOf<CSkinSlider>(slider), nullptr);
            const RECT thumb = Thumb(slider);
            EXPECT_EQ(PainterAt(slider, Mid(thumb)), "Slider.thumb cell 4");
            EXPECT_EQ(PainterAt(slider, POINT{thumb.left + 1, thumb.top + 1}), "Slider.thumb cell 0");
            // The channel away from the thumb, and the background above it.
            RECT channel{};
            SendMessageA(slider, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
            const int x = position < 50 ? channel.right - 20 : channel.left + 20;
            const POINT inChannel{x, channel.top + 1}, above{x, 2};
            if (!sparse) {
                EXPECT_EQ(PainterAt(slider, inChannel), "Slider.channel cell 4");
                EXPECT_EQ(PainterAt(slider, above), "Slider.background cell 1");
            } else {
                // No background picture: the button face; no channel picture: the background.
                const CPicture p = host->Picture();
                EXPECT_EQ(p.At(InHost(slider, *host, inChannel)), GetSysColor(COLOR_BTNFACE));
                EXPECT_EQ(p.At(InHost(slider, *host, above)), GetSysColor(COLOR_BTNFACE));
            }
            TearDown();
            SetUp();
        }
    }
}

TEST_F(SliderSkinTest, AVerticalSliderIsTheHorizontalDrawingTurnedWithItsOwnThumbOrTheHorizontalOneStoodUp)
{
    for (bool ownThumb : {true, false}) {
        SCOPED_TRACE(ownThumb ? "vertical thumb" : "no vertical thumb");
        ApplySkin(Objects(), ownThumb ? std::vector<std::string>{} : std::vector<std::string>{"Slider.verticalThumb"});
        HWND slider = MakeSlider(TBS_VERT, kVertical, 10);
        const RECT thumb = Thumb(slider);
        ASSERT_GT(Width(thumb), Height(thumb));
        if (ownThumb) {
            EXPECT_EQ(PainterAt(slider, Mid(thumb)), "Slider.verticalThumb cell 4");
            EXPECT_EQ(PainterAt(slider, POINT{thumb.left + 1, thumb.top + 1}), "Slider.verticalThumb cell 0");
        } else {
            // Turned a quarter anticlockwise: its top-right corner is now top-left, its top-left
            // bottom-left.
            EXPECT_EQ(PainterAt(slider, Mid(thumb)), "Slider.thumb cell 4");
            EXPECT_EQ(PainterAt(slider, POINT{thumb.left + 1, thumb.top + 1}), "Slider.thumb cell 2");
            EXPECT_EQ(PainterAt(slider, POINT{thumb.left + 1, thumb.bottom - 2}), "Slider.thumb cell 0");
        }
        // The background's top edge runs down the left side; the channel stands upright.
        const RECT rc = ClientRectIn(slider, slider);
        EXPECT_EQ(PainterAt(slider, POINT{2, Height(rc) / 2}), "Slider.background cell 1");
        EXPECT_EQ(PainterAt(slider, POINT{Width(rc) - 3, Height(rc) / 2}), "Slider.background cell 7");
        RECT flat{};  // the channel as the control tells it, in the horizontal frame
        SendMessageA(slider, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&flat));
        EXPECT_EQ(PainterAt(slider, POINT{flat.top + 1, Height(rc) * 3 / 4}), "Slider.channel cell 4");
        TearDown();
        SetUp();
    }
}

TEST_F(SliderSkinTest, ATransparentLookShowsWhatLiesUnderTheSliderAroundChannelAndThumb)
{
    for (DWORD style : {DWORD(0), DWORD(TBS_VERT)}) {
        SCOPED_TRACE(style ? "vertical" : "horizontal");
        ApplySkin(Objects(true));
        HWND slider = MakeSlider(style, style ? kVertical : kHorizontal, 0);
        const RECT onHost = ClientRectIn(slider, *host);
        const std::string under = skinkit::Painter(host->Picture(), POINT{onHost.left - 3, onHost.top + 3}, *skin);
        EXPECT_EQ(PainterAt(slider, POINT{2, Height(onHost) - 3}), under);
        EXPECT_EQ(PainterAt(slider, Mid(Thumb(slider))), style ? "Slider.verticalThumb cell 4" : "Slider.thumb cell 4");
        TearDown();
        SetUp();
    }
}

// A channel picture with key-coloured corners, as a skin draws a rounded channel: the corners
// show the slider's background, never the key colour.
TEST_F(SliderSkinTest, TheChannelsKeyColouredCornersShowTheBackground)
{
    for (bool transparent : {false, true}) {
        SCOPED_TRACE(transparent ? "transparent" : "opaque");
        ApplySkin(Objects(transparent));
        std::unique_ptr<CSkinFile> file = skin->MakeFile();
        const COLORREF key = RGB(255, 0, 255), body = RGB(40, 90, 160);
        CRasterImage picture;
        picture.Create(12, 6, 24);
        for (LONG y = 0; y < 6; ++y)
            for (LONG x = 0; x < 12; ++x)
                picture.SetPixelColor(x, y, (x < 2 || x >= 10) && (y < 2 || y >= 4) ? key : body);
        auto image = Named<CSkinImageObject>("rounded channel");
        image->SetImage(picture, RASTER_FORMAT_BMP);
        file->AddImage(std::move(image));
        static_cast<CSkinSliderObject*>(file->FindObject("Slider"))->m_channel.Set("rounded channel", 0, 0, 12, 6, 3,
                                                                                   2, 3, 2, 1);
        CSkinManager::Instance().ApplySkinToAllWindows(file.release());
        HWND slider = MakeSlider(0, kHorizontal, 100);
        RECT channel{};
        SendMessageA(slider, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
        const RECT onWindow = ClientRectIn(slider, slider);
        const CPicture shown = CPicture::OfWindow(slider);
        const RECT inside{onWindow.left + channel.left, onWindow.top + channel.top, onWindow.left + channel.right,
                          onWindow.top + channel.bottom};
        EXPECT_EQ(shown.Count(inside, key), 0);
        EXPECT_EQ(shown.At(inside.left + 6, inside.top + 2), body);
        EXPECT_NE(shown.At(inside.left, inside.top), body);
        TearDown();
        SetUp();
    }
}

// The keyboard focus shows as the control shows it: a dotted frame around the whole client,
// gone again when the focus leaves.
TEST_F(SliderSkinTest, TheFocusedSliderShowsTheFocusFrameAroundItsClient)
{
    for (DWORD style : {DWORD(0), DWORD(TBS_VERT)}) {
        SCOPED_TRACE(style ? "vertical" : "horizontal");
        ApplySkin(Objects(true));
        HWND slider = MakeSlider(style, style ? kVertical : kHorizontal, 50);
        HWND other = host->Add(TRACKBAR_CLASSA, "", 0, RECT{20, 240, 120, 270}, 8);
        SetFocus(other);
        WinTestPumpUntilIdle();
        const CPicture unfocused = CPicture::OfWindow(slider);
        SetFocus(slider);
        WinTestPumpUntilIdle();
        const CPicture focused = CPicture::OfWindow(slider);
        const int w = focused.Width(), h = focused.Height();
        // Every other pixel of each edge changes; nothing well inside the edges does.
        const RECT top{0, 0, w, 1}, left{0, 0, 1, h}, inside{2, 2, w - 2, h - 2};
        EXPECT_GE(focused.CountDifferences(unfocused, top), w / 2 - 1);
        EXPECT_GE(focused.CountDifferences(unfocused, left), h / 2 - 1);
        EXPECT_EQ(focused.CountDifferences(unfocused, inside), 0);
        SetFocus(other);
        WinTestPumpUntilIdle();
        EXPECT_EQ(CPicture::OfWindow(slider).CountDifferences(unfocused, unfocused.Whole()), 0);
        TearDown();
        SetUp();
    }
}

// Drags the thumb, pages with a click beside it and steps with the keys; the scroll codes the
// parent receives from the slider, counted by code.
std::map<int, int> ScrollCodesAfterUse(HWND slider, HWND host)
{
    CMessageCounter scrolls(host, WM_HSCROLL);
    RECT thumb{};
    SendMessageA(slider, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const POINT t = Mid(thumb);
    WinTestMouseMove(slider, t.x, t.y);
    WinTestMouseButton(slider, WINTEST_LEFT, TRUE, t.x, t.y);
    WinTestMouseMove(slider, t.x + 30, t.y);
    WinTestMouseMove(slider, t.x + 60, t.y);
    WinTestMouseButton(slider, WINTEST_LEFT, FALSE, t.x + 60, t.y);
    WinTestPumpUntilIdle();
    WinTestClick(slider, WINTEST_LEFT, 190, t.y);
    WinTestPumpUntilIdle();
    SetFocus(slider);
    WinTestKeyPress(VK_LEFT);
    WinTestKeyPress(VK_HOME);
    WinTestPumpUntilIdle();
    return scrolls.CodesFrom(slider, false);
}

TEST_F(SliderSkinTest, TheParentGetsTheScrollCodesItGetsWithoutTheSkin)
{
    ApplySkin(Objects());
    HWND plain = MakeSlider(0, kHorizontal, 10, false);
    const std::map<int, int> unskinned = ScrollCodesAfterUse(plain, *host);
    HWND skinned = MakeSlider(0, kHorizontal, 10, true);
    ASSERT_NE(SkinOf<CSkinSlider>(skinned), nullptr);
    const std::map<int, int> withSkin = ScrollCodesAfterUse(skinned, *host);
    EXPECT_GT(unskinned.count(TB_THUMBTRACK), 0u);
    EXPECT_EQ(unskinned.at(TB_THUMBPOSITION), 1);
    EXPECT_EQ(unskinned.at(TB_PAGEDOWN), 1);
    EXPECT_EQ(unskinned.at(TB_LINEUP), 1);
    EXPECT_EQ(unskinned.at(TB_TOP), 1);
    EXPECT_EQ(withSkin, unskinned);
    EXPECT_EQ(SendMessageA(skinned, TBM_GETPOS, 0, 0), 0);
}

TEST_F(SliderSkinTest, RemovingTheSkinGivesTheSliderItsLookAndStylesBackAndFreesWhatTheSkinMade)
{
    ApplySkin(Objects());
    HWND slider = MakeSlider(TBS_VERT | TBS_AUTOTICKS, kVertical, 30, false);
    HWND other = host->Add(TRACKBAR_CLASSA, "", 0, kHorizontal, 8);
    WinTestPumpUntilIdle();
    const CPicture before = CPicture::OfWindow(slider);
    const WinTestLiveCounts baseline = WinTestLiveCounts::Now();
    ASSERT_TRUE(host->Skin());
    EXPECT_TRUE(GetWindowLongA(slider, GWL_STYLE) & TBS_BOTH);
    ASSERT_NE(CPicture::OfWindow(slider).CountDifferences(before, before.Whole()), 0);
    // Hidden while skinned: it stays hidden when the skin goes.
    ShowWindow(other, SW_HIDE);
    ASSERT_TRUE(host->Unskin());
    EXPECT_FALSE(GetWindowLongA(slider, GWL_STYLE) & TBS_BOTH);
    EXPECT_TRUE(GetWindowLongA(slider, GWL_STYLE) & TBS_AUTOTICKS);
    EXPECT_FALSE(GetWindowLongA(other, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(CPicture::OfWindow(slider).CountDifferences(before, before.Whole()), 0);
    const WinTestLiveCounts after = WinTestLiveCounts::Now();
    EXPECT_EQ(after, baseline) << after.ChangesFrom(baseline);
}

}  // namespace
