#include "SystemMenu.h"

#include "SkinEngine.h"
#include "SkinMenuModel.h"

namespace {

void Enable(HMENU menu, UINT command, bool on)
{
    EnableMenuItem(menu, command, MF_BYCOMMAND | (on ? MF_ENABLED : MF_DISABLED | MF_GRAYED));
}

}  // namespace

int ShowSkinSystemMenu(HWND hwnd, const POINT* where)
{
    HMENU system = IsWindow(hwnd) ? GetSystemMenu(hwnd, FALSE) : nullptr;
    if (!system)
        return 0;
    HMENU menu = CopyMenuItems(system);
    if (!menu)
        return 0;
    const bool iconic = IsIconic(hwnd), zoomed = IsZoomed(hwnd);
    Enable(menu, SC_RESTORE, iconic || zoomed);
    Enable(menu, SC_MOVE, !(iconic || zoomed));
    Enable(menu, SC_SIZE, !(iconic || zoomed));
    // Nor does it offer what the window's style rules out.
    const DWORD style = DWORD(GetWindowLongA(hwnd, GWL_STYLE));
    const bool sizable = (style & WS_THICKFRAME) && !((style & WS_DLGFRAME) && (style & DS_MODALFRAME));
    if (!sizable)
        Enable(menu, SC_SIZE, false);
    if (iconic || !(style & WS_MINIMIZEBOX))
        Enable(menu, SC_MINIMIZE, false);
    if (zoomed || !(style & WS_MAXIMIZEBOX))
        Enable(menu, SC_MAXIMIZE, false);
    POINT at{};
    if (where)
        at = *where;
    else
        GetCursorPos(&at);
    SkinEngine::SetThreadError(SKINERR_NONE);
    int command = TrackSkinPopupMenu(menu, TPM_RETURNCMD, at.x + 2, at.y, hwnd);
    if (command == 0 && GetSkinLastError() == SKINERR_NOT_SUPPORTED)
        command = int(TrackPopupMenu(menu, TPM_RETURNCMD, at.x + 2, at.y, 0, hwnd, nullptr));
    DestroyMenu(menu);
    if (command && IsWindow(hwnd))
        PostMessageA(hwnd, WM_SYSCOMMAND, WPARAM(command), 0);
    return command;
}


bool ShowSkinSystemMenuOnRequest(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_SYSCOMMAND || !(GetWindowLongA(hwnd, GWL_STYLE) & WS_SYSMENU))
        return false;
    const UINT command = UINT(wParam & 0xFFF0);
    if (command == SC_KEYMENU && lParam == ' ') {
        // From the keyboard the menu drops from the window's top-left corner, below its caption.
        RECT wr{};
        GetWindowRect(hwnd, &wr);
        POINT below{0, 0};
        ClientToScreen(hwnd, &below);
        const POINT at{wr.left, below.y};
        ShowSkinSystemMenu(hwnd, &at);
        return true;
    }
    if (command == SC_MOUSEMENU && (wParam & 0xF) == HTSYSMENU) {
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ShowSkinSystemMenu(hwnd, &at);
        return true;
    }
    return false;
}
