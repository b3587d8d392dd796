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
bool Widen(const char* inName, std::vector<WCHAR>* outWide) {
    if (!inName || !*inName) return false;
    int n = MultiByteToWideChar(CP_ACP, 0, inName, -1, nullptr, 0);
    if (n <= 0) return false;
    outWide->assign(size_t(n) + 1, 0);
    return MultiByteToWideChar(CP_ACP, 0, inName, -1, outWide->data(), n) > 0;
}

bool WriteWholeFile(const char* inFile, const void* inData, size_t inSize) {
    std::FILE* f = std::fopen(inFile, "wb");
    if (!f) return false;
    bool ok = std::fwrite(inData, 1, inSize, f) == inSize;
    return std::fclose(f) == 0 && ok;
}

// A media detector with a file loaded, released when it goes.
class MediaDetector {
public:
    explicit MediaDetector(const char* inFile) {
        std::vector<WCHAR> wide;
        if (!Widen(inFile, &wide)) return;
        if (FAILED(CoCreateInstance(CLSID_MediaDet, nullptr, CLSCTX_INPROC_SERVER, IID_IMediaDet,
                                    reinterpret_cast<void**>(&mDet))))
            mDet = nullptr;
        if (mDet && FAILED(mDet->put_Filename(wide.data()))) SafeRelease(mDet);
    }
    ~MediaDetector() { SafeRelease(mDet); }
    MediaDetector(const MediaDetector&) = delete;
    MediaDetector& operator=(const MediaDetector&) = delete;
    IMediaDet* operator->() const { return mDet; }
    IMediaDet* get() const { return mDet; }
    explicit operator bool() const { return mDet != nullptr; }

private:
    IMediaDet* mDet = nullptr;
};

// The current stream's format, as the detector describes it.
void ReadStreamFormat(IMediaDet* inDet, CDXGraph::MediaDetStream* outStream) {
    AM_MEDIA_TYPE mt;
    if (FAILED(inDet->get_StreamMediaType(&mt))) return;
    if (mt.formattype == FORMAT_VideoInfo && mt.cbFormat >= sizeof(VIDEOINFOHEADER)) {
        const auto* vih = reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat);
        outStream->width = vih->bmiHeader.biWidth;
        outStream->height = std::labs(vih->bmiHeader.biHeight);
        inDet->get_FrameRate(&outStream->frameRate);
    } else if (mt.formattype == FORMAT_WaveFormatEx && mt.cbFormat >= sizeof(WAVEFORMATEX)) {
        const auto* wfx = reinterpret_cast<const WAVEFORMATEX*>(mt.pbFormat);
        outStream->sampleRate = long(wfx->nSamplesPerSec);
        outStream->channels = wfx->nChannels;
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
    : mGraph(nullptr),
      mMediaControl(nullptr),
      mEvent(nullptr),
      mBasicVideo(nullptr),
      mBasicAudio(nullptr),
      mVideoWindow(nullptr),
      mSeeking(nullptr),
      mObjectTableEntry(0) {}

CDXGraph::~CDXGraph() { Release(); }

bool CDXGraph::Create() {
    if (mGraph) return true;
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                  reinterpret_cast<void**>(&mGraph));
    if (FAILED(hr) || !mGraph) {
        mGraph = nullptr;
        return false;
    }
    AddToRot();
    return QueryInterfaces();
}

bool CDXGraph::QueryInterfaces() {
    if (!mGraph) return false;
    HRESULT hr = mGraph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&mMediaControl));
    if (SUCCEEDED(hr)) hr = mGraph->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(&mEvent));
    if (SUCCEEDED(hr)) hr = mGraph->QueryInterface(IID_IBasicVideo, reinterpret_cast<void**>(&mBasicVideo));
    if (SUCCEEDED(hr)) hr = mGraph->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(&mBasicAudio));
    if (SUCCEEDED(hr)) hr = mGraph->QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(&mVideoWindow));
    if (SUCCEEDED(hr)) hr = mGraph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&mSeeking));
    if (mSeeking) mSeeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME);
    return SUCCEEDED(hr);
}

