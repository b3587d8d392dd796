// The static control skinner: text statics over the skin's background (or the parent's) in the
// skin's text styles, icon and bitmap statics with their own image. It paints straight into the
// paint DC; a see-through static lets the parent's background show.
#pragma once

#include "ControlBase.h"

class CSkinStatic : public CSkinControlBase {
public:
    enum Mode { MODE_TEXT, MODE_ICON, MODE_BITMAP };

    CSkinStatic(CSkinWindow* owner, int type);

    // Simple and owner-drawn statics keep their own look.
    BOOL Attach(HWND hwnd) override;
    void Draw(HDC dc) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;

    Mode GetMode() const;
    // The DT_ flags of the text for the control's style.
    UINT GetTextFormat() const;

private:
    bool IsSeeThrough() const;
    void PaintBackground(HDC dc);
    void DrawIconImage(HDC dc);
    void DrawBitmapImage(HDC dc);
    void DrawTextContent(HDC dc);
};
