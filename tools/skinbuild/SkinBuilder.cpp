#include "SkinBuilder.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "Canvas.h"
#include "SkinObjectTypes.h"

namespace skinbuild {

namespace {

// ---- the palette: a calm dark-blue caption over a light, cool body ---------------------------

const Rgba kBody = Hex(0xEEF1F5);
const Rgba kWhite = Hex(0xFFFFFF);
const Rgba kText = Hex(0x1E2833);
const Rgba kTextDisabled = Hex(0x9AA3AE);
const Rgba kAccent = Hex(0x3A72BC);
const Rgba kAccentDark = Hex(0x2F63A8);
const Rgba kAccentLight = Hex(0xDCE8F7);
const Rgba kBorder = Hex(0xA3AFBF);
const Rgba kBorderLight = Hex(0xC6CED9);
const Rgba kGlyph = Hex(0x56637A);
const Rgba kDesktopMatte = Hex(0x7A828C);

struct CaptionLook {
    Rgba top, bottom, outline, border, edge;
};
const CaptionLook kActive = {Hex(0x3466A8), Hex(0x1F4379), Hex(0x14305A), Hex(0x1F4379), Hex(0x183868)};
const CaptionLook kInactive = {Hex(0x8E9DB2), Hex(0x72839B), Hex(0x5B6A80), Hex(0x72839B), Hex(0x65758C)};

const char kFace[] = "DejaVu Sans";

// ---- frame geometry ---------------------------------------------------------------------------

constexpr int kCaption = 30;   // caption band height
constexpr int kBorderW = 4;    // side and bottom border
constexpr int kFrameW = 160;   // frame picture: one frame per half
constexpr int kFrameH = 60;
constexpr int kPart0W = 32;    // the left caption corner (room for the window icon)
constexpr int kDesignW = 320;  // design size of the window objects' frame rectangles
constexpr int kDesignH = 200;
constexpr int kCapBtnW = 28;   // caption buttons
constexpr int kCapBtnH = 24;
constexpr int kCapBtnTop = 3;

enum CaptionGlyph { GLYPH_CLOSE, GLYPH_MINIMIZE, GLYPH_MAXIMIZE, GLYPH_RESTORE, GLYPH_COUNT };

// ---- helpers ------------------------------------------------------------------------------------

SkinFont MakeFont(LONG height, LONG weight, const Rgba& color)
{
    SkinFont f = SkinFont::Default(kFace);
    f.lfHeight = height;
    f.lfWeight = weight;
    f.lfQuality = 5;  // clear type: smooth text on the light body
    f.color = ToColorRef(color);
    return f;
}

SkinTextStyle MakeStyle(const Rgba& color)
{
    SkinTextStyle s = SkinTextStyle::Default();
    s.SetTextColor(ToColorRef(color));
    return s;
}

void AddPicture(CSkinFile& skin, const char* name, const CCanvas& canvas, const CCanvas::Matte& matte)
{
    CRasterImage image;
    canvas.ToImage(image, matte);
    auto object = std::make_unique<CSkinImageObject>();
    object->SetName(name);
    object->SetImage(image, RASTER_FORMAT_BMP);
    skin.AddImage(std::move(object));
}

CCanvas::Matte Flat(const Rgba& c)
{
    return [c](int, int) { return c; };
}

// Fields every object of the skin shares: body and text colours where a skinner falls back to
// the object's own colours, and the font.
template <typename T, typename... Args>
std::unique_ptr<T> MakeObject(const char* name, Args... args)
{
    auto o = std::make_unique<T>(args...);
    o->SetName(name);
    o->m_crBack = ToColorRef(kBody);
    o->m_crText = ToColorRef(kText);
    o->m_nThird = ToColorRef(kTextDisabled);
    return o;
}

template <typename T>
std::unique_ptr<T> MakeControl(const char* name, const Rgba& textColor = kText, LONG weight = FW_NORMAL)
{
    auto o = MakeObject<T>(name);
    o->m_font = MakeFont(-11, weight, textColor);
    return o;
}

// ---- window frames ----------------------------------------------------------------------------

Rgba CaptionColor(const CaptionLook& look, float y)
{
    return Mix(look.top, look.bottom, std::fmin(std::fmax(y / kCaption, 0.0f), 1.0f));
}

void DrawFrameHalf(CCanvas& c, int oy, const CaptionLook& look)
{
    const float top = float(oy), bottom = float(oy + kFrameH);
    c.RoundRect(0, top, kFrameW, bottom, 8, 4, Solid(look.outline));
    Paint body = [&look, oy](float, float y) {
        return y < oy + kCaption ? CaptionColor(look, y - oy) : look.border;
    };
    c.RoundRect(1, top + 1, kFrameW - 1, bottom - 1, 7, 3, body);
    c.Tint(8, oy + 1, kFrameW - 8, oy + 2, WithAlpha(kWhite, 0.18f));  // soft top highlight
    c.FillRect(kBorderW - 1, oy + kCaption, kFrameW - kBorderW + 1, oy + kFrameH - kBorderW + 1, Solid(look.edge));
    c.FillRect(kBorderW, oy + kCaption, kFrameW - kBorderW, oy + kFrameH - kBorderW, Solid(kBody));
}

void AddFramePicture(CSkinFile& skin)
{
    CCanvas c(kFrameW, 2 * kFrameH);
    DrawFrameHalf(c, 0, kActive);
    DrawFrameHalf(c, kFrameH, kInactive);
    AddPicture(skin, "frame", c, Flat(kDesktopMatte));
}

// The nine parts of one frame and their design rectangles; part2W is the right caption corner,
// wide enough for the caption buttons that are laid over it.
void SetFrameParts(CSkinWindowObject& w, int part2W)
{
    const int bw = kBorderW, fw = kFrameW, fh = kFrameH, cap = kCaption;
    for (int half = 0; half < 2; ++half) {
        const int oy = half * fh;
        SkinImagePart* p = &w.m_parts[half * 9];
        p[0].Set("frame", 0, oy, kPart0W, oy + cap, 0);
        p[1].Set("frame", kPart0W, oy, kPart0W + 16, oy + cap, 2);
        p[2].Set("frame", fw - part2W, oy, fw, oy + cap, 0);
        p[3].Set("frame", 0, oy + cap, bw, oy + fh - bw, 2);
        p[4].Set("frame", bw, oy + cap, fw - bw, oy + fh - bw, 1);
        p[5].Set("frame", fw - bw, oy + cap, fw, oy + fh - bw, 2);
        p[6].Set("frame", 0, oy + fh - bw, bw, oy + fh, 0);
        p[7].Set("frame", bw, oy + fh - bw, fw - bw, oy + fh, 2);
        p[8].Set("frame", fw - bw, oy + fh - bw, fw, oy + fh, 0);
    }
    const int W = kDesignW, H = kDesignH;
    RECT* r = w.m_frameRects;
    r[0] = {0, 0, kPart0W, cap};
    r[1] = {kPart0W, 0, W - part2W, cap};
    r[2] = {W - part2W, 0, W, cap};
    r[3] = {0, cap, bw, H - bw};
    r[4] = {bw, cap, W - bw, H - bw};
    r[5] = {W - bw, cap, W, H - bw};
    r[6] = {0, H - bw, bw, H};
    r[7] = {bw, H - bw, W - bw, H};
    r[8] = {W - bw, H - bw, W, H};
    w.m_rc = {0, 0, W, H};
    w.m_captionFont = MakeFont(-12, FW_BOLD, kWhite);
    w.m_bClientBackground = 1;
    w.m_crActiveFill = ToColorRef(kActive.bottom);
    w.m_crInactiveFill = ToColorRef(kInactive.bottom);
    w.m_crBackground = ToColorRef(kBody);
    w.m_textStyle = MakeStyle(kWhite);
    // A minimised window shows its caption band alone.
    w.m_iconicCaption[0].Set("frame", 0, 0, fw, cap, 10, 4, 10, 4, 1);
    w.m_iconicCaption[1].Set("frame", 0, fh, fw, fh + cap, 10, 4, 10, 4, 1);
}

// ---- caption buttons -------------------------------------------------------------------------

void DrawCaptionGlyph(CCanvas& c, CaptionGlyph glyph, float cx, float cy, const Rgba& color)
{
    const float w = 1.5f;
    switch (glyph) {
    case GLYPH_CLOSE:
        c.Line(cx - 4.5f, cy - 4.5f, cx + 4.5f, cy + 4.5f, w, color);
        c.Line(cx - 4.5f, cy + 4.5f, cx + 4.5f, cy - 4.5f, w, color);
        break;
    case GLYPH_MINIMIZE:
        c.Line(cx - 5, cy + 3.5f, cx + 5, cy + 3.5f, w, color);
        break;
    case GLYPH_MAXIMIZE:
        c.RoundBorder(cx - 5.5f, cy - 5.5f, cx + 5.5f, cy + 5.5f, 1.5f, w, color);
        break;
    case GLYPH_RESTORE:
        c.Polyline({{cx - 2.5f, cy - 3.5f}, {cx - 2.5f, cy - 5.5f}, {cx + 5.5f, cy - 5.5f}, {cx + 5.5f, cy + 2.5f},
                    {cx + 3.5f, cy + 2.5f}},
                   w, color);
        c.RoundBorder(cx - 5.5f, cy - 3, cx + 3, cy + 5.5f, 1.2f, w, color);
        break;
    default:
        break;
    }
}

// Columns close, minimise, maximise, restore; rows normal, hover, pressed, disabled. Pixels the
// button does not cover are the key colour, so the caption shows through; edge pixels are blended
// against the active caption at the button's height.
void AddCaptionButtonPicture(CSkinFile& skin)
{
    CCanvas c(GLYPH_COUNT * kCapBtnW, 4 * kCapBtnH);
    for (int g = 0; g < GLYPH_COUNT; ++g)
        for (int state = 0; state < 4; ++state) {
            const float x = float(g * kCapBtnW), y = float(state * kCapBtnH);
            const bool close = g == GLYPH_CLOSE;
            if (state == 1)
                c.RoundRect(x + 1, y + 1, x + kCapBtnW - 1, y + kCapBtnH - 1, 4,
                            Solid(close ? Hex(0xD64541) : WithAlpha(kWhite, 0.22f)));
            else if (state == 2)
                c.RoundRect(x + 1, y + 1, x + kCapBtnW - 1, y + kCapBtnH - 1, 4,
                            Solid(close ? Hex(0xA8322E) : WithAlpha(Hex(0x000000), 0.22f)));
            const Rgba glyph = state == 3 ? WithAlpha(kWhite, 0.4f) : WithAlpha(kWhite, 0.96f);
            DrawCaptionGlyph(c, CaptionGlyph(g), x + kCapBtnW / 2.0f, y + kCapBtnH / 2.0f, glyph);
        }
    AddPicture(skin, "captionbuttons", c,
               [](int, int y) { return CaptionColor(kActive, float(y % kCapBtnH + kCapBtnTop) + 0.5f); });
}

std::unique_ptr<CSkinCaptionButtonObject> MakeCaptionButton(const char* name, DWORD action, CaptionGlyph glyph,
                                                            int right)
{
    auto b = MakeObject<CSkinCaptionButtonObject>(name);
    b->m_nAction = action;
    b->m_rc = {right - kCapBtnW, kCapBtnTop, right, kCapBtnTop + kCapBtnH};
    // Anchored to the right edge (mode 4) and shown while the window is not maximised (4); the
    // command id, condition and anchor words all read 4, so the element stays at the right
    // whichever of them a reader takes for the anchor.
    b->m_nAnchoring = 4;
    b->m_nCaptionValue1 = 4;
    b->m_nCaptionValue2 = 4;
    b->m_nCaptionValue3 = 4;
    const LONG x = glyph * kCapBtnW;
    b->m_image.Set("captionbuttons", x, 0, x + kCapBtnW, kCapBtnH, 0);
    for (int s = 0; s < 3; ++s)
        b->m_states[s].Set("captionbuttons", x, (s + 1) * kCapBtnH, x + kCapBtnW, (s + 2) * kCapBtnH, 0);
    return b;
}

std::unique_ptr<CSkinCaptionButtonObject> MakeSystemMenuButton()
{
    // Draws the window's own small icon; a click opens the skinned system menu, a double click
    // closes the window.
    auto b = MakeObject<CSkinCaptionButtonObject>("SysMenu");
    b->m_nAction = CSkinCaptionButtonObject::ACTION_SYSMENU;
    b->m_rc = {9, 7, 25, 23};
    return b;
}

// ---- the frame's menu bar (frame windows with a menu; MDI child buttons) ----------------------

constexpr int kMdiBtnW = 16, kMdiBtnH = 14, kMenuBarH = 20;

void AddMenuBarPicture(CSkinFile& skin)
{
    // Left: the bar background (8 x 20); then the hot and the open item (16 x 18 each); then the
    // MDI child buttons: system menu, minimise, restore, close x normal, hot, pressed.
    const int btnX = 8 + 16 + 16;
    CCanvas c(btnX + 4 * kMdiBtnW, 3 * kMdiBtnH > kMenuBarH ? 3 * kMdiBtnH : kMenuBarH, kBody);
    const Rgba bar = Hex(0xF5F7FA);
    c.FillRect(0, 0, 8, kMenuBarH, Solid(bar));
    c.FillRect(0, kMenuBarH - 1, 8, kMenuBarH, Solid(Hex(0xDCE1E8)));
    c.FillRect(8, 0, 40, 18, Solid(bar));
    c.RoundRect(8.5f, 0.5f, 23.5f, 17.5f, 3, Solid(Hex(0xB4C9E6)));
    c.RoundRect(9.5f, 1.5f, 22.5f, 16.5f, 2, Solid(Hex(0xE4ECF7)));
    c.RoundRect(24.5f, 0.5f, 39.5f, 17.5f, 3, Solid(Hex(0x9DB6DA)));
    c.RoundRect(25.5f, 1.5f, 38.5f, 16.5f, 2, Solid(Hex(0xD3E0F1)));
    for (int g = 0; g < 4; ++g)
        for (int s = 0; s < 3; ++s) {
            const float x = float(btnX + g * kMdiBtnW), y = float(s * kMdiBtnH);
            c.FillRect(int(x), int(y), int(x) + kMdiBtnW, int(y) + kMdiBtnH, Solid(bar));
            if (s > 0)
                c.RoundRect(x + 0.5f, y + 0.5f, x + kMdiBtnW - 0.5f, y + kMdiBtnH - 0.5f, 2.5f,
                            Solid(s == 1 ? Hex(0xDCE8F7) : Hex(0xC3D6EF)));
            const float cx = x + kMdiBtnW / 2.0f, cy = y + kMdiBtnH / 2.0f;
            if (g == 0)
                c.RoundRect(cx - 4, cy - 4, cx + 4, cy + 4, 1.5f, Solid(kAccent));
            else if (g == 1)
                c.Line(cx - 3.5f, cy + 3, cx + 3.5f, cy + 3, 1.3f, kGlyph);
            else if (g == 2) {
                c.RoundBorder(cx - 4, cy - 2, cx + 2, cy + 4, 1, 1.2f, kGlyph);
                c.Polyline({{cx - 2, cy - 2.5f}, {cx - 2, cy - 4}, {cx + 4, cy - 4}, {cx + 4, cy + 2}, {cx + 2.5f, cy + 2}},
                           1.2f, kGlyph);
            } else {
                c.Line(cx - 3.5f, cy - 3.5f, cx + 3.5f, cy + 3.5f, 1.3f, kGlyph);
                c.Line(cx - 3.5f, cy + 3.5f, cx + 3.5f, cy - 3.5f, 1.3f, kGlyph);
            }
        }
    AddPicture(skin, "menubar", c, Flat(kBody));
}

void SetMenuBar(CSkinCaptionTextObject& m)
{
    m.SetName("MenuBar");
    m.m_crBack = ToColorRef(Hex(0xF5F7FA));
    m.m_crText = ToColorRef(kText);
    m.m_menuFont = MakeFont(-11, FW_NORMAL, kText);
    m.m_barMargins = {2, 1, 2, 1};
    m.m_barBackground.Set("menubar", 0, 0, 8, kMenuBarH, 0, 0, 0, 1, 1);
    m.m_hotItem.grid.Set("menubar", 8, 0, 24, 18, 4, 4, 4, 4, 1);
    m.m_hotItem.fill = ToColorRef(Hex(0xE4ECF7));
    m.m_hotItem.textMargins = {6, 2, 6, 2};
    m.m_hotItem.textColor = ToColorRef(kText);
    m.m_openItem.grid.Set("menubar", 24, 0, 40, 18, 4, 4, 4, 4, 1);
    m.m_openItem.fill = ToColorRef(Hex(0xD3E0F1));
    m.m_openItem.textMargins = {6, 2, 6, 2};
    m.m_openItem.textColor = ToColorRef(kText);
    m.m_crNormalText = ToColorRef(kText);
    m.m_crDisabledText = ToColorRef(kTextDisabled);
    for (int g = 0; g < 4; ++g)
        for (int s = 0; s < 3; ++s) {
            const LONG x = 40 + g * kMdiBtnW, y = s * kMdiBtnH;
            m.m_buttons[g][s].Set("menubar", x, y, x + kMdiBtnW, y + kMdiBtnH, 0);
        }
}

// A window object for dialogs ("Dialog", the name the program selects) or frame windows.
std::unique_ptr<CSkinFrameWndObject> MakeWindowFrame(const char* name, bool maximizeBox)
{
    auto f = MakeObject<CSkinFrameWndObject>(name);
    const int buttons = maximizeBox ? 3 : 2;
    SetFrameParts(*f, buttons == 3 ? 100 : 72);
    SetMenuBar(f->m_menuBar);
    const int right = kDesignW - kBorderW - 2;
    f->AddChild(MakeSystemMenuButton());
    f->AddChild(MakeCaptionButton("Close", CSkinCaptionButtonObject::ACTION_CLOSE, GLYPH_CLOSE, right));
    int next = right - kCapBtnW - 2;
    if (maximizeBox) {
        f->AddChild(MakeCaptionButton("Maximize", CSkinCaptionButtonObject::ACTION_MAXIMIZE, GLYPH_MAXIMIZE, next));
        next -= kCapBtnW + 2;
    }
    f->AddChild(MakeCaptionButton("Minimize", CSkinCaptionButtonObject::ACTION_MINIMIZE, GLYPH_MINIMIZE, next));
    return f;
}

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
        {kWhite, Hex(0xE4E9F0), kAccent, true},              // default
        {kWhite, Hex(0xE4E9F0), kAccent, true},              // focused
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
        else if (s != BTN_PRESSED && s != BTN_DISABLED)
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

// ---- scroll bars -------------------------------------------------------------------------------

constexpr int kSb = 16;
enum { SB_COL_LEFT, SB_COL_RIGHT, SB_COL_UP, SB_COL_DOWN, SB_COL_HTRACK, SB_COL_VTRACK, SB_COL_HTHUMB,
       SB_COL_VTHUMB, SB_COL_GRIP, SB_COLS };
enum { SB_NORMAL, SB_PRESSED, SB_HOT, SB_DISABLED };
const Rgba kTrack = Hex(0xE9EDF2);

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

// ---- slider, progress bar, header --------------------------------------------------------------

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

void AddHeaderPicture(CSkinFile& skin)
{
    // Item 16 x 22 with its right separator; background 8 x 22 without one.
    CCanvas c(24, 22);
    c.FillRect(0, 0, 24, 22, VerticalGradient(0, 21, kWhite, Hex(0xEBEFF4)));
    c.FillRect(0, 21, 24, 22, Solid(Hex(0xC5CDD8)));
    c.FillRect(15, 4, 16, 18, Solid(Hex(0xCBD3DD)));
    AddPicture(skin, "header", c, Flat(kWhite));
}

// ---- tooltip and popup menu --------------------------------------------------------------------

// The nine parts of a small window drawn from a 9 x 9 cell at (x, 0) with 3-pixel borders.
void SetSmallWindowParts(CSkinWindowObject& w, const char* picture, int x, int designW, int designH)
{
    const LONG b = 3;
    for (int half = 0; half < 2; ++half) {
        SkinImagePart* p = &w.m_parts[half * 9];
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col) {
                const bool corner = row != 1 && col != 1;
                p[row * 3 + col].Set(picture, x + col * b, row * b, x + (col + 1) * b, (row + 1) * b, corner ? 0 : 2);
            }
    }
    const LONG W = designW, H = designH;
    RECT* r = w.m_frameRects;
    r[0] = {0, 0, b, b};
    r[1] = {b, 0, W - b, b};
    r[2] = {W - b, 0, W, b};
    r[3] = {0, b, b, H - b};
    r[4] = {b, b, W - b, H - b};
    r[5] = {W - b, b, W, H - b};
    r[6] = {0, H - b, b, H};
    r[7] = {b, H - b, W - b, H};
    r[8] = {W - b, H - b, W, H};
    w.m_rc = {0, 0, W, H};
    w.m_bClientBackground = 1;
}

const Rgba kTipFill = Hex(0xF8FAFD);
const Rgba kTipBorder = Hex(0x8D9BB0);
const Rgba kMenuBorder = Hex(0xA9B4C2);

void AddTooltipPicture(CSkinFile& skin)
{
    CCanvas c(9, 9);
    c.RoundRect(0, 0, 9, 9, 3, Solid(kTipBorder));
    c.RoundRect(1, 1, 8, 8, 2, Solid(kTipFill));
    AddPicture(skin, "tooltip", c, Flat(kBody));
}

std::unique_ptr<CSkinTooltipObject> MakeTooltip()
{
    auto o = MakeObject<CSkinTooltipObject>("Tooltip");
    SetSmallWindowParts(*o, "tooltip", 0, 60, 30);
    o->m_captionFont = MakeFont(-11, FW_NORMAL, kText);
    o->m_crBack = ToColorRef(kTipFill);
    o->m_crActiveFill = ToColorRef(kTipBorder);
    o->m_crInactiveFill = ToColorRef(kTipBorder);
    o->m_crBackground = ToColorRef(kTipFill);
    o->m_textStyle = MakeStyle(kText);
    o->m_nShowDelay = 1000;
    o->m_nHideDelay = 8000;
    o->m_nPlacement = 0;
    return o;
}

void AddMenuPicture(CSkinFile& skin)
{
    // Frame 9 x 9 at 0; selection 16 x 16 at 9; separator 16 x 3 at 25; check mark and
    // submenu arrow 16 x 16 at 41 and 57 (key colour around them).
    CCanvas c(73, 16, Rgba());
    c.FillRect(9, 0, 41, 16, Solid(kWhite));
    c.RoundRect(0, 0, 9, 9, 3, Solid(kMenuBorder));
    c.RoundRect(1, 1, 8, 8, 2, Solid(kWhite));
    c.RoundRect(9, 0, 25, 16, 3, Solid(Hex(0xA7C3E6)));
    c.RoundRect(10, 1, 24, 15, 2, Solid(kAccentLight));
    c.FillRect(25, 1, 41, 2, Solid(Hex(0xDDE2E8)));
    c.Polyline({{45.0f, 8.2f}, {47.8f, 11.0f}, {53.0f, 5.0f}}, 1.7f, kText);
    c.Polygon({{63.0f, 4.0f}, {63.0f, 12.0f}, {67.0f, 8.0f}}, kText);
    AddPicture(skin, "menu", c, [](int x, int y) { return x >= 9 && x < 25 ? kAccentLight : kWhite; });
}

std::unique_ptr<CSkinPopupMenuObject> MakePopupMenu()
{
    auto o = MakeObject<CSkinPopupMenuObject>("PopupMenu");
    SetSmallWindowParts(*o, "menu", 0, 100, 60);
    // The client (part 4) is plain white.
    o->m_parts[4].Set("menu", 3, 3, 6, 6, 1);
    o->m_parts[13].Set("menu", 3, 3, 6, 6, 1);
    o->m_captionFont = MakeFont(-11, FW_NORMAL, kText);
    o->m_crBack = ToColorRef(kWhite);
    o->m_crText = ToColorRef(kText);
    o->m_nThird = ToColorRef(kTextDisabled);
    o->m_crActiveFill = ToColorRef(kAccentLight);
    o->m_crInactiveFill = ToColorRef(kMenuBorder);
    o->m_crBackground = ToColorRef(kWhite);
    o->m_textStyle = MakeStyle(kText);
    for (RECT& r : o->m_rects)
        r = {6, 2, 6, 2};  // text margins and icon offsets
    o->m_values[0] = ToColorRef(kText);
    o->m_values[1] = ToColorRef(kTextDisabled);
    o->m_grids[0].Set("menu", 9, 0, 25, 16, 4, 4, 4, 4, 1);
    o->m_grids[1].Set("menu", 25, 0, 41, 3, 0, 0, 0, 0, 1);
    o->m_image1.Set("menu", 41, 0, 57, 16, 0);
    o->m_image2.Set("menu", 57, 0, 73, 16, 0);
    return o;
}

// ---- application and system colours ----------------------------------------------------------

std::unique_ptr<CSkinApplicationObject> MakeApplication()
{
    auto a = std::make_unique<CSkinApplicationObject>();
    a->SetName("Application");
    a->m_nThird = kKeyColor;
    a->m_bTransparent = 1;  // rounded corners: windows leave the key colour out of their region
    SkinCopyText(a->m_szToolName, sizeof a->m_szToolName, "Velmora skinbuild");
    SkinCopyText(a->m_szSkinName, sizeof a->m_szSkinName, "Velmora Default");
    return a;
}

std::unique_ptr<CSkinSysColorTableObject> MakeSysColorTable()
{
    auto t = std::make_unique<CSkinSysColorTableObject>();
    t->SetName("SysColorTable");
    const Rgba colors[31] = {
        kTrack,               // 0 scroll bar
        Hex(0x3A4A60),        // 1 desktop
        kActive.top,          // 2 active caption
        kInactive.top,        // 3 inactive caption
        kWhite,               // 4 menu
        kWhite,               // 5 window
        Hex(0x14305A),        // 6 window frame
        kText,                // 7 menu text
        kText,                // 8 window text
        kWhite,               // 9 caption text
        kActive.border,       // 10 active border
        kInactive.border,     // 11 inactive border
        Hex(0xD5DBE3),        // 12 application workspace
        kAccent,              // 13 highlight
        kWhite,               // 14 highlight text
        kBody,                // 15 button face
        Hex(0xA3AFBF),        // 16 button shadow
        kTextDisabled,        // 17 grey text
        kText,                // 18 button text
        Hex(0xE4E9F0),        // 19 inactive caption text
        kWhite,               // 20 button highlight
        Hex(0x6B7788),        // 21 3-D dark shadow
        Hex(0xF6F8FA),        // 22 3-D light
        kText,                // 23 tooltip text
        kTipFill,             // 24 tooltip background
        kBody,                // 25 (unused)
        kAccentDark,          // 26 hot-tracked item
        kActive.bottom,       // 27 active caption gradient end
        kInactive.bottom,     // 28 inactive caption gradient end
        kAccent,              // 29 menu highlight
        kBody,                // 30 menu bar
    };
    for (int i = 0; i < 31; ++i)
        t->m_colors[i] = ToColorRef(colors[i]);
    return t;
}

}  // namespace

