// The default skin on a dialog with one of each standard control, through the real engine and
// skinners: every control gets its skinner and its look, and the spin arrows show the skin's
// pictures state by state.
#include <gtest/gtest.h>
#include <richedit.h>
#include <unistd.h>

#include <commctrl.h>

#include <string>

#include "PixelProbe.h"
#include "RasterImage.h"
#include "SkinBuilder.h"
#include "SkinEngine.h"
#include "SkinFile.h"
#include "SkinObjectTypes.h"
#include "SkinWindow.h"
#include "Skinners.h"
#include "dialog_test_support.h"
#include "winplat_test.h"

using skinkit::CPicture;
using skinkit::ClientRectIn;

namespace {

struct Sample {
    WORD id;
    WORD atom;        // a predefined class, or 0 with `cls`
    const char* cls;
    DWORD style;
    short x, y, cx, cy;
    const char* text;
    int type;         // the skin type its skinner shows
};

const Sample kSamples[] = {
    {100, 0x80, nullptr, BS_PUSHBUTTON, 5, 5, 50, 14, "Push", SKIN_BUTTON},
    {101, 0x80, nullptr, BS_AUTOCHECKBOX, 60, 5, 60, 12, "Check", SKIN_CHECKBOX},
    {102, 0x80, nullptr, BS_AUTORADIOBUTTON, 125, 5, 60, 12, "Radio", SKIN_RADIO},
    {103, 0x80, nullptr, BS_GROUPBOX, 5, 22, 120, 40, "Group", SKIN_GROUPBOX},
    {104, 0x82, nullptr, SS_LEFT, 130, 22, 60, 10, "Label", SKIN_STATIC},
    {105, 0x81, nullptr, ES_AUTOHSCROLL | WS_BORDER, 130, 36, 60, 12, "text", SKIN_EDIT},
    {106, 0, RICHEDIT_CLASS10A, ES_MULTILINE | WS_BORDER, 195, 5, 80, 30, "rich", SKIN_RICHEDIT},
    {107, 0, "SysIPAddress32", 0, 195, 40, 80, 12, "", SKIN_SCROLLCONTROL},
    {108, 0x85, nullptr, CBS_DROPDOWNLIST | WS_VSCROLL, 5, 66, 80, 60, "", SKIN_COMBOBOX},
    {109, 0x83, nullptr, LBS_NOTIFY | WS_BORDER | WS_VSCROLL, 90, 66, 60, 40, "", SKIN_LISTBOX},
    {110, 0, WC_LISTVIEWA, LVS_REPORT | WS_BORDER, 155, 66, 80, 40, "", SKIN_LISTVIEW},
    {111, 0, WC_TREEVIEWA, WS_BORDER, 240, 66, 60, 40, "", SKIN_TREEVIEW},
    {112, 0, TRACKBAR_CLASSA, 0, 5, 110, 80, 16, "", SKIN_SLIDER},
    {113, 0, PROGRESS_CLASSA, 0, 90, 112, 80, 10, "", SKIN_PROGRESSBAR},
    {114, 0, UPDOWN_CLASSA, 0, 175, 108, 10, 20, "", SKIN_SPIN},
    {115, 0x84, nullptr, SBS_HORZ, 190, 112, 80, 10, "", SKIN_SCROLLBAR},
};
constexpr WORD kSpinId = 114;

INT_PTR CALLBACK SampleProc(HWND dlg, UINT msg, WPARAM, LPARAM)
{
    if (msg != WM_INITDIALOG)
        return FALSE;
    SendDlgItemMessageA(dlg, 108, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("MPEG-4"));
    SendDlgItemMessageA(dlg, 108, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageA(dlg, 109, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("holiday.mp4"));
    SendDlgItemMessageA(dlg, 113, PBM_SETPOS, 50, 0);
    SendDlgItemMessageA(dlg, kSpinId, UDM_SETRANGE32, 0, 100);
    return TRUE;
}

class DefaultSkinDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = ::testing::TempDir() + "default_skin_dialog_" + std::to_string(getpid()) + ".qvk";
        skinbuild::BuildDefaultSkin(skin);
        ASSERT_TRUE(skin.SaveToFile(path.c_str()));
        InstallSkinners();
        ASSERT_TRUE(InitSkinLibrary(GetModuleHandleA(nullptr)));
        ASSERT_TRUE(LoadSkinFile(path.c_str())) << GetSkinLastError();
        dlgtest::TemplateBuilder t(WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT, 20, 20, 310, 135, "Samples");
        for (const Sample& s : kSamples)
            t.Item(s.atom, s.text, s.id, s.style, s.x, s.y, s.cx, s.cy, s.cls);
        dlg = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, &SampleProc, 0);
        ASSERT_TRUE(dlg);
        WinTestActivate(dlg);
        WinTestPumpUntilIdle();
    }
    void TearDown() override
    {
        if (IsWindow(dlg))
            DestroyWindow(dlg);
        WinTestPumpUntilIdle();
        ExitSkinLibrary();
        unlink(path.c_str());
    }
    // The pixel of a picture of the skin, top-down.
    COLORREF SkinPixel(const SkinImagePart& part, int x, int y)
    {
        const CRasterImage* img = skin.FindImage(part.name)->GetImage();
        RGBQUAD q = img->GetPixelColor(part.src.left + x, LONG(img->GetHeight()) - 1 - (part.src.top + y), false);
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    COLORREF Shown(HWND control, int x, int y)
    {
        const RECT rc = ClientRectIn(control, dlg);
        return CPicture::OfWindow(dlg).At(rc.left + x, rc.top + y);
    }

    std::string path;
    CSkinFile skin;
    HWND dlg = nullptr;
};

}  // namespace

