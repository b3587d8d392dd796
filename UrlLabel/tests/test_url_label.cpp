// The link control on a framework parent: fitting to its text, hover colours on the layer's
// clock, the hand cursor, a click that opens the address (recorded, not started), the
// registry fallback, and the failure report.
#include <gtest/gtest.h>

#include <string>

#include "UrlLabel.h"
#include "dialogs_test_support.h"
#include "commctrl.h"
#include "winplat_test_shell.h"

using namespace dlgsteps;

namespace {

// Opener results chosen by the test, to reach the failure report.
class FailingLabel : public CUrlLabel {
public:
    int code = 26;
    int opened = 0;

protected:
    HINSTANCE OpenAddress(LPCSTR, int) override {
        ++opened;
        return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(code));
    }
};

class UrlLabelTest : public ::testing::Test {
protected:
    void SetUp() override {
        Steps().clear();
        WinTestShellRecord(TRUE);
        WinTestShellClearRequests();
        ASSERT_TRUE(parent.SubclassWindow(Owner()));
    }
    void TearDown() override {
        EXPECT_TRUE(Steps().empty()) << "a message box step never ran";
        Steps().clear();
        WinTestShellClearRequests();
        WinTestShellRecord(FALSE);
        parent.DestroyWindow();
        WinTestPumpUntilIdle();
    }
    HWND MakeStatic(const char* text, DWORD style, int x, int y, int cx, int cy) {
        HWND h = CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, parent.m_hWnd,
                                 reinterpret_cast<HMENU>(INT_PTR(1050)), nullptr, nullptr);
        WinTestPumpUntilIdle();
        return h;
    }
    CRect RectInParent(HWND h) {
        CRect r;
        ::GetWindowRect(h, &r);
        ::MapWindowPoints(nullptr, parent.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    // The text colour the control asks its parent's WM_CTLCOLORSTATIC for.
    COLORREF TextColour(CUrlLabel& link) {
        HDC dc = ::GetDC(link.m_hWnd);
        ::SetTextColor(dc, RGB(1, 2, 3));
        ::SendMessageA(parent.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(link.m_hWnd));
        COLORREF c = ::GetTextColor(dc);
        ::ReleaseDC(link.m_hWnd, dc);
        return c;
    }
    bool Underlined(CUrlLabel& link) {
        LOGFONTA lf = {};
        HFONT f = reinterpret_cast<HFONT>(::SendMessageA(link.m_hWnd, WM_GETFONT, 0, 0));
        ::GetObjectA(f, sizeof lf, &lf);
        return lf.lfUnderline != 0;
    }
    void Click(HWND h) {
        CRect r;
        ::GetClientRect(h, &r);
        WinTestAdvanceClock(1000);  // apart from the last click, so it is no double-click
        WinTestClick(h, WINTEST_LEFT, r.Width() / 2, r.Height() / 2);
        WinTestPumpUntilIdle();
    }
    // The text of tool 1 of `link` in whichever tooltip of this thread holds it.
    static std::string TipText(HWND link) {
        struct Find {
            HWND link;
            std::string text = "<no tool>";
        } find{link};
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM lp) -> BOOL {
                auto* f = reinterpret_cast<Find*>(lp);
                char cls[64] = {};
                GetClassNameA(w, cls, sizeof cls);
                if (std::string(cls) != TOOLTIPS_CLASSA) return TRUE;
                char buf[256] = {};
                TOOLINFOA ti = {};
                ti.cbSize = sizeof ti;
                ti.hwnd = f->link;
                ti.uId = 1;
                ti.lpszText = buf;
                if (!SendMessageA(w, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti))) return TRUE;
                ti.lpszText = buf;
                SendMessageA(w, TTM_GETTEXTA, sizeof buf, reinterpret_cast<LPARAM>(&ti));
                f->text = buf;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&find));
        return find.text;
    }
    std::string Word(int index, int word) {
        char buf[1024] = {};
        return WinTestShellRequestWord(index, word, buf, sizeof buf) < 0 ? std::string("<none>") : buf;
    }

    CWnd parent;
};

