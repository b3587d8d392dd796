// Sizes the renderer measures, worked out from the platform's own text extents, and what its
// painting puts where.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "MarkupRenderer.h"
#include "RasterImage.h"
#include "markup_test_support.h"

using markuptest::Canvas;
using markuptest::CountIn;
using markuptest::Extent;
using markuptest::FontHeight;
using markuptest::FontSpec;
using markuptest::HandleText;
using markuptest::SolidBitmap;

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const FontSpec kBold{13, 800};
// Every inline piece, a cell's content too, is drawn inside "body", so cells show the body
// rule's font unless their own markup changes it.
const FontSpec kTable{13};

class MarkupLayout : public ::testing::Test {
protected:
    SIZE Measure(const std::string& text) { return r.MeasureMarkup(canvas.Dc(), text.c_str()); }
    // Measures, then paints into a box of the measured size at the origin.
    SIZE Paint(const std::string& text)
    {
        canvas.Fill(kWhite);
        const SIZE s = Measure(text);
        r.PaintMarkup(canvas.Dc(), text.c_str(), RECT{0, 0, s.cx, s.cy});
        return s;
    }
    int W(const std::string& t, FontSpec f = {}) { return Extent(t, f).cx; }
    Canvas canvas{400, 300, kWhite};
    CSkinMarkupRenderer r;
    const int H = FontHeight();
};

TEST_F(MarkupLayout, InlineTextBoldAndNestedTags)
{
    EXPECT_EQ(W("abc") + 2, Measure("abc").cx);
    EXPECT_EQ(H + 2, Measure("abc").cy);
    EXPECT_NE(W("abc"), W("abc", FontSpec{12}));  // the body rule's 10 pt is really used
    EXPECT_EQ(W("a", kBold) + W("b") + 2, Measure("<b>a</b>b").cx);
    // Doubling stops at 900: a second "b" is 900, not 1600.
    EXPECT_EQ(W("x", FontSpec{13, 900}) + 2, Measure("<b><b>x").cx);
    // A closing tag that is not on top changes nothing: "y" is still bold.
    EXPECT_EQ(W("x", kBold) + W("y", kBold) + W("z") + 2, Measure("<b>x</i>y</b>z").cx);
    EXPECT_EQ(W("ab", FontSpec{13, 400, true}) + 2, Measure("<i>ab</i>").cx);
    EXPECT_EQ(W("<x") + 2, Measure("<<x").cx);  // a literal less-than sign
    const std::string line(300, 'm');
    EXPECT_EQ(W(line) + 2, Measure(line).cx);  // never wrapped
}

TEST_F(MarkupLayout, LineBreaksTabsAndRules)
{
    EXPECT_EQ(4 * H + 2, Measure("a<br=3>b").cy);
    EXPECT_EQ(std::max(W("a"), W("bb")) + 2, Measure("a<br=3>bb").cx);
    EXPECT_EQ(2 * H + 2, Measure("a\nb").cy);
    EXPECT_EQ(2 * H + 2, Measure("a\r\nb").cy);
    EXPECT_EQ(32 + W("x") + 2, Measure("<t>x").cx);
    EXPECT_EQ(64 + W("x") + 2, Measure("<hr width=40><t>x").cx);  // from 40 to the stop at 64
    EXPECT_EQ(64 + W("x") + 2, Measure("<t=2>x").cx);
    EXPECT_EQ(32 + W("x") + 2, Measure("\tx").cx);
    const int t = W("T");
    EXPECT_EQ(t + t / 2 + 2, Measure("T<hr width=50%>").cx);
    EXPECT_EQ(1 + 8 + 2, Measure("<hr>").cy);  // a rule alone makes its line 8 more than its size
    r.SetHonourLineBreaks(false);
    EXPECT_EQ(H + 2, Measure("a\nb\tc").cy);
    EXPECT_EQ(W("abc") + 2, Measure("a\nb\tc").cx);
}

