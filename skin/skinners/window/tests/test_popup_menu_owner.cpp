// What a skinned popup menu does to its owner: while a root popup shows, the owner's top-level
// window keeps its active caption (its procedure is subclassed for that time and given back
// after, however other subclasses came and went), and the menu function that reads an item's
// bitmap.
#include "SkinMenuModel.h"
#include "SkinPopupMenu.h"
#include "window_test_support.h"

using namespace wintest;

namespace {

// A subclass of the program's own, put on top of the window's procedure.
struct Above {
    static WNDPROC next;
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) { return CallWindowProcA(next, h, m, w, l); }
};
WNDPROC Above::next = nullptr;

class PopupOwnerTest : public WindowSkinTest {
protected:
    void SetUp() override
    {
        WindowSkinTest::SetUp();
        owner = SkinnedDialog();
        ownProc = GetWindowLongPtrA(owner, GWLP_WNDPROC);
        menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 101, "&Open");
        AppendMenuA(menu, MF_STRING, 102, "&Close");
    }
    void TearDown() override
    {
        popups.clear();
        DestroyMenu(menu);
        WindowSkinTest::TearDown();
    }
    // A root popup of the menu for a window (the dialog's button: a child), shown.
    CSkinPopupMenu* Show(int x = 300)
    {
        popups.push_back(std::make_unique<CSkinPopupMenu>(GetDlgItem(owner, IDOK), nullptr, CSkinPopupMenu::MODE_MENUBAR));
        CSkinPopupMenu* p = popups.back().get();
        EXPECT_TRUE(p->CreatePopupWindow());
        p->LoadMenu(menu);
        p->ShowAt(x, 200, 0);
        WinTestPumpUntilIdle();
        return p;
    }
    static void Hide(CSkinPopupMenu* p)
    {
        ShowWindow(p->GetHwnd(), SW_HIDE);
        WinTestPumpUntilIdle();
    }
    // The caption as it shows after the owner is told it lost (or got) activation.
    CPicture CaptionAfter(BOOL active)
    {
        const LRESULT answer = SendMessageA(owner, WM_NCACTIVATE, active, 0);
        EXPECT_TRUE(answer);
        WinTestPumpUntilIdle();
        return CPicture::OfWindow(owner);
    }
    int CaptionChanges(const CPicture& a, const CPicture& b)
    {
        RECT w;
        GetWindowRect(owner, &w);
        return a.CountDifferences(b, RECT{0, 0, w.right - w.left, kCaption});
    }
    LONG_PTR Proc() const { return GetWindowLongPtrA(owner, GWLP_WNDPROC); }
    bool Subclassed() const { return GetPropA(owner, "SKIN_WNDPROC") != nullptr; }

    HWND owner = nullptr;
    LONG_PTR ownProc = 0;
    HMENU menu = nullptr;
    std::vector<std::unique_ptr<CSkinPopupMenu>> popups;
};

TEST_F(PopupOwnerTest, TheOwnersCaptionStaysActiveWhileARootPopupShowsAndItsProcedureComesBackAfter)
{
    const CPicture active = CPicture::OfWindow(owner);
    ASSERT_GT(CaptionChanges(active, CaptionAfter(FALSE)), 0);  // the skin draws an inactive caption
    CaptionAfter(TRUE);

    CSkinPopupMenu* p = Show();
    EXPECT_NE(Proc(), ownProc);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(GetPropA(owner, "SKIN_WNDPROC")), ownProc);
    EXPECT_EQ(CaptionChanges(active, CaptionAfter(FALSE)), 0);
    // Activation itself, and everything else, still reaches the window.
    EXPECT_EQ(CaptionChanges(active, CaptionAfter(TRUE)), 0);
    SetWindowTextA(owner, "Renamed");
    char title[32] = {};
    GetWindowTextA(owner, title, sizeof title);
    EXPECT_STREQ(title, "Renamed");

    Hide(p);
    EXPECT_EQ(Proc(), ownProc);
    EXPECT_FALSE(Subclassed());
    EXPECT_GT(CaptionChanges(active, CaptionAfter(FALSE)), 0);
    CaptionAfter(TRUE);

    // A popup destroyed while it shows gives the procedure back as well.
    p = Show();
    EXPECT_NE(Proc(), ownProc);
    DestroyWindow(p->GetHwnd());
    WinTestPumpUntilIdle();
    EXPECT_EQ(Proc(), ownProc);
    EXPECT_FALSE(Subclassed());
}

