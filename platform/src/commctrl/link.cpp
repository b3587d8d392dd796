// The link control: text with <a href="..." id="..."> links in it, wrapped at words, the links
// drawn in the link colour and underlined, each with its states, and a click or Enter on one
// told to the parent with the link's index, id and address.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "commctrl/common.h"
#include "windlg.h"

namespace plat::commctrl {
namespace {

struct Link {
    std::string id, url;
    UINT state = LIS_ENABLED;
};

struct Word {
    std::string text;
    int link = -1;
    RECT rect{};
};

struct LinkCtl {
    HWND hwnd = nullptr;
    std::vector<Link> links;
    std::vector<Word> words;  // the text cut at spaces, spaces kept with the word before
    int focus = -1;
    int pressed = -1;
    HFONT font = nullptr;
    HFONT underline = nullptr;  // the font with an underline, made from `font`
};

LinkCtl* L(HWND h) { return State<LinkCtl>(h); }

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The value of attribute `name` in the inside of a tag ("a href=\"x\" id=y").
std::string Attribute(const std::string& tag, const char* name) {
    std::string low = Lower(tag);
    size_t at = 0, n = strlen(name);
    while ((at = low.find(name, at)) != std::string::npos) {
        size_t eq = at + n;
        bool starts = at > 0 && std::isspace(static_cast<unsigned char>(low[at - 1]));
        while (eq < low.size() && low[eq] == ' ') ++eq;
        if (!starts || eq >= low.size() || low[eq] != '=') {
            at += n;
            continue;
        }
        size_t v = eq + 1;
        while (v < tag.size() && tag[v] == ' ') ++v;
        if (v < tag.size() && (tag[v] == '"' || tag[v] == '\'')) {
            size_t end = tag.find(tag[v], v + 1);
            return tag.substr(v + 1, end == std::string::npos ? std::string::npos : end - v - 1);
        }
        size_t end = tag.find(' ', v);
        return tag.substr(v, end == std::string::npos ? std::string::npos : end - v);
    }
    return "";
}

void AddText(LinkCtl& s, const std::string& text, int link) {
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '\n') {
            s.words.push_back(Word{"\n", link, {}});
            ++i;
            continue;
        }
        size_t end = i;
        while (end < text.size() && text[end] != ' ' && text[end] != '\n') ++end;
        while (end < text.size() && text[end] == ' ') ++end;
        s.words.push_back(Word{text.substr(i, end - i), link, {}});
        i = end;
    }
}

// Cuts the window text into words and links; an <a> never closed runs to the end.
void Parse(LinkCtl& s, const std::string& text) {
    s.links.clear();
    s.words.clear();
    int open = -1;
    size_t i = 0;
    std::string run;
    while (i < text.size()) {
        size_t lt = text.find('<', i);
        if (lt == std::string::npos) {
            run += text.substr(i);
            break;
        }
        size_t gt = text.find('>', lt);
        std::string inside = gt == std::string::npos ? "" : text.substr(lt + 1, gt - lt - 1);
        std::string low = Lower(inside);
        bool opens = open < 0 && (low == "a" || low.rfind("a ", 0) == 0);
        bool closes = open >= 0 && low == "/a";
        if (!opens && !closes) {
            run += text.substr(i, lt - i + 1);  // a '<' that starts no tag stands as it is
            i = lt + 1;
            continue;
        }
        run += text.substr(i, lt - i);
        AddText(s, run, open);
        run.clear();
        if (opens) {
            s.links.push_back(Link{Attribute(inside, "id"), Attribute(inside, "href"), LIS_ENABLED});
            open = int(s.links.size()) - 1;
        } else {
            open = -1;
        }
        i = gt + 1;
    }
    AddText(s, run, open);
}

HFONT UnderlineOf(LinkCtl& s) {
    if (s.underline) return s.underline;
    LOGFONTA lf{};
    GetObjectA(FontOr(s.font), sizeof lf, &lf);
    lf.lfUnderline = TRUE;
    s.underline = CreateFontIndirectA(&lf);
    return s.underline;
}

