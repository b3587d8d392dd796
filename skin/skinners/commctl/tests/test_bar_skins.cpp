// Tabs, headers, tool bars, rebars, status bars and control bars under the flat-colour skin:
// every state's image where the control shows it, turned images on the bottom and the sides,
// texts inside their margins, and the tab as the background of the controls on it.
#include "commctl_test_support.h"

#include "CommCtlSkins.h"

using namespace cctest;

namespace {

void AddTabs(HWND tab, std::initializer_list<const char*> texts)
{
    int i = 0;
    for (const char* t : texts) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(t);
        SendMessageA(tab, TCM_INSERTITEMA, WPARAM(i++), reinterpret_cast<LPARAM>(&item));
    }
}

RECT TabRect(HWND tab, int i)
{
    RECT r{};
    SendMessageA(tab, TCM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r));
    return r;
}

class BarSkinTest : public CommCtlTest {};

TEST_F(BarSkinTest, TabsShowTheirStateImagesThePageAndTurnedImagesOnTheBottom)
{
    UseSkin();
    CHost host;
    HWND tab = host.Add(WC_TABCONTROLA, "", WS_CLIPSIBLINGS, RECT{10, 10, 330, 170}, 100);
    AddTabs(tab, {"One", "Two", "Three"});
    SendMessageA(tab, TCM_HIGHLIGHTITEM, 2, MAKELPARAM(TRUE, 0));
    ASSERT_TRUE(host.Skin());
    ASSERT_NE(SkinOf<CSkinTab>(tab), nullptr);
    auto topEdge = [&](int i) {
        const RECT r = TabRect(tab, i);
        return POINT{(r.left + r.right) / 2, r.top + 2};
    };
    EXPECT_EQ(PainterAt(tab, topEdge(0)), skin->Describe(Cell("Tab.states[1].grid", 1)));  // selected
    EXPECT_EQ(PainterAt(tab, topEdge(1)), skin->Describe(Cell("Tab.states[0].grid", 1)));
    EXPECT_EQ(PainterAt(tab, topEdge(2)), skin->Describe(Cell("Tab.states[2].grid", 1)));  // highlighted
    const RECT page = SkinOf<CSkinTab>(tab)->GetPageRect();
    EXPECT_EQ(page.top, TabRect(tab, 0).bottom - 1);
    EXPECT_EQ(PainterAt(tab, Mid(page)), skin->Describe(Cell("Tab.page")));
    // The text of every tab in its state's colour.
    CPicture p = host.Picture();
    RECT first = TabRect(tab, 1);
    OffsetRect(&first, ClientRectIn(tab, host).left, ClientRectIn(tab, host).top);
    EXPECT_GT(p.Count(first, kTabText), 0);

    EnableWindow(tab, FALSE);
    WinTestPumpUntilIdle();
    EXPECT_EQ(PainterAt(tab, topEdge(0)), skin->Describe(Cell("Tab.states[3].grid", 1)));

    // Bottom tabs: the page above them and each image upside down.
    EnableWindow(tab, TRUE);
    SetWindowLongA(tab, GWL_STYLE, GetWindowLongA(tab, GWL_STYLE) | TCS_BOTTOM);
    SetWindowPos(tab, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    InvalidateRect(tab, nullptr, TRUE);
    WinTestPumpUntilIdle();
    const RECT bottomTab = TabRect(tab, 1);
    EXPECT_EQ(PainterAt(tab, POINT{(bottomTab.left + bottomTab.right) / 2, bottomTab.bottom - 3}),
              skin->Describe(Cell("Tab.states[0].grid", 1)));
    EXPECT_EQ(PainterAt(tab, POINT{bottomTab.left + 2, bottomTab.bottom - 3}),
              skin->Describe(Cell("Tab.states[0].grid", 2)));  // the top-right corner, turned
    EXPECT_EQ(SkinOf<CSkinTab>(tab)->GetPageRect().bottom, TabRect(tab, 0).top + 1);
}

TEST_F(BarSkinTest, AnOwnerDrawnTabStaysUnskinnedAndALinkOnATabShowsThePageBehindIt)
{
    UseSkin(CFlatSkin::Options(), true);
    CHost host;
    HWND drawn = host.Add(WC_TABCONTROLA, "", TCS_OWNERDRAWFIXED, RECT{10, 180, 200, 220}, 101);
    HWND tab = host.Add(WC_TABCONTROLA, "", WS_CLIPSIBLINGS, RECT{10, 10, 330, 170}, 100);
    AddTabs(tab, {"Page"});
    HWND link = host.Add("Link Window", "see <a>here</a>", 0, RECT{40, 80, 240, 110}, 102);
    SetWindowPos(link, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_TRUE(host.Skin());
    EXPECT_EQ(SkinOf(drawn), nullptr);
    ASSERT_NE(SkinOf(link), nullptr);
    RedrawWindow(link, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    WinTestPumpUntilIdle();
    RECT lc;
    GetClientRect(link, &lc);
    // Away from the text: the page of the tab, as the tab paints it there.
    EXPECT_EQ(PainterAt(link, POINT{lc.right - 4, lc.bottom / 2}), skin->Describe(Cell("Tab.page")));
}

TEST_F(BarSkinTest, HeaderItemsShowTheirImageAndTextAlignedAsTheirFormatSays)
{
    UseSkin();
    CHost host;
    HWND header = host.Add(WC_HEADERA, "", 0, RECT{10, 10, 330, 40}, 100);
    const int formats[2] = {HDF_LEFT, HDF_RIGHT};
    for (int i = 0; i < 2; ++i) {
        HDITEMA item{};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.cxy = 150;
        item.fmt = formats[i];
        item.pszText = const_cast<char*>("Name");
        SendMessageA(header, HDM_INSERTITEMA, WPARAM(i), reinterpret_cast<LPARAM>(&item));
    }
    ASSERT_TRUE(host.Skin());
    CPicture p = host.Picture();
    const RECT hc = ClientRectIn(header, host);
    RECT items[2];
    for (int i = 0; i < 2; ++i) {
        SendMessageA(header, HDM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&items[i]));
        OffsetRect(&items[i], hc.left, hc.top);
    }
    const RECT left = p.BoundsOfOthers(RECT{items[0].left + 10, items[0].top + 10, items[0].right - 10, items[0].bottom - 10},
                                       Cell("Header.item"));
    const RECT right = p.BoundsOfOthers(RECT{items[1].left + 10, items[1].top + 10, items[1].right - 10, items[1].bottom - 10},
                                        Cell("Header.item"));
    ASSERT_FALSE(IsRectEmpty(&left));
    ASSERT_FALSE(IsRectEmpty(&right));
    EXPECT_GT(p.Count(left, kBarText), 0);
    EXPECT_LT(left.left - items[0].left, 20);     // at the item's left margin
    EXPECT_LT(items[1].right - right.right, 20);  // at the right margin of the second
    EXPECT_GT(right.left - items[1].left, 60);
}

HIMAGELIST SolidImages(int count)
{
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32, count, 0);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 16 * count, 16);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all{0, 0, 16 * count, 16};
    HBRUSH brush = CreateSolidBrush(RGB(5, 6, 7));
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    ImageList_Add(list, bmp, nullptr);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return list;
}

