// The skin file: whole-skin round trips, old versions, the load errors, look-ups, hostile
// bodies, and loads on two threads at once.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

#include "test_objects_builder.h"

using namespace skintest;

namespace {

std::string TempPath(const char* name) { return std::string(testing::TempDir()) + name + std::to_string(getpid()); }

std::vector<BYTE> SaveBytes(CSkinFile& skin)
{
    CMemoryStream body;
    EXPECT_TRUE(skin.SaveBody(body));
    return Bytes(body);
}

std::vector<BYTE> ReadFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(f), {});
}

int LoadPacked(CSkinFile& skin, const std::vector<BYTE>& file)
{
    CMemoryStream s(file.data(), DWORD(file.size()), 10240);
    return skin.Load(s) ? 0 : skin.GetLastError();
}

int LoadBody(CSkinFile& skin, const std::vector<BYTE>& body)
{
    CMemoryStream s(body.data(), DWORD(body.size()), 10240);
    return skin.LoadBody(s) ? 0 : skin.GetLastError();
}

}  // namespace

TEST(SkinFileRoundTrip, SaveLoadSaveIsByteIdentical)
{
    CSkinFile skin;
    BuildKitchenSink(skin);
    EXPECT_TRUE(skin.IsModified());
    std::string path = TempPath("kitchen.qvk");
    ASSERT_TRUE(skin.SaveToFile(path.c_str()));
    EXPECT_FALSE(skin.IsModified());

    CSkinFile loaded;
    ASSERT_TRUE(loaded.LoadFromFile(path.c_str())) << loaded.GetLastError();
    EXPECT_EQ(loaded.GetMinorVersion(), 18);
    EXPECT_EQ(loaded.GetObjects().size(), skin.GetObjects().size());
    EXPECT_EQ(loaded.GetImages().size(), 3u);
    EXPECT_EQ(loaded.GetSounds().size(), 2u);

    std::string again = TempPath("kitchen2.qvk");
    ASSERT_TRUE(loaded.SaveToFile(again.c_str()));
    EXPECT_EQ(ReadFile(path), ReadFile(again));
    EXPECT_EQ(SaveBytes(skin), SaveBytes(loaded));

    CSkinFile third;
    ASSERT_TRUE(third.LoadFromFile(again.c_str()));
    EXPECT_EQ(SaveBytes(third), SaveBytes(skin));
    unlink(path.c_str());
    unlink(again.c_str());

    // Spot checks that the values really travelled, not just their sizes.
    auto* tip = static_cast<CSkinTooltipObject*>(loaded.FindObjectByType(SKIN_TOOLTIP));
    ASSERT_NE(tip, nullptr);
    EXPECT_STREQ(tip->GetStyleSheet(), "body { color: #102030; font-size: 11px; }");
    EXPECT_EQ(tip->m_nPlacement, 3u);
    auto* frame = static_cast<CSkinFrameWndObject*>(loaded.FindObject("FrameWnd"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->m_menuBar.m_crDisabledText, 0x0A0B0Cu);
    EXPECT_EQ(frame->m_menuBar.GetOwner(), &loaded);
    EXPECT_EQ(static_cast<CSkinFrameWndObject*>(skin.FindObject("FrameWnd"))->m_menuBar.GetOwner(), &skin);
    EXPECT_STREQ(frame->m_mdiClientBackground.name, "atlas");
    auto* nested = loaded.FindObject("Nested");
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested->GetType(), SKIN_BUTTON);
    EXPECT_EQ(nested->GetOwner(), &loaded);
    EXPECT_EQ(static_cast<CSkinButtonObject*>(nested)->m_nButtonValue2, 0xB2u);
    auto* data = loaded.FindObject("Type100");
    ASSERT_NE(data, nullptr);
    CSkinDataItem* item = data->FindDataItem("Title");
    ASSERT_NE(item, nullptr);
    EXPECT_STREQ(item->GetText(), "caption text");
    EXPECT_STREQ(item->GetLabel(), "The title value");
    ASSERT_NE(loaded.GetSysColorTable(), nullptr);
    EXPECT_EQ(loaded.GetSysColorTable()->m_colors[99], 0x010101u * 99);

    // Pictures come back with their pixels.
    CSkinImageObject* atlas = loaded.FindImage("atlas");
    ASSERT_NE(atlas, nullptr);
    ASSERT_TRUE(atlas->GetImage()->IsValid());
    EXPECT_EQ(atlas->GetImage()->GetWidth(), 64u);
    RGBQUAD px = atlas->GetImage()->GetPixelColor(10, 20, false);
    EXPECT_EQ(px.rgbRed, 40);
    EXPECT_EQ(px.rgbGreen, 80);
    EXPECT_EQ(loaded.FindImage("icons")->GetFormat(), DWORD(RASTER_FORMAT_TGA));
    EXPECT_EQ(loaded.FindImage("palette")->GetImage()->GetBpp(), 8);
}