TEST_F(MarkupLayout, HeadingsTransformsSpansAndTheStyleSheet)
{
    const FontSpec h1{18, 700};  // 14 pt
    EXPECT_EQ(FontHeight(h1) + 2, Measure("<h1>x</h1>").cy);
    EXPECT_EQ(W("x", h1) + 2, Measure("<h1>x</h1>").cx);
    r.SetStyleSheet(".up {text-transform:uppercase} .cap {text-transform:capitalize} BODY {font-size:20px}");
    EXPECT_EQ(W("AB", FontSpec{20}) + 2, Measure("<span class=up>ab</span>").cx);
    EXPECT_EQ(W("Ab Cd", FontSpec{20}) + 2, Measure("<span class=cap>aB cD</span>").cx);
    EXPECT_EQ(W("ab", FontSpec{20}) + 2, Measure("ab").cx);  // the body rule, also without tags
    r.SetStyleSheet(nullptr);
    EXPECT_EQ(W("ab") + 2, Measure("ab").cx);
}

TEST_F(MarkupLayout, TablesWithPaddingBordersAndPercentages)
{
    const int et = W("x", kTable), ht = FontHeight(kTable);
    const SIZE plain = Measure("<table><tr><td>x</td></tr></table>");
    EXPECT_EQ(et + 4 + 2, plain.cx);
    EXPECT_EQ(ht + 4 + 2, plain.cy);
    EXPECT_EQ(2 * (et + 4) + 2, Measure("<table width=50%><tr><td>x</td></tr></table>").cx);
    EXPECT_EQ(et + 4 + 2, Measure("<table width=0%><tr><td>x</td></tr></table>").cx);  // no division by zero
    EXPECT_EQ(et + 10, Measure("<table border=1><tr><td>x</td></tr></table>").cx);
    EXPECT_EQ(ht + 10, Measure("<table border=1><tr><td>x</td></tr></table>").cy);
    EXPECT_EQ(et + 18, Measure("<table border=1 borderstyle=double><tr><td>x</td></tr></table>").cx);
    EXPECT_EQ(et + 4 + 2 + 6, Measure("<table cellspacing=3><tr><td>x</td></tr></table>").cx);
    EXPECT_EQ(2, Measure("<table></table>").cx);
    EXPECT_EQ(2, Measure("<table></table>").cy);
    EXPECT_EQ(2, Measure("<table><tr></tr></table>").cx);
    // Text before a table and the table below it.
    const SIZE both = Measure("abc<table><tr><td>x</td><td>y</td></tr></table>");
    EXPECT_EQ(std::max(W("abc"), et + 4 + W("y", kTable) + 4) + 2, both.cx);
    EXPECT_EQ(H + ht + 4 + 2, both.cy);
}

TEST_F(MarkupLayout, ASpanningCellSplitsWhatItLacksEvenlyWithTheRemainderLast)
{
    // Columns need 14 each; the spanning cell needs 33: 5 more, 2 and 3.
    const std::string t = "<table><tr><td colspan=2><hr width=29></td></tr>"
                          "<tr><td bgcolor=red><hr width=10></td><td bgcolor=blue><hr width=10></td></tr></table>";
    const SIZE s = Measure(t);
    EXPECT_EQ(33 + 2, s.cx);
    canvas.Fill(kWhite);
    r.DrawMarkup(canvas.Dc(), t.c_str(), RECT{0, 0, 33, 200}, false);
    const int y = s.cy - 3;  // inside the second row
    EXPECT_EQ(RGB(255, 0, 0), canvas.At(15, y));
    EXPECT_EQ(RGB(0, 0, 255), canvas.At(16, y));
    EXPECT_EQ(RGB(0, 0, 255), canvas.At(32, y));
    EXPECT_EQ(kWhite, canvas.At(33, y));
}

TEST_F(MarkupLayout, AWideBoxGivesTheExtraWidthToTheColumnsFirstColumnTheRemainder)
{
    const std::string t = "<table><tr><td bgcolor=red><hr width=6></td><td bgcolor=blue><hr width=6></td></tr></table>";
    Measure(t);
    canvas.Fill(kWhite);
    r.DrawMarkup(canvas.Dc(), t.c_str(), RECT{0, 0, 41, 100}, false);  // 20 + 21 extra over 10 + 10
    EXPECT_EQ(RGB(255, 0, 0), canvas.At(20, 3));
    EXPECT_EQ(RGB(0, 0, 255), canvas.At(21, 3));
    EXPECT_EQ(RGB(0, 0, 255), canvas.At(40, 3));
}

