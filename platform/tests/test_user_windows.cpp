// Windows: the order of creation and destruction messages, the window-procedure hook, subclass
// chains, properties, the tree, long values and stale handles.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "windows.h"

namespace {

struct Rec {
    HWND hwnd;
    UINT msg;
};
std::vector<Rec> g_log;
bool g_logging = false;

bool Interesting(UINT m) {
    switch (m) {
        case WM_GETMINMAXINFO: case WM_NCCREATE: case WM_NCCALCSIZE: case WM_CREATE: case WM_SIZE: case WM_MOVE:
        case WM_PARENTNOTIFY: case WM_SHOWWINDOW: case WM_WINDOWPOSCHANGING: case WM_WINDOWPOSCHANGED:
        case WM_DESTROY: case WM_NCDESTROY: case WM_STYLECHANGING: case WM_STYLECHANGED:
            return true;
        default: return false;
    }
}

std::string PropDuringNcDestroy;

LRESULT CALLBACK LogProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (g_logging && Interesting(m)) g_log.push_back({h, m});
    if (m == WM_NCDESTROY) {
        HANDLE p = GetPropA(h, "OBJECT");
        if (p) PropDuringNcDestroy = static_cast<const char*>(p);
    }
    return DefWindowProcA(h, m, w, l);
}

const char* const kClass = "VelmoraTestLog";

void RegisterOnce() {
    static bool done = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = LogProc;
        wc.lpszClassName = kClass;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_WINDOW + 1));
        return RegisterClassA(&wc) != 0;
    }();
    ASSERT_TRUE(done);
}

std::vector<UINT> MessagesOf(HWND h) {
    std::vector<UINT> out;
    for (auto& r : g_log)
        if (r.hwnd == h) out.push_back(r.msg);
    return out;
}

class UserWindows : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterOnce();
        g_log.clear();
        g_logging = false;
    }
};

TEST_F(UserWindows, CreationSendsItsMessagesInThePlatformOrder) {
    g_logging = true;
    HWND top = CreateWindowExA(0, kClass, "top", WS_OVERLAPPEDWINDOW, 10, 20, 300, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(top);
    std::vector<UINT> want = {WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE};
    EXPECT_EQ(MessagesOf(top), want);

    g_log.clear();
    HWND child = CreateWindowExA(0, kClass, "c", WS_CHILD | WS_VISIBLE, 5, 5, 50, 50, top, reinterpret_cast<HMENU>(7),
                                 nullptr, nullptr);
    ASSERT_TRUE(child);
    // A child gets no WM_GETMINMAXINFO; its parent hears of it; showing follows creation.
    std::vector<UINT> want_child = {WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE,
                                    WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED};
    EXPECT_EQ(MessagesOf(child), want_child);
    ASSERT_EQ(MessagesOf(top), std::vector<UINT>{WM_PARENTNOTIFY});
    EXPECT_EQ(GetDlgCtrlID(child), 7);
    EXPECT_EQ(GetParent(child), top);
    DestroyWindow(top);
}

TEST_F(UserWindows, DestructionIsParentFirstForDestroyAndChildrenFirstForNcDestroy) {
    HWND top = CreateWindowExA(0, kClass, "top", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    HWND a = CreateWindowExA(WS_EX_NOPARENTNOTIFY, kClass, "a", WS_CHILD, 0, 0, 50, 50, top, nullptr, nullptr, nullptr);
    HWND b = CreateWindowExA(WS_EX_NOPARENTNOTIFY, kClass, "b", WS_CHILD, 0, 0, 20, 20, a, nullptr, nullptr, nullptr);
    ASSERT_TRUE(top && a && b);
    SetPropA(b, "OBJECT", const_cast<char*>("object-of-b"));
    g_logging = true;
    ASSERT_TRUE(DestroyWindow(top));
    std::vector<Rec> seen;
    for (auto& r : g_log)
        if (r.msg == WM_DESTROY || r.msg == WM_NCDESTROY) seen.push_back(r);
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_TRUE(seen[0].hwnd == top && seen[0].msg == WM_DESTROY);
    EXPECT_TRUE(seen[1].hwnd == a && seen[1].msg == WM_DESTROY);
    EXPECT_TRUE(seen[2].hwnd == b && seen[2].msg == WM_DESTROY);
    EXPECT_TRUE(seen[3].hwnd == b && seen[3].msg == WM_NCDESTROY);
    EXPECT_TRUE(seen[4].hwnd == a && seen[4].msg == WM_NCDESTROY);
    EXPECT_TRUE(seen[5].hwnd == top && seen[5].msg == WM_NCDESTROY);
    // Properties were still there during the last message, and the handles are dead now.
    EXPECT_EQ(PropDuringNcDestroy, "object-of-b");
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(b));
    EXPECT_EQ(GetPropA(b, "OBJECT"), nullptr);
}

TEST_F(UserWindows, StaleAndForeignHandlesFailCleanly) {
    HWND h = CreateWindowExA(0, kClass, "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(h);
    DestroyWindow(h);
    HWND again = CreateWindowExA(0, kClass, "y", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(again, h);  // a freed handle never names a new window
    EXPECT_FALSE(IsWindow(h));
    SetLastError(0);
    EXPECT_EQ(SendMessageA(h, WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_FALSE(PostMessageA(h, WM_USER, 0, 0));
    EXPECT_FALSE(DestroyWindow(h));
    EXPECT_FALSE(SetWindowPos(h, nullptr, 0, 0, 1, 1, 0));
    EXPECT_EQ(GetWindowLongPtrA(h, GWL_STYLE), 0);
    RECT r;
    EXPECT_FALSE(GetWindowRect(h, &r));
    char buf[8] = "keep";
    EXPECT_EQ(GetClassNameA(h, buf, sizeof(buf)), 0);
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(uintptr_t(0x1234))));
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(CreatePopupMenu())));  // a menu is not a window
    DestroyWindow(again);
}

TEST_F(UserWindows, CallsOnAStaleWindowFailAndSayTheHandleIsInvalid) {
    HWND h = CreateWindowExA(0, kClass, "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(h);
    DestroyWindow(h);
    auto invalid = [](bool failed, const char* what) {
        EXPECT_TRUE(failed) << what;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE)) << what;
        SetLastError(0);
    };
    SetLastError(0);
    invalid(GetWindowLongPtrA(h, GWL_STYLE) == 0, "GetWindowLongPtr");
    invalid(SetWindowLongA(h, GWL_USERDATA, 5) == 0, "SetWindowLong");
    invalid(GetClassLongPtrA(h, GCL_STYLE) == 0, "GetClassLongPtr");
    invalid(GetParent(h) == nullptr, "GetParent");
    invalid(GetWindowThreadProcessId(h, nullptr) == 0, "GetWindowThreadProcessId");
    invalid(!SetPropA(h, "P", reinterpret_cast<HANDLE>(1)), "SetProp");
    invalid(!PostMessageA(h, WM_USER, 0, 0), "PostMessage");
    invalid(!ValidateRect(h, nullptr), "ValidateRect");
    invalid(!RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE), "RedrawWindow");
    invalid(SetTimer(h, 1, 10, nullptr) == 0, "SetTimer");
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    invalid(!GetScrollInfo(h, SB_VERT, &si), "GetScrollInfo");
    invalid(SetScrollInfo(h, SB_VERT, &si, FALSE) == 0, "SetScrollInfo");
}

