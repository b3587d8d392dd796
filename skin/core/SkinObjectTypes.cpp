#include "SkinObjectTypes.h"

#include <cstdlib>
#include <cstring>

#include "RasterImage.h"

namespace {

// System colour indices used by the version conversions and defaults.
enum { SC_WINDOW = 5, SC_WINDOWTEXT = 8, SC_BTNFACE = 15, SC_BTNTEXT = 18, SC_INFOBK = 24 };

template <typename T>
void Zero(T& v)
{
    memset(&v, 0, sizeof v);
}

void SerializeGridState(CSkinArchive& ar, SkinGridState& s)
{
    ar.Grid(s.grid);
    ar.Style(s.style);
    ar.Raw(s.extra, sizeof s.extra);
}

void SerializeScrollState(CSkinArchive& ar, SkinScrollBarState& s)
{
    ar.Part(s.arrow1);
    ar.Part(s.arrow2);
    ar.Grid(s.track);
    ar.Grid(s.thumb);
}

// Files before 1.9 carried text styles that are no longer meaningful; they start over from
// the default in the control's font colour.
SkinTextStyle LegacyStyle(COLORREF color)
{
    SkinTextStyle s = SkinTextStyle::Default();
    s.SetTextColor(color);
    return s;
}

}  // namespace

std::unique_ptr<CSkinObject> CreateSkinObject(int type)
{
    switch (type) {
    case SKIN_FRAMEWND: return std::make_unique<CSkinFrameWndObject>();
    case SKIN_SHAPEWND: return std::make_unique<CSkinShapeWndObject>();
    case SKIN_CAPTIONBUTTON: return std::make_unique<CSkinCaptionButtonObject>();
    case SKIN_BUTTON: return std::make_unique<CSkinButtonObject>();
    case SKIN_CHECKBOX: return std::make_unique<CSkinCheckBoxObject>();
    case SKIN_RADIO: return std::make_unique<CSkinRadioObject>();
    case SKIN_COMBOBOX:
    case SKIN_COMBOBOXEX: return std::make_unique<CSkinComboBoxObject>(type);
    case SKIN_EDIT:
    case SKIN_LISTBOX:
    case SKIN_SCROLLCONTROL:
    case SKIN_LISTVIEW:
    case SKIN_RICHEDIT: return std::make_unique<CSkinScrollControlObject>(type);
    case SKIN_GROUPBOX: return std::make_unique<CSkinGroupBoxObject>();
    case SKIN_PROGRESSBAR: return std::make_unique<CSkinProgressBarObject>();
    case SKIN_SCROLLBAR: return std::make_unique<CSkinScrollBarObject>();
    case SKIN_SLIDER: return std::make_unique<CSkinSliderObject>();
    case SKIN_STATIC: return std::make_unique<CSkinStaticObject>();
    case SKIN_STATUSBAR: return std::make_unique<CSkinStatusBarObject>();
    case SKIN_TAB: return std::make_unique<CSkinTabObject>();
    case SKIN_POPUPMENU: return std::make_unique<CSkinPopupMenuObject>();
    case SKIN_IMAGE: return std::make_unique<CSkinImageObject>();
    case SKIN_VOICE: return std::make_unique<CSkinVoiceObject>();
    case SKIN_TOOLBAR: return std::make_unique<CSkinToolBarObject>();
    case SKIN_CONTROLBAR: return std::make_unique<CSkinControlBarObject>();
    case SKIN_APPLICATION: return std::make_unique<CSkinApplicationObject>();
    case SKIN_SPIN: return std::make_unique<CSkinSpinObject>();
    case SKIN_TREEVIEW: return std::make_unique<CSkinTreeViewObject>();
    case SKIN_DATETIME: return std::make_unique<CSkinDateTimeObject>();
    case SKIN_MONTHCALENDAR: return std::make_unique<CSkinMonthCalendarObject>();
    case SKIN_REBAR: return std::make_unique<CSkinRebarObject>();
    case SKIN_HEADER: return std::make_unique<CSkinHeaderObject>();
    case SKIN_CAPTIONSTATIC: return std::make_unique<CSkinCaptionStaticObject>();
    case SKIN_IMAGELIST: return std::make_unique<CSkinImageListObject>();
    case SKIN_ANIMATE: return std::make_unique<CSkinAnimateObject>();
    case SKIN_TOOLTIP: return std::make_unique<CSkinTooltipObject>();
    case SKIN_SYSCOLORTABLE: return std::make_unique<CSkinSysColorTableObject>();
    case SKIN_TYPE45: return std::make_unique<CSkinType45Object>();
    case SKIN_TYPE100: return std::make_unique<CSkinType100Object>();
    default: return nullptr;
    }
}

