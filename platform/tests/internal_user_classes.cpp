// The window system's registration point for system classes: a control's procedure reaches
// its class whether it is given before or after the classes exist, and a program's class of
// the same name still shadows it.
#include <gtest/gtest.h>

#include "user/classes.h"
#include "windows.h"

namespace {

int g_seen = 0;
LRESULT CALLBACK Counting(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_NCCREATE) ++g_seen;
    return DefWindowProcA(h, m, w, l);
}
LRESULT CALLBACK Program(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

HWND Make(const char* cls) {
    return CreateWindowExA(0, cls, "", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr, nullptr, nullptr);
}

TEST(InternalUserClasses, TheLibraryStartUpGaveTheControlsTheirClasses) {
    // Registered before the first window: the classes take them when they are made.
    HWND b = Make("Button");
    ASSERT_TRUE(b);
    EXPECT_NE(GetClassLongPtrA(b, GCLP_WNDPROC), ULONG_PTR(reinterpret_cast<uintptr_t>(DefWindowProcA)));
    EXPECT_EQ(GetClassLongA(b, GCL_CBWNDEXTRA), LONG(sizeof(void*)));
    DestroyWindow(b);
}

TEST(InternalUserClasses, ALateRegistrationReachesTheExistingClassAtOnce) {
    DestroyWindow(Make("Static"));  // the system classes exist by now
    plat::user::RegisterSystemClass({"SysAnimate32", Counting, 16, CS_DBLCLKS | CS_PARENTDC, nullptr});
    g_seen = 0;
    HWND a = Make("SysAnimate32");
    ASSERT_TRUE(a);
    EXPECT_EQ(g_seen, 1);
    EXPECT_EQ(GetClassLongA(a, GCL_CBWNDEXTRA), 16);
    EXPECT_EQ(GetClassLongA(a, GCL_STYLE), LONG(CS_DBLCLKS | CS_PARENTDC));
    DestroyWindow(a);

    EXPECT_FALSE(plat::user::ReplaceSystemClassProc("NoSuchSystemClass", Counting, 0, 0, nullptr));
}

TEST(InternalUserClasses, ARegistrationOfANewNameMakesASystemClass) {
    DestroyWindow(Make("Static"));
    HWND none = Make("VelmoraLayerOwnClass");
    EXPECT_EQ(none, nullptr);
    plat::user::RegisterSystemClass({"VelmoraLayerOwnClass", Counting, 8, CS_DBLCLKS, nullptr});
    g_seen = 0;
    HWND w = Make("VelmoraLayerOwnClass");
    ASSERT_TRUE(w);
    EXPECT_EQ(g_seen, 1);
    EXPECT_EQ(GetClassLongA(w, GCL_CBWNDEXTRA), 8);
    WNDCLASSA wc{};
    EXPECT_TRUE(GetClassInfoA(reinterpret_cast<HINSTANCE>(uintptr_t(0x1234)), "VelmoraLayerOwnClass", &wc));  // any instance finds it
    DestroyWindow(w);
}

TEST(InternalUserClasses, AProgramClassOfASystemNameStillShadowsIt) {
    plat::user::RegisterSystemClass({"SysLink", Counting, 0, 0, nullptr});
    WNDCLASSA wc{};
    wc.lpfnWndProc = Program;
    wc.lpszClassName = "SysLink";
    ASSERT_NE(RegisterClassA(&wc), 0);
    g_seen = 0;
    HWND l = Make("SysLink");
    ASSERT_TRUE(l);
    EXPECT_EQ(g_seen, 0);
    EXPECT_EQ(GetClassLongPtrA(l, GCLP_WNDPROC), ULONG_PTR(reinterpret_cast<uintptr_t>(Program)));
    DestroyWindow(l);
}

}  // namespace
