// A static control drawn over its parent's own background (the parent answers WM_CTLCOLORSTATIC
// with the hollow brush, as skins do): when its text changes, the old text goes first, so
// digits never pile up.
#include <gtest/gtest.h>

#include <vector>

#include "windows.h"
#include "winplat_test.h"

namespace {

const COLORREF kBackground = RGB(40, 90, 160);

LRESULT CALLBACK PaintedParent(HWND h, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(h, &r);
        HBRUSH b = CreateSolidBrush(kBackground);
        FillRect(reinterpret_cast<HDC>(w), &r, b);
        DeleteObject(b);
        return 1;
    }
    case WM_CTLCOLORSTATIC:
        SetBkMode(reinterpret_cast<HDC>(w), TRANSPARENT);
        SetTextColor(reinterpret_cast<HDC>(w), RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    return DefWindowProcA(h, m, w, l);
}

// Pixels of the label that are not the parent's background.
int InkPixels(HWND label) {
    int w = 0, h = 0;
    WinTestCaptureWindow(label, nullptr, 0, &w, &h);
    std::vector<DWORD> px(size_t(w) * size_t(h));
    if (!WinTestCaptureWindow(label, px.data(), int(px.size()), &w, &h)) return -1;
    int ink = 0;
    for (DWORD p : px) ink += (p & 0xFFFFFF) != ((GetRValue(kBackground) << 16) | (GetGValue(kBackground) << 8) | GetBValue(kBackground));
    return ink;
}

TEST(StaticOverItsParent, ChangedTextReplacesTheOldOneInsteadOfDrawingOverIt) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PaintedParent;
    wc.lpszClassName = "VelmoraPaintedParent";
    RegisterClassA(&wc);
    HWND parent = CreateWindowExA(0, "VelmoraPaintedParent", "", WS_POPUP | WS_VISIBLE, 10, 10, 200, 80, nullptr,
                                  nullptr, nullptr, nullptr);
    HWND label = CreateWindowExA(0, "Static", "888%", WS_CHILD | WS_VISIBLE | SS_LEFT, 20, 20, 60, 16, parent,
                                 nullptr, nullptr, nullptr);
    WinTestPumpUntilIdle();
    int wide = InkPixels(label);
    ASSERT_GT(wide, 20);
    SetWindowTextA(label, "1%");
    WinTestPumpUntilIdle();
    int narrow = InkPixels(label);
    EXPECT_GT(narrow, 5);
    EXPECT_LT(narrow, wide / 2) << "the old text is still under the new one";
    SetWindowTextA(label, "");
    WinTestPumpUntilIdle();
    EXPECT_EQ(InkPixels(label), 0);
    DestroyWindow(parent);
}

}  // namespace
