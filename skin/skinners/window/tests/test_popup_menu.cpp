// The skinned popup menu: keys and mouse, the submenu delay and scrolling on the layer's clock,
// placement in the work area, the ends of the menu loop, and its looks in the flat skin.
#include "SkinPopupMenu.h"
#include "SystemMenu.h"
#include "window_test_support.h"

using namespace wintest;

namespace {

// Frame of the test PopupMenu object: left 3, right 5, top 2, bottom 4.
constexpr int kPL = 3, kPR = 5, kPT = 2, kPB = 4;
// Far apart, so text ink is told from ink of the other states though antialiasing blends it.
constexpr COLORREF kNormalText = RGB(20, 60, 160), kSelectedText = RGB(160, 20, 60), kDisabledText = RGB(60, 160, 20);

std::unique_ptr<CSkinPopupMenuObject> PopupObject()
{
    auto o = std::make_unique<CSkinPopupMenuObject>();
    o->SetName("PopupMenu");
    const int W = 60, H = 40;
    const RECT rects[9] = {{0, 0, kPL, kPT},      {kPL, 0, W - kPR, kPT},      {W - kPR, 0, W, kPT},
                           {0, kPT, kPL, H - kPB}, {kPL, kPT, W - kPR, H - kPB}, {W - kPR, kPT, W, H - kPB},
                           {0, H - kPB, kPL, H},  {kPL, H - kPB, W - kPR, H},  {W - kPR, H - kPB, W, H}};
    for (int i = 0; i < 9; ++i)
        o->m_frameRects[i] = rects[i];
    o->m_rc = {0, 0, W, H};
    o->m_crText = kNormalText;
    o->m_values[0] = kSelectedText;
    o->m_values[1] = kDisabledText;
    o->m_rects[0] = {2, 1, 2, 1};
    return o;
}

enum : UINT { ID_OPEN = 101, ID_SAVE = 102, ID_EXIT = 103, ID_SUB1 = 201, ID_SUB2 = 202 };

class PopupMenuTest : public WindowSkinTest {
protected:
    void AddObjects(std::vector<std::unique_ptr<CSkinObject>>& objects) override
    {
        objects.push_back(PopupObject());
    }
    void SetUp() override
    {
        WindowSkinTest::SetUp();
        owner = SkinnedDialog();
    }
    void TearDown() override
    {
        for (HMENU m : menus)
            DestroyMenu(m);
        WindowSkinTest::TearDown();
    }
    HMENU Menu()
    {
        HMENU m = CreatePopupMenu();
        menus.push_back(m);
        return m;
    }
    // Open, a separator, Save (grayed), Exit, and More with a submenu of two.
    HMENU FileMenu()
    {
        HMENU m = Menu();
        AppendMenuA(m, MF_STRING, ID_OPEN, "&Open\tCtrl+O");
        AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(m, MF_STRING | MF_GRAYED, ID_SAVE, "&Save");
        AppendMenuA(m, MF_STRING | MF_CHECKED, ID_EXIT, "E&xit");
        HMENU sub = CreatePopupMenu();
        AppendMenuA(sub, MF_STRING, ID_SUB1, "&First");
        AppendMenuA(sub, MF_STRING, ID_SUB2, "Se&cond");
        AppendMenuA(m, MF_POPUP, UINT_PTR(sub), "&More");
        return m;
    }
    // Entries "Entry 0" ... with the commands 300 on.
    HMENU NumberedMenu(int count)
    {
        HMENU m = Menu();
        for (int i = 0; i < count; ++i)
            AppendMenuA(m, MF_STRING, 300 + i, ("Entry " + std::to_string(i)).c_str());
        return m;
    }
    // One monitor of the screen's size whose work area is its top `height` pixels; the
    // monitor, to put the whole screen back with.
    static RECT LimitWorkArea(int height)
    {
        int sw = 0, sh = 0;
        WinTestGetScreenSize(&sw, &sh);
        const RECT monitor = {0, 0, sw, sh}, work = {0, 0, sw, height};
        EXPECT_TRUE(WinTestSetMonitors(&monitor, &work, 1));
        return monitor;
    }
    // The visible popups, the root first.
    static std::vector<CSkinPopupMenu*> Popups()
    {
        std::vector<CSkinPopupMenu*> found;
        EnumWindows(
            [](HWND h, LPARAM p) {
                char name[64] = {};
                GetClassNameA(h, name, sizeof name);
                if (std::string(name) == "QuorventaPopupMenuWnd" && IsWindowVisible(h))
                    reinterpret_cast<std::vector<CSkinPopupMenu*>*>(p)->push_back(
                        static_cast<CSkinPopupMenu*>(GetPropA(h, "this")));
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        std::sort(found.begin(), found.end(), [](CSkinPopupMenu* a, CSkinPopupMenu* b) {
            return a->GetRootMenu() == a && b->GetRootMenu() != b;
        });
        return found;
    }
    static CSkinPopupMenu* Root()
    {
        auto p = Popups();
        return p.empty() ? nullptr : p.front();
    }
    // A client point of a popup on the screen.
    static POINT ScreenOf(CSkinPopupMenu* p, POINT client)
    {
        ClientToScreen(p->GetHwnd(), &client);
        return client;
    }
    static void HoverRow(CSkinPopupMenu* p, int index)
    {
        const RECT r = p->GetRowRect(index);
        const POINT s = ScreenOf(p, Middle(r));
        WinTestMouseMove(nullptr, s.x, s.y);
    }
    // Moves the clock on; the loop wakes up whether or not a timer came due.
    void Wait(DWORD ms)
    {
        WinTestAdvanceClock(ms);
        PostMessageA(owner, WM_NULL, 0, 0);
    }
    static void ClickAt(POINT screen) { WinTestClick(nullptr, WINTEST_LEFT, screen.x, screen.y); }
    int Track(HMENU m, UINT flags = TPM_RETURNCMD, int x = 100, int y = 100)
    {
        return TrackSkinPopupMenu(m, flags, x, y, owner);
    }
    // Steps that press keys, one key per idle turn.
    static std::vector<WinTestIdleScript::Step> Keys(std::initializer_list<UINT> keys)
    {
        std::vector<WinTestIdleScript::Step> steps;
        for (UINT k : keys)
            steps.push_back([k](int, HWND) { WinTestKeyPress(k); });
        return steps;
    }

    HWND owner = nullptr;
    std::vector<HMENU> menus;
};

TEST_F(PopupMenuTest, KeysSkipSeparatorsStopOnDisabledEntriesAndChooseWithEnterOrMnemonics)
{
    HMENU m = FileMenu();
    {
        // Down: Open; Down: Save (grayed, Enter does nothing); Down: Exit; Enter.
        WinTestIdleScript script(Keys({VK_DOWN, VK_DOWN, VK_RETURN, VK_DOWN, VK_RETURN}));
        EXPECT_EQ(Track(m), int(ID_EXIT));
        EXPECT_EQ(script.Overruns(), 0);
    }
    {
        // Up from nothing wraps to the last entry, Down from it to the first.
        std::vector<int> seen;
        auto steps = Keys({VK_UP});
        steps.push_back([&](int, HWND) { seen.push_back(Root()->GetSelected()); WinTestKeyPress(VK_DOWN); });
        steps.push_back([&](int, HWND) { seen.push_back(Root()->GetSelected()); WinTestKeyPress('O'); });
        WinTestIdleScript script(std::move(steps));
        EXPECT_EQ(Track(m), int(ID_OPEN));
        EXPECT_EQ(seen, (std::vector<int>{4, 0}));
    }
    {
        // A grayed entry's letter chooses nothing; Escape in the root ends with nothing.
        WinTestIdleScript script(Keys({'S', VK_ESCAPE}));
        EXPECT_EQ(Track(m), 0);
        EXPECT_EQ(script.Overruns(), 0);
    }
    // Without TPM_RETURNCMD the command reaches the owner as WM_COMMAND.
    {
        WinTestIdleScript script(Keys({'X'}));
        EXPECT_EQ(Track(m, 0), 1);
        WinTestPumpUntilIdle();
        EXPECT_EQ(Log().commands, std::vector<WPARAM>{ID_EXIT});
    }
    EXPECT_TRUE(Popups().empty());
}

TEST_F(PopupMenuTest, AMenuOfSeparatorsOnlyTakesArrowKeysWithoutHanging)
{
    HMENU m = Menu();
    for (int i = 0; i < 3; ++i)
        AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
    int selected = 0;
    auto steps = Keys({VK_DOWN, VK_UP});
    steps.push_back([&](int, HWND) { selected = Root()->GetSelected(); WinTestKeyPress(VK_RETURN); });
    steps.push_back([](int, HWND) { WinTestKeyPress(VK_ESCAPE); });
    WinTestIdleScript script(std::move(steps));
    EXPECT_EQ(Track(m), 0);
    EXPECT_EQ(selected, -1);
    EXPECT_EQ(script.Overruns(), 0);
}

TEST_F(PopupMenuTest, TheMouseHighlightsRowsAndAClickChoosesOnlyWhatCanBeChosen)
{
    HMENU m = FileMenu();
    std::string selectedLook, frameLook;
    int separatorSelection = 0;
    std::vector<WinTestIdleScript::Step> steps = {
        [&](int, HWND) { HoverRow(Root(), 1); },  // the separator
        [&](int, HWND) {
            separatorSelection = Root()->GetSelected();
            ClickAt(ScreenOf(Root(), Middle(Root()->GetRowRect(1))));
        },
        [&](int, HWND) { ClickAt(ScreenOf(Root(), Middle(Root()->GetRowRect(2)))); },  // grayed
        [&](int, HWND) { ClickAt(ScreenOf(Root(), Middle(Root()->GetRowRect(4)))); },  // a submenu
        [&](int, HWND) { HoverRow(Root(), 0); },
        [&](int, HWND) {
            CSkinPopupMenu* p = Root();
            const CPicture pic = CPicture::OfWindow(p->GetHwnd());
            const RECT row = p->GetRowRect(0);
            // Client (kPL, kPT) is window (kPL, kPT): the frame is the skin's.
            selectedLook = Painter(pic, {kPL + row.right - 2, kPT + row.top + 1}, *skin);
            frameLook = Painter(pic, {1, kPT + row.top + 1}, *skin);
            ClickAt(ScreenOf(p, Middle(row)));
        },
    };
    WinTestIdleScript script(std::move(steps));
    EXPECT_EQ(Track(m), int(ID_OPEN));
    EXPECT_EQ(separatorSelection, -1);
    EXPECT_EQ(selectedLook.rfind("PopupMenu.grids[0]", 0), 0u) << selectedLook;
    EXPECT_EQ(frameLook, "PopupMenu.parts[3]");
    EXPECT_EQ(script.Overruns(), 0);
}

TEST_F(PopupMenuTest, TextColoursFollowTheStateAndChecksAndArrowsAreDrawn)
{
    HMENU m = FileMenu();
    int normal = 0, disabled = 0, selected = 0, checkMark = 0, arrow = 0;
    std::vector<WinTestIdleScript::Step> steps = {
        [&](int, HWND) { WinTestKeyPress(VK_DOWN); },
        [&](int, HWND) {
            CSkinPopupMenu* p = Root();
            const CPicture pic = CPicture::OfWindow(p->GetHwnd());
            auto inWindow = [](RECT r) { OffsetRect(&r, kPL, kPT); return r; };
            const RECT open = inWindow(p->GetRowRect(0)), save = inWindow(p->GetRowRect(2));
            const RECT exit = inWindow(p->GetRowRect(3)), more = inWindow(p->GetRowRect(4));
            selected = pic.CountNear(open, kSelectedText);
            disabled = pic.CountNear(save, kDisabledText);
            normal = pic.CountNear(exit, kNormalText);
            const int h = p->GetRowHeight();
            // The check column of Exit and the arrow column of More.
            const RECT check = {exit.left + 2, exit.top, exit.left + 2 + h, exit.bottom};
            const RECT arrowColumn = {more.right - 2 - h, more.top, more.right - 2, more.bottom};
            checkMark = pic.Count(check, RGB(0, 0, 0)) + pic.Count(check, skin->ColorOf("PopupMenu.image1"));
            arrow = pic.Count(arrowColumn, skin->ColorOf("PopupMenu.image2"));
            WinTestKeyPress(VK_ESCAPE);
        },
    };
    WinTestIdleScript script(std::move(steps));
    EXPECT_EQ(Track(m), 0);
    EXPECT_GT(selected, 0);
    EXPECT_GT(disabled, 0);
    EXPECT_GT(normal, 0);
    EXPECT_GT(checkMark, 0);
    EXPECT_GT(arrow, 0);
}

TEST_F(PopupMenuTest, ARightToLeftOwnersMenuOpensLeftwardsAndShowsItsRowsMirrored)
{
    SetWindowLongA(owner, GWL_EXSTYLE, GetWindowLongA(owner, GWL_EXSTYLE) | WS_EX_LAYOUTRTL);
    HMENU m = FileMenu();
    RECT placed{}, sub{}, moreOnScreen{};
    int textRight = 0, textLeft = 0, checkRight = 0, checkLeft = 0, arrowLeft = 0, arrowRight = 0;
    std::vector<WinTestIdleScript::Step> steps = {
        [&](int, HWND) {
            CSkinPopupMenu* p = Root();
            GetWindowRect(p->GetHwnd(), &placed);
            const CPicture pic = CPicture::OfWindow(p->GetHwnd());
            // Mirrored, the client area starts after the right border's width.
            auto inWindow = [](RECT r) { OffsetRect(&r, kPR, kPT); return r; };
            const RECT exit = inWindow(p->GetRowRect(3)), more = inWindow(p->GetRowRect(4));
            const int h = p->GetRowHeight(), mid = (exit.left + exit.right) / 2;
            textRight = pic.Count(RECT{mid, exit.top, exit.right - 2 - h, exit.bottom}, kNormalText);
            textLeft = pic.Count(RECT{exit.left, exit.top, mid, exit.bottom}, kNormalText);
            const RECT atRight = {exit.right - 2 - h, exit.top, exit.right - 2, exit.bottom};
            const RECT atLeft = {exit.left + 2, exit.top, exit.left + 2 + h, exit.bottom};
            checkRight = pic.Count(atRight, RGB(0, 0, 0)) + pic.Count(atRight, skin->ColorOf("PopupMenu.image1"));
            checkLeft = pic.Count(atLeft, RGB(0, 0, 0)) + pic.Count(atLeft, skin->ColorOf("PopupMenu.image1"));
            const COLORREF arrow = skin->ColorOf("PopupMenu.image2");
            arrowLeft = pic.Count(RECT{more.left + 2, more.top, more.left + 2 + h, more.bottom}, arrow);
            arrowRight = pic.Count(RECT{more.right - 2 - h, more.top, more.right - 2, more.bottom}, arrow);
            const RECT row = p->GetRowRect(4);
            moreOnScreen = RECT{ScreenOf(p, {row.left, row.top}).x, 0, 0, 0};
            HoverRow(p, 4);
        },
        [&](int, HWND) { Wait(CSkinPopupMenu::kSubmenuDelay); },
        [&](int, HWND) {
            auto popups = Popups();
            if (popups.size() == 2)
                GetWindowRect(popups[1]->GetHwnd(), &sub);
            WinTestKeyPress(VK_ESCAPE);
        },
        [&](int, HWND) { WinTestKeyPress(VK_ESCAPE); },
    };
    WinTestIdleScript script(std::move(steps));
    EXPECT_EQ(Track(m, TPM_RETURNCMD, 300, 100), 0);
    EXPECT_EQ(placed.right, 300);
    EXPECT_GT(textRight, 0);
    EXPECT_EQ(textLeft, 0);
    EXPECT_GT(checkRight, 0);
    EXPECT_EQ(checkLeft, 0);
    EXPECT_GT(arrowLeft, 0);
    EXPECT_EQ(arrowRight, 0);
    // The submenu ends where the row begins on the left.
    EXPECT_EQ(sub.right, moreOnScreen.left);
}

TEST_F(PopupMenuTest, ASubmenuOpensAfterItsDelayAndEscapeClosesOnlyIt)
{
    HMENU m = FileMenu();
    size_t at499 = 9, at500 = 9, afterEscape = 9;
    std::vector<WinTestIdleScript::Step> steps = {
        [&](int, HWND) { HoverRow(Root(), 4); },
        [&](int, HWND) { Wait(CSkinPopupMenu::kSubmenuDelay - 1); },
        [&](int, HWND) { at499 = Popups().size(); Wait(1); },
        [&](int, HWND) { at500 = Popups().size(); WinTestKeyPress(VK_ESCAPE); },
        [&](int, HWND) { afterEscape = Popups().size(); WinTestKeyPress(VK_RIGHT); },
        // Right opened it again: Down and Enter choose in the submenu.
        [&](int, HWND) { WinTestKeyPress(VK_DOWN); },
        [&](int, HWND) { WinTestKeyPress(VK_DOWN); },
        [&](int, HWND) { WinTestKeyPress(VK_RETURN); },
    };
    WinTestIdleScript script(std::move(steps));
    EXPECT_EQ(Track(m), int(ID_SUB2));
    EXPECT_EQ(at499, 1u);
    EXPECT_EQ(at500, 2u);
    EXPECT_EQ(afterEscape, 1u);
    EXPECT_EQ(script.Overruns(), 0);
}

TEST_F(PopupMenuTest, AClickInASubmenuChoosesAndMovingToAnotherRowClosesIt)
{
    HMENU m = FileMenu();
    size_t afterMove = 9;
    std::vector<WinTestIdleScript::Step> steps = {
        [&](int, HWND) { HoverRow(Root(), 4); },
        [&](int, HWND) { Wait(CSkinPopupMenu::kSubmenuDelay); },
        [&](int, HWND) { HoverRow(Root(), 0); },
        [&](int, HWND) { afterMove = Popups().size(); HoverRow(Root(), 4); },
        [&](int, HWND) { Wait(CSkinPopupMenu::kSubmenuDelay); },
        [&](int, HWND) {
            CSkinPopupMenu* sub = Popups().back();
            ClickAt(ScreenOf(sub, Middle(sub->GetRowRect(0))));
        },
    };
    WinTestIdleScript script(std::move(steps));
    EXPECT_EQ(Track(m), int(ID_SUB1));
    EXPECT_EQ(afterMove, 1u);
}

TEST_F(PopupMenuTest, AClickOutsideEndsTheMenuAndReachesTheWindowUnderIt)
{
    HMENU m = FileMenu();
    std::vector<WinTestIdleScript::Step> steps = {
        [&](int, HWND) { ClickAt(POINT{5, 5}); },
    };
    WinTestIdleScript script(std::move(steps));
    std::vector<UINT> seen;
    EXPECT_EQ(Track(m, TPM_RETURNCMD, 300, 300), 0);
    EXPECT_TRUE(Popups().empty());
    // The owner's window is active again for the next click: nothing holds the mouse.
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(PopupMenuTest, ATallMenuFillsTheWorkAreaAndScrollsOneRowPerClickUpToItsEnds)
{
    const RECT monitor = LimitWorkArea(200);
    HMENU m = NumberedMenu(30);
    RECT placed{};
    bool scrolling = false;
    int rows = 0, rowHeight = 0;
    std::vector<int> firsts;
    std::vector<WinTestIdleScript::Step> steps = {[&](int, HWND) {
        CSkinPopupMenu* p = Root();
        GetWindowRect(p->GetHwnd(), &placed);
        scrolling = p->IsScrolling();
        rows = p->GetVisibleRows();
        rowHeight = p->GetRowHeight();
        firsts.push_back(p->GetFirstVisible());
        ClickAt(ScreenOf(p, Middle(p->GetScrollUpRect())));
    }};
    auto clickDown = [&](int, HWND) {
        CSkinPopupMenu* p = Root();
        firsts.push_back(p->GetFirstVisible());
        ClickAt(ScreenOf(p, Middle(p->GetScrollDownRect())));
    };
    for (int i = 0; i < 30; ++i)
        steps.push_back(clickDown);
    steps.push_back([&](int, HWND) {
        firsts.push_back(Root()->GetFirstVisible());
        WinTestKeyPress(VK_ESCAPE);
    });
    WinTestIdleScript script(std::move(steps));
    EXPECT_EQ(Track(m, TPM_RETURNCMD, 50, 150), 0);
    WinTestSetMonitors(&monitor, nullptr, 1);
    EXPECT_EQ(placed.top, 0);
    EXPECT_EQ(placed.bottom, 200);
    ASSERT_TRUE(scrolling);
    ASSERT_GT(rowHeight, 0);
    const int client = 200 - kPT - kPB;
    int expected = client / rowHeight;
    if (client - expected * rowHeight < CSkinPopupMenu::kMinRowRemainder)
        --expected;
    EXPECT_EQ(rows, expected);
    // Up at the top stays; then one row per click down, stopping at the last page.
    ASSERT_EQ(firsts.size(), 32u);
    EXPECT_EQ(firsts[0], 0);
    EXPECT_EQ(firsts[1], 0);
    for (size_t i = 2; i < firsts.size(); ++i)
        EXPECT_EQ(firsts[i], std::min<int>(int(i) - 1, 30 - rows)) << i;
}

TEST_F(PopupMenuTest, APopupTallerThanItsRowsOrTooSmallForOneStillAnswersSafely)
{
    // Made taller than its rows after it showed: a click under the last row chooses nothing.
    HMENU m = Menu();
    AppendMenuA(m, MF_STRING, ID_OPEN, "&Open");
    AppendMenuA(m, MF_STRING, ID_EXIT, "E&xit");
    int chosenBelow = -1;
    std::vector<WinTestIdleScript::Step> steps = {
        [&](int, HWND) {
            CSkinPopupMenu* p = Root();
            RECT wr;
            GetWindowRect(p->GetHwnd(), &wr);
            MoveWindow(p->GetHwnd(), wr.left, wr.top, wr.right - wr.left, wr.bottom - wr.top + 120, TRUE);
        },
        [&](int, HWND) {
            CSkinPopupMenu* p = Root();
            RECT client;
            GetClientRect(p->GetHwnd(), &client);
            ClickAt(ScreenOf(p, {client.right / 2, client.bottom - 5}));
        },
        [&](int, HWND) {
            chosenBelow = Root() ? 0 : 1;
            WinTestKeyPress(VK_ESCAPE);
        },
    };
    {
        WinTestIdleScript script(std::move(steps));
        EXPECT_EQ(Track(m), 0);
    }
    EXPECT_EQ(chosenBelow, 0);  // the menu was still open after the click

    // A work area lower than a row: one row shows, and the keys still move through the menu.
    const RECT monitor = LimitWorkArea(14);
    HMENU tall = NumberedMenu(5);
    int rows = 0;
    std::vector<WinTestIdleScript::Step> tiny = {
        [&](int, HWND) {
            rows = Root()->GetVisibleRows();
            WinTestKeyPress(VK_DOWN);
        },
        [&](int, HWND) { WinTestKeyPress(VK_DOWN); },
        [&](int, HWND) { WinTestKeyPress(VK_RETURN); },
    };
    WinTestIdleScript script(std::move(tiny));
    EXPECT_EQ(Track(tall, TPM_RETURNCMD, 10, 0), 301);
    WinTestSetMonitors(&monitor, nullptr, 1);
    EXPECT_EQ(rows, 1);
}

// What an owner window of owner-drawn menus is asked to draw.
std::vector<UINT> g_drawnItems;
WNDPROC g_ownerProc = nullptr;
LRESULT CALLBACK DrawingOwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DRAWITEM) {
        g_drawnItems.push_back(reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->itemID);
        return TRUE;
    }
    return CallWindowProcA(g_ownerProc, hwnd, msg, wParam, lParam);
}

TEST_F(PopupMenuTest, AnOwnerDrawnMenuShowsItsRowsInTheSkinsLookAndItsSeparatorsAreSkipped)
{
    // Items as the owner-drawn menu makes them: data instead of text, separators owner-drawn too.
    static char first[] = "first", second[] = "second";
    HMENU m = Menu();
    AppendMenuA(m, MF_OWNERDRAW, 601, first);
    AppendMenuA(m, MF_OWNERDRAW | MF_SEPARATOR, 0, nullptr);
    AppendMenuA(m, MF_OWNERDRAW, 602, second);
    g_drawnItems.clear();
    g_ownerProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DrawingOwnerProc)));
    int count = 0, separators = 0, withText = 0;
    std::string selectedLook;
    std::vector<WinTestIdleScript::Step> steps = {
        [&](int, HWND) { WinTestKeyPress(VK_DOWN); },
        [&](int, HWND) { WinTestKeyPress(VK_DOWN); },
        [&](int, HWND) {
            CSkinPopupMenu* p = Root();
            count = p->Model().GetCount();
            for (int i = 0; i < count; ++i) {
                separators += p->Model().GetEntry(i)->IsSeparator() ? 1 : 0;
                withText += p->Model().GetEntry(i)->m_strText.empty() ? 0 : 1;
            }
            RECT row = p->GetRowRect(2);
            OffsetRect(&row, kPL, kPT);
            selectedLook = Painter(CPicture::OfWindow(p->GetHwnd()), POINT{row.left + 3, row.top + 1}, *skin);
            // A WM_DRAWITEM reaching the popup is the owner's to answer.
            DRAWITEMSTRUCT item{};
            item.CtlType = ODT_MENU;
            item.itemID = 602;
            SendMessageA(p->GetHwnd(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
            WinTestKeyPress(VK_RETURN);
        },
    };
    WinTestIdleScript script(std::move(steps));
    EXPECT_EQ(Track(m), 602);
    SetWindowLongPtrA(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_ownerProc));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(separators, 1);
    EXPECT_EQ(withText, 0);  // the data of an owner-drawn item is no text to show
    EXPECT_EQ(selectedLook.rfind("PopupMenu.grids[0]", 0), 0u) << selectedLook;  // the selected row's look
    EXPECT_EQ(g_drawnItems, std::vector<UINT>{602});
}

