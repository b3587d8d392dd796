// Rich edit control: its own background and text colours (the parent is not asked), the
// character format's colour, size and effects, the text limit, and the rich edit forms of the
// selection, line and range messages, and the event mask deciding which notices the parent gets.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "richedit.h"
#include "windows.h"
#include "winplat_test.h"

namespace {

constexpr COLORREF kParentBrush = RGB(255, 0, 0);

// The notice codes the parent got, with the id of the control that sent each.
std::vector<std::pair<int, int>> g_notices;

int NoticesOf(int id, int code) {
    int n = 0;
    for (const auto& c : g_notices) n += c.first == id && c.second == code ? 1 : 0;
    return n;
}

LRESULT CALLBACK ColouringParent(HWND h, UINT m, WPARAM w, LPARAM l) {
    static HBRUSH red = CreateSolidBrush(kParentBrush);
    if (m == WM_CTLCOLOREDIT || m == WM_CTLCOLORSTATIC) return reinterpret_cast<LRESULT>(red);
    if (m == WM_COMMAND) g_notices.push_back({LOWORD(w), HIWORD(w)});
    return DefWindowProcA(h, m, w, l);
}

struct RichEditTest : ::testing::Test {
    HWND parent = nullptr, re = nullptr;
    void SetUp() override {
        static bool once = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = ColouringParent;
            wc.lpszClassName = "RichEditTestParent";
            return RegisterClassA(&wc) != 0;
        }();
        (void)once;
        parent = CreateWindowExA(0, "RichEditTestParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                                 nullptr, nullptr);
        re = CreateWindowExA(0, RICHEDIT_CLASS10A, "first line\r\nsecond", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 10, 10,
                             200, 100, parent, reinterpret_cast<HMENU>(3), nullptr, nullptr);
        WinTestPumpUntilIdle();
    }
    void TearDown() override {
        DestroyWindow(parent);
        WinTestPumpUntilIdle();
    }
    WinTestWindowPicture Picture() {
        InvalidateRect(re, nullptr, TRUE);
        WinTestPumpUntilIdle();
        return WinTestWindowPicture(re);
    }
    // Rows of the picture that hold pixels of colour c.
    static int RowsWith(const WinTestWindowPicture& p, COLORREF c) {
        int n = 0;
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x)
                if (WinTestNear(p.At(x, y), c)) {
                    ++n;
                    break;
                }
        return n;
    }
    CHARFORMATA Format() {
        CHARFORMATA cf{};
        cf.cbSize = sizeof cf;
        SendMessageA(re, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
        return cf;
    }
};

TEST_F(RichEditTest, KeepsItsOwnBackgroundInsteadOfAskingTheParent) {
    ASSERT_NE(re, nullptr);
    COLORREF window = GetSysColor(COLOR_WINDOW);
    auto plain = Picture();
    EXPECT_EQ(plain.Count(kParentBrush), 0);
    EXPECT_GT(plain.Count(window), plain.w * plain.h / 2);
    EXPECT_GT(plain.CountNear(GetSysColor(COLOR_WINDOWTEXT)), 10);

    const COLORREF green = RGB(0, 120, 10);
    EXPECT_EQ(COLORREF(SendMessageA(re, EM_SETBKGNDCOLOR, 0, green)), window);
    auto coloured = Picture();
    EXPECT_GT(coloured.Count(green), coloured.w * coloured.h / 2);
    EXPECT_EQ(COLORREF(SendMessageA(re, EM_SETBKGNDCOLOR, 1, 0)), green);  // back to the system's
    EXPECT_GT(Picture().Count(window), plain.w * plain.h / 2);

    // The later class name is the same control.
    HWND later = CreateWindowExA(0, RICHEDIT_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 120, 100, 20, parent, nullptr,
                                 nullptr, nullptr);
    EXPECT_EQ(COLORREF(SendMessageA(later, EM_SETBKGNDCOLOR, 0, green)), window);
}

TEST_F(RichEditTest, CharacterFormatColoursSizesAndMarksTheText) {
    CHARFORMATA cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_COLOR;
    cf.crTextColor = RGB(0, 0, 230);
    ASSERT_TRUE(SendMessageA(re, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf)));
    auto blue = Picture();
    EXPECT_GT(blue.CountNear(RGB(0, 0, 230)), 10);
    EXPECT_EQ(blue.CountNear(GetSysColor(COLOR_WINDOWTEXT)), 0);
    CHARFORMATA got = Format();
    EXPECT_EQ(got.crTextColor, RGB(0, 0, 230));
    EXPECT_EQ(got.dwEffects & CFE_AUTOCOLOR, 0u);

