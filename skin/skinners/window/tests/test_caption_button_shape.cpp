// A shaped caption button: in a skin whose Application object leaves the key colour out, a
// button whose picture has key-coloured corners is only there where its picture is. Told at the
// first pixel inside the shape and the last one outside it, by the mouse and by the paint.
#include "FrameElements.h"
#include "RasterImage.h"
#include "SkinFile.h"
#include "window_test_support.h"

using namespace wintest;

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr int kCorner = 3;  // each corner of the 16 x 16 picture: a 3 x 3 block of the key colour

class CaptionButtonShapeTest : public WindowSkinTest {
protected:
    void AddObjects(std::vector<std::unique_ptr<CSkinObject>>& objects) override
    {
        auto app = std::make_unique<CSkinApplicationObject>();
        app->SetName("Application");
        app->m_nThird = kKey;
        app->m_bTransparent = 1;
        objects.push_back(std::move(app));
    }
    void SetUp() override
    {
        WindowSkinTest::SetUp();
        // The pictures of the Cmd button's looks get their corners cut, before any window
        // takes the skin.
        CSkinFile* file = CSkinManager::Instance().GetSkinFile();
        ASSERT_NE(file, nullptr);
        auto* dialog = file->FindObject("Dialog");
        ASSERT_NE(dialog, nullptr);
        CSkinCaptionButtonObject* cmd = nullptr;
        for (const auto& child : dialog->GetChildren())
            if (child.first == "Cmd")
                cmd = dynamic_cast<CSkinCaptionButtonObject*>(child.second.get());
        ASSERT_NE(cmd, nullptr);
        for (const SkinImagePart* part : {&cmd->m_states[0], &cmd->m_states[1], &cmd->m_states[2], &cmd->m_image}) {
            CSkinImageObject* image = file->FindImage(part->name);
            ASSERT_NE(image, nullptr) << part->name;
            CRasterImage* raster = image->GetImage();
            const RECT& s = part->src;
            ASSERT_EQ(s.right - s.left, 16);
            for (int y = 0; y < kCorner; ++y)
                for (int x = 0; x < kCorner; ++x)
                    for (POINT p : {POINT{x, y}, POINT{15 - x, y}, POINT{x, 15 - y}, POINT{15 - x, 15 - y}})
                        raster->SetPixelColor(s.left + p.x, s.top + p.y, kKey);
        }
        hwnd = SkinnedDialog();
        button = ElementRect(hwnd, "Cmd");
        ASSERT_EQ(button.right - button.left, 16);
    }
    // Clicks a point of the button's picture; whether the button took it (its command came).
    bool ClickTakes(POINT inPicture)
    {
        Log().commands.clear();
        Click(hwnd, POINT{button.left + inPicture.x, button.top + inPicture.y});
        MoveTo(hwnd, POINT{5, 60});
        for (WPARAM c : Log().commands)
            if (LOWORD(c) == 77)
                return true;
        return false;
    }
    COLORREF Shown(POINT inPicture)
    {
        return CPicture::OfWindow(hwnd).At(POINT{button.left + inPicture.x, button.top + inPicture.y});
    }

    HWND hwnd = nullptr;
    RECT button{};
};

TEST_F(CaptionButtonShapeTest, TheButtonIsOnlyWhereItsPictureIs)
{
    // Along the top edge and down the left edge, at both ends of the button.
    const struct {
        POINT p;
        bool inside;
    } points[] = {
        {{kCorner - 1, 0}, false}, {{kCorner, 0}, true},          {{15 - kCorner, 0}, true},
        {{16 - kCorner, 0}, false}, {{0, kCorner - 1}, false},     {{0, kCorner}, true},
        {{15, 15 - kCorner}, true}, {{15, 16 - kCorner}, false},   {{8, 8}, true},
    };
    for (const auto& point : points) {
        SCOPED_TRACE("(" + std::to_string(point.p.x) + ", " + std::to_string(point.p.y) + ")");
        EXPECT_EQ(ClickTakes(point.p), point.inside);
        // Where the button is not, the caption shows; the key colour never does.
        const COLORREF shown = Shown(point.p);
        EXPECT_NE(shown, kKey);
        const std::string painter = skin->Describe(shown);
        if (point.inside) {
            EXPECT_EQ(painter.rfind("Dialog/Cmd.", 0), 0u) << painter;
        } else {
            EXPECT_EQ(painter.rfind("Dialog/Cmd.", 0), std::string::npos) << painter;
            EXPECT_NE(skin->Find(shown), nullptr) << painter;
        }
    }
}

}  // namespace
