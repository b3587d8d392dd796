// The skinned tooltip window on the hand-driven clock: delays, placement, its look, the mouse
// over it, the engine's public functions and requests from another thread.
#include <gtest/gtest.h>
#include <winplat_test.h>

#include <atomic>
#include <thread>

#include "SkinEngine.h"
#include "SkinTooltip.h"
#include "SkinTooltipSetup.h"
#include "markup_test_support.h"

namespace {

// Non-client paints that reached the tooltip window, seen by a thread hook.
int g_ncPaints = 0;
LRESULT CALLBACK CountNcPaints(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code >= 0 && cwp && cwp->message == WM_NCPAINT) ++g_ncPaints;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class TooltipWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        WinTestSetScreenSize(800, 600);
        InstallSkinTooltip();
        ASSERT_TRUE(InitSkinLibrary(GetModuleHandleA(nullptr)));
        tip = GetSkinTooltip();
        ASSERT_NE(nullptr, tip);
        hwnd = tip->GetHwnd();
        ASSERT_TRUE(IsWindow(hwnd));
    }
    void TearDown() override
    {
        ExitSkinLibrary();
        WinTestPumpUntilIdle();
    }
    void Advance(DWORD ms)
    {
        WinTestAdvanceClock(ms);
        WinTestPumpUntilIdle();
    }
    bool Shown() const { return IsWindowVisible(hwnd) != FALSE; }
    RECT WindowRect() const
    {
        RECT rc{};
        GetWindowRect(hwnd, &rc);
        return rc;
    }
    CSkinTooltip* tip = nullptr;
    HWND hwnd = nullptr;
};

// An element whose tooltip text the test sets.
class TextElement : public CSkinElement {
public:
    void Draw(HDC) override {}
    std::string GetTooltipText() override { return text; }
    std::string text;
};

TEST_F(TooltipWindow, ShowsAfterItsDelayAndHidesAfterItsHideDelay)
{
    POINT at{100, 100};
    tip->ShowDelayed("Start Convert", &at);
    Advance(999);
    EXPECT_FALSE(Shown());
    Advance(1);
    EXPECT_TRUE(Shown());
    Advance(7999);
    EXPECT_TRUE(Shown());
    Advance(1);
    EXPECT_FALSE(Shown());
    Advance(20000);
    EXPECT_FALSE(Shown());
}

TEST_F(TooltipWindow, AnEmptyTextHidesTheTipAndArmsNothing)
{
    POINT at{100, 100};
    const int timers = WinTestLiveCount(WINTEST_LIVE_TIMER);
    tip->ShowAt("shown", &at);
    EXPECT_TRUE(Shown());
    tip->ShowDelayed("", &at);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(timers, WinTestLiveCount(WINTEST_LIVE_TIMER));
    Advance(5000);
    EXPECT_FALSE(Shown());
}

TEST_F(TooltipWindow, AnOwnerWithNoTextYetIsAskedAgainAtEveryTick)
{
    TextElement owner;
    tip->SetOwner(&owner);
    POINT at{50, 50};
    tip->ShowDelayed("placeholder", &at);
    Advance(1000);
    EXPECT_FALSE(Shown());  // the owner has nothing to say yet
    owner.text = "now";
    Advance(1000);
    EXPECT_TRUE(Shown());
    EXPECT_EQ("now", tip->GetText());
    tip->SetOwner(nullptr);
}

TEST_F(TooltipWindow, ItsSizeIsTheMarkupAndTheFrameAndItLooksLikeTheBuiltInObject)
{
    POINT at{100, 100};
    tip->ShowAt("<b>Convert</b> all", &at);
    WinTestPumpUntilIdle();
    const RECT rc = WindowRect();
    const int text = markuptest::Extent("Convert", {13, 800}).cx + markuptest::Extent(" all").cx;
    EXPECT_EQ(text + 2 + 2, rc.right - rc.left);  // the renderer's 2 and the 1-pixel frame each side
    EXPECT_EQ(markuptest::FontHeight() + 2 + 2, rc.bottom - rc.top);
    EXPECT_EQ(at.x + 2, rc.left);  // mode 0
    EXPECT_EQ(at.y + 22, rc.top);
    WinTestWindowPicture pic(hwnd);
    ASSERT_EQ(rc.right - rc.left, pic.w);
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), pic.At(pic.w - 2, 1));
    EXPECT_GT(pic.Count(RGB(0, 0, 0)), 20);  // the text
}

TEST_F(TooltipWindow, ASkinTooltipObjectGivesItsLookDelaysAndStyleSheet)
{
    CSkinTooltipObject object;
    object.m_nShowDelay = 300;
    object.m_nHideDelay = 500;
    object.m_crBackground = RGB(10, 200, 30);
    object.m_crActiveFill = RGB(200, 0, 0);
    object.SetStyleSheet("body {font-size:30px; color:#0000ff}");
    EXPECT_EQ(nullptr, tip->SetSkinObject(nullptr));
    tip->SetSkinObject(&object);
    EXPECT_EQ(&object, tip->GetTooltipObject());
    POINT at{10, 10};
    tip->ShowDelayed("abc", &at);
    Advance(300);
    ASSERT_TRUE(Shown());
    g_ncPaints = 0;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, &CountNcPaints, nullptr, GetCurrentThreadId());
    RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    WinTestPumpUntilIdle();
    UnhookWindowsHookEx(hook);
    const RECT rc = WindowRect();
    EXPECT_EQ(markuptest::FontHeight({30}) + 4, rc.bottom - rc.top);
    WinTestWindowPicture pic(hwnd);
    // The frame is painted on the non-client paints the window system sends to a popup.
    if (g_ncPaints > 0) EXPECT_EQ(RGB(200, 0, 0), pic.At(0, 0));
    EXPECT_EQ(RGB(10, 200, 30), pic.At(1, 1));
    EXPECT_GT(pic.Count(RGB(0, 0, 255)), 10);
    Advance(500);
    EXPECT_FALSE(Shown());
    // Any other object puts the built-in look back, with the default style sheet.
    CSkinWindowObject other(SKIN_FRAMEWND);
    EXPECT_EQ(nullptr, tip->SetSkinObject(&other));
    EXPECT_NE(&other, tip->GetTooltipObject());
    EXPECT_EQ(1000u, tip->GetTooltipObject()->m_nShowDelay);
    EXPECT_NE(nullptr, tip->GetMarkupRenderer().GetStyleSheet().FindStyleRule("h2"));
}

