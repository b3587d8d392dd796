// A media filter graph and its control interfaces, as the preview player uses them.
#pragma once

#include <windows.h>
#include <dshow.h>
#include <qedit.h>

#include <vector>

// Graph events reach the notify window as this message.
#ifndef WM_GRAPHNOTIFY
#define WM_GRAPHNOTIFY (WM_USER + 20)
#endif

class CDXGraph {
public:
    CDXGraph();
    virtual ~CDXGraph();

    // Builds a new graph (when none exists) and queries its interfaces.
    virtual bool Create();
    // Lets go of every interface and of the graph; safe to call twice.
    virtual void Release();
    // Takes over an existing graph (one reference of our own) in place of the current one.
    virtual bool Attach(IGraphBuilder* pGraphBuilder);

    IGraphBuilder* GetGraph() const;
    IMediaEventEx* GetEventHandler() const;

    bool ConnectPins(IPin* pOutputPin, IPin* pInputPin, AM_MEDIA_TYPE* pMediaType = nullptr);
    void DisconnectPins(IPin* pPin);
    bool SetDisplayWindow(HWND hWnd);
    bool SetNotifyWindow(HWND hWnd);
    bool SetWindowPosition(long nLeft, long nTop, long nWidth, long nHeight);
    void HandleEvents();

    bool IsRunning();
    bool IsStopped();
    bool IsPaused();
    bool Run();
    bool Stop();
    bool Pause();

    bool SetFullScreen(BOOL bFullScreen);
    bool GetFullScreen();

    // Positions in seconds; an output is left alone when the query fails.
    bool GetCurrentPosition(double* pdSeconds);
    bool GetStopPosition(double* pdSeconds);
    bool SetCurrentPosition(double dSeconds);
    bool SetStartStopPositions(double dStart, double dStop);
    bool GetDuration(double* pdSeconds);
    bool SetPlaybackRate(double dRate);

    // Volume: -10000 (silent) to 0 (full), hundredths of a decibel; balance -10000 to 10000.
    bool SetAudioVolume(long nVolume);
    long GetAudioVolume();
    bool SetAudioBalance(long nBalance);
    long GetAudioBalance();

    bool RenderFile(const char* lpszFile);

    // Writes the picture the graph shows now to a .bmp file (32 bits per pixel).
    bool SnapshotBitmap(const char* lpszBitmapFile);

    static long GetFileSizeByName(const char* lpszFile);

    // What the media detector tells of one video or sound stream of a file.
    struct MediaDetStream {
        GUID majorType = {};  // MEDIATYPE_Video or MEDIATYPE_Audio
        double length = 0;  // seconds
        long width = 0, height = 0;
        double frameRate = 0;  // frames per second
        long sampleRate = 0, channels = 0;
    };
    // The streams of a file, in the file's order; false when the detector cannot open it.
    static bool QueryMediaDetInfo(const char* lpszFile, std::vector<MediaDetStream>* pStreams);
    // Writes the picture of a file's video stream at `dSeconds` to a .bmp file (24 bits per
    // pixel) of nWidth x nHeight, the stream's own size when either is 0.
    static bool SaveMediaDetBitmap(const char* lpszFile, double dSeconds, const char* lpszBitmapFile, long nWidth = 0,
                                   long nHeight = 0);

private:
    bool QueryInterfaces();
    void AddToRot();
    void RemoveFromRot();

    IGraphBuilder* m_pGraphBuilder;
    IMediaControl* m_pMediaControl;
    IMediaEventEx* m_pMediaEvents;
    IBasicVideo* m_pBasicVideo;
    IBasicAudio* m_pBasicAudio;
    IVideoWindow* m_pVideoWindow;
    IMediaSeeking* m_pMediaSeeking;
    DWORD m_dwRegistrationCookie;

    CDXGraph(const CDXGraph&) = delete;
    CDXGraph& operator=(const CDXGraph&) = delete;
};