// ---- 1 FrameWnd and its menu-bar object -----------------------------------------------------

CSkinCaptionTextObject::CSkinCaptionTextObject()
    : CSkinCaptionBaseObject(SKIN_MENUBAR), m_menuFont(SkinFont::Default("Arial"))
{
    Zero(m_barBackground);
    Zero(m_hotItem);
    Zero(m_openItem);
    Zero(m_buttons);
}

void CSkinCaptionTextObject::SerializeTail(CSkinArchive& ar)
{
    CSkinCaptionBaseObject::SerializeTail(ar);
    ar.Font(m_menuFont);
    ar.Rect(m_barMargins);
    ar.Grid(m_barBackground);
    for (ItemLook* look : {&m_hotItem, &m_openItem}) {
        ar.Grid(look->grid);
        ar.U32(look->fill);
        ar.Rect(look->textMargins);
        ar.U32(look->textColor);
    }
    ar.U32(m_crNormalText);
    ar.U32(m_crDisabledText);
    for (auto& button : m_buttons)
        for (auto& part : button)
            ar.Part(part);
}

CSkinFrameWndObject::CSkinFrameWndObject() : CSkinWindowObject(SKIN_FRAMEWND) { Zero(m_mdiClientBackground); }

void CSkinFrameWndObject::SetOwner(CSkinFile* owner)
{
    CSkinWindowObject::SetOwner(owner);
    m_menuBar.SetOwner(owner);
}

void CSkinFrameWndObject::SerializeTail(CSkinArchive& ar)
{
    CSkinWindowObject::SerializeTail(ar);
    DWORD embeddedType = SKIN_MENUBAR;  // written for readers' sake, never checked
    ar.U32(embeddedType);
    if (ar.IsReading())
        m_menuBar.SetOwner(m_pOwner);
    if (ar.depth >= CSkinArchive::kMaxDepth) {
        ar.Fail();
        return;
    }
    ++ar.depth;
    m_menuBar.Serialize(ar);
    --ar.depth;
    if (ar.Since(6)) {
        ar.U32(m_nFrameValue);
        ar.Part(m_mdiClientBackground);
    }
}

// ---- 2 ShapeWnd, 3 CaptionButton ------------------------------------------------------------

CSkinShapeWndObject::CSkinShapeWndObject() : CSkinObject(SKIN_SHAPEWND) { Zero(m_shape); }

void CSkinShapeWndObject::SerializeTail(CSkinArchive& ar)
{
    ar.Part(m_shape);
    ar.Rect(m_rects[0]);
    ar.Rect(m_rects[1]);
    ar.U8(m_nByte);
    ar.U32(m_values[0]);
    ar.U32(m_values[1]);
}

CSkinCaptionButtonObject::CSkinCaptionButtonObject() : CSkinCaptionBaseObject(SKIN_CAPTIONBUTTON) { Zero(m_states); }

void CSkinCaptionButtonObject::SerializeTail(CSkinArchive& ar)
{
    CSkinCaptionBaseObject::SerializeTail(ar);
    for (auto& p : m_states)
        ar.Part(p);
    ar.U32(m_nAction);
    ar.U32(m_bSticky);
}

// ---- 4 Button, 5 CheckBox, 11 Radio ---------------------------------------------------------

CSkinButtonObject::CSkinButtonObject() : CSkinFontObject(SKIN_BUTTON)
{
    for (auto& s : m_states) {
        Zero(s);
        s.style = SkinTextStyle::Default();
    }
}