TEST_F(MarkupLayout, ImagesTakeTheirSizeShadowAndNothingOutsideAStrip)
{
    HBITMAP bmp = SolidBitmap(40, 20, RGB(0, 128, 0));
    const std::string h = HandleText(bmp);
    const SIZE half = Measure("<bmp handle=" + h + " width=50% height=50%>");
    EXPECT_EQ(20 + 2, half.cx);
    EXPECT_EQ(10 + 2, half.cy);
    const SIZE shadow = Measure("<bmp handle=" + h + " width=50% height=50% style=s>");
    EXPECT_EQ(24 + 2, shadow.cx);
    EXPECT_EQ(14 + 2, shadow.cy);
    r.SetImageShadow(1, 0, 0, 7, 7, 50);  // no offsets: no shadow
    EXPECT_EQ(20 + 2, Measure("<bmp handle=" + h + " width=50% height=50% style=s>").cx);
    EXPECT_EQ(41 + 2, Measure("<bmp handle=" + h + " width=41>").cx);

    // A 4 x 1 strip of 10-pixel cells.
    EXPECT_EQ(2, Measure("<ilst handle=" + h + " cx=10 cy=20 index=5>").cx);
    EXPECT_EQ(10 + 2, Measure("<ilst handle=" + h + " cx=10 cy=20 index=3>").cx);
    EXPECT_EQ(H + 2, Measure("<ilst handle=" + h + " cx=0 cy=20>").cy);  // no cells, no division
    EXPECT_EQ(2, Measure("<ilst>").cx);           // no list of its own
    EXPECT_EQ(2, Measure("<bmp handle=999999>").cx);  // not a bitmap
    EXPECT_EQ(2, Measure("<bmp>").cx);

    // Painted where it was placed, at its size.
    const SIZE s = Paint("<bmp handle=" + h + " width=50% height=50%>");
    EXPECT_EQ(20 * 10, CountIn(canvas, RECT{0, 0, s.cx, s.cy}, RGB(0, 128, 0)));
    DeleteObject(bmp);

    HBITMAP color = SolidBitmap(16, 16, RGB(0, 0, 255));
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr);
    ICONINFO info{TRUE, 8, 8, mask, color};
    HICON icon = CreateIconIndirect(&info);
    EXPECT_EQ(16 + 2, Measure("<icon handle=" + HandleText(icon) + " width=64 height=64>").cx);
    DestroyIcon(icon);
    DeleteObject(color);
    DeleteObject(mask);
}

TEST_F(MarkupLayout, LinksBackgroundsAndOverlinesArePainted)
{
    SIZE s = Paint("<a href=x>link</a>");
    EXPECT_GT(CountIn(canvas, RECT{0, 0, s.cx, s.cy}, RGB(0, 0, 255)), 5);
    ASSERT_EQ(1u, r.GetLinkAreas().size());
    EXPECT_EQ(0, r.HitTestLink(2, 2));
    EXPECT_EQ(-1, r.HitTestLink(s.cx + 5, 2));
    r.PaintMarkup(canvas.Dc(), "<a href=x>link</a>", RECT{0, 0, s.cx, s.cy});
    EXPECT_EQ(1u, r.GetLinkAreas().size());  // repainting does not pile them up

    s = Paint("<font bkgnd=red>ab</font>");
    EXPECT_GT(CountIn(canvas, RECT{0, 0, s.cx, s.cy}, RGB(255, 0, 0)), (s.cx - 2) * (s.cy - 2) / 2);

    s = Paint("<font style=o color=#00ff00>ab</font>");
    EXPECT_EQ(W("ab"), CountIn(canvas, RECT{0, 0, s.cx, 1}, RGB(0, 255, 0)));
    s = Paint("<font style=bo color=#00ff00>ab</font>");
    // Bold: two pixels thick, both rows inside the line.
    EXPECT_GE(CountIn(canvas, RECT{0, 0, s.cx, 1}, RGB(0, 255, 0)), W("ab", FontSpec{13, 700}));
    EXPECT_GE(CountIn(canvas, RECT{0, 1, s.cx, 2}, RGB(0, 255, 0)), W("ab", FontSpec{13, 700}));
}

TEST_F(MarkupLayout, ARightAlignedLineWithAPercentRuleEndsAtTheBoxEdge)
{
    const std::string t = "<right>T<hr width=50% color=#ff0000></right>";
    Measure(t);
    canvas.Fill(kWhite);
    r.DrawMarkup(canvas.Dc(), t.c_str(), RECT{0, 0, 200, 100}, false);
    const int y = r.GetLines()[0].ascent / 2;
    EXPECT_EQ(RGB(255, 0, 0), canvas.At(199, y));
    EXPECT_EQ(RGB(255, 0, 0), canvas.At(100, y));
    EXPECT_EQ(kWhite, canvas.At(99, y));
}

