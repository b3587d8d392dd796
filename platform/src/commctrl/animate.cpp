// The animation control: an AVI clip from a file or an "AVI" resource, shown frame by frame on
// a timer of the control's own (so it plays on the thread that owns it, on the layer's clock),
// over its background or letting the background show where a frame has its corner colour.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "commctrl/common.h"
#include "vfw/clip.h"

namespace plat::commctrl {
namespace {

constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT kDefaultDelay = 100, kMinDelay = 10, kMaxDelay = 10000;

struct Animate {
    HWND hwnd = nullptr;
    std::unique_ptr<vfw::Clip> clip;
    std::unique_ptr<vfw::FrameDecoder> decoder;
    bool playing = false;
    int first = 0, last = 0, current = 0;
    int repeat = -1;  // passes to play; -1 for ever
    int passes = 0;
};

DWORD Style(HWND h) { return DWORD(GetWindowLongA(h, GWL_STYLE)); }

void Notify(HWND h, WORD code) {
    HWND parent = GetParent(h);
    if (parent) SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), code), reinterpret_cast<LPARAM>(h));
}

// The frame time from the clip's rate, else its main header; a clip that gives neither, or
// an absurd one, is held to sane bounds instead of dividing by nothing.
UINT FrameDelay(const vfw::Clip& c) {
    unsigned long long ms = 0;
    if (c.rate && c.scale) ms = (1000ull * c.scale + c.rate / 2) / c.rate;
    else if (c.usec_per_frame) ms = (c.usec_per_frame + 500) / 1000;
    if (ms == 0) return c.rate || c.usec_per_frame ? kMinDelay : kDefaultDelay;
    return UINT(std::clamp<unsigned long long>(ms, kMinDelay, kMaxDelay));
}

bool ReadFile(const char* path, std::vector<uint8_t>* out) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out->insert(out->end(), buf, buf + n);
    std::fclose(f);
    return !out->empty();
}

bool ReadResource(HINSTANCE inst, LPCSTR name, std::vector<uint8_t>* out) {
    HRSRC r = FindResourceA(inst, name, "AVI");
    if (!r) return false;
    const BYTE* p = static_cast<const BYTE*>(LockResource(LoadResource(inst, r)));
    DWORD size = SizeofResource(inst, r);
    if (!p || !size) return false;
    out->assign(p, p + size);
    return true;
}

// ---- playing ----

void Stop(HWND h, Animate& s, bool tell) {
    if (!s.playing) return;
    s.playing = false;
    KillTimer(h, kFrameTimer);
    if (tell) Notify(h, ACN_STOP);
}

void Close(HWND h, Animate& s) {
    Stop(h, s, false);
    s.decoder.reset();
    s.clip.reset();
    s.current = 0;
    InvalidateRect(h, nullptr, TRUE);
}

void Advance(HWND h, Animate& s) {
    if (s.current < s.last) {
        ++s.current;
    } else if (s.repeat != -1 && ++s.passes >= s.repeat) {
        Stop(h, s, true);  // rests on the range's last frame
        return;
    } else {
        s.current = s.first;
    }
    InvalidateRect(h, nullptr, FALSE);
}

// ---- painting ----

COLORREF Background(HWND h, HDC dc, HBRUSH* brush) {
    *brush = reinterpret_cast<HBRUSH>(
        SendMessageA(GetParent(h), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h)));
    LOGBRUSH lb{};
    if (*brush && GetObjectA(*brush, sizeof lb, &lb) == sizeof lb && lb.lbStyle == BS_SOLID) return lb.lbColor;
    return Sys(COLOR_BTNFACE);
}

// Where the frame goes: centred with ACS_CENTER, else at the top-left corner.
POINT Placement(HWND h, const vfw::Clip& c) {
    if (!(Style(h) & ACS_CENTER)) return POINT{0, 0};
    RECT cr;
    GetClientRect(h, &cr);
    return POINT{(cr.right - c.width) / 2, (cr.bottom - c.height) / 2};
}

// The frame as top-down 32-bit pixels; with ACS_TRANSPARENT its corner colour is the
// background's.
std::vector<uint32_t> FramePixels(HWND h, Animate& s, COLORREF bg) {
    const vfw::Clip& c = *s.clip;
    const uint8_t* bits = s.decoder->Frame(uint32_t(s.current));
    std::vector<uint32_t> px(size_t(c.width) * size_t(c.height), 0);
    if (!bits) return px;
    size_t stride = vfw::RowStride(c);
    for (int y = 0; y < c.height; ++y) {
        const uint8_t* row = bits + size_t(c.height - 1 - y) * stride;
        for (int x = 0; x < c.width; ++x) {
            uint8_t bgr[3];
            vfw::PixelAt(c, row, x, bgr);
            px[size_t(y) * size_t(c.width) + size_t(x)] = uint32_t(bgr[0]) | uint32_t(bgr[1]) << 8 | uint32_t(bgr[2]) << 16;
        }
    }
    if (Style(h) & ACS_TRANSPARENT) {
        uint32_t key = px[0];
        uint32_t back = uint32_t(GetBValue(bg)) | uint32_t(GetGValue(bg)) << 8 | uint32_t(GetRValue(bg)) << 16;
        for (uint32_t& p : px)
            if (p == key) p = back;
    }
    return px;
}

