#include "AnimateSkins.h"

#include <commctrl.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <string>

#include "CommCtlDraw.h"
#include "SkinDraw.h"
#include "SkinMemDC.h"
#include "SkinObjectTypes.h"

// ---- the clip player ---------------------------------------------------------------------------------

template <class F>
void CAviClipPlayer::Resolve(HMODULE module, const char* name, F& fn)
{
    // Through the generic function type, which any function pointer converts from and to.
    fn = module ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name))) : nullptr;
}

CAviClipPlayer::CAviClipPlayer()
{
    m_hAviFile = LoadLibraryA("avifil32.dll");
    m_hDrawDib = LoadLibraryA("msvfw32.dll");
    Resolve(m_hAviFile, "AVIFileInit", m_fnInit);
    Resolve(m_hAviFile, "AVIFileExit", m_fnExit);
    Resolve(m_hAviFile, "AVIFileOpenA", m_fnOpen);
    Resolve(m_hAviFile, "AVIFileInfoA", m_fnInfo);
    Resolve(m_hAviFile, "AVIFileGetStream", m_fnGetStream);
    Resolve(m_hAviFile, "AVIFileRelease", m_fnFileRelease);
    Resolve(m_hAviFile, "AVIStreamRelease", m_fnStreamRelease);
    Resolve(m_hAviFile, "AVIStreamGetFrameOpen", m_fnFrameOpen);
    Resolve(m_hAviFile, "AVIStreamGetFrame", m_fnGetFrame);
    Resolve(m_hAviFile, "AVIStreamGetFrameClose", m_fnFrameClose);
    Resolve(m_hAviFile, "AVIStreamStart", m_fnStart);
    Resolve(m_hAviFile, "AVIStreamLength", m_fnLength);
    Resolve(m_hDrawDib, "DrawDibOpen", m_fnDrawOpen);
    Resolve(m_hDrawDib, "DrawDibClose", m_fnDrawClose);
    Resolve(m_hDrawDib, "DrawDibDraw", m_fnDraw);
    if (m_fnInit)
        m_fnInit();
}

CAviClipPlayer::~CAviClipPlayer()
{
    CloseClip();
    if (m_hDraw && m_fnDrawClose)
        m_fnDrawClose(m_hDraw);
    if (m_fnExit)
        m_fnExit();
    if (m_hAviFile)
        FreeLibrary(m_hAviFile);
    if (m_hDrawDib)
        FreeLibrary(m_hDrawDib);
}

bool CAviClipPlayer::OpenClip(const char* path)
{
    CloseClip();
    if (!path || !m_fnOpen || !m_fnInfo || !m_fnGetStream)
        return false;
    PAVIFILE file = nullptr;
    if (m_fnOpen(&file, path, OF_READ, nullptr) != 0 || !file)
        return false;
    AVIFILEINFOA info{};
    PAVISTREAM stream = nullptr;
    if (m_fnInfo(file, &info, sizeof info) != 0 || m_fnGetStream(file, &stream, streamtypeVIDEO, 0) != 0 || !stream) {
        if (m_fnFileRelease)
            m_fnFileRelease(file);
        return false;
    }
    m_pFile = file;
    m_pStream = stream;
    m_info = info;
    return true;
}

void CAviClipPlayer::CloseClip()
{
    if (m_pFrames && m_fnFrameClose)
        m_fnFrameClose(m_pFrames);
    m_pFrames = nullptr;
    if (m_pStream && m_fnStreamRelease)
        m_fnStreamRelease(m_pStream);
    m_pStream = nullptr;
    if (m_pFile && m_fnFileRelease)
        m_fnFileRelease(m_pFile);
    m_pFile = nullptr;
    m_info = AVIFILEINFOA{};
}

LONG CAviClipPlayer::GetLength() const
{
    return m_pStream && m_fnLength ? m_fnLength(m_pStream) : -1;
}

SIZE CAviClipPlayer::GetFrameSize() const
{
    return SIZE{LONG(m_info.dwWidth), LONG(m_info.dwHeight)};
}

DWORD CAviClipPlayer::GetFrameDelay() const
{
    if (m_info.dwRate == 0 || m_info.dwScale == 0)
        return 1000;
    const unsigned long long ms = 1000ull * m_info.dwScale / m_info.dwRate;
    return DWORD(std::clamp<unsigned long long>(ms, 10, 5000));
}

