#include "ApiHook.h"

#include <dlfcn.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "CodePatch.h"
#include "ImportHook.h"

namespace skin {

const char* const kApiHookNames[kApiHookCount] = {
    "EnableScrollBar", "GetScrollInfo",  "GetScrollPos", "GetScrollRange", "SetScrollInfo",
    "SetScrollPos",    "SetScrollRange", "ShowScrollBar", "GetSysColor",   "GetSysColorBrush",
};

namespace {

// The import-slot mode also hooks the loaders and GetProcAddress (below).
enum { kLoadLibraryA, kLoadLibraryW, kLoadLibraryExA, kLoadLibraryExW, kGetProcAddress, kLoaderCount };
const char* const kLoaderNames[kLoaderCount] = {"LoadLibraryA", "LoadLibraryW", "LoadLibraryExA", "LoadLibraryExW",
                                                "GetProcAddress"};

struct State {
    ApiHookMode mode = ApiHookMode::None;
    void* replacements[kApiHookCount] = {};
    void* system[kApiHookCount] = {};
    uint8_t* stubs[kApiHookCount] = {};
    bool active[kApiHookCount] = {};
    std::unique_ptr<CImportHook> imports[kApiHookCount];
    std::unique_ptr<CImportHook> loaderHooks[kLoaderCount];
    std::vector<uint8_t*> retiredStubs;  // stubs of earlier start-ups, kept for late callers
};

std::mutex g_lock;
// What a replacement calls for the system's own behaviour (the stub of a patched entry, or the
// function itself), readable without the lock: replacements run inside the platform's painting,
// which may hold the platform's lock while another thread installs the hooks under this one.
std::atomic<void*> g_callThrough[kApiHookCount];

State& S() {
    static auto* s = new State;
    return *s;
}

void* ExportAddress(int i) {
    HMODULE user = LoadLibraryA("User32.dll");
    return user ? reinterpret_cast<void*>(GetProcAddress(user, kApiHookNames[i])) : nullptr;
}

// The loader hooks of the import-slot mode: a module loaded later, by either character set's
// loaders, gets its slots patched too, and asking for the address of an intercepted function
// answers its replacement, as a module bound at load time would see it. The system addresses
// are read without the lock: the hooks are created before and destroyed after these are
// reachable.
std::atomic<void*> g_loaderSystem[kLoaderCount];

template <class Fn>
Fn LoaderSystem(int which) {
    return reinterpret_cast<Fn>(g_loaderSystem[which].load());
}

// A module that was loaded as code gets the hooks' slots patched.
HMODULE AfterLoad(HMODULE m, DWORD flags) {
    if (m && !(flags & LOAD_LIBRARY_AS_DATAFILE)) CImportHook::PatchAllHooks();
    return m;
}

HMODULE WINAPI Hook_LoadLibraryA(LPCSTR name) {
    auto system = LoaderSystem<HMODULE(WINAPI*)(LPCSTR)>(kLoadLibraryA);
    return AfterLoad(system ? system(name) : nullptr, 0);
}

HMODULE WINAPI Hook_LoadLibraryW(LPCWSTR name) {
    auto system = LoaderSystem<HMODULE(WINAPI*)(LPCWSTR)>(kLoadLibraryW);
    return AfterLoad(system ? system(name) : nullptr, 0);
}

HMODULE WINAPI Hook_LoadLibraryExA(LPCSTR name, HANDLE file, DWORD flags) {
    auto system = LoaderSystem<HMODULE(WINAPI*)(LPCSTR, HANDLE, DWORD)>(kLoadLibraryExA);
    return AfterLoad(system ? system(name, file, flags) : nullptr, flags);
}

HMODULE WINAPI Hook_LoadLibraryExW(LPCWSTR name, HANDLE file, DWORD flags) {
    auto system = LoaderSystem<HMODULE(WINAPI*)(LPCWSTR, HANDLE, DWORD)>(kLoadLibraryExW);
    return AfterLoad(system ? system(name, file, flags) : nullptr, flags);
}

FARPROC WINAPI Hook_GetProcAddress(HMODULE module, LPCSTR name) {
    auto system = LoaderSystem<FARPROC(WINAPI*)(HMODULE, LPCSTR)>(kGetProcAddress);
    FARPROC p = system ? system(module, name) : nullptr;
    if (!p) return p;
    if (void* replacement = CImportHook::ReplacementFor(reinterpret_cast<void*>(p)))
        return reinterpret_cast<FARPROC>(replacement);
    return p;
}

void InstallLoaderHooks(State& s) {
    void* const replacements[kLoaderCount] = {
        reinterpret_cast<void*>(&Hook_LoadLibraryA), reinterpret_cast<void*>(&Hook_LoadLibraryW),
        reinterpret_cast<void*>(&Hook_LoadLibraryExA), reinterpret_cast<void*>(&Hook_LoadLibraryExW),
        reinterpret_cast<void*>(&Hook_GetProcAddress)};
    for (int i = 0; i < kLoaderCount; ++i) {
        // The system address is known before the slots change, so the replacement never waits.
        if (HMODULE k = LoadLibraryA("Kernel32.dll"))
            g_loaderSystem[i] = reinterpret_cast<void*>(GetProcAddress(k, kLoaderNames[i]));
        s.loaderHooks[i].reset(new CImportHook("KERNEL32.dll", kLoaderNames[i], replacements[i], false));
        if (s.loaderHooks[i]->SystemAddress()) g_loaderSystem[i] = s.loaderHooks[i]->SystemAddress();
    }
}

void RemoveLoaderHooks(State& s) {
    for (int i = kLoaderCount - 1; i >= 0; --i) s.loaderHooks[i].reset();
    // The system addresses stay: a replacement may still be running on another thread.
}

}  // namespace

int GetOsVersionClass() {
    DWORD v = GetVersion();
    const DWORD major = v & 0xFF;
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    const bool haveInfo = GetVersionExA(&info) != FALSE;
    if (v & 0x80000000u) {
        if (major < 4) return 0;
        if (!haveInfo) return 2;
        if (info.dwMajorVersion == 4 && info.dwMinorVersion == 10) return 3;
        if (info.dwMajorVersion == 4 && info.dwMinorVersion == 90) return 4;
        return 2;
    }
    if (!haveInfo) return 1;
    if (info.dwMajorVersion == 4) return 5;
    if (info.dwMajorVersion == 5 && info.dwMinorVersion == 0) return 6;
    if (info.dwMajorVersion == 5 && info.dwMinorVersion == 1) return 7;
    return 1;
}

BOOL InstallApiHooks(void* const replacements[kApiHookCount]) {
    if (!replacements) return FALSE;
    for (int i = 0; i < kApiHookCount; ++i)
        if (!replacements[i]) return FALSE;
    std::lock_guard<std::mutex> lock(g_lock);
    State& s = S();
    if (s.mode != ApiHookMode::None) return FALSE;
    const int osClass = GetOsVersionClass();
    for (int i = 0; i < kApiHookCount; ++i) {
        s.replacements[i] = replacements[i];
        s.system[i] = ExportAddress(i);
        s.active[i] = false;
        g_callThrough[i] = s.system[i];
    }
    if (osClass == 3 || osClass == 4) {
        s.mode = ApiHookMode::ImportSlots;
        InstallLoaderHooks(s);
        // Newest first in the hook list, as each record links itself at the head.
        for (int i = 0; i < kApiHookCount; ++i) {
            s.imports[i].reset(new CImportHook("USER32.dll", kApiHookNames[i], replacements[i], false));
            s.active[i] = s.imports[i]->SystemAddress() != nullptr;
            if (s.imports[i]->SystemAddress()) s.system[i] = s.imports[i]->SystemAddress();
            g_callThrough[i] = s.system[i];
        }
        return TRUE;
    }
    if (osClass >= 5 && osClass <= 8) {
        s.mode = ApiHookMode::CodePatch;
        for (int i = 0; i < kApiHookCount; ++i) {
            if (!s.system[i]) continue;
            s.stubs[i] = CreateCodePatchStub(s.system[i]);
            if (!s.stubs[i]) continue;
            g_callThrough[i] = s.stubs[i];  // published before the entry leads to the replacement
            s.active[i] = InstallCodePatch(s.stubs[i], replacements[i]) != FALSE;
        }
        return TRUE;
    }
    return FALSE;
}

void RemoveApiHooks() {
    std::lock_guard<std::mutex> lock(g_lock);
    State& s = S();
    if (s.mode == ApiHookMode::ImportSlots) {
        // Newest first, so a slot patched by two records ends with the oldest original.
        for (int i = kApiHookCount - 1; i >= 0; --i) s.imports[i].reset();
        RemoveLoaderHooks(s);
    } else if (s.mode == ApiHookMode::CodePatch) {
        for (int i = 0; i < kApiHookCount; ++i) {
            if (!s.stubs[i]) continue;
            // Another thread may be running through the stub or its relay right now (a
            // replacement calling the system's behaviour): the entry is restored, but the stub
            // is neither rewritten nor freed, and a later start-up makes a new one. One whose
            // removal failed may be the only way into the moved instructions: kept the same way.
            if (!s.active[i] || RemoveCodePatch(s.stubs[i], s.replacements[i], true)) g_callThrough[i] = s.system[i];
            s.retiredStubs.push_back(s.stubs[i]);
            s.stubs[i] = nullptr;
        }
    }
    for (int i = 0; i < kApiHookCount; ++i) {
        s.active[i] = false;
        s.replacements[i] = nullptr;
    }
    s.mode = ApiHookMode::None;
}

ApiHookMode GetApiHookMode() {
    std::lock_guard<std::mutex> lock(g_lock);
    return S().mode;
}

void* GetApiHookSystemFunction(ApiHookFunction which) {
    if (which < 0 || which >= kApiHookCount) return nullptr;
    if (void* p = g_callThrough[which].load()) return p;
    return ExportAddress(which);
}

bool IsApiHookActive(ApiHookFunction which) {
    if (which < 0 || which >= kApiHookCount) return false;
    std::lock_guard<std::mutex> lock(g_lock);
    return S().active[which];
}

}  // namespace skin