TEST(SkinFileRoundTrip, OldVersionsLoadWithDefaultsAndSaveAsCurrent)
{
    auto app = MakeDecorated(SKIN_APPLICATION, "Application", 1);
    auto check = MakeDecorated(SKIN_CHECKBOX, "CheckBox", 2);
    auto frame = MakeDecorated(SKIN_FRAMEWND, "FrameWnd", 3);
    auto bar = MakeDecorated(SKIN_SCROLLBAR, "ScrollBar", 4);
    frame->AddChild(MakeDecorated(SKIN_CAPTIONBUTTON, "Close", 5));
    std::vector<CSkinObject*> objects = {app.get(), check.get(), frame.get(), bar.get()};

    std::vector<BYTE> current;
    for (int v : {0, 2, 3, 6, 7, 8, 11, 12, 16, 17, 18}) {
        CSkinFile skin;
        ASSERT_EQ(LoadPacked(skin, Pack(BodyAt(objects, v))), 0) << "1." << v;
        EXPECT_EQ(skin.GetMinorVersion(), v);
        EXPECT_EQ(GetSkinCurrentMinorVersion(), 18);
        EXPECT_EQ(skin.GetObjects().size(), 4u);
        auto* a = static_cast<CSkinApplicationObject*>(skin.FindObject("Application"));
        CSkinApplicationObject defaults;
        EXPECT_STREQ(a->m_szWeb, v >= 4 ? "http://example.test/" : defaults.m_szWeb) << v;
        auto* c = static_cast<CSkinCheckBoxObject*>(skin.FindObject("CheckBox"));
        EXPECT_STREQ(c->m_szExtraName, v >= 17 ? "Extra" : "") << v;
        EXPECT_EQ(c->m_rc.right, v >= 8 ? 62 : 60) << v;
        auto* s = static_cast<CSkinScrollBarObject*>(skin.FindObject("ScrollBar"));
        EXPECT_EQ(s->m_verticalLast.thumb.IsEmpty(), v < 12) << v;
        auto* close = skin.FindObject("Close");
        ASSERT_NE(close, nullptr) << v;
        EXPECT_EQ(close->m_rc.right, 65) << v;  // before 1.8 the caption tail carries it

        // Saved once, every file is 1.18; saving that again changes nothing.
        std::vector<BYTE> saved = SaveBytes(skin);
        EXPECT_EQ(saved[21], 18);
        CSkinFile reloaded;
        ASSERT_EQ(LoadBody(reloaded, saved), 0);
        EXPECT_EQ(SaveBytes(reloaded), saved);
        if (v == 18)
            current = saved;
    }
    // A 1.18 body built by hand is exactly what the saver writes.
    CSkinFile skin;
    ASSERT_EQ(LoadBody(skin, BodyAt(objects, 18)), 0);
    std::vector<BYTE> hand = BodyAt(objects, 18);
    std::vector<BYTE> saved = SaveBytes(skin);
    ASSERT_EQ(saved.size(), hand.size());
    // Only the maker text differs.
    EXPECT_TRUE(std::equal(saved.begin() + 176, saved.end(), hand.begin() + 176));
}

