// The registration point for modules the layer provides: a part of the layer adds a module
// under system module names, and programs reach its procedures by name.
#include <gtest/gtest.h>

#include "kernel/modules.h"
#include "windows.h"
#include "winplat_test.h"

namespace {

INT_PTR WINAPI Answer() { return 42; }

TEST(BuiltinModules, ARegisteredModuleIsLoadedAndLookedUpByName) {
    plat::kernel::RegisterBuiltinModule({"velmoraclip.dll", "VelmoraDraw"},
                                        {{"ClipAnswer", reinterpret_cast<FARPROC>(&Answer)}});
    EXPECT_EQ(GetModuleHandleA("velmoraclip.dll"), nullptr) << "not loaded yet";
    HMODULE m = LoadLibraryA("VelmoraClip.DLL");
    ASSERT_TRUE(m);
    EXPECT_EQ(GetModuleHandleA("velmoraclip"), m);
    EXPECT_EQ(LoadLibraryA("velmoradraw.dll"), m) << "one module under both names";
    EXPECT_NE(m, GetModuleHandleA("user32.dll"));
    FARPROC p = GetProcAddress(m, "ClipAnswer");
    ASSERT_TRUE(p);
    EXPECT_EQ(p(), 42);
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(m, "clipanswer"), nullptr) << "procedure names keep their case";
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(GetProcAddress(m, "GetSysColor"), nullptr) << "only its own procedures";
    char path[512] = {};
    EXPECT_GT(GetModuleFileNameA(m, path, sizeof path), 0u);
    EXPECT_TRUE(FreeLibrary(m));
    EXPECT_EQ(GetModuleHandleA("velmoraclip"), m);
    // A name registered again keeps its first module.
    plat::kernel::RegisterBuiltinModule({"VELMORACLIP"}, {});
    EXPECT_TRUE(GetProcAddress(LoadLibraryA("velmoraclip"), "ClipAnswer"));
    WinTestSetModuleMissing("velmoradraw.dll", TRUE);
    EXPECT_EQ(LoadLibraryA("velmoradraw"), nullptr);
    EXPECT_EQ(LoadLibraryA("velmoraclip"), m) << "missing goes by name";
    WinTestSetModuleMissing("velmoradraw.dll", FALSE);
}

}  // namespace
