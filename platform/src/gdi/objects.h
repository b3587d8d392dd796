// The drawing layer's objects: bitmaps (device-dependent and DIB sections, with their pixel
// formats), brushes, pens, fonts, regions and palettes, each behind its handle table.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/handles.h"
#include "core/surface.h"
#include "gdi/region.h"
#include "wingdi.h"

namespace plat::gdi {

// Pixel storage of a bitmap in any of the formats the layer supports. Colours cross this
// interface as surface pixels (0xAARRGGBB); rows are addressed top-down whatever the layout.
struct PixelStore {
    int width = 0, height = 0;
    int bpp = 32;
    int stride = 0;          // bytes per stored row
    bool bottomUp = false;   // DIB rows stored bottom row first
    uint8_t* bits = nullptr;
    std::vector<uint32_t> palette;  // 1/4/8 bpp: surface pixels of the colour table
    uint32_t masks[3] = {0, 0, 0};  // 16/32 bpp bit fields (red, green, blue)
    bool bitfields = false;
    std::shared_ptr<Surface> surface;  // 32-bit top-down storage (device bitmaps)
    std::vector<uint8_t> own;          // storage of DIB sections and monochrome bitmaps

    uint8_t* RowBytes(int y) const { return bits + size_t(bottomUp ? height - 1 - y : y) * size_t(stride); }
    // Direct 32-bit access when the stored format is plain 0x00RRGGBB.
    uint32_t* Row32(int y) const {
        return (bpp == 32 && !bitfields) ? reinterpret_cast<uint32_t*>(RowBytes(y)) : nullptr;
    }
    void ReadRow(int y, int x0, int n, uint32_t* out) const;
    void WriteRow(int y, int x0, int n, const uint32_t* in);
    uint32_t Get(int x, int y) const {
        uint32_t p;
        ReadRow(y, x, 1, &p);
        return p;
    }
    void Set(int x, int y, uint32_t p) { WriteRow(y, x, 1, &p); }
    bool Mono() const { return bpp == 1; }
    // The stored value nearest to a colour, as the colour it will read back as.
    uint32_t Nearest(uint32_t px) const;
    int PaletteIndex(uint32_t px) const;

    static int StrideFor(int width, int bpp) { return ((width * bpp + 31) / 32) * 4; }
};

struct GdiObject {
    virtual ~GdiObject() = default;
    int selectedIn = 0;  // number of DCs that have it selected
    bool stock = false;
};

struct Bitmap : GdiObject {
    PixelStore px;
    bool dib = false;          // a DIB section: its bits are the program's
    BITMAPINFOHEADER dibHeader{};
    SIZE dimension{0, 0};
    // Monochrome device bitmaps are 1 bpp with black and white; everything else made by
    // CreateCompatibleBitmap/CreateBitmap(32) is 32 bpp over a surface.
    static std::shared_ptr<Bitmap> MakeDevice(int w, int h, int bpp);
    static std::shared_ptr<Bitmap> MakeDib(const BITMAPINFO* bmi, UINT usage, std::string* err);
};

struct Brush : GdiObject {
    UINT style = BS_SOLID;
    COLORREF color = 0;
    int hatch = 0;
    ULONG_PTR lbHatch = 0;
    // Pattern brushes: a private copy of the bitmap, taken when the brush is made.
    std::shared_ptr<Bitmap> pattern;
    bool dcBrush = false;  // the DC_BRUSH stock object: colour comes from the DC
};

struct Pen : GdiObject {
    UINT style = PS_SOLID;  // full style including type, caps and joins
    int width = 1;
    COLORREF color = 0;
    bool ext = false;
    bool dcPen = false;
    std::vector<DWORD> user;  // PS_USERSTYLE dash lengths
    int Kind() const { return int(style & PS_STYLE_MASK); }
};

struct FontFace;  // text.cpp
struct Font : GdiObject {
    LOGFONTA lf{};
    std::shared_ptr<FontFace> face;  // resolved on first use
};

struct RegionObj : GdiObject {
    Region rgn;
};

struct Palette : GdiObject {
    std::vector<PALETTEENTRY> entries;
};

// One table per kind.
HandleTable<Bitmap>& Bitmaps();
HandleTable<Brush>& Brushes();
HandleTable<Pen>& Pens();
HandleTable<Font>& Fonts();
HandleTable<RegionObj>& Regions();
HandleTable<Palette>& Palettes();

// Looks up any drawing object by handle (null for stale or non-drawing handles).
std::shared_ptr<GdiObject> AnyObject(HGDIOBJ h);

HGDIOBJ Stock(int index);
// Makes an object the layer keeps for its own lifetime behave as a stock object (DeleteObject
// leaves it alone; the leak counters do not count it).
void KeepForever(HGDIOBJ h);
// Live objects of one table, stock ones left out.
size_t LiveObjectCount(HandleKind kind);
HFONT DefaultGuiFont();
HBITMAP DefaultBitmap();  // the 1x1 monochrome bitmap of a new memory DC

// Colour helpers.
inline uint32_t Px(COLORREF c) { return PixelFromColorref(c & 0xFFFFFF); }
inline COLORREF Cr(uint32_t px) { return ColorrefFromPixel(px & 0xFFFFFF); }

// Builds the region shapes shared by the drawing functions and the region constructors.
// `bounds` (optional) limits the rows and spans computed: drawing passes its clip box so that
// shapes reaching far outside the surface cost only what is visible.
Region RoundRectRegion(int l, int t, int r, int b, int ew, int eh, const RECT* bounds = nullptr);
Region PolygonRegion(const POINT* const* polys, const int* counts, int npolys, int mode,
                     const RECT* bounds = nullptr);

}  // namespace plat::gdi
