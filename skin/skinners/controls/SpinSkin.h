// The spin (up-down) control skinner: each of the two arrow halves drawn from the skin's image
// pair for its state (normal, hot, pressed, disabled), the control itself still doing the
// counting. A horizontal control without images of its own shows the vertical ones turned.
#pragma once

#include "ControlBase.h"

struct SkinSpinState;

class CSkinSpin : public CSkinControlBase {
public:
    // Which half is pressed or under the mouse: the first half is the top one (the left one of
    // a horizontal control).
    enum State { STATE_NONE = 0, STATE_UP_PRESSED, STATE_DOWN_PRESSED, STATE_UP_HOT, STATE_DOWN_HOT };

    CSkinSpin(CSkinWindow* owner, int type);

    void Draw(HDC dc) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnMouseLeave() override;

    int GetState() const { return m_nState; }

private:
    bool IsHorizontal() const;
    // The half under a client point: 0 first, 1 second, -1 outside.
    int HalfAt(POINT p) const;
    void SetState(int state);
    // Both halves of a drawing of width x height from one image set (4 states of pairs).
    void DrawHalves(HDC dc, int width, int height, bool horizontal, const SkinSpinState* set);
    void DrawTurned(HDC dc, int width, int height, const SkinSpinState* set);

    int m_nState = STATE_NONE;
};
