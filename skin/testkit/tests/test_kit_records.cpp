// The record list: every image part and nine-grid that a type's record holds, each a real field
// of the object as the skin file stores it.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "MemoryStream.h"
#include "SkinObjectTypes.h"
#include "SkinRecords.h"

using namespace skinkit;

namespace {

struct Counts {
    int type, parts, grids;
};

// From the record layouts: the window base has 18 parts and 2 nine-grids, the font base one
// nine-grid, the caption base one part; the tails add theirs.
const Counts kCounts[] = {
    {SKIN_FRAMEWND, 32, 5},  {SKIN_SHAPEWND, 1, 0},      {SKIN_BUTTON, 0, 7},        {SKIN_CHECKBOX, 7, 8},
    {SKIN_COMBOBOX, 0, 5},   {SKIN_EDIT, 1, 1},          {SKIN_GROUPBOX, 0, 2},      {SKIN_LISTBOX, 1, 1},
    {SKIN_PROGRESSBAR, 0, 2}, {SKIN_RADIO, 7, 8},        {SKIN_SCROLLBAR, 17, 17},   {SKIN_SLIDER, 0, 4},
    {SKIN_STATIC, 0, 1},     {SKIN_STATUSBAR, 1, 2},     {SKIN_TAB, 0, 6},           {SKIN_POPUPMENU, 20, 4},
    {SKIN_TOOLBAR, 0, 6},    {SKIN_CONTROLBAR, 0, 1},    {SKIN_APPLICATION, 0, 0},   {SKIN_SCROLLCONTROL, 1, 1},
    {SKIN_SPIN, 16, 1},      {SKIN_LISTVIEW, 1, 1},      {SKIN_TREEVIEW, 5, 3},      {SKIN_RICHEDIT, 1, 1},
    {SKIN_DATETIME, 2, 4},   {SKIN_COMBOBOXEX, 0, 5},    {SKIN_MONTHCALENDAR, 0, 7}, {SKIN_REBAR, 0, 2},
    {SKIN_HEADER, 0, 2},     {SKIN_CAPTIONSTATIC, 1, 0}, {SKIN_IMAGELIST, 1, 0},     {SKIN_ANIMATE, 1, 1},
    {SKIN_TOOLTIP, 18, 2},   {SKIN_SYSCOLORTABLE, 0, 0}, {SKIN_TYPE45, 18, 2},       {SKIN_TYPE100, 0, 1},
    {SKIN_CAPTIONBUTTON, 4, 0},
};

std::string Saved(CSkinObject& o)
{
    CMemoryStream s;
    EXPECT_TRUE(o.Save(s));
    return std::string(reinterpret_cast<const char*>(s.GetBuffer()), s.GetSize());
}

TEST(SkinRecords, EveryTypeListsTheRecordsItsLayoutHolds)
{
    std::set<int> covered;
    for (const Counts& c : kCounts) {
        SCOPED_TRACE(c.type);
        auto o = CreateSkinObject(c.type);
        ASSERT_NE(o, nullptr);
        o->SetName("Obj");
        const auto records = ListImageRecords(*o);
        const auto parts = std::count_if(records.begin(), records.end(), [](const ImageRecord& r) { return r.part; });
        const auto grids = std::count_if(records.begin(), records.end(), [](const ImageRecord& r) { return r.grid; });
        EXPECT_EQ(parts, c.parts);
        EXPECT_EQ(grids, c.grids);
        std::set<std::string> paths;
        std::set<const void*> fields;
        for (const ImageRecord& r : records) {
            EXPECT_NE(r.part == nullptr, r.grid == nullptr) << r.path;
            EXPECT_TRUE(paths.insert(r.path).second) << r.path;
            EXPECT_TRUE(fields.insert(r.part ? static_cast<const void*>(r.part) : r.grid).second) << r.path;
            EXPECT_EQ(r.path.rfind("Obj.", 0), 0u) << r.path;
        }
        covered.insert(c.type);
    }
    // Every type the reader builds is in the table.
    for (int type = 0; type <= 100; ++type) {
        if (IsSkinTopLevelType(type) || IsSkinChildType(type)) {
            EXPECT_TRUE(covered.count(type)) << type;
        }
    }
}

TEST(SkinRecords, EachListedRecordIsAFieldTheSkinFileStores)
{
    for (const Counts& c : kCounts) {
        SCOPED_TRACE(c.type);
        auto o = CreateSkinObject(c.type);
        const auto records = ListImageRecords(*o);
        for (size_t i = 0; i < records.size(); ++i) {
            const std::string marker = "mark" + std::to_string(i) + "x";
            if (records[i].part)
                records[i].part->Set(marker.c_str(), 0, 0, 1, 1, 0);
            else
                records[i].grid->Set(marker.c_str(), 0, 0, 1, 1, 0, 0, 0, 0, 0);
        }
        const std::string bytes = Saved(*o);
        for (size_t i = 0; i < records.size(); ++i)
            EXPECT_NE(bytes.find("mark" + std::to_string(i) + "x"), std::string::npos) << records[i].path;
    }
}

TEST(SkinRecords, ChildrenFollowTheirParentUnderItsPath)
{
    auto dialog = CreateSkinObject(SKIN_FRAMEWND);
    dialog->SetName("Dialog");
    auto close = CreateSkinObject(SKIN_CAPTIONBUTTON);
    close->SetName("Close");
    auto ok = CreateSkinObject(SKIN_BUTTON);
    ok->SetName("Ok");
    auto* closeRaw = static_cast<CSkinCaptionButtonObject*>(close.get());
    dialog->AddChild(std::move(ok));
    dialog->AddChild(std::move(close));

    const auto records = ListImageRecords(*dialog);
    ASSERT_EQ(records.size(), size_t(32 + 5 + 4 + 7));
    EXPECT_EQ(records[4].path, "Dialog.parts[4]");
    EXPECT_EQ(records[37].path, "Dialog/Close.image");
    EXPECT_EQ(records[37].part, &closeRaw->m_image);
    EXPECT_EQ(records[38].path, "Dialog/Close.states[0]");
    EXPECT_EQ(records[41].path, "Dialog/Ok.background");
    EXPECT_EQ(records[42].path, "Dialog/Ok.states[0].grid");
}

}  // namespace
