// The main dialog: layout, file list, settings, output folder and preview. The conversion batch
// is in PeloranDlgBatch.cpp.
#include "PeloranDlg.h"

#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "AboutDlg.h"
#include "DecoderInfo.h"
#include "FolderPicker.h"
#include "SkinEngine.h"
#include "SkinManager.h"
#include "Utilities.h"
#include "afxdlgs.h"
#include "htmlhelp.h"

namespace {

const char* const kVideoCodecs[] = {"mpeg4", "h264"};
const char* const kFrameSizes[] = {"160x120", "176x120", "240x176", "320x176", "320x180", "320x240",
                                   "368x208", "384x160", "400x192", "416x176", "480x160", "480x480",
                                   "640x272", "640x360", "720x306", "720x320"};
const char* const kFrameRates[] = {"14.985", "23.976", "29.97"};
const char* const kVideoBitrates[] = {"128", "192", "256", "384", "512", "640", "768", "900", "1500", "2500"};
const char* const kAudioCodecs[] = {"aac"};
const char* const kAudioBitrates[] = {"32", "48", "56", "64", "80", "96", "112", "128",
                                      "160", "192", "224", "256", "320", "384", "576"};
const char* const kSampleRates[] = {"24000", "44100", "48000"};
const char* const kChannels[] = {"Mono", "Stereo"};

struct ButtonIcon {
    int id;
    int icon;
    const char* tip;
};
struct ButtonBitmaps {
    int id;
    int out, in, pressed;
    const char* tip;
};

}  // namespace

CPeloranDlg::CPeloranDlg(CWnd* pParent)
    : CDialog(IDD, pParent),
      m_hIcon(nullptr),
      m_hSmallIcon(nullptr),
      m_nCurItem(-1),
      m_nPreviewState(PREVIEW_STOPPED),
      m_dPreviewDuration(0.0),
      m_nTimerID(0),
      m_bShutdown(FALSE),
      m_hPreviewBitmap(nullptr),
      m_strOutputFolder(DefaultOutputFolder()),
      m_pWorker(nullptr),
      m_nBatchState(BATCH_IDLE),
      m_nStopMode(0),
      m_nConvertingItem(-1),
      m_bChangingRows(FALSE),
      m_bEndingSession(FALSE),
      m_nAddReady(0),
      m_bTakingProbed(FALSE) {}

CPeloranDlg::~CPeloranDlg() {
    StopAdd();
    if (m_pWorker) {
        // Only reached when the window went away without its WM_DESTROY; the worker must not
        // outlive the object it works on.
        m_nStopMode = 1;
        m_Encoder.Stop();
        JoinThread(m_pWorker);
        m_Encoder.SetProgressCallback(nullptr, nullptr);
    }
    if (m_hIcon) ::DestroyIcon(m_hIcon);
    if (m_hSmallIcon) ::DestroyIcon(m_hSmallIcon);
    if (m_hPreviewBitmap) ::DeleteObject(m_hPreviewBitmap);
}

CString CPeloranDlg::DefaultOutputFolder() {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* pw = ::getpwuid(::getuid());
        home = pw ? pw->pw_dir : "";
    }
    CString folder = home;
    if (folder.GetLength() > 1 && (folder.Right(1) == "/" || folder.Right(1) == "\\"))
        folder = folder.Left(folder.GetLength() - 1);
    if (folder == "/") folder.Empty();
    return folder + "/VelmoraiPod";
}

FileRecord* CPeloranDlg::GetRecord(int nItem) {
    if (nItem < 0 || !m_FileList.GetSafeHwnd() || nItem >= m_FileList.GetItemCount()) return nullptr;
    return reinterpret_cast<FileRecord*>(m_FileList.GetItemData(nItem));
}

void CPeloranDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FILELIST, m_FileList);
    DDX_Control(pDX, IDC_START, m_btnStart);
    DDX_Control(pDX, IDC_ADD, m_btnAdd);
    DDX_Control(pDX, IDC_REMOVE, m_btnRemove);
    DDX_Control(pDX, IDC_UP, m_btnUp);
    DDX_Control(pDX, IDC_DOWN, m_btnDown);
    DDX_Control(pDX, IDC_OUTFOLDER, m_editOutFolder);
    DDX_Control(pDX, IDC_BROWSE, m_btnBrowse);
    DDX_Control(pDX, IDC_VIDEOCODEC, m_cbVideoCodec);
    DDX_Control(pDX, IDC_FRAMESIZE, m_cbFrameSize);
    DDX_Control(pDX, IDC_FRAMERATE, m_cbFrameRate);
    DDX_Control(pDX, IDC_VIDEOBITRATE, m_cbVideoBitrate);
    DDX_Control(pDX, IDC_AUDIOCODEC, m_cbAudioCodec);
    DDX_Control(pDX, IDC_AUDIOBITRATE, m_cbAudioBitrate);
    DDX_Control(pDX, IDC_SAMPLERATE, m_cbSampleRate);
    DDX_Control(pDX, IDC_CHANNELS, m_cbChannels);
    DDX_Control(pDX, IDC_VOLUME, m_sliderVolume);
    DDX_Control(pDX, IDC_VOLUME_TEXT, m_staticVolume);
    DDX_Control(pDX, IDC_PREVIEW, m_staticPreview);
    DDX_Control(pDX, IDC_PLAYPAUSE, m_btnPlayPause);
    DDX_Control(pDX, IDC_PREVIEWSTOP, m_btnPreviewStop);
    DDX_Control(pDX, IDC_POSITION, m_sliderPosition);
    DDX_Control(pDX, IDC_SHUTDOWN, m_checkShutdown);
    DDX_Control(pDX, IDC_ABOUT, m_btnAbout);
    DDX_Control(pDX, IDC_HELPBTN, m_btnHelp);
    DDX_Control(pDX, IDC_HOMELINK, m_linkHome);
}

BEGIN_MESSAGE_MAP(CPeloranDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_START, OnStartConvert)
ON_BN_CLICKED(IDC_ADD, OnAddFiles)
ON_COMMAND(ID_LIST_ADD, OnAddFiles)
ON_BN_CLICKED(IDC_REMOVE, OnRemoveFile)
ON_COMMAND(ID_LIST_REMOVE, OnRemoveFile)
ON_BN_CLICKED(IDC_UP, OnMoveUp)
ON_BN_CLICKED(IDC_DOWN, OnMoveDown)
ON_NOTIFY(NM_CLICK, IDC_FILELIST, OnClickFileList)
ON_NOTIFY(NM_RCLICK, IDC_FILELIST, OnRClickFileList)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_FILELIST, OnItemChangedFileList)
ON_COMMAND(ID_LIST_REMOVEALL, OnRemoveAll)
ON_BN_CLICKED(IDC_BROWSE, OnBrowseOutputFolder)
ON_BN_CLICKED(IDC_PLAYPAUSE, OnPlayPause)
ON_BN_CLICKED(IDC_PREVIEWSTOP, OnStopPreview)
ON_WM_TIMER()
ON_BN_CLICKED(IDC_SHUTDOWN, OnShutdownCheck)
ON_BN_CLICKED(IDC_ABOUT, OnAboutButton)
ON_BN_CLICKED(IDC_HELPBTN, OnHelpButton)
ON_WM_CLOSE()
ON_WM_DESTROY()
ON_WM_ERASEBKGND()
ON_CBN_SELCHANGE(IDC_AUDIOCODEC, OnSelChangeAudioCodec)
ON_CBN_SELCHANGE(IDC_VIDEOCODEC, OnSelChangeVideoCodec)
ON_MESSAGE(WM_GRAPHNOTIFY, OnGraphNotify)
ON_MESSAGE(WM_BATCH_NEXTROW, OnBatchNextRow)
ON_MESSAGE(WM_BATCH_ROWDONE, OnBatchRowDone)
ON_MESSAGE(WM_BATCH_PROGRESS, OnBatchProgress)
ON_MESSAGE(WM_BATCH_FINISHED, OnBatchFinished)
ON_MESSAGE(WM_ADD_PROBED, OnAddProbed)
ON_MESSAGE(WM_ENDSESSION, OnEndSession)
END_MESSAGE_MAP()

// ---- Initialisation ----------------------------------------------------------------------

BOOL CPeloranDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    CString about;
    about.LoadString(IDS_ABOUTBOX);
    if (!about.IsEmpty()) {
        if (CMenu* sys = GetSystemMenu(FALSE)) {
            sys->AppendMenu(MF_SEPARATOR);
            sys->AppendMenu(MF_STRING, IDM_ABOUTBOX, about);
        }
    }

    HINSTANCE inst = AfxGetResourceHandle();
    m_hIcon = HICON(::LoadImageA(inst, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 32, 32, 0));
    m_hSmallIcon = HICON(::LoadImageA(inst, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 16, 16, 0));
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hSmallIcon ? m_hSmallIcon : m_hIcon, FALSE);

    InitButtons();
    InitFileList();
    InitSettings();
    return TRUE;
}

