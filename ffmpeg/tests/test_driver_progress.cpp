// Progress reports and the stop request.
#include "driver_support.h"
#include "testmedia.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <unistd.h>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

using drivertest::RunDriver;
using drivertest::WrapperVector;
using testmedia::Kind;

namespace {

using Clock = std::chrono::steady_clock;

struct Call {
    Clock::time_point when;
    ProgressInfo info;
    std::thread::id thread;
};

struct Recorder {
    std::vector<Call> calls;
    bool stop_on_first = false;
    std::shared_ptr<std::promise<void>> first_report;  // kept once, when set
    static void Callback(const ProgressInfo* info, void* user) {
        auto* self = static_cast<Recorder*>(user);
        self->calls.push_back({Clock::now(), *info, std::this_thread::get_id()});
        if (self->stop_on_first && self->calls.size() == 1) request_stop();
        if (self->first_report && self->calls.size() == 1) {
            auto once = std::move(self->first_report);
            once->set_value();
            // The stop comes from the other thread; wait for it so the run cannot end first.
            while (!ffdrv::stop_requested.load()) std::this_thread::yield();
        }
    }
    int FinalCount() const {
        int n = 0;
        for (const Call& c : calls)
            if (std::string(c.info.status_line).find(" L") != std::string::npos) ++n;
        return n;
    }
};

class DriverProgress : public ::testing::Test {
protected:
    void SetUp() override {
        set_progress_callback(Recorder::Callback, &rec);
        ffdrv::reset_report_clock();  // as in a fresh process
        in = dir / "in.avi";
        ASSERT_TRUE(testmedia::Generate(Kind::AviMpeg4, in, 2.0, 320, 240, 25));
    }
    void TearDown() override { set_progress_callback(nullptr, nullptr); }
    // "-re" paces reading to the input's own rate, so a 2-s input takes 2 s.
    std::vector<std::string> Paced(const std::string& out, std::vector<std::string> before = {}) {
        std::vector<std::string> a = before;
        a.push_back("-re");
        auto w = WrapperVector(in, out);
        a.insert(a.end(), w.begin(), w.end());
        return a;
    }
    testmedia::ScratchDir dir{"drvprog"};
    std::string in;
    Recorder rec;
};

TEST_F(DriverProgress, ReportsAreHalfASecondApartWithOneFinalReport) {
    auto r = RunDriver(Paced(dir / "out.mp4"));
    ASSERT_EQ(r.rc, 0) << r.err;
    ASSERT_GE(rec.calls.size(), 3u);
    EXPECT_EQ(rec.FinalCount(), 1);
    const Call& last = rec.calls.back();
    EXPECT_NE(std::string(last.info.status_line).find(" L"), std::string::npos) << last.info.status_line;
    for (size_t i = 1; i + 1 < rec.calls.size(); ++i) {
        const double gap = std::chrono::duration<double>(rec.calls[i].when - rec.calls[i - 1].when).count();
        EXPECT_GE(gap, 0.49) << "between reports " << i - 1 << " and " << i;
    }
    for (size_t i = 1; i < rec.calls.size(); ++i)
        EXPECT_GE(rec.calls[i].info.time_seconds, rec.calls[i - 1].info.time_seconds);
    for (const Call& c : rec.calls) {
        EXPECT_EQ(c.thread, std::this_thread::get_id());
        EXPECT_GE(c.info.time_seconds, 0.01);
    }
    auto rep = testmedia::Check(dir / "out.mp4");
    EXPECT_NEAR(last.info.time_seconds, rep.duration, 0.2);
    EXPECT_EQ(last.info.frame_number, rep.FirstOf("video")->framesDecoded);
    EXPECT_EQ(last.info.size_kib, int64_t(drivertest::ReadFile(dir / "out.mp4").size() / 1024));
    EXPECT_NE(std::string(last.info.status_line).find("size="), std::string::npos);
}

// The report clock by hand: standing still, or a second further at every look.
int64_t g_test_clock = 0;
int64_t StillClock() { return g_test_clock; }
int64_t RacingClock() { return g_test_clock += 1000000; }

struct TestReportClock {
    explicit TestReportClock(ffdrv::ReportClock now) { ffdrv::set_report_clock(now); }
    ~TestReportClock() { ffdrv::set_report_clock(nullptr); }
};

TEST_F(DriverProgress, ShortRunReportsOnceAndVerbosityLimitsReports) {
    {
        TestReportClock still(StillClock);  // the whole run within half a second
        auto r = RunDriver(WrapperVector(in, dir / "a.mp4"));
        ASSERT_EQ(r.rc, 0) << r.err;
        EXPECT_EQ(rec.calls.size(), 1u);
        EXPECT_EQ(rec.FinalCount(), 1);
    }
    // Half a second passes between any two packets: only the verbosity holds reports back.
    TestReportClock racing(RacingClock);
    rec.calls.clear();
    auto r = RunDriver(WrapperVector(in, dir / "all.mp4"));
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_GT(rec.calls.size(), 10u);

    rec.calls.clear();
    r = RunDriver([&] {
        auto w = WrapperVector(in, dir / "b.mp4");
        w.insert(w.begin(), {"-v", "0"});
        return w;
    }());
    ASSERT_EQ(r.rc, 0) << r.err;
    ASSERT_EQ(rec.calls.size(), 1u);
    EXPECT_EQ(rec.FinalCount(), 1);

    rec.calls.clear();
    r = RunDriver([&] {
        auto w = WrapperVector(in, dir / "c.mp4");
        w.insert(w.begin(), {"-v", "-1"});
        return w;
    }());
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_TRUE(rec.calls.empty());
}

TEST_F(DriverProgress, StopFromAnotherThreadEndsWithAPlayableFile) {
    // The host's thread stops the run once the first report shows it under way.
    rec.first_report = std::make_shared<std::promise<void>>();
    std::future<void> started = rec.first_report->get_future();
    std::thread stopper([&] {
        started.wait();
        request_stop();
    });
    auto r = RunDriver(Paced(dir / "stopped.mp4"));
    stopper.join();
    EXPECT_EQ(r.rc, -2);
    EXPECT_NE(r.err.find("Received signal 1: terminating.\n"), std::string::npos);
    ASSERT_FALSE(rec.calls.empty());
    EXPECT_EQ(rec.FinalCount(), 1);
    auto rep = testmedia::Check(dir / "stopped.mp4");
    ASSERT_TRUE(rep.opened);
    EXPECT_EQ(rep.decodeErrors, 0);
    EXPECT_GT(rep.duration, 0.2);
    EXPECT_LT(rep.duration, 1.7);
    ASSERT_NE(rep.FirstOf("video"), nullptr);
    EXPECT_GT(rep.FirstOf("video")->framesDecoded, 0);

    // The next run starts clean and converts the whole input.
    rec.calls.clear();
    r = RunDriver(WrapperVector(in, dir / "after.mp4"));
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_NEAR(testmedia::Check(dir / "after.mp4").duration, 2.0, 0.15);
}

TEST_F(DriverProgress, StopInsideTheCallbackStillGivesTheFinalReport) {
    rec.stop_on_first = true;
    auto r = RunDriver(Paced(dir / "out.mp4"));
    EXPECT_EQ(r.rc, -2);
    ASSERT_EQ(rec.calls.size(), 2u);
    EXPECT_EQ(rec.FinalCount(), 1);
    EXPECT_TRUE(testmedia::Check(dir / "out.mp4").opened);
}

TEST_F(DriverProgress, QualityMeasuresInTheStatusLineAndStatisticsFile) {
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);  // the statistics file goes to the working folder
    auto r = RunDriver({"-i", in, "-an", "-vcodec", "mpeg4", "-psnr", "-vstats", dir / "out.mp4"});
    EXPECT_EQ(chdir(cwd), 0);
    ASSERT_EQ(r.rc, 0) << r.err;
    ASSERT_FALSE(rec.calls.empty());
    const std::string status = rec.calls.back().info.status_line;
    double y = 0, u = 0, v = 0, all = 0;
    const size_t at = status.find("PSNR=");
    ASSERT_NE(at, std::string::npos) << status;
    ASSERT_EQ(sscanf(status.c_str() + at, "PSNR=Y:%lf U:%lf V:%lf *:%lf", &y, &u, &v, &all), 4) << status;
    EXPECT_GT(y, 20.0);
    EXPECT_LT(y, 99.0);
    EXPECT_GT(all, 20.0);
    EXPECT_NE(status.find("q="), std::string::npos);

