// The folder browser: a dialog of the layer's own controls (the caller's title, the chosen
// folder's path, a list of sub-folders, Up, OK and Cancel) over the file system.
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "dialogs/file_logic.h"
#include "dialogs/scripts.h"
#include "dialogs/template.h"
#include "shell/pidl.h"
#include "windows.h"
#include "shlobj.h"

namespace plat::dialogs {
namespace {

enum : WORD { kTitle = 14145, kPath = 14148, kList = 14146, kStatus = 14147, kUp = 14149 };
constexpr LPARAM kParentItem = -1;

struct FolderDialog {
    BROWSEINFOA* bi;
    std::string root;       // navigation stays at or below it
    std::string start;      // the folder shown first
    std::string folder;     // the folder whose sub-folders are listed
    std::string selection;  // what OK returns
    std::vector<std::string> subfolders;
    bool cancelled_by_validation = false;
    int selchanges = 0;  // BFFM_SELCHANGED sent so far
};

bool IsDir(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Within(const std::string& path, const std::string& root) {
    if (root == "/") return true;
    return path == root || (path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
                            path[root.size()] == '/');
}

int Callback(HWND dlg, FolderDialog* st, UINT msg, LPARAM lp) {
    return st->bi->lpfn ? st->bi->lpfn(dlg, msg, lp, st->bi->lParam) : 0;
}

void Select(HWND dlg, FolderDialog* st, const std::string& path, bool notify) {
    // Entering the folder that a first click already chose is no new selection.
    if (path == st->selection && st->selchanges > 0) notify = false;
    st->selection = path;
    SetDlgItemTextA(dlg, kPath, path.c_str());
    if (!notify || !st->bi->lpfn) return;
    ++st->selchanges;
    LPITEMIDLIST pidl = plat::shell::MakeFolderPidl(path);
    Callback(dlg, st, BFFM_SELCHANGED, reinterpret_cast<LPARAM>(pidl));
    ILFree(pidl);
}

void Navigate(HWND dlg, FolderDialog* st, const std::string& folder, bool notify) {
    st->folder = folder;
    st->subfolders.clear();
    for (const Entry& e : ListFolder(folder, nullptr, false))
        if (e.folder) st->subfolders.push_back(e.name);
    HWND list = GetDlgItem(dlg, kList);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    bool at_root = folder == st->root;
    if (!at_root) {
        LRESULT at = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(".."));
        SendMessageA(list, LB_SETITEMDATA, WPARAM(at), kParentItem);
    }
    for (size_t i = 0; i < st->subfolders.size(); ++i) {
        LRESULT at = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(st->subfolders[i].c_str()));
        SendMessageA(list, LB_SETITEMDATA, WPARAM(at), LPARAM(i));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    EnableWindow(GetDlgItem(dlg, kUp), !at_root);
    Select(dlg, st, folder, notify);
}

// The folder that list item `item` names, or "" for none.
std::string ItemPath(HWND dlg, FolderDialog* st, LRESULT item) {
    if (item < 0) return std::string();
    LPARAM d = SendDlgItemMessageA(dlg, kList, LB_GETITEMDATA, WPARAM(item), 0);
    if (d == kParentItem) return ParentOf(st->folder);
    if (d < 0 || size_t(d) >= st->subfolders.size()) return std::string();
    return JoinPath(st->folder, st->subfolders[size_t(d)]);
}

// Shows `path` as the selection: its parent is listed and it is the chosen item.
void SetSelection(HWND dlg, FolderDialog* st, const std::string& path) {
    std::string p = Normalize(path, st->folder);
    if (!IsDir(p) || !Within(p, st->root)) return;
    Navigate(dlg, st, p, true);
}

void OnOk(HWND dlg, FolderDialog* st) {
    if (st->bi->ulFlags & BIF_EDITBOX) {
        char typed[MAX_PATH * 4] = {};
        GetDlgItemTextA(dlg, kPath, typed, sizeof typed);
        if (st->selection != typed) {
            std::string p = Normalize(typed, st->folder);
            if (IsDir(p) && Within(p, st->root)) {
                st->selection = p;
            } else if (st->bi->ulFlags & BIF_VALIDATE) {
                if (Callback(dlg, st, BFFM_VALIDATEFAILEDA, reinterpret_cast<LPARAM>(typed)) != 0) return;
                st->cancelled_by_validation = true;
                EndDialog(dlg, IDCANCEL);
                return;
            } else {
                MessageBeep(0);
                return;
            }
        }
    }
    EndDialog(dlg, IDOK);
}

void Layout(HWND dlg, FolderDialog* st) {
    RECT rc;
    GetClientRect(dlg, &rc);
    const int m = 8, h = 24, gap = 6, button = 84;
    int w = rc.right, bottom = rc.bottom;
    auto place = [&](int id, int x, int y, int cx, int cy) {
        if (HWND c = GetDlgItem(dlg, id)) MoveWindow(c, x, y, std::max(cx, 1), std::max(cy, 1), TRUE);
    };
    int y = m;
    place(kTitle, m, y, w - 2 * m, 2 * h - 8);
    y += 2 * h - 8 + gap;
    if (st->bi->ulFlags & BIF_STATUSTEXT) {
        place(kStatus, m, y, w - 2 * m, h - 6);
        y += h - 6 + gap;
    }
    place(kPath, m, y, w - 2 * m - button - gap, h);
    place(kUp, w - m - button, y, button, h);
    y += h + gap;
    int buttons_y = bottom - m - h;
    place(kList, m, y, w - 2 * m, buttons_y - gap - y);
    place(IDOK, w - m - 2 * button - gap, buttons_y, button, h);
    place(IDCANCEL, w - m - button, buttons_y, button, h);
}

INT_PTR CALLBACK FolderDialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* st = reinterpret_cast<FolderDialog*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        st = reinterpret_cast<FolderDialog*>(lp);
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        SetCurrentDialog(dlg);
        SetDlgItemTextA(dlg, kTitle, st->bi->lpszTitle ? st->bi->lpszTitle : "");
        Layout(dlg, st);
        Navigate(dlg, st, st->start, false);
        // The caller hears of the dialog first, then of the selection it starts with.
        Callback(dlg, st, BFFM_INITIALIZED, 0);
        if (st->selchanges == 0) Select(dlg, st, st->selection, true);  // unless the caller chose one
        SetFocus(GetDlgItem(dlg, kList));
        return FALSE;
    case WM_SIZE:
        if (st) Layout(dlg, st);
        return TRUE;
    case BFFM_SETSELECTIONA:
        if (!st || !lp) return TRUE;
        if (wp) SetSelection(dlg, st, reinterpret_cast<const char*>(lp));
        else {
            std::string p;
            if (plat::shell::PidlPath(reinterpret_cast<LPCITEMIDLIST>(lp), &p)) SetSelection(dlg, st, p);
        }
        return TRUE;
    case BFFM_ENABLEOK: EnableWindow(GetDlgItem(dlg, IDOK), lp != 0); return TRUE;
    case BFFM_SETSTATUSTEXTA:
        SetDlgItemTextA(dlg, kStatus, lp ? reinterpret_cast<const char*>(lp) : "");
        return TRUE;
    case WM_COMMAND:
        if (!st) return FALSE;
        switch (LOWORD(wp)) {
        case IDOK: OnOk(dlg, st); return TRUE;
        case IDCANCEL: EndDialog(dlg, IDCANCEL); return TRUE;
        case kUp:
            if (st->folder != st->root) Navigate(dlg, st, ParentOf(st->folder), true);
            return TRUE;
        case kList: {
            LRESULT item = SendDlgItemMessageA(dlg, kList, LB_GETCURSEL, 0, 0);
            std::string p = ItemPath(dlg, st, item);
            if (p.empty()) return TRUE;
            if (HIWORD(wp) == LBN_SELCHANGE) Select(dlg, st, p, true);
            else if (HIWORD(wp) == LBN_DBLCLK) Navigate(dlg, st, p, true);
            return TRUE;
        }
        }
        return FALSE;
    case WM_DESTROY: SetCurrentDialog(nullptr); return FALSE;
    }
    return FALSE;
}

}  // namespace
}  // namespace plat::dialogs

