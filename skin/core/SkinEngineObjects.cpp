// Public functions over the elements of skinned frames, the named skin objects and their data
// items, image lists and bitmaps from the skin, system colours, popup menus and the tooltip.
#include <cstring>
#include <memory>

#include "RasterImage.h"
#include "SkinDraw.h"
#include "SkinEngine.h"
#include "SkinEngineInternal.h"
#include "SkinEngineServices.h"
#include "SkinFile.h"
#include "SkinGeometry.h"
#include "SkinManager.h"
#include "SkinObjectTypes.h"
#include "SkinWindow.h"

namespace {

using SkinEngineInternal::CheckStarted;

void SetError(int code) { SkinEngine::SetThreadError(code); }

CSkinWindow* FindSkin(HWND hwnd) { return hwnd ? CSkinManager::Instance().FindSkinWindow(hwnd) : nullptr; }

// The first element of the window's skin whose skin object has this name (and this type,
// unless type is 0).
CSkinElement* FindElement(CSkinWindow* skin, const char* name, int type) {
    if (!skin || !name) return nullptr;
    for (CSkinElement* e : skin->GetElements()) {
        const char* objectName = e->GetObjectName();
        if (!objectName || strcmp(objectName, name) != 0) continue;
        if (type && e->GetObjectType() != type) continue;
        return e;
    }
    return nullptr;
}

// The window's skin, or error 8.
CSkinWindow* RequireSkin(HWND hwnd) {
    CSkinWindow* skin = FindSkin(hwnd);
    if (!skin) SetError(SKINERR_NOT_FOUND);
    return skin;
}

CSkinCaptionStaticObject* CaptionStaticOf(CSkinElement* e) {
    if (!e || e->GetObjectType() != SKIN_CAPTIONSTATIC) return nullptr;
    return dynamic_cast<CSkinCaptionStaticObject*>(e->GetSkinObject());
}

CSkinObject* Object(HSKINELEMENT h) { return static_cast<CSkinObject*>(h); }

// The data-item query. A variable-size block (kind 1) is copied when it fits; otherwise the
// capacity word receives its size. A fixed-size record is copied only when it has exactly the
// caller's size, so a failed read never reports success over an untouched buffer.
bool QueryItem(CSkinObject* object, const char* name, DWORD kind, void* buffer, DWORD* capacity) {
    if (!object || !capacity) return false;
    CSkinDataItem* item = object->FindDataItem(name);
    if (!item || item->GetKind() != kind) return false;
    const DWORD size = item->GetDataSize();
    if (size != 0 && size <= *capacity && buffer) {
        memcpy(buffer, item->GetData(), size);
        return kind == CSkinDataItem::KIND_BLOCK || size == *capacity;
    }
    *capacity = size;
    return false;
}

template <typename T>
bool QueryRecord(CSkinObject* object, const char* name, DWORD kind, T* out) {
    DWORD capacity = sizeof(T);
    return QueryItem(object, name, kind, out, &capacity);
}

BOOL QueryValue(HSKINELEMENT element, const char* item, DWORD kind, DWORD* value) {
    DWORD v = 0;
    if (!value || !QueryRecord(Object(element), item, kind, &v)) return FALSE;
    *value = v;
    return TRUE;
}

CSkinApplicationObject* ApplicationOf(CSkinFile* file) {
    CSkinObject* app = file ? file->FindObjectByType(SKIN_APPLICATION) : nullptr;
    return app ? static_cast<CSkinApplicationObject*>(app) : nullptr;
}

CRasterImage* PictureOf(CSkinFile* file, const SkinImagePart& part) {
    CSkinImageObject* imageObject = file ? file->FindImage(part.name) : nullptr;
    CRasterImage* image = imageObject ? imageObject->GetImage() : nullptr;
    return image && image->IsValid() ? image : nullptr;
}

// A part's size: its source rectangle, as far as it lies in its picture when there is one (a
// rectangle reaching past the picture has nothing more to show, and a region the size of what
// a damaged skin claims could not be built).
SIZE PartSize(CSkinFile* file, const SkinImagePart& part) {
    RECT src = SkinClampRect(part.src);
    if (CRasterImage* image = PictureOf(file, part))
        src = SkinIntersectRect(src, RECT{0, 0, LONG(image->GetWidth()), LONG(image->GetHeight())});
    return SkinSize(src);
}

}  // namespace