    int small_rows = RowsWith(blue, RGB(0, 0, 230));
    cf.dwMask = CFM_SIZE | CFM_BOLD;
    cf.dwEffects = CFE_BOLD;
    cf.yHeight = got.yHeight * 2;
    ASSERT_TRUE(SendMessageA(re, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf)));
    EXPECT_GT(RowsWith(Picture(), RGB(0, 0, 230)), small_rows * 3 / 2);
    got = Format();
    EXPECT_EQ(got.dwEffects & CFE_BOLD, DWORD(CFE_BOLD));
    EXPECT_NEAR(got.yHeight, cf.yHeight, 15);

    cf.dwMask = CFM_COLOR;
    cf.dwEffects = CFE_AUTOCOLOR;
    SendMessageA(re, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
    EXPECT_GT(Picture().CountNear(GetSysColor(COLOR_WINDOWTEXT)), 10);
    EXPECT_NE(Format().dwEffects & CFE_AUTOCOLOR, 0u);

    // A record of the wrong size changes nothing.
    cf.cbSize = 8;
    cf.dwMask = CFM_COLOR;
    cf.dwEffects = 0;
    EXPECT_FALSE(SendMessageA(re, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf)));
    EXPECT_NE(Format().dwEffects & CFE_AUTOCOLOR, 0u);
}

TEST_F(RichEditTest, TypingStopsAtTheLimitThatTheExtendedMessageSets) {
    EXPECT_EQ(SendMessageA(re, EM_GETLIMITTEXT, 0, 0), 32767);
    SendMessageA(re, EM_EXLIMITTEXT, 0, 20);
    EXPECT_EQ(SendMessageA(re, EM_GETLIMITTEXT, 0, 0), 20);
    WinTestActivate(parent);
    SetFocus(re);
    SendMessageA(re, EM_SETSEL, 0x7FFF, 0x7FFF);
    WinTestText("abcdefghij");
    WinTestPumpUntilIdle();
    EXPECT_EQ(GetWindowTextLengthA(re), 20);
    SendMessageA(re, EM_EXLIMITTEXT, 0, 0);
    EXPECT_EQ(SendMessageA(re, EM_GETLIMITTEXT, 0, 0), 65536);
}

TEST_F(RichEditTest, SelectionLinesAndRangesInTheExtendedForms) {
    CHARRANGE set{6, 14};
    EXPECT_EQ(SendMessageA(re, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&set)), 14);
    CHARRANGE got{};
    SendMessageA(re, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(got.cpMin, 6);
    EXPECT_EQ(got.cpMax, 14);
    EXPECT_EQ(SendMessageA(re, EM_EXLINEFROMCHAR, 0, 3), 0);
    EXPECT_EQ(SendMessageA(re, EM_EXLINEFROMCHAR, 0, 13), 1);

    char buf[32] = {};
    TEXTRANGEA tr{{0, 5}, buf};
    EXPECT_EQ(SendMessageA(re, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr)), 5);
    EXPECT_STREQ(buf, "first");
    tr.chrg = CHARRANGE{12, -1};
    EXPECT_EQ(SendMessageA(re, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr)), 6);
    EXPECT_STREQ(buf, "second");
    tr.chrg = CHARRANGE{100, 200};  // past the end: nothing
    EXPECT_EQ(SendMessageA(re, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr)), 0);
    EXPECT_STREQ(buf, "");
}

TEST_F(RichEditTest, TheParentHearsOfChangesAndScrollingOnlyAsTheEventMaskAsks) {
    HWND plain = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 10, 120, 200, 40, parent,
                                 reinterpret_cast<HMENU>(4), nullptr, nullptr);
    EXPECT_EQ(SendMessageA(re, EM_GETEVENTMASK, 0, 0), 0);
    auto typeInto = [&](HWND h, const char* text) {
        SetFocus(h);
        SendMessageA(h, EM_SETSEL, 0x7FFF, 0x7FFF);
        WinTestText(text);
        WinTestPumpUntilIdle();
    };
    WinTestActivate(parent);
    g_notices.clear();
    SetWindowTextA(re, "one\r\ntwo\r\nthree\r\nfour\r\nfive\r\nsix\r\nseven\r\neight\r\nnine");
    typeInto(re, "ab");
    SendMessageA(re, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("cd"));
    SendMessageA(re, WM_VSCROLL, SB_LINEUP, 0);
    typeInto(plain, "ab");
    EXPECT_EQ(NoticesOf(3, EN_CHANGE) + NoticesOf(3, EN_UPDATE) + NoticesOf(3, EN_VSCROLL), 0);
    EXPECT_EQ(NoticesOf(3, EN_SETFOCUS), 1);  // focus notices need no mask
    EXPECT_EQ(NoticesOf(4, EN_CHANGE), 2);
    EXPECT_EQ(NoticesOf(4, EN_UPDATE), 2);

    EXPECT_EQ(SendMessageA(re, EM_SETEVENTMASK, 0, ENM_CHANGE), 0);
    g_notices.clear();
    typeInto(re, "x");
    SendMessageA(re, WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(NoticesOf(3, EN_CHANGE), 1);
    EXPECT_EQ(NoticesOf(3, EN_UPDATE) + NoticesOf(3, EN_VSCROLL), 0);

    EXPECT_EQ(SendMessageA(re, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_UPDATE | ENM_SCROLL), LRESULT(ENM_CHANGE));
    EXPECT_EQ(SendMessageA(re, EM_GETEVENTMASK, 0, 0), LRESULT(ENM_CHANGE | ENM_UPDATE | ENM_SCROLL));
    g_notices.clear();
    typeInto(re, "y");
    SendMessageA(re, WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(NoticesOf(3, EN_CHANGE), 1);
    EXPECT_EQ(NoticesOf(3, EN_UPDATE), 1);
    EXPECT_GE(NoticesOf(3, EN_VSCROLL), 1);
}

}  // namespace
