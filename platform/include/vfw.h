// This project's platform layer: the video-for-windows subset (AVI files and streams, frame
// readers, and drawing of device-independent bitmaps) that the layer provides under the
// module names "avifil32.dll" and "msvfw32.dll".
#pragma once

#include "unknwn.h"
#include "windows.h"

#define VFWAPI WINAPI_EXPORT

#ifndef mmioFOURCC
#define mmioFOURCC(c0, c1, c2, c3) \
    ((DWORD)(BYTE)(c0) | ((DWORD)(BYTE)(c1) << 8) | ((DWORD)(BYTE)(c2) << 16) | ((DWORD)(BYTE)(c3) << 24))
#endif
#define streamtypeVIDEO mmioFOURCC('v', 'i', 'd', 's')
#define streamtypeAUDIO mmioFOURCC('a', 'u', 'd', 's')

#ifndef OF_READ
#define OF_READ 0x00000000
#define OF_WRITE 0x00000001
#define OF_READWRITE 0x00000002
#define OF_SHARE_DENY_WRITE 0x00000020
#define OF_CREATE 0x00001000
#endif

// Errors: SEVERITY_ERROR, FACILITY_ITF and 0x4000 plus the code.
#define MAKE_AVIERR(error) ((HRESULT)(0x80040000UL | (0x4000 + (error))))
#define AVIERR_OK 0
#define AVIERR_UNSUPPORTED MAKE_AVIERR(101)
#define AVIERR_BADFORMAT MAKE_AVIERR(102)
#define AVIERR_MEMORY MAKE_AVIERR(103)
#define AVIERR_INTERNAL MAKE_AVIERR(104)
#define AVIERR_BADFLAGS MAKE_AVIERR(105)
#define AVIERR_BADPARAM MAKE_AVIERR(106)
#define AVIERR_BADSIZE MAKE_AVIERR(107)
#define AVIERR_BADHANDLE MAKE_AVIERR(108)
#define AVIERR_FILEREAD MAKE_AVIERR(109)
#define AVIERR_FILEWRITE MAKE_AVIERR(110)
#define AVIERR_FILEOPEN MAKE_AVIERR(111)
#define AVIERR_COMPRESSOR MAKE_AVIERR(112)
#define AVIERR_NOCOMPRESSOR MAKE_AVIERR(113)
#define AVIERR_READONLY MAKE_AVIERR(114)
#define AVIERR_NODATA MAKE_AVIERR(115)
#define AVIERR_BUFFERTOOSMALL MAKE_AVIERR(116)
#define AVIERR_CANTCOMPRESS MAKE_AVIERR(117)
#define AVIERR_USERABORT MAKE_AVIERR(198)
#define AVIERR_ERROR MAKE_AVIERR(199)

// The file, stream and frame reader are the layer's handles: checked on every call, so a
// released one fails cleanly.
typedef struct IAVIFile* PAVIFILE;
typedef struct IAVIStream* PAVISTREAM;
typedef struct IGetFrame* PGETFRAME;
DECLARE_HANDLE(HDRAWDIB);

typedef struct _AVIFILEINFOA {
    DWORD dwMaxBytesPerSec;
    DWORD dwFlags;
    DWORD dwCaps;
    DWORD dwStreams;
    DWORD dwSuggestedBufferSize;
    DWORD dwWidth;
    DWORD dwHeight;
    DWORD dwScale;
    DWORD dwRate;
    DWORD dwLength;
    DWORD dwEditCount;
    char szFileType[64];
} AVIFILEINFOA, *LPAVIFILEINFOA;
#define AVIFILEINFO AVIFILEINFOA

#define AVIFILEINFO_HASINDEX 0x00000010
#define AVIFILEINFO_MUSTUSEINDEX 0x00000020
#define AVIFILEINFO_ISINTERLEAVED 0x00000100
#define AVIFILECAPS_CANREAD 0x00000001
#define AVIFILECAPS_ALLKEYFRAMES 0x00000010
#define AVIFILECAPS_NOCOMPRESSION 0x00000020

