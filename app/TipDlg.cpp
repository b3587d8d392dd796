#include "TipDlg.h"

#include <sys/stat.h>

#include <cstring>
#include <ctime>

#include "Peloran.h"
#include "SkinEngine.h"

namespace {

const int kMaxTipLength = 1000;

// The file's modification time as the C library writes it, without its line end (the text is
// stored in the profile, one value per line).
CString ModificationTimeText(FILE* f) {
    struct stat st;
    if (fstat(fileno(f), &st) != 0) return CString();
    time_t t = st.st_mtime;
    char buf[64] = {};
    if (!ctime_r(&t, buf)) return CString();
    size_t n = std::strlen(buf);
    while (n && (buf[n - 1] == '\n' || buf[n - 1] == '\r')) buf[--n] = 0;
    return buf;
}

bool IsTipLine(const char* line) {
    char c = line[0];
    return c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != ';' && c != 0;
}

CString LoadText(UINT id) {
    CString s;
    s.LoadString(id);
    return s;
}

}  // namespace

CTipDlg::CTipDlg(CWnd* parent, LPCSTR tips_path) : CDialog(IDD_TIP, parent) {
    CWinApp* app = AfxGetApp();
    m_bShowAtStartup = !app->GetProfileInt(TIP_SECTION, TIP_ENTRY_STARTUP, 0);
    long pos = long(app->GetProfileInt(TIP_SECTION, TIP_ENTRY_FILEPOS, 0));

    std::string path = tips_path ? std::string(tips_path) : PeloranFileBesideProgram("tips.txt");
    m_pTipsFile = std::fopen(path.c_str(), "r");
    if (!m_pTipsFile) {
        m_strTipText = LoadText(IDS_TIP_NO_FILE);
        return;
    }
    // A replaced file starts from its first tip again.
    CString stamp = ModificationTimeText(m_pTipsFile);
    if (stamp != app->GetProfileString(TIP_SECTION, TIP_ENTRY_TIMESTAMP, "")) {
        pos = 0;
        app->WriteProfileString(TIP_SECTION, TIP_ENTRY_TIMESTAMP, stamp);
    }
    if (pos < 0 || std::fseek(m_pTipsFile, pos, SEEK_SET) != 0) {
        AfxMessageBox(IDS_TIP_READ_ERROR);
        return;
    }
    GetNextTipString(m_strTipText);
}

CTipDlg::~CTipDlg() {
    if (m_pTipsFile) {
        AfxGetApp()->WriteProfileInt(TIP_SECTION, TIP_ENTRY_FILEPOS, int(std::ftell(m_pTipsFile)));
        std::fclose(m_pTipsFile);
        m_pTipsFile = nullptr;
    }
}

void CTipDlg::GetNextTipString(CString& tip) {
    if (!m_pTipsFile) return;
    char line[kMaxTipLength + 2];
    // Two ends of file without a tip between them: the file has none, so stop looking.
    int rewinds = 0;
    for (;;) {
        if (!std::fgets(line, sizeof line, m_pTipsFile)) {
            if (++rewinds > 1 || std::fseek(m_pTipsFile, 0, SEEK_SET) != 0) {
                if (rewinds > 1) {
                    m_bNoTips = true;
                    tip = LoadText(IDS_TIP_NO_TIPS);
                } else {
                    AfxMessageBox(IDS_TIP_READ_ERROR);
                }
                return;
            }
            continue;
        }
        size_t n = std::strlen(line);
        bool whole = n && line[n - 1] == '\n';
        if (!whole && !std::feof(m_pTipsFile)) {
            // Longer than a tip may be: the rest of the line is skipped, not read as a tip.
            int c;
            while ((c = std::fgetc(m_pTipsFile)) != EOF && c != '\n') {
            }
        }
        if (!IsTipLine(line)) continue;
        while (n && (line[n - 1] == '\n' || line[n - 1] == '\r')) line[--n] = 0;
        if (n > size_t(kMaxTipLength)) line[kMaxTipLength] = 0;
        tip = line;
        return;
    }
}

void CTipDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Check(dx, IDC_TIP_STARTUP, m_bShowAtStartup);
    DDX_Text(dx, IDC_TIP_TEXT, m_strTipText);
}

BEGIN_MESSAGE_MAP(CTipDlg, CDialog)
ON_BN_CLICKED(IDC_TIP_NEXT, OnNextTip)
ON_WM_CTLCOLOR()
ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CTipDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The tip keeps the white of its frame under a skin too, as the links keep their colours.
    RemoveWindowSkin(GetDlgItem(IDC_TIP_TEXT)->GetSafeHwnd());
    if (!m_pTipsFile || m_bNoTips) GetDlgItem(IDC_TIP_NEXT)->EnableWindow(FALSE);
    return TRUE;
}

void CTipDlg::OnNextTip() {
    GetNextTipString(m_strTipText);
    if (m_bNoTips) GetDlgItem(IDC_TIP_NEXT)->EnableWindow(FALSE);
    UpdateData(FALSE);
}

HBRUSH CTipDlg::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctl_color) {
    if (wnd && wnd->GetDlgCtrlID() == IDC_TIP_TEXT) {
        // The tip is drawn on the white of the frame.
        dc->SetBkColor(RGB(255, 255, 255));
        return static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    }
    return CDialog::OnCtlColor(dc, wnd, ctl_color);
}

void CTipDlg::OnPaint() {
    CPaintDC dc(this);
    CWnd* frame = GetDlgItem(IDC_TIP_FRAME);
    if (!frame) return;
    CRect rc;
    frame->GetWindowRect(rc);
    ScreenToClient(rc);
    dc.FillRect(rc, CBrush::FromHandle(static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH))));

    // The bulb at the frame's top-left corner, the heading beside it.
    int text_left = rc.left + 8;
    CBitmap bulb;
    if (bulb.LoadBitmap(IDB_TIP_BULB)) {
        BITMAP bm = {};
        bulb.GetBitmap(&bm);
        CDC mem;
        mem.CreateCompatibleDC(&dc);
        CBitmap* old = mem.SelectObject(&bulb);
        dc.BitBlt(rc.left, rc.top, bm.bmWidth, bm.bmHeight, &mem, 0, 0, SRCCOPY);
        mem.SelectObject(old);
        text_left = rc.left + bm.bmWidth + 4;
    }
    CFont heading;
    LOGFONTA lf = {};
    lf.lfHeight = -19;
    lf.lfWeight = FW_BOLD;
    std::strcpy(lf.lfFaceName, "Times New Roman");
    heading.CreateFontIndirect(&lf);
    CFont* old_font = dc.SelectObject(&heading);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0, 0, 0));
    CRect text_rc(text_left, rc.top + 8, rc.right - 4, rc.top + 40);
    dc.DrawText(LoadText(IDS_TIP_HEADING), text_rc, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
    dc.SelectObject(old_font);
}

void CTipDlg::OnOK() {
    CDialog::OnOK();  // takes the check box's state first
    AfxGetApp()->WriteProfileInt(TIP_SECTION, TIP_ENTRY_STARTUP, !m_bShowAtStartup);
}
