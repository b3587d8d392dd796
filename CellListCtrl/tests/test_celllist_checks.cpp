// The extended list control's records and check boxes, driven by injected mouse and keys.
#include <cstdint>
#include <memory>

#include "test_celllist_support.h"

namespace celltest {
namespace {

TEST_F(CellListTest, BadIndexesAnswerWithoutEffect) {
    EXPECT_EQ(list.InsertItem(-1, "x"), -1);
    EXPECT_EQ(list.InsertItemEx(-3, "x", 0, 0), -1);
    EXPECT_EQ(list.GetItemCount(), 0);
    int row = AddRow("a.avi");
    ASSERT_EQ(row, 0);
    EXPECT_EQ(list.GetCheckbox(1, kCheck), -1);  // a row equal to the count
    EXPECT_EQ(list.GetCheckbox(0, kColumns), -1);
    EXPECT_EQ(list.GetCheckbox(0, kName), -1);  // a cell without a check box
    EXPECT_FALSE(list.SetCheckbox(0, -1, 1));
    EXPECT_FALSE(list.SetItemText(5, kName, "x"));
    EXPECT_FALSE(list.SetProgress(0, kColumns));
    EXPECT_FALSE(list.SetBold(-1, 0, TRUE));
    EXPECT_FALSE(list.GetEnabled(7));
    EXPECT_EQ(list.GetItemData(3), DWORD_PTR(0));
    EXPECT_TRUE(list.GetItemToolTipText(0, 9).IsEmpty());
    EXPECT_TRUE(list.GetComboText(2, 0).IsEmpty());
    EXPECT_EQ(list.GetHeaderCheckedState(kColumns), -1);
    EXPECT_FALSE(list.SetHeaderCheckedState(-1, 1));
    EXPECT_FALSE(list.DeleteItem(1));
    EXPECT_EQ(list.GetCurSel(), -1);
    EXPECT_EQ(list.GetColumns(), int(kColumns));
    EXPECT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(list.GetItemText(0, kName), CString("a.avi"));
}

TEST_F(CellListTest, ItemDataHoldsAWholePointerBesideTheRecords) {
    auto record = std::make_unique<int>(42);
    // An address above 4 GiB must survive, as the file list keeps its records there.
    DWORD_PTR high = DWORD_PTR(0x7FFE12345678ull);
    AddRow("a.avi");
    AddRow("b.avi");
    EXPECT_TRUE(list.SetItemData(0, reinterpret_cast<DWORD_PTR>(record.get())));
    EXPECT_TRUE(list.SetItemData(1, high));
    EXPECT_EQ(reinterpret_cast<int*>(list.GetItemData(0)), record.get());
    EXPECT_EQ(list.GetItemData(1), high);
    // The list view's own word still carries the records: cells keep working.
    EXPECT_EQ(list.GetCheckbox(1, kCheck), 1);
    // A structure insert keeps the caller's word too.
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = 2;
    char text[] = "c.avi";
    item.pszText = text;
    item.lParam = LPARAM(high + 8);
    EXPECT_EQ(list.InsertItem(&item), 2);
    EXPECT_EQ(list.GetItemData(2), high + 8);
    EXPECT_TRUE(list.SetCheckbox(2, kCheck, 0));
    // Deleting a row moves the later rows' words with them.
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(list.GetItemData(0), high);
    EXPECT_EQ(list.GetItemData(1), high + 8);
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST(CellListMessages, AreRegisteredUnderTheirNamesBeforeAnyListExists) {
    EXPECT_GE(WM_CELLLIST_CHECKBOX_CLICKED, 0xC000u);
    EXPECT_GE(WM_CELLLIST_COMBO_SELECTION, 0xC000u);
    EXPECT_NE(WM_CELLLIST_CHECKBOX_CLICKED, WM_CELLLIST_COMBO_SELECTION);
    EXPECT_EQ(WM_CELLLIST_CHECKBOX_CLICKED, ::RegisterWindowMessageA("WM_CELLLIST_CHECKBOX_CLICKED"));
    EXPECT_EQ(WM_CELLLIST_COMBO_SELECTION, ::RegisterWindowMessageA("WM_CELLLIST_COMBO_SELECTION"));
}

TEST_F(CellListTest, RowsDeletedThroughTheListViewItselfFreeTheirRecords) {
    AddRow("a.avi");
    AddRow("b.avi");
    AddRow("c.avi");
    list.SetItemData(2, 77);
    // Past this class: the records go with the row (a leak check in sanitizer builds).
    EXPECT_TRUE(static_cast<CListCtrl&>(list).DeleteItem(0));
    EXPECT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(list.GetItemData(1), DWORD_PTR(77));
    EXPECT_EQ(list.GetCheckbox(0, kCheck), 1);
    EXPECT_TRUE(static_cast<CListCtrl&>(list).DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
    AddRow("d.avi");  // and the window's end frees what is left
}

TEST(CellListSubclass, AListViewFromATemplateGetsTheCellHeaderAndCells) {
    // As a dialog's control: the list view exists first and is subclassed afterwards.
    Host host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), "host", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                              nullptr));
    HWND hwnd = ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 380, 280, host.m_hWnd,
                                  reinterpret_cast<HMENU>(1002), nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    {
        CCellListCtrl list;
        ASSERT_TRUE(list.SubclassWindow(hwnd));
        ASSERT_NE(list.HeaderCtrl().m_hWnd, nullptr);
        EXPECT_EQ(list.HeaderCtrl().m_hWnd, list.GetHeaderCtrl()->m_hWnd);
        list.InsertColumn(0, "", LVCFMT_LEFT, 40);
        list.InsertColumn(1, "Name", LVCFMT_LEFT, 200);
        int row = list.InsertItem(0, "");
        list.SetCheckbox(row, 0, 0);
        Pump();
        CRect r;
        list.GetSubItemRect(row, 1, LVIR_BOUNDS, r);
        WinTestClick(list.m_hWnd, WINTEST_LEFT, 20, r.CenterPoint().y);
        Pump();
        EXPECT_EQ(list.GetCheckbox(row, 0), 1);
        EXPECT_EQ(host.Count(WM_CELLLIST_CHECKBOX_CLICKED), 1);
        list.DestroyWindow();
    }
    host.DestroyWindow();
    Pump();
}

TEST_F(CellListTest, ColumnsCannotChangeOnceRowsExist) {
    AddRow("a.avi");
    EXPECT_EQ(list.InsertColumn(kColumns, "More", LVCFMT_LEFT, 50), -1);
    EXPECT_FALSE(list.DeleteColumn(kName));
    EXPECT_EQ(list.GetColumns(), int(kColumns));
    list.DeleteAllItems();
    EXPECT_EQ(list.InsertColumn(kColumns, "More", LVCFMT_LEFT, 50), int(kColumns));
    EXPECT_EQ(list.GetColumns(), int(kColumns) + 1);
    int row = list.InsertItem(0, "x");
    EXPECT_TRUE(list.SetItemText(row, kColumns, "last"));
    EXPECT_TRUE(list.SetBold(row, kColumns, TRUE));
}

TEST_F(CellListTest, ClickingACheckBoxTogglesItAndTellsTheParentRowAndColumn) {
    AddRow("a.avi");
    AddRow("b.avi");
    list.SetCheckbox(1, kStatus, 0);  // a second check-box column
    Click(1, kCheck);
    EXPECT_EQ(list.GetCheckbox(1, kCheck), 0);
    ASSERT_EQ(host.Count(WM_CELLLIST_CHECKBOX_CLICKED), 1);
    EXPECT_EQ(host.sent[0].row, WPARAM(1));
    EXPECT_EQ(host.sent[0].col, LPARAM(kCheck));
    Click(1, kCheck);  // quickly again: a double click toggles as well
    EXPECT_EQ(list.GetCheckbox(1, kCheck), 1);
    Click(1, kStatus);
    EXPECT_EQ(list.GetCheckbox(1, kStatus), 1);
    ASSERT_EQ(host.Count(WM_CELLLIST_CHECKBOX_CLICKED), 3);
    EXPECT_EQ(host.sent[2].row, WPARAM(1));
    EXPECT_EQ(host.sent[2].col, LPARAM(kStatus));
    // A text cell sends nothing; the first row was never touched.
    Click(0, kName);
    EXPECT_EQ(host.Count(WM_CELLLIST_CHECKBOX_CLICKED), 3);
    EXPECT_EQ(list.GetCheckbox(0, kCheck), 1);
    // The click still reaches the list view: the row is selected.
    EXPECT_EQ(list.GetCurSel(), 0);
}

TEST_F(CellListTest, TheParentReadsTheNewStateInsideTheNotification) {
    AddRow("a.avi");
    int seen = -2;
    host.on_checked = [&](int row, int col) { seen = list.GetCheckbox(row, col); };
    Click(0, kCheck);
    EXPECT_EQ(seen, 0);
}

TEST_F(CellListTest, ADisabledRowIgnoresClicksAndIsNotSelected) {
    AddRow("a.avi");
    AddRow("b.avi");
    EXPECT_TRUE(list.SetEnabled(1, FALSE));
    EXPECT_FALSE(list.GetEnabled(1));
    Click(1, kCheck);
    Click(1, kName);
    EXPECT_EQ(list.GetCheckbox(1, kCheck), 1);
    EXPECT_EQ(host.Count(WM_CELLLIST_CHECKBOX_CLICKED), 0);
    EXPECT_EQ(list.GetCurSel(), -1);
    // The space bar on it changes nothing either.
    list.SetFocus();
    list.SetItemState(1, LVIS_FOCUSED, LVIS_FOCUSED);
    WinTestKeyPress(VK_SPACE);
    Pump();
    EXPECT_EQ(list.GetCheckbox(1, kCheck), 1);
    list.SetEnabled(1, TRUE);
    Click(1, kCheck);
    EXPECT_EQ(list.GetCheckbox(1, kCheck), 0);
}

TEST_F(CellListTest, TheSpaceBarTogglesTheFocusedRowsCheckBox) {
    AddRow("a.avi");
    AddRow("b.avi");
    AddRow("c.avi");
    Click(2, kName);
    ASSERT_EQ(list.GetCurSel(), 2);
    WinTestKeyPress(VK_SPACE);
    Pump();
    EXPECT_EQ(list.GetCheckbox(2, kCheck), 0);
    ASSERT_EQ(host.Count(WM_CELLLIST_CHECKBOX_CLICKED), 1);
    EXPECT_EQ(host.sent[0].row, WPARAM(2));
    EXPECT_EQ(host.sent[0].col, LPARAM(kCheck));
    // Up moves the focus; space then works on that row.
    WinTestKeyPress(VK_UP);
    WinTestKeyPress(VK_SPACE);
    Pump();
    EXPECT_EQ(list.GetCheckbox(1, kCheck), 0);
    EXPECT_EQ(list.GetCheckbox(2, kCheck), 0);
    EXPECT_EQ(host.Count(WM_CELLLIST_CHECKBOX_CLICKED), 2);
    WinTestKeyPress(VK_SPACE);
    Pump();
    EXPECT_EQ(list.GetCheckbox(1, kCheck), 1);
}

class CellListHeaderTest : public CellListTest {
protected:
    CImageList images;
    void SetUp() override {
        CellListTest::SetUp();
        // Blank, unchecked box, checked box: 16 pixels each, told apart by colour here.
        ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24, 3, 3));
        AddSolidImages(images, {RGB(255, 255, 255), RGB(0, 0, 255), RGB(0, 160, 0)});
        list.GetHeaderCtrl()->SetImageList(&images);
        list.SetHeaderCheckedState(kCheck, 1);
        Pump();
    }
    void TearDown() override {
        CellListTest::TearDown();
        images.DeleteImageList();
    }
    COLORREF HeaderPixel(int col, int dx) {
        CRect r;
        list.GetHeaderCtrl()->GetItemRect(col, &r);
        WinTestWindowPicture pic(list.GetHeaderCtrl()->m_hWnd);
        return pic.At(r.left + dx, r.top + r.Height() / 2);
    }
};

