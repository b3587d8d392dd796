// The main window's caption buttons on a real desktop: the skin's minimise button makes the
// window manager keep it as an icon until the desktop restores it, and its close button ends
// the program.
#include "desktop_session.h"

namespace {

TEST(DesktopCaption, MinimiseKeepsTheWindowAsAnIconAndCloseEndsTheProgram) {
    std::string missing = desktop::Session::Missing(true);
    if (!missing.empty()) GTEST_SKIP() << missing;
    desktop::Session s;
    ASSERT_TRUE(s.Start(true));
    const desktop::Rect w = s.Reported("window");
    const desktop::Spot close = desktop::CloseButton(w), minimise = desktop::MinimiseButton(w);
    unsigned long main = s.Window("Velmora Corvane");
    ASSERT_NE(main, 0u);
    auto state = [&] { return s.WindowProperty(main, "WM_STATE"); };
    s.Click(minimise.x, minimise.y);
    ASSERT_TRUE(desktop::PollFor([&] { return state().find("Iconic") != std::string::npos; }, 10)) << state();

    // A busy program: it does not run while the desktop gives the window back (as its task
    // bar would) and the close button is clicked, so it hears of the restore and of the click
    // at once. The window shows whole meanwhile, and the click is the restored window's.
    ASSERT_EQ(kill(s.pid(), SIGSTOP), 0);
    s.Xdo("windowactivate " + std::to_string(main));
    const bool restored = desktop::PollFor([&] { return state().find("Normal") != std::string::npos; }, 10) &&
                          desktop::PollFor([&] { return s.InPlace("Velmora Corvane", w); }, 10);
    s.Xdo("mousemove --sync " + std::to_string(close.x) + " " + std::to_string(close.y));
    const bool under = restored && desktop::PollFor([&] { return s.WindowUnderPointer() != s.RootWindow(); }, 10);
    if (under) s.Xdo("click 1");
    ASSERT_EQ(kill(s.pid(), SIGCONT), 0);
    ASSERT_TRUE(restored) << state();
    ASSERT_TRUE(under) << "the restored window does not show under the close button";
    EXPECT_EQ(s.WaitForExit(30), 0) << "the click on the close button was lost";
}

}  // namespace
