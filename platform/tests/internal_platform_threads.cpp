// The layer's own threads, the session watch and the reaper of started programs, end when
// stopped (as at exit), start again when needed, and keep serving what they are for.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "process_watch.h"
#include "shell/reaper.h"
#include "user/window.h"
#include "wait_until.h"
#include "windows.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

using procwatch::ThreadsNamed;

bool ThreadsBecome(const char* name, int n) {
    return testwait::Until([&] { return ThreadsNamed(name) == n; }, 20s);
}

pid_t Start(std::vector<const char*> argv) {
    argv.push_back(nullptr);
    pid_t pid = 0;
    return posix_spawnp(&pid, argv[0], nullptr, nullptr, const_cast<char**>(argv.data()), environ) == 0 ? pid : -1;
}

TEST(PlatformThreads, TheSessionWatchsThreadEndsWhenStoppedAndStartsAgainWhenAsked) {
    for (int round = 0; round < 2; ++round) {
        plat::user::WatchForSessionEnd();
        plat::user::WatchForSessionEnd();  // one watch however often asked
        EXPECT_TRUE(ThreadsBecome("session watch", 1)) << "round " << round;
        plat::user::StopSessionWatch();
        EXPECT_TRUE(ThreadsBecome("session watch", 0)) << "round " << round;
        plat::user::StopSessionWatch();  // nothing left to stop
    }
}

// The program in a child process, as the session ends under it: each test reads its status.
template <class Program>
int StatusOf(Program program) {
    pid_t pid = fork();
    if (pid == 0) {
        program();
        _exit(99);
    }
    return procwatch::ExitStatus(pid);
}

int g_told = -1;  // where the window writes what it was told

LRESULT CALLBACK SessionWindow(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ENDSESSION && wp) {
        ssize_t n = write(g_told, "E", 1);
        (void)n;
    }
    return DefWindowProcA(h, msg, wp, lp);
}

TEST(PlatformThreads, SigtermStillEndsTheSessionOfAWindowCreatedAfterTheWatchWasStopped) {
    int told[2];
    ASSERT_EQ(pipe2(told, O_CLOEXEC), 0);
    const int status = StatusOf([&] {
        g_told = told[1];
        plat::user::WatchForSessionEnd();
        plat::user::StopSessionWatch();
        WNDCLASSA wc{};
        wc.lpfnWndProc = SessionWindow;
        wc.lpszClassName = "SessionAfterStop";
        RegisterClassA(&wc);
        if (!CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                             nullptr, nullptr))
            _exit(98);
        raise(SIGTERM);
        MSG m;
        while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);  // the session end ends it
    });
    close(told[1]);
    char c = 0;
    EXPECT_EQ(read(told[0], &c, 1), 1);
    EXPECT_EQ(c, 'E') << "the window was not told the session ends";
    close(told[0]);
    EXPECT_EQ(status, 128 + SIGTERM);
}

LRESULT CALLBACK EndsAtOnce(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_QUERYENDSESSION) std::exit(0);  // as a program whose main returns meanwhile
    return DefWindowProcA(h, msg, wp, lp);
}

TEST(PlatformThreads, AProgramThatExitsDuringASessionEndEndsWithTheSessionsStatus) {
    EXPECT_EQ(StatusOf([] {
                  WNDCLASSA wc{};
                  wc.lpfnWndProc = EndsAtOnce;
                  wc.lpszClassName = "EndsAtOnce";
                  RegisterClassA(&wc);
                  if (!CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                       nullptr, nullptr, nullptr))
                      _exit(98);
                  raise(SIGTERM);
                  MSG m;
                  while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
              }),
              128 + SIGTERM);
}

TEST(PlatformThreads, WithTheWatchStoppedASignalEndsTheProcessAtOnce) {
    EXPECT_EQ(StatusOf([] {
                  plat::user::WatchForSessionEnd();
                  plat::user::StopSessionWatch();
                  raise(SIGINT);
                  pause();
              }),
              128 + SIGINT);
}

TEST(PlatformThreads, OneThreadReapsEveryEndedChildAndStoppingItLeavesTheRunningOnes) {
    std::vector<pid_t> kids;
    for (int i = 0; i < 3; ++i) {
        kids.push_back(Start({"sleep", "60"}));
        ASSERT_GT(kids.back(), 0);
        plat::shell::ReapWhenEnded(kids.back());
    }
    EXPECT_TRUE(ThreadsBecome("child reaper", 1)) << ThreadsNamed("child reaper");
    kill(kids[0], SIGKILL);
    kill(kids[1], SIGKILL);
    EXPECT_TRUE(testwait::Until([&] { return procwatch::Reaped(kids[0]) && procwatch::Reaped(kids[1]); }, 20s));
    EXPECT_TRUE(procwatch::Running(kids[2]));

    // Stopping does not wait for the one still running.
    plat::shell::StopReaping();
    EXPECT_TRUE(ThreadsBecome("child reaper", 0));
    kill(kids[2], SIGKILL);

    // The next child starts it again, and the one left is reaped with it.
    pid_t quick = Start({"true"});
    ASSERT_GT(quick, 0);
    plat::shell::ReapWhenEnded(quick);
    EXPECT_TRUE(testwait::Until([&] { return procwatch::Reaped(kids[2]) && procwatch::Reaped(quick); }, 20s));
    plat::shell::StopReaping();
    EXPECT_TRUE(ThreadsBecome("child reaper", 0));
}

}  // namespace
