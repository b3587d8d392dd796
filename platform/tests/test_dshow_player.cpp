// The media player interfaces end to end: a tiny clip made here with libavcodec (solid red for
// the first second, solid blue for the second, a key frame every 10 frames, a tone alongside),
// played into a child window under a headless top level while the test drives the clock.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "dshow.h"
#include "testmedia.h"
#include "winplat_test.h"

namespace {

constexpr int kW = 64, kH = 48, kFps = 25, kFrames = 50;  // 2 seconds
constexpr LONGLONG kSecond = 10000000;
constexpr UINT kGraphNotify = WM_USER + 20;

std::string TempPath(const char* name) {
    return std::string(::testing::TempDir()) + "/dshow_" + std::to_string(getpid()) + "_" + name;
}

std::u16string Wide(const std::string& s) { return std::u16string(s.begin(), s.end()); }

// Writes the red-then-blue clip (mpeg4 + pcm in AVI). Returns false on any library failure.
bool WriteClip(const std::string& path) {
    AVFormatContext* oc = nullptr;
    if (avformat_alloc_output_context2(&oc, nullptr, "avi", path.c_str()) < 0) return false;
    bool ok = true;
    AVCodecContext* venc = nullptr;
    AVCodecContext* aenc = nullptr;
    AVStream* vs = nullptr;
    AVStream* as = avformat_new_stream(oc, nullptr);
    const AVCodec* ac = avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE);
    aenc = avcodec_alloc_context3(ac);
    aenc->sample_fmt = AV_SAMPLE_FMT_S16;
    aenc->sample_rate = 8000;
    av_channel_layout_default(&aenc->ch_layout, 1);
    aenc->time_base = {1, 8000};
    ok = ok && avcodec_open2(aenc, ac, nullptr) >= 0 && avcodec_parameters_from_context(as->codecpar, aenc) >= 0;
    as->time_base = aenc->time_base;
    {
        vs = avformat_new_stream(oc, nullptr);
        const AVCodec* vc = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
        venc = avcodec_alloc_context3(vc);
        venc->width = kW;
        venc->height = kH;
        venc->pix_fmt = AV_PIX_FMT_YUV420P;
        venc->time_base = {1, kFps};
        venc->gop_size = 10;
        venc->max_b_frames = 0;
        venc->bit_rate = 400000;
        if (oc->oformat->flags & AVFMT_GLOBALHEADER) venc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        ok = ok && avcodec_open2(venc, vc, nullptr) >= 0 && avcodec_parameters_from_context(vs->codecpar, venc) >= 0;
        vs->time_base = venc->time_base;
    }
    ok = ok && avio_open(&oc->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0 && avformat_write_header(oc, nullptr) >= 0;
    AVPacket* pkt = av_packet_alloc();
    auto drain = [&](AVCodecContext* enc, AVStream* st) {
        while (avcodec_receive_packet(enc, pkt) == 0) {
            av_packet_rescale_ts(pkt, enc->time_base, st->time_base);
            pkt->stream_index = st->index;
            if (av_interleaved_write_frame(oc, pkt) < 0) ok = false;
        }
    };
    AVFrame* f = av_frame_alloc();
    for (int i = 0; ok && i < kFrames; ++i) {
        if (venc) {
            av_frame_unref(f);
            f->format = AV_PIX_FMT_YUV420P;
            f->width = kW;
            f->height = kH;
            av_frame_get_buffer(f, 0);
            bool red = i < kFps;
            int y = red ? 81 : 41, u = red ? 90 : 240, v = red ? 240 : 110;
            for (int r = 0; r < kH; ++r) memset(f->data[0] + r * f->linesize[0], y, kW);
            for (int r = 0; r < kH / 2; ++r) {
                memset(f->data[1] + r * f->linesize[1], u, kW / 2);
                memset(f->data[2] + r * f->linesize[2], v, kW / 2);
            }
            f->pts = i;
            ok = ok && avcodec_send_frame(venc, f) >= 0;
            drain(venc, vs);
        }
        av_frame_unref(f);
        int samples = 8000 / kFps;
        f->format = AV_SAMPLE_FMT_S16;
        f->sample_rate = 8000;
        av_channel_layout_default(&f->ch_layout, 1);
        f->nb_samples = samples;
        av_frame_get_buffer(f, 0);
        auto* s = reinterpret_cast<int16_t*>(f->data[0]);
        for (int k = 0; k < samples; ++k) s[k] = int16_t(((i * samples + k) / 9 % 2) ? 6000 : -6000);
        f->pts = int64_t(i) * samples;
        ok = ok && avcodec_send_frame(aenc, f) >= 0;
        drain(aenc, as);
    }
    if (venc) {
        avcodec_send_frame(venc, nullptr);
        drain(venc, vs);
    }
    avcodec_send_frame(aenc, nullptr);
    drain(aenc, as);
    ok = ok && av_write_trailer(oc) >= 0;
    av_frame_free(&f);
    av_packet_free(&pkt);
    avcodec_free_context(&venc);
    avcodec_free_context(&aenc);
    avio_closep(&oc->pb);
    avformat_free_context(oc);
    return ok;
}

int g_notifications = 0;
int g_clicks = 0;

LRESULT WINAPI OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kGraphNotify) {
        ++g_notifications;
        return 0;
    }
    if (msg == WM_LBUTTONDOWN) ++g_clicks;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// The graph with every interface the preview uses, shown in a 160x60 child of a top level.