    std::string stats;
    if (DIR* d = opendir(dir.path().c_str())) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name).rfind("vstats_", 0) == 0) stats = drivertest::ReadFile(dir / e->d_name);
        closedir(d);
    }
    size_t lines = 0;
    for (char c : stats) lines += c == '\n';
    EXPECT_EQ(lines, 50u);  // one line per picture of the 2-s input
    EXPECT_NE(stats.find("frame=     1 q= "), std::string::npos) << stats.substr(0, 200);
    EXPECT_NE(stats.find("type= I"), std::string::npos);
}

TEST_F(DriverProgress, FirstLookOfAProcessOnlyStartsTheClock) {
    // Half a second passes between any two looks at the clock. A run right after the process
    // started reports one time fewer than the same run later, when the clock is going already.
    TestReportClock racing(RacingClock);
    auto r = RunDriver(WrapperVector(in, dir / "first.mp4"));
    ASSERT_EQ(r.rc, 0) << r.err;
    const size_t first = rec.calls.size();
    rec.calls.clear();
    r = RunDriver(WrapperVector(in, dir / "second.mp4"));
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(rec.calls.size(), first + 1);
}

TEST_F(DriverProgress, TimeReachedIsTheLeastStreamTime) {
    // Pictures for 2 s from one input, sound for 1 s from another: the output has reached
    // only as far as its shortest stream.
    const std::string sound = dir / "sound.wav";
    ASSERT_TRUE(testmedia::Generate(Kind::Wav, sound, 1.0, 0, 0, 0));
    auto r = RunDriver({"-i", in, "-i", sound, "-map", "0:0", "-map", "1:0", "-vcodec", "mpeg4", "-acodec", "aac",
                        dir / "out.mp4"});
    ASSERT_EQ(r.rc, 0) << r.err;
    ASSERT_FALSE(rec.calls.empty());
    auto rep = testmedia::Check(dir / "out.mp4");
    ASSERT_NE(rep.FirstOf("video"), nullptr);
    EXPECT_NEAR(double(rep.FirstOf("video")->framesDecoded) / 25.0, 2.0, 0.1);
    EXPECT_NEAR(rec.calls.back().info.time_seconds, 1.0, 0.1);
}