void BuildDefaultSkin(CSkinFile& skin)
{
    AddFramePicture(skin);
    AddCaptionButtonPicture(skin);
    AddMenuBarPicture(skin);
    AddButtonPicture(skin);
    AddMarkPictures(skin);
    AddGroupBoxPicture(skin);
    AddFieldPicture(skin);
    AddScrollBarPicture(skin);
    AddSliderPicture(skin);
    AddProgressPicture(skin);
    AddHeaderPicture(skin);
    AddTooltipPicture(skin);
    AddMenuPicture(skin);

    skin.AddObject(MakeApplication());
    skin.AddObject(MakeSysColorTable());
    skin.AddObject(MakeWindowFrame("Dialog", false));
    skin.AddObject(MakeWindowFrame("FrameWnd", true));
    skin.AddObject(MakeButton("Button"));
    skin.AddObject(MakeButton("PushLikeButton"));
    skin.AddObject(MakeCheckObject<CSkinCheckBoxObject>("CheckBox", "check"));
    skin.AddObject(MakeCheckObject<CSkinRadioObject>("Radio", "radio"));

    auto group = MakeControl<CSkinGroupBoxObject>("GroupBox", Hex(0x2A4F85), FW_BOLD);
    group->m_background.Set("groupbox", 0, 0, 16, 16, 5, 5, 5, 5, 0);
    group->m_caption.Set("groupbox", 16, 0, 24, 16, 4, 0, 4, 0, 1);
    group->m_nGroupValue1 = ToColorRef(kBody);
    group->m_style = MakeStyle(Hex(0x2A4F85));
    group->m_nGroupValue2 = ToColorRef(Hex(0x2A4F85));
    skin.AddObject(std::move(group));

    auto stat = MakeControl<CSkinStaticObject>("Static");
    stat->m_nStaticValue = 1;  // transparent over the dialog's background
    stat->m_style = MakeStyle(kText);
    SkinTextStyle disabled = MakeStyle(kTextDisabled);  // the disabled text style
    static_assert(sizeof disabled == sizeof stat->m_extra, "the block holds a text style");
    memcpy(stat->m_extra, &disabled, sizeof disabled);
    skin.AddObject(std::move(stat));

    skin.AddObject(MakeField<CSkinScrollControlObject>("Edit", int(SKIN_EDIT)));
    skin.AddObject(MakeField<CSkinScrollControlObject>("ListBox", int(SKIN_LISTBOX)));
    skin.AddObject(MakeField<CSkinScrollControlObject>("ListView", int(SKIN_LISTVIEW)));
    // Folder pickers show a tree: the same field look, with quiet connecting lines.
    auto tree = MakeField<CSkinTreeViewObject>("TreeView");
    tree->m_values[0] = ToColorRef(kBorder);
    skin.AddObject(std::move(tree));

    auto combo = MakeField<CSkinComboBoxObject>("ComboBox");
    for (int s = 0; s < 4; ++s)
        combo->m_buttons[s].Set("field", kFieldW + s * 16, 0, kFieldW + (s + 1) * 16, 20, 3, 3, 3, 3, 1);
    combo->m_crColor1 = ToColorRef(kAccent);  // the current item while focused
    combo->m_crColor2 = ToColorRef(kWhite);
    skin.AddObject(std::move(combo));

    auto header = MakeControl<CSkinHeaderObject>("Header", Hex(0x2B3644));
    header->m_background.Set("header", 16, 0, 24, 22, 0, 0, 0, 1, 1);
    header->m_item.Set("header", 0, 0, 16, 22, 6, 2, 6, 2, 1);
    skin.AddObject(std::move(header));

    skin.AddObject(MakeScrollBar());

    auto slider = MakeControl<CSkinSliderObject>("Slider");
    slider->m_channel.Set("slider", 0, 0, 12, 6, 3, 2, 3, 2, 1);
    slider->m_thumb.Set("slider", 12, 0, 24, 20, 4, 4, 4, 4, 1);
    slider->m_verticalThumb.Set("slider", 12, 20, 32, 32, 4, 4, 4, 4, 1);
    skin.AddObject(std::move(slider));

    auto progress = MakeControl<CSkinProgressBarObject>("ProgressBar");
    progress->m_crBack = ToColorRef(Hex(0xE3E8EE));
    progress->m_crText = ToColorRef(kAccent);
    progress->m_background.Set("progress", 0, 0, 12, 12, 4, 4, 4, 4, 1);
    progress->m_bar.Set("progress", 12, 0, 24, 12, 3, 3, 3, 3, 1);
    skin.AddObject(std::move(progress));

    skin.AddObject(MakeTooltip());
    skin.AddObject(MakePopupMenu());
}

}  // namespace skinbuild
