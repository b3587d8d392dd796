// The raster engine: fills with brushes and binary raster operations, the general
// three-operand blit with the monochrome/colour conversion rules, stretching, masks,
// transparency, alpha blending, gradients, and device-independent bitmaps.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "gdi/dc.h"

namespace plat::gdi {

// ---- raster operations ----------------------------------------------------------------------

void Rop2Row(int rop2, uint32_t* d, uint32_t p, int n) {
    p &= 0xFFFFFF;
    switch (rop2) {
        case R2_COPYPEN: std::fill(d, d + n, p); return;
        case R2_NOP: return;
        case R2_BLACK: std::fill(d, d + n, 0u); return;
        case R2_WHITE: std::fill(d, d + n, 0xFFFFFFu); return;
        case R2_XORPEN:
            for (int i = 0; i < n; ++i) d[i] = (d[i] ^ p) & 0xFFFFFF;
            return;
        case R2_NOT:
            for (int i = 0; i < n; ++i) d[i] = ~d[i] & 0xFFFFFF;
            return;
        default: break;
    }
    // The code minus one is a truth table over (pen, destination) bit pairs.
    unsigned t = unsigned(rop2 - 1) & 0xF;
    for (int i = 0; i < n; ++i) {
        uint32_t dd = d[i], r = 0;
        if (t & 1) r |= ~p & ~dd;
        if (t & 2) r |= ~p & dd;
        if (t & 4) r |= p & ~dd;
        if (t & 8) r |= p & dd;
        d[i] = r & 0xFFFFFF;
    }
}

namespace {
inline uint32_t Rop3Pixel(uint8_t rop, uint32_t d, uint32_t s, uint32_t p) {
    uint32_t r = 0;
    // Bit i of the code is the result for pattern bit (i>>2), source bit (i>>1)&1, dest bit i&1.
    for (int i = 0; i < 8; ++i) {
        if (!(rop & (1 << i))) continue;
        r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return r & 0xFFFFFF;
}
inline bool RopUsesSrc(uint8_t rop) { return ((rop >> 2) ^ rop) & 0x33; }
inline bool RopUsesPat(uint8_t rop) { return ((rop >> 4) ^ rop) & 0x0F; }
}  // namespace

void Rop3Row(uint8_t rop, uint32_t* d, const uint32_t* s, const uint32_t* p, int n) {
    switch (rop) {
        case 0xCC: for (int i = 0; i < n; ++i) d[i] = s[i]; return;
        case 0xF0: for (int i = 0; i < n; ++i) d[i] = p[i] & 0xFFFFFF; return;
        case 0x88: for (int i = 0; i < n; ++i) d[i] = (s[i] & d[i]) & 0xFFFFFF; return;
        case 0xEE: for (int i = 0; i < n; ++i) d[i] = (s[i] | d[i]) & 0xFFFFFF; return;
        case 0x66: for (int i = 0; i < n; ++i) d[i] = (s[i] ^ d[i]) & 0xFFFFFF; return;
        case 0x00: std::fill(d, d + n, 0u); return;
        case 0xFF: std::fill(d, d + n, 0xFFFFFFu); return;
        case 0x55: for (int i = 0; i < n; ++i) d[i] = ~d[i] & 0xFFFFFF; return;
        case 0x5A: for (int i = 0; i < n; ++i) d[i] = (p[i] ^ d[i]) & 0xFFFFFF; return;
        case 0x33: for (int i = 0; i < n; ++i) d[i] = ~s[i] & 0xFFFFFF; return;
        case 0xAA: return;
        case 0x44: for (int i = 0; i < n; ++i) d[i] = (s[i] & ~d[i]) & 0xFFFFFF; return;
        case 0xC0: for (int i = 0; i < n; ++i) d[i] = (s[i] & p[i]) & 0xFFFFFF; return;
        case 0xBB: for (int i = 0; i < n; ++i) d[i] = (~s[i] | d[i]) & 0xFFFFFF; return;
        case 0x22: for (int i = 0; i < n; ++i) d[i] = (~s[i] & d[i]) & 0xFFFFFF; return;
        default: break;
    }
    static const uint32_t zero = 0;
    for (int i = 0; i < n; ++i) d[i] = Rop3Pixel(rop, d[i], s ? s[i] : zero, p ? p[i] : zero);
}

// ---- paints -----------------------------------------------------------------------------

namespace {

// Hatch patterns, one byte per row, high bit leftmost; set bits are the hatch lines.
const uint8_t kHatch[6][8] = {
    {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00},  // HS_HORIZONTAL
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // HS_FDIAGONAL
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // HS_BDIAGONAL
    {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08},  // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // HS_DIAGCROSS
};

std::shared_ptr<Bitmap> HatchBitmap(int hatch) {
    static std::shared_ptr<Bitmap> cache[6];
    if (hatch < 0 || hatch > 5) hatch = 0;
    if (!cache[hatch]) {
        auto b = Bitmap::MakeDevice(8, 8, 1);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) b->px.Set(x, y, (kHatch[hatch][y] & (0x80 >> x)) ? 0 : 0xFFFFFF);
        cache[hatch] = b;
    }
    return cache[hatch];
}

inline int Mod(int a, int m) {
    int r = a % m;
    return r < 0 ? r + m : r;
}

}  // namespace

Paint BrushPaint(DC& dc, Brush* brush, int targetDepth) {
    Paint p;
    p.rop2 = dc.st.rop2;
    if (!brush) return p;
    p.org = POINT{dc.st.brushOrg.x + dc.origin.x, dc.st.brushOrg.y + dc.origin.y};
    switch (brush->style) {
        case BS_SOLID:
            p.kind = Paint::SolidColor;
            p.color = Px(brush->dcBrush ? dc.st.dcBrushColor : brush->color);
            break;
        case BS_HATCHED:
            p.kind = Paint::Pattern;
            p.pattern = HatchBitmap(brush->hatch);
            p.monoPattern = true;
            p.fg = Px(brush->color);  // hatch lines (0 bits)
            p.bg = Px(dc.st.bkColor);
            p.transparentBg = dc.st.bkMode == TRANSPARENT;
            break;
        case BS_PATTERN:
        case BS_DIBPATTERN:
        case BS_DIBPATTERNPT:
            if (!brush->pattern) return p;
            p.kind = Paint::Pattern;
            p.pattern = brush->pattern;
            if (brush->pattern->px.bpp == 1 && !brush->pattern->dib) {
                p.monoPattern = true;
                p.fg = Px(dc.st.textColor);
                p.bg = Px(dc.st.bkColor);
            }
            break;
        default: break;
    }
    (void)targetDepth;
    return p;
}

Paint PenPaint(DC& dc, const Pen* pen) {
    Paint p;
    p.rop2 = dc.st.rop2;
    if (!pen || pen->Kind() == PS_NULL) return p;
    p.kind = Paint::SolidColor;
    p.color = Px(pen->dcPen ? dc.st.dcPenColor : pen->color);
    return p;
}

void PatternRow(const Paint& paint, int y, int x0, int n, uint32_t* out, uint8_t* mask) {
    if (paint.kind == Paint::SolidColor) {
        std::fill(out, out + n, paint.color);
        if (mask) std::fill(mask, mask + n, uint8_t(1));
        return;
    }
    const PixelStore& pp = paint.pattern->px;
    int py = Mod(y - paint.org.y, pp.height);
    int px0 = Mod(x0 - paint.org.x, pp.width);
    // Read one pattern row and repeat it.
    uint32_t rowBuf[64];
    std::vector<uint32_t> big;
    uint32_t* row = rowBuf;
    if (pp.width > 64) {
        big.resize(size_t(pp.width));
        row = big.data();
    }
    pp.ReadRow(py, 0, pp.width, row);
    int xi = px0;
    for (int i = 0; i < n; ++i) {
        uint32_t c = row[xi];
        if (paint.monoPattern) {
            bool set = (c & 0xFFFFFF) != 0;  // 1 bits read back as white
            out[i] = set ? paint.bg : paint.fg;
            if (mask) mask[i] = !(set && paint.transparentBg);
        } else {
            out[i] = c & 0xFFFFFF;
            if (mask) mask[i] = 1;
        }
        if (++xi == pp.width) xi = 0;
    }
}

namespace {

// Paints one row segment of the target.
void PaintSpan(PixelStore& t, int y, int x0, int x1, const Paint& paint, std::vector<uint32_t>& buf,
               std::vector<uint32_t>& pat, std::vector<uint8_t>& mask) {
    int n = x1 - x0;
    if (n <= 0) return;
    uint32_t* row32 = t.Row32(y);
    if (paint.kind == Paint::SolidColor && paint.rop2 == R2_COPYPEN) {
        uint32_t c = t.bpp == 32 ? paint.color : t.Nearest(paint.color);
        if (row32) {
            std::fill(row32 + x0, row32 + x1, c);
            return;
        }
        buf.assign(size_t(n), c);
        t.WriteRow(y, x0, n, buf.data());
        return;
    }
    buf.resize(size_t(n));
    if (row32)
        std::memcpy(buf.data(), row32 + x0, size_t(n) * 4);
    else
        t.ReadRow(y, x0, n, buf.data());
    if (paint.kind == Paint::SolidColor) {
        uint32_t c = t.bpp == 1 ? t.Nearest(paint.color) : paint.color;
        Rop2Row(paint.rop2, buf.data(), c, n);
    } else {
        pat.resize(size_t(n));
        mask.resize(size_t(n));
        PatternRow(paint, y, x0, n, pat.data(), mask.data());
        for (int i = 0; i < n; ++i) {
            if (!mask[size_t(i)]) continue;
            uint32_t d = buf[size_t(i)];
            uint32_t c = t.bpp == 1 ? t.Nearest(pat[size_t(i)]) : pat[size_t(i)];
            Rop2Row(paint.rop2, &d, c, 1);
            buf[size_t(i)] = d;
        }
    }
    if (row32)
        std::memcpy(row32 + x0, buf.data(), size_t(n) * 4);
    else
        t.WriteRow(y, x0, n, buf.data());
}

}  // namespace

void FillRectT(Canvas& cv, RECT r, const Paint& paint) {
    if (!cv.ok || paint.kind == Paint::None) return;
    if (r.right <= r.left || r.bottom <= r.top) return;
    std::vector<uint32_t> buf, pat;
    std::vector<uint8_t> mask;
    for (const RECT& c : cv.clip->Rects()) {
        if (c.top >= r.bottom) break;
        if (c.bottom <= r.top || c.right <= r.left || c.left >= r.right) continue;
        int x0 = std::max(c.left, r.left), x1 = std::min(c.right, r.right);
        int y0 = std::max(c.top, r.top), y1 = std::min(c.bottom, r.bottom);
        for (int y = y0; y < y1; ++y) PaintSpan(cv.px, y, x0, x1, paint, buf, pat, mask);
    }
}

void FillRegion(Canvas& cv, const Region& area, const Paint& paint) {
    if (!cv.ok || paint.kind == Paint::None || area.Empty()) return;
    Region r = area;
    r.Intersect(*cv.clip);
    std::vector<uint32_t> buf, pat;
    std::vector<uint8_t> mask;
    for (const RECT& c : r.Rects())
        for (int y = c.top; y < c.bottom; ++y) PaintSpan(cv.px, y, c.left, c.right, paint, buf, pat, mask);
}

// ---- blits --------------------------------------------------------------------------------

namespace {

// A blit source: a view of the source pixels with the conversion the destination needs.
struct BlitSource {
    PixelStore px;
    bool monoToColor = false;  // monochrome device bitmap into colour: 0 -> fg, 1 -> bg
    bool colorToMono = false;  // colour into monochrome: background colour -> white
    uint32_t fg = 0, bg = 0, srcBk = 0;
    std::vector<uint32_t> copy;  // a private copy when source and destination share pixels

