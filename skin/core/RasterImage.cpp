// CRasterImage: storage, settings, pixel, palette and alpha access.
#include "RasterImage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

static_assert(sizeof(BITMAPINFOHEADER) == 40, "the DIB header is a 40-byte file record");
static_assert(sizeof(RGBQUAD) == 4, "palette entries are 4 bytes");

namespace {

// Largest picture the class will allocate. The skin engine's images are a few hundred pixels a
// side; the limit keeps hostile file headers from asking for gigabytes.
constexpr uint64_t kMaxPixels = 64ull * 1024 * 1024;

// A resolution read from a file may be anything: the conversion stays inside LONG.
LONG DpiToPelsPerMeter(LONG dpi) {
    const double ppm = std::floor(dpi * 39.37007874015748 + 0.5);
    return (LONG)std::clamp(ppm, -2147483647.0, 2147483647.0);
}

DWORD RoundDepth(DWORD bpp) {
    if (bpp <= 1) return 1;
    if (bpp <= 4) return 4;
    if (bpp <= 8) return 8;
    return 24;
}

}  // namespace

CRasterImage::CRasterImage(DWORD imageType) { InitFields(imageType); }

CRasterImage::CRasterImage(LONG width, DWORD height, DWORD bpp, DWORD imageType) {
    InitFields(imageType);
    Create(width, height, bpp, imageType);
}

CRasterImage::CRasterImage(const CRasterImage& src, bool copyPixels, bool copySelection,
                           bool copyAlpha) {
    InitFields(src.m_info.imageType);
    CopyFrom(src, copyPixels, copySelection, copyAlpha);
}

CRasterImage& CRasterImage::operator=(const CRasterImage& src) {
    if (this != &src) CopyFrom(src, true, true, true);
    return *this;
}

CRasterImage::~CRasterImage() { Destroy(); }

void CRasterImage::InitFields(DWORD imageType) {
    m_dib = nullptr;
    m_selection = nullptr;
    m_alpha = nullptr;
    m_layers = nullptr;
    std::memset(&m_head, 0, sizeof(m_head));
    std::memset(&m_info, 0, sizeof(m_info));
    m_info.transIndex = -1;
    m_info.alphaMax = 255;
    m_info.enabled = true;
    m_info.quality = 75;
    m_info.imageType = imageType;
    SetXDpi(96);
    SetYDpi(96);
}

void CRasterImage::SetLastError(const char* text) {
    if (!text) text = "";
    std::strncpy(m_info.lastError, text, sizeof(m_info.lastError) - 1);
    m_info.lastError[sizeof(m_info.lastError) - 1] = '\0';
}

void CRasterImage::SetXDpi(LONG dpi) {
    m_info.xDpi = dpi;
    m_head.biXPelsPerMeter = DpiToPelsPerMeter(dpi);
}

void CRasterImage::SetYDpi(LONG dpi) {
    m_info.yDpi = dpi;
    m_head.biYPelsPerMeter = DpiToPelsPerMeter(dpi);
}

DWORD CRasterImage::GetSize() const {
    if (!m_dib) return 0;
    return m_head.biSize + m_head.biSizeImage + GetPaletteSize();
}

void* CRasterImage::Create(LONG width, DWORD height, DWORD bpp, DWORD imageType) {
    Destroy();
    bpp = RoundDepth(bpp);
    // A non-positive width or an empty picture has no storage; larger ones are capped well below
    // what a 32-bit size field could describe.
    if (width <= 0 || height == 0 || (uint64_t)width * height > kMaxPixels) {
        SetLastError("RASTERIMAGE_MAX_MEMORY exceeded");
        return nullptr;
    }
    const DWORD colors = bpp == 1 ? 2 : bpp == 4 ? 16 : bpp == 8 ? 256 : 0;
    const uint64_t stride = (((uint64_t)width * bpp + 31) / 32) * 4;
    const uint64_t imageSize = stride * height;

    std::memset(&m_head, 0, sizeof(m_head));
    m_head.biSize = sizeof(BITMAPINFOHEADER);
    m_head.biWidth = width;
    m_head.biHeight = (LONG)height;
    m_head.biPlanes = 1;
    m_head.biBitCount = (WORD)bpp;
    m_head.biCompression = BI_RGB;
    m_head.biSizeImage = (DWORD)imageSize;
    m_head.biClrUsed = colors;
    m_head.biClrImportant = 0;
    m_head.biXPelsPerMeter = DpiToPelsPerMeter(m_info.xDpi);
    m_head.biYPelsPerMeter = DpiToPelsPerMeter(m_info.yDpi);
    m_info.rowStride = (DWORD)stride;
    m_info.imageType = imageType;
    m_info.viewOf = nullptr;

    // Zeroed so that padding bytes, and pixels a short file never reaches, are deterministic.
    m_dib = std::calloc(1, GetSizeFor(colors, imageSize));
    if (!m_dib) {
        SetLastError("CRasterImage::Create can't allocate memory");
        return nullptr;
    }
    std::memcpy(m_dib, &m_head, sizeof(m_head));
    m_info.imageBits = (BYTE*)m_dib + sizeof(BITMAPINFOHEADER) + colors * 4;
    ResetNearestCache();
    return m_dib;
}

