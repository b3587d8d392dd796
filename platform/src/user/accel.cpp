// Accelerator tables: key combinations that become WM_COMMAND.
#include <memory>
#include <vector>

#include "core/handles.h"
#include "user/window.h"

using namespace plat;

namespace {

struct AccelTable {
    std::vector<ACCEL> entries;
};

HandleTable<AccelTable>& Accels() {
    static auto* t = new HandleTable<AccelTable>(HandleKind::Accel);
    return *t;
}

bool Down(int vk) { return GetKeyState(vk) < 0; }

}  // namespace

extern "C" {

HACCEL WINAPI CreateAcceleratorTableA(LPACCEL accels, int count) {
    if (!accels || count <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto t = std::make_shared<AccelTable>();
    t->entries.assign(accels, accels + count);
    return Accels().Add<HACCEL>(t);
}

BOOL WINAPI DestroyAcceleratorTable(HACCEL accel) { return Accels().Remove(accel) ? TRUE : FALSE; }

int WINAPI CopyAcceleratorTableA(HACCEL accel, LPACCEL out, int count) {
    auto t = Accels().Get(accel);
    if (!t) {
        SetLastError(ERROR_INVALID_ACCEL_HANDLE);
        return 0;
    }
    if (!out) return int(t->entries.size());
    int n = std::min<int>(count, int(t->entries.size()));
    for (int i = 0; i < n; ++i) out[i] = t->entries[size_t(i)];
    return n;
}

int WINAPI TranslateAcceleratorA(HWND hwnd, HACCEL accel, LPMSG msg) {
    if (!msg || !hwnd) return 0;
    auto t = Accels().Get(accel);
    if (!t) {
        SetLastError(ERROR_INVALID_ACCEL_HANDLE);
        return 0;
    }
    UINT m = msg->message;
    bool key = m == WM_KEYDOWN || m == WM_SYSKEYDOWN;
    bool chr = m == WM_CHAR || m == WM_SYSCHAR;
    if (!key && !chr) return 0;
    bool shift = Down(VK_SHIFT), ctrl = Down(VK_CONTROL), alt = Down(VK_MENU) || m == WM_SYSKEYDOWN;
    for (const ACCEL& a : t->entries) {
        bool virt = (a.fVirt & FVIRTKEY) != 0;
        if (virt != key) continue;
        if (virt) {
            if (a.key != WORD(msg->wParam)) continue;
            if (bool(a.fVirt & FSHIFT) != shift || bool(a.fVirt & FCONTROL) != ctrl || bool(a.fVirt & FALT) != alt)
                continue;
        } else {
            if (a.key != WORD(msg->wParam)) continue;
            if ((a.fVirt & FALT) && !(msg->lParam & 0x20000000)) continue;
        }
        // A command whose menu item is disabled is swallowed without WM_COMMAND.
        HMENU menu = GetMenu(hwnd);
        if (menu) {
            UINT st = GetMenuState(menu, a.cmd, MF_BYCOMMAND);
            if (st != UINT(-1) && (st & (MF_GRAYED | MF_DISABLED))) return 1;
        }
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
        return 1;
    }
    return 0;
}

}  // extern "C"
