// The main dialog: the file list, the video and audio settings, the output folder, the preview
// and the conversion batch that runs on a worker thread.
#pragma once

#include <atomic>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "afxcmn.h"
#include "afxwin.h"
#include "CellListCtrl.h"
#include "FileProbe.h"
#include "ImageButton.h"
#include "PreviewPlayer.h"
#include "UrlLabel.h"
#include "ffmpegEncoder.h"
#include "resource.h"

// Private messages of the dialog. The batch's worker reaches the list, the buttons and the
// settings only through these, so that every window call runs on the UI thread.
#define WM_BATCH_NEXTROW (WM_APP + 0x60)   // wParam: first row to look at -> row to convert or -1
#define WM_BATCH_ROWDONE (WM_APP + 0x61)   // wParam: row, lParam: the engine's result
#define WM_BATCH_PROGRESS (WM_APP + 0x62)  // lParam: const ProgressInfo*
#define WM_BATCH_FINISHED (WM_APP + 0x63)  // posted by the worker as its last act
// Posted by the add's worker: probed files wait to be listed, or the probe is over.
#define WM_ADD_PROBED (WM_APP + 0x64)

// One list row's file: kept as the row's item data from its insertion to its removal.
struct FileRecord {
    CString strPath;
    MediaInfo info;
    int nStatus = 0;   // FILE_STATUS_*
    int nPercent = 0;  // 0..100
};
enum { FILE_STATUS_NONE = 0, FILE_STATUS_STOPPED = 3, FILE_STATUS_FINISHED = 5 };

// Batch states.
enum { BATCH_IDLE = 0, BATCH_CONVERTING = 1, BATCH_STOPPING = 3, BATCH_FINISHED = 5 };

// Preview states.
enum { PREVIEW_STOPPED = 0, PREVIEW_PLAYING = 1, PREVIEW_PAUSED = 2 };

// Columns of the file list.
enum { COL_CHECK = 0, COL_NAME = 1, COL_DURATION = 2, COL_SIZE = 3, COL_STATUS = 4 };

#define PELORAN_TITLE "Velmora Corvane"
#define PELORAN_OUTPUT_EXT "mp4"
#define PELORAN_HOME_URL "https://velmora.example.org/"
#define PREVIEW_TIMER_ID 100
// An add still probing after this long shows the loading box; a quick one shows none.
#define ADD_WAIT_TIMER_ID 101
#define ADD_WAIT_DELAY_MS 250

class CPeloranDlg : public CDialog {
public:
    enum { IDD = IDD_PELORAN_DIALOG };

    explicit CPeloranDlg(CWnd* pParent = nullptr);
    ~CPeloranDlg() override;

    // Copies the settings of the combo boxes and the volume slider into the encoder wrapper.
    void SetupEncoder(LPCSTR lpszInput, LPCSTR lpszOutput);
    // <folder>/<input's name up to its last '.'>_new.<ext>; empty when the name has no '.'.
    static CString MakeOutputPath(LPCSTR lpszInput, LPCSTR lpszFolder, LPCSTR lpszExt);
    // The walk over the checked rows (worker thread).
    void ConvertAll();
    void EnableControls(BOOL bEnable);
    void StopConvert();
    void ShutdownComputer();
    static UINT ConvertThreadProc(LPVOID pParam);
    static void OnEncodeProgress(const ProgressInfo* pInfo, void* pUser);
    // Percent of a file's duration reached at `seconds`, in 0..100 (0 for an unknown duration).
    static int ProgressPercent(double seconds, int durationSeconds);

    // The default output folder: VelmoraiPod in the user's home folder.
    static CString DefaultOutputFolder();

    int GetBatchState() const { return m_nBatchState.load(); }
    // Files chosen in the open-file dialog are still being probed and listed.
    BOOL IsAdding() const { return m_pAdd != nullptr; }
    int GetPreviewState() const { return m_nPreviewState; }
    int GetCurrentItem() const { return m_nCurItem; }
    const CString& GetPreviewFile() const { return m_strPreviewFile; }
    const CString& GetOutputFolder() const { return m_strOutputFolder; }
    const CString& GetSettingsPath() const { return m_strSettingsPath; }
    BOOL GetShutdownFlag() const { return m_bShutdown; }
    CFFmpegEncoder& GetEncoder() { return m_Encoder; }
    CCellListCtrl& GetFileList() { return m_FileList; }
    FileRecord* GetRecord(int nItem);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // What the dialog shows in boxes and small dialogs; tests answer these themselves.
    virtual int ShowMessage(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType);
    virtual void ShowDecoderInfo(LPCSTR lpszPath);
    virtual void ShowAbout();
    virtual void ShowHelp();
    // The add's probe of one file, on the add's worker thread: PROBE_*, `info` filled when
    // PROBE_OK.
    virtual int ProbeFile(LPCSTR lpszPath, MediaInfo* info);