    void Convert(uint32_t* row, int n) const {
        if (monoToColor) {
            for (int i = 0; i < n; ++i) row[i] = (row[i] & 0xFFFFFF) ? bg : fg;
        } else if (colorToMono) {
            for (int i = 0; i < n; ++i) row[i] = ((row[i] & 0xFFFFFF) == srcBk) ? 0xFFFFFF : 0;
        }
    }
};

bool MakeSource(DC& src, DC& dst, const PixelStore& dstPx, BlitSource& out) {
    if (!src.Target(out.px)) return false;
    bool srcMono = out.px.bpp == 1, dstMono = dstPx.bpp == 1;
    bool srcDib = src.kind == DCKind::Memory && src.st.bitmapObj && src.st.bitmapObj->dib;
    if (srcMono && !dstMono && !srcDib) {
        out.monoToColor = true;
        out.fg = Px(dst.st.textColor);
        out.bg = Px(dst.st.bkColor);
    } else if (!srcMono && dstMono) {
        out.colorToMono = true;
        out.srcBk = Px(src.st.bkColor) & 0xFFFFFF;
    }
    return true;
}

// Copies the source's pixels when they are the destination's, so that overlapping blits
// read what was there before.
void DetachIfShared(BlitSource& s, const PixelStore& dst) {
    if (s.px.bits != dst.bits) return;
    s.copy.resize(size_t(s.px.stride) * size_t(s.px.height) / 4 + 1);
    std::memcpy(s.copy.data(), s.px.bits, size_t(s.px.stride) * size_t(s.px.height));
    s.px.bits = reinterpret_cast<uint8_t*>(s.copy.data());
}

// Fetches `n` converted source pixels for destination row `dy`, columns starting at `dx`.
using Fetch = std::function<void(int dy, int dx, int n, uint32_t* out)>;

struct RowOp {
    uint8_t rop = 0xCC;
    bool maskRop = false;  // MaskBlt: a second operation where the mask is 0
    uint8_t backRop = 0xAA;
    PixelStore mask;
    int maskDx = 0, maskDy = 0;  // mask pixel = dest pixel + offset
};

// Runs a raster operation over `r` (target coordinates) clipped by the canvas.
void RunBlit(Canvas& cv, RECT r, const Paint& pat, const Fetch* fetch, const RowOp& op) {
    bool usesPat = RopUsesPat(op.rop) || (op.maskRop && RopUsesPat(op.backRop));
    bool usesSrc = RopUsesSrc(op.rop) || (op.maskRop && RopUsesSrc(op.backRop));
    std::vector<uint32_t> d, s, p, d2, m;
    std::vector<uint8_t> pm;
    PixelStore& t = cv.px;
    bool mono = t.bpp == 1;
    for (const RECT& c : cv.clip->Rects()) {
        if (c.top >= r.bottom) break;
        if (c.bottom <= r.top || c.right <= r.left || c.left >= r.right) continue;
        int x0 = std::max(c.left, r.left), x1 = std::min(c.right, r.right);
        int y0 = std::max(c.top, r.top), y1 = std::min(c.bottom, r.bottom);
        int n = x1 - x0;
        d.resize(size_t(n));
        s.resize(size_t(n));
        p.resize(size_t(n));
        pm.resize(size_t(n));
        for (int y = y0; y < y1; ++y) {
            uint32_t* row32 = t.Row32(y);
            if (usesSrc && fetch) (*fetch)(y, x0, n, s.data());
            if (!op.maskRop && op.rop == 0xCC && row32) {
                // Plain copy straight into 32-bit pixels, alpha included.
                std::memcpy(row32 + x0, s.data(), size_t(n) * 4);
                continue;
            }
            if (usesPat) {
                if (pat.kind == Paint::None) {
                    std::fill(p.begin(), p.end(), 0u);
                } else {
                    PatternRow(pat, y, x0, n, p.data(), pm.data());
                    if (mono)
                        for (auto& v : p) v = t.Nearest(v);
                }
            }
            if (row32)
                std::memcpy(d.data(), row32 + x0, size_t(n) * 4);
            else
                t.ReadRow(y, x0, n, d.data());
            bool holes = usesPat && pat.transparentBg;
            if (holes) d2 = d;
            if (!op.maskRop) {
                Rop3Row(op.rop, d.data(), usesSrc ? s.data() : nullptr, usesPat ? p.data() : nullptr, n);
                // A hatch's background in transparent mode leaves the destination alone.
                if (holes)
                    for (int i = 0; i < n; ++i)
                        if (!pm[size_t(i)]) d[size_t(i)] = d2[size_t(i)];
            } else {
                d2 = d;
                Rop3Row(op.rop, d.data(), usesSrc ? s.data() : nullptr, usesPat ? p.data() : nullptr, n);
                Rop3Row(op.backRop, d2.data(), usesSrc ? s.data() : nullptr, usesPat ? p.data() : nullptr, n);
                m.resize(size_t(n));
                int my = y + op.maskDy;
                for (int i = 0; i < n; ++i) {
                    int mx = x0 + i + op.maskDx;
                    bool fore = false;
                    if (my >= 0 && my < op.mask.height && mx >= 0 && mx < op.mask.width)
                        fore = (op.mask.Get(mx, my) & 0xFFFFFF) != 0;
                    if (!fore) d[size_t(i)] = d2[size_t(i)];
                }
            }
            if (row32)
                std::memcpy(row32 + x0, d.data(), size_t(n) * 4);
            else
                t.WriteRow(y, x0, n, d.data());
        }
    }
}

RECT NormRect(int x, int y, int w, int h) {
    RECT r{x, y, x + w, y + h};
    if (r.right < r.left) std::swap(r.left, r.right);
    if (r.bottom < r.top) std::swap(r.top, r.bottom);
    return r;
}

// A stretch rectangle with a negative extent runs from its origin pixel backwards: origin x
// and width -w cover x-w+1 .. x, so "x + w - 1, -w" mirrors the box [x, x + w).
RECT MirrorRect(int x, int y, int w, int h) {
    RECT r{x, y, x + w, y + h};
    if (w < 0) r = RECT{x + w + 1, r.top, x + 1, r.bottom};
    if (h < 0) r = RECT{r.left, y + h + 1, r.right, y + 1};
    return r;
}

}  // namespace

bool PatBltT(Canvas& cv, RECT r, DWORD rop) {
    if (!cv.ok) return true;
    RowOp op;
    op.rop = uint8_t(rop >> 16);
    Paint pat = BrushPaint(*cv.dc, cv.dc->CurBrush(), cv.px.bpp);
    RunBlit(cv, r, pat, nullptr, op);
    return true;
}

// One blit with source, stretched or not, between logical rectangles.
static BOOL DoBltDC(const std::shared_ptr<DC>& dst, int x, int y, int w, int h, const std::shared_ptr<DC>& src,
                    int xs, int ys, int ws, int hs, DWORD rop, bool stretch, const RowOp* maskOp) {
    Guard g(GlobalLock());
    if (!dst) return FALSE;
    uint8_t r3 = uint8_t(rop >> 16);
    RowOp op = maskOp ? *maskOp : RowOp();
    op.rop = r3;
    bool needSrc = RopUsesSrc(r3) || (op.maskRop && RopUsesSrc(op.backRop));
    Canvas cv(dst);
    if (!needSrc) {
        if (!cv.ok) return TRUE;
        RECT r = NormRect(x + cv.ox(), y + cv.oy(), w, h);
        Paint pat = BrushPaint(*dst, dst->CurBrush(), cv.px.bpp);
        RunBlit(cv, r, pat, nullptr, op);
        return TRUE;
    }
    if (!src) return FALSE;
    if (!cv.ok) return TRUE;
    BlitSource bs;
    if (!MakeSource(*src, *dst, cv.px, bs)) return FALSE;
    DetachIfShared(bs, cv.px);
    int sox = xs + src->OffX(), soy = ys + src->OffY();
    Paint pat = BrushPaint(*dst, dst->CurBrush(), cv.px.bpp);
    if (!stretch || (ws == w && hs == h && w > 0 && h > 0)) {
        // Destination pixels whose source lies outside the source pixels stay untouched.
        RECT r{x + cv.ox(), y + cv.oy(), x + cv.ox() + w, y + cv.oy() + h};
        if (w < 0 || h < 0) return stretch ? FALSE : TRUE;
        int dxo = sox - r.left, dyo = soy - r.top;  // source = dest + offset
        r.left = std::max<LONG>(r.left, -dxo);
        r.top = std::max<LONG>(r.top, -dyo);
        r.right = std::min<LONG>(r.right, bs.px.width - dxo);
        r.bottom = std::min<LONG>(r.bottom, bs.px.height - dyo);
        if (r.right <= r.left || r.bottom <= r.top) return TRUE;
        Fetch f = [&](int dy, int dx, int n, uint32_t* out) {
            bs.px.ReadRow(dy + dyo, dx + dxo, n, out);
            bs.Convert(out, n);
        };
        RunBlit(cv, r, pat, &f, op);
        return TRUE;
    }
    if (w == 0 || h == 0 || ws == 0 || hs == 0) return FALSE;
    const long long kMaxExtent = 1 << 20;  // beyond any surface; refuse rather than allocate
    if (std::llabs(ws) > kMaxExtent || std::llabs(hs) > kMaxExtent || std::llabs(w) > kMaxExtent ||
        std::llabs(h) > kMaxExtent)
        return FALSE;
    // Mirroring: a negative extent on one side only flips the image.
    bool flipX = (w < 0) != (ws < 0), flipY = (h < 0) != (hs < 0);
    RECT dr = MirrorRect(x + cv.ox(), y + cv.oy(), w, h);
    RECT sr = MirrorRect(sox, soy, ws, hs);
    int dW = dr.right - dr.left, dH = dr.bottom - dr.top;
    int sW = sr.right - sr.left, sH = sr.bottom - sr.top;
    int mode = dst->st.stretchMode;
    // Source span of destination column/row i: [start, end) in source pixels.
    auto srcRange = [](int i, int dN, int sN, bool flip, int& a, int& b) {
        int k = flip ? dN - 1 - i : i;
        a = int((long long)k * sN / dN);
        b = int((long long)(k + 1) * sN / dN);
        if (b <= a) b = a + 1;
    };
    std::vector<uint32_t> srow, acc;
    std::vector<int> cnt;
    Fetch f = [&](int dy, int dx, int n, uint32_t* out) {
        int ya, yb;
        srcRange(dy - dr.top, dH, sH, flipY, ya, yb);
        bool shrinkCombine = mode != COLORONCOLOR && (sW > dW || sH > dH);
        if (!shrinkCombine) yb = ya + 1;
        srow.resize(size_t(sW));
        for (int i = 0; i < n; ++i) out[i] = mode == BLACKONWHITE ? 0xFFFFFFFF : 0;
        acc.assign(size_t(n) * 4, 0);
        cnt.assign(size_t(n), 0);
        for (int sy = ya; sy < yb; ++sy) {
            int yy = sr.top + sy;
            if (yy < 0 || yy >= bs.px.height) continue;
            // Read the source row clipped to the source pixels.
            int l = std::max<int>(sr.left, 0), rr = std::min<int>(sr.right, bs.px.width);
            if (rr <= l) continue;
            std::fill(srow.begin(), srow.end(), 0u);
            bs.px.ReadRow(yy, l, rr - l, srow.data() + (l - sr.left));
            bs.Convert(srow.data() + (l - sr.left), rr - l);
            for (int i = 0; i < n; ++i) {
                int xa, xb;
                srcRange(dx + i - dr.left, dW, sW, flipX, xa, xb);
                if (!shrinkCombine) xb = xa + 1;
                for (int sx = xa; sx < xb; ++sx) {
                    uint32_t v = srow[size_t(sx)];
                    if (!shrinkCombine || mode == COLORONCOLOR) {
                        out[i] = v;
                    } else if (mode == BLACKONWHITE) {
                        out[i] &= v;
                    } else if (mode == WHITEONBLACK) {
                        out[i] |= v;
                    } else {
                        acc[size_t(i) * 4 + 0] += (v >> 16) & 0xFF;
                        acc[size_t(i) * 4 + 1] += (v >> 8) & 0xFF;
                        acc[size_t(i) * 4 + 2] += v & 0xFF;
                        acc[size_t(i) * 4 + 3] += v >> 24;
                        cnt[size_t(i)]++;
                    }
                }
            }
        }
        if (shrinkCombine && mode == HALFTONE)
            for (int i = 0; i < n; ++i) {
                int c = std::max(1, cnt[size_t(i)]);
                auto avg = [&](int k) { return (acc[size_t(i) * 4 + size_t(k)] + uint32_t(c / 2)) / uint32_t(c); };
                out[i] = (avg(3) << 24) | (avg(0) << 16) | (avg(1) << 8) | avg(2);
            }
        else if (shrinkCombine && mode == BLACKONWHITE)
            for (int i = 0; i < n; ++i) out[i] &= 0xFFFFFF;
    };
    RunBlit(cv, dr, pat, &f, op);
    return TRUE;
}

static BOOL DoBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int xs, int ys, int ws, int hs, DWORD rop,
                  bool stretch, const RowOp* maskOp) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> dst = GetDC(hdst);
    std::shared_ptr<DC> src = hsrc ? GetDC(hsrc) : nullptr;
    if (!dst || (hsrc && !src)) return FALSE;
    return DoBltDC(dst, x, y, w, h, src, xs, ys, ws, hs, rop, stretch, maskOp);
}

