// Tip of the Day: one tip at a time from "tips.txt" beside the program, cycling through the
// file; where it left off and whether to show at start-up are kept in the user's profile.
#pragma once

#include <cstdio>

#include "afxwin.h"

#define IDD_TIP 112
#define IDC_TIP_FRAME 1000
#define IDC_TIP_STARTUP 1001
#define IDC_TIP_NEXT 1002
#define IDC_TIP_TEXT 1004
#define IDB_TIP_BULB 111
#define IDS_TIP_HEADING 115
#define IDS_TIP_NO_FILE 116
#define IDS_TIP_READ_ERROR 117
#define IDS_TIP_NO_TIPS 118

// The profile section and its entries.
#define TIP_SECTION "Tip"
#define TIP_ENTRY_STARTUP "StartUp"
#define TIP_ENTRY_FILEPOS "FilePos"
#define TIP_ENTRY_TIMESTAMP "TimeStamp"

class CTipDlg : public CDialog {
public:
    // `tips_path` null means "tips.txt" beside the program.
    explicit CTipDlg(CWnd* parent = nullptr, LPCSTR tips_path = nullptr);
    ~CTipDlg() override;

    BOOL m_bShowAtStartup;  // show the tips at start-up (check box 1001)
    CString m_strTipText;   // the tip shown (static 1004)

    // Reads the next tip line into `tip`, going back to the start at the end of the file.
    void GetNextTipString(CString& tip);
    bool HasTipsFile() const { return m_pTipsFile != nullptr; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    afx_msg void OnNextTip();
    afx_msg HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctl_color);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    FILE* m_pTipsFile = nullptr;
    bool m_bNoTips = false;  // the file holds no tip line at all
};