void CSkinButtonObject::SerializeTail(CSkinArchive& ar)
{
    // Before 1.7 a button had no font base: its font came after the states.
    bool early = !ar.Since(7);
    if (!early)
        SerializeFontBase(ar);
    for (auto& s : m_states)
        SerializeGridState(ar, s);
    ar.Text(m_szPushLike, sizeof m_szPushLike);
    ar.U32(m_nButtonValue1);
    if (early) {
        ar.Font(m_font);
        ar.U32(m_nControlId);
    }
    ar.U32(m_nButtonValue2);
    if (ar.IsReading() && !ar.Since(9))
        for (auto& s : m_states)
            s.style = LegacyStyle(m_font.color);
}

CSkinCheckBoxObject::CSkinCheckBoxObject(int type) : CSkinFontObject(type)
{
    for (auto& s : m_states) {
        Zero(s);
        s.style = SkinTextStyle::Default();
    }
}

void CSkinCheckBoxObject::SerializeTail(CSkinArchive& ar)
{
    SerializeFontBase(ar);
    for (auto& s : m_states) {
        ar.Part(s.box);
        ar.Grid(s.grid);
        ar.Style(s.style);
        ar.Raw(s.extra, sizeof s.extra);
    }
    ar.Text(m_szPushLike, sizeof m_szPushLike);
    ar.U32(m_nCheckValue);
    if (ar.Since(17))
        ar.Text(m_szExtraName, sizeof m_szExtraName);
    if (ar.IsReading() && !ar.Since(9)) {
        for (auto& s : m_states)
            s.style = SkinTextStyle::Default();
        m_nCheckValue = 0;
    }
}

// ---- 6 ComboBox, 33 ComboBoxEx --------------------------------------------------------------

CSkinComboBoxObject::CSkinComboBoxObject(int type) : CSkinFontObject(type) { Zero(m_buttons); }

void CSkinComboBoxObject::SerializeTail(CSkinArchive& ar)
{
    SerializeFontBase(ar);
    for (auto& g : m_buttons)
        ar.Grid(g);
    ar.U32(m_nComboValue);
    if (ar.Since(11)) {
        ar.U32(m_crColor1);
        ar.U32(m_crColor2);
        ar.U32(m_nComboValue2);
    } else if (ar.IsReading() && ar.Ok()) {
        // Older files kept the list colours in the object's own colours.
        if (!ar.Since(9)) {
            m_crBack = SkinSystemColor(SC_BTNFACE);
            m_crText = SkinSystemColor(SC_BTNTEXT);
        }
        m_crColor1 = m_crBack;
        m_crColor2 = m_crText;
        m_crBack = SkinSystemColor(SC_WINDOW);
        m_crText = SkinSystemColor(SC_WINDOWTEXT);
    }
}

// ---- 7, 9, 26, 28, 30 and 29 ----------------------------------------------------------------

CSkinScrollControlObject::CSkinScrollControlObject(int type) : CSkinFontObject(type) { Zero(m_image); }

void CSkinScrollControlObject::SerializeTail(CSkinArchive& ar)
{
    SerializeFontBase(ar);
    ar.Part(m_image);
    if (ar.IsReading() && ar.Ok() && !ar.Since(11)) {
        m_crBack = SkinSystemColor(SC_WINDOW);
        m_crText = SkinSystemColor(SC_WINDOWTEXT);
        m_nThird = SkinSystemColor(SC_BTNFACE);
    }
}

CSkinTreeViewObject::CSkinTreeViewObject() : CSkinScrollControlObject(SKIN_TREEVIEW)
{
    Zero(m_grids);
    Zero(m_images);
}

void CSkinTreeViewObject::SerializeTail(CSkinArchive& ar)
{
    CSkinScrollControlObject::SerializeTail(ar);
    if (ar.Since(12)) {
        ar.Grid(m_grids[0]);
        ar.Grid(m_grids[1]);
        ar.U32(m_values[0]);
        ar.U32(m_values[1]);
        ar.Raw(m_blocks[0], 16);
        ar.Raw(m_blocks[1], 16);
    }
    if (ar.Since(15)) {
        for (auto& p : m_images)
            ar.Part(p);
        ar.U32(m_nTreeValue);
    }
}

// ---- 8 GroupBox, 10 ProgressBar -------------------------------------------------------------