TEST_F(CellListHeaderTest, TheHeaderIsTheCellHeaderAndShowsTheCheckImage) {
    EXPECT_EQ(list.HeaderCtrl().m_hWnd, list.GetHeaderCtrl()->m_hWnd);
    EXPECT_EQ(list.GetHeaderCheckedState(kCheck), 1);
    EXPECT_EQ(list.GetHeaderCheckedState(kName), 0);
    // Image 1 (blue) at the left edge of the first item; none in the others.
    EXPECT_EQ(HeaderPixel(kCheck, 4), RGB(0, 0, 255));
    EXPECT_NE(HeaderPixel(kName, 4), RGB(0, 0, 255));
}

TEST_F(CellListHeaderTest, TheHeaderImageFollowsTheColumnsCheckBoxes) {
    AddRow("a.avi");
    AddRow("b.avi");
    AddRow("c.avi");
    // Every row checked: the header is checked.
    EXPECT_EQ(list.GetHeaderCheckedState(kCheck), 2);
    EXPECT_EQ(list.CountCheckedItems(kCheck), 3);
    Pump();
    EXPECT_EQ(HeaderPixel(kCheck, 4), RGB(0, 160, 0));
    Click(1, kCheck);
    EXPECT_EQ(list.GetHeaderCheckedState(kCheck), 1);
    EXPECT_EQ(list.CountCheckedItems(kCheck), 2);
    EXPECT_EQ(HeaderPixel(kCheck, 4), RGB(0, 0, 255));
    // Checking the last unchecked row turns it back.
    list.SetCheckbox(1, kCheck, 1);
    EXPECT_EQ(list.GetHeaderCheckedState(kCheck), 2);
    // A column without a header image is left alone.
    list.SetCheckbox(0, kStatus, 1);
    EXPECT_EQ(list.GetHeaderCheckedState(kStatus), 0);
}

