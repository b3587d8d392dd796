// AVI clips through the video-for-windows functions: loaded by module name as a program does,
// files and streams and their records, frames of uncompressed and RLE8 clips read one by one
// with their pixels checked, drawing with DrawDibDraw, and clips that are broken on purpose.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "avi_test_clips.h"
#include "vfw.h"
#include "winplat_test.h"

using avitest::ClipSpec;
using avitest::MakeClip;

namespace {

using avitest::ClipFile;

// Three 4x2 frames: red, green, blue.
ClipSpec ThreeColours() {
    ClipSpec s;
    for (uint32_t c : {0xFF0000u, 0x00FF00u, 0x0000FFu}) s.frames.push_back(avitest::SolidFrame24(4, 2, c));
    return s;
}

// 8x2 RLE8 frames over a four-colour palette: a key frame of two runs, then a frame that skips
// to the right half of the top row and repaints four pixels there.
ClipSpec RleClip() {
    ClipSpec s;
    s.width = 8;
    s.bit_count = 8;
    s.compression = 1;
    s.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    s.frames.push_back({8, 1, 0, 0, 8, 2, 0, 1});         // bottom row colour 1, top row colour 2
    s.frames.push_back({0, 2, 4, 1, 4, 3, 0, 1});         // skip (4, 1), four of colour 3
    s.key = {true, false};
    return s;
}

struct Opened {
    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    ~Opened() {
        if (stream) AVIStreamRelease(stream);
        if (file) AVIFileRelease(file);
    }
};

void Open(const std::string& path, Opened* o) {
    ASSERT_EQ(AVIFileOpenA(&o->file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
    ASSERT_EQ(AVIFileGetStream(o->file, &o->stream, streamtypeVIDEO, 0), AVIERR_OK);
}

// The colour of pixel (x, y from the top) of a packed bitmap from AVIStreamGetFrame.
COLORREF PackedPixel(const void* packed, int x, int y) {
    auto* bi = static_cast<const BITMAPINFOHEADER*>(packed);
    const uint8_t* base = static_cast<const uint8_t*>(packed) + bi->biSize;
    int h = bi->biHeight;
    if (bi->biBitCount == 8) {
        const uint8_t* pal = base;
        base += (bi->biClrUsed ? bi->biClrUsed : 256) * 4;
        size_t stride = (size_t(bi->biWidth) + 3) / 4 * 4;
        uint8_t i = base[size_t(h - 1 - y) * stride + size_t(x)];
        return RGB(pal[i * 4 + 2], pal[i * 4 + 1], pal[i * 4]);
    }
    int bytes = bi->biBitCount / 8;
    size_t stride = (size_t(bi->biWidth) * bytes + 3) / 4 * 4;
    const uint8_t* p = base + size_t(h - 1 - y) * stride + size_t(x) * size_t(bytes);
    return RGB(p[2], p[1], p[0]);
}

TEST(VideoClips, TheModulesLoadByNameWithTheFunctionsAProgramLooksUp) {
    HMODULE avi = LoadLibraryA("avifil32.dll"), vfw = LoadLibraryA("MSVFW32");
    ASSERT_NE(avi, nullptr);
    ASSERT_NE(vfw, nullptr);
    for (const char* name : {"AVIFileInit", "AVIFileExit", "AVIFileOpenA", "AVIFileInfoA", "AVIFileGetStream",
                             "AVIFileRelease", "AVIStreamGetFrameOpen", "AVIStreamGetFrame", "AVIStreamGetFrameClose",
                             "AVIStreamStart", "AVIStreamReadFormat", "AVIStreamLength", "AVIStreamInfoA",
                             "AVIStreamRead"})
        EXPECT_NE(GetProcAddress(avi, name), nullptr) << name;
    EXPECT_NE(GetProcAddress(vfw, "DrawDibOpen"), nullptr);
    EXPECT_NE(GetProcAddress(vfw, "DrawDibDraw"), nullptr);
    EXPECT_EQ(GetProcAddress(avi, "DrawDibDraw"), nullptr);  // each module has its own
    auto open = reinterpret_cast<HRESULT(WINAPI*)(PAVIFILE*, LPCSTR, UINT, const CLSID*)>(
        reinterpret_cast<void*>(GetProcAddress(avi, "AVIFileOpenA")));
    ClipFile f(MakeClip(ThreeColours()));
    PAVIFILE file = nullptr;
    EXPECT_EQ(open(&file, f.path.c_str(), OF_READ, nullptr), AVIERR_OK);
    AVIFileRelease(file);
    FreeLibrary(avi);
    FreeLibrary(vfw);

    WinTestSetModuleMissing("avifil32.dll", TRUE);
    EXPECT_EQ(LoadLibraryA("avifil32.dll"), nullptr);
    WinTestSetModuleMissing("avifil32.dll", FALSE);
}

TEST(VideoClips, FileAndStreamRecordsTellTheClipsSizeRateAndLength) {
    ClipSpec spec = ThreeColours();
    spec.rate = 15;
    spec.scale = 2;
    ClipFile f(MakeClip(spec));
    Opened o;
    Open(f.path, &o);
    AVIFILEINFOA info{};
    ASSERT_EQ(AVIFileInfoA(o.file, &info, sizeof info), AVIERR_OK);
    EXPECT_EQ(sizeof info, 108u);
    EXPECT_EQ(info.dwWidth, 4u);
    EXPECT_EQ(info.dwHeight, 2u);
    EXPECT_EQ(info.dwRate, 15u);
    EXPECT_EQ(info.dwScale, 2u);
    EXPECT_EQ(info.dwLength, 3u);
    EXPECT_EQ(AVIFileInfoA(o.file, &info, 20), AVIERR_BADSIZE);
    EXPECT_EQ(AVIStreamLength(o.stream), 3);
    EXPECT_EQ(AVIStreamStart(o.stream), 0);
    AVISTREAMINFOA si{};
    ASSERT_EQ(AVIStreamInfoA(o.stream, &si, sizeof si), AVIERR_OK);
    EXPECT_EQ(si.fccType, DWORD(streamtypeVIDEO));
    EXPECT_EQ(si.rcFrame.right, 4);
    PAVISTREAM audio = nullptr;
    EXPECT_EQ(AVIFileGetStream(o.file, &audio, streamtypeAUDIO, 0), AVIERR_NODATA);
    EXPECT_EQ(AVIFileGetStream(o.file, &audio, streamtypeVIDEO, 1), AVIERR_NODATA);
}

TEST(VideoClips, TheFormatIsAskedForBySizeAndNeverOverrunsTheCallersBuffer) {
    ClipFile f(MakeClip(RleClip()));
    Opened o;
    Open(f.path, &o);
    LONG size = 0;
    ASSERT_EQ(AVIStreamReadFormat(o.stream, 0, nullptr, &size), AVIERR_OK);
    EXPECT_EQ(size, 40 + 4 * 4);
    std::vector<uint8_t> small(20 + 8, 0xCC);
    LONG have = 20;
    EXPECT_EQ(AVIStreamReadFormat(o.stream, 0, small.data(), &have), AVIERR_BUFFERTOOSMALL);
    EXPECT_EQ(have, size);
    for (size_t k = 20; k < small.size(); ++k) EXPECT_EQ(small[k], 0xCC) << k;
    std::vector<uint8_t> fmt(static_cast<size_t>(size), 0);
    have = size;
    ASSERT_EQ(AVIStreamReadFormat(o.stream, 0, fmt.data(), &have), AVIERR_OK);
    auto* bi = reinterpret_cast<BITMAPINFOHEADER*>(fmt.data());
    EXPECT_EQ(bi->biWidth, 8);
    EXPECT_EQ(bi->biBitCount, 8);
    EXPECT_EQ(bi->biClrUsed, 4u);

    LONG bytes = 0, got = 0;
    EXPECT_EQ(AVIStreamRead(o.stream, 1, 1, nullptr, 0, &bytes, &got), AVIERR_OK);
    EXPECT_EQ(bytes, 8);
    std::vector<uint8_t> raw(4);
    EXPECT_EQ(AVIStreamRead(o.stream, 1, 1, raw.data(), LONG(raw.size()), &bytes, &got), AVIERR_BUFFERTOOSMALL);
    EXPECT_EQ(AVIStreamRead(o.stream, 9, 1, nullptr, 0, &bytes, &got), AVIERR_NODATA);
}

TEST(VideoClips, UncompressedFramesComeBackFrameByFrameWithTheirPixels) {
    ClipFile f(MakeClip(ThreeColours()));
    Opened o;
    Open(f.path, &o);
    PGETFRAME frames = AVIStreamGetFrameOpen(o.stream, nullptr);
    ASSERT_NE(frames, nullptr);
    const COLORREF want[3] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    for (int n : {0, 1, 2, 1, 0}) {
        void* p = AVIStreamGetFrame(frames, n);
        ASSERT_NE(p, nullptr) << n;
        EXPECT_EQ(PackedPixel(p, 0, 0), want[n]) << n;
        EXPECT_EQ(PackedPixel(p, 3, 1), want[n]) << n;
    }
    EXPECT_EQ(AVIStreamGetFrame(frames, 3), nullptr);
    EXPECT_EQ(AVIStreamGetFrame(frames, -1), nullptr);
    EXPECT_EQ(AVIStreamGetFrameClose(frames), AVIERR_OK);
    EXPECT_EQ(AVIStreamGetFrameClose(frames), AVIERR_BADHANDLE);  // a closed reader stays closed
    EXPECT_EQ(AVIStreamGetFrame(frames, 0), nullptr);
}

TEST(VideoClips, RleFramesBuildOnTheKeyFrameAndReadInAnyOrder) {
    ClipFile f(MakeClip(RleClip()));
    Opened o;
    Open(f.path, &o);
    PGETFRAME frames = AVIStreamGetFrameOpen(o.stream, nullptr);
    ASSERT_NE(frames, nullptr);
    // Frame 1 first: it is made from frame 0 and its own changes.
    void* p = AVIStreamGetFrame(frames, 1);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(PackedPixel(p, 0, 0), RGB(0, 255, 0));   // top row, left half: from the key frame
    EXPECT_EQ(PackedPixel(p, 5, 0), RGB(0, 0, 255));   // top row, right half: repainted
    EXPECT_EQ(PackedPixel(p, 5, 1), RGB(255, 0, 0));   // bottom row untouched
    p = AVIStreamGetFrame(frames, 0);
    EXPECT_EQ(PackedPixel(p, 5, 0), RGB(0, 255, 0));
    AVIStreamGetFrameClose(frames);

    BITMAPINFOHEADER want{};
    want.biSize = sizeof want;
    want.biBitCount = 32;
    frames = AVIStreamGetFrameOpen(o.stream, &want);
    ASSERT_NE(frames, nullptr);
    p = AVIStreamGetFrame(frames, 1);
    EXPECT_EQ(static_cast<BITMAPINFOHEADER*>(p)->biBitCount, 32);
    EXPECT_EQ(PackedPixel(p, 7, 0), RGB(0, 0, 255));
    AVIStreamGetFrameClose(frames);
    want.biCompression = BI_RLE8;
    EXPECT_EQ(AVIStreamGetFrameOpen(o.stream, &want), nullptr);
}

TEST(VideoClips, DrawDibDrawsAFrameScaledIntoADeviceContext) {
    ClipFile f(MakeClip(RleClip()));
    Opened o;
    Open(f.path, &o);
    PGETFRAME frames = AVIStreamGetFrameOpen(o.stream, nullptr);
    auto* bi = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(frames, 1));
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bm = CreateCompatibleBitmap(screen, 16, 4);
    HGDIOBJ old = SelectObject(mem, bm);
    HDRAWDIB dd = DrawDibOpen();
    ASSERT_TRUE(DrawDibDraw(dd, mem, 0, 0, 16, 4, bi, nullptr, 0, 0, 8, 2, 0));
    EXPECT_EQ(GetPixel(mem, 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(mem, 15, 1), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(mem, 3, 3), RGB(255, 0, 0));
    EXPECT_TRUE(DrawDibClose(dd));
    EXPECT_FALSE(DrawDibDraw(dd, mem, 0, 0, 16, 4, bi, nullptr, 0, 0, 8, 2, 0));  // a closed context
    SelectObject(mem, old);
    DeleteObject(bm);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    AVIStreamGetFrameClose(frames);
}

TEST(VideoClips, ReleasedFilesAndStreamsFailCleanly) {
    ClipFile f(MakeClip(ThreeColours()));
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, f.path.c_str(), OF_READ, nullptr), AVIERR_OK);
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &stream, 0, 0), AVIERR_OK);
    EXPECT_EQ(AVIFileAddRef(file), 2u);
    EXPECT_EQ(AVIFileRelease(file), 1u);
    EXPECT_EQ(AVIFileRelease(file), 0u);
    EXPECT_EQ(AVIStreamLength(stream), 3);  // the stream keeps the clip it came from
    EXPECT_EQ(AVIStreamRelease(stream), 0u);
    EXPECT_EQ(AVIStreamLength(stream), -1);
    AVIFILEINFOA info;
    EXPECT_EQ(AVIFileInfoA(file, &info, sizeof info), AVIERR_BADHANDLE);
    EXPECT_EQ(AVIStreamGetFrameOpen(stream, nullptr), nullptr);
    EXPECT_EQ(AVIFileOpenA(&file, "/nonexistent/clip.avi", OF_READ, nullptr), AVIERR_FILEOPEN);
    EXPECT_EQ(file, nullptr);
}

