// A batch on a real desktop under a window manager, done with the mouse and the keyboard as a
// user does it: a file added through the open-file dialog, the batch started with the Start
// button, the caption's close button refused with a warning while it runs, the batch's notice
// over that warning, the file converted into one that plays, and the close button ending the
// idle program.
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

// The close warning is left up until the batch ends behind it: its notice comes in front of
// the warning and takes the keyboard; once answered, the warning is in front with the keyboard
// again and its OK closes it. Without a window manager's help each box must give activation,
// z-order and input back to the one it covered.
TEST(DesktopBatch, CloseIsRefusedDuringABatchStartedWithTheMouseThatConvertsItsFile) {
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

    // The caption's close button while it runs: the program's warning.
    const desktop::Rect w = s.Reported("window");
    const desktop::Spot close = desktop::CloseButton(w);
    s.Click(close.x, close.y);
    ASSERT_TRUE(s.WaitForReport("box", "Warning", 30)) << "no warning; the row reads " << s.Report()["status 0"];
    EXPECT_EQ(s.Report()["box text"], kRunning);
    // Kept beside the test for people to look at.
    ::mkdir("captures", 0777);
    s.Screenshot("captures/desktop_batch_refused.png");
    ASSERT_TRUE(s.WaitForKeyboard("Warning"));

    // The batch ends with its notice in front of the warning, holding the keyboard.
    ASSERT_TRUE(desktop::PollFor([&] { return s.Report()["box text"].find("Mission accomplished!") != std::string::npos; }, 100))
        << "the batch did not end: " << s.Report()["box"];
    EXPECT_TRUE(s.WaitForReport("status 0", "Completed"));
    const unsigned long warning = s.Window("Warning");
    ASSERT_NE(warning, 0u) << "the warning went with the batch";
    EXPECT_TRUE(desktop::PollFor(
        [&] {
            unsigned long focus = s.FocusedWindow();
            return focus != warning && s.IsProgramWindow(focus);
        },
        20))
        << "the keyboard is with " << s.Xdo("getwindowfocus getwindowname");
    s.Screenshot("captures/desktop_batch_notice_over_warning.png");
    ClickBoxControl(s, kIdOk);

    // The warning again, in front and with the keyboard; its OK closes it.
    ASSERT_TRUE(s.WaitForReport("box", "Warning", 20)) << "in front: " << s.Report()["box"];
    ASSERT_TRUE(s.WaitForKeyboard("Warning")) << "the keyboard is with " << s.Xdo("getwindowfocus getwindowname");
    ClickBoxControl(s, kIdOk);
    ASSERT_TRUE(s.WaitForReport("box", "none", 20)) << "still in front: " << s.Report()["box"];
    EXPECT_TRUE(s.WaitForKeyboard("Velmora Corvane"));

    // Idle, its row done, and the file plays.
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
