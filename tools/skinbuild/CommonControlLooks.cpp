// The default skin's common-control looks: the list view's header, tabs, tool bars and the
// control bars they dock in, rebars, status bars, the date-time picker, the month calendar and
// the animation control. Link windows take the Static look.
#include "SkinLook.h"

#include <cstring>

namespace skinbuild {

namespace {

// Where the pieces lie in the "commctl" picture.
constexpr int kTabW = 24, kTabH = 22;                 // four tab states from x 0
constexpr int kPageX = 96, kCell = 9;                 // page, then band and pane cells
constexpr int kBarX = 123, kBarW = 8, kBarH = 24;     // bar background
constexpr int kToolX = 131, kTool = 22;               // four tool-button states
constexpr int kRow2 = 24;                             // second row
constexpr int kDropW = 17, kDropH = 20;               // three drop-button states from x 0
constexpr int kArrowX = 51, kArrow = 16;              // six calendar arrows

const Rgba kTabFace[4] = {Hex(0xE4E9F0), kWhite, Hex(0xEEF4FC), Hex(0xEFF1F4)};

void DrawTabs(CCanvas& c)
{
    for (int s = 0; s < 4; ++s) {
        const float x = float(s * kTabW);
        c.RoundRect(x, 0, x + kTabW, kTabH, 3, 0, Solid(kBorder));
        c.RoundRect(x + 1, 1, x + kTabW - 1, kTabH, 2, 0, Solid(kTabFace[s]));
    }
    c.FillRect(kTabW + 2, 1, 2 * kTabW - 2, 3, Solid(kAccent));  // the selected tab's mark
}

void DrawCells(CCanvas& c)
{
    // Page: white with a border.
    c.FillRect(kPageX, 0, kPageX + kCell, kCell, Solid(kBorder));
    c.FillRect(kPageX + 1, 1, kPageX + kCell - 1, kCell - 1, Solid(kWhite));
    // Band: an etched line at its top.
    const int band = kPageX + kCell;
    c.FillRect(band, 0, band + kCell, kCell, Solid(kBody));
    c.FillRect(band, 0, band + kCell, 1, Solid(kBorderLight));
    c.FillRect(band, 1, band + kCell, 2, Solid(kWhite));
    // Pane: sunken.
    const int pane = band + kCell;
    c.FillRect(pane, 0, pane + kCell, kCell, Solid(kBorderLight));
    c.FillRect(pane + 1, 1, pane + kCell, kCell, Solid(kBody));
    // Bar background.
    c.FillRect(kBarX, 0, kBarX + kBarW, kBarH, VerticalGradient(0, kBarH - 1, Hex(0xF7F9FB), Hex(0xE1E6ED)));
}

void DrawToolButtons(CCanvas& c)
{
    const Rgba fill[4] = {Rgba(), Hex(0xC9DAF0), Hex(0xEEF4FC), Rgba()};
    const Rgba edge[4] = {Rgba(), kAccentDark, kAccent, Rgba()};
    for (int s = 0; s < 4; ++s) {
        const float x = float(kToolX + s * kTool);
        if (edge[s].a)
            c.RoundRect(x, 0, x + kTool, kTool, 3, Solid(edge[s]));
        if (fill[s].a)
            c.RoundRect(x + 1, 1, x + kTool - 1, kTool - 1, 2, Solid(fill[s]));
    }
}

void DrawDropButtons(CCanvas& c)
{
    const Rgba top[3] = {Hex(0xF5F8FB), Hex(0xC9DAF0), Hex(0xF5F6F8)};
    const Rgba chevron[3] = {kGlyph, kAccentDark, Hex(0xB8C0CA)};
    for (int s = 0; s < 3; ++s) {
        const int x = s * kDropW;
        c.FillRect(x, kRow2, x + kDropW, kRow2 + kDropH, VerticalGradient(kRow2, kRow2 + kDropH, top[s], Hex(0xE3E8EE)));
        c.FillRect(x, kRow2, x + 1, kRow2 + kDropH, Solid(kBorderLight));
        const float cx = x + 8.5f, cy = kRow2 + 10.5f;
        c.Polyline({{cx - 3.5f, cy - 1.8f}, {cx, cy + 1.8f}, {cx + 3.5f, cy - 1.8f}}, 1.5f, chevron[s]);
    }
}

void DrawCalendarArrows(CCanvas& c)
{
    // Previous normal, previous pressed, next normal, next pressed, previous and next disabled.
    for (int i = 0; i < 6; ++i) {
        const float x = float(kArrowX + i * kArrow), y = float(kRow2);
        const bool pressed = i == 1 || i == 3;
        const bool disabled = i >= 4;
        const bool previous = i == 0 || i == 1 || i == 4;
        // Over the calendar's title band: a lighter button at rest, a darker one held down.
        c.RoundRect(x, y, x + kArrow, y + kArrow, 3, Solid(pressed ? kActive.bottom : Hex(0x4A80C8)));
        const Rgba glyph = disabled ? WithAlpha(kWhite, 0.35f) : kWhite;
        const float cx = x + 8, cy = y + 8;
        if (previous)
            c.Polygon({{cx + 2.5f, cy - 4}, {cx - 2.5f, cy}, {cx + 2.5f, cy + 4}}, glyph);
        else
            c.Polygon({{cx - 2.5f, cy - 4}, {cx + 2.5f, cy}, {cx - 2.5f, cy + 4}}, glyph);
    }
}

void AddHeaderPicture(CSkinFile& skin)
{
    // Item 16 x 22 with its right separator; background 8 x 22 without one.
    CCanvas c(24, 22);
    c.FillRect(0, 0, 24, 22, VerticalGradient(0, 21, kWhite, Hex(0xEBEFF4)));
    c.FillRect(0, 21, 24, 22, Solid(Hex(0xC5CDD8)));
    c.FillRect(15, 4, 16, 18, Solid(Hex(0xCBD3DD)));
    AddPicture(skin, "header", c, Flat(kWhite));
}

void AddPictures(CSkinFile& skin)
{
    CCanvas c(kToolX + 4 * kTool, kRow2 + kDropH);
    DrawTabs(c);
    DrawCells(c);
    DrawToolButtons(c);
    DrawDropButtons(c);
    DrawCalendarArrows(c);
    // The calendar's arrows lie over its title band, everything else over the body.
    AddPicture(skin, "commctl", c, [](int x, int y) { return x >= kArrowX && y >= kRow2 ? kActive.top : kBody; });
    AddHeaderPicture(skin);
}

void AddBars(CSkinFile& skin)
{
    auto header = MakeControl<CSkinHeaderObject>("Header", Hex(0x2B3644));
    header->m_background.Set("header", 16, 0, 24, 22, 0, 0, 0, 1, 1);
    header->m_item.Set("header", 0, 0, 16, 22, 6, 2, 6, 2, 1);
    skin.AddObject(std::move(header));

    auto tab = MakeControl<CSkinTabObject>("Tab");
    for (int s = 0; s < 4; ++s) {
        tab->m_states[s].grid.Set("commctl", s * kTabW, 0, (s + 1) * kTabW, kTabH, 4, 4, 4, 4, 1);
        tab->m_states[s].style = MakeStyle(s == 3 ? kTextDisabled : kText);
    }
    tab->m_page.Set("commctl", kPageX, 0, kPageX + kCell, kCell, 3, 3, 3, 3, 1);
    tab->m_background.Set("commctl", kBarX, 0, kBarX + kBarW, kBarH, 0, 0, 0, 0, 1);
    tab->m_nTabValue = 1;  // the dialog's background shows beside the tabs
    skin.AddObject(std::move(tab));

    // Tool bars and the control bars they dock in share this object.
    auto tool = MakeControl<CSkinToolBarObject>("ToolBar");
    tool->m_background.Set("commctl", kBarX, 0, kBarX + kBarW, kBarH, 0, 0, 0, 0, 2);
    for (int s = 0; s < 4; ++s)
        tool->m_grids[s].Set("commctl", kToolX + s * kTool, 0, kToolX + (s + 1) * kTool, kTool, 4, 4, 4, 4, 1);
    skin.AddObject(std::move(tool));

    auto rebar = MakeControl<CSkinRebarObject>("Rebar");
    rebar->m_background.Set("commctl", kBarX, 0, kBarX + kBarW, kBarH, 0, 0, 0, 0, 2);
    const int band = kPageX + kCell;
    rebar->m_band.Set("commctl", band, 0, band + kCell, kCell, 3, 3, 3, 3, 1);
    const RECT margins{14, 0, 4, 0};
    std::memcpy(rebar->m_block, &margins, sizeof margins);
    skin.AddObject(std::move(rebar));

    auto status = MakeControl<CSkinStatusBarObject>("StatusBar");
    status->m_background.Set("commctl", kBarX, 0, kBarX + kBarW, kBarH, 0, 0, 0, 0, 2);
    const int pane = band + kCell;
    status->m_pane.Set("commctl", pane, 0, pane + kCell, kCell, 4, 3, 3, 3, 1);
    skin.AddObject(std::move(status));
}

void AddDateLooks(CSkinFile& skin)
{
    auto date = MakeControl<CSkinDateTimeObject>("DateTime");
    date->m_crBack = ToColorRef(kWhite);
    date->m_nDateValue = ToColorRef(Hex(0xF3F5F8));
    date->m_background.Set("commctl", kPageX, 0, kPageX + kCell, kCell, 1, 1, 1, 1, 1);
    for (int s = 0; s < 3; ++s)
        date->m_grids[s].Set("commctl", s * kDropW, kRow2, (s + 1) * kDropW, kRow2 + kDropH, 1, 1, 1, 1, 2);
    const SkinTextStyle enabled = MakeStyle(kText), disabled = MakeStyle(kTextDisabled);
    std::memcpy(date->m_block1, &enabled, sizeof enabled);
    std::memcpy(date->m_block2, &disabled, sizeof disabled);
    skin.AddObject(std::move(date));

    auto cal = MakeControl<CSkinMonthCalendarObject>("MonthCalendar");
    cal->m_crBack = ToColorRef(kBody);
    cal->m_crText = ToColorRef(kText);
    for (int i = 0; i < 6; ++i)
        cal->m_grids[i].Set("commctl", kArrowX + i * kArrow, kRow2, kArrowX + (i + 1) * kArrow, kRow2 + kArrow, 0, 0,
                            0, 0, 2);
    cal->m_values[0] = ToColorRef(kWhite);       // month background
    cal->m_values[1] = ToColorRef(kActive.top);  // title background
    cal->m_values[2] = ToColorRef(kWhite);       // title text
    cal->m_values[3] = ToColorRef(kTextDisabled);
    skin.AddObject(std::move(cal));

    auto animate = MakeControl<CSkinAnimateObject>("Animate");
    animate->m_image.Set("commctl", kPageX + 1, 1, kPageX + 2, 2, 1);  // plain white under the frames
    animate->m_crBack = ToColorRef(kWhite);
    skin.AddObject(std::move(animate));
}

}  // namespace

void AddCommonControlLooks(CSkinFile& skin)
{
    AddPictures(skin);
    AddBars(skin);
    AddDateLooks(skin);
}

}  // namespace skinbuild
