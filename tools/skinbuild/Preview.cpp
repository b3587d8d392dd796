#include "Preview.h"

#include <png.h>

#include <algorithm>
#include <vector>

#include "Canvas.h"
#include "RasterImage.h"
#include "SkinObjectTypes.h"

namespace skinbuild {

namespace {

// The sheet, addressed top-down (the image class keeps its rows bottom-up).
class CSheet {
public:
    CSheet(int w, int h, COLORREF fill)
    {
        m_image.Create(w, DWORD(h), 24);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                Put(x, y, fill);
    }
    int Width() const { return int(m_image.GetWidth()); }
    int Height() const { return int(m_image.GetHeight()); }
    void Put(int x, int y, COLORREF c)
    {
        if (x >= 0 && y >= 0 && x < Width() && y < Height())
            m_image.SetPixelColor(x, Height() - 1 - y, c);
    }
    const CRasterImage& Image() const { return m_image; }

private:
    CRasterImage m_image;
};

COLORREF PixelTopDown(const CRasterImage& img, int x, int y)
{
    RGBQUAD q = img.GetPixelColor(x, int(img.GetHeight()) - 1 - y, false);
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

// Nearest-neighbour copy of a source rectangle into a destination rectangle; keyed pixels are
// left out, or shown as a checkerboard when showKey is set.
void Blit(CSheet& sheet, const CRasterImage& src, RECT s, RECT d, bool showKey = false)
{
    const int sw = s.right - s.left, sh = s.bottom - s.top, dw = d.right - d.left, dh = d.bottom - d.top;
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0)
        return;
    for (int y = 0; y < dh; ++y)
        for (int x = 0; x < dw; ++x) {
            COLORREF c = PixelTopDown(src, s.left + x * sw / dw, s.top + y * sh / dh);
            if (c == kKeyColor) {
                if (!showKey)
                    continue;
                c = ((x / 6 + y / 6) & 1) ? RGB(200, 204, 210) : RGB(232, 234, 238);
            }
            sheet.Put(d.left + x, d.top + y, c);
        }
}

const CRasterImage* Picture(CSkinFile& skin, const char* name)
{
    CSkinImageObject* o = skin.FindImage(name);
    return o && o->GetImage() && o->GetImage()->IsValid() ? o->GetImage() : nullptr;
}

void DrawPart(CSheet& sheet, CSkinFile& skin, const SkinImagePart& p, RECT d)
{
    const CRasterImage* img = Picture(skin, p.name);
    if (!img || p.IsEmpty())
        return;
    if (p.mode == 0) {  // clip: the source's own size from the top-left corner
        d.right = std::min(d.right, d.left + (p.src.right - p.src.left));
        d.bottom = std::min(d.bottom, d.top + (p.src.bottom - p.src.top));
        Blit(sheet, *img, {p.src.left, p.src.top, p.src.left + (d.right - d.left), p.src.top + (d.bottom - d.top)}, d);
    } else {
        Blit(sheet, *img, p.src, d);
    }
}

void DrawGrid(CSheet& sheet, CSkinFile& skin, const SkinNineGrid& g, RECT d, bool centre = true)
{
    const CRasterImage* img = Picture(skin, g.name);
    if (!img || g.IsEmpty())
        return;
    const LONG sx[4] = {g.src.left, g.src.left + g.marginLeft, g.src.right - g.marginRight, g.src.right};
    const LONG sy[4] = {g.src.top, g.src.top + g.marginTop, g.src.bottom - g.marginBottom, g.src.bottom};
    const LONG dx[4] = {d.left, d.left + g.marginLeft, d.right - g.marginRight, d.right};
    const LONG dy[4] = {d.top, d.top + g.marginTop, d.bottom - g.marginBottom, d.bottom};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            if (centre || r != 1 || c != 1)
                Blit(sheet, *img, {sx[c], sy[r], sx[c + 1], sy[r + 1]}, {dx[c], dy[r], dx[c + 1], dy[r + 1]});
}

// The nine frame parts laid out for a window of w x h at (x, y), as the frame skin does.
void DrawWindow(CSheet& sheet, CSkinFile& skin, const CSkinWindowObject& w, int x, int y, int width, int height,
                bool active)
{
    RECT r[9];
    const RECT* f = w.m_frameRects;
    const LONG W = width, H = height;
    const LONG rw = f[2].right - f[2].left, bh = f[6].bottom - f[6].top, rbw = f[8].right - f[8].left;
    r[0] = f[0];
    r[2] = {W - rw, f[2].top, W, f[2].bottom};
    r[1] = {f[1].left, f[1].top, r[2].left, f[1].bottom};
    r[5] = {W - (f[5].right - f[5].left), f[5].top, W, H - bh};
    r[3] = {f[3].left, f[3].top, f[3].right, H - bh};
    r[4] = {f[4].left, f[4].top, r[5].left, H - bh};
    r[6] = {f[6].left, H - bh, f[6].right, H};
    r[8] = {W - rbw, H - bh, W, H};
    r[7] = {f[7].left, H - bh, r[8].left, H};
    for (int i = 0; i < 9; ++i) {
        const SkinImagePart& p = active || w.m_parts[9 + i].IsEmpty() ? w.m_parts[i] : w.m_parts[9 + i];
        DrawPart(sheet, skin, p, {x + r[i].left, y + r[i].top, x + r[i].right, y + r[i].bottom});
    }
    const RECT& b = f[8];
    for (const auto& child : w.GetChildren()) {
        auto* btn = dynamic_cast<CSkinCaptionButtonObject*>(child.second.get());
        if (!btn || btn->m_image.IsEmpty())
            continue;
        RECT d = btn->m_rc;
        const LONG shift = W - b.right;  // right-anchored
        DrawPart(sheet, skin, btn->m_image, {x + d.left + shift, y + d.top, x + d.right + shift, y + d.bottom});
    }
}

bool SavePng(const CSheet& sheet, const char* path, std::string* error)
{
    const int w = sheet.Width(), h = sheet.Height();
    std::vector<png_byte> rgb(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF c = PixelTopDown(sheet.Image(), x, y);
            png_byte* p = &rgb[(size_t(y) * w + x) * 3];
            p[0] = GetRValue(c), p[1] = GetGValue(c), p[2] = GetBValue(c);
        }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(w);
    image.height = png_uint_32(h);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path, 0, rgb.data(), 0, nullptr)) {
        if (error)
            *error = image.message;
        return false;
    }
    return true;
}

