// The program on an X server that goes away during a batch (the server ends, the session is
// closed, a remote display drops): it ends on its own within seconds, as when the desktop asks
// it to end, and the file it was writing is finished so that it plays.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "backend_xvfb.h"
#include "demo_run_support.h"
#include "program_run.h"
#include "testmedia.h"
#include "wait_until.h"

namespace {

TEST(DesktopLostDisplay, TheProgramEndsWithinSecondsLeavingAPlayableFile) {
    if (!xvfb::HaveProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    testmedia::ScratchDir dir{"peloran_lost_display"};
    const std::string input = dir / "long clip.avi", output = dir / "converted";
    const std::string out = output + "/long clip_new.mp4";
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::AviMpeg4, input, 60.0, 320, 240, 25));
    auto server = std::make_unique<xvfb::Server>();
    ASSERT_TRUE(server->Start(1024, 768));
    // The program's own automation adds the clip and starts the batch.
    pid_t pid = demorun::Spawn({demorun::ProgramPath("peloran")},
                               {"VELMORA_BACKEND=sdl", "DISPLAY=" + server->display(), "PELORAN_AUTOMATION=convert",
                                "PELORAN_AUTOMATION_INPUT=" + input, "PELORAN_AUTOMATION_OUTPUT=" + output,
                                "PELORAN_AUTOMATION_REPORT=" + dir / "report.txt",
                                "VELMORA_SHUTDOWN_RECORDER=" + dir / "shutdown.log",
                                "VELMORA_OPENER_RECORDER=" + dir / "opener.log", "XDG_CONFIG_HOME=" + dir / "config"});
    ASSERT_GT(pid, 0);
    const bool writing = testwait::Until(
        [&] {
            struct stat st {};
            return ::stat(out.c_str(), &st) == 0 && st.st_size > 100000;
        },
        std::chrono::seconds(120));
    if (!writing) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    ASSERT_TRUE(writing) << "the batch did not start writing " << out;

    // The display goes away under it. The program stops the batch, finishes the file and
    // ends; that takes seconds, more on a busy machine, and the bound only catches a program
    // that stays. One that went on converting instead is caught by the length of the file.
    server.reset();
    const auto lost = std::chrono::steady_clock::now();
    EXPECT_EQ(programrun::WaitFor(pid, 45), 1) << "the program did not end within 45 s of losing its display";
    std::printf("ended %.1f s after losing its display\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - lost).count());

    // The file being written was finished, not cut off, and the batch had not run to its end.
    testmedia::Report played = testmedia::Check(out);
    ASSERT_TRUE(played.opened) << "a cut-off file was left behind";
    EXPECT_EQ(played.decodeErrors, 0);
    ASSERT_NE(played.FirstOf("video"), nullptr);
    EXPECT_GT(played.duration, 0.0);
    EXPECT_LT(played.duration, 59.0);
    EXPECT_FALSE(demorun::Exists(dir / "shutdown.log"));
}

}  // namespace
