#include "CommCtlDraw.h"

#include <commctrl.h>

#include <cstring>
#include <utility>
#include <vector>

#include "RasterImage.h"
#include "SkinDraw.h"
#include "SkinMemDC.h"
#include "SkinWindow.h"

namespace commctl {

void FillBackground(CSkinFile* file, HDC hdc, const RECT& rc, const SkinNineGrid& grid, COLORREF fill)
{
    if (IsRectEmpty(&rc))
        return;
    FillSolidRect(hdc, rc, fill);
    if (!IsGridPartEmpty(grid))
        DrawSkinImagePart(file, hdc, rc, grid, fill, 1, false);
}

void DrawGridTurned(CSkinFile* file, HDC hdc, const RECT& rc, const SkinNineGrid& grid, COLORREF fill,
                    int quarterTurns, bool keyed, COLORREF key)
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
    if (!IsGridPartEmpty(grid))
        DrawSkinImagePart(file, layout, all, grid, keyed ? key : fill, 1, false);
    HBITMAP picture = layout.DetachBitmap();
    CRasterImage image;
    const bool ok = image.CreateFromHBITMAP(picture);
    DeleteObject(picture);
    if (!ok)
        return;
    bool turned = true;
    if (turns == 1)
        turned = image.RotateRight();
    else if (turns == 2)
        turned = image.Rotate180();
    else if (turns == 3)
        turned = image.RotateLeft();
    if (!turned)
        return;
    HBITMAP result = image.MakeBitmap(hdc);
    if (!result)
        return;
    if (keyed) {
        TransparentBitBlt(hdc, rc.left, rc.top, w, h, result, 0, 0, key);
    } else {
        HDC src = CreateCompatibleDC(hdc);
        HGDIOBJ old = SelectObject(src, result);
        BitBlt(hdc, rc.left, rc.top, w, h, src, 0, 0, SRCCOPY);
        SelectObject(src, old);
        DeleteDC(src);
    }
    DeleteObject(result);
}

bool PaintSkinBorder(CSkinWindow& window, CSkinFile* file, WPARAM wParam, const SkinNineGrid& border,
                     COLORREF fill)
{
    if (IsGridPartEmpty(border))
        return false;
    HWND hwnd = window.GetHwnd();
    const LONG ex = GetWindowLongA(hwnd, GWL_EXSTYLE);
    int cx = 0, cy = 0;
    if (ex & WS_EX_CLIENTEDGE) {
        cx += GetSystemMetrics(SM_CXEDGE);
        cy += GetSystemMetrics(SM_CYEDGE);
    }
    if (ex & WS_EX_DLGMODALFRAME) {
        cx += GetSystemMetrics(SM_CXDLGFRAME);
        cy += GetSystemMetrics(SM_CYDLGFRAME);
    }
    if (ex & WS_EX_STATICEDGE) {
        ++cx;
        ++cy;
    }
    RECT wr;
    ::GetWindowRect(hwnd, &wr);
    // The control paints what lies inside the border (its scroll bars, for one) itself.
    HRGN inner = CreateRectRgn(wr.left + cx, wr.top + cy, wr.right - cx, wr.bottom - cy);
    if (wParam > 1) {
        CombineRgn(inner, inner, reinterpret_cast<HRGN>(wParam), RGN_AND);
    }
    window.CallSaved(WM_NCPAINT, reinterpret_cast<WPARAM>(inner), 0);
    DeleteObject(inner);
    if (cx == 0 && cy == 0)
        return true;
    HDC dc = window.GetWindowDC();
    if (!dc)
        return true;
    const RECT all{0, 0, wr.right - wr.left, wr.bottom - wr.top};
    ExcludeClipRect(dc, cx, cy, all.right - cx, all.bottom - cy);
    const bool mirror = (ex & WS_EX_LAYOUTRTL) != 0;
    DrawSkinImageFrame(file, dc, all, border, fill, 1, mirror);
    window.ReleaseDC(dc);
    return true;
}

SkinTextStyle TextStyleFromBlock(const BYTE (&block)[16])
{
    static_assert(sizeof(SkinTextStyle) == 16, "a text style fills the block");
    SkinTextStyle style;
    std::memcpy(&style, block, sizeof style);
    return style;
}

RECT RectFromBlock(const BYTE (&block)[16])
{
    RECT r;
    std::memcpy(&r, block, sizeof r);
    return r;
}

std::string StatusPartText(HWND statusBar, int part)
{
    // The high word of the length carries the part's drawing type.
    const int length = LOWORD(::SendMessageA(statusBar, SB_GETTEXTLENGTHA, WPARAM(part), 0));
    if (length <= 0)
        return std::string();
    std::vector<char> text(size_t(length) + 1, '\0');
    ::SendMessageA(statusBar, SB_GETTEXTA, WPARAM(part), reinterpret_cast<LPARAM>(text.data()));
    text.back() = '\0';
    return std::string(text.data());
}

std::string ToolButtonText(HWND toolBar, int commandId)
{
    const LRESULT length = ::SendMessageA(toolBar, TB_GETBUTTONTEXTA, WPARAM(commandId), 0);
    if (length <= 0)
        return std::string();
    std::vector<char> text(size_t(length) + 1, '\0');
    ::SendMessageA(toolBar, TB_GETBUTTONTEXTA, WPARAM(commandId), reinterpret_cast<LPARAM>(text.data()));
    text.back() = '\0';
    return std::string(text.data());
}

std::string WindowText(HWND hwnd)
{
    const int length = GetWindowTextLengthA(hwnd);
    if (length <= 0)
        return std::string();
    std::vector<char> text(size_t(length) + 1, '\0');
    GetWindowTextA(hwnd, text.data(), length + 1);
    return std::string(text.data());
}

}  // namespace commctl
