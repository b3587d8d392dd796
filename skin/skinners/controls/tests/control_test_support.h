// What the control skinner tests share: a flat-colour skin with a frame object for the host
// window, a host frame skinned from it whose child controls get their skinners as the engine
// gives them, and small helpers for pictures, input and fonts.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ControlSkinners.h"
#include "SkinManager.h"
#include "SkinObjectTypes.h"
#include "SkinTestKit.h"
#include "SkinWindow.h"
#include "SkinnerRegistry.h"

namespace ctltest {

using skinkit::CFlatSkin;
using skinkit::CPicture;

template <typename T, typename... Args>
std::unique_ptr<T> Named(const char* name, Args... args)
{
    auto o = std::make_unique<T>(args...);
    o->SetName(name);
    return o;
}

// The host's frame object: a 6-pixel frame and 20-pixel caption whose client background is
// part 4 of the flat skin.
inline std::unique_ptr<CSkinFrameWndObject> MakeFrameObject(const char* name = "Frame")
{
    auto f = Named<CSkinFrameWndObject>(name);
    const int W = 120, H = 90;
    const RECT r[9] = {{0, 0, 6, 20},      {6, 0, W - 6, 20},      {W - 6, 0, W, 20},
                       {0, 20, 6, H - 6},  {6, 20, W - 6, H - 6},  {W - 6, 20, W, H - 6},
                       {0, H - 6, 6, H},   {6, H - 6, W - 6, H},   {W - 6, H - 6, W, H}};
    for (int i = 0; i < 9; ++i)
        f->m_frameRects[i] = r[i];
    f->m_rc = {0, 0, W, H};
    f->m_bClientBackground = 1;
    return f;
}

inline int Width(const RECT& r) { return r.right - r.left; }
inline int Height(const RECT& r) { return r.bottom - r.top; }
inline POINT Mid(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// A client point of a control as a point of the host's picture.
inline POINT InHost(HWND control, HWND host, POINT p)
{
    const RECT c = skinkit::ClientRectIn(control, host);
    return POINT{c.left + p.x, c.top + p.y};
}

// A text of `length` bytes made of `piece` over and over: long texts for the tests of texts.
inline std::string Repeated(const std::string& piece, size_t length)
{
    std::string s;
    while (s.size() < length)
        s += piece;
    s.resize(length);
    return s;
}

// A text with what a text drawer must not trip over: mnemonic marks, a tab, a line break and
// letters beyond ASCII (UTF-8), with upright strokes so that the text colour shows unblended.
inline const std::string kHostileText = "H&I\tL\r\nT \xC3\xA9\xE4\xB8\xAD&&";

// A font of the platform's own, for controls that had one before the skin came.
inline HFONT MakeFont(int height, const char* face = "DejaVu Sans Mono")
{
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    lstrcpynA(lf.lfFaceName, face, sizeof lf.lfFaceName);
    return CreateFontIndirectA(&lf);
}

inline HFONT FontOf(HWND hwnd) { return reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)); }

// A screen-compatible bitmap of one colour; the caller deletes it.
inline HBITMAP MakeBitmap(int w, int h, COLORREF c)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT rc{0, 0, w, h};
    HBRUSH brush = CreateSolidBrush(c);
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// A top-level host window skinned with the flat skin's frame object; controls created as its
// children before Skin() get their skinners from the factory, as in a dialog.
class CHost {
public:
    explicit CHost(const char* cls = "SkinKitWindow", RECT rect = {40, 40, 400, 300})
    {
        skinkit::WindowSpec spec;
        spec.cls = cls;
        spec.rect = rect;
        spec.style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
        m_hwnd = skinkit::CreateSyntheticWindow(spec);
    }
    ~CHost()
    {
        if (IsWindow(m_hwnd))
            DestroyWindow(m_hwnd);
    }
    CHost(const CHost&) = delete;
    CHost& operator=(const CHost&) = delete;

    HWND Hwnd() const { return m_hwnd; }
    operator HWND() const { return m_hwnd; }

    HWND Add(const char* cls, const char* text, DWORD style, RECT rect, int id, DWORD exStyle = 0)
    {
        return CreateWindowExA(exStyle, cls, text, style | WS_CHILD | WS_VISIBLE, rect.left, rect.top, Width(rect),
                               Height(rect), m_hwnd, reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleA(nullptr),
                               nullptr);
    }
    BOOL Skin(const char* frameObject = "Frame")
    {
        WinTestActivate(m_hwnd);
        BOOL ok = skinkit::AttachSkin(m_hwnd, frameObject);
        WinTestPumpUntilIdle();
        return ok;
    }
    BOOL Unskin()
    {
        BOOL ok = CSkinManager::Instance().RemoveSkin(m_hwnd, FALSE);
        WinTestPumpUntilIdle();
        return ok;
    }
    CPicture Picture() const { return CPicture::OfWindow(m_hwnd); }

private:
    HWND m_hwnd;
};

