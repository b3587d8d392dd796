// Engine start-up and shut-down per GUI thread, the per-thread last error, the engine-wide
// state, skin loading and the window-level public functions.
#include "SkinEngine.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <list>
#include <map>
#include <memory>
#include <mutex>

#include "ApiHook.h"
#include "MemoryStream.h"
#include "SkinEngineInternal.h"
#include "SkinEngineServices.h"
#include "SkinFile.h"
#include "SkinGeometry.h"
#include "SkinHooks.h"
#include "SkinManager.h"
#include "SkinObjectTypes.h"
#include "SkinWindow.h"

namespace {

const char kPopupMenuClass[] = "QuorventaPopupMenuWnd";
const char kTooltipClass[] = "QuorventaTooltip32";
const char kVersionText[] = "V2.4.1.1";
constexpr UINT kDefaultChangeMessage = 0x0BD0;
constexpr size_t kDialogSkinNameSize = 51;

thread_local int t_lastError = 0;

// Start-up, shut-down and the scroll-bar list. Never destroyed, so a public function called
// after the last shut-down (or during exit) still finds a usable lock.
std::recursive_mutex& LibraryLock() {
    static auto* m = new std::recursive_mutex;
    return *m;
}

struct EngineState {
    std::atomic<int> started{0};
    std::atomic<HINSTANCE> instance{nullptr};
    std::atomic<SkinEngine::SetLayeredWindowAttributesFn> layered{nullptr};
    std::atomic<int> osClass{0};
    bool popupClassRegistered = false;
    bool tooltipClassRegistered = false;
    bool tooltipCreated = false;
    bool hooksInstalled = false;

    // The hook maps have a lock of their own: the hook procedures read them on every message
    // and must never wait for a thread that holds the library lock while it sends to them.
    std::mutex hookLock;
    std::map<DWORD, HHOOK> callWndHooks;
    std::map<DWORD, HHOOK> keyboardHooks;

    std::mutex stateLock;  // dialog skin name, notices, accelerator copies
    char dialogSkinName[kDialogSkinNameSize] = {};
    std::map<HWND, UINT> notices;
    std::map<HWND, std::unique_ptr<CSkinAccelTable>> accelerators;

