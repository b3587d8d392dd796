// Very long, empty and hostile texts (ampersands, tabs, line breaks, letters beyond ASCII) in
// every bar-like control these skinners draw: drawn inside their own item, never past a buffer.
#include "commctl_test_support.h"

#include "CommCtlDraw.h"
#include "CommCtlSkins.h"

using namespace cctest;

namespace {

const std::string kHostile = kHostileText;
const std::string kLong = Repeated("Long title ", 300);

class LongTextTest : public CommCtlTest {
protected:
    // The control's client rectangle `r` in the host's picture.
    static RECT InHostRect(HWND control, const CHost& host, RECT r)
    {
        const RECT c = ClientRectIn(control, host);
        OffsetRect(&r, c.left, c.top);
        return r;
    }
    // The text colour shows in the item and nowhere else in the control.
    static void ExpectTextOnlyIn(const CPicture& p, const RECT& control, const RECT& item, COLORREF text)
    {
        const int inside = p.Count(item, text);
        EXPECT_GT(inside, 0);
        EXPECT_EQ(p.Count(control, text), inside);
    }
};

// The platform reports a part's length in 16 bits: a longer text is read no further than that.
TEST_F(LongTextTest, AStatusPartOfAnyLengthIsDrawnInsideItsPart)
{
    UseSkin();
    CHost host;
    HWND status = host.Add(STATUSCLASSNAMEA, "", CCS_NORESIZE | CCS_NOPARENTALIGN, RECT{0, 200, 360, 224}, 100);
    const int edges[3] = {120, 240, -1};
    SendMessageA(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    ASSERT_TRUE(host.Skin());
    // Set under the skin: the bar's own painting of so long a text would take its time.
    const std::string huge = Repeated("Ready ", 70000);
    SendMessageA(status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(huge.c_str()));
    SendMessageA(status, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(""));
    SendMessageA(status, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(kHostile.c_str()));
    WinTestPumpUntilIdle();
    CPicture p = host.Picture();
    auto part = [&](int i) {
        RECT r{};
        SendMessageA(status, SB_GETRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r));
        return InHostRect(status, host, r);
    };
    const RECT whole = ClientRectIn(status, host);
    const int first = p.Count(part(0), kBarText), last = p.Count(part(2), kBarText);
    EXPECT_GT(first, 0);
    EXPECT_EQ(p.Count(part(1), kBarText), 0);  // the empty part
    EXPECT_GT(last, 0);
    EXPECT_EQ(p.Count(whole, kBarText), first + last);
}

TEST_F(LongTextTest, HeaderItemsWithLongAndHostileTextsKeepTheirTextInside)
{
    UseSkin();
    CHost host;
    HWND header = host.Add(WC_HEADERA, "", 0, RECT{10, 10, 330, 40}, 100);
    const std::string texts[3] = {kLong, "", kHostile};
    for (int i = 0; i < 3; ++i) {
        HDITEMA item{};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.cxy = 100;
        item.fmt = HDF_LEFT;
        item.pszText = const_cast<char*>(texts[i].c_str());
        SendMessageA(header, HDM_INSERTITEMA, WPARAM(i), reinterpret_cast<LPARAM>(&item));
    }
    ASSERT_TRUE(host.Skin());
    CPicture p = host.Picture();
    RECT items[3];
    for (int i = 0; i < 3; ++i) {
        SendMessageA(header, HDM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&items[i]));
        items[i] = InHostRect(header, host, items[i]);
    }
    const RECT whole = ClientRectIn(header, host);
    const int first = p.Count(items[0], kBarText), last = p.Count(items[2], kBarText);
    EXPECT_GT(first, 0);
    EXPECT_EQ(p.Count(items[1], kBarText), 0);
    EXPECT_GT(last, 0);
    EXPECT_EQ(p.Count(whole, kBarText), first + last);
}

