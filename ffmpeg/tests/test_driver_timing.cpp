// Inputs whose timing changes inside the file: a timestamp jump and a sound
// whose sample rate changes half-way.
#include "driver_support.h"
#include "testmedia.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

extern "C" {
#include <libavutil/opt.h>
}

using drivertest::ReadFile;
using drivertest::RunDriver;

namespace {

// Encodes `frames` frames from `make` and writes them to `oc`, adding `shift`
// (in the stream's time base) to every timestamp.
struct Writer {
    AVFormatContext* oc = nullptr;
    AVStream* st = nullptr;
    AVCodecContext* enc = nullptr;
    AVPacket* pkt = av_packet_alloc();
    int64_t shift = 0;

    bool Drain() {
        for (;;) {
            int ret = avcodec_receive_packet(enc, pkt);
            if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF) return true;
            if (ret < 0) return false;
            av_packet_rescale_ts(pkt, enc->time_base, st->time_base);
            if (pkt->pts != AV_NOPTS_VALUE) pkt->pts += shift;
            if (pkt->dts != AV_NOPTS_VALUE) pkt->dts += shift;
            pkt->stream_index = st->index;
            if (av_interleaved_write_frame(oc, pkt) < 0) return false;
        }
    }
    bool Send(AVFrame* f) { return avcodec_send_frame(enc, f) >= 0 && Drain(); }
    ~Writer() {
        av_packet_free(&pkt);
        avcodec_free_context(&enc);
        if (oc) {
            avio_closep(&oc->pb);
            avformat_free_context(oc);
        }
    }
};

// An MPEG transport stream of two 1-s halves whose second half is stamped `jump` s later.
bool WriteJumpingStream(const std::string& path, int jump = 20) {
    Writer w;
    if (avformat_alloc_output_context2(&w.oc, nullptr, "mpegts", path.c_str()) < 0) return false;
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MPEG2VIDEO);
    w.st = avformat_new_stream(w.oc, nullptr);
    w.enc = avcodec_alloc_context3(codec);
    w.enc->width = 160;
    w.enc->height = 120;
    w.enc->pix_fmt = AV_PIX_FMT_YUV420P;
    w.enc->time_base = AVRational{1, 25};
    w.enc->framerate = AVRational{25, 1};
    w.enc->gop_size = 5;
    w.enc->max_b_frames = 0;
    if (avcodec_open2(w.enc, codec, nullptr) < 0) return false;
    avcodec_parameters_from_context(w.st->codecpar, w.enc);
    w.st->time_base = w.enc->time_base;
    if (avio_open(&w.oc->pb, path.c_str(), AVIO_FLAG_WRITE) < 0 || avformat_write_header(w.oc, nullptr) < 0)
        return false;
    AVFrame* f = av_frame_alloc();
    f->width = 160;
    f->height = 120;
    f->format = AV_PIX_FMT_YUV420P;
    av_frame_get_buffer(f, 0);
    bool ok = true;
    for (int i = 0; i < 50 && ok; ++i) {
        av_frame_make_writable(f);
        for (int p = 0; p < 3; ++p) {
            const int h = p ? 60 : 120;
            for (int y = 0; y < h; ++y) memset(f->data[p] + y * f->linesize[p], (i * 5 + y + p * 60) & 0xFF, p ? 80 : 160);
        }
        f->pts = i;
        // Without B-frames every packet leaves at once: from here on they are
        // stamped 20 s later.
        if (i == 25) w.shift = av_rescale_q(jump * 25, w.enc->time_base, w.st->time_base);
        ok = ok && w.Send(f);
    }
    av_frame_free(&f);
    ok = ok && w.Send(nullptr) && av_write_trailer(w.oc) >= 0;
    return ok;
}

