// The shell services: the opener and WinExec started with an argv (recorded here), the
// registry's ".htm" answer, help pages, and the shut-down recorder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "windows.h"
#include "htmlhelp.h"
#include "shellapi.h"
#include "winplat_test_shell.h"

namespace {

std::vector<std::string> Request(int index) {
    std::vector<std::string> words;
    char buf[1024];
    for (int w = 0; WinTestShellRequestWord(index, w, buf, sizeof buf) >= 0; ++w) words.push_back(buf);
    return words;
}

std::string TempDir() {
    char tmpl[] = "/tmp/velmora-shell-XXXXXX";
    return mkdtemp(tmpl);
}

void Touch(const std::string& path) { std::ofstream(path) << "x"; }

std::string ReadAll(const std::string& path) {
    std::ifstream f(path);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

class ShellServices : public ::testing::Test {
protected:
    void SetUp() override {
        WinTestShellRecord(TRUE);
        WinTestShellClearRequests();
        dir_ = TempDir();
        char cwd[4096];
        cwd_ = getcwd(cwd, sizeof cwd) ? cwd : "/";
    }
    void TearDown() override {
        WinTestShellSetOpenerRecorder(nullptr);
        WinTestShellSetShutdownRecorder(nullptr);
        WinTestShellRecord(FALSE);
        (void)chdir(cwd_.c_str());
        std::string cmd = "rm -rf '" + dir_ + "'";
        (void)system(cmd.c_str());
    }
    std::string dir_, cwd_;
};

TEST_F(ShellServices, OpenerGetsTheAddressOrDocumentAsOneArgumentEvenWithShellCharacters) {
    const char* url = "http://example.com/a?b=1&c=$(reboot);x|y `z`";
    INT_PTR r = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", url, nullptr, nullptr, SW_SHOW));
    EXPECT_GT(r, 32);
    ASSERT_EQ(WinTestShellRequestCount(), 1);
    EXPECT_EQ(Request(0), (std::vector<std::string>{"xdg-open", url}));

    // A document: its absolute path, so a leading '-' cannot read as an option either.
    std::string doc = dir_ + "/-rf; echo 'hi' > \"x\".avi";
    Touch(doc);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    r = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, nullptr, "-rf; echo 'hi' > \"x\".avi", nullptr, nullptr, SW_SHOW));
    EXPECT_GT(r, 32);
    EXPECT_EQ(Request(1), (std::vector<std::string>{"xdg-open", doc}));
    // Backslashes separate folders too.
    std::string back = dir_ + "\\-rf; echo 'hi' > \"x\".avi";
    EXPECT_GT(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", back.c_str(), nullptr, nullptr, SW_SHOW)), 32);
    EXPECT_EQ(Request(2).at(1), doc);
}

TEST_F(ShellServices, OpenerFailuresAreReportedAsThePlatformDoesAndStartNothing) {
    std::string missing = dir_ + "/nothing.avi";
    EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", missing.c_str(), nullptr, nullptr, SW_SHOW)),
              SE_ERR_FNF);
    std::string no_path = dir_ + "/no/such/folder/file.avi";
    EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", no_path.c_str(), nullptr, nullptr, SW_SHOW)),
              SE_ERR_PNF);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "print", "http://x.org", nullptr, nullptr, SW_SHOW)),
              SE_ERR_NOASSOC);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", "", nullptr, nullptr, SW_SHOW)), SE_ERR_FNF);
    EXPECT_EQ(WinTestShellRequestCount(), 0);

    // The extended form: the code in hInstApp, FALSE with the last error on failure.
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = "open";
    info.lpFile = missing.c_str();
    info.nShow = SW_MAXIMIZE;
    EXPECT_FALSE(ShellExecuteExA(&info));
    EXPECT_EQ(reinterpret_cast<INT_PTR>(info.hInstApp), SE_ERR_FNF);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    info.lpFile = "https://example.org/";
    EXPECT_TRUE(ShellExecuteExA(&info));
    EXPECT_GT(reinterpret_cast<INT_PTR>(info.hInstApp), 32);
    info.cbSize = 12;
    EXPECT_FALSE(ShellExecuteExA(&info));
}

