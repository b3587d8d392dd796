// Kernel services: version identity, module path and lookup, profile strings, temporary files,
// per-thread last error, threads and waits, conversions and the string helpers.
#include <gtest/gtest.h>

#include <sched.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>

#include "windows.h"

namespace {

std::string TempDir() {
    char buf[MAX_PATH];
    GetTempPathA(sizeof(buf), buf);
    std::string d = std::string(buf) + "velmora_kernel_" + std::to_string(getpid());
    CreateDirectoryA(d.c_str(), nullptr);
    return d;
}

TEST(KernelServices, VersionIdentityFollowsTheEnvironment) {
    unsetenv("VELMORA_WINVER");
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof(v);
    ASSERT_TRUE(GetVersionExA(&v));
    EXPECT_EQ(v.dwMajorVersion, 5u);
    EXPECT_EQ(v.dwMinorVersion, 1u);
    EXPECT_EQ(v.dwBuildNumber, 2600u);
    EXPECT_EQ(v.dwPlatformId, DWORD(VER_PLATFORM_WIN32_NT));
    EXPECT_EQ(GetVersion() & 0x80000000u, 0u);
    EXPECT_EQ(LOBYTE(LOWORD(GetVersion())), 5);

    setenv("VELMORA_WINVER", "9x", 1);
    ASSERT_TRUE(GetVersionExA(&v));
    EXPECT_EQ(v.dwPlatformId, DWORD(VER_PLATFORM_WIN32_WINDOWS));
    EXPECT_EQ(v.dwMajorVersion, 4u);
    EXPECT_EQ(v.dwMinorVersion, 10u);
    EXPECT_NE(GetVersion() & 0x80000000u, 0u);

    setenv("VELMORA_WINVER", "nt6", 1);
    OSVERSIONINFOEXA x{};
    x.dwOSVersionInfoSize = sizeof(x);
    ASSERT_TRUE(GetVersionExA(reinterpret_cast<LPOSVERSIONINFOA>(&x)));
    EXPECT_EQ(x.dwMajorVersion, 6u);
    EXPECT_EQ(x.dwPlatformId, DWORD(VER_PLATFORM_WIN32_NT));
    unsetenv("VELMORA_WINVER");

    OSVERSIONINFOA bad{};
    bad.dwOSVersionInfoSize = 12;
    EXPECT_FALSE(GetVersionExA(&bad));
}

TEST(KernelServices, ModulePathAndFunctionLookupByName) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof(path));
    ASSERT_GT(n, 0u);
    char real[MAX_PATH];
    ssize_t r = readlink("/proc/self/exe", real, sizeof(real) - 1);
    ASSERT_GT(r, 0);
    real[r] = 0;
    EXPECT_STREQ(path, real);
    // Too small a buffer: truncated and terminated.
    char small[5];
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof(small)), 5u);
    EXPECT_EQ(small[4], 0);

    HMODULE user = LoadLibraryA("User32.dll");
    ASSERT_TRUE(user);
    EXPECT_EQ(GetModuleHandleA("user32.DLL"), user);
    FARPROC f = GetProcAddress(user, "SetLayeredWindowAttributes");
    EXPECT_EQ(reinterpret_cast<void*>(f), reinterpret_cast<void*>(&SetLayeredWindowAttributes));
    EXPECT_EQ(GetProcAddress(user, "NoSuchFunction"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
    EXPECT_TRUE(FreeLibrary(user));
    EXPECT_EQ(LoadLibraryA("/nonexistent/lib.so"), nullptr);
    // The wide loaders name the same modules.
    EXPECT_EQ(LoadLibraryW(u"user32.dll"), user);
    EXPECT_EQ(LoadLibraryExW(u"USER32.DLL", nullptr, 0), user);
    EXPECT_EQ(LoadLibraryW(u"/nonexistent/lib.so"), nullptr);
    EXPECT_EQ(GetProcAddress(reinterpret_cast<HMODULE>(uintptr_t(0x77)), "x"), nullptr);
    EXPECT_TRUE(GetModuleHandleA(nullptr));
}

TEST(KernelServices, ProfileStringsRoundTripThroughAnIniFile) {
    std::string file = TempDir() + "/settings.ini";
    DeleteFileA(file.c_str());
    char buf[64];
    // Missing file and key: the default, without its trailing blanks.
    EXPECT_EQ(GetPrivateProfileStringA("Version", "MARDEVOLTA", "1.0.0  ", buf, sizeof(buf), file.c_str()), 5u);
    EXPECT_STREQ(buf, "1.0.0");
    ASSERT_TRUE(WritePrivateProfileStringA("Version", "MARDEVOLTA", "2.3.4", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Tip", "StartUp", "1", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Tip", "FilePos", "1234", file.c_str()));
    EXPECT_EQ(GetPrivateProfileStringA("version", "mardevolta", "", buf, sizeof(buf), file.c_str()), 5u);
    EXPECT_STREQ(buf, "2.3.4");
    EXPECT_EQ(GetPrivateProfileIntA("Tip", "FilePos", 0, file.c_str()), 1234u);
    EXPECT_EQ(GetPrivateProfileIntA("Tip", "Missing", -3, file.c_str()), UINT(-3));
    // Replace, delete a key, list sections.
    ASSERT_TRUE(WritePrivateProfileStringA("Tip", "StartUp", "0", file.c_str()));
    EXPECT_EQ(GetPrivateProfileIntA("Tip", "StartUp", 9, file.c_str()), 0u);
    ASSERT_TRUE(WritePrivateProfileStringA("Tip", "FilePos", nullptr, file.c_str()));
    EXPECT_EQ(GetPrivateProfileIntA("Tip", "FilePos", 9, file.c_str()), 9u);
    char list[64];
    DWORD n = GetPrivateProfileStringA(nullptr, nullptr, "", list, sizeof(list), file.c_str());
    EXPECT_EQ(std::string(list, n), std::string("Version\0Tip\0", 12));
    // A value longer than the buffer is cut and terminated.
    char tiny[4];
    EXPECT_EQ(GetPrivateProfileStringA("Version", "MARDEVOLTA", "", tiny, sizeof(tiny), file.c_str()), 3u);
    EXPECT_STREQ(tiny, "2.3");
    DeleteFileA(file.c_str());
}

TEST(KernelServices, TemporaryFilesAreCreatedUniquely) {
    char dir[MAX_PATH];
    DWORD n = GetTempPathA(sizeof(dir), dir);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(dir[n - 1], '/');
    EXPECT_EQ(GetTempPathA(1, nullptr), n + 1);
    char a[MAX_PATH], b[MAX_PATH];
    ASSERT_NE(GetTempFileNameA(dir, "vel", 0, a), 0u);
    ASSERT_NE(GetTempFileNameA(dir, "vel", 0, b), 0u);
    EXPECT_STRNE(a, b);
    EXPECT_NE(GetFileAttributesA(a), INVALID_FILE_ATTRIBUTES);  // created
    EXPECT_TRUE(DeleteFileA(a));
    EXPECT_TRUE(DeleteFileA(b));
    EXPECT_FALSE(DeleteFileA(a));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST(KernelServices, FileHelpersReportWhatHappened) {
    std::string d = TempDir();
    std::string sub = d + "/sub";
    RemoveDirectoryA(sub.c_str());
    EXPECT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    EXPECT_FALSE(CreateDirectoryA(sub.c_str(), nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryA((d + "/no/such/parent").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_NE(GetFileAttributesA(sub.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    std::string f1 = sub + "/One.AVI", f2 = sub + "/two.mp4", f3 = sub + "/copy.avi";
    std::ofstream(f1) << "data";
    std::ofstream(f2) << "x";
    EXPECT_TRUE(CopyFileA(f1.c_str(), f3.c_str(), TRUE));
    EXPECT_FALSE(CopyFileA(f1.c_str(), f3.c_str(), TRUE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_EXISTS));
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((sub + "/*.avi").c_str(), &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    int found = 1;
    uint32_t sizes = fd.nFileSizeLow;
    while (FindNextFileA(h, &fd)) {
        ++found;
        sizes += fd.nFileSizeLow;
    }
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(h));
    EXPECT_FALSE(FindClose(h));
    EXPECT_EQ(found, 2);  // the match ignores case, like the platform's
    EXPECT_EQ(sizes, 8u);
    EXPECT_EQ(FindFirstFileA((sub + "/*.xyz").c_str(), &fd), INVALID_HANDLE_VALUE);
    for (auto* p : {&f1, &f2, &f3}) DeleteFileA(p->c_str());
    EXPECT_TRUE(RemoveDirectoryA(sub.c_str()));
    RemoveDirectoryA(d.c_str());
}

TEST(KernelServices, LastErrorIsPerThread) {
    SetLastError(42);
    DWORD other = 0;
    HANDLE t = CreateThread(nullptr, 0, [](LPVOID p) -> DWORD {
        SetLastError(7);
        *static_cast<DWORD*>(p) = GetLastError();
        return 0;
    }, &other, 0, nullptr);
    ASSERT_TRUE(t);
    EXPECT_EQ(WaitForSingleObject(t, INFINITE), WAIT_OBJECT_0);
    CloseHandle(t);
    EXPECT_EQ(other, 7u);
    EXPECT_EQ(GetLastError(), 42u);
}

TEST(KernelServices, ThreadsEventsAndWaits) {
    HANDLE ev = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE manual = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(WaitForSingleObject(ev, 0), DWORD(WAIT_TIMEOUT));
    struct Ctx {
        HANDLE ev;
        DWORD tid;
    } ctx{ev, 0};
    DWORD id = 0;
    HANDLE t = CreateThread(nullptr, 0, [](LPVOID p) -> DWORD {
        auto* c = static_cast<Ctx*>(p);
        c->tid = GetCurrentThreadId();
        SetEvent(c->ev);
        return 99;
    }, &ctx, CREATE_SUSPENDED, &id);
    ASSERT_TRUE(t);
    EXPECT_EQ(WaitForSingleObject(ev, 20), DWORD(WAIT_TIMEOUT));  // still suspended
    ResumeThread(t);
    EXPECT_EQ(WaitForSingleObject(ev, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(ev, 0), DWORD(WAIT_TIMEOUT));  // auto-reset consumed it
    HANDLE both[2] = {manual, t};
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, INFINITE), WAIT_OBJECT_0 + 1);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(t, &code));
    EXPECT_EQ(code, 99u);
    EXPECT_EQ(ctx.tid, id);
    EXPECT_NE(id, GetCurrentThreadId());
    SetEvent(manual);
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);  // manual reset stays set
    for (HANDLE h : {ev, manual, t}) EXPECT_TRUE(CloseHandle(h));
    EXPECT_FALSE(CloseHandle(ev));
    EXPECT_EQ(WaitForSingleObject(ev, 0), WAIT_FAILED);
}

TEST(KernelServices, IdlePriorityMapsToTheIdleScheduler) {
    std::atomic<int> policy{-1};
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    struct Ctx {
        HANDLE go;
        std::atomic<int>* policy;
    } ctx{go, &policy};
    HANDLE t = CreateThread(nullptr, 0, [](LPVOID p) -> DWORD {
        auto* c = static_cast<Ctx*>(p);
        WaitForSingleObject(c->go, INFINITE);
        *c->policy = sched_getscheduler(0);
        return 0;
    }, &ctx, 0, nullptr);
    EXPECT_TRUE(SetThreadPriority(t, THREAD_PRIORITY_IDLE));
    EXPECT_EQ(GetThreadPriority(t), THREAD_PRIORITY_IDLE);
    SetEvent(go);
    WaitForSingleObject(t, INFINITE);
    EXPECT_EQ(policy.load(), SCHED_IDLE);
    EXPECT_FALSE(SetThreadPriority(t, 12345));
    CloseHandle(t);
    CloseHandle(go);
}

TEST(KernelServices, CriticalSectionsAreRecursive) {
    CRITICAL_SECTION cs;
    InitializeCriticalSection(&cs);
    EnterCriticalSection(&cs);
    EnterCriticalSection(&cs);
    std::atomic<bool> got{true};
    std::thread other([&] { got = TryEnterCriticalSection(&cs); });
    other.join();
    EXPECT_FALSE(got.load());
    LeaveCriticalSection(&cs);
    LeaveCriticalSection(&cs);
    std::thread again([&] {
        got = TryEnterCriticalSection(&cs);
        if (got) LeaveCriticalSection(&cs);
    });
    again.join();
    EXPECT_TRUE(got.load());
    DeleteCriticalSection(&cs);
}

TEST(KernelServices, Utf8AndUtf16ConvertBothWays) {
    const char* s = "Caf\xC3\xA9 \xF0\x9F\x8E\xAC";  // é and a clapper board (a surrogate pair)
    int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
    ASSERT_EQ(n, 8);  // 5 + 2 + terminator
    WCHAR w[16];
    ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, s, -1, w, 16), 8);
    EXPECT_EQ(w[3], u'\u00E9');
    EXPECT_EQ(w[5], 0xD83C);
    char back[32];
    ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, w, -1, back, sizeof(back), nullptr, nullptr), int(strlen(s)) + 1);
    EXPECT_STREQ(back, s);
    // Too small an output fails instead of writing past it.
    WCHAR two[2];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, s, -1, two, 2), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    // Broken input becomes replacement characters, or fails when asked.
    const char bad[] = {'a', char(0xC3), 0};
    ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, bad, -1, w, 16), 3);
    EXPECT_EQ(w[1], 0xFFFD);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bad, -1, w, 16), 0);
}

TEST(KernelServices, WsprintfReadsLongAsThirtyTwoBitsAndStopsAt1024) {
    char buf[1100];
    LONG neg = -5;
    DWORD big = 0xFFFFFFFFu;
    wsprintfA(buf, "%ld|%lu|%08lX|%s|%-4d|%c|%5.2s", neg, big, DWORD(0xABC), "str", 7, 'z', "xyz");
    EXPECT_STREQ(buf, "-5|4294967295|00000ABC|str|7   |z|   xy");
    std::string longarg(2000, 'a');
    int n = wsprintfA(buf, "%s", longarg.c_str());
    EXPECT_EQ(n, 1023);
    EXPECT_EQ(strlen(buf), 1023u);
    char s[] = "ab\xC3\xA9z";
    EXPECT_EQ(CharNextA(s + 2), s + 4);  // a UTF-8 character is one step
    EXPECT_EQ(lstrcmpiA("ABC", "abd"), -1);
    char c[8];
    lstrcpynA(c, "abcdefghij", 4);
    EXPECT_STREQ(c, "abc");
}

}  // namespace
