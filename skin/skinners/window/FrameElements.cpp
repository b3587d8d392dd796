#include "FrameElements.h"

#include <commctrl.h>

#include <cstring>

#include "RasterImage.h"
#include "SkinDraw.h"
#include "SkinFile.h"
#include "SkinGeometry.h"
#include "SkinObjectTypes.h"
#include "SkinTooltip.h"

namespace {

constexpr size_t kTooltipTextLength = 100;
constexpr int kTitleLength = 300;

bool LaysOutByAnchors(int hostType)
{
    return hostType == SKIN_FRAMEWND || hostType == SKIN_POPUPMENU || hostType == SKIN_TYPE45;
}

}  // namespace

// ---- the area -----------------------------------------------------------------------------------

CSkinArea::CSkinArea(int left, int top, int right, int bottom, CSkinWindow* host, CSkinObject* object)
    : m_rc{left, top, right, bottom}, m_pHost(host)
{
    CSkinArea::SetSkinObject(object);
}

CSkinArea::~CSkinArea() { HideTooltip(); }

CSkinObject* CSkinArea::SetSkinObject(CSkinObject* object) { return CSkinElement::SetSkinObject(object); }

CSkinCaptionBaseObject* CSkinArea::CaptionObject() const
{
    return dynamic_cast<CSkinCaptionBaseObject*>(m_pSkinObject);
}

DWORD CSkinArea::GetCommandId() const
{
    CSkinCaptionBaseObject* o = CaptionObject();
    return o ? o->m_nCaptionValue1 : 0;
}

DWORD CSkinArea::GetCondition() const
{
    CSkinCaptionBaseObject* o = CaptionObject();
    return o ? o->m_nCaptionValue2 : 0;
}

DWORD CSkinArea::GetAnchorMode() const { return m_pSkinObject ? m_pSkinObject->m_nAnchoring : 0; }

BOOL CSkinArea::IsVisible()
{
    if (!m_bVisible)
        return FALSE;
    HWND hwnd = m_pHost ? m_pHost->GetHwnd() : nullptr;
    const bool iconic = m_pHost && m_pHost->IsIconic();
    const bool zoomed = m_pHost && m_pHost->IsZoomed();
    switch (GetCondition()) {
    case 0: return TRUE;
    case 1: return iconic;
    case 2: return !iconic;
    case 3: return zoomed;
    case 4: return !zoomed;
    case 5: return m_pHost && m_pHost->IsActiveCaption();
    case 6: return !(m_pHost && m_pHost->IsActiveCaption());
    case 7: return hwnd && IsWindowEnabled(hwnd);
    case 8: return hwnd && !IsWindowEnabled(hwnd);
    case 9: return !zoomed && !iconic;
    default: return FALSE;
    }
}

RECT CSkinArea::ShownRect() const
{
    RECT rc = m_rc;
    if (m_pHost)
        MirrorRectInWindow(m_pHost->GetHwnd(), rc);
    return rc;
}

void CSkinArea::Hide()
{
    m_bVisible = FALSE;
    const RECT rc = ShownRect();
    if (m_pHost)
        m_pHost->InvalidateFrameRect(&rc);
}

void CSkinArea::Show()
{
    m_bVisible = TRUE;
    const RECT rc = ShownRect();
    if (m_pHost)
        m_pHost->InvalidateFrameRect(&rc);
}

void CSkinArea::SetEnabled(BOOL enabled)
{
    m_bEnabled = enabled;
    Redraw();
}

void CSkinArea::Redraw()
{
    // The host paints the frame under the element again with the element over it: drawing
    // straight onto the window would take the element's previous look for its background.
    HWND hwnd = m_pHost ? m_pHost->GetHwnd() : nullptr;
    if (!hwnd)
        return;
    const RECT rc = ShownRect();
    m_pHost->InvalidateFrameRect(&rc);
    UpdateWindow(hwnd);
}

bool CSkinArea::IsLayoutRTL(HWND hwnd)
{
    return hwnd && (DWORD(GetWindowLongA(hwnd, GWL_EXSTYLE)) & WS_EX_LAYOUTRTL);
}

