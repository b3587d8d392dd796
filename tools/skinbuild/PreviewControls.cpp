// The preview's standard-control rows: buttons, marks, group box, statics and links, text
// fields, lists and combo boxes, slider, progress bar, spin and scroll bars.
#include <algorithm>
#include <cstring>
#include <string>

#include "PreviewPainter.h"
#include "RasterImage.h"
#include "SkinDraw.h"
#include "SkinMemDC.h"
#include "SkinLook.h"

namespace skinbuild {

namespace {

constexpr int kPad = CPreviewPainter::kPad;
constexpr UINT kCentred = DT_SINGLELINE | DT_VCENTER | DT_CENTER;

COLORREF SysColor(CPreviewPainter& p, int index)
{
    CSkinSysColorTableObject* t = p.Skin().GetSysColorTable();
    return t ? t->m_colors[index] : 0;
}

void ButtonRow(CPreviewPainter& p)
{
    auto* b = FindLook<CSkinButtonObject>(p.Skin(), "Button");
    if (!b)
        return;
    p.BeginRow("Push button", 24 + 2 * kPad);
    const char* states[] = {"normal", "pressed", "default", "focused", "hot", "disabled"};
    for (int s = 0; s < 6; ++s) {
        const RECT rc = p.Cell(SKIN_BUTTON, states[s], 104);
        p.Grid(b->m_states[s].grid, rc);
        p.Text("Convert", rc, b->m_font, b->m_states[s].style.GetTextColor(), kCentred);
    }
}

void MarkRow(CPreviewPainter& p, const char* title, const char* name, int type)
{
    auto* o = FindLook<CSkinCheckBoxObject>(p.Skin(), name);
    if (!o)
        return;
    p.BeginRow(title, 16 + 2 * kPad);
    const char* states[] = {"unchecked", "checked", "disabled", "disabled off", "disabled on", "hot off", "hot on"};
    for (int s = 0; s < 7; ++s) {
        const RECT rc = p.Cell(type, states[s], 100);
        const SkinImagePart& box = o->m_states[s].box;
        const LONG w = box.src.right - box.src.left, h = box.src.bottom - box.src.top;
        const LONG y = (rc.top + rc.bottom - h) / 2;
        p.Part(box, {rc.left, y, rc.left + w, y + h});
        p.Text("Option", {rc.left + w + 5, rc.top, rc.right, rc.bottom}, o->m_font, o->m_states[s].style.GetTextColor());
    }
}

void StaticRow(CPreviewPainter& p)
{
    auto* group = FindLook<CSkinGroupBoxObject>(p.Skin(), "GroupBox");
    auto* label = FindLook<CSkinStaticObject>(p.Skin(), "Static");
    p.BeginRow("Group, statics", 60 + 2 * kPad);
    if (group) {
        const RECT rc = p.Cell(SKIN_GROUPBOX, "group box", 200);
        p.Grid(group->m_background, {rc.left, rc.top + 7, rc.right, rc.bottom});
        const RECT caption{rc.left + 8, rc.top, rc.left + 76, rc.top + 15};
        p.Grid(group->m_caption, caption);
        p.Text("Output", caption, group->m_font, group->m_style.GetTextColor(), kCentred);
    }
    if (!label)
        return;
    SkinTextStyle disabled;
    memcpy(&disabled, label->m_extra, sizeof disabled);
    const RECT normal = p.Cell(SKIN_STATIC, "static", 150);
    p.Text("Destination folder:", normal, label->m_font, label->m_style.GetTextColor());
    const RECT off = p.Cell(SKIN_STATIC, "static disabled", 150);
    p.Text("Destination folder:", off, label->m_font, disabled.GetTextColor());
    // Links take the static look with the window system's hot-track colour for their text.
    const RECT link = p.Cell(SKIN_LINKWND, "link", 150);
    SkinFont underlined = label->m_font;
    underlined.lfUnderline = 1;
    p.Text("Visit the web site", link, underlined, SysColor(p, COLOR_HOTLIGHT));
}

// A text field's border around its own background colour.
RECT Field(CPreviewPainter& p, const CSkinFontObject& o, const RECT& rc, COLORREF fill)
{
    p.Fill(rc, fill);
    p.Frame(o.m_background, rc);
    return {rc.left + 5, rc.top + 2, rc.right - 4, rc.bottom - 2};
}

void FieldRow(CPreviewPainter& p)
{
    auto* edit = FindLook<CSkinScrollControlObject>(p.Skin(), "Edit");
    auto* rich = FindLook<CSkinScrollControlObject>(p.Skin(), "RichEdit");
    auto* ip = FindLook<CSkinScrollControlObject>(p.Skin(), "ScrollControl");
    p.BeginRow("Text fields", 40 + 2 * kPad);
    if (edit) {
        const struct {
            const char* state;
            COLORREF fill, text;
        } looks[] = {{"edit", edit->m_crBack, edit->m_crText},
                     {"edit read-only", edit->m_nThird, edit->m_crText},
                     {"edit disabled", edit->m_nThird, SysColor(p, COLOR_GRAYTEXT)}};
        for (const auto& l : looks) {
            RECT rc = p.Cell(SKIN_EDIT, l.state, 150);
            rc.top += 9, rc.bottom -= 9;
            p.Text("holiday.mp4", Field(p, *edit, rc, l.fill), edit->m_font, l.text);
        }
    }
    if (rich) {
        const RECT rc = p.Cell(SKIN_RICHEDIT, "rich edit", 200);
        const RECT inner = Field(p, *rich, rc, rich->m_crBack);
        p.Text("Converted 3 files,\nnone failed.", inner, rich->m_font, rich->m_crText, DT_LEFT | DT_TOP);
    }
    if (ip) {
        RECT rc = p.Cell(SKIN_SCROLLCONTROL, "IP address", 150);
        rc.top += 9, rc.bottom -= 9;
        p.Text("192 . 168 .   0 .   1", Field(p, *ip, rc, ip->m_crBack), ip->m_font, ip->m_crText, kCentred);
    }
}

void ComboRow(CPreviewPainter& p)
{
    auto* combo = FindLook<CSkinComboBoxObject>(p.Skin(), "ComboBox");
    if (!combo)
        return;
    p.BeginRow("Combo box", 22 + 2 * kPad);
    const char* states[] = {"normal", "pressed", "hot", "disabled"};
    for (int s = 0; s < 4; ++s) {
        const RECT rc = p.Cell(SKIN_COMBOBOX, states[s], 170);
        const bool off = s == 3;
        const RECT inner = Field(p, *combo, rc, off ? combo->m_crColor1 : combo->m_crBack);
        const SkinNineGrid& button = combo->m_buttons[s];
        const LONG bw = button.src.right - button.src.left;
        p.Grid(button, {rc.right - 2 - bw, rc.top + 1, rc.right - 1, rc.bottom - 1});
        p.Text("MPEG-4 video", {inner.left, inner.top, inner.right - bw, inner.bottom}, combo->m_font,
               off ? combo->m_crColor2 : combo->m_crText);
    }
}

// Rows of a list with the second one selected.
void ListRows(CPreviewPainter& p, const CSkinFontObject& o, const RECT& inner, const char* const* rows, int count,
              int rowH)
{
    for (int i = 0; i < count; ++i) {
        const RECT r{inner.left, inner.top + i * rowH, inner.right, inner.top + (i + 1) * rowH};
        if (i == 1)
            p.Fill(r, SysColor(p, COLOR_HIGHLIGHT));
        p.Text(rows[i], {r.left + 4, r.top, r.right, r.bottom}, o.m_font,
               i == 1 ? SysColor(p, COLOR_HIGHLIGHTTEXT) : o.m_crText);
    }
}

void ListRow(CPreviewPainter& p)
{
    auto* list = FindLook<CSkinScrollControlObject>(p.Skin(), "ListBox");
    auto* combo = FindLook<CSkinComboBoxObject>(p.Skin(), "ComboBox");
    auto* tree = FindLook<CSkinTreeViewObject>(p.Skin(), "TreeView");
    p.BeginRow("Lists", 96 + 2 * kPad);
    const char* rows[] = {"holiday.mp4", "birthday.avi", "concert.mkv", "garden.mov"};
    if (list) {
        const RECT rc = p.Cell(SKIN_LISTBOX, "list box", 170);
        RECT inner = Field(p, *list, rc, list->m_crBack);
        inner.left -= 3, inner.right += 2;
        ListRows(p, *list, inner, rows, 4, 18);
    }
    if (combo && list) {
        const RECT rc = p.Cell(SKIN_COMBOBOX, "combo box open", 170);
        const RECT box{rc.left, rc.top, rc.right, rc.top + 22};
        const RECT inner = Field(p, *combo, box, combo->m_crBack);
        const SkinNineGrid& button = combo->m_buttons[1];
        p.Grid(button, {box.right - 2 - (button.src.right - button.src.left), box.top + 1, box.right - 1, box.bottom - 1});
        p.Text("MPEG-4 video", inner, combo->m_font, combo->m_crText);
        RECT drop = Field(p, *list, {rc.left, box.bottom, rc.right, rc.bottom}, list->m_crBack);
        drop.left -= 3, drop.right += 2;
        const char* formats[] = {"AVI video", "MPEG-4 video", "Matroska video"};
        ListRows(p, *list, drop, formats, 3, 18);
    }
    if (tree) {
        const RECT rc = p.Cell(SKIN_TREEVIEW, "tree view", 200);
        const RECT inner = Field(p, *tree, rc, tree->m_crBack);
        const COLORREF line = tree->m_values[0];
        const char* folders[] = {"Videos", "Holidays", "Concerts", "Music"};
        const int indent[] = {0, 1, 1, 0};
        for (int i = 0; i < 4; ++i) {
            const int x = inner.left + 6 + indent[i] * 16, y = inner.top + i * 20 + 10;
            if (indent[i])
                p.Line(x - 10, y, x - 2, y, line);
            p.Text(folders[i], {x + 2, y - 10, inner.right, y + 10}, tree->m_font, tree->m_crText);
        }
        p.Line(inner.left + 12, inner.top + 18, inner.left + 12, inner.top + 50, line);
    }
}

void ListViewRow(CPreviewPainter& p)
{
    auto* view = FindLook<CSkinScrollControlObject>(p.Skin(), "ListView");
    auto* header = FindLook<CSkinHeaderObject>(p.Skin(), "Header");
    if (!view || !header)
        return;
    p.BeginRow("List view", 100 + 2 * kPad);
    const RECT rc = p.Cell(SKIN_LISTVIEW, "list view", 380);
    const RECT inner = Field(p, *view, rc, view->m_crBack);
    const RECT head{rc.left + 2, rc.top + 2, rc.right - 2, rc.top + 24};
    const char* columns[] = {"File", "Size", "Status"};
    const int widths[] = {170, 80, 200};
    auto drawHeader = [&](const RECT& h) {
        p.Grid(header->m_background, h);
        int x = h.left;
        for (int i = 0; i < 3; ++i) {
            const RECT item{x, h.top, std::min<LONG>(x + widths[i], h.right), h.bottom};
            p.Grid(header->m_item, item);
            p.Text(columns[i], {item.left + 6, item.top, item.right, item.bottom}, header->m_font, header->m_font.color);
            x += widths[i];
        }
    };
    drawHeader(head);
    const char* rows[] = {"holiday.mp4      12 MB       done", "birthday.avi     40 MB       converting",
                          "concert.mkv      1.2 GB      waiting"};
    ListRows(p, *view, {inner.left - 3, head.bottom + 2, inner.right + 2, inner.bottom}, rows, 3, 20);
    const RECT alone = p.Cell(SKIN_HEADER, "header", 300);
    drawHeader({alone.left, alone.top, alone.right, alone.top + 22});
}

void SliderRow(CPreviewPainter& p)
{
    auto* slider = FindLook<CSkinSliderObject>(p.Skin(), "Slider");
    auto* progress = FindLook<CSkinProgressBarObject>(p.Skin(), "ProgressBar");
    p.BeginRow("Slider, progress", 60 + 2 * kPad);
    if (slider) {
        const RECT h = p.Cell(SKIN_SLIDER, "horizontal", 200);
        const LONG cy = (h.top + h.bottom) / 2;
        p.Grid(slider->m_channel, {h.left, cy - 3, h.right, cy + 3});
        const SkinNineGrid& t = slider->m_thumb;
        const LONG tw = t.src.right - t.src.left, th = t.src.bottom - t.src.top;
        p.Grid(t, {h.left + 70, cy - th / 2, h.left + 70 + tw, cy - th / 2 + th});
        const RECT v = p.Cell(SKIN_SLIDER, "vertical", 60);
        const LONG cx = (v.left + v.right) / 2;
        p.Grid(slider->m_channel, {cx - 3, v.top, cx + 3, v.bottom});
        const SkinNineGrid& vt = slider->m_verticalThumb;
        const LONG vw = vt.src.right - vt.src.left, vh = vt.src.bottom - vt.src.top;
        p.Grid(vt, {cx - vw / 2, v.top + 18, cx - vw / 2 + vw, v.top + 18 + vh});
    }
    if (!progress)
        return;
    for (int percent : {0, 40, 100}) {
        const std::string caption = "progress " + std::to_string(percent) + "%";
        const RECT rc = p.Cell(SKIN_PROGRESSBAR, caption.c_str(), 160);
        const RECT bar{rc.left, (rc.top + rc.bottom) / 2 - 8, rc.right, (rc.top + rc.bottom) / 2 + 8};
        p.Grid(progress->m_background, bar);
        const LONG fill = (bar.right - bar.left - 4) * percent / 100;
        if (fill > 0)
            p.Grid(progress->m_bar, {bar.left + 2, bar.top + 2, bar.left + 2 + fill, bar.bottom - 2});
    }
}

void SpinRow(CPreviewPainter& p)
{
    auto* spin = FindLook<CSkinSpinObject>(p.Skin(), "Spin");
    auto* edit = FindLook<CSkinScrollControlObject>(p.Skin(), "Edit");
    if (!spin)
        return;
    p.BeginRow("Spin", 22 + 2 * kPad);
    // The look of each half: normal, hot, pressed, disabled.
    const struct {
        const char* state;
        int upper, lower;
    } looks[] = {{"normal", 0, 0},     {"up hot", 1, 0},       {"down hot", 0, 1},
                 {"up pressed", 2, 0}, {"down pressed", 0, 2}, {"disabled", 3, 3}};
    for (const auto& l : looks) {
        const RECT rc = p.Cell(SKIN_SPIN, l.state, 100);
        const LONG x = rc.right - 18;
        if (edit)
            p.Text("25", Field(p, *edit, {rc.left + 10, rc.top, x, rc.bottom}, edit->m_crBack), edit->m_font,
                   edit->m_crText);
        const int half[2] = {l.upper, l.lower};
        for (int i = 0; i < 2; ++i) {
            const SkinImagePart& part = spin->m_states[half[i]].parts[i];
            const LONG h = part.src.bottom - part.src.top, w = part.src.right - part.src.left;
            p.Part(part, {x, rc.top + i * 11, x + w, rc.top + i * 11 + h});
        }
    }
    // A horizontal control draws the upright halves turned a quarter to the left.
    const RECT rc = p.Cell(SKIN_SPIN, "horizontal", 72);
    // The upright drawing is the control's height wide and its width high.
    const int width = 22, height = 16;
    CSkinMemDC upright(p.Dc(), height, width);
    if (!upright.IsValid())
        return;
    FillSolidRect(upright, {0, 0, height, width}, p.CellColor());
    for (int i = 0; i < 2; ++i) {
        const SkinImagePart& part = spin->m_states[0].parts[i];
        DrawSkinImage(&p.Skin(), upright, {0, i * width / 2, height, (i + 1) * width / 2}, part, p.CellColor(), 0,
                      false);
    }
    HBITMAP bitmap = upright.DetachBitmap();
    CRasterImage turned;
    if (turned.CreateFromHBITMAP(bitmap) && turned.RotateLeft())
        turned.Draw(p.Dc(), (rc.left + rc.right - width) / 2, (rc.top + rc.bottom - height) / 2, width, height);
    DeleteObject(bitmap);
}

void ScrollBarRows(CPreviewPainter& p)
{
    auto* sb = FindLook<CSkinScrollBarObject>(p.Skin(), "ScrollBar");
    if (!sb)
        return;
    const char* states[] = {"normal", "pressed", "hot", "disabled"};
    p.BeginRow("Scroll bar", 16 + 2 * kPad);
    for (int s = 0; s < 4; ++s) {
        const RECT rc = p.Cell(SKIN_SCROLLBAR, states[s], 230);
        const SkinScrollBarState& h = sb->m_horizontal[s];
        p.Grid(h.track, rc);
        p.Part(h.arrow1, {rc.left, rc.top, rc.left + 16, rc.bottom});
        p.Part(h.arrow2, {rc.right - 16, rc.top, rc.right, rc.bottom});
        if (s != 3)
            p.Grid(h.thumb, {rc.left + 60, rc.top + h.track.marginTop, rc.left + 150, rc.bottom - h.track.marginBottom});
    }
    const RECT grip = p.Cell(SKIN_SCROLLBAR, "size grip", 60);
    p.Fill({grip.right - 16, grip.bottom - 16, grip.right, grip.bottom}, sb->m_crBack);
    p.Part(sb->m_sizeGrip, {grip.right - 16, grip.bottom - 16, grip.right, grip.bottom});
    p.BeginRow("", 96 + 2 * kPad);
    for (int s = 0; s < 4; ++s) {
        const std::string caption = std::string("vertical ") + states[s];
        const RECT cell = p.Cell(SKIN_SCROLLBAR, caption.c_str(), 110);
        const LONG x = (cell.left + cell.right) / 2 - 8;
        const RECT rc{x, cell.top, x + 16, cell.bottom};
        const SkinScrollBarState& v = s < 3 ? sb->m_vertical[s] : sb->m_verticalLast;
        p.Grid(v.track, rc);
        p.Part(v.arrow1, {rc.left, rc.top, rc.right, rc.top + 16});
        p.Part(v.arrow2, {rc.left, rc.bottom - 16, rc.right, rc.bottom});
        if (s != 3)
            p.Grid(v.thumb, {rc.left + v.track.marginLeft, rc.top + 24, rc.right - v.track.marginRight, rc.top + 60});
    }
}

}  // namespace

void PreviewControls(CPreviewPainter& p)
{
    ButtonRow(p);
    MarkRow(p, "Check box", "CheckBox", SKIN_CHECKBOX);
    MarkRow(p, "Radio button", "Radio", SKIN_RADIO);
    StaticRow(p);
    FieldRow(p);
    ComboRow(p);
    ListRow(p);
    ListViewRow(p);
    SliderRow(p);
    SpinRow(p);
    ScrollBarRows(p);
}

}  // namespace skinbuild