// Places the words in lines as wide as the control; returns the height they take.
int Layout(HWND h, LinkCtl& s) {
    RECT cr;
    GetClientRect(h, &cr);
    int line = LineHeight(s.font), x = 0, y = 0;
    for (Word& w : s.words) {
        if (w.text == "\n") {
            w.rect = RECT{x, y, x, y + line};
            x = 0;
            y += line;
            continue;
        }
        int width = TextWidth(s.font, w.text);
        if (x > 0 && x + width > cr.right) {
            x = 0;
            y += line;
        }
        w.rect = RECT{x, y, x + width, y + line};
        x += width;
    }
    return s.words.empty() ? 0 : y + line;
}

int LinkAt(HWND h, LinkCtl& s, POINT p) {
    Layout(h, s);
    for (const Word& w : s.words)
        if (w.link >= 0 && PtInRect(&w.rect, p)) return w.link;
    return -1;
}

void Paint(HWND h, LinkCtl& s, HDC dc) {
    RECT cr;
    GetClientRect(h, &cr);
    if (!(GetWindowLongA(h, GWL_STYLE) & LWS_TRANSPARENT)) {
        HBRUSH b = reinterpret_cast<HBRUSH>(
            SendMessageA(GetParent(h), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h)));
        if (!L(h)) return;
        if (b) FillRect(dc, &cr, b);
        else FillSolid(dc, cr, Sys(COLOR_BTNFACE));
    }
    Layout(h, s);
    SetBkMode(dc, TRANSPARENT);
    bool enabled = IsWindowEnabled(h) != 0;
    for (const Word& w : s.words) {
        bool link = w.link >= 0;
        bool live = link && enabled && (s.links[size_t(w.link)].state & LIS_ENABLED);
        HGDIOBJ old = SelectObject(dc, link ? UnderlineOf(s) : FontOr(s.font));
        SetTextColor(dc, !enabled ? Sys(COLOR_GRAYTEXT) : live ? Sys(COLOR_HOTLIGHT) : Sys(COLOR_WINDOWTEXT));
        std::string t = w.text;
        while (link && !t.empty() && t.back() == ' ') t.pop_back();  // no underlined gap after a link
        if (t != "\n") TextOutA(dc, w.rect.left, w.rect.top, t.c_str(), int(t.size()));
        SelectObject(dc, old);
    }
    if (s.focus >= 0 && GetFocus() == h) {
        RECT f{};
        for (const Word& w : s.words)
            if (w.link == s.focus) UnionRect(&f, IsRectEmpty(&f) ? &w.rect : &f, &w.rect);
        SetTextColor(dc, Sys(COLOR_WINDOWTEXT));
        SetBkColor(dc, Sys(COLOR_WINDOW));
        if (!IsRectEmpty(&f)) DrawFocusRect(dc, &f);
    }
}

// ---- items ----

std::u16string Wide(const std::string& s) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), int(s.size()), nullptr, 0);
    std::u16string w(size_t(std::max(n, 0)), u'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, s.c_str(), int(s.size()), &w[0], n);
    return w;
}

std::string Narrow(const WCHAR* w, size_t cap) {
    size_t n = 0;
    while (n < cap && w[n]) ++n;
    int len = WideCharToMultiByte(CP_UTF8, 0, w, int(n), nullptr, 0, nullptr, nullptr);
    std::string s(size_t(std::max(len, 0)), '\0');
    if (len > 0) WideCharToMultiByte(CP_UTF8, 0, w, int(n), &s[0], len, nullptr, nullptr);
    return s;
}

void CopyWide(const std::string& s, WCHAR* out, size_t cap) {
    std::u16string w = Wide(s);
    size_t n = std::min(w.size(), cap - 1);
    std::copy(w.begin(), w.begin() + long(n), out);
    out[n] = 0;
}

