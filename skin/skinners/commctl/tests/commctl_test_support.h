// What the common-control skinner tests share: a flat-colour skin with one object of every
// type these skinners draw from, a host window that records the notices its controls send, and
// small AVI clips made on the spot.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "../../controls/tests/control_test_support.h"
#include "CommonControlSkinners.h"
#include "avi_test_clips.h"

namespace cctest {

using namespace ctltest;
using skinkit::ClientRectIn;

constexpr COLORREF kTabText = RGB(201, 17, 99);
constexpr COLORREF kFieldText = RGB(12, 160, 70);
constexpr COLORREF kBarText = RGB(170, 30, 200);

// `transparentLink`: link windows show what lies under them instead of their own background.
inline std::vector<std::unique_ptr<CSkinObject>> CommonObjects(bool transparentLink = false)
{
    std::vector<std::unique_ptr<CSkinObject>> o;
    o.push_back(MakeFrameObject());
    auto tab = Named<CSkinTabObject>("Tab");
    for (auto& s : tab->m_states)
        s.style.SetTextColor(kTabText);
    o.push_back(std::move(tab));
    auto header = Named<CSkinHeaderObject>("Header");
    header->m_font.color = kBarText;
    o.push_back(std::move(header));
    o.push_back(Named<CSkinToolBarObject>("ToolBar"));
    auto rebar = Named<CSkinRebarObject>("Rebar");
    rebar->m_font.color = kBarText;
    o.push_back(std::move(rebar));
    auto status = Named<CSkinStatusBarObject>("StatusBar");
    status->m_font.color = kBarText;
    o.push_back(std::move(status));
    auto date = Named<CSkinDateTimeObject>("DateTime");
    SkinTextStyle style = SkinTextStyle::Default();
    style.SetTextColor(kFieldText);
    std::memcpy(date->m_block1, &style, sizeof style);
    o.push_back(std::move(date));
    auto cal = Named<CSkinMonthCalendarObject>("MonthCalendar");
    cal->m_crBack = RGB(250, 240, 10);
    cal->m_values[0] = RGB(11, 22, 33);
    o.push_back(std::move(cal));
    o.push_back(Named<CSkinAnimateObject>("Animate"));
    auto link = Named<CSkinStaticObject>("Static");  // the link window's look
    link->m_nStaticValue = transparentLink ? 1 : 0;
    o.push_back(std::move(link));
    return o;
}

// A point of the calendar's client area that shows the day (of the month on show).
inline bool FindDay(HWND cal, WORD day, POINT* at)
{
    RECT rc;
    GetClientRect(cal, &rc);
    for (int y = 0; y < rc.bottom; y += 3)
        for (int x = 0; x < rc.right; x += 3) {
            MCHITTESTINFO hit{};
            hit.cbSize = sizeof hit;
            hit.pt = POINT{x, y};
            if (UINT(SendMessageA(cal, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))) == MCHT_CALENDARDATE &&
                hit.st.wDay == day) {
                *at = hit.pt;
                return true;
            }
        }
    return false;
}

// The notices a host's controls sent it.
struct Notices {
    std::vector<UINT> notify;      // WM_NOTIFY codes, in order
    std::vector<WPARAM> commands;  // WM_COMMAND wParam
};

inline Notices& Log()
{
    static Notices log;
    return log;
}

inline LRESULT CALLBACK RecordingHostProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_NOTIFY)
        Log().notify.push_back(reinterpret_cast<const NMHDR*>(l)->code);
    if (m == WM_COMMAND)
        Log().commands.push_back(w);
    return DefWindowProcA(h, m, w, l);
}

// A class of host windows with a procedure of a test's own; its name back.
inline const char* HostClass(const char* name, WNDPROC proc)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    RegisterClassA(&wc);  // once: a second registration of the name fails and changes nothing
    return name;
}

// The class of hosts that record what their controls tell them.
inline const char* RecordingHostClass() { return HostClass("CommCtlTestHost", &RecordingHostProc); }

class CommCtlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Log() = Notices();
        InstallCommonControlSkinners();
    }
    void TearDown() override
    {
        WinTestSetIdleHook(nullptr, nullptr);
        ResetEngine();
        for (const std::string& f : files)
            unlink(f.c_str());
    }
    void UseSkin(const CFlatSkin::Options& options = CFlatSkin::Options(), bool transparentLink = false)
    {
        skin = std::make_unique<CFlatSkin>(CommonObjects(transparentLink), options);
        skin->Apply();
    }
    COLORREF Cell(const std::string& path, int cell = 4) const { return skin->ColorOf(path, cell); }
    std::string PainterAt(HWND control, POINT p) const
    {
        HWND top = GetAncestor(control, GA_ROOT);
        return skinkit::Painter(CPicture::OfWindow(top), InHost(control, top, p), *skin);
    }
    COLORREF PixelAt(HWND control, POINT p) const
    {
        HWND top = GetAncestor(control, GA_ROOT);
        return CPicture::OfWindow(top).At(InHost(control, top, p));
    }
    // A clip file of solid frames, one colour each, deleted after the test.
    std::string ClipFile(const std::vector<COLORREF>& colours, int w = 8, int h = 6, uint32_t rate = 10,
                         uint32_t scale = 1)
    {
        const std::vector<uint8_t> bytes = Clip(colours, w, h, rate, scale);
        const std::string path = testing::TempDir() + "commctl_clip_" + std::to_string(getpid()) + "_" +
                                 std::to_string(files.size()) + ".avi";
        FILE* f = std::fopen(path.c_str(), "wb");
        if (f) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        files.push_back(path);
        return path;
    }
    static std::vector<uint8_t> Clip(const std::vector<COLORREF>& colours, int w, int h, uint32_t rate = 10,
                                     uint32_t scale = 1)
    {
        avitest::ClipSpec s;
        s.width = w;
        s.height = h;
        s.rate = rate;
        s.scale = scale;
        s.usec_per_frame = rate ? 1000000u * scale / rate : 0;
        for (COLORREF c : colours)
            s.frames.push_back(avitest::SolidFrame24(
                w, h, uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c)));
        return avitest::MakeClip(s);
    }
    // Waits (in real time, generously) for something another thread does.
    template <class Pred>
    static bool Eventually(Pred pred)
    {
        for (int i = 0; i < 4000 && !pred(); ++i) {
            WinTestPumpUntilIdle();
            Sleep(1);
        }
        return pred();
    }

    std::unique_ptr<CFlatSkin> skin;
    std::vector<std::string> files;
};

}  // namespace cctest