TEST(SkinFileErrors, EachFailureHasItsCode)
{
    CSkinFile skin;
    BuildKitchenSink(skin);
    std::vector<BYTE> body = SaveBytes(skin);

    CSkinFile f;
    EXPECT_FALSE(f.LoadFromFile("/nonexistent/skin.qvk"));
    EXPECT_EQ(f.GetLastError(), 4);
    EXPECT_FALSE(f.LoadFromFile(testing::TempDir().c_str()));
    EXPECT_EQ(f.GetLastError(), 4);

    // Version 1.19 and 2.0 and a wrong magic: 7; 1.0 and 1.18 load.
    for (auto [major, minor, expected] : {std::tuple{1, 19, 7}, {2, 0, 7}, {0, 5, 7}, {1, 0, 0}, {1, 18, 0}}) {
        std::vector<BYTE> b = Header(major, minor, 0);
        PutU32(b, 0);
        PutU32(b, 0);
        EXPECT_EQ(LoadPacked(f, Pack(b)), expected) << major << "." << minor;
    }
    std::vector<BYTE> badMagic = body;
    badMagic[18] = 'e';
    EXPECT_EQ(LoadPacked(f, Pack(badMagic)), 7);
    std::vector<BYTE> terminatorIgnored = body;
    terminatorIgnored[19] = 'X';
    EXPECT_EQ(LoadPacked(f, Pack(terminatorIgnored)), 0);

    // A length word larger than the data yields: 5. A 100-byte body: 6.
    std::vector<BYTE> packed = Pack(body);
    std::vector<BYTE> lying = packed;
    lying[0] += 1;
    EXPECT_EQ(LoadPacked(f, lying), 5);
    EXPECT_EQ(LoadPacked(f, Pack(std::vector<BYTE>(100, 'x'))), 6);
    EXPECT_EQ(LoadPacked(f, std::vector<BYTE>{1, 2}), 5);

    // A failed load leaves the skin empty.
    EXPECT_EQ(LoadPacked(f, packed), 0);
    EXPECT_FALSE(f.GetObjects().empty());
    EXPECT_EQ(LoadPacked(f, lying), 5);
    EXPECT_TRUE(f.GetObjects().empty());
    EXPECT_TRUE(f.GetImages().empty());
    EXPECT_EQ(f.FindObject("Nested"), nullptr);
}

TEST(SkinFileErrors, HostileBodiesFailCleanly)
{
    CSkinFile skin;
    BuildKitchenSink(skin);
    std::vector<BYTE> body = SaveBytes(skin);
    CSkinFile f;

    // Every truncation of a good body fails with 5 (or 6 inside the header), never crashes.
    for (size_t cut = 0; cut < body.size(); cut += (cut < 400 ? 1 : 97)) {
        std::vector<BYTE> b(body.begin(), body.begin() + cut);
        int rc = LoadBody(f, b);
        EXPECT_EQ(rc, cut < 188 ? 6 : 5) << cut;
    }
    // A huge object count.
    std::vector<BYTE> count = body;
    count[176] = count[177] = count[178] = count[179] = 0xFF;
    EXPECT_EQ(LoadBody(f, count), 5);

    // A tooltip whose text length is 0xFFFFFFFF, a data item larger than the body, a child
    // count in the billions.
    auto tip = Make<CSkinTooltipObject>("tip");
    std::vector<BYTE> rec = RecordAt(*tip, 18);
    for (int i = 1; i <= 4; ++i)
        rec[rec.size() - i] = 0xFF;
    std::vector<BYTE> b = Header(1, 18, 1);
    b.insert(b.end(), rec.begin(), rec.end());
    EXPECT_EQ(LoadBody(f, b), 5);

    auto data = Make<CSkinType100Object>("d");
    data->AddItem(new CSkinDataItem("x", CSkinDataItem::KIND_BLOCK, "abcd", 4));
    rec = RecordAt(*data, 18);
    // The data size sits right after kind, name and label of the only item.
    size_t sizeAt = rec.size() - (4 + 4 + 4);
    ASSERT_EQ(rec[sizeAt], 4);
    rec[sizeAt + 3] = 0x7F;
    b = Header(1, 18, 1);
    b.insert(b.end(), rec.begin(), rec.end());
    EXPECT_EQ(LoadBody(f, b), 5);

    auto parent = Make<CSkinType45Object>("p");
    rec = RecordAt(*parent, 18);
    rec[142 + 3] = 0x40;
    b = Header(1, 18, 1);
    b.insert(b.end(), rec.begin(), rec.end());
    EXPECT_EQ(LoadBody(f, b), 5);

    // Children nested deeper than any skin needs.
    std::unique_ptr<CSkinObject> chain = MakeTyped(SKIN_STATIC, "leaf");
    for (int depth = 0; depth < 40; ++depth) {
        auto up = MakeTyped(SKIN_STATIC, ("n" + std::to_string(depth)).c_str());
        up->AddChild(std::move(chain));
        chain = std::move(up);
    }
    EXPECT_EQ(LoadBody(f, BodyAt({chain.get()}, 18)), 5);
    // A reasonable depth loads.
    std::unique_ptr<CSkinObject> shallow = MakeTyped(SKIN_STATIC, "leaf");
    for (int depth = 0; depth < 10; ++depth) {
        auto up = MakeTyped(SKIN_STATIC, ("n" + std::to_string(depth)).c_str());
        up->AddChild(std::move(shallow));
        shallow = std::move(up);
    }
    EXPECT_EQ(LoadBody(f, BodyAt({shallow.get()}, 18)), 0);
    EXPECT_NE(f.FindObject("leaf"), nullptr);
}