bool CRasterImage::Destroy() {
    if (m_info.viewOf) {
        // A view owns nothing; it only forgets what it was looking at.
        m_dib = nullptr;
        m_selection = nullptr;
        m_alpha = nullptr;
        m_layers = nullptr;
        m_info.imageBits = nullptr;
        m_info.viewOf = nullptr;
        return false;
    }
    if (m_layers) {
        for (LONG i = 0; i < m_info.numLayers; ++i) delete m_layers[i];
        std::free(m_layers);
        m_layers = nullptr;
        m_info.numLayers = 0;
    }
    std::free(m_selection);
    m_selection = nullptr;
    std::free(m_alpha);
    m_alpha = nullptr;
    std::free(m_dib);
    m_dib = nullptr;
    m_info.imageBits = nullptr;
    return true;
}

void CRasterImage::CopyFrom(const CRasterImage& src, bool copyPixels, bool copySelection,
                            bool copyAlpha) {
    if (&src == this) return;
    Destroy();
    CopyInfo(src);
    if (!src.m_dib) {
        m_head = src.m_head;
        return;
    }
    if (!Create(src.m_head.biWidth, (DWORD)src.m_head.biHeight, src.m_head.biBitCount,
                src.m_info.imageType))
        return;
    m_head.biXPelsPerMeter = src.m_head.biXPelsPerMeter;
    m_head.biYPelsPerMeter = src.m_head.biYPelsPerMeter;
    m_head.biClrImportant = src.m_head.biClrImportant;
    std::memcpy(m_dib, &m_head, sizeof(m_head));
    if (copyPixels)
        std::memcpy((BYTE*)m_dib + sizeof(m_head), (const BYTE*)src.m_dib + sizeof(m_head),
                    GetSize() - sizeof(m_head));
    else
        SetPalette(src.GetPalette(), 256);
    const size_t plane = (size_t)GetWidth() * GetHeight();
    if (copySelection && src.m_selection) {
        m_selection = (BYTE*)std::malloc(plane);
        if (m_selection) std::memcpy(m_selection, src.m_selection, plane);
    }
    if (copyAlpha && src.m_alpha) {
        m_alpha = (BYTE*)std::malloc(plane);
        if (m_alpha) std::memcpy(m_alpha, src.m_alpha, plane);
    }
}

void CRasterImage::CopyInfo(const CRasterImage& src) {
    // Everything but the pointers into buffers, which belong to whoever owns them.
    BYTE* bits = m_info.imageBits;
    const DWORD stride = m_info.rowStride;
    m_info = src.m_info;
    m_info.imageBits = bits;
    m_info.rowStride = stride;
    m_info.viewOf = nullptr;
    m_info.numLayers = 0;
}

void CRasterImage::CopySettings(const CRasterImage& src) {
    if (!m_dib && &src != this) CopyInfo(src);
}

bool CRasterImage::TakeOver(CRasterImage& src) {
    if (&src == this) return true;
    Destroy();
    m_head = src.m_head;
    m_info = src.m_info;
    m_dib = src.m_dib;
    m_selection = src.m_selection;
    m_alpha = src.m_alpha;
    m_layers = src.m_layers;
    std::memset(&src.m_head, 0, sizeof(src.m_head));
    std::memset(&src.m_info, 0, sizeof(src.m_info));
    src.m_dib = nullptr;
    src.m_selection = nullptr;
    src.m_alpha = nullptr;
    src.m_layers = nullptr;
    return true;
}

