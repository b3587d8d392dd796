// Drawing objects: pixel formats, bitmaps, brushes, pens, palettes, stock objects and the
// object-generic entry points (DeleteObject, GetObject, GetStockObject).
#include "gdi/objects.h"

#include <algorithm>
#include <cstring>

#include "gdi/dc.h"

namespace plat::gdi {

HandleTable<Bitmap>& Bitmaps() {
    static HandleTable<Bitmap> t(HandleKind::Bitmap);
    return t;
}
HandleTable<Brush>& Brushes() {
    static HandleTable<Brush> t(HandleKind::Brush);
    return t;
}
HandleTable<Pen>& Pens() {
    static HandleTable<Pen> t(HandleKind::Pen);
    return t;
}
HandleTable<Font>& Fonts() {
    static HandleTable<Font> t(HandleKind::Font);
    return t;
}
HandleTable<RegionObj>& Regions() {
    static HandleTable<RegionObj> t(HandleKind::Region);
    return t;
}
HandleTable<Palette>& Palettes() {
    static HandleTable<Palette> t(HandleKind::Palette);
    return t;
}

std::shared_ptr<GdiObject> AnyObject(HGDIOBJ h) {
    switch (KindOfHandle(h)) {
        case HandleKind::Bitmap: return Bitmaps().Get(h);
        case HandleKind::Brush: return Brushes().Get(h);
        case HandleKind::Pen: return Pens().Get(h);
        case HandleKind::Font: return Fonts().Get(h);
        case HandleKind::Region: return Regions().Get(h);
        case HandleKind::Palette: return Palettes().Get(h);
        default: return nullptr;
    }
}

void KeepForever(HGDIOBJ h) {
    if (auto o = AnyObject(h)) o->stock = true;
}

// ---- pixel formats ------------------------------------------------------------------------

namespace {

int MaskShift(uint32_t m) {
    if (!m) return 0;
    int s = 0;
    while (!(m & 1)) {
        m >>= 1;
        ++s;
    }
    return s;
}
int MaskBits(uint32_t m) {
    int n = 0;
    for (m >>= MaskShift(m); m & 1; m >>= 1) ++n;
    return n;
}
// Expands a field of `bits` bits to 8 bits by replicating its high bits, so that converting
// back drops exactly what was added.
inline uint32_t Expand(uint32_t v, int bits) {
    if (bits >= 8) return v >> (bits - 8);
    if (bits <= 0) return 0;
    uint32_t out = v << (8 - bits);
    for (int have = bits; have < 8; have += bits) out |= out >> bits;
    return out & 0xFF;
}
inline uint32_t Narrow(uint32_t v8, int bits) {
    if (bits >= 8) return v8 << (bits - 8);
    return v8 >> (8 - bits);
}

inline uint32_t FromFields(uint32_t v, const uint32_t* masks) {
    uint32_t r = Expand((v & masks[0]) >> MaskShift(masks[0]), MaskBits(masks[0]));
    uint32_t g = Expand((v & masks[1]) >> MaskShift(masks[1]), MaskBits(masks[1]));
    uint32_t b = Expand((v & masks[2]) >> MaskShift(masks[2]), MaskBits(masks[2]));
    return (r << 16) | (g << 8) | b;
}
inline uint32_t ToFields(uint32_t px, const uint32_t* masks) {
    uint32_t r = Narrow((px >> 16) & 0xFF, MaskBits(masks[0])) << MaskShift(masks[0]);
    uint32_t g = Narrow((px >> 8) & 0xFF, MaskBits(masks[1])) << MaskShift(masks[1]);
    uint32_t b = Narrow(px & 0xFF, MaskBits(masks[2])) << MaskShift(masks[2]);
    return (r & masks[0]) | (g & masks[1]) | (b & masks[2]);
}

}  // namespace

int PixelStore::PaletteIndex(uint32_t px) const {
    px &= 0xFFFFFF;
    int best = 0;
    long bestD = -1;
    for (size_t i = 0; i < palette.size(); ++i) {
        uint32_t c = palette[i] & 0xFFFFFF;
        if (c == px) return int(i);
        long dr = long((c >> 16) & 0xFF) - long((px >> 16) & 0xFF);
        long dg = long((c >> 8) & 0xFF) - long((px >> 8) & 0xFF);
        long db = long(c & 0xFF) - long(px & 0xFF);
        long d = dr * dr + dg * dg + db * db;
        if (bestD < 0 || d < bestD) {
            bestD = d;
            best = int(i);
        }
    }
    return best;
}

uint32_t PixelStore::Nearest(uint32_t px) const {
    if (bpp <= 8) return palette.empty() ? 0 : palette[size_t(PaletteIndex(px))] & 0xFFFFFF;
    uint32_t v;
    uint32_t out;
    switch (bpp) {
        case 16:
        case 32:
            if (bpp == 32 && !bitfields) return px;
            v = ToFields(px, masks);
            return FromFields(v, masks);
        default: out = px & 0xFFFFFF; return out;
    }
}

void PixelStore::ReadRow(int y, int x0, int n, uint32_t* out) const {
    const uint8_t* row = RowBytes(y);
    switch (bpp) {
        case 32:
            if (!bitfields) {
                std::memcpy(out, row + size_t(x0) * 4, size_t(n) * 4);
            } else {
                const uint32_t* p = reinterpret_cast<const uint32_t*>(row) + x0;
                for (int i = 0; i < n; ++i) out[i] = FromFields(p[i], masks);
            }
            break;
        case 24:
            for (int i = 0; i < n; ++i) {
                const uint8_t* p = row + size_t(x0 + i) * 3;
                out[i] = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
            }
            break;
        case 16:
            for (int i = 0; i < n; ++i) {
                const uint8_t* p = row + size_t(x0 + i) * 2;
                out[i] = FromFields(uint32_t(p[0]) | (uint32_t(p[1]) << 8), masks);
            }
            break;
        case 8:
            for (int i = 0; i < n; ++i) {
                size_t idx = row[x0 + i];
                out[i] = idx < palette.size() ? palette[idx] : 0;
            }
            break;
        case 4:
            for (int i = 0; i < n; ++i) {
                int x = x0 + i;
                size_t idx = (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
                out[i] = idx < palette.size() ? palette[idx] : 0;
            }
            break;
        case 1:
            for (int i = 0; i < n; ++i) {
                int x = x0 + i;
                size_t idx = (row[x >> 3] >> (7 - (x & 7))) & 1;
                out[i] = idx < palette.size() ? palette[idx] : 0;
            }
            break;
        default: std::fill(out, out + n, 0u);
    }
}

void PixelStore::WriteRow(int y, int x0, int n, const uint32_t* in) {
    uint8_t* row = RowBytes(y);
    switch (bpp) {
        case 32:
            if (!bitfields) {
                std::memcpy(row + size_t(x0) * 4, in, size_t(n) * 4);
            } else {
                uint32_t* p = reinterpret_cast<uint32_t*>(row) + x0;
                for (int i = 0; i < n; ++i) p[i] = ToFields(in[i], masks);
            }
            break;
        case 24:
            for (int i = 0; i < n; ++i) {
                uint8_t* p = row + size_t(x0 + i) * 3;
                p[0] = uint8_t(in[i]);
                p[1] = uint8_t(in[i] >> 8);
                p[2] = uint8_t(in[i] >> 16);
            }
            break;
        case 16:
            for (int i = 0; i < n; ++i) {
                uint32_t v = ToFields(in[i], masks);
                uint8_t* p = row + size_t(x0 + i) * 2;
                p[0] = uint8_t(v);
                p[1] = uint8_t(v >> 8);
            }
            break;
        case 8:
        case 4:
        case 1: {
            uint32_t lastPx = 0xFFFFFFFF;
            int lastIdx = 0;
            for (int i = 0; i < n; ++i) {
                uint32_t c = in[i] & 0xFFFFFF;
                if (c != lastPx) {
                    lastPx = c;
                    lastIdx = PaletteIndex(c);
                }
                int x = x0 + i;
                if (bpp == 8) {
                    row[x] = uint8_t(lastIdx);
                } else if (bpp == 4) {
                    uint8_t& b = row[x >> 1];
                    b = (x & 1) ? uint8_t((b & 0xF0) | (lastIdx & 0xF)) : uint8_t((b & 0x0F) | ((lastIdx & 0xF) << 4));
                } else {
                    uint8_t bit = uint8_t(0x80 >> (x & 7));
                    if (lastIdx & 1)
                        row[x >> 3] |= bit;
                    else
                        row[x >> 3] &= uint8_t(~bit);
                }
            }
            break;
        }
        default: break;
    }
}

// ---- bitmaps ------------------------------------------------------------------------------

namespace {
constexpr long long kMaxPixels = 1LL << 28;  // refuse absurd sizes instead of exhausting memory
}

std::shared_ptr<Bitmap> Bitmap::MakeDevice(int w, int h, int bpp) {
    if (w <= 0 || h <= 0 || (long long)w * h > kMaxPixels) return nullptr;
    auto b = std::make_shared<Bitmap>();
    PixelStore& p = b->px;
    p.width = w;
    p.height = h;
    if (bpp == 1) {
        p.bpp = 1;
        p.stride = PixelStore::StrideFor(w, 1);
        p.own.assign(size_t(p.stride) * size_t(h), 0);
        p.bits = p.own.data();
        p.palette = {0x000000, 0xFFFFFF};
    } else {
        p.bpp = 32;
        p.stride = w * 4;
        p.surface = std::make_shared<Surface>(w, h, 0);
        p.bits = reinterpret_cast<uint8_t*>(p.surface->pixels.data());
    }
    return b;
}

std::shared_ptr<Bitmap> Bitmap::MakeDib(const BITMAPINFO* bmi, UINT usage, std::string* err) {
    if (!bmi) return nullptr;
    const BITMAPINFOHEADER& h = bmi->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER)) return nullptr;
    int bpp = h.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return nullptr;
    if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32)))
        return nullptr;
    long long w = h.biWidth, ht = h.biHeight < 0 ? -(long long)h.biHeight : h.biHeight;
    if (w <= 0 || ht <= 0 || w * ht > kMaxPixels) return nullptr;
    (void)err;
    auto b = std::make_shared<Bitmap>();
    b->dib = true;
    b->dibHeader = h;
    b->dibHeader.biSize = sizeof(BITMAPINFOHEADER);
    PixelStore& p = b->px;
    p.width = int(w);
    p.height = int(ht);
    p.bpp = bpp;
    p.bottomUp = h.biHeight > 0;
    p.stride = PixelStore::StrideFor(p.width, bpp);
    b->dibHeader.biSizeImage = DWORD(p.stride) * DWORD(p.height);
    p.own.assign(size_t(p.stride) * size_t(p.height), 0);
    p.bits = p.own.data();
    const uint8_t* after = reinterpret_cast<const uint8_t*>(bmi) + h.biSize;
    if (bpp <= 8) {
        size_t n = h.biClrUsed ? std::min<size_t>(h.biClrUsed, size_t(1) << bpp) : size_t(1) << bpp;
        p.palette.resize(size_t(1) << bpp, 0);
        for (size_t i = 0; i < n; ++i) {
            if (usage == DIB_PAL_COLORS) {
                // Indices into the (true-colour) system palette: a grey ramp stands in.
                WORD idx;
                std::memcpy(&idx, after + i * 2, 2);
                uint32_t g = idx & 0xFF;
                p.palette[i] = (g << 16) | (g << 8) | g;
            } else {
                RGBQUAD q;
                std::memcpy(&q, after + i * 4, 4);
                p.palette[i] = (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
            }
        }
        p.palette.resize(n);
        b->dibHeader.biClrUsed = DWORD(n);
    } else if (bpp == 16 || bpp == 32) {
        if (h.biCompression == BI_BITFIELDS) {
            std::memcpy(p.masks, after, 12);
            p.bitfields = !(bpp == 32 && p.masks[0] == 0xFF0000 && p.masks[1] == 0xFF00 && p.masks[2] == 0xFF);
            if (!p.masks[0] || !p.masks[1] || !p.masks[2]) return nullptr;
        } else if (bpp == 16) {
            p.masks[0] = 0x7C00;
            p.masks[1] = 0x03E0;
            p.masks[2] = 0x001F;
        } else {
            p.masks[0] = 0xFF0000;
            p.masks[1] = 0xFF00;
            p.masks[2] = 0xFF;
        }
    }
    return b;
}

