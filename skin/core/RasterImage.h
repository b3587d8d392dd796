// The skin engine's in-memory raster image: a bottom-up device-independent bitmap (header,
// palette, pixel rows) with an optional 8-bit alpha plane and a transparent colour, plus the
// operations that turn skin-file pictures into screen pixels.
//
// Coordinates: x from the left, y from the BOTTOM (row 0 of the pixel rows is the bottom line),
// except CRasterImage::Crop, which takes top-down rectangle coordinates.
// Depths held: 1, 4, 8 (paletted) and 24 (blue, green, red). Any other request is rounded up.
// Failures return false / null / 0 and leave a fixed English text in GetLastError().
// An image belongs to the thread that uses it; nothing here locks.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

class CImageStream;

// Image format codes of skin images and of the codecs.
enum : DWORD {
    RASTER_FORMAT_UNKNOWN = 0,  // when decoding: try BMP, then TGA
    RASTER_FORMAT_BMP = 1,
    RASTER_FORMAT_TGA = 2,
};

class CRasterImage {
public:
    // --- construction and ownership ---------------------------------------------------------
    explicit CRasterImage(DWORD imageType = 0);
    CRasterImage(LONG width, DWORD height, DWORD bpp, DWORD imageType = 0);
    CRasterImage(const CRasterImage& src, bool copyPixels = true, bool copySelection = true,
                 bool copyAlpha = true);
    CRasterImage& operator=(const CRasterImage& src);  // a full copy (pixels, selection, alpha)
    virtual ~CRasterImage();

    // Allocates a new DIB (any old one is freed, the alpha plane dropped); pixels are zeroed.
    // Returns the DIB block or null.
    void* Create(LONG width, DWORD height, DWORD bpp, DWORD imageType = 0);
    bool Destroy();
    void CopyFrom(const CRasterImage& src, bool copyPixels = true, bool copySelection = true,
                  bool copyAlpha = true);
    void CopySettings(const CRasterImage& src);  // only while this image has no DIB
    bool TakeOver(CRasterImage& src);             // moves src's buffers here; src is left empty
    void ShareFrom(const CRasterImage* src);      // this becomes a view of src (frees nothing)

    // --- GDI bridge (the platform layer's bitmaps and device contexts) ----------------------
    HBITMAP MakeBitmap(HDC hdc = nullptr) const;  // release with DeleteObject
    bool CreateFromHBITMAP(HBITMAP hbmp, HPALETTE hpal = nullptr);
    int Draw(HDC hdc, LONG x = 0, LONG y = 0, LONG cx = -1, LONG cy = -1,
             const RECT* clip = nullptr);
    int DrawTransparent(HDC hdc, LONG x = 0, LONG y = 0, LONG cx = -1, LONG cy = -1);
    int Stretch(HDC hdc, LONG x, LONG y, LONG cx, LONG cy);
    int Tile(HDC hdc, const RECT* rc);

    // --- creation from memory ---------------------------------------------------------------
    // From packed rows of 1, 4, 8, 24 or 32-bit pixels (rowBytes each, bottom row first
    // unless topRowFirst); 32-bit pixels keep their fourth byte as the alpha plane.
    bool CreateFromPackedRows(const BYTE* bits, DWORD width, DWORD height, DWORD bpp,
                              DWORD rowBytes, bool topRowFirst);
    // The same from one pointer per row (rows[0] is the bottom row unless topRowFirst).
    bool CreateFromRowPointers(const BYTE* const* rows, DWORD width, DWORD height, DWORD bpp,
                               DWORD rowBytes, bool topRowFirst);

    // --- geometry (false when the image has no DIB) -------------------------------------------
    // With a destination the result goes there and this image is unchanged; with null it
    // replaces this image.
    bool Flip();    // vertical
    bool Mirror();  // horizontal
    bool Rotate(float angle, CRasterImage* dst = nullptr);  // degrees, clockwise as seen
    bool Rotate180(CRasterImage* dst = nullptr);
    bool RotateLeft(CRasterImage* dst = nullptr);   // 90 degrees counter-clockwise
    bool RotateRight(CRasterImage* dst = nullptr);  // 90 degrees clockwise
    bool Crop(LONG left, LONG top, LONG right, LONG bottom, CRasterImage* dst = nullptr);
    // Resamples to newWidth x newHeight: mode 0 nearest neighbour, 1 bilinear, 2 cubic B-spline.
    // Paletted images become 24-bit except in mode 0.
    bool Resample(LONG newWidth, LONG newHeight, int mode = 1, CRasterImage* dst = nullptr);
    bool GrayScale();
    bool Negative();

