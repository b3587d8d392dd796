// The frame skin tests' frame window: a window class recording what reaches it, the "FrameWnd"
// object (the dialog's design with a menu bar look) and a fixture making skinned frames with a menu.
#pragma once

#include "FrameWndSkin.h"
#include "MenuBar.h"
#include "SkinPopupMenu.h"
#include "window_test_support.h"

namespace wintest {


enum : UINT { ID_OPEN = 101, ID_EXIT = 103, ID_COPY = 201, ID_GO = 301, ID_ABOUT = 501 };
inline constexpr DWORD kSizable = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
inline constexpr DWORD kFixed = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE;
inline constexpr RECT kBarMargins = {2, 1, 2, 1};

// What reaches the frame's own procedure.
struct FrameLog {
    std::vector<WPARAM> commands;
    std::vector<UINT> initMenus;  // WM_INITMENU and WM_INITMENUPOPUP, in order
    std::vector<WPARAM> sysKeys;  // WM_SYSKEYDOWN
};
inline FrameLog& Frames()
{
    static FrameLog log;
    return log;
}

inline LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND:
        Frames().commands.push_back(wParam);
        return 0;
    case WM_INITMENU:
    case WM_INITMENUPOPUP:
        Frames().initMenus.push_back(msg);
        break;
    case WM_SYSKEYDOWN:
        Frames().sysKeys.push_back(wParam);
        break;
    default:
        break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The "FrameWnd" object: the dialog's design with its own name and a menu bar look.
inline std::unique_ptr<CSkinFrameWndObject> FrameObject()
{
    auto f = DialogObject();
    f->SetName("FrameWnd");
    CSkinCaptionTextObject& m = f->m_menuBar;
    m.m_barMargins = kBarMargins;
    m.m_menuFont.lfHeight = -11;
    m.m_hotItem.textMargins = m.m_openItem.textMargins = RECT{4, 2, 4, 2};
    m.m_crNormalText = RGB(1, 1, 1);
    m.m_crDisabledText = RGB(2, 2, 2);
    m.m_hotItem.textColor = RGB(3, 3, 3);
    m.m_openItem.textColor = RGB(4, 4, 4);
    return f;
}

class FrameSkinTest : public WindowSkinTest {
protected:
    void AddObjects(std::vector<std::unique_ptr<CSkinObject>>& objects) override { objects.push_back(FrameObject()); }
    void SetUp() override
    {
        Frames() = FrameLog();
        WindowSkinTest::SetUp();
        WNDCLASSA wc{};
        wc.lpfnWndProc = &FrameProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "FrameSkinTestWnd";
        wc.style = CS_DBLCLKS;
        RegisterClassA(&wc);
    }
    // File (Open, a separator, Exit), a separator, Edit (Copy), Go (a command), Tools (grayed),
    // Help (About).
    static HMENU AppMenu()
    {
        HMENU bar = CreateMenu();
        HMENU file = CreatePopupMenu();
        AppendMenuA(file, MF_STRING, ID_OPEN, "&Open");
        AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(file, MF_STRING, ID_EXIT, "E&xit");
        AppendMenuA(bar, MF_POPUP, UINT_PTR(file), "&File");
        AppendMenuA(bar, MF_SEPARATOR, 0, nullptr);
        HMENU edit = CreatePopupMenu();
        AppendMenuA(edit, MF_STRING, ID_COPY, "&Copy");
        AppendMenuA(bar, MF_POPUP, UINT_PTR(edit), "&Edit");
        AppendMenuA(bar, MF_STRING, ID_GO, "&Go");
        HMENU tools = CreatePopupMenu();
        AppendMenuA(tools, MF_STRING, 401, "&Options");
        AppendMenuA(bar, MF_POPUP | MF_GRAYED, UINT_PTR(tools), "&Tools");
        HMENU help = CreatePopupMenu();
        AppendMenuA(help, MF_STRING, ID_ABOUT, "&About");
        AppendMenuA(bar, MF_POPUP, UINT_PTR(help), "&Help");
        return bar;
    }
    HWND Frame(DWORD style = kSizable, HMENU menu = AppMenu(), int w = 320, int h = 220)
    {
        HWND hwnd = CreateWindowExA(0, "FrameSkinTestWnd", "Frame", style, 40, 40, w, h, nullptr, menu,
                                    GetModuleHandleA(nullptr), nullptr);
        windows.push_back(hwnd);
        return hwnd;
    }
    HWND SkinnedFrame(DWORD style = kSizable, HMENU menu = AppMenu(), int w = 320, int h = 220)
    {
        HWND hwnd = Frame(style, menu, w, h);
        EXPECT_TRUE(SetWindowSkin(hwnd, "FrameWnd")) << GetSkinLastError();
        WinTestActivate(hwnd);
        WinTestPumpUntilIdle();
        return hwnd;
    }
    CSkinFrameWnd* FrameSkin(HWND h) { return dynamic_cast<CSkinFrameWnd*>(SkinOf(h)); }
    CSkinMenuBar& Bar(HWND h) { return FrameSkin(h)->MenuBar(); }
    CSkinMenuBarItem* Item(HWND h, const char* text)
    {
        CSkinMenuBar& bar = Bar(h);
        bar.LayoutItems();
        for (int i = 0; i < bar.GetItemCount(); ++i)
            if (bar.GetItem(i)->m_strText == text)
                return bar.GetItem(i);
        return nullptr;
    }
    RECT ItemRect(HWND h, const char* text)
    {
        RECT rc{};
        if (CSkinMenuBarItem* item = Item(h, text))
            item->GetElementRect(&rc);
        return rc;
    }
    // The open popup of the bar, or null.
    CSkinPopupMenu* OpenPopup(HWND h)
    {
        CSkinMenuBarItem* open = Bar(h).GetOpenItem();
        return open ? open->m_pPopup.get() : nullptr;
    }
    std::string OpenText(HWND h)
    {
        CSkinMenuBarItem* open = Bar(h).GetOpenItem();
        return open ? open->m_strText : "";
    }
    static void AltKey(UINT key)
    {
        WinTestKey(VK_MENU, TRUE);
        WinTestKeyPress(key);
        WinTestKey(VK_MENU, FALSE);
        WinTestPumpUntilIdle();
    }
    static void Key(UINT key)
    {
        WinTestKeyPress(key);
        WinTestPumpUntilIdle();
    }
    RECT BarRect(HWND h)
    {
        RECT rc;
        Bar(h).GetBarRect(&rc);
        return rc;
    }
    // An MDI client over the frame's client area; the frame is skinned again to find it.
    HWND AddMdiClient(HWND frame)
    {
        CLIENTCREATESTRUCT ccs{nullptr, 100};
        RECT c;
        GetClientRect(frame, &c);
        HWND client = CreateWindowExA(0, "MDICLIENT", "", WS_CHILD | WS_VISIBLE, 0, 0, c.right, c.bottom, frame,
                                      nullptr, GetModuleHandleA(nullptr), &ccs);
        EXPECT_TRUE(RemoveWindowSkin(frame));
        EXPECT_TRUE(SetWindowSkin(frame, "FrameWnd"));
        WinTestPumpUntilIdle();
        return client;
    }
    // A skinned MDI child of the client, with the usual boxes.
    HWND AddSkinnedMdiChild(HWND client)
    {
        MDICREATESTRUCTA mcs{"FrameSkinTestWnd", "Doc", GetModuleHandleA(nullptr), 10, 10, 150, 90,
                             WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0};
        HWND child = reinterpret_cast<HWND>(SendMessageA(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
        EXPECT_NE(child, nullptr);
        EXPECT_TRUE(SetWindowSkin(child, "FrameWnd")) << GetSkinLastError();
        return child;
    }
    void MaximiseMdiChild(HWND frame, HWND client, HWND child)
    {
        SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
        RedrawWindow(frame, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        WinTestPumpUntilIdle();
    }
    // A skinned MDI child maximised in a new MDI client of the frame; its parent is the client.
    HWND MaximisedMdiChild(HWND frame)
    {
        HWND client = AddMdiClient(frame);
        HWND child = AddSkinnedMdiChild(client);
        MaximiseMdiChild(frame, client, child);
        EXPECT_TRUE(Bar(frame).HasMdiButtons());
        return child;
    }
    // Where one of the MDI child's bar buttons shows in the frame.
    RECT BarButtonRect(HWND frame, int button)
    {
        Bar(frame).LayoutItems();
        RECT rc = Bar(frame).GetButton(button).m_rc;
        CSkinArea::MirrorRectInWindow(frame, rc);
        return rc;
    }
};

}  // namespace wintest
