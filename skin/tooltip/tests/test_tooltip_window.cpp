// The skinned tooltip window on the hand-driven clock: delays, placement, its look, the mouse
// over it, the engine's public functions and requests from another thread.
#include <atomic>
#include <thread>

#include "markup_test_support.h"
#include "tooltip_test_support.h"

namespace {

using tooltiptest::RingIs;
using tooltiptest::Text;
using tooltiptest::TooltipWindow;

// The non-client paints that reach the tooltip window, seen by a thread hook; at the second
// one the hook notes whether the frame was already drawn.
struct NcPaintWatch {
    static inline int count = 0;
    static inline HWND window = nullptr;
    static inline COLORREF frameAtSecond = CLR_INVALID;
    HHOOK hook;
    explicit NcPaintWatch(HWND hwnd)
    {
        count = 0;
        window = hwnd;
        frameAtSecond = CLR_INVALID;
        hook = SetWindowsHookExA(WH_CALLWNDPROC, &Seen, nullptr, GetCurrentThreadId());
    }
    ~NcPaintWatch() { UnhookWindowsHookEx(hook); }
    static LRESULT CALLBACK Seen(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code >= 0 && cwp && cwp->message == WM_NCPAINT && cwp->hwnd == window && ++count == 2)
            frameAtSecond = WinTestWindowPicture(window).At(0, 0);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
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
    EXPECT_TRUE(RingIs(pic, RGB(0, 0, 0)));  // the built-in one-pixel black frame
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), pic.At(1, 1));
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), pic.At(pic.w - 2, pic.h - 2));
    EXPECT_GT(pic.Count(RGB(0, 0, 0)), 2 * (pic.w + pic.h) + 20);  // the frame and the text
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
    NcPaintWatch watch(hwnd);
    Advance(300);
    ASSERT_TRUE(Shown());
    // The first non-client paint of the new size sets the region and draws nothing; the one
    // the region brings draws the frame.
    EXPECT_GE(NcPaintWatch::count, 2);
    EXPECT_NE(RGB(200, 0, 0), NcPaintWatch::frameAtSecond);
    const RECT rc = WindowRect();
    EXPECT_EQ(markuptest::FontHeight({30}) + 4, rc.bottom - rc.top);
    WinTestWindowPicture pic(hwnd);
    EXPECT_TRUE(RingIs(pic, RGB(200, 0, 0)));
    EXPECT_EQ(RGB(10, 200, 30), pic.At(1, 1));
    EXPECT_EQ(RGB(10, 200, 30), pic.At(pic.w - 2, pic.h - 2));
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
