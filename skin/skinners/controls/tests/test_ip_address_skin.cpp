// IP-address controls under the flat-colour skin: the scroll-control base as it stands gives
// them the skin's border, their four fields (edits of their own) take the Edit look and stay
// readable, the dots between them show, and taking the skin off gives back the plain control.
#include <gtest/gtest.h>

#include <commctrl.h>

#include <typeinfo>
#include <vector>

#include "EditSkin.h"
#include "control_test_support.h"

using namespace ctltest;
using skinkit::ClientRectIn;
using skinkit::WindowRectIn;

namespace {

constexpr COLORREF kBack = RGB(250, 236, 20);
constexpr COLORREF kText = RGB(20, 60, 200);

std::unique_ptr<CSkinScrollControlObject> Field(const char* name, int type)
{
    auto o = Named<CSkinScrollControlObject>(name, type);
    o->m_background.Set("", 0, 0, 12, 12, 2, 2, 2, 2, 1);
    o->m_crBack = kBack;
    o->m_crText = kText;
    o->m_nThird = RGB(40, 210, 170);
    return o;
}

std::vector<std::unique_ptr<CSkinObject>> Objects()
{
    std::vector<std::unique_ptr<CSkinObject>> objects;
    objects.push_back(MakeFrameObject());
    objects.push_back(Field("Edit", SKIN_EDIT));
    objects.push_back(Field("ScrollControl", SKIN_SCROLLCONTROL));
    return objects;
}

std::vector<HWND> FieldsOf(HWND ip)
{
    std::vector<HWND> fields;
    for (HWND child = GetWindow(ip, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        fields.push_back(child);
    return fields;
}

class IpAddressSkinTest : public CHostedSkinnerTest {
protected:
    HWND AddAddress()
    {
        host = std::make_unique<CHost>();
        HWND ip = host->Add(WC_IPADDRESSA, "", 0, RECT{20, 20, 220, 46}, 11, WS_EX_CLIENTEDGE);
        SendMessageA(ip, IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 10, 200));
        WinTestActivate(*host);
        WinTestPumpUntilIdle();
        return ip;
    }
    std::string WindowPainter(HWND control, POINT p) const
    {
        const RECT wr = WindowRectIn(control, *host);
        return skinkit::Painter(host->Picture(), POINT{wr.left + p.x, wr.top + p.y}, *skin);
    }
};

TEST_F(IpAddressSkinTest, TheSkinsBorderGoesAroundFourReadableFieldsAndTheDotsBetweenThem)
{
    ApplySkin(Objects());
    HWND ip = AddAddress();
    ASSERT_TRUE(host->Skin());
    CSkinWindow* skinner = SkinOf(ip);
    ASSERT_NE(skinner, nullptr);
    EXPECT_EQ(typeid(*skinner), typeid(CSkinScrollControl));
    EXPECT_EQ(skinner->GetObjectType(), SKIN_SCROLLCONTROL);

    const RECT wr = WindowRectIn(ip, *host);
    ASSERT_GT(ClientRectIn(ip, *host).left, wr.left);
    EXPECT_EQ(WindowPainter(ip, POINT{0, Height(wr) / 2}), "ScrollControl.background cell 3");
    EXPECT_EQ(WindowPainter(ip, POINT{Width(wr) / 2, 0}), "ScrollControl.background cell 1");
    EXPECT_EQ(WindowPainter(ip, POINT{Width(wr) - 1, Height(wr) - 1}), "ScrollControl.background cell 8");

    const std::vector<HWND> fields = FieldsOf(ip);
    ASSERT_EQ(fields.size(), 4u);
    const CPicture p = host->Picture();
    for (size_t k = 0; k < fields.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_NE(SkinOf<CSkinEdit>(fields[k]), nullptr);
        const RECT fr = ClientRectIn(fields[k], *host);
        EXPECT_EQ(p.At(POINT{fr.left + 1, fr.top + 1}), kBack);
        EXPECT_GT(p.CountNear(fr, kText), 10);
        if (k + 1 < fields.size()) {
            // The dot between this field and the next one.
            const RECT next = ClientRectIn(fields[k + 1], *host);
            const RECT gap{fr.right, fr.top, next.left, fr.bottom};
            ASSERT_GT(Width(gap), 0);
            EXPECT_FALSE(p.IsUniform(gap, p.At(gap.left, gap.top)));
        }
    }
}

TEST_F(IpAddressSkinTest, TakingTheSkinOffGivesBackThePlainControlAndFreesWhatTheSkinMade)
{
    ApplySkin(Objects());
    HWND ip = AddAddress();
    const CPicture before = host->Picture();
    const WinTestLiveCounts baseline = WinTestLiveCounts::Now();
    ASSERT_TRUE(host->Skin());
    const RECT wr = WindowRectIn(ip, *host);
    ASSERT_NE(host->Picture().CountDifferences(before, wr), 0);
    ASSERT_TRUE(host->Unskin());
    EXPECT_EQ(SkinOf(ip), nullptr);
    for (HWND field : FieldsOf(ip))
        EXPECT_EQ(SkinOf(field), nullptr);
    EXPECT_EQ(host->Picture().CountDifferences(before, wr), 0);
    DWORD address = 0;
    EXPECT_EQ(SendMessageA(ip, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address)), 4);
    EXPECT_EQ(address, DWORD(MAKEIPADDRESS(192, 168, 10, 200)));
    const WinTestLiveCounts after = WinTestLiveCounts::Now();
    EXPECT_EQ(after, baseline) << after.ChangesFrom(baseline);
}

}  // namespace
