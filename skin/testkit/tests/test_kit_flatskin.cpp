// The flat-colour test skin: every record its own picture and colour, and the colour leading
// back to the record.
#include <gtest/gtest.h>
#include <unistd.h>

#include <set>

#include "FlatSkin.h"
#include "RasterImage.h"
#include "SkinManager.h"
#include "SkinObjectTypes.h"
#include "SkinRecords.h"

using namespace skinkit;

namespace {

std::vector<std::unique_ptr<CSkinObject>> OneOfEveryType()
{
    std::vector<std::unique_ptr<CSkinObject>> objects;
    for (int type = 0; type <= 100; ++type) {
        if (!IsSkinTopLevelType(type))
            continue;
        auto o = CreateSkinObject(type);
        o->SetName(("T" + std::to_string(type)).c_str());
        objects.push_back(std::move(o));
    }
    return objects;
}

COLORREF PixelOf(CSkinFile& file, const char* image, LONG x, LONG y)
{
    const CRasterImage* img = file.FindImage(image)->GetImage();
    const RGBQUAD q = img->GetPixelColor(x, LONG(img->GetHeight()) - 1 - y, false);
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

// Every pixel of the record's picture inside its source rectangle has the colour the skin gives
// the record (a nine-grid: the colour of the cell the pixel lies in).
void ExpectPictureMatches(CSkinFile& file, const CFlatSkin& skin, const ImageRecord& r)
{
    SCOPED_TRACE(r.path);
    const char* name = r.part ? r.part->name : r.grid->name;
    const RECT src = r.part ? r.part->src : r.grid->src;
    ASSERT_NE(file.FindImage(name), nullptr);
    const LONG w = src.right - src.left, h = src.bottom - src.top;
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) {
            int cell = -1;
            if (r.grid) {
                const int col = x < r.grid->marginLeft ? 0 : x >= w - r.grid->marginRight ? 2 : 1;
                const int row = y < r.grid->marginTop ? 0 : y >= h - r.grid->marginBottom ? 2 : 1;
                cell = row * 3 + col;
            }
            ASSERT_EQ(PixelOf(file, name, src.left + x, src.top + y), skin.ColorOf(r.path, cell)) << x << "," << y;
        }
}

TEST(FlatSkin, EveryRecordOfEveryTypeIsAPictureInAColourOfItsOwn)
{
    const CFlatSkin skin(OneOfEveryType());
    auto file = skin.MakeFile();
    size_t expectedColors = 0;
    std::set<COLORREF> seen;
    for (auto& entry : file->GetObjects()) {
        for (const ImageRecord& r : ListImageRecords(*entry.second)) {
            EXPECT_FALSE(r.part ? r.part->IsEmpty() : r.grid->IsEmpty()) << r.path;
            ExpectPictureMatches(*file, skin, r);
            for (int cell = r.part ? -1 : 0; cell < (r.part ? 0 : 9); ++cell) {
                const COLORREF c = skin.ColorOf(r.path, cell);
                EXPECT_TRUE(seen.insert(c).second) << r.path << " shares its colour";
                ASSERT_NE(skin.Find(c), nullptr);
                EXPECT_EQ(skin.Find(c)->path, r.path);
                EXPECT_EQ(skin.Find(c)->cell, cell);
                ++expectedColors;
            }
        }
    }
    EXPECT_GT(expectedColors, 400u);
    EXPECT_EQ(skin.ColorCount(), expectedColors);
    // Nothing a window could show without the skin is taken for a record.
    for (COLORREF c : {RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 0, 255)})
        EXPECT_EQ(skin.Find(c), nullptr);
    for (int i = 0; i < 31; ++i)
        EXPECT_EQ(skin.Find(GetSysColor(i)), nullptr) << i;
}

TEST(FlatSkin, ARecordThatComesSizedKeepsItsSizeMarginsAndMode)
{
    auto button = std::make_unique<CSkinButtonObject>();
    button->SetName("Button");
    button->m_states[1].grid.Set("whatever", 5, 5, 45, 25, 4, 3, 6, 2, 3);
    auto check = std::make_unique<CSkinCheckBoxObject>();
    check->SetName("CheckBox");
    check->m_states[0].box.Set("x", 0, 0, 13, 11, 0);
    std::vector<std::unique_ptr<CSkinObject>> objects;
    objects.push_back(std::move(button));
    objects.push_back(std::move(check));
    const CFlatSkin skin(std::move(objects));
    auto file = skin.MakeFile();

    auto* b = static_cast<CSkinButtonObject*>(file->FindObject("Button"));
    const SkinNineGrid& g = b->m_states[1].grid;
    EXPECT_EQ(g.src.right - g.src.left, 40);
    EXPECT_EQ(g.src.bottom - g.src.top, 20);
    EXPECT_EQ(g.marginLeft, 4);
    EXPECT_EQ(g.marginTop, 3);
    EXPECT_EQ(g.marginRight, 6);
    EXPECT_EQ(g.marginBottom, 2);
    EXPECT_EQ(g.mode, 3u);
    const FlatRecord* r = skin.FindRecord("Button.states[1].grid");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->margins.left, 4);
    EXPECT_EQ(r->margins.bottom, 2);
    // One that came without: the default picture, a third for each margin, stretched.
    const SkinNineGrid& d = b->m_states[0].grid;
    EXPECT_EQ(d.src.right - d.src.left, 30);
    EXPECT_EQ(d.marginLeft, 10);
    EXPECT_EQ(d.mode, 1u);

    auto* c = static_cast<CSkinCheckBoxObject*>(file->FindObject("CheckBox"));
    EXPECT_EQ(c->m_states[0].box.src.right, 13);
    EXPECT_EQ(c->m_states[0].box.src.bottom, 11);
    EXPECT_EQ(c->m_states[0].box.mode, 0u);
    EXPECT_EQ(c->m_states[1].box.src.right, 16);
    EXPECT_EQ(c->m_states[1].box.mode, 2u);
}

