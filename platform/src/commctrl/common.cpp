// Registration of the common controls and the helpers they share.
#include "commctrl/common.h"

#include <cstring>

#include "user/classes.h"

namespace plat::commctrl {

void RegisterCommonClasses() {
    const int ptr = int(sizeof(void*));
    const user::SystemClassSetup kClasses[] = {
        {WC_LISTVIEWA, ListViewProc, ptr, CS_DBLCLKS, nullptr},
        {WC_HEADERA, HeaderProc, ptr, CS_DBLCLKS, nullptr},
        {TRACKBAR_CLASSA, TrackbarProc, ptr, CS_DBLCLKS, nullptr},
        {PROGRESS_CLASSA, ProgressProc, ptr, 0, nullptr},
        {TOOLTIPS_CLASSA, TooltipProc, ptr, CS_DBLCLKS | CS_SAVEBITS, nullptr},
        {WC_TABCONTROLA, TabProc, ptr, CS_DBLCLKS, nullptr},
        {STATUSCLASSNAMEA, StatusBarProc, ptr, CS_DBLCLKS, nullptr},
        {TOOLBARCLASSNAMEA, ToolbarProc, ptr, CS_DBLCLKS, nullptr},
        {REBARCLASSNAMEA, RebarProc, ptr, CS_DBLCLKS, nullptr},
        {MONTHCAL_CLASSA, MonthCalProc, ptr, 0, nullptr},
        {DATETIMEPICK_CLASSA, DateTimeProc, ptr, 0, nullptr},
        {ANIMATE_CLASSA, AnimateProc, ptr, 0, nullptr},
        {WC_LINK, LinkProc, ptr, 0, nullptr},
        {UPDOWN_CLASSA, UpDownProc, ptr, 0, nullptr},
        {WC_IPADDRESSA, IpAddressProc, ptr, 0, nullptr},
        {WC_TREEVIEWA, TreeViewProc, ptr, CS_DBLCLKS, nullptr},
        {"Link Window", LinkProc, ptr, 0, nullptr},  // the shell's older name for the same control
    };
    for (const auto& c : kClasses) user::RegisterSystemClass(c);
}

LRESULT SendNotifyTo(HWND to, HWND ctl, UINT code, NMHDR* hdr) {
    hdr->hwndFrom = ctl;
    hdr->idFrom = UINT_PTR(GetDlgCtrlID(ctl));
    hdr->code = code;
    if (!to || !IsWindow(to)) return 0;
    return SendMessageA(to, WM_NOTIFY, WPARAM(hdr->idFrom), reinterpret_cast<LPARAM>(hdr));
}

LRESULT SendNotify(HWND ctl, UINT code, NMHDR* hdr) { return SendNotifyTo(GetParent(ctl), ctl, code, hdr); }

HFONT FontOr(HFONT f) { return f ? f : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

void FillSolid(HDC dc, const RECT& r, COLORREF c) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    HBRUSH b = CreateSolidBrush(c);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

void CopyOut(const std::string& s, char* buf, int cap) {
    if (!buf || cap <= 0) return;
    size_t n = std::min(s.size(), size_t(cap - 1));
    memcpy(buf, s.data(), n);
    buf[n] = 0;
}

int LineHeight(HFONT font) { return ctl::FontLineHeight(nullptr, font); }

int TextWidth(HFONT font, const std::string& text) {
    if (text.empty()) return 0;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FontOr(font));
    SIZE sz{};
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &sz);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return int(sz.cx);
}

}  // namespace plat::commctrl

// The common controls' classes are registered when the library starts; these only answer.
WINCOMMCTRLAPI void WINAPI InitCommonControls(void) {}

WINCOMMCTRLAPI BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* icc) {
    return icc && icc->dwSize == sizeof(INITCOMMONCONTROLSEX);
}