HWND MakeToolBar(CHost& host, HWND parent, HIMAGELIST images)
{
    HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NORESIZE |
                               CCS_NODIVIDER, 0, 0, 300, 30, parent, reinterpret_cast<HMENU>(200), nullptr, nullptr);
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    TBBUTTON b[4] = {};
    const BYTE states[4] = {TBSTATE_ENABLED, TBSTATE_ENABLED | TBSTATE_CHECKED, 0, TBSTATE_ENABLED};
    for (int i = 0; i < 4; ++i) {
        b[i].iBitmap = 0;
        b[i].idCommand = 300 + i;
        b[i].fsState = states[i];
        b[i].fsStyle = i == 1 ? TBSTYLE_CHECK : TBSTYLE_BUTTON;
    }
    SendMessageA(bar, TB_ADDBUTTONSA, 4, reinterpret_cast<LPARAM>(b));
    (void)host;
    return bar;
}

RECT ButtonRect(HWND bar, int command)
{
    RECT r{};
    SendMessageA(bar, TB_GETRECT, WPARAM(command), reinterpret_cast<LPARAM>(&r));
    return r;
}

TEST_F(BarSkinTest, ToolButtonsShowTheirStateAndTheHotOneFollowsTheMouse)
{
    UseSkin();
    CHost host;
    HIMAGELIST images = SolidImages(1);
    HWND bar = MakeToolBar(host, host, images);
    ASSERT_TRUE(host.Skin());
    ASSERT_NE(SkinOf<CSkinToolBar>(bar), nullptr);
    auto corner = [&](int command) {
        const RECT r = ButtonRect(bar, command);
        return POINT{r.left + 1, r.top + 1};
    };
    EXPECT_EQ(PainterAt(bar, corner(300)), skin->Describe(Cell("ToolBar.grids[0]", 0)));
    EXPECT_EQ(PainterAt(bar, corner(301)), skin->Describe(Cell("ToolBar.grids[1]", 0)));  // checked
    EXPECT_EQ(PainterAt(bar, corner(302)), skin->Describe(Cell("ToolBar.grids[3]", 0)));  // disabled
    const RECT r = ButtonRect(bar, 303);
    const RECT bc = ClientRectIn(bar, host);
    RECT wr;
    GetWindowRect(host, &wr);
    WinTestMouseMove(nullptr, wr.left + bc.left + (r.left + r.right) / 2, wr.top + bc.top + (r.top + r.bottom) / 2);
    WinTestPumpUntilIdle();
    EXPECT_EQ(PainterAt(bar, corner(303)), skin->Describe(Cell("ToolBar.grids[2]", 0)));
    // Off the buttons the hot look goes.
    WinTestMouseMove(nullptr, wr.left + bc.left + 290, wr.top + bc.top + 15);
    WinTestPumpUntilIdle();
    EXPECT_EQ(PainterAt(bar, corner(303)), skin->Describe(Cell("ToolBar.grids[0]", 0)));
    DestroyWindow(bar);
    ImageList_Destroy(images);
}