BOOL BlitFrom(const std::shared_ptr<DC>& dst, int x, int y, int w, int h, const std::shared_ptr<DC>& src, int xs,
              int ys, int ws, int hs, DWORD rop, bool stretch) {
    return DoBltDC(dst, x, y, w, h, src, xs, ys, ws, hs, rop, stretch, nullptr);
}

}  // namespace plat::gdi

using namespace plat;
using namespace plat::gdi;

WINGDIAPI BOOL WINAPI BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int xs, int ys, DWORD rop) {
    return DoBlt(dst, x, y, w, h, src, xs, ys, w, h, rop, false, nullptr);
}

WINGDIAPI BOOL WINAPI StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int xs, int ys, int ws, int hs,
                                 DWORD rop) {
    return DoBlt(dst, x, y, w, h, src, xs, ys, ws, hs, rop, true, nullptr);
}

WINGDIAPI BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d) return FALSE;
    if (RopUsesSrc(uint8_t(rop >> 16))) return FALSE;
    Canvas cv(d);
    PatBltT(cv, NormRect(x + d->OffX(), y + d->OffY(), w, h), rop);
    return TRUE;
}

WINGDIAPI BOOL WINAPI MaskBlt(HDC dst, int x, int y, int w, int h, HDC src, int xs, int ys, HBITMAP mask, int xm,
                              int ym, DWORD rop4) {
    if (!mask) return BitBlt(dst, x, y, w, h, src, xs, ys, rop4 & 0xFFFFFF);
    Guard g(GlobalLock());
    std::shared_ptr<Bitmap> m = Bitmaps().Get(mask);
    std::shared_ptr<DC> d = GetDC(dst);
    if (!m || m->px.bpp != 1 || !d) return FALSE;
    RowOp op;
    op.maskRop = true;
    op.backRop = uint8_t(rop4 >> 24);
    op.mask = m->px;
    op.mask.own.clear();
    op.mask.bits = m->px.bits;
    // Mask pixel for destination target pixel (tx, ty) is (tx - (x + ox) + xm, ...).
    op.maskDx = xm - (x + d->OffX());
    op.maskDy = ym - (y + d->OffY());
    return DoBlt(dst, x, y, w, h, src, xs, ys, w, h, (rop4 & 0x00FF0000) | 0x20, false, &op);
}

