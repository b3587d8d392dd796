// The sample program, run as a user would: headless it captures its screen to PNG; on an X
// server through the SDL2 backend its windows show the same picture, popup menu included.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "backend_xvfb.h"
#include "winplat_test.h"

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<DWORD> px;
    DWORD At(int x, int y) const { return px[size_t(y) * size_t(width) + size_t(x)] & 0xFFFFFFu; }
};

bool Load(const std::string& path, Picture* p) {
    if (!WinTestReadPng(path.c_str(), nullptr, 0, &p->width, &p->height) && p->width <= 0) return false;
    p->px.resize(size_t(p->width) * size_t(p->height));
    return WinTestReadPng(path.c_str(), p->px.data(), int(p->px.size()), &p->width, &p->height);
}

std::string DemoPath() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    std::string self(buf, n > 0 ? size_t(n) : 0);
    return self.substr(0, self.rfind('/') + 1) + "platform_demo";
}

std::string Temp(const char* name) {
    return ::testing::TempDir() + "backend_demo_" + std::to_string(getpid()) + "_" + name;
}

bool Exists(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0;
}

// Runs the demo with extra environment settings; returns its pid (or -1).
pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env_extra) {
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

int Wait(pid_t pid) {
    int st = 0;
    if (waitpid(pid, &st, 0) != pid) return -1;
    return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
}

// The demo's pictures: colours it paints, where the headless capture must show them.
struct Found {
    int yellow_left = -1, yellow_top = -1;
    int count_yellow = 0, count_green = 0, count_blue = 0, count_title = 0;
};

Found Scan(const Picture& p) {
    Found f;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            DWORD c = p.At(x, y);
            if (c == 0xFFD200) {
                if (f.yellow_left < 0 || x < f.yellow_left) f.yellow_left = x;
                if (f.yellow_top < 0) f.yellow_top = y;
                ++f.count_yellow;
            }
            if (c == 0x009650) ++f.count_green;
            if (c == 0x285AC8) ++f.count_blue;
            if (c == 0x000080) ++f.count_title;
        }
    return f;
}

}  // namespace

TEST(SampleProgram, HeadlessCaptureShowsCaptionShapesTextBitmapAndTheOpenMenu) {
    std::string png = Temp("headless.png");
    pid_t pid = Spawn({DemoPath(), "--capture", png}, {"VELMORA_BACKEND=headless"});
    ASSERT_GT(pid, 0);
    ASSERT_EQ(Wait(pid), 0) << "the demo did not capture and exit cleanly";
    Picture p;
    ASSERT_TRUE(Load(png, &p));
    Found f = Scan(p);
    // A 120x80 rectangle with a 2-pixel pen: its yellow inside.
    EXPECT_GT(f.count_yellow, 110 * 70);
    EXPECT_LT(f.count_yellow, 120 * 80);
    EXPECT_GT(f.count_green, 5000) << "ellipse";
    EXPECT_GT(f.count_blue, 3000) << "triangle";
    EXPECT_GT(f.count_title, 40) << "text in the title colour";
    ASSERT_GE(f.yellow_left, 0);
    // The canvas origin follows from the rectangle (16,48 outside, a 2-pixel pen inside).
    int ox = f.yellow_left - 16 - 1, oy = f.yellow_top - 48 - 1;
    // The bitmap at (300,48), 96x96, pixel for pixel as generated.
    int wrong = 0;
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 96; ++x) {
            bool check = ((x / 8) + (y / 8)) % 2 == 0;
            DWORD want = DWORD(x * 255 / 95) << 16 | DWORD(y * 255 / 95) << 8 | (check ? 0xC0u : 0x30u);
            int sx = ox + 300 + x, sy = oy + 48 + y;
            if (sx < 0 || sy < 0 || sx >= p.width || sy >= p.height || p.At(sx, sy) != want) ++wrong;
        }
    EXPECT_EQ(wrong, 0) << "bitmap pixels (canvas at " << ox << "," << oy << ")";
    // The caption bar above the canvas is not the desktop and not the canvas.
    EXPECT_NE(p.At(ox + 100, oy - 20), p.At(2, p.height - 2));
    // The menu opens at canvas (300,200), where the canvas itself is blank: its text shows.
    int dark = 0;
    for (int y = oy + 200; y < oy + 240 && y < p.height; ++y)
        for (int x = ox + 300; x < ox + 380 && x < p.width; ++x)
            if ((p.At(x, y) & 0xFF) < 0x40 && ((p.At(x, y) >> 8) & 0xFF) < 0x40) ++dark;
    EXPECT_GT(dark, 10) << "no menu item text where the menu opened";
    std::remove(png.c_str());
}

TEST(SampleProgram, ShowsTheSamePictureOnAnXServerThroughSdl) {
    if (!xvfb::HaveProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(xvfb::HaveProgram("xwd") && xvfb::HaveProgram("convert")) << "xwd and convert are needed";
    std::string headless_png = Temp("ref.png");
    pid_t ref = Spawn({DemoPath(), "--capture", headless_png}, {"VELMORA_BACKEND=headless", "VELMORA_SCREEN=1024x768"});
    ASSERT_GT(ref, 0);
    ASSERT_EQ(Wait(ref), 0);
    Picture want;
    ASSERT_TRUE(Load(headless_png, &want));

    xvfb::Server server;
    ASSERT_TRUE(server.Start(1024, 768));
    std::string ready = Temp("ready");
    pid_t pid = Spawn({DemoPath(), "--ready", ready, "--hold-ms", "2000"},
                      {"VELMORA_BACKEND=sdl", "DISPLAY=" + server.display()});
    ASSERT_GT(pid, 0);
    for (int i = 0; i < 400 && !Exists(ready); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    bool was_ready = Exists(ready);
    std::string shot_png = Temp("x.png");
    bool shot = was_ready && server.Screenshot(shot_png);
    int rc = Wait(pid);
    ASSERT_TRUE(was_ready) << "the demo never showed its menu on the X server";
    ASSERT_TRUE(shot);
    EXPECT_EQ(rc, 0);
    Picture got;
    ASSERT_TRUE(Load(shot_png, &got));
    ASSERT_EQ(got.width, want.width);
    ASSERT_EQ(got.height, want.height);

    // Wherever the headless screen shows a window, the X screen must show the same pixel.
    DWORD desktop = want.At(want.width - 1, want.height - 1);
    long compared = 0, differ = 0;
    for (int y = 0; y < want.height; ++y)
        for (int x = 0; x < want.width; ++x) {
            if (want.At(x, y) == desktop) continue;
            ++compared;
            if (got.At(x, y) != want.At(x, y)) ++differ;
        }
    EXPECT_GT(compared, 400L * 300L);
    EXPECT_EQ(differ, 0) << differ << " of " << compared << " window pixels differ";
    std::remove(headless_png.c_str());
    std::remove(shot_png.c_str());
    std::remove(ready.c_str());
}