// ---- stock objects ------------------------------------------------------------------------

namespace {

struct StockSet {
    HGDIOBJ objs[20] = {};
    HBITMAP defaultBitmap = nullptr;
};

HFONT MakeStockFont(const char* face, int height, int weight, int pitch) {
    auto f = std::make_shared<Font>();
    f->stock = true;
    f->lf.lfHeight = height;
    f->lf.lfWeight = weight;
    f->lf.lfCharSet = ANSI_CHARSET;
    f->lf.lfPitchAndFamily = BYTE(pitch);
    std::strncpy(f->lf.lfFaceName, face, LF_FACESIZE - 1);
    return Fonts().Add<HFONT>(f);
}

StockSet& Stocks() {
    static StockSet* s = [] {
        auto* set = new StockSet;
        auto brush = [](COLORREF c, UINT style) {
            auto b = std::make_shared<Brush>();
            b->stock = true;
            b->style = style;
            b->color = c;
            return HGDIOBJ(Brushes().Add<HBRUSH>(b));
        };
        auto pen = [](COLORREF c, UINT style) {
            auto p = std::make_shared<Pen>();
            p->stock = true;
            p->style = style;
            p->color = c;
            return HGDIOBJ(Pens().Add<HPEN>(p));
        };
        set->objs[WHITE_BRUSH] = brush(0xFFFFFF, BS_SOLID);
        set->objs[LTGRAY_BRUSH] = brush(0xC0C0C0, BS_SOLID);
        set->objs[GRAY_BRUSH] = brush(0x808080, BS_SOLID);
        set->objs[DKGRAY_BRUSH] = brush(0x404040, BS_SOLID);
        set->objs[BLACK_BRUSH] = brush(0x000000, BS_SOLID);
        set->objs[NULL_BRUSH] = brush(0, BS_NULL);
        set->objs[WHITE_PEN] = pen(0xFFFFFF, PS_SOLID);
        set->objs[BLACK_PEN] = pen(0x000000, PS_SOLID);
        set->objs[NULL_PEN] = pen(0, PS_NULL);
        set->objs[OEM_FIXED_FONT] = MakeStockFont("Courier New", 12, FW_NORMAL, FIXED_PITCH | FF_MODERN);
        set->objs[ANSI_FIXED_FONT] = MakeStockFont("Courier New", 12, FW_NORMAL, FIXED_PITCH | FF_MODERN);
        set->objs[ANSI_VAR_FONT] = MakeStockFont("MS Sans Serif", 13, FW_NORMAL, VARIABLE_PITCH | FF_SWISS);
        set->objs[SYSTEM_FONT] = MakeStockFont("System", 16, FW_BOLD, VARIABLE_PITCH | FF_SWISS);
        set->objs[DEVICE_DEFAULT_FONT] = MakeStockFont("System", 16, FW_BOLD, VARIABLE_PITCH | FF_SWISS);
        set->objs[SYSTEM_FIXED_FONT] = MakeStockFont("Courier New", 16, FW_NORMAL, FIXED_PITCH | FF_MODERN);
        set->objs[DEFAULT_GUI_FONT] = MakeStockFont("MS Shell Dlg", -11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS);
        {
            auto p = std::make_shared<Palette>();
            p->stock = true;
            const uint32_t sys[20] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080,
                                      0xC0C0C0, 0xC0DCC0, 0xA6CAF0, 0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000,
                                      0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
            for (uint32_t c : sys) p->entries.push_back({BYTE(c >> 16), BYTE(c >> 8), BYTE(c), 0});
            set->objs[DEFAULT_PALETTE] = Palettes().Add<HPALETTE>(p);
        }
        {
            auto b = std::make_shared<Brush>();
            b->stock = true;
            b->dcBrush = true;
            set->objs[DC_BRUSH] = Brushes().Add<HBRUSH>(b);
            auto p = std::make_shared<Pen>();
            p->stock = true;
            p->dcPen = true;
            set->objs[DC_PEN] = Pens().Add<HPEN>(p);
        }
        auto bm = Bitmap::MakeDevice(1, 1, 1);
        bm->stock = true;
        set->defaultBitmap = Bitmaps().Add<HBITMAP>(bm);
        return set;
    }();
    return *s;
}

}  // namespace