TEST(SkinFileLookups, NamesTypesAndDuplicates)
{
    auto first = MakeDecorated(SKIN_STATIC, "Same", 1);
    auto second = MakeDecorated(SKIN_EDIT, "Same", 2);
    auto table1 = MakeTyped(SKIN_SYSCOLORTABLE, "Colors");
    auto table2 = MakeTyped(SKIN_SYSCOLORTABLE, "Colors2");
    auto replacesTable = MakeTyped(SKIN_STATIC, "Colors2");
    auto toolA = MakeTyped(SKIN_TOOLBAR, "A-Tools");
    auto toolB = MakeTyped(SKIN_TOOLBAR, "B-Tools");
    auto unknownName = MakeTyped(SKIN_STATIC, "Button");  // named like a type it is not
    CSkinFile f;
    ASSERT_EQ(LoadBody(f, BodyAt({first.get(), second.get(), table1.get(), table2.get(), replacesTable.get(),
                                 toolB.get(), toolA.get(), unknownName.get()},
                                18)),
              0);
    // The later of two same-named objects is the one found.
    EXPECT_EQ(f.FindObject("Same")->GetType(), SKIN_EDIT);
    // The colour table is the last one read that is still in the skin.
    ASSERT_NE(f.GetSysColorTable(), nullptr);
    EXPECT_STREQ(f.GetSysColorTable()->GetName(), "Colors");
    // ControlBar is answered as ToolBar: the first in name order, or one named "ToolBar".
    EXPECT_STREQ(f.FindObjectByType(SKIN_CONTROLBAR)->GetName(), "A-Tools");
    EXPECT_STREQ(f.FindObjectByType(SKIN_TOOLBAR)->GetName(), "A-Tools");
    f.AddObject(MakeTyped(SKIN_TOOLBAR, "ToolBar"));
    EXPECT_STREQ(f.FindObjectByType(SKIN_CONTROLBAR)->GetName(), "ToolBar");
    // An object named like a type but of another type is not answered for that type.
    EXPECT_EQ(f.FindObjectByType(SKIN_BUTTON), nullptr);
    EXPECT_EQ(f.FindObjectByType(SKIN_TYPE45), nullptr);
    EXPECT_EQ(f.FindObjectByType(100), nullptr);
    EXPECT_EQ(f.FindObjectByType(-3), nullptr);
    EXPECT_EQ(f.FindObject(nullptr), nullptr);
    EXPECT_EQ(f.FindImage(nullptr), nullptr);

    // Type codes without a record class are skipped without consuming bytes.
    std::vector<BYTE> b = Header(1, 18, 2);
    PutU32(b, 21);
    std::vector<BYTE> rec = RecordAt(*first, 18);
    b.insert(b.end(), rec.begin(), rec.end());
    PutU32(b, 0);
    PutU32(b, 0);
    EXPECT_EQ(LoadBody(f, b), 0);
    EXPECT_EQ(f.GetObjects().size(), 1u);

    // A body may end right after its objects (no picture or sound counts), or after the
    // picture count; bytes after the sounds are ignored.
    std::vector<BYTE> bare = Header(1, 18, 1);
    bare.insert(bare.end(), rec.begin(), rec.end());
    EXPECT_EQ(LoadBody(f, bare), 0);
    EXPECT_NE(f.FindObject("Same"), nullptr);
    PutU32(bare, 0);
    EXPECT_EQ(LoadBody(f, bare), 0);
    PutU32(bare, 0);
    bare.push_back(0xAB);
    EXPECT_EQ(LoadBody(f, bare), 0);
    // A child code without a record class inside an object is skipped the same way.
    auto holder = Make<CSkinType45Object>("Holder");
    std::vector<BYTE> inner = RecordAt(*MakeTyped(SKIN_STATIC, "Label"), 18);
    std::vector<BYTE> outer = RecordAt(*holder, 18);
    const size_t childCountAt = 142;
    outer[childCountAt] = 2;
    std::vector<BYTE> children;
    PutU32(children, 43);  // no record follows
    children.insert(children.end(), inner.begin(), inner.end());
    outer.insert(outer.begin() + childCountAt + 4, children.begin(), children.end());
    std::vector<BYTE> withChild = Header(1, 18, 1);
    withChild.insert(withChild.end(), outer.begin(), outer.end());
    ASSERT_EQ(LoadBody(f, withChild), 0);
    EXPECT_EQ(f.FindObject("Holder")->GetChildren().size(), 1u);
    EXPECT_NE(f.FindObject("Label"), nullptr);

    // Colour mode: 0 to 2, anything else ignored.
    f.SetColorMode(1);
    f.SetColorMode(7);
    EXPECT_EQ(f.GetColorMode(), 1);
    f.Clear();
    EXPECT_TRUE(f.GetObjects().empty());
    EXPECT_EQ(f.GetSysColorTable(), nullptr);
    EXPECT_EQ(f.GetMinorVersion(), 18);
}

