// Style sheets, CSS properties, lengths and colours of the markup.
#include <gtest/gtest.h>

#include "MarkupRenderer.h"
#include "markup_test_support.h"

namespace {

struct Dc {
    HDC dc = CreateCompatibleDC(nullptr);
    ~Dc() { DeleteDC(dc); }
};

TEST(MarkupColours, EveryNotation)
{
    CMarkupColours c;
    EXPECT_EQ(RGB(255, 153, 0), c.ParseColour("#ff9900", 7));
    EXPECT_EQ(7u, c.ParseColour("#f90", 7));
    EXPECT_EQ(7u, c.ParseColour("#ff99zz", 7));
    EXPECT_EQ(RGB(0x8F, 0xBC, 0x8F), c.ParseColour("darkseagreen", 7));
    EXPECT_EQ(RGB(0, 0, 255), c.ParseColour("blue", 7));
    EXPECT_EQ(0x0000FFu, c.ParseColour("0xff", 7));  // a number is the COLORREF itself
    EXPECT_EQ(255u, c.ParseColour("255", 7));
    EXPECT_EQ(8u, c.ParseColour("010", 7));          // leading zero: octal
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), c.ParseColour("infobackground", 7));
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), c.ParseColour("threeddarkshadow", 7));
    EXPECT_EQ(7u, c.ParseColour("nosuchcolour", 7));
    EXPECT_EQ(7u, c.ParseColour("", 7));
    EXPECT_EQ(140u + 28u, c.Count());
}

TEST(MarkupLengths, UnitsPercentagesAndShortValues)
{
    Dc d;
    const int dpi = GetDeviceCaps(d.dc, LOGPIXELSY);
    EXPECT_EQ(10 * dpi / 72, ParseCssLength(d.dc, "10pt", 0, false));
    EXPECT_EQ(dpi, ParseCssLength(d.dc, "1in", 0, false));
    EXPECT_EQ(2 * dpi / 6, ParseCssLength(d.dc, "2pc", 0, false));
    EXPECT_EQ(int(10 * dpi * 0.03937007874015748), ParseCssLength(d.dc, "10mm", 0, false));
    EXPECT_EQ(int(3 * dpi * 0.3937007874015748), ParseCssLength(d.dc, "3cm", 0, false));
    EXPECT_EQ(7, ParseCssLength(d.dc, "7px", 0, false));
    EXPECT_EQ(5, ParseCssLength(d.dc, "-5px", 0, false));  // signs have no effect
    EXPECT_EQ(15, ParseCssLength(d.dc, "50%", 30, false));
    EXPECT_EQ(30, ParseCssLength(d.dc, "", 30, false));
    EXPECT_EQ(5, ParseCssLength(d.dc, "5", 30, false));    // too short for a unit
    EXPECT_EQ(0, ParseCssLength(d.dc, "x", 30, false));
    EXPECT_EQ(12, ParseCssLength(d.dc, "3", 30, true));    // the HTML size table
    EXPECT_EQ(36, ParseCssLength(d.dc, "7", 30, true));
    EXPECT_EQ(8, ParseCssLength(d.dc, "8", 30, true));
    EXPECT_EQ(markup_limits::kMaxLength, ParseCssLength(d.dc, "99999999999px", 0, false));
    TEXTMETRICA tm{};
    GetTextMetricsA(d.dc, &tm);
    EXPECT_EQ(2 * tm.tmHeight, ParseCssLength(d.dc, "2em", 0, false));
}

TEST(MarkupStyleSheet, RulesSelectorsAndMalformedSheets)
{
    CMarkupStyleSheet s;
    s.Parse("H1 {color:red} h1{color:blue}\n.Cls {font-weight:bold}");
    ASSERT_NE(nullptr, s.FindStyleRule("h1"));
    EXPECT_EQ("color:blue", *s.FindStyleRule("h1"));  // the second rule replaces the first
    EXPECT_NE(nullptr, s.FindStyleRule(".cls"));
    EXPECT_NE(nullptr, s.FindStyleRule("H1"));
    s.Parse("a, b {color:red}");  // selector lists are not split
    EXPECT_NE(nullptr, s.FindStyleRule("a,"));
    for (const char* bad : {"p {", "{}}}{{", "x", "", "}}", "..{", "a {b} c", "\x80\xff{"}) s.Parse(bad);
    EXPECT_NE(nullptr, s.FindStyleRule("a"));
    for (const auto& rule : s.Rules()) EXPECT_EQ(ToLowerAscii(rule.first), rule.first);
}

