// Fonts and text: metrics identities, measuring equal to drawing, DrawText layout and its
// flags, and the program's 8-bit text decoding. Geometry and colours only, never glyph pixels.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "gdi_test_support.h"

using gdit::Canvas32;

namespace {

const COLORREF kWhite = RGB(255, 255, 255);

HFONT Font(int height, const char* face = "Tahoma", int weight = FW_NORMAL, bool italic = false, bool underline = false) {
    return CreateFontA(height, 0, 0, 0, weight, italic, underline, 0, ANSI_CHARSET, 0, 0, 0, 0, face);
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right && inner.bottom <= outer.bottom;
}

struct FontOn {
    Canvas32& c;
    HFONT f;
    HGDIOBJ old;
    FontOn(Canvas32& canvas, HFONT font) : c(canvas), f(font), old(SelectObject(canvas.dc, font)) {}
    ~FontOn() {
        SelectObject(c.dc, old);
        DeleteObject(f);
    }
};

TEST(FontMetrics, CellAndCharacterHeightsFollowTheSignOfTheHeight) {
    Canvas32 c(4, 4);
    {
        FontOn on(c, Font(20));
        TEXTMETRICA tm{};
        ASSERT_TRUE(GetTextMetricsA(c.dc, &tm));
        EXPECT_EQ(tm.tmHeight, 20) << "a positive height is the cell height";
        EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
        EXPECT_GT(tm.tmAveCharWidth, 0);
        EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
        EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH) << "set for variable pitch";
    }
    {
        FontOn on(c, Font(-20));
        TEXTMETRICA tm{};
        GetTextMetricsA(c.dc, &tm);
        EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 20) << "a negative height is the character height";
        EXPECT_GT(tm.tmHeight, 20);
    }
    {
        FontOn on(c, Font(-16, "Courier New"));
        SIZE i{}, w{};
        GetTextExtentPoint32A(c.dc, "iiii", 4, &i);
        GetTextExtentPoint32A(c.dc, "WWWW", 4, &w);
        EXPECT_EQ(i.cx, w.cx) << "Courier New maps to a fixed-pitch face";
        TEXTMETRICA tm{};
        GetTextMetricsA(c.dc, &tm);
        EXPECT_FALSE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH);
        char face[64] = {};
        EXPECT_GT(GetTextFaceA(c.dc, sizeof(face), face), 0);
        EXPECT_STREQ(face, "Courier New");
    }
    {
        // A requested average width narrows the face; bilevel quality draws no grey.
        HFONT narrow = CreateFontA(-16, 4, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, NONANTIALIASED_QUALITY, 0, "Arial");
        FontOn on(c, narrow);
        TEXTMETRICA tm{};
        GetTextMetricsA(c.dc, &tm);
        EXPECT_EQ(tm.tmAveCharWidth, 4);
        Canvas32 big(100, 30);
        SelectObject(big.dc, narrow);
        SetBkMode(big.dc, TRANSPARENT);
        TextOutA(big.dc, 2, 2, "Wide", 4);
        EXPECT_EQ(big.Count(RGB(0, 0, 0)) + big.Count(kWhite), 3000) << "only black and white pixels";
        EXPECT_GT(big.Count(RGB(0, 0, 0)), 10);
        SelectObject(big.dc, GetStockObject(SYSTEM_FONT));
    }
    SIZE normal{}, bold{};
    {
        FontOn on(c, Font(-16));
        GetTextExtentPoint32A(c.dc, "Converter", 9, &normal);
    }
    {
        FontOn on(c, Font(-16, "Tahoma", FW_BOLD));
        GetTextExtentPoint32A(c.dc, "Converter", 9, &bold);
    }
    EXPECT_GT(bold.cx, normal.cx);
}

