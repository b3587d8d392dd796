// Shutting the system down through its power-off command, and the token calls that precede
// it on the platform (they succeed: whether the user may power off is the system's decision).
#include <cstring>

#include "shell/spawn.h"
#include "windows.h"

namespace plat::shell {
namespace {

// The process token stands for the process itself; it needs no closing.
HANDLE const kProcessToken = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));

struct Privilege {
    const char* name;
    DWORD luid;
};
constexpr Privilege kPrivileges[] = {
    {"SeShutdownPrivilege", 19},       {"SeRemoteShutdownPrivilege", 24}, {"SeDebugPrivilege", 20},
    {"SeBackupPrivilege", 17},         {"SeRestorePrivilege", 18},        {"SeSystemtimePrivilege", 12},
    {"SeIncreaseQuotaPrivilege", 5},   {"SeChangeNotifyPrivilege", 23},
};

}  // namespace
}  // namespace plat::shell

using namespace plat::shell;

extern "C" {

BOOL WINAPI OpenProcessToken(HANDLE, DWORD, PHANDLE token) {
    if (!token) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *token = kProcessToken;
    return TRUE;
}

BOOL WINAPI LookupPrivilegeValueA(LPCSTR, LPCSTR name, PLUID luid) {
    if (!name || !luid) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (const Privilege& p : kPrivileges) {
        if (strcasecmp(p.name, name) == 0) {
            luid->LowPart = p.luid;
            luid->HighPart = 0;
            return TRUE;
        }
    }
    SetLastError(ERROR_NO_SUCH_PRIVILEGE);
    return FALSE;
}

BOOL WINAPI AdjustTokenPrivileges(HANDLE token, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES previous,
                                  PDWORD returned) {
    if (token != kProcessToken) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (previous) previous->PrivilegeCount = 0;
    if (returned) *returned = sizeof(DWORD);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL WINAPI ExitWindowsEx(UINT flags, DWORD) {
    const char* action;
    if (flags & EWX_REBOOT) action = "reboot";
    else if (flags & (EWX_SHUTDOWN | EWX_POWEROFF)) action = "poweroff";
    else {
        SetLastError(ERROR_NOT_SUPPORTED);  // ending the desktop session is the desktop's business
        return FALSE;
    }
    SpawnResult r = Spawn({"systemctl", action}, std::string(), SpawnKind::Shutdown);
    if (r == SpawnResult::NotFound) r = Spawn({"loginctl", action}, std::string(), SpawnKind::Shutdown);
    switch (r) {
    case SpawnResult::Started:
    case SpawnResult::Recorded: return TRUE;
    case SpawnResult::Denied: SetLastError(ERROR_ACCESS_DENIED); return FALSE;
    case SpawnResult::NotFound: SetLastError(ERROR_FILE_NOT_FOUND); return FALSE;
    default: SetLastError(ERROR_NOT_ENOUGH_MEMORY); return FALSE;
    }
}

}  // extern "C"