HGDIOBJ Stock(int index) {
    if (index < 0 || index > DC_PEN) return nullptr;
    Guard g(GlobalLock());
    return Stocks().objs[index];
}
HFONT DefaultGuiFont() { return HFONT(Stock(DEFAULT_GUI_FONT)); }
HBITMAP DefaultBitmap() {
    Guard g(GlobalLock());
    return Stocks().defaultBitmap;
}

}  // namespace plat::gdi

using namespace plat;
using namespace plat::gdi;

// ---- C entry points -------------------------------------------------------------------------

WINGDIAPI HGDIOBJ WINAPI GetStockObject(int index) { return Stock(index); }

WINGDIAPI DWORD WINAPI GetObjectType(HGDIOBJ h) {
    Guard g(GlobalLock());
    switch (KindOfHandle(h)) {
        case HandleKind::Bitmap: return Bitmaps().Valid(h) ? OBJ_BITMAP : 0;
        case HandleKind::Brush: return Brushes().Valid(h) ? OBJ_BRUSH : 0;
        case HandleKind::Pen: {
            Pen* p = Pens().GetRaw(h);
            return p ? (p->ext ? OBJ_EXTPEN : OBJ_PEN) : 0;
        }
        case HandleKind::Font: return Fonts().Valid(h) ? OBJ_FONT : 0;
        case HandleKind::Region: return Regions().Valid(h) ? OBJ_REGION : 0;
        case HandleKind::Palette: return Palettes().Valid(h) ? OBJ_PAL : 0;
        case HandleKind::DC: {
            DC* d = DCs().GetRaw(h);
            return d ? (d->kind == DCKind::Memory ? OBJ_MEMDC : OBJ_DC) : 0;
        }
        default: return 0;
    }
}

