// This project's platform layer: the media player interfaces (filter graph, control, events, seeking, video window).
#pragma once

#include "unknwn.h"
#include "windows.h"

#define WINDSHOWAPI WINAPI_EXPORT

typedef LONGLONG REFERENCE_TIME;
typedef double REFTIME;
typedef LONG_PTR OAHWND;
typedef LONG_PTR OAEVENT;
typedef long OAFilterState;
typedef WCHAR* BSTR;

#define OATRUE (-1)
#define OAFALSE (0)

// COM initialisation and creation.
#define COINIT_APARTMENTTHREADED 0x2
#define COINIT_MULTITHREADED 0x0
#define CLSCTX_INPROC_SERVER 0x1
#define CLSCTX_INPROC_HANDLER 0x2
#define CLSCTX_LOCAL_SERVER 0x4
#define CLSCTX_ALL 0x17
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154L)
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110L)
#define CO_E_NOTINITIALIZED ((HRESULT)0x800401F0L)
#define MK_E_UNAVAILABLE ((HRESULT)0x800401E3L)

// Filter graph results.
#define VFW_S_PARTIAL_RENDER ((HRESULT)0x00040242L)
#define VFW_S_STATE_INTERMEDIATE ((HRESULT)0x00040237L)
#define VFW_S_VIDEO_NOT_RENDERED ((HRESULT)0x00040257L)
#define VFW_S_AUDIO_NOT_RENDERED ((HRESULT)0x00040258L)
#define VFW_E_INVALIDMEDIATYPE ((HRESULT)0x80040200L)
#define VFW_E_NOT_CONNECTED ((HRESULT)0x80040209L)
#define VFW_E_RUNTIME_ERROR ((HRESULT)0x8004020BL)
#define VFW_E_NOT_FOUND ((HRESULT)0x80040216L)
#define VFW_E_CANNOT_CONNECT ((HRESULT)0x80040217L)
#define VFW_E_CANNOT_RENDER ((HRESULT)0x80040218L)
#define VFW_E_WRONG_STATE ((HRESULT)0x80040227L)
#define VFW_E_INVALID_FILE_FORMAT ((HRESULT)0x8004022FL)
#define VFW_E_UNKNOWN_FILE_TYPE ((HRESULT)0x80040240L)
#define VFW_E_UNSUPPORTED_STREAM ((HRESULT)0x80040265L)
#define VFW_E_NO_AUDIO_HARDWARE ((HRESULT)0x80040256L)

// Event codes.
#define EC_COMPLETE 0x01
#define EC_USERABORT 0x02
#define EC_ERRORABORT 0x03
#define EC_TIME 0x04
#define EC_REPAINT 0x05
#define EC_PAUSED 0x0E

// Filter states.
typedef enum _FilterState { State_Stopped = 0, State_Paused = 1, State_Running = 2 } FILTER_STATE;

// Seeking.
enum AM_SEEKING_SEEKING_FLAGS {
    AM_SEEKING_NoPositioning = 0x0,
    AM_SEEKING_AbsolutePositioning = 0x1,
    AM_SEEKING_RelativePositioning = 0x2,
    AM_SEEKING_IncrementalPositioning = 0x3,
    AM_SEEKING_PositioningBitsMask = 0x3,
    AM_SEEKING_SeekToKeyFrame = 0x4,
    AM_SEEKING_ReturnTime = 0x8,
    AM_SEEKING_Segment = 0x10,
    AM_SEEKING_NoFlush = 0x20
};
enum AM_SEEKING_SEEKING_CAPABILITIES {
    AM_SEEKING_CanSeekAbsolute = 0x1,
    AM_SEEKING_CanSeekForwards = 0x2,
    AM_SEEKING_CanSeekBackwards = 0x4,
    AM_SEEKING_CanGetCurrentPos = 0x8,
    AM_SEEKING_CanGetStopPos = 0x10,
    AM_SEEKING_CanGetDuration = 0x20,
    AM_SEEKING_CanPlayBackwards = 0x40,
    AM_SEEKING_CanDoSegments = 0x80,
    AM_SEEKING_Source = 0x100
};

