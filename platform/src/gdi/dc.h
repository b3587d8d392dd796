// The device context: a drawing target (a window's surface or a memory DC's bitmap) and a
// state stack of origin, clip region, selected objects, colours and modes.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "gdi/objects.h"

namespace plat::gdi {

struct DCState {
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
    // Objects held alive while selected, even if their handles are freed meanwhile.
    std::shared_ptr<Pen> penObj;
    std::shared_ptr<Brush> brushObj;
    std::shared_ptr<Font> fontObj;
    std::shared_ptr<Bitmap> bitmapObj;
    COLORREF textColor = 0x000000;
    COLORREF bkColor = 0xFFFFFF;
    COLORREF dcBrushColor = 0xFFFFFF;
    COLORREF dcPenColor = 0x000000;
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int stretchMode = BLACKONWHITE;
    int polyFillMode = ALTERNATE;
    int mapMode = MM_TEXT;
    UINT textAlign = TA_LEFT | TA_TOP;
    int charExtra = 0;
    POINT viewportOrg{0, 0};
    POINT windowOrg{0, 0};
    POINT brushOrg{0, 0};
    POINT curPos{0, 0};
    std::optional<Region> clip;  // device coordinates; none = no clip
};

enum class DCKind { Memory, Window, Display };

struct DC {
    DCKind kind = DCKind::Memory;
    HWND hwnd = nullptr;
    std::shared_ptr<Surface> surface;  // window and display DCs
    POINT origin{0, 0};                // device (0,0) in surface pixels
    std::optional<Region> visible;     // surface coordinates
    DCState st;
    std::vector<DCState> saved;

    // The pixels drawn into and the device rectangle they cover.
    // Returns false when there is nothing to draw on.
    bool Target(PixelStore& out) const;
    // Effective clip in target pixel coordinates (surface coordinates for window DCs).
    const Region& Clip();
    void ClipChanged() { clipValid_ = false; }
    // Logical to target pixel coordinates.
    int OffX() const { return st.viewportOrg.x - st.windowOrg.x + origin.x; }
    int OffY() const { return st.viewportOrg.y - st.windowOrg.y + origin.y; }
    // Logical to device (DC-relative) coordinates.
    int DevX() const { return st.viewportOrg.x - st.windowOrg.x; }
    int DevY() const { return st.viewportOrg.y - st.windowOrg.y; }
    int Depth() const;  // 1 or 32

    Pen* CurPen() const { return st.penObj.get(); }
    Brush* CurBrush() const { return st.brushObj.get(); }

private:
    Region clipCache_;
    bool clipValid_ = false;
    int cacheW_ = -1, cacheH_ = -1;
    const void* cacheBits_ = nullptr;
};

HandleTable<DC>& DCs();
std::shared_ptr<DC> GetDC(HDC h);

// A target bound to a DC for one drawing call: pixels and effective clip.
struct Canvas {
    std::shared_ptr<DC> dc;
    PixelStore px;
    const Region* clip = nullptr;
    bool ok = false;
    explicit Canvas(std::shared_ptr<DC> d);
    int ox() const { return dc->OffX(); }
    int oy() const { return dc->OffY(); }
};

// How a fill paints: a brush (possibly patterned) or a colour combined with the target by a
// binary raster operation.
struct Paint {
    enum Kind { None, SolidColor, Pattern } kind = None;
    uint32_t color = 0;                 // surface pixel
    std::shared_ptr<Bitmap> pattern;    // Pattern: sampled at (x - org) mod size
    uint32_t fg = 0, bg = 0;            // Pattern from a monochrome source: 0 -> fg, 1 -> bg
    bool monoPattern = false;
    bool transparentBg = false;         // hatch background left alone (TRANSPARENT mode)
    POINT org{0, 0};                    // brush origin in target pixels
    int rop2 = R2_COPYPEN;
};

// A brush's paint for the given DC (kind None for a null brush).
Paint BrushPaint(DC& dc, Brush* brush, int targetDepth);
Paint PenPaint(DC& dc, const Pen* pen);
// Fills the pixels of `area` (target coordinates) inside the canvas clip.
void FillRegion(Canvas& cv, const Region& area, const Paint& paint);
void FillRectT(Canvas& cv, RECT r, const Paint& paint);
// Raster operation engine: dst = rop3(D, S, P) bitwise over a row of pixels.
void Rop3Row(uint8_t rop, uint32_t* d, const uint32_t* s, const uint32_t* p, int n);
void Rop2Row(int rop2, uint32_t* d, uint32_t p, int n);
// A blit between two DC objects (which need not be in the handle table: a DC over a
// program's DIB bits for the DIB functions).
BOOL BlitFrom(const std::shared_ptr<DC>& dst, int x, int y, int w, int h, const std::shared_ptr<DC>& src, int xs,
              int ys, int ws, int hs, DWORD rop, bool stretch);
bool PatBltT(Canvas& cv, RECT r, DWORD rop);
// The pattern row of a paint at target row y, columns x0..x0+n.
void PatternRow(const Paint& paint, int y, int x0, int n, uint32_t* out, uint8_t* mask);

}  // namespace plat::gdi
