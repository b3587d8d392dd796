// The elements drawn in a skinned window's frame: plain areas, caption texts and caption
// buttons, made from the children of the window's skin object. Each is laid out against the
// host's size, draws itself by its state, takes the mouse the host relays to it, tells the host
// what happens to it (the element messages of SkinWindow.h), shows its tooltip through the
// skinned tooltip and mirrors itself in a right-to-left host. The menu bar builds on CSkinArea.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "SkinEngineServices.h"
#include "SkinObject.h"
#include "SkinWindow.h"
#include "SkinnerLifeline.h"

class CSkinCaptionBaseObject;
class CSkinCaptionStaticObject;
class CSkinCaptionButtonObject;

class CSkinArea : public CSkinElement, public ISkinFrameElement {
public:
    CSkinArea(int left, int top, int right, int bottom, CSkinWindow* host, CSkinObject* object);
    ~CSkinArea() override;

    void Draw(HDC hdc) override;
    CSkinObject* SetSkinObject(CSkinObject* object) override;
    // The host's answer to the tooltip text request, else the element's name.
    std::string GetTooltipText() override;
    // A Tooltip object among the host object's own children, else the skin's.
    CSkinObject* FindTooltipObject() override;
    // Asks the host for the text first: an element the host's answer took away shows nothing.
    void ShowTooltip() override;
    // Stores the flag and redraws the element at once.
    virtual void SetEnabled(BOOL enabled);

    // Points are in the host's window coordinates as it received them.
    virtual void OnRButtonUp(int x, int y);
    virtual void OnRButtonDown(int x, int y);
    virtual void OnMouseMove(int x, int y);
    virtual void OnLButtonUp(int x, int y);
    virtual void OnLButtonDown(int x, int y);
    virtual void OnLButtonDblClk(int x, int y);
    // Visible and the (already mirrored) point inside the rectangle.
    BOOL HitTest(int x, int y) override;
    // Places the element for the host's window rectangle moved to the origin.
    void Layout(int left, int top, int right, int bottom) override;

    // The six mouse messages go to their handlers; the result is 1.
    int OnMouseMessage(UINT msg, int x, int y) override;
    BOOL HitTestHostPoint(int x, int y) override;

    BOOL IsVisible() override;
    void Hide();
    void Show();
    BOOL IsEnabled() const { return m_bEnabled; }
    // Draws the element now on the host's window DC.
    void Redraw() override;

    // ISkinFrameElement
    void GetElementRect(RECT* rc) const override { *rc = m_rc; }
    void SetVisible(bool visible) override { m_bVisible = visible; }

    CSkinWindow* GetHost() const { return m_pHost; }
    // Ends with the element: what goes on after a message to the host asks it first.
    CSkinLifeline::Watch Observe() const { return m_life.Observe(); }
    // The element's command id, visibility condition and anchor mode from its object.
    DWORD GetCommandId() const;
    DWORD GetCondition() const;
    DWORD GetAnchorMode() const;

    // In a right-to-left host x becomes the host window's width less x.
    void MirrorX(int& x) const;
    static bool IsLayoutRTL(HWND hwnd);
    static void MirrorXInWindow(HWND hwnd, int& x);
    static void MirrorRectInWindow(HWND hwnd, RECT& rc);

protected:
    // Sends the element message with the point relative to the element; false when the host's
    // answer deleted the element (it re-applied or removed the skin), which must then stop.
    bool NotifyHost(UINT msg, int x, int y);
    // What every mouse handler does first: mirrors x, hit-tests and, when the element is under
    // the point, tells the host. True then, and the element is still there.
    bool TakeMouse(UINT notice, int& x, int y);
    // The rectangle where the element shows in the host's window DC (mirrored in RTL).
    RECT ShownRect() const;
    // The host's window-object design bounds when the host lays its elements out by anchors.
    bool GetAnchorBounds(RECT* bounds) const;
    CSkinCaptionBaseObject* CaptionObject() const;

    BOOL m_bVisible = 1;
    BOOL m_bEnabled = 1;
    RECT m_rc;
    CSkinWindow* m_pHost;
    CSkinLifeline m_life;
};

class CSkinCaptionStatic : public CSkinArea {
public:
    CSkinCaptionStatic(int left, int top, int right, int bottom, CSkinWindow* host, CSkinObject* object);
    ~CSkinCaptionStatic() override;

