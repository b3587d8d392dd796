// The date-time picker's own calendar drop-down, driven by the mouse and by keys inside its
// loop, and the month calendar's colours and title buttons.
#include "commctl_test_support.h"

#include <algorithm>

#include "DateSkins.h"
#include "SkinDraw.h"

using namespace cctest;

namespace {

SYSTEMTIME Day(WORD y, WORD m, WORD d, WORD h = 0, WORD min = 0)
{
    SYSTEMTIME st{};
    st.wYear = y;
    st.wMonth = m;
    st.wDay = d;
    st.wHour = h;
    st.wMinute = min;
    return st;
}

SYSTEMTIME DateOf(HWND picker)
{
    SYSTEMTIME st{};
    SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
    return st;
}

class DateSkinTest : public CommCtlTest {
protected:
    HWND MakePicker(CHost& host, DWORD style = 0)
    {
        HWND p = host.Add(DATETIMEPICK_CLASSA, "", style, RECT{20, 20, 200, 44}, 100);
        const SYSTEMTIME st = Day(2026, 3, 10, 14, 30);
        SendMessageA(p, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
        return p;
    }
    void ClickButton(HWND picker)
    {
        RECT rc;
        GetClientRect(picker, &rc);
        WinTestClick(picker, WINTEST_LEFT, rc.right - 8, rc.bottom / 2);
        WinTestPumpUntilIdle();
    }
    int Notices(UINT code) const { return int(std::count(Log().notify.begin(), Log().notify.end(), code)); }
};

TEST_F(DateSkinTest, ADayClickedInTheDropDownBecomesThePickersDateAtMidnightBetweenTheTwoNotices)
{
    UseSkin();
    CHost host(RecordingHostClass());
    HWND picker = MakePicker(host);
    ASSERT_TRUE(host.Skin());
    ASSERT_NE(SkinOf<CSkinDateTime>(picker), nullptr);
    HWND seen = nullptr;
    WinTestIdleScript script({[&](int, HWND) {
        seen = reinterpret_cast<HWND>(SendMessageA(picker, DTM_GETMONTHCAL, 0, 0));
        POINT day{};
        ASSERT_TRUE(seen && FindDay(seen, 20, &day));
        WinTestClick(seen, WINTEST_LEFT, day.x, day.y);
    }});
    ClickButton(picker);
    EXPECT_EQ(script.Left(), 0u);
    EXPECT_EQ(script.Overruns(), 0);
    ASSERT_NE(seen, nullptr);
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_EQ(SendMessageA(picker, DTM_GETMONTHCAL, 0, 0), 0);
    const SYSTEMTIME st = DateOf(picker);
    EXPECT_EQ(st.wDay, 20);
    EXPECT_EQ(st.wMonth, 3);
    EXPECT_EQ(st.wHour, 0);
    EXPECT_EQ(st.wMinute, 0);
    const auto& n = Log().notify;
    const auto down = std::find(n.begin(), n.end(), UINT(DTN_DROPDOWN));
    const auto up = std::find(n.begin(), n.end(), UINT(DTN_CLOSEUP));
    ASSERT_NE(down, n.end());
    ASSERT_NE(up, n.end());
    EXPECT_LT(down - n.begin(), up - n.begin());
}

TEST_F(DateSkinTest, KeysOpenTheDropDownMoveItsDayAndEnterChoosesIt)
{
    UseSkin();
    CHost host(RecordingHostClass());
    HWND picker = MakePicker(host);
    ASSERT_TRUE(host.Skin());
    SetFocus(picker);
    WinTestIdleScript script({[&](int, HWND) {
                                  WinTestKeyPress(VK_RIGHT);
                                  WinTestKeyPress(VK_RIGHT);
                                  WinTestKeyPress(VK_DOWN);
                              },
                              [&](int, HWND) { WinTestKeyPress(VK_RETURN); }});
    WinTestKeyPress(VK_F4);
    WinTestPumpUntilIdle();
    EXPECT_EQ(script.Left(), 0u);
    EXPECT_EQ(script.Overruns(), 0);
    const SYSTEMTIME st = DateOf(picker);
    EXPECT_EQ(st.wDay, 19);  // two days on, a week down
    EXPECT_EQ(st.wHour, 0);
    EXPECT_EQ(Notices(DTN_CLOSEUP), 1);
}

TEST_F(DateSkinTest, AClickElsewhereOrEscapeClosesTheDropDownLeavingTheDateAndSendingNoCloseUp)
{
    UseSkin();
    CHost host(RecordingHostClass());
    HWND picker = MakePicker(host);
    ASSERT_TRUE(host.Skin());
    for (int way = 0; way < 3; ++way) {
        HWND cal = nullptr;
        WinTestIdleScript script({[&](int, HWND) {
            cal = reinterpret_cast<HWND>(SendMessageA(picker, DTM_GETMONTHCAL, 0, 0));
            if (way == 0)
                WinTestClick(host, WINTEST_LEFT, 300, 150);  // the host, off the picker
            else if (way == 1)
                WinTestClick(picker, WINTEST_LEFT, 10, 10);  // the picker's own field
            else
                WinTestKeyPress(VK_ESCAPE);
        }});
        ClickButton(picker);
        EXPECT_EQ(script.Overruns(), 0) << way;
        EXPECT_TRUE(cal && !IsWindow(cal)) << way;
        const SYSTEMTIME st = DateOf(picker);
        EXPECT_EQ(st.wDay, 10) << way;
        EXPECT_EQ(st.wHour, 14) << way;
    }
    EXPECT_EQ(Notices(DTN_DROPDOWN), 3);
    EXPECT_EQ(Notices(DTN_CLOSEUP), 0);
}

TEST_F(DateSkinTest, ThePickerShowsItsTextFieldAndButtonAndATimePickerNoButton)
{
    UseSkin();
    CHost host;
    HWND date = MakePicker(host);
    HWND time = host.Add(DATETIMEPICK_CLASSA, "", DTS_TIMEFORMAT, RECT{20, 60, 200, 84}, 101);
    ASSERT_TRUE(host.Skin());
    RECT rc;
    GetClientRect(date, &rc);
    EXPECT_EQ(PainterAt(date, POINT{rc.right - 14, 2}), skin->Describe(Cell("DateTime.grids[0]", 0)));
    EXPECT_EQ(PainterAt(time, POINT{rc.right - 14, 2}), skin->Describe(Cell("DateTime.image1", -1)));
    CPicture p = host.Picture();
    RECT field = ClientRectIn(date, host);
    field.right -= CSkinDateTime::kButtonWidth;
    EXPECT_GT(p.Count(field, kFieldText), 0);
}

TEST_F(DateSkinTest, APickerWithAnEdgeHasItsBorderFromTheSkin)
{
    UseSkin();
    CHost host;
    HWND framed = host.Add(DATETIMEPICK_CLASSA, "", 0, RECT{20, 20, 200, 44}, 100, WS_EX_CLIENTEDGE);
    ASSERT_TRUE(host.Skin());
    RedrawWindow(framed, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    CPicture p = host.Picture();
    const RECT wr = skinkit::WindowRectIn(framed, host);
    EXPECT_EQ(skin->Describe(p.At(wr.left, wr.top)), skin->Describe(Cell("DateTime.background", 0)));
    EXPECT_EQ(skin->Describe(p.At(wr.right - 1, wr.bottom - 1)), skin->Describe(Cell("DateTime.background", 8)));
    // Inside the edge the control's own client area, as the skin paints it.
    const RECT cr = ClientRectIn(framed, host);
    EXPECT_EQ(skin->Describe(p.At(cr.left + 1, cr.top + 1)), skin->Describe(Cell("DateTime.image1", -1)));
}

TEST_F(DateSkinTest, TheMonthCalendarTakesTheSkinsColoursAndDrawsItsTitleButtonsWhereItsHitTestFindsThem)
{
    UseSkin();
    CHost host;
    HWND cal = host.Add(MONTHCAL_CLASSA, "", 0, RECT{10, 10, 250, 190}, 100);
    ASSERT_TRUE(host.Skin());
    auto* skinner = SkinOf<CSkinMonthCalendar>(cal);
    ASSERT_NE(skinner, nullptr);
    EXPECT_EQ(COLORREF(SendMessageA(cal, MCM_GETCOLOR, MCSC_BACKGROUND, 0)), RGB(250, 240, 10));
    EXPECT_EQ(COLORREF(SendMessageA(cal, MCM_GETCOLOR, MCSC_MONTHBK, 0)), RGB(11, 22, 33));
    RECT prev = skinner->GetPreviousButton(), next = skinner->GetNextButton();
    ASSERT_FALSE(IsRectEmpty(&prev));
    ASSERT_FALSE(IsRectEmpty(&next));
    EXPECT_LT(prev.right, next.left);
    EXPECT_EQ(PainterAt(cal, POINT{prev.left + 1, prev.top + 1}), skin->Describe(Cell("MonthCalendar.grids[0]", 0)));
    EXPECT_EQ(PainterAt(cal, POINT{next.left + 1, next.top + 1}), skin->Describe(Cell("MonthCalendar.grids[2]", 0)));

    // Held down, the next button shows its pressed image; released, its own again.
    WinTestMouseButton(cal, WINTEST_LEFT, TRUE, (next.left + next.right) / 2, (next.top + next.bottom) / 2);
    WinTestPumpUntilIdle();
    EXPECT_EQ(skinner->GetHotPart(), CSkinMonthCalendar::kNext);
    EXPECT_EQ(PainterAt(cal, POINT{next.left + 1, next.top + 1}), skin->Describe(Cell("MonthCalendar.grids[3]", 0)));
    WinTestMouseButton(cal, WINTEST_LEFT, FALSE, (next.left + next.right) / 2, (next.top + next.bottom) / 2);
    WinTestPumpUntilIdle();
    EXPECT_EQ(skinner->GetHotPart(), CSkinMonthCalendar::kNone);
    EXPECT_EQ(PainterAt(cal, POINT{next.left + 1, next.top + 1}), skin->Describe(Cell("MonthCalendar.grids[2]", 0)));

    // A wider calendar moves its own buttons, and the skinned ones go with them.
    SetWindowPos(cal, nullptr, 0, 0, 330, 190, SWP_NOMOVE | SWP_NOZORDER);
    WinTestPumpUntilIdle();
    RECT wantPrev, wantNext;
    ASSERT_TRUE(FindMonthCalTitleButtons(cal, &wantPrev, &wantNext));
    EXPECT_TRUE(EqualRect(&wantNext, &skinner->GetNextButton()));
    EXPECT_NE(wantNext.left, next.left);
}

}  // namespace
