// The drawing the tooltip window and the tooltip-control skinner share.
#include "SkinTooltipPaint.h"

#include "MarkupRenderer.h"
#include "SkinDraw.h"
#include "SkinMemDC.h"
#include "SkinObjectTypes.h"
#include "SkinWindow.h"

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

SIZE MeasureTooltipWindow(HWND hwnd, CSkinMarkupRenderer& renderer, const CSkinTooltipObject& object,
                          const char* markup)
{
    HDC dc = hwnd ? ::GetDC(hwnd) : CreateCompatibleDC(nullptr);
    const SIZE text = renderer.MeasureMarkup(dc, markup);
    if (hwnd)
        ::ReleaseDC(hwnd, dc);
    else
        DeleteDC(dc);
    const RECT* f = object.m_frameRects;
    return SIZE{text.cx + Width(f[3]) + Width(f[5]), text.cy + Height(f[0]) + Height(f[6])};
}

LRESULT CalcTooltipClientRect(CSkinWindow& skin, const CSkinTooltipObject& object, WPARAM wParam, LPARAM lParam)
{
    RECT* rc = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
    if (!rc) return 0;
    RECT extra;
    skin.GetExtraMargins(&extra);
    const RECT* f = object.m_frameRects;
    rc->left += Width(f[3]);
    rc->right -= Width(f[5]);
    rc->top += Height(f[0]) + Height(extra);
    rc->bottom -= Height(f[6]);
    return 0;
}

void PaintTooltipFrame(CSkinWindow& skin, RECT* lastRegionRect)
{
    HWND hwnd = skin.GetHwnd();
    RECT bounds;
    skin.GetWindowBounds(&bounds);
    skin.CalcFrameLayout(Width(bounds), Height(bounds));
    RECT window;
    ::GetWindowRect(hwnd, &window);
    if (Width(window) != Width(*lastRegionRect) || Height(window) != Height(*lastRegionRect)) {
        *lastRegionRect = window;
        SetWindowRgn(hwnd, skin.CreateWindowRegion(), TRUE);
        return;
    }
    const int w = Width(bounds), h = Height(bounds);
    if (w <= 0 || h <= 0) return;
    HDC dc = ::GetWindowDC(hwnd);
    {
        CSkinMemDC mem(dc, w, h);
        if (mem.IsValid()) {
            skin.DrawFrame(mem, 1);
            skin.DrawElements(mem);
            RECT extra;
            skin.GetExtraMargins(&extra);
            const RECT top{0, 0, w, skin.GetFramePart(0).bottom + Height(extra)};
            const RECT& left = skin.GetFramePart(3);
            const RECT& right = skin.GetFramePart(5);
            const RECT bands[4] = {top,
                                   {0, left.top, left.right, left.bottom},
                                   {right.left, right.top, w, right.bottom},
                                   {0, skin.GetFramePart(6).top, w, h}};
            for (const RECT& b : bands)
                if (Width(b) > 0 && Height(b) > 0)
                    BitBlt(dc, b.left, b.top, Width(b), Height(b), mem, b.left, b.top, SRCCOPY);
        }
    }
    ::ReleaseDC(hwnd, dc);
}

void PaintTooltipBody(HWND hwnd, const CSkinTooltipObject& object, CSkinMarkupRenderer& renderer,
                      const char* markup)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    CSkinMemDC mem(dc, Width(client), Height(client));
    if (mem.IsValid()) {
        DrawSkinImage(object.GetOwner(), mem, client, object.m_parts[4], object.m_crBackground, 1, false);
        renderer.PaintMarkup(mem, markup, client);
        BitBlt(dc, 0, 0, Width(client), Height(client), mem, 0, 0, SRCCOPY);
    }
    EndPaint(hwnd, &ps);
}