class DshowPlayer : public ::testing::Test {
protected:
    void SetUp() override {
        WinTestUseRealTime(FALSE);  // positions follow the hand-driven clock, also outside CTest
        static bool reg = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = OwnerProc;
            wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
            wc.lpszClassName = "DshowTestOwner";
            return RegisterClassA(&wc) != 0;
        }();
        ASSERT_TRUE(reg);
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        top_ = CreateWindowExA(0, "DshowTestOwner", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                               nullptr, nullptr);
        area_ = CreateWindowExA(0, "DshowTestOwner", "", WS_CHILD | WS_VISIBLE, 20, 20, 160, 60, top_, nullptr,
                                nullptr, nullptr);
        ASSERT_TRUE(top_ && area_);
        g_notifications = 0;
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                         reinterpret_cast<void**>(&gb_)));
        ASSERT_EQ(S_OK, gb_->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&mc_)));
        ASSERT_EQ(S_OK, gb_->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(&me_)));
        ASSERT_EQ(S_OK, gb_->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&ms_)));
        ASSERT_EQ(S_OK, gb_->QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(&vw_)));
        ASSERT_EQ(S_OK, gb_->QueryInterface(IID_IBasicVideo, reinterpret_cast<void**>(&bv_)));
        ASSERT_EQ(S_OK, gb_->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(&ba_)));
        ASSERT_EQ(S_OK, ms_->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME));
    }
    void TearDown() override {
        if (mc_) mc_->Stop();
        if (me_) me_->SetNotifyWindow(0, 0, 0);
        if (vw_) {
            vw_->put_Visible(OAFALSE);
            vw_->put_Owner(0);
        }
        for (IUnknown* u : std::initializer_list<IUnknown*>{mc_, me_, ms_, vw_, bv_, ba_, gb_})
            if (u) u->Release();
        DestroyWindow(top_);
        CoUninitialize();
        for (auto& p : files_) std::remove(p.c_str());
    }

    std::string Clip() {
        std::string p = TempPath("clip.avi");
        files_.push_back(p);
        EXPECT_TRUE(WriteClip(p));
        return p;
    }
    HRESULT Render(const std::string& path) { return gb_->RenderFile(reinterpret_cast<LPCWSTR>(Wide(path).c_str()), nullptr); }

    // What the preview does after rendering: the video into the area, events to the top level.
    void Attach() {
        ASSERT_EQ(S_OK, vw_->put_Visible(OAFALSE));
        ASSERT_EQ(S_OK, vw_->put_Owner(reinterpret_cast<OAHWND>(area_)));
        ASSERT_EQ(S_OK, vw_->SetWindowPosition(0, 0, 160, 60));
        ASSERT_EQ(S_OK, vw_->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
        ASSERT_EQ(S_OK, vw_->put_MessageDrain(reinterpret_cast<OAHWND>(area_)));
        ASSERT_EQ(S_OK, vw_->put_Visible(OATRUE));
        ASSERT_EQ(S_OK, me_->SetNotifyWindow(reinterpret_cast<OAHWND>(top_), kGraphNotify, 0));
    }

    DWORD Pixel(int x, int y) {
        int w = 0, h = 0;
        WinTestCaptureWindow(area_, nullptr, 0, &w, &h);
        std::vector<DWORD> px(size_t(w) * h);
        if (!WinTestCaptureWindow(area_, px.data(), int(px.size()), &w, &h) || x >= w || y >= h) return 0;
        return px[size_t(y) * w + x] & 0xFFFFFF;
    }
    static bool IsRed(DWORD p) { return (p >> 16 & 0xFF) > 180 && (p >> 8 & 0xFF) < 70 && (p & 0xFF) < 70; }
    static bool IsBlue(DWORD p) { return (p & 0xFF) > 180 && (p >> 16 & 0xFF) < 70 && (p >> 8 & 0xFF) < 70; }

    // The playback thread works in real time even though the clock is virtual: pump and look
    // again until the condition holds or a generous real-time bound passes.
    template <class Pred>
    bool Eventually(Pred pred) {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < end) {
            WinTestPumpUntilIdle();
            if (pred()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    // Moves the virtual clock on, gives the playback thread a moment of real time to act on
    // it, and answers what it posted meanwhile.
    void AdvanceAndSettle(DWORD ms, int settle_ms) {
        WinTestAdvanceClock(ms);
        std::this_thread::sleep_for(std::chrono::milliseconds(settle_ms));
        WinTestPumpUntilIdle();
    }
    LONGLONG Position() {
        LONGLONG p = -1;
        EXPECT_EQ(S_OK, ms_->GetCurrentPosition(&p));
        return p;
    }
    void SeekTo(LONGLONG t) {
        ASSERT_EQ(S_OK, ms_->SetPositions(&t, AM_SEEKING_AbsolutePositioning | AM_SEEKING_SeekToKeyFrame, nullptr,
                                          AM_SEEKING_NoPositioning));
    }
    void SeekExactlyTo(LONGLONG t) {
        ASSERT_EQ(S_OK, ms_->SetPositions(&t, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning));
    }

    HWND top_ = nullptr, area_ = nullptr;
    IGraphBuilder* gb_ = nullptr;
    IMediaControl* mc_ = nullptr;
    IMediaEventEx* me_ = nullptr;
    IMediaSeeking* ms_ = nullptr;
    IVideoWindow* vw_ = nullptr;
    IBasicVideo* bv_ = nullptr;
    IBasicAudio* ba_ = nullptr;
    std::vector<std::string> files_;
};

TEST(DshowCom, FactoryMakesOnlyTheFilterGraphAndCountsReferences) {
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(REGDB_E_CLASSNOTREG, CoCreateInstance(IID_IMediaControl, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &p));
    EXPECT_EQ(nullptr, p);
    IUnknown* outer = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                     reinterpret_cast<void**>(&outer)));
    EXPECT_EQ(CLASS_E_NOAGGREGATION, CoCreateInstance(CLSID_FilterGraph, outer, CLSCTX_INPROC_SERVER, IID_IUnknown, &p));
    EXPECT_EQ(E_NOINTERFACE, outer->QueryInterface(IID_IMoniker, &p));
    EXPECT_EQ(nullptr, p);
    IMediaSeeking* ms = nullptr;
    ASSERT_EQ(S_OK, outer->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&ms)));
    // Every interface is the same object: one more reference, one less.
    EXPECT_EQ(3u, outer->AddRef());
    EXPECT_EQ(2u, outer->Release());
    EXPECT_EQ(1u, ms->Release());
    // Nothing rendered: positions are unavailable rather than zero.
    LONGLONG d = 7;
    EXPECT_TRUE(FAILED(ms->GetDuration(&d)));
    EXPECT_EQ(0u, outer->Release());

    IRunningObjectTable* rot = nullptr;
    IMoniker* mk = nullptr;
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, GetRunningObjectTable(0, &rot));
    ASSERT_EQ(S_OK, CreateItemMoniker(u"!", u"FilterGraph", &mk));
    EXPECT_EQ(S_OK, rot->Register(0, rot, mk, &cookie));
    EXPECT_NE(0u, cookie);
    EXPECT_EQ(S_OK, rot->Revoke(cookie));
    mk->Release();
    rot->Release();

    AM_MEDIA_TYPE* mt = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    memset(mt, 0, sizeof(*mt));
    mt->cbFormat = 16;
    mt->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(16));
    FreeMediaType(mt);
    EXPECT_EQ(nullptr, mt->pbFormat);
    EXPECT_EQ(0u, mt->cbFormat);
    DeleteMediaType(mt);
}

