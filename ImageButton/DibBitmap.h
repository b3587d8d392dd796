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
    BOOL Create(DWORD dwWidth, DWORD dwHeight, WORD wBpp);
    BOOL Clone(const CDibBitmap* src);
    void Free();

    DWORD GetSize() const;
    DWORD GetPaletteSize() const;
    BYTE* GetBits() const;
    DWORD GetWidth() const { return DWORD(m_bi.biWidth); }
    DWORD GetHeight() const { return DWORD(m_bi.biHeight); }
    DWORD GetLineWidth() const { return m_dwLineWidth; }
    WORD GetNumColors() const { return m_wColors; }
    WORD GetBitCount() const { return m_bi.biBitCount; }

    void SetPaletteIndex(BYTE idx, BYTE r, BYTE g, BYTE b);
    void SetGrayPalette();
    void BlendPalette(COLORREF cr, long perc);
    void Clear(BYTE bval = 0);
    void SetPixelIndex(long x, long y, BYTE i);
    // FALSE when nothing could be drawn.
    BOOL Draw(HDC hDC, long xoffset, long yoffset);
    BOOL WriteBMP(LPCSTR bmpFileName);

private:
    RGBQUAD* Palette() const;

    std::vector<BYTE> m_block;
    BITMAPINFOHEADER m_bi;
    DWORD m_dwLineWidth;
    WORD m_wColors;
    HBITMAP m_hDibSection;
    HDC m_hMemDC;
    HGDIOBJ m_hOldBitmap;
    void* m_pSectionBits;
};
