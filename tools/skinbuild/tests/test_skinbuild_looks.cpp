// The default skin covers every type the engine skins, and the states a control shows are
// drawn apart: two states that must look different never cut the same pixels.
#include <gtest/gtest.h>

#include <string>
#include <typeinfo>
#include <vector>

#include "Canvas.h"
#include "RasterImage.h"
#include "SkinBuilder.h"
#include "SkinObjectTypes.h"
#include "SkinnerRegistry.h"
#include "SkinRecords.h"

using namespace skinbuild;

namespace {

class DefaultLooks : public ::testing::Test {
protected:
    void SetUp() override { BuildDefaultSkin(skin); }

    // The pixels a record cuts from its picture, row by row; empty for a missing picture.
    std::vector<COLORREF> Cut(const char* picture, const RECT& src)
    {
        std::vector<COLORREF> out;
        CSkinImageObject* o = skin.FindImage(picture);
        const CRasterImage* img = o ? o->GetImage() : nullptr;
        if (!img || !img->IsValid())
            return out;
        for (LONG y = src.top; y < src.bottom; ++y)
            for (LONG x = src.left; x < src.right; ++x) {
                RGBQUAD q = img->GetPixelColor(x, LONG(img->GetHeight()) - 1 - y, false);
                out.push_back(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
            }
        return out;
    }
    std::vector<COLORREF> Cut(const SkinImagePart& p) { return Cut(p.name, p.src); }
    std::vector<COLORREF> Cut(const SkinNineGrid& g) { return Cut(g.name, g.src); }

    // Every pair of the looks differs in at least one pixel.
    template <typename Record>
    void ExpectAllDifferent(const std::vector<const Record*>& looks, const char* what)
    {
        for (size_t i = 0; i < looks.size(); ++i) {
            const std::vector<COLORREF> a = Cut(*looks[i]);
            EXPECT_FALSE(a.empty()) << what << " state " << i << " has no picture";
            for (size_t j = i + 1; j < looks.size(); ++j)
                EXPECT_NE(a, Cut(*looks[j])) << what << ": states " << i << " and " << j << " look the same";
        }
    }

    CSkinFile skin;
};

// The record a type's lookup finds, as the engine looks it up for a control of that type.
CSkinObject* LookFor(CSkinFile& skin, int type)
{
    return skin.FindObjectByType(type == SKIN_LINKWND ? SKIN_STATIC : type);
}

}  // namespace

TEST_F(DefaultLooks, EveryTypeTheEngineSkinsFindsARecordOfItsClass)
{
    int covered = 0;
    for (int type = 1; type <= SKIN_SYSCOLORTABLE; ++type) {
        if (!IsSkinnerType(type))
            continue;
        SCOPED_TRACE(GetSkinTypeName(type));
        CSkinObject* o = LookFor(skin, type);
        ASSERT_NE(o, nullptr) << "controls of this type would stay unskinned";
        // The skinners cast the record to the class the file gives its type.
        const int recordType = type == SKIN_CONTROLBAR ? SKIN_TOOLBAR : type == SKIN_LINKWND ? SKIN_STATIC : type;
        std::unique_ptr<CSkinObject> expected = CreateSkinObject(recordType);
        ASSERT_NE(expected, nullptr);
        EXPECT_EQ(typeid(*o), typeid(*expected));
        // Drawn from pictures, except the text-only statics.
        if (recordType != SKIN_STATIC) {
            bool drawn = false;
            for (const skinkit::ImageRecord& r : skinkit::ListImageRecords(*o))
                drawn = drawn || (r.part && !r.part->IsEmpty()) || (r.grid && !r.grid->IsEmpty());
            EXPECT_TRUE(drawn) << "no picture";
        }
        ++covered;
    }
    EXPECT_GE(covered, 27);

    // The whole-window skins: frames, the dialog the program names, their caption buttons and
    // menu bar, popup menus.
    ASSERT_NE(skin.FindObjectByType(SKIN_FRAMEWND), nullptr);
    auto* dialog = dynamic_cast<CSkinFrameWndObject*>(skin.FindObject("Dialog"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->m_parts[1].IsEmpty());
    auto* frame = dynamic_cast<CSkinFrameWndObject*>(skin.FindObjectByType(SKIN_FRAMEWND));
    EXPECT_FALSE(frame->m_menuBar.m_barBackground.IsEmpty());
    EXPECT_NE(frame->FindChild("Close"), nullptr);
    EXPECT_NE(dynamic_cast<CSkinPopupMenuObject*>(skin.FindObjectByType(SKIN_POPUPMENU)), nullptr);
}

TEST_F(DefaultLooks, PushButtonsAndMarksShowEveryStateApart)
{
    auto* button = dynamic_cast<CSkinButtonObject*>(skin.FindObject("Button"));
    ASSERT_NE(button, nullptr);
    std::vector<const SkinNineGrid*> faces;
    for (const SkinGridState& s : button->m_states)
        faces.push_back(&s.grid);
    ExpectAllDifferent(faces, "Button");

    // Check boxes and radios: records 2 and 3 are both the disabled unchecked look.
    for (const char* name : {"CheckBox", "Radio"}) {
        auto* c = dynamic_cast<CSkinCheckBoxObject*>(skin.FindObject(name));
        ASSERT_NE(c, nullptr);
        std::vector<const SkinImagePart*> marks;
        for (int s : {0, 1, 3, 4, 5, 6})
            marks.push_back(&c->m_states[s].box);
        ExpectAllDifferent(marks, name);
        EXPECT_NE(c->m_states[3].style.GetTextColor(), c->m_states[0].style.GetTextColor()) << name;
    }
}

TEST_F(DefaultLooks, ArrowsAndButtonsOfControlsShowEveryStateApart)
{
    auto* combo = dynamic_cast<CSkinComboBoxObject*>(skin.FindObject("ComboBox"));
    ASSERT_NE(combo, nullptr);
    ExpectAllDifferent<SkinNineGrid>({&combo->m_buttons[0], &combo->m_buttons[1], &combo->m_buttons[2],
                                      &combo->m_buttons[3]},
                                     "combo box button");

    auto* spin = dynamic_cast<CSkinSpinObject*>(skin.FindObjectByType(SKIN_SPIN));
    ASSERT_NE(spin, nullptr);
    for (int half = 0; half < 2; ++half)
        ExpectAllDifferent<SkinImagePart>({&spin->m_states[0].parts[half], &spin->m_states[1].parts[half],
                                           &spin->m_states[2].parts[half], &spin->m_states[3].parts[half]},
                                          half ? "lower spin arrow" : "upper spin arrow");
    // The two halves point opposite ways.
    EXPECT_NE(Cut(spin->m_states[0].parts[0]), Cut(spin->m_states[0].parts[1]));

    auto* sb = dynamic_cast<CSkinScrollBarObject*>(skin.FindObject("ScrollBar"));
    ASSERT_NE(sb, nullptr);
    for (auto arrow : {&SkinScrollBarState::arrow1, &SkinScrollBarState::arrow2}) {
        ExpectAllDifferent<SkinImagePart>({&(sb->m_horizontal[0].*arrow), &(sb->m_horizontal[1].*arrow),
                                           &(sb->m_horizontal[2].*arrow), &(sb->m_horizontal[3].*arrow)},
                                          "horizontal arrow");
        ExpectAllDifferent<SkinImagePart>({&(sb->m_vertical[0].*arrow), &(sb->m_vertical[1].*arrow),
                                           &(sb->m_vertical[2].*arrow), &(sb->m_verticalLast.*arrow)},
                                          "vertical arrow");
    }
    ExpectAllDifferent<SkinNineGrid>({&sb->m_horizontal[0].thumb, &sb->m_horizontal[1].thumb,
                                      &sb->m_horizontal[2].thumb},
                                     "thumb");

    auto* date = dynamic_cast<CSkinDateTimeObject*>(skin.FindObject("DateTime"));
    ASSERT_NE(date, nullptr);
    ExpectAllDifferent<SkinNineGrid>({&date->m_grids[0], &date->m_grids[1], &date->m_grids[2]}, "date drop button");

    auto* cal = dynamic_cast<CSkinMonthCalendarObject*>(skin.FindObject("MonthCalendar"));
    ASSERT_NE(cal, nullptr);
    ExpectAllDifferent<SkinNineGrid>({&cal->m_grids[0], &cal->m_grids[1], &cal->m_grids[4]}, "previous month");
    ExpectAllDifferent<SkinNineGrid>({&cal->m_grids[2], &cal->m_grids[3], &cal->m_grids[5]}, "next month");
    EXPECT_NE(Cut(cal->m_grids[0]), Cut(cal->m_grids[2]));
}

TEST_F(DefaultLooks, BarsTabsAndWindowPartsShowEveryStateApart)
{
    auto* tab = dynamic_cast<CSkinTabObject*>(skin.FindObject("Tab"));
    ASSERT_NE(tab, nullptr);
    ExpectAllDifferent<SkinNineGrid>({&tab->m_states[0].grid, &tab->m_states[1].grid, &tab->m_states[2].grid,
                                      &tab->m_states[3].grid},
                                     "tab");

    // A tool button at rest is flat (and a disabled one only greys its icon); pressed and hot
    // are drawn.
    auto* tool = dynamic_cast<CSkinToolBarObject*>(skin.FindObject("ToolBar"));
    ASSERT_NE(tool, nullptr);
    ExpectAllDifferent<SkinNineGrid>({&tool->m_grids[0], &tool->m_grids[1], &tool->m_grids[2]}, "tool button");

    for (const char* name : {"Dialog", "FrameWnd"}) {
        auto* w = dynamic_cast<CSkinFrameWndObject*>(skin.FindObject(name));
        ASSERT_NE(w, nullptr);
        // Active and inactive captions differ.
        ExpectAllDifferent<SkinImagePart>({&w->m_parts[1], &w->m_parts[10]}, name);
        for (const auto& child : w->GetChildren()) {
            auto* b = dynamic_cast<CSkinCaptionButtonObject*>(child.second.get());
            if (b && !b->m_image.IsEmpty())
                ExpectAllDifferent<SkinImagePart>({&b->m_image, &b->m_states[0], &b->m_states[1], &b->m_states[2]},
                                                  child.first.c_str());
        }
        const CSkinCaptionTextObject& bar = w->m_menuBar;
        ExpectAllDifferent<SkinNineGrid>({&bar.m_barBackground, &bar.m_hotItem.grid, &bar.m_openItem.grid}, "menu bar");
        for (int g = 0; g < 4; ++g)
            ExpectAllDifferent<SkinImagePart>({&bar.m_buttons[g][0], &bar.m_buttons[g][1], &bar.m_buttons[g][2]},
                                              "child window button");
    }

    auto* menu = dynamic_cast<CSkinPopupMenuObject*>(skin.FindObject("PopupMenu"));
    ASSERT_NE(menu, nullptr);
    // The selection stands out from the menu's client.
    const std::vector<COLORREF> selection = Cut(menu->m_grids[0]), client = Cut(menu->m_parts[4]);
    ASSERT_FALSE(selection.empty());
    ASSERT_FALSE(client.empty());
    EXPECT_NE(selection[selection.size() / 2], client[client.size() / 2]);
}
