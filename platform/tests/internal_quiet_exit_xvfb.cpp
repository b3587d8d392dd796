// A program on an X server ends quiet: SDL is quit and the layer's (and SDL's) threads are finished
// before the leak checker's exit check (an exit handler registered before anything else) runs,
// and a program it started is left running.
#include <gtest/gtest.h>

#include <SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "backend/sdl_backend.h"
#include "backend_xvfb.h"
#include "process_watch.h"
#include "wait_until.h"
#include "windows.h"

namespace {

using namespace std::chrono_literals;

using procwatch::Running;
using procwatch::ThreadsOfThisProcess;

// The threads the program had before the platform started: its main thread, and a helper
// that a sanitizer's runtime may start with the first thread.
int g_own_threads = 0;

void CountOwnThreads() {
    pid_t first = 0;
    std::thread([&] { first = gettid(); }).join();
    const std::string gone = "/proc/self/task/" + std::to_string(first);
    testwait::Until([&] { return access(gone.c_str(), F_OK) != 0; }, 10s);
    g_own_threads = ThreadsOfThisProcess();
}

// Where the leak checker looks: after every exit handler registered later than its own.
// Exits with 0 when the process is quiet, 20 + a mask of what is still up otherwise.
void CheckQuietAtExit() {
    int left = 0;
    if (SDL_WasInit(0) != 0) left |= 1;
    if (!testwait::Until([] { return ThreadsOfThisProcess() == g_own_threads; }, 10s)) left |= 2;
    _exit(left ? 20 + left : 0);
}

// The program on the display with a window shown (10-12 when that fails).
void ShowAWindow(const std::string& display) {
    setenv("VELMORA_BACKEND", "sdl", 1);
    setenv("DISPLAY", display.c_str(), 1);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QuietExitProgram";
    if (!RegisterClassA(&wc)) _exit(10);
    HWND h = CreateWindowExA(0, wc.lpszClassName, "quiet", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 200, 150, nullptr,
                             nullptr, wc.hInstance, nullptr);
    if (!h) _exit(11);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    if ((SDL_WasInit(SDL_INIT_VIDEO) & SDL_INIT_VIDEO) == 0) _exit(12);
}

// The forked program: a window on the display, a program started from it, then the end of main.
[[noreturn]] void RunProgram(const std::string& display, const std::string& pid_file) {
    unsetenv("VELMORA_OPENER_RECORDER");
    CountOwnThreads();
    std::atexit(CheckQuietAtExit);
    ShowAWindow(display);
    // It writes its process id, then waits on its standard input, which the test holds.
    const std::string cmd = "sh -c \"echo $$ > " + pid_file + "; read line\"";
    if (WinExec(cmd.c_str(), SW_SHOW) < 32) _exit(13);
    std::exit(0);
}

pid_t ReadPid(const std::string& path) {
    std::ifstream f(path);
    long pid = 0;
    return (f >> pid) ? pid_t(pid) : 0;
}

TEST(QuietExitOnXvfb, AProgramEndsWithSdlQuitAndNoThreadOfTheLayerLeftLeavingWhatItStartedRunning) {
    if (!xvfb::HaveProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    xvfb::Server server;
    ASSERT_TRUE(server.Start(640, 480));
    const std::string pid_file = ::testing::TempDir() + "quiet_exit_" + std::to_string(getpid()) + ".pid";
    std::remove(pid_file.c_str());
    int input[2];
    ASSERT_EQ(pipe2(input, O_CLOEXEC), 0);
    pid_t program = fork();
    ASSERT_GE(program, 0);
    if (program == 0) {
        close(input[1]);
        dup2(input[0], 0);
        RunProgram(server.display(), pid_file);
    }
    close(input[0]);
    EXPECT_EQ(procwatch::ExitStatus(program), 0) << "21: SDL still initialised, 22: threads still running, 23: both; "
                                         "10-13: the program could not start; -1: it did not end";

    pid_t started = 0;
    EXPECT_TRUE(testwait::Until([&] { return (started = ReadPid(pid_file)) > 0; }, 20s));
    EXPECT_TRUE(started > 0 && Running(started)) << "the started program did not outlive the one that started it";
    close(input[1]);  // lets it end
    if (started > 0) {
        EXPECT_TRUE(testwait::Until([&] { return !Running(started); }, 20s));
    }
    std::remove(pid_file.c_str());
}

struct NoWindowSystem : plat::WindowSystemPort {
    std::vector<plat::TopLevelView> TopLevels() override { return {}; }
    void Deliver(const plat::InputEvent&) override {}
};

HWND H(uintptr_t n) { return reinterpret_cast<HWND>(n); }

TEST(SdlQuitOnXvfb, TheBackendQuitsSdlWhenItEndsAndAnotherCanStartAfterIt) {
    if (!xvfb::HaveProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    xvfb::Server server;
    ASSERT_TRUE(server.Start(640, 480));
    setenv("DISPLAY", server.display().c_str(), 1);
    NoWindowSystem ws;
    for (int round = 0; round < 2; ++round) {
        std::unique_ptr<plat::Backend> b = plat::CreateSdlBackend(ws);
        ASSERT_NE(b, nullptr) << "round " << round;
        b->CreateTopLevel(H(1), RECT{10, 10, 110, 110}, false);
        b->ShowTopLevel(H(1), true);
        b->Present(H(1), plat::Surface(100, 100, 0x00808080), RECT{0, 0, 100, 100});
        b->CreateTopLevel(H(2), RECT{40, 40, 90, 90}, true);
        b->SetCursorShape(32513);
        b->WaitAndDispatch(0);
        EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u);
        b.reset();
        EXPECT_EQ(SDL_WasInit(0), 0u) << "round " << round;
    }
}

// A backend whose server went away without it noticing ends at exit without taking the
// process with it: the exit keeps the program's status.
TEST(SdlQuitOnXvfb, ABackendWhoseServerWentAwayUnnoticedEndsAtExitLeavingTheStatusAlone) {
    if (!xvfb::HaveProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    xvfb::Server server;
    ASSERT_TRUE(server.Start(640, 480));
    int shown[2], go[2];
    ASSERT_EQ(pipe2(shown, O_CLOEXEC), 0);
    ASSERT_EQ(pipe2(go, O_CLOEXEC), 0);
    pid_t program = fork();
    ASSERT_GE(program, 0);
    if (program == 0) {
        setenv("DISPLAY", server.display().c_str(), 1);
        static NoWindowSystem ws;
        plat::Backend* b = plat::CreateSdlBackend(ws).release();  // as the program's, never destroyed
        if (!b) _exit(10);
        b->CreateTopLevel(H(1), RECT{10, 10, 110, 110}, false);
        b->ShowTopLevel(H(1), true);
        b->WaitAndDispatch(0);
        char c = 's';
        if (write(shown[1], &c, 1) != 1 || read(go[0], &c, 1) != 1) _exit(11);
        std::exit(0);  // without a look at the display since
    }
    close(shown[1]);
    close(go[0]);
    char c = 0;
    const bool up = read(shown[0], &c, 1) == 1;
    server.Stop();
    if (up) {
        EXPECT_EQ(write(go[1], "g", 1), 1);
    }
    close(go[1]);
    close(shown[0]);
    EXPECT_EQ(procwatch::ExitStatus(program), 0);
}

}  // namespace
