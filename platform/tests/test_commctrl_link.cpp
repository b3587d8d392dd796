// The link control: links parsed out of its text with their ids and addresses, items and their
// states, hit tests, clicks and keys told with the link's record, wrapping, and the look of
// text and links, printed with WM_PRINTCLIENT as well.
#include <gtest/gtest.h>

#include <string>

#include "commctrl_test_support.h"

using namespace cctest;

namespace {

std::string Narrow(const WCHAR* w) {
    std::string s;
    for (; *w; ++w) s += char(*w);
    return s;
}

struct LinkFixture : ::testing::Test {
    HWND parent = nullptr, link = nullptr;
    std::vector<std::pair<UINT, int>> clicks;  // code, link index
    std::vector<std::string> urls;
    void SetUp() override {
        Reset();
        parent = MakeParent(400, 300);
        OnNotify() = [this](NMHDR* nm, bool*) -> LRESULT {
            if (nm->code == NM_CLICK || nm->code == NM_RETURN) {
                auto* l = reinterpret_cast<NMLINK*>(nm);
                clicks.push_back({nm->code, l->item.iLink});
                urls.push_back(Narrow(l->item.szUrl));
            }
            return 0;
        };
    }
    void TearDown() override {
        Reset();
        DestroyWindow(parent);
        Pump();
    }
    HWND Make(const char* text, DWORD style = 0, const char* cls = WC_LINK, int cx = 300) {
        link = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 10, 10, cx, 60, parent,
                               reinterpret_cast<HMENU>(31), nullptr, nullptr);
        return link;
    }
    LITEM Item(int k) {
        LITEM it{};
        it.mask = LIF_ITEMINDEX | LIF_STATE | LIF_ITEMID | LIF_URL;
        it.iLink = k;
        it.stateMask = LIS_ENABLED | LIS_FOCUSED | LIS_VISITED;
        EXPECT_TRUE(SendMessageA(link, LM_GETITEM, 0, reinterpret_cast<LPARAM>(&it)));
        return it;
    }
    // The first point of link k, found by hit tests along the lines.
    POINT PointOf(int k) {
        for (int y = 0; y < 60; y += 2)
            for (int x = 0; x < 300; ++x) {
                LHITTESTINFO ht{};
                ht.pt = POINT{x, y};
                if (SendMessageA(link, LM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht)) && ht.item.iLink == k) return ht.pt;
            }
        return POINT{-1, -1};
    }
};

TEST_F(LinkFixture, LinksComeFromTheTextWithTheirIdsAndAddresses) {
    Make("Read the <a href=\"http://example.org/a\" id=\"lic\">licence</a> or <A HREF='b.html'>help</A>.");
    LITEM a = Item(0), b = Item(1);
    EXPECT_EQ(Narrow(a.szUrl), "http://example.org/a");
    EXPECT_EQ(Narrow(a.szID), "lic");
    EXPECT_EQ(Narrow(b.szUrl), "b.html");
    EXPECT_EQ(a.state, UINT(LIS_ENABLED));
    LITEM none{};
    none.mask = LIF_ITEMINDEX;
    none.iLink = 2;
    EXPECT_FALSE(SendMessageA(link, LM_GETITEM, 0, reinterpret_cast<LPARAM>(&none)));
    char text[128];
    GetWindowTextA(link, text, sizeof text);
    EXPECT_NE(std::string(text).find("<a href"), std::string::npos);  // the window keeps its markup

    SetWindowTextA(link, "1 < 2 and <a>open to the end");
    LITEM c = Item(0);
    EXPECT_EQ(Narrow(c.szUrl), "");
    EXPECT_GE(PointOf(0).x, 0);
}

TEST_F(LinkFixture, AClickOnALinkTellsTheParentWithItsRecordAndOnTextNothing) {
    Make("Plain words then <a href=\"one\">first</a> and <a href=\"two\">second</a>");
    POINT p = PointOf(1);
    ASSERT_GE(p.x, 0);
    WinTestClick(link, WINTEST_LEFT, p.x + 1, p.y + 2);
    WinTestClick(link, WINTEST_LEFT, 2, 4);  // plain text
    Pump();
    EXPECT_EQ(clicks, (std::vector<std::pair<UINT, int>>{{NM_CLICK, 1}}));
    EXPECT_EQ(urls, (std::vector<std::string>{"two"}));
    EXPECT_EQ(GetFocus(), link);
    EXPECT_EQ(Item(1).state & LIS_FOCUSED, UINT(LIS_FOCUSED));
    EXPECT_EQ(Item(0).state & LIS_FOCUSED, 0u);
}

