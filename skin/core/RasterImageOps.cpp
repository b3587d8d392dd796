// CRasterImage: geometry, colour transforms, resampling and creation from memory.
// Geometric operations build a temporary image and move its buffers over (or into the
// destination), so pointers into the old pixel rows are invalid afterwards.
#include "RasterImage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Copies one pixel (index for paletted images, colour for 24-bit ones) and its alpha.
void CopyPixel(const CRasterImage& src, LONG sx, LONG sy, CRasterImage& dst, LONG dx, LONG dy) {
    if (src.GetBpp() <= 8)
        dst.SetPixelIndex(dx, dy, src.GetPixelIndex(sx, sy));
    else
        dst.SetPixelColor(dx, dy, src.GetPixelColor(sx, sy, false), false);
    if (src.HasAlpha()) dst.AlphaSet(dx, dy, src.AlphaGet(sx, sy));
}

// A result image of the given size with this image's depth, type, settings and palette, and a
// cleared alpha plane when the source has one.
bool MakeLike(const CRasterImage& src, CRasterImage& tmp, LONG w, LONG h) {
    tmp.CopySettings(src);
    if (!tmp.Create(w, (DWORD)h, src.GetBpp(), src.GetType())) return false;
    tmp.SetXDpi(src.GetXDpi());
    tmp.SetYDpi(src.GetYDpi());
    tmp.SetPalette(src.GetPalette(), 256);
    if (src.HasAlpha() && !tmp.AlphaCreate()) return false;
    return true;
}

}  // namespace

bool CRasterImage::Flip() {
    if (!m_dib) return false;
    CRasterImage tmp(m_info.imageType);
    tmp.CopyFrom(*this, false, false, true);
    if (!tmp.IsValid()) return false;
    const DWORD h = GetHeight();
    for (DWORD i = 0; i < h; ++i) std::memcpy(tmp.GetBits(i), GetBits(h - 1 - i), m_info.rowStride);
    if (tmp.HasAlpha() && !tmp.AlphaFlip()) return false;
    return TakeOver(tmp);
}

bool CRasterImage::Mirror() {
    if (!m_dib) return false;
    CRasterImage tmp(m_info.imageType);
    tmp.CopyFrom(*this, false, false, true);
    if (!tmp.IsValid()) return false;
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    for (LONG y = 0; y < h; ++y) {
        const BYTE* s = GetBits(y);
        BYTE* d = tmp.GetBits(y);
        switch (m_head.biBitCount) {
        case 8:
            for (LONG x = 0; x < w; ++x) d[x] = s[w - 1 - x];
            break;
        case 24:
            for (LONG x = 0; x < w; ++x) std::memcpy(d + 3 * x, s + 3 * (w - 1 - x), 3);
            break;
        default:
            for (LONG x = 0; x < w; ++x) tmp.SetPixelIndex(x, y, GetPixelIndex(w - 1 - x, y));
            break;
        }
    }
    if (tmp.HasAlpha() && !tmp.AlphaMirror()) return false;
    return TakeOver(tmp);
}

bool CRasterImage::RotateRight(CRasterImage* dst) {
    if (!m_dib) return false;
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    CRasterImage tmp(m_info.imageType);
    if (!MakeLike(*this, tmp, h, w)) return false;
    // Clockwise as the picture is seen: the right edge becomes the bottom edge.
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) CopyPixel(*this, x, y, tmp, y, w - 1 - x);
    return Deliver(tmp, dst);
}

bool CRasterImage::RotateLeft(CRasterImage* dst) {
    if (!m_dib) return false;
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    CRasterImage tmp(m_info.imageType);
    if (!MakeLike(*this, tmp, h, w)) return false;
    // Counter-clockwise: the right edge becomes the top edge.
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) CopyPixel(*this, x, y, tmp, h - 1 - y, x);
    return Deliver(tmp, dst);
}

bool CRasterImage::Rotate180(CRasterImage* dst) {
    if (!m_dib) return false;
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    CRasterImage tmp(m_info.imageType);
    if (!MakeLike(*this, tmp, w, h)) return false;
    for (LONG y = 0; y < h; ++y) {
        m_info.progress = (LONG)(100LL * y / h);
        for (LONG x = 0; x < w; ++x) CopyPixel(*this, x, y, tmp, w - 1 - x, h - 1 - y);
    }
    return Deliver(tmp, dst);
}