// Media types.
typedef struct _AMMediaType {
    GUID majortype;
    GUID subtype;
    BOOL bFixedSizeSamples;
    BOOL bTemporalCompression;
    ULONG lSampleSize;
    GUID formattype;
    IUnknown* pUnk;
    ULONG cbFormat;
    BYTE* pbFormat;
} AM_MEDIA_TYPE;

// The format blocks of video and sound media types.
typedef struct tagVIDEOINFOHEADER {
    RECT rcSource;
    RECT rcTarget;
    DWORD dwBitRate;
    DWORD dwBitErrorRate;
    REFERENCE_TIME AvgTimePerFrame;
    BITMAPINFOHEADER bmiHeader;
} VIDEOINFOHEADER;

#ifndef _WAVEFORMATEX_
#define _WAVEFORMATEX_
#pragma pack(push, 1)
typedef struct tWAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
} WAVEFORMATEX;
#pragma pack(pop)
#endif
#define WAVE_FORMAT_PCM 1

#ifdef __cplusplus
static_assert(sizeof(VIDEOINFOHEADER) == 88, "VIDEOINFOHEADER layout");
static_assert(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX layout");
#define DSHOW_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
    static const GUID name = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}

DSHOW_GUID(IID_IUnknown, 0x00000000, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
DSHOW_GUID(CLSID_FilterGraph, 0xe436ebb3, 0x524f, 0x11ce, 0x9f, 0x53, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70);
DSHOW_GUID(IID_IFilterGraph, 0x56a8689f, 0x0ad4, 0x11ce, 0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70);
DSHOW_GUID(IID_IGraphBuilder, 0x56a868a9, 0x0ad4, 0x11ce, 0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70);
DSHOW_GUID(IID_IMediaControl, 0x56a868b1, 0x0ad4, 0x11ce, 0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70);
DSHOW_GUID(IID_IBasicAudio, 0x56a868b3, 0x0ad4, 0x11ce, 0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70);
DSHOW_GUID(IID_IVideoWindow, 0x56a868b4, 0x0ad4, 0x11ce, 0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70);
DSHOW_GUID(IID_IBasicVideo, 0x56a868b5, 0x0ad4, 0x11ce, 0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70);
DSHOW_GUID(IID_IMediaEvent, 0x56a868b6, 0x0ad4, 0x11ce, 0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70);
DSHOW_GUID(IID_IMediaEventEx, 0x56a868c0, 0x0ad4, 0x11ce, 0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70);
DSHOW_GUID(IID_IMediaSeeking, 0x36b73880, 0xc2c8, 0x11cf, 0x8b, 0x46, 0x00, 0x80, 0x5f, 0x6c, 0xef, 0x60);
DSHOW_GUID(IID_IDispatch, 0x00020400, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
DSHOW_GUID(TIME_FORMAT_NONE, 0x00000000, 0x0000, 0x0000, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00);
DSHOW_GUID(TIME_FORMAT_MEDIA_TIME, 0x7b785574, 0x8c82, 0x11cf, 0xbc, 0x0c, 0x00, 0xaa, 0x00, 0xac, 0x74, 0xf6);
DSHOW_GUID(TIME_FORMAT_FRAME, 0x7b785570, 0x8c82, 0x11cf, 0xbc, 0x0c, 0x00, 0xaa, 0x00, 0xac, 0x74, 0xf6);
DSHOW_GUID(IID_IRunningObjectTable, 0x00000010, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
DSHOW_GUID(IID_IMoniker, 0x0000000f, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
DSHOW_GUID(MEDIATYPE_Video, 0x73646976, 0x0000, 0x0010, 0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71);
DSHOW_GUID(MEDIATYPE_Audio, 0x73647561, 0x0000, 0x0010, 0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71);
DSHOW_GUID(FORMAT_VideoInfo, 0x05589f80, 0xc356, 0x11ce, 0xbf, 0x01, 0x00, 0xaa, 0x00, 0x55, 0x59, 0x5a);
DSHOW_GUID(FORMAT_WaveFormatEx, 0x05589f81, 0xc356, 0x11ce, 0xbf, 0x01, 0x00, 0xaa, 0x00, 0x55, 0x59, 0x5a);
#undef DSHOW_GUID

struct IBaseFilter;
struct IPin;
struct IEnumFilters;

// Automation base of the control interfaces; the layer offers no type information.
struct IDispatch : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) = 0;
protected:
    ~IDispatch() = default;
};

struct IFilterGraph : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE AddFilter(IBaseFilter* filter, LPCWSTR name) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveFilter(IBaseFilter* filter) = 0;
    virtual HRESULT STDMETHODCALLTYPE EnumFilters(IEnumFilters** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindFilterByName(LPCWSTR name, IBaseFilter** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE ConnectDirect(IPin* out, IPin* in, const AM_MEDIA_TYPE* mt) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reconnect(IPin* pin) = 0;
    virtual HRESULT STDMETHODCALLTYPE Disconnect(IPin* pin) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDefaultSyncSource() = 0;
protected:
    ~IFilterGraph() = default;
};

struct IGraphBuilder : IFilterGraph {
    virtual HRESULT STDMETHODCALLTYPE Connect(IPin* out, IPin* in) = 0;
    virtual HRESULT STDMETHODCALLTYPE Render(IPin* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE RenderFile(LPCWSTR file, LPCWSTR playlist) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddSourceFilter(LPCWSTR file, LPCWSTR name, IBaseFilter** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetLogFile(DWORD_PTR file) = 0;
    virtual HRESULT STDMETHODCALLTYPE Abort() = 0;
    virtual HRESULT STDMETHODCALLTYPE ShouldOperationContinue() = 0;
protected:
    ~IGraphBuilder() = default;
};

struct IMediaControl : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Run() = 0;
    virtual HRESULT STDMETHODCALLTYPE Pause() = 0;
    virtual HRESULT STDMETHODCALLTYPE Stop() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetState(LONG timeout_ms, OAFilterState* state) = 0;
    virtual HRESULT STDMETHODCALLTYPE RenderFile(BSTR file) = 0;
    virtual HRESULT STDMETHODCALLTYPE StopWhenReady() = 0;
protected:
    ~IMediaControl() = default;
};

struct IMediaEvent : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE GetEventHandle(OAEVENT* handle) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEvent(long* code, LONG_PTR* param1, LONG_PTR* param2, long timeout_ms) = 0;
    virtual HRESULT STDMETHODCALLTYPE WaitForCompletion(long timeout_ms, long* code) = 0;
    virtual HRESULT STDMETHODCALLTYPE CancelDefaultHandling(long code) = 0;
    virtual HRESULT STDMETHODCALLTYPE RestoreDefaultHandling(long code) = 0;
    virtual HRESULT STDMETHODCALLTYPE FreeEventParams(long code, LONG_PTR param1, LONG_PTR param2) = 0;
protected:
    ~IMediaEvent() = default;
};

struct IMediaEventEx : IMediaEvent {
    virtual HRESULT STDMETHODCALLTYPE SetNotifyWindow(OAHWND hwnd, long msg, LONG_PTR instance) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetNotifyFlags(long flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNotifyFlags(long* flags) = 0;
protected:
    ~IMediaEventEx() = default;
};

struct IMediaSeeking : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetCapabilities(DWORD* caps) = 0;
    virtual HRESULT STDMETHODCALLTYPE CheckCapabilities(DWORD* caps) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsFormatSupported(const GUID* format) = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryPreferredFormat(GUID* format) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTimeFormat(GUID* format) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsUsingTimeFormat(const GUID* format) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetTimeFormat(const GUID* format) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDuration(LONGLONG* duration) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStopPosition(LONGLONG* stop) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentPosition(LONGLONG* current) = 0;
    virtual HRESULT STDMETHODCALLTYPE ConvertTimeFormat(LONGLONG* target, const GUID* target_format, LONGLONG source,
                                                        const GUID* source_format) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetPositions(LONGLONG* current, DWORD current_flags, LONGLONG* stop,
                                                   DWORD stop_flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPositions(LONGLONG* current, LONGLONG* stop) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAvailable(LONGLONG* earliest, LONGLONG* latest) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetRate(double rate) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRate(double* rate) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPreroll(LONGLONG* preroll) = 0;
protected:
    ~IMediaSeeking() = default;
};

struct IBasicAudio : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE put_Volume(long volume) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Volume(long* volume) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Balance(long balance) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Balance(long* balance) = 0;
protected:
    ~IBasicAudio() = default;
};

struct IBasicVideo : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_AvgTimePerFrame(REFTIME* t) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_VideoWidth(long* width) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_VideoHeight(long* height) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSourcePosition(long* left, long* top, long* width, long* height) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDestinationPosition(long* left, long* top, long* width, long* height) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVideoSize(long* width, long* height) = 0;
    // The picture shown now as a packed DIB (BITMAPINFOHEADER, then the pixels). With a null
    // image, *size receives the bytes needed; otherwise *size holds the buffer's size.
    virtual HRESULT STDMETHODCALLTYPE GetCurrentImage(long* size, long* image) = 0;
protected:
    ~IBasicVideo() = default;
};

struct IVideoWindow : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE put_WindowStyle(long style) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_WindowStyle(long* style) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AutoShow(long show) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AutoShow(long* show) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Visible(long visible) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Visible(long* visible) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Owner(OAHWND owner) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Owner(OAHWND* owner) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_MessageDrain(OAHWND drain) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_MessageDrain(OAHWND* drain) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_FullScreenMode(long mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_FullScreenMode(long* mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetWindowPosition(long left, long top, long width, long height) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetWindowPosition(long* left, long* top, long* width, long* height) = 0;
protected:
    ~IVideoWindow() = default;
};

// Running object table: the layer keeps no table; registration succeeds and does nothing.
struct IMoniker : IUnknown {
protected:
    ~IMoniker() = default;
};
typedef IMoniker* LPMONIKER;
struct IRunningObjectTable : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Register(DWORD flags, IUnknown* object, IMoniker* name, DWORD* cookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE Revoke(DWORD cookie) = 0;
protected:
    ~IRunningObjectTable() = default;
};
typedef IRunningObjectTable* LPRUNNINGOBJECTTABLE;
#define ROTFLAGS_REGISTRATIONKEEPSALIVE 0x1
#endif  // __cplusplus

WINDSHOWAPI HRESULT WINAPI CoInitialize(void* reserved);
WINDSHOWAPI HRESULT WINAPI CoInitializeEx(void* reserved, DWORD flags);
WINDSHOWAPI void WINAPI CoUninitialize(void);
WINDSHOWAPI HRESULT WINAPI CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out);
WINDSHOWAPI void* WINAPI CoTaskMemAlloc(SIZE_T size);
WINDSHOWAPI HRESULT WINAPI GetRunningObjectTable(DWORD reserved, IRunningObjectTable** out);
WINDSHOWAPI HRESULT WINAPI CreateItemMoniker(LPCWSTR delimiter, LPCWSTR item, IMoniker** out);
// Frees a media type's format block and its object, leaving the type itself.
WINDSHOWAPI void WINAPI FreeMediaType(AM_MEDIA_TYPE* mt);
// Frees a media type and the block it lives in.
WINDSHOWAPI void WINAPI DeleteMediaType(AM_MEDIA_TYPE* mt);
WINSHELLAPI void WINAPI CoTaskMemFree(void* pv);
