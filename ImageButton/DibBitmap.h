// A small in-memory device-independent bitmap: one block holding the header, the palette and
// the pixel rows (bottom row first), with palette and pixel setters, a palette blend, drawing
// into a device context through a DIB section, and saving as a .bmp file.
#pragma once

#include <vector>

#include "windows.h"

class CDibBitmap {
public:
    CDibBitmap();
    ~CDibBitmap();
    CDibBitmap(const CDibBitmap&) = delete;
    CDibBitmap& operator=(const CDibBitmap&) = delete;

    // Frees what was there and allocates a new block; FALSE (and empty) for a size that is not
    // positive or too large to hold.
    BOOL Create(DWORD dwWidth, DWORD dwHeight, WORD wBitsPerPixel);
    BOOL Clone(const CDibBitmap* src);
    void Free();

    DWORD GetSize() const;
    DWORD GetPaletteSize() const;
    BYTE* GetBits() const;
    DWORD GetWidth() const { return DWORD(m_header.biWidth); }
    DWORD GetHeight() const { return DWORD(m_header.biHeight); }
    DWORD GetLineWidth() const { return m_dwRowBytes; }
    WORD GetNumColors() const { return m_wPaletteEntries; }
    WORD GetBitCount() const { return m_header.biBitCount; }

    void SetPaletteIndex(BYTE index, BYTE r, BYTE g, BYTE b);
    void SetGrayPalette();
    void BlendPalette(COLORREF cr, long nPercent);
    void Clear(BYTE byValue = 0);
    void SetPixelIndex(long x, long y, BYTE i);
    // FALSE when nothing could be drawn.
    BOOL Draw(HDC hDC, long x, long y);
    BOOL WriteBMP(LPCSTR lpszPath);

private:
    RGBQUAD* Palette() const;

    std::vector<BYTE> m_block;
    BITMAPINFOHEADER m_header;
    DWORD m_dwRowBytes;
    WORD m_wPaletteEntries;
    HBITMAP m_hDibSection;
    HDC m_hMemDC;
    HGDIOBJ m_hOldBitmap;
    void* m_pSectionBits;
};