TEST_F(PopupMenuTest, TrackedPopupsArePlacedByTheirAlignmentInsideTheWorkArea)
{
    int sw = 0, sh = 0;
    WinTestGetScreenSize(&sw, &sh);
    const RECT monitor = {0, 0, sw, sh}, work = {0, 0, sw, sh - 30};
    ASSERT_TRUE(WinTestSetMonitors(&monitor, &work, 1));
    const SIZE size = {80, 60};
    const RECT plain = CSkinPopupMenu::PlacePopup(100, 100, size, 0, false);
    EXPECT_EQ(plain.left, 100);
    EXPECT_EQ(plain.top, 100);
    const RECT right = CSkinPopupMenu::PlacePopup(100, 100, size, TPM_RIGHTALIGN | TPM_BOTTOMALIGN, false);
    EXPECT_EQ(right.right, 100);
    EXPECT_EQ(right.bottom, 100);
    const RECT centred = CSkinPopupMenu::PlacePopup(100, 100, size, TPM_CENTERALIGN | TPM_VCENTERALIGN, false);
    EXPECT_EQ(centred.left, 60);
    EXPECT_EQ(centred.top, 70);
    const RECT rtl = CSkinPopupMenu::PlacePopup(100, 100, size, 0, true);
    EXPECT_EQ(rtl.right, 100);
    // Near the corner it moves inside, above the task bar.
    const RECT corner = CSkinPopupMenu::PlacePopup(sw - 10, sh - 10, size, 0, false);
    EXPECT_EQ(corner.right, sw);
    EXPECT_EQ(corner.bottom, sh - 30);
    EXPECT_EQ(corner.right - corner.left, 80);
    WinTestSetMonitors(&monitor, nullptr, 1);
}

