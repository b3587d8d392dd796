#include "DibBitmap.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// Blocks beyond this are refused: the header's 32-bit sizes must hold them, and nothing a
// button draws comes near it.
const uint64_t kMaxBlock = 256u * 1024u * 1024u;

void Put16(BYTE* p, unsigned v) {
    p[0] = BYTE(v);
    p[1] = BYTE(v >> 8);
}
void Put32(BYTE* p, DWORD v) {
    for (int i = 0; i < 4; ++i) p[i] = BYTE(v >> (8 * i));
}

}  // namespace

CDibBitmap::CDibBitmap()
    : m_bi{}, m_dwLineWidth(0), m_wColors(0), m_hDibSection(nullptr), m_hMemDC(nullptr), m_hOldBitmap(nullptr),
      m_pSectionBits(nullptr) {}

CDibBitmap::~CDibBitmap() { Free(); }

void CDibBitmap::Free() {
    if (m_hMemDC) {
        if (m_hOldBitmap) ::SelectObject(m_hMemDC, m_hOldBitmap);
        ::DeleteDC(m_hMemDC);
    }
    if (m_hDibSection) ::DeleteObject(m_hDibSection);
    m_hMemDC = nullptr;
    m_hOldBitmap = nullptr;
    m_hDibSection = nullptr;
    m_pSectionBits = nullptr;
    std::vector<BYTE>().swap(m_block);
    m_bi = BITMAPINFOHEADER{};
    m_dwLineWidth = 0;
    m_wColors = 0;
}

BOOL CDibBitmap::Create(DWORD dwWidth, DWORD dwHeight, WORD wBpp) {
    Free();
    if (dwWidth == 0 || dwHeight == 0 || wBpp == 0 || wBpp > 32) return FALSE;
    uint64_t line = (uint64_t(wBpp) * dwWidth + 31) / 32 * 4;
    uint64_t image = line * dwHeight;
    WORD colors = wBpp == 1 ? 2 : wBpp == 4 ? 16 : wBpp == 8 ? 256 : 0;
    uint64_t total = sizeof(BITMAPINFOHEADER) + uint64_t(colors) * sizeof(RGBQUAD) + image;
    if (total > kMaxBlock) return FALSE;

    m_bi.biSize = sizeof(BITMAPINFOHEADER);
    m_bi.biWidth = LONG(dwWidth);
    m_bi.biHeight = LONG(dwHeight);
    m_bi.biPlanes = 1;
    m_bi.biBitCount = wBpp;
    m_bi.biCompression = BI_RGB;
    m_bi.biSizeImage = DWORD(image);
    m_dwLineWidth = DWORD(line);
    m_wColors = colors;
    m_block.assign(size_t(total), 0);
    std::memcpy(m_block.data(), &m_bi, sizeof m_bi);
    return TRUE;
}

BOOL CDibBitmap::Clone(const CDibBitmap* src) {
    if (src == this) return !m_block.empty();
    if (!src || src->m_block.empty()) {
        Free();
        return FALSE;
    }
    if (!Create(src->GetWidth(), src->GetHeight(), src->GetBitCount())) return FALSE;
    std::memcpy(m_block.data(), src->m_block.data(), m_block.size());
    return TRUE;
}

DWORD CDibBitmap::GetPaletteSize() const { return DWORD(m_wColors) * sizeof(RGBQUAD); }

DWORD CDibBitmap::GetSize() const { return m_bi.biSize + GetPaletteSize() + m_bi.biSizeImage; }

RGBQUAD* CDibBitmap::Palette() const {
    if (m_block.empty()) return nullptr;
    return reinterpret_cast<RGBQUAD*>(const_cast<BYTE*>(m_block.data()) + sizeof(BITMAPINFOHEADER));
}

BYTE* CDibBitmap::GetBits() const {
    if (m_block.empty()) return nullptr;
    return const_cast<BYTE*>(m_block.data()) + sizeof(BITMAPINFOHEADER) + GetPaletteSize();
}

void CDibBitmap::SetPaletteIndex(BYTE idx, BYTE r, BYTE g, BYTE b) {
    if (idx >= m_wColors) return;
    RGBQUAD& q = Palette()[idx];
    q.rgbBlue = b;
    q.rgbGreen = g;
    q.rgbRed = r;
    q.rgbReserved = 0;
}

