// The creation hook: each new window is seen once; dialogs are skinned while a dialog skin name
// is set, controls under skinned windows always, and toolbars when they float.
#include <atomic>
#include <thread>

#include "test_skinwnd_support.h"
#include "winplat_test.h"

using namespace skinwnd;

namespace {

std::map<HWND, int> g_creates;
HHOOK g_counter = nullptr;

// Installed before the skin hook, so it runs after it in the chain.
LRESULT CALLBACK CountingHook(int code, WPARAM w, LPARAM l)
{
    auto* cwp = reinterpret_cast<CWPSTRUCT*>(l);
    if (code == HC_ACTION && cwp->message == WM_CREATE)
        ++g_creates[cwp->hwnd];
    return CallNextHookEx(g_counter, code, w, l);
}

// A window that makes a child of its own while it is being created.
LRESULT CALLBACK NestingProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_CREATE)
        CreateWindowExA(0, "Button", "inner", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 2, 2, 40, 20, h,
                        reinterpret_cast<HMENU>(77), Instance(), nullptr);
    return DefWindowProcA(h, m, w, l);
}

class CreateHookTest : public ManagerFixture {
protected:
    void SetUp() override
    {
        ManagerFixture::SetUp();
        g_creates.clear();
        g_counter = SetWindowsHookExA(WH_CALLWNDPROC, &CountingHook, nullptr, GetCurrentThreadId());
        TestHooks::DialogName().clear();
        TestHooks::Install();
        EnsureClass("SkinWndNesting", &NestingProc);
    }
    void TearDown() override
    {
        ManagerFixture::TearDown();
        TestHooks::Remove();
        UnhookWindowsHookEx(g_counter);
        TestHooks::DialogName().clear();
    }
    HWND MakeDialog(HWND owner = nullptr)
    {
        return Keep(CreateWindowExA(0, "#32770", "Dialog", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0,
                                    200, 120, owner, nullptr, Instance(), nullptr));
    }
};

TEST_F(CreateHookTest, EveryCreationIsSeenOnceNestedOnesToo)
{
    HWND top = Keep(MakeTop());
    HWND outer = Keep(MakeChild(top, "SkinWndNesting", 0, 5, {0, 0, 100, 60}));
    HWND inner = GetDlgItem(outer, 77);
    ASSERT_NE(inner, nullptr);
    HWND dialog = MakeDialog(top);
    for (HWND h : {top, outer, inner, dialog})
        EXPECT_EQ(g_creates[h], 1);
    EXPECT_EQ(g_creates.size(), 4u);
}

TEST_F(CreateHookTest, DialogsAreSkinnedOnlyWhileADialogSkinNameIsSet)
{
    HWND plain = MakeDialog();
    HWND plainButton = Keep(MakeChild(plain, "Button", BS_PUSHBUTTON, 1));
    EXPECT_EQ(Manager().FindSkinWindow(plain), nullptr);
    EXPECT_EQ(Manager().FindSkinWindow(plainButton), nullptr);

    TestHooks::DialogName() = "Missing";
    EXPECT_EQ(Manager().FindSkinWindow(MakeDialog()), nullptr);

    TestHooks::DialogName() = "Dialog";
    HWND skinned = MakeDialog();
    CSkinWindow* skin = Manager().FindSkinWindow(skinned);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->GetObjectName(), std::string("Dialog"));
    EXPECT_EQ(ProcOf(skinned), &CSkinWindow::StaticWindowProc);
    // Its controls, made after it, are skinned as they are created.
    HWND button = Keep(MakeChild(skinned, "Button", BS_AUTOCHECKBOX, 2));
    ASSERT_NE(Manager().FindSkinWindow(button), nullptr);
    EXPECT_EQ(Manager().FindSkinWindow(button)->GetObjectType(), SKIN_CHECKBOX);
    EXPECT_EQ(skin->GetChildControls().count(button), 1u);
    // Other top-level windows stay as they are.
    EXPECT_EQ(Manager().FindSkinWindow(Keep(MakeTop())), nullptr);
}

TEST_F(CreateHookTest, ControlsAnywhereUnderASkinnedWindowAreSkinned)
{
    HWND top = Keep(MakeTop());
    ASSERT_TRUE(Manager().AttachFrameSkin(top, "Frame"));
    HWND outer = Keep(MakeChild(top, "SkinWndNesting", 0, 5, {0, 0, 100, 60}));
    HWND inner = GetDlgItem(outer, 77);
    EXPECT_EQ(Manager().FindSkinWindow(outer), nullptr);  // not a control class
    ASSERT_NE(Manager().FindSkinWindow(inner), nullptr);
    EXPECT_EQ(Manager().FindSkinWindow(inner)->GetObjectType(), SKIN_BUTTON);
    EXPECT_EQ(g_creates[inner], 1);

    HWND label = Keep(MakeChild(outer, "Static", 0, 6));
    EXPECT_EQ(Manager().FindSkinWindow(label)->GetObjectType(), SKIN_STATIC);
    // Under an unskinned window nothing happens.
    HWND other = Keep(MakeTop());
    EXPECT_EQ(Manager().FindSkinWindow(Keep(MakeChild(other, "Static"))), nullptr);
}

