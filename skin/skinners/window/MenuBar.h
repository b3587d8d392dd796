// The menu bar of a skinned frame: the frame's menu taken away from the system and shown under
// the caption, one item per top-level entry, in rows that wrap to the frame's width. Items are
// hot-tracked, open their submenus as skinned popup menus by click or by the frame's menu keys,
// and hand the open menu on to their neighbours. While an MDI child is maximised four small
// buttons of that child (system menu, minimise, restore, close) sit at the ends of the bar.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "FrameElements.h"

class CSkinFrameWnd;
class CSkinPopupMenu;
class CSkinCaptionTextObject;

class CSkinMenuBarItem : public CSkinArea {
public:
    enum State { STATE_NORMAL = 0, STATE_HOT = 1, STATE_OPEN = 2 };

    CSkinMenuBarItem(CSkinWindow* host, CSkinObject* object);
    ~CSkinMenuBarItem() override;

    void Draw(HDC hdc) override;
    // Neither disabled nor grayed in its menu.
    bool IsEnabled() const;
    bool HasSubMenu() const { return m_hSubMenu != nullptr; }
    // Shows the submenu as a popup under the item (above it when there is no room below),
    // inside the work area of the item's monitor; nothing for a command item. False when the
    // owner's answer to WM_INITMENUPOPUP took the item away (it removed the skin).
    bool OpenPopup();
    void ClosePopup();
    // The deepest open popup window of this item, or null.
    HWND GetPopupKeyWindow() const;
    void SetRect(const RECT& rc) { m_rc = rc; }

    std::string m_strText;  // with its '&'
    UINT m_nId = UINT(-1);  // UINT(-1) for a submenu
    int m_nPos = 0;
    HMENU m_hSubMenu = nullptr;
    HMENU m_hOwnerMenu = nullptr;
    int m_nState = STATE_NORMAL;
    int m_chMnemonic = 0;  // upper case, 0 for none
    std::unique_ptr<CSkinPopupMenu> m_pPopup;
};

// One of the four MDI child buttons.
class CSkinMenuBarButton {
public:
    enum State { STATE_NORMAL = 0, STATE_HOT = 1, STATE_PRESSED = 2 };
    virtual ~CSkinMenuBarButton() = default;

    void SetImages(const SkinImagePart* normal, const SkinImagePart* hot, const SkinImagePart* pressed,
                   CSkinFile* file);
    // The look of the state, the normal one where that has no picture, where the host shows
    // the button (mirrored in a right-to-left host).
    void Draw(HDC hdc, HWND host);

    const SkinImagePart* m_pImages[3] = {};
    RECT m_rc = {0, 0, 0, 0};
    int m_nState = STATE_NORMAL;
    CSkinFile* m_pFile = nullptr;
};

class CSkinMenuBar : public CSkinArea {
public:
    enum Button { BUTTON_SYSMENU = 0, BUTTON_MINIMIZE, BUTTON_RESTORE, BUTTON_CLOSE, BUTTON_COUNT };
    static constexpr UINT kHoverInterval = 100;

    CSkinMenuBar(int left, int top, int right, int bottom, CSkinFrameWnd* host, CSkinObject* object);
    ~CSkinMenuBar() override;

    void Draw(HDC hdc) override;
    CSkinObject* SetSkinObject(CSkinObject* object) override;
    void OnRButtonUp(int, int) override {}
    void OnRButtonDown(int, int) override {}
    // Points in window coordinates as the host received them.
    void OnMouseMove(int x, int y) override;
    void OnLButtonUp(int x, int y) override;
    void OnLButtonDown(int x, int y) override;
    // Places the items (and the MDI buttons) in the bar rectangle.
    virtual void LayoutItems();

    // One item per entry with text; separators and entries without text are left out.
    BOOL RebuildFromMenu(HMENU menu);
    HMENU GetMenu() const { return m_hMenu; }
    // Hands the menu back: the bar shows nothing afterwards.
    HMENU ReleaseMenu();
    // The bar height for a frame of this client width (0 without items).
    int CalcHeight(int width);
    // The bar in window coordinates under the host's caption, as high as its rows.
    void GetBarRect(RECT* rc);
    bool IsPopupOpen() const { return m_pOpenItem != nullptr; }
    bool HasMdiButtons();
    // The frame's menu keys: -1 (0xFFFFFFFF) closes, VK_LEFT and VK_RIGHT move the open menu,
    // anything else opens the item with that mnemonic (0: there is none).
    LRESULT OnMenuKey(UINT key);
    // The open popup ended: its item closes and the bar is drawn again.
    void OnPopupLoopEnd();
    // Where the keys go while a popup is open (the deepest open submenu); null when none is.
    HWND GetPopupKeyWindow() const;
    UINT_PTR GetTimerId() const { return reinterpret_cast<UINT_PTR>(this); }
    void OnHoverTimer();
    bool IsHoverTimerRunning() const { return m_bTimer; }

    int GetItemCount() const { return int(m_items.size()); }
    CSkinMenuBarItem* GetItem(int index) const;
    CSkinMenuBarItem* GetHotItem() const { return m_pHotItem; }
    CSkinMenuBarItem* GetOpenItem() const { return m_pOpenItem; }
    CSkinMenuBarButton& GetButton(int index) { return m_buttons[index]; }

private:
    struct Placement {
        std::vector<RECT> items;
        int rows = 0;
        int rowHeight = 0;
    };
    CSkinCaptionTextObject* BarObject() const;
    HFONT CreateBarFont() const;
    SIZE MeasureItem(HDC hdc, const CSkinMenuBarItem& item) const;
    // Where the items go in a bar of this inner rectangle: layout and height come from here
    // alike, so that the rows drawn are the rows reserved.
    Placement Place(const RECT& inner, bool mdiButtons) const;
    void LayoutButtons(const RECT& inner, int rowHeight);
    CSkinMenuBarItem* ItemAt(int x, int y) const;
    int ButtonAt(int x, int y) const;
    // x mirrored in a right-to-left host.
    int BarX(int x) const;

    void OpenItem(CSkinMenuBarItem* item);
    // Closes the open popup; the part of the host it covered is repainted.
    void CloseOpenPopup();
    void ClickItem(CSkinMenuBarItem* item);
    void HotTrackItem(CSkinMenuBarItem* item);
    void SwitchOpenItem(CSkinMenuBarItem* item);
    bool ResetButtons();
    void StartTimer();
    void StopTimer();
    void RedrawBar();
    // While a popup is open the frame holds the keyboard focus and passes keys to the popup.
    void TakeKeys();
    void ReturnKeys();

    HMENU m_hMenu = nullptr;
    std::vector<std::unique_ptr<CSkinMenuBarItem>> m_items;
    CSkinMenuBarButton m_buttons[BUTTON_COUNT];
    CSkinMenuBarItem* m_pHotItem = nullptr;
    CSkinMenuBarItem* m_pOpenItem = nullptr;
    CSkinFrameWnd* m_pFrame;
    bool m_bTimer = false;
    HWND m_hFocusBeforeMenu = nullptr;
};
