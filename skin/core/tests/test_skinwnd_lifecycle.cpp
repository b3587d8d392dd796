// The skinned-window base: attach and detach, destruction without a detach, removal inside the
// window's own procedure, child controls, skin objects and the anchoring of controls.
#include "test_skinwnd_support.h"

using namespace skinwnd;

namespace {

// What the window's own procedure saw.
struct Seen {
    int sysColor = 0;
    int ncDestroy = 0;
    int afterRemoval = 0;
};
Seen g_seen;
const UINT kRemoveSelf = WM_USER + 1, kRemoveNested = WM_USER + 2;

LRESULT CALLBACK SpyProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    switch (m) {
    case WM_SYSCOLORCHANGE:
        ++g_seen.sysColor;
        break;
    case WM_NCDESTROY:
        ++g_seen.ncDestroy;
        break;
    case kRemoveSelf:
        CSkinManager::Instance().RemoveSkin(h, FALSE);
        // Still inside the skin's procedure: the window keeps working.
        g_seen.afterRemoval += SendMessageA(h, WM_GETTEXTLENGTH, 0, 0) >= 0;
        return 11;
    case kRemoveNested:
        return SendMessageA(h, kRemoveSelf, 0, 0) + 1;
    default:
        break;
    }
    return DefWindowProcA(h, m, w, l);
}

class LifecycleTest : public ManagerFixture {
protected:
    void SetUp() override
    {
        ManagerFixture::SetUp();
        EnsureClass("SkinWndSpy", &SpyProc);
        g_seen = Seen();
    }
    HWND Spy() { return Keep(MakeTop(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, "SkinWndSpy")); }
};

TEST_F(LifecycleTest, AttachSubclassesAndDetachPutsTheProcedureBack)
{
    HWND h = Spy();
    const WNDPROC original = ProcOf(h);
    CSkinWindow skin;
    skin.Detach();  // never attached: nothing happens
    EXPECT_EQ(skin.GetHwnd(), nullptr);
    skin.SetSkinObject(Manager().GetSkinFile()->FindObject("Dialog"));
    ASSERT_TRUE(skin.Attach(h));
    EXPECT_EQ(g_seen.sysColor, 1);  // every attached window hears about the colours
    EXPECT_EQ(skin.GetHwnd(), h);
    EXPECT_EQ(skin.GetSavedProc(), original);
    EXPECT_EQ(CSkinWindow::FromHandle(h), &skin);
    EXPECT_FALSE(skin.Attach(h));  // already attached
    skin.Detach();
    EXPECT_EQ(ProcOf(h), original);
    EXPECT_EQ(CSkinWindow::FromHandle(h), nullptr);
    EXPECT_EQ(skin.GetHwnd(), nullptr);
    EXPECT_EQ(skin.GetSavedProc(), nullptr);
    skin.Detach();
}

TEST_F(LifecycleTest, AFailedAttachLeavesNoPropertyBehind)
{
    HWND gone = MakeTop();
    DestroyWindow(gone);
    CSkinWindow skin;
    EXPECT_FALSE(skin.Attach(gone));
    EXPECT_EQ(skin.GetHwnd(), nullptr);
    EXPECT_EQ(CSkinWindow::FromHandle(gone), nullptr);
}

TEST_F(LifecycleTest, DestroyingASkinnedWindowRemovesItsSkinAndStillReachesItsProcedure)
{
    HWND h = MakeTop(WS_POPUP | WS_CAPTION | DS_MODALFRAME, "SkinWndSpy");
    HWND button = MakeChild(h, "Button", BS_PUSHBUTTON, 1);
    ASSERT_TRUE(Manager().AttachDialogSkin(h, "Dialog"));
    ASSERT_EQ(Manager().GetWindowCount(), 2u);
    ASSERT_NE(Manager().FindSkinWindow(button), nullptr);
    DestroyWindow(h);
    EXPECT_EQ(g_seen.ncDestroy, 1);
    EXPECT_EQ(Manager().GetWindowCount(), 0u);
}