void CDXGraph::Release() {
    SafeRelease(mSeeking);
    SafeRelease(mMediaControl);
    SafeRelease(mEvent);
    SafeRelease(mBasicVideo);
    SafeRelease(mBasicAudio);
    if (mVideoWindow) {
        mVideoWindow->put_Visible(OAFALSE);
        mVideoWindow->put_MessageDrain(0);
        mVideoWindow->put_Owner(0);
        SafeRelease(mVideoWindow);
    }
    RemoveFromRot();
    SafeRelease(mGraph);
}

bool CDXGraph::Attach(IGraphBuilder* inGraphBuilder) {
    Release();
    if (!inGraphBuilder) return false;
    inGraphBuilder->AddRef();
    mGraph = inGraphBuilder;
    AddToRot();
    return QueryInterfaces();
}

IGraphBuilder* CDXGraph::GetGraph() const { return mGraph; }

IMediaEventEx* CDXGraph::GetEventHandler() const { return mEvent; }

bool CDXGraph::ConnectPins(IPin* inOutputPin, IPin* inInputPin, AM_MEDIA_TYPE* inMediaType) {
    if (!mGraph || !inOutputPin || !inInputPin) return false;
    return SUCCEEDED(mGraph->ConnectDirect(inOutputPin, inInputPin, inMediaType));
}

void CDXGraph::DisconnectPins(IPin* inPin) {
    if (mGraph && inPin) mGraph->Disconnect(inPin);
}

bool CDXGraph::SetDisplayWindow(HWND inWindow) {
    if (!mVideoWindow) return false;
    // Hidden while it moves to its new owner, so no half-placed picture flashes.
    mVideoWindow->put_Visible(OAFALSE);
    HRESULT hr = mVideoWindow->put_Owner(reinterpret_cast<OAHWND>(inWindow));
    RECT client{0, 0, 0, 0};
    if (inWindow) GetClientRect(inWindow, &client);
    mVideoWindow->SetWindowPosition(0, 0, client.right - client.left, client.bottom - client.top);
    mVideoWindow->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    mVideoWindow->put_MessageDrain(reinterpret_cast<OAHWND>(inWindow));
    if (inWindow) mVideoWindow->put_Visible(OATRUE);
    return SUCCEEDED(hr);
}

bool CDXGraph::SetNotifyWindow(HWND inWindow) {
    if (!mEvent) return false;
    return SUCCEEDED(mEvent->SetNotifyWindow(reinterpret_cast<OAHWND>(inWindow), WM_GRAPHNOTIFY, 0));
}

bool CDXGraph::SetWindowPosition(long inLeft, long inTop, long inWidth, long inHeight) {
    if (!mVideoWindow) return false;
    return SUCCEEDED(mVideoWindow->SetWindowPosition(inLeft, inTop, inWidth, inHeight));
}

void CDXGraph::HandleEvents() {
    if (!mEvent) return;
    long code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    while (SUCCEEDED(mEvent->GetEvent(&code, &p1, &p2, 0))) mEvent->FreeEventParams(code, p1, p2);
}

bool CDXGraph::IsRunning() {
    OAFilterState state = State_Stopped;
    return mMediaControl && SUCCEEDED(mMediaControl->GetState(10, &state)) && state == State_Running;
}

bool CDXGraph::IsStopped() {
    OAFilterState state = State_Stopped;
    return mMediaControl && SUCCEEDED(mMediaControl->GetState(10, &state)) && state == State_Stopped;
}

bool CDXGraph::IsPaused() {
    OAFilterState state = State_Stopped;
    return mMediaControl && SUCCEEDED(mMediaControl->GetState(10, &state)) && state == State_Paused;
}

