// The XP-style button on the headless backend: no border at rest, a black-outlined face in the
// mouse-over colour while hovered or pressed (square or rounded corners), and the base look when
// disabled or focused.
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
        ASSERT_TRUE(b.Create("", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, CRect(20, 20, 80, 60), &host, 100));
        ASSERT_TRUE(other.Create("other", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, CRect(200, 20, 260, 60),
                                 &host, 101));
        b.SetColor(CImageButton::BTNST_COLOR_BK_IN, kOver, FALSE);
        b.SetColor(CImageButton::BTNST_COLOR_BK_OUT, kNormal, FALSE);
        b.SetColor(CImageButton::BTNST_COLOR_BK_FOCUS, kFocus, FALSE);
        other.SetFocus();
        Pump();
    }
    void TearDown() override {
        b.DestroyWindow();
        other.DestroyWindow();
        host.DestroyWindow();
        Pump();
    }
    static void Pump() {
        WinTestPumpUntilIdle();
        WinTestPumpUntilIdle();
    }
    WinTestWindowPicture Picture() { return WinTestWindowPicture(b.m_hWnd); }
    void Hover() {
        WinTestMouseMove(b.m_hWnd, 30, 20);
        Pump();
    }
    void Leave() {
        WinTestMouseMove(host.m_hWnd, 150, 200);
        Pump();
    }
    CWnd host;
    CFlatXPButton b;
    CButton other;
};

}  // namespace

TEST_F(FlatXPButtonTest, AtRestTheFaceHasNoBorder) {
    WinTestWindowPicture p = Picture();
    EXPECT_EQ(p.Count(kNormal), 60 * 40);
    EXPECT_FALSE(b.GetRounded());
}

TEST_F(FlatXPButtonTest, HoverDrawsASquareBlackOutlineUntilTheMouseLeaves) {
    Hover();
    ASSERT_TRUE(b.IsHovering());
    WinTestWindowPicture p = Picture();
    EXPECT_EQ(p.At(0, 0), kBlack);
    EXPECT_EQ(p.At(59, 0), kBlack);
    EXPECT_EQ(p.At(0, 39), kBlack);
    EXPECT_EQ(p.At(59, 39), kBlack);
    EXPECT_EQ(p.At(30, 0), kBlack);
    EXPECT_EQ(p.At(1, 1), kOver);
    EXPECT_EQ(p.Count(kBlack), 2 * 60 + 2 * 38);
    EXPECT_EQ(p.Count(kOver), 58 * 38);

    Leave();
    EXPECT_FALSE(b.IsHovering());
    EXPECT_EQ(Picture().Count(kNormal), 60 * 40);
}

TEST_F(FlatXPButtonTest, RoundedCornersLeaveTheCornerPixelsAlone) {
    b.SetRounded(TRUE);
    EXPECT_TRUE(b.GetRounded());
    Hover();
    WinTestWindowPicture p = Picture();
    EXPECT_EQ(p.At(0, 0), kNormal);  // what was there before
    EXPECT_EQ(p.At(59, 39), kNormal);
    EXPECT_EQ(p.At(10, 0), kBlack);
    EXPECT_EQ(p.At(0, 20), kBlack);
    EXPECT_EQ(p.At(59, 20), kBlack);
    EXPECT_EQ(p.At(59, 0), kNormal);
    EXPECT_EQ(p.At(0, 39), kNormal);
    EXPECT_EQ(p.At(30, 20), kOver);
}

TEST_F(FlatXPButtonTest, PressingWithTheMouseOrTheKeyboardShowsTheOutline) {
    Hover();
    WinTestMouseButton(b.m_hWnd, WINTEST_LEFT, TRUE, 30, 20);
    Pump();
    WinTestWindowPicture down = Picture();
    EXPECT_EQ(down.At(0, 0), kBlack);
    EXPECT_EQ(down.At(30, 20), kOver);
    WinTestMouseButton(b.m_hWnd, WINTEST_LEFT, FALSE, 30, 20);
    Leave();

    // Space held on the focused button presses it without the mouse over it.
    b.SetFocus();
    Pump();
    WinTestKey(VK_SPACE, TRUE);
    Pump();
    EXPECT_FALSE(b.IsHovering());
    WinTestWindowPicture key = Picture();
    EXPECT_EQ(key.At(0, 0), kBlack);
    EXPECT_EQ(key.At(30, 20), kOver);
    WinTestKey(VK_SPACE, FALSE);
    Pump();
    EXPECT_EQ(Picture().At(0, 0), kFocus);
}

TEST_F(FlatXPButtonTest, FocusUsesTheFocusColourAndAFocusRectangleOnlyWhenAsked) {
    b.SetFocus();
    Pump();
    WinTestWindowPicture p = Picture();
    EXPECT_EQ(p.Count(kFocus), 60 * 40);
    b.DrawFlatFocus(TRUE);
    Pump();
    EXPECT_LT(Picture().Count(kFocus), 60 * 40 - 50);  // the dotted rectangle 3 pixels in
    EXPECT_EQ(Picture().At(1, 1), kFocus);
}

TEST_F(FlatXPButtonTest, DisabledButtonKeepsTheRestingFaceAndEmbossesItsCaption) {
    b.SetWindowText("Convert");
    b.EnableWindow(FALSE);
    Hover();
    EXPECT_FALSE(b.IsHovering());
    WinTestWindowPicture p = Picture();
    EXPECT_EQ(p.At(0, 0), kNormal);
    EXPECT_GT(p.Count(GetSysColor(COLOR_3DHILIGHT)), 0);
    EXPECT_GT(p.Count(GetSysColor(COLOR_3DSHADOW)), 0);
    EXPECT_EQ(p.Count(kBlack), 0);
}
