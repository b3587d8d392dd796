// The animation control played by the skin on a thread of its own, over the skin's background
// or transparently over its parent; and the link window composed over the skin's background.
#pragma once

#include <windows.h>
#include <vfw.h>

#include <atomic>
#include <mutex>

#include "ControlBase.h"
#include "SkinObject.h"

// Clips through the video-for-windows modules, loaded by name: one open clip, its first video
// stream and one frame reader, held until the clip is closed.
class CAviClipPlayer {
public:
    CAviClipPlayer();
    ~CAviClipPlayer();
    CAviClipPlayer(const CAviClipPlayer&) = delete;
    CAviClipPlayer& operator=(const CAviClipPlayer&) = delete;

    bool IsLoaded() const { return m_hAviFile && m_hDrawDib; }
    bool IsOpen() const { return m_pFile != nullptr; }
    // True when the file opened and holds a video stream.
    bool OpenClip(const char* path);
    void CloseClip();
    // Frames in the clip; -1 with no clip.
    LONG GetLength() const;
    SIZE GetFrameSize() const;
    // The time between frames from the clip's rate and scale, held to 10 ms .. 5 s; a clip
    // without a rate shows one frame a second.
    DWORD GetFrameDelay() const;
    // Frame n at (0, 0) in the clip's size; FALSE when there is none to draw.
    BOOL DrawFrame(HDC hdc, LONG n);

private:
    template <class F>
    void Resolve(HMODULE module, const char* name, F& fn);

    HMODULE m_hAviFile = nullptr;
    HMODULE m_hDrawDib = nullptr;
    void(WINAPI* m_fnInit)() = nullptr;
    void(WINAPI* m_fnExit)() = nullptr;
    HRESULT(WINAPI* m_fnOpen)(PAVIFILE*, LPCSTR, UINT, const CLSID*) = nullptr;
    HRESULT(WINAPI* m_fnInfo)(PAVIFILE, LPAVIFILEINFOA, LONG) = nullptr;
    HRESULT(WINAPI* m_fnGetStream)(PAVIFILE, PAVISTREAM*, DWORD, LONG) = nullptr;
    ULONG(WINAPI* m_fnFileRelease)(PAVIFILE) = nullptr;
    ULONG(WINAPI* m_fnStreamRelease)(PAVISTREAM) = nullptr;
    PGETFRAME(WINAPI* m_fnFrameOpen)(PAVISTREAM, LPBITMAPINFOHEADER) = nullptr;
    LPVOID(WINAPI* m_fnGetFrame)(PGETFRAME, LONG) = nullptr;
    HRESULT(WINAPI* m_fnFrameClose)(PGETFRAME) = nullptr;
    LONG(WINAPI* m_fnStart)(PAVISTREAM) = nullptr;
    LONG(WINAPI* m_fnLength)(PAVISTREAM) = nullptr;
    HDRAWDIB(WINAPI* m_fnDrawOpen)() = nullptr;
    BOOL(WINAPI* m_fnDrawClose)(HDRAWDIB) = nullptr;
    BOOL(WINAPI* m_fnDraw)(HDRAWDIB, HDC, int, int, int, int, LPBITMAPINFOHEADER, LPVOID, int, int, int, int,
                           UINT) = nullptr;

    PAVIFILE m_pFile = nullptr;
    PAVISTREAM m_pStream = nullptr;
    PGETFRAME m_pFrames = nullptr;
    HDRAWDIB m_hDraw = nullptr;
    AVIFILEINFOA m_info = {};
};

class CSkinAnimate : public CSkinControlBase {
public:
    explicit CSkinAnimate(CSkinWindow* owner);
    ~CSkinAnimate() override;
    // Not skinned when the video-for-windows modules are missing.
    BOOL Attach(HWND hwnd) override;
    void Detach() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    bool IsPlaying() const { return m_bPlaying.load(); }
    int GetCurrentFrame() const { return m_nCurrent.load(); }
    // Frames drawn by the playing thread since the control was skinned (for waiting on it).
    unsigned GetFramesShown() const { return m_nShown.load(); }
    bool HasThread() const { return m_hThread != nullptr; }

private:
    LRESULT Open(HINSTANCE instance, LPCSTR name);
    // The clip from a file or an AVI resource into the player.
    bool OpenInPlayer(HINSTANCE instance, LPCSTR name);
    // The whole clip, for ever, from its first frame.
    void ResetRange();
    LRESULT Play(UINT repeat, int first, int last);
    void Start();
    LRESULT Stop();
    // Ends the playing without a notice.
    void Halt();
    // Ends the thread, if there is one, and waits for it.
    void JoinThread();
    void PlayLoop();
    static DWORD WINAPI ThreadMain(LPVOID self);
    // Past the end of the range: false when a finite repeat count is used up.
    bool Advance();
    // What lies under the frames, kept for the playing thread (the parent is asked on this one).
    void UpdateBackground();
    // The current frame over the kept background, into dc; the caller holds m_lock.
    void DrawCurrent(HDC dc);
    void PaintCurrent();
    void NotifyParent(WORD code);
    void OnNcPaint(WPARAM wParam);

    std::mutex m_lock;  // the player, the kept background and the drawing into the window
    CAviClipPlayer m_player;
    HANDLE m_hThread = nullptr;
    HANDLE m_hStopEvent = nullptr;
    HANDLE m_hReadyEvent = nullptr;  // the thread has its timer
    std::atomic<bool> m_bPlaying{false};
    std::atomic<int> m_nCurrent{0};
    std::atomic<unsigned> m_nShown{0};
    // The range and passes: the clip thread reads them, so they change only while none runs.
    int m_nRepeat = -1;  // -1: for ever
    int m_nFirst = 0;
    int m_nLast = -1;  // -1: the clip's last frame
    int m_nPasses = 0;
    int m_nId = 0;
    LONG m_nStyle = 0;
    HBITMAP m_hBackground = nullptr;
    SIZE m_backgroundSize = {};
};

class CSkinLinkWnd : public CSkinControlBase {
public:
    explicit CSkinLinkWnd(CSkinWindow* owner) : CSkinControlBase(owner, SKIN_LINKWND) {}
    void OnPaint() override;
};
