// The application's small system helpers: folders made with their parents, path kinds, the
// program's folder, the time text, and the shell services behind the shut-down and links.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "Utilities.h"
#include "testmedia.h"
#include "winplat_test_shell.h"
#include "winsecurity.h"

namespace {

bool IsFolder(const std::string& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string CurrentDir() {
    char buf[PATH_MAX] = {};
    return ::getcwd(buf, sizeof buf) ? buf : "";
}

TEST(DlgUtilities, FolderTreeIsMadeParentsFirstAndOnlyOnce) {
    testmedia::ScratchDir dir("dlgutil");
    std::string cwd = CurrentDir();
    std::string deep = dir / "a/b/c";
    EXPECT_EQ(CreateDirectoryTree(CString(deep.c_str())), 0);
    EXPECT_TRUE(IsFolder(dir / "a") && IsFolder(dir / "a/b") && IsFolder(deep));
    // Made already: -1, nothing changes.
    EXPECT_EQ(CreateDirectoryTree(CString(deep.c_str())), -1);
    // A trailing separator of either kind is dropped; backslashes separate too.
    EXPECT_EQ(CreateDirectoryTree(CString((dir / "d/e/").c_str())), 0);
    EXPECT_TRUE(IsFolder(dir / "d/e"));
    EXPECT_EQ(CreateDirectoryTree(CString((dir.path() + "\\f\\g").c_str())), 0);
    EXPECT_TRUE(IsFolder(dir / "f/g"));
    // Through a file, or empty: -1.
    ASSERT_TRUE(testmedia::WriteJunk(dir / "file", 8));
    EXPECT_EQ(CreateDirectoryTree(CString((dir / "file/x").c_str())), -1);
    EXPECT_EQ(CreateDirectoryTree(CString("")), -1);
    // The worker makes folders: the process's current directory must stay where it was.
    EXPECT_EQ(CurrentDir(), cwd);
}

TEST(DlgUtilities, PathKinds) {
    testmedia::ScratchDir dir("dlgutil");
    ASSERT_TRUE(testmedia::WriteJunk(dir / "file", 8));
    EXPECT_EQ(GetPathKind((dir / "missing").c_str()), 0);
    EXPECT_EQ(GetPathKind((dir / "file").c_str()), 1);
    EXPECT_EQ(GetPathKind(dir.path().c_str()), 2);
    EXPECT_TRUE(FileExists((dir / "file").c_str()));
    EXPECT_FALSE(FileExists(dir.path().c_str()));
}

TEST(DlgUtilities, ProgramFolderEndsWithItsSeparator) {
    char exe[PATH_MAX] = {};
    ASSERT_GT(::readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
    std::string want = exe;
    want = want.substr(0, want.rfind('/') + 1);
    EXPECT_EQ(std::string((LPCSTR)GetModuleDir()), want);
    char buf[PATH_MAX];
    GetProgramDir(buf, sizeof buf);
    EXPECT_EQ(std::string(buf), want);
    char tiny[4];
    GetProgramDir(tiny, sizeof tiny);  // cut to fit, still terminated
    EXPECT_EQ(std::string(tiny), want.substr(0, 3));
}

TEST(DlgUtilities, SecondsAsHoursMinutesSeconds) {
    EXPECT_STREQ(FormatSeconds(0), "00:00:00");
    EXPECT_STREQ(FormatSeconds(3725), "01:02:05");
    EXPECT_STREQ(FormatSeconds(-5), "00:00:00");
}

TEST(DlgUtilities, ShutdownAndLinksGoThroughTheShell) {
    WinTestShellRecord(TRUE);
    WinTestShellClearRequests();
    ShutdownSystem(EWX_SHUTDOWN);
    EXPECT_EQ(WinTestShellRequestCount(), 1);
    WinTestShellClearRequests();
    EXPECT_TRUE(OpenURL("https://example.org/a b"));
    ASSERT_EQ(WinTestShellRequestCount(), 1);
    char word[256] = {};
    WinTestShellRequestWord(0, 1, word, sizeof word);
    EXPECT_STREQ(word, "https://example.org/a b");
    EXPECT_FALSE(OpenURL(""));
    WinTestShellClearRequests();
    WinTestShellRecord(FALSE);
}

}  // namespace
