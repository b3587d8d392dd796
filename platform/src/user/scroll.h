// Scroll-bar state rules and geometry, shared by window scroll bars and the scroll-bar control.
#pragma once

#include "user/window.h"

namespace plat::user {

// Applies a SCROLLINFO with the platform's clamping rules: the page is kept within
// [0, max - min + 1] and the position within [min, max - max(page - 1, 0)]. Returns the new
// position.
int ApplyScrollInfo(ScrollState& s, const SCROLLINFO& info);
// Fills the fields asked for by info.fMask.
void FillScrollInfo(const ScrollState& s, SCROLLINFO& info);
// True when the range is larger than a page, so the bar has something to scroll.
bool Scrollable(const ScrollState& s);

// Geometry of a bar laid out in `r` (vertical or horizontal): arrows, track and thumb.
struct ScrollGeometry {
    RECT up{0, 0, 0, 0}, down{0, 0, 0, 0}, track{0, 0, 0, 0}, thumb{0, 0, 0, 0};
    int track_len = 0;
    int thumb_len = 0;
    bool has_thumb = false;
};
ScrollGeometry ComputeScrollGeometry(const RECT& r, bool vertical, const ScrollState& s);
// The position a thumb dragged to `offset` pixels from the track start stands for.
int PositionForThumbOffset(const ScrollGeometry& g, const ScrollState& s, int offset);
// Draws a bar into a DC (coordinates of `r` in that DC).
// `track` (null: the scroll-bar colour) fills the track between the arrows.
void DrawScrollBar(HDC hdc, const RECT& r, bool vertical, const ScrollState& s, bool enabled, int pressed_part,
                   HBRUSH track = nullptr);

}  // namespace plat::user