TEST(MarkupProperties, ValuesAsTheyAreGiven)
{
    Dc d;
    CMarkupColours c;
    MarkupTextStyle s;
    ParseCssProperties(d.dc, "font-weight:600; font-style : italic; text-align:center; COLOR:#00ff00", s, c);
    EXPECT_EQ(600, s.weight);
    EXPECT_EQ(1, s.italic);
    EXPECT_EQ(1, s.textAlign);
    EXPECT_EQ(RGB(0, 255, 0), s.textColor);
    ParseCssProperties(d.dc, "font-weight:", s, c);
    EXPECT_EQ(400, s.weight);
    ParseCssProperties(d.dc, "font-weight:bolder", s, c);
    EXPECT_EQ(900, s.weight);
    ParseCssProperties(d.dc, "font-weight:99999", s, c);
    EXPECT_EQ(1000, s.weight);
    s.borderWidth = 4;
    ParseCssProperties(d.dc, "border-width:thin", s, c);
    EXPECT_EQ(3, s.borderWidth);
    ParseCssProperties(d.dc, "border-width:thick", s, c);
    EXPECT_EQ(4, s.borderWidth);  // 125 % of 3, rounded
    ParseCssProperties(d.dc, "text-decoration:underline overline; font-family:\"Courier New\"", s, c);
    EXPECT_EQ(1, s.underline);
    EXPECT_EQ(1, s.overline);
    EXPECT_EQ("courier new", s.face);
    ParseCssProperties(d.dc, "text-decoration:none; background-color:#010203; margin-left:5px; padding-top:3px", s, c);
    EXPECT_EQ(0, s.underline + s.overline + s.strikeOut);
    EXPECT_EQ(OPAQUE, s.backMode);
    EXPECT_EQ(RGB(1, 2, 3), s.backColor);
    EXPECT_EQ(5, s.inner[MarkupTextStyle::kSideLeft]);
    EXPECT_EQ(3, s.outer[MarkupTextStyle::kSideTop]);
    // A name without ':' is skipped, and what follows still counts.
    ParseCssProperties(d.dc, "color; vertical-align:top; font-size:4000px; text-align:wobbly", s, c);
    EXPECT_EQ(0, s.verticalAlign);
    EXPECT_EQ(markup_limits::kMaxFontHeight, s.fontHeight);
    EXPECT_EQ(1, s.textAlign);  // an unknown value leaves it
}

TEST(MarkupTableAttributes, BordersBackgroundsSpacingsAndSpans)
{
    Dc d;
    CMarkupColours c;
    MarkupTextStyle s;
    int rows = 1, cols = 1;
    ParseTableAttributes(d.dc, "border=2 bgcolor=red bgeffect=hcgradient cellpadding=4 cellspacing=1 colspan=3 "
                               "rowspan = \"2\" bordercolorlight=white bordercolordark=#000080 valign=bottom "
                               "background=\"file: tile.bmp\"",
                         s, c, &rows, &cols);
    EXPECT_EQ(2, s.borderWidth);
    EXPECT_EQ(1, s.borderStyle);
    EXPECT_EQ(RGB(255, 0, 0), s.backColor);
    EXPECT_EQ(3, s.backEffect);
    EXPECT_EQ(4, s.inner[0]);
    EXPECT_EQ(4, s.inner[3]);
    EXPECT_EQ(1, s.outer[2]);
    EXPECT_EQ(3, cols);
    EXPECT_EQ(2, rows);
    EXPECT_EQ(RGB(255, 255, 255), s.borderLight);
    EXPECT_EQ(RGB(0, 0, 128), s.borderDark);
    EXPECT_EQ(2, s.verticalAlign);
    EXPECT_EQ("file: tile.bmp", s.backImage);
    ParseTableAttributes(d.dc, "border=0 bgeffect=17", s, c, nullptr, nullptr);
    EXPECT_EQ(0, s.borderStyle);
    EXPECT_EQ(17, s.backEffect);
}

TEST(MarkupAttributeLists, QuotesSpacesAndStrayCharacters)
{
    const MarkupAttributes a = ParseMarkupAttributes(" a=1  b = \"two words\" c=\"open d=4 =");
    ASSERT_GE(a.size(), 3u);
    EXPECT_EQ("1", *FindMarkupAttribute(a, "a"));
    EXPECT_EQ("two words", *FindMarkupAttribute(a, "b"));
    EXPECT_EQ("", *FindMarkupAttribute(a, "c"));  // an unterminated quote gives an empty value
    EXPECT_EQ(nullptr, FindMarkupAttribute(a, "d"));
}

}  // namespace
