// The month calendar's title buttons as its own hit test places them.
#include <commctrl.h>

#include "SkinDraw.h"

namespace {

UINT HitAt(HWND calendar, int x, int y)
{
    MCHITTESTINFO info{};
    info.cbSize = sizeof info;
    info.pt = POINT{x, y};
    return UINT(SendMessageA(calendar, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
}

void Grow(RECT& r, int x, int y)
{
    if (IsRectEmpty(&r)) {
        r = RECT{x, y, x + 1, y + 1};
        return;
    }
    r.left = r.left < x ? r.left : x;
    r.top = r.top < y ? r.top : y;
    r.right = r.right > x + 1 ? r.right : x + 1;
    r.bottom = r.bottom > y + 1 ? r.bottom : y + 1;
}

}  // namespace

bool FindMonthCalTitleButtons(HWND calendar, RECT* previous, RECT* next)
{
    RECT prev{}, nxt{};
    RECT client{};
    if (IsWindow(calendar))
        GetClientRect(calendar, &client);
    // Rows from the top until the first title band has been passed.
    bool inTitle = false;
    for (int y = 0; y < client.bottom; ++y) {
        bool rowHasTitle = false;
        for (int x = 0; x < client.right; ++x) {
            const UINT hit = HitAt(calendar, x, y);
            if ((hit & (MCHT_TITLE | MCHT_CALENDAR)) != MCHT_TITLE)  // the today link has both bits
                continue;
            rowHasTitle = true;
            if (hit == MCHT_TITLEBTNPREV)
                Grow(prev, x, y);
            else if (hit == MCHT_TITLEBTNNEXT)
                Grow(nxt, x, y);
        }
        if (inTitle && !rowHasTitle)
            break;
        inTitle = inTitle || rowHasTitle;
    }
    if (previous)
        *previous = prev;
    if (next)
        *next = nxt;
    return !IsRectEmpty(&prev) || !IsRectEmpty(&nxt);
}