WINGDIAPI BOOL WINAPI DeleteObject(HGDIOBJ h) {
    Guard g(GlobalLock());
    std::shared_ptr<GdiObject> o = AnyObject(h);
    if (!o) return FALSE;
    if (o->stock) return TRUE;        // stock objects outlive every program
    if (o->selectedIn > 0) return FALSE;  // still selected into a DC
    switch (KindOfHandle(h)) {
        case HandleKind::Bitmap: Bitmaps().Remove(h); break;
        case HandleKind::Brush: Brushes().Remove(h); break;
        case HandleKind::Pen: Pens().Remove(h); break;
        case HandleKind::Font: Fonts().Remove(h); break;
        case HandleKind::Region: Regions().Remove(h); break;
        case HandleKind::Palette: Palettes().Remove(h); break;
        default: return FALSE;
    }
    return TRUE;
}

namespace {

int CopyOut(const void* src, int srcSize, int size, void* out) {
    if (!out) return srcSize;
    int n = std::min(size, srcSize);
    if (n <= 0) return 0;
    std::memcpy(out, src, size_t(n));
    return n;
}

}  // namespace

WINGDIAPI int WINAPI GetObjectA(HANDLE h, int size, LPVOID out) {
    Guard g(GlobalLock());
    switch (KindOfHandle(h)) {
        case HandleKind::Bitmap: {
            Bitmap* b = Bitmaps().GetRaw(h);
            if (!b) return 0;
            BITMAP bm{};
            bm.bmType = 0;
            bm.bmWidth = b->px.width;
            bm.bmHeight = b->px.height;
            bm.bmWidthBytes = b->dib ? b->px.stride : ((b->px.width * b->px.bpp + 15) / 16) * 2;
            bm.bmPlanes = 1;
            bm.bmBitsPixel = WORD(b->px.bpp);
            bm.bmBits = b->dib ? b->px.bits : nullptr;
            if (b->dib && (size >= int(sizeof(DIBSECTION)) || !out)) {
                DIBSECTION ds{};
                ds.dsBm = bm;
                ds.dsBmih = b->dibHeader;
                ds.dsBmih.biHeight = b->px.bottomUp ? b->px.height : -b->px.height;
                if (b->px.bpp == 16 || b->px.bpp == 32) std::memcpy(ds.dsBitfields, b->px.masks, 12);
                if (!out) return int(sizeof(DIBSECTION));
                return CopyOut(&ds, sizeof(ds), size, out);
            }
            return CopyOut(&bm, sizeof(bm), size, out);
        }
        case HandleKind::Brush: {
            Brush* b = Brushes().GetRaw(h);
            if (!b) return 0;
            LOGBRUSH lb{b->style, b->color, b->style == BS_HATCHED ? ULONG_PTR(b->hatch) : b->lbHatch};
            return CopyOut(&lb, sizeof(lb), size, out);
        }
        case HandleKind::Pen: {
            Pen* p = Pens().GetRaw(h);
            if (!p) return 0;
            if (p->ext) {
                size_t n = p->user.size();
                size_t total = offsetof(EXTLOGPEN, elpStyleEntry) + std::max<size_t>(1, n) * sizeof(DWORD);
                std::vector<uint8_t> buf(total, 0);
                EXTLOGPEN* e = reinterpret_cast<EXTLOGPEN*>(buf.data());
                e->elpPenStyle = p->style;
                e->elpWidth = DWORD(p->width);
                e->elpBrushStyle = BS_SOLID;
                e->elpColor = p->color;
                e->elpNumEntries = DWORD(n);
                for (size_t i = 0; i < n; ++i) e->elpStyleEntry[i] = p->user[i];
                return CopyOut(buf.data(), int(total), size, out);
            }
            LOGPEN lp{p->style, {p->width, 0}, p->color};
            return CopyOut(&lp, sizeof(lp), size, out);
        }
        case HandleKind::Font: {
            Font* f = Fonts().GetRaw(h);
            if (!f) return 0;
            return CopyOut(&f->lf, sizeof(LOGFONTA), size, out);
        }
        case HandleKind::Palette: {
            Palette* p = Palettes().GetRaw(h);
            if (!p) return 0;
            WORD n = WORD(p->entries.size());
            return CopyOut(&n, sizeof(n), size, out);
        }
        default: return 0;
    }
}

