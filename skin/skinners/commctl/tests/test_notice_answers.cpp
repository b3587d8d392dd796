// A parent may remove the skin of a control in answer to what the control tells it; the
// skinner then hands the request it was serving to the control and runs nothing more itself.
#include "commctl_test_support.h"

#include <functional>

#include "AnimateSkins.h"
#include "DateSkins.h"

using namespace cctest;

namespace {

const std::vector<COLORREF> kFrames = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200)};

// What the parent does, once, when a control tells it something.
std::function<bool(UINT msg, WPARAM w, LPARAM l)> g_answer;

LRESULT CALLBACK AnsweringHostProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if ((m == WM_COMMAND || m == WM_NOTIFY) && g_answer && g_answer(m, w, l))
        g_answer = nullptr;
    return DefWindowProcA(h, m, w, l);
}

const char* AnsweringHostClass() { return HostClass("CommCtlAnsweringHost", &AnsweringHostProc); }

class NoticeAnswerTest : public CommCtlTest {
protected:
    void TearDown() override
    {
        g_answer = nullptr;
        CommCtlTest::TearDown();
    }
    static void Unskin(HWND control) { ASSERT_TRUE(CSkinManager::Instance().RemoveSkin(control, FALSE)); }
};

TEST_F(NoticeAnswerTest, AnAnimationWhoseSkinTheParentRemovesOnTheStopNoticePlaysByItself)
{
    UseSkin();
    CHost host(AnsweringHostClass());
    HWND anim = host.Add(ANIMATE_CLASSA, "", 0, RECT{20, 20, 60, 60}, 100);
    ASSERT_TRUE(host.Skin());
    const std::string clip = ClipFile(kFrames);
    ASSERT_EQ(SendMessageA(anim, ACM_OPENA, 0, reinterpret_cast<LPARAM>(clip.c_str())), 1);
    ASSERT_EQ(SendMessageA(anim, ACM_PLAY, UINT(-1), MAKELPARAM(0, 0xFFFF)), 1);
    g_answer = [anim](UINT m, WPARAM w, LPARAM) {
        if (m != WM_COMMAND || HIWORD(w) != ACN_STOP)
            return false;
        Unskin(anim);
        return true;
    };
    EXPECT_EQ(SendMessageA(anim, ACM_PLAY, UINT(-1), MAKELPARAM(1, 2)), 1);
    EXPECT_EQ(g_answer, nullptr);
    WinTestPumpUntilIdle();
    EXPECT_EQ(SkinOf<CSkinAnimate>(anim), nullptr);
    EXPECT_TRUE(SendMessageA(anim, ACM_ISPLAYING, 0, 0));
    EXPECT_EQ(SendMessageA(anim, ACM_STOP, 0, 0), 1);
}

TEST_F(NoticeAnswerTest, ADatePickerWhoseSkinTheParentRemovesOnTheDropDownNoticeLeavesNoCalendar)
{
    UseSkin();
    CHost host(AnsweringHostClass());
    HWND date = host.Add(DATETIMEPICK_CLASSA, "", 0, RECT{10, 10, 200, 34}, 100);
    ASSERT_TRUE(host.Skin());
    auto* skinner = SkinOf<CSkinDateTime>(date);
    ASSERT_NE(skinner, nullptr);
    HWND seen = nullptr;
    g_answer = [&](UINT m, WPARAM, LPARAM l) {
        if (m != WM_NOTIFY || reinterpret_cast<const NMHDR*>(l)->code != DTN_DROPDOWN)
            return false;
        seen = skinner->GetCalendar();
        Unskin(date);
        return true;
    };
    SetFocus(date);
    WinTestKeyPress(VK_F4);
    WinTestPumpUntilIdle();
    ASSERT_NE(seen, nullptr);
    EXPECT_FALSE(IsWindow(seen));  // the skinner's calendar went with the skin
    EXPECT_EQ(SkinOf<CSkinDateTime>(date), nullptr);
    EXPECT_TRUE(IsWindow(date));
}

}  // namespace
