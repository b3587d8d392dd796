// Images in the markup: "bmp" (a bitmap), "icon" and "ilst" (one cell of a strip or of the
// renderer's image list), from a resource, a file or a handle, placed like a word in the line
// and drawn through the effects manager; and the tiled background of a table.
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "MarkupRenderer.h"

struct MarkupImageAttributes {
    int index = 0;
    UINT resourceId = 0;
    UINT resourceId2 = 0;
    UINT_PTR handle = 0;
    int cellWidth = 0, cellHeight = 0;
    int width = 100, height = 100;
    std::string style, hotStyle;
    BOOL mask = FALSE;
    bool widthPercent = true, heightPercent = true;
    COLORREF maskColor = RGB(255, 0, 255);
    std::string file;
    std::string moduleName;

    bool HasSource() const { return resourceId || resourceId2 || handle || !file.empty(); }
};

namespace {

constexpr int kMaxImageSide = CDrawManager::kMaxSurfaceSide;

int ClampSide(int v) { return std::clamp(v, 0, kMaxImageSide); }

int ScaledSide(int value, bool percent, int own)
{
    return ClampSide(percent ? MulDiv(own, std::min(value, markup_limits::kMaxPercent), 100) : value);
}

bool Exists(const std::string& path)
{
    struct stat st{};
    return stat(path.c_str(), &st) == 0;
}

std::string ProgramFolder()
{
    char path[4096] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path - 1);
    std::string s(path, n);
    const size_t cut = s.find_last_of("/\\");
    return cut == std::string::npos ? std::string(".") : s.substr(0, cut);
}

