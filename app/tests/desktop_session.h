// The program on a private X server, driven from the desktop itself: real pointer and key
// events through xdotool, with or without a window manager (openbox), and what the program
// reports of itself in its observe mode (PELORAN_AUTOMATION=observe).
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "backend_xvfb.h"
#include "demo_run_support.h"
#include "testmedia.h"
#include "wait_until.h"

namespace desktop {

// The output of a shell command line (stderr dropped).
inline std::string Output(const std::string& cmd) { return xvfb::CommandOutput(cmd); }

// Each look asks the X server or reads the program's report: a look every 50 ms is plenty.
inline bool PollFor(const std::function<bool()>& done, int seconds) {
    return testwait::Until(done, std::chrono::seconds(seconds),
                           [] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); });
}

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int cx() const { return (left + right) / 2; }
    int cy() const { return (top + bottom) / 2; }
};

// The centres of the default skin's caption buttons on a window at `w`: 28 x 24, 3 below its
// top edge; close 6 from its right edge, minimise 2 left of that.
struct Spot {
    int x = 0, y = 0;
};
inline Spot CloseButton(const Rect& w) { return Spot{w.right - 6 - 28 / 2, w.top + 3 + 24 / 2}; }
inline Spot MinimiseButton(const Rect& w) { return Spot{CloseButton(w).x - 28 - 2, CloseButton(w).y}; }

class Session {
public:
    // What a test needs on this machine; the reason when something is missing.
    static std::string Missing(bool with_manager) {
        for (const char* p : {"Xvfb", "xdotool", "xprop", "xwininfo"})
            if (!xvfb::HaveProgram(p)) return std::string(p) + " is not installed";
        if (with_manager)
            for (const char* p : {"openbox", "xmessage"})
                if (!xvfb::HaveProgram(p)) return std::string(p) + " is not installed";
        return std::string();
    }

    // Starts the program (the one built beside the test, or `program`) on a new X server.
    bool Start(bool with_manager, const std::vector<std::string>& env_extra = {}, const std::string& program = "") {
        if (!server_.Start(1024, 768)) return false;
        if (with_manager && !StartManager()) return false;
        report_ = dir_ / "observe.txt";
        std::vector<std::string> env = {"VELMORA_BACKEND=sdl",
                                        "DISPLAY=" + server_.display(),
                                        "PELORAN_AUTOMATION=observe",
                                        "PELORAN_AUTOMATION_REPORT=" + report_,
                                        "VELMORA_SHUTDOWN_RECORDER=" + dir_ / "shutdown.log",
                                        "VELMORA_OPENER_RECORDER=" + dir_ / "opener.log",
                                        "XDG_CONFIG_HOME=" + dir_ / "config",
                                        "HOME=" + dir_.path()};
        env.insert(env.end(), env_extra.begin(), env_extra.end());
        program_ = demorun::Spawn({program.empty() ? demorun::ProgramPath("peloran") : program}, env);
        if (program_ <= 0) return false;
        // The program reports itself once its window shows; the desktop maps it a moment later
        // (a window manager may first put it elsewhere), and a click before it is in its place
        // would land beside it.
        // Keys typed before the desktop gives it the keyboard would go nowhere.
        return PollFor([&] { return Report().count("folder") && InPlace("Velmora Corvane", Reported("window")); },
                       60) &&
               WaitForKeyboard("Velmora Corvane");
    }

    // Another client of the desktop, put in its top left corner out of the program's way; it
    // ends with the session.
    bool StartOther(const std::string& program) {
        std::string path = Output("command -v " + program);
        while (!path.empty() && path.back() == '\n') path.pop_back();
        if (path.empty()) return false;
        others_.push_back(demorun::Spawn({path, "-geometry", "80x80+0+0"}, {"DISPLAY=" + server_.display()}));
        return others_.back() > 0;
    }

    ~Session() {
        if (program_ > 0) {
            kill(program_, SIGKILL);
            waitpid(program_, nullptr, 0);
        }
        for (pid_t p : others_) {
            if (p <= 0) continue;
            kill(p, SIGKILL);
            waitpid(p, nullptr, 0);
        }
        if (manager_ > 0) {
            kill(manager_, SIGTERM);
            waitpid(manager_, nullptr, 0);
        }
    }

    // The program's exit code once it ends within `seconds`, else -1.
    int WaitForExit(int seconds) {
        int code = -1;
        PollFor(
            [&] {
                int st = 0;
                if (waitpid(program_, &st, WNOHANG) != program_) return false;
                code = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
                program_ = -1;
                return true;
            },
            seconds);
        return code;
    }
    pid_t pid() const { return program_; }