void CPeloranDlg::InitButtons() {
    static const ButtonIcon icons[] = {
        {IDC_PLAYPAUSE, IDI_PLAY, "Play"},        {IDC_PREVIEWSTOP, IDI_STOP, "Stop"},
        {IDC_ADD, IDI_ADD, "Add Media file"},     {IDC_REMOVE, IDI_REMOVE, "Remove Media file"},
        {IDC_UP, IDI_UP, "Up"},                   {IDC_DOWN, IDI_DOWN, "Down"},
    };
    static const ButtonBitmaps bitmaps[] = {
        {IDC_BROWSE, IDB_BROWSE_OUT, IDB_BROWSE_IN, IDB_BROWSE_PRESSED, "Set output folder"},
        {IDC_START, IDB_START_OUT, IDB_START_IN, IDB_START_PRESSED, "Start Convert"},
        {IDC_HELPBTN, IDB_HELP_OUT, IDB_HELP_IN, IDB_HELP_PRESSED, "Help"},
        {IDC_ABOUT, IDB_ABOUT_OUT, IDB_ABOUT_IN, IDB_ABOUT_PRESSED, "About"},
    };
    for (const ButtonIcon& b : icons) {
        auto* btn = static_cast<CImageButton*>(CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, b.id)));
        if (!btn) continue;
        btn->SetIcon(b.icon);
        btn->DrawTransparent();
        btn->SetAlign(CImageButton::ALIGN_IMAGE_ABOVE);
        btn->SetTooltipText(b.tip);
        // Flat buttons draw no focus mark unless asked: without one, Tab would seem to go nowhere.
        btn->DrawFlatFocus(TRUE, FALSE);
    }
    for (const ButtonBitmaps& b : bitmaps) {
        auto* btn = static_cast<CImageButton*>(CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, b.id)));
        if (!btn) continue;
        btn->SetThreeBitmaps(b.out, 0, b.in, 0, b.pressed, 0);
        btn->SetAlign(CImageButton::ALIGN_IMAGE_BEHIND);
        btn->SetTooltipText(b.tip);
        btn->DrawFlatFocus(TRUE, FALSE);
    }

    m_hPreviewBitmap = ::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDB_PREVIEW));
    if (m_hPreviewBitmap) m_staticPreview.SetBitmap(m_hPreviewBitmap);

    m_linkHome.SetLinkUrl(PELORAN_HOME_URL);
    m_linkHome.SetUnderlineMode(1);
    ::RemoveWindowSkin(m_linkHome.GetSafeHwnd());
}

void CPeloranDlg::InitFileList() {
    m_FileList.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    m_FileList.EnableToolTips(TRUE);

    CRect rc;
    m_FileList.GetClientRect(&rc);
    const int width = rc.Width() - 2;
    struct Column {
        const char* title;
        int fmt;
        int sixtyFourths;
    };
    static const Column columns[] = {
        // The size column holds a frame size such as "1920x1080" whole.
        {"", LVCFMT_CENTER, 4},         {"Video File", LVCFMT_LEFT, 26}, {"Duration", LVCFMT_CENTER, 8},
        {"Size", LVCFMT_CENTER, 8},     {"Status", LVCFMT_CENTER, 0},
    };
    int used = 0;
    for (int i = 0; i < 5; ++i) {
        int cx = columns[i].sixtyFourths ? width * columns[i].sixtyFourths / 64 : width - used - 2;
        if (cx < 0) cx = 0;
        used += cx;
        m_FileList.InsertColumn(i, columns[i].title, columns[i].fmt, cx, i);
    }

    CHeaderCtrl* header = m_FileList.GetHeaderCtrl();
    if (header && m_ilHeader.Create(IDB_HEADER_CHECKS, 16, 3, RGB(255, 0, 255))) {
        header->SetImageList(&m_ilHeader);
        for (int i = 0; i < header->GetItemCount(); ++i) {
            HDITEMA hdi{};
            hdi.mask = HDI_FORMAT;
            header->GetItem(i, &hdi);
            hdi.mask = HDI_FORMAT | HDI_IMAGE;
            hdi.fmt |= HDF_IMAGE;
            hdi.iImage = i == COL_CHECK ? 1 : 0;
            header->SetItem(i, &hdi);
        }
    }
    for (int i = 0; i < 5; ++i) {
        LVCOLUMNA col{};
        col.mask = LVCF_FMT;
        col.fmt = columns[i].fmt;
        m_FileList.SetColumn(i, &col);
    }
}