bool CDXGraph::Run() {
    if (!mGraph || !mMediaControl) return false;
    if (IsRunning()) return true;
    return SUCCEEDED(mMediaControl->Run());
}

bool CDXGraph::Stop() {
    if (!mGraph || !mMediaControl) return false;
    if (IsStopped()) return true;
    return SUCCEEDED(mMediaControl->Stop());
}

bool CDXGraph::Pause() {
    if (!mGraph || !mMediaControl) return false;
    if (IsPaused()) return true;
    return SUCCEEDED(mMediaControl->Pause());
}

bool CDXGraph::SetFullScreen(BOOL inEnabled) {
    if (!mVideoWindow) return false;
    return SUCCEEDED(mVideoWindow->put_FullScreenMode(inEnabled ? OATRUE : OAFALSE));
}

bool CDXGraph::GetFullScreen() {
    long mode = OAFALSE;
    return mVideoWindow && SUCCEEDED(mVideoWindow->get_FullScreenMode(&mode)) && mode == OATRUE;
}

bool CDXGraph::GetCurrentPosition(double* outPosition) {
    LONGLONG t = 0;
    if (!mSeeking || !outPosition || FAILED(mSeeking->GetCurrentPosition(&t))) return false;
    *outPosition = double(t) / kUnitsPerSecond;
    return true;
}

bool CDXGraph::GetStopPosition(double* outPosition) {
    LONGLONG t = 0;
    if (!mSeeking || !outPosition || FAILED(mSeeking->GetStopPosition(&t))) return false;
    *outPosition = double(t) / kUnitsPerSecond;
    return true;
}

bool CDXGraph::SetCurrentPosition(double inPosition) {
    LONGLONG t = 0;
    if (!mSeeking || !ToMediaTime(inPosition, &t)) return false;
    return SUCCEEDED(mSeeking->SetPositions(&t, AM_SEEKING_AbsolutePositioning | AM_SEEKING_SeekToKeyFrame, nullptr,
                                            AM_SEEKING_NoPositioning));
}

bool CDXGraph::SetStartStopPositions(double inStart, double inStop) {
    LONGLONG start = 0, stop = 0;
    if (!mSeeking || !ToMediaTime(inStart, &start) || !ToMediaTime(inStop, &stop)) return false;
    return SUCCEEDED(mSeeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning | AM_SEEKING_SeekToKeyFrame, &stop,
                                            AM_SEEKING_AbsolutePositioning | AM_SEEKING_SeekToKeyFrame));
}

bool CDXGraph::GetDuration(double* outDuration) {
    LONGLONG t = 0;
    if (!mSeeking || !outDuration || FAILED(mSeeking->GetDuration(&t))) return false;
    *outDuration = double(t) / kUnitsPerSecond;
    return true;
}

bool CDXGraph::SetPlaybackRate(double inRate) {
    if (!mSeeking) return false;
    return SUCCEEDED(mSeeking->SetRate(inRate));
}

bool CDXGraph::SetAudioVolume(long inVolume) {
    if (!mBasicAudio) return false;
    return SUCCEEDED(mBasicAudio->put_Volume(inVolume));
}

long CDXGraph::GetAudioVolume() {
    long volume = 0;
    if (mBasicAudio) mBasicAudio->get_Volume(&volume);
    return volume;
}

bool CDXGraph::SetAudioBalance(long inBalance) {
    if (!mBasicAudio) return false;
    return SUCCEEDED(mBasicAudio->put_Balance(inBalance));
}

long CDXGraph::GetAudioBalance() {
    long balance = 0;
    if (mBasicAudio) mBasicAudio->get_Balance(&balance);
    return balance;
}

bool CDXGraph::RenderFile(const char* inFile) {
    std::vector<WCHAR> wide;
    if (!mGraph || !Widen(inFile, &wide)) return false;
    return SUCCEEDED(mGraph->RenderFile(wide.data(), nullptr));
}

