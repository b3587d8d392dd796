#include "CDXGraph.h"

#include <sys/stat.h>

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr double kUnitsPerSecond = 10000000.0;  // media time is in 100-ns units

template <class T>
void SafeRelease(T*& p) {
    if (p) {
        p->Release();
        p = nullptr;
    }
}

// A file name as the media interfaces take it: the whole name, however long, since a cut name
// would open some other file or none.
bool Widen(const char* lpszName, std::vector<WCHAR>* pWide) {
    if (!lpszName || !*lpszName) return false;
    int n = MultiByteToWideChar(CP_ACP, 0, lpszName, -1, nullptr, 0);
    if (n <= 0) return false;
    pWide->assign(size_t(n) + 1, 0);
    return MultiByteToWideChar(CP_ACP, 0, lpszName, -1, pWide->data(), n) > 0;
}

bool WriteWholeFile(const char* lpszFile, const void* pData, size_t nSize) {
    std::FILE* f = std::fopen(lpszFile, "wb");
    if (!f) return false;
    bool ok = std::fwrite(pData, 1, nSize, f) == nSize;
    return std::fclose(f) == 0 && ok;
}

// A media detector with a file loaded, released when it goes.
class MediaDetector {
public:
    explicit MediaDetector(const char* lpszFile) {
        std::vector<WCHAR> wide;
        if (!Widen(lpszFile, &wide)) return;
        if (FAILED(CoCreateInstance(CLSID_MediaDet, nullptr, CLSCTX_INPROC_SERVER, IID_IMediaDet,
                                    reinterpret_cast<void**>(&m_pDetector))))
            m_pDetector = nullptr;
        if (m_pDetector && FAILED(m_pDetector->put_Filename(wide.data()))) SafeRelease(m_pDetector);
    }
    ~MediaDetector() { SafeRelease(m_pDetector); }
    MediaDetector(const MediaDetector&) = delete;
    MediaDetector& operator=(const MediaDetector&) = delete;
    IMediaDet* operator->() const { return m_pDetector; }
    IMediaDet* get() const { return m_pDetector; }
    explicit operator bool() const { return m_pDetector != nullptr; }

private:
    IMediaDet* m_pDetector = nullptr;
};

// The current stream's format, as the detector describes it.
void ReadStreamFormat(IMediaDet* pDetector, CDXGraph::MediaDetStream* pStream) {
    AM_MEDIA_TYPE mt;
    if (FAILED(pDetector->get_StreamMediaType(&mt))) return;
    if (mt.formattype == FORMAT_VideoInfo && mt.cbFormat >= sizeof(VIDEOINFOHEADER)) {
        const auto* vih = reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat);
        pStream->width = vih->bmiHeader.biWidth;
        pStream->height = std::labs(vih->bmiHeader.biHeight);
        pDetector->get_FrameRate(&pStream->frameRate);
    } else if (mt.formattype == FORMAT_WaveFormatEx && mt.cbFormat >= sizeof(WAVEFORMATEX)) {
        const auto* wfx = reinterpret_cast<const WAVEFORMATEX*>(mt.pbFormat);
        pStream->sampleRate = long(wfx->nSamplesPerSec);
        pStream->channels = wfx->nChannels;
    }
    FreeMediaType(&mt);
}

// Seconds to media time; false for values that have no media time (NaN, infinities, out of range).
bool ToMediaTime(double seconds, LONGLONG* out) {
    double units = seconds * kUnitsPerSecond;
    if (!std::isfinite(units) || units < -9.2e18 || units > 9.2e18) return false;
    *out = LONGLONG(units);
    return true;
}

}  // namespace

CDXGraph::CDXGraph()
    : m_pGraphBuilder(nullptr),
      m_pMediaControl(nullptr),
      m_pMediaEvents(nullptr),
      m_pBasicVideo(nullptr),
      m_pBasicAudio(nullptr),
      m_pVideoWindow(nullptr),
      m_pMediaSeeking(nullptr),
      m_dwRegistrationCookie(0) {}

CDXGraph::~CDXGraph() { Release(); }

bool CDXGraph::Create() {
    if (m_pGraphBuilder) return true;
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                  reinterpret_cast<void**>(&m_pGraphBuilder));
    if (FAILED(hr) || !m_pGraphBuilder) {
        m_pGraphBuilder = nullptr;
        return false;
    }
    AddToRot();
    return QueryInterfaces();
}