TEST_F(MarkupLayout, APaintOfAnotherTextMeasuresItFirst)
{
    Measure("a");
    canvas.Fill(kWhite);
    const std::string other = "<table bgcolor=red><tr><td>x</td></tr></table>bbbbbbbbbb<br>cccc";
    r.PaintMarkup(canvas.Dc(), other.c_str(), RECT{0, 0, 300, 200});
    EXPECT_GT(CountIn(canvas, RECT{0, 0, 300, 200}, RGB(255, 0, 0)), 10);
    EXPECT_GT(300 * 200 - CountIn(canvas, RECT{0, FontHeight(kTable) + 4, 300, 200}, kWhite), 10);
    // A changed style sheet is a different layout too.
    Measure("<h1>x</h1>");
    r.SetStyleSheet("h1 {font-size:40px}");
    canvas.Fill(kWhite);
    r.PaintMarkup(canvas.Dc(), "<h1>x</h1>", RECT{0, 0, 300, 200});
    EXPECT_EQ(FontHeight(FontSpec{40}), r.GetLines()[0].ascent);
}

TEST_F(MarkupLayout, HostileMarkupEndsAndLeavesTheDcAsItWas)
{
    HGDIOBJ font = GetCurrentObject(canvas.Dc(), OBJ_FONT);
    SetTextColor(canvas.Dc(), RGB(1, 2, 3));
    std::string deep;
    for (int i = 0; i < 2000; ++i) deep += "<b>";
    Paint(deep + "x");
    EXPECT_EQ(0u, r.GetStyleStackDepth());
    std::string nested;
    for (int i = 0; i < 60; ++i) nested += "<table><tr><td>";
    const SIZE s = Paint(nested + "x");
    EXPECT_GE(s.cx, 2);
    Paint("<table><tr><td rowspan=99999 colspan=99999>x<td>y<tr><td>z</table>");
    Paint("<table><tr><td>a<td rowspan=2>b<tr><td>c<td>d</table>");
    Paint("<br=999999999><t=99999999><hr width=99999999%><font size=99999999>x<hr size=999999>");
    Paint("<td></td></tr></table><<<<>>>><a href=\"x><span class=\"\"><ilst index=-5>");
    EXPECT_EQ(font, GetCurrentObject(canvas.Dc(), OBJ_FONT));
    EXPECT_EQ(RGB(1, 2, 3), GetTextColor(canvas.Dc()));
}

// A window that keeps the link notices it is sent.
struct LinkNotice {
    UINT msg;
    WPARAM wParam;
    std::string text;  // of a msg-link notice
    LPARAM lParam;
};
std::vector<LinkNotice> g_notices;
const UINT kHoverMsg = WM_APP + 7, kLinkMsg = WM_APP + 8;

LRESULT CALLBACK NoticeProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == kHoverMsg) g_notices.push_back({m, w, "", l});
    if (m == kLinkMsg) g_notices.push_back({m, w, reinterpret_cast<const char*>(w), l});
    return DefWindowProcA(h, m, w, l);
}