TEST_F(ShellServices, WinExecSplitsWordsLikeThePlatformWithoutAShell) {
    EXPECT_GT(WinExec("xdg-open http://a.org/x?y=1&z=2", SW_SHOW), 31u);
    EXPECT_EQ(Request(0), (std::vector<std::string>{"xdg-open", "http://a.org/x?y=1&z=2"}));
    EXPECT_GT(WinExec(R"(prog "two words" a\\"b c" d\"e "" ;rm)", SW_SHOW), 31u);
    EXPECT_EQ(Request(1), (std::vector<std::string>{"prog", "two words", "a\\b c", "d\"e", "", ";rm"}));
    EXPECT_EQ(WinExec("", SW_SHOW), UINT(ERROR_FILE_NOT_FOUND));
    std::string missing = dir_ + "/bin/none";
    EXPECT_EQ(WinExec(missing.c_str(), SW_SHOW), UINT(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(WinTestShellRequestCount(), 2);
}

TEST_F(ShellServices, RecorderFileGetsOneEscapedLinePerRequest) {
    WinTestShellRecord(FALSE);  // the file alone must keep anything from starting
    std::string log = dir_ + "/opener.log";
    WinTestShellSetOpenerRecorder(log.c_str());
    EXPECT_GT(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", "http://a/\tb\\c\nd", nullptr, nullptr, 1)), 32);
    EXPECT_GT(WinExec("tool one", SW_SHOW), 31u);
    EXPECT_EQ(ReadAll(log), "xdg-open\thttp://a/\\tb\\\\c\\nd\ntool\tone\n");
}

// The hyperlink's fallback reads ".htm"'s class, then its open command.
TEST_F(ShellServices, RegistryAnswersTheHtmOpenCommandAndRefusesChanges) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".htm", 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    char cls[260] = {};
    DWORD size = sizeof cls, type = 0;
    ASSERT_EQ(RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<LPBYTE>(cls), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_STREQ(cls, "htmlfile");
    EXPECT_EQ(size, DWORD(sizeof("htmlfile")));
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE) << "a closed key stays closed";
    EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);

    std::string sub = std::string(cls) + "\\shell\\open\\command";
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, sub.c_str(), 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    char cmd[260] = {};
    size = 4;
    EXPECT_EQ(RegQueryValueExA(key, "", nullptr, nullptr, reinterpret_cast<LPBYTE>(cmd), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, DWORD(strlen("xdg-open \"%1\"") + 1));
    size = sizeof cmd;
    ASSERT_EQ(RegQueryValueExA(key, "", nullptr, nullptr, reinterpret_cast<LPBYTE>(cmd), &size), ERROR_SUCCESS);
    EXPECT_STREQ(cmd, "xdg-open \"%1\"");
    RegCloseKey(key);

    // The older form, and names without regard to case.
    LONG len = sizeof cmd;
    EXPECT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, "HTMLFILE\\Shell\\Open\\Command", cmd, &len), ERROR_SUCCESS);
    EXPECT_STREQ(cmd, "xdg-open \"%1\"");

    EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".nothing", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".htm", 0, KEY_SET_VALUE, &key), ERROR_ACCESS_DENIED);
}

// The hyperlink's fallback end to end: the command cut where "%1" in quotes begins, a blank
// and the address appended, run by WinExec: the opener gets the address as one argument.
TEST_F(ShellServices, HtmFallbackCommandRunsTheOpenerWithTheAddress) {
    char cls[260] = {}, cmd[520] = {};
    LONG n = sizeof cls;
    ASSERT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, ".htm", cls, &n), ERROR_SUCCESS);
    n = 260;
    ASSERT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, (std::string(cls) + "\\shell\\open\\command").c_str(), cmd, &n),
              ERROR_SUCCESS);
    char* at = strstr(cmd, "\"%1\"");
    ASSERT_NE(at, nullptr);
    *at = 0;
    strcat(cmd, " http://example.com/page?a=1&b=2");
    EXPECT_GT(WinExec(cmd, SW_SHOW), 31u);
    EXPECT_EQ(Request(0), (std::vector<std::string>{"xdg-open", "http://example.com/page?a=1&b=2"}));
}

TEST_F(ShellServices, HelpOpensThePageInTheHelpFolderBesideTheHelpFile) {
    mkdir((dir_ + "/help").c_str(), 0777);
    Touch(dir_ + "/help/overview.htm");
    std::string chm = dir_ + "/help.chm::/overview.htm";
    EXPECT_NE(HtmlHelpA(nullptr, chm.c_str(), HH_DISPLAY_TOPIC, 0), nullptr);
    ASSERT_EQ(WinTestShellRequestCount(), 1);
    EXPECT_EQ(Request(0), (std::vector<std::string>{"xdg-open", dir_ + "/help/overview.htm"}));
    std::string missing = dir_ + "/help.chm::/nothing.htm";
    EXPECT_EQ(HtmlHelpA(nullptr, missing.c_str(), HH_DISPLAY_TOPIC, 0), nullptr);
    EXPECT_EQ(WinTestShellRequestCount(), 1);
}

// The main dialog's shut-down: token calls, then ExitWindowsEx, recorded once and never run.
TEST_F(ShellServices, ShutdownIsRecordedOncePerRequestAndNothingRuns) {
    WinTestShellRecord(FALSE);
    std::string log = dir_ + "/shutdown.log";
    WinTestShellSetShutdownRecorder(log.c_str());
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token));
    TOKEN_PRIVILEGES tp = {};
    ASSERT_TRUE(LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &tp.Privileges[0].Luid));
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    EXPECT_TRUE(AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    LUID luid;
    EXPECT_FALSE(LookupPrivilegeValueA(nullptr, "SeNoSuchPrivilege", &luid));

    EXPECT_TRUE(ExitWindowsEx(EWX_SHUTDOWN, 0));
    EXPECT_EQ(ReadAll(log), "systemctl\tpoweroff\n");
    EXPECT_TRUE(ExitWindowsEx(EWX_REBOOT | EWX_FORCE, 0));
    EXPECT_FALSE(ExitWindowsEx(EWX_LOGOFF, 0));
    EXPECT_EQ(ReadAll(log), "systemctl\tpoweroff\nsystemctl\treboot\n");
    EXPECT_EQ(WinTestShellRequestCount(), 2);
}

}  // namespace
