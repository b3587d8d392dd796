// The application object: start-up and shut-down, command routing, profile and helpers.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

#include "afxwin.h"

namespace {

class CTestApp : public CWinApp {
public:
    int init_calls = 0, exit_calls = 0, help_calls = 0, tip_calls = 0;
    BOOL InitInstance() override {
        ++init_calls;
        return FALSE;  // the program ends after its own start-up
    }
    int ExitInstance() override {
        ++exit_calls;
        CWinApp::ExitInstance();
        return 17;
    }
    void OnTip() { ++tip_calls; }
    void OnAppHelp() { ++help_calls; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
ON_COMMAND(113, OnTip)
ON_COMMAND(ID_HELP, OnAppHelp)
END_MESSAGE_MAP()

TEST(Application, StartUpThatReturnsFalseRunsExitInstanceAndEnds) {
    CTestApp app;
    ASSERT_EQ(AfxGetApp(), &app);
    char name[] = "prog";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(AfxWinMain(1, argv), 17);
    EXPECT_EQ(app.init_calls, 1);
    EXPECT_EQ(app.exit_calls, 1);
    EXPECT_EQ(AfxGetInstanceHandle(), ::GetModuleHandleA(nullptr));
    EXPECT_STRNE(AfxGetAppName(), "");
}

class CWindowApp : public CWinApp {
public:
    BOOL InitInstance() override {
        // The main window lives on this stack frame, as a dialog-based program's does.
        CWnd main;
        main.CreateEx(0, AfxRegisterWndClass(0), "main", WS_OVERLAPPEDWINDOW, 0, 0,
                      100, 100, nullptr, nullptr);
        m_pMainWnd = &main;
        main_seen = AfxGetMainWnd() == &main;
        main.DestroyWindow();
        cleared_by_destroy = m_pMainWnd == nullptr;
        m_pMainWnd = &main;
        return FALSE;  // `main` is gone once this returns
    }
    bool main_seen = false, cleared_by_destroy = false;
};

TEST(Application, AMainWindowThatIsGoneIsNotReachedAfterStartUp) {
    CWindowApp app;
    char name[] = "prog";
    char* argv[] = {name, nullptr};
    AfxWinMain(1, argv);
    EXPECT_TRUE(app.main_seen);
    EXPECT_TRUE(app.cleared_by_destroy);
    EXPECT_EQ(app.m_pMainWnd, nullptr);  // the object's own destruction forgot it too
}

TEST(Application, DialogCommandsNobodyHandlesReachTheApplication) {
    CTestApp app;
    CDialog dlg;
    EXPECT_TRUE(dlg.OnCmdMsg(113, 0, nullptr, nullptr));
    EXPECT_TRUE(dlg.OnCmdMsg(ID_HELP, 0, nullptr, nullptr));
    EXPECT_FALSE(dlg.OnCmdMsg(4000, 0, nullptr, nullptr));
    EXPECT_EQ(app.tip_calls, 1);
    EXPECT_EQ(app.help_calls, 1);
}

TEST(Application, ProfileValuesRoundTripThroughTheUsersConfigFolder) {
    std::string dir = testing::TempDir() + "mfc_profile_" + std::to_string(::getpid()) + "_" +
                      std::to_string(reinterpret_cast<uintptr_t>(&dir) & 0xFFFF);
    ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    {
        CTestApp app;
        EXPECT_EQ(app.GetProfileInt("Tip", "StartUp", 5), 5u);
        EXPECT_TRUE(app.WriteProfileInt("Tip", "StartUp", 1));
        EXPECT_TRUE(app.WriteProfileString("Tip", "TimeStamp", "Tue Dec  8 20:00:00 2026"));
        EXPECT_EQ(app.GetProfileInt("Tip", "StartUp", 5), 1u);
        EXPECT_EQ(app.GetProfileString("Tip", "TimeStamp"), "Tue Dec  8 20:00:00 2026");
        EXPECT_EQ(app.GetProfileString("Tip", "Missing", "dflt"), "dflt");
    }
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST(Application, StringResourcesLoadByIdAndMissingOnesAreEmpty) {
    CString s;
    EXPECT_FALSE(s.LoadString(60000));
    EXPECT_TRUE(s.IsEmpty());
    CString direct(MAKEINTRESOURCEA(60001));
    EXPECT_TRUE(direct.IsEmpty());
}

}  // namespace