template <typename T>
T* Find(CSkinFile& skin, const char* name)
{
    return dynamic_cast<T*>(skin.FindObject(name));
}

}  // namespace

bool WritePreview(CSkinFile& skin, const char* path, std::string* error)
{
    CSheet sheet(900, 1000, RGB(92, 100, 112));

    // Two mock dialogs, active and inactive.
    auto* dialog = Find<CSkinWindowObject>(skin, "Dialog");
    auto* frame = Find<CSkinWindowObject>(skin, "FrameWnd");
    if (dialog)
        DrawWindow(sheet, skin, *dialog, 16, 16, 440, 300, true);
    if (frame)
        DrawWindow(sheet, skin, *frame, 472, 16, 400, 150, false);

    const int ox = 16 + 12, oy = 16 + 40;
    if (auto* group = Find<CSkinGroupBoxObject>(skin, "GroupBox"))
        DrawGrid(sheet, skin, group->m_background, {ox, oy + 6, ox + 200, oy + 120}, false);
    if (auto* button = Find<CSkinButtonObject>(skin, "Button"))
        for (int s = 0; s < 6; ++s) {
            const int bx = ox + 216 + (s % 2) * 96, by = oy + (s / 2) * 30;
            DrawGrid(sheet, skin, button->m_states[s].grid, {bx, by, bx + 88, by + 24});
        }
    if (auto* check = Find<CSkinCheckBoxObject>(skin, "CheckBox"))
        for (int s = 0; s < 7; ++s)
            DrawPart(sheet, skin, check->m_states[s].box, {ox + 12 + s * 20, oy + 24, ox + 12 + s * 20 + 13, oy + 37});
    if (auto* radio = Find<CSkinCheckBoxObject>(skin, "Radio"))
        for (int s = 0; s < 7; ++s)
            DrawPart(sheet, skin, radio->m_states[s].box, {ox + 12 + s * 20, oy + 46, ox + 12 + s * 20 + 13, oy + 59});
    if (auto* combo = Find<CSkinComboBoxObject>(skin, "ComboBox")) {
        RECT r = {ox + 12, oy + 70, ox + 188, oy + 92};
        DrawGrid(sheet, skin, combo->m_background, r);
        DrawGrid(sheet, skin, combo->m_buttons[0], {r.right - 18, r.top + 2, r.right - 2, r.bottom - 2});
    }
    if (auto* edit = Find<CSkinFontObject>(skin, "Edit"))
        DrawGrid(sheet, skin, edit->m_background, {ox + 12, oy + 98, ox + 188, oy + 118});
    if (auto* progress = Find<CSkinProgressBarObject>(skin, "ProgressBar")) {
        RECT r = {ox, oy + 132, ox + 200, oy + 150};
        DrawGrid(sheet, skin, progress->m_background, r);
        DrawGrid(sheet, skin, progress->m_bar, {r.left + 2, r.top + 2, r.left + 120, r.bottom - 2});
    }
    if (auto* slider = Find<CSkinSliderObject>(skin, "Slider")) {
        DrawGrid(sheet, skin, slider->m_channel, {ox + 216, oy + 108, ox + 400, oy + 114});
        DrawGrid(sheet, skin, slider->m_thumb, {ox + 300, oy + 101, ox + 311, oy + 121});
    }
    if (auto* header = Find<CSkinHeaderObject>(skin, "Header")) {
        DrawGrid(sheet, skin, header->m_background, {ox, oy + 162, ox + 400, oy + 184});
        for (int i = 0; i < 3; ++i)
            DrawGrid(sheet, skin, header->m_item, {ox + i * 110, oy + 162, ox + (i + 1) * 110, oy + 184});
        if (auto* list = Find<CSkinFontObject>(skin, "ListView"))
            DrawGrid(sheet, skin, list->m_background, {ox, oy + 184, ox + 400, oy + 240}, false);
    }
    if (auto* sb = Find<CSkinScrollBarObject>(skin, "ScrollBar")) {
        const int y = oy + 244, x = ox, len = 380;
        const SkinScrollBarState& h = sb->m_horizontal[0];
        DrawGrid(sheet, skin, h.track, {x, y, x + len, y + 16});
        DrawPart(sheet, skin, h.arrow1, {x, y, x + 16, y + 16});
        DrawPart(sheet, skin, h.arrow2, {x + len - 16, y, x + len, y + 16});
        DrawGrid(sheet, skin, h.thumb, {x + 60, y + h.track.marginTop, x + 160, y + 16 - h.track.marginBottom});
        const SkinScrollBarState& hot = sb->m_horizontal[2];
        DrawGrid(sheet, skin, hot.thumb, {x + 200, y + hot.track.marginTop, x + 260, y + 16 - hot.track.marginBottom});
        const SkinScrollBarState& v = sb->m_vertical[0];
        const int vx = ox + 400, vy = oy + 162;
        DrawGrid(sheet, skin, v.track, {vx, vy, vx + 16, vy + 78});
        DrawPart(sheet, skin, v.arrow1, {vx, vy, vx + 16, vy + 16});
        DrawPart(sheet, skin, v.arrow2, {vx, vy + 62, vx + 16, vy + 78});
        DrawGrid(sheet, skin, v.thumb, {vx + v.track.marginLeft, vy + 24, vx + 16 - v.track.marginRight, vy + 60});
    }
    if (auto* tip = Find<CSkinWindowObject>(skin, "Tooltip"))
        DrawWindow(sheet, skin, *tip, 472, 190, 160, 40, true);
    if (auto* menu = Find<CSkinPopupMenuObject>(skin, "PopupMenu")) {
        DrawWindow(sheet, skin, *menu, 650, 190, 160, 110, true);
        DrawGrid(sheet, skin, menu->m_grids[0], {653, 215, 807, 237});
        DrawGrid(sheet, skin, menu->m_grids[1], {653, 250, 807, 253});
        DrawPart(sheet, skin, menu->m_image1, {656, 196, 672, 212});
        DrawPart(sheet, skin, menu->m_image2, {786, 218, 802, 234});
    }

    // Every picture, twice its size, key colour as a checkerboard.
    int x = 16, y = 340, rowHeight = 0;
    for (const auto& entry : skin.GetImages()) {
        const CRasterImage* img = entry.second->GetImage();
        if (!img || !img->IsValid())
            continue;
        const int w = int(img->GetWidth()) * 2, h = int(img->GetHeight()) * 2;
        if (x + w > sheet.Width() - 16) {
            x = 16;
            y += rowHeight + 12;
            rowHeight = 0;
        }
        Blit(sheet, *img, {0, 0, LONG(img->GetWidth()), LONG(img->GetHeight())}, {x, y, x + w, y + h}, true);
        x += w + 12;
        rowHeight = std::max(rowHeight, h);
    }
    return SavePng(sheet, path, error);
}

}  // namespace skinbuild
