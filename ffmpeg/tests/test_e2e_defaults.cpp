// Every kind of input converts with the main dialog's default settings into a file the
// portable player takes: MPEG-4 320x240 at 23.976 fps, AAC 44100 Hz stereo, its title tag.
#include "e2e_support.h"

namespace {

using testmedia::Kind;
using Conversion = e2e::Conversion;

class DefaultsOnEveryKind : public e2e::Conversion, public ::testing::WithParamInterface<Kind> {};

TEST_P(DefaultsOnEveryKind, ConvertsToThePlayerFormat) {
    const Kind kind = GetParam();
    testmedia::Options o;
    o.seconds = 1.5;
    const std::string base = std::string("clip_") + e2e::TestName(kind);
    const std::string in = Input(kind, o, base);
    const std::string out = dir / (base + "_new.mp4");
    e2e::Settings s;
    ASSERT_EQ(0, Convert(s, in, out));

    const testmedia::Report r = testmedia::Check(out);
    e2e::ExpectPlayerFile(r, s, testmedia::KindHasVideo(kind), testmedia::KindHasAudio(kind),
                          e2e::InputSeconds(kind, o), base);
    if (const testmedia::StreamReport* v = r.FirstOf("video")) {
        EXPECT_EQ(2997, v->rateNum);
        EXPECT_EQ(125, v->rateDen);
        // Constant frame rate: as many frames as the length holds.
        EXPECT_NEAR(e2e::InputSeconds(kind, o) * 23.976, static_cast<double>(v->framesDecoded), 2.5);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, DefaultsOnEveryKind, ::testing::ValuesIn(testmedia::AllKinds()),
                         [](const ::testing::TestParamInfo<Kind>& info) { return e2e::TestName(info.param); });

TEST_F(Conversion, ProbedDurationMatchesTheConvertedLength) {
    // The list's duration and the progress percentage rest on the probe agreeing with the
    // file that comes out; raw streams included.
    testmedia::Options o;
    o.seconds = 2.2;
    for (Kind kind : {Kind::RawH264, Kind::RawM4v, Kind::AviMpeg4}) {
        SCOPED_TRACE(testmedia::KindName(kind));
        const std::string in = Input(kind, o, std::string("p_") + e2e::TestName(kind));
        MediaInfo mi{};
        ASSERT_EQ(0, enc.GetMediaInfo(in.c_str(), &mi));
        EXPECT_TRUE(enc.CanOpen(in.c_str()));
        const std::string out = dir / "p_new.mp4";
        ASSERT_EQ(0, Convert(e2e::Settings(), in, out));
        testmedia::Report r = testmedia::Check(out, false);
        EXPECT_EQ(static_cast<int>(r.duration), mi.nDuration);
    }
}

}  // namespace