// ---- bitmaps ------------------------------------------------------------------------------

namespace {

// Copies packed source rows (`srcBpp`, word-aligned as device bitmaps are) into a bitmap.
void LoadDeviceBits(Bitmap& b, const void* bits, int srcBpp, int srcStride) {
    const uint8_t* src = static_cast<const uint8_t*>(bits);
    std::vector<uint32_t> row(size_t(b.px.width));
    PixelStore in;
    in.width = b.px.width;
    in.height = b.px.height;
    in.bpp = srcBpp;
    in.stride = srcStride;
    in.bits = const_cast<uint8_t*>(src);
    in.palette = {0x000000, 0xFFFFFF};
    in.masks[0] = 0xF800;
    in.masks[1] = 0x07E0;
    in.masks[2] = 0x001F;
    for (int y = 0; y < b.px.height; ++y) {
        in.ReadRow(y, 0, b.px.width, row.data());
        b.px.WriteRow(y, 0, b.px.width, row.data());
    }
}

}  // namespace

WINGDIAPI HBITMAP WINAPI CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits) {
    if (width < 0 || height < 0 || planes != 1) return nullptr;
    if (width == 0 || height == 0) {
        width = 1;
        height = 1;
        bitCount = 1;
        bits = nullptr;
    }
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return nullptr;
    auto b = Bitmap::MakeDevice(width, height, bitCount == 1 ? 1 : 32);
    if (!b) return nullptr;
    if (bits) {
        if (bitCount == 1 || bitCount == 16 || bitCount == 24 || bitCount == 32) {
            // Device bitmap rows are padded to 16 bits.
            int stride = ((width * int(bitCount) + 15) / 16) * 2;
            LoadDeviceBits(*b, bits, int(bitCount), stride);
        }
    }
    return Bitmaps().Add<HBITMAP>(b);
}

