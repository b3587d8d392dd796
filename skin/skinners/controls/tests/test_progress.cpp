// Progress bars under the flat-colour skin: the fill by position in each drawing mode, vertical
// bars turned, the border, the colours of a sparse skin, the progress messages the skinner
// answers (stepping held at the ends, the step read without moving the bar), the state given
// back to the control, and a clean detach.
#include <gtest/gtest.h>

#include <commctrl.h>

#include "ProgressSkin.h"
#include "control_test_support.h"

using namespace ctltest;
using skinkit::ClientRectIn;
using skinkit::WindowRectIn;

namespace {

constexpr COLORREF kBack = RGB(12, 200, 90);
constexpr COLORREF kUnderBar = RGB(230, 40, 120);

std::vector<std::unique_ptr<CSkinObject>> Objects(DWORD mode)
{
    std::vector<std::unique_ptr<CSkinObject>> objects;
    objects.push_back(MakeFrameObject());
    auto progress = Named<CSkinProgressBarObject>("ProgressBar");
    progress->m_background.Set("", 0, 0, 12, 12, 1, 1, 1, 1, 1);
    progress->m_bar.Set("", 0, 0, 12, 20, 2, 2, 2, 2, 1);
    progress->m_values[0] = kBack;
    progress->m_values[1] = kUnderBar;
    progress->m_values[2] = mode;
    objects.push_back(std::move(progress));
    return objects;
}

class ProgressSkinTest : public CSkinnerTest {
protected:
    void TearDown() override
    {
        host.reset();
        CSkinnerTest::TearDown();
    }
    // A 200 x 20 bar (turned: 20 x 200) in the range 0..200 at 50, skinned unless told not to.
    HWND MakeBar(DWORD style = 0, bool skinned = true, DWORD exStyle = 0)
    {
        host = std::make_unique<CHost>();
        const RECT place = (style & PBS_VERTICAL) ? RECT{20, 20, 40, 220} : RECT{20, 20, 220, 40};
        HWND bar = host->Add(PROGRESS_CLASSA, "", style, place, 3, exStyle);
        SendMessageA(bar, PBM_SETRANGE32, 0, 200);
        SendMessageA(bar, PBM_SETPOS, 50, 0);
        if (skinned)
            EXPECT_TRUE(host->Skin());
        else
            WinTestActivate(*host);
        WinTestPumpUntilIdle();
        return bar;
    }
    std::string At(HWND bar, int x, int y) const { return PainterAt(bar, POINT{x, y}); }