BOOL CAviClipPlayer::DrawFrame(HDC hdc, LONG n)
{
    if (!m_pStream || !m_fnFrameOpen || !m_fnGetFrame || !m_fnDraw)
        return FALSE;
    // One frame reader and one drawing context serve the clip for as long as it is open.
    if (!m_pFrames)
        m_pFrames = m_fnFrameOpen(m_pStream, nullptr);
    if (!m_hDraw && m_fnDrawOpen)
        m_hDraw = m_fnDrawOpen();
    if (!m_pFrames || !m_hDraw)
        return FALSE;
    const LONG start = m_fnStart ? m_fnStart(m_pStream) : 0;
    auto* frame = static_cast<LPBITMAPINFOHEADER>(m_fnGetFrame(m_pFrames, start + n));
    if (!frame)
        return FALSE;
    const SIZE size = GetFrameSize();
    return m_fnDraw(m_hDraw, hdc, 0, 0, size.cx, size.cy, frame, nullptr, 0, 0, frame->biWidth,
                    frame->biHeight < 0 ? -frame->biHeight : frame->biHeight, 0);
}

// ---- the animation control ---------------------------------------------------------------------------

namespace {

// Where the clip a skinner opened on a control came from: when the skin goes, the control's
// own player opens it, so that it plays without the skin; a skinner attached later (the skin
// removed and applied again) opens it from here. Windows that are gone are forgotten.
struct ClipSource {
    HINSTANCE instance = nullptr;
    std::string path;       // a file or a resource name
    LPCSTR resource = nullptr;  // a resource number, when that is what named it
    LPCSTR ClipName() const { return resource ? resource : path.c_str(); }
};

std::map<HWND, ClipSource>& OpenedClips()
{
    static std::map<HWND, ClipSource> clips;
    for (auto it = clips.begin(); it != clips.end();)
        it = IsWindow(it->first) ? std::next(it) : clips.erase(it);
    return clips;
}

}  // namespace

CSkinAnimate::CSkinAnimate(CSkinWindow* owner)
    : CSkinControlBase(owner, SKIN_ANIMATE),
      m_hStopEvent(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      m_hReadyEvent(CreateEventA(nullptr, FALSE, FALSE, nullptr))
{
}

CSkinAnimate::~CSkinAnimate()
{
    // Whatever happened to the window, the thread has ended before the player goes.
    JoinThread();
    if (m_hBackground)
        DeleteObject(m_hBackground);
    if (m_hStopEvent)
        CloseHandle(m_hStopEvent);
    if (m_hReadyEvent)
        CloseHandle(m_hReadyEvent);
}

BOOL CSkinAnimate::Attach(HWND hwnd)
{
    if (!m_player.IsLoaded() || !m_hStopEvent || !m_hReadyEvent)
        return FALSE;
    m_nStyle = GetWindowLongA(hwnd, GWL_STYLE);
    m_nId = GetDlgCtrlID(hwnd);
    if (!CSkinControlBase::Attach(hwnd))
        return FALSE;
    // The control's own player rests from now on; a clip a skin opened on it before is the
    // skinner's again.
    CallSaved(ACM_STOP, 0, 0);
    auto clip = OpenedClips().find(hwnd);
    if (clip != OpenedClips().end()) {
        // Only one player holds the clip: the control's own would show its first frame wherever
        // the control is printed.
        CallSaved(ACM_OPENA, 0, 0);
        if (OpenInPlayer(clip->second.instance, clip->second.ClipName()))
            ResetRange();
    }
    return TRUE;
}

void CSkinAnimate::Detach()
{
    // The thread draws into the window: it ends before the window is let go.
    Stop();
    Halt();
    // The control's own player takes the clip over (without starting it).
    auto clip = OpenedClips().find(m_hWnd);
    if (m_hWnd && !IsDestroyed() && clip != OpenedClips().end())
        CallSavedWithStyle(ACM_OPENA, reinterpret_cast<WPARAM>(clip->second.instance),
                           reinterpret_cast<LPARAM>(clip->second.ClipName()), ACS_AUTOPLAY);
    CSkinControlBase::Detach();
}

void CSkinAnimate::NotifyParent(WORD code)
{
    if (HWND parent = GetParent(m_hWnd))
        ::SendMessageA(parent, WM_COMMAND, MAKEWPARAM(WORD(m_nId), code), reinterpret_cast<LPARAM>(m_hWnd));
}

bool CSkinAnimate::OpenInPlayer(HINSTANCE instance, LPCSTR name)
{
    bool opened = false;
    if (!IS_INTRESOURCE(name)) {
        std::lock_guard<std::mutex> hold(m_lock);
        opened = m_player.OpenClip(name);
    }
    if (opened)
        return true;
    if (!instance)
        instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(m_hWnd, GWLP_HINSTANCE));
    char path[MAX_PATH];
    if (!MakeTempFileName(path, sizeof path, "QV$$TEMP.AVI", "C:"))
        return false;
    if (SaveResourceToFile(path, instance, name, "AVI")) {
        std::lock_guard<std::mutex> hold(m_lock);
        opened = m_player.OpenClip(path);
    }
    unlink(path);
    return opened;
}

