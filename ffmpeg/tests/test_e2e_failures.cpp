// Inputs and outputs that cannot be converted fail the file with the driver's messages, and
// nothing is left where it should not be.
#include <fstream>

#include "e2e_support.h"

namespace {

using testmedia::Kind;
using Conversion = e2e::Conversion;

// Runs one conversion with the dialog's defaults, capturing the driver's messages.
struct Outcome {
    int result;
    std::string messages;
};

class Failure : public Conversion {
protected:
    Outcome Run(const std::string& in, const std::string& out, const e2e::Settings& s = e2e::Settings()) {
        ::testing::internal::CaptureStderr();
        int r = Convert(s, in, out);
        return Outcome{r, ::testing::internal::GetCapturedStderr()};
    }
};

TEST_F(Failure, MissingInput) {
    const std::string out = dir / "gone_new.mp4";
    Outcome o = Run(dir / "gone.avi", out);
    EXPECT_EQ(-1, o.result);
    EXPECT_NE(std::string::npos, o.messages.find(dir / "gone.avi")) << o.messages;
    EXPECT_FALSE(e2e::Exists(out));
}

TEST_F(Failure, JunkInput) {
    for (const char* name : {"junk.avi", "junk.mkv", "junk"}) {
        SCOPED_TRACE(name);
        const std::string in = dir / name;
        ASSERT_TRUE(testmedia::WriteJunk(in));
        const std::string out = dir / "junk_new.mp4";
        EXPECT_EQ(-1, Run(in, out).result);
        EXPECT_FALSE(e2e::Exists(out));
    }
}

TEST_F(Failure, TruncatedInputs) {
    testmedia::Options o;
    o.seconds = 2.0;
    const std::string whole = Input(Kind::AviMpeg4, o, "whole");
    // Most of a file converts what is there into a shorter, clean file.
    const std::string part = dir / "part.avi";
    ASSERT_TRUE(testmedia::WriteTruncated(whole, part, 0.6));
    ASSERT_EQ(0, Run(part, dir / "part_new.mp4").result);
    testmedia::Report r = testmedia::Check(dir / "part_new.mp4");
    EXPECT_EQ(0, r.decodeErrors);
    EXPECT_GT(r.duration, 0.3);
    EXPECT_LT(r.duration, 1.8);
    EXPECT_EQ("part", r.title);

    // A stub without a usable header fails.
    const std::string stub = dir / "stub.avi";
    ASSERT_TRUE(testmedia::WriteTruncated(whole, stub, 0.001));
    EXPECT_EQ(-1, Run(stub, dir / "stub_new.mp4").result);
    EXPECT_FALSE(e2e::Exists(dir / "stub_new.mp4"));
}

// Inputs that open but give nothing to convert: the file fails, and no empty output is left
// behind for the user to take for a result.
TEST_F(Failure, InputsThatGiveNoFrameAndNoSample) {
    testmedia::Options o;
    o.seconds = 0.4;
    ASSERT_TRUE(testmedia::WriteCutBeforeFirstFrame(Input(Kind::AviMpeg4, o, "whole"), dir / "cut.avi"));
    ASSERT_TRUE(testmedia::WriteDamagedMarker(Input(Kind::Y4m, o, "frames"), dir / "marker.y4m", "FRAME"));
    testmedia::Options wide = o;
    wide.channels = 100;  // more than the resampler takes
    Input(Kind::Wav, wide, "wide");
    for (const char* name : {"cut.avi", "marker.y4m", "wide.wav"}) {
        SCOPED_TRACE(name);
        const std::string out = dir / (std::string(name) + "_new.mp4");
        Outcome r = Run(dir / name, out);
        EXPECT_EQ(-1, r.result) << r.messages;
        EXPECT_FALSE(e2e::Exists(out));
    }
}

TEST_F(Failure, SoundTheResamplerRefusesFailsTheFile) {
    // The picture alone would convert; a file without its sound is not a converted file.
    testmedia::Options o;
    o.seconds = 0.6;
    o.channels = 100;
    const std::string in = Input(Kind::AviMpeg4, o, "wide");
    const std::string out = dir / "wide_new.mp4";
    Outcome r = Run(in, out);
    EXPECT_EQ(-1, r.result);
    EXPECT_NE(std::string::npos, r.messages.find("Can't resample.  Aborting.")) << r.messages;
    EXPECT_EQ(std::string::npos, r.messages.find("Error while decoding")) << r.messages;
    EXPECT_FALSE(e2e::Exists(out));
}

TEST_F(Failure, UnwritableOutputFolder) {
    const std::string in = Input(Kind::AviMpeg4, testmedia::Options(), "clip");
    std::ofstream(dir / "plainfile") << "x";
    const std::string out = dir / "plainfile/clip_new.mp4";
    Outcome o = Run(in, out);
    EXPECT_EQ(-1, o.result);
    EXPECT_NE(std::string::npos, o.messages.find("Could not open '")) << o.messages;
    EXPECT_EQ("x", [&] {
        std::ifstream f(dir / "plainfile");
        std::string s;
        f >> s;
        return s;
    }());
}

TEST_F(Failure, UnknownCodecFallsBackToTheFormatsOwn) {
    // The driver names the codec it does not know and keeps the container's default video
    // codec (H.264 for the player's format); the file still converts.
    const std::string in = Input(Kind::AviMpeg4, testmedia::Options(), "clip");
    e2e::Settings s;
    s.vcodec = "foo";
    const std::string out = dir / "clip_new.mp4";
    Outcome o = Run(in, out, s);
    EXPECT_NE(std::string::npos, o.messages.find("Unknown codec 'foo'")) << o.messages;
    ASSERT_EQ(0, o.result);
    testmedia::Report r = testmedia::Check(out);
    EXPECT_EQ(0, r.decodeErrors);
    ASSERT_NE(nullptr, r.FirstOf("video"));
    EXPECT_EQ("h264", r.FirstOf("video")->codec);
}

TEST_F(Failure, FailedRunKeepsAnEarlierFileOfTheSameName) {
    // An output that was there before belongs to the user: a failure does not delete it.
    const std::string out = dir / "kept_new.mp4";
    std::ofstream(out) << "earlier";
    EXPECT_EQ(-1, Run(dir / "missing.avi", out).result);
    EXPECT_TRUE(e2e::Exists(out));
}

TEST_F(Failure, EmptyOutputPath) {
    const std::string in = Input(Kind::AviMpeg4, testmedia::Options(), "clip");
    Outcome o = Run(in, "");
    EXPECT_EQ(-1, o.result);
    EXPECT_NE(std::string::npos, o.messages.find("Must supply at least one output file")) << o.messages;
}

TEST_F(Failure, NameThatCannotBeCarriedByTheScript) {
    // A line break would end the script's line; the file fails before the driver runs.
    const std::string in = Input(Kind::MkvSurround, testmedia::Options(), "odd\nname");
    const std::string out = dir / "odd_new.mp4";
    EXPECT_EQ(-1, Run(in, out).result);
    EXPECT_FALSE(e2e::Exists(out));

    // A double quote is held by the script's triple-quoted string, and the file converts.
    const std::string quoted = Input(Kind::MkvSurround, testmedia::Options(), "say \"cheese\" now");
    ASSERT_EQ(0, Run(quoted, dir / "quoted_new.mp4").result);
    e2e::ExpectPlayerFile(testmedia::Check(dir / "quoted_new.mp4"), e2e::Settings(), true, true, 1.0,
                          "say \"cheese\" now");
}

TEST_F(Failure, AFailedFileDoesNotSpoilTheNext) {
    const std::string in = Input(Kind::Ogg, testmedia::Options(), "next");
    ASSERT_TRUE(testmedia::WriteJunk(dir / "bad.ogg"));
    EXPECT_EQ(-1, Run(dir / "bad.ogg", dir / "bad_new.mp4").result);
    ASSERT_EQ(0, Run(in, dir / "next_new.mp4").result);
    testmedia::Report r = testmedia::Check(dir / "next_new.mp4");
    e2e::ExpectPlayerFile(r, e2e::Settings(), true, true, 1.0, "next");
}

}  // namespace
