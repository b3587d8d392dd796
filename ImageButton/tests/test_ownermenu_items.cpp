// The owner-drawn menu's model: the look chosen from the system, menus loaded from templates,
// item records, images from tool bars, bitmaps and icons, measuring, search, removal,
// synchronisation and mnemonics.
#include <gtest/gtest.h>

#include "OwnerMenu.h"
#include "test_ownermenu_support.h"
#include "winplat_test.h"

using namespace ownermenu_test;

namespace {

class OwnerMenuItems : public testing::Test {
protected:
    static void SetUpTestSuite() { RegisterResources(); }
    void SetUp() override { COwnerMenu::SetMenuDrawMode(COwnerMenu::LOOK_XP); }
};

OSVERSIONINFOA Info(DWORD platform, DWORD major, DWORD minor) {
    OSVERSIONINFOA i{};
    i.dwOSVersionInfoSize = sizeof i;
    i.dwPlatformId = platform;
    i.dwMajorVersion = major;
    i.dwMinorVersion = minor;
    return i;
}

// The text width the menu measures with: the menu font on the desktop's DC.
int TextWidth(const char* text) {
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    HFONT font = CreateFontIndirectA(&ncm.lfMenuFont);
    HDC dc = GetDC(GetDesktopWindow());
    HGDIOBJ old = SelectObject(dc, font);
    SIZE s{};
    GetTextExtentPoint32A(dc, text, int(strlen(text)), &s);
    SelectObject(dc, old);
    ReleaseDC(GetDesktopWindow(), dc);
    DeleteObject(font);
    return s.cx;
}

MEASUREITEMSTRUCT Measure(COwnerMenu& m, OwnerMenuData* d) {
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, UINT(d->nCommand), 0, 0, reinterpret_cast<ULONG_PTR>(d)};
    m.MeasureItem(&mis);
    return mis;
}

}  // namespace

TEST(OwnerMenuLook, VersionClassesAndTheClassicTheme) {
    const DWORD nt = 0x0A280105, w9x = 0xC0000A04, w32s = 0x80000003;
    EXPECT_EQ(COwnerMenu::VersionClassFrom(w32s, Info(VER_PLATFORM_WIN32s, 3, 10)), 0);
    EXPECT_EQ(COwnerMenu::VersionClassFrom(nt, Info(VER_PLATFORM_WIN32_NT, 3, 51)), 1);
    EXPECT_EQ(COwnerMenu::VersionClassFrom(nt, Info(VER_PLATFORM_WIN32_NT, 4, 0)), 5);
    EXPECT_EQ(COwnerMenu::VersionClassFrom(nt, Info(VER_PLATFORM_WIN32_NT, 5, 0)), 6);
    EXPECT_EQ(COwnerMenu::VersionClassFrom(nt, Info(VER_PLATFORM_WIN32_NT, 5, 1)), 7);
    EXPECT_EQ(COwnerMenu::VersionClassFrom(nt, Info(VER_PLATFORM_WIN32_NT, 6, 1)), 1);
    EXPECT_EQ(COwnerMenu::VersionClassFrom(w9x, Info(VER_PLATFORM_WIN32_WINDOWS, 4, 0)), 2);
    EXPECT_EQ(COwnerMenu::VersionClassFrom(w9x, Info(VER_PLATFORM_WIN32_WINDOWS, 4, 10)), 3);
    EXPECT_EQ(COwnerMenu::VersionClassFrom(w9x, Info(VER_PLATFORM_WIN32_WINDOWS, 4, 90)), 4);

    EXPECT_TRUE(COwnerMenu::IsClassicThemeFile("C:\\WINDOWS\\Resources\\Themes\\Windows Classic.theme"));
    EXPECT_TRUE(COwnerMenu::IsClassicThemeFile("windows classic.THEME"));
    EXPECT_FALSE(COwnerMenu::IsClassicThemeFile("Luna.theme"));
    EXPECT_FALSE(COwnerMenu::IsClassicThemeFile("Classic.theme"));
    EXPECT_FALSE(COwnerMenu::IsClassicThemeFile(nullptr));

    // The layer reports XP without a theme key: the themed style's mode decides the look.
    EXPECT_EQ(COwnerMenu::GetVersionClass(), 7);
    EXPECT_TRUE(COwnerMenu::ThemedXPStyle());
    COwnerMenu::SetMenuDrawMode(COwnerMenu::LOOK_CLASSIC);
    EXPECT_FALSE(COwnerMenu::UsesXPLook());
    EXPECT_TRUE(COwnerMenu::DisabledSelectable());  // the classic look selects disabled items
    COwnerMenu::SetMenuDrawMode(COwnerMenu::LOOK_XP);
    EXPECT_TRUE(COwnerMenu::UsesXPLook());
    EXPECT_FALSE(COwnerMenu::DisabledSelectable());

    EXPECT_EQ(COwnerMenu::BlendTowardWhite(RGB(0, 100, 255), 0.5), RGB(128, 178, 255));
    EXPECT_EQ(COwnerMenu::BlendTowardBlack(RGB(0, 100, 255), 0.5), RGB(0, 50, 128));
    EXPECT_EQ(COwnerMenu::BlendTowardWhite(RGB(10, 20, 30), 1.0), RGB(10, 20, 30));
    EXPECT_EQ(COwnerMenu::BlendTowardBlack(RGB(10, 20, 30), 0.0), RGB(10, 20, 30));
}

