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
    : m_header{},
      m_dwRowBytes(0),
      m_wPaletteEntries(0),
      m_hDibSection(nullptr),
      m_hMemDC(nullptr),
      m_hOldBitmap(nullptr),
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
    m_header = BITMAPINFOHEADER{};
    m_dwRowBytes = 0;
    m_wPaletteEntries = 0;
}

BOOL CDibBitmap::Create(DWORD dwWidth, DWORD dwHeight, WORD wBitsPerPixel) {
    Free();
    if (dwWidth == 0 || dwHeight == 0 || wBitsPerPixel == 0 || wBitsPerPixel > 32) return FALSE;
    uint64_t line = (uint64_t(wBitsPerPixel) * dwWidth + 31) / 32 * 4;
    uint64_t image = line * dwHeight;
    WORD colors = wBitsPerPixel == 1 ? 2 : wBitsPerPixel == 4 ? 16 : wBitsPerPixel == 8 ? 256 : 0;
    uint64_t total = sizeof(BITMAPINFOHEADER) + uint64_t(colors) * sizeof(RGBQUAD) + image;
    if (total > kMaxBlock) return FALSE;

    m_header.biSize = sizeof(BITMAPINFOHEADER);
    m_header.biWidth = LONG(dwWidth);
    m_header.biHeight = LONG(dwHeight);
    m_header.biPlanes = 1;
    m_header.biBitCount = wBitsPerPixel;
    m_header.biCompression = BI_RGB;
    m_header.biSizeImage = DWORD(image);
    m_dwRowBytes = DWORD(line);
    m_wPaletteEntries = colors;
    m_block.assign(size_t(total), 0);
    std::memcpy(m_block.data(), &m_header, sizeof m_header);
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

DWORD CDibBitmap::GetPaletteSize() const { return DWORD(m_wPaletteEntries) * sizeof(RGBQUAD); }

DWORD CDibBitmap::GetSize() const { return m_header.biSize + GetPaletteSize() + m_header.biSizeImage; }

RGBQUAD* CDibBitmap::Palette() const {
    if (m_block.empty()) return nullptr;
    return reinterpret_cast<RGBQUAD*>(const_cast<BYTE*>(m_block.data()) + sizeof(BITMAPINFOHEADER));
}

BYTE* CDibBitmap::GetBits() const {
    if (m_block.empty()) return nullptr;
    return const_cast<BYTE*>(m_block.data()) + sizeof(BITMAPINFOHEADER) + GetPaletteSize();
}

void CDibBitmap::SetPaletteIndex(BYTE index, BYTE r, BYTE g, BYTE b) {
    if (index >= m_wPaletteEntries) return;
    RGBQUAD& q = Palette()[index];
    q.rgbBlue = b;
    q.rgbGreen = g;
    q.rgbRed = r;
    q.rgbReserved = 0;
}

void CDibBitmap::SetGrayPalette() {
    if (!m_wPaletteEntries) return;
    RGBQUAD* pal = Palette();
    for (int i = 0; i < m_wPaletteEntries; ++i) pal[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    pal[0] = RGBQUAD{0, 0, 0, 0};
    pal[m_wPaletteEntries - 1] = RGBQUAD{255, 255, 255, 0};
}

void CDibBitmap::BlendPalette(COLORREF cr, long nPercent) {
    if (!m_wPaletteEntries) return;
    if (nPercent > 100) nPercent = 100;
    // A negative share would push channels outside 0..255.
    if (nPercent < 0) nPercent = 0;
    long keep = 100 - nPercent;
    long r = GetRValue(cr), g = GetGValue(cr), b = GetBValue(cr);
    RGBQUAD* pal = Palette();
    for (int i = 0; i < m_wPaletteEntries; ++i) {
        pal[i].rgbBlue = BYTE((pal[i].rgbBlue * keep + b * nPercent) / 100);
        pal[i].rgbGreen = BYTE((pal[i].rgbGreen * keep + g * nPercent) / 100);
        pal[i].rgbRed = BYTE((pal[i].rgbRed * keep + r * nPercent) / 100);
    }
}

void CDibBitmap::Clear(BYTE byValue) {
    if (BYTE* bits = GetBits()) std::memset(bits, byValue, m_header.biSizeImage);
}

void CDibBitmap::SetPixelIndex(long x, long y, BYTE i) {
    if (!m_wPaletteEntries || x < 0 || y < 0 || x >= m_header.biWidth || y >= m_header.biHeight) return;
    BYTE* row = GetBits() + size_t(m_header.biHeight - y - 1) * m_dwRowBytes;
    // Rows of 1 and 4 bits hold several pixels per byte, leftmost in the high bits.
    switch (m_header.biBitCount) {
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

BOOL CDibBitmap::Draw(HDC hDC, long x, long y) {
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
    std::memcpy(m_pSectionBits, GetBits(), m_header.biSizeImage);
    // The palette may have been changed since the section was made.
    if (m_wPaletteEntries) ::SetDIBColorTable(m_hMemDC, 0, m_wPaletteEntries, Palette());
    ::GdiFlush();
    return ::BitBlt(hDC, int(x), int(y), int(m_header.biWidth), int(m_header.biHeight), m_hMemDC, 0, 0, SRCCOPY);
}

BOOL CDibBitmap::WriteBMP(LPCSTR lpszPath) {
    if (!lpszPath || !*lpszPath || m_block.empty()) return FALSE;
    BYTE header[14];
    Put16(header, 0x4D42);
    Put32(header + 2, GetSize() + 14);
    Put16(header + 6, 0);
    Put16(header + 8, 0);
    Put32(header + 10, DWORD(sizeof(BITMAPINFOHEADER)) + GetPaletteSize() + 14);
    std::FILE* f = std::fopen(lpszPath, "wb");
    if (!f) return FALSE;
    bool ok = std::fwrite(header, 1, sizeof header, f) == sizeof header &&
              std::fwrite(m_block.data(), 1, m_block.size(), f) == m_block.size();
    ok = std::fclose(f) == 0 && ok;
    return ok ? TRUE : FALSE;
}
