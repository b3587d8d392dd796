// The option table, the parser's messages and the handlers' conversions and
// checks.
#include "driver_support.h"
#include "testmedia.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <set>

using drivertest::RunDriver;
using ffdrv::g_opt;

namespace {

TEST(DriverOptionTable, HoldsEveryOptionOnceWithTheWrapperRows) {
    EXPECT_EQ(ffdrv::kOptionCount, 188);
    std::set<std::string> names;
    int handlers = 0, stored = 0;
    for (int i = 0; i < ffdrv::kOptionCount; ++i) {
        const auto& o = ffdrv::kOptionTable[i];
        ASSERT_NE(o.name, nullptr);
        EXPECT_TRUE(names.insert(o.name).second) << o.name;
        const bool stores = o.flags & (ffdrv::OPT_STRING | ffdrv::OPT_BOOL | ffdrv::OPT_INT | ffdrv::OPT_FLOAT);
        if (stores) {
            EXPECT_NE(o.var, nullptr) << o.name;
            ++stored;
        } else {
            EXPECT_NE(o.handler, nullptr) << o.name;
            ++handlers;
        }
    }
    EXPECT_EQ(handlers, 113);
    EXPECT_EQ(stored, 75);
    EXPECT_EQ(ffdrv::kOptionTable[ffdrv::kOptionCount].name, nullptr);

    struct Row {
        const char* name;
        int flags;
    };
    const Row rows[] = {{"i", 0x001},       {"title", 0x009},  {"bitexact", 0x004}, {"maxrate", 0x011},
                        {"bufsize", 0x011}, {"vcodec", 0x011}, {"acodec", 0x021},   {"f", 0x001},
                        {"s", 0x011},       {"r", 0x011},      {"fixaspect", 0x012}, {"b", 0x011},
                        {"ac", 0x021},      {"ab", 0x021},     {"an", 0x022},       {"vol", 0x0A1},
                        {"ar", 0x021},      {"muxab", 0x005},  {"muxvb", 0x005},    {"muxdelay", 0x105},
                        {"mepc", 0x095},    {"qprd", 0x016},   {"re", 0x006},       {"y", 0x002}};
    for (const Row& r : rows) {
        const auto* o = ffdrv::FindOption(ffdrv::kOptionTable, r.name);
        ASSERT_NE(o->name, nullptr) << r.name;
        EXPECT_EQ(o->flags, r.flags) << r.name;
    }
    const auto* vc = ffdrv::FindOption(ffdrv::kOptionTable, "vcodec");
    EXPECT_EQ(vc->choice_count, 18);
    EXPECT_STREQ(ffdrv::FindOption(ffdrv::kOptionTable, "abc")->name, nullptr);
}

TEST(DriverParser, UnknownOptionAndMissingArgumentStopParsing) {
    auto r = RunDriver({"-foo", "-i", "x.avi", "out.mp4"});
    EXPECT_EQ(r.rc, -1);
    EXPECT_EQ(r.err, "ffmpeg: unrecognized option '-foo'\nMust supply at least one output file\n");

    // A name is matched whole.
    r = RunDriver({"-abc", "1"});
    EXPECT_EQ(r.err.rfind("ffmpeg: unrecognized option '-abc'\n", 0), 0u) << r.err;

    r = RunDriver({"-title"});
    EXPECT_EQ(r.err, "ffmpeg: missing argument for option '-title'\nMust supply at least one output file\n");
    EXPECT_TRUE(g_opt.title.empty());

    r = RunDriver({"-newaudio", "-newvideo"});
    EXPECT_EQ(r.err,
              "At least one output file must be specified\n"
              "At least one output file must be specified\n"
              "Must supply at least one output file\n");

    // Repeating an option keeps the last value; an earlier handler's effect stays.
    r = RunDriver({"-fs", "5", "-fs", "7", "-title", "a", "-bogus", "-title", "b"});
    EXPECT_EQ(g_opt.size_limit_kib, 7);
    EXPECT_EQ(g_opt.title, "a");
}

TEST(DriverParser, HelpListsTheGroupsAndParsingGoesOn) {
    auto r = RunDriver({"-h", "-title", "after help"});
    EXPECT_NE(r.err.find("usage: ffmpeg [[infile options] -i infile]... {[outfile options] outfile}...\n"
                         "Hyper fast Audio and Video encoder\n"),
              std::string::npos);
    EXPECT_EQ(r.out.rfind("Main options:\n", 0), 0u);
    EXPECT_NE(r.out.find("-i Input File Name  input file name\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("-y                  overwrite output files\n"), std::string::npos);
    for (const char* h : {"\nVideo options:\n", "\nAdvanced Video options:\n", "\nAudio options:\n",
                          "\nAdvanced Audio options:\n", "\nSubtitle options:\n", "\nAudio/Video grab options:\n",
                          "\nAdvanced options:\n"})
        EXPECT_NE(r.out.find(h), std::string::npos) << h;
    EXPECT_LT(r.out.find("\nVideo options:\n"), r.out.find("\nAudio options:\n"));
    EXPECT_EQ(g_opt.title, "after help");
}

TEST(DriverParser, LicenceAndVersionGoToStandardErrorAndParsingGoesOn) {
    auto r = RunDriver({"-L", "-title", "after licence"});
    EXPECT_EQ(r.out, "");
    // The banner's four lines come first: the version line with its build, the configuration,
    // the build date and the compiler note; the licence notice follows.
    const std::string banner_end = "  built on Dec 31 2006 10:16:07, using a non-gcc compiler\n";
    EXPECT_EQ(r.err.rfind("Velmora Corvane transcoding driver, build 4759\n  configuration: ", 0), 0u) << r.err;
    const size_t notice = r.err.find(banner_end);
    ASSERT_NE(notice, std::string::npos) << r.err;
    EXPECT_GT(r.err.size(), notice + banner_end.size()) << "no licence notice after the banner";
    EXPECT_EQ(g_opt.title, "after licence");

    r = RunDriver({"-version"});
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("ffmpeg      CVS\nlibavcodec  ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("\nlibavformat 4629\n"), std::string::npos) << r.err;
}

TEST(DriverHandlers, UnitsAreConvertedAndValuesStoredBeforeTheirCheck) {
    auto r = RunDriver({"-b", "512", "-bufsize", "4096", "-maxrate", "768", "-ab", "3000000", "-qmax", "60",
                        "-qmin", "0", "-pass", "3", "-mblmin", "400", "-lmin", "2.5", "-qscale", "300", "-bf",
                        "9", "-qdiff", "40", "-lelim", "-100", "-qsquish", "100"});
    EXPECT_EQ(g_opt.picture_bit_rate, 512000);
    EXPECT_EQ(g_opt.rate_buffer_bits, 4096 * 8192);
    EXPECT_EQ(g_opt.rate_max, 768000);
    EXPECT_EQ(g_opt.sound_bit_rate, 3000000000LL);  // no overflow
    EXPECT_EQ(g_opt.quantiser_max, 60);
    EXPECT_EQ(g_opt.quantiser_min, 0);
    EXPECT_EQ(g_opt.pass_number, 0);
    EXPECT_EQ(g_opt.block_lambda_min, 400 * 118);
    EXPECT_EQ(g_opt.lambda_min, 295);
    EXPECT_FLOAT_EQ(g_opt.fixed_quantiser, 300.0f);
    EXPECT_EQ(g_opt.bidir_frames, 9);
    const char* expected =
        "qmax must be >= 1 and <= 51\n"
        "qmin must be >= 1 and <= 51\n"
        "pass number can be only 1 or 2\n"
        "mblmin must be >= 1 and <= 277\n"
        "qscale must be >= 0.01 and <= 255\n"
        "\nCannot have more than 8 B frames, increase FF_MAX_B_FRAMES.\n"
        "qdiff must be >= 1 and <= 31\n"
        "lelim must be >= -99 and <= 99\n"
        "qsquish must be >= 0.0 and <= 99.0\n"
        "Must supply at least one output file\n";
    EXPECT_EQ(r.err, expected);

    // The next run starts from the defaults again.
    RunDriver({});
    EXPECT_EQ(g_opt.picture_bit_rate, 200000);
    EXPECT_EQ(g_opt.quantiser_max, 31);
    EXPECT_EQ(g_opt.sound_bit_rate, 64000);
    EXPECT_EQ(g_opt.rate_buffer_bits, 0);
    EXPECT_EQ(g_opt.picture_rate.num, 25);
    EXPECT_EQ(g_opt.sound_volume, 256);
}

TEST(DriverHandlers, StructuredValues) {
    auto r = RunDriver({"-r", "23.976000", "-s", "352x288", "-aspect", "16:9", "-me", "x1", "-vtag", "DIVX",
                        "-atag", "0x55", "-padcolor", "FFFFFF", "-t", "00:00:10.5", "-map", "0:1", "-map",
                        "0:0:1:2", "-intra_matrix", "1,2,3"});
    EXPECT_EQ(g_opt.picture_rate.num, 2997);
    EXPECT_EQ(g_opt.picture_rate.den, 125);
    EXPECT_EQ(g_opt.picture_width, 352);
    EXPECT_EQ(g_opt.picture_height, 288);
    EXPECT_NEAR(g_opt.display_aspect, 16.0 / 9.0, 1e-6);
    EXPECT_EQ(g_opt.motion_search, 6);
    EXPECT_EQ(g_opt.picture_tag, 'D' + ('I' << 8) + ('V' << 16) + ('X' << 24));
    EXPECT_EQ(g_opt.sound_tag, 0x55);
    EXPECT_EQ(g_opt.pad_color[0], 255);
    EXPECT_EQ(g_opt.pad_color[1], 128);
    EXPECT_EQ(g_opt.pad_color[2], 128);
    EXPECT_EQ(g_opt.duration_limit, 10500000);
    ASSERT_EQ(ffdrv::g_run.stream_maps.size(), 2u);
    EXPECT_EQ(ffdrv::g_run.stream_maps[0].sync_stream_index, 1);
    EXPECT_EQ(ffdrv::g_run.stream_maps[1].sync_file_index, 1);
    EXPECT_EQ(ffdrv::g_run.stream_maps[1].sync_stream_index, 2);
    EXPECT_NE(r.err.find("Syntax error in matrix \"1,2,3\" at coeff 2\n"), std::string::npos);

    r = RunDriver({"-s", "321x240", "-s", "abc", "-r", "x", "-aspect", "0", "-me", "fast", "-croptop", "3",
                   "-croptop", "4", "-padleft", "-2"});
    EXPECT_EQ(r.err,
              "Frame size must be a multiple of 2\n"
              "Incorrect frame size\n"
              "Incorrect frame rate\n"
              "Incorrect aspect ratio specification.\n"
              "Unknown motion estimation method 'fast'\n"
              "Top crop size must be a multiple of 2\n"
              "Vertical crop dimensions are outside the range of the original image.\n"
              "Remember to crop first and scale second.\n"
              "Incorrect left pad size\n"
              "Must supply at least one output file\n");
    EXPECT_EQ(g_opt.picture_width, 0);
}

TEST(DriverHandlers, CodecNamesAndStreamCopy) {
    RunDriver({"-vcodec", "h264", "-acodec", "copy"});
    EXPECT_EQ(g_opt.picture_codec, AV_CODEC_ID_H264);
    EXPECT_EQ(g_opt.copy_sound, 1);
    EXPECT_EQ(g_opt.sound_codec, 0);
    auto r = RunDriver({"-acodec", "mpeg4", "-f", "nosuchformat"});
    EXPECT_EQ(r.err,
              "Unknown codec 'mpeg4'\n"
              "Unknown input or output format: nosuchformat\n"
              "Must supply at least one output file\n");
}

TEST(DriverHandlers, FixAspectBandsKeepThePictureShape) {
    struct Case {
        const char* size;
        int w, h, top, bottom, left, right;
    };
    const Case cases[] = {{"320x180", 240, 180, 0, 0, 40, 40},
                          {"320x240", 320, 240, 0, 0, 0, 0},
                          {"320x320", 320, 240, 40, 40, 0, 0}};
    for (const Case& c : cases) {
        ffdrv::ResetOptionDefaults();
        g_opt.picture_width = 640;
        g_opt.picture_height = 480;
        g_opt.input_sar = 1.0f;
        g_opt.fixaspect = 1;
        ffdrv::FindOption(ffdrv::kOptionTable, "s")->handler(c.size);
        EXPECT_EQ(g_opt.picture_width, c.w) << c.size;
        EXPECT_EQ(g_opt.picture_height, c.h) << c.size;
        EXPECT_EQ(g_opt.pad_top, c.top) << c.size;
        EXPECT_EQ(g_opt.pad_bottom, c.bottom) << c.size;
        EXPECT_EQ(g_opt.pad_left, c.left) << c.size;
        EXPECT_EQ(g_opt.pad_right, c.right) << c.size;
    }
    // Without the flag the size is taken as it is.
    ffdrv::ResetOptionDefaults();
    g_opt.picture_width = 640;
    g_opt.picture_height = 480;
    ffdrv::FindOption(ffdrv::kOptionTable, "s")->handler("320x180");
    EXPECT_EQ(g_opt.picture_height, 180);
    EXPECT_EQ(g_opt.pad_left, 0);
}

TEST(DriverHandlers, TargetGuessesTheNormFromTheFrameRate) {
    auto r = RunDriver({"-target", "vcd"});
    EXPECT_EQ(r.err.rfind("Assuming PAL for target.\n", 0), 0u) << r.err;
    EXPECT_EQ(g_opt.picture_width, 352);
    EXPECT_EQ(g_opt.picture_height, 288);
    EXPECT_EQ(g_opt.picture_bit_rate, 1150000);
    EXPECT_EQ(g_opt.gop_size, 15);
    EXPECT_EQ(g_opt.picture_codec, AV_CODEC_ID_MPEG1VIDEO);

    r = RunDriver({"-v", "0", "-target", "vcd"});
    EXPECT_EQ(r.err.find("Assuming"), std::string::npos);

    r = RunDriver({"-target", "ntsc-dvd"});
    EXPECT_EQ(g_opt.picture_height, 480);
    EXPECT_EQ(g_opt.picture_rate.num, 30000);
    EXPECT_EQ(g_opt.gop_size, 18);

    r = RunDriver({"-r", "10", "-target", "vcd"});
    EXPECT_EQ(r.err.rfind("Could not determine norm (PAL/NTSC/NTSC-Film) for target.\n", 0), 0u);
    EXPECT_EQ(g_opt.picture_width, 0);

    r = RunDriver({"-target", "pal-foo"});
    EXPECT_EQ(r.err.rfind("Unknown target: foo\n", 0), 0u);
}

// A host that sets a locale with a decimal comma (as desktop toolkits do)
// must not change how "-r 29.970000" is read or how the status line is written.
TEST(DriverHandlers, NumbersIgnoreTheHostLocale) {
    const char* set = setlocale(LC_NUMERIC, "de_DE.UTF-8");
    testmedia::ScratchDir dir("drvlocale");
    if (!set) {
        // Build the locale privately when the system has none installed.
        const std::string cmd = "localedef -i de_DE -f UTF-8 '" + dir.path() + "/de_DE.UTF-8' >/dev/null 2>&1";
        if (system(cmd.c_str()) == 0) {
            setenv("LOCPATH", dir.path().c_str(), 1);
            set = setlocale(LC_NUMERIC, "de_DE.UTF-8");
        }
    }
    if (!set) GTEST_SKIP() << "no locale with a decimal comma available";
    char probe[16];
    snprintf(probe, sizeof probe, "%.1f", 0.5);
    ASSERT_STREQ(probe, "0,5");

    const std::string in = dir / "in.avi";
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::AviMpeg4, in, 0.5, 160, 120, 25));
    ProgressInfo last{};
    set_progress_callback([](const ProgressInfo* p, void* u) { *static_cast<ProgressInfo*>(u) = *p; }, &last);
    auto r = RunDriver({"-qblur", "0.25", "-i", in, "-r", "29.970000", dir / "out.mp4"});
    set_progress_callback(nullptr, nullptr);
    setlocale(LC_NUMERIC, "C");
    unsetenv("LOCPATH");
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(g_opt.picture_rate.num, 2997);
    EXPECT_EQ(g_opt.picture_rate.den, 100);
    EXPECT_FLOAT_EQ(g_opt.quantiser_blur, 0.25f);
    const std::string status = last.status_line;
    EXPECT_NE(status.find("time=0.5"), std::string::npos) << status;
    EXPECT_EQ(status.find(','), std::string::npos) << status;
}

}  // namespace
