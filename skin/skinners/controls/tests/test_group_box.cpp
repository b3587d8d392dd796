// Group boxes under the flat-colour skin: the frame and caption as the text changes, a caption
// over its own background or over the parent's, and the controls inside staying on top.
#include <gtest/gtest.h>

#include "ControlSkinners.h"
#include "GroupBoxSkin.h"
#include "control_test_support.h"

using namespace ctltest;
using skinkit::ClientRectIn;

namespace {

constexpr COLORREF kCaptionText = RGB(201, 13, 77);
constexpr COLORREF kCaptionBack = RGB(90, 91, 200);  // only where the caption grid is empty

std::vector<std::unique_ptr<CSkinObject>> Objects(bool seeThroughCaption)
{
    std::vector<std::unique_ptr<CSkinObject>> objects;
    objects.push_back(MakeFrameObject());
    auto group = Named<CSkinGroupBoxObject>("GroupBox");
    group->m_background.Set("", 0, 0, 24, 24, 8, 8, 8, 8, 1);
    group->m_caption.Set("", 0, 0, 24, 24, 3, 2, 3, 2, 1);
    group->m_style.SetTextColor(kCaptionText);
    group->m_nGroupValue1 = kCaptionBack;
    group->m_nGroupValue2 = seeThroughCaption ? 1 : 0;
    objects.push_back(std::move(group));
    objects.push_back(Named<CSkinCheckBoxObject>("CheckBox"));
    return objects;
}

class GroupBoxSkinTest : public CSkinnerTest {
protected:
    void UseSkin(bool seeThroughCaption) { ApplySkin(Objects(seeThroughCaption)); }
};

TEST_F(GroupBoxSkinTest, AGroupBoxFramesItsControlsUnderACaptionOfItsOwn)
{
    UseSkin(false);
    CHost host;
    HWND group = host.Add("Button", "Video Setting", BS_GROUPBOX, RECT{20, 20, 260, 160}, 100);
    HWND inside = host.Add("Button", "", BS_AUTOCHECKBOX, RECT{14, 60, 120, 90}, 101);  // across the left edge
    ASSERT_TRUE(host.Skin());
    auto* skinner = SkinOf<CSkinGroupBox>(group);
    ASSERT_NE(skinner, nullptr);
    const RECT caption = skinner->GetLastCaptionRect();
    EXPECT_EQ(caption.left, 4);
    EXPECT_EQ(caption.top, 0);
    const int middle = caption.top + (caption.bottom - caption.top) / 2;
    // The frame's top edge starts at the caption's middle; inside the frame the parent shows.
    EXPECT_EQ(PainterAt(group, POINT{200, middle + 1}), "GroupBox.background cell 1");
    EXPECT_EQ(PainterAt(group, POINT{200, middle - 1}), "Frame.parts[4]");
    EXPECT_EQ(PainterAt(group, POINT{120, 70}), "Frame.parts[4]");
    EXPECT_EQ(PainterAt(group, POINT{caption.left + 1, caption.top + 1}), "GroupBox.caption cell 0");
    const CPicture p = host.Picture();
    const RECT onHost = ClientRectIn(group, host);
    RECT text = caption;
    OffsetRect(&text, onHost.left, onHost.top);
    EXPECT_GT(p.Count(text, kCaptionText), 0);
    // The check box inside lies over the frame's left edge.
    EXPECT_EQ(PainterAt(inside, POINT{2, 2}), "CheckBox.states[0].grid cell 0");
    RedrawWindow(group, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(PainterAt(inside, POINT{2, 2}), "CheckBox.states[0].grid cell 0");
}

TEST_F(GroupBoxSkinTest, AShorterCaptionLeavesNothingOfTheOldOneAndAnEmptyOneHalfAnA)
{
    UseSkin(false);
    CHost host;
    HWND group = host.Add("Button", "A much longer caption", BS_GROUPBOX, RECT{20, 20, 300, 160}, 100);
    ASSERT_TRUE(host.Skin());
    const RECT longCaption = SkinOf<CSkinGroupBox>(group)->GetLastCaptionRect();
    SetWindowTextA(group, "Short");
    WinTestPumpUntilIdle();
    const RECT shortCaption = SkinOf<CSkinGroupBox>(group)->GetLastCaptionRect();
    ASSERT_LT(shortCaption.right, longCaption.right - 20);
    // Where the rest of the old caption was, the frame's edge and the parent.
    const int middle = (shortCaption.top + shortCaption.bottom) / 2;
    EXPECT_EQ(PainterAt(group, POINT{longCaption.right - 5, middle + 1}), "GroupBox.background cell 1");
    EXPECT_EQ(PainterAt(group, POINT{longCaption.right - 5, longCaption.top + 1}), "Frame.parts[4]");
    const CPicture p = host.Picture();
    RECT rest{shortCaption.right, longCaption.top, longCaption.right, longCaption.bottom};
    const RECT onHost = ClientRectIn(group, host);
    OffsetRect(&rest, onHost.left, onHost.top);
    for (int cell = 0; cell < 9; ++cell)
        EXPECT_EQ(p.Count(rest, skin->ColorOf("GroupBox.caption", cell)), 0) << cell;
    EXPECT_EQ(p.Count(rest, kCaptionText), 0);

    SetWindowTextA(group, "");
    WinTestPumpUntilIdle();
    const RECT ofA = SkinOf<CSkinGroupBox>(group)->CalcCaptionRect("A");
    const int top = ofA.top + (ofA.bottom - ofA.top) / 2;
    EXPECT_EQ(PainterAt(group, POINT{60, top}), "GroupBox.background cell 1");
    EXPECT_EQ(PainterAt(group, POINT{60, top - 1}), "Frame.parts[4]");
    EXPECT_EQ(host.Picture().Count(onHost, skin->ColorOf("GroupBox.caption", 4)), 0);
}

TEST_F(GroupBoxSkinTest, ASmallerFontLeavesNothingOfTheOldCaption)
{
    UseSkin(false);
    HFONT big = MakeFont(-24), small = MakeFont(-10);
    CHost host;
    HWND group = host.Add("Button", "Video Setting", BS_GROUPBOX, RECT{20, 20, 300, 160}, 100);
    ASSERT_TRUE(host.Skin());
    SendMessageA(group, WM_SETFONT, reinterpret_cast<WPARAM>(big), TRUE);
    WinTestPumpUntilIdle();
    const RECT bigCaption = SkinOf<CSkinGroupBox>(group)->GetLastCaptionRect();
    SendMessageA(group, WM_SETFONT, reinterpret_cast<WPARAM>(small), TRUE);
    WinTestPumpUntilIdle();
    const RECT smallCaption = SkinOf<CSkinGroupBox>(group)->GetLastCaptionRect();
    ASSERT_LT(smallCaption.right, bigCaption.right - 20);
    ASSERT_LT(smallCaption.bottom, bigCaption.bottom - 4);
    RECT rest{smallCaption.right + 1, bigCaption.top, bigCaption.right, bigCaption.bottom};
    const RECT onHost = ClientRectIn(group, host);
    OffsetRect(&rest, onHost.left, onHost.top);
    const CPicture p = host.Picture();
    for (int cell = 0; cell < 9; ++cell)
        EXPECT_EQ(p.Count(rest, skin->ColorOf("GroupBox.caption", cell)), 0) << cell;
    EXPECT_EQ(p.Count(rest, kCaptionText), 0);
    host.Unskin();
    DestroyWindow(group);
    DeleteObject(big);
    DeleteObject(small);
}

TEST_F(GroupBoxSkinTest, ASeeThroughCaptionShowsTheParent)
{
    UseSkin(true);
    CHost host;
    HWND group = host.Add("Button", "Audio Setting", BS_GROUPBOX, RECT{20, 20, 260, 160}, 100);
    ASSERT_TRUE(host.Skin());
    const RECT caption = SkinOf<CSkinGroupBox>(group)->GetLastCaptionRect();
    EXPECT_EQ(PainterAt(group, POINT{caption.left + 1, caption.top + 1}), "Frame.parts[4]");
    EXPECT_EQ(host.Picture().Count(ClientRectIn(group, host), skin->ColorOf("GroupBox.caption", 4)), 0);
    EXPECT_GT(host.Picture().Count(ClientRectIn(group, host), kCaptionText), 0);
}

}  // namespace
