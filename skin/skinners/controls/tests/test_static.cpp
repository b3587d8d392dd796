// Statics under the flat-colour skin: text statics with the skin's background and enabled or
// disabled text style, icon and bitmap statics with their own image, and the types left alone.
#include <gtest/gtest.h>

#include <cstring>

#include "ControlSkinners.h"
#include "StaticSkin.h"
#include "control_test_support.h"

using namespace ctltest;
using skinkit::ClientRectIn;

namespace {

constexpr COLORREF kStaticText = RGB(17, 140, 201);
constexpr COLORREF kDisabledText = RGB(160, 161, 37);

std::vector<std::unique_ptr<CSkinObject>> Objects()
{
    std::vector<std::unique_ptr<CSkinObject>> objects;
    objects.push_back(MakeFrameObject());
    auto stat = Named<CSkinStaticObject>("Static");
    stat->m_style.SetTextColor(kStaticText);
    SkinTextStyle disabled = SkinTextStyle::Default();
    disabled.SetTextColor(kDisabledText);
    std::memcpy(stat->m_extra, &disabled, sizeof disabled);
    objects.push_back(std::move(stat));
    return objects;
}

class StaticSkinTest : public CSkinnerTest {
protected:
    void UseSkin() { ApplySkin(Objects()); }
};

TEST_F(StaticSkinTest, ACentredStaticDrawsOneLineInTheMiddleAndADisabledOneItsDisabledStyle)
{
    UseSkin();
    CHost host;
    HWND text = host.Add("Static", "Centred", SS_CENTER | SS_CENTERIMAGE, RECT{20, 20, 220, 80}, 100);
    ASSERT_TRUE(host.Skin());
    const RECT rc = ClientRectIn(text, host);
    const COLORREF back = skin->ColorOf("Static.background", 4);
    CPicture p = host.Picture();
    const RECT inner{rc.left + 10, rc.top + 10, rc.right - 10, rc.bottom - 10};
    const RECT box = p.BoundsOfOthers(inner, back);
    ASSERT_FALSE(IsRectEmpty(&box));
    EXPECT_NEAR((box.left + box.right) / 2.0, (rc.left + rc.right) / 2.0, 1.5);
    EXPECT_NEAR((box.top + box.bottom) / 2.0, (rc.top + rc.bottom) / 2.0, 1.5);
    EXPECT_GT(p.CountNear(box, kStaticText), 0);
    EnableWindow(text, FALSE);
    WinTestPumpUntilIdle();
    p = host.Picture();
    EXPECT_EQ(p.CountNear(box, kStaticText), 0);
    EXPECT_GT(p.CountNear(box, kDisabledText), 0);
}

TEST_F(StaticSkinTest, ChangingAStaticsTextPaintsItOnceFromTheSkin)
{
    UseSkin();
    CHost host;
    HWND text = host.Add("Static", "Before", SS_LEFT, RECT{20, 20, 220, 60}, 100);
    ASSERT_TRUE(host.Skin());
    CMessageCounter paints(text, WM_PAINT);  // over the skin: every paint the static gets
    SetWindowTextA(text, "After the change");
    WinTestPumpUntilIdle();
    EXPECT_EQ(paints.Count(), 1);
    const RECT rc = ClientRectIn(text, host);
    const CPicture p = host.Picture();
    EXPECT_EQ(skinkit::Painter(p, POINT{rc.right - 3, rc.bottom - 3}, *skin), "Static.background cell 8");
    EXPECT_GT(p.CountNear(rc, kStaticText), 0);
}

TEST_F(StaticSkinTest, SimpleAndOwnerDrawnStaticsKeepTheirOwnLook)
{
    UseSkin();
    CHost host;
    HWND simple = host.Add("Static", "Simple", SS_SIMPLE, RECT{20, 20, 220, 40}, 100);
    HWND owner = host.Add("Static", "", SS_OWNERDRAW, RECT{20, 50, 220, 70}, 101);
    HWND plain = host.Add("Static", "Plain", SS_LEFT, RECT{20, 80, 220, 100}, 102);
    ASSERT_TRUE(host.Skin());
    EXPECT_EQ(SkinOf(simple), nullptr);
    EXPECT_EQ(SkinOf(owner), nullptr);
    EXPECT_NE(SkinOf<CSkinStatic>(plain), nullptr);
}

TEST_F(StaticSkinTest, BitmapStaticsShowTheirBitmapAtTheOriginOrCentred)
{
    UseSkin();
    const COLORREF picture = RGB(12, 230, 99);
    HBITMAP bitmap = MakeBitmap(20, 10, picture);
    CHost host;
    HWND atOrigin = host.Add("Static", "", SS_BITMAP | SS_REALSIZEIMAGE, RECT{20, 20, 80, 60}, 100);
    HWND centred = host.Add("Static", "", SS_BITMAP | SS_CENTERIMAGE, RECT{100, 20, 160, 60}, 101);
    for (HWND h : {atOrigin, centred})
        SendMessageA(h, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    ASSERT_TRUE(host.Skin());
    ASSERT_NE(SkinOf<CSkinStatic>(atOrigin), nullptr);
    const CPicture p = host.Picture();
    EXPECT_EQ(p.At(InHost(atOrigin, host, POINT{0, 0})), picture);
    EXPECT_EQ(p.At(InHost(atOrigin, host, POINT{19, 9})), picture);
    EXPECT_NE(p.At(InHost(atOrigin, host, POINT{21, 11})), picture);
    EXPECT_EQ(p.At(InHost(centred, host, POINT{20, 15})), picture);
    EXPECT_EQ(p.At(InHost(centred, host, POINT{39, 24})), picture);
    EXPECT_NE(p.At(InHost(centred, host, POINT{18, 13})), picture);
    EXPECT_NE(p.At(InHost(centred, host, POINT{41, 26})), picture);
    DestroyWindow(atOrigin);
    DestroyWindow(centred);
    DeleteObject(bitmap);
}

TEST_F(StaticSkinTest, RemovingTheSkinGivesTheStaticItsOwnLookAndStyleBack)
{
    UseSkin();
    CHost host;
    HWND text = host.Add("Static", "Label", SS_LEFT, RECT{20, 20, 220, 60}, 100);
    WinTestActivate(host);
    WinTestPumpUntilIdle();
    const CPicture before = CPicture::OfWindow(text);
    const LONG exBefore = GetWindowLongA(text, GWL_EXSTYLE);
    const WinTestLiveCounts baseline = WinTestLiveCounts::Now();
    ASSERT_TRUE(host.Skin());
    ASSERT_TRUE(host.Unskin());
    EXPECT_EQ(GetWindowLongA(text, GWL_EXSTYLE), exBefore);
    EXPECT_EQ(CPicture::OfWindow(text).CountDifferences(before, before.Whole()), 0);
    const WinTestLiveCounts after = WinTestLiveCounts::Now();
    EXPECT_EQ(after, baseline) << after.ChangesFrom(baseline);
}

}  // namespace
