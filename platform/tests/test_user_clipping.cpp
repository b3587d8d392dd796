// What a window's device contexts may touch: clipping to the visible part (siblings, children,
// window regions, the update region), printing a window into another DC, scrolling its pixels,
// the caret, and what the compositor is told about layered and shaped windows.
#include <gtest/gtest.h>

#include <vector>

#include "windows.h"
#include "winplat_test.h"

namespace {

LRESULT CALLBACK NoPaintProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_ERASEBKGND) return 1;
    if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(h, &ps);
        EndPaint(h, &ps);
        return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

void Register() {
    static bool once = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = NoPaintProc;
        wc.lpszClassName = "VelmoraClipTest";
        return RegisterClassA(&wc) != 0;
    }();
    (void)once;
}

HWND Make(DWORD style, HWND parent, int x, int y, int cx, int cy) {
    Register();
    return CreateWindowExA(0, "VelmoraClipTest", "", style, x, y, cx, cy, parent, nullptr, nullptr, nullptr);
}

// Fills the whole client area of `h` through GetDC with one colour.
void FillClient(HWND h, COLORREF c) {
    HDC dc = GetDC(h);
    ASSERT_TRUE(dc);
    RECT r;
    GetClientRect(h, &r);
    HBRUSH b = CreateSolidBrush(c);
    FillRect(dc, &r, b);
    DeleteObject(b);
    ReleaseDC(h, dc);
}

struct Capture {
    std::vector<DWORD> px;
    int w = 0, h = 0;
    explicit Capture(HWND hwnd) {
        WinTestCaptureWindow(hwnd, nullptr, 0, &w, &h);
        px.resize(size_t(w) * size_t(h));
        WinTestCaptureWindow(hwnd, px.data(), int(px.size()), &w, &h);
    }
    DWORD At(int x, int y) const { return px[size_t(y) * size_t(w) + size_t(x)] & 0xFFFFFF; }
};

constexpr DWORD kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

TEST(UserClipping, ClipChildrenAndClipSiblingsKeepDrawingOffOtherWindows) {
    HWND top = Make(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, nullptr, 0, 0, 100, 100);
    HWND a = Make(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, top, 10, 10, 40, 40);
    HWND b = Make(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, top, 30, 30, 40, 40);  // below a
    WinTestPumpUntilIdle();
    FillClient(top, RGB(255, 0, 0));
    FillClient(b, RGB(0, 0, 255));
    FillClient(a, RGB(0, 255, 0));
    WinTestPumpUntilIdle();
    Capture c(top);
    EXPECT_EQ(c.At(5, 5), kRed);     // the parent's own area
    EXPECT_EQ(c.At(20, 20), kGreen);  // a: the parent did not paint over its child
    EXPECT_EQ(c.At(45, 45), kGreen);  // where a overlaps b, a is on top
    EXPECT_EQ(c.At(60, 60), kBlue);   // b's own part
    // Without WS_CLIPSIBLINGS the lower sibling paints over the upper one.
    SetWindowLongA(b, GWL_STYLE, WS_CHILD | WS_VISIBLE);
    FillClient(b, RGB(0, 0, 255));
    Capture c2(top);
    EXPECT_EQ(c2.At(45, 45), kBlue);
    DestroyWindow(top);
}

TEST(UserClipping, WindowRegionsClipPaintingAndPassToTheCompositor) {
    HWND top = Make(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, 100, 100);
    HRGN rgn = CreateRectRgn(0, 0, 50, 100);
    ASSERT_EQ(SetWindowRgn(top, rgn, TRUE), 1);
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(top, copy), SIMPLEREGION);
    RECT box;
    GetRgnBox(copy, &box);
    EXPECT_EQ(box.right, 50);
    FillClient(top, RGB(0, 255, 0));
    WinTestPumpUntilIdle();
    Capture c(top);
    EXPECT_EQ(c.At(10, 10), kGreen);
    EXPECT_NE(c.At(80, 10), kGreen);
    // The region replaced is freed by the window; the new one is the window's.
    HRGN rgn2 = CreateRectRgn(0, 0, 60, 60);
    SetWindowRgn(top, rgn2, FALSE);
    EXPECT_EQ(GetRgnBox(rgn, &box), 0);  // the old handle is dead
    EXPECT_EQ(SetWindowRgn(top, nullptr, FALSE), 1);
    EXPECT_EQ(GetWindowRgn(top, copy), ERROR);
    DeleteObject(copy);
    DestroyWindow(top);
}

TEST(UserClipping, BeginPaintDrawsOnlyInsideTheUpdateRegion) {
    HWND top = Make(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, 100, 100);
    WinTestPumpUntilIdle();
    FillClient(top, RGB(255, 0, 0));
    RECT part{0, 0, 30, 30};
    InvalidateRect(top, &part, FALSE);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(top, &ps);
    RECT all{0, 0, 100, 100};
    HBRUSH b = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &all, b);
    DeleteObject(b);
    EndPaint(top, &ps);
    Capture c(top);
    EXPECT_EQ(c.At(10, 10), kBlue);
    EXPECT_EQ(c.At(50, 50), kRed);
    DestroyWindow(top);
}

TEST(UserClipping, GetDCExTakesItsRegionInScreenCoordinates) {
    HWND top = Make(WS_POPUP | WS_VISIBLE, nullptr, 200, 100, 100, 100);
    WinTestPumpUntilIdle();
    FillClient(top, RGB(255, 0, 0));
    HRGN rgn = CreateRectRgn(200 + 10, 100 + 10, 200 + 20, 100 + 20);
    HDC dc = GetDCEx(top, rgn, DCX_WINDOW | DCX_INTERSECTRGN);
    RECT all{0, 0, 100, 100};
    HBRUSH b = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(dc, &all, b);
    DeleteObject(b);
    ReleaseDC(top, dc);
    DeleteObject(rgn);
    Capture c(top);
    EXPECT_EQ(c.At(15, 15), kGreen);
    EXPECT_EQ(c.At(25, 25), kRed);
    DestroyWindow(top);
}

