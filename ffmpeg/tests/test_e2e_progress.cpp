// Progress reports and the stop request, through the wrapper as the conversion worker uses it.
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "e2e_support.h"

namespace {

using testmedia::Kind;
using Conversion = e2e::Conversion;

struct Seen {
    std::mutex lock;
    std::vector<ProgressInfo> reports;
    std::atomic<int> count{0};
    CFFmpegEncoder* stopFrom = nullptr;  // when set, the first report asks for a stop
};

void Record(const ProgressInfo* info, void* user) {
    Seen* seen = static_cast<Seen*>(user);
    {
        std::lock_guard<std::mutex> g(seen->lock);
        seen->reports.push_back(*info);
    }
    if (seen->count.fetch_add(1) == 0 && seen->stopFrom) seen->stopFrom->Stop();
}

class Progress : public Conversion {
protected:
    void TearDown() override { enc.SetProgressCallback(nullptr, nullptr); }
};

TEST_F(Progress, FinalReportDescribesTheFinishedFile) {
    testmedia::Options o;
    o.seconds = 2.0;
    const std::string in = Input(Kind::AviMpeg4, o, "prog");
    Seen seen;
    enc.SetProgressCallback(&Record, &seen);
    const std::string out = dir / "prog_new.mp4";
    ASSERT_EQ(0, Convert(e2e::Settings(), in, out));
    ASSERT_FALSE(seen.reports.empty());
    const ProgressInfo& last = seen.reports.back();
    testmedia::Report r = testmedia::Check(out);
    ASSERT_NE(nullptr, r.FirstOf("video"));
    EXPECT_EQ(r.FirstOf("video")->framesDecoded, last.frame_number);
    EXPECT_NEAR(r.duration, last.time_seconds, 0.2);
    EXPECT_EQ(e2e::FileSize(out) / 1024, last.size_kib);
    for (std::size_t i = 1; i < seen.reports.size(); ++i)
        EXPECT_LE(seen.reports[i - 1].time_seconds, seen.reports[i].time_seconds);
    // The worker turns time into a percentage of the probed duration; it must reach 100.
    MediaInfo mi{};
    ASSERT_EQ(0, enc.GetMediaInfo(in.c_str(), &mi));
    ASSERT_GT(mi.nDuration, 0);
    EXPECT_GE(static_cast<int>(last.time_seconds) * 100 / mi.nDuration, 100);
}

TEST_F(Progress, FileWhoseTimestampsStartLateReachesItsProbedDuration) {
    // The output counts from its own zero, so the last report's time is the length converted:
    // the probe must list that length, not the input's last timestamp.
    testmedia::Options o;
    o.seconds = 4.0;
    o.start = 10.0;
    for (Kind kind : {Kind::Mp4, Kind::MkvSurround, Kind::Mov}) {
        SCOPED_TRACE(testmedia::KindName(kind));
        const std::string in = Input(kind, o, std::string("late_") + e2e::TestName(kind));
        MediaInfo mi{};
        ASSERT_EQ(0, enc.GetMediaInfo(in.c_str(), &mi));
        Seen seen;
        enc.SetProgressCallback(&Record, &seen);
        const std::string out = dir / "late_new.mp4";
        ASSERT_EQ(0, Convert(e2e::Settings(), in, out));
        ASSERT_FALSE(seen.reports.empty());
        const ProgressInfo& last = seen.reports.back();
        testmedia::Report r = testmedia::Check(out, false);
        EXPECT_NEAR(4.0, r.duration, 0.2);
        EXPECT_NEAR(r.duration, last.time_seconds, 0.2);
        EXPECT_EQ(static_cast<int>(r.duration), mi.nDuration);
        ASSERT_GT(mi.nDuration, 0);
        EXPECT_GE(static_cast<int>(last.time_seconds) * 100 / mi.nDuration, 100);
        enc.SetProgressCallback(nullptr, nullptr);
    }
}

TEST_F(Progress, StopDuringARunEndsWithACompleteShorterFile) {
    // Long enough that the first report (half a second in) comes well before the end.
    testmedia::Options o;
    o.seconds = 30.0;
    o.width = 640;
    o.height = 480;
    const std::string in = Input(Kind::AviMpeg4, o, "long");
    Seen seen;
    seen.stopFrom = &enc;
    enc.SetProgressCallback(&Record, &seen);
    e2e::Settings s;
    s.width = 640;
    s.height = 480;
    const std::string out = dir / "long_new.mp4";
    ASSERT_EQ(-2, Convert(s, in, out));
    ASSERT_GE(seen.count.load(), 2) << "the stopped run still sends its last report";
    testmedia::Report r = testmedia::Check(out);
    EXPECT_TRUE(r.opened);
    EXPECT_EQ(0, r.decodeErrors);
    EXPECT_GT(r.duration, 0.0);
    EXPECT_LT(r.duration, 29.0);

    // The next file converts in full: the stop was for that run only.
    seen.stopFrom = nullptr;
    const std::string small = Input(Kind::AviMpeg4, testmedia::Options(), "after");
    ASSERT_EQ(0, Convert(e2e::Settings(), small, dir / "after_new.mp4"));
    EXPECT_NEAR(1.0, testmedia::Check(dir / "after_new.mp4", false).duration, 0.15);
}

TEST_F(Progress, StopFromAnotherThreadAndBeforeARun) {
    // A stop asked for while the worker prepares the next file stops that file, however
    // quickly it would convert; it is taken by that run, and a new batch starts without it.
    const std::string small = Input(Kind::Mov, testmedia::Options(), "early");
    enc.Stop();
    EXPECT_EQ(-2, Convert(e2e::Settings(), small, dir / "early_new.mp4"));
    EXPECT_FALSE(e2e::Exists(dir / "early_new.mp4"));
    ASSERT_EQ(0, Convert(e2e::Settings(), small, dir / "early_new.mp4"));
    enc.Stop();
    enc.ResetDefaults();
    ASSERT_EQ(0, Convert(e2e::Settings(), small, dir / "again_new.mp4"));

    testmedia::Options o;
    o.seconds = 30.0;
    o.width = 640;
    o.height = 480;
    const std::string in = Input(Kind::AviMpeg4, o, "long");
    Seen seen;
    enc.SetProgressCallback(&Record, &seen);
    std::atomic<bool> finished{false};
    std::thread ui([&] {
        while (seen.count.load() == 0 && !finished.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        enc.Stop();
    });
    e2e::Settings s;
    s.width = 640;
    s.height = 480;
    int result = Convert(s, in, dir / "long_new.mp4");
    finished = true;
    ui.join();
    EXPECT_EQ(-2, result);
    EXPECT_EQ(0, testmedia::Check(dir / "long_new.mp4").decodeErrors);
}

// Stops the run when the libraries describe its opened input: before any frame is read.
void StopAtTheInputsDescription(void*, int, const char* format, va_list args) {
    char line[256];
    va_list copy;
    va_copy(copy, args);
    std::vsnprintf(line, sizeof line, format, copy);
    va_end(copy);
    if (std::strncmp(line, "Input #0", 8) == 0) request_stop();
}

TEST_F(Progress, StopBeforeTheFirstFrameLeavesNoFile) {
    // An output with a header and no frame is no file to play: it goes, and the run still
    // reads as stopped.
    const std::string in = Input(Kind::AviMpeg4, testmedia::Options(), "early");
    const std::string out = dir / "early_new.mp4";
    CFFmpegEncoder::SetLogCallback(&StopAtTheInputsDescription);
    const int result = Convert(e2e::Settings(), in, out);
    CFFmpegEncoder::SetLogCallback(nullptr);
    EXPECT_EQ(-2, result);
    EXPECT_FALSE(e2e::Exists(out));

    // A file of the same name from before is the user's, stop or not.
    std::FILE* f = std::fopen(out.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    std::fclose(f);
    CFFmpegEncoder::SetLogCallback(&StopAtTheInputsDescription);
    EXPECT_EQ(-2, Convert(e2e::Settings(), in, out));
    CFFmpegEncoder::SetLogCallback(nullptr);
    EXPECT_TRUE(e2e::Exists(out));
}

TEST_F(Progress, ExceptionInsideTheRunFailsOnlyThatFile) {
    // Anything thrown inside a run fails that file, leaves no half-written output behind, and
    // the next file converts.
    const std::string in = Input(Kind::AviMpeg4, testmedia::Options(), "throw");
    enc.SetProgressCallback([](const ProgressInfo*, void*) { throw std::runtime_error("callback"); }, nullptr);
    EXPECT_EQ(-1, Convert(e2e::Settings(), in, dir / "throw_new.mp4"));
    EXPECT_FALSE(e2e::Exists(dir / "throw_new.mp4"));

    enc.SetProgressCallback(nullptr, nullptr);
    ASSERT_EQ(0, Convert(e2e::Settings(), in, dir / "after_new.mp4"));
    EXPECT_EQ(0, testmedia::Check(dir / "after_new.mp4").decodeErrors);
}

}  // namespace