TEST(FlatSkin, RecordsLeftEmptyHaveNoPictureAndNoColour)
{
    auto button = std::make_unique<CSkinButtonObject>();
    button->SetName("Button");
    button->m_states[4].grid.Set("given", 0, 0, 30, 30, 10, 10, 10, 10, 1);
    std::vector<std::unique_ptr<CSkinObject>> objects;
    objects.push_back(std::move(button));
    CFlatSkin::Options options;
    options.leaveEmpty = {"Button.states[4]", "Button.states[5]", "Button.background"};
    const CFlatSkin skin(std::move(objects), options);
    auto file = skin.MakeFile();
    auto* b = static_cast<CSkinButtonObject*>(file->FindObject("Button"));
    for (int s : {4, 5}) {
        EXPECT_TRUE(b->m_states[s].grid.IsEmpty()) << s;
        EXPECT_EQ(skin.ColorOf("Button.states[" + std::to_string(s) + "].grid", 0), CLR_INVALID);
    }
    EXPECT_TRUE(b->m_background.IsEmpty());
    EXPECT_FALSE(b->m_states[0].grid.IsEmpty());
    EXPECT_EQ(skin.ColorCount(), 4u * 9u);
    EXPECT_EQ(file->GetImages().size(), 4u);
}

TEST(FlatSkin, ColoursTheObjectsUseThemselvesAreNeverGivenToARecord)
{
    auto make = [](COLORREF back) {
        auto o = std::make_unique<CSkinStaticObject>();
        o->SetName("Static");
        o->m_crBack = back;
        std::vector<std::unique_ptr<CSkinObject>> objects;
        objects.push_back(std::move(o));
        return objects;
    };
    const CFlatSkin first(make(RGB(1, 2, 3)));
    const COLORREF taken = first.ColorOf("Static.background", 0);
    ASSERT_NE(taken, CLR_INVALID);
    const CFlatSkin second(make(taken));
    for (int cell = 0; cell < 9; ++cell)
        EXPECT_NE(second.ColorOf("Static.background", cell), taken);
    EXPECT_EQ(second.Find(taken), nullptr);
}

TEST(FlatSkin, TheSavedFileLoadsWithTheSameRecordsAndPictures)
{
    const CFlatSkin skin(OneOfEveryType());
    const std::string path = testing::TempDir() + "flatskin_" + std::to_string(getpid()) + ".qvk";
    ASSERT_TRUE(skin.SaveToFile(path.c_str()));
    CSkinFile loaded;
    ASSERT_TRUE(loaded.LoadFromFile(path.c_str()));
    unlink(path.c_str());
    auto made = skin.MakeFile();
    ASSERT_EQ(loaded.GetObjects().size(), made->GetObjects().size());
    CSkinObject* frame = loaded.FindObject("T1");
    ASSERT_NE(frame, nullptr);
    for (const ImageRecord& r : ListImageRecords(*frame))
        ExpectPictureMatches(loaded, skin, r);
}

TEST(FlatSkin, ApplyMakesACopyTheCurrentSkin)
{
    const CFlatSkin skin(OneOfEveryType());
    skin.Apply();
    CSkinFile* current = CSkinManager::Instance().GetSkinFile();
    ASSERT_NE(current->FindObject("T4"), nullptr);
    auto* button = static_cast<CSkinButtonObject*>(current->FindObject("T4"));
    EXPECT_EQ(PixelOf(*current, button->m_states[0].grid.name, 15, 15), skin.ColorOf("T4.states[0].grid", 4));
    EXPECT_EQ(skin.Describe(skin.ColorOf("T4.states[0].grid", 4)), "T4.states[0].grid cell 4");
    EXPECT_EQ(skin.Describe(RGB(255, 0, 255)), "no record (#ff00ff)");
    CSkinManager::Instance().Cleanup();
}

}  // namespace