TEST_F(CellListHeaderTest, ClickingTheHeaderCheckSetsEveryRowsCheckBox) {
    AddRow("a.avi");
    AddRow("b.avi");
    list.SetCheckbox(1, kCheck, 0);
    int none = list.InsertItem(2, "no box");  // a row without a check box keeps none
    ASSERT_EQ(list.GetHeaderCheckedState(kCheck), 1);
    CRect r;
    list.GetHeaderCtrl()->GetItemRect(kCheck, &r);
    WinTestClick(list.GetHeaderCtrl()->m_hWnd, WINTEST_LEFT, r.CenterPoint().x, r.CenterPoint().y);
    Pump();
    EXPECT_EQ(list.GetHeaderCheckedState(kCheck), 2);
    EXPECT_EQ(list.GetCheckbox(0, kCheck), 1);
    EXPECT_EQ(list.GetCheckbox(1, kCheck), 1);
    EXPECT_EQ(list.GetCheckbox(none, kCheck), -1);
    Advance(1000);  // not a double click
    WinTestClick(list.GetHeaderCtrl()->m_hWnd, WINTEST_LEFT, r.CenterPoint().x, r.CenterPoint().y);
    Pump();
    EXPECT_EQ(list.GetHeaderCheckedState(kCheck), 1);
    EXPECT_EQ(list.CountCheckedItems(kCheck), 0);
    // A header without an image does nothing to the cells.
    list.SetCheckbox(0, kStatus, 1);
    list.GetHeaderCtrl()->GetItemRect(kStatus, &r);
    WinTestClick(list.GetHeaderCtrl()->m_hWnd, WINTEST_LEFT, r.CenterPoint().x, r.CenterPoint().y);
    Pump();
    EXPECT_EQ(list.GetCheckbox(0, kStatus), 1);
}

TEST_F(CellListHeaderTest, DraggingADividerMovesTheCellsWithIt) {
    AddRow("a.avi");
    AddRow("b.avi");
    CRect before = Cell(0, kStatus);
    CRect r;
    list.GetHeaderCtrl()->GetItemRect(kName, &r);
    int y = r.CenterPoint().y;
    WinTestDrag(list.GetHeaderCtrl()->m_hWnd, WINTEST_LEFT, r.right - 1, y, r.right + 59, y, 6);
    Pump();
    EXPECT_EQ(list.GetColumnWidth(kName), 260);
    CRect after = Cell(0, kStatus);
    EXPECT_EQ(after.left, before.left + 60);
    // Clicks land on the moved cells.
    list.SetCheckbox(1, kStatus, 0);
    Click(1, kStatus);
    EXPECT_EQ(list.GetCheckbox(1, kStatus), 1);
    EXPECT_EQ(host.sent.back().col, LPARAM(kStatus));
}

}  // namespace
}  // namespace celltest
