// The keyboard hook and the accelerator copies: menu keys go to the skinned window that owns the
// menu, the release of Alt never reaches the window system, and accelerators of disabled menu
// commands are swallowed.
#include "test_skinwnd_support.h"
#include "winplat_test.h"

using namespace skinwnd;

namespace {

// A skin that answers menu keys as a frame with a menu bar would.
class MenuKeySkin : public CSkinWindow {
public:
    LRESULT OnMenuKey(WPARAM key, LPARAM data) override
    {
        keys.push_back(key);
        lastData = data;
        return answer;
    }
    std::vector<WPARAM> keys;
    LPARAM lastData = 0;
    LRESULT answer = 1;
};

std::vector<UINT> g_keysSeen;  // key messages that reached a window procedure
std::vector<WPARAM> g_popupKeys;

LRESULT CALLBACK KeySpyProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP)
        g_keysSeen.push_back(UINT(w) | (m << 16));
    if (m == WM_SKIN_MENUKEY) {
        g_popupKeys.push_back(w);
        return 1;
    }
    return DefWindowProcA(h, m, w, l);
}

// Key data of a press, and of a press with Alt held.
constexpr LPARAM kPress = 0x00000001, kAltPress = 0x20000001, kRelease = LPARAM(0xC0000001u),
                 kAltRelease = LPARAM(0xE0000001u);

class KeyboardHookTest : public ManagerFixture {
protected:
    void SetUp() override
    {
        ManagerFixture::SetUp();
        TestHooks::Install();
        EnsureClass("SkinWndKeySpy", &KeySpyProc);
        EnsureClass("QuorventaPopupMenuWnd", &KeySpyProc);
        g_keysSeen.clear();
        g_popupKeys.clear();
        frame = Keep(MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, "SkinWndKeySpy"));
        skin = new MenuKeySkin;
        ASSERT_EQ(Manager().RegisterWindow(skin, frame), 1);
        skin->SetSkinObject(Manager().GetSkinFile()->FindObject("Frame"));
        ASSERT_TRUE(skin->Attach(frame));
        WinTestActivate(frame);
        SetFocus(frame);
        WinTestPumpUntilIdle();
        ASSERT_EQ(GetActiveWindow(), frame);
    }
    void TearDown() override
    {
        for (UINT vk : {VK_CONTROL, VK_SHIFT, VK_MENU})
            if (GetKeyState(int(vk)) < 0)
                Press(vk, false);
        TestHooks::Accelerators().clear();
        ManagerFixture::TearDown();
        TestHooks::Remove();
    }
    static void Press(UINT vk, bool down)
    {
        WinTestKey(vk, down);
        WinTestPumpUntilIdle();
    }
    static LRESULT Hook(WPARAM key, LPARAM data, int code = HC_ACTION) { return KeyboardHookProc(code, key, data); }
    HWND frame = nullptr;
    MenuKeySkin* skin = nullptr;
};

TEST_F(KeyboardHookTest, MenuKeysGoToTheActiveSkinnedWindow)
{
    EXPECT_EQ(Hook(VK_F10, kPress), 1);
    EXPECT_EQ(Hook('F', kAltPress), 1);
    EXPECT_EQ(Hook(VK_MENU, kAltPress), 1);
    ASSERT_EQ(skin->keys.size(), 3u);
    EXPECT_EQ(skin->keys[0], WPARAM(VK_F10));
    EXPECT_EQ(skin->keys[1], WPARAM('F'));
    EXPECT_EQ(skin->keys[2], WPARAM(0xFFFFFFFFu));
    EXPECT_EQ(skin->lastData, kAltPress);

    // Keys without Alt, and calls that are not actions, are not menu keys.
    EXPECT_EQ(Hook('F', kPress), 0);
    EXPECT_EQ(Hook(VK_F10, kPress, HC_NOREMOVE), 0);
    EXPECT_EQ(skin->keys.size(), 3u);

    // A skin that does not take the key lets it pass.
    skin->answer = 0;
    EXPECT_EQ(Hook(VK_F10, kPress), 0);
    EXPECT_EQ(skin->keys.size(), 4u);
}

TEST_F(KeyboardHookTest, TheReleaseOfAltIsAlwaysSwallowed)
{
    EXPECT_EQ(Hook(VK_MENU, kRelease), 1);
    skin->answer = 0;
    EXPECT_EQ(Hook(VK_MENU, kRelease), 1);
    EXPECT_TRUE(skin->keys.empty());
    // Through the real queue: pressing and releasing Alt alone never shows the release.
    g_keysSeen.clear();
    Press(VK_MENU, true);
    Press(VK_MENU, false);
    for (UINT seen : g_keysSeen)
        EXPECT_FALSE((seen & 0xFFFF) == VK_MENU && ((seen >> 16) == WM_SYSKEYUP || (seen >> 16) == WM_KEYUP));
    // The window never saw the release, but the thread knows Alt is up again.
    EXPECT_GE(GetKeyState(VK_MENU), 0);
    // The press was offered to the skin as the menu key; the release never was.
    ASSERT_EQ(skin->keys.size(), 1u);
    EXPECT_EQ(skin->keys[0], WPARAM(0xFFFFFFFFu));
    // A release that still carries the Alt context bit is a release all the same.
    EXPECT_EQ(Hook(VK_MENU, kAltRelease), 1);
    EXPECT_EQ(skin->keys.size(), 1u);
}

