// Adding files: the open-file dialog, the probe of the chosen files on a worker thread, and
// their rows listed on the UI thread in the order chosen as the probe's results arrive.
//
// The worker only probes and posts; every row, box and the loading box are the UI thread's.
// An add that takes longer than a moment shows the loading box, a modal box whose message
// loop keeps the dialog painting and answering while it is up.
#include <cstring>
#include <utility>

#include "PeloranDlg.h"
#include "WaitInfDlg.h"
#include "afxdlgs.h"

namespace {

const char kVideoFilter[] =
    "All Video Files|*.avi;*.divx;*.div;*.xvid;*.mpg;*.mpeg;*.wmv;*.asf;*.asx;*.mov;*.qt;*.rm;*.rmvb;*.dat;"
    "\t\t*.3gp;*.3g2;*.h261;*.h264;*.yuv;*.m4v;*.mjpg;*.mjpeg;*.mkv;*.ogm|"
    "\t\tAVI Files (*.avi)|*.avi|Mpeg files (*.mpg, *.mpeg)|*.mpg;*.mpeg|"
    "\t\tDivX(*.divx;*.div)|*.divx;*.div|Xvid(*.xvid)|*.xvid|Windows Media files (*.wmv, *.asf)|*.wmv;*.asf|"
    "\t\tQuick Time Files (*.mov, *.qt)|*.mov; *.qt|Real Media Files (*.rm, *.rmvb)|*.rm;*.rmvb|"
    "\t\tASX(*.asx)|*.asx|VCD Format(*.dat)|*.dat|3GPP file(*.3gp,*.3g2)|*.3gp;*.3g2|"
    "Raw Video file(*.h261,*.h264,*.yuv,*.m4v)|*.h261;*.h264;*.yuv;*.m4v|"
    "\t\tMJPEG Video file(*.mjpg,*.mjpeg)|*.mjpg;*.mjpeg|MKV file(*.mkv)|*.mkv|OGM file(*.ogm)|*.ogm|"
    "All files (*.*)|*.*|";

// Room for many chosen files at once: Linux paths are long, and the framework's default buffer
// of 260 characters would hold only two or three of them.
const DWORD kFileNameBuffer = 64 * 1024;

// Probed files listed in one turn of the message loop.
const int kProbedRowsPerTurn = 8;

const char* FileNamePart(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '/' || *p == '\\') name = p + 1;
    return name;
}

}  // namespace

void CPeloranDlg::OnAddFiles() {
    if (IsListBusy()) return;
    std::vector<std::string> paths;
    if (!ChooseFiles(&paths)) return;
    m_FileList.SetFocus();
    StartAdd(std::move(paths));
}

BOOL CPeloranDlg::ChooseFiles(std::vector<std::string>* paths) {
    CFileDialog dlg(TRUE, nullptr, nullptr,
                    OFN_ENABLESIZING | OFN_ENABLEINCLUDENOTIFY | OFN_EXPLORER | OFN_ALLOWMULTISELECT |
                        OFN_HIDEREADONLY,
                    kVideoFilter, this);
    std::vector<char> names(kFileNameBuffer, '\0');
    dlg.m_ofn.lpstrFile = names.data();
    dlg.m_ofn.nMaxFile = kFileNameBuffer;
    if (dlg.DoModal() != IDOK) return FALSE;
    POSITION pos = dlg.GetStartPosition();
    while (pos) paths->push_back(std::string((LPCSTR)dlg.GetNextPathName(pos)));
    return TRUE;
}

void CPeloranDlg::StartAdd(std::vector<std::string> paths) {
    m_strAddLast = paths.empty() ? "" : paths.back().c_str();
    m_nAddReady = 0;
    auto probe = [this](const std::string& path, MediaInfo* info) { return ProbeFile(path.c_str(), info); };
    m_pAdd = std::make_unique<CFileProbe>(std::move(paths), probe, m_hWnd, UINT(WM_ADD_PROBED));
    if (!m_pAdd->Start()) {
        // No thread to be had: the files are probed here, the window waiting meanwhile.
        m_pAdd->Run();
        TakeProbedFiles();
        return;
    }
    SetTimer(ADD_WAIT_TIMER_ID, ADD_WAIT_DELAY_MS, nullptr);
}

