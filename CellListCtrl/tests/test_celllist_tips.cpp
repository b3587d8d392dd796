// Cell tooltips through the framework's tooltips, and a long list that scrolls.
#include <cstring>
#include <string>

#include "test_celllist_support.h"

namespace celltest {
namespace {

class CellListTipTest : public CellListTest {
protected:
    void SetUp() override {
        CellListTest::SetUp();
        for (int i = 0; i < 5; ++i) AddRow("clip.avi");
        list.EnableToolTips(TRUE);
    }
    // Rests the mouse on a cell, as the framework's loop sees it.
    void Hover(int row, int col) {
        CPoint p = Middle(row, col);
        WinTestMouseMove(list.m_hWnd, p.x, p.y);
        Pump();
        WinTestMouseMove(list.m_hWnd, p.x + 1, p.y);
        Pump();
    }
    HWND Tip() { return ::FindWindowA(TOOLTIPS_CLASSA, nullptr); }
    bool Shown() {
        HWND t = Tip();
        return t && ::IsWindowVisible(t);
    }
    std::string ShownText() {
        HWND t = Tip();
        if (!t) return "";
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        if (!::SendMessageA(t, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&ti))) return "";
        char buf[512] = {0};
        ti.lpszText = buf;
        ::SendMessageA(t, TTM_GETTEXTA, sizeof buf, reinterpret_cast<LPARAM>(&ti));
        return buf;
    }
};

TEST_F(CellListTipTest, ToolIdsNameTheRowAndColumnOfALabel) {
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    EXPECT_EQ(list.OnToolHitTest(Middle(3, 2), &ti), INT_PTR(3003));
    EXPECT_EQ(ti.hwnd, list.m_hWnd);
    EXPECT_EQ(ti.uId, UINT_PTR(3003));
    EXPECT_EQ(ti.lpszText, LPSTR_TEXTCALLBACKA);
    CRect client;
    list.GetClientRect(&client);
    EXPECT_EQ(CRect(ti.rect), client);
    EXPECT_EQ(list.OnToolHitTest(Middle(0, 0), &ti), INT_PTR(1));
    EXPECT_EQ(CCellListCtrl::ToolId(12, 4), INT_PTR(12005));
    // Below the last row there is no tool.
    EXPECT_EQ(list.OnToolHitTest(CPoint(100, 300), &ti), INT_PTR(-1));
}

TEST_F(CellListTipTest, ATipAppearsAfterItsDelayWithTheCellsText) {
    EXPECT_TRUE(list.SetItemToolTipText(1, kName, "/home/user/videos/clip.avi"));
    EXPECT_EQ(list.GetItemToolTipText(1, kName), CString("/home/user/videos/clip.avi"));
    Hover(1, kName);
    Advance(100);
    EXPECT_FALSE(Shown());
    Advance(1500);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(ShownText(), "/home/user/videos/clip.avi");
    // A cell without a text shows no tip.
    Hover(2, kName);
    Advance(1600);
    EXPECT_FALSE(Shown());
    // Back on the cell, and after all tips are cleared, nothing either.
    list.DeleteAllToolTips();
    EXPECT_TRUE(list.GetItemToolTipText(1, kName).IsEmpty());
    Hover(1, kName);
    Advance(1600);
    EXPECT_FALSE(Shown());
}

TEST_F(CellListTipTest, ALongTipIsCutToTheNotificationsBuffer) {
    std::string long_text(300, 'x');
    long_text[0] = 'A';
    list.SetItemToolTipText(0, kSize, long_text.c_str());
    Hover(0, kSize);
    Advance(1600);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(ShownText(), long_text.substr(0, CCellListCtrl::kMaxToolTipChars));
}

TEST_F(CellListTipTest, TheTextNotificationsNeverRunPastTheirBuffers) {
    std::string accents;
    for (int i = 0; i < 120; ++i) accents += "\xC3\xA9";  // 'é', two bytes each
    list.SetItemToolTipText(2, kName, accents.c_str());
    Hover(2, kName);  // the notification reads the cell under the message position
    list.PostMessage(WM_NULL);
    Pump();
    HINSTANCE canary = reinterpret_cast<HINSTANCE>(uintptr_t(0x5A5A5A5A5A5Aull));

    NMTTDISPINFOA a{};
    a.hdr.hwndFrom = host.m_hWnd;
    a.hdr.idFrom = 3002;
    a.hdr.code = TTN_NEEDTEXTA;
    a.hinst = canary;
    list.SendMessage(WM_NOTIFY, 3002, reinterpret_cast<LPARAM>(&a));
    EXPECT_EQ(a.hinst, canary);
    ASSERT_EQ(a.lpszText, a.szText);
    // 79 bytes at most, cut between characters: 39 whole 'é'.
    EXPECT_EQ(std::strlen(a.szText), size_t(78));
    EXPECT_EQ(std::string(a.szText), accents.substr(0, 78));

    NMTTDISPINFOW w{};
    w.hdr.hwndFrom = host.m_hWnd;
    w.hdr.idFrom = 3002;
    w.hdr.code = TTN_NEEDTEXTW;
    w.hinst = canary;
    list.SendMessage(WM_NOTIFY, 3002, reinterpret_cast<LPARAM>(&w));
    EXPECT_EQ(w.hinst, canary);
    ASSERT_EQ(w.lpszText, w.szText);
    size_t n = 0;
    while (n < 80 && w.szText[n]) ++n;
    EXPECT_EQ(n, size_t(CCellListCtrl::kMaxToolTipChars));
    EXPECT_EQ(w.szText[0], WCHAR(0xE9));
    // Id 0 is not answered.
    NMTTDISPINFOA zero{};
    zero.hdr.hwndFrom = host.m_hWnd;
    zero.hdr.code = TTN_NEEDTEXTA;
    list.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&zero));
    EXPECT_EQ(zero.szText[0], 0);
}