void FillItem(const LinkCtl& s, int k, UINT mask, LITEM* it) {
    const Link& l = s.links[size_t(k)];
    it->iLink = k;
    if (mask & LIF_STATE) it->state = (l.state | (k == s.focus ? LIS_FOCUSED : 0)) & it->stateMask;
    if (mask & LIF_ITEMID) CopyWide(l.id, it->szID, MAX_LINKID_TEXT);
    if (mask & LIF_URL) CopyWide(l.url, it->szUrl, L_MAX_URL_LENGTH);
}

void NotifyLink(HWND h, UINT code, int k) {
    LinkCtl* s = L(h);
    if (!s || k < 0 || k >= int(s->links.size())) return;
    NMLINK nm{};
    nm.item.mask = LIF_ITEMINDEX | LIF_STATE | LIF_ITEMID | LIF_URL;
    nm.item.stateMask = LIS_FOCUSED | LIS_ENABLED | LIS_VISITED;
    FillItem(*s, k, nm.item.mask, &nm.item);
    SendNotify(h, code, &nm.hdr);
}

LRESULT OnHitTest(HWND h, LinkCtl& s, LHITTESTINFO* ht) {
    if (!ht) return FALSE;
    int k = LinkAt(h, s, ht->pt);
    if (k < 0) return FALSE;
    ht->item.stateMask = LIS_FOCUSED | LIS_ENABLED | LIS_VISITED;
    FillItem(s, k, LIF_ITEMINDEX | LIF_STATE | LIF_ITEMID | LIF_URL, &ht->item);
    return TRUE;
}

LRESULT OnGetItem(LinkCtl& s, LITEM* it) {
    if (!it || !(it->mask & LIF_ITEMINDEX) || it->iLink < 0 || it->iLink >= int(s.links.size())) return FALSE;
    FillItem(s, it->iLink, it->mask, it);
    return TRUE;
}

LRESULT OnSetItem(HWND h, LinkCtl& s, const LITEM* it) {
    if (!it || !(it->mask & LIF_ITEMINDEX) || it->iLink < 0 || it->iLink >= int(s.links.size())) return FALSE;
    Link& l = s.links[size_t(it->iLink)];
    if (it->mask & LIF_STATE) {
        UINT mask = it->stateMask & (LIS_ENABLED | LIS_VISITED);
        l.state = (l.state & ~mask) | (it->state & mask);
        if (it->stateMask & LIS_FOCUSED) s.focus = (it->state & LIS_FOCUSED) ? it->iLink : (s.focus == it->iLink ? -1 : s.focus);
    }
    if (it->mask & LIF_ITEMID) l.id = Narrow(it->szID, MAX_LINKID_TEXT);
    if (it->mask & LIF_URL) l.url = Narrow(it->szUrl, L_MAX_URL_LENGTH);
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

// ---- mouse, keys, text ----

bool Usable(HWND h, const LinkCtl& s, int k) {
    return k >= 0 && k < int(s.links.size()) && (s.links[size_t(k)].state & LIS_ENABLED) && IsWindowEnabled(h);
}

LRESULT OnLButtonDown(HWND h, LinkCtl& s, LPARAM l) {
    int k = LinkAt(h, s, POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)});
    if (!Usable(h, s, k)) return 0;
    s.focus = s.pressed = k;
    SetFocus(h);
    if (!L(h)) return 0;
    SetCapture(h);
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnLButtonUp(HWND h, LinkCtl& s, LPARAM l) {
    int pressed = s.pressed;
    s.pressed = -1;
    if (GetCapture() == h) ReleaseCapture();
    if (pressed >= 0 && LinkAt(h, s, POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}) == pressed) NotifyLink(h, NM_CLICK, pressed);
    return 0;
}

LRESULT OnSetCursor(HWND h, LinkCtl& s, WPARAM w, LPARAM l) {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(h, &p);
    if (Usable(h, s, LinkAt(h, s, p))) {
        SetCursor(LoadCursorA(nullptr, IDC_HAND));
        return TRUE;
    }
    return DefWindowProcA(h, WM_SETCURSOR, w, l);
}

// The next usable link from the focused one in the direction given; -1 when there is none.
int NextLink(HWND h, const LinkCtl& s, int dir) {
    for (int k = s.focus + dir; k >= 0 && k < int(s.links.size()); k += dir)
        if (Usable(h, s, k)) return k;
    return -1;
}