// An MP3 sound written at `rate` for `seconds`.
bool WriteMp3(const std::string& path, int rate, double seconds) {
    Writer w;
    if (avformat_alloc_output_context2(&w.oc, nullptr, "mp3", path.c_str()) < 0) return false;
    av_opt_set_int(w.oc, "id3v2_version", 0, AV_OPT_SEARCH_CHILDREN);
    av_opt_set_int(w.oc, "write_xing", 0, AV_OPT_SEARCH_CHILDREN);
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MP3);
    if (!codec) return false;
    w.st = avformat_new_stream(w.oc, nullptr);
    w.enc = avcodec_alloc_context3(codec);
    w.enc->sample_rate = rate;
    w.enc->sample_fmt = codec->sample_fmts[0];
    av_channel_layout_default(&w.enc->ch_layout, 2);
    w.enc->bit_rate = 64000;
    w.enc->time_base = AVRational{1, rate};
    if (avcodec_open2(w.enc, codec, nullptr) < 0) return false;
    avcodec_parameters_from_context(w.st->codecpar, w.enc);
    w.st->time_base = w.enc->time_base;
    if (avio_open(&w.oc->pb, path.c_str(), AVIO_FLAG_WRITE) < 0 || avformat_write_header(w.oc, nullptr) < 0)
        return false;
    AVFrame* f = av_frame_alloc();
    f->nb_samples = w.enc->frame_size;
    f->format = w.enc->sample_fmt;
    f->sample_rate = rate;
    av_channel_layout_copy(&f->ch_layout, &w.enc->ch_layout);
    av_frame_get_buffer(f, 0);
    bool ok = true;
    const int64_t total = static_cast<int64_t>(seconds * rate);
    for (int64_t n = 0; n < total && ok; n += f->nb_samples) {
        av_frame_make_writable(f);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < f->nb_samples; ++i) {
                const float v = 0.25f * std::sin(2 * M_PI * 440.0 * double(n + i) / rate);
                if (f->format == AV_SAMPLE_FMT_FLTP) reinterpret_cast<float*>(f->data[c])[i] = v;
                else if (f->format == AV_SAMPLE_FMT_S16P) reinterpret_cast<int16_t*>(f->data[c])[i] = int16_t(v * 32767);
                else if (f->format == AV_SAMPLE_FMT_S32P) reinterpret_cast<int32_t*>(f->data[c])[i] = int32_t(v * 2147483647.0);
            }
        f->pts = n;
        ok = w.Send(f);
    }
    av_frame_free(&f);
    return ok && w.Send(nullptr) && av_write_trailer(w.oc) >= 0;
}

TEST(DriverTiming, TimestampJumpLeavesNoGap) {
    testmedia::ScratchDir dir("drvjump");
    const std::string in = dir / "jump.ts", out = dir / "out.mp4";
    ASSERT_TRUE(WriteJumpingStream(in));
    auto r = RunDriver({"-i", in, "-vcodec", "mpeg4", "-r", "25", out});
    ASSERT_EQ(r.rc, 0) << r.err;
    auto rep = testmedia::Check(out);
    ASSERT_NE(rep.FirstOf("video"), nullptr);
    EXPECT_NEAR(rep.duration, 2.0, 0.2);
    EXPECT_NEAR(double(rep.FirstOf("video")->framesDecoded), 50.0, 3.0);
    EXPECT_EQ(rep.decodeErrors, 0);
}

TEST(DriverTiming, OnlyAJumpOfMoreThanTenSecondsIsJoined) {
    // 9 s forward is a pause in the recording: the output holds it (the last picture repeated).
    // 11 s is a jump: the second half follows the first at once.
    testmedia::ScratchDir dir("drvjumpedge");
    for (int jump : {9, 11}) {
        SCOPED_TRACE(jump);
        const std::string in = dir / "jump.ts", out = dir / "out.mp4";
        ASSERT_TRUE(WriteJumpingStream(in, jump));
        auto r = RunDriver({"-i", in, "-vcodec", "mpeg4", "-r", "25", out});
        ASSERT_EQ(r.rc, 0) << r.err;
        EXPECT_NEAR(testmedia::Check(out).duration, jump == 9 ? 11.0 : 2.0, 0.2);
    }
}