TEST_F(BarSkinTest, AToolBarDockedAtTheLeftOfAControlBarDrawsItsBackgroundTurned)
{
    UseSkin();
    CHost host;
    skinkit::WindowSpec spec;
    spec.cls = "AfxControlBar42s";
    spec.style = WS_CHILD | WS_VISIBLE | commctl::kAlignLeft;
    spec.parent = host;
    spec.rect = RECT{0, 0, 40, 150};
    HWND dock = skinkit::CreateSyntheticWindow(spec);
    HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NODIVIDER, 0, 0,
                               40, 150, dock, nullptr, nullptr, nullptr);
    ASSERT_TRUE(host.Skin());
    auto* skinner = SkinOf<CSkinToolBar>(bar);
    ASSERT_NE(skinner, nullptr);
    EXPECT_EQ(skinner->GetDockSide(), commctl::Side::Left);
    // Turned a quarter to the left: the grid's top-right cell lies at the top-left.
    EXPECT_EQ(PainterAt(bar, POINT{2, 2}), skin->Describe(Cell("ToolBar.background", 2)));
    EXPECT_EQ(PainterAt(bar, POINT{2, 147}), skin->Describe(Cell("ToolBar.background", 0)));
    // The control bar itself: the tool-bar look's background, as it is.
    ASSERT_NE(SkinOf<CSkinControlBar>(dock), nullptr);
}

