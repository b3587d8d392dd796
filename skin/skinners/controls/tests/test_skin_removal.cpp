// Removing the skin leaves every standard control as it was before: the style bits the skin
// set or cleared come back, bits the control had of its own stay, and colours the skin gave a
// list view are the list view's own again; a second round changes nothing more.
#include "control_test_support.h"

#include <commctrl.h>

#include "GroupBoxSkin.h"
#include "ListViewSkin.h"
#include "SliderSkin.h"

using namespace ctltest;

namespace {

std::vector<std::unique_ptr<CSkinObject>> Objects()
{
    std::vector<std::unique_ptr<CSkinObject>> objects;
    objects.push_back(MakeFrameObject());
    objects.push_back(Named<CSkinGroupBoxObject>("GroupBox"));
    objects.push_back(Named<CSkinSliderObject>("Slider"));
    auto view = Named<CSkinScrollControlObject>("ListView", SKIN_LISTVIEW);
    view->m_crBack = RGB(240, 10, 20);
    view->m_crText = RGB(30, 220, 40);
    objects.push_back(std::move(view));
    return objects;
}

class SkinRemovalTest : public CSkinnerTest {
protected:
    void SetUp() override
    {
        CSkinnerTest::SetUp();
        ApplySkin(Objects());
    }
    static DWORD Style(HWND h, int index = GWL_STYLE) { return DWORD(GetWindowLongA(h, index)); }
};

TEST_F(SkinRemovalTest, StyleBitsComeBackAndTheControlsOwnBitsStay)
{
    CHost host;
    HWND group = host.Add("Button", "Group", BS_GROUPBOX, RECT{10, 10, 200, 100}, 100);
    HWND slider = host.Add(TRACKBAR_CLASSA, "", 0, RECT{10, 110, 200, 140}, 101);
    HWND both = host.Add(TRACKBAR_CLASSA, "", TBS_BOTH, RECT{10, 150, 200, 180}, 102);
    HWND clear = host.Add("Button", "Clear", BS_GROUPBOX, RECT{210, 10, 340, 100}, 103, WS_EX_TRANSPARENT);
    const DWORD before[4][2] = {{Style(group), Style(group, GWL_EXSTYLE)},
                                {Style(slider), Style(slider, GWL_EXSTYLE)},
                                {Style(both), Style(both, GWL_EXSTYLE)},
                                {Style(clear), Style(clear, GWL_EXSTYLE)}};
    const HWND controls[4] = {group, slider, both, clear};
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(host.Skin());
        ASSERT_NE(SkinOf<CSkinGroupBox>(group), nullptr);
        ASSERT_NE(SkinOf<CSkinSlider>(slider), nullptr);
        EXPECT_TRUE(Style(group, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
        EXPECT_TRUE(Style(slider) & TBS_BOTH);
        ASSERT_TRUE(host.Unskin());
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(Style(controls[i]), before[i][0]) << i;
            EXPECT_EQ(Style(controls[i], GWL_EXSTYLE), before[i][1]) << i;
        }
    }
}

TEST_F(SkinRemovalTest, AListViewGetsItsOwnColoursBack)
{
    CHost host;
    HWND view = host.Add(WC_LISTVIEWA, "", LVS_REPORT, RECT{10, 10, 200, 150}, 100);
    SendMessageA(view, LVM_SETBKCOLOR, 0, RGB(1, 2, 3));
    SendMessageA(view, LVM_SETTEXTCOLOR, 0, RGB(4, 5, 6));
    SendMessageA(view, LVM_SETTEXTBKCOLOR, 0, RGB(7, 8, 9));
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(host.Skin());
        ASSERT_NE(SkinOf<CSkinListView>(view), nullptr);
        EXPECT_EQ(COLORREF(SendMessageA(view, LVM_GETBKCOLOR, 0, 0)), RGB(240, 10, 20));
        ASSERT_TRUE(host.Unskin());
        EXPECT_EQ(COLORREF(SendMessageA(view, LVM_GETBKCOLOR, 0, 0)), RGB(1, 2, 3));
        EXPECT_EQ(COLORREF(SendMessageA(view, LVM_GETTEXTCOLOR, 0, 0)), RGB(4, 5, 6));
        EXPECT_EQ(COLORREF(SendMessageA(view, LVM_GETTEXTBKCOLOR, 0, 0)), RGB(7, 8, 9));
    }
}

}  // namespace
