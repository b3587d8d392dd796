// Record layouts: the byte size of every type's record at every file version, the fields that
// older versions lack or convert, and the shared records.
#include <gtest/gtest.h>

#include <climits>

#include "SkinGeometry.h"
#include "test_objects_builder.h"

using namespace skintest;

namespace {

// Sizes as the file format gives them, written out independently of the record code.
int CommonSize(int v) { return 4 + 51 + 4 + 4 + 4 + 51 + 4 + (v >= 8 ? 16 + 4 : 0) + 4; }
int FontBase(int v)
{
    return 64 + 88 + (v >= 4 && v < 8 ? 16 : 0) + (v >= 6 ? 4 : 0) + (v >= 8 ? 4 : 0) + (v >= 10 ? 4 : 0) +
           (v >= 18 ? 20 : 0);
}
int WindowBase(int v) { return 18 * 72 + 9 * 16 + 64 + 2 * 4 + 2 * 4 + 4 + (v >= 3 ? 16 : 0) + (v >= 13 ? 2 * 88 : 0); }
int CaptionBase(int v) { return 72 + (v < 8 ? 16 : 0) + 4 + 4 + (v >= 11 ? 4 + 51 : 0); }
const int IP = 72, NG = 88, TS = 16;
int MenuBarBlock() { return 64 + 16 + NG + 2 * (NG + 4 + 16 + 4) + 4 + 4 + 12 * IP; }

// The whole record of a childless object: type code, common part, tail.
int ExpectedRecord(int type, int v)
{
    int tail = 0;
    switch (type) {
    case 1: tail = WindowBase(v) + 4 + (CommonSize(v) - 4 + CaptionBase(v) + MenuBarBlock()) + (v >= 6 ? 4 + IP : 0); break;
    case 2: tail = IP + 32 + 1 + 8; break;
    case 3: tail = CaptionBase(v) + 3 * IP + 8; break;
    case 4: tail = v >= 7 ? FontBase(v) + 6 * 120 + 50 + 4 + 4 : 6 * 120 + 50 + 4 + 64 + 4 + 4; break;
    case 5:
    case 11: tail = FontBase(v) + 7 * 192 + 50 + 4 + (v >= 17 ? 50 : 0); break;
    case 6:
    case 33: tail = FontBase(v) + 4 * NG + 4 + (v >= 11 ? 12 : 0); break;
    case 7: case 9: case 26: case 28: case 30: case 40: tail = FontBase(v) + IP; break;
    case 8: tail = FontBase(v) + NG + 4 + TS + 4; break;
    case 10: tail = FontBase(v) + NG + 12; break;
    case 12: tail = FontBase(v) + 4 * 320 + IP + 20 + (v >= 12 ? 4 * 320 : 0); break;
    case 13: tail = FontBase(v) + NG + 8 + 12 + NG + (v >= 9 ? 4 + NG : 0); break;
    case 14: tail = FontBase(v) + 4 + TS + 51 + (v >= 16 ? 16 : 0); break;
    case 15: tail = FontBase(v) + NG + IP; break;
    case 16: tail = FontBase(v) + 4 * 120 + NG + (v >= 9 ? 4 : 0); break;
    case 17: tail = WindowBase(v) + 48 + 8 + 2 * NG + IP + (v >= 3 ? IP : 0); break;
    case 19: tail = 0; break;
    case 23: tail = FontBase(v) + 5 * NG; break;
    case 24: tail = FontBase(v); break;
    case 25: tail = 3 * 51 + 4 + (v >= 4 ? 2 * 51 : 0); break;
    case 27: tail = FontBase(v) + 4 * 144 + (v >= 13 ? 4 * 144 : 0); break;
    case 29: tail = FontBase(v) + IP + (v >= 12 ? 2 * NG + 8 + 32 : 0) + (v >= 15 ? 4 * IP + 4 : 0); break;
    case 31: tail = FontBase(v) + 3 * NG + IP + 16 + IP + 16 + 4; break;
    case 35: tail = FontBase(v) + 6 * NG + 16; break;
    case 36:
    case 37: tail = FontBase(v) + NG + 16; break;
    case 38: tail = CaptionBase(v) + 4 + 20 + 4 + 64 + 16 + 51 + 8; break;
    case 39: tail = 16 + IP; break;
    case 42: tail = WindowBase(v) + 12 + 4; break;  // without style-sheet text
    case 44: tail = 400; break;
    case 45: tail = WindowBase(v); break;
    case 100: tail = FontBase(v) + 51 + 4; break;  // without items
    default: ADD_FAILURE() << "no expected size for type " << type;
    }
    return CommonSize(v) + tail;
}

}  // namespace

