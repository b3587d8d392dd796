// A sample program of the platform layer: a window with a caption, a child that paints text,
// shapes and a bitmap, and a popup menu.
//
//   platform_demo                    interactive: right-click the canvas for the menu
//   platform_demo --capture F.png    opens the menu, captures the screen to F.png, exits
//   platform_demo --ready F [--hold-ms N]
//                                    opens the menu, writes F once everything is on screen,
//                                    keeps it there N ms (for an outside screenshot), exits
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "windows.h"
#include "demo_options.h"
#include "winplat_test.h"

namespace {

constexpr UINT kOpenMenu = WM_APP + 1;
constexpr UINT_PTR kShownTimer = 1, kHoldTimer = 2;
constexpr UINT kCmdRepaint = 100, kCmdExit = 101;

demo::Options g_opt;

HWND g_frame, g_canvas;
bool g_done_capture = false;
bool g_failed = false;

HBITMAP MakeBitmap(HDC ref, int w, int h) {
    BITMAPINFO bi;
    std::memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(ref, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp || !bits) return bmp;
    auto* px = static_cast<uint32_t*>(bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool check = ((x / 8) + (y / 8)) % 2 == 0;
            uint32_t r = uint32_t(x * 255 / (w - 1)), g = uint32_t(y * 255 / (h - 1)), b = check ? 0xC0 : 0x30;
            px[y * w + x] = (r << 16) | (g << 8) | b;
        }
    return bmp;
}

void PaintCanvas(HWND hwnd, HDC dc) {
    RECT rc;
    GetClientRect(hwnd, &rc);

    HFONT font = CreateFontA(-18, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    HGDIOBJ old_font = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 128));
    const char* title = "Velmora platform demo";
    TextOutA(dc, 16, 10, title, int(std::strlen(title)));
    SelectObject(dc, old_font);
    DeleteObject(font);

    HPEN pen = CreatePen(PS_SOLID, 2, RGB(160, 0, 0));
    HBRUSH yellow = CreateSolidBrush(RGB(255, 210, 0));
    HBRUSH green = CreateSolidBrush(RGB(0, 150, 80));
    HBRUSH blue = CreateSolidBrush(RGB(40, 90, 200));
    HGDIOBJ old_pen = SelectObject(dc, pen);
    HGDIOBJ old_brush = SelectObject(dc, yellow);
    Rectangle(dc, 16, 48, 136, 128);
    SelectObject(dc, green);
    Ellipse(dc, 156, 48, 276, 128);
    SelectObject(dc, blue);
    POINT tri[3] = {{16, 230}, {76, 150}, {136, 230}};
    Polygon(dc, tri, 3);
    MoveToEx(dc, 156, 150, nullptr);
    LineTo(dc, 276, 230);
    MoveToEx(dc, 156, 230, nullptr);
    LineTo(dc, 276, 150);
    SelectObject(dc, old_pen);
    SelectObject(dc, old_brush);
    DeleteObject(pen);
    DeleteObject(yellow);
    DeleteObject(green);
    DeleteObject(blue);

    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = MakeBitmap(dc, 96, 96);
    HGDIOBJ old_bmp = SelectObject(mem, bmp);
    BitBlt(dc, 300, 48, 96, 96, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old_bmp);
    DeleteObject(bmp);
    DeleteDC(mem);

    const char* hint = "Right-click for the menu";
    TextOutA(dc, 16, 244, hint, int(std::strlen(hint)));
    (void)rc;
}

HMENU MakeMenu() {
    HMENU m = CreatePopupMenu();
    AppendMenuA(m, MF_STRING, kCmdRepaint, "&Repaint");
    AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(m, MF_STRING, kCmdExit, "E&xit");
    return m;
}

void OpenMenu(int client_x, int client_y) {
    POINT p{client_x, client_y};
    ClientToScreen(g_canvas, &p);
    HMENU m = MakeMenu();
    UINT cmd = UINT(TrackPopupMenu(m, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, p.x, p.y, 0, g_frame, nullptr));
    DestroyMenu(m);
    if (cmd == kCmdRepaint) InvalidateRect(g_canvas, nullptr, TRUE);
    if (cmd == kCmdExit) DestroyWindow(g_frame);
}

// Everything is on screen, the menu included: capture, tell the test, then close the menu.
void Shown() {
    if (!demo::ReportShown(g_opt)) g_failed = true;
    g_done_capture = true;
    if (g_opt.hold_ms > 0)
        SetTimer(g_frame, kHoldTimer, UINT(g_opt.hold_ms), nullptr);
    else
        EndMenu();
}

LRESULT CALLBACK CanvasProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        PaintCanvas(hwnd, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_RBUTTONUP:
        OpenMenu(short(LOWORD(lp)), short(HIWORD(lp)));
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case kOpenMenu:
        // The timer fires inside the menu's own loop, once the menu is showing.
        SetTimer(hwnd, kShownTimer, 300, nullptr);
        OpenMenu(300, 200);
        DestroyWindow(hwnd);
        return 0;
    case WM_TIMER:
        KillTimer(hwnd, wp);
        if (wp == kShownTimer) Shown();
        if (wp == kHoldTimer) EndMenu();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
    if (!demo::ParseOptions(argc, argv, &g_opt)) return 2;

    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
    wc.lpszClassName = "VelmoraDemoFrame";
    if (!RegisterClassA(&wc)) return 1;
    wc.lpfnWndProc = CanvasProc;
    wc.hbrBackground = HBRUSH(COLOR_WINDOW + 1);
    wc.lpszClassName = "VelmoraDemoCanvas";
    if (!RegisterClassA(&wc)) return 1;

    g_frame = CreateWindowExA(0, "VelmoraDemoFrame", "Velmora platform demo",
                              WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 60, 40, 480, 340, nullptr,
                              nullptr, inst, nullptr);
    if (!g_frame) return 1;
    RECT rc;
    GetClientRect(g_frame, &rc);
    g_canvas = CreateWindowExA(WS_EX_CLIENTEDGE, "VelmoraDemoCanvas", "", WS_CHILD | WS_VISIBLE, 8, 8,
                               rc.right - 16, rc.bottom - 16, g_frame, nullptr, inst, nullptr);
    if (!g_canvas) return 1;
    ShowWindow(g_frame, SW_SHOW);
    UpdateWindow(g_frame);
    if (g_opt.automated()) PostMessageA(g_frame, kOpenMenu, 0, 0);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (g_opt.automated() && (!g_done_capture || g_failed)) return 1;
    return 0;
}
