// Helpers of the skinned-window, manager and hook tests: a small skin whose nine frame parts
// are solid colours, plain windows of any class, and a fixture that leaves the manager empty.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "RasterImage.h"
#include "SkinFile.h"
#include "SkinHooks.h"
#include "SkinManager.h"
#include "SkinObjectTypes.h"
#include "SkinWindow.h"

namespace skinwnd {

inline HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

// Frame geometry of the test skin's window objects (design size 120 x 90).
constexpr int kLeft = 5, kRight = 7, kTop = 24, kBottom = 6, kDesignW = 120, kDesignH = 90;

// The solid colour of frame part i (4 is the client background).
inline COLORREF PartColor(int i) { return RGB(20 + i * 25, 200 - i * 20, 40 + (i % 3) * 70); }

inline void AddSolidPicture(CSkinFile& skin, const char* name, int w, int h, COLORREF c)
{
    CRasterImage img;
    img.Create(w, DWORD(h), 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.SetPixelColor(x, y, c);
    auto o = std::make_unique<CSkinImageObject>();
    o->SetName(name);
    o->SetImage(img, 1);
    skin.AddImage(std::move(o));
}

template <typename T>
std::unique_ptr<T> Named(const char* name)
{
    auto o = std::make_unique<T>();
    o->SetName(name);
    return o;
}

// Gives a window object nine solid parts ("p0".."p8", stretched) at the test geometry.
inline void SetTestFrame(CSkinWindowObject& w)
{
    const int W = kDesignW, H = kDesignH;
    const RECT r[9] = {{0, 0, 12, kTop},           {12, 0, W - 20, kTop},           {W - 20, 0, W, kTop},
                       {0, kTop, kLeft, H - kBottom}, {kLeft, kTop, W - kRight, H - kBottom},
                       {W - kRight, kTop, W, H - kBottom}, {0, H - kBottom, 9, H}, {9, H - kBottom, W - 11, H},
                       {W - 11, H - kBottom, W, H}};
    for (int i = 0; i < 9; ++i) {
        w.m_frameRects[i] = r[i];
        w.m_parts[i].Set(("p" + std::to_string(i)).c_str(), 0, 0, 8, 8, 2);
    }
    w.m_rc = {0, 0, W, H};
    w.m_bClientBackground = 1;
    w.m_captionFont = SkinFont::Default("Arial");
    w.m_captionFont.color = RGB(255, 255, 255);
}

// The test skin: "Dialog" and "Frame" (type 1), "Shape" (2), "Wide" (45), controls of several
// types, a toolbar; no Application object unless asked (then key colour magenta, shaped).
inline std::unique_ptr<CSkinFile> MakeTestSkin(bool withApplication = false, bool withToolBar = true)
{
    auto skin = std::make_unique<CSkinFile>();
    for (int i = 0; i < 9; ++i)
        AddSolidPicture(*skin, ("p" + std::to_string(i)).c_str(), 8, 8, PartColor(i));
    if (withApplication) {
        auto app = Named<CSkinApplicationObject>("Application");
        app->m_nThird = RGB(255, 0, 255);
        app->m_bTransparent = 1;
        skin->AddObject(std::move(app));
    }
    for (const char* name : {"Dialog", "Frame"}) {
        auto f = Named<CSkinFrameWndObject>(name);
        SetTestFrame(*f);
        skin->AddObject(std::move(f));
    }
    skin->AddObject(Named<CSkinShapeWndObject>("Shape"));
    auto wide = Named<CSkinType45Object>("Wide");
    SetTestFrame(*wide);
    skin->AddObject(std::move(wide));
    skin->AddObject(Named<CSkinButtonObject>("Button"));
    skin->AddObject(Named<CSkinCheckBoxObject>("CheckBox"));
    skin->AddObject(Named<CSkinStaticObject>("Static"));
    skin->AddObject(Named<CSkinGroupBoxObject>("GroupBox"));
    if (withToolBar)
        skin->AddObject(Named<CSkinToolBarObject>("ToolBar"));
    return skin;
}

inline LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

// Registers a plain class of that name unless the window system already has one.
inline void EnsureClass(const char* name, WNDPROC proc = &PlainProc)
{
    WNDCLASSA existing{};
    if (GetClassInfoA(Instance(), name, &existing) || GetClassInfoA(nullptr, name, &existing))
        return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = Instance();
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

inline HWND MakeTop(DWORD style = WS_OVERLAPPEDWINDOW, const char* cls = "SkinWndTest", int w = 200, int h = 150,
                    DWORD ex = 0)
{
    EnsureClass(cls);
    return CreateWindowExA(ex, cls, "Skin test", style, 10, 10, w, h, nullptr, nullptr, Instance(), nullptr);
}

inline HWND MakeChild(HWND parent, const char* cls, DWORD style = 0, int id = 0, RECT rc = {4, 4, 64, 28})
{
    EnsureClass(cls);
    return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, rc.left, rc.top, rc.right - rc.left,
                           rc.bottom - rc.top, parent, reinterpret_cast<HMENU>(INT_PTR(id)), Instance(), nullptr);
}

inline WNDPROC ProcOf(HWND hwnd) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)); }

// The hooks of the calling thread, installed as the engine installs them, with a dialog skin
// name and accelerator copies of the test's own.
struct TestHooks {
    static HHOOK& CallWnd()
    {
        static thread_local HHOOK h = nullptr;
        return h;
    }
    static HHOOK& Keyboard()
    {
        static thread_local HHOOK h = nullptr;
        return h;
    }
    static std::string& DialogName()
    {
        static std::string name;
        return name;
    }
    static std::map<HWND, CSkinAccelTable>& Accelerators()
    {
        static std::map<HWND, CSkinAccelTable> map;
        return map;
    }
    static void Install()
    {
        static const SkinHookEnvironment env = {
            [] { return CallWnd(); }, [] { return Keyboard(); },
            [](char* out) {
                strncpy(out, DialogName().c_str(), 50);
                out[50] = 0;
            },
            [](HWND hwnd, int key, ACCEL* out) -> BOOL {
                auto it = Accelerators().find(hwnd);
                return it != Accelerators().end() && it->second.Find(key, out);
            }};
        SetSkinHookEnvironment(&env);
        if (!CallWnd())
            CallWnd() = SetWindowsHookExA(WH_CALLWNDPROC, &CallWndProcHookProc, nullptr, GetCurrentThreadId());
        if (!Keyboard())
            Keyboard() = SetWindowsHookExA(WH_KEYBOARD, &KeyboardHookProc, nullptr, GetCurrentThreadId());
    }
    static void Remove()
    {
        if (CallWnd())
            UnhookWindowsHookEx(CallWnd());
        if (Keyboard())
            UnhookWindowsHookEx(Keyboard());
        CallWnd() = Keyboard() = nullptr;
    }
};

// Every test starts with the test skin current and leaves the manager empty.
class ManagerFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(Manager().ApplySkinToAllWindows(MakeTestSkin().release()), 1); }
    void TearDown() override
    {
        Manager().Cleanup();
        EXPECT_EQ(Manager().GetWindowCount(), 0u);
        for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it)
            if (IsWindow(*it))
                DestroyWindow(*it);
        Manager().SetChangeNotifier(nullptr);
    }
    static CSkinManager& Manager() { return CSkinManager::Instance(); }
    HWND Keep(HWND h)
    {
        m_windows.push_back(h);
        return h;
    }
    std::vector<HWND> m_windows;
};

}  // namespace skinwnd
