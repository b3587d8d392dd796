// The program on a real desktop, as its user meets it: an X server with and without a window
// manager, the mouse and the keyboard of that server. Its windows are ordinary windows of the
// desktop that take the keyboard, also after a drop-down list or a menu has come and gone.
#include <sys/stat.h>
#include <unistd.h>

#include "desktop_session.h"

namespace {

const int kIdList = 1002, kIdFolder = 1006, kIdFrameSize = 1013;
const char kMain[] = "Velmora Corvane";

// Clicks into the output folder, goes to its end and types `more`; true when the program
// shows the folder then as `expected`. With `activating`, the click is the one that makes the
// window active.
bool TypeAtEndOfFolder(desktop::Session& s, const std::string& more, const std::string& expected,
                       bool activating = false) {
    if (!activating && !s.WaitForKeyboard(kMain)) {
        ADD_FAILURE() << "the main window did not get the keyboard back";
        return false;
    }
    // A window manager that takes a click first (to focus and raise the window under it)
    // hands it on only after keys sent meanwhile: each step waits for what the one before did.
    // The click lands a few letters into the text, so the caret it places is before the end.
    const std::string before = s.Report()["folder"];
    desktop::Rect edit = s.Control(kIdFolder);
    s.Click(edit.left + 12, edit.cy());
    if (!desktop::PollFor([&] { return s.Focus() == kIdFolder && s.FolderCaret() >= 0 &&
                                       s.FolderCaret() < int(before.size()); }, 20)) {
        ADD_FAILURE() << "the click did not reach the folder: focus " << s.Focus() << ", caret " << s.FolderCaret();
        return false;
    }
    s.Key("End");
    if (!desktop::PollFor([&] { return s.FolderCaret() == int(before.size()); }, 20)) {
        ADD_FAILURE() << "End did not reach the folder: caret " << s.FolderCaret();
        return false;
    }
    s.Type(more);
    if (s.WaitForFolder(expected)) return true;
    // Kept beside the test for people to look at.
    ::mkdir("captures", 0777);
    s.Screenshot("captures/desktop_" + std::to_string(getpid()) + ".png");
    ADD_FAILURE() << "the folder reads \"" << s.Report()["folder"] << "\"";
    return false;
}

void TypesIntoTheFolderBeforeAndAfterADropDownAndAMenu(bool with_manager) {
    std::string missing = desktop::Session::Missing(with_manager);
    if (!missing.empty()) GTEST_SKIP() << missing;
    desktop::Session s;
    ASSERT_TRUE(s.Start(with_manager)) << "the program did not come up on the X server";
    std::string folder = s.Report()["folder"];
    ASSERT_FALSE(folder.empty());
    ASSERT_TRUE(TypeAtEndOfFolder(s, "/typed", folder + "/typed")) << "typed keys did not reach the edit";

    // A drop-down list: opened on the face, an entry clicked; the keyboard comes back.
    int windows = s.VisibleWindows();
    auto popup_open = [&] { return s.VisibleWindows() > windows; };
    auto popup_gone = [&] { return s.VisibleWindows() == windows; };
    desktop::Rect combo = s.Control(kIdFrameSize);
    s.Click(combo.cx(), combo.top + 8);
    ASSERT_TRUE(desktop::PollFor(popup_open, 10)) << "the list did not drop down";
    s.Click(combo.cx(), combo.top + 50);
    ASSERT_TRUE(desktop::PollFor(popup_gone, 10)) << "the list did not close";
    EXPECT_TRUE(TypeAtEndOfFolder(s, "/after", folder + "/typed/after")) << "the keyboard was lost after a drop-down";

    // The file list's context menu, closed with Escape.
    desktop::Rect list = s.Control(kIdList);
    s.Click(list.cx(), list.cy(), 3);
    ASSERT_TRUE(desktop::PollFor(popup_open, 10)) << "the menu did not open";
    s.Key("Escape");
    ASSERT_TRUE(desktop::PollFor(popup_gone, 10)) << "the menu did not close";
    EXPECT_TRUE(TypeAtEndOfFolder(s, "/menu", folder + "/typed/after/menu")) << "the keyboard was lost after a menu";

    // Escape in the idle dialog ends the program.
    s.Key("Escape");
    EXPECT_EQ(s.WaitForExit(30), 0);
}

TEST(Desktop, KeysReachTheProgramWithoutAWindowManager) { TypesIntoTheFolderBeforeAndAfterADropDownAndAMenu(false); }

TEST(Desktop, KeysReachTheProgramUnderAWindowManager) { TypesIntoTheFolderBeforeAndAfterADropDownAndAMenu(true); }

TEST(Desktop, TheWindowManagerListsTheMainWindowAndKeepsItsDialogsAboveIt) {
    std::string missing = desktop::Session::Missing(true);
    if (!missing.empty()) GTEST_SKIP() << missing;
    desktop::Session s;
    ASSERT_TRUE(s.Start(true));
    unsigned long main = s.Window(kMain);
    ASSERT_NE(main, 0u);
    char id[32];
    std::snprintf(id, sizeof id, "0x%lx", main);
    EXPECT_NE(s.RootProperty("_NET_CLIENT_LIST").find(id), std::string::npos)
        << "the main window is not in the window manager's list: " << s.RootProperty("_NET_CLIENT_LIST");
    // Undecorated (the program draws its own frame), and not kept out of the task bar.
    EXPECT_NE(s.WindowProperty(main, "_MOTIF_WM_HINTS").find("0x2, 0x0, 0x0"), std::string::npos);
    EXPECT_EQ(s.WindowProperty(main, "_NET_WM_STATE").find("SKIP_TASKBAR"), std::string::npos);

    // The About box: a window of its own, in the list too, transient for the main window.
    desktop::Rect about = s.Control(1027);
    s.Click(about.cx(), about.cy());
    unsigned long box = 0;
    ASSERT_TRUE(desktop::PollFor([&] { return (box = s.Window("About Velmora Corvane")) != 0; }, 20));
    ASSERT_TRUE(s.WaitForKeyboard("About Velmora Corvane"));
    EXPECT_NE(s.WindowProperty(box, "WM_TRANSIENT_FOR").find(id), std::string::npos);
    std::snprintf(id, sizeof id, "0x%lx", box);
    EXPECT_TRUE(desktop::PollFor([&] { return s.RootProperty("_NET_CLIENT_LIST").find(id) != std::string::npos; }, 10));
    // It has the keyboard: Enter closes it.
    s.Key("Return");
    EXPECT_TRUE(desktop::PollFor([&] { return s.Window("About Velmora Corvane") == 0; }, 10));
    std::string folder = s.Report()["folder"];
    EXPECT_TRUE(TypeAtEndOfFolder(s, "/x", folder + "/x"));
    s.Key("Escape");
    EXPECT_EQ(s.WaitForExit(30), 0);
}

// Another program has the keyboard; the one click into the folder both activates the window
// and puts the caret there, so what is typed next lands in the folder.
TEST(Desktop, TheClickThatActivatesTheWindowAlsoReachesTheControlUnderIt) {
    std::string missing = desktop::Session::Missing(true);
    if (missing.empty() && !xvfb::HaveProgram("xlogo")) missing = "xlogo is not installed";
    if (!missing.empty()) GTEST_SKIP() << missing;
    desktop::Session s;
    ASSERT_TRUE(s.Start(true));
    std::string folder = s.Report()["folder"];
    ASSERT_TRUE(s.StartOther("xlogo"));
    ASSERT_TRUE(s.WaitForKeyboard("xlogo")) << "the other program did not get the keyboard";
    EXPECT_TRUE(TypeAtEndOfFolder(s, "/one", folder + "/one", true)) << "the activating click was lost";
    EXPECT_TRUE(s.WaitForKeyboard(kMain));
}

}  // namespace
