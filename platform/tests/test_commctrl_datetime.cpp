// The date-time picker: its date and the text that shows it in each format, editing fields with
// keys, digits and the up-down pair, the "no date" check box, and the drop-down calendar run
// in its own loop: a date chosen by mouse, Escape and a click elsewhere, with their notices.
#include <gtest/gtest.h>

#include <string>

#include "commctrl_test_support.h"

using namespace cctest;

namespace {

SYSTEMTIME Date(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
    SYSTEMTIME st{};
    st.wYear = WORD(y);
    st.wMonth = WORD(m);
    st.wDay = WORD(d);
    st.wHour = WORD(hh);
    st.wMinute = WORD(mm);
    st.wSecond = WORD(ss);
    return st;
}

struct DateTimeFixture : ::testing::Test {
    HWND parent = nullptr, dtp = nullptr;
    void SetUp() override {
        Reset();
        SYSTEMTIME now = Date(2024, 2, 14, 9, 30, 5);
        WinTestSetDateTime(&now, 0);
        parent = MakeParent(400, 300);
    }
    void TearDown() override {
        Reset();
        DestroyWindow(parent);
        Pump();
    }
    HWND Make(DWORD style = 0) {
        dtp = CreateWindowExA(0, DATETIMEPICK_CLASSA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 10, 10, 200, 22,
                              parent, reinterpret_cast<HMENU>(12), nullptr, nullptr);
        return dtp;
    }
    std::string Text() {
        char buf[128];
        GetWindowTextA(dtp, buf, sizeof buf);
        return buf;
    }
    SYSTEMTIME Get(LRESULT* flag = nullptr) {
        SYSTEMTIME st{};
        LRESULT f = SendMessageA(dtp, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
        if (flag) *flag = f;
        return st;
    }
    void Set(const SYSTEMTIME& st) { ASSERT_TRUE(SendMessageA(dtp, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st))); }
};

TEST_F(DateTimeFixture, ItStartsAtNowAndShowsTheDateInTheFormatOfItsStyle) {
    Make();
    SYSTEMTIME st = Get();
    EXPECT_EQ(st.wYear, 2024);
    EXPECT_EQ(st.wDay, 14);
    EXPECT_EQ(st.wHour, 9);
    EXPECT_EQ(Text(), "2/14/2024");
    DestroyWindow(dtp);
    Make(DTS_LONGDATEFORMAT);
    EXPECT_EQ(Text(), "Wednesday, February 14, 2024");
    DestroyWindow(dtp);
    Make(DTS_TIMEFORMAT);
    EXPECT_EQ(Text(), "9:30:05 AM");
    ASSERT_TRUE(SendMessageA(dtp, DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>("'Due' yyyy-MM-dd HH'h'")));
    EXPECT_EQ(Text(), "Due 2024-02-14 09h");
    EXPECT_EQ(GetWindowTextLengthA(dtp), 18);
}

TEST_F(DateTimeFixture, DatesAreCheckedAndTheRangeHoldsThem) {
    Make();
    SYSTEMTIME bad = Date(2023, 2, 29);
    EXPECT_FALSE(SendMessageA(dtp, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&bad)));
    EXPECT_FALSE(SendMessageA(dtp, DTM_SETSYSTEMTIME, GDT_NONE, 0));  // only with DTS_SHOWNONE
    Set(Date(2024, 12, 25, 18, 0, 0));
    EXPECT_EQ(Get().wDayOfWeek, 3);
    SYSTEMTIME range[2] = {Date(2024, 1, 1), Date(2024, 6, 30)};
    SendMessageA(dtp, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, reinterpret_cast<LPARAM>(range));
    EXPECT_EQ(Get().wMonth, 6);  // pulled into the range
    SYSTEMTIME late = Date(2024, 7, 1);
    EXPECT_FALSE(SendMessageA(dtp, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&late)));
    EXPECT_TRUE(Codes().empty());
}

TEST_F(DateTimeFixture, KeysMoveBetweenFieldsAndChangeTheFocusedOne) {
    Make();
    Set(Date(2024, 1, 31));
    SetFocus(dtp);
    Pump();
    WinTestKeyPress(VK_UP);  // the month: 1 -> 2, the day cut to February's end
    Pump();
    EXPECT_EQ(Text(), "2/29/2024");
    WinTestKeyPress(VK_RIGHT);
    WinTestKeyPress(VK_DOWN);  // the day: 29 -> 28
    Pump();
    EXPECT_EQ(Text(), "2/28/2024");
    WinTestKeyPress(VK_RIGHT);
    WinTestText("1999");
    Pump();
    EXPECT_EQ(Text(), "2/28/1999");
    WinTestKeyPress(VK_HOME);
    WinTestText("12");
    Pump();
    EXPECT_EQ(Text(), "12/28/1999");
    auto codes = Codes();
    ASSERT_FALSE(codes.empty());
    for (UINT c : codes) EXPECT_EQ(c, DTN_DATETIMECHANGE);
}

TEST_F(DateTimeFixture, TheUpDownPairStepsTheFocusedField) {
    Make(DTS_TIMEFORMAT);
    Set(Date(2024, 2, 14, 23, 59, 0));
    RECT cr;
    GetClientRect(dtp, &cr);
    WinTestClick(dtp, WINTEST_LEFT, cr.right - 5, 3);  // up: the hour wraps
    Pump();
    EXPECT_EQ(Get().wHour, 0);
    WinTestClick(dtp, WINTEST_LEFT, cr.right - 5, cr.bottom - 3);
    Pump();
    EXPECT_EQ(Get().wHour, 23);
    EXPECT_EQ(Codes(), (std::vector<UINT>{DTN_DATETIMECHANGE, DTN_DATETIMECHANGE}));
    EXPECT_EQ(SendMessageA(dtp, DTM_GETMONTHCAL, 0, 0), 0);  // no drop-down with up-down
}

