// The month calendar: the date arithmetic under it, the selection and the month shown, hit
// tests over the title buttons, the day names and the dates, the buttons and clicks and keys
// with their notices, colours and the look, printed with WM_PRINTCLIENT as well.
#include <gtest/gtest.h>

#include "commctrl_test_support.h"

using namespace cctest;

namespace {

SYSTEMTIME Date(int y, int m, int d) {
    SYSTEMTIME st{};
    st.wYear = WORD(y);
    st.wMonth = WORD(m);
    st.wDay = WORD(d);
    return st;
}

struct MonthCalFixture : ::testing::Test {
    HWND parent = nullptr, cal = nullptr;
    void SetUp() override {
        Reset();
        SYSTEMTIME now = Date(2024, 2, 14);
        now.wHour = 9;
        WinTestSetDateTime(&now, 0);
        parent = MakeParent(400, 300);
        cal = CreateWindowExA(0, MONTHCAL_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 10, 10, 10, parent,
                              reinterpret_cast<HMENU>(8), nullptr, nullptr);
        RECT r{};
        SendMessageA(cal, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&r));
        SetWindowPos(cal, nullptr, 0, 0, r.right, r.bottom, SWP_NOMOVE | SWP_NOZORDER);
        Pump();
    }
    void TearDown() override {
        Reset();
        DestroyWindow(parent);
        Pump();
    }
    MCHITTESTINFO Hit(int x, int y) {
        MCHITTESTINFO ht{};
        ht.cbSize = sizeof ht;
        ht.pt = POINT{x, y};
        SendMessageA(cal, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht));
        return ht;
    }
    SYSTEMTIME Sel() {
        SYSTEMTIME st{};
        SendMessageA(cal, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&st));
        return st;
    }
    // Scans the client area for the first point with the wanted hit code.
    bool Find(UINT code, POINT* at, int day = 0) {
        RECT cr;
        GetClientRect(cal, &cr);
        for (int y = 0; y < cr.bottom; ++y)
            for (int x = 0; x < cr.right; ++x) {
                MCHITTESTINFO ht = Hit(x, y);
                if (ht.uHit == code && (!day || ht.st.wDay == day)) {
                    *at = POINT{x, y};
                    return true;
                }
            }
        return false;
    }
    void ShowMonth(int y, int m, int d = 1) {
        SYSTEMTIME st = Date(y, m, d);
        ASSERT_TRUE(SendMessageA(cal, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st)));
    }
};

TEST_F(MonthCalFixture, TheSelectionStartsTodayAndTakesOnlyRealDates) {
    SYSTEMTIME st = Sel();
    EXPECT_EQ(st.wYear, 2024);
    EXPECT_EQ(st.wMonth, 2);
    EXPECT_EQ(st.wDay, 14);
    EXPECT_EQ(st.wDayOfWeek, 3);  // a Wednesday
    SYSTEMTIME leap = Date(2024, 2, 29), none = Date(2023, 2, 29), bad = Date(2024, 13, 1);
    EXPECT_TRUE(SendMessageA(cal, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&leap)));
    EXPECT_FALSE(SendMessageA(cal, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&none)));
    EXPECT_FALSE(SendMessageA(cal, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&bad)));
    EXPECT_EQ(Sel().wDay, 29);
    EXPECT_EQ(Sel().wDayOfWeek, 4);  // Thursday
    EXPECT_TRUE(Codes().empty());  // set by message: no notice

    SYSTEMTIME range[2] = {Date(2024, 1, 10), Date(2024, 3, 20)};
    EXPECT_TRUE(SendMessageA(cal, MCM_SETRANGE, GDTR_MIN | GDTR_MAX, reinterpret_cast<LPARAM>(range)));
    SYSTEMTIME early = Date(2024, 1, 9);
    EXPECT_FALSE(SendMessageA(cal, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&early)));
    SYSTEMTIME got[2];
    EXPECT_EQ(SendMessageA(cal, MCM_GETRANGE, 0, reinterpret_cast<LPARAM>(got)), GDTR_MIN | GDTR_MAX);
    EXPECT_EQ(got[1].wDay, 20);
}

TEST_F(MonthCalFixture, WeekdaysLeapYearsAndCenturiesComeOutRight) {
    // Days of the week of known dates, each selected and read back.
    struct Known { int y, m, d, wd; } known[] = {{1601, 1, 1, 1}, {1900, 3, 1, 4}, {2000, 2, 29, 2},
                                                 {2000, 3, 1, 3}, {2100, 2, 28, 0}, {1999, 12, 31, 5}};
    for (auto& k : known) {
        SYSTEMTIME st = Date(k.y, k.m, k.d);
        ASSERT_TRUE(SendMessageA(cal, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st))) << k.y;
        EXPECT_EQ(Sel().wDayOfWeek, k.wd) << k.y << "-" << k.m << "-" << k.d;
    }
    SYSTEMTIME no = Date(1900, 2, 29), yes = Date(2000, 2, 29);
    EXPECT_FALSE(SendMessageA(cal, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&no)));
    EXPECT_TRUE(SendMessageA(cal, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&yes)));
}