WINGDIAPI HBITMAP WINAPI CreateBitmapIndirect(const BITMAP* bm) {
    if (!bm) return nullptr;
    return CreateBitmap(bm->bmWidth, bm->bmHeight, bm->bmPlanes, bm->bmBitsPixel, bm->bmBits);
}

WINGDIAPI LONG WINAPI GetBitmapBits(HBITMAP h, LONG size, LPVOID bits) {
    std::shared_ptr<Bitmap> b = Bitmaps().Get(h);
    if (!b || size < 0) return 0;
    Guard g(GlobalLock());
    int bpp = b->px.bpp == 1 ? 1 : 32;
    int stride = ((b->px.width * bpp + 15) / 16) * 2;
    LONG total = LONG(stride) * b->px.height;
    if (!bits) return total;
    PixelStore out;
    out.width = b->px.width;
    out.height = b->px.height;
    out.bpp = bpp;
    out.stride = stride;
    std::vector<uint8_t> buf(size_t(total), 0);
    out.bits = buf.data();
    out.palette = {0x000000, 0xFFFFFF};
    std::vector<uint32_t> row(size_t(b->px.width));
    for (int y = 0; y < b->px.height; ++y) {
        b->px.ReadRow(y, 0, b->px.width, row.data());
        out.WriteRow(y, 0, b->px.width, row.data());
    }
    LONG n = std::min(size, total);
    std::memcpy(bits, buf.data(), size_t(n));
    return n;
}