TEST_F(MarkupLayout, LinksNotifyTheirTargetsOfHoverAndClicks)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = &NoticeProc;
    wc.lpszClassName = "MarkupLinkNotices";
    RegisterClassA(&wc);
    HWND target = CreateWindowExA(0, "MarkupLinkNotices", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(target);
    r.SetHoverTarget(target, kHoverMsg, 0x51);
    r.SetMsgLinkTarget(target, kLinkMsg, 0x52);
    g_notices.clear();

    const SIZE s = Paint("<a href=one>aa</a> <a msg=two>bb</a>");
    ASSERT_EQ(2u, r.GetLinkAreas().size());
    const RECT first = r.GetLinkAreas()[0].rc, second = r.GetLinkAreas()[1].rc;
    // The first and last pixels of the second link's area belong to it; the one past does not.
    EXPECT_EQ(1, r.HitTestLink(second.left, second.top));
    EXPECT_EQ(1, r.HitTestLink(second.right - 1, second.bottom - 1));
    EXPECT_NE(1, r.HitTestLink(second.right, second.top));

    // Entering a link, moving inside it, and leaving all links: a notice per change only.
    EXPECT_TRUE(r.OnLinkMouseMove(POINT{second.left + 1, second.top + 1}));
    EXPECT_TRUE(r.OnLinkMouseMove(POINT{second.left + 2, second.top + 1}));
    EXPECT_TRUE(r.OnLinkMouseMove(POINT{first.left, first.top}));
    EXPECT_FALSE(r.OnLinkMouseMove(POINT{s.cx + 10, 1}));
    ASSERT_EQ(3u, g_notices.size());
    EXPECT_EQ(kHoverMsg, g_notices[0].msg);
    EXPECT_EQ(WPARAM(1), g_notices[0].wParam);
    EXPECT_EQ(LPARAM(0x51), g_notices[0].lParam);
    EXPECT_EQ(WPARAM(0), g_notices[1].wParam);
    EXPECT_EQ(WPARAM(INT_PTR(-2)), g_notices[2].wParam);

    // A click on the msg link sends its target text; one on the href link or beside sends nothing.
    g_notices.clear();
    r.OnLinkClick(POINT{second.left + 1, second.top + 1});
    r.OnLinkClick(POINT{first.left + 1, first.top + 1});
    r.OnLinkClick(POINT{s.cx + 10, 1});
    ASSERT_EQ(1u, g_notices.size());
    EXPECT_EQ(kLinkMsg, g_notices[0].msg);
    EXPECT_EQ("two", g_notices[0].text);
    EXPECT_EQ(LPARAM(0x52), g_notices[0].lParam);
    DestroyWindow(target);
}


TEST_F(MarkupLayout, PaintingAnotherTextsTablesFromStaleRecordsDrawsNothingAndReadsNothingPast)
{
    // Measured: a table of two rows of one cell, then one of a row of three cells.
    Measure("<table><tr><td>a</td></tr><tr><td>b</td></tr></table>"
            "<table><tr><td>c</td><td>d</td><td>e</td></tr></table>");
    // Painted without measuring: the first table has one row, so its records do not fit. The
    // second must not be drawn from the first table's one-cell rows.
    canvas.Fill(kWhite);
    r.DrawMarkup(canvas.Dc(),
                 "<table><tr><td>a</td></tr></table>"
                 "<table><tr><td bgcolor=red>c</td><td bgcolor=red>d</td><td bgcolor=red>e</td></tr></table>",
                 RECT{0, 0, 300, 200}, false);
    EXPECT_EQ(0, CountIn(canvas, RECT{0, 0, 300, 200}, RGB(255, 0, 0)));
    // Measured as it is, the same text paints its cells.
    const std::string same = "<table><tr><td bgcolor=red>c</td><td bgcolor=red>d</td></tr></table>";
    canvas.Fill(kWhite);
    r.DrawMarkup(canvas.Dc(), ("<table></table>" + same).c_str(), RECT{0, 0, 300, 200}, false);  // refused
    EXPECT_EQ(0, CountIn(canvas, RECT{0, 0, 300, 200}, RGB(255, 0, 0)));
    Paint("<table></table>" + same);
    EXPECT_GT(CountIn(canvas, RECT{0, 0, 300, 200}, RGB(255, 0, 0)), 10);
}


// The first and last rows of colour c in column x, or -1.
std::pair<int, int> RowsOf(const Canvas& canvas, int x, COLORREF c, int height)
{
    int first = -1, last = -1;
    for (int y = 0; y < height; ++y)
        if (canvas.At(x, y) == c) {
            if (first < 0) first = y;
            last = y;
        }
    return {first, last};
}

int LastNotWhiteColumn(const Canvas& canvas, int y)
{
    int last = -1;
    for (int x = 0; x < canvas.W(); ++x)
        if (canvas.At(x, y) != kWhite) last = x;
    return last;
}

std::pair<int, int> RowsOfNotWhite(const Canvas& canvas, int x)
{
    int first = -1, last = -1;
    for (int y = 0; y < canvas.H(); ++y)
        if (canvas.At(x, y) != kWhite) {
            if (first < 0) first = y;
            last = y;
        }
    return {first, last};
}

