// The shaded button: its own generator, the faces each shade type builds (palette indexes at
// chosen pixels and drawn colours), tinting, the lighter face under the mouse, and tiny sizes.
#include <gtest/gtest.h>

#include <vector>

#include "ShadeButton.h"
#include "winplat_test.h"

namespace {

// The palette index at x, y counted from the top.
int Index(const CDibBitmap& d, int x, int y) {
    return d.GetBits()[size_t(d.GetHeight() - 1 - y) * d.GetLineWidth() + size_t(x)];
}

std::vector<BYTE> Pixels(const CDibBitmap& d) {
    return std::vector<BYTE>(d.GetBits(), d.GetBits() + d.GetLineWidth() * d.GetHeight());
}

class ShadeButtonTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0, nullptr, HBRUSH(GetStockObject(WHITE_BRUSH))), "host",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr));
        Pump();
    }
    void TearDown() override {
        host.DestroyWindow();
        Pump();
    }
    void Make(CShadeButton& b, int w, int h, UINT id = 100, const char* caption = "") {
        ASSERT_TRUE(b.Create(caption, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 10 + w, 10 + h), &host, id));
    }
    static void Pump() {
        WinTestPumpUntilIdle();
        WinTestPumpUntilIdle();
    }
    CWnd host;
};

}  // namespace

TEST(ShadeNoise, GeneratorFollowsTheClassicFifteenBitSequence) {
    CShadeButton::CNoise n;
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int e : expected) EXPECT_EQ(n.Next(), e);
    CShadeButton::CNoise m(12345);
    for (int i = 0; i < 100000; ++i) {
        int v = m.Next();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
    }
}

