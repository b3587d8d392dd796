// Combo cells: the drop-down opens from the cell's button, follows keys, and is closed by the
// list from its timers, never inside the handler of the message the popup sent.
#include "test_celllist_support.h"

namespace celltest {
namespace {

class CellListComboTest : public CellListTest {
protected:
    CStringArray choices;
    void SetUp() override {
        CellListTest::SetUp();
        for (const char* s : {"Low", "Medium", "", "High", "Best"}) choices.Add(s);
        AddRow("a.avi");
        AddRow("b.avi");
        ASSERT_TRUE(list.SetComboBox(0, kSize, TRUE, &choices, 4, 1));
        Pump();
    }
    // Selects the row, then presses the cell's drop-down button.
    void Drop(int row = 0) {
        Click(row, kName);
        Advance(600);  // the next click is not a double click
        CRect c = Cell(row, kSize);
        WinTestClick(list.m_hWnd, WINTEST_LEFT, c.right - 6, c.CenterPoint().y);
        Pump();
        Advance(200);
    }
    bool IsOpen() const { return list.GetComboList() != nullptr; }
};

TEST_F(CellListComboTest, SettingUpACellShowsItsInitialChoice) {
    EXPECT_EQ(list.GetComboText(0, kSize), CString("Medium"));
    // A NULL array is refused; a selection out of range falls back to the first choice.
    EXPECT_FALSE(list.SetComboBox(1, kSize, TRUE, nullptr, 4, 0));
    EXPECT_TRUE(list.SetComboBox(1, kSize, TRUE, &choices, 4, 17));
    EXPECT_EQ(list.GetComboText(1, kSize), CString("Low"));
    // An empty array sets nothing and does not fail.
    CStringArray none;
    EXPECT_TRUE(list.SetComboBox(1, kDuration, TRUE, &none, 4, 0));
    EXPECT_EQ(list.GetComboText(1, kDuration), CString("00:01:00"));
}

TEST_F(CellListComboTest, TheButtonOpensTheListUnderTheCellWithTheCurrentChoice) {
    Drop();
    ASSERT_TRUE(IsOpen());
    CCellComboList* popup = list.GetComboList();
    EXPECT_TRUE(::IsWindowVisible(popup->m_hWnd));
    EXPECT_EQ(popup->GetCount(), 4);  // the empty choice is left out
    EXPECT_EQ(popup->GetCurSel(), 1);
    CRect cell = Cell(0, kSize), pr;
    list.ClientToScreen(&cell);
    popup->GetWindowRect(&pr);
    EXPECT_EQ(pr.top, cell.bottom - 1);
    EXPECT_NEAR(pr.left, cell.left + 1, 1);
    EXPECT_GT(pr.Height(), cell.Height());
    // The button is drawn pressed until the mouse lets go; then it comes back up.
    EXPECT_EQ(host.Count(WM_CELLLIST_COMBO_SELECTION), 0);
}

TEST_F(CellListComboTest, TheButtonOfAnUnselectedRowSelectsItAndOpens) {
    CRect c = Cell(0, kSize);
    WinTestClick(list.m_hWnd, WINTEST_LEFT, c.right - 6, c.CenterPoint().y);
    Pump();
    Advance(300);
    EXPECT_EQ(list.GetCurSel(), 0);
    ASSERT_TRUE(IsOpen());
    // The list keeps its choice open while the user looks at it.
    Advance(1000);
    EXPECT_TRUE(IsOpen());
    EXPECT_EQ(list.GetComboText(0, kSize), CString("Medium"));
}

TEST_F(CellListComboTest, KeysMoveTheChoiceAndEnterTakesIt) {
    Drop();
    ASSERT_TRUE(IsOpen());
    WinTestKeyPress(VK_DOWN);
    Pump();
    Advance(60);
    // The cell follows the list while it stays open.
    EXPECT_EQ(list.GetComboText(0, kSize), CString("High"));
    EXPECT_TRUE(IsOpen());
    WinTestKeyPress(VK_RETURN);
    Pump();
    Advance(60);
    EXPECT_FALSE(IsOpen());
    EXPECT_EQ(list.GetComboText(0, kSize), CString("High"));
    ASSERT_EQ(host.Count(WM_CELLLIST_COMBO_SELECTION), 1);
    EXPECT_EQ(host.sent.back().row, WPARAM(0));
    EXPECT_EQ(host.sent.back().col, LPARAM(kSize));
}

TEST_F(CellListComboTest, EscapeRestoresTheTextFromWhenTheListOpened) {
    Drop();
    ASSERT_TRUE(IsOpen());
    WinTestKeyPress(VK_DOWN);
    WinTestKeyPress(VK_DOWN);
    Pump();
    Advance(60);
    EXPECT_EQ(list.GetComboText(0, kSize), CString("Best"));
    WinTestKeyPress(VK_ESCAPE);
    Pump();
    EXPECT_EQ(list.GetComboText(0, kSize), CString("Medium"));
    Advance(60);
    EXPECT_FALSE(IsOpen());
    EXPECT_EQ(host.Count(WM_CELLLIST_COMBO_SELECTION), 0);
}

TEST_F(CellListComboTest, AClickInTheListChoosesAndCloses) {
    Drop();
    ASSERT_TRUE(IsOpen());
    CListBox& box = list.GetComboList()->ListBox();
    CRect item;
    box.GetItemRect(0, &item);
    WinTestMouseMove(box.m_hWnd, item.CenterPoint().x, item.CenterPoint().y);
    Advance(100);  // hot tracking selects the item under the mouse
    WinTestClick(box.m_hWnd, WINTEST_LEFT, item.CenterPoint().x, item.CenterPoint().y);
    Pump();
    Advance(100);
    EXPECT_FALSE(IsOpen());
    EXPECT_EQ(list.GetComboText(0, kSize), CString("Low"));
    EXPECT_EQ(host.Count(WM_CELLLIST_COMBO_SELECTION), 1);
}

TEST_F(CellListComboTest, ThePopupIsClosedFromTheTimerNotInsideItsMessage) {
    Drop();
    ASSERT_TRUE(IsOpen());
    list.SendMessage(WM_CELLCOMBO_VK_RETURN, 0, 0);
    EXPECT_TRUE(IsOpen());
    Advance(60);
    EXPECT_FALSE(IsOpen());
    Drop();
    ASSERT_TRUE(IsOpen());
    list.SendMessage(WM_CELLCOMBO_VK_ESCAPE, 0, 0);
    EXPECT_TRUE(IsOpen());
    Advance(60);
    EXPECT_FALSE(IsOpen());
}

TEST_F(CellListComboTest, ClickingAnotherCellClosesTheListAsEscapeDoes) {
    Drop();
    ASSERT_TRUE(IsOpen());
    Click(1, kName);
    EXPECT_EQ(list.GetComboText(0, kSize), CString("Medium"));
    Advance(60);
    EXPECT_FALSE(IsOpen());
    // Outside every row as well.
    Drop();
    ASSERT_TRUE(IsOpen());
    WinTestClick(list.m_hWnd, WINTEST_LEFT, 100, 300);
    Pump();
    Advance(60);
    EXPECT_FALSE(IsOpen());
}

TEST_F(CellListComboTest, AnUnselectedRowShowsTheComboAsText) {
    Pump();
    WinTestWindowPicture pic(list.m_hWnd);
    CRect c = Cell(0, kSize);
    // Not selected: no button face beyond the grid lines, no frame.
    int grid = CountIn(pic, c, GetSysColor(COLOR_BTNFACE));
    EXPECT_LT(CountIn(pic, c, GetSysColor(COLOR_BTNSHADOW)), 8);  // smoothed text at most
    Click(0, kName);
    WinTestWindowPicture sel(list.m_hWnd);
    EXPECT_GT(CountIn(sel, c, GetSysColor(COLOR_BTNFACE)), grid + 20);
    EXPECT_GT(CountIn(sel, c, GetSysColor(COLOR_BTNSHADOW)), 20);
    EXPECT_GT(CountIn(sel, c, RGB(255, 255, 255)), 50);
}

TEST_F(CellListComboTest, DeletingRowsCloseAnOpenList) {
    Drop();
    ASSERT_TRUE(IsOpen());
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_FALSE(IsOpen());
    Advance(200);
    EXPECT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(host.Count(WM_CELLLIST_COMBO_SELECTION), 0);
}

class CellListNoFullRowTest : public CellListTest {
protected:
    DWORD ExStyle() const override { return LVS_EX_GRIDLINES; }
};

TEST_F(CellListNoFullRowTest, WithoutFullRowSelectionAComboCellStaysText) {
    CStringArray choices;
    choices.Add("One");
    AddRow("a.avi");
    list.SetComboBox(0, kSize, TRUE, &choices, 4, 0);
    list.SetCurSel(0);
    CRect c = Cell(0, kSize);
    WinTestClick(list.m_hWnd, WINTEST_LEFT, c.right - 6, c.CenterPoint().y);
    Pump();
    EXPECT_EQ(list.GetComboList(), nullptr);
    EXPECT_EQ(list.GetComboText(0, kSize), CString("One"));
}

}  // namespace
}  // namespace celltest
