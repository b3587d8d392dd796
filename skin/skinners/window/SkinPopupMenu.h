// The skinned popup menu: one popup window of the engine's class for one menu, painted from the
// skin's PopupMenu object, hot-tracked by mouse and keys, opening submenus as child popups after
// a hover delay and scrolling when the menu is taller than its window. The menu bar opens these
// popups directly; a tracked popup and the system menu run in the engine's menu loop.
#pragma once

#include <windows.h>

#include <memory>

#include "SkinMenuModel.h"
#include "SkinObjectTypes.h"
#include "SkinWindow.h"
#include "SkinnerLifeline.h"

class CSkinPopupMenu : public CSkinWindow {
public:
    // How the chosen command reaches the owner.
    enum Mode : int {
        MODE_MENUBAR = 0,    // WM_COMMAND; clicks and moves outside are handed back to the owner
        MODE_SYSTEM = 1,     // WM_SYSCOMMAND
        MODE_TRACKED = 2,    // WM_COMMAND
        MODE_RETURNCMD = 3,  // kept for the caller (GetResult)
    };
    static constexpr UINT_PTR kSubmenuTimer = 1001;
    static constexpr UINT kSubmenuDelay = 500;  // ms of hover before a submenu opens
    static constexpr int kMinRowRemainder = 10;   // a remainder below this many pixels costs a row

    CSkinPopupMenu(HWND owner, CSkinPopupMenu* parent, int mode);
    ~CSkinPopupMenu() override;

    BOOL CreatePopupWindow();
    // Reads the menu, measures the popup and starts unscrolled.
    void LoadMenu(HMENU menu);
    SIZE GetPopupSize();
    // Places a tracked popup at (x, y) with the TPM_ flags inside the nearest work area and shows it.
    void ShowAt(int x, int y, UINT flags);
    // Closes the open submenu, hides and destroys the window. The object stays.
    void DestroyPopup();
    CSkinPopupMenu* GetRootMenu();
    // The deepest open submenu, or this popup.
    CSkinPopupMenu* GetInnermost();
    CSkinPopupMenu* GetChild() const { return m_pChild.get(); }
    HWND GetOwner() const { return m_hOwner; }
    int GetMode() const { return m_nMode; }
    bool IsDone() const { return m_bDone != 0; }
    UINT GetResult() const { return m_nResultCmd; }
    void ClearTracking() { m_bTracking = FALSE; }

    // What the tests and the menu bar look at.
    CSkinMenuModel& Model() { return *m_pModel; }
    int GetSelected() const { return m_nSelected; }
    int GetFirstVisible() const { return m_nFirstVisible; }
    int GetVisibleRows() const { return m_nVisibleRows; }
    bool IsScrolling() const { return m_bScrolling != 0; }
    int GetRowHeight() const { return m_nRowHeight; }
    // Entry i's row in client coordinates (empty when it is scrolled out of sight).
    RECT GetRowRect(int index);
    const RECT& GetScrollUpRect() const { return m_rcScrollUp; }
    const RECT& GetScrollDownRect() const { return m_rcScrollDown; }
    // -1 outside the rows (or past the last entry), else the entry under the client point.
    int HitIndex(POINT client);

    // The skin's object, or the built-in look when none is set.
    CSkinPopupMenuObject* GetMenuObject();
    CSkinObject* SetSkinObject(CSkinObject* object) override;
    void DrawFrame(HDC hdc, BOOL active) override;
    LRESULT OnMenuKey(WPARAM key, LPARAM keyData) override;
    void OnShowWindow(WPARAM shown, LPARAM) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    static LRESULT CALLBACK PopupWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // Where a tracked popup of the size goes for (x, y) and the TPM_ alignment flags.
    static RECT PlacePopup(int x, int y, SIZE size, UINT flags, bool rightToLeft);

private:
    // ---- drawing (SkinPopupMenuDraw.cpp) ----
    int MeasureRowHeight();
    void MeasureRows();  // row height, scrolling and the scroll areas for the client height
    void OnPaint();
    void DrawEntry(HDC hdc, int index, const RECT& row);
    void DrawEntryImage(HDC hdc, const CSkinMenuEntry& e, const RECT& column, bool selectable);
    void DrawScrollArrows(HDC hdc);
    void RepaintRow(int index);
    HFONT CreateMenuFont();
    bool IsRightToLeft() const;

    // ---- mouse and keys ----
    void OnMouseMove(POINT client);
    // 1 a command was chosen (its id in *chosen), 2 the click was inside and handled, 0 outside.
    int OnButtonDown(UINT msg, POINT client, UINT* chosen);
    void OnKeyDown(UINT key);
    void MoveSelection(int step);
    void ChooseByMnemonic(UINT key);
    // False when the owner's answer to WM_MENUSELECT closed this popup.
    bool Select(int index, UINT how);
    void OnTimer(UINT_PTR id);
    void OpenSubmenu();
    void CloseChild();
    // The root ends the menu: the owner is told, and the command (0 for none) delivered by mode.
    void EndMenu(UINT command);
    void OnCommandMessage(UINT command);
    void OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    void OnNcPaint();
    RECT RowArea();
    // A shown root popup keeps its owner's top-level window looking active (the window's
    // WM_NCACTIVATE of a deactivation is answered for it) until it hides or goes.
    void HoldOwnerCaption();
    void ReleaseOwnerCaption();

    BOOL m_bTracking = TRUE;
    HMENU m_hMenu = nullptr;
    CSkinPopupMenu* m_pParent = nullptr;
    std::unique_ptr<CSkinPopupMenu> m_pChild;
    HWND m_hOwner = nullptr;
    BOOL m_bDone = FALSE;
    UINT m_nResultCmd = 0;
    RECT m_rcScrollDown = {0, 0, 0, 0};
    RECT m_rcScrollUp = {0, 0, 0, 0};
    int m_nRowHeight = 0;
    BOOL m_bScrolling = FALSE;
    int m_nFirstVisible = 0;
    int m_nVisibleRows = 0;
    int m_nSelected = -1;
    int m_nMode = MODE_TRACKED;
    std::unique_ptr<CSkinMenuModel> m_pModel;
    CSkinPopupMenuObject m_defaultObject;
    HINSTANCE m_hInstance = nullptr;
    HWND m_hHeldOwner = nullptr;  // the top-level window whose caption this popup holds
    // The owner's answers may close this popup (it removes the skin or ends the menu).
    CSkinLifeline m_life;
};


// Makes these popups the engine's popup-menu service (SkinPopupMenuService.cpp).
void InstallSkinPopupMenu();