void CSkinArea::MirrorXInWindow(HWND hwnd, int& x)
{
    RECT wr;
    if (IsLayoutRTL(hwnd) && GetWindowRect(hwnd, &wr))
        x = wr.right - x + wr.left;
}

void CSkinArea::MirrorRectInWindow(HWND hwnd, RECT& rc)
{
    RECT wr;
    if (!IsLayoutRTL(hwnd) || !GetWindowRect(hwnd, &wr))
        return;
    const LONG width = SkinWidth(wr);
    const LONG left = SkinSub(width, rc.right), right = SkinSub(width, rc.left);
    rc.left = left;
    rc.right = right;
}

void CSkinArea::MirrorX(int& x) const
{
    HWND hwnd = m_pHost ? m_pHost->GetHwnd() : nullptr;
    RECT wr;
    if (IsLayoutRTL(hwnd) && GetWindowRect(hwnd, &wr))
        x = SkinSub(SkinWidth(wr), x);
}

bool CSkinArea::GetAnchorBounds(RECT* bounds) const
{
    auto* hostObject = m_pHost ? dynamic_cast<CSkinWindowObject*>(m_pHost->GetSkinObject()) : nullptr;
    if (!hostObject || !LaysOutByAnchors(hostObject->GetType()))
        return false;
    *bounds = SkinClampRect(hostObject->GetFrameBounds());
    return true;
}

void CSkinArea::Layout(int left, int top, int right, int bottom)
{
    const RECT d = m_pSkinObject ? SkinClampRect(m_pSkinObject->m_rc) : m_rc;
    RECT b;
    if (!GetAnchorBounds(&b)) {
        m_rc = d;
        return;
    }
    const LONG W = SkinSub(right, left), H = SkinSub(bottom, top);
    RECT r = d;
    const DWORD mode = GetAnchorMode();
    const bool toBottom = mode == 2 || mode == 8 || mode == 5;
    const bool toRight = mode == 4 || mode == 6 || mode == 5;
    if (toBottom) {
        r.bottom = SkinAdd(SkinSub(d.bottom, b.bottom), H);
        r.top = SkinSub(r.bottom, SkinHeight(d));
    }
    if (toRight) {
        r.right = SkinAdd(SkinSub(d.right, b.right), W);
        r.left = SkinSub(r.right, SkinWidth(d));
    }
    m_rc = r;
}

BOOL CSkinArea::HitTest(int x, int y) { return IsVisible() && PtInRect(&m_rc, POINT{x, y}); }

BOOL CSkinArea::HitTestHostPoint(int x, int y)
{
    MirrorX(x);
    return HitTest(x, y);
}

int CSkinArea::OnMouseMessage(UINT msg, int x, int y)
{
    switch (msg) {
    case WM_MOUSEMOVE: OnMouseMove(x, y); break;
    case WM_LBUTTONDOWN: OnLButtonDown(x, y); break;
    case WM_LBUTTONUP: OnLButtonUp(x, y); break;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(x, y); break;
    case WM_RBUTTONDOWN: OnRButtonDown(x, y); break;
    case WM_RBUTTONUP: OnRButtonUp(x, y); break;
    default: break;
    }
    return 1;
}

bool CSkinArea::NotifyHost(UINT msg, int x, int y)
{
    HWND hwnd = m_pHost ? m_pHost->GetHwnd() : nullptr;
    if (!hwnd)
        return true;
    return m_life.Send(hwnd, msg, GetCommandId(), MAKELPARAM(x - m_rc.left, y - m_rc.top));
}

bool CSkinArea::TakeMouse(UINT notice, int& x, int y)
{
    MirrorX(x);
    if (!HitTest(x, y))
        return false;
    return NotifyHost(notice, x, y);
}

void CSkinArea::OnMouseMove(int x, int y) { TakeMouse(WM_SKINELEMENT_MOVE, x, y); }
void CSkinArea::OnLButtonDown(int x, int y) { TakeMouse(WM_SKINELEMENT_LDOWN, x, y); }
void CSkinArea::OnRButtonDown(int x, int y) { TakeMouse(WM_SKINELEMENT_RDOWN, x, y); }
void CSkinArea::OnLButtonUp(int x, int y) { TakeMouse(WM_SKINELEMENT_LUP, x, y); }
void CSkinArea::OnRButtonUp(int x, int y) { TakeMouse(WM_SKINELEMENT_RUP, x, y); }
void CSkinArea::OnLButtonDblClk(int x, int y) { TakeMouse(WM_SKINELEMENT_LDBLCLK, x, y); }

