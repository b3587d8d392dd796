// The filter graph: one object that opens a file with libavformat, decodes with libavcodec
// and presents video frames, scaled to 32-bit BGRA by libswscale, in a child window of the
// program's choosing. Playback runs on a thread of its own, paced by the layer's clock.
//
// Ownership of the demuxer and decoders ("the media") moves between threads: the calling
// (UI) thread owns it while no playback thread runs; the playback thread owns it between
// its start and its join. Everything the two threads share at the same time (the latest
// frame, the event queue, the notify target, the stop request) lives under `mu_`. Window
// system calls are never made with `mu_` held.
//
// The clip ends at a moment of the layer's clock. Whichever thread sees the clock reach it
// first reports the end: the playback thread on its own, or the thread that moves the clock
// (through the clock's advance listener) before that move returns. On a virtual clock the end
// is therefore in the notify window's queue as soon as the clock has been moved past it,
// however late the playback thread wakes.
#include "dshow/graph.h"
#include "dshow/media.h"
#include "dshow/sync.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}
#include <SDL.h>
#include <cmath>

#include "backend/backend.h"
#include "core/clock.h"
#include "res/resources.h"

namespace plat::dshow {
namespace {

constexpr UINT kFrameReady = WM_USER + 1;       // playback thread -> video window
constexpr const char* kVideoClass = "VelmoraVideoRenderer";
constexpr LONGLONG kAudioLead = 3000000;  // decode audio this far ahead of the clock

LRESULT WINAPI VideoWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

class Graph final : public IGraphBuilder,
                    public IMediaControl,
                    public IMediaEventEx,
                    public IMediaSeeking,
                    public IBasicAudio,
                    public IBasicVideo,
                    public IVideoWindow {
public:
    Graph() : watch_(std::make_shared<ClockWatch>()) {
        watch_->graph = this;
        listener_ = plat::clock::AddAdvanceListener([w = watch_] {
            std::lock_guard<std::mutex> l(w->mu);
            if (w->graph) w->graph->OnClockAdvanced();
        });
    }
    ~Graph() {
        // The clock may be calling the listener on another thread: once `graph` is cleared
        // under the watch's lock, no call is under way and none comes.
        plat::clock::RemoveAdvanceListener(listener_);
        {
            std::lock_guard<std::mutex> l(watch_->mu);
            watch_->graph = nullptr;
        }
        StopWorker();
        DestroyVideoWindow();
        CloseMedia();
    }

    // ---- IUnknown ----
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IGraphBuilder || iid == IID_IFilterGraph)
            *out = static_cast<IGraphBuilder*>(this);
        else if (iid == IID_IMediaControl)
            *out = static_cast<IMediaControl*>(this);
        else if (iid == IID_IMediaEventEx || iid == IID_IMediaEvent)
            *out = static_cast<IMediaEventEx*>(this);
        else if (iid == IID_IMediaSeeking)
            *out = static_cast<IMediaSeeking*>(this);
        else if (iid == IID_IBasicAudio)
            *out = static_cast<IBasicAudio*>(this);
        else if (iid == IID_IBasicVideo)
            *out = static_cast<IBasicVideo*>(this);
        else if (iid == IID_IVideoWindow)
            *out = static_cast<IVideoWindow*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }

    // ---- IFilterGraph / IGraphBuilder: only whole-file rendering is offered ----
    HRESULT STDMETHODCALLTYPE AddFilter(IBaseFilter*, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveFilter(IBaseFilter*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFilters(IEnumFilters** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FindFilterByName(LPCWSTR, IBaseFilter** out) override {
        if (out) *out = nullptr;
        return VFW_E_NOT_FOUND;
    }
    HRESULT STDMETHODCALLTYPE ConnectDirect(IPin*, IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reconnect(IPin*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Disconnect(IPin*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDefaultSyncSource() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Connect(IPin*, IPin*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Render(IPin*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddSourceFilter(LPCWSTR, LPCWSTR, IBaseFilter** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetLogFile(DWORD_PTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Abort() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ShouldOperationContinue() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RenderFile(LPCWSTR file, LPCWSTR) override;

    // ---- IMediaControl ----
    HRESULT STDMETHODCALLTYPE Run() override;
    HRESULT STDMETHODCALLTYPE Pause() override;
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE GetState(LONG, OAFilterState* state) override {
        if (!state) return E_POINTER;
        *state = state_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RenderFile(BSTR file) override { return RenderFile(file, nullptr); }
    HRESULT STDMETHODCALLTYPE StopWhenReady() override { return Stop(); }

    // ---- IMediaEvent(Ex) ----
    HRESULT STDMETHODCALLTYPE GetEventHandle(OAEVENT* handle) override {
        if (handle) *handle = 0;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetEvent(long* code, LONG_PTR* p1, LONG_PTR* p2, long timeout_ms) override;
    HRESULT STDMETHODCALLTYPE WaitForCompletion(long timeout_ms, long* code) override;
    HRESULT STDMETHODCALLTYPE CancelDefaultHandling(long) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RestoreDefaultHandling(long) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE FreeEventParams(long, LONG_PTR, LONG_PTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetNotifyWindow(OAHWND hwnd, long msg, LONG_PTR instance) override {
        std::lock_guard<std::mutex> l(mu_);
        notify_hwnd_ = reinterpret_cast<HWND>(hwnd);
        notify_msg_ = UINT(msg);
        notify_instance_ = instance;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetNotifyFlags(long flags) override {
        std::lock_guard<std::mutex> l(mu_);
        notify_flags_ = flags;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetNotifyFlags(long* flags) override {
        if (!flags) return E_POINTER;
        std::lock_guard<std::mutex> l(mu_);
        *flags = notify_flags_;
        return S_OK;
    }

    // ---- IMediaSeeking (media time only) ----
    HRESULT STDMETHODCALLTYPE GetCapabilities(DWORD* caps) override {
        if (!caps) return E_POINTER;
        *caps = fmt_ ? Capabilities() : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CheckCapabilities(DWORD* caps) override {
        if (!caps) return E_POINTER;
        DWORD have = fmt_ ? Capabilities() : 0;
        DWORD want = *caps;
        *caps &= have;
        return *caps == want ? S_OK : (*caps ? S_FALSE : E_FAIL);
    }
    HRESULT STDMETHODCALLTYPE IsFormatSupported(const GUID* f) override {
        if (!f) return E_POINTER;
        return *f == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE QueryPreferredFormat(GUID* f) override {
        if (!f) return E_POINTER;
        *f = TIME_FORMAT_MEDIA_TIME;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTimeFormat(GUID* f) override { return QueryPreferredFormat(f); }
    HRESULT STDMETHODCALLTYPE IsUsingTimeFormat(const GUID* f) override { return IsFormatSupported(f); }
    HRESULT STDMETHODCALLTYPE SetTimeFormat(const GUID* f) override {
        if (!f) return E_POINTER;
        return *f == TIME_FORMAT_MEDIA_TIME ? S_OK : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE GetDuration(LONGLONG* d) override {
        if (!d) return E_POINTER;
        if (!fmt_) return E_NOTIMPL;
        *d = duration_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetStopPosition(LONGLONG* s) override { return GetDuration(s); }
    HRESULT STDMETHODCALLTYPE GetCurrentPosition(LONGLONG* c) override {
        if (!c) return E_POINTER;
        if (!fmt_) return E_NOTIMPL;
        *c = Position();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ConvertTimeFormat(LONGLONG* target, const GUID* tf, LONGLONG source,
                                                const GUID* sf) override {
        if (!target) return E_POINTER;
        bool t_ok = !tf || *tf == TIME_FORMAT_MEDIA_TIME, s_ok = !sf || *sf == TIME_FORMAT_MEDIA_TIME;
        if (!t_ok || !s_ok) return E_INVALIDARG;
        *target = source;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetPositions(LONGLONG* cur, DWORD cur_flags, LONGLONG* stop, DWORD stop_flags) override;
    HRESULT STDMETHODCALLTYPE GetPositions(LONGLONG* cur, LONGLONG* stop) override {
        if (!fmt_) return E_NOTIMPL;
        if (cur) *cur = Position();
        if (stop) *stop = duration_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAvailable(LONGLONG* earliest, LONGLONG* latest) override {
        if (!fmt_) return E_NOTIMPL;
        if (earliest) *earliest = 0;
        if (latest) *latest = duration_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetRate(double rate) override { return rate == 1.0 ? S_OK : E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRate(double* rate) override {
        if (!rate) return E_POINTER;
        *rate = 1.0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPreroll(LONGLONG* p) override {
        if (!p) return E_POINTER;
        *p = 0;
        return S_OK;
    }

    // ---- IBasicAudio: volume in 1/100 dB, -10000 (silence) .. 0 ----
    HRESULT STDMETHODCALLTYPE put_Volume(long v) override {
        if (!adec_) return E_NOTIMPL;
        if (v < -10000 || v > 0) return E_INVALIDARG;
        volume_ = v;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Volume(long* v) override {
        if (!v) return E_POINTER;
        if (!adec_) return E_NOTIMPL;
        *v = volume_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Balance(long b) override {
        if (!adec_) return E_NOTIMPL;
        if (b < -10000 || b > 10000) return E_INVALIDARG;
        balance_ = b;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Balance(long* b) override {
        if (!b) return E_POINTER;
        if (!adec_) return E_NOTIMPL;
        *b = balance_.load();
        return S_OK;
    }

    // ---- IBasicVideo ----
    HRESULT STDMETHODCALLTYPE get_AvgTimePerFrame(REFTIME* t) override {
        if (!t) return E_POINTER;
        if (!vdec_) return E_NOINTERFACE;
        AVRational r = fmt_->streams[vidx_]->avg_frame_rate;
        *t = r.num > 0 && r.den > 0 ? double(r.den) / r.num : 0.0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_VideoWidth(long* w) override {
        if (!w) return E_POINTER;
        if (!vdec_) return E_NOINTERFACE;
        *w = video_w_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_VideoHeight(long* h) override {
        if (!h) return E_POINTER;
        if (!vdec_) return E_NOINTERFACE;
        *h = video_h_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSourcePosition(long* l, long* t, long* w, long* h) override {
        if (!l || !t || !w || !h) return E_POINTER;
        if (!vdec_) return E_NOINTERFACE;
        *l = *t = 0;
        *w = video_w_;
        *h = video_h_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDestinationPosition(long* l, long* t, long* w, long* h) override {
        if (!l || !t || !w || !h) return E_POINTER;
        if (!vdec_) return E_NOINTERFACE;
        RECT r = Letterbox(win_w_, win_h_, video_w_, video_h_, SampleAspect());
        *l = r.left;
        *t = r.top;
        *w = r.right - r.left;
        *h = r.bottom - r.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetVideoSize(long* w, long* h) override {
        if (!w || !h) return E_POINTER;
        if (!vdec_) return E_NOINTERFACE;
        *w = video_w_;
        *h = video_h_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCurrentImage(long* size, long* image) override;

    // ---- IVideoWindow ----
    HRESULT STDMETHODCALLTYPE put_WindowStyle(long style) override;
    HRESULT STDMETHODCALLTYPE get_WindowStyle(long* style) override {
        if (!style) return E_POINTER;
        if (!vdec_) return E_NOINTERFACE;
        *style = style_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_AutoShow(long show) override {
        if (!vdec_) return E_NOINTERFACE;
        auto_show_ = show != OAFALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_AutoShow(long* show) override {
        if (!show) return E_POINTER;
        if (!vdec_) return E_NOINTERFACE;
        *show = auto_show_ ? OATRUE : OAFALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Visible(long visible) override;
    HRESULT STDMETHODCALLTYPE get_Visible(long* visible) override {
        if (!visible) return E_POINTER;
        if (!vdec_) return E_NOINTERFACE;
        *visible = visible_ ? OATRUE : OAFALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Owner(OAHWND owner) override;
    HRESULT STDMETHODCALLTYPE get_Owner(OAHWND* owner) override {
        if (!owner) return E_POINTER;
        if (!vdec_) return E_NOINTERFACE;
        *owner = reinterpret_cast<OAHWND>(owner_);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_MessageDrain(OAHWND drain) override {
        if (!vdec_) return E_NOINTERFACE;
        drain_ = reinterpret_cast<HWND>(drain);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_MessageDrain(OAHWND* drain) override {
        if (!drain) return E_POINTER;
        if (!vdec_) return E_NOINTERFACE;
        *drain = reinterpret_cast<OAHWND>(drain_);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_FullScreenMode(long) override { return vdec_ ? E_NOTIMPL : E_NOINTERFACE; }
    HRESULT STDMETHODCALLTYPE get_FullScreenMode(long* mode) override {
        if (!mode) return E_POINTER;
        if (!vdec_) return E_NOINTERFACE;
        *mode = OAFALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetWindowPosition(long l, long t, long w, long h) override;
    HRESULT STDMETHODCALLTYPE GetWindowPosition(long* l, long* t, long* w, long* h) override {
        if (!l || !t || !w || !h) return E_POINTER;
        if (!vdec_) return E_NOINTERFACE;
        *l = win_x_;
        *t = win_y_;
        *w = win_w_;
        *h = win_h_;
        return S_OK;
    }

    // Called by the video window's procedure (UI thread).
    LRESULT OnVideoMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    void ForgetWindow(HWND hwnd) {
        std::lock_guard<std::mutex> l(mu_);
        if (video_hwnd_ == hwnd) video_hwnd_ = nullptr;
    }

    static RECT Letterbox(int cw, int ch, int vw, int vh, double sar);

private:
    DWORD Capabilities() const {
        return AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanSeekForwards | AM_SEEKING_CanSeekBackwards |
               AM_SEEKING_CanGetCurrentPos | AM_SEEKING_CanGetStopPos | AM_SEEKING_CanGetDuration;
    }
    double SampleAspect() const { return sar_; }
    LONGLONG Position();
    LONGLONG ToUnits(int64_t ts, AVRational tb) const { return ToMediaTime(fmt_, ts, tb); }

    void CloseMedia();
    void ResetDecoding(LONGLONG target);
    bool SeekMedia(LONGLONG target);
    enum class PumpMode { Preroll, Play };
    // Reads and decodes until the mode's goal: Preroll stops after presenting the first video
    // frame at or after the skip target; Play runs to the end or a stop request. Returns false
    // when a stop request ended it.
    bool Pump(PumpMode mode);
    enum class Presented { Stopped, Shown, Dropped };
    Presented PresentPending(PumpMode mode);
    bool WaitForStreamTime(LONGLONG t);
    void Deliver(const AVFrame* f);
    void PostEvent(long code, LONG_PTR p1, LONG_PTR p2);
    // Reports the end of the clip unless it was reported already. With `when_due`, only when
    // the clock has reached the end (the playback thread knows it has).
    void Complete(bool when_due);
    void OnClockAdvanced() { Complete(true); }
    void StartWorker();
    void StopWorker();
    void EnsureVideoWindow();
    void DestroyVideoWindow();
    void PostFrameReady();

    std::atomic<ULONG> refs_{1};
    OAFilterState state_ = State_Stopped;

    // The media (see the top of the file for who owns it when).
    AVFormatContext* fmt_ = nullptr;
    int vidx_ = -1, aidx_ = -1;
    AVCodecContext* vdec_ = nullptr;
    AVCodecContext* adec_ = nullptr;
    SwsContext* sws_ = nullptr;
    AVPacket* pkt_ = nullptr;
    AVFrame* pending_ = nullptr;       // decoded, not yet presented
    AVFrame* passed_ = nullptr;        // the last video frame a preroll decoded past
    bool pending_video_ = false;
    bool input_eof_ = false;
    LONGLONG skip_before_ = 0;         // frames ending before this are decoded, not shown
    LONGLONG shown_at_ = -1;           // stream time of the last frame presented
    LONGLONG next_video_ = 0;          // where the next video frame ends up without a time of its own
    LONGLONG duration_ = 0;
    std::vector<uint32_t> scratch_;
    std::vector<uint32_t> converted_;  // the scaler's output, rows padded
    // Fixed when the file is rendered, read by the UI thread at any time.
    int video_w_ = 0, video_h_ = 0;
    double sar_ = 1.0;

    // Shared between the UI and playback threads.
    std::mutex mu_;
    std::condition_variable cv_;
    bool stop_request_ = false;
    bool playing_ = false;            // the clock runs from base_pos_ at run_start_ms_
    bool completed_ = false;
    LONGLONG base_pos_ = 0;
    uint64_t run_start_ms_ = 0;
    uint64_t end_ms_ = plat::clock::kForever;  // when the clip ends on the clock, while playing_
    // Taken around the end's report (check, flag and post as one), never inside `mu_`.
    std::mutex end_mu_;
    // What the clock's advance listener reaches the graph through.
    struct ClockWatch {
        std::mutex mu;
        Graph* graph = nullptr;
    };
    std::shared_ptr<ClockWatch> watch_;
    int listener_ = 0;
    std::vector<uint32_t> frame_;     // latest frame, BGRA top-down
    int frame_w_ = 0, frame_h_ = 0;
    std::deque<std::array<LONG_PTR, 3>> events_;
    HWND notify_hwnd_ = nullptr;
    UINT notify_msg_ = 0;
    LONG_PTR notify_instance_ = 0;
    long notify_flags_ = 0;
    HWND video_hwnd_ = nullptr;
    std::thread worker_;

    // UI thread only.
    HWND owner_ = nullptr, drain_ = nullptr;
    long style_ = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    bool visible_ = false, auto_show_ = true;
    int win_x_ = 0, win_y_ = 0, win_w_ = 0, win_h_ = 0;
    std::atomic<long> volume_{0};
    std::atomic<long> balance_{0};

    // Sound output: opened with the file when the clock is real and a device exists; the
    // playback thread queues converted samples, the UI thread starts, pauses and clears it.
    void OpenAudio();
    void CloseAudio();
    void QueueAudio(const AVFrame* f, LONGLONG due);
    SDL_AudioDeviceID audio_dev_ = 0;
    SwrContext* swr_ = nullptr;
    int audio_rate_ = 0, audio_channels_ = 0;
    std::vector<int16_t> audio_buf_;
};

// ---------------------------------------------------------------------------------------
// Rendering a file

HRESULT Graph::RenderFile(LPCWSTR file, LPCWSTR) {
    if (!file) return E_POINTER;
    if (state_ != State_Stopped) return VFW_E_WRONG_STATE;
    CloseMedia();
    HRESULT opened = OpenMediaFile(Utf8FromWide(file), &fmt_);
    if (FAILED(opened)) return opened;
    bool had_video = av_find_best_stream(fmt_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0) >= 0;
    auto open = [&](AVMediaType type, int* idx) -> AVCodecContext* {
        int i = av_find_best_stream(fmt_, type, -1, -1, nullptr, 0);
        AVCodecContext* c = OpenStreamDecoder(fmt_, i);
        if (c) *idx = i;
        return c;
    };
    vdec_ = open(AVMEDIA_TYPE_VIDEO, &vidx_);
    adec_ = open(AVMEDIA_TYPE_AUDIO, &aidx_);
    if (!vdec_ && !adec_) {
        CloseMedia();
        return VFW_E_CANNOT_RENDER;
    }
    if (vdec_) {
        video_w_ = vdec_->width;
        video_h_ = vdec_->height;
        AVRational sar = av_guess_sample_aspect_ratio(fmt_, fmt_->streams[vidx_], nullptr);
        sar_ = sar.num > 0 && sar.den > 0 ? av_q2d(sar) : 1.0;
    }
    pkt_ = av_packet_alloc();
    pending_ = av_frame_alloc();
    passed_ = av_frame_alloc();
    if (!pkt_ || !pending_ || !passed_) {
        CloseMedia();
        return E_OUTOFMEMORY;
    }
    if (fmt_->duration != AV_NOPTS_VALUE && fmt_->duration > 0) {
        duration_ = av_rescale(fmt_->duration, kUnitsPerSecond, AV_TIME_BASE);
    } else {
        for (int i : {vidx_, aidx_}) {
            if (i < 0) continue;
            AVStream* s = fmt_->streams[i];
            if (s->duration != AV_NOPTS_VALUE)
                duration_ = std::max<LONGLONG>(duration_, av_rescale_q(s->duration, s->time_base, {1, int(kUnitsPerSecond)}));
        }
    }
    {
        std::lock_guard<std::mutex> l(mu_);
        base_pos_ = 0;
        completed_ = false;
    }
    ResetDecoding(0);
    OpenAudio();
    return had_video && !vdec_ ? VFW_S_PARTIAL_RENDER : S_OK;
}

void Graph::CloseMedia() {
    CloseAudio();
    if (pending_) av_frame_free(&pending_);
    if (passed_) av_frame_free(&passed_);
    if (pkt_) av_packet_free(&pkt_);
    if (vdec_) avcodec_free_context(&vdec_);
    if (adec_) avcodec_free_context(&adec_);
    if (sws_) sws_freeContext(sws_);
    sws_ = nullptr;
    if (fmt_) avformat_close_input(&fmt_);
    vidx_ = aidx_ = -1;
    duration_ = 0;
    video_w_ = video_h_ = 0;
    sar_ = 1.0;
    pending_video_ = false;
    input_eof_ = false;
}

void Graph::ResetDecoding(LONGLONG target) {
    if (vdec_) avcodec_flush_buffers(vdec_);
    if (adec_) avcodec_flush_buffers(adec_);
    if (pending_) av_frame_unref(pending_);
    if (passed_) av_frame_unref(passed_);
    pending_video_ = false;
    input_eof_ = false;
    skip_before_ = target;
    next_video_ = target;
    if (audio_dev_) SDL_ClearQueuedAudio(audio_dev_);
}

bool Graph::SeekMedia(LONGLONG target) {
    LONGLONG start = StartUnits(fmt_);
    int64_t ts = av_rescale(target, AV_TIME_BASE, kUnitsPerSecond) + av_rescale(start, AV_TIME_BASE, kUnitsPerSecond);
    // Backwards: the key frame at or before the target; the frames between are decoded, not shown.
    // The video stream's own index decides where its key frames are; the demuxer's default
    // stream may be the sound, whose every packet is a key frame.
    int stream = vdec_ ? vidx_ : -1;
    if (stream >= 0) ts = av_rescale_q(ts, AVRational{1, AV_TIME_BASE}, fmt_->streams[stream]->time_base);
    int rc = av_seek_frame(fmt_, stream, ts, AVSEEK_FLAG_BACKWARD);
    if (rc < 0) rc = av_seek_frame(fmt_, stream, ts, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY);
    ResetDecoding(target);
    return rc >= 0;
}

// ---------------------------------------------------------------------------------------
// Decoding and presenting

bool Graph::Pump(PumpMode mode) {
    for (;;) {
        if (pending_->buf[0]) {
            Presented p = PresentPending(mode);
            if (p == Presented::Stopped) return false;
            if (mode == PumpMode::Preroll && p == Presented::Shown) return true;
            continue;
        }
        bool got = false;
        for (AVCodecContext* c : {vdec_, adec_}) {
            if (!c || got) continue;
            if (avcodec_receive_frame(c, pending_) == 0) {
                pending_video_ = c == vdec_;
                got = true;
            }
        }
        if (got) continue;
        if (input_eof_) {
            // Every decoder is drained. A target past the last frame shows the last frame.
            if (mode == PumpMode::Preroll && passed_->buf[0]) {
                Deliver(passed_);
                av_frame_unref(passed_);
            }
            return true;
        }
        int rc = av_read_frame(fmt_, pkt_);
        if (rc < 0) {
            input_eof_ = true;
            if (vdec_) avcodec_send_packet(vdec_, nullptr);
            if (adec_) avcodec_send_packet(adec_, nullptr);
            continue;
        }
        AVCodecContext* c = pkt_->stream_index == vidx_ ? vdec_ : pkt_->stream_index == aidx_ ? adec_ : nullptr;
        if (c && !(mode == PumpMode::Preroll && c == adec_)) avcodec_send_packet(c, pkt_);
        av_packet_unref(pkt_);
    }
}

// Presents (or drops) the pending frame. False when a stop request came while waiting; the
// frame then stays pending for the next run.
Graph::Presented Graph::PresentPending(PumpMode mode) {
    Presented result = Presented::Dropped;
    AVRational tb = fmt_->streams[pending_video_ ? vidx_ : aidx_]->time_base;
    int64_t best = pending_->best_effort_timestamp != AV_NOPTS_VALUE ? pending_->best_effort_timestamp : pending_->pts;
    LONGLONG t = ToUnits(best, tb);
    LONGLONG len = av_rescale_q(pending_->pkt_duration, tb, AVRational{1, int(kUnitsPerSecond)});
    if (pending_video_) {
        if (len <= 0 && vdec_->framerate.num > 0) len = LONGLONG(kUnitsPerSecond / av_q2d(vdec_->framerate));
        // Raw streams (H.264 elementary streams among them) carry no times: each frame follows
        // the one before by its length, instead of all of them showing at once.
        if (best == AV_NOPTS_VALUE) t = next_video_;
        next_video_ = t + std::max<LONGLONG>(len, 1);
        bool late = t >= 0 && t + std::max<LONGLONG>(len, 1) <= skip_before_;
        if (!late) {
            if (mode == PumpMode::Play && t >= 0 && !WaitForStreamTime(t)) return Presented::Stopped;
            Deliver(pending_);
            skip_before_ = 0;
            shown_at_ = t;
            result = Presented::Shown;
            av_frame_unref(passed_);
        } else if (mode == PumpMode::Preroll) {
            av_frame_unref(passed_);
            av_frame_move_ref(passed_, pending_);
        }
    } else if (mode == PumpMode::Play && t >= skip_before_) {
        // Sound goes to the device a little ahead of the clock, so the device never runs dry.
        if (!WaitForStreamTime(t - kAudioLead)) return Presented::Stopped;
        QueueAudio(pending_, t);
    }
    av_frame_unref(pending_);
    return result;
}

bool Graph::WaitForStreamTime(LONGLONG t) {
    std::unique_lock<std::mutex> l(mu_);
    LONGLONG ahead = std::max<LONGLONG>(0, t - base_pos_);
    uint64_t deadline = run_start_ms_ + uint64_t((ahead + 9999) / 10000);
    while (!stop_request_) {
        if (plat::clock::NowMs() >= deadline) return true;
        plat::clock::WaitUntil(cv_, l, deadline);
    }
    return false;
}

void Graph::Deliver(const AVFrame* f) {
    int w = f->width, h = f->height;
    if (!ToBgra(f, w, h, &sws_, &converted_, &scratch_)) return;
    {
        std::lock_guard<std::mutex> l(mu_);
        frame_.swap(scratch_);
        frame_w_ = w;
        frame_h_ = h;
    }
    PostFrameReady();
}

void Graph::PostFrameReady() {
    HWND target;
    {
        std::lock_guard<std::mutex> l(mu_);
        target = video_hwnd_;
    }
    if (target) PostMessageA(target, kFrameReady, 0, 0);
}

void Graph::PostEvent(long code, LONG_PTR p1, LONG_PTR p2) {
    HWND target;
    UINT msg;
    LONG_PTR inst;
    {
        std::lock_guard<std::mutex> l(mu_);
        events_.push_back({code, p1, p2});
        target = notify_hwnd_;
        msg = notify_msg_;
        inst = notify_instance_;
    }
    cv_.notify_all();
    if (target) PostMessageA(target, msg, 0, inst);
}

void Graph::OpenAudio() {
    // Tests run on a virtual clock and hear nothing; without a device the clip plays silently.
    if (!adec_ || plat::clock::IsVirtual()) return;
    if (!SDL_GetCurrentAudioDriver()) {
        // The headless backend has no speakers either: SDL's null device takes the samples at
        // the pace of a real one, so the sound path still runs.
        bool headless = std::strcmp(plat::CurrentBackend().Name(), "headless") == 0;
        if (headless ? SDL_AudioInit("dummy") != 0 : SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
    }
    SDL_AudioSpec want{}, have{};
    want.freq = adec_->sample_rate > 0 ? adec_->sample_rate : 44100;
    want.format = AUDIO_S16SYS;
    want.channels = Uint8(std::clamp(adec_->ch_layout.nb_channels, 1, 2));
    want.samples = 1024;
    audio_dev_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!audio_dev_) return;
    AVChannelLayout out_layout;
    av_channel_layout_default(&out_layout, have.channels);
    if (swr_alloc_set_opts2(&swr_, &out_layout, AV_SAMPLE_FMT_S16, have.freq, &adec_->ch_layout, adec_->sample_fmt,
                            adec_->sample_rate, 0, nullptr) < 0 ||
        swr_init(swr_) < 0) {
        CloseAudio();
        return;
    }
    audio_rate_ = have.freq;
    audio_channels_ = have.channels;
}

void Graph::CloseAudio() {
    if (audio_dev_) SDL_CloseAudioDevice(audio_dev_);
    audio_dev_ = 0;
    if (swr_) swr_free(&swr_);
}

void Graph::QueueAudio(const AVFrame* f, LONGLONG due) {
    if (!audio_dev_ || !swr_) return;
    int cap = swr_get_out_samples(swr_, f->nb_samples);
    if (cap <= 0) return;
    audio_buf_.resize(size_t(cap) * audio_channels_);
    uint8_t* out = reinterpret_cast<uint8_t*>(audio_buf_.data());
    int n = swr_convert(swr_, &out, cap, const_cast<const uint8_t**>(f->extended_data), f->nb_samples);
    if (n <= 0) return;
    // In step with the clock: what is still queued plays before these samples.
    int64_t skew = 0;
    if (due >= 0) {
        LONGLONG queued = LONGLONG(SDL_GetQueuedAudioSize(audio_dev_) / (sizeof(int16_t) * audio_channels_)) *
                          kUnitsPerSecond / audio_rate_;
        skew = AudioSkewSamples(Position() + queued, due, audio_rate_);
    }
    int16_t* first = audio_buf_.data();
    if (skew < 0) {
        int drop = int(std::min<int64_t>(-skew, n));
        first += size_t(drop) * audio_channels_;
        n -= drop;
        if (n <= 0) return;
    } else if (skew > 0) {
        std::vector<int16_t> silence(size_t(skew) * audio_channels_, 0);
        SDL_QueueAudio(audio_dev_, silence.data(), Uint32(silence.size() * sizeof(int16_t)));
    }
    // Volume and balance are attenuations in hundredths of a decibel; balance lowers one side.
    auto gain_of = [](long att) { return att <= -10000 ? 0.0 : std::pow(10.0, att / 2000.0); };
    long vol = volume_.load(), bal = balance_.load();
    double left = gain_of(vol), right = left;
    if (audio_channels_ == 2) {
        if (bal > 0) left = gain_of(vol - bal);
        if (bal < 0) right = gain_of(vol + bal);
    }
    if (left != 1.0 || right != 1.0) {
        for (int i = 0; i < n * audio_channels_; ++i) {
            double g = audio_channels_ == 2 && (i & 1) ? right : left;
            first[i] = int16_t(first[i] * g);
        }
    }
    SDL_QueueAudio(audio_dev_, first, Uint32(n * audio_channels_ * sizeof(int16_t)));
}

// ---------------------------------------------------------------------------------------
// States

LONGLONG Graph::Position() {
    std::lock_guard<std::mutex> l(mu_);
    LONGLONG pos = base_pos_;
    if (playing_) pos += LONGLONG(plat::clock::NowMs() - run_start_ms_) * 10000;
    return std::clamp<LONGLONG>(pos, 0, duration_ > 0 ? duration_ : std::max<LONGLONG>(pos, 0));
}

void Graph::StartWorker() {
    {
        std::lock_guard<std::mutex> l(mu_);
        stop_request_ = false;
        playing_ = true;
        run_start_ms_ = plat::clock::NowMs();
        // A clip of unknown length ends when its last frame is out, which only the playback
        // thread knows.
        end_ms_ = duration_ > 0
                      ? run_start_ms_ + uint64_t((std::max<LONGLONG>(0, duration_ - base_pos_) + 9999) / 10000)
                      : plat::clock::kForever;
    }
    if (audio_dev_) SDL_PauseAudioDevice(audio_dev_, 0);
    worker_ = std::thread([this] {
        if (!Pump(PumpMode::Play)) return;
        // Every frame is out; the clip ends when the clock reaches its end.
        if (!WaitForStreamTime(duration_)) return;
        Complete(false);
    });
}

void Graph::Complete(bool when_due) {
    std::lock_guard<std::mutex> e(end_mu_);
    {
        std::lock_guard<std::mutex> l(mu_);
        if (completed_) return;
        if (when_due && (!playing_ || plat::clock::NowMs() < end_ms_)) return;
        completed_ = true;
    }
    PostEvent(EC_COMPLETE, S_OK, 0);
}

void Graph::StopWorker() {
    if (!worker_.joinable()) return;
    {
        std::lock_guard<std::mutex> l(mu_);
        stop_request_ = true;
    }
    cv_.notify_all();
    worker_.join();
    if (audio_dev_) SDL_PauseAudioDevice(audio_dev_, 1);
    std::lock_guard<std::mutex> l(mu_);
    if (playing_) {
        LONGLONG pos = base_pos_ + LONGLONG(plat::clock::NowMs() - run_start_ms_) * 10000;
        base_pos_ = std::clamp<LONGLONG>(pos, 0, duration_ > 0 ? duration_ : std::max<LONGLONG>(pos, 0));
        playing_ = false;
    }
}

HRESULT Graph::Pause() {
    if (!fmt_) return VFW_E_NOT_CONNECTED;
    if (state_ == State_Running) {
        StopWorker();
    } else if (state_ == State_Stopped) {
        if (vdec_) Pump(PumpMode::Preroll);  // the first frame shows
    }
    state_ = State_Paused;
    return S_OK;
}

HRESULT Graph::Run() {
    if (!fmt_) return VFW_E_NOT_CONNECTED;
    if (state_ == State_Running) return S_OK;
    if (state_ == State_Stopped) Pause();
    state_ = State_Running;
    StartWorker();
    return S_OK;
}

HRESULT Graph::Stop() {
    if (!fmt_) return S_OK;
    StopWorker();
    state_ = State_Stopped;
    SeekMedia(0);
    std::lock_guard<std::mutex> l(mu_);
    base_pos_ = 0;
    completed_ = false;
    return S_OK;
}

HRESULT Graph::SetPositions(LONGLONG* cur, DWORD cur_flags, LONGLONG* stop, DWORD stop_flags) {
    if (!fmt_) return E_NOTIMPL;
    if ((stop_flags & AM_SEEKING_PositioningBitsMask) != AM_SEEKING_NoPositioning) return E_NOTIMPL;
    DWORD how = cur_flags & AM_SEEKING_PositioningBitsMask;
    if (how == AM_SEEKING_NoPositioning) return S_OK;
    if (!cur) return E_POINTER;
    if (how == AM_SEEKING_IncrementalPositioning) return E_INVALIDARG;
    bool was_running = state_ == State_Running;
    StopWorker();
    LONGLONG target = how == AM_SEEKING_RelativePositioning ? Position() + *cur : *cur;
    LONGLONG limit = duration_ > 0 ? duration_ : std::max<LONGLONG>(target, 0);
    target = std::clamp<LONGLONG>(target, 0, limit);
    bool ok = SeekMedia(target);
    // To a key frame: the demuxer stands on the key frame at or before the target, and that
    // frame is the one shown; the clock then starts from its time.
    bool to_key = (cur_flags & AM_SEEKING_SeekToKeyFrame) != 0;
    if (to_key) skip_before_ = 0;
    if ((state_ == State_Paused || was_running) && vdec_) {
        shown_at_ = -1;
        Pump(PumpMode::Preroll);  // the frame at the new position shows
        if (to_key && shown_at_ >= 0) target = std::clamp<LONGLONG>(shown_at_, 0, limit);
    }
    {
        std::lock_guard<std::mutex> l(mu_);
        base_pos_ = target;
        completed_ = false;
    }
    if (was_running) StartWorker();
    if (cur_flags & AM_SEEKING_ReturnTime) *cur = target;
    return ok ? S_OK : S_FALSE;
}

HRESULT Graph::GetEvent(long* code, LONG_PTR* p1, LONG_PTR* p2, long timeout_ms) {
    if (!code || !p1 || !p2) return E_POINTER;
    std::unique_lock<std::mutex> l(mu_);
    uint64_t deadline = timeout_ms < 0 ? plat::clock::kForever : plat::clock::NowMs() + uint64_t(timeout_ms);
    while (events_.empty()) {
        if (plat::clock::NowMs() >= deadline) return E_ABORT;
        plat::clock::WaitUntil(cv_, l, deadline);
    }
    auto e = events_.front();
    events_.pop_front();
    *code = long(e[0]);
    *p1 = e[1];
    *p2 = e[2];
    return S_OK;
}

HRESULT Graph::WaitForCompletion(long timeout_ms, long* code) {
    if (!code) return E_POINTER;
    *code = 0;
    std::unique_lock<std::mutex> l(mu_);
    if (state_ != State_Running) return VFW_E_WRONG_STATE;
    uint64_t deadline = timeout_ms < 0 ? plat::clock::kForever : plat::clock::NowMs() + uint64_t(timeout_ms);
    while (!completed_) {
        if (plat::clock::NowMs() >= deadline) return E_ABORT;
        plat::clock::WaitUntil(cv_, l, deadline);
    }
    *code = EC_COMPLETE;
    return S_OK;
}

HRESULT Graph::GetCurrentImage(long* size, long* image) {
    if (!size) return E_POINTER;
    if (!vdec_) return E_NOINTERFACE;
    std::lock_guard<std::mutex> l(mu_);
    if (frame_.empty() || frame_w_ <= 0 || frame_h_ <= 0) return E_UNEXPECTED;  // nothing shown yet
    const size_t pixels = size_t(frame_w_) * frame_h_ * 4;
    const size_t needed = sizeof(BITMAPINFOHEADER) + pixels;
    if (!image) {
        *size = long(needed);
        return S_OK;
    }
    if (*size < 0 || size_t(*size) < needed) return E_OUTOFMEMORY;
    BITMAPINFOHEADER bih{};
    bih.biSize = sizeof bih;
    bih.biWidth = frame_w_;
    bih.biHeight = frame_h_;  // bottom-up, as DIBs are
    bih.biPlanes = 1;
    bih.biBitCount = 32;
    bih.biCompression = BI_RGB;
    bih.biSizeImage = DWORD(pixels);
    uint8_t* out = reinterpret_cast<uint8_t*>(image);
    std::memcpy(out, &bih, sizeof bih);
    out += sizeof bih;
    for (int y = 0; y < frame_h_; ++y)
        std::memcpy(out + size_t(y) * frame_w_ * 4, frame_.data() + size_t(frame_h_ - 1 - y) * frame_w_,
                    size_t(frame_w_) * 4);
    return S_OK;
}

// ---------------------------------------------------------------------------------------
// The video window

RECT Graph::Letterbox(int cw, int ch, int vw, int vh, double sar) {
    RECT r{0, 0, cw, ch};
    if (cw <= 0 || ch <= 0 || vw <= 0 || vh <= 0) return r;
    double aspect = vw * sar / vh;
    if (cw >= ch * aspect) {
        int w = int(ch * aspect + 0.5);
        r.left = (cw - w) / 2;
        r.right = r.left + w;
    } else {
        int h = int(cw / aspect + 0.5);
        r.top = (ch - h) / 2;
        r.bottom = r.top + h;
    }
    return r;
}

void Graph::EnsureVideoWindow() {
    {
        std::lock_guard<std::mutex> l(mu_);
        if (video_hwnd_) return;
    }
    static bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = VideoWndProc;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = kVideoClass;
        return RegisterClassA(&wc) != 0;
    }();
    (void)registered;
    HWND h = CreateWindowExA(0, kVideoClass, "ActiveMovie Window", DWORD(style_) & ~WS_VISIBLE, win_x_, win_y_, win_w_,
                             win_h_, owner_, nullptr, nullptr, nullptr);
    if (!h) return;
    SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    std::lock_guard<std::mutex> l(mu_);
    video_hwnd_ = h;
}

void Graph::DestroyVideoWindow() {
    HWND h;
    {
        std::lock_guard<std::mutex> l(mu_);
        h = video_hwnd_;
    }
    if (h) {
        SetWindowLongPtrA(h, GWLP_USERDATA, 0);
        DestroyWindow(h);
    }
    std::lock_guard<std::mutex> l(mu_);
    video_hwnd_ = nullptr;
}

HRESULT Graph::put_Owner(OAHWND owner) {
    if (!vdec_) return E_NOINTERFACE;
    HWND o = reinterpret_cast<HWND>(owner);
    if (o == owner_) return S_OK;
    owner_ = o;
    // The window is a child of its owner, so a new owner means a new window.
    DestroyVideoWindow();
    if (owner_) {
        EnsureVideoWindow();
        PostFrameReady();
        if (visible_) {
            std::lock_guard<std::mutex> l(mu_);
            if (video_hwnd_) ShowWindow(video_hwnd_, SW_SHOWNA);
        }
    }
    return S_OK;
}

HRESULT Graph::put_WindowStyle(long style) {
    if (!vdec_) return E_NOINTERFACE;
    style_ = style & ~WS_VISIBLE;
    HWND h;
    {
        std::lock_guard<std::mutex> l(mu_);
        h = video_hwnd_;
    }
    if (h) SetWindowLongA(h, GWL_STYLE, LONG(style_ | (visible_ ? WS_VISIBLE : 0)));
    return S_OK;
}

HRESULT Graph::put_Visible(long visible) {
    if (!vdec_) return E_NOINTERFACE;
    visible_ = visible != OAFALSE;
    HWND h;
    {
        std::lock_guard<std::mutex> l(mu_);
        h = video_hwnd_;
    }
    if (h) ShowWindow(h, visible_ ? SW_SHOWNA : SW_HIDE);
    return S_OK;
}

HRESULT Graph::SetWindowPosition(long l, long t, long w, long h) {
    if (!vdec_) return E_NOINTERFACE;
    if (w < 0 || h < 0) return E_INVALIDARG;
    win_x_ = l;
    win_y_ = t;
    win_w_ = w;
    win_h_ = h;
    HWND hw;
    {
        std::lock_guard<std::mutex> lk(mu_);
        hw = video_hwnd_;
    }
    if (hw) MoveWindow(hw, l, t, w, h, TRUE);
    return S_OK;
}

LRESULT Graph::OnVideoMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case kFrameReady:
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // painting covers every pixel
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT client;
            GetClientRect(hwnd, &client);
            std::vector<uint32_t> pixels;
            int fw, fh;
            {
                std::lock_guard<std::mutex> l(mu_);
                pixels = frame_;
                fw = frame_w_;
                fh = frame_h_;
            }
            HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
            if (pixels.empty() || fw <= 0 || fh <= 0) {
                FillRect(dc, &client, black);
            } else {
                RECT r = Letterbox(client.right, client.bottom, fw, fh, SampleAspect());
                RECT bands[4] = {{0, 0, client.right, r.top},
                                 {0, r.bottom, client.right, client.bottom},
                                 {0, r.top, r.left, r.bottom},
                                 {r.right, r.top, client.right, r.bottom}};
                for (const RECT& b : bands)
                    if (b.right > b.left && b.bottom > b.top) FillRect(dc, &b, black);
                BITMAPINFO bmi{};
                bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
                bmi.bmiHeader.biWidth = fw;
                bmi.bmiHeader.biHeight = -fh;  // top-down
                bmi.bmiHeader.biPlanes = 1;
                bmi.bmiHeader.biBitCount = 32;
                bmi.bmiHeader.biCompression = BI_RGB;
                SetStretchBltMode(dc, HALFTONE);
                StretchDIBits(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0, fw, fh, pixels.data(), &bmi,
                              DIB_RGB_COLORS, SRCCOPY);
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        default:
            break;
    }
    // Input goes on to the drain, as the program asked.
    bool input = (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || (msg >= WM_KEYFIRST && msg <= WM_KEYLAST);
    if (input && drain_) {
        PostMessageA(drain_, msg, wp, lp);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT WINAPI VideoWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* g = reinterpret_cast<Graph*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY && g) {
        // The owner went first: forget the window so nothing posts to it any more.
        g->ForgetWindow(hwnd);
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    if (!g) {
        if (msg == WM_PAINT) {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    return g->OnVideoMessage(hwnd, msg, wp, lp);
}

}  // namespace

HRESULT CreateFilterGraph(REFIID iid, void** out) {
    return NewObject<Graph>(iid, out);
}

}  // namespace plat::dshow
