#include "AboutDlg.h"

#include "Peloran.h"
#include "SkinEngine.h"

CAboutDlg::CAboutDlg(CWnd* parent, LPCSTR settings_path, LPCSTR title)
    : CDialog(IDD_ABOUTBOX, parent),
      m_strSettings(settings_path ? CString(settings_path)
                                  : CString(PeloranFileBesideProgram("settings.ini").c_str())),
      m_strTitle(title ? title : PELORAN_PRODUCT_TITLE) {}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_ABOUT_HOMEPAGE, m_Homepage);
    DDX_Control(dx, IDC_ABOUT_SUPPORT, m_Support);
    DDX_Control(dx, IDC_ABOUT_MAIL, m_Mail);
}

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()

CString CAboutDlg::ReadVersion(LPCSTR settings_path) {
    char version[256] = {};
    ::GetPrivateProfileStringA("Version", "MARDEVOLTA", "1.0.0", version, sizeof version,
                               settings_path ? settings_path : "");
    return version;
}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    CString text;
    text.Format("%s Homepage", (LPCSTR)m_strTitle);
    m_Homepage.SetWindowText(text);
    struct {
        CUrlLabel* link;
        LPCSTR url;
    } links[] = {{&m_Homepage, PELORAN_HOMEPAGE_URL}, {&m_Support, PELORAN_SUPPORT_URL}, {&m_Mail, PELORAN_MAIL_URL}};
    for (auto& l : links) {
        l.link->SetLinkUrl(l.url);
        l.link->SetUnderlineMode(1);
        // Links keep their own colours rather than the skin's.
        RemoveWindowSkin(l.link->GetSafeHwnd());
    }

    text.Format("Version: %s", (LPCSTR)ReadVersion(m_strSettings));
    SetDlgItemText(IDC_ABOUT_VERSION, text);
    text.Format("About %s", (LPCSTR)m_strTitle);
    SetWindowText(text);
    SetDlgItemText(IDC_ABOUT_TITLE, m_strTitle);
    return TRUE;
}