TEST_F(DshowPlayer, RenderReportsDurationSizeAndLetterboxedFirstFrameWhenPaused) {
    ASSERT_EQ(S_OK, Render(Clip()));
    LONGLONG d = 0;
    ASSERT_EQ(S_OK, ms_->GetDuration(&d));
    EXPECT_NEAR(double(d), 2.0 * kSecond, 0.05 * kSecond);
    long w = 0, h = 0;
    ASSERT_EQ(S_OK, bv_->GetVideoSize(&w, &h));
    EXPECT_EQ(kW, w);
    EXPECT_EQ(kH, h);
    DWORD caps = 0;
    ASSERT_EQ(S_OK, ms_->GetCapabilities(&caps));
    EXPECT_TRUE(caps & AM_SEEKING_CanSeekAbsolute);
    EXPECT_TRUE(caps & AM_SEEKING_CanGetDuration);

    Attach();
    ASSERT_EQ(S_OK, mc_->Pause());
    OAFilterState st = -1;
    ASSERT_EQ(S_OK, mc_->GetState(10, &st));
    EXPECT_EQ(State_Paused, st);
    // 4:3 picture in a 160x60 area: 80x60 in the middle, black bands either side.
    ASSERT_TRUE(Eventually([&] { return IsRed(Pixel(80, 30)); })) << std::hex << Pixel(80, 30);
    EXPECT_TRUE(IsRed(Pixel(45, 5)));
    EXPECT_EQ(0u, Pixel(10, 30));
    EXPECT_EQ(0u, Pixel(150, 30));
    long l, t, dw, dh;
    ASSERT_EQ(S_OK, bv_->GetDestinationPosition(&l, &t, &dw, &dh));
    EXPECT_EQ(40, l);
    EXPECT_EQ(80, dw);
    EXPECT_EQ(60, dh);
    EXPECT_EQ(0, Position());
}

