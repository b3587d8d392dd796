// The dialog's other choices reach the output: codec, frame size and rate, bit rates,
// sample rate, channels, volume and audio off.
#include <fstream>
#include <iterator>

#include "e2e_support.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

using testmedia::Kind;
using Conversion = e2e::Conversion;

testmedia::Options Short(double seconds = 1.0) {
    testmedia::Options o;
    o.seconds = seconds;
    return o;
}

TEST_F(Conversion, H264GivesAPlayableAvcFile) {
    // MJPEG decodes to full-range 4:2:0; the player needs plain yuv420p H.264.
    const std::string in = Input(Kind::AviMjpeg, Short(), "mjpeg");
    e2e::Settings s;
    s.vcodec = "h264";
    ASSERT_EQ(0, Convert(s, in, dir / "mjpeg_new.mp4"));
    testmedia::Report r = testmedia::Check(dir / "mjpeg_new.mp4");
    e2e::ExpectPlayerFile(r, s, true, true, 1.0, "mjpeg");
    EXPECT_TRUE(r.HasBrand("avc1"));
    ASSERT_NE(nullptr, r.FirstOf("video"));
    EXPECT_EQ(2997, r.FirstOf("video")->rateNum);
    EXPECT_EQ(125, r.FirstOf("video")->rateDen);
}

