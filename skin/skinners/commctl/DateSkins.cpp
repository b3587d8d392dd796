#include "DateSkins.h"

#include <commctrl.h>

#include "CommCtlDraw.h"
#include "SkinDraw.h"
#include "SkinObjectTypes.h"

// ---- date-time picker --------------------------------------------------------------------------------

CSkinDateTimeObject* CSkinDateTime::DateObject() const { return dynamic_cast<CSkinDateTimeObject*>(m_pSkinObject); }

BOOL CSkinDateTime::Attach(HWND hwnd)
{
    if (!CSkinControlBase::Attach(hwnd))
        return FALSE;
    ChangeStyleBits(GWL_STYLE, 0, DTS_APPCANPARSE);
    return TRUE;
}

bool CSkinDateTime::HasDropButton() const
{
    // The time format includes the up-down bit.
    return m_hWnd && !(GetWindowLongA(m_hWnd, GWL_STYLE) & DTS_UPDOWN);
}

RECT CSkinDateTime::GetButtonRect() const
{
    RECT r;
    GetClientRect(m_hWnd, &r);
    r.left = r.right - kButtonWidth;
    return r;
}

void CSkinDateTime::Draw(HDC hdc)
{
    CSkinDateTimeObject* o = DateObject();
    RECT client;
    GetClientRect(m_hWnd, &client);
    if (!o) {
        FillSolidRect(hdc, client, GetSysColor(COLOR_WINDOW));
        return;
    }
    const bool enabled = IsWindowEnabled(m_hWnd) != FALSE;
    FillSolidRect(hdc, client, enabled ? o->m_crBack : o->m_nDateValue);
    DrawSkinImage(GetSkinFile(), hdc, client, enabled ? o->m_image1 : o->m_image2,
                  enabled ? o->m_crBack : o->m_nDateValue, 1, false);
    const std::string text = commctl::WindowText(m_hWnd);
    HGDIOBJ oldFont = SelectObject(hdc, GetControlFont());
    RECT tr{client.left + 2, client.top, HasDropButton() ? client.right - kButtonWidth : client.right, client.bottom};
    DrawSkinTextStyle(hdc, commctl::TextStyleFromBlock(enabled ? o->m_block1 : o->m_block2), tr, text.c_str(),
                      int(text.size()), DT_VCENTER | DT_SINGLELINE);
    SelectObject(hdc, oldFont);
    if (!HasDropButton())
        return;
    const RECT br = GetButtonRect();
    const SkinNineGrid& normal = o->m_grids[0];
    const SkinNineGrid& open = o->m_grids[1];
    const SkinNineGrid* chosen;
    if (!enabled)
        chosen = &o->m_grids[2];
    else if (m_hCalendar)
        chosen = IsGridPartEmpty(open) ? &normal : &open;
    else
        chosen = IsGridPartEmpty(normal) ? &open : &normal;
    if (IsGridPartEmpty(*chosen)) {
        RECT arrow = br;
        DrawFrameControl(hdc, &arrow, DFC_SCROLL,
                         DFCS_SCROLLCOMBOBOX | (enabled ? 0 : DFCS_INACTIVE) | (m_hCalendar ? DFCS_PUSHED : 0));
        return;
    }
    DrawSkinImagePart(GetSkinFile(), hdc, br, *chosen, o->m_crBack, 1, false);
}

void CSkinDateTime::Notify(HWND picker, UINT code)
{
    NMHDR nm{};
    nm.hwndFrom = picker;
    nm.idFrom = UINT_PTR(GetDlgCtrlID(picker));
    nm.code = code;
    ::SendMessageA(GetParent(picker), WM_NOTIFY, nm.idFrom, reinterpret_cast<LPARAM>(&nm));
}

int CSkinDateTime::RunOneMessage(HWND picker)
{
    MSG msg;
    if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
        // The program is to end: the loop ends and the quit stays for the main loop.
        PostQuitMessage(int(msg.wParam));
        return -1;
    }
    HWND cal = m_hCalendar;
    const bool forCalendar = msg.hwnd == cal || IsChild(cal, msg.hwnd);
    if (!forCalendar) {
        if (msg.message == WM_LBUTTONDOWN || msg.message == WM_NCLBUTTONDOWN)
            return -1;  // the click only closes the calendar
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        return IsWindow(picker) && IsWindow(cal) ? 1 : -1;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)
        return -1;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    if (!IsWindow(picker) || !IsWindow(cal))
        return -1;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN)
        return 0;
    if (msg.message == WM_LBUTTONUP) {
        MCHITTESTINFO hit{};
        hit.cbSize = sizeof hit;
        hit.pt = POINT{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
        if (UINT(::SendMessageA(cal, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))) == MCHT_CALENDARDATE)
            return 0;
    }
    return 1;
}