TEST(SkinFileSave, ABodyThatDoesNotShrinkFailsAndLeavesTheSkinUsable)
{
    CSkinFile f;
    auto noisy = Make<CSkinImageObject>("noise");
    CRasterImage img;
    img.Create(256, 256, 24);
    unsigned state = 12345;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            state = state * 1103515245u + 12345u;
            img.SetPixelColor(x, y, RGB(state >> 8, state >> 16, state >> 24));
        }
    noisy->SetImage(img, RASTER_FORMAT_BMP);
    f.AddImage(std::move(noisy));
    std::string path = TempPath("noise.qvk");
    std::ofstream(path) << "previous";
    EXPECT_FALSE(f.SaveToFile(path.c_str()));
    EXPECT_EQ(ReadFile(path), (std::vector<BYTE>{'p', 'r', 'e', 'v', 'i', 'o', 'u', 's'}));
    unlink(path.c_str());
    EXPECT_TRUE(f.IsModified());

    // Other threads still get through the lock.
    std::thread t([&] { EXPECT_NE(f.FindImage("noise"), nullptr); });
    t.join();
    EXPECT_FALSE(f.SaveToFile("/nonexistent-folder/x.qvk"));
}

TEST(SkinFileThreads, TwoLoadsAtDifferentVersionsDoNotMix)
{
    auto check = MakeDecorated(SKIN_CHECKBOX, "CheckBox", 2);
    auto bar = MakeDecorated(SKIN_SCROLLBAR, "ScrollBar", 4);
    std::vector<BYTE> old = Pack(BodyAt({check.get(), bar.get()}, 8));
    std::vector<BYTE> cur = Pack(BodyAt({check.get(), bar.get()}, 18));
    auto worker = [](const std::vector<BYTE>* file, const char* expected, int* failures) {
        for (int i = 0; i < 200; ++i) {
            CSkinFile f;
            CMemoryStream s(file->data(), DWORD(file->size()), 10240);
            if (!f.Load(s)) {
                ++*failures;
                continue;
            }
            auto* c = static_cast<CSkinCheckBoxObject*>(f.FindObject("CheckBox"));
            if (!c || strcmp(c->m_szExtraName, expected) != 0)
                ++*failures;
        }
    };
    int failOld = 0, failCur = 0;
    std::thread a(worker, &old, "", &failOld);
    std::thread b(worker, &cur, "Extra", &failCur);
    a.join();
    b.join();
    EXPECT_EQ(failOld, 0);
    EXPECT_EQ(failCur, 0);
}

