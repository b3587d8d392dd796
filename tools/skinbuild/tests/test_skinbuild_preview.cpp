// The preview sheet: a drawn sample for every type the skin looks after, the states of a type
// told apart on the sheet itself, and a PNG file of it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Preview.h"
#include "SkinBuilder.h"
#include "SkinObjectTypes.h"
#include "SkinnerRegistry.h"

using namespace skinbuild;

namespace {

COLORREF At(const CRasterImage& img, LONG x, LONG y)
{
    RGBQUAD q = img.GetPixelColor(x, LONG(img.GetHeight()) - 1 - y, false);
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

std::vector<COLORREF> Pixels(const CRasterImage& img, const RECT& rc)
{
    std::vector<COLORREF> out;
    for (LONG y = rc.top; y < rc.bottom; ++y)
        for (LONG x = rc.left; x < rc.right; ++x)
            out.push_back(At(img, x, y));
    return out;
}

LONG W(const RECT& r) { return r.right - r.left; }
LONG H(const RECT& r) { return r.bottom - r.top; }

class Preview : public ::testing::Test {
protected:
    void SetUp() override
    {
        BuildDefaultSkin(skin);
        ASSERT_TRUE(RenderPreview(skin, sheet));
        ASSERT_TRUE(sheet.image.IsValid());
    }
    CSkinFile skin;
    PreviewSheet sheet;
};

}  // namespace

TEST_F(Preview, ShowsADrawnSampleOfEveryType)
{
    std::set<int> wanted = {SKIN_FRAMEWND, SKIN_CAPTIONBUTTON, SKIN_MENUBAR, SKIN_POPUPMENU};
    for (int type = 1; type <= SKIN_SYSCOLORTABLE; ++type)
        if (IsSkinnerType(type))
            wanted.insert(type);
    std::set<int> shown;
    const RECT sheetRect{0, 0, LONG(sheet.image.GetWidth()), LONG(sheet.image.GetHeight())};
    for (const PreviewCell& cell : sheet.cells) {
        SCOPED_TRACE(std::string(GetSkinTypeName(cell.type)) + " " + cell.state);
        RECT inside;
        ASSERT_TRUE(IntersectRect(&inside, &cell.rc, &sheetRect));
        ASSERT_TRUE(EqualRect(&inside, &cell.rc)) << "the cell runs off the sheet";
        // Something of the skin is drawn on the cell's background.
        int drawn = 0;
        for (COLORREF c : Pixels(sheet.image, cell.rc))
            drawn += c != sheet.cellColor;
        EXPECT_GT(drawn, W(cell.rc) * H(cell.rc) / 50) << "the cell is nearly empty";
        shown.insert(cell.type);
    }
    for (int type : wanted)
        EXPECT_TRUE(shown.count(type)) << "no sample of " << GetSkinTypeName(type);
}

TEST_F(Preview, StatesOfATypeLookDifferentOnTheSheet)
{
    // The first sample of a type against its others of the same size.
    std::map<int, const PreviewCell*> first;
    int compared = 0;
    for (const PreviewCell& cell : sheet.cells) {
        auto it = first.find(cell.type);
        if (it == first.end()) {
            first[cell.type] = &cell;
            continue;
        }
        const RECT& a = it->second->rc;
        if (W(a) != W(cell.rc) || H(a) != H(cell.rc))
            continue;
        EXPECT_NE(Pixels(sheet.image, a), Pixels(sheet.image, cell.rc))
            << GetSkinTypeName(cell.type) << ": " << it->second->state << " and " << cell.state << " look the same";
        ++compared;
    }
    EXPECT_GT(compared, 40);
    // Cells never overlap.
    for (size_t i = 0; i < sheet.cells.size(); ++i)
        for (size_t j = i + 1; j < sheet.cells.size(); ++j) {
            RECT both;
            EXPECT_FALSE(IntersectRect(&both, &sheet.cells[i].rc, &sheet.cells[j].rc))
                << sheet.cells[i].state << " / " << sheet.cells[j].state;
        }
}

TEST_F(Preview, AnEmptySkinGivesAnEmptySheet)
{
    CSkinFile empty;
    PreviewSheet blank;
    ASSERT_TRUE(RenderPreview(empty, blank));
    EXPECT_TRUE(blank.cells.empty());
}

TEST_F(Preview, IsWrittenAsAPngOfTheSheetsSize)
{
    const std::string path = ::testing::TempDir() + "skinbuild_preview_" + std::to_string(getpid()) + ".png";
    std::string error;
    ASSERT_TRUE(WritePreview(skin, path.c_str(), &error)) << error;
    std::ifstream f(path, std::ios::binary);
    unsigned char head[24] = {};
    f.read(reinterpret_cast<char*>(head), sizeof head);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(head), 8), std::string("\x89PNG\r\n\x1a\n", 8));
    auto be32 = [&](int at) { return (DWORD(head[at]) << 24) | (head[at + 1] << 16) | (head[at + 2] << 8) | head[at + 3]; };
    EXPECT_EQ(be32(16), sheet.image.GetWidth());
    EXPECT_EQ(be32(20), sheet.image.GetHeight());
    remove(path.c_str());

    EXPECT_FALSE(WritePreview(skin, "/nonexistent-folder/x.png", &error));
    EXPECT_FALSE(error.empty());
}
