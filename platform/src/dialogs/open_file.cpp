// The open-file and save-file dialogs: a dialog of the layer's own controls (folder path, list
// of folders and files, file name, file type, Open and Cancel), so it is skinned like any other.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>

#include "dialogs/file_logic.h"
#include "dialogs/scripts.h"
#include "dialogs/template.h"
#include "windows.h"
#include "commdlg.h"

namespace plat::dialogs {
namespace {

enum : WORD {
    kFolderLabel = 1091,
    kFolderEdit = 1137,
    kUp = 1280,
    kList = 1120,
    kNameLabel = 1090,
    kNameEdit = 1152,
    kTypeLabel = 1089,
    kTypeCombo = 1136,
};
constexpr LPARAM kParentItem = -1;  // item data of the ".." entry

struct FileDialog {
    OPENFILENAMEA* ofn;
    bool save;
    std::vector<Filter> filters;
    std::string folder;
    std::vector<Entry> entries;
    DWORD error = 0;
    Filter typed_filter;  // patterns typed in the name box; used while not empty
};

bool IsDir(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
bool Exists(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0;
}

std::string Cwd() {
    char buf[4096];
    return getcwd(buf, sizeof buf) ? std::string(buf) : std::string("/");
}

// The folder of the last file chosen, where the next dialog without a folder of its own opens
// (the dialogs run on the UI thread, but a program may have more than one).
std::mutex g_last_folder_lock;
std::string g_last_folder;
void SetLastFolder(const std::string& folder) {
    std::lock_guard<std::mutex> hold(g_last_folder_lock);
    g_last_folder = folder;
}
std::string LastFolder() {
    std::lock_guard<std::mutex> hold(g_last_folder_lock);
    return g_last_folder;
}

std::string DlgText(HWND dlg, int id) {
    HWND c = GetDlgItem(dlg, id);
    int n = c ? GetWindowTextLengthA(c) : 0;
    std::string s(size_t(n) + 1, '\0');
    if (c) GetWindowTextA(c, &s[0], n + 1);
    s.resize(strlen(s.c_str()));
    return s;
}

const Filter* CurrentFilter(HWND dlg, FileDialog* st) {
    if (!st->typed_filter.patterns.empty()) return &st->typed_filter;
    LRESULT i = SendDlgItemMessageA(dlg, kTypeCombo, CB_GETCURSEL, 0, 0);
    if (i < 0 || size_t(i) >= st->filters.size()) return nullptr;
    return &st->filters[size_t(i)];
}

void Navigate(HWND dlg, FileDialog* st, const std::string& folder) {
    st->folder = folder;
    SetDlgItemTextA(dlg, kFolderEdit, folder.c_str());
    st->entries = ListFolder(folder, CurrentFilter(dlg, st), (st->ofn->Flags & OFN_FORCESHOWHIDDEN) != 0);
    HWND list = GetDlgItem(dlg, kList);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    if (folder != "/") {
        LRESULT at = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(".."));
        SendMessageA(list, LB_SETITEMDATA, WPARAM(at), kParentItem);
    }
    for (size_t i = 0; i < st->entries.size(); ++i) {
        // Folders read "name/", so they stand apart from files of the same name.
        std::string shown = st->entries[i].folder ? st->entries[i].name + "/" : st->entries[i].name;
        LRESULT at = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
        SendMessageA(list, LB_SETITEMDATA, WPARAM(at), LPARAM(i));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    EnableWindow(GetDlgItem(dlg, kUp), folder != "/");
}

std::vector<int> SelectedItems(HWND dlg, FileDialog* st) {
    HWND list = GetDlgItem(dlg, kList);
    std::vector<int> out;
    if (st->ofn->Flags & OFN_ALLOWMULTISELECT) {
        LRESULT n = SendMessageA(list, LB_GETSELCOUNT, 0, 0);
        if (n > 0) {
            out.resize(size_t(n));
            n = SendMessageA(list, LB_GETSELITEMS, WPARAM(n), reinterpret_cast<LPARAM>(out.data()));
            out.resize(size_t(std::max<LRESULT>(n, 0)));
        }
    } else {
        LRESULT i = SendMessageA(list, LB_GETCURSEL, 0, 0);
        if (i >= 0) out.push_back(int(i));
    }
    return out;
}

// Item data: an index into the entries, or kParentItem.
LPARAM ItemData(HWND dlg, int item) { return SendDlgItemMessageA(dlg, kList, LB_GETITEMDATA, WPARAM(item), 0); }

void OnSelChange(HWND dlg, FileDialog* st) {
    std::vector<std::string> files;
    for (int item : SelectedItems(dlg, st)) {
        LPARAM d = ItemData(dlg, item);
        if (d >= 0 && size_t(d) < st->entries.size() && !st->entries[size_t(d)].folder)
            files.push_back(st->entries[size_t(d)].name);
    }
    if (files.empty()) return;
    std::string text;
    if (files.size() == 1) text = files[0];
    else
        for (const std::string& f : files) text += (text.empty() ? "\"" : " \"") + f + "\"";
    SetDlgItemTextA(dlg, kNameEdit, text.c_str());
}

// Enters the folder of list item `item`; false when the item is a file.
bool EnterItem(HWND dlg, FileDialog* st, int item) {
    LPARAM d = ItemData(dlg, item);
    if (d == kParentItem) {
        Navigate(dlg, st, ParentOf(st->folder));
        return true;
    }
    if (d < 0 || size_t(d) >= st->entries.size() || !st->entries[size_t(d)].folder) return false;
    Navigate(dlg, st, JoinPath(st->folder, st->entries[size_t(d)].name));
    return true;
}

void Complain(HWND dlg, const std::string& text) {
    char caption[256] = {};
    GetWindowTextA(dlg, caption, sizeof caption);
    MessageBoxA(dlg, text.c_str(), caption, MB_OK | MB_ICONEXCLAMATION);
}

void OnOk(HWND dlg, FileDialog* st) {
    std::vector<std::string> typed = SplitTypedNames(DlgText(dlg, kNameEdit));
    OPENFILENAMEA* ofn = st->ofn;
    if (typed.empty()) {
        // Open on a selected folder enters it.
        std::vector<int> sel = SelectedItems(dlg, st);
        if (sel.size() != 1 || !EnterItem(dlg, st, sel[0])) MessageBeep(0);
        return;
    }
    if (typed.size() == 1 && typed[0].find_first_of("*?") != std::string::npos) {
        // Wildcards typed as a name narrow the list instead of naming a file.
        std::string pair = typed[0] + '\0' + typed[0] + '\0' + '\0';
        st->typed_filter = ParseFilters(pair.c_str()).at(0);
        Navigate(dlg, st, st->folder);
        return;
    }
    if (typed.size() == 1) {
        std::string full = Normalize(typed[0], st->folder);
        if (IsDir(full)) {
            SetDlgItemTextA(dlg, kNameEdit, "");
            Navigate(dlg, st, full);
            return;
        }
    }
    if (typed.size() > 1 && !(ofn->Flags & OFN_ALLOWMULTISELECT)) {
        Complain(dlg, "Only one file can be chosen here.");
        return;
    }
    std::vector<std::string> fulls;
    for (const std::string& n : typed) {
        std::string full = Normalize(n, st->folder);
        if (st->save && ofn->lpstrDefExt && *ofn->lpstrDefExt &&
            full.find('.', full.find_last_of('/') + 1) == std::string::npos)
            full += std::string(".") + ofn->lpstrDefExt;
        if ((ofn->Flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) && !IsDir(ParentOf(full))) {
            Complain(dlg, n + "\nPath does not exist.\nCheck the path and try again.");
            return;
        }
        if ((ofn->Flags & OFN_FILEMUSTEXIST) && !Exists(full)) {
            Complain(dlg, n + "\nFile not found.\nPlease verify the correct file name was given.");
            return;
        }
        if (st->save && (ofn->Flags & OFN_OVERWRITEPROMPT) && Exists(full)) {
            std::string q = n + " already exists.\nDo you want to replace it?";
            char caption[256] = {};
            GetWindowTextA(dlg, caption, sizeof caption);
            if (MessageBoxA(dlg, q.c_str(), caption, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return;
        }
        fulls.push_back(full);
    }
    std::string folder = ParentOf(fulls[0]);
    std::vector<std::string> names;
    for (const std::string& f : fulls) {
        if (ParentOf(f) != folder) {
            Complain(dlg, "The chosen files must be in one folder.");
            return;
        }
        names.push_back(f.substr(f.find_last_of('/') + 1));
    }
    LRESULT fi = SendDlgItemMessageA(dlg, kTypeCombo, CB_GETCURSEL, 0, 0);
    if (fi >= 0 && !st->filters.empty()) ofn->nFilterIndex = DWORD(fi + 1);
    st->error = PackResult(ofn, folder, names);
    if (!st->error) SetLastFolder(folder);
    EndDialog(dlg, st->error ? IDABORT : IDOK);
}

constexpr const char* kListProcProp = "VelmoraFileListProc";

// Backspace in the list goes up one folder, as in the platform's own dialog.
LRESULT CALLBACK FileListProc(HWND list, UINT msg, WPARAM wp, LPARAM lp) {
    auto prev = reinterpret_cast<WNDPROC>(GetPropA(list, kListProcProp));
    if (msg == WM_KEYDOWN && wp == VK_BACK) {
        SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(kUp, BN_CLICKED), 0);
        return 0;
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prev));
        RemovePropA(list, kListProcProp);
    }
    return prev ? CallWindowProcA(prev, list, msg, wp, lp) : DefWindowProcA(list, msg, wp, lp);
}

void Layout(HWND dlg) {
    RECT rc;
    GetClientRect(dlg, &rc);
    const int m = 8, h = 24, gap = 6, label = 96, button = 84;
    int w = rc.right, bottom = rc.bottom;
    auto place = [&](int id, int x, int y, int cx, int cy) {
        if (HWND c = GetDlgItem(dlg, id)) MoveWindow(c, x, y, std::max(cx, 1), std::max(cy, 1), TRUE);
    };
    place(kFolderLabel, m, m + 4, label - gap, h - 4);
    place(kFolderEdit, m + label, m, w - 2 * m - label - button - gap, h);
    place(kUp, w - m - button, m, button, h);
    int type_y = bottom - m - h;
    int name_y = type_y - gap - h;
    place(kList, m, m + h + gap, w - 2 * m, name_y - gap - (m + h + gap));
    place(kNameLabel, m, name_y + 4, label - gap, h - 4);
    place(kNameEdit, m + label, name_y, w - 2 * m - label - button - gap, h);
    place(IDOK, w - m - button, name_y, button, h);
    place(kTypeLabel, m, type_y + 4, label - gap, h - 4);
    place(kTypeCombo, m + label, type_y, w - 2 * m - label - button - gap, h);
    place(IDCANCEL, w - m - button, type_y, button, h);
}

INT_PTR CALLBACK FileDialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* st = reinterpret_cast<FileDialog*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG: {
        st = reinterpret_cast<FileDialog*>(lp);
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        SetCurrentDialog(dlg);
        OPENFILENAMEA* ofn = st->ofn;
        SetWindowTextA(dlg, ofn->lpstrTitle ? ofn->lpstrTitle : st->save ? "Save As" : "Open");
        for (const Filter& f : st->filters)
            SendDlgItemMessageA(dlg, kTypeCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.description.c_str()));
        if (!st->filters.empty()) {
            DWORD index = ofn->nFilterIndex ? ofn->nFilterIndex - 1 : 0;
            if (index >= st->filters.size()) index = 0;
            SendDlgItemMessageA(dlg, kTypeCombo, CB_SETCURSEL, index, 0);
        }
        // The folder: the initial folder, else the folder of a path given as the file name.
        std::string given = ofn->lpstrFile ? std::string(ofn->lpstrFile, strnlen(ofn->lpstrFile, ofn->nMaxFile)) : "";
        std::string folder;
        if (ofn->lpstrInitialDir && IsDir(Normalize(ofn->lpstrInitialDir, Cwd())))
            folder = Normalize(ofn->lpstrInitialDir, Cwd());
        if (!given.empty()) {
            std::string full = Normalize(given, folder.empty() ? Cwd() : folder);
            if (IsDir(full)) {
                if (folder.empty()) folder = full;
                given.clear();
            } else if (given.find_first_of("/\\") != std::string::npos && IsDir(ParentOf(full))) {
                if (folder.empty()) folder = ParentOf(full);
                given = full.substr(full.find_last_of('/') + 1);
            }
        }
        if (folder.empty() && IsDir(LastFolder())) folder = LastFolder();
        if (folder.empty()) folder = Cwd();
        SetDlgItemTextA(dlg, kNameEdit, given.c_str());
        HWND list = GetDlgItem(dlg, kList);
        SetPropA(list, kListProcProp, reinterpret_cast<HANDLE>(GetWindowLongPtrA(list, GWLP_WNDPROC)));
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FileListProc));
        Layout(dlg);
        Navigate(dlg, st, folder);
        // The keyboard starts in the name box, its text chosen: a typed name or path replaces it.
        HWND name = GetDlgItem(dlg, kNameEdit);
        SetFocus(name);
        SendMessageA(name, EM_SETSEL, 0, -1);
        return FALSE;  // the focus is set
    }
    case WM_SIZE: Layout(dlg); return TRUE;
    case WM_COMMAND:
        if (!st) return FALSE;
        switch (LOWORD(wp)) {
        case IDOK: OnOk(dlg, st); return TRUE;
        case IDCANCEL: EndDialog(dlg, IDCANCEL); return TRUE;
        case kUp:
            if (st->folder != "/") Navigate(dlg, st, ParentOf(st->folder));
            return TRUE;
        case kList:
            if (HIWORD(wp) == LBN_SELCHANGE) OnSelChange(dlg, st);
            else if (HIWORD(wp) == LBN_DBLCLK) {
                LRESULT caret = SendDlgItemMessageA(dlg, kList, LB_GETCARETINDEX, 0, 0);
                if (caret >= 0 && !EnterItem(dlg, st, int(caret))) {
                    OnSelChange(dlg, st);
                    OnOk(dlg, st);
                }
            }
            return TRUE;
        case kTypeCombo:
            if (HIWORD(wp) == CBN_SELCHANGE) {
                st->typed_filter = Filter{};
                Navigate(dlg, st, st->folder);
            }
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY: SetCurrentDialog(nullptr); return FALSE;
    }
    return FALSE;
}