TEST(TextExtents, DrawnInkLiesInsideTheMeasuredBox) {
    Canvas32 c(300, 60);
    for (const char* face : {"MS Sans Serif", "Times New Roman", "Courier New", "Verdana"}) {
        c.Fill(kWhite);
        FontOn on(c, Font(-15, face, FW_NORMAL, true, true));
        const char* text = "Quick Brown gjpqy 0123";
        SIZE sz{};
        ASSERT_TRUE(GetTextExtentPoint32A(c.dc, text, int(std::strlen(text)), &sz));
        SetBkMode(c.dc, TRANSPARENT);
        ASSERT_TRUE(TextOutA(c.dc, 10, 10, text, int(std::strlen(text))));
        RECT ink = c.InkBox(kWhite);
        RECT box{10, 10, 10 + sz.cx, 10 + sz.cy};
        EXPECT_FALSE(ink.right == 0) << face;
        // Italic glyphs may lean a pixel or two past their advance.
        RECT slack{box.left - 2, box.top, box.right + 3, box.bottom};
        EXPECT_TRUE(Inside(ink, slack)) << face << ": ink " << ink.left << "," << ink.top << "," << ink.right << ","
                                        << ink.bottom << " box " << box.right << "," << box.bottom;
        EXPECT_GT(ink.right - ink.left, sz.cx * 3 / 4) << face;
    }
}

TEST(TextExtents, OpaqueBackgroundFillsExactlyTheMeasuredCell) {
    Canvas32 c(200, 40);
    FontOn on(c, Font(-13));
    SetBkMode(c.dc, OPAQUE);
    SetBkColor(c.dc, RGB(0, 0, 255));
    // Text in the canvas colour: a glyph's overhang past its advance stays invisible, so the ink
    // is the background's cell alone.
    SetTextColor(c.dc, kWhite);
    SIZE sz{};
    GetTextExtentPoint32A(c.dc, "Velmora", 7, &sz);
    TextOutA(c.dc, 5, 6, "Velmora", 7);
    RECT ink = c.InkBox(kWhite);
    EXPECT_EQ(ink.left, 5);
    EXPECT_EQ(ink.top, 6);
    EXPECT_EQ(ink.right, 5 + sz.cx);
    EXPECT_EQ(ink.bottom, 6 + sz.cy);
}

TEST(TextExtents, AlignmentAndExtentArraysAgreeWithTheExtent) {
    Canvas32 c(200, 40);
    FontOn on(c, Font(-13));
    const char* text = "abcdef";
    SIZE sz{};
    GetTextExtentPoint32A(c.dc, text, 6, &sz);
    int fit = -1, dx[6] = {};
    SIZE ex{};
    ASSERT_TRUE(GetTextExtentExPointA(c.dc, text, 6, sz.cx / 2, &fit, dx, &ex));
    EXPECT_EQ(ex.cx, sz.cx);
    EXPECT_EQ(dx[5], sz.cx);
    for (int i = 1; i < 6; ++i) EXPECT_GT(dx[i], dx[i - 1]);
    ASSERT_GT(fit, 0);
    ASSERT_LT(fit, 6);
    EXPECT_LE(dx[fit - 1], sz.cx / 2);
    EXPECT_GT(dx[fit], sz.cx / 2);

    SetBkMode(c.dc, OPAQUE);
    SetBkColor(c.dc, RGB(255, 0, 0));
    SetTextAlign(c.dc, TA_RIGHT | TA_BOTTOM);
    TextOutA(c.dc, 150, 30, text, 6);
    RECT ink = c.InkBox(kWhite);
    EXPECT_EQ(ink.right, 150);
    EXPECT_EQ(ink.bottom, 30);
    EXPECT_EQ(ink.left, 150 - sz.cx);
    // TA_UPDATECP draws at the current position and advances it.
    c.Fill(kWhite);
    SetTextAlign(c.dc, TA_UPDATECP);
    MoveToEx(c.dc, 7, 3, nullptr);
    TextOutA(c.dc, 100, 100, text, 6);
    POINT cp{};
    GetCurrentPositionEx(c.dc, &cp);
    EXPECT_EQ(cp.x, 7 + sz.cx);
    EXPECT_EQ(c.InkBox(kWhite).left, 7);
}

