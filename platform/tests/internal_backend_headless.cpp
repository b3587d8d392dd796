// The headless backend and the backends' input translation, over a fake window system.
#include <gtest/gtest.h>

#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <thread>

#include "core/clock.h"
#include "backend/compositor.h"
#include "backend/headless.h"
#include "backend/sdl_keymap.h"

using plat::HeadlessBackend;
using plat::InputEvent;

namespace {

struct FakeWindowSystem : plat::WindowSystemPort {
    std::vector<plat::TopLevelView> views;
    std::vector<InputEvent> delivered;
    std::vector<plat::TopLevelView> TopLevels() override { return views; }
    void Deliver(const InputEvent& e) override { delivered.push_back(e); }
};

HWND H(uintptr_t n) { return reinterpret_cast<HWND>(n); }

struct Headless : ::testing::Test {
    FakeWindowSystem ws;
    HeadlessBackend backend{ws, 320, 200};
    void SetUp() override { plat::clock::UseRealTime(false); }
};

}  // namespace

TEST_F(Headless, InjectedInputWaitsForDispatchAndArrivesInOrder) {
    backend.InjectInput(InputEvent::Move(POINT{5, 6}));
    backend.InjectInput(InputEvent::Button(plat::input::Button::Right, true, POINT{5, 6}));
    backend.InjectInput(InputEvent::KeyEvent(0x41, true));
    backend.InjectInput(InputEvent::CharEvent(0x263A));
    EXPECT_TRUE(ws.delivered.empty()) << "input is delivered by the display loop, not on injection";
    EXPECT_TRUE(backend.WaitAndDispatch(0));
    ASSERT_EQ(ws.delivered.size(), 4u);
    EXPECT_EQ(ws.delivered[0].kind, InputEvent::Kind::MouseMove);
    EXPECT_EQ(ws.delivered[1].button, plat::input::Button::Right);
    EXPECT_TRUE(ws.delivered[1].down);
    EXPECT_EQ(ws.delivered[1].pt.x, 5);
    EXPECT_EQ(ws.delivered[2].vk, 0x41u);
    EXPECT_EQ(ws.delivered[3].codepoint, 0x263Au);
    EXPECT_FALSE(backend.WaitAndDispatch(0)) << "nothing left";
    EXPECT_EQ(backend.DispatchQueuedInput(), 0);
}

TEST_F(Headless, WaitEndsOnInputFromAnotherThreadOnWakeAndOnTheVirtualDeadline) {
    std::thread t([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        backend.InjectInput(InputEvent::Close(H(7)));
    });
    EXPECT_TRUE(backend.WaitAndDispatch(-1));
    t.join();
    ASSERT_EQ(ws.delivered.size(), 1u);
    EXPECT_EQ(ws.delivered[0].hwnd, H(7));

    std::thread w([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        backend.Wake();
    });
    EXPECT_TRUE(backend.WaitAndDispatch(-1));
    w.join();

    // A timed wait runs on the layer's clock: it ends when the clock is advanced past it.
    std::atomic<bool> returned{false};
    std::thread a([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_FALSE(returned) << "the wait ended before virtual time reached its deadline";
        plat::clock::Advance(1000);
    });
    EXPECT_FALSE(backend.WaitAndDispatch(500));
    returned = true;
    a.join();
}

TEST_F(Headless, KeepsWhatItIsToldAboutTopLevelWindows) {
    backend.CreateTopLevel(H(1), RECT{10, 20, 110, 80}, true);
    HeadlessBackend::WindowRecord r;
    ASSERT_TRUE(backend.Record(H(1), &r));
    EXPECT_TRUE(r.popup);
    EXPECT_FALSE(r.visible);
    backend.ShowTopLevel(H(1), true);
    backend.MoveTopLevel(H(1), RECT{0, 0, 50, 50});
    backend.SetTitle(H(1), "Caption");
    plat::Surface s(50, 50);
    backend.Present(H(1), s, RECT{0, 0, 50, 50});
    ASSERT_TRUE(backend.Record(H(1), &r));
    EXPECT_TRUE(r.visible);
    EXPECT_EQ(r.rect.right, 50);
    EXPECT_EQ(r.title, "Caption");
    EXPECT_EQ(r.presents, 1);
    backend.SetTitle(H(1), nullptr);
    backend.DestroyTopLevel(H(1));
    EXPECT_FALSE(backend.Record(H(1), &r));
    backend.ShowTopLevel(H(1), true);  // a destroyed window is ignored, not revived
    EXPECT_FALSE(backend.Record(H(1), &r));
}

