// What the scroll-bar tests share: a flat skin with a ScrollBar object whose tracks and thumbs
// have thin margins (so a part's middle pixel is its nine-grid's centre cell), plain windows
// with platform scroll bars, and the scroll codes a window receives.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "ScrollBarSkin.h"
#include "control_test_support.h"

namespace sbtest {

using namespace ctltest;

inline std::unique_ptr<CSkinScrollBarObject> ScrollBarObject(const char* name = "ScrollBar")
{
    auto o = Named<CSkinScrollBarObject>(name);
    auto setUp = [](SkinScrollBarState& s) {
        s.track.Set("", 0, 0, 30, 30, 3, 3, 3, 3, 2);
        s.thumb.Set("", 0, 0, 30, 30, 3, 3, 3, 3, 2);
    };
    for (auto& s : o->m_horizontal)
        setUp(s);
    for (auto& s : o->m_vertical)
        setUp(s);
    setUp(o->m_verticalLast);
    return o;
}

inline std::vector<std::unique_ptr<CSkinObject>> Objects(bool withScrollBar = true)
{
    std::vector<std::unique_ptr<CSkinObject>> objects;
    objects.push_back(MakeFrameObject());
    if (withScrollBar)
        objects.push_back(ScrollBarObject());
    return objects;
}

constexpr int kBar = 16;  // the platform's scroll-bar thickness and arrow length

// A plain popup window (no border) of 200 x 150 with the bars of `style`, its vertical range
// 0..99 with a page of 10.
inline HWND MakeScrolled(DWORD style = WS_VSCROLL, RECT rect = {60, 60, 260, 210})
{
    skinkit::WindowSpec spec;
    spec.style = WS_POPUP | WS_VISIBLE | style;
    spec.rect = rect;
    HWND hwnd = skinkit::CreateSyntheticWindow(spec);
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 99, 10, 0, 0};
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
    if (style & WS_HSCROLL)
        SetScrollInfo(hwnd, SB_HORZ, &si, TRUE);
    WinTestActivate(hwnd);
    WinTestPumpUntilIdle();
    return hwnd;
}

// A window point as a screen point.
inline POINT Screen(HWND hwnd, POINT p)
{
    RECT w;
    GetWindowRect(hwnd, &w);
    return POINT{w.left + p.x, w.top + p.y};
}

// The middle of the vertical bar's column at a height (window coordinates).
inline POINT OnVBar(HWND hwnd, int y)
{
    RECT w;
    GetWindowRect(hwnd, &w);
    return POINT{w.right - w.left - kBar / 2, y};
}

inline void Press(HWND hwnd, POINT p)
{
    // Far enough from any earlier press not to make a double click.
    WinTestAdvanceClock(1000);
    WinTestPumpUntilIdle();
    const POINT s = Screen(hwnd, p);
    WinTestMouseMove(nullptr, s.x, s.y);
    WinTestPumpUntilIdle();
    WinTestMouseButton(nullptr, WINTEST_LEFT, TRUE, s.x, s.y);
}
inline void MoveTo(HWND hwnd, POINT p)
{
    const POINT s = Screen(hwnd, p);
    WinTestMouseMove(nullptr, s.x, s.y);
}
inline void Release(HWND hwnd, POINT p)
{
    const POINT s = Screen(hwnd, p);
    WinTestMouseButton(nullptr, WINTEST_LEFT, FALSE, s.x, s.y);
}

// The SB_ codes (and positions) of the scroll messages a counter saw.
inline std::vector<int> Codes(const CMessageCounter& c)
{
    std::vector<int> codes;
    for (const auto& call : c.calls)
        codes.push_back(LOWORD(call.first));
    return codes;
}
// The same with runs of one code taken as one (thumb tracking sends one per position).
inline std::vector<int> CodeRuns(const CMessageCounter& c)
{
    std::vector<int> runs;
    for (int code : Codes(c))
        if (runs.empty() || runs.back() != code)
            runs.push_back(code);
    return runs;
}
inline int LastPosOf(const CMessageCounter& c, int code)
{
    int pos = -1;
    for (const auto& call : c.calls)
        if (LOWORD(call.first) == code)
            pos = static_cast<short>(HIWORD(call.first));
    return pos;
}

// The first line or page code (SB_LINEUP .. SB_PAGEDOWN) a counter saw; -1 for none.
inline int FirstLineOrPageCode(const CMessageCounter& c)
{
    for (int code : Codes(c))
        if (code <= SB_PAGEDOWN)
            return code;
    return -1;
}

// The first and last of `count` points of a picture (point i is at(i)) that each record of the
// flat skin painted, by the last name of the record ("arrow1", "track", "thumb", "arrow2").
template <typename At>
std::map<std::string, std::pair<int, int>> PaintedRuns(const CPicture& p, const CFlatSkin& skin, int count, At at)
{
    std::map<std::string, std::pair<int, int>> runs;
    for (int i = 0; i < count; ++i) {
        const skinkit::FlatRecord* r = skin.Find(p.At(at(i)));
        if (!r)
            continue;
        const std::string part = r->path.substr(r->path.rfind('.') + 1);
        auto it = runs.find(part);
        if (it == runs.end())
            runs[part] = {i, i};
        else
            it->second.second = i;
    }
    return runs;
}

// Presses at both ends of each painted part of a bar and just past them, with the line or page
// code each must send (-1 on the thumb), from the runs of "arrow1", "thumb" and "arrow2".
inline std::vector<std::pair<int, int>> EdgePresses(const std::map<std::string, std::pair<int, int>>& parts)
{
    if (!parts.count("arrow1") || !parts.count("thumb") || !parts.count("arrow2"))
        return {};
    const auto arrow1 = parts.at("arrow1"), thumb = parts.at("thumb"), arrow2 = parts.at("arrow2");
    if (arrow1.second + 1 >= thumb.first || thumb.second + 1 >= arrow2.first)
        return {};  // no track on one side of the thumb
    return {{arrow1.first, SB_LINEUP},       {arrow1.second, SB_LINEUP},      {arrow1.second + 1, SB_PAGEUP},
            {thumb.first - 1, SB_PAGEUP},    {thumb.first, -1},               {thumb.second, -1},
            {thumb.second + 1, SB_PAGEDOWN}, {arrow2.first - 1, SB_PAGEDOWN}, {arrow2.first, SB_LINEDOWN},
            {arrow2.second, SB_LINEDOWN}};
}

// Advances the virtual clock in steps, handling what comes due after each.
inline void Advance(DWORD ms, DWORD step = 5)
{
    for (DWORD done = 0; done < ms; done += step) {
        WinTestAdvanceClock(step < ms - done ? step : ms - done);
        WinTestPumpUntilIdle();
    }
}

}  // namespace sbtest
