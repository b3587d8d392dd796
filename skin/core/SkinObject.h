// Skin objects: the typed, named records a skin file is made of. This header holds the shared
// drawing records (image part, nine-grid, text style, font), the record reader/writer, the
// common base CSkinObject with its data items, and the three bases most types build on
// (window, font and caption objects). The concrete types are in SkinObjectTypes.h.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "MemoryStream.h"

class CSkinFile;
class CRasterImage;

// ---- type codes -----------------------------------------------------------------------------

enum SkinType : int {
    SKIN_NONE = 0,
    SKIN_FRAMEWND = 1,
    SKIN_SHAPEWND = 2,
    SKIN_CAPTIONBUTTON = 3,
    SKIN_BUTTON = 4,
    SKIN_CHECKBOX = 5,
    SKIN_COMBOBOX = 6,
    SKIN_EDIT = 7,
    SKIN_GROUPBOX = 8,
    SKIN_LISTBOX = 9,
    SKIN_PROGRESSBAR = 10,
    SKIN_RADIO = 11,
    SKIN_SCROLLBAR = 12,
    SKIN_SLIDER = 13,
    SKIN_STATIC = 14,
    SKIN_STATUSBAR = 15,
    SKIN_TAB = 16,
    SKIN_POPUPMENU = 17,
    SKIN_IMAGE = 18,
    SKIN_VOICE = 19,
    SKIN_MENUBAR = 20,
    SKIN_MENUITEM = 21,
    SKIN_AREA = 22,
    SKIN_TOOLBAR = 23,
    SKIN_CONTROLBAR = 24,
    SKIN_APPLICATION = 25,
    SKIN_SCROLLCONTROL = 26,
    SKIN_SPIN = 27,
    SKIN_LISTVIEW = 28,
    SKIN_TREEVIEW = 29,
    SKIN_RICHEDIT = 30,
    SKIN_DATETIME = 31,
    SKIN_IPADDRESS = 32,
    SKIN_COMBOBOXEX = 33,
    SKIN_HOTKEY = 34,
    SKIN_MONTHCALENDAR = 35,
    SKIN_REBAR = 36,
    SKIN_HEADER = 37,
    SKIN_CAPTIONSTATIC = 38,
    SKIN_IMAGELIST = 39,
    SKIN_ANIMATE = 40,
    SKIN_LINKWND = 41,
    SKIN_TOOLTIP = 42,
    SKIN_TOOLTIPANCHOR = 43,
    SKIN_SYSCOLORTABLE = 44,
    SKIN_TYPE45 = 45,
    SKIN_TYPE100 = 100,
};

// "NONE" for 0, the type's name for 1 to 44, null for anything else (45 and 100 have no name).
const char* GetSkinTypeName(int type);
// Types the file reader builds at the top level, and as children of another object.
bool IsSkinTopLevelType(int type);
bool IsSkinChildType(int type);

// ---- file versions --------------------------------------------------------------------------
// Every accepted file is version 1.x; the minor number decides which fields a record holds.
enum { SKIN_VERSION_MAJOR = 1, SKIN_VERSION_MINOR = 18 };

// The version that record loading assumes when called through CSkinObject::Load(stream): the
// file's version while CSkinFile::Load parses it, 1.18 otherwise. It is per thread, so two
// threads loading two skins never see each other's version.
int GetSkinCurrentMinorVersion();
void SetSkinCurrentMinorVersion(int minor);

// ---- shared drawing records (the file holds them byte for byte like this) ---------------------

// A piece of a named skin image: mode 0 clip, 1 tile, 2 and above stretch.
struct SkinImagePart {
    char name[52];
    RECT src;
    DWORD mode;

    void Set(const char* image, LONG left, LONG top, LONG right, LONG bottom, DWORD drawMode);
    bool IsEmpty() const;
};

// A source rectangle cut into nine by four margins; mode as the drawing helpers read it.
struct SkinNineGrid {
    char name[52];
    RECT src;
    LONG marginLeft;
    LONG marginTop;
    LONG marginRight;
    LONG marginBottom;
    DWORD mode;