TEST_F(DshowPlayer, RunFollowsTheClockAndPauseHoldsThePosition) {
    ASSERT_EQ(S_OK, Render(Clip()));
    Attach();
    ASSERT_EQ(S_OK, mc_->Run());
    EXPECT_EQ(0, Position());
    WinTestAdvanceClock(400);
    EXPECT_EQ(4000000, Position());
    ASSERT_EQ(S_OK, mc_->Pause());
    WinTestAdvanceClock(1000);
    EXPECT_EQ(4000000, Position()) << "a paused clip stands still";
    EXPECT_TRUE(Eventually([&] { return IsRed(Pixel(80, 30)); }));
    ASSERT_EQ(S_OK, mc_->Run());
    WinTestAdvanceClock(800);  // 1.2 s: the blue second
    EXPECT_EQ(12000000, Position());
    EXPECT_TRUE(Eventually([&] { return IsBlue(Pixel(80, 30)); })) << std::hex << Pixel(80, 30);
    EXPECT_EQ(0, g_notifications);
}

TEST_F(DshowPlayer, SeekingShowsTheFrameThereWhetherPausedOrRunning) {
    ASSERT_EQ(S_OK, Render(Clip()));
    Attach();
    ASSERT_EQ(S_OK, mc_->Pause());
    ASSERT_TRUE(Eventually([&] { return IsRed(Pixel(80, 30)); }));
    LONGLONG d = 0;
    ms_->GetDuration(&d);
    SeekExactlyTo(d / 2);  // frame 25, the first blue one
    EXPECT_EQ(d / 2, Position());
    EXPECT_TRUE(Eventually([&] { return IsBlue(Pixel(80, 30)); })) << std::hex << Pixel(80, 30);
    // The very end has no frame starting there: the last one shows.
    SeekExactlyTo(0);
    ASSERT_TRUE(Eventually([&] { return IsRed(Pixel(80, 30)); }));
    SeekExactlyTo(d);
    EXPECT_TRUE(Eventually([&] { return IsBlue(Pixel(80, 30)); })) << std::hex << Pixel(80, 30);
    // Back to the start while running: red again, and the clock restarts from there.
    ASSERT_EQ(S_OK, mc_->Run());
    SeekTo(0);
    EXPECT_TRUE(Eventually([&] { return IsRed(Pixel(80, 30)); }));
    WinTestAdvanceClock(100);
    EXPECT_EQ(1000000, Position());
    // Out of range is clamped to the clip.
    SeekExactlyTo(100 * kSecond);
    EXPECT_EQ(d, Position());
}

