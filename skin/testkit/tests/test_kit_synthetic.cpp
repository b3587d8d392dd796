// Synthetic windows of any class, and skins attached to them the way the engine attaches them.
#include <gtest/gtest.h>

#include "FlatSkin.h"
#include "SkinManager.h"
#include "SkinObjectTypes.h"
#include "SkinWindow.h"
#include "SkinnerRegistry.h"
#include "SyntheticWindow.h"
#include "dialog_test_support.h"

using namespace skinkit;

namespace {

// Skins that say which way they were made.
struct Made : CSkinWindow {
    explicit Made(const char* how) : how(how) {}
    const char* how;
};
CSkinWindow* MakeFrame() { return new Made("frame"); }
CSkinWindow* MakeDialog() { return new Made("dialog"); }
CSkinWindow* MakeShape() { return new Made("shape"); }
CSkinWindow* MakeControl(int, CSkinWindow*) { return new Made("control"); }

const char* HowSkinned(HWND hwnd)
{
    auto* made = dynamic_cast<Made*>(CSkinManager::Instance().FindSkinWindow(hwnd));
    return made ? made->how : "none";
}

template <typename T>
std::unique_ptr<CSkinObject> Named(const char* name)
{
    auto o = std::make_unique<T>();
    o->SetName(name);
    return o;
}

class SyntheticTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterWindowSkinner(SKINKIND_FRAME, &MakeFrame);
        RegisterWindowSkinner(SKINKIND_DIALOG, &MakeDialog);
        RegisterWindowSkinner(SKINKIND_SHAPE, &MakeShape);
        RegisterControlSkinner(SKIN_TAB, &MakeControl);
        RegisterControlSkinner(SKIN_BUTTON, &MakeControl);
        std::vector<std::unique_ptr<CSkinObject>> objects;
        objects.push_back(Named<CSkinFrameWndObject>("Frame"));
        objects.push_back(Named<CSkinShapeWndObject>("Shape"));
        objects.push_back(Named<CSkinTabObject>("Tab"));
        objects.push_back(Named<CSkinPopupMenuObject>("PopupMenu"));
        auto panel = Named<CSkinType45Object>("Panel");
        auto ok = Named<CSkinButtonObject>("Ok");
        panel->AddChild(std::move(ok));
        objects.push_back(std::move(panel));
        CFlatSkin(std::move(objects)).Apply();
    }
    void TearDown() override
    {
        CSkinManager::Instance().Cleanup();
        for (int kind = 0; kind < SKINKIND_COUNT; ++kind)
            RegisterWindowSkinner(SkinWindowKind(kind), nullptr);
        RegisterControlSkinner(SKIN_TAB, nullptr);
        RegisterControlSkinner(SKIN_BUTTON, nullptr);
    }
};

TEST_F(SyntheticTest, AClassNobodyHasIsMadePlainAndAPlatformClassStaysItsOwn)
{
    WindowSpec tab;
    tab.cls = "KitNoSuchControl32";
    CSyntheticWindow unknown(tab);
    ASSERT_NE(unknown.Hwnd(), nullptr);
    char cls[64] = {};
    GetClassNameA(unknown, cls, sizeof cls);
    EXPECT_STREQ(cls, "KitNoSuchControl32");
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetClassLongPtrA(unknown, GCLP_WNDPROC)), &DefWindowProcA);

    WindowSpec button;
    button.cls = "Button";
    button.style = WS_POPUP | BS_AUTOCHECKBOX;
    CSyntheticWindow check(button);
    ASSERT_NE(check.Hwnd(), nullptr);
    EXPECT_NE(reinterpret_cast<WNDPROC>(GetClassLongPtrA(check, GCLP_WNDPROC)), &DefWindowProcA);
    SendMessageA(check, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_CHECKED);  // the real control
}

TEST_F(SyntheticTest, EachObjectTypeIsAttachedTheEnginesWay)
{
    CSyntheticWindow top(WindowSpec{});
    EXPECT_TRUE(top.Attach("Frame"));
    EXPECT_STREQ(HowSkinned(top), "frame");

    dlgtest::TemplateBuilder t(WS_POPUP | WS_CAPTION | DS_SETFONT, 0, 0, 100, 60, "Dialog");
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, nullptr, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(AttachSkin(dialog, "Frame"));
    EXPECT_STREQ(HowSkinned(dialog), "dialog");
    DestroyWindow(dialog);

    CSyntheticWindow shaped(WindowSpec{});
    EXPECT_TRUE(shaped.Attach("Shape"));
    EXPECT_STREQ(HowSkinned(shaped), "shape");
    CSyntheticWindow wide(WindowSpec{});
    EXPECT_TRUE(wide.Attach("Panel"));
    EXPECT_STREQ(HowSkinned(wide), "none");  // no type-45 skin installed: the base
    EXPECT_EQ(CSkinManager::Instance().FindSkinWindow(wide)->GetObjectType(), SKIN_TYPE45);

    WindowSpec tabSpec;
    tabSpec.cls = "SysTabControl32";
    tabSpec.style = WS_CHILD | WS_VISIBLE;
    tabSpec.parent = top;
    CSyntheticWindow tab(tabSpec);
    EXPECT_TRUE(tab.Attach("Tab"));
    EXPECT_STREQ(HowSkinned(tab), "control");
    // A child object looked for inside its parent object.
    WindowSpec okSpec;
    okSpec.cls = "Button";
    okSpec.style = WS_CHILD | WS_VISIBLE;
    okSpec.parent = wide;
    CSyntheticWindow ok(okSpec);
    EXPECT_FALSE(ok.Attach("Ok", "Frame"));
    EXPECT_TRUE(ok.Attach("Ok", "Panel"));
    EXPECT_EQ(CSkinManager::Instance().FindSkinWindow(ok)->GetSkinObject()->GetType(), SKIN_BUTTON);
}

TEST_F(SyntheticTest, WhatNothingAttachesIsRefusedAndDetachingPutsTheWindowBack)
{
    CSyntheticWindow top(WindowSpec{});
    const LONG_PTR proc = GetWindowLongPtrA(top, GWLP_WNDPROC);
    EXPECT_FALSE(top.Attach("PopupMenu"));
    EXPECT_FALSE(top.Attach("Missing"));
    EXPECT_FALSE(top.Attach(nullptr));
    EXPECT_FALSE(top.Detach());
    EXPECT_EQ(CSkinManager::Instance().GetWindowCount(), 0u);

    ASSERT_TRUE(top.Attach("Frame"));
    EXPECT_NE(GetWindowLongPtrA(top, GWLP_WNDPROC), proc);
    EXPECT_TRUE(top.Detach());
    EXPECT_EQ(GetWindowLongPtrA(top, GWLP_WNDPROC), proc);
    EXPECT_EQ(CSkinManager::Instance().GetWindowCount(), 0u);

    HWND gone;
    {
        CSyntheticWindow scoped(WindowSpec{});
        ASSERT_TRUE(scoped.Attach("Frame"));
        gone = scoped;
    }
    EXPECT_FALSE(IsWindow(gone));
    EXPECT_EQ(CSkinManager::Instance().GetWindowCount(), 0u);
}

}  // namespace
