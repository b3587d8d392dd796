// The default skin's standard-control looks: push buttons, check boxes and radios, group
// boxes, statics, edits and rich edits, lists and combo boxes, sliders, progress bars and spins.
#include <algorithm>
#include <cstring>
#include <vector>

#include "SkinLook.h"

namespace skinbuild {

namespace {

// ---- push buttons ----------------------------------------------------------------------------

constexpr int kButtonCell = 24;  // states stacked vertically, nine-grid margins 5
enum { BTN_NORMAL, BTN_PRESSED, BTN_DEFAULT, BTN_FOCUSED, BTN_HOT, BTN_DISABLED, BTN_STATES };

void AddButtonPicture(CSkinFile& skin)
{
    CCanvas c(kButtonCell, BTN_STATES * kButtonCell);
    struct Look {
        Rgba top, bottom, border;
        bool ring;
    };
    const Look looks[BTN_STATES] = {
        {kWhite, Hex(0xE4E9F0), kBorder, false},             // normal
        {Hex(0xCCDCF0), Hex(0xDDE7F4), kAccentDark, false},  // pressed
        {kWhite, Hex(0xE4E9F0), kAccent, false},             // default: the accent edge alone
        {kWhite, Hex(0xE4E9F0), kAccent, true},              // focused: the edge and a ring inside
        {kWhite, Hex(0xD9E7F8), Hex(0x5B8BC9), false},       // hot
        {Hex(0xF5F6F8), Hex(0xF0F2F5), Hex(0xCBD1D9), false},  // disabled
    };
    for (int s = 0; s < BTN_STATES; ++s) {
        const float y = float(s * kButtonCell), b = y + kButtonCell;
        const Look& l = looks[s];
        c.RoundRect(0, y, kButtonCell, b, 4, Solid(l.border));
        c.RoundRect(1, y + 1, kButtonCell - 1, b - 1, 3, VerticalGradient(y + 1, b - 1, l.top, l.bottom));
        if (l.ring)
            c.RoundBorder(1, y + 1, kButtonCell - 1, b - 1, 3, 1, WithAlpha(Hex(0x9DBBE3), 0.9f));
        else if (s != BTN_PRESSED && s != BTN_DISABLED && s != BTN_DEFAULT)
            c.Tint(4, int(y) + 1, kButtonCell - 4, int(y) + 2, WithAlpha(kWhite, 0.8f));
    }
    AddPicture(skin, "button", c, Flat(kBody));
}

std::unique_ptr<CSkinButtonObject> MakeButton(const char* name)
{
    auto o = MakeControl<CSkinButtonObject>(name);
    for (int s = 0; s < BTN_STATES; ++s) {
        o->m_states[s].grid.Set("button", 0, s * kButtonCell, kButtonCell, (s + 1) * kButtonCell, 5, 5, 5, 5, 1);
        o->m_states[s].style = MakeStyle(s == BTN_DISABLED ? kTextDisabled : kText);
    }
    return o;
}

// ---- check boxes and radio buttons -----------------------------------------------------------

constexpr int kMark = 13;
// State order of the records: unchecked, checked, disabled, disabled unchecked, disabled checked,
// hot unchecked, hot checked.
enum { CHK_OFF, CHK_ON, CHK_DISABLED, CHK_DISABLED_OFF, CHK_DISABLED_ON, CHK_HOT_OFF, CHK_HOT_ON, CHK_STATES };

struct MarkLook {
    Rgba fill, border;
    bool mark;
    Rgba markColor;
};

const MarkLook kMarkLooks[CHK_STATES] = {
    {kWhite, Hex(0x8E9BAD), false, kWhite},
    {kAccent, kAccentDark, true, kWhite},
    {Hex(0xF1F3F6), Hex(0xC3CAD3), false, kWhite},
    {Hex(0xF1F3F6), Hex(0xC3CAD3), false, kWhite},
    {Hex(0xC3CAD3), Hex(0xB3BBC6), true, kWhite},
    {Hex(0xEEF4FC), kAccent, false, kWhite},
    {Hex(0x4F89D0), kAccentDark, true, kWhite},
};

void AddMarkPictures(CSkinFile& skin)
{
    CCanvas check(kMark, CHK_STATES * kMark), radio(kMark, CHK_STATES * kMark);
    for (int s = 0; s < CHK_STATES; ++s) {
        const float y = float(s * kMark);
        const MarkLook& l = kMarkLooks[s];
        check.RoundRect(0, y, kMark, y + kMark, 3, Solid(l.border));
        check.RoundRect(1, y + 1, kMark - 1, y + kMark - 1, 2, Solid(l.fill));
        if (l.mark)
            check.Polyline({{3.2f, y + 6.6f}, {5.5f, y + 9.0f}, {9.9f, y + 4.2f}}, 1.7f, l.markColor);
        const float c = kMark / 2.0f;
        radio.Circle(c, y + c, c, Solid(l.border));
        radio.Circle(c, y + c, c - 1, Solid(l.fill));
        if (l.mark)
            radio.Circle(c, y + c, 2.6f, Solid(l.markColor));
    }
    AddPicture(skin, "check", check, Flat(kBody));
    AddPicture(skin, "radio", radio, Flat(kBody));
}

template <typename T>
std::unique_ptr<T> MakeCheckObject(const char* name, const char* picture)
{
    auto o = MakeControl<T>(name);
    for (int s = 0; s < CHK_STATES; ++s) {
        o->m_states[s].box.Set(picture, 0, s * kMark, kMark, (s + 1) * kMark, 0);
        const bool disabled = s == CHK_DISABLED || s == CHK_DISABLED_OFF || s == CHK_DISABLED_ON;
        o->m_states[s].style = MakeStyle(disabled ? kTextDisabled : kText);
    }
    o->m_nCheckValue = 1;  // transparent: the dialog's background shows around the mark
    // The push-like button object is named in both text fields of the record, so the look
    // holds whichever of them a reader takes for the name.
    SkinCopyText(o->m_szPushLike, sizeof o->m_szPushLike, "PushLikeButton");
    SkinCopyText(o->m_szExtraName, sizeof o->m_szExtraName, "PushLikeButton");
    return o;
}

// ---- group box, static -------------------------------------------------------------------------

void AddGroupBoxPicture(CSkinFile& skin)
{
    // A 16 x 16 rounded frame (margins 5) and an 8 x 16 body-coloured caption background.
    CCanvas c(24, 16, kBody);
    c.RoundBorder(0.5f, 0.5f, 15.5f, 15.5f, 4, 1, kBorderLight);
    AddPicture(skin, "groupbox", c, Flat(kBody));
}

// ---- edit, list box, list view: a 2-pixel border (the client edge) ----------------------------

constexpr int kFieldW = 24, kFieldH = 22;

// field: the border of text fields and lists; then the combo box's drop-down button in four
// looks (normal, pressed, hot, disabled), 16 x 20 each.
void AddFieldPicture(CSkinFile& skin)
{
    CCanvas c(kFieldW + 4 * 16, kFieldH, kBody);
    c.RoundRect(0, 0, kFieldW, kFieldH, 2, Solid(kBorder));
    c.FillRect(1, 1, kFieldW - 1, kFieldH - 1, Solid(kWhite));
    struct Look {
        Rgba top, bottom, chevron;
    };
    const Look looks[4] = {{Hex(0xF7F9FB), Hex(0xE4E9F0), kGlyph},
                           {Hex(0xC9DAF0), Hex(0xD8E4F4), kAccentDark},
                           {Hex(0xEEF4FC), Hex(0xD6E5F7), kAccent},
                           {Hex(0xF5F6F8), Hex(0xF1F3F6), Hex(0xB8C0CA)}};
    for (int s = 0; s < 4; ++s) {
        const int x = kFieldW + s * 16;
        c.FillRect(x, 0, x + 16, 20, VerticalGradient(0, 20, looks[s].top, looks[s].bottom));
        c.FillRect(x, 0, x + 1, 20, Solid(Hex(0xD0D7E0)));
        const float cx = x + 8.5f, cy = 10.5f;
        c.Polyline({{cx - 3.5f, cy - 1.8f}, {cx, cy + 1.8f}, {cx + 3.5f, cy - 1.8f}}, 1.5f, looks[s].chevron);
    }
    AddPicture(skin, "field", c, Flat(kWhite));
}

template <typename T, typename... Args>
std::unique_ptr<T> MakeField(const char* name, Args... args)
{
    auto o = MakeObject<T>(name, args...);
    o->m_font = MakeFont(-11, FW_NORMAL, kText);
    o->m_crBack = ToColorRef(kWhite);
    o->m_crText = ToColorRef(kText);
    o->m_nThird = ToColorRef(Hex(0xF3F5F8));  // read-only background
    o->m_background.Set("field", 0, 0, kFieldW, kFieldH, 2, 2, 2, 2, 1);
    return o;
}

// ---- slider, progress bar --------------------------------------------------------------------

void AddSliderPicture(CSkinFile& skin)
{
    // Channel 12 x 6 at the left; horizontal thumb 12 x 20; vertical thumb 20 x 12 below it.
    CCanvas c(12 + 20, 20 + 12);
    c.RoundRect(0, 0, 12, 6, 3, Solid(Hex(0xAEB9C7)));
    c.RoundRect(1, 1, 11, 5, 2, Solid(Hex(0xD3DAE3)));
    auto thumb = [&c](float x, float y, float w, float h) {
        c.RoundRect(x, y, x + w, y + h, 4, Solid(kAccentDark));
        c.RoundRect(x + 1, y + 1, x + w - 1, y + h - 1, 3, VerticalGradient(y, y + h, Hex(0x5B92D6), kAccent));
        c.Tint(int(x) + 3, int(y) + 1, int(x + w) - 3, int(y) + 2, WithAlpha(kWhite, 0.3f));
    };
    thumb(12, 0, 12, 20);
    thumb(12, 20, 20, 12);
    AddPicture(skin, "slider", c, Flat(kBody));
}

void AddProgressPicture(CSkinFile& skin)
{
    // Background 12 x 12 and bar 12 x 12, side by side.
    CCanvas c(24, 12);
    c.RoundRect(0, 0, 12, 12, 3, Solid(Hex(0xB9C3CF)));
    c.RoundRect(1, 1, 11, 11, 2, Solid(Hex(0xE3E8EE)));
    c.RoundRect(12, 0, 24, 12, 2.5f, VerticalGradient(0, 12, Hex(0x6CA0DD), Hex(0x3A70B8)));
    c.Tint(14, 1, 22, 2, WithAlpha(kWhite, 0.35f));
    AddPicture(skin, "progress", c, Flat(Hex(0xE3E8EE)));
}

// ---- spin (up-down) arrows --------------------------------------------------------------------

constexpr int kSpinW = 16, kSpinH = 11;  // one half; the skinner clips it from the half's corner
enum { SPIN_NORMAL, SPIN_HOT, SPIN_PRESSED, SPIN_DISABLED, SPIN_STATES };

// Columns: the four states; rows: the upper and the lower half. Opaque: the halves are drawn
// without a key colour, over the button face.
void AddSpinPicture(CSkinFile& skin)
{
    CCanvas c(SPIN_STATES * kSpinW, 2 * kSpinH, kBody);
    struct Look {
        Rgba top, bottom, border, glyph;
    };
    const Look looks[SPIN_STATES] = {
        {Hex(0xF7F9FB), Hex(0xE4E9F0), kBorder, kGlyph},
        {Hex(0xEEF4FC), Hex(0xD6E5F7), Hex(0x5B8BC9), kAccent},
        {Hex(0xC9DAF0), Hex(0xD8E4F4), kAccentDark, kAccentDark},
        {Hex(0xF5F6F8), Hex(0xF1F3F6), Hex(0xCBD1D9), Hex(0xB8C0CA)},
    };
    for (int s = 0; s < SPIN_STATES; ++s)
        for (int half = 0; half < 2; ++half) {
            const float x = float(s * kSpinW), y = float(half * kSpinH);
            const Look& l = looks[s];
            // Rounded on the outer side only, so the halves meet in a straight seam.
            const float rt = half == 0 ? 3.0f : 0.0f, rb = half == 0 ? 0.0f : 3.0f;
            c.RoundRect(x, y, x + kSpinW, y + kSpinH, rt, rb, Solid(l.border));
            c.RoundRect(x + 1, y + (half == 0 ? 1 : 0), x + kSpinW - 1, y + kSpinH - (half == 0 ? 0 : 1), std::max(rt - 1, 0.0f), std::max(rb - 1, 0.0f),
                        VerticalGradient(y, y + kSpinH, l.top, l.bottom));
            const float cx = x + kSpinW / 2.0f, cy = y + kSpinH / 2.0f + (half == 0 ? 0.5f : -0.5f);
            if (half == 0)
                c.Polygon({{cx - 3.5f, cy + 1.8f}, {cx + 3.5f, cy + 1.8f}, {cx, cy - 2.0f}}, l.glyph);
            else
                c.Polygon({{cx - 3.5f, cy - 1.8f}, {cx + 3.5f, cy - 1.8f}, {cx, cy + 2.0f}}, l.glyph);
        }
    AddPicture(skin, "spin", c, Flat(kBody));
}

std::unique_ptr<CSkinSpinObject> MakeSpin()
{
    // Horizontal controls leave the second set empty: the skinner turns the upright halves.
    auto spin = MakeControl<CSkinSpinObject>("Spin");
    for (int s = 0; s < SPIN_STATES; ++s)
        for (int half = 0; half < 2; ++half)
            spin->m_states[s].parts[half].Set("spin", s * kSpinW, half * kSpinH, (s + 1) * kSpinW, (half + 1) * kSpinH, 0);
    return spin;
}

// ---- the objects ---------------------------------------------------------------------------------

std::unique_ptr<CSkinGroupBoxObject> MakeGroupBox()
{
    auto group = MakeControl<CSkinGroupBoxObject>("GroupBox", Hex(0x2A4F85), FW_BOLD);
    group->m_background.Set("groupbox", 0, 0, 16, 16, 5, 5, 5, 5, 0);
    group->m_caption.Set("groupbox", 16, 0, 24, 16, 4, 0, 4, 0, 1);
    group->m_nGroupValue1 = ToColorRef(kBody);  // the caption's own background colour
    group->m_style = MakeStyle(Hex(0x2A4F85));
    group->m_nGroupValue2 = 1;  // the caption lies over the dialog's background
    return group;
}

std::unique_ptr<CSkinStaticObject> MakeStatic()
{
    auto stat = MakeControl<CSkinStaticObject>("Static");
    stat->m_nStaticValue = 1;  // transparent over the dialog's background
    stat->m_style = MakeStyle(kText);
    SkinTextStyle disabled = MakeStyle(kTextDisabled);  // the disabled text style
    static_assert(sizeof disabled == sizeof stat->m_extra, "the block holds a text style");
    memcpy(stat->m_extra, &disabled, sizeof disabled);
    return stat;
}

std::unique_ptr<CSkinTreeViewObject> MakeTreeView()
{
    // Folder pickers show a tree: the same field look, with quiet connecting lines.
    auto tree = MakeField<CSkinTreeViewObject>("TreeView");
    tree->m_values[0] = ToColorRef(kBorder);
    return tree;
}

std::unique_ptr<CSkinComboBoxObject> MakeComboBox()
{
    auto combo = MakeField<CSkinComboBoxObject>("ComboBox");
    for (int s = 0; s < 4; ++s)
        combo->m_buttons[s].Set("field", kFieldW + s * 16, 0, kFieldW + (s + 1) * 16, 20, 3, 3, 3, 3, 1);
    combo->m_crColor1 = ToColorRef(Hex(0xF1F3F6));  // a disabled combo box: background, text
    combo->m_crColor2 = ToColorRef(kTextDisabled);
    return combo;
}

std::unique_ptr<CSkinSliderObject> MakeSlider()
{
    auto slider = MakeControl<CSkinSliderObject>("Slider");
    slider->m_channel.Set("slider", 0, 0, 12, 6, 3, 2, 3, 2, 1);
    slider->m_thumb.Set("slider", 12, 0, 24, 20, 4, 4, 4, 4, 1);
    slider->m_verticalThumb.Set("slider", 12, 20, 32, 32, 4, 4, 4, 4, 1);
    slider->m_nSliderValue = 1;  // transparent: the dialog's background around channel and thumb
    return slider;
}

std::unique_ptr<CSkinProgressBarObject> MakeProgressBar()
{
    auto progress = MakeControl<CSkinProgressBarObject>("ProgressBar");
    progress->m_crBack = ToColorRef(Hex(0xE3E8EE));
    progress->m_crText = ToColorRef(kAccent);
    progress->m_background.Set("progress", 0, 0, 12, 12, 4, 4, 4, 4, 1);
    progress->m_bar.Set("progress", 12, 0, 24, 12, 3, 3, 3, 3, 1);
    progress->m_values[0] = ToColorRef(Hex(0xE3E8EE));  // behind the bar
    progress->m_values[1] = ToColorRef(kAccent);         // under the bar
    progress->m_values[2] = 0;                           // the bar stretched over the filled part
    return progress;
}

}  // namespace

void AddControlLooks(CSkinFile& skin)
{
    AddButtonPicture(skin);
    AddMarkPictures(skin);
    AddGroupBoxPicture(skin);
    AddFieldPicture(skin);
    AddSliderPicture(skin);
    AddProgressPicture(skin);
    AddSpinPicture(skin);

    skin.AddObject(MakeButton("Button"));
    skin.AddObject(MakeButton("PushLikeButton"));
    skin.AddObject(MakeCheckObject<CSkinCheckBoxObject>("CheckBox", "check"));
    skin.AddObject(MakeCheckObject<CSkinRadioObject>("Radio", "radio"));

    skin.AddObject(MakeGroupBox());
    skin.AddObject(MakeStatic());
    skin.AddObject(MakeField<CSkinScrollControlObject>("Edit", int(SKIN_EDIT)));
    skin.AddObject(MakeField<CSkinScrollControlObject>("ListBox", int(SKIN_LISTBOX)));
    skin.AddObject(MakeField<CSkinScrollControlObject>("ListView", int(SKIN_LISTVIEW)));
    skin.AddObject(MakeField<CSkinScrollControlObject>("RichEdit", int(SKIN_RICHEDIT)));
    // The IP address control's field; its four parts are edits and take the Edit look.
    skin.AddObject(MakeField<CSkinScrollControlObject>("ScrollControl", int(SKIN_SCROLLCONTROL)));
    skin.AddObject(MakeTreeView());
    skin.AddObject(MakeComboBox());
    skin.AddObject(MakeSlider());
    skin.AddObject(MakeProgressBar());
    skin.AddObject(MakeSpin());
}

}  // namespace skinbuild