CSkinGroupBoxObject::CSkinGroupBoxObject() : CSkinFontObject(SKIN_GROUPBOX), m_style(SkinTextStyle::Default())
{
    Zero(m_caption);
}

void CSkinGroupBoxObject::SerializeTail(CSkinArchive& ar)
{
    SerializeFontBase(ar);
    ar.Grid(m_caption);
    ar.U32(m_nGroupValue1);
    ar.Style(m_style);
    ar.U32(m_nGroupValue2);
    if (ar.IsReading() && !ar.Since(9)) {
        m_style = SkinTextStyle::Default();
        m_nGroupValue2 = 0;
    }
}

CSkinProgressBarObject::CSkinProgressBarObject() : CSkinFontObject(SKIN_PROGRESSBAR) { Zero(m_bar); }

void CSkinProgressBarObject::SerializeTail(CSkinArchive& ar)
{
    SerializeFontBase(ar);
    ar.Grid(m_bar);
    for (auto& v : m_values)
        ar.U32(v);
}

// ---- 12 ScrollBar, 13 Slider ----------------------------------------------------------------

CSkinScrollBarObject::CSkinScrollBarObject() : CSkinFontObject(SKIN_SCROLLBAR)
{
    Zero(m_horizontal);
    Zero(m_sizeGrip);
    Zero(m_vertical);
    Zero(m_verticalLast);
}

void CSkinScrollBarObject::SerializeTail(CSkinArchive& ar)
{
    SerializeFontBase(ar);
    for (auto& s : m_horizontal)
        SerializeScrollState(ar, s);
    ar.Part(m_sizeGrip);
    for (auto& v : m_values)
        ar.U32(v);
    if (ar.Since(12)) {
        for (auto& s : m_vertical)
            SerializeScrollState(ar, s);
        SerializeScrollState(ar, m_verticalLast);
    }
}

CSkinSliderObject::CSkinSliderObject() : CSkinFontObject(SKIN_SLIDER)
{
    Zero(m_channel);
    Zero(m_thumb);
    Zero(m_verticalThumb);
}

void CSkinSliderObject::SerializeTail(CSkinArchive& ar)
{
    SerializeFontBase(ar);
    ar.Grid(m_channel);
    for (auto& v : m_values1)
        ar.U32(v);
    for (auto& v : m_values2)
        ar.U32(v);
    ar.Grid(m_thumb);
    if (ar.Since(9)) {
        ar.U32(m_nSliderValue);
        ar.Grid(m_verticalThumb);
    }
}

// ---- 14 Static, 15 StatusBar, 16 Tab --------------------------------------------------------

CSkinStaticObject::CSkinStaticObject() : CSkinFontObject(SKIN_STATIC), m_style(SkinTextStyle::Default()) {}

void CSkinStaticObject::SerializeTail(CSkinArchive& ar)
{
    SerializeFontBase(ar);
    ar.U32(m_nStaticValue);
    ar.Style(m_style);
    ar.Text(m_szText, sizeof m_szText);
    if (ar.Since(16))
        ar.Raw(m_extra, sizeof m_extra);
    if (ar.IsReading() && !ar.Since(9))
        m_style = LegacyStyle(m_font.color);
}

CSkinStatusBarObject::CSkinStatusBarObject() : CSkinFontObject(SKIN_STATUSBAR)
{
    Zero(m_pane);
    Zero(m_grip);
}

void CSkinStatusBarObject::SerializeTail(CSkinArchive& ar)
{
    SerializeFontBase(ar);
    ar.Grid(m_pane);
    ar.Part(m_grip);
}

CSkinTabObject::CSkinTabObject() : CSkinFontObject(SKIN_TAB)
{
    for (auto& s : m_states) {
        Zero(s);
        s.style = SkinTextStyle::Default();
    }
    Zero(m_page);
}

void CSkinTabObject::SerializeTail(CSkinArchive& ar)
{
    SerializeFontBase(ar);
    for (auto& s : m_states)
        SerializeGridState(ar, s);
    ar.Grid(m_page);
    if (ar.Since(9))
        ar.U32(m_nTabValue);
}

