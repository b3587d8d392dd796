// BMP and TGA readers and writers, and CRasterImage's format dispatch.
//
// Every length, count, offset and run taken from a file is checked against the image and the
// stream before it is used: hostile headers fail with the reader's error text, and writes that
// would leave the pixel rows are dropped.
#include "ImageCodecs.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kWriteFailed[] = "Encode: write failed";

// Reader failures travel as a text to the decoder's single exit.
struct DecodeError {
    const char* text;
};

WORD Le16(const BYTE* p) { return (WORD)(p[0] | (p[1] << 8)); }
DWORD Le32(const BYTE* p) {
    return (DWORD)p[0] | ((DWORD)p[1] << 8) | ((DWORD)p[2] << 16) | ((DWORD)p[3] << 24);
}
void Put16(BYTE* p, WORD v) {
    p[0] = (BYTE)v;
    p[1] = (BYTE)(v >> 8);
}
void Put32(BYTE* p, DWORD v) {
    for (int i = 0; i < 4; ++i) p[i] = (BYTE)(v >> (8 * i));
}

// The BMP header sizes whose layout is known beyond the first 40 bytes: the colour masks
// follow at byte 40 (V2 and later).
bool IsKnownV2Plus(DWORD size) { return size == 52 || size == 56 || size == 108 || size == 124; }

}  // namespace

// --- CRasterImage: dispatch -----------------------------------------------------------------

bool CRasterImage::CheckEncodeArguments(CImageStream* stream) {
    if (!stream) {
        SetLastError("null file handler");
        return false;
    }
    if (!m_dib) {
        SetLastError("null image!!!");
        return false;
    }
    return true;
}

bool CRasterImage::Encode(CImageStream* stream, DWORD format) {
    if (format == RASTER_FORMAT_BMP) {
        CBmpImageCodec codec;
        codec.ShareFrom(this);
        if (codec.Encode(stream)) return true;
        SetLastError(codec.GetLastError());
        return false;
    }
    if (format == RASTER_FORMAT_TGA) {
        CTgaImageCodec codec;
        codec.ShareFrom(this);
        if (codec.Encode(stream)) return true;
        SetLastError(codec.GetLastError());
        return false;
    }
    SetLastError("Encode: Unknown format");
    return false;
}

bool CRasterImage::Encode(FILE* file, DWORD format) {
    CImageFileStream stream(file);
    return Encode(file ? &stream : nullptr, format);
}

bool CRasterImage::EncodeToMemory(BYTE** buffer, LONG* size, DWORD format) {
    if (!buffer || *buffer || !size) return false;
    CImageMemoryStream stream;
    if (!stream.Open()) return false;
    if (!Encode(&stream, format)) return false;  // the stream frees its buffer
    const int64_t n = stream.Size();
    if (n < 0 || n > 0x7FFFFFFF) return false;
    *size = (LONG)n;
    *buffer = stream.Detach();
    return true;
}

bool CRasterImage::Decode(CImageStream* stream, DWORD format) {
    if (!stream) return false;
    if (format == RASTER_FORMAT_UNKNOWN) {
        const int64_t pos = stream->Tell();
        {
            CBmpImageCodec codec;
            codec.CopySettings(*this);
            if (codec.Decode(stream)) return TakeOver(codec);
        }
        stream->Seek(pos, SEEK_SET);
        {
            CTgaImageCodec codec;
            codec.CopySettings(*this);
            if (codec.Decode(stream)) return TakeOver(codec);
        }
        stream->Seek(pos, SEEK_SET);
        SetLastError("Decode: Unknown or wrong format");
        return false;
    }
    if (format == RASTER_FORMAT_BMP) {
        CBmpImageCodec codec;
        codec.CopySettings(*this);
        if (codec.Decode(stream)) return TakeOver(codec);
        SetLastError(codec.GetLastError());
        return false;
    }
    if (format == RASTER_FORMAT_TGA) {
        CTgaImageCodec codec;
        codec.CopySettings(*this);
        if (codec.Decode(stream)) return TakeOver(codec);
        SetLastError(codec.GetLastError());
        return false;
    }
    SetLastError("Decode: Unknown or wrong format");
    return false;
}

