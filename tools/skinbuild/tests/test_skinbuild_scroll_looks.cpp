// The default skin's scroll-bar pictures: every state's arrows carry a glyph pointing its way,
// thumbs stand out from their tracks and fit inside them, pressed and hot thumbs differ from
// the normal one, disabled arrows are fainter, and the size grip shows its dots.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "RasterImage.h"
#include "SkinBuilder.h"
#include "SkinObjectTypes.h"

using namespace skinbuild;

namespace {

int Distance(COLORREF a, COLORREF b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

class ScrollLooks : public ::testing::Test {
protected:
    void SetUp() override
    {
        BuildDefaultSkin(skin);
        bar = dynamic_cast<CSkinScrollBarObject*>(skin.FindObjectByType(SKIN_SCROLLBAR));
        ASSERT_NE(bar, nullptr);
    }
    COLORREF Pixel(const char* name, int x, int y)
    {
        const CRasterImage* img = skin.FindImage(name)->GetImage();
        RGBQUAD q = img->GetPixelColor(x, int(img->GetHeight()) - 1 - y, false);
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    COLORREF Centre(const char* name, const RECT& r) { return Pixel(name, (r.left + r.right) / 2, (r.top + r.bottom) / 2); }
    // What lies behind an arrow's glyph: the middle of the picture's first edge.
    COLORREF Behind(const SkinImagePart& a, bool vertical)
    {
        const int mx = (a.src.left + a.src.right) / 2, my = (a.src.top + a.src.bottom) / 2;
        return vertical ? Pixel(a.name, mx, a.src.top + 2) : Pixel(a.name, a.src.left + 2, my);
    }
    // The glyph pixels of an arrow picture in one column (or row) counted from its start.
    int GlyphAcross(const SkinImagePart& a, int along, bool vertical)
    {
        const COLORREF back = Behind(a, vertical);
        int n = 0;
        const int width = vertical ? a.src.right - a.src.left : a.src.bottom - a.src.top;
        for (int i = 0; i < width; ++i) {
            const int x = vertical ? a.src.left + i : a.src.left + along;
            const int y = vertical ? a.src.top + along : a.src.top + i;
            n += Distance(Pixel(a.name, x, y), back) > 90 ? 1 : 0;
        }
        return n;
    }
    int Glyph(const SkinImagePart& a, bool vertical)
    {
        int n = 0;
        const int length = vertical ? a.src.bottom - a.src.top : a.src.right - a.src.left;
        for (int i = 0; i < length; ++i)
            n += GlyphAcross(a, i, vertical);
        return n;
    }
    // A triangle pointing towards the start is wide near the far end and thin near its tip.
    bool PointsToStart(const SkinImagePart& a, bool vertical)
    {
        const int length = vertical ? a.src.bottom - a.src.top : a.src.right - a.src.left;
        int tip = -1, base = -1;
        for (int i = 0; i < length; ++i)
            if (GlyphAcross(a, i, vertical) > 0) {
                if (tip < 0)
                    tip = i;
                base = i;
            }
        return tip >= 0 && GlyphAcross(a, base, vertical) > GlyphAcross(a, tip, vertical) + 2;
    }
    struct Set {
        const SkinScrollBarState* state;
        bool vertical;
        std::string name;
    };
    std::vector<Set> Sets() const
    {
        std::vector<Set> sets;
        for (int i = 0; i < 4; ++i)
            sets.push_back({&bar->m_horizontal[i], false, "horizontal " + std::to_string(i)});
        for (int i = 0; i < 3; ++i)
            sets.push_back({&bar->m_vertical[i], true, "vertical " + std::to_string(i)});
        sets.push_back({&bar->m_verticalLast, true, "vertical 3"});
        return sets;
    }

    CSkinFile skin;
    CSkinScrollBarObject* bar = nullptr;
};

TEST_F(ScrollLooks, EveryStateHasArrowsPointingOutwardsAndAThumbThatStandsOutAndFits)
{
    for (const Set& s : Sets()) {
        SCOPED_TRACE(s.name);
        const SkinScrollBarState& st = *s.state;
        EXPECT_GE(Glyph(st.arrow1, s.vertical), 10);
        EXPECT_GE(Glyph(st.arrow2, s.vertical), 10);
        EXPECT_TRUE(PointsToStart(st.arrow1, s.vertical));
        EXPECT_FALSE(PointsToStart(st.arrow2, s.vertical));

        EXPECT_GT(Distance(Centre(st.thumb.name, st.thumb.src), Centre(st.track.name, st.track.src)), 40);
        // Across the bar the thumb lies within the track's margins.
        const LONG thumbAcross = s.vertical ? st.thumb.src.right - st.thumb.src.left : st.thumb.src.bottom - st.thumb.src.top;
        const LONG trackAcross = s.vertical ? st.track.src.right - st.track.src.left - st.track.marginLeft - st.track.marginRight
                                            : st.track.src.bottom - st.track.src.top - st.track.marginTop - st.track.marginBottom;
        EXPECT_EQ(thumbAcross, trackAcross);
    }
}

TEST_F(ScrollLooks, PressedAndHotThumbsDifferAndDisabledArrowsAreFainter)
{
    for (bool vertical : {false, true}) {
        SCOPED_TRACE(vertical ? "vertical" : "horizontal");
        const SkinScrollBarState* sets = vertical ? bar->m_vertical : bar->m_horizontal;
        const SkinScrollBarState& disabled = vertical ? bar->m_verticalLast : bar->m_horizontal[3];
        const COLORREF normal = Centre(sets[0].thumb.name, sets[0].thumb.src);
        EXPECT_GT(Distance(Centre(sets[1].thumb.name, sets[1].thumb.src), normal), 30);
        EXPECT_GT(Distance(Centre(sets[2].thumb.name, sets[2].thumb.src), normal), 30);
        EXPECT_NE(Centre(sets[1].thumb.name, sets[1].thumb.src), Centre(sets[2].thumb.name, sets[2].thumb.src));

        // The arrow's glyph against its corner: less contrast when disabled.
        auto contrast = [&](const SkinImagePart& a) {
            return Distance(Centre(a.name, a.src), Behind(a, vertical));
        };
        EXPECT_LT(contrast(disabled.arrow1) * 2, contrast(sets[0].arrow1));
    }
    // The grip: dots on the face.
    const SkinImagePart& grip = bar->m_sizeGrip;
    const COLORREF face = Pixel(grip.name, grip.src.left, grip.src.top);
    int dots = 0;
    for (LONG y = grip.src.top; y < grip.src.bottom; ++y)
        for (LONG x = grip.src.left; x < grip.src.right; ++x)
            dots += Distance(Pixel(grip.name, x, y), face) > 40 ? 1 : 0;
    EXPECT_GE(dots, 6);
}

}  // namespace