TEST(SkinRecordSizes, EveryTypeAtEveryVersionMatchesTheFormat)
{
    const int types[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 19, 23,
                         24, 25, 26, 27, 28, 29, 30, 31, 33, 35, 36, 37, 38, 39, 40, 42, 44, 45, 100};
    for (int type : types) {
        for (int v = 0; v <= 18; ++v) {
            auto o = MakeTyped(type, "x");
            std::vector<BYTE> record = RecordAt(*o, v);
            EXPECT_EQ(int(record.size()), ExpectedRecord(type, v)) << "type " << type << " version 1." << v;

            // Reading at the same version consumes exactly the record.
            CMemoryStream s(record.data() + 4, DWORD(record.size() - 4), 10240);
            CSkinArchive ar(s, true, v);
            auto back = CreateSkinObject(type);
            back->Serialize(ar);
            EXPECT_TRUE(ar.Ok()) << "type " << type << " version 1." << v;
            EXPECT_EQ(s.GetRemaining(), 0u) << "type " << type << " version 1." << v;
        }
    }
}

TEST(SkinRecordSizes, FiguresAtTheCurrentVersion)
{
    // The tails the format lists for 1.18 (the common record adds 146 bytes).
    EXPECT_EQ(ExpectedRecord(12, 18) - 146, 2836);
    EXPECT_EQ(ExpectedRecord(5, 18) - 146, 1632);
    EXPECT_EQ(ExpectedRecord(4, 18) - 146, 962);
    EXPECT_EQ(ExpectedRecord(17, 18) - 146, 2092);
    EXPECT_EQ(ExpectedRecord(29, 18) - 146, 764);
    EXPECT_EQ(ExpectedRecord(45, 18) - 146, 1716);
    EXPECT_EQ(ExpectedRecord(24, 18) - 146, 184);
    auto o = MakeTyped(SKIN_SCROLLBAR, "s");
    EXPECT_EQ(RecordAt(*o, 18).size(), 146u + 2836u);
}

TEST(SkinRecordSizes, VariableParts)
{
    // Children, data items and the tooltip's text add to the record exactly their own size.
    auto tip = Make<CSkinTooltipObject>("tip");
    tip->SetStyleSheet("abc");
    EXPECT_EQ(int(RecordAt(*tip, 18).size()), ExpectedRecord(42, 18) + 3);

    auto data = Make<CSkinType100Object>("d");
    auto* item = new CSkinDataItem("n", CSkinDataItem::KIND_BLOCK, "12345", 5);
    item->SetText("hi");
    data->AddItem(item);
    EXPECT_EQ(int(RecordAt(*data, 18).size()), ExpectedRecord(100, 18) + 94 + 5 + 3);

    auto parent = Make<CSkinType45Object>("p");
    parent->AddChild(MakeTyped(SKIN_STATIC, "c"));
    EXPECT_EQ(int(RecordAt(*parent, 18).size()), ExpectedRecord(45, 18) + ExpectedRecord(14, 18));
}

// ---- version conversions -----------------------------------------------------------------------

namespace {

// Writes o at version v and reads it back into a fresh object of its type.
std::unique_ptr<CSkinObject> ThroughVersion(CSkinObject& o, int v)
{
    std::vector<BYTE> record = RecordAt(o, v);
    CMemoryStream s(record.data() + 4, DWORD(record.size() - 4), 10240);
    SetSkinCurrentMinorVersion(v);
    auto back = CreateSkinObject(o.GetType());
    bool ok = back->Load(s);
    SetSkinCurrentMinorVersion(18);
    EXPECT_TRUE(ok);
    EXPECT_EQ(s.GetRemaining(), 0u);
    return back;
}

}  // namespace

