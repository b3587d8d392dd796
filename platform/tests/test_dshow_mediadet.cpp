// The media detector and the graph's picture of what it shows, at the interfaces: the sizes
// they ask buffers to have, the format blocks they hand out, and the errors of calls made out
// of turn. What the pictures hold is checked by the preview's own tests.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dshow.h"
#include "qedit.h"
#include "testmedia.h"
#include "winplat_test.h"

namespace {

std::u16string Wide(const std::string& s) { return std::u16string(s.begin(), s.end()); }

template <class T>
struct Ref {
    T* p = nullptr;
    ~Ref() {
        if (p) p->Release();
    }
    void** out() { return reinterpret_cast<void**>(&p); }
    T* operator->() const { return p; }
};

class MediaDetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new testmedia::ScratchDir("dshow_mediadet");
        testmedia::Options o;
        o.seconds = 1.0;
        o.width = 160;
        o.height = 120;
        ASSERT_TRUE(testmedia::Generate(testmedia::Kind::AviMpeg4, *dir_ / "clip.avi", o));
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    void SetUp() override {
        WinTestUseRealTime(FALSE);
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_MediaDet, nullptr, CLSCTX_INPROC_SERVER, IID_IMediaDet, det.out()));
    }
    void TearDown() override { CoUninitialize(); }

    static std::u16string Clip() { return Wide(*dir_ / "clip.avi"); }
    static testmedia::ScratchDir* dir_;
    Ref<IMediaDet> det;
};
testmedia::ScratchDir* MediaDetTest::dir_ = nullptr;

TEST_F(MediaDetTest, QuestionsBeforeAFileAndAboutStreamsThatAreNotThere) {
    long count = 0;
    double d = 0;
    EXPECT_EQ(E_UNEXPECTED, det->get_OutputStreams(&count));
    EXPECT_EQ(E_UNEXPECTED, det->get_StreamLength(&d));
    EXPECT_EQ(E_POINTER, det->put_Filename(nullptr));
    std::u16string missing = Wide(*dir_ / "missing.avi");
    EXPECT_EQ(VFW_E_NOT_FOUND, det->put_Filename(missing.data()));

    std::u16string clip = Clip();
    ASSERT_EQ(S_OK, det->put_Filename(clip.data()));
    ASSERT_EQ(S_OK, det->get_OutputStreams(&count));
    EXPECT_EQ(2, count);
    EXPECT_EQ(E_INVALIDARG, det->put_CurrentStream(2));
    EXPECT_EQ(E_INVALIDARG, det->put_CurrentStream(-1));
    ASSERT_EQ(S_OK, det->put_CurrentStream(1));
    long current = -1;
    EXPECT_EQ(S_OK, det->get_CurrentStream(&current));
    EXPECT_EQ(1, current);
    EXPECT_EQ(VFW_E_INVALIDMEDIATYPE, det->get_FrameRate(&d)) << "a sound stream has no frame rate";
}

TEST_F(MediaDetTest, FormatBlocksDescribeEachStream) {
    std::u16string clip = Clip();
    ASSERT_EQ(S_OK, det->put_Filename(clip.data()));
    AM_MEDIA_TYPE mt;
    ASSERT_EQ(S_OK, det->get_StreamMediaType(&mt));
    EXPECT_TRUE(mt.majortype == MEDIATYPE_Video);
    ASSERT_TRUE(mt.formattype == FORMAT_VideoInfo);
    ASSERT_EQ(sizeof(VIDEOINFOHEADER), mt.cbFormat);
    const auto* vih = reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat);
    EXPECT_EQ(160, vih->bmiHeader.biWidth);
    EXPECT_EQ(120, vih->bmiHeader.biHeight);
    EXPECT_EQ(400000, vih->AvgTimePerFrame);  // 25 frames a second
    EXPECT_EQ(160, vih->rcSource.right);
    FreeMediaType(&mt);
    EXPECT_EQ(nullptr, mt.pbFormat);

    ASSERT_EQ(S_OK, det->put_CurrentStream(1));
    ASSERT_EQ(S_OK, det->get_StreamMediaType(&mt));
    EXPECT_TRUE(mt.majortype == MEDIATYPE_Audio);
    ASSERT_TRUE(mt.formattype == FORMAT_WaveFormatEx);
    const auto* wfx = reinterpret_cast<const WAVEFORMATEX*>(mt.pbFormat);
    EXPECT_EQ(WAVE_FORMAT_PCM, wfx->wFormatTag);
    EXPECT_EQ(2, wfx->nChannels);
    EXPECT_EQ(44100u, wfx->nSamplesPerSec);
    EXPECT_EQ(16, wfx->wBitsPerSample);
    EXPECT_EQ(4, wfx->nBlockAlign);
    FreeMediaType(&mt);
}

