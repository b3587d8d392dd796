// Window-system objects built from the program's resources: menus, bitmaps, icons and images.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "user/res_objects.h"

#include "res/resources.h"
#include "user/icon_files.h"
#include "user/icons.h"
#include "windows.h"

using namespace plat::res;
using plat::user::LoadIconFile;

namespace {

bool AppendItems(HMENU menu, const std::vector<MenuItem>& items) {
    for (const MenuItem& it : items) {
        // Template flags that are menu states (grayed, checked, breaks...) pass through.
        UINT flags = it.flags & ~UINT(0x80 | 0x10);
        if (it.flags & 0x10) {
            HMENU sub = CreatePopupMenu();
            if (!sub || !AppendItems(sub, it.children) ||
                !AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), it.text.c_str())) {
                if (sub) DestroyMenu(sub);
                return false;
            }
        } else if (it.IsSeparator()) {
            if (!AppendMenuA(menu, MF_SEPARATOR, 0, nullptr)) return false;
        } else if (!AppendMenuA(menu, flags | MF_STRING, it.id, it.text.c_str())) {
            return false;
        }
    }
    return true;
}

HMENU BuildMenu(const void* data, size_t size) {
    std::vector<MenuItem> items;
    if (!ParseMenuTemplate(data, size, &items)) return nullptr;
    HMENU menu = CreateMenu();
    if (!menu) return nullptr;
    if (!AppendItems(menu, items)) {
        DestroyMenu(menu);
        return nullptr;
    }
    return menu;
}

// A DIB as stored in resources and .bmp files: header, colour table, bits.
struct Dib {
    const BITMAPINFO* info = nullptr;
    const BYTE* bits = nullptr;
};

bool ReadDib(const BYTE* p, size_t size, Dib* out) {
    if (size < sizeof(BITMAPINFOHEADER)) return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, p, sizeof h);
    if (h.biSize < sizeof h || h.biSize > size || h.biWidth <= 0 || h.biHeight == 0 || h.biPlanes != 1) return false;
    if (h.biWidth > 16384 || h.biHeight > 16384 || h.biHeight < -16384) return false;
    size_t colours = h.biClrUsed ? h.biClrUsed : (h.biBitCount <= 8 ? (1u << h.biBitCount) : 0);
    if (h.biCompression == 3 /* BI_BITFIELDS */) colours = 3;
    size_t header = h.biSize + colours * 4;
    size_t stride = ((size_t(h.biWidth) * h.biBitCount + 31) / 32) * 4;
    size_t rows = size_t(h.biHeight < 0 ? -h.biHeight : h.biHeight);
    if (header > size || stride * rows > size - header) return false;
    out->info = reinterpret_cast<const BITMAPINFO*>(p);
    out->bits = p + header;
    return true;
}

HBITMAP BitmapFromDib(const Dib& d, bool dib_section) {
    // The resource bytes may be unaligned for the header's fields: copy the header out.
    std::vector<BYTE> info(reinterpret_cast<const BYTE*>(d.info), d.bits);
    auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
    if (dib_section) {
        void* bits = nullptr;
        HBITMAP b = CreateDIBSection(nullptr, bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!b || !bits) return b;
        const BITMAPINFOHEADER& h = bmi->bmiHeader;
        size_t stride = ((size_t(h.biWidth) * h.biBitCount + 31) / 32) * 4;
        std::memcpy(bits, d.bits, stride * size_t(h.biHeight < 0 ? -h.biHeight : h.biHeight));
        return b;
    }
    HDC screen = GetDC(nullptr);
    HBITMAP b = CreateDIBitmap(screen, &bmi->bmiHeader, CBM_INIT, d.bits, bmi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return b;
}

HBITMAP LoadBitmapResource(LPCSTR name, bool dib_section) {
    const Resource* r = Find(MAKEINTRESOURCEA(2), name);
    Dib d;
    if (!r || !ReadDib(r->data, r->size, &d)) return nullptr;
    return BitmapFromDib(d, dib_section);
}

HBITMAP LoadBitmapFile(LPCSTR path, bool dib_section) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return nullptr;
    // The info header follows the 14-byte file header: two bytes in front of the file keep it
    // on a 4-byte boundary, where the records it is read as must lie.
    constexpr size_t kLead = 2;
    std::vector<BYTE> storage(kLead);
    BYTE buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) storage.insert(storage.end(), buf, buf + n);
    std::fclose(f);
    const BYTE* bytes = storage.data() + kLead;
    const size_t size = storage.size() - kLead;
    if (size < 14 || bytes[0] != 'B' || bytes[1] != 'M') return nullptr;
    DWORD offset;
    std::memcpy(&offset, bytes + 10, 4);
    Dib d;
    if (!ReadDib(bytes + 14, size - 14, &d)) return nullptr;
    if (offset >= 14 + sizeof(BITMAPINFOHEADER) && offset < size) {
        // The file names where its bits start; they must all lie inside it.
        const BITMAPINFOHEADER& h = d.info->bmiHeader;
        size_t stride = ((size_t(h.biWidth) * h.biBitCount + 31) / 32) * 4;
        size_t rows = size_t(h.biHeight < 0 ? -h.biHeight : h.biHeight);
        if (stride * rows > size - offset) return nullptr;
        d.bits = bytes + offset;
    }
    return BitmapFromDib(d, dib_section);
}