TEST(SkinRecordVersions, FieldsAddedLaterKeepTheirDefaults)
{
    // 1.8 check box: no trailing name; 1.17 has it.
    auto check = MakeDecorated(SKIN_CHECKBOX, "c", 1);
    EXPECT_STREQ(static_cast<CSkinCheckBoxObject*>(ThroughVersion(*check, 8).get())->m_szExtraName, "");
    EXPECT_STREQ(static_cast<CSkinCheckBoxObject*>(ThroughVersion(*check, 17).get())->m_szExtraName, "Extra");

    // 1.11 scroll bar ends after the five values; 1.12 carries the vertical blocks.
    auto bar = MakeDecorated(SKIN_SCROLLBAR, "s", 1);
    auto at11 = ThroughVersion(*bar, 11);
    auto at12 = ThroughVersion(*bar, 12);
    EXPECT_EQ(static_cast<CSkinScrollBarObject*>(at11.get())->m_values[4], 55u);
    EXPECT_TRUE(static_cast<CSkinScrollBarObject*>(at11.get())->m_vertical[0].arrow1.IsEmpty());
    EXPECT_FALSE(static_cast<CSkinScrollBarObject*>(at12.get())->m_verticalLast.thumb.IsEmpty());

    // 1.2 popup menu lacks its last image part.
    auto menu = MakeDecorated(SKIN_POPUPMENU, "m", 1);
    EXPECT_TRUE(static_cast<CSkinPopupMenuObject*>(ThroughVersion(*menu, 2).get())->m_image2.IsEmpty());
    EXPECT_FALSE(static_cast<CSkinPopupMenuObject*>(ThroughVersion(*menu, 3).get())->m_image2.IsEmpty());

    // 1.3 application keeps the default e-mail and web texts.
    auto app = MakeDecorated(SKIN_APPLICATION, "a", 1);
    auto app3 = ThroughVersion(*app, 3);
    CSkinApplicationObject defaults;
    EXPECT_STREQ(static_cast<CSkinApplicationObject*>(app3.get())->m_szWeb, defaults.m_szWeb);
    EXPECT_STREQ(static_cast<CSkinApplicationObject*>(app3.get())->m_szEmail, defaults.m_szEmail);
    EXPECT_STREQ(static_cast<CSkinApplicationObject*>(app3.get())->m_szSkinName, "Kitchen Sink");
    EXPECT_EQ(app3->GetKeyColor(), 0x00FF00FFu);

    // 1.7: no rectangle or anchoring in the common record.
    auto edit = MakeDecorated(SKIN_EDIT, "e", 5);
    auto edit7 = ThroughVersion(*edit, 7);
    EXPECT_EQ(edit7->m_rc.right, 60);
    EXPECT_EQ(edit7->m_rc.bottom, 30);
    EXPECT_EQ(edit7->m_nAnchoring, 0u);
    EXPECT_EQ(ThroughVersion(*edit, 8)->m_rc.right, 65);

    // Window objects: no iconic captions before 1.13, no text style before 1.3.
    auto frame = MakeDecorated(SKIN_TYPE45, "w", 1);
    EXPECT_TRUE(static_cast<CSkinWindowObject*>(ThroughVersion(*frame, 12).get())->m_iconicCaption[1].IsEmpty());
    EXPECT_FALSE(static_cast<CSkinWindowObject*>(ThroughVersion(*frame, 13).get())->m_iconicCaption[1].IsEmpty());
}

