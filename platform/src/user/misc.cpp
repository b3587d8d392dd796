// Rectangles, key translation and the small string helpers of the window system.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "user/queue.h"
#include "user/window.h"

namespace plat::user {

// Characters of keys on a US layout, unshifted and shifted.
char KeyChar(UINT vk, bool shift, bool caps) {
    if (vk >= 'A' && vk <= 'Z') return char((shift != caps) ? vk : vk + 32);
    if (vk >= '0' && vk <= '9') return shift ? ")!@#$%^&*("[vk - '0'] : char(vk);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return char('0' + (vk - VK_NUMPAD0));
    switch (vk) {
        case VK_SPACE: return ' ';
        case VK_RETURN: return '\r';
        case VK_BACK: return '\b';
        case VK_TAB: return '\t';
        case VK_ESCAPE: return 27;
        case VK_MULTIPLY: return '*';
        case VK_ADD: return '+';
        case VK_SUBTRACT: return '-';
        case VK_DECIMAL: return '.';
        case VK_DIVIDE: return '/';
        case VK_OEM_1: return shift ? ':' : ';';
        case VK_OEM_PLUS: return shift ? '+' : '=';
        case VK_OEM_COMMA: return shift ? '<' : ',';
        case VK_OEM_MINUS: return shift ? '_' : '-';
        case VK_OEM_PERIOD: return shift ? '>' : '.';
        case VK_OEM_2: return shift ? '?' : '/';
        case VK_OEM_3: return shift ? '~' : '`';
        case 0xDB: return shift ? '{' : '[';
        case 0xDC: return shift ? '|' : '\\';
        case 0xDD: return shift ? '}' : ']';
        case 0xDE: return shift ? '"' : '\'';
        default: return 0;
    }
}

}  // namespace plat::user

using plat::user::KeyChar;

extern "C" {

BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (!msg) return FALSE;
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return FALSE;
    bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
    bool caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
    UINT vk = UINT(msg->wParam);
    char c = KeyChar(vk, shift, caps);
    if (ctrl && !(msg->lParam & (1 << 29))) {
        // Control combinations give the control characters.
        if (vk >= 'A' && vk <= 'Z') c = char(vk - 'A' + 1);
        else if (vk == 0xDB) c = 27;
        else if (vk == 0xDC) c = 28;
        else if (vk == 0xDD) c = 29;
        else if (vk == VK_RETURN) c = '\n';
        else if (vk == VK_BACK) c = 127;
        else if (vk != VK_SPACE && vk != VK_TAB && vk != VK_ESCAPE) c = 0;
    }
    if (!c) return FALSE;
    UINT out = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    // Queued right behind the key, ahead of anything posted later.
    auto q = plat::user::CurrentQueue();
    MSG m{msg->hwnd, out, WPARAM(BYTE(c)), msg->lParam, msg->time, msg->pt};
    {
        std::lock_guard<std::mutex> g(q->mu);
        q->posted.push_front(m);
    }
    return TRUE;
}

UINT WINAPI MapVirtualKeyA(UINT code, UINT type) {
    // Scan codes of a PC keyboard for the keys that carry them.
    static const struct { UINT vk, scan; } kMap[] = {
        {VK_ESCAPE, 0x01}, {'1', 0x02}, {'2', 0x03}, {'3', 0x04}, {'4', 0x05}, {'5', 0x06}, {'6', 0x07},
        {'7', 0x08}, {'8', 0x09}, {'9', 0x0A}, {'0', 0x0B}, {VK_OEM_MINUS, 0x0C}, {VK_OEM_PLUS, 0x0D},
        {VK_BACK, 0x0E}, {VK_TAB, 0x0F}, {'Q', 0x10}, {'W', 0x11}, {'E', 0x12}, {'R', 0x13}, {'T', 0x14},
        {'Y', 0x15}, {'U', 0x16}, {'I', 0x17}, {'O', 0x18}, {'P', 0x19}, {VK_RETURN, 0x1C}, {VK_CONTROL, 0x1D},
        {'A', 0x1E}, {'S', 0x1F}, {'D', 0x20}, {'F', 0x21}, {'G', 0x22}, {'H', 0x23}, {'J', 0x24}, {'K', 0x25},
        {'L', 0x26}, {VK_SHIFT, 0x2A}, {'Z', 0x2C}, {'X', 0x2D}, {'C', 0x2E}, {'V', 0x2F}, {'B', 0x30},
        {'N', 0x31}, {'M', 0x32}, {VK_MENU, 0x38}, {VK_SPACE, 0x39}, {VK_CAPITAL, 0x3A}, {VK_F1, 0x3B},
        {VK_F2, 0x3C}, {VK_F3, 0x3D}, {VK_F4, 0x3E}, {VK_F5, 0x3F}, {VK_F6, 0x40}, {VK_F7, 0x41}, {VK_F8, 0x42},
        {VK_F9, 0x43}, {VK_F10, 0x44}, {VK_HOME, 0x47}, {VK_UP, 0x48}, {VK_PRIOR, 0x49}, {VK_LEFT, 0x4B},
        {VK_RIGHT, 0x4D}, {VK_END, 0x4F}, {VK_DOWN, 0x50}, {VK_NEXT, 0x51}, {VK_INSERT, 0x52}, {VK_DELETE, 0x53},
        {VK_F11, 0x57}, {VK_F12, 0x58}};
    for (auto& e : kMap) {
        if (type == 0 && e.vk == code) return e.scan;
        if (type == 1 && e.scan == code) return e.vk;
    }
    if (type == 2) {
        char c = KeyChar(code, false, false);
        return c >= 'a' && c <= 'z' ? UINT(c - 32) : UINT(BYTE(c));
    }
    return 0;
}