TEST_F(DateTimeFixture, TheCheckBoxTurnsTheDateOffAndOn) {
    Make(DTS_SHOWNONE);
    LRESULT flag;
    Get(&flag);
    EXPECT_EQ(flag, GDT_VALID);
    WinTestClick(dtp, WINTEST_LEFT, 8, 11);
    Pump();
    Get(&flag);
    EXPECT_EQ(flag, GDT_NONE);
    EXPECT_EQ(Codes(), (std::vector<UINT>{DTN_DATETIMECHANGE}));
    Set(Date(2024, 3, 3));
    Get(&flag);
    EXPECT_EQ(flag, GDT_VALID);
    EXPECT_TRUE(SendMessageA(dtp, DTM_SETSYSTEMTIME, GDT_NONE, 0));
    Get(&flag);
    EXPECT_EQ(flag, GDT_NONE);
}

TEST_F(DateTimeFixture, ADateChosenInTheDropDownSetsThePickerAndKeepsTheTime) {
    Make();
    Set(Date(2024, 2, 14, 9, 30, 5));
    HWND seen = nullptr;
    POINT day20{};
    RECT cr;
    GetClientRect(dtp, &cr);
    WinTestIdleScript script({
        [&](int, HWND) {
            seen = reinterpret_cast<HWND>(SendMessageA(dtp, DTM_GETMONTHCAL, 0, 0));
            ASSERT_NE(seen, nullptr);
            RECT client;
            GetClientRect(seen, &client);
            for (int y = 0; y < client.bottom && !day20.x; ++y)
                for (int x = 0; x < client.right; ++x) {
                    MCHITTESTINFO ht{};
                    ht.cbSize = sizeof ht;
                    ht.pt = POINT{x, y};
                    SendMessageA(seen, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht));
                    if (ht.uHit == MCHT_CALENDARDATE && ht.st.wDay == 20) {
                        day20 = POINT{x + 2, y + 2};
                        break;
                    }
                }
            WinTestClick(seen, WINTEST_LEFT, day20.x, day20.y);
        },
    });
    WinTestClick(dtp, WINTEST_LEFT, cr.right - 5, 10);
    Pump();
    EXPECT_EQ(script.Overruns(), 0);
    EXPECT_FALSE(IsWindow(seen));
    SYSTEMTIME st = Get();
    EXPECT_EQ(st.wDay, 20);
    EXPECT_EQ(st.wHour, 9);
    EXPECT_EQ(st.wSecond, 5);
    std::vector<UINT> codes;
    for (auto& n : Notes())
        if (n.from == dtp) codes.push_back(n.code);
    EXPECT_EQ(codes, (std::vector<UINT>{DTN_DROPDOWN, DTN_CLOSEUP, DTN_DATETIMECHANGE}));
    EXPECT_EQ(GetFocus(), dtp);
}

TEST_F(DateTimeFixture, EscapeOrAClickElsewhereClosesTheDropDownAndKeepsTheDate) {
    Make();
    Set(Date(2024, 2, 14));
    RECT cr;
    GetClientRect(dtp, &cr);
    {
        WinTestIdleScript script({[&](int, HWND) { WinTestKeyPress(VK_ESCAPE); }});
        WinTestClick(dtp, WINTEST_LEFT, cr.right - 5, 10);
        Pump();
        EXPECT_EQ(script.Overruns(), 0);
    }
    EXPECT_EQ(Get().wDay, 14);
    EXPECT_EQ(Codes(), (std::vector<UINT>{DTN_DROPDOWN, DTN_CLOSEUP}));
    Reset();
    {
        WinTestIdleScript script({[&](int, HWND) { WinTestClick(parent, WINTEST_LEFT, 300, 250); }});
        WinTestKeyPress(VK_F4);  // the keyboard opens it too
        Pump();
        EXPECT_EQ(script.Overruns(), 0);
    }
    EXPECT_EQ(Get().wDay, 14);
    EXPECT_EQ(Codes(), (std::vector<UINT>{DTN_DROPDOWN, DTN_CLOSEUP}));
    EXPECT_EQ(SendMessageA(dtp, DTM_GETMONTHCAL, 0, 0), 0);
}

TEST_F(DateTimeFixture, TheFieldShowsItsButtonAndTheFocusedFieldHighlighted) {
    Make();
    SetFocus(dtp);
    Pump();
    Capture pic(dtp);
    RECT cr;
    GetClientRect(dtp, &cr);
    EXPECT_EQ(pic.At(cr.right - 8, 3), GetSysColor(COLOR_BTNFACE));  // the drop-down button
    EXPECT_EQ(pic.At(cr.right - 30, 10), GetSysColor(COLOR_WINDOW));
    EXPECT_GT(pic.Count(GetSysColor(COLOR_HIGHLIGHT)), 20);  // the month field, focused
    EnableWindow(dtp, FALSE);
    Pump();
    Capture off(dtp);
    EXPECT_EQ(off.At(cr.right - 30, 10), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(off.Count(GetSysColor(COLOR_HIGHLIGHT)), 0);
}

}  // namespace