TEST_F(CreateHookTest, OnlyFloatingToolBarsAreSkinnedOnTheirOwn)
{
    HWND owner = Keep(MakeTop());
    HWND palette = Keep(CreateWindowExA(WS_EX_TOOLWINDOW, "SkinWndTest", "Tools", WS_POPUP | WS_CAPTION, 0, 0, 120,
                                        60, owner, nullptr, Instance(), nullptr));
    HWND floating = Keep(MakeChild(palette, "ToolbarWindow32"));
    ASSERT_NE(Manager().FindSkinWindow(floating), nullptr);
    EXPECT_EQ(Manager().FindSkinWindow(floating)->GetObjectType(), SKIN_TOOLBAR);

    HWND rebar = Keep(MakeChild(palette, "ReBarWindow32"));
    EXPECT_EQ(Manager().FindSkinWindow(Keep(MakeChild(rebar, "ToolbarWindow32"))), nullptr);
    EnsureClass("AfxControlBar42s");
    HWND bar = Keep(CreateWindowExA(WS_EX_TOOLWINDOW, "AfxControlBar42s", "", WS_CHILD, 0, 0, 50, 20, palette,
                                    nullptr, Instance(), nullptr));
    EXPECT_EQ(Manager().FindSkinWindow(Keep(MakeChild(bar, "ToolbarWindow32"))), nullptr);
    // A tool window of its own without a parent or owner does not float anything either.
    HWND lone = Keep(CreateWindowExA(WS_EX_TOOLWINDOW, "SkinWndTest", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                     Instance(), nullptr));
    EXPECT_EQ(Manager().FindSkinWindow(Keep(MakeChild(lone, "ToolbarWindow32"))), nullptr);
}

TEST_F(CreateHookTest, AThreadWithoutItsHookEntryIsLeftAlone)
{
    TestHooks::DialogName() = "Dialog";
    HWND dialog = MakeDialog();
    Manager().RemoveSkin(dialog, FALSE);
    CWPSTRUCT cwp{0, 0, WM_CREATE, dialog};
    LRESULT result = -1;
    // Another thread has no hook of the engine: the procedure answers 0 and does nothing.
    std::thread([&] { result = CallWndProcHookProc(HC_ACTION, 1, reinterpret_cast<LPARAM>(&cwp)); }).join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Manager().FindSkinWindow(dialog), nullptr);
    // Here it skins, as a created dialog would be.
    CallWndProcHookProc(HC_ACTION, 1, reinterpret_cast<LPARAM>(&cwp));
    EXPECT_NE(Manager().FindSkinWindow(dialog), nullptr);
}

}  // namespace

namespace {

TEST_F(CreateHookTest, AControlMadeOnAnotherThreadUnderASkinnedWindowIsSkinnedByItsHost)
{
    HWND top = Keep(MakeTop());
    ASSERT_TRUE(Manager().AttachFrameSkin(top, "Frame"));
    CSkinWindow* frame = Manager().FindSkinWindow(top);
    HWND made = nullptr;
    std::atomic<int> stage{0};
    bool skinned = false;
    int type = 0;
    size_t inHost = 0;
    std::thread worker([&] {
        TestHooks::Install();
        made = CreateWindowExA(0, "Button", "far", WS_CHILD | BS_PUSHBUTTON, 0, 0, 40, 20, top, nullptr,
                               Instance(), nullptr);
        stage = 1;
        while (stage != 2)
            std::this_thread::yield();
        DestroyWindow(made);  // its own thread takes it down again
        TestHooks::Remove();
        stage = 3;
    });
    auto pumpUntil = [&](int s) {
        while (stage != s) {
            WinTestPumpUntilIdle();
            std::this_thread::yield();
        }
    };
    pumpUntil(1);
    ASSERT_NE(made, nullptr);
    if (CSkinWindow* skin = Manager().FindSkinWindow(made)) {
        skinned = true;
        type = skin->GetObjectType();
    }
    inHost = frame->GetChildControls().count(made);
    stage = 2;
    pumpUntil(3);
    worker.join();
    EXPECT_TRUE(skinned);
    EXPECT_EQ(type, SKIN_BUTTON);
    EXPECT_EQ(inHost, 1u);
    // Gone with its window, from the host's list too.
    EXPECT_EQ(Manager().FindSkinWindow(made), nullptr);
    EXPECT_EQ(frame->GetChildControls().count(made), 0u);
}

}  // namespace