WINGDIAPI LONG WINAPI SetBitmapBits(HBITMAP h, DWORD size, const void* bits) {
    std::shared_ptr<Bitmap> b = Bitmaps().Get(h);
    if (!b || !bits) return 0;
    Guard g(GlobalLock());
    int bpp = b->px.bpp == 1 ? 1 : 32;
    int stride = ((b->px.width * bpp + 15) / 16) * 2;
    int rows = std::min<int>(b->px.height, int(size / DWORD(stride)));
    PixelStore in;
    in.width = b->px.width;
    in.height = rows;
    in.bpp = bpp;
    in.stride = stride;
    in.bits = const_cast<uint8_t*>(static_cast<const uint8_t*>(bits));
    in.palette = {0x000000, 0xFFFFFF};
    std::vector<uint32_t> row(size_t(b->px.width));
    for (int y = 0; y < rows; ++y) {
        in.ReadRow(y, 0, b->px.width, row.data());
        b->px.WriteRow(y, 0, b->px.width, row.data());
    }
    return LONG(rows) * stride;
}

WINGDIAPI BOOL WINAPI GetBitmapDimensionEx(HBITMAP h, LPSIZE size) {
    Locked<Bitmap> b(Bitmaps(), h);
    if (!b || !size) return FALSE;
    *size = b->dimension;
    return TRUE;
}

WINGDIAPI BOOL WINAPI GdiFlush(void) { return TRUE; }

// ---- brushes and pens ---------------------------------------------------------------------

WINGDIAPI HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    auto b = std::make_shared<Brush>();
    b->style = BS_SOLID;
    b->color = color & 0xFFFFFF;
    return Brushes().Add<HBRUSH>(b);
}

WINGDIAPI HBRUSH WINAPI CreateHatchBrush(int hatch, COLORREF color) {
    if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
    auto b = std::make_shared<Brush>();
    b->style = BS_HATCHED;
    b->hatch = hatch;
    b->color = color & 0xFFFFFF;
    return Brushes().Add<HBRUSH>(b);
}

namespace {
std::shared_ptr<Bitmap> CopyBitmap(const Bitmap& src) {
    auto b = src.px.bpp == 1 ? Bitmap::MakeDevice(src.px.width, src.px.height, 1)
                             : Bitmap::MakeDevice(src.px.width, src.px.height, 32);
    if (!b) return nullptr;
    std::vector<uint32_t> row(size_t(src.px.width));
    for (int y = 0; y < src.px.height; ++y) {
        src.px.ReadRow(y, 0, src.px.width, row.data());
        b->px.WriteRow(y, 0, src.px.width, row.data());
    }
    // A one-bit DIB keeps its two colours.
    if (src.px.bpp == 1 && src.px.palette.size() == 2) b->px.palette = src.px.palette;
    return b;
}
}  // namespace

WINGDIAPI HBRUSH WINAPI CreatePatternBrush(HBITMAP bmp) {
    Locked<Bitmap> src(Bitmaps(), bmp);
    if (!src) return nullptr;
    auto b = std::make_shared<Brush>();
    b->style = BS_PATTERN;
    b->lbHatch = ULONG_PTR(bmp);
    b->pattern = CopyBitmap(*src);
    if (!b->pattern) return nullptr;
    // A one-bit DIB pattern draws in its own colours, a monochrome device bitmap in the
    // DC's text and background colours.
    if (!(src->dib && src->px.bpp == 1)) b->pattern->px.palette = {0x000000, 0xFFFFFF};
    b->pattern->dib = src->dib && src->px.bpp == 1;
    return Brushes().Add<HBRUSH>(b);
}

WINGDIAPI HBRUSH WINAPI CreateDIBPatternBrushPt(const void* packed, UINT usage) {
    if (!packed) return nullptr;
    const BITMAPINFO* bmi = static_cast<const BITMAPINFO*>(packed);
    auto dib = Bitmap::MakeDib(bmi, usage, nullptr);
    if (!dib) return nullptr;
    const BITMAPINFOHEADER& h = bmi->bmiHeader;
    size_t colors = dib->px.bpp <= 8 ? dib->px.palette.size() : (h.biCompression == BI_BITFIELDS ? 3 : 0);
    size_t entry = usage == DIB_PAL_COLORS ? 2 : 4;
    const uint8_t* bits = reinterpret_cast<const uint8_t*>(packed) + h.biSize + colors * entry;
    std::memcpy(dib->px.bits, bits, dib->px.own.size());
    auto b = std::make_shared<Brush>();
    b->style = BS_DIBPATTERNPT;
    b->lbHatch = ULONG_PTR(packed);
    b->pattern = dib;
    return Brushes().Add<HBRUSH>(b);
}