TEST_F(DshowPlayer, SeekingToAKeyFrameLandsOnTheOneAtOrBeforeTheTarget) {
    ASSERT_EQ(S_OK, Render(Clip()));
    Attach();
    ASSERT_EQ(S_OK, mc_->Pause());
    ASSERT_TRUE(Eventually([&] { return IsRed(Pixel(80, 30)); }));
    LONGLONG d = 0;
    ms_->GetDuration(&d);
    // Key frames every 10 frames (0.4 s) and where the colour changes: 0, 10, 20, 25, 35, 45.
    // 0.9 s (frame 22) lands on frame 20, still red.
    LONGLONG t = 9000000;
    ASSERT_EQ(S_OK, ms_->SetPositions(&t, AM_SEEKING_AbsolutePositioning | AM_SEEKING_SeekToKeyFrame |
                                              AM_SEEKING_ReturnTime,
                                      nullptr, AM_SEEKING_NoPositioning));
    EXPECT_EQ(8000000, t) << "the time landed on is returned";
    EXPECT_EQ(8000000, Position());
    EXPECT_TRUE(Eventually([&] { return IsRed(Pixel(80, 30)); })) << std::hex << Pixel(80, 30);
    // 1.3 s (frame 32) lands on frame 25, blue.
    SeekTo(13000000);
    EXPECT_EQ(10000000, Position());
    EXPECT_TRUE(Eventually([&] { return IsBlue(Pixel(80, 30)); })) << std::hex << Pixel(80, 30);
    // A key frame exactly at the target is the target; the clip's end and beyond land on the last key frame.
    SeekTo(4000000);
    EXPECT_EQ(4000000, Position());
    SeekTo(100 * kSecond);
    EXPECT_EQ(18000000, Position());
    // Running: the clock goes on from the key frame.
    ASSERT_EQ(S_OK, mc_->Run());
    SeekTo(7000000);
    EXPECT_EQ(4000000, Position());
    WinTestAdvanceClock(200);
    EXPECT_EQ(6000000, Position());
}

TEST_F(DshowPlayer, EndOfClipNotifiesOnceAndRestartsAfterSeekingToZero) {
    ASSERT_EQ(S_OK, Render(Clip()));
    Attach();
    ASSERT_EQ(S_OK, mc_->Run());
    AdvanceAndSettle(1500, 30);
    EXPECT_EQ(0, g_notifications);
    WinTestAdvanceClock(1000);
    ASSERT_TRUE(Eventually([&] { return g_notifications == 1; }));
    AdvanceAndSettle(3000, 50);
    EXPECT_EQ(1, g_notifications);
    long code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    ASSERT_EQ(S_OK, me_->GetEvent(&code, &p1, &p2, 0));
    EXPECT_EQ(EC_COMPLETE, code);
    EXPECT_EQ(S_OK, me_->FreeEventParams(code, p1, p2));
    EXPECT_EQ(E_ABORT, me_->GetEvent(&code, &p1, &p2, 0));
    LONGLONG d = 0;
    ms_->GetDuration(&d);
    EXPECT_EQ(d, Position()) << "the position stays at the end";
    OAFilterState st = -1;
    mc_->GetState(10, &st);
    EXPECT_EQ(State_Running, st);

    // What the preview does on completion: back to 0 s, still running, and it ends again.
    SeekTo(0);
    EXPECT_TRUE(Eventually([&] { return IsRed(Pixel(80, 30)); }));
    WinTestAdvanceClock(2500);
    ASSERT_TRUE(Eventually([&] { return g_notifications == 2; }));
    ASSERT_EQ(S_OK, me_->GetEvent(&code, &p1, &p2, 0));
    EXPECT_EQ(EC_COMPLETE, code);
}

