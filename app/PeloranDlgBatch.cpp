// The conversion batch: Start/Stop, the worker thread's walk over the checked rows, progress,
// and the end of a batch.
//
// The worker owns only the engine run. Everything that touches a window (the list, the buttons,
// the settings controls) happens on the UI thread, in handlers of the WM_BATCH_* messages the
// worker sends; the UI thread never waits for the worker while it runs.
#include <cstdlib>
#include <cstring>

#include "PeloranDlg.h"
#include "SkinEngine.h"
#include "Utilities.h"
#include "shlwapi.h"
#include "winsecurity.h"

namespace {

bool EndsWithSeparator(const CString& s) {
    int n = s.GetLength();
    return n > 0 && (s[n - 1] == '/' || s[n - 1] == '\\');
}

// The folder used when the folder edit is empty.
CString FallbackOutputFolder() {
    const char* home = std::getenv("HOME");
    CString folder = home && *home ? home : "";
    if (EndsWithSeparator(folder)) folder = folder.Left(folder.GetLength() - 1);
    return folder + "/share";
}

}  // namespace

int CPeloranDlg::ProgressPercent(double seconds, int durationSeconds) {
    if (durationSeconds <= 0 || !(seconds > 0.0)) return 0;
    if (seconds >= double(durationSeconds)) return 100;
    long long whole = static_cast<long long>(seconds);
    long long percent = whole * 100 / durationSeconds;
    return percent > 100 ? 100 : int(percent);
}

CString CPeloranDlg::MakeOutputPath(LPCSTR lpszInput, LPCSTR lpszFolder, LPCSTR lpszExt) {
    CString name = ::PathFindFileNameA(lpszInput ? lpszInput : "");
    int dot = name.ReverseFind('.');
    if (dot < 0) return CString();
    name = name.Left(dot) + "_new." + (lpszExt ? lpszExt : "");
    CString folder = lpszFolder ? lpszFolder : "";
    if (folder.IsEmpty()) folder = FallbackOutputFolder();
    if (!EndsWithSeparator(folder)) folder += "/";
    return folder + name;
}

void CPeloranDlg::SetupEncoder(LPCSTR lpszInput, LPCSTR lpszOutput) {
    auto text = [](CComboBox& combo) {
        CString s;
        int sel = combo.GetCurSel();
        if (sel >= 0) combo.GetLBText(sel, s);
        return s;
    };
    m_Encoder.SetInputFile(lpszInput);
    m_Encoder.SetOutputFile(lpszOutput);
    m_Encoder.SetVideoCodec((LPCSTR)text(m_cbVideoCodec));

    CString size = text(m_cbFrameSize);
    int x = size.Find('x');
    int width = std::atoi(x >= 0 ? (LPCSTR)size.Left(x) : (LPCSTR)size);
    int height = x >= 0 ? std::atoi((LPCSTR)size.Mid(x + 1)) : 0;
    m_Encoder.SetFrameSize(width, height);

    char rate[16] = {};
    std::strncpy(rate, text(m_cbFrameRate), sizeof rate - 1);
    double frameRate = std::atof(rate);
    m_Encoder.SetFrameRate(frameRate);

    int videoBitrate = std::atoi(text(m_cbVideoBitrate));
    m_Encoder.SetVideoBitrate(videoBitrate);
    m_Encoder.SetAudioCodec((LPCSTR)text(m_cbAudioCodec));
    int sampleRate = std::atoi(text(m_cbSampleRate));
    m_Encoder.SetSampleRate(sampleRate);
    int channelSel = m_cbChannels.GetCurSel();
    int channels = channelSel + 1;
    if (channels < 1) channels = 1;
    m_Encoder.SetChannels(channels);
    int volume = m_sliderVolume.GetPos();
    m_Encoder.SetVolume(volume);
    int audioBitrate = std::atoi(text(m_cbAudioBitrate));
    m_Encoder.SetAudioBitrate(audioBitrate / channels);
    m_Encoder.SetFixAspect(1);

    LogPrintf(2,
              "Encoder: InFile=%s, OutFile=%s, Width=%d, Heigh=%d, FrameRate=%d, \t\tVideo Quality=%d, Audio "
              "Quality=%d, Audio Sample Rate=%d, Audio Channel=%d, Audio Volume=%d\n",
              lpszInput ? lpszInput : "", lpszOutput ? lpszOutput : "", width, height, int(frameRate), videoBitrate,
              audioBitrate, sampleRate, channelSel, volume);
}

