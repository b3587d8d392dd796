// The engine's calls into the subsystems that plug into it: the skinned tooltip, the skinned
// popup menu, the skinned scroll bars and the frame elements. Each subsystem installs its
// service once (before or after the engine starts); until it does, the public functions that
// need it fail with "not supported" (12), or with the failure code the function has of its own
// (14 for scroll bars that cannot be attached), and never claim work they did not do.
#pragma once

#include <windows.h>

class CSkinObject;

// The one skinned tooltip window.
struct SkinTooltipService {
    WNDPROC windowProc;                    // procedure of the class "QuorventaTooltip32"
    HWND (*create)(HINSTANCE instance);    // makes the one tooltip window at the first start-up
    void (*destroy)();                     // destroys it at the last shut-down
    // Shows the text at once at the screen point (null: at the cursor).
    BOOL (*showAt)(const char* text, const POINT* point);
    void (*hide)();
};

// The skinned popup menu (one object per open popup).
struct SkinPopupMenuService {
    WNDPROC windowProc;  // procedure of the class "QuorventaPopupMenuWnd"
    // A new popup for the owner; mode 2 sends the chosen command, 3 returns it.
    void* (*create)(HWND owner, int mode, const UINT_PTR params[5]);
    // Prepares the popup and gives it the menu.
    void (*setMenu)(void* popup, HMENU menu);
    void (*setSkinObject)(void* popup, CSkinObject* object);
    // Places the popup at (x, y) with the TPM_ flags, activates and shows it.
    void (*show)(void* popup, int x, int y, UINT flags);
    int (*getResult)(void* popup);  // the chosen command (0: none)
    void (*destroy)(void* popup);   // closes and deletes it
    // Optional. While the menu is open the loop hands the thread's key messages to the deepest
    // open submenu (`submenuWindow`, null when none is open), else to the popup (`window`); an
    // Escape closes only that submenu. Without them keys go where the focus is.
    HWND (*window)(void* popup);
    HWND (*submenuWindow)(void* popup);
    // Optional. TRUE when the menu is over without the loop having been told (the popup or its
    // owner destroyed, or the owner's window no longer the active one).
    BOOL (*isOver)(void* popup);
};

// The skinned scroll bars of a window (the record behind the window property
// "SkinSBSubclassPtr").
struct SkinScrollBarService {
    BOOL (*initialize)(HWND hwnd);       // 1, or 0 when the window already has a record
    HRESULT (*uninitialize)(HWND hwnd);  // 0, or E_FAIL without a record
    BOOL (*hasRecord)(HWND hwnd);
    BOOL (*setSize)(HWND hwnd, int bar, int arrowLength, int thickness);
    BOOL (*setStyle)(HWND hwnd, int bar, int style);
    BOOL (*setMinThumbSize)(HWND hwnd, int bar, int size);
    // The skinned answers of the eight intercepted scroll-bar functions.
    BOOL (*enableScrollBar)(HWND hwnd, UINT bar, UINT arrows);
    BOOL (*getScrollInfo)(HWND hwnd, int bar, LPSCROLLINFO info);
    int (*getScrollPos)(HWND hwnd, int bar);
    BOOL (*getScrollRange)(HWND hwnd, int bar, LPINT minPos, LPINT maxPos);
    int (*setScrollInfo)(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw);
    int (*setScrollPos)(HWND hwnd, int bar, int pos, BOOL redraw);
    BOOL (*setScrollRange)(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw);
    BOOL (*showScrollBar)(HWND hwnd, int bar, BOOL show);
};

// Each setter keeps the pointer (the service must outlive its use); null removes the service.
void SetSkinTooltipService(const SkinTooltipService* service);
void SetSkinPopupMenuService(const SkinPopupMenuService* service);
void SetSkinScrollBarService(const SkinScrollBarService* service);

// What the frame elements offer the element functions (found by dynamic_cast on the elements
// of a window's skin).
class ISkinFrameElement {
public:
    virtual ~ISkinFrameElement() = default;
    // The element's rectangle in window coordinates.
    virtual void GetElementRect(RECT* rc) const = 0;
    virtual void SetVisible(bool visible) = 0;
    // Repaints the element's part of the frame.
    virtual void Redraw() = 0;

    // What the host window asks while it paints, hit-tests and builds its region. The
    // defaults suit an element that only draws itself at its rectangle.
    // Places the element for the host's window rectangle moved to the origin.
    virtual void Layout(int left, int top, int right, int bottom) {}
    virtual BOOL IsVisible() { return TRUE; }
    // Whether a point in window coordinates (mirrored in a right-to-left host) is on it.
    virtual BOOL HitTest(int x, int y)
    {
        RECT rc;
        GetElementRect(&rc);
        return PtInRect(&rc, POINT{x, y});
    }
    // The same for a point as the host received it: a right-to-left host mirrors it first.
    virtual BOOL HitTestHostPoint(int x, int y) { return HitTest(x, y); }
    // A mouse message with the point in window coordinates as the host received it.
    virtual int OnMouseMessage(UINT msg, int x, int y) { return 1; }
    // The host's answer to WM_NCHITTEST over the element (caption texts: by their role).
    virtual LRESULT GetHitTestCode() { return 0; }
    // Adds the element's own shape to the window region being built (caption texts).
    virtual void CombineRegion(HRGN windowRegion) {}
};

// A control skinner that gives its parent's WM_CTLCOLOREDIT and WM_CTLCOLORSTATIC answers for
// its control (an edit's colours and brushes); the parent's skin asks it by dynamic_cast.
class ISkinControlColors {
public:
    virtual ~ISkinControlColors() = default;
    // Sets the DC's colours for the message and returns the brush the control paints with;
    // null to let the parent's own procedure answer.
    virtual HBRUSH OnParentCtlColor(UINT msg, HDC hdc) = 0;
};

class ISkinCaptionButtonElement {
public:
    virtual ~ISkinCaptionButtonElement() = default;
    virtual void SetEnabled(BOOL enabled) = 0;
    virtual int GetDrawState() const = 0;  // 0..3
    virtual void SetDrawState(int state) = 0;
};

// The type-45 window skin's client margins.
class ISkinType45Window {
public:
    virtual ~ISkinType45Window() = default;
    virtual void GetMargins(RECT* margins) const = 0;
};
