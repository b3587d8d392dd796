// Conversions through the driver: streams, timing of raw inputs, per-run
// reset, failures and write errors.
#include "driver_support.h"
#include "testmedia.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using drivertest::ReadFile;
using drivertest::RunDriver;
using drivertest::WrapperVector;
using testmedia::Kind;

namespace {

AVRational SampleAspect(const std::string& path) {
    AVFormatContext* ic = nullptr;
    AVRational sar{0, 1};
    if (avformat_open_input(&ic, path.c_str(), nullptr, nullptr) < 0) return sar;
    if (avformat_find_stream_info(ic, nullptr) >= 0) {
        for (unsigned i = 0; i < ic->nb_streams; ++i)
            if (ic->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
                sar = ic->streams[i]->codecpar->sample_aspect_ratio;
    }
    avformat_close_input(&ic);
    return sar;
}

// Mean luma of each row of the first picture of a file's video stream.
std::vector<double> FirstPictureRows(const std::string& path) {
    std::vector<double> rows;
    AVFormatContext* ic = nullptr;
    if (avformat_open_input(&ic, path.c_str(), nullptr, nullptr) < 0) return rows;
    avformat_find_stream_info(ic, nullptr);
    const int vi = av_find_best_stream(ic, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const AVCodec* dec = vi >= 0 ? avcodec_find_decoder(ic->streams[vi]->codecpar->codec_id) : nullptr;
    AVCodecContext* ctx = dec ? avcodec_alloc_context3(dec) : nullptr;
    AVPacket* pkt = av_packet_alloc();
    AVFrame* f = av_frame_alloc();
    if (ctx && avcodec_parameters_to_context(ctx, ic->streams[vi]->codecpar) >= 0 &&
        avcodec_open2(ctx, dec, nullptr) >= 0) {
        bool got = false;
        while (!got && av_read_frame(ic, pkt) >= 0) {
            if (pkt->stream_index == vi && avcodec_send_packet(ctx, pkt) >= 0)
                got = avcodec_receive_frame(ctx, f) >= 0;
            av_packet_unref(pkt);
        }
        if (!got && avcodec_send_packet(ctx, nullptr) >= 0) got = avcodec_receive_frame(ctx, f) >= 0;
        for (int y = 0; got && y < f->height; ++y) {
            double sum = 0;
            for (int x = 0; x < f->width; ++x) sum += f->data[0][y * f->linesize[0] + x];
            rows.push_back(sum / f->width);
        }
    }
    av_frame_free(&f);
    av_packet_free(&pkt);
    avcodec_free_context(&ctx);
    avformat_close_input(&ic);
    return rows;
}

TEST(DriverConvert, WrapperDefaultsGiveMpeg4AndAacInIpodFile) {
    testmedia::ScratchDir dir("drv");
    const std::string in = dir / "in.avi", out = dir / "out.mp4";
    ASSERT_TRUE(testmedia::Generate(Kind::AviMpeg4, in, 2.0, 640, 480, 25));
    auto r = RunDriver(WrapperVector(in, out));
    ASSERT_EQ(r.rc, 0) << r.err;
    auto rep = testmedia::Check(out);
    ASSERT_TRUE(rep.opened);
    EXPECT_EQ(rep.majorBrand, "M4V ");
    EXPECT_EQ(rep.title, "clip");
    ASSERT_EQ(rep.streams.size(), 2u);
    EXPECT_EQ(rep.streams[0].type, "video");
    EXPECT_EQ(rep.streams[0].codec, "mpeg4");
    EXPECT_EQ(rep.streams[0].width, 320);
    EXPECT_EQ(rep.streams[0].height, 240);
    EXPECT_EQ(rep.streams[0].pixFmt, "yuv420p");
    EXPECT_EQ(rep.streams[0].rateNum, 2997);
    EXPECT_EQ(rep.streams[0].rateDen, 125);
    EXPECT_EQ(rep.streams[1].codec, "aac");
    EXPECT_EQ(rep.streams[1].sampleRate, 44100);
    EXPECT_EQ(rep.streams[1].channels, 2);
    EXPECT_EQ(rep.decodeErrors, 0);
    EXPECT_NEAR(rep.duration, 2.0, 0.15);
    EXPECT_NEAR(double(rep.streams[0].framesDecoded), 2.0 * 23.976, 2.0);
    EXPECT_NEAR(double(rep.streams[1].samplesDecoded) / 44100.0, 2.0, 0.1);
}
}  // namespace

namespace {

// Raw elementary streams carry few or no timestamps: every frame must still
// reach the output at its place.
class RawTiming : public ::testing::TestWithParam<Kind> {};

TEST_P(RawTiming, OutputKeepsTheInputDurationAndFrames) {
    testmedia::ScratchDir dir("drvraw");
    const Kind kind = GetParam();
    const std::string in = dir / (std::string("in") + testmedia::KindExtension(kind));
    const std::string out = dir / "out.mp4";
    testmedia::Options o;
    o.seconds = 2.0;
    ASSERT_TRUE(testmedia::Generate(kind, in, o));
    const double in_fps = testmedia::Effective(kind, o).fps;
    auto r = RunDriver(WrapperVector(in, out));
    ASSERT_EQ(r.rc, 0) << r.err;
    auto rep = testmedia::Check(out);
    ASSERT_TRUE(rep.opened);
    const auto* v = rep.FirstOf("video");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(rep.decodeErrors, 0);
    EXPECT_NEAR(rep.duration, 2.0, std::max(0.15, 2.0 / in_fps));
    EXPECT_NEAR(double(v->framesDecoded), 2.0 * 23.976, 3.0);
    EXPECT_EQ(rep.FirstOf("audio"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Kinds, RawTiming,
                         ::testing::Values(Kind::RawH261, Kind::RawH264, Kind::RawM4v, Kind::Y4m),
                         [](const auto& info) { return std::string(testmedia::KindName(info.param)); });

TEST(DriverConvert, H264NameUsesTheAvailableEncoderAndPlayablePixels) {
    testmedia::ScratchDir dir("drv264");
    const std::string in = dir / "in.avi", out = dir / "out.mp4";
    // Motion-JPEG decodes to full-range 4:2:x pictures; the output must still
    // be plain 4:2:0.
    ASSERT_TRUE(testmedia::Generate(Kind::AviMjpeg, in, 1.0, 320, 240, 25));
    auto args = WrapperVector(in, out, "h264");
    auto r = RunDriver(args);
    ASSERT_EQ(r.rc, 0) << r.err;
    auto rep = testmedia::Check(out);
    const auto* v = rep.FirstOf("video");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->codec, "h264");
    EXPECT_EQ(v->pixFmt, "yuv420p");
    EXPECT_TRUE(rep.HasBrand("avc1"));
    EXPECT_EQ(rep.decodeErrors, 0);
}

TEST(DriverConvert, ScriptInputOpensTheFileItNames) {
    testmedia::ScratchDir dir("drvavs");
    const std::string in = dir / "in.mov", script = dir / "input.avs", out = dir / "out.mp4";
    ASSERT_TRUE(testmedia::Generate(Kind::Mov, in, 1.0, 320, 240, 25));
    {
        std::ofstream f(script, std::ios::binary);
        f << "DirectShowSource(\"" << in << "\", fps=23.976, convertfps=true)\r\n";
    }
    auto r = RunDriver(WrapperVector(script, out));
    ASSERT_EQ(r.rc, 0) << r.err;
    auto rep = testmedia::Check(out);
    EXPECT_NEAR(rep.duration, 1.0, 0.15);
    EXPECT_NE(rep.FirstOf("audio"), nullptr);
}

TEST(DriverConvert, HostsScriptIsReadOnceAndMustNameTheHostsInput) {
    testmedia::ScratchDir dir("drvavs");
    const std::string in = dir / "in.mov", other = dir / "other.mov", script = dir / "input.avs";
    ASSERT_TRUE(testmedia::Generate(Kind::Mov, in, 1.0, 320, 240, 25));
    ASSERT_TRUE(testmedia::Generate(Kind::Mov, other, 1.0, 320, 240, 25));
    {
        std::ofstream f(script, std::ios::binary);
        f << "DirectShowSource(\"" << other << "\")\r\n";
    }
    static int reads = 0;
    const ScriptReadCallback count = [](void*) { ++reads; };

    // Another program's input in the script: the file fails instead of converting it.
    reads = 0;
    set_input_script(script.c_str(), in.c_str(), count, nullptr);
    auto r = RunDriver(WrapperVector(script, dir / "refused.mp4"));
    EXPECT_EQ(r.rc, -1);
    EXPECT_EQ(reads, 1);
    EXPECT_NE(r.err.find("the script names '" + other + "', not the input '" + in + "'"), std::string::npos) << r.err;

    // The hand-over is for one run: the next reads a script it was not told about as before.
    reads = 0;
    r = RunDriver(WrapperVector(script, dir / "later.mp4"));
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(reads, 0);

    // A run that never gets to the script still ends the hand-over.
    set_input_script(script.c_str(), other.c_str(), count, nullptr);
    r = RunDriver({"-vcodec", "nothing", "-i"});
    EXPECT_EQ(r.rc, -1);
    EXPECT_EQ(reads, 1);
}

// One process runs many conversions: options of one run never reach the next.
TEST(DriverConvert, RunAfterOddOptionsIsByteIdenticalToCleanRun) {
    testmedia::ScratchDir dir("drvreset");
    const std::string in = dir / "in.avi";
    ASSERT_TRUE(testmedia::Generate(Kind::AviMpeg4, in, 1.0, 320, 240, 25));
    auto open_files = [] {
        int n = 0;
        if (DIR* d = opendir("/proc/self/fd")) {
            while (readdir(d)) ++n;
            closedir(d);
        }
        return n;
    };
    auto normal = WrapperVector(in, dir / "a1.mp4");
    normal.insert(normal.begin(), {"-threads", "1"});
    auto r1 = RunDriver(normal);
    const int files_after_first = open_files();
    ASSERT_EQ(r1.rc, 0) << r1.err;

    std::vector<std::string> odd = {"-an", "-vol", "512", "-ss", "0.2", "-i", in, "-t", "0.5",
                                    "-s", "176x144", "-r", "14.985", "-qmax", "10", "-g", "3",
                                    "-title", "other", "-fixaspect", "-padcolor", "FF0000",
                                    "-bf", "2", "-me", "zero", "-ar", "22050", "-ac", "1",
                                    "-vcodec", "mpeg4", "-psnr", "-4mv", "-async", "0", "-vsync", "0",
                                    dir / "b.mp4"};
    auto rb = RunDriver(odd);
    ASSERT_EQ(rb.rc, 0) << rb.err;
    auto repb = testmedia::Check(dir / "b.mp4");
    EXPECT_EQ(repb.FirstOf("audio"), nullptr);
    EXPECT_NEAR(repb.duration, 0.5, 0.15);

    normal.back() = dir / "a3.mp4";
    auto r3 = RunDriver(normal);
    ASSERT_EQ(r3.rc, 0) << r3.err;
    const std::string a1 = ReadFile(dir / "a1.mp4"), a3 = ReadFile(dir / "a3.mp4");
    ASSERT_FALSE(a1.empty());
    EXPECT_TRUE(a1 == a3) << "sizes " << a1.size() << " and " << a3.size();
    EXPECT_NE(testmedia::Check(dir / "a3.mp4").FirstOf("audio"), nullptr);
    // Runs leave no file open behind them.
    EXPECT_EQ(open_files(), files_after_first);
}

TEST(DriverConvert, VolumeScalesSamples) {
    testmedia::ScratchDir dir("drvvol");
    const std::string in = dir / "in.wav";
    ASSERT_TRUE(testmedia::Generate(Kind::Wav, in, 1.0, 0, 0, 0));
    auto args = [&](const char* vol, const std::string& out) {
        return std::vector<std::string>{"-i", in, "-acodec", "aac", "-ab", "128", "-vol", vol, "-ar", "44100",
                                        "-ac", "2", "-f", "ipod", out};
    };
    ASSERT_EQ(RunDriver(args("256", dir / "v256.m4a")).rc, 0);
    ASSERT_EQ(RunDriver(args("512", dir / "v512.m4a")).rc, 0);
    ASSERT_EQ(RunDriver(args("0", dir / "v0.m4a")).rc, 0);
    const double r256 = testmedia::Check(dir / "v256.m4a").FirstOf("audio")->audioRms;
    const double r512 = testmedia::Check(dir / "v512.m4a").FirstOf("audio")->audioRms;
    const double r0 = testmedia::Check(dir / "v0.m4a").FirstOf("audio")->audioRms;
    ASSERT_GT(r256, 0.05);
    EXPECT_NEAR(r512 / r256, 2.0, 0.2);
    EXPECT_LT(r0, r256 * 0.01);
    // An audio-only input makes no video stream, though the format has a default one.
    EXPECT_EQ(testmedia::Check(dir / "v256.m4a").FirstOf("video"), nullptr);
}

TEST(DriverConvert, FixAspectLetterboxesWithSquarePixels) {
    testmedia::ScratchDir dir("drvaspect");
    const std::string in = dir / "in.avi", out = dir / "out.mp4";
    ASSERT_TRUE(testmedia::Generate(Kind::AviMpeg4, in, 1.0, 640, 360, 25));
    // The wrapper names "-fixaspect" after the size.
    auto args = WrapperVector(in, out);
    args.insert(std::find(args.begin(), args.end(), "-b"), "-fixaspect");
    auto r = RunDriver(args);
    ASSERT_EQ(r.rc, 0) << r.err;
    auto rep = testmedia::Check(out);
    const auto* v = rep.FirstOf("video");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->width, 320);
    EXPECT_EQ(v->height, 240);
    EXPECT_EQ(rep.decodeErrors, 0);
    // 640x360 in 320x240: a 320x180 picture between bands of 30 rows.
    EXPECT_EQ(ffdrv::g_opt.picture_height, 180);
    EXPECT_EQ(ffdrv::g_opt.pad_top, 30);
    EXPECT_EQ(ffdrv::g_opt.pad_bottom, 30);
    const auto rows = FirstPictureRows(out);
    ASSERT_EQ(rows.size(), 240u);
    for (int y : {0, 10, 27, 213, 230, 239}) EXPECT_NEAR(rows[y], 16.0, 4.0) << "band row " << y;
    for (int y : {40, 120, 200}) EXPECT_GT(rows[y], 24.0) << "picture row " << y;
    // The picture keeps its shape inside the bands, so its pixels are square.
    AVRational sar = SampleAspect(out);
    EXPECT_EQ(sar.num, 1);
    EXPECT_EQ(sar.den, 1);

    // Without the flag the picture is stretched and its pixels say so (16:9 shown).
    auto plain = WrapperVector(in, dir / "plain.mp4");
    ASSERT_EQ(RunDriver(plain).rc, 0);
    sar = SampleAspect(dir / "plain.mp4");
    EXPECT_EQ(sar.num, 4);
    EXPECT_EQ(sar.den, 3);
}

}  // namespace

namespace {

TEST(DriverFailures, MissingInputOutputAndSetupFailuresGiveMinusOne) {
    testmedia::ScratchDir dir("drvfail");
    const std::string in = dir / "in.avi";
    ASSERT_TRUE(testmedia::Generate(Kind::AviMpeg4, in, 0.5, 160, 120, 25));

    auto r = RunDriver({"-i", dir / "missing.avi", dir / "o1.mp4"});
    EXPECT_EQ(r.rc, -1);
    EXPECT_NE(r.err.find(": Error while opening file\n"), std::string::npos) << r.err;

    r = RunDriver({"-i", in});
    EXPECT_EQ(r.rc, -1);
    EXPECT_NE(r.err.find("Must supply at least one output file\n"), std::string::npos);

    r = RunDriver({dir / "o2.mp4"});
    EXPECT_EQ(r.rc, -1);

    ASSERT_TRUE(testmedia::WriteJunk(dir / "junk.avi"));
    r = RunDriver({"-i", dir / "junk.avi", dir / "o3.mp4"});
    EXPECT_EQ(r.rc, -1);

    r = RunDriver({"-i", in, "-vcodec", "foo", dir / "o4.mp4"});
    EXPECT_NE(r.err.find("Unknown codec 'foo'\n"), std::string::npos);

    // The encoder refuses a bit rate above the maximum rate: set-up fails.
    auto args = WrapperVector(in, dir / "o5.mp4");
    auto b = std::find(args.begin(), args.end(), "-b");
    ASSERT_NE(b, args.end());
    *(b + 1) = "900";
    r = RunDriver(args);
    EXPECT_EQ(r.rc, -1);
    EXPECT_NE(r.err.find("Error while opening codec for output stream #0.0"), std::string::npos) << r.err;

    // "-" alone is an output name (standard output).
    r = RunDriver({"-i", in, "-f", "null", "-"});
    EXPECT_EQ(r.rc, 0) << r.err;

    // Parsing stops at an unknown option, but an output named before it stays.
    r = RunDriver({"-i", in, dir / "o6.mp4", "-bogus"});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_TRUE(testmedia::Check(dir / "o6.mp4", false).opened);

    r = RunDriver({"-i", in, dir / "noformat.zzz"});
    EXPECT_EQ(r.rc, -1);
    EXPECT_NE(r.err.find("Unable for find a suitable output format for"), std::string::npos);
}

TEST(DriverFailures, WriteErrorFailsTheRun) {
    testmedia::ScratchDir dir("drvfull");
    const std::string in = dir / "in.avi";
    ASSERT_TRUE(testmedia::Generate(Kind::AviMpeg4, in, 1.0, 320, 240, 25));
    // A file that cannot grow past 40 KiB: the writes in the middle of the run fail.
    struct rlimit old_limit;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    void (*old_handler)(int) = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old_limit;
    small.rlim_cur = 40 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    auto r = RunDriver({"-i", in, "-b", "3000", dir / "cut.mp4"});
    setrlimit(RLIMIT_FSIZE, &old_limit);
    signal(SIGXFSZ, old_handler);
    EXPECT_EQ(r.rc, -1) << r.err;
    EXPECT_NE(r.err.find("Error while writing"), std::string::npos) << r.err;

    if (access("/dev/full", W_OK) == 0) {
        r = RunDriver({"-y", "-i", in, "-f", "ipod", "/dev/full"});
        EXPECT_EQ(r.rc, -1) << r.err;
    }
    // The next run is not affected.
    EXPECT_EQ(RunDriver({"-i", in, dir / "ok.mp4"}).rc, 0);
}

TEST(DriverFailures, OverwriteQuestionOnlyForRelativeNames) {
    testmedia::ScratchDir dir("drvover");
    const std::string in = dir / "in.avi";
    ASSERT_TRUE(testmedia::Generate(Kind::AviMpeg4, in, 0.5, 160, 120, 25));
    const std::string existing = dir / "exists.mp4";
    { std::ofstream(existing) << "old"; }
    // An absolute path is overwritten without a question.
    auto r = RunDriver({"-i", in, existing});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.err.find("already exists"), std::string::npos);
    EXPECT_GT(ReadFile(existing).size(), 100u);

    if (isatty(STDIN_FILENO)) GTEST_SKIP() << "standard input is a terminal";
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    r = RunDriver({"-i", in, "exists.mp4"});
    EXPECT_EQ(chdir(cwd), 0);
    EXPECT_EQ(r.rc, -1);
    EXPECT_NE(r.err.find("File 'exists.mp4' already exists. Overwrite ? [y/N] Not overwriting - exiting\n"),
              std::string::npos)
        << r.err;
}

TEST(DriverFailures, LongPathConverts) {
    testmedia::ScratchDir dir("drvlong");
    std::string folder = dir.path();
    while (folder.size() < 300) {
        folder += "/" + std::string(60, 'd');
        ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    }
    const std::string in = folder + "/input with spaces.avi", out = folder + "/output.mp4";
    ASSERT_TRUE(testmedia::Generate(Kind::AviMpeg4, in, 0.5, 160, 120, 25));
    auto r = RunDriver(WrapperVector(in, out));
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_TRUE(testmedia::Check(out).opened);
}

}  // namespace

namespace {

// Names and file contents must not make the driver read other files or use
// other protocols.
TEST(DriverFailures, InputsAreReadOnlyThroughTheFileNamed) {
    testmedia::ScratchDir dir("drvsafe");
    const std::string in = dir / "in.avi";
    ASSERT_TRUE(testmedia::Generate(Kind::AviMpeg4, in, 0.5, 160, 120, 25));

    // A playlist naming a local file.
    const std::string list = dir / "list.m3u8";
    {
        std::ofstream f(list);
        f << "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1.0,\n" << in << "\n#EXT-X-ENDLIST\n";
    }
    auto r = RunDriver({"-i", list, dir / "o1.mp4"});
    EXPECT_EQ(r.rc, -1);
    EXPECT_FALSE(testmedia::Check(dir / "o1.mp4", false).opened) << r.err;

    // Protocol prefixes in a name are part of the file name.
    r = RunDriver({"-i", "concat:" + in + "|" + in, dir / "o2.mp4"});
    EXPECT_EQ(r.rc, -1);
    EXPECT_NE(r.err.find("Error while opening file"), std::string::npos) << r.err;
}

// The wrapper's thumbnail writes one picture through a muxer that has no byte
// stream of its own.
TEST(DriverConvert, SinglePictureOutput) {
    testmedia::ScratchDir dir("drvthumb");
    const std::string in = dir / "in.avi", out = dir / "thumb.jpg";
    ASSERT_TRUE(testmedia::Generate(Kind::AviMpeg4, in, 2.0, 320, 240, 25));
    auto r = RunDriver({"-i", in, "-y", "-f", "image2", "-ss", "1", "-t", "0.001", "-s", "100x80", out});
    ASSERT_EQ(r.rc, 0) << r.err;
    auto rep = testmedia::Check(out);
    ASSERT_TRUE(rep.opened);
    ASSERT_NE(rep.FirstOf("video"), nullptr);
    EXPECT_EQ(rep.FirstOf("video")->width, 100);
    EXPECT_EQ(rep.FirstOf("video")->height, 80);
}

}  // namespace

namespace {

TEST(DriverConvert, StreamCopyLimitsMapsAndTwoPass) {
    testmedia::ScratchDir dir("drvcopy");
    const std::string in = dir / "in.mov";
    ASSERT_TRUE(testmedia::Generate(Kind::Mov, in, 1.0, 320, 240, 25));
    const auto src = testmedia::Check(in);

    // Copy: the packets pass unchanged, so the streams keep their codecs.
    auto r = RunDriver({"-i", in, "-vcodec", "copy", "-acodec", "copy", dir / "copy.mp4"});
    ASSERT_EQ(r.rc, 0) << r.err;
    auto rep = testmedia::Check(dir / "copy.mp4");
    EXPECT_EQ(rep.decodeErrors, 0);
    ASSERT_NE(rep.FirstOf("video"), nullptr);
    EXPECT_EQ(rep.FirstOf("video")->codec, "mpeg4");
    EXPECT_EQ(rep.FirstOf("video")->framesDecoded, src.FirstOf("video")->framesDecoded);
    ASSERT_NE(rep.FirstOf("audio"), nullptr);
    EXPECT_EQ(rep.FirstOf("audio")->sampleRate, src.FirstOf("audio")->sampleRate);

    // A frame limit ends the run at that many pictures.
    r = RunDriver({"-i", in, "-vframes", "10", "-an", dir / "ten.mp4"});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(testmedia::Check(dir / "ten.mp4").FirstOf("video")->framesDecoded, 10);

    // Stream maps must name existing streams, one per output stream.
    r = RunDriver({"-i", in, "-map", "0:7", "-an", dir / "m1.mp4"});
    EXPECT_EQ(r.rc, -1);
    EXPECT_NE(r.err.find("Could not find input stream #0.7\n"), std::string::npos) << r.err;
    r = RunDriver({"-i", in, "-map", "0:0", dir / "m2.mp4"});
    EXPECT_EQ(r.rc, -1);
    EXPECT_NE(r.err.find("Number of stream maps must match number of output streams\n"), std::string::npos);
    r = RunDriver({"-i", in, "-map", "0:1", "-an", dir / "m3.mp4"});
    EXPECT_EQ(r.rc, -1);
    EXPECT_NE(r.err.find("Codec type mismatch for mapping #0.1 -> #0.0\n"), std::string::npos) << r.err;
    r = RunDriver({"-i", in, "-map", "-1:0", "-an", dir / "m4.mp4"});
    EXPECT_EQ(r.rc, -1);

    // Two passes: the first writes the statistics the second reads.
    const std::string log = dir / "stats";
    r = RunDriver({"-i", in, "-an", "-vcodec", "mpeg4", "-pass", "1", "-passlogfile", log, dir / "p1.mp4"});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_GT(ReadFile(log + "-0.log").size(), 100u);
    r = RunDriver({"-i", in, "-an", "-vcodec", "mpeg4", "-pass", "2", "-passlogfile", log, dir / "p2.mp4"});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(testmedia::Check(dir / "p2.mp4").decodeErrors, 0);
}

}  // namespace
