// The missing-decoder information: names a file that no installed decoder can read and points
// to where decoders can be had.
#pragma once

#include "afxwin.h"
#include "UrlLabel.h"

#define IDD_DECODER_INFO 173
#define IDC_DECODER_FILE 1049
#define IDC_DECODER_LINK 1048

// Where the decoder pack can be downloaded.
#define DECODER_PACK_URL "https://sourceforge.net/projects/ffdshow-tryout/"

class CDecoderInfoDlg : public CDialog {
public:
    explicit CDecoderInfoDlg(CWnd* parent = nullptr);
    ~CDecoderInfoDlg() override;

    // The full path shown by the dialog; set before DoModal.
    void SetFileName(LPCSTR path) { m_strFileName = path ? path : ""; }
    CString GetFileName() const { return m_strFileName; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    DECLARE_MESSAGE_MAP()

    CStatic m_FileName;
    CUrlLabel m_Link;
    CString m_strFileName;
};