bool CDXGraph::QueryInterfaces() {
    if (!m_pGraphBuilder) return false;
    HRESULT hr = m_pGraphBuilder->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&m_pMediaControl));
    if (SUCCEEDED(hr))
        hr = m_pGraphBuilder->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(&m_pMediaEvents));
    if (SUCCEEDED(hr)) hr = m_pGraphBuilder->QueryInterface(IID_IBasicVideo, reinterpret_cast<void**>(&m_pBasicVideo));
    if (SUCCEEDED(hr)) hr = m_pGraphBuilder->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(&m_pBasicAudio));
    if (SUCCEEDED(hr))
        hr = m_pGraphBuilder->QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(&m_pVideoWindow));
    if (SUCCEEDED(hr))
        hr = m_pGraphBuilder->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&m_pMediaSeeking));
    if (m_pMediaSeeking) m_pMediaSeeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME);
    return SUCCEEDED(hr);
}

void CDXGraph::Release() {
    SafeRelease(m_pMediaSeeking);
    SafeRelease(m_pMediaControl);
    SafeRelease(m_pMediaEvents);
    SafeRelease(m_pBasicVideo);
    SafeRelease(m_pBasicAudio);
    if (m_pVideoWindow) {
        m_pVideoWindow->put_Visible(OAFALSE);
        m_pVideoWindow->put_MessageDrain(0);
        m_pVideoWindow->put_Owner(0);
        SafeRelease(m_pVideoWindow);
    }
    RemoveFromRot();
    SafeRelease(m_pGraphBuilder);
}

bool CDXGraph::Attach(IGraphBuilder* pGraphBuilder) {
    Release();
    if (!pGraphBuilder) return false;
    pGraphBuilder->AddRef();
    m_pGraphBuilder = pGraphBuilder;
    AddToRot();
    return QueryInterfaces();
}

IGraphBuilder* CDXGraph::GetGraph() const { return m_pGraphBuilder; }

IMediaEventEx* CDXGraph::GetEventHandler() const { return m_pMediaEvents; }

bool CDXGraph::ConnectPins(IPin* pOutputPin, IPin* pInputPin, AM_MEDIA_TYPE* pMediaType) {
    if (!m_pGraphBuilder || !pOutputPin || !pInputPin) return false;
    return SUCCEEDED(m_pGraphBuilder->ConnectDirect(pOutputPin, pInputPin, pMediaType));
}

void CDXGraph::DisconnectPins(IPin* pPin) {
    if (m_pGraphBuilder && pPin) m_pGraphBuilder->Disconnect(pPin);
}

bool CDXGraph::SetDisplayWindow(HWND hWnd) {
    if (!m_pVideoWindow) return false;
    // Hidden while it moves to its new owner, so no half-placed picture flashes.
    m_pVideoWindow->put_Visible(OAFALSE);
    HRESULT hr = m_pVideoWindow->put_Owner(reinterpret_cast<OAHWND>(hWnd));
    RECT client{0, 0, 0, 0};
    if (hWnd) GetClientRect(hWnd, &client);
    m_pVideoWindow->SetWindowPosition(0, 0, client.right - client.left, client.bottom - client.top);
    m_pVideoWindow->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    m_pVideoWindow->put_MessageDrain(reinterpret_cast<OAHWND>(hWnd));
    if (hWnd) m_pVideoWindow->put_Visible(OATRUE);
    return SUCCEEDED(hr);
}

bool CDXGraph::SetNotifyWindow(HWND hWnd) {
    if (!m_pMediaEvents) return false;
    return SUCCEEDED(m_pMediaEvents->SetNotifyWindow(reinterpret_cast<OAHWND>(hWnd), WM_GRAPHNOTIFY, 0));
}

bool CDXGraph::SetWindowPosition(long nLeft, long nTop, long nWidth, long nHeight) {
    if (!m_pVideoWindow) return false;
    return SUCCEEDED(m_pVideoWindow->SetWindowPosition(nLeft, nTop, nWidth, nHeight));
}

void CDXGraph::HandleEvents() {
    if (!m_pMediaEvents) return;
    long code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    while (SUCCEEDED(m_pMediaEvents->GetEvent(&code, &p1, &p2, 0))) m_pMediaEvents->FreeEventParams(code, p1, p2);
}

bool CDXGraph::IsRunning() {
    OAFilterState state = State_Stopped;
    return m_pMediaControl && SUCCEEDED(m_pMediaControl->GetState(10, &state)) && state == State_Running;
}