bool CRasterImage::DecodeFromMemory(const BYTE* buffer, DWORD size, DWORD format) {
    CImageMemoryStream stream;
    stream.Attach(buffer, size);
    return Decode(&stream, format);
}

bool CRasterImage::DecodeFile(FILE* file, DWORD format) {
    if (!file) return false;
    CImageFileStream stream(file);
    return Decode(&stream, format);
}

bool CRasterImage::LoadPath(const char* path, DWORD format) {
    if (!path) return false;
    if (format == RASTER_FORMAT_BMP || format == RASTER_FORMAT_TGA) {
        FILE* f = std::fopen(path, "rb");
        if (!f) return false;
        const bool ok = DecodeFile(f, format);
        std::fclose(f);
        if (ok) return true;
    }
    // Then whatever the bytes turn out to be; a named format's own error text wins.
    std::string kept = m_info.lastError;
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    const bool ok = DecodeFile(f, RASTER_FORMAT_UNKNOWN);
    std::fclose(f);
    if (!ok && (format == RASTER_FORMAT_BMP || format == RASTER_FORMAT_TGA))
        SetLastError(kept.c_str());
    return ok;
}

bool CRasterImage::LoadPathW(const WCHAR* path, DWORD format) {
    if (!path) return false;
    // File names are UTF-8 on this platform.
    std::string utf8;
    for (size_t i = 0; path[i]; ++i) {
        uint32_t c = path[i];
        if (c >= 0xD800 && c < 0xDC00 && path[i + 1] >= 0xDC00 && path[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (path[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            utf8 += (char)c;
        } else if (c < 0x800) {
            utf8 += (char)(0xC0 | (c >> 6));
            utf8 += (char)(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            utf8 += (char)(0xE0 | (c >> 12));
            utf8 += (char)(0x80 | ((c >> 6) & 0x3F));
            utf8 += (char)(0x80 | (c & 0x3F));
        } else {
            utf8 += (char)(0xF0 | (c >> 18));
            utf8 += (char)(0x80 | ((c >> 12) & 0x3F));
            utf8 += (char)(0x80 | ((c >> 6) & 0x3F));
            utf8 += (char)(0x80 | (c & 0x3F));
        }
    }
    return LoadPath(utf8.c_str(), format);
}

bool CRasterImage::SavePath(const char* path, DWORD format) {
    if (!path) return false;
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    const bool ok = Encode(f, format);
    return std::fclose(f) == 0 && ok;
}

namespace {

// Bytes of the pixel rows and palette of a picture stored at the depth the image class holds.
uint64_t StoredSize(uint64_t width, uint64_t height, DWORD bpp) {
    const DWORD depth = bpp <= 1 ? 1 : bpp <= 4 ? 4 : bpp <= 8 ? 8 : 24;
    const uint64_t colors = depth == 24 ? 0 : (1u << depth);
    return sizeof(BITMAPINFOHEADER) + colors * 4 + (width * depth + 31) / 32 * 4 * height;
}

uint64_t BmpDecodedSize(const BYTE* buffer, DWORD size) {
    CImageMemoryStream stream;
    stream.Attach(buffer, size);
    BYTE fh[14];
    if (stream.Read(fh, 14, 1) != 1) return 0;
    if (Le16(fh) != 0x4D42) stream.Seek(0, SEEK_SET);
    BITMAPINFOHEADER bih;
    CBmpImageCodec reader;
    if (!reader.ReadBitmapInfoHeader(&stream, &bih)) return 0;
    const uint64_t height = (uint64_t)std::llabs((long long)bih.biHeight);
    uint64_t bytes = StoredSize((uint32_t)bih.biWidth, height, bih.biBitCount);
    if (bih.biBitCount == 32) bytes += (uint64_t)(uint32_t)bih.biWidth * height * 4;  // packed rows
    return bih.biHeight < 0 ? 2 * bytes : bytes;
}

uint64_t TgaDecodedSize(const BYTE* buffer, DWORD size) {
    if (size < 18) return 0;
    const BYTE type = buffer[2], depth = buffer[16];
    if (type == 0 || (type > 3 && type < 9) || type > 11) return 0;
    const uint64_t width = Le16(buffer + 12), height = Le16(buffer + 14);
    uint64_t bytes = StoredSize(width, height, depth);
    if (depth == 32) bytes += width * height;  // the alpha plane
    return (buffer[17] & 0x10) ? 2 * bytes : bytes;  // mirrored through a second copy
}

}  // namespace

uint64_t CRasterImage::DecodedSizeOf(const BYTE* buffer, DWORD size, DWORD format) {
    if (!buffer) return 0;
    if (format == RASTER_FORMAT_BMP) return BmpDecodedSize(buffer, size);
    if (format == RASTER_FORMAT_TGA) return TgaDecodedSize(buffer, size);
    return std::max(BmpDecodedSize(buffer, size), TgaDecodedSize(buffer, size));
}

// --- BMP ------------------------------------------------------------------------------------

bool CBmpImageCodec::ReadBitmapInfoHeader(CImageStream* stream, BITMAPINFOHEADER* bih) {
    if (!stream || !bih) return false;
    // The size word first: a small file with the 12-byte core header may end before 40 bytes.
    BYTE b[40];
    if (stream->Read(b, 4, 1) != 1) return false;
    const DWORD size = Le32(b);
    std::memset(bih, 0, sizeof(*bih));
    bih->biSize = size;
    if (size == 12) {
        // The old core header: 16-bit width and height, then planes and bit count.
        if (stream->Read(b + 4, 8, 1) != 1) return false;
        bih->biWidth = Le16(b + 4);
        bih->biHeight = Le16(b + 6);
        bih->biPlanes = Le16(b + 8);
        bih->biBitCount = Le16(b + 10);
    } else {
        if (size < 40 || stream->Read(b + 4, 36, 1) != 1) return false;
        bih->biWidth = (LONG)Le32(b + 4);
        bih->biHeight = (LONG)Le32(b + 8);
        bih->biPlanes = Le16(b + 12);
        bih->biBitCount = Le16(b + 14);
        bih->biCompression = Le32(b + 16);
        bih->biSizeImage = Le32(b + 20);
        bih->biXPelsPerMeter = (LONG)Le32(b + 24);
        bih->biYPelsPerMeter = (LONG)Le32(b + 28);
        bih->biClrUsed = Le32(b + 32);
        bih->biClrImportant = Le32(b + 36);
        if (size == 64) {
            if (!stream->Seek(24, SEEK_CUR)) return false;
        } else if (size > 40 && !IsKnownV2Plus(size)) {
            // An unknown longer header is trusted only when it describes a plain picture.
            const uint64_t expect =
                ((uint64_t)bih->biBitCount * (uint32_t)bih->biWidth + 31) / 32 *
                (uint64_t)(uint32_t)bih->biHeight * 4;
            if (bih->biSizeImage != expect || bih->biPlanes != 1 ||
                bih->biCompression != BI_RGB || bih->biClrUsed != 0)
                return false;
            if (!stream->Seek((int64_t)size - 40, SEEK_CUR)) return false;
        }
        // Known V2..V5 headers: the caller reads the colour masks that follow and skips the rest.
    }
    if (bih->biWidth <= 0 || bih->biHeight == 0 || bih->biHeight == INT32_MIN) return false;
    const uint64_t absHeight = (uint64_t)std::llabs((long long)bih->biHeight);
    if (bih->biSizeImage == 0 && bih->biCompression == BI_RGB)
        bih->biSizeImage =
            (DWORD)std::min<uint64_t>(((uint64_t)bih->biBitCount * bih->biWidth + 31) / 32 * 4 *
                                          absHeight,
                                      0xFFFFFFFFu);
    if (bih->biClrUsed == 0 && bih->biBitCount <= 8) bih->biClrUsed = 1u << bih->biBitCount;
    return true;
}

bool CBmpImageCodec::Decode(CImageStream* stream) {
    if (!stream) return false;
    try {
        const int64_t start = stream->Tell();
        BYTE fh[14];
        if (stream->Read(fh, 14, 1) != 1) throw DecodeError{"Not a BMP"};
        DWORD offBits = 0;
        if (Le16(fh) == 0x4D42) {
            offBits = Le32(fh + 10);
        } else {
            // A bare DIB without the file header.
            if (!stream->Seek(start, SEEK_SET)) throw DecodeError{"Not a BMP"};
        }
        BITMAPINFOHEADER bih;
        if (!ReadBitmapInfoHeader(stream, &bih)) throw DecodeError{"Error reading BMP info"};
        const bool oldFormat = bih.biSize == 12;
        const DWORD headerSize = bih.biSize;
        const WORD bpp = bih.biBitCount;
        if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
            throw DecodeError{"Error reading BMP info"};
        const bool topDown = bih.biHeight < 0;
        const DWORD height = (DWORD)std::llabs((long long)bih.biHeight);

        // Colour masks of bit-field pictures: inside the longer headers, after the 40-byte one.
        DWORD masks[3] = {0, 0, 0};
        if (IsKnownV2Plus(headerSize)) {
            BYTE m[12];
            if (stream->Read(m, 12, 1) != 1) throw DecodeError{"Error reading BMP info"};
            for (int i = 0; i < 3; ++i) masks[i] = Le32(m + 4 * i);
            if (!stream->Seek((int64_t)headerSize - 52, SEEK_CUR))
                throw DecodeError{"Error reading BMP info"};
        }

        if (!Create(bih.biWidth, height, bpp, RASTER_FORMAT_BMP))
            throw DecodeError{"Can't allocate memory"};
        SetXDpi((LONG)std::floor(bih.biXPelsPerMeter * 0.0254 + 0.5));
        SetYDpi((LONG)std::floor(bih.biYPelsPerMeter * 0.0254 + 0.5));
        if (m_info.escape) throw DecodeError{"Cancelled"};

        if (RGBQUAD* pal = GetPalette()) {
            // The file may list more colours than the depth can index: keep what fits, skip
            // the rest.
            const uint64_t listed = bih.biClrUsed ? bih.biClrUsed : (1u << bpp);
            const DWORD n = (DWORD)std::min<uint64_t>(listed, m_head.biClrUsed);
            const DWORD entry = oldFormat ? 3 : 4;
            BYTE raw[256 * 4] = {};
            stream->Read(raw, 1, (size_t)n * entry);
            for (DWORD i = 0; i < n; ++i) {
                pal[i].rgbBlue = raw[i * entry];
                pal[i].rgbGreen = raw[i * entry + 1];
                pal[i].rgbRed = raw[i * entry + 2];
                pal[i].rgbReserved = 0;
            }
            if (listed > n && !offBits) stream->Seek((int64_t)(listed - n) * entry, SEEK_CUR);
            ResetNearestCache();
            if (m_info.escape) throw DecodeError{"Cancelled"};
        }

        const DWORD comp = bih.biCompression;
        if ((bpp == 16 || bpp == 32) && comp == BI_BITFIELDS && !IsKnownV2Plus(headerSize)) {
            BYTE m[12];
            if (stream->Read(m, 12, 1) != 1) throw DecodeError{"Error reading BMP info"};
            for (int i = 0; i < 3; ++i) masks[i] = Le32(m + 4 * i);
        }
        // Without a pixel offset the pixels follow the colour table, which true-colour pictures
        // may carry too.
        if (!offBits && bpp > 8 && bih.biClrUsed)
            stream->Seek((int64_t)bih.biClrUsed * (oldFormat ? 3 : 4), SEEK_CUR);
        if (offBits && !stream->Seek(start + offBits, SEEK_SET)) throw DecodeError{"Not a BMP"};

        const size_t imageBytes = m_head.biSizeImage;  // what this image holds
        switch (bpp) {
        case 1:
        case 4:
        case 8:
            if (comp == BI_RGB)
                stream->Read(m_info.imageBits, 1, imageBytes);
            else if ((comp == BI_RLE8 && bpp == 8) || (comp == BI_RLE4 && bpp == 4))
                DecodeRle(stream, comp == BI_RLE4);
            else
                throw DecodeError{"compression type not supported"};
            break;
        case 16: {
            if (comp != BI_RGB && comp != BI_BITFIELDS) throw DecodeError{"unknown compression"};
            if (comp != BI_BITFIELDS) {
                masks[0] = 0x7C00;
                masks[1] = 0x03E0;
                masks[2] = 0x001F;
            }
            // The packed rows fit inside the 24-bit rows and are widened in place.
            const size_t packed = ((size_t)GetWidth() + 1) / 2 * 4 * height;
            stream->Read(m_info.imageBits, 1, packed);
            UnpackBitfields(m_info.imageBits, packed, masks[0], masks[1], masks[2], 16);
            break;
        }
        case 24:
            if (comp != BI_RGB) throw DecodeError{"unknown compression"};
            stream->Read(m_info.imageBits, 1, imageBytes);
            break;
        case 32: {
            if (comp != BI_RGB && comp != BI_BITFIELDS) throw DecodeError{"unknown compression"};
            if (comp != BI_BITFIELDS) {
                masks[0] = 0x00FF0000;
                masks[1] = 0x0000FF00;
                masks[2] = 0x000000FF;
            }
            const size_t packed = (size_t)GetWidth() * height * 4;
            BYTE* buf = (BYTE*)std::calloc(packed, 1);
            if (!buf) throw DecodeError{"can't allocate memory"};
            stream->Read(buf, 1, packed);
            UnpackBitfields(buf, packed, masks[0], masks[1], masks[2], 32);
            std::free(buf);
            break;
        }
        }
        if (topDown) Flip();
        return true;
    } catch (const DecodeError& e) {
        SetLastError(e.text);
        return false;
    }
}

// RLE8 and RLE4. Positions are pixels; a run or literal that would leave the picture is
// dropped pixel by pixel, and the data ending without an end-of-bitmap mark ends the picture
// as it stands, as a short uncompressed file does.
bool CBmpImageCodec::DecodeRle(CImageStream* stream, bool rle4) {
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    LONG x = 0, y = 0;
    BYTE buf[256];
    for (;;) {
        BYTE pair[2];
        if (stream->Read(pair, 2, 1) != 1) return true;
        if (pair[0] != 0) {
            // A run of count pixels; in RLE4 the value's two nibbles alternate, high first.
            const BYTE v = pair[1];
            for (int i = 0; i < pair[0]; ++i, ++x) {
                const BYTE index = rle4 ? (BYTE)((i & 1) ? (v & 0x0F) : (v >> 4)) : v;
                if (x < w && y < h) SetPixelIndex(x, y, index);
            }
            continue;
        }
        switch (pair[1]) {
        case 0:  // end of line
            x = 0;
            ++y;
            break;
        case 1:  // end of bitmap
            return true;
        case 2: {  // delta
            BYTE d[2];
            if (stream->Read(d, 2, 1) != 1) return true;
            x += d[0];
            y += d[1];
            break;
        }
        default: {  // literal pixels, padded to a 16-bit boundary
            const int n = pair[1];
            const int bytes = rle4 ? (n + 1) / 2 : n;
            const int padded = bytes + (bytes & 1);
            const size_t got = stream->Read(buf, 1, (size_t)padded);
            for (int i = 0; i < n; ++i, ++x) {
                if ((size_t)(rle4 ? i / 2 : i) >= got) return true;
                const BYTE b = buf[rle4 ? i / 2 : i];
                const BYTE index = rle4 ? (BYTE)((i & 1) ? (b & 0x0F) : (b >> 4)) : b;
                if (x < w && y < h) SetPixelIndex(x, y, index);
            }
            break;
        }
        }
        if (y >= h) return true;  // nothing below can be written any more
        if (x > w) x = w;         // keeps x small however many runs a hostile line holds
    }
}

bool CBmpImageCodec::Encode(CImageStream* stream) {
    if (!CheckEncodeArguments(stream)) return false;
    const DWORD offBits = GetPaletteSize() + sizeof(BITMAPINFOHEADER) + 14;
    BYTE fh[14];
    Put16(fh, 0x4D42);
    Put32(fh + 2, GetSize() + 14);
    Put16(fh + 6, 0);
    Put16(fh + 8, 0);
    Put32(fh + 10, offBits);
    // The block's header is this image's header as it stands now (resolution included).
    BYTE ih[40];
    Put32(ih, 40);
    Put32(ih + 4, (DWORD)m_head.biWidth);
    Put32(ih + 8, (DWORD)m_head.biHeight);
    Put16(ih + 12, 1);
    Put16(ih + 14, m_head.biBitCount);
    Put32(ih + 16, BI_RGB);
    Put32(ih + 20, m_head.biSizeImage);
    Put32(ih + 24, (DWORD)m_head.biXPelsPerMeter);
    Put32(ih + 28, (DWORD)m_head.biYPelsPerMeter);
    Put32(ih + 32, m_head.biClrUsed);
    Put32(ih + 36, m_head.biClrImportant);
    std::memcpy(m_dib, ih, 40);
    // A stream that takes fewer bytes than it is given (a full disk, a buffer that cannot
    // grow) must not pass for a written picture.
    if (stream->Write(fh, 1, 14) != 14 || stream->Write(m_dib, 1, GetSize()) != GetSize()) {
        SetLastError(kWriteFailed);
        return false;
    }
    return true;
}

// --- TGA ------------------------------------------------------------------------------------

bool CTgaImageCodec::Decode(CImageStream* stream) {
    if (!stream) return false;
    try {
        BYTE h[18];
        if (stream->Read(h, 18, 1) != 1) throw DecodeError{"Not a TGA"};
        const BYTE idLength = h[0], mapType = h[1], type = h[2];
        const WORD mapFirst = Le16(h + 3), mapLength = Le16(h + 5);
        const BYTE mapEntrySize = h[7];
        const WORD width = Le16(h + 12), height = Le16(h + 14);
        const BYTE depth = h[16], descriptor = h[17];
        if (type == 0 || (type > 3 && type < 9) || type > 11)
            throw DecodeError{"Unknown TGA image type"};
        const bool compressed = type >= 9;
        const BYTE kind = compressed ? (BYTE)(type - 8) : type;  // 1 mapped, 2 true colour, 3 grey
        if (width == 0 || height == 0 || depth == 0 || mapLength > 256 ||
            (depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32))
            throw DecodeError{"bad TGA header"};
        // Index and grey pixels are bytes; true-colour pixels are 15 bits or more.
        if ((kind != 2) != (depth == 8)) throw DecodeError{"bad TGA header"};
        if (kind == 1 && (mapType == 0 || (DWORD)mapFirst + mapLength > 256))
            throw DecodeError{"bad TGA header"};

        stream->Seek(idLength, SEEK_CUR);
        if (!Create(width, height, depth, RASTER_FORMAT_TGA) || (depth == 32 && !AlphaCreate()))
            throw DecodeError{"TGA Create failed"};
        if (m_info.escape) throw DecodeError{"Cancelled"};
        m_pixelDepth = depth;

        if (mapType != 0) {
            const DWORD entryBytes = mapEntrySize ? (mapEntrySize + 7u) / 8u : 3u;
            if (kind == 1) {
                BYTE raw[256 * 4] = {};
                if (entryBytes > 4) throw DecodeError{"bad TGA header"};
                stream->Read(raw, entryBytes, mapLength);
                for (DWORD i = 0; i < mapLength; ++i) {
                    const BYTE* e = raw + i * entryBytes;
                    RGBQUAD c = {0, 0, 0, 0};
                    if (entryBytes == 2) {
                        const WORD v = Le16(e);
                        c.rgbBlue = (BYTE)((v & 0x1F) << 3);
                        c.rgbGreen = (BYTE)((v >> 2) & 0xF8);
                        c.rgbRed = (BYTE)((v >> 7) & 0xF8);
                    } else if (entryBytes >= 3) {
                        c.rgbBlue = e[0];
                        c.rgbGreen = e[1];
                        c.rgbRed = e[2];
                    }
                    SetPaletteColor((BYTE)(mapFirst + i), c);
                }
            } else {
                // A colour map beside true-colour or grey pixels has no use here.
                stream->Seek((int64_t)entryBytes * mapLength, SEEK_CUR);
            }
        }
        if (kind == 3) SetGrayPalette();

        const bool rightToLeft = (descriptor & 0x10) != 0;
        const bool topToBottom = (descriptor & 0x20) != 0;
        BYTE leftover = 0xFF;
        for (LONG y = 0; y < height; ++y) {
            if (m_info.escape) throw DecodeError{"Cancelled"};
            // A run carried over from the last row needs no more bytes.
            if (leftover == 0xFF && stream->Eof()) throw DecodeError{"corrupted TGA"};
            const LONG row = topToBottom ? height - 1 - y : y;
            BYTE* dest = GetBits(row);
            if (!compressed)
                ExpandUncompressedLine(stream, dest, width, row, 0);
            else
                leftover = ExpandCompressedLine(stream, dest, width, row, leftover);
        }
        if (rightToLeft) Mirror();
        return true;
    } catch (const DecodeError& e) {
        SetLastError(e.text);
        return false;
    }
}

namespace {

// One TGA pixel value into 24-bit (or index) bytes; returns the alpha byte (255 when none).
BYTE StorePixel(const BYTE* src, BYTE depth, BYTE* dest) {
    switch (depth) {
    case 8: dest[0] = src[0]; return 255;
    case 15:
    case 16: {
        const WORD w = Le16(src);
        dest[0] = (BYTE)((w & 0x1F) << 3);
        dest[1] = (BYTE)((w >> 2) & 0xF8);
        dest[2] = (BYTE)((w >> 7) & 0xF8);
        return 255;
    }
    case 24: std::memcpy(dest, src, 3); return 255;
    default: std::memcpy(dest, src, 3); return src[3];
    }
}

}  // namespace

void CTgaImageCodec::ExpandUncompressedLine(CImageStream* stream, BYTE* dest, LONG n, LONG y,
                                            LONG x0) {
    const size_t in = (m_pixelDepth + 7u) / 8u;
    const size_t out = m_pixelDepth == 8 ? 1 : 3;
    BYTE raw[4 * 128];
    // In chunks of up to 128 pixels: one read per chunk rather than per pixel.
    for (LONG done = 0; done < n;) {
        const LONG chunk = std::min<LONG>(n - done, 128);
        const size_t got = stream->Read(raw, in, (size_t)chunk);
        for (size_t i = 0; i < got; ++i) {
            const BYTE a = StorePixel(raw + i * in, m_pixelDepth, dest + (done + i) * out);
            if (m_pixelDepth == 32) AlphaSet(x0 + done + (LONG)i, y, a);
        }
        if (got < (size_t)chunk) return;  // short data ends the line quietly
        done += chunk;
    }
}

BYTE CTgaImageCodec::ExpandCompressedLine(CImageStream* stream, BYTE* dest, LONG width, LONG y,
                                          BYTE leftover) {
    const size_t in = (m_pixelDepth + 7u) / 8u;
    const size_t out = m_pixelDepth == 8 ? 1 : 3;
    LONG x = 0;
    while (x < width) {
        BYTE header;
        bool carried = false;
        if (leftover != 0xFF) {
            header = leftover;
            leftover = 0xFF;
            carried = true;
        } else {
            const long c = stream->GetC();
            if (c < 0) return 0xFF;
            header = (BYTE)c;
        }
        LONG count = (header & 0x7F) + 1;
        const LONG room = width - x;
        if (header & 0x80) {
            // A run: one value repeated. Past the row end, the rest continues the next row with
            // the same value, which is kept here instead of being read again.
            if (count > room) {
                leftover = (BYTE)(0x80 + (count - room) - 1);
                count = room;
            }
            if (!carried && stream->Read(m_leftoverValue, in, 1) != 1) return 0xFF;
            BYTE px[3];
            const BYTE a = StorePixel(m_leftoverValue, m_pixelDepth, px);
            for (LONG i = 0; i < count; ++i) {
                std::memcpy(dest + (x + i) * out, px, out);
                if (m_pixelDepth == 32) AlphaSet(x + i, y, a);
            }
        } else {
            if (count > room) {
                leftover = (BYTE)(count - room - 1);
                count = room;
            }
            ExpandUncompressedLine(stream, dest + x * out, count, y, x);
        }
        x += count;
    }
    return leftover;
}

bool CTgaImageCodec::Encode(CImageStream* stream) {
    if (!CheckEncodeArguments(stream)) return false;
    const WORD bpp = m_head.biBitCount;
    if (bpp < 8) {
        SetLastError("Bit depth must be 8 or 24");
        return false;
    }
    if (m_head.biWidth > 0xFFFF || m_head.biHeight > 0xFFFF) {
        SetLastError("Image too large for TGA");
        return false;
    }
    const bool withAlpha = bpp == 24 && m_alpha;
    BYTE h[18] = {};
    h[1] = GetPalette() ? 1 : 0;
    h[2] = bpp == 8 ? 1 : 2;
    Put16(h + 5, bpp == 8 ? 256 : 0);
    h[7] = bpp == 8 ? 24 : 0;
    Put16(h + 12, (WORD)m_head.biWidth);
    Put16(h + 14, (WORD)m_head.biHeight);
    h[16] = withAlpha ? 32 : (BYTE)bpp;
    // Eight attribute (alpha) bits per pixel when there is an alpha channel.
    h[17] = withAlpha ? 8 : 0;
    bool written = stream->Write(h, 1, 18) == 18;
    if (bpp == 8) {
        BYTE map[256 * 3];
        const RGBQUAD* pal = GetPalette();
        for (int i = 0; i < 256; ++i) {
            map[3 * i] = pal[i].rgbBlue;
            map[3 * i + 1] = pal[i].rgbGreen;
            map[3 * i + 2] = pal[i].rgbRed;
        }
        written = written && stream->Write(map, 1, sizeof(map)) == sizeof(map);
    }
    const LONG w = m_head.biWidth;
    if (withAlpha) {
        BYTE* line = (BYTE*)std::malloc((size_t)w * 4);
        if (!line) {
            SetLastError("can't allocate memory");
            return false;
        }
        for (LONG y = 0; y < m_head.biHeight; ++y) {
            const BYTE* s = GetBits(y);
            for (LONG x = 0; x < w; ++x) {
                std::memcpy(line + 4 * x, s + 3 * x, 3);
                line[4 * x + 3] = (BYTE)(AlphaGet(x, y) * m_info.alphaMax / 255);
            }
            written = written && stream->Write(line, 1, (size_t)w * 4) == (size_t)w * 4;
        }
        std::free(line);
    } else {
        const size_t row = (size_t)w * bpp / 8;
        for (LONG y = 0; y < m_head.biHeight; ++y)
            written = written && stream->Write(GetBits(y), 1, row) == row;
    }
    if (!written) {
        SetLastError(kWriteFailed);
        return false;
    }
    return true;
}