    void Draw(HDC hdc) override;
    void OnRButtonUp(int x, int y) override { CSkinArea::OnRButtonUp(x, y); }
    void OnRButtonDown(int x, int y) override { CSkinArea::OnRButtonDown(x, y); }
    void OnMouseMove(int x, int y) override { CSkinArea::OnMouseMove(x, y); }
    void OnLButtonUp(int x, int y) override { CSkinArea::OnLButtonUp(x, y); }
    void OnLButtonDown(int x, int y) override { CSkinArea::OnLButtonDown(x, y); }
    void OnLButtonDblClk(int x, int y) override { CSkinArea::OnLButtonDblClk(x, y); }
    // The point inside the element's region.
    BOOL HitTest(int x, int y) override;
    // By the four anchor flags against the host object's design bounds.
    void Layout(int left, int top, int right, int bottom) override;

    // Role 1 and 10 the caption, 2 to 9 the borders and corners, others 0.
    LRESULT GetHitTestCode() override;
    // The element's shape at its rectangle (the caller deletes it): the object's region moved,
    // tiled or scaled by the region mode, or the rectangle.
    HRGN GetRegion();
    // Adds, cuts or replaces the shape in the window region by the combine mode.
    void CombineRegion(HRGN windowRegion) override;

private:
    CSkinCaptionStaticObject* TextObject() const;
    void DrawOwnerDrawn(HDC hdc);
    UINT TextFormat() const;
};

class CSkinCaptionButton : public CSkinArea, public ISkinCaptionButtonElement {
public:
    enum State { STATE_HOVER = 0, STATE_PRESSED = 1, STATE_NORMAL = 3 };
    // A system-menu button's second click within this many milliseconds closes the window.
    static constexpr DWORD kCloseClickInterval = 500;
    static constexpr UINT kHoverInterval = 100;

    CSkinCaptionButton(int left, int top, int right, int bottom, CSkinWindow* host, CSkinObject* object);
    ~CSkinCaptionButton() override;

    void Draw(HDC hdc) override;
    // Also names the element after a non-null object.
    CSkinObject* SetSkinObject(CSkinObject* object) override;
    void SetEnabled(BOOL enabled) override { CSkinArea::SetEnabled(enabled); }
    void OnRButtonUp(int x, int y) override;
    void OnRButtonDown(int x, int y) override;
    void OnMouseMove(int x, int y) override;
    void OnLButtonUp(int x, int y) override;
    void OnLButtonDown(int x, int y) override;
    void OnLButtonDblClk(int x, int y) override;
    // Enabled, inside the rectangle and, for a shaped button, inside its shape.
    BOOL HitTest(int x, int y) override;
    virtual void OnMouseLeave();

    // 0 to 3 is stored and drawn at once (TRUE); anything else FALSE.
    BOOL SetState(int state);
    int GetState() const { return m_nState; }
    // The look shown now: the state, or the hover look over a sticky button.
    int GetShownState() const { return m_nShownState; }
    int GetDrawState() const override { return m_nState; }
    void SetDrawState(int state) override { SetState(state); }
    bool IsPressed() const { return m_bPressed != 0; }
    bool IsHoverTimerRunning() const { return m_pHoverTimer != nullptr; }
    HRGN GetShapeRegion() const { return m_hShapeRgn; }

private:
    CSkinCaptionButtonObject* ButtonObject() const;
    DWORD Action() const;
    bool IsSticky() const;
    // Draws the look of a state (the disabled look while disabled) at the element.
    void DrawState(HDC hdc, int state);
    // Shows the look of a state at once; the state itself is left as it is.
    void ShowState(int state);
    // Stores the state and shows it.
    void ChangeState(int state);
    void StartHoverTimer();
    void StopHoverTimer();
    void OnHoverTimer();
    static void CALLBACK HoverTimerProc(HWND hwnd, UINT msg, UINT_PTR id, DWORD time);
    void RunAction();
    void Press();
    void BuildShape();

    DWORD m_dwLastClickTick = 0;
    bool m_bClicked = false;  // m_dwLastClickTick holds a click
    HRGN m_hShapeRgn = nullptr;
    COLORREF m_crTransparent = 0xFF00FF;
    BOOL m_bShaped = 0;
    // The timer's id is the address of this cell, which holds the button: every button of a
    // window has its own timer.
    std::unique_ptr<CSkinCaptionButton*> m_pHoverTimer;
    HWND m_hTimerWindow = nullptr;
    BOOL m_bPressed = 0;
    int m_nState = STATE_NORMAL;
    int m_nShownState = STATE_NORMAL;
};

// The frame-element maker the engine calls for each child of a window object: a caption button
// for type 3, an area for 22, a caption text for 38, null for any other type.
CSkinElement* CreateFrameElement(int type, CSkinWindow* host, CSkinObject* object);