WINGDIAPI HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int w, int h) {
    Guard g(GlobalLock());
    if (!DCs().Valid(hdc) || w < 0 || h < 0) return nullptr;
    // Screen depth whatever the DC holds: a fresh memory DC's 1x1 monochrome bitmap does not
    // make its compatible bitmaps monochrome.
    if (w == 0 || h == 0) return CreateBitmap(1, 1, 1, 1, nullptr);
    auto b = Bitmap::MakeDevice(w, h, 32);
    if (!b) return nullptr;
    return Bitmaps().Add<HBITMAP>(b);
}

// ---- pixels -------------------------------------------------------------------------------

WINGDIAPI COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d) return CLR_INVALID;
    Canvas cv(d);
    if (!cv.ok) return CLR_INVALID;
    int tx = x + cv.ox(), ty = y + cv.oy();
    if (!cv.clip->Contains(tx, ty)) return CLR_INVALID;
    uint32_t v = cv.px.Nearest(Px(color));
    cv.px.Set(tx, ty, v);
    return Cr(v);
}

WINGDIAPI BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color) {
    return SetPixel(hdc, x, y, color) != CLR_INVALID;
}

WINGDIAPI COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d) return CLR_INVALID;
    Canvas cv(d);
    if (!cv.ok) return CLR_INVALID;
    int tx = x + cv.ox(), ty = y + cv.oy();
    if (!cv.clip->Contains(tx, ty)) return CLR_INVALID;
    return Cr(cv.px.Get(tx, ty));
}