TEST_F(LongTextTest, RebarBandsWithLongAndHostileTitlesKeepTheirTitleInside)
{
    UseSkin();
    CHost host;
    HWND rebar = host.Add(REBARCLASSNAMEA, "", CCS_NORESIZE | CCS_NOPARENTALIGN, RECT{0, 0, 360, 80}, 100);
    for (const std::string& t : {kLong, kHostile}) {
        REBARBANDINFOA band{};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_TEXT | RBBIM_SIZE | RBBIM_STYLE;
        band.fStyle = RBBS_BREAK;
        band.lpText = const_cast<char*>(t.c_str());
        band.cx = 300;
        SendMessageA(rebar, RB_INSERTBANDA, WPARAM(-1), reinterpret_cast<LPARAM>(&band));
    }
    ASSERT_TRUE(host.Skin());
    CPicture p = host.Picture();
    for (int i = 0; i < 2; ++i) {
        RECT r{};
        ASSERT_TRUE(SendMessageA(rebar, RB_GETRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r)));
        EXPECT_GT(p.Count(InHostRect(rebar, host, r), kBarText), 0) << i;
    }
}

TEST_F(LongTextTest, TabsWithLongEmptyAndHostileTextsKeepTheirTextInside)
{
    UseSkin();
    CHost host;
    HWND tab = host.Add(WC_TABCONTROLA, "", WS_CLIPSIBLINGS | TCS_FIXEDWIDTH, RECT{10, 10, 330, 170}, 100);
    SendMessageA(tab, TCM_SETITEMSIZE, 0, MAKELPARAM(90, 20));
    const std::string texts[3] = {kLong, "", kHostile};
    for (int i = 0; i < 3; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(texts[i].c_str());
        SendMessageA(tab, TCM_INSERTITEMA, WPARAM(i), reinterpret_cast<LPARAM>(&item));
    }
    ASSERT_TRUE(host.Skin());
    CPicture p = host.Picture();
    RECT items[3];
    for (int i = 0; i < 3; ++i) {
        SendMessageA(tab, TCM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&items[i]));
        items[i] = InHostRect(tab, host, items[i]);
    }
    EXPECT_GT(p.Count(items[0], kTabText), 0);
    EXPECT_EQ(p.Count(items[1], kTabText), 0);
    EXPECT_GT(p.Count(items[2], kTabText), 0);
    // Nothing of the texts strays onto the page below the tabs.
    const RECT page = InHostRect(tab, host, SkinOf<CSkinTab>(tab)->GetPageRect());
    EXPECT_EQ(p.Count(page, kTabText), 0);
}

TEST_F(LongTextTest, ToolButtonsWithLongAndHostileTextsAreReadWhole)
{
    UseSkin();
    CHost host;
    HWND bar = host.Add(TOOLBARCLASSNAMEA, "", CCS_NORESIZE | CCS_NOPARENTALIGN | TBSTYLE_LIST, RECT{0, 0, 360, 40}, 100);
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    const std::string huge = Repeated("Tool ", 70000);
    const std::string texts[3] = {huge, "", kHostile};
    TBBUTTON b[3] = {};
    for (int i = 0; i < 3; ++i) {
        b[i].iBitmap = -2;  // no image
        b[i].idCommand = 40 + i;
        b[i].fsState = TBSTATE_ENABLED;
        b[i].fsStyle = BTNS_BUTTON | BTNS_SHOWTEXT;
        b[i].iString = reinterpret_cast<INT_PTR>(texts[i].c_str());
    }
    SendMessageA(bar, TB_ADDBUTTONSA, 3, reinterpret_cast<LPARAM>(b));
    ASSERT_TRUE(host.Skin());
    ASSERT_NE(SkinOf<CSkinToolBar>(bar), nullptr);
    EXPECT_EQ(commctl::ToolButtonText(bar, 40), huge);
    EXPECT_EQ(commctl::ToolButtonText(bar, 41), "");
    EXPECT_EQ(commctl::ToolButtonText(bar, 42), kHostile);
}

}  // namespace