TEST(DriverTiming, ResamplerTailIsKept) {
    // The samples the resampler still holds at the end are written too: 1 s stays 1 s.
    testmedia::ScratchDir dir("drvtail");
    const std::string in = dir / "in.wav", out = dir / "out.wav";
    testmedia::Options o;
    o.seconds = 1.0;
    o.sampleRate = 44100;
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::Wav, in, o));
    auto r = RunDriver({"-i", in, "-ar", "48000", "-acodec", "pcm_s16le", out});
    ASSERT_EQ(r.rc, 0) << r.err;
    auto rep = testmedia::Check(out);
    ASSERT_NE(rep.FirstOf("audio"), nullptr);
    EXPECT_NEAR(double(rep.FirstOf("audio")->samplesDecoded), 48000.0, 2.0);
}

// Two 1-s recordings joined in one transport stream, their clocks starting at the given times:
// the output runs 2 s whatever the jump at the join.
void ExpectJoinedRecordingsKeepTheirLength(double first_start, double second_start) {
    SCOPED_TRACE(testing::Message() << "recordings from " << first_start << " s and " << second_start << " s");
    testmedia::ScratchDir dir("drvback");
    const std::string a = dir / "a.ts", b = dir / "b.ts", in = dir / "joined.ts", out = dir / "out.mp4";
    testmedia::Options o;
    o.start = first_start;
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::MpegTs, a, o));
    o.start = second_start;
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::MpegTs, b, o));
    ASSERT_TRUE(testmedia::WriteJoined(a, b, in));
    auto r = RunDriver(drivertest::WrapperVector(in, out));
    ASSERT_EQ(r.rc, 0) << r.err;
    auto rep = testmedia::Check(out);
    EXPECT_EQ(rep.decodeErrors, 0);
    EXPECT_NEAR(rep.duration, 2.0, 0.2);
    const auto* v = rep.FirstOf("video");
    ASSERT_NE(v, nullptr);
    EXPECT_NEAR(double(v->framesDecoded), 2.0 * 23.976, 3.0);
    const auto* s = rep.FirstOf("audio");
    ASSERT_NE(s, nullptr);
    EXPECT_NEAR(double(s->samplesDecoded) / 44100.0, 2.0, 0.2);
}

TEST(DriverTiming, JoinedRecordingsWhoseSecondStartsEarlierKeepTheirLength) {
    ExpectJoinedRecordingsKeepTheirLength(0.0, 0.0);    // the second restarts the first's clock
    ExpectJoinedRecordingsKeepTheirLength(40.0, 0.0);   // far back
    ExpectJoinedRecordingsKeepTheirLength(0.0, 40.0);   // and far ahead
}

// Where the event of a generated clip (a flash and a sound starting at one instant) is seen
// and heard in an output: both must come at `expected` seconds, within a frame of each other.
void ExpectEventTogether(const std::string& out, double expected) {
    auto rep = testmedia::Check(out);
    const auto* v = rep.FirstOf("video");
    const auto* a = rep.FirstOf("audio");
    ASSERT_NE(v, nullptr);
    ASSERT_NE(a, nullptr);
    EXPECT_NEAR(v->eventSeen, expected, 0.1);
    EXPECT_NEAR(a->eventSeen, v->eventSeen, 0.05) << "sound " << a->eventSeen << " s, picture " << v->eventSeen << " s";
}

TEST(DriverTiming, SoundAndPictureStayTogetherAfterAStartOffset) {
    testmedia::ScratchDir dir("drvsync");
    testmedia::Options o;
    o.seconds = 3.0;
    o.eventAt = 2.0;
    for (auto kind : {testmedia::Kind::AviMpeg4, testmedia::Kind::Mp4, testmedia::Kind::MpegTs}) {
        SCOPED_TRACE(testmedia::KindName(kind));
        const std::string in = dir / (std::string("in") + testmedia::KindExtension(kind));
        ASSERT_TRUE(testmedia::Generate(kind, in, o));
        std::vector<std::string> words = {"-ss", "1.2"};
        for (const std::string& w : drivertest::WrapperVector(in, dir / "out.mp4")) words.push_back(w);
        auto r = RunDriver(words);
        ASSERT_EQ(r.rc, 0) << r.err;
        ExpectEventTogether(dir / "out.mp4", 0.8);
    }
}

