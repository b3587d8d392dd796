// The XP-style button: no border at rest, a black-outlined face in the mouse-over colour while
// hovered or pressed (square or rounded corners), and the base look when disabled or focused.
#include <gtest/gtest.h>

#include "FlatXPButton.h"
#include "winplat_test.h"

namespace {

const COLORREF kOver = RGB(255, 255, 0), kNormal = RGB(0, 128, 0), kFocus = RGB(0, 0, 160), kBlack = RGB(0, 0, 0);

class FlatXPButtonTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0, nullptr, HBRUSH(GetStockObject(WHITE_BRUSH))), "host",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr));
        ASSERT_TRUE(b.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(20, 20, 80, 60), &host, 100));
        b.SetColor(CImageButton::HOVER_FACE, kOver, FALSE);
        b.SetColor(CImageButton::NORMAL_FACE, kNormal, FALSE);
        b.SetColor(CImageButton::FOCUS_FACE, kFocus, FALSE);
        Pump();
    }
    void TearDown() override {
        host.DestroyWindow();
        Pump();
    }
    static void Pump() {
        WinTestPumpUntilIdle();
        WinTestPumpUntilIdle();
    }
    WinTestWindowPicture Mouse(HWND over, BOOL down = FALSE) {
        // Over the button at (30, 20) of its client area, or far from it on the host.
        if (over == host.m_hWnd)
            WinTestMouseMove(over, 300, 200);
        else
            WinTestMouseMove(over, 30, 20);
        if (down) WinTestMouseButton(over, WINTEST_LEFT, TRUE, 30, 20);
        Pump();
        return WinTestWindowPicture(b.m_hWnd);
    }
    CWnd host;
    CFlatXPButton b;
};

}  // namespace

TEST_F(FlatXPButtonTest, HoverAndPressDrawASquareOrRoundedOutlineUntilTheMouseLeaves) {
    EXPECT_EQ(WinTestWindowPicture(b.m_hWnd).Count(kNormal), 60 * 40);  // no border at rest
    WinTestWindowPicture over = Mouse(b.m_hWnd);
    ASSERT_TRUE(b.IsHovering());
    EXPECT_TRUE(over.At(0, 0) == kBlack && over.At(59, 39) == kBlack && over.At(30, 0) == kBlack);
    EXPECT_EQ(over.Count(kBlack), 2 * 60 + 2 * 38);
    EXPECT_EQ(over.Count(kOver), 58 * 38);
    EXPECT_EQ(Mouse(host.m_hWnd).Count(kNormal), 60 * 40);
    EXPECT_FALSE(b.IsHovering());

    b.SetRounded(TRUE);
    WinTestWindowPicture round = Mouse(b.m_hWnd, TRUE);
    EXPECT_TRUE(round.At(0, 0) == kNormal && round.At(59, 39) == kNormal);  // corners keep what was there
    EXPECT_TRUE(round.At(10, 0) == kBlack && round.At(0, 20) == kBlack && round.At(30, 20) == kOver);
    WinTestMouseButton(b.m_hWnd, WINTEST_LEFT, FALSE, 30, 20);
    Mouse(host.m_hWnd);
}

TEST_F(FlatXPButtonTest, KeyboardPressFocusAndDisabledLooks) {
    b.SetFocus();
    Pump();
    EXPECT_EQ(WinTestWindowPicture(b.m_hWnd).Count(kFocus), 60 * 40);  // no focus rectangle unless asked
    WinTestKey(VK_SPACE, TRUE);
    Pump();
    WinTestWindowPicture key(b.m_hWnd);
    EXPECT_FALSE(b.IsHovering());
    EXPECT_TRUE(key.At(0, 0) == kBlack && key.At(30, 20) == kOver);
    WinTestKey(VK_SPACE, FALSE);
    b.DrawFlatFocus(TRUE);
    Pump();
    WinTestWindowPicture focus(b.m_hWnd);
    EXPECT_LT(focus.Count(kFocus), 60 * 40 - 50);
    EXPECT_EQ(focus.At(1, 1), kFocus);

    b.SetWindowText("Convert");
    b.EnableWindow(FALSE);
    WinTestWindowPicture off = Mouse(b.m_hWnd);
    EXPECT_FALSE(b.IsHovering());
    EXPECT_EQ(off.At(0, 0), kNormal);
    EXPECT_GT(off.Count(GetSysColor(COLOR_3DHILIGHT)), 0);  // embossed caption
    EXPECT_GT(off.Count(GetSysColor(COLOR_3DSHADOW)), 0);
    EXPECT_EQ(off.Count(kBlack), 0);
}