void CRasterImage::ShareFrom(const CRasterImage* src) {
    if (!src || src == this) return;
    Destroy();
    m_head = src->m_head;
    m_info = src->m_info;
    m_dib = src->m_dib;
    m_selection = src->m_selection;
    m_alpha = src->m_alpha;
    m_layers = src->m_layers;
    m_info.viewOf = src;
}

bool CRasterImage::Deliver(CRasterImage& tmp, CRasterImage* dst) {
    if (dst)
        dst->TakeOver(tmp);
    else
        TakeOver(tmp);
    return true;
}

// --- pixels ---------------------------------------------------------------------------------

BYTE* CRasterImage::GetBits(DWORD row) const {
    if (!m_dib) return nullptr;
    if (row == 0) return m_info.imageBits;
    if (row >= GetHeight()) return nullptr;
    return m_info.imageBits + (size_t)row * m_info.rowStride;
}

bool CRasterImage::IsInside(LONG x, LONG y) const {
    return m_dib && x >= 0 && y >= 0 && x < m_head.biWidth && y < m_head.biHeight;
}

RGBQUAD* CRasterImage::GetPalette() const {
    if (!m_dib || m_head.biClrUsed == 0) return nullptr;
    return (RGBQUAD*)((BYTE*)m_dib + sizeof(BITMAPINFOHEADER));
}

RGBQUAD CRasterImage::GetPaletteColor(BYTE index) const {
    RGBQUAD c = {0, 0, 0, 0};
    const RGBQUAD* pal = GetPalette();
    if (pal && index < m_head.biClrUsed) c = pal[index];
    return c;
}

void CRasterImage::SetPaletteColor(BYTE index, BYTE r, BYTE g, BYTE b, BYTE alpha) {
    RGBQUAD* pal = GetPalette();
    if (!pal || index >= m_head.biClrUsed) return;
    pal[index].rgbBlue = b;
    pal[index].rgbGreen = g;
    pal[index].rgbRed = r;
    pal[index].rgbReserved = alpha;
    ResetNearestCache();
}

void CRasterImage::SetPaletteColor(BYTE index, RGBQUAD c) {
    SetPaletteColor(index, c.rgbRed, c.rgbGreen, c.rgbBlue, c.rgbReserved);
}

void CRasterImage::SetPaletteColor(BYTE index, COLORREF cr) {
    SetPaletteColor(index, GetRValue(cr), GetGValue(cr), GetBValue(cr), 0);
}

void CRasterImage::SetPalette(const RGBQUAD* colors, DWORD count) {
    RGBQUAD* pal = GetPalette();
    if (!colors || !pal) return;
    const size_t bytes = std::min<size_t>((size_t)count * 4, GetPaletteSize());
    std::memcpy(pal, colors, bytes);
    ResetNearestCache();
}

void CRasterImage::SetPalette(const BYTE* red, const BYTE* green, const BYTE* blue,
                              DWORD count) {
    RGBQUAD* pal = GetPalette();
    if (!red || !green || !blue || !pal) return;
    const DWORD n = std::min(count, m_head.biClrUsed);
    for (DWORD i = 0; i < n; ++i) {
        pal[i].rgbRed = red[i];
        pal[i].rgbGreen = green[i];
        pal[i].rgbBlue = blue[i];
    }
    ResetNearestCache();
}

void CRasterImage::SetGrayPalette() {
    RGBQUAD* pal = GetPalette();
    const DWORD n = m_head.biClrUsed;
    if (!pal || n < 2) return;
    const BYTE step = (BYTE)(255 / (n - 1));
    for (DWORD i = 0; i < n; ++i) {
        const BYTE v = (BYTE)(step * i);
        pal[i].rgbBlue = pal[i].rgbGreen = pal[i].rgbRed = v;
        pal[i].rgbReserved = 0;
    }
    ResetNearestCache();
}

bool CRasterImage::HasGreyRamp() const {
    const RGBQUAD* pal = GetPalette();
    const DWORD n = m_head.biClrUsed;
    if (!pal || n < 2) return false;
    const BYTE step = (BYTE)(255 / (n - 1));
    for (DWORD i = 0; i < n; ++i) {
        const BYTE v = (BYTE)(step * i);
        if (pal[i].rgbBlue != v || pal[i].rgbGreen != v || pal[i].rgbRed != v) return false;
    }
    return true;
}