bool CDXGraph::IsStopped() {
    OAFilterState state = State_Stopped;
    return m_pMediaControl && SUCCEEDED(m_pMediaControl->GetState(10, &state)) && state == State_Stopped;
}

bool CDXGraph::IsPaused() {
    OAFilterState state = State_Stopped;
    return m_pMediaControl && SUCCEEDED(m_pMediaControl->GetState(10, &state)) && state == State_Paused;
}

bool CDXGraph::Run() {
    if (!m_pGraphBuilder || !m_pMediaControl) return false;
    if (IsRunning()) return true;
    return SUCCEEDED(m_pMediaControl->Run());
}

bool CDXGraph::Stop() {
    if (!m_pGraphBuilder || !m_pMediaControl) return false;
    if (IsStopped()) return true;
    return SUCCEEDED(m_pMediaControl->Stop());
}

bool CDXGraph::Pause() {
    if (!m_pGraphBuilder || !m_pMediaControl) return false;
    if (IsPaused()) return true;
    return SUCCEEDED(m_pMediaControl->Pause());
}

bool CDXGraph::SetFullScreen(BOOL bFullScreen) {
    if (!m_pVideoWindow) return false;
    return SUCCEEDED(m_pVideoWindow->put_FullScreenMode(bFullScreen ? OATRUE : OAFALSE));
}

bool CDXGraph::GetFullScreen() {
    long mode = OAFALSE;
    return m_pVideoWindow && SUCCEEDED(m_pVideoWindow->get_FullScreenMode(&mode)) && mode == OATRUE;
}

bool CDXGraph::GetCurrentPosition(double* pdSeconds) {
    LONGLONG t = 0;
    if (!m_pMediaSeeking || !pdSeconds || FAILED(m_pMediaSeeking->GetCurrentPosition(&t))) return false;
    *pdSeconds = double(t) / kUnitsPerSecond;
    return true;
}

bool CDXGraph::GetStopPosition(double* pdSeconds) {
    LONGLONG t = 0;
    if (!m_pMediaSeeking || !pdSeconds || FAILED(m_pMediaSeeking->GetStopPosition(&t))) return false;
    *pdSeconds = double(t) / kUnitsPerSecond;
    return true;
}

bool CDXGraph::SetCurrentPosition(double dSeconds) {
    LONGLONG t = 0;
    if (!m_pMediaSeeking || !ToMediaTime(dSeconds, &t)) return false;
    return SUCCEEDED(m_pMediaSeeking->SetPositions(&t, AM_SEEKING_AbsolutePositioning | AM_SEEKING_SeekToKeyFrame,
                                                   nullptr, AM_SEEKING_NoPositioning));
}

bool CDXGraph::SetStartStopPositions(double dStart, double dStop) {
    LONGLONG start = 0, stop = 0;
    if (!m_pMediaSeeking || !ToMediaTime(dStart, &start) || !ToMediaTime(dStop, &stop)) return false;
    return SUCCEEDED(m_pMediaSeeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning | AM_SEEKING_SeekToKeyFrame,
                                                   &stop, AM_SEEKING_AbsolutePositioning | AM_SEEKING_SeekToKeyFrame));
}

bool CDXGraph::GetDuration(double* pdSeconds) {
    LONGLONG t = 0;
    if (!m_pMediaSeeking || !pdSeconds || FAILED(m_pMediaSeeking->GetDuration(&t))) return false;
    *pdSeconds = double(t) / kUnitsPerSecond;
    return true;
}

bool CDXGraph::SetPlaybackRate(double dRate) {
    if (!m_pMediaSeeking) return false;
    return SUCCEEDED(m_pMediaSeeking->SetRate(dRate));
}

bool CDXGraph::SetAudioVolume(long nVolume) {
    if (!m_pBasicAudio) return false;
    return SUCCEEDED(m_pBasicAudio->put_Volume(nVolume));
}

long CDXGraph::GetAudioVolume() {
    long volume = 0;
    if (m_pBasicAudio) m_pBasicAudio->get_Volume(&volume);
    return volume;
}

bool CDXGraph::SetAudioBalance(long nBalance) {
    if (!m_pBasicAudio) return false;
    return SUCCEEDED(m_pBasicAudio->put_Balance(nBalance));
}

long CDXGraph::GetAudioBalance() {
    long balance = 0;
    if (m_pBasicAudio) m_pBasicAudio->get_Balance(&balance);
    return balance;
}