WINGDIAPI COLORREF WINAPI GetNearestColor(HDC hdc, COLORREF color) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d) return CLR_INVALID;
    PixelStore px;
    if (!d->Target(px)) return color & 0xFFFFFF;
    return Cr(px.Nearest(Px(color)));
}

// ---- transparency, alpha, gradients ---------------------------------------------------------

WINGDIAPI BOOL WINAPI TransparentBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int xs, int ys, int ws, int hs,
                                     UINT transparent) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> dst = GetDC(hdst), src = GetDC(hsrc);
    if (!dst || !src || w <= 0 || h <= 0 || ws <= 0 || hs <= 0) return FALSE;
    Canvas cv(dst);
    if (!cv.ok) return TRUE;
    PixelStore sp;
    if (!src->Target(sp)) return FALSE;
    int sx0 = xs + src->OffX(), sy0 = ys + src->OffY();
    if (sx0 < 0 || sy0 < 0 || sx0 + ws > sp.width || sy0 + hs > sp.height) return FALSE;
    std::vector<uint32_t> copy;
    if (sp.bits == cv.px.bits) {
        copy.resize(size_t(sp.stride) * size_t(sp.height) / 4 + 1);
        std::memcpy(copy.data(), sp.bits, size_t(sp.stride) * size_t(sp.height));
        sp.bits = reinterpret_cast<uint8_t*>(copy.data());
    }
    uint32_t key = Px(transparent);
    bool srcMono = sp.bpp == 1, dstMono = cv.px.bpp == 1;
    bool srcDib = src->kind == DCKind::Memory && src->st.bitmapObj && src->st.bitmapObj->dib;
    uint32_t fg = Px(dst->st.textColor), bg = Px(dst->st.bkColor);
    RECT dr{x + cv.ox(), y + cv.oy(), x + cv.ox() + w, y + cv.oy() + h};
    std::vector<uint32_t> srow(static_cast<size_t>(ws));
    for (const RECT& c : cv.clip->Rects()) {
        if (c.top >= dr.bottom) break;
        int x0 = std::max(c.left, dr.left), x1 = std::min(c.right, dr.right);
        int y0 = std::max(c.top, dr.top), y1 = std::min(c.bottom, dr.bottom);
        for (int ty = y0; ty < y1; ++ty) {
            int sy = sy0 + int((long long)(ty - dr.top) * hs / h);
            sp.ReadRow(sy, sx0, ws, srow.data());
            for (int tx = x0; tx < x1; ++tx) {
                uint32_t v = srow[size_t((long long)(tx - dr.left) * ws / w)] & 0xFFFFFF;
                if (v == key) continue;
                if (srcMono && !dstMono && !srcDib) v = v ? bg : fg;
                cv.px.Set(tx, ty, dstMono ? cv.px.Nearest(v) : v);
            }
        }
    }
    return TRUE;
}