template <typename T = CSkinWindow>
T* SkinOf(HWND hwnd)
{
    return dynamic_cast<T*>(CSkinManager::Instance().FindSkinWindow(hwnd));
}

// The manager empty and every maker put back after a test.
inline void ResetEngine()
{
    CSkinManager::Instance().Cleanup();
    for (int type = 0; type <= SKIN_LINKWND; ++type)
        if (IsSkinnerType(type))
            RegisterControlSkinner(type, nullptr);
}

// A test of the skinners of this folder under a flat skin of its own objects.
class CSkinnerTest : public ::testing::Test {
protected:
    void SetUp() override { InstallControlSkinners(); }
    void TearDown() override { ResetEngine(); }
    // Makes the objects the current skin, with the records named (by path prefix) left empty.
    void ApplySkin(std::vector<std::unique_ptr<CSkinObject>> objects, std::vector<std::string> leaveEmpty = {})
    {
        CFlatSkin::Options options;
        options.leaveEmpty = std::move(leaveEmpty);
        skin = std::make_unique<CFlatSkin>(std::move(objects), options);
        skin->Apply();
    }
    // The record that painted a client point of the control, as its top-level window shows it.
    std::string PainterAt(HWND control, POINT p) const
    {
        HWND top = GetAncestor(control, GA_ROOT);
        return skinkit::Painter(CPicture::OfWindow(top), InHost(control, top, p), *skin);
    }

    std::unique_ptr<CFlatSkin> skin;
};

// A skinner test whose controls live on one host window the test makes; a mouse button a test
// left down is let go before the host goes.
class CHostedSkinnerTest : public CSkinnerTest {
protected:
    void TearDown() override
    {
        WinTestMouseButton(nullptr, WINTEST_LEFT, FALSE, 0, 0);
        WinTestPumpUntilIdle();
        host.reset();
        CSkinnerTest::TearDown();
    }
    std::unique_ptr<CHost> host;
};

// Counts the messages of one kind a window's own procedure receives (installed before any
// skin, so it sees what the skin passes on).
class CMessageCounter {
public:
    CMessageCounter(HWND hwnd, UINT msg) : m_hwnd(hwnd), m_msg(msg)
    {
        SetPropA(hwnd, "CtlTestCounter", this);
        m_old = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CMessageCounter::Proc)));
        // Kept for the window's life: a counter gone before its window still passes messages on.
        SetPropA(hwnd, "CtlTestCounterOld", reinterpret_cast<HANDLE>(m_old));
    }
    ~CMessageCounter()
    {
        if (IsWindow(m_hwnd))
            RemovePropA(m_hwnd, "CtlTestCounter");
    }
    int Count() const { return m_count; }
    // How often each code came from one control: the low word of wParam (scroll codes) or,
    // with `highWord`, the high word (notification codes of WM_COMMAND).
    std::map<int, int> CodesFrom(HWND control, bool highWord) const
    {
        std::map<int, int> codes;
        for (const auto& call : calls)
            if (reinterpret_cast<HWND>(call.second) == control)
                ++codes[highWord ? HIWORD(call.first) : LOWORD(call.first)];
        return codes;
    }
    std::vector<std::pair<WPARAM, LPARAM>> calls;

private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        auto* self = static_cast<CMessageCounter*>(GetPropA(h, "CtlTestCounter"));
        auto old = reinterpret_cast<WNDPROC>(GetPropA(h, "CtlTestCounterOld"));
        if (m == WM_NCDESTROY) {
            RemovePropA(h, "CtlTestCounter");
            RemovePropA(h, "CtlTestCounterOld");
        }
        if (!self)
            return old ? CallWindowProcA(old, h, m, w, l) : DefWindowProcA(h, m, w, l);
        if (m == self->m_msg) {
            ++self->m_count;
            self->calls.push_back({w, l});
        }
        return CallWindowProcA(self->m_old, h, m, w, l);
    }
    HWND m_hwnd;
    UINT m_msg;
    WNDPROC m_old = nullptr;
    int m_count = 0;
};

}  // namespace ctltest
