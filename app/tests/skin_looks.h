// What the tests that check the program's looks at pixels share: a skin file read on its own
// (not through the engine, so that a run without the skin still knows what the skin would have
// painted), the colours its pictures put at a window's frame and controls, and the places of
// a window's pixels that are not those colours.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ButtonSkins.h"
#include "CheckButtonBase.h"
#include "Peloran.h"
#include "RasterImage.h"
#include "SkinEngine.h"
#include "SkinFile.h"
#include "SkinObjectTypes.h"
#include "Skinners.h"
#include "windows.h"

namespace skinlooks {

// The default skin, beside the test program as beside the program.
inline std::string DefaultSkinPath() { return PeloranFileBesideProgram("z-arud.qvk"); }

// The engine started on this thread with the default skin and every new dialog given the
// skin's "Dialog" look, as the program starts it; false when the skin did not load.
inline bool StartProgramSkin() {
    InstallSkinners();
    if (!InitSkinLibrary(GetModuleHandleA(nullptr))) return false;
    if (!LoadSkinFile(DefaultSkinPath().c_str())) return false;
    SetDialogSkin("Dialog");
    return true;
}

inline void StopProgramSkin() {
    SetDialogSkin(nullptr);
    ExitSkinLibrary();
}

// A place on the screen and the colours the skin may put there (one per state it may be in).
struct Probe {
    std::string what;
    LONG x, y;
    std::vector<COLORREF> expected;
};
using Probes = std::vector<Probe>;

inline LONG Width(const RECT& r) { return r.right - r.left; }
inline LONG Height(const RECT& r) { return r.bottom - r.top; }

class SkinLooks {
public:
    bool Load(const std::string& path) { return m_file.LoadFromFile(path.c_str()) && !m_file.GetObjects().empty(); }
    CSkinFile& File() { return m_file; }
    template <class T> const T* Object(const char* name) { return dynamic_cast<const T*>(m_file.FindObject(name)); }
    template <class T> const T* OfType(int type) { return dynamic_cast<const T*>(m_file.FindObjectByType(type)); }
    // The colour the skin's pictures leave transparent.
    COLORREF Key() {
        CSkinObject* app = m_file.FindObjectByType(SKIN_APPLICATION);
        return app ? app->GetKeyColor() : CLR_INVALID;
    }
    // A pixel of a skin picture, counted from its top row.
    COLORREF Pixel(const char* image, LONG x, LONG y) {
        CSkinImageObject* o = m_file.FindImage(image);
        CRasterImage* picture = o ? o->GetImage() : nullptr;
        if (!picture) return CLR_INVALID;
        const RGBQUAD q = picture->GetPixelColor(x, LONG(picture->GetHeight()) - 1 - y, false);
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    COLORREF Middle(const SkinImagePart& p) {
        return Pixel(p.name, (p.src.left + p.src.right) / 2, (p.src.top + p.src.bottom) / 2);
    }
    // The first pixel of a nine-grid's middle cell, and of its left edge's first row: the
    // ones a stretched grid puts at its margins whatever the size.
    COLORREF GridInside(const SkinNineGrid& g) {
        return Pixel(g.name, g.src.left + g.marginLeft, g.src.top + g.marginTop);
    }
    COLORREF GridLeftEdge(const SkinNineGrid& g) { return Pixel(g.name, g.src.left, g.src.top + g.marginTop); }

private:
    CSkinFile m_file;
};

// The frame a dialog skin draws around the window at `w` (screen): its caption band, left and
// bottom edges, the client background at `client` (a screen point nothing covers) and the
// caption buttons the window's style asks for. `eitherState`: the window may be active or not.
inline void FrameProbes(SkinLooks& skin, const RECT& w, POINT client, DWORD style, bool eitherState, Probes* out) {
    const auto* dialog = skin.Object<CSkinWindowObject>("Dialog");
    if (!dialog) return;
    auto parts = [&](int index) {
        std::vector<const SkinImagePart*> p{&dialog->m_parts[index]};
        if (eitherState) p.push_back(&dialog->m_parts[index + 9]);
        return p;
    };
    auto add = [&](const std::string& what, LONG x, LONG y, int index, LONG dx, LONG dy) {
        Probe p{what, x, y, {}};
        for (const SkinImagePart* part : parts(index))
            p.expected.push_back(dx < 0 ? skin.Middle(*part)
                                        : skin.Pixel(part->name, (part->src.left + part->src.right) / 2, part->src.top + dy));
        out->push_back(p);
    };
    for (LONG y : {LONG(8), LONG(20)}) add("caption row " + std::to_string(y), w.left + Width(w) * 3 / 5, w.top + y, 1, 0, y);
    add("left edge", w.left + Width(dialog->m_parts[3].src) / 2, w.top + Height(w) / 2, 3, -1, -1);
    add("bottom edge", w.left + Width(w) / 2, w.bottom - 1 - Height(dialog->m_parts[7].src) / 2, 7, -1, -1);
    add("client background", client.x, client.y, 4, -1, -1);
    // The caption buttons, anchored to the right edge as the frame's design places them: the
    // first and the last point of the face that the picture does not leave to the caption.
    const LONG designRight = dialog->GetFrameBounds().right;
    std::vector<const char*> buttons;
    if (style & WS_SYSMENU) buttons.push_back("Close");
    if (style & WS_MINIMIZEBOX) buttons.push_back("Minimize");
    for (const char* name : buttons) {
        const auto* button = dynamic_cast<const CSkinCaptionButtonObject*>(dialog->FindChild(name));
        if (!button) continue;
        const LONG left = w.right - (designRight - button->m_rc.left), top = w.top + button->m_rc.top;
        const SkinImagePart& face = button->m_image;
        Probes opaque;
        for (LONG y = 0; y < Height(face.src); ++y)
            for (LONG x = 0; x < Width(face.src); ++x) {
                const COLORREF c = skin.Pixel(face.name, face.src.left + x, face.src.top + y);
                if (c != skin.Key())
                    opaque.push_back({std::string(name) + " button " + std::to_string(x) + "," + std::to_string(y),
                                      left + x, top + y, {c}});
            }
        if (opaque.size() < 2) continue;
        out->push_back(opaque.front());
        out->push_back(opaque.back());
    }
}

// A push button's face: its left edge and the start of its middle, in any of its states.
inline void PushButtonProbes(SkinLooks& skin, const std::string& what, const RECT& r, Probes* out) {
    const auto* button = skin.OfType<CSkinButtonObject>(SKIN_BUTTON);
    if (!button) return;
    Probe edge{what + " left edge", r.left, 0, {}}, inside{what + " face", 0, 0, {}};
    for (const SkinGridState& s : button->m_states) {
        if (s.grid.IsEmpty()) continue;
        edge.y = r.top + s.grid.marginTop;
        inside.x = r.left + s.grid.marginLeft;
        inside.y = r.top + s.grid.marginTop;
        edge.expected.push_back(skin.GridLeftEdge(s.grid));
        inside.expected.push_back(skin.GridInside(s.grid));
    }
    out->push_back(edge);
    out->push_back(inside);
}

// The border of a field (an edit, a list box, a list view or a combo box), by the skin's
// object for its type.
inline void FieldProbes(SkinLooks& skin, const std::string& what, int type, const RECT& r, Probes* out) {
    const auto* field = skin.OfType<CSkinFontObject>(type);
    if (!field) return;
    const SkinNineGrid* border = &field->m_background;
    out->push_back({what + " left edge", r.left, r.top + border->marginTop, {skin.GridLeftEdge(*border)}});
}

// A check box's mark, by its window's place and style, checked or not, enabled or not.
inline void CheckBoxProbes(SkinLooks& skin, const std::string& what, const RECT& r, DWORD style, Probes* out) {
    const auto* check = skin.OfType<CSkinCheckBoxObject>(SKIN_CHECKBOX);
    if (!check) return;
    const SkinImagePart& mark = check->m_states[SKINMARK_UNCHECKED].box;
    RECT markRect, textRect;
    LayoutCheckMark(RECT{0, 0, Width(r), Height(r)}, SIZE{Width(mark.src), Height(mark.src)}, style, &markRect, &textRect);
    Probe p{what + " mark", r.left + markRect.left + 1, r.top + markRect.top + 1, {}};
    for (const SkinCheckState& s : check->m_states)
        if (!s.box.IsEmpty()) p.expected.push_back(skin.Pixel(s.box.name, s.box.src.left + 1, s.box.src.top + 1));
    out->push_back(p);
}

using PixelAt = std::function<COLORREF(LONG x, LONG y)>;

// What of the pixels is not the skin's: one line per probe, empty when every probe found it.
inline std::vector<std::string> NotTheSkins(const Probes& probes, const PixelAt& at) {
    std::vector<std::string> wrong;
    char line[200];
    for (const Probe& p : probes) {
        const COLORREF got = at(p.x, p.y);
        bool found = false;
        for (COLORREF c : p.expected) found = found || c == got;
        if (found) continue;
        std::snprintf(line, sizeof line, "%s at (%ld,%ld): %06X, the skin's %06X%s", p.what.c_str(), long(p.x), long(p.y),
                      unsigned(got), p.expected.empty() ? 0u : unsigned(p.expected[0]),
                      p.expected.size() > 1 ? " or another state's" : "");
        wrong.push_back(line);
    }
    return wrong;
}

inline std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& l : lines) all += l + "\n";
    return all;
}

}  // namespace skinlooks
