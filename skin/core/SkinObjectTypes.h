// The record classes of the skin object types. Each adds its tail to one of the bases in
// SkinObject.h. Fields are public so that a skin builder can fill every record in code; the
// file layout of each is described in docs/skin-format.md.
#pragma once

#include "SkinObject.h"

#include <memory>

class CRasterImage;

// The menu-bar look that a FrameWnd object carries inside it (written with type code 20).
class CSkinCaptionTextObject : public CSkinCaptionBaseObject {
public:
    struct ItemLook {
        SkinNineGrid grid;
        COLORREF fill;
        RECT textMargins;
        COLORREF textColor;
    };
    CSkinCaptionTextObject();

    SkinFont m_menuFont;
    RECT m_barMargins = {0, 0, 0, 0};
    SkinNineGrid m_barBackground;
    ItemLook m_hotItem;
    ItemLook m_openItem;
    COLORREF m_crNormalText = 0;
    COLORREF m_crDisabledText = 0x808080;
    SkinImagePart m_buttons[4][3];  // system menu, minimise, restore, close x normal, hot, pressed

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinFrameWndObject : public CSkinWindowObject {
public:
    CSkinFrameWndObject();
    void SetOwner(CSkinFile* owner) override;

    CSkinCaptionTextObject m_menuBar;
    DWORD m_nFrameValue = 0;
    SkinImagePart m_mdiClientBackground;

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinShapeWndObject : public CSkinObject {
public:
    CSkinShapeWndObject();

    SkinImagePart m_shape;
    RECT m_rects[2] = {};
    BYTE m_nByte = 0;
    DWORD m_values[2] = {};

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinCaptionButtonObject : public CSkinCaptionBaseObject {
public:
    enum Action : DWORD { ACTION_COMMAND, ACTION_CLOSE, ACTION_SYSMENU, ACTION_MAXIMIZE, ACTION_MINIMIZE,
                          ACTION_SYSMENU_TOGGLE };
    CSkinCaptionButtonObject();

    SkinImagePart m_states[3];
    DWORD m_nAction = ACTION_COMMAND;
    DWORD m_bSticky = 0;

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

// A nine-grid, a text style and 16 bytes: one state of buttons and tabs.
struct SkinGridState {
    SkinNineGrid grid;
    SkinTextStyle style;
    BYTE extra[16];
};
// An image part, a nine-grid, a text style and 16 bytes: one state of check boxes and radios.
struct SkinCheckState {
    SkinImagePart box;
    SkinNineGrid grid;
    SkinTextStyle style;
    BYTE extra[16];
};

class CSkinButtonObject : public CSkinFontObject {
public:
    CSkinButtonObject();

    SkinGridState m_states[6];
    char m_szPushLike[50] = {};
    DWORD m_nButtonValue1 = 0;
    DWORD m_nButtonValue2 = 0;

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinCheckBoxObject : public CSkinFontObject {
public:
    explicit CSkinCheckBoxObject(int type = SKIN_CHECKBOX);

    SkinCheckState m_states[7];
    char m_szPushLike[50] = {};
    DWORD m_nCheckValue = 0;
    char m_szExtraName[50] = {};

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinRadioObject : public CSkinCheckBoxObject {
public:
    CSkinRadioObject() : CSkinCheckBoxObject(SKIN_RADIO) {}
};

class CSkinComboBoxObject : public CSkinFontObject {
public:
    explicit CSkinComboBoxObject(int type = SKIN_COMBOBOX);

    SkinNineGrid m_buttons[4];  // drop-down button: normal, pressed, hot, disabled
    DWORD m_nComboValue = 0;
    COLORREF m_crColor1 = 0;
    COLORREF m_crColor2 = 0;
    DWORD m_nComboValue2 = 0;

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

// Edit, ListBox, ScrollControl, ListView and RichEdit share this layout.
class CSkinScrollControlObject : public CSkinFontObject {
public:
    explicit CSkinScrollControlObject(int type);

    SkinImagePart m_image;

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinGroupBoxObject : public CSkinFontObject {
public:
    CSkinGroupBoxObject();

    SkinNineGrid m_caption;
    DWORD m_nGroupValue1 = 0;
    SkinTextStyle m_style;
    DWORD m_nGroupValue2 = 0;

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinProgressBarObject : public CSkinFontObject {
public:
    CSkinProgressBarObject();

    SkinNineGrid m_bar;
    DWORD m_values[3] = {};

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

// Two arrows, a track and a thumb: one state of one orientation of a scroll bar.
struct SkinScrollBarState {
    SkinImagePart arrow1;
    SkinImagePart arrow2;
    SkinNineGrid track;
    SkinNineGrid thumb;
};

class CSkinScrollBarObject : public CSkinFontObject {
public:
    CSkinScrollBarObject();

    SkinScrollBarState m_horizontal[4];  // normal, pressed, hot, disabled
    SkinImagePart m_sizeGrip;
    DWORD m_values[5] = {};
    SkinScrollBarState m_vertical[3];
    SkinScrollBarState m_verticalLast;

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinSliderObject : public CSkinFontObject {
public:
    CSkinSliderObject();

    SkinNineGrid m_channel;
    DWORD m_values1[2] = {};
    DWORD m_values2[3] = {};
    SkinNineGrid m_thumb;
    DWORD m_nSliderValue = 0;
    SkinNineGrid m_verticalThumb;

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinStaticObject : public CSkinFontObject {
public:
    CSkinStaticObject();

    DWORD m_nStaticValue = 0;
    SkinTextStyle m_style;
    char m_szText[51] = {};
    BYTE m_extra[16] = {};

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinStatusBarObject : public CSkinFontObject {
public:
    CSkinStatusBarObject();

    SkinNineGrid m_pane;
    SkinImagePart m_grip;

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinTabObject : public CSkinFontObject {
public:
    CSkinTabObject();

    SkinGridState m_states[4];
    SkinNineGrid m_page;
    DWORD m_nTabValue = 0;

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinPopupMenuObject : public CSkinWindowObject {
public:
    CSkinPopupMenuObject();

    RECT m_rects[3] = {};
    DWORD m_values[2] = {};
    SkinNineGrid m_grids[2];
    SkinImagePart m_image1;
    SkinImagePart m_image2;

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

// A picture of the skin, kept decoded; saved in its format (1 BMP, 2 TGA).
class CSkinImageObject : public CSkinObject {
public:
    CSkinImageObject();
    ~CSkinImageObject() override;

    CRasterImage* GetImage() const { return m_image.get(); }
    // Takes a copy of the picture and the format it is saved in.
    void SetImage(const CRasterImage& image, DWORD format);
    DWORD GetFormat() const { return m_nFormat; }

protected:
    void SerializeTail(CSkinArchive& ar) override;
    std::unique_ptr<CRasterImage> m_image;
    DWORD m_nFormat = 1;
};

class CSkinVoiceObject : public CSkinObject {
public:
    CSkinVoiceObject() : CSkinObject(SKIN_VOICE) {}
};

class CSkinToolBarObject : public CSkinFontObject {
public:
    CSkinToolBarObject();

    SkinNineGrid m_grids[5];

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinControlBarObject : public CSkinFontObject {
public:
    CSkinControlBarObject() : CSkinFontObject(SKIN_CONTROLBAR) {}
};

class CSkinApplicationObject : public CSkinObject {
public:
    CSkinApplicationObject();
    // The third value of the common record holds the key colour.
    COLORREF GetKeyColor() const override { return m_nThird; }

    char m_szToolName[51] = {};
    char m_szSkinName[51] = {};
    char m_szThirdText[51] = {};
    DWORD m_bTransparent = 1;  // shaped windows: leave the key colour out of regions
    char m_szEmail[51] = {};
    char m_szWeb[51] = {};

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

// Two image parts: one state of one spin arrow pair.
struct SkinSpinState {
    SkinImagePart parts[2];
};
static_assert(sizeof(SkinGridState) == 120 && sizeof(SkinCheckState) == 192 &&
                  sizeof(SkinScrollBarState) == 320 && sizeof(SkinSpinState) == 144,
              "state blocks keep their file sizes");

class CSkinSpinObject : public CSkinFontObject {
public:
    CSkinSpinObject();

    SkinSpinState m_states[4];
    SkinSpinState m_states2[4];

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinTreeViewObject : public CSkinScrollControlObject {
public:
    CSkinTreeViewObject();

    SkinNineGrid m_grids[2];
    DWORD m_values[2] = {};
    BYTE m_blocks[2][16] = {};
    SkinImagePart m_images[4];
    DWORD m_nTreeValue = 0;

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinDateTimeObject : public CSkinFontObject {
public:
    CSkinDateTimeObject();

    SkinNineGrid m_grids[3];
    SkinImagePart m_image1;
    BYTE m_block1[16] = {};
    SkinImagePart m_image2;
    BYTE m_block2[16] = {};
    DWORD m_nDateValue = 0;

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinMonthCalendarObject : public CSkinFontObject {
public:
    CSkinMonthCalendarObject();

    SkinNineGrid m_grids[6];
    DWORD m_values[4] = {};

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinRebarObject : public CSkinFontObject {
public:
    CSkinRebarObject();

    SkinNineGrid m_band;
    BYTE m_block[16] = {};

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinHeaderObject : public CSkinFontObject {
public:
    CSkinHeaderObject();

    BYTE m_block[16] = {};
    SkinNineGrid m_item;

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinCaptionStaticObject : public CSkinCaptionBaseObject {
public:
    CSkinCaptionStaticObject();

    DWORD m_nRole = 0;  // 1: the title, the window's own caption text is not drawn
    BYTE m_block20[20] = {};
    DWORD m_nRegionMode = 0;  // 0 AND, 1 DIFF, 2 OR, 3 XOR, 4 cut the rectangle then OR
    SkinFont m_font;
    BYTE m_block16[16] = {};
    char m_szText[51] = {};
    DWORD m_values[2] = {};

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinImageListObject : public CSkinObject {
public:
    CSkinImageListObject();

    DWORD m_nCellWidth = 0;
    DWORD m_nCellHeight = 0;
    DWORD m_nDepthIndex = 0;  // 0 to 6
    DWORD m_nGrow = 0;
    SkinImagePart m_strip;

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinAnimateObject : public CSkinFontObject {
public:
    CSkinAnimateObject();

    SkinImagePart m_image;

protected:
    void SerializeTail(CSkinArchive& ar) override;
};

class CSkinTooltipObject : public CSkinWindowObject {
public:
    CSkinTooltipObject();

    const char* GetStyleSheet() const { return m_styleSheet.empty() ? nullptr : m_styleSheet.data(); }
    // Null or "" removes the text.
    void SetStyleSheet(const char* text);

    DWORD m_nShowDelay = 1000;
    DWORD m_nHideDelay = 8000;
    DWORD m_nPlacement = 0;

protected:
    void SerializeTail(CSkinArchive& ar) override;
    std::vector<char> m_styleSheet;  // the stored bytes and a terminator; empty for none
};

class CSkinSysColorTableObject : public CSkinObject {
public:
    enum { kColors = 100, kBrushes = 31 };
    CSkinSysColorTableObject();
    ~CSkinSysColorTableObject() override;
    void CreateResources() override;
    void ReleaseResources() override;
    HBRUSH GetBrush(int index) const { return index >= 0 && index < kBrushes ? m_brushes[index] : nullptr; }

    COLORREF m_colors[kColors];

protected:
    void SerializeTail(CSkinArchive& ar) override;
    HBRUSH m_brushes[kBrushes] = {};
};

class CSkinType45Object : public CSkinWindowObject {
public:
    CSkinType45Object() : CSkinWindowObject(SKIN_TYPE45) {}
};

// Named data items for the element queries.
class CSkinType100Object : public CSkinFontObject {
public:
    CSkinType100Object();
    // The first item whose own name is exactly the given one.
    CSkinDataItem* FindDataItem(const char* name) const override;
    void AddItem(CSkinDataItem* item) { AddDataItem(item); }

    char m_szText[51] = {};

protected:
    void SerializeTail(CSkinArchive& ar) override;
};
