// Skin image records drawn into a DC: image parts in each mode (with state offsets, mirroring
// and the fill fallback), nine-grids in each mode against a per-pixel model, the transparent
// variants, and the default skin's own pictures drawn through a nine-grid.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <functional>
#include <memory>
#include <string>

#include "RasterImage.h"
#include "SkinDraw.h"
#include "SkinFile.h"
#include "SkinObjectTypes.h"
#include "test_skindraw_canvas.h"

using skindrawtest::Canvas;

namespace {

const COLORREF kBack = RGB(1, 2, 3);
const COLORREF kKey = RGB(255, 0, 255);

// The atlas's pixel (x, y), top-down: every pixel has a colour of its own.
COLORREF Src(LONG x, LONG y) { return RGB(x * 20 + 3, y * 20 + 3, 77); }

std::unique_ptr<CSkinFile> MakeSkin()
{
    auto skin = std::make_unique<CSkinFile>();
    CRasterImage atlas(12, 12, 24);
    for (LONG y = 0; y < 12; ++y)
        for (LONG x = 0; x < 12; ++x)
            atlas.SetPixelColor(x, 11 - y, Src(x, y));
    auto image = std::make_unique<CSkinImageObject>();
    image->SetName("atlas");
    image->SetImage(atlas, RASTER_FORMAT_BMP);
    skin->AddImage(std::move(image));

    // 4 x 4, key colour on the diagonal.
    CRasterImage keyed(4, 4, 24);
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 4; ++x)
            keyed.SetPixelColor(x, 3 - y, x == y ? kKey : Src(x, y));
    auto k = std::make_unique<CSkinImageObject>();
    k->SetName("keyed");
    k->SetImage(keyed, RASTER_FORMAT_BMP);
    skin->AddImage(std::move(k));
    return skin;
}

SkinImagePart Part(const char* name, LONG l, LONG t, LONG r, LONG b, DWORD mode)
{
    SkinImagePart p{};
    p.Set(name, l, t, r, b, mode);
    return p;
}

SkinNineGrid Grid(DWORD mode, LONG margin = 3)
{
    SkinNineGrid g{};
    g.Set("atlas", 0, 0, 9, 9, margin, margin, margin, margin, mode);
    return g;
}