void CSkinArea::Draw(HDC hdc)
{
    if (!m_pSkinObject)
        return;
    const RECT rc = ShownRect();
    const bool mirror = m_pHost && IsLayoutRTL(m_pHost->GetHwnd());
    if (CSkinCaptionBaseObject* o = CaptionObject())
        DrawSkinImage(o->GetOwner(), hdc, rc, o->m_image, o->m_crBack, 1, mirror);
    else
        FillSolidRect(hdc, rc, m_pSkinObject->m_crBack);
}

std::string CSkinArea::GetTooltipText()
{
    HWND hwnd = m_pHost ? m_pHost->GetHwnd() : nullptr;
    if (!hwnd)
        return CSkinElement::GetTooltipText();
    NMTTDISPINFOA info;
    std::memset(&info, 0, sizeof info);
    CSkinTooltip* tip = GetSkinTooltip();
    info.hdr.hwndFrom = tip ? tip->GetHwnd() : nullptr;
    info.hdr.idFrom = GetCommandId();
    info.hdr.code = TTN_GETDISPINFOA;
    info.uFlags = TTF_IDISHWND;
    if (!m_life.Send(hwnd, WM_SKINELEMENT_TOOLTIP, GetCommandId(), reinterpret_cast<LPARAM>(&info)))
        return std::string();
    if (info.hinst) {
        char text[kTooltipTextLength + 1] = {};
        const UINT id = UINT(reinterpret_cast<UINT_PTR>(info.lpszText));
        if (LoadStringA(info.hinst, id, text, int(sizeof text)) > 0)
            return text;
    } else if (info.lpszText && info.lpszText != LPSTR_TEXTCALLBACKA) {
        // The host's own text; the call-back marker is no text at all.
        return std::string(info.lpszText, strnlen(info.lpszText, 4096));
    } else if (info.szText[0]) {
        return std::string(info.szText, strnlen(info.szText, sizeof info.szText - 1));
    }
    return CSkinElement::GetTooltipText();
}

void CSkinArea::ShowTooltip()
{
    ISkinElementTooltip* tip = GetSkinElementTooltip();
    if (m_strName.empty() || !tip)
        return;
    const CSkinLifeline::Watch watch = m_life.Observe();
    const std::string text = GetTooltipText();
    if (!watch.Alive())
        return;
    tip->SetSkinObject(FindTooltipObject());
    tip->SetOwner(this);
    tip->ShowDelayed(text.c_str());
}

CSkinObject* CSkinArea::FindTooltipObject()
{
    if (CSkinObject* hostObject = m_pHost ? m_pHost->GetSkinObject() : nullptr)
        for (auto& entry : hostObject->GetChildren())
            if (entry.second->GetType() == SKIN_TOOLTIP)
                return entry.second.get();
    return CSkinElement::FindTooltipObject();
}

// ---- the caption text ----------------------------------------------------------------------------

CSkinCaptionStatic::CSkinCaptionStatic(int left, int top, int right, int bottom, CSkinWindow* host,
                                       CSkinObject* object)
    : CSkinArea(left, top, right, bottom, host, object)
{
}

CSkinCaptionStatic::~CSkinCaptionStatic() = default;

CSkinCaptionStaticObject* CSkinCaptionStatic::TextObject() const
{
    return dynamic_cast<CSkinCaptionStaticObject*>(m_pSkinObject);
}