TEST(TextDecoding, Utf8AndWindows1252MeasureTheSameCharacters) {
    Canvas32 c(4, 4);
    FontOn on(c, Font(-14));
    SIZE utf8{}, ansi{}, plain{};
    GetTextExtentPoint32A(c.dc, "caf\xC3\xA9", 5, &utf8);  // UTF-8 e-acute
    GetTextExtentPoint32A(c.dc, "caf\xE9", 4, &ansi);      // invalid UTF-8: Windows-1252 e-acute
    GetTextExtentPoint32A(c.dc, "cafe", 4, &plain);
    EXPECT_EQ(utf8.cx, ansi.cx);
    EXPECT_GT(utf8.cx, 0);
    // Per-byte positions: both bytes of the two-byte character end where it ends.
    int dx[5] = {};
    int fit = 0;
    SIZE s{};
    GetTextExtentExPointA(c.dc, "caf\xC3\xA9", 5, 10000, &fit, dx, &s);
    EXPECT_EQ(fit, 5);
    EXPECT_EQ(dx[3], dx[4]);
    EXPECT_EQ(dx[4], utf8.cx);
    // The euro sign of Windows-1252 is one character.
    SIZE euro1252{}, euro8{};
    GetTextExtentPoint32A(c.dc, "\x80", 1, &euro1252);
    GetTextExtentPoint32A(c.dc, "\xE2\x82\xAC", 3, &euro8);
    EXPECT_EQ(euro1252.cx, euro8.cx);
}

