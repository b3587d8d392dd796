// The end of the desktop session for this process: SIGTERM or SIGINT, as a desktop asks a
// program to end, or the loss of the display it shows on, becomes the platform's
// end-of-session messages to every top-level window, so the program can finish its work
// cleanly; the process then ends. Its thread is finished before the process exits, so the
// exit runs on a quiet process.
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "user/window.h"

namespace plat::user {
namespace {

// The state of the watch: kNotWatching before the first window's and once stopped, 0 while a
// thread watches, and above 0 the exit status of the session end under way.
constexpr int kNotWatching = -1;
std::atomic<int> g_state{kNotWatching};
int g_pipe[2] = {-1, -1};

std::mutex g_mu;  // starting and stopping the watch
std::thread* g_watch = nullptr;
pid_t g_watcher_process = 0;  // a forked child has no such thread, and shares the pipe
std::atomic<bool> g_exiting{false};  // the process is ending: no watch starts again

void Request() {
    char c = 1;
    ssize_t n = write(g_pipe[1], &c, 1);
    (void)n;
}

void OnSignal(int sig) {
    // With no watch to serve it (the process is ending), or as a second request while the first
    // is still being served, the signal ends the process at once.
    if (g_state.exchange(128 + sig) != 0) _exit(128 + sig);
    Request();
}

std::vector<HWND> SessionWindows() {
    std::vector<HWND> out;
    Guard g(GlobalLock());
    for (HWND t : TopLevels()) {
        Window* w = W(t);
        // The windows on screen: hidden helpers may belong to threads that never read messages.
        if (w && (w->style & WS_VISIBLE) && !w->is_message_only && !(w->cls && w->cls->name == "#32768"))
            out.push_back(t);
    }
    return out;
}

void EndSession(int code) {
    std::vector<HWND> tops = SessionWindows();
    // The session ends whatever the answers; a window that does not answer in time is left.
    DWORD_PTR ignored = 0;
    for (HWND t : tops)
        SendMessageTimeoutA(t, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG, 1000, &ignored);
    for (HWND t : tops)
        SendMessageTimeoutA(t, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG, 120000, &ignored);
    _exit(code);
}

void Watch() {
    pthread_setname_np(pthread_self(), "session watch");
    char c = 0;
    for (;;) {
        ssize_t n = read(g_pipe[0], &c, 1);
        if (n == 1) break;
        if (n < 0 && errno == EINTR) continue;
        return;
    }
    const int code = g_state.load();
    if (code > 0) EndSession(code);  // otherwise the watch was stopped
}

// Exit handlers run in the reverse order of their registration: this one, registered with the
// first watch, runs before those registered when the process started (the leak checker's).
void StopAtExit() {
    g_exiting = true;
    StopSessionWatch();
}

}  // namespace

void WatchForSessionEnd() {
    std::lock_guard<std::mutex> g(g_mu);
    if (g_watch || g_exiting) return;
    static const bool ready = [] {
        if (pipe2(g_pipe, O_CLOEXEC) != 0) return false;
        struct sigaction sa {};
        sa.sa_handler = OnSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &sa, nullptr);
        sigaction(SIGINT, &sa, nullptr);
        std::atexit(StopAtExit);
        return true;
    }();
    if (!ready) return;
    g_watch = new std::thread(Watch);
    g_watcher_process = getpid();
    g_state.store(0);
}

void StopSessionWatch() {
    std::lock_guard<std::mutex> g(g_mu);
    if (!g_watch || g_watcher_process != getpid()) return;
    int watching = 0;
    // A session end under way ends the process anyway, with its own status; waiting for it
    // here could wait on windows of this very thread, which no longer reads its messages.
    if (!g_state.compare_exchange_strong(watching, kNotWatching) && watching > 0) _exit(watching);
    Request();
    g_watch->join();
    delete g_watch;
    g_watch = nullptr;
}

void EndSessionForLostDisplay() {
    WatchForSessionEnd();
    int watching = 0;
    if (g_state.compare_exchange_strong(watching, 1)) {
        Request();
        return;
    }
    // A session end already under way goes on (the desktop asked first, then went away); a
    // process that is ending already goes on ending.
    if (watching > 0 || g_exiting) return;
    _exit(1);  // no watch could start
}

}  // namespace plat::user