TEST(SkinFileResources, LoadingRealisesAndClearingReleases)
{
    // A frame whose active client part is cut from a picture with a key-coloured corner.
    CRasterImage picture;
    picture.Create(8, 4, 24);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            picture.SetPixelColor(x, y, RGB(10, 20, 30));
    picture.SetPixelColor(0, 3, RGB(255, 0, 255));  // top-left, rows count from the bottom
    CSkinFile built;
    auto image = Make<CSkinImageObject>("pic");
    image->SetImage(picture, RASTER_FORMAT_BMP);
    built.AddImage(std::move(image));
    auto frame = Make<CSkinType45Object>("Dialog");
    frame->m_parts[4].Set("pic", 0, 0, 8, 4, 1);
    frame->m_parts[13].Set("missing", 0, 0, 8, 4, 1);
    frame->m_parts[0].Set("pic", 0, 0, 1, 1, 0);  // only the key-coloured pixel
    built.AddObject(std::move(frame));
    built.AddObject(MakeTyped(SKIN_APPLICATION, "Application"));
    auto colors = MakeTyped(SKIN_SYSCOLORTABLE, "SysColorTable");
    built.AddObject(std::move(colors));
    auto label = Make<CSkinStaticObject>("Static");
    label->m_font.lfHeight = -17;
    label->AddChild(Make<CSkinButtonObject>("Inner"));
    built.AddObject(std::move(label));
    std::vector<BYTE> body = SaveBytes(built);

    CSkinFile f;
    ASSERT_EQ(LoadBody(f, body), 0);
    auto* w = static_cast<CSkinWindowObject*>(f.FindObject("Dialog"));
    const SkinImageCacheEntry& part = w->GetCachedPart(4);
    ASSERT_NE(part.image, nullptr);
    EXPECT_EQ(part.width, 8);
    EXPECT_EQ(part.height, 4);
    ASSERT_NE(part.region, nullptr);
    EXPECT_FALSE(PtInRegion(part.region, 0, 0));
    EXPECT_TRUE(PtInRegion(part.region, 1, 0));
    EXPECT_TRUE(PtInRegion(part.region, 7, 3));
    // A part all of the key colour has an empty region.
    ASSERT_NE(w->GetCachedPart(0).region, nullptr);
    RECT box;
    EXPECT_EQ(GetRgnBox(w->GetCachedPart(0).region, &box), NULLREGION);
    // A missing picture leaves its entry empty.
    EXPECT_EQ(w->GetCachedPart(13).image, nullptr);
    EXPECT_EQ(w->GetCachedPart(13).region, nullptr);

    // The colour table has a brush for each of the 31 system colours, none beyond.
    CSkinSysColorTableObject* table = f.GetSysColorTable();
    ASSERT_NE(table, nullptr);
    EXPECT_NE(table->GetBrush(0), nullptr);
    EXPECT_NE(table->GetBrush(30), nullptr);
    EXPECT_EQ(table->GetBrush(31), nullptr);

    // Font objects, children included, carry a font made from their record.
    auto* label2 = static_cast<CSkinFontObject*>(f.FindObject("Static"));
    ASSERT_NE(label2->GetFont(), nullptr);
    LOGFONTA lf{};
    ASSERT_EQ(GetObjectA(label2->GetFont(), sizeof lf, &lf), int(sizeof lf));
    EXPECT_EQ(lf.lfHeight, -17);
    EXPECT_NE(static_cast<CSkinFontObject*>(f.FindObject("Inner"))->GetFont(), nullptr);
    label2->ReleaseResources();
    EXPECT_EQ(label2->GetFont(), nullptr);
    EXPECT_EQ(static_cast<CSkinFontObject*>(f.FindObject("Inner"))->GetFont(), nullptr);

    // Without the transparency flag no region is made.
    auto* app = static_cast<CSkinApplicationObject*>(f.FindObject("Application"));
    app->m_bTransparent = 0;
    w->CreateResources();
    EXPECT_NE(w->GetCachedPart(4).image, nullptr);
    EXPECT_EQ(w->GetCachedPart(4).region, nullptr);

    f.Clear();
    EXPECT_EQ(f.FindObject("Dialog"), nullptr);
}