// ---- hooks ----

std::vector<std::pair<HWND, UINT>> g_hooked;
HHOOK g_hook;
LRESULT CALLBACK CallWndHook(int code, WPARAM w, LPARAM l) {
    auto* cwp = reinterpret_cast<CWPSTRUCT*>(l);
    if (cwp->message == WM_CREATE || cwp->message == WM_NCCREATE) g_hooked.push_back({cwp->hwnd, cwp->message});
    return CallNextHookEx(g_hook, code, w, l);
}

HWND g_inner;
LRESULT CALLBACK ParentMakesChildProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_CREATE)
        g_inner = CreateWindowExA(0, kClass, "inner", WS_CHILD, 0, 0, 10, 10, h, nullptr, nullptr, nullptr);
    return DefWindowProcA(h, m, w, l);
}

TEST_F(UserWindows, CallWndProcHookSeesAChildCreatedInsideItsParentsCreate) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ParentMakesChildProc;
    wc.lpszClassName = "VelmoraTestNested";
    RegisterClassA(&wc);
    g_hooked.clear();
    g_hook = SetWindowsHookExA(WH_CALLWNDPROC, CallWndHook, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(g_hook);
    HWND outer = CreateWindowExA(0, "VelmoraTestNested", "outer", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(outer && g_inner);
    UnhookWindowsHookEx(g_hook);
    std::vector<std::pair<HWND, UINT>> want = {{outer, WM_NCCREATE}, {outer, WM_CREATE}, {g_inner, WM_NCCREATE},
                                               {g_inner, WM_CREATE}};
    EXPECT_EQ(g_hooked, want);
    EXPECT_FALSE(UnhookWindowsHookEx(g_hook));  // a dead hook is refused, not a crash
    DestroyWindow(outer);
}

// A hook that subclasses the window makes the very message it sees reach the new procedure.
WNDPROC g_old_proc;
int g_new_proc_creates = 0;
LRESULT CALLBACK NewProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_NCCREATE) ++g_new_proc_creates;
    return CallWindowProcA(g_old_proc, h, m, w, l);
}
LRESULT CALLBACK SubclassingHook(int code, WPARAM w, LPARAM l) {
    auto* cwp = reinterpret_cast<CWPSTRUCT*>(l);
    if (cwp->message == WM_NCCREATE)
        g_old_proc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(cwp->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NewProc)));
    return CallNextHookEx(nullptr, code, w, l);
}

