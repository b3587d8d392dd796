// Caption elements on a skinned dialog: looks by state at pixels, the host messages, hover on
// the 100 ms timer, the actions, sticky buttons, the system-menu button's two clicks, layout by
// anchors, visibility conditions, right-to-left hosts and tooltip texts.
#include "SkinEngineServices.h"
#include "window_test_support.h"

using namespace wintest;

namespace {

class FrameElementsTest : public WindowSkinTest {};

TEST_F(FrameElementsTest, ACaptionButtonShowsNormalHoverPressedAndBackAsTheMouseComesAndGoes)
{
    HWND h = SkinnedDialog();
    RECT wr;
    GetWindowRect(h, &wr);
    const int W = wr.right - wr.left;
    const RECT close = ElementRect(h, "Close");
    EXPECT_EQ(close.right, W - 6);  // right-anchored: 6 from the right edge as in the design
    EXPECT_EQ(close.left, W - 22);
    const POINT at = Middle(close);
    EXPECT_EQ(PainterAt(h, at), "Dialog/Close.image");

    MoveTo(h, at);
    EXPECT_EQ(PainterAt(h, at), "Dialog/Close.states[0]");
    ASSERT_FALSE(Log().elementMessages.empty());
    EXPECT_EQ(Log().elementMessages.back(), UINT(WM_SKINELEMENT_MOVE));
    Press(h, at, true);
    EXPECT_EQ(PainterAt(h, at), "Dialog/Close.states[1]");
    EXPECT_TRUE(Log().sysCommands.empty());
    Press(h, at, false);
    // Released over it: the window is asked to close, and the button shows its hover look.
    EXPECT_EQ(Log().sysCommands, std::vector<WPARAM>{SC_CLOSE});
    EXPECT_EQ(PainterAt(h, at), "Dialog/Close.image");  // the close action stops the hover

    // A command button: its command goes to the window; away from it, the next tick of the
    // hover timer gives it back its normal look and tells the window.
    const POINT cmd = Middle(ElementRect(h, "Cmd"));
    Click(h, cmd);
    EXPECT_EQ(Log().commands, std::vector<WPARAM>{77});
    EXPECT_EQ(PainterAt(h, cmd), "Dialog/Cmd.states[0]");
    MoveTo(h, POINT{W / 2, 60});
    EXPECT_EQ(PainterAt(h, cmd), "Dialog/Cmd.states[0]");  // no tick yet
    WinTestAdvanceClock(CSkinCaptionButton::kHoverInterval);
    WinTestPumpUntilIdle();
    EXPECT_EQ(PainterAt(h, cmd), "Dialog/Cmd.image");
    EXPECT_EQ(Log().elementMessages.back(), UINT(WM_SKINELEMENT_LEAVE));
    EXPECT_FALSE(ButtonOf(h, "Cmd")->IsHoverTimerRunning());
}

TEST_F(FrameElementsTest, ButtonsFollowTheWindowsBoxesAndAnInactiveCaptionTakesNoHover)
{
    // No minimise box: the minimise button is disabled and stays so under the mouse.
    HWND h = SkinnedDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE);
    const POINT min = Middle(ElementRect(h, "Min"));
    EXPECT_EQ(PainterAt(h, min), "Dialog/Min.states[2]");
    MoveTo(h, min);
    EXPECT_EQ(PainterAt(h, min), "Dialog/Min.states[2]");
    Click(h, min);
    EXPECT_TRUE(Log().sysCommands.empty());
    const POINT lit = Middle(ElementRect(h, "Lit"));
    EXPECT_EQ(PainterAt(h, lit), "Dialog/Lit.image");