HRGN CreateSkinImageRegion(CSkinFile* file, const SkinImagePart& part, const RECT& area, COLORREF key) {
    const RECT rc = SkinClampRect(area);
    CRasterImage* source = PictureOf(file, part);
    CRasterImage cut;
    if (!source || SkinWidth(part.src) <= 0 || SkinHeight(part.src) <= 0 ||
        !source->Crop(part.src.left, part.src.top, part.src.right, part.src.bottom, &cut) || !cut.IsValid())
        return CreateRectRgn(rc.left, rc.top, rc.right, rc.bottom);
    HRGN base = CreateRegionFromImage(cut, key);
    if (!base) return CreateRectRgn(rc.left, rc.top, rc.right, rc.bottom);
    HRGN result = nullptr;
    if (part.mode == 1) {
        result = TileRegion(base, int(cut.GetWidth()), int(cut.GetHeight()), rc);
    } else if (part.mode >= 2) {
        result = TransformRegion(base, float(SkinWidth(rc)) / float(cut.GetWidth()),
                                 float(SkinHeight(rc)) / float(cut.GetHeight()), rc.left, rc.top);
    } else {
        OffsetRgn(base, rc.left, rc.top);
        HRGN clip = CreateRectRgn(rc.left, rc.top, rc.right, rc.bottom);
        CombineRgn(clip, clip, base, RGN_AND);
        result = clip;
    }
    DeleteObject(base);
    return result;
}