WINGDIAPI BOOL WINAPI AlphaBlend(HDC hdst, int x, int y, int w, int h, HDC hsrc, int xs, int ys, int ws, int hs,
                                 BLENDFUNCTION bf) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> dst = GetDC(hdst), src = GetDC(hsrc);
    if (!dst || !src || bf.BlendOp != AC_SRC_OVER) return FALSE;
    if (w < 0 || h < 0 || ws < 0 || hs < 0) return FALSE;
    PixelStore sp;
    if (!src->Target(sp)) return FALSE;
    int sx0 = xs + src->OffX(), sy0 = ys + src->OffY();
    if (sx0 < 0 || sy0 < 0 || sx0 + ws > sp.width || sy0 + hs > sp.height) return FALSE;
    if (w == 0 || h == 0 || ws == 0 || hs == 0) return TRUE;
    Canvas cv(dst);
    if (!cv.ok) return TRUE;
    std::vector<uint32_t> copy;
    if (sp.bits == cv.px.bits) {
        copy.resize(size_t(sp.stride) * size_t(sp.height) / 4 + 1);
        std::memcpy(copy.data(), sp.bits, size_t(sp.stride) * size_t(sp.height));
        sp.bits = reinterpret_cast<uint8_t*>(copy.data());
    }
    const uint32_t sca = bf.SourceConstantAlpha;
    const bool perPixel = (bf.AlphaFormat & AC_SRC_ALPHA) && sp.bpp == 32;
    RECT dr{x + cv.ox(), y + cv.oy(), x + cv.ox() + w, y + cv.oy() + h};
    std::vector<uint32_t> srow(static_cast<size_t>(ws)), drow;
    auto div255 = [](uint32_t v) { return (v + 127) / 255; };
    for (const RECT& c : cv.clip->Rects()) {
        if (c.top >= dr.bottom) break;
        int x0 = std::max(c.left, dr.left), x1 = std::min(c.right, dr.right);
        int y0 = std::max(c.top, dr.top), y1 = std::min(c.bottom, dr.bottom);
        if (x1 <= x0) continue;
        drow.resize(size_t(x1 - x0));
        for (int ty = y0; ty < y1; ++ty) {
            int sy = sy0 + int((long long)(ty - dr.top) * hs / h);
            sp.ReadRow(sy, sx0, ws, srow.data());
            cv.px.ReadRow(ty, x0, x1 - x0, drow.data());
            for (int tx = x0; tx < x1; ++tx) {
                uint32_t s = srow[size_t((long long)(tx - dr.left) * ws / w)];
                uint32_t& dpx = drow[size_t(tx - x0)];
                uint32_t sa = perPixel ? (s >> 24) : 255;
                // Source channels scaled by the constant alpha; with per-pixel alpha they are
                // already premultiplied by their own alpha.
                uint32_t a = div255(sa * sca);
                uint32_t out = 0;
                for (int sh = 0; sh <= 24; sh += 8) {
                    uint32_t sc = sh == 24 ? sa : (s >> sh) & 0xFF;
                    uint32_t dc = (dpx >> sh) & 0xFF;
                    uint32_t v = perPixel ? div255(sc * sca) + div255(dc * (255 - a))
                                          : div255(sc * sca) + div255(dc * (255 - sca));
                    out |= std::min<uint32_t>(v, 255) << sh;
                }
                dpx = out;
            }
            cv.px.WriteRow(ty, x0, x1 - x0, drow.data());
        }
    }
    return TRUE;
}