void CSkinAnimate::ResetRange()
{
    m_nLast = -1;
    m_nRepeat = -1;
    m_nFirst = 0;
    m_nCurrent = 0;
}

LRESULT CSkinAnimate::Open(HINSTANCE instance, LPCSTR name)
{
    HWND hwnd = m_hWnd;
    const CSkinLifeline::Watch attached = m_life.Observe();
    Stop();
    if (!attached.Alive())
        return IsWindow(hwnd) ? ::SendMessageA(hwnd, ACM_OPENA, reinterpret_cast<WPARAM>(instance),
                                               reinterpret_cast<LPARAM>(name))
                              : 0;
    // A parent that started the old clip again from the stop notice is overruled: it goes.
    Halt();
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_player.CloseClip();
    }
    OpenedClips().erase(m_hWnd);
    if (!name)
        return 1;
    if (!OpenInPlayer(instance, name))
        return 0;
    ClipSource source;
    source.instance = instance;
    if (IS_INTRESOURCE(name))
        source.resource = name;
    else
        source.path = name;
    OpenedClips()[m_hWnd] = source;
    ResetRange();
    if (!(m_nStyle & ACS_CENTER)) {
        const SIZE size = m_player.GetFrameSize();
        SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(m_hWnd, nullptr, TRUE);
    if (m_nStyle & ACS_AUTOPLAY)
        Start();
    return 1;
}

LRESULT CSkinAnimate::Play(UINT repeat, int first, int last)
{
    HWND hwnd = m_hWnd;
    const CSkinLifeline::Watch attached = m_life.Observe();
    Stop();
    // The parent removed the skin in answer to the stop notice: the control plays by itself.
    if (!attached.Alive())
        return IsWindow(hwnd) ? ::SendMessageA(hwnd, ACM_PLAY, repeat, MAKELPARAM(WORD(first), WORD(last))) : 0;
    // The parent started it again from the stop notice: that play stands, with its own range,
    // which this one must not change under the clip thread.
    if (m_bPlaying)
        return 1;
    // A thread that ended at the end of its passes is gone before the range changes.
    JoinThread();
    const LONG length = m_player.GetLength();
    if (length <= 0)
        return 0;
    m_nRepeat = int(repeat);
    m_nFirst = std::clamp<int>(first < 0 ? 0 : first, 0, int(length - 1));
    m_nLast = last < 0 || last >= length ? int(length - 1) : last;
    m_nLast = std::max(m_nLast, m_nFirst);
    m_nCurrent = m_nFirst;
    m_nPasses = 0;
    Start();
    return 1;
}

void CSkinAnimate::Start()
{
    if (m_bPlaying || !m_player.IsOpen())
        return;
    // A thread that ended at the end of its passes is still to be joined.
    JoinThread();
    ResetEvent(m_hStopEvent);
    if (m_nLast < 0)
        m_nLast = int(m_player.GetLength() - 1);
    UpdateBackground();
    m_bPlaying = true;
    m_hThread = CreateThread(nullptr, 0, &CSkinAnimate::ThreadMain, this, 0, nullptr);
    if (!m_hThread) {
        m_bPlaying = false;
        return;
    }
    // The pace starts now, not whenever the thread comes to set its timer.
    WaitForSingleObject(m_hReadyEvent, INFINITE);
    PaintCurrent();
    NotifyParent(ACN_START);
}

