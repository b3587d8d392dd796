// Modal dialogs over the dialog manager: template, initialisation with data exchange, the owner
// disabled while the loop runs, Enter reaching OnOK, and the result of EndDialog.
#include <gtest/gtest.h>

#include <vector>

#include "afxwin.h"


namespace {

// DLGTEMPLATE: a caption, an edit 1006 and a button 1 (IDOK).
std::vector<WORD> Template() {
    std::vector<WORD> v;
    auto d = [&](DWORD x) { v.push_back(WORD(x)); v.push_back(WORD(x >> 16)); };
    auto s = [&](const char* t) { while (*t) v.push_back(WORD(*t++)); v.push_back(0); };
    auto align = [&] { if (v.size() % 2) v.push_back(0); };
    d(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    d(0);
    v.push_back(2);
    v.push_back(0); v.push_back(0); v.push_back(200); v.push_back(80);
    v.push_back(0); v.push_back(0); s("Test dialog");
    align();
    d(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL); d(0);
    v.push_back(10); v.push_back(10); v.push_back(100); v.push_back(12); v.push_back(1006);
    v.push_back(0xFFFF); v.push_back(0x81); s(""); v.push_back(0);
    align();
    d(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON); d(0);
    v.push_back(10); v.push_back(40); v.push_back(50); v.push_back(14); v.push_back(IDOK);
    v.push_back(0xFFFF); v.push_back(0x80); s("OK"); v.push_back(0);
    return v;
}

class CTestDlg : public CDialog {
public:
    CWnd m_edit;
    CString m_text = "first";
    HWND m_owner = nullptr;
    bool m_owner_was_disabled = false;
    bool m_inited = false;
    int m_action = 0;  // 0: end with 33 from a posted message; 1: press Enter in the edit
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, 1006, m_edit);
        DDX_Text(dx, 1006, m_text);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_inited = true;
        PostMessage(WM_USER + 9);
        return TRUE;
    }
    LRESULT OnGo(WPARAM, LPARAM) {
        m_owner_was_disabled = m_owner && !::IsWindowEnabled(m_owner);
        if (m_action == 0) {
            EndDialog(33);
        } else {
            m_edit.SetWindowText("typed");
            m_edit.SetFocus();
            ::PostMessageA(m_edit.m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
        }
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
ON_MESSAGE(WM_USER + 9, OnGo)
END_MESSAGE_MAP()

class DialogTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300,
                                   200, nullptr, nullptr));
    }
    void TearDown() override {
        if (owner.m_hWnd) owner.DestroyWindow();
    }
    CWnd owner;
    std::vector<WORD> tmpl = Template();
};

TEST_F(DialogTest, ModalRunInitialisesBindsDisablesTheOwnerAndReturnsTheEndResult) {
    CTestDlg dlg;
    dlg.m_owner = owner.m_hWnd;
    ASSERT_TRUE(dlg.InitModalIndirect(tmpl.data(), &owner));
    EXPECT_EQ(dlg.DoModal(), 33);
    EXPECT_TRUE(dlg.m_inited);
    EXPECT_TRUE(dlg.m_owner_was_disabled);
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));  // given back afterwards
    EXPECT_EQ(dlg.m_hWnd, nullptr);                // the window is gone
    EXPECT_EQ(dlg.m_edit.m_hWnd, nullptr);         // and the bound control with it
    EXPECT_EQ(dlg.m_text, "first");                // EndDialog alone saves nothing
}

TEST_F(DialogTest, EnterInAControlEndsWithOkAfterSavingTheData) {
    CTestDlg dlg;
    dlg.m_action = 1;
    ASSERT_TRUE(dlg.InitModalIndirect(tmpl.data(), &owner));
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_text, "typed");
}

}  // namespace
