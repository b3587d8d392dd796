// The default skin's tooltip look.
#include "SkinLook.h"

namespace skinbuild {

namespace {

const Rgba kTipBorder = Hex(0x8D9BB0);

void AddTooltipPicture(CSkinFile& skin)
{
    CCanvas c(9, 9);
    c.RoundRect(0, 0, 9, 9, 3, Solid(kTipBorder));
    c.RoundRect(1, 1, 8, 8, 2, Solid(kTipFill));
    AddPicture(skin, "tooltip", c, Flat(kBody));
}

std::unique_ptr<CSkinTooltipObject> MakeTooltip()
{
    auto o = MakeObject<CSkinTooltipObject>("Tooltip");
    SetSmallWindowParts(*o, "tooltip", 0, 60, 30);
    o->m_captionFont = MakeFont(-11, FW_NORMAL, kText);
    o->m_crBack = ToColorRef(kTipFill);
    o->m_crActiveFill = ToColorRef(kTipBorder);
    o->m_crInactiveFill = ToColorRef(kTipBorder);
    o->m_crBackground = ToColorRef(kTipFill);
    o->m_textStyle = MakeStyle(kText);
    o->m_nShowDelay = 1000;
    o->m_nHideDelay = 8000;
    o->m_nPlacement = 0;
    return o;
}

}  // namespace

void AddTooltipLook(CSkinFile& skin)
{
    AddTooltipPicture(skin);
    skin.AddObject(MakeTooltip());
}

}  // namespace skinbuild
