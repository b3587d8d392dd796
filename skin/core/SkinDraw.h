// The skin engine's drawing helpers: skin image records (image parts and nine-grids) drawn
// into a device context, styled text, transparent blits, and regions made from bitmaps and
// fitted to rectangles. Every skinner paints through these.
#pragma once
#include <windows.h>

#include <cstddef>

#include "SkinObject.h"

class CSkinFile;
class CRasterImage;

// ---- skin image records -------------------------------------------------------------------

// Draws the part into rc: mode 0 clips it to rc from its top-left corner, 1 tiles it, any other
// mode stretches it. A missing picture or empty source fills rc with fillColor when fill is 1.
// Mirroring flips clipped and tiled parts horizontally (stretched parts are never mirrored).
void DrawSkinImage(CSkinFile* file, HDC hdc, const RECT& rc, const SkinImagePart& part,
                   COLORREF fillColor, int fill, bool mirror);
// Draws the nine-grid into rc: corners at their own size, edges and centre tiled, or stretched
// where the grid's mode says so.
void DrawSkinImagePart(CSkinFile* file, HDC hdc, const RECT& rc, const SkinNineGrid& grid,
                       COLORREF fillColor, int fill, bool mirror);
// The same without the centre part.
void DrawSkinImageFrame(CSkinFile* file, HDC hdc, const RECT& rc, const SkinNineGrid& grid,
                        COLORREF fillColor, int fill, bool mirror);
// The eight border parts with these margins instead of the grid's own.
void DrawSkinImageFrameEx(CSkinFile* file, HDC hdc, const RECT& rc, const SkinNineGrid& grid,
                          LONG marginLeft, LONG marginTop, LONG marginRight, LONG marginBottom,
                          COLORREF fillColor, int fill, bool mirror);
// The part of rc that the DC can show: loops and surfaces never reach beyond it, however large
// a rectangle a skin asks for.
RECT SkinVisiblePart(HDC hdc, const RECT& rc);
// Draw the record leaving the pixels of the key colour (in the picture) untouched in hdc.
void DrawSkinImageTransparent(CSkinFile* file, HDC hdc, const RECT& rc, const SkinImagePart& part,
                              COLORREF key, bool mirror);
void DrawSkinImagePartTransparent(CSkinFile* file, HDC hdc, const RECT& rc,
                                  const SkinNineGrid& grid, COLORREF key, bool mirror);

// ---- transparent blits ----------------------------------------------------------------------

// Copies width x height of the bitmap from (xSrc, ySrc) to (x, y), leaving destination pixels
// where the source has the key colour. The bitmap must not be selected into a DC. On a palette
// device the palette (if any) is selected and realised first.
BOOL TransparentBitBlt(HDC hdc, int x, int y, int width, int height, HBITMAP source, int xSrc,
                       int ySrc, COLORREF key, HPALETTE palette = nullptr);
// The same, stretching srcWidth x srcHeight of the source to width x height.
BOOL TransparentStretchBlt(HDC hdc, int x, int y, int width, int height, HBITMAP source, int xSrc,
                           int ySrc, int srcWidth, int srcHeight, COLORREF key,
                           HPALETTE palette = nullptr);
// The bitmap at its own size at pos, through the image class with the key colour.
BOOL DrawBitmapTransparent(HDC hdc, HBITMAP bitmap, POINT pos, COLORREF key);
// The image at rc's top-left corner, clipped to the smaller of rc and its own size.
BOOL DrawImageTransparent(HDC hdc, CRasterImage* image, const RECT& rc, COLORREF key);

// ---- regions ----------------------------------------------------------------------------------

// The bitmap's area less its key-coloured pixels, one rectangle per horizontal run, top row
// first. 16-bit bitmaps compare colours at their own 5-bit precision. Null on failure.
HRGN CreateRegionFromBitmap(HBITMAP bitmap, COLORREF key);
// The same for a skin picture (its rows are stored bottom-up; the region is top-down).
HRGN CreateRegionFromImage(const CRasterImage& image, COLORREF key);
// A copy of the region scaled by the factors, then moved by (dx, dy). Null on failure.
HRGN TransformRegion(HRGN region, float xFactor, float yFactor, int dx, int dy);
// The region repeated from rc's top-left corner in steps of (stepX, stepY), clipped to rc.
// Null for a null region or a step that is not positive.
HRGN TileRegion(HRGN region, int stepX, int stepY, const RECT& rc);

// The region of an image part inside rc, without the key colour: clipped parts from rc's
// corner, tiled parts repeated, stretched parts scaled to rc. The rectangle when the part has
// no picture.
HRGN CreateSkinImageRegion(CSkinFile* file, const SkinImagePart& part, const RECT& rc, COLORREF key);

// ---- text -----------------------------------------------------------------------------------

// Draws the text with a transparent background; when flags bit 0 is set, first in the shadow
// colour in rc moved by the offset (x in the low byte, y in the next, both signed). The DC's
// state is restored afterwards.
void DrawSkinText(HDC hdc, const RECT& rc, DWORD shadowOffset, DWORD flags, COLORREF shadowColor,
                  COLORREF textColor, const char* text, int length, UINT format);
void DrawSkinTextStyle(HDC hdc, const SkinTextStyle& style, const RECT& rc, const char* text,
                       int length, UINT format);

// ---- small helpers ----------------------------------------------------------------------------

void FillSolidRect(HDC hdc, const RECT& rc, COLORREF color);
void FillPolygon(HDC hdc, const POINT* points, int count, COLORREF color);
// The window's small icon (WM_GETICON, else its class's, else the program's first) in rc.
void DrawWindowIcon(HDC hdc, HWND hwnd, const RECT& rc);
inline COLORREF RgbToColorRef(BYTE red, BYTE green, BYTE blue) { return RGB(red, green, blue); }
inline RECT MakeRect(LONG left, LONG top, LONG right, LONG bottom) { return RECT{left, top, right, bottom}; }
void ScreenToClientRect(HWND hwnd, RECT& rc);
void ClientToScreenRect(HWND hwnd, RECT& rc);
bool IsImagePartEmpty(const SkinImagePart& part);
bool IsGridPartEmpty(const SkinNineGrid& grid);

// A fresh temporary file path in out (outSize bytes, always terminated): the system's
// temporary folder (else the fallback folder) and a unique "QV" name; when no unique name can
// be made, the folder joined with name. With an extension, "." and the extension are appended.
// False when the result does not fit.
bool MakeTempFileName(char* out, size_t outSize, const char* name, const char* fallbackFolder,
                      const char* extension = nullptr);
// Writes a resource's bytes to the file; false when the resource is missing or the file
// cannot be written.
bool SaveResourceToFile(const char* path, HMODULE module, LPCSTR name, LPCSTR type);

// The month calendar's previous and next title buttons in its client coordinates, found by
// hit-testing the title band (MCM_HITTEST). False, with both rectangles empty, when the
// calendar answers no title button.
bool FindMonthCalTitleButtons(HWND calendar, RECT* previous, RECT* next);