TEST_F(UrlLabelTest, TheWindowIsFittedToItsTextKeepingTheAlignedEdge) {
    CUrlLabel right, centred, plain;
    HWND r = MakeStatic("www.example.org", SS_RIGHT, 100, 20, 300, 40);
    HWND c = MakeStatic("www.example.org", SS_RIGHT | SS_CENTERIMAGE, 100, 80, 300, 40);
    HWND p = MakeStatic("", SS_LEFT, 100, 140, 300, 40);
    plain.SetLinkUrl("http://example.org/page");
    ASSERT_TRUE(right.SubclassWindow(r));
    ASSERT_TRUE(centred.SubclassWindow(c));
    ASSERT_TRUE(plain.SubclassWindow(p));

    CRect rr = RectInParent(r);
    EXPECT_EQ(rr.right, 400) << "SS_RIGHT keeps the right edge";
    EXPECT_GT(rr.left, 100);
    EXPECT_EQ(rr.top, 20) << "without SS_CENTERIMAGE the height is cut from the bottom";
    EXPECT_LT(rr.Height(), 40);
    EXPECT_GT(rr.Height(), 0);

    CRect rc = RectInParent(c);
    EXPECT_EQ(rc.right, 400);
    EXPECT_EQ(rc.Width(), rr.Width());
    EXPECT_NEAR(rc.top + rc.Height() / 2.0, 100.0, 1.0) << "SS_CENTERIMAGE keeps the vertical centre";

    // An empty static shows its address, and the left edge stays.
    CString text;
    plain.GetWindowText(text);
    EXPECT_STREQ((LPCSTR)text, "http://example.org/page");
    CRect rp = RectInParent(p);
    EXPECT_EQ(rp.left, 100);
    EXPECT_GT(rp.Width(), rr.Width()) << "a longer text gives a wider window";
    EXPECT_TRUE(plain.GetStyle() & SS_NOTIFY);
    EXPECT_EQ(TipText(p), "http://example.org/page");
    EXPECT_EQ(TipText(r), "www.example.org") << "a static's text is its address";
    plain.SetTipText("Our home page");
    EXPECT_EQ(TipText(p), "Our home page");

    // Switching auto-size off leaves the window alone.
    plain.SetAutoSize(FALSE);
    ::MoveWindow(p, 100, 140, 300, 40, TRUE);
    plain.SetLinkUrl("x");
    EXPECT_EQ(RectInParent(p).Width(), 300);
    EXPECT_EQ(TipText(p), "x") << "a new address is the new tip";
}

TEST_F(UrlLabelTest, HoverColourAndUnderlineFollowTheMouseOnTheClock) {
    CUrlLabel link;
    HWND h = MakeStatic("Home page", SS_LEFT, 40, 40, 200, 30);
    ASSERT_TRUE(link.SubclassWindow(h));
    EXPECT_EQ(TextColour(link), RGB(0, 0, 238));
    EXPECT_FALSE(Underlined(link));

    WinTestMouseMove(h, 2, 2);
    WinTestPumpUntilIdle();
    EXPECT_TRUE(link.IsOver());
    EXPECT_EQ(TextColour(link), RGB(255, 0, 0));
    EXPECT_TRUE(Underlined(link));

    // Still inside: a tick changes nothing.
    WinTestMouseMove(h, 3, 3);
    WinTestAdvanceClock(100);
    WinTestPumpUntilIdle();
    EXPECT_TRUE(link.IsOver());

    WinTestMouseMove(parent.m_hWnd, 5, 5);
    WinTestPumpUntilIdle();
    EXPECT_TRUE(link.IsOver()) << "leaving is noticed on the next tick";
    WinTestAdvanceClock(100);
    WinTestPumpUntilIdle();
    EXPECT_FALSE(link.IsOver());
    EXPECT_EQ(TextColour(link), RGB(0, 0, 238));
    EXPECT_FALSE(Underlined(link));

    // Always underlined stays so after the mouse leaves; the system highlight stands in for -1.
    link.SetUnderlineMode(1);
    EXPECT_TRUE(Underlined(link));
    link.SetLinkColors(RGB(1, 1, 1), RGB(2, 2, 2));
    EXPECT_EQ(link.GetHoverColor(), ::GetSysColor(COLOR_HIGHLIGHT));
    WinTestMouseMove(h, 2, 2);
    WinTestPumpUntilIdle();
    EXPECT_EQ(TextColour(link), ::GetSysColor(COLOR_HIGHLIGHT));
    WinTestMouseMove(parent.m_hWnd, 5, 5);
    WinTestAdvanceClock(100);
    WinTestPumpUntilIdle();
    EXPECT_FALSE(link.IsOver());
    EXPECT_TRUE(Underlined(link));
    link.SetVisited(TRUE);
    EXPECT_EQ(TextColour(link), RGB(2, 2, 2));

    // The hand cursor is shown over the link.
    ASSERT_NE(link.GetLinkCursor(), nullptr);
    EXPECT_TRUE(::SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(::GetCursor(), link.GetLinkCursor());
    EXPECT_EQ(link.GetLinkCursor(), ::LoadCursorA(nullptr, IDC_HAND));
}

// The letters have antialiased edges and no background of their own: after a hover the link
// looks as it did before, with no trace of the hover colour along the letters.
TEST_F(UrlLabelTest, AfterTheMouseLeavesTheLinkLooksAsBeforeItCame) {
    // A parent that paints a background of its own (the test owner paints none).
    static const bool registered = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1));
        wc.lpszClassName = "UrlLabelTestBackground";
        return RegisterClassA(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
    CWnd back;
    ASSERT_TRUE(back.SubclassWindow(CreateWindowExA(0, "UrlLabelTestBackground", "", WS_CHILD | WS_VISIBLE, 0, 0, 300,
                                                    200, parent.m_hWnd, nullptr, nullptr, nullptr)));
    CUrlLabel link;
    HWND h = CreateWindowExA(0, "STATIC", "Welcome to the home page", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOTIFY, 40,
                             40, 200, 30, back.m_hWnd, reinterpret_cast<HMENU>(INT_PTR(1050)), nullptr, nullptr);
    ASSERT_TRUE(link.SubclassWindow(h));
    link.SetUnderlineMode(1);
    WinTestPumpUntilIdle();
    const WinTestWindowPicture before(h);
    ASSERT_GT(before.CountNear(RGB(0, 0, 238), 0), 0);
    for (int round = 0; round < 3; ++round) {
        WinTestMouseMove(h, 2, 2);
        WinTestPumpUntilIdle();
        ASSERT_GT(WinTestWindowPicture(h).CountNear(RGB(255, 0, 0), 0), 0);
        WinTestMouseMove(back.m_hWnd, 5, 5);
        WinTestAdvanceClock(100);
        WinTestPumpUntilIdle();
        ASSERT_FALSE(link.IsOver());
    }
    const WinTestWindowPicture after(h);
    int differ = 0;
    for (int y = 0; y < before.h; ++y)
        for (int x = 0; x < before.w; ++x) differ += after.At(x, y) != before.At(x, y);
    EXPECT_EQ(differ, 0);
    link.UnsubclassWindow();
    back.DestroyWindow();
}