// An H.264 elementary stream has no times in it: its frames still follow the clock, one a
// frame's length after the other, and the clip ends when the clock reaches its last frame.
TEST_F(DshowPlayer, AStreamWithoutTimesPlaysAtItsFrameRate) {
    const std::string raw = TempPath("clip.h264");
    files_.push_back(raw);
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::RawH264, raw, 2.0, 160, 120, 25));
    ASSERT_EQ(S_OK, Render(raw));
    Attach();
    ASSERT_EQ(S_OK, mc_->Run());
    AdvanceAndSettle(0, 100);
    EXPECT_EQ(0, g_notifications) << "every frame went by at once";
    AdvanceAndSettle(1500, 50);
    EXPECT_EQ(0, g_notifications);
    WinTestAdvanceClock(1000);
    EXPECT_TRUE(Eventually([&] { return g_notifications == 1; }));
}

TEST_F(DshowPlayer, StopRewindsAndShowsNothingNew) {
    ASSERT_EQ(S_OK, Render(Clip()));
    Attach();
    ASSERT_EQ(S_OK, mc_->Run());
    WinTestAdvanceClock(1200);
    ASSERT_TRUE(Eventually([&] { return IsBlue(Pixel(80, 30)); }));
    ASSERT_EQ(S_OK, mc_->Stop());
    OAFilterState st = -1;
    mc_->GetState(10, &st);
    EXPECT_EQ(State_Stopped, st);
    EXPECT_EQ(0, Position());
    WinTestAdvanceClock(500);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    WinTestPumpUntilIdle();
    EXPECT_EQ(0, Position());
    EXPECT_TRUE(IsBlue(Pixel(80, 30))) << "stopping keeps the last picture";
    // Playing again starts from the beginning.
    ASSERT_EQ(S_OK, mc_->Pause());
    EXPECT_TRUE(Eventually([&] { return IsRed(Pixel(80, 30)); }));
}

TEST_F(DshowPlayer, FilesThatCannotPlayFailWithNothingRunning) {
    std::string junk = TempPath("junk.avi");
    files_.push_back(junk);
    ASSERT_TRUE(testmedia::WriteJunk(junk));
    HRESULT hr = Render(junk);
    EXPECT_TRUE(FAILED(hr));
    EXPECT_EQ(0x80040000u, uint32_t(hr) & 0xFFFF0000u) << std::hex << hr;
    EXPECT_EQ(VFW_E_NOT_FOUND, Render(TempPath("no_such_file.avi")));
    EXPECT_TRUE(FAILED(mc_->Run()));
    EXPECT_TRUE(FAILED(mc_->Pause()));
    OAFilterState st = -1;
    mc_->GetState(10, &st);
    EXPECT_EQ(State_Stopped, st);
    long w, h;
    EXPECT_TRUE(FAILED(bv_->GetVideoSize(&w, &h)));
    LONGLONG p = 0;
    EXPECT_TRUE(FAILED(ms_->SetPositions(&p, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning)));
}

TEST_F(DshowPlayer, SoundOnlyFilePlaysToTheEndWithoutVideo) {
    std::string wav = TempPath("sound.wav");
    files_.push_back(wav);
    testmedia::Options o;
    o.seconds = 2.0;
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::Wav, wav, o));
    ASSERT_EQ(S_OK, Render(wav));
    long w, h;
    EXPECT_TRUE(FAILED(bv_->GetVideoSize(&w, &h)));
    EXPECT_TRUE(FAILED(vw_->put_Owner(reinterpret_cast<OAHWND>(area_))));
    ASSERT_EQ(S_OK, me_->SetNotifyWindow(reinterpret_cast<OAHWND>(top_), kGraphNotify, 0));
    LONGLONG d = 0;
    ASSERT_EQ(S_OK, ms_->GetDuration(&d));
    EXPECT_NEAR(double(d), 2.0 * kSecond, 0.05 * kSecond);
    // Volume in hundredths of a decibel, silence to full.
    long v = 1;
    EXPECT_EQ(S_OK, ba_->put_Volume(-2500));
    EXPECT_EQ(S_OK, ba_->get_Volume(&v));
    EXPECT_EQ(-2500, v);
    EXPECT_EQ(E_INVALIDARG, ba_->put_Volume(1));
    EXPECT_EQ(E_INVALIDARG, ba_->put_Volume(-10001));
    EXPECT_EQ(S_OK, ba_->put_Balance(10000));
    EXPECT_EQ(S_OK, ba_->get_Balance(&v));
    EXPECT_EQ(10000, v);
    EXPECT_EQ(E_INVALIDARG, ba_->put_Balance(-10001));
    ASSERT_EQ(S_OK, mc_->Run());
    WinTestAdvanceClock(1000);
    EXPECT_EQ(kSecond, Position());
    WinTestAdvanceClock(1100);
    EXPECT_TRUE(Eventually([&] { return g_notifications == 1; }));
}

