// Registration of the standard controls and the helpers they share.
#include "controls/common.h"

#include "user/classes.h"

namespace plat::controls {

LRESULT CALLBACK DialogClassProc(HWND, UINT, WPARAM, LPARAM);

void RegisterStandardClasses() {
    const int ptr = int(sizeof(void*));
    const HBRUSH face = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1));
    const user::SystemClassSetup kClasses[] = {
        {"Button", ButtonProc, ptr, CS_DBLCLKS, nullptr},
        {"Static", StaticProc, ptr, CS_DBLCLKS, nullptr},
        {"Edit", EditProc, ptr, CS_DBLCLKS, nullptr},
        {"RICHEDIT", RichEditProc, 2 * ptr, CS_DBLCLKS, nullptr},
        {"RichEdit20A", RichEditProc, 2 * ptr, CS_DBLCLKS, nullptr},  // the same control's later name
        {"ListBox", ListBoxProc, ptr, CS_DBLCLKS, nullptr},
        {"ComboLBox", ComboLBoxProc, ptr, CS_DBLCLKS | CS_SAVEBITS, nullptr},
        {"ComboBox", ComboProc, ptr, CS_DBLCLKS, nullptr},
        {"ScrollBar", ScrollBarProc, ptr, CS_DBLCLKS, nullptr},
        {"MDIClient", MdiClientProc, ptr, 0, reinterpret_cast<HBRUSH>(uintptr_t(COLOR_APPWORKSPACE + 1))},
        {"#32770", DialogClassProc, DLGWINDOWEXTRA, CS_DBLCLKS | CS_SAVEBITS, face},
    };
    for (const auto& c : kClasses) user::RegisterSystemClass(c);
}

void Notify(HWND ctl, int code) {
    HWND parent = GetParent(ctl);
    if (!parent) return;
    int id = GetDlgCtrlID(ctl);
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id & 0xFFFF, code & 0xFFFF), reinterpret_cast<LPARAM>(ctl));
}

HBRUSH ControlColor(HWND ctl, HDC dc, UINT msg) {
    HWND parent = GetParent(ctl);
    HBRUSH b = nullptr;
    if (parent) b = reinterpret_cast<HBRUSH>(SendMessageA(parent, msg, reinterpret_cast<WPARAM>(dc),
                                                          reinterpret_cast<LPARAM>(ctl)));
    if (!b) b = reinterpret_cast<HBRUSH>(DefWindowProcA(ctl, msg, reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(ctl)));
    return b;
}

HFONT DefaultFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

std::string WindowText(HWND h) {
    int n = GetWindowTextLengthA(h);
    std::string s(size_t(n) + 1, '\0');
    int got = GetWindowTextA(h, &s[0], n + 1);
    s.resize(size_t(got > 0 ? got : 0));
    return s;
}

char Mnemonic(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return text[i + 1];
    }
    return 0;
}

}  // namespace plat::controls