TEST_F(BarSkinTest, StatusPartsShowTheirImageTheirTextWithinTheMarginsAndEmptyPartsNoText)
{
    UseSkin();
    CHost host;
    HWND status = host.Add(STATUSCLASSNAMEA, "", CCS_NORESIZE | CCS_NOPARENTALIGN, RECT{0, 200, 360, 224}, 100);
    const int edges[3] = {120, 240, -1};
    SendMessageA(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    SendMessageA(status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("Ready and waiting for the next file"));
    SendMessageA(status, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>("3 files"));
    ASSERT_TRUE(host.Skin());
    CPicture p = host.Picture();
    const RECT sc = ClientRectIn(status, host);
    auto part = [&](int i) {
        RECT r{};
        SendMessageA(status, SB_GETRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r));
        OffsetRect(&r, sc.left, sc.top);
        return r;
    };
    const COLORREF middle = Cell("StatusBar.pane");
    // The columns that show the text's colour.
    int first = -1, last = -1;
    for (int x = part(0).left; x < part(0).right; ++x)
        if (p.Count(RECT{x, part(0).top, x + 1, part(0).bottom}, kBarText) > 0) {
            first = first < 0 ? x : first;
            last = x;
        }
    ASSERT_GE(first, 0);
    EXPECT_GE(first, part(0).left + 10);  // the pane's left margin
    EXPECT_LE(first, part(0).left + 14);
    EXPECT_LT(last, part(0).right - 10);  // cut with an ellipsis before the right one
    const RECT inner1{part(1).left + 10, part(1).top + 10, part(1).right - 10, part(1).bottom - 10};
    EXPECT_TRUE(IsRectEmpty(&inner1) || p.IsUniform(inner1, middle));
    EXPECT_EQ(p.At(part(1).left + 1, part(1).top + 1), Cell("StatusBar.pane", 0));
}

TEST_F(BarSkinTest, AStatusBarInASkinWithoutItsObjectIsDrawnFromThePlainLook)
{
    std::vector<std::unique_ptr<CSkinObject>> objects;
    objects.push_back(MakeFrameObject());
    skin = std::make_unique<CFlatSkin>(std::move(objects));
    skin->Apply();
    CHost host;
    HWND status = host.Add(STATUSCLASSNAMEA, "", CCS_NORESIZE | CCS_NOPARENTALIGN, RECT{0, 200, 360, 224}, 100);
    auto* skinner = new CSkinStatusBar(nullptr);
    ASSERT_TRUE(skinner->Attach(status));
    RedrawWindow(status, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(PixelAt(status, POINT{5, 5}), GetSysColor(COLOR_BTNFACE));
    skinner->Detach();
    delete skinner;
}

TEST_F(BarSkinTest, RebarBandsShowTheirImageAndTitle)
{
    UseSkin();
    CHost host;
    HWND rebar = host.Add(REBARCLASSNAMEA, "", CCS_NORESIZE | CCS_NOPARENTALIGN, RECT{0, 0, 360, 40}, 100);
    REBARBANDINFOA band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_TEXT | RBBIM_SIZE;
    band.lpText = const_cast<char*>("Band");
    band.cx = 300;
    SendMessageA(rebar, RB_INSERTBANDA, WPARAM(-1), reinterpret_cast<LPARAM>(&band));
    ASSERT_TRUE(host.Skin());
    RECT r{};
    SendMessageA(rebar, RB_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(PainterAt(rebar, POINT{r.left + 1, r.top + 1}), skin->Describe(Cell("Rebar.band", 0)));
    CPicture p = host.Picture();
    const RECT rc = ClientRectIn(rebar, host);
    OffsetRect(&r, rc.left, rc.top);
    EXPECT_GT(p.Count(r, kBarText), 0);
}

}  // namespace
