// Skinned scroll bars through the engine: SetWindowScrollBarSkin attaches them, the intercepted
// scroll-bar functions answer from them (the platform's own record stays as it was), a
// platform list box scrolls by them, and removing them gives the platform's bars back.
#include <unistd.h>

#include <string>

#include "ApiHook.h"
#include "SkinEngine.h"
#include "SkinEngineServices.h"
#include "scroll_test_support.h"

using namespace sbtest;

namespace {

int SystemScrollPos(HWND h, int bar)
{
    return reinterpret_cast<int(WINAPI*)(HWND, int)>(skin::GetApiHookSystemFunction(skin::kHookGetScrollPos))(h, bar);
}

class ScrollBarEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        skin = std::make_unique<CFlatSkin>(Objects());
        path = "/tmp/scroll_engine_" + std::to_string(getpid()) + ".qvk";
        ASSERT_TRUE(skin->SaveToFile(path.c_str()));
        baseline = WinTestLiveCounts::Now();
        InstallControlSkinners();
        InstallSkinScrollBars();
        ASSERT_TRUE(InitSkinLibrary(GetModuleHandleA(nullptr)));
        ASSERT_TRUE(LoadSkinFile(path.c_str())) << GetSkinLastError();
    }
    void TearDown() override
    {
        WinTestMouseButton(nullptr, WINTEST_LEFT, FALSE, 0, 0);
        WinTestPumpUntilIdle();
        counter.reset();
        for (HWND h : windows)
            if (IsWindow(h))
                DestroyWindow(h);
        WinTestPumpUntilIdle();
        ExitSkinLibrary();
        SetSkinScrollBarService(nullptr);
        ResetEngine();
        unlink(path.c_str());
        WinTestPumpUntilIdle();
        const WinTestLiveCounts end = WinTestLiveCounts::Now();
        EXPECT_EQ(end, baseline) << end.ChangesFrom(baseline);
    }
    HWND Window()
    {
        windows.push_back(MakeScrolled());
        counter = std::make_unique<CMessageCounter>(windows.back(), WM_VSCROLL);
        return windows.back();
    }

    std::unique_ptr<CFlatSkin> skin;
    std::string path;
    WinTestLiveCounts baseline;
    std::vector<HWND> windows;
    std::unique_ptr<CMessageCounter> counter;
};

TEST_F(ScrollBarEngineTest, TheInterceptedFunctionsAnswerFromTheSkinnedBars)
{
    HWND h = Window();
    ASSERT_TRUE(SetWindowScrollBarSkin(h, SB_VERT));
    ASSERT_TRUE(IsSkinSBWindow(h));
    SCROLLINFO in{sizeof in, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 49, 5, 30, 0};
    EXPECT_EQ(SetScrollInfo(h, SB_VERT, &in, TRUE), 30);
    EXPECT_EQ(GetScrollPos(h, SB_VERT), 30);
    EXPECT_EQ(SystemScrollPos(h, SB_VERT), 0);
    EXPECT_EQ(SetScrollPos(h, SB_VERT, 60, TRUE), 30);
    EXPECT_EQ(SkinSB_GetScrollPos(h, SB_VERT), 45);
    int lo = -1, hi = -1;
    EXPECT_FALSE(GetScrollRange(h, SB_VERT, nullptr, &hi));
    EXPECT_TRUE(GetScrollRange(h, SB_VERT, &lo, &hi));
    EXPECT_EQ(hi, 49);
    EXPECT_TRUE(EnableScrollBar(h, SB_VERT, ESB_DISABLE_LTUP));
    EXPECT_FALSE(EnableScrollBar(h, SB_VERT, ESB_DISABLE_LTUP));
    EnableScrollBar(h, SB_VERT, ESB_ENABLE_BOTH);
    EXPECT_TRUE(SetScrollRange(h, SB_VERT, 0, 99, TRUE));

    // While the thumb is dragged, the track position is the skinned bar's.
    SetScrollPos(h, SB_VERT, 0, TRUE);
    WinTestPumpUntilIdle();
    Press(h, OnVBar(h, 20));
    MoveTo(h, OnVBar(h, 80));
    WinTestPumpUntilIdle();
    SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(h, SB_VERT, &si));
    EXPECT_GT(si.nTrackPos, 0);
    EXPECT_EQ(si.nTrackPos, static_cast<short>(HIWORD(counter->calls.back().first)));
    Release(h, OnVBar(h, 80));
    WinTestPumpUntilIdle();

    EXPECT_TRUE(ShowScrollBar(h, SB_VERT, FALSE));
    EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & WS_VSCROLL, 0);

    EXPECT_TRUE(RemoveWindowScrollBarSkin(h));
    EXPECT_FALSE(IsSkinSBWindow(h));
    EXPECT_EQ(GetScrollPos(h, SB_VERT), SystemScrollPos(h, SB_VERT));
}

TEST_F(ScrollBarEngineTest, APlatformListBoxScrollsByItsSkinnedBar)
{
    skinkit::WindowSpec spec;
    spec.cls = "ListBox";
    spec.style = WS_POPUP | WS_VISIBLE | WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT;
    spec.rect = RECT{60, 60, 260, 210};
    HWND list = skinkit::CreateSyntheticWindow(spec);
    windows.push_back(list);
    for (int i = 0; i < 100; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("row " + std::to_string(i)).c_str()));
    WinTestActivate(list);
    WinTestPumpUntilIdle();
    counter = std::make_unique<CMessageCounter>(list, WM_VSCROLL);
    ASSERT_TRUE(SetWindowScrollBarSkin(list, SB_VERT));
    WinTestPumpUntilIdle();
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &si));
    EXPECT_EQ(si.nMax, 99);
    ASSERT_GT(si.nPage, 0u);

    RECT w;
    GetWindowRect(list, &w);
    const int bottomArrow = w.bottom - w.top - 1 - kBar / 2;
    const POINT arrow{w.right - w.left - 1 - kBar / 2, bottomArrow};
    Press(list, arrow);
    Release(list, arrow);
    WinTestPumpUntilIdle();
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 1);
    EXPECT_EQ(GetScrollPos(list, SB_VERT), 1);
    EXPECT_EQ(CPicture::OfWindow(list).At(arrow), skin->ColorOf("ScrollBar.vertical[0].arrow2"));

    // The thumb dragged to the far end shows the last page.
    const POINT thumb{arrow.x, 1 + kBar + 4};
    Press(list, thumb);
    // Taken at once, so that the capture routes the moves below the window to it.
    WinTestPumpUntilIdle();
    MoveTo(list, POINT{arrow.x, bottomArrow + 20});
    Release(list, POINT{arrow.x, bottomArrow + 20});
    WinTestPumpUntilIdle();
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 100 - static_cast<int>(si.nPage));
}

}  // namespace
