// The default skin's scroll bars: arrows, tracks and thumbs for both orientations in the normal,
// pressed, hot and disabled states, and the size grip, all cut from one picture.
#include <vector>

#include "SkinLook.h"

namespace skinbuild {

namespace {

constexpr int kSb = 16;
enum { SB_COL_LEFT, SB_COL_RIGHT, SB_COL_UP, SB_COL_DOWN, SB_COL_HTRACK, SB_COL_VTRACK, SB_COL_HTHUMB,
       SB_COL_VTHUMB, SB_COL_GRIP, SB_COLS };
enum { SB_NORMAL, SB_PRESSED, SB_HOT, SB_DISABLED };

void AddScrollBarPicture(CSkinFile& skin)
{
    CCanvas c(SB_COLS * kSb, 4 * kSb, kTrack);
    const Rgba arrowBg[4] = {kTrack, Hex(0xC5CFDB), Hex(0xDAE1EA), kTrack};
    const Rgba arrow[4] = {Hex(0x6B7788), Hex(0x2E3A4A), Hex(0x3E4A5A), Hex(0xC0C7D0)};
    const Rgba thumb[4] = {Hex(0xB5C0CE), Hex(0x7F90A6), Hex(0x9AA8BA), Hex(0xD3D9E1)};
    for (int s = 0; s < 4; ++s) {
        const float y = float(s * kSb);
        for (int a = 0; a < 4; ++a) {
            const float x = float(a * kSb);
            if (s == SB_PRESSED || s == SB_HOT)
                c.RoundRect(x + 1, y + 1, x + kSb - 1, y + kSb - 1, 3, Solid(arrowBg[s]));
            const float cx = x + kSb / 2.0f, cy = y + kSb / 2.0f;
            std::vector<PointF> tri;
            switch (a) {
            case SB_COL_LEFT: tri = {{cx + 2, cy - 4}, {cx + 2, cy + 4}, {cx - 2.5f, cy}}; break;
            case SB_COL_RIGHT: tri = {{cx - 2, cy - 4}, {cx - 2, cy + 4}, {cx + 2.5f, cy}}; break;
            case SB_COL_UP: tri = {{cx - 4, cy + 2}, {cx + 4, cy + 2}, {cx, cy - 2.5f}}; break;
            default: tri = {{cx - 4, cy - 2}, {cx + 4, cy - 2}, {cx, cy + 2.5f}}; break;
            }
            c.Polygon(tri, arrow[s]);
        }
        // Tracks: flat; the thumb sits inside their 2-pixel margins across the bar.
        const float hx = float(SB_COL_HTHUMB * kSb), vx = float(SB_COL_VTHUMB * kSb);
        c.RoundRect(hx + 1, y, hx + kSb - 1, y + 12, 5, Solid(thumb[s]));
        c.RoundRect(vx, y + 1, vx + 12, y + kSb - 1, 5, Solid(thumb[s]));
    }
    // Size grip: a triangle of dots in the corner.
    const float gx = float(SB_COL_GRIP * kSb);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j <= i; ++j)
            c.Circle(gx + 13 - 4 * j, 13 - 4 * (2 - i), 1.1f, Solid(Hex(0x9AA6B5)));
    AddPicture(skin, "scrollbar", c, Flat(kTrack));
}

void SetScrollState(SkinScrollBarState& st, int state, bool vertical)
{
    const LONG y = state * kSb;
    auto cell = [&](SkinImagePart& p, int col) { p.Set("scrollbar", col * kSb, y, (col + 1) * kSb, y + kSb, 2); };
    if (vertical) {
        cell(st.arrow1, SB_COL_UP);
        cell(st.arrow2, SB_COL_DOWN);
        st.track.Set("scrollbar", SB_COL_VTRACK * kSb, y, (SB_COL_VTRACK + 1) * kSb, y + kSb, 2, 0, 2, 0, 1);
        st.thumb.Set("scrollbar", SB_COL_VTHUMB * kSb, y, SB_COL_VTHUMB * kSb + 12, y + kSb, 0, 5, 0, 5, 1);
    } else {
        cell(st.arrow1, SB_COL_LEFT);
        cell(st.arrow2, SB_COL_RIGHT);
        st.track.Set("scrollbar", SB_COL_HTRACK * kSb, y, (SB_COL_HTRACK + 1) * kSb, y + kSb, 0, 2, 0, 2, 1);
        st.thumb.Set("scrollbar", SB_COL_HTHUMB * kSb, y, (SB_COL_HTHUMB + 1) * kSb, y + 12, 5, 0, 5, 0, 1);
    }
}

std::unique_ptr<CSkinScrollBarObject> MakeScrollBar()
{
    auto o = MakeControl<CSkinScrollBarObject>("ScrollBar");
    o->m_crBack = ToColorRef(kTrack);
    for (int s = 0; s < 4; ++s)
        SetScrollState(o->m_horizontal[s], s, false);
    for (int s = 0; s < 3; ++s)
        SetScrollState(o->m_vertical[s], s, true);
    SetScrollState(o->m_verticalLast, SB_DISABLED, true);
    o->m_sizeGrip.Set("scrollbar", SB_COL_GRIP * kSb, 0, (SB_COL_GRIP + 1) * kSb, kSb, 0);
    return o;
}

}  // namespace

void AddScrollLooks(CSkinFile& skin)
{
    AddScrollBarPicture(skin);
    skin.AddObject(MakeScrollBar());
}

}  // namespace skinbuild