TEST(SkinRecordVersions, OldFilesAreConverted)
{
    const SkinTextStyle defaults = SkinTextStyle::Default();

    // Text styles read from 1.3 to 1.8 files are replaced by the default; 1.9 keeps them.
    auto frame = MakeDecorated(SKIN_TYPE45, "w", 1);
    EXPECT_EQ(static_cast<CSkinWindowObject*>(ThroughVersion(*frame, 8).get())->m_textStyle.flags, defaults.flags);
    EXPECT_EQ(static_cast<CSkinWindowObject*>(ThroughVersion(*frame, 9).get())->m_textStyle.flags, 0x8005u);

    // Control id: absent before 1.6, zeroed at exactly 1.6, kept from 1.7.
    auto stat = MakeDecorated(SKIN_STATIC, "s", 1);
    EXPECT_EQ(static_cast<CSkinFontObject*>(ThroughVersion(*stat, 5).get())->m_nControlId, 0u);
    EXPECT_EQ(static_cast<CSkinFontObject*>(ThroughVersion(*stat, 6).get())->m_nControlId, 0u);
    EXPECT_EQ(static_cast<CSkinFontObject*>(ThroughVersion(*stat, 7).get())->m_nControlId, 1001u);

    // Static before 1.9: style reset, its colour taken from the font.
    auto s8 = ThroughVersion(*stat, 8);
    EXPECT_EQ(static_cast<CSkinStaticObject*>(s8.get())->m_style.GetTextColor(), 0x123456u);
    EXPECT_EQ(static_cast<CSkinStaticObject*>(s8.get())->m_style.flags, defaults.flags);

    // Group box before 1.9: style reset and the last value cleared.
    auto group = MakeDecorated(SKIN_GROUPBOX, "g", 1);
    auto g8 = static_cast<CSkinGroupBoxObject*>(ThroughVersion(*group, 8).release());
    EXPECT_EQ(g8->m_nGroupValue2, 0u);
    EXPECT_EQ(g8->m_style.GetTextColor(), defaults.GetTextColor());
    delete g8;

    // Check box before 1.9: every state's style reset and the value cleared.
    auto check = MakeDecorated(SKIN_CHECKBOX, "c", 1);
    static_cast<CSkinCheckBoxObject*>(check.get())->m_states[6].style.flags = 1;
    auto c8 = ThroughVersion(*check, 8);
    EXPECT_EQ(static_cast<CSkinCheckBoxObject*>(c8.get())->m_nCheckValue, 0u);
    EXPECT_EQ(static_cast<CSkinCheckBoxObject*>(c8.get())->m_states[6].style.flags, defaults.flags);

    // Combo box before 1.11: the list colours were the object's own; before 1.9 those were
    // the button colours.
    auto combo = MakeDecorated(SKIN_COMBOBOX, "cb", 1);
    auto* c10 = static_cast<CSkinComboBoxObject*>(ThroughVersion(*combo, 10).release());
    EXPECT_EQ(c10->m_crColor1, combo->m_crBack);
    EXPECT_EQ(c10->m_crColor2, combo->m_crText);
    EXPECT_EQ(c10->m_crBack, SkinSystemColor(5));
    EXPECT_EQ(c10->m_crText, SkinSystemColor(8));
    delete c10;
    auto* c_8 = static_cast<CSkinComboBoxObject*>(ThroughVersion(*combo, 8).release());
    EXPECT_EQ(c_8->m_crColor1, SkinSystemColor(15));
    EXPECT_EQ(c_8->m_crColor2, SkinSystemColor(18));
    delete c_8;

    // Edit-like controls before 1.11 take the window colours.
    auto list = MakeDecorated(SKIN_LISTVIEW, "lv", 1);
    auto l10 = ThroughVersion(*list, 10);
    EXPECT_EQ(l10->m_crBack, SkinSystemColor(5));
    EXPECT_EQ(l10->m_crText, SkinSystemColor(8));
    EXPECT_EQ(l10->m_nThird, SkinSystemColor(15));
    EXPECT_EQ(ThroughVersion(*list, 11)->m_crBack, list->m_crBack);
}

TEST(SkinRecordVersions, ButtonBefore17CarriesItsFontAfterTheStates)
{
    // Hand-made 1.6 button body: common record (no rectangle), six states, name, value, font,
    // control id, value.
    std::vector<BYTE> rec(51, 0);
    memcpy(rec.data(), "Old", 3);
    for (int i = 0; i < 3; ++i)
        PutU32(rec, 0x10 + i);
    rec.resize(rec.size() + 51, 0);
    PutU32(rec, 0);   // value
    PutU32(rec, 0);   // children
    rec.resize(rec.size() + 6 * 120, 0);
    rec.resize(rec.size() + 50, 0);
    PutU32(rec, 7);   // value 1
    SkinFont font = SkinFont::Default("Old Face");
    font.color = 0x00ABCDEF;
    const BYTE* fp = reinterpret_cast<const BYTE*>(&font);
    rec.insert(rec.end(), fp, fp + 64);
    PutU32(rec, 321);  // control id
    PutU32(rec, 8);    // value 2

    CMemoryStream s(rec.data(), DWORD(rec.size()), 10240);
    SetSkinCurrentMinorVersion(6);
    CSkinButtonObject b;
    EXPECT_TRUE(b.Load(s));
    SetSkinCurrentMinorVersion(18);
    EXPECT_EQ(s.GetRemaining(), 0u);
    EXPECT_STREQ(b.m_font.lfFaceName, "Old Face");
    EXPECT_EQ(b.m_nControlId, 321u);
    EXPECT_EQ(b.m_nButtonValue1, 7u);
    EXPECT_EQ(b.m_nButtonValue2, 8u);
    // Before 1.9 every state's text takes the font colour.
    EXPECT_EQ(b.m_states[0].style.GetTextColor(), 0x00ABCDEFu);
    EXPECT_EQ(b.m_states[5].style.GetTextColor(), 0x00ABCDEFu);
}

// ---- the common object -------------------------------------------------------------------------