TEST(DrawTextLayout, CalcRectEqualsTheDrawnExtent) {
    Canvas32 c(300, 200);
    FontOn on(c, Font(-13));
    SetBkMode(c.dc, TRANSPARENT);
    TEXTMETRICA tm{};
    GetTextMetricsA(c.dc, &tm);
    const char* text = "Convert every checked file into an MP4 for a portable player";
    RECT calc{10, 10, 130, 10};
    int h = DrawTextA(c.dc, text, -1, &calc, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(h, calc.bottom - calc.top);
    EXPECT_EQ((calc.bottom - calc.top) % tm.tmHeight, 0);
    EXPECT_GT(calc.bottom - calc.top, tm.tmHeight) << "wrapped onto several lines";
    EXPECT_LE(calc.right, 130);
    EXPECT_EQ(c.InkBox(kWhite).right, 0) << "DT_CALCRECT draws nothing";
    RECT draw{10, 10, 130, 200};
    DrawTextA(c.dc, text, -1, &draw, DT_WORDBREAK);
    RECT ink = c.InkBox(kWhite);
    EXPECT_TRUE(Inside(ink, RECT{calc.left, calc.top, calc.right + 1, calc.bottom})) << ink.right << " " << ink.bottom;
    EXPECT_GE(ink.bottom, calc.bottom - tm.tmHeight) << "the last line is drawn";

    // Single line: the rectangle is the text's extent.
    SIZE sz{};
    GetTextExtentPoint32A(c.dc, "OK", 2, &sz);
    RECT one{0, 0, 0, 0};
    DrawTextA(c.dc, "OK", 2, &one, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(one.right, sz.cx);
    EXPECT_EQ(one.bottom, sz.cy);
    RECT centred{10, 0, 200, 0};
    DrawTextA(c.dc, "OK", 2, &centred, DT_CALCRECT | DT_SINGLELINE | DT_CENTER);
    EXPECT_EQ(centred.left, 10) << "only the right side moves";
    EXPECT_EQ(centred.right, 10 + sz.cx);
}

TEST(DrawTextLayout, EditControlModeBreaksLongWordsAndHidesAPartialLastLine) {
    Canvas32 c(200, 100);
    FontOn on(c, Font(-13));
    SetBkMode(c.dc, TRANSPARENT);
    TEXTMETRICA tm{};
    GetTextMetricsA(c.dc, &tm);
    const char* word = "averyveryverylongfilenamewithoutspaces.mp4";
    RECT plain{0, 0, 60, 0}, edit{0, 0, 60, 0};
    DrawTextA(c.dc, word, -1, &plain, DT_CALCRECT | DT_WORDBREAK);
    DrawTextA(c.dc, word, -1, &edit, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL);
    EXPECT_GT(plain.right, 60) << "a word wider than the line stays whole";
    EXPECT_EQ(plain.bottom, tm.tmHeight);
    EXPECT_LE(edit.right, 60) << "an edit control breaks it";
    EXPECT_GT(edit.bottom, tm.tmHeight);
    RECT box{0, 0, 60, tm.tmHeight * 3 / 2};
    DrawTextA(c.dc, word, -1, &box, DT_WORDBREAK | DT_EDITCONTROL | DT_NOCLIP);
    EXPECT_LE(c.InkBox(kWhite).bottom, tm.tmHeight) << "the half-visible second line is not drawn";
}

TEST(DrawTextLayout, AlignmentFlagsPlaceTheText) {
    Canvas32 c(200, 60);
    FontOn on(c, Font(-13));
    SetBkMode(c.dc, OPAQUE);
    SetBkColor(c.dc, RGB(0, 0, 0));
    SetTextColor(c.dc, kWhite);  // the ink is the background's cell, without glyph overhangs
    SIZE sz{};
    GetTextExtentPoint32A(c.dc, "Preview", 7, &sz);
    RECT r{20, 10, 180, 50};
    DrawTextA(c.dc, "Preview", 7, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    RECT ink = c.InkBox(kWhite);
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 100, 1.0);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 30, 1.0);
    EXPECT_EQ(ink.right - ink.left, sz.cx);
    c.Fill(kWhite);
    DrawTextA(c.dc, "Preview", 7, &r, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
    ink = c.InkBox(kWhite);
    EXPECT_EQ(ink.right, 180);
    EXPECT_EQ(ink.bottom, 50);
    // Clipped to the rectangle unless DT_NOCLIP.
    c.Fill(kWhite);
    RECT narrow{20, 10, 40, 50};
    DrawTextA(c.dc, "Preview", 7, &narrow, DT_SINGLELINE);
    EXPECT_LE(c.InkBox(kWhite).right, 40);
    c.Fill(kWhite);
    DrawTextA(c.dc, "Preview", 7, &narrow, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_EQ(c.InkBox(kWhite).right, 20 + sz.cx);
}

TEST(DrawTextLayout, PrefixesTabsAndEllipses) {
    Canvas32 c(400, 40);
    FontOn on(c, Font(-13));
    RECT a{0, 0, 0, 0}, b{0, 0, 0, 0}, n{0, 0, 0, 0};
    DrawTextA(c.dc, "&File", -1, &a, DT_CALCRECT | DT_SINGLELINE);
    DrawTextA(c.dc, "File", -1, &b, DT_CALCRECT | DT_SINGLELINE);
    DrawTextA(c.dc, "&File", -1, &n, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(a.right, b.right) << "the prefix is not a character";
    EXPECT_GT(n.right, b.right) << "DT_NOPREFIX keeps the ampersand";
    RECT amp{0, 0, 0, 0}, one{0, 0, 0, 0};
    DrawTextA(c.dc, "A&&B", -1, &amp, DT_CALCRECT | DT_SINGLELINE);
    DrawTextA(c.dc, "A&B", -1, &one, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(amp.right, one.right) << "a doubled ampersand is one";
    // The mnemonic underline is drawn below the baseline unless hidden.
    SetBkMode(c.dc, TRANSPARENT);
    RECT r{0, 0, 400, 40};
    DrawTextA(c.dc, "&File", -1, &r, DT_SINGLELINE);
    RECT with = c.InkBox(kWhite);
    c.Fill(kWhite);
    DrawTextA(c.dc, "&File", -1, &r, DT_SINGLELINE | DT_HIDEPREFIX);
    RECT without = c.InkBox(kWhite);
    EXPECT_GE(with.bottom, without.bottom);
    EXPECT_LE(with.left, without.left);

    RECT t1{0, 0, 0, 0}, t2{0, 0, 0, 0};
    DrawTextA(c.dc, "a\tb", -1, &t1, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    DrawTextA(c.dc, "a b", -1, &t2, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_GT(t1.right, t2.right) << "a tab reaches the next tab stop";

    // Ellipses keep the text inside the rectangle; the path form keeps the file name.
    c.Fill(kWhite);
    RECT box{0, 0, 120, 20};
    const char* path = "/home/user/videos/holidays/2026/summer/beach.mkv";
    DrawTextA(c.dc, path, -1, &box, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_NOCLIP);
    EXPECT_LE(c.InkBox(kWhite).right, 120);
    RECT calc = box;
    DrawTextA(c.dc, path, -1, &calc, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_CALCRECT);
    EXPECT_LE(calc.right, 120);
    SIZE name{};
    GetTextExtentPoint32A(c.dc, "/beach.mkv", 10, &name);
    EXPECT_GE(calc.right, name.cx) << "the file name survives";
    c.Fill(kWhite);
    DrawTextA(c.dc, path, -1, &box, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
    RECT ink = c.InkBox(kWhite);
    EXPECT_LE(ink.right, 120);
    EXPECT_GT(ink.right, 80);
}

TEST(ExtTextOut, OpaqueRectangleWithoutTextAndClippedText) {
    Canvas32 c(100, 40);
    SetBkColor(c.dc, RGB(0, 128, 0));
    RECT r{10, 5, 30, 15};
    // The solid-rectangle idiom: an opaque rectangle and no text.
    ASSERT_TRUE(ExtTextOutA(c.dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr));
    EXPECT_EQ(c.Count(RGB(0, 128, 0)), 200);
    EXPECT_EQ(c.InkBox(kWhite).left, 10);
    c.Fill(kWhite);
    FontOn on(c, Font(-20));
    SetBkMode(c.dc, TRANSPARENT);
    RECT clip{10, 5, 25, 30};
    ExtTextOutA(c.dc, 10, 5, ETO_CLIPPED, &clip, "WWWWWW", 6, nullptr);
    RECT ink = c.InkBox(kWhite);
    EXPECT_LE(ink.right, 25);
    EXPECT_GE(ink.left, 10);
    // lpDx spaces characters as given.
    c.Fill(kWhite);
    const INT dx[3] = {30, 30, 30};
    ExtTextOutA(c.dc, 0, 0, 0, nullptr, "iii", 3, dx);
    ink = c.InkBox(kWhite);
    EXPECT_GE(ink.right - ink.left, 60);
}

TEST(Fonts, StockFontsAndStaleFontsBehave) {
    Canvas32 c(4, 4);
    HGDIOBJ gui = GetStockObject(DEFAULT_GUI_FONT);
    ASSERT_EQ(GetObjectType(gui), DWORD(OBJ_FONT));
    SelectObject(c.dc, gui);
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(c.dc, &tm));
    EXPECT_GT(tm.tmHeight, 10);
    EXPECT_LT(tm.tmHeight, 20);
    HFONT f = Font(-12);
    DeleteObject(f);
    EXPECT_EQ(SelectObject(c.dc, f), nullptr);
    EXPECT_FALSE(GetTextMetricsA(nullptr, &tm));
    SIZE s{};
    EXPECT_FALSE(GetTextExtentPoint32A(c.dc, "x", -1, &s));
}

TEST(TextExtents, AnExtentLimitAtACharactersEndFitsThatCharacter) {
    HDC dc = CreateCompatibleDC(nullptr);
    LOGFONTA lf{};
    lf.lfHeight = -15;
    std::strcpy(lf.lfFaceName, "DejaVu Sans");
    HFONT f = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(dc, f);
    const char* text = "Wide iii";
    const int n = int(std::strlen(text));
    for (int extra : {0, 2}) {
        SetTextCharacterExtra(dc, extra);
        for (int k = 1; k <= n; ++k) {
            SIZE prefix{};
            GetTextExtentPoint32A(dc, text, k, &prefix);
            int fit = -1;
            SIZE all{};
            ASSERT_TRUE(GetTextExtentExPointA(dc, text, n, prefix.cx, &fit, nullptr, &all));
            // Exactly at the end of character k: k characters fit (more only if the next is empty).
            EXPECT_EQ(fit, k) << "limit at the end of " << k << ", extra " << extra;
            ASSERT_TRUE(GetTextExtentExPointA(dc, text, n, prefix.cx - 1, &fit, nullptr, &all));
            EXPECT_EQ(fit, k - 1) << "one pixel short of the end of " << k << ", extra " << extra;
        }
    }
    SetTextCharacterExtra(dc, 0);
    SelectObject(dc, old);
    DeleteObject(f);
    DeleteDC(dc);
}

}  // namespace

namespace {

int Width(const char* face, int height, const char* text) {
    Canvas32 c(4, 4);
    FontOn on(c, Font(height, face));
    SIZE s{};
    GetTextExtentPoint32A(c.dc, text, lstrlenA(text), &s);
    return s.cx;
}

// Dialog base units as the dialog manager derives them from a font: the mean width of the
// alphabet, rounded, and the cell height.
SIZE BaseUnits(const char* face, int height) {
    Canvas32 c(4, 4);
    FontOn on(c, Font(height, face));
    SIZE s{};
    GetTextExtentPoint32A(c.dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &s);
    TEXTMETRICA tm{};
    GetTextMetricsA(c.dc, &tm);
    return SIZE{(s.cx / 26 + 1) / 2, tm.tmHeight};
}

}  // namespace

TEST(FaceMetrics, TheSystemsFacesMeasureAsTheirWidthsAreDocumented) {
    // At 200 pixels to the em hinting moves each advance by a fraction of a pixel at most.
    // Arial has Helvetica's widths: figures 0.556 em, 'x' 0.500 em, the alphabet 30.339 em.
    EXPECT_NEAR(Width("Arial", -200, "1280x720"), 200 * 4.392, 200 * 4.392 * 0.02);
    EXPECT_NEAR(Width("Arial", -200, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"), 200 * 30.339,
                200 * 30.339 * 0.02);
    // Times New Roman: figures and 'x' 0.500 em. Courier New: every character 0.600 em.
    EXPECT_NEAR(Width("Times New Roman", -200, "1280x720"), 200 * 4.0, 200 * 4.0 * 0.02);
    EXPECT_NEAR(Width("Courier New", -200, "1280x720"), 200 * 4.8, 200 * 4.8 * 0.02);
    // Verdana's figures are 1302/2048 em.
    EXPECT_NEAR(Width("Verdana", -200, "0123456789"), 200 * 10 * 1302 / 2048.0, 200 * 6.357 * 0.03);
    // At dialog sizes: "1280x720" at 8 points in Arial is 48 pixels (six for each character).
    EXPECT_NEAR(Width("Arial", -11, "1280x720"), 48, 1);
}

TEST(FaceMetrics, DialogFacesGiveTheirDocumentedDialogBaseUnits) {
    // 8-point MS Sans Serif, MS Shell Dlg and Tahoma: 6 x 13 (a dialog unit of 1.5 x 1.625
    // pixels); 9-point Segoe UI: 7 x 15 (1.75 x 1.875).
    for (const char* face : {"MS Sans Serif", "MS Shell Dlg", "Tahoma"}) {
        SIZE u = BaseUnits(face, -11);
        EXPECT_EQ(u.cx, 6) << face;
        EXPECT_EQ(u.cy, 13) << face;
    }
    SIZE segoe = BaseUnits("Segoe UI", -12);
    EXPECT_EQ(segoe.cx, 7);
    EXPECT_EQ(segoe.cy, 15);
    // The dialog manager's own units, from its 8-point dialog face.
    LONG units = GetDialogBaseUnits();
    EXPECT_EQ(LOWORD(units), 6);
    EXPECT_EQ(HIWORD(units), 13);
}

// The dialogs' Latin faces have no Chinese characters (the system menu's About entry has
// some): those come from an installed face that has them, at the same size, not as the
// face's missing-character box, which looks the same for every character.
TEST(TextFallback, CharactersTheFaceLacksComeFromAFaceThatHasThem) {
    if (std::system("fc-list ':charset=5173 5e8e' family | grep -q .") != 0)
        GTEST_SKIP() << "no installed face has Chinese characters";
    auto ink = [](const char* text, SIZE* size) {
        Canvas32 c(80, 40);
        FontOn on(c, Font(-11, "MS Shell Dlg"));
        GetTextExtentPoint32A(c.dc, text, int(std::strlen(text)), size);
        SetBkMode(c.dc, TRANSPARENT);
        TextOutA(c.dc, 10, 10, text, int(std::strlen(text)));
        std::string dots;
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) dots += c.At(x, y) == kWhite ? '.' : '#';
        return dots;
    };
    SIZE guan{}, yu{}, latin{};
    const std::string a = ink("\xE5\x85\xB3", &guan);  // U+5173
    const std::string b = ink("\xE4\xBA\x8E", &yu);    // U+4E8E
    ink("Tamberlyn", &latin);
    EXPECT_NE(a.find('#'), std::string::npos);
    EXPECT_NE(b.find('#'), std::string::npos);
    EXPECT_NE(a, b) << "both drawn as the same box";
    // A full-width character is about an em wide, and the line keeps the face's height.
    EXPECT_GE(guan.cx, 9);
    EXPECT_LE(guan.cx, 14);
    EXPECT_EQ(guan.cy, latin.cy);
}
