// The base of the skinners of controls that scroll their own content (edits, list boxes, list
// views, tree views, IP-address fields). Such a control keeps painting its client area itself,
// in the skin's colours; the skin gives it its border.
//
// The skin's ScrollBar object, when it has one, gives the control skinned scroll bars. The
// resynchronisation of those bars that older systems needed after every scrolling message is
// not built: the platform's controls report every scroll change through the public scroll-bar
// functions, which the skinned bars answer.
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

protected:
    CSkinScrollControlObject* ScrollObject() const;
    // The object's colours: background, text, and the background of a read-only control.
    COLORREF BackColor() const;
    COLORREF TextColor() const;
    COLORREF ReadOnlyColor() const;
    // The skin's border around the control; the system's when the object has no border grid.
    LRESULT OnNcPaint(WPARAM wParam, LPARAM lParam);

private:
    void AttachScrollBars();
    // Arrow length, thickness and least thumb length from the skin's ScrollBar object.
    void SizeScrollBars();
    // The control paints its client itself; a border covered since is drawn again after it.
    LRESULT OnPaintPassed(WPARAM wParam, LPARAM lParam);

    bool m_bBorderCovered = false;
    BOOL m_bScrollBars = FALSE;  // drawn while the parent was still to paint over it
};
