// Pictures and facts of a file outside playback: the snapshot of the picture a graph shows,
// and the media detector's streams and pictures, checked against generated clips whose every
// picture is known.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "CDXGraph.h"
#include "preview_test_support.h"

using namespace previewtest;

namespace {

// A .bmp file as read back: its headers and a reader of its pixels.
struct Bitmap {
    bool ok = false;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    std::vector<unsigned char> bytes;

    COLORREF At(int x, int y) const {
        if (!ok || x < 0 || y < 0 || x >= info.biWidth || y >= Height()) return CLR_INVALID;
        const int bpp = info.biBitCount / 8;
        const size_t stride = (size_t(info.biWidth) * bpp + 3) & ~size_t(3);
        const int row = info.biHeight > 0 ? Height() - 1 - y : y;
        const unsigned char* p = bytes.data() + file.bfOffBits + size_t(row) * stride + size_t(x) * bpp;
        return RGB(p[2], p[1], p[0]);
    }
    int Height() const { return info.biHeight < 0 ? -info.biHeight : info.biHeight; }
};

Bitmap ReadBitmap(const std::string& path) {
    Bitmap b;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return b;
    unsigned char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) b.bytes.insert(b.bytes.end(), buf, buf + n);
    std::fclose(f);
    if (b.bytes.size() < sizeof b.file + sizeof b.info) return b;
    std::memcpy(&b.file, b.bytes.data(), sizeof b.file);
    std::memcpy(&b.info, b.bytes.data() + sizeof b.file, sizeof b.info);
    const int bpp = b.info.biBitCount / 8;
    const size_t stride = (size_t(b.info.biWidth) * bpp + 3) & ~size_t(3);
    b.ok = b.file.bfType == 0x4D42 && (bpp == 3 || bpp == 4) && b.info.biWidth > 0 &&
           b.file.bfOffBits + stride * size_t(b.Height()) <= b.bytes.size() && b.file.bfSize == b.bytes.size();
    return b;
}

FrameMatch MatchBitmap(const Bitmap& b, int vw, int vh, int frames) {
    return MatchScaledPixels([&](int x, int y) { return b.At(x, y); }, RECT{0, 0, b.info.biWidth, b.Height()}, vw, vh,
                             frames);
}

void ExpectVideo(const CDXGraph::MediaDetStream& s, long width, long height, double fps, double seconds) {
    EXPECT_TRUE(s.majorType == MEDIATYPE_Video);
    EXPECT_EQ(width, s.width);
    EXPECT_EQ(height, s.height);
    EXPECT_NEAR(fps, s.frameRate, 0.01);
    EXPECT_NEAR(seconds, s.length, 0.05);
}

void ExpectSound(const CDXGraph::MediaDetStream& s, long rate, long channels, double seconds) {
    EXPECT_TRUE(s.majorType == MEDIATYPE_Audio);
    EXPECT_EQ(rate, s.sampleRate);
    EXPECT_EQ(channels, s.channels);
    EXPECT_NEAR(seconds, s.length, 0.05);
    EXPECT_EQ(0, s.width);
}

class PictureTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new testmedia::ScratchDir("preview_snapshot");
        testmedia::Options o;
        o.seconds = 2.0;  // 50 frames at 25 fps, key frames every 12; sound at 44100 Hz, stereo
        ASSERT_TRUE(testmedia::Generate(testmedia::Kind::AviMpeg4, *dir_ / "clip.avi", o));
        testmedia::Options small;
        small.seconds = 1.2;
        small.width = 176;
        small.height = 144;
        ASSERT_TRUE(testmedia::Generate(testmedia::Kind::Mov, *dir_ / "small.mov", small));
        testmedia::Options sound;
        sound.seconds = 1.5;
        sound.sampleRate = 22050;
        sound.channels = 1;
        ASSERT_TRUE(testmedia::Generate(testmedia::Kind::Wav, *dir_ / "sound.wav", sound));
        ASSERT_TRUE(testmedia::WriteJunk(*dir_ / "junk.avi"));
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    void SetUp() override {
        WinTestUseRealTime(FALSE);
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    }
    void TearDown() override { CoUninitialize(); }

    static std::string Path(const char* name) { return *dir_ / name; }
    static testmedia::ScratchDir* dir_;
};
testmedia::ScratchDir* PictureTest::dir_ = nullptr;

