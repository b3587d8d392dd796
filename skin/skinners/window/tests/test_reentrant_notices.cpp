// A host may do anything in answer to what a frame element, the menu bar or a popup tells it:
// re-apply or remove the skin, change its menu. The sender must not go on with itself after it
// was deleted (these faults show as use after free under the sanitizer build).
#include <functional>

#include "frame_test_support.h"

namespace wintest {
namespace {

// What the frame does when a message arrives, once; then it behaves as the recording frame.
struct Answer {
    UINT message = 0;
    std::function<void(HWND)> act;
    int done = 0;
};

Answer& Pending()
{
    static Answer answer;
    return answer;
}

LRESULT CALLBACK AnsweringFrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Answer& a = Pending();
    if (msg == a.message && a.act && !a.done) {
        ++a.done;
        a.act(hwnd);
    }
    if (msg >= WM_SKINELEMENT_MOVE && msg <= WM_SKINELEMENT_TOOLTIP)
        return 0;
    return FrameProc(hwnd, msg, wParam, lParam);
}

class ReentrantNoticeTest : public FrameSkinTest {
protected:
    void SetUp() override
    {
        Pending() = Answer();
        FrameSkinTest::SetUp();
        WNDCLASSA wc{};
        wc.lpfnWndProc = &AnsweringFrameProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ReentrantFrameWnd";
        wc.style = CS_DBLCLKS;
        RegisterClassA(&wc);
    }
    void TearDown() override
    {
        Pending() = Answer();
        FrameSkinTest::TearDown();
    }
    HWND AnsweringFrame(UINT message, std::function<void(HWND)> act)
    {
        HWND h = CreateWindowExA(0, "ReentrantFrameWnd", "Frame", kSizable, 40, 40, 320, 220, nullptr, AppMenu(),
                                 GetModuleHandleA(nullptr), nullptr);
        windows.push_back(h);
        EXPECT_TRUE(SetWindowSkin(h, "FrameWnd")) << GetSkinLastError();
        WinTestActivate(h);
        WinTestPumpUntilIdle();
        Pending().message = message;
        Pending().act = std::move(act);
        return h;
    }
    // The skin file loaded again: every skinned window takes its objects anew, and the frame
    // makes its elements again.
    std::function<void(HWND)> Reskin()
    {
        return [this](HWND) { ASSERT_TRUE(LoadSkinFile(path.c_str())) << GetSkinLastError(); };
    }
    // The window still works with the skin it has now: its buttons are there and answer.
    void ExpectWorkingFrame(HWND h, bool skinned)
    {
        WinTestPumpUntilIdle();
        EXPECT_TRUE(IsWindow(h));
        EXPECT_EQ(SkinOf(h) != nullptr, skinned);
        if (skinned) {
            EXPECT_NE(ButtonOf(h, "Cmd"), nullptr);
            Click(h, Middle(ElementRect(h, "Cmd")));
            EXPECT_EQ(Frames().commands.back(), WPARAM(77));
        }
    }
};

// The element messages of the mouse over, pressing and releasing a caption button.
TEST_F(ReentrantNoticeTest, ACaptionButtonSurvivesItsHostReskinningInAnswerToItsMessages)
{
    for (UINT notice : {UINT(WM_SKINELEMENT_MOVE), UINT(WM_SKINELEMENT_LDOWN), UINT(WM_SKINELEMENT_LUP)}) {
        SCOPED_TRACE(notice);
        HWND h = AnsweringFrame(notice, Reskin());
        const POINT cmd = Middle(ElementRect(h, "Cmd"));
        MoveTo(h, cmd);
        Press(h, cmd, true);
        Press(h, cmd, false);
        EXPECT_EQ(Pending().done, 1);
        Pending() = Answer();
        ExpectWorkingFrame(h, true);
        DestroyWindow(h);
    }
}

TEST_F(ReentrantNoticeTest, ACaptionButtonSurvivesItsHostRemovingTheSkinInAnswerToAPress)
{
    HWND h = AnsweringFrame(WM_SKINELEMENT_LDOWN, [](HWND w) { ASSERT_TRUE(RemoveWindowSkin(w)); });
    const POINT cmd = Middle(ElementRect(h, "Pin"));
    MoveTo(h, cmd);
    Press(h, cmd, true);
    Press(h, cmd, false);
    EXPECT_EQ(Pending().done, 1);
    ExpectWorkingFrame(h, false);
}

// The hover ends with the leave message; the host re-skins in answer while the timer runs.
TEST_F(ReentrantNoticeTest, ACaptionButtonSurvivesItsHostReskinningInAnswerToTheLeaveMessage)
{
    HWND h = AnsweringFrame(WM_SKINELEMENT_LEAVE, Reskin());
    MoveTo(h, Middle(ElementRect(h, "Cmd")));
    MoveTo(h, POINT{60, 80});
    WinTestAdvanceClock(CSkinCaptionButton::kHoverInterval);
    WinTestPumpUntilIdle();
    EXPECT_EQ(Pending().done, 1);
    Pending() = Answer();
    ExpectWorkingFrame(h, true);
}

TEST_F(ReentrantNoticeTest, TheMenuBarSurvivesTheOwnerChangingItsMenuInAnswerToInitMenu)
{
    HWND h = AnsweringFrame(WM_INITMENU, [](HWND w) {
        HMENU other = CreateMenu();
        HMENU sub = CreatePopupMenu();
        AppendMenuA(sub, MF_STRING, 901, "&Now");
        AppendMenuA(other, MF_POPUP, UINT_PTR(sub), "&Other");
        ASSERT_TRUE(SetMenu(w, other));
    });
    Click(h, Middle(ItemRect(h, "&File")));
    EXPECT_EQ(Pending().done, 1);
    // The new menu is the bar's, and it opens.
    ASSERT_EQ(Bar(h).GetItemCount(), 1);
    EXPECT_EQ(Bar(h).GetItem(0)->m_strText, "&Other");
    Click(h, Middle(ItemRect(h, "&Other")));
    EXPECT_EQ(OpenText(h), "&Other");
    Key(VK_ESCAPE);
}

TEST_F(ReentrantNoticeTest, AClickOnACommandOfAMenuTheOwnerReplacedInAnswerRunsNothing)
{
    HWND h = AnsweringFrame(WM_INITMENU, [](HWND w) {
        HMENU other = CreateMenu();
        AppendMenuA(other, MF_STRING, 902, "&Single");
        ASSERT_TRUE(SetSkinWindowMenu(w, other));
    });
    Click(h, Middle(ItemRect(h, "&Go")));
    EXPECT_EQ(Pending().done, 1);
    ASSERT_EQ(Bar(h).GetItemCount(), 1);
    WinTestPumpUntilIdle();
    // The click went to the menu that was there no longer: no command from it.
    EXPECT_TRUE(Frames().commands.empty());
}

TEST_F(ReentrantNoticeTest, TheMenuBarSurvivesTheOwnerRemovingTheSkinInAnswerToInitMenuPopup)
{
    HMENU menu = nullptr;
    HWND h = AnsweringFrame(WM_INITMENUPOPUP, [](HWND w) { ASSERT_TRUE(RemoveWindowSkin(w)); });
    menu = FrameSkin(h)->GetMenu();
    Click(h, Middle(ItemRect(h, "&File")));
    EXPECT_EQ(Pending().done, 1);
    ExpectWorkingFrame(h, false);
    // The menu went back to the window, and no popup is left behind.
    EXPECT_EQ(GetMenu(h), menu);
    EXPECT_EQ(GetWindow(h, GW_ENABLEDPOPUP), nullptr);
}

// A popup of the bar tells its owner which row is selected and when a submenu opens.
TEST_F(ReentrantNoticeTest, AnOpenPopupSurvivesTheOwnerRemovingTheSkinInAnswerToMenuSelect)
{
    HWND h = AnsweringFrame(0, nullptr);
    Click(h, Middle(ItemRect(h, "&File")));
    ASSERT_NE(OpenPopup(h), nullptr);
    Pending().message = WM_MENUSELECT;
    Pending().act = [](HWND w) { ASSERT_TRUE(RemoveWindowSkin(w)); };
    Key(VK_DOWN);
    EXPECT_EQ(Pending().done, 1);
    ExpectWorkingFrame(h, false);
}

}  // namespace
}  // namespace wintest