    void InitButtons();
    void InitFileList();
    void InitSettings();
    void FillCombo(CComboBox& combo, const char* const* entries, int count, int selected);
    BOOL IsBatchRunning() const;
    // A batch or an add is at work: rows are not added, removed or moved meanwhile.
    BOOL IsListBusy() const;
    BOOL ChooseFiles(std::vector<std::string>* paths);
    void StartAdd(std::vector<std::string> paths);
    void TakeProbedFiles();
    void ListProbedFile(const ProbedFile& file);
    void InsertFileRow(const std::string& path, const MediaInfo& info);
    void FinishAdd();
    void StopAdd();
    void OnAddWaitTimer();
    void SetCurrentRow(int nItem);
    void DeleteRow(int nItem);
    void MoveRow(int nFrom, int nTo);
    void SetPlayButton(BOOL bPlaying);
    void FinishBatch();
    CString UniqueBatchOutput(const CString& strOutput);

    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnStartConvert();
    afx_msg void OnAddFiles();
    afx_msg void OnRemoveFile();
    afx_msg void OnMoveUp();
    afx_msg void OnMoveDown();
    afx_msg void OnClickFileList(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnRClickFileList(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnItemChangedFileList(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnRemoveAll();
    afx_msg void OnBrowseOutputFolder();
    afx_msg void OnPlayPause();
    afx_msg void OnStopPreview();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnShutdownCheck();
    afx_msg void OnAboutButton();
    afx_msg void OnHelpButton();
    afx_msg void OnClose();
    afx_msg void OnDestroy();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSelChangeAudioCodec();
    afx_msg void OnSelChangeVideoCodec();
    afx_msg LRESULT OnGraphNotify(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnBatchNextRow(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnBatchRowDone(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnBatchProgress(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnBatchFinished(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnAddProbed(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnEndSession(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // Controls.
    CCellListCtrl m_FileList;
    CImageButton m_btnStart;
    CImageButton m_btnAdd;
    CImageButton m_btnRemove;
    CImageButton m_btnUp;
    CImageButton m_btnDown;
    CEdit m_editOutFolder;
    CImageButton m_btnBrowse;
    CComboBox m_cbVideoCodec;
    CComboBox m_cbFrameSize;
    CComboBox m_cbFrameRate;
    CComboBox m_cbVideoBitrate;
    CComboBox m_cbAudioCodec;
    CComboBox m_cbAudioBitrate;
    CComboBox m_cbSampleRate;
    CComboBox m_cbChannels;
    CSliderCtrl m_sliderVolume;
    CStatic m_staticVolume;
    CStatic m_staticPreview;
    CImageButton m_btnPlayPause;
    CImageButton m_btnPreviewStop;
    CSliderCtrl m_sliderPosition;
    CButton m_checkShutdown;
    CImageButton m_btnAbout;
    CImageButton m_btnHelp;
    CUrlLabel m_linkHome;
    CImageList m_ilHeader;

    HICON m_hIcon;
    HICON m_hSmallIcon;
    int m_nCurItem;
    int m_nPreviewState;
    CFFmpegEncoder m_Encoder;
    CPreviewPlayer m_Player;
    CString m_strPreviewFile;
    double m_dPreviewDuration;
    UINT_PTR m_nTimerID;
    BOOL m_bShutdown;
    HBITMAP m_hPreviewBitmap;

    CString m_strOutputFolder;
    CString m_strSettingsPath;
    CWinThread* m_pWorker;
    // Outputs written by the running batch (UI thread only).
    std::set<std::string> m_batchOutputs;
    // Shared by the UI thread and the worker.
    std::atomic<int> m_nBatchState;
    std::atomic<int> m_nStopMode;
    std::atomic<int> m_nConvertingItem;
    // Set while the dialog itself deletes and inserts rows, so that list notifications of
    // those steps don't move the current item.
    BOOL m_bChangingRows;
    // The desktop session is ending: the batch ends without its notice or a power-off.
    BOOL m_bEndingSession;

    // The running add (null when none); its files are listed on this thread as they arrive.
    std::unique_ptr<CFileProbe> m_pAdd;
    // 1 tells the loading box the add is over.
    std::atomic<int> m_nAddReady;
    // The last file chosen: the preview's file once the add is over.
    CString m_strAddLast;
    // Set while probed files are being listed: a box shown for one of them runs a message
    // loop, and the files arriving meanwhile wait for it.
    BOOL m_bTakingProbed;
};
