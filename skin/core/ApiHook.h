// Process-wide interception of the ten scroll-bar and system-colour functions, by the system's
// identity: import slots on the Windows 95 family (98, Me), entry patching on NT 4 to XP, nothing
// elsewhere.
#pragma once

#include "windows.h"

namespace skin {

enum ApiHookFunction {
    kHookEnableScrollBar,
    kHookGetScrollInfo,
    kHookGetScrollPos,
    kHookGetScrollRange,
    kHookSetScrollInfo,
    kHookSetScrollPos,
    kHookSetScrollRange,
    kHookShowScrollBar,
    kHookGetSysColor,
    kHookGetSysColorBrush,
    kApiHookCount
};

// The exported names, in the order above (which is also the order of installation).
extern const char* const kApiHookNames[kApiHookCount];

enum class ApiHookMode { None, ImportSlots, CodePatch };

// OS class from GetVersion/GetVersionExA: 0 and 2 (95 family, old or unknown), 3 (98), 4 (Me),
// 1 (NT other than below), 5 (NT 4), 6 (2000), 7 (XP).
int GetOsVersionClass();

// Intercepts the ten functions with `replacements` (indexed by ApiHookFunction; every entry must
// be set) by the current OS class. False when this system gets no interception, or when hooks are
// already installed. A function that cannot be patched stays as it is; the others are patched.
BOOL InstallApiHooks(void* const replacements[kApiHookCount]);
// Undoes whatever InstallApiHooks installed; the entries and import slots are as before.
void RemoveApiHooks();

ApiHookMode GetApiHookMode();
// What a replacement calls to reach the system function without coming back to itself: the
// code-patch stub, the system address kept by the import hook, or the export itself when
// nothing is intercepted.
void* GetApiHookSystemFunction(ApiHookFunction which);
// Whether the function was actually intercepted by the current installation.
bool IsApiHookActive(ApiHookFunction which);

}  // namespace skin
