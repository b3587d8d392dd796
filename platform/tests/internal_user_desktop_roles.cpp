// What the window system tells the desktop about its top levels: which are windows of the
// desktop's manager and which float as popups, who owns whom, where the keyboard goes, and
// that owned windows stay above their owner.
#include <gtest/gtest.h>

#include <string>

#include "backend/backend.h"
#include "backend/headless.h"
#include "user/backend_port.h"
#include "windows.h"

namespace {

LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

HWND Make(DWORD ex, DWORD style, HWND owner = nullptr, const char* cls = "VelmoraDesktopRolesTest") {
    static bool once = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.lpszClassName = "VelmoraDesktopRolesTest";
        return RegisterClassA(&wc) != 0;
    }();
    (void)once;
    return CreateWindowExA(ex, cls, "", style, 10, 10, 200, 150, owner, nullptr, nullptr, nullptr);
}

// The drop-down list on screen.
HWND DroppedList() {
    for (HWND t = GetTopWindow(nullptr); t; t = GetWindow(t, GW_HWNDNEXT)) {
        char cls[32] = {};
        GetClassNameA(t, cls, sizeof cls);
        if (std::string(cls) == "ComboLBox" && IsWindowVisible(t)) return t;
    }
    return nullptr;
}

struct DesktopRoles : ::testing::Test {
    plat::HeadlessBackend* screen = nullptr;
    std::vector<HWND> made;
    void SetUp() override {
        screen = dynamic_cast<plat::HeadlessBackend*>(&plat::CurrentBackend());
        ASSERT_NE(screen, nullptr) << "runs on the headless backend";
    }
    void TearDown() override {
        for (auto it = made.rbegin(); it != made.rend(); ++it)
            if (IsWindow(*it)) DestroyWindow(*it);
    }
    HWND Keep(HWND h) {
        made.push_back(h);
        return h;
    }
    // A shown main window of a class of its own with procedure `proc`.
    HWND KeepMain(WNDPROC proc, const char* cls) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = proc;
        wc.lpszClassName = cls;
        RegisterClassA(&wc);
        return Keep(Make(WS_EX_APPWINDOW, WS_POPUP | WS_VISIBLE, nullptr, cls));
    }
    plat::HeadlessBackend::WindowRecord Record(HWND h) {
        plat::HeadlessBackend::WindowRecord r;
        EXPECT_TRUE(screen->Record(h, &r));
        return r;
    }
    size_t ZIndex(HWND h) {  // bottom to top
        auto v = plat::TopLevelsInZOrder();
        for (size_t i = 0; i < v.size(); ++i)
            if (v[i].hwnd == h) return i;
        ADD_FAILURE() << "not a top level";
        return 0;
    }
};

TEST_F(DesktopRoles, DialogsAndMainWindowsAreManagedOwnedOnesKnowTheirOwnerAndPopupsFloat) {
    HWND main = Keep(Make(WS_EX_APPWINDOW, WS_POPUP | WS_CAPTION | WS_SYSMENU));
    HWND overlapped = Keep(Make(0, WS_OVERLAPPEDWINDOW));
    HWND dialog = Keep(Make(0, WS_POPUP | WS_CAPTION, main));
    HWND bare_dialog = Keep(Make(0, WS_POPUP, main, "#32770"));  // a dialog without a caption
    HWND framed_popup = Keep(Make(WS_EX_TOOLWINDOW, WS_POPUP | WS_BORDER, main));
    EXPECT_FALSE(Record(main).popup);
    EXPECT_FALSE(Record(overlapped).popup);
    EXPECT_FALSE(Record(dialog).popup);
    EXPECT_FALSE(Record(bare_dialog).popup);
    EXPECT_TRUE(Record(framed_popup).popup);
    EXPECT_EQ(Record(main).owner, nullptr);
    EXPECT_EQ(Record(dialog).owner, main);
    EXPECT_EQ(Record(bare_dialog).owner, main);

    // A drop-down list, a menu and a tooltip float over the desktop.
    HWND combo = CreateWindowExA(0, "ComboBox", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, 5, 5, 100,
                                 120, main, nullptr, nullptr, nullptr);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
    ShowWindow(main, SW_SHOW);
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    HWND list = DroppedList();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(Record(list).popup);
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
    HWND tip = Keep(CreateWindowExA(0, "tooltips_class32", "", WS_POPUP, 0, 0, 10, 10, main, nullptr, nullptr, nullptr));
    EXPECT_TRUE(Record(tip).popup);
}

