// MulDiv's rounding and its -1 cases, and the system modules the layer answers for by name:
// loaded and looked up like the platform's, and missing when a test says so.
#include <gtest/gtest.h>

#include <climits>

#include "windows.h"
#include "winplat_test.h"

namespace {

TEST(MulDiv, RoundsToTheNearestWithHalvesAwayFromZero) {
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv(5, -1, 2), -3);
    EXPECT_EQ(MulDiv(5, 1, -2), -3);
    EXPECT_EQ(MulDiv(-5, -1, -2), -3);
    EXPECT_EQ(MulDiv(-5, -1, 2), 3);
    EXPECT_EQ(MulDiv(7, 1, 3), 2);
    EXPECT_EQ(MulDiv(8, 1, 3), 3);
    EXPECT_EQ(MulDiv(-8, 1, 3), -3);
    EXPECT_EQ(MulDiv(1, 1, 3), 0);
    EXPECT_EQ(MulDiv(0, 12345, 7), 0);
    // A thumb position: 37 of 200 on a 117-pixel track.
    EXPECT_EQ(MulDiv(37, 117, 200), 22);
    // The product is kept in 64 bits.
    EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, INT_MAX), INT_MAX);
    EXPECT_EQ(MulDiv(INT_MIN, INT_MAX, INT_MAX), INT_MIN);
    EXPECT_EQ(MulDiv(1 << 20, 1 << 20, 1 << 12), 1 << 28);
    EXPECT_EQ(MulDiv(INT_MIN, 1, 1), INT_MIN);
}

TEST(MulDiv, AnswersMinusOneForAZeroDivisorOrAResultOutside32Bits) {
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(0, 0, 0), -1);
    EXPECT_EQ(MulDiv(INT_MAX, 2, 1), -1);
    EXPECT_EQ(MulDiv(INT_MIN, 1, -1), -1);
    EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, 1), -1);
    EXPECT_EQ(MulDiv(INT_MIN, 2, 1), -1);
    // 65535 * 65537 / 2 is INT_MAX and a half: rounded away from zero it no longer fits
    // upwards, while downwards it is INT_MIN exactly.
    EXPECT_EQ(MulDiv(65535, 65537, 2), -1);
    EXPECT_EQ(MulDiv(65535, 65537, -2), INT_MIN);
}

TEST(SystemModules, AnswerByAnyFormOfTheirNameWithTheLayersFunctions) {
    HMODULE user = LoadLibraryA("User32.dll");
    ASSERT_TRUE(user);
    EXPECT_EQ(LoadLibraryA("USER32"), user);
    EXPECT_EQ(LoadLibraryA("C:\\Windows\\System32\\user32.DLL"), user);
    EXPECT_EQ(GetModuleHandleA("user32.dll"), user);
    EXPECT_NE(GetModuleHandleA("Kernel32.dll"), nullptr);
    using GetSysColorFn = DWORD(WINAPI*)(int);
    auto get = reinterpret_cast<GetSysColorFn>(reinterpret_cast<void*>(GetProcAddress(user, "GetSysColor")));
    ASSERT_TRUE(get);
    EXPECT_EQ(get(COLOR_WINDOW), GetSysColor(COLOR_WINDOW));
    EXPECT_TRUE(GetProcAddress(user, "SetLayeredWindowAttributes"));
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(user, "NoSuchFunctionAnywhere"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(GetProcAddress(user, MAKEINTRESOURCEA(12)), nullptr) << "no ordinals";
    // The system's modules never go away.
    EXPECT_TRUE(FreeLibrary(user));
    EXPECT_TRUE(FreeLibrary(user));
    EXPECT_EQ(GetModuleHandleA("user32"), user);
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA("velmora-no-such-module.dll"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
}

TEST(SystemModules, AModuleMadeMissingCannotBeLoadedUntilItComesBack) {
    HMODULE before = LoadLibraryA("user32.dll");
    ASSERT_TRUE(before);
    WinTestSetModuleMissing("USER32.DLL", TRUE);
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA("User32.dll"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(GetModuleHandleA("user32"), nullptr);
    EXPECT_NE(LoadLibraryA("kernel32.dll"), nullptr) << "the others stay";
    EXPECT_TRUE(GetProcAddress(before, "GetSysColor")) << "a handle given out before keeps working";
    WinTestSetModuleMissing("user32", FALSE);
    EXPECT_EQ(LoadLibraryA("User32.dll"), before);
}

}  // namespace