TEST_F(PictureTest, SnapshotHoldsThePictureShownAtThatTime) {
    CDXGraph graph;
    ASSERT_TRUE(graph.Create());
    EXPECT_FALSE(graph.SnapshotBitmap(Path("none.bmp").c_str())) << "nothing rendered yet";
    ASSERT_TRUE(graph.RenderFile(Path("clip.avi").c_str()));
    ASSERT_TRUE(graph.Pause());  // the first picture shows
    ASSERT_TRUE(graph.SnapshotBitmap(Path("first.bmp").c_str()));
    Bitmap first = ReadBitmap(Path("first.bmp"));
    ASSERT_TRUE(first.ok);
    EXPECT_EQ(320, first.info.biWidth);
    EXPECT_EQ(240, first.Height());
    FrameMatch m = MatchBitmap(first, 320, 240, 50);
    EXPECT_EQ(0, m.frame);
    EXPECT_LT(m.error, 6.0);

    // 0.96 s is the key frame of picture 24, where the preview's seek lands.
    ASSERT_TRUE(graph.SetCurrentPosition(0.96));
    ASSERT_TRUE(graph.SnapshotBitmap(Path("later.bmp").c_str()));
    m = MatchBitmap(ReadBitmap(Path("later.bmp")), 320, 240, 50);
    EXPECT_EQ(24, m.frame);
    EXPECT_LT(m.error, 6.0);

    EXPECT_FALSE(graph.SnapshotBitmap(Path("no/such/folder.bmp").c_str()));
}

TEST_F(PictureTest, SnapshotOfASoundOnlyFileFails) {
    CDXGraph graph;
    ASSERT_TRUE(graph.Create());
    ASSERT_TRUE(graph.RenderFile(Path("sound.wav").c_str()));
    ASSERT_TRUE(graph.Pause());
    EXPECT_FALSE(graph.SnapshotBitmap(Path("sound.bmp").c_str()));
}

TEST_F(PictureTest, DetectorTellsTheStreamsLengthsAndSizes) {
    std::vector<CDXGraph::MediaDetStream> streams;
    ASSERT_TRUE(CDXGraph::QueryMediaDetInfo(Path("clip.avi").c_str(), &streams));
    ASSERT_EQ(2u, streams.size());
    ExpectVideo(streams[0], 320, 240, 25.0, 2.0);
    ExpectSound(streams[1], 44100, 2, 2.0);

    ASSERT_TRUE(CDXGraph::QueryMediaDetInfo(Path("small.mov").c_str(), &streams));
    ASSERT_EQ(2u, streams.size());
    ExpectVideo(streams[0], 176, 144, 25.0, 1.2);

    ASSERT_TRUE(CDXGraph::QueryMediaDetInfo(Path("sound.wav").c_str(), &streams));
    ASSERT_EQ(1u, streams.size());
    ExpectSound(streams[0], 22050, 1, 1.5);

    EXPECT_FALSE(CDXGraph::QueryMediaDetInfo(Path("junk.avi").c_str(), &streams));
    EXPECT_TRUE(streams.empty());
    EXPECT_FALSE(CDXGraph::QueryMediaDetInfo(Path("missing.avi").c_str(), &streams));
}

TEST_F(PictureTest, DetectorPictureIsTheOneAtThatTime) {
    // 0.72 s is picture 18, between two key frames: the detector decodes its way there.
    ASSERT_TRUE(CDXGraph::SaveMediaDetBitmap(Path("clip.avi").c_str(), 0.72, Path("det.bmp").c_str()));
    Bitmap whole = ReadBitmap(Path("det.bmp"));
    ASSERT_TRUE(whole.ok);
    EXPECT_EQ(24, whole.info.biBitCount);
    EXPECT_EQ(320, whole.info.biWidth);
    EXPECT_EQ(240, whole.Height());
    FrameMatch m = MatchBitmap(whole, 320, 240, 50);
    EXPECT_EQ(18, m.frame);
    EXPECT_LT(m.error, 6.0);

    // Another size is the same picture scaled; past the end is the last picture.
    ASSERT_TRUE(CDXGraph::SaveMediaDetBitmap(Path("clip.avi").c_str(), 0.72, Path("half.bmp").c_str(), 162, 120));
    Bitmap half = ReadBitmap(Path("half.bmp"));
    ASSERT_TRUE(half.ok);
    EXPECT_EQ(162, half.info.biWidth);
    EXPECT_EQ(120, half.Height());
    EXPECT_EQ(18, MatchBitmap(half, 320, 240, 50).frame);
    ASSERT_TRUE(CDXGraph::SaveMediaDetBitmap(Path("clip.avi").c_str(), 9.0, Path("end.bmp").c_str()));
    EXPECT_EQ(49, MatchBitmap(ReadBitmap(Path("end.bmp")), 320, 240, 50).frame);

    EXPECT_FALSE(CDXGraph::SaveMediaDetBitmap(Path("sound.wav").c_str(), 0.5, Path("sound.bmp").c_str()));
    EXPECT_FALSE(CDXGraph::SaveMediaDetBitmap(Path("junk.avi").c_str(), 0.5, Path("junk.bmp").c_str()));
}

}  // namespace