TEST_F(PopupOwnerTest, TwoRootPopupsHoldTheCaptionUntilTheLastOneHides)
{
    const CPicture active = CPicture::OfWindow(owner);
    CSkinPopupMenu* first = Show(300);
    CSkinPopupMenu* second = Show(500);  // the menu bar opens the next before the last closes
    Hide(first);
    EXPECT_NE(Proc(), ownProc);
    EXPECT_EQ(CaptionChanges(active, CaptionAfter(FALSE)), 0);
    Hide(second);
    EXPECT_EQ(Proc(), ownProc);
    EXPECT_FALSE(Subclassed());
    // A submenu popup holds nothing of its own.
    CSkinPopupMenu child(owner, first, CSkinPopupMenu::MODE_MENUBAR);
    ASSERT_TRUE(child.CreatePopupWindow());
    child.LoadMenu(menu);
    child.ShowAt(300, 300, 0);
    WinTestPumpUntilIdle();
    EXPECT_EQ(Proc(), ownProc);
    child.DestroyPopup();
}

TEST_F(PopupOwnerTest, UnderALaterSubclassTheOwnersProcedurePassesEverythingOnOnceThePopupHides)
{
    const CPicture active = CPicture::OfWindow(owner);
    CSkinPopupMenu* p = Show();
    Above::next = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Above::Proc)));
    Hide(p);
    // It cannot leave the chain without taking the later subclass along, so it stays there,
    // holding nothing.
    EXPECT_EQ(Proc(), reinterpret_cast<LONG_PTR>(&Above::Proc));
    EXPECT_GT(CaptionChanges(active, CaptionAfter(FALSE)), 0);
    CaptionAfter(TRUE);
    // Shown again, the popup holds the caption through the same procedure.
    p = Show();
    EXPECT_EQ(Proc(), reinterpret_cast<LONG_PTR>(&Above::Proc));
    EXPECT_EQ(CaptionChanges(active, CaptionAfter(FALSE)), 0);
    Hide(p);
    EXPECT_GT(CaptionChanges(active, CaptionAfter(FALSE)), 0);
    DestroyWindow(owner);
    WinTestPumpUntilIdle();
}

TEST_F(PopupOwnerTest, AnItemsBitmapIsReadByPositionOrByCommand)
{
    HBITMAP picture = CreateBitmap(8, 8, 1, 32, nullptr);
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_BITMAP;
    info.hbmpItem = picture;
    ASSERT_TRUE(SetMenuItemInfoA(menu, 1, TRUE, &info));
    EXPECT_EQ(GetMenuItemBitmap(menu, 1, TRUE), picture);
    EXPECT_EQ(GetMenuItemBitmap(menu, 102, FALSE), picture);
    EXPECT_EQ(GetMenuItemBitmap(menu, 0, TRUE), nullptr);
    EXPECT_EQ(GetMenuItemBitmap(menu, 101, FALSE), nullptr);
    // No such item, no such menu.
    EXPECT_EQ(GetMenuItemBitmap(menu, 2, TRUE), nullptr);
    EXPECT_EQ(GetMenuItemBitmap(menu, 999, FALSE), nullptr);
    EXPECT_EQ(GetMenuItemBitmap(nullptr, 0, TRUE), nullptr);
    DeleteObject(picture);
}

}  // namespace
