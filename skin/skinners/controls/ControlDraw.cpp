#include "ControlDraw.h"

#include "RasterImage.h"
#include "SkinDraw.h"
#include "SkinMemDC.h"
#include "SkinWindow.h"

namespace ctldraw {

namespace {

bool Turn(CRasterImage& image, int turns)
{
    switch (turns) {
    case 1: return image.RotateRight();
    case 2: return image.Rotate180();
    case 3: return image.RotateLeft();
    default: return true;
    }
}

void CopyBitmap(HDC hdc, const RECT& rc, HBITMAP bitmap)
{
    HDC src = CreateCompatibleDC(hdc);
    HGDIOBJ old = SelectObject(src, bitmap);
    BitBlt(hdc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, src, 0, 0, SRCCOPY);
    SelectObject(src, old);
    DeleteDC(src);
}

}  // namespace

void DrawTurned(HDC hdc, const RECT& rc, int quarterTurns, COLORREF fill, bool keyed, COLORREF key,
                const std::function<void(HDC, const RECT&)>& paint)
{
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0)
        return;
    const int turns = ((quarterTurns % 4) + 4) % 4;
    const bool swapped = turns % 2 == 1;
    const int lw = swapped ? h : w, lh = swapped ? w : h;
    CSkinMemDC layout(hdc, lw, lh);
    if (!layout.IsValid())
        return;
    const RECT all{0, 0, lw, lh};
    FillSolidRect(layout, all, keyed ? key : fill);
    paint(layout, all);
    HBITMAP picture = layout.DetachBitmap();
    CRasterImage image;
    const bool ok = image.CreateFromHBITMAP(picture);
    DeleteObject(picture);
    if (!ok || !Turn(image, turns))
        return;
    HBITMAP result = image.MakeBitmap(hdc);
    if (!result)
        return;
    if (keyed)
        TransparentBitBlt(hdc, rc.left, rc.top, w, h, result, 0, 0, key);
    else
        CopyBitmap(hdc, rc, result);
    DeleteObject(result);
}

void DrawGridTurned(CSkinFile* file, HDC hdc, const RECT& rc, const SkinNineGrid& grid, COLORREF fill,
                    int quarterTurns, bool keyed, COLORREF key)
{
    const COLORREF base = keyed ? key : fill;
    DrawTurned(hdc, rc, quarterTurns, fill, keyed, key, [&](HDC dc, const RECT& all) {
        if (!IsGridPartEmpty(grid))
            DrawSkinImagePart(file, dc, all, grid, base, 1, false);
    });
}

namespace {

SIZE BorderWidths(HWND hwnd, bool plainBorder)
{
    const LONG ex = GetWindowLongA(hwnd, GWL_EXSTYLE);
    SIZE s{0, 0};
    if (ex & WS_EX_CLIENTEDGE) {
        s.cx += GetSystemMetrics(SM_CXEDGE);
        s.cy += GetSystemMetrics(SM_CYEDGE);
    }
    if (ex & WS_EX_DLGMODALFRAME) {
        s.cx += GetSystemMetrics(SM_CXDLGFRAME);
        s.cy += GetSystemMetrics(SM_CYDLGFRAME);
    }
    if (ex & WS_EX_STATICEDGE) {
        ++s.cx;
        ++s.cy;
    }
    if (plainBorder && (GetWindowLongA(hwnd, GWL_STYLE) & WS_BORDER)) {
        s.cx += GetSystemMetrics(SM_CXBORDER);
        s.cy += GetSystemMetrics(SM_CYBORDER);
    }
    return s;
}

void DrawBorderRing(CSkinWindow& window, CSkinFile* file, const SkinNineGrid& border, COLORREF fill, SIZE widths)
{
    HWND hwnd = window.GetHwnd();
    RECT wr;
    ::GetWindowRect(hwnd, &wr);
    HDC dc = window.GetWindowDC();
    if (!dc)
        return;
    const RECT all{0, 0, wr.right - wr.left, wr.bottom - wr.top};
    ExcludeClipRect(dc, widths.cx, widths.cy, all.right - widths.cx, all.bottom - widths.cy);
    const bool mirror = (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
    DrawSkinImageFrame(file, dc, all, border, fill, 1, mirror);
    window.ReleaseDC(dc);
}

}  // namespace

bool PaintSkinBorder(CSkinWindow& window, CSkinFile* file, WPARAM wParam, const SkinNineGrid& border,
                     COLORREF fill, bool plainBorder)
{
    if (IsGridPartEmpty(border))
        return false;
    HWND hwnd = window.GetHwnd();
    const SIZE widths = BorderWidths(hwnd, plainBorder);
    RECT wr;
    ::GetWindowRect(hwnd, &wr);
    // The control paints what lies inside the border (its scroll bars, for one) itself.
    HRGN inner = CreateRectRgn(wr.left + widths.cx, wr.top + widths.cy, wr.right - widths.cx, wr.bottom - widths.cy);
    if (wParam > 1)
        CombineRgn(inner, inner, reinterpret_cast<HRGN>(wParam), RGN_AND);
    window.CallSaved(WM_NCPAINT, reinterpret_cast<WPARAM>(inner), 0);
    DeleteObject(inner);
    if (widths.cx != 0 || widths.cy != 0)
        DrawBorderRing(window, file, border, fill, widths);
    return true;
}

bool DrawSkinBorder(CSkinWindow& window, CSkinFile* file, const SkinNineGrid& border, COLORREF fill, bool plainBorder)
{
    if (IsGridPartEmpty(border) || !window.GetHwnd())
        return false;
    const SIZE widths = BorderWidths(window.GetHwnd(), plainBorder);
    if (widths.cx == 0 && widths.cy == 0)
        return false;
    DrawBorderRing(window, file, border, fill, widths);
    return true;
}

}  // namespace ctldraw
