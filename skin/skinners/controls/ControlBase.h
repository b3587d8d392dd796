// The base of every control skinner. CSkinControlBase decides whether a control may be skinned
// (its parent may veto), picks its skin object (a per-dialog look for its control id, else the
// skin's object of its type), applies that object's font and position, paints the control
// off-screen through the derived class's Draw, tracks hover for hot looks and tooltips, and
// gives the control its own font back when the skin goes.
#pragma once

#include <windows.h>

#include "SkinWindow.h"
#include "SkinnerLifeline.h"

class CSkinFile;
class CSkinFontObject;

class CSkinControlBase : public CSkinWindow {
public:
    // `owner` is the skinned window under which the control was found (null: none); `type` the
    // skin type code the skinner was made for.
    CSkinControlBase(CSkinWindow* owner, int type);
    ~CSkinControlBase() override;

    // The derived skinner's painter: the whole client area into hdc (a memory DC when called
    // from OnPaint). The base draws nothing.
    void Draw(HDC hdc) override {}
    // Stores the object; while attached, takes the per-dialog look for the control instead when
    // there is one, applies the object's font and position and repaints. Returns the previous
    // object.
    CSkinObject* SetSkinObject(CSkinObject* object) override;
    // The Tooltip child of the skinned ancestor's object, else the skin's Tooltip object.
    CSkinObject* FindTooltipObject() override;
    LRESULT OnNcDestroy() override;
    // Gives back the font and extended style the control had, then lets go of it and has it
    // repaint itself.
    void Detach() override;
    // Zero when the parent vetoes (0x83E8) or subclassing fails; nothing of the control is
    // changed then.
    BOOL Attach(HWND hwnd) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // The mouse left the control: the hot look goes (and the tooltip, unless the mouse is on it).
    virtual void OnMouseLeave();
    // WM_PAINT: Draw into one off-screen surface of the client size, copied in one block.
    virtual void OnPaint();

    // Gives the control the font, keeping the font it had so that Detach can give it back.
    // Progress bars, scroll bars, sliders and spin controls are never given a font.
    void SetControlFont(HWND hwnd, HFONT font, BOOL redraw);
    // The child of the ancestor's object that gives the control with this id its own look: the
    // first child of the type with that control id (a RichEdit without one takes an Edit
    // child). Null when there is none.
    static CSkinObject* FindControlOverride(CSkinObject* ancestorObject, int id, int type);

    int GetControlType() const { return m_nType; }
    HWND GetOwnerWindow() const { return m_hOwner; }
    bool IsHovering() const { return m_bHover != FALSE; }

protected:
    // The skin file the object belongs to (null without one).
    CSkinFile* GetSkinFile() const;
    CSkinFontObject* GetFontObject() const;
    // The font the control draws with now (WM_GETFONT).
    HFONT GetControlFont();
    // Paints what lies under the control into dc (client coordinates of the control): the
    // containing tab control or the parent is asked with 0x1795; a window that does not answer
    // it has its background erased into dc instead.
    void DrawParentBackground(HDC dc);
    // Calls the saved procedure for one message with WS_VISIBLE taken away, so that the
    // system cannot paint its own look meanwhile.
    LRESULT CallSavedHidden(UINT msg, WPARAM wParam, LPARAM lParam);
    // Invalidates the client area (erasing or not) and paints it at once, or right after the
    // parent when the parent still has to paint.
    void RepaintNow(BOOL erase = FALSE);
    bool ParentIsToPaint() const;
    // The attached control's extended style gets WS_EX_TRANSPARENT until the skin goes.
    void AddTransparentStyle();
    // Sets and clears bits of the style (GWL_STYLE) or extended style (GWL_EXSTYLE) for as long
    // as the skin is on the control: Detach gives back exactly the bits changed here, and leaves
    // whatever else changed meanwhile (shown, hidden, the program's own styles) as it is.
    void ChangeStyleBits(int index, DWORD add, DWORD remove);
    // Has the parent paint again, at once, what lies under a part of the control (client
    // coordinates; null: all of it).
    void RepaintParentUnder(const RECT* part);
    // Draw straight into the paint DC, for controls that the parent's background shows through.
    void PaintIntoPaintDc();

    static DWORD StyleOf(HWND hwnd);
    static bool IsMirrored(HWND hwnd);  // a right-to-left layout
    static RECT ClientRect(HWND hwnd);

    // Cut when the skin leaves the control: code that goes on after sending the parent a notice
    // observes it first, since the parent may remove the skin in its answer.
    CSkinLifeline m_life;
    HFONT m_hSavedFont = nullptr;  // the control's own font, valid while m_bFontSaved
    BOOL m_bHover = FALSE;         // the mouse is over the control and a leave is asked for
    HWND m_hOwner = nullptr;
    int m_nType;

private:
    bool TouchesFont() const;
    // The per-dialog look for the control, from the owner's skinned ancestor.
    CSkinObject* LookUpOverride(HWND hwnd);
    // Applies an object's own font and position; true when it moved the control.
    bool ApplyObjectLook(CSkinObject* object, BOOL redrawFont, bool usePosition);
    void OnSaveFont();
    void StartHover();

    bool m_bFontSaved = false;
    HFONT m_hPendingFont = nullptr;  // set when the control takes it (0x1796 arrives)
    BOOL m_bPendingRedraw = FALSE;
    bool m_bFontPending = false;
    // The bits ChangeStyleBits set and cleared, for the style [0] and the extended style [1].
    struct StyleBits {
        DWORD added = 0;
        DWORD removed = 0;
    } m_styleBits[2];
};
