// Mouse input on skinned window scroll bars: pressing parts with auto-repeat, dragging the
// thumb, and the hot part under the cursor. One tracking state per process (the capture makes
// only one window track at a time).
#pragma once

#include <windows.h>

#include "ScrollBarSkin.h"

struct SkinSBRecord;

namespace skinsb {

struct TrackState {
    HWND hwnd = nullptr;
    int bar = 0;
    UINT scrollMsg = 0;
    int pressed = -1;      // the part pressed
    int drawnPressed = -1; // the part drawn pressed
    int lastPart = -1;
    UINT_PTR timer = 0;
    int thumbStart = 0, thumbLength = 0, dragStart = 0;
    int startPos = 0;      // the position when the drag began
    RECT barRect{};
    int grabOffset = 0;
    int lastPos = 0;
    HWND hotHwnd = nullptr;
    int hotBar = -1, hotPart = -1;
    RECT hotRect{};
};

const TrackState& Tracking();
// The bar's layout as it is to be drawn: a dragged thumb where the mouse holds it.
SkinSBLayout DrawnLayout(HWND hwnd, const SkinSBRecord& rec, int bar, const RECT& rc);
// The window goes: no tracking or hover state may point at it.
void ForgetWindow(HWND hwnd);

LRESULT OnBarButtonDown(HWND hwnd, SkinSBRecord& rec, WPARAM hit, LPARAM lParam);
void OnNcMouseMove(HWND hwnd, SkinSBRecord& rec, WPARAM hit);
// True when the message belonged to a press on a bar.
// The mouse moved (lParam in client coordinates, or in screen ones for the non-client forms).
bool OnTrackMouseMove(HWND hwnd, SkinSBRecord& rec, LPARAM lParam, bool screen);
bool OnTrackButtonUp(HWND hwnd, SkinSBRecord& rec);
bool OnBarTimer(HWND hwnd, SkinSBRecord& rec, WPARAM id);

constexpr UINT_PTR kFirstRepeatTimer = 0xFFFD;
constexpr UINT_PTR kRepeatTimer = 0xFFFE;
constexpr UINT_PTR kHoverTimer = 0xFFFFFFF2;
constexpr UINT kFirstRepeatDelay = 300;
constexpr UINT kRepeatDelay = 55;
constexpr UINT kHoverDelay = 20;

}  // namespace skinsb
