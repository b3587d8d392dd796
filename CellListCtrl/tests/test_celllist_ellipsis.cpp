// A cell whose text is wider than the cell ends in an ellipsis; a text that fits is drawn
// whole. Checked on the ink of the painted cell against the font's own measures.
#include <algorithm>
#include <climits>
#include <cstring>

#include "test_celllist_support.h"

namespace celltest {
namespace {

// The columns and rows of a cell that hold ink (dark pixels on the window colour).
struct Ink {
    int left = INT_MAX, right = -1;
    // The ink's rows within the columns [from, to].
    int Height(const WinTestWindowPicture& pic, const CRect& cell, int from, int to) const {
        int top = INT_MAX, bottom = -1;
        for (int x = from; x <= to; ++x)
            for (int y = cell.top + 1; y < cell.bottom - 1; ++y)
                if (Dark(pic.At(x, y))) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        return bottom < 0 ? 0 : bottom - top + 1;
    }
    static bool Dark(COLORREF c) { return c != CLR_INVALID && GetRValue(c) + GetGValue(c) + GetBValue(c) < 384; }
};

Ink FindInk(const WinTestWindowPicture& pic, const CRect& cell) {
    Ink ink;
    // The grid lines lie on the cell's edges: only its inside is read.
    for (int x = cell.left + 1; x < cell.right - 1; ++x)
        for (int y = cell.top + 1; y < cell.bottom - 1; ++y)
            if (Ink::Dark(pic.At(x, y))) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
            }
    return ink;
}

class CellListEllipsisTest : public CellListTest {
protected:
    // Width and height of a text in the list's font.
    CSize Measure(const char* text) {
        // The list draws in its own font, or the GUI font when it was given none.
        HFONT font = reinterpret_cast<HFONT>(list.SendMessage(WM_GETFONT));
        if (!font) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
        CClientDC dc(&list);
        HGDIOBJ old = ::SelectObject(dc.GetSafeHdc(), font);
        CSize size = dc.GetTextExtent(text, int(std::strlen(text)));
        ::SelectObject(dc.GetSafeHdc(), old);
        return size;
    }
};

TEST_F(CellListEllipsisTest, ALongNameEndsInDotsInsideItsCellAndAShortOneIsWhole) {
    const char* kLong = "mmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmm.avi";
    const char* kShort = "clip.avi";
    AddRow(kLong);
    AddRow(kShort);
    Pump();
    CRect cell = Cell(0, kName);
    ASSERT_GT(Measure(kLong).cx, cell.Width() * 2) << "the name must not fit";
    WinTestWindowPicture pic(list.m_hWnd);

    Ink ink = FindInk(pic, cell);
    ASSERT_GE(ink.right, 0);
    EXPECT_LT(ink.right, cell.right - 1);
    // The last glyphs are dots: low on the line, a few pixels high, where a cut "m" would
    // stand as tall as the letter.
    CSize dots = Measure("...");
    CSize m = Measure("m");
    ASSERT_GT(dots.cx, 3);
    int dotsHeight = ink.Height(pic, cell, ink.right - dots.cx / 2, ink.right);
    int letterHeight = ink.Height(pic, cell, ink.left, ink.left + m.cx - 1);
    EXPECT_GT(letterHeight, 4);
    EXPECT_LE(dotsHeight, letterHeight / 2) << "the name is cut without an ellipsis";
    // The letters go on up to the dots: the text is shortened, not the cell left empty.
    EXPECT_GT(ink.Height(pic, cell, ink.right - dots.cx - m.cx, ink.right - dots.cx - 1), dotsHeight);

    // A name that fits is drawn whole: its ink is as wide as the text, with no dots added.
    CRect shortCell = Cell(1, kName);
    Ink whole = FindInk(pic, shortCell);
    ASSERT_GE(whole.right, 0);
    EXPECT_NEAR(whole.right - shortCell.left + 1, Measure(kShort).cx, 2);
}

TEST_F(CellListEllipsisTest, ANarrowedColumnShortensANameThatFittedBefore) {
    AddRow("short.avi");
    Pump();
    list.SetColumnWidth(kName, Measure("short").cx);
    Pump();
    WinTestWindowPicture narrow(list.m_hWnd);
    CRect cell = Cell(0, kName);
    Ink cut = FindInk(narrow, cell);
    ASSERT_GE(cut.right, 0);
    CSize dots = Measure("...");
    int dotsHeight = cut.Height(narrow, cell, cut.right - dots.cx / 2, cut.right);
    int letterHeight = cut.Height(narrow, cell, cut.left, cut.left + Measure("s").cx - 1);
    EXPECT_LE(dotsHeight, letterHeight / 2);
}

}  // namespace
}  // namespace celltest