TEST_F(UserWindows, SubclassingInsideTheHookTakesEffectForTheHookedMessage) {
    HHOOK hk = SetWindowsHookExA(WH_CALLWNDPROC, SubclassingHook, nullptr, GetCurrentThreadId());
    HWND h = CreateWindowExA(0, kClass, "s", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    UnhookWindowsHookEx(hk);
    ASSERT_TRUE(h);
    EXPECT_EQ(g_new_proc_creates, 1);
    EXPECT_EQ(g_old_proc, LogProc);
    DestroyWindow(h);
}

// ---- subclass chains, text, properties ----

std::vector<std::string> g_chain;
WNDPROC g_prev1, g_prev2;
LRESULT CALLBACK Sub1(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_SETTEXT) g_chain.push_back("sub1");
    return CallWindowProcA(g_prev1, h, m, w, l);
}
LRESULT CALLBACK Sub2(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_SETTEXT) {
        g_chain.push_back("sub2");
        // Skins rewrite what the frame shows.
        std::string t = std::string("[") + reinterpret_cast<const char*>(l) + "]";
        return CallWindowProcA(g_prev2, h, m, w, reinterpret_cast<LPARAM>(t.c_str()));
    }
    return CallWindowProcA(g_prev2, h, m, w, l);
}

TEST_F(UserWindows, SubclassChainsRunNewestFirstAndTextGoesThroughTheProcedure) {
    HWND h = CreateWindowExA(0, kClass, "start", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    g_prev1 = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Sub1)));
    g_prev2 = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Sub2)));
    EXPECT_EQ(g_prev1, LogProc);
    EXPECT_EQ(g_prev2, Sub1);
    g_chain.clear();
    SetWindowTextA(h, "hello");
    EXPECT_EQ(g_chain, (std::vector<std::string>{"sub2", "sub1"}));
    char buf[64];
    EXPECT_EQ(GetWindowTextA(h, buf, sizeof(buf)), 7);
    EXPECT_STREQ(buf, "[hello]");
    EXPECT_EQ(GetWindowTextLengthA(h), 7);
    // A short buffer gets a terminated prefix.
    char small[4];
    EXPECT_EQ(GetWindowTextA(h, small, sizeof(small)), 3);
    EXPECT_STREQ(small, "[he");
    // Unhooking in reverse restores the chain.
    SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_prev2));
    g_chain.clear();
    SetWindowTextA(h, "x");
    EXPECT_EQ(g_chain, std::vector<std::string>{"sub1"});
    DestroyWindow(h);
}

TEST_F(UserWindows, PropertiesAreCaseInsensitiveAndRemovable) {
    HWND h = CreateWindowExA(0, kClass, "p", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    int a = 1, b = 2;
    EXPECT_TRUE(SetPropA(h, "SkinSBSubclassPtr", &a));
    EXPECT_EQ(GetPropA(h, "skinsbsubclassptr"), &a);
    EXPECT_TRUE(SetPropA(h, "SKINSBSUBCLASSPTR", &b));  // same name, replaced
    EXPECT_EQ(GetPropA(h, "SkinSBSubclassPtr"), &b);
    EXPECT_EQ(RemovePropA(h, "skinSBsubclassPTR"), &b);
    EXPECT_EQ(GetPropA(h, "SkinSBSubclassPtr"), nullptr);
    EXPECT_EQ(RemovePropA(h, "SkinSBSubclassPtr"), nullptr);
    DestroyWindow(h);
}

// ---- classes, styles, tree ----

TEST_F(UserWindows, ClassNamesKeepTheirSpellingAndDuplicatesFail) {
    const char* names[] = {"#32770", "Button", "Static", "Edit", "ListBox", "ComboBox", "ComboLBox", "ScrollBar",
                           "SysListView32", "SysHeader32", "msctls_trackbar32", "msctls_progress32",
                           "tooltips_class32", "#32768"};
    for (const char* n : names) {
        HWND h = CreateWindowExA(0, n, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(h) << n;
        char buf[64];
        GetClassNameA(h, buf, sizeof(buf));
        EXPECT_STREQ(buf, n);
        DestroyWindow(h);
    }
    WNDCLASSA wc{};
    wc.lpfnWndProc = LogProc;
    wc.lpszClassName = kClass;
    SetLastError(0);
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));
    WNDCLASSA got{};
    EXPECT_TRUE(GetClassInfoA(nullptr, "velmoratestlog", &got));
    EXPECT_EQ(got.lpfnWndProc, LogProc);
    // A class with live windows cannot go.
    HWND h = CreateWindowExA(0, kClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(UnregisterClassA(kClass, nullptr));
    DestroyWindow(h);
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANNOT_FIND_WND_CLASS));
}

