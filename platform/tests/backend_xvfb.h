// A private X server for tests of the SDL2 backend: Xvfb on a display number it picks itself
// (-displayfd, so parallel tests never collide), and screenshots of it through xwd/convert.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "wait_until.h"

extern char** environ;

namespace xvfb {

// What a shell command line prints on its standard output (its errors dropped).
inline std::string CommandOutput(const std::string& cmd) {
    std::string out;
    FILE* p = popen((cmd + " 2>/dev/null").c_str(), "r");
    if (!p) return out;
    char buf[512];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

inline bool HaveProgram(const char* name) {
    std::string cmd = std::string("command -v ") + name + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

// Clients of a test server draw with SDL's own software renderer, not through OpenGL. On the
// virtual framebuffer that GL is Mesa's software rasteriser anyway: loaded, it leaves some
// seventeen helper threads running at exit and dynamic thread-local blocks that the sanitizer
// runtime of this compiler now and then misreads in LeakSanitizer's exit check ("Tracer caught
// signal 11" while scanning a bogus DTLS range of the main thread). The presented pixels are
// the same. Set before SDL starts in this process; the programs a test starts inherit it.
inline void QuietRenderer() {
    setenv("SDL_RENDER_DRIVER", "software", 0);
    setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
}

// Whether the window manager on `display` manages the windows mapped from now on. openbox names
// itself on the root window (_NET_SUPPORTING_WM_CHECK) early in its start-up, and a window
// mapped about then is often left unmapped until some later event wakes the manager; SDL_ShowWindow
// waits for the map meanwhile. So a small probe window (xmessage) is mapped and must come back with
// the WM_STATE a manager puts on what it manages; one not managed within two seconds is replaced
// by a fresh one (whose map request also wakes the manager), until `bound` has passed. The probe
// is gone again, off the manager's client list, before this returns.
inline bool ManagerTakesNewWindows(const std::string& display, std::chrono::milliseconds bound) {
    const std::string title = "manager-probe-" + std::to_string(getpid());
    const std::string on = " -display " + display + " ";
    const auto end = std::chrono::steady_clock::now() + bound;
    for (;;) {
        const std::string cmd = "exec xmessage -display " + display + " -title " + title +
                                " -geometry +0+0 -timeout 60 probe";
        const char* argv[] = {"sh", "-c", cmd.c_str(), nullptr};
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
        pid_t probe = -1;
        int rc = posix_spawnp(&probe, "sh", &fa, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&fa);
        if (rc != 0) return false;
        std::string id;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        const bool managed = testwait::Until(
            [&] {
                std::string info = CommandOutput("xwininfo" + on + "-name " + title);
                size_t at = info.find("Window id: ");
                if (at == std::string::npos) return false;
                id = info.substr(at + 11, info.find(' ', at + 11) - at - 11);
                return CommandOutput("xprop" + on + "-id " + id + " WM_STATE").find("window state: Normal") !=
                       std::string::npos;
            },
            std::min(left, std::chrono::milliseconds(2000)),
            [] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); });
        kill(probe, SIGTERM);
        waitpid(probe, nullptr, 0);
        if (managed)
            return testwait::Until(
                [&] {
                    std::string list = CommandOutput("xprop" + on + "-root _NET_CLIENT_LIST");
                    std::replace(list.begin(), list.end(), '\n', ',');
                    return list.find(" " + id + ",") == std::string::npos;
                },
                std::chrono::milliseconds(10000), [] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); });
        if (std::chrono::steady_clock::now() >= end) return false;
    }
}

class Server {
public:
    // Starts Xvfb with one screen of the given size; display() is empty on failure.
    bool Start(int width, int height) {
        QuietRenderer();
        int fds[2];
        if (pipe(fds) != 0) return false;
        std::string fd = std::to_string(fds[1]);
        std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
                              "-nolisten", "tcp", "-noreset", nullptr};
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_addclose(&fa, fds[0]);
        posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
        int rc = posix_spawnp(&pid_, "Xvfb", &fa, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&fa);
        close(fds[1]);
        if (rc != 0) {
            close(fds[0]);
            pid_ = -1;
            return false;
        }
        // Xvfb writes the display number once it accepts connections.
        std::string num;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n') num += c;
        close(fds[0]);
        if (num.empty()) {
            Stop();
            return false;
        }
        display_ = ":" + num;
        return true;
    }

    void Stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int st;
            waitpid(pid_, &st, 0);
        }
        pid_ = -1;
        display_.clear();
    }

    ~Server() { Stop(); }

    const std::string& display() const { return display_; }

    // The whole screen as a PNG file.
    bool Screenshot(const std::string& png_path) const {
        std::string cmd = "xwd -root -silent -display " + display_ + " | convert xwd:- png:'" + png_path + "'";
        return std::system(cmd.c_str()) == 0;
    }

private:
    pid_t pid_ = -1;
    std::string display_;
};

}  // namespace xvfb
