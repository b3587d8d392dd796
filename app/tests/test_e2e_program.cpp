// The program itself, started as a user would start it, converting one file from its own
// automation hook: once headless, once on a private X server through the SDL2 backend.
#include <signal.h>
#include <sys/stat.h>

#include <map>
#include <set>

#include "app_test_support.h"
#include "backend_xvfb.h"
#include "demo_run_support.h"
#include "program_run.h"
#include "testmedia.h"

namespace {

using demorun::Exists;
using demorun::ProgramPath;
using demorun::Spawn;

using programrun::WaitFor;

std::map<std::string, std::string> ReadReport(const std::string& path) {
    std::map<std::string, std::string> out;
    std::ifstream f(path);
    std::string line;
    while (std::getline(f, line)) {
        size_t c = line.find(": ");
        if (c != std::string::npos) out[line.substr(0, c)] += line.substr(c + 2);
    }
    return out;
}

struct ProgramScenario {
    testmedia::ScratchDir dir{"peloran_run"};
    std::string input, output, report, capture;
    ProgramScenario() {
        input = dir / "holiday clip.avi";
        output = dir / "converted";
        report = dir / "report.txt";
        capture = dir / "screen";
    }
    std::vector<std::string> Environment(const std::string& backend) const {
        return {"VELMORA_BACKEND=" + backend,
                "PELORAN_AUTOMATION=convert",
                "PELORAN_AUTOMATION_INPUT=" + input,
                "PELORAN_AUTOMATION_OUTPUT=" + output,
                "PELORAN_AUTOMATION_REPORT=" + report,
                "PELORAN_AUTOMATION_CAPTURE=" + capture,
                // Nothing is opened or powered off for real.
                "VELMORA_SHUTDOWN_RECORDER=" + dir / "shutdown.log",
                "VELMORA_OPENER_RECORDER=" + dir / "opener.log",
                "XDG_CONFIG_HOME=" + dir / "config"};
    }
    // What a finished run must have left: the report of a completed row and a good output.
    void Check(const char* name) const {
        std::map<std::string, std::string> r = ReadReport(report);
        EXPECT_EQ(r["error"], "");
        EXPECT_EQ(r["added"], "holiday clip.avi");
        EXPECT_EQ(r["settings"], "h264 640x360");
        EXPECT_NE(r["final_box"].find("Mission accomplished!"), std::string::npos);
        EXPECT_EQ(r["status"], "Completed");
        EXPECT_EQ(r["closed"], "requested");
        testmedia::Report out = testmedia::Check(output + "/holiday clip_new.mp4");
        ASSERT_TRUE(out.opened);
        EXPECT_EQ(out.decodeErrors, 0);
        const testmedia::StreamReport* v = out.FirstOf("video");
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->codec, "h264");
        EXPECT_EQ(v->width, 640);
        EXPECT_EQ(v->height, 360);
        ASSERT_NE(out.FirstOf("audio"), nullptr);
        EXPECT_EQ(out.FirstOf("audio")->codec, "aac");
        for (const char* stage : {"idle", "batch", "final", "after"}) {
            std::string png = capture + "_" + stage + ".png";
            demorun::Picture p;
            ASSERT_TRUE(demorun::Load(png, &p)) << png;
            // Kept beside the test for people to look at.
            ::mkdir("captures", 0777);
            std::ifstream in(png, std::ios::binary);
            std::ofstream keep(std::string("captures/program_") + name + "_" + stage + ".png", std::ios::binary);
            keep << in.rdbuf();
            // The dialog is on screen: the file list's white and many other colours.
            long white = 0;
            std::set<DWORD> colours;
            for (DWORD c : p.px) {
                white += (c & 0xFFFFFF) == 0xFFFFFF;
                if (colours.size() < 1000) colours.insert(c & 0xFFFFFF);
            }
            EXPECT_GT(white, 40000) << png;
            EXPECT_GT(colours.size(), 50u) << png;
        }
        EXPECT_FALSE(Exists(dir / "shutdown.log"));
    }
};

TEST(ProgramRun, ConvertsAFileHeadless) {
    ProgramScenario run;
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::AviMpeg4, run.input, 2.0, 320, 240, 25));
    pid_t pid = Spawn({ProgramPath("peloran")}, run.Environment("headless"));
    ASSERT_GT(pid, 0);
    EXPECT_EQ(WaitFor(pid, 300), 0);
    run.Check("headless");
}

TEST(ProgramRun, WorksWithoutItsSkinFile) {
    // The program alone in a folder with its settings, tips and help but no skin.
    ProgramScenario run;
    const std::string exe = programrun::CopyWithoutSkin(run.dir / "program");
    ASSERT_NE(exe, "");
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::AviMpeg4, run.input, 2.0, 320, 240, 25));
    pid_t pid = Spawn({exe}, run.Environment("headless"));
    ASSERT_GT(pid, 0);
    EXPECT_EQ(WaitFor(pid, 300), 0);
    run.Check("unskinned");
}

TEST(ProgramRun, ConvertsAFileOnAnXServerThroughSdl) {
    if (!xvfb::HaveProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    xvfb::Server server;
    ASSERT_TRUE(server.Start(1024, 768));
    ProgramScenario run;
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::AviMpeg4, run.input, 2.0, 320, 240, 25));
    std::vector<std::string> env = run.Environment("sdl");
    env.push_back("DISPLAY=" + server.display());
    pid_t pid = Spawn({ProgramPath("peloran")}, env);
    ASSERT_GT(pid, 0);
    EXPECT_EQ(WaitFor(pid, 300), 0);
    run.Check("sdl");
}

}  // namespace

namespace {

TEST(ProgramRun, EndsOnSigtermDuringABatchLeavingAPlayableFile) {
    ProgramScenario run;
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::AviMpeg4, run.input, 60.0, 320, 240, 25));
    pid_t pid = Spawn({ProgramPath("peloran")}, run.Environment("headless"));
    ASSERT_GT(pid, 0);
    // Asked to end as a desktop asks, while the file is being written.
    std::string out = run.output + "/holiday clip_new.mp4";
    bool writing = false;
    for (int i = 0; i < 2400 && !writing; ++i) {
        struct stat st {};
        writing = ::stat(out.c_str(), &st) == 0 && st.st_size > 100000;
        if (!writing) std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    ASSERT_TRUE(writing) << ReadReport(run.report)["error"];
    ASSERT_EQ(kill(pid, SIGTERM), 0);
    EXPECT_EQ(WaitFor(pid, 120), 128 + SIGTERM) << "the program did not end on its own";
    std::map<std::string, std::string> r = ReadReport(run.report);
    EXPECT_EQ(r["final_box"], "") << "no one was there to answer the notice; status " << r["status"] << ", capture " << r["capture_batch"];
    // The file being written was finished, not cut off: it plays, or it is not there at all.
    if (Exists(out)) {
        testmedia::Report played = testmedia::Check(out);
        ASSERT_TRUE(played.opened) << "a cut-off file was left behind";
        EXPECT_EQ(played.decodeErrors, 0);
        ASSERT_NE(played.FirstOf("video"), nullptr);
    }
    EXPECT_FALSE(Exists(run.dir / "shutdown.log"));
}

}  // namespace
