// An owner-drawn popup menu that shows a command image beside each item, in a classic look or
// a flat XP look. Images come from tool-bar resources, bitmaps or icons and are shared by all
// menus through one image list keyed by command id.
#pragma once

#include <vector>

#include "afxcmn.h"
#include "afxwin.h"

// One item of an owner-drawn menu; the menu hands a pointer to it to the window system as the
// item's data, so the record lives on the heap for as long as the item.
class OwnerMenuData {
public:
    OwnerMenuData() = default;
    ~OwnerMenuData();
    OwnerMenuData(const OwnerMenuData&) = delete;
    OwnerMenuData& operator=(const OwnerMenuData&) = delete;

    void SetAnsiString(LPCSTR text);
    void SetWideString(const WCHAR* text);
    const WCHAR* GetWideString() const { return m_szMenuText; }
    CString GetString() const;  // as UTF-8

    WCHAR* m_szMenuText = nullptr;
    int xoffset = -1;
    int global_offset = -1;  // index in the shared image list
    BOOL threeD = FALSE;
    int menuIconNormal = -1;
    UINT nFlags = 0;
    UINT_PTR nID = 0;  // a popup item's id is its submenu handle
    UINT syncflag = 0;
    CImageList* bitmap = nullptr;
    void* pContext = nullptr;
};

class COwnerMenu : public CMenu {
    DECLARE_DYNAMIC(COwnerMenu)
public:
    enum { DRAWMODE_ORIGINAL = 0, DRAWMODE_XP = 1 };

    COwnerMenu();
    ~COwnerMenu() override;

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override;
    BOOL LoadMenu(UINT nIDResource) override;
    BOOL LoadMenu(LPCSTR lpszResourceName) override;
    BOOL DestroyMenu() override;

    // ---- looks (process-wide) ----
    // Sets the mode used under the XP themed style and the one used otherwise.
    static void SetMenuDrawMode(UINT mode);
    static UINT GetMenuDrawMode();  // the mode in effect now
    static BOOL UsesXPLook();       // the current mode is the XP look
    static void SetSelectDisableMode(BOOL select);  // for the look in effect
    static BOOL GetSelectDisableMode();
    static void SetXPBitmap3D(BOOL on);
    static BOOL GetXPBitmap3D();
    // 0 Windows 3.x/Win32s, 1 NT, 2 9x, 3 98, 4 Me, 5 NT 4, 6 2000, 7 XP.
    static int GetVersionClass();
    static int VersionClassFrom(DWORD version, const OSVERSIONINFOA& info);
    static BOOL IsClassicThemeFile(LPCSTR themeFile);  // the theme key's value names the classic theme
    static BOOL IsWinXPThemed();

    // ---- settings ----
    void SetBitmapBackground(COLORREF color);
    void UnSetBitmapBackground();
    COLORREF GetBitmapBackground() const;  // the mask colour images are added with
    void SetIconSize(int width, int height);
    int GetIconWidth() const { return m_iconX; }
    int GetIconHeight() const { return m_iconY; }

    // ---- items ----
    // A command id of 0 adds a separator; MF_POPUP takes a submenu handle as the id.
    BOOL AppendODMenuA(LPCSTR lpstrText, UINT nFlags = MF_OWNERDRAW, UINT_PTR nID = 0, int nIconNormal = -1);
    BOOL AppendODMenuW(const WCHAR* lpstrText, UINT nFlags = MF_OWNERDRAW, UINT_PTR nID = 0, int nIconNormal = -1);
    BOOL AppendODMenuA(LPCSTR lpstrText, UINT nFlags, UINT_PTR nID, CImageList* il, int xoffset);
    BOOL AppendODMenuW(const WCHAR* lpstrText, UINT nFlags, UINT_PTR nID, CImageList* il, int xoffset);
    BOOL InsertODMenuA(UINT nPosition, LPCSTR lpstrText, UINT nFlags = MF_OWNERDRAW, UINT_PTR nID = 0,
                       int nIconNormal = -1);
    BOOL InsertODMenuW(UINT nPosition, const WCHAR* lpstrText, UINT nFlags = MF_OWNERDRAW, UINT_PTR nID = 0,
                       int nIconNormal = -1);
    BOOL InsertODMenuA(UINT nPosition, LPCSTR lpstrText, UINT nFlags, UINT_PTR nID, CImageList* il, int xoffset);
    BOOL InsertODMenuW(UINT nPosition, const WCHAR* lpstrText, UINT nFlags, UINT_PTR nID, CImageList* il,
                       int xoffset);
    // By command id (searching submenus): a NULL text keeps the text; nIconNormal -1 keeps the image.
    BOOL ModifyODMenuA(LPCSTR lpstrText, UINT_PTR nID, int nIconNormal = -1);
    BOOL ModifyODMenuW(const WCHAR* lpstrText, UINT_PTR nID, int nIconNormal = -1);
    BOOL ModifyODMenuA(LPCSTR lpstrText, UINT_PTR nID, CImageList* il, int xoffset);
    BOOL ModifyODMenuW(const WCHAR* lpstrText, UINT_PTR nID, CImageList* il, int xoffset);
    // By text: gives the item whose text is `lpstrText` the new text (and image).
    BOOL ModifyODMenuA(LPCSTR lpstrText, LPCSTR lpstrNewText, int nIconNormal = -1);
    BOOL ModifyODMenuW(const WCHAR* lpstrText, const WCHAR* lpstrNewText, int nIconNormal = -1);
    // Sets the menu flags (MF_CHECKED, MF_GRAYED...) of an item by command id.
    BOOL SetODMenuFlags(UINT_PTR nID, UINT nFlags);
    // Creates a new owner-drawn popup and appends it; the menu owns it.
    COwnerMenu* AppendODPopupMenuA(LPCSTR lpstrText);
    COwnerMenu* AppendODPopupMenuW(const WCHAR* lpstrText);

