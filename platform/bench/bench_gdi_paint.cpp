// The drawing layer's share of a window repaint: fills, edges, text and the final copy of an
// off-screen image, on an 800x600 window with a dozen controls.
#include <benchmark/benchmark.h>

#include "windows.h"

namespace {

struct Window32 {
    HDC dc;
    HBITMAP bmp;
    HGDIOBJ old;
    explicit Window32(int w, int h) {
        HDC screen = CreateCompatibleDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bmp = CreateCompatibleBitmap(screen, w, h);
        old = SelectObject(dc, bmp);
        DeleteDC(screen);
    }
    ~Window32() {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
};

void BM_FillWindow(benchmark::State& state) {
    Window32 w(800, 600);
    HBRUSH b = CreateSolidBrush(RGB(212, 208, 200));
    RECT r{0, 0, 800, 600};
    for (auto _ : state) FillRect(w.dc, &r, b);
    DeleteObject(b);
}
BENCHMARK(BM_FillWindow);

void BM_CopyWindow(benchmark::State& state) {
    Window32 src(800, 600), dst(800, 600);
    for (auto _ : state) BitBlt(dst.dc, 0, 0, 800, 600, src.dc, 0, 0, SRCCOPY);
}
BENCHMARK(BM_CopyWindow);

void BM_RepaintDozenControls(benchmark::State& state) {
    Window32 w(800, 600), back(800, 600);
    HBRUSH face = CreateSolidBrush(RGB(212, 208, 200));
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "MS Shell Dlg");
    SelectObject(back.dc, font);
    SetBkMode(back.dc, TRANSPARENT);
    RECT all{0, 0, 800, 600};
    for (auto _ : state) {
        FillRect(back.dc, &all, face);
        for (int i = 0; i < 12; ++i) {
            RECT r{20 + (i % 3) * 250, 20 + (i / 3) * 140, 250 + (i % 3) * 250, 140 + (i / 3) * 140};
            DrawEdge(back.dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
            FillRect(back.dc, &r, white);
            DrawTextA(back.dc, "C:/videos/holiday clip number one.avi", -1, &r,
                      DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        }
        BitBlt(w.dc, 0, 0, 800, 600, back.dc, 0, 0, SRCCOPY);
    }
    DeleteObject(face);
    DeleteObject(white);
    SelectObject(back.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}
BENCHMARK(BM_RepaintDozenControls)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
