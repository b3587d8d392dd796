// BMP and TGA readers and writers for CRasterImage, and the byte streams they work on.
// Skin files keep their pictures as whole BMP or TGA files; the skin Image object reaches these
// through CRasterImage::EncodeToMemory and CRasterImage::DecodeFromMemory.
#pragma once

#include "RasterImage.h"

#include <cstdio>

// A byte stream. Read and Write count whole elements; Seek origins are SEEK_SET (0), SEEK_CUR
// (1) and SEEK_END (2).
class CImageStream {
public:
    virtual ~CImageStream() = default;
    virtual bool Close() = 0;
    virtual size_t Read(void* buffer, size_t size, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t size, size_t count) = 0;
    virtual bool Seek(int64_t offset, int origin) = 0;
    virtual int64_t Tell() = 0;
    virtual int64_t Size() = 0;
    virtual bool Flush() = 0;
    virtual bool Eof() = 0;
    virtual long Error() = 0;
    virtual bool PutC(unsigned char c);  // a one-byte Write that must write one element
    virtual long GetC() = 0;             // the byte, or -1 at the end
};

// A stream over a C run-time FILE. Every operation on a missing FILE fails softly.
class CImageFileStream : public CImageStream {
public:
    explicit CImageFileStream(FILE* file, bool closeOnDestroy = false)
        : m_file(file), m_closeFile(closeOnDestroy) {}
    ~CImageFileStream() override { Close(); }
    bool Close() override;
    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Seek(int64_t offset, int origin) override;
    int64_t Tell() override;
    int64_t Size() override;
    bool Flush() override;
    bool Eof() override;
    long Error() override;
    bool PutC(unsigned char c) override;
    long GetC() override;

private:
    FILE* m_file;
    bool m_closeFile;
};

// A stream over a heap buffer: Open() for writing into a growing buffer of its own, Attach()
// for reading a caller's buffer (which stays the caller's).
class CImageMemoryStream : public CImageStream {
public:
    CImageMemoryStream() = default;
    CImageMemoryStream(const CImageMemoryStream&) = delete;
    CImageMemoryStream& operator=(const CImageMemoryStream&) = delete;
    ~CImageMemoryStream() override { Close(); }

    bool Open();
    void Attach(const BYTE* buffer, size_t size);
    // Hands the buffer to the caller (release with free) and forgets it.
    BYTE* Detach();
    BYTE* GetBuffer() const { return m_buffer; }
    size_t GetCapacity() const { return m_capacity; }

    bool Close() override;
    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Seek(int64_t offset, int origin) override;
    int64_t Tell() override;
    int64_t Size() override;
    bool Flush() override;
    bool Eof() override;
    long Error() override;
    long GetC() override;

private:
    BYTE* m_buffer = nullptr;
    size_t m_size = 0;  // bytes of valid data
    bool m_owns = false;
    size_t m_position = 0;
    size_t m_capacity = 0;
};

// Points at one pixel row of an image.
class CImageLineIterator {
public:
    explicit CImageLineIterator(CRasterImage* image = nullptr) { Attach(image); }
    void Attach(CRasterImage* image);
    bool SetRow(LONG y);  // 0 <= y <= height, else the row stays
    LONG GetRow() const { return m_y; }
    BYTE* GetRowPointer() const { return m_row; }

private:
    LONG m_x = 0;
    LONG m_y = 0;
    LONG m_dx = 0;
    LONG m_dy = 0;
    BYTE* m_row = nullptr;
    CRasterImage* m_image = nullptr;
};

// The Windows bitmap format (1 to 32 bits, RLE4, RLE8, bit fields; writes what the image holds).
class CBmpImageCodec : public CRasterImage {
public:
    CBmpImageCodec() : CRasterImage(RASTER_FORMAT_BMP) {}
    bool Encode(CImageStream* stream);
    bool Decode(CImageStream* stream);
    // Reads a 12, 40, 64-byte or larger info header into the 40-byte layout.
    bool ReadBitmapInfoHeader(CImageStream* stream, BITMAPINFOHEADER* bih);

private:
    bool DecodeRle(CImageStream* stream, bool rle4);
};

// The Truevision TGA format (colour-mapped, true colour 15/16/24/32, grey; raw or run-length).
// Writes 8-bit paletted or 24-bit images (32-bit when the image has an alpha plane).
class CTgaImageCodec : public CRasterImage {
public:
    CTgaImageCodec() : CRasterImage(RASTER_FORMAT_TGA) {}
    bool Encode(CImageStream* stream);
    bool Decode(CImageStream* stream);

private:
    // Reads n pixels of the stream's depth into dest (a pixel row), alpha at columns x0...
    void ExpandUncompressedLine(CImageStream* stream, BYTE* dest, LONG n, LONG y, LONG x0);
    // Expands one row of run-length packets; returns the packet header left over for the next
    // row (0xFF = none).
    BYTE ExpandCompressedLine(CImageStream* stream, BYTE* dest, LONG width, LONG y,
                              BYTE leftover);

    BYTE m_pixelDepth = 0;
    BYTE m_leftoverValue[4] = {};
};
