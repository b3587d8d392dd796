// The base of the push button, check box and radio skinners: press tracking of its own (the
// control's procedure never sees the mouse button or the space bar), the click notification,
// the window region of push-like buttons, and the layout rules the three share.
#pragma once

#include "ControlBase.h"

class CSkinButtonObject;

class CSkinCheckButtonBase : public CSkinControlBase {
public:
    CSkinCheckButtonBase(CSkinWindow* owner, int type);

    // Owner-drawn buttons are never skinned.
    BOOL Attach(HWND hwnd) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // What a completed click does besides notifying the parent (the base does nothing).
    virtual void OnClick() {}
    // Paints the whole control now, off-screen and in one block.
    virtual void Redraw();

    bool IsPressed() const { return m_bPressed != FALSE; }

protected:
    // The Button object that push-like controls draw with: a push button's own object; for a
    // check box or radio the one its object names, else "PushLikeButton", else the skin's
    // first Button object.
    CSkinObject* FindPushLikeObject();
    // True for push buttons and for check boxes and radios with BS_PUSHLIKE.
    bool HasButtonShape() const;
    // The window region of the object's normal state image at that size, less the key colour;
    // no region when the image covers the whole rectangle or when object is null.
    void SetButtonRegion(CSkinObject* object, int width, int height);
    void UpdateButtonRegion();
    // Sends the click notification (posted, as the system's own click does not reach the
    // control's procedure).
    void NotifyClicked();
    // A push button's face: the parent's background, the state's image over the client area
    // (less its key colour), then the icon, bitmap or text placed by the style.
    void DrawPushButtonFace(HDC dc, const CSkinButtonObject& object, int state);

    BOOL m_bPressed = FALSE;

private:
    LRESULT OnFocusChange(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnStyleChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonDown();
    LRESULT OnMouseMoveHeld(LPARAM lParam);
    LRESULT OnButtonUp(LPARAM lParam);
    LRESULT OnSpaceUp();
    void CancelPress();
    bool HasCapture() const;
    bool IsInside(LPARAM lParam) const;

    bool m_bSpaceDown = false;  // the press comes from the space key
};

// Layout helpers of the button family.
// The mark at the left (right with BS_LEFTTEXT) of the content rectangle, placed vertically by
// BS_TOP / BS_BOTTOM / BS_VCENTER; the text beside it over the full content height.
void LayoutCheckMark(const RECT& content, SIZE mark, DWORD style, RECT* markRect, RECT* textRect);
// Narrows rc to a text (or image) of that size by the button's alignment bits; push buttons and
// push-like buttons centre what has no alignment bits, the others put it at the left.
void AlignTextRect(RECT* rc, int width, int height, DWORD style);
// DT_ flags of a button's text.
UINT GetButtonTextFormat(DWORD style, DWORD exStyle);