void CSkinCaptionStatic::Layout(int left, int top, int right, int bottom)
{
    CSkinCaptionStaticObject* o = TextObject();
    RECT b;
    if (!o || !GetAnchorBounds(&b)) {
        CSkinArea::Layout(left, top, right, bottom);
        return;
    }
    const RECT d = SkinClampRect(o->m_rc);
    DWORD anchor[4];
    std::memcpy(anchor, o->m_block20, sizeof anchor);
    const LONG W = SkinSub(right, left), H = SkinSub(bottom, top);
    // Both flags of an axis stretch the element; the far flag alone keeps its distance from
    // the far edge.
    auto axis = [](LONG d0, LONG d1, LONG b0, LONG b1, LONG size, bool nearFlag, bool farFlag, LONG* lo, LONG* hi) {
        const LONG extent = SkinSub(d1, d0), farGap = SkinSub(b1, d1);
        *lo = farFlag && !nearFlag ? SkinSub(SkinSub(size, extent), farGap) : SkinSub(d0, b0);
        *hi = farFlag ? SkinSub(size, farGap) : SkinAdd(*lo, extent);
    };
    axis(d.left, d.right, b.left, b.right, W, anchor[0] != 0, anchor[2] != 0, &m_rc.left, &m_rc.right);
    axis(d.top, d.bottom, b.top, b.bottom, H, anchor[1] != 0, anchor[3] != 0, &m_rc.top, &m_rc.bottom);
}

LRESULT CSkinCaptionStatic::GetHitTestCode()
{
    CSkinCaptionStaticObject* o = TextObject();
    switch (o ? o->m_nRole : 0) {
    case 1:
    case 10: return HTCAPTION;
    case 2: return HTLEFT;
    case 3: return HTTOPLEFT;
    case 4: return HTTOP;
    case 5: return HTTOPRIGHT;
    case 6: return HTRIGHT;
    case 7: return HTBOTTOMRIGHT;
    case 8: return HTBOTTOM;
    case 9: return HTBOTTOMLEFT;
    default: return 0;
    }
}

namespace {

// The shape of a caption text's picture without the skin's key colour, fitted to rc by the
// image record's mode; null when the skin asks for no shapes, there is no picture, or a step
// fails.
HRGN FittedTextRegion(CSkinCaptionStaticObject* o, const RECT& rc)
{
    CSkinFile* file = o ? o->GetOwner() : nullptr;
    auto* app = file ? static_cast<CSkinApplicationObject*>(file->FindObjectByType(SKIN_APPLICATION)) : nullptr;
    if (!app || !app->m_bTransparent)
        return nullptr;
    SkinImageCacheEntry cut;
    o->GetImagePart(o->m_image, cut);
    HRGN fitted = nullptr;
    // A picture of no size tiles or scales to nothing: the rectangle stands in.
    if (cut.region && cut.width > 0 && cut.height > 0) {
        switch (o->m_image.mode) {
        case 0: fitted = TransformRegion(cut.region, 1.0f, 1.0f, rc.left, rc.top); break;
        case 1: fitted = TileRegion(cut.region, cut.width, cut.height, rc); break;
        default:
            fitted = TransformRegion(cut.region, float(SkinWidth(rc)) / float(cut.width),
                                     float(SkinHeight(rc)) / float(cut.height), rc.left, rc.top);
            break;
        }
    }
    CSkinObject::ReleaseImagePart(cut);
    return fitted;
}

}  // namespace

HRGN CSkinCaptionStatic::GetRegion()
{
    if (HRGN r = FittedTextRegion(TextObject(), m_rc))
        return r;
    return CreateRectRgnIndirect(&m_rc);
}

BOOL CSkinCaptionStatic::HitTest(int x, int y)
{
    if (!IsVisible() || !PtInRect(&m_rc, POINT{x, y}))
        return FALSE;
    HRGN r = GetRegion();
    const BOOL in = r && PtInRegion(r, x, y);
    if (r)
        DeleteObject(r);
    return in;
}

void CSkinCaptionStatic::CombineRegion(HRGN windowRegion)
{
    CSkinCaptionStaticObject* o = TextObject();
    if (!o || !windowRegion)
        return;
    const RECT shown = ShownRect();
    HRGN mine = FittedTextRegion(o, shown);
    if (!mine)
        mine = CreateRectRgnIndirect(&shown);
    switch (o->m_nRegionMode) {
    case 0: CombineRgn(windowRegion, windowRegion, mine, RGN_AND); break;
    case 1: CombineRgn(windowRegion, windowRegion, mine, RGN_DIFF); break;
    case 2: CombineRgn(windowRegion, windowRegion, mine, RGN_OR); break;
    case 3: CombineRgn(windowRegion, windowRegion, mine, RGN_XOR); break;
    case 4: {
        HRGN box = CreateRectRgnIndirect(&shown);
        CombineRgn(windowRegion, windowRegion, box, RGN_DIFF);
        CombineRgn(windowRegion, windowRegion, mine, RGN_OR);
        DeleteObject(box);
        break;
    }
    default: break;
    }
    DeleteObject(mine);
}

