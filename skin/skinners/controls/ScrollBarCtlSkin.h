// The scroll-bar control skinner (class "ScrollBar"). Once it has taken the control's state
// over (at the control's next turn at its queue after attach) it keeps its own copy, answers
// the SBM_ messages from it, paints arrows, track and thumb from the skin's ScrollBar object
// with the window scroll bars' geometry and part painter, and turns the mouse into the scroll
// codes the parent expects: a held arrow or page zone repeats, the thumb is dragged. The system
// control is still told every change (it never paints meanwhile), so it holds the same state
// when the skin goes. A size-grip control shows the skin's grip.
#pragma once

#include "ControlBase.h"
#include "ScrollBarSkin.h"

class CSkinScrollBarObject;

// The take-over message (the number the list and tree views use for their colours).
constexpr UINT WM_SKIN_SCROLLSTATE = 0x178E;

class CSkinScrollBar : public CSkinControlBase {
public:
    static constexpr UINT_PTR kRepeatTimer = 200;
    static constexpr UINT kRepeatDelay = 50;

    CSkinScrollBar(CSkinWindow* owner, int type);

    BOOL Attach(HWND hwnd) override;
    void Detach() override;
    CSkinObject* SetSkinObject(CSkinObject* object) override;
    void Draw(HDC dc) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnMouseLeave() override;

    bool IsActive() const { return m_bActive != FALSE; }
    const SCROLLINFO& GetInfo() const { return m_si; }
    int GetArrowLength(bool vertical) const { return m_arrow[vertical ? 1 : 0]; }
    int GetMinThumb(bool vertical) const { return m_minThumb[vertical ? 1 : 0]; }

private:
    CSkinScrollBarObject* BarObject() const;
    bool IsVertical() const;
    bool IsGrip() const;
    // The control as one bar of the window scroll bars' geometry, in client coordinates; the
    // thumb at the track position while it is dragged.
    SkinSBBar AsBar() const;
    SkinSBLayout Layout() const;
    int PartAt(POINT p) const;
    UINT PartState(int part) const;

    void TakeOver();
    void Notify(int code, int pos = 0);
    // The message's change made to the copy and passed on to the control, which stays hidden.
    LRESULT Update(UINT msg, WPARAM wParam, LPARAM lParam, const SCROLLINFO& change, bool redraw);
    bool OnScrollMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
    LRESULT OnSetScrollInfo(WPARAM redraw, const SCROLLINFO* in);
    LRESULT OnGetScrollInfo(SCROLLINFO* out) const;

    bool OnMouseMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnButtonDown(POINT p);
    void OnDragMove(POINT p);
    void OnPressedMove(POINT p);
    void OnHover(POINT p);
    void OnRepeat();
    // The press is over (button up, or the capture taken away).
    void EndPress();
    int DragPosition(POINT p) const;

    BOOL m_bActive = FALSE;
    SCROLLINFO m_si{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    UINT m_arrows = ESB_ENABLE_BOTH;  // the arrows disabled (ESB_DISABLE_*)
    int m_nHit = kSBNone;             // the part pressed
    BOOL m_bTracking = FALSE;         // the part is held down
    bool m_bOverHit = false;          // the mouse is over the held part
    bool m_bRepeating = false;        // the repeat timer runs
    int m_nGrab = 0;                  // the mouse's offset from the dragged thumb's start
    int m_nHot = kSBNone;
    int m_arrow[2] = {-1, -1};        // horizontal, vertical; -1: the system metric
    int m_minThumb[2] = {6, 6};
};
