// The program's resource table inside the platform layer, and readers of the binary layouts
// that the resource compiler writes (string blocks, menu and dialog templates, icon groups).
// The window system and the dialog manager build their objects from these readers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platres.h"

namespace plat::res {

// A type or name as given to the API: an id (MAKEINTRESOURCE) or a string, which may be "#123".
struct ResId {
    WORD id = 0;           // non-zero when the key is numeric
    std::string name;      // upper-case when the key is a string
    static ResId From(const char* p);
    bool operator==(const ResId& o) const { return id == o.id && name == o.name; }
};

struct Resource {
    ResId type;
    ResId name;
    const BYTE* data = nullptr;
    DWORD size = 0;
    const PLATRES_ENTRY* table = nullptr;  // the registration it came from
    HRSRC handle = nullptr;
};

// Looks a resource up; null when missing. The object lives while its table stays registered.
const Resource* Find(const char* type, const char* name);
const Resource* FromHandle(HRSRC h);

// String table entry `id` in UTF-8; false when the string is missing (an empty string in the
// table counts as missing, as the platform does).
bool LoadString(UINT id, std::string* out);

// UTF-8 <-> UTF-16 of the templates' texts.
std::string Utf16ToUtf8(const char16_t* s, size_t n);
std::u16string Utf8ToUtf16(const std::string& s);

// --- Menu templates (the standard layout: header, then items with MF_POPUP/MF_END flags). ---
struct MenuItem {
    WORD flags = 0;        // MF_* of the template (MF_POPUP, MF_END, MF_GRAYED...)
    WORD id = 0;           // command id (0 for popups and separators)
    std::string text;      // UTF-8; empty for a separator
    std::vector<MenuItem> children;  // items of a popup
    bool IsSeparator() const { return !(flags & 0x10) && id == 0 && text.empty(); }
};
// Parses a menu template; false when it is malformed or runs past `size`.
bool ParseMenuTemplate(const void* data, size_t size, std::vector<MenuItem>* items);

// --- Dialog templates (DLGTEMPLATE and DLGTEMPLATEEX). ---
struct DialogItem {
    DWORD style = 0, ex_style = 0, help_id = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::string class_name;   // "Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox" for atoms
    std::string text;         // UTF-8; for an ordinal title "#<n>" with title_id set
    WORD title_id = 0;        // non-zero when the title is an ordinal (icons, bitmaps on statics)
    std::vector<BYTE> creation_data;
};
struct DialogTemplate {
    bool extended = false;
    DWORD style = 0, ex_style = 0, help_id = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string menu;         // "" for none, "#<n>" for an ordinal
    std::string class_name;   // "" for the dialog class
    std::string title;
    WORD point_size = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::string font;         // only with DS_SETFONT
    std::vector<DialogItem> items;
};
bool ParseDialogTemplate(const void* data, size_t size, DialogTemplate* out);

// --- Icon groups: picks the image of a group that best fits the wanted size. ---
// cx/cy 0 means the group's largest image. Returns the RT_ICON resource, or null.
const Resource* BestIconImage(const char* group_name, bool cursor, int cx, int cy);

}  // namespace plat::res