    // Another window takes the activation: the inactive frame, no hover, and the button shown
    // only on an active caption is gone.
    HWND other = CreateSyntheticWindow(WindowSpec{});
    windows.push_back(other);
    WinTestActivate(other);
    WinTestPumpUntilIdle();
    const POINT close = Middle(ElementRect(h, "Close"));
    EXPECT_EQ(PainterAt(h, POINT{60, 10}), "Dialog.parts[10]");
    EXPECT_EQ(PainterAt(h, close), "Dialog/Close.image");
    EXPECT_EQ(PainterAt(h, lit), "Dialog.parts[10]");
    MoveTo(h, close);
    EXPECT_EQ(PainterAt(h, close), "Dialog/Close.image");
    WinTestActivate(h);
    WinTestPumpUntilIdle();
    EXPECT_EQ(PainterAt(h, lit), "Dialog/Lit.image");
    EXPECT_EQ(PainterAt(h, POINT{60, 10}), "Dialog.parts[1]");
}

TEST_F(FrameElementsTest, AStickyButtonTogglesOnEachClickAndKeepsItsLookWhenTheMouseLeaves)
{
    HWND h = SkinnedDialog();
    const POINT pin = Middle(ElementRect(h, "Pin"));
    MoveTo(h, pin);
    EXPECT_EQ(PainterAt(h, pin), "Dialog/Pin.states[0]");  // hovered over
    Click(h, pin);
    EXPECT_EQ(ButtonOf(h, "Pin")->GetState(), CSkinCaptionButton::STATE_PRESSED);
    EXPECT_EQ(PainterAt(h, pin), "Dialog/Pin.states[1]");
    MoveTo(h, POINT{60, 60});
    WinTestAdvanceClock(CSkinCaptionButton::kHoverInterval);
    WinTestPumpUntilIdle();
    EXPECT_EQ(PainterAt(h, pin), "Dialog/Pin.states[1]");
    // The second click comes soon enough to be a double click: it toggles all the same.
    Click(h, pin);
    MoveTo(h, POINT{60, 60});
    WinTestAdvanceClock(CSkinCaptionButton::kHoverInterval);
    WinTestPumpUntilIdle();
    EXPECT_EQ(PainterAt(h, pin), "Dialog/Pin.image");
    EXPECT_EQ(Log().commands, (std::vector<WPARAM>{78, 78}));
}