    void Set(const char* image, LONG left, LONG top, LONG right, LONG bottom, LONG mLeft, LONG mTop,
             LONG mRight, LONG mBottom, DWORD drawMode);
    bool IsEmpty() const;
};

// Text colour, optional shadow and its offset.
struct SkinTextStyle {
    signed char shadowX;
    signed char shadowY;
    BYTE reserved1[2];
    BYTE textRed;
    BYTE textGreen;
    BYTE textBlue;
    BYTE textExtra;  // 255 by default
    BYTE shadowRed;
    BYTE shadowGreen;
    BYTE shadowBlue;
    BYTE reserved2;
    DWORD flags;  // bit 0: draw the shadow

    enum : DWORD { kShadow = 1, kDefaultFlags = 0x8004 };
    static SkinTextStyle Default();
    COLORREF GetTextColor() const { return RGB(textRed, textGreen, textBlue); }
    COLORREF GetShadowColor() const { return RGB(shadowRed, shadowGreen, shadowBlue); }
    void SetTextColor(COLORREF c);
    void SetShadowColor(COLORREF c);
};

// A LOGFONT (same 60-byte layout) followed by a text colour.
struct SkinFont {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    CHAR lfFaceName[32];
    COLORREF color;

    // Height -12, weight 400, output precision 3, clip precision 2, quality 1, the given face.
    static SkinFont Default(const char* face);
    void SetFace(const char* face);
    // The LOGFONT part, ready for CreateFontIndirect.
    LOGFONTA ToLogFont() const;
};

static_assert(sizeof(SkinImagePart) == 72, "image part record is 72 bytes");
static_assert(sizeof(SkinNineGrid) == 88, "nine-grid record is 88 bytes");
static_assert(sizeof(SkinTextStyle) == 16, "text style record is 16 bytes");
static_assert(sizeof(SkinFont) == 64, "font record is 64 bytes");

// Copies text into a fixed field of n bytes, cutting it to n - 1 characters.
void SkinCopyText(char* field, size_t n, const char* text);
// The window system's colour for an index, used for the objects' defaults.
COLORREF SkinSystemColor(int index);

// ---- record reader/writer ---------------------------------------------------------------------

// One pass over a record, in the direction given at construction. Every record class describes
// its fields once (Serialize) and this class reads or writes them, so the two can never differ.
// Reading is all-or-nothing per field: a field that runs past the end of the stream keeps its
// value and the pass is marked failed; once failed nothing more is read.
class CSkinArchive {
public:
    enum { kMaxDepth = 32 };  // nesting of child records

    CSkinArchive(CMemoryStream& stream, bool reading, int minorVersion);

    bool IsReading() const { return m_reading; }
    int Minor() const { return m_minor; }
    bool Since(int minor) const { return m_minor >= minor; }
    bool Ok() const { return m_ok; }
    void Fail() { m_ok = false; }
    DWORD Remaining() const { return m_stream.GetRemaining(); }
    CMemoryStream& Stream() { return m_stream; }

    void Raw(void* data, DWORD n);
    void Skip(DWORD n);  // reading: discards n bytes; writing: n zero bytes
    void U8(BYTE& v);
    void U32(DWORD& v);
    void I32(LONG& v);
    void Text(char* field, DWORD n);  // fixed-width text, always NUL-terminated after reading
    void Rect(RECT& r);
    void Part(SkinImagePart& p);
    void Grid(SkinNineGrid& g);
    void Style(SkinTextStyle& s);
    void Font(SkinFont& f);
    // True when n items of at least minSize bytes each can still follow.
    bool CountFits(DWORD n, DWORD minSize) const;

    int depth = 0;
    // Reading: the decoded size of the pictures read so far, and the most they may take.
    uint64_t pictureBytes = 0;
    uint64_t pictureBudget = UINT64_MAX;

private:
    CMemoryStream& m_stream;
    bool m_reading;
    int m_minor;
    bool m_ok = true;
};

// ---- data items -----------------------------------------------------------------------------