    std::unique_ptr<CHost> host;
};

TEST_F(ProgressSkinTest, AQuarterFilledBarShowsTheBarByModeOverTheBackground)
{
    // Stretched over the filled quarter: its right edge at 48..49.
    ApplySkin(Objects(CSkinProgressBar::BAR_STRETCH));
    HWND bar = MakeBar();
    ASSERT_TRUE(SkinOf<CSkinProgressBar>(bar)->IsActive());
    EXPECT_EQ(At(bar, 25, 10), "ProgressBar.bar cell 4");
    EXPECT_EQ(At(bar, 49, 10), "ProgressBar.bar cell 5");
    EXPECT_EQ(At(bar, 50, 10), "ProgressBar.background cell 4");
    EXPECT_EQ(At(bar, 199, 10), "ProgressBar.background cell 5");
    TearDown();
    SetUp();
    // Revealed: the bar lies over the whole width and shows up to the same point.
    ApplySkin(Objects(CSkinProgressBar::BAR_REVEAL));
    bar = MakeBar();
    EXPECT_EQ(At(bar, 1, 10), "ProgressBar.bar cell 3");
    EXPECT_EQ(At(bar, 49, 10), "ProgressBar.bar cell 4");
    EXPECT_EQ(At(bar, 50, 10), "ProgressBar.background cell 4");
    TearDown();
    SetUp();
    // Whole chunks of the bar's own width (12): four of them fit into 50 pixels.
    ApplySkin(Objects(CSkinProgressBar::BAR_CHUNKS));
    bar = MakeBar();
    EXPECT_EQ(At(bar, 12, 10), "ProgressBar.bar cell 3");
    EXPECT_EQ(At(bar, 47, 10), "ProgressBar.bar cell 5");
    EXPECT_EQ(At(bar, 48, 10), "ProgressBar.background cell 4");
}

TEST_F(ProgressSkinTest, AVerticalBarFillsFromTheBottomAsTheHorizontalDrawingTurned)
{
    ApplySkin(Objects(CSkinProgressBar::BAR_STRETCH));
    HWND bar = MakeBar(PBS_VERTICAL);
    // The horizontal bar's top edge now runs down the left side, its start at the bottom.
    EXPECT_EQ(At(bar, 10, 175), "ProgressBar.bar cell 4");
    EXPECT_EQ(At(bar, 0, 175), "ProgressBar.bar cell 1");
    EXPECT_EQ(At(bar, 10, 150), "ProgressBar.bar cell 5");
    EXPECT_EQ(At(bar, 10, 149), "ProgressBar.background cell 4");
}

TEST_F(ProgressSkinTest, ASparseSkinPaintsTheRecordsColoursAndAnEmptyRangeNoBar)
{
    ApplySkin(Objects(CSkinProgressBar::BAR_STRETCH), {"ProgressBar.background", "ProgressBar.bar"});
    HWND bar = MakeBar();
    const RECT rc = ClientRectIn(bar, *host);
    CPicture p = host->Picture();
    EXPECT_EQ(p.Count(rc, kUnderBar), 50 * 20);
    EXPECT_EQ(p.Count(rc, kBack), 150 * 20);
    for (auto range : {std::pair<int, int>{0, 0}, std::pair<int, int>{100, 10}}) {
        SendMessageA(bar, PBM_SETRANGE32, WPARAM(range.first), LPARAM(range.second));
        WinTestPumpUntilIdle();
        p = host->Picture();
        EXPECT_EQ(p.Count(rc, kUnderBar), 0) << range.first << ".." << range.second;
    }
    // Colours asked of the control change nothing.
    EXPECT_EQ(SendMessageA(bar, PBM_SETBARCOLOR, 0, RGB(1, 2, 3)), LRESULT(CLR_DEFAULT));
    EXPECT_EQ(SendMessageA(bar, PBM_SETBKCOLOR, 0, RGB(1, 2, 3)), LRESULT(CLR_DEFAULT));
    WinTestPumpUntilIdle();
    EXPECT_EQ(host->Picture().Count(rc, RGB(1, 2, 3)), 0);
}

TEST_F(ProgressSkinTest, TheBorderIsTheBackgroundsFrameAroundTheClientArea)
{
    ApplySkin(Objects(CSkinProgressBar::BAR_STRETCH));
    HWND bar = MakeBar(0, true, WS_EX_STATICEDGE);
    const RECT wr = WindowRectIn(bar, *host), cr = ClientRectIn(bar, *host);
    ASSERT_EQ(cr.left - wr.left, 1);
    const CPicture p = host->Picture();
    EXPECT_EQ(skinkit::Painter(p, POINT{wr.left, (wr.top + wr.bottom) / 2}, *skin), "ProgressBar.background cell 3");
    EXPECT_EQ(skinkit::Painter(p, POINT{wr.right - 1, wr.top}, *skin), "ProgressBar.background cell 2");
    EXPECT_EQ(At(bar, 25, 10), "ProgressBar.bar cell 4");
}

TEST_F(ProgressSkinTest, TheSkinnerAnswersTheProgressMessagesAndKeepsThePositionInTheRange)
{
    ApplySkin(Objects(CSkinProgressBar::BAR_STRETCH));
    host = std::make_unique<CHost>();
    HWND bar = host->Add(PROGRESS_CLASSA, "", 0, RECT{20, 20, 220, 40}, 3);
    SendMessageA(bar, PBM_SETRANGE32, 0, 200);
    SendMessageA(bar, PBM_SETPOS, 150, 0);
    // A step longer than the range: a step found by stepping once would come out wrapped.
    SendMessageA(bar, PBM_SETSTEP, 500, 0);
    ASSERT_TRUE(host->Skin());
    auto* skinner = SkinOf<CSkinProgressBar>(bar);
    ASSERT_TRUE(skinner && skinner->IsActive());
    EXPECT_EQ(skinner->GetState().position, 150);
    EXPECT_EQ(skinner->GetState().step, 500);

    EXPECT_EQ(SendMessageA(bar, PBM_STEPIT, 0, 0), 150);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 200);
    EXPECT_EQ(SendMessageA(bar, PBM_STEPIT, 0, 0), 200);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 200);
    EXPECT_EQ(SendMessageA(bar, PBM_SETSTEP, 30, 0), 500);
    EXPECT_EQ(SendMessageA(bar, PBM_DELTAPOS, WPARAM(-500), 0), 200);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 0);
    EXPECT_EQ(SendMessageA(bar, PBM_SETPOS, 999, 0), 0);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 200);
    EXPECT_EQ(SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(10, 60)), MAKELONG(0, 200));
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 60);
    PBRANGE range{};
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 10);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 60);
    EXPECT_EQ(range.iLow, 10);
    EXPECT_EQ(range.iHigh, 60);
    SendMessageA(bar, PBM_SETPOS, 35, 0);
    WinTestPumpUntilIdle();
    EXPECT_EQ(At(bar, 98, 10), "ProgressBar.bar cell 5");
    EXPECT_EQ(At(bar, 100, 10), "ProgressBar.background cell 4");

    // Without the skin the control has what the skinner had.
    ASSERT_TRUE(host->Unskin());
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 35);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, TRUE, 0), 10);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 60);
    EXPECT_EQ(SendMessageA(bar, PBM_SETSTEP, 1, 0), 30);
}

TEST_F(ProgressSkinTest, RemovingTheSkinGivesTheBarItsOwnLookAndFreesWhatTheSkinMade)
{
    for (DWORD mode : {DWORD(CSkinProgressBar::BAR_STRETCH), DWORD(CSkinProgressBar::BAR_REVEAL)}) {
        ApplySkin(Objects(mode));
        HWND bar = MakeBar(0, false, WS_EX_STATICEDGE);
        HWND turned = host->Add(PROGRESS_CLASSA, "", PBS_VERTICAL, RECT{240, 20, 260, 220}, 4);
        WinTestPumpUntilIdle();
        const CPicture before = host->Picture();
        const WinTestLiveCounts baseline = WinTestLiveCounts::Now();
        ASSERT_TRUE(host->Skin());
        ASSERT_NE(SkinOf(turned), nullptr);
        ASSERT_NE(host->Picture().CountDifferences(before, WindowRectIn(bar, *host)), 0);
        ASSERT_TRUE(host->Unskin());
        EXPECT_EQ(host->Picture().CountDifferences(before, WindowRectIn(bar, *host)), 0);
        EXPECT_EQ(host->Picture().CountDifferences(before, WindowRectIn(turned, *host)), 0);
        const WinTestLiveCounts after = WinTestLiveCounts::Now();
        EXPECT_EQ(after, baseline) << after.ChangesFrom(baseline);
        TearDown();
        SetUp();
    }
}

}  // namespace