void CPeloranDlg::FillCombo(CComboBox& combo, const char* const* entries, int count, int selected) {
    combo.ResetContent();
    for (int i = 0; i < count; ++i) combo.AddString(entries[i]);
    combo.SetCurSel(selected);
    if (count == 1) combo.EnableWindow(FALSE);
}

void CPeloranDlg::InitSettings() {
    m_strSettingsPath = GetModuleDir() + "settings.ini";
    SetWindowText(PELORAN_TITLE);
    m_staticPreview.ModifyStyle(0, WS_CLIPCHILDREN);
    m_nPreviewState = PREVIEW_STOPPED;
    m_sliderPosition.SetRange(0, 100, TRUE);
    m_sliderPosition.SetPos(0);
    m_bShutdown = FALSE;
    CheckDlgButton(IDC_SHUTDOWN, BST_UNCHECKED);
    m_editOutFolder.SetWindowText(m_strOutputFolder);

    FillCombo(m_cbVideoCodec, kVideoCodecs, 2, 0);
    FillCombo(m_cbFrameSize, kFrameSizes, 16, 5);
    FillCombo(m_cbFrameRate, kFrameRates, 3, 1);
    FillCombo(m_cbVideoBitrate, kVideoBitrates, 10, 4);
    FillCombo(m_cbAudioCodec, kAudioCodecs, 1, 0);
    FillCombo(m_cbAudioBitrate, kAudioBitrates, 15, 3);
    FillCombo(m_cbSampleRate, kSampleRates, 3, 1);
    FillCombo(m_cbChannels, kChannels, 2, 1);

    m_sliderVolume.SetRange(0, 768, TRUE);
    m_sliderVolume.SetPos(256);
    m_staticVolume.SetWindowText("100%");
}

// ---- Boxes and small dialogs -------------------------------------------------------------

int CPeloranDlg::ShowMessage(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType) {
    return MessageBox(lpszText, lpszCaption, nType);
}

void CPeloranDlg::ShowDecoderInfo(LPCSTR lpszPath) {
    CDecoderInfoDlg dlg(this);
    dlg.SetFileName(lpszPath);
    dlg.DoModal();
}

void CPeloranDlg::ShowAbout() {
    CAboutDlg dlg(this, m_strSettingsPath, PELORAN_TITLE);
    dlg.DoModal();
}

void CPeloranDlg::ShowHelp() {
    char dir[4096];
    GetProgramDir(dir, sizeof dir);
    CString topic = CString(dir) + "help.chm::/overview.htm";
    ::HtmlHelpA(nullptr, topic, HH_DISPLAY_TOPIC, 0);
}

// ---- Window handlers ---------------------------------------------------------------------

void CPeloranDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) ShowAbout();
    else CDialog::OnSysCommand(nID, lParam);
}

void CPeloranDlg::OnPaint() {
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        CRect rc;
        GetClientRect(&rc);
        int cx = ::GetSystemMetrics(SM_CXICON), cy = ::GetSystemMetrics(SM_CYICON);
        dc.DrawIcon((rc.Width() - cx + 1) / 2, (rc.Height() - cy + 1) / 2, m_hIcon);
    } else {
        CDialog::OnPaint();
    }
}

HCURSOR CPeloranDlg::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(m_hIcon);
}

BOOL CPeloranDlg::OnEraseBkgnd(CDC* pDC) {
    // Leave the preview area alone while a video is shown in it, so that erasing never paints
    // over the video. Without one only its border is left alone: the inside is the dialog's
    // to paint, as the skin leaves the preview's own background transparent and the last
    // frame would stay around the placeholder.
    if (HWND preview = m_staticPreview.GetSafeHwnd()) {
        CRect outer, inner;
        m_staticPreview.GetWindowRect(&outer);
        ScreenToClient(&outer);
        if (::GetWindow(preview, GW_CHILD)) {
            pDC->ExcludeClipRect(&outer);
        } else {
            m_staticPreview.GetClientRect(&inner);
            m_staticPreview.ClientToScreen(&inner);
            ScreenToClient(&inner);
            pDC->ExcludeClipRect(outer.left, outer.top, outer.right, inner.top);
            pDC->ExcludeClipRect(outer.left, inner.bottom, outer.right, outer.bottom);
            pDC->ExcludeClipRect(outer.left, inner.top, inner.left, inner.bottom);
            pDC->ExcludeClipRect(inner.right, inner.top, outer.right, inner.bottom);
        }
    }
    return CDialog::OnEraseBkgnd(pDC);
}