void Paint(HWND h, Animate& s, HDC dc) {
    RECT cr;
    GetClientRect(h, &cr);
    HBRUSH brush = nullptr;
    COLORREF bg = Background(h, dc, &brush);
    if (!State<Animate>(h)) return;  // the parent's answer may have destroyed us
    if (brush) FillRect(dc, &cr, brush);
    else FillSolid(dc, cr, bg);
    if (!s.clip) return;
    std::vector<uint32_t> px = FramePixels(h, s, bg);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = s.clip->width;
    bi.bmiHeader.biHeight = -s.clip->height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    POINT at = Placement(h, *s.clip);
    SetDIBitsToDevice(dc, at.x, at.y, DWORD(s.clip->width), DWORD(s.clip->height), 0, 0, 0, UINT(s.clip->height),
                      px.data(), &bi, DIB_RGB_COLORS);
}

// ---- message handlers ----

LRESULT OnPlay(HWND h, Animate& s, int repeat, int from, int to) {
    if (!s.clip) return FALSE;
    int length = int(s.clip->frames.size());
    if (from < 0) from = 0;
    if (to < 0 || to >= length) to = length - 1;
    if (from > to) return FALSE;
    Stop(h, s, false);
    s.first = from;
    s.last = to;
    s.current = from;
    s.repeat = repeat;
    s.passes = 0;
    InvalidateRect(h, nullptr, FALSE);
    // A single frame is only shown.
    if (from == to) return TRUE;
    s.playing = SetTimer(h, kFrameTimer, FrameDelay(*s.clip), nullptr) != 0;
    if (s.playing) Notify(h, ACN_START);
    return s.playing;
}

LRESULT OnOpen(HWND h, Animate& s, HINSTANCE inst, LPCSTR name) {
    Close(h, s);
    if (!name) return TRUE;
    std::vector<uint8_t> bytes;
    bool read = !IS_INTRESOURCE(name) && ReadFile(name, &bytes);
    if (!read && !ReadResource(inst ? inst : reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(h, GWLP_HINSTANCE)), name, &bytes))
        return FALSE;
    auto clip = std::make_unique<vfw::Clip>();
    if (!vfw::ParseClip(std::move(bytes), clip.get(), nullptr)) return FALSE;
    s.clip = std::move(clip);
    s.decoder = std::make_unique<vfw::FrameDecoder>(*s.clip);
    s.first = s.current = 0;
    s.last = int(s.clip->frames.size()) - 1;
    if (!(Style(h) & ACS_CENTER))
        SetWindowPos(h, nullptr, 0, 0, s.clip->width, s.clip->height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(h, nullptr, TRUE);
    if (Style(h) & ACS_AUTOPLAY) OnPlay(h, s, -1, 0, -1);
    return TRUE;
}

LRESULT OnStop(HWND h, Animate& s) {
    Stop(h, s, true);
    return TRUE;
}

LRESULT OnTimer(HWND h, Animate& s, WPARAM id) {
    if (id == kFrameTimer && s.playing) Advance(h, s);
    return 0;
}

LRESULT OnDestroy(HWND h, UINT m, WPARAM w, LPARAM l, Animate* s) {
    Stop(h, *s, false);
    return FreeState(h, m, w, l, s);
}

}  // namespace

LRESULT CALLBACK AnimateProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    Animate* s = AttachState<Animate>(h, m);
    if (!s) return DefWindowProcA(h, m, w, l);
    switch (m) {
        case WM_NCDESTROY: return OnDestroy(h, m, w, l, s);
        case WM_ERASEBKGND: return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: return PaintOrPrint(h, m, w, [&](HDC dc) { Paint(h, *s, dc); });
        case WM_NCHITTEST: return HTTRANSPARENT;
        case WM_TIMER: return OnTimer(h, *s, w);
        case ACM_OPENA: return OnOpen(h, *s, reinterpret_cast<HINSTANCE>(w), reinterpret_cast<LPCSTR>(l));
        case ACM_PLAY: return OnPlay(h, *s, int(w), short(LOWORD(l)), short(HIWORD(l)));
        case ACM_STOP: return OnStop(h, *s);
        case ACM_ISPLAYING: return s->playing;
    }
    return DefWindowProcA(h, m, w, l);
}

}  // namespace plat::commctrl