TEST(SkinObjectModel, ChildrenAndDataItems)
{
    // Two children of one name: the second is discarded, both when built and when read.
    auto parent = Make<CSkinType45Object>("Dialog");
    EXPECT_TRUE(parent->AddChild(MakeTyped(SKIN_CAPTIONBUTTON, "Close")));
    EXPECT_FALSE(parent->AddChild(MakeTyped(SKIN_STATIC, "Close")));
    EXPECT_EQ(parent->FindChild("Close")->GetType(), SKIN_CAPTIONBUTTON);
    // A refused raw child stays the caller's.
    CSkinStaticObject* mine = new CSkinStaticObject();
    mine->SetName("Close");
    EXPECT_FALSE(parent->AddChild(mine));
    mine->SetName("Other");
    EXPECT_TRUE(parent->AddChild(mine));
    EXPECT_EQ(parent->FindChild("Other"), mine);

    auto twice = Make<CSkinType45Object>("Twice");
    std::vector<BYTE> first = RecordAt(*MakeTyped(SKIN_CAPTIONBUTTON, "Close"), 18);
    std::vector<BYTE> second = RecordAt(*MakeTyped(SKIN_STATIC, "Close"), 18);
    std::vector<BYTE> rec = RecordAt(*twice, 18);
    // Patch the child count and put the two records right after it.
    const size_t countAt = 4 + 51 + 12 + 51 + 4 + 20;
    rec[countAt] = 2;
    rec.insert(rec.begin() + countAt + 4, second.begin(), second.end());
    rec.insert(rec.begin() + countAt + 4, first.begin(), first.end());
    CMemoryStream s(rec.data() + 4, DWORD(rec.size() - 4), 10240);
    CSkinType45Object back;
    EXPECT_TRUE(back.Load(s));
    EXPECT_EQ(back.GetChildren().size(), 1u);
    EXPECT_EQ(back.FindChild("Close")->GetType(), SKIN_CAPTIONBUTTON);

    // Recursive search: depth first in name order.
    auto top = Make<CSkinType45Object>("Top");
    auto a = MakeTyped(SKIN_STATIC, "A");
    a->AddChild(MakeTyped(SKIN_BUTTON, "Deep"));
    auto b = MakeTyped(SKIN_STATIC, "B");
    b->AddChild(MakeTyped(SKIN_EDIT, "Deep"));
    top->AddChild(std::move(b));
    top->AddChild(std::move(a));
    EXPECT_EQ(top->FindChildRecursive("Deep")->GetType(), SKIN_BUTTON);
    EXPECT_EQ(top->FindChildRecursive("Nothing"), nullptr);
    std::unique_ptr<CSkinObject> removed(top->RemoveChild("A"));
    ASSERT_TRUE(removed);
    EXPECT_EQ(top->FindChildRecursive("Deep")->GetType(), SKIN_EDIT);

    // Base look-up is case-blind through upper-cased keys; type 100 compares exactly.
    CSkinStaticObject plain;
    plain.AddDataItem(new CSkinDataItem("TITLE", CSkinDataItem::KIND_VALUE, "\1\0\0\0", 4));
    ASSERT_NE(plain.FindDataItem("title"), nullptr);
    EXPECT_EQ(plain.FindDataItem("title")->GetDataSize(), 4u);
    CSkinType100Object data;
    data.AddItem(new CSkinDataItem("Title", CSkinDataItem::KIND_VALUE, "\1\0\0\0", 4));
    EXPECT_NE(data.FindDataItem("Title"), nullptr);
    EXPECT_EQ(data.FindDataItem("title"), nullptr);
}

TEST(SkinObjectModel, NamesAreCutAndTerminated)
{
    CSkinStaticObject o;
    std::string longName(80, 'n');
    o.SetName(longName.c_str());
    EXPECT_EQ(strlen(o.GetName()), 50u);

    // A record whose name field has no terminator reads as a 50-character name.
    auto src = MakeTyped(SKIN_STATIC, "x");
    std::vector<BYTE> rec = RecordAt(*src, 18);
    memset(rec.data() + 4, 'q', 51);
    memset(rec.data() + 4 + 51 + 12, 'r', 51);
    CMemoryStream s(rec.data() + 4, DWORD(rec.size() - 4), 10240);
    CSkinStaticObject back;
    EXPECT_TRUE(back.Load(s));
    EXPECT_EQ(strlen(back.GetName()), 50u);
    EXPECT_EQ(strlen(back.GetSecondName()), 50u);
}