TEST(SkinFilePictures, UnknownFormatsAndBrokenPictures)
{
    auto image = Make<CSkinImageObject>("pic");
    image->SetImage(MakePicture(6, 5), RASTER_FORMAT_TGA);
    std::vector<BYTE> rec = RecordAt(*image, 18);
    const size_t formatAt = 4 + 142 + 4;
    ASSERT_EQ(rec[formatAt], RASTER_FORMAT_TGA);
    auto withPictures = [&](const std::vector<std::vector<BYTE>>& pictures) {
        std::vector<BYTE> b = Header(1, 18, 0);
        PutU32(b, DWORD(pictures.size()));
        for (auto& p : pictures)
            b.insert(b.end(), p.begin(), p.end());
        PutU32(b, 0);
        return b;
    };

    // Format 0: found by trying the codecs, and written back in the format that worked.
    std::vector<BYTE> unknown = rec;
    unknown[formatAt] = 0;
    CSkinFile f;
    ASSERT_EQ(LoadBody(f, withPictures({unknown})), 0);
    CSkinImageObject* pic = f.FindImage("pic");
    ASSERT_NE(pic, nullptr);
    ASSERT_TRUE(pic->GetImage()->IsValid());
    EXPECT_EQ(pic->GetFormat(), DWORD(RASTER_FORMAT_TGA));
    std::vector<BYTE> saved = SaveBytes(f);
    CSkinFile again;
    ASSERT_EQ(LoadBody(again, saved), 0);
    EXPECT_EQ(again.FindImage("pic")->GetImage()->GetWidth(), 6u);

    // Bytes that are no picture: the object stays without one and the rest of the skin loads.
    std::vector<BYTE> broken = rec;
    for (size_t i = formatAt + 4; i < broken.size(); ++i)
        broken[i] = 0xEE;
    auto other = Make<CSkinImageObject>("other");
    other->SetImage(MakePicture(3, 3), RASTER_FORMAT_BMP);
    ASSERT_EQ(LoadBody(f, withPictures({broken, RecordAt(*other, 18)})), 0);
    ASSERT_NE(f.FindImage("pic"), nullptr);
    EXPECT_FALSE(f.FindImage("pic")->GetImage()->IsValid());
    EXPECT_TRUE(f.FindImage("other")->GetImage()->IsValid());
    // Saved, it keeps its name with no picture bytes.
    CSkinFile reloaded;
    ASSERT_EQ(LoadBody(reloaded, SaveBytes(f)), 0);
    EXPECT_FALSE(reloaded.FindImage("pic")->GetImage()->IsValid());

    // A picture size beyond the body is a broken body.
    std::vector<BYTE> huge = rec;
    huge[formatAt - 1] = 0x7F;
    EXPECT_EQ(LoadBody(f, withPictures({huge})), 5);
}

