#include "SkinHooks.h"

#include <atomic>
#include <cstring>
#include <strings.h>

#include "SkinManager.h"
#include "SkinWindow.h"

namespace {

std::atomic<const SkinHookEnvironment*> g_environment{nullptr};

HHOOK ThreadHook(bool keyboard)
{
    const SkinHookEnvironment* env = g_environment.load();
    if (!env)
        return nullptr;
    auto get = keyboard ? env->keyboardHook : env->callWndHook;
    return get ? get() : nullptr;
}

bool ClassNameOf(HWND hwnd, char (&name)[101])
{
    name[0] = 0;
    return hwnd && GetClassNameA(hwnd, name, sizeof name) > 0;
}

// A floating toolbar sits in a tool window of its own, not in a rebar or a control bar.
bool IsFloatingToolBar(HWND parent)
{
    char parentClass[101];
    if (!ClassNameOf(parent, parentClass))
        return false;
    if (std::strcmp(parentClass, "ReBarWindow32") == 0 || std::strncmp(parentClass, "AfxControlBar", 13) == 0)
        return false;
    if (!GetParent(parent))
        return false;
    return (GetWindowLongA(parent, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
}

bool IsKeyDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

}  // namespace

void SetSkinHookEnvironment(const SkinHookEnvironment* environment) { g_environment.store(environment); }

// ---- accelerator copies --------------------------------------------------------------------------

CSkinAccelTable::CSkinAccelTable(HACCEL accel) { Copy(accel); }

BOOL CSkinAccelTable::Copy(HACCEL accel)
{
    Clear();
    const int count = accel ? CopyAcceleratorTableA(accel, nullptr, 0) : 0;
    if (count <= 0)
        return FALSE;
    m_entries.resize(size_t(count));
    const int copied = CopyAcceleratorTableA(accel, m_entries.data(), count);
    m_entries.resize(size_t(copied > 0 ? copied : 0));
    return !m_entries.empty();
}

void CSkinAccelTable::Clear()
{
    m_entries.clear();
    m_entries.shrink_to_fit();
}

BOOL CSkinAccelTable::Find(int virtualKey, ACCEL* out) const
{
    for (const ACCEL& a : m_entries) {
        if (int(a.key) != virtualKey)
            continue;
        if ((a.fVirt & FSHIFT) && !IsKeyDown(VK_SHIFT))
            continue;
        if ((a.fVirt & FCONTROL) && !IsKeyDown(VK_CONTROL))
            continue;
        if ((a.fVirt & FALT) && !IsKeyDown(VK_MENU))
            continue;
        if (out)
            *out = a;
        return TRUE;
    }
    return FALSE;
}

// ---- the call-window hook ----------------------------------------------------------------------------

LRESULT CALLBACK CallWndProcHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    HHOOK hook = ThreadHook(false);
    if (!hook)
        return 0;
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && cwp) {
        // Work handed over from another thread runs here, whatever the window's procedure.
        SkinHandleThreadJob(cwp->message, cwp->lParam);
        if (cwp->message == WM_CREATE) {
            HWND hwnd = cwp->hwnd;
            char name[101];
            if (ClassNameOf(hwnd, name)) {
                char dialogSkin[51] = {};
                const SkinHookEnvironment* env = g_environment.load();
                if (env && env->getDialogSkinName)
                    env->getDialogSkinName(dialogSkin);
                dialogSkin[50] = 0;
                CSkinManager& manager = CSkinManager::Instance();
                if (std::strcmp(name, "#32770") == 0 && dialogSkin[0]) {
                    manager.AttachDialogSkin(hwnd, dialogSkin);
                } else if (HWND parent = GetParent(hwnd)) {
                    HWND host = nullptr;
                    manager.Lock();
                    if (CSkinWindow* ancestor = manager.FindSkinnedAncestor(parent))
                        host = ancestor->GetHwnd();
                    manager.Unlock();
                    if (host) {
                        // The ancestor's skin keeps its controls on its own thread; this
                        // thread waits inside the creation meanwhile, so the new window is
                        // quiet while it is subclassed.
                        SkinRunOnWindowThread(host, [&] {
                            if (CSkinWindow* ancestor = manager.FindSkinWindow(host))
                                ancestor->SkinChildControl(hwnd, ancestor->GetSkinObject());
                        });
                    } else if (std::strcmp(name, "ToolbarWindow32") == 0 && IsFloatingToolBar(parent)) {
                        manager.AttachFloatingToolBar(hwnd);
                    }
                }
            }
        }
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

// ---- the keyboard hook ---------------------------------------------------------------------------------

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    HHOOK hook = ThreadHook(true);
    if (!hook)
        return 0;
    if (code != HC_ACTION)
        return CallNextHookEx(hook, code, wParam, lParam);

    CSkinManager& manager = CSkinManager::Instance();
    const int key = int(wParam);
    const DWORD data = DWORD(lParam);
    HWND active = GetActiveWindow();
    HWND target = active;
    CSkinWindow* skin = manager.FindSkinWindow(active);
    bool activeIsPopup = false;
    char name[101];
    if (ClassNameOf(active, name) && strcasecmp(name, "QuorventaPopupMenuWnd") == 0 && GetPropA(active, "this")) {
        activeIsPopup = true;
        HWND owner = GetWindow(active, GW_OWNER);
        target = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
        skin = target ? manager.FindSkinWindow(target) : nullptr;
    }

    // Accelerators whose menu command is disabled never reach the window.
    if (!(data & 0x80000000u) && skin && target) {
        ACCEL accel{};
        const SkinHookEnvironment* env = g_environment.load();
        if (env && env->findAccelerator && env->findAccelerator(target, key, &accel)) {
            if (HMENU menu = skin->GetMenu()) {
                const UINT state = GetMenuState(menu, accel.cmd, MF_BYCOMMAND);
                if (state != UINT(-1) && (state & (MF_GRAYED | MF_DISABLED)))
                    return 1;
            }
        }
    }

    // The menu key goes to the skinned window, or to an open skinned popup menu.
    auto sendMenuKey = [&](WPARAM keyParam) -> LRESULT {
        HWND to = skin ? skin->GetHwnd() : (activeIsPopup ? active : nullptr);
        return to ? SendMessageA(to, WM_SKIN_MENUKEY, keyParam, lParam) : 0;
    };
    // The key-up of Alt itself is its release, whatever context bit the window system gave it.
    const bool altHeld = (data & 0x20000000u) != 0 && !(key == VK_MENU && (data & 0x80000000u));
    if (key == VK_F10 || (key != VK_MENU && altHeld)) {
        if (sendMenuKey(WPARAM(key)))
            return 1;
    } else if (key == VK_MENU && !altHeld) {
        return 1;  // the release of Alt
    } else if (key == VK_MENU) {
        if (sendMenuKey(WPARAM(0xFFFFFFFFu)))
            return 1;
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}
