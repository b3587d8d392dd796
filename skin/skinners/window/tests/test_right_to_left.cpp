// Right-to-left windows show their skinned frame as the mirror image of the left-to-right one:
// the frame parts, the caption buttons, the caption text and the menu bar change sides, hit
// codes name the side a point is on as shown, and menus open leftwards.
#include "frame_test_support.h"

using namespace wintest;

namespace {

class RightToLeftTest : public FrameSkinTest {
protected:
    HWND MirroredFrame(DWORD style = kSizable, DWORD ex = WS_EX_LAYOUTRTL)
    {
        HWND h = Frame(style);
        SetWindowLongA(h, GWL_EXSTYLE, GetWindowLongA(h, GWL_EXSTYLE) | ex);
        EXPECT_TRUE(SetWindowSkin(h, "FrameWnd")) << GetSkinLastError();
        WinTestActivate(h);
        WinTestPumpUntilIdle();
        return h;
    }
    static SIZE SizeOf(HWND h)
    {
        RECT wr;
        GetWindowRect(h, &wr);
        return SIZE{wr.right - wr.left, wr.bottom - wr.top};
    }
    // Where a rectangle laid out in the window shows in a mirrored one.
    static RECT Mirrored(HWND h, RECT r)
    {
        const int W = SizeOf(h).cx;
        return RECT{W - r.right, r.top, W - r.left, r.bottom};
    }
    // The columns of the window's caption row that show caption-text colour.
    std::vector<int> CaptionTextColumns(HWND h)
    {
        const CPicture pic = CPicture::OfWindow(h);
        std::vector<int> columns;
        for (int x = 0; x < SizeOf(h).cx; ++x)
            for (int y = 2; y < kTopMiddle - 2; ++y)
                if (WinTestNear(pic.At(x, y), RGB(9, 9, 9))) {  // the caption text's ink
                    columns.push_back(x);
                    break;
                }
        return columns;
    }
};

TEST_F(RightToLeftTest, TheFramePartsAndCaptionButtonsChangeSidesAndHitCodesFollowWhatShows)
{
    HWND h = MirroredFrame();
    const SIZE s = SizeOf(h);
    const int W = s.cx, H = s.cy;
    // The left border (4 wide) shows at the right, the right border (6 wide) at the left.
    EXPECT_EQ(PainterAt(h, {W - 2, H / 2}), "FrameWnd.parts[3]");
    EXPECT_EQ(PainterAt(h, {5, H / 2}), "FrameWnd.parts[5]");
    EXPECT_EQ(PainterAt(h, {W - 27, 21}), "FrameWnd.parts[0]");
    EXPECT_EQ(PainterAt(h, {37, 21}), "FrameWnd.parts[2]");
    // The client area lies between them, as the frame told the window system.
    POINT origin = {0, 0};
    ClientToScreen(h, &origin);
    RECT wr, client;
    GetWindowRect(h, &wr);
    GetClientRect(h, &client);
    EXPECT_EQ(origin.x - wr.left, kRight);
    EXPECT_EQ(client.right, W - kLeft - kRight);
    EXPECT_EQ(PainterAt(h, {kRight + 1, H - kBottom - 2}), "FrameWnd.parts[4]");

    // A caption button anchored to the right shows and answers at the left.
    const RECT close = Mirrored(h, ElementRect(h, "Close"));
    EXPECT_LT(close.right, W / 2);
    EXPECT_EQ(PainterAt(h, Middle(close)), "FrameWnd/Close.image");
    EXPECT_EQ(HitAt(h, Middle(close)), HTCAPTION);
    MoveTo(h, Middle(close));
    EXPECT_EQ(PainterAt(h, Middle(close)), "FrameWnd/Close.states[0]");

    const struct {
        POINT at;
        LRESULT code;
    } rows[] = {
        {{1, 1}, HTTOPLEFT},         {{W - 2, 1}, HTTOPRIGHT},         {{1, H / 2}, HTLEFT},
        {{W - 2, H / 2}, HTRIGHT},   {{1, H - 1}, HTBOTTOMLEFT},       {{W - 1, H - 1}, HTBOTTOMRIGHT},
        {{W / 2, H - 2}, HTBOTTOM},  {{W / 2, 2}, HTTOP},              {{W / 2, H / 2}, HTCLIENT},
        {{35, 21}, HTCAPTION},  // the 24-high corner part that shows at the left
        {{W - 35, 21}, HTERROR},     // under the 20-high middle part: a gap
    };
    for (const auto& r : rows)
        EXPECT_EQ(HitAt(h, r.at), r.code) << "at " << r.at.x << "," << r.at.y;

    // The press on the shown close button closes the frame.
    Click(h, Middle(close));
    EXPECT_FALSE(IsWindow(h));
}

TEST_F(RightToLeftTest, TheMenuBarRunsFromTheRightAndItsMenusOpenLeftwardsUnderTheItem)
{
    HWND h = MirroredFrame();
    const int W = SizeOf(h).cx;
    const RECT file = Mirrored(h, ItemRect(h, "&File")), edit = Mirrored(h, ItemRect(h, "&Edit"));
    // The first item sits at the right end of the bar, the next to its left.
    EXPECT_GT(file.left, W / 2);
    EXPECT_LE(file.right, W - kLeft - kBarMargins.left);
    EXPECT_LE(edit.right, file.left);
    EXPECT_EQ(HitAt(h, Middle(file)), HTMENU);
    MoveTo(h, Middle(file));
    EXPECT_EQ(PainterAt(h, {file.right - 2, file.top + 1}).rfind("FrameWnd.menuBar.hotItem", 0), 0u);

    Click(h, Middle(file));
    ASSERT_NE(OpenPopup(h), nullptr);
    EXPECT_EQ(OpenText(h), "&File");
    HWND popup = OpenPopup(h)->GetHwnd();
    EXPECT_TRUE(GetWindowLongA(popup, GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
    RECT pr, wr;
    GetWindowRect(popup, &pr);
    GetWindowRect(h, &wr);
    EXPECT_EQ(pr.right, wr.left + file.right);
    EXPECT_EQ(pr.top, wr.top + file.bottom);
    // The next menu along the bar is the one shown to the left.
    MoveTo(h, Middle(edit));
    EXPECT_EQ(OpenText(h), "&Edit");
    Click(h, {W / 2, 150});
    EXPECT_EQ(OpenPopup(h), nullptr);
}

TEST_F(RightToLeftTest, TheCaptionTextStartsAtTheRightUnlessTheWindowAlignsItRight)
{
    auto texts = [&](DWORD ex) {
        HWND h = Frame(kSizable);
        SetWindowLongA(h, GWL_EXSTYLE, GetWindowLongA(h, GWL_EXSTYLE) | ex);
        SetWindowTextA(h, "Title");
        EXPECT_TRUE(SetWindowSkin(h, "FrameWnd"));
        CSkinWindow* s = SkinOf(h);
        auto* w = dynamic_cast<CSkinWindowObject*>(s->GetSkinObject());
        w->m_captionFont.color = RGB(9, 9, 9);
        SendMessageA(h, WM_NCPAINT, 1, 0);
        WinTestPumpUntilIdle();
        const std::vector<int> columns = CaptionTextColumns(h);
        DestroyWindow(h);
        return columns;
    };
    const std::vector<int> ltr = texts(0), rtl = texts(WS_EX_LAYOUTRTL), right = texts(WS_EX_LAYOUTRTL | WS_EX_RIGHT);
    ASSERT_FALSE(ltr.empty());
    ASSERT_FALSE(rtl.empty());
    ASSERT_FALSE(right.empty());
    // The middle part runs from 30 to W - 40: mirrored it runs from 40 to W - 30.
    EXPECT_NEAR(ltr.front(), 30, 1);  // the pen starts at 30; the first glyph's bearing may add one
    EXPECT_LT(rtl.back(), 320 - 30);
    EXPECT_GT(rtl.front(), 160);
    EXPECT_LT(right.back(), 160);
    EXPECT_GE(right.front(), 40);
}

TEST_F(RightToLeftTest, AMirroredDialogSwapsItsBordersAndKeepsItsCaptionDrag)
{
    HWND h = Dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE);
    SetWindowLongA(h, GWL_EXSTYLE, GetWindowLongA(h, GWL_EXSTYLE) | WS_EX_LAYOUTRTL);
    ASSERT_TRUE(SetSingleDialogSkin(h, "Dialog"));
    WinTestActivate(h);
    WinTestPumpUntilIdle();
    const SIZE s = SizeOf(h);
    EXPECT_EQ(PainterAt(h, {s.cx - 2, s.cy / 2}), "Dialog.parts[3]");
    EXPECT_EQ(PainterAt(h, {5, s.cy / 2}), "Dialog.parts[5]");
    EXPECT_EQ(HitAt(h, {35, 21}), HTCAPTION);
    EXPECT_EQ(HitAt(h, {s.cx - 35, 21}), HTNOWHERE);  // a dialog's gap
    RECT before, after;
    GetWindowRect(h, &before);
    const POINT from = OnScreen(h, {s.cx / 2, 10});
    WinTestMouseMove(nullptr, from.x, from.y);
    WinTestMouseButton(nullptr, WINTEST_LEFT, true, from.x, from.y);
    WinTestMouseMove(nullptr, from.x - 30, from.y + 12);
    WinTestMouseButton(nullptr, WINTEST_LEFT, false, from.x - 30, from.y + 12);
    WinTestPumpUntilIdle();
    GetWindowRect(h, &after);
    EXPECT_EQ(after.left - before.left, -30);
    EXPECT_EQ(after.top - before.top, 12);
}

TEST_F(RightToLeftTest, TheMdiChildsCloseButtonShowsAndActsAtTheLeftEndOfTheBar)
{
    HWND h = MirroredFrame();
    HWND child = MaximisedMdiChild(h);
    const RECT close = BarButtonRect(h, CSkinMenuBar::BUTTON_CLOSE);
    EXPECT_LT(close.right, SizeOf(h).cx / 2);
    EXPECT_EQ(PainterAt(h, Middle(close)).find("FrameWnd.menuBar.buttons[3]"), 0u) << PainterAt(h, Middle(close));
    Click(h, Middle(close));
    EXPECT_FALSE(IsWindow(child));
}

}  // namespace
