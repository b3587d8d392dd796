// This project's platform layer: the media detector, which tells what streams a file holds
// and grabs pictures of its video stream at given times.
#pragma once

#include "dshow.h"

#ifdef __cplusplus
static const GUID CLSID_MediaDet = {0x65bd0711, 0x24d2, 0x4ff7, {0x93, 0x24, 0xed, 0x2e, 0x5d, 0x3a, 0xba, 0xfa}};
static const GUID IID_IMediaDet = {0x65bd0710, 0x24d2, 0x4ff7, {0x93, 0x24, 0xed, 0x2e, 0x5d, 0x3a, 0xba, 0xfa}};

// The layer offers the detector's questions about a file; it takes no filter of the
// program's and hands out no sample grabber. Streams are the file's video and sound streams,
// in the file's order. Pictures are 24-bit bottom-up DIBs, rows padded to four bytes.
struct IMediaDet : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_OutputStreams(long* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CurrentStream(long* index) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_CurrentStream(long index) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_StreamType(GUID* major_type) = 0;
    // Seconds.
    virtual HRESULT STDMETHODCALLTYPE get_StreamLength(double* length) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Filename(BSTR file) = 0;
    // A picture of width x height at `stream_time` seconds: BITMAPINFOHEADER, then the pixels.
    // With a null buffer, *size receives the bytes needed; otherwise it holds the buffer's size.
    virtual HRESULT STDMETHODCALLTYPE GetBitmapBits(double stream_time, long* size, char* buffer, long width,
                                                    long height) = 0;
    // The same picture written to a .bmp file.
    virtual HRESULT STDMETHODCALLTYPE WriteBitmapBits(double stream_time, long width, long height, BSTR file) = 0;
    // The current stream's media type; its format block is the caller's (FreeMediaType).
    virtual HRESULT STDMETHODCALLTYPE get_StreamMediaType(AM_MEDIA_TYPE* type) = 0;
    // Frames per second of the current (video) stream.
    virtual HRESULT STDMETHODCALLTYPE get_FrameRate(double* rate) = 0;
    // Makes the current stream the first video stream, ready for pictures.
    virtual HRESULT STDMETHODCALLTYPE EnterBitmapGrabMode(double seek_time) = 0;

protected:
    ~IMediaDet() = default;
};
#endif  // __cplusplus