WINGDIAPI HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* lb) {
    if (!lb) return nullptr;
    switch (lb->lbStyle) {
        case BS_SOLID: return CreateSolidBrush(lb->lbColor);
        case BS_NULL: return HBRUSH(Stock(NULL_BRUSH));
        case BS_HATCHED: return CreateHatchBrush(int(lb->lbHatch), lb->lbColor);
        case BS_PATTERN: return CreatePatternBrush(HBITMAP(lb->lbHatch));
        case BS_DIBPATTERNPT: return CreateDIBPatternBrushPt(reinterpret_cast<const void*>(lb->lbHatch), lb->lbColor);
        default: return nullptr;
    }
}

WINGDIAPI HPEN WINAPI CreatePen(int style, int width, COLORREF color) {
    if (style < PS_SOLID || style > PS_INSIDEFRAME) return nullptr;
    auto p = std::make_shared<Pen>();
    p->style = UINT(style);
    p->width = width < 1 ? 1 : width;
    p->color = color & 0xFFFFFF;
    // Dashed styles are one pixel wide; wider ones draw solid.
    if (p->width > 1 && style >= PS_DASH && style <= PS_DASHDOTDOT) p->style = PS_SOLID;
    return Pens().Add<HPEN>(p);
}

WINGDIAPI HPEN WINAPI CreatePenIndirect(const LOGPEN* lp) {
    if (!lp) return nullptr;
    return CreatePen(int(lp->lopnStyle), lp->lopnWidth.x, lp->lopnColor);
}

WINGDIAPI HPEN WINAPI ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD nStyle, const DWORD* styles) {
    if (!brush) return nullptr;
    int kind = int(style & PS_STYLE_MASK);
    if (kind > PS_ALTERNATE) return nullptr;
    if (kind == PS_USERSTYLE && (nStyle == 0 || nStyle > 16 || !styles)) return nullptr;
    if (kind != PS_USERSTYLE && nStyle != 0) return nullptr;
    bool cosmetic = (style & PS_TYPE_MASK) == PS_COSMETIC;
    if (cosmetic && width != 1) return nullptr;
    auto p = std::make_shared<Pen>();
    p->ext = true;
    p->style = style;
    p->width = int(width < 1 ? 1 : width);
    p->color = brush->lbStyle == BS_NULL ? 0 : brush->lbColor & 0xFFFFFF;
    if (brush->lbStyle == BS_NULL) p->style = (style & ~PS_STYLE_MASK) | PS_NULL;
    if (kind == PS_USERSTYLE) p->user.assign(styles, styles + nStyle);
    return Pens().Add<HPEN>(p);
}

// ---- palettes -----------------------------------------------------------------------------

WINGDIAPI HPALETTE WINAPI CreatePalette(const LOGPALETTE* lp) {
    if (!lp || lp->palNumEntries == 0) return nullptr;
    auto p = std::make_shared<Palette>();
    p->entries.assign(lp->palPalEntry, lp->palPalEntry + lp->palNumEntries);
    return Palettes().Add<HPALETTE>(p);
}

WINGDIAPI UINT WINAPI GetPaletteEntries(HPALETTE h, UINT start, UINT count, LPPALETTEENTRY entries) {
    Locked<Palette> p(Palettes(), h);
    if (!p) return 0;
    if (!entries) return UINT(p->entries.size());
    UINT n = 0;
    for (UINT i = start; i < p->entries.size() && n < count; ++i, ++n) entries[n] = p->entries[i];
    return n;
}

WINGDIAPI UINT WINAPI GetSystemPaletteEntries(HDC, UINT start, UINT count, LPPALETTEENTRY entries) {
    // A true-colour screen has no hardware palette; answer with the 20 static colours.
    Guard g(GlobalLock());
    Palette* p = Palettes().GetRaw(Stock(DEFAULT_PALETTE));
    if (!p || !entries) return 0;
    UINT n = 0;
    for (UINT i = start; i < 256 && n < count; ++i, ++n) {
        if (i < 10)
            entries[n] = p->entries[i];
        else if (i >= 246)
            entries[n] = p->entries[i - 236];
        else
            entries[n] = PALETTEENTRY{0, 0, 0, 0};
    }
    return n;
}