void CRasterImage::SetStdPalette() {
    RGBQUAD* pal = GetPalette();
    if (!pal) return;
    // The sixteen colours of the classic VGA palette first, at every depth that has room.
    static const BYTE kVga[16][3] = {
        {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
        {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
        {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
        {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    const DWORD n = m_head.biClrUsed;
    if (n == 2) {
        SetPaletteColor(0, 0, 0, 0);
        SetPaletteColor(1, 255, 255, 255);
        return;
    }
    for (DWORD i = 0; i < 16 && i < n; ++i) SetPaletteColor((BYTE)i, kVga[i][0], kVga[i][1], kVga[i][2]);
    if (n == 256) {
        // Then the 6 x 6 x 6 colour cube and a 24-step grey ramp.
        DWORD i = 16;
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    SetPaletteColor((BYTE)i++, (BYTE)(r * 51), (BYTE)(g * 51), (BYTE)(b * 51));
        for (int k = 0; k < 24; ++k) {
            const BYTE v = (BYTE)(8 + k * 10);
            SetPaletteColor((BYTE)i++, v, v, v);
        }
    }
}

void CRasterImage::BlendPalette(COLORREF cr, LONG perc) {
    RGBQUAD* pal = GetPalette();
    if (!pal) return;
    if (perc > 100) perc = 100;
    if (perc < 0) perc = 0;
    const LONG keep = 100 - perc;
    for (DWORD i = 0; i < m_head.biClrUsed; ++i) {
        pal[i].rgbBlue = (BYTE)((pal[i].rgbBlue * keep + GetBValue(cr) * perc) / 100);
        pal[i].rgbGreen = (BYTE)((pal[i].rgbGreen * keep + GetGValue(cr) * perc) / 100);
        pal[i].rgbRed = (BYTE)((pal[i].rgbRed * keep + GetRValue(cr) * perc) / 100);
    }
    ResetNearestCache();
}

void CRasterImage::ExchangePaletteEntries(BYTE first, BYTE second) {
    RGBQUAD* pal = GetPalette();
    if (!pal || first >= m_head.biClrUsed || second >= m_head.biClrUsed || first == second) return;
    std::swap(pal[first], pal[second]);
    for (LONG y = 0; y < m_head.biHeight; ++y)
        for (LONG x = 0; x < m_head.biWidth; ++x) {
            const BYTE i = GetPixelIndex(x, y);
            if (i == first)
                SetPixelIndex(x, y, second);
            else if (i == second)
                SetPixelIndex(x, y, first);
        }
    if (m_info.transIndex == first)
        m_info.transIndex = second;
    else if (m_info.transIndex == second)
        m_info.transIndex = first;
    ResetNearestCache();
}

void CRasterImage::ClearPaletteAlpha() {
    RGBQUAD* pal = GetPalette();
    if (!pal) return;
    for (DWORD i = 0; i < m_head.biClrUsed; ++i) pal[i].rgbReserved = 0;
}

BYTE CRasterImage::GetNearestIndex(RGBQUAD c) {
    const RGBQUAD* pal = GetPalette();
    if (!pal) return 0;
    if (m_info.lastColorValid && m_info.lastColor.rgbBlue == c.rgbBlue &&
        m_info.lastColor.rgbGreen == c.rgbGreen && m_info.lastColor.rgbRed == c.rgbRed)
        return m_info.lastColorIndex;
    DWORD n = m_head.biClrImportant ? m_head.biClrImportant : m_head.biClrUsed;
    if (n > m_head.biClrUsed) n = m_head.biClrUsed;
    long best = 200000;
    BYTE index = 0;
    for (DWORD i = 0; i < n; ++i) {
        const long db = (long)pal[i].rgbBlue - c.rgbBlue;
        const long dg = (long)pal[i].rgbGreen - c.rgbGreen;
        const long dr = (long)pal[i].rgbRed - c.rgbRed;
        const long d = db * db + dg * dg + dr * dr;
        if (d == 0) {
            index = (BYTE)i;
            break;
        }
        if (d < best) {
            best = d;
            index = (BYTE)i;
        }
    }
    m_info.lastColor = c;
    m_info.lastColorIndex = index;
    m_info.lastColorValid = true;
    return index;
}

BYTE CRasterImage::GetPixelIndex(LONG x, LONG y) const {
    if (!m_dib || m_head.biBitCount > 8) return 0;
    if (!IsInside(x, y)) {
        if (m_info.transIndex != -1) return (BYTE)m_info.transIndex;
        return *m_info.imageBits;
    }
    const BYTE* row = m_info.imageBits + (size_t)y * m_info.rowStride;
    switch (m_head.biBitCount) {
    case 8: return row[x];
    case 4: {
        const BYTE b = row[x >> 1];
        return (x & 1) ? (BYTE)(b & 0x0F) : (BYTE)(b >> 4);
    }
    default: return (BYTE)((row[x >> 3] >> (7 - (x & 7))) & 1);
    }
}

void CRasterImage::SetPixelIndex(LONG x, LONG y, BYTE i) {
    if (!m_dib || m_head.biBitCount > 8 || !IsInside(x, y)) return;
    BYTE* row = m_info.imageBits + (size_t)y * m_info.rowStride;
    switch (m_head.biBitCount) {
    case 8: row[x] = i; break;
    case 4: {
        BYTE& b = row[x >> 1];
        if (x & 1)
            b = (BYTE)((b & 0xF0) | (i & 0x0F));
        else
            b = (BYTE)((b & 0x0F) | ((i & 0x0F) << 4));
        break;
    }
    default: {
        BYTE& b = row[x >> 3];
        const BYTE mask = (BYTE)(0x80 >> (x & 7));
        b = (i & 1) ? (BYTE)(b | mask) : (BYTE)(b & ~mask);
        break;
    }
    }
}

RGBQUAD CRasterImage::GetPixelColor(LONG x, LONG y, bool getAlpha) const {
    RGBQUAD c = {0, 0, 0, 0};
    if (!m_dib) return c;
    if (!IsInside(x, y)) {
        if (m_info.transIndex == -1) return GetPixelColor(0, 0, getAlpha);
        if (m_head.biBitCount < 24) return GetPaletteColor((BYTE)m_info.transIndex);
        return m_info.transColor;
    }
    if (m_head.biBitCount <= 8) {
        c = GetPaletteColor(GetPixelIndex(x, y));
    } else {
        const BYTE* p = m_info.imageBits + (size_t)y * m_info.rowStride + (size_t)x * 3;
        c.rgbBlue = p[0];
        c.rgbGreen = p[1];
        c.rgbRed = p[2];
        c.rgbReserved = m_info.transColor.rgbReserved;
    }
    if (m_alpha && getAlpha) c.rgbReserved = AlphaGet(x, y);
    return c;
}

void CRasterImage::SetPixelColor(LONG x, LONG y, RGBQUAD c, bool setAlpha) {
    if (!IsInside(x, y)) return;
    if (m_head.biBitCount <= 8) {
        SetPixelIndex(x, y, GetNearestIndex(c));
    } else {
        BYTE* p = m_info.imageBits + (size_t)y * m_info.rowStride + (size_t)x * 3;
        p[0] = c.rgbBlue;
        p[1] = c.rgbGreen;
        p[2] = c.rgbRed;
    }
    if (setAlpha) AlphaSet(x, y, c.rgbReserved);
}

void CRasterImage::SetPixelColor(LONG x, LONG y, COLORREF cr) {
    RGBQUAD c = {GetBValue(cr), GetGValue(cr), GetRValue(cr), 0};
    SetPixelColor(x, y, c, false);
}

BYTE CRasterImage::GetPixelGray(LONG x, LONG y) const {
    const RGBQUAD c = GetPixelColor(x, y, false);
    return (BYTE)((601 * c.rgbGreen + 306 * c.rgbRed + 117 * c.rgbBlue) >> 10);
}

bool CRasterImage::IsTransparent(LONG x, LONG y) const {
    if (!IsInside(x, y)) return false;
    if (m_alpha && AlphaGet(x, y) == 0) return true;
    if (m_info.transIndex < 0) return false;
    if (m_head.biBitCount <= 8) return GetPixelIndex(x, y) == (BYTE)m_info.transIndex;
    const RGBQUAD c = GetPixelColor(x, y, false);
    const RGBQUAD t = m_info.transColor;
    return c.rgbBlue == t.rgbBlue && c.rgbGreen == t.rgbGreen && c.rgbRed == t.rgbRed;
}

RGBQUAD CRasterImage::GetTransColor() const {
    if (m_head.biBitCount < 24 && m_info.transIndex != -1)
        return GetPaletteColor((BYTE)m_info.transIndex);
    return m_info.transColor;
}

void CRasterImage::DrawLine(LONG x0, LONG x1, LONG y0, LONG y1, RGBQUAD color, bool setAlpha) {
    if (!m_dib) return;
    // Bresenham over the whole segment; points outside the image are dropped one by one.
    long dx = std::labs((long)x1 - x0), dy = -std::labs((long)y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    long err = dx + dy;
    long x = x0, y = y0;
    for (;;) {
        SetPixelColor((LONG)x, (LONG)y, color, setAlpha);
        if (x == x1 && y == y1) break;
        const long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void CRasterImage::DrawLine(LONG x0, LONG x1, LONG y0, LONG y1, COLORREF cr) {
    RGBQUAD c = {GetBValue(cr), GetGValue(cr), GetRValue(cr), 0};
    DrawLine(x0, x1, y0, y1, c, false);
}

// --- alpha plane ----------------------------------------------------------------------------

bool CRasterImage::AlphaCreate() {
    if (!m_dib) return false;
    std::free(m_alpha);
    m_alpha = (BYTE*)std::calloc((size_t)GetWidth() * GetHeight(), 1);
    return m_alpha != nullptr;
}

void CRasterImage::AlphaDelete() {
    std::free(m_alpha);
    m_alpha = nullptr;
}

void CRasterImage::AlphaClear() {
    if (m_alpha) std::memset(m_alpha, 0, (size_t)GetWidth() * GetHeight());
}

void CRasterImage::AlphaSet(BYTE level) {
    if (m_alpha) std::memset(m_alpha, level, (size_t)GetWidth() * GetHeight());
}

BYTE* CRasterImage::AlphaPlaneAt(LONG x, LONG y) const {
    if (!m_alpha || !IsInside(x, y)) return nullptr;
    return m_alpha + (size_t)y * GetWidth() + x;
}

void CRasterImage::AlphaSet(LONG x, LONG y, BYTE level) {
    if (m_alpha && IsInside(x, y)) m_alpha[(size_t)y * GetWidth() + x] = level;
}

BYTE CRasterImage::AlphaGet(LONG x, LONG y) const {
    if (m_alpha && IsInside(x, y)) return m_alpha[(size_t)y * GetWidth() + x];
    return 0;
}

bool CRasterImage::AlphaSet(const CRasterImage& from) {
    if (!m_dib || !from.m_dib || from.GetBpp() != 8 || from.GetWidth() != GetWidth() ||
        from.GetHeight() != GetHeight())
        return false;
    if (!m_alpha && !AlphaCreate()) return false;
    for (DWORD y = 0; y < GetHeight(); ++y)
        std::memcpy(m_alpha + (size_t)y * GetWidth(), from.GetBits(y), GetWidth());
    return true;
}

bool CRasterImage::AlphaCopy(const CRasterImage& from) {
    // Both sizes must match: a plane of another height would be over- or under-read.
    if (!from.m_alpha || !m_dib || from.GetWidth() != GetWidth() ||
        from.GetHeight() != GetHeight())
        return false;
    const size_t n = (size_t)GetWidth() * GetHeight();
    if (!m_alpha) {
        m_alpha = (BYTE*)std::malloc(n);
        if (!m_alpha) return false;
    }
    std::memcpy(m_alpha, from.m_alpha, n);
    m_info.alphaMax = from.m_info.alphaMax;
    return true;
}

bool CRasterImage::AlphaFlip() {
    if (!m_alpha) return false;
    const size_t w = GetWidth(), h = GetHeight();
    BYTE* plane = (BYTE*)std::malloc(w * h);
    if (!plane) return false;
    for (size_t y = 0; y < h; ++y) std::memcpy(plane + y * w, m_alpha + (h - 1 - y) * w, w);
    std::free(m_alpha);
    m_alpha = plane;
    return true;
}

bool CRasterImage::AlphaMirror() {
    if (!m_alpha) return false;
    const size_t w = GetWidth(), h = GetHeight();
    BYTE* plane = (BYTE*)std::malloc(w * h);
    if (!plane) return false;
    for (size_t y = 0; y < h; ++y)
        for (size_t x = 0; x < w; ++x) plane[y * w + x] = m_alpha[y * w + (w - 1 - x)];
    std::free(m_alpha);
    m_alpha = plane;
    return true;
}