TEST_F(PopupMenuTest, TheLoopEndsOnAQuitMessageAndKeepsItAndWhenTheOwnerGoes)
{
    HMENU m = FileMenu();
    {
        WinTestIdleScript script({[](int, HWND) { PostQuitMessage(7); }});
        EXPECT_EQ(Track(m), 0);
        MSG msg;
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(msg.wParam, 7u);
    }
    {
        HWND other = SkinnedDialog();
        WinTestIdleScript script({[&](int, HWND) { DestroyWindow(other); }});
        EXPECT_EQ(TrackSkinPopupMenu(m, TPM_RETURNCMD, 100, 100, other), 0);
        EXPECT_EQ(script.Overruns(), 0);
    }
    EXPECT_TRUE(Popups().empty());
}

TEST_F(PopupMenuTest, TheSystemMenuFromTheCaptionButtonIsTheSkinnedPopup)
{
    const POINT sys = Middle(ElementRect(owner, "Sys"));
    bool skinned = false;
    std::vector<WinTestIdleScript::Step> steps = {
        [&](int, HWND) { skinned = Root() != nullptr; WinTestKeyPress(VK_DOWN); },
        [](int, HWND) { WinTestKeyPress(VK_DOWN); },
        [](int, HWND) { WinTestKeyPress(VK_RETURN); },
    };
    WinTestIdleScript script(std::move(steps));
    Click(owner, sys);
    EXPECT_TRUE(skinned);
    // Restore is disabled but stopped at: the second entry, Move, is chosen.
    EXPECT_EQ(Log().sysCommands, std::vector<WPARAM>{SC_MOVE});
    EXPECT_EQ(script.Overruns(), 0);
}