TEST_F(MonthCalFixture, HitTestsNameTheTitleButtonsTheDayNamesAndTheDates) {
    ShowMonth(2024, 2);
    POINT prev{}, next{}, month{}, year{}, day{}, date{}, before{}, after{}, today{};
    ASSERT_TRUE(Find(MCHT_TITLEBTNPREV, &prev));
    ASSERT_TRUE(Find(MCHT_TITLEBTNNEXT, &next));
    ASSERT_TRUE(Find(MCHT_TITLEMONTH, &month));
    ASSERT_TRUE(Find(MCHT_TITLEYEAR, &year));
    ASSERT_TRUE(Find(MCHT_CALENDARDAY, &day));
    ASSERT_TRUE(Find(MCHT_CALENDARDATE, &date, 1));
    ASSERT_TRUE(Find(MCHT_CALENDARDATEPREV, &before));
    ASSERT_TRUE(Find(MCHT_CALENDARDATENEXT, &after));
    ASSERT_TRUE(Find(MCHT_TODAYLINK, &today));
    EXPECT_LT(prev.x, month.x);
    EXPECT_LT(month.x, year.x);
    EXPECT_LT(year.x, next.x);
    EXPECT_EQ(prev.y, next.y);
    EXPECT_GT(day.y, prev.y);
    EXPECT_GT(date.y, day.y);
    EXPECT_GT(today.y, date.y);
    // 1 February 2024 is a Thursday: the grid starts on Sunday 28 January.
    MCHITTESTINFO first = Hit(before.x, before.y);
    EXPECT_EQ(first.st.wMonth, 1);
    EXPECT_EQ(first.st.wDay, 28);
    MCHITTESTINFO feb1 = Hit(date.x, date.y);
    EXPECT_EQ(feb1.st.wMonth, 2);
    EXPECT_EQ(feb1.st.wDay, 1);
    EXPECT_EQ(Hit(after.x, after.y).st.wMonth, 3);
    EXPECT_EQ(Hit(500, 500).uHit, UINT(MCHT_NOWHERE));
    EXPECT_EQ(Hit(1, 1).uHit, UINT(MCHT_CALENDARBK));
    MCHITTESTINFO small{};
    small.cbSize = 4;
    EXPECT_EQ(SendMessageA(cal, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&small)), -1);
}

TEST_F(MonthCalFixture, TheTitleButtonsShowTheMonthsBeforeAndAfterWithoutSelecting) {
    ShowMonth(2024, 1, 31);
    POINT next{}, prev{};
    ASSERT_TRUE(Find(MCHT_TITLEBTNNEXT, &next));
    ASSERT_TRUE(Find(MCHT_TITLEBTNPREV, &prev));
    WinTestClick(cal, WINTEST_LEFT, next.x + 1, next.y + 1);
    Pump();
    SYSTEMTIME shown[2];
    SendMessageA(cal, MCM_GETMONTHRANGE, GMR_VISIBLE, reinterpret_cast<LPARAM>(shown));
    EXPECT_EQ(shown[0].wMonth, 2);
    EXPECT_EQ(shown[1].wDay, 29);  // a leap February
    EXPECT_EQ(Sel().wMonth, 1);    // the selection stays
    EXPECT_TRUE(Codes().empty());
    SendMessageA(cal, MCM_SETMONTHDELTA, 3, 0);
    WinTestClick(cal, WINTEST_LEFT, prev.x + 1, prev.y + 1);
    Pump();
    SendMessageA(cal, MCM_GETMONTHRANGE, GMR_VISIBLE, reinterpret_cast<LPARAM>(shown));
    EXPECT_EQ(shown[0].wMonth, 11);
    EXPECT_EQ(shown[0].wYear, 2023);
}

TEST_F(MonthCalFixture, ClickingADateSelectsItAndTellsTheParentTwice) {
    ShowMonth(2024, 2);
    POINT d{};
    ASSERT_TRUE(Find(MCHT_CALENDARDATE, &d, 20));
    std::vector<int> days;
    OnNotify() = [&](NMHDR* nm, bool*) -> LRESULT {
        days.push_back(reinterpret_cast<NMSELCHANGE*>(nm)->stSelStart.wDay);
        return 0;
    };
    WinTestClick(cal, WINTEST_LEFT, d.x + 2, d.y + 2);
    Pump();
    EXPECT_EQ(Sel().wDay, 20);
    EXPECT_EQ(Codes(), (std::vector<UINT>{MCN_SELCHANGE, MCN_SELECT}));
    EXPECT_EQ(days, (std::vector<int>{20, 20}));

    // A trailing day of the next month selects it and shows its month.
    Reset();
    POINT after{};
    ASSERT_TRUE(Find(MCHT_CALENDARDATENEXT, &after));
    WinTestClick(cal, WINTEST_LEFT, after.x, after.y);
    Pump();
    EXPECT_EQ(Sel().wMonth, 3);
    SYSTEMTIME shown[2];
    SendMessageA(cal, MCM_GETMONTHRANGE, GMR_VISIBLE, reinterpret_cast<LPARAM>(shown));
    EXPECT_EQ(shown[0].wMonth, 3);
}

