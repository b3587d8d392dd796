// Painting of skinned window scroll bars: each bar off-screen and copied in one block, its parts
// through the skin's part painter, or in the classic look when the skin has no ScrollBar object.
#include <commctrl.h>

#include <utility>

#include "ScrollBarSkinInput.h"
#include "ScrollBarSkinRecord.h"
#include "SkinDraw.h"
#include "SkinFile.h"
#include "SkinManager.h"
#include "SkinMemDC.h"
#include "SkinObjectTypes.h"

namespace {

using skinsb::PartRect;

bool IsRightToLeft(HWND hwnd) { return (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0; }

bool ArrowDisabled(const SkinSBBar& bar, int part)
{
    if (skinsb::BothArrowsDisabled(bar))
        return true;
    return (bar.flags & (part == kSBFirstArrow ? ESB_DISABLE_LTUP : ESB_DISABLE_RTDN)) != 0;
}

UINT PartState(const SkinSBBar& bar, int part, int pressed, int hot)
{
    const bool arrow = part == kSBFirstArrow || part == kSBLastArrow;
    if (arrow ? ArrowDisabled(bar, part) : skinsb::BothArrowsDisabled(bar))
        return kSBStateDisabled;
    if (part == pressed)
        return kSBStatePressed;
    if (bar.style == 2 && part == hot)
        return kSBStateHot;
    return kSBStateNormal;
}

// ---- the classic look ------------------------------------------------------------------------

void ClassicArrow(HDC dc, RECT rc, const SkinSBBar& bar, int part, UINT state)
{
    UINT kind;
    if (bar.type == 1)
        kind = part == kSBFirstArrow ? DFCS_SCROLLUP : DFCS_SCROLLDOWN;
    else
        kind = part == kSBFirstArrow ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT;
    if (state == kSBStatePressed)
        kind |= DFCS_PUSHED;
    if (state == kSBStateDisabled)
        kind |= DFCS_INACTIVE;
    if (bar.style != 0)
        kind |= DFCS_FLAT;
    DrawFrameControl(dc, &rc, DFC_SCROLL, kind);
}

// The track's halftone: every other pixel in the two track colours (swapped while pressed).
void ClassicTrack(HDC dc, const RECT& rc, bool pressed)
{
    COLORREF light = GetSysColor(COLOR_3DHILIGHT);
    if (light != RGB(255, 255, 255) && light == GetSysColor(COLOR_WINDOW))
        light = GetSysColor(COLOR_3DFACE);
    COLORREF dark = GetSysColor(COLOR_SCROLLBAR);
    if (pressed)
        std::swap(light, dark);
    HDC pattern = CreateCompatibleDC(dc);
    HBITMAP bits = CreateCompatibleBitmap(dc, 8, 8);
    HGDIOBJ old = SelectObject(pattern, bits);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            SetPixel(pattern, x, y, (x + y) % 2 ? dark : light);
    SelectObject(pattern, old);
    DeleteDC(pattern);
    HBRUSH brush = CreatePatternBrush(bits);
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
    DeleteObject(bits);
}

void ClassicThumb(HDC dc, RECT rc, const SkinSBBar& bar, UINT state)
{
    const bool sunk = bar.style == 2 && state == kSBStatePressed;
    FillSolidRect(dc, rc, GetSysColor(sunk ? COLOR_BTNSHADOW : COLOR_3DFACE));
    DrawEdge(dc, &rc, EDGE_RAISED, BF_RECT);
}

void ClassicPart(HDC dc, const RECT& rc, const SkinSBBar& bar, int part, UINT state)
{
    switch (part) {
    case kSBFirstArrow:
    case kSBLastArrow:
        ClassicArrow(dc, rc, bar, part, state);
        break;
    case kSBThumb:
        ClassicThumb(dc, rc, bar, state);
        break;
    default:
        ClassicTrack(dc, rc, state == kSBStatePressed);
        break;
    }
}

// ---- one bar ---------------------------------------------------------------------------------

// What the part painter is told about a bar (or the corner) of the window at a stage.
SkinSBDrawInfo MakeInfo(HWND hwnd, HDC dc, int bar, int stage)
{
    SkinSBDrawInfo info;
    info.hwnd = hwnd;
    info.controlId = GetWindowLongA(hwnd, GWL_ID);
    info.stage = stage;
    info.dc = dc;
    info.bar = bar;
    info.rightToLeft = IsRightToLeft(hwnd);
    return info;
}

struct BarPainter {
    HWND hwnd;
    const SkinSBBar& bar;
    int barIndex;
    HDC dc;       // the off-screen surface
    POINT origin; // the bar's top-left in window coordinates
    bool skinned;

    SkinSBDrawInfo Info(int stage) const { return MakeInfo(hwnd, dc, barIndex, stage); }

    void Part(const RECT& windowRc, int part, UINT state) const
    {
        if (IsRectEmpty(&windowRc))
            return;
        RECT rc = windowRc;
        OffsetRect(&rc, -origin.x, -origin.y);
        if (!skinned) {
            ClassicPart(dc, rc, bar, part, state);
            return;
        }
        SkinSBDrawInfo info = Info(kSBStagePart);
        info.rc = rc;
        info.part = part;
        info.state = state;
        DrawSkinScrollBarPart(info.controlId, &info);
    }
};

}  // namespace

namespace skinsb {

CSkinScrollBarObject* ScrollBarObject()
{
    CSkinFile* file = CSkinManager::Instance().GetSkinFile();
    return file ? static_cast<CSkinScrollBarObject*>(file->FindObjectByType(SKIN_SCROLLBAR)) : nullptr;
}

void PaintBar(HWND hwnd, const SkinSBRecord& rec, int bar, HDC windowDc, int pressed, int hot)
{
    const RECT rc = BarRect(hwnd, rec, bar);
    if (IsRectEmpty(&rc))
        return;
    CSkinMemDC surface(windowDc, rc.right - rc.left, rc.bottom - rc.top);
    if (!surface.IsValid())
        return;
    const SkinSBBar& b = rec.bars[bar];
    BarPainter painter{hwnd, b, bar, surface, POINT{rc.left, rc.top}, false};
    SkinSBDrawInfo pre = painter.Info(kSBStagePre);
    pre.rc = RECT{0, 0, rc.right - rc.left, rc.bottom - rc.top};
    painter.skinned = DrawSkinScrollBarPart(pre.controlId, &pre) == CDRF_SKIPDEFAULT;

    const SkinSBLayout l = DrawnLayout(hwnd, rec, bar, rc);
    for (int part : {kSBFirstArrow, kSBPageBefore, kSBThumb, kSBPageAfter, kSBLastArrow})
        painter.Part(PartRect(b, rc, l, part), part, PartState(b, part, pressed, hot));

    SkinSBDrawInfo post = painter.Info(kSBStagePost);
    post.rc = pre.rc;
    DrawSkinScrollBarPart(post.controlId, &post);
    BitBlt(windowDc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, surface, 0, 0, SRCCOPY);
}

// The square between two visible bars: the skin's corner image, else a size grip where the
// window's corner is its parent's, else the face colour.
void PaintCorner(HWND hwnd, const SkinSBRecord& rec, HDC windowDc)
{
    const RECT h = BarRect(hwnd, rec, SB_HORZ), v = BarRect(hwnd, rec, SB_VERT);
    RECT corner{v.left, h.top, v.right, h.bottom};
    if (IsRectEmpty(&h) || IsRectEmpty(&v) || IsRectEmpty(&corner))
        return;
    SkinSBDrawInfo info = MakeInfo(hwnd, windowDc, kSBCorner, kSBStagePart);
    info.rc = corner;
    if (DrawSkinScrollBarPart(info.controlId, &info) == CDRF_SKIPDEFAULT)
        return;
    HWND parent = GetParent(hwnd);
    RECT window, client;
    GetWindowRect(hwnd, &window);
    const bool left = rec.leftScrollBar != FALSE;
    bool grip = false;
    if (parent && GetClientRect(parent, &client)) {
        POINT far{left ? client.left : client.right, client.bottom};
        ClientToScreen(parent, &far);
        grip = far.y == window.bottom && far.x == (left ? window.left : window.right);
    }
    if (grip)
        DrawFrameControl(windowDc, &corner, DFC_SCROLL, left ? DFCS_SCROLLSIZEGRIPRIGHT : DFCS_SCROLLSIZEGRIP);
    else
        FillSolidRect(windowDc, corner, GetSysColor(COLOR_3DFACE));
}

}  // namespace skinsb

namespace {

// The state's record set of the bar; the normal set stands in for a record left empty.
const SkinScrollBarState& StateSet(const CSkinScrollBarObject& o, int bar, UINT state)
{
    const int index = state == kSBStatePressed ? 1 : state == kSBStateDisabled ? 3 : state == kSBStateHot ? 2 : 0;
    if (bar == SB_HORZ)
        return o.m_horizontal[index];
    return index == 3 ? o.m_verticalLast : o.m_vertical[index];
}

void DrawSkinThumb(CSkinFile* file, const SkinSBDrawInfo& info, const SkinScrollBarState& set,
                   const SkinScrollBarState& normal)
{
    const bool own = !IsGridPartEmpty(set.thumb);
    const SkinNineGrid& track = own && !IsGridPartEmpty(set.track) ? set.track : normal.track;
    const SkinNineGrid& thumb = own ? set.thumb : normal.thumb;
    const COLORREF face = GetSysColor(COLOR_3DFACE);
    DrawSkinImagePart(file, info.dc, info.rc, track, face, 1, info.rightToLeft);
    RECT inner = info.rc;
    if (info.bar == SB_HORZ) {
        inner.top += track.marginTop;
        inner.bottom -= track.marginBottom;
    } else {
        inner.left += track.marginLeft;
        inner.right -= track.marginRight;
    }
    if (!IsRectEmpty(&inner))
        DrawSkinImagePart(file, info.dc, inner, thumb, face, 1, info.rightToLeft);
}

}  // namespace

namespace skinsb {

void DrawPart(const CSkinScrollBarObject& o, const SkinSBDrawInfo& info)
{
    CSkinFile* file = o.GetOwner();
    const COLORREF face = GetSysColor(COLOR_3DFACE);
    if (info.bar == kSBCorner) {
        DrawSkinImage(file, info.dc, info.rc, o.m_sizeGrip, face, 1, info.rightToLeft);
        return;
    }
    const int bar = info.bar == SB_VERT ? SB_VERT : SB_HORZ;
    const SkinScrollBarState& normal = StateSet(o, bar, kSBStateNormal);
    const SkinScrollBarState& set = StateSet(o, bar, info.state);
    switch (info.part) {
    case kSBFirstArrow:
    case kSBLastArrow: {
        const bool first = info.part == kSBFirstArrow;
        const SkinImagePart& own = first ? set.arrow1 : set.arrow2;
        const SkinImagePart& fallback = first ? normal.arrow1 : normal.arrow2;
        DrawSkinImage(file, info.dc, info.rc, IsImagePartEmpty(own) ? fallback : own, face, 1, info.rightToLeft);
        break;
    }
    case kSBThumb:
        DrawSkinThumb(file, info, set, normal);
        break;
    default: {
        const SkinNineGrid& track = IsGridPartEmpty(set.track) ? normal.track : set.track;
        DrawSkinImagePart(file, info.dc, info.rc, track, face, 1, info.rightToLeft);
        break;
    }
    }
}

}  // namespace skinsb

LRESULT DrawSkinScrollBarPart(int /*controlId*/, SkinSBDrawInfo* info)
{
    if (!info)
        return 0;
    if (info->bar == -2)
        return CDRF_SKIPDEFAULT;
    CSkinScrollBarObject* o = skinsb::ScrollBarObject();
    if (!o)
        return 0;
    if (info->stage == kSBStagePart)
        skinsb::DrawPart(*o, *info);
    return info->stage == kSBStagePre || info->stage == kSBStagePart ? CDRF_SKIPDEFAULT : 0;
}