    std::list<HWND> scrollBarWindows;  // under the library lock
};

EngineState& E() {
    static auto* s = new EngineState;
    return *s;
}

const SkinTooltipService* volatile g_tooltip = nullptr;
const SkinPopupMenuService* volatile g_popup = nullptr;
const SkinScrollBarService* volatile g_scrollBars = nullptr;

void SetError(int code) { t_lastError = code; }

// The started check of the public functions.
bool CheckStarted() {
    if (E().started.load()) return true;
    SetError(SKINERR_NOT_STARTED);
    return false;
}

// --- what the hook procedures read -------------------------------------------------------------

HHOOK CurrentCallWndHook() { return SkinEngine::GetCallWndProcHook(GetCurrentThreadId()); }
HHOOK CurrentKeyboardHook() { return SkinEngine::GetKeyboardHook(GetCurrentThreadId()); }

void CopyDialogSkinName(char* out) {
    std::lock_guard<std::mutex> g(E().stateLock);
    memcpy(out, E().dialogSkinName, kDialogSkinNameSize);
}

BOOL FindAccelerator(HWND hwnd, int key, ACCEL* out) {
    return SkinEngine::FindWindowAccelerator(hwnd, UINT(key), out) ? TRUE : FALSE;
}

const SkinHookEnvironment kHookEnvironment = {&CurrentCallWndHook, &CurrentKeyboardHook,
                                               &CopyDialogSkinName, &FindAccelerator};

// --- first start-up and last shut-down ---------------------------------------------------------

BOOL RegisterEngineClass(const char* name, WNDPROC proc, HINSTANCE instance, UINT style,
                         HBRUSH background = nullptr) {
    WNDCLASSA wc{};
    wc.style = style;
    wc.hbrBackground = background;
    wc.lpfnWndProc = proc ? proc : &DefWindowProcA;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    return RegisterClassA(&wc) != 0;
}

// Undoes every piece of the engine-wide start-up that was done, in the reverse order. Used by
// the last shut-down and by a first start-up that fails half-way, so that a later start-up
// never registers, creates or patches anything twice.
void TearDownEngine() {
    EngineState& s = E();
    s.started = 0;
    {
        std::lock_guard<std::mutex> g(s.stateLock);
        s.dialogSkinName[0] = 0;
    }
    const HINSTANCE instance = s.instance.load();
    if (s.tooltipCreated) {
        if (const SkinTooltipService* t = g_tooltip) {
            if (t->destroy) t->destroy();
        }
        s.tooltipCreated = false;
    }
    if (s.tooltipClassRegistered) {
        UnregisterClassA(kTooltipClass, instance);
        s.tooltipClassRegistered = false;
    }
    if (s.popupClassRegistered) {
        UnregisterClassA(kPopupMenuClass, instance);
        s.popupClassRegistered = false;
    }
    if (s.hooksInstalled) {
        skin::RemoveApiHooks();
        s.hooksInstalled = false;
    }
}

bool StartEngine(HINSTANCE instance) {
    EngineState& s = E();
    s.instance = instance;
    HMODULE user = GetModuleHandleA("User32.dll");
    if (!user) user = LoadLibraryA("User32.dll");
    void* layered = user ? reinterpret_cast<void*>(GetProcAddress(user, "SetLayeredWindowAttributes")) : nullptr;
    s.layered = reinterpret_cast<SkinEngine::SetLayeredWindowAttributesFn>(layered);
    const SkinPopupMenuService* popup = g_popup;
    const SkinTooltipService* tooltip = g_tooltip;
    // Popup menus take every click as a single one: quick clicks on a scroll area each scroll.
    if (!RegisterEngineClass(kPopupMenuClass, popup ? popup->windowProc : nullptr, instance, CS_SAVEBITS)) {
        SetError(SKINERR_CLASS_NOT_REGISTERED);
        TearDownEngine();
        return false;
    }
    s.popupClassRegistered = true;
    // The tooltip paints its whole window itself: nothing is erased under it.
    if (!RegisterEngineClass(kTooltipClass, tooltip ? tooltip->windowProc : nullptr, instance,
                             CS_SAVEBITS | CS_CLASSDC, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)))) {
        SetError(SKINERR_CLASS_NOT_REGISTERED);
        TearDownEngine();
        return false;
    }
    s.tooltipClassRegistered = true;
    if (tooltip && tooltip->create) s.tooltipCreated = tooltip->create(instance) != nullptr;
    SetSkinHookEnvironment(&kHookEnvironment);
    // The manager exists before the colour functions lead to it.
    CSkinManager::Instance().SetChangeNotifier(&SkinEngine::SendSkinChangeNotices);
    s.osClass = skin::GetOsVersionClass();
    s.hooksInstalled = skin::InstallApiHooks(SkinEngineInternal::ApiReplacements()) != FALSE;
    s.started = 1;
    return true;
}

bool ThreadHooksEmpty() {
    std::lock_guard<std::mutex> g(E().hookLock);
    return E().callWndHooks.empty();
}

// Arrow and thumb sizes of the skin's ScrollBar object for one window's bars.
void ApplyScrollBarSizes(const SkinScrollBarService* sb, HWND hwnd, int bar) {
    CSkinFile* file = CSkinManager::Instance().GetSkinFile();
    if (!sb || !file) return;
    auto* object = static_cast<CSkinScrollBarObject*>(file->FindObjectByType(SKIN_SCROLLBAR));
    if (!object) return;
    const RECT& arrow = object->m_horizontal[0].arrow1.src;
    const RECT& thumb = object->m_horizontal[0].thumb.src;
    const int arrowSize = SkinWidth(arrow);
    if (sb->setSize) sb->setSize(hwnd, bar, arrowSize, arrowSize);
    if (sb->setMinThumbSize) sb->setMinThumbSize(hwnd, bar, SkinWidth(thumb));
}