TEST_F(MarkupLayout, CellsAndInlinePiecesAlignVertically)
{
    const COLORREF blue = RGB(0, 0, 255);
    const int ht = FontHeight(kTable);
    // A cell beside one three lines high, its one line at the top, middle and bottom.
    int tops[3];
    const char* aligns[3] = {"top", "middle", "bottom"};
    for (int i = 0; i < 3; ++i) {
        const std::string t = std::string("<table><tr><td>a<br>b<br>c</td><td valign=") + aligns[i] +
                              "><font bkgnd=#0000ff>x</font></td></tr></table>";
        const SIZE s = Paint(t);
        const int x = s.cx - 4;  // inside the second cell's piece
        const auto rows = RowsOf(canvas, x, blue, s.cy);
        ASSERT_GE(rows.first, 0) << aligns[i];
        EXPECT_EQ(ht - 1, rows.second - rows.first) << aligns[i];
        tops[i] = rows.first;
    }
    // Middle is halfway (to a pixel of rounding) between top and bottom, two lines lower.
    EXPECT_GE(tops[2] - tops[0], 2 * ht);
    EXPECT_LE(std::abs(2 * (tops[1] - tops[0]) - (tops[2] - tops[0])), 2);

    // Inline: a raised and a lowered piece beside one on the line.
    const auto topOf = [&](const std::string& piece) {
        const SIZE size = Paint("<font size=40px>X</font>" + piece);
        return RowsOf(canvas, size.cx - 3, RGB(0, 0, 255), size.cy).first;
    };
    const int plain = topOf("<font bkgnd=#0000ff>x</font>");
    const int raised = topOf("<sup><font bkgnd=#0000ff>x</font></sup>");
    const int lowered = topOf("<sub><font bkgnd=#0000ff>x</font></sub>");
    ASSERT_GE(raised, 0);
    EXPECT_LT(raised, plain);
    EXPECT_GT(lowered, raised);
}

TEST_F(MarkupLayout, TableBordersGradientsAndTiledBackgroundsInPixels)
{
    // A border one pixel wide: light along the top and left, dark along the bottom and right.
    const COLORREF light = RGB(0, 255, 0), dark = RGB(128, 0, 128);
    SIZE s = Paint("<table border=1 bordercolorlight=#00ff00 bordercolordark=#800080><tr><td>x</td></tr></table>");
    EXPECT_EQ(light, canvas.At(0, s.cy / 2));
    EXPECT_EQ(light, canvas.At(s.cx / 2, 0));
    EXPECT_EQ(dark, canvas.At(LastNotWhiteColumn(canvas, s.cy / 2), s.cy / 2));
    EXPECT_EQ(dark, canvas.At(s.cx / 2, RowsOfNotWhite(canvas, s.cx / 2).second));
    EXPECT_EQ(kWhite, canvas.At(s.cx, s.cy / 2));  // nothing past the table

    // A horizontal gradient from black to red in 64 bands: the first is black, the last 63/64
    // of the way.
    const std::string grad = "<table width=128 bgcolor=#000000 bgendcolor=#ff0000 bgeffect=hgradient><tr><td></td></tr></table>";
    s = Paint(grad);
    ASSERT_GE(s.cx, 128);
    const int right = LastNotWhiteColumn(canvas, 0);
    EXPECT_GE(right, 127);
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(0, 0));
    EXPECT_EQ(RGB(251, 0, 0), canvas.At(right, 0));
    for (int x = 1; x <= right; ++x) EXPECT_GE(GetRValue(canvas.At(x, 0)), GetRValue(canvas.At(x - 1, 0))) << x;

    // A picture of 3 x 2 distinct pixels, tiled from the table's corner.
    CRasterImage tile;
    ASSERT_TRUE(tile.Create(3, 2, 24));
    const auto color = [](int x, int y) { return RGB(40 + 60 * x, 90 + 100 * y, 17); };
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) tile.SetPixelColor(x, 1 - y, color(x, y));  // rows from the bottom
    const std::string path = testing::TempDir() + "markup_tile.bmp";
    ASSERT_TRUE(tile.SavePath(path.c_str(), RASTER_FORMAT_BMP));
    s = Paint("<table width=40 background=\"file:" + path + "\"><tr><td></td></tr></table>");
    const int tileRight = LastNotWhiteColumn(canvas, 0), tileBottom = RowsOfNotWhite(canvas, 0).second;
    EXPECT_GE(tileRight, 39);
    EXPECT_GE(tileBottom, 3);
    for (int y = 0; y <= tileBottom; ++y)
        for (int x = 0; x <= tileRight; ++x) {
            ASSERT_EQ(color(x % 3, y % 2), canvas.At(x, y)) << x << ", " << y;
        }
}

}  // namespace
