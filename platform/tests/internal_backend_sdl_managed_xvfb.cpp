// The SDL2 backend under a window manager (openbox on Xvfb): what the manager does to a window
// by itself (restoring it from its icon, moving it on an Alt-drag) reaches the window system,
// and the pointer positions that follow are where the window really is. The window system
// here is a recorder that answers nothing, as a busy program would not answer yet.
#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <string>
#include <vector>

#include "backend/sdl_backend.h"
#include "demo_run_support.h"

namespace {

struct Recorder : plat::WindowSystemPort {
    std::vector<plat::InputEvent> delivered;
    std::vector<plat::TopLevelView> TopLevels() override { return {}; }
    void Deliver(const plat::InputEvent& e) override { delivered.push_back(e); }
};

HWND H(uintptr_t n) { return reinterpret_cast<HWND>(n); }

using xvfb::CommandOutput;

using K = plat::InputEvent::Kind;

class SdlUnderManager : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const char* p : {"Xvfb", "openbox", "xdotool", "xprop", "xwininfo", "xmessage"})
            if (!xvfb::HaveProgram(p)) return;
        server_ = new xvfb::Server;
        if (!server_->Start(800, 600)) return;
        setenv("DISPLAY", server_->display().c_str(), 1);
        const std::string openbox = CommandOutput("command -v openbox");
        manager_ = demorun::Spawn({openbox.substr(0, openbox.find('\n'))}, {"DISPLAY=" + server_->display()});
        if (manager_ <= 0 || !xvfb::ManagerTakesNewWindows(server_->display(), std::chrono::seconds(60))) return;
        ws_ = new Recorder;
        backend_ = plat::CreateSdlBackend(*ws_).release();
    }
    static void TearDownTestSuite() {
        delete backend_;
        backend_ = nullptr;
        if (manager_ > 0) {
            kill(manager_, SIGTERM);
            waitpid(manager_, nullptr, 0);
        }
        delete server_;
    }
    void SetUp() override {
        for (const char* p : {"Xvfb", "openbox", "xdotool", "xprop", "xwininfo", "xmessage"})
            if (!xvfb::HaveProgram(p)) GTEST_SKIP() << p << " is not installed";
        ASSERT_NE(backend_, nullptr) << "no SDL under a window manager on Xvfb";
        ws_->delivered.clear();
    }

    std::string Xdo(const std::string& args) { return CommandOutput("DISPLAY=" + server_->display() + " xdotool " + args); }
    // A window of the desktop, shown with a plain surface, and its X window once mapped.
    unsigned long Show(HWND h, const RECT& r, const char* title) {
        backend_->CreateTopLevel(h, r, false);
        backend_->SetTitle(h, title);
        backend_->ShowTopLevel(h, true);
        plat::Surface s(r.right - r.left, r.bottom - r.top, 0x00808080);
        backend_->Present(h, s, RECT{0, 0, s.width, s.height});
        unsigned long x = 0;
        Until([&] {
            x = std::strtoul(Xdo(std::string("search --onlyvisible --name '^") + title + "$'").c_str(), nullptr, 10);
            return x != 0;
        });
        return x;
    }
    // Runs the display loop until `done` or a generous bound.
    template <class F>
    bool Until(F done, int seconds = 20) {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            backend_->WaitAndDispatch(20);
        }
        return true;
    }
    bool Delivered(K kind, POINT p) {
        for (const plat::InputEvent& e : ws_->delivered)
            if (e.kind == kind && e.pt.x == p.x && e.pt.y == p.y) return true;
        return false;
    }
    int Count(K kind) {
        int n = 0;
        for (const plat::InputEvent& e : ws_->delivered) n += e.kind == kind;
        return n;
    }
    // Moves the pointer to p and back and forth beside it until the window reports p.
    bool PointerSeenAt(POINT p) {
        int i = 0;
        return Until([&] {
            int x = p.x + (i++ % 2);
            Xdo("mousemove " + std::to_string(x) + " " + std::to_string(p.y));
            backend_->WaitAndDispatch(20);
            return Delivered(K::MouseMove, p);
        });
    }

    static xvfb::Server* server_;
    static pid_t manager_;
    static Recorder* ws_;
    static plat::Backend* backend_;
};

