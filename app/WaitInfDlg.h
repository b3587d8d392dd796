// A small box "Loading media file, please wait..." that closes itself once the loading it
// waits for reports ready.
#pragma once

#include <atomic>

#include "afxwin.h"

#define IDD_WAIT 132
#define WAIT_TIMER_ID 1001
#define WAIT_TIMER_MS 10

class CWaitDlg : public CDialog {
public:
    // `ready` is set to 1 by the loading side; null uses the dialog's own flag (SetReady).
    explicit CWaitDlg(CWnd* parent = nullptr, const std::atomic<int>* ready = nullptr);
    ~CWaitDlg() override;

    void SetReady() { m_ownReady.store(1); }

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnClose();
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    std::atomic<int> m_ownReady{0};
    const std::atomic<int>* m_pReady;
};