// A popup-menu service that only counts how often a popup was asked for and ends at once.
int g_popupsShown = 0;
int g_popupMode = -1;
void* FakeCreate(HWND owner, int mode, const UINT_PTR*)
{
    g_popupMode = mode;
    return owner;
}
void FakeShow(void* popup, int, int, UINT)
{
    ++g_popupsShown;
    PostMessageA(static_cast<HWND>(popup), WM_SKINPOPUP_ENDED, 0, 0);
}
// Whether each system command of the last menu shown could be chosen.
std::map<UINT, bool> g_enabled;
void FakeSetMenu(void*, HMENU menu)
{
    g_enabled.clear();
    for (UINT command : {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE})
        g_enabled[command] = !(GetMenuState(menu, command, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
}
int FakeResult(void*) { return 0; }
void FakeDestroy(void*) {}
const SkinPopupMenuService kFakePopups = {nullptr, &FakeCreate, &FakeSetMenu, nullptr, &FakeShow, &FakeResult,
                                          &FakeDestroy, nullptr, nullptr, nullptr};

TEST_F(FrameElementsTest, TwoQuickClicksOnTheSystemMenuButtonCloseSlowerOnesOpenTheMenuEachTime)
{
    SetSkinPopupMenuService(&kFakePopups);
    g_popupsShown = 0;
    HWND h = SkinnedDialog();
    const POINT sys = Middle(ElementRect(h, "Sys"));
    // Clicks a few pixels apart, so that the window system makes no double click of them:
    // the button's own clock decides. The very first click opens the menu, however early on
    // the clock it comes.
    const POINT aside = {sys.x + 5, sys.y};
    Click(h, sys);
    EXPECT_EQ(g_popupsShown, 1);
    EXPECT_EQ(g_popupMode, 3);
    // Only what the dialog's state and style allow: it is neither sizable nor maximisable.
    const std::map<UINT, bool> allowed = {{SC_RESTORE, false}, {SC_MOVE, true},      {SC_SIZE, false},
                                          {SC_MINIMIZE, true}, {SC_MAXIMIZE, false}, {SC_CLOSE, true}};
    EXPECT_EQ(g_enabled, allowed);
    WinTestAdvanceClock(CSkinCaptionButton::kCloseClickInterval);
    Click(h, aside);
    EXPECT_EQ(g_popupsShown, 2);
    EXPECT_TRUE(Log().sysCommands.empty());
    WinTestAdvanceClock(CSkinCaptionButton::kCloseClickInterval - 1);
    Click(h, sys);
    EXPECT_EQ(g_popupsShown, 2);
    EXPECT_EQ(Log().sysCommands, std::vector<WPARAM>{SC_CLOSE});
    // A double click closes too.
    WinTestAdvanceClock(CSkinCaptionButton::kCloseClickInterval);
    Log().sysCommands.clear();
    const POINT s2 = OnScreen(h, aside);
    WinTestDoubleClick(nullptr, WINTEST_LEFT, s2.x, s2.y);
    WinTestPumpUntilIdle();
    EXPECT_EQ(g_popupsShown, 3);
    EXPECT_EQ(Log().sysCommands, std::vector<WPARAM>{SC_CLOSE});
    // A right click opens it too.
    WinTestAdvanceClock(CSkinCaptionButton::kCloseClickInterval);
    const POINT s = OnScreen(h, sys);
    WinTestClick(nullptr, WINTEST_RIGHT, s.x, s.y);
    WinTestPumpUntilIdle();
    EXPECT_EQ(g_popupsShown, 4);
    SetSkinPopupMenuService(nullptr);
}

TEST_F(FrameElementsTest, WithoutTheSkinnedPopupTheSystemMenuIsTheWindowSystemsOwn)
{
    SetSkinPopupMenuService(nullptr);
    HWND h = SkinnedDialog();
    const POINT sys = Middle(ElementRect(h, "Sys"));
    int menuLoops = 0;
    WinTestIdleScript script({[&](int loop, HWND) {
        menuLoops += loop == WINTEST_LOOP_MENU;
        // Restore is disabled: down to Move.
        WinTestKeyPress(VK_DOWN);
        WinTestKeyPress(VK_DOWN);
        WinTestKeyPress(VK_RETURN);
    }});
    Click(h, sys);
    EXPECT_EQ(menuLoops, 1);
    EXPECT_EQ(script.Overruns(), 0);
    // The chosen entry reaches the window as a system command.
    ASSERT_EQ(Log().sysCommands.size(), 1u);
    EXPECT_EQ(Log().sysCommands[0], WPARAM(SC_MOVE));
}

TEST_F(FrameElementsTest, AnchorModesAndVisibilityConditions)
{
    auto* frame = static_cast<CSkinWindowObject*>(CSkinManager::Instance().GetSkinFile()->FindObject("Dialog"));
    CSkinWindow host;
    host.SetSkinObject(frame);
    const RECT d = {50, 90, 70, 110};
    auto at = [&](DWORD mode) {
        auto object = Button("probe", 0, d, mode);
        CSkinCaptionButton b(d.left, d.top, d.right, d.bottom, &host, object.get());
        b.Layout(0, 0, kDesignW + 50, kDesignH + 30);
        RECT rc;
        b.GetElementRect(&rc);
        return rc;
    };
    auto same = [](RECT a, RECT b) { return EqualRect(&a, &b) != 0; };
    EXPECT_TRUE(same(at(0), d));
    EXPECT_TRUE(same(at(2), RECT{50, 120, 70, 140}));
    EXPECT_TRUE(same(at(8), at(2)));
    EXPECT_TRUE(same(at(4), RECT{100, 90, 120, 110}));
    EXPECT_TRUE(same(at(6), at(4)));
    EXPECT_TRUE(same(at(5), RECT{100, 120, 120, 140}));

    HWND h = SkinnedDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_VISIBLE);
    CSkinWindow* skin = SkinOf(h);
    auto visible = [&](DWORD condition) {
        auto object = Button("probe", 0, d, 0, 0, condition);
        CSkinCaptionButton b(d.left, d.top, d.right, d.bottom, skin, object.get());
        return b.IsVisible() != 0;
    };
    EXPECT_TRUE(visible(0));
    EXPECT_TRUE(visible(9));
    EXPECT_FALSE(visible(10));
    EXPECT_FALSE(visible(0xFFFFFFFF));
    EXPECT_TRUE(visible(4));
    ShowWindow(h, SW_MAXIMIZE);
    WinTestPumpUntilIdle();
    EXPECT_FALSE(visible(9));
    EXPECT_FALSE(visible(4));
    EXPECT_TRUE(visible(3));
    ShowWindow(h, SW_RESTORE);
    WinTestPumpUntilIdle();
    EXPECT_TRUE(visible(9));
}

TEST_F(FrameElementsTest, InARightToLeftWindowAClickAtXHitsTheElementLaidOutAtWidthLessX)
{
    HWND h = Dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | WS_VISIBLE);
    SetWindowLongA(h, GWL_EXSTYLE, GetWindowLongA(h, GWL_EXSTYLE) | WS_EX_LAYOUTRTL);
    ASSERT_TRUE(SetSingleDialogSkin(h, "Dialog"));
    WinTestActivate(h);
    WinTestPumpUntilIdle();
    RECT wr;
    GetWindowRect(h, &wr);
    const int W = wr.right - wr.left;
    const RECT cmd = ElementRect(h, "Cmd");
    const POINT mirrored = {W - Middle(cmd).x, Middle(cmd).y};
    EXPECT_TRUE(ButtonOf(h, "Cmd")->HitTestHostPoint(mirrored.x, mirrored.y));
    EXPECT_FALSE(ButtonOf(h, "Cmd")->HitTestHostPoint(Middle(cmd).x, Middle(cmd).y));
    // It shows there too.
    EXPECT_EQ(PainterAt(h, mirrored), "Dialog/Cmd.image");
    Click(h, mirrored);
    EXPECT_EQ(Log().commands, std::vector<WPARAM>{77});
}

