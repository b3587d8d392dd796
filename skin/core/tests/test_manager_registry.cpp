// The skinner seams: installed makers are what the manager and the skinned windows attach,
// and a type or kind without one keeps the skinned-window base.
#include "SkinnerRegistry.h"
#include "test_skinwnd_support.h"

using namespace skinwnd;

namespace {

// A skinner that remembers what it was made for and how often it was made.
class RecordingSkinner : public CSkinWindow {
public:
    RecordingSkinner(int type, CSkinWindow* owner) : madeType(type), madeOwner(owner) { ++made; }
    int madeType;
    CSkinWindow* madeOwner;
    static int made;
};
int RecordingSkinner::made = 0;

class RecordingWindowSkin : public CSkinWindow {
public:
    RecordingWindowSkin() { ++made; }
    static int made;
};
int RecordingWindowSkin::made = 0;

// Makers in the namespace of the functions that register them, as a group's skinner files
// define theirs beside the group's install function.
CSkinWindow* MakeRecordingSkinner(int type, CSkinWindow* owner) { return new RecordingSkinner(type, owner); }
CSkinWindow* MakeRecordingWindowSkin() { return new RecordingWindowSkin; }
CSkinWindow* MakeNoSkin() { return nullptr; }

class RegistryTest : public ManagerFixture {
protected:
    void SetUp() override
    {
        ManagerFixture::SetUp();
        RecordingSkinner::made = RecordingWindowSkin::made = 0;
    }
    void TearDown() override
    {
        ManagerFixture::TearDown();
        // Later tests see the base again.
        for (int type = 0; type <= 100; ++type)
            RegisterControlSkinner(type, nullptr);
        for (int kind = 0; kind < SKINKIND_COUNT; ++kind)
            RegisterWindowSkinner(SkinWindowKind(kind), nullptr);
    }
};

TEST_F(RegistryTest, OnlySkinnerTypesAndKnownKindsTakeAMaker)
{
    for (int type = -1; type <= 101; ++type) {
        const bool control = IsSkinnerType(type);
        EXPECT_EQ(RegisterControlSkinner(type, &MakeRecordingSkinner) != FALSE, control) << type;
        std::unique_ptr<CSkinWindow> skinner(MakeControlSkinner(type, nullptr));
        EXPECT_EQ(skinner != nullptr, control) << type;
        EXPECT_EQ(dynamic_cast<RecordingSkinner*>(skinner.get()) != nullptr, control) << type;
    }
    EXPECT_FALSE(IsSkinnerType(SKIN_FRAMEWND));
    EXPECT_FALSE(IsSkinnerType(SKIN_POPUPMENU));
    // Tooltip controls take a maker, but without one they are left alone.
    EXPECT_TRUE(IsSkinnerType(SKIN_TOOLTIP));
    RegisterControlSkinner(SKIN_TOOLTIP, nullptr);
    EXPECT_EQ(MakeControlSkinner(SKIN_TOOLTIP, nullptr), nullptr);
    EXPECT_FALSE(RegisterWindowSkinner(SKINKIND_COUNT, &MakeRecordingWindowSkin));
    EXPECT_FALSE(RegisterWindowSkinner(SkinWindowKind(-1), &MakeRecordingWindowSkin));
    EXPECT_EQ(MakeWindowSkin(SKINKIND_COUNT), nullptr);
    EXPECT_EQ(RecordingWindowSkin::made, 0);
}

TEST_F(RegistryTest, AControlUnderASkinnedDialogGetsTheInstalledSkinnerWithItsTypeAndOwner)
{
    SKIN_CONTROL_SKINNER(SKIN_CHECKBOX, MakeRecordingSkinner);
    HWND dialog = Keep(MakeTop(WS_POPUP | WS_CAPTION));
    HWND check = Keep(MakeChild(dialog, "Button", BS_AUTOCHECKBOX, 7));
    HWND push = Keep(MakeChild(dialog, "Button", BS_PUSHBUTTON, 8));
    ASSERT_TRUE(Manager().AttachDialogSkin(dialog, "Dialog"));

    auto* recorded = dynamic_cast<RecordingSkinner*>(Manager().FindSkinWindow(check));
    ASSERT_NE(recorded, nullptr);
    EXPECT_EQ(recorded->madeType, SKIN_CHECKBOX);
    EXPECT_EQ(recorded->madeOwner, Manager().FindSkinWindow(dialog));
    EXPECT_EQ(recorded->GetHwnd(), check);
    EXPECT_EQ(recorded->GetObjectType(), SKIN_CHECKBOX);
    // The push button has no maker of its own: the base, attached all the same.
    CSkinWindow* base = Manager().FindSkinWindow(push);
    ASSERT_NE(base, nullptr);
    EXPECT_EQ(dynamic_cast<RecordingSkinner*>(base), nullptr);
    EXPECT_EQ(base->GetHwnd(), push);
    EXPECT_EQ(RecordingSkinner::made, 1);

    // Back to the base: a new control gets it.
    RegisterControlSkinner(SKIN_CHECKBOX, nullptr);
    HWND later = Keep(MakeChild(dialog, "Button", BS_AUTOCHECKBOX, 9));
    Manager().FindSkinWindow(dialog)->SkinChildControl(later, Manager().FindSkinWindow(dialog)->GetSkinObject());
    ASSERT_NE(Manager().FindSkinWindow(later), nullptr);
    EXPECT_EQ(dynamic_cast<RecordingSkinner*>(Manager().FindSkinWindow(later)), nullptr);
}

TEST_F(RegistryTest, AControlSkinnedOnItsOwnHasNoOwner)
{
    SKIN_CONTROL_SKINNER(SKIN_STATIC, MakeRecordingSkinner);
    HWND top = Keep(MakeTop());
    HWND label = Keep(MakeChild(top, "Static"));
    ASSERT_TRUE(Manager().CreateControlSkin(label, "Static", nullptr));
    auto* recorded = dynamic_cast<RecordingSkinner*>(Manager().FindSkinWindow(label));
    ASSERT_NE(recorded, nullptr);
    EXPECT_EQ(recorded->madeOwner, nullptr);
    EXPECT_EQ(recorded->madeType, SKIN_STATIC);
}

TEST_F(RegistryTest, EveryWindowKindAttachesItsInstalledSkin)
{
    const struct {
        SkinWindowKind kind;
        std::function<BOOL(HWND)> attach;
        const char* cls;
    } kinds[] = {
        {SKINKIND_FRAME, [](HWND h) { return Manager().AttachFrameSkin(h, "Frame"); }, "SkinWndTest"},
        {SKINKIND_DIALOG, [](HWND h) { return Manager().AttachDialogSkin(h, "Dialog"); }, "SkinWndTest"},
        {SKINKIND_SHAPE, [](HWND h) { return Manager().AttachWindowSkin(h, "Shape"); }, "SkinWndTest"},
        {SKINKIND_TYPE45, [](HWND h) { return Manager().AttachWindowSkin(h, "Wide"); }, "SkinWndTest"},
        {SKINKIND_FLOATINGTOOLBAR, [](HWND h) { return Manager().AttachFloatingToolBar(h); }, "ToolbarWindow32"},
    };
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.kind);
        HWND a = Keep(MakeTop(WS_OVERLAPPEDWINDOW, k.cls));
        HWND b = Keep(MakeTop(WS_OVERLAPPEDWINDOW, k.cls));
        // Before: the base.
        ASSERT_TRUE(k.attach(a));
        EXPECT_EQ(dynamic_cast<RecordingWindowSkin*>(Manager().FindSkinWindow(a)), nullptr);
        ASSERT_TRUE(RegisterWindowSkinner(k.kind, &MakeRecordingWindowSkin));
        ASSERT_TRUE(k.attach(b));
        auto* skin = dynamic_cast<RecordingWindowSkin*>(Manager().FindSkinWindow(b));
        ASSERT_NE(skin, nullptr);
        EXPECT_EQ(skin->GetHwnd(), b);
        // Only this kind: the other kinds still make the base.
        for (int other = 0; other < SKINKIND_COUNT; ++other) {
            if (other == k.kind)
                continue;
            std::unique_ptr<CSkinWindow> made(MakeWindowSkin(SkinWindowKind(other)));
            EXPECT_EQ(dynamic_cast<RecordingWindowSkin*>(made.get()), nullptr) << other;
        }
        RegisterWindowSkinner(k.kind, nullptr);
    }
    EXPECT_EQ(RecordingWindowSkin::made, 5);
}

TEST_F(RegistryTest, AMakerThatMakesNothingLeavesTheWindowUnskinned)
{
    SKIN_WINDOW_SKINNER(SKINKIND_DIALOG, MakeNoSkin);
    HWND dialog = Keep(MakeTop());
    const WNDPROC original = ProcOf(dialog);
    EXPECT_FALSE(Manager().AttachDialogSkin(dialog, "Dialog"));
    EXPECT_EQ(Manager().GetWindowCount(), 0u);
    EXPECT_EQ(ProcOf(dialog), original);
}

}  // namespace