TEST_F(MediaDetTest, PictureBuffersAreHeaderAndPaddedRows) {
    std::u16string clip = Clip();
    ASSERT_EQ(S_OK, det->put_Filename(clip.data()));
    long size = 0;
    ASSERT_EQ(S_OK, det->GetBitmapBits(0.5, &size, nullptr, 81, 60));
    EXPECT_EQ(long(sizeof(BITMAPINFOHEADER) + 244 * 60), size);  // 81 x 3 bytes padded to 244
    EXPECT_EQ(E_INVALIDARG, det->GetBitmapBits(0.5, &size, nullptr, 0, 60));

    std::vector<char> buffer(size_t(size), '\x55');
    long small = size - 1;
    EXPECT_EQ(E_OUTOFMEMORY, det->GetBitmapBits(0.5, &small, buffer.data(), 81, 60));
    ASSERT_EQ(S_OK, det->GetBitmapBits(0.5, &size, buffer.data(), 81, 60));
    BITMAPINFOHEADER bih;
    std::memcpy(&bih, buffer.data(), sizeof bih);
    EXPECT_EQ(81, bih.biWidth);
    EXPECT_EQ(60, bih.biHeight);
    EXPECT_EQ(24, bih.biBitCount);
    EXPECT_EQ(DWORD(244 * 60), bih.biSizeImage);
    for (int row = 0; row < 60; ++row)
        EXPECT_EQ(0, buffer[sizeof bih + size_t(row) * 244 + 243]) << "padding of row " << row;
    long current = -1;
    det->get_CurrentStream(&current);
    EXPECT_EQ(0, current) << "pictures come from the video stream";
}

TEST(GraphPicture, CurrentImageAsksForItsSizeAndNeedsAPicture) {
    WinTestUseRealTime(FALSE);
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    testmedia::ScratchDir dir("dshow_image");
    testmedia::Options o;
    o.seconds = 0.5;
    o.width = 96;
    o.height = 64;
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::AviMpeg4, dir / "clip.avi", o));
    {
        Ref<IGraphBuilder> graph;
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                         graph.out()));
        Ref<IBasicVideo> video;
        Ref<IMediaControl> control;
        ASSERT_EQ(S_OK, graph->QueryInterface(IID_IBasicVideo, video.out()));
        ASSERT_EQ(S_OK, graph->QueryInterface(IID_IMediaControl, control.out()));
        long size = 0;
        EXPECT_EQ(E_NOINTERFACE, video->GetCurrentImage(&size, nullptr)) << "no file rendered";
        std::u16string clip = Wide(dir / "clip.avi");
        ASSERT_EQ(S_OK, graph->RenderFile(clip.data(), nullptr));
        EXPECT_EQ(E_UNEXPECTED, video->GetCurrentImage(&size, nullptr)) << "nothing shown yet";
        ASSERT_EQ(S_OK, control->Pause());
        ASSERT_EQ(S_OK, video->GetCurrentImage(&size, nullptr));
        EXPECT_EQ(long(sizeof(BITMAPINFOHEADER) + 96 * 64 * 4), size);
        std::vector<long> image(size_t(size) / sizeof(long) + 1);
        long small = size - 1;
        EXPECT_EQ(E_OUTOFMEMORY, video->GetCurrentImage(&small, image.data()));
        ASSERT_EQ(S_OK, video->GetCurrentImage(&size, image.data()));
        BITMAPINFOHEADER bih;
        std::memcpy(&bih, image.data(), sizeof bih);
        EXPECT_EQ(96, bih.biWidth);
        EXPECT_EQ(64, bih.biHeight);
        EXPECT_EQ(32, bih.biBitCount);
        control->Stop();
    }
    CoUninitialize();
}

}  // namespace