struct PlacementCase {
    int mode;
    LONG left, top;  // for a 40 x 20 tip at (100, 100)
};

class TooltipPlacement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(TooltipPlacement, EachModePlacesTheRectangleAsItsRowSays)
{
    const PlacementCase c = GetParam();
    const RECT rc = CSkinTooltip::PlaceTooltipRect(POINT{100, 100}, SIZE{40, 20}, c.mode);
    EXPECT_EQ(c.left, rc.left);
    EXPECT_EQ(c.top, rc.top);
    EXPECT_EQ(40, rc.right - rc.left);
    EXPECT_EQ(20, rc.bottom - rc.top);
}

INSTANTIATE_TEST_SUITE_P(Modes, TooltipPlacement,
                         ::testing::Values(PlacementCase{0, 102, 122}, PlacementCase{1, 80, 122},
                                           PlacementCase{2, 58, 122}, PlacementCase{3, 102, 90},
                                           PlacementCase{4, 58, 90}, PlacementCase{5, 102, 78},
                                           PlacementCase{6, 80, 78}, PlacementCase{7, 58, 78},
                                           PlacementCase{99, 102, 122}, PlacementCase{-1, 102, 122}));

TEST_F(TooltipWindow, NearEachEdgeTheFirstModeThatFitsIsTaken)
{
    const SIZE size{100, 30};
    struct Case {
        POINT at;
        int expectedMode;
    } cases[] = {
        {{10, 10}, 0},     // top left: room below and right
        {{790, 10}, 2},    // right edge: to the left, below
        {{10, 590}, 5},    // bottom edge: above, to the right
        {{790, 590}, 7},   // bottom right: above and to the left
        {{400, 300}, 0},
    };
    for (const Case& c : cases) {
        tip->ShowAt("x", &c.at);  // sets the anchor
        const RECT rc = tip->CalcPlacement(size);
        const RECT want = CSkinTooltip::PlaceTooltipRect(c.at, size, c.expectedMode);
        EXPECT_TRUE(EqualRect(&rc, &want)) << c.at.x << "," << c.at.y << " got " << rc.left << "," << rc.top;
    }
    // A right edge exactly on the work area's right edge does not fit (it is outside).
    const POINT edge{800 - 2 - 100, 100};
    tip->ShowAt("x", &edge);
    RECT rc = tip->CalcPlacement(size);
    EXPECT_EQ(800, CSkinTooltip::PlaceTooltipRect(edge, size, 0).right);
    EXPECT_EQ(CSkinTooltip::PlaceTooltipRect(edge, size, 1).left, rc.left);
    // Larger than the work area: mode 7 anyway.
    tip->ShowAt("x", &edge);
    rc = tip->CalcPlacement(SIZE{2000, 2000});
    EXPECT_EQ(edge.x - 2, rc.right);
    EXPECT_EQ(edge.y - 2, rc.bottom);
}

TEST_F(TooltipWindow, TheMouseOntoTheTipAndOffItAgainHidesIt)
{
    POINT at{200, 200};
    tip->ShowAt("hover me", &at);
    WinTestPumpUntilIdle();
    const RECT rc = WindowRect();
    WinTestMouseMove(nullptr, rc.left + 3, rc.top + 3);
    WinTestPumpUntilIdle();
    EXPECT_TRUE(Shown());
    WinTestMouseMove(nullptr, rc.right + 50, rc.bottom + 50);
    WinTestPumpUntilIdle();
    EXPECT_FALSE(Shown());
}

TEST_F(TooltipWindow, ThePublicFunctionsShowAtOnceAndHide)
{
    POINT at{300, 300};
    EXPECT_TRUE(ShowSkinTooltip(0, "<i>now</i>", &at));
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(HideSkinTooltip());
    EXPECT_FALSE(Shown());
    EXPECT_TRUE(ShowSkinTooltip(0, nullptr, &at));  // nothing to show, still 1
    EXPECT_FALSE(Shown());
}

TEST_F(TooltipWindow, ARequestFromAnotherThreadIsCarriedOutOnTheTipsOwnThread)
{
    std::atomic<bool> done{false};
    std::thread worker([&] {
        POINT at{100, 100};
        tip->ShowAt("from the worker", &at);
        done = true;
    });
    while (!done) WinTestPumpUntilIdle();
    worker.join();
    WinTestPumpUntilIdle();
    EXPECT_TRUE(Shown());
    Advance(8000);  // its hide timer belongs to the window's thread and runs
    EXPECT_FALSE(Shown());
}

// A tip destroyed while it is still the elements' tooltip (as at a process exit without the
// engine's shut-down) first stops being it, before its element part goes.
TEST(TooltipLifetime, ADestroyedTipIsNoLongerTheElementsTooltip)
{
    auto tip = std::make_unique<CSkinTooltip>();
    SetSkinElementTooltip(tip.get());
    tip.reset();
    EXPECT_EQ(GetSkinElementTooltip(), nullptr);
}

}  // namespace
