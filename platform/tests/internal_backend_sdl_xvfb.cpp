// The SDL2 backend on a real (virtual-framebuffer) X server: windows appear where the window
// system puts them, with the pixels it presented, and pointer input comes back in screen
// coordinates.
#include <gtest/gtest.h>

#include <SDL.h>

#include <fstream>
#include <thread>
#include <vector>

#include "backend/png.h"
#include "backend/sdl_backend.h"
#include "backend_xvfb.h"
#include "wait_until.h"
#include "windows.h"

namespace {

struct FakeWindowSystem : plat::WindowSystemPort {
    std::vector<plat::InputEvent> delivered;
    std::vector<plat::TopLevelView> views;
    std::vector<plat::TopLevelView> TopLevels() override { return views; }
    void Deliver(const plat::InputEvent& e) override { delivered.push_back(e); }
};

HWND H(uintptr_t n) { return reinterpret_cast<HWND>(n); }

class SdlOnXvfb : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!xvfb::HaveProgram("Xvfb") || !xvfb::HaveProgram("xwd") || !xvfb::HaveProgram("convert")) return;
        server_ = new xvfb::Server;
        if (!server_->Start(640, 480)) return;
        setenv("DISPLAY", server_->display().c_str(), 1);
        ws_ = new FakeWindowSystem;
        backend_ = plat::CreateSdlBackend(*ws_).release();
    }
    // The backend ends (and quits SDL) while its server is still there, as a program's does at
    // its exit; then the server goes.
    static void TearDownTestSuite() {
        delete backend_;
        backend_ = nullptr;
        delete server_;
    }
    void SetUp() override {
        if (!xvfb::HaveProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
        ASSERT_NE(backend_, nullptr) << "SDL did not start on Xvfb " << (server_ ? server_->display() : "");
        ws_->delivered.clear();
    }
    // Lets SDL and the X server settle: a few rounds of the display loop. Only where nothing
    // can be waited for (nothing more must come); a test that expects something uses SettleUntil.
    void Settle() {
        for (int i = 0; i < 10; ++i) backend_->WaitAndDispatch(20);
    }
    // Rounds of the display loop until `done`, within a bound only a broken backend reaches.
    template <class Done>
    bool SettleUntil(Done done) {
        return testwait::Until(done, std::chrono::seconds(20), [&] { backend_->WaitAndDispatch(20); });
    }
    bool Delivered(plat::InputEvent::Kind kind, int x, int y) const {
        for (const plat::InputEvent& e : ws_->delivered)
            if (e.kind == kind && e.pt.x == x && e.pt.y == y) return true;
        return false;
    }
    static uint32_t Px(const plat::Surface& s, int x, int y) { return s.Contains(x, y) ? s.At(x, y) & 0xFFFFFF : 0xFF000000u; }
    // A grey 100 x 100 top level at (300, 200), on screen.
    void ShowGrey(HWND h) {
        const plat::Surface s(100, 100, 0x00808080);
        backend_->CreateTopLevel(h, RECT{300, 200, 400, 300}, false);
        backend_->ShowTopLevel(h, true);
        backend_->Present(h, s, RECT{0, 0, 100, 100});
        ShotWhen("grey", [](const plat::Surface& shot) { return Px(shot, 350, 250) == 0x808080u; });
    }
    // xdotool on this server.
    static void Xdo(const std::string& args) {
        xvfb::CommandOutput("DISPLAY=" + server_->display() + " xdotool " + args);
    }
    plat::Surface Shot(const char* name) {
        std::string path = ::testing::TempDir() + "sdl_xvfb_" + std::to_string(getpid()) + name + ".png";
        plat::Surface s;
        EXPECT_TRUE(server_->Screenshot(path));
        EXPECT_TRUE(plat::png::Read(path, &s));
        std::remove(path.c_str());
        return s;
    }
    // The screen once `shows` holds for it (the X server has drawn what was presented), or the
    // last screenshot after a bound that only a broken backend reaches.
    template <class Shows>
    plat::Surface ShotWhen(const char* name, Shows shows) {
        plat::Surface shot;
        testwait::Until([&] { return shows(shot = Shot(name)); }, std::chrono::seconds(20),
                        [&] { backend_->WaitAndDispatch(20); });
        return shot;
    }

    static xvfb::Server* server_;
    static FakeWindowSystem* ws_;
    static plat::Backend* backend_;
};