TEST(MenuModel, MnemonicsAndEntries)
{
    EXPECT_EQ(GetMnemonicChar("&Open"), 'O');
    EXPECT_EQ(GetMnemonicChar("E&xit"), 'X');
    EXPECT_EQ(GetMnemonicChar("Fish && Chips"), 0);
    EXPECT_EQ(GetMnemonicChar("A && B &c"), 'C');
    EXPECT_EQ(GetMnemonicChar("trailing&"), 0);
    HMENU m = CreatePopupMenu();
    AppendMenuA(m, MF_STRING | MF_GRAYED, 5, "&Gray");
    AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
    HMENU big = CreatePopupMenu();
    for (int i = 0; i < 9; ++i)
        AppendMenuA(big, MF_STRING, 10 + i, "x");
    AppendMenuA(m, MF_POPUP, UINT_PTR(big), "&Nine");
    CSkinMenuModel model;
    model.LoadMenuItems(m);
    ASSERT_EQ(model.GetCount(), 3);
    EXPECT_FALSE(model.GetEntry(0)->IsSelectable());
    EXPECT_TRUE(model.GetEntry(1)->IsSeparator());
    // Nine items in the state word's count do not make a submenu a separator.
    EXPECT_FALSE(model.GetEntry(2)->IsSeparator());
    EXPECT_EQ(model.GetEntry(2)->m_hSubMenu, big);
    EXPECT_EQ(model.GetEntry(3), nullptr);
    // A copy holds the same items; a menu holding itself is copied to a bounded depth.
    HMENU copy = CopyMenuItems(m);
    EXPECT_EQ(GetMenuItemCount(copy), 3);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(copy, 2)), 9);
    DestroyMenu(copy);
    DestroyMenu(m);
}

}  // namespace