TEST_F(KeyboardHookTest, MenuKeysOfASkinnedPopupMenuGoToItsOwnersSkin)
{
    HWND popup = Keep(CreateWindowExA(WS_EX_TOOLWINDOW, "QuorventaPopupMenuWnd", "", WS_POPUP | WS_VISIBLE, 0, 0, 60,
                                      60, frame, nullptr, Instance(), nullptr));
    SetPropA(popup, "this", popup);
    WinTestActivate(popup);
    WinTestPumpUntilIdle();
    ASSERT_EQ(GetActiveWindow(), popup);
    EXPECT_EQ(Hook(VK_F10, kPress), 1);
    ASSERT_EQ(skin->keys.size(), 1u);
    EXPECT_TRUE(g_popupKeys.empty());

    // Without a skinned owner the popup itself is told.
    Manager().RemoveSkin(frame, FALSE);
    EXPECT_EQ(Hook('X', kAltPress), 1);
    ASSERT_EQ(g_popupKeys.size(), 1u);
    EXPECT_EQ(g_popupKeys[0], WPARAM('X'));

    // A window of that class without the property is not a skinned popup.
    RemovePropA(popup, "this");
    EXPECT_EQ(Hook('X', kAltPress), 0);
    EXPECT_EQ(g_popupKeys.size(), 1u);
}

TEST_F(KeyboardHookTest, AcceleratorsOfDisabledMenuCommandsAreSwallowed)
{
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 100, "&Save");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    SetMenu(frame, bar);
    ACCEL table[] = {{FVIRTKEY | FCONTROL, 'S', 100}};
    HACCEL accel = CreateAcceleratorTableA(table, 1);
    TestHooks::Accelerators()[frame].Copy(accel);
    DestroyAcceleratorTable(accel);

    Press(VK_CONTROL, true);
    EnableMenuItem(bar, 100, MF_BYCOMMAND | MF_GRAYED);
    EXPECT_EQ(Hook('S', kPress), 1);
    EXPECT_EQ(Hook('S', kRelease), 0);  // only presses are swallowed
    EnableMenuItem(bar, 100, MF_BYCOMMAND | MF_ENABLED);
    EXPECT_EQ(Hook('S', kPress), 0);
    EnableMenuItem(bar, 100, MF_BYCOMMAND | MF_DISABLED);
    EXPECT_EQ(Hook('S', kPress), 1);
    Press(VK_CONTROL, false);
    EXPECT_EQ(Hook('S', kPress), 0);  // without Ctrl it is not the accelerator

    // Through the real queue: Ctrl+S never reaches the window while Save is grayed.
    EnableMenuItem(bar, 100, MF_BYCOMMAND | MF_GRAYED);
    g_keysSeen.clear();
    Press(VK_CONTROL, true);
    Press('S', true);
    Press('S', false);
    Press(VK_CONTROL, false);
    for (UINT seen : g_keysSeen)
        EXPECT_FALSE((seen & 0xFFFF) == 'S' && (seen >> 16) == WM_KEYDOWN);
    EXPECT_TRUE(skin->keys.empty());
}

TEST(SkinAccelTable, FindsTheFirstEntryWhoseModifiersAreDown)
{
    EnsureClass("SkinWndKeySpy", &KeySpyProc);
    HWND h = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, "SkinWndKeySpy");
    WinTestActivate(h);
    SetFocus(h);
    WinTestPumpUntilIdle();

    CSkinAccelTable empty;
    ACCEL out{};
    EXPECT_FALSE(empty.Find('S', &out));
    EXPECT_FALSE(empty.Copy(nullptr));
    EXPECT_EQ(empty.GetCount(), 0);

    ACCEL entries[] = {{FVIRTKEY | FCONTROL, 'S', 100},
                       {FVIRTKEY | FSHIFT | FCONTROL, 'T', 101},
                       {FVIRTKEY, 'T', 102},
                       {FVIRTKEY | FALT, 'X', 103}};
    HACCEL accel = CreateAcceleratorTableA(entries, 4);
    CSkinAccelTable table(accel);
    DestroyAcceleratorTable(accel);
    ASSERT_EQ(table.GetCount(), 4);

    auto press = [](UINT vk, bool down) {
        WinTestKey(vk, down);
        WinTestPumpUntilIdle();
    };
    EXPECT_FALSE(table.Find('S', &out));  // Ctrl is not down
    EXPECT_TRUE(table.Find('T', &out));   // the plain entry
    EXPECT_EQ(out.cmd, 102);
    press(VK_CONTROL, true);
    press(VK_SHIFT, true);
    // A Ctrl entry also matches with Shift down: modifiers it does not ask for are not checked.
    ASSERT_TRUE(table.Find('S', &out));
    EXPECT_EQ(out.cmd, 100);
    ASSERT_TRUE(table.Find('T', &out));
    EXPECT_EQ(out.cmd, 101);
    EXPECT_FALSE(table.Find('X', nullptr));
    press(VK_SHIFT, false);
    press(VK_CONTROL, false);
    table.Clear();
    EXPECT_FALSE(table.Find('T', &out));
    DestroyWindow(h);
}

}  // namespace