LRESULT OnGetDlgCode(HWND h, LinkCtl& s) {
    // Tab stays inside while there is another link to go to.
    int dir = GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
    return DLGC_WANTCHARS | (NextLink(h, s, dir) >= 0 ? DLGC_WANTTAB : 0);
}

LRESULT OnKeyDown(HWND h, LinkCtl& s, WPARAM vk) {
    if (vk == VK_TAB) {
        int k = NextLink(h, s, GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
        if (k >= 0) {
            s.focus = k;
            InvalidateRect(h, nullptr, TRUE);
        }
        return 0;
    }
    bool enter = vk == VK_RETURN && !(GetWindowLongA(h, GWL_STYLE) & LWS_IGNORERETURN);
    if ((enter || vk == VK_SPACE) && Usable(h, s, s.focus)) NotifyLink(h, NM_RETURN, s.focus);
    return 0;
}

LRESULT OnSetFocus(HWND h, LinkCtl& s) {
    if (!Usable(h, s, s.focus)) {
        s.focus = -1;
        s.focus = NextLink(h, s, 1);
    }
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnSetText(HWND h, LinkCtl& s, LPARAM l) {
    LRESULT r = DefWindowProcA(h, WM_SETTEXT, 0, l);
    Parse(s, l ? reinterpret_cast<const char*>(l) : "");
    s.focus = s.pressed = -1;
    InvalidateRect(h, nullptr, TRUE);
    return r;
}

LRESULT OnCreate(LinkCtl& s, const CREATESTRUCTA* cs) {
    if (cs && cs->lpszName) Parse(s, cs->lpszName);
    return 0;
}

LRESULT OnSetFont(HWND h, LinkCtl& s, WPARAM w, LPARAM l) {
    s.font = reinterpret_cast<HFONT>(w);
    if (s.underline) DeleteObject(s.underline);
    s.underline = nullptr;
    if (LOWORD(l)) InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT OnDestroy(HWND h, UINT m, WPARAM w, LPARAM l, LinkCtl* s) {
    if (s->underline) DeleteObject(s->underline);
    return FreeState(h, m, w, l, s);
}

}  // namespace

LRESULT CALLBACK LinkProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    LinkCtl* s = AttachState<LinkCtl>(h, m);
    if (!s) return DefWindowProcA(h, m, w, l);
    switch (m) {
        case WM_NCDESTROY: return OnDestroy(h, m, w, l, s);
        case WM_CREATE: return OnCreate(*s, reinterpret_cast<const CREATESTRUCTA*>(l));
        case WM_ERASEBKGND: return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: return PaintOrPrint(h, m, w, [&](HDC dc) { Paint(h, *s, dc); });
        case WM_SIZE:
        case WM_ENABLE:
        case WM_KILLFOCUS: InvalidateRect(h, nullptr, TRUE); return 0;
        case WM_SETFOCUS: return OnSetFocus(h, *s);
        case WM_SETTEXT: return OnSetText(h, *s, l);
        case WM_SETFONT: return OnSetFont(h, *s, w, l);
        case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
        case WM_SETCURSOR: return OnSetCursor(h, *s, w, l);
        case WM_GETDLGCODE: return OnGetDlgCode(h, *s);
        case WM_LBUTTONDOWN: return OnLButtonDown(h, *s, l);
        case WM_LBUTTONUP: return OnLButtonUp(h, *s, l);
        case WM_KEYDOWN: return OnKeyDown(h, *s, w);
        case LM_HITTEST: return OnHitTest(h, *s, reinterpret_cast<LHITTESTINFO*>(l));
        case LM_GETITEM: return OnGetItem(*s, reinterpret_cast<LITEM*>(l));
        case LM_SETITEM: return OnSetItem(h, *s, reinterpret_cast<const LITEM*>(l));
        case LM_GETIDEALHEIGHT: return Layout(h, *s);
    }
    return DefWindowProcA(h, m, w, l);
}

}  // namespace plat::commctrl