void RefreshSkinnedScrollBars() {
    std::lock_guard<std::recursive_mutex> lock(LibraryLock());
    const SkinScrollBarService* sb = g_scrollBars;
    auto& list = E().scrollBarWindows;
    for (auto it = list.begin(); it != list.end();) {
        if (!IsWindow(*it)) {
            it = list.erase(it);
            continue;
        }
        ApplyScrollBarSizes(sb, *it, SB_BOTH);
        ++it;
    }
}

// A loaded skin becomes the current one; the manager owns it from here.
BOOL ApplyLoadedSkin(std::unique_ptr<CSkinFile> file) {
    const int result = CSkinManager::Instance().ApplySkinToAllWindows(file.release());
    SetError(SKINERR_NONE);
    RefreshSkinnedScrollBars();
    return result;
}

CSkinWindow* FindSkin(HWND hwnd) { return hwnd ? CSkinManager::Instance().FindSkinWindow(hwnd) : nullptr; }

}  // namespace

// --- engine-wide state ---------------------------------------------------------------------------

namespace SkinEngine {

bool IsStarted() { return E().started.load() != 0; }
HINSTANCE GetInstance() { return E().instance.load(); }
SetLayeredWindowAttributesFn GetLayeredWindowAttributes() { return E().layered.load(); }
int GetOsClass() { return E().osClass.load(); }

HHOOK GetCallWndProcHook(DWORD threadId) {
    std::lock_guard<std::mutex> g(E().hookLock);
    auto it = E().callWndHooks.find(threadId);
    return it == E().callWndHooks.end() ? nullptr : it->second;
}

HHOOK GetKeyboardHook(DWORD threadId) {
    std::lock_guard<std::mutex> g(E().hookLock);
    auto it = E().keyboardHooks.find(threadId);
    return it == E().keyboardHooks.end() ? nullptr : it->second;
}

void SetThreadError(int code) { SetError(code); }

std::string GetDialogSkinName() {
    std::lock_guard<std::mutex> g(E().stateLock);
    return E().dialogSkinName;
}

std::vector<std::pair<HWND, UINT>> GetSkinChangeNotices() {
    std::lock_guard<std::mutex> g(E().stateLock);
    return std::vector<std::pair<HWND, UINT>>(E().notices.begin(), E().notices.end());
}

void SendSkinChangeNotices() {
    for (const auto& n : GetSkinChangeNotices()) SendMessageA(n.first, n.second, 0, 0);
}

bool FindWindowAccelerator(HWND hwnd, UINT virtualKey, ACCEL* entry) {
    std::lock_guard<std::mutex> g(E().stateLock);
    auto it = E().accelerators.find(hwnd);
    return it != E().accelerators.end() && it->second->Find(int(virtualKey), entry);
}

bool HasWindowAccelerators(HWND hwnd) {
    std::lock_guard<std::mutex> g(E().stateLock);
    return E().accelerators.count(hwnd) != 0;
}

bool HasSkinnedScrollBars(HWND hwnd) {
    std::lock_guard<std::recursive_mutex> lock(LibraryLock());
    const auto& list = E().scrollBarWindows;
    return std::find(list.begin(), list.end(), hwnd) != list.end();
}

}  // namespace SkinEngine

void SetSkinTooltipService(const SkinTooltipService* service) { g_tooltip = service; }
void SetSkinPopupMenuService(const SkinPopupMenuService* service) { g_popup = service; }
void SetSkinScrollBarService(const SkinScrollBarService* service) { g_scrollBars = service; }

namespace SkinEngineInternal {
const SkinTooltipService* TooltipService() { return g_tooltip; }
const SkinPopupMenuService* PopupMenuService() { return g_popup; }
const SkinScrollBarService* ScrollBarService() { return g_scrollBars; }
bool CheckStarted() { return ::CheckStarted(); }
}  // namespace SkinEngineInternal

