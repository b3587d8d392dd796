// Shared helpers of the end-to-end suites: convert a generated input through the encoder
// wrapper with the main dialog's settings and check the output.
#ifndef VELMORA_FFMPEG_TESTS_E2E_SUPPORT_H
#define VELMORA_FFMPEG_TESTS_E2E_SUPPORT_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>

extern "C" {
#include <libavutil/log.h>
}

#include "ffmpegEncoder.h"
#include "testmedia.h"

namespace e2e {

// The main dialog's default choices: MPEG-4 320x240 at 23.976 fps and 512 kbit/s, AAC
// 64 kbit/s (32 per channel) at 44100 Hz in stereo, volume unchanged, fixed aspect.
struct Settings {
    std::string vcodec = "mpeg4";
    int width = 320, height = 240;
    double fps = 23.976;
    int vbitrate = 512;
    int abitrate = 64;
    int sampleRate = 44100;
    int channels = 2;
    int volume = 256;
    int fixAspect = 1;
};

inline void Apply(CFFmpegEncoder& enc, const Settings& s, const std::string& in, const std::string& out) {
    enc.SetInputFile(in);
    enc.SetOutputFile(out);
    enc.SetVideoCodec(s.vcodec);
    enc.SetFrameSize(s.width, s.height);
    enc.SetFrameRate(s.fps);
    enc.SetVideoBitrate(s.vbitrate);
    enc.SetAudioCodec("aac");
    enc.SetSampleRate(s.sampleRate);
    enc.SetChannels(s.channels);
    enc.SetVolume(s.volume);
    enc.SetAudioBitrate(s.abitrate / s.channels);
    enc.SetFixAspect(s.fixAspect);
}

inline bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

inline long long FileSize(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

// Switches the process's numeric locale to one with a decimal comma (German), built into the
// given folder with localedef, as a GUI toolkit would from the user's settings. active() is
// false when the machine cannot build the locale; the caller then skips.
class CommaLocale {
public:
    explicit CommaLocale(const std::string& folder) {
        const char* old = std::setlocale(LC_NUMERIC, nullptr);
        m_saved = old ? old : "C";
        std::string cmd = "localedef -i de_DE -f UTF-8 '" + folder + "/de_DE.UTF-8' >/dev/null 2>&1";
        if (std::system(cmd.c_str()) != 0) return;
        setenv("LOCPATH", folder.c_str(), 1);
        if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) return;
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 1.5);
        m_active = std::strcmp(probe, "1,5") == 0;
    }
    ~CommaLocale() {
        std::setlocale(LC_NUMERIC, m_saved.c_str());
        unsetenv("LOCPATH");
    }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;
    bool active() const { return m_active; }

private:
    std::string m_saved;
    bool m_active = false;
};

// Length of a generated input: whole frames for kinds with video.
inline double InputSeconds(testmedia::Kind kind, const testmedia::Options& o) {
    testmedia::Options e = testmedia::Effective(kind, o);
    if (!testmedia::KindHasVideo(kind)) return e.seconds;
    // The generator's frame rates are those the encoders accept; 25 and 30000/1001 here.
    double frames = static_cast<double>(static_cast<long long>(e.seconds * e.fps + 0.5));
    return frames / e.fps;
}

inline std::string TestName(testmedia::Kind kind) {
    std::string n = testmedia::KindName(kind);
    for (char& c : n)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return n;
}

// A wrapper per test, with its script in the test's own folder (suites run in parallel and
// would otherwise share the program folder's script) and the libraries' log kept to errors.
class Conversion : public ::testing::Test {
protected:
    void SetUp() override {
        enc.SetScriptFolder(dir.path());
        av_log_set_level(AV_LOG_ERROR);
    }

    std::string Input(testmedia::Kind kind, const testmedia::Options& o, const std::string& base = "clip") {
        std::string path = dir / (base + testmedia::KindExtension(kind));
        std::string err;
        EXPECT_TRUE(testmedia::Generate(kind, path, o, &err)) << err;
        return path;
    }

    int Convert(const Settings& s, const std::string& in, const std::string& out) {
        Apply(enc, s, in, out);
        return enc.StartEncode(PROFILE_IPOD);
    }

    testmedia::ScratchDir dir{"e2e"};
    CFFmpegEncoder enc;
};

// Checks that hold for every output of the dialog's settings.
inline void ExpectPlayerFile(const testmedia::Report& r, const Settings& s, bool video, bool audio,
                             double inputSeconds, const std::string& title) {
    ASSERT_TRUE(r.opened);
    EXPECT_EQ(video ? "M4V " : "M4A ", r.majorBrand);
    EXPECT_TRUE(r.HasBrand("isom"));
    EXPECT_EQ(title, r.title);
    EXPECT_TRUE(r.decoded);
    EXPECT_EQ(0, r.decodeErrors);
    const testmedia::StreamReport* v = r.FirstOf("video");
    const testmedia::StreamReport* a = r.FirstOf("audio");
    if (video) {
        ASSERT_NE(nullptr, v);
        EXPECT_EQ(s.vcodec == "h264" ? "h264" : "mpeg4", v->codec);
        EXPECT_EQ(s.width, v->width);
        EXPECT_EQ(s.height, v->height);
        EXPECT_EQ("yuv420p", v->pixFmt);
        EXPECT_GT(v->framesDecoded, 0);
        if (!r.streams.empty()) {
            EXPECT_EQ("video", r.streams[0].type) << "video comes first";
        }
    } else {
        EXPECT_EQ(nullptr, v);
    }
    if (audio) {
        ASSERT_NE(nullptr, a);
        EXPECT_EQ("aac", a->codec);
        EXPECT_EQ(s.sampleRate, a->sampleRate);
        EXPECT_EQ(s.channels, a->channels);
        EXPECT_GT(a->samplesDecoded, 0);
    } else {
        EXPECT_EQ(nullptr, a);
    }
    const double frame = s.fps > 0 ? 1.0 / s.fps : 0.0;
    const double tolerance = std::max(0.15, 2 * frame);
    EXPECT_NEAR(inputSeconds, r.duration, tolerance);
}

}  // namespace e2e

#endif