// An icon or cursor image of the resources (a cursor's starts with its hot spot).
HICON IconFromImage(const Resource* img, bool icon) {
    if (!img) return nullptr;
    const BYTE* p = img->data;
    size_t size = img->size;
    POINT hot{0, 0};
    if (!icon) {  // cursor images start with their hot spot
        if (size < 4) return nullptr;
        WORD x, y;
        std::memcpy(&x, p, 2);
        std::memcpy(&y, p + 2, 2);
        hot = {x, y};
        p += 4;
        size -= 4;
    }
    return plat::user::IconFromDib(p, size, hot, icon);
}

// The light mark of a stock icon at (dx, dy) from its centre: "x" for a stop, "?" for a
// question, "i" for information, "!" for a warning and for the application icons.
bool StockIconMark(uintptr_t id, double dx, double dy) {
    const double ax = std::abs(dx);
    switch (id) {
        case 32513:  // IDI_HAND
            return ax < 7 && std::abs(dy) < 7 && (std::abs(dx - dy) < 2.5 || std::abs(dx + dy) < 2.5);
        case 32514: {  // IDI_QUESTION: an arc over a short stem, and a dot
            double ry = dy + 3, r2 = dx * dx + ry * ry;
            bool arc = r2 >= 3.5 * 3.5 && r2 <= 6.5 * 6.5 && (ry <= 0 || (dx >= 0 && ry < 2.5));
            bool stem = ax < 2 && dy >= 1.5 && dy < 4.5;
            bool dot = ax < 2 && dy > 6 && dy < 9;
            return arc || stem || dot;
        }
        case 32516:  // IDI_ASTERISK: a dot over a bar
            return ax < 2.5 && ((dy > -9 && dy < -5.5) || (dy > -3 && dy < 9));
        default:  // a bar over a dot
            return ax < 2.5 && dy > -9 && dy < 9 && !(dy > 3 && dy < 5.5);
    }
}

// The system's stock icons, drawn here: a round badge in the icon's colour with a light mark.
HICON SystemIcon(uintptr_t id) {
    COLORREF fill;
    switch (id) {
        case 32512: fill = RGB(0x40, 0x70, 0xC0); break;   // IDI_APPLICATION
        case 32513: fill = RGB(0xD0, 0x20, 0x20); break;   // IDI_HAND
        case 32514: fill = RGB(0x30, 0x60, 0xD0); break;   // IDI_QUESTION
        case 32515: fill = RGB(0xE8, 0xC0, 0x20); break;   // IDI_EXCLAMATION
        case 32516: fill = RGB(0x30, 0x60, 0xD0); break;   // IDI_ASTERISK
        case 32517: fill = RGB(0x40, 0x70, 0xC0); break;   // IDI_WINLOGO
        default: return nullptr;
    }
    const int s = 32;
    std::vector<BYTE> img(40 + s * s * 4 + s * 4, 0);
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = s;
    h.biHeight = s * 2;
    h.biPlanes = 1;
    h.biBitCount = 32;
    std::memcpy(img.data(), &h, 40);
    BYTE* px = img.data() + 40;
    BYTE* mask = px + s * s * 4;
    for (int y = 0; y < s; ++y)
        for (int x = 0; x < s; ++x) {
            double dx = x + 0.5 - s / 2.0, dy = y + 0.5 - s / 2.0;
            bool in = dx * dx + dy * dy <= (s / 2.0 - 1) * (s / 2.0 - 1);
            bool mark = in && StockIconMark(id, dx, dy);
            BYTE* p = px + (size_t(s - 1 - y) * s + x) * 4;
            if (!in) {
                mask[(s - 1 - y) * 4 + x / 8] |= BYTE(0x80 >> (x % 8));
                continue;
            }
            COLORREF c = mark ? RGB(255, 255, 255) : fill;
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
            p[3] = 255;
        }
    Resource r;
    r.data = img.data();
    r.size = DWORD(img.size());
    return IconFromImage(&r, true);
}

