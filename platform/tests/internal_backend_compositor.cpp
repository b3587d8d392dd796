// The compositor: how top-level windows' surfaces make up the screen.
#include <gtest/gtest.h>

#include "backend/compositor.h"

using plat::Composite;
using plat::Surface;
using plat::TopLevelView;

namespace {

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

TopLevelView View(int x, int y, int w, int h, uint32_t fill, bool visible = true) {
    TopLevelView v;
    v.hwnd = reinterpret_cast<HWND>(uintptr_t(x * 1000 + y + 1));
    v.screen_rect = RECT{x, y, x + w, y + h};
    v.visible = visible;
    v.surface = std::make_shared<Surface>(w, h, fill);
    return v;
}

uint32_t Rgb(uint32_t p) { return p & 0xFFFFFF; }

}  // namespace

TEST(Compositor, StacksWindowsBottomToTopOverTheDesktopAndSkipsHiddenOnes) {
    Surface screen(40, 30);
    std::vector<TopLevelView> views{View(0, 0, 20, 20, kRed), View(10, 10, 20, 15, kGreen),
                                    View(5, 5, 30, 20, kBlue, /*visible=*/false)};
    Composite(views, screen);
    EXPECT_EQ(screen.At(5, 5), kRed);
    EXPECT_EQ(screen.At(15, 15), kGreen) << "the later window is on top";
    EXPECT_EQ(screen.At(25, 12), kGreen);
    EXPECT_EQ(screen.At(35, 28), plat::kDesktopPixel);
    EXPECT_EQ(screen.At(34, 5), plat::kDesktopPixel) << "hidden windows do not show";
}

TEST(Compositor, ClipsToTheScreenTheWindowRectAndTheSurfaceWhicheverIsSmallest) {
    Surface screen(20, 20);
    TopLevelView off = View(-5, -5, 10, 10, kRed);  // partly above-left of the screen
    TopLevelView big = View(15, 15, 10, 10, kGreen);
    TopLevelView small = View(0, 12, 4, 4, kBlue);
    small.screen_rect.right = 10;  // rect wider than the surface behind it
    Composite({off, big, small}, screen);
    EXPECT_EQ(screen.At(0, 0), kRed);
    EXPECT_EQ(screen.At(4, 4), kRed);
    EXPECT_EQ(screen.At(5, 5), plat::kDesktopPixel);
    EXPECT_EQ(screen.At(19, 19), kGreen);
    EXPECT_EQ(screen.At(3, 13), kBlue);
    EXPECT_EQ(screen.At(6, 13), plat::kDesktopPixel) << "no pixels beyond the surface";

    Surface offset_screen(10, 10);
    Composite({View(100, 100, 5, 5, kRed)}, offset_screen, POINT{98, 98});
    EXPECT_EQ(offset_screen.At(2, 2), kRed) << "screen origin is honoured";
    EXPECT_EQ(offset_screen.At(1, 1), plat::kDesktopPixel);
}

TEST(Compositor, ShowsOnlyTheWindowRegionInWindowCoordinates) {
    Surface screen(30, 30);
    TopLevelView v = View(10, 10, 10, 10, kRed);
    auto region = std::make_shared<plat::Region>(RECT{2, 2, 5, 5});
    region->Union(RECT{7, 0, 10, 3});
    v.window_region = region;
    Composite({v}, screen);
    EXPECT_EQ(screen.At(13, 13), kRed);
    EXPECT_EQ(screen.At(18, 11), kRed);
    EXPECT_EQ(screen.At(10, 10), plat::kDesktopPixel);
    EXPECT_EQ(screen.At(16, 16), plat::kDesktopPixel);

    v.window_region = std::make_shared<plat::Region>();
    Composite({v}, screen);
    EXPECT_EQ(screen.At(13, 13), plat::kDesktopPixel) << "an empty region hides the window";
}

TEST(Compositor, LayeredWindowsBlendByConstantAlphaColourKeyAndPremultipliedAlpha) {
    Surface screen(10, 1);
    TopLevelView under = View(0, 0, 10, 1, 0xFF000000);  // black
    TopLevelView half = View(0, 0, 2, 1, 0xFFFFFFFF);
    half.alpha = 128;
    TopLevelView keyed = View(2, 0, 2, 1, 0xFF00FF00);
    keyed.surface->pixels[1] = 0xFF123456;
    keyed.color_keyed = true;
    keyed.color_key = 0x0000FF00;  // COLORREF green
    TopLevelView ppa = View(4, 0, 3, 1, 0);
    ppa.per_pixel_alpha = true;
    ppa.surface->pixels = {0x80800000, 0x00000000, 0xFF0000FF};  // half red, clear, solid blue
    TopLevelView invisible = View(7, 0, 3, 1, 0xFFFFFFFF);
    invisible.alpha = 0;
    Composite({under, half, keyed, ppa, invisible}, screen);
    EXPECT_EQ(Rgb(screen.At(0, 0)), 0x808080u);
    EXPECT_EQ(Rgb(screen.At(2, 0)), 0x000000u) << "key colour is transparent";
    EXPECT_EQ(Rgb(screen.At(3, 0)), 0x123456u);
    EXPECT_EQ(Rgb(screen.At(4, 0)), 0x800000u);
    EXPECT_EQ(Rgb(screen.At(5, 0)), 0x000000u);
    EXPECT_EQ(Rgb(screen.At(6, 0)), 0x0000FFu);
    EXPECT_EQ(Rgb(screen.At(8, 0)), 0x000000u) << "alpha 0 hides the window";
    for (uint32_t p : screen.pixels) EXPECT_EQ(p >> 24, 0xFFu) << "the screen is opaque";
}

TEST(Compositor, WindowSurfacesWithoutAlphaStillShowOpaque) {
    // GDI drawing leaves alpha at zero; a plain window must not turn see-through.
    Surface screen(4, 4);
    Composite({View(0, 0, 4, 4, 0x00336699)}, screen);
    EXPECT_EQ(screen.At(1, 1), 0xFF336699u);
}

TEST(Compositor, CropKeepsTheOverlapOnly) {
    Surface s(4, 3);
    for (int i = 0; i < 12; ++i) s.pixels[size_t(i)] = uint32_t(i);
    Surface c = plat::Crop(s, RECT{2, 1, 10, 10});
    ASSERT_EQ(c.width, 2);
    ASSERT_EQ(c.height, 2);
    EXPECT_EQ(c.At(0, 0), 6u);
    EXPECT_EQ(c.At(1, 1), 11u);
    EXPECT_EQ(plat::Crop(s, RECT{5, 5, 8, 8}).width, 0);
    EXPECT_EQ(plat::Crop(s, RECT{3, 2, 1, 1}).width, 0) << "inverted rect";
}
