// Engine start-up and shut-down per GUI thread: the first start-up and the last shut-down, the
// hooks of each thread, the checks of a function called while the engine is down, and a first
// start-up that fails half-way and must leave nothing behind.
#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <future>
#include <cstring>

#include "ApiHook.h"
#include "SkinManager.h"
#include "test_engine_support.h"

using namespace enginetest;

namespace {

using StartUp = EngineFixture;

HHOOK CallWndHookOf(DWORD tid) { return SkinEngine::GetCallWndProcHook(tid); }
HHOOK KeyboardHookOf(DWORD tid) { return SkinEngine::GetKeyboardHook(tid); }

std::vector<uint8_t> EntryBytes(int which) {
    auto* p = static_cast<const uint8_t*>(dlsym(RTLD_DEFAULT, skin::kApiHookNames[which]));
    return std::vector<uint8_t>(p, p + 16);
}

bool ClassExists(const char* name) {
    WNDCLASSA wc{};
    return GetClassInfoA(Instance(), name, &wc) != FALSE;
}

TEST_F(StartUp, FunctionsThatNeedTheEngineFailWith19WhileItIsDown) {
    ASSERT_FALSE(SkinEngine::IsStarted());
    HWND hwnd = MakeWindow();
    struct Call {
        const char* name;
        std::function<BOOL()> fn;
    } calls[] = {
        {"LoadSkinFile", [] { return LoadSkinFile("z-arud.qvk"); }},
        {"LoadSkinFromResource", [] { return LoadSkinFromResource(nullptr, "SKIN", "QVK"); }},
        {"SetWindowSkin", [&] { return SetWindowSkin(hwnd, nullptr); }},
        {"SetDialogWindowSkin", [&] { return SetDialogWindowSkin(hwnd, nullptr); }},
        {"SetSingleDialogSkin", [&] { return SetSingleDialogSkin(hwnd, "Dialog"); }},
        {"RemoveWindowSkin", [&] { return RemoveWindowSkin(hwnd); }},
        {"SetDialogSkin", [] { return SetDialogSkin("Dialog"); }},
        {"ClearDialogSkin", [] { return ClearDialogSkin(); }},
        {"SkinControlWindow", [&] { return SkinControlWindow(hwnd, "Button", nullptr); }},
        {"SetWindowScrollBarSkin", [&] { return SetWindowScrollBarSkin(hwnd, 3); }},
        {"RemoveWindowScrollBarSkin", [&] { return RemoveWindowScrollBarSkin(hwnd); }},
        {"SetSkinChangeNotify", [&] { return SetSkinChangeNotify(hwnd, 0); }},
        {"RemoveSkinChangeNotify", [&] { return RemoveSkinChangeNotify(hwnd); }},
        {"GetType45WindowMargins", [&] { RECT r; return GetType45WindowMargins(hwnd, &r); }},
        {"ShowSkinElement", [&] { return ShowSkinElement(hwnd, "x", TRUE); }},
        {"SetSkinCaptionText", [&] { return SetSkinCaptionText(hwnd, "x", "y"); }},
        {"GetSkinCaptionText", [&] { char b[8]; return GetSkinCaptionText(hwnd, "x", b, 8); }},
        {"GetSkinSysColor", [] { return BOOL(GetSkinSysColor(COLOR_BTNFACE)); }},
        {"TrackSkinPopupMenu", [&] { return TrackSkinPopupMenu(nullptr, 0, 0, 0, hwnd); }},
    };
    for (auto& c : calls) {
        SkinEngine::SetThreadError(0);
        EXPECT_FALSE(c.fn()) << c.name;
        EXPECT_EQ(GetSkinLastError(), 19) << c.name;
    }
    // These need no started engine.
    char version[16];
    memset(version, 'x', sizeof version);
    EXPECT_EQ(GetSkinLibraryVersion(version), 1);
    EXPECT_STREQ(version, "V2.4.1.1");
    EXPECT_TRUE(SetWindowAccelerators(hwnd, nullptr));
    ExitSkinLibrary();  // nothing to do
    EXPECT_FALSE(SkinEngine::IsStarted());
    DestroyWindow(hwnd);
}

TEST_F(StartUp, EachThreadHooksItselfOnceAndTheLastShutDownTearsDown) {
    const DWORD ui = GetCurrentThreadId();
    ASSERT_TRUE(InitSkinLibrary(Instance()));
    EXPECT_EQ(GetSkinLastError(), 0);
    EXPECT_TRUE(SkinEngine::IsStarted());
    EXPECT_EQ(SkinEngine::GetInstance(), Instance());
    EXPECT_TRUE(ClassExists("QuorventaPopupMenuWnd"));
    EXPECT_TRUE(ClassExists("QuorventaTooltip32"));
    {
        WNDCLASSA tip{};
        ASSERT_TRUE(GetClassInfoA(Instance(), "QuorventaTooltip32", &tip));
        EXPECT_EQ(tip.style, UINT(CS_SAVEBITS | CS_CLASSDC));
        EXPECT_EQ(tip.hbrBackground, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
        EXPECT_EQ(tip.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    }
    const HHOOK uiCall = CallWndHookOf(ui), uiKey = KeyboardHookOf(ui);
    ASSERT_TRUE(uiCall);
    ASSERT_TRUE(uiKey);
    EXPECT_NE(uiCall, uiKey);

    // A second start-up on the same thread keeps its one pair of hooks.
    EXPECT_TRUE(InitSkinLibrary(Instance()));
    EXPECT_EQ(CallWndHookOf(ui), uiCall);
    EXPECT_EQ(KeyboardHookOf(ui), uiKey);
    ASSERT_TRUE(SetDialogSkin("Dialog"));

    // The worker hooks itself only; its shut-down leaves the UI thread and the engine alone.
    DWORD worker = 0;
    OnThread([&] {
        worker = GetCurrentThreadId();
        EXPECT_TRUE(InitSkinLibrary(nullptr));
        EXPECT_EQ(GetSkinLastError(), 0);
        EXPECT_TRUE(CallWndHookOf(worker));
        EXPECT_TRUE(KeyboardHookOf(worker));
        EXPECT_EQ(CallWndHookOf(ui), uiCall);
        // The instance of the first start-up is the one kept.
        EXPECT_EQ(SkinEngine::GetInstance(), Instance());
        ExitSkinLibrary();
        EXPECT_FALSE(CallWndHookOf(worker));
        EXPECT_FALSE(KeyboardHookOf(worker));
    });
    EXPECT_TRUE(SkinEngine::IsStarted());
    EXPECT_EQ(CallWndHookOf(ui), uiCall);
    EXPECT_EQ(SkinEngine::GetDialogSkinName(), "Dialog");
    EXPECT_TRUE(ClassExists("QuorventaTooltip32"));

    // A thread that never started cannot shut the engine down.
    OnThread([] { ExitSkinLibrary(); });
    EXPECT_TRUE(SkinEngine::IsStarted());

    // One shut-down on the UI thread is the last one, however often it started.
    ExitSkinLibrary();
    EXPECT_FALSE(SkinEngine::IsStarted());
    EXPECT_FALSE(CallWndHookOf(ui));
    EXPECT_FALSE(KeyboardHookOf(ui));
    EXPECT_EQ(SkinEngine::GetDialogSkinName(), "");
    EXPECT_FALSE(ClassExists("QuorventaPopupMenuWnd"));
    EXPECT_FALSE(ClassExists("QuorventaTooltip32"));
    EXPECT_EQ(skin::GetApiHookMode(), skin::ApiHookMode::None);
    EXPECT_FALSE(SetDialogSkin("Dialog"));
    EXPECT_EQ(GetSkinLastError(), 19);

    // And the engine starts again from scratch.
    ASSERT_TRUE(InitSkinLibrary(Instance()));
    EXPECT_TRUE(CallWndHookOf(ui));
    EXPECT_EQ(SkinEngine::GetDialogSkinName(), "");
}

TEST_F(StartUp, TheEngineStaysUpWhileTheWorkerOutlivesTheUiThreadsShutDown) {
    std::atomic<int> step{0};
    std::thread worker([&] {
        EXPECT_TRUE(InitSkinLibrary(Instance()));
        step = 1;
        while (step != 2) std::this_thread::yield();
        // The UI thread is gone from the engine; the worker still runs it.
        EXPECT_TRUE(SkinEngine::IsStarted());
        EXPECT_TRUE(SetDialogSkin("Dialog"));
        ExitSkinLibrary();
        EXPECT_FALSE(SkinEngine::IsStarted());
    });
    ASSERT_TRUE(InitSkinLibrary(Instance()));
    while (step != 1) std::this_thread::yield();
    ExitSkinLibrary();
    EXPECT_FALSE(CallWndHookOf(GetCurrentThreadId()));
    EXPECT_TRUE(SkinEngine::IsStarted());
    step = 2;
    worker.join();
}

TEST_F(StartUp, AFailedFirstStartUpLeavesNothingRegisteredOrPatched) {
    std::vector<std::vector<uint8_t>> entries;
    for (int i = 0; i < skin::kApiHookCount; ++i) entries.push_back(EntryBytes(i));

    for (const char* taken : {"QuorventaPopupMenuWnd", "QuorventaTooltip32"}) {
        // Someone else already owns one of the engine's class names.
        WNDCLASSA wc{};
        wc.lpfnWndProc = &DefWindowProcA;
        wc.hInstance = Instance();
        wc.lpszClassName = taken;
        ASSERT_TRUE(RegisterClassA(&wc)) << taken;

        EXPECT_FALSE(InitSkinLibrary(Instance())) << taken;
        EXPECT_EQ(GetSkinLastError(), 1) << taken;
        EXPECT_FALSE(SkinEngine::IsStarted());
        EXPECT_FALSE(CallWndHookOf(GetCurrentThreadId()));
        EXPECT_EQ(skin::GetApiHookMode(), skin::ApiHookMode::None);
        // The other class went again, so the next attempt does not trip over it.
        const char* other = strcmp(taken, "QuorventaTooltip32") == 0 ? "QuorventaPopupMenuWnd" : "QuorventaTooltip32";
        EXPECT_FALSE(ClassExists(other)) << taken;
        // A second failure is the same failure, not a different one.
        EXPECT_FALSE(InitSkinLibrary(Instance()));
        EXPECT_EQ(GetSkinLastError(), 1);
        ASSERT_TRUE(UnregisterClassA(taken, Instance()));
    }

    ASSERT_TRUE(InitSkinLibrary(Instance()));
    EXPECT_EQ(GetSkinLastError(), 0);
    ExitSkinLibrary();
    // Whatever the identity, the functions are exactly as before.
    for (int i = 0; i < skin::kApiHookCount; ++i) EXPECT_EQ(EntryBytes(i), entries[i]) << skin::kApiHookNames[i];
}

// A tooltip subsystem: counts what the engine asks of it.
struct FakeTooltip {
    static int created, destroyed, shown, hidden;
    static std::string text;
    static POINT where;
    static bool hadPoint;
    static HWND Create(HINSTANCE) {
        ++created;
        return reinterpret_cast<HWND>(uintptr_t(0x1234));
    }
    static void Destroy() { ++destroyed; }
    static BOOL ShowAt(const char* t, const POINT* p) {
        ++shown;
        text = t ? t : "";
        hadPoint = p != nullptr;
        if (p) where = *p;
        return TRUE;
    }
    static void Hide() { ++hidden; }
};
int FakeTooltip::created, FakeTooltip::destroyed, FakeTooltip::shown, FakeTooltip::hidden;
std::string FakeTooltip::text;
POINT FakeTooltip::where;
bool FakeTooltip::hadPoint;

TEST_F(StartUp, TheTooltipWindowLivesFromTheFirstStartUpToTheLastShutDown) {
    // Without a tooltip subsystem the tooltip functions say so.
    EXPECT_FALSE(ShowSkinTooltip(0, "tip", nullptr));
    EXPECT_EQ(GetSkinLastError(), 12);
    EXPECT_FALSE(HideSkinTooltip());

    static const SkinTooltipService service = {&DefWindowProcA, &FakeTooltip::Create, &FakeTooltip::Destroy,
                                               &FakeTooltip::ShowAt, &FakeTooltip::Hide};
    SetSkinTooltipService(&service);
    ASSERT_TRUE(InitSkinLibrary(Instance()));
    OnThread([] {
        EXPECT_TRUE(InitSkinLibrary(Instance()));
        ExitSkinLibrary();
    });
    EXPECT_EQ(FakeTooltip::created, 1);
    EXPECT_EQ(FakeTooltip::destroyed, 0);

    const POINT at{40, 50};
    EXPECT_TRUE(ShowSkinTooltip(0xDEAD, "Hello", &at));
    EXPECT_EQ(FakeTooltip::text, "Hello");
    EXPECT_TRUE(FakeTooltip::hadPoint);
    EXPECT_EQ(FakeTooltip::where.x, 40);
    EXPECT_TRUE(ShowSkinTooltip(0, "At the cursor", nullptr));
    EXPECT_FALSE(FakeTooltip::hadPoint);
    EXPECT_TRUE(HideSkinTooltip());
    EXPECT_EQ(FakeTooltip::hidden, 1);

    ExitSkinLibrary();
    EXPECT_EQ(FakeTooltip::destroyed, 1);
}


// A tooltip service whose destroying, done by the last shut-down while it holds the library
// lock, lets another thread start its own call into the engine at that very moment.
std::atomic<int> g_exitStep{0};
HWND g_fakeTip = nullptr;
HWND CreateFakeTip(HINSTANCE) { return g_fakeTip = MakeWindow(WS_POPUP); }
void DestroyWhileAnotherThreadWaits() {
    DestroyWindow(g_fakeTip);
    if (g_exitStep != 1) return;
    g_exitStep = 2;
    for (int spin = 0; spin < 100000 && g_exitStep != 3; ++spin) std::this_thread::yield();
}

TEST_F(StartUp, TheLastShutDownAnswersAThreadWaitingForTheLibraryLock) {
    static const SkinTooltipService service = {&DefWindowProcA, &CreateFakeTip, &DestroyWhileAnotherThreadWaits,
                                               nullptr, nullptr};
    SetSkinTooltipService(&service);
    g_exitStep = 0;
    std::atomic<bool> uiDone{false};
    std::atomic<HWND> skinned{nullptr};
    std::atomic<bool> loaded{false};
    // The worker skins a window of its own and leaves the engine; its window stays skinned, so
    // the last shut-down must have the worker detach it.
    std::thread worker([&] {
        ASSERT_TRUE(InitSkinLibrary(Instance()));
        while (!loaded) std::this_thread::yield();
        HWND h = MakeWindow();
        EXPECT_TRUE(CSkinManager::Instance().AttachFrameSkin(h, "Frame"));
        ExitSkinLibrary();
        skinned = h;
        const auto pump = [] {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        };
        while (g_exitStep != 2 && !uiDone) pump();
        g_exitStep = 3;
        ExitSkinLibrary();  // waits for the library lock
        while (!uiDone) pump();
        DestroyWindow(h);
    });
    auto ui = std::async(std::launch::async, [&] {
        EXPECT_TRUE(InitSkinLibrary(Instance()));
        EXPECT_TRUE(LoadSkinFile(WriteTestSkin("exitlock.qvk").c_str()));
        loaded = true;
        while (!skinned) std::this_thread::yield();
        g_exitStep = 1;
        ExitSkinLibrary();
        uiDone = true;
    });
    if (ui.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ADD_FAILURE() << "the last shut-down and a thread waiting for the library lock hang";
        std::abort();  // both threads are stuck for good
    }
    worker.join();
    EXPECT_EQ(g_exitStep.load(), 3);
    EXPECT_FALSE(SkinEngine::IsStarted());
    EXPECT_EQ(CSkinManager::Instance().GetWindowCount(), 0u);
}

}  // namespace