// The entry of `folder` whose name equals `name` ignoring case, or "".
std::string FindIgnoringCase(const std::string& folder, const std::string& name)
{
    WIN32_FIND_DATAA fd{};
    HANDLE h = FindFirstFileA((folder + "/*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    std::string found;
    do {
        if (ToLowerAscii(fd.cFileName) == ToLowerAscii(name)) {
            found = fd.cFileName;
            break;
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return found;
}

// Tags are lower-cased whole, file names too: each part of the path is looked up ignoring
// case. Relative paths start at the program folder.
std::string ResolveMarkupPath(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.empty()) return path;
    std::string resolved = path[0] == '/' ? std::string() : ProgramFolder();
    size_t pos = path[0] == '/' ? 1 : 0;
    while (pos <= path.size()) {
        size_t end = path.find('/', pos);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty()) continue;
        std::string next = resolved + "/" + part;
        if (!Exists(next)) {
            const std::string match = FindIgnoringCase(resolved.empty() ? "/" : resolved, part);
            if (!match.empty()) next = resolved + "/" + match;
        }
        resolved = next;
    }
    return resolved;
}

MarkupImageAttributes ParseImageAttributes(HDC hdc, const std::string& text, MarkupImageAttributes a)
{
    for (const auto& [name, v] : ParseMarkupAttributes(text)) {
        if (name == "index") a.index = std::max(0, ParseCssLength(hdc, v, 0, false));
        else if (name == "idres") a.resourceId = UINT(ParseMarkupNumber(v));
        else if (name == "iddll") a.resourceId2 = UINT(ParseMarkupNumber(v));
        else if (name == "handle") a.handle = UINT_PTR(std::strtoull(v.c_str(), nullptr, 0));  // handles are 64-bit
        else if (name == "cx") a.cellWidth = ClampSide(ParseCssLength(hdc, v, a.cellWidth, false));
        else if (name == "cy") a.cellHeight = ClampSide(ParseCssLength(hdc, v, a.cellHeight, false));
        else if (name == "width" || name == "height") {
            const bool percent = !v.empty() && v.back() == '%';
            const int value = std::clamp(ParseCssLength(hdc, v, 100, false), 0, markup_limits::kMaxLength);
            if (name == "width") {
                a.width = value;
                a.widthPercent = percent;
            } else {
                a.height = value;
                a.heightPercent = percent;
            }
        }
        else if (name == "style") a.style = a.hotStyle = v;
        else if (name == "hotstyle") a.hotStyle = v;
        else if (name == "mask") {
            a.mask = TRUE;
            if (!v.empty()) {
                CMarkupColours colours;
                a.maskColor = colours.ParseColour(v, a.maskColor);
            }
        }
        else if (name == "file") a.file = v;
        else if (name == "srcdll") a.moduleName = v;
    }
    return a;
}

// A bitmap of the cell at (column, row) of a strip.
HBITMAP CopyStripCell(HBITMAP strip, int column, int row, int cx, int cy)
{
    HBITMAP cell = CreateBitmap(cx, cy, 1, 32, nullptr);
    if (!cell) return nullptr;
    HDC src = CreateCompatibleDC(nullptr), dst = CreateCompatibleDC(nullptr);
    HGDIOBJ oldSrc = SelectObject(src, strip), oldDst = SelectObject(dst, cell);
    BitBlt(dst, 0, 0, cx, cy, src, column * cx, row * cy, SRCCOPY);
    SelectObject(src, oldSrc);
    SelectObject(dst, oldDst);
    DeleteDC(src);
    DeleteDC(dst);
    return cell;
}

}  // namespace

DWORD CSkinMarkupRenderer::EffectsOf(const std::string& letters) const
{
    DWORD effects = 0;
    for (char c : letters) {
        if (c == 'g') effects |= CDrawManager::kGray;
        else if (c == 'd') effects |= CDrawManager::kDarker;
        else if (c == 'l') effects |= CDrawManager::kLighter;
        else if (c == 's' && (m_nShadowDx != 0 || m_nShadowDy != 0))
            effects |= m_nShadowMode != 0 ? CDrawManager::kSoftShadow : CDrawManager::kHardShadow;
    }
    return effects;
}

HBITMAP CSkinMarkupRenderer::LoadMarkupBitmap(const MarkupImageAttributes& a)
{
    if (a.resourceId)
        return static_cast<HBITMAP>(
            LoadImageA(m_hInstance, MAKEINTRESOURCEA(a.resourceId & 0xFFFF), IMAGE_BITMAP, 0, 0, 0));
    if (!a.file.empty())
        return static_cast<HBITMAP>(LoadImageA(nullptr, ResolveMarkupPath(a.file).c_str(), IMAGE_BITMAP, 0, 0,
                                               LR_LOADFROMFILE | LR_CREATEDIBSECTION | LR_DEFAULTSIZE));
    return nullptr;
}

HICON CSkinMarkupRenderer::LoadMarkupIcon(const MarkupImageAttributes& a)
{
    if (a.resourceId)
        return static_cast<HICON>(LoadImageA(m_hInstance, MAKEINTRESOURCEA(a.resourceId & 0xFFFF), IMAGE_ICON,
                                             a.cellWidth, a.cellHeight, 0));
    if (!a.file.empty())
        return static_cast<HICON>(LoadImageA(nullptr, ResolveMarkupPath(a.file).c_str(), IMAGE_ICON, a.cellWidth,
                                             a.cellHeight, LR_LOADFROMFILE));
    return nullptr;
}

void CSkinMarkupRenderer::HandleImageTag(const std::string& name, const std::string& attrs)
{
    MarkupImageAttributes defaults;
    if (name != "bmp") {
        defaults.cellWidth = GetSystemMetrics(SM_CXICON);
        defaults.cellHeight = GetSystemMetrics(SM_CYICON);
    }
    const MarkupImageAttributes a = ParseImageAttributes(m_hdc, attrs, defaults);
    // A handle from the text is used as it is and never destroyed; a forged or stale one fails
    // the platform's handle checks and draws nothing.
    const bool fromHandle = !a.resourceId && a.file.empty() && a.handle;
    if (name == "icon") {
        if (!a.HasSource()) return;
        HICON icon = fromHandle ? reinterpret_cast<HICON>(a.handle) : LoadMarkupIcon(a);
        const SIZE own = CDrawManager::GetIconSize(icon);
        PlaceImage(ClampSide(own.cx), ClampSide(own.cy), a.style, a.hotStyle, nullptr, icon, FALSE, 0);
        if (icon && !fromHandle) DestroyIcon(icon);
        return;
    }
    if (name == "ilst" && !a.HasSource()) {
        if (!m_hImageList || a.index >= ImageList_GetImageCount(m_hImageList)) return;
        HICON icon = ImageList_GetIcon(m_hImageList, a.index, ILD_NORMAL);
        PlaceImage(ScaledSide(a.width, a.widthPercent, m_nImageCx), ScaledSide(a.height, a.heightPercent, m_nImageCy),
                   a.style, a.hotStyle, nullptr, icon, FALSE, 0);
        if (icon) DestroyIcon(icon);
        return;
    }
    if (!a.HasSource()) return;
    HBITMAP bitmap = fromHandle ? reinterpret_cast<HBITMAP>(a.handle) : LoadMarkupBitmap(a);
    const SIZE own = CDrawManager::GetBitmapSize(bitmap);
    if (name == "bmp") {
        PlaceImage(ScaledSide(a.width, a.widthPercent, own.cx), ScaledSide(a.height, a.heightPercent, own.cy), a.style,
                   a.hotStyle, bitmap, nullptr, a.mask, a.maskColor);
    } else if (a.cellWidth > 0 && a.cellHeight > 0) {
        // A strip with an empty cell size has no cells.
        const int columns = own.cx / a.cellWidth, rows = own.cy / a.cellHeight;
        if (columns > 0 && rows > 0 && int64_t(a.index) < int64_t(columns) * rows) {
            HBITMAP cell = CopyStripCell(bitmap, a.index % columns, a.index / columns, a.cellWidth, a.cellHeight);
            PlaceImage(ScaledSide(a.width, a.widthPercent, a.cellWidth),
                       ScaledSide(a.height, a.heightPercent, a.cellHeight), a.style, a.hotStyle, cell, nullptr, a.mask,
                       a.maskColor);
            if (cell) DeleteObject(cell);
        }
    }
    if (bitmap && !fromHandle) DeleteObject(bitmap);
}

void CSkinMarkupRenderer::PlaceImage(int w, int h, const std::string& style, const std::string& hotStyle,
                                     HBITMAP bitmap, HICON icon, BOOL mask, COLORREF maskColor)
{
    if (!bitmap && !icon) return;
    DWORD effects = EffectsOf(style);
    const DWORD hot = EffectsOf(hotStyle);
    const bool sized = w != 0 && h != 0;
    const bool shadow = sized && ((effects | hot) & CDrawManager::kShadowMask);
    const int spaceW = w + (shadow ? std::abs(m_nShadowDx) : 0);
    const int spaceH = h + (shadow ? std::abs(m_nShadowDy) : 0);
    if (m_bMeasuring) {
        m_line.align = m_style.textAlign;
        PlaceObject(spaceH);
    } else if (sized) {
        const int top = PlaceObject(spaceH);
        AddLinkArea(RECT{m_pen.x, top, m_pen.x + spaceW, top + spaceH});
        if (m_style.linkKind != MarkupTextStyle::kLinkNone && m_nLinkNumber == m_nHoverLink) effects = hot;
        const BOOL wantShadow = (effects & CDrawManager::kShadowMask) != 0;
        if (bitmap)
            m_draw.DrawBitmap(m_hdc, m_pen.x, top, w, h, bitmap, mask, maskColor, effects, wantShadow, m_nShadowDx,
                              m_nShadowDy, m_nShadowExtentX, m_nShadowExtentY, m_crShadow);
        else
            m_draw.DrawIcon(m_hdc, m_pen.x, top, w, h, icon, effects, wantShadow, m_nShadowDx, m_nShadowDy,
                            m_nShadowExtentX, m_nShadowExtentY, m_crShadow);
    }
    m_pen.x += spaceW;
}

void CSkinMarkupRenderer::TileBackground(const std::string& source, const RECT& rc)
{
    if (source.size() < 6) return;
    const size_t colon = source.find(':');
    if (colon == std::string::npos) return;
    std::string key = source.substr(0, colon), value = source.substr(colon + 1);
    const auto trim = [](std::string& s) {
        while (!s.empty() && s.front() == ' ') s.erase(0, 1);
        while (!s.empty() && (s.back() == ' ' || s.back() == ';')) s.pop_back();
    };
    trim(key);
    trim(value);
    MarkupImageAttributes a;
    if (key == "idres") a.resourceId = UINT(ParseMarkupNumber(value));
    else if (key == "file") a.file = value;
    else return;
    HBITMAP bitmap = LoadMarkupBitmap(a);
    if (!bitmap) return;
    const SIZE tile = CDrawManager::GetBitmapSize(bitmap);
    HDC src = CreateCompatibleDC(m_hdc);
    HGDIOBJ old = SelectObject(src, bitmap);
    m_draw.TileBlit(m_hdc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, src, 0, 0, tile.cx, tile.cy);
    SelectObject(src, old);
    DeleteDC(src);
    DeleteObject(bitmap);
}
