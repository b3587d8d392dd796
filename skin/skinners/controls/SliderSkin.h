// The slider (trackbar) skinner: the skin's background (or the parent's, for a transparent
// look), channel and thumb, drawn for the horizontal orientation; a vertical slider shows the
// same drawing turned, with the skin's vertical thumb or, without one, the horizontal thumb
// turned. The control keeps doing all the work: it is only repainted at once after mouse input.
#pragma once

#include "ControlBase.h"

class CSkinSliderObject;

class CSkinSlider : public CSkinControlBase {
public:
    CSkinSlider(CSkinWindow* owner, int type);

    // Centres the thumb across the control (TBS_BOTH) while the skin is on.
    BOOL Attach(HWND hwnd) override;
    void Draw(HDC dc) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Where the control has its parts now (client coordinates; the channel in the horizontal
    // frame for a vertical slider, as the control tells it).
    RECT GetThumbRect() const;
    RECT GetChannelRect() const;

private:
    CSkinSliderObject* SliderObject() const;
    // Background and channel as they lie in the horizontal frame, into a surface of that size.
    void DrawTrack(HDC dc, const CSkinSliderObject& o, const RECT& all, bool withBackground);
    void DrawThumb(HDC dc, const CSkinSliderObject& o, bool vertical);
    bool IsTransparent() const;
};
