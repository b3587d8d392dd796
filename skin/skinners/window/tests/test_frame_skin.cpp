// The frame window skin and its menu bar: the frame and the bar around the client area, hit
// codes of every part, minimise, maximise and restore, the caption's double click, the bar
// driven by mouse and keys opening skinned popups and sending commands, the menu handed back
// on removal, and the MDI client's background.
#include "afxwin.h"
#include "frame_test_support.h"
#include "menu_resource.h"

using namespace wintest;

namespace {

TEST_F(FrameSkinTest, TheMenuMovesIntoASkinnedBarUnderTheCaptionAndTheClientAreaIsWhatIsLeft)
{
    HMENU menu = AppMenu();
    HWND h = SkinnedFrame(kSizable, menu);
    EXPECT_EQ(GetMenu(h), nullptr);
    EXPECT_EQ(FrameSkin(h)->GetMenu(), menu);
    // Separators have no place in the bar.
    CSkinMenuBar& bar = Bar(h);
    ASSERT_EQ(bar.GetItemCount(), 5);
    EXPECT_EQ(bar.GetItem(0)->m_strText, "&File");
    EXPECT_EQ(bar.GetItem(0)->m_chMnemonic, 'F');
    EXPECT_EQ(bar.GetItem(2)->m_nId, UINT(ID_GO));

    RECT wr, client;
    GetWindowRect(h, &wr);
    GetClientRect(h, &client);
    const RECT b = BarRect(h);
    const int W = wr.right - wr.left, H = wr.bottom - wr.top;
    EXPECT_EQ(b.left, kLeft);
    EXPECT_EQ(b.top, kCaption);
    EXPECT_EQ(b.right, W - kRight);
    EXPECT_GT(b.bottom, b.top + kBarMargins.top + kBarMargins.bottom);
    EXPECT_EQ(client.right, W - kLeft - kRight);
    EXPECT_EQ(client.bottom, H - kCaption - kBottom - (b.bottom - b.top));
    // The bar is painted between the caption and the client area, its items inside it.
    EXPECT_EQ(PainterAt(h, {b.right - 3, (b.top + b.bottom) / 2}).rfind("FrameWnd.menuBar.barBackground", 0), 0u)
        << PainterAt(h, {b.right - 3, (b.top + b.bottom) / 2});
    EXPECT_EQ(PainterAt(h, {kLeft + 2, b.bottom + 2}), "FrameWnd.parts[4]");
    EXPECT_EQ(PainterAt(h, {27, 21}), "FrameWnd.parts[0]");
    for (int i = 0; i < bar.GetItemCount(); ++i) {
        RECT item, both;
        bar.GetItem(i)->GetElementRect(&item);
        IntersectRect(&both, &item, &b);
        EXPECT_TRUE(EqualRect(&both, &item)) << bar.GetItem(i)->m_strText;
    }
}

TEST_F(FrameSkinTest, ANarrowFrameWrapsTheItemsIntoRowsThatTheClientAreaMakesRoomFor)
{
    HWND h = SkinnedFrame(kSizable, AppMenu(), 320, 220);
    const int oneRow = BarRect(h).bottom - BarRect(h).top;
    SetWindowPos(h, nullptr, 0, 0, 90, 220, SWP_NOMOVE | SWP_NOZORDER);
    WinTestPumpUntilIdle();
    const RECT b = BarRect(h);
    EXPECT_GT(b.bottom - b.top, oneRow);
    RECT client;
    GetClientRect(h, &client);
    EXPECT_EQ(client.bottom, 220 - kCaption - kBottom - (b.bottom - b.top));
    CSkinMenuBar& bar = Bar(h);
    bar.LayoutItems();
    int rows = 0, lastTop = -1;
    for (int i = 0; i < bar.GetItemCount(); ++i) {
        RECT item, both;
        bar.GetItem(i)->GetElementRect(&item);
        IntersectRect(&both, &item, &b);
        EXPECT_TRUE(EqualRect(&both, &item)) << bar.GetItem(i)->m_strText << " lies outside the bar";
        if (item.top != lastTop)
            ++rows, lastTop = item.top;
    }
    EXPECT_GE(rows, 2);
}

TEST_F(FrameSkinTest, HitCodesOfEveryFramePartTheBarAndTheGaps)
{
    struct Row {
        POINT at;
        LRESULT sizable, fixed;
    };
    // A fixed frame keeps the client size it had: the rows follow each window's size.
    auto rowsOf = [&](HWND h) {
        RECT wr;
        GetWindowRect(h, &wr);
        const int W = wr.right - wr.left, H = wr.bottom - wr.top;
        const RECT b = BarRect(h);
        return std::vector<Row>{
            {{1, 1}, HTTOPLEFT, HTCAPTION},          {{20, 12}, HTCAPTION, HTCAPTION},
            {{60, 2}, HTTOP, HTCAPTION},             {{60, 12}, HTCAPTION, HTCAPTION},
            {{60, kTopMiddle + 1}, HTERROR, HTERROR},  // the gap under the middle part
            {{W - 2, 1}, HTTOPRIGHT, HTCAPTION},     {{W - 30, 20}, HTCAPTION, HTCAPTION},
            {{1, H / 2}, HTLEFT, HTNOWHERE},         {{W - 2, H / 2}, HTRIGHT, HTNOWHERE},
            {{1, H - 1}, HTBOTTOMLEFT, HTNOWHERE},   {{W / 2, H - 2}, HTBOTTOM, HTNOWHERE},
            {{W - 1, H - 1}, HTBOTTOMRIGHT, HTNOWHERE}, {{W / 2, H / 2}, HTCLIENT, HTCLIENT},
            {{b.right - 4, b.top + 2}, HTMENU, HTMENU},
            {Middle(ElementRect(h, "Close")), HTCAPTION, HTCAPTION},
        };
    };
    HWND h = SkinnedFrame(kSizable);
    for (const Row& r : rowsOf(h))
        EXPECT_EQ(HitAt(h, r.at), r.sizable) << "sizable at " << r.at.x << "," << r.at.y;
    HWND fixed = SkinnedFrame(kFixed);
    for (const Row& r : rowsOf(fixed))
        EXPECT_EQ(HitAt(fixed, r.at), r.fixed) << "fixed at " << r.at.x << "," << r.at.y;

    // Maximised: the caption row and the client; nothing sizes.
    SendMessageA(h, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    WinTestPumpUntilIdle();
    ASSERT_TRUE(IsZoomed(h));
    RECT wr;
    GetWindowRect(h, &wr);
    EXPECT_EQ(HitAt(h, {1, 1}), HTCAPTION);
    EXPECT_EQ(HitAt(h, {60, kTopMiddle + 1}), HTNOWHERE);
    EXPECT_EQ(HitAt(h, {1, (wr.bottom - wr.top) / 2}), HTNOWHERE);
    EXPECT_EQ(HitAt(h, {(wr.right - wr.left) / 2, (wr.bottom - wr.top) / 2}), HTCLIENT);
}

TEST_F(FrameSkinTest, MinimiseMaximiseAndRestoreAndTheCaptionsDoubleClick)
{
    HWND h = SkinnedFrame(kSizable);
    RECT before, zoomed, work;
    GetWindowRect(h, &before);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const POINT caption = OnScreen(h, {60, 10});
    WinTestDoubleClick(nullptr, WINTEST_LEFT, caption.x, caption.y);
    WinTestPumpUntilIdle();
    ASSERT_TRUE(IsZoomed(h));
    GetWindowRect(h, &zoomed);
    EXPECT_TRUE(EqualRect(&zoomed, &work));
    EXPECT_EQ(PainterAt(h, {27, 21}), "FrameWnd.parts[0]");
    // Releases far apart on a maximised frame are two clicks, not a double click.
    const POINT top = OnScreen(h, {60, 10});
    WinTestAdvanceClock(1000);
    WinTestClick(nullptr, WINTEST_LEFT, top.x, top.y);
    WinTestPumpUntilIdle();
    WinTestAdvanceClock(5000);
    WinTestClick(nullptr, WINTEST_LEFT, top.x, top.y);
    WinTestPumpUntilIdle();
    EXPECT_TRUE(IsZoomed(h));
    // Nor are releases exactly an hour apart, which read the same minute and second.
    WinTestAdvanceClock(3600 * 1000);
    WinTestClick(nullptr, WINTEST_LEFT, top.x, top.y);
    WinTestPumpUntilIdle();
    EXPECT_TRUE(IsZoomed(h));
    // Two quick releases a little apart (no double click for the window system) are one,
    // whichever second of the clock they fall in.
    WinTestAdvanceClock(5000 + 1000 - GetTickCount() % 1000 - 100);
    WinTestClick(nullptr, WINTEST_LEFT, top.x, top.y);
    WinTestPumpUntilIdle();
    WinTestAdvanceClock(200);
    WinTestClick(nullptr, WINTEST_LEFT, top.x + 20, top.y);
    WinTestPumpUntilIdle();
    EXPECT_FALSE(IsZoomed(h));
    SendMessageA(h, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    WinTestPumpUntilIdle();
    ASSERT_TRUE(IsZoomed(h));
    WinTestAdvanceClock(5000);
    WinTestDoubleClick(nullptr, WINTEST_LEFT, top.x, top.y);
    WinTestPumpUntilIdle();
    EXPECT_FALSE(IsZoomed(h));
    RECT restored;
    GetWindowRect(h, &restored);
    EXPECT_TRUE(EqualRect(&restored, &before));

    SendMessageA(h, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    WinTestPumpUntilIdle();
    EXPECT_TRUE(IsIconic(h));
    SendMessageA(h, WM_SYSCOMMAND, SC_RESTORE, 0);
    WinTestPumpUntilIdle();
    EXPECT_FALSE(IsIconic(h));
    GetWindowRect(h, &restored);
    EXPECT_TRUE(EqualRect(&restored, &before));
    EXPECT_EQ(PainterAt(h, {27, 21}), "FrameWnd.parts[0]");

    // A frame without a maximise box or a sizing border only double-clicks its caption.
    HWND fixed = SkinnedFrame(kFixed);
    const POINT fixedCaption = OnScreen(fixed, {60, 10});
    WinTestAdvanceClock(5000);
    WinTestDoubleClick(nullptr, WINTEST_LEFT, fixedCaption.x, fixedCaption.y);
    WinTestPumpUntilIdle();
    EXPECT_FALSE(IsZoomed(fixed));
}

TEST_F(FrameSkinTest, TheMouseOpensMenusMovesBetweenThemAndSendsTheChosenCommand)
{
    HWND h = SkinnedFrame();
    const RECT file = ItemRect(h, "&File"), edit = ItemRect(h, "&Edit");
    // Hot tracking shows the hot look; leaving the bar ends it when the hover timer looks.
    MoveTo(h, Middle(file));
    EXPECT_EQ(Bar(h).GetHotItem(), Item(h, "&File"));
    EXPECT_EQ(PainterAt(h, {file.left + 1, file.top + 1}).rfind("FrameWnd.menuBar.hotItem", 0), 0u);
    MoveTo(h, {60, 100});
    WinTestAdvanceClock(CSkinMenuBar::kHoverInterval);
    WinTestPumpUntilIdle();
    EXPECT_EQ(Bar(h).GetHotItem(), nullptr);
    EXPECT_FALSE(Bar(h).IsHoverTimerRunning());

    Click(h, Middle(file));
    ASSERT_NE(OpenPopup(h), nullptr);
    EXPECT_EQ(OpenText(h), "&File");
    EXPECT_EQ(OpenPopup(h)->Model().GetCount(), 3);
    EXPECT_TRUE(IsWindowVisible(OpenPopup(h)->GetHwnd()));
    EXPECT_EQ(Frames().initMenus, (std::vector<UINT>{WM_INITMENU, WM_INITMENUPOPUP}));
    EXPECT_EQ(PainterAt(h, {file.left + 1, file.top + 1}).rfind("FrameWnd.menuBar.openItem", 0), 0u);
    // The popup opens under the item.
    RECT pr, wr;
    GetWindowRect(OpenPopup(h)->GetHwnd(), &pr);
    GetWindowRect(h, &wr);
    EXPECT_EQ(pr.left, wr.left + file.left);
    EXPECT_EQ(pr.top, wr.top + file.bottom);

    // The open menu follows the mouse along the bar.
    MoveTo(h, Middle(edit));
    EXPECT_EQ(OpenText(h), "&Edit");
    EXPECT_EQ(OpenPopup(h)->Model().GetCount(), 1);
    // A click on the open item closes its menu and leaves it hot.
    Click(h, Middle(edit));
    EXPECT_EQ(OpenPopup(h), nullptr);
    EXPECT_EQ(Bar(h).GetHotItem(), Item(h, "&Edit"));

    // A command of the bar itself is sent on the press; a command of a menu when chosen.
    Click(h, Middle(ItemRect(h, "&Go")));
    EXPECT_EQ(Frames().commands, (std::vector<WPARAM>{ID_GO}));
    Click(h, Middle(file));
    CSkinPopupMenu* popup = OpenPopup(h);
    ASSERT_NE(popup, nullptr);
    POINT row = Middle(popup->GetRowRect(2));
    ClientToScreen(popup->GetHwnd(), &row);
    WinTestClick(nullptr, WINTEST_LEFT, row.x, row.y);
    WinTestPumpUntilIdle();
    EXPECT_EQ(Frames().commands, (std::vector<WPARAM>{ID_GO, ID_EXIT}));
    EXPECT_EQ(OpenPopup(h), nullptr);

    // A grayed menu neither opens nor shows hot; a click in the client area closes an open one.
    Click(h, Middle(ItemRect(h, "&Tools")));
    EXPECT_EQ(OpenPopup(h), nullptr);
    Click(h, Middle(file));
    ASSERT_NE(OpenPopup(h), nullptr);
    Click(h, {60, 150});
    EXPECT_EQ(OpenPopup(h), nullptr);
    EXPECT_EQ(Bar(h).GetOpenItem(), nullptr);
}

TEST_F(FrameSkinTest, AltWithALetterOpensItsMenuArrowsMoveAlongTheBarAndEscapeCloses)
{
    HWND h = SkinnedFrame();
    AltKey('E');
    EXPECT_EQ(OpenText(h), "&Edit");
    // Keys go to the open menu: down selects, Enter chooses.
    Key(VK_DOWN);
    Key(VK_RETURN);
    EXPECT_EQ(Frames().commands, (std::vector<WPARAM>{ID_COPY}));
    EXPECT_EQ(OpenPopup(h), nullptr);

    AltKey('f');
    EXPECT_EQ(OpenText(h), "&File");
    // Right passes over the command and the grayed menu; from the last it wraps to the first.
    Key(VK_RIGHT);
    EXPECT_EQ(OpenText(h), "&Edit");
    Key(VK_RIGHT);
    EXPECT_EQ(OpenText(h), "&Help");
    Key(VK_RIGHT);
    EXPECT_EQ(OpenText(h), "&File");
    Key(VK_LEFT);
    EXPECT_EQ(OpenText(h), "&Help");
    EXPECT_TRUE(Frames().commands.size() == 1) << "an arrow carried out a command";
    Key(VK_ESCAPE);
    EXPECT_EQ(OpenPopup(h), nullptr);
    EXPECT_EQ(Bar(h).GetOpenItem(), nullptr);

    // Alt with a letter no item has goes on to the frame; one of a grayed menu does nothing.
    Frames().sysKeys.clear();
    AltKey('Z');
    EXPECT_EQ(Frames().sysKeys, (std::vector<WPARAM>{'Z'}));
    AltKey('T');
    EXPECT_EQ(OpenPopup(h), nullptr);
    // F10 is swallowed, and Alt alone closes an open menu.
    AltKey('H');
    ASSERT_EQ(OpenText(h), "&Help");
    WinTestKey(VK_MENU, TRUE);
    WinTestKey(VK_MENU, FALSE);
    WinTestPumpUntilIdle();
    EXPECT_EQ(OpenPopup(h), nullptr);
}

TEST_F(FrameSkinTest, AMenuOfSeparatorsOnlyGivesAnEmptyBarThatKeysPassOver)
{
    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    HWND h = SkinnedFrame(kSizable, menu);
    EXPECT_EQ(Bar(h).GetItemCount(), 0);
    const RECT b = BarRect(h);
    EXPECT_EQ(b.bottom, b.top);
    RECT client, wr;
    GetClientRect(h, &client);
    GetWindowRect(h, &wr);
    EXPECT_EQ(client.bottom, wr.bottom - wr.top - kCaption - kBottom);
    EXPECT_EQ(SendMessageA(h, WM_SKIN_MENUKEY, VK_RIGHT, 0), 1);
    EXPECT_EQ(SendMessageA(h, WM_SKIN_MENUKEY, 'X', 1 << 29), 0);
    EXPECT_EQ(OpenPopup(h), nullptr);
}

TEST_F(FrameSkinTest, AMenuTheApplicationSetsLaterGoesIntoTheBarAndRemovalGivesTheMenuBack)
{
    HMENU first = AppMenu();
    HWND h = SkinnedFrame(kSizable, first);
    HMENU second = CreateMenu();
    AppendMenuA(second, MF_STRING, 77, "&Only");
    SetMenu(h, second);
    RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    WinTestPumpUntilIdle();
    EXPECT_EQ(GetMenu(h), nullptr);
    EXPECT_EQ(FrameSkin(h)->GetMenu(), second);
    EXPECT_EQ(Bar(h).GetItemCount(), 1);
    // Through the skin, invalid menus are refused.
    EXPECT_FALSE(FrameSkin(h)->SetMenu(nullptr));
    EXPECT_TRUE(FrameSkin(h)->SetMenu(first));
    EXPECT_EQ(Bar(h).GetItemCount(), 5);
    DestroyMenu(second);

    RECT wr, client;
    GetWindowRect(h, &wr);
    ASSERT_TRUE(RemoveWindowSkin(h));
    WinTestPumpUntilIdle();
    EXPECT_EQ(GetMenu(h), first);
    EXPECT_EQ(SkinOf(h), nullptr);
    RECT after;
    GetWindowRect(h, &after);
    EXPECT_TRUE(EqualRect(&after, &wr));
    GetClientRect(h, &client);
    EXPECT_GT(client.right, 0);
    // Skinned again and destroyed: the menu goes with the window.
    ASSERT_TRUE(SetWindowSkin(h, "FrameWnd"));
    WinTestPumpUntilIdle();
    DestroyWindow(h);
    WinTestPumpUntilIdle();
    EXPECT_FALSE(IsMenu(first));
}

TEST_F(FrameSkinTest, TheMdiClientIsPaintedFromTheFramesObject)
{
    HWND h = Frame(kSizable, nullptr);
    CLIENTCREATESTRUCT ccs{nullptr, 100};
    HWND client = CreateWindowExA(0, "MDICLIENT", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 120, h, nullptr,
                                  GetModuleHandleA(nullptr), &ccs);
    ASSERT_NE(client, nullptr);
    ASSERT_TRUE(SetWindowSkin(h, "FrameWnd"));
    WinTestActivate(h);
    WinTestPumpUntilIdle();
    CSkinWindow* clientSkin = SkinOf(client);
    ASSERT_NE(clientSkin, nullptr);
    EXPECT_TRUE(clientSkin->IsMdiClient());
    EXPECT_EQ(FrameSkin(h)->GetMdiClient(), client);
    const RECT in = ClientRectIn(client, h);
    EXPECT_EQ(PainterAt(h, {in.left + 5, in.top + 5}), "FrameWnd.mdiClientBackground");
    BOOL maximised = TRUE;
    EXPECT_EQ(FrameSkin(h)->GetActiveMdiChild(&maximised), nullptr);
    EXPECT_FALSE(maximised);
    ASSERT_TRUE(RemoveWindowSkin(h));
    EXPECT_EQ(SkinOf(client), nullptr);
}

TEST_F(FrameSkinTest, AMaximisedSkinnedMdiChildPutsItsButtonsIntoTheBarAndItsCloseButtonClosesIt)
{
    HWND h = SkinnedFrame();
    HWND client = AddMdiClient(h);
    ASSERT_EQ(FrameSkin(h)->GetMdiClient(), client);
    const int plainHeight = BarRect(h).bottom - BarRect(h).top;
    HWND child = AddSkinnedMdiChild(client);
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(FrameSkin(child)->IsMdiChild());
    EXPECT_EQ(DWORD(SendMessageA(child, WM_SKIN_ATTACHSTYLE, 0, 0)) & WS_SYSMENU, DWORD(WS_SYSMENU));
    EXPECT_FALSE(Bar(h).HasMdiButtons());

    MaximiseMdiChild(h, client, child);
    ASSERT_TRUE(IsZoomed(child));
    // The child's frame lies outside the MDI client: its client area covers the client's.
    RECT childClient = ClientRectIn(child, client), clientRect;
    GetClientRect(client, &clientRect);
    EXPECT_TRUE(EqualRect(&childClient, &clientRect));
    ASSERT_TRUE(Bar(h).HasMdiButtons());
    const RECT close = BarButtonRect(h, CSkinMenuBar::BUTTON_CLOSE);
    const RECT b = BarRect(h);
    EXPECT_EQ(close.right, b.right - kBarMargins.right);
    EXPECT_GE(b.bottom - b.top, plainHeight);
    EXPECT_EQ(PainterAt(h, Middle(close)).find("FrameWnd.menuBar.buttons[3]"), 0u) << PainterAt(h, Middle(close));

    Click(h, Middle(close));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(Bar(h).HasMdiButtons());
}

TEST_F(FrameSkinTest, TheMdiChildsBarButtonsOpenItsSystemMenuMinimiseAndRestoreIt)
{
    HWND h = SkinnedFrame();
    HWND child = MaximisedMdiChild(h);
    HWND client = GetParent(child);
    const RECT sys = BarButtonRect(h, CSkinMenuBar::BUTTON_SYSMENU);
    EXPECT_EQ(PainterAt(h, Middle(sys)).find("FrameWnd.menuBar.buttons[0]"), 0u) << PainterAt(h, Middle(sys));

    // The system button opens the child's system menu as a skinned popup, as a maximised
    // window's: Restore offered, Move and Size not; what is chosen there reaches the child.
    UINT restoreState = 0, moveState = 0;
    bool skinned = false;
    std::vector<WinTestIdleScript::Step> steps = {[&](int, HWND) {
        HWND popup = FindWindowA("QuorventaPopupMenuWnd", nullptr);
        auto* menu = popup && IsWindowVisible(popup) ? static_cast<CSkinPopupMenu*>(GetPropA(popup, "this")) : nullptr;
        if (!menu)
            return;
        skinned = true;
        for (int i = 0; i < menu->Model().GetCount(); ++i) {
            const CSkinMenuEntry* e = menu->Model().GetEntry(i);
            if (e->m_nId == SC_RESTORE) {
                restoreState = e->m_nState;
                POINT row = Middle(menu->GetRowRect(i));
                ClientToScreen(popup, &row);
                WinTestClick(nullptr, WINTEST_LEFT, row.x, row.y);
            } else if (e->m_nId == SC_MOVE) {
                moveState = e->m_nState;
            }
        }
    }};
    {
        WinTestIdleScript script(std::move(steps));
        Click(h, Middle(sys));
    }
    WinTestPumpUntilIdle();
    EXPECT_TRUE(skinned);
    EXPECT_EQ(restoreState & (MF_GRAYED | MF_DISABLED), 0u);
    EXPECT_NE(moveState & (MF_GRAYED | MF_DISABLED), 0u);
    EXPECT_FALSE(IsZoomed(child));
    EXPECT_FALSE(Bar(h).HasMdiButtons());

    // Restore restores, minimise minimises; either way the buttons leave the bar.
    for (const int button : {CSkinMenuBar::BUTTON_RESTORE, CSkinMenuBar::BUTTON_MINIMIZE}) {
        MaximiseMdiChild(h, client, child);
        ASSERT_TRUE(IsZoomed(child));
        Click(h, Middle(BarButtonRect(h, button)));
        EXPECT_FALSE(IsZoomed(child)) << button;
        EXPECT_EQ(IsIconic(child) != FALSE, button == CSkinMenuBar::BUTTON_MINIMIZE) << button;
        EXPECT_FALSE(Bar(h).HasMdiButtons()) << button;
    }
}

TEST_F(FrameSkinTest, FrameBarPopupAndMdiSkinsComeOffWithoutLeavingAnythingBehind)
{
    HMENU menu = AppMenu();
    HWND h = Frame(kSizable, menu);
    WinTestActivate(h);
    WinTestPumpUntilIdle();
    const WinTestLiveCounts unskinned = WinTestLiveCounts::Now();
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(SetWindowSkin(h, "FrameWnd"));
        WinTestPumpUntilIdle();
        // Hot tracking and an open menu of the bar while the skin goes.
        Click(h, Middle(ItemRect(h, "&File")));
        ASSERT_NE(OpenPopup(h), nullptr);
        MoveTo(h, Middle(ItemRect(h, "&Edit")));
        ASSERT_TRUE(RemoveWindowSkin(h));
        WinTestPumpUntilIdle();
        EXPECT_EQ(GetMenu(h), menu);
        const WinTestLiveCounts now = WinTestLiveCounts::Now();
        EXPECT_EQ(now, unskinned) << now.ChangesFrom(unskinned);
        WinTestAdvanceClock(GetDoubleClickTime() + 1);  // the next round's click is a click of its own
    }
    // A skinned MDI child and the MDI client's skin go with the frame's.
    ASSERT_TRUE(SetWindowSkin(h, "FrameWnd"));
    HWND client = AddMdiClient(h);
    ASSERT_TRUE(RemoveWindowSkin(h));
    WinTestPumpUntilIdle();
    const WinTestLiveCounts withClient = WinTestLiveCounts::Now();
    ASSERT_TRUE(SetWindowSkin(h, "FrameWnd"));
    HWND child = AddSkinnedMdiChild(client);
    MaximiseMdiChild(h, client, child);
    ASSERT_TRUE(Bar(h).HasMdiButtons());
    SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
    ASSERT_TRUE(RemoveWindowSkin(h));
    WinTestPumpUntilIdle();
    EXPECT_EQ(CSkinManager::Instance().FindSkinWindow(client), nullptr);
    const WinTestLiveCounts now = WinTestLiveCounts::Now();
    EXPECT_EQ(now, withClient) << now.ChangesFrom(withClient);
}

// A framework frame with a message map, made from a menu resource.
class CommandFrame : public CFrameWnd {
public:
    std::vector<UINT> handled;

protected:
    afx_msg void OnOpen() { handled.push_back(ID_OPEN); }
    afx_msg void OnAbout() { handled.push_back(ID_ABOUT); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CommandFrame, CFrameWnd)
ON_COMMAND(ID_OPEN, OnOpen)
ON_COMMAND(ID_ABOUT, OnAbout)
END_MESSAGE_MAP()

TEST_F(FrameSkinTest, AFrameworkFramesMenuOpensFromTheSkinnedBarAndItsCommandsReachTheFramesHandlers)
{
    namespace m = menures;
    m::MenuResource res(300, {m::Popup("&File", {m::Item("&Open", ID_OPEN), m::Separator(), m::Item("E&xit", ID_EXIT)}),
                              m::Popup("&Help", {m::Item("&About", ID_ABOUT)})});
    auto* frame = new CommandFrame;
    ASSERT_TRUE(frame->Create(nullptr, "Framework frame", kSizable, CRect(30, 30, 330, 230), nullptr, res.Name()));
    HWND h = frame->GetSafeHwnd();
    windows.push_back(h);
    ASSERT_TRUE(SetWindowSkin(h, "FrameWnd")) << GetSkinLastError();
    WinTestActivate(h);
    WinTestPumpUntilIdle();
    EXPECT_EQ(FrameSkin(h)->GetMenu(), frame->m_hMenuDefault);
    ASSERT_EQ(Bar(h).GetItemCount(), 2);

    AltKey('F');
    ASSERT_EQ(OpenText(h), "&File");
    Key(VK_DOWN);
    Key(VK_RETURN);
    EXPECT_EQ(frame->handled, (std::vector<UINT>{ID_OPEN}));

    Click(h, Middle(ItemRect(h, "&Help")));
    CSkinPopupMenu* popup = OpenPopup(h);
    ASSERT_NE(popup, nullptr);
    POINT row = Middle(popup->GetRowRect(0));
    ClientToScreen(popup->GetHwnd(), &row);
    WinTestClick(nullptr, WINTEST_LEFT, row.x, row.y);
    WinTestPumpUntilIdle();
    EXPECT_EQ(frame->handled, (std::vector<UINT>{ID_OPEN, ID_ABOUT}));

    // Closed while skinned: window, menu and frame object go, and nothing is left behind.
    HMENU menu = frame->m_hMenuDefault;
    SendMessageA(h, WM_CLOSE, 0, 0);
    WinTestPumpUntilIdle();
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(IsMenu(menu));
}

}  // namespace