// --- start-up, shut-down and skin files ----------------------------------------------------------

extern "C" {

BOOL WINAPI InitSkinLibrary(HINSTANCE instance) {
    EngineState& s = E();
    std::lock_guard<std::recursive_mutex> lock(LibraryLock());
    if (!s.started.load() && ThreadHooksEmpty()) {
        if (!StartEngine(instance)) return FALSE;
    }
    const DWORD tid = GetCurrentThreadId();
    const HINSTANCE kept = s.instance.load();
    bool firstHooks = false;
    if (!SkinEngine::GetCallWndProcHook(tid)) {
        HHOOK h = SetWindowsHookExA(WH_CALLWNDPROC, &CallWndProcHookProc, kept, tid);
        if (!h) {
            SetError(SKINERR_CALLWNDPROC_HOOK);
            // A first start-up that cannot hook its own thread leaves nothing behind, so the
            // next attempt starts from scratch instead of registering and patching twice.
            if (ThreadHooksEmpty()) TearDownEngine();
            return FALSE;
        }
        std::lock_guard<std::mutex> g(s.hookLock);
        s.callWndHooks[tid] = h;
        firstHooks = true;
    }
    if (!SkinEngine::GetKeyboardHook(tid)) {
        HHOOK h = SetWindowsHookExA(WH_KEYBOARD, &KeyboardHookProc, kept, tid);
        if (!h) {
            SetError(SKINERR_KEYBOARD_HOOK);
            if (firstHooks) {
                // Without its keyboard hook the thread is not started: its call-window hook
                // goes too, and with it the engine when this was the only thread.
                HHOOK cw = nullptr;
                {
                    std::lock_guard<std::mutex> g(s.hookLock);
                    cw = s.callWndHooks[tid];
                    s.callWndHooks.erase(tid);
                }
                UnhookWindowsHookEx(cw);
                if (ThreadHooksEmpty()) TearDownEngine();
            }
            return FALSE;
        }
        std::lock_guard<std::mutex> g(s.hookLock);
        s.keyboardHooks[tid] = h;
    }
    SetError(SKINERR_NONE);
    return TRUE;
}

void WINAPI ExitSkinLibrary(void) {
    EngineState& s = E();
    std::unique_lock<std::recursive_mutex> lock(LibraryLock());
    if (!s.started.load()) return;
    const DWORD tid = GetCurrentThreadId();
    HHOOK callWnd = nullptr, keyboard = nullptr;
    bool last = false;
    {
        std::lock_guard<std::mutex> g(s.hookLock);
        auto c = s.callWndHooks.find(tid);
        if (c != s.callWndHooks.end()) {
            callWnd = c->second;
            s.callWndHooks.erase(c);
        }
        auto k = s.keyboardHooks.find(tid);
        if (k != s.keyboardHooks.end()) {
            keyboard = k->second;
            s.keyboardHooks.erase(k);
        }
        last = s.callWndHooks.empty();
    }
    if (callWnd) UnhookWindowsHookEx(callWnd);
    if (keyboard) UnhookWindowsHookEx(keyboard);
    if (!last) return;

    TearDownEngine();
    std::map<HWND, std::unique_ptr<CSkinAccelTable>> accelerators;
    {
        std::lock_guard<std::mutex> g(s.stateLock);
        accelerators.swap(s.accelerators);
        s.notices.clear();
    }
    s.scrollBarWindows.clear();
    // Detaching the skins is done on the threads that own their windows; one of them may be
    // waiting for the library lock right now, and would never answer while it is held.
    lock.unlock();
    CSkinManager::Instance().Cleanup();
}

BOOL WINAPI LoadSkinFile(const char* path) {
    if (!CheckStarted()) return FALSE;
    auto file = std::make_unique<CSkinFile>();
    if (!path || !file->LoadFromFile(path)) {
        SetError(path ? file->GetLastError() : SKINERR_FILE_UNREADABLE);
        return FALSE;
    }
    return ApplyLoadedSkin(std::move(file));
}

BOOL WINAPI LoadSkinFromResource(HMODULE module, const char* name, const char* type) {
    if (!CheckStarted()) return FALSE;
    HRSRC res = FindResourceA(module, name, type);
    if (!res) {
        SetError(SKINERR_RESOURCE_NOT_FOUND);
        return FALSE;
    }
    HGLOBAL data = LoadResource(module, res);
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) {
        SetError(SKINERR_RESOURCE_NOT_LOADED);
        return FALSE;
    }
    CMemoryStream stream(bytes, SizeofResource(module, res), CMemoryStream::kDefaultGrowth);
    auto file = std::make_unique<CSkinFile>();
    if (!file->Load(stream)) {
        // The caller learns why, as from a skin file on disk.
        SetError(file->GetLastError());
        return FALSE;
    }
    return ApplyLoadedSkin(std::move(file));
}

