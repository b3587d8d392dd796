// The base of the skinners of controls that scroll their own content (edits, list boxes, list
// views, tree views, IP-address fields). Such a control keeps painting its client area itself,
// in the skin's colours; the skin gives it its border.
//
// The skin's ScrollBar object, when it has one, gives the control skinned scroll bars. On the
// 95 family (98, Me) the engine's interception sees this program's scroll-bar calls but not the
// control's own, so there the skinners bring the skinned bars up to the control's state after
// every message that may scroll it.
#pragma once

#include "ControlBase.h"

class CSkinScrollControlObject;

// A solid brush of one colour, made again only when the colour asked for changes.
class CSkinColorBrush {
public:
    CSkinColorBrush() = default;
    ~CSkinColorBrush() { Reset(); }
    CSkinColorBrush(const CSkinColorBrush&) = delete;
    CSkinColorBrush& operator=(const CSkinColorBrush&) = delete;

    HBRUSH Get(COLORREF color);
    void Reset();

private:
    HBRUSH m_hBrush = nullptr;
    COLORREF m_crColor = 0;
};

class CSkinScrollControl : public CSkinControlBase {
public:
    CSkinScrollControl(CSkinWindow* owner, int type);

    // The skinned scroll bars come at the control's next turn at its queue, once it is done
    // being made.
    BOOL Attach(HWND hwnd) override;
    void Detach() override;
    CSkinObject* SetSkinObject(CSkinObject* object) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    bool HasSkinnedScrollBars() const { return m_bScrollBars != FALSE; }
    // The skinned bars follow the control by hand (98 and Me).
    bool FollowsScrolling() const { return m_bFollowScrolling; }

protected:
    CSkinScrollControlObject* ScrollObject() const;
    // The object's colours: background, text, and the background of a read-only control.
    COLORREF BackColor() const;
    COLORREF TextColor() const;
    COLORREF ReadOnlyColor() const;
    // The skin's border around the control; the system's when the object has no border grid.
    LRESULT OnNcPaint(WPARAM wParam, LPARAM lParam);

    // What the skinned bars need after a message has been passed on, where they follow the
    // control by hand: nothing, one bar copied at once, or both brought up to the control's
    // state once it is done with what it started.
    enum class Follow { None, HorzBar, VertBar, BothLater };
    virtual Follow FollowAfter(UINT msg, WPARAM wParam, LPARAM lParam) const;
    // What the controls that scroll share: their bars scrolled, the wheel, the keys and a double
    // click that move the view, and a new size.
    static Follow ScrollingFollow(UINT msg, WPARAM wParam);
    void CopyBar(int bar);
    // The control's own state of one bar (SIF_ALL), past the skinned bars.
    static BOOL SystemScrollInfo(HWND hwnd, int bar, SCROLLINFO& si);

private:
    void AttachScrollBars();
    // Arrow length, thickness and least thumb length from the skin's ScrollBar object.
    void SizeScrollBars();
    // Both bars take the control's range and position, and show only when there is something
    // to scroll.
    void ResyncScrollBars();
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    // The control paints its client itself; a border covered since is drawn again after it.
    LRESULT OnPaintPassed(WPARAM wParam, LPARAM lParam);

    bool m_bBorderCovered = false;  // drawn while the parent was still to paint over it
    BOOL m_bScrollBars = FALSE;
    bool m_bFollowScrolling = false;
};