// ---- 17 PopupMenu ---------------------------------------------------------------------------

CSkinPopupMenuObject::CSkinPopupMenuObject() : CSkinWindowObject(SKIN_POPUPMENU)
{
    Zero(m_grids);
    Zero(m_image1);
    Zero(m_image2);
}

void CSkinPopupMenuObject::SerializeTail(CSkinArchive& ar)
{
    CSkinWindowObject::SerializeTail(ar);
    for (auto& r : m_rects)
        ar.Rect(r);
    ar.U32(m_values[0]);
    ar.U32(m_values[1]);
    ar.Grid(m_grids[0]);
    ar.Grid(m_grids[1]);
    ar.Part(m_image1);
    if (ar.Since(3))
        ar.Part(m_image2);
}

// ---- 18 Image -------------------------------------------------------------------------------

CSkinImageObject::CSkinImageObject() : CSkinObject(SKIN_IMAGE), m_image(std::make_unique<CRasterImage>()) {}

CSkinImageObject::~CSkinImageObject() = default;

void CSkinImageObject::SetImage(const CRasterImage& image, DWORD format)
{
    m_image = std::make_unique<CRasterImage>(image);
    m_nFormat = format;
}

void CSkinImageObject::SerializeTail(CSkinArchive& ar)
{
    if (ar.IsReading()) {
        DWORD size = 0;
        DWORD format = 0;
        ar.U32(size);
        ar.U32(format);
        if (!ar.Ok() || size > ar.Remaining()) {
            ar.Fail();
            return;
        }
        m_nFormat = format;
        m_image = std::make_unique<CRasterImage>();
        if (size == 0)
            return;
        std::vector<BYTE> bytes(size);
        ar.Raw(bytes.data(), size);
        if (!ar.Ok())
            return;
        // Judged from the header, before anything is allocated for the pixels: a few bytes of
        // file may claim hundreds of megabytes.
        const uint64_t cost = CRasterImage::DecodedSizeOf(bytes.data(), size, format);
        if (cost > ar.pictureBudget - ar.pictureBytes) {
            ar.Fail();
            return;
        }
        ar.pictureBytes += cost;
        // A picture of unknown format is tried as BMP, then TGA, and keeps the format it
        // decoded as, so that it can be written back.
        bool decoded = false;
        if (format == RASTER_FORMAT_BMP || format == RASTER_FORMAT_TGA) {
            decoded = m_image->DecodeFromMemory(bytes.data(), size, format);
        } else {
            for (DWORD f : {DWORD(RASTER_FORMAT_BMP), DWORD(RASTER_FORMAT_TGA)}) {
                if (m_image->DecodeFromMemory(bytes.data(), size, f)) {
                    decoded = true;
                    m_nFormat = f;
                    break;
                }
            }
        }
        // A picture that doesn't decode leaves the object without an image; the record itself
        // was read whole, so the rest of the skin is still sound.
        if (!decoded)
            m_image = std::make_unique<CRasterImage>();
        return;
    }
    BYTE* encoded = nullptr;
    LONG length = 0;
    if (!m_image || !m_image->IsValid() || !m_image->EncodeToMemory(&encoded, &length, m_nFormat) || length <= 0) {
        free(encoded);
        encoded = nullptr;
        length = 0;
    }
    DWORD size = DWORD(length);
    ar.U32(size);
    ar.U32(m_nFormat);
    ar.Raw(encoded, size);
    free(encoded);
}

// ---- 23 ToolBar, 25 Application, 27 Spin ----------------------------------------------------

CSkinToolBarObject::CSkinToolBarObject() : CSkinFontObject(SKIN_TOOLBAR) { Zero(m_grids); }

void CSkinToolBarObject::SerializeTail(CSkinArchive& ar)
{
    SerializeFontBase(ar);
    for (auto& g : m_grids)
        ar.Grid(g);
}

CSkinApplicationObject::CSkinApplicationObject() : CSkinObject(SKIN_APPLICATION)
{
    m_nThird = 0xFF00FF;
    SkinCopyText(m_szToolName, sizeof m_szToolName, "Quorventa Builder");
    SkinCopyText(m_szSkinName, sizeof m_szSkinName, "Quorventa Skin File");
    SkinCopyText(m_szEmail, sizeof m_szEmail, "skins@velmora.invalid");
    SkinCopyText(m_szWeb, sizeof m_szWeb, "http://skins.velmora.invalid/");
}

