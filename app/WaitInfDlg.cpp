#include "WaitInfDlg.h"

CWaitDlg::CWaitDlg(CWnd* parent, const std::atomic<int>* ready)
    : CDialog(IDD_WAIT, parent), m_pReady(ready ? ready : &m_ownReady) {}

CWaitDlg::~CWaitDlg() = default;

BEGIN_MESSAGE_MAP(CWaitDlg, CDialog)
ON_WM_TIMER()
ON_WM_CLOSE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

BOOL CWaitDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetTimer(WAIT_TIMER_ID, WAIT_TIMER_MS, nullptr);
    return TRUE;
}

void CWaitDlg::OnTimer(UINT_PTR id) {
    if (id == WAIT_TIMER_ID && m_pReady->load() == 1) {
        KillTimer(WAIT_TIMER_ID);
        OnOK();
        return;
    }
    CDialog::OnTimer(id);
}

void CWaitDlg::OnClose() { OnOK(); }

void CWaitDlg::OnDestroy() {
    KillTimer(WAIT_TIMER_ID);
    CDialog::OnDestroy();
}
