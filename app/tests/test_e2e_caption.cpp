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
    EXPECT_TRUE(desktop::PollFor([&] { return state().find("Iconic") != std::string::npos; }, 10)) << state();
    // The desktop gives it back (as its task bar would), where it was.
    s.Xdo("windowactivate " + std::to_string(main));
    EXPECT_TRUE(desktop::PollFor([&] { return state().find("Normal") != std::string::npos; }, 10)) << state();
    EXPECT_TRUE(desktop::PollFor([&] { return s.InPlace("Velmora Corvane", w); }, 10));

    // The manager marks the window restored and in its place a moment before its frame is
    // back under the pointer; a click meanwhile lands on the bare desktop.
    s.Xdo("mousemove --sync " + std::to_string(close.x) + " " + std::to_string(close.y));
    EXPECT_TRUE(desktop::PollFor([&] { return s.WindowUnderPointer() != s.RootWindow(); }, 10));
    s.Xdo("click 1");
    EXPECT_EQ(s.WaitForExit(30), 0);
}

}  // namespace