void CSkinApplicationObject::SerializeTail(CSkinArchive& ar)
{
    ar.Text(m_szToolName, sizeof m_szToolName);
    ar.Text(m_szSkinName, sizeof m_szSkinName);
    ar.Text(m_szThirdText, sizeof m_szThirdText);
    ar.U32(m_bTransparent);
    if (ar.Since(4)) {
        ar.Text(m_szEmail, sizeof m_szEmail);
        ar.Text(m_szWeb, sizeof m_szWeb);
    }
}

CSkinSpinObject::CSkinSpinObject() : CSkinFontObject(SKIN_SPIN)
{
    Zero(m_states);
    Zero(m_states2);
}

void CSkinSpinObject::SerializeTail(CSkinArchive& ar)
{
    SerializeFontBase(ar);
    for (auto& s : m_states)
        for (auto& p : s.parts)
            ar.Part(p);
    if (ar.Since(13))
        for (auto& s : m_states2)
            for (auto& p : s.parts)
                ar.Part(p);
}

// ---- 31 DateTime, 35 MonthCalendar, 36 Rebar, 37 Header ---------------------------------------

CSkinDateTimeObject::CSkinDateTimeObject() : CSkinFontObject(SKIN_DATETIME)
{
    Zero(m_grids);
    Zero(m_image1);
    Zero(m_image2);
}

void CSkinDateTimeObject::SerializeTail(CSkinArchive& ar)
{
    SerializeFontBase(ar);
    for (auto& g : m_grids)
        ar.Grid(g);
    ar.Part(m_image1);
    ar.Raw(m_block1, sizeof m_block1);
    ar.Part(m_image2);
    ar.Raw(m_block2, sizeof m_block2);
    ar.U32(m_nDateValue);
}

CSkinMonthCalendarObject::CSkinMonthCalendarObject() : CSkinFontObject(SKIN_MONTHCALENDAR) { Zero(m_grids); }

void CSkinMonthCalendarObject::SerializeTail(CSkinArchive& ar)
{
    SerializeFontBase(ar);
    for (auto& g : m_grids)
        ar.Grid(g);
    for (auto& v : m_values)
        ar.U32(v);
}

CSkinRebarObject::CSkinRebarObject() : CSkinFontObject(SKIN_REBAR) { Zero(m_band); }

void CSkinRebarObject::SerializeTail(CSkinArchive& ar)
{
    SerializeFontBase(ar);
    ar.Grid(m_band);
    ar.Raw(m_block, sizeof m_block);
}

CSkinHeaderObject::CSkinHeaderObject() : CSkinFontObject(SKIN_HEADER) { Zero(m_item); }

void CSkinHeaderObject::SerializeTail(CSkinArchive& ar)
{
    SerializeFontBase(ar);
    ar.Raw(m_block, sizeof m_block);
    ar.Grid(m_item);
}

// ---- 38 CaptionStatic, 39 ImageList, 40 Animate -----------------------------------------------

CSkinCaptionStaticObject::CSkinCaptionStaticObject()
    : CSkinCaptionBaseObject(SKIN_CAPTIONSTATIC), m_font(SkinFont::Default("Arial"))
{
}

void CSkinCaptionStaticObject::SerializeTail(CSkinArchive& ar)
{
    CSkinCaptionBaseObject::SerializeTail(ar);
    ar.U32(m_nRole);
    ar.Raw(m_block20, sizeof m_block20);
    ar.U32(m_nRegionMode);
    ar.Font(m_font);
    ar.Raw(m_block16, sizeof m_block16);
    ar.Text(m_szText, sizeof m_szText);
    ar.U32(m_values[0]);
    ar.U32(m_values[1]);
}

CSkinImageListObject::CSkinImageListObject() : CSkinObject(SKIN_IMAGELIST) { Zero(m_strip); }