BOOL WINAPI SetRect(LPRECT r, int left, int top, int right, int bottom) {
    if (!r) return FALSE;
    *r = RECT{left, top, right, bottom};
    return TRUE;
}
BOOL WINAPI SetRectEmpty(LPRECT r) {
    if (!r) return FALSE;
    *r = RECT{0, 0, 0, 0};
    return TRUE;
}
BOOL WINAPI CopyRect(LPRECT dst, const RECT* src) {
    if (!dst || !src) return FALSE;
    *dst = *src;
    return TRUE;
}
BOOL WINAPI InflateRect(LPRECT r, int dx, int dy) {
    if (!r) return FALSE;
    r->left -= dx;
    r->top -= dy;
    r->right += dx;
    r->bottom += dy;
    return TRUE;
}
BOOL WINAPI OffsetRect(LPRECT r, int dx, int dy) {
    if (!r) return FALSE;
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
    return TRUE;
}
BOOL WINAPI IsRectEmpty(const RECT* r) { return !r || r->left >= r->right || r->top >= r->bottom; }
BOOL WINAPI IntersectRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) return FALSE;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right), std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(&r)) {
        *dst = RECT{0, 0, 0, 0};
        return FALSE;
    }
    *dst = r;
    return TRUE;
}
BOOL WINAPI UnionRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) return FALSE;
    if (IsRectEmpty(a)) {
        if (IsRectEmpty(b)) {
            *dst = RECT{0, 0, 0, 0};
            return FALSE;
        }
        *dst = *b;
        return TRUE;
    }
    if (IsRectEmpty(b)) {
        *dst = *a;
        return TRUE;
    }
    *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right), std::max(a->bottom, b->bottom)};
    return TRUE;
}
BOOL WINAPI SubtractRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) return FALSE;
    RECT r = *a;
    RECT i;
    if (IntersectRect(&i, a, b)) {
        // Only a cut that leaves a rectangle shrinks it.
        if (i.top == r.top && i.bottom == r.bottom) {
            if (i.left == r.left) r.left = i.right;
            else if (i.right == r.right) r.right = i.left;
        } else if (i.left == r.left && i.right == r.right) {
            if (i.top == r.top) r.top = i.bottom;
            else if (i.bottom == r.bottom) r.bottom = i.top;
        }
    }
    *dst = r;
    return !IsRectEmpty(&r);
}
BOOL WINAPI EqualRect(const RECT* a, const RECT* b) {
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}
BOOL WINAPI PtInRect(const RECT* r, POINT p) {
    return r && p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom;
}

