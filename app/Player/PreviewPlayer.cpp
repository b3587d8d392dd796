#include "PreviewPlayer.h"

CPreviewPlayer::CPreviewPlayer() : m_pGraph(nullptr) {}

CPreviewPlayer::~CPreviewPlayer() { DestroyGraph(); }

void CPreviewPlayer::Open(const char* file, HWND videoWindow, HWND notifyWindow) {
    m_strFileName = file ? file : "";
    CreateGraph(videoWindow, notifyWindow);
}

void CPreviewPlayer::Close() { DestroyGraph(); }

void CPreviewPlayer::CreateGraph(HWND videoWindow, HWND notifyWindow) {
    DestroyGraph();
    m_pGraph = new CDXGraph();
    if (!m_pGraph->Create()) {
        // Nothing to play with: Play, Pause, Seek and the positions do nothing.
        delete m_pGraph;
        m_pGraph = nullptr;
        return;
    }
    // A file that cannot be rendered still keeps its (empty) graph; nothing is reported.
    m_pGraph->RenderFile(m_strFileName.c_str());
    m_pGraph->SetDisplayWindow(videoWindow);
    m_pGraph->SetNotifyWindow(notifyWindow);
    m_pGraph->Pause();  // the first frame shows
}

void CPreviewPlayer::DestroyGraph() {
    if (!m_pGraph) return;
    m_pGraph->Stop();
    m_pGraph->SetNotifyWindow(nullptr);
    delete m_pGraph;
    m_pGraph = nullptr;
}

void CPreviewPlayer::Play() {
    if (m_pGraph) m_pGraph->Run();
}

void CPreviewPlayer::Pause() {
    if (m_pGraph) m_pGraph->Pause();
}

void CPreviewPlayer::Seek(double seconds) {
    if (m_pGraph) m_pGraph->SetCurrentPosition(seconds);
}

void CPreviewPlayer::GetPosition(double* out) {
    if (m_pGraph && out) m_pGraph->GetCurrentPosition(out);
}

void CPreviewPlayer::GetDuration(double* out) {
    if (m_pGraph && out) m_pGraph->GetDuration(out);
}

void CPreviewPlayer::OnGraphNotify() {
    if (!m_pGraph) return;
    IMediaEventEx* events = m_pGraph->GetEventHandler();
    if (!events) return;
    long code = 0;
    LONG_PTR param1 = 0, param2 = 0;
    while (SUCCEEDED(events->GetEvent(&code, &param1, &param2, 0))) {
        events->FreeEventParams(code, param1, param2);
        if (code == EC_COMPLETE) Seek(0);  // the clip starts again from the beginning
    }
}