void CSkinImageListObject::SerializeTail(CSkinArchive& ar)
{
    ar.U32(m_nCellWidth);
    ar.U32(m_nCellHeight);
    ar.U32(m_nDepthIndex);
    ar.U32(m_nGrow);
    ar.Part(m_strip);
}

CSkinAnimateObject::CSkinAnimateObject() : CSkinFontObject(SKIN_ANIMATE) { Zero(m_image); }

void CSkinAnimateObject::SerializeTail(CSkinArchive& ar)
{
    SerializeFontBase(ar);
    ar.Part(m_image);
}

// ---- 42 Tooltip -----------------------------------------------------------------------------

CSkinTooltipObject::CSkinTooltipObject() : CSkinWindowObject(SKIN_TOOLTIP)
{
    // A one-pixel frame around a 278 x 152 design, black frame colours, the info background.
    static const RECT kFrame[9] = {
        {0, 0, 1, 1},     {1, 0, 277, 1},     {277, 0, 278, 1},     {0, 1, 1, 151},     {1, 1, 277, 151},
        {277, 1, 278, 151}, {0, 151, 1, 152}, {1, 151, 277, 152}, {277, 151, 278, 152},
    };
    memcpy(m_frameRects, kFrame, sizeof kFrame);
    m_crBack = 0;
    m_crText = 0;
    m_crBackground = SkinSystemColor(SC_INFOBK);
}

void CSkinTooltipObject::SetStyleSheet(const char* text)
{
    m_styleSheet.clear();
    if (text && *text)
        m_styleSheet.assign(text, text + strlen(text) + 1);
}

void CSkinTooltipObject::SerializeTail(CSkinArchive& ar)
{
    CSkinWindowObject::SerializeTail(ar);
    ar.U32(m_nShowDelay);
    ar.U32(m_nHideDelay);
    ar.U32(m_nPlacement);
    DWORD length = m_styleSheet.empty() ? 0 : DWORD(m_styleSheet.size() - 1);
    ar.U32(length);
    if (!ar.IsReading()) {
        ar.Raw(m_styleSheet.data(), length);
        return;
    }
    // The length is checked against what is left before anything is allocated.
    if (!ar.Ok() || length > ar.Remaining()) {
        ar.Fail();
        return;
    }
    std::vector<char> text(size_t(length) + 1, 0);
    ar.Raw(text.data(), length);
    if (ar.Ok())
        m_styleSheet = length ? std::move(text) : std::vector<char>();
}

// ---- 44 SysColorTable -----------------------------------------------------------------------

CSkinSysColorTableObject::CSkinSysColorTableObject() : CSkinObject(SKIN_SYSCOLORTABLE)
{
    for (int i = 0; i < kColors; ++i)
        m_colors[i] = SkinSystemColor(i);
}

CSkinSysColorTableObject::~CSkinSysColorTableObject() { CSkinSysColorTableObject::ReleaseResources(); }

void CSkinSysColorTableObject::SerializeTail(CSkinArchive& ar)
{
    for (auto& c : m_colors)
        ar.U32(c);
}

void CSkinSysColorTableObject::CreateResources()
{
    CSkinSysColorTableObject::ReleaseResources();
    // Only the colours the system defines get a brush.
    for (int i = 0; i < kBrushes; ++i)
        m_brushes[i] = CreateSolidBrush(m_colors[i]);
    CSkinObject::CreateResources();
}

void CSkinSysColorTableObject::ReleaseResources()
{
    for (auto& b : m_brushes) {
        if (b)
            DeleteObject(b);
        b = nullptr;
    }
    CSkinObject::ReleaseResources();
}

// ---- 100 ------------------------------------------------------------------------------------

CSkinType100Object::CSkinType100Object() : CSkinFontObject(SKIN_TYPE100) {}

void CSkinType100Object::SerializeTail(CSkinArchive& ar)
{
    SerializeFontBase(ar);
    ar.Text(m_szText, sizeof m_szText);
    SerializeDataItems(ar, m_dataItems);
}

CSkinDataItem* CSkinType100Object::FindDataItem(const char* name) const
{
    if (!name)
        return nullptr;
    for (auto& it : m_dataItems)
        if (strcmp(it.second->GetName(), name) == 0)
            return it.second.get();
    return nullptr;
}
