// The media-information probe on generated files, on damaged and missing files, and on
// stream layouts built in memory.
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstring>
#include <string>
#include <thread>
#include <vector>
#include <unistd.h>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
}

#include "MediaInfo.h"
#include "testmedia.h"

namespace {

using testmedia::Kind;

MediaInfo Zeroed() {
    MediaInfo mi;
    std::memset(&mi, 0, sizeof mi);
    return mi;
}

// Where the first packet of a file is, as its demuxer states it.
double StartSeconds(const std::string& path) {
    AVFormatContext* ic = nullptr;
    if (avformat_open_input(&ic, path.c_str(), nullptr, nullptr) < 0) return -1.0;
    double start = -1.0;
    if (avformat_find_stream_info(ic, nullptr) >= 0 && ic->start_time != AV_NOPTS_VALUE)
        start = ic->start_time / double(AV_TIME_BASE);
    avformat_close_input(&ic);
    return start;
}

class ProbeFile : public ::testing::TestWithParam<Kind> {
protected:
    void SetUp() override { av_log_set_level(AV_LOG_ERROR); }
};

TEST_P(ProbeFile, FillsTheRecordFromEveryGeneratedKind) {
    const Kind kind = GetParam();
    testmedia::ScratchDir dir("probe");
    testmedia::Options o;
    o.seconds = 2.5;
    const std::string path = dir / (std::string("in") + testmedia::KindExtension(kind));
    std::string err;
    ASSERT_TRUE(testmedia::Generate(kind, path, o, &err)) << err;
    const testmedia::Options e = testmedia::Effective(kind, o);

    EXPECT_EQ(0, probe_media_file(path.c_str()));
    MediaInfo mi = Zeroed();
    ASSERT_EQ(0, query_media_info(path.c_str(), &mi));

    // Raw elementary streams state no duration: it must still come out usable.
    EXPECT_EQ(2, mi.nDuration);
    EXPECT_STREQ("00:00:02", mi.szDuration);
    EXPECT_NE('\0', mi.szBitrate[0]);
    if (testmedia::KindHasVideo(kind)) {
        EXPECT_EQ(std::to_string(e.width) + "x" + std::to_string(e.height), mi.szFrameSize);
        EXPECT_NEAR(e.fps, mi.fFrameRate, 0.01);
        char fps[20];
        std::snprintf(fps, sizeof fps, "%5.2f fps", e.fps);
        EXPECT_STREQ(fps, mi.szFrameRate);
        EXPECT_NE('\0', mi.szVideoCodec[0]);
        EXPECT_NE(nullptr, std::strstr(mi.szVideoBitrate, " kb/s"));
    } else {
        EXPECT_STREQ("", mi.szFrameSize);
        EXPECT_STREQ("", mi.szVideoCodec);
        EXPECT_EQ(0.0f, mi.fFrameRate);
    }
    if (testmedia::KindHasAudio(kind)) {
        EXPECT_EQ(std::to_string(e.sampleRate) + " HZ", mi.szSampleRate);
        const char* channels = e.channels == 1 ? "mono" : e.channels == 2 ? "stereo" : "5:1";
        EXPECT_STREQ(channels, mi.szChannels);
        EXPECT_NE('\0', mi.szAudioCodec[0]);
    } else {
        EXPECT_STREQ("", mi.szAudioCodec);
        EXPECT_STREQ("", mi.szChannels);
    }
    EXPECT_EQ('\0', reinterpret_cast<const char*>(&mi)[sizeof mi - 1]);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ProbeFile, ::testing::ValuesIn(testmedia::AllKinds()),
                         [](const ::testing::TestParamInfo<Kind>& info) {
                             std::string n = testmedia::KindName(info.param);
                             for (char& c : n)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

// Movies, Matroska segments and ASF state their duration from their timeline's zero: content
// whose first packet is at 10 s was listed 10 s too long. What is listed is what the file
// holds, whether its container states an end or a span (transport streams, Flash video).
TEST(Probe, FilesWhoseTimestampsStartLateAreListedWithTheLengthTheyHold) {
    av_log_set_level(AV_LOG_ERROR);
    testmedia::ScratchDir dir("probe_late");
    for (Kind kind : {Kind::Mp4, Kind::Mov, Kind::ThreeGp, Kind::MkvSurround, Kind::Asf, Kind::MpegTs, Kind::Flv,
                      Kind::MpegPs}) {
        for (double seconds : {4.0, 2.5}) {
            SCOPED_TRACE(std::string(testmedia::KindName(kind)) + " " + std::to_string(seconds));
            testmedia::Options o;
            o.seconds = seconds;
            o.start = 10.0;
            const std::string path = dir / (std::string("late") + testmedia::KindExtension(kind));
            ASSERT_TRUE(testmedia::Generate(kind, path, o));
            ASSERT_NEAR(10.0, StartSeconds(path), 0.1);
            MediaInfo mi = Zeroed();
            ASSERT_EQ(0, query_media_info(path.c_str(), &mi));
            const int whole = static_cast<int>(seconds);
            EXPECT_EQ(whole, mi.nDuration);
            char text[20];
            std::snprintf(text, sizeof text, "00:00:%02d", whole);
            EXPECT_STREQ(text, mi.szDuration);
        }
    }
}

// The program probes added files on a worker while its window thread may probe or play too:
// probes on several threads at once give what each gives alone.
TEST(Probe, ProbesOnSeveralThreadsAtOnceAgreeWithOneAtATime) {
    av_log_set_level(AV_LOG_ERROR);
    testmedia::ScratchDir dir("probe_threads");
    const Kind kinds[] = {Kind::AviMpeg4, Kind::Mov, Kind::MkvSurround, Kind::RawH264};
    std::vector<std::string> paths;
    std::vector<MediaInfo> alone;
    for (Kind k : kinds) {
        std::string path = dir / (std::string(testmedia::KindName(k)) + testmedia::KindExtension(k));
        ASSERT_TRUE(testmedia::Generate(k, path, 1.0, 160, 120, 10)) << path;
        MediaInfo mi = Zeroed();
        ASSERT_EQ(query_media_info(path.c_str(), &mi), 0) << path;
        paths.push_back(path);
        alone.push_back(mi);
    }
    std::atomic<int> mismatches{0};
    auto probeAll = [&](size_t first) {
        for (int round = 0; round < 4; ++round) {
            for (size_t i = 0; i < paths.size(); ++i) {
                size_t n = (first + i) % paths.size();
                MediaInfo mi = Zeroed();
                if (query_media_info(paths[n].c_str(), &mi) != 0 || probe_media_file(paths[n].c_str()) != 0 ||
                    std::memcmp(&mi, &alone[n], sizeof mi) != 0)
                    ++mismatches;
            }
        }
    };
    std::vector<std::thread> threads;
    for (size_t t = 1; t < 4; ++t) threads.emplace_back(probeAll, t);
    probeAll(0);
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(mismatches.load(), 0);
}

TEST(Probe, PcmBitRateFollowsTheSampleSize) {
    av_log_set_level(AV_LOG_ERROR);
    testmedia::ScratchDir dir("probe");
    const std::string path = dir / "tone.wav";
    ASSERT_TRUE(testmedia::Generate(Kind::Wav, path, 1.0, 0, 0, 0));
    MediaInfo mi = Zeroed();
    ASSERT_EQ(0, query_media_info(path.c_str(), &mi));
    EXPECT_STREQ("1411 kb/s", mi.szAudioBitrate);  // 44100 x 2 x 16
    EXPECT_STREQ("pcm_s16le", mi.szAudioCodec);
}

TEST(Probe, DamagedMissingAndForeignNamesFailAndLeaveTheRecord) {
    av_log_set_level(AV_LOG_QUIET);
    testmedia::ScratchDir dir("probe");
    const std::string junk = dir / "junk.avi";
    const std::string stub = dir / "stub.mp4";
    const std::string whole = dir / "whole.mp4";
    ASSERT_TRUE(testmedia::WriteJunk(junk));
    ASSERT_TRUE(testmedia::Generate(Kind::Mp4, whole, 1.0, 0, 0, 0));
    ASSERT_TRUE(testmedia::WriteTruncated(whole, stub, 0.002));

    MediaInfo mi;
    std::memset(&mi, 0x5a, sizeof mi);
    const MediaInfo before = mi;
    for (const std::string& p : {junk, stub, dir / "missing.avi", dir.path(), std::string("")}) {
        SCOPED_TRACE(p);
        EXPECT_EQ(-1, query_media_info(p.c_str(), &mi));
        EXPECT_EQ(-1, probe_media_file(p.c_str()));
        EXPECT_EQ(0, std::memcmp(&before, &mi, sizeof mi));
    }
    EXPECT_EQ(-1, query_media_info(nullptr, &mi));
    EXPECT_EQ(-1, query_media_info(whole.c_str(), nullptr));
    EXPECT_EQ(-1, probe_media_file(nullptr));
    // Only files are read: no network request, no protocol tricks.
    EXPECT_EQ(-1, probe_media_file("http://127.0.0.1:9/clip.mp4"));
    EXPECT_EQ(-1, probe_media_file(("concat:" + whole + "|" + whole).c_str()));
}

TEST(Probe, TruncatedFileStillProbesWhatItHolds) {
    av_log_set_level(AV_LOG_QUIET);
    testmedia::ScratchDir dir("probe");
    const std::string whole = dir / "whole.avi";
    const std::string part = dir / "part.avi";
    ASSERT_TRUE(testmedia::Generate(Kind::AviMpeg4, whole, 2.0, 0, 0, 0));
    ASSERT_TRUE(testmedia::WriteTruncated(whole, part, 0.6));
    MediaInfo mi = Zeroed();
    ASSERT_EQ(0, query_media_info(part.c_str(), &mi));
    EXPECT_STREQ("320x240", mi.szFrameSize);
}

TEST(Probe, LongRawStreamsAreMeasuredFromTheirStartAndSize) {
    av_log_set_level(AV_LOG_ERROR);
    testmedia::ScratchDir dir("probe");
    const std::string path = dir / "long.h264";
    testmedia::Options o;
    o.seconds = 8.0;
    ASSERT_TRUE(testmedia::Generate(Kind::RawH264, path, o));
    auto measure = [&](int64_t limit) {
        AVFormatContext* ic = nullptr;
        EXPECT_EQ(0, avformat_open_input(&ic, path.c_str(), nullptr, nullptr));
        if (!ic) return int64_t(-1);
        avformat_find_stream_info(ic, nullptr);
        const int64_t size = avio_size(ic->pb);
        int64_t d = measure_stream_duration(ic, limit < 0 ? size / -limit : limit);
        avformat_close_input(&ic);
        return d;
    };
    EXPECT_EQ(8 * AV_TIME_BASE, measure(0));            // every picture counted
    EXPECT_NEAR(8.0, measure(-3) / double(AV_TIME_BASE), 0.8);  // a third read, the rest estimated
    EXPECT_EQ(AV_NOPTS_VALUE, measure_stream_duration(nullptr, 0));
}

TEST(Probe, FileNameWithAColonIsAFileNotAProtocol) {
    av_log_set_level(AV_LOG_ERROR);
    testmedia::ScratchDir dir("probe");
    ASSERT_TRUE(testmedia::Generate(Kind::AviMpeg4, dir / "sub:clip.avi", 1.0, 0, 0, 0));
    char cwd[PATH_MAX];
    ASSERT_NE(nullptr, getcwd(cwd, sizeof cwd));
    ASSERT_EQ(0, chdir(dir.path().c_str()));
    MediaInfo mi = Zeroed();
    int r = query_media_info("sub:clip.avi", &mi);
    ASSERT_EQ(0, chdir(cwd));
    EXPECT_EQ(0, r);
    EXPECT_STREQ("320x240", mi.szFrameSize);
}

// Stream layouts that generated files do not easily give, built in memory.
class FakeFormat : public ::testing::Test {
protected:
    void SetUp() override {
        av_log_set_level(AV_LOG_QUIET);
        ic = avformat_alloc_context();
        ASSERT_NE(nullptr, ic);
        ic->duration = AV_NOPTS_VALUE;
        ic->start_time = AV_NOPTS_VALUE;
    }
    void TearDown() override { avformat_free_context(ic); }

    AVStream* Video(int w, int h) {
        AVStream* st = avformat_new_stream(ic, nullptr);
        st->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
        st->codecpar->codec_id = AV_CODEC_ID_MPEG4;
        st->codecpar->width = w;
        st->codecpar->height = h;
        st->codecpar->bit_rate = 512000;
        return st;
    }
    AVStream* Audio(AVCodecID id, int rate, int channels, int64_t bitRate) {
        AVStream* st = avformat_new_stream(ic, nullptr);
        st->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
        st->codecpar->codec_id = id;
        st->codecpar->sample_rate = rate;
        av_channel_layout_default(&st->codecpar->ch_layout, channels);
        st->codecpar->bit_rate = bitRate;
        return st;
    }
    MediaInfo Dump() {
        MediaInfo mi = Zeroed();
        dump_media_format(ic, 0, "fake", 0, &mi);
        return mi;
    }

    AVFormatContext* ic = nullptr;
};

TEST_F(FakeFormat, DurationAndOverallBitRate) {
    ic->duration = 3725900000LL;  // 3,725.9 s
    ic->bit_rate = 1234567;
    MediaInfo mi = Dump();
    EXPECT_STREQ("01:02:05", mi.szDuration);
    EXPECT_EQ(3725, mi.nDuration);
    EXPECT_STREQ("1234 kb/s", mi.szBitrate);

    ic->duration = AV_NOPTS_VALUE;
    ic->bit_rate = 0;
    mi = Dump();
    EXPECT_STREQ("N/A", mi.szDuration);
    EXPECT_EQ(0, mi.nDuration);
    EXPECT_STREQ("N/A", mi.szBitrate);
}

TEST_F(FakeFormat, FrameRateFallsBackAndNeverDividesByZero) {
    AVStream* st = Video(720, 320);
    st->r_frame_rate = AVRational{0, 0};
    st->avg_frame_rate = AVRational{25, 1};
    MediaInfo mi = Dump();
    EXPECT_STREQ("25.00 fps", mi.szFrameRate);
    EXPECT_FLOAT_EQ(25.0f, mi.fFrameRate);
    EXPECT_STREQ("720x320", mi.szFrameSize);
    EXPECT_STREQ("512 kb/s", mi.szVideoBitrate);

    st->avg_frame_rate = AVRational{0, 1};
    st->r_frame_rate = AVRational{12, 0};
    mi = Dump();
    EXPECT_STREQ(" 0.00 fps", mi.szFrameRate);
    EXPECT_EQ(0.0f, mi.fFrameRate);

    st->r_frame_rate = AVRational{2997, 125};
    mi = Dump();
    EXPECT_STREQ("23.98 fps", mi.szFrameRate);
}

TEST_F(FakeFormat, LastAudioStreamWinsAndChannelTexts) {
    Audio(AV_CODEC_ID_MP3, 22050, 1, 64000);
    Audio(AV_CODEC_ID_AAC, 48000, 6, 384000);
    MediaInfo mi = Dump();
    EXPECT_STREQ("48000 HZ", mi.szSampleRate);
    EXPECT_STREQ("5:1", mi.szChannels);
    EXPECT_STREQ("aac", mi.szAudioCodec);
    EXPECT_STREQ("384 kb/s", mi.szAudioBitrate);
    EXPECT_STREQ("", mi.szFrameSize) << "no video stream leaves the video fields empty";
    EXPECT_STREQ("", mi.szVideoCodec);

    Audio(AV_CODEC_ID_AAC, 44100, 4, 0);
    mi = Dump();
    EXPECT_STREQ("4 channels", mi.szChannels);
    Audio(AV_CODEC_ID_AAC, 44100, 1, 0);
    EXPECT_STREQ("mono", Dump().szChannels);
}

TEST_F(FakeFormat, PcmRatesFromSampleSizeAndUnknownCodecTags) {
    AVStream* a = Audio(AV_CODEC_ID_PCM_U16BE, 8000, 2, 0);
    EXPECT_STREQ("256 kb/s", Dump().szAudioBitrate);
    a->codecpar->codec_id = AV_CODEC_ID_PCM_ALAW;
    EXPECT_STREQ("128 kb/s", Dump().szAudioBitrate);
    a->codecpar->codec_id = AV_CODEC_ID_PCM_S24LE;  // not one of the eight: the stated rate
    a->codecpar->bit_rate = 99000;
    EXPECT_STREQ("99 kb/s", Dump().szAudioBitrate);

    AVStream* v = Video(16, 16);
    v->codecpar->codec_id = AV_CODEC_ID_NONE;
    v->codecpar->codec_tag = MKTAG('A', 'B', 'C', 'D');
    EXPECT_STREQ("ABCD / 0x44434241", Dump().szVideoCodec);
    v->codecpar->codec_tag = 0x01;
    EXPECT_STREQ("0x0001", Dump().szVideoCodec);
}

TEST_F(FakeFormat, LongTextsAreCutToNineteenCharacters) {
    AVStream* v = Video(1234567890, 1234567890);
    MediaInfo mi = Dump();
    EXPECT_EQ(19u, std::strlen(mi.szFrameSize));
    EXPECT_STREQ("1234567890x12345678", mi.szFrameSize);
    v->codecpar->width = 0;

    char desc[8];
    describe_codec(desc, sizeof desc, v->codecpar, 0, nullptr);
    EXPECT_EQ(7u, std::strlen(desc));
    EXPECT_STREQ("Video: ", desc);
}

}  // namespace