xvfb::Server* SdlOnXvfb::server_ = nullptr;
FakeWindowSystem* SdlOnXvfb::ws_ = nullptr;
plat::Backend* SdlOnXvfb::backend_ = nullptr;

plat::Surface Pattern(int w, int h) {
    plat::Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.Row(y)[x] = (x < w / 2 ? 0x00C02010u : 0x001040E0u) + uint32_t((y & 7) << 8);
    return s;
}

}  // namespace

TEST_F(SdlOnXvfb, ReportsTheDisplaysGeometry) {
    EXPECT_STREQ(backend_->Name(), "sdl");
    RECT r = backend_->ScreenRect();
    EXPECT_EQ(r.right - r.left, 640);
    EXPECT_EQ(r.bottom - r.top, 480);
    // The X server's one display, with a work area inside it (all of it: no panel runs).
    std::vector<plat::MonitorArea> mons = backend_->Monitors();
    ASSERT_EQ(mons.size(), 1u);
    EXPECT_TRUE(EqualRect(&mons[0].monitor, &r));
    RECT inside;
    IntersectRect(&inside, &mons[0].work, &r);
    EXPECT_TRUE(EqualRect(&inside, &mons[0].work));
    EXPECT_GT(mons[0].work.right - mons[0].work.left, 0);
    RECT all = backend_->VirtualScreen();
    EXPECT_TRUE(EqualRect(&all, &r));
}

TEST_F(SdlOnXvfb, ShowsEachTopLevelWithItsPixelsWherePlacedAndPopupsAboveThem) {
    plat::Surface main = Pattern(200, 150);
    backend_->CreateTopLevel(H(1), RECT{40, 30, 240, 180}, false);
    backend_->ShowTopLevel(H(1), true);
    backend_->Present(H(1), main, RECT{0, 0, 200, 150});
    plat::Surface popup(60, 40, 0x00F0F0F0);
    backend_->CreateTopLevel(H(2), RECT{200, 160, 260, 200}, true);
    backend_->ShowTopLevel(H(2), true);
    backend_->Present(H(2), popup, RECT{0, 0, 60, 40});

    plat::Surface shot = ShotWhen("a", [&](const plat::Surface& s) {
        return Px(s, 230, 190) == 0xF0F0F0u && Px(s, 40, 30) == (main.At(0, 0) & 0xFFFFFF) &&
               Px(s, 239, 179) == (main.At(199, 149) & 0xFFFFFF);
    });
    ASSERT_EQ(shot.width, 640);
    int wrong = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) {
            if (x + 40 >= 200 && y + 30 >= 160) continue;  // under the popup
            if ((shot.At(x + 40, y + 30) & 0xFFFFFF) != (main.At(x, y) & 0xFFFFFF)) ++wrong;
        }
    EXPECT_EQ(wrong, 0) << "window pixels differ from the presented surface";
    EXPECT_EQ(shot.At(230, 190) & 0xFFFFFF, 0xF0F0F0u) << "popup at its screen position, on top";
    EXPECT_EQ(shot.At(39, 29) & 0xFFFFFF, shot.At(5, 5) & 0xFFFFFF) << "nothing outside the window";

    // A later partial present updates only its rect; moving and hiding follow.
    plat::Surface changed = main;
    for (int y = 10; y < 20; ++y)
        for (int x = 10; x < 20; ++x) changed.Row(y)[x] = 0x0000FF00;
    changed.Row(100)[100] = 0x00FF00FF;  // outside the dirty rect: must not show
    backend_->Present(H(1), changed, RECT{10, 10, 20, 20});
    backend_->MoveTopLevel(H(2), RECT{500, 400, 560, 440});
    shot = ShotWhen("b", [](const plat::Surface& s) { return Px(s, 55, 45) == 0x00FF00u && Px(s, 530, 420) == 0xF0F0F0u; });
    EXPECT_EQ(shot.At(55, 45) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(shot.At(140, 130) & 0xFFFFFF, main.At(100, 100) & 0xFFFFFF);
    EXPECT_EQ(shot.At(530, 420) & 0xFFFFFF, 0xF0F0F0u);

    backend_->ShowTopLevel(H(2), false);
    backend_->DestroyTopLevel(H(1));
    shot = ShotWhen("c", [](const plat::Surface& s) {
        return Px(s, 530, 420) == Px(s, 5, 5) && Px(s, 100, 100) == Px(s, 5, 5);
    });
    EXPECT_EQ(shot.At(530, 420) & 0xFFFFFF, shot.At(5, 5) & 0xFFFFFF);
    EXPECT_EQ(shot.At(100, 100) & 0xFFFFFF, shot.At(5, 5) & 0xFFFFFF);
    backend_->DestroyTopLevel(H(2));
}

