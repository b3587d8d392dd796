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
    // The close button as the screen shows it: 16 x 16 pixels about its centre.
    auto closeButton = [&] {
        std::vector<DWORD> px;
        demorun::Picture p;
        const std::string png = s.dir() / "close.png";
        if (!s.Screenshot(png) || !demorun::Load(png, &p)) return px;
        for (int y = close.y - 8; y < close.y + 8; ++y)
            for (int x = close.x - 8; x < close.x + 8; ++x)
                px.push_back(x >= 0 && y >= 0 && x < p.width && y < p.height ? p.At(x, y) : 0);
        return px;
    };
    const std::vector<DWORD> shown = closeButton();
    ASSERT_FALSE(shown.empty());

    s.Click(minimise.x, minimise.y);
    EXPECT_TRUE(desktop::PollFor([&] { return state().find("Iconic") != std::string::npos; }, 10)) << state();
    // The desktop gives it back (as its task bar would), where it was.
    s.Xdo("windowactivate " + std::to_string(main));
    EXPECT_TRUE(desktop::PollFor([&] { return state().find("Normal") != std::string::npos; }, 10)) << state();
    EXPECT_TRUE(desktop::PollFor([&] { return s.InPlace("Velmora Corvane", w); }, 10));
    // The program has taken the restore in once it shows its close button again; a click
    // before that is not yet the restored window's.
    EXPECT_TRUE(desktop::PollFor([&] { return closeButton() == shown; }, 20)) << "the close button did not come back";

    // The manager marks the window restored and in its place a moment before its frame is
    // back under the pointer; a click meanwhile lands on the bare desktop.
    s.Xdo("mousemove --sync " + std::to_string(close.x) + " " + std::to_string(close.y));
    EXPECT_TRUE(desktop::PollFor([&] { return s.WindowUnderPointer() != s.RootWindow(); }, 10));
    // Under load the program may still take a click for the minimised window's after its
    // pixels are back; such a click does nothing, so the button is clicked again until the
    // program ends, within the same bound as before.
    int code = -1;
    for (int i = 0; i < 6 && code < 0; ++i) {
        s.Xdo("click 1");
        code = s.WaitForExit(5);
    }
    EXPECT_EQ(code, 0);
}

}  // namespace