xvfb::Server* SdlUnderManager::server_ = nullptr;
pid_t SdlUnderManager::manager_ = -1;
Recorder* SdlUnderManager::ws_ = nullptr;
plat::Backend* SdlUnderManager::backend_ = nullptr;

TEST_F(SdlUnderManager, AWindowTheDesktopRestoresGetsThePointerWhereItShowsBeforeTheWindowSystemAnswers) {
    unsigned long x = Show(H(1), RECT{100, 100, 300, 250}, "restored");
    ASSERT_NE(x, 0u);
    ASSERT_TRUE(PointerSeenAt(POINT{150, 160}));
    // The window system minimises it and puts it where minimised windows lie.
    backend_->MinimizeTopLevel(H(1), true);
    backend_->MoveTopLevel(H(1), RECT{-32000, -32000, -31800, -31850});
    ASSERT_TRUE(Until([&] { return CommandOutput("xprop -display " + server_->display() + " -id " + std::to_string(x) +
                                          " WM_STATE")
                                       .find("Iconic") != std::string::npos; }));
    ws_->delivered.clear();
    // The task bar gives it back; the window system has not caught up yet.
    Xdo("windowactivate " + std::to_string(x));
    ASSERT_TRUE(Until([&] { return Count(K::MinimizeRequest) > 0; }));
    EXPECT_TRUE(PointerSeenAt(POINT{170, 180})) << "pointer positions taken from where the window system put it";
    backend_->DestroyTopLevel(H(1));
}

TEST_F(SdlUnderManager, TheManagersOwnMovesReachTheWindowSystemAndItsAnswersToRequestsDoNot) {
    unsigned long x = Show(H(2), RECT{100, 100, 300, 250}, "dragged");
    ASSERT_NE(x, 0u);
    // Moves the window system asks for, several before the desktop answers any.
    backend_->MoveTopLevel(H(2), RECT{120, 110, 320, 260});
    backend_->MoveTopLevel(H(2), RECT{140, 120, 340, 270});
    backend_->MoveTopLevel(H(2), RECT{160, 130, 360, 280});
    ASSERT_TRUE(Until([&] { return Xdo("getwindowgeometry " + std::to_string(x)).find("Position: 160,130") !=
                                   std::string::npos; }));
    for (int i = 0; i < 10; ++i) backend_->WaitAndDispatch(20);
    EXPECT_EQ(Count(K::MovedByDesktop), 0) << "the answers to our own requests";

    // The user drags it with Alt held, as the manager lets one drag any window. The button
    // stays down until the manager has moved the window: a manager that reads the drag only
    // after the button came up would take it for a click.
    ASSERT_TRUE(PointerSeenAt(POINT{200, 200}));
    for (const char* step : {"keydown alt", "mousedown 1", "mousemove 230 215", "mousemove 260 230", "mousemove 280 240"}) {
        Xdo(step);
        backend_->WaitAndDispatch(20);
    }
    auto at = [&] { return Xdo("getwindowgeometry " + std::to_string(x)); };
    EXPECT_TRUE(Until([&] { return at().find("Position: 240,170") != std::string::npos; })) << at();
    Xdo("mouseup 1");
    Xdo("keyup alt");
    ASSERT_TRUE(Until([&] { return Delivered(K::MovedByDesktop, POINT{240, 170}); }))
        << Xdo("getwindowgeometry " + std::to_string(x));
    // Pointer positions follow the window to its new place.
    EXPECT_TRUE(PointerSeenAt(POINT{300, 200}));
    backend_->DestroyTopLevel(H(2));
}

}  // namespace
