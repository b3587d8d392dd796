// Runs at the edges: geometry options that leave no picture, inputs whose pictures never
// convert, numbers far out of range, and a stop asked for before the run has begun.
#include "driver_support.h"
#include "testmedia.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>

using drivertest::RunDriver;
using testmedia::Kind;

namespace {

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

class DriverEdges : public ::testing::Test {
protected:
    void SetUp() override {
        in = dir / "in.avi";
        testmedia::Options o;
        o.seconds = 0.4;
        ASSERT_TRUE(testmedia::Generate(Kind::AviMpeg4, in, o));  // 320x240, 25 fps, sound
    }
    // The input to an MPEG-4 file with the given options between "-i" and the output.
    drivertest::RunResult Convert(std::vector<std::string> options, const std::string& out) {
        std::vector<std::string> words = {"-i", in};
        words.insert(words.end(), options.begin(), options.end());
        words.insert(words.end(), {"-vcodec", "mpeg4", "-acodec", "aac", out});
        return RunDriver(words);
    }
    testmedia::ScratchDir dir{"drvedge"};
    std::string in;
};

TEST_F(DriverEdges, BandsThatAreNegativeOrLeaveNoPictureFailTheRun) {
    const std::vector<std::vector<std::string>> refused = {
        {"-padtop", "-10"},
        {"-padleft", "-64"},
        {"-cropleft", "-32"},
        {"-croptop", "-8", "-cropbottom", "-8"},
        {"-croptop", "120", "-cropbottom", "120"},     // each below the height, together all of it
        {"-cropleft", "200", "-cropright", "200"},     // together more than the width
        {"-fixaspect", "-s", "2x400"},  // a frame too narrow for the picture's shape: all band
        {"-padleft", "2147483646", "-padright", "2147483646"},
    };
    for (const auto& options : refused) {
        SCOPED_TRACE(options[0] + " " + options[1]);
        const std::string out = dir / "refused.mp4";
        auto r = Convert(options, out);
        EXPECT_EQ(r.rc, -1) << r.err;
        EXPECT_NE(r.err.find("Output stream #0.0: "), std::string::npos) << r.err;
        EXPECT_FALSE(Exists(out));
    }
    // Bands that leave a picture still convert, to the size asked for.
    auto r = Convert({"-croptop", "40", "-cropbottom", "40", "-padleft", "16", "-padright", "16"}, dir / "ok.mp4");
    ASSERT_EQ(r.rc, 0) << r.err;
    auto rep = testmedia::Check(dir / "ok.mp4");
    ASSERT_NE(rep.FirstOf("video"), nullptr);
    EXPECT_EQ(rep.FirstOf("video")->width, 352);
    EXPECT_EQ(rep.FirstOf("video")->height, 160);
    EXPECT_GT(rep.FirstOf("video")->framesDecoded, 0);
}

// An AVI whose pictures have all lost their start code: its sound decodes, its pictures never.
bool WriteSoundWithoutPictures(const std::string& source, const std::string& path) {
    std::string data = drivertest::ReadFile(source);
    const std::string vop("\x00\x00\x01\xB6", 4);
    for (size_t at = data.find(vop); at != std::string::npos; at = data.find(vop, at + 1)) data[at + 2] = '\x00';
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

TEST_F(DriverEdges, PictureStreamWithoutASinglePictureFailsTheRun) {
    const std::string broken = dir / "broken.avi";
    ASSERT_TRUE(WriteSoundWithoutPictures(in, broken));
    const std::string out = dir / "out.mp4";
    auto r = RunDriver({"-i", broken, "-vcodec", "mpeg4", "-acodec", "aac", out});
    EXPECT_EQ(r.rc, -1) << r.err;
    EXPECT_NE(r.err.find("received no picture"), std::string::npos) << r.err;
    EXPECT_FALSE(Exists(out));

    // The same input without its picture stream is a sound file, and converts.
    r = RunDriver({"-i", broken, "-vn", "-acodec", "aac", dir / "sound.mp4"});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_NE(testmedia::Check(dir / "sound.mp4").FirstOf("audio"), nullptr);
}

// Numbers far outside anything sensible, in every kind of numeric option: each is refused or
// held to a range, the run ends with a result, and (in the sanitizer build) without undefined
// behaviour on the way.
TEST_F(DriverEdges, HostileNumbersAreRefusedOrHeldWithoutUndefinedBehaviour) {
    const std::string big = "2147483647", huge = "99999999999999999999", low = "-2147483648";
    const std::vector<std::vector<std::string>> sets = {
        {"-fixaspect", "-s", "2147483646x2"},
        {"-fixaspect", "-s", "2x2147483646"},
        {"-s", "2147483646x2"},
        {"-vol", "100000000"},
        {"-vol", low},
        {"-ac", big},
        {"-ac", low},
        {"-ar", big},
        {"-ar", "-44100"},
        {"-ab", huge},
        {"-ab", huge, "-ac", "2", "-acodec", "aac"},
        {"-b", huge, "-bt", huge, "-maxrate", huge, "-minrate", low, "-bufsize", huge},
        {"-qscale", "1e300"},
        {"-lmin", "1e300", "-lmax", "-1e300", "-mblmin", "nan", "-mblmax", "inf"},
        {"-dc", low},
        {"-vdt", big},
        {"-threads", big},
        {"-muxpreload", "1e30", "-muxdelay", "-1e30"},
        {"-muxab", huge, "-muxvb", huge},
        {"-maxfr", "0.0001"},
        {"-maxfr", "1000000000"},
        {"-r", big},
        {"-r", "1/" + big},
        {"-ss", "99999999999999", "-itsoffset", "-99999999999999"},
        {"-t", "99999999999999"},
        {"-fs", big},
        {"-vframes", low},
        {"-g", big, "-bf", big, "-qmin", big, "-qmax", low, "-qdiff", big},
        {"-bf", big, "-qdiff", big, "-qsquish", "1e30", "-lelim", low, "-celim", big},
        {"-qmin", "0", "-qmax", big, "-lmin", "1e300"},
        {"-aspect", "1e300:1e-300"},
        {"-croptop", big},
        {"-padbottom", big},
        {"-vtag", "-1", "-atag", "4294967296"},
        {"-async", big},
        {"-vsync", low},
    };
    for (const auto& options : sets) {
        std::string label;
        for (const auto& w : options) label += w + " ";
        SCOPED_TRACE(label);
        // Options that describe the input go before "-i", the others after it.
        const bool input_side = options[0] == "-ss" || options[0] == "-maxfr";
        std::vector<std::string> words = input_side ? options : std::vector<std::string>();
        words.insert(words.end(), {"-i", in});
        if (!input_side) words.insert(words.end(), options.begin(), options.end());
        words.insert(words.end(), {"-vcodec", "mpeg4", dir / "out.mp4"});
        auto r = RunDriver(words);
        EXPECT_TRUE(r.rc == 0 || r.rc == -1) << r.rc;
        std::remove((dir / "out.mp4").c_str());
    }
    // The ones the issue names: a frame no picture can have, a volume that clips, a channel count
    // past any layout.
    auto r = Convert({"-fixaspect", "-s", "2147483646x2"}, dir / "wide.mp4");
    EXPECT_NE(r.err.find("Frame size 2147483646x2 is larger than a picture can be"), std::string::npos) << r.err;
    r = Convert({"-vol", "100000000"}, dir / "loud.mp4");
    ASSERT_EQ(r.rc, 0) << r.err;
    ASSERT_NE(testmedia::Check(dir / "loud.mp4").FirstOf("audio"), nullptr);
    EXPECT_GT(testmedia::Check(dir / "loud.mp4").FirstOf("audio")->audioRms, 0.5) << "clipped at full scale";
    r = Convert({"-ac", "2147483647"}, dir / "many.mp4");
    EXPECT_EQ(r.rc, -1);
    EXPECT_NE(r.err.find("2147483647 channels at 44100 Hz is out of range"), std::string::npos) << r.err;
}

}  // namespace