TEST_F(LinkFixture, DisabledLinksIgnoreClicksAndStatesAreSetByMessage) {
    Make("<a href=\"x\">only</a>");
    LITEM it{};
    it.mask = LIF_ITEMINDEX | LIF_STATE | LIF_URL;
    it.iLink = 0;
    it.state = LIS_VISITED;
    it.stateMask = LIS_ENABLED | LIS_VISITED;
    const char16_t url[] = u"changed";
    std::copy(url, url + 8, it.szUrl);
    ASSERT_TRUE(SendMessageA(link, LM_SETITEM, 0, reinterpret_cast<LPARAM>(&it)));
    LITEM got = Item(0);
    EXPECT_EQ(got.state, UINT(LIS_VISITED));
    EXPECT_EQ(Narrow(got.szUrl), "changed");
    POINT p = PointOf(0);
    WinTestClick(link, WINTEST_LEFT, p.x + 1, p.y + 2);
    Pump();
    EXPECT_TRUE(clicks.empty());
}

TEST_F(LinkFixture, TabMovesAmongTheLinksAndEnterFollowsTheFocusedOne) {
    Make("<a href=\"a\">one</a> <a href=\"b\">two</a>");
    HWND after = CreateWindowExA(0, "Button", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 100, 60, 20, parent, nullptr,
                                 nullptr, nullptr);
    (void)after;
    SetFocus(link);
    Pump();
    EXPECT_EQ(Item(0).state & LIS_FOCUSED, UINT(LIS_FOCUSED));
    EXPECT_EQ(SendMessageA(link, WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB, DLGC_WANTTAB);
    WinTestKeyPress(VK_TAB);
    WinTestKeyPress(VK_RETURN);
    Pump();
    EXPECT_EQ(Item(1).state & LIS_FOCUSED, UINT(LIS_FOCUSED));
    EXPECT_EQ(clicks, (std::vector<std::pair<UINT, int>>{{NM_RETURN, 1}}));
    EXPECT_EQ(SendMessageA(link, WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB, 0);  // the last link lets Tab go on
    SetWindowLongA(link, GWL_STYLE, GetWindowLongA(link, GWL_STYLE) | LWS_IGNORERETURN);
    WinTestKeyPress(VK_RETURN);
    Pump();
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(LinkFixture, TextWrapsAtWordsAndTheIdealHeightCountsTheLines) {
    Make("one two three four five six seven eight nine ten eleven twelve", 0, WC_LINK, 300);
    int one_line = int(SendMessageA(link, LM_GETIDEALHEIGHT, 0, 0));
    SetWindowPos(link, nullptr, 0, 0, 60, 60, SWP_NOMOVE | SWP_NOZORDER);
    int narrow = int(SendMessageA(link, LM_GETIDEALHEIGHT, 0, 0));
    EXPECT_GT(one_line, 8);
    EXPECT_GE(narrow, 3 * one_line);
    EXPECT_EQ(narrow % one_line, 0);
}

TEST_F(LinkFixture, LinksAreDrawnInTheLinkColourAndTheOldClassNameIsTheSameControl) {
    for (const char* cls : {WC_LINK, "Link Window"}) {
        Make("<a href=\"x\">LINKLINKLINK</a> plain plain plain", 0, cls);
        Pump();
        Capture pic(link);
        POINT p = PointOf(0);
        int hot = 0, text = 0;
        for (int x = 0; x < 300; ++x)
            for (int y = 0; y < 20; ++y) {
                COLORREF c = pic.At(x, y);
                hot += WinTestNear(c, GetSysColor(COLOR_HOTLIGHT));
                text += WinTestNear(c, GetSysColor(COLOR_WINDOWTEXT));
            }
        EXPECT_GT(hot, 20) << cls;   // the link, underlined
        EXPECT_GT(text, 10) << cls;  // the plain words
        EXPECT_EQ(pic.At(299, 50), GetSysColor(COLOR_BTNFACE)) << cls;  // the parent's static background
        EXPECT_GE(p.x, 0);

        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP bm = CreateCompatibleBitmap(screen, 300, 60);
        HGDIOBJ old = SelectObject(mem, bm);
        SendMessageA(link, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
        int printed = 0;
        for (int x = 0; x < 300; ++x)
            for (int y = 0; y < 20; ++y) printed += WinTestNear(GetPixel(mem, x, y), GetSysColor(COLOR_HOTLIGHT));
        EXPECT_EQ(printed, hot) << cls;
        SelectObject(mem, old);
        DeleteObject(bm);
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
        DestroyWindow(link);
    }
}

}  // namespace
