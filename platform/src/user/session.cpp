// The end of the desktop session for this process: SIGTERM or SIGINT, as a desktop asks a
// program to end, or the loss of the display it shows on, becomes the platform's
// end-of-session messages to every top-level window, so the program can finish its work
// cleanly; the process then ends.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <thread>
#include <vector>

#include "user/window.h"

namespace plat::user {
namespace {

int g_pipe[2] = {-1, -1};
std::atomic<int> g_exit_code{0};  // of the session end under way; 0: none

void Request() {
    char c = 1;
    ssize_t n = write(g_pipe[1], &c, 1);
    (void)n;
}

void OnSignal(int sig) {
    // A second request while the first is still being served ends the process at once.
    if (g_exit_code.exchange(128 + sig) != 0) _exit(128 + sig);
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
    char c = 0;
    for (;;) {
        ssize_t n = read(g_pipe[0], &c, 1);
        if (n == 1) break;
        if (n < 0 && errno == EINTR) continue;
        return;
    }
    EndSession(g_exit_code.load());
}

}  // namespace

void WatchForSessionEnd() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (pipe2(g_pipe, O_CLOEXEC) != 0) return;
        struct sigaction sa {};
        sa.sa_handler = OnSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &sa, nullptr);
        sigaction(SIGINT, &sa, nullptr);
        std::thread(Watch).detach();
    });
}

void EndSessionForLostDisplay() {
    WatchForSessionEnd();
    // A session end already under way goes on (the desktop asked first, then went away).
    int none = 0;
    if (!g_exit_code.compare_exchange_strong(none, 1)) return;
    if (g_pipe[1] < 0) _exit(1);
    Request();
}

}  // namespace plat::user