namespace {

// The 54 bytes of a BMP file header and info header claiming a 24-bit picture of the given
// size, with no pixels after them.
std::vector<BYTE> BareBmpHeader(LONG width, LONG height)
{
    std::vector<BYTE> b = {'B', 'M'};
    PutU32(b, 54);
    PutU32(b, 0);
    PutU32(b, 54);
    PutU32(b, 40);
    PutU32(b, DWORD(width));
    PutU32(b, DWORD(height));
    b.push_back(1);
    b.push_back(0);
    b.push_back(24);
    b.push_back(0);
    for (int i = 0; i < 6; ++i)
        PutU32(b, 0);
    return b;
}

// A body of `count` image records, each named apart and holding the given picture bytes.
std::vector<BYTE> BodyOfPictures(int count, const std::vector<BYTE>& picture)
{
    std::vector<BYTE> b = Header(1, 18, 0);
    PutU32(b, DWORD(count));
    for (int i = 0; i < count; ++i) {
        auto image = Make<CSkinImageObject>(("p" + std::to_string(i)).c_str());
        std::vector<BYTE> rec = RecordAt(*image, 18);
        const size_t sizeAt = 4 + 142;
        for (int k = 0; k < 4; ++k)
            rec[sizeAt + k] = BYTE(picture.size() >> (8 * k));
        rec[sizeAt + 4] = RASTER_FORMAT_BMP;
        rec.insert(rec.end(), picture.begin(), picture.end());
        b.insert(b.end(), rec.begin(), rec.end());
    }
    PutU32(b, 0);
    return b;
}

}  // namespace

TEST(SkinFilePictures, ASkinOverThePictureBudgetIsRefusedFromItsHeaders)
{
    // What the pictures of a loaded skin take is counted exactly.
    CSkinFile small;
    auto pic = Make<CSkinImageObject>("pic");
    pic->SetImage(MakePicture(6, 5), RASTER_FORMAT_BMP);
    auto grey = Make<CSkinImageObject>("grey");
    grey->SetImage(MakePicture(3, 2, 8), RASTER_FORMAT_TGA);
    small.AddImage(std::move(pic));
    small.AddImage(std::move(grey));
    CSkinFile loaded;
    ASSERT_EQ(LoadBody(loaded, SaveBytes(small)), 0);
    EXPECT_EQ(loaded.GetPictureBytes(), (40u + 20 * 5) + (40u + 256 * 4 + 4 * 2));

    // A thousand records of 54 bytes, each claiming 8192 x 8192 at 24 bits (192 MiB): refused
    // at the first, before anything is allocated for it.
    const std::vector<BYTE> packed = Pack(BodyOfPictures(1000, BareBmpHeader(8192, 8192)));
    ASSERT_FALSE(packed.empty());
    EXPECT_LT(packed.size(), 64u * 1024);
    const auto start = std::chrono::steady_clock::now();
    CSkinFile hostile;
    EXPECT_EQ(LoadPacked(hostile, packed), 5);
    EXPECT_EQ(hostile.GetPictureBytes(), 0u);
    EXPECT_TRUE(hostile.GetImages().empty());
    // A generous bound on a busy machine.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));

    // Pictures that fit one by one are counted until the next would pass the budget.
    CSkinFile many;
    EXPECT_EQ(LoadBody(many, BodyOfPictures(1000, BareBmpHeader(4096, 4096))), 5);
    const uint64_t one = 40 + uint64_t(4096 * 3) * 4096;
    EXPECT_EQ(many.GetPictureBytes(), one * (CSkinFile::kPictureBudget / one));

    // A top-down picture needs a second copy while it is turned: counted twice.
    CSkinFile turned;
    EXPECT_EQ(LoadBody(turned, BodyOfPictures(2, BareBmpHeader(4096, -4096))), 5);
    EXPECT_EQ(turned.GetPictureBytes(), 0u);
    EXPECT_EQ(LoadBody(turned, BodyOfPictures(1, BareBmpHeader(2048, -2048))), 0);
    EXPECT_EQ(turned.GetPictureBytes(), 2 * (40 + uint64_t(2048 * 3) * 2048));

    // The refused skin leaves the file empty and usable: a sound skin loads into it again.
    EXPECT_EQ(LoadBody(hostile, SaveBytes(small)), 0);
    EXPECT_EQ(hostile.GetImages().size(), 2u);
}
