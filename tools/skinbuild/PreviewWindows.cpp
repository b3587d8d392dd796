// The preview's window rows: frames and dialogs active and inactive, the caption buttons in
// each state, the menu bar and its child-window buttons, the popup menu and the tooltip.
#include <string>

#include "PreviewPainter.h"

namespace skinbuild {

namespace {

void FrameRow(CPreviewPainter& p, const char* title, const char* name, int width, int height, bool menuBar)
{
    auto* w = FindLook<CSkinFrameWndObject>(p.Skin(), name);
    if (!w)
        return;
    p.BeginRow(title, height + 2 * CPreviewPainter::kPad);
    for (bool active : {true, false}) {
        const RECT rc = p.Cell(SKIN_FRAMEWND, active ? "active" : "inactive", width + 2 * CPreviewPainter::kPad);
        const RECT client = p.Window(*w, rc, active, "Velmora");
        if (!menuBar)
            continue;
        const CSkinCaptionTextObject& m = w->m_menuBar;
        RECT bar = client;
        bar.bottom = bar.top + 20;
        p.Grid(m.m_barBackground, bar);
        const char* items[] = {"File", "Edit", "Help"};
        for (int i = 0; i < 3; ++i) {
            const RECT item{bar.left + 2 + i * 40, bar.top + 1, bar.left + 2 + (i + 1) * 40, bar.bottom - 1};
            p.Text(items[i], item, m.m_menuFont, m.m_crNormalText, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        }
    }
}

void CaptionButtonRow(CPreviewPainter& p)
{
    auto* frame = FindLook<CSkinFrameWndObject>(p.Skin(), "FrameWnd");
    if (!frame)
        return;
    const LONG band = frame->m_frameRects[1].bottom;
    const char* states[] = {"normal", "hot", "pressed", "disabled"};
    // One row per button, its states side by side over the caption band.
    for (const char* name : {"Close", "Maximize", "Minimize"}) {
        auto* b = dynamic_cast<CSkinCaptionButtonObject*>(frame->FindChild(name));
        if (!b)
            continue;
        p.BeginRow((std::string(name) + " button").c_str(), band + 2 * CPreviewPainter::kPad);
        for (int s = 0; s < 4; ++s) {
            const RECT rc = p.Cell(SKIN_CAPTIONBUTTON, states[s], 80);
            p.Part(frame->m_parts[1], {rc.left, rc.top, rc.right, rc.top + band});
            const LONG w = b->m_rc.right - b->m_rc.left, h = b->m_rc.bottom - b->m_rc.top;
            const LONG x = (rc.left + rc.right - w) / 2, y = rc.top + b->m_rc.top;
            p.Part(s == 0 ? b->m_image : b->m_states[s - 1], {x, y, x + w, y + h});
        }
    }
}

void MenuBarRow(CPreviewPainter& p)
{
    auto* frame = FindLook<CSkinFrameWndObject>(p.Skin(), "FrameWnd");
    if (!frame)
        return;
    const CSkinCaptionTextObject& m = frame->m_menuBar;
    p.BeginRow("Menu bar", 3 * 16 + 2 * CPreviewPainter::kPad);
    const RECT rc = p.Cell(SKIN_MENUBAR, "normal, hot, open", 200);
    const RECT bar{rc.left, rc.top + 12, rc.right, rc.top + 32};
    p.Grid(m.m_barBackground, bar);
    const char* items[] = {"File", "Edit", "Help"};
    const CSkinCaptionTextObject::ItemLook* looks[] = {nullptr, &m.m_hotItem, &m.m_openItem};
    for (int i = 0; i < 3; ++i) {
        const RECT item{bar.left + 2 + i * 48, bar.top + 1, bar.left + (i + 1) * 48, bar.bottom - 1};
        if (looks[i])
            p.Grid(looks[i]->grid, item);
        p.Text(items[i], item, m.m_menuFont, looks[i] ? looks[i]->textColor : m.m_crNormalText,
               DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
    // The child window's buttons in the bar: one column per button, its three states below.
    const RECT kids = p.Cell(SKIN_MENUBAR, "child buttons", 120);
    for (int g = 0; g < 4; ++g)
        for (int s = 0; s < 3; ++s) {
            const SkinImagePart& part = m.m_buttons[g][s];
            const LONG w = part.src.right - part.src.left, h = part.src.bottom - part.src.top;
            const LONG x = kids.left + 4 + g * (w + 8), y = kids.top + s * (h + 2);
            p.Grid(m.m_barBackground, {x - 2, y, x + w + 2, y + h});
            p.Part(part, {x, y, x + w, y + h});
        }
}

void PopupMenuRow(CPreviewPainter& p)
{
    auto* m = FindLook<CSkinPopupMenuObject>(p.Skin(), "PopupMenu");
    if (!m)
        return;
    const int itemH = 22;
    const int height = 6 + 5 * itemH + 7;
    p.BeginRow("Popup menu", height + 2 * CPreviewPainter::kPad);
    const RECT rc = p.Cell(SKIN_POPUPMENU, "normal, selected, checked, disabled, submenu", 300);
    const RECT menu{rc.left + 50, rc.top, rc.left + 250, rc.top + height};
    p.Window(*m, menu, true, nullptr);
    int y = menu.top + 3;
    auto entry = [&](const char* text, COLORREF color, bool selected, const SkinImagePart* left,
                     const SkinImagePart* right) {
        const RECT item{menu.left + 3, y, menu.right - 3, y + itemH};
        if (selected)
            p.Grid(m->m_grids[0], item);
        if (left)
            p.Part(*left, {item.left + 3, item.top + 3, item.left + 19, item.top + 19});
        if (right)
            p.Part(*right, {item.right - 19, item.top + 3, item.right - 3, item.top + 19});
        p.Text(text, {item.left + 26, item.top, item.right - 20, item.bottom}, m->m_captionFont, color);
        y += itemH;
    };
    entry("Open files...", m->m_values[0], false, nullptr, nullptr);
    entry("Convert", m->m_values[0], true, nullptr, nullptr);
    p.Grid(m->m_grids[1], {menu.left + 3, y + 2, menu.right - 3, y + 5});
    y += 7;
    entry("Keep the list", m->m_values[0], false, &m->m_image1, nullptr);
    entry("Remove", m->m_values[1], false, nullptr, nullptr);
    entry("Output format", m->m_values[0], false, nullptr, &m->m_image2);
}

void TooltipRow(CPreviewPainter& p)
{
    auto* tip = FindLook<CSkinTooltipObject>(p.Skin(), "Tooltip");
    if (!tip)
        return;
    p.BeginRow("Tooltip", 28 + 2 * CPreviewPainter::kPad);
    const RECT rc = p.Cell(SKIN_TOOLTIP, "normal", 240);
    const RECT client = p.Window(*tip, rc, true, nullptr);
    p.Text("Converts every file of the list", {client.left + 4, client.top, client.right, client.bottom},
           tip->m_captionFont, tip->m_textStyle.GetTextColor());
}

}  // namespace

void PreviewWindows(CPreviewPainter& p)
{
    FrameRow(p, "Frame", "FrameWnd", 320, 150, true);
    FrameRow(p, "Dialog", "Dialog", 260, 120, false);
    CaptionButtonRow(p);
    MenuBarRow(p);
    PopupMenuRow(p);
    TooltipRow(p);
}

}  // namespace skinbuild