TEST_F(SdlOnXvfb, PointerMotionReachesTheWindowSystemInScreenCoordinates) {
    ShowGrey(H(3));
    SDL_WarpMouseGlobal(350, 260);
    bool seen = SettleUntil([&] { return Delivered(plat::InputEvent::Kind::MouseMove, 350, 260); });
    EXPECT_TRUE(seen) << "no mouse move at (350,260) among " << ws_->delivered.size() << " events";

    // Out onto the bare desktop: the window system hears where the pointer went.
    ws_->delivered.clear();
    SDL_WarpMouseGlobal(600, 450);
    seen = SettleUntil([&] { return Delivered(plat::InputEvent::Kind::MouseMove, 600, 450); });
    EXPECT_TRUE(seen) << "leaving the window was not reported as a move to the desktop";
    backend_->DestroyTopLevel(H(3));
}

TEST_F(SdlOnXvfb, AButtonReleasedAfterTheWindowMovedUnderThePointerIsWhereThePointerIs) {
    // A caption drag: the button goes down, the pointer moves, the window follows it, and the
    // button comes up where the pointer stopped; the window is not moved again by the release.
    if (!xvfb::HaveProgram("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    ShowGrey(H(7));
    Xdo("mousemove --sync 320 220 mousedown 1 mousemove --sync 360 220");
    SettleUntil([&] { return Delivered(plat::InputEvent::Kind::MouseMove, 360, 220); });
    backend_->MoveTopLevel(H(7), RECT{340, 200, 440, 300});
    backend_->Present(H(7), plat::Surface(100, 100, 0x00808080), RECT{0, 0, 100, 100});
    ShotWhen("moved", [](const plat::Surface& s) { return Px(s, 435, 295) == 0x808080u; });
    ws_->delivered.clear();
    Xdo("mouseup 1");
    SettleUntil([&] {
        for (const plat::InputEvent& e : ws_->delivered)
            if (e.kind == plat::InputEvent::Kind::MouseButton && !e.down) return true;
        return false;
    });
    Settle();  // a second release, wrongly made, would come with the first
    std::vector<POINT> ups;
    for (const plat::InputEvent& e : ws_->delivered)
        if (e.kind == plat::InputEvent::Kind::MouseButton && !e.down) ups.push_back(e.pt);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(ups[0].x, 360);
    EXPECT_EQ(ups[0].y, 220);
    backend_->DestroyTopLevel(H(7));
}

TEST_F(SdlOnXvfb, AMotionSentBeforeTheWindowMovedIsWhereThePointerWas) {
    // A quick caption drag: the pointer moves on while the window system is still moving the
    // window after the step before. The server sent that motion relative to where the window was
    // then; it is read only after the window has moved.
    if (!xvfb::HaveProgram("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    ShowGrey(H(8));
    Xdo("mousemove --sync 320 220 mousedown 1");
    SettleUntil([&] {
        for (const plat::InputEvent& e : ws_->delivered)
            if (e.kind == plat::InputEvent::Kind::MouseButton && e.down) return true;
        return false;
    });
    ws_->delivered.clear();
    Xdo("mousemove --sync 360 240");
    backend_->MoveTopLevel(H(8), RECT{340, 220, 440, 320});
    SettleUntil([&] { return Delivered(plat::InputEvent::Kind::MouseMove, 360, 240); });
    Settle();  // any motion read wrongly would come with it
    std::vector<POINT> moves;
    for (const plat::InputEvent& e : ws_->delivered)
        if (e.kind == plat::InputEvent::Kind::MouseMove) moves.push_back(e.pt);
    ASSERT_FALSE(moves.empty());
    for (const POINT& p : moves) {
        EXPECT_EQ(p.x, 360);
        EXPECT_EQ(p.y, 240);
    }
    Xdo("mouseup 1");
    Settle();
    backend_->DestroyTopLevel(H(8));
}

TEST_F(SdlOnXvfb, WorkFromOtherThreadsIsCarriedOutOnTheDisplayThread) {
    plat::Surface s(50, 50, 0x00123456);
    std::thread t([&] {
        backend_->CreateTopLevel(H(4), RECT{10, 300, 60, 350}, false);
        backend_->ShowTopLevel(H(4), true);
        backend_->Present(H(4), s, RECT{0, 0, 50, 50});
        backend_->InjectInput(plat::InputEvent::KeyEvent(0x41, true));
    });
    t.join();
    plat::Surface shot = ShotWhen("d", [](const plat::Surface& s) { return Px(s, 30, 320) == 0x123456u; });
    SettleUntil([&] { return !ws_->delivered.empty(); });
    EXPECT_EQ(shot.At(30, 320) & 0xFFFFFF, 0x123456u);
    ASSERT_FALSE(ws_->delivered.empty());
    EXPECT_EQ(ws_->delivered[0].vk, 0x41u) << "injected input goes through the display loop";
    backend_->DestroyTopLevel(H(4));
}

TEST_F(SdlOnXvfb, AWindowRegionShapesTheWindowOnTheDesktop) {
    plat::TopLevelView v;
    v.hwnd = H(5);
    v.screen_rect = RECT{100, 100, 200, 200};
    v.visible = true;
    auto region = std::make_shared<plat::Region>(RECT{10, 10, 90, 90});
    region->Subtract(RECT{40, 40, 60, 60});  // a hole in the middle
    v.window_region = region;
    ws_->views = {v};
    plat::Surface s(100, 100, 0x00E04020);
    backend_->CreateTopLevel(H(5), v.screen_rect, false);
    backend_->ShowTopLevel(H(5), true);
    backend_->Present(H(5), s, RECT{0, 0, 100, 100});
    plat::Surface shot = ShotWhen("e", [](const plat::Surface& s) {
        return Px(s, 115, 115) == 0xE04020u && Px(s, 105, 105) == Px(s, 5, 5) && Px(s, 150, 150) == Px(s, 5, 5);
    });
    uint32_t root = shot.At(5, 5) & 0xFFFFFF;
    EXPECT_EQ(shot.At(115, 115) & 0xFFFFFF, 0xE04020u);
    EXPECT_EQ(shot.At(105, 105) & 0xFFFFFF, root) << "outside the region the desktop shows";
    EXPECT_EQ(shot.At(150, 150) & 0xFFFFFF, root) << "through the hole too";

    // Taking the region away makes the window whole again.
    ws_->views[0].window_region = nullptr;
    backend_->Present(H(5), s, RECT{0, 0, 1, 1});
    shot = ShotWhen("f", [](const plat::Surface& s) { return Px(s, 105, 105) == 0xE04020u && Px(s, 150, 150) == 0xE04020u; });
    EXPECT_EQ(shot.At(105, 105) & 0xFFFFFF, 0xE04020u);
    EXPECT_EQ(shot.At(150, 150) & 0xFFFFFF, 0xE04020u);
    ws_->views.clear();
    backend_->DestroyTopLevel(H(5));
}

TEST_F(SdlOnXvfb, PlaysWavFilesAndRefusesWhatIsNotOne) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);  // no sound card here; the decoding path is the same
    std::string dir = ::testing::TempDir() + "sdl_sound_" + std::to_string(getpid());
    std::string wav = dir + ".wav", junk = dir + ".junk";
    {
        // 8 kHz mono 8-bit, 800 samples of a square wave.
        std::ofstream f(wav, std::ios::binary);
        auto u32 = [&](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
        auto u16 = [&](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
        f.write("RIFF", 4);
        u32(36 + 800);
        f.write("WAVEfmt ", 8);
        u32(16);
        u16(1);
        u16(1);
        u32(8000);
        u32(8000);
        u16(1);
        u16(8);
        f.write("data", 4);
        u32(800);
        for (int i = 0; i < 800; ++i) f.put(char((i / 10) % 2 ? 0xC0 : 0x40));
    }
    { std::ofstream(junk) << "RIFF but not really"; }
    EXPECT_TRUE(backend_->PlaySoundFile(wav.c_str()));
    EXPECT_FALSE(backend_->PlaySoundFile(junk.c_str()));
    EXPECT_FALSE(backend_->PlaySoundFile("/no/such.wav"));
    EXPECT_FALSE(backend_->PlaySoundFile(nullptr));
    Settle();  // finished sounds are closed by the display loop
    std::remove(wav.c_str());
    std::remove(junk.c_str());
}

TEST_F(SdlOnXvfb, AResizedWindowShowsItsWholeSurfaceEvenWhenOnlyAPartIsPresented) {
    backend_->CreateTopLevel(H(6), RECT{300, 20, 340, 60}, false);
    backend_->ShowTopLevel(H(6), true);
    backend_->Present(H(6), plat::Surface(40, 40, 0x00202020), RECT{0, 0, 40, 40});
    // The small window is on screen before it grows, or the growth would go unseen.
    ShotWhen("g0", [](const plat::Surface& s) { return s.width > 305 && (s.At(305, 25) & 0xFFFFFF) == 0x202020u; });
    backend_->MoveTopLevel(H(6), RECT{300, 20, 380, 100});
    plat::Surface bigger(80, 80, 0x0040A0F0);
    backend_->Present(H(6), bigger, RECT{0, 0, 10, 10});
    // The X server shows the new size some time after the request; a backend that presents
    // only the dirty part never gets the far corner right, however long it is given.
    plat::Surface shot = ShotWhen("g", [](const plat::Surface& s) {
        return s.width > 370 && (s.At(305, 25) & 0xFFFFFF) == 0x40A0F0u && (s.At(370, 90) & 0xFFFFFF) == 0x40A0F0u;
    });
    ASSERT_GT(shot.width, 370);
    EXPECT_EQ(shot.At(305, 25) & 0xFFFFFF, 0x40A0F0u);
    EXPECT_EQ(shot.At(370, 90) & 0xFFFFFF, 0x40A0F0u) << "outside the dirty rect, the new size still shows the surface";
    backend_->DestroyTopLevel(H(6));
}

TEST_F(SdlOnXvfb, WakesEndAForeverWaitAndDoNotPileUp) {
    Settle();
    for (int i = 0; i < 1000; ++i) backend_->Wake();
    // On X11 a wake is no event of SDL's at all; elsewhere it is one, however many came.
    EXPECT_LE(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_USEREVENT, SDL_LASTEVENT), 1);
    EXPECT_TRUE(backend_->WaitAndDispatch(-1)) << "a wake before the wait ends it at once";
    std::thread t([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        backend_->Wake();
    });
    EXPECT_TRUE(backend_->WaitAndDispatch(-1));
    t.join();
}

TEST_F(SdlOnXvfb, AMinimisedWindowLeavesTheScreenAndComesBackWhereItWasLastPut) {
    plat::Surface s = Pattern(120, 80);
    backend_->CreateTopLevel(H(7), RECT{50, 50, 170, 130}, false);
    backend_->ShowTopLevel(H(7), true);
    backend_->Present(H(7), s, RECT{0, 0, 120, 80});
    const uint32_t shown = s.At(10, 10) & 0xFFFFFF;
    plat::Surface first = ShotWhen("m1", [&](const plat::Surface& shot) { return Px(shot, 60, 60) == shown; });
    const uint32_t desktop = Px(first, 5, 5);
    ASSERT_EQ(Px(first, 60, 60), shown);
    // Minimised, it leaves the screen where it stands; moved where a minimised window lies,
    // nothing of it shows anywhere either.
    backend_->MinimizeTopLevel(H(7), true);
    plat::Surface shot = ShotWhen("m2", [&](const plat::Surface& s) { return Px(s, 60, 60) == desktop; });
    EXPECT_EQ(shot.At(60, 60) & 0xFFFFFF, desktop);
    backend_->MoveTopLevel(H(7), RECT{-32000, -32000, -31840, -31970});
    Settle();  // nothing must show: nothing to wait for
    shot = Shot("m2b");
    EXPECT_EQ(shot.At(2, 2) & 0xFFFFFF, desktop);
    // Moved back while still minimised, then restored: it shows there.
    backend_->MoveTopLevel(H(7), RECT{300, 200, 420, 280});
    backend_->MinimizeTopLevel(H(7), false);
    backend_->Present(H(7), s, RECT{0, 0, 120, 80});
    shot = ShotWhen("m3", [&](const plat::Surface& s) { return Px(s, 310, 210) == shown && Px(s, 60, 60) == desktop; });
    EXPECT_EQ(shot.At(310, 210) & 0xFFFFFF, s.At(10, 10) & 0xFFFFFF);
    EXPECT_EQ(shot.At(60, 60) & 0xFFFFFF, desktop);
    // Its own minimising and restoring are no requests from the desktop.
    for (const plat::InputEvent& e : ws_->delivered) EXPECT_NE(e.kind, plat::InputEvent::Kind::MinimizeRequest);
    backend_->DestroyTopLevel(H(7));
}

TEST_F(SdlOnXvfb, WithoutAWindowManagerAMinimisedWindowWaitsAtTheFootOfTheScreenForAClickThatRestoresIt) {
    plat::Surface s = Pattern(200, 80);
    backend_->CreateTopLevel(H(9), RECT{200, 100, 400, 180}, false);
    backend_->ShowTopLevel(H(9), true);
    backend_->Present(H(9), s, RECT{0, 0, 200, 80});
    const uint32_t shown = s.At(50, 20) & 0xFFFFFF;
    const uint32_t desktop = Px(ShotWhen("s0", [&](const plat::Surface& now) { return Px(now, 250, 120) == shown; }), 5, 475);
    backend_->MinimizeTopLevel(H(9), true);
    // The left end of its top edge, 160 x 28, in the screen's lower left corner: its first
    // and last pixels each way are the window's.
    plat::Surface shot = ShotWhen("s1", [&](const plat::Surface& now) {
        return Px(now, 250, 120) == desktop && Px(now, 0, 452) == (s.At(0, 0) & 0xFFFFFF) &&
               Px(now, 159, 479) == (s.At(159, 27) & 0xFFFFFF);
    });
    EXPECT_EQ(shot.At(250, 120) & 0xFFFFFF, desktop) << "the window itself still shows";
    EXPECT_EQ(shot.At(0, 452) & 0xFFFFFF, s.At(0, 0) & 0xFFFFFF);
    EXPECT_EQ(shot.At(159, 479) & 0xFFFFFF, s.At(159, 27) & 0xFFFFFF);
    EXPECT_EQ(shot.At(160, 470) & 0xFFFFFF, desktop);
    EXPECT_EQ(shot.At(10, 451) & 0xFFFFFF, desktop);
    // A click on it asks the window system to restore the window, and is no click of the window's.
    Xdo("mousemove --sync 80 466 click 1");
    EXPECT_TRUE(SettleUntil([&] {
        for (const plat::InputEvent& e : ws_->delivered)
            if (e.kind == plat::InputEvent::Kind::MinimizeRequest && e.hwnd == H(9) && !e.down) return true;
        return false;
    }));
    for (const plat::InputEvent& e : ws_->delivered) EXPECT_NE(e.kind, plat::InputEvent::Kind::MouseButton);
    backend_->MinimizeTopLevel(H(9), false);
    shot = ShotWhen("s2", [&](const plat::Surface& now) { return Px(now, 5, 475) == desktop && Px(now, 250, 120) == shown; });
    EXPECT_EQ(shot.At(5, 475) & 0xFFFFFF, desktop) << "the stub stayed";
    EXPECT_EQ(shot.At(250, 120) & 0xFFFFFF, shown);
    backend_->DestroyTopLevel(H(9));
}