TEST_F(FrameElementsTest, TooltipTextsComeFromTheWindowOrElseTheButtonsName)
{
    HWND h = SkinnedDialog();
    CSkinCaptionButton* close = ButtonOf(h, "Close");
    EXPECT_EQ(close->GetName(), "Close");  // named after its object
    Log().tooltipAnswer = "Shut the window";
    EXPECT_EQ(close->GetTooltipText(), "Shut the window");
    EXPECT_EQ(Log().elementMessages.back(), UINT(WM_SKINELEMENT_TOOLTIP));
    Log().tooltipAnswer.clear();
    EXPECT_EQ(close->GetTooltipText(), "Close");
    // The call-back marker is no text, and a text without its end is read no further than
    // the record holds.
    Log().tooltipMode = 1;
    EXPECT_EQ(close->GetTooltipText(), "Close");
    Log().tooltipMode = 2;
    EXPECT_EQ(close->GetTooltipText(), std::string(79, 'x'));
}

// The one tooltip window as a recorder.
class RecordingTip : public ISkinElementTooltip {
public:
    CSkinObject* SetSkinObject(CSkinObject*) override { return nullptr; }
    void SetOwner(CSkinElement* e) override { owner = e; }
    CSkinElement* GetOwner() const override { return owner; }
    void ShowDelayed(const char* t) override { shown.push_back(t); }
    void Hide() override { ++hidden; }
    CSkinElement* owner = nullptr;
    std::vector<std::string> shown;
    int hidden = 0;
};

TEST_F(FrameElementsTest, HoveringAButtonAsksForItsTooltipOnceAndLeavingHidesIt)
{
    RecordingTip tip;
    SetSkinElementTooltip(&tip);
    HWND h = SkinnedDialog();
    const POINT min = Middle(ElementRect(h, "Min"));
    MoveTo(h, min);
    MoveTo(h, POINT{min.x + 1, min.y});
    EXPECT_EQ(tip.shown, std::vector<std::string>{"Min"});
    MoveTo(h, POINT{40, 60});
    WinTestAdvanceClock(CSkinCaptionButton::kHoverInterval);
    WinTestPumpUntilIdle();
    EXPECT_EQ(tip.hidden, 1);
    SetSkinElementTooltip(nullptr);
}

}  // namespace
