// The progress bar skinner. Once it has taken the control's range, position and step over
// (right after attach, at the control's next turn at its queue), it answers the progress
// messages itself and draws the skin's background and bar: stretched over the filled part,
// revealed up to it, or as whole chunks. A vertical bar is the same drawing turned. The
// control gets its state back when the skin goes.
#pragma once

#include "ControlBase.h"

class CSkinProgressBarObject;

class CSkinProgressBar : public CSkinControlBase {
public:
    enum BarMode { BAR_STRETCH, BAR_REVEAL, BAR_CHUNKS };
    struct State {
        int minimum = 0, maximum = 100, position = 0, step = 1;
    };

    CSkinProgressBar(CSkinWindow* owner, int type);

    BOOL Attach(HWND hwnd) override;
    void Detach() override;
    void Draw(HDC dc) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    bool IsActive() const { return m_bActive != FALSE; }
    // The skinner's state once active, else the control's own.
    State GetState();
    // Pixels of `length` that the position fills, within [0, length].
    static int FillLength(const State& s, int length);

private:
    CSkinProgressBarObject* ProgressObject() const;
    void TakeOver();
    // The whole picture for the horizontal orientation into rc (the window's size).
    void DrawBar(HDC dc, const CSkinProgressBarObject& o, const RECT& rc, const State& s);
    void DrawFill(HDC dc, const CSkinProgressBarObject& o, const RECT& rc, int fill);
    void OnNcPaint();
    // Answers of the progress messages while active; false for other messages.
    bool OnProgressMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
    LRESULT SetRange(int minimum, int maximum);
    LRESULT MoveTo(long long position);

    BOOL m_bActive = FALSE;
    State m_state;
};