TEST_F(UrlLabelTest, AClickOpensTheAddressOrFallsBackToTheRegisteredBrowser) {
    CUrlLabel link;
    HWND h = MakeStatic("Visit", SS_LEFT, 40, 40, 200, 30);
    link.SetLinkUrl("http://example.org/a b");
    ASSERT_TRUE(link.SubclassWindow(h));
    Click(h);
    ASSERT_EQ(WinTestShellRequestCount(), 1);
    EXPECT_EQ(Word(0, 0), "xdg-open");
    EXPECT_EQ(Word(0, 1), "http://example.org/a b");
    EXPECT_EQ(Word(0, 2), "<none>");
    EXPECT_TRUE(link.GetVisited());
    EXPECT_FALSE(link.IsOver());
    EXPECT_EQ(TextColour(link), RGB(85, 26, 139));

    // A page the shell cannot find goes to the ".htm" program, the address staying one word.
    WinTestShellClearRequests();
    link.SetVisited(FALSE);
    link.SetLinkUrl("no such page.htm");
    Click(h);
    ASSERT_EQ(WinTestShellRequestCount(), 1);
    EXPECT_EQ(Word(0, 0), "xdg-open");
    EXPECT_EQ(Word(0, 1), "no such page.htm");
    EXPECT_EQ(Word(0, 2), "<none>");
    EXPECT_TRUE(link.GetVisited());
}

TEST_F(UrlLabelTest, AFailedOpenBeepsReportsTheCodeAndStaysUnvisited) {
    FailingLabel link;
    HWND h = MakeStatic("Broken", SS_LEFT, 40, 40, 200, 30);
    link.SetLinkUrl("http://example.org/");
    ASSERT_TRUE(link.SubclassWindow(h));

    std::vector<std::string> shown;
    auto read_and_close = [&](HWND box) {
        char buf[512] = {};
        GetDlgItemTextA(box, 0xFFFF, buf, sizeof buf);
        shown.push_back(buf);
        ClickButton(box, IDOK);
    };
    Steps() = {read_and_close};
    Click(h);
    link.code = 12;
    Steps() = {read_and_close};
    Click(h);
    link.code = 0;
    Steps() = {read_and_close};
    Click(h);

    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], "Unable to open hyperlink:\n\nA sharing violation occurred. ");
    EXPECT_EQ(shown[1], "Unable to open hyperlink:\n\nUnknown Error (12) occurred.");
    EXPECT_EQ(shown[2], "Unable to open hyperlink:\n\nThe operating system is out\nof memory or resources.");
    EXPECT_EQ(link.opened, 3);
    EXPECT_FALSE(link.GetVisited());

    // The rest of the table, read directly.
    EXPECT_EQ(std::string(CUrlLabel::ErrorText(31)),
              "Unable to open hyperlink:\n\nThere is no application associated\nwith the given filename extension.");
    EXPECT_EQ(std::string(CUrlLabel::ErrorText(33)), "Unable to open hyperlink:\n\nUnknown Error (33) occurred.");
}

}  // namespace