TEST(SkinObjectModel, SharedRecordDefaults)
{
    SkinTextStyle t = SkinTextStyle::Default();
    EXPECT_EQ(t.flags, 0x8004u);
    EXPECT_EQ(t.textExtra, 255);
    EXPECT_EQ(t.shadowX, 0);
    EXPECT_EQ(t.GetTextColor(), SkinSystemColor(18));
    EXPECT_EQ(t.GetShadowColor(), SkinSystemColor(16));

    CSkinType45Object w;
    EXPECT_EQ(w.m_frameRects[8].right, 276);
    EXPECT_EQ(w.m_frameRects[8].bottom, 160);
    EXPECT_STREQ(w.m_captionFont.lfFaceName, "Arial");
    EXPECT_EQ(w.m_captionFont.lfHeight, -12);
    EXPECT_EQ(w.m_crActiveFill, 0xFF0000u);
    EXPECT_EQ(w.m_crInactiveFill, 0x727200u);
    EXPECT_EQ(w.m_crBackground, 0xFFFFFFu);
    // A new size moves the right column and the bottom row.
    RECT rc = {0, 0, 300, 200};
    w.SetRect(&rc);
    EXPECT_EQ(w.m_frameRects[2].right, 300);
    EXPECT_EQ(w.m_frameRects[2].left, 197);
    EXPECT_EQ(w.m_frameRects[4].right, 290);
    EXPECT_EQ(w.m_frameRects[4].bottom, 188);
    EXPECT_EQ(w.m_frameRects[8].top, 188);
    EXPECT_EQ(w.m_frameRects[0].right, 86);

    CSkinStaticObject f;
    EXPECT_STREQ(f.m_font.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(f.m_rc.right, 60);
    EXPECT_EQ(f.m_nThird, 255u);
    EXPECT_EQ(f.GetKeyColor(), 0xFF00FFu);
    f.SetValue(44);
    EXPECT_EQ(f.m_nControlId, 44u);

    CSkinTooltipObject tip;
    EXPECT_EQ(tip.m_nShowDelay, 1000u);
    EXPECT_EQ(tip.m_nHideDelay, 8000u);
    EXPECT_EQ(tip.m_frameRects[8].right, 278);
    EXPECT_EQ(tip.GetStyleSheet(), nullptr);

    EXPECT_STREQ(GetSkinTypeName(0), "NONE");
    EXPECT_STREQ(GetSkinTypeName(44), "SysColorTable");
    EXPECT_EQ(GetSkinTypeName(45), nullptr);
    EXPECT_EQ(GetSkinTypeName(100), nullptr);
    for (int t : {20, 21, 22, 32, 34, 41, 43})
        EXPECT_EQ(CreateSkinObject(t), nullptr) << t;
}

// A damaged file may hold any 32-bit value in a rectangle or a margin: what is read is held to
// the engine's coordinate limit, so that sums and differences derived from it cannot overflow.
TEST(SkinRecordVersions, HostileRectanglesAndMarginsAreHeldOnReading)
{
    CSkinComboBoxObject combo;
    combo.m_buttons[0].Set("strip", INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, INT_MIN, INT_MAX, -5, 0);
    combo.m_buttons[1].Set("strip", 1, 2, 30, 40, 3, 4, 5, 6, 0);
    std::vector<BYTE> record = RecordAt(combo, 18);
    CMemoryStream s(record.data() + 4, DWORD(record.size() - 4), 10240);
    CSkinArchive ar(s, true, 18);
    CSkinComboBoxObject back;
    back.Serialize(ar);
    ASSERT_TRUE(ar.Ok());
    const SkinNineGrid& g = back.m_buttons[0];
    EXPECT_EQ(g.src.left, -kSkinCoordLimit / 2);
    EXPECT_EQ(g.src.right, kSkinCoordLimit / 2);
    EXPECT_EQ(g.marginLeft, kSkinCoordLimit / 2);
    EXPECT_EQ(g.marginTop, -kSkinCoordLimit / 2);
    EXPECT_EQ(g.marginBottom, -5);
    EXPECT_GT(SkinWidth(g.src), 0);
    // Sound values come back as they were.
    const SkinNineGrid& sound = back.m_buttons[1];
    EXPECT_EQ(sound.src.left, 1);
    EXPECT_EQ(sound.src.bottom, 40);
    EXPECT_EQ(sound.marginLeft, 3);
    EXPECT_EQ(sound.marginBottom, 6);
}