extern "C" {

// --- elements of a skinned window's frame ------------------------------------------------------

BOOL WINAPI EnableSkinCaptionButton(HWND hwnd, const char* name, BOOL enable) {
    CSkinWindow* skin = RequireSkin(hwnd);
    CSkinElement* e = FindElement(skin, name, SKIN_CAPTIONBUTTON);
    auto* button = dynamic_cast<ISkinCaptionButtonElement*>(e);
    if (!button) return FALSE;
    button->SetEnabled(enable);
    if (auto* frame = dynamic_cast<ISkinFrameElement*>(e)) frame->Redraw();
    return TRUE;
}

BOOL WINAPI GetSkinCaptionButtonState(HWND hwnd, const char* name, int* state) {
    CSkinWindow* skin = RequireSkin(hwnd);
    auto* button = dynamic_cast<ISkinCaptionButtonElement*>(FindElement(skin, name, SKIN_CAPTIONBUTTON));
    if (!button || !state) return FALSE;
    *state = button->GetDrawState();
    return TRUE;
}

BOOL WINAPI SetSkinCaptionButtonState(HWND hwnd, const char* name, int state) {
    CSkinWindow* skin = RequireSkin(hwnd);
    CSkinElement* e = FindElement(skin, name, SKIN_CAPTIONBUTTON);
    auto* button = dynamic_cast<ISkinCaptionButtonElement*>(e);
    if (!button) return FALSE;
    if (state >= 0 && state <= 3) {
        button->SetDrawState(state);
        if (auto* frame = dynamic_cast<ISkinFrameElement*>(e)) frame->Redraw();
    }
    return TRUE;
}

BOOL WINAPI SetSkinCaptionButtonName(HWND hwnd, const char* name, const char* newName) {
    CSkinElement* e = FindElement(FindSkin(hwnd), name, SKIN_CAPTIONBUTTON);
    if (!e) return FALSE;
    e->SetName(newName);
    return TRUE;
}

BOOL WINAPI RedrawSkinCaptionText(HWND hwnd, const char* name) {
    CSkinWindow* skin = RequireSkin(hwnd);
    auto* frame = dynamic_cast<ISkinFrameElement*>(FindElement(skin, name, SKIN_CAPTIONSTATIC));
    if (!frame) return FALSE;
    RECT rc;
    frame->GetElementRect(&rc);
    RECT window;
    ::GetWindowRect(hwnd, &window);
    const RECT onScreen = SkinOffsetRect(rc, window.left, window.top);
    HRGN region = CreateRectRgnIndirect(&onScreen);
    SendMessageA(hwnd, WM_NCPAINT, reinterpret_cast<WPARAM>(region), 0);
    DeleteObject(region);
    return TRUE;
}

BOOL WINAPI ShowSkinElement(HWND hwnd, const char* name, BOOL show) {
    if (!CheckStarted()) return FALSE;
    CSkinWindow* skin = RequireSkin(hwnd);
    auto* frame = dynamic_cast<ISkinFrameElement*>(FindElement(skin, name, 0));
    if (!frame) return FALSE;
    frame->SetVisible(show != FALSE);
    frame->Redraw();
    return TRUE;
}

BOOL WINAPI SetSkinCaptionText(HWND hwnd, const char* name, const char* text) {
    if (!CheckStarted()) return FALSE;
    CSkinWindow* skin = RequireSkin(hwnd);
    CSkinElement* e = FindElement(skin, name, 0);
    CSkinCaptionStaticObject* object = CaptionStaticOf(e);
    if (!object) return FALSE;
    SkinCopyText(object->m_szText, sizeof object->m_szText, text ? text : "");
    if (auto* frame = dynamic_cast<ISkinFrameElement*>(e)) {
        frame->SetVisible(true);
        frame->Redraw();
    }
    return TRUE;
}

int WINAPI GetSkinCaptionText(HWND hwnd, const char* name, char* buffer, int size) {
    if (!CheckStarted()) return 0;
    CSkinWindow* skin = RequireSkin(hwnd);
    CSkinCaptionStaticObject* object = CaptionStaticOf(FindElement(skin, name, 0));
    if (!object || !buffer || size <= 0) return 0;
    const int length = int(strnlen(object->m_szText, sizeof object->m_szText));
    if (length < size) {
        memcpy(buffer, object->m_szText, size_t(length) + 1);
        return length;
    }
    memcpy(buffer, object->m_szText, size_t(size) - 1);
    buffer[size - 1] = 0;
    return size;
}

// --- named skin objects and their data items ------------------------------------------------------

HSKINELEMENT WINAPI FindSkinElement(const char* objectName) {
    CSkinFile* file = CSkinManager::Instance().GetSkinFile();
    CSkinObject* object = file && objectName ? file->FindObject(objectName) : nullptr;
    if (!object) SetError(SKINERR_NOT_FOUND);
    return object;
}

BOOL WINAPI GetSkinElementFont(HSKINELEMENT element, const char* item, LOGFONTA* font, COLORREF* color) {
    SkinFont record;
    if (!QueryRecord(Object(element), item, CSkinDataItem::KIND_FONT, &record)) return FALSE;
    if (font) *font = record.ToLogFont();
    if (color) *color = record.color;
    return TRUE;
}

BOOL WINAPI GetSkinElementData(HSKINELEMENT element, const char* item, void* buffer, DWORD* capacity) {
    return QueryItem(Object(element), item, CSkinDataItem::KIND_BLOCK, buffer, capacity);
}

BOOL WINAPI GetSkinElementKind2Value(HSKINELEMENT element, const char* item, DWORD* value) {
    return QueryValue(element, item, CSkinDataItem::KIND_VALUE, value);
}
BOOL WINAPI GetSkinElementKind5Value(HSKINELEMENT element, const char* item, DWORD* value) {
    return QueryValue(element, item, CSkinDataItem::KIND_VALUE5, value);
}
BOOL WINAPI GetSkinElementKind6Value(HSKINELEMENT element, const char* item, DWORD* value) {
    return QueryValue(element, item, CSkinDataItem::KIND_VALUE6, value);
}
BOOL WINAPI GetSkinElementKind7Value(HSKINELEMENT element, const char* item, DWORD* value) {
    return QueryValue(element, item, CSkinDataItem::KIND_VALUE7, value);
}
BOOL WINAPI GetSkinElementValue(HSKINELEMENT element, const char* item, DWORD* value) {
    return QueryValue(element, item, CSkinDataItem::KIND_VALUE7, value);
}

BOOL WINAPI DrawSkinElementImage(HSKINELEMENT element, const char* item, HDC dc, const RECT* rect) {
    CSkinObject* object = Object(element);
    SkinImagePart part;
    if (!object || !object->GetOwner() || !dc || !rect ||
        !QueryRecord(object, item, CSkinDataItem::KIND_IMAGEPART, &part))
        return FALSE;
    CSkinFile* file = object->GetOwner();
    CSkinApplicationObject* app = ApplicationOf(file);
    if (app && app->m_bTransparent) DrawSkinImageTransparent(file, dc, *rect, part, app->GetKeyColor(), false);
    else DrawSkinImage(file, dc, *rect, part, 0, 0, false);
    return TRUE;
}

BOOL WINAPI GetSkinElementRegion(HSKINELEMENT element, const char* item, const RECT* rect, SIZE* size,
                                 HRGN* region) {
    CSkinObject* object = Object(element);
    SkinImagePart part;
    if (!object || !region || !QueryRecord(object, item, CSkinDataItem::KIND_IMAGEPART, &part)) return FALSE;
    const SIZE partSize = PartSize(object->GetOwner(), part);
    if (size) *size = partSize;
    const RECT area = rect ? *rect : RECT{0, 0, partSize.cx, partSize.cy};
    CSkinApplicationObject* app = ApplicationOf(object->GetOwner());
    *region = CreateSkinImageRegion(object->GetOwner(), part, area, app ? app->GetKeyColor() : 0xFF00FF);
    return TRUE;
}

BOOL WINAPI DrawSkinElementGrid(HSKINELEMENT element, const char* item, HDC dc, const RECT* rect) {
    CSkinObject* object = Object(element);
    SkinNineGrid grid;
    if (!object || !object->GetOwner() || !dc || !rect ||
        !QueryRecord(object, item, CSkinDataItem::KIND_NINEGRID, &grid))
        return FALSE;
    CSkinFile* file = object->GetOwner();
    CSkinApplicationObject* app = ApplicationOf(file);
    if (app && app->m_bTransparent) DrawSkinImagePartTransparent(file, dc, *rect, grid, app->GetKeyColor(), false);
    else DrawSkinImagePart(file, dc, *rect, grid, 0, 0, false);
    return TRUE;
}

BOOL WINAPI DrawSkinElementGridFrame(HSKINELEMENT element, const char* item, HDC dc, const RECT* rect) {
    CSkinObject* object = Object(element);
    SkinNineGrid grid;
    if (!object || !object->GetOwner() || !dc || !rect ||
        !QueryRecord(object, item, CSkinDataItem::KIND_NINEGRID, &grid))
        return FALSE;
    DrawSkinImageFrame(object->GetOwner(), dc, *rect, grid, 0, 0, false);
    return TRUE;
}

BOOL WINAPI DrawSkinElementText(HSKINELEMENT element, const char* item, HDC dc, RECT* rect, const char* text,
                                int length, UINT format) {
    CSkinObject* object = Object(element);
    SkinTextStyle style;
    if (!object || !object->GetOwner() || !dc || !rect || !text ||
        !QueryRecord(object, item, CSkinDataItem::KIND_TEXTSTYLE, &style))
        return FALSE;
    DrawSkinTextStyle(dc, style, *rect, text, length, format);
    return TRUE;
}

BOOL WINAPI SkinNotSupportedA(DWORD_PTR a, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
    if (a) SetError(SKINERR_NOT_SUPPORTED);
    return FALSE;
}

BOOL WINAPI SkinNotSupportedB(DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
    SetError(SKINERR_NOT_SUPPORTED);
    return FALSE;
}

// --- plain object accessors ----------------------------------------------------------------------

BOOL WINAPI GetSkinObjectRect(HSKINELEMENT element, RECT* rect, DWORD* value) {
    CSkinObject* object = Object(element);
    if (!object) return FALSE;
    if (rect) *rect = object->m_rc;
    if (value) *value = object->m_nAnchoring;
    return TRUE;
}

BOOL WINAPI GetSkinObjectBackColor(HSKINELEMENT element, COLORREF* color) {
    if (!element || !color) return FALSE;
    *color = Object(element)->m_crBack;
    return TRUE;
}

BOOL WINAPI GetSkinObjectTextColor(HSKINELEMENT element, COLORREF* color) {
    if (!element || !color) return FALSE;
    *color = Object(element)->m_crText;
    return TRUE;
}

BOOL WINAPI GetSkinObjectFont(HSKINELEMENT element, HFONT* font, COLORREF* color) {
    auto* object = dynamic_cast<CSkinFontObject*>(Object(element));
    if (!object) return FALSE;
    if (font) *font = object->GetFont();
    if (color) *color = object->m_font.color;
    return TRUE;
}

BOOL WINAPI GetSkinObjectValue(HSKINELEMENT element, DWORD* value) {
    auto* object = dynamic_cast<CSkinFontObject*>(Object(element));
    if (!object || !value) return FALSE;
    *value = object->m_nControlId;
    return TRUE;
}

BOOL WINAPI GetSkinTransparency(COLORREF* keyColor, BOOL* transparent) {
    CSkinApplicationObject* app = ApplicationOf(CSkinManager::Instance().GetSkinFile());
    if (!app) return FALSE;
    if (keyColor) *keyColor = app->GetKeyColor();
    if (transparent) *transparent = app->m_bTransparent ? TRUE : FALSE;
    return TRUE;
}

// --- other functions ------------------------------------------------------------------------------

HIMAGELIST WINAPI CreateSkinImageList(const char* objectName) {
    CSkinFile* file = CSkinManager::Instance().GetSkinFile();
    CSkinObject* found = file && objectName ? file->FindObject(objectName) : nullptr;
    if (!found) {
        SetError(SKINERR_NOT_FOUND);
        return nullptr;
    }
    auto* object = dynamic_cast<CSkinImageListObject*>(found);
    if (found->GetType() != SKIN_IMAGELIST || !object) {
        SetError(SKINERR_WRONG_TYPE);
        return nullptr;
    }
    CSkinImageObject* imageObject = file->FindImage(object->m_strip.name);
    CRasterImage* image = imageObject ? imageObject->GetImage() : nullptr;
    if (!image || !image->IsValid()) {
        SetError(SKINERR_NOT_FOUND);
        return nullptr;
    }
    const int cellW = int(object->m_nCellWidth), cellH = int(object->m_nCellHeight);
    // A zero cell size counts as a cell no image can fill.
    const int columns = cellW > 0 ? int(image->GetWidth()) / cellW : 0;
    const int rows = cellH > 0 ? int(image->GetHeight()) / cellH : 0;
    if (columns == 0 || rows == 0) {
        SetError(SKINERR_IMAGE_TOO_SMALL);
        return nullptr;
    }
    static const UINT kDepths[7] = {ILC_COLOR,   ILC_COLORDDB, ILC_COLOR4, ILC_COLOR8,
                                    ILC_COLOR16, ILC_COLOR24,  ILC_COLOR32};
    const UINT depth = object->m_nDepthIndex < 7 ? kDepths[object->m_nDepthIndex] : ILC_COLOR;
    HIMAGELIST list = ImageList_Create(cellW, cellH, ILC_MASK | depth, columns * rows, int(object->m_nGrow));
    if (!list) {
        SetError(SKINERR_IMAGELIST_FAILED);
        return nullptr;
    }
    const RECT& src = object->m_strip.src;
    for (int i = 0; i < rows; ++i) {
        CRasterImage strip;
        if (!image->Crop(src.left, SkinAdd(src.top, i * cellH), src.right, SkinAdd(src.top, (i + 1) * cellH), &strip))
            continue;
        HBITMAP bitmap = strip.MakeBitmap();
        if (!bitmap) continue;
        ImageList_AddMasked(list, bitmap, object->m_nThird);
        DeleteObject(bitmap);
    }
    return list;
}

HBITMAP WINAPI GetSkinImageBitmap(const char* objectName) {
    CSkinFile* file = CSkinManager::Instance().GetSkinFile();
    CSkinObject* found = file && objectName ? file->FindObject(objectName) : nullptr;
    if (!found) {
        SetError(SKINERR_NOT_FOUND);
        return nullptr;
    }
    auto* object = dynamic_cast<CSkinImageObject*>(found);
    if (found->GetType() != SKIN_IMAGE || !object) {
        SetError(SKINERR_WRONG_TYPE);
        return nullptr;
    }
    CRasterImage* image = object->GetImage();
    return image && image->IsValid() ? image->MakeBitmap() : nullptr;
}

COLORREF WINAPI GetSkinSysColor(int index) {
    if (!CheckStarted()) return 0;
    COLORREF c;
    if (SkinEngineInternal::SkinTableColor(index, &c)) return c;
    auto system = reinterpret_cast<DWORD(WINAPI*)(int)>(skin::GetApiHookSystemFunction(skin::kHookGetSysColor));
    return system(index);
}

HBRUSH WINAPI GetSkinSysColorBrush(int index) {
    HBRUSH b;
    if (SkinEngineInternal::SkinTableBrush(index, &b)) return b;
    auto system =
        reinterpret_cast<HBRUSH(WINAPI*)(int)>(skin::GetApiHookSystemFunction(skin::kHookGetSysColorBrush));
    return system(index);
}

int WINAPI TrackSkinPopupMenuEx(HMENU menu, const char* objectName, UINT flags, int x, int y, HWND owner,
                                DWORD_PTR p1, DWORD_PTR p2, DWORD_PTR p3, DWORD_PTR p4, DWORD_PTR p5) {
    CSkinFile* file = CSkinManager::Instance().GetSkinFile();
    CSkinObject* object = nullptr;
    if (objectName) {
        object = file ? file->FindObject(objectName) : nullptr;
        if (!object) {
            SetError(SKINERR_NOT_FOUND);
            return 0;
        }
    } else if (file) {
        object = file->FindObjectByType(SKIN_POPUPMENU);
    }
    const SkinPopupMenuService* service = SkinEngineInternal::PopupMenuService();
    if (!service || !service->create || !service->destroy) {
        SetError(SKINERR_NOT_SUPPORTED);
        return 0;
    }
    int result = 1;
    const int mode = (flags & TPM_RETURNCMD) ? 3 : 2;
    const UINT_PTR params[5] = {p1, p2, p3, p4, p5};
    void* popup = service->create(owner, mode, params);
    if (!popup) return 0;
    SendMessageA(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    if (service->setMenu) service->setMenu(popup, menu);
    if (object && service->setSkinObject) service->setSkinObject(popup, object);
    if (service->show) service->show(popup, x, y, flags);
    MSG msg;
    for (;;) {
        if (service->isOver && service->isOver(popup)) {
            result = 0;
            break;
        }
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The program's own loop still has to see its quit message.
            if (got == 0) PostQuitMessage(int(msg.wParam));
            result = 0;
            break;
        }
        HWND submenu = service->submenuWindow ? service->submenuWindow(popup) : nullptr;
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && !submenu) {
            result = 0;
            break;
        }
        if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && service->window) {
            HWND keys = submenu ? submenu : service->window(popup);
            if (keys) msg.hwnd = keys;
        }
        DispatchMessageA(&msg);
        if (msg.message == 0x178B) break;  // the popup menu ended
    }
    if (mode == 3 && result != 0 && service->getResult) result = service->getResult(popup);
    service->destroy(popup);
    return result;
}

int WINAPI TrackSkinPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner) {
    if (!CheckStarted()) return 0;
    return TrackSkinPopupMenuEx(menu, nullptr, flags, x, y, owner, 0, 0, 0, 0, 0);
}

BOOL WINAPI ShowSkinTooltip(DWORD_PTR, const char* text, const POINT* point) {
    const SkinTooltipService* service = SkinEngineInternal::TooltipService();
    if (!service || !service->showAt) {
        SetError(SKINERR_NOT_SUPPORTED);
        return FALSE;
    }
    service->showAt(text, point);
    return TRUE;
}

BOOL WINAPI HideSkinTooltip(void) {
    const SkinTooltipService* service = SkinEngineInternal::TooltipService();
    if (!service || !service->hide) {
        SetError(SKINERR_NOT_SUPPORTED);
        return FALSE;
    }
    service->hide();
    return TRUE;
}

}  // extern "C"
