// The edges of what the mouse finds in skinned windows: a caption button takes a click from its
// first to its last pixel and not one pixel beyond, and a popup menu's row is hot from its first
// to its last pixel, its neighbour from the next one.
#include "SkinPopupMenu.h"
#include "window_test_support.h"

using namespace wintest;

namespace {

class HitEdgeTest : public WindowSkinTest {};

TEST_F(HitEdgeTest, ACaptionButtonTakesClicksFromItsFirstToItsLastPixel)
{
    HWND h = SkinnedDialog();
    const RECT cmd = ElementRect(h, "Cmd");
    ASSERT_EQ(cmd.right - cmd.left, 16);
    const int midX = (cmd.left + cmd.right) / 2, midY = (cmd.top + cmd.bottom) / 2;
    const struct {
        POINT p;
        bool takes;
    } clicks[] = {
        {{cmd.left, midY}, true},       {{cmd.right - 1, midY}, true},  {{midX, cmd.top}, true},
        {{midX, cmd.bottom - 1}, true}, {{cmd.left - 1, midY}, false},  {{cmd.right, midY}, false},
        {{midX, cmd.bottom}, false},    {{cmd.left, cmd.top}, true},    {{cmd.right - 1, cmd.bottom - 1}, true},
    };
    for (const auto& click : clicks) {
        SCOPED_TRACE("(" + std::to_string(click.p.x) + ", " + std::to_string(click.p.y) + ")");
        Log().commands.clear();
        Click(h, click.p);
        MoveTo(h, POINT{midX, 60});
        EXPECT_EQ(Log().commands == std::vector<WPARAM>{77}, click.takes);
        // Drawn where it is taken: its own pictures inside, something else outside.
        const bool drawn = PainterAt(h, click.p).rfind("Dialog/Cmd.", 0) == 0;
        EXPECT_EQ(drawn, click.takes) << PainterAt(h, click.p);
    }
}

TEST_F(HitEdgeTest, APopupRowIsHotFromItsFirstToItsLastPixel)
{
    HWND owner = SkinnedDialog();
    HMENU menu = CreatePopupMenu();
    for (int i = 0; i < 4; ++i)
        AppendMenuA(menu, MF_STRING, 300 + i, ("Entry " + std::to_string(i)).c_str());
    CSkinPopupMenu popup(owner, nullptr, CSkinPopupMenu::MODE_MENUBAR);
    ASSERT_TRUE(popup.CreatePopupWindow());
    popup.LoadMenu(menu);
    popup.ShowAt(300, 200, 0);
    WinTestPumpUntilIdle();
    auto hotAt = [&](int x, int y) {
        POINT s{x, y};
        ClientToScreen(popup.GetHwnd(), &s);
        WinTestMouseMove(nullptr, s.x, s.y);
        WinTestPumpUntilIdle();
        return popup.GetSelected();
    };
    RECT client;
    GetClientRect(popup.GetHwnd(), &client);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        const RECT r = popup.GetRowRect(i);
        ASSERT_FALSE(IsRectEmpty(&r));
        const int x = (r.left + r.right) / 2;
        EXPECT_EQ(hotAt(x, r.top), i);
        EXPECT_EQ(hotAt(x, r.bottom - 1), i);
        if (i + 1 < 4) {
            EXPECT_EQ(hotAt(x, r.bottom), i + 1);
        }
        EXPECT_EQ(hotAt(r.left, (r.top + r.bottom) / 2), i);
        EXPECT_EQ(hotAt(r.right - 1, (r.top + r.bottom) / 2), i);
        EXPECT_EQ(popup.HitIndex(POINT{x, r.top}), i);
        EXPECT_EQ(popup.HitIndex(POINT{x, r.bottom - 1}), i);
    }
    // Past the last row, nothing.
    const RECT last = popup.GetRowRect(3);
    EXPECT_EQ(popup.HitIndex(POINT{(last.left + last.right) / 2, last.bottom}), -1);
    EXPECT_EQ(popup.HitIndex(POINT{client.right, last.top}), -1);
    popup.DestroyPopup();
    DestroyMenu(menu);
}

}  // namespace