void CPeloranDlg::EnableControls(BOOL bEnable) {
    if (m_cbVideoCodec.GetCount() > 1) m_cbVideoCodec.EnableWindow(bEnable);
    if (m_cbAudioCodec.GetCount() > 1) m_cbAudioCodec.EnableWindow(bEnable);
    static const int ids[] = {IDC_POSITION,   IDC_PREVIEWSTOP,  IDC_PLAYPAUSE, IDC_SAMPLERATE, IDC_FRAMESIZE,
                              IDC_VIDEOBITRATE, IDC_FRAMERATE,  IDC_VOLUME,    IDC_AUDIOBITRATE, IDC_CHANNELS,
                              IDC_BROWSE,     IDC_OUTFOLDER,    IDC_DOWN,      IDC_UP,         IDC_REMOVE,
                              IDC_ADD,        IDC_SHUTDOWN};
    for (int id : ids) ::EnableWindow(::GetDlgItem(m_hWnd, id), bEnable);
}

void CPeloranDlg::ShutdownComputer() {
    ShutdownSystem(EWX_SHUTDOWN);
}

void CPeloranDlg::StopConvert() {
    m_nStopMode = 1;
    m_Encoder.Stop();
    int converting = BATCH_CONVERTING;
    m_nBatchState.compare_exchange_strong(converting, BATCH_STOPPING);
}

