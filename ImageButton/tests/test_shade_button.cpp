// The shaded button: its own generator, the face each shade type builds (palette indexes at
// chosen pixels), the drawn colours with tint, the lighter face under the mouse, tiny sizes.
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
    }
    void TearDown() override {
        host.DestroyWindow();
        Pump();
    }
    void Make(CShadeButton& b, int w, int h, UINT id = 100) {
        ASSERT_TRUE(b.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 10 + w, 10 + h), &host, id));
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
    for (int e : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464}) EXPECT_EQ(n.Next(), e);
}

TEST_F(ShadeButtonTest, EachShadeTypeBuildsItsPatternWithoutNoiseAtGranularityZero) {
    CShadeButton b;
    Make(b, 60, 40);
    struct Probe {
        int x, y, index;
    };
    const std::vector<Probe> cases[] = {
        {{0, 0, 128}, {30, 20, 128}},                             // noise only
        {{0, 0, 127}, {30, 20, 126}, {59, 39, 125}},              // diagonal
        {{5, 0, 0}, {50, 10, 63}, {0, 39, 248}},                  // vertical
        {{0, 5, 255}, {30, 0, 127}, {59, 39, 4}},                 // horizontal
        {{7, 0, 3}, {0, 20, 128}, {59, 39, 236}},                 // vertical bump
        {{0, 3, 0}, {30, 0, 128}, {59, 39, 15}},                  // horizontal bump: 256 wraps to 0
        {{0, 0, 131}, {30, 20, 128}, {0, 39, 255}, {59, 0, 0}},   // soft bump, clamped
        {{55, 20, 64}, {5, 20, 191}, {30, 20, 128}, {59, 0, 3}},  // hard bump: bevels and middle
    };
    for (UINT type = 0; type < 8; ++type) {
        b.SetShade(type, 0, 10, 0, 0);
        ASSERT_EQ(b.NormalFace().GetWidth(), 60u);
        ASSERT_EQ(b.NormalFace().GetBitCount(), 8);
        for (const Probe& p : cases[type])
            EXPECT_EQ(Index(b.NormalFace(), p.x, p.y), p.index) << type << ": " << p.x << "," << p.y;
        EXPECT_EQ(Pixels(b.LighterFace()), Pixels(b.NormalFace()));
    }
    // Metal: the diagonal a*y/h + a*(w-x)/w (a = 107) under strokes of up to 40 more.
    b.SetShade(CShadeButton::PATTERN_BRUSHED_METAL, 0);
    int stroked = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            int base = 107 * y / 40 + 107 * (60 - x) / 60, v = Index(b.NormalFace(), x, y);
            ASSERT_TRUE(v >= base && v <= base + 41) << x << "," << y;
            stroked += v > base + 1;
        }
    EXPECT_GT(stroked, 50);
}

TEST_F(ShadeButtonTest, NoiseIsDeterministicAndFollowsTheGeneratorRowByRow) {
    CShadeButton a, b;
    Make(a, 50, 20, 100);
    Make(b, 50, 20, 101);
    for (UINT type : {CShadeButton::PATTERN_NOISE, CShadeButton::PATTERN_BRUSHED_METAL}) {
        a.SetShade(type, 8);
        b.SetShade(type, 8);
        EXPECT_EQ(Pixels(a.NormalFace()), Pixels(b.NormalFace()));
    }
    // grain 16: rand() / 2047 - 128 - 8 for 41, 18467, 6334 along the top row.
    a.SetShade(CShadeButton::PATTERN_NOISE, 8);
    EXPECT_EQ(Index(a.NormalFace(), 0, 0), 120);
    EXPECT_EQ(Index(a.NormalFace(), 1, 0), 129);
    EXPECT_EQ(Index(a.NormalFace(), 2, 0), 123);
    a.SetShade(CShadeButton::PATTERN_VERTICAL, 8);
    EXPECT_EQ(Index(a.NormalFace(), 1, 0), 8 + 9 - 8);
}

TEST_F(ShadeButtonTest, FaceColoursTintAndTheLighterFaceUnderTheMouse) {
    CShadeButton b;
    Make(b, 60, 40);
    // Index 0 is the button shadow, 63 a blend towards the face, 248 near the highlight.
    b.SetShade(CShadeButton::PATTERN_VERTICAL, 0, 50);
    Pump();
    WinTestWindowPicture rest(b.m_hWnd);
    EXPECT_EQ(rest.At(30, 0), RGB(128, 128, 128));
    EXPECT_EQ(rest.At(30, 10), RGB(169, 167, 163));
    EXPECT_EQ(rest.At(30, 39), RGB(252, 252, 251));

    WinTestMouseMove(b.m_hWnd, 30, 20);
    Pump();
    WinTestWindowPicture over(b.m_hWnd);
    EXPECT_EQ(over.At(30, 10), RGB(212, 211, 209));  // index 63 halfway to white
    EXPECT_EQ(over.At(0, 20), GetSysColor(COLOR_BTNHIGHLIGHT));
    WinTestMouseButton(b.m_hWnd, WINTEST_LEFT, TRUE, 30, 20);
    Pump();
    EXPECT_EQ(WinTestWindowPicture(b.m_hWnd).At(31, 11), RGB(212, 211, 209));  // moved by (1, 1)
    WinTestMouseButton(b.m_hWnd, WINTEST_LEFT, FALSE, 30, 20);
    WinTestMouseMove(host.m_hWnd, 300, 250);
    Pump();
    EXPECT_EQ(WinTestWindowPicture(b.m_hWnd).At(30, 10), RGB(169, 167, 163));

    b.SetShade(CShadeButton::PATTERN_VERTICAL, 0, 50, 100, RGB(255, 0, 0));
    Pump();
    EXPECT_EQ(WinTestWindowPicture(b.m_hWnd).Count(RGB(255, 0, 0)), 60 * 40);
    b.SetShade(CShadeButton::PATTERN_VERTICAL, 0, 50, 50, RGB(0, 0, 255));
    Pump();
    EXPECT_EQ(WinTestWindowPicture(b.m_hWnd).At(30, 0), RGB(64, 64, 191));
}

TEST_F(ShadeButtonTest, TinyButtonsStillGetValidPictures) {
    CShadeButton one_high, narrow, none, unmade;
    Make(one_high, 40, 1, 100);
    Make(narrow, 3, 3, 101);
    Make(none, 0, 0, 102);
    for (UINT t = 0; t <= 9; ++t) {
        one_high.SetShade(t, 20);
        narrow.SetShade(t, 20);
        none.SetShade(t, 20);
        unmade.SetShade(t, 20);
        EXPECT_EQ(one_high.NormalFace().GetHeight() * one_high.NormalFace().GetWidth(), 40u);
        EXPECT_EQ(narrow.NormalFace().GetWidth(), 3u);
        EXPECT_EQ(none.NormalFace().GetWidth() * unmade.NormalFace().GetHeight(), 1u);
    }
}
