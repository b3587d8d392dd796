// What the window skins' tests share: a flat-colour skin with a "Dialog" window object and
// caption elements, the engine started with it and this folder's skins installed, dialogs that
// record what their caption elements tell them, and points in screen coordinates.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FrameElements.h"
#include "SkinEngine.h"
#include "SkinManager.h"
#include "SkinObjectTypes.h"
#include "SkinTestKit.h"
#include "SkinnerRegistry.h"
#include "WindowSkinners.h"
#include "dialog_test_support.h"

namespace wintest {

using namespace skinkit;

// The design of the "Dialog" object: 200 x 120, caption row 24 (its middle part 20 high, so a
// gap lies under it), sides 4 and 6, bottom 5.
constexpr int kDesignW = 200, kDesignH = 120, kCaption = 24, kTopMiddle = 20, kLeft = 4, kRight = 6, kBottom = 5;

inline void SetFrameRects(CSkinWindowObject& w, int W, int H)
{
    const RECT rects[9] = {{0, 0, 30, kCaption},
                           {30, 0, W - 40, kTopMiddle},
                           {W - 40, 0, W, kCaption},
                           {0, kCaption, kLeft, H - kBottom},
                           {kLeft, kCaption, W - kRight, H - kBottom},
                           {W - kRight, kCaption, W, H - kBottom},
                           {0, H - kBottom, kLeft, H},
                           {kLeft, H - kBottom, W - kRight, H},
                           {W - kRight, H - kBottom, W, H}};
    for (int i = 0; i < 9; ++i)
        w.m_frameRects[i] = rects[i];
    w.m_rc = {0, 0, W, H};
}

// A caption button of the design, anchored to the right (mode 4) unless `anchor` says other.
inline std::unique_ptr<CSkinCaptionButtonObject> Button(const char* name, DWORD action, RECT rc, DWORD anchor = 4,
                                                        DWORD commandId = 0, DWORD condition = 0)
{
    auto b = std::make_unique<CSkinCaptionButtonObject>();
    b->SetName(name);
    b->m_nAction = action;
    b->m_rc = rc;
    b->m_nAnchoring = anchor;
    b->m_nCaptionValue1 = commandId;
    b->m_nCaptionValue2 = condition;
    return b;
}

inline std::unique_ptr<CSkinCaptionStaticObject> Text(const char* name, DWORD role, RECT rc)
{
    auto t = std::make_unique<CSkinCaptionStaticObject>();
    t->SetName(name);
    t->m_nRole = role;
    t->m_rc = rc;
    return t;
}

// The caption buttons of the test dialog, right to left: Close, Min, Max, Cmd (command 77),
// Pin (sticky command 78), Lit (command 79, shown only while the caption is active); and Sys
// (system menu closing on a second click) at the left.
inline std::unique_ptr<CSkinFrameWndObject> DialogObject()
{
    auto d = std::make_unique<CSkinFrameWndObject>();
    d->SetName("Dialog");
    SetFrameRects(*d, kDesignW, kDesignH);
    d->m_bClientBackground = 1;
    d->AddChild(Button("Close", CSkinCaptionButtonObject::ACTION_CLOSE, {178, 2, 194, 18}));
    d->AddChild(Button("Min", CSkinCaptionButtonObject::ACTION_MINIMIZE, {160, 2, 176, 18}));
    d->AddChild(Button("Max", CSkinCaptionButtonObject::ACTION_MAXIMIZE, {142, 2, 158, 18}));
    d->AddChild(Button("Cmd", CSkinCaptionButtonObject::ACTION_COMMAND, {124, 2, 140, 18}, 4, 77));
    auto pin = Button("Pin", CSkinCaptionButtonObject::ACTION_COMMAND, {106, 2, 122, 18}, 4, 78);
    pin->m_bSticky = 1;
    d->AddChild(std::move(pin));
    d->AddChild(Button("Lit", CSkinCaptionButtonObject::ACTION_COMMAND, {88, 2, 104, 18}, 4, 79, 5));
    d->AddChild(Button("Sys", CSkinCaptionButtonObject::ACTION_SYSMENU_TOGGLE, {6, 2, 22, 18}, 0));
    return d;
}

// A dialog procedure that records what reaches it and keeps system commands from acting (so
// that a click on Close is seen, not obeyed) unless told to let them through.
struct DialogLog {
    std::vector<UINT> elementMessages;  // 3025 to 3032, in order
    std::vector<WPARAM> commands;       // WM_COMMAND wParam
    std::vector<WPARAM> sysCommands;    // WM_SYSCOMMAND wParam & 0xFFF0
    bool letSysCommandsThrough = false;
    std::string tooltipAnswer;          // szText for 3032
    int tooltipMode = 0;                // 0 szText, 1 the call-back marker, 2 80 letters, no end
};

inline DialogLog& Log()
{
    static DialogLog log;
    return log;
}

inline INT_PTR CALLBACK RecordingDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DialogLog& log = Log();
    if (msg >= WM_SKINELEMENT_MOVE && msg <= WM_SKINELEMENT_TOOLTIP) {
        log.elementMessages.push_back(msg);
        if (msg == WM_SKINELEMENT_TOOLTIP) {
            auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
            if (log.tooltipMode == 1)
                info->lpszText = LPSTR_TEXTCALLBACKA;
            else if (log.tooltipMode == 2)
                std::memset(info->szText, 'x', sizeof info->szText);
            else
                strncpy(info->szText, log.tooltipAnswer.c_str(), sizeof info->szText - 1);
        }
        return TRUE;
    }
    if (msg == WM_COMMAND && LOWORD(wParam) != IDCANCEL && LOWORD(wParam) != IDOK) {
        log.commands.push_back(wParam);
        return TRUE;
    }
    if (msg == WM_SYSCOMMAND) {
        log.sysCommands.push_back(wParam & 0xFFF0);
        return log.letSysCommandsThrough ? FALSE : TRUE;
    }
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK)) {
        EndDialog(hwnd, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

class WindowSkinTest : public ::testing::Test {
protected:
    // Extra objects for the skin; the Dialog object is always there.
    virtual void AddObjects(std::vector<std::unique_ptr<CSkinObject>>&) {}

    void SetUp() override
    {
        Log() = DialogLog();
        std::vector<std::unique_ptr<CSkinObject>> objects;
        objects.push_back(DialogObject());
        AddObjects(objects);
        skin = std::make_unique<CFlatSkin>(std::move(objects));
        path = testing::TempDir() + "window_skins_" + std::to_string(getpid()) + ".qvk";
        ASSERT_TRUE(skin->SaveToFile(path.c_str()));
        baseline = WinTestLiveCounts::Now();
        InstallWindowSkinners();
        ASSERT_TRUE(InitSkinLibrary(GetModuleHandleA(nullptr)));
        ASSERT_TRUE(LoadSkinFile(path.c_str())) << GetSkinLastError();
    }
    void TearDown() override
    {
        WinTestSetIdleHook(nullptr, nullptr);
        for (HWND h : windows)
            if (IsWindow(h))
                DestroyWindow(h);
        WinTestPumpUntilIdle();
        ExitSkinLibrary();
        for (int kind = 0; kind < SKINKIND_COUNT; ++kind)
            RegisterWindowSkinner(SkinWindowKind(kind), nullptr);
        SetSkinElementCreator(nullptr);
        unlink(path.c_str());
        WinTestPumpUntilIdle();
        const WinTestLiveCounts end = WinTestLiveCounts::Now();
        EXPECT_EQ(end, baseline) << end.ChangesFrom(baseline);
    }

    // A modeless dialog from a template, at (20, 20) dialog units, with one push button.
    HWND Dialog(DWORD style, short cx = 160, short cy = 90, const char* title = "Skinned")
    {
        dlgtest::TemplateBuilder t(style | DS_SETFONT, 20, 20, cx, cy, title);
        t.Item(dlgtest::kButton, "OK", IDOK, BS_PUSHBUTTON, 10, 10, 50, 14);
        HWND h = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, &RecordingDialogProc, 0);
        windows.push_back(h);
        return h;
    }
    // A framed dialog with the skin attached, active and painted.
    HWND SkinnedDialog(DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | WS_VISIBLE)
    {
        HWND h = Dialog(style);
        EXPECT_TRUE(SetSingleDialogSkin(h, "Dialog")) << GetSkinLastError();
        WinTestActivate(h);
        WinTestPumpUntilIdle();
        return h;
    }
    CSkinWindow* SkinOf(HWND h) { return CSkinManager::Instance().FindSkinWindow(h); }
    CSkinCaptionButton* ButtonOf(HWND h, const char* name)
    {
        CSkinWindow* s = SkinOf(h);
        if (!s)
            return nullptr;
        for (CSkinElement* e : s->GetElements())
            if (e->GetObjectName() && std::string(e->GetObjectName()) == name)
                return dynamic_cast<CSkinCaptionButton*>(e);
        return nullptr;
    }
    // An element's rectangle in window coordinates, laid out for the window's size now.
    RECT ElementRect(HWND h, const char* name)
    {
        SkinOf(h)->LayoutElements();
        RECT rc{};
        if (CSkinCaptionButton* b = ButtonOf(h, name))
            b->GetElementRect(&rc);
        return rc;
    }
    static POINT Middle(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    // A point of the window in screen coordinates.
    static POINT OnScreen(HWND h, POINT windowPoint)
    {
        RECT wr;
        GetWindowRect(h, &wr);
        return POINT{wr.left + windowPoint.x, wr.top + windowPoint.y};
    }
    void MoveTo(HWND h, POINT windowPoint)
    {
        const POINT s = OnScreen(h, windowPoint);
        WinTestMouseMove(nullptr, s.x, s.y);
        WinTestPumpUntilIdle();
    }
    void Press(HWND h, POINT windowPoint, bool down)
    {
        const POINT s = OnScreen(h, windowPoint);
        WinTestMouseButton(nullptr, WINTEST_LEFT, down, s.x, s.y);
        WinTestPumpUntilIdle();
    }
    // Press and release are queued together: a press that starts a move loop finds its release.
    void Click(HWND h, POINT windowPoint)
    {
        MoveTo(h, windowPoint);
        const POINT s = OnScreen(h, windowPoint);
        WinTestClick(nullptr, WINTEST_LEFT, s.x, s.y);
        WinTestPumpUntilIdle();
    }
    // What the window shows at a point of its own.
    std::string PainterAt(HWND h, POINT windowPoint) { return Painter(CPicture::OfWindow(h), windowPoint, *skin); }
    LRESULT HitAt(HWND h, POINT windowPoint)
    {
        const POINT s = OnScreen(h, windowPoint);
        return SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(s.x, s.y));
    }

    std::unique_ptr<CFlatSkin> skin;
    std::string path;
    WinTestLiveCounts baseline;
    std::vector<HWND> windows;
};

}  // namespace wintest