int WINAPI GetSkinLastError(void) { return t_lastError; }

BOOL WINAPI GetSkinLibraryVersion(char* buffer) {
    if (!buffer) return FALSE;
    memcpy(buffer, kVersionText, sizeof kVersionText);
    return TRUE;
}

// --- windows -----------------------------------------------------------------------------------------

BOOL WINAPI SetWindowSkin(HWND hwnd, const char* objectName) {
    if (!CheckStarted()) return FALSE;
    return CSkinManager::Instance().AttachFrameSkin(hwnd, objectName);
}

BOOL WINAPI SetDialogWindowSkin(HWND hwnd, const char* objectName) {
    if (!CheckStarted()) return FALSE;
    return CSkinManager::Instance().AttachWindowSkin(hwnd, objectName);
}

BOOL WINAPI SetSingleDialogSkin(HWND hwnd, const char* objectName) {
    if (!CheckStarted()) return FALSE;
    return CSkinManager::Instance().AttachDialogSkin(hwnd, objectName);
}

BOOL WINAPI RemoveWindowSkin(HWND hwnd) {
    if (!CheckStarted()) return FALSE;
    if (!CSkinManager::Instance().RemoveSkin(hwnd, FALSE)) return FALSE;
    CSkinWindow::KeepPlain(hwnd);
    return TRUE;
}

BOOL WINAPI SetDialogSkin(const char* name) {
    if (!CheckStarted()) return FALSE;
    std::lock_guard<std::mutex> g(E().stateLock);
    SkinCopyText(E().dialogSkinName, kDialogSkinNameSize, name ? name : "");
    return TRUE;
}

BOOL WINAPI ClearDialogSkin(void) {
    if (!CheckStarted()) return FALSE;
    std::lock_guard<std::mutex> g(E().stateLock);
    E().dialogSkinName[0] = 0;
    return TRUE;
}

