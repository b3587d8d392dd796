#include "DecoderInfo.h"

#include "SkinEngine.h"

CDecoderInfoDlg::CDecoderInfoDlg(CWnd* parent) : CDialog(IDD_DECODER_INFO, parent) {}

CDecoderInfoDlg::~CDecoderInfoDlg() = default;

void CDecoderInfoDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_DECODER_FILE, m_FileName);
    DDX_Control(dx, IDC_DECODER_LINK, m_Link);
}

BEGIN_MESSAGE_MAP(CDecoderInfoDlg, CDialog)
END_MESSAGE_MAP()

BOOL CDecoderInfoDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_FileName.SetWindowText(m_strFileName);
    // The link shows its own address.
    m_Link.SetWindowText(DECODER_PACK_URL);
    m_Link.SetLinkUrl(DECODER_PACK_URL);
    m_Link.SetUnderlineMode(1);
    // Links keep their own colours rather than the skin's.
    RemoveWindowSkin(m_Link.GetSafeHwnd());
    return TRUE;
}