// wsprintf: the platform's small formatter. Its "l" means 32 bits (LONG), unlike the C
// library on this platform, and its output stops at 1024 characters.
int WINAPI wvsprintfA(LPSTR out, LPCSTR fmt, va_list args) {
    if (!out || !fmt) return 0;
    const int kMax = 1024;
    std::string s;
    for (const char* p = fmt; *p && int(s.size()) < kMax - 1; ++p) {
        if (*p != '%') {
            s += *p;
            continue;
        }
        ++p;
        if (*p == '%') {
            s += '%';
            continue;
        }
        bool left = false, zero = false, hash = false;
        for (;; ++p) {
            if (*p == '-') left = true;
            else if (*p == '0') zero = true;
            else if (*p == '#') hash = true;
            else break;
        }
        int width = 0, prec = -1;
        while (isdigit(static_cast<unsigned char>(*p))) width = width * 10 + (*p++ - '0');
        if (*p == '.') {
            prec = 0;
            ++p;
            while (isdigit(static_cast<unsigned char>(*p))) prec = prec * 10 + (*p++ - '0');
        }
        bool wide64 = false;
        if (*p == 'l' || *p == 'h') ++p;
        else if (p[0] == 'I' && p[1] == '6' && p[2] == '4') {
            wide64 = true;
            p += 3;
        }
        std::string field;
        char conv = *p;
        switch (conv) {
            case 'd':
            case 'i': {
                long long v = wide64 ? va_arg(args, long long) : (long long)va_arg(args, int);
                field = std::to_string(v);
                break;
            }
            case 'u': {
                unsigned long long v = wide64 ? va_arg(args, unsigned long long) : (unsigned long long)va_arg(args, unsigned);
                field = std::to_string(v);
                break;
            }
            case 'x':
            case 'X': {
                unsigned long long v = wide64 ? va_arg(args, unsigned long long) : (unsigned long long)va_arg(args, unsigned);
                char b[32];
                snprintf(b, sizeof(b), conv == 'x' ? "%llx" : "%llX", v);
                field = b;
                if (hash && v) field = (conv == 'x' ? "0x" : "0X") + field;
                break;
            }
            case 'p': {
                void* v = va_arg(args, void*);
                char b[32];
                snprintf(b, sizeof(b), "%016llX", (unsigned long long)(uintptr_t)v);
                field = b;
                break;
            }
            case 'c': field = char(va_arg(args, int)); break;
            case 's':
            case 'S': {
                const char* v = va_arg(args, const char*);
                field = v ? v : "(null)";
                if (prec >= 0 && int(field.size()) > prec) field.resize(size_t(prec));
                break;
            }
            case 0: --p; continue;
            default: field = conv; break;
        }
        if ((conv == 'd' || conv == 'i' || conv == 'u' || conv == 'x' || conv == 'X') && prec > int(field.size()))
            field.insert(0, size_t(prec) - field.size(), '0');
        if (int(field.size()) < width) {
            size_t pad = size_t(width) - field.size();
            if (left) field.append(pad, ' ');
            else if (zero && conv != 's' && conv != 'c') {
                size_t at = (!field.empty() && field[0] == '-') ? 1 : 0;
                field.insert(at, pad, '0');
            } else field.insert(0, pad, ' ');
        }
        s += field;
    }
    if (int(s.size()) > kMax - 1) s.resize(kMax - 1);
    memcpy(out, s.c_str(), s.size() + 1);
    return int(s.size());
}

int WINAPI wsprintfA(LPSTR out, LPCSTR fmt, ...) {
    va_list a;
    va_start(a, fmt);
    int n = wvsprintfA(out, fmt, a);
    va_end(a);
    return n;
}

LPSTR WINAPI CharUpperA(LPSTR s) {
    if (IS_INTRESOURCE(s)) return reinterpret_cast<LPSTR>(uintptr_t(toupper(int(reinterpret_cast<uintptr_t>(s) & 0xFF))));
    for (char* p = s; *p; ++p) *p = char(toupper(static_cast<unsigned char>(*p)));
    return s;
}
LPSTR WINAPI CharLowerA(LPSTR s) {
    if (IS_INTRESOURCE(s)) return reinterpret_cast<LPSTR>(uintptr_t(tolower(int(reinterpret_cast<uintptr_t>(s) & 0xFF))));
    for (char* p = s; *p; ++p) *p = char(tolower(static_cast<unsigned char>(*p)));
    return s;
}
// Narrow text is UTF-8: a character is a lead byte and its continuation bytes.
LPSTR WINAPI CharNextA(LPCSTR s) {
    if (!s || !*s) return const_cast<LPSTR>(s);
    ++s;
    while ((static_cast<unsigned char>(*s) & 0xC0) == 0x80) ++s;
    return const_cast<LPSTR>(s);
}
LPSTR WINAPI CharPrevA(LPCSTR start, LPCSTR s) {
    if (!start || !s || s <= start) return const_cast<LPSTR>(start);
    --s;
    while (s > start && (static_cast<unsigned char>(*s) & 0xC0) == 0x80) --s;
    return const_cast<LPSTR>(s);
}

}  // extern "C"
