// Runs the sample programs as a user would, headless and on a private X server, and reads
// their pictures back.
#pragma once

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "backend_xvfb.h"
#include "wait_until.h"
#include "winplat_test.h"

namespace demorun {

struct Picture {
    int width = 0, height = 0;
    std::vector<DWORD> px;
    DWORD At(int x, int y) const { return px[size_t(y) * size_t(width) + size_t(x)] & 0xFFFFFFu; }
};

inline bool Load(const std::string& path, Picture* p) {
    if (!WinTestReadPng(path.c_str(), nullptr, 0, &p->width, &p->height) && p->width <= 0) return false;
    p->px.resize(size_t(p->width) * size_t(p->height));
    return WinTestReadPng(path.c_str(), p->px.data(), int(p->px.size()), &p->width, &p->height);
}

// A program built beside the test.
inline std::string ProgramPath(const char* name) {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    std::string self(buf, n > 0 ? size_t(n) : 0);
    return self.substr(0, self.rfind('/') + 1) + name;
}

inline std::string Temp(const char* name) {
    return ::testing::TempDir() + "backend_demo_" + std::to_string(getpid()) + "_" + name;
}

inline bool Exists(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0;
}

// Runs the demo with extra environment settings; returns its pid (or -1).
inline pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env_extra) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string s = *e;
        bool replaced = false;
        for (const std::string& x : env_extra)
            if (s.compare(0, x.find('=') + 1, x, 0, x.find('=') + 1) == 0) replaced = true;
        if (!replaced) env.push_back(s);
    }
    env.insert(env.end(), env_extra.begin(), env_extra.end());
    std::vector<char*> argv, envp;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    pid_t pid;
    if (posix_spawn(&pid, args[0].c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
    return pid;
}

inline int Wait(pid_t pid) {
    int st = 0;
    if (waitpid(pid, &st, 0) != pid) return -1;
    return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
}


// Shows `program` headless (capturing the screen) and on a private X server through SDL2
// (screenshot), and counts the window pixels where the two pictures differ.
struct Comparison {
    bool ok = false;
    std::string failure;
    long compared = 0, differ = 0;
};
inline Comparison CompareHeadlessWithX(const std::string& program) {
    Comparison c;
    std::string headless_png = Temp("ref.png");
    pid_t ref = Spawn({program, "--capture", headless_png}, {"VELMORA_BACKEND=headless", "VELMORA_SCREEN=1024x768"});
    if (ref <= 0 || Wait(ref) != 0) return c.failure = "the headless run failed", c;
    Picture want;
    if (!Load(headless_png, &want)) return c.failure = "no headless capture", c;

    xvfb::Server server;
    if (!server.Start(1024, 768)) return c.failure = "Xvfb did not start", c;
    std::string ready = Temp("ready");
    // The program holds its picture well past the bound of the wait below and is then asked
    // to end as a desktop would; the pictures are compared once the X server shows them.
    pid_t pid = Spawn({program, "--ready", ready, "--hold-ms", "120000"},
                      {"VELMORA_BACKEND=sdl", "DISPLAY=" + server.display()});
    if (pid <= 0) return c.failure = "the X run did not start", c;
    bool exited = false;
    int rc = -1;
    auto gone = [&] {
        int st = 0;
        if (!exited && waitpid(pid, &st, WNOHANG) == pid) {
            exited = true;
            rc = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        }
        return exited;
    };
    bool was_ready = testwait::Until([&] { return Exists(ready) || gone(); }, std::chrono::seconds(30)) && Exists(ready);
    // Wherever the headless screen shows a window, the X screen must show the same pixel.
    DWORD desktop = want.At(want.width - 1, want.height - 1);
    std::string shot_png = Temp("x.png");
    bool shot = false, same_size = true;
    auto compare = [&] {
        Picture got;
        shot = !gone() && server.Screenshot(shot_png) && Load(shot_png, &got);
        if (!shot) return exited;
        same_size = got.width == want.width && got.height == want.height;
        if (!same_size) return true;
        c.compared = c.differ = 0;
        for (int y = 0; y < want.height; ++y)
            for (int x = 0; x < want.width; ++x) {
                if (want.At(x, y) == desktop) continue;
                ++c.compared;
                if (got.At(x, y) != want.At(x, y)) ++c.differ;
            }
        return c.differ == 0;
    };
    // "Ready" means painted, not yet shown by the X server: the screen is read until it
    // matches, within a bound; the counts of the last reading stand.
    if (was_ready) testwait::Until(compare, std::chrono::seconds(20), [] {});
    if (!exited) {
        kill(pid, SIGTERM);
        rc = Wait(pid) == 128 + SIGTERM ? 0 : 1;
    }
    if (!was_ready) return c.failure = "the program never reported itself on screen", c;
    if (!shot) return c.failure = "no X screenshot while the program ran", c;
    if (rc != 0) return c.failure = "the X run failed", c;
    if (!same_size) return c.failure = "screen sizes differ", c;
    std::remove(headless_png.c_str());
    std::remove(shot_png.c_str());
    std::remove(ready.c_str());
    c.ok = true;
    return c;
}

}  // namespace demorun