    // The observe report: the last value of each key.
    std::map<std::string, std::string> Report() const {
        std::map<std::string, std::string> out;
        std::ifstream f(report_);
        std::string line;
        while (std::getline(f, line)) {
            if (f.eof()) break;  // a last line without its end is still being written
            size_t c = line.find(": ");
            if (c != std::string::npos) out[line.substr(0, c)] = line.substr(c + 2);
        }
        return out;
    }
    desktop::Rect Control(int id) const { return Reported("control " + std::to_string(id)); }
    desktop::Rect Reported(const std::string& key) const {
        desktop::Rect r;
        std::istringstream(Report()[key]) >> r.left >> r.top >> r.right >> r.bottom;
        return r;
    }
    // Whether the mapped window titled `title` is where the program put it.
    bool InPlace(const std::string& title, const desktop::Rect& r) const {
        unsigned long w = Window(title);
        std::string want = "Position: " + std::to_string(r.left) + "," + std::to_string(r.top) + " ";
        return w && Xdo("getwindowgeometry " + std::to_string(w)).find(want) != std::string::npos;
    }
    bool WaitForFolder(const std::string& text, int seconds = 10) const {
        return PollFor([&] { return Report()["folder"] == text; }, seconds);
    }
    // Waits until the program reports `key` as `value`.
    bool WaitForReport(const std::string& key, const std::string& value, int seconds = 10) const {
        return PollFor([&] { return Report()[key] == value; }, seconds);
    }
    // Where the caret of the output folder is (its selection's start), and the control with the
    // program's focus (0: none); -1 while the program has not said.
    int FolderCaret() const {
        auto r = Report();
        return r.count("folder caret") ? std::atoi(r["folder caret"].c_str()) : -1;
    }
    int Focus() const {
        auto r = Report();
        return r.count("focus") ? std::atoi(r["focus"].c_str()) : -1;
    }
    // Whether the desktop's keyboard goes to the window titled `title`, within `seconds`.
    bool WaitForKeyboard(const std::string& title, int seconds = 20) const {
        return PollFor(
            [&] {
                unsigned long w = Window(title);
                return w && FocusedWindow() == w;
            },
            seconds);
    }

    // xdotool on this server.
    std::string Xdo(const std::string& args) const { return Output(Env() + "xdotool " + args); }
    // The server hands the program its input in the order it was sent, so a step needs no
    // pause before the next; what a step did is polled for.
    void Click(int x, int y, int button = 1) const {
        Xdo("mousemove --sync " + std::to_string(x) + " " + std::to_string(y) + " click " + std::to_string(button));
    }
    void Type(const std::string& text) const { Xdo("type --delay 20 '" + text + "'"); }
    void Key(const std::string& keys) const { Xdo("key " + keys); }
    // The program's mapped X windows, and where one of them is on the screen.
    std::vector<unsigned long> Windows() const {
        std::istringstream ids(Xdo("search --onlyvisible --pid " + std::to_string(program_)));
        std::vector<unsigned long> out;
        for (unsigned long w; ids >> w;) out.push_back(w);
        return out;
    }
    desktop::Rect Geometry(unsigned long window) const {
        std::string g = Xdo("getwindowgeometry " + std::to_string(window));
        desktop::Rect r;
        int w = 0, h = 0;
        size_t at = g.find("Position: "), size = g.find("Geometry: ");
        if (at == std::string::npos || size == std::string::npos ||
            std::sscanf(g.c_str() + at, "Position: %d,%d", &r.left, &r.top) != 2 ||
            std::sscanf(g.c_str() + size, "Geometry: %dx%d", &w, &h) != 2)
            return desktop::Rect();
        r.right = r.left + w;
        r.bottom = r.top + h;
        return r;
    }
    // The mapped X window of the top level titled `title` (0: none).
    unsigned long Window(const std::string& title) const {
        return std::strtoul(Xdo("search --onlyvisible --name '^" + title + "$'").c_str(), nullptr, 10);
    }
    // The window the desktop's keyboard goes to (0: none), and whether it is one of the
    // program's windows on screen.
    unsigned long FocusedWindow() const { return std::strtoul(Xdo("getwindowfocus").c_str(), nullptr, 10); }
    bool IsProgramWindow(unsigned long window) const {
        std::istringstream ids(Xdo("search --onlyvisible --pid " + std::to_string(program_)));
        unsigned long id = 0;
        while (ids >> id)
            if (window && id == window) return true;
        return false;
    }
    // How many of the program's windows are on screen (a popup open makes one more).
    int VisibleWindows() const {
        std::string ids = Xdo("search --onlyvisible --pid " + std::to_string(program_));
        int n = 0;
        for (char c : ids) n += c == '\n';
        return n;
    }
    // The top-level X window under the pointer, and the root window (the bare desktop).
    unsigned long WindowUnderPointer() const {
        std::string loc = Xdo("getmouselocation");
        size_t at = loc.find("window:");
        return at == std::string::npos ? 0 : std::strtoul(loc.c_str() + at + 7, nullptr, 10);
    }
    unsigned long RootWindow() const {
        std::string info = Output(Env() + "xwininfo -root");
        size_t at = info.find("Window id: ");
        return at == std::string::npos ? 0 : std::strtoul(info.c_str() + at + 11, nullptr, 16);
    }
    // A property of the root window as xprop prints it.
    std::string RootProperty(const char* name) const { return Output(Env() + "xprop -root " + name); }
    std::string WindowProperty(unsigned long window, const char* name) const {
        return Output(Env() + "xprop -id " + std::to_string(window) + " " + name);
    }
    bool Screenshot(const std::string& png) const { return server_.Screenshot(png); }
    testmedia::ScratchDir& dir() { return dir_; }

private:
    std::string Env() const { return "DISPLAY=" + server_.display() + " "; }
    bool StartManager() {
        std::string openbox = Output("command -v openbox");
        while (!openbox.empty() && openbox.back() == '\n') openbox.pop_back();
        manager_ = demorun::Spawn({openbox}, {"DISPLAY=" + server_.display()});
        if (manager_ <= 0) return false;
        return xvfb::ManagerTakesNewWindows(server_.display(), std::chrono::seconds(60));
    }

    testmedia::ScratchDir dir_{"peloran_desktop"};
    xvfb::Server server_;
    pid_t manager_ = -1, program_ = -1;
    std::vector<pid_t> others_;
    std::string report_;
};

}  // namespace desktop