bool CDXGraph::RenderFile(const char* lpszFile) {
    std::vector<WCHAR> wide;
    if (!m_pGraphBuilder || !Widen(lpszFile, &wide)) return false;
    return SUCCEEDED(m_pGraphBuilder->RenderFile(wide.data(), nullptr));
}

bool CDXGraph::SnapshotBitmap(const char* lpszBitmapFile) {
    long size = 0;
    if (!m_pBasicVideo || !lpszBitmapFile || !*lpszBitmapFile ||
        FAILED(m_pBasicVideo->GetCurrentImage(&size, nullptr)) || size <= long(sizeof(BITMAPINFOHEADER)))
        return false;
    // Whole words, as the interface takes the picture.
    std::vector<long> dib((size_t(size) + sizeof(long) - 1) / sizeof(long), 0);
    if (FAILED(m_pBasicVideo->GetCurrentImage(&size, dib.data()))) return false;
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib.data(), sizeof header);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = DWORD(sizeof file + header.biSize + header.biClrUsed * sizeof(RGBQUAD));
    file.bfSize = DWORD(sizeof file + size_t(size));
    std::vector<char> bytes(sizeof file + size_t(size));
    std::memcpy(bytes.data(), &file, sizeof file);
    std::memcpy(bytes.data() + sizeof file, dib.data(), size_t(size));
    return WriteWholeFile(lpszBitmapFile, bytes.data(), bytes.size());
}

bool CDXGraph::QueryMediaDetInfo(const char* lpszFile, std::vector<MediaDetStream>* pStreams) {
    if (!pStreams) return false;
    pStreams->clear();
    MediaDetector det(lpszFile);
    long count = 0;
    if (!det || FAILED(det->get_OutputStreams(&count))) return false;
    for (long i = 0; i < count; ++i) {
        MediaDetStream stream;
        if (FAILED(det->put_CurrentStream(i)) || FAILED(det->get_StreamType(&stream.majorType))) return false;
        det->get_StreamLength(&stream.length);
        ReadStreamFormat(det.get(), &stream);
        pStreams->push_back(stream);
    }
    return true;
}

bool CDXGraph::SaveMediaDetBitmap(const char* lpszFile, double dSeconds, const char* lpszBitmapFile, long nWidth,
                                  long nHeight) {
    std::vector<WCHAR> wideOut;
    MediaDetector det(lpszFile);
    if (!det || !Widen(lpszBitmapFile, &wideOut) || FAILED(det->EnterBitmapGrabMode(dSeconds))) return false;
    if (nWidth <= 0 || nHeight <= 0) {
        MediaDetStream stream;
        ReadStreamFormat(det.get(), &stream);
        nWidth = stream.width;
        nHeight = stream.height;
    }
    return SUCCEEDED(det->WriteBitmapBits(dSeconds, nWidth, nHeight, wideOut.data()));
}

long CDXGraph::GetFileSizeByName(const char* lpszFile) {
    struct stat st;
    if (!lpszFile || stat(lpszFile, &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    return long(st.st_size);
}

void CDXGraph::AddToRot() {
    if (!m_pGraphBuilder || m_dwRegistrationCookie) return;
    IRunningObjectTable* table = nullptr;
    if (FAILED(GetRunningObjectTable(0, &table)) || !table) return;
    char name[64];
    std::snprintf(name, sizeof name, "FilterGraph %08" PRIxPTR " pid %08x",
                  reinterpret_cast<uintptr_t>(m_pGraphBuilder), unsigned(GetCurrentProcessId()));
    WCHAR wide[64] = {0};
    for (size_t i = 0; name[i] && i + 1 < sizeof wide / sizeof wide[0]; ++i) wide[i] = WCHAR(name[i]);
    IMoniker* moniker = nullptr;
    if (SUCCEEDED(CreateItemMoniker(u"!", wide, &moniker)) && moniker) {
        DWORD cookie = 0;
        if (SUCCEEDED(table->Register(ROTFLAGS_REGISTRATIONKEEPSALIVE, m_pGraphBuilder, moniker, &cookie)))
            m_dwRegistrationCookie = cookie;
        moniker->Release();
    }
    table->Release();
}

void CDXGraph::RemoveFromRot() {
    if (!m_dwRegistrationCookie) return;
    IRunningObjectTable* table = nullptr;
    if (SUCCEEDED(GetRunningObjectTable(0, &table)) && table) {
        table->Revoke(m_dwRegistrationCookie);
        table->Release();
    }
    m_dwRegistrationCookie = 0;
}