    // --- header and settings -----------------------------------------------------------------
    bool IsValid() const { return m_dib != nullptr; }
    void* GetDIB() const { return m_dib; }
    const BITMAPINFOHEADER& GetHeader() const { return m_head; }
    DWORD GetWidth() const { return (DWORD)m_head.biWidth; }
    DWORD GetHeight() const { return (DWORD)m_head.biHeight; }
    WORD GetBpp() const { return m_head.biBitCount; }
    DWORD GetRowStride() const { return m_info.rowStride; }  // row stride in bytes
    DWORD GetNumColors() const { return m_head.biClrUsed; }
    DWORD GetType() const { return m_info.imageType; }
    DWORD GetSize() const;  // header + palette + pixel bytes (0 without a DIB)
    const char* GetLastError() const { return m_info.lastError; }
    void SetLastError(const char* text);
    LONG GetXDpi() const { return m_info.xDpi; }
    LONG GetYDpi() const { return m_info.yDpi; }
    void SetXDpi(LONG dpi);
    void SetYDpi(LONG dpi);
    BYTE GetJpegQuality() const { return m_info.quality; }
    void Enable(bool enable = true) { m_info.enabled = enable; }
    bool IsEnabled() const { return m_info.enabled; }
    LONG GetProgress() const { return m_info.progress; }
    void SetProgress(LONG percent) { m_info.progress = percent; }
    LONG GetEscape() const { return m_info.escape; }
    void SetEscape(LONG escape) { m_info.escape = escape; }
    const CRasterImage* GetViewOf() const { return m_info.viewOf; }

    // --- pixels, palette, transparency -----------------------------------------------------
    BYTE* GetBits(DWORD row = 0) const;  // first byte of a row (row 0 = bottom); null past the end
    bool IsInside(LONG x, LONG y) const;
    DWORD GetPaletteSize() const { return m_head.biClrUsed * 4; }
    RGBQUAD* GetPalette() const;
    RGBQUAD GetPaletteColor(BYTE index) const;
    void SetPaletteColor(BYTE index, BYTE r, BYTE g, BYTE b, BYTE alpha = 0);
    void SetPaletteColor(BYTE index, RGBQUAD color);
    void SetPaletteColor(BYTE index, COLORREF color);
    void SetPalette(const RGBQUAD* colors, DWORD count = 256);
    void SetPalette(const BYTE* red, const BYTE* green, const BYTE* blue, DWORD count = 256);
    void SetGrayPalette();
    void SetStdPalette();  // the standard 16- or 256-colour palette
    // Moves every palette entry toward cr by perc percent (capped at 100).
    void BlendPalette(COLORREF cr, LONG perc);
    // Swaps two palette entries and renumbers the pixels, so the picture looks the same.
    void ExchangePaletteEntries(BYTE first, BYTE second);
    bool HasGreyRamp() const;  // paletted, and the palette is the grey ramp
    BYTE GetNearestIndex(RGBQUAD color);
    BYTE GetPixelIndex(LONG x, LONG y) const;
    void SetPixelIndex(LONG x, LONG y, BYTE index);
    RGBQUAD GetPixelColor(LONG x, LONG y, bool getAlpha = true) const;
    void SetPixelColor(LONG x, LONG y, RGBQUAD color, bool setAlpha = false);
    void SetPixelColor(LONG x, LONG y, COLORREF color);
    BYTE GetPixelGray(LONG x, LONG y) const;
    bool IsTransparent(LONG x, LONG y) const;
    void DrawLine(LONG startX, LONG endX, LONG startY, LONG endY, RGBQUAD color,
                  bool setAlpha = false);
    void DrawLine(LONG startX, LONG endX, LONG startY, LONG endY, COLORREF color);

    LONG GetTransIndex() const { return m_info.transIndex; }
    void SetTransIndex(LONG index) { m_info.transIndex = index; }
    RGBQUAD GetTransColor() const;
    void SetTransColor(RGBQUAD color) { m_info.transColor = color; }
    bool IsTransparent() const { return m_info.transIndex >= 0; }

