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

    void SetTextUtf8(LPCSTR text);
    void SetTextWide(const WCHAR* text);
    const WCHAR* TextWide() const { return pszText; }
    CString TextUtf8() const;

    WCHAR* pszText = nullptr;
    int nImageOffset = -1;  // the image's index in the list it was taken from
    int nSharedImage = -1;  // index in the shared image list
    BOOL b3D = FALSE;
    int nBitmapId = -1;     // the bitmap resource the image was made from
    UINT nMenuFlags = 0;    // the MF_ flags the item was added with
    UINT_PTR nCommand = 0;  // a popup item's id is its submenu handle
    BOOL bSynced = FALSE;   // rebuilt from the menu handle's own items
    CImageList* pOwnImages = nullptr;
    void* pUser = nullptr;  // the caller's word
};

class COwnerMenu : public CMenu {
    DECLARE_DYNAMIC(COwnerMenu)
public:
    // The two looks SetMenuDrawMode chooses between.
    enum { LOOK_CLASSIC = 0, LOOK_XP = 1 };

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
    static UINT CurrentLook();      // the mode in effect now
    static BOOL UsesXPLook();       // the current mode is the XP look
    static void SetDisabledSelectable(BOOL select);  // for the look in effect
    static BOOL DisabledSelectable();
    static void SetRaisedImages(BOOL on);
    static BOOL RaisedImages();
    // 0 Windows 3.x/Win32s, 1 NT, 2 9x, 3 98, 4 Me, 5 NT 4, 6 2000, 7 XP.
    static int GetVersionClass();
    static int VersionClassFrom(DWORD version, const OSVERSIONINFOA& info);
    static BOOL IsClassicThemeFile(LPCSTR themeFile);  // the theme key's value names the classic theme
    static BOOL ThemedXPStyle();

    // ---- settings ----
    void SetBitmapBackground(COLORREF color);
    void ClearBitmapBackground();
    COLORREF MaskColor() const;  // the mask colour images are added with
    void SetIconSize(int width, int height);
    int GetIconWidth() const { return m_nIconWidth; }
    int GetIconHeight() const { return m_nIconHeight; }

    // ---- items ----
    // A command id of 0 adds a separator; MF_POPUP takes a submenu handle as the id.
    BOOL AppendEntryA(LPCSTR lpszLabel, UINT nMenuFlags = MF_OWNERDRAW, UINT_PTR nCommand = 0, int nBitmapId = -1);
    BOOL AppendEntryW(const WCHAR* lpszLabel, UINT nMenuFlags = MF_OWNERDRAW, UINT_PTR nCommand = 0,
                      int nBitmapId = -1);
    BOOL AppendEntryA(LPCSTR lpszLabel, UINT nMenuFlags, UINT_PTR nCommand, CImageList* pImages, int nImageOffset);
    BOOL AppendEntryW(const WCHAR* lpszLabel, UINT nMenuFlags, UINT_PTR nCommand, CImageList* pImages,
                      int nImageOffset);
    BOOL InsertEntryA(UINT nPosition, LPCSTR lpszLabel, UINT nMenuFlags = MF_OWNERDRAW, UINT_PTR nCommand = 0,
                      int nBitmapId = -1);
    BOOL InsertEntryW(UINT nPosition, const WCHAR* lpszLabel, UINT nMenuFlags = MF_OWNERDRAW, UINT_PTR nCommand = 0,
                      int nBitmapId = -1);
    BOOL InsertEntryA(UINT nPosition, LPCSTR lpszLabel, UINT nMenuFlags, UINT_PTR nCommand, CImageList* pImages,
                      int nImageOffset);
    BOOL InsertEntryW(UINT nPosition, const WCHAR* lpszLabel, UINT nMenuFlags, UINT_PTR nCommand, CImageList* pImages,
                      int nImageOffset);
    // By command id (searching submenus): a NULL text keeps the text; nBitmapId -1 keeps the image.
    BOOL ChangeEntryA(LPCSTR lpszLabel, UINT_PTR nCommand, int nBitmapId = -1);
    BOOL ChangeEntryW(const WCHAR* lpszLabel, UINT_PTR nCommand, int nBitmapId = -1);
    BOOL ChangeEntryA(LPCSTR lpszLabel, UINT_PTR nCommand, CImageList* pImages, int nImageOffset);
    BOOL ChangeEntryW(const WCHAR* lpszLabel, UINT_PTR nCommand, CImageList* pImages, int nImageOffset);
    // By text: gives the item whose text is `lpszLabel` the new text (and image).
    BOOL ChangeEntryA(LPCSTR lpszLabel, LPCSTR lpszNewLabel, int nBitmapId = -1);
    BOOL ChangeEntryW(const WCHAR* lpszLabel, const WCHAR* lpszNewLabel, int nBitmapId = -1);
    // Sets the menu flags (MF_CHECKED, MF_GRAYED...) of an item by command id.
    BOOL SetEntryState(UINT_PTR nCommand, UINT nMenuFlags);
    // Creates a new owner-drawn popup and appends it; the menu owns it.
    COwnerMenu* AppendSubmenuA(LPCSTR lpszLabel);
    COwnerMenu* AppendSubmenuW(const WCHAR* lpszLabel);

