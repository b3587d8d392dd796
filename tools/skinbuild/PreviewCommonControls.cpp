// The preview's common-control rows: tabs, tool bars and the control bars they dock in,
// rebars, status bars, the date-time picker, the month calendar and the animation control.
#include <cstring>
#include <string>

#include "PreviewPainter.h"

namespace skinbuild {

namespace {

constexpr int kPad = CPreviewPainter::kPad;
constexpr UINT kCentred = DT_SINGLELINE | DT_VCENTER | DT_CENTER;

LONG GridWidth(const SkinNineGrid& g) { return g.src.right - g.src.left; }

void TabRow(CPreviewPainter& p)
{
    auto* tab = FindLook<CSkinTabObject>(p.Skin(), "Tab");
    if (!tab)
        return;
    p.BeginRow("Tab", 70 + 2 * kPad);
    const RECT rc = p.Cell(SKIN_TAB, "normal, selected, hot, disabled", 380);
    const RECT page{rc.left, rc.top + 22, rc.right, rc.bottom};
    p.Grid(tab->m_page, page);
    const char* names[] = {"General", "Video", "Audio", "Advanced"};
    const int order[] = {0, 1, 2, 3};  // normal, selected, hot, disabled
    for (int i = 0; i < 4; ++i) {
        const int s = order[i];
        const bool selected = s == 1;
        const RECT item{rc.left + 2 + i * 86, rc.top + (selected ? 0 : 2), rc.left + 2 + (i + 1) * 86 - 2,
                        rc.top + 22 + (selected ? 1 : 0)};
        p.Grid(tab->m_states[s].grid, item);
        p.Text(names[i], item, tab->m_font, tab->m_states[s].style.GetTextColor(), kCentred);
    }
}

// A stand-in for a tool button's icon (the program's image list gives the real ones), greyed
// when the button is disabled.
void ToolGlyph(CPreviewPainter& p, const RECT& r, bool disabled)
{
    const COLORREF edge = disabled ? RGB(190, 197, 206) : RGB(58, 114, 188);
    const COLORREF body = disabled ? RGB(236, 239, 243) : RGB(220, 232, 247);
    const LONG cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    p.Fill({cx - 6, cy - 7, cx + 6, cy + 7}, edge);
    p.Fill({cx - 5, cy - 6, cx + 5, cy + 6}, body);
    for (int i = 0; i < 3; ++i)
        p.Fill({cx - 3, cy - 3 + i * 3, cx + 3, cy - 2 + i * 3}, edge);
}

void ToolBarRow(CPreviewPainter& p)
{
    auto* tool = FindLook<CSkinToolBarObject>(p.Skin(), "ToolBar");
    auto* rebar = FindLook<CSkinRebarObject>(p.Skin(), "Rebar");
    if (!tool)
        return;
    p.BeginRow("Tool bar, rebar", 24 + 2 * kPad);
    const RECT bar = p.Cell(SKIN_TOOLBAR, "normal, pressed, hot, disabled", 200);
    p.Grid(tool->m_background, bar);
    for (int s = 0; s < 4; ++s) {
        const LONG w = GridWidth(tool->m_grids[s]) ? GridWidth(tool->m_grids[s]) : 22;
        const RECT b{bar.left + 4 + s * (w + 4), bar.top + 1, bar.left + 4 + s * (w + 4) + w, bar.top + 1 + w};
        p.Grid(tool->m_grids[s], b);
        ToolGlyph(p, b, s == 3);
    }
    // A control bar docks its tool bar over the same background.
    const RECT docked = p.Cell(SKIN_CONTROLBAR, "control bar", 200);
    p.Grid(tool->m_background, docked);
    for (int i = 0; i < 3; ++i)
        ToolGlyph(p, {docked.left + 6 + i * 26, docked.top + 1, docked.left + 28 + i * 26, docked.top + 23}, false);
    if (!rebar)
        return;
    const RECT rc = p.Cell(SKIN_REBAR, "rebar bands", 360);
    p.Grid(rebar->m_background, rc);
    const RECT band1{rc.left, rc.top, rc.left + 170, rc.bottom}, band2{rc.left + 172, rc.top, rc.right, rc.bottom};
    for (const RECT& b : {band1, band2}) {
        p.Grid(rebar->m_band, b);
        ToolGlyph(p, {b.left + 14, b.top + 1, b.left + 36, b.top + 23}, false);
    }
}

void StatusBarRow(CPreviewPainter& p)
{
    auto* status = FindLook<CSkinStatusBarObject>(p.Skin(), "StatusBar");
    auto* bars = FindLook<CSkinScrollBarObject>(p.Skin(), "ScrollBar");
    if (!status)
        return;
    p.BeginRow("Status bar", 22 + 2 * kPad);
    const RECT rc = p.Cell(SKIN_STATUSBAR, "panes and grip", 500);
    p.Grid(status->m_background, rc);
    const char* panes[] = {"Converting 2 of 14", "00:41 left"};
    const LONG edges[] = {rc.left + 2, rc.left + 300, rc.right - 20};
    for (int i = 0; i < 2; ++i) {
        const RECT pane{edges[i], rc.top + 2, edges[i + 1] - 2, rc.bottom};
        p.Grid(status->m_pane, pane);
        p.Text(panes[i], {pane.left + 5, pane.top, pane.right, pane.bottom}, status->m_font, status->m_font.color);
    }
    const SkinImagePart& grip = status->m_grip.IsEmpty() && bars ? bars->m_sizeGrip : status->m_grip;
    p.Part(grip, {rc.right - 16, rc.bottom - 16, rc.right, rc.bottom});
}

void DateRow(CPreviewPainter& p)
{
    auto* date = FindLook<CSkinDateTimeObject>(p.Skin(), "DateTime");
    if (!date)
        return;
    p.BeginRow("Date-time picker", 22 + 2 * kPad);
    const char* states[] = {"normal", "open", "disabled"};
    for (int s = 0; s < 3; ++s) {
        const RECT rc = p.Cell(SKIN_DATETIME, states[s], 170);
        p.Fill(rc, s == 2 ? date->m_nDateValue : date->m_crBack);
        p.Frame(date->m_background, rc);
        const LONG w = GridWidth(date->m_grids[s]);
        p.Grid(date->m_grids[s], {rc.right - 1 - w, rc.top + 1, rc.right - 1, rc.bottom - 1});
        SkinTextStyle style;
        memcpy(&style, s == 2 ? date->m_block2 : date->m_block1, sizeof style);
        p.Text("12/09/2026", {rc.left + 5, rc.top, rc.right - w, rc.bottom}, date->m_font, style.GetTextColor());
    }
}

void CalendarRow(CPreviewPainter& p)
{
    auto* cal = FindLook<CSkinMonthCalendarObject>(p.Skin(), "MonthCalendar");
    if (!cal)
        return;
    p.BeginRow("Month calendar", 150 + 2 * kPad);
    const char* states[] = {"normal", "arrows pressed", "disabled"};
    for (int s = 0; s < 3; ++s) {
        const RECT rc = p.Cell(SKIN_MONTHCALENDAR, states[s], 220);
        p.Fill(rc, cal->m_values[0]);
        const RECT title{rc.left, rc.top, rc.right, rc.top + 24};
        p.Fill(title, cal->m_values[1]);
        p.Text("December 2026", title, cal->m_font, cal->m_values[2], kCentred);
        // Previous, next: normal 0 and 2, pressed 1 and 3, disabled 4 and 5.
        const int prev = s == 0 ? 0 : s == 1 ? 1 : 4, next = s == 0 ? 2 : s == 1 ? 3 : 5;
        p.Grid(cal->m_grids[prev], {title.left + 4, title.top + 4, title.left + 20, title.top + 20});
        p.Grid(cal->m_grids[next], {title.right - 20, title.top + 4, title.right - 4, title.top + 20});
        const COLORREF text = s == 2 ? cal->m_values[3] : cal->m_crText;
        const char* days = "MTWTFSS";
        const LONG cw = (rc.right - rc.left) / 7;
        for (int d = 0; d < 7; ++d)
            p.Text(std::string(1, days[d]).c_str(), {rc.left + d * cw, title.bottom + 2, rc.left + (d + 1) * cw, title.bottom + 18},
                   cal->m_font, cal->m_values[3], kCentred);
        for (int day = 1; day <= 31; ++day) {
            const int slot = day + 1, row = slot / 7, col = slot % 7;  // the 1st is a Tuesday
            const RECT r{rc.left + col * cw, title.bottom + 20 + row * 17, rc.left + (col + 1) * cw,
                         title.bottom + 37 + row * 17};
            p.Text(std::to_string(day).c_str(), r, cal->m_font, text, kCentred);
        }
    }
}

void AnimateRow(CPreviewPainter& p)
{
    auto* animate = FindLook<CSkinFontObject>(p.Skin(), "Animate");
    if (!animate)
        return;
    p.BeginRow("Animation", 48 + 2 * kPad);
    const RECT rc = p.Cell(SKIN_ANIMATE, "under the clip", 140);
    p.Fill(rc, animate->m_crBack);
    if (auto* a = dynamic_cast<CSkinAnimateObject*>(animate))
        p.Part(a->m_image, rc);
}

}  // namespace

void PreviewCommonControls(CPreviewPainter& p)
{
    TabRow(p);
    ToolBarRow(p);
    StatusBarRow(p);
    DateRow(p);
    CalendarRow(p);
    AnimateRow(p);
}

}  // namespace skinbuild