bool CRasterImage::Rotate(float angle, CRasterImage* dst) {
    if (!m_dib) return false;
    // Quarter turns are exact: same pixels, swapped size, no border. The general path below
    // adds a two-pixel margin and resamples, which would misplace a vertical control's picture.
    double turns = std::fmod((double)angle, 360.0);
    if (turns < 0) turns += 360.0;
    if (turns == 0.0) {
        if (!dst) return true;
        dst->CopyFrom(*this);
        return dst->IsValid();
    }
    if (turns == 90.0) return RotateRight(dst);
    if (turns == 180.0) return Rotate180(dst);
    if (turns == 270.0) return RotateLeft(dst);

    const double ang = -angle * std::acos(0.0) / 90.0;
    const double c = std::cos(ang), s = std::sin(ang);
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    const double cx[3] = {(double)w, 0.0, (double)w}, cy[3] = {0.0, (double)h, (double)h};
    LONG left = 0, top = 0, right = 0, bottom = 0;
    for (int i = 0; i < 3; ++i) {
        const LONG nx = (LONG)std::floor(cx[i] * c - cy[i] * s);
        const LONG ny = (LONG)std::floor(cx[i] * s + cy[i] * c);
        left = std::min(left, nx);
        right = std::max(right, nx);
        top = std::min(top, ny);
        bottom = std::max(bottom, ny);
    }
    right += 2;
    bottom += 2;
    const LONG nw = right - left, nh = bottom - top;
    CRasterImage tmp(m_info.imageType);
    if (!MakeLike(*this, tmp, nw, nh)) return false;
    for (LONG y = top; y <= bottom; ++y) {
        const LONG ny = y - top;
        m_info.progress = (LONG)(100LL * ny / nh);
        if (m_info.escape) return false;
        if (ny >= nh) break;
        for (LONG x = left; x <= right; ++x) {
            const LONG nx = x - left;
            if (nx >= nw) break;
            const LONG ox = (LONG)(x * c + y * s - 0.5);
            const LONG oy = (LONG)(y * c - x * s - 0.5);
            CopyPixel(*this, ox, oy, tmp, nx, ny);
        }
    }
    return Deliver(tmp, dst);
}

bool CRasterImage::Crop(LONG left, LONG top, LONG right, LONG bottom, CRasterImage* dst) {
    if (!m_dib) return false;
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    left = std::clamp(left, 0, w);
    right = std::clamp(right, 0, w);
    top = std::clamp(top, 0, h);
    bottom = std::clamp(bottom, 0, h);
    if (left == right || top == bottom) return false;
    if (left > right) std::swap(left, right);
    // Top-down arguments become bottom-up rows.
    const LONG startY = std::min(h - top, h - bottom), endY = std::max(h - top, h - bottom);
    const LONG nw = right - left, nh = endY - startY;
    CRasterImage tmp(m_info.imageType);
    tmp.CopySettings(*this);
    if (!tmp.Create(nw, (DWORD)nh, m_head.biBitCount, m_info.imageType)) return false;
    tmp.SetXDpi(m_info.xDpi);
    tmp.SetYDpi(m_info.yDpi);
    tmp.SetPalette(GetPalette(), m_head.biClrUsed);
    tmp.m_info.transIndex = m_info.transIndex;
    tmp.m_info.transColor = m_info.transColor;
    for (LONG i = 0; i < nh; ++i) {
        m_info.progress = (LONG)(100LL * i / endY);
        if (m_head.biBitCount == 8 || m_head.biBitCount == 24) {
            const size_t bytesPerPixel = m_head.biBitCount / 8;
            std::memcpy(tmp.GetBits(i), GetBits(startY + i) + bytesPerPixel * left,
                        bytesPerPixel * nw);
        } else {
            for (LONG x = 0; x < nw; ++x) tmp.SetPixelIndex(x, i, GetPixelIndex(left + x, startY + i));
        }
    }
    if (m_alpha) {
        if (!tmp.AlphaCreate()) return false;
        for (LONG i = 0; i < nh; ++i)
            std::memcpy(tmp.m_alpha + (size_t)i * nw, m_alpha + (size_t)(startY + i) * w + left, nw);
    }
    return Deliver(tmp, dst);
}