void CDibBitmap::SetGrayPalette() {
    if (!m_wColors) return;
    RGBQUAD* pal = Palette();
    for (int i = 0; i < m_wColors; ++i) pal[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    pal[0] = RGBQUAD{0, 0, 0, 0};
    pal[m_wColors - 1] = RGBQUAD{255, 255, 255, 0};
}

void CDibBitmap::BlendPalette(COLORREF cr, long perc) {
    if (!m_wColors) return;
    if (perc > 100) perc = 100;
    // A negative share would push channels outside 0..255.
    if (perc < 0) perc = 0;
    long keep = 100 - perc;
    long r = GetRValue(cr), g = GetGValue(cr), b = GetBValue(cr);
    RGBQUAD* pal = Palette();
    for (int i = 0; i < m_wColors; ++i) {
        pal[i].rgbBlue = BYTE((pal[i].rgbBlue * keep + b * perc) / 100);
        pal[i].rgbGreen = BYTE((pal[i].rgbGreen * keep + g * perc) / 100);
        pal[i].rgbRed = BYTE((pal[i].rgbRed * keep + r * perc) / 100);
    }
}

void CDibBitmap::Clear(BYTE bval) {
    if (BYTE* bits = GetBits()) std::memset(bits, bval, m_bi.biSizeImage);
}

void CDibBitmap::SetPixelIndex(long x, long y, BYTE i) {
    if (!m_wColors || x < 0 || y < 0 || x >= m_bi.biWidth || y >= m_bi.biHeight) return;
    BYTE* row = GetBits() + size_t(m_bi.biHeight - y - 1) * m_dwLineWidth;
    // Rows of 1 and 4 bits hold several pixels per byte, leftmost in the high bits.
    switch (m_bi.biBitCount) {
        case 8: row[x] = i; break;
        case 4: {
            BYTE& b = row[x / 2];
            int shift = (x % 2) ? 0 : 4;
            b = BYTE((b & ~(0x0F << shift)) | ((i & 0x0F) << shift));
            break;
        }
        case 1: {
            BYTE& b = row[x / 8];
            BYTE bit = BYTE(0x80 >> (x % 8));
            b = (i & 1) ? BYTE(b | bit) : BYTE(b & ~bit);
            break;
        }
        default: break;
    }
}

BOOL CDibBitmap::Draw(HDC hDC, long xoffset, long yoffset) {
    if (!hDC || m_block.empty()) return FALSE;
    if (!m_hDibSection) {
        auto* info = reinterpret_cast<BITMAPINFO*>(m_block.data());
        m_hDibSection = ::CreateDIBSection(hDC, info, DIB_RGB_COLORS, &m_pSectionBits, nullptr, 0);
        if (!m_hDibSection || !m_pSectionBits) {
            if (m_hDibSection) ::DeleteObject(m_hDibSection);
            m_hDibSection = nullptr;
            m_pSectionBits = nullptr;
            return FALSE;
        }
        m_hMemDC = ::CreateCompatibleDC(hDC);
        if (!m_hMemDC) {
            ::DeleteObject(m_hDibSection);
            m_hDibSection = nullptr;
            m_pSectionBits = nullptr;
            return FALSE;
        }
        m_hOldBitmap = ::SelectObject(m_hMemDC, m_hDibSection);
    }
    std::memcpy(m_pSectionBits, GetBits(), m_bi.biSizeImage);
    // The palette may have been changed since the section was made.
    if (m_wColors) ::SetDIBColorTable(m_hMemDC, 0, m_wColors, Palette());
    ::GdiFlush();
    return ::BitBlt(hDC, int(xoffset), int(yoffset), int(m_bi.biWidth), int(m_bi.biHeight), m_hMemDC, 0, 0,
                    SRCCOPY);
}

BOOL CDibBitmap::WriteBMP(LPCSTR bmpFileName) {
    if (!bmpFileName || !*bmpFileName || m_block.empty()) return FALSE;
    BYTE header[14];
    Put16(header, 0x4D42);
    Put32(header + 2, GetSize() + 14);
    Put16(header + 6, 0);
    Put16(header + 8, 0);
    Put32(header + 10, DWORD(sizeof(BITMAPINFOHEADER)) + GetPaletteSize() + 14);
    std::FILE* f = std::fopen(bmpFileName, "wb");
    if (!f) return FALSE;
    bool ok = std::fwrite(header, 1, sizeof header, f) == sizeof header &&
              std::fwrite(m_block.data(), 1, m_block.size(), f) == m_block.size();
    ok = std::fclose(f) == 0 && ok;
    return ok ? TRUE : FALSE;
}