LRESULT CALLBACK PrintClientProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_PRINTCLIENT) {
        RECT r;
        GetClientRect(h, &r);
        HBRUSH b = CreateSolidBrush(RGB(0, 0, 255));
        FillRect(reinterpret_cast<HDC>(w), &r, b);
        DeleteObject(b);
        return 0;
    }
    return NoPaintProc(h, m, w, l);
}

TEST(UserClipping, PrintPutsFrameClientAndChildrenIntoAnotherDC) {
    HWND top = Make(WS_POPUP | WS_BORDER, nullptr, 0, 0, 60, 40);
    HWND child = Make(WS_CHILD | WS_VISIBLE, top, 10, 10, 10, 10);
    SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PrintClientProc));
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 60, 40);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT all{0, 0, 60, 40};
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(mem, &all, white);
    DeleteObject(white);
    SendMessageA(top, WM_PRINT, reinterpret_cast<WPARAM>(mem), PRF_NONCLIENT | PRF_CHILDREN | PRF_CLIENT);
    EXPECT_EQ(GetPixel(mem, 0, 0), GetSysColor(COLOR_WINDOWFRAME));  // the 1-pixel border
    EXPECT_EQ(GetPixel(mem, 1 + 10 + 5, 1 + 10 + 5), RGB(0, 0, 255));  // the child, inside the border
    EXPECT_EQ(GetPixel(mem, 40, 30), RGB(255, 255, 255));
    // An invisible window prints nothing when asked to check.
    FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SendMessageA(top, WM_PRINT, reinterpret_cast<WPARAM>(mem), PRF_CHECKVISIBLE | PRF_NONCLIENT);
    EXPECT_EQ(GetPixel(mem, 0, 0), RGB(255, 255, 255));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    DestroyWindow(top);
}

TEST(UserClipping, ScrollWindowMovesPixelsAndInvalidatesWhatItUncovers) {
    HWND top = Make(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, 100, 100);
    WinTestPumpUntilIdle();
    FillClient(top, RGB(255, 0, 0));
    HDC dc = GetDC(top);
    RECT mark{0, 0, 10, 10};
    HBRUSH b = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(dc, &mark, b);
    DeleteObject(b);
    ReleaseDC(top, dc);
    RECT upd;
    EXPECT_EQ(ScrollWindowEx(top, 20, 0, nullptr, nullptr, nullptr, &upd, SW_INVALIDATE), SIMPLEREGION);
    EXPECT_EQ(upd.left, 0);
    EXPECT_EQ(upd.right, 20);
    Capture c(top);
    EXPECT_EQ(c.At(25, 5), kGreen);  // moved right by 20
    RECT u;
    ASSERT_TRUE(GetUpdateRect(top, &u, FALSE));
    EXPECT_EQ(u.right, 20);
    WinTestPumpUntilIdle();
    DestroyWindow(top);
}

TEST(UserClipping, CaretInvertsItsRectangleAndHidesForPainting) {
    HWND top = Make(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, 100, 100);
    WinTestPumpUntilIdle();
    FillClient(top, RGB(255, 255, 255));
    ASSERT_TRUE(CreateCaret(top, nullptr, 2, 10));
    SetCaretPos(20, 20);
    EXPECT_EQ(Capture(top).At(20, 25), 0xFFFFFFu);  // a new caret is hidden
    ShowCaret(top);
    EXPECT_EQ(Capture(top).At(20, 25), 0x000000u);  // shown: inverted
    EXPECT_EQ(Capture(top).At(22, 25), 0xFFFFFFu);
    POINT p;
    ASSERT_TRUE(GetCaretPos(&p));
    EXPECT_EQ(p.x, 20);
    // Painting over it leaves no half-inverted trace: it is off during BeginPaint..EndPaint.
    InvalidateRect(top, nullptr, FALSE);
    PAINTSTRUCT ps;
    BeginPaint(top, &ps);
    EXPECT_EQ(Capture(top).At(20, 25), 0xFFFFFFu);
    EndPaint(top, &ps);
    EXPECT_EQ(Capture(top).At(20, 25), 0x000000u);
    // It blinks on the layer's clock.
    WinTestAdvanceClock(GetCaretBlinkTime());
    WinTestPumpUntilIdle();
    EXPECT_EQ(Capture(top).At(20, 25), 0xFFFFFFu);
    HideCaret(top);
    DestroyCaret();
    EXPECT_FALSE(ShowCaret(top));
    DestroyWindow(top);
}

TEST(UserClipping, LayeredAttributesNeedTheLayeredStyle) {
    HWND plain = Make(WS_POPUP, nullptr, 0, 0, 10, 10);
    EXPECT_FALSE(SetLayeredWindowAttributes(plain, 0, 128, LWA_ALPHA));
    HWND layered = CreateWindowExA(WS_EX_LAYERED, "VelmoraClipTest", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
    EXPECT_TRUE(SetLayeredWindowAttributes(layered, RGB(255, 0, 255), 128, LWA_ALPHA | LWA_COLORKEY));
    COLORREF key;
    BYTE alpha;
    DWORD flags;
    ASSERT_TRUE(GetLayeredWindowAttributes(layered, &key, &alpha, &flags));
    EXPECT_EQ(key, RGB(255, 0, 255));
    EXPECT_EQ(alpha, 128);
    EXPECT_EQ(flags, DWORD(LWA_ALPHA | LWA_COLORKEY));
    DestroyWindow(plain);
    DestroyWindow(layered);
}

}  // namespace
