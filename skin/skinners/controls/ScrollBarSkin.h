// Skinned scroll bars for any window: the window's own non-client scroll bars are taken over
// (the window's procedure never sees WS_HSCROLL/WS_VSCROLL while it lays out or paints its
// frame), their space is reserved here, they are painted from the skin's ScrollBar object (the
// classic look without one) and mouse input on them becomes WM_HSCROLL/WM_VSCROLL with
// auto-repeat and thumb tracking. The scroll-bar functions of such a window answer from here.
//
// A skinner that gives its control skinned scroll bars calls InitializeSkinSB(hwnd) once it has
// subclassed the control (the bars' procedure then sits above its own) and UninitializeSkinSB
// before it lets go; the bars also go by themselves at WM_NCDESTROY. The control keeps calling
// the public scroll-bar functions (SetScrollInfo, GetScrollInfo...), which the engine answers
// from here for such a window; the skinner itself may call the SkinSB_ functions directly.
// InstallSkinScrollBars() (done by InstallControlSkinners) hands them to the engine.
#pragma once

#include <windows.h>

// The bar of a window: position, range and page as the functions see them, plus what the
// painting needs. Sizes: a value >= 0 is pixels, a negative n is -n times the system metric.
struct SkinSBBar {
    DWORD flags = 0;   // ESB_DISABLE_LTUP 1, ESB_DISABLE_RTDN 2, kSBKeepEnabled, kSBShown
    BOOL visible = FALSE;  // takes space since the last WM_NCCALCSIZE
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    int arrowLength = -1;
    int thickness = -1;
    int type = 0;   // 0 horizontal, 1 vertical
    int style = 0;  // 0 classic 3-D, 1 flat, 2 flat with hot tracking
    int minThumb = 6;
    int zeroPageThumb = -1;  // thumb length without a page; -1: the arrow length
};

enum : DWORD { kSBKeepEnabled = 4, kSBShown = 8 };

// Parts of a bar, which are also the SB_ codes they send.
enum SkinSBPart { kSBNone = -1, kSBFirstArrow = 0, kSBLastArrow = 1, kSBPageBefore = 2, kSBPageAfter = 3, kSBThumb = 5 };

// Where the parts of a bar lie along it (window coordinates of the bar's axis).
struct SkinSBLayout {
    int start = 0, end = 0;  // the bar
    int arrow = 0;           // arrow length (the two arrows share a bar shorter than two)
    int thumbStart = 0, thumbLength = 0;
    bool hasThumb = false;
};

// What the part painter is told about one part (or one bar).
struct SkinSBDrawInfo {
    HWND hwnd = nullptr;
    int controlId = 0;
    int stage = 0;  // kSBStagePre, kSBStagePost, kSBStagePart
    HDC dc = nullptr;
    RECT rc{};
    int part = kSBNone;
    UINT state = 0;  // kSBStatePressed, kSBStateHot, kSBStateDisabled, kSBStateNormal
    int bar = 0;     // SB_HORZ, SB_VERT, or kSBCorner
    bool rightToLeft = false;
};

enum : int { kSBStagePre = 1, kSBStagePost = 2, kSBStagePart = 0x10001, kSBCorner = 3 };
enum : UINT { kSBStatePressed = 1, kSBStateDisabled = 4, kSBStateNormal = 0x20, kSBStateHot = 0x40 };

BOOL InitializeSkinSB(HWND hwnd);
HRESULT UninitializeSkinSB(HWND hwnd);
BOOL IsSkinSBWindow(HWND hwnd);
BOOL SkinSB_SetSize(HWND hwnd, int bar, int arrowLength, int thickness);
BOOL SkinSB_SetStyle(HWND hwnd, int bar, int style);
BOOL SkinSB_SetMinThumbSize(HWND hwnd, int bar, int size);

BOOL SkinSB_GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info);
int SkinSB_GetScrollPos(HWND hwnd, int bar);
BOOL SkinSB_GetScrollRange(HWND hwnd, int bar, LPINT minPos, LPINT maxPos);
int SkinSB_SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw);
// The same rules for the members, without showing or hiding the bar; paints it at once.
int SkinSB_SetScrollInfoAndPaint(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw);
int SkinSB_SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
BOOL SkinSB_SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw);
BOOL SkinSB_ShowScrollBar(HWND hwnd, int bar, BOOL show);
BOOL SkinSB_EnableScrollBar(HWND hwnd, UINT bar, UINT arrows);

// The skin's painter of one part: 4 when it drew (or, at the first stage, will draw every
// part), 0 for the classic look.
LRESULT DrawSkinScrollBarPart(int controlId, SkinSBDrawInfo* info);

class CSkinScrollBarObject;
namespace skinsb {
// Paints one part (or the corner) from a ScrollBar object: the state's record, or the normal
// state's where the state has none.
void DrawPart(const CSkinScrollBarObject& o, const SkinSBDrawInfo& info);
}  // namespace skinsb

// Registers the skinned scroll bars with the engine.
void InstallSkinScrollBars();

namespace skinsb {

// Geometry shared by the window bars and the scroll-bar control: the thumb of a bar from start
// to end with arrows of `arrow` pixels. Without a page the thumb is `zeroPageThumb` long (-1: as
// long as an arrow).
SkinSBLayout CalcThumb(const SCROLLINFO& si, int start, int end, int arrow, int minThumb, int zeroPageThumb = -1);
// The highest position the bar can take: nMax less the page plus one.
int MaxScrollPos(const SCROLLINFO& si);
// The position for a thumb starting at `thumbStart` (from nMin to MaxScrollPos).
int PositionForThumb(const SCROLLINFO& si, const SkinSBLayout& l, int thumbStart);
// A bar has something to scroll.
bool IsScrollable(const SCROLLINFO& si);
// The member rules of SetScrollInfo: range, then page cut to the range, then the position
// kept within nMin .. MaxScrollPos.
void ApplyScrollInfo(SCROLLINFO& si, const SCROLLINFO& in);

}  // namespace skinsb
