// Rich edit controls under the flat-colour skin: the skin's background colour handed to the
// control, which paints it instead of asking its parent, inside the skin's border, and the
// control's own background back when the skin goes.
#include <gtest/gtest.h>

#include <richedit.h>

#include "RichEditSkin.h"
#include "control_test_support.h"

using namespace ctltest;

namespace {

constexpr COLORREF kBack = RGB(250, 236, 20);
constexpr COLORREF kText = RGB(20, 60, 200);

std::vector<std::unique_ptr<CSkinObject>> Objects()
{
    std::vector<std::unique_ptr<CSkinObject>> objects;
    objects.push_back(MakeFrameObject());
    auto rich = Named<CSkinScrollControlObject>("RichEdit", SKIN_RICHEDIT);
    rich->m_background.Set("", 0, 0, 12, 12, 2, 2, 2, 2, 1);
    rich->m_crBack = kBack;
    rich->m_crText = kText;
    objects.push_back(std::move(rich));
    return objects;
}

class RichEditSkinTest : public CSkinnerTest {};

TEST_F(RichEditSkinTest, ARichEditPaintsTheSkinsBackgroundAndGetsItsOwnBack)
{
    ApplySkin(Objects());
    CHost host;
    HWND rich = host.Add(RICHEDIT_CLASS10A, "Some text", ES_MULTILINE, RECT{20, 20, 220, 120}, 6, WS_EX_CLIENTEDGE);
    ASSERT_NE(rich, nullptr);
    const RECT cr = skinkit::ClientRectIn(rich, host);
    ASSERT_TRUE(host.Skin());
    ASSERT_NE(SkinOf<CSkinRichEdit>(rich), nullptr);
    EXPECT_GT(host.Picture().Count(cr, kBack), Width(cr) * Height(cr) / 2);

    ASSERT_TRUE(host.Unskin());
    InvalidateRect(rich, nullptr, TRUE);
    WinTestPumpUntilIdle();
    EXPECT_EQ(host.Picture().Count(cr, kBack), 0);
    EXPECT_GT(host.Picture().Count(cr, GetSysColor(COLOR_WINDOW)), Width(cr) * Height(cr) / 2);
}

}  // namespace