    // --- alpha plane (width x height bytes, bottom row first, 0 transparent, 255 opaque) ------
    bool AlphaCreate();
    void AlphaDelete();
    void AlphaClear();
    bool HasAlpha() const { return m_alpha != nullptr; }
    BYTE* AlphaPlaneAt(LONG x = 0, LONG y = 0) const;
    void AlphaSet(LONG x, LONG y, BYTE level);
    void AlphaSet(BYTE level);  // the whole plane
    bool AlphaSet(const CRasterImage& from);  // from a grey image of the same size
    BYTE AlphaGet(LONG x, LONG y) const;
    bool AlphaCopy(const CRasterImage& from);
    bool AlphaFlip();
    bool AlphaMirror();
    BYTE AlphaGetMax() const { return m_info.alphaMax; }
    void AlphaSetMax(BYTE max) { m_info.alphaMax = max; }
    bool AlphaPaletteIsEnabled() const { return m_info.paletteAlpha; }
    void AlphaPaletteEnable(bool enable = true) { m_info.paletteAlpha = enable; }
    void ClearPaletteAlpha();  // clears the fourth byte of every palette entry

    // --- codecs (format codes RASTER_FORMAT_*) --------------------------------------------
    bool Encode(CImageStream* stream, DWORD format);
    bool Encode(FILE* file, DWORD format);
    // *buffer must be null on entry; on success the caller owns it and releases it with free().
    bool EncodeToMemory(BYTE** buffer, LONG* size, DWORD format);
    bool Decode(CImageStream* stream, DWORD format);
    bool DecodeFromMemory(const BYTE* buffer, DWORD size, DWORD format);
    bool DecodeFile(FILE* file, DWORD format);  // the FILE stays open
    bool LoadPath(const char* path, DWORD format = RASTER_FORMAT_UNKNOWN);
    bool LoadPathW(const WCHAR* path, DWORD format = RASTER_FORMAT_UNKNOWN);
    bool SavePath(const char* path, DWORD format);
    // The memory a picture in these bytes will take once decoded (pixel rows, palette, alpha
    // plane, and the second copy a top-down BMP needs while it is turned), read from its header
    // alone; 0 when no reader would take the header. RASTER_FORMAT_UNKNOWN: the larger of the two.
    static uint64_t DecodedSizeOf(const BYTE* buffer, DWORD size, DWORD format);

protected:
    void InitFields(DWORD imageType);
    bool CheckEncodeArguments(CImageStream* stream);
    // Expands packed 16 or 32-bit pixels (in the pixel rows, rows of the packed stride) to 24
    // bits in place. Masks may be anything; each channel is scaled to 8 bits.
    void UnpackBitfields(BYTE* src, DWORD redMask, DWORD greenMask, DWORD blueMask, DWORD bpp);
    void UnpackBitfields(const BYTE* src, size_t srcSize, DWORD redMask, DWORD greenMask,
                         DWORD blueMask, DWORD bpp);
    void ResetNearestCache() { m_info.lastColorValid = false; }
    void CopyInfo(const CRasterImage& src);  // the settings, without the buffer pointers
    static size_t GetSizeFor(DWORD colors, uint64_t imageSize) {
        return sizeof(BITMAPINFOHEADER) + colors * 4 + (size_t)imageSize;
    }
    // Moves the finished temporary into dst, or into this image when dst is null.
    bool Deliver(CRasterImage& tmp, CRasterImage* dst);

    struct Info {
        DWORD rowStride;       // row stride in bytes
        BYTE* imageBits;      // first pixel row, inside the DIB block
        const CRasterImage* viewOf;  // set by ShareFrom: Destroy frees nothing
        CRasterImage* parent;        // never set here
        DWORD imageType;
        char lastError[256];
        LONG progress;
        LONG escape;
        LONG transIndex;  // -1: no transparency
        RGBQUAD transColor;
        BYTE quality;
        BYTE reserved;
        DWORD frame, numFrames, frameDelay;
        LONG xDpi, yDpi;
        RECT selectionBox;
        BYTE alphaMax;
        bool paletteAlpha;
        bool enabled;
        LONG xOffset, yOffset;
        DWORD codecOption;
        RGBQUAD lastColor;  // nearest-colour cache
        BYTE lastColorIndex;
        bool lastColorValid;
        LONG numLayers;
        DWORD flags;
    };

    void* m_dib;              // header + palette + pixel rows (malloc'd)
    BITMAPINFOHEADER m_head;  // copy of the header at the head of m_dib
    Info m_info;
    BYTE* m_selection;        // width x height bytes; only freed here
    BYTE* m_alpha;            // width x height bytes, or null
    CRasterImage** m_layers;  // numLayers owned images; only destroyed here
};