BOOL WINAPI SkinControlWindow(HWND hwnd, const char* objectName, const char* parentObjectName) {
    if (!CheckStarted()) return FALSE;
    if (!CSkinManager::Instance().CreateControlSkin(hwnd, objectName, parentObjectName)) {
        SetError(SKINERR_NOT_FOUND);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI SetWindowScrollBarSkin(HWND hwnd, int bar) {
    if (!CheckStarted()) return FALSE;
    const int osClass = E().osClass.load();
    // Systems whose scroll bars are never intercepted keep their own.
    if (osClass == 0 || osClass == 1) return TRUE;
    const SkinScrollBarService* sb = g_scrollBars;
    {
        std::lock_guard<std::recursive_mutex> lock(LibraryLock());
        if (!sb || !sb->initialize || !sb->initialize(hwnd)) {
            SetError(SKINERR_SCROLLBARS_NOT_ATTACHED);
            return FALSE;
        }
        E().scrollBarWindows.push_front(hwnd);
    }
    if (sb->setStyle) sb->setStyle(hwnd, bar, 2);
    ApplyScrollBarSizes(sb, hwnd, bar);
    return TRUE;
}

BOOL WINAPI RemoveWindowScrollBarSkin(HWND hwnd) {
    if (!CheckStarted()) return FALSE;
    std::lock_guard<std::recursive_mutex> lock(LibraryLock());
    const SkinScrollBarService* sb = g_scrollBars;
    if (sb && sb->uninitialize) sb->uninitialize(hwnd);
    E().scrollBarWindows.remove(hwnd);
    return TRUE;
}

BOOL WINAPI SetWindowAccelerators(HWND hwnd, HACCEL accelerators) {
    std::unique_ptr<CSkinAccelTable> copy(new (std::nothrow) CSkinAccelTable);
    if (!copy) {
        SetError(SKINERR_NO_MEMORY);
        return FALSE;
    }
    copy->Copy(accelerators);
    std::unique_ptr<CSkinAccelTable> old;
    std::lock_guard<std::mutex> g(E().stateLock);
    old = std::move(E().accelerators[hwnd]);
    E().accelerators[hwnd] = std::move(copy);
    return TRUE;
}

BOOL WINAPI SetSkinChangeNotify(HWND hwnd, UINT message) {
    if (!CheckStarted()) return FALSE;
    if (!message) message = kDefaultChangeMessage;
    {
        std::lock_guard<std::mutex> g(E().stateLock);
        E().notices[hwnd] = message;
    }
    SendMessageA(hwnd, message, 0, 0);
    return TRUE;
}

BOOL WINAPI RemoveSkinChangeNotify(HWND hwnd) {
    if (!CheckStarted()) return FALSE;
    std::lock_guard<std::mutex> g(E().stateLock);
    E().notices.erase(hwnd);
    return TRUE;
}

HMENU WINAPI GetSkinWindowMenu(HWND hwnd) {
    CSkinWindow* skin = FindSkin(hwnd);
    if (!skin) {
        SetError(SKINERR_NOT_FOUND);
        return nullptr;
    }
    return skin->GetMenu();
}

BOOL WINAPI SetSkinWindowMenu(HWND hwnd, HMENU menu) {
    CSkinWindow* skin = FindSkin(hwnd);
    if (!skin) {
        SetError(SKINERR_NOT_FOUND);
        return FALSE;
    }
    return skin->SetMenu(menu);
}

BOOL WINAPI SetWindowSkinName(HWND hwnd, const char* name) {
    CSkinWindow* skin = FindSkin(hwnd);
    if (!skin) {
        SetError(SKINERR_NOT_FOUND);
        return FALSE;
    }
    skin->SetName(name);
    return TRUE;
}

BOOL WINAPI SetWindowMenuParams(HWND hwnd, DWORD_PTR p1, DWORD_PTR p2, DWORD_PTR p3, DWORD_PTR p4,
                                DWORD_PTR p5) {
    CSkinWindow* skin = FindSkin(hwnd);
    if (!skin) {
        SetError(SKINERR_NOT_FOUND);
        return FALSE;
    }
    const UINT_PTR params[5] = {p1, p2, p3, p4, p5};
    skin->SetMenuParams(params);
    return TRUE;
}

BOOL WINAPI GetType45WindowMargins(HWND hwnd, RECT* margins) {
    if (!CheckStarted()) return FALSE;
    CSkinWindow* skin = FindSkin(hwnd);
    if (!skin || skin->GetObjectType() != SKIN_TYPE45 || !margins) {
        SetError(SKINERR_NOT_FOUND);
        return FALSE;
    }
    auto* type45 = dynamic_cast<ISkinType45Window*>(skin);
    if (!type45) {
        SetError(SKINERR_NOT_SUPPORTED);
        return FALSE;
    }
    type45->GetMargins(margins);
    return TRUE;
}

}  // extern "C"