class CellListLongTest : public CellListTest {
protected:
    void SetUp() override {
        CellListTest::SetUp();
        for (int i = 0; i < 100; ++i) {
            CString name;
            name.Format("clip%03d.avi", i);
            int row = AddRow(name);
            list.SetItemData(row, DWORD_PTR(0x100000000ull + unsigned(i)));
        }
        Pump();
    }
};

TEST_F(CellListLongTest, AHundredRowsScrollAndKeepTheirCells) {
    EXPECT_EQ(list.GetItemCount(), 100);
    EXPECT_EQ(list.GetTopIndex(), 0);
    int per_page = list.GetCountPerPage();
    EXPECT_LT(per_page, 100);
    list.EnsureVisible(99, FALSE);
    Pump();
    EXPECT_GT(list.GetTopIndex(), 0);
    Click(99, kCheck);
    EXPECT_EQ(list.GetCheckbox(99, kCheck), 0);
    ASSERT_FALSE(host.sent.empty());
    EXPECT_EQ(host.sent.back().row, WPARAM(99));
    // The wheel brings the first rows back.
    for (int i = 0; i < 40; ++i) WinTestWheel(list.m_hWnd, 120, 100, 100);
    Pump();
    EXPECT_EQ(list.GetTopIndex(), 0);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(list.GetItemData(i), DWORD_PTR(0x100000000ull + unsigned(i)));
    // A progress cell far down is drawn where the row is once scrolled to.
    list.SetProgress(90, kStatus);
    list.UpdateProgress(90, kStatus, 50);
    list.EnsureVisible(90, FALSE);
    Pump();
    WinTestWindowPicture pic(list.m_hWnd);
    CRect c = Cell(90, kStatus);
    ASSERT_GT(c.top, 0);
    EXPECT_GT(CountIn(pic, c, GetSysColor(COLOR_HIGHLIGHT)), 20);
    EXPECT_GT(CountIn(pic, c, RGB(224, 224, 224)), 20);
    // Deleting every row frees the records; the list starts again empty.
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.GetItemData(0), DWORD_PTR(0));
}

}  // namespace
}  // namespace celltest