TEST_F(MonthCalFixture, KeysMoveTheSelectionByDaysWeeksAndMonths) {
    ShowMonth(2024, 1, 31);
    SetFocus(cal);
    Pump();
    Reset();
    WinTestKeyPress(VK_RIGHT);
    Pump();
    EXPECT_EQ(Sel().wMonth, 2);
    EXPECT_EQ(Sel().wDay, 1);
    WinTestKeyPress(VK_DOWN);
    Pump();
    EXPECT_EQ(Sel().wDay, 8);
    WinTestKeyPress(VK_NEXT);
    Pump();
    EXPECT_EQ(Sel().wMonth, 3);
    WinTestKeyPress(VK_RETURN);
    Pump();
    EXPECT_EQ(Codes(), (std::vector<UINT>{MCN_SELCHANGE, MCN_SELCHANGE, MCN_SELCHANGE, MCN_SELECT}));
}

TEST_F(MonthCalFixture, ColoursAnswerTheOldValueAndPaintTheirParts) {
    const COLORREF title = RGB(10, 120, 30), month = RGB(250, 240, 200), back = RGB(90, 0, 90);
    EXPECT_EQ(SendMessageA(cal, MCM_SETCOLOR, MCSC_TITLEBK, title), LRESULT(GetSysColor(COLOR_ACTIVECAPTION)));
    SendMessageA(cal, MCM_SETCOLOR, MCSC_MONTHBK, month);
    SendMessageA(cal, MCM_SETCOLOR, MCSC_BACKGROUND, back);
    EXPECT_EQ(SendMessageA(cal, MCM_GETCOLOR, MCSC_MONTHBK, 0), LRESULT(month));
    EXPECT_EQ(SendMessageA(cal, MCM_SETCOLOR, 9, 0), LRESULT(CLR_INVALID));
    SetWindowPos(cal, nullptr, 0, 0, 300, 250, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    Capture pic(cal);
    POINT t{}, bk{}, cell{};
    ASSERT_TRUE(Find(MCHT_TITLEBK, &t));
    ASSERT_TRUE(Find(MCHT_CALENDARBK, &bk));
    ASSERT_TRUE(Find(MCHT_CALENDARDATE, &cell, 20));
    EXPECT_EQ(pic.At(t.x, t.y), title);
    EXPECT_EQ(pic.At(cell.x, cell.y), month);  // a day's cell
    EXPECT_EQ(pic.At(bk.x, bk.y), back);       // the margin
    EXPECT_EQ(pic.At(295, 245), back);
    // The selected day stands in the title colour.
    POINT sel{};
    ASSERT_TRUE(Find(MCHT_CALENDARDATE, &sel, 14));
    EXPECT_EQ(pic.At(sel.x + 1, sel.y + 1), title);

    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bm = CreateCompatibleBitmap(screen, 300, 250);
    HGDIOBJ old = SelectObject(mem, bm);
    SendMessageA(cal, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
    EXPECT_EQ(GetPixel(mem, t.x, t.y), title);
    EXPECT_EQ(GetPixel(mem, cell.x, cell.y), month);
    SelectObject(mem, old);
    DeleteObject(bm);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

TEST_F(MonthCalFixture, AResizedCalendarCentresItsMonthAndItsTitleButtonsMoveWithIt) {
    POINT before{}, after{};
    ASSERT_TRUE(Find(MCHT_TITLEBTNNEXT, &before));
    RECT r{};
    SendMessageA(cal, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&r));
    SetWindowPos(cal, nullptr, 0, 0, r.right + 100, r.bottom + 60, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(Find(MCHT_TITLEBTNNEXT, &after));
    EXPECT_EQ(after.x, before.x + 50);
    EXPECT_EQ(after.y, before.y + 30);
}

TEST_F(MonthCalFixture, TheFirstDayOfTheWeekMovesTheColumns) {
    ShowMonth(2024, 2);
    POINT sun_first{};
    ASSERT_TRUE(Find(MCHT_CALENDARDATE, &sun_first, 4));  // Sunday 4 February
    EXPECT_EQ(SendMessageA(cal, MCM_SETFIRSTDAYOFWEEK, 0, 0), 6);  // was Sunday
    POINT mon_first{};
    ASSERT_TRUE(Find(MCHT_CALENDARDATE, &mon_first, 4));
    EXPECT_GT(mon_first.x, sun_first.x);  // Sunday is now the last column
    EXPECT_EQ(SendMessageA(cal, MCM_GETFIRSTDAYOFWEEK, 0, 0), 0);
}

}  // namespace
