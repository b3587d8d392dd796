#include "SkinBuilder.h"

#include "SkinLook.h"

namespace skinbuild {

namespace {

// ---- application and system colours ----------------------------------------------------------

std::unique_ptr<CSkinApplicationObject> MakeApplication()
{
    auto a = std::make_unique<CSkinApplicationObject>();
    a->SetName("Application");
    a->m_nThird = kKeyColor;
    a->m_bTransparent = 1;  // rounded corners: windows leave the key colour out of their region
    SkinCopyText(a->m_szToolName, sizeof a->m_szToolName, "Velmora skinbuild");
    SkinCopyText(a->m_szSkinName, sizeof a->m_szSkinName, "Velmora Default");
    return a;
}

std::unique_ptr<CSkinSysColorTableObject> MakeSysColorTable()
{
    auto t = std::make_unique<CSkinSysColorTableObject>();
    t->SetName("SysColorTable");
    const Rgba colors[31] = {
        kTrack,               // 0 scroll bar
        Hex(0x3A4A60),        // 1 desktop
        kActive.top,          // 2 active caption
        kInactive.top,        // 3 inactive caption
        kWhite,               // 4 menu
        kWhite,               // 5 window
        Hex(0x14305A),        // 6 window frame
        kText,                // 7 menu text
        kText,                // 8 window text
        kWhite,               // 9 caption text
        kActive.border,       // 10 active border
        kInactive.border,     // 11 inactive border
        Hex(0xD5DBE3),        // 12 application workspace
        kAccent,              // 13 highlight
        kWhite,               // 14 highlight text
        kBody,                // 15 button face
        Hex(0xA3AFBF),        // 16 button shadow
        kTextDisabled,        // 17 grey text
        kText,                // 18 button text
        Hex(0xE4E9F0),        // 19 inactive caption text
        kWhite,               // 20 button highlight
        Hex(0x6B7788),        // 21 3-D dark shadow
        Hex(0xF6F8FA),        // 22 3-D light
        kText,                // 23 tooltip text
        kTipFill,             // 24 tooltip background
        kBody,                // 25 (unused)
        kAccentDark,          // 26 hot-tracked item
        kActive.bottom,       // 27 active caption gradient end
        kInactive.bottom,     // 28 inactive caption gradient end
        kAccent,              // 29 menu highlight
        kBody,                // 30 menu bar
    };
    for (int i = 0; i < 31; ++i)
        t->m_colors[i] = ToColorRef(colors[i]);
    return t;
}

}  // namespace

void BuildDefaultSkin(CSkinFile& skin)
{
    // What every skinned window reads: the key colour and the system colours.
    skin.AddObject(MakeApplication());
    skin.AddObject(MakeSysColorTable());

    AddWindowLooks(skin);
    AddControlLooks(skin);
    AddScrollLooks(skin);
    AddCommonControlLooks(skin);
    AddTooltipLook(skin);
}

}  // namespace skinbuild
