// Classification of windows by class name and style, and the skinner factory.
#include "test_skinwnd_support.h"

using namespace skinwnd;

namespace {

class ClassifyTest : public ManagerFixture {
protected:
    void SetUp() override
    {
        ManagerFixture::SetUp();
        parent = Keep(MakeTop(WS_OVERLAPPEDWINDOW));
    }
    int Classify(const char* cls, DWORD style = 0) { return Manager().ClassifyWindow(Keep(MakeChild(parent, cls, style))); }
    HWND parent = nullptr;
};

TEST_F(ClassifyTest, ButtonStylesPickGroupBoxCheckBoxRadioOrButton)
{
    EXPECT_EQ(Classify("Button", BS_GROUPBOX), SKIN_GROUPBOX);
    EXPECT_EQ(Classify("Button", BS_AUTORADIOBUTTON), SKIN_RADIO);
    EXPECT_EQ(Classify("Button", BS_RADIOBUTTON), SKIN_RADIO);
    EXPECT_EQ(Classify("Button", BS_AUTOCHECKBOX), SKIN_CHECKBOX);
    EXPECT_EQ(Classify("Button", BS_CHECKBOX), SKIN_CHECKBOX);
    EXPECT_EQ(Classify("Button", BS_3STATE), SKIN_CHECKBOX);
    EXPECT_EQ(Classify("Button", BS_AUTO3STATE), SKIN_CHECKBOX);
    EXPECT_EQ(Classify("Button", BS_PUSHBUTTON), SKIN_BUTTON);
    EXPECT_EQ(Classify("Button", BS_DEFPUSHBUTTON), SKIN_BUTTON);
}

TEST_F(ClassifyTest, EveryTableClassHasItsType)
{
    const std::pair<const char*, int> rows[] = {
        {"msctls_statusbar32", 15}, {"ToolbarWindow32", 23},    {"AfxControlBar42", 24},  {"AfxControlBar42sud", 24},
        {"AfxControlBar70", 24},    {"AfxControlBar70su", 24},  {"Static", 14},           {"ScrollBar", 12},
        {"msctls_progress32", 10},  {"msctls_updown32", 27},    {"msctls_trackbar32", 13}, {"ComboBox", 6},
        {"SysTabControl32", 16},    {"Edit", 7},                {"SysListView32", 28},    {"ListBox", 9},
        {"SysTreeView32", 29},      {"RICHEDIT", 30},           {"SysIPAddress32", 26},   {"SysHeader32", 37},
        {"ReBarWindow32", 36},      {"SysAnimate32", 40},       {"Link Window", 41},      {"SysMonthCal32", 35},
        {"SysDateTimePick32", 31},  {"tooltips_class32", 42},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Classify(row.first), row.second) << row.first;
}

TEST_F(ClassifyTest, NamesOutsideTheTableAreNotSkinned)
{
    EXPECT_EQ(Classify("SkinWndTestUnknown"), 0);
    // Only "Button" windows are renamed; a class really called so stays what it is.
    EXPECT_EQ(Classify("SkinWndTestRadio"), 0);
    EXPECT_EQ(Manager().ClassifyWindow(nullptr), 0);
}

TEST_F(ClassifyTest, ComboListIsAListBoxOnlyInASimpleComboBox)
{
    const std::pair<DWORD, int> cases[] = {{CBS_SIMPLE, SKIN_LISTBOX}, {CBS_DROPDOWN, 0}, {CBS_DROPDOWNLIST, 0}};
    for (const auto& c : cases) {
        HWND host = Keep(MakeChild(parent, "SkinWndTest", DWORD(c.first)));
        HWND list = Keep(MakeChild(host, "ComboLBox"));
        EXPECT_EQ(Manager().ClassifyWindow(list), c.second) << c.first;
    }
    HWND orphan = Keep(MakeTop(WS_POPUP, "ComboLBox"));
    EXPECT_EQ(Manager().ClassifyWindow(orphan), 0);
}

TEST(SkinnerFactory, MakesASkinnerForEveryControlTypeAndNothingElse)
{
    for (int type = 0; type <= 101; ++type) {
        const bool control = (type >= 4 && type <= 16) || type == 23 || type == 24 || (type >= 26 && type <= 31) ||
                             type == 35 || type == 36 || type == 37 || type == 40 || type == 41;
        std::unique_ptr<CSkinWindow> skinner(CSkinManager::CreateControlSkinner(type));
        EXPECT_EQ(skinner != nullptr, control) << type;
        if (skinner) {
            EXPECT_EQ(skinner->GetHwnd(), nullptr);
            EXPECT_EQ(skinner->GetSkinObject(), nullptr);
        }
    }
}

}  // namespace