TEST_F(DshowPlayer, RealTimePlaybackFeedsTheSoundDeviceAndKeepsTime) {
    // A device that plays into nothing, so the conversion and queueing path runs anywhere.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    WinTestUseRealTime(TRUE);
    ASSERT_EQ(S_OK, Render(Clip()));
    Attach();
    EXPECT_EQ(S_OK, ba_->put_Volume(-600));
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(S_OK, mc_->Run());
    ASSERT_TRUE(Eventually([&] { return Position() >= 2500000; }));
    ASSERT_EQ(S_OK, mc_->Pause());
    const auto playing = std::chrono::steady_clock::now() - started;
    LONGLONG p = Position();
    EXPECT_GE(p, 2500000);
    // It keeps time: the position never runs ahead of the real time spent playing.
    EXPECT_LE(p, std::chrono::duration_cast<std::chrono::microseconds>(playing).count() * 10 + kSecond / 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(p, Position());
    ASSERT_EQ(S_OK, mc_->Stop());
    WinTestUseRealTime(FALSE);
}

TEST_F(DshowPlayer, VideoWindowIsAChildOfTheOwnerAndPassesInputToTheDrain) {
    ASSERT_EQ(S_OK, Render(Clip()));
    Attach();
    HWND video = GetWindow(area_, GW_CHILD);
    ASSERT_NE(nullptr, video);
    EXPECT_EQ(area_, GetParent(video));
    EXPECT_TRUE(IsWindowVisible(video));
    RECT r{};
    GetClientRect(video, &r);
    EXPECT_EQ(160, r.right);
    EXPECT_EQ(60, r.bottom);
    g_clicks = 0;
    SendMessageA(video, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(Eventually([&] { return g_clicks == 1; }));
    EXPECT_EQ(S_OK, vw_->put_Visible(OAFALSE));
    EXPECT_FALSE(IsWindowVisible(video));
    long visible = 1;
    EXPECT_EQ(S_OK, vw_->get_Visible(&visible));
    EXPECT_EQ(OAFALSE, visible);
    // Letting go of the owner takes the window away with it.
    EXPECT_EQ(S_OK, vw_->put_Owner(0));
    EXPECT_FALSE(IsWindow(video));
}

TEST_F(DshowPlayer, OwnerDestroyedWhilePlayingLeavesTheGraphUsable) {
    ASSERT_EQ(S_OK, Render(Clip()));
    Attach();
    ASSERT_EQ(S_OK, mc_->Run());
    WinTestAdvanceClock(300);
    HWND video = GetWindow(area_, GW_CHILD);
    ASSERT_NE(nullptr, video);
    DestroyWindow(area_);
    EXPECT_FALSE(IsWindow(video));
    // Frames keep coming with nowhere to go, and the end is still reported.
    WinTestAdvanceClock(2000);
    ASSERT_TRUE(Eventually([&] { return g_notifications == 1; }));
    EXPECT_EQ(S_OK, mc_->Stop());
    EXPECT_EQ(0, Position());
}

TEST_F(DshowPlayer, TruncatedFilePlaysWhatItHasAndStillEnds) {
    std::string cut = TempPath("cut.avi");
    files_.push_back(cut);
    ASSERT_TRUE(testmedia::WriteTruncated(Clip(), cut, 0.6));
    ASSERT_EQ(S_OK, Render(cut));
    Attach();
    ASSERT_EQ(S_OK, mc_->Run());
    WinTestAdvanceClock(3000);
    ASSERT_TRUE(Eventually([&] { return g_notifications == 1; }));
    long code = 0;
    LONG_PTR p1, p2;
    ASSERT_EQ(S_OK, me_->GetEvent(&code, &p1, &p2, 0));
    EXPECT_EQ(EC_COMPLETE, code);
}

}  // namespace