TEST_F(LifecycleTest, ASkinRemovedInsideItsOwnProcedureGoesWhenTheProcedureReturns)
{
    HWND h = Spy();
    const WNDPROC original = ProcOf(h);
    ASSERT_TRUE(Manager().AttachDialogSkin(h, "Dialog"));
    EXPECT_EQ(SendMessageA(h, kRemoveSelf, 0, 0), 11);
    EXPECT_EQ(g_seen.afterRemoval, 1);
    EXPECT_EQ(Manager().FindSkinWindow(h), nullptr);
    EXPECT_EQ(ProcOf(h), original);

    // Removed two procedure calls deep, then attached again and removed by hand.
    ASSERT_TRUE(Manager().AttachDialogSkin(h, "Dialog"));
    EXPECT_EQ(SendMessageA(h, kRemoveNested, 0, 0), 12);
    EXPECT_EQ(Manager().FindSkinWindow(h), nullptr);
    ASSERT_TRUE(Manager().AttachDialogSkin(h, "Dialog"));
    EXPECT_TRUE(Manager().RemoveSkin(h, FALSE));
    EXPECT_EQ(ProcOf(h), original);
}

TEST_F(LifecycleTest, ChildControlsGetSkinnersAndLoseThemAgain)
{
    HWND h = Spy();
    HWND button = Keep(MakeChild(h, "Button", BS_PUSHBUTTON, 10));
    HWND check = Keep(MakeChild(h, "Button", BS_AUTOCHECKBOX, 11));
    HWND group = Keep(MakeChild(h, "Button", BS_GROUPBOX, 12));
    HWND plain = Keep(MakeChild(h, "SkinWndTest", 0, 13));
    HWND label = Keep(MakeChild(plain, "Static", 0, 14));  // a grandchild
    ASSERT_TRUE(Manager().AttachDialogSkin(h, "Dialog"));
    CSkinWindow* skin = Manager().FindSkinWindow(h);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(Manager().FindSkinWindow(button)->GetObjectType(), SKIN_BUTTON);
    EXPECT_EQ(Manager().FindSkinWindow(check)->GetObjectType(), SKIN_CHECKBOX);
    EXPECT_EQ(Manager().FindSkinWindow(group)->GetObjectType(), SKIN_GROUPBOX);
    EXPECT_EQ(Manager().FindSkinWindow(plain), nullptr);
    EXPECT_EQ(Manager().FindSkinWindow(label)->GetObjectType(), SKIN_STATIC);
    EXPECT_EQ(skin->GetChildControls().size(), 4u);

    // A control that goes is forgotten by its host at once.
    DestroyWindow(check);
    EXPECT_EQ(skin->GetChildControls().count(check), 0u);
    EXPECT_EQ(Manager().FindSkinWindow(check), nullptr);
    // The owner can also be told by message.
    EXPECT_EQ(SendMessageA(h, WM_SKIN_CONTROLGOING, reinterpret_cast<WPARAM>(group), 0), 0);
    EXPECT_EQ(skin->GetChildControls().count(group), 0u);

    const WNDPROC buttonSkinned = ProcOf(button);
    EXPECT_EQ(buttonSkinned, &CSkinWindow::StaticWindowProc);
    EXPECT_TRUE(Manager().RemoveSkin(h, FALSE));
    EXPECT_EQ(Manager().FindSkinWindow(button), nullptr);
    EXPECT_EQ(Manager().FindSkinWindow(label), nullptr);
    EXPECT_NE(ProcOf(button), &CSkinWindow::StaticWindowProc);
    // Detaching takes the skin of every descendant, whether the host still listed it or not.
    EXPECT_EQ(Manager().GetWindowCount(), 0u);
}

TEST_F(LifecycleTest, AControlsOwnLookIsTakenFromTheWindowObjectByControlId)
{
    CSkinObject* dialog = Manager().GetSkinFile()->FindObject("Dialog");
    auto special = Named<CSkinButtonObject>("OkButton");
    special->m_nControlId = 1;
    CSkinObject* specialRaw = special.get();
    ASSERT_TRUE(dialog->AddChild(std::move(special)));
    HWND h = Spy();
    HWND ok = Keep(MakeChild(h, "Button", BS_DEFPUSHBUTTON, 1));
    HWND cancel = Keep(MakeChild(h, "Button", BS_PUSHBUTTON, 2));
    ASSERT_TRUE(Manager().AttachDialogSkin(h, "Dialog"));
    EXPECT_EQ(Manager().FindSkinWindow(ok)->GetSkinObject(), specialRaw);
    EXPECT_EQ(Manager().FindSkinWindow(cancel)->GetSkinObject(), Manager().GetSkinFile()->FindObject("Button"));
}

