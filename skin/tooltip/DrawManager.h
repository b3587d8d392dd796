// GDI drawing effects for the markup renderer: gradients, tiled backgrounds, borders, lines,
// and bitmaps or icons drawn grey, darker, lighter, inverted or with a hard or soft shadow.
// It keeps no state: every call makes and deletes its own DCs, pens, brushes and surfaces.
#pragma once

#include <windows.h>

class CDrawManager {
public:
    // Effect flags of an image.
    enum : DWORD {
        kGray = 0x1,
        kDarker = 0x2,
        kLighter = 0x4,
        kFill = 0x8,
        kHardShadow = 0x100,
        kSoftShadow = 0x200,
        kInvert = 0x8000,
        kShadowMask = kHardShadow | kSoftShadow,
    };
    // Border and line styles (as the markup's border-style values).
    enum : int { kBorderNone = 0, kBorderSolid = 1, kBorderDashed = 2, kBorderDotted = 3,
                 kBorderDashDot = 4, kBorderDashDotDot = 5, kBorderDouble = 6 };
    // Background effects (the table attribute "bgeffect").
    enum : int { kBackTransparent = -1, kBackSolid = 0, kBackHGradient = 1, kBackVGradient = 2,
                 kBackHCGradient = 3, kBackVCGradient = 4, kBack3HGradient = 5, kBack3VGradient = 6 };
    // Largest side of a surface an effect makes; larger requests draw nothing.
    static constexpr int kMaxSurfaceSide = 4096;

    virtual ~CDrawManager() = default;

    static SIZE GetIconSize(HICON icon);
    static SIZE GetBitmapSize(HBITMAP bitmap);
    static COLORREF GrayColor(COLORREF c);
    static COLORREF InvertColor(COLORREF c);
    static COLORREF DarkenColor(COLORREF c, double factor);
    static COLORREF LightenColor(COLORREF c, double factor);

    // A new 32-bit surface of w x h (the caller deletes it) holding the top-left of the bitmap
    // with the effects applied; null for an empty or oversized request.
    HBITMAP CreateEffectBitmap(HBITMAP bitmap, int w, int h, DWORD effects, BOOL mask, COLORREF maskColor,
                               COLORREF fillColor);
    // A new icon stretched to w x h; null when the icon has no parts or the size is empty.
    HICON StretchIcon(HICON icon, int w, int h);

    void FillGradient(HDC hdc, int left, int top, int right, int bottom, COLORREF from, COLORREF to,
                      BOOL horizontal);
    void FillBackground(HDC hdc, int effect, const RECT& rc, COLORREF start, COLORREF middle, COLORREF end);
    void TileBlit(HDC hdc, int x, int y, int w, int h, HDC source, int sx, int sy, int tileWidth, int tileHeight);

    void DrawBitmap(HDC hdc, int x, int y, int w, int h, HBITMAP bitmap, BOOL mask, COLORREF maskColor,
                    DWORD effects, BOOL shadow, int dx, int dy, int extentX, int extentY, COLORREF shadowColor);
    void DrawIcon(HDC hdc, int x, int y, int w, int h, HICON icon, DWORD effects, BOOL shadow, int dx, int dy,
                  int extentX, int extentY, COLORREF shadowColor);
    // Darkens the block under the shadow bitmap (white leaves it, black darkens fully).
    void DrawShadow(HDC hdc, int x, int y, int w, int h, HBITMAP shadow, BOOL soft, int extentX, int extentY);

    void DrawBorder(HDC hdc, const RECT& rc, COLORREF light, COLORREF dark, int style, int width);
    void DrawBorder(HDC hdc, int left, int top, int right, int bottom, COLORREF light, COLORREF dark, int style,
                    int width);
    void DrawLine(HDC hdc, int x1, int y1, int x2, int y2, COLORREF color, int style, int width);

private:
    // The surface behind CreateEffectBitmap; `invertMasked` false keeps masked pixels black
    // under kInvert, so that an inverted image stays transparent where it is masked.
    HBITMAP BuildEffectSurface(HBITMAP bitmap, int w, int h, DWORD effects, BOOL mask, COLORREF maskColor,
                               COLORREF fillColor, bool invertMasked);
    // Paints a mask surface (SRCAND) then an image surface (SRCPAINT) at (x, y).
    void BlitMasked(HDC hdc, int x, int y, int w, int h, HBITMAP maskSurface, HBITMAP imageSurface);
    // Two gradients meeting in the middle: first to middle, then middle to last.
    void FillTwoHalves(HDC hdc, const RECT& rc, COLORREF first, COLORREF middle, COLORREF last, BOOL horizontal);
    void DrawBorderEdges(HDC hdc, RECT rc, COLORREF light, COLORREF dark, int style, int width);
};