BOOL RunFileDialog(OPENFILENAMEA* ofn, bool save) {
    SetError(0);
    if (!ofn || (ofn->lStructSize != sizeof(OPENFILENAMEA) && ofn->lStructSize != OPENFILENAME_SIZE_VERSION_400A)) {
        SetError(CDERR_STRUCTSIZE);
        return FALSE;
    }
    if (!ofn->lpstrFile || ofn->nMaxFile == 0) {
        SetError(CDERR_INITIALIZATION);
        return FALSE;
    }
    if (std::optional<FileScript> script = TakeFileScript()) {
        if (script->cancel) return FALSE;
        std::string base = script->folder.empty() ? Cwd() : Normalize(script->folder, Cwd());
        std::vector<std::string> fulls;
        for (const std::string& n : script->names) fulls.push_back(Normalize(n, base));
        if (fulls.empty()) return FALSE;
        std::string folder = ParentOf(fulls[0]);
        std::vector<std::string> names;
        for (const std::string& f : fulls) {
            if ((ofn->Flags & OFN_FILEMUSTEXIST) && !Exists(f)) return FALSE;  // the dialog would not close
            if (ParentOf(f) != folder) {  // one answer names one folder
                SetError(FNERR_INVALIDFILENAME);
                return FALSE;
            }
            names.push_back(f.substr(f.find_last_of('/') + 1));
        }
        DWORD err = PackResult(ofn, folder, names);
        SetError(err);
        return err == 0;
    }
    FileDialog st{ofn, save, ParseFilters(ofn->lpstrFilter), {}, {}, 0, {}};
    // A dialog the user may size has a sizing frame instead of the fixed modal one.
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_3DLOOK | DS_CENTER;
    style |= (ofn->Flags & OFN_ENABLESIZING) ? WS_THICKFRAME : DS_MODALFRAME;
    Template t(style, 300, 190, "Open");
    DWORD list_style = WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    if (ofn->Flags & OFN_ALLOWMULTISELECT) list_style |= LBS_EXTENDEDSEL;
    t.Item(Template::kStatic, "Look in:", kFolderLabel, SS_LEFT, 4, 4, 40, 10);
    t.Item(Template::kEdit, "", kFolderEdit, WS_BORDER | ES_AUTOHSCROLL | ES_READONLY, 48, 4, 200, 12);
    t.Item(Template::kButton, "&Up", kUp, BS_PUSHBUTTON | WS_TABSTOP, 252, 4, 44, 12);
    t.Item(Template::kListBox, "", kList, list_style, 4, 20, 292, 130);
    t.Item(Template::kStatic, "File &name:", kNameLabel, SS_LEFT, 4, 156, 40, 10);
    t.Item(Template::kEdit, "", kNameEdit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 48, 156, 200, 12);
    t.Item(Template::kButton, save ? "&Save" : "&Open", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 252, 156, 44, 12);
    t.Item(Template::kStatic, "Files of &type:", kTypeLabel, SS_LEFT, 4, 172, 40, 10);
    // The drop shows eight types; a longer filter list scrolls.
    t.Item(Template::kComboBox, "", kTypeCombo, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 48, 172, 200, 80);
    t.Item(Template::kButton, "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 252, 172, 44, 12);
    INT_PTR r = DialogBoxIndirectParamA(ofn->hInstance, t.Get(), ofn->hwndOwner, FileDialogProc,
                                        reinterpret_cast<LPARAM>(&st));
    SetCurrentDialog(nullptr);
    if (r == -1) {
        SetError(CDERR_DIALOGFAILURE);
        return FALSE;
    }
    SetError(st.error);
    return r == IDOK && st.error == 0;
}

}  // namespace
}  // namespace plat::dialogs

extern "C" {

BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA ofn) { return plat::dialogs::RunFileDialog(ofn, false); }
BOOL WINAPI GetSaveFileNameA(LPOPENFILENAMEA ofn) { return plat::dialogs::RunFileDialog(ofn, true); }

short WINAPI GetFileTitleA(LPCSTR file, LPSTR title, WORD size) {
    if (!file || !*file) return -1;
    const char* name = file;
    for (const char* p = file; *p; ++p)
        if (*p == '/' || *p == '\\') name = p + 1;
    if (!*name) return -1;
    size_t n = strlen(name);
    if (!title || size < n + 1) return short(n + 1);
    memcpy(title, name, n + 1);
    return 0;
}

}  // extern "C"
