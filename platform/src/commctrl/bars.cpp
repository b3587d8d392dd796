// Placing a bar along its parent's edge.
#include "commctrl/bars.h"

#include "commctrl.h"

namespace plat::commctrl {

void AlignBar(HWND bar, int thickness, BarEdge default_edge) {
    DWORD st = DWORD(GetWindowLongA(bar, GWL_STYLE));
    HWND parent = GetParent(bar);
    if (!parent || (st & CCS_NORESIZE)) return;
    RECT pr, wr;
    GetClientRect(parent, &pr);
    GetWindowRect(bar, &wr);
    POINT at{wr.left, wr.top};
    ScreenToClient(parent, &at);
    DWORD edge = st & CCS_BOTTOM;  // the two low bits: top, no-move or bottom
    bool bottom = edge == CCS_BOTTOM || (edge == 0 && default_edge == BarEdge::Bottom);
    bool keep_place = (st & CCS_NOPARENTALIGN) || edge == CCS_NOMOVEY;
    int x, y, cx, cy;
    if (st & CCS_VERT) {
        cx = thickness;
        cy = pr.bottom - pr.top;
        y = 0;
        x = keep_place ? at.x : bottom ? pr.right - thickness : 0;
    } else {
        cx = pr.right - pr.left;
        cy = thickness;
        x = 0;
        y = keep_place ? at.y : bottom ? pr.bottom - thickness : 0;
    }
    // Only a real change moves it: a bar realigns from its own WM_SIZE.
    if (x == at.x && y == at.y && cx == wr.right - wr.left && cy == wr.bottom - wr.top) return;
    SetWindowPos(bar, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace plat::commctrl
