// A full repaint of an 800x600 window with a dozen children, each erasing its background,
// filling shapes, blitting a bitmap and drawing text: the cost of one frame of a busy dialog.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "windows.h"

namespace {

HBITMAP g_bitmap;
long g_paints = 0;

LRESULT CALLBACK ChildProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_PAINT) return DefWindowProcA(hwnd, msg, wp, lp);
    ++g_paints;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    HBRUSH band = CreateSolidBrush(RGB(220, 230, 245));
    HGDIOBJ old_brush = SelectObject(dc, band);
    HGDIOBJ old_pen = SelectObject(dc, GetStockObject(NULL_PEN));
    for (int y = 0; y < rc.bottom; y += 24) Rectangle(dc, 0, y, rc.right + 1, y + 13);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    Rectangle(dc, 8, 8, rc.right - 8, 40);
    SelectObject(dc, old_pen);
    SelectObject(dc, old_brush);
    DeleteObject(band);

    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old_bmp = SelectObject(mem, g_bitmap);
    BitBlt(dc, 12, 48, 64, 64, mem, 0, 0, SRCCOPY);
    BitBlt(dc, 84, 48, 64, 64, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old_bmp);
    DeleteDC(mem);

    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    static const char* kLines[] = {"clip_0001.avi  00:42:17  Ready", "Video: 320x240  768 kbps",
                                   "Audio: AAC 128 kbps stereo", "Output: /home/user/Videos"};
    for (int i = 0; i < 4; ++i) TextOutA(dc, 12, 120 + i * 16, kLines[i], int(std::strlen(kLines[i])));
    EndPaint(hwnd, &ps);
    return 0;
}

HBITMAP MakeBitmap() {
    BITMAPINFO bi;
    std::memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 64;
    bi.bmiHeader.biHeight = -64;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bits)
        for (int i = 0; i < 64 * 64; ++i) static_cast<uint32_t*>(bits)[i] = uint32_t(i * 2654435761u) >> 8;
    return bmp;
}

void BM_FullRepaint800x600TwelveChildren(benchmark::State& state) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = inst;
    wc.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
    wc.lpszClassName = "BenchTop";
    RegisterClassA(&wc);
    wc.lpfnWndProc = ChildProc;
    wc.hbrBackground = HBRUSH(COLOR_WINDOW + 1);
    wc.lpszClassName = "BenchChild";
    RegisterClassA(&wc);
    g_bitmap = MakeBitmap();

    HWND top = CreateWindowExA(0, "BenchTop", "Repaint", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                               inst, nullptr);
    if (!top || !g_bitmap) {
        state.SkipWithError("could not create the window or the bitmap");
        return;
    }
    for (int i = 0; i < 12; ++i)
        CreateWindowExA(0, "BenchChild", "", WS_CHILD | WS_VISIBLE, 8 + (i % 4) * 198, 8 + (i / 4) * 196, 190,
                        188, top, nullptr, inst, nullptr);
    UpdateWindow(top);

    g_paints = 0;
    for (auto _ : state)
        RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // Proof that every frame really repainted every child.
    state.counters["child_paints_per_frame"] = double(g_paints) / double(state.iterations());

    DestroyWindow(top);
    DeleteObject(g_bitmap);
}
BENCHMARK(BM_FullRepaint800x600TwelveChildren)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Measured on the headless backend: the layer's own work, no display in the way.
    setenv("VELMORA_BACKEND", "headless", 1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