namespace {

// Cubic B-spline kernel: smooth, non-negative, weights of the four taps sum to one.
double BSpline(double x) {
    auto p = [](double v) { return v > 0 ? v * v * v : 0.0; };
    return (p(x + 2) - 4 * p(x + 1) + 6 * p(x) - 4 * p(x - 1)) / 6.0;
}

}  // namespace

bool CRasterImage::Resample(LONG newWidth, LONG newHeight, int mode, CRasterImage* dst) {
    if (!m_dib || newWidth <= 0 || newHeight <= 0) return false;
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    const double fx = (double)w / newWidth, fy = (double)h / newHeight;
    CRasterImage tmp(m_info.imageType);
    tmp.CopySettings(*this);
    const bool keepIndex = mode == 0 && m_head.biBitCount <= 8;
    if (!tmp.Create(newWidth, (DWORD)newHeight, keepIndex ? m_head.biBitCount : 24,
                    m_info.imageType))
        return false;
    tmp.SetXDpi(m_info.xDpi);
    tmp.SetYDpi(m_info.yDpi);
    if (keepIndex) tmp.SetPalette(GetPalette(), m_head.biClrUsed);
    if (m_alpha && !tmp.AlphaCreate()) return false;
    if (!keepIndex) tmp.m_info.transIndex = -1;

    auto clampX = [w](LONG x) { return std::clamp(x, 0, w - 1); };
    auto clampY = [h](LONG y) { return std::clamp(y, 0, h - 1); };
    for (LONG y = 0; y < newHeight; ++y) {
        m_info.progress = (LONG)(100LL * y / newHeight);
        for (LONG x = 0; x < newWidth; ++x) {
            if (mode == 0) {
                const LONG sx = clampX((LONG)((x + 0.5) * fx)), sy = clampY((LONG)((y + 0.5) * fy));
                CopyPixel(*this, sx, sy, tmp, x, y);
                continue;
            }
            // Sample centres line up with pixel centres in both images.
            const double sx = (x + 0.5) * fx - 0.5, sy = (y + 0.5) * fy - 0.5;
            const LONG ix = (LONG)std::floor(sx), iy = (LONG)std::floor(sy);
            const double ax = sx - ix, ay = sy - iy;
            double acc[4] = {0, 0, 0, 0}, total = 0;
            const int lo = mode == 1 ? 0 : -1, hi = mode == 1 ? 1 : 2;
            for (int j = lo; j <= hi; ++j) {
                const double wy = mode == 1 ? (j == 0 ? 1 - ay : ay) : BSpline(j - ay);
                for (int i = lo; i <= hi; ++i) {
                    const double wx = mode == 1 ? (i == 0 ? 1 - ax : ax) : BSpline(i - ax);
                    const double wgt = wx * wy;
                    if (wgt == 0) continue;
                    const LONG px = clampX(ix + i), py = clampY(iy + j);
                    const RGBQUAD c = GetPixelColor(px, py, false);
                    acc[0] += wgt * c.rgbBlue;
                    acc[1] += wgt * c.rgbGreen;
                    acc[2] += wgt * c.rgbRed;
                    acc[3] += wgt * (m_alpha ? AlphaGet(px, py) : 255);
                    total += wgt;
                }
            }
            auto out = [total](double v) {
                v = total > 0 ? v / total : v;
                return (BYTE)std::clamp((int)std::lround(v), 0, 255);
            };
            RGBQUAD c = {out(acc[0]), out(acc[1]), out(acc[2]), 0};
            tmp.SetPixelColor(x, y, c, false);
            if (m_alpha) tmp.AlphaSet(x, y, out(acc[3]));
        }
    }
    return Deliver(tmp, dst);
}