UINT CSkinCaptionStatic::TextFormat() const
{
    CSkinCaptionStaticObject* o = TextObject();
    static const UINT horizontal[3] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    static const UINT vertical[3] = {DT_TOP, DT_VCENTER, DT_BOTTOM};
    UINT format = DT_SINGLELINE;
    if (o && o->m_values[0] < 3)
        format |= horizontal[o->m_values[0]];
    if (o && o->m_values[1] < 3)
        format |= vertical[o->m_values[1]];
    HWND hwnd = m_pHost ? m_pHost->GetHwnd() : nullptr;
    if (hwnd && (DWORD(GetWindowLongA(hwnd, GWL_EXSTYLE)) & WS_EX_RTLREADING))
        format |= DT_RTLREADING;
    return format;
}

void CSkinCaptionStatic::DrawOwnerDrawn(HDC hdc)
{
    const RECT rc = ShownRect();
    DRAWITEMSTRUCT item;
    std::memset(&item, 0, sizeof item);
    item.CtlType = 5;
    item.CtlID = GetCommandId();
    item.itemID = UINT(-1);
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = 0x20;
    item.hwndItem = m_pHost->GetHwnd();
    item.hDC = hdc;
    item.rcItem = rc;
    SendMessageA(m_pHost->GetHwnd(), WM_DRAWITEM, GetCommandId(), reinterpret_cast<LPARAM>(&item));
}

void CSkinCaptionStatic::Draw(HDC hdc)
{
    CSkinCaptionStaticObject* o = TextObject();
    if (!o)
        return;
    HWND hwnd = m_pHost ? m_pHost->GetHwnd() : nullptr;
    if (o->m_nRole == 11 && hwnd) {
        DrawOwnerDrawn(hdc);
        return;
    }
    std::string text;
    if (o->m_nRole == 11) {
        text = "OD";
    } else {
        CSkinArea::Draw(hdc);
        if (o->m_nRole == 1 && hwnd) {
            char title[kTitleLength + 1] = {};
            GetWindowTextA(hwnd, title, sizeof title);
            text = title;
        } else {
            text.assign(o->m_szText, strnlen(o->m_szText, sizeof o->m_szText));
        }
    }
    if (text.empty())
        return;
    LOGFONTA lf = o->m_font.ToLogFont();
    lf.lfHeight = std::clamp<LONG>(lf.lfHeight, -kSkinMaxFontSize, kSkinMaxFontSize);
    lf.lfWidth = std::clamp<LONG>(lf.lfWidth, 0, kSkinMaxFontSize);
    HFONT font = CreateFontIndirectA(&lf);
    HGDIOBJ old = font ? SelectObject(hdc, font) : nullptr;
    SkinTextStyle style;
    std::memcpy(&style, o->m_block16, sizeof style);
    const RECT rc = ShownRect();
    DrawSkinTextStyle(hdc, style, rc, text.c_str(), int(text.size()), TextFormat());
    if (font) {
        SelectObject(hdc, old);
        DeleteObject(font);
    }
}

// ---- the maker ------------------------------------------------------------------------------------

CSkinElement* CreateFrameElement(int type, CSkinWindow* host, CSkinObject* object)
{
    const RECT rc = object ? SkinClampRect(object->m_rc) : RECT{0, 0, 0, 0};
    switch (type) {
    case SKIN_CAPTIONBUTTON: return new CSkinCaptionButton(rc.left, rc.top, rc.right, rc.bottom, host, object);
    case SKIN_AREA: return new CSkinArea(rc.left, rc.top, rc.right, rc.bottom, host, object);
    case SKIN_CAPTIONSTATIC: return new CSkinCaptionStatic(rc.left, rc.top, rc.right, rc.bottom, host, object);
    default: return nullptr;
    }
}