typedef struct _AVISTREAMINFOA {
    DWORD fccType;
    DWORD fccHandler;
    DWORD dwFlags;
    DWORD dwCaps;
    WORD wPriority;
    WORD wLanguage;
    DWORD dwScale;
    DWORD dwRate;
    DWORD dwStart;
    DWORD dwLength;
    DWORD dwInitialFrames;
    DWORD dwSuggestedBufferSize;
    DWORD dwQuality;
    DWORD dwSampleSize;
    RECT rcFrame;
    DWORD dwEditCount;
    DWORD dwFormatChangeCount;
    char szName[64];
} AVISTREAMINFOA, *LPAVISTREAMINFOA;
#define AVISTREAMINFO AVISTREAMINFOA

#define AVIGETFRAMEF_BESTDISPLAYFMT 1
#define AVISTREAMREAD_CONVENIENT (-1L)

// DrawDibDraw flags.
#define DDF_UPDATE 0x0002
#define DDF_SAME_HDC 0x0004
#define DDF_SAME_DRAW 0x0008
#define DDF_DONTDRAW 0x0010
#define DDF_BACKGROUNDPAL 0x0200
#define DDF_NOTKEYFRAME 0x0800

// ---- avifil32 ----
VFWAPI void WINAPI AVIFileInit(void);
VFWAPI void WINAPI AVIFileExit(void);
VFWAPI HRESULT WINAPI AVIFileOpenA(PAVIFILE* file, LPCSTR path, UINT mode, const CLSID* handler);
#define AVIFileOpen AVIFileOpenA
VFWAPI ULONG WINAPI AVIFileAddRef(PAVIFILE file);
VFWAPI ULONG WINAPI AVIFileRelease(PAVIFILE file);
VFWAPI HRESULT WINAPI AVIFileInfoA(PAVIFILE file, LPAVIFILEINFOA info, LONG size);
#define AVIFileInfo AVIFileInfoA
VFWAPI HRESULT WINAPI AVIFileGetStream(PAVIFILE file, PAVISTREAM* stream, DWORD type, LONG index);
VFWAPI ULONG WINAPI AVIStreamAddRef(PAVISTREAM stream);
VFWAPI ULONG WINAPI AVIStreamRelease(PAVISTREAM stream);
VFWAPI HRESULT WINAPI AVIStreamInfoA(PAVISTREAM stream, LPAVISTREAMINFOA info, LONG size);
#define AVIStreamInfo AVIStreamInfoA
VFWAPI LONG WINAPI AVIStreamStart(PAVISTREAM stream);
VFWAPI LONG WINAPI AVIStreamLength(PAVISTREAM stream);
// With `format` null, *size gets the format's size; with a buffer too small the part that
// fits is copied, *size still gets the whole size and the answer is AVIERR_BUFFERTOOSMALL.
VFWAPI HRESULT WINAPI AVIStreamReadFormat(PAVISTREAM stream, LONG pos, LPVOID format, LONG* size);
VFWAPI HRESULT WINAPI AVIStreamRead(PAVISTREAM stream, LONG start, LONG samples, LPVOID buffer, LONG buffer_size,
                                    LONG* bytes, LONG* samples_read);
VFWAPI PGETFRAME WINAPI AVIStreamGetFrameOpen(PAVISTREAM stream, LPBITMAPINFOHEADER wanted);
VFWAPI LPVOID WINAPI AVIStreamGetFrame(PGETFRAME frames, LONG pos);
VFWAPI HRESULT WINAPI AVIStreamGetFrameClose(PGETFRAME frames);

// ---- msvfw32 ----
VFWAPI HDRAWDIB WINAPI DrawDibOpen(void);
VFWAPI BOOL WINAPI DrawDibClose(HDRAWDIB hdd);
VFWAPI BOOL WINAPI DrawDibDraw(HDRAWDIB hdd, HDC dc, int x, int y, int cx, int cy, LPBITMAPINFOHEADER header, LPVOID bits,
                               int src_x, int src_y, int src_cx, int src_cy, UINT flags);