    // ---- images ----
    BOOL LoadToolbar(UINT nToolbarId);
    // An image from a bitmap resource (its first square) or from an icon for a command.
    BOOL SetCommandImage(UINT_PTR nCommand, UINT nBitmapId, COLORREF crKey);
    BOOL SetCommandImage(UINT_PTR nCommand, HICON hIcon);
    static int SharedImageIndex(UINT_PTR nCommand);  // -1 when the command has no image
    static CImageList* SharedImages();

    // ---- find, remove, delete ----
    // The menu (this or a submenu) that holds the command, and its position there.
    COwnerMenu* FindEntry(UINT_PTR nCommand, int& nIndex);
    COwnerMenu* FindEntryByTextA(LPCSTR lpszLabel, int& nIndex);
    COwnerMenu* FindEntryByTextW(const WCHAR* lpszLabel, int& nIndex);
    OwnerMenuData* EntryFor(UINT_PTR nCommand);
    OwnerMenuData* EntryAt(int nPosition) const;
    int EntryCount() const { return int(m_entries.size()); }
    // Remove keeps a removed submenu alive; delete destroys it. Both free the item's record.
    BOOL RemoveMenu(UINT nPosition, UINT nMenuFlags);
    BOOL DeleteMenu(UINT nPosition, UINT nMenuFlags);
    // Rebuilds the item records from the menu handle's own items (after outside changes).
    void RebuildEntries();
    // The COwnerMenu that owns a menu handle, or NULL.
    static COwnerMenu* FromOwnedHandle(HMENU hMenu);

    // WM_MENUCHAR: the item whose "&" mnemonic is the typed character.
    static LRESULT AnswerMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);

    // Colour helpers: factor in (0, 1); others leave the colour.
    static COLORREF BlendTowardWhite(COLORREF col, double factor);
    static COLORREF BlendTowardBlack(COLORREF col, double factor);

protected:
    void PaintClassicItem(LPDRAWITEMSTRUCT lpDIS);
    void PaintXPItem(LPDRAWITEMSTRUCT lpDIS);
    BOOL PlaceEntry(int nPosition, const WCHAR* text, UINT nMenuFlags, UINT_PTR nCommand, int nBitmapId,
                    CImageList* pImages, int nImageOffset);
    BOOL AttachImage(OwnerMenuData* data, int nBitmapId, CImageList* pImages, int nImageOffset);
    BOOL RefreshEntry(int nPosition, OwnerMenuData* data);
    BOOL TakeOutEntry(UINT nPosition, UINT nMenuFlags, BOOL destroy);
    void FreeEntries();
    COwnerMenu* ChildFor(HMENU h) const;
    BOOL ReadTemplate(const BYTE* data, DWORD size);

    std::vector<OwnerMenuData*> m_entries;
    std::vector<HMENU> m_submenus;
    int m_nIconWidth = 16;
    int m_nIconHeight = 15;
    COLORREF m_crMask = RGB(192, 192, 192);
    BOOL m_bMaskSet = FALSE;
    BOOL m_bPlainDisabled = FALSE;
    CImageList* m_pCheckImages = nullptr;
    BOOL m_bCheckImagesShared = FALSE;
    int m_nCheckedImage = -1;
    int m_nUncheckedImage = -1;
    BOOL m_bDynamicIcons = FALSE;
    BOOL m_bFromResource = FALSE;
};
