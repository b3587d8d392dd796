#include "SkinDraw.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "RasterImage.h"
#include "SkinFile.h"
#include "SkinGeometry.h"
#include "SkinMemDC.h"
#include "SkinObjectTypes.h"
#include "platres.h"

RECT SkinVisiblePart(HDC hdc, const RECT& rc)
{
    RECT box;
    if (GetClipBox(hdc, &box) == ERROR)
        return RECT{rc.left, rc.top, rc.left, rc.top};
    return SkinIntersectRect(rc, SkinClampRect(box));
}

namespace {

LONG Width(const RECT& rc) { return SkinWidth(rc); }
LONG Height(const RECT& rc) { return SkinHeight(rc); }

// The record's picture cut to its source rectangle, or null.
std::unique_ptr<CRasterImage> CutPart(CSkinFile* file, const SkinImagePart& part)
{
    if (!file || part.name[0] == 0 || Width(part.src) <= 0 || Height(part.src) <= 0)
        return nullptr;
    CSkinImageObject* object = file->FindImage(part.name);
    CRasterImage* source = object ? object->GetImage() : nullptr;
    if (!source || !source->IsValid())
        return nullptr;
    auto cut = std::make_unique<CRasterImage>();
    if (!source->Crop(part.src.left, part.src.top, part.src.right, part.src.bottom, cut.get()) ||
        !cut->IsValid())
        return nullptr;
    return cut;
}

SkinImagePart MakePart(const char* name, const RECT& src, DWORD mode)
{
    SkinImagePart part;
    std::memset(&part, 0, sizeof part);
    std::memcpy(part.name, name, sizeof part.name);
    part.name[sizeof part.name - 1] = 0;
    part.src = src;
    part.mode = mode;
    return part;
}

enum GridCell { kTopLeft, kTop, kTopRight, kLeft, kCentre, kRight, kBottomLeft, kBottom, kBottomRight };

// Cuts rc into nine by the margins, row by row.
void CutNine(const RECT& rc, LONG ml, LONG mt, LONG mr, LONG mb, RECT out[9])
{
    // The cuts are held like the rectangle's own corners, so every cell's size is exact.
    const LONG xs[4] = {rc.left, SkinClampCorner(SkinAdd(rc.left, ml)), SkinClampCorner(SkinSub(rc.right, mr)),
                        rc.right};
    const LONG ys[4] = {rc.top, SkinClampCorner(SkinAdd(rc.top, mt)), SkinClampCorner(SkinSub(rc.bottom, mb)),
                        rc.bottom};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            out[row * 3 + col] = RECT{xs[col], ys[row], xs[col + 1], ys[row + 1]};
}

// Mode 8's centre: stretched to the centre's height, repeated across at the source's width,
// the last copy cut short at the centre's right edge.
void DrawStretchedColumns(CSkinFile* file, HDC hdc, const RECT& dst, const char* name, const RECT& src,
                          COLORREF fillColor, int fill, bool mirror)
{
    const LONG step = Width(src);
    if (step <= 0 || Height(src) <= 0) {
        DrawSkinImage(file, hdc, dst, MakePart(name, src, 2), fillColor, fill, mirror);
        return;
    }
    // Only the columns the DC can show are drawn, from the first one that reaches into it.
    const RECT visible = SkinVisiblePart(hdc, dst);
    if (!SkinRectHasArea(visible))
        return;
    const LONG first = dst.left + (visible.left - dst.left) / step * step;
    for (LONG x = first; x < visible.right; x += step) {
        const LONG w = std::min(step, dst.right - x);
        RECT piece = {src.left, src.top, src.left + w, src.bottom};
        DrawSkinImage(file, hdc, RECT{x, dst.top, x + w, dst.bottom}, MakePart(name, piece, 2), fillColor,
                      fill, mirror);
    }
}

void DrawGrid(CSkinFile* file, HDC hdc, const RECT& rc, const SkinNineGrid& grid, LONG ml, LONG mt, LONG mr,
              LONG mb, bool withCentre, COLORREF fillColor, int fill, bool mirror)
{
    RECT src[9], dst[9];
    CutNine(SkinClampRect(grid.src), ml, mt, mr, mb, src);
    CutNine(SkinClampRect(rc), ml, mt, mr, mb, dst);
    DWORD modes[9];
    std::fill(modes, modes + 9, grid.mode == 1 ? 2u : 1u);
    const DWORD kStretch = 2;
    switch (grid.mode) {
    case 2: modes[kBottom] = kStretch; break;
    case 3: modes[kCentre] = kStretch; break;
    case 4: modes[kLeft] = kStretch; break;
    case 6: modes[kRight] = kStretch; break;
    case 7: modes[kTop] = kStretch; break;
    case 5:
    case 8:
        // A frame alone has no centre to fit, and mode 8 then stretches nothing.
        if (grid.mode == 5 || withCentre)
            modes[kTop] = modes[kLeft] = modes[kRight] = modes[kBottom] = kStretch;
        break;
    default: break;
    }
    static const int kOrder[9] = {kTopLeft, kTop, kTopRight, kLeft, kCentre, kRight, kBottomLeft, kBottom, kBottomRight};
    for (int cell : kOrder) {
        if (cell == kCentre && !withCentre)
            continue;
        // Margins larger than the destination leave some parts no room: those are not drawn.
        if (Width(dst[cell]) <= 0 || Height(dst[cell]) <= 0)
            continue;
        if (cell == kCentre && grid.mode == 8)
            DrawStretchedColumns(file, hdc, dst[cell], grid.name, src[cell], fillColor, fill, mirror);
        else
            DrawSkinImage(file, hdc, dst[cell], MakePart(grid.name, src[cell], modes[cell]), fillColor, fill,
                          mirror);
    }
}

// Key-coloured pixels (true) of a top-down width x height grid, one rectangle per run of the
// others, made into a region in one call.
template <class IsKey>
HRGN RegionFromRuns(LONG width, LONG height, IsKey isKey)
{
    std::vector<RECT> runs;
    runs.reserve(size_t(height > 0 ? height : 0));
    for (LONG row = 0; row < height; ++row) {
        for (LONG x = 0; x < width;) {
            while (x < width && isKey(x, row))
                ++x;
            const LONG start = x;
            while (x < width && !isKey(x, row))
                ++x;
            if (x > start)
                runs.push_back({start, row, x, row + 1});
        }
    }
    std::vector<BYTE> block(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    RGNDATAHEADER header{};
    header.dwSize = sizeof header;
    header.iType = RDH_RECTANGLES;
    header.nCount = DWORD(runs.size());
    header.nRgnSize = DWORD(runs.size() * sizeof(RECT));
    header.rcBound = {0, 0, width, height};
    std::memcpy(block.data(), &header, sizeof header);
    if (!runs.empty())
        std::memcpy(block.data() + sizeof header, runs.data(), runs.size() * sizeof(RECT));
    return ExtCreateRegion(nullptr, DWORD(block.size()), reinterpret_cast<const RGNDATA*>(block.data()));
}

}  // namespace

// ---- skin image records ---------------------------------------------------------------------

void DrawSkinImage(CSkinFile* file, HDC hdc, const RECT& rect, const SkinImagePart& part, COLORREF fillColor,
                   int fill, bool mirror)
{
    const RECT rc = SkinClampRect(rect);
    if (!hdc || !SkinRectHasArea(rc))
        return;
    std::unique_ptr<CRasterImage> image = CutPart(file, part);
    if (!image) {
        if (fill == 1)
            FillSolidRect(hdc, rc, fillColor);
        return;
    }
    const LONG w = LONG(image->GetWidth());
    const LONG h = LONG(image->GetHeight());
    if (part.mode == 0) {
        const LONG cw = std::min(w, Width(rc));
        const LONG ch = std::min(h, Height(rc));
        CRasterImage corner;
        if (cw < w || ch < h) {
            if (!image->Crop(0, 0, cw, ch, &corner))
                return;
        } else {
            corner.TakeOver(*image);
        }
        if (mirror)
            corner.Mirror();
        corner.Draw(hdc, rc.left, rc.top);
    } else if (part.mode == 1) {
        if (mirror)
            image->Mirror();
        image->Tile(hdc, &rc);
    } else {
        image->Stretch(hdc, rc.left, rc.top, Width(rc), Height(rc));
    }
}

void DrawSkinImagePart(CSkinFile* file, HDC hdc, const RECT& rc, const SkinNineGrid& grid, COLORREF fillColor,
                       int fill, bool mirror)
{
    DrawGrid(file, hdc, rc, grid, grid.marginLeft, grid.marginTop, grid.marginRight, grid.marginBottom, true,
             fillColor, fill, mirror);
}

void DrawSkinImageFrame(CSkinFile* file, HDC hdc, const RECT& rc, const SkinNineGrid& grid, COLORREF fillColor,
                        int fill, bool mirror)
{
    DrawGrid(file, hdc, rc, grid, grid.marginLeft, grid.marginTop, grid.marginRight, grid.marginBottom, false,
             fillColor, fill, mirror);
}

void DrawSkinImageFrameEx(CSkinFile* file, HDC hdc, const RECT& rc, const SkinNineGrid& grid, LONG marginLeft,
                          LONG marginTop, LONG marginRight, LONG marginBottom, COLORREF fillColor, int fill,
                          bool mirror)
{
    DrawGrid(file, hdc, rc, grid, marginLeft, marginTop, marginRight, marginBottom, false, fillColor, fill,
             mirror);
}

namespace {

// Paints through an off-screen surface filled with the key colour, then blits it with the key.
// Only the part the DC can show gets a surface; the record is drawn at its place relative to it.
template <class Paint>
void DrawThroughKey(HDC hdc, const RECT& rect, COLORREF key, Paint paint)
{
    if (!hdc)
        return;
    const RECT rc = SkinClampRect(rect);
    const RECT shown = SkinVisiblePart(hdc, rc);
    const LONG w = Width(shown), h = Height(shown);
    if (w <= 0 || h <= 0)
        return;
    CSkinMemDC surface(hdc, w, h);
    if (!surface.IsValid())
        return;
    FillSolidRect(surface, RECT{0, 0, w, h}, key);
    paint(surface.GetSafeHdc(), SkinOffsetRect(rc, -shown.left, -shown.top));
    // The blit selects the bitmap into DCs of its own, so the surface lets go of it first.
    HBITMAP picture = surface.DetachBitmap();
    TransparentBitBlt(hdc, shown.left, shown.top, w, h, picture, 0, 0, key, nullptr);
    DeleteObject(picture);
}

}  // namespace

void DrawSkinImageTransparent(CSkinFile* file, HDC hdc, const RECT& rc, const SkinImagePart& part, COLORREF key,
                              bool mirror)
{
    DrawThroughKey(hdc, rc, key, [&](HDC dc, const RECT& local) { DrawSkinImage(file, dc, local, part, key, 0, mirror); });
}

void DrawSkinImagePartTransparent(CSkinFile* file, HDC hdc, const RECT& rc, const SkinNineGrid& grid,
                                  COLORREF key, bool mirror)
{
    DrawThroughKey(hdc, rc, key,
                   [&](HDC dc, const RECT& local) { DrawSkinImagePart(file, dc, local, grid, key, 0, mirror); });
}

// ---- transparent blits ----------------------------------------------------------------------

namespace {

// Cuts *rc to what the DC can show; false when nothing of it can be. Other mapping modes keep
// the whole rectangle, whose logical units need not be pixels.
bool VisiblePart(HDC hdc, RECT* rc)
{
    RECT clip;
    if (GetMapMode(hdc) == MM_TEXT && GetClipBox(hdc, &clip) != ERROR)
        *rc = SkinIntersectRect(*rc, clip);
    return SkinRectHasArea(*rc);
}

// The picture in workDC goes onto the destination's part except where it has the key colour;
// maskDC's bitmap, as large as the part, takes the mask.
BOOL DrawThroughMask(HDC hdc, const RECT& part, HDC workDC, HDC maskDC, COLORREF key)
{
    const int width = part.right - part.left, height = part.bottom - part.top;
    // Mask: white where the picture has the key colour.
    SetBkColor(workDC, key);
    BitBlt(maskDC, 0, 0, width, height, workDC, 0, 0, SRCCOPY);
    // The picture's key pixels become black so they add nothing below.
    SetBkColor(workDC, RGB(0, 0, 0));
    SetTextColor(workDC, RGB(255, 255, 255));
    BitBlt(workDC, 0, 0, width, height, maskDC, 0, 0, SRCAND);
    // The destination keeps its pixels under the key and is cleared under the picture.
    const COLORREF oldBk = SetBkColor(hdc, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(hdc, RGB(0, 0, 0));
    BitBlt(hdc, part.left, part.top, width, height, maskDC, 0, 0, SRCAND);
    const BOOL ok = BitBlt(hdc, part.left, part.top, width, height, workDC, 0, 0, SRCPAINT);
    SetBkColor(hdc, oldBk);
    SetTextColor(hdc, oldText);
    return ok;
}

}  // namespace

BOOL TransparentStretchBlt(HDC hdc, int x, int y, int width, int height, HBITMAP source, int xSrc, int ySrc,
                           int srcWidth, int srcHeight, COLORREF key, HPALETTE palette)
{
    if (!hdc || !source || width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0)
        return FALSE;
    // Only the part the destination can show is worked on: a picture stretched over a huge
    // area (a damaged skin's caption button, say) then costs what the window shows, not more.
    RECT part{x, y, SkinAdd(x, width), SkinAdd(y, height)};
    if (!VisiblePart(hdc, &part))
        return TRUE;
    HPALETTE oldPalette = nullptr;
    if (palette && (GetDeviceCaps(hdc, RASTERCAPS) & RC_PALETTE)) {
        oldPalette = SelectPalette(hdc, palette, FALSE);
        RealizePalette(hdc);
    }
    const int partWidth = part.right - part.left, partHeight = part.bottom - part.top;
    const int dx = x - part.left, dy = y - part.top;  // where the whole picture starts in the part
    HDC srcDC = CreateCompatibleDC(hdc);
    HDC workDC = CreateCompatibleDC(hdc);
    HDC maskDC = CreateCompatibleDC(hdc);
    HBITMAP work = CreateCompatibleBitmap(hdc, partWidth, partHeight);
    HBITMAP mask = CreateBitmap(partWidth, partHeight, 1, 1, nullptr);
    BOOL ok = FALSE;
    if (srcDC && workDC && maskDC && work && mask) {
        HGDIOBJ oldSrc = SelectObject(srcDC, source);
        HGDIOBJ oldWork = SelectObject(workDC, work);
        HGDIOBJ oldMask = SelectObject(maskDC, mask);
        const BOOL picked =
            srcWidth == width && srcHeight == height
                ? BitBlt(workDC, 0, 0, partWidth, partHeight, srcDC, xSrc - dx, ySrc - dy, SRCCOPY)
                : StretchBlt(workDC, dx, dy, width, height, srcDC, xSrc, ySrc, srcWidth, srcHeight, SRCCOPY);
        if (picked)
            ok = DrawThroughMask(hdc, part, workDC, maskDC, key);
        SelectObject(maskDC, oldMask);
        SelectObject(workDC, oldWork);
        SelectObject(srcDC, oldSrc);
    }
    if (mask)
        DeleteObject(mask);
    if (work)
        DeleteObject(work);
    if (maskDC)
        DeleteDC(maskDC);
    if (workDC)
        DeleteDC(workDC);
    if (srcDC)
        DeleteDC(srcDC);
    if (oldPalette)
        SelectPalette(hdc, oldPalette, FALSE);
    return ok;
}

BOOL TransparentBitBlt(HDC hdc, int x, int y, int width, int height, HBITMAP source, int xSrc, int ySrc,
                       COLORREF key, HPALETTE palette)
{
    return TransparentStretchBlt(hdc, x, y, width, height, source, xSrc, ySrc, width, height, key, palette);
}

namespace {

BOOL DrawImageKeyed(HDC hdc, CRasterImage& image, LONG x, LONG y, LONG cx, LONG cy, COLORREF key)
{
    RGBQUAD q{};
    q.rgbRed = GetRValue(key);
    q.rgbGreen = GetGValue(key);
    q.rgbBlue = GetBValue(key);
    // Paletted pictures mark the key by its index, true-colour ones by the colour itself.
    const LONG oldIndex = image.GetTransIndex();
    const RGBQUAD oldColor = image.GetTransColor();
    image.SetTransIndex(image.GetBpp() <= 8 ? image.GetNearestIndex(q) : 0);
    image.SetTransColor(q);
    const int done = image.DrawTransparent(hdc, x, y, cx, cy);
    image.SetTransIndex(oldIndex);
    image.SetTransColor(oldColor);
    return done ? TRUE : FALSE;
}

}  // namespace

BOOL DrawBitmapTransparent(HDC hdc, HBITMAP bitmap, POINT pos, COLORREF key)
{
    if (!hdc || !bitmap)
        return FALSE;
    CRasterImage image;
    if (!image.CreateFromHBITMAP(bitmap))
        return FALSE;
    return DrawImageKeyed(hdc, image, pos.x, pos.y, -1, -1, key);
}

BOOL DrawImageTransparent(HDC hdc, CRasterImage* image, const RECT& rc, COLORREF key)
{
    if (!hdc || !image || !image->IsValid() || Width(rc) <= 0 || Height(rc) <= 0)
        return FALSE;
    const LONG w = std::min(LONG(image->GetWidth()), Width(rc));
    const LONG h = std::min(LONG(image->GetHeight()), Height(rc));
    if (w == LONG(image->GetWidth()) && h == LONG(image->GetHeight()))
        return DrawImageKeyed(hdc, *image, rc.left, rc.top, w, h, key);
    CRasterImage corner;
    if (!image->Crop(0, 0, w, h, &corner))
        return FALSE;
    return DrawImageKeyed(hdc, corner, rc.left, rc.top, w, h, key);
}

// ---- regions ----------------------------------------------------------------------------------

HRGN CreateRegionFromBitmap(HBITMAP bitmap, COLORREF key)
{
    BITMAP bm;
    std::memset(&bm, 0, sizeof bm);
    if (!bitmap || !GetObject(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight == 0)
        return nullptr;
    const LONG width = bm.bmWidth;
    const LONG height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    // Read as 32-bit rows whatever the depth: paletted pixels arrive as their palette colours.
    BITMAPINFO bmi;
    std::memset(&bmi, 0, sizeof bmi);
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;  // top row first
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    HDC screen = GetDC(nullptr);
    const int lines = GetDIBits(screen, bitmap, 0, UINT(height), pixels.data(), &bmi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (lines <= 0)
        return nullptr;
    // A 16-bit bitmap holds 5 bits a channel: the key is compared at that precision.
    const uint32_t channelMask = bm.bmBitsPixel == 16 ? 0xF8F8F8u : 0xFFFFFFu;
    const uint32_t keyPixel =
        ((uint32_t(GetRValue(key)) << 16) | (uint32_t(GetGValue(key)) << 8) | GetBValue(key)) & channelMask;
    return RegionFromRuns(width, height, [&](LONG x, LONG row) {
        return (pixels[size_t(row) * size_t(width) + size_t(x)] & channelMask) == keyPixel;
    });
}

HRGN CreateRegionFromImage(const CRasterImage& image, COLORREF key)
{
    if (!image.IsValid())
        return nullptr;
    const LONG width = LONG(image.GetWidth());
    const LONG height = LONG(image.GetHeight());
    const COLORREF want = key & 0xFFFFFF;
    return RegionFromRuns(width, height, [&](LONG x, LONG row) {
        RGBQUAD c = image.GetPixelColor(x, height - 1 - row, false);  // the image counts rows from the bottom
        return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue) == want;
    });
}

HRGN TransformRegion(HRGN region, float xFactor, float yFactor, int dx, int dy)
{
    if (!region)
        return nullptr;
    const DWORD size = GetRegionData(region, 0, nullptr);
    if (size == 0)
        return nullptr;
    std::vector<BYTE> data(size);
    if (!GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data())))
        return nullptr;
    XFORM xf;
    std::memset(&xf, 0, sizeof xf);
    xf.eM11 = xFactor;
    xf.eM22 = yFactor;
    HRGN scaled = ExtCreateRegion(&xf, size, reinterpret_cast<const RGNDATA*>(data.data()));
    if (scaled)
        OffsetRgn(scaled, dx, dy);
    return scaled;
}

HRGN TileRegion(HRGN region, int stepX, int stepY, const RECT& rect)
{
    if (!region || stepX <= 0 || stepY <= 0)
        return nullptr;
    const RECT rc = SkinClampRect(rect);
    if (!SkinRectHasArea(rc))
        return CreateRectRgn(0, 0, 0, 0);
    HRGN result = CreateRectRgn(0, 0, 0, 0);
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    HRGN clip = CreateRectRgn(rc.left, rc.top, rc.right, rc.bottom);
    if (!result || !copy || !clip) {
        for (HRGN r : {result, copy, clip})
            if (r)
                DeleteObject(r);
        return nullptr;
    }
    // One row of copies, then rows of that row, each doubling what it has: a few combines
    // however many copies the rectangle holds.
    CombineRgn(result, region, nullptr, RGN_COPY);
    OffsetRgn(result, rc.left, rc.top);
    const auto repeat = [&](LONG extent, LONG step, bool across) {
        for (long long done = step; done < extent; done *= 2) {
            CombineRgn(copy, result, nullptr, RGN_COPY);
            OffsetRgn(copy, across ? int(done) : 0, across ? 0 : int(done));
            CombineRgn(result, result, copy, RGN_OR);
        }
    };
    repeat(Width(rc), stepX, true);
    repeat(Height(rc), stepY, false);
    CombineRgn(result, result, clip, RGN_AND);
    DeleteObject(copy);
    DeleteObject(clip);
    return result;
}

// ---- text -----------------------------------------------------------------------------------

void DrawSkinText(HDC hdc, const RECT& rc, DWORD shadowOffset, DWORD flags, COLORREF shadowColor,
                  COLORREF textColor, const char* text, int length, UINT format)
{
    if (!hdc || !text)
        return;
    const int saved = SaveDC(hdc);
    SetBkMode(hdc, TRANSPARENT);
    if (flags & SkinTextStyle::kShadow) {
        const int dx = static_cast<signed char>(shadowOffset & 0xFF);
        const int dy = static_cast<signed char>((shadowOffset >> 8) & 0xFF);
        RECT shadow = SkinOffsetRect(rc, dx, dy);
        SetTextColor(hdc, shadowColor);
        DrawTextA(hdc, text, length, &shadow, format);
    }
    RECT box = rc;
    SetTextColor(hdc, textColor);
    DrawTextA(hdc, text, length, &box, format);
    RestoreDC(hdc, saved);
}

void DrawSkinTextStyle(HDC hdc, const SkinTextStyle& style, const RECT& rc, const char* text, int length,
                       UINT format)
{
    const DWORD offset = DWORD(BYTE(style.shadowX)) | (DWORD(BYTE(style.shadowY)) << 8);
    DrawSkinText(hdc, rc, offset, style.flags, style.GetShadowColor(), style.GetTextColor(), text, length, format);
}

// ---- small helpers ----------------------------------------------------------------------------

void FillSolidRect(HDC hdc, const RECT& rc, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    if (!brush)
        return;
    FillRect(hdc, &rc, brush);
    DeleteObject(brush);
}

void FillPolygon(HDC hdc, const POINT* points, int count, COLORREF color)
{
    if (!hdc || !points || count < 3)
        return;
    HBRUSH brush = CreateSolidBrush(color);
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ oldBrush = SelectObject(hdc, brush);
    HGDIOBJ oldPen = SelectObject(hdc, pen);
    Polygon(hdc, points, count);
    SelectObject(hdc, oldPen);
    SelectObject(hdc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

void DrawWindowIcon(HDC hdc, HWND hwnd, const RECT& rc)
{
    if (!hdc || !hwnd)
        return;
    HICON icon = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0));
    if (!icon)
        icon = reinterpret_cast<HICON>(GetClassLongPtrA(hwnd, GCLP_HICONSM));
    if (!icon)
        icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    if (icon)
        DrawIconEx(hdc, rc.left, rc.top, icon, Width(rc), Height(rc), 0, nullptr, DI_NORMAL);
}

void ScreenToClientRect(HWND hwnd, RECT& rc)
{
    POINT a = {rc.left, rc.top}, b = {rc.right, rc.bottom};
    ScreenToClient(hwnd, &a);
    ScreenToClient(hwnd, &b);
    rc = {a.x, a.y, b.x, b.y};
}

void ClientToScreenRect(HWND hwnd, RECT& rc)
{
    POINT a = {rc.left, rc.top}, b = {rc.right, rc.bottom};
    ClientToScreen(hwnd, &a);
    ClientToScreen(hwnd, &b);
    rc = {a.x, a.y, b.x, b.y};
}

bool IsImagePartEmpty(const SkinImagePart& part)
{
    return part.name[0] == 0 || Width(part.src) <= 0 || Height(part.src) <= 0;
}

bool IsGridPartEmpty(const SkinNineGrid& grid)
{
    return grid.name[0] == 0 || Width(grid.src) <= 0 || Height(grid.src) <= 0;
}

bool MakeTempFileName(char* out, size_t outSize, const char* name, const char* fallbackFolder,
                      const char* extension)
{
    if (!out || outSize == 0)
        return false;
    out[0] = 0;
    char folder[MAX_PATH] = {};
    const DWORD n = GetTempPathA(MAX_PATH, folder);
    if (n == 0 || n >= MAX_PATH)
        snprintf(folder, sizeof folder, "%s", fallbackFolder ? fallbackFolder : "");
    char path[MAX_PATH] = {};
    std::string result;
    if (GetTempFileNameA(folder, "QV", 0, path)) {
        result = path;
    } else {
        const size_t len = std::strlen(folder);
        const bool hasSeparator = len > 0 && (folder[len - 1] == '/' || folder[len - 1] == '\\');
        result = std::string(folder) + (hasSeparator || len == 0 ? "" : "/") + (name ? name : "");
    }
    if (extension && *extension)
        result += std::string(".") + extension;
    if (result.size() + 1 > outSize)
        return false;
    std::memcpy(out, result.c_str(), result.size() + 1);
    return true;
}

bool SaveResourceToFile(const char* path, HMODULE module, LPCSTR name, LPCSTR type)
{
    if (!path)
        return false;
    HRSRC found = FindResourceA(module, name, type);
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = SizeofResource(module, found);
    if (!bytes && size)
        return false;
    FILE* f = std::fopen(path, "w+b");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}
