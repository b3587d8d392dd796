// The ten functions intercepted process-wide under each system identity, each in a fresh process
// (the identity is read from the environment): entry patching for XP, import slots for 98, nothing
// for a later NT. Removal must leave entries and slots exactly as they were.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "ApiHook.h"
#include "ImportHook.h"

namespace {

constexpr DWORD kColorMarker = 0x00ABCDEF;
HBRUSH BrushMarker() { return reinterpret_cast<HBRUSH>(uintptr_t(0x5EED)); }

BOOL WINAPI R_EnableScrollBar(HWND, UINT, UINT) { return 101; }
BOOL WINAPI R_GetScrollInfo(HWND, int, LPSCROLLINFO) { return 102; }
int WINAPI R_GetScrollPos(HWND, int) { return 103; }
BOOL WINAPI R_GetScrollRange(HWND, int, LPINT, LPINT) { return 104; }
int WINAPI R_SetScrollInfo(HWND, int, LPCSCROLLINFO, BOOL) { return 105; }
int WINAPI R_SetScrollPos(HWND, int, int, BOOL) { return 106; }
BOOL WINAPI R_SetScrollRange(HWND, int, int, int, BOOL) { return 107; }
BOOL WINAPI R_ShowScrollBar(HWND, int, BOOL) { return 108; }
// Answers the marker for one index and asks the system for the others, the way the engine's
// replacement falls back when no skin colour applies.
DWORD WINAPI R_GetSysColor(int index) {
    if (index == COLOR_BTNFACE) return kColorMarker;
    auto system = reinterpret_cast<DWORD(WINAPI*)(int)>(skin::GetApiHookSystemFunction(skin::kHookGetSysColor));
    return system(index);
}
HBRUSH WINAPI R_GetSysColorBrush(int) { return BrushMarker(); }

void* const kReplacements[skin::kApiHookCount] = {
    reinterpret_cast<void*>(&R_EnableScrollBar), reinterpret_cast<void*>(&R_GetScrollInfo),
    reinterpret_cast<void*>(&R_GetScrollPos),    reinterpret_cast<void*>(&R_GetScrollRange),
    reinterpret_cast<void*>(&R_SetScrollInfo),   reinterpret_cast<void*>(&R_SetScrollPos),
    reinterpret_cast<void*>(&R_SetScrollRange),  reinterpret_cast<void*>(&R_ShowScrollBar),
    reinterpret_cast<void*>(&R_GetSysColor),     reinterpret_cast<void*>(&R_GetSysColorBrush),
};

using GetSysColorFn = DWORD(WINAPI*)(int);

// The platform's own entry, as its internal callers reach it (not through this program's slots).
GetSysColorFn PlatformGetSysColor() {
    return reinterpret_cast<GetSysColorFn>(dlsym(RTLD_DEFAULT, "GetSysColor"));
}

// The address this program sees for GetSysColor: read from its address slot at each call.
GetSysColorFn ProgramGetSysColorAddress() {
    GetSysColorFn volatile f = &GetSysColor;
    return f;
}

struct Checker {
    std::string failures;
    void operator()(bool ok, const char* what, int line) {
        if (!ok) failures += std::to_string(line) + ": " + what + "\n";
    }
};
#define CHECK(c) check((c), #c, __LINE__)

// A module's own way to GetSysColor; a function that answers 0 when the module did not load.
GetSysColorFn ModuleSysColor(HMODULE module) {
    auto f = module ? reinterpret_cast<GetSysColorFn>(reinterpret_cast<void*>(GetProcAddress(module, "ModuleSysColor"))) : nullptr;
    return f ? f : [](int) -> DWORD { return 0; };
}

std::u16string Wide(const char* ascii) { return std::u16string(ascii, ascii + strlen(ascii)); }

std::vector<uint8_t> EntryBytes(int which) {
    auto* p = static_cast<const uint8_t*>(dlsym(RTLD_DEFAULT, skin::kApiHookNames[which]));
    return std::vector<uint8_t>(p, p + 32);
}

// Runs in a child process with the identity set; returns the failures found.
std::string Scenario(const char* winver) {
    Checker check;
    if (winver) setenv("VELMORA_WINVER", winver, 1);
    else unsetenv("VELMORA_WINVER");
    const std::string id = winver ? winver : "xp";

    const DWORD realFace = PlatformGetSysColor()(COLOR_BTNFACE);
    const DWORD realWindow = PlatformGetSysColor()(COLOR_WINDOW);
    CHECK(realFace != kColorMarker);
    std::vector<std::vector<uint8_t>> entries;
    for (int i = 0; i < skin::kApiHookCount; ++i) entries.push_back(EntryBytes(i));
    const GetSysColorFn addressBefore = ProgramGetSysColorAddress();

    std::vector<HMODULE> loadedLater;
    const BOOL installed = skin::InstallApiHooks(kReplacements);
    if (id == "xp") {
        CHECK(skin::GetOsVersionClass() == 7);
        CHECK(installed);
        CHECK(skin::GetApiHookMode() == skin::ApiHookMode::CodePatch);
        for (int i = 0; i < skin::kApiHookCount; ++i) CHECK(skin::IsApiHookActive(skin::ApiHookFunction(i)));
        // Every caller is caught, the platform's own included.
        CHECK(GetSysColor(COLOR_BTNFACE) == kColorMarker);
        CHECK(PlatformGetSysColor()(COLOR_BTNFACE) == kColorMarker);
        CHECK(GetSysColor(COLOR_WINDOW) == realWindow);
        CHECK(GetSysColorBrush(COLOR_BTNFACE) == BrushMarker());
        CHECK(GetScrollPos(nullptr, SB_CTL) == 103);
        CHECK(ShowScrollBar(nullptr, SB_CTL, TRUE) == 108);
        auto viaStub = reinterpret_cast<GetSysColorFn>(skin::GetApiHookSystemFunction(skin::kHookGetSysColor));
        CHECK(viaStub(COLOR_BTNFACE) == realFace);
        CHECK(EntryBytes(skin::kHookGetSysColor) != entries[skin::kHookGetSysColor]);
        // A second installation is refused and changes nothing.
        CHECK(!skin::InstallApiHooks(kReplacements));
        CHECK(GetSysColor(COLOR_WINDOW) == realWindow);
    } else if (id == "9x") {
        CHECK(skin::GetOsVersionClass() == 3);
        CHECK(installed);
        CHECK(skin::GetApiHookMode() == skin::ApiHookMode::ImportSlots);
        for (int i = 0; i < skin::kApiHookCount; ++i) CHECK(skin::IsApiHookActive(skin::ApiHookFunction(i)));
        // This program's call slot and address slot both lead to the replacement...
        CHECK(GetSysColor(COLOR_BTNFACE) == kColorMarker);
        CHECK(reinterpret_cast<void*>(ProgramGetSysColorAddress()) == reinterpret_cast<void*>(&R_GetSysColor));
        CHECK(GetSysColorBrush(COLOR_BTNFACE) == BrushMarker());
        CHECK(GetScrollPos(nullptr, SB_CTL) == 103);
        CHECK(EnableScrollBar(nullptr, SB_CTL, 0) == 101);
        // Asking for the address answers the replacement too, as a slot bound at load time would.
        HMODULE user = LoadLibraryA("user32.dll");
        CHECK(user != nullptr);
        CHECK(reinterpret_cast<void*>(GetProcAddress(user, "GetSysColor")) == reinterpret_cast<void*>(&R_GetSysColor));
        CHECK(reinterpret_cast<void*>(GetProcAddress(user, "GetSystemMetrics")) == dlsym(RTLD_DEFAULT, "GetSystemMetrics"));
        CHECK(LoadLibraryExA("user32.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE) != nullptr);
        CHECK(LoadLibraryExW(u"user32.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE) != nullptr);
        // Modules loaded from now on through any of the four loaders are patched as they load.
        const std::u16string w = Wide(SKIN_TEST_MODULE_W), exw = Wide(SKIN_TEST_MODULE_EXW);
        loadedLater = {LoadLibraryA(SKIN_TEST_MODULE_A), LoadLibraryExA(SKIN_TEST_MODULE_EXA, nullptr, 0),
                       LoadLibraryW(w.c_str()), LoadLibraryExW(exw.c_str(), nullptr, 0)};
        for (HMODULE m : loadedLater) CHECK(ModuleSysColor(m)(COLOR_BTNFACE) == kColorMarker);
        // ...while the platform's code and entries stay as they are.
        CHECK(PlatformGetSysColor()(COLOR_BTNFACE) == realFace);
        for (int i = 0; i < skin::kApiHookCount; ++i) CHECK(EntryBytes(i) == entries[i]);
        // Every function has its record; those this program uses have at least one slot.
        size_t hooks = 0;
        for (skin::CImportHook* h = skin::CImportHook::First(); h; h = h->Next()) {
            ++hooks;
            for (const char* used : {"GetSysColor", "GetSysColorBrush", "GetScrollPos", "EnableScrollBar", "ShowScrollBar"})
                if (strcmp(h->FunctionName(), used) == 0) CHECK(h->PatchedSlotCount() >= 1);
        }
        CHECK(hooks == skin::kApiHookCount + 5);  // and the five loader hooks
        CHECK(strcmp(skin::CImportHook::First()->FunctionName(), "GetSysColorBrush") == 0);
    } else {
        CHECK(skin::GetOsVersionClass() == 1);
        CHECK(!installed);
        CHECK(skin::GetApiHookMode() == skin::ApiHookMode::None);
        CHECK(GetSysColor(COLOR_BTNFACE) == realFace);
        CHECK(GetScrollPos(nullptr, SB_CTL) != 103);
        for (int i = 0; i < skin::kApiHookCount; ++i) CHECK(EntryBytes(i) == entries[i]);
        CHECK(reinterpret_cast<GetSysColorFn>(skin::GetApiHookSystemFunction(skin::kHookGetSysColor))(COLOR_BTNFACE) == realFace);
    }

    skin::RemoveApiHooks();
    CHECK(skin::GetApiHookMode() == skin::ApiHookMode::None);
    CHECK(skin::CImportHook::First() == nullptr);
    for (int i = 0; i < skin::kApiHookCount; ++i) CHECK(EntryBytes(i) == entries[i]);
    CHECK(ProgramGetSysColorAddress() == addressBefore);
    CHECK(GetSysColor(COLOR_BTNFACE) == realFace);
    CHECK(PlatformGetSysColor()(COLOR_BTNFACE) == realFace);
    CHECK(GetScrollPos(nullptr, SB_CTL) != 103);
    for (HMODULE m : loadedLater) CHECK(ModuleSysColor(m)(COLOR_BTNFACE) == realFace);
    CHECK(reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("user32.dll"), "GetSysColor")) ==
          reinterpret_cast<void*>(PlatformGetSysColor()));

    // Interception survives a later second start-up, and goes away again.
    if (id != "nt6") {
        CHECK(skin::InstallApiHooks(kReplacements));
        CHECK(GetSysColor(COLOR_BTNFACE) == kColorMarker);
        skin::RemoveApiHooks();
        CHECK(GetSysColor(COLOR_BTNFACE) == realFace);
        for (int i = 0; i < skin::kApiHookCount; ++i) CHECK(EntryBytes(i) == entries[i]);
        CHECK(ProgramGetSysColorAddress() == addressBefore);
    }
    return check.failures;
}

void RunInChild(const char* winver) {
    std::string failures = Scenario(winver);
    if (!failures.empty()) fprintf(stderr, "%s", failures.c_str());
    _exit(failures.empty() ? 0 : 1);
}

// The hooks installed and removed over and over while other threads call an intercepted
// function (through the replacement and back to the system) and, under 98, load modules and ask
// for addresses through the hooked loaders. Nothing may crash, every answer must be right, and
// the last removal leaves everything as it was.
std::string Churn(const char* winver) {
    Checker check;
    if (winver) setenv("VELMORA_WINVER", winver, 1);
    else unsetenv("VELMORA_WINVER");
    const DWORD realWindow = PlatformGetSysColor()(COLOR_WINDOW);
    const GetSysColorFn addressBefore = ProgramGetSysColorAddress();
    std::atomic<bool> stop{false};
    std::atomic<int> wrong{0}, calls{0}, loads{0};
    std::thread caller([&] {
        while (!stop) {
            if (GetSysColor(COLOR_WINDOW) != realWindow) ++wrong;
            ++calls;
        }
    });
    const bool slots = winver && strcmp(winver, "9x") == 0;
    std::thread loader([&] {
        HMODULE user = LoadLibraryA("user32.dll");
        while (!stop && slots) {
            HMODULE m = LoadLibraryA(SKIN_TEST_MODULE_A);
            if (!m || !GetProcAddress(user, "GetSysColor")) ++wrong;
            FreeLibrary(m);
            ++loads;
        }
    });
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int cycles = 0;
    for (; cycles < 10 && std::chrono::steady_clock::now() < until; ++cycles) {
        CHECK(skin::InstallApiHooks(kReplacements));
        // Each cycle lets the other threads through the hooks at least once.
        const int c = calls, l = loads;
        while ((calls == c || (slots && loads == l)) && std::chrono::steady_clock::now() < until)
            std::this_thread::yield();
        skin::RemoveApiHooks();
    }
    stop = true;
    caller.join();
    loader.join();
    CHECK(cycles >= 5);
    CHECK(wrong == 0);
    CHECK(skin::CImportHook::First() == nullptr);
    CHECK(ProgramGetSysColorAddress() == addressBefore);
    CHECK(GetSysColor(COLOR_BTNFACE) != kColorMarker);
    return check.failures;
}

void ChurnInChild(const char* winver) {
    std::string failures = Churn(winver);
    if (!failures.empty()) fprintf(stderr, "%s", failures.c_str());
    _exit(failures.empty() ? 0 : 1);
}

class InterceptApiHooks : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

}  // namespace

TEST_F(InterceptApiHooks, XpPatchesEntriesAndRestoresThem) {
    EXPECT_EXIT(RunInChild(nullptr), ::testing::ExitedWithCode(0), "");
}

TEST_F(InterceptApiHooks, Win98PatchesImportSlotsAndRestoresThem) {
    EXPECT_EXIT(RunInChild("9x"), ::testing::ExitedWithCode(0), "");
}

TEST_F(InterceptApiHooks, LaterNtInterceptsNothing) {
    EXPECT_EXIT(RunInChild("nt6"), ::testing::ExitedWithCode(0), "");
}

TEST_F(InterceptApiHooks, Win98HooksComeAndGoWhileOtherThreadsLoadAndCall) {
    EXPECT_EXIT(ChurnInChild("9x"), ::testing::ExitedWithCode(0), "");
}

TEST_F(InterceptApiHooks, XpHooksComeAndGoWhileAnotherThreadCallsThrough) {
    EXPECT_EXIT(ChurnInChild(nullptr), ::testing::ExitedWithCode(0), "");
}

TEST_F(InterceptApiHooks, IncompleteReplacementsAreRefused) {
    void* partial[skin::kApiHookCount];
    memcpy(partial, kReplacements, sizeof(partial));
    partial[skin::kHookGetSysColor] = nullptr;
    EXPECT_FALSE(skin::InstallApiHooks(partial));
    EXPECT_FALSE(skin::InstallApiHooks(nullptr));
    EXPECT_EQ(skin::GetApiHookMode(), skin::ApiHookMode::None);
}
