// The edit control: typing, selection by keys and mouse, clipboard, limits and filters,
// notifications in order, read-only, multi-line lines and scrolling, undo.
#include <gtest/gtest.h>

#include <string>

#include "dialog_test_support.h"

using namespace dlgtest;

namespace {

std::string Text(HWND e) {
    char buf[512] = {};
    GetWindowTextA(e, buf, sizeof buf);
    return buf;
}

std::pair<DWORD, DWORD> Sel(HWND e) {
    DWORD a = 0, b = 0;
    SendMessageA(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    return {a, b};
}

void Chord(UINT mod, UINT vk) {
    WinTestKey(mod, TRUE);
    WinTestKeyPress(vk);
    WinTestKey(mod, FALSE);
    Pump();
}

struct EditFixture : ::testing::Test {
    HWND host = nullptr, edit = nullptr;
    void Make(DWORD style, const char* text = "") {
        host = Host();
        edit = Child(host, "Edit", text, WS_BORDER | style, 7, 10, 10, 300, 24);
        SetFocus(edit);
        Pump();
        Notes().clear();
    }
    void TearDown() override {
        if (host) DestroyWindow(host);
        Pump();
    }
};

TEST_F(EditFixture, LettersBeyondAsciiTypedKeepTheirEncoding) {
    // What the keyboard gives arrives a byte a message; the text holds each character once.
    Make(ES_AUTOHSCROLL);
    const std::string typed = "/out dir/vid\xC3\xA9os \xC3\xBC\xE2\x82\xAC\xF0\x9D\x84\x9E";
    WinTestText(typed.c_str());
    Pump();
    EXPECT_EQ(Text(edit), typed);
    WinTestKeyPress(VK_BACK);
    Pump();
    EXPECT_EQ(Text(edit), typed.substr(0, typed.size() - 4));
    DestroyWindow(host);
    // A digits-only edit refuses such a letter whole.
    Make(ES_NUMBER);
    WinTestText("1\xC3\xA9" "2");
    Pump();
    EXPECT_EQ(Text(edit), "12");
}

TEST_F(EditFixture, TypingEditsTheTextAndNotifiesUpdateThenChange) {
    Make(ES_AUTOHSCROLL);
    WinTestText("hello");
    Pump();
    EXPECT_EQ(Text(edit), "hello");
    EXPECT_EQ(Sel(edit), std::make_pair(DWORD(5), DWORD(5)));
    auto cmds = Commands();
    ASSERT_EQ(cmds.size(), 10u);
    EXPECT_EQ(cmds[0], std::make_pair(7, int(EN_UPDATE)));
    EXPECT_EQ(cmds[1], std::make_pair(7, int(EN_CHANGE)));
    EXPECT_TRUE(SendMessageA(edit, EM_GETMODIFY, 0, 0));
    // Caret keys, backspace and delete.
    WinTestKeyPress(VK_HOME);
    WinTestKeyPress(VK_DELETE);
    WinTestKeyPress(VK_END);
    WinTestKeyPress(VK_BACK);
    Pump();
    EXPECT_EQ(Text(edit), "ell");
    // Shift+Left selects; typing replaces the selection.
    Chord(VK_SHIFT, VK_LEFT);
    EXPECT_EQ(Sel(edit), std::make_pair(DWORD(2), DWORD(3)));
    WinTestText("X");
    Pump();
    EXPECT_EQ(Text(edit), "elX");
    // Undo brings the previous text back; a second undo redoes.
    SendMessageA(edit, EM_UNDO, 0, 0);
    EXPECT_EQ(Text(edit), "ell");
    SendMessageA(edit, WM_UNDO, 0, 0);
    EXPECT_EQ(Text(edit), "elX");
    // Text set by the program reads back whole and notifies too.
    Notes().clear();
    SetWindowTextA(edit, "replaced");
    EXPECT_EQ(Text(edit), "replaced");
    EXPECT_EQ(GetWindowTextLengthA(edit), 8);
    EXPECT_EQ(Commands().back(), std::make_pair(7, int(EN_CHANGE)));
    EXPECT_FALSE(SendMessageA(edit, EM_GETMODIFY, 0, 0));
}

TEST_F(EditFixture, SelectionClipboardAndReplaceSel) {
    Make(ES_AUTOHSCROLL, "alpha beta gamma");
    SendMessageA(edit, EM_SETSEL, 6, 10);
    EXPECT_EQ(Sel(edit), std::make_pair(DWORD(6), DWORD(10)));
    EXPECT_EQ(SendMessageA(edit, EM_GETSEL, 0, 0), MAKELONG(6, 10));
    Chord(VK_CONTROL, 'C');
    SendMessageA(edit, EM_SETSEL, 0, 0);
    Chord(VK_CONTROL, 'V');
    EXPECT_EQ(Text(edit), "betaalpha beta gamma");
    // Cut the whole text, paste it twice.
    Chord(VK_CONTROL, 'A');
    EXPECT_EQ(Sel(edit), std::make_pair(DWORD(0), DWORD(20)));
    Chord(VK_CONTROL, 'X');
    EXPECT_EQ(Text(edit), "");
    Chord(VK_CONTROL, 'V');
    Chord(VK_CONTROL, 'V');
    EXPECT_EQ(Text(edit), "betaalpha beta gammabetaalpha beta gamma");
    // EM_SETSEL with -1 end selects to the end; start -1 drops the selection.
    SendMessageA(edit, EM_SETSEL, 35, -1);
    EXPECT_EQ(Sel(edit), std::make_pair(DWORD(35), DWORD(40)));
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("!"));
    EXPECT_EQ(Text(edit), "betaalpha beta gammabetaalpha beta !");
    SendMessageA(edit, EM_SETSEL, 100, 200);  // beyond the end: clamped
    EXPECT_EQ(Sel(edit), std::make_pair(DWORD(36), DWORD(36)));
    // Mouse: a drag selects from the press to the release point.
    SetWindowTextA(edit, "0123456789");
    POINT p0, p1;
    LRESULT a = SendMessageA(edit, EM_POSFROMCHAR, 2, 0), b = SendMessageA(edit, EM_POSFROMCHAR, 6, 0);
    p0 = {short(LOWORD(a)) + 1, short(HIWORD(a)) + 4};
    p1 = {short(LOWORD(b)) + 1, short(HIWORD(b)) + 4};
    WinTestDrag(edit, WINTEST_LEFT, p0.x, p0.y, p1.x, p1.y, 4);
    Pump();
    EXPECT_EQ(Sel(edit), std::make_pair(DWORD(2), DWORD(6)));
    EXPECT_EQ(LOWORD(SendMessageA(edit, EM_CHARFROMPOS, 0, MAKELPARAM(p1.x, p1.y))), 6);
}

TEST_F(EditFixture, LimitsFiltersAndReadOnly) {
    Make(ES_AUTOHSCROLL | ES_NUMBER);
    SendMessageA(edit, EM_LIMITTEXT, 4, 0);
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 4);
    WinTestText("12a345");
    Pump();
    EXPECT_EQ(Text(edit), "1234");  // letters refused, then the limit
    bool maxtext = false;
    for (auto& c : Commands()) maxtext |= c.second == EN_MAXTEXT;
    EXPECT_TRUE(maxtext);
    // A paste is cut at the limit as well.
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_COPY, 0, 0);
    SendMessageA(edit, EM_SETSEL, 2, 2);
    SendMessageA(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(edit), "1234");
    // Read-only: keys and cut do nothing, copy still works, colour asked as a static.
    SendMessageA(edit, EM_SETREADONLY, TRUE, 0);
    EXPECT_TRUE(GetWindowLongA(edit, GWL_STYLE) & ES_READONLY);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    WinTestKeyPress(VK_DELETE);
    WinTestText("9");
    Pump();
    SendMessageA(edit, WM_CUT, 0, 0);
    EXPECT_EQ(Text(edit), "1234");
    // Single-line edits keep the first line of what they're given.
    SendMessageA(edit, EM_SETREADONLY, FALSE, 0);
    SendMessageA(edit, EM_LIMITTEXT, 0, 0);
    SetWindowTextA(edit, "first\r\nsecond");
    EXPECT_EQ(Text(edit), "first");
    EXPECT_EQ(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 1);
}