void CPeloranDlg::OnStartConvert() {
    int state = m_nBatchState.load();
    if (state == BATCH_CONVERTING) {
        if (ShowMessage("  Stop the video convert operation?   ", "Warning", MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
            return;
        StopConvert();
        if (m_nBatchState.load() == BATCH_STOPPING) m_btnStart.EnableWindow(FALSE);
        return;
    }
    if (state == BATCH_STOPPING || m_pWorker || IsAdding()) return;

    int count = m_FileList.GetItemCount();
    if (count == 0) return;
    bool anyChecked = false;
    for (int i = 0; i < count && !anyChecked; ++i) anyChecked = m_FileList.GetCheckbox(i, COL_CHECK) == 1;
    if (!anyChecked) {
        ShowMessage("There is no selected file in list! ", "Warning", MB_ICONEXCLAMATION);
        return;
    }
    if (m_nPreviewState == PREVIEW_PLAYING || m_nPreviewState == PREVIEW_PAUSED) OnStopPreview();

    m_Encoder.SetProgressCallback(&CPeloranDlg::OnEncodeProgress, this);

    // Everything the batch changes in the window is changed here, before the worker exists,
    // so that no row can be removed or moved between Start and the worker's first step.
    m_nStopMode = 0;
    m_nConvertingItem = -1;
    m_batchOutputs.clear();
    CString folder;
    m_editOutFolder.GetWindowText(folder);
    m_strOutputFolder = MakeOutputFolder(folder);
    m_btnStart.SetBitmaps(IDB_STOPCONVERT, 0);
    m_btnStart.SetAlign(CImageButton::ALIGN_IMAGE_BEHIND);
    m_btnStart.SetTooltipText("Stop Convert");
    EnableControls(FALSE);
    m_nBatchState = BATCH_CONVERTING;

    // The dialog joins the thread when the batch ends.
    m_pWorker = BeginJoinableThread(&CPeloranDlg::ConvertThreadProc, this, THREAD_PRIORITY_IDLE);
    if (!m_pWorker) {
        m_nBatchState = BATCH_IDLE;
        m_btnStart.SetThreeBitmaps(IDB_START_OUT, 0, IDB_START_IN, 0, IDB_START_PRESSED, 0);
        m_btnStart.SetAlign(CImageButton::ALIGN_IMAGE_BEHIND);
        m_btnStart.SetTooltipText("Start Convert");
        EnableControls(TRUE);
        ShowMessage("The convert could not be started.", "Error", MB_ICONHAND);
        return;
    }
}

UINT CPeloranDlg::ConvertThreadProc(LPVOID pParam) {
    if (!pParam) return 0;
    auto* dlg = static_cast<CPeloranDlg*>(pParam);
    HWND hwnd = dlg->m_hWnd;
    ::InitSkinLibrary(AfxGetInstanceHandle());
    dlg->ConvertAll();
    ::ExitSkinLibrary();
    // The last act of the worker: the dialog ends the batch when it handles this.
    ::PostMessageA(hwnd, WM_BATCH_FINISHED, 0, 0);
    return 0;
}

void CPeloranDlg::ConvertAll() {
    HWND hwnd = m_hWnd;
    // The result is not used: a folder that cannot be made shows as failed files.
    CreateDirectoryTree(m_strOutputFolder);
    m_Encoder.ResetDefaults();
    WPARAM next = 0;
    for (;;) {
        LRESULT row = ::SendMessageA(hwnd, WM_BATCH_NEXTROW, next, 0);
        if (row < 0) break;
        // A stop asked for while the file was being prepared stops it here; one asked for
        // once the run has begun (or while it waits for the shared script) ends it with -2.
        int result = m_nStopMode.load() ? -2 : m_Encoder.StartEncode(PROFILE_IPOD);
        ::SendMessageA(hwnd, WM_BATCH_ROWDONE, WPARAM(row), LPARAM(result));
        // The stop mode ends the walk too: a file that finished just as the stop came still
        // returns 0.
        if (result == -2 || m_nStopMode.load()) break;
        next = WPARAM(row) + 1;
    }
}

// Two inputs of one batch with the same name (a.avi and a.mkv, or a.avi from two folders) would
// write the same output, the second silently replacing the first: later ones get a number.
CString CPeloranDlg::UniqueBatchOutput(const CString& strOutput) {
    if (strOutput.IsEmpty()) return strOutput;
    CString candidate = strOutput;
    int dot = strOutput.ReverseFind('.');
    for (int n = 2; m_batchOutputs.count(std::string((LPCSTR)candidate)); ++n) {
        CString number;
        number.Format("(%d)", n);
        candidate = strOutput.Left(dot) + number + strOutput.Mid(dot);
    }
    m_batchOutputs.insert(std::string((LPCSTR)candidate));
    return candidate;
}

// UI thread: finds the next checked row at or after wParam and prepares it, or answers -1
// when the walk is over.
LRESULT CPeloranDlg::OnBatchNextRow(WPARAM wParam, LPARAM) {
    if (m_nStopMode.load()) return -1;
    int count = m_FileList.GetItemCount();
    for (int row = int(wParam); row < count; ++row) {
        if (m_FileList.GetCheckbox(row, COL_CHECK) != 1) continue;
        FileRecord* rec = GetRecord(row);
        if (!rec) continue;
        m_FileList.SetProgress(row, COL_STATUS, TRUE);
        m_FileList.UpdateProgress(row, COL_STATUS, 0);
        rec->nPercent = 0;
        m_nConvertingItem = row;
        CString output = UniqueBatchOutput(MakeOutputPath(rec->strPath, m_strOutputFolder, PELORAN_OUTPUT_EXT));
        SetupEncoder(rec->strPath, output);
        return row;
    }
    return -1;
}

LRESULT CPeloranDlg::OnBatchRowDone(WPARAM wParam, LPARAM lParam) {
    int row = int(wParam);
    int result = int(lParam);
    m_FileList.SetCheckbox(row, COL_CHECK, 0);
    FileRecord* rec = GetRecord(row);
    if (result == -2) {
        if (rec) rec->nStatus = FILE_STATUS_STOPPED;
        return 0;
    }
    // The engine's last report comes at the last frame's time, short of the whole duration:
    // a file converted to its end is complete all the same.
    if (result == 0 && rec) rec->nPercent = 100;
    m_FileList.DeleteProgress(row, COL_STATUS);
    m_FileList.SetItemText(row, COL_STATUS, result == 0 ? "Completed" : "Fail");
    if (rec) rec->nStatus = FILE_STATUS_FINISHED;
    return 0;
}

void CPeloranDlg::OnEncodeProgress(const ProgressInfo* pInfo, void* pUser) {
    if (!pInfo || !pUser) return;
    auto* dlg = static_cast<CPeloranDlg*>(pUser);
    // The engine keeps a stop until its run ends; sending it again costs nothing and covers a
    // stop whose first sending raced the run's start.
    if (dlg->m_nStopMode.load()) dlg->m_Encoder.Stop();
    ::SendMessageA(dlg->m_hWnd, WM_BATCH_PROGRESS, 0, reinterpret_cast<LPARAM>(pInfo));
}

LRESULT CPeloranDlg::OnBatchProgress(WPARAM, LPARAM lParam) {
    const auto* info = reinterpret_cast<const ProgressInfo*>(lParam);
    int row = m_nConvertingItem.load();
    FileRecord* rec = GetRecord(row);
    if (!info || !rec) return 0;
    int percent = ProgressPercent(info->time_seconds, rec->info.nDuration);
    rec->nPercent = percent;
    m_FileList.UpdateProgress(row, COL_STATUS, percent);
    m_FileList.UpdateSubItem(row, COL_STATUS);
    return 0;
}

LRESULT CPeloranDlg::OnBatchFinished(WPARAM, LPARAM) {
    // The worker posted this as its last act; it is returning, not working.
    JoinThread(m_pWorker);
    // The engine keeps its callback across runs: it must not outlive the batch that set it.
    m_Encoder.SetProgressCallback(nullptr, nullptr);
    FinishBatch();
    return 0;
}

void CPeloranDlg::FinishBatch() {
    m_nConvertingItem = -1;
    m_btnStart.SetThreeBitmaps(IDB_START_OUT, 0, IDB_START_IN, 0, IDB_START_PRESSED, 0);
    m_btnStart.SetAlign(CImageButton::ALIGN_IMAGE_BEHIND);
    m_btnStart.SetTooltipText("Start Convert");
    EnableControls(TRUE);
    m_nBatchState = BATCH_FINISHED;
    m_btnStart.EnableWindow(TRUE);
    if (m_bEndingSession) return;  // no one is there to read it
    // A user who stopped the batch is at the computer: the pending power-off is not wanted.
    if (IsDlgButtonChecked(IDC_SHUTDOWN) == BST_CHECKED && m_nStopMode.load() == 0) ShutdownComputer();
    ShowMessage("    Mission accomplished!        ", "", MB_ICONINFORMATION);
}

// The desktop asks the program to end (the window system turns SIGTERM and SIGINT into this).
// Nothing is asked: a batch is stopped as Stop stops it, so the file being written is finished
// playable, and the worker is waited for, its messages answered meanwhile; the process ends
// when this returns.
LRESULT CPeloranDlg::OnEndSession(WPARAM wParam, LPARAM) {
    if (!wParam) return 0;
    m_bEndingSession = TRUE;
    StopAdd();
    if (m_pWorker) StopConvert();
    MSG msg;
    while (m_pWorker) {  // cleared when the batch's end is handled
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::WaitMessage();
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    if (m_nPreviewState != PREVIEW_STOPPED) OnStopPreview();
    return 0;
}
