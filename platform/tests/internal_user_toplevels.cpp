// What the window system tells the compositor: top levels bottom to top, with their surface,
// visibility, layered attributes and window region.
#include <gtest/gtest.h>

#include "user/backend_port.h"
#include "windows.h"

namespace {

LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

HWND Make(DWORD ex, DWORD style, int x, int y) {
    static bool once = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.lpszClassName = "VelmoraTopLevelsTest";
        return RegisterClassA(&wc) != 0;
    }();
    (void)once;
    return CreateWindowExA(ex, "VelmoraTopLevelsTest", "", style, x, y, 40, 30, nullptr, nullptr, nullptr, nullptr);
}

const plat::TopLevelView* Find(const std::vector<plat::TopLevelView>& v, HWND h, size_t* index = nullptr) {
    for (size_t i = 0; i < v.size(); ++i)
        if (v[i].hwnd == h) {
            if (index) *index = i;
            return &v[i];
        }
    return nullptr;
}

TEST(InternalUserTopLevels, ViewsComeBottomToTopWithTheirAttributes) {
    HWND a = Make(0, WS_POPUP | WS_VISIBLE, 10, 10);
    HWND b = Make(WS_EX_LAYERED, WS_POPUP | WS_VISIBLE, 20, 20);
    HWND hidden = Make(0, WS_POPUP, 30, 30);
    HWND child = CreateWindowExA(0, "VelmoraTopLevelsTest", "", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, a, nullptr, nullptr, nullptr);
    SetLayeredWindowAttributes(b, RGB(255, 0, 255), 100, LWA_ALPHA | LWA_COLORKEY);
    SetWindowRgn(a, CreateRectRgn(0, 0, 10, 10), FALSE);
    auto v = plat::TopLevelsInZOrder();
    size_t ia = 0, ib = 0;
    const plat::TopLevelView* va = Find(v, a, &ia);
    const plat::TopLevelView* vb = Find(v, b, &ib);
    ASSERT_TRUE(va && vb);
    EXPECT_LT(ia, ib);  // b was shown later, so it is above
    EXPECT_EQ(Find(v, child), nullptr);  // children paint into their top level's surface
    const plat::TopLevelView* vh = Find(v, hidden);
    ASSERT_TRUE(vh);
    EXPECT_FALSE(vh->visible);
    EXPECT_TRUE(va->visible);
    ASSERT_TRUE(va->surface);
    EXPECT_EQ(va->surface->width, 40);
    EXPECT_EQ(va->surface->height, 30);
    EXPECT_EQ(va->screen_rect.left, 10);
    ASSERT_TRUE(va->window_region);
    EXPECT_EQ(va->window_region->Bounds().right, 10);
    EXPECT_EQ(vb->alpha, 100);
    EXPECT_TRUE(vb->color_keyed);
    EXPECT_EQ(vb->color_key, DWORD(RGB(255, 0, 255)));
    EXPECT_EQ(va->alpha, 255);
    std::shared_ptr<plat::Surface> old = va->surface;  // the views die with their vector below
    // Raising a window moves it to the end; topmost windows stay above the rest.
    SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    v = plat::TopLevelsInZOrder();
    Find(v, a, &ia);
    Find(v, b, &ib);
    EXPECT_GT(ia, ib);
    SetWindowPos(b, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    v = plat::TopLevelsInZOrder();
    Find(v, a, &ia);
    Find(v, b, &ib);
    EXPECT_LT(ia, ib);
    // Resizing gives a new surface of the new size.
    SetWindowPos(a, nullptr, 0, 0, 60, 50, SWP_NOMOVE | SWP_NOZORDER);
    v = plat::TopLevelsInZOrder();
    va = Find(v, a);
    ASSERT_TRUE(va);
    EXPECT_EQ(va->surface->width, 60);
    EXPECT_NE(va->surface, old);
    DestroyWindow(a);
    DestroyWindow(b);
    DestroyWindow(hidden);
    EXPECT_EQ(Find(plat::TopLevelsInZOrder(), a), nullptr);
}

}  // namespace

namespace {

// A window may be sized far beyond any screen (from a damaged skin's frame, say): it keeps its
// size, but its backing store stops at what a screen could show, so it costs bounded memory.
TEST(InternalUserTopLevels, AHugeWindowKeepsItsSizeWithABoundedBackingStore) {
    HWND h = Make(0, WS_POPUP | WS_VISIBLE, 0, 0);
    ASSERT_TRUE(SetWindowPos(h, nullptr, 0, 0, 60000, 50000, SWP_NOZORDER | SWP_NOACTIVATE));
    RECT r;
    GetWindowRect(h, &r);
    EXPECT_EQ(r.right - r.left, 60000);
    EXPECT_EQ(r.bottom - r.top, 50000);
    auto v = plat::TopLevelsInZOrder();
    const plat::TopLevelView* view = Find(v, h);
    ASSERT_NE(view, nullptr);
    ASSERT_NE(view->surface, nullptr);
    EXPECT_LE(view->surface->width, plat::kMaxWindowStoreExtent);
    EXPECT_LE(view->surface->height, plat::kMaxWindowStoreExtent);
    // What lies on the store still takes drawing.
    HDC dc = GetDC(h);
    EXPECT_TRUE(SetPixel(dc, 5, 5, RGB(10, 200, 30)) != CLR_INVALID);
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(10, 200, 30));
    SetPixel(dc, 59000, 49000, RGB(1, 2, 3));  // off the store: dropped, not written wild
    ReleaseDC(h, dc);
    DestroyWindow(h);
}

}  // namespace