TEST_F(LifecycleTest, SkinObjectSetsKeyColourRegionFlagAndCaptionRole)
{
    CSkinWindow skin;
    EXPECT_EQ(skin.GetKeyColor(), COLORREF(0xFF00FF));
    CSkinObject* dialog = Manager().GetSkinFile()->FindObject("Dialog");
    EXPECT_EQ(skin.SetSkinObject(dialog), nullptr);
    EXPECT_EQ(skin.GetKeyColor(), COLORREF(0xFF00FF));  // no Application object
    EXPECT_EQ(skin.GetRegionFlag(), 0);
    EXPECT_EQ(skin.CreateWindowRegion(), nullptr);
    EXPECT_TRUE(skin.GetDrawCaptionText());

    auto file = MakeTestSkin(true);
    auto* app = static_cast<CSkinApplicationObject*>(file->FindObjectByType(SKIN_APPLICATION));
    app->m_nThird = RGB(0, 255, 0);
    CSkinObject* titled = file->FindObject("Dialog");
    auto title = Named<CSkinCaptionStaticObject>("Title");
    title->m_nRole = 1;
    titled->AddChild(std::move(title));
    EXPECT_EQ(skin.SetSkinObject(titled), dialog);
    EXPECT_EQ(skin.GetKeyColor(), RGB(0, 255, 0));
    EXPECT_EQ(skin.GetRegionFlag(), 1);
    EXPECT_FALSE(skin.GetDrawCaptionText());
    EXPECT_EQ(skin.GetObjectName(), std::string("Dialog"));

    skin.SetSkinObject(nullptr);
    EXPECT_EQ(skin.GetObjectName(), nullptr);
    EXPECT_EQ(skin.GetObjectType(), 0);
}

TEST_F(LifecycleTest, AnchoredControlsFollowTheWindowSize)
{
    CSkinObject* dialog = Manager().GetSkinFile()->FindObject("Dialog");
    auto right = Named<CSkinButtonObject>("RightOnly");
    right->m_nControlId = 21;
    right->m_nAnchoring = 1;
    right->m_anchor[2] = 1;
    right->m_rc = {80, 30, 110, 50};
    auto both = Named<CSkinButtonObject>("Stretch");
    both->m_nControlId = 22;
    both->m_nAnchoring = 1;
    both->m_anchor[0] = both->m_anchor[2] = both->m_anchor[1] = both->m_anchor[3] = 1;
    both->m_rc = {10, 30, 60, 80};
    auto none = Named<CSkinButtonObject>("Fixed");
    none->m_nControlId = 23;
    none->m_nAnchoring = 1;  // asks for anchoring but no flag set
    none->m_rc = {10, 10, 20, 20};
    dialog->AddChild(std::move(right));
    dialog->AddChild(std::move(both));
    dialog->AddChild(std::move(none));

    HWND h = Spy();
    HWND a = Keep(MakeChild(h, "Button", BS_PUSHBUTTON, 21, {1, 1, 2, 2}));
    HWND b = Keep(MakeChild(h, "Button", BS_PUSHBUTTON, 22, {1, 1, 2, 2}));
    HWND c = Keep(MakeChild(h, "Button", BS_PUSHBUTTON, 23, {3, 3, 9, 9}));
    ASSERT_TRUE(Manager().AttachDialogSkin(h, "Dialog"));
    CSkinWindow* skin = Manager().FindSkinWindow(h);
    // The dialog grew by 40 x 20 from its design size.
    EXPECT_EQ(skin->LayoutChildren(kDesignW + 40, kDesignH + 20), 2);
    auto rectOf = [&](HWND w) {
        RECT rc;
        GetWindowRect(w, &rc);
        MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    };
    RECT ra = rectOf(a), rb = rectOf(b), rc = rectOf(c);
    EXPECT_EQ(ra.right - ra.left, 30);  // the width kept
    EXPECT_EQ(ra.right, 110 + 40);      // the distance from the right edge kept
    EXPECT_EQ(ra.top, 30);
    EXPECT_EQ(rb.left, 10);
    EXPECT_EQ(rb.right, 60 + 40);
    EXPECT_EQ(rb.bottom, 80 + 20);
    EXPECT_EQ(rc.left, 3);  // not moved
    EXPECT_EQ(rc.right, 9);
}

}  // namespace