int CPeloranDlg::ProbeFile(LPCSTR lpszPath, MediaInfo* info) {
    if (!m_Encoder.CanOpen(lpszPath)) return PROBE_NO_DECODER;
    std::memset(info, 0, sizeof *info);
    if (m_Encoder.GetMediaInfo(lpszPath, info) == -1) return PROBE_NO_INFO;
    // A file without a duration has nothing the engine could convert. The whole seconds are
    // 0 for a clip shorter than one as well: only the text tells an unknown duration.
    if (info->szDuration[0] == '\0' || std::strcmp(info->szDuration, "N/A") == 0) return PROBE_NO_DECODER;
    return PROBE_OK;
}

LRESULT CPeloranDlg::OnAddProbed(WPARAM, LPARAM) {
    TakeProbedFiles();
    return 0;
}

void CPeloranDlg::TakeProbedFiles() {
    // Reached again from the loop of a box shown below: the outer call takes what arrived.
    if (!m_pAdd || m_bTakingProbed) return;
    m_bTakingProbed = TRUE;
    ProbedFile file;
    // A few rows a turn: a worker probing faster than rows are listed must not keep this
    // thread from its other messages. The add may end (the dialog going) while a box is up.
    int taken = 0;
    while (m_pAdd && taken < kProbedRowsPerTurn && m_pAdd->TakeNext(&file)) {
        ListProbedFile(file);
        ++taken;
    }
    m_bTakingProbed = FALSE;
    if (!m_pAdd) return;
    if (taken == kProbedRowsPerTurn) {
        ::PostMessageA(m_hWnd, WM_ADD_PROBED, 0, 0);  // the rest in a later turn
        return;
    }
    if (m_pAdd->Finished()) FinishAdd();
}

void CPeloranDlg::ListProbedFile(const ProbedFile& file) {
    switch (file.result) {
        case PROBE_OK:
            InsertFileRow(file.path, file.info);
            break;
        case PROBE_NO_INFO:
            ShowMessage("The media info can not be get, the file may have been destroyed.", "Error", MB_ICONHAND);
            break;
        default:
            ShowDecoderInfo(file.path.c_str());
            break;
    }
}

void CPeloranDlg::InsertFileRow(const std::string& path, const MediaInfo& info) {
    if (!m_FileList.GetSafeHwnd()) return;
    auto* rec = new FileRecord;
    rec->strPath = path.c_str();
    rec->info = info;
    m_bChangingRows = TRUE;
    m_FileList.LockWindowUpdate();
    int row = m_FileList.InsertItem(m_FileList.GetItemCount(), "");
    if (row >= 0) {
        m_FileList.SetItemData(row, reinterpret_cast<DWORD_PTR>(rec));
        m_FileList.SetCheckbox(row, COL_CHECK, 1);
        m_FileList.SetItemText(row, COL_NAME, FileNamePart(path.c_str()));
        m_FileList.SetItemText(row, COL_DURATION, rec->info.szDuration);
        m_FileList.SetItemText(row, COL_SIZE, rec->info.szFrameSize);
        m_FileList.SetItemText(row, COL_STATUS, "Ready");
    } else {
        delete rec;
    }
    m_FileList.UnlockWindowUpdate();
    m_bChangingRows = FALSE;
}

void CPeloranDlg::FinishAdd() {
    KillTimer(ADD_WAIT_TIMER_ID);
    m_pAdd.reset();  // its worker has returned or is returning
    m_nAddReady = 1;
    if (!m_FileList.GetSafeHwnd()) return;
    m_bChangingRows = TRUE;
    m_FileList.LockWindowUpdate();
    SetCurrentRow(m_FileList.GetItemCount() - 1);
    m_FileList.UnlockWindowUpdate();
    m_bChangingRows = FALSE;
    m_strPreviewFile = m_strAddLast;
}

// The dialog goes (or the session ends) during an add: the worker stops after the file in
// hand and is waited for; what it found is dropped.
void CPeloranDlg::StopAdd() {
    if (!m_pAdd) return;
    m_pAdd->Cancel();
    m_pAdd.reset();
    if (m_hWnd) KillTimer(ADD_WAIT_TIMER_ID);
    m_nAddReady = 1;
}

void CPeloranDlg::OnAddWaitTimer() {
    // A box of the add's (or any other modal box) is up: the loading box would hide it, so it
    // waits for the next tick.
    if (m_pAdd && (m_bTakingProbed || !IsWindowEnabled())) return;
    KillTimer(ADD_WAIT_TIMER_ID);
    if (!m_pAdd) return;
    CWaitDlg box(this, &m_nAddReady);
    box.DoModal();
}
