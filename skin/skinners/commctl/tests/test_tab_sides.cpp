// Tabs on the sides: each tab's picture turned so that its top edge faces away from the page
// (left tabs a quarter turn back, right tabs a quarter turn on), told apart by the corners of
// the flat skin's grid, whose nine cells all differ. And every tab's text in its own state's
// colour, on every side.
#include "commctl_test_support.h"

#include "CommCtlSkins.h"

using namespace cctest;

namespace {

class TabSideTest : public CommCtlTest {
protected:
    HWND SideTabs(CHost& host, DWORD side)
    {
        HWND tab = host.Add(WC_TABCONTROLA, "", WS_CLIPSIBLINGS | TCS_VERTICAL | TCS_MULTILINE | side,
                            RECT{10, 10, 330, 230}, 100);
        for (const char* t : {"One", "Two"}) {
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<char*>(t);
            SendMessageA(tab, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
        SendMessageA(tab, TCM_SETCURSEL, 0, 0);
        return tab;
    }
    // The painter of a tab's pixel, `in` pixels inside its rectangle from the named corner or
    // edge middle (x: -1 left, 0 middle, 1 right; y the same).
    std::string At(HWND tab, int index, int x, int y, int in = 1) const
    {
        RECT r{};
        SendMessageA(tab, TCM_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r));
        const int px = x < 0 ? r.left + in : x > 0 ? r.right - 1 - in : (r.left + r.right) / 2;
        const int py = y < 0 ? r.top + in : y > 0 ? r.bottom - 1 - in : (r.top + r.bottom) / 2;
        return PainterAt(tab, POINT{px, py});
    }
    std::string Grid(int cell) const { return skin->Describe(Cell("Tab.states[0].grid", cell)); }

    // Text colours of the tab states (normal, selected, hot, disabled), one each.
    static COLORREF StateText(int state) { return RGB(30 + 60 * state, 200 - 50 * state, 90); }
    void UseStateColours()
    {
        auto objects = CommonObjects();
        for (auto& o : objects)
            if (auto* tab = dynamic_cast<CSkinTabObject*>(o.get()))
                for (int s = 0; s < 4; ++s)
                    tab->m_states[s].style.SetTextColor(StateText(s));
        skin = std::make_unique<CFlatSkin>(std::move(objects));
        skin->Apply();
    }
    // The text colours found in a tab: which states' colours its text is drawn in.
    std::vector<int> TextStates(HWND tab, int index) const
    {
        RECT r{};
        SendMessageA(tab, TCM_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r));
        HWND top = GetAncestor(tab, GA_ROOT);
        const POINT a = InHost(tab, top, POINT{r.left, r.top}), b = InHost(tab, top, POINT{r.right, r.bottom});
        const CPicture p = CPicture::OfWindow(top);
        std::vector<int> states;
        for (int s = 0; s < 4; ++s)
            if (p.Count(RECT{a.x, a.y, b.x, b.y}, StateText(s)) > 0)
                states.push_back(s);
        return states;
    }
};

TEST_F(TabSideTest, EachTabsTextIsDrawnInItsOwnStatesColourOnEverySide)
{
    for (DWORD side : {DWORD(0), DWORD(TCS_BOTTOM), DWORD(TCS_VERTICAL | TCS_MULTILINE),
                       DWORD(TCS_VERTICAL | TCS_MULTILINE | TCS_RIGHT)}) {
        SCOPED_TRACE("style " + std::to_string(side));
        UseStateColours();
        CHost host;
        HWND tab = host.Add(WC_TABCONTROLA, "", WS_CLIPSIBLINGS | side, RECT{10, 10, 330, 230}, 100);
        for (const char* t : {"Mw", "Mw", "Mw"}) {
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<char*>(t);
            SendMessageA(tab, TCM_INSERTITEMA, 3, reinterpret_cast<LPARAM>(&item));
        }
        SendMessageA(tab, TCM_SETCURSEL, 1, 0);
        SendMessageA(tab, TCM_HIGHLIGHTITEM, 2, MAKELPARAM(TRUE, 0));
        ASSERT_TRUE(host.Skin());
        EXPECT_EQ(TextStates(tab, 0), std::vector<int>{0});
        EXPECT_EQ(TextStates(tab, 1), std::vector<int>{1});
        EXPECT_EQ(TextStates(tab, 2), std::vector<int>{2});
        EnableWindow(tab, FALSE);
        WinTestPumpUntilIdle();
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(TextStates(tab, i), std::vector<int>{3}) << "tab " << i;
        ResetEngine();
        InstallCommonControlSkinners();
    }
}

TEST_F(TabSideTest, LeftTabsFaceLeftWithTheirPictureTurnedBack)
{
    UseSkin();
    CHost host;
    HWND tab = SideTabs(host, 0);
    ASSERT_TRUE(host.Skin());
    ASSERT_NE(SkinOf<CSkinTab>(tab), nullptr);
    RECT r{};
    SendMessageA(tab, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    ASSERT_GT(r.bottom - r.top, r.right - r.left);  // a standing tab
    // Tab 1 is not selected: the normal picture. Its top edge at the left, its top-right corner
    // at the top left, its top-left corner at the bottom left, its bottom edge at the right.
    EXPECT_EQ(At(tab, 1, -1, 0), Grid(1));
    EXPECT_EQ(At(tab, 1, -1, -1), Grid(2));
    EXPECT_EQ(At(tab, 1, -1, 1), Grid(0));
    EXPECT_EQ(At(tab, 1, 1, -1), Grid(8));
    EXPECT_EQ(At(tab, 1, 1, 1), Grid(6));
    EXPECT_EQ(SkinOf<CSkinTab>(tab)->GetPageRect().left, r.right - 1);
}

TEST_F(TabSideTest, RightTabsFaceRightWithTheirPictureTurnedOn)
{
    UseSkin();
    CHost host;
    HWND tab = SideTabs(host, TCS_RIGHT);
    ASSERT_TRUE(host.Skin());
    RECT r{};
    SendMessageA(tab, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    ASSERT_GT(r.bottom - r.top, r.right - r.left);
    EXPECT_EQ(At(tab, 1, 1, 0), Grid(1));
    EXPECT_EQ(At(tab, 1, 1, -1), Grid(0));
    EXPECT_EQ(At(tab, 1, 1, 1), Grid(2));
    EXPECT_EQ(At(tab, 1, -1, -1), Grid(6));
    EXPECT_EQ(At(tab, 1, -1, 1), Grid(8));
    EXPECT_EQ(SkinOf<CSkinTab>(tab)->GetPageRect().right, r.left + 1);
}

}  // namespace