WINGDIAPI BOOL WINAPI GradientFill(HDC hdc, PTRIVERTEX v, ULONG nv, PVOID mesh, ULONG nm, ULONG mode) {
    Guard g(GlobalLock());
    std::shared_ptr<DC> d = GetDC(hdc);
    if (!d || !v || !mesh) return FALSE;
    if (mode > GRADIENT_FILL_TRIANGLE) return FALSE;
    Canvas cv(d);
    if (!cv.ok) return TRUE;
    int ox = cv.ox(), oy = cv.oy();
    auto pack = [](double r, double gg, double b, double a) {
        auto c = [](double x) { return uint32_t(std::max(0.0, std::min(255.0, x / 256.0))); };
        return (c(a) << 24) | (c(r) << 16) | (c(gg) << 8) | c(b);
    };
    std::vector<uint32_t> row;
    if (mode != GRADIENT_FILL_TRIANGLE) {
        const GRADIENT_RECT* gr = static_cast<const GRADIENT_RECT*>(mesh);
        for (ULONG i = 0; i < nm; ++i) {
            if (gr[i].UpperLeft >= nv || gr[i].LowerRight >= nv) return FALSE;
            TRIVERTEX a = v[gr[i].UpperLeft], b = v[gr[i].LowerRight];
            if (a.x > b.x) std::swap(a.x, b.x);
            if (a.y > b.y) std::swap(a.y, b.y);
            RECT r{a.x + ox, a.y + oy, b.x + ox, b.y + oy};
            bool horiz = mode == GRADIENT_FILL_RECT_H;
            int len = horiz ? r.right - r.left : r.bottom - r.top;
            if (len <= 0 || r.right <= r.left || r.bottom <= r.top) continue;
            auto colorAt = [&](int k) {
                double t = len > 1 ? double(k) / double(len) : 0.0;
                return pack(a.Red + (double(b.Red) - a.Red) * t, a.Green + (double(b.Green) - a.Green) * t,
                            a.Blue + (double(b.Blue) - a.Blue) * t, a.Alpha + (double(b.Alpha) - a.Alpha) * t);
            };
            for (const RECT& c : cv.clip->Rects()) {
                int x0 = std::max(c.left, r.left), x1 = std::min(c.right, r.right);
                int y0 = std::max(c.top, r.top), y1 = std::min(c.bottom, r.bottom);
                if (x1 <= x0 || y1 <= y0) continue;
                row.resize(size_t(x1 - x0));
                for (int y = y0; y < y1; ++y) {
                    for (int x = x0; x < x1; ++x) row[size_t(x - x0)] = colorAt(horiz ? x - r.left : y - r.top);
                    if (cv.px.bpp == 1)
                        for (auto& p : row) p = cv.px.Nearest(p);
                    cv.px.WriteRow(y, x0, x1 - x0, row.data());
                }
            }
        }
        return TRUE;
    }
    const GRADIENT_TRIANGLE* tr = static_cast<const GRADIENT_TRIANGLE*>(mesh);
    for (ULONG i = 0; i < nm; ++i) {
        if (tr[i].Vertex1 >= nv || tr[i].Vertex2 >= nv || tr[i].Vertex3 >= nv) return FALSE;
        const TRIVERTEX& A = v[tr[i].Vertex1];
        const TRIVERTEX& B = v[tr[i].Vertex2];
        const TRIVERTEX& C = v[tr[i].Vertex3];
        double area = double(B.x - A.x) * (C.y - A.y) - double(C.x - A.x) * (B.y - A.y);
        if (area == 0) continue;
        POINT pts[3] = {{A.x + ox, A.y + oy}, {B.x + ox, B.y + oy}, {C.x + ox, C.y + oy}};
        const POINT* polys[1] = {pts};
        int n3 = 3;
        RECT lim = cv.clip->Bounds();
        Region shape = PolygonRegion(polys, &n3, 1, ALTERNATE, &lim);
        shape.Intersect(*cv.clip);
        for (const RECT& rc : shape.Rects()) {
            row.resize(size_t(rc.right - rc.left));
            for (int y = rc.top; y < rc.bottom; ++y) {
                for (int x = rc.left; x < rc.right; ++x) {
                    double px = x - ox + 0.5, py = y - oy + 0.5;
                    double wa = (double(B.x - px) * (C.y - py) - double(C.x - px) * (B.y - py)) / area;
                    double wb = (double(C.x - px) * (A.y - py) - double(A.x - px) * (C.y - py)) / area;
                    double wc = 1.0 - wa - wb;
                    row[size_t(x - rc.left)] = pack(wa * A.Red + wb * B.Red + wc * C.Red,
                                                    wa * A.Green + wb * B.Green + wc * C.Green,
                                                    wa * A.Blue + wb * B.Blue + wc * C.Blue,
                                                    wa * A.Alpha + wb * B.Alpha + wc * C.Alpha);
                }
                if (cv.px.bpp == 1)
                    for (auto& p : row) p = cv.px.Nearest(p);
                cv.px.WriteRow(y, rc.left, rc.right - rc.left, row.data());
            }
        }
    }
    return TRUE;
}