LRESULT CSkinAnimate::Stop()
{
    const bool wasPlaying = m_bPlaying.exchange(false);
    JoinThread();
    if (wasPlaying && m_hWnd)
        NotifyParent(ACN_STOP);
    return 1;
}

void CSkinAnimate::Halt()
{
    m_bPlaying = false;
    JoinThread();
}

void CSkinAnimate::JoinThread()
{
    if (!m_hThread)
        return;
    SetEvent(m_hStopEvent);
    WaitForSingleObject(m_hThread, INFINITE);
    CloseHandle(m_hThread);
    m_hThread = nullptr;
}

DWORD WINAPI CSkinAnimate::ThreadMain(LPVOID self)
{
    static_cast<CSkinAnimate*>(self)->PlayLoop();
    return 0;
}

void CSkinAnimate::PlayLoop()
{
    // A timer of this thread's own keeps the pace on the window system's clock.
    const UINT_PTR timer = SetTimer(nullptr, 0, m_player.GetFrameDelay(), nullptr);
    SetEvent(m_hReadyEvent);
    for (;;) {
        if (MsgWaitForMultipleObjects(1, &m_hStopEvent, FALSE, INFINITE, QS_TIMER | QS_POSTMESSAGE) == WAIT_OBJECT_0)
            break;
        bool due = false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            due = due || msg.message == WM_TIMER;
        if (!due)
            continue;
        if (!Advance()) {
            PaintCurrent();
            m_bPlaying = false;
            break;
        }
        PaintCurrent();
    }
    KillTimer(nullptr, timer);
}

bool CSkinAnimate::Advance()
{
    const int next = m_nCurrent + 1;
    if (next <= m_nLast) {
        m_nCurrent = next;
        return true;
    }
    if (m_nRepeat != -1 && ++m_nPasses >= m_nRepeat)
        return false;  // rests on the range's last frame
    m_nCurrent = m_nFirst;
    return true;
}

void CSkinAnimate::UpdateBackground()
{
    RECT client;
    GetClientRect(m_hWnd, &client);
    CSkinMemDC surface(nullptr, client.right, client.bottom);
    if (!surface.IsValid())
        return;
    auto* o = dynamic_cast<CSkinAnimateObject*>(m_pSkinObject);
    if (m_nStyle & ACS_TRANSPARENT)
        DrawParentBackground(surface);
    else if (o)
        DrawSkinImage(GetSkinFile(), surface, client, o->m_image, o->m_crBack, 1, false);
    else
        FillSolidRect(surface, client, GetSysColor(COLOR_BTNFACE));
    HBITMAP kept = surface.DetachBitmap();
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_hBackground)
        DeleteObject(m_hBackground);
    m_hBackground = kept;
    m_backgroundSize = SIZE{client.right, client.bottom};
}

void CSkinAnimate::DrawCurrent(HDC dc)
{
    const SIZE cs = m_backgroundSize;
    if (cs.cx <= 0 || cs.cy <= 0)
        return;
    CSkinMemDC surface(dc, cs.cx, cs.cy);
    if (!surface.IsValid())
        return;
    if (m_hBackground) {
        HDC src = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(src, m_hBackground);
        BitBlt(surface, 0, 0, cs.cx, cs.cy, src, 0, 0, SRCCOPY);
        SelectObject(src, old);
        DeleteDC(src);
    }
    const SIZE fs = m_player.GetFrameSize();
    if (m_player.IsOpen() && fs.cx > 0 && fs.cy > 0) {
        CSkinMemDC frame(dc, fs.cx, fs.cy);
        if (frame.IsValid() && m_player.DrawFrame(frame, m_nCurrent)) {
            // Centred: the middle of a frame larger than the control, or the frame in the middle.
            int x = 0, y = 0, sx = 0, sy = 0, w = fs.cx, h = fs.cy;
            if (m_nStyle & ACS_CENTER) {
                if (fs.cx > cs.cx) { sx = (fs.cx - cs.cx) / 2; w = cs.cx; } else { x = (cs.cx - fs.cx) / 2; }
                if (fs.cy > cs.cy) { sy = (fs.cy - cs.cy) / 2; h = cs.cy; } else { y = (cs.cy - fs.cy) / 2; }
            }
            if (m_nStyle & ACS_TRANSPARENT) {
                const COLORREF key = GetPixel(frame, 0, 0);
                HBITMAP picture = frame.DetachBitmap();
                TransparentBitBlt(surface, x, y, w, h, picture, sx, sy, key);
                DeleteObject(picture);
            } else {
                BitBlt(surface, x, y, w, h, frame, sx, sy, SRCCOPY);
            }
        }
    }
    BitBlt(dc, 0, 0, cs.cx, cs.cy, surface, 0, 0, SRCCOPY);
}