TEST(VideoClips, BrokenClipsAreRefusedAndNothingIsReadPastTheirBytes) {
    std::vector<uint8_t> good = MakeClip(ThreeColours());
    auto refused = [](const std::vector<uint8_t>& bytes) {
        ClipFile f(bytes);
        PAVIFILE file = nullptr;
        HRESULT hr = AVIFileOpenA(&file, f.path.c_str(), OF_READ, nullptr);
        if (file) AVIFileRelease(file);
        return hr == AVIERR_BADFORMAT;
    };
    // Every cut of the file either reads as fewer frames or is refused; none reads past.
    for (size_t n = 0; n < good.size(); n += 7) {
        ClipFile f(std::vector<uint8_t>(good.begin(), good.begin() + long(n)));
        PAVIFILE file = nullptr;
        if (AVIFileOpenA(&file, f.path.c_str(), OF_READ, nullptr) != AVIERR_OK) continue;
        PAVISTREAM s = nullptr;
        AVIFileGetStream(file, &s, 0, 0);
        PGETFRAME fr = AVIStreamGetFrameOpen(s, nullptr);
        for (LONG k = 0; k < AVIStreamLength(s); ++k) EXPECT_NE(AVIStreamGetFrame(fr, k), nullptr);
        AVIStreamGetFrameClose(fr);
        AVIStreamRelease(s);
        AVIFileRelease(file);
    }
    ClipSpec wide = ThreeColours();
    wide.width = 100000;
    EXPECT_TRUE(refused(MakeClip(wide)));
    ClipSpec odd = ThreeColours();
    odd.bit_count = 12;
    EXPECT_TRUE(refused(MakeClip(odd)));
    ClipSpec packed = ThreeColours();
    packed.compression = 2;  // RLE4 is not read
    EXPECT_TRUE(refused(MakeClip(packed)));
    EXPECT_TRUE(refused(std::vector<uint8_t>{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}));
    // A frame chunk that claims to run past the file is cut at its end.
    std::vector<uint8_t> liar = good;
    for (size_t k = 0; k + 4 < liar.size(); ++k)
        if (std::memcmp(&liar[k], "00db", 4) == 0) {
            liar[k + 4] = 0xFF, liar[k + 5] = 0xFF, liar[k + 6] = 0xFF, liar[k + 7] = 0x7F;
            break;
        }
    ClipFile lf(liar);
    Opened o;
    ASSERT_EQ(AVIFileOpenA(&o.file, lf.path.c_str(), OF_READ, nullptr), AVIERR_OK);
}

TEST(VideoClips, RleRunsPastTheRowAreCutAndAZeroRateClipStillOpens) {
    ClipSpec s = RleClip();
    s.frames = {{200, 1, 0, 0, 255, 2, 0, 2, 250, 250, 0, 5, 1, 2, 3}};  // runs far past the rows
    s.rate = 0;
    s.scale = 0;
    ClipFile f(MakeClip(s));
    Opened o;
    Open(f.path, &o);
    AVIFILEINFOA info{};
    AVIFileInfoA(o.file, &info, sizeof info);
    EXPECT_EQ(info.dwRate, 0u);  // the player decides what such a clip's frame time is
    PGETFRAME frames = AVIStreamGetFrameOpen(o.stream, nullptr);
    void* p = AVIStreamGetFrame(frames, 0);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(PackedPixel(p, 7, 1), RGB(255, 0, 0));  // the bottom row is full, no more
    EXPECT_EQ(PackedPixel(p, 0, 0), RGB(0, 255, 0));  // the second run went to the next row only
    AVIStreamGetFrameClose(frames);
}

}  // namespace
