// The group box skinner: the frame's border from the skin, the caption over its own background
// (or over the parent's), painted straight into the paint DC so that the controls inside the
// frame, which are painted again after it, stay on top.
#pragma once

#include "ControlBase.h"

class CSkinGroupBox : public CSkinControlBase {
public:
    CSkinGroupBox(CSkinWindow* owner, int type);

    void Draw(HDC dc) override;
    // Makes the control see-through and has the parent paint under it once.
    BOOL Attach(HWND hwnd) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;

    // The caption a text takes in the control's font (the height of an "A" when it is empty).
    RECT CalcCaptionRect(const char* text);
    const RECT& GetLastCaptionRect() const { return m_rcCaption; }

private:
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    // Copies the parent's background under `part` (client coordinates) into dc.
    void PaintParentPart(HDC dc, const RECT& part);
    void RedrawControlsInside();

    RECT m_rcCaption{};          // the caption drawn last
    BOOL m_bEraseCaption = FALSE;  // a new font: the old caption's place is cleared first
};
