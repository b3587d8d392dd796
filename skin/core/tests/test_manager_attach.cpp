// Attaching and removing skins through the manager, and the walk to a skinned ancestor.
#include <thread>

#include "test_skinwnd_support.h"

using namespace skinwnd;

namespace {

using AttachTest = ManagerFixture;

TEST_F(AttachTest, FrameSkinNeedsAFrameObjectAndAnUnskinnedWindow)
{
    HWND top = Keep(MakeTop());
    const WNDPROC original = ProcOf(top);
    EXPECT_FALSE(Manager().AttachFrameSkin(top, "Button"));  // not a frame object
    EXPECT_FALSE(Manager().AttachFrameSkin(top, "Missing"));
    EXPECT_EQ(Manager().FindSkinWindow(top), nullptr);
    EXPECT_EQ(ProcOf(top), original);

    ASSERT_TRUE(Manager().AttachFrameSkin(top, nullptr));  // the first frame object
    CSkinWindow* skin = Manager().FindSkinWindow(top);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->GetObjectType(), SKIN_FRAMEWND);
    EXPECT_EQ(ProcOf(top), &CSkinWindow::StaticWindowProc);
    EXPECT_EQ(CSkinWindow::FromHandle(top), skin);

    // A second attach answers 0 and keeps the first skin.
    EXPECT_FALSE(Manager().AttachFrameSkin(top, "Frame"));
    EXPECT_FALSE(Manager().AttachDialogSkin(top, "Dialog"));
    EXPECT_EQ(Manager().FindSkinWindow(top), skin);
    EXPECT_EQ(Manager().GetWindowCount(), 1u);
}

TEST_F(AttachTest, WindowSkinTakesShapeOrType45ObjectsOnlyAndLeavesTheManagerUsable)
{
    HWND a = Keep(MakeTop()), b = Keep(MakeTop()), c = Keep(MakeTop());
    EXPECT_FALSE(Manager().AttachWindowSkin(a, "Frame"));
    // The manager's lock was left: another thread can still use it.
    size_t seen = 99;
    std::thread([&] { seen = Manager().GetWindowCount(); }).join();
    EXPECT_EQ(seen, 0u);

    EXPECT_TRUE(Manager().AttachWindowSkin(a, nullptr));
    EXPECT_EQ(Manager().FindSkinWindow(a)->GetObjectType(), SKIN_SHAPEWND);
    EXPECT_TRUE(Manager().AttachWindowSkin(b, "Wide"));
    EXPECT_EQ(Manager().FindSkinWindow(b)->GetObjectType(), SKIN_TYPE45);
    EXPECT_FALSE(Manager().AttachWindowSkin(c, "Button"));
    EXPECT_EQ(Manager().GetWindowCount(), 2u);
}

TEST_F(AttachTest, DialogSkinNeedsANameThatExistsOfAnyType)
{
    HWND a = Keep(MakeTop()), b = Keep(MakeTop());
    EXPECT_FALSE(Manager().AttachDialogSkin(a, nullptr));
    EXPECT_FALSE(Manager().AttachDialogSkin(a, "Missing"));
    EXPECT_TRUE(Manager().AttachDialogSkin(a, "Dialog"));
    EXPECT_TRUE(Manager().AttachDialogSkin(b, "Shape"));
    EXPECT_EQ(Manager().FindSkinWindow(b)->GetObjectType(), SKIN_SHAPEWND);
}

TEST_F(AttachTest, FloatingToolBarNeedsAToolBarObject)
{
    HWND frame = Keep(MakeTop());
    HWND bar = Keep(MakeChild(frame, "ToolbarWindow32"));
    ASSERT_TRUE(Manager().AttachFloatingToolBar(bar));
    EXPECT_EQ(Manager().FindSkinWindow(bar)->GetObjectType(), SKIN_TOOLBAR);

    Manager().Cleanup();
    ASSERT_EQ(Manager().ApplySkinToAllWindows(MakeTestSkin(false, false).release()), 1);
    EXPECT_FALSE(Manager().AttachFloatingToolBar(bar));
    EXPECT_EQ(Manager().GetWindowCount(), 0u);
    EXPECT_NE(ProcOf(bar), &CSkinWindow::StaticWindowProc);
}

TEST_F(AttachTest, AttachingAWindowThatIsGoneChangesNothing)
{
    HWND gone = MakeTop();
    DestroyWindow(gone);
    EXPECT_FALSE(Manager().AttachFrameSkin(gone, nullptr));
    EXPECT_FALSE(Manager().AttachDialogSkin(gone, "Dialog"));
    EXPECT_FALSE(Manager().CreateControlSkin(gone, "Button", nullptr));
    EXPECT_FALSE(Manager().RemoveSkin(gone, FALSE));
    EXPECT_EQ(Manager().GetWindowCount(), 0u);
}

