// The default skin's common-control looks: the list view's header.
#include "SkinLook.h"

namespace skinbuild {

namespace {

void AddHeaderPicture(CSkinFile& skin)
{
    // Item 16 x 22 with its right separator; background 8 x 22 without one.
    CCanvas c(24, 22);
    c.FillRect(0, 0, 24, 22, VerticalGradient(0, 21, kWhite, Hex(0xEBEFF4)));
    c.FillRect(0, 21, 24, 22, Solid(Hex(0xC5CDD8)));
    c.FillRect(15, 4, 16, 18, Solid(Hex(0xCBD3DD)));
    AddPicture(skin, "header", c, Flat(kWhite));
}

}  // namespace

void AddCommonControlLooks(CSkinFile& skin)
{
    AddHeaderPicture(skin);

    auto header = MakeControl<CSkinHeaderObject>("Header", Hex(0x2B3644));
    header->m_background.Set("header", 16, 0, 24, 22, 0, 0, 0, 1, 1);
    header->m_item.Set("header", 0, 0, 16, 22, 6, 2, 6, 2, 1);
    skin.AddObject(std::move(header));
}

}  // namespace skinbuild