bool CRasterImage::GrayScale() {
    if (!m_dib) return false;
    auto gray = [](BYTE r, BYTE g, BYTE b) { return (BYTE)((601 * g + 306 * r + 117 * b) >> 10); };
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    if (m_head.biBitCount <= 8) {
        RGBQUAD* pal = GetPalette();
        for (DWORD i = 0; i < m_head.biClrUsed; ++i) {
            const BYTE v = gray(pal[i].rgbRed, pal[i].rgbGreen, pal[i].rgbBlue);
            pal[i].rgbRed = pal[i].rgbGreen = pal[i].rgbBlue = v;
        }
        ResetNearestCache();
        if (m_info.transIndex != -1 && (DWORD)m_info.transIndex < m_head.biClrUsed)
            m_info.transIndex = pal[m_info.transIndex].rgbBlue;
        if (m_head.biBitCount == 8) {
            for (LONG y = 0; y < h; ++y) {
                BYTE* row = GetBits(y);
                for (LONG x = 0; x < w; ++x) row[x] = pal[row[x]].rgbBlue;
            }
            SetGrayPalette();
            return true;
        }
        CRasterImage tmp(m_info.imageType);
        tmp.CopySettings(*this);
        if (!tmp.Create(w, (DWORD)h, 8, m_info.imageType)) return false;
        tmp.SetGrayPalette();
        for (LONG y = 0; y < h; ++y)
            for (LONG x = 0; x < w; ++x) tmp.SetPixelIndex(x, y, pal[GetPixelIndex(x, y)].rgbBlue);
        tmp.AlphaCopy(*this);
        return TakeOver(tmp);
    }
    CRasterImage tmp(m_info.imageType);
    tmp.CopySettings(*this);
    if (!tmp.Create(w, (DWORD)h, 8, m_info.imageType)) return false;
    tmp.SetGrayPalette();
    for (LONG y = 0; y < h; ++y) {
        const BYTE* s = GetBits(y);
        BYTE* d = tmp.GetBits(y);
        for (LONG x = 0; x < w; ++x) d[x] = gray(s[3 * x + 2], s[3 * x + 1], s[3 * x]);
    }
    tmp.AlphaCopy(*this);
    return TakeOver(tmp);
}

bool CRasterImage::Negative() {
    if (!m_dib) return false;
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    if (m_head.biBitCount <= 8) {
        if (HasGreyRamp()) {
            // Invert the indices so the grey ramp stays a ramp.
            const BYTE top = (BYTE)(m_head.biClrUsed - 1);
            for (LONG y = 0; y < h; ++y)
                for (LONG x = 0; x < w; ++x) SetPixelIndex(x, y, (BYTE)(top - GetPixelIndex(x, y)));
        } else {
            RGBQUAD* pal = GetPalette();
            for (DWORD i = 0; i < m_head.biClrUsed; ++i) {
                pal[i].rgbBlue = (BYTE)~pal[i].rgbBlue;
                pal[i].rgbGreen = (BYTE)~pal[i].rgbGreen;
                pal[i].rgbRed = (BYTE)~pal[i].rgbRed;
            }
            ResetNearestCache();
        }
        return true;
    }
    LONG x0 = 0, y0 = 0, x1 = w, y1 = h;
    if (m_selection) {
        // Only the selection box, clamped to the picture.
        x0 = std::clamp(m_info.selectionBox.left, 0, w);
        x1 = std::clamp(m_info.selectionBox.right, 0, w);
        y0 = std::clamp(std::min(m_info.selectionBox.top, m_info.selectionBox.bottom), 0, h);
        y1 = std::clamp(std::max(m_info.selectionBox.top, m_info.selectionBox.bottom), 0, h);
    }
    for (LONG y = y0; y < y1; ++y) {
        BYTE* row = GetBits(y);
        for (LONG x = x0 * 3; x < x1 * 3; ++x) row[x] = (BYTE)~row[x];
    }
    m_info.transColor.rgbBlue = (BYTE)~m_info.transColor.rgbBlue;
    m_info.transColor.rgbGreen = (BYTE)~m_info.transColor.rgbGreen;
    m_info.transColor.rgbRed = (BYTE)~m_info.transColor.rgbRed;
    return true;
}