TEST_F(AttachTest, RemoveSkinPutsTheWindowBackAsItWas)
{
    HWND top = Keep(MakeTop());
    HWND button = Keep(MakeChild(top, "Button", BS_PUSHBUTTON, 7));
    const WNDPROC topProc = ProcOf(top), buttonProc = ProcOf(button);
    EXPECT_FALSE(Manager().RemoveSkin(top, FALSE));
    ASSERT_TRUE(Manager().AttachFrameSkin(top, "Frame"));
    // The frame's existing controls got skinners of their own.
    CSkinWindow* buttonSkin = Manager().FindSkinWindow(button);
    ASSERT_NE(buttonSkin, nullptr);
    EXPECT_EQ(buttonSkin->GetObjectType(), SKIN_BUTTON);
    EXPECT_EQ(Manager().FindSkinWindow(top)->GetChildControls().count(button), 1u);

    EXPECT_TRUE(Manager().RemoveSkin(top, FALSE));
    EXPECT_EQ(ProcOf(top), topProc);
    EXPECT_EQ(ProcOf(button), buttonProc);
    EXPECT_EQ(GetPropA(top, "OBJECT"), nullptr);
    EXPECT_EQ(GetPropA(button, "OBJECT"), nullptr);
    EXPECT_EQ(Manager().GetWindowCount(), 0u);
    EXPECT_FALSE(Manager().RemoveSkin(top, FALSE));
}

TEST_F(AttachTest, ControlSkinFindsNamedObjectsAlsoInsideAParentObject)
{
    HWND top = Keep(MakeTop());
    HWND a = Keep(MakeChild(top, "SkinWndTest")), b = Keep(MakeChild(top, "SkinWndTest"));
    EXPECT_FALSE(Manager().CreateControlSkin(a, nullptr, nullptr));
    EXPECT_FALSE(Manager().CreateControlSkin(a, "Missing", nullptr));
    EXPECT_FALSE(Manager().CreateControlSkin(a, "Frame", nullptr));  // no control skinner for a frame
    ASSERT_TRUE(Manager().CreateControlSkin(a, "CheckBox", nullptr));
    EXPECT_EQ(Manager().FindSkinWindow(a)->GetObjectType(), SKIN_CHECKBOX);

    // With a parent name the look-up stays inside that object, where the same name may mean
    // something else than at the top of the skin.
    CSkinObject* dialog = Manager().GetSkinFile()->FindObject("Dialog");
    auto inner = Named<CSkinStaticObject>("CheckBox");
    CSkinObject* innerRaw = inner.get();
    ASSERT_TRUE(dialog->AddChild(std::move(inner)));
    EXPECT_FALSE(Manager().CreateControlSkin(b, "CheckBox", "Frame"));
    EXPECT_FALSE(Manager().CreateControlSkin(b, "CheckBox", "Missing"));
    ASSERT_TRUE(Manager().CreateControlSkin(b, "CheckBox", "Dialog"));
    EXPECT_EQ(Manager().FindSkinWindow(b)->GetSkinObject(), innerRaw);
    EXPECT_EQ(Manager().FindSkinWindow(b)->GetObjectType(), SKIN_STATIC);
}

TEST_F(AttachTest, RegisterAndAddWindowMapOnlyUnmappedWindows)
{
    HWND a = Keep(MakeTop());
    auto* first = new CSkinWindow;
    CSkinWindow second;
    EXPECT_EQ(Manager().RegisterWindow(first, a), 1);
    EXPECT_EQ(Manager().RegisterWindow(&second, a), 0);
    Manager().AddWindow(a, &second);
    EXPECT_EQ(Manager().FindSkinWindow(a), first);
    EXPECT_EQ(Manager().RegisterWindow(nullptr, a), 0);
}

TEST_F(AttachTest, SkinnedAncestorWalksUpThroughChildrenOnly)
{
    HWND top = Keep(MakeTop());
    HWND panel = Keep(MakeChild(top, "SkinWndTest", 0, 1, {0, 0, 150, 100}));
    HWND button = Keep(MakeChild(panel, "SkinWndTest", 0, 2));
    EXPECT_EQ(Manager().FindSkinnedAncestor(button), nullptr);
    ASSERT_TRUE(Manager().AttachFrameSkin(top, "Frame"));
    CSkinWindow* frame = Manager().FindSkinWindow(top);
    EXPECT_EQ(Manager().FindSkinnedAncestor(button), frame);
    EXPECT_EQ(Manager().FindSkinnedAncestor(top), frame);

    // A control skinner on the way is passed: only frames, shapes and type-45 windows answer.
    ASSERT_TRUE(Manager().CreateControlSkin(panel, "Button", nullptr));
    EXPECT_EQ(Manager().FindSkinnedAncestor(button), frame);

    // A skinned window without an object answers too.
    HWND other = Keep(MakeTop());
    HWND inner = Keep(MakeChild(other, "SkinWndTest"));
    auto* bare = new CSkinWindow;
    ASSERT_EQ(Manager().RegisterWindow(bare, other), 1);
    ASSERT_TRUE(bare->Attach(other));
    EXPECT_EQ(Manager().FindSkinnedAncestor(inner), bare);

    // An owned popup is not a child: the walk stops there.
    HWND popup = Keep(CreateWindowExA(0, "SkinWndTest", "", WS_POPUP, 0, 0, 50, 50, top, nullptr, Instance(), nullptr));
    HWND inPopup = Keep(MakeChild(popup, "SkinWndTest"));
    EXPECT_EQ(Manager().FindSkinnedAncestor(inPopup), nullptr);

    // So does an MDI child.
    HWND mdi = Keep(CreateWindowExA(WS_EX_MDICHILD, "SkinWndTest", "", WS_CHILD, 0, 0, 50, 50, panel, nullptr,
                                    Instance(), nullptr));
    HWND inMdi = Keep(MakeChild(mdi, "SkinWndTest"));
    EXPECT_EQ(Manager().FindSkinnedAncestor(inMdi), nullptr);
}

}  // namespace