TEST_F(Headless, ScreenCaptureCompositesTheWindowSystemsWindows) {
    EXPECT_EQ(backend.ScreenRect().right, 320);
    EXPECT_EQ(backend.WorkArea().bottom, 200);
    plat::TopLevelView v;
    v.hwnd = H(1);
    v.screen_rect = RECT{10, 10, 20, 20};
    v.visible = true;
    v.surface = std::make_shared<plat::Surface>(10, 10, 0xFFABCDEF);
    ws.views.push_back(v);
    plat::Surface shot = backend.CaptureScreen();
    EXPECT_EQ(shot.width, 320);
    EXPECT_EQ(shot.At(15, 15), 0xFFABCDEFu);
    EXPECT_EQ(shot.At(5, 5), plat::kDesktopPixel);
    backend.SetScreenSize(100, 50);
    EXPECT_EQ(backend.CaptureScreen().height, 50);
    backend.SetScreenSize(0, -1);  // refused
    EXPECT_EQ(backend.ScreenRect().right, 100);
}

TEST_F(Headless, SoundAnswersLikeARealDeviceWouldButStaysSilent) {
    EXPECT_FALSE(backend.PlaySoundFile(nullptr));
    EXPECT_FALSE(backend.PlaySoundFile("/no/such/file.wav"));
    EXPECT_FALSE(backend.PlaySoundFile("/proc/self/exe")) << "not a sound file";
    std::string wav = ::testing::TempDir() + "headless_beep_" + std::to_string(getpid()) + ".wav";
    {
        std::ofstream f(wav, std::ios::binary);
        f.write("RIFF\x24\0\0\0WAVEfmt ", 16);
    }
    EXPECT_TRUE(backend.PlaySoundFile(wav.c_str()));
    std::remove(wav.c_str());
}

TEST(SdlKeymap, MapsKeysToTheirVirtualKeyCodes) {
    using plat::sdl::VirtualKeyFromSdl;
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_a), UINT('A'));
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_z), UINT('Z'));
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_0), UINT('0'));
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_9), UINT('9'));
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F1), 0x70u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F12), 0x7Bu);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F13), 0x7Cu);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_0), 0x60u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_9), 0x69u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RETURN), 0x0Du);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_ENTER), 0x0Du);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_ESCAPE), 0x1Bu);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_LEFT), 0x25u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_DOWN), 0x28u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_DELETE), 0x2Eu);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_PAGEDOWN), 0x22u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RSHIFT), 0x10u) << "either shift is VK_SHIFT";
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_LCTRL), 0x11u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RALT), 0x12u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_SEMICOLON), 0xBAu);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_QUOTE), 0xDEu);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_VOLUMEUP), 0u) << "keys without a code are dropped";
}

TEST(TypedText, DecodesUtf8AndDropsWhatIsNotText) {
    using plat::Utf8ToCodepoints;
    EXPECT_EQ(Utf8ToCodepoints("Az"), (std::vector<uint32_t>{'A', 'z'}));
    EXPECT_EQ(Utf8ToCodepoints("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"),
              (std::vector<uint32_t>{0xE9, 0x20AC, 0x1F600}));
    EXPECT_EQ(Utf8ToCodepoints("a\xC3(b"), (std::vector<uint32_t>{'a', '(', 'b'})) << "broken sequence";
    EXPECT_EQ(Utf8ToCodepoints("\xC0\xAFx"), (std::vector<uint32_t>{'x'})) << "overlong form";
    EXPECT_EQ(Utf8ToCodepoints("\xED\xA0\x80y"), (std::vector<uint32_t>{'y'})) << "surrogate";
    EXPECT_EQ(Utf8ToCodepoints("\xF4\x90\x80\x80"), (std::vector<uint32_t>{})) << "past U+10FFFF";
    EXPECT_EQ(Utf8ToCodepoints("\xFF\x80z"), (std::vector<uint32_t>{'z'}));
    EXPECT_TRUE(Utf8ToCodepoints(nullptr).empty());
    EXPECT_EQ(Utf8ToCodepoints("\xE2\x82"), (std::vector<uint32_t>{})) << "cut at the end";
}