// A named datum that element queries read: a font, a block, a 32-bit value, an image part, a
// nine-grid or a text style, with an optional text.
class CSkinDataItem {
public:
    enum Kind : DWORD {
        KIND_FONT = 0,
        KIND_BLOCK = 1,
        KIND_VALUE = 2,
        KIND_IMAGEPART = 3,
        KIND_NINEGRID = 4,
        KIND_VALUE5 = 5,
        KIND_VALUE6 = 6,
        KIND_VALUE7 = 7,
        KIND_TEXTSTYLE = 9,
        KIND_NONE = 100,
    };

    CSkinDataItem();
    CSkinDataItem(const char* name, DWORD kind, const void* data, DWORD size);
    virtual ~CSkinDataItem() = default;

    void Serialize(CSkinArchive& ar);

    void SetName(const char* name) { SkinCopyText(m_szName, sizeof m_szName, name); }
    void SetLabel(const char* label) { SkinCopyText(m_szLabel, sizeof m_szLabel, label); }
    void SetData(const void* data, DWORD size);
    void SetText(const char* text);  // null: no text
    const char* GetName() const { return m_szName; }
    const char* GetLabel() const { return m_szLabel; }
    DWORD GetKind() const { return m_nKind; }
    DWORD GetDataSize() const { return DWORD(m_data.size()); }
    const BYTE* GetData() const { return m_data.empty() ? nullptr : m_data.data(); }
    const char* GetText() const { return m_text.empty() ? nullptr : m_text.data(); }

    DWORD m_nKind = KIND_NONE;
    DWORD m_bOwnsData = 1;

private:
    std::vector<BYTE> m_data;
    std::vector<char> m_text;  // with its terminator; empty means no text
    char m_szName[31] = {};
    char m_szLabel[51] = {};
};

// A cut-out state image ready for drawing: the cropped picture and its shape.
struct SkinImageCacheEntry {
    LONG width = 0;
    LONG height = 0;
    DWORD reserved = 0;
    HRGN region = nullptr;
    CRasterImage* image = nullptr;
};

// ---- the common object ----------------------------------------------------------------------

class CSkinObject {
public:
    using ChildMap = std::map<std::string, std::unique_ptr<CSkinObject>>;
    using DataItemMap = std::map<std::string, std::unique_ptr<CSkinDataItem>>;

    explicit CSkinObject(int type);
    virtual ~CSkinObject();
    CSkinObject(const CSkinObject&) = delete;
    CSkinObject& operator=(const CSkinObject&) = delete;

    virtual COLORREF GetKeyColor() const { return 0xFF00FF; }
    virtual void ReleaseResources();
    virtual void CreateResources();
    // Writes the type code and the whole record at the current version layout (always 1.18).
    virtual bool Save(CMemoryStream& stream);
    // Reads the record (the type code was read by the caller) at the thread's current version.
    virtual bool Load(CMemoryStream& stream);
    virtual void SetValue(int value) {}
    virtual void SetRect(const RECT* rc);
    virtual CSkinDataItem* FindDataItem(const char* name) const;

    // The whole record after the type code, read or written in one pass.
    void Serialize(CSkinArchive& ar);

    int GetType() const { return m_nType; }
    const char* GetName() const { return m_szName; }
    void SetName(const char* name) { SkinCopyText(m_szName, sizeof m_szName, name); }
    void SetSecondName(const char* name) { SkinCopyText(m_szSecondName, sizeof m_szSecondName, name); }
    const char* GetSecondName() const { return m_szSecondName; }
    CSkinFile* GetOwner() const { return m_pOwner; }
    virtual void SetOwner(CSkinFile* owner);  // also the children's owner

    // Takes the child and gives it this object's owner. Refused (false) when a child of that
    // name exists: the raw-pointer form then leaves the child to the caller, the other form
    // deletes it.
    bool AddChild(CSkinObject* child);
    bool AddChild(std::unique_ptr<CSkinObject> child);
    // Hands the child of that name to the caller, or null.
    CSkinObject* RemoveChild(const char* name);
    CSkinObject* FindChild(const char* name) const;
    CSkinObject* FindChildRecursive(const char* name) const;
    const ChildMap& GetChildren() const { return m_children; }
    // Stores an item under its upper-cased name, replacing an earlier one of that key.
    void AddDataItem(CSkinDataItem* item);
    const DataItemMap& GetDataItems() const { return m_dataItems; }
    // Cuts a record out of the owning skin's images into a cache entry (left empty when the
    // picture is missing or the cut fails); shaped skins also get the part's region.
    void GetImagePart(const SkinImagePart& part, SkinImageCacheEntry& entry) const;
    static void ReleaseImagePart(SkinImageCacheEntry& entry);

