// What the whole-window skins of this folder share: the cached client background drawn from
// the window object's client record, and the minimum and maximum sizes of a skinned frame.
#pragma once

#include <windows.h>

#include <memory>

#include "SkinWindow.h"

class CSkinMemDC;

// The client background of a skinned window at its current client size, drawn once from the
// window object's client record (part 4) and copied on every erase.
class CSkinClientBackground {
public:
    CSkinClientBackground();
    ~CSkinClientBackground();

    void Drop();
    // The surface for the window's client size, built when missing or of another size; null
    // without a window object.
    CSkinMemDC* Get(CSkinWindow& skin);
    // WM_ERASEBKGND: false (not handled) when the object has no client background. A
    // stretched background that was just built repaints the whole client instead of copying.
    bool Erase(CSkinWindow& skin, HDC hdc);
    // The part under a child's client area into the child's DC.
    void PaintUnderChild(CSkinWindow& skin, HDC childDC, HWND child);
    bool IsStretched() const { return m_bStretched; }

private:
    std::unique_ptr<CSkinMemDC> m_pSurface;
    SIZE m_size = {0, 0};
    bool m_bStretched = false;  // built stretched, not yet shown whole
};

// WM_GETMINMAXINFO of a skinned top-level frame: maximised to the nearest monitor's work area,
// at least as large as the frame's corners; what the window's own procedure answers can only
// narrow the tracking sizes further.
LRESULT AnswerFrameMinMaxInfo(CSkinWindow& skin, MINMAXINFO* info);

// What the framed whole-window skins (dialogs and frame windows) do alike on their frame.
class CSkinFramedWindow : public CSkinWindow {
protected:
    // WM_NCPAINT: on a new size the region is rebuilt, the background dropped and the frame
    // painted whole with the new layout; otherwise the frame reaches the window DC, limited to
    // the update region (wParam).
    void PaintSkinnedFrame(WPARAM update, CSkinClientBackground& background);
    // A double click on the caption that no element took: an iconic window is restored, a
    // sizable one with a maximise box at attach maximised or restored, any other window's own
    // procedure sees it.
    void DoubleClickCaption(LPARAM screenPoint, DWORD attachStyle);
};