using namespace plat::dialogs;

extern "C" {

LPITEMIDLIST WINAPI SHBrowseForFolderA(LPBROWSEINFOA bi) {
    if (!bi) return nullptr;
    if (bi->pszDisplayName) bi->pszDisplayName[0] = 0;
    auto finish = [bi](const std::string& path) -> LPITEMIDLIST {
        if (bi->pszDisplayName) {
            std::string name = path == "/" ? "/" : path.substr(path.find_last_of('/') + 1);
            size_t n = std::min<size_t>(name.size(), MAX_PATH - 1);
            memcpy(bi->pszDisplayName, name.data(), n);
            bi->pszDisplayName[n] = 0;
        }
        return plat::shell::MakeFolderPidl(path);
    };
    if (std::optional<FolderScript> script = TakeFolderScript()) {
        if (script->cancel) return nullptr;
        return finish(Normalize(script->path, "/"));
    }
    // No root browses the whole file system, starting at the desktop folder.
    std::string root = "/";
    if (bi->pidlRoot) {
        if (!plat::shell::PidlPath(bi->pidlRoot, &root)) return nullptr;  // a place with no folders
        root = Normalize(root, "/");
    }
    std::string start = root;
    if (!bi->pidlRoot) {
        std::string desktop;
        if (plat::shell::SpecialFolderPath(CSIDL_DESKTOP, &desktop) && IsDir(desktop)) start = Normalize(desktop, "/");
    }
    FolderDialog st{bi, root, start, {}, {}, {}, false, 0};
    // Sizable: a sizing frame, not the fixed modal one.
    Template t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_3DLOOK | DS_CENTER | WS_THICKFRAME, 220, 230,
               "Browse for Folder");
    t.Item(Template::kStatic, "", kTitle, SS_LEFT, 4, 4, 212, 20);
    if (bi->ulFlags & BIF_STATUSTEXT) t.Item(Template::kStatic, "", kStatus, SS_LEFT, 4, 26, 212, 10);
    DWORD edit_style = WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
    if (!(bi->ulFlags & BIF_EDITBOX)) edit_style |= ES_READONLY;
    t.Item(Template::kEdit, "", kPath, edit_style, 4, 38, 170, 12);
    t.Item(Template::kButton, "&Up", kUp, BS_PUSHBUTTON | WS_TABSTOP, 178, 38, 38, 12);
    t.Item(Template::kListBox, "", kList,
           WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 4, 54, 212, 150);
    t.Item(Template::kButton, "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 120, 212, 46, 14);
    t.Item(Template::kButton, "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 170, 212, 46, 14);
    INT_PTR r = DialogBoxIndirectParamA(nullptr, t.Get(), bi->hwndOwner, FolderDialogProc,
                                        reinterpret_cast<LPARAM>(&st));
    SetCurrentDialog(nullptr);
    if (r != IDOK || st.selection.empty()) return nullptr;
    return finish(st.selection);
}

}  // extern "C"