LRESULT CSkinDateTime::DropDown()
{
    if (m_hCalendar || !m_hWnd)
        return 1;
    HWND picker = m_hWnd;
    RECT pr;
    ::GetWindowRect(picker, &pr);
    const DWORD style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_BORDER;
    HWND cal = CreateWindowExA(0, "SysMonthCal32", "MonthCal32", style, pr.left, pr.bottom, 0, 0, GetParent(picker),
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!cal)
        return 1;
    m_hCalendar = cal;
    SYSTEMTIME date{};
    ::SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
    const CSkinLifeline::Watch attached = m_life.Observe();
    Notify(picker, DTN_DROPDOWN);
    if (!attached.Alive()) {
        // The parent removed the skin in its answer: no skinned calendar to run.
        m_hCalendar = nullptr;
        if (IsWindow(cal))
            DestroyWindow(cal);
        return 1;
    }
    if (IsWindow(cal)) {
        ::SendMessageA(cal, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&date));
        RECT need{};
        ::SendMessageA(cal, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&need));
        AdjustWindowRectEx(&need, style, FALSE, 0);  // the whole calendar inside its border
        SetWindowPos(cal, HWND_TOP, pr.left, pr.bottom, need.right - need.left, need.bottom - need.top,
                     SWP_NOACTIVATE);
        SetFocus(cal);
        InvalidateRect(picker, nullptr, FALSE);
    }
    int state = IsWindow(cal) && IsWindow(picker) ? 1 : -1;
    while (state == 1)
        state = RunOneMessage(picker);
    SYSTEMTIME chosen{};
    const bool picked = state == 0 && IsWindow(cal) &&
                        ::SendMessageA(cal, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&chosen)) != 0;
    if (IsWindow(cal))
        DestroyWindow(cal);
    if (!IsWindow(picker))
        return 1;
    m_hCalendar = nullptr;
    InvalidateRect(picker, nullptr, FALSE);
    if (!picked)
        return 1;
    chosen.wHour = chosen.wMinute = chosen.wSecond = chosen.wMilliseconds = 0;
    Notify(picker, DTN_CLOSEUP);
    ::SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&chosen));
    InvalidateRect(picker, nullptr, FALSE);
    return 1;
}

LRESULT CSkinDateTime::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_LBUTTONDOWN: {
        if (m_hCalendar)
            return 1;
        const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const RECT br = GetButtonRect();
        if (HasDropButton() && PtInRect(&br, p))
            return DropDown();
        break;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        // The keyboard opens the same calendar as the button.
        if (HasDropButton() && (wParam == VK_F4 || (msg == WM_SYSKEYDOWN && wParam == VK_DOWN)))
            return DropDown();
        break;
    case WM_NCPAINT:
        if (CSkinDateTimeObject* o = DateObject())
            if (commctl::PaintSkinBorder(*this, GetSkinFile(), wParam, o->m_background, o->m_crBack))
                return 0;
        return CSkinWindow::WindowProc(msg, wParam, lParam);
    case WM_NOTIFY: {
        const auto* nm = reinterpret_cast<const NMHDR*>(lParam);
        if (nm && nm->idFrom == UINT_PTR(kUpDownId)) {
            const LRESULT r = CSkinControlBase::WindowProc(msg, wParam, lParam);
            if (m_hWnd)
                InvalidateRect(m_hWnd, nullptr, FALSE);
            return r;
        }
        break;
    }
    case DTM_GETMONTHCAL:
        return reinterpret_cast<LRESULT>(m_hCalendar);
    default:
        break;
    }
    return CSkinControlBase::WindowProc(msg, wParam, lParam);
}

// ---- month calendar --------------------------------------------------------------------------------

CSkinMonthCalendarObject* CSkinMonthCalendar::CalendarObject() const
{
    return dynamic_cast<CSkinMonthCalendarObject*>(m_pSkinObject);
}

BOOL CSkinMonthCalendar::Attach(HWND hwnd)
{
    if (!CSkinControlBase::Attach(hwnd))
        return FALSE;
    FindMonthCalTitleButtons(hwnd, &m_rcPrevious, &m_rcNext);
    PostMessage(kApplyColours, 0, 0);
    return TRUE;
}

CSkinObject* CSkinMonthCalendar::SetSkinObject(CSkinObject* object)
{
    CSkinObject* previous = CSkinControlBase::SetSkinObject(object);
    if (m_hWnd)
        PostMessage(kApplyColours, 0, 0);
    return previous;
}