BOOL CPeloranDlg::IsBatchRunning() const {
    int state = m_nBatchState.load();
    return state == BATCH_CONVERTING || state == BATCH_STOPPING || m_pWorker != nullptr;
}

BOOL CPeloranDlg::IsListBusy() const {
    return IsBatchRunning() || IsAdding();
}

static const char kRunningWarning[] = "The convert is running, please first stop convert then exit.";

void CPeloranDlg::OnClose() {
    // The controls and the encoder must outlive the worker: no closing while a batch runs,
    // including while a stop is being finished.
    if (IsBatchRunning()) {
        ShowMessage(kRunningWarning, "Warning", MB_ICONEXCLAMATION);
        return;
    }
    // Files still being probed are not worth waiting for.
    if (m_pAdd) m_pAdd->Cancel();
    CDialog::OnClose();
}

void CPeloranDlg::OnOK() {
    // The dialog has no OK button: Enter (in the folder edit, say) must not end the program.
}

void CPeloranDlg::OnCancel() {
    if (IsBatchRunning()) {
        ShowMessage(kRunningWarning, "Warning", MB_ICONEXCLAMATION);
        return;
    }
    if (m_pAdd) m_pAdd->Cancel();
    CDialog::OnCancel();
}

void CPeloranDlg::OnDestroy() {
    StopAdd();
    if (m_pWorker) {
        // Destroyed without a close (the owner went away): stop the batch and let the worker
        // finish while its messages are still answered.
        // No one is left to read the batch's end notice, as when the session ends.
        m_bEndingSession = TRUE;
        StopConvert();
        // Polled rather than waited with a timeout: the window system's clock may be a test's
        // hand-driven one. The batch's end message, answered while pumping, may take the
        // worker away first.
        while (m_pWorker && ::WaitForSingleObject(m_pWorker->m_hThread, 0) == WAIT_TIMEOUT) {
            PumpMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        JoinThread(m_pWorker);
        m_Encoder.SetProgressCallback(nullptr, nullptr);
        m_nBatchState = BATCH_FINISHED;
    }
    if (m_nTimerID) {
        KillTimer(m_nTimerID);
        m_nTimerID = 0;
    }
    m_Player.Close();
    m_nPreviewState = PREVIEW_STOPPED;
    if (m_FileList.GetSafeHwnd()) {
        m_bChangingRows = TRUE;
        for (int i = m_FileList.GetItemCount() - 1; i >= 0; --i) DeleteRow(i);
        m_bChangingRows = FALSE;
    }
    CDialog::OnDestroy();
}

// ---- File list ---------------------------------------------------------------------------

void CPeloranDlg::SetCurrentRow(int nItem) {
    m_nCurItem = nItem;
    if (nItem < 0) return;
    m_FileList.SetItemState(nItem, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_FileList.EnsureVisible(nItem, FALSE);
}

void CPeloranDlg::DeleteRow(int nItem) {
    FileRecord* rec = GetRecord(nItem);
    m_FileList.DeleteItem(nItem);
    delete rec;
}

void CPeloranDlg::OnRemoveFile() {
    if (IsListBusy()) return;
    int count = m_FileList.GetItemCount();
    if (m_nCurItem < 0 || m_nCurItem >= count) return;
    m_bChangingRows = TRUE;
    DeleteRow(m_nCurItem);
    count = m_FileList.GetItemCount();
    if (m_nCurItem >= count) m_nCurItem = count - 1;
    if (m_nCurItem >= 0) {
        m_FileList.SetFocus();
        SetCurrentRow(m_nCurItem);
    }
    m_bChangingRows = FALSE;
}

void CPeloranDlg::OnRemoveAll() {
    if (IsListBusy()) return;
    m_bChangingRows = TRUE;
    for (int i = m_FileList.GetItemCount() - 1; i >= 0; --i) DeleteRow(i);
    m_bChangingRows = FALSE;
    m_nCurItem = -1;
}

void CPeloranDlg::MoveRow(int nFrom, int nTo) {
    FileRecord* rec = GetRecord(nFrom);
    int check = m_FileList.GetCheckbox(nFrom, COL_CHECK);
    CString texts[5];
    for (int c = COL_NAME; c <= COL_STATUS; ++c) texts[c] = m_FileList.GetItemText(nFrom, c);

    m_bChangingRows = TRUE;
    m_FileList.DeleteItem(nFrom);
    int row = m_FileList.InsertItem(nTo, "");
    if (row < 0) {
        // The list refused the row: it is gone, so is its record.
        delete rec;
        m_bChangingRows = FALSE;
        m_nCurItem = -1;
        return;
    }
    m_FileList.SetCheckbox(row, COL_CHECK, check);
    for (int c = COL_NAME; c <= COL_SIZE; ++c) m_FileList.SetItemText(row, c, texts[c]);
    m_FileList.SetItemText(row, COL_STATUS, texts[COL_STATUS]);
    if (rec && rec->nStatus == FILE_STATUS_STOPPED) {
        m_FileList.SetProgress(row, COL_STATUS);
        m_FileList.UpdateProgress(row, COL_STATUS, rec->nPercent);
    }
    m_FileList.SetItemData(row, reinterpret_cast<DWORD_PTR>(rec));
    SetCurrentRow(row);
    m_bChangingRows = FALSE;
}

void CPeloranDlg::OnMoveUp() {
    if (IsListBusy()) return;
    if (m_FileList.GetItemCount() == 0) return;
    m_FileList.SetFocus();
    if (m_nCurItem <= 0) return;
    MoveRow(m_nCurItem, m_nCurItem - 1);
}

void CPeloranDlg::OnMoveDown() {
    if (IsListBusy()) return;
    int count = m_FileList.GetItemCount();
    if (count == 0) return;
    m_FileList.SetFocus();
    if (m_nCurItem < 0 || m_nCurItem >= count - 1) return;
    MoveRow(m_nCurItem, m_nCurItem + 1);
}

void CPeloranDlg::OnClickFileList(NMHDR*, LRESULT* pResult) {
    *pResult = 0;
    if (m_FileList.GetItemCount() == 0) return;
    m_nCurItem = m_FileList.GetNextItem(-1, LVNI_SELECTED);
    if (FileRecord* rec = GetRecord(m_nCurItem)) m_strPreviewFile = rec->strPath;
}

// The keyboard and the right button move the selection without a left click: the current item
// follows it, so that Remove, Up and Down act on the row the user sees highlighted, and on none
// once the list shows none (a right click where no row is).
void CPeloranDlg::OnItemChangedFileList(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    if (m_bChangingRows) return;
    auto* nm = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    if (nm->iItem < 0 || !(nm->uChanged & LVIF_STATE)) return;
    const bool now = (nm->uNewState & LVIS_SELECTED) != 0, before = (nm->uOldState & LVIS_SELECTED) != 0;
    if (now && !before) {
        m_nCurItem = nm->iItem;
        if (FileRecord* rec = GetRecord(m_nCurItem)) m_strPreviewFile = rec->strPath;
    } else if (!now && before && nm->iItem == m_nCurItem) {
        m_nCurItem = -1;
    }
}

void CPeloranDlg::OnRClickFileList(NMHDR*, LRESULT* pResult) {
    *pResult = 0;
    if (IsListBusy()) return;
    CMenu menu;
    if (!menu.LoadMenu(IDR_LIST_MENU)) return;
    CMenu* popup = menu.GetSubMenu(0);
    if (!popup) return;
    POINT pt;
    ::GetCursorPos(&pt);
    // Under a skin the menu is the skin's popup; the window system's own shows only without
    // one, or when the engine cannot show its own.
    if (CSkinManager::Instance().GetSkinFile()) {
        SkinEngine::SetThreadError(SKINERR_NONE);
        if (TrackSkinPopupMenu(popup->m_hMenu, 0, pt.x, pt.y, m_hWnd) || GetSkinLastError() == SKINERR_NONE)
            return;
    }
    popup->TrackPopupMenu(0, pt.x, pt.y, this);
}

void CPeloranDlg::OnBrowseOutputFolder() {
    if (IsBatchRunning()) return;
    CFolderPicker picker;
    picker.SetTitle("Please select output directory:");
    // Any length: a folder deeper than MAX_PATH bytes is taken whole, not refused.
    std::string path;
    if (picker.Show(m_hWnd, path) != 2) return;
    // One trailing separator goes, but never the root's only one.
    if (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
    m_strOutputFolder = path.c_str();
    m_editOutFolder.SetWindowText(m_strOutputFolder);
}

void CPeloranDlg::OnShutdownCheck() {
    m_bShutdown = !m_bShutdown;
    CheckDlgButton(IDC_SHUTDOWN, m_bShutdown ? BST_CHECKED : BST_UNCHECKED);
}

void CPeloranDlg::OnAboutButton() {
    ShowAbout();
}

void CPeloranDlg::OnHelpButton() {
    ShowHelp();
}

void CPeloranDlg::OnSelChangeAudioCodec() {}
void CPeloranDlg::OnSelChangeVideoCodec() {}

// ---- Preview -----------------------------------------------------------------------------

void CPeloranDlg::SetPlayButton(BOOL bPlaying) {
    m_btnPlayPause.SetIcon(bPlaying ? IDI_PAUSE : IDI_PLAY);
    m_btnPlayPause.SetTooltipText(bPlaying ? "Pause" : "Play");
}

void CPeloranDlg::OnPlayPause() {
    switch (m_nPreviewState) {
        case PREVIEW_PAUSED:
            m_Player.Play();
            m_nPreviewState = PREVIEW_PLAYING;
            SetPlayButton(TRUE);
            m_nTimerID = SetTimer(PREVIEW_TIMER_ID, 100);
            break;
        case PREVIEW_PLAYING:
            m_Player.Pause();
            m_nPreviewState = PREVIEW_PAUSED;
            SetPlayButton(FALSE);
            KillTimer(PREVIEW_TIMER_ID);
            m_nTimerID = 0;
            break;
        default:
            if (m_strPreviewFile.IsEmpty() || !GetRecord(m_nCurItem)) return;
            m_Player.Open(m_strPreviewFile, m_staticPreview.GetSafeHwnd(), m_hWnd);
            m_Player.Play();
            m_nPreviewState = PREVIEW_PLAYING;
            SetPlayButton(TRUE);
            m_dPreviewDuration = 0.0;
            m_Player.GetDuration(&m_dPreviewDuration);
            m_nTimerID = SetTimer(PREVIEW_TIMER_ID, 100);
            break;
    }
}

void CPeloranDlg::OnStopPreview() {
    m_Player.Close();
    m_sliderPosition.SetPos(0);
    KillTimer(PREVIEW_TIMER_ID);
    m_nTimerID = 0;
    m_nPreviewState = PREVIEW_STOPPED;
    SetPlayButton(FALSE);
    // The dialog paints the area first, then the placeholder is drawn over it.
    CRect rc;
    m_staticPreview.GetClientRect(&rc);
    m_staticPreview.ClientToScreen(&rc);
    ScreenToClient(&rc);
    RedrawWindow(&rc, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CPeloranDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == ADD_WAIT_TIMER_ID) {
        OnAddWaitTimer();
        return;
    }
    // A file that could not be rendered has no duration: nothing to follow then.
    if (nIDEvent == PREVIEW_TIMER_ID && m_dPreviewDuration > 0.0) {
        double position = 0.0;
        m_Player.GetPosition(&position);
        double ratio = position * 100.0 / m_dPreviewDuration;
        int pos = ratio <= 0.0 ? 0 : ratio >= 100.0 ? 100 : int(ratio);
        if (pos != m_sliderPosition.GetPos()) m_sliderPosition.SetPos(pos);
    }
    CDialog::OnTimer(nIDEvent);
}

LRESULT CPeloranDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HSCROLL && lParam) {
        HWND from = reinterpret_cast<HWND>(lParam);
        if (from == m_sliderVolume.GetSafeHwnd()) {
            CString text;
            text.Format("%d%%", m_sliderVolume.GetPos() * 100 / 256);
            m_staticVolume.SetWindowText(text);
        } else if (from == m_sliderPosition.GetSafeHwnd()) {
            if (m_dPreviewDuration > 0.0) m_Player.Seek(m_sliderPosition.GetPos() * m_dPreviewDuration / 100.0);
        }
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

LRESULT CPeloranDlg::OnGraphNotify(WPARAM, LPARAM) {
    m_Player.OnGraphNotify();
    return 0;
}
