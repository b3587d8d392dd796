// The skin of a frame window (top-level or MDI child) with a FrameWnd object: the whole
// non-client area comes from the skin (frame parts, caption elements, the menu bar under the
// caption), with the window region, hit testing, caption clicks and double clicks, minimise,
// maximise and restore, and the cached client background. A top-level frame also skins its
// MDI client window, whose background comes from the same object.
#pragma once

#include <memory>

#include "FrameSupport.h"
#include "SkinWindow.h"

class CSkinMenuBar;
class CSkinFrameWndObject;

class CSkinFrameWnd : public CSkinFramedWindow {
public:
    // The style a top-level frame shows its saved procedure while that handles a message whose
    // default handling would draw the system frame.
    static constexpr DWORD kTopLevelPaintStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

    CSkinFrameWnd();
    ~CSkinFrameWnd() override;

    CSkinObject* SetSkinObject(CSkinObject* object) override;
    HMENU GetMenu() override;
    BOOL SetMenu(HMENU menu) override;
    LRESULT OnMenuKey(WPARAM key, LPARAM keyData) override;
    HWND GetActiveMdiChild(BOOL* maximised) override;
    void Detach() override;
    BOOL Attach(HWND hwnd) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // The menu bar's rectangle.
    void GetExtraMargins(RECT* rc) override;
    void DrawExtra(HDC hdc) override;

    // Points in window coordinates.
    virtual void OnNcLButtonUp(int hit, int x, int y);
    virtual void OnNcLButtonDown(int hit, int x, int y);
    virtual void OnNcLButtonDblClk(int hit, int x, int y);
    virtual void OnNcMouseMove(int hit, int x, int y);
    virtual LRESULT HitTest(int x, int y);
    virtual void GetMinMaxInfo(MINMAXINFO* info);

    // What the menu bar's buttons do to the maximised MDI child.
    void ShowMdiChildSystemMenu();
    void MinimizeMdiChild();
    void RestoreMdiChild();
    void CloseMdiChild();

    CSkinMenuBar& MenuBar() { return *m_pMenuBar; }
    CSkinClientBackground& Background() { return m_background; }
    CSkinFrameWndObject* GetFrameObject() const;
    bool IsMdiChild() const { return m_bMdiChild; }
    DWORD GetAttachStyle() const { return m_dwAttachStyle; }
    HWND GetMdiClient() const { return m_hMdiClient; }

private:
    LRESULT FrameMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT MouseMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT MdiChildMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool* handled);
    void OnNcCalcSize(RECT* rc);
    LRESULT OnNcPaint(WPARAM update);
    LRESULT OnNcActivate(WPARAM active);
    LRESULT OnCaptionChange(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground(HDC hdc);
    LRESULT OnClickOutsidePopup(UINT msg, LPARAM screenPoint);
    LRESULT OnPopupEnded(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    // The menu an application set on the window again goes into the menu bar.
    void TakeOverWindowMenu();
    void TakeMenu(HWND hwnd, HMENU menu);
    void GiveMenuBack(HWND hwnd);
    void AttachMdiClient();
    void RepaintWholeFrame();
    bool IsMaximised();
    POINT WindowPoint(LPARAM screenPoint);
    // The caption elements, then the menu bar, take the mouse message; true when one did.
    bool GiveMouseToFrameElements(UINT msg, int x, int y, void (CSkinMenuBar::*onBar)(int, int));
    // The saved procedure without the system menu meanwhile (also on the top-level ancestor
    // of an MDI child), so that the platform moves or sizes without a caption of its own.
    LRESULT CallWithoutSysMenu(UINT msg, WPARAM wParam, LPARAM lParam);
    // The maximised place of an MDI child in its parent's client area.
    bool GetMdiChildMaximisedRect(RECT* rc);

    std::unique_ptr<CSkinMenuBar> m_pMenuBar;
    CSkinClientBackground m_background;
    HMENU m_hAppMenu = nullptr;
    DWORD m_dwPaintStyle = kTopLevelPaintStyle;
    bool m_bMdiChild = false;
    DWORD m_dwAttachStyle = 0;
    RECT m_rcMenuBar = {0, 0, 0, 0};
    // The last non-client release on a maximised frame (tick count), for its double click.
    DWORD m_dwLastNcUp = 0;
    bool m_bNcUpPending = false;
    HWND m_hMdiClient = nullptr;
};

// The skin of the MDI client window of a skinned frame: its background from the frame's
// object, a restored child before a new one is made, the area a closed child leaves.
class CSkinMdiClient : public CSkinWindow {
public:
    CSkinMdiClient();
    ~CSkinMdiClient() override;
    bool IsMdiClient() override { return true; }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    CSkinFrameWnd* Host() const;
    bool EraseBackground(HDC hdc);
};