TEST_F(EditFixture, PasswordEditsShowNoTextAndRefuseToCopy) {
    Make(ES_PASSWORD, "secret");
    EXPECT_EQ(SendMessageA(edit, 0x00D2 /* EM_GETPASSWORDCHAR */, 0, 0), '*');
    // Put something known on the clipboard first.
    HWND other = Child(host, "Edit", "known", 0, 8, 10, 50, 100, 20);
    SendMessageA(other, EM_SETSEL, 0, -1);
    SendMessageA(other, WM_COPY, 0, 0);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_COPY, 0, 0);
    SendMessageA(other, EM_SETSEL, 0, -1);
    SendMessageA(other, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(other), "known");
    EXPECT_EQ(Text(edit), "secret");  // the program still reads the real text
}

TEST_F(EditFixture, MultiLineLinesNavigationAndScrolling) {
    Make(ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL | ES_AUTOVSCROLL);
    SetWindowPos(edit, nullptr, 0, 0, 200, 60, SWP_NOMOVE | SWP_NOZORDER);
    SetWindowTextA(edit, "set by the program");  // no EN_CHANGE from a multi-line edit
    EXPECT_TRUE(Commands().empty());
    SetWindowTextA(edit, "");
    WinTestText("one\ntwo\nthree");
    Pump();
    EXPECT_EQ(Text(edit), "one\r\ntwo\r\nthree");
    EXPECT_EQ(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(edit, EM_LINEINDEX, 2, 0), 10);
    EXPECT_EQ(SendMessageA(edit, EM_LINEINDEX, 3, 0), -1);
    EXPECT_EQ(SendMessageA(edit, EM_LINELENGTH, 10, 0), 5);
    EXPECT_EQ(SendMessageA(edit, EM_LINEFROMCHAR, 6, 0), 1);
    char buf[16] = {};
    *reinterpret_cast<WORD*>(buf) = sizeof buf;
    EXPECT_EQ(SendMessageA(edit, EM_GETLINE, 1, reinterpret_cast<LPARAM>(buf)), 3);
    EXPECT_EQ(std::string(buf, 3), "two");
    // Up moves to the line above; Home and End stay on the line.
    WinTestKeyPress(VK_UP);
    WinTestKeyPress(VK_HOME);
    Pump();
    EXPECT_EQ(Sel(edit).first, 5u);
    WinTestKeyPress(VK_END);
    Pump();
    EXPECT_EQ(Sel(edit).first, 8u);
    // Backspace at a line start joins the lines (the break is one step).
    WinTestKeyPress(VK_DOWN);
    WinTestKeyPress(VK_HOME);
    WinTestKeyPress(VK_BACK);
    Pump();
    EXPECT_EQ(Text(edit), "one\r\ntwothree");
    // Many lines scroll to keep the caret in view.
    SetWindowTextA(edit, "");
    for (int i = 0; i < 20; ++i) WinTestText("line\n");
    Pump();
    EXPECT_GT(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 10);
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(edit, SB_VERT, &si);
    EXPECT_EQ(si.nMax, 20);
    EXPECT_EQ(si.nPos, SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    SendMessageA(edit, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    // Dialog codes: chars and arrows wanted; Enter only with ES_WANTRETURN.
    MSG m{edit, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_TRUE(SendMessageA(edit, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&m)) & DLGC_WANTALLKEYS);
    EXPECT_TRUE(SendMessageA(edit, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL);
}

TEST_F(EditFixture, MultiLineWithoutAutoScrollWrapsAtWordBreaks) {
    Make(ES_MULTILINE);
    // Wide enough for about one word.
    HDC dc = GetDC(edit);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(edit, WM_GETFONT, 0, 0) ?
                                   SendMessageA(edit, WM_GETFONT, 0, 0) : reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT))));
    SIZE word{0, 0};
    GetTextExtentPoint32A(dc, "alpha ", 6, &word);
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
    SetWindowPos(edit, nullptr, 0, 0, word.cx + 6, 80, SWP_NOMOVE | SWP_NOZORDER);
    SetWindowTextA(edit, "alpha alpha alpha\r\nx");
    EXPECT_EQ(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessageA(edit, EM_LINEINDEX, 1, 0), 6);   // the second word starts the second line
    EXPECT_EQ(SendMessageA(edit, EM_LINEINDEX, 2, 0), 12);
    EXPECT_EQ(SendMessageA(edit, EM_LINEINDEX, 3, 0), 19);  // after the hard break
    EXPECT_EQ(SendMessageA(edit, EM_LINEFROMCHAR, 8, 0), 1);
    // The text itself is unchanged: wrapping is only how it is shown.
    char buf[64] = {};
    GetWindowTextA(edit, buf, sizeof buf);
    EXPECT_STREQ(buf, "alpha alpha alpha\r\nx");
    // A word longer than the line is cut where it no longer fits.
    SetWindowTextA(edit, "wrappingwrappingwrapping");
    EXPECT_GE(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 3);
}

TEST_F(EditFixture, AFullEditAcceptsAKeyThatReplacesASelection) {
    Make(ES_AUTOHSCROLL, "abcde");
    SendMessageA(edit, EM_LIMITTEXT, 5, 0);
    SendMessageA(edit, EM_SETSEL, 2, 3);
    WinTestText("x");
    Pump();
    EXPECT_EQ(Text(edit), "abxde") << "the typed key takes the selected one's room";
    EXPECT_EQ(Sel(edit), (std::pair<DWORD, DWORD>{3, 3}));
    for (auto& c : Commands()) EXPECT_NE(c.second, EN_MAXTEXT);
    // Two selected give room for two; a third key is refused at the limit.
    SendMessageA(edit, EM_SETSEL, 0, 2);
    WinTestText("pqr");
    Pump();
    EXPECT_EQ(Text(edit), "pqxde");
    bool maxtext = false;
    for (auto& c : Commands()) maxtext |= c.second == EN_MAXTEXT;
    EXPECT_TRUE(maxtext);
}

}  // namespace