// Icons and cursors loaded as shared ones (LoadIcon, LoadCursor, LoadImage with LR_SHARED):
// one per resource and size, kept for the layer's lifetime, as the platform keeps them.
HICON SharedIcon(const char* name, bool cursor, int cx, int cy) {
    std::string key = IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<uintptr_t>(name)) : name;
    for (auto& ch : key) ch = char(std::tolower(static_cast<unsigned char>(ch)));
    key += (cursor ? "/cursor/" : "/icon/") + std::to_string(cx) + "x" + std::to_string(cy);
    static std::mutex mu;
    static auto* cache = new std::map<std::string, HICON>;
    std::lock_guard<std::mutex> g(mu);
    auto it = cache->find(key);
    if (it != cache->end()) return it->second;  // shared icons are never destroyed
    HICON h = IconFromImage(BestIconImage(name, cursor, cx, cy), !cursor);
    if (!h) return nullptr;
    plat::gdi::MarkIconShared(h);
    (*cache)[key] = h;
    return h;
}

}  // namespace

namespace plat::user {
HCURSOR LoadCursorResource(const char* name, int cx, int cy) { return SharedIcon(name, true, cx, cy); }
}  // namespace plat::user

WINUSERAPI HMENU WINAPI LoadMenuIndirectA(const void* tmpl) {
    // A template given by pointer has no known size; templates are bounded by their end marks.
    return tmpl ? BuildMenu(tmpl, size_t(1) << 20) : nullptr;
}

WINUSERAPI HMENU WINAPI LoadMenuA(HINSTANCE, LPCSTR name) {
    const Resource* r = Find(MAKEINTRESOURCEA(4), name);
    return r ? BuildMenu(r->data, r->size) : nullptr;
}

WINUSERAPI HBITMAP WINAPI LoadBitmapA(HINSTANCE, LPCSTR name) { return name ? LoadBitmapResource(name, false) : nullptr; }

WINUSERAPI HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (!name) return nullptr;
    if (!instance && IS_INTRESOURCE(name)) {
        // Stock icons are shared, as the system's are: made once, never destroyed.
        static HICON cache[6];
        uintptr_t id = reinterpret_cast<uintptr_t>(name);
        if (id >= 32512 && id <= 32517) {
            HICON& c = cache[id - 32512];
            if (!c) {
                c = SystemIcon(id);
                plat::gdi::MarkIconShared(c);
            }
            return c;
        }
    }
    int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    return SharedIcon(name, false, cx > 0 ? cx : 32, cy > 0 ? cy : 32);
}

WINUSERAPI HANDLE WINAPI LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
    if (!name) return nullptr;
    switch (type) {
        case IMAGE_BITMAP:
            if (flags & LR_LOADFROMFILE)
                return IS_INTRESOURCE(name) ? nullptr : LoadBitmapFile(name, flags & LR_CREATEDIBSECTION);
            return LoadBitmapResource(name, flags & LR_CREATEDIBSECTION);
        case IMAGE_ICON:
        case IMAGE_CURSOR: {
            bool icon = type == IMAGE_ICON;
            if (!instance && IS_INTRESOURCE(name) && !(flags & LR_LOADFROMFILE))
                return icon ? HANDLE(LoadIconA(nullptr, name)) : HANDLE(LoadCursorA(nullptr, name));
            if (flags & LR_DEFAULTSIZE) {
                if (!cx) cx = GetSystemMetrics(icon ? SM_CXICON : SM_CXCURSOR);
                if (!cy) cy = GetSystemMetrics(icon ? SM_CYICON : SM_CYCURSOR);
            }
            if (flags & LR_LOADFROMFILE) return IS_INTRESOURCE(name) ? nullptr : LoadIconFile(name, cx, cy, icon);
            if (flags & LR_SHARED) return SharedIcon(name, !icon, cx, cy);
            // Size 0 without LR_DEFAULTSIZE means the resource's own (largest) image.
            return IconFromImage(BestIconImage(name, !icon, cx, cy), icon);
        }
        default:
            return nullptr;
    }
}
