#include "ApiHook.h"

#include <dlfcn.h>

#include <memory>
#include <mutex>

#include "CodePatch.h"
#include "ImportHook.h"

namespace skin {

const char* const kApiHookNames[kApiHookCount] = {
    "EnableScrollBar", "GetScrollInfo",  "GetScrollPos", "GetScrollRange", "SetScrollInfo",
    "SetScrollPos",    "SetScrollRange", "ShowScrollBar", "GetSysColor",   "GetSysColorBrush",
};

namespace {

struct State {
    ApiHookMode mode = ApiHookMode::None;
    void* replacements[kApiHookCount] = {};
    void* system[kApiHookCount] = {};
    uint8_t* stubs[kApiHookCount] = {};
    bool active[kApiHookCount] = {};
    std::unique_ptr<CImportHook> imports[kApiHookCount];
};

std::mutex g_lock;
State& S() {
    static auto* s = new State;
    return *s;
}

void* ExportAddress(int i) {
    HMODULE user = LoadLibraryA("User32.dll");
    return user ? reinterpret_cast<void*>(GetProcAddress(user, kApiHookNames[i])) : nullptr;
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
    }
    if (osClass == 3 || osClass == 4) {
        s.mode = ApiHookMode::ImportSlots;
        // Newest first in the hook list, as each record links itself at the head.
        for (int i = 0; i < kApiHookCount; ++i) {
            s.imports[i].reset(new CImportHook("USER32.dll", kApiHookNames[i], replacements[i], false));
            s.active[i] = s.imports[i]->SystemAddress() != nullptr;
            if (s.imports[i]->SystemAddress()) s.system[i] = s.imports[i]->SystemAddress();
        }
        return TRUE;
    }
    if (osClass >= 5 && osClass <= 8) {
        s.mode = ApiHookMode::CodePatch;
        for (int i = 0; i < kApiHookCount; ++i) {
            if (!s.system[i]) continue;
            s.stubs[i] = CreateCodePatchStub(s.system[i]);
            if (!s.stubs[i]) continue;
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
    } else if (s.mode == ApiHookMode::CodePatch) {
        for (int i = 0; i < kApiHookCount; ++i) {
            if (!s.stubs[i]) continue;
            // A stub whose removal failed may still be the only way into the function's moved
            // instructions, so it is kept rather than freed.
            if (!s.active[i] || RemoveCodePatch(s.stubs[i], s.replacements[i])) {
                FreeCodePatchStub(s.stubs[i]);
            }
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
    std::lock_guard<std::mutex> lock(g_lock);
    State& s = S();
    if (s.mode == ApiHookMode::CodePatch && s.stubs[which]) return s.stubs[which];
    if (s.system[which]) return s.system[which];
    return ExportAddress(which);
}

bool IsApiHookActive(ApiHookFunction which) {
    if (which < 0 || which >= kApiHookCount) return false;
    std::lock_guard<std::mutex> lock(g_lock);
    return S().active[which];
}

}  // namespace skin