TEST_F(DesktopRoles, TheKeyboardFollowsActivationAndComesBackAfterADropDown) {
    HWND main = Keep(Make(WS_EX_APPWINDOW, WS_POPUP | WS_CAPTION));
    ShowWindow(main, SW_SHOW);
    EXPECT_EQ(screen->KeyboardWindow(), main);
    HWND combo = CreateWindowExA(0, "ComboBox", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, 5, 5, 100,
                                 120, main, nullptr, nullptr, nullptr);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_EQ(screen->KeyboardWindow(), main) << "a drop-down list never takes the keyboard";
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_EQ(screen->KeyboardWindow(), main);

    HWND other = Keep(Make(0, WS_POPUP | WS_CAPTION));
    ShowWindow(other, SW_SHOW);
    EXPECT_EQ(screen->KeyboardWindow(), other);
    SetActiveWindow(main);
    EXPECT_EQ(screen->KeyboardWindow(), main);
}

TEST_F(DesktopRoles, TheDesktopActivatingTheDisabledOwnerOfADialogActivatesTheDialog) {
    HWND main = Keep(Make(WS_EX_APPWINDOW, WS_POPUP | WS_CAPTION));
    ShowWindow(main, SW_SHOW);
    HWND box = Keep(Make(0, WS_POPUP | WS_CAPTION, main));
    HWND inner = Keep(Make(0, WS_POPUP | WS_CAPTION, box));
    EnableWindow(main, FALSE);
    ShowWindow(box, SW_SHOW);
    EnableWindow(box, FALSE);
    ShowWindow(inner, SW_SHOW);
    SetActiveWindow(main);  // something else took it; now the user clicks the main window
    screen->InjectInput(plat::InputEvent::Activate(main));
    screen->DispatchQueuedInput();
    EXPECT_EQ(GetActiveWindow(), inner) << "the innermost enabled box answers";
    EXPECT_EQ(screen->KeyboardWindow(), inner);
}

TEST_F(DesktopRoles, OwnedWindowsStayAboveTheirOwnerWhenItIsBroughtUp) {
    HWND main = Keep(Make(WS_EX_APPWINDOW, WS_POPUP | WS_CAPTION | WS_VISIBLE));
    HWND question = Keep(Make(0, WS_POPUP | WS_CAPTION | WS_VISIBLE, main));
    HWND notice = Keep(Make(0, WS_POPUP | WS_CAPTION | WS_VISIBLE, main));
    HWND stranger = Keep(Make(0, WS_POPUP | WS_CAPTION | WS_VISIBLE));
    SetWindowPos(main, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_GT(ZIndex(question), ZIndex(main));
    EXPECT_GT(ZIndex(notice), ZIndex(question)) << "owned windows keep their own order";
    EXPECT_GT(ZIndex(main), ZIndex(stranger));
    SetActiveWindow(main);
    EXPECT_GT(ZIndex(question), ZIndex(main));
}

// A window procedure that keeps the last WM_MOVE's client origin.
POINT g_moved{-1, -1};
LRESULT CALLBACK MoveProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_MOVE) g_moved = POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    return DefWindowProcA(h, m, w, l);
}

TEST_F(DesktopRoles, AMoveTheDesktopMadeIsWhereTheWindowSystemHasTheWindowAfterwards) {
    HWND main = KeepMain(MoveProc, "VelmoraDesktopMovedTest");
    screen->InjectInput(plat::InputEvent::Moved(main, POINT{140, 90}));
    screen->DispatchQueuedInput();
    RECT r;
    GetWindowRect(main, &r);
    EXPECT_EQ(r.left, 140);
    EXPECT_EQ(r.top, 90);
    EXPECT_EQ(r.right - r.left, 200) << "the size stays";
    EXPECT_EQ(g_moved.x, 140) << "the window hears of it";
    EXPECT_EQ(g_moved.y, 90);
    EXPECT_EQ(Record(main).rect.left, 140);

    // A minimised window is the desktop's icon, never moved by it.
    ShowWindow(main, SW_MINIMIZE);
    screen->InjectInput(plat::InputEvent::Moved(main, POINT{10, 10}));
    screen->DispatchQueuedInput();
    ShowWindow(main, SW_RESTORE);
    GetWindowRect(main, &r);
    EXPECT_EQ(r.left, 140);
}

int g_client_clicks = 0;
LRESULT CALLBACK ClickProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_LBUTTONDOWN) ++g_client_clicks;
    return DefWindowProcA(h, m, w, l);
}

TEST_F(DesktopRoles, AClickRightAfterTheDesktopRestoredAWindowIsTheRestoredWindows) {
    HWND main = KeepMain(ClickProc, "VelmoraDesktopRestoredTest");
    ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(main));
    // The desktop gives the window back and the click on it follows at once, both taken from
    // the screen in one go: the click is for the window where it shows again.
    g_client_clicks = 0;
    screen->InjectInput(plat::InputEvent::Minimize(main, false));
    screen->InjectInput(plat::InputEvent::Button(plat::input::Button::Left, true, POINT{60, 60}));
    screen->InjectInput(plat::InputEvent::Button(plat::input::Button::Left, false, POINT{60, 60}));
    screen->DispatchQueuedInput();
    EXPECT_FALSE(IsIconic(main));
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    EXPECT_EQ(g_client_clicks, 1);
}

}  // namespace
