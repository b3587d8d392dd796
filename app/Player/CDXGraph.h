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
    virtual bool Attach(IGraphBuilder* inGraphBuilder);

    IGraphBuilder* GetGraph() const;
    IMediaEventEx* GetEventHandler() const;

    bool ConnectPins(IPin* inOutputPin, IPin* inInputPin, AM_MEDIA_TYPE* inMediaType = nullptr);
    void DisconnectPins(IPin* inPin);
    bool SetDisplayWindow(HWND inWindow);
    bool SetNotifyWindow(HWND inWindow);
    bool SetWindowPosition(long inLeft, long inTop, long inWidth, long inHeight);
    void HandleEvents();

    bool IsRunning();
    bool IsStopped();
    bool IsPaused();
    bool Run();
    bool Stop();
    bool Pause();

    bool SetFullScreen(BOOL inEnabled);
    bool GetFullScreen();

    // Positions in seconds; an output is left alone when the query fails.
    bool GetCurrentPosition(double* outPosition);
    bool GetStopPosition(double* outPosition);
    bool SetCurrentPosition(double inPosition);
    bool SetStartStopPositions(double inStart, double inStop);
    bool GetDuration(double* outDuration);
    bool SetPlaybackRate(double inRate);

    // Volume: -10000 (silent) to 0 (full), hundredths of a decibel; balance -10000 to 10000.
    bool SetAudioVolume(long inVolume);
    long GetAudioVolume();
    bool SetAudioBalance(long inBalance);
    long GetAudioBalance();

    bool RenderFile(const char* inFile);

    // Writes the picture the graph shows now to a .bmp file (32 bits per pixel).
    bool SnapshotBitmap(const char* outFile);

    static long GetFileSizeByName(const char* inFile);

    // What the media detector tells of one video or sound stream of a file.
    struct MediaDetStream {
        GUID majorType = {};     // MEDIATYPE_Video or MEDIATYPE_Audio
        double length = 0;       // seconds
        long width = 0, height = 0;
        double frameRate = 0;    // frames per second
        long sampleRate = 0, channels = 0;
    };
    // The streams of a file, in the file's order; false when the detector cannot open it.
    static bool QueryMediaDetInfo(const char* inFile, std::vector<MediaDetStream>* outStreams);
    // Writes the picture of a file's video stream at `inSeconds` to a .bmp file (24 bits per
    // pixel) of inWidth x inHeight, the stream's own size when either is 0.
    static bool SaveMediaDetBitmap(const char* inFile, double inSeconds, const char* outFile, long inWidth = 0,
                                   long inHeight = 0);

private:
    bool QueryInterfaces();
    void AddToRot();
    void RemoveFromRot();

    IGraphBuilder* mGraph;
    IMediaControl* mMediaControl;
    IMediaEventEx* mEvent;
    IBasicVideo* mBasicVideo;
    IBasicAudio* mBasicAudio;
    IVideoWindow* mVideoWindow;
    IMediaSeeking* mSeeking;
    DWORD mObjectTableEntry;

    CDXGraph(const CDXGraph&) = delete;
    CDXGraph& operator=(const CDXGraph&) = delete;
};