TEST_F(UserWindows, StyleChangesAreAnnouncedAndLongValuesRoundTrip) {
    HWND h = CreateWindowExA(0, kClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    g_logging = true;
    LONG_PTR old = SetWindowLongPtrA(h, GWL_STYLE, WS_POPUP | WS_BORDER);
    EXPECT_EQ(DWORD(old) & WS_POPUP, DWORD(WS_POPUP));
    EXPECT_EQ(MessagesOf(h), (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED}));
    EXPECT_EQ(DWORD(GetWindowLongA(h, GWL_STYLE)), DWORD(WS_POPUP | WS_BORDER));
    g_logging = false;
    SetWindowLongPtrA(h, GWLP_USERDATA, LONG_PTR(0x1122334455667788LL));
    EXPECT_EQ(GetWindowLongPtrA(h, GWLP_USERDATA), LONG_PTR(0x1122334455667788LL));
    SetLastError(0);
    EXPECT_EQ(GetWindowLongPtrA(h, 400), 0);  // beyond the extra bytes
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX));
    DestroyWindow(h);
}

TEST_F(UserWindows, TreeNavigationAndCoordinateMapping) {
    HWND top = CreateWindowExA(0, kClass, "t", WS_POPUP | WS_BORDER, 100, 50, 300, 200, nullptr, nullptr, nullptr, nullptr);
    HWND c1 = CreateWindowExA(0, kClass, "c1", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top, reinterpret_cast<HMENU>(1), nullptr, nullptr);
    HWND c2 = CreateWindowExA(0, kClass, "c2", WS_CHILD | WS_VISIBLE, 70, 10, 50, 50, top, reinterpret_cast<HMENU>(2), nullptr, nullptr);
    HWND g1 = CreateWindowExA(0, kClass, "g1", WS_CHILD, 1, 1, 5, 5, c1, nullptr, nullptr, nullptr);
    HWND owned = CreateWindowExA(0, kClass, "o", WS_POPUP, 0, 0, 5, 5, c1, nullptr, nullptr, nullptr);
    EXPECT_EQ(GetWindow(top, GW_CHILD), c1);  // creation order is z-order, first on top
    EXPECT_EQ(GetWindow(c1, GW_HWNDNEXT), c2);
    EXPECT_EQ(GetWindow(c2, GW_HWNDPREV), c1);
    EXPECT_EQ(GetAncestor(g1, GA_ROOT), top);
    EXPECT_EQ(GetAncestor(top, GA_PARENT), GetDesktopWindow());
    EXPECT_TRUE(IsChild(top, g1));
    EXPECT_FALSE(IsChild(top, owned));
    EXPECT_EQ(GetWindow(owned, GW_OWNER), top);  // the owner is always a top level
    EXPECT_EQ(GetParent(owned), top);
    EXPECT_EQ(GetDlgItem(top, 2), c2);
    EXPECT_EQ(FindWindowA(kClass, "t"), top);
    int count = 0;
    EnumChildWindows(top, [](HWND, LPARAM p) -> BOOL { ++*reinterpret_cast<int*>(p); return TRUE; },
                     reinterpret_cast<LPARAM>(&count));
    EXPECT_EQ(count, 3);
    POINT p{0, 0};
    ClientToScreen(g1, &p);
    EXPECT_EQ(p.x, 100 + 1 + 10 + 1);  // top's border, c1, g1
    EXPECT_EQ(p.y, 50 + 1 + 10 + 1);
    POINT q{5, 5};
    MapWindowPoints(c2, c1, &q, 1);
    EXPECT_EQ(q.x, 65);
    EXPECT_EQ(q.y, 5);
    SetWindowPos(c2, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(top, GW_CHILD), c2);
    DestroyWindow(top);
    EXPECT_FALSE(IsWindow(owned));  // owned windows go with their owner
}

TEST_F(UserWindows, SetWindowPosSendsChangingAndChangedWithMoveAndSize) {
    HWND h = CreateWindowExA(0, kClass, "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    g_logging = true;
    SetWindowPos(h, nullptr, 10, 10, 50, 60, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(MessagesOf(h), (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}));
    RECT r;
    GetWindowRect(h, &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.bottom, 70);
    g_log.clear();
    SetWindowPos(h, nullptr, 10, 10, 50, 60, SWP_NOZORDER | SWP_NOACTIVATE);  // no change: no WM_MOVE/WM_SIZE
    EXPECT_EQ(MessagesOf(h), (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}));
    g_logging = false;
    DestroyWindow(h);
}

}  // namespace