TEST_F(DefaultSkinDialog, EveryStandardControlGetsItsSkinnerAndLooksDifferent)
{
    const CPicture plain = CPicture::OfWindow(dlg);
    ASSERT_TRUE(SetSingleDialogSkin(dlg, "Dialog")) << GetSkinLastError();
    WinTestPumpUntilIdle();
    const CPicture skinned = CPicture::OfWindow(dlg);
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(s.cls ? s.cls : s.text);
        HWND control = GetDlgItem(dlg, s.id);
        ASSERT_TRUE(control);
        CSkinWindow* skinner = CSkinWindow::FromHandle(control);
        ASSERT_NE(skinner, nullptr) << "not skinned";
        EXPECT_EQ(skinner->GetObjectType(), s.type);
        EXPECT_GT(skinned.CountDifferences(plain, ClientRectIn(control, dlg)), 0) << "looks as it did unskinned";
    }
    // The IP address control's fields are edits of the skin too.
    HWND field = FindWindowExA(GetDlgItem(dlg, 107), nullptr, "Edit", nullptr);
    ASSERT_TRUE(field);
    ASSERT_NE(CSkinWindow::FromHandle(field), nullptr);
    EXPECT_EQ(CSkinWindow::FromHandle(field)->GetObjectType(), SKIN_EDIT);
}

TEST_F(DefaultSkinDialog, SpinArrowsShowTheSkinsPictureOfEachState)
{
    ASSERT_TRUE(SetSingleDialogSkin(dlg, "Dialog")) << GetSkinLastError();
    WinTestPumpUntilIdle();
    HWND spin = GetDlgItem(dlg, kSpinId);
    auto* look = dynamic_cast<CSkinSpinObject*>(skin.FindObject("Spin"));
    ASSERT_NE(look, nullptr);
    RECT rc;
    GetClientRect(spin, &rc);
    const int lowerTop = rc.bottom / 2;
    // A point of each half's fill, clear of its edge and arrow.
    const int x = 3, y = 3;
    EXPECT_EQ(Shown(spin, x, y), SkinPixel(look->m_states[0].parts[0], x, y));
    EXPECT_EQ(Shown(spin, x, lowerTop + y), SkinPixel(look->m_states[0].parts[1], x, y));

    WinTestMouseMove(spin, 4, 4);
    WinTestPumpUntilIdle();
    EXPECT_EQ(Shown(spin, x, y), SkinPixel(look->m_states[1].parts[0], x, y));
    EXPECT_NE(SkinPixel(look->m_states[1].parts[0], x, y), SkinPixel(look->m_states[0].parts[0], x, y));

    WinTestMouseButton(spin, WINTEST_LEFT, true, 4, lowerTop + 4);
    WinTestPumpUntilIdle();
    EXPECT_EQ(Shown(spin, x, lowerTop + y), SkinPixel(look->m_states[2].parts[1], x, y));
    WinTestMouseButton(spin, WINTEST_LEFT, false, 4, lowerTop + 4);
    WinTestPumpUntilIdle();

    EnableWindow(spin, FALSE);
    WinTestPumpUntilIdle();
    EXPECT_EQ(Shown(spin, x, y), SkinPixel(look->m_states[3].parts[0], x, y));
}
