// Two instances of the program converting at the same time from one program folder share its
// input script; neither may convert the other's input through it.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdarg>
#include <cstring>

#include "e2e_support.h"

namespace {

using testmedia::Kind;
using Conversion = e2e::Conversion;

int g_toFirst = -1;  // the second instance's end of the pipe to the first

void Tell(char what) {
    if (write(g_toFirst, &what, 1) != 1) _exit(4);
}

// The second instance's log: a line about the busy script means it waits for its turn.
void WatchForTheWait(int, const char* format, va_list) {
    if (std::strstr(format, "in use by another conversion")) Tell('W');
}

TEST_F(Conversion, TwoInstancesWithOneScriptFolderEachConvertTheirOwnInput) {
    testmedia::Options one;
    one.seconds = 1.0;
    testmedia::Options two;
    two.seconds = 2.0;
    const std::string first = Input(Kind::MkvSurround, one, "first");
    const std::string second = Input(Kind::MkvSurround, two, "second");
    int go[2], report[2];
    ASSERT_EQ(0, pipe(go));
    ASSERT_EQ(0, pipe(report));

    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // The second instance, a process of its own: it starts its file when told to.
        close(go[1]);
        close(report[0]);
        g_toFirst = report[1];
        char c = 0;
        if (read(go[0], &c, 1) != 1) _exit(3);
        SetLogCallback(&WatchForTheWait);
        CFFmpegEncoder other;
        other.SetScriptFolder(dir.path());
        e2e::Apply(other, e2e::Settings(), second, dir / "second_new.mp4");
        const int result = other.StartEncode(PROFILE_IPOD);
        Tell('D');
        _exit(result == 0 ? 0 : 1);
    }
    close(go[0]);
    close(report[1]);

    // This instance has written its script and not yet run the driver over it when the
    // other one starts its own file.
    e2e::Apply(enc, e2e::Settings(), first, dir / "first_new.mp4");
    ASSERT_EQ(0, enc.BuildArguments(PROFILE_IPOD));
    char c = 'G';
    ASSERT_EQ(1, write(go[1], &c, 1));
    char seen = 0;  // 'W': the other waits for the script; 'D': it has finished
    ASSERT_EQ(1, read(report[0], &seen, 1));
    const int result = enc.StartWork();
    int status = -1;
    ASSERT_EQ(pid, waitpid(pid, &status, 0));
    close(go[1]);
    close(report[0]);

    EXPECT_EQ('W', seen);
    EXPECT_EQ(0, result);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status));
    EXPECT_NEAR(1.0, testmedia::Check(dir / "first_new.mp4", false).duration, 0.15);
    EXPECT_NEAR(2.0, testmedia::Check(dir / "second_new.mp4", false).duration, 0.15);
}

}  // namespace
