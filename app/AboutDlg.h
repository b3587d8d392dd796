// The About box: the product title, its version from "settings.ini" beside the program, and
// links to the product's web pages.
#pragma once

#include "afxwin.h"
#include "UrlLabel.h"

#define IDD_ABOUTBOX 100
#define IDC_ABOUT_TITLE 1030
#define IDC_ABOUT_VERSION 1031
#define IDC_ABOUT_HOMEPAGE 1033
#define IDC_ABOUT_SUPPORT 1034
#define IDC_ABOUT_MAIL 1035

#define PELORAN_PRODUCT_TITLE "Velmora Corvane"
#define PELORAN_HOMEPAGE_URL "https://www.velmora-software.example/corvane/"
#define PELORAN_SUPPORT_URL "https://www.velmora-software.example/corvane/support.html"
#define PELORAN_MAIL_URL "mailto:support@velmora-software.example"

class CAboutDlg : public CDialog {
public:
    // `settings_path` is the "settings.ini" to read the version from; null means the one
    // beside the program. `title` is the product title (null: the default one).
    explicit CAboutDlg(CWnd* parent = nullptr, LPCSTR settings_path = nullptr, LPCSTR title = nullptr);
    ~CAboutDlg() override;

    // The version the box shows: [Version] MARDEVOLTA of the settings file, else "1.0.0".
    static CString ReadVersion(LPCSTR settings_path);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    DECLARE_MESSAGE_MAP()

    CUrlLabel m_Homepage;
    CUrlLabel m_Support;
    CUrlLabel m_Mail;
    CString m_strSettings;
    CString m_strTitle;
};