    COLORREF m_crBack;
    COLORREF m_crText;
    DWORD m_nThird = 255;
    RECT m_rc = {0, 0, 60, 30};
    DWORD m_nAnchoring = 0;
    DWORD m_nValue = 0;

protected:
    // Each class reads or writes its tail after the common record and the children, calling
    // its base class first.
    virtual void SerializeTail(CSkinArchive& ar) {}
    // A u32 count and the items; read items are keyed by their upper-cased names.
    static void SerializeDataItems(CSkinArchive& ar, DataItemMap& items);

    char m_szSecondName[51] = {};
    char m_szName[51] = {};
    int m_nType;
    ChildMap m_children;
    DataItemMap m_dataItems;
    CSkinFile* m_pOwner = nullptr;
};

// Builds the record object for a type code, or null when the type has no record class.
std::unique_ptr<CSkinObject> CreateSkinObject(int type);


// ---- window objects (types 1, 17, 42, 45) -------------------------------------------------------

class CSkinWindowObject : public CSkinObject {
public:
    explicit CSkinWindowObject(int type);
    ~CSkinWindowObject() override;
    void CreateResources() override;
    void ReleaseResources() override;
    void SetRect(const RECT* rc) override;
    const SkinImageCacheEntry& GetCachedPart(int index) const { return m_cache[index]; }
    // The design bounds of the frame: from the origin to the far corner of frame part 8.
    RECT GetFrameBounds() const { return RECT{0, 0, m_frameRects[8].right, m_frameRects[8].bottom}; }

    SkinImagePart m_parts[18];  // 0-8 active frame, 9-17 inactive; 4 and 13 the client
    RECT m_frameRects[9];
    SkinFont m_captionFont;
    DWORD m_bClientBackground = 0;  // paint parts 4/13 as the client background
    DWORD m_nWindowValue = 0;       // stored and written back
    COLORREF m_crActiveFill = 0xFF0000;
    COLORREF m_crInactiveFill = 0x727200;
    COLORREF m_crBackground = 0xFFFFFF;
    SkinTextStyle m_textStyle;
    SkinNineGrid m_iconicCaption[2];  // minimised caption, active then inactive

protected:
    void SerializeTail(CSkinArchive& ar) override;
    SkinImageCacheEntry m_cache[18];
};

// ---- font objects (most control types, and 100) ----------------------------------------------

class CSkinFontObject : public CSkinObject {
public:
    explicit CSkinFontObject(int type);
    ~CSkinFontObject() override;
    void CreateResources() override;
    void ReleaseResources() override;
    void SetValue(int value) override { m_nControlId = DWORD(value); }
    HFONT GetFont() const { return m_hFont; }

    SkinFont m_font;
    SkinNineGrid m_background;
    DWORD m_nControlId = 0;   // the dialog control this child object gives its look to
    DWORD m_nFontValue1 = 0;  // stored and written back
    DWORD m_nFontValue2 = 0;
    DWORD m_anchor[4] = {};   // left, top, right, bottom anchor flags
    DWORD m_nAnchorExtra = 0;

protected:
    void SerializeTail(CSkinArchive& ar) override;
    void SerializeFontBase(CSkinArchive& ar);
    HFONT m_hFont = nullptr;
};

// ---- caption objects (3, 38 and the frame's embedded caption text object) ---------------------

class CSkinCaptionBaseObject : public CSkinObject {
public:
    explicit CSkinCaptionBaseObject(int type);

    SkinImagePart m_image;
    DWORD m_nCaptionValue1 = 0;
    DWORD m_nCaptionValue2 = 0;
    DWORD m_nCaptionValue3 = 0;
    char m_szCaptionText[51] = {};

protected:
    void SerializeTail(CSkinArchive& ar) override;
};