// Checks every canvas pixel against the model; reports the first few misses.
void ExpectPixels(const Canvas& c, const std::function<COLORREF(LONG, LONG)>& want)
{
    int misses = 0;
    for (LONG y = 0; y < c.H(); ++y)
        for (LONG x = 0; x < c.W(); ++x)
            if (c.At(x, y) != want(x, y) && ++misses <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << c.At(x, y) << ", want "
                              << want(x, y);
    EXPECT_EQ(misses, 0);
}

class SkinDrawImages : public ::testing::Test {
protected:
    std::unique_ptr<CSkinFile> skin = MakeSkin();
};

// ---- image parts ------------------------------------------------------------------------------

TEST_F(SkinDrawImages, ClipModeCutsFromTheStateOffsetAndStopsAtTheSmallerSize)
{
    Canvas c(24, 24, kBack);
    ASSERT_TRUE(c.Ok());
    // The second state of a strip laid out horizontally: source x from 6.
    DrawSkinImage(skin.get(), c.Dc(), RECT{10, 10, 14, 13}, Part("atlas", 6, 2, 12, 8, 0), 0, 0, false);
    ExpectPixels(c, [](LONG x, LONG y) {
        return (x >= 10 && x < 14 && y >= 10 && y < 13) ? Src(6 + x - 10, 2 + y - 10) : kBack;
    });

    // A rectangle larger than the part: drawn at its own size, nothing beyond.
    c.Fill(kBack);
    DrawSkinImage(skin.get(), c.Dc(), RECT{2, 3, 24, 24}, Part("atlas", 6, 2, 12, 8, 0), 0, 0, false);
    ExpectPixels(c, [](LONG x, LONG y) {
        return (x >= 2 && x < 8 && y >= 3 && y < 9) ? Src(6 + x - 2, 2 + y - 3) : kBack;
    });

    // Mirrored: the same corner, flipped left to right.
    c.Fill(kBack);
    DrawSkinImage(skin.get(), c.Dc(), RECT{0, 0, 4, 4}, Part("atlas", 2, 2, 8, 8, 0), 0, 0, true);
    ExpectPixels(c, [](LONG x, LONG y) { return (x < 4 && y < 4) ? Src(2 + 3 - x, 2 + y) : kBack; });
}

TEST_F(SkinDrawImages, TileModeRepeatsFromTheCornerAndMirrorsEachTile)
{
    Canvas c(16, 12, kBack);
    DrawSkinImage(skin.get(), c.Dc(), RECT{5, 5, 12, 10}, Part("atlas", 1, 4, 4, 6, 1), 0, 0, false);
    ExpectPixels(c, [](LONG x, LONG y) {
        return (x >= 5 && x < 12 && y >= 5 && y < 10) ? Src(1 + (x - 5) % 3, 4 + (y - 5) % 2) : kBack;
    });
    c.Fill(kBack);
    DrawSkinImage(skin.get(), c.Dc(), RECT{5, 5, 12, 10}, Part("atlas", 1, 4, 4, 6, 1), 0, 0, true);
    ExpectPixels(c, [](LONG x, LONG y) {
        return (x >= 5 && x < 12 && y >= 5 && y < 10) ? Src(1 + 2 - (x - 5) % 3, 4 + (y - 5) % 2) : kBack;
    });
}

TEST_F(SkinDrawImages, StretchModeFillsTheRectangleAndIgnoresMirroring)
{
    for (bool mirror : {false, true}) {
        Canvas c(8, 8, kBack);
        DrawSkinImage(skin.get(), c.Dc(), RECT{1, 1, 7, 7}, Part("atlas", 3, 3, 6, 6, 2), 0, 0, mirror);
        ExpectPixels(c, [](LONG x, LONG y) {
            return (x >= 1 && x < 7 && y >= 1 && y < 7) ? Src(3 + (x - 1) / 2, 3 + (y - 1) / 2) : kBack;
        });
    }
}

TEST_F(SkinDrawImages, NothingToDrawFillsOnlyWhenAsked)
{
    const COLORREF fill = RGB(9, 200, 9);
    const RECT rc = {2, 2, 6, 5};
    auto inRc = [&](LONG x, LONG y) { return x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom; };
    struct Case {
        CSkinFile* file;
        SkinImagePart part;
    } cases[] = {
        {skin.get(), Part("atlas", 4, 4, 4, 9, 1)},   // empty source
        {skin.get(), Part("nowhere", 0, 0, 3, 3, 1)},  // no such picture
        {nullptr, Part("atlas", 0, 0, 3, 3, 1)},      // no skin
    };
    for (const Case& k : cases) {
        Canvas c(8, 8, kBack);
        DrawSkinImage(k.file, c.Dc(), rc, k.part, fill, 1, false);
        ExpectPixels(c, [&](LONG x, LONG y) { return inRc(x, y) ? fill : kBack; });
        c.Fill(kBack);
        DrawSkinImage(k.file, c.Dc(), rc, k.part, fill, 0, false);
        ExpectPixels(c, [](LONG, LONG) { return kBack; });
    }
}

// ---- nine-grids ------------------------------------------------------------------------------

// The 9 x 9 grid with margins 3 drawn into (0, 0, 18, 18): corners 3 x 3, edges 12 long, a
// 12 x 12 centre. stretched[cell] says which cells stretch; columns8 draws mode 8's centre.
COLORREF GridModel(LONG x, LONG y, const bool stretched[9], bool columns8)
{
    auto band = [](LONG d, LONG& cell, LONG& offset, LONG& scale) {
        if (d < 3) { cell = 0; offset = d; scale = 1; }
        else if (d < 15) { cell = 1; offset = d - 3; scale = 4; }
        else { cell = 2; offset = d - 15; scale = 1; }
    };
    LONG cx, ox, sx, cy, oy, sy;
    band(x, cx, ox, sx);
    band(y, cy, oy, sy);
    const int cell = int(cy * 3 + cx);
    LONG u, v;
    if (cell == 4 && columns8) {
        u = ox % 3;
        v = oy / sy;
    } else if (stretched[cell]) {
        u = ox / sx;
        v = oy / sy;
    } else {
        u = ox % 3;
        v = oy % 3;
    }
    return Src(cx * 3 + u, cy * 3 + v);
}

TEST_F(SkinDrawImages, NineGridModesTileOrStretchTheChosenParts)
{
    struct Case {
        DWORD mode;
        std::vector<int> stretched;
        bool columns8;
    } cases[] = {
        {0, {}, false},
        {1, {1, 3, 4, 5, 7}, false},  // everything stretches (corners keep their size anyway)
        {2, {7}, false},
        {3, {4}, false},
        {4, {3}, false},
        {5, {1, 3, 5, 7}, false},
        {6, {5}, false},
        {7, {1}, false},
        {8, {1, 3, 5, 7}, true},
        {9, {}, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE("grid mode " + std::to_string(k.mode));
        bool stretched[9] = {};
        for (int i : k.stretched)
            stretched[i] = true;
        Canvas c(18, 18, kBack);
        DrawSkinImagePart(skin.get(), c.Dc(), RECT{0, 0, 18, 18}, Grid(k.mode), 0, 0, false);
        ExpectPixels(c, [&](LONG x, LONG y) { return GridModel(x, y, stretched, k.columns8); });
    }
}

TEST_F(SkinDrawImages, NineGridAtAnOffsetWithAnUnevenCentre)
{
    // Mode 8's last column is cut short: centre width 7 = 3 + 3 + 1.
    Canvas c(20, 12, kBack);
    DrawSkinImagePart(skin.get(), c.Dc(), RECT{4, 1, 17, 10}, Grid(8), 0, 0, false);
    // Centre (7, 4)-(11, 7): 3 rows from 3, stretched by 1; columns step 3.
    for (LONG y = 4; y < 7; ++y)
        for (LONG x = 7; x < 14; ++x)
            EXPECT_EQ(c.At(x, y), Src(3 + (x - 7) % 3, 3 + (y - 4))) << x << "," << y;
    EXPECT_EQ(c.At(4, 1), Src(0, 0));
    EXPECT_EQ(c.At(16, 9), Src(8, 8));
    EXPECT_EQ(c.At(3, 1), kBack);
    EXPECT_EQ(c.At(17, 9), kBack);
    EXPECT_EQ(c.At(4, 10), kBack);
}

TEST_F(SkinDrawImages, FramesLeaveTheCentreAndTakeOwnMargins)
{
    const bool none[9] = {};
    for (DWORD mode : {0u, 8u}) {
        // Mode 8 stretches nothing in a frame.
        Canvas c(18, 18, kBack);
        DrawSkinImageFrame(skin.get(), c.Dc(), RECT{0, 0, 18, 18}, Grid(mode), 0, 0, false);
        ExpectPixels(c, [&](LONG x, LONG y) {
            return (x >= 3 && x < 15 && y >= 3 && y < 15) ? kBack : GridModel(x, y, none, false);
        });
    }
    // Given margins replace the grid's own: a 1-pixel top and left border.
    Canvas c(10, 10, kBack);
    SkinNineGrid g = Grid(0, 4);
    DrawSkinImageFrameEx(skin.get(), c.Dc(), RECT{0, 0, 10, 10}, g, 1, 1, 3, 3, 0, 0, false);
    EXPECT_EQ(c.At(0, 0), Src(0, 0));
    EXPECT_EQ(c.At(1, 0), Src(1, 0));  // top edge starts at source x 1
    EXPECT_EQ(c.At(0, 1), Src(0, 1));
    EXPECT_EQ(c.At(1, 1), kBack);  // no centre
    EXPECT_EQ(c.At(7, 7), Src(6, 6));  // bottom-right corner: the last 3 x 3 of the source
}

TEST_F(SkinDrawImages, NineGridSmallerThanItsMarginsStaysInsideItsRectangle)
{
    Canvas c(10, 10, kBack);
    DrawSkinImagePart(skin.get(), c.Dc(), RECT{2, 2, 6, 6}, Grid(0), RGB(0, 255, 0), 1, false);
    for (LONG y = 0; y < 10; ++y)
        for (LONG x = 0; x < 10; ++x)
            if (x < 2 || x >= 6 || y < 2 || y >= 6) {
                EXPECT_EQ(c.At(x, y), kBack) << x << "," << y;
            }
    EXPECT_EQ(c.At(2, 2), Src(0, 0));
    EXPECT_EQ(c.At(5, 5), Src(8, 8));
}

// ---- transparent drawing ------------------------------------------------------------------------

TEST_F(SkinDrawImages, TransparentDrawingKeepsTheBackgroundUnderTheKey)
{
    Canvas c(8, 8, kBack);
    DrawSkinImageTransparent(skin.get(), c.Dc(), RECT{2, 3, 6, 7}, Part("keyed", 0, 0, 4, 4, 0), kKey, false);
    ExpectPixels(c, [](LONG x, LONG y) {
        if (x < 2 || x >= 6 || y < 3 || y >= 7)
            return kBack;
        const LONG u = x - 2, v = y - 3;
        return u == v ? kBack : Src(u, v);
    });

    // A nine-grid of the keyed picture at twice its size, margins 1, all tiled.
    c.Fill(kBack);
    SkinNineGrid g{};
    g.Set("keyed", 0, 0, 4, 4, 1, 1, 1, 1, 0);
    DrawSkinImagePartTransparent(skin.get(), c.Dc(), RECT{0, 0, 8, 8}, g, kKey, false);
    EXPECT_EQ(c.At(0, 0), kBack);      // key corner
    EXPECT_EQ(c.At(7, 7), kBack);      // key corner
    EXPECT_EQ(c.At(7, 0), Src(3, 0));  // top-right corner
    EXPECT_EQ(c.At(1, 1), kBack);      // centre tile (1,1) is the key
    EXPECT_EQ(c.At(2, 1), Src(2, 1));
}

// ---- the default skin ------------------------------------------------------------------------

std::string ProgramFolder()
{
    char path[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string s(path, n > 0 ? size_t(n) : 0);
    return s.substr(0, s.rfind('/') + 1);
}

TEST(SkinDrawDefaultSkin, EveryPictureDrawnThroughATiledGridMatchesItsPixels)
{
    CSkinFile skin;
    ASSERT_TRUE(skin.LoadFromFile((ProgramFolder() + "z-arud.qvk").c_str()));
    int checked = 0;
    for (const auto& entry : skin.GetImages()) {
        CRasterImage* pic = entry.second->GetImage();
        if (!pic || !pic->IsValid())
            continue;
        const LONG w = LONG(pic->GetWidth()), h = LONG(pic->GetHeight());
        if (w < 6 || h < 6 || w > 200 || h > 200)
            continue;
        SCOPED_TRACE(entry.first);
        auto px = [&](LONG x, LONG y) {
            RGBQUAD q = pic->GetPixelColor(x, h - 1 - y, false);
            return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
        };
        // Margins of 2 and a rectangle one and a half times the picture: edges and centre tile.
        SkinNineGrid g{};
        g.Set(entry.second->GetName(), 0, 0, w, h, 2, 2, 2, 2, 0);
        const LONG dw = w + w / 2, dh = h + h / 2;
        Canvas c(dw, dh, kBack);
        DrawSkinImagePart(&skin, c.Dc(), RECT{0, 0, dw, dh}, g, 0, 0, false);
        auto map = [](LONG d, LONG size, LONG dsize) {
            if (d < 2)
                return d;
            if (d >= dsize - 2)
                return size - (dsize - d);
            return 2 + (d - 2) % (size - 4);
        };
        int misses = 0;
        for (LONG y = 0; y < dh; ++y)
            for (LONG x = 0; x < dw; ++x)
                if (c.At(x, y) != px(map(x, w, dw), map(y, h, dh)))
                    ++misses;
        EXPECT_EQ(misses, 0);
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

}  // namespace