TEST_F(ShadeButtonTest, EachShadeTypeBuildsItsPatternWithoutNoiseAtGranularityZero) {
    CShadeButton b;
    Make(b, 60, 40);
    struct Probe {
        int x, y, index;
    };
    struct Case {
        UINT type;
        std::vector<Probe> probes;
    } cases[] = {
        {CShadeButton::SHS_NOISE, {{0, 0, 128}, {30, 20, 128}}},
        {CShadeButton::SHS_DIAGSHADE, {{0, 0, 127}, {30, 20, 126}, {59, 39, 125}}},
        {CShadeButton::SHS_VSHADE, {{5, 0, 0}, {50, 10, 63}, {0, 39, 248}}},
        {CShadeButton::SHS_HSHADE, {{0, 5, 255}, {30, 0, 127}, {59, 39, 4}}},
        {CShadeButton::SHS_VBUMP, {{7, 0, 3}, {0, 20, 128}, {59, 39, 236}}},
        // The cube of 128 makes 256, which wraps to 0 in a byte.
        {CShadeButton::SHS_HBUMP, {{0, 3, 0}, {30, 0, 128}, {59, 39, 15}}},
        {CShadeButton::SHS_SOFTBUMP, {{0, 0, 131}, {30, 20, 128}, {0, 39, 255}, {59, 0, 0}}},
        {CShadeButton::SHS_HARDBUMP, {{55, 20, 64}, {5, 20, 191}, {30, 20, 128}, {59, 0, 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        b.SetShade(c.type, 0, 10, 0, 0);
        const CDibBitmap& face = b.NormalFace();
        ASSERT_EQ(face.GetWidth(), 60u);
        ASSERT_EQ(face.GetHeight(), 40u);
        ASSERT_EQ(face.GetBitCount(), 8);
        for (const Probe& p : c.probes) EXPECT_EQ(Index(face, p.x, p.y), p.index) << p.x << "," << p.y;
        // The lighter face has the same pixels.
        EXPECT_EQ(Pixels(b.LighterFace()), Pixels(face));
    }
}

TEST_F(ShadeButtonTest, NoiseIsDeterministicAndFollowsTheGeneratorRowByRow) {
    CShadeButton a, b;
    Make(a, 50, 20, 100);
    Make(b, 50, 20, 101);
    a.SetShade(CShadeButton::SHS_NOISE, 8);
    b.SetShade(CShadeButton::SHS_NOISE, 8);
    EXPECT_EQ(Pixels(a.NormalFace()), Pixels(b.NormalFace()));
    // grain 16: rand() / 2047 - 128 - 8 for 41, 18467, 6334; then the next row goes on.
    EXPECT_EQ(Index(a.NormalFace(), 0, 0), 120);
    EXPECT_EQ(Index(a.NormalFace(), 1, 0), 129);
    EXPECT_EQ(Index(a.NormalFace(), 2, 0), 123);
    // Building again starts the sequence again.
    a.SetShade(CShadeButton::SHS_NOISE, 8);
    EXPECT_EQ(Pixels(a.NormalFace()), Pixels(b.NormalFace()));
    // Noise spreads around the middle of the palette within the granularity.
    int lo = 255, hi = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 50; ++x) {
            int v = Index(a.NormalFace(), x, y);
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    EXPECT_EQ(lo, 120);
    EXPECT_GE(hi, 134);
    EXPECT_LE(hi, 136);

    // The gradients carry the same noise on top of their pattern.
    a.SetShade(CShadeButton::SHS_VSHADE, 8);
    EXPECT_EQ(Index(a.NormalFace(), 0, 0), 8 + 0 - 8);   // 41 / 2047 = 0
    EXPECT_EQ(Index(a.NormalFace(), 1, 0), 8 + 9 - 8);   // 18467 / 2047 = 9
}

TEST_F(ShadeButtonTest, MetalStrokesAreDeterministicAndStayWithinTheFace) {
    CShadeButton a, b;
    Make(a, 80, 30, 100);
    Make(b, 80, 30, 101);
    a.SetShade(CShadeButton::SHS_METAL, 0);
    b.SetShade(CShadeButton::SHS_METAL, 0);
    EXPECT_EQ(Pixels(a.NormalFace()), Pixels(b.NormalFace()));
    // Without strokes every pixel would be the diagonal gradient a*y/h + a*(w-x)/w, a = 107.
    int stroked = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) {
            int base = 107 * y / 30 + 107 * (80 - x) / 80;
            int v = Index(a.NormalFace(), x, y);
            ASSERT_GE(v, base);
            ASSERT_LE(v, base + 40 + 1);
            stroked += v > base + 1;
        }
    EXPECT_GT(stroked, 50);
}

TEST_F(ShadeButtonTest, PaletteRunsFromShadowOverFaceToHighlightAndTakesTheTint) {
    CShadeButton b;
    Make(b, 60, 40);
    b.SetShade(CShadeButton::SHS_VSHADE, 0, 50);
    Pump();
    // Index 0 is the shadow, 63 a blend towards the face (169,167,163), 248 near the highlight.
    WinTestWindowPicture pic(b.m_hWnd);
    EXPECT_EQ(pic.At(30, 0), RGB(128, 128, 128));
    EXPECT_EQ(pic.At(30, 10), RGB(169, 167, 163));
    EXPECT_EQ(pic.At(30, 39), RGB(252, 252, 251));

    // Full tint paints every index in the tint colour; half tint blends each entry.
    b.SetShade(CShadeButton::SHS_VSHADE, 0, 50, 100, RGB(255, 0, 0));
    Pump();
    WinTestWindowPicture red(b.m_hWnd);
    EXPECT_EQ(red.Count(RGB(255, 0, 0)), 60 * 40);
    b.SetShade(CShadeButton::SHS_VSHADE, 0, 50, 50, RGB(0, 0, 255));
    Pump();
    WinTestWindowPicture blue(b.m_hWnd);
    EXPECT_EQ(blue.At(30, 0), RGB(64, 64, 191));
}

TEST_F(ShadeButtonTest, MouseOverShowsTheLighterFaceAndPressingShiftsIt) {
    CShadeButton b;
    Make(b, 60, 40);
    b.SetShade(CShadeButton::SHS_VSHADE, 0, 50);
    Pump();
    const COLORREF normal_10 = RGB(169, 167, 163);   // index 63
    const COLORREF lighter_10 = RGB(212, 211, 209);  // index 63 halfway to white
    EXPECT_EQ(WinTestWindowPicture(b.m_hWnd).At(30, 10), normal_10);

    WinTestMouseMove(b.m_hWnd, 30, 20);
    Pump();
    ASSERT_TRUE(b.IsHovering());
    WinTestWindowPicture over(b.m_hWnd);
    EXPECT_EQ(over.At(30, 10), lighter_10);
    EXPECT_EQ(over.At(0, 20), GetSysColor(COLOR_BTNHIGHLIGHT));  // the flat hover border
    EXPECT_EQ(over.At(59, 20), GetSysColor(COLOR_BTNSHADOW));

    WinTestMouseButton(b.m_hWnd, WINTEST_LEFT, TRUE, 30, 20);
    Pump();
    WinTestWindowPicture pressed(b.m_hWnd);
    EXPECT_EQ(pressed.At(30, 11), lighter_10);  // the face moved down by one
    EXPECT_NE(pressed.At(30, 10), lighter_10);
    WinTestMouseButton(b.m_hWnd, WINTEST_LEFT, FALSE, 30, 20);
    Pump();

    WinTestMouseMove(host.m_hWnd, 300, 250);
    Pump();
    EXPECT_FALSE(b.IsHovering());
    EXPECT_EQ(WinTestWindowPicture(b.m_hWnd).At(30, 10), normal_10);
}

TEST_F(ShadeButtonTest, TinyButtonsStillGetValidPictures) {
    CShadeButton one_high, narrow, none;
    Make(one_high, 40, 1, 100);
    Make(narrow, 3, 3, 101);
    Make(none, 0, 0, 102);
    for (UINT t = 0; t <= 9; ++t) {
        SCOPED_TRACE(t);
        one_high.SetShade(t, 20);
        narrow.SetShade(t, 20);
        none.SetShade(t, 20);
        EXPECT_EQ(one_high.NormalFace().GetHeight(), 1u);
        EXPECT_EQ(one_high.NormalFace().GetWidth(), 40u);
        EXPECT_EQ(narrow.NormalFace().GetWidth(), 3u);
        EXPECT_EQ(none.NormalFace().GetWidth(), 1u);
        EXPECT_EQ(none.NormalFace().GetHeight(), 1u);
    }
    // A button that has no window yet builds one-pixel faces.
    CShadeButton unmade;
    unmade.SetShade(CShadeButton::SHS_HARDBUMP);
    EXPECT_EQ(unmade.NormalFace().GetWidth(), 1u);
    Pump();
}