TEST_F(Conversion, FrameSizesAndRates) {
    const std::string in = Input(Kind::AviMpeg4, Short(), "src");
    struct Case {
        int w, h;
        double fps;
        int num, den;
    } cases[] = {{160, 120, 14.985, 2997, 200}, {720, 320, 29.97, 2997, 100}, {176, 144, 25.0, 25, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        e2e::Settings s;
        s.width = c.w;
        s.height = c.h;
        s.fps = c.fps;
        const std::string out = dir / "src_new.mp4";
        ASSERT_EQ(0, Convert(s, in, out));
        testmedia::Report r = testmedia::Check(out);
        e2e::ExpectPlayerFile(r, s, true, true, 1.0, "src");
        ASSERT_NE(nullptr, r.FirstOf("video"));
        EXPECT_EQ(c.num, r.FirstOf("video")->rateNum);
        EXPECT_EQ(c.den, r.FirstOf("video")->rateDen);
    }
}

TEST_F(Conversion, EveryOfferedVideoBitRateConvertsWithBothCodecs) {
    const std::string in = Input(Kind::Mov, Short(0.6), "rate");
    for (const char* codec : {"mpeg4", "h264"}) {
        for (int rate : {128, 768, 900, 1500, 2500}) {
            SCOPED_TRACE(std::string(codec) + " " + std::to_string(rate));
            e2e::Settings s;
            s.vcodec = codec;
            s.vbitrate = rate;
            const std::string out = dir / "rate_new.mp4";
            ASSERT_EQ(0, Convert(s, in, out));
            testmedia::Report r = testmedia::Check(out);
            EXPECT_EQ(0, r.decodeErrors);
            ASSERT_NE(nullptr, r.FirstOf("video"));
            EXPECT_EQ(s.vcodec, r.FirstOf("video")->codec);
        }
    }
}

TEST_F(Conversion, SampleRatesAndChannels) {
    struct Case {
        Kind kind;
        int rate, channels;
    } cases[] = {{Kind::MkvSurround, 48000, 2},  // six channels mixed down
                 {Kind::Flv, 24000, 1},          // mono 22050 Hz source
                 {Kind::Wav, 24000, 2},
                 {Kind::AviMpeg4, 48000, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testmedia::KindName(c.kind));
        const std::string in = Input(c.kind, Short(), "snd");
        e2e::Settings s;
        s.sampleRate = c.rate;
        s.channels = c.channels;
        const std::string out = dir / "snd_new.mp4";
        ASSERT_EQ(0, Convert(s, in, out));
        testmedia::Report r = testmedia::Check(out);
        e2e::ExpectPlayerFile(r, s, testmedia::KindHasVideo(c.kind), true, 1.0, "snd");
    }
}

// The audio stream's packets in kbit/s over the file's duration.
double AudioKbps(const std::string& path) {
    AVFormatContext* ic = nullptr;
    if (avformat_open_input(&ic, path.c_str(), nullptr, nullptr) < 0) return -1.0;
    double kbps = -1.0;
    if (avformat_find_stream_info(ic, nullptr) >= 0 && ic->duration > 0) {
        int audio = av_find_best_stream(ic, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        int64_t bytes = 0;
        AVPacket* pkt = av_packet_alloc();
        while (audio >= 0 && pkt && av_read_frame(ic, pkt) >= 0) {
            if (pkt->stream_index == audio) bytes += pkt->size;
            av_packet_unref(pkt);
        }
        av_packet_free(&pkt);
        if (audio >= 0) kbps = double(bytes) * 8 / (double(ic->duration) / AV_TIME_BASE) / 1000;
    }
    avformat_close_input(&ic);
    return kbps;
}

TEST_F(Conversion, TheChosenAudioRateIsTheWholeStreamsInMonoAndStereo) {
    const std::string in = Input(Kind::AviMpeg4, Short(3.0), "abr");
    for (int channels : {1, 2}) {
        for (int rate : {64, 128}) {
            SCOPED_TRACE(std::to_string(channels) + " channels at " + std::to_string(rate));
            e2e::Settings s;
            s.channels = channels;
            s.abitrate = rate;
            const std::string out = dir / "abr_new.mp4";
            ASSERT_EQ(0, Convert(s, in, out));
            EXPECT_NEAR(AudioKbps(out), rate, rate * 0.2);
        }
    }
}

TEST_F(Conversion, VolumeScalesTheSound) {
    const std::string in = Input(Kind::Wav, Short(), "vol");
    auto rmsAt = [&](int volume) {
        e2e::Settings s;
        s.volume = volume;
        const std::string out = dir / ("vol" + std::to_string(volume) + ".mp4");
        EXPECT_EQ(0, Convert(s, in, out));
        testmedia::Report r = testmedia::Check(out);
        const testmedia::StreamReport* a = r.FirstOf("audio");
        return a ? a->audioRms : -1.0;
    };
    const double unchanged = rmsAt(256);
    const double doubled = rmsAt(512);
    const double silent = rmsAt(0);
    // The tone's amplitude is 0.25: RMS about 0.177.
    EXPECT_NEAR(0.177, unchanged, 0.03);
    EXPECT_NEAR(2.0, doubled / unchanged, 0.2);
    EXPECT_LT(silent, 0.01 * unchanged);
}

TEST_F(Conversion, AMonoSoundMadeStereoKeepsItsLevelInEachChannel) {
    testmedia::Options o = Short();
    o.channels = 1;
    for (Kind kind : {Kind::Wav, Kind::Flv}) {
        SCOPED_TRACE(testmedia::KindName(kind));
        const std::string in = Input(kind, o, "mono");
        const testmedia::Report original = testmedia::Check(in);
        const testmedia::StreamReport* source = original.FirstOf("audio");
        ASSERT_NE(nullptr, source);
        ASSERT_EQ(1, source->channels);
        e2e::Settings s;  // stereo
        const std::string out = dir / "mono_new.mp4";
        ASSERT_EQ(0, Convert(s, in, out));
        const testmedia::Report converted = testmedia::Check(out);
        const testmedia::StreamReport* a = converted.FirstOf("audio");
        ASSERT_NE(nullptr, a);
        EXPECT_EQ(2, a->channels);
        EXPECT_NEAR(source->audioRms, a->audioRms, 0.1 * source->audioRms);
    }
}

TEST_F(Conversion, AudioOffLeavesOnlyVideo) {
    const std::string in = Input(Kind::AviMpeg4, Short(), "mute");
    enc.SetDisableAudio(1);
    e2e::Settings s;
    ASSERT_EQ(0, Convert(s, in, dir / "mute_new.mp4"));
    testmedia::Report r = testmedia::Check(dir / "mute_new.mp4");
    e2e::ExpectPlayerFile(r, s, true, false, 1.0, "mute");
}

TEST_F(Conversion, RepeatedRunsGiveTheSameBytesAndOverwrite) {
    // Nothing of one run may leak into the next: the same settings give the same file, and
    // a different file in between changes nothing.
    const std::string a = Input(Kind::AviMpeg4, Short(), "a");
    const std::string b = Input(Kind::Flv, Short(0.5), "b");
    const std::string out = dir / "a_new.mp4";
    auto bytes = [](const std::string& p) {
        std::ifstream f(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    };
    e2e::Settings s;
    ASSERT_EQ(0, Convert(s, a, out));
    const std::string first = bytes(out);
    e2e::Settings other;
    other.width = 176;
    other.height = 144;
    other.volume = 512;
    other.channels = 1;
    ASSERT_EQ(0, Convert(other, b, dir / "b_new.mp4"));
    ASSERT_EQ(0, Convert(s, a, out));  // the existing output is overwritten without a question
    EXPECT_FALSE(first.empty());
    EXPECT_TRUE(first == bytes(out));
}

TEST_F(Conversion, DecimalCommaLocaleChangesNothing) {
    const std::string in = Input(Kind::AviMpeg4, Short(), "komma");
    e2e::CommaLocale locale(dir.path());
    if (!locale.active()) GTEST_SKIP() << "no locale with a decimal comma can be built here";
    e2e::Settings s;
    ASSERT_EQ(0, Convert(s, in, dir / "komma_new.mp4"));
    EXPECT_STREQ("23.976000", enc.GetParams().GetArg(19));
    testmedia::Report r = testmedia::Check(dir / "komma_new.mp4");
    e2e::ExpectPlayerFile(r, s, true, true, 1.0, "komma");
    ASSERT_NE(nullptr, r.FirstOf("video"));
    EXPECT_EQ(2997, r.FirstOf("video")->rateNum);
    EXPECT_EQ(125, r.FirstOf("video")->rateDen);
    MediaInfo mi{};
    ASSERT_EQ(0, enc.GetMediaInfo(in.c_str(), &mi));
    EXPECT_STREQ("25.00 fps", mi.szFrameRate);
}

TEST_F(Conversion, LongPathsConvert) {
    // Deep folders give paths far beyond 255 characters, through the script route too.
    std::string folder = dir.path();
    while (folder.size() < 320) {
        folder += "/" + std::string(60, 'f');
        ASSERT_EQ(0, mkdir(folder.c_str(), 0755));
    }
    for (Kind kind : {Kind::AviMpeg4, Kind::MkvSurround}) {
        SCOPED_TRACE(testmedia::KindName(kind));
        const std::string in = folder + "/deep" + testmedia::KindExtension(kind);
        ASSERT_TRUE(testmedia::Generate(kind, in, Short()));
        const std::string out = folder + "/deep_new.mp4";
        ASSERT_GT(out.size(), 300u);
        ASSERT_EQ(0, Convert(e2e::Settings(), in, out));
        e2e::ExpectPlayerFile(testmedia::Check(out), e2e::Settings(), true, true, 1.0, "deep");
    }
}

}  // namespace
