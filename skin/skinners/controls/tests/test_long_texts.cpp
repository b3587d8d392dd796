// Very long, empty and hostile texts (ampersands, tabs, line breaks, letters beyond ASCII) in
// the standard controls these skinners draw: each draws its text inside itself and reads no
// further than its buffers, and a text set again of another length leaves nothing behind.
#include "control_test_support.h"

#include "ButtonSkins.h"
#include "ComboSkin.h"
#include "GroupBoxSkin.h"
#include "StaticSkin.h"

using namespace ctltest;
using skinkit::ClientRectIn;

namespace {

constexpr COLORREF kText = RGB(201, 13, 77);


std::vector<std::unique_ptr<CSkinObject>> Objects()
{
    std::vector<std::unique_ptr<CSkinObject>> objects;
    objects.push_back(MakeFrameObject());
    auto button = Named<CSkinButtonObject>("Button");
    for (int s = 0; s < SKINBTN_STATES; ++s)
        button->m_states[s].style.SetTextColor(kText);
    objects.push_back(std::move(button));
    auto check = Named<CSkinCheckBoxObject>("CheckBox");
    for (int s = 0; s < SKINMARK_STATES; ++s)
        check->m_states[s].style.SetTextColor(kText);
    objects.push_back(std::move(check));
    auto group = Named<CSkinGroupBoxObject>("GroupBox");
    group->m_style.SetTextColor(kText);
    objects.push_back(std::move(group));
    auto stat = Named<CSkinStaticObject>("Static");
    stat->m_style.SetTextColor(kText);
    objects.push_back(std::move(stat));
    auto combo = Named<CSkinComboBoxObject>("ComboBox");
    combo->m_background.Set("", 0, 0, 12, 12, 2, 2, 2, 2, 1);
    for (auto& b : combo->m_buttons)
        b.Set("", 0, 0, 12, 12, 3, 3, 3, 3, 1);
    combo->m_crBack = RGB(250, 250, 240);
    combo->m_font.color = kText;
    objects.push_back(std::move(combo));
    return objects;
}

class LongTextTest : public CSkinnerTest {
protected:
    void SetUp() override
    {
        CSkinnerTest::SetUp();
        ApplySkin(Objects());
    }
    // The text colour shows inside the control (when it has a text) and nowhere else.
    static void ExpectTextInside(const CHost& host, HWND control, bool some)
    {
        const CPicture p = host.Picture();
        const RECT inside = ClientRectIn(control, host);
        const int count = p.Count(inside, kText);
        if (some)
            EXPECT_GT(count, 0);
        else
            EXPECT_EQ(count, 0);
        EXPECT_EQ(p.Count(p.Whole(), kText), count);
    }
};

TEST_F(LongTextTest, ButtonsStaticsAndGroupBoxesDrawLongEmptyAndHostileTextsInsideThemselves)
{
    struct Kind {
        const char* cls;
        DWORD style;
    };
    const Kind kinds[] = {{"Button", BS_PUSHBUTTON}, {"Button", BS_AUTOCHECKBOX}, {"Button", BS_GROUPBOX},
                          {"Static", SS_LEFT}, {"Static", SS_LEFTNOWORDWRAP}};
    const std::string texts[] = {Repeated("Long label ", 5000), "", kHostileText, Repeated("\xE4\xB8\xAD", 3000)};
    for (const Kind& kind : kinds) {
        for (size_t t = 0; t < 4; ++t) {
            SCOPED_TRACE(std::string(kind.cls) + " " + std::to_string(kind.style) + " text " + std::to_string(t));
            CHost host;
            HWND control = host.Add(kind.cls, texts[t].c_str(), kind.style, RECT{20, 20, 200, 80}, 100);
            ASSERT_TRUE(host.Skin());
            ASSERT_NE(SkinOf<CSkinControlBase>(control), nullptr);
            ExpectTextInside(host, control, t != 1 && t != 3);
            // Set again, shorter and longer: nothing of the old text stays outside the new.
            SetWindowTextA(control, "Go");
            WinTestPumpUntilIdle();
            ExpectTextInside(host, control, true);
            SetWindowTextA(control, texts[t].c_str());
            WinTestPumpUntilIdle();
            ExpectTextInside(host, control, t != 1 && t != 3);
        }
    }
}

TEST_F(LongTextTest, AComboShowsALongOrHostileItemInsideItsTextArea)
{
    CHost host;
    HWND combo = host.Add("ComboBox", "", CBS_DROPDOWNLIST, RECT{20, 20, 220, 200}, 100);
    const std::string items[] = {Repeated("Long item ", 70000), "", kHostileText};
    for (const std::string& item : items)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    ASSERT_TRUE(host.Skin());
    ASSERT_NE(SkinOf<CSkinComboBox>(combo), nullptr);
    SetFocus(host);  // the item in the skin's font colour, not the focus colours
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        SendMessageA(combo, CB_SETCURSEL, WPARAM(i), 0);
        WinTestPumpUntilIdle();
        ExpectTextInside(host, combo, i != 1);
    }
}

}  // namespace
