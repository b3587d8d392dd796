// What the extended list control paints: progress bars set from another thread, check boxes,
// cell colours and bold cells, checked at chosen pixels of window pictures.
#include <atomic>
#include <thread>

#include "test_celllist_support.h"

namespace celltest {
namespace {

const COLORREF kTrough = RGB(224, 224, 224);

// Dark pixels: text in the window-text colour, whatever its smoothing.
int CountDark(const WinTestWindowPicture& pic, const CRect& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            COLORREF c = pic.At(x, y);
            n += c != CLR_INVALID && GetRValue(c) + GetGValue(c) + GetBValue(c) < 300;
        }
    return n;
}

TEST(CellListProgressText, OneIntegerConversionReceivesThePercent) {
    EXPECT_EQ(CCellListCtrl::FormatProgressText(nullptr, 50), CString("50%"));
    EXPECT_EQ(CCellListCtrl::FormatProgressText("", 7), CString("7%"));
    EXPECT_EQ(CCellListCtrl::FormatProgressText("%d of 100", 42), CString("42 of 100"));
    EXPECT_EQ(CCellListCtrl::FormatProgressText("[%3d%%]", 5), CString("[  5%]"));
    EXPECT_EQ(CCellListCtrl::FormatProgressText("%03i", 5), CString("005"));
    EXPECT_EQ(CCellListCtrl::FormatProgressText("%-3d|", 5), CString("5  |"));
    EXPECT_EQ(CCellListCtrl::FormatProgressText("%ld", -12), CString("-12"));
    // Only one conversion is filled; texts and pointers are never read from the arguments.
    EXPECT_EQ(CCellListCtrl::FormatProgressText("%d %d", 3), CString("3 %d"));
    EXPECT_EQ(CCellListCtrl::FormatProgressText("%s %n %d", 9), CString("%s %n 9"));
    EXPECT_EQ(CCellListCtrl::FormatProgressText("100%", 9), CString("100%"));
    EXPECT_EQ(CCellListCtrl::FormatProgressText("%99999999999d", 1), CString("1"));
}

class CellListPaintTest : public CellListTest {
protected:
    // The progress cell's parts as the control lays them out.
    struct Bar {
        int left, right, top, bottom;  // frame lines (inclusive)
        int barLeft, barTop;
    };
    Bar Parts(int row, int col) {
        CRect c = Cell(row, col);
        Bar b{c.left + 1, c.right - 2, c.top, c.bottom - 1, 0, 0};
        b.barLeft = b.left + 2;
        b.barTop = b.top + 2;
        return b;
    }
    int BarPixels(const WinTestWindowPicture& pic, int row, int col) {
        Bar b = Parts(row, col);
        int n = 0;
        for (int x = b.left; x <= b.right; ++x) n += pic.At(x, b.barTop) == GetSysColor(COLOR_HIGHLIGHT);
        return n;
    }
};

TEST_F(CellListPaintTest, ProgressSetFromAnotherThreadIsDrawnAtItsPercent) {
    for (int i = 0; i < 5; ++i) AddRow("clip.avi");
    const int percents[5] = {0, 25, 50, 100, -5};
    std::atomic<bool> done{false};
    void* seen = nullptr;
    list.SetItemData(2, DWORD_PTR(&done));
    // The worker works the list as the conversion does: progress, texts, check boxes, data.
    std::thread worker([&] {
        for (int i = 0; i < 5; ++i) {
            list.SetProgress(i, kStatus, TRUE, nullptr);
            for (int p = 0; p <= percents[i] || (percents[i] < 0 && p == 0); p += 5)
                list.UpdateProgress(i, kStatus, percents[i] < 0 ? percents[i] : p);
            list.UpdateProgress(i, kStatus, percents[i]);
        }
        list.SetItemText(4, kName, "worker.avi");
        list.SetCheckbox(4, kCheck, 0);
        seen = reinterpret_cast<void*>(list.GetItemData(2));
        done = true;
    });
    while (!done) {
        Pump();
        std::this_thread::yield();
    }
    worker.join();
    Pump();
    EXPECT_EQ(seen, &done);
    EXPECT_EQ(list.GetItemText(4, kName), CString("worker.avi"));
    EXPECT_EQ(list.GetCheckbox(4, kCheck), 0);

    WinTestWindowPicture pic(list.m_hWnd);
    Bar b = Parts(2, kStatus);
    int inside = b.right - b.barLeft;  // the bar's full width
    // 0 % and below: frame and trough only.
    EXPECT_EQ(BarPixels(pic, 0, kStatus), 0);
    EXPECT_EQ(BarPixels(pic, 4, kStatus), 0);
    Bar z = Parts(0, kStatus);
    EXPECT_EQ(pic.At(z.barLeft + 5, z.barTop + 2), kTrough);
    EXPECT_EQ(pic.At(z.left, z.top + 3), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(pic.At(z.right, z.top + 3), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(pic.At(z.left + 1, z.top + 3), RGB(0, 0, 0));
    int no_text = CountOther(pic, CRect(z.barLeft, z.barTop, z.right, z.bottom), kTrough, kTrough);
    EXPECT_EQ(no_text, 0);
    // 25, 50, 100: the bar covers that share of the inside width (whole pixels).
    EXPECT_EQ(BarPixels(pic, 1, kStatus), inside * 25 / 100);
    EXPECT_EQ(BarPixels(pic, 2, kStatus), inside * 50 / 100);
    EXPECT_EQ(BarPixels(pic, 3, kStatus), inside);
    EXPECT_EQ(pic.At(b.barLeft + inside / 2 + 2, b.barTop), kTrough);
    // The percentage text is drawn over the bar, in both colours where it straddles its end.
    CRect text(b.barLeft, b.barTop, b.right, b.bottom);
    EXPECT_GT(CountOther(pic, text, GetSysColor(COLOR_HIGHLIGHT), kTrough), 5);
    Bar f = Parts(3, kStatus);
    COLORREF hl = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_GT(CountOther(pic, CRect(f.barLeft, f.barTop, f.right, f.bottom), hl, hl), 5);
}

TEST_F(CellListPaintTest, AboveOneHundredTheBarStaysInsideItsCell) {
    AddRow("a.avi");
    AddRow("b.avi");
    list.SetProgress(0, kDuration, FALSE);
    list.UpdateProgress(0, kDuration, 100);
    list.SetProgress(1, kDuration, FALSE);
    list.UpdateProgress(1, kDuration, 100000);
    Pump();
    WinTestWindowPicture pic(list.m_hWnd);
    EXPECT_EQ(BarPixels(pic, 1, kDuration), BarPixels(pic, 0, kDuration));
    CRect next = Cell(1, kSize);
    EXPECT_EQ(CountIn(pic, next, GetSysColor(COLOR_HIGHLIGHT)), 0);
    // Without the text flag no percentage is drawn.
    Bar b = Parts(0, kDuration);
    EXPECT_EQ(CountOther(pic, CRect(b.barLeft, b.barTop, b.right, b.bottom), GetSysColor(COLOR_HIGHLIGHT), kTrough),
              0);
    // Removing the bar brings the text back.
    list.DeleteProgress(1, kDuration);
    list.SetItemText(1, kDuration, "00:02:00");
    Pump();
    WinTestWindowPicture after(list.m_hWnd);
    // A bar fills whole rows of trough; an edge pixel of the text may happen to be its grey.
    EXPECT_LT(CountIn(after, Cell(1, kDuration), kTrough), 4);
    COLORREF window = GetSysColor(COLOR_WINDOW);
    EXPECT_GT(CountOther(after, Cell(1, kDuration), window, window), 5);
}

TEST_F(CellListPaintTest, CheckBoxesShowATickWhenChecked) {
    AddRow("a.avi");
    AddRow("b.avi");
    list.SetCheckbox(1, kCheck, 0);
    Pump();
    WinTestWindowPicture pic(list.m_hWnd);
    CRect on = Cell(0, kCheck), off = Cell(1, kCheck);
    int size = on.Height() - 1;
    // Without text the box is centred; its inside is the window colour.
    int left = on.left + on.Width() / 2 - size / 2 - 1 + 1;
    CRect box_on(left + 2, on.top + 2, left + size - 2, on.top + size - 2);
    CRect box_off(left + 2, off.top + 2, left + size - 2, off.top + size - 2);
    EXPECT_GT(CountIn(pic, box_on, RGB(0, 0, 0)), 15);
    EXPECT_EQ(CountIn(pic, box_off, RGB(0, 0, 0)), 0);
    EXPECT_GT(CountIn(pic, box_off, GetSysColor(COLOR_WINDOW)), 20);
    // The tick's first stroke: box left + 9, three pixels down from box top + 3.
    EXPECT_EQ(pic.At(left + 9, on.top + 3), RGB(0, 0, 0));
    EXPECT_EQ(pic.At(left + 9, on.top + 5), RGB(0, 0, 0));
    // A disabled row's tick is grey.
    list.SetEnabled(0, FALSE);
    Pump();
    WinTestWindowPicture grey(list.m_hWnd);
    EXPECT_EQ(grey.At(left + 9, on.top + 3), GetSysColor(COLOR_GRAYTEXT));
    EXPECT_EQ(CountIn(grey, box_on, RGB(0, 0, 0)), 0);
}

TEST_F(CellListPaintTest, CellColoursBoldCellsAndDisabledRows) {
    AddRow("plain");
    AddRow("plain");
    int coloured = list.InsertItemEx(2, "", RGB(255, 255, 0), RGB(128, 0, 0));
    list.SetItemText(coloured, kName, "plain");
    EXPECT_TRUE(list.SetItemTextEx(0, kSize, "red", RGB(255, 0, 0), RGB(0, 0, 128)));
    EXPECT_TRUE(list.SetItemTextEx(0, kDuration, nullptr, COLORREF(-1), RGB(0, 128, 0)));
    EXPECT_TRUE(list.SetBold(1, kName, TRUE));
    EXPECT_TRUE(list.GetBold(1, kName));
    EXPECT_FALSE(list.GetBold(0, kName));
    Pump();
    WinTestWindowPicture pic(list.m_hWnd);
    CRect size = Cell(0, kSize);
    EXPECT_GT(CountIn(pic, size, RGB(0, 0, 128)), size.Width() * size.Height() / 2);
    EXPECT_GT(CountNearIn(pic, size, RGB(255, 0, 0), 80), 5);  // red on navy: a wider margin
    // A NULL text keeps the text and still takes the colours; -1 is the window-text colour.
    EXPECT_EQ(list.GetItemText(0, kDuration), CString("00:01:00"));
    EXPECT_GT(CountIn(pic, Cell(0, kDuration), RGB(0, 128, 0)), 50);
    EXPECT_GT(CountOther(pic, Cell(0, kDuration), RGB(0, 128, 0), RGB(0, 128, 0)), 5);
    // InsertItemEx colours the first cell only.
    EXPECT_GT(CountIn(pic, Cell(coloured, kCheck), RGB(128, 0, 0)), 20);
    EXPECT_EQ(CountNearIn(pic, Cell(coloured, kName), RGB(128, 0, 0)), 0);
    // Bold text covers more pixels than the same text in the plain weight.
    int plain = CountDark(pic, Cell(0, kName));
    int bold = CountDark(pic, Cell(1, kName));
    EXPECT_GT(plain, 5);
    EXPECT_GT(bold, plain + plain / 5);
    // A disabled row is drawn in the grey-text colour throughout.
    list.SetEnabled(0, FALSE);
    Pump();
    WinTestWindowPicture grey(list.m_hWnd);
    EXPECT_EQ(CountNearIn(grey, Cell(0, kName), GetSysColor(COLOR_WINDOWTEXT)), 0);
    EXPECT_GT(CountNearIn(grey, Cell(0, kName), GetSysColor(COLOR_GRAYTEXT)), 5);
    EXPECT_GT(CountNearIn(grey, Cell(0, kSize), GetSysColor(COLOR_GRAYTEXT)), 5);
}

TEST_F(CellListPaintTest, SelectedRowsTakeTheHighlightOnlyWhileFocused) {
    AddRow("a.avi");
    AddRow("b.avi");
    list.SetFocus();
    EXPECT_TRUE(list.SetCurSel(1));
    EXPECT_EQ(list.GetCurSel(), 1);
    Pump();
    WinTestWindowPicture pic(list.m_hWnd);
    EXPECT_GT(CountIn(pic, Cell(1, kName), GetSysColor(COLOR_HIGHLIGHT)), 50);
    EXPECT_GT(CountNearIn(pic, Cell(1, kName), GetSysColor(COLOR_HIGHLIGHTTEXT)), 5);
    EXPECT_EQ(CountIn(pic, Cell(0, kName), GetSysColor(COLOR_HIGHLIGHT)), 0);
    // Without the focus, LVS_SHOWSELALWAYS shows window text on button face.
    host.SetFocus();
    Pump();
    WinTestWindowPicture unfocused(list.m_hWnd);
    EXPECT_EQ(CountIn(unfocused, Cell(1, kName), GetSysColor(COLOR_HIGHLIGHT)), 0);
    EXPECT_GT(CountIn(unfocused, Cell(1, kName), GetSysColor(COLOR_BTNFACE)), 50);
}

TEST_F(CellListPaintTest, CellImagesComeFromTheSmallImageList) {
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24, 2, 2));
    AddSolidImages(images, {RGB(0, 200, 0), RGB(200, 0, 200)});
    list.SetImageList(&images, LVSIL_SMALL);
    AddRow("a.avi");
    EXPECT_TRUE(list.SetItemImage(0, kName, 1));
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = 0;
    item.iSubItem = kSize;
    item.iImage = 0;
    EXPECT_TRUE(list.SetItem(&item));
    Pump();
    WinTestWindowPicture pic(list.m_hWnd);
    CRect name = Cell(0, kName);
    // After the header's gap of 6 pixels, then the text after the image.
    EXPECT_EQ(pic.At(name.left + 6 + 1, name.CenterPoint().y), RGB(200, 0, 200));
    EXPECT_NE(pic.At(name.left + 4, name.CenterPoint().y), RGB(200, 0, 200));
    EXPECT_GT(CountIn(pic, Cell(0, kSize), RGB(0, 200, 0)), 100);
    EXPECT_EQ(CountIn(pic, Cell(0, kDuration), RGB(0, 200, 0)), 0);
    list.SetImageList(nullptr, LVSIL_SMALL);
}

TEST_F(CellListPaintTest, APictureOfTheMainStates) {
    CImageList header;
    ASSERT_TRUE(header.Create(16, 16, ILC_COLOR24, 3, 3));
    for (int k = 0; k < 3; ++k) {
        CClientDC screen(nullptr);
        CBitmap bmp;
        bmp.CreateCompatibleBitmap(&screen, 16, 16);
        CDC mem;
        mem.CreateCompatibleDC(&screen);
        CBitmap* old = mem.SelectObject(&bmp);
        mem.FillSolidRect(0, 0, 16, 16, GetSysColor(COLOR_BTNFACE));
        if (k > 0) {
            mem.FillSolidRect(1, 1, 13, 13, RGB(255, 255, 255));
            mem.DrawEdge(CRect(1, 1, 14, 14), EDGE_SUNKEN, BF_RECT);
        }
        if (k == 2) mem.FillSolidRect(5, 5, 5, 5, RGB(0, 0, 0));
        mem.SelectObject(old);
        header.Add(&bmp, RGB(255, 0, 255));
    }
    list.GetHeaderCtrl()->SetImageList(&header);
    list.SetHeaderCheckedState(kCheck, 1);
    const char* names[] = {"holiday.avi", "concert & friends.mkv", "lecture.mp4", "trailer.mov", "birthday.wmv",
                           "disabled.avi"};
    for (const char* n : names) AddRow(n);
    list.SetCheckbox(1, kCheck, 0);
    const int percents[] = {0, 33, 50, 100};
    for (int i = 0; i < 4; ++i) {
        list.SetProgress(i, kStatus);
        list.UpdateProgress(i, kStatus, percents[i]);
    }
    list.SetItemTextEx(4, kStatus, "Completed", RGB(255, 255, 255), RGB(0, 128, 0));
    list.SetBold(4, kName, TRUE);
    list.SetItemTextEx(1, kSize, nullptr, RGB(200, 0, 0), RGB(255, 255, 200));
    list.SetEnabled(5, FALSE);
    list.SetFocus();
    list.SetCurSel(2);
    Pump();
    ASSERT_TRUE(WinTestCaptureWindowPng(host.m_hWnd, "celllist_states.png"));
    WinTestWindowPicture pic(host.m_hWnd);
    CRect r;
    list.GetWindowRect(&r);
    host.ScreenToClient(&r);
    auto at = [&](int row, int col, int dx, int dy) {
        CRect c = Cell(row, col);
        return pic.At(r.left + c.left + dx, r.top + c.top + dy);
    };
    EXPECT_EQ(at(4, kStatus, 3, 2), RGB(0, 128, 0));
    EXPECT_EQ(at(1, kSize, 3, 2), RGB(255, 255, 200));
    EXPECT_EQ(at(3, kStatus, 4, 3), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(at(0, kStatus, 6, 4), kTrough);
    EXPECT_EQ(at(2, kName, 3, 2), GetSysColor(COLOR_HIGHLIGHT));
    list.GetHeaderCtrl()->SetImageList(nullptr);
}

}  // namespace
}  // namespace celltest