TEST_F(OwnerMenuItems, LoadsTemplatesIntoOwnerDrawnItemsWithTheirStates) {
    COwnerMenu m;
    EXPECT_STREQ(m.GetRuntimeClass()->m_lpszClassName, "COwnerMenu");
    ASSERT_TRUE(m.LoadMenu(kMenuId));
    ASSERT_EQ(m.GetMenuItemCount(), 1u);
    CMenu* drop = m.GetSubMenu(0);
    ASSERT_TRUE(drop);
    auto* sub = COwnerMenu::FromOwnedHandle(drop->m_hMenu);
    ASSERT_TRUE(sub);
    EXPECT_EQ(static_cast<CMenu*>(sub), drop);  // the framework finds the same object for the handle
    ASSERT_EQ(sub->EntryCount(), 7);
    ASSERT_EQ(drop->GetMenuItemCount(), 7u);

    const char* texts[] = {"&Open\tCtrl+O", "&Save", "&Wrap", "", "&Print", "&More", "E&xit"};
    for (int i = 0; i < 7; ++i) {
        OwnerMenuData* d = sub->EntryAt(i);
        EXPECT_STREQ(static_cast<LPCSTR>(d->TextUtf8()), texts[i]) << i;
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_DATA;
        ASSERT_TRUE(GetMenuItemInfoA(drop->m_hMenu, UINT(i), TRUE, &mii));
        EXPECT_TRUE(mii.fType & MFT_OWNERDRAW) << i;
        // The record's full address comes back: item data is pointer-sized.
        EXPECT_EQ(mii.dwItemData, reinterpret_cast<ULONG_PTR>(d)) << i;
    }
    EXPECT_EQ(sub->EntryAt(3)->nMenuFlags, UINT(MF_SEPARATOR | MF_OWNERDRAW));
    EXPECT_EQ(sub->EntryAt(3)->nCommand, 0u);
    EXPECT_TRUE(drop->GetMenuState(ID_SAVE, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(drop->GetMenuState(ID_PRINT, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(drop->GetMenuState(ID_OPEN, MF_BYCOMMAND) & (MF_CHECKED | MF_GRAYED));

    // The nested popup is a menu of its own; the item after it still belongs to the outer one.
    auto* more = COwnerMenu::FromOwnedHandle(GetSubMenu(drop->m_hMenu, 5));
    ASSERT_TRUE(more);
    ASSERT_EQ(more->EntryCount(), 2);
    EXPECT_EQ(more->EntryAt(1)->nCommand, UINT_PTR(ID_FIT));
    EXPECT_EQ(sub->EntryAt(6)->nCommand, UINT_PTR(ID_EXIT));
    EXPECT_TRUE(sub->EntryAt(5)->nMenuFlags & MF_POPUP);

    // A missing resource, or a template that ends inside an item or never closes its popup,
    // leaves the loaded menu as it was.
    HMENU before = m.m_hMenu;
    EXPECT_FALSE(m.LoadMenu(999));
    EXPECT_FALSE(m.LoadMenu(kTruncatedMenuId));
    EXPECT_FALSE(m.LoadMenu(kUnendedMenuId));
    EXPECT_EQ(m.m_hMenu, before);
    EXPECT_EQ(sub->EntryCount(), 7);
    EXPECT_EQ(COwnerMenu::FromOwnedHandle(drop->m_hMenu), sub);

    // Destroying frees every handle, the nested ones included.
    HMENU inner = more->m_hMenu, outer = drop->m_hMenu;
    EXPECT_TRUE(m.DestroyMenu());
    EXPECT_FALSE(IsMenu(before));
    EXPECT_FALSE(IsMenu(outer));
    EXPECT_FALSE(IsMenu(inner));
    EXPECT_EQ(COwnerMenu::FromOwnedHandle(outer), nullptr);
}

TEST_F(OwnerMenuItems, MeasuresSeparatorsAndItemsInBothLooks) {
    COwnerMenu m;
    m.SetIconSize(16, 15);
    ASSERT_TRUE(m.AppendEntryA("Open\tCtrl+O", MF_OWNERDRAW, 701));
    ASSERT_TRUE(m.AppendEntryA(nullptr, MF_OWNERDRAW, 0));
    OwnerMenuData* item = m.EntryAt(0);
    OwnerMenuData* sep = m.EntryAt(1);
    ASSERT_EQ(sep->nMenuFlags, UINT(MF_SEPARATOR | MF_OWNERDRAW));
    const int cymenu = GetSystemMetrics(SM_CYMENU);
    ASSERT_EQ(cymenu, 19);
    const int text = TextWidth("Open\tCtrl+O");

    // XP look with 3-D images: pad 7, so the separator is max(19 / 2, 22 / 2) = 11 high.
    COwnerMenu::SetRaisedImages(TRUE);
    MEASUREITEMSTRUCT s = Measure(m, sep);
    EXPECT_EQ(s.itemHeight, 11u);
    EXPECT_EQ(s.itemWidth, 0u);
    MEASUREITEMSTRUCT i = Measure(m, item);
    EXPECT_EQ(int(i.itemWidth), 16 + 7 + text + 8);
    EXPECT_EQ(int(i.itemHeight), 22);
    // Without 3-D images the pad is 4.
    COwnerMenu::SetRaisedImages(FALSE);
    EXPECT_EQ(Measure(m, sep).itemHeight, 9u);
    EXPECT_EQ(int(Measure(m, item).itemWidth), 16 + 4 + text + 8);
    EXPECT_EQ(int(Measure(m, item).itemHeight), 19);
    COwnerMenu::SetRaisedImages(TRUE);

    // Classic look: text + two icon widths + 1; the pad is 4 whatever the 3-D setting.
    COwnerMenu::SetMenuDrawMode(COwnerMenu::LOOK_CLASSIC);
    i = Measure(m, item);
    EXPECT_EQ(int(i.itemWidth), text + 2 * 16 + 1);
    EXPECT_EQ(int(i.itemHeight), 19);
    m.SetIconSize(24, 24);
    EXPECT_EQ(int(Measure(m, item).itemHeight), 28);
    EXPECT_EQ(Measure(m, sep).itemHeight, 14u);
}

TEST_F(OwnerMenuItems, ImagesComeFromToolbarsBitmapsAndIconsSharedByCommand) {
    COwnerMenu m;
    ASSERT_TRUE(m.LoadMenu(kMenuId));
    m.SetBitmapBackground(kMagenta);
    m.SetIconSize(16, 16);
    EXPECT_FALSE(m.LoadToolbar(kBadToolbarId));  // no bitmap of that id
    EXPECT_FALSE(m.LoadToolbar(777));
    ASSERT_TRUE(m.LoadToolbar(kToolbarId));
    EXPECT_EQ(m.GetIconWidth(), 16);
    EXPECT_EQ(m.GetIconHeight(), 16);

    OwnerMenuData* open = m.EntryFor(ID_OPEN);
    OwnerMenuData* save = m.EntryFor(ID_SAVE);
    OwnerMenuData* zoom = m.EntryFor(ID_ZOOM);  // inside the nested popup
    OwnerMenuData* exit_item = m.EntryFor(ID_EXIT);
    ASSERT_TRUE(open && save && zoom && exit_item);
    EXPECT_GE(open->nSharedImage, 0);
    EXPECT_EQ(open->nSharedImage, COwnerMenu::SharedImageIndex(ID_OPEN));
    EXPECT_EQ(open->nImageOffset, 0);
    EXPECT_EQ(save->nImageOffset, 1);  // the separator button has no image
    EXPECT_EQ(zoom->nImageOffset, 2);
    EXPECT_EQ(exit_item->nSharedImage, -1);
    EXPECT_EQ(COwnerMenu::SharedImageIndex(ID_EXIT), -1);

    // The shared list holds the tool bar's images, masked with the background colour.
    CImageList* images = COwnerMenu::SharedImages();
    ASSERT_TRUE(images);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 16, 15);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all{0, 0, 16, 15};
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(dc, &all, white);
    ImageList_Draw(images->GetSafeHandle(), save->nSharedImage, dc, 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(GetPixel(dc, 8, 7), kImageGreen);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));  // the magenta border is transparent

    // A later menu reuses a command's image; an image from a bitmap or an icon replaces it.
    COwnerMenu other;
    ASSERT_TRUE(other.AppendEntryA("Open again", MF_OWNERDRAW, ID_OPEN));
    EXPECT_EQ(other.EntryAt(0)->nSharedImage, open->nSharedImage);
    ASSERT_TRUE(other.SetCommandImage(ID_OPEN, kIconBitmapId, kMagenta));
    EXPECT_EQ(other.EntryAt(0)->nSharedImage, open->nSharedImage);
    FillRect(dc, &all, white);
    ImageList_Draw(images->GetSafeHandle(), open->nSharedImage, dc, 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(GetPixel(dc, 8, 7), kImageYellow);
    EXPECT_FALSE(other.SetCommandImage(ID_OPEN, 4242, kMagenta));

    ASSERT_TRUE(other.AppendEntryA("Icon", MF_OWNERDRAW, 702));
    ICONINFO ii{};
    ii.fIcon = TRUE;
    ii.hbmColor = CreateCompatibleBitmap(dc, 16, 15);
    ii.hbmMask = CreateBitmap(16, 15, 1, 1, nullptr);
    HGDIOBJ o2 = SelectObject(dc, ii.hbmColor);
    HBRUSH blue = CreateSolidBrush(kImageBlue);
    FillRect(dc, &all, blue);
    SelectObject(dc, o2);
    HICON icon = CreateIconIndirect(&ii);
    ASSERT_TRUE(other.SetCommandImage(702, icon));
    const int icon_index = other.EntryAt(1)->nSharedImage;
    EXPECT_GE(icon_index, 0);
    FillRect(dc, &all, white);
    ImageList_Draw(images->GetSafeHandle(), icon_index, dc, 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(GetPixel(dc, 3, 3), kImageBlue);

    DestroyIcon(icon);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    DeleteObject(blue);
    DeleteObject(white);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
}

TEST_F(OwnerMenuItems, AppendsInsertsModifiesFindsAndRemovesItems) {
    COwnerMenu m;
    ASSERT_TRUE(m.AppendEntryA("First", MF_OWNERDRAW, 801));
    ASSERT_TRUE(m.AppendEntryA("Third", MF_OWNERDRAW, 803));
    ASSERT_TRUE(m.InsertEntryA(1, "Second", MF_BYPOSITION | MF_OWNERDRAW, 802));
    ASSERT_TRUE(m.InsertEntryA(801, "Zeroth", MF_BYCOMMAND, 800));  // before command 801
    ASSERT_TRUE(m.InsertEntryA(2, nullptr, MF_BYPOSITION, 0));      // an owner-drawn separator
    COwnerMenu* popup = m.AppendSubmenuA("Sub \xC3\xBC");           // UTF-8 text
    ASSERT_TRUE(popup);
    ASSERT_TRUE(popup->AppendEntryA("Deep", MF_OWNERDRAW, 900));

    ASSERT_EQ(m.EntryCount(), 6);
    const UINT want[] = {800, 801, 0, 802, 803};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(m.EntryAt(i)->nCommand, UINT_PTR(want[i])) << i;
        EXPECT_EQ(m.GetMenuItemID(i), want[i]) << i;
    }
    EXPECT_EQ(m.EntryAt(2)->nMenuFlags, UINT(MF_SEPARATOR | MF_OWNERDRAW));
    EXPECT_EQ(m.EntryAt(5)->TextWide()[4], char16_t(0xFC));
    EXPECT_STREQ(static_cast<LPCSTR>(m.EntryAt(5)->TextUtf8()), "Sub \xC3\xBC");

    int loc = -1;
    EXPECT_EQ(m.FindEntry(900, loc), popup);
    EXPECT_EQ(loc, 0);
    EXPECT_EQ(m.FindEntryByTextA("Third", loc), &m);
    EXPECT_EQ(loc, 4);
    EXPECT_EQ(m.FindEntry(999, loc), nullptr);
    EXPECT_EQ(loc, -1);

    // Modifying keeps the item owner-drawn with its record, and keeps its check.
    m.CheckMenuItem(802, MF_CHECKED);
    ASSERT_TRUE(m.ChangeEntryA("Second, renamed", 802));
    EXPECT_STREQ(static_cast<LPCSTR>(m.EntryAt(3)->TextUtf8()), "Second, renamed");
    EXPECT_TRUE(m.GetMenuState(802, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(m.GetMenuState(802, MF_BYCOMMAND) & MF_OWNERDRAW);
    ASSERT_TRUE(m.ChangeEntryA("Deep", "Deeper"));
    EXPECT_STREQ(static_cast<LPCSTR>(popup->EntryAt(0)->TextUtf8()), "Deeper");
    EXPECT_FALSE(m.ChangeEntryA("nothing", 4711));
    EXPECT_FALSE(m.ChangeEntryA("No such text", "x"));
    ASSERT_TRUE(m.SetEntryState(900, MF_GRAYED));
    EXPECT_TRUE(GetMenuState(popup->m_hMenu, 900, MF_BYCOMMAND) & MF_GRAYED);

    // Remove by command (found in the popup) and by position.
    EXPECT_TRUE(m.RemoveMenu(900, MF_BYCOMMAND));
    EXPECT_EQ(popup->EntryCount(), 0);
    EXPECT_TRUE(m.RemoveMenu(0, MF_BYPOSITION));
    EXPECT_EQ(m.EntryCount(), 5);
    EXPECT_EQ(m.EntryAt(0)->nCommand, UINT_PTR(801));
    EXPECT_FALSE(m.RemoveMenu(77, MF_BYPOSITION));
    // Deleting the popup destroys its handle and the object made for it.
    HMENU sub = popup->m_hMenu;
    EXPECT_TRUE(m.DeleteMenu(4, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(sub));
    EXPECT_EQ(COwnerMenu::FromOwnedHandle(sub), nullptr);
    EXPECT_EQ(m.EntryCount(), 4);
    EXPECT_EQ(int(m.GetMenuItemCount()), 4);
}

TEST_F(OwnerMenuItems, SynchronisesRecordsWithItemsAddedBehindItsBack) {
    COwnerMenu m;
    ASSERT_TRUE(m.AppendEntryA("Kept", MF_OWNERDRAW, 851));
    OwnerMenuData* kept = m.EntryAt(0);
    ASSERT_TRUE(AppendMenuA(m.m_hMenu, MF_STRING, 852, "Plain"));
    ASSERT_TRUE(AppendMenuA(m.m_hMenu, MF_SEPARATOR, 0, nullptr));
    ASSERT_EQ(m.EntryCount(), 1);
    m.RebuildEntries();
    ASSERT_EQ(m.EntryCount(), 3);
    EXPECT_EQ(m.EntryAt(0), kept);
    EXPECT_STREQ(static_cast<LPCSTR>(m.EntryAt(1)->TextUtf8()), "Plain");
    EXPECT_EQ(m.EntryAt(1)->nCommand, UINT_PTR(852));
    EXPECT_TRUE(m.EntryAt(2)->nMenuFlags & MF_SEPARATOR);
    for (int i = 0; i < 3; ++i) {
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_DATA;
        ASSERT_TRUE(GetMenuItemInfoA(m.m_hMenu, UINT(i), TRUE, &mii));
        EXPECT_TRUE(mii.fType & MFT_OWNERDRAW) << i;
        EXPECT_EQ(mii.dwItemData, reinterpret_cast<ULONG_PTR>(m.EntryAt(i))) << i;
    }
}

TEST_F(OwnerMenuItems, MnemonicsAnswerTheMenuCharacterMessage) {
    COwnerMenu m;
    ASSERT_TRUE(m.LoadMenu(kMenuId));
    CMenu* drop = m.GetSubMenu(0);
    EXPECT_EQ(COwnerMenu::AnswerMenuChar('x', MF_POPUP, drop), MAKELRESULT(6, MNC_EXECUTE));
    EXPECT_EQ(COwnerMenu::AnswerMenuChar('S', MF_POPUP, drop), MAKELRESULT(1, MNC_EXECUTE));
    EXPECT_EQ(COwnerMenu::AnswerMenuChar('q', MF_POPUP, drop), 0);
    // Accelerator text and literal ampersands are not mnemonics.
    COwnerMenu plain;
    ASSERT_TRUE(plain.AppendEntryA("Fish && Chips\tC&trl", MF_OWNERDRAW, 861));
    ASSERT_TRUE(plain.AppendEntryA("Ca&ke", MF_OWNERDRAW, 862));
    EXPECT_EQ(COwnerMenu::AnswerMenuChar('c', MF_POPUP, &plain), 0);
    EXPECT_EQ(COwnerMenu::AnswerMenuChar('t', MF_POPUP, &plain), 0);
    EXPECT_EQ(COwnerMenu::AnswerMenuChar('K', MF_POPUP, &plain), MAKELRESULT(1, MNC_EXECUTE));
    // A plain framework menu is not ours.
    CMenu foreign;
    foreign.CreatePopupMenu();
    EXPECT_EQ(COwnerMenu::AnswerMenuChar('k', MF_POPUP, &foreign), 0);
}