TEST(DriverTiming, SoundAndPictureStayTogetherAfterATimestampJump) {
    testmedia::ScratchDir dir("drvsyncjump");
    const std::string a = dir / "a.ts", b = dir / "b.ts", in = dir / "joined.ts", out = dir / "out.mp4";
    testmedia::Options o;
    o.eventAt = 5.0;  // after its end: black and silent throughout
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::MpegTs, a, o));
    o.start = 40.0;
    o.eventAt = 0.5;
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::MpegTs, b, o));
    ASSERT_TRUE(testmedia::WriteJoined(a, b, in));
    // At the input's own rate, so that no frame is dropped or repeated around the event.
    auto r = RunDriver({"-i", in, "-vcodec", "mpeg4", "-r", "25", "-acodec", "aac", out});
    ASSERT_EQ(r.rc, 0) << r.err;
    ExpectEventTogether(out, 1.5);
}

TEST(DriverTiming, SampleRateChangeKeepsTheOutputRate) {
    testmedia::ScratchDir dir("drvrate");
    const std::string a = dir / "a.mp3", b = dir / "b.mp3", in = dir / "in.mp3", out = dir / "out.m4a";
    if (!avcodec_find_encoder(AV_CODEC_ID_MP3)) GTEST_SKIP() << "no MP3 encoder";
    ASSERT_TRUE(WriteMp3(a, 44100, 1.0));
    ASSERT_TRUE(WriteMp3(b, 22050, 1.0));
    {
        std::ofstream f(in, std::ios::binary);
        f << ReadFile(a) << ReadFile(b);
    }
    auto r = RunDriver({"-i", in, "-acodec", "aac", "-ar", "44100", "-ac", "2", "-f", "ipod", out});
    ASSERT_EQ(r.rc, 0) << r.err;
    const std::string msg = "\nChanged audio rate : sample_rate:22050  channels:2\n";
    const size_t at = r.err.find(msg);
    EXPECT_NE(at, std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(msg, at + 1), std::string::npos);
    auto rep = testmedia::Check(out);
    const auto* s = rep.FirstOf("audio");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->sampleRate, 44100);
    EXPECT_NEAR(double(s->samplesDecoded) / 44100.0, 2.0, 0.15);
    EXPECT_GT(s->audioRms, 0.1);
}

}  // namespace

namespace {

TEST(DriverTiming, SurroundAc3IsMixedDownByTheDecoder) {
    testmedia::ScratchDir dir("drvac3");
    const std::string in = dir / "in.rm", out = dir / "out.m4a";
    testmedia::Options o;
    o.seconds = 1.0;
    o.channels = 6;
    o.sampleRate = 48000;
    std::string why;
    if (!testmedia::Generate(testmedia::Kind::RealMedia, in, o, &why)) GTEST_SKIP() << why;
    auto r = RunDriver({"-i", in, "-vn", "-acodec", "aac", "-ac", "2", "-ar", "48000", "-f", "ipod", out});
    ASSERT_EQ(r.rc, 0) << r.err;
    // The decoder gives two channels from the first frame on: nothing changes mid-stream.
    EXPECT_EQ(r.err.find("Changed audio rate"), std::string::npos) << r.err;
    auto rep = testmedia::Check(out);
    const auto* a = rep.FirstOf("audio");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->channels, 2);
    EXPECT_EQ(a->sampleRate, 48000);
    EXPECT_GT(a->audioRms, 0.05);
    EXPECT_NEAR(double(a->samplesDecoded) / 48000.0, 1.0, 0.1);

    // Drift compensation through the resampler keeps the sound whole.
    r = RunDriver({"-i", in, "-vn", "-async", "100", "-acodec", "aac", "-ac", "2", "-ar", "44100", "-f", "ipod",
                   dir / "async.m4a"});
    ASSERT_EQ(r.rc, 0) << r.err;
    const auto rep2 = testmedia::Check(dir / "async.m4a");
    ASSERT_NE(rep2.FirstOf("audio"), nullptr);
    EXPECT_NEAR(double(rep2.FirstOf("audio")->samplesDecoded) / 44100.0, 1.0, 0.1);
    EXPECT_EQ(rep2.decodeErrors, 0);
}

}  // namespace
