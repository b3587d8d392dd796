// Helpers of the preview tests: the generated clip's expected picture, a search for the clip
// frame a window shows, and waiting for the playback thread while the test drives the clock.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>

#include "testmedia.h"
#include "windows.h"
#include "winplat_test.h"

namespace previewtest {

// The generated picture of frame `index` at (x, y), as 8-bit studio-range YUV turned into RGB
// the way the player's scaler does (BT.601).
inline COLORREF ClipColour(int64_t index, int x, int y) {
    int Y = 32 + int((x + y + 4 * index) % 192);
    int cx = x / 2, cy = y / 2;
    int U = uint8_t(128 + ((cx - index) % 64) - 32);
    int V = uint8_t(128 + ((cy + index) % 64) - 32);
    double c = 1.164 * (Y - 16), d = U - 128, e = V - 128;
    auto clamp = [](double v) { return int(std::clamp(v + 0.5, 0.0, 255.0)); };
    return RGB(clamp(c + 1.596 * e), clamp(c - 0.392 * d - 0.813 * e), clamp(c + 2.017 * d));
}

struct FrameMatch {
    int frame = -1;
    double error = 1e9;  // mean absolute difference per channel at the best frame
};

// Which of frames [0, frames) a clip of vw x vh shows, drawn scaled into `dest` of a picture
// whose pixels `at(x, y)` gives (aspect kept). Sampled on a grid away from the edges, where
// compression smears least.
template <class PixelAt>
FrameMatch MatchScaledPixels(PixelAt at, RECT dest, int vw, int vh, int frames) {
    FrameMatch best;
    int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
    if (dw <= 16 || dh <= 16 || vw <= 0 || vh <= 0) return best;
    for (int f = 0; f < frames; ++f) {
        double sum = 0;
        int n = 0;
        for (int y = 4; y < dh - 4; y += 7) {
            for (int x = 4; x < dw - 4; x += 9) {
                int sx = int((x + 0.5) * vw / dw), sy = int((y + 0.5) * vh / dh);
                COLORREF got = at(dest.left + x, dest.top + y), want = ClipColour(f, sx, sy);
                if (got == CLR_INVALID) return FrameMatch{};
                sum += std::abs(int(GetRValue(got)) - int(GetRValue(want))) +
                       std::abs(int(GetGValue(got)) - int(GetGValue(want))) +
                       std::abs(int(GetBValue(got)) - int(GetBValue(want)));
                n += 3;
            }
        }
        double err = n ? sum / n : 1e9;
        if (err < best.error) best = FrameMatch{f, err};
    }
    return best;
}

inline FrameMatch MatchScaledFrame(const WinTestWindowPicture& pic, RECT dest, int vw, int vh, int frames) {
    return MatchScaledPixels([&](int x, int y) { return pic.At(x, y); }, dest, vw, vh, frames);
}

// The same, for the clip drawn 1:1 at `ox`, `oy`.
inline FrameMatch MatchFrame(const WinTestWindowPicture& pic, int ox, int oy, int w, int h, int frames) {
    return MatchScaledFrame(pic, RECT{ox, oy, ox + w, oy + h}, w, h, frames);
}

// Where a vw x vh picture goes inside a cw x ch area: as large as fits, centred.
inline RECT FitPicture(int cw, int ch, int vw, int vh) {
    RECT r{0, 0, cw, ch};
    double aspect = double(vw) / vh;
    if (cw >= ch * aspect) {
        int w = int(ch * aspect + 0.5);
        r.left = (cw - w) / 2;
        r.right = r.left + w;
    } else {
        int h = int(cw / aspect + 0.5);
        r.top = (ch - h) / 2;
        r.bottom = r.top + h;
    }
    return r;
}

// The playback thread runs in real time while the test's clock is virtual: pump and look
// again until the condition holds or a generous real-time bound passes.
template <class Pred>
bool Eventually(Pred pred, int seconds = 10) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        WinTestPumpUntilIdle();
        if (pred()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

// Lets the playback thread catch up with a clock that moved, with nothing expected to show.
inline void Settle() {
    for (int i = 0; i < 6; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        WinTestPumpUntilIdle();
    }
}

// A solid bitmap standing in for the dialog's placeholder picture.
inline HBITMAP SolidBitmap(int w, int h, COLORREF colour) {
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT r{0, 0, w, h};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bmp;
}

}  // namespace previewtest