    // ---- images ----
    BOOL LoadToolbar(UINT nToolBar);
    // An image from a bitmap resource (its first square) or from an icon for a command.
    BOOL SetItemImage(UINT_PTR nID, UINT nBitmap, COLORREF crTransparent);
    BOOL SetItemImage(UINT_PTR nID, HICON hIcon);
    static int GlobalImageIndex(UINT_PTR nID);  // -1 when the command has no image
    static CImageList* GlobalImages();

    // ---- find, remove, delete ----
    // The menu (this or a submenu) that holds the command, and its position there.
    COwnerMenu* FindMenuOption(UINT_PTR nID, int& nLoc);
    COwnerMenu* FindMenuOptionA(LPCSTR lpstrText, int& nLoc);
    COwnerMenu* FindMenuOptionW(const WCHAR* lpstrText, int& nLoc);
    OwnerMenuData* FindMenuItem(UINT_PTR nID);
    OwnerMenuData* GetItemData(int nPosition) const;
    int GetItemDataCount() const { return int(m_MenuList.size()); }
    // Remove keeps a removed submenu alive; delete destroys it. Both free the item's record.
    BOOL RemoveMenu(UINT nPosition, UINT nFlags);
    BOOL DeleteMenu(UINT nPosition, UINT nFlags);
    // Rebuilds the item records from the menu handle's own items (after outside changes).
    void SynchronizeMenu();
    // The COwnerMenu that owns a menu handle, or NULL.
    static COwnerMenu* FromOwnedHandle(HMENU hMenu);

    // WM_MENUCHAR: the item whose "&" mnemonic is the typed character.
    static LRESULT FindKeyboardShortcut(UINT nChar, UINT nFlags, CMenu* pMenu);

    // Colour helpers: factor in (0, 1); others leave the colour.
    static COLORREF LightenColor(COLORREF col, double factor);
    static COLORREF DarkenColor(COLORREF col, double factor);

protected:
    void DrawItemClassic(LPDRAWITEMSTRUCT lpDIS);
    void DrawItemXP(LPDRAWITEMSTRUCT lpDIS);
    BOOL AddItem(int nPosition, const WCHAR* text, UINT nFlags, UINT_PTR nID, int nIconNormal, CImageList* il,
                 int xoffset);
    BOOL ApplyImage(OwnerMenuData* data, int nIconNormal, CImageList* il, int xoffset);
    BOOL UpdateItem(int nPosition, OwnerMenuData* data);
    BOOL RemoveItem(UINT nPosition, UINT nFlags, BOOL destroy);
    void DeleteItemData();
    COwnerMenu* OwnedChild(HMENU h) const;
    BOOL BuildFromTemplate(const BYTE* data, DWORD size);

    std::vector<OwnerMenuData*> m_MenuList;
    std::vector<HMENU> m_SubMenus;
    int m_iconX = 16;
    int m_iconY = 15;
    COLORREF m_bitmapBackground = RGB(192, 192, 192);
    BOOL m_bitmapBackgroundFlag = FALSE;
    BOOL disable_old_style = FALSE;
    CImageList* checkmaps = nullptr;
    BOOL checkmapsshare = FALSE;
    int m_selectcheck = -1;
    int m_unselectcheck = -1;
    BOOL m_bDynIcons = FALSE;
    BOOL m_loadmenu = FALSE;
};