void CSkinAnimate::PaintCurrent()
{
    HWND hwnd = m_hWnd;
    if (!hwnd)
        return;
    HDC dc = GetDC(hwnd);
    if (!dc)
        return;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        DrawCurrent(dc);
    }
    ::ReleaseDC(hwnd, dc);
    ++m_nShown;
}

void CSkinAnimate::OnNcPaint(WPARAM wParam)
{
    auto* o = dynamic_cast<CSkinAnimateObject*>(m_pSkinObject);
    if (!o || !commctl::PaintSkinBorder(*this, GetSkinFile(), wParam, o->m_background, o->m_crBack))
        CSkinWindow::WindowProc(WM_NCPAINT, wParam, 0);
}

LRESULT CSkinAnimate::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case ACM_OPENA:
        return Open(reinterpret_cast<HINSTANCE>(wParam), reinterpret_cast<LPCSTR>(lParam));
    case ACM_PLAY:
        return Play(UINT(wParam), short(LOWORD(lParam)), short(HIWORD(lParam)) == -1 ? -1 : int(HIWORD(lParam)));
    case ACM_STOP:
        return Stop();
    case WM_PAINT: {
        // Playing or not, a paint shows the frame the control is at.
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hWnd, &ps);
        UpdateBackground();
        if (dc) {
            std::lock_guard<std::mutex> hold(m_lock);
            DrawCurrent(dc);
        }
        EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_SIZE:
        UpdateBackground();
        break;
    case WM_ERASEBKGND:
        DrawParentBackground(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_NCPAINT:
        OnNcPaint(wParam);
        return 0;
    case WM_UPDATEUISTATE:
        return 0;
    case WM_DESTROY:
        Stop();
        Halt();  // a parent restarting it from the stop notice is too late now
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_player.CloseClip();
        }
        break;
    default:
        break;
    }
    return CSkinWindow::WindowProc(msg, wParam, lParam);
}

// ---- the link window ------------------------------------------------------------------------------------

void CSkinLinkWnd::OnPaint()
{
    auto* o = dynamic_cast<CSkinFontObject*>(m_pSkinObject);
    if (!o) {
        CallSaved(WM_PAINT, 0, 0);
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    RECT client;
    GetClientRect(m_hWnd, &client);
    if (dc && !IsRectEmpty(&client)) {
        CSkinMemDC composed(dc, client.right, client.bottom);
        CSkinMemDC printed(dc, client.right, client.bottom);
        if (composed.IsValid() && printed.IsValid()) {
            const COLORREF paper = GetSysColor(COLOR_WINDOW);
            FillSolidRect(printed, client, paper);
            ::SendMessageA(m_hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.GetSafeHdc()), PRF_CLIENT);
            auto* look = dynamic_cast<CSkinStaticObject*>(o);
            if (look && look->m_nStaticValue)
                DrawParentBackground(composed);
            else
                commctl::FillBackground(GetSkinFile(), composed, client, o->m_background, o->m_crBack);
            HBITMAP picture = printed.DetachBitmap();
            TransparentBitBlt(composed, 0, 0, client.right, client.bottom, picture, 0, 0, paper);
            DeleteObject(picture);
            BitBlt(dc, 0, 0, client.right, client.bottom, composed, 0, 0, SRCCOPY);
        }
    }
    EndPaint(m_hWnd, &ps);
}

CSkinWindow* MakeAnimateSkinner(int, CSkinWindow* owner) { return new CSkinAnimate(owner); }
CSkinWindow* MakeLinkWndSkinner(int, CSkinWindow* owner) { return new CSkinLinkWnd(owner); }