bool CDXGraph::SnapshotBitmap(const char* outFile) {
    long size = 0;
    if (!mBasicVideo || !outFile || !*outFile || FAILED(mBasicVideo->GetCurrentImage(&size, nullptr)) ||
        size <= long(sizeof(BITMAPINFOHEADER)))
        return false;
    // Whole words, as the interface takes the picture.
    std::vector<long> dib((size_t(size) + sizeof(long) - 1) / sizeof(long), 0);
    if (FAILED(mBasicVideo->GetCurrentImage(&size, dib.data()))) return false;
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib.data(), sizeof header);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = DWORD(sizeof file + header.biSize + header.biClrUsed * sizeof(RGBQUAD));
    file.bfSize = DWORD(sizeof file + size_t(size));
    std::vector<char> bytes(sizeof file + size_t(size));
    std::memcpy(bytes.data(), &file, sizeof file);
    std::memcpy(bytes.data() + sizeof file, dib.data(), size_t(size));
    return WriteWholeFile(outFile, bytes.data(), bytes.size());
}

bool CDXGraph::QueryMediaDetInfo(const char* inFile, std::vector<MediaDetStream>* outStreams) {
    if (!outStreams) return false;
    outStreams->clear();
    MediaDetector det(inFile);
    long count = 0;
    if (!det || FAILED(det->get_OutputStreams(&count))) return false;
    for (long i = 0; i < count; ++i) {
        MediaDetStream stream;
        if (FAILED(det->put_CurrentStream(i)) || FAILED(det->get_StreamType(&stream.majorType))) return false;
        det->get_StreamLength(&stream.length);
        ReadStreamFormat(det.get(), &stream);
        outStreams->push_back(stream);
    }
    return true;
}

bool CDXGraph::SaveMediaDetBitmap(const char* inFile, double inSeconds, const char* outFile, long inWidth,
                                  long inHeight) {
    std::vector<WCHAR> wideOut;
    MediaDetector det(inFile);
    if (!det || !Widen(outFile, &wideOut) || FAILED(det->EnterBitmapGrabMode(inSeconds))) return false;
    if (inWidth <= 0 || inHeight <= 0) {
        MediaDetStream stream;
        ReadStreamFormat(det.get(), &stream);
        inWidth = stream.width;
        inHeight = stream.height;
    }
    return SUCCEEDED(det->WriteBitmapBits(inSeconds, inWidth, inHeight, wideOut.data()));
}

long CDXGraph::GetFileSizeByName(const char* inFile) {
    struct stat st;
    if (!inFile || stat(inFile, &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    return long(st.st_size);
}

void CDXGraph::AddToRot() {
    if (!mGraph || mObjectTableEntry) return;
    IRunningObjectTable* table = nullptr;
    if (FAILED(GetRunningObjectTable(0, &table)) || !table) return;
    char name[64];
    std::snprintf(name, sizeof name, "FilterGraph %08" PRIxPTR " pid %08x", reinterpret_cast<uintptr_t>(mGraph),
                  unsigned(GetCurrentProcessId()));
    WCHAR wide[64] = {0};
    for (size_t i = 0; name[i] && i + 1 < sizeof wide / sizeof wide[0]; ++i) wide[i] = WCHAR(name[i]);
    IMoniker* moniker = nullptr;
    if (SUCCEEDED(CreateItemMoniker(u"!", wide, &moniker)) && moniker) {
        DWORD cookie = 0;
        if (SUCCEEDED(table->Register(ROTFLAGS_REGISTRATIONKEEPSALIVE, mGraph, moniker, &cookie)))
            mObjectTableEntry = cookie;
        moniker->Release();
    }
    table->Release();
}

void CDXGraph::RemoveFromRot() {
    if (!mObjectTableEntry) return;
    IRunningObjectTable* table = nullptr;
    if (SUCCEEDED(GetRunningObjectTable(0, &table)) && table) {
        table->Revoke(mObjectTableEntry);
        table->Release();
    }
    mObjectTableEntry = 0;
}