LRESULT CSkinMonthCalendar::ApplyColours()
{
    CSkinMonthCalendarObject* o = CalendarObject();
    if (!m_hWnd || !o)
        return 1;
    const std::pair<int, COLORREF> colours[] = {
        {MCSC_BACKGROUND, o->m_crBack},     {MCSC_MONTHBK, o->m_values[0]},   {MCSC_TEXT, o->m_crText},
        {MCSC_TITLEBK, o->m_values[1]},     {MCSC_TITLETEXT, o->m_values[2]}, {MCSC_TRAILINGTEXT, o->m_values[3]},
    };
    if (!m_bOwnColoursSaved) {
        for (const auto& c : colours)
            m_ownColours[c.first] = COLORREF(::SendMessageA(m_hWnd, MCM_GETCOLOR, WPARAM(c.first), 0));
        m_bOwnColoursSaved = true;
    }
    for (const auto& c : colours)
        ::SendMessageA(m_hWnd, MCM_SETCOLOR, WPARAM(c.first), LPARAM(c.second));
    return 1;
}

void CSkinMonthCalendar::Detach()
{
    if (m_hWnd && m_bOwnColoursSaved && !IsDestroyed())
        for (int index = 0; index <= MCSC_TRAILINGTEXT; ++index)
            ::SendMessageA(m_hWnd, MCM_SETCOLOR, WPARAM(index), LPARAM(m_ownColours[index]));
    m_bOwnColoursSaved = false;
    CSkinControlBase::Detach();
}

void CSkinMonthCalendar::Draw(HDC hdc)
{
    CSkinMonthCalendarObject* o = CalendarObject();
    RECT client;
    GetClientRect(m_hWnd, &client);
    if (o)
        commctl::FillBackground(GetSkinFile(), hdc, client, o->m_background, o->m_crBack);
    ::SendMessageA(m_hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(hdc), PRF_CLIENT);
    if (!o)
        return;
    const bool enabled = IsWindowEnabled(m_hWnd) != FALSE;
    auto pick = [&](int normal, int pressed, int disabled, bool hot) -> const SkinNineGrid& {
        const SkinNineGrid& want = !enabled ? o->m_grids[disabled] : hot ? o->m_grids[pressed] : o->m_grids[normal];
        return IsGridPartEmpty(want) ? o->m_grids[normal] : want;
    };
    if (!IsRectEmpty(&m_rcPrevious))
        DrawSkinImagePartTransparent(GetSkinFile(), hdc, m_rcPrevious, pick(0, 1, 4, m_nHot == kPrevious),
                                     GetKeyColor(), false);
    if (!IsRectEmpty(&m_rcNext))
        DrawSkinImagePartTransparent(GetSkinFile(), hdc, m_rcNext, pick(2, 3, 5, m_nHot == kNext), GetKeyColor(),
                                     false);
}

int CSkinMonthCalendar::PartAt(LPARAM lParam) const
{
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (PtInRect(&m_rcPrevious, p))
        return kPrevious;
    if (PtInRect(&m_rcNext, p))
        return kNext;
    return kNone;
}

LRESULT CSkinMonthCalendar::OnMouse(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const int part = PartAt(lParam);
    LRESULT r;
    if (msg == WM_MOUSEMOVE) {
        if (!(wParam & MK_LBUTTON))
            return CSkinControlBase::WindowProc(msg, wParam, lParam);
        r = CallSavedHidden(msg, wParam, lParam);
        m_nHot = part;
    } else if (part != kNone) {
        m_nHot = msg == WM_LBUTTONDOWN ? part : kNone;
        r = CallSavedHidden(msg, wParam, lParam);
    } else {
        m_nHot = kNone;
        return CSkinControlBase::WindowProc(msg, wParam, lParam);
    }
    // The control could not paint itself meanwhile.
    RepaintNow(FALSE);
    return r;
}

LRESULT CSkinMonthCalendar::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SIZE:
    case WM_SETFONT: {
        // The skin's font, which comes after the attach, lays the title out anew as well.
        const LRESULT r = CSkinControlBase::WindowProc(msg, wParam, lParam);
        if (m_hWnd)
            FindMonthCalTitleButtons(m_hWnd, &m_rcPrevious, &m_rcNext);
        return r;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return OnMouse(msg, wParam, lParam);
    case kApplyColours:
        return ApplyColours();
    default:
        return CSkinControlBase::WindowProc(msg, wParam, lParam);
    }
}

CSkinWindow* MakeDateTimeSkinner(int, CSkinWindow* owner) { return new CSkinDateTime(owner); }
CSkinWindow* MakeMonthCalendarSkinner(int, CSkinWindow* owner) { return new CSkinMonthCalendar(owner); }