bool CRasterImage::CreateFromRowPointers(const BYTE* const* rows, DWORD width, DWORD height, DWORD bpp,
                                    DWORD rowBytes, bool topRowFirst) {
    if (!rows || width == 0 || height == 0 || width > 0x7FFFFFFF) return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return false;
    const uint64_t need = ((uint64_t)width * bpp + 7) / 8;
    if (rowBytes < need) return false;
    if (!Create((LONG)width, height, bpp, m_info.imageType)) return false;
    if (bpp == 32 && !AlphaCreate()) return false;
    if (bpp <= 8) SetGrayPalette();
    for (DWORD y = 0; y < height; ++y) {
        const BYTE* s = rows[topRowFirst ? height - 1 - y : y];
        if (!s) continue;
        BYTE* d = GetBits(y);
        if (bpp != 32) {
            std::memcpy(d, s, (size_t)need);
            continue;
        }
        for (DWORD x = 0; x < width; ++x) {
            std::memcpy(d + 3 * x, s + 4 * x, 3);
            m_alpha[(size_t)y * width + x] = s[4 * x + 3];
        }
    }
    return true;
}

bool CRasterImage::CreateFromPackedRows(const BYTE* bits, DWORD width, DWORD height, DWORD bpp,
                                   DWORD rowBytes, bool topRowFirst) {
    if (!bits || height == 0 || height > 64u * 1024 * 1024) return false;
    const BYTE** rows = (const BYTE**)std::malloc(sizeof(BYTE*) * height);
    if (!rows) return false;
    for (DWORD y = 0; y < height; ++y) rows[y] = bits + (size_t)y * rowBytes;
    const bool ok = CreateFromRowPointers(rows, width, height, bpp, rowBytes, topRowFirst);
    std::free(rows);
    return ok;
}

void CRasterImage::UnpackBitfields(BYTE* src, DWORD redMask, DWORD greenMask, DWORD blueMask,
                                   DWORD bpp) {
    const size_t srcStride = bpp == 16 ? ((size_t)GetWidth() + 1) / 2 * 4 : (size_t)GetWidth() * 4;
    UnpackBitfields(src, srcStride * GetHeight(), redMask, greenMask, blueMask, bpp);
}

namespace {

// Extracts one channel and scales it to 8 bits: narrower fields are shifted up (five bits of
// 0x1F give 248), wider ones keep their top eight bits.
struct Channel {
    DWORD mask = 0;
    int shift = 0;
    int width = 0;
    explicit Channel(DWORD m) : mask(m) {
        if (!m) return;
        while (!((m >> shift) & 1)) ++shift;
        DWORD v = m >> shift;
        while (v) {  // the highest set bit bounds the field
            ++width;
            v >>= 1;
        }
    }
    BYTE Get(DWORD p) const {
        if (!mask) return 0;
        const DWORD v = (p & mask) >> shift;
        return width >= 8 ? (BYTE)(v >> (width - 8)) : (BYTE)(v << (8 - width));
    }
};

}  // namespace

void CRasterImage::UnpackBitfields(const BYTE* src, size_t srcSize, DWORD redMask, DWORD greenMask,
                                   DWORD blueMask, DWORD bpp) {
    if (!m_dib || !src || m_head.biBitCount != 24 || (bpp != 16 && bpp != 32)) return;
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    const size_t srcStride = bpp == 16 ? ((size_t)w + 1) / 2 * 4 : (size_t)w * 4;
    if (srcSize < srcStride * h) return;
    const Channel r(redMask), g(greenMask), b(blueMask);
    // From the last row and pixel backwards, so the wider result may overwrite its own source.
    for (LONG y = h - 1; y >= 0; --y) {
        const BYTE* s = src + (size_t)y * srcStride;
        BYTE* d = GetBits(y);
        for (LONG x = w - 1; x >= 0; --x) {
            DWORD p;
            if (bpp == 16)
                p = (DWORD)s[2 * x] | ((DWORD)s[2 * x + 1] << 8);
            else
                p = (DWORD)s[4 * x] | ((DWORD)s[4 * x + 1] << 8) | ((DWORD)s[4 * x + 2] << 16) |
                    ((DWORD)s[4 * x + 3] << 24);
            d[3 * x] = b.Get(p);
            d[3 * x + 1] = g.Get(p);
            d[3 * x + 2] = r.Get(p);
        }
    }
}