// The counts the report shows at verbosity 2, from the final status line.
void DupAndDrop(const Recorder& rec, int* dup, int* drop) {
    ASSERT_FALSE(rec.calls.empty());
    const std::string line = rec.calls.back().info.status_line;
    const size_t at = line.find(" dup=");
    ASSERT_NE(at, std::string::npos) << line;
    ASSERT_EQ(sscanf(line.c_str() + at, " dup=%d drop=%d", dup, drop), 2) << line;
}

TEST_F(DriverProgress, RepeatedAndDroppedPicturesOnAKnownRateChange) {
    // 2 s at 25 fps: 50 pictures. At 30 fps one in five is shown twice (10 more); at 20 fps one
    // in five is left out (10 fewer); at 25 fps none either way.
    struct Case {
        const char* rate;
        int dup, drop;
    } cases[] = {{"30", 10, 0}, {"20", 0, 10}, {"25", 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        rec.calls.clear();
        auto r = RunDriver({"-v", "2", "-i", in, "-an", "-vcodec", "mpeg4", "-r", c.rate, dir / "out.mp4"});
        ASSERT_EQ(r.rc, 0) << r.err;
        int dup = -1, drop = -1;
        DupAndDrop(rec, &dup, &drop);
        EXPECT_NEAR(dup, c.dup, 1);
        EXPECT_NEAR(drop, c.drop, 1);
        EXPECT_NEAR(double(rec.calls.back().info.frame_number), 50.0 + c.dup - c.drop, 1.0);
    }
}

TEST_F(DriverProgress, SizeLimitEndsTheOutputJustPastIt) {
    auto r = RunDriver({"-i", in, "-an", "-vcodec", "mpeg4", "-b", "2000", "-fs", "64", dir / "out.mp4"});
    ASSERT_EQ(r.rc, 0) << r.err;
    const size_t size = drivertest::ReadFile(dir / "out.mp4").size();
    EXPECT_GT(size, 64u * 1024);
    EXPECT_LT(size, 64u * 1024 + 48 * 1024) << "at most a few pictures past the limit";
    auto rep = testmedia::Check(dir / "out.mp4");
    ASSERT_NE(rep.FirstOf("video"), nullptr);
    EXPECT_LT(rep.FirstOf("video")->framesDecoded, 40);
    EXPECT_EQ(rep.decodeErrors, 0);
}

TEST_F(DriverProgress, StopBeforeTheRunStopsItAndOnlyIt) {
    // The host may ask for a stop while it starts the run: the run's own reset must not lose it.
    request_stop();
    auto r = RunDriver(WrapperVector(in, dir / "out.mp4"));
    EXPECT_EQ(r.rc, -2) << r.err;
    EXPECT_NE(r.err.find("Received signal 1: terminating.\n"), std::string::npos);
    EXPECT_EQ(rec.FinalCount(), 1);
    EXPECT_FALSE(testmedia::Check(dir / "out.mp4").opened) << "nothing converted, nothing left";
    EXPECT_EQ(stop_pending(), 0);

    r = RunDriver(WrapperVector(in, dir / "out.mp4"));
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_NEAR(testmedia::Check(dir / "out.mp4").duration, 2.0, 0.15);

    request_stop();
    forget_stop_request();
    EXPECT_EQ(RunDriver(WrapperVector(in, dir / "again.mp4")).rc, 0);
}

// A 2-s MPEG-4 clip without sound whose pictures from the third on have lost their start
// code: a long stretch of packets that do not decode, with nothing between them.
bool WriteUndecodableStretch(const std::string& path) {
    testmedia::Options o;
    o.seconds = 2.0;
    o.noAudio = true;
    if (!testmedia::Generate(Kind::AviMpeg4, path, o)) return false;
    std::string data = drivertest::ReadFile(path);
    const std::string vop("\x00\x00\x01\xB6", 4);
    size_t at = data.find(vop);
    for (int picture = 0; at != std::string::npos; ++picture, at = data.find(vop, at + 1))
        if (picture >= 2) data[at + 2] = '\x00';
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

int g_decode_errors = 0;
void StopAtDecodeError(const char* text) {
    if (std::strncmp(text, "Error while decoding stream", 27) != 0) return;
    ++g_decode_errors;
    request_stop();
}

TEST(DriverStop, StopDuringPacketsThatDoNotDecodeTakesEffectAtOnce) {
    testmedia::ScratchDir dir("drvstop");
    const std::string in = dir / "broken.avi";
    ASSERT_TRUE(WriteUndecodableStretch(in));
    auto r = RunDriver({"-i", in, "-an", "-vcodec", "mpeg4", dir / "whole.mp4"});
    ASSERT_EQ(r.rc, 0) << r.err;
    size_t errors = 0;
    for (size_t at = r.err.find("Error while decoding"); at != std::string::npos;
         at = r.err.find("Error while decoding", at + 1))
        ++errors;
    ASSERT_GT(errors, 20u) << "the stretch of damaged pictures";

    // A stop asked for at the first damaged picture ends the run there, not after the stretch.
    g_decode_errors = 0;
    drivertest::OnMessage() = StopAtDecodeError;
    r = RunDriver({"-i", in, "-an", "-vcodec", "mpeg4", dir / "stopped.mp4"});
    drivertest::OnMessage() = nullptr;
    EXPECT_EQ(r.rc, -2);
    EXPECT_EQ(g_decode_errors, 1);
    auto rep = testmedia::Check(dir / "stopped.mp4");
    ASSERT_NE(rep.FirstOf("video"), nullptr);
    EXPECT_EQ(rep.FirstOf("video")->framesDecoded, 2);
}

}  // namespace
