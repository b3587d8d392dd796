// The default skin's window looks: frames and dialogs with their caption buttons and menu bar,
// and popup menus.
#include <cmath>

#include "SkinLook.h"

namespace skinbuild {

namespace {

const Rgba kDesktopMatte = Hex(0x7A828C);
const Rgba kMenuBorder = Hex(0xA9B4C2);

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
    SetFrameRects(w, kDesignW, kDesignH, kPart0W, part2W, cap, bw);
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
    // Anchored to the right edge (anchor mode 4) and shown while the window is not maximised
    // (condition 4); these actions send no command, so the command id is free.
    b->m_nAnchoring = 4;
    b->m_nCaptionValue1 = 0;
    b->m_nCaptionValue2 = 4;
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

// ---- popup menu ----------------------------------------------------------------------------------

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
    // The selection's colour where its picture is missing; the entries' text colour.
    o->m_crBack = ToColorRef(kAccentLight);
    o->m_crText = ToColorRef(kText);
    o->m_nThird = ToColorRef(kTextDisabled);
    o->m_crActiveFill = ToColorRef(kAccentLight);
    o->m_crInactiveFill = ToColorRef(kMenuBorder);
    o->m_crBackground = ToColorRef(kWhite);
    o->m_textStyle = MakeStyle(kText);
    for (RECT& r : o->m_rects)
        r = {6, 2, 6, 2};  // the entries' text margins, the icons' offsets, and a spare
    o->m_values[0] = ToColorRef(kText);
    o->m_values[1] = ToColorRef(kTextDisabled);
    o->m_grids[0].Set("menu", 9, 0, 25, 16, 4, 4, 4, 4, 1);
    o->m_grids[1].Set("menu", 25, 0, 41, 3, 0, 0, 0, 0, 1);
    o->m_image1.Set("menu", 41, 0, 57, 16, 0);
    o->m_image2.Set("menu", 57, 0, 73, 16, 0);
    return o;
}

}  // namespace

void AddWindowLooks(CSkinFile& skin)
{
    AddFramePicture(skin);
    AddCaptionButtonPicture(skin);
    AddMenuBarPicture(skin);
    AddMenuPicture(skin);

    skin.AddObject(MakeWindowFrame("Dialog", false));
    auto frame = MakeWindowFrame("FrameWnd", true);
    // The MDI client's workspace: the plain body colour under the menu bar's background, tiled.
    frame->m_mdiClientBackground.Set("menubar", 0, kMenuBarH + 2, 8, kMenuBarH + 10, 1);
    skin.AddObject(std::move(frame));
    skin.AddObject(MakePopupMenu());
}

}  // namespace skinbuild
